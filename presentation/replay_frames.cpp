// The attract demo and the credits backdrop: races of computer drivers
// filmed by the replay camera. The demo shows two advertising panels and,
// now and then, a picture-in-picture view of another car; it moves on to the
// next track after 90 seconds (fading out over the last six) when it
// repeats, and any input ends it. The credits paste 320 x 200 windows of the
// race, one car at a time, over the screen behind the scrolling text.
#include <algorithm>

#include "backend_common/display.h"
#include "backend_common/dotfont.h"
#include "backend_common/draw.h"
#include "backend_common/picture.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "presentation/quads.h"
#include "presentation/replay.h"
#include "presentation/sfx.h"
#include "race/race.h"
#include "race/race_trace.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

ReplayViewState gReplayView;

namespace {

constexpr float INSET_CHANGE = 250.0f;  // frame units between changes of the inset or the credits' car
constexpr float START_INSET_ANGLE = 512.0f;
constexpr float LOOK_BACK_DISTANCE = 90.0f;
constexpr float LOOK_BACK_CLEARANCE = 5.0f;
constexpr float FADE_RATE = 1.7f;
constexpr float FADE_FULL = 255.0f;
constexpr float NO_FADE = -1.0f;
constexpr float PANEL_DEPTH = 20.0f;
constexpr float CREDITS_SCALE = 300.0f;
constexpr int32_t CREDITS_VEHICLES = 6;
constexpr int32_t CREDITS_START_X = 160, CREDITS_START_Y = 120;
constexpr int32_t WINDOW_MAX_X = 319, WINDOW_MAX_Y = 279;
constexpr int32_t WINDOW_MOVE_X = 100, WINDOW_MOVE_Y = 80;
// The random table is fixed, so a new place is always found long before
// this; the bound only keeps a broken table from hanging the credits.
constexpr int32_t WINDOW_TRIES = RANDOM_TABLE_SIZE / 2;

bool InputSeen() { return gKeyScanCode != 0 || gApp.mouseButtons != 0 || gApp.keyBits != 0; }

int32_t Trunc(float f) { return TruncI32(f); }

// The camera that looks back at a car from 90 in front of it, swinging
// round it as the inset angle grows.
void LookBack(Vehicle* v, Camera* c) {
  float g[9];
  MatFromAngles(v->frameAngles[0], Trunc(gReplayView.insetAngle - v->pose.heading), v->frameAngles[2], g);
  c->x = v->bodyPoint[0] + LOOK_BACK_DISTANCE * g[2];
  c->y = v->bodyPoint[1] + LOOK_BACK_DISTANCE * g[5];
  c->z = v->bodyPoint[2] + LOOK_BACK_DISTANCE * g[8];
  c->pitch = -v->pose.pitch;
  c->heading = v->pose.heading + 512.0f - gReplayView.insetAngle;
  c->roll = v->pose.roll;
  gReplayView.insetAngle += gRace.timeStep;
  c->y = std::max(c->y, TerrainHeightAt(c->x, c->z) + LOOK_BACK_CLEARANCE);
}

struct ClipWindow {
  int32_t minX, minY, maxX, maxY;
};

ClipWindow SaveClip() {
  const RdrState& s = gRdrState;
  return {TruncI32(s.clipMinX), TruncI32(s.clipMinY), TruncI32(s.clipMaxX), TruncI32(s.clipMaxY)};
}

void RestoreClip(const ClipWindow& w) {
  RdrSetClipWindow(w.minX, w.minY, w.maxX, w.maxY);
  RdrSetProjCentre((w.minX + w.maxX) / 2, (w.minY + w.maxY) / 2);
}

// The picture-in-picture: another car seen from in front, in one corner.
void DrawPictureInPicture() {
  Vehicle* v = gReplayView.insetVehicle;
  if (!v) return;
  const uint8_t sound = gSoundOn;
  gSoundOn = 0;
  const ClipWindow saved = SaveClip();
  const int32_t w = gRdrState.screenWidth, vh = gRace.viewHeight;
  const int32_t corner = gReplayView.insetPosition;
  const int32_t x0 = (corner & 1) ? w * 312 / 512 : 0;
  const int32_t y0 = (corner & 2) ? gRace.viewTop + vh * 234 / 384 : gRace.viewTop;
  RdrSetClipWindow(x0, y0, x0 + w * 200 / 512, y0 + vh * 150 / 384);
  RdrSetProjCentre(x0 + w * 100 / 512, y0 + vh * 75 / 384);
  gRace.currentPose = &v->pose;
  VehicleSelectCarModel(v);
  LookBack(v, &gReplayView.insetCamera);
  CamSet(&gReplayView.insetCamera);
  gViewInsetPass = 1;  // for the view's clearing too, as in the mirror
  RaceRenderView();
  AppPumpMessages();
  RaceFlushScene();
  VehicleDrawAmbientShadow();
  VehicleDrawAll();
  DecorFrameStep();
  FxDrawTyreMarks();
  FxDrawParticles();
  gViewInsetPass = 0;
  RestoreClip(saved);
  gSoundOn = sound;
}

// Back to the demo's start state of a track: no spot, no shot running.
// -> false when the track's camera file offers no spot.
bool StartAttractTrack() {
  TrackLoadCameras();
  gReplayView.panels[0] = TexFind("pub1.3df");
  gReplayView.panels[1] = TexFind("pub3.3df");
  gReplayCut.current = gReplayCut.previous = nullptr;
  gReplayCut.sinceCut = 0.0f;
  gReplayCut.holdTime = 0.0f;
  gReplayView.insetTimer = 0.0f;
  gReplayView.insetShown = 1;
  gReplayView.insetAngle = START_INSET_ANGLE;
  ReplayCamPickNearest();
  return gReplayCut.current != nullptr;
}

bool StartCreditsTrack() {
  gReplayView.insetTimer = 0.0f;
  TrackLoadCameras();
  gReplayCut.current = gReplayCut.previous = nullptr;
  ReplayCamPickNearest();
  return gReplayCut.current != nullptr;
}

uint32_t ReadDemoClock() {
  gReplayView.elapsedMs = AppTimerElapsed(REPLAY_TIMER);
  return gReplayView.elapsedMs;
}

// One frame of the race filmed by `placeCamera`, as the demo and the credits
// both show it: the step, the scene, the vehicles, the decor and the HUD.
void DrawReplayScene(void (*placeCamera)()) {
  ++gRace.frameCounter;
  gRace.viewIndex = 0;
  AppPumpMessages();
  RaceLogicStep();
  placeCamera();
  RaceRenderView();
  AppPumpMessages();
  RaceFlushScene();
  VehicleDrawAmbientShadow();
  VehicleDrawAll();
  DecorFrameStep();
  RaceRankVehicles();
  FxDrawParticles();
  FxDrawTyreMarks();
  AppPumpMessages();
  HudDrawView();
}

}  // namespace

void ReplayRunAttract(int32_t repeat) {
  for (;;) {
    if (!StartAttractTrack()) return;
    AppTimerStart(REPLAY_TIMER);
    gReplayView.elapsedMs = 0;
    gReplayView.fade = NO_FADE;
    gReplayView.insetVehicle = gVehicleTable[0];
    gReplayView.insetPosition = 0;
    while (ReadDemoClock() < REPLAY_DEMO_MS) {
      AppPumpMessages();
      AppReadCursor();
      ReplayFrameRender();
      ReplayDrawPanel(gReplayView.panels[0], 0);
      ReplayDrawPanel(gReplayView.panels[1], gRdrState.screenWidth * 464 / 512);
      AppPumpMessages();
      if (gReplayView.fade < 0.0f) {
        if (ReadDemoClock() >= REPLAY_FADE_FROM_MS) {
          MusicStop();
          gReplayView.fade = 0.0f;
        }
      } else {
        gReplayView.fade = std::min(gReplayView.fade + FADE_RATE * gRace.timeStep, FADE_FULL);
        RdrDepthOff();
        ViewDrawShadeQuad(0.0f, 0.0f, static_cast<float>(gRdrState.screenWidth),
                          static_cast<float>(gRdrState.screenHeight), 0, Trunc(gReplayView.fade));
        RdrDepthOn();
      }
      RaceFrameClock();
      RdrSwapBuffers();
      if (InputSeen()) return;
    }
    if (!repeat) return;
    MenuNextChampionshipTrack();
    RaceLoad(gRace.trackIndex);
  }
}

void ReplayFrameRender() {
  DrawReplayScene(ReplayCamStep);
  RdrSetProjScale(gReplayCut.baseScaleX, gReplayCut.baseScaleY);
  if (gReplayView.insetShown && gOptions.detail[3]) DrawPictureInPicture();
  ReplayViewState& view = gReplayView;
  view.insetTimer += gRace.timeStep;
  if (view.insetTimer > INSET_CHANGE) {
    int32_t corner = RandNext() & 3;
    if (corner == view.insetPosition) corner = (corner + 1) & 3;
    view.insetPosition = corner;
    view.insetVehicle = gVehicleTable[corner];
    view.insetTimer = 0.0f;
    view.insetShown = RandNext() & 1;
  }
  RaceTraceFrame();
}

void ReplayDrawPanel(TextureTableEntry* texture, int32_t x) {
  // A panel whose texture the track did not load is left out.
  if (!texture) return;
  const int32_t w = gRdrState.screenWidth, vh = gRace.viewHeight;
  const float x0 = static_cast<float>(x), y0 = static_cast<float>(gRace.viewTop + vh * 360 / 384);
  RdrDepthOff();
  RdrFogOff();
  if (Face* f = QuadBuild(x0, y0, x0 + static_cast<float>(w * 48 / 512), y0 + static_cast<float>(vh * 24 / 384),
                          PANEL_DEPTH)) {
    f->type = (texture->handle & 0xFFFFFF) | QUAD_PICTURE_TYPE;
    const float st[8] = {0.0f, 0.0f, 255.0f, 0.0f, 255.0f, 127.0f, 0.0f, 127.0f};
    QuadSetTexels(f, st);
    RdrDrawFaceDecal(f);
  }
  RdrDepthOn();
  if (gOptions.detail[3]) RdrFogOn();
}

void ReplayRunCreditsDemo(uint16_t* buffer) {
  ReplayViewState& view = gReplayView;
  view.randomIndex = 0;
  view.windowX = CREDITS_START_X;
  view.windowY = CREDITS_START_Y;
  view.insetShown = 1;
  view.insetAngle = START_INSET_ANGLE;
  view.insetPosition = 0;
  view.insetVehicle = gVehicleTable[0];
  view.fade = NO_FADE;
  for (;;) {
    if (!StartCreditsTrack()) return;
    AppTimerStart(REPLAY_TIMER);
    view.elapsedMs = 0;
    AppPumpMessages();
    RdrSetProjScale(CREDITS_SCALE, CREDITS_SCALE);
    for (;;) {
      if (buffer) LfbDrawScreenImage(buffer);
      AppPumpMessages();
      AppReadCursor();
      const int32_t changed = ReplayCreditsFrame();
      const bool nextTrack = ReadDemoClock() >= REPLAY_CREDITS_TRACK_MS;
      // The screen with the finished window is the next frames' background.
      if ((changed || nextTrack) && buffer) LfbGrabScreen(buffer);
      AppPumpMessages();
      CreditsDrawScroll();
      RaceFrameClock();
      RdrSwapBuffers();
      if (MenuPollInput() != 0) return;
      if (nextTrack) break;
    }
    ReplayCreditsPlaceWindow();
    MenuNextChampionshipTrack();
    CreditsSetupScene(gRace.trackIndex);
  }
}

int32_t ReplayCreditsFrame() {
  DrawReplayScene(ReplayCreditsCamera);
  ReplayViewState& view = gReplayView;
  view.insetTimer += gRace.timeStep;
  int32_t changed = 0;
  if (view.insetTimer > INSET_CHANGE) {
    view.insetPosition = view.insetPosition + 1 >= CREDITS_VEHICLES ? 0 : view.insetPosition + 1;
    view.insetVehicle = gVehicleTable[view.insetPosition];
    view.insetTimer = 0.0f;
    ReplayCreditsPlaceWindow();
    changed = 1;
  }
  RaceTraceFrame();
  return changed;
}

void ReplayCreditsCamera() {
  const int32_t x = gReplayView.windowX, y = gReplayView.windowY;
  RdrSetClipWindow(x, y, x + REPLAY_CREDITS_WIDTH, y + REPLAY_CREDITS_HEIGHT);
  RdrSetProjCentre(x + REPLAY_CREDITS_WIDTH / 2, y + REPLAY_CREDITS_HEIGHT / 2);
  if (Vehicle* v = gReplayView.insetVehicle) LookBack(v, &gReplayView.insetCamera);
  CamSet(&gReplayView.insetCamera);
  DotFontPrintf(x, y, "%d %d", x, y);
}

void ReplayCreditsPlaceWindow() {
  ReplayViewState& view = gReplayView;
  const int32_t oldX = view.windowX, oldY = view.windowY;
  int32_t x = oldX, y = oldY;
  for (int32_t tries = 0; tries < WINDOW_TRIES; ++tries) {
    x = std::clamp((MathAbs16(RandAt(view.randomIndex)) % 40) * 16 - 64, 0, WINDOW_MAX_X);
    y = std::clamp((MathAbs16(RandAt(view.randomIndex + 1)) % 30) * 16 - 48, 0, WINDOW_MAX_Y);
    view.randomIndex += 2;
    if (std::abs(x - oldX) >= WINDOW_MOVE_X || std::abs(y - oldY) >= WINDOW_MOVE_Y) break;
  }
  view.windowX = x;
  view.windowY = y;
}
