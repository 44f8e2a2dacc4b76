// The logo videos on the kit's AVI files, headless on the virtual clock.
#include <algorithm>

#include "hal/audio/audio.h"
#include "hal/video/video.h"
#include "launcher/video.h"
#include "support/test_support.h"
#include "tools/datakit/lib/video_writer.h"

namespace {

// A message posted into the video window once the given number of frames has been shown.
struct Injection {
  uint32_t atFrame = 0;
  uint32_t message = 0;
  intptr_t lParam = 0;
  bool done = true;
};
Injection gInject;

// The most sound objects alive while each video played.
std::vector<uint32_t> gSoundObjects;

void InjectHook() {
  const size_t playing = VideoPlayLog().size();
  if (playing > 0) {
    if (gSoundObjects.size() < playing) gSoundObjects.resize(playing, 0);
    gSoundObjects[playing - 1] = std::max(gSoundObjects[playing - 1], HalAudioLiveObjects());
  }
  if (gInject.done || HalFrameCount() < gInject.atFrame) return;
  gInject.done = true;
  HalPostMessage(HalWindowHandle(), gInject.message, 'A', gInject.lParam);
}

class LauncherVideo : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(0, 1);
    HalAudioResetForTest();
    VideoResetForTest();
    gInject = Injection{};
    gSoundObjects.clear();
    HalAddPollHook(InjectHook);
    std::string error;
    ASSERT_TRUE(datakit::WriteVideoFolder(kit_.path().string(), &error)) << error;
  }

  // Plays the videos found in `folders`; the frame count of each video played.
  std::vector<int32_t> Play(const std::vector<std::string>& folders) {
    VideoSetSearchFolders(folders);
    EXPECT_TRUE(VideoCreateWindow());
    EXPECT_TRUE(VideoOpenDisplay());
    VideoPlayAll();
    EXPECT_FALSE(HalVideoDisplayIsOpen());
    EXPECT_FALSE(HalAudioDeviceOpen());
    EXPECT_EQ(HalAudioLiveObjects(), 0u);
    std::vector<int32_t> frames;
    for (const VideoPlayed& v : VideoPlayLog()) frames.push_back(v.frames);
    return frames;
  }

  std::string KitFolder() const { return kit_ / "video"; }

  TempDir kit_;
};

TEST_F(LauncherVideo, PlaysTheThreeInOrder) {
  EXPECT_EQ(Play({KitFolder()}), (std::vector<int32_t>{5, 4, 6}));
  ASSERT_EQ(VideoPlayLog().size(), 3u);
  for (int i = 0; i < VIDEO_COUNT; ++i) EXPECT_EQ(VideoPlayLog()[i].path, KitFolder() + "/" + VIDEO_NAMES[i]);
  EXPECT_EQ(HalFrameCount(), 15u);
  // The first and third carry sound, which plays through the mixer; the second has none.
  EXPECT_EQ(gSoundObjects, (std::vector<uint32_t>{1, 0, 1}));

  // The last frame shown fills the screen with intro's colour.
  const datakit::VideoSpec& intro = datakit::KitVideos()[2];
  const std::vector<uint8_t>& rgb = HalVideoLastFrame();
  const uint8_t* centre = &rgb[(240 * HAL_VIDEO_WIDTH + 320) * 3];
  EXPECT_NEAR(+centre[0], +intro.r, 6);
  EXPECT_NEAR(+centre[1], +intro.g, 6);
  EXPECT_NEAR(+centre[2], +intro.b, 6);
}

TEST_F(LauncherVideo, KeysSkip) {
  struct Case {
    const char* name;
    uint32_t atFrame;
    uint32_t message;
    intptr_t lParam;
    std::vector<int32_t> frames;
  };
  // The key is taken before the next frame, which still shows.
  const Case cases[] = {
      {"fresh_key_in_the_first", 2, HAL_WM_KEYDOWN, 0, {3, 4, 6}},
      {"auto_repeat_skips_nothing", 2, HAL_WM_KEYDOWN, HAL_KEY_PREVIOUS_DOWN, {5, 4, 6}},
      {"fresh_key_in_the_third_ends_it", 11, HAL_WM_KEYDOWN, 0, {5, 4, 3}},
      {"key_release_skips_nothing", 2, HAL_WM_KEYUP, 0, {5, 4, 6}},
      {"window_closed_ends_the_sequence", 2, HAL_WM_CLOSE, 0, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetHalForTest(0, 1);
    HalAudioResetForTest();
    VideoResetForTest();
    gInject = Injection{c.atFrame, c.message, c.lParam, false};
    EXPECT_EQ(Play({KitFolder()}), c.frames);
  }
}

TEST_F(LauncherVideo, MissingAndDamagedFiles) {
  struct Case {
    const char* name;
    const char* file;
    size_t keepBytes;  // SIZE_MAX: removed
    std::vector<int32_t> frames;
  };
  const Case cases[] = {
      {"no_logo_ends_after_the_first", "logo.avi", SIZE_MAX, {5}},
      {"no_first_plays_none", "talveros.avi", SIZE_MAX, {}},
      {"first_not_a_video_plays_none", "talveros.avi", 100, {}},
      {"logo_cut_inside_its_header_ends_after_the_first", "logo.avi", 4000, {5}},
      {"truncated_intro_ends_where_its_data_ends", "intro.avi", 20000, {5, 4, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::filesystem::copy(KitFolder(), dir / "video");
    const std::string path = dir / ("video/" + std::string(c.file));
    if (c.keepBytes == SIZE_MAX)
      std::filesystem::remove(path);
    else
      std::filesystem::resize_file(path, c.keepBytes);
    ResetHalForTest(0, 1);
    HalAudioResetForTest();
    VideoResetForTest();
    EXPECT_EQ(Play({dir / "video"}), c.frames);
  }
}

TEST_F(LauncherVideo, TheFolderOfTheFirstVideoServesAll) {
  // The first folder lacks the first video; the second holds it alone.
  TempDir a, b;
  std::filesystem::copy(KitFolder(), a.path());
  std::filesystem::remove(a / "talveros.avi");
  std::filesystem::create_directories(b.path());
  std::filesystem::copy_file(KitFolder() + "/talveros.avi", b / "TALVEROS.AVI");
  EXPECT_EQ(Play({a.path().string(), b.path().string()}), (std::vector<int32_t>{5}));
  EXPECT_EQ(VideoPlayLog()[0].path, b / "TALVEROS.AVI");

  // With all three there, the second folder serves them all.
  std::filesystem::copy_file(KitFolder() + "/logo.avi", b / "logo.avi");
  std::filesystem::copy_file(KitFolder() + "/intro.avi", b / "intro.avi");
  ResetHalForTest(0, 1);
  VideoResetForTest();
  EXPECT_EQ(Play({a.path().string(), b.path().string()}), (std::vector<int32_t>{5, 4, 6}));
  for (const VideoPlayed& v : VideoPlayLog()) EXPECT_EQ(v.path.rfind(b.path().string(), 0), 0u) << v.path;
}

}  // namespace
