// A started sound library on the headless mixer, and sounds made by the kit.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "hal/audio/audio.h"
#include "platform/libshared.h"
#include "platform/sound.h"
#include "support/test_support.h"
#include "tools/datakit/lib/wave_writer.h"

class SoundTest : public ::testing::Test {
 public:
  void SetUp() override {
    ResetHalForTest();
    HalAudioResetForTest();
    HalEventResetForTest();
    gLibLastError = 0;
    ASSERT_EQ(SoundInit(1), 1);
  }
  void TearDown() override {
    SoundShutdown();
    EXPECT_EQ(HalAudioLiveObjects(), 0u);
    EXPECT_EQ(HalEventLiveCount(), 0u);
  }

  // A sound at the output rate, so each output frame is one sample frame.
  static datakit::Bytes ConstantWave(int16_t level, uint32_t frames = 4410, uint16_t channels = 1,
                                     uint32_t rate = HAL_AUDIO_OUTPUT_RATE) {
    datakit::WaveSpec spec;
    spec.channels = channels;
    spec.rate = rate;
    spec.samples = datakit::WaveSamples(channels, 16, frames,
                                        [&](uint32_t, uint16_t) { return level; });
    return datakit::WaveWrite(spec);
  }

  static int32_t Load(const datakit::Bytes& image, int32_t mode = SOUND_MODE_PLAIN) {
    int32_t slot = -1;
    int32_t r = SoundCreateFromWav(&slot, image.data(), static_cast<uint32_t>(image.size()), mode);
    return r == 1 ? slot : -100 + r;
  }

  static std::vector<int16_t> Render(uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    HalAudioRender(out.data(), frames);
    return out;
  }

  // The sample bytes a slot's buffer holds.
  static datakit::Bytes BufferBytes(int32_t slot) {
    void* r1 = nullptr;
    void* r2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    datakit::Bytes out;
    if (HalAudioLock(gSound.buffer[slot], 0, 0, &r1, &n1, &r2, &n2,
                     HAL_AUDIO_LOCK_ENTIREBUFFER) != HAL_AUDIO_OK) {
      return out;
    }
    out.assign(static_cast<uint8_t*>(r1), static_cast<uint8_t*>(r1) + n1);
    HalAudioUnlock(gSound.buffer[slot], r1, n1, r2, n2);
    return out;
  }

  TempDir dir;
};
