#pragma once
// The simulated speech engine, as tests script and inspect it. Its voice renders every UTF-16
// unit of a text as kSamplesPerUnit samples whose value, on every channel, is the unit's value
// (16 bits: the value as a signed little-endian sample; 8 bits: its low byte), in the stream's
// format.
#include <string>
#include <vector>

#include "platform/speech.h"

namespace sim {

constexpr int kSamplesPerUnit = 800;

// Creation of the voice or of the memory stream fails with REGDB_E_CLASSNOTREG (the engine is
// not installed) while set.
void FailSpeechObjects(bool voice, bool stream);
// The next Speak calls fail with `code` and `description` (S_OK: they work again).
void FailSpeak(plat::HRESULT code, const std::string& description);
// Every text a voice was asked to speak since sim::Reset.
std::vector<std::u16string> SpokenTexts();

// The stream format a text was rendered in.
struct RenderedFormat {
  int samplesPerSec = 0;
  int channels = 0;
  int bitsPerSample = 0;
  bool operator==(const RenderedFormat&) const = default;
};
// One for each of SpokenTexts, in the same order.
std::vector<RenderedFormat> RenderedFormats();
// Voices and memory streams that exist now.
int LiveSpeechObjects();

// What the voice renders for `text` in that format.
std::vector<plat::BYTE> SimRendering(const std::u16string& text, int channels, int bitsPerSample);

}  // namespace sim
