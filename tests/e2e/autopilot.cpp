// The autopilot: torvane as it starts (the same libraries, HalInitFromEnv and
// WinMain, headless, in the data folder it is started in), with player 1
// driven round trajectory A by a poll hook that holds the keys a player
// would. Each key it presses or lets go is also written to the script file
// named on the command line, as "f<frame> down KEY" or "f<frame> up KEY", and
// the end of the race as "f<frame> end": torvane replaying that script gets
// the same messages at the same peeks and must run the same race.
//
//   autopilot SCRIPT_OUT [STATE_LOG]
//
// With STATE_LOG the run is the jump run: every change of player 1's state
// word is written there as "f<frame> state N", and the run ends (its script
// with it) JUMP_RUN_TAIL frames after player 1 has come back onto its wheels
// from a scripted jump's flight.
//
// The hook reads the clock only through HalTimePeek (here not at all), so it
// never moves the virtual clock on.
#include <cstdio>
#include <string>

#include "autopilot_drive.h"
#include "hal/window.h"
#include "race/race.h"
#include "shell/game.h"

namespace {

// A script that never runs out keeps the run open.
constexpr const char* OPEN_SCRIPT = "f4294967295 end\n";
constexpr uint32_t JUMP_RUN_TAIL = 50;

struct Autopilot {
  std::FILE* script = nullptr;
  uint32_t lastFrame = 0;
  bool ended = false;
  std::FILE* states = nullptr;  // the jump run's log
  int32_t lastState = -1;
  bool flown = false;        // player 1 has been in the jump's flight
  uint32_t landedFrame = 0;  // and came back to state 0 then
};
Autopilot gPilot;

void WriteKey(uint32_t frame, const char* key, bool down) {
  std::fprintf(gPilot.script, "f%u %s %s\n", frame, down ? "down" : "up", key);
  std::fflush(gPilot.script);
}

// At the first peek of every shown frame.
void PollHook() {
  if (gPilot.ended) return;
  const uint32_t frame = HalFrameCount();
  if (frame == gPilot.lastFrame) return;
  gPilot.lastFrame = frame;
  bool end = gRace.raceFinished != 0;
  if (gPilot.states && gPlayer1Vehicle) {
    const int32_t state = gPlayer1Vehicle->state;
    if (state != gPilot.lastState) {
      std::fprintf(gPilot.states, "f%u state %d\n", frame, state);
      std::fflush(gPilot.states);
      gPilot.lastState = state;
      if (state == VEHICLE_JUMP_FLIGHT) gPilot.flown = true;
      if (state == VEHICLE_ON_GROUND && gPilot.flown && gPilot.landedFrame == 0) gPilot.landedFrame = frame;
    }
    end = end || (gPilot.landedFrame != 0 && frame >= gPilot.landedFrame + JUMP_RUN_TAIL);
  }
  if (end) {
    std::fprintf(gPilot.script, "f%u end\n", frame);
    std::fflush(gPilot.script);
    gPilot.ended = true;
    HalPostMessage(HalWindowHandle(), HAL_WM_CLOSE, 0, 0);
    return;
  }
  AutopilotDrive(frame, WriteKey);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: autopilot SCRIPT_OUT [STATE_LOG]\n");
    return 2;
  }
  if (argc == 3 && !(gPilot.states = std::fopen(argv[2], "w"))) {
    std::fprintf(stderr, "autopilot: cannot write %s\n", argv[2]);
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
