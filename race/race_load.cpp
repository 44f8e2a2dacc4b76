// The race load: the loading picture, the track's textures and objects, its
// mesh (or terrain), cell grid, position map and trajectories under its sky,
// the per-track values from the tables, the vehicles on the grid, the first
// view behind it and the start countdown; in a network race the start is
// agreed with the other machines first.
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
#include "net/net.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
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
constexpr uint32_t NET_START_BUDGET_MS = 30000;
constexpr uint32_t NET_QUERY_EVERY_MS = 1000;
constexpr int NET_BUDGET_TIMER = 34, NET_QUERY_TIMER = 33;

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

bool Replied(int32_t participant) { return NetSignalCounter(NET_SIGNAL_REPLY + participant) != 0; }

void WaitMs(int timer, uint32_t ms) {
  AppTimerStart(timer);
  while (AppTimerElapsed(timer) < ms) AppPumpMessages();
}

// Every participant's received states start from its record as it stands on the grid.
void PrimeReceivedStates() {
  for (int32_t i = 0; i < NetParticipantCount(); ++i) {
    const Vehicle* v = NetParticipantRecord(i);
    if (!v) continue;
    NetReceivedState s{};
    const float pose[6] = {v->pose.x, v->pose.y, v->pose.z, v->pose.pitch, v->pose.heading, v->pose.roll};
    for (int k = 0; k < 6; ++k) s.pose[k] = pose[k];
    s.velocity = v->velocity;
    s.steerInput = v->steerInput;
    s.heading = v->heading;
    s.bodyRoll = v->bodyRoll;
    s.bodyPitch = v->bodyPitch;
    s.slideAngle = v->slideAngle;
    s.slideUndersteer = v->slideUndersteer;
    gNetParticipants.newest[i] = s;
    gNetParticipants.previous[i] = s;
  }
}

// The own network record takes player 1's place on the grid and its values.
void TakeOwnNetworkRecord() {
  Vehicle* own = NetOwnRecord();
  if (!own) return;
  const int32_t index = NetOwnIndex();
  if (index >= 0 && index < VEHICLE_TABLE_SLOTS) gVehicleTable[index] = own;
  if (own != gPlayer1Vehicle) static_cast<NetVehicle&>(*own) = static_cast<const NetVehicle&>(*gPlayer1Vehicle);
  gLocalNetVehicle = own;
  NetClearPlayerFlags();
  PrimeReceivedStates();
}

}  // namespace

void RaceResetComputerCar(Vehicle* v) {
  const int32_t track = gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0;
  v->aiHeading = gTrackInfo[track].startHeading;
  v->stuckTimer = 0.0f;
  AiPickStartTrajectory(v);
}

// Player 1 on grid slot 0 and the five computer cars behind it (in split
// screen table record 0 is player 2); in a network race every participant on
// the slot of its index.
void RacePlaceVehicles() {
  for (Vehicle*& v : gVehicleTable) v = nullptr;
  gVehicleStep.raceOverSent = 0;
  const bool split = gRace.playersMode == 1;
  const bool network = gRace.networkGame != 0;
  if (gRace.noHumanMode) {
    // The extra car takes the second line; the computer cars then start again from the first.
    AiSetNextTrajectory(1);
    Vehicle* extra = &gVehicleRecords[VEHICLE_EXTRA_CAR];
    VehicleCopyDefaults(extra);
    RaceResetComputerCar(extra);
    VehiclePlaceOnGrid(extra, 0, 0);
  } else if (network) {
    VehiclePlaceOnGrid(gPlayer1Vehicle, NetOwnIndex(), gPlayer1Vehicle->type);
    ChaseCamReset(gPlayer1Vehicle);
  } else {
    if (gRace.gameMode == 2) gPlayer2Vehicle->type = gPlayer1Vehicle->type;
    VehiclePlaceOnGrid(gPlayer1Vehicle, 0, gPlayer1Vehicle->type);
    ChaseCamReset(gPlayer1Vehicle);
  }
  AiSetNextTrajectory(0);
  if (network) {
    const int32_t own = NetOwnIndex();
    for (int32_t i = 0; i < NetParticipantCount(); ++i) {
      Vehicle* v = NetParticipantRecord(i);
      if (i == own || !v) continue;
      VehicleCopyDefaults(v);
      VehiclePlaceOnGrid(v, i, v->type);
    }
    for (int32_t i = 0; i < VEHICLE_EXTRA_CAR; ++i) RaceResetComputerCar(&gVehicleRecords[i]);
  } else {
    // In a challenge every car is of player 1's type.
    const bool challenge = gRace.gameMode == 2 && !gRace.noHumanMode;
    for (int32_t i = 0; i < VEHICLE_EXTRA_CAR; ++i) {
      Vehicle* v = &gVehicleRecords[i];
      VehicleCopyDefaults(v);
      RaceResetComputerCar(v);
      VehiclePlaceOnGrid(v, i + 1, challenge ? gPlayer1Vehicle->type : split && i == 0 ? v->type : i + 1);
    }
    // Player 2's camera goes behind it once it stands on the grid, not at its last race's place.
    if (split && !gRace.noHumanMode) ChaseCamReset(gPlayer2Vehicle);
  }
  gPlayer1Vehicle->human = 1;
}

void RaceClearTyreMarks() {
  for (TyreMark& mark : gTyreMarks) mark.inUse = 0;
}

void RaceNetStartSync() {
  if (!NetIsHost()) {
    gNetParticipants.ready = 1;
    NetWaitCounter(NET_SIGNAL_START, 1, NET_START_BUDGET_MS);
  } else {
    // One budget for every client: each is asked once a second until it
    // answers or the budget is spent. Every participant but the host itself
    // is asked, wherever the host stands in the table.
    AppTimerStart(NET_BUDGET_TIMER);
    const int32_t own = NetOwnIndex();
    for (int32_t i = NetParticipantCount() - 1; i >= 0; --i) {
      if (i == own) continue;
      gNetParticipants.signalCounters[NET_SIGNAL_REPLY + i] = 0;
      while (!Replied(i) && AppTimerElapsed(NET_BUDGET_TIMER) < NET_START_BUDGET_MS) {
        AppPumpMessages();
        WaitMs(NET_QUERY_TIMER, NET_QUERY_EVERY_MS);
        NetSendQuery(i);
      }
    }
    // Whoever stayed silent is sent away, so that no one races against a
    // machine that never started.
    for (int32_t i = 0; i < NetParticipantCount(); ++i)
      if (i != own && !Replied(i)) NetSendQuit(i);
    NetSendSignal(NET_SIGNAL_START);
  }
  if (NetAbortFlag()) {
    gRace.playersMode = 0;
    MenuShowPlayersLabel();
    gNetParticipants.left = 1;
    NetShutdown();
    gNetParticipants.count = 0;
    gRace.networkGame = 0;
  }
}

void RaceShowLoadingPicture() {
  const std::string name = "vue" + std::to_string(gRace.trackIndex + 1) + ".qvr";
  uint16_t* picture = LfbLoadScreenImage(name.c_str());
  RdrClear(0, 0, 0);
  if (picture) LfbDrawScreenImage(picture);
  if (gRace.networkGame && gRace.waitingForHost) HudDrawWaitingHost();
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
  gNetParticipants.ready = 0;
  if (gRace.gameMode == 3) {
    const int32_t level = MenuTrackUnlockLevel(track);
    if (level > 0 && static_cast<uint32_t>(level) > gScores.unlockedCount) {
      gScores.unlockedCount = static_cast<uint32_t>(level);
      MenuUnlockTracks();
      ScoresSave();
    }
  }
  RaceShowLoadingPicture();
  RandSetIndex(0);
  LoadTextures();
  RandSetIndex(static_cast<uint32_t>(track));
  ResultsResetBestTimes();
  if (network) {
    gNetParticipants.abort = 0;
    gNetParticipants.signalCounters[NET_SIGNAL_START] = 0;
  }
  FxClearPools();
  LightSetColour(255, 255, 255);
  BuildTrack(track);
  // Faces are drawn decal with the texture's alpha from here on.
  RdrSetTextureDecal();
  // The world's coordinates are in texels, whether the track came from its
  // file or from its terrain; a back end that samples in 0..1 divides them
  // here, once.
  TexNormalizeFaceCoords(&gTextureTable);
  RacePlaceVehicles();
  SfxLoadTrackBank(SFX_BANK_TRACK);
  if (!gRace.noHumanMode && !network) ViewRunTrackPresentation();
  VehiclePlaceAmbient();
  RaceClearTyreMarks();
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
  if (network) {
    for (int counter : {1, 2, NET_SIGNAL_RACE_OVER, NET_SIGNAL_START}) gNetParticipants.signalCounters[counter] = 0;
    RaceNetStartSync();
    // An abort left a one-player race: its grid replaces the network one.
    if (!gRace.networkGame) RacePlaceVehicles();
  }
  AppTimerStart(RACE_CLOCK_TIMER);
  HudResetMessages();
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  // The fly-in's frames are the race's first.
  RaceTraceBegin();
  if (!network && !gRace.noHumanMode) ViewRunStartFlyIn();
  if (network && gRace.networkGame) TakeOwnNetworkRecord();
}

void RaceReloadAssets(uint8_t remarkWater) {
  gRace.waitingForHost = 0;
  // Every texture comes back in its first order, so each keeps its handle.
  TexMemReset();
  AssetReloadTrackTextures();
  AssetLoadTrackTextureLists();
  AssetReloadTrackObjectTextures();
  AssetLoadTyreMarkTexture();
  if (remarkWater) {
    const uint32_t sky = gRace.trackTextures[TRACK_TEX_SKY] & 0x00FFFFFF;
    const uint32_t type = gOptions.detail[3] ? FACE_TRANSLUCENT : FACE_TEX_LIT;
    for (int32_t i = 0; i < gMesh.faceCount; ++i) {
      Face& f = gMesh.faces[i];
      const uint32_t was = f.type >> 24;
      // Only the textured faces: a colour face's word holds no texture.
      if ((was == FACE_TRANSLUCENT || was == FACE_TEX_LIT) && (f.type & 0x00FFFFFF) == sky) f.type = type << 24 | sky;
    }
  }
  SfxLoadTrackBank(SFX_BANK_TRACK);
  DecorStartAmbientSound();
  SfxCommitListener();
  if (gRace.networkGame && gRace.gameMode == 0) gRace.gameMode = 4;
}
