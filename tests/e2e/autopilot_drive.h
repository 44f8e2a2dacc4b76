// How the autopilot drives player 1: Up held, the side arrows toward a point
// of trajectory A ahead of the car, Down in sharp bends. Shared by the
// autopilot program and bench_race.
#pragma once
#include <cstdint>

// Told of every key the autopilot presses (down) or lets go.
using AutopilotKeyNote = void (*)(uint32_t frame, const char* key, bool down);

// Chooses the keys for shown frame `frame` while the race runs and posts a
// key message for each that changes; `note` (may be null) hears of each.
void AutopilotDrive(uint32_t frame, AutopilotKeyNote note);
