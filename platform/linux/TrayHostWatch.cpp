// "TaskbarCreated" for linux: a StatusNotifierWatcher that appears (or goes, leaving an XEmbed
// tray manager to show the icons), an XEmbed tray manager that appears, and a host that
// registers with a watcher while an icon could not go to it. An icon the watcher holds stays
// shown by whichever host comes: announcing then would only make the programs add it again.
#include "platform/linux/SessionBus.h"
#include "platform/linux/TrayHosts.h"
#include "platform/messages.h"

namespace plat::tray {
namespace {

bool watching = false;
bool watcherKnown = false;  // the first report only tells the state at the start
bool watcherPresent = false;
bool iconWithoutWatcher = false;

void Announce() {
  iconWithoutWatcher = false;  // the programs add their icons again, to the watcher if they can
  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

void OnAppeared(GDBusConnection*, const gchar*, const gchar*, gpointer) {
  const bool first = !watcherKnown;
  watcherKnown = true;
  if (watcherPresent) return;
  watcherPresent = true;
  if (!first) Announce();
}

void OnVanished(GDBusConnection*, const gchar*, gpointer) {
  const bool first = !watcherKnown;
  watcherKnown = true;
  if (!watcherPresent) return;
  watcherPresent = false;
  if (!first && XEmbedHostPresent()) Announce();
}

void OnHostRegistered(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*, gpointer) {
  if (iconWithoutWatcher) Announce();
}

}  // namespace

void NoteIconWithoutWatcher() { iconWithoutWatcher = true; }

void WatchForHosts() {
  if (watching) return;
  watching = true;
  WatchXEmbedHosts();
  if (GDBusConnection* bus = dbus::SessionBus()) {
    watcherPresent = dbus::NameHasOwner(bus, "org.kde.StatusNotifierWatcher");
    g_bus_watch_name_on_connection(bus, "org.kde.StatusNotifierWatcher", G_BUS_NAME_WATCHER_FLAGS_NONE, &OnAppeared,
                                   &OnVanished, nullptr, nullptr);
    // A watcher with no host shows nothing: the icons went to the XEmbed tray until one came.
    g_dbus_connection_signal_subscribe(bus, nullptr, "org.kde.StatusNotifierWatcher", "StatusNotifierHostRegistered",
                                       "/StatusNotifierWatcher", nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &OnHostRegistered,
                                       nullptr, nullptr);
  }
}

}  // namespace plat::tray
