// The effect passes of a view: the particle pass (sprite pool, puff pool
// added, the screen glows, the piece pool on water tracks) and the tyre-mark
// pass; the marks the wheels lay and the live trail segment of the own car.
#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/terrain.h"
#include "presentation/fx_common.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/tracks.h"

namespace {

constexpr float MARK_ALPHA = 50.0f;
constexpr uint32_t TRAIL_FACE_WORD = 50;

// Sprite and puff pools: the pass places what does not place itself.
void RunPool(DrawSlot* pool, int32_t n) {
  const float* v = gCamera.view;
  for (int32_t i = 0; i < n; ++i) {
    DrawSlot* s = &pool[i];
    const uint8_t kind = s->visible;
    if (kind == FX_KIND_FREE) continue;
    if (kind != FX_KIND_SELF) {
      const float dx = s->x - gCamera.x, dy = s->y - gCamera.y, dz = s->z - gCamera.z;
      s->viewX = v[0] * dx + v[1] * dy + v[2] * dz;
      s->viewY = v[3] * dx + v[4] * dy + v[5] * dz;
      if (kind != FX_KIND_WHEEL) s->viewZ = v[6] * dx + v[7] * dy + v[8] * dz;
    }
    if (s->callback) s->callback(s, s->owner);
  }
}

// The flare turned by the glow's place across the screen, in its record's
// colour and size, its strength as alpha.
void DrawGlows() {
  Sprite* flare = FxSprite(FX_SPRITE_FLARE);
  if (!flare) return;
  int32_t count = gFxGlowList.count;
  if (count > FX_GLOW_MAX) count = FX_GLOW_MAX;
  for (int32_t i = 0; i < count; ++i) {
    DrawSlot& entry = gFxGlowList.entries[i];
    const ObjectGlow* glow = reinterpret_cast<const ObjectGlow*>(entry.user);
    if (!glow) continue;
    const uint32_t type = flare->type;
    flare->type = entry.kind;
    entry.owner = flare;
    {
      FxSpriteSizes sizes(flare, glow->size, glow->size);
      RdrDrawSpriteRotated(&entry, glow->red, glow->green, glow->blue,
                           static_cast<uint16_t>(TruncI32(entry.x) & ANGLE_MASK));
    }
    flare->type = type;
  }
}

void RunPieces() {
  const float* v = gCamera.view;
  for (DrawSlot& s : gFxPiecePool) {
    if (s.visible == FX_KIND_FREE) continue;
    s.viewZ = v[6] * (s.x - gCamera.x) + v[7] * (s.y - gCamera.y) + v[8] * (s.z - gCamera.z);
    if (s.callback) s.callback(&s, s.owner);
  }
}

// The quad of a wheel's mark from `old` to `now` (x, z), half width h, at
// the terrain's heights -> whether a corner lies above the water.
bool MarkCorners(float oldX, float oldZ, float nowX, float nowZ, float h, float out[4][3]) {
  const int32_t a = MathAngleTo(nowX, nowZ, oldX, oldZ);
  const float s = h * MathSin(a), c = h * MathCos(a);
  const float xz[4][2] = {{oldX + s, oldZ - c}, {oldX - s, oldZ + c}, {nowX - s, nowZ + c}, {nowX + s, nowZ - c}};
  bool dry = false;
  for (int32_t i = 0; i < 4; ++i) {
    out[i][0] = xz[i][0];
    out[i][1] = TerrainHeightAt(xz[i][0], xz[i][1]);
    out[i][2] = xz[i][1];
    if (out[i][1] > gRace.waterLevel) dry = true;
  }
  return dry;
}

bool NoMark(const WheelState* w) { return w->lastMarkX == -1.0f; }

void ForgetMark(WheelState* w) {
  w->lastMarkX = -1.0f;
  w->lastMarkZ = -1.0f;
}

}  // namespace

void FxDrawParticles() {
  if (!FxEffectsOn()) return;
  RdrDepthWriteOff();
  RdrSetAlphaSourceColour(0, 0, 0, 3);
  RunPool(gFxSpritePool, FX_SPRITE_POOL);
  RdrSetAdditiveBlend(0, 0, 0, 3);
  RunPool(gFxPuffPool, FX_PUFF_POOL);
  DrawGlows();
  RdrSetNormalBlend();
  if (gRace.waterLevel != NO_WATER_LEVEL) {
    RdrSetAlphaSourceColour(0, 0, 0, 1);
    RunPieces();
  }
  RdrDepthWriteOn();
  RdrResetAlphaSource();
}

void FxDrawTyreMarks() {
  if (!FxEffectsOn() || gRace.trackIndex == TRACK_ICE) return;
  const int32_t* colour = gRace.particleColourA;
  RdrDepthWriteOff();
  RdrSetAlphaSourceColour(colour[0], colour[1], colour[2], 1);
  Vertex* v = nullptr;
  Face* f = nullptr;
  const bool room = FxScratch(4, &v, &f);
  if (room)
    for (int32_t k = 0; k < 4; ++k) {
      v[k] = Vertex{};
      FxColour(&v[k], colour[0], colour[1], colour[2]);
    }
  for (TyreMark& mark : gTyreMarks) {
    if (!mark.inUse) continue;
    if (room) {
      float depth = 0.0f;
      for (int32_t k = 0; k < 4; ++k) {
        v[k].x = mark.corners[k][0];
        v[k].y = mark.corners[k][1];
        v[k].z = mark.corners[k][2];
        RdrProjectVertex(&v[k]);
        if (k == 0 || v[k].viewZ > depth) depth = v[k].viewZ;
      }
      if (depth > 0.0f && depth < gRace.viewDistance) {
        f->type = static_cast<uint32_t>(TruncI32(mark.alpha));
        RdrDrawFaceVertexColours(f, 0.0f);
      }
    }
    if (!RaceViewAdvances()) continue;
    mark.alpha -= 2.0f * gRace.timeStep;
    if (mark.alpha < 0.0f) mark.inUse = 0;
  }
  RdrResetAlphaSource();
  RdrDepthWriteOn();
}

void FxAddTyreMark(WheelState* w) {
  if (!w || !FxEffectsOn()) return;
  if (!w->attached) {
    ForgetMark(w);
    return;
  }
  const float nowX = w->centre[0], nowZ = w->centre[2];
  if (NoMark(w)) {
    w->lastMarkX = nowX;
    w->lastMarkZ = nowZ;
    return;
  }
  const float oldX = w->lastMarkX, oldZ = w->lastMarkZ;
  w->lastMarkX = nowX;
  w->lastMarkZ = nowZ;
  float corners[4][3];
  if (!MarkCorners(oldX, oldZ, nowX, nowZ, w->trailHalfWidth, corners)) {
    // Under water: the trail starts again behind it.
    ForgetMark(w);
    return;
  }
  if (gTyreMarkNext < 0 || gTyreMarkNext >= TYRE_MARK_ENTRIES) gTyreMarkNext = 0;
  TyreMark& mark = gTyreMarks[gTyreMarkNext];
  mark.inUse = 1;
  for (int32_t k = 0; k < 4; ++k)
    for (int32_t i = 0; i < 3; ++i) mark.corners[k][i] = corners[k][i];
  mark.depthBias = w->trailDepthBias;
  mark.alpha = MARK_ALPHA;
  gTyreMarkNext = (gTyreMarkNext + 1) % TYRE_MARK_ENTRIES;
}

void FxDrawTyreTrail(WheelState* w) {
  if (!w || !FxEffectsOn() || gRace.trackIndex == TRACK_ICE) return;
  if (!w->attached) {
    ForgetMark(w);
    return;
  }
  if (NoMark(w)) return;
  float corners[4][3];
  if (!MarkCorners(w->lastMarkX, w->lastMarkZ, w->centre[0], w->centre[2], w->trailHalfWidth, corners)) return;
  Vertex* v;
  Face* f;
  if (!FxScratch(4, &v, &f)) return;
  for (int32_t k = 0; k < 4; ++k) {
    v[k] = Vertex{};
    v[k].x = corners[k][0];
    v[k].y = corners[k][1];
    v[k].z = corners[k][2];
    RdrProjectVertex(&v[k]);
  }
  FxColour(&v[0], gRace.particleColourA[0], gRace.particleColourA[1], gRace.particleColourA[2]);
  f->type = TRAIL_FACE_WORD;
  RdrDepthWriteOff();
  RdrDrawFaceFlatAlphaBiased(f, w->trailDepthBias);
  RdrDepthWriteOn();
}
