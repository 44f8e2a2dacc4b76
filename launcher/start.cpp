#include "launcher/start.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "launcher/config.h"

extern char** environ;

std::string LauncherProgramFolder() {
  const char* override = std::getenv("TORVANE_PROGRAM_DIR");
  if (override && *override) return override;
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

const char* LauncherProgramName(int32_t renderer) {
  return renderer == LAUNCHER_RENDERER_D3D ? "torvaned3d" : "torvane";
}

namespace {
std::string ProgramPath(int32_t renderer) { return LauncherProgramFolder() + "/" + LauncherProgramName(renderer); }
}  // namespace

int32_t LauncherGlideBoardCount() {
  const std::string path = ProgramPath(LAUNCHER_RENDERER_GLIDE);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return ::access(path.c_str(), X_OK) == 0 ? 1 : 0;
}

bool LauncherStartGame(int32_t renderer, std::string* error) {
  const std::string path = ProgramPath(renderer);
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  // The game outlives the launcher: a session of its own, nothing to read
  // from the launcher's terminal, and no signals blocked that it did not block.
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  int rc = posix_spawn(&pid, path.c_str(), &actions, &attr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    if (error) *error = path + ": " + std::strerror(rc);
    return false;
  }
  return true;
}
