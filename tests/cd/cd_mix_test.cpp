// The virtual CD heard through the sound device's mixer, and the mixer's lines.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "hal/audio/audio.h"
#include "hal/cd/cd.h"
#include "hal/cd/mixer.h"
#include "hal/cd/pcm_source.h"
#include "platform/cdaudio.h"
#include "support/test_support.h"
#include "tools/datakit/lib/music_writer.h"

namespace {

constexpr uint32_t WINDOW = 1;
constexpr uint32_t OUT_RATE = HAL_AUDIO_OUTPUT_RATE;

struct Decoded {
  HalPcmInfo info{};
  std::vector<int16_t> samples;
};

class CdMix : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    HalCdResetForTest();
    CdAudioResetForTest();
    HalMixerResetForTest();
    HalAudioResetForTest();
    HalCdSetFolder(dir_ / "music");
    ASSERT_EQ(HalWindowCreate("cd", nullptr), WINDOW);
  }
  void TearDown() override {
    MixerClose();
    HalCdResetForTest();
    HalAudioResetForTest();
  }

  // Track `number` as WAVE: a triangle tone steep enough that a frame off shows.
  std::string WriteTrack(int number, int32_t rate, int32_t channels, uint32_t lengthMs, int32_t toneHz = 441) {
    char name[32];
    std::snprintf(name, sizeof name, "music/track%02d.wav", number);
    std::string error;
    EXPECT_TRUE(datakit::WriteMusicTrack(dir_ / name, {number, "wav", rate, channels, lengthMs, toneHz}, &error))
        << error;
    return dir_ / name;
  }

  static Decoded Decode(const std::string& path) {
    Decoded d;
    HalPcmSource* source = HalPcmOpen(path, &d.info);
    EXPECT_NE(source, nullptr) << path;
    if (!source) return d;
    d.samples.resize(static_cast<size_t>(d.info.frames * d.info.channels));
    EXPECT_EQ(HalPcmRead(source, d.samples.data(), d.info.frames), d.info.frames);
    HalPcmClose(source);
    return d;
  }

  static std::vector<int16_t> Render(uint32_t frames) {
    std::vector<int16_t> out(size_t(frames) * 2, 0x5555);
    HalAudioRender(out.data(), frames);
    return out;
  }

  // Output frames that differ by more than one step from the track heard from
  // `startMs` into it at `gain`, resampled by linear interpolation.
  static int Mismatches(const std::vector<int16_t>& out, const Decoded& track, double startMs, double gain,
                        size_t outFrom = 0, size_t outTo = SIZE_MAX) {
    const double rate = track.info.sampleRate;
    const int64_t ch = track.info.channels;
    auto at = [&](int64_t f, int64_t c) -> double {
      if (f >= track.info.frames) return 0.0;
      return track.samples[static_cast<size_t>(f * ch + std::min(c, ch - 1))];
    };
    int bad = 0;
    outTo = std::min(outTo, out.size() / 2);
    for (size_t i = outFrom; i < outTo; ++i) {
      double pos = startMs * rate / 1000.0 + double(i - outFrom) * rate / OUT_RATE;
      int64_t f0 = static_cast<int64_t>(pos);
      double frac = pos - double(f0);
      for (int64_t c = 0; c < 2; ++c) {
        double s = at(f0, c) + (frac > 0.0 ? (at(f0 + 1, c) - at(f0, c)) * frac : 0.0);
        if (std::fabs(out[2 * i + c] - s * gain) > 1.0) {
          if (bad == 0) ADD_FAILURE() << "first mismatch at output frame " << i << ": " << out[2 * i + c] << " for "
                                      << s * gain;
          ++bad;
        }
      }
    }
    return bad;
  }

  static bool Silent(const std::vector<int16_t>& out) {
    for (int16_t s : out)
      if (s != 0) return false;
    return true;
  }

  TempDir dir_;
};

TEST_F(CdMix, APlayingTrackIsHeardFromTheClocksPosition) {
  Decoded t1 = Decode(WriteTrack(1, OUT_RATE, 1, 1000));
  WriteTrack(2, OUT_RATE, 2, 500, 882);
  CdOpen(0);
  EXPECT_TRUE(Silent(Render(441)));  // nothing plays yet
  CdPlayTrack(0, 0);
  HalClockAdvance(100);
  EXPECT_EQ(Mismatches(Render(441), t1, 100, 1.0), 0);
  // The next mix goes on where the last one ended.
  HalClockAdvance(10);
  EXPECT_EQ(Mismatches(Render(441), t1, 110, 1.0), 0);
  EXPECT_EQ(Mismatches(Render(441), t1, 120, 1.0), 0);
  // When the clock is far from the audio, the audio follows the clock.
  HalClockAdvance(500);
  EXPECT_EQ(Mismatches(Render(441), t1, 610, 1.0), 0);
}

TEST_F(CdMix, TheRangeEndsWhereTheNextTrackBeginsAndPlaysOnAcrossTracks) {
  Decoded t1 = Decode(WriteTrack(1, OUT_RATE, 1, 200));
  Decoded t2 = Decode(WriteTrack(2, 22050, 2, 200, 300));
  CdOpen(0);
  CdPlayTrack(WINDOW, 0);  // track 1 only
  HalClockAdvance(190);
  std::vector<int16_t> out = Render(882);
  EXPECT_EQ(Mismatches(out, t1, 190, 1.0, 0, 441), 0);
  EXPECT_TRUE(Silent(std::vector<int16_t>(out.begin() + 882, out.end())));

  CdPlayFrom(WINDOW, 0);  // tracks 1 and 2
  HalClockAdvance(190);
  out = Render(882);
  EXPECT_EQ(Mismatches(out, t1, 190, 1.0, 0, 441), 0);
  EXPECT_EQ(Mismatches(out, t2, 0, 1.0, 441, 882), 0);
}

TEST_F(CdMix, PauseIsSilentAndResumeGoesOnFromThePausedPosition) {
  Decoded t1 = Decode(WriteTrack(1, OUT_RATE, 1, 1000));
  WriteTrack(2, OUT_RATE, 1, 1000);
  CdOpen(0);
  CdPlayTrack(WINDOW, 0);
  HalClockAdvance(300);
  EXPECT_EQ(Mismatches(Render(441), t1, 300, 1.0), 0);
  CdPause();
  EXPECT_TRUE(Silent(Render(441)));
  HalClockAdvance(5000);
  EXPECT_TRUE(Silent(Render(441)));
  CdResume(WINDOW);
  EXPECT_EQ(Mismatches(Render(441), t1, 300, 1.0), 0);
  HalClockAdvance(10);
  EXPECT_EQ(Mismatches(Render(441), t1, 310, 1.0), 0);

  CdStop();
  EXPECT_TRUE(Silent(Render(441)));
  CdPlayTrack(0, 0);
  EXPECT_EQ(Mismatches(Render(441), t1, 0, 1.0), 0);
  CdClose();
  EXPECT_TRUE(Silent(Render(441)));
}

TEST_F(CdMix, TheCdLineScalesTheCdAndTheWaveLineDoesNot) {
  Decoded t1 = Decode(WriteTrack(1, OUT_RATE, 1, 1000));
  ASSERT_EQ(MixerOpen(), 1);
  CdOpen(0);
  CdPlayTrack(0, 0);
  const struct {
    int32_t cdPercent;
    int32_t wavePercent;
    double gain;
  } cases[] = {{100, 100, 1.0}, {50, 100, 0.5}, {0, 100, 0.0}, {100, 0, 1.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cdPercent);
    ASSERT_EQ(MixerSetCdVolume(c.cdPercent), 1);
    ASSERT_EQ(MixerSetWaveVolume(c.wavePercent), 1);
    HalClockAdvance(10);
    std::vector<int16_t> out = Render(441);
    EXPECT_EQ(Mismatches(out, t1, HalCdPlaying().positionInTrack, c.gain), 0);
    if (c.gain == 0.0) {
      EXPECT_TRUE(Silent(out));
    }
  }
}

TEST_F(CdMix, TheWaveLineScalesTheSoundBuffersAndTheCdLineDoesNot) {
  HalAudioDevice device = 0;
  ASSERT_EQ(HalAudioCreate(&device), HAL_AUDIO_OK);
  HalAudioFormat format{1, 1, OUT_RATE, OUT_RATE * 2, 2, 16};
  HalAudioBufferDesc desc{0, 8000, &format};
  HalAudioBuffer buffer = 0;
  ASSERT_EQ(HalAudioCreateBuffer(device, &desc, &buffer), HAL_AUDIO_OK);
  void* region = nullptr;
  uint32_t bytes = 0;
  ASSERT_EQ(HalAudioLock(buffer, 0, 0, &region, &bytes, nullptr, nullptr, HAL_AUDIO_LOCK_ENTIREBUFFER), HAL_AUDIO_OK);
  std::vector<int16_t> level(bytes / 2, 10000);
  std::memcpy(region, level.data(), bytes);
  ASSERT_EQ(HalAudioUnlock(buffer, region, bytes, nullptr, 0), HAL_AUDIO_OK);
  ASSERT_EQ(HalAudioPlay(buffer, 0, 0, HAL_AUDIO_PLAY_LOOPING), HAL_AUDIO_OK);
  ASSERT_EQ(MixerOpen(), 1);

  const struct {
    int32_t wavePercent;
    int32_t cdPercent;
    int16_t heard;
  } cases[] = {{100, 100, 10000}, {50, 100, 5000}, {0, 100, 0}, {100, 0, 10000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wavePercent);
    ASSERT_EQ(MixerSetWaveVolume(c.wavePercent), 1);
    ASSERT_EQ(MixerSetCdVolume(c.cdPercent), 1);
    std::vector<int16_t> out = Render(100);
    EXPECT_NEAR(out[0], c.heard, 1);
    EXPECT_NEAR(out[199], c.heard, 1);
  }
  EXPECT_EQ(HalAudioRelease(buffer), HAL_AUDIO_OK);
}

TEST_F(CdMix, TracksAtOtherRatesAreResampled) {
  // The kit's own disc first (FLAC, 22050 Hz stereo), then WAVE at other rates.
  std::string error;
  ASSERT_TRUE(datakit::WriteMusicFolder(dir_.path().string(), &error)) << error;
  Decoded kit = Decode(dir_ / "music/track01.flac");
  ASSERT_EQ(kit.info.sampleRate, 22050);
  CdOpen(0);
  CdPlayTrack(0, 0);
  HalClockAdvance(100);
  EXPECT_EQ(Mismatches(Render(441), kit, 100, 1.0), 0);
  EXPECT_EQ(Mismatches(Render(441), kit, 110, 1.0), 0);
  CdClose();

  for (int32_t rate : {11025, 32000, 48000, 96000}) {
    SCOPED_TRACE(rate);
    std::filesystem::remove_all(dir_ / "music");
    Decoded t = Decode(WriteTrack(1, rate, 2, 400, 300));
    HalCdResetForTest();
    HalCdSetFolder(dir_ / "music");
    ASSERT_EQ(HalCdSendString("open cdaudio", nullptr, 0, 0), HAL_MCI_OK);
    ASSERT_EQ(HalCdSendString("play cdaudio from 1", nullptr, 0, 0), HAL_MCI_OK);
    HalClockAdvance(50);
    // Long enough to cross several decoded blocks.
    EXPECT_EQ(Mismatches(Render(OUT_RATE / 5), t, 50, 1.0), 0);
  }
}

TEST_F(CdMix, CommandsOnTheMainThreadWhileTheMixerThreadPulls) {
  WriteTrack(1, 22050, 2, 400);
  WriteTrack(2, OUT_RATE, 1, 400);
  CdOpen(0);
  ASSERT_EQ(MixerOpen(), 1);
  std::atomic<bool> stop{false};
  std::atomic<int> mixes{0};
  std::thread mixer([&] {
    std::vector<int16_t> out(2 * 256);
    while (!stop) {
      HalAudioRender(out.data(), 256);
      ++mixes;
    }
  });
  for (int i = 0; i < 200; ++i) {
    switch (i % 5) {
      case 0: CdPlayTrack(WINDOW, i % 2); break;
      case 1: MixerSetCdVolume(i % 100); break;
      case 2: CdPause(); break;
      case 3: CdResume(WINDOW); break;
      case 4: MixerSetWaveVolume(i % 100); break;
    }
    HalClockAdvance(7);
    HalCdPoll();
    (void)HalCdPlaying();
  }
  CdPlayTrack(WINDOW, 1);
  while (mixes < 20) std::this_thread::yield();
  stop = true;
  mixer.join();
  // The CD keeps its own time whatever the mixer thread does.
  HalClockAdvance(400);
  HalMsg msg{};
  int notifications = 0;
  while (HalPeekMessage(&msg)) notifications += msg.message == HAL_MM_MCINOTIFY;
  EXPECT_EQ(notifications, 1);
}

}  // namespace
