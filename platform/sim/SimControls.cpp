// Sim windowed controls: records kept where tests read and poke them.
#include <algorithm>
#include <map>

#include "platform/sim/SimDesktop.h"
#include "platform/sim_controls.h"

namespace {

using sim::detail::TheDesktop;

class SimControlPeer;

// Live controls by creation order; guarded by the desktop's lock.
std::vector<SimControlPeer*>& Live() {
  static std::vector<SimControlPeer*> live;
  return live;
}

class SimControlPeer final : public plat::ControlPeer {
 public:
  SimControlPeer(plat::ControlKind kind, plat::ControlPeerEvents& events, plat::HWND form, const std::string& name,
                 SimControlPeer* group)
      : events_(events), group_(group ? group->group_ : this) {
    record_.kind = kind;
    record_.name = name;
    record_.form = form;
    std::lock_guard g(TheDesktop().lock);
    Live().push_back(this);
  }
  ~SimControlPeer() override {
    std::lock_guard g(TheDesktop().lock);
    std::erase(Live(), this);
    // A group outlives the control that founded it.
    for (SimControlPeer* p : Live())
      if (p->group_ == this) p->group_ = NewFounder();
  }

  void SetBounds(int left, int top, int width, int height) override {
    Update([&] {
      record_.left = left;
      record_.top = top;
      record_.width = width;
      record_.height = height;
    });
  }
  void SetVisible(bool visible) override { Update([&] { record_.visible = visible; }); }
  void SetEnabled(bool enabled) override { Update([&] { record_.enabled = enabled; }); }
  void SetText(const std::string& text) override { Update([&] { record_.text = text; }); }
  void SetFont(const plat::FontSpec& font) override { Update([&] { record_.font = font; }); }
  void SetChecked(bool checked) override {
    std::lock_guard g(TheDesktop().lock);
    SetCheckedLocked(checked);
  }
  void SetRange(int min, int max) override {
    Update([&] {
      record_.min = min;
      record_.max = max;
    });
  }
  void SetPosition(int position) override { Update([&] { record_.position = position; }); }
  void SetThumbLength(int pixels) override { Update([&] { record_.thumbLength = pixels; }); }
  void SetItems(const std::vector<std::string>& items) override {
    Update([&] {
      record_.items = items;
      record_.itemIndex = -1;
    });
  }
  void SetItemHeight(int pixels) override { Update([&] { record_.itemHeight = pixels; }); }
  void SetItemIndex(int index) override { Update([&] { record_.itemIndex = index; }); }
  void SetFocus() override {
    std::lock_guard g(TheDesktop().lock);
    for (SimControlPeer* p : Live())
      if (p->record_.form == record_.form) p->record_.focused = p == this;
  }
  bool Focused() const override {
    std::lock_guard g(TheDesktop().lock);
    return record_.focused;
  }

  const sim::ControlRecord& Record() const { return record_; }
  plat::ControlPeerEvents& Events() { return events_; }

  // A radio button checked clears the others of its group, as the native group does.
  void SetCheckedLocked(bool checked) {
    record_.checked = checked;
    if (checked && record_.kind == plat::ControlKind::RadioButton)
      for (SimControlPeer* p : Live())
        if (p != this && p->group_ == group_) p->record_.checked = false;
  }
  std::vector<SimControlPeer*> GroupMates() const {
    std::vector<SimControlPeer*> out;
    for (SimControlPeer* p : Live())
      if (p != this && p->group_ == group_) out.push_back(p);
    return out;
  }

 private:
  SimControlPeer* NewFounder() {
    for (SimControlPeer* p : Live())
      if (p->group_ == this) return p;
    return nullptr;
  }
  template <typename F>
  void Update(F&& change) {
    std::lock_guard g(TheDesktop().lock);
    change();
  }

  plat::ControlPeerEvents& events_;
  SimControlPeer* group_;
  sim::ControlRecord record_;
};

SimControlPeer* Find(const std::string& form, const std::string& name) {
  auto record = sim::FindForm(form);
  if (!record) return nullptr;
  std::lock_guard g(TheDesktop().lock);
  for (SimControlPeer* p : Live())
    if (p->Record().form == record->handle && p->Record().name == name) return p;
  return nullptr;
}

// A control the user can reach.
SimControlPeer* Usable(const std::string& form, const std::string& name) {
  SimControlPeer* p = Find(form, name);
  if (!p) return nullptr;
  std::lock_guard g(TheDesktop().lock);
  return p->Record().visible && p->Record().enabled ? p : nullptr;
}

}  // namespace

namespace plat {

std::unique_ptr<ControlPeer> CreateControlPeer(ControlKind kind, ControlPeerEvents& events, FormPeer& form,
                                               const std::string& name, ControlPeer* groupWith) {
  return std::make_unique<SimControlPeer>(kind, events, form.Handle(), name,
                                          static_cast<SimControlPeer*>(groupWith));
}

}  // namespace plat

namespace sim {

std::vector<ControlRecord> Controls(const std::string& form) {
  auto record = FindForm(form);
  std::vector<ControlRecord> out;
  if (!record) return out;
  std::lock_guard g(TheDesktop().lock);
  for (SimControlPeer* p : Live())
    if (p->Record().form == record->handle) out.push_back(p->Record());
  return out;
}

std::optional<ControlRecord> FindControl(const std::string& form, const std::string& name) {
  for (auto& r : Controls(form))
    if (r.name == name) return r;
  return std::nullopt;
}

bool ClickControl(const std::string& form, const std::string& name) {
  SimControlPeer* p = Usable(form, name);
  if (!p) return false;
  FocusControl(form, name);
  const auto kind = p->Record().kind;
  if (kind == plat::ControlKind::CheckBox || kind == plat::ControlKind::RadioButton) {
    std::vector<SimControlPeer*> cleared;
    bool now;
    {
      std::lock_guard g(TheDesktop().lock);
      now = kind == plat::ControlKind::RadioButton ? true : !p->Record().checked;
      if (kind == plat::ControlKind::RadioButton && !p->Record().checked)
        for (SimControlPeer* mate : p->GroupMates())
          if (mate->Record().checked) cleared.push_back(mate);
      p->SetCheckedLocked(now);
    }
    for (SimControlPeer* mate : cleared) mate->Events().PeerValueChanged(0);
    p->Events().PeerValueChanged(now ? 1 : 0);
  }
  p->Events().PeerClicked();
  return true;
}

bool MoveTrackBar(const std::string& form, const std::string& name, int position) {
  SimControlPeer* p = Usable(form, name);
  if (!p || p->Record().kind != plat::ControlKind::TrackBar) return false;
  {
    std::lock_guard g(TheDesktop().lock);
    position = std::clamp(position, p->Record().min, p->Record().max);
  }
  p->SetPosition(position);
  p->Events().PeerValueChanged(position);
  return true;
}

bool SelectItem(const std::string& form, const std::string& name, int index) {
  SimControlPeer* p = Usable(form, name);
  if (!p || p->Record().kind != plat::ControlKind::ListBox) return false;
  p->SetItemIndex(index);
  p->Events().PeerValueChanged(index);
  return true;
}

bool FocusControl(const std::string& form, const std::string& name) {
  SimControlPeer* p = Usable(form, name);
  if (!p) return false;
  p->SetFocus();
  p->Events().PeerFocusChanged(true);
  return true;
}

}  // namespace sim

namespace sim {

bool PressTab(const std::string& form, bool backward) {
  auto record = FindForm(form);
  if (!record) return false;
  SimControlPeer* focused = nullptr;
  {
    std::lock_guard g(TheDesktop().lock);
    for (SimControlPeer* p : Live())
      if (p->Record().form == record->handle && p->Record().focused) focused = p;
  }
  if (!focused) return false;
  focused->Events().PeerTabPressed(backward);
  return true;
}

}  // namespace sim
