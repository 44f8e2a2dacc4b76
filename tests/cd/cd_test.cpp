#include <cstdio>
#include <string>
#include <vector>

#include "hal/cd/cd.h"
#include "hal/cd/pcm_source.h"
#include "platform/app.h"
#include "platform/cdaudio.h"
#include "support/test_support.h"
#include "tools/datakit/lib/music_writer.h"

namespace {

constexpr uint32_t WINDOW = 1;

class CdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    HalCdResetForTest();
    CdAudioResetForTest();
    HalCdSetFolder(dir_ / "music");
    ASSERT_EQ(HalWindowCreate("cd", nullptr), WINDOW);
  }

  // A disc of `lengths` ms tracks, all WAVE.
  void WriteDisc(const std::vector<uint32_t>& lengths) {
    for (size_t i = 0; i < lengths.size(); ++i) WriteTrack(static_cast<int>(i) + 1, "wav", lengths[i]);
  }
  void WriteTrack(int number, const std::string& extension, uint32_t lengthMs) {
    char name[32];
    std::snprintf(name, sizeof name, "music/track%02d.%s", number, extension.c_str());
    std::string error;
    ASSERT_TRUE(datakit::WriteMusicTrack(dir_ / name, {number, extension, 8000, 1, lengthMs, 200}, &error)) << error;
  }

  // Commands sent since the last call, in order.
  static std::vector<std::string> Sent() {
    std::vector<std::string> log = HalCdCommandLog();
    HalCdClearCommandLog();
    return log;
  }

  // Notifications waiting in the queue (other messages are dropped).
  static int Notifications() {
    int n = 0;
    HalMsg msg{};
    while (HalPeekMessage(&msg)) {
      if (msg.message != HAL_MM_MCINOTIFY) continue;
      EXPECT_EQ(msg.wParam, HAL_MCI_NOTIFY_SUCCESSFUL);
      EXPECT_EQ(msg.window, WINDOW);
      ++n;
    }
    return n;
  }

  TempDir dir_;
};

TEST_F(CdTest, SixTrackDiscCommands) {
  WriteDisc({300, 300, 300, 300, 300, 300});
  CdOpen(0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf",
                                              "set cdaudio door closed", "status cdaudio number of tracks"}));
  EXPECT_EQ(gCdAudio.lastTrack, 5);
  EXPECT_EQ(CdGetLastTrack(), 5);

  CdPlayTrack(0, 2);
  CdPlayTrack(0, 5);
  CdPlayTrack(WINDOW, 2);
  CdPlayTrack(WINDOW, 5);
  CdPlayFrom(WINDOW, 1);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"play cdaudio from 3 to 4", "play cdaudio from 6",
                                              "play cdaudio from 3 to 4 notify", "play cdaudio from 6 notify",
                                              "play cdaudio from 2 notify"}));
  HalCdPlayback p = HalCdPlaying();
  EXPECT_TRUE(p.playing);
  EXPECT_EQ(p.track, 2);

  CdPause();
  CdStop();
  CdClose();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"pause cdaudio", "stop cdaudio", "stop cdaudio", "close cdaudio"}));
}

TEST_F(CdTest, ResumePlaysToTheEndOfThePausedTrack) {
  WriteDisc({300, 300, 300, 300, 300, 300});
  CdOpen(0);
  CdPlayTrack(0, 5);
  HalClockAdvance(100);
  CdPause();
  Sent();
  CdResume(0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"status cdaudio current track", "play cdaudio"}));

  CdPlayTrack(0, 2);
  HalClockAdvance(100);
  CdPause();
  Sent();
  CdResume(WINDOW);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"status cdaudio current track", "play cdaudio to 4 notify"}));
}

TEST_F(CdTest, EmptyDriveHasNoTracksAndPlaysNothing) {
  CdOpen(0);
  EXPECT_EQ(gCdAudio.lastTrack, -1);
  Sent();
  CdPlayTrack(WINDOW, 0);
  CdPlayFrom(0, 0);
  CdResume(0);
  // Each call asks again for the tracks, then gives up.
  EXPECT_EQ(Sent(), std::vector<std::string>(3, "status cdaudio number of tracks"));
  EXPECT_EQ(CdGetLastTrack(), -1);
  char reply[CD_REPLY_BYTES];
  EXPECT_EQ(HalCdSendString("status cdaudio media present", reply, sizeof reply, 0), HAL_MCI_OK);
  EXPECT_STREQ(reply, "false");
  EXPECT_NE(HalCdSendString("play cdaudio from 1", nullptr, 0, 0), HAL_MCI_OK);
  EXPECT_EQ(Notifications(), 0);
}

TEST_F(CdTest, WaitingForADiscGivesUpAfterFifteenSeconds) {
  ResetHalForTest(1000, 1);  // every clock reading moves time on by 1 ms
  CdOpen(1);
  EXPECT_GE(HalTimePeek() - 1000, CD_OPEN_WAIT_MS);
  EXPECT_LT(HalTimePeek() - 1000, CD_OPEN_WAIT_MS + 10);
  EXPECT_EQ(gCdAudio.lastTrack, -1);
}

TEST_F(CdTest, WaitingEndsAtOnceWithADisc) {
  WriteDisc({300});
  CdOpen(1);
  int asks = 0;
  for (const std::string& c : Sent()) asks += c == "status cdaudio media present";
  EXPECT_EQ(asks, 1);
  EXPECT_EQ(gCdAudio.lastTrack, 0);
}

TEST_F(CdTest, NotificationOnlyWhenARangeEndsByItself) {
  WriteDisc({1000, 2000, 500});
  CdOpen(0);
  CdPlayTrack(WINDOW, 0);
  HalClockAdvance(999);
  EXPECT_EQ(Notifications(), 0);
  HalClockAdvance(1);
  EXPECT_EQ(Notifications(), 1);
  HalClockAdvance(5000);
  EXPECT_EQ(Notifications(), 0);
  EXPECT_FALSE(HalCdPlaying().playing);

  // Stopped, paused or replaced ranges say nothing.
  CdPlayTrack(WINDOW, 1);
  HalClockAdvance(500);
  CdStop();
  CdPlayTrack(WINDOW, 0);
  HalClockAdvance(500);
  CdPause();
  CdPlayTrack(WINDOW, 0);
  CdPlayTrack(WINDOW, 2);  // replaces the range above at once
  HalClockAdvance(10000);
  EXPECT_EQ(Notifications(), 1);

  CdPlayTrack(0, 1);  // no notify asked
  HalClockAdvance(10000);
  EXPECT_EQ(Notifications(), 0);
}

TEST_F(CdTest, ARangeThatEndedUnseenAndAnEmptyRangeEachNotifyOnce) {
  WriteDisc({300, 300});
  CdOpen(0);
  ASSERT_EQ(HalCdSendString("play cdaudio from 1 to 2 notify", nullptr, 0, WINDOW), HAL_MCI_OK);
  HalClockAdvance(300);  // ends with no poll in between
  ASSERT_EQ(HalCdSendString("play cdaudio from 2 to 2 notify", nullptr, 0, WINDOW), HAL_MCI_OK);
  EXPECT_EQ(Notifications(), 2);
}

TEST_F(CdTest, PauseKeepsThePositionForResume) {
  WriteDisc({1000, 1000, 1500, 1000});
  CdOpen(0);
  CdPlayTrack(WINDOW, 2);
  HalClockAdvance(500);
  CdPause();
  HalClockAdvance(10000);
  EXPECT_EQ(Notifications(), 0);
  HalCdPlayback p = HalCdPlaying();
  EXPECT_FALSE(p.playing);
  EXPECT_EQ(p.track, 3);
  EXPECT_EQ(p.positionInTrack, 500u);

  CdResume(WINDOW);
  HalClockAdvance(999);
  EXPECT_EQ(Notifications(), 0);
  EXPECT_EQ(HalCdPlaying().positionInTrack, 1499u);
  HalClockAdvance(1);
  EXPECT_EQ(Notifications(), 1);
  // It stopped where track 4 begins.
  EXPECT_EQ(HalCdPlaying().track, 4);
  EXPECT_EQ(HalCdPlaying().positionInTrack, 0u);
}

TEST_F(CdTest, EndOfTrackReachesTheMusicHandlerThroughTheWindow) {
  static int calls = 0;
  calls = 0;
  AppResetForTest();
  HalWindowDestroy();
  ASSERT_EQ(HalWindowCreate("cd", AppWindowProc), WINDOW);
  WriteDisc({200});
  CdOpen(0);
  AppSetMciNotifyHandler([] { ++calls; });
  CdPlayTrack(WINDOW, 0);
  HalClockAdvance(200);
  HalMsg msg{};
  while (HalPeekMessage(&msg)) HalDispatchMessage(msg);
  EXPECT_EQ(calls, 1);
}

TEST_F(CdTest, TrackFilesInEveryFormatAndAnyCase) {
  WriteTrack(1, "flac", 400);
  WriteTrack(3, "ogg", 600);
  WriteTrack(4, "wav", 200);
  std::filesystem::rename(dir_ / "music/track04.wav", dir_ / "music/TRACK04.WAV");
  dir_.Write("music/track05.wav", "RIFF not really a sound");
  dir_.Write("music/track9.wav", "ignored: one digit");
  dir_.Write("music/notes.txt", "ignored");
  CdOpen(0);
  // The highest number present; track 2 is missing and track 5 does not decode.
  EXPECT_EQ(gCdAudio.lastTrack, 4);

  CdPlayFrom(WINDOW, 0);
  EXPECT_EQ(HalCdPlaying().path, dir_ / "music/track01.flac");
  HalClockAdvance(400);
  EXPECT_EQ(HalCdPlaying().track, 3);
  HalClockAdvance(600);
  EXPECT_EQ(HalCdPlaying().track, 4);
  EXPECT_EQ(HalCdPlaying().path, dir_ / "music/TRACK04.WAV");
  HalClockAdvance(199);
  EXPECT_EQ(Notifications(), 0);
  HalClockAdvance(1);
  EXPECT_EQ(Notifications(), 1);
}

TEST_F(CdTest, DecodedAudioOfATrack) {
  WriteTrack(1, "flac", 250);
  HalPcmInfo info{};
  HalPcmSource* source = HalPcmOpen(dir_ / "music/track01.flac", &info);
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(info.sampleRate, 8000);
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.frames, 2000);
  std::vector<int16_t> samples(4000);
  EXPECT_EQ(HalPcmRead(source, samples.data(), 4000), 2000);
  EXPECT_NE(samples[10], samples[11]);
  EXPECT_TRUE(HalPcmSeek(source, 1000));
  EXPECT_EQ(HalPcmRead(source, samples.data(), 4000), 1000);
  HalPcmClose(source);
  EXPECT_EQ(HalPcmOpen(dir_ / "music/none.wav", &info), nullptr);
}

TEST(DataKitMusic, KitDiscPlaysOnTheVirtualCdAndIsTheSameEveryRun) {
  ResetHalForTest();
  HalCdResetForTest();
  CdAudioResetForTest();
  TempDir a, b;
  std::string error;
  ASSERT_TRUE(datakit::WriteMusicFolder(a.path().string(), &error)) << error;
  ASSERT_TRUE(datakit::WriteMusicFolder(b.path().string(), &error)) << error;
  for (const datakit::MusicTrackSpec& spec : datakit::KitMusicTracks()) {
    char name[32];
    std::snprintf(name, sizeof name, "music/track%02d.%s", spec.number, spec.extension.c_str());
    std::string bytes = a.Read(name);
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes, b.Read(name)) << name;
  }
  HalCdSetFolder(a / "music");
  CdOpen(0);
  EXPECT_EQ(CdGetLastTrack(), static_cast<int32_t>(datakit::KitMusicTracks().size()) - 1);
  HalWindowCreate("cd", nullptr);
  CdPlayTrack(WINDOW, 0);
  HalClockAdvance(datakit::KitMusicTracks()[0].lengthMs - 1);
  EXPECT_TRUE(HalCdPlaying().playing);
  HalClockAdvance(1);
  EXPECT_FALSE(HalCdPlaying().playing);
}

}  // namespace
