// The system's plain warning beep: the terminal's bell, when the program
// writes to a terminal. Counted, so that tests can tell it sounded.
#pragma once
#include <cstdint>

void HalBeep();
// Beeps since the program started.
uint32_t HalBeepCount();
