// Until the whole race loader exists: the loading picture, the track's
// textures and objects, its mesh (or terrain), cell grid, position map and
// trajectories under its sky, the per-track values from the tables, the first
// view behind the start grid, and the start countdown.
#include <cstring>
#include <string>

#include "backend_common/display.h"
#include "backend_common/picture.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/grid.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/race_trace.h"
#include "race/terrain_table.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/trajectory.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float LOAD_VIEW_DISTANCE = 1700.0f;
constexpr int32_t NEAR_PLANE = 5;
constexpr float CAMERA_BEHIND = 160.0f, CAMERA_ABOVE = 45.0f;
constexpr float CAMERA_PITCH_DOWN = 1024.0f - 16.0f;

Camera gStartCameras[2];

void SetTrackValues(int32_t track) {
  const TrackInfo& info = gTrackInfo[track];
  const TrackEnvironment& env = TRACK_ENVIRONMENT[track];
  gRace.trackIndex = track;
  if (gRace.networkGame && gRace.gameMode == 0) gRace.gameMode = 4;
  for (int i = 0; i < 3; ++i) {
    gRace.clearColour[i] = TRACK_CLEAR_COLOURS[track][i];
    gRace.horizonColour[i] = TRACK_HORIZON_COLOURS[track][i];
    gRace.particleColourA[i] = env.particleA[i];
    gRace.particleColourAShifted[i] = env.particleA[i] << 8;
    gRace.particleColourB[i] = env.particleB[i];
    gRace.particleColourBShifted[i] = env.particleB[i] << 8;
    gRace.lightColour[i] = 255;
  }
  gRace.particleAlphaA = env.particleAlphaA;
  gRace.particleAlphaAShifted = env.particleAlphaA << 8;
  gRace.particleAlphaB = env.particleAlphaB;
  gRace.particleAlphaBShifted = env.particleAlphaB << 8;
  gRace.waterLevel = info.waterLevel;
  gRace.lapCount = gRace.debugMode ? 1 : env.laps;
  gRace.timeLimit = env.timeLimitMs;
  gRace.viewDistance = LOAD_VIEW_DISTANCE;
  gRace.raceStarted = gRace.raceFinished = gRace.raceLeft = 0;
  gRace.flyInActive = 0;
  gRace.sortedDrawing = 0;
  gRace.trajectoriesLoaded = 0;
  gRace.waitingForHost = 0;
  gRace.skyLoopSlot = 0;
  gRace.tickClock = 0.0f;
}

void LoadTextures() {
  AssetLoadTrackTextures();
  HudFont.letterTexture = gRace.trackTextures[TRACK_TEX_LETTERS];
  HudFont.digitTexture = gRace.trackTextures[TRACK_TEX_DIGITS];
  HudFont.advance = TEXT_START_ADVANCE;
  HudFont.advanceF = static_cast<float>(TEXT_START_ADVANCE);
}

void BuildTrack(int32_t track) {
  const TrackInfo& info = gTrackInfo[track];
  gMesh.vertexCount = 0;
  gMesh.faceCount = 0;
  gDrawLists.staticCount = 0;
  gPlacementCount = 0;
  gObjectCounterCount = 0;
  for (int32_t i = 0; i < gDrawLists.dynamicCapacity; ++i) DrawListRelease(&gDrawLists.dynamics[i]);
  TrackLoadMapTile();
  TrackLoadMesh();
  // The grid forgets its light as it is built.
  Light light = {info.light[0], info.light[1], info.light[2], info.light[3], info.light[4]};
  LightSet(&light);
  GridSetLight(light.directionX, light.directionY, light.directionZ, light.intensity, light.ambient);
  TrackBuildCellGrid();
  TrajLoad();
}

// The drive step's copy of the start heading for a computer car.
void ResetComputerCar(Vehicle* v, const TrackInfo& info) {
  v->aiHeading = info.startHeading;
  v->stuckTimer = 0.0f;
}

// Player 1 on grid slot 0 and the five computer cars behind it (in split
// screen table record 0 is player 2); the computer cars wait for their
// drivers.
void PlaceVehicles(int32_t track) {
  const TrackInfo& info = gTrackInfo[track];
  for (Vehicle*& v : gVehicleTable) v = nullptr;
  gVehicleStep.raceOverSent = 0;
  const bool split = gRace.playersMode == 1;
  if (gRace.noHumanMode) {
    Vehicle* extra = &gVehicleRecords[VEHICLE_EXTRA_CAR];
    VehicleCopyDefaults(extra);
    ResetComputerCar(extra, info);
    VehiclePlaceOnGrid(extra, 0, 0);
  } else {
    VehiclePlaceOnGrid(gPlayer1Vehicle, 0, gPlayer1Vehicle->type);
    ChaseCamReset(gPlayer1Vehicle);
  }
  for (int32_t i = 0; i < VEHICLE_EXTRA_CAR; ++i) {
    Vehicle* v = &gVehicleRecords[i];
    VehicleCopyDefaults(v);
    ResetComputerCar(v, info);
    // In a challenge every car is of player 1's type.
    const bool challenge = gRace.gameMode == 2 && !gRace.noHumanMode;
    VehiclePlaceOnGrid(v, i + 1, challenge ? gPlayer1Vehicle->type : split && i == 0 ? v->type : i + 1);
  }
  // Player 2's camera goes behind it once it stands on the grid, not at its last race's place.
  if (split && !gRace.noHumanMode) ChaseCamReset(gPlayer2Vehicle);
  gPlayer1Vehicle->human = 1;
}

// The views look along the start heading from behind the grid.
void AimStartCameras(int32_t track) {
  const TrackInfo& info = gTrackInfo[track];
  const float s = MathSin(info.startHeading), c = MathCos(info.startHeading);
  const float x = info.startX - s * CAMERA_BEHIND, z = info.startZ - c * CAMERA_BEHIND;
  for (Camera& cam : gStartCameras)
    cam = Camera{x, TerrainHeightAt(x, z) + CAMERA_ABOVE, z, CAMERA_PITCH_DOWN, static_cast<float>(info.startHeading),
                 0.0f};
  gRace.gViewCamera[0] = &gStartCameras[0];
  gRace.gViewCamera[1] = &gStartCameras[1];
  CamSet(gRace.gViewCamera[0]);
}

// The whole screen, as a one-view frame expects it after a split race.
void ResetView() {
  const DisplayMode* mode = gDisplayModes[gDisplayModeIndex];
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  RdrSetProjScale(mode->scaleX, mode->scaleY);
  RdrSetClipWindow(0, 0, w, h);
  RdrSetProjCentre(w / 2, h / 2);
  RdrSetDepthRange(NEAR_PLANE, static_cast<int32_t>(LOAD_VIEW_DISTANCE));
  gRace.viewTop = 0;
  gRace.viewHeight = h;
}

}  // namespace

void RaceShowLoadingPicture() {
  const std::string name = "vue" + std::to_string(gRace.trackIndex + 1) + ".qvr";
  uint16_t* picture = LfbLoadScreenImage(name.c_str());
  RdrClear(0, 0, 0);
  if (picture) LfbDrawScreenImage(picture);
  RdrSwapBuffers();
  if (picture) MemFree(picture);
}

void RaceLoad(int32_t track) {
  if (track < 0 || track >= TRACK_COUNT) track = 0;
  gRace.firstLoad = 0;
  const bool network = gRace.networkGame != 0;
  FfbStopAll();
  SfxStopAll();
  SetTrackValues(track);
  gRace.waitingForHost = network && !gRace.noHumanMode ? 1 : 0;
  if (gRace.gameMode == 3) {
    const int32_t level = MenuTrackUnlockLevel(track);
    if (level > gMenuUnlockCount) {
      gMenuUnlockCount = level;
      MenuUnlockTracks();
      ScoresSave();
    }
  }
  RaceShowLoadingPicture();
  RandSetIndex(0);
  LoadTextures();
  RandSetIndex(static_cast<uint32_t>(track));
  ResultsResetBestTimes();
  FxClearPools();
  LightSetColour(255, 255, 255);
  BuildTrack(track);
  PlaceVehicles(track);
  SfxLoadTrackBank();
  if (!gRace.noHumanMode && !network) ViewRunTrackPresentation();
  VehiclePlaceAmbient();
  DecorSetupTrack();
  // A split-screen race left its layout on screen: both buffers go black once.
  if (gRace.viewTop != 0) {
    RdrSetClipWindow(0, 0, gRdrState.screenWidth, gRdrState.screenHeight);
    for (int i = 0; i < 2; ++i) {
      RdrClear(0, 0, 0);
      RdrSwapBuffers();
    }
  }
  ResetView();
  AimStartCameras(track);
  MusicPlayTrack(TRACK_ENVIRONMENT[track].musicTrack);
  gRace.raceFinished = gRace.raceLeft = 0;
  SfxUpdateListener();
  SfxCommitListener();
  AppTimerStart(1);
  HudResetMessages();
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  if (!network && !gRace.noHumanMode) ViewRunStartFlyIn();
  RaceTraceBegin();
}
