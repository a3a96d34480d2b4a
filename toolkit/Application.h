#pragma once
// The application object: the message loop with its idle moments, the application-wide settings,
// one handler per application event, hooks on the application window, and the exception box.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/peers.h"
#include "toolkit/BiDiMode.h"
#include "toolkit/Component.h"
#include "toolkit/Events.h"

namespace tk {

class Form;
class HintWindow;

// Mouse drag settings live with the mouse; the application reaches them through it.
struct Mouse {
  bool dragImmediate = true;
  int dragThreshold = 5;
};

class Application : public Component {
 public:
  Application();
  ~Application() override;

  // Creates the application window and learns whether the program was started minimised; the
  // first form created afterwards is the main form.
  void Initialize();
  // Shows the main form (unless ShowMainForm is false or the program started minimised) and
  // handles messages until Terminate.
  void Run();
  void HandleMessage();
  void ProcessMessages();
  // Posts the quit message; the loop ends at its next turn.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // True from the start of the application's destruction: windows are going, none is to appear.
  bool ShuttingDown() const { return shuttingDown_; }
  // The nested loop that modal boxes and popup menus run: one message or idle moment per call.
  plat::ModalPump& ModalLoop();

  void HandleException(const std::exception& error);
  void ShowException(const std::exception& error);
  // A modal box captioned with the title, one OK button, no icon.
  void MessageBox(const std::string& text);

  plat::HWND Handle() const { return handle_; }
  bool IsMinimized() const;
  void Minimize();
  void Restore();

  Form* MainForm() const { return mainForm_; }
  const std::vector<Form*>& Forms() const { return forms_; }

  // Hooks on the application window's messages, run in the order they were added.
  void HookMainWindow(const void* owner, WindowHook hook);
  void UnhookMainWindow(const void* owner);

  // Raising the events whose sources live outside the loop.
  bool HelpCommand(plat::WORD command, plat::LONG data);
  bool IsShortCut(KeyMessage& key);
  bool ShowHintFor(std::string& hintStr, HintInfo& info);
  bool ExecuteAction(BasicAction* action);
  bool UpdateAction(BasicAction* action);
  void ModalStarted();
  void ModalFinished();

  // Settings.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  const plat::IconImage& Icon() const { return icon_; }
  void SetIcon(const plat::IconImage& icon);
  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(const std::string& file) { helpFile_ = file; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  plat::COLORREF HintColor() const { return hintColor_; }
  void SetHintColor(plat::COLORREF color);
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int ms) { hintShortPause_ = ms; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  bool HintShortCuts() const { return hintShortCuts_; }
  void SetHintShortCuts(bool show) { hintShortCuts_ = show; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool show) { showMainForm_ = show; }
  bool UpdateFormatSettings() const { return updateFormatSettings_; }
  void SetUpdateFormatSettings(bool update) { updateFormatSettings_ = update; }
  bool UpdateMetricSettings() const { return updateMetricSettings_; }
  void SetUpdateMetricSettings(bool update) { updateMetricSettings_ = update; }
  BiDiMode GetBiDiMode() const { return biDiMode_; }
  void SetBiDiMode(BiDiMode mode);
  const std::string& BiDiKeyboard() const { return biDiKeyboard_; }
  void SetBiDiKeyboard(const std::string& layout) { biDiKeyboard_ = layout; }
  const std::string& NonBiDiKeyboard() const { return nonBiDiKeyboard_; }
  void SetNonBiDiKeyboard(const std::string& layout) { nonBiDiKeyboard_ = layout; }
  // The window that shows hints; null while hints are off.
  HintWindow* GetHintWindow() const { return hintWindow_; }
  // The mouse object; null where the system has no mouse.
  Mouse* GetMouse() { return &mouse_; }

  // One handler slot per application event.
  IdleEvent OnIdle;
  NotifyEvent OnActivate;
  NotifyEvent OnDeactivate;
  NotifyEvent OnMinimize;
  NotifyEvent OnRestore;
  ExceptionEvent OnException;
  HelpEvent OnHelp;
  NotifyEvent OnHint;
  MessageEvent OnMessage;
  ShortCutEvent OnShortCut;
  ShowHintEvent OnShowHint;
  ActionEvent OnActionExecute;
  ActionEvent OnActionUpdate;
  SettingChangeEvent OnSettingChange;
  NotifyEvent OnModalBegin;
  NotifyEvent OnModalEnd;

  // Forms register themselves; the toolkit calls these.
  void AddForm(Form* form);
  void RemoveForm(Form* form);
  // Destroys `form` once the loop is back at the top, never inside one of its handlers.
  void ReleaseForm(Form* form);

 private:
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT WndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  bool ProcessMessage(plat::MSG& msg);
  void Idle();
  // One pass of the idle event and what follows it; returns Done.
  bool IdlePass();
  void DoActionIdle();
  void ReleasePendingForms();
  void ShowModalBox(const std::string& text, bool error);

  plat::HWND handle_ = nullptr;
  bool terminated_ = false;
  bool shuttingDown_ = false;
  std::unique_ptr<plat::ModalPump> modalLoop_;
  bool startedMinimized_ = false;
  Form* mainForm_ = nullptr;
  std::vector<Form*> forms_;
  std::vector<Form*> pendingRelease_;
  struct Hook {
    const void* owner;
    WindowHook hook;
  };
  std::vector<Hook> hooks_;

  std::string title_;
  plat::IconImage icon_;
  std::string helpFile_;
  std::string hint_;
  plat::COLORREF hintColor_;
  int hintHidePause_ = 2500;
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  bool showHint_ = true;
  bool hintShortCuts_ = true;
  bool showMainForm_ = true;
  bool updateFormatSettings_ = true;
  bool updateMetricSettings_ = true;
  BiDiMode biDiMode_ = BiDiMode::LeftToRight;
  std::string biDiKeyboard_;
  std::string nonBiDiKeyboard_;
  Mouse mouse_;
  HintWindow* hintWindow_ = nullptr;
};

// The program's one application object (VCL's global); null before it exists.
Application* App();

}  // namespace tk
