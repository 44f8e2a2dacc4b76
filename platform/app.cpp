#include "platform/app.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "hal/clock.h"
#include "hal/window.h"

AppState gApp;
AppBoardInfo gAppBoard;
uint8_t gKeyScanCode;
TimerSlot gTimers[APP_TIMER_COUNT];

namespace {

// PC set-1 scan codes as the keys sit on a French keyboard, with the
// upper-case character of each letter and digit key.
constexpr std::array<KeyTableEntry, 256> BuildKeyTable() {
  std::array<KeyTableEntry, 256> t{};
  auto set = [&t](uint32_t vk, uint8_t scan, uint8_t ch = 0) { t[vk] = KeyTableEntry{scan, ch}; };
  set(0x08, 14, 100);  // Backspace: the menus' text entry reads 100 as "erase"
  set(0x09, 15);
  set(0x0D, 28, 101);  // Enter: 101 ends the text entry
  set(0x14, 58);
  set(0x1B, 1);
  set(0x20, 57, ' ');
  set(0x21, 201);
  set(0x22, 209);
  set(0x23, 207);
  set(0x24, 199);
  set(0x25, 203);
  set(0x26, 200);
  set(0x27, 205);
  set(0x28, 208);
  set(0x2D, 210);
  set(0x2E, 211);
  set('0', 11, '0');
  for (uint8_t d = 1; d <= 9; ++d) set('0' + d, static_cast<uint8_t>(1 + d), static_cast<uint8_t>('0' + d));
  constexpr uint8_t letters[26] = {16, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 39,
                                   49, 24, 25, 30, 19, 31, 20, 22, 47, 44, 45, 21, 17};
  for (uint8_t i = 0; i < 26; ++i) set('A' + i, letters[i], static_cast<uint8_t>('A' + i));
  constexpr uint8_t pad[10] = {82, 79, 80, 81, 75, 76, 77, 71, 72, 73};
  for (uint8_t i = 0; i < 10; ++i) set(0x60 + i, pad[i], static_cast<uint8_t>('0' + i));
  set(0x6A, 55);
  set(0x6B, 78);
  set(0x6D, 74);
  set(0x6F, 181);
  constexpr uint8_t fkeys[12] = {59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 87, 88};
  for (uint8_t i = 0; i < 12; ++i) set(0x70 + i, fkeys[i]);
  set(0x90, 69);
  set(0xA0, 42);
  set(0xA1, 54);
  set(0xA2, 29);
  set(0xA3, 157);
  set(0xBA, 27);
  set(0xBB, 13);
  set(0xBC, 50);
  set(0xBE, 51, '.');
  set(0xBF, 52, '/');
  set(0xC0, 40);
  set(0xDB, 12);
  set(0xDC, 43);
  set(0xDD, 26);
  set(0xDE, 41);
  set(0xDF, 53);
  set(0xE2, 86);
  return t;
}

// Arrows, Ctrl and Space are held as bits, never as the current key.
uint8_t KeyBitOf(uintptr_t vk) {
  switch (vk) {
    case HAL_VK_LEFT: return APP_KEY_LEFT;
    case HAL_VK_UP: return APP_KEY_UP;
    case HAL_VK_RIGHT: return APP_KEY_RIGHT;
    case HAL_VK_DOWN: return APP_KEY_DOWN;
    case HAL_VK_CONTROL: return APP_KEY_CTRL;
    case HAL_VK_SPACE: return APP_KEY_SPACE;
    default: return 0;
  }
}

bool ValidSlot(int slot) { return slot >= 0 && slot < APP_TIMER_COUNT; }

}  // namespace

const std::array<KeyTableEntry, 256> KEY_TABLE = BuildKeyTable();

// ---- Program entry and window ----

int AppCreateWindow(uint32_t instance, uint32_t, int32_t) {
  gApp.instance = instance;
  uint32_t window = HalWindowCreate(APP_WINDOW_TITLE, AppWindowProc);
  // A window that did not open is a failure: nothing of the game can run without it.
  if (window == 0) return 0;
  gApp.window = window;
  HalScreenSize(&gApp.screenWidth, &gApp.screenHeight);
  gApp.mouseButtons = 0;
  return 1;
}

uint32_t AppGetWindow() { return gApp.window; }
uint32_t AppGetInstance() { return gApp.instance; }

void AppGetScreenSize(int32_t* width, int32_t* height) {
  *width = gApp.screenWidth;
  *height = gApp.screenHeight;
}

// The process priority is left to the system: raising it needs privileges a
// player's account does not have.
void AppSetHighPriority() {}

void AppCaptureMouse(int32_t release) {
  HalCaptureMouse(release == 0);
  HalShowCursor(release != 0);
}

void AppQuit() {
  AppCaptureMouse(1);
  HalPostMessage(gApp.window, HAL_WM_CLOSE, 0, 0);
  AppPumpMessages();
}

void AppSetExitCode(int32_t code) { gApp.exitCode = code; }

void AppMessageBox(const char* text) { std::fprintf(stderr, "%s\n", text); }

// ---- Message pump and window procedure ----

namespace {
AppNotifyRoutine gPumpHook = nullptr;
}  // namespace

void AppPumpMessages() {
  for (int dispatched = 0; dispatched < 100; ++dispatched) {
    HalMsg msg;
    if (!HalPeekMessage(&msg)) break;
    if (msg.message == HAL_WM_QUIT) HalExit(static_cast<int>(static_cast<int32_t>(msg.wParam)));
    HalDispatchMessage(msg);
  }
  if (gPumpHook != nullptr) gPumpHook();
}

void AppSetPumpHook(AppNotifyRoutine hook) { gPumpHook = hook; }

intptr_t AppWindowProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case HAL_WM_DESTROY:
      HalPostQuitMessage(gApp.exitCode);
      return HalDefWindowProc(window, message, wParam, lParam);
    case HAL_WM_PAINT:
      gApp.paintContext = window;
      if (gApp.window != 0) AppPaintBlack();
      return 0;
    case HAL_WM_ACTIVATEAPP:
      gApp.active = static_cast<int32_t>(wParam);
      return HalDefWindowProc(window, message, wParam, lParam);
    case HAL_WM_NOTIFY:
    case HAL_WM_SYSKEYDOWN:
    case HAL_WM_SYSKEYUP:
    case HAL_WM_COMMAND:
    case HAL_WM_SYSCOMMAND:
      return 0;
    case HAL_MM_MCINOTIFY:
      if (wParam == HAL_MCI_NOTIFY_SUCCESSFUL && gApp.mciNotify) gApp.mciNotify();
      return 0;
    default:
      if (AppInputMessage(window, message, wParam, lParam) == -1) return 0;
      return HalDefWindowProc(window, message, wParam, lParam);
  }
}

// The display owns every pixel of the window; there is nothing underneath to paint.
void AppPaintBlack() {}

void AppPaintBlackIfWindow() {
  if (gApp.window != 0) AppPaintBlack();
}

int32_t AppInputMessage(uint32_t, uint32_t message, uintptr_t wParam, intptr_t) {
  switch (message) {
    case HAL_WM_KEYDOWN: {
      gApp.lastVirtualKey = static_cast<uint32_t>(wParam);
      uint8_t bit = KeyBitOf(wParam);
      if (bit)
        gApp.keyBits |= bit;
      else if (wParam < KEY_TABLE.size())
        gKeyScanCode = KEY_TABLE[wParam].scanCode;
      else
        gKeyScanCode = 0;
      return -1;
    }
    case HAL_WM_KEYUP: {
      gApp.lastVirtualKey = 0;
      uint8_t bit = KeyBitOf(wParam);
      if (bit) {
        gApp.keyBits &= static_cast<uint8_t>(~bit);
      } else {
        uint8_t scan = wParam < KEY_TABLE.size() ? KEY_TABLE[wParam].scanCode : 0;
        // Releasing an older key must not drop the one pressed after it.
        if (gKeyScanCode == scan) gKeyScanCode = 0;
      }
      return -1;
    }
    case HAL_WM_LBUTTONDOWN:
    case HAL_WM_LBUTTONDBLCLK: gApp.mouseButtons |= APP_MOUSE_LEFT; return -1;
    case HAL_WM_LBUTTONUP: gApp.mouseButtons &= ~APP_MOUSE_LEFT; return -1;
    case HAL_WM_RBUTTONDOWN:
    case HAL_WM_RBUTTONDBLCLK: gApp.mouseButtons |= APP_MOUSE_RIGHT; return -1;
    case HAL_WM_RBUTTONUP: gApp.mouseButtons &= ~APP_MOUSE_RIGHT; return -1;
    default: return 0;
  }
}

uint8_t AppLastKeyChar() {
  return gApp.lastVirtualKey < KEY_TABLE.size() ? KEY_TABLE[gApp.lastVirtualKey].character : 0;
}

void AppReadCursor() {
  if (!gApp.active) return;
  HalGetCursorPos(&gApp.cursorX, &gApp.cursorY);
  gApp.cursorX = std::min(gApp.cursorX, 639);
  gApp.cursorY = std::min(gApp.cursorY, 479);
}

void AppSetCursor(int32_t x, int32_t y) {
  if (!gApp.active) return;
  gApp.cursorX = std::clamp(x, 0, 639);
  gApp.cursorY = std::clamp(y, 0, 479);
  HalSetCursorPos(gApp.cursorX, gApp.cursorY);
}

// ---- Timers ----
// Differences are unsigned 32-bit, so they survive the wrap of the clock.

uint32_t AppGetTime() { return HalTimeGetTime(); }

void AppTimerStart(int slot) {
  if (ValidSlot(slot)) gTimers[slot].start = HalTimeGetTime();
}

uint32_t AppTimerElapsed(int slot) { return ValidSlot(slot) ? HalTimeGetTime() - gTimers[slot].start : 0; }

void AppTimerSet(int slot, uint32_t ms) {
  if (ValidSlot(slot)) gTimers[slot].start = HalTimeGetTime() - ms;
}

void AppSaveTimerRange(int first, int last) {
  for (int slot = std::max(first, 0); slot <= last && slot < APP_TIMER_COUNT; ++slot)
    gTimers[slot].saved = HalTimeGetTime() - gTimers[slot].start;
}

void AppRestoreTimerRange(int first, int last) {
  for (int slot = std::max(first, 0); slot <= last && slot < APP_TIMER_COUNT; ++slot)
    gTimers[slot].start = HalTimeGetTime() - gTimers[slot].saved;
}

void AppPauseTimers(int32_t withFrameClock) {
  AppSaveTimerRange(0, withFrameClock ? APP_FRAME_TIMER : APP_FRAME_TIMER - 1);
}

void AppResumeTimers(int32_t withFrameClock) {
  AppRestoreTimerRange(0, withFrameClock ? APP_FRAME_TIMER : APP_FRAME_TIMER - 1);
}

// ---- Frame timing ----

float AppFrameWait() {
  constexpr uint32_t MIN_FRAME_MS = 25;
  AppPumpMessages();
  uint32_t elapsed = AppTimerElapsed(APP_FRAME_TIMER);
  while (elapsed < MIN_FRAME_MS) {
    AppPumpMessages();
    // The wait stays a poll of the clock and the pump; on the real clock it
    // also lets the processor rest while more than 2 ms remain.
    if (MIN_FRAME_MS - elapsed > 2) HalSleepBriefly();
    elapsed = AppTimerElapsed(APP_FRAME_TIMER);
  }
  gApp.frameRate = 1000.0f / static_cast<float>(elapsed);
  AppTimerStart(APP_FRAME_TIMER);
  return gApp.frameRate;
}

float AppFrameRateEvery5() {
  AppPumpMessages();
  if (++gApp.frameRateCalls % 5 == 0) {
    uint32_t elapsed = AppTimerElapsed(APP_FRAME_TIMER);
    if (elapsed != 0) {
      gApp.frameRate = 5000.0f / static_cast<float>(elapsed);
      AppTimerStart(APP_FRAME_TIMER);
    }
  }
  return gApp.frameRate;
}

// ---- MCI, date and video ----

void AppSetMciNotifyHandler(AppNotifyRoutine routine) { gApp.mciNotify = routine; }

void AppFormatDate(char* buffer) {
  std::time_t now = HalCalendarNow();
  std::tm local{};
  localtime_r(&now, &local);
  // The full calendar year: "12-31-1999", not the "12-31-99" / "1-1-100" of a
  // years-since-1900 field. It fits the 12 bytes of a save label.
  char text[40] = {};
  std::snprintf(text, sizeof text, "%d-%d-%d", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
  std::memcpy(buffer, text, APP_DATE_BYTES - 1);
  buffer[APP_DATE_BYTES - 1] = '\0';
}

namespace {
void ClearVideoState() {
  gApp.videoDevice = 0;
  gApp.videoPlaying = 0;
  gApp.videoNotifyPending = 0;
  std::fill(std::begin(gApp.videoRect), std::end(gApp.videoRect), int16_t{0});
}
}  // namespace

// There is no video device behind the window: the open fails (code 1), which
// the game never meets since it plays no video itself.
int32_t AppPlayVideo(const char*, int32_t, int32_t, int32_t, int32_t) {
  ClearVideoState();
  return 1;
}

void AppCloseVideo() { ClearVideoState(); }

uint8_t AppIsVideoPlaying() { return gApp.videoPlaying; }

int32_t AppQueryBoardMemory() {
  switch (gAppBoard.boardType) {
    case 0:
    case 1:
    case 3: return gAppBoard.frameBufferMb;
    default: return 2;
  }
}

void AppResetForTest() {
  gApp = AppState{};
  gKeyScanCode = 0;
  for (TimerSlot& t : gTimers) t = TimerSlot{};
}
