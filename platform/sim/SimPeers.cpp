// Sim peers: records of what a native window would show, kept where tests can read them.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "platform/core/FormWindow.h"
#include "platform/messages.h"
#include "platform/rects.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimSurface.h"

namespace {

using sim::detail::TheDesktop;

void ActivateWindow(plat::HWND hwnd);

bool Matches(const sim::FormRecord& r, const std::string& key) {
  return r.name == key || r.caption == key || key == sim::FormKey(r.handle);
}

class SimFormPeer final : public plat::FormPeer,
                          public plat::core::WindowObserver,
                          public sim::detail::PaintableForm {
 public:
  SimFormPeer(plat::FormPeerEvents& events, const std::string& name) : events_(events) {
    record_.name = name;
    record_.handle = plat::core::CreateFormWindow(events, *this);
    std::lock_guard g(TheDesktop().lock);
    TheDesktop().forms[record_.handle] = &record_;
    TheDesktop().paintable[record_.handle] = this;
  }

  ~SimFormPeer() override {
    {
      std::lock_guard g(TheDesktop().lock);
      TheDesktop().forms.erase(record_.handle);
      TheDesktop().paintable.erase(record_.handle);
    }
    plat::DestroyWindow(record_.handle);
  }

  plat::HWND Handle() const override { return record_.handle; }

  void SetCaption(const std::string& caption) override {
    Update([&] { record_.caption = caption; });
    plat::core::SetWindowCaption(record_.handle, caption);
  }
  void SetBorder(plat::BorderStyle style, plat::BorderIcons icons) override {
    Update([&] {
      record_.border = style;
      record_.icons = icons;
    });
  }
  void SetBounds(int left, int top, int clientWidth, int clientHeight) override {
    pending_ = {0, 0, clientWidth, clientHeight};
    Update([&] {
      record_.left = left;
      record_.top = top;
      record_.clientWidth = clientWidth;
      record_.clientHeight = clientHeight;
    });
  }
  plat::RECT FrameExtents() const override {
    std::lock_guard g(TheDesktop().lock);
    const auto frame = TheDesktop().frames.find(record_.border);
    return frame == TheDesktop().frames.end() ? plat::RECT{0, 0, 0, 0} : frame->second;
  }
  void Invalidate(const plat::RECT& area) override { pending_ = plat::RectUnion(pending_, area); }
  void Update() override { PaintIfNeeded(); }
  void SetCursor(plat::CursorShape shape) override { Update([&] { record_.cursor = shape; }); }

  // The window's pixels persist between paints, as a screen's do: a paint changes only its area.
  void PaintIfNeeded() override {
    int width, height;
    {
      std::lock_guard g(TheDesktop().lock);
      width = record_.clientWidth;
      height = record_.clientHeight;
    }
    if (!backing_ || backing_->Width() != width || backing_->Height() != height) {
      backing_ = std::make_unique<sim::detail::SimSurface>(width, height);
      pending_ = {0, 0, width, height};
    }
    const plat::RECT dirty = plat::RectIntersection(std::exchange(pending_, plat::RECT{0, 0, 0, 0}), {0, 0, width, height});
    if (plat::RectEmpty(dirty)) return;
    backing_->BeginPaint(dirty);
    events_.PeerPaint(*backing_, dirty);
    lastPaint_ = backing_->Ops();
    lastPixels_ = backing_->ReadPixels();
    lastArea_ = dirty;
    ++paintCount_;
  }
  std::vector<sim::DrawOp> LastPaint() const override { return lastPaint_; }
  plat::RECT LastPaintArea() const override { return lastArea_; }
  plat::Pixels LastPixels() const override { return lastPixels_; }
  int PaintCount() const override { return paintCount_; }
  void SetTransparentColor(std::optional<plat::COLORREF> key) override {
    Update([&] { record_.transparentColor = key; });
  }
  void SetFont(const plat::FontSpec& font) override { Update([&] { record_.font = font; }); }
  void SetIcon(const plat::IconImage& icon) override { Update([&] { record_.icon = icon; }); }
  void Show() override {
    // As a window manager does, a window that appears becomes the active one.
    if (!plat::ShowWindow(record_.handle, plat::SW_SHOW)) ActivateWindow(record_.handle);
  }
  void Hide() override { plat::ShowWindow(record_.handle, plat::SW_HIDE); }
  bool Visible() const override { return plat::IsWindowVisible(record_.handle) != 0; }

  void ShowStateChanged(bool visible, bool) override {
    Update([&] {
      if (visible && !record_.visible) record_.stacking = ++TheDesktop().topStacking;
      record_.visible = visible;
    });
  }
  void BringToFront() override {
    Update([&] {
      if (record_.visible) record_.stacking = ++TheDesktop().topStacking;
    });
  }

 private:
  template <typename F>
  void Update(F&& change) {
    std::lock_guard g(TheDesktop().lock);
    change();
  }

  plat::FormPeerEvents& events_;
  sim::FormRecord record_;
  plat::RECT pending_{0, 0, 0, 0};
  std::unique_ptr<sim::detail::SimSurface> backing_;
  std::vector<sim::DrawOp> lastPaint_;
  plat::RECT lastArea_{0, 0, 0, 0};
  plat::Pixels lastPixels_;
  int paintCount_ = 0;
};

// The form's painting side; painting runs without the desktop's lock (the form's code calls
// back into the backend).
sim::detail::PaintableForm* FindPaintable(const std::string& key) {
  std::lock_guard g(TheDesktop().lock);
  for (auto& [hwnd, record] : TheDesktop().forms)
    if (Matches(*record, key)) return TheDesktop().paintable[hwnd];
  return nullptr;
}

void ActivateWindow(plat::HWND hwnd) { plat::PostMessageA(hwnd, plat::WM_ACTIVATE, plat::WA_ACTIVE, 0); }

void PostMouse(const std::string& form, plat::UINT msg, int x, int y, plat::WPARAM keys) {
  auto record = sim::FindForm(form);
  if (record) plat::PostMessageA(record->handle, msg, keys, plat::MakePointParam(x, y));
}

}  // namespace

namespace plat {

// The application window: a hidden message-core window that only carries the title, the hooks
// and the application's messages.
HWND CreateApplicationWindow(const std::string& title, WNDPROC proc) {
  return core::CreateCoreWindow("TApplication", title.c_str(), proc);
}


std::unique_ptr<FormPeer> CreateFormPeer(FormPeerEvents& events, HWND, const std::string& name) {
  return std::make_unique<SimFormPeer>(events, name);
}

void RunMessageBox(HWND, const std::string& text, const std::string& caption, bool error, ModalPump& pump) {
  std::size_t index;
  {
    std::lock_guard g(TheDesktop().lock);
    TheDesktop().boxes.push_back({caption, text, error, true});
    index = TheDesktop().boxes.size() - 1;
  }
  for (;;) {
    {
      std::lock_guard g(TheDesktop().lock);
      if (index >= TheDesktop().boxes.size() || !TheDesktop().boxes[index].open) return;
    }
    if (!pump.HandleOneMessage()) {
      std::lock_guard g(TheDesktop().lock);
      TheDesktop().boxes[index].open = false;  // the application is ending: the box goes too
      return;
    }
  }
}

}  // namespace plat

namespace sim {

std::vector<FormRecord> Forms() {
  std::lock_guard g(TheDesktop().lock);
  std::vector<FormRecord> out;
  for (auto& [hwnd, record] : TheDesktop().forms) out.push_back(*record);
  return out;
}

std::optional<FormRecord> FindForm(const std::string& nameOrCaption) {
  for (auto& r : Forms())
    if (Matches(r, nameOrCaption)) return r;
  return std::nullopt;
}

bool CloseForm(const std::string& nameOrCaption) {
  auto record = FindForm(nameOrCaption);
  if (!record) return false;
  // The title bar's close button sends WM_CLOSE; the form decides what closing means.
  plat::SendMessageA(record->handle, plat::WM_CLOSE, 0, 0);
  return true;
}

std::string FormKey(plat::HWND handle) {
  return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(handle));
}

bool ActivateForm(const std::string& nameOrCaption) {
  auto record = FindForm(nameOrCaption);
  if (!record || !record->visible) return false;
  ActivateWindow(record->handle);
  return true;
}

std::vector<MessageBoxRecord> MessageBoxes() {
  std::lock_guard g(TheDesktop().lock);
  return TheDesktop().boxes;
}

bool PressOk() {
  std::lock_guard g(TheDesktop().lock);
  auto& boxes = TheDesktop().boxes;
  for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
    if (it->open) {
      it->open = false;
      return true;
    }
  }
  return false;
}

}  // namespace sim

namespace sim {

void SetVisualStyles(bool active) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().visualStyles = active;
}

std::vector<DrawOp> DisplayList(const std::string& nameOrCaption) {
  auto* form = FindPaintable(nameOrCaption);
  if (!form) return {};
  form->PaintIfNeeded();
  return form->LastPaint();
}

plat::RECT LastPaintArea(const std::string& nameOrCaption) {
  auto* form = FindPaintable(nameOrCaption);
  return form ? form->LastPaintArea() : plat::RECT{0, 0, 0, 0};
}

int PaintCount(const std::string& nameOrCaption) {
  auto* form = FindPaintable(nameOrCaption);
  return form ? form->PaintCount() : 0;
}

plat::Pixels FormPixels(const std::string& nameOrCaption) {
  auto* form = FindPaintable(nameOrCaption);
  if (!form) return {};
  form->PaintIfNeeded();
  return form->LastPixels();
}

void MouseMove(const std::string& form, int x, int y) { PostMouse(form, plat::WM_MOUSEMOVE, x, y, 0); }

void MouseDown(const std::string& form, int x, int y, bool right) {
  PostMouse(form, right ? plat::WM_RBUTTONDOWN : plat::WM_LBUTTONDOWN, x, y, right ? plat::MK_RBUTTON : plat::MK_LBUTTON);
}

void MouseUp(const std::string& form, int x, int y, bool right) {
  PostMouse(form, right ? plat::WM_RBUTTONUP : plat::WM_LBUTTONUP, x, y, 0);
}

void Click(const std::string& form, int x, int y) {
  MouseMove(form, x, y);
  MouseDown(form, x, y);
  MouseUp(form, x, y);
}

void DoubleClick(const std::string& form, int x, int y) {
  Click(form, x, y);
  PostMouse(form, plat::WM_LBUTTONDBLCLK, x, y, plat::MK_LBUTTON);
  MouseUp(form, x, y);
}

void MouseLeave(const std::string& form) { PostMouse(form, plat::WM_MOUSELEAVE, 0, 0, 0); }

}  // namespace sim
