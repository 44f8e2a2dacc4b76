// The real programs outside headless runs: on a machine that cannot show a
// window they say so and fail, and on an X display of the test's own (Xvfb)
// the launcher's dialog is mapped every time it starts.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

// Last: Xlib's macros (None, Bool, Status) clash with the test framework's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

// The test's environment minus what would choose a display or a headless run
// for the child, plus `extra` ("NAME=value").
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    std::string name = entry.substr(0, entry.find('='));
    if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "SDL_VIDEODRIVER" || name == "TORVANE_HEADLESS" ||
        name == "TORVANE_SCRIPT")
      continue;
    env.push_back(entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& dir,
            const std::string& errFile) {
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Exit code, or -1 when the process did not end by itself within `seconds`
// (it is killed then).
int WaitFor(pid_t pid, int seconds) {
  for (int i = 0; i < seconds * 50; ++i) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

struct Refusal {
  const char* why;
  std::vector<std::string> env;
  const char* message;
};

TEST(NoDisplay, EveryProgramRefusesWithAMessageAndAFailure) {
  TempDir dir;
  // A display name that exists nowhere, so that no message box can open on a
  // real screen while the test runs.
  const Refusal cases[] = {
      {"SDL's off-screen driver", {"SDL_VIDEODRIVER=offscreen", "DISPLAY=:32761"}, "'offscreen' shows nothing"},
      {"SDL's dummy driver", {"SDL_VIDEODRIVER=dummy", "DISPLAY=:32761"}, "'dummy' shows nothing"},
      {"no display set", {}, "no display"},
      {"a display that does not exist", {"DISPLAY=:32761"}, "DISPLAY=:32761"},
  };
  for (const char* program : {TORVANE_PATH, TORVANED3D_PATH, LAUNCHER_PATH}) {
    for (const Refusal& c : cases) {
      SCOPED_TRACE(std::string(program) + ", " + c.why);
      pid_t pid = Spawn({program}, ChildEnvironment(c.env), dir.path().string(), dir / "stderr.txt");
      ASSERT_GT(pid, 0);
      EXPECT_GT(WaitFor(pid, 20), 0);
      const std::string err = dir.Read("stderr.txt");
      EXPECT_NE(err.find("cannot open a window"), std::string::npos) << err;
      EXPECT_NE(err.find(c.message), std::string::npos) << err;
      if (std::string(program) == LAUNCHER_PATH) {  // the launcher's own message for such a machine
        EXPECT_NE(err.find("Torvane kann ohne grafische Anzeige nicht laufen."), std::string::npos) << err;
      }
    }
  }
}

// An Xvfb server of the test's own, on a display number it chooses itself.
class XvfbDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    // The server goes with the test, should the test end without TearDown.
    const std::string fd = std::to_string(fds[1]);
    server_ = ::fork();
    if (server_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);
      ::close(fds[0]);
      int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "800x600x24",
               static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (server_ > 0 && ::poll(&p, 1, 10000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (number.empty()) GTEST_SKIP() << "no Xvfb could be started here (scripts/setup.sh installs it)";
    display_ = ":" + number;
  }
  void TearDown() override {
    if (x_) XCloseDisplay(x_);
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      ::waitpid(server_, nullptr, 0);
    }
  }

  // The launcher's dialog: a top-level window named "Torvane" that is viewable.
  bool DialogMapped() {
    // A window may go between the listing and the look at it (the previous
    // launcher's, the machine check's): Xlib's own handler would end the test.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (!x_) x_ = XOpenDisplay(display_.c_str());
    if (!x_) return false;
    bool found = false;
    Window root = DefaultRootWindow(x_), parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(x_, root, &root, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(x_, children[i], &name) && name) {
          found = std::string(name) == "Torvane" && XGetWindowAttributes(x_, children[i], &attributes) &&
                  attributes.map_state == IsViewable;
          XFree(name);
        }
      }
      if (children) XFree(children);
    }
    return found;
  }

  Display* x_ = nullptr;
  pid_t server_ = -1;
  std::string display_;
};

TEST_F(XvfbDisplay, TheLauncherShowsItsDialogAtEveryStart) {
  TempDir dir;
  constexpr int STARTS = 20;
  int shown = 0;
  for (int start = 0; start < STARTS; ++start) {
    pid_t pid = Spawn({LAUNCHER_PATH}, ChildEnvironment({"DISPLAY=" + display_}), dir.path().string(),
                      dir / "stderr.txt");
    ASSERT_GT(pid, 0);
    bool mapped = false;
    for (int i = 0; i < 200 && !mapped; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      mapped = DialogMapped();
      int status = 0;
      if (!mapped && ::waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;  // ended without a dialog
        break;
      }
    }
    if (pid > 0) {
      ::kill(pid, SIGTERM);
      WaitFor(pid, 5);
    }
    EXPECT_TRUE(mapped) << "start " << start << ": " << dir.Read("stderr.txt");
    shown += mapped ? 1 : 0;
  }
  EXPECT_EQ(shown, STARTS);
}

}  // namespace
