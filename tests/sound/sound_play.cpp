// By hand, on a desktop: writes a kit-made WAVE (a two-second 440 Hz tone,
// 16-bit mono at 22050 Hz) to the given path, loads it with the sound library
// and plays it through the speakers. Not run by the test suites.
//   sound_play /tmp/tone.wav
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "hal/window.h"
#include "platform/sound.h"
#include "tools/datakit/lib/wave_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sound_play FILE.wav\n");
    return 2;
  }
  datakit::WaveSpec spec;
  spec.samples = datakit::WaveSamples(1, 16, 44100, [](uint32_t i, uint16_t) {
    return static_cast<int32_t>(8000 * std::sin(2 * 3.14159265358979 * 440 * i / 22050.0));
  });
  if (!datakit::WriteFile(argv[1], datakit::WaveWrite(spec))) return 1;
  HalSetHeadless(false);
  int32_t r = SoundInit(1);
  int32_t slot = 0;
  if (r == SOUND_OK) r = SoundLoadWavFile(&slot, argv[1], SOUND_MODE_PLAIN);
  if (r == SOUND_OK) r = SoundPlay(slot, SOUND_PLAY_ONCE);
  std::printf("sound_play: result %d, last error 0x%08X\n", r, SoundGetLastError());
  while (r == SOUND_OK && SoundGetState(slot) == 2) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  SoundShutdown();
  return r == SOUND_OK ? 0 : 1;
}
