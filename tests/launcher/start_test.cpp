// The machine check and the game's start, through the launcher's whole run
// with the dialog's answer given by the test and stub game programs.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "hal/d3d/devices.h"
#include "launcher/check.h"
#include "launcher/launcher.h"
#include "launcher/start.h"
#include "launcher/texts.h"
#include "launcher/video.h"
#include "support/test_support.h"

namespace {

bool gVideo, gOpenGl;
int gOpenGlProbes;
bool ProbeVideo() { return gVideo; }
bool ProbeOpenGl() {
  ++gOpenGlProbes;
  return gOpenGl;
}

TEST(LauncherCheck, ProbesToCodeToAccepted) {
  struct Case {
    bool video, openGl;
    int32_t code;
    bool accepted;
    LauncherTextId message;
  };
  const Case cases[] = {
      {false, false, 0, false, LAUNCHER_TEXT_NO_VIDEO},
      {false, true, 0, false, LAUNCHER_TEXT_NO_VIDEO},
      {true, false, 0x500, false, LAUNCHER_TEXT_NO_OPENGL},
      {true, true, 0x700, true, LAUNCHER_TEXT_COUNT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "video " << c.video << " OpenGL " << c.openGl);
    gVideo = c.video;
    gOpenGl = c.openGl;
    gOpenGlProbes = 0;
    LauncherSetProbes(ProbeVideo, ProbeOpenGl);
    EXPECT_EQ(LauncherDxCodeFromProbes(c.video, c.openGl), +c.code);
    EXPECT_EQ(LauncherDxVersion(), +c.code);
    EXPECT_EQ(gOpenGlProbes, c.video ? 1 : 0);  // no OpenGL probe without video
    testing::internal::CaptureStderr();
    EXPECT_EQ(LauncherCheckDirectX(), +c.accepted);
    std::string err = testing::internal::GetCapturedStderr();
    if (c.accepted)
      EXPECT_EQ(err, "");
    else
      EXPECT_NE(err.find(LauncherText(c.message)), std::string::npos) << err;
  }
  // The old codes keep their answers: 6.0 passes, 5 does not.
  EXPECT_TRUE(LauncherDxCodeAccepted(0x600));
  EXPECT_FALSE(LauncherDxCodeAccepted(0x300));
}

// A game folder (the working directory) and a program folder of stubs that
// note how they were started.
class LauncherRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(0, 1);
    VideoResetForTest();
    VideoSetSearchFolders({game_ / "video"});
    HalDevicesReset();
    LauncherSetProbes(nullptr, nullptr);
    LauncherSetDialogRunner(nullptr);
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(game_.path());
    ::setenv("TORVANE_PROGRAM_DIR", programs_.path().c_str(), 1);
  }
  void TearDown() override {
    std::filesystem::current_path(oldDir_);
    ::unsetenv("TORVANE_PROGRAM_DIR");
    LauncherSetDialogRunner(nullptr);
    LauncherSetProbes(nullptr, nullptr);
  }

  // The stub writes its argument count, working directory, whether it leads
  // its own session and what its standard input is, once the test lets it go.
  void AddStub(const std::string& name) {
    programs_.Write(name,
                    "#!/bin/sh\n"
                    "touch begun-" + name + "\n"
                    "n=0; while [ ! -e release ] && [ $n -lt 100 ]; do sleep 0.05; n=$((n+1)); done\n"
                    "sid=$(cut -d' ' -f6 /proc/$$/stat)\n"
                    "[ -e release ] && r=released || r=waited\n"
                    "echo \"$# $(pwd) $([ \"$sid\" = $$ ] && echo own-session) $(readlink /proc/$$/fd/0) $r\" > started-" +
                        name + ".tmp\n"
                    "mv started-" + name + ".tmp started-" + name + "\n");
    ::chmod((programs_ / name).c_str(), 0755);
  }

  // Waits for the stub's note; empty when it never came.
  std::string StubNote(const std::string& name) {
    for (int i = 0; i < 200 && !std::filesystem::exists(game_ / ("started-" + name)); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return game_.Read("started-" + name);
  }

  TempDir game_, programs_;
  std::filesystem::path oldDir_;
};

int32_t gRunnerCalls = 0;
int32_t gRendererChoice = 0;
int32_t ClickChoiceAndGo(LauncherDialog* dialog) {
  ++gRunnerCalls;
  LauncherDialogStart(dialog);
  LauncherDialogCommand(dialog, gRendererChoice == 0 ? LAUNCHER_ID_D3D : LAUNCHER_ID_GLIDE);
  LauncherDialogCommand(dialog, LAUNCHER_ID_GO);
  return dialog->result;
}

TEST_F(LauncherRun, GoStartsTheChosenProgramDetached) {
  AddStub("torvane");
  AddStub("torvaned3d");
  const std::string expected = "0 " + std::filesystem::canonical(game_.path()).string() + " own-session /dev/null released\n";
  for (int32_t renderer : {0, 1}) {
    SCOPED_TRACE(renderer);
    const std::string name = LauncherProgramName(renderer);
    gRendererChoice = renderer;
    LauncherSetDialogRunner(ClickChoiceAndGo);
    EXPECT_EQ(LauncherStart(), 0);
    EXPECT_TRUE(gLauncher.gameStarted);
    EXPECT_EQ(+gLauncher.glideBoards, 1);
    // The launcher is back while the game still waits to be let go.
    for (int i = 0; i < 200 && !std::filesystem::exists(game_ / ("begun-" + name)); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    EXPECT_FALSE(std::filesystem::exists(game_ / ("started-" + name)));
    game_.Write("release", "");
    EXPECT_EQ(StubNote(name), expected);
    std::filesystem::remove(game_ / "release");
    EXPECT_EQ(game_.Read("rur.cfg").size(), renderer == 0 ? 13u + std::strlen(HalDeviceAt(0)->description) : 13u);
  }
}

TEST_F(LauncherRun, AMissingProgramIsReported) {
  AddStub("torvane");  // torvaned3d is missing
  gRendererChoice = 0;
  LauncherSetDialogRunner(ClickChoiceAndGo);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LauncherStart(), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(gLauncher.gameStarted);
  char text[256];
  std::snprintf(text, sizeof text, LauncherText(LAUNCHER_TEXT_START_FAILED), "torvaned3d");
  EXPECT_NE(err.find(text), std::string::npos) << err;
  EXPECT_NE(err.find(programs_ / "torvaned3d"), std::string::npos) << err;
}

TEST_F(LauncherRun, GlideBoardsFollowTheProgramFolder) {
  EXPECT_EQ(LauncherGlideBoardCount(), 0);
  programs_.Write("torvane", "not runnable");
  ::chmod((programs_ / "torvane").c_str(), 0644);
  EXPECT_EQ(LauncherGlideBoardCount(), 0);
  ::chmod((programs_ / "torvane").c_str(), 0755);
  EXPECT_EQ(LauncherGlideBoardCount(), 1);
  // Without the override, the launcher's own folder: this test's.
  ::unsetenv("TORVANE_PROGRAM_DIR");
  EXPECT_EQ(LauncherProgramFolder(), std::filesystem::canonical("/proc/self/exe").parent_path().string());
}

TEST_F(LauncherRun, ARefusedMachineGetsTheMessageAndNothingElse) {
  AddStub("torvane");
  AddStub("torvaned3d");
  gVideo = true;
  gOpenGl = false;
  LauncherSetProbes(ProbeVideo, ProbeOpenGl);
  gRunnerCalls = 0;
  gRendererChoice = 1;
  LauncherSetDialogRunner(ClickChoiceAndGo);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LauncherStart(), LAUNCHER_EXIT_REFUSED);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(LauncherText(LAUNCHER_TEXT_NO_OPENGL)), std::string::npos) << err;
  EXPECT_EQ(gRunnerCalls, 0);
  EXPECT_EQ(HalWindowHandle(), 0u);  // no video window
  EXPECT_FALSE(std::filesystem::exists(game_ / "rur.cfg"));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(std::filesystem::exists(game_ / "begun-torvane"));
  EXPECT_FALSE(gLauncher.gameStarted);
}

int32_t Cancel(LauncherDialog* dialog) {
  LauncherDialogStart(dialog);
  LauncherDialogCommand(dialog, LAUNCHER_ID_CANCEL);
  return dialog->result;
}

TEST_F(LauncherRun, CancelEndsAtOnce) {
  AddStub("torvane");
  game_.Write("rur.cfg", std::string("\1\0\0\0\1\0\0\0\1\0\0\0\0", 13));
  LauncherSetDialogRunner(Cancel);
  EXPECT_EQ(LauncherStart(), 0);
  EXPECT_EQ(+gLauncher.dialogResult, LAUNCHER_RESULT_CANCEL);
  EXPECT_EQ(HalWindowHandle(), 0u);
  EXPECT_FALSE(gLauncher.gameStarted);
  EXPECT_EQ(game_.Read("rur.cfg"), std::string("\1\0\0\0\1\0\0\0\1\0\0\0\0", 13));
}

}  // namespace
