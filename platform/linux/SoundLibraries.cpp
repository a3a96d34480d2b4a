#include "platform/linux/SoundLibraries.h"

#include <dlfcn.h>

#include <mutex>

namespace plat::sound {
namespace {

template <typename F>
bool Resolve(void* library, F& entry, const char* name) {
  entry = reinterpret_cast<F>(dlsym(library, name));
  return entry != nullptr;
}

bool ResolveAll(void* l, Alsa& a) {
  return Resolve(l, a.pcm_open, "snd_pcm_open") && Resolve(l, a.pcm_set_params, "snd_pcm_set_params") &&
         Resolve(l, a.pcm_close, "snd_pcm_close") && Resolve(l, a.pcm_drop, "snd_pcm_drop") &&
         Resolve(l, a.pcm_prepare, "snd_pcm_prepare") && Resolve(l, a.pcm_start, "snd_pcm_start") &&
         Resolve(l, a.pcm_delay, "snd_pcm_delay") && Resolve(l, a.pcm_state, "snd_pcm_state") &&
         Resolve(l, a.pcm_writei, "snd_pcm_writei") && Resolve(l, a.pcm_readi, "snd_pcm_readi") &&
         Resolve(l, a.pcm_wait, "snd_pcm_wait") && Resolve(l, a.pcm_recover, "snd_pcm_recover") &&
         Resolve(l, a.config_update, "snd_config_update") &&
         Resolve(l, a.config_update_free_global, "snd_config_update_free_global");
}

bool ResolveAll(void* l, Soxr& s) {
  return Resolve(l, s.oneshot, "soxr_oneshot") && Resolve(l, s.io_spec, "soxr_io_spec") &&
         Resolve(l, s.quality_spec, "soxr_quality_spec");
}

// ALSA keeps its parsed configuration for the next open until told otherwise; it must not
// outlive the library.
void BeforeUnload(const Alsa& a) { a.config_update_free_global(); }
void BeforeUnload(const Soxr&) {}

template <typename Api>
class InUse {
 public:
  explicit InUse(const char* soname) : soname_(soname) {}

  const Api* Acquire() {
    std::lock_guard g(lock_);
    if (users_ == 0) {
      library_ = dlopen(soname_, RTLD_NOW | RTLD_LOCAL);
      if (!library_) return nullptr;
      if (!ResolveAll(library_, api_)) {
        dlclose(library_);
        library_ = nullptr;
        return nullptr;
      }
    }
    ++users_;
    return &api_;
  }

  void Release() {
    std::lock_guard g(lock_);
    if (users_ == 0 || --users_ > 0) return;
    BeforeUnload(api_);
    dlclose(library_);
    library_ = nullptr;
    api_ = Api{};
  }

 private:
  const char* const soname_;
  std::mutex lock_;
  void* library_ = nullptr;
  int users_ = 0;
  Api api_;
};

// Never destroyed: a device's thread may release after the program's statics are gone.
InUse<Alsa>& AlsaLibrary() {
  static auto* library = new InUse<Alsa>("libasound.so.2");
  return *library;
}

InUse<Soxr>& SoxrLibrary() {
  static auto* library = new InUse<Soxr>("libsoxr.so.0");
  return *library;
}

}  // namespace

const Alsa* AcquireAlsa() { return AlsaLibrary().Acquire(); }
void ReleaseAlsa() { AlsaLibrary().Release(); }
const Soxr* AcquireSoxr() { return SoxrLibrary().Acquire(); }
void ReleaseSoxr() { SoxrLibrary().Release(); }

}  // namespace plat::sound
