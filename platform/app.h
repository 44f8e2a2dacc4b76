// The application frame: the program entry, the one window and its procedure,
// the message pump, keyboard and mouse state from window messages, the forty
// timer slots, the frame wait, MCI notification, the date label and video.
#pragma once
#include <array>
#include <cstdint>

using AppNotifyRoutine = void (*)();

struct AppState {
  uint32_t instance;
  uint32_t window;        // 0 until created
  uint32_t paintContext;  // kept from the last paint message
  int32_t screenWidth;
  int32_t screenHeight;
  int32_t active;         // cursor routines do nothing while 0
  int32_t cursorX;
  int32_t cursorY;
  uint32_t mouseButtons;  // APP_MOUSE_*
  uint8_t keyBits;        // APP_KEY_*
  uint32_t lastVirtualKey;
  AppNotifyRoutine mciNotify;
  uint32_t videoDevice;
  uint8_t videoPlaying;
  uint32_t videoNotifyPending;
  int16_t videoRect[4];
  float frameRate;
  uint32_t frameRateCalls;
  int32_t exitCode;  // the process's status once the window closes: 0, or 1 after an error ended the game
};

enum : uint32_t { APP_MOUSE_LEFT = 1u << 0, APP_MOUSE_RIGHT = 1u << 1 };
enum : uint8_t {
  APP_KEY_UP = 1u << 0,
  APP_KEY_DOWN = 1u << 1,
  APP_KEY_RIGHT = 1u << 2,
  APP_KEY_LEFT = 1u << 3,
  APP_KEY_CTRL = 1u << 4,
  APP_KEY_SPACE = 1u << 5,
};

struct KeyTableEntry {
  uint8_t scanCode;
  uint8_t character;
};

struct TimerSlot {
  uint32_t start;
  uint32_t saved;
};

constexpr int APP_TIMER_COUNT = 40;
constexpr int APP_FRAME_TIMER = 39;
constexpr const char* APP_WINDOW_TITLE = "QVR 3DFX APPLICATION";

// What the display learnt of the first 3D board when it opened; the back end
// fills it.
struct AppBoardInfo {
  int32_t boardType;
  int32_t frameBufferMb;
};

extern AppState gApp;
extern AppBoardInfo gAppBoard;
extern uint8_t gKeyScanCode;
extern const std::array<KeyTableEntry, 256> KEY_TABLE;  // indexed by virtual key
extern TimerSlot gTimers[APP_TIMER_COUNT];

// The window.
int AppCreateWindow(uint32_t instance, uint32_t prevInstance, int32_t showCommand);
uint32_t AppGetWindow();
uint32_t AppGetInstance();
void AppGetScreenSize(int32_t* width, int32_t* height);
void AppSetHighPriority();
void AppCaptureMouse(int32_t release);
void AppQuit();
// The status the process ends with when the window closes (0 unless set).
void AppSetExitCode(int32_t code);
void AppMessageBox(const char* text);

// Message pump and window procedure.
void AppPumpMessages();
// Run by every AppPumpMessages after the window's messages: the network layer
// sets it, while a network game exists, to hand what the network received to
// its handlers on this thread. Null: nothing.
void AppSetPumpHook(AppNotifyRoutine hook);
intptr_t AppWindowProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void AppPaintBlack();
void AppPaintBlackIfWindow();
int32_t AppInputMessage(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);
uint8_t AppLastKeyChar();
void AppReadCursor();
void AppSetCursor(int32_t x, int32_t y);

// Timers.
uint32_t AppGetTime();
void AppTimerStart(int slot);
uint32_t AppTimerElapsed(int slot);
void AppTimerSet(int slot, uint32_t ms);
void AppSaveTimerRange(int first, int last);
void AppRestoreTimerRange(int first, int last);
void AppPauseTimers(int32_t withFrameClock);
void AppResumeTimers(int32_t withFrameClock);

// Frame timing.
float AppFrameWait();
float AppFrameRateEvery5();

// MCI, date and video.
void AppSetMciNotifyHandler(AppNotifyRoutine routine);
// Writes month-day-year; `buffer` must hold APP_DATE_BYTES.
constexpr int APP_DATE_BYTES = 12;
void AppFormatDate(char* buffer);
int32_t AppPlayVideo(const char* fileName, int32_t x, int32_t y, int32_t width, int32_t height);
void AppCloseVideo();
uint8_t AppIsVideoPlaying();

// The board's frame-buffer memory in MB where its type reports it (0, 1, 3),
// otherwise 2.
int32_t AppQueryBoardMemory();

// Back to the state before WinMain (tests).
void AppResetForTest();
