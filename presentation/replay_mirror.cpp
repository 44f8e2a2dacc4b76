// The rear-view mirror: a small view behind the player's own vehicle near
// the top of the screen, mirrored left to right at half scale, drawn with
// low detail, no effects and no sound. Everything it changes to draw is put
// back before it returns.
#include <cstring>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/scene.h"
#include "frontend/frontend.h"
#include "hal/clock.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "presentation/replay.h"
#include "presentation/sfx.h"
#include "race/ambient.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

constexpr int32_t MIRROR_NEAR = 5, MIRROR_FAR = 1000;
constexpr float FRAME_DEPTH = 10.0f;
constexpr uint32_t FRAME_GREY = 0x808080;
constexpr uint8_t LOW_DETAIL = 2;

Camera gMirrorCamera;

Vertex ScreenPoint(float x, float y) {
  Vertex v{};
  v.screenX = x;
  v.screenY = y;
  v.viewZ = FRAME_DEPTH;
  return v;
}

void DrawFrame(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const Vertex corners[4] = {ScreenPoint(static_cast<float>(x0), static_cast<float>(y0)),
                             ScreenPoint(static_cast<float>(x1), static_cast<float>(y0)),
                             ScreenPoint(static_cast<float>(x1), static_cast<float>(y1)),
                             ScreenPoint(static_cast<float>(x0), static_cast<float>(y1))};
  RdrDepthOff();
  for (int i = 0; i < 4; ++i) RdrDrawLine(&corners[i], &corners[(i + 1) % 4], FRAME_GREY);
  const Vertex corner = ScreenPoint(static_cast<float>(x0 - 1), static_cast<float>(y0 - 1));
  RdrDrawPoint(&corner);
  RdrDepthOn();
}

}  // namespace

void ViewDrawInset(Vehicle* vehicle) {
  if (!vehicle) return;
  // On a headless run's virtual clock the mirror takes no time, so that a
  // race with it on runs exactly as one with it off.
  HalClockHold();
  // The scene pass tells the ambient craft's shadow whether it was seen; the
  // main view's answer stands for the frame.
  const uint8_t savedAmbientShadow = gAmbient.shadowEnabled;
  const Options savedOptions = gOptions;
  const uint8_t savedSound = gSoundOn;
  // The mirror's own depth settings must not become the main view's.
  const float savedViewDistance = gRace.viewDistance;
  gSoundOn = 0;
  gOptions.detail[3] = 0;
  gOptions.detail[2] = 0;
  gOptions.detail[0] = gOptions.detail[1] = LOW_DETAIL;
  RdrLightingOff();
  RdrFogOff();
  const RdrState& s = gRdrState;
  const int32_t clipMinX = TruncI32(s.clipMinX), clipMinY = TruncI32(s.clipMinY);
  const int32_t clipMaxX = TruncI32(s.clipMaxX), clipMaxY = TruncI32(s.clipMaxY);
  const int32_t w = s.screenWidth, vh = gRace.viewHeight;
  const int32_t x0 = w * 206 / 512, y0 = gRace.viewTop + vh * 60 / 384;
  const int32_t x1 = x0 + w * 100 / 512, y1 = y0 + vh * 40 / 384;
  RdrSetClipWindow(x0, y0, x1, y1);
  RdrSetProjCentre(x0 + w * 50 / 512, y0 + vh * 20 / 384);
  RdrSetDepthRange(MIRROR_NEAR, MIRROR_FAR);

  const float* m = vehicle->bodyMatrix;
  Camera& c = gMirrorCamera;
  c.x = vehicle->bodyPoint[0] + m[0] * 0.0f + m[1] * 10.0f + m[2] * 8.0f;
  c.y = vehicle->bodyPoint[1] + m[3] * 0.0f + m[4] * 10.0f + m[5] * 8.0f;
  c.z = vehicle->bodyPoint[2] + m[6] * 0.0f + m[7] * 10.0f + m[8] * 8.0f;
  c.pitch = -static_cast<float>(vehicle->bodyAngles[0]);
  c.heading = 512.0f - static_cast<float>(vehicle->bodyAngles[1]);
  c.roll = 512.0f - static_cast<float>(vehicle->bodyAngles[2]);
  const float scaleX = s.scaleX, scaleY = s.scaleY;
  const DisplayMode* mode = gDisplayModes[gDisplayModeIndex];
  RdrSetProjScale(-0.5f * mode->scaleX, 0.5f * mode->scaleY);

  CamSet(&c);
  // Set before the view is cleared too: clearing the first view moves the
  // sky's sounds and colours on, which the mirror must leave alone.
  gViewInsetPass = 1;
  RaceRenderView();
  AppPumpMessages();
  RaceFlushScene();
  VehicleDrawAmbientShadow();
  VehicleDrawInsetAll();
  ViewDrawTrackExtras(savedOptions.detail[3]);

  RdrSetProjScale(scaleX, scaleY);
  RdrSetClipWindow(clipMinX, clipMinY, clipMaxX, clipMaxY);
  RdrSetProjCentre((clipMinX + clipMaxX) / 2, (clipMinY + clipMaxY) / 2);
  gRace.viewDistance = savedViewDistance;
  RdrSetDepthRange(MIRROR_NEAR, static_cast<int32_t>(gRace.viewDistance));
  DrawFrame(x0, y0, x1, y1);

  gViewInsetPass = 0;
  gSoundOn = savedSound;
  gOptions = savedOptions;
  if (gOptions.detail[2])
    RdrLightingOn();
  else
    RdrLightingOff();
  if (gOptions.detail[3])
    RdrFogOn();
  else
    RdrFogOff();
  gAmbient.shadowEnabled = savedAmbientShadow;
  HalClockRelease();
}

void ViewDrawTrackExtras(int32_t effects) {
  switch (gRace.trackIndex) {
    case TRACK_BOUE:
    case TRACK_VOLCANO:
    case TRACK_SUNSET:
    case TRACK_ICE:
      if (effects) ObjDrawDeferredTranslucent();
      break;
    case TRACK_HIGHWAY:
      TrackObjDrawAll();
      break;
    default:
      break;
  }
}
