#pragma once
// The speech component: renders its text with the platform's speech engine into an in-memory
// PCM stream on the calling (GUI) thread, then plays the stream through the wave engine.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/speech.h"
#include "speech/vuwavebase.h"

class TvuSpeech : public TvuCustomWave {
 public:
  explicit TvuSpeech(tk::Component* owner);
  ~TvuSpeech() override;

  // Renders Text and starts playing it; returns once the first two buffers are with the device.
  void Speak() { Play(); }

  // The text to speak, one or more lines.
  std::vector<std::string>& Text() { return Text_; }
  // Copies `lines`; null clears the text.
  void SetText(const std::vector<std::string>* lines);

  TvuCommTAPI* vuCommTAPI() const { return Medium(); }
  void SetvuCommTAPI(TvuCommTAPI* line) { SetMedium(line); }

  std::int32_t Channels() const { return Channels_; }
  void SetChannels(std::int32_t value) { Channels_ = value; }
  std::int32_t Hz() const { return Hz_; }
  void SetHz(std::int32_t value) { Hz_ = value; }
  std::int32_t Bits() const { return Bits_; }
  void SetBits(std::int32_t value) { Bits_ = value; }

 protected:
  bool OpenSource() override;
  void CloseSource() override;
  std::int32_t ReadSource(char* Buffer, std::int32_t Size) override;
  // Creates the voice and the stream unless they exist; reports 8/1 when it cannot.
  bool InitSpeechAPI();

 private:
  std::vector<std::string> Text_;
  plat::SpeechRef<plat::ISpeechVoice> Voice;
  plat::SpeechRef<plat::ISpeechMemoryStream> Stream;
  std::vector<plat::BYTE> ReadBuffer;
  std::string SpokenText;
  // Bytes of the current rendering not read yet: an earlier, longer rendering may lie beyond it
  // in the stream.
  std::int64_t Unread_ = 0;
  std::int32_t Bits_ = 16;
  std::int32_t Hz_ = 8000;
  std::int32_t Channels_ = 1;
};
