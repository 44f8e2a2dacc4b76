// One window and its message queue. The game sees a queue of messages with
// virtual-key codes, filled from SDL2 events or, headless, from a script or a
// test. Posting is thread-safe; peeking and dispatching belong to the main thread.
#pragma once
#include <cstdint>
#include <string>

enum HalMessage : uint32_t {
  HAL_WM_NULL = 0x0000,
  HAL_WM_DESTROY = 0x0002,
  HAL_WM_PAINT = 0x000F,
  HAL_WM_CLOSE = 0x0010,
  HAL_WM_QUIT = 0x0012,
  HAL_WM_ACTIVATEAPP = 0x001C,
  HAL_WM_NOTIFY = 0x004E,
  HAL_WM_KEYDOWN = 0x0100,
  HAL_WM_KEYUP = 0x0101,
  HAL_WM_CHAR = 0x0102,
  HAL_WM_SYSKEYDOWN = 0x0104,
  HAL_WM_SYSKEYUP = 0x0105,
  HAL_WM_COMMAND = 0x0111,
  HAL_WM_SYSCOMMAND = 0x0112,
  HAL_WM_MOUSEMOVE = 0x0200,
  HAL_WM_LBUTTONDOWN = 0x0201,
  HAL_WM_LBUTTONUP = 0x0202,
  HAL_WM_LBUTTONDBLCLK = 0x0203,
  HAL_WM_RBUTTONDOWN = 0x0204,
  HAL_WM_RBUTTONUP = 0x0205,
  HAL_WM_RBUTTONDBLCLK = 0x0206,
  HAL_MM_MCINOTIFY = 0x03B9,
};

// wParam of HAL_MM_MCINOTIFY when the command completed.
constexpr uintptr_t HAL_MCI_NOTIFY_SUCCESSFUL = 1;

// Virtual-key codes. Letters and digits are their upper-case ASCII codes.
enum HalVirtualKey : uint32_t {
  HAL_VK_BACK = 0x08, HAL_VK_TAB = 0x09, HAL_VK_RETURN = 0x0D,
  HAL_VK_SHIFT = 0x10, HAL_VK_CONTROL = 0x11, HAL_VK_MENU = 0x12, HAL_VK_PAUSE = 0x13,
  HAL_VK_CAPITAL = 0x14, HAL_VK_ESCAPE = 0x1B, HAL_VK_SPACE = 0x20,
  HAL_VK_PRIOR = 0x21, HAL_VK_NEXT = 0x22, HAL_VK_END = 0x23, HAL_VK_HOME = 0x24,
  HAL_VK_LEFT = 0x25, HAL_VK_UP = 0x26, HAL_VK_RIGHT = 0x27, HAL_VK_DOWN = 0x28,
  HAL_VK_INSERT = 0x2D, HAL_VK_DELETE = 0x2E,
  HAL_VK_NUMPAD0 = 0x60, HAL_VK_MULTIPLY = 0x6A, HAL_VK_ADD = 0x6B, HAL_VK_SUBTRACT = 0x6D,
  HAL_VK_DECIMAL = 0x6E, HAL_VK_DIVIDE = 0x6F, HAL_VK_F1 = 0x70, HAL_VK_F12 = 0x7B,
  HAL_VK_NUMLOCK = 0x90,
  HAL_VK_LSHIFT = 0xA0, HAL_VK_RSHIFT = 0xA1, HAL_VK_LCONTROL = 0xA2, HAL_VK_RCONTROL = 0xA3,
  HAL_VK_OEM_1 = 0xBA, HAL_VK_OEM_PLUS = 0xBB, HAL_VK_OEM_COMMA = 0xBC, HAL_VK_OEM_MINUS = 0xBD,
  HAL_VK_OEM_PERIOD = 0xBE, HAL_VK_OEM_2 = 0xBF, HAL_VK_OEM_3 = 0xC0, HAL_VK_OEM_4 = 0xDB,
  HAL_VK_OEM_5 = 0xDC, HAL_VK_OEM_6 = 0xDD, HAL_VK_OEM_7 = 0xDE, HAL_VK_OEM_8 = 0xDF,
  HAL_VK_OEM_102 = 0xE2,
};

// lParam bit of a key-down that repeats a key already held.
constexpr intptr_t HAL_KEY_PREVIOUS_DOWN = intptr_t{1} << 30;

struct HalMsg {
  uint32_t window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

using HalWindowProc = intptr_t (*)(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Reads TORVANE_HEADLESS and TORVANE_SCRIPT. Headless selects the virtual
// clock and no display; a script that does not parse ends the process with a
// message. Returns false when the script cannot be read.
bool HalInitFromEnv(std::string* error);
void HalSetHeadless(bool headless);
bool HalIsHeadless();
// Back to a fresh state: empty queue, no window, no script, headless, hooks kept.
void HalResetForTest();

// Starts SDL's video once for the process (nothing headless). A program set
// up by HalInitFromEnv asks for the session's display: the driver named in
// SDL_VIDEODRIVER, else x11 when DISPLAY is set, else wayland when
// WAYLAND_DISPLAY is; SDL's off-screen and dummy drivers are refused there.
// False, with the reason, when the machine cannot show a window.
bool HalVideoStart(std::string* error);
// The driver HalVideoStart asks for, from those three variables ("" when the
// session has no display); whether a driver puts windows on a screen.
std::string HalSessionVideoDriver(const char* sdlVideoDriver, const char* display, const char* waylandDisplay);
bool HalVideoDriverShowsWindows(const std::string& driver);

// The window. Its id is 1 while it exists, 0 after it was destroyed.
uint32_t HalWindowCreate(const char* title, HalWindowProc proc);
// A window of `width` x `height` in the middle of the screen, the cursor in
// its pixels, with an OpenGL drawable when `openGl`. Headless, like the other,
// it is a message queue alone.
uint32_t HalWindowCreateDialog(const char* title, HalWindowProc proc, int32_t width, int32_t height, bool openGl);
void HalWindowDestroy();
uint32_t HalWindowHandle();
void HalScreenSize(int32_t* width, int32_t* height);
void HalShowCursor(bool show);
void HalCaptureMouse(bool capture);
// Cursor in the logical size of the picture shown in the window (the screen
// size until the display sets it).
void HalGetCursorPos(int32_t* x, int32_t* y);
void HalSetCursorPos(int32_t x, int32_t y);
void HalSetLogicalSize(int32_t width, int32_t height);
void HalSetFocus();
// The SDL window behind it, for the display's presentation (null headless).
struct SDL_Window* HalWindowSdl();

// The queue.
void HalPostMessage(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void HalPostQuitMessage(int32_t exitCode);
// Takes the oldest message; false when none is waiting. Polls SDL events and
// the input script first.
bool HalPeekMessage(HalMsg* msg);
intptr_t HalDispatchMessage(const HalMsg& msg);
intptr_t HalDefWindowProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);
size_t HalQueueLength();

// A frame has been shown: the input script counts these for its frame lines,
// and the frame hooks run.
void HalNoteFrame();
uint32_t HalFrameCount();
// Stand-ins that follow the shown frames (the sound mix of a headless
// program) run from here. Adding one twice adds it once; resets keep them.
using HalFrameHook = void (*)();
void HalAddFrameHook(HalFrameHook hook);
// True once HalInitFromEnv chose a headless run: a whole program on the
// virtual clock. Tests that set the hal up themselves never are one.
bool HalHeadlessProgram();

// Input script ("down ESC at 1500 ms" and friends, format in the README).
bool HalScriptLoad(const std::string& text, std::string* error);
bool HalScriptLoadFile(const char* path, std::string* error);
bool HalScriptActive();

// Stand-ins that keep time without a thread of their own (the virtual CD)
// post their messages from a hook run at every peek. Adding one twice adds it once.
using HalPollHook = void (*)();
void HalAddPollHook(HalPollHook hook);

// Process end. Tests replace the hook to catch the exit instead of leaving.
using HalExitHook = void (*)(int code);
void HalSetExitHook(HalExitHook hook);
[[noreturn]] void HalExit(int code);

// SDL key to virtual key (0 when the game has no use for it). Letters follow
// the key's label (its keycode); digits and punctuation follow its position.
uint32_t HalVirtualKeyFromSdl(int32_t sdlKeycode, int32_t sdlScancode);
// Key name of the script format ("ESC", "F1", "A", "0x41") to virtual key; 0 when unknown.
uint32_t HalVirtualKeyFromName(const std::string& name);
