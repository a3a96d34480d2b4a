#include "speech/vuclasses.h"

#include <algorithm>
#include <stdexcept>

std::string TvuCustomLogFile::Format(const std::string& format, const std::vector<TvuLogArg>& args) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    const char conversion = format[++i];
    if (conversion == '%') {
      out += '%';
    } else if ((conversion == 'u' || conversion == 's') && next < args.size()) {
      const TvuLogArg& a = args[next++];
      out += std::holds_alternative<std::uint32_t>(a) ? std::to_string(std::get<std::uint32_t>(a))
                                                      : std::get<std::string>(a);
    } else {
      out += '%';
      out += conversion;
    }
  }
  return out;
}

TvuCommTAPI::~TvuCommTAPI() = default;

void TvuCommTAPI::AddMediumNotify(TvuCustomDataProcessor* processor) {
  if (processor && !HasMediumNotify(processor)) notifies_.push_back(processor);
}

void TvuCommTAPI::RemoveMediumNotify(TvuCustomDataProcessor* processor) { std::erase(notifies_, processor); }

bool TvuCommTAPI::HasMediumNotify(const TvuCustomDataProcessor* processor) const {
  return std::find(notifies_.begin(), notifies_.end(), processor) != notifies_.end();
}

void TvuCommTAPI::NotifyMedium(int code) {
  // A processor may leave the list while it is told.
  const auto listeners = notifies_;
  for (auto* p : listeners)
    if (HasMediumNotify(p)) p->MediumNotify(this, code);
}

TvuCustomDataProcessor::TvuCustomDataProcessor(tk::Component* owner) : tk::Component(owner) {}

TvuCustomDataProcessor::~TvuCustomDataProcessor() { TvuCustomDataProcessor::SetMedium(nullptr); }

void TvuCustomDataProcessor::MediumNotify(tk::Component*, int Code) {
  if (Code == 1)
    MediumClosed();
  else if (Code == 2)
    MediumOpened();
}

void TvuCustomDataProcessor::SetNextProcessor(TvuCustomDataProcessor* Processor) {
  NextProcessor_ = Processor;
  if (Processor) {
    Processor->FreeNotification(this);
    Processor->SetMedium(Medium_);
  }
}

void TvuCustomDataProcessor::SetMedium(TvuCommTAPI* Line) {
  if (Medium_ && Medium_ != Line) Medium_->RemoveMediumNotify(this);
  Medium_ = Line;
  if (Line) {
    Line->FreeNotification(this);
    Line->AddMediumNotify(this);
  }
}

void TvuCustomDataProcessor::SetLog(TvuCustomLogFile* log) {
  Log_ = log;
  if (log) log->FreeNotification(this);
}

void TvuCustomDataProcessor::Notification(tk::Component* component, tk::Operation operation) {
  tk::Component::Notification(component, operation);
  if (operation != tk::Operation::Remove) return;
  if (component == NextProcessor_)
    SetNextProcessor(nullptr);
  else if (component == Medium_)
    Medium_ = nullptr;  // a dying line's list is gone already: nothing to unregister from
  else if (component == Log_)
    Log_ = nullptr;
}

void TvuCustomDataProcessor::WriteLog(int level, const std::string& text) {
  if (Log_) Log_->WriteLine(level, LogPrefix_ + text);
}

void TvuCustomDataProcessor::WriteLogFormat(int level, const std::string& format, const std::vector<TvuLogArg>& args) {
  if (Log_) Log_->WriteFormat(level, LogPrefix_ + format, args);
}

void TvuCustomDataProcessor::FatalError(std::uint32_t ErrorCode, std::uint32_t Detail, const std::string& ErrorMsg) {
  bool raise = true;
  if (OnFatalError) {
    TOnFatalErrorEvent handler = OnFatalError;
    handler(this, ErrorCode, Detail, ErrorMsg, raise);
  }
  WriteLogFormat(0, "Fatal Error: %u, %u, %s", {ErrorCode, Detail, ErrorMsg});
  if (raise) throw std::runtime_error(ErrorMsg);
}
