#pragma once
// The session bus, for the tray icon and its balloons.
#include <gio/gio.h>

namespace plat::dbus {

// The session bus connection, or null when there is none. Never starts a bus: without
// $DBUS_SESSION_BUS_ADDRESS or $XDG_RUNTIME_DIR/bus there is no bus to use. A connection that
// closed (the bus went away) is replaced at the next call.
GDBusConnection* SessionBus();

// A connection of its own to the session bus (the caller closes and unrefs it), or null. Its
// unique name goes away with it, which is how the bus tells others that its objects are gone.
GDBusConnection* OpenPrivateConnection();

// Whether `name` has an owner on the bus.
bool NameHasOwner(GDBusConnection* bus, const char* name);

}  // namespace plat::dbus
