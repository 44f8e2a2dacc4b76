// Shared helpers of the test suites.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hal/clock.h"
#include "hal/window.h"
#include "platform/fatal.h"

// Whether this build runs under AddressSanitizer.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ADDRESS_SANITIZED = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool ADDRESS_SANITIZED = true;
#else
constexpr bool ADDRESS_SANITIZED = false;
#endif
#else
constexpr bool ADDRESS_SANITIZED = false;
#endif

// Thrown by the exit hook, so a test sees the process end without leaving.
struct ExitCalled {
  int code;
};

inline void ThrowOnExit(int code) { throw ExitCalled{code}; }

// A fresh folder for one test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "torvane-test-XXXXXX").string();
    path_ = ::mkdtemp(templ.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream f(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }

 private:
  std::filesystem::path path_;
};

// Headless hal on a clock that only moves when the test says so.
inline void ResetHalForTest(uint32_t clockStart = 0, uint32_t autoStep = 0) {
  HalResetForTest();
  HalSetExitHook(ThrowOnExit);
  HalClockUseVirtual(clockStart, autoStep);
}

// The messages GameFatalError was given since the last RecordFatalErrors, in
// place of the shell's error screen.
inline std::vector<std::string> gFatalErrors;
inline void RecordFatalErrors() {
  gFatalErrors.clear();
  GameSetFatalErrorHook([](const char* message) { gFatalErrors.emplace_back(message); });
}
