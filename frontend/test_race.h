// The test-only preset of the menus' choices (TORVANE_TEST_RACE).
#pragma once

#include <cstdint>

// What the preset leaves the main page for: a race, the track preview or the
// attract demo, or the quit path to the credits.
enum TestStart : int32_t { TEST_START_RACE, TEST_START_DEMO, TEST_START_DEMO_REPEAT, TEST_START_CREDITS };

// Whether TORVANE_TEST_RACE is set.
bool FrontEndTestPresetSet();
// The first time it is asked, with TORVANE_TEST_RACE set: sets what the
// drums and pages would (track, modes, controllers, the effects option, the
// display index, whose mode it opens at once) and returns what the run
// starts; -1 without the setting and every later time.
int32_t FrontEndTakeTestPreset();
