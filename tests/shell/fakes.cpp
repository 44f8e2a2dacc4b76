#include "fakes.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "backend_common/display.h"
#include "backend_common/dotfont.h"
#include "backend_common/picture.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "hal/clock.h"
#include "hal/window.h"
#include "net/net.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "presentation/music.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/terrain_table.h"

ShellFakes gFakes;

bool ShellFakes::Saw(const std::string& what) const { return IndexOf(what) >= 0; }

int ShellFakes::IndexOf(const std::string& what, int from) const {
  for (size_t i = static_cast<size_t>(from); i < trace.size(); ++i)
    if (trace[i] == what) return static_cast<int>(i);
  return -1;
}

namespace {
void Note(const std::string& s) { gFakes.trace.push_back(s); }
std::string Num(const char* name, long v) { return std::string(name) + "(" + std::to_string(v) + ")"; }
DisplayMode gModes[DISPLAY_MODE_COUNT];
}  // namespace

// ---- back end ----
DisplayMode* const gDisplayModes[DISPLAY_MODE_COUNT] = {&gModes[0], &gModes[1], &gModes[2], &gModes[3], &gModes[4],
                                                       &gModes[5], &gModes[6], &gModes[7], &gModes[8], &gModes[9]};
int32_t gDisplayModeIndex;
RdrState gRdrState;

void RdrLoadConfig() { Note("RdrLoadConfig"); }

bool RdrOpen(DisplayMode* mode, uint32_t) {
  Note(Num("RdrOpen", mode - &gModes[0]));
  if (gFakes.displayFails) return false;
  MemPoolInit();
  gRdrState.clipMinX = 0;
  gRdrState.clipMaxX = 640;
  return true;
}
void RdrClose() { Note("RdrClose"); }
bool RdrSetMode(DisplayMode* mode, uint32_t) {
  Note(Num("RdrSetMode", mode - &gModes[0]));
  return true;
}
void RdrClear(int32_t r, int32_t g, int32_t b) {
  Note("RdrClear(" + std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b) + ")");
}
void RdrSwapBuffers() {
  Note("Swap");
  HalNoteFrame();
}
int32_t TexMemSizeKb() { return gFakes.texMemKb; }
uint16_t* LfbLoadScreenImage(const char* name) {
  Note(std::string("Load:") + name);
  return static_cast<uint16_t*>(MemAlloc(8));
}
void LfbDrawScreenImage(const uint16_t*) {
  Note("Draw");
  if (gFakes.introShownAt == 0) gFakes.introShownAt = HalTimePeek();
}
void DotFontPrintf(int32_t, int32_t, const char* format, ...) {
  char text[DOT_FONT_BUFFER];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Note(std::string("Print:") + text + (gKeyScanCode ? " (key down)" : ""));
}

// ---- 3D library pools ----
Vertex* MeshPoolAllocVertices(int32_t n) { Note(Num("Vertices", n)); return nullptr; }
Face* MeshPoolAllocFaces(int32_t n) { Note(Num("Faces", n)); return nullptr; }
DrawSlot* DrawListAllocStatic(int32_t n) { Note(Num("Static", n)); return nullptr; }
DrawSlot* DrawListAllocDynamic(int32_t n) { Note(Num("Dynamic", n)); return nullptr; }
int32_t GridCreate(int32_t cellSize, int32_t x, int32_t y, int32_t z) {
  Note("GridCreate(" + std::to_string(cellSize) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
       std::to_string(z) + ")");
  return 1;
}
int32_t TerrainBuild(const TerrainDesc* desc) {
  Note(Num("TerrainBuild", desc - gTrackTerrains));
  return 1;
}

// ---- race ----
RaceState gRace;
Vehicle gPlayer1;
Vehicle gVehicleRecords[VEHICLE_RECORDS];
Vehicle* gPlayer1Vehicle;
Vehicle* gPlayer2Vehicle;
Vehicle* gLocalNetVehicle;
uint8_t gJoyButton2;
TerrainDesc gTrackTerrains[TRACK_TERRAIN_COUNT];

void RaceFrame() {
  Note("RaceFrame");
  size_t race = static_cast<size_t>(gFakes.races - 1);
  if (race < gFakes.positions.size()) {
    gPlayer1.position = gFakes.positions[race].first;
    gVehicleRecords[0].position = gFakes.positions[race].second;
  }
  gRace.raceFinished = 1;
}
void RaceFrameClock() { AppFrameWait(); }
void RaceLoad(int32_t track) {
  Note(Num("RaceLoad", track));
  ++gFakes.races;
  gRace.trackIndex = track;
  gRace.raceFinished = gRace.raceLeft = 0;
}
int32_t FfbInitDevices() { Note("FfbInit"); return gFakes.ffbResult; }
void FfbStopAll() { Note("FfbStopAll"); }
void FfbRelease() { Note("FfbRelease"); }
void AssetLoadVehicles() {
  Note("AssetLoadVehicles");
  HalClockAdvance(gFakes.assetLoadMs);
}

// ---- presentation ----
MusicState gMusic;
void SfxStartup() { Note("SfxStartup"); }
void SfxStopAll() { Note("SfxStopAll"); }
void SfxCommitListener() { Note("SfxCommitListener"); }
void MusicInit() { Note("MusicInit"); }
void MusicShutdown() { Note("MusicShutdown"); }
void MusicStop() { Note("MusicStop"); }
void ViewFadeStart() { Note("ViewFadeStart"); }
int32_t ViewFadeOutStep() { return 0; }
void DecorStartAmbientSound() { Note("DecorStartAmbientSound"); }

// ---- front end ----
Options gOptions;
uint8_t gMenuNetworkLeft;
int32_t gMenuNetSetup;
int32_t gMenuOpeningDone;
void MenuRunFrontEnd() {
  Note("FrontEnd");
  if (gFakes.frontEndCalls++ == 0) gFakes.frontEndAt = HalTimePeek();
  if (gFakes.frontEnd)
    gFakes.frontEnd(gFakes.frontEndCalls);
  else
    RaceLoad(gRace.trackIndex);
}
int32_t MenuEnableResolutions() { Note("MenuEnableResolutions"); return 7; }
int32_t ScoresLoad() {
  Note("ScoresLoad");
  return 1;
}
void PodiumRun() { Note("PodiumRun"); }
void PodiumShowChampionshipEnd() { Note("ChampionshipEnd"); }
void SceneRunGameOver() { Note("SceneGameOver"); }
void SceneRunAfterRace() { Note("SceneAfterRace"); }
void SceneScreenBegin() {}
void SceneScreenEnd() {}
void SceneDrawQuadOverlay() {}
uint8_t MenuPollInput() { return 2; }
uint8_t MenuPollInputNow() { return 2; }
int32_t MenuNextChampionshipTrack() {
  Note("NextTrack");
  if (gFakes.nextChampionshipResult) return 1;
  ++gRace.trackIndex;
  return 0;
}
void MenuShowPlayersLabel() { Note("PlayersLabel"); }

// ---- network ----
std::atomic<uint8_t> gNetQuit{0};
void NetSendCarState() { Note("NetSend"); }
void NetShutdown() { Note("NetShutdown"); }
void NetDestroyLocalPlayer() { Note("NetDestroyLocalPlayer"); }

void ResetFakes() {
  gFakes = ShellFakes{};
  gRace = RaceState{};
  gPlayer1 = Vehicle{};
  gVehicleRecords[0] = Vehicle{};
  gPlayer1Vehicle = &gPlayer1;
  gPlayer2Vehicle = &gVehicleRecords[0];
  gLocalNetVehicle = &gPlayer1;
  gJoyButton2 = 0;
  gOptions = Options{};
  gMenuNetworkLeft = 0;
  gMenuNetSetup = 0;
  gNetQuit = 0;
}

// GoogleTest is built for an older language level and leaves std::string's
// find(char) to the standard library; without a copy here an unoptimised
// build takes the front end's preset parser for it, and with it the real
// front end that these fakes stand in for.
size_t FakesStringFind(const std::string& text, char c) { return text.find(c); }

