#include <atomic>
#include <filesystem>
#include <thread>

#include "sound_fixture.h"

namespace {

constexpr uint32_t CHUNK = 2205;  // output frames rendered between refills

int16_t Level(uint32_t frame) { return static_cast<int16_t>(int32_t(frame * 37 % 20000) - 10000); }

class SoundStream : public SoundTest {
 protected:
  // 16-bit mono at the output rate: one output frame per sample.
  std::string WriteStream(uint32_t frames, const char* name = "music.wav",
                          uint32_t rate = HAL_AUDIO_OUTPUT_RATE) {
    datakit::WaveSpec spec;
    spec.rate = rate;
    spec.listChunk = true;
    spec.samples = datakit::WaveSamples(1, 16, frames, [](uint32_t i, uint16_t) { return Level(i); });
    std::string path = dir / name;
    EXPECT_TRUE(datakit::WriteFile(path, datakit::WaveWrite(spec)));
    return path;
  }

  // Renders `frames` output frames in chunks, letting the thread serve each
  // notification before the next chunk; returns the left channel.
  static std::vector<int16_t> Play(uint32_t frames) {
    std::vector<int16_t> left;
    while (left.size() < frames) {
      std::vector<int16_t> out = Render(CHUNK);
      for (uint32_t i = 0; i < CHUNK; ++i) left.push_back(out[2 * i]);
      EXPECT_TRUE(SoundStreamWaitServed(5000));
    }
    left.resize(frames);
    return left;
  }
};

TEST_F(SoundStream, BufferIsTheChosenLengthInHalves) {
  std::string path = WriteStream(30000, "a.wav", 22050);  // 44100 bytes a second
  int32_t slot = -1;
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_PLAIN), 1);
  EXPECT_EQ(gSound.streamBufferBytes[slot], 44100);
  EXPECT_EQ(gSound.streamReadPos[slot], 22050);  // the first half is loaded
  EXPECT_EQ(gSound.streamDataSize[slot], 60000);
  EXPECT_EQ(gSound.baseFrequency[slot], 22050u);
  // The first half holds the data, the second half is still silent.
  datakit::Bytes bytes = BufferBytes(slot);
  EXPECT_EQ(int16_t(bytes[200] | bytes[201] << 8), Level(100));
  EXPECT_EQ(bytes[30000], 0);
  EXPECT_EQ(gSound.streamSound[0], slot);
}

TEST_F(SoundStream, ShortFilesShrinkTheBufferOrAreRefused) {
  int32_t slot = -1;
  std::string path = WriteStream(4000, "b.wav", 22050);  // 8000 data bytes
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 2, SOUND_MODE_3D), 1);
  EXPECT_EQ(gSound.streamBufferBytes[slot], 5512);
  EXPECT_NE(gSound.buffer3D[slot], 0u);
  EXPECT_EQ(SoundFree(slot), 1);

  uint32_t objects = HalAudioLiveObjects();
  path = WriteStream(500, "c.wav", 22050);  // 1000 data bytes: less than a sixteenth
  slot = -1;
  EXPECT_EQ(SoundStreamOpen(&slot, path.c_str(), 2, SOUND_MODE_PLAIN), 0);
  EXPECT_EQ(slot, -1);
  EXPECT_EQ(HalAudioLiveObjects(), objects);
  EXPECT_EQ(gSound.freeHead, 1);
  EXPECT_EQ(gSound.streamFreeHead, 0);
}

TEST_F(SoundStream, BadArgumentsAndFilesLeaveNothingTaken) {
  std::string good = WriteStream(30000);
  std::string broken = dir / "broken.wav";
  datakit::WaveSpec spec;
  spec.formatTag = datakit::WAVE_FORMAT_FLOAT;
  spec.samples = datakit::WavePattern(100);
  datakit::WriteFile(broken, datakit::WaveWrite(spec));
  int32_t slot = -1;
  EXPECT_EQ(SoundStreamOpen(nullptr, good.c_str(), 1, 1), 0);
  EXPECT_EQ(SoundStreamOpen(&slot, nullptr, 1, 1), 0);
  EXPECT_EQ(SoundStreamOpen(&slot, good.c_str(), 0, 1), 0);
  EXPECT_EQ(SoundStreamOpen(&slot, good.c_str(), 1, 5), 0);
  EXPECT_EQ(SoundStreamOpen(&slot, (dir / "none.wav").c_str(), 1, 1), -2);
  EXPECT_EQ(SoundStreamOpen(&slot, broken.c_str(), 1, 1), 0);
  EXPECT_EQ(slot, -1);
  EXPECT_EQ(gSound.freeHead, 1);
  EXPECT_EQ(gSound.streamFreeHead, 0);
  EXPECT_EQ(HalAudioLiveObjects(), 2u);
}

TEST_F(SoundStream, ThirtyThirdStreamIsRefusedWithoutTakingASoundSlot) {
  std::string path = WriteStream(30000);
  for (int32_t i = 0; i < SOUND_STREAM_COUNT; ++i) {
    int32_t slot = -1;
    ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, 1), 1);
    EXPECT_EQ(slot, i + 1);
  }
  int32_t freeHead = gSound.freeHead;
  int32_t slot = -1;
  EXPECT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, 1), -3);
  EXPECT_EQ(gSound.freeHead, freeHead);
  EXPECT_EQ(SoundFree(7), 1);
  EXPECT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, 1), 1);
  EXPECT_EQ(slot, 7);
}

TEST_F(SoundStream, PlaysToTheEndThenStopsRewound) {
  std::string path = WriteStream(30000);
  int32_t slot = -1;
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_PLAIN), 1);
  ASSERT_EQ(SoundStreamPlay(slot, 0), 1);
  std::vector<int16_t> heard = Play(44100 * 3);
  for (uint32_t i = 0; i < 30000; ++i) ASSERT_EQ(heard[i], Level(i)) << i;
  for (uint32_t i = 30000; i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
  EXPECT_EQ(SoundGetState(slot), 1);
  uint32_t at = 1;
  HalAudioGetCurrentPosition(gSound.buffer[slot], &at, nullptr);
  EXPECT_EQ(at, 0u);
  EXPECT_EQ(gSound.streamReadPos[slot], 44100);

  // Rewound with its first half loaded: it plays again from the start.
  ASSERT_EQ(SoundStreamPlay(slot, 0), 1);
  heard = Play(30000);
  for (uint32_t i = 0; i < 30000; ++i) ASSERT_EQ(heard[i], Level(i)) << i;
}

TEST_F(SoundStream, LoopWrapsToTheDataStartWithoutAGap) {
  std::string path = WriteStream(30001);
  int32_t slot = -1;
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_PLAIN), 1);
  ASSERT_EQ(SoundStreamPlay(slot, 1), 1);
  std::vector<int16_t> heard = Play(150000);
  for (uint32_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], Level(i % 30001)) << i;
  EXPECT_EQ(SoundGetState(slot), 2);
  EXPECT_EQ(SoundStreamStop(slot), 1);
  uint32_t at = 0;
  HalAudioGetCurrentPosition(gSound.buffer[slot], &at, nullptr);
  EXPECT_EQ(at, 2 * ((150000 + CHUNK - 1) / CHUNK * CHUNK % 44100));  // stopped where it was
  EXPECT_EQ(SoundStreamRewind(slot), 1);
  EXPECT_EQ(gSound.streamReadPos[slot], 44100);
}

TEST_F(SoundStream, WhatTheFileNoLongerGivesIsSilence) {
  std::string path = WriteStream(44100 * 3);
  int32_t slot = -1;
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_PLAIN), 1);
  uint32_t dataStart = static_cast<uint32_t>(gSound.streamDataStart[slot]);
  std::filesystem::resize_file(path, dataStart + 50000 * 2);
  ASSERT_EQ(SoundStreamPlay(slot, 0), 1);
  std::vector<int16_t> heard = Play(44100 * 2);
  for (uint32_t i = 0; i < 50000; ++i) ASSERT_EQ(heard[i], Level(i)) << i;
  for (uint32_t i = 50000; i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
}

TEST_F(SoundStream, AFailedRefillSkipsOneHalfAndTheThreadGoesOn) {
  std::string path = WriteStream(44100 * 3);
  int32_t slot = -1;
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_PLAIN), 1);
  HalAudioInjectResult(HAL_AUDIO_CALL_LOCK, HAL_AUDIO_E_BUFFERLOST);
  ASSERT_EQ(SoundStreamPlay(slot, 0), 1);
  std::vector<int16_t> heard = Play(44100 * 2);
  EXPECT_EQ(SoundGetLastError(), HAL_AUDIO_E_BUFFERLOST);
  for (uint32_t i = 0; i < 22050; ++i) ASSERT_EQ(heard[i], Level(i)) << i;
  for (uint32_t i = 22050; i < 44100; ++i) ASSERT_EQ(heard[i], 0) << i;  // the skipped half
  for (uint32_t i = 44100; i < heard.size(); ++i) ASSERT_EQ(heard[i], Level(i - 22050)) << i;
}

TEST_F(SoundStream, FreeingWhileTheMixerAndTheThreadRunIsSafe) {
  std::string path = WriteStream(3000, "short.wav", 8000);
  std::atomic<bool> done{false};
  std::thread mixer([&] {
    while (!done) Render(256);
  });
  for (int round = 0; round < 20; ++round) {
    int32_t slots[4];
    for (int32_t& slot : slots) {
      ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_3D), 1);
      ASSERT_EQ(SoundStreamPlay(slot, round % 2), 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    for (int32_t slot : slots) ASSERT_EQ(SoundFree(slot), 1);
  }
  done = true;
  mixer.join();
  EXPECT_EQ(gSound.streamFreeHead >= 0, true);
  EXPECT_EQ(gSound.streamUsedHead, -1);
}

TEST_F(SoundStream, ShutdownStopsTheThreadAndClosesTheFiles) {
  std::string path = WriteStream(30000);
  int32_t slot = -1;
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_PLAIN), 1);
  ASSERT_EQ(SoundStreamPlay(slot, 1), 1);
  Render(CHUNK);
  EXPECT_EQ(SoundShutdown(), 1);
  EXPECT_EQ(gSound.streamFile[slot], 0);
  EXPECT_FALSE(SoundStreamWaitServed(10));
  EXPECT_EQ(SoundInit(1), 1);
  ASSERT_EQ(SoundStreamOpen(&slot, path.c_str(), 1, SOUND_MODE_PLAIN), 1);
  ASSERT_EQ(SoundStreamPlay(slot, 0), 1);
  std::vector<int16_t> heard = Play(30000);
  EXPECT_EQ(heard[29999], Level(29999));
}

}  // namespace
