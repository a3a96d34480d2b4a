// Modal message boxes on GTK 3: a GtkMessageDialog driven by the toolkit's nested loop, so timers,
// idle moments and tray commands go on while it is open.
#include <gtk/gtk.h>

#include "platform/display.h"
#include "platform/linux/GtkSession.h"
#include "platform/linux/PrimaryScreenOrigin.h"
#include "platform/messages.h"
#include "platform/peers.h"

namespace plat {
namespace {

void OnResponse(GtkDialog*, gint, bool* answered) {
  *answered = true;
  // The click reached us as a GTK event, not as a message: make the nested loop turn so it sees
  // the answer instead of sleeping on.
  PostMessageA(nullptr, WM_NULL, 0, 0);
}

}  // namespace

void RunMessageBox(HWND, const std::string& text, const std::string& caption, bool error, ModalPump& pump) {
  gtk::RequireDisplay();
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, error ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER,
                                             GTK_BUTTONS_OK, "%s", text.c_str());
  g_object_ref(dialog);  // a close request destroys the dialog while we still refer to it
  if (error) {
    // GTK 3 message dialogs no longer show their type's icon by themselves.
    GtkWidget* icon = gtk_image_new_from_icon_name("dialog-error", GTK_ICON_SIZE_DIALOG);
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), icon);
    gtk_widget_show(icon);
  }
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  // Centred on the primary output, as on Windows; GTK's own centring picks a monitor by count.
  GtkRequisition size{};
  gtk_widget_get_preferred_size(dialog, nullptr, &size);
  const POINT origin = x11::PrimaryScreenOrigin();
  gtk_window_move(GTK_WINDOW(dialog), origin.x + (GetSystemMetrics(SM_CXSCREEN) - size.width) / 2,
                  origin.y + (GetSystemMetrics(SM_CYSCREEN) - size.height) / 2);
  bool answered = false;
  g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), &answered);
  gtk_widget_show(dialog);
  while (!answered && pump.HandleOneMessage()) {
  }
  g_signal_handlers_disconnect_by_data(dialog, &answered);
  gtk_widget_destroy(dialog);
  g_object_unref(dialog);
}

}  // namespace plat
