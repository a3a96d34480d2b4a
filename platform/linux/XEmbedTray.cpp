// XEmbed tray icons (the _NET_SYSTEM_TRAY_S<n> protocol) through GtkStatusIcon, and the watch
// for a tray manager that appears: it announces itself with a MANAGER message on the root window.
// Our headers first: X11's macros (None...) would spoil them.
#include "platform/linux/IconPixbuf.h"
#include "platform/linux/TrayHosts.h"
#include "platform/messages.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <string>

namespace plat::tray {
namespace {

std::string TraySelectionName(GdkScreen* screen) {
  return "_NET_SYSTEM_TRAY_S" + std::to_string(gdk_x11_screen_get_screen_number(screen));
}

bool TrayManagerPresent() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return false;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  const Atom selection = XInternAtom(x, TraySelectionName(gdk_display_get_default_screen(display)).c_str(), False);
  return XGetSelectionOwner(x, selection) != None;
}

class XEmbedIcon final : public Presenter {
 public:
  // No gtk_status_icon_set_name: on an icon already embedded it makes GTK take the tray window
  // down and show it again, and that window's map then fails GDK's update-freeze count
  // (gdk_window_thaw_toplevel_updates); the tray window's class is the program's name anyway.
  explicit XEmbedIcon(const IconState& state) : icon_(gtk_status_icon_new()) {
    g_signal_connect(icon_, "button-press-event", G_CALLBACK(&XEmbedIcon::OnPress), this);
    g_signal_connect(icon_, "button-release-event", G_CALLBACK(&XEmbedIcon::OnRelease), this);
    Update(state);
    gtk_status_icon_set_visible(icon_, TRUE);
  }

  ~XEmbedIcon() override {
    g_signal_handlers_disconnect_by_data(icon_, this);
    gtk_status_icon_set_visible(icon_, FALSE);
    g_object_unref(icon_);
  }

  void Update(const IconState& state) override {
    state_ = state;
    if (GdkPixbuf* pixbuf = state.icon.Empty() ? nullptr : linux_icon::PixbufFromArgb(state.icon)) {
      gtk_status_icon_set_from_pixbuf(icon_, pixbuf);
      g_object_unref(pixbuf);
    } else {
      gtk_status_icon_set_from_icon_name(icon_, "application-x-executable");
    }
    gtk_status_icon_set_tooltip_text(icon_, state.tip.empty() ? nullptr : state.tip.c_str());
    // Tray managers and test tools find the icon's window by this title.
    const char* name = g_get_prgname();
    gtk_status_icon_set_title(icon_, state.tip.empty() ? (name ? name : "tavelin") : state.tip.c_str());
  }

 private:
  static gboolean OnPress(GtkStatusIcon*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<XEmbedIcon*>(data);
    // GTK's own double-click events are left aside: the sequence decides, as Windows does.
    if (event->type != GDK_BUTTON_PRESS) return TRUE;
    gint time = 400, distance = 5;
    g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &time, "gtk-double-click-distance", &distance,
                 nullptr);
    PostCallback(self->state_, self->clicks_.Press(static_cast<int>(event->button), event->time,
                                                   static_cast<int>(event->x_root), static_cast<int>(event->y_root),
                                                   static_cast<std::uint32_t>(time), distance));
    return TRUE;
  }

  static gboolean OnRelease(GtkStatusIcon*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<XEmbedIcon*>(data);
    PostCallback(self->state_, ClickSequence::Release(static_cast<int>(event->button)));
    return TRUE;
  }

  GtkStatusIcon* icon_;
  IconState state_;
  ClickSequence clicks_;
};

GdkFilterReturn WatchRoot(GdkXEvent* xevent, GdkEvent*, gpointer) {
  const auto* event = static_cast<XEvent*>(xevent);
  if (event->type != ClientMessage) return GDK_FILTER_CONTINUE;
  Display* x = event->xclient.display;
  static const Atom manager = XInternAtom(x, "MANAGER", False);
  if (event->xclient.message_type != manager) return GDK_FILTER_CONTINUE;
  const Atom selection =
      XInternAtom(x, TraySelectionName(gdk_display_get_default_screen(gdk_display_get_default())).c_str(), False);
  if (static_cast<Atom>(event->xclient.data.l[1]) == selection)
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  return GDK_FILTER_CONTINUE;
}

}  // namespace

std::unique_ptr<Presenter> CreateXEmbedIcon(const IconState& state) {
  if (!TrayManagerPresent()) return nullptr;
  return std::make_unique<XEmbedIcon>(state);
}

bool XEmbedHostPresent() { return TrayManagerPresent(); }

void WatchXEmbedHosts() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return;
  GdkWindow* root = gdk_get_default_root_window();
  // MANAGER messages go to the root window with the structure mask.
  gdk_window_set_events(root, static_cast<GdkEventMask>(gdk_window_get_events(root) | GDK_STRUCTURE_MASK));
  gdk_window_add_filter(root, &WatchRoot, nullptr);
}

}  // namespace plat::tray
