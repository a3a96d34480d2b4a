#pragma once
// What the shared profile, registry, user-name and speech code asks of the backend that links it
// (linux and sim). Each backend defines every function here once.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/speech.h"
#include "platform/wave.h"
#include "platform/wintypes.h"

namespace plat::shared {

// Where a profile file name without a folder lies; the folder exists once this returns.
std::string WindowsDirectory();

// The logged-on user's name; nullopt when the system cannot tell.
std::optional<std::string> LoginName();

enum class Hive { LocalMachine, CurrentUser };

// Where the hives' .reg text is kept. Every call reads or writes the kept text afresh, so other
// processes' changes are seen at once.
class HiveStorage {
 public:
  virtual ~HiveStorage() = default;
  // The hive's text; nullopt for a hive never written. ERROR_ACCESS_DENIED when unreadable.
  virtual LONG Load(Hive hive, std::optional<std::string>& text) = 0;
  // ERROR_SUCCESS when this account may change the hive, ERROR_ACCESS_DENIED otherwise.
  virtual LONG CheckWritable(Hive hive) = 0;
  // Hands the current text to `edit` and keeps what it leaves there when it returns
  // ERROR_SUCCESS, with no other writer in between; otherwise returns the failure.
  virtual LONG Modify(Hive hive, const std::function<LONG(std::optional<std::string>& text)>& edit) = 0;
};

HiveStorage& TheHiveStorage();

// The backend's part of CoCreateInstance: a new voice, or the failure of its creation; and
// whether a memory stream can be created (S_OK) or why not.
HRESULT CreateVoice(ISpeechVoice** voice);
HRESULT CanCreateStream();

// The sound devices behind the shared wave calls (WaveFunctions.cpp). A device is known by its
// key, which the calls hand out as its handle; `input` tells capture from playback. Unknown keys
// answer MMSYSERR_INVALHANDLE.
MMRESULT OpenWaveDevice(std::uintptr_t* key, bool input, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                        DWORD flags);
MMRESULT CloseWaveDevice(std::uintptr_t key, bool input);
MMRESULT PrepareWaveHeader(std::uintptr_t key, bool input, WAVEHDR* header, UINT size, bool prepare);
// waveOutWrite and waveInAddBuffer.
MMRESULT QueueWaveHeader(std::uintptr_t key, bool input, WAVEHDR* header, UINT size);
MMRESULT ResetWaveDevice(std::uintptr_t key, bool input);
// waveInStart and waveInStop.
MMRESULT SetWaveCapture(std::uintptr_t key, bool on);

}  // namespace plat::shared
