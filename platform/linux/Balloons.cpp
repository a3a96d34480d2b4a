// Balloon tips as desktop notifications (org.freedesktop.Notifications): the title, the text,
// an icon for the balloon's kind and its time-out. The text is plain: a server that reads markup
// in bodies gets it escaped. The server's answers come back as the icon's codes: shown, clicked
// (the default action) or closed any other way (timed out).
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/SessionBus.h"
#include "platform/linux/TrayHosts.h"

namespace plat::tray {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

struct Balloon {
  IconState icon;
  guint32 notification = 0;  // 0 until the server answered
  bool clicked = false;
  std::uint64_t serial = 0;
};

// What is to be sent once the server has told what it reads.
struct Request {
  std::uint64_t serial = 0;
  guint32 replaces = 0;
  std::string title;
  std::string text;
  DWORD infoFlags = 0;
  UINT timeoutMs = 0;
};

std::vector<Balloon> balloons;  // GUI thread only
std::uint64_t nextSerial = 1;
GDBusConnection* subscribedBus = nullptr;

auto Find(HWND window, UINT id) {
  return std::find_if(balloons.begin(), balloons.end(),
                      [&](const Balloon& b) { return b.icon.window == window && b.icon.id == id; });
}

const char* IconName(DWORD infoFlags) {
  switch (infoFlags & 0x0F) {
    case NIIF_INFO: return "dialog-information";
    case NIIF_WARNING: return "dialog-warning";
    case NIIF_ERROR: return "dialog-error";
    default: return "";
  }
}

void CloseNotification(GDBusConnection* bus, guint32 id) {
  g_dbus_connection_call(bus, kService, kPath, kService, "CloseNotification", g_variant_new("(u)", id), nullptr,
                         G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
}

void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* member, GVariant* parameters,
              gpointer) {
  guint32 id = 0;
  if (g_strcmp0(member, "ActionInvoked") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(us)"))) {
    const gchar* key = nullptr;
    g_variant_get(parameters, "(u&s)", &id, &key);
    auto it = std::find_if(balloons.begin(), balloons.end(), [&](const Balloon& b) { return b.notification == id; });
    if (it == balloons.end() || g_strcmp0(key, "default") != 0) return;
    it->clicked = true;
    PostCallback(it->icon, NIN_BALLOONUSERCLICK);
  } else if (g_strcmp0(member, "NotificationClosed") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(uu)"))) {
    guint32 reason = 0;
    g_variant_get(parameters, "(uu)", &id, &reason);
    auto it = std::find_if(balloons.begin(), balloons.end(), [&](const Balloon& b) { return b.notification == id; });
    if (it == balloons.end()) return;
    const Balloon closed = *it;
    balloons.erase(it);
    if (!closed.clicked) PostCallback(closed.icon, NIN_BALLOONTIMEOUT);
  }
}

void Subscribe(GDBusConnection* bus) {
  if (subscribedBus == bus) return;
  subscribedBus = bus;
  g_dbus_connection_signal_subscribe(bus, nullptr, kService, nullptr, kPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
                                     &OnSignal, nullptr, nullptr);
}

void OnNotified(GObject* source, GAsyncResult* result, gpointer data) {
  const auto serial = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(data));
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
  auto it = std::find_if(balloons.begin(), balloons.end(), [&](const Balloon& b) { return b.serial == serial; });
  if (!reply) {
    // No server: the balloon is refused, as by a shell without balloons.
    if (it != balloons.end()) balloons.erase(it);
    return;
  }
  guint32 id = 0;
  g_variant_get(reply, "(u)", &id);
  g_variant_unref(reply);
  if (it == balloons.end()) {
    CloseNotification(G_DBUS_CONNECTION(source), id);  // the icon went meanwhile
    return;
  }
  it->notification = id;
  PostCallback(it->icon, NIN_BALLOONSHOW);
}

bool ReadsBodyMarkup(GVariant* capabilities) {
  if (!capabilities || !g_variant_is_of_type(capabilities, G_VARIANT_TYPE("(as)"))) return false;
  GVariantIter* names = nullptr;
  g_variant_get(capabilities, "(as)", &names);
  const gchar* name = nullptr;
  bool markup = false;
  while (g_variant_iter_next(names, "&s", &name)) markup = markup || g_strcmp0(name, "body-markup") == 0;
  g_variant_iter_free(names);
  return markup;
}

void OnCapabilities(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Request> request(static_cast<Request*>(data));
  auto* bus = G_DBUS_CONNECTION(source);
  GVariant* capabilities = g_dbus_connection_call_finish(bus, result, nullptr);
  const bool markup = ReadsBodyMarkup(capabilities);
  if (capabilities) g_variant_unref(capabilities);
  // The icon or a newer balloon of it may have taken this one's place meanwhile.
  auto it = std::find_if(balloons.begin(), balloons.end(), [&](const Balloon& b) { return b.serial == request->serial; });
  if (it == balloons.end()) return;

  gchar* body = markup ? g_markup_escape_text(request->text.c_str(), -1) : g_strdup(request->text.c_str());
  GVariantBuilder actions;
  g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
  g_variant_builder_add(&actions, "s", "default");
  g_variant_builder_add(&actions, "s", "Open");
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  const char* app = g_get_application_name();
  g_dbus_connection_call(
      bus, kService, kPath, kService, "Notify",
      g_variant_new("(susssasa{sv}i)", app ? app : "", request->replaces, IconName(request->infoFlags),
                    request->title.c_str(), body, &actions, &hints, static_cast<gint32>(request->timeoutMs)),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &OnNotified,
      reinterpret_cast<gpointer>(static_cast<std::uintptr_t>(request->serial)));
  g_free(body);
}

}  // namespace

void ShowBalloon(const IconState& state, const std::string& title, const std::string& text, DWORD infoFlags,
                 UINT timeoutMs) {
  GDBusConnection* bus = dbus::SessionBus();
  if (!bus) return;
  Subscribe(bus);
  auto old = Find(state.window, state.id);
  const guint32 replaces = old != balloons.end() ? old->notification : 0;
  if (old != balloons.end()) balloons.erase(old);
  // An empty text takes the balloon away, as on Windows.
  if (text.empty()) {
    if (replaces) CloseNotification(bus, replaces);
    return;
  }
  Balloon balloon{state, 0, false, nextSerial++};
  balloons.push_back(balloon);
  // Asked each time: the server may have been replaced by one that reads otherwise.
  auto* request = new Request{balloon.serial, replaces, title, text, infoFlags, timeoutMs};
  g_dbus_connection_call(bus, kService, kPath, kService, "GetCapabilities", nullptr, G_VARIANT_TYPE("(as)"),
                         G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &OnCapabilities, request);
}

void ForgetBalloon(HWND window, UINT id) {
  auto it = Find(window, id);
  if (it == balloons.end()) return;
  if (it->notification && dbus::SessionBus()) CloseNotification(dbus::SessionBus(), it->notification);
  balloons.erase(it);
}

}  // namespace plat::tray
