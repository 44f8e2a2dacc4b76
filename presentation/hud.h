// The pieces of the HUD, in the order HudDrawView and HudDrawSplitView call
// them (both declared in presentation.h). Layouts follow the current view and
// the screen width, so they hold at every resolution.
#pragma once
#include <cstdint>

struct Vehicle;
struct WheelState;

// The race time budget less the race clock: the remaining time, raised to
// 20000 ms so that a demo race never times out. Nothing is drawn.
void HudUpdateClockOnly();
// The race clock with its last-ten-seconds countdown; decides the time-out.
void HudDrawClock();
void HudDrawLapTimes(Vehicle* vehicle);
void HudDrawLapPosBoost(Vehicle* vehicle);
void HudDrawWheelPanel(Vehicle* vehicle);
// One wheel's light over the rectangle: out while the wheel is off, steady up
// to damage 20, blinking above.
void HudDrawWheelLight(const WheelState& wheel, uint32_t texture, float x0, float y0, float x1, float y1);
void HudDrawGuideArrow(Vehicle* vehicle);
