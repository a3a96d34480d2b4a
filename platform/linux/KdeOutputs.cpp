// KWin's output management: one kde_output_device_v2 global per output, each reporting its modes
// and state, kept current by its events; the primary output is the first in kde_output_order_v1.
// A change is a configuration that names the primary output's mode only (KWin keeps everything
// not named as it is), applied at once and answered with applied or failed.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "kde-output-device-v2-client-protocol.h"
#include "kde-output-management-v2-client-protocol.h"
#include "kde-output-order-v1-client-protocol.h"
#include "platform/linux/CompositorOutputs.h"
#include "platform/linux/ReportedOutput.h"

namespace plat::wl {
namespace {

constexpr std::uint32_t kDeviceVersion = 2;  // 2 names the output, as the output order does
constexpr std::uint32_t kManagementVersion = 1;
constexpr std::uint32_t kOrderVersion = 1;

// One per kde_output_device_v2 global, which it remembers to follow the outputs plugged in and out.
struct Device : ReportedOutput<kde_output_device_v2, kde_output_device_mode_v2, kde_output_device_v2_destroy,
                               kde_output_device_mode_v2_destroy> {
  Device(kde_output_device_v2* p, std::uint32_t name) : ReportedOutput(p), global(name) {}
  std::uint32_t global;
};
using Mode = Device::Mode;

enum class Answer { Pending, Applied, Failed };

class KdeOutputs final : public desk::OutputConfigurator {
 public:
  KdeOutputs(Connection& c, kde_output_management_v2* management) : c_(c), management_(management) {
    if (const Global* order = c_.Find(kde_output_order_v1_interface.name)) {
      order_ = static_cast<kde_output_order_v1*>(c_.Bind(*order, &kde_output_order_v1_interface, kOrderVersion));
      kde_output_order_v1_add_listener(order_, &kOrderListener, this);
    }
  }
  ~KdeOutputs() override {
    devices_.clear();
    if (order_) kde_output_order_v1_destroy(order_);
    kde_output_management_v2_destroy(management_);
  }

  std::optional<std::vector<desk::OutputHead>> ReadOutputs(const desk::AnswerDeadline& deadline, bool runLoop) override {
    FollowGlobals();
    if (!c_.Roundtrip(deadline, runLoop)) return std::nullopt;
    const std::string primary = order_ && !order_names_.empty() ? order_names_.front() : std::string();
    std::vector<desk::OutputHead> heads;
    for (const auto& d : devices_) {
      heads.push_back(d->Describe());
      heads.back().primary = !primary.empty() && d->name == primary;
    }
    return heads;
  }

  desk::ApplyAnswer ApplyMode(const std::vector<desk::OutputHead>& heads, std::size_t head, std::size_t mode,
                              const desk::AnswerDeadline& deadline) override {
    const auto* target = static_cast<const Device::ReportedOutput*>(heads[head].handle);
    const auto* wanted = static_cast<const Mode*>(heads[head].modes[mode].handle);
    // An output or mode that went away since the outputs were read: ask again with what is there.
    if (!Known(target, wanted)) return desk::ApplyAnswer::Cancelled;
    Answer answer = Answer::Pending;
    kde_output_configuration_v2* config = kde_output_management_v2_create_configuration(management_);
    kde_output_configuration_v2_add_listener(config, &kConfigListener, &answer);
    kde_output_configuration_v2_mode(config, target->proxy, wanted->proxy);
    kde_output_configuration_v2_apply(config);
    c_.WaitFor([&] { return answer != Answer::Pending; }, deadline, true);
    kde_output_configuration_v2_destroy(config);
    switch (answer) {
      case Answer::Applied: return desk::ApplyAnswer::Applied;
      case Answer::Failed: return desk::ApplyAnswer::Refused;
      case Answer::Pending: break;
    }
    return desk::ApplyAnswer::NoAnswer;
  }

 private:
  bool Known(const Device::ReportedOutput* target, const Mode* wanted) const {
    return std::any_of(devices_.begin(), devices_.end(),
                       [&](const auto& d) { return d.get() == target && d->Offers(wanted); });
  }

  // Binds the outputs plugged in since the last look and lets go of those unplugged; the
  // roundtrip that follows brings the new ones' state.
  void FollowGlobals() {
    const std::vector<Global> globals = c_.FindAll(kde_output_device_v2_interface.name);
    std::erase_if(devices_, [&](const auto& d) {
      return std::none_of(globals.begin(), globals.end(), [&](const Global& g) { return g.name == d->global; });
    });
    for (const Global& g : globals) {
      if (std::any_of(devices_.begin(), devices_.end(), [&](const auto& d) { return d->global == g.name; })) continue;
      auto d = std::make_unique<Device>(
          static_cast<kde_output_device_v2*>(c_.Bind(g, &kde_output_device_v2_interface, kDeviceVersion)), g.name);
      kde_output_device_v2_add_listener(d->proxy, &kDeviceListener, d.get());
      devices_.push_back(std::move(d));
    }
  }

  // Device events.
  static void OnGeometry(void* d, kde_output_device_v2*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                         const char*, const char*, int32_t transform) {
    auto* device = static_cast<Device*>(d);
    device->x = x;
    device->y = y;
    device->transform = transform;
  }
  static void OnCurrentMode(void* d, kde_output_device_v2*, kde_output_device_mode_v2* mode) {
    static_cast<Device*>(d)->SetCurrent(mode);
  }
  static void OnMode(void* d, kde_output_device_v2*, kde_output_device_mode_v2* proxy) {
    kde_output_device_mode_v2_add_listener(proxy, &kModeListener, &static_cast<Device*>(d)->AddMode(proxy));
  }
  static void OnDone(void*, kde_output_device_v2*) {}
  static void OnScale(void* d, kde_output_device_v2*, wl_fixed_t factor) { static_cast<Device*>(d)->scale = factor; }
  static void OnText(void*, kde_output_device_v2*, const char*) {}
  static void OnEnabled(void* d, kde_output_device_v2*, int32_t enabled) {
    static_cast<Device*>(d)->enabled = enabled != 0;
  }
  static void OnFlags(void*, kde_output_device_v2*, uint32_t) {}
  static void OnName(void* d, kde_output_device_v2*, const char* name) { static_cast<Device*>(d)->name = name; }

  // The output order: names, first the primary one, then done.
  static void OnOrderOutput(void* self, kde_output_order_v1*, const char* name) {
    auto* s = static_cast<KdeOutputs*>(self);
    if (s->order_complete_) s->order_pending_.clear();
    s->order_complete_ = false;
    s->order_pending_.emplace_back(name);
  }
  static void OnOrderDone(void* self, kde_output_order_v1*) {
    auto* s = static_cast<KdeOutputs*>(self);
    s->order_names_ = s->order_pending_;
    s->order_complete_ = true;
  }

  static void OnApplied(void* a, kde_output_configuration_v2*) { *static_cast<Answer*>(a) = Answer::Applied; }
  static void OnFailed(void* a, kde_output_configuration_v2*) { *static_cast<Answer*>(a) = Answer::Failed; }

  static constexpr kde_output_device_v2_listener kDeviceListener{
      OnGeometry, OnCurrentMode, OnMode, OnDone, OnScale, OnText, OnEnabled, OnText, OnText, OnText,
      OnFlags,    OnFlags,       OnFlags, OnFlags, OnName};
  // KWin destroys a removed mode right after saying so.
  static constexpr kde_output_device_mode_v2_listener kModeListener{Mode::OnSize, Mode::OnRefresh, Mode::OnPreferred,
                                                                    Mode::OnGone};
  static constexpr kde_output_order_v1_listener kOrderListener{OnOrderOutput, OnOrderDone};
  static constexpr kde_output_configuration_v2_listener kConfigListener{OnApplied, OnFailed};

  Connection& c_;
  kde_output_management_v2* management_;
  kde_output_order_v1* order_ = nullptr;
  std::vector<std::string> order_names_;
  std::vector<std::string> order_pending_;
  bool order_complete_ = true;
  std::vector<std::unique_ptr<Device>> devices_;
};

}  // namespace

std::unique_ptr<desk::OutputConfigurator> OpenKdeOutputs(Connection& connection) {
  const Global* global = connection.Find(kde_output_management_v2_interface.name);
  if (!global) return nullptr;
  auto* management = static_cast<kde_output_management_v2*>(
      connection.Bind(*global, &kde_output_management_v2_interface, kManagementVersion));
  return std::make_unique<KdeOutputs>(connection, management);
}

}  // namespace plat::wl
