// The autopilot: torvane as it starts (the same libraries, HalInitFromEnv and
// WinMain, headless, in the data folder it is started in), with player 1
// driven round trajectory A by a poll hook that holds the keys a player
// would. Each key it presses or lets go is also written to the script file
// named on the command line, as "f<frame> down KEY" or "f<frame> up KEY", and
// the end of the race as "f<frame> end": torvane replaying that script gets
// the same messages at the same peeks and must run the same race.
//
//   autopilot SCRIPT_OUT
//
// The hook reads the clock only through HalTimePeek (here not at all), so it
// never moves the virtual clock on.
#include <cmath>
#include <cstdio>
#include <string>

#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "hal/window.h"
#include "race/race.h"
#include "race/trajectory.h"
#include "shell/game.h"

namespace {

// A script that never runs out keeps the run open.
constexpr const char* OPEN_SCRIPT = "f4294967295 end\n";
constexpr float AIM_AHEAD = 450.0f;  // the point of the line the car steers to is at least this far
constexpr int32_t STEER_DEAD_BAND = 6;
constexpr int32_t SHARP_BEND = 80;
constexpr float SHARP_BEND_VELOCITY = 110.0f;

enum Key { KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_COUNT };
constexpr const char* KEY_NAMES[KEY_COUNT] = {"UP", "DOWN", "LEFT", "RIGHT"};

struct Autopilot {
  std::FILE* script = nullptr;
  uint32_t lastFrame = 0;
  bool held[KEY_COUNT] = {};
  bool ended = false;
};
Autopilot gPilot;

void SetKey(uint32_t frame, int key, bool down) {
  if (gPilot.held[key] == down) return;
  gPilot.held[key] = down;
  HalPostMessage(HalWindowHandle(), down ? HAL_WM_KEYDOWN : HAL_WM_KEYUP, HalVirtualKeyFromName(KEY_NAMES[key]), 0);
  std::fprintf(gPilot.script, "f%u %s %s\n", frame, down ? "down" : "up", KEY_NAMES[key]);
  std::fflush(gPilot.script);
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

void Drive(uint32_t frame) {
  const Vehicle& car = *gPlayer1Vehicle;
  const int32_t error = HeadingError(car);
  const bool sharp = std::abs(error) > SHARP_BEND && car.velocity > SHARP_BEND_VELOCITY;
  SetKey(frame, KEY_UP, !sharp);
  SetKey(frame, KEY_DOWN, sharp);
  SetKey(frame, KEY_LEFT, error > STEER_DEAD_BAND);
  SetKey(frame, KEY_RIGHT, error < -STEER_DEAD_BAND);
}

// At the first peek of every shown frame.
void PollHook() {
  if (gPilot.ended) return;
  const uint32_t frame = HalFrameCount();
  if (frame == gPilot.lastFrame) return;
  gPilot.lastFrame = frame;
  if (gRace.raceFinished) {
    std::fprintf(gPilot.script, "f%u end\n", frame);
    std::fflush(gPilot.script);
    gPilot.ended = true;
    HalPostMessage(HalWindowHandle(), HAL_WM_CLOSE, 0, 0);
    return;
  }
  if (gRace.raceStarted && !gRace.raceLeft && gRace.trajectoriesLoaded && gPlayer1Vehicle) Drive(frame);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: autopilot SCRIPT_OUT\n");
    return 2;
  }
  gPilot.script = std::fopen(argv[1], "w");
  if (!gPilot.script) {
    std::fprintf(stderr, "autopilot: cannot write %s\n", argv[1]);
    return 2;
  }
  std::string error;
  if (!HalInitFromEnv(&error) || !HalScriptLoad(OPEN_SCRIPT, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  HalAddPollHook(PollHook);
  return WinMain(1, 0, "", 1);
}
