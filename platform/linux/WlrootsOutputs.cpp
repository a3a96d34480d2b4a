// wlroots' output management: the heads and their modes as the manager reports them, kept
// current by its events; a change is a whole configuration (every head as it is, the primary
// one's mode changed), tested first and then applied.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/CompositorOutputs.h"
#include "platform/linux/ReportedOutput.h"
#include "wlr-output-management-unstable-v1-client-protocol.h"

namespace plat::wl {
namespace {

constexpr std::uint32_t kManagerVersion = 2;

using Head = ReportedOutput<zwlr_output_head_v1, zwlr_output_mode_v1, zwlr_output_head_v1_destroy,
                            zwlr_output_mode_v1_destroy>;
using Mode = Head::Mode;

enum class Answer { Pending, Succeeded, Failed, Cancelled };

class WlrootsOutputs final : public desk::OutputConfigurator {
 public:
  WlrootsOutputs(Connection& c, zwlr_output_manager_v1* manager) : c_(c), manager_(manager) {
    zwlr_output_manager_v1_add_listener(manager_, &kManagerListener, this);
  }
  ~WlrootsOutputs() override {
    heads_.clear();
    if (!finished_) zwlr_output_manager_v1_stop(manager_);
    zwlr_output_manager_v1_destroy(manager_);
  }

  std::optional<std::vector<desk::OutputHead>> ReadOutputs(const desk::AnswerDeadline& deadline, bool runLoop) override {
    if (finished_ || !c_.Roundtrip(deadline, runLoop) || !serial_) return std::nullopt;  // no done yet
    std::vector<desk::OutputHead> heads;
    for (const auto& h : heads_) heads.push_back(h->Describe());
    return heads;
  }

  desk::ApplyAnswer ApplyMode(const std::vector<desk::OutputHead>& heads, std::size_t head, std::size_t mode,
                              const desk::AnswerDeadline& deadline) override {
    const auto* target = static_cast<const Head*>(heads[head].handle);
    const auto* wanted = static_cast<const Mode*>(heads[head].modes[mode].handle);
    // A head or mode that went away since the outputs were read: ask again with what is there.
    if (!Known(target, wanted)) return desk::ApplyAnswer::Cancelled;
    for (bool test : {true, false}) {
      switch (Send(*target, *wanted, test, deadline)) {
        case Answer::Succeeded: break;
        case Answer::Cancelled: return desk::ApplyAnswer::Cancelled;
        case Answer::Failed: return desk::ApplyAnswer::Refused;
        case Answer::Pending: return desk::ApplyAnswer::NoAnswer;
      }
    }
    return desk::ApplyAnswer::Applied;
  }

 private:
  bool Known(const Head* target, const Mode* wanted) const {
    return std::any_of(heads_.begin(), heads_.end(), [&](const auto& h) { return h.get() == target && h->Offers(wanted); });
  }

  Answer Send(const Head& target, const Mode& wanted, bool test, const desk::AnswerDeadline& deadline) {
    Answer answer = Answer::Pending;
    zwlr_output_configuration_v1* config = zwlr_output_manager_v1_create_configuration(manager_, *serial_);
    zwlr_output_configuration_v1_add_listener(config, &kConfigListener, &answer);
    std::vector<zwlr_output_configuration_head_v1*> configured;
    for (const auto& h : heads_) {
      if (!h->enabled) {
        zwlr_output_configuration_v1_disable_head(config, h->proxy);
        continue;
      }
      auto* ch = zwlr_output_configuration_v1_enable_head(config, h->proxy);
      configured.push_back(ch);
      const Mode* mode = h.get() == &target ? &wanted : h->current;
      if (mode) zwlr_output_configuration_head_v1_set_mode(ch, mode->proxy);
      zwlr_output_configuration_head_v1_set_position(ch, h->x, h->y);
      zwlr_output_configuration_head_v1_set_transform(ch, h->transform);
      zwlr_output_configuration_head_v1_set_scale(ch, h->scale);
    }
    if (test)
      zwlr_output_configuration_v1_test(config);
    else
      zwlr_output_configuration_v1_apply(config);
    c_.WaitFor([&] { return answer != Answer::Pending; }, deadline, true);
    for (auto* ch : configured) zwlr_output_configuration_head_v1_destroy(ch);
    zwlr_output_configuration_v1_destroy(config);
    return answer;
  }

  Head* Find(zwlr_output_head_v1* proxy) {
    for (auto& h : heads_)
      if (h->proxy == proxy) return h.get();
    return nullptr;
  }

  // Manager events.
  static void OnHead(void* self, zwlr_output_manager_v1*, zwlr_output_head_v1* proxy) {
    auto* s = static_cast<WlrootsOutputs*>(self);
    s->heads_.push_back(std::make_unique<Head>(proxy));
    zwlr_output_head_v1_add_listener(proxy, &kHeadListener, s);
  }
  static void OnDone(void* self, zwlr_output_manager_v1*, std::uint32_t serial) {
    static_cast<WlrootsOutputs*>(self)->serial_ = serial;
  }
  static void OnFinished(void* self, zwlr_output_manager_v1*) { static_cast<WlrootsOutputs*>(self)->finished_ = true; }

  // Head events.
  static void OnMode(void* self, zwlr_output_head_v1* head, zwlr_output_mode_v1* proxy) {
    if (Head* h = static_cast<WlrootsOutputs*>(self)->Find(head))
      zwlr_output_mode_v1_add_listener(proxy, &kModeListener, &h->AddMode(proxy));
  }
  static void OnName(void* self, zwlr_output_head_v1* head, const char* name) {
    if (Head* h = static_cast<WlrootsOutputs*>(self)->Find(head)) h->name = name;
  }
  static void OnDescription(void*, zwlr_output_head_v1*, const char*) {}
  static void OnPhysicalSize(void*, zwlr_output_head_v1*, int32_t, int32_t) {}
  static void OnEnabled(void* self, zwlr_output_head_v1* head, int32_t enabled) {
    if (Head* h = static_cast<WlrootsOutputs*>(self)->Find(head)) h->enabled = enabled != 0;
  }
  static void OnCurrentMode(void* self, zwlr_output_head_v1* head, zwlr_output_mode_v1* mode) {
    if (Head* h = static_cast<WlrootsOutputs*>(self)->Find(head)) h->SetCurrent(mode);
  }
  static void OnPosition(void* self, zwlr_output_head_v1* head, int32_t x, int32_t y) {
    if (Head* h = static_cast<WlrootsOutputs*>(self)->Find(head)) {
      h->x = x;
      h->y = y;
    }
  }
  static void OnTransform(void* self, zwlr_output_head_v1* head, int32_t transform) {
    if (Head* h = static_cast<WlrootsOutputs*>(self)->Find(head)) h->transform = transform;
  }
  static void OnScale(void* self, zwlr_output_head_v1* head, wl_fixed_t scale) {
    if (Head* h = static_cast<WlrootsOutputs*>(self)->Find(head)) h->scale = scale;
  }
  static void OnHeadFinished(void* self, zwlr_output_head_v1* head) {
    auto* s = static_cast<WlrootsOutputs*>(self);
    std::erase_if(s->heads_, [&](const auto& h) { return h->proxy == head; });
  }
  static void OnText(void*, zwlr_output_head_v1*, const char*) {}

  static void OnSucceeded(void* a, zwlr_output_configuration_v1*) { *static_cast<Answer*>(a) = Answer::Succeeded; }
  static void OnFailed(void* a, zwlr_output_configuration_v1*) { *static_cast<Answer*>(a) = Answer::Failed; }
  static void OnCancelled(void* a, zwlr_output_configuration_v1*) { *static_cast<Answer*>(a) = Answer::Cancelled; }

  static constexpr zwlr_output_manager_v1_listener kManagerListener{OnHead, OnDone, OnFinished};
  static constexpr zwlr_output_head_v1_listener kHeadListener{
      OnName, OnDescription, OnPhysicalSize, OnMode, OnEnabled, OnCurrentMode, OnPosition,
      OnTransform, OnScale, OnHeadFinished, OnText, OnText, OnText};
  static constexpr zwlr_output_mode_v1_listener kModeListener{Mode::OnSize, Mode::OnRefresh, Mode::OnPreferred,
                                                              Mode::OnGone};
  static constexpr zwlr_output_configuration_v1_listener kConfigListener{OnSucceeded, OnFailed, OnCancelled};

  Connection& c_;
  zwlr_output_manager_v1* manager_;
  std::vector<std::unique_ptr<Head>> heads_;
  std::optional<std::uint32_t> serial_;  // from the last done: the state the heads describe
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<desk::OutputConfigurator> OpenWlrootsOutputs(Connection& connection) {
  const Global* global = connection.Find(zwlr_output_manager_v1_interface.name);
  if (!global) return nullptr;
  auto* manager = static_cast<zwlr_output_manager_v1*>(
      connection.Bind(*global, &zwlr_output_manager_v1_interface, kManagerVersion));
  return std::make_unique<WlrootsOutputs>(connection, manager);
}

}  // namespace plat::wl
