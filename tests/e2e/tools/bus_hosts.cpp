// A StatusNotifierWatcher with a host and a notification server on the session bus, for the
// end-to-end tests. It prints what it is given ("item <service> <path>", "notify <id>|<app>|
// <icon>|<title>|<body>|<timeout>|<actions>"), "gone <service>" when an item's owner leaves the
// bus, and takes commands on stdin, one a line:
//   activate X Y | context X Y | secondary X Y   call the newest item's method
//   click ID | expire ID                           the notification's default action / time-out
//   host                                           a host registers with the watcher
//   quit
// Options: --no-watcher, --no-notifications, --no-host (the watcher starts without a host),
// --markup (the notification server takes markup in bodies).
#include <gio/gio.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kWatcherXml = R"XML(
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>)XML";

constexpr const char* kNotificationsXml = R"XML(
<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
    <signal name="NotificationClosed"><arg type="u"/><arg type="u"/></signal>
    <signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
  </interface>
</node>)XML";

GDBusConnection* bus = nullptr;
GMainLoop* loop = nullptr;
struct Item {
  std::string service;
  std::string path;
};
std::vector<Item> items;
guint32 nextNotification = 1;
bool hostRegistered = true;
bool bodyMarkup = false;

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void OnWatcherCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*, const gchar* method,
                   GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
  const gchar* arg = nullptr;
  g_variant_get(parameters, "(&s)", &arg);
  if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
    // Either a bus name (the object at the usual path) or an object path of the caller.
    Item item = arg[0] == '/' ? Item{sender, arg} : Item{arg, "/StatusNotifierItem"};
    items.push_back(item);
    Print("item " + item.service + " " + item.path);
    g_dbus_connection_emit_signal(bus, nullptr, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                                  "StatusNotifierItemRegistered",
                                  g_variant_new("(s)", (item.service + item.path).c_str()), nullptr);
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* OnWatcherGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property, GError**,
                       gpointer) {
  if (g_strcmp0(property, "IsStatusNotifierHostRegistered") == 0) return g_variant_new_boolean(hostRegistered);
  if (g_strcmp0(property, "ProtocolVersion") == 0) return g_variant_new_int32(0);
  GVariantBuilder list;
  g_variant_builder_init(&list, G_VARIANT_TYPE("as"));
  for (auto& i : items) g_variant_builder_add(&list, "s", (i.service + i.path).c_str());
  return g_variant_builder_end(&list);
}

void OnNotificationsCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                         GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
  if (g_strcmp0(method, "Notify") == 0) {
    const gchar *app, *icon, *title, *body;
    guint32 replaces;
    GVariantIter* actions;
    GVariant* hints;
    gint32 timeout;
    g_variant_get(parameters, "(&su&s&s&sas@a{sv}i)", &app, &replaces, &icon, &title, &body, &actions, &hints,
                  &timeout);
    std::string actionList;
    const gchar* action;
    while (g_variant_iter_next(actions, "&s", &action)) actionList += std::string(action) + ",";
    g_variant_iter_free(actions);
    g_variant_unref(hints);
    const guint32 id = replaces ? replaces : nextNotification++;
    Print("notify " + std::to_string(id) + "|" + app + "|" + icon + "|" + title + "|" + body + "|" +
          std::to_string(timeout) + "|" + actionList);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", id));
  } else if (g_strcmp0(method, "CloseNotification") == 0) {
    guint32 id = 0;
    g_variant_get(parameters, "(u)", &id);
    Print("close " + std::to_string(id));
    g_dbus_connection_emit_signal(bus, nullptr, "/org/freedesktop/Notifications", "org.freedesktop.Notifications",
                                  "NotificationClosed", g_variant_new("(uu)", id, 3u), nullptr);
    g_dbus_method_invocation_return_value(invocation, nullptr);
  } else if (g_strcmp0(method, "GetCapabilities") == 0) {
    const gchar* caps[] = {"actions", "body", bodyMarkup ? "body-markup" : nullptr, nullptr};
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(^as)", caps));
  } else {
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(ssss)", "bus_hosts", "tavelin", "1", "1.2"));
  }
}

void OnOwnerChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                    gpointer) {
  const gchar *name, *oldOwner, *newOwner;
  g_variant_get(parameters, "(&s&s&s)", &name, &oldOwner, &newOwner);
  if (*newOwner) return;
  for (auto it = items.begin(); it != items.end();) {
    if (it->service == name) {
      Print("gone " + it->service);
      it = items.erase(it);
    } else {
      ++it;
    }
  }
}

void Register(const char* xml, const char* path, const char* name, const GDBusInterfaceVTable* vtable) {
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, nullptr);
  g_dbus_connection_register_object(bus, path, node->interfaces[0], vtable, nullptr, nullptr, nullptr);
  GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "RequestName", g_variant_new("(su)", name, 4u),
                                                nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
  if (reply) g_variant_unref(reply);
}

void Emit(const char* signal, GVariant* parameters) {
  g_dbus_connection_emit_signal(bus, nullptr, "/org/freedesktop/Notifications", "org.freedesktop.Notifications",
                                signal, parameters, nullptr);
}

void Command(const std::string& line) {
  char verb[32] = {};
  int a = 0, b = 0;
  const int n = std::sscanf(line.c_str(), "%31s %d %d", verb, &a, &b);
  const std::string v = verb;
  if (n < 1) return;
  if (v == "quit") {
    g_main_loop_quit(loop);
  } else if (v == "click") {
    Emit("ActionInvoked", g_variant_new("(us)", static_cast<guint32>(a), "default"));
    Emit("NotificationClosed", g_variant_new("(uu)", static_cast<guint32>(a), 2u));
  } else if (v == "expire") {
    Emit("NotificationClosed", g_variant_new("(uu)", static_cast<guint32>(a), 1u));
  } else if (v == "host") {
    hostRegistered = true;
    g_dbus_connection_emit_signal(bus, nullptr, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                                  "StatusNotifierHostRegistered", nullptr, nullptr);
    Print("host registered");
  } else if (!items.empty()) {
    const char* method = v == "activate" ? "Activate" : v == "context" ? "ContextMenu" : "SecondaryActivate";
    const Item& item = items.back();
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus, item.service.c_str(), item.path.c_str(),
                                                  "org.kde.StatusNotifierItem", method, g_variant_new("(ii)", a, b),
                                                  nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
    if (reply) g_variant_unref(reply);
    if (error) {
      Print(std::string("error ") + error->message);
      g_error_free(error);
    } else {
      Print(std::string("called ") + method);
    }
  }
}

gboolean OnInput(GIOChannel* channel, GIOCondition, gpointer) {
  gchar* line = nullptr;
  gsize length = 0;
  const GIOStatus status = g_io_channel_read_line(channel, &line, &length, nullptr, nullptr);
  if (status == G_IO_STATUS_EOF || status == G_IO_STATUS_ERROR) {
    g_main_loop_quit(loop);
    return FALSE;
  }
  if (line) {
    Command(line);
    g_free(line);
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  bool watcher = true, notifications = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-watcher") == 0) watcher = false;
    if (std::strcmp(argv[i], "--no-notifications") == 0) notifications = false;
    if (std::strcmp(argv[i], "--no-host") == 0) hostRegistered = false;
    if (std::strcmp(argv[i], "--markup") == 0) bodyMarkup = true;
  }
  bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus) {
    std::fprintf(stderr, "bus_hosts: no session bus\n");
    return 2;
  }
  static const GDBusInterfaceVTable watcherTable{&OnWatcherCall, &OnWatcherGet, nullptr, {}};
  static const GDBusInterfaceVTable notificationsTable{&OnNotificationsCall, nullptr, nullptr, {}};
  if (watcher) Register(kWatcherXml, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher", &watcherTable);
  if (notifications)
    Register(kNotificationsXml, "/org/freedesktop/Notifications", "org.freedesktop.Notifications", &notificationsTable);
  g_dbus_connection_signal_subscribe(bus, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
                                     "/org/freedesktop/DBus", nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &OnOwnerChanged, nullptr,
                                     nullptr);
  loop = g_main_loop_new(nullptr, FALSE);
  GIOChannel* input = g_io_channel_unix_new(0);
  g_io_add_watch(input, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP), &OnInput, nullptr);
  Print("ready");
  g_main_loop_run(loop);
  return 0;
}
