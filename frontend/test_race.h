// The test-only override of what the placeholder front end starts.
#pragma once

#include <cstdint>

// What the placeholder front end starts: a race, the attract demo once or
// round the tracks, or the credits backdrop.
enum TestStart : int32_t { TEST_START_RACE, TEST_START_DEMO, TEST_START_DEMO_REPEAT, TEST_START_CREDITS };
int32_t FrontEndTestStart();

// Reads TORVANE_TEST_RACE once and applies it to the race about to load.
void FrontEndApplyTestRace();
