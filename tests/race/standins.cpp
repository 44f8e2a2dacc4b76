// Recording stand-ins for the steps of other subsystems that the race frame
// calls, and the fixture's set-up.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine3d/grid.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "net/net.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/vehicle_steps.h"
#include "race_fixture.h"
#include "race_reset.h"
#include "shell/game.h"

namespace {

// "P1", "P2", "C0".."C6" (the record table), "N0".. (network records), "-".
std::string Name(const Vehicle* v) {
  if (!v) return "-";
  if (v == &gPlayer1) return "P1";
  if (v == gPlayer2Vehicle && gRace.playersMode == 1) return "P2";
  for (int i = 0; i < VEHICLE_RECORDS; ++i)
    if (v == &gVehicleRecords[i]) return "C" + std::to_string(i);
  return "N" + std::to_string(NetPlayerIndex(v));
}

void Note(const std::string& s) { gCalls.push_back(s); }

}  // namespace

void VehicleDriveStep(Vehicle* v, Vehicle* driver) {
  Note("Drive(" + Name(v) + "," + Name(driver) + "," + std::to_string(v->human) +
       (gRace.currentPose == &v->pose ? ",pose" : ",other") + ")");
}
void AmbientFrameStep() { Note("AmbientFrameStep"); }
void VehicleDrawAmbientShadow() { Note("VehicleDrawAmbientShadow"); }
void VehiclePlaceAmbient() { Note("VehiclePlaceAmbient"); }
void FxClearPools() { Note("FxClearPools"); }
void ViewRunTrackPresentation() { Note("ViewRunTrackPresentation"); }
void DecorSetupTrack() { Note("DecorSetupTrack"); }
void ViewRunStartFlyIn() { Note("ViewRunStartFlyIn"); }
void TrackObjTrafficStep() { Note("TrackObjTrafficStep"); }
void RaceRankVehicles() { Note("RaceRankVehicles"); }

void ViewFrameStep() { Note("ViewFrameStep"); }
// Names the grid slot the vehicle stands on at the call, "-" before it is placed.
void ChaseCamReset(Vehicle* v) {
  std::string slot = "-";
  for (int i = 0; i < VEHICLE_TABLE_SLOTS; ++i)
    if (gVehicleTable[i] == v) slot = std::to_string(i);
  Note("ChaseCamReset(" + Name(v) + "," + slot + ")");
}
Camera gFlyInCamera;
void ViewApplyFlyInCamera() { Note("ViewApplyFlyInCamera"); }
void VehicleDrawAll() { Note("VehicleDrawAll"); }
void VehicleDrawOwn(Vehicle* v, int32_t view) { Note("VehicleDrawOwn(" + Name(v) + "," + std::to_string(view) + ")"); }
void DecorFrameStep() { Note("DecorFrameStep"); }
void FxDrawTyreMarks() { Note("FxDrawTyreMarks"); }
void FxDrawParticles() { Note("FxDrawParticles"); }
void CockpitDraw(Vehicle* v) { Note("CockpitDraw(" + Name(v) + ")"); }
void ViewDrawInset(Vehicle* v) { Note("ViewDrawInset(" + Name(v) + ")"); }
void HudDrawView() {
  Note("HudDrawView(" + std::to_string(gRace.viewTop) + "," + std::to_string(gRace.viewHeight) + ")");
}
void HudDrawSplitView(Vehicle* v, int32_t view) {
  Note("HudDrawSplitView(" + Name(v) + "," + std::to_string(view) + "," + std::to_string(gRace.viewTop) + "," +
       std::to_string(gRace.viewHeight) + ")");
}
void WeatherDrawLightning() { Note("WeatherDrawLightning"); }
void WeatherDrawSkyPoints() { Note("WeatherDrawSkyPoints"); }

// The sounds and the music, recorded in place of the real ones.
extern "C" {
void __wrap__Z16SfxLoadTrackBanki(int32_t) { Note("SfxLoadTrackBank"); }
void __wrap__Z14MusicPlayTracki(int32_t track) { Note("MusicPlayTrack(" + std::to_string(track) + ")"); }
void __wrap__Z17SfxUpdateListenerv() { Note("SfxUpdateListener"); }
void __wrap__Z19SfxStopUnusedEnginev() { Note("SfxStopUnusedEngine"); }
void __wrap__Z15SfxPlayEffectAtifff(int32_t e, float, float, float) {
  Note("SfxPlayEffectAt(" + std::to_string(e) + ")");
}
int32_t __wrap__Z15SfxLoopEffectAtifff(int32_t e, float, float, float) {
  Note("SfxLoopEffectAt(" + std::to_string(e) + ")");
  return 7;
}
int32_t __wrap__Z11SfxStopSloti(int32_t slot) {
  Note("SfxStopSlot(" + std::to_string(slot) + ")");
  return 0;
}
void __wrap__Z13MusicFadeStepv() { Note("MusicFadeStep"); }
}

int32_t gTestUnlockLevel;
NetStartScript gNetScript;

// The front end's championship unlock and best-times file, recorded.
extern "C" {
int32_t __wrap__Z20MenuTrackUnlockLeveli(int32_t track) {
  Note("MenuTrackUnlockLevel(" + std::to_string(track) + ")");
  return gTestUnlockLevel;
}
void __wrap__Z16MenuUnlockTracksv() { Note("MenuUnlockTracks(" + std::to_string(gScores.unlockedCount) + ")"); }
void __wrap__Z10ScoresSavev() { Note("ScoresSave"); }
void __wrap__Z20MenuShowPlayersLabelv() { Note("MenuShowPlayersLabel(" + std::to_string(gRace.playersMode) + ")"); }
}

void NetSendQuery(int32_t participant) {
  const uint32_t now = HalTimePeek();
  gNetScript.queries.emplace_back(participant, now);
  if (participant >= 0 && participant < NET_MAX_PARTICIPANTS && now >= gNetScript.replyAtMs[participant])
    gNetParticipants.signalCounters[NET_SIGNAL_REPLY + participant] = 1;
}
void NetSendQuit(int32_t participant) {
  Note("NetSendQuit(" + std::to_string(participant) + "@" + std::to_string(HalTimePeek()) + ")");
}
void NetSendSignal(int32_t counter) { Note("NetSendSignal(" + std::to_string(counter) + ")"); }
bool NetWaitCounter(int32_t counter, int32_t value, uint32_t timeoutMs) {
  Note("NetWaitCounter(" + std::to_string(counter) + "," + std::to_string(value) + "," + std::to_string(timeoutMs) + ")");
  if (gNetScript.abortInWait) {
    gNetParticipants.abort = 1;
    return false;
  }
  gNetParticipants.signalCounters[counter] = value;
  return true;
}
void NetClearPlayerFlags() {
  Note("NetClearPlayerFlags");
  for (int i = 0; i < NET_MAX_PARTICIPANTS; ++i) gNetParticipants.stateReceived[i] = gNetParticipants.stateConsumed[i] = 0;
}

void RaceTest::SetUp() {
  ResetHalForTest();
  GfxSetBoardConfig(GfxBoardConfig{});
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  RecordFatalErrors();
  GameSetShowNumberHook([](int32_t number) { Note("GameShowNumber(" + std::to_string(number) + ")"); });
  GameSetQuitHook(GameQuit);
  ResetRaceForTest(&camera_, &camera2_);
  gNetScript = NetStartScript{};
  for (uint32_t& at : gNetScript.replyAtMs) at = 0;
  gTestUnlockLevel = 0;
  gScores.unlockedCount = 0;
  gHudMessages = HudMessages{{-1, 0}, {{-1, 0}, {-1, 0}}, 1, -1};
  gCalls.clear();
  gFaces.clear();
  gLogFaceCalls = true;
}

void RaceTest::TearDown() { RdrClose(); }

void RaceTest::UseMode(int mode) {
  ASSERT_TRUE(RdrSetMode(gDisplayModes[mode], 1));
  gRace.viewHeight = gRdrState.screenHeight;
  gCalls.clear();
}

// The front end's placeholder quits through the shell, which these suites
// leave out, and a load that cannot go on quits through the hook set to it.
// Either names what was missing before it goes.
void GameQuit() {
  if (!gFatalErrors.empty()) std::fprintf(stderr, "GameQuit after: %s\n", gFatalErrors.back().c_str());
  std::abort();
}
