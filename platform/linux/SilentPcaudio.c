/* An audio output library for espeak-ng that plays nothing. espeak-ng links libpcaudio for the
 * playback modes Tavelin never uses (it renders into memory and plays through ALSA itself), and
 * libpcaudio pulls in PulseAudio's client and the sound file codecs, which can never be unloaded
 * (libpulse is marked NODELETE): a resident program would carry them for good after one
 * sentence. Loaded under the same name before the engine, this library takes its place. */
#include <stddef.h>

struct audio_object;

struct audio_object* create_audio_device_object(const char* device, const char* application_name,
                                                const char* description) {
  (void)device;
  (void)application_name;
  (void)description;
  return NULL;
}

int audio_object_open(struct audio_object* object, int format, unsigned rate, unsigned char channels) {
  (void)object;
  (void)format;
  (void)rate;
  (void)channels;
  return -1;
}

void audio_object_close(struct audio_object* object) { (void)object; }

void audio_object_destroy(struct audio_object* object) { (void)object; }

int audio_object_write(struct audio_object* object, const void* data, size_t bytes) {
  (void)object;
  (void)data;
  (void)bytes;
  return -1;
}

int audio_object_drain(struct audio_object* object) {
  (void)object;
  return -1;
}

int audio_object_flush(struct audio_object* object) {
  (void)object;
  return -1;
}

const char* audio_object_strerror(struct audio_object* object, int error) {
  (void)object;
  (void)error;
  return "Tavelin's speech engine has no audio output of its own";
}
