#include <cstdio>

#include "backend_common/display.h"
#include "backend_common/picture.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "hal/window.h"
#include "net/net.h"
#include "platform/app.h"
#include "platform/file.h"
#include "shell/game.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "presentation/music.h"
#include "presentation/presentation.h"
#include "race/ffb.h"
#include "race/race.h"
#include "race/terrain_table.h"

uint8_t gGameFrontEndNeeded;

namespace {

uint32_t gShellWindow;
uint32_t gShellInstance;

constexpr int START_DISPLAY_MODE = 2;
constexpr uint32_t INTRO_HOLD_MS = 3000;
constexpr uint32_t GAME_OVER_PICTURE_MS = 15000;
constexpr int INTRO_TIMER = 1;
constexpr int SCREEN_TIMER = 2;
constexpr int NET_FRAME_TIMER = 32;

bool NetworkGame() { return gRace.networkGame != 0; }

// The seven archive directories live in rur0.pak. A damaged rur0.pak is
// reported and ends the game; without one, every file is read loose.
bool GameMountArchives() {
  if (!FileExists(PAK_DIRECTORY_ARCHIVE)) return true;
  if (PakMountArchives()) return true;
  AppSetExitCode(1);
  GameFatalError(PakLastError());
  return false;
}

void GameEndRaceFade(uint8_t* flag) {
  while (*flag) {
    RaceFrame();
    RaceFrameClock();
    if (ViewFadeOutStep() == 0) {
      RdrSwapBuffers();
      *flag = 0;
    }
    RdrSwapBuffers();
  }
}

bool FinishedInTopThree() {
  switch (gRace.playersMode) {
    case 0: return gPlayer1Vehicle->position <= 3;
    case 1: return gPlayer1Vehicle->position <= 3 || gPlayer2Vehicle->position <= 3;
    default: return gLocalNetVehicle->position <= 3;
  }
}

}  // namespace

void GameEntry() {
  gShellWindow = AppGetWindow();
  gShellInstance = AppGetInstance();
  if (!GameStartGraphics()) {
    AppSetExitCode(1);
    AppQuit();
    return;
  }
  GameMainLoop();
}

uint8_t GameStartGraphics() {
  gDisplayModeIndex = START_DISPLAY_MODE;
  RdrLoadConfig();
  if (!RdrOpen(gDisplayModes[START_DISPLAY_MODE], gShellWindow)) return 0;
  // From here the pool's errors can be shown on the game screen.
  GameSetFatalErrorHook(GameFatalErrorScreen);
  GameSetShowNumberHook(GameShowNumberScreen);
  GameSetQuitHook(GameQuit);
  MemSetErrorHooks(GameFatalError, GameShowNumber);
  gRace.viewWidth = static_cast<int32_t>(gRdrState.clipMaxX - gRdrState.clipMinX + 1.0f);
  gRace.viewLeft = static_cast<int32_t>(gRdrState.clipMinX);
  gFfbDeviceActive = FfbInitDevices() == 1;
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocStatic(DRAW_LIST_STATIC);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  gRace.frameRate = 25.0f;
  gRace.timeStep = 1.0f;
  gRace.timeStepFifth = 0.2f;
  gRace.timeStepFourFifths = 0.8f;
  gRace.frameHours = 1.0f / 90000.0f;
  RdrClear(0, 0, 0);
  RdrSwapBuffers();
  return 1;
}

void GameMainLoop() {
  if (!GameMountArchives()) GameQuit();
  gRace.extraCar = 0;
  gMusic.faderState = MUSIC_IDLE;
  SfxStartup();
  GameShowIntro();
  AppTimerStart(INTRO_TIMER);
  GameInit();
  while (AppTimerElapsed(INTRO_TIMER) < INTRO_HOLD_MS) AppPumpMessages();

  bool runFrontEnd = true;
  for (;;) {
    if (runFrontEnd) {
      gGameFrontEndNeeded = 1;
      MenuRunFrontEnd();
      gGameFrontEndNeeded = 1;
    }
    if (NetworkGame() && !gNetQuit) {
      AppPumpMessages();
      RaceFrame();
      RdrSwapBuffers();
    }
    while (!gRace.raceLeft && !gRace.raceFinished) {
      AppPumpMessages();
      if (NetworkGame()) {
        if (gNetQuit) break;
        gRace.netFrameMs = static_cast<int32_t>(AppTimerElapsed(NET_FRAME_TIMER));
        NetSendCarState();
        AppTimerStart(NET_FRAME_TIMER);
      }
      RaceFrame();
      AppPumpMessages();
      RaceFrameClock();
      RdrSwapBuffers();
      GameHotkeys();
      if (GamePauseOrAbort() == 1) MenuRunFrontEnd();
    }
    FfbStopAll();
    ViewFadeStart();
    if (gRace.raceLeft)
      GameOver();
    else
      GameAfterRace();
    runFrontEnd = gGameFrontEndNeeded == 1;
    gGameFrontEndNeeded = 1;
  }
}

void GameInit() {
  gMenuOpeningDone = 0;
  gRace.debugMode = 0;
  if (TexMemSizeKb() < 3072) {
    gOptions.lowTextureMemory = 1;
    gOptions.detailSetting = 1;
  } else {
    gOptions.lowTextureMemory = 0;
    gOptions.detailSetting = 0;
  }
  GameApplyDetailLevel();
  gOptions.hardwarePreset = MenuEnableResolutions();
  gOptions.keyboardSensitivity = 1;
  gRace.insetView = 0;
  gRace.hudText = 1;
  gRace.gauges = 1;
  gRace.splitSideBySide = 0;
  GridCreate(640, 25, 1, 12);  // 25 x 12 cells of 640 units on the ground, one layer high
  gPlayer1Vehicle = &gPlayer1;
  gPlayer2Vehicle = &gVehicleRecords[0];
  gRace.trackIndex = 0;
  gRace.playersMode = 0;
  gRace.gameMode = 1;
  gRace.raceFinished = 0;
  gRace.raceLeft = 0;
  gRace.firstLoad = 1;
  AssetLoadVehicles();
  TerrainBuild(&gTrackTerrains[0]);
  MusicInit();
  ScoresLoad();
}

void GameApplyDetailLevel() {
  static const uint8_t DETAIL_BYTES[4][4] = {{0, 0, 1, 1}, {1, 2, 1, 1}, {2, 2, 0, 1}, {2, 2, 0, 0}};
  int32_t level = gOptions.detailSetting;
  if (level < 0 || level > 3) return;
  for (int i = 0; i < 4; ++i) gOptions.detail[i] = DETAIL_BYTES[level][i];
}

void GameShowIntro() {
  uint16_t* picture = LfbLoadScreenImage("intro.qvr");
  RdrClear(0, 0, 0);
  if (picture) LfbDrawScreenImage(picture);
  RdrSwapBuffers();
  if (picture) MemFree(picture);
}

void GameOver() {
  MusicStop();
  GameEndRaceFade(&gRace.raceLeft);
  SfxStopAll();
  FfbStopAll();
  if (gRace.playersMode == 0) {
    SceneRunGameOver();
    SceneScreenBegin();
    uint16_t* picture = LfbLoadScreenImage("ro.qvr");
    MenuPollInputNow();
    AppTimerStart(SCREEN_TIMER);
    for (;;) {
      AppPumpMessages();
      RdrClear(0, 0, 0);
      if (picture) LfbDrawScreenImage(picture);
      SceneDrawQuadOverlay();
      RaceFrameClock();
      RdrSwapBuffers();
      if (MenuPollInput() != 0 || AppTimerElapsed(SCREEN_TIMER) >= GAME_OVER_PICTURE_MS) break;
    }
    if (picture) MemFree(picture);
    SceneScreenEnd();
  }
  if (NetworkGame()) {
    NetDestroyLocalPlayer();
    NetShutdown();
    gMenuNetSetup = 0;
  }
  gRace.raceLeft = 1;
}

void GameAfterRace() {
  MusicStop();
  GameEndRaceFade(&gRace.raceFinished);
  PodiumRun();
  if (gRace.gameMode != 3) {
    gRace.raceFinished = 1;
    return;
  }
  gRace.raceLeft = 0;
  if (!FinishedInTopThree()) {
    GameOver();
    return;
  }
  if (gRace.trackIndex == 9 && gRace.playersMode == 0) SceneRunAfterRace();
  gRace.sessionStart = 0;
  if (MenuNextChampionshipTrack() == 1) {
    gRace.trackIndex = 9;
    gRace.raceFinished = 1;
    if (gRace.playersMode == 0) PodiumShowChampionshipEnd();
    return;
  }
  if (NetworkGame()) *gPlayer1Vehicle = *gLocalNetVehicle;
  RaceLoad(gRace.trackIndex);
  gGameFrontEndNeeded = 0;
}

void GameShutdown() {
  SfxStopAll();
  if (gFfbDeviceActive) FfbRelease();
  MusicShutdown();
  RdrClose();
}

void GameQuit() {
  GameShutdown();
  AppQuit();
  for (;;) AppPumpMessages();
}
