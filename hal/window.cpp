#include "hal/window.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <vector>

#include "hal/clock.h"
#include "hal/window_internal.h"

namespace {

struct WindowState {
  std::mutex queueLock;
  std::deque<HalMsg> queue;
  bool headless = true;
  uint32_t window = 0;
  HalWindowProc proc = nullptr;
  SDL_Window* sdlWindow = nullptr;
  bool sdlVideoStarted = false;
  int32_t screenW = 640, screenH = 480;
  int32_t logicalW = 640, logicalH = 480;
  int32_t cursorX = 0, cursorY = 0;  // headless cursor
  uint32_t frames = 0;
  bool headlessProgram = false;
  bool program = false;  // a whole program, set up by HalInitFromEnv
};

WindowState gWin;
HalExitHook gExitHook = nullptr;
std::vector<HalPollHook> gPollHooks;

// Filled by other stand-ins' static initialisers, so built on first use.
std::vector<HalFrameHook>& FrameHooks() {
  static std::vector<HalFrameHook> hooks;
  return hooks;
}

}  // namespace

void HalSetHeadless(bool headless) { gWin.headless = headless; }
bool HalIsHeadless() { return gWin.headless; }

bool HalInitFromEnv(std::string* error) {
  const char* headless = std::getenv("TORVANE_HEADLESS");
  bool isHeadless = headless && *headless && std::string(headless) != "0";
  HalSetHeadless(isHeadless);
  gWin.headlessProgram = isHeadless;
  gWin.program = true;
  if (isHeadless) {
    // Every clock reading moves time on by a millisecond, so busy waits end
    // after a bounded number of polls and two runs are identical.
    HalClockUseVirtual(0, 1);
    HalCalendarOverride(946684800);  // 2000-01-01, for repeatable date labels
  } else {
    HalClockUseReal();
  }
  const char* script = std::getenv("TORVANE_SCRIPT");
  if (script && *script) return HalScriptLoadFile(script, error);
  // Headless without a script: an empty one, so the run closes its window and ends.
  if (isHeadless) return HalScriptLoad("", error);
  return true;
}

void HalResetForTest() {
  HalWindowDestroy();
  {
    std::lock_guard<std::mutex> lock(gWin.queueLock);
    gWin.queue.clear();
  }
  gWin.headless = true;
  gWin.screenW = gWin.logicalW = 640;
  gWin.screenH = gWin.logicalH = 480;
  gWin.cursorX = gWin.cursorY = 0;
  gWin.frames = 0;
  gWin.headlessProgram = false;
  gWin.program = false;
  HalScriptReset();
}

std::string HalSessionVideoDriver(const char* sdlVideoDriver, const char* display, const char* waylandDisplay) {
  if (sdlVideoDriver && *sdlVideoDriver) return sdlVideoDriver;
  if (display && *display) return "x11";
  if (waylandDisplay && *waylandDisplay) return "wayland";
  return "";
}

bool HalVideoDriverShowsWindows(const std::string& driver) {
  return !driver.empty() && SDL_strcasecmp(driver.c_str(), "offscreen") != 0 &&
         SDL_strcasecmp(driver.c_str(), "dummy") != 0;
}

namespace {

constexpr const char* HEADLESS_HINT = " (TORVANE_HEADLESS=1 runs without one)";

}  // namespace

bool HalVideoStart(std::string* error) {
  if (gWin.headless || gWin.sdlVideoStarted) return true;
  // A program asks for the session's own display: left to itself, SDL falls
  // back to its off-screen driver when that fails, and the program would then
  // wait for ever behind a window nobody sees. Tests that set the hal up
  // themselves may use SDL's dummy driver.
  if (gWin.program) {
    const std::string driver = HalSessionVideoDriver(std::getenv("SDL_VIDEODRIVER"), std::getenv("DISPLAY"),
                                                     std::getenv("WAYLAND_DISPLAY"));
    if (driver.empty()) {
      *error = std::string("cannot open a window: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)") +
               HEADLESS_HINT;
      return false;
    }
    if (!HalVideoDriverShowsWindows(driver)) {
      *error = "cannot open a window: SDL's video driver '" + driver + "' shows nothing" + HEADLESS_HINT;
      return false;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, driver.c_str());
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    const char* display = std::getenv("DISPLAY");
    *error = std::string("cannot open a window: ") + SDL_GetError() +
             (display && *display ? std::string(" (DISPLAY=") + display + ")" : std::string()) + HEADLESS_HINT;
    return false;
  }
  const char* current = SDL_GetCurrentVideoDriver();
  if (gWin.program && !HalVideoDriverShowsWindows(current ? current : "")) {
    *error = std::string("cannot open a window: SDL chose its video driver '") + (current ? current : "") +
             "', which shows nothing" + HEADLESS_HINT;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  // Started once, for the whole process: a restart can land on another driver.
  gWin.sdlVideoStarted = true;
  return true;
}

namespace {

// True when SDL placed the window on a display of the session's windowing
// system (X11, Wayland, the console's KMS), not in memory.
bool OnRealDisplay(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem != SDL_SYSWM_UNKNOWN;
}

// width 0: full screen. Otherwise a window of that size in the middle of the screen.
uint32_t CreateWindow(const char* title, HalWindowProc proc, int32_t width, int32_t height, uint32_t sdlFlags) {
  if (gWin.window != 0) return 0;
  if (!gWin.headless) {
    std::string error;
    if (!HalVideoStart(&error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 0;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
      gWin.screenW = mode.w;
      gWin.screenH = mode.h;
    }
    const bool full = width <= 0 || height <= 0;
    gWin.sdlWindow = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      full ? gWin.screenW : width, full ? gWin.screenH : height,
                                      (full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) | SDL_WINDOW_SHOWN | sdlFlags);
    if (!gWin.sdlWindow) {
      std::fprintf(stderr, "cannot open a window: %s\n", SDL_GetError());
      return 0;
    }
    if (gWin.program && !OnRealDisplay(gWin.sdlWindow)) {
      std::fprintf(stderr, "cannot open a window: SDL's window is on no display (%s)%s\n", SDL_GetError(),
                   HEADLESS_HINT);
      SDL_DestroyWindow(gWin.sdlWindow);
      gWin.sdlWindow = nullptr;
      return 0;
    }
    gWin.logicalW = full ? gWin.screenW : width;
    gWin.logicalH = full ? gWin.screenH : height;
  }
  gWin.proc = proc;
  gWin.window = 1;
  // The window is active from the moment it opens; headless it never loses focus.
  HalPostMessage(gWin.window, HAL_WM_ACTIVATEAPP, 1, 0);
  return gWin.window;
}

}  // namespace

// The game's window can take an OpenGL context, for torvaned3d's display; the
// software accelerator's presentation works on it as well.
uint32_t HalWindowCreate(const char* title, HalWindowProc proc) {
  return CreateWindow(title, proc, 0, 0, SDL_WINDOW_OPENGL);
}

uint32_t HalWindowCreateDialog(const char* title, HalWindowProc proc, int32_t width, int32_t height, bool openGl) {
  if (width <= 0 || height <= 0) return 0;
  return CreateWindow(title, proc, width, height, openGl ? SDL_WINDOW_OPENGL : 0);
}

void HalWindowDestroy() {
  if (gWin.window == 0) return;
  uint32_t w = gWin.window;
  if (gWin.proc) gWin.proc(w, HAL_WM_DESTROY, 0, 0);
  if (gWin.sdlWindow) {
    SDL_DestroyWindow(gWin.sdlWindow);
    gWin.sdlWindow = nullptr;
  }
  gWin.window = 0;
}

uint32_t HalWindowHandle() { return gWin.window; }
SDL_Window* HalWindowSdl() { return gWin.sdlWindow; }

void HalScreenSize(int32_t* width, int32_t* height) {
  *width = gWin.screenW;
  *height = gWin.screenH;
}

void HalShowCursor(bool show) {
  if (gWin.sdlWindow) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void HalCaptureMouse(bool capture) {
  if (gWin.sdlWindow) SDL_SetWindowGrab(gWin.sdlWindow, capture ? SDL_TRUE : SDL_FALSE);
}

void HalSetLogicalSize(int32_t width, int32_t height) {
  if (width > 0 && height > 0) {
    gWin.logicalW = width;
    gWin.logicalH = height;
  }
}

void HalGetCursorPos(int32_t* x, int32_t* y) {
  if (gWin.sdlWindow) {
    int mx = 0, my = 0, ww = 1, wh = 1;
    SDL_GetMouseState(&mx, &my);
    SDL_GetWindowSize(gWin.sdlWindow, &ww, &wh);
    gWin.cursorX = static_cast<int32_t>(static_cast<int64_t>(mx) * gWin.logicalW / (ww > 0 ? ww : 1));
    gWin.cursorY = static_cast<int32_t>(static_cast<int64_t>(my) * gWin.logicalH / (wh > 0 ? wh : 1));
  }
  *x = gWin.cursorX;
  *y = gWin.cursorY;
}

void HalSetCursorPos(int32_t x, int32_t y) {
  gWin.cursorX = x;
  gWin.cursorY = y;
  if (gWin.sdlWindow) {
    int ww = 1, wh = 1;
    SDL_GetWindowSize(gWin.sdlWindow, &ww, &wh);
    SDL_WarpMouseInWindow(gWin.sdlWindow, static_cast<int>(static_cast<int64_t>(x) * ww / gWin.logicalW),
                          static_cast<int>(static_cast<int64_t>(y) * wh / gWin.logicalH));
  }
}

void HalSetFocus() {
  if (gWin.sdlWindow) SDL_RaiseWindow(gWin.sdlWindow);
}

void HalPostMessage(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard<std::mutex> lock(gWin.queueLock);
  gWin.queue.push_back(HalMsg{window, message, wParam, lParam});
}

void HalPostQuitMessage(int32_t exitCode) {
  HalPostMessage(0, HAL_WM_QUIT, static_cast<uintptr_t>(static_cast<uint32_t>(exitCode)), 0);
}

size_t HalQueueLength() {
  std::lock_guard<std::mutex> lock(gWin.queueLock);
  return gWin.queue.size();
}

namespace {

void PostMouse(uint8_t button, bool down, uint8_t clicks) {
  uint32_t msg;
  if (button == SDL_BUTTON_LEFT)
    msg = down ? (clicks >= 2 ? HAL_WM_LBUTTONDBLCLK : HAL_WM_LBUTTONDOWN) : HAL_WM_LBUTTONUP;
  else if (button == SDL_BUTTON_RIGHT)
    msg = down ? (clicks >= 2 ? HAL_WM_RBUTTONDBLCLK : HAL_WM_RBUTTONDOWN) : HAL_WM_RBUTTONUP;
  else
    return;
  HalPostMessage(gWin.window, msg, 0, 0);
}

void PollSdlEvents() {
  if (!gWin.sdlWindow) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        uint32_t vk = HalVirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
        if (vk == 0) break;
        bool down = e.type == SDL_KEYDOWN;
        // Alt combinations arrive as system keys, which the game swallows.
        bool sys = vk == HAL_VK_MENU || (e.key.keysym.mod & KMOD_ALT);
        uint32_t msg = sys ? (down ? HAL_WM_SYSKEYDOWN : HAL_WM_SYSKEYUP) : (down ? HAL_WM_KEYDOWN : HAL_WM_KEYUP);
        // An auto-repeated key-down carries the previous-state bit, as the
        // platform's did, so a reader can tell it from a fresh press.
        intptr_t lParam = down && e.key.repeat ? HAL_KEY_PREVIOUS_DOWN : 0;
        HalPostMessage(gWin.window, msg, vk, lParam);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        PostMouse(e.button.button, e.type == SDL_MOUSEBUTTONDOWN, e.button.clicks);
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
          HalPostMessage(gWin.window, HAL_WM_ACTIVATEAPP, 1, 0);
        else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
          HalPostMessage(gWin.window, HAL_WM_ACTIVATEAPP, 0, 0);
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
          HalPostMessage(gWin.window, HAL_WM_PAINT, 0, 0);
        else if (e.window.event == SDL_WINDOWEVENT_CLOSE)
          HalPostMessage(gWin.window, HAL_WM_CLOSE, 0, 0);
        break;
      case SDL_QUIT:
        HalPostMessage(gWin.window, HAL_WM_CLOSE, 0, 0);
        break;
      default:
        break;
    }
  }
}

}  // namespace

bool HalPeekMessage(HalMsg* msg) {
  PollSdlEvents();
  HalScriptPoll();
  for (HalPollHook hook : gPollHooks) hook();
  std::lock_guard<std::mutex> lock(gWin.queueLock);
  if (gWin.queue.empty()) {
    // On the virtual clock an empty poll takes a moment, so a loop that only
    // waits for input still sees the script's later events arrive.
    HalTimeGetTime();
    return false;
  }
  *msg = gWin.queue.front();
  gWin.queue.pop_front();
  return true;
}

intptr_t HalDispatchMessage(const HalMsg& msg) {
  if (msg.window == 0 || msg.window != gWin.window || !gWin.proc) return 0;
  return gWin.proc(msg.window, msg.message, msg.wParam, msg.lParam);
}

intptr_t HalDefWindowProc(uint32_t window, uint32_t message, uintptr_t, intptr_t) {
  if (message == HAL_WM_CLOSE && window == gWin.window) HalWindowDestroy();
  return 0;
}

void HalNoteFrame() {
  ++gWin.frames;
  for (HalFrameHook hook : FrameHooks()) hook();
}
uint32_t HalFrameCount() { return gWin.frames; }

void HalAddFrameHook(HalFrameHook hook) {
  for (HalFrameHook h : FrameHooks())
    if (h == hook) return;
  FrameHooks().push_back(hook);
}

bool HalHeadlessProgram() { return gWin.headlessProgram; }

void HalAddPollHook(HalPollHook hook) {
  for (HalPollHook h : gPollHooks)
    if (h == hook) return;
  gPollHooks.push_back(hook);
}

void HalSetExitHook(HalExitHook hook) { gExitHook = hook; }

void HalExit(int code) {
  if (gExitHook) gExitHook(code);
  if (gWin.sdlVideoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  std::exit(code);
}
