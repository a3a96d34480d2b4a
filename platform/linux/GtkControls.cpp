// Windowed controls on GTK 3: widgets placed in the form's GtkFixed at form coordinates. Our own
// changes are made quietly: only the user's actions reach the toolkit.
#include <gtk/gtk.h>

#include <cmath>
#include <string>

#include "platform/controls.h"
#include "platform/linux/GtkClientArea.h"
#include "platform/linux/GtkCss.h"
#include "platform/shared/AccelText.h"

namespace plat {
namespace {

// "&x" marks x as the mnemonic (the last mark wins, as on Windows); GTK marks it with "_" and
// shows "__" as one underscore.
std::string Mnemonic(const std::string& caption) {
  const text::AccelText plain = text::StripAccelerators(caption);
  std::string out;
  for (std::size_t i = 0; i < plain.text.size(); ++i) {
    if (static_cast<int>(i) == plain.underline) out += '_';
    if (plain.text[i] == '_') out += '_';
    out += plain.text[i];
  }
  return out;
}

class GtkControlPeer final : public ControlPeer {
 public:
  GtkControlPeer(ControlKind kind, ControlPeerEvents& events, FormPeer& form, const std::string& name,
                 GtkControlPeer* group)
      : kind_(kind), events_(events) {
    switch (kind) {
      case ControlKind::Button:
        widget_ = gtk_button_new_with_label("");
        g_signal_connect(widget_, "clicked", G_CALLBACK(&GtkControlPeer::OnClicked), this);
        break;
      case ControlKind::CheckBox:
        widget_ = gtk_check_button_new_with_label("");
        g_signal_connect(widget_, "toggled", G_CALLBACK(&GtkControlPeer::OnToggled), this);
        break;
      case ControlKind::RadioButton:
        widget_ = group ? gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(group->widget_), "")
                        : gtk_radio_button_new_with_label(nullptr, "");
        g_signal_connect(widget_, "toggled", G_CALLBACK(&GtkControlPeer::OnToggled), this);
        break;
      case ControlKind::GroupBox:
        widget_ = gtk_frame_new("");
        break;
      case ControlKind::TrackBar:
        widget_ = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 10, 1);
        gtk_scale_set_draw_value(GTK_SCALE(widget_), FALSE);
        gtk_range_set_round_digits(GTK_RANGE(widget_), 0);
        g_signal_connect(widget_, "value-changed", G_CALLBACK(&GtkControlPeer::OnValueChanged), this);
        break;
      case ControlKind::ListBox:
        widget_ = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(widget_), GTK_SHADOW_IN);
        list_ = gtk_list_box_new();
        gtk_container_add(GTK_CONTAINER(widget_), list_);
        // Kept alive with the control: a form destroys its native window before its controls.
        g_object_ref(list_);
        gtk_widget_show(list_);
        g_signal_connect(list_, "row-selected", G_CALLBACK(&GtkControlPeer::OnRowSelected), this);
        break;
    }
    g_object_ref_sink(widget_);
    gtk_widget_set_name(widget_, name.c_str());
    css_ = gtk_css_provider_new();
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget_), GTK_STYLE_PROVIDER(css_),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_signal_connect(widget_, "focus-in-event", G_CALLBACK(&GtkControlPeer::OnFocusIn), this);
    g_signal_connect(list_ ? list_ : widget_, "key-press-event", G_CALLBACK(&GtkControlPeer::OnKey), this);
    fixed_ = GTK_WIDGET(g_object_ref(gtk::ClientArea(form)));
    gtk_fixed_put(GTK_FIXED(fixed_), widget_, 0, 0);
  }

  ~GtkControlPeer() override {
    g_signal_handlers_disconnect_by_data(widget_, this);
    if (list_) g_signal_handlers_disconnect_by_data(list_, this);
    gtk_widget_destroy(widget_);
    g_object_unref(widget_);
    if (list_) g_object_unref(list_);
    g_object_unref(fixed_);
    g_object_unref(css_);
  }

  void SetBounds(int left, int top, int width, int height) override {
    gtk_fixed_move(GTK_FIXED(fixed_), widget_, left, top);
    gtk_widget_set_size_request(widget_, width, height);
  }
  void SetVisible(bool visible) override { gtk_widget_set_visible(widget_, visible); }
  void SetEnabled(bool enabled) override { gtk_widget_set_sensitive(widget_, enabled); }

  void SetText(const std::string& text) override {
    if (kind_ == ControlKind::GroupBox) {
      gtk_frame_set_label(GTK_FRAME(widget_), text.empty() ? nullptr : plat::text::StripAccelerators(text).text.c_str());
      ApplyCss();
    } else if (GTK_IS_BUTTON(widget_)) {
      gtk_button_set_label(GTK_BUTTON(widget_), Mnemonic(text).c_str());
      gtk_button_set_use_underline(GTK_BUTTON(widget_), TRUE);
      ApplyCss();
    }
  }

  void SetFont(const FontSpec& font) override {
    font_ = font;
    ApplyCss();
  }

  void SetChecked(bool checked) override {
    if (!GTK_IS_TOGGLE_BUTTON(widget_)) return;
    Quietly([&] { gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget_), checked); });
  }

  void SetRange(int min, int max) override {
    if (kind_ == ControlKind::TrackBar) Quietly([&] { gtk_range_set_range(GTK_RANGE(widget_), min, std::max(max, min + 1)); });
  }
  void SetPosition(int position) override {
    if (kind_ == ControlKind::TrackBar) Quietly([&] { gtk_range_set_value(GTK_RANGE(widget_), position); });
  }
  void SetThumbLength(int pixels) override {
    thumb_ = pixels;
    ApplyCss();
  }

  void SetItems(const std::vector<std::string>& items) override {
    if (!list_) return;
    Quietly([&] {
      GList* rows = gtk_container_get_children(GTK_CONTAINER(list_));
      for (GList* r = rows; r; r = r->next) gtk_widget_destroy(GTK_WIDGET(r->data));
      g_list_free(rows);
      for (const auto& item : items) {
        GtkWidget* label = gtk_label_new(item.c_str());
        gtk_label_set_xalign(GTK_LABEL(label), 0);
        gtk_widget_set_size_request(label, -1, itemHeight_);
        gtk_list_box_insert(GTK_LIST_BOX(list_), label, -1);
        gtk_widget_show(label);
      }
    });
  }
  void SetItemHeight(int pixels) override { itemHeight_ = pixels; }
  void SetItemIndex(int index) override {
    if (!list_) return;
    Quietly([&] {
      GtkListBoxRow* row = index >= 0 ? gtk_list_box_get_row_at_index(GTK_LIST_BOX(list_), index) : nullptr;
      gtk_list_box_select_row(GTK_LIST_BOX(list_), row);
    });
  }

  void SetFocus() override { gtk_widget_grab_focus(list_ ? list_ : widget_); }
  bool Focused() const override { return gtk_widget_has_focus(list_ ? list_ : widget_); }

  GtkWidget* Widget() const { return widget_; }

 private:
  template <typename F>
  void Quietly(F&& change) {
    quiet_ = true;
    change();
    quiet_ = false;
  }

  // The control's font and colour, and a track bar's thumb length; a group box's caption takes
  // the font as well.
  void ApplyCss() {
    std::string css = "* { " + gtk::CssFont(font_) + " }";
    if (kind_ == ControlKind::TrackBar && thumb_ > 0)
      css += " slider { min-width: " + std::to_string(thumb_ / 2) + "px; min-height: " + std::to_string(thumb_ / 2) + "px; }";
    gtk_css_provider_load_from_data(css_, css.c_str(), -1, nullptr);
    GtkWidget* caption = nullptr;
    if (kind_ == ControlKind::GroupBox) caption = gtk_frame_get_label_widget(GTK_FRAME(widget_));
    if (GTK_IS_BUTTON(widget_)) caption = gtk_bin_get_child(GTK_BIN(widget_));
    if (caption && caption != styledCaption_) {
      gtk_style_context_add_provider(gtk_widget_get_style_context(caption), GTK_STYLE_PROVIDER(css_),
                                     GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
      styledCaption_ = caption;
    }
  }

  static void OnClicked(GtkButton*, GtkControlPeer* self) {
    if (!self->quiet_) self->events_.PeerClicked();
  }
  static void OnToggled(GtkToggleButton* button, GtkControlPeer* self) {
    if (!self->quiet_) self->events_.PeerValueChanged(gtk_toggle_button_get_active(button) ? 1 : 0);
  }
  static void OnValueChanged(GtkRange* range, GtkControlPeer* self) {
    if (!self->quiet_) self->events_.PeerValueChanged(static_cast<int>(std::lround(gtk_range_get_value(range))));
  }
  static void OnRowSelected(GtkListBox*, GtkListBoxRow* row, GtkControlPeer* self) {
    if (!self->quiet_) self->events_.PeerValueChanged(row ? gtk_list_box_row_get_index(row) : -1);
  }
  // GTK would move the focus in the order the widgets were made; the toolkit has its own.
  static gboolean OnKey(GtkWidget*, GdkEventKey* e, GtkControlPeer* self) {
    if (e->keyval != GDK_KEY_Tab && e->keyval != GDK_KEY_ISO_Left_Tab) return FALSE;
    self->events_.PeerTabPressed(e->keyval == GDK_KEY_ISO_Left_Tab || (e->state & GDK_SHIFT_MASK));
    return TRUE;
  }
  static gboolean OnFocusIn(GtkWidget*, GdkEvent*, GtkControlPeer* self) {
    self->events_.PeerFocusChanged(true);
    return FALSE;
  }

  ControlKind kind_;
  ControlPeerEvents& events_;
  GtkWidget* widget_ = nullptr;
  GtkWidget* list_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  GtkWidget* styledCaption_ = nullptr;
  GtkCssProvider* css_ = nullptr;
  FontSpec font_;
  int thumb_ = 0;
  int itemHeight_ = 13;
  bool quiet_ = false;
};

}  // namespace

std::unique_ptr<ControlPeer> CreateControlPeer(ControlKind kind, ControlPeerEvents& events, FormPeer& form,
                                               const std::string& name, ControlPeer* groupWith) {
  return std::make_unique<GtkControlPeer>(kind, events, form, name, static_cast<GtkControlPeer*>(groupWith));
}

}  // namespace plat
