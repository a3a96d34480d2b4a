#pragma once
// Application-wide properties kept with a window, and the sharing of the application's events
// among every window that wants them.
//
// The application has one handler per event. TMultiCaster (one per program) takes them all and
// calls every TCustomApplicationEvents in turn, newest first. TqelAppPropList (present while a
// TqelApplicationProperties exists) takes thirteen of them over in turn, lets each properties
// component stop an event (Chained false), and then hands it on to the multicaster.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/peers.h"
#include "toolkit/Application.h"
#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/Component.h"
#include "toolkit/Events.h"

class TCustomApplicationEvents : public tk::Component {
 public:
  explicit TCustomApplicationEvents(tk::Component* owner);
  ~TCustomApplicationEvents() override;

  tk::ActionEvent OnActionExecute;
  tk::ActionEvent OnActionUpdate;
  tk::NotifyEvent OnActivate;
  tk::NotifyEvent OnDeactivate;
  tk::ExceptionEvent OnException;
  tk::IdleEvent OnIdle;
  tk::HelpEvent OnHelp;
  tk::NotifyEvent OnHint;
  tk::MessageEvent OnMessage;
  tk::NotifyEvent OnMinimize;
  tk::NotifyEvent OnRestore;
  tk::ShowHintEvent OnShowHint;
  tk::ShortCutEvent OnShortCut;
  tk::SettingChangeEvent OnSettingChange;
  tk::NotifyEvent OnModalBegin;
  tk::NotifyEvent OnModalEnd;
};

class TMultiCaster : public tk::Component {
 public:
  // Owned by the application; installs its dispatchers as the application's sixteen handlers.
  explicit TMultiCaster(tk::Application* application);
  ~TMultiCaster() override;

  // Appends `events` unless it is registered already.
  void AddAppEvent(TCustomApplicationEvents* events);
  void RemoveAppEvent(TCustomApplicationEvents* events);
  int Count() const { return static_cast<int>(entries_.size()); }
  int DispatchDepth() const { return dispatching_; }

  void DoActionExecute(tk::BasicAction* action, bool& handled);
  void DoActionUpdate(tk::BasicAction* action, bool& handled);
  void DoActivate(tk::Component* sender);
  void DoDeactivate(tk::Component* sender);
  void DoException(tk::Component* sender, const std::exception& error);
  void DoIdle(tk::Component* sender, bool& done);
  bool DoHelp(plat::WORD command, plat::LONG data, bool& callHelp);
  void DoHint(tk::Component* sender);
  void DoMessage(plat::MSG& msg, bool& handled);
  void DoMinimize(tk::Component* sender);
  void DoRestore(tk::Component* sender);
  void DoShowHint(std::string& hintStr, bool& canShow, tk::HintInfo& info);
  void DoShortCut(tk::KeyMessage& msg, bool& handled);
  void DoSettingChange(tk::Component* sender, int flag, const std::string& section, plat::LONG& result);
  void DoModalBegin(tk::Component* sender);
  void DoModalEnd(tk::Component* sender);

 private:
  struct Entry {
    TCustomApplicationEvents* events;
    std::uint64_t serial;
  };
  // Calls `visit` for every instance registered when the dispatch began and still alive,
  // newest first; `visit` returns false to end the dispatch.
  template <typename Visit>
  void Dispatch(Visit visit);
  bool Alive(const Entry& entry) const;

  tk::Application* application_;
  std::vector<Entry> entries_;
  std::uint64_t nextSerial_ = 1;
  int dispatching_ = 0;
};

// The program's multicaster; null before it is created and after it is destroyed.
TMultiCaster* MultiCaster();

class TqelApplicationProperties : public TCustomApplicationEvents {
 public:
  explicit TqelApplicationProperties(tk::Component* owner);
  ~TqelApplicationProperties() override;

  bool Chained() const { return chained_; }
  void SetChained(bool chained) { chained_ = chained; }
  std::string HelpFile() const;
  void SetHelpFile(const std::string& file);
  bool Hidden() const { return hidden_; }
  void SetHidden(bool hidden);
  tk::Color HintColor() const;
  void SetHintColor(tk::Color color);
  int HintHidePause() const;
  void SetHintHidePause(int ms);
  int HintPause() const;
  void SetHintPause(int ms);
  int HintShortPause() const;
  void SetHintShortPause(int ms);
  plat::IconImage Icon() const;
  void SetIcon(const plat::IconImage& icon);
  std::string Title() const;
  void SetTitle(const std::string& title);
  bool ShowHint() const;
  void SetShowHint(bool show);
  bool UpdateFormatSettings() const;
  void SetUpdateFormatSettings(bool update);
  bool ShowMainForm() const;
  void SetShowMainForm(bool show);
  bool UpdateMetricSettings() const;
  void SetUpdateMetricSettings(bool update);
  tk::BiDiMode GetBiDiMode() const;
  void SetBiDiMode(tk::BiDiMode mode);
  bool HintShortCuts() const;
  void SetHintShortCuts(bool show);
  bool MouseDragImmediate() const;
  void SetMouseDragImmediate(bool immediate);
  int MouseDragThreshold() const;
  void SetMouseDragThreshold(int pixels);
  std::string BiDiKeyboard() const;
  void SetBiDiKeyboard(const std::string& layout);
  std::string NonBiDiKeyboard() const;
  void SetNonBiDiKeyboard(const std::string& layout);

  // The drawing surface while the minimised application window is being painted, else null.
  tk::Canvas* Canvas() const { return canvas_.get(); }

  tk::NotifyEvent OnPaintIcon;
  tk::NotifyEvent OnSettingsChanged;
  tk::NotifyEvent OnActiveControlChange;
  tk::NotifyEvent OnActiveFormChange;

  virtual void ApplyProperties();
  virtual void ApplyHidden();
  virtual void IconFontChanged();
  virtual void HintFontChanged();
  virtual void PaintIcon();
  virtual bool AppWindowHook(tk::Message& message);

 protected:
  void Loaded() override;
  virtual void DoSettingsChanged();

 private:
  bool chained_ = true;
  bool hidden_ = false;
  tk::Color hintColor_ = tk::clInfoBk;
  int hintHidePause_ = 2500;
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  bool showHint_ = true;
  bool updateFormatSettings_ = true;
  bool showMainForm_ = true;
  bool updateMetricSettings_ = true;
  tk::BiDiMode biDiMode_ = tk::BiDiMode::LeftToRight;
  bool hintShortCuts_ = true;
  bool mouseDragImmediate_ = true;
  int mouseDragThreshold_ = 5;
  std::string biDiKeyboard_;
  std::string nonBiDiKeyboard_;
  std::unique_ptr<tk::Canvas> canvas_;
};

class TqelAppPropList {
 public:
  TqelAppPropList() = default;
  ~TqelAppPropList();
  TqelAppPropList(const TqelAppPropList&) = delete;
  TqelAppPropList& operator=(const TqelAppPropList&) = delete;

  void Add(TqelApplicationProperties* instance);
  void Remove(TqelApplicationProperties* instance);
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  struct Entry {
    TqelApplicationProperties* instance;
    std::uint64_t serial;
  };
  void TakeOverEvents();
  // Each saves the handlers it replaces, for RestoreEvents.
  void TakeOverApplicationEvents();
  void TakeOverScreenEvents();
  void RestoreEvents();
  // Visits the instances newest first, running `react` on each; false when an instance with
  // Chained false ended the walk.
  template <typename React>
  bool Walk(React react);

  std::vector<Entry> entries_;
  std::uint64_t nextSerial_ = 1;
  // Tells a walk in progress that the registry itself is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  tk::NotifyEvent savedActivate_, savedDeactivate_, savedHint_, savedMinimize_, savedRestore_;
  tk::ExceptionEvent savedException_;
  tk::IdleEvent savedIdle_;
  tk::HelpEvent savedHelp_;
  tk::MessageEvent savedMessage_;
  tk::ShowHintEvent savedShowHint_;
  tk::ActionEvent savedActionExecute_, savedActionUpdate_;
  tk::ShortCutEvent savedShortCut_;
  tk::NotifyEvent savedActiveControlChange_, savedActiveFormChange_, savedHintFontChange_, savedIconFontChange_;
  bool takenOver_ = false;
};

// The program's registry; null while no TqelApplicationProperties exists.
TqelAppPropList* AppPropList();
// Destroys a registry still present (program end), giving the application its handlers back.
void ReleaseAppPropList();
