// What every full-screen screen outside the menus shares: the press-anything
// poll, and the switch from the race's views to one whole-screen view and
// back. The race and the presentation call these, so nothing here pulls in
// a menu page.
#include "backend_common/display.h"
#include "engine3d/mathutil.h"
#include "frontend/frontend.h"
#include "platform/app.h"
#include "platform/input.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/vehicle_steps.h"

SceneScreenSaved gSceneScreenSaved;

namespace {

constexpr uint8_t PRESSED = 2;
constexpr int32_t FIRST_DEVICE_CONTROLLER = 2;  // joystick; 3 is the wheel
constexpr int32_t SCREEN_NEAR = 5, SCREEN_FAR = 2000;
constexpr int32_t RACE_FAR = 1700;

// The previous poll's answer while something was held, else 0.
uint8_t gPollLatch;

// Button 1 or 2 of the local player's joystick or wheel. A read that fails
// counts as nothing held, so a controller lost with a button down cannot
// hold every screen for ever.
bool DeviceButtonHeld() {
  const Vehicle* local = gRace.networkGame && gLocalNetVehicle ? gLocalNetVehicle : gPlayer1Vehicle;
  if (!local || local->controller < FIRST_DEVICE_CONTROLLER) return false;
  InputJoyState state;
  if (!InputReadDevice(gJoyDevice, &state)) {
    FfbCheckDeviceLost();
    return false;
  }
  gJoyState = state;
  return state.buttons[0] != 0 || state.buttons[1] != 0;
}

}  // namespace

uint8_t MenuPollInput() {
  AppPumpMessages();
  const bool held = gKeyScanCode != 0 || gApp.mouseButtons != 0 || gApp.keyBits != 0 || DeviceButtonHeld();
  if (!held) {
    gPollLatch = 0;
    return 0;
  }
  const uint8_t answer = gPollLatch == 0 ? PRESSED : 0;
  gPollLatch = PRESSED;
  return answer;
}

uint8_t MenuPollInputNow() {
  gPollLatch = 0;
  return MenuPollInput();
}

void SceneScreenBegin() {
  SceneScreenSaved& saved = gSceneScreenSaved;
  const RdrState& s = gRdrState;
  saved.clipMinX = s.clipMinX;
  saved.clipMinY = s.clipMinY;
  saved.clipMaxX = s.clipMaxX;
  saved.clipMaxY = s.clipMaxY;
  saved.scaleX = s.scaleX;
  saved.scaleY = s.scaleY;
  saved.viewTop = gRace.viewTop;
  saved.viewHeight = gRace.viewHeight;
  saved.viewLeft = gRace.viewLeft;
  saved.viewWidth = gRace.viewWidth;
  saved.centreX = s.centreX;
  saved.centreY = s.centreY;
  const int32_t w = s.screenWidth, h = s.screenHeight;
  gRace.viewHeight = h;
  gRace.viewTop = 0;
  gRace.viewLeft = 0;
  gRace.viewWidth = w;
  RdrSetProjScale(static_cast<float>(w * 200 / 512), static_cast<float>(h * 200 / 384));
  RdrSetProjCentre(w / 2, h / 2);
  SfxStopAll();
  FfbStopAll();
  gViewInsetPass = 0;
  RdrSetClipWindow(0, 0, w, h);
  RdrFogOff();
  RdrSetDepthRange(SCREEN_NEAR, SCREEN_FAR);
}

void SceneScreenEnd() {
  const SceneScreenSaved& saved = gSceneScreenSaved;
  RdrSetClipWindow(TruncI32(saved.clipMinX), TruncI32(saved.clipMinY), TruncI32(saved.clipMaxX), TruncI32(saved.clipMaxY));
  if (gOptions.detail[3])
    RdrFogOn();
  else
    RdrFogOff();
  // The race's standing far plane, whatever the screen had before.
  RdrSetDepthRange(SCREEN_NEAR, RACE_FAR);
  RdrSetProjScale(saved.scaleX, saved.scaleY);
  RdrSetProjCentre(TruncI32(saved.centreX), TruncI32(saved.centreY));
  gRace.viewHeight = saved.viewHeight;
  gRace.viewTop = saved.viewTop;
  gRace.viewLeft = saved.viewLeft;
  gRace.viewWidth = saved.viewWidth;
}
