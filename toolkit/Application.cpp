#include "toolkit/Application.h"

#include <algorithm>
#include <utility>
#include <stdexcept>

#include "platform/display_wait.h"
#include "platform/memory.h"
#include "platform/messages.h"
#include "platform/speech.h"
#include "platform/startup_trace.h"
#include "toolkit/Action.h"
#include "toolkit/Form.h"
#include "toolkit/Guarded.h"
#include "toolkit/HintWindow.h"
#include "toolkit/Synchronizer.h"

namespace tk {
namespace {

// Private messages of the application window.
constexpr plat::UINT CM_RELEASE = 0xB021;
constexpr plat::UINT CM_SYNCHRONIZE = 0xB0FE;

Application* theApplication = nullptr;

class LoopPump final : public plat::ModalPump {
 public:
  explicit LoopPump(Application& app) : app_(app) {}
  bool HandleOneMessage() override {
    Guarded([&] { app_.HandleMessage(); });
    return !app_.Terminated();
  }

 private:
  Application& app_;
};

}  // namespace

Application* App() { return theApplication; }

Application::Application() : Component(nullptr), hintColor_(clInfoBk) { theApplication = this; }

Application::~Application() {
  shuttingDown_ = true;
  if (theApplication == this) plat::SetDisplayWaitPump(nullptr);
  // Forms and everything else owned go first (the Component destructor would do it later, but
  // they may still talk to the application window).
  while (!Components().empty()) delete Components().back();
  if (handle_) {
    plat::DestroyWindow(handle_);
    plat::CoUninitialize();
  }
  if (theApplication == this) theApplication = nullptr;
}

void Application::Initialize() {
  if (handle_) return;
  plat::InitializeBackend();
  // The speech objects live in this thread's (single-threaded) object model.
  plat::CoInitialize(nullptr);
  handle_ = plat::CreateApplicationWindow(title_, &Application::WindowProc);
  startedMinimized_ = plat::StartedMinimized();
  Synchronizer::SetGuiThread(handle_, CM_SYNCHRONIZE);
  plat::SetDisplayWaitPump(&ModalLoop());
  if (showHint_ && !hintWindow_) {
    hintWindow_ = new HintWindow(this);
    hintWindow_->SetColor(hintColor_);
  }
}

void Application::Run() {
  if (mainForm_) {
    if (startedMinimized_)
      Minimize();
    else if (showMainForm_)
      mainForm_->Show();
  }
  while (!terminated_) Guarded([&] { HandleMessage(); });
}

void Application::HandleMessage() {
  plat::MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void Application::ProcessMessages() {
  plat::MSG msg;
  while (ProcessMessage(msg)) {
  }
}

bool Application::ProcessMessage(plat::MSG& msg) {
  if (!plat::PeekMessageA(&msg, nullptr, 0, 0, plat::PM_REMOVE)) return false;
  if (msg.message == plat::WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  Fire(OnMessage, msg, handled);
  if (!handled) {
    plat::TranslateMessage(&msg);
    plat::DispatchMessageA(&msg);
  }
  return true;
}

bool Application::IdlePass() {
  plat::StartupMilestone("first idle moment");
  bool done = true;
  Guarded([&] {
    Fire(OnIdle, this, done);
    if (done) DoActionIdle();
  });
  if (Synchronizer::CheckSynchronize()) done = false;
  return done;
}

void Application::Idle() {
  if (IdlePass()) plat::WaitMessage();
}

void Application::DoActionIdle() {
  // Copy: an update handler may create or release forms.
  auto forms = forms_;
  for (Form* form : forms)
    if (std::find(forms_.begin(), forms_.end(), form) != forms_.end()) form->UpdateActions();
}

void Application::Terminate() { plat::PostQuitMessage(0); }

void Application::HandleException(const std::exception& error) {
  if (OnException)
    Fire(OnException, this, error);
  else
    ShowException(error);
}

void Application::ShowException(const std::exception& error) {
  std::string text = error.what();
  // Compared as unsigned: a last byte of a multibyte or code-page letter sorts after '.' too.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  ShowModalBox(text, true);
}

void Application::MessageBox(const std::string& text) { ShowModalBox(text, false); }

plat::ModalPump& Application::ModalLoop() {
  if (!modalLoop_) modalLoop_ = std::make_unique<LoopPump>(*this);
  return *modalLoop_;
}

void Application::ShowModalBox(const std::string& text, bool error) {
  ModalStarted();
  try {
    plat::RunMessageBox(handle_, text, title_, error, ModalLoop());
  } catch (...) {
    ModalFinished();
    throw;
  }
  ModalFinished();
}

void Application::ModalStarted() {
  Fire(OnModalBegin, this);
}

void Application::ModalFinished() {
  Fire(OnModalEnd, this);
}

bool Application::IsMinimized() const { return handle_ && plat::IsIconic(handle_); }

void Application::Minimize() {
  if (!handle_ || IsMinimized()) return;
  plat::ShowWindow(handle_, plat::SW_MINIMIZE);
  Fire(OnMinimize, this);
}

void Application::Restore() {
  if (!handle_ || !IsMinimized()) return;
  plat::ShowWindow(handle_, plat::SW_RESTORE);
  Fire(OnRestore, this);
}

void Application::HookMainWindow(const void* owner, WindowHook hook) { hooks_.push_back({owner, std::move(hook)}); }

void Application::UnhookMainWindow(const void* owner) {
  std::erase_if(hooks_, [owner](const Hook& h) { return h.owner == owner; });
}

bool Application::HelpCommand(plat::WORD command, plat::LONG data) {
  bool callHelp = true;
  if (!OnHelp) return false;
  auto handler = OnHelp;
  return handler(command, data, callHelp);
}

bool Application::IsShortCut(KeyMessage& key) {
  bool handled = false;
  Fire(OnShortCut, key, handled);
  return handled;
}

bool Application::ShowHintFor(std::string& hintStr, HintInfo& info) {
  bool canShow = showHint_;
  if (canShow) Fire(OnShowHint, hintStr, canShow, info);
  return canShow;
}

bool Application::ExecuteAction(BasicAction* action) {
  bool handled = false;
  Fire(OnActionExecute, action, handled);
  return handled;
}

bool Application::UpdateAction(BasicAction* action) {
  bool handled = false;
  Fire(OnActionUpdate, action, handled);
  return handled;
}

void Application::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_) plat::SetWindowTextA(handle_, title_.c_str());
}

void Application::SetIcon(const plat::IconImage& icon) {
  icon_ = icon;
  for (Form* form : forms_) form->ApplicationIconChanged();
}

void Application::SetHint(const std::string& hint) {
  if (hint_ == hint) return;
  hint_ = hint;
  Fire(OnHint, this);
}

void Application::SetHintColor(plat::COLORREF color) {
  hintColor_ = color;
  if (hintWindow_) hintWindow_->SetColor(color);
}

void Application::SetShowHint(bool show) {
  if (showHint_ == show) return;
  showHint_ = show;
  if (show && !hintWindow_ && handle_) {
    hintWindow_ = new HintWindow(this);
    hintWindow_->SetColor(hintColor_);
  } else if (!show && hintWindow_) {
    delete std::exchange(hintWindow_, nullptr);
  }
}

void Application::SetBiDiMode(BiDiMode mode) {
  if (biDiMode_ == mode) return;
  biDiMode_ = mode;
  for (Form* form : forms_) form->SetBiDiMode(mode);
}

void Application::AddForm(Form* form) {
  forms_.push_back(form);
  if (!mainForm_) mainForm_ = form;
}

void Application::RemoveForm(Form* form) {
  std::erase(forms_, form);
  std::erase(pendingRelease_, form);
  if (mainForm_ == form) mainForm_ = nullptr;
}

void Application::ReleaseForm(Form* form) {
  if (std::find(pendingRelease_.begin(), pendingRelease_.end(), form) != pendingRelease_.end()) return;
  pendingRelease_.push_back(form);
  plat::PostMessageA(handle_, CM_RELEASE, 0, 0);
}

void Application::ReleasePendingForms() {
  if (pendingRelease_.empty()) return;
  while (!pendingRelease_.empty()) delete pendingRelease_.front();  // its destructor unlists it
  // A released window took its pictures and its speech with it: the heap need not keep them.
  plat::ReturnFreeMemory();
}

plat::LRESULT Application::WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  Application* app = theApplication;
  // Until CreateApplicationWindow returns, the window is not ours to handle: on Windows its
  // creation messages (WM_NCCREATE...) must reach the default procedure with their own handle.
  if (!app || app->handle_ != hwnd) return plat::DefWindowProcA(hwnd, msg, wParam, lParam);
  return Guarded([&] { return app->WndProc(msg, wParam, lParam); });
}

plat::LRESULT Application::WndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  Message message{msg, wParam, lParam, 0};
  // Copy: a hook may unhook itself or others.
  auto hooks = hooks_;
  for (auto& h : hooks)
    if (h.hook(message)) return message.result;

  switch (msg) {
    case CM_RELEASE:
      ReleasePendingForms();
      return 0;
    case CM_SYNCHRONIZE:
      Synchronizer::CheckSynchronize();
      return 0;
    case plat::WM_ENTERIDLE:
      // A native modal loop (win32 message boxes) has an empty queue: idle moments go on.
      while (!IdlePass()) {
        plat::MSG peek;
        if (plat::PeekMessageA(&peek, nullptr, 0, 0, plat::PM_NOREMOVE)) break;
      }
      return 0;
    case plat::WM_ACTIVATEAPP:
      Fire(wParam ? OnActivate : OnDeactivate, this);
      return 0;
    case plat::WM_SETTINGCHANGE: {
      plat::LONG result = 0;
      const char* section = reinterpret_cast<const char*>(lParam);
      Fire(OnSettingChange, this, static_cast<int>(wParam), section ? section : "", result);
      return result;
    }
    case plat::WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return 0;
    default:
      return plat::DefWindowProcA(handle_, msg, wParam, lParam);
  }
}

}  // namespace tk
