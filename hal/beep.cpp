#include "hal/beep.h"

#include <unistd.h>

#include <atomic>

namespace {

std::atomic<uint32_t> gBeeps{0};

}  // namespace

void HalBeep() {
  ++gBeeps;
  // Only a terminal rings; a log file or a pipe would just collect the byte.
  if (::isatty(STDERR_FILENO)) {
    const char bell = '\a';
    const ssize_t written = ::write(STDERR_FILENO, &bell, 1);
    (void)written;
  }
}

uint32_t HalBeepCount() { return gBeeps.load(); }
