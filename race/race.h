// The race state and the race operations the rest of the game calls.
#pragma once
#include <cstdint>

struct RaceState {
  int32_t playersMode;  // 0 one player, 1 split screen, 2 network
  int32_t trackIndex;   // 0..9
  int32_t gameMode;     // 0 training, 1 arcade, 2 challenge, 3 championship, 4 network
  int32_t networkGame;
  uint8_t noHumanMode;
  uint8_t raceStarted;
  uint8_t raceFinished;
  uint8_t raceLeft;
  uint8_t firstLoad;     // the race loaders load the shared assets once
  uint8_t sessionStart;  // while set, loading copies player 1 over the local network record
  uint8_t extraCar;
  int32_t splitSideBySide;
  int32_t insetView;
  int32_t hudText;
  int32_t gauges;
  int32_t viewWidth;
  int32_t viewLeft;
  float frameRate;
  float timeStep;
  float timeStepFifth;
  float timeStepFourFifths;
  float frameHours;
  int32_t debugMode;
  int32_t netFrameMs;
};
extern RaceState gRace;

// The fields of a vehicle the shell and the keys read and write.
struct Vehicle {
  uint8_t cameraView;  // 0..2
  uint8_t finished;
  int32_t finishPosition;
  int32_t controllerType;  // 2 joystick, 3 wheel
};
extern Vehicle gPlayer1;
extern Vehicle gPlayer2;
extern Vehicle* gPlayer1Vehicle;
extern Vehicle* gPlayer2Vehicle;
extern Vehicle* gLocalNetVehicle;
// The second joystick button, polled once a frame for the whole game.
extern uint8_t gJoyButton2;

void RaceFrame();
void RaceFrameClock();
void RaceLoad(int32_t track);
int32_t FfbInitDevices();
void FfbStopAll();
void FfbRelease();
void AssetLoadVehicles();
