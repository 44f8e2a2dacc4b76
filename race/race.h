// The race state and the race operations the rest of the game calls.
//
// gRace is written by the front end (the choices before a race), the race
// loader (the per-track values), the race frame and its clock, the race
// messages (raceStarted) and the drive step (raceFinished); the shell owns the
// fields at the end of the block. Everything else only reads it.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"
#include "race/vehicle.h"

struct RaceState {
  int32_t playersMode;  // 0 one player, 1 split screen, 2 network
  int32_t trackIndex;   // 0..9
  int32_t gameMode;     // 0 training, 1 arcade, 2 challenge, 3 championship, 4 network
  int32_t networkGame;
  uint8_t noHumanMode;  // attract demo and credits backdrop: the extra car drives for player 1
  uint8_t raceStarted;
  uint8_t raceFinished;
  uint8_t raceLeft;
  int32_t waitingForHost;
  uint8_t trajectoriesLoaded;
  uint8_t sortedDrawing;
  uint8_t viewIndex;  // 0 while the first view is drawn, 1 while the second
  uint8_t flyInActive;
  int32_t splitSideBySide;
  int32_t insetView;
  Camera* gViewCamera[2];
  int32_t viewHeight;  // the rectangle HUD positions are scaled to
  int32_t viewTop;
  Camera* currentPose;  // the pose of the vehicle whose step runs now
  float frameRate;
  float timeStep;  // 25 / frameRate: one unit is one frame at 25 frames a second
  float timeStepFifth;
  float timeStepFourFifths;
  float frameHours;
  float tickClock;
  int32_t ticks;
  uint8_t tickPassed;
  float viewDistance;
  int32_t debugMode;
  int32_t clearColour[3];
  int32_t horizonColour[3];
  float waterLevel;  // -10000 on a track without water
  int32_t lapCount;
  int32_t timeLimit;  // ms
  int32_t timeRemaining;  // ms, written by the HUD's race clock
  uint32_t frameCounter;  // raised once per drawn race frame
  uint8_t minimapOn;
  uint32_t mapTexture;  // the minimap's picture; 0: none, only the icons are drawn
  int32_t particleColourA[3];
  int32_t particleAlphaA;
  int32_t particleColourAShifted[3];  // the same values << 8
  int32_t particleAlphaAShifted;
  int32_t particleColourB[3];
  int32_t particleAlphaB;
  int32_t particleColourBShifted[3];
  int32_t particleAlphaBShifted;
  int32_t lightColour[3];
  uint32_t groundTexture;
  uint32_t trackTextures[5];  // sky layer or water, sun, letters, digits, sky ring
  int32_t skyLoopSlot;
  int32_t netFrameMs;
  // The shell's own.
  uint8_t firstLoad;     // the race loaders load the shared assets once
  uint8_t sessionStart;  // while set, loading copies player 1 over the local network record
  uint8_t extraCar;
  int32_t hudText;
  int32_t gauges;
  int32_t viewWidth;
  int32_t viewLeft;
};
extern RaceState gRace;

// Set while an inset view (the mirror, the demo's picture-in-picture) draws
// its passes; written by those views.
extern uint8_t gViewInsetPass;
// Whether the pass being drawn moves the world's per-frame state on (effects,
// decor, weather): only the first view does, never the second view nor an
// inset, so turning the mirror on changes nothing but the picture.
inline bool RaceViewAdvances() { return gRace.viewIndex == 0 && !gViewInsetPass; }

// Indices of gRace.trackTextures.
enum TrackTextureSlot { TRACK_TEX_SKY = 0, TRACK_TEX_SUN = 1, TRACK_TEX_LETTERS = 2, TRACK_TEX_DIGITS = 3, TRACK_TEX_RING = 4 };

// The second joystick button, polled once a frame for the whole game.
extern uint8_t gJoyButton2;

// The race frame and its clock.
void RaceFrame();
void RaceLogicStep();
void RaceRenderView();
void RaceClearView();
void RaceSetViewDepth();
void RaceDrawSkyRing(float baseHeight, float ringHeight);
void RaceFlushScene();
void RaceFrameClock();
void RaceSaveScreenshot();
void VehicleDriveHuman(Vehicle* vehicle);
void VehicleDriveComputerCars();

// The clock's private state, readable for the debug print and for tests.
struct RaceClock {
  float displayAverage;
  float sum;
  int32_t countdown;
  int32_t shotNumber;
};
extern RaceClock gRaceClock;

void RaceLoad(int32_t track);
void RaceShowLoadingPicture();
// After a display-mode change during a race: the textures, the tyre marks'
// blends, the sound bank and the ambient loop again; with `remarkWater` the
// faces of the sky-layer texture follow the sky-and-fog option anew.
void RaceReloadAssets(uint8_t remarkWater);
// The loader's steps.
void RacePlaceVehicles();
void RaceResetComputerCar(Vehicle* vehicle);
void RaceClearTyreMarks();
// The start of a network race: the host waits for every client (at most
// 30000 ms), a client for the host's start signal; an abort by the network
// layer leaves a one-player race.
void RaceNetStartSync();

// The tyre-mark ring: laid by the wheel pass, drawn and faded by the mark
// pass, emptied by the race loader.
constexpr int TYRE_MARK_ENTRIES = 400;
struct TyreMark {
  uint8_t inUse;
  float corners[4][3];  // 1 and 2 at the older end, 3 and 4 at the newer
  float depthBias;
  float alpha;
};
extern TyreMark gTyreMarks[TYRE_MARK_ENTRIES];
int32_t FfbInitDevices();
void FfbStopAll();
void FfbRelease();
void AssetLoadVehicles();
