// The linux backend's controls as GTK widgets: where they are put, what the program sets quietly,
// and the user's actions (emitted as GTK emits them) reaching the control's events once each.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/linux/GtkClientArea.h"
#include "platform/messages.h"
#include "tests/support/RecordingFormEvents.h"

using namespace plat;

namespace {

struct RecordingControlEvents final : ControlPeerEvents {
  void PeerClicked() override { seen.push_back("clicked"); }
  void PeerValueChanged(int value) override { seen.push_back("value " + std::to_string(value)); }
  void PeerTabPressed(bool backward) override { seen.push_back(backward ? "back tab" : "tab"); }
  std::vector<std::string> seen;
};

GtkWidget* Named(FormPeer& form, const std::string& name) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(gtk::ClientArea(form)));
  GtkWidget* found = nullptr;
  for (GList* c = children; c; c = c->next)
    if (name == gtk_widget_get_name(GTK_WIDGET(c->data))) found = GTK_WIDGET(c->data);
  g_list_free(children);
  return found;
}

TEST(GtkControls, WidgetsSitAtFormCoordinatesAndOnlyTheUsersActionsAreReported) {
  HWND app = CreateApplicationWindow("Tavelin test", &DefWindowProcA);
  RecordingFormEvents formEvents;
  auto form = CreateFormPeer(formEvents, app, "panel");
  RecordingControlEvents check, radio1, radio2, slider, button;
  auto checkPeer = CreateControlPeer(ControlKind::CheckBox, check, *form, "check");
  auto r1 = CreateControlPeer(ControlKind::RadioButton, radio1, *form, "r1");
  auto r2 = CreateControlPeer(ControlKind::RadioButton, radio2, *form, "r2", r1.get());
  auto sliderPeer = CreateControlPeer(ControlKind::TrackBar, slider, *form, "slider");
  auto buttonPeer = CreateControlPeer(ControlKind::Button, button, *form, "button");

  checkPeer->SetBounds(236, 104, 157, 17);
  checkPeer->SetText("Run on &startup");
  GtkWidget* c = Named(*form, "check");
  ASSERT_NE(c, nullptr);
  int x = 0, y = 0;
  gtk_container_child_get(GTK_CONTAINER(gtk::ClientArea(*form)), c, "x", &x, "y", &y, nullptr);
  EXPECT_EQ(x, 236);
  EXPECT_EQ(y, 104);
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(c)), "Run on _startup");

  checkPeer->SetChecked(true);  // the program's own change: quiet
  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c)));
  gtk_button_clicked(GTK_BUTTON(c));  // the user's
  EXPECT_EQ(check.seen, (std::vector<std::string>{"value 0"}));

  r1->SetChecked(true);
  gtk_button_clicked(GTK_BUTTON(Named(*form, "r2")));
  EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Named(*form, "r1"))));
  EXPECT_EQ(radio1.seen, (std::vector<std::string>{"value 0"}));
  EXPECT_EQ(radio2.seen, (std::vector<std::string>{"value 1"}));

  sliderPeer->SetRange(1, 4);
  sliderPeer->SetPosition(2);
  gtk_range_set_value(GTK_RANGE(Named(*form, "slider")), 3);  // as a drag would
  EXPECT_EQ(slider.seen, (std::vector<std::string>{"value 3"}));

  gtk_button_clicked(GTK_BUTTON(Named(*form, "button")));
  GdkEvent* key = gdk_event_new(GDK_KEY_PRESS);
  key->key.keyval = GDK_KEY_ISO_Left_Tab;
  key->key.state = GDK_SHIFT_MASK;
  gboolean handled = FALSE;
  g_signal_emit_by_name(Named(*form, "button"), "key-press-event", key, &handled);
  gdk_event_free(key);
  EXPECT_TRUE(handled);
  EXPECT_EQ(button.seen, (std::vector<std::string>{"clicked", "back tab"}));

  buttonPeer.reset();
  EXPECT_EQ(Named(*form, "button"), nullptr);  // gone from the form with its peer
  sliderPeer.reset();
  r2.reset();
  r1.reset();
  checkPeer.reset();
  form.reset();
  DestroyWindow(app);
}

// A form goes before its controls when its owner is destroyed (a notification window releasing
// itself): the controls' peers then go quietly, without touching freed widgets.
TEST(GtkControls, ControlsOutliveTheirFormsWindowQuietly) {
  int complaints = 0;
  const auto counter = [](const gchar*, GLogLevelFlags, const gchar*, gpointer data) { ++*static_cast<int*>(data); };
  const guint gobject = g_log_set_handler("GLib-GObject", GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                                          counter, &complaints);
  const guint gtk = g_log_set_handler("Gtk", GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING), counter,
                                      &complaints);
  HWND app = CreateApplicationWindow("Tavelin test", &DefWindowProcA);
  RecordingFormEvents formEvents;
  auto form = CreateFormPeer(formEvents, app, "agent");
  RecordingControlEvents list, check;
  auto listPeer = CreateControlPeer(ControlKind::ListBox, list, *form, "agtext");
  auto checkPeer = CreateControlPeer(ControlKind::CheckBox, check, *form, "agstartup");
  form->Show();
  form.reset();
  listPeer.reset();
  checkPeer.reset();
  DestroyWindow(app);
  g_log_remove_handler("GLib-GObject", gobject);
  g_log_remove_handler("Gtk", gtk);
  EXPECT_EQ(complaints, 0);
}

}  // namespace
