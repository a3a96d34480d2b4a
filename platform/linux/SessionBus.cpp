#include "platform/linux/SessionBus.h"

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace plat::dbus {
namespace {

GDBusConnection* connection = nullptr;  // GUI thread only

bool BusAddressKnown() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  // GIO would otherwise "autolaunch" a bus of its own through X11.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && *runtime && ::access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

}  // namespace

GDBusConnection* OpenPrivateConnection() {
  if (!BusAddressKnown()) return nullptr;
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!address) return nullptr;
  GDBusConnection* opened = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  g_free(address);
  if (opened) g_dbus_connection_set_exit_on_close(opened, FALSE);
  return opened;
}

GDBusConnection* SessionBus() {
  if (connection && !g_dbus_connection_is_closed(connection)) return connection;
  if (connection) g_clear_object(&connection);
  connection = OpenPrivateConnection();
  return connection;
}

bool NameHasOwner(GDBusConnection* bus, const char* name) {
  if (!bus) return false;
  GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", name),
                                                G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  if (!reply) return false;
  gboolean owned = FALSE;
  g_variant_get(reply, "(b)", &owned);
  g_variant_unref(reply);
  return owned;
}

}  // namespace plat::dbus
