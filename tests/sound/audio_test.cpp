// The sound device stand-in on its own.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "hal/audio/audio.h"
#include "support/test_support.h"

namespace {

class HalAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    HalAudioResetForTest();
    HalEventResetForTest();
    ASSERT_EQ(HalAudioCreate(&device), HAL_AUDIO_OK);
  }
  void TearDown() override { HalAudioResetForTest(); }

  HalAudioBuffer Make(uint32_t bytes, uint32_t flags = HAL_AUDIO_BUFFER_CTRLPOSITIONNOTIFY) {
    HalAudioBufferDesc desc{flags, bytes, &format};
    HalAudioBuffer b = 0;
    EXPECT_EQ(HalAudioCreateBuffer(device, &desc, &b), HAL_AUDIO_OK);
    return b;
  }

  HalAudioDevice device = 0;
  HalAudioFormat format{1, 1, HAL_AUDIO_OUTPUT_RATE, HAL_AUDIO_OUTPUT_RATE * 2, 2, 16};
};

TEST_F(HalAudio, FormatsTheMixerCannotPlayAreRefused) {
  const HalAudioFormat bad[] = {
      {},                                   // all zero
      {3, 1, 22050, 88200, 4, 32},          // float
      {1, 3, 22050, 132300, 6, 16},         // three channels
      {1, 1, 22050, 66150, 3, 24},          // 24-bit
      {1, 2, 22050, 88200, 2, 16},          // block align does not match
      {1, 1, 99, 198, 2, 16},               // too slow
  };
  for (const HalAudioFormat& f : bad) {
    HalAudioBufferDesc desc{0, 1000, &f};
    HalAudioBuffer b = 0;
    EXPECT_EQ(HalAudioCreateBuffer(device, &desc, &b), HAL_AUDIO_E_BADFORMAT);
  }
  HalAudioBufferDesc tooBig{0, HAL_AUDIO_MAX_BUFFER_BYTES + 1, &format};
  HalAudioBuffer b = 0;
  EXPECT_EQ(HalAudioCreateBuffer(device, &tooBig, &b), HAL_AUDIO_E_INVALIDPARAM);
  EXPECT_EQ(HalAudioLiveObjects(), 0u);
}

TEST_F(HalAudio, LockWrapsIntoTwoRegions) {
  HalAudioBuffer b = Make(100);
  void* r1 = nullptr;
  void* r2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  ASSERT_EQ(HalAudioLock(b, 80, 40, &r1, &n1, &r2, &n2, 0), HAL_AUDIO_OK);
  EXPECT_EQ(n1, 20u);
  EXPECT_EQ(n2, 20u);
  std::memset(r1, 1, n1);
  std::memset(r2, 2, n2);
  EXPECT_EQ(HalAudioLock(b, 0, 10, &r1, &n1, &r2, &n2, 0), HAL_AUDIO_E_INVALIDCALL);
  ASSERT_EQ(HalAudioUnlock(b, r1, n1, r2, n2), HAL_AUDIO_OK);
  ASSERT_EQ(HalAudioLock(b, 0, 0, &r1, &n1, &r2, &n2, HAL_AUDIO_LOCK_ENTIREBUFFER), HAL_AUDIO_OK);
  const uint8_t* bytes = static_cast<uint8_t*>(r1);
  EXPECT_EQ(n1, 100u);
  EXPECT_EQ(bytes[0], 2);
  EXPECT_EQ(bytes[19], 2);
  EXPECT_EQ(bytes[20], 0);
  EXPECT_EQ(bytes[80], 1);
  HalAudioUnlock(b, r1, n1, r2, n2);
  EXPECT_EQ(HalAudioLock(b, 100, 1, &r1, &n1, &r2, &n2, 0), HAL_AUDIO_E_INVALIDPARAM);
  EXPECT_EQ(HalAudioLock(b, 0, 101, &r1, &n1, &r2, &n2, 0), HAL_AUDIO_E_INVALIDPARAM);
}

TEST_F(HalAudio, NotificationsFireWhenTheCursorReachesTheirOffsets) {
  HalAudioBuffer b = Make(200);  // 100 frames
  HalEvent start = HalEventCreate(), middle = HalEventCreate();
  HalAudioNotify notes[2] = {{0, start}, {100, middle}};
  HalAudioBuffer notify = 0;
  ASSERT_EQ(HalAudioQueryNotify(b, &notify), HAL_AUDIO_OK);
  ASSERT_EQ(HalAudioSetNotificationPositions(notify, 2, notes), HAL_AUDIO_OK);
  HalAudioRelease(notify);
  HalEvent both[2] = {start, middle};
  int16_t out[2 * 60];

  ASSERT_EQ(HalAudioPlay(b, 0, 0, HAL_AUDIO_PLAY_LOOPING), HAL_AUDIO_OK);
  HalAudioRender(out, 10);  // a play from 0 reaches offset 0 at once
  EXPECT_EQ(HalEventWaitAny(both, 2, 0), 0u);
  EXPECT_EQ(HalEventWaitAny(both, 2, 0), HAL_WAIT_TIMEOUT);
  HalAudioRender(out, 40);  // frames 10..49
  EXPECT_EQ(HalEventWaitAny(both, 2, 0), HAL_WAIT_TIMEOUT);
  HalAudioRender(out, 1);  // frame 50: the middle
  EXPECT_EQ(HalEventWaitAny(both, 2, 0), 1u);
  HalAudioRender(out, 60);  // wraps past the start
  EXPECT_EQ(HalEventWaitAny(both, 2, 0), 0u);
  EXPECT_EQ(HalEventWaitAny(both, 2, 0), HAL_WAIT_TIMEOUT);
  // Notifications cannot change while the buffer plays.
  EXPECT_EQ(HalAudioSetNotificationPositions(b, 1, notes), HAL_AUDIO_E_INVALIDCALL);
}

// Two loud triangles in step sum to half again full scale. The limiter turns
// the whole passage down instead of flattening its tops: nothing reaches full
// scale, the waves keep their shape at one gain, the gain comes back once the
// overload ends, and the result does not depend on how the mix is pulled.
TEST_F(HalAudio, ALimiterKeepsAnOverloadedSumInsideWithoutFlatteningIt) {
  constexpr uint32_t PERIOD = 100, FRAMES = 100 * PERIOD;
  constexpr int32_t AMPLITUDE = 24000;
  auto level = [](uint32_t i) {
    const int32_t phase = static_cast<int32_t>(i % PERIOD), half = PERIOD / 2;
    return (phase < half ? phase : static_cast<int32_t>(PERIOD) - phase) * 2 * AMPLITUDE / half - AMPLITUDE;
  };
  auto mix = [&](uint32_t chunk) {
    HalAudioResetForTest();
    HalAudioCreate(&device);
    HalAudioBuffer a = Make(FRAMES * 2, 0), b = Make(FRAMES * 2, 0);
    for (HalAudioBuffer buffer : {a, b}) {
      void* r1 = nullptr;
      void* r2 = nullptr;
      uint32_t n1 = 0, n2 = 0;
      HalAudioLock(buffer, 0, 0, &r1, &n1, &r2, &n2, HAL_AUDIO_LOCK_ENTIREBUFFER);
      auto* samples = static_cast<int16_t*>(r1);
      for (uint32_t i = 0; i < FRAMES; ++i) samples[i] = static_cast<int16_t>(level(i));
      HalAudioUnlock(buffer, r1, n1, r2, n2);
      HalAudioPlay(buffer, 0, 0, HAL_AUDIO_PLAY_LOOPING);
    }
    std::vector<int16_t> out(2 * 3 * FRAMES);
    for (uint32_t done = 0; done < 3 * FRAMES; done += chunk) {
      if (done == FRAMES) HalAudioStop(b);  // the overload ends after a while
      HalAudioRender(out.data() + 2 * done, std::min(chunk, 3 * FRAMES - done));
    }
    return out;
  };
  const std::vector<int16_t> out = mix(FRAMES);
  int16_t loudest = 0;
  for (int16_t v : out) {
    EXPECT_GT(v, -32768);
    EXPECT_LT(v, 32767);
    loudest = std::max<int16_t>(loudest, static_cast<int16_t>(std::abs(v)));
  }
  EXPECT_GT(loudest, 31000);
  // After the first wave the sum comes out at one gain: each top is a single
  // peak sample, not a run of equal ones.
  const double gain = 32000.0 / (2 * AMPLITUDE);
  for (uint32_t i = PERIOD; i < FRAMES; ++i) {
    ASSERT_NEAR(out[2 * i], 2 * level(i) * gain, 1.0) << i;
    ASSERT_EQ(out[2 * i + 1], out[2 * i]) << i;
  }
  // Alone, the one triangle is back at its own level a quarter second later.
  for (uint32_t i = 2 * FRAMES + 2050; i < 3 * FRAMES; ++i) ASSERT_EQ(out[2 * i], level(i)) << i;
  EXPECT_EQ(mix(16), out);
}

TEST_F(HalAudio, InjectedResultsPassAfterTheSkippedCalls) {
  HalAudioBuffer b = Make(100, HAL_AUDIO_BUFFER_CTRLVOLUME);
  HalAudioInjectResult(HAL_AUDIO_CALL_SET_VOLUME, HAL_AUDIO_E_BUFFERLOST, 1);
  EXPECT_EQ(HalAudioSetVolume(b, -100), HAL_AUDIO_OK);
  EXPECT_EQ(HalAudioSetVolume(b, -200), HAL_AUDIO_E_BUFFERLOST);
  EXPECT_EQ(HalAudioSetVolume(b, -300), HAL_AUDIO_OK);
  int32_t v = 0;
  HalAudioGetVolume(b, &v);
  EXPECT_EQ(v, -300);
  // Controls the buffer was not made with are not there.
  EXPECT_EQ(HalAudioSetPan(b, 0), HAL_AUDIO_E_CONTROLUNAVAIL);
  EXPECT_EQ(HalAudioSetFrequency(b, 22050), HAL_AUDIO_E_CONTROLUNAVAIL);
}

TEST(HalAudioEvents, WaitAnyServesTheLowestAndWakesAcrossThreads) {
  HalEventResetForTest();
  HalEvent e[3] = {HalEventCreate(), HalEventCreate(), HalEventCreate()};
  HalEventSet(e[2]);
  HalEventSet(e[1]);
  EXPECT_EQ(HalEventWaitAny(e, 3, 0), 1u);
  EXPECT_EQ(HalEventWaitAny(e, 3, 0), 2u);
  std::thread setter([&] { HalEventSet(e[0]); });
  EXPECT_EQ(HalEventWaitAny(e, 3, HAL_WAIT_INFINITE), 0u);
  setter.join();
  HalEventClose(e[1]);
  EXPECT_EQ(HalEventWaitAny(e, 3, 0), HAL_WAIT_FAILED);
  EXPECT_EQ(HalEventWaitAny(e, 0, 0), HAL_WAIT_FAILED);
}

}  // namespace

namespace {

TEST(HalAudioSdl, WithoutASoundCardOnlyTheServersAreAsked) {
  const std::vector<std::string> sdl = {"pulseaudio", "alsa", "sndio", "pipewire", "dsp", "disk", "dummy"};
  using List = std::vector<std::string>;
  EXPECT_EQ(HalAudioDriversToTry(nullptr, true, sdl), (List{"pulseaudio", "alsa", "sndio", "pipewire", "dsp"}));
  EXPECT_EQ(HalAudioDriversToTry("", false, sdl), (List{"pulseaudio", "pipewire"}));
  EXPECT_EQ(HalAudioDriversToTry("alsa", false, sdl), List{""});  // the user's choice is SDL's to follow
}

// No output opens: the game says once, in one line, that it goes on silent.
TEST(HalAudioSdl, NoOutputIsToldOnce) {
  ResetHalForTest();
  HalAudioResetForTest();
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  HalSetHeadless(false);
  testing::internal::CaptureStderr();
  for (int i = 0; i < 2; ++i) {
    HalAudioDevice device = 0;
    EXPECT_EQ(HalAudioCreate(&device), HAL_AUDIO_E_NODRIVER);
  }
  const std::string err = testing::internal::GetCapturedStderr();
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  EXPECT_EQ(err.rfind("sound is off: ", 0), 0u) << err;
  EXPECT_NE(err.find("no-such-driver"), std::string::npos) << err;  // SDL's reason
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

// With a display the mixer runs in SDL's audio thread (the dummy driver here).
TEST(HalAudioSdl, TheCallbackThreadMovesTheCursor) {
  ResetHalForTest();
  HalAudioResetForTest();
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // never a sound card in tests
  HalSetHeadless(false);
  HalAudioDevice device = 0;
  uint32_t r = HalAudioCreate(&device);
  if (r == HAL_AUDIO_E_NODRIVER) GTEST_SKIP() << "no SDL audio driver";
  ASSERT_EQ(r, HAL_AUDIO_OK);
  HalAudioFormat format{1, 1, 22050, 44100, 2, 16};
  HalAudioBufferDesc desc{0, 44100, &format};
  HalAudioBuffer b = 0;
  ASSERT_EQ(HalAudioCreateBuffer(device, &desc, &b), HAL_AUDIO_OK);
  ASSERT_EQ(HalAudioPlay(b, 0, 0, HAL_AUDIO_PLAY_LOOPING), HAL_AUDIO_OK);
  uint32_t at = 0;
  for (int i = 0; i < 400 && at == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    HalAudioGetCurrentPosition(b, &at, nullptr);
  }
  EXPECT_GT(at, 0u);
  EXPECT_EQ(HalAudioDeviceRelease(device), HAL_AUDIO_OK);
  EXPECT_FALSE(HalAudioDeviceOpen());
  HalSetHeadless(true);
  HalAudioResetForTest();
}

}  // namespace
