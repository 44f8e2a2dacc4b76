// The mix of a headless program, in step with its shown frames, and its dump.
#include <cstdlib>
#include <cstring>

#include "hal/audio/audio.h"
#include "support/test_support.h"

namespace {

// A looping tone of 441 Hz at 22050 Hz on the device; the device is opened here.
HalAudioBuffer PlayTone() {
  HalAudioDevice device = 0;
  EXPECT_EQ(HalAudioCreate(&device), HAL_AUDIO_OK);
  const HalAudioFormat format{1, 1, 22050, 44100, 2, 16};
  HalAudioBufferDesc desc{0, 2 * 50, &format};
  HalAudioBuffer b = 0;
  EXPECT_EQ(HalAudioCreateBuffer(device, &desc, &b), HAL_AUDIO_OK);
  void* r1 = nullptr;
  void* r2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  EXPECT_EQ(HalAudioLock(b, 0, 100, &r1, &n1, &r2, &n2, 0), HAL_AUDIO_OK);
  int16_t* samples = static_cast<int16_t*>(r1);
  for (int i = 0; i < 50; ++i) samples[i] = static_cast<int16_t>(i * 600 - 15000);
  HalAudioUnlock(b, r1, n1, r2, n2);
  EXPECT_EQ(HalAudioPlay(b, 0, 0, HAL_AUDIO_PLAY_LOOPING), HAL_AUDIO_OK);
  return b;
}

// A headless program in a child process: frames shown at these virtual
// times, then the program ends.
constexpr uint32_t FRAME_TIMES[] = {40, 77, 1077, 1080, 1080};
constexpr uint32_t END_MS = 1080;

void RunProgram(const std::string& dumpPath) {
  ::setenv("TORVANE_HEADLESS", "1", 1);
  ::unsetenv("TORVANE_SCRIPT");
  ::setenv("TORVANE_AUDIO_DUMP", dumpPath.c_str(), 1);
  std::string error;
  if (!HalInitFromEnv(&error)) std::exit(3);
  PlayTone();
  for (uint32_t t : FRAME_TIMES) {
    HalClockSet(t);
    HalNoteFrame();
  }
  std::exit(0);
}

uint32_t U32(const std::string& s, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, s.data() + at, 4);
  return v;
}
uint16_t U16(const std::string& s, size_t at) {
  uint16_t v = 0;
  std::memcpy(&v, s.data() + at, 2);
  return v;
}

TEST(AudioFramesDeathTest, AHeadlessProgramWritesItsMixAsAWave) {
  TempDir dir;
  EXPECT_EXIT(RunProgram(dir / "first.wav"), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(RunProgram(dir / "second.wav"), ::testing::ExitedWithCode(0), "");
  const std::string wave = dir.Read("first.wav");
  const uint32_t frames = END_MS * HAL_AUDIO_OUTPUT_RATE / 1000;
  ASSERT_EQ(wave.size(), 44 + frames * 4);
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(U32(wave, 4), wave.size() - 8);
  EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(U32(wave, 16), 16u);
  EXPECT_EQ(U16(wave, 20), 1);       // PCM
  EXPECT_EQ(U16(wave, 22), 2);       // stereo
  EXPECT_EQ(U32(wave, 24), 44100u);
  EXPECT_EQ(U32(wave, 28), 44100u * 4);
  EXPECT_EQ(U16(wave, 32), 4);
  EXPECT_EQ(U16(wave, 34), 16);
  EXPECT_EQ(wave.substr(36, 4), "data");
  EXPECT_EQ(U32(wave, 40), frames * 4);
  // The tone is heard from the first frame to the last, the same on both runs.
  int16_t first = 0, last = 0;
  std::memcpy(&first, wave.data() + 44 + 4 * 10, 2);
  std::memcpy(&last, wave.data() + wave.size() - 4 * 10, 2);
  EXPECT_NE(first, 0);
  EXPECT_NE(last, 0);
  EXPECT_TRUE(wave == dir.Read("second.wav"));
}

TEST(AudioFrames, WithoutAProgramTheFramesLeaveTheMixToTheTest) {
  ResetHalForTest();
  HalAudioResetForTest();
  HalAudioBuffer b = PlayTone();
  HalClockSet(1000);
  HalNoteFrame();
  uint32_t play = 1, write = 0;
  ASSERT_EQ(HalAudioGetCurrentPosition(b, &play, &write), HAL_AUDIO_OK);
  EXPECT_EQ(play, 0u);
  int16_t out[2 * 30];
  HalAudioRender(out, 30);
  ASSERT_EQ(HalAudioGetCurrentPosition(b, &play, &write), HAL_AUDIO_OK);
  EXPECT_EQ(play, 30u);  // 15 frames of the half-rate tone, two bytes each
  HalAudioResetForTest();
}

}  // namespace
