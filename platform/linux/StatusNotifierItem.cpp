// Tray icons as StatusNotifierItems on the session bus: an object with the item interface,
// registered with the org.kde.StatusNotifierWatcher. The host calls Activate, SecondaryActivate
// and ContextMenu; they become the codes of the left, middle and right button (a second
// activation within the double-click time is a double click). The menu is ours: the item has no
// D-Bus menu, so the host asks for ContextMenu and the program opens its own popup menu. Each
// item has a connection of its own: closing it is what tells the watcher that the item is gone.
#include <gtk/gtk.h>

#include <string>

#include "platform/linux/SessionBus.h"
#include "platform/linux/TrayHosts.h"

namespace plat::tray {
namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";

constexpr const char* kIntrospection = R"XML(
<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
  </interface>
</node>)XML";

GDBusInterfaceInfo* ItemInterface() {
  static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  return node ? node->interfaces[0] : nullptr;
}

// The watcher is there and some host shows what it registers.
bool WatcherWithHost(GDBusConnection* bus) {
  if (!dbus::NameHasOwner(bus, kWatcher)) return false;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, kWatcher, kWatcherPath, "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", kWatcher, "IsStatusNotifierHostRegistered"), G_VARIANT_TYPE("(v)"),
      G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  if (!reply) return false;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  const bool host = g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value);
  g_variant_unref(value);
  g_variant_unref(reply);
  return host;
}

GVariant* Pixmaps(const IconImage& icon) {
  GVariantBuilder list;
  g_variant_builder_init(&list, G_VARIANT_TYPE("a(iiay)"));
  if (!icon.Empty() && icon.argb.size() >= static_cast<std::size_t>(icon.width) * icon.height) {
    // ARGB32 in network byte order.
    std::string bytes;
    bytes.reserve(icon.argb.size() * 4);
    for (std::uint32_t p : icon.argb) {
      bytes += static_cast<char>(p >> 24);
      bytes += static_cast<char>(p >> 16);
      bytes += static_cast<char>(p >> 8);
      bytes += static_cast<char>(p);
    }
    GVariant* data = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, bytes.data(), bytes.size(), 1);
    g_variant_builder_add(&list, "(ii@ay)", icon.width, icon.height, data);
  }
  return g_variant_builder_end(&list);
}

class StatusNotifierIcon final : public Presenter {
 public:
  StatusNotifierIcon(GDBusConnection* bus, const IconState& state) : bus_(bus) {
    state_ = state;
    static const GDBusInterfaceVTable vtable{&StatusNotifierIcon::OnCall, &StatusNotifierIcon::OnGet, nullptr, {}};
    registration_ = g_dbus_connection_register_object(bus_, path_.c_str(), ItemInterface(), &vtable, this, nullptr,
                                                      nullptr);
  }

  ~StatusNotifierIcon() override {
    if (registration_) g_dbus_connection_unregister_object(bus_, registration_);
    g_dbus_connection_close_sync(bus_, nullptr, nullptr);
    g_object_unref(bus_);
  }

  // Registers with the watcher; false when it refuses.
  bool Register() {
    if (!registration_) return false;
    GVariant* reply = g_dbus_connection_call_sync(bus_, kWatcher, kWatcherPath, kWatcher, "RegisterStatusNotifierItem",
                                                  g_variant_new("(s)", g_dbus_connection_get_unique_name(bus_)), nullptr,
                                                  G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
  }

  void Update(const IconState& state) override {
    const bool newIcon = state.icon.argb != state_.icon.argb || state.icon.width != state_.icon.width;
    const bool newTip = state.tip != state_.tip;
    state_ = state;
    if (newIcon) Emit("NewIcon");
    if (newTip) {
      Emit("NewToolTip");
      Emit("NewTitle");
    }
  }

 private:
  void Emit(const char* signal) {
    g_dbus_connection_emit_signal(bus_, nullptr, path_.c_str(), kItemInterface, signal, nullptr, nullptr);
  }

  std::string Title() const {
    const char* name = g_get_application_name();
    return state_.tip.empty() ? (name ? name : "") : state_.tip;
  }

  void Press(int button, int x, int y) {
    gint time = 400;
    g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &time, nullptr);
    // Activations carry the pointer's position; a host may repeat it only roughly.
    PostCallback(state_, clicks_.Press(button, static_cast<std::uint32_t>(g_get_monotonic_time() / 1000), x, y,
                                       static_cast<std::uint32_t>(time), 16));
    PostCallback(state_, ClickSequence::Release(button));
  }

  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    auto* self = static_cast<StatusNotifierIcon*>(data);
    gint x = 0, y = 0;
    if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ii)"))) g_variant_get(parameters, "(ii)", &x, &y);
    if (g_strcmp0(method, "Activate") == 0)
      self->Press(1, x, y);
    else if (g_strcmp0(method, "SecondaryActivate") == 0)
      self->Press(2, x, y);
    else if (g_strcmp0(method, "ContextMenu") == 0)
      self->Press(3, x, y);
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }

  static GVariant* OnGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property, GError**,
                         gpointer data) {
    auto* self = static_cast<StatusNotifierIcon*>(data);
    const std::string p = property;
    const char* id = g_get_prgname();
    if (p == "Category") return g_variant_new_string("ApplicationStatus");
    if (p == "Id") return g_variant_new_string(id ? id : "tavelin");
    if (p == "Title") return g_variant_new_string(self->Title().c_str());
    if (p == "Status") return g_variant_new_string("Active");
    if (p == "WindowId") return g_variant_new_int32(0);
    if (p == "IconName") return g_variant_new_string(self->state_.icon.Empty() ? "application-x-executable" : "");
    if (p == "IconPixmap") return Pixmaps(self->state_.icon);
    if (p == "ToolTip")
      return g_variant_new("(s@a(iiay)ss)", "", Pixmaps({}), self->state_.tip.c_str(), "");
    if (p == "ItemIsMenu") return g_variant_new_boolean(FALSE);
    if (p == "Menu") return g_variant_new_object_path("/NO_DBUSMENU");
    return nullptr;
  }

  GDBusConnection* bus_;
  const std::string path_ = "/StatusNotifierItem";
  guint registration_ = 0;
  IconState state_;
  ClickSequence clicks_;
};

}  // namespace

std::unique_ptr<Presenter> CreateStatusNotifierIcon(const IconState& state) {
  GDBusConnection* bus = dbus::SessionBus();
  if (!bus || !WatcherWithHost(bus)) return nullptr;
  GDBusConnection* own = dbus::OpenPrivateConnection();
  if (!own) return nullptr;
  auto icon = std::make_unique<StatusNotifierIcon>(own, state);
  if (!icon->Register()) return nullptr;
  return icon;
}

}  // namespace plat::tray
