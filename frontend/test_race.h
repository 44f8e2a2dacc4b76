// The test-only override of what the placeholder front end starts.
#pragma once

// Reads TORVANE_TEST_RACE once and applies it to the race about to load.
void FrontEndApplyTestRace();
