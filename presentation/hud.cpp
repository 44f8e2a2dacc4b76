// The HUD over each race view: lap times, the race clock and its time-out,
// lap, position and boost, the wheel-damage panel, the guide arrow, the
// minimap and the race messages.
#include "presentation/hud.h"

#include <algorithm>
#include <cstdint>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "presentation/quads.h"
#include "presentation/text.h"
#include "race/assets.h"
#include "race/race.h"

namespace {

constexpr int32_t HUD_TEXT_SIZE = 12;
constexpr int32_t COUNTDOWN_TEXT_SIZE = 64;
constexpr float COUNTDOWN_FADE = 180.0f;
constexpr int32_t COUNTDOWN_FROM_MS = 10000;
constexpr int32_t DEMO_CLOCK_FLOOR_MS = 20000;
constexpr int32_t TIME_OUT_MESSAGE_MS = 5000;
constexpr int16_t WHEEL_STEADY_DAMAGE = 20;
constexpr uint32_t WHEEL_BLINK_PERIOD = 8, WHEEL_BLINK_DARK = 3;
constexpr float ARROW_DEPTH = 60.0f, ARROW_NEAREST = 5.0f;
constexpr const char* WHEEL_LIGHT_TEXTURES[VEHICLE_WHEELS] = {"vdavg.3df", "vdavd.3df", "vdarg.3df", "vdard.3df"};

// The view's measures: screen width, view height and top, view left and
// projection centre.
int32_t W() { return gRdrState.screenWidth; }
int32_t H() { return gRace.viewHeight; }
int32_t Y0() { return gRace.viewTop; }
float X0() { return gRdrState.clipMinX; }
float CX() { return gRdrState.centreX; }
float CY() { return gRdrState.centreY; }

bool SplitScreen() { return gRace.playersMode == 1; }
bool TopAndBottom() { return SplitScreen() && gRace.splitSideBySide == 0; }
bool NetworkRace() { return gRace.networkGame != 0; }
bool FogDetail() { return gOptions.detail[3] != 0; }

int16_t I16(int32_t v) { return static_cast<int16_t>(v); }
int16_t I16(float v) { return static_cast<int16_t>(TruncI32(v)); }

// The own network vehicle in a network race, else player 1.
Vehicle* LocalVehicle() { return NetworkRace() ? NetOwnRecord() : gPlayer1Vehicle; }

bool Finished(const Vehicle* v) { return v && v->finished; }

bool SomeoneFinished() {
  if (NetworkRace()) return Finished(NetOwnRecord());
  if (SplitScreen()) return Finished(gPlayer1Vehicle) || Finished(gPlayer2Vehicle);
  return Finished(gPlayer1Vehicle);
}

// The budget less the race clock, held inside what an i32 can tell.
int32_t BudgetLeft() {
  const int64_t left = int64_t{gRace.timeLimit} - int64_t{AppTimerElapsed(RACE_CLOCK_TIMER)};
  return static_cast<int32_t>(std::max<int64_t>(left, INT32_MIN));
}

uint32_t TextureOf(const char* name) {
  int32_t s = 0, t = 0;
  return static_cast<uint32_t>(TexFindHandle(name, &s, &t));
}

void DrawCountdown(int32_t remaining) {
  TextSetScale(COUNTDOWN_TEXT_SIZE);
  HudFont.fadeLevel = COUNTDOWN_FADE;
  const int32_t y = TopAndBottom() ? TruncI32(CY() - static_cast<float>(H() * 32 / 384)) : Y0() + H() * 130 / 384;
  TextPrintFadedAt(I16(W() * 224 / 512), I16(y), "%d", remaining / 1000);
  TextSetScale(HUD_TEXT_SIZE);
}

void DrawArrowFace(const MeshHeader* model, const Face& face, float cosA, float sinA) {
  const Vertex& first = model->vertices[face.index[0]];
  const float nx = face.normalX * cosA - face.normalZ * sinA;
  const float nz = face.normalX * sinA + face.normalZ * cosA;
  if (nx * first.viewX + face.normalY * first.viewY + nz * first.viewZ < 0.0f) return;
  RdrDrawFaceDecal(const_cast<Face*>(&face));
}

}  // namespace

void HudUpdateClockOnly() { gRace.timeRemaining = std::max(BudgetLeft(), DEMO_CLOCK_FLOOR_MS); }

void HudDrawClock() {
  if (gRace.gameMode == 0) {
    HudUpdateClockOnly();
    return;
  }
  const bool someoneFinished = SomeoneFinished();
  const bool over = gRace.raceFinished || gRace.raceLeft;
  if (!over && !someoneFinished) {
    gRace.timeRemaining = gRace.trajectoriesLoaded ? BudgetLeft() : gRace.timeLimit;
    if (gRace.gameMode != 4 && gRace.timeRemaining >= 0 && gRace.timeRemaining < COUNTDOWN_FROM_MS)
      DrawCountdown(gRace.timeRemaining);
  }
  if (gRace.timeRemaining < 0) {
    gRace.timeRemaining = 0;
    if (!over && gRace.gameMode != 4 && !someoneFinished) {
      HudShowMessage(HUD_MSG_TIME_OUT, static_cast<float>(TIME_OUT_MESSAGE_MS));
      gRace.raceLeft = 1;
      if (gRace.networkGame) NetSendRaceOver();
    }
  }
  const int32_t minutes = gRace.timeRemaining / 1000 / 60;
  const int32_t seconds = gRace.timeRemaining / 1000 - 60 * minutes;
  const int32_t w = W(), h = H();
  if (SplitScreen()) {
    const int32_t x = gRace.splitSideBySide ? TruncI32(CX() - static_cast<float>(w * 20 / 512)) : w * 452 / 512;
    TextPrintAt(I16(x), I16(CY() - static_cast<float>(h * 80 / 384)), "%d:%02d", minutes, seconds);
    return;
  }
  if (gRace.gameMode != 4) TextPrintAt(I16(w * 402 / 512), I16(Y0() + h * 2 / 384), "TIME %d:%02d", minutes, seconds);
  const Vehicle* local = LocalVehicle();
  if (!local) return;
  TextPrintAt(I16(w * 174 / 512), I16(Y0() + h * 19 / 384), "LAP %d/%d  POS %d", local->lapsDone + 1, gRace.lapCount,
              local->position);
}

void HudDrawLapTimes(Vehicle* vehicle) {
  if (!gRace.raceStarted)
    vehicle->lastLapMs = 0;
  else if (!vehicle->finished)
    vehicle->lastLapMs = static_cast<int32_t>(AppTimerElapsed(vehicle->lapTimerSlot));
  if (gRace.gameMode == 0) return;
  const int32_t w = W(), h = H();
  const int32_t t = vehicle->lastLapMs;
  const int16_t x = I16(X0() + static_cast<float>(w * 2 / 512));
  const int32_t y = Y0() + h * 2 / 384;
  TextPrintAt(x, I16(y), "LAP  %d:%02d:%02d", t / 60000, t / 1000 % 60, t % 1000 / 10);
  const int32_t best = gRaceResults.bestLapMs;
  const int16_t bestY = I16(y + (SplitScreen() ? h * 23 / 384 : h * 20 / 384));
  if (best == VEHICLE_BEST_LAP_NONE)
    TextPrintAt(x, bestY, "BEST  :  :");
  else
    TextPrintAt(x, bestY, "BEST %d:%02d:%02d", best / 60000, best / 1000 % 60, best % 1000 / 10);
}

void HudDrawLapPosBoost(Vehicle* vehicle) {
  const int32_t w = W(), h = H();
  const int32_t y = Y0() + h * 2 / 384;
  const int32_t boost = TruncI32(vehicle->boostLeft);
  const bool laps = gRace.gameMode != 0;
  if (!SplitScreen()) {
    TextPrintAt(I16(w * 226 / 512), I16(y), "BOOST %03d", boost);
  } else if (!gRace.splitSideBySide) {
    const int16_t x = I16(w * 226 / 512 + w * 90 / 512);
    if (laps) {
      TextPrintAt(x, I16(y), "LAP %d/%d", vehicle->lapsDone + 1, gRace.lapCount);
      TextPrintAt(x, I16(y + h * 23 / 384), "POS %d", vehicle->position);
    }
    TextPrintAt(I16(w * 226 / 512 - w * 40 / 512), I16(y), "BOOST %03d", boost);
  } else {
    const int16_t x = I16(X0() + static_cast<float>(w * 160 / 512));
    if (laps) {
      TextPrintAt(x, I16(y), "LAP %d/%d", vehicle->lapsDone + 1, gRace.lapCount);
      TextPrintAt(x, I16(y + h * 23 / 384), "POS %d", vehicle->position);
    }
    TextPrintAt(I16(X0() + static_cast<float>(w * 90 / 512)), I16(Y0() + h * 370 / 384), "BOOST %03d", boost);
  }
}

void HudDrawWheelLight(const WheelState& wheel, uint32_t texture, float x0, float y0, float x1, float y1) {
  if (wheel.attached == 0) return;
  if (wheel.bend > WHEEL_STEADY_DAMAGE && gRace.frameCounter % WHEEL_BLINK_PERIOD < WHEEL_BLINK_DARK) return;
  QuadDrawPicture(x0, y0, x1, y1, texture, 0.0f, 0.0f, 255.0f, 255.0f);
}

void HudDrawWheelPanel(Vehicle* vehicle) {
  const int32_t w = W(), h = H();
  const bool inCar = vehicle->viewActive == 1 && !gRace.flyInActive;
  const float x0 = static_cast<float>(TruncI32(X0() + static_cast<float>(w * (inCar ? 2 : 43) / 512)));
  const float y0 = static_cast<float>(Y0() + h * (inCar ? 350 : 351) / 384);
  const float x1 = x0 + static_cast<float>(w * 32 / 512), y1 = y0 + static_cast<float>(h * 32 / 384);
  if (inCar) QuadDrawPicture(x0, y0, x1, y1, HudFont.digitTexture, 204.0f, 94.0f, 233.0f, 125.0f);
  for (int i = 0; i < VEHICLE_WHEELS; ++i)
    HudDrawWheelLight(vehicle->wheels[i], TextureOf(WHEEL_LIGHT_TEXTURES[i]), x0, y0, x1, y1);
}

void HudDrawGuideArrow(Vehicle* vehicle) {
  MeshHeader* model = gVehicleAssets.arrow;
  if (!model || !model->vertices || !model->faces) return;
  const int32_t a = vehicle->guideHeading;
  const float c = MathCos(a), s = MathSin(a);
  const float d = TopAndBottom() ? 26.0f : gRace.viewTop != 0 ? 30.0f : 40.0f;
  const float cx = CX(), cy = CY(), sx = gRdrState.scaleX, sy = gRdrState.scaleY;
  for (uint32_t i = 0; i < model->vertexCount; ++i) {
    Vertex& v = model->vertices[i];
    v.viewX = v.x * c - v.z * s;
    v.viewY = v.y - d;
    v.viewZ = v.x * s + v.z * c + ARROW_DEPTH;
    const float z = std::max(v.viewZ, ARROW_NEAREST);
    v.screenX = cx + v.viewX * sx / z;
    v.screenY = cy + v.viewY * sy / z;
  }
  Vertex* saved = gMesh.vertices;
  gMesh.vertices = model->vertices;
  for (uint32_t i = 0; i < model->faceCount; ++i) {
    const Face& f = model->faces[i];
    bool inside = f.vertexCount >= 3 && f.vertexCount <= 4;
    for (int k = 0; inside && k < f.vertexCount; ++k) inside = f.index[k] < model->vertexCount;
    if (inside) DrawArrowFace(model, f, c, s);
  }
  gMesh.vertices = saved;
}

void HudDrawView() {
  const bool fog = FogDetail();
  RdrDepthOff();
  if (fog) RdrFogOff();
  if (gRace.noHumanMode) {
    HudUpdateClockOnly();
  } else {
    if (gRace.minimapOn) HudDrawMinimap();
    TextSetScale(HUD_TEXT_SIZE);
    HudDrawClock();
    Vehicle* v = NetworkRace() ? NetOwnRecord() : SplitScreen() ? nullptr : gPlayer1Vehicle;
    if (v) {
      if (gRace.gauges) HudDrawWheelPanel(v);
      HudDrawLapTimes(v);
      HudDrawLapPosBoost(v);
      HudDrawGuideArrow(v);
    }
  }
  HudDrawMessages();
  if (fog) RdrFogOn();
  RdrDepthOn();
}

// The halves show no clock: the shared one comes from HudDrawView over the
// whole screen.
void HudDrawSplitView(Vehicle* vehicle, int32_t) {
  const bool fog = FogDetail();
  if (fog) RdrFogOff();
  RdrDepthOff();
  if (vehicle) {
    if (gRace.gauges) HudDrawWheelPanel(vehicle);
    TextSetScale(HUD_TEXT_SIZE);
    HudDrawLapTimes(vehicle);
    HudDrawLapPosBoost(vehicle);
    HudDrawGuideArrow(vehicle);
  }
  RdrDepthOn();
  if (fog) RdrFogOn();
}
