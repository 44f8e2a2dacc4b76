#include "autopilot_drive.h"

#include <cmath>
#include <cstdlib>

#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "hal/window.h"
#include "race/race.h"
#include "race/trajectory.h"

namespace {

constexpr float AIM_AHEAD = 450.0f;  // the point of the line the car steers to is at least this far
constexpr float STEER_LOCK = 320.0f;
constexpr float STEER_MARGIN = 24.0f;
constexpr int32_t SHARP_BEND = 80;
constexpr float SHARP_BEND_VELOCITY = 110.0f;

enum Key { KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_COUNT };
constexpr const char* KEY_NAMES[KEY_COUNT] = {"UP", "DOWN", "LEFT", "RIGHT"};
bool gHeld[KEY_COUNT];

void SetKey(uint32_t frame, int key, bool down, AutopilotKeyNote note) {
  if (gHeld[key] == down) return;
  gHeld[key] = down;
  HalPostMessage(HalWindowHandle(), down ? HAL_WM_KEYDOWN : HAL_WM_KEYUP, HalVirtualKeyFromName(KEY_NAMES[key]), 0);
  if (note) note(frame, KEY_NAMES[key], down);
}

// The heading difference from the car to a point of the course ahead of it.
int32_t HeadingError(const Vehicle& car) {
  const Trajectory& course = gTrajectories[0];
  const Camera& p = car.pose;
  int32_t nearest = 0;
  float best = 1e30f;
  for (int32_t i = 0; i < course.count; ++i) {
    const float dx = course.points[i].x - p.x, dz = course.points[i].z - p.z;
    if (dx * dx + dz * dz < best) {
      best = dx * dx + dz * dz;
      nearest = i;
    }
  }
  int32_t aim = nearest;
  for (int32_t step = 0; step < course.count; ++step) {
    aim = (aim + 1) % course.count;
    const float dx = course.points[aim].x - p.x, dz = course.points[aim].z - p.z;
    if (dx * dx + dz * dz > AIM_AHEAD * AIM_AHEAD) break;
  }
  const int32_t toward = MathAngleTo(p.z, p.x, course.points[aim].z, course.points[aim].x);
  return MathAngleDiff(TruncI32(p.heading), toward);
}

}  // namespace

void AutopilotDrive(uint32_t frame, AutopilotKeyNote note) {
  if (!gRace.raceStarted || gRace.raceLeft || gRace.raceFinished || !gRace.trajectoriesLoaded || !gPlayer1Vehicle ||
      gTrajectories[0].count < 2)
    return;
  const Vehicle& car = *gPlayer1Vehicle;
  const int32_t error = HeadingError(car);
  const bool sharp = std::abs(error) > SHARP_BEND && car.velocity > SHARP_BEND_VELOCITY;
  SetKey(frame, KEY_UP, !sharp, note);
  SetKey(frame, KEY_DOWN, sharp, note);
  // The steering follows four times the error, as the computer driver's does:
  // an arrow is held while the wheel is short of that by more than a frame's turn.
  const float wanted = std::fmax(-STEER_LOCK, std::fmin(STEER_LOCK, static_cast<float>(error * 4)));
  SetKey(frame, KEY_LEFT, car.steerInput < wanted - STEER_MARGIN, note);
  SetKey(frame, KEY_RIGHT, car.steerInput > wanted + STEER_MARGIN, note);
}
