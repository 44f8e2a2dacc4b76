// Millisecond clock behind every timer of the game.
// Real mode reads a steady clock; virtual mode is a counter that tests and
// headless runs drive, so busy waits end at once and runs repeat exactly.
#pragma once
#include <cstdint>
#include <ctime>

// Milliseconds, 32-bit, wrapping.
uint32_t HalTimeGetTime();
// The same reading without moving the virtual clock on.
uint32_t HalTimePeek();

void HalClockUseReal();
// Virtual clock starting at `start`; every HalTimeGetTime call advances it by
// `autoStep` ms afterwards (0: it only moves through HalClockAdvance).
void HalClockUseVirtual(uint32_t start, uint32_t autoStep);
bool HalClockIsVirtual();
void HalClockAdvance(uint32_t ms);
// While held, readings of the virtual clock do not move it on: work that must
// cost a headless run no time (an extra view that only draws) holds it. Holds
// nest; the real clock is not affected.
void HalClockHold();
void HalClockRelease();
void HalClockSet(uint32_t ms);

// Gives up the processor briefly in real mode; does nothing on the virtual clock.
void HalSleepBriefly();

// Calendar time for date labels; a test can pin it (0 restores the system's).
std::time_t HalCalendarNow();
void HalCalendarOverride(std::time_t t);
