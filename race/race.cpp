// Until the race simulation exists: a race is a few frames long, drawn black,
// and player 1 always finishes first.
#include "race/race.h"

#include "backend_common/display.h"
#include "platform/app.h"

RaceState gRace;
Vehicle gPlayer1;
Vehicle gPlayer2;
Vehicle* gPlayer1Vehicle;
Vehicle* gPlayer2Vehicle;
Vehicle* gLocalNetVehicle;
uint8_t gJoyButton2;

namespace {
constexpr int32_t RACE_FRAMES = 50;
int32_t gRaceFramesRun;
}  // namespace

void RaceLoad(int32_t track) {
  gRace.trackIndex = track;
  gRace.raceFinished = 0;
  gRace.raceLeft = 0;
  gRace.firstLoad = 0;
  gRaceFramesRun = 0;
  gPlayer1.finished = 0;
  gPlayer2.finished = 0;
}

void RaceFrame() {
  AppPumpMessages();
  RdrClear(0, 0, 0);
  if (++gRaceFramesRun >= RACE_FRAMES) {
    gPlayer1.finishPosition = 1;
    gPlayer2.finishPosition = 2;
    gRace.raceFinished = 1;
  }
}

void RaceFrameClock() {
  float rate = AppFrameWait();
  if (rate < 10.0f) rate = 10.0f;
  gRace.frameRate = rate;
  gRace.timeStep = 25.0f / rate;
  gRace.timeStepFifth = gRace.timeStep * 0.2f;
  gRace.timeStepFourFifths = gRace.timeStep * 0.8f;
  gRace.frameHours = 1.0f / (rate * 3600.0f);
}

int32_t FfbInitDevices() { return 0; }
void FfbStopAll() {}
void FfbRelease() {}
void AssetLoadVehicles() {}
