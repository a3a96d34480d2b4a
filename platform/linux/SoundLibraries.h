#pragma once
// ALSA and the resampler, loaded while they are in use: a tray program speaks for a few seconds
// now and then, and keeps neither library (nor ALSA's parsed configuration) in between.
#include <alsa/asoundlib.h>
#include <soxr.h>

namespace plat::sound {

// The ALSA calls of the wave devices.
struct Alsa {
  decltype(&snd_pcm_open) pcm_open = nullptr;
  decltype(&snd_pcm_set_params) pcm_set_params = nullptr;
  decltype(&snd_pcm_close) pcm_close = nullptr;
  decltype(&snd_pcm_drop) pcm_drop = nullptr;
  decltype(&snd_pcm_prepare) pcm_prepare = nullptr;
  decltype(&snd_pcm_start) pcm_start = nullptr;
  decltype(&snd_pcm_delay) pcm_delay = nullptr;
  decltype(&snd_pcm_state) pcm_state = nullptr;
  decltype(&snd_pcm_writei) pcm_writei = nullptr;
  decltype(&snd_pcm_readi) pcm_readi = nullptr;
  decltype(&snd_pcm_wait) pcm_wait = nullptr;
  decltype(&snd_pcm_recover) pcm_recover = nullptr;
  decltype(&snd_config_update) config_update = nullptr;
  decltype(&snd_config_update_free_global) config_update_free_global = nullptr;
};

// The resampler's calls.
struct Soxr {
  decltype(&soxr_oneshot) oneshot = nullptr;
  decltype(&soxr_io_spec) io_spec = nullptr;
  decltype(&soxr_quality_spec) quality_spec = nullptr;
};

// Each returns the library's calls, loading it if no one uses it yet, or null when it cannot be
// loaded. Every non-null result is given back with the matching release; the last release
// unloads the library. Any thread.
const Alsa* AcquireAlsa();
void ReleaseAlsa();
const Soxr* AcquireSoxr();
void ReleaseSoxr();

}  // namespace plat::sound
