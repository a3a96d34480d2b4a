// Sim peers: records of what a native window would show, kept where tests can read them.
#include <utility>

#include "platform/core/FormWindow.h"
#include "platform/messages.h"
#include "platform/sim/SimDesktop.h"

namespace {

using sim::detail::TheDesktop;

class SimFormPeer final : public plat::FormPeer, public plat::core::WindowObserver {
 public:
  SimFormPeer(plat::FormPeerEvents& events, const std::string& name) {
    record_.name = name;
    record_.handle = plat::core::CreateFormWindow(events, *this);
    std::lock_guard g(TheDesktop().lock);
    TheDesktop().forms[record_.handle] = &record_;
  }

  ~SimFormPeer() override {
    {
      std::lock_guard g(TheDesktop().lock);
      TheDesktop().forms.erase(record_.handle);
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
    Update([&] {
      record_.left = left;
      record_.top = top;
      record_.clientWidth = clientWidth;
      record_.clientHeight = clientHeight;
    });
  }
  void SetColor(plat::COLORREF color) override { Update([&] { record_.color = color; }); }
  void SetTransparentColor(std::optional<plat::COLORREF> key) override {
    Update([&] { record_.transparentColor = key; });
  }
  void SetFont(const plat::FontSpec& font) override { Update([&] { record_.font = font; }); }
  void SetIcon(const plat::IconImage& icon) override { Update([&] { record_.icon = icon; }); }
  void Show() override { plat::ShowWindow(record_.handle, plat::SW_SHOW); }
  void Hide() override { plat::ShowWindow(record_.handle, plat::SW_HIDE); }
  bool Visible() const override { return plat::IsWindowVisible(record_.handle) != 0; }

  void ShowStateChanged(bool visible, bool) override { Update([&] { record_.visible = visible; }); }

 private:
  template <typename F>
  void Update(F&& change) {
    std::lock_guard g(TheDesktop().lock);
    change();
  }

  sim::FormRecord record_;
};

bool Matches(const sim::FormRecord& r, const std::string& key) { return r.name == key || r.caption == key; }

}  // namespace

namespace plat {

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
