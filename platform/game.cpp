#include "platform/game.h"

#include "hal/window.h"
#include "platform/app.h"

namespace {
constexpr uint8_t SCAN_ESC = 1;
}

// The window stays up and responsive, one frame at a time, until Esc.
void GameEntry() {
  for (;;) {
    AppPumpMessages();
    if (gKeyScanCode == SCAN_ESC) AppQuit();
    HalNoteFrame();
    AppFrameWait();
  }
}
