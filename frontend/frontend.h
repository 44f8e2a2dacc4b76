// Front-end operations and state the shell calls and reads.
#pragma once
#include <cstdint>

#include "frontend/scores.h"

#pragma pack(push, 1)
struct Options {
  uint8_t detail[4];  // detail set, (second), lighting, fog/effects
  uint8_t lowTextureMemory;
  int32_t hardwarePreset;
  int32_t detailSetting;  // 0..3
  int32_t keyboardSensitivity;  // 0 fast, 1 middle, 2 slow steering on the keyboard
};
#pragma pack(pop)
static_assert(sizeof(Options) == 17, "the options block is saved with each championship");
extern Options gOptions;

extern uint8_t gMenuNetworkLeft;
extern int32_t gMenuNetSetup;
extern int32_t gMenuOpeningDone;

// The menus, from the state loop whenever no race runs (at start-up, after
// a race, after Esc in a race): returns once a race is loaded or resumed.
void MenuRunFrontEnd();
int32_t MenuEnableResolutions();
void PodiumRun();
void PodiumShowChampionshipEnd();
void SceneRunGameOver();
void SceneRunAfterRace();
// Around a full-screen screen: the begin saves the race's view set-up and
// makes one whole-screen view (projection scale 200/512 of the width and
// 200/384 of the height, fog off, depth 5..2000), stops the effect sounds and
// the force-feedback effects and ends an inset pass; the end puts the view
// set-up back, with fog as the effects option says and the race's far plane
// 1700. Used in pairs, never nested.
void SceneScreenBegin();
void SceneScreenEnd();
struct SceneScreenSaved {
  float scaleX, scaleY;
  float clipMinX, clipMinY, clipMaxX, clipMaxY;
  float centreX, centreY;
  int32_t viewTop, viewHeight, viewLeft, viewWidth;
};
// Written by SceneScreenBegin; the track presentation's zoom ends at its scale.
extern SceneScreenSaved gSceneScreenSaved;
void SceneDrawQuadOverlay();
// Set while a character scene is shown; the ambient vehicle is not drawn then.
extern uint8_t gSceneShown;
// The press-anything poll of the full-screen screens: pumps, then 2 on the
// poll that first sees a key, a mouse button, an arrow key, Ctrl or Space, or
// button 1 or 2 of the local player's joystick or wheel held, else 0.
uint8_t MenuPollInput();
// The same, forgetting what the previous poll saw: 2 while anything is held.
uint8_t MenuPollInputNow();
int32_t MenuNextChampionshipTrack();
void MenuShowPlayersLabel();

// The track rows of the menu item table (frontend/menu_items.h).
constexpr int MENU_TRACK_ITEMS = 10;

// The current race's best lap and total time, reset before each race.
struct RaceResults {
  int32_t bestLapMs;
  int32_t totalMs;
};
extern RaceResults gRaceResults;

void ResultsResetBestTimes();
int32_t MenuTrackUnlockLevel(int32_t track);
void MenuUnlockTracks();
void PreviewApplyKitCar(int32_t kitSelection, int32_t carModelRow);
void CreditsDrawScroll();
void CreditsSetupScene(int32_t track);
