// Form peers on GTK 3: a top-level window whose client area is a GtkFixed (children sit at
// absolute positions). The client area is painted by us; a colour-keyed window shows an image of
// that painting, the one its shape is worked out from.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/core/FormWindow.h"
#include "platform/linux/CairoSurface.h"
#include "platform/linux/ColorKeyShape.h"
#include "platform/linux/FrameExtents.h"
#include "platform/linux/GtkClientArea.h"
#include "platform/linux/GtkCss.h"
#include "platform/linux/GtkSession.h"
#include "platform/linux/IconPixbuf.h"
#include "platform/linux/KeyedPainting.h"
#include "platform/linux/PrimaryScreenOrigin.h"
#include "platform/linux/TaskbarPresence.h"
#include "platform/messages.h"
#include "platform/peers.h"
#include "platform/rects.h"
#include "platform/startup_trace.h"

namespace plat {
namespace {

using linux_icon::PixbufFromArgb;

class GtkFormPeer final : public FormPeer, public core::WindowObserver, private taskbar::Member {
 public:
  GtkFormPeer(FormPeerEvents& events, HWND owner, const std::string& name) : events_(events), owner_(owner) {
    gtk::RequireDisplay();
    // Our own references: GTK may destroy the widgets (display gone) before the peer goes.
    window_ = GTK_WIDGET(g_object_ref(gtk_window_new(GTK_WINDOW_TOPLEVEL)));
    gtk_widget_set_name(window_, name.c_str());
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_gravity(GTK_WINDOW(window_), GDK_GRAVITY_NORTH_WEST);
    client_ = GTK_WIDGET(g_object_ref_sink(gtk_fixed_new()));
    // A client area with a window of its own: a windowless child shares the top-level's window,
    // and GTK resets that window's input shape whenever such a child is realized.
    gtk_widget_set_has_window(client_, TRUE);
    gtk_container_add(GTK_CONTAINER(window_), client_);
    gtk_widget_show(client_);
    css_ = gtk_css_provider_new();
    gtk_style_context_add_provider(gtk_widget_get_style_context(window_), GTK_STYLE_PROVIDER(css_),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_signal_connect(client_, "draw", G_CALLBACK(&GtkFormPeer::OnDraw), this);
    gtk_widget_add_events(client_, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_LEAVE_NOTIFY_MASK);
    g_signal_connect(client_, "motion-notify-event", G_CALLBACK(&GtkFormPeer::OnMotion), this);
    g_signal_connect(client_, "button-press-event", G_CALLBACK(&GtkFormPeer::OnButton), this);
    g_signal_connect(client_, "button-release-event", G_CALLBACK(&GtkFormPeer::OnButton), this);
    g_signal_connect(client_, "leave-notify-event", G_CALLBACK(&GtkFormPeer::OnLeave), this);
    g_signal_connect(client_, "realize", G_CALLBACK(&GtkFormPeer::OnRealize), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(&GtkFormPeer::OnDelete), this);
    g_signal_connect(window_, "focus-in-event", G_CALLBACK(&GtkFormPeer::OnFocusIn), this);
    if (StartupTraceOn()) g_signal_connect(window_, "map-event", G_CALLBACK(&GtkFormPeer::OnMapped), nullptr);
    // The window manager tells of the frame it draws through a property of the window.
    gtk_widget_add_events(window_, GDK_PROPERTY_CHANGE_MASK);
    g_signal_connect(window_, "realize", G_CALLBACK(&GtkFormPeer::OnWindowRealize), this);
    g_signal_connect(window_, "property-notify-event", G_CALLBACK(&GtkFormPeer::OnProperty), this);
    handle_ = core::CreateFormWindow(events, *this);
    ApplyTitle();
    taskbar::Join(this);
    ApplyTaskbarHint();
  }

  ~GtkFormPeer() override {
    keyed_.reset();
    taskbar::Leave(this);
    DestroyWindow(handle_);
    g_signal_handlers_disconnect_by_data(client_, this);
    g_signal_handlers_disconnect_by_data(window_, this);
    gtk_widget_destroy(window_);
    g_object_unref(client_);
    g_object_unref(window_);
    g_object_unref(css_);
  }

  HWND Handle() const override { return handle_; }
  // As on Windows, a hidden window stays hidden: the tray icon asks for its owner to come to the
  // front on every click, also once the program lives only in the tray.
  void BringToFront() override {
    if (gtk_widget_get_visible(window_)) gtk_window_present(GTK_WINDOW(window_));
  }
  GtkWidget* Client() const { return client_; }

  void SetCaption(const std::string& caption) override {
    caption_ = caption;
    core::SetWindowCaption(handle_, caption);
    ApplyTitle();
  }

  void SetBorder(BorderStyle style, BorderIcons icons) override {
    auto* window = GTK_WINDOW(window_);
    gtk_window_set_decorated(window, style != BorderStyle::None);
    gtk_window_set_deletable(window, icons.systemMenu);
    toolWindow_ = style == BorderStyle::ToolWindow;
    gtk_window_set_type_hint(window, toolWindow_ ? GDK_WINDOW_TYPE_HINT_UTILITY : GDK_WINDOW_TYPE_HINT_NORMAL);
    ApplyTaskbarHint();
  }

  void TaskbarPresenceChanged() override { ApplyTaskbarHint(); }

  // Tool windows never show on the task bar; the others follow the application.
  void ApplyTaskbarHint() {
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), toolWindow_ || !taskbar::ApplicationOnTaskbar());
  }

  void SetBounds(int left, int top, int clientWidth, int clientHeight) override {
    clientWidth_ = std::max(clientWidth, 0);
    clientHeight_ = std::max(clientHeight, 0);
    // The window is not resizable, so it takes exactly the size its client area asks for.
    gtk_widget_set_size_request(client_, clientWidth_, clientHeight_);
    const POINT origin = x11::PrimaryScreenOrigin();
    gtk_window_move(GTK_WINDOW(window_), origin.x + left, origin.y + top);
    UpdateShape();
  }

  RECT FrameExtents() const override { return frame_; }

  void SetCursor(CursorShape shape) override {
    cursor_ = shape;
    ApplyCursor();
  }

  // The area is drawn again soon, and a keyed window's shape follows the new painting.
  void Invalidate(const RECT& area) override {
    gtk_widget_queue_draw_area(client_, area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (keyed_) keyed_->Changed(*key_, clientWidth_, clientHeight_);
  }

  void Update() override {
    GdkWindow* window = gtk_widget_get_window(client_);
    if (!window || !gtk_widget_is_drawable(client_)) return;
    // GTK 3 has no other way to draw the pending region before the frame clock's next turn.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gdk_window_process_updates(window, TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
  }

  void SetTransparentColor(std::optional<COLORREF> key) override {
    key_ = key;
    UpdateShape();
  }

  void SetFont(const FontSpec& font) override {
    // Font and colour are inherited through the CSS tree, so controls placed on the form later
    // take them from the window.
    const std::string css = "window { " + gtk::CssFont(font) + " }";
    gtk_css_provider_load_from_data(css_, css.c_str(), -1, nullptr);
  }

  void SetIcon(const IconImage& icon) override {
    if (icon.Empty()) {
      gtk_window_set_icon(GTK_WINDOW(window_), nullptr);
      return;
    }
    GdkPixbuf* pixbuf = PixbufFromArgb(icon);
    gtk_window_set_icon(GTK_WINDOW(window_), pixbuf);
    g_object_unref(pixbuf);
  }

  void Show() override { ShowWindow(handle_, SW_SHOW); }
  void Hide() override { ShowWindow(handle_, SW_HIDE); }
  bool Visible() const override { return IsWindowVisible(handle_) != 0; }

  void ShowStateChanged(bool visible, bool iconic) override {
    if (!visible) {
      gtk_widget_hide(window_);
      return;
    }
    ApplyTitle();
    if (keyed_) keyed_->BeforeShow();
    gtk_widget_show(window_);
    if (iconic)
      gtk_window_iconify(GTK_WINDOW(window_));
    else
      gtk_window_deiconify(GTK_WINDOW(window_));
  }

 private:
  // What the client area shows within `cr`'s clip (GTK's dirty area), on screen and off screen
  // alike: the form paints all of it, its background included.
  void PaintClient(cairo_t* cr) const {
    GdkRectangle clip;
    const RECT whole{0, 0, clientWidth_, clientHeight_};
    const RECT dirty = gdk_cairo_get_clip_rectangle(cr, &clip)
                           ? RectIntersection(whole, {clip.x, clip.y, clip.x + clip.width, clip.y + clip.height})
                           : whole;
    if (RectEmpty(dirty)) return;
    gtk::CairoSurface surface(cr, clientWidth_, clientHeight_);
    events_.PeerPaint(surface, dirty);
  }

  // The client area's GdkWindow exists once it is realized; the cursor is applied then too.
  void ApplyCursor() {
    GdkWindow* window = gtk_widget_get_window(client_);
    if (!window) return;
    const char* name = "default";
    switch (cursor_) {
      case CursorShape::HandPoint: name = "pointer"; break;
      case CursorShape::IBeam: name = "text"; break;
      case CursorShape::Wait: name = "wait"; break;
      case CursorShape::Arrow: break;
    }
    GdkCursor* cursor = gdk_cursor_new_from_name(gdk_window_get_display(window), name);
    gdk_window_set_cursor(window, cursor);
    if (cursor) g_object_unref(cursor);
  }

  static void OnRealize(GtkWidget*, GtkFormPeer* self) { self->ApplyCursor(); }

  static void OnWindowRealize(GtkWidget* window, GtkFormPeer*) { gtk::RequestFrameExtents(window); }

  static gboolean OnProperty(GtkWidget* window, GdkEventProperty* e, GtkFormPeer* self) {
    if (!gtk::IsFrameExtentsChange(e)) return FALSE;
    const RECT frame = gtk::ReportedFrameExtents(window);
    if (frame.left == self->frame_.left && frame.top == self->frame_.top && frame.right == self->frame_.right &&
        frame.bottom == self->frame_.bottom)
      return FALSE;
    self->frame_ = frame;
    self->events_.PeerFrameChanged();
    return FALSE;
  }

  // Mouse input reaches the form through its queue, as a native window's would.
  void PostMouse(UINT msg, double x, double y, guint state) {
    WPARAM keys = 0;
    if (state & GDK_BUTTON1_MASK) keys |= MK_LBUTTON;
    if (state & GDK_BUTTON3_MASK) keys |= MK_RBUTTON;
    if (state & GDK_SHIFT_MASK) keys |= MK_SHIFT;
    if (state & GDK_CONTROL_MASK) keys |= MK_CONTROL;
    PostMessageA(handle_, msg, keys, MakePointParam(static_cast<int>(x), static_cast<int>(y)));
  }

  static gboolean OnMotion(GtkWidget*, GdkEventMotion* e, GtkFormPeer* self) {
    self->PostMouse(WM_MOUSEMOVE, e->x, e->y, e->state);
    return TRUE;
  }

  static gboolean OnButton(GtkWidget*, GdkEventButton* e, GtkFormPeer* self) {
    const bool left = e->button == 1;
    if (e->button != 1 && e->button != 3) return FALSE;
    UINT msg;
    if (e->type == GDK_BUTTON_PRESS)
      msg = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    else if (e->type == GDK_2BUTTON_PRESS)
      msg = left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
    else if (e->type == GDK_BUTTON_RELEASE)
      msg = left ? WM_LBUTTONUP : WM_RBUTTONUP;
    else
      return FALSE;
    self->PostMouse(msg, e->x, e->y, e->state);
    return TRUE;
  }

  static gboolean OnLeave(GtkWidget*, GdkEventCrossing* e, GtkFormPeer* self) {
    // Crossing into a child widget is no leaving of the client area.
    if (e->detail == GDK_NOTIFY_INFERIOR) return FALSE;
    self->PostMouse(WM_MOUSELEAVE, 0, 0, 0);
    return FALSE;
  }

  // The colour-key shape follows what the client area paints; call after anything that changes
  // the painting, the size or the key.
  void UpdateShape() {
    if (!key_) {
      keyed_.reset();
      gtk::ApplyShape(window_, nullptr);
      return;
    }
    if (!keyed_) keyed_ = std::make_unique<gtk::KeyedPainting>(window_, [this](cairo_t* cr) { PaintClient(cr); });
    keyed_->Changed(*key_, clientWidth_, clientHeight_);
  }

  // A form without a caption goes by the application's title, as its task-bar button would.
  void ApplyTitle() {
    const std::string title = caption_.empty() ? core::WindowCaption(owner_) : caption_;
    gtk_window_set_title(GTK_WINDOW(window_), title.c_str());
  }

  static gboolean OnDraw(GtkWidget*, cairo_t* cr, GtkFormPeer* self) {
    if (self->keyed_)
      self->keyed_->Draw(cr);
    else
      self->PaintClient(cr);
    return FALSE;  // the children draw on top
  }

  // The close button and the activation reach the form through the message loop, as they do
  // on Windows: the loop turns and the program goes idle again afterwards.
  static gboolean OnDelete(GtkWidget*, GdkEvent*, GtkFormPeer* self) {
    PostMessageA(self->handle_, WM_CLOSE, 0, 0);
    return TRUE;  // the form decides what closing means
  }

  static gboolean OnMapped(GtkWidget* window, GdkEvent*, gpointer) {
    StartupMilestone(std::string("mapped ") + gtk_window_get_title(GTK_WINDOW(window)));
    return FALSE;
  }

  static gboolean OnFocusIn(GtkWidget*, GdkEvent*, GtkFormPeer* self) {
    PostMessageA(self->handle_, WM_ACTIVATE, WA_ACTIVE, 0);
    return FALSE;
  }

  FormPeerEvents& events_;
  HWND owner_;
  HWND handle_ = nullptr;
  CursorShape cursor_ = CursorShape::Arrow;
  GtkWidget* window_ = nullptr;
  GtkWidget* client_ = nullptr;
  GtkCssProvider* css_ = nullptr;
  std::string caption_;
  bool toolWindow_ = false;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  RECT frame_{0, 0, 0, 0};
  std::optional<COLORREF> key_;
  std::unique_ptr<gtk::KeyedPainting> keyed_;
};

}  // namespace

std::unique_ptr<FormPeer> CreateFormPeer(FormPeerEvents& events, HWND owner, const std::string& name) {
  return std::make_unique<GtkFormPeer>(events, owner, name);
}

GtkWidget* gtk::ClientArea(FormPeer& form) { return dynamic_cast<GtkFormPeer&>(form).Client(); }

}  // namespace plat
