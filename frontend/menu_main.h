// The front end's spine: the entry from the state loop, the one-time
// frame-rate probe, the main page with its drums, buttons and icon bar, the
// quit confirmation, and the border between the menu scene and a race.
#pragma once
#include <cstdint>

// MenuRunFrontEnd (frontend.h) runs the probe once, then the main page until
// a race is loaded; the attract demo and the track preview run from here.

// A second of frames drawn as the car preview is; the count chooses the
// detail setting and display mode (MenuApplyProbeCount).
void MenuMeasureFrameRate();
// 60 frames and more keep the detail; 40..59 take detail 1; 20..39 detail 2
// and 512 x 384; fewer detail 3 and 512 x 384 in 16/9, each mode only where
// the board shows it. The detail bytes follow.
void MenuApplyProbeCount(int32_t frames);
// Runs the main page until a race is loaded (gRace.noHumanMode 0) or a demo
// is (1 the track preview, 2 the attract demo).
void MenuRunMainPage();
// One frame of the main page's widgets, drawn without acting on them; with
// `confirm` the quit page's two answers instead of the page's push buttons:
// 1 quit, 2 stay, 0 neither yet. `canResume` shows the resume button.
int32_t MenuDrawMainFrame(int32_t canResume, int32_t confirm);
// The quit confirmation on "menu14.qvr": 1 to quit, 2 to stay; the main
// page's picture is back afterwards.
int32_t MenuConfirmQuit(int32_t canResume);

// The menu scene: entered with the race (if any) suspended, left by one of
// three ways. The menus always run in display entry 2 (640 x 480).
constexpr int32_t MENU_DISPLAY_MODE = 2;
void MenuEnterScene();
// Whether the suspended race goes on unchanged.
uint8_t MenuCanResumeRace();
// Resume (or, when the race cannot go on, a new race on the track).
void MenuLeaveToRace();
// A new race on the track (the start button and the demos).
void MenuLeaveAndLoadRace();
// Before the credits.
void MenuLeaveForQuit();
