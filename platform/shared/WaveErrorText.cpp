// The texts of the wave result codes, as Windows words them (linux and sim).
#include <algorithm>
#include <cstring>

#include "platform/wave.h"

namespace plat {
namespace {

const char* TextOf(MMRESULT code) {
  switch (code) {
    case MMSYSERR_NOERROR: return "The specified command was carried out.";
    case MMSYSERR_ERROR: return "Undefined external error.";
    case MMSYSERR_BADDEVICEID: return "A device ID has been used that is out of range for your system.";
    case MMSYSERR_NOTENABLED: return "The driver was not enabled.";
    case MMSYSERR_ALLOCATED: return "The specified device is already in use.  Wait until it is free, and then try again.";
    case MMSYSERR_INVALHANDLE: return "The specified device handle is invalid.";
    case MMSYSERR_NODRIVER: return "There is no driver installed on your system.";
    case MMSYSERR_NOMEM:
      return "There is not enough memory available for this task.  Quit one or more applications to increase "
             "available memory, and then try again.";
    case MMSYSERR_NOTSUPPORTED:
      return "This function is not supported.  Use the Capabilities function to determine which functions and "
             "messages the driver supports.";
    case MMSYSERR_BADERRNUM: return "An error number was specified that is not defined in the system.";
    case MMSYSERR_INVALFLAG: return "An invalid flag was passed to a system function.";
    case MMSYSERR_INVALPARAM: return "An invalid parameter was passed to a system function.";
    case MMSYSERR_HANDLEBUSY: return "Handle being used simultaneously on another thread (eg callback).";
    case WAVERR_BADFORMAT:
      return "The specified format is not supported or cannot be translated.  Use the Capabilities function to "
             "determine the supported formats.";
    case WAVERR_STILLPLAYING:
      return "Cannot perform this operation while media data is still playing.  Reset the device, or wait until "
             "the data is finished playing.";
    case WAVERR_UNPREPARED:
      return "The wave header was not prepared.  Use the Prepare function to prepare the header, and then try "
             "again.";
    case WAVERR_SYNC:
      return "Cannot open the device without using the WAVE_ALLOWSYNC flag.  Use the flag, and then try again.";
    default: return nullptr;
  }
}

MMRESULT ErrorText(MMRESULT code, char* text, UINT size) {
  if (!text || size == 0) return MMSYSERR_INVALPARAM;
  const char* known = TextOf(code);
  const char* source = known ? known : "";
  const std::size_t n = std::min<std::size_t>(std::strlen(source), size - 1);
  std::memcpy(text, source, n);
  text[n] = '\0';
  return known ? MMSYSERR_NOERROR : MMSYSERR_BADERRNUM;
}

}  // namespace

MMRESULT waveOutGetErrorTextA(MMRESULT code, char* text, UINT size) { return ErrorText(code, text, size); }
MMRESULT waveInGetErrorTextA(MMRESULT code, char* text, UINT size) { return ErrorText(code, text, size); }

}  // namespace plat
