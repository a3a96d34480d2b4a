#include "desktop/qelAppProps.h"

#include <algorithm>
#include <stdexcept>

#include "platform/messages.h"
#include "toolkit/Action.h"
#include "toolkit/HintWindow.h"
#include "toolkit/Screen.h"

namespace {

TMultiCaster* theMultiCaster = nullptr;
TqelAppPropList* theAppPropList = nullptr;

tk::Application& App() {
  tk::Application* app = tk::App();
  if (!app) throw std::logic_error("application events need the application object");
  return *app;
}

}  // namespace

TMultiCaster* MultiCaster() { return theMultiCaster; }
TqelAppPropList* AppPropList() { return theAppPropList; }

void ReleaseAppPropList() { delete std::exchange(theAppPropList, nullptr); }

// ---------------------------------------------------------------------------------------------
// TCustomApplicationEvents

TCustomApplicationEvents::TCustomApplicationEvents(tk::Component* owner) : tk::Component(owner) {
  if (theMultiCaster) theMultiCaster->AddAppEvent(this);
}

TCustomApplicationEvents::~TCustomApplicationEvents() {
  if (theMultiCaster) theMultiCaster->RemoveAppEvent(this);
}

// ---------------------------------------------------------------------------------------------
// TMultiCaster

TMultiCaster::TMultiCaster(tk::Application* application) : tk::Component(application), application_(application) {
  theMultiCaster = this;
  auto& a = *application;
  a.OnActionExecute = [this](tk::BasicAction* action, bool& handled) { DoActionExecute(action, handled); };
  a.OnActionUpdate = [this](tk::BasicAction* action, bool& handled) { DoActionUpdate(action, handled); };
  a.OnActivate = [this](tk::Component* sender) { DoActivate(sender); };
  a.OnDeactivate = [this](tk::Component* sender) { DoDeactivate(sender); };
  a.OnException = [this](tk::Component* sender, const std::exception& error) { DoException(sender, error); };
  a.OnIdle = [this](tk::Component* sender, bool& done) { DoIdle(sender, done); };
  a.OnHelp = [this](plat::WORD command, plat::LONG data, bool& callHelp) { return DoHelp(command, data, callHelp); };
  a.OnHint = [this](tk::Component* sender) { DoHint(sender); };
  a.OnMessage = [this](plat::MSG& msg, bool& handled) { DoMessage(msg, handled); };
  a.OnMinimize = [this](tk::Component* sender) { DoMinimize(sender); };
  a.OnRestore = [this](tk::Component* sender) { DoRestore(sender); };
  a.OnShowHint = [this](std::string& hintStr, bool& canShow, tk::HintInfo& info) {
    DoShowHint(hintStr, canShow, info);
  };
  a.OnShortCut = [this](tk::KeyMessage& msg, bool& handled) { DoShortCut(msg, handled); };
  a.OnSettingChange = [this](tk::Component* sender, int flag, const std::string& section, plat::LONG& result) {
    DoSettingChange(sender, flag, section, result);
  };
  a.OnModalBegin = [this](tk::Component* sender) { DoModalBegin(sender); };
  a.OnModalEnd = [this](tk::Component* sender) { DoModalEnd(sender); };
}

TMultiCaster::~TMultiCaster() {
  if (theMultiCaster == this) theMultiCaster = nullptr;
  auto& a = *application_;
  a.OnActionExecute = nullptr;
  a.OnActionUpdate = nullptr;
  a.OnActivate = nullptr;
  a.OnDeactivate = nullptr;
  a.OnException = nullptr;
  a.OnIdle = nullptr;
  a.OnHelp = nullptr;
  a.OnHint = nullptr;
  a.OnMessage = nullptr;
  a.OnMinimize = nullptr;
  a.OnRestore = nullptr;
  a.OnShowHint = nullptr;
  a.OnShortCut = nullptr;
  a.OnSettingChange = nullptr;
  a.OnModalBegin = nullptr;
  a.OnModalEnd = nullptr;
}

void TMultiCaster::AddAppEvent(TCustomApplicationEvents* events) {
  if (!events) return;
  for (auto& e : entries_)
    if (e.events == events) return;
  entries_.push_back({events, nextSerial_++});
}

void TMultiCaster::RemoveAppEvent(TCustomApplicationEvents* events) {
  std::erase_if(entries_, [events](const Entry& e) { return e.events == events; });
}

bool TMultiCaster::Alive(const Entry& entry) const {
  // The serial tells a live instance from a new one that happens to reuse the same address.
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& e) { return e.events == entry.events && e.serial == entry.serial; });
}

template <typename Visit>
void TMultiCaster::Dispatch(Visit visit) {
  ++dispatching_;
  struct Lower {
    int& depth;
    ~Lower() { --depth; }
  } lower{dispatching_};
  // Instances registered during this dispatch are first called at the next one; instances
  // destroyed during it are not called any more.
  const auto snapshot = entries_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (!Alive(*it)) continue;
    if (!visit(*it->events)) return;
  }
}

void TMultiCaster::DoActionExecute(tk::BasicAction* action, bool& handled) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnActionExecute, action, handled);
    return true;
  });
}

void TMultiCaster::DoActionUpdate(tk::BasicAction* action, bool& handled) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnActionUpdate, action, handled);
    return true;
  });
}

void TMultiCaster::DoActivate(tk::Component* sender) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnActivate, sender);
    return true;
  });
}

void TMultiCaster::DoDeactivate(tk::Component* sender) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnDeactivate, sender);
    return true;
  });
}

void TMultiCaster::DoException(tk::Component* sender, const std::exception& error) {
  bool anyHandler = false;
  Dispatch([&](TCustomApplicationEvents& e) {
    if (e.OnException) {
      anyHandler = true;
      tk::Fire(e.OnException, sender, error);
    }
    return true;
  });
  if (!anyHandler) application_->ShowException(error);
}

void TMultiCaster::DoIdle(tk::Component* sender, bool& done) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnIdle, sender, done);
    return true;
  });
}

bool TMultiCaster::DoHelp(plat::WORD command, plat::LONG data, bool& callHelp) {
  bool result = false;
  Dispatch([&](TCustomApplicationEvents& e) {
    if (e.OnHelp) {
      auto handler = e.OnHelp;
      result = handler(command, data, callHelp);
    }
    return !result;  // the first handler that answers ends the question
  });
  return result;
}

void TMultiCaster::DoHint(tk::Component* sender) {
  Dispatch([&](TCustomApplicationEvents& e) {
    if (e.OnHint) {
      tk::Fire(e.OnHint, sender);
    } else {
      // Whoever shows hints (a status line) learns the new text through a hint action.
      tk::HintAction action(nullptr);
      action.SetHint(application_->Hint());
      action.Execute();
    }
    return true;
  });
}

void TMultiCaster::DoMessage(plat::MSG& msg, bool& handled) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnMessage, msg, handled);
    return true;
  });
}

void TMultiCaster::DoMinimize(tk::Component* sender) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnMinimize, sender);
    return true;
  });
}

void TMultiCaster::DoRestore(tk::Component* sender) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnRestore, sender);
    return true;
  });
}

void TMultiCaster::DoShowHint(std::string& hintStr, bool& canShow, tk::HintInfo& info) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnShowHint, hintStr, canShow, info);
    return true;
  });
}

void TMultiCaster::DoShortCut(tk::KeyMessage& msg, bool& handled) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnShortCut, msg, handled);
    return true;
  });
}

void TMultiCaster::DoSettingChange(tk::Component* sender, int flag, const std::string& section,
                                   plat::LONG& result) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnSettingChange, sender, flag, section, result);
    return true;
  });
}

void TMultiCaster::DoModalBegin(tk::Component* sender) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnModalBegin, sender);
    return true;
  });
}

void TMultiCaster::DoModalEnd(tk::Component* sender) {
  Dispatch([&](TCustomApplicationEvents& e) {
    tk::Fire(e.OnModalEnd, sender);
    return true;
  });
}

// ---------------------------------------------------------------------------------------------
// TqelApplicationProperties

TqelApplicationProperties::TqelApplicationProperties(tk::Component* owner) : TCustomApplicationEvents(owner) {
  if (!theAppPropList) theAppPropList = new TqelAppPropList;
  App().HookMainWindow(this, [this](tk::Message& message) { return AppWindowHook(message); });
  theAppPropList->Add(this);
}

TqelApplicationProperties::~TqelApplicationProperties() {
  if (tk::App()) tk::App()->UnhookMainWindow(this);
  if (theAppPropList) theAppPropList->Remove(this);
  canvas_.reset();
  // The multicaster drops this instance in the base destructor; the registry goes once empty.
  if (theAppPropList && theAppPropList->Count() == 0) ReleaseAppPropList();
}

void TqelApplicationProperties::Loaded() {
  TCustomApplicationEvents::Loaded();
  ApplyProperties();
}

void TqelApplicationProperties::ApplyProperties() {
  auto& a = App();
  a.SetHintColor(hintColor_);
  a.SetHintHidePause(hintHidePause_);
  a.SetHintPause(hintPause_);
  a.SetHintShortPause(hintShortPause_);
  a.SetShowMainForm(showMainForm_);
  a.SetShowHint(showHint_);
  a.SetUpdateFormatSettings(updateFormatSettings_);
  a.SetUpdateMetricSettings(updateMetricSettings_);
  a.SetHintShortCuts(hintShortCuts_);
  a.SetBiDiMode(biDiMode_);
  if (tk::Mouse* mouse = a.GetMouse()) {
    mouse->dragImmediate = mouseDragImmediate_;
    mouse->dragThreshold = mouseDragThreshold_;
  }
  a.SetBiDiKeyboard(biDiKeyboard_);
  a.SetNonBiDiKeyboard(nonBiDiKeyboard_);
  if (hidden_) ApplyHidden();
}

void TqelApplicationProperties::ApplyHidden() {
  plat::HWND window = tk::App() ? tk::App()->Handle() : nullptr;
  if (!window) return;
  plat::LONG_PTR style = plat::GetWindowLongPtrA(window, plat::GWL_EXSTYLE);
  if (hidden_) {
    if (plat::IsWindowVisible(window)) plat::ShowWindow(window, plat::SW_HIDE);
    style = (style & ~plat::WS_EX_APPWINDOW) | plat::WS_EX_TOOLWINDOW;
    plat::SetWindowLongPtrA(window, plat::GWL_EXSTYLE, style);
  } else {
    style = (style & ~plat::WS_EX_TOOLWINDOW) | plat::WS_EX_APPWINDOW;
    plat::SetWindowLongPtrA(window, plat::GWL_EXSTYLE, style);
    plat::ShowWindow(window, plat::SW_SHOWNORMAL);
  }
}

void TqelApplicationProperties::IconFontChanged() {}

void TqelApplicationProperties::HintFontChanged() {
  for (tk::Component* c : App().Components())
    if (auto* hint = dynamic_cast<tk::HintWindow*>(c)) hint->SetFont(tk::TheScreen().HintFont());
}

void TqelApplicationProperties::PaintIcon() {
  plat::HWND window = App().Handle();
  plat::PAINTSTRUCT paint;
  plat::BeginPaint(window, &paint);
  try {
    canvas_ = std::make_unique<tk::Canvas>(paint.hdc);
    canvas_->GetBrush().color = tk::clBackground;
    if (paint.fErase) canvas_->FillRect(paint.rcPaint);
    tk::Fire(OnPaintIcon, this);
  } catch (...) {
    canvas_.reset();
    plat::EndPaint(window, &paint);
    throw;
  }
  canvas_.reset();
  plat::EndPaint(window, &paint);
}

bool TqelApplicationProperties::AppWindowHook(tk::Message& message) {
  switch (message.msg) {
    case plat::WM_PAINT:
      if (OnPaintIcon && App().IsMinimized()) {
        PaintIcon();
        return true;
      }
      return false;
    case plat::WM_SETTINGCHANGE:
      try {
        DoSettingsChanged();
      } catch (const std::exception& e) {
        App().HandleException(e);
      }
      return false;
    default:
      return false;
  }
}

void TqelApplicationProperties::DoSettingsChanged() { tk::Fire(OnSettingsChanged, this); }

std::string TqelApplicationProperties::HelpFile() const { return App().HelpFile(); }
void TqelApplicationProperties::SetHelpFile(const std::string& file) {
  if (App().HelpFile() != file) App().SetHelpFile(file);
}

void TqelApplicationProperties::SetHidden(bool hidden) {
  hidden_ = hidden;
  ApplyHidden();
}

tk::Color TqelApplicationProperties::HintColor() const { return App().HintColor(); }
void TqelApplicationProperties::SetHintColor(tk::Color color) {
  hintColor_ = color;
  App().SetHintColor(color);
}

int TqelApplicationProperties::HintHidePause() const { return App().HintHidePause(); }
void TqelApplicationProperties::SetHintHidePause(int ms) {
  hintHidePause_ = ms;
  App().SetHintHidePause(ms);
}

int TqelApplicationProperties::HintPause() const { return App().HintPause(); }
void TqelApplicationProperties::SetHintPause(int ms) {
  hintPause_ = ms;
  App().SetHintPause(ms);
}

int TqelApplicationProperties::HintShortPause() const { return App().HintShortPause(); }
void TqelApplicationProperties::SetHintShortPause(int ms) {
  hintShortPause_ = ms;
  App().SetHintShortPause(ms);
}

plat::IconImage TqelApplicationProperties::Icon() const { return App().Icon(); }
void TqelApplicationProperties::SetIcon(const plat::IconImage& icon) { App().SetIcon(icon); }

std::string TqelApplicationProperties::Title() const { return App().Title(); }
void TqelApplicationProperties::SetTitle(const std::string& title) {
  if (App().Title() != title) App().SetTitle(title);
}

bool TqelApplicationProperties::ShowHint() const { return App().ShowHint(); }
void TqelApplicationProperties::SetShowHint(bool show) {
  showHint_ = show;
  App().SetShowHint(show);
}

bool TqelApplicationProperties::UpdateFormatSettings() const { return App().UpdateFormatSettings(); }
void TqelApplicationProperties::SetUpdateFormatSettings(bool update) {
  updateFormatSettings_ = update;
  App().SetUpdateFormatSettings(update);
}

bool TqelApplicationProperties::ShowMainForm() const { return App().ShowMainForm(); }
void TqelApplicationProperties::SetShowMainForm(bool show) {
  showMainForm_ = show;
  App().SetShowMainForm(show);
}

bool TqelApplicationProperties::UpdateMetricSettings() const { return App().UpdateMetricSettings(); }
void TqelApplicationProperties::SetUpdateMetricSettings(bool update) {
  updateMetricSettings_ = update;
  App().SetUpdateMetricSettings(update);
}

tk::BiDiMode TqelApplicationProperties::GetBiDiMode() const { return App().GetBiDiMode(); }
void TqelApplicationProperties::SetBiDiMode(tk::BiDiMode mode) {
  biDiMode_ = mode;
  App().SetBiDiMode(mode);
}

bool TqelApplicationProperties::HintShortCuts() const { return App().HintShortCuts(); }
void TqelApplicationProperties::SetHintShortCuts(bool show) {
  hintShortCuts_ = show;
  App().SetHintShortCuts(show);
}

bool TqelApplicationProperties::MouseDragImmediate() const {
  tk::Mouse* mouse = App().GetMouse();
  return mouse ? mouse->dragImmediate : mouseDragImmediate_;
}
void TqelApplicationProperties::SetMouseDragImmediate(bool immediate) {
  mouseDragImmediate_ = immediate;
  if (tk::Mouse* mouse = App().GetMouse()) mouse->dragImmediate = immediate;
}

int TqelApplicationProperties::MouseDragThreshold() const {
  tk::Mouse* mouse = App().GetMouse();
  return mouse ? mouse->dragThreshold : mouseDragThreshold_;
}
void TqelApplicationProperties::SetMouseDragThreshold(int pixels) {
  mouseDragThreshold_ = pixels;
  if (tk::Mouse* mouse = App().GetMouse()) mouse->dragThreshold = pixels;
}

std::string TqelApplicationProperties::BiDiKeyboard() const { return App().BiDiKeyboard(); }
void TqelApplicationProperties::SetBiDiKeyboard(const std::string& layout) {
  biDiKeyboard_ = layout;
  App().SetBiDiKeyboard(layout);
}

std::string TqelApplicationProperties::NonBiDiKeyboard() const { return App().NonBiDiKeyboard(); }
void TqelApplicationProperties::SetNonBiDiKeyboard(const std::string& layout) {
  nonBiDiKeyboard_ = layout;
  App().SetNonBiDiKeyboard(layout);
}

// ---------------------------------------------------------------------------------------------
// TqelAppPropList

TqelAppPropList::~TqelAppPropList() {
  *alive_ = false;
  if (takenOver_) RestoreEvents();
}

void TqelAppPropList::Add(TqelApplicationProperties* instance) {
  if (!instance) return;
  for (auto& e : entries_)
    if (e.instance == instance) return;
  entries_.push_back({instance, nextSerial_++});
  if (entries_.size() == 1) TakeOverEvents();
}

void TqelAppPropList::Remove(TqelApplicationProperties* instance) {
  const auto before = entries_.size();
  std::erase_if(entries_, [instance](const Entry& e) { return e.instance == instance; });
  if (entries_.size() != before && entries_.empty() && takenOver_) RestoreEvents();
}

template <typename React>
bool TqelAppPropList::Walk(React react) {
  const auto alive = alive_;
  const auto snapshot = entries_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    auto present = [&] {
      return *alive && std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
               return e.instance == it->instance && e.serial == it->serial;
             });
    };
    if (!present()) {
      if (!*alive) return false;  // the registry went away under the walk
      continue;
    }
    react(*it->instance);
    if (!present()) {
      if (!*alive) return false;
      continue;
    }
    if (!it->instance->Chained()) return false;
  }
  return *alive;
}

namespace {

// Calls a saved handler through a copy: calling it may destroy the registry that saved it.
template <typename Handler, typename... Args>
void CallSaved(const Handler& saved, Args&&... args) {
  tk::Fire(saved, std::forward<Args>(args)...);
}

}  // namespace

void TqelAppPropList::TakeOverEvents() {
  TakeOverApplicationEvents();
  TakeOverScreenEvents();
  takenOver_ = true;
}

void TqelAppPropList::TakeOverApplicationEvents() {
  auto& a = App();
  savedActivate_ = a.OnActivate;
  savedDeactivate_ = a.OnDeactivate;
  savedException_ = a.OnException;
  savedIdle_ = a.OnIdle;
  savedHelp_ = a.OnHelp;
  savedHint_ = a.OnHint;
  savedMessage_ = a.OnMessage;
  savedMinimize_ = a.OnMinimize;
  savedRestore_ = a.OnRestore;
  savedShowHint_ = a.OnShowHint;
  savedActionExecute_ = a.OnActionExecute;
  savedActionUpdate_ = a.OnActionUpdate;
  savedShortCut_ = a.OnShortCut;

  auto notifyWalk = [this](tk::NotifyEvent TqelAppPropList::*saved) {
    return [this, saved](tk::Component* sender) {
      auto handler = this->*saved;
      if (Walk([](TqelApplicationProperties&) {})) CallSaved(handler, sender);
    };
  };
  auto actionWalk = [this](tk::ActionEvent TqelAppPropList::*saved) {
    return [this, saved](tk::BasicAction* action, bool& handled) {
      auto handler = this->*saved;
      if (Walk([](TqelApplicationProperties&) {})) CallSaved(handler, action, handled);
    };
  };
  a.OnActivate = notifyWalk(&TqelAppPropList::savedActivate_);
  a.OnDeactivate = notifyWalk(&TqelAppPropList::savedDeactivate_);
  a.OnHint = notifyWalk(&TqelAppPropList::savedHint_);
  a.OnMinimize = notifyWalk(&TqelAppPropList::savedMinimize_);
  a.OnRestore = notifyWalk(&TqelAppPropList::savedRestore_);
  a.OnActionExecute = actionWalk(&TqelAppPropList::savedActionExecute_);
  a.OnActionUpdate = actionWalk(&TqelAppPropList::savedActionUpdate_);
  a.OnException = [this](tk::Component* sender, const std::exception& error) {
    auto handler = savedException_;
    tk::Application* app = tk::App();
    if (Walk([](TqelApplicationProperties&) {}) && handler)
      handler(sender, error);
    else if (app)
      app->ShowException(error);  // stopped, or nobody to hand it to: the default display
  };
  a.OnIdle = [this](tk::Component* sender, bool& done) {
    auto handler = savedIdle_;
    if (Walk([](TqelApplicationProperties&) {})) CallSaved(handler, sender, done);
  };
  a.OnHelp = [this](plat::WORD command, plat::LONG data, bool& callHelp) {
    auto handler = savedHelp_;
    if (!Walk([](TqelApplicationProperties&) {}) || !handler) return false;
    return handler(command, data, callHelp);
  };
  a.OnMessage = [this](plat::MSG& msg, bool& handled) {
    auto handler = savedMessage_;
    if (Walk([](TqelApplicationProperties&) {})) CallSaved(handler, msg, handled);
  };
  a.OnShowHint = [this](std::string& hintStr, bool& canShow, tk::HintInfo& info) {
    auto handler = savedShowHint_;
    if (Walk([](TqelApplicationProperties&) {})) CallSaved(handler, hintStr, canShow, info);
  };
  a.OnShortCut = [this](tk::KeyMessage& msg, bool& handled) {
    auto handler = savedShortCut_;
    if (Walk([](TqelApplicationProperties&) {})) CallSaved(handler, msg, handled);
  };
}

void TqelAppPropList::TakeOverScreenEvents() {
  auto& screen = tk::TheScreen();
  savedActiveControlChange_ = screen.OnActiveControlChange;
  savedActiveFormChange_ = screen.OnActiveFormChange;
  savedHintFontChange_ = screen.OnHintFontChange;
  savedIconFontChange_ = screen.OnIconFontChange;
  screen.OnActiveControlChange = [this](tk::Component* sender) {
    auto handler = savedActiveControlChange_;
    if (Walk([&](TqelApplicationProperties& p) { tk::Fire(p.OnActiveControlChange, sender); }))
      CallSaved(handler, sender);
  };
  screen.OnActiveFormChange = [this](tk::Component* sender) {
    auto handler = savedActiveFormChange_;
    if (Walk([&](TqelApplicationProperties& p) { tk::Fire(p.OnActiveFormChange, sender); }))
      CallSaved(handler, sender);
  };
  screen.OnHintFontChange = [this](tk::Component* sender) {
    auto handler = savedHintFontChange_;
    if (Walk([](TqelApplicationProperties& p) { p.HintFontChanged(); })) CallSaved(handler, sender);
  };
  screen.OnIconFontChange = [this](tk::Component* sender) {
    auto handler = savedIconFontChange_;
    if (Walk([](TqelApplicationProperties& p) { p.IconFontChanged(); })) CallSaved(handler, sender);
  };
}

void TqelAppPropList::RestoreEvents() {
  takenOver_ = false;
  if (tk::Application* app = tk::App()) {
    auto& a = *app;
    a.OnActivate = savedActivate_;
    a.OnDeactivate = savedDeactivate_;
    a.OnException = savedException_;
    a.OnIdle = savedIdle_;
    a.OnHelp = savedHelp_;
    a.OnHint = savedHint_;
    a.OnMessage = savedMessage_;
    a.OnMinimize = savedMinimize_;
    a.OnRestore = savedRestore_;
    a.OnShowHint = savedShowHint_;
    a.OnActionExecute = savedActionExecute_;
    a.OnActionUpdate = savedActionUpdate_;
    a.OnShortCut = savedShortCut_;
  }
  auto& screen = tk::TheScreen();
  screen.OnActiveControlChange = savedActiveControlChange_;
  screen.OnActiveFormChange = savedActiveFormChange_;
  screen.OnHintFontChange = savedHintFontChange_;
  screen.OnIconFontChange = savedIconFontChange_;
}
