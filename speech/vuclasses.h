#pragma once
// The base of the speech-output components: the error-reporting path (OnFatalError, the log,
// an exception), an optional log, and an optional telephone line whose wave devices a component
// may use instead of the sound card.
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "platform/wintypes.h"
#include "toolkit/Component.h"

// Sender, ErrorCode, Detail, ErrorMsg, RaiseException (true on entry; clear it to raise nothing).
using TOnFatalErrorEvent = std::function<void(tk::Component* Sender, std::uint32_t ErrorCode, std::uint32_t Detail,
                                              const std::string& ErrorMsg, bool& RaiseException)>;

using TvuLogArg = std::variant<std::uint32_t, std::string>;

// A log the components can write to; what it writes to is the descendant's business.
class TvuCustomLogFile : public tk::Component {
 public:
  using tk::Component::Component;
  virtual void WriteLine(int level, const std::string& text) = 0;
  // `format` takes %u and %s in the order of `args` (and %% for a percent sign).
  virtual void WriteFormat(int level, const std::string& format, const std::vector<TvuLogArg>& args) = 0;

  // What WriteFormat's arguments give; for descendants that store text.
  static std::string Format(const std::string& format, const std::vector<TvuLogArg>& args);
};

class TvuCustomDataProcessor;

// What the components need of a telephone line: a list of processors to tell when the line's
// medium closes (code 1) or opens (code 2), and the wave devices of its selected line device
// (0: none).
class TvuCommTAPI : public tk::Component {
 public:
  using tk::Component::Component;
  ~TvuCommTAPI() override;

  // Adds `processor` unless it is in the list already.
  void AddMediumNotify(TvuCustomDataProcessor* processor);
  void RemoveMediumNotify(TvuCustomDataProcessor* processor);
  bool HasMediumNotify(const TvuCustomDataProcessor* processor) const;
  // Tells every processor in the list.
  void NotifyMedium(int code);

  virtual plat::UINT WaveOutDeviceID() const { return waveOutId_; }
  virtual plat::UINT WaveInDeviceID() const { return waveInId_; }
  void SetWaveDeviceIDs(plat::UINT out, plat::UINT in) {
    waveOutId_ = out;
    waveInId_ = in;
  }

 private:
  std::vector<TvuCustomDataProcessor*> notifies_;
  plat::UINT waveOutId_ = 0;
  plat::UINT waveInId_ = 0;
};

class TvuCustomDataProcessor : public tk::Component {
 public:
  explicit TvuCustomDataProcessor(tk::Component* owner);
  ~TvuCustomDataProcessor() override;

  virtual void MediumNotify(tk::Component* Sender, int Code);
  virtual void MediumClosed() {}
  virtual void MediumOpened() {}
  virtual void SetNextProcessor(TvuCustomDataProcessor* Processor);
  virtual void SetMedium(TvuCommTAPI* Line);
  virtual void SetFlag(bool Value) { Flag_ = Value; }
  // Calls OnFatalError, writes the log, then raises std::runtime_error(ErrorMsg) unless the
  // handler cleared RaiseException.
  virtual void FatalError(std::uint32_t ErrorCode, std::uint32_t Detail, const std::string& ErrorMsg);
  virtual void DataReceived(const void* Buffer, int Length, bool& Handled) {}
  virtual void DataSent(bool& Handled) {}

  TvuCommTAPI* Medium() const { return Medium_; }
  TvuCustomDataProcessor* NextProcessor() const { return NextProcessor_; }
  bool Flag() const { return Flag_; }
  TvuCustomLogFile* Log() const { return Log_; }
  void SetLog(TvuCustomLogFile* log);
  const std::string& LogPrefix() const { return LogPrefix_; }
  void SetLogPrefix(const std::string& prefix) { LogPrefix_ = prefix; }

  TOnFatalErrorEvent OnFatalError;

 protected:
  void Notification(tk::Component* component, tk::Operation operation) override;
  void WriteLog(int level, const std::string& text);
  void WriteLogFormat(int level, const std::string& format, const std::vector<TvuLogArg>& args);

 private:
  TvuCommTAPI* Medium_ = nullptr;
  TvuCustomDataProcessor* NextProcessor_ = nullptr;
  bool Flag_ = false;
  TvuCustomLogFile* Log_ = nullptr;
  std::string LogPrefix_;
};

// The telephony layer of the processors; nothing of its own is used here.
class TvuCustomTAPIProcessor : public TvuCustomDataProcessor {
 public:
  using TvuCustomDataProcessor::TvuCustomDataProcessor;
};
