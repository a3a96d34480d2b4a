// Popup menus on GTK 3: a GtkMenu at the pointer, with the application's loop running until it
// closes. The default item is shown in bold, as Windows shows it.
#include <gtk/gtk.h>

#include "platform/linux/GtkSession.h"
#include "platform/linux/PrimaryScreenOrigin.h"
#include "platform/menu.h"
#include "platform/messages.h"

namespace plat {
namespace {

struct Tracking {
  bool closed = false;
  UINT chosen = 0;
};

void OnActivate(GtkMenuItem* item, gpointer data) {
  static_cast<Tracking*>(data)->chosen = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "command"));
}

void OnDeactivate(GtkMenuShell*, gpointer data) {
  static_cast<Tracking*>(data)->closed = true;
  // The choice reached us as a GTK event, not as a message: make the nested loop turn so it sees
  // the menu closed instead of sleeping on until the next event.
  PostMessageA(nullptr, WM_NULL, 0, 0);
}

GtkWidget* MakeItem(const MenuItemSpec& entry, Tracking& tracking) {
  if (entry.caption == "-") return gtk_separator_menu_item_new();
  GtkWidget* item = entry.checked ? gtk_check_menu_item_new_with_label(entry.caption.c_str())
                                 : gtk_menu_item_new_with_label(entry.caption.c_str());
  if (entry.checked) gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), TRUE);
  if (entry.isDefault) {
    gchar* markup = g_markup_printf_escaped("<b>%s</b>", entry.caption.c_str());
    gtk_label_set_markup(GTK_LABEL(gtk_bin_get_child(GTK_BIN(item))), markup);
    g_free(markup);
  }
  gtk_widget_set_sensitive(item, entry.enabled);
  g_object_set_data(G_OBJECT(item), "command", GUINT_TO_POINTER(entry.command));
  g_signal_connect(item, "activate", G_CALLBACK(&OnActivate), &tracking);
  return item;
}

}  // namespace

UINT TrackMenu(HWND, const std::vector<MenuItemSpec>& items, int x, int y, ModalPump& pump) {
  gtk::RequireDisplay();
  Tracking tracking;
  GtkWidget* menu = GTK_WIDGET(g_object_ref_sink(gtk_menu_new()));
  for (const auto& entry : items) {
    GtkWidget* item = MakeItem(entry, tracking);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    gtk_widget_show(item);
  }
  g_signal_connect(menu, "deactivate", G_CALLBACK(&OnDeactivate), &tracking);
  // At the given point (relative to the primary output, as the cursor's position is): a 1x1
  // rectangle on the root window there.
  GdkWindow* root = gdk_get_default_root_window();
  const POINT origin = x11::PrimaryScreenOrigin();
  const GdkRectangle at{origin.x + x, origin.y + y, 1, 1};
  // The click that asked for the menu is long handled: a stand-in press tells GTK which pointer
  // to grab.
  GdkEvent* trigger = gdk_event_new(GDK_BUTTON_PRESS);
  trigger->button.window = GDK_WINDOW(g_object_ref(root));
  trigger->button.time = GDK_CURRENT_TIME;
  trigger->button.button = 3;
  if (GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default()))
    gdk_event_set_device(trigger, gdk_seat_get_pointer(seat));
  gtk_menu_popup_at_rect(GTK_MENU(menu), root, &at, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, trigger);
  gdk_event_free(trigger);
  // A menu that could not grab the pointer never shows and never closes by itself.
  if (!gtk_widget_get_visible(menu)) tracking.closed = true;
  while (!tracking.closed)
    if (!pump.HandleOneMessage()) break;
  g_signal_handlers_disconnect_by_data(menu, &tracking);
  gtk_widget_destroy(menu);
  g_object_unref(menu);
  return tracking.closed ? tracking.chosen : 0;
}

}  // namespace plat
