// The music on the virtual CD: the fader's fade-in and fade-out on the
// mixer's CD line, the repeat at a track's end, and debug mode 1's samples.
#include <algorithm>

#include "hal/cd/cd.h"
#include "platform/app.h"
#include "platform/cdaudio.h"
#include "sound_fixture.h"
#include "tools/datakit/lib/music_writer.h"

namespace {
std::vector<int32_t> gCdVolumes;  // every volume sent to the CD line
}  // namespace

extern "C" {
int32_t __real__Z16MixerSetCdVolumei(int32_t percent);
int32_t __wrap__Z16MixerSetCdVolumei(int32_t percent) {
  gCdVolumes.push_back(percent);
  return __real__Z16MixerSetCdVolumei(percent);
}
}

namespace {

class MusicTest : public SoundBankTest {
 protected:
  void SetUp() override {
    SoundBankTest::SetUp();
    CdAudioResetForTest();
    HalCdResetForTest();
    std::string error;
    ASSERT_TRUE(datakit::WriteMusicFolder(".", &error)) << error;
    MusicInit();
    HalCdClearCommandLog();
    gCdVolumes.clear();
  }
  void TearDown() override {
    MusicShutdown();
    SoundBankTest::TearDown();
  }
  static int32_t Steps(int32_t n) {
    for (int32_t i = 0; i < n; ++i) MusicFadeStep();
    return n;
  }
  static bool Sent(const std::string& command) {
    const std::vector<std::string>& log = HalCdCommandLog();
    return std::find(log.begin(), log.end(), command) != log.end();
  }
};

TEST_F(MusicTest, TheFadeInSettlesAtEightyAndIsSentEveryFrame) {
  MusicPlayTrack(0);
  EXPECT_TRUE(Sent("play cdaudio from 1 to 2"));
  EXPECT_EQ(gCdVolumes, std::vector<int32_t>{0});
  Steps(100);
  ASSERT_EQ(gCdVolumes.size(), 101u);
  for (int32_t i = 1; i <= 100; ++i) EXPECT_EQ(gCdVolumes[i], std::min(i, 80)) << i;
  EXPECT_EQ(MixerGetCdVolume(), 80u);
  EXPECT_EQ(gMusic.faderState, MUSIC_FADE_IN);
}

TEST_F(MusicTest, AFadeOutLastsTwiceAsLongAsTheFadeIn) {
  gRace.timeStep = 2.0f;
  MusicPlayTrack(3);
  int32_t in = 0;
  while (gMusic.faderVolume < 80.0f) in += 2 * Steps(1);
  MusicStop();
  EXPECT_EQ(gMusic.faderState, MUSIC_FADE_OUT);
  int32_t out = 0;
  while (gMusic.track != -1 && out < 1000) out += 2 * Steps(1);
  EXPECT_EQ(in, 80);
  EXPECT_EQ(out, 160);
  EXPECT_TRUE(Sent("stop cdaudio"));
  EXPECT_EQ(gMusic.faderState, MUSIC_IDLE);
  EXPECT_EQ(gCdVolumes.back(), 1);
}

TEST_F(MusicTest, StopWithoutATrackDoesNothingAndASecondPlayFadesInFromZero) {
  MusicStop();
  MusicPause();
  MusicResume();
  EXPECT_TRUE(HalCdCommandLog().empty());
  EXPECT_EQ(gMusic.faderState, MUSIC_IDLE);
  MusicPlayTrack(1);
  Steps(30);
  MusicPlayTrack(2);
  EXPECT_FLOAT_EQ(gMusic.faderVolume, 0.0f);
  EXPECT_EQ(gMusic.track, 2);
  Steps(1);
  EXPECT_EQ(gCdVolumes.back(), 1);
}

TEST_F(MusicTest, ATrackThatEndsPlaysAgainButNotAfterACompletedFadeOut) {
  ASSERT_EQ(gApp.mciNotify, &MusicOnCdNotify);
  MusicPlayTrack(4);
  HalCdClearCommandLog();
  gApp.mciNotify();
  EXPECT_TRUE(Sent("play cdaudio from 5"));
  MusicStop();
  Steps(200);
  HalCdClearCommandLog();
  gApp.mciNotify();
  EXPECT_TRUE(HalCdCommandLog().empty());
}

TEST_F(MusicTest, PauseKeepsTheFaderAndResumeFadesOnFromThere) {
  MusicPlayTrack(0);
  Steps(40);
  MusicPause();
  EXPECT_TRUE(Sent("pause cdaudio"));
  EXPECT_EQ(gMusic.track, 0);
  MusicStop();
  Steps(10);
  MusicResume();
  EXPECT_EQ(gMusic.faderState, MUSIC_FADE_IN);
  Steps(1);
  EXPECT_EQ(gCdVolumes.back(), 36);
}

TEST_F(MusicTest, DebugModeOneLeavesTheCdAloneAndTakesTurnsWithItsSamples) {
  gRace.debugMode = 1;
  MusicPlayTrack(0);
  EXPECT_TRUE(HalCdCommandLog().empty());
  SfxLoadCreditsBank();
  ASSERT_EQ(gSoundOn, 1);
  const int32_t cheet = gSfxEffects[SFX_ROW_CHEET].first2d, cheet1 = gSfxEffects[SFX_ROW_CHEET + 1].first2d;
  const int32_t cheet2 = gSfxEffects[SFX_ROW_CHEET2].first2d;
  ASSERT_NE(cheet, SFX_SLOT_NONE);
  SfxMusicSampleStart();
  EXPECT_EQ(gMusic.sampleSlot, cheet);
  EXPECT_TRUE(Playing(cheet));
  EXPECT_GE(gMusic.sampleCountdown, 250.0f);
  EXPECT_LE(gMusic.sampleCountdown, 761.0f);
  gMusic.sampleCountdown = 0.5f;
  MusicFadeStep();  // 0.5 - 1: below zero
  MusicFadeStep();
  EXPECT_FALSE(Playing(cheet));
  EXPECT_EQ(gMusic.sampleSlot, cheet2);
  EXPECT_TRUE(Playing(cheet2));
  MusicFadeStep();  // cheet2 still plays: no change
  EXPECT_EQ(gMusic.sampleSlot, cheet2);
  Render(4000);  // cheet2 ends
  MusicFadeStep();
  EXPECT_EQ(gMusic.sampleSlot, cheet1);
  EXPECT_EQ(gMusic.sampleIndex, 1);
  EXPECT_TRUE(Playing(cheet1));
  EXPECT_GE(gMusic.sampleCountdown, 250.0f);
}

}  // namespace
