#include <SDL.h>

#include <vector>

#include "support/test_support.h"

namespace {

std::vector<HalMsg> gSeen;

intptr_t RecordingProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  gSeen.push_back(HalMsg{window, message, wParam, lParam});
  return HalDefWindowProc(window, message, wParam, lParam);
}

class HalWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(1000);
    gSeen.clear();
  }
  void TearDown() override { HalResetForTest(); }

  // Everything the queue holds now, dispatched in order.
  std::vector<uint32_t> Drain() {
    std::vector<uint32_t> kinds;
    HalMsg m;
    while (HalPeekMessage(&m)) {
      kinds.push_back(m.message);
      HalDispatchMessage(m);
    }
    return kinds;
  }
};

TEST_F(HalWindow, OpensActiveAndClosesThroughDestroy) {
  ASSERT_EQ(HalWindowCreate("T", RecordingProc), 1u);
  EXPECT_EQ(HalWindowCreate("T", RecordingProc), 0u);  // one window only
  EXPECT_EQ(Drain(), std::vector<uint32_t>{HAL_WM_ACTIVATEAPP});

  HalPostMessage(1, HAL_WM_CLOSE, 0, 0);
  Drain();
  ASSERT_EQ(gSeen.size(), 3u);
  EXPECT_EQ(gSeen[1].message, static_cast<uint32_t>(HAL_WM_CLOSE));
  EXPECT_EQ(gSeen[2].message, static_cast<uint32_t>(HAL_WM_DESTROY));
  EXPECT_EQ(HalWindowHandle(), 0u);
}

TEST_F(HalWindow, QuitComesAfterWhatWasAlreadyQueued) {
  HalWindowCreate("T", RecordingProc);
  HalPostMessage(1, HAL_WM_KEYDOWN, 'A', 0);
  HalPostQuitMessage(0);
  HalPostMessage(1, HAL_WM_KEYUP, 'A', 0);
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{HAL_WM_ACTIVATEAPP, HAL_WM_KEYDOWN, HAL_WM_QUIT, HAL_WM_KEYUP}));
}

// On SDL's dummy display: a held key's repeats carry the previous-state bit.
TEST_F(HalWindow, AutoRepeatedKeyDownsCarryThePreviousStateBit) {
  HalSetHeadless(false);
  ASSERT_EQ(HalWindowCreateDialog("D", RecordingProc, 200, 100, false), 1u);
  ASSERT_NE(HalWindowSdl(), nullptr);
  for (auto [type, repeat] : {std::pair{SDL_KEYDOWN, 0}, {SDL_KEYDOWN, 1}, {SDL_KEYDOWN, 1}, {SDL_KEYUP, 0}}) {
    SDL_Event e{};
    e.type = type;
    e.key.repeat = static_cast<Uint8>(repeat);
    e.key.keysym.sym = SDLK_a;
    e.key.keysym.scancode = SDL_SCANCODE_A;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  Drain();
  std::vector<std::pair<uint32_t, intptr_t>> keys;
  for (const HalMsg& m : gSeen)
    if (m.message == HAL_WM_KEYDOWN || m.message == HAL_WM_KEYUP) keys.emplace_back(m.message, m.lParam);
  EXPECT_EQ(keys, (std::vector<std::pair<uint32_t, intptr_t>>{{HAL_WM_KEYDOWN, 0},
                                                              {HAL_WM_KEYDOWN, HAL_KEY_PREVIOUS_DOWN},
                                                              {HAL_WM_KEYDOWN, HAL_KEY_PREVIOUS_DOWN},
                                                              {HAL_WM_KEYUP, 0}}));
}

// A program asks SDL for the session's display, never for one that shows nothing.
TEST(HalVideoDriver, TheSessionsDisplayIsAskedFor) {
  struct Case {
    const char *user, *display, *wayland, *driver;
    bool showsWindows;
  } cases[] = {
      {nullptr, ":0", nullptr, "x11", true},
      {nullptr, ":0", "wayland-0", "x11", true},  // SDL's own preference in a session with both
      {nullptr, nullptr, "wayland-0", "wayland", true},
      {"", "", "wayland-0", "wayland", true},
      {"wayland", ":0", nullptr, "wayland", true},  // the user's choice stands
      {"offscreen", ":0", nullptr, "offscreen", false},
      {"DUMMY", ":0", nullptr, "DUMMY", false},
      {nullptr, nullptr, nullptr, "", false},
      {nullptr, "", "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user ? c.user : "-") + " " + (c.display ? c.display : "-") + " " +
                 (c.wayland ? c.wayland : "-"));
    const std::string driver = HalSessionVideoDriver(c.user, c.display, c.wayland);
    EXPECT_EQ(driver, c.driver);
    EXPECT_EQ(HalVideoDriverShowsWindows(driver), c.showsWindows);
  }
}

TEST_F(HalWindow, ScriptFiresEachLineAfterTheOneBefore) {
  HalWindowCreate("T", RecordingProc);
  std::string error;
  ASSERT_TRUE(HalScriptLoad("# start\n"
                            "1100 down ESC\n"
                            "+50 up esc   # relative to the line before\n"
                            "f2 press a\n"
                            "+0 move 12 34\n",
                            &error))
      << error;
  Drain();
  gSeen.clear();

  HalClockSet(1099);
  EXPECT_TRUE(Drain().empty());
  HalClockSet(1100);
  EXPECT_EQ(Drain(), std::vector<uint32_t>{HAL_WM_KEYDOWN});
  HalClockSet(1149);
  EXPECT_TRUE(Drain().empty());
  HalClockSet(1150);
  EXPECT_EQ(Drain(), std::vector<uint32_t>{HAL_WM_KEYUP});

  HalNoteFrame();
  EXPECT_TRUE(Drain().empty());
  HalNoteFrame();
  EXPECT_EQ(Drain(), std::vector<uint32_t>{HAL_WM_KEYDOWN});
  EXPECT_EQ(gSeen.back().wParam, static_cast<uintptr_t>('A'));
  HalClockAdvance(100);  // a press holds the key for 100 ms
  // The cursor moves, the script has run out, and the window is asked to close.
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{HAL_WM_KEYUP, HAL_WM_CLOSE}));
  int32_t x, y;
  HalGetCursorPos(&x, &y);
  EXPECT_EQ(x, 12);
  EXPECT_EQ(y, 34);
  EXPECT_EQ(HalWindowHandle(), 0u);
}

TEST_F(HalWindow, EmptyScriptClosesAtOnceAndEndStopsEarly) {
  HalWindowCreate("T", RecordingProc);
  ASSERT_TRUE(HalScriptLoad("", nullptr));
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{HAL_WM_ACTIVATEAPP, HAL_WM_CLOSE}));

  HalWindowCreate("T", RecordingProc);
  ASSERT_TRUE(HalScriptLoad("1000 end\n1000 down A\n", nullptr));
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{HAL_WM_ACTIVATEAPP, HAL_WM_CLOSE}));
}

TEST(HalScript, RejectsMalformedLinesWithTheirNumber) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"100", "script line 1: expected '<when> <action>'"},
      {"\n\nx100 down A", "script line 3: bad time 'x100'"},
      {"+q down A", "script line 1: bad delay '+q'"},
      {"f down A", "script line 1: bad frame 'f'"},
      {"100 down", "script line 1: down needs a key"},
      {"100 down SUPER", "script line 1: unknown key 'SUPER'"},
      {"100 jump", "script line 1: unknown action 'jump'"},
      {"100 move 3", "script line 1: move needs x and y"},
      {"100 up A B", "script line 1: unexpected 'B'"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(HalScriptLoad(c.text, &error)) << c.text;
    EXPECT_EQ(error, c.error);
  }
  std::string error;
  EXPECT_FALSE(HalScriptLoadFile("/nonexistent/script.txt", &error));
  EXPECT_EQ(error, "cannot read script /nonexistent/script.txt");
}

TEST(HalKeys, NamesAndSdlKeysGiveVirtualKeys) {
  struct Case {
    const char* name;
    uint32_t vk;
  } names[] = {{"a", 'A'}, {"7", '7'},           {"ESC", 0x1B},  {"enter", 0x0D}, {"F1", 0x70},
               {"f12", 0x7B}, {"0x41", 'A'},     {"SHIFT", 0x10}, {"CTRL", 0x11}, {"LEFT", 0x25},
               {"F13", 0},  {"0x100", 0},        {"?", 0},       {"PGDN", 0x22}};
  for (const Case& c : names) EXPECT_EQ(HalVirtualKeyFromName(c.name), c.vk) << c.name;

  struct SdlCase {
    int32_t key, scancode;
    uint32_t vk;
  } keys[] = {
      {SDLK_q, SDL_SCANCODE_A, 'Q'},  // letters follow the label, wherever the key sits
      {SDLK_AMPERSAND, SDL_SCANCODE_1, '1'},  // digits follow the position
      {SDLK_0, SDL_SCANCODE_0, '0'},
      {SDLK_F5, SDL_SCANCODE_F5, 0x74},
      {SDLK_KP_7, SDL_SCANCODE_KP_7, 0x67},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 0x60},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 0x10},
      {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 0x11},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0x1B},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0x0D},
      {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 0xBA},
      {SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
      {SDLK_PRINTSCREEN, SDL_SCANCODE_PRINTSCREEN, 0},
  };
  for (const SdlCase& c : keys) EXPECT_EQ(HalVirtualKeyFromSdl(c.key, c.scancode), c.vk) << c.key;
}

TEST(HalClock, VirtualClockStepsAndWraps) {
  HalClockUseVirtual(0xFFFFFFFEu, 1);
  EXPECT_EQ(HalTimeGetTime(), 0xFFFFFFFEu);
  EXPECT_EQ(HalTimeGetTime(), 0xFFFFFFFFu);
  EXPECT_EQ(HalTimeGetTime(), 0u);
  EXPECT_EQ(HalTimePeek(), 1u);
  HalClockAdvance(10);
  EXPECT_EQ(HalTimePeek(), 11u);
  HalClockUseReal();
  EXPECT_FALSE(HalClockIsVirtual());
}

// Held, readings stand still; holds nest, and an extra release does not
// leave the clock held or frozen.
TEST(HalClock, AHeldVirtualClockStandsStillUntilTheLastRelease) {
  HalClockUseVirtual(100, 1);
  HalClockHold();
  HalClockHold();
  EXPECT_EQ(HalTimeGetTime(), 100u);
  EXPECT_EQ(HalTimeGetTime(), 100u);
  HalClockRelease();
  EXPECT_EQ(HalTimeGetTime(), 100u);
  HalClockAdvance(5);  // explicit moves still move it
  EXPECT_EQ(HalTimePeek(), 105u);
  HalClockRelease();
  HalClockRelease();
  EXPECT_EQ(HalTimeGetTime(), 105u);
  EXPECT_EQ(HalTimeGetTime(), 106u);
  HalClockHold();
  EXPECT_EQ(HalTimeGetTime(), 107u);
  EXPECT_EQ(HalTimeGetTime(), 107u);
  HalClockRelease();
  HalClockUseReal();
}

}  // namespace
