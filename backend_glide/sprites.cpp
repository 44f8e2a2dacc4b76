#include "backend_glide/glide.h"

#include <algorithm>
#include <cstring>

#include "backend_glide/faceclip.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/scene.h"

namespace {

// The two projected ends of a streak.
Vertex gStreakEnds[2];

const Sprite* SpriteOf(const DrawSlot* slot) {
  return slot ? static_cast<const Sprite*>(slot->owner) : nullptr;
}

float SlotAlpha(const DrawSlot* slot) { return static_cast<float>((slot->kind & 0xFFFFFF) >> 8); }

int32_t SpriteTexture(const Sprite* sprite) { return static_cast<int32_t>(sprite->type & 0xFF); }


// The accelerator's depth and texture values of a corner at view depth z, and
// whole pixels. Depth nearer than 4 gives ooz above 65535: the accelerator
// clamps it to the top of the depth buffer.
void FinishCorner(RdrVertex& c, float z) {
  float oow = 1.0f / z;
  c.oow = oow;
  c.ooz = RDR_DEPTH_SCALE * oow;
  c.tmu[0].sow = c.tmu[0].sow * oow;
  c.tmu[0].tow = c.tmu[0].tow * oow;
  c.x = RdrWholePixel(c.x);
  c.y = RdrWholePixel(c.y);
}


void DrawQuadPoly() {
  RdrPoly& p = gRdrPoly;
  if (RdrPolyInsideClip(p))
    GfxDrawPolygonVertexList(4, p.corner);
  else
    GfxDrawPolygonVertexListWithClip(4, p.corner);
}

enum class Billboard : uint8_t { PLAIN, ALPHA, TEX_ALPHA, CELL };

void DrawBillboard(DrawSlot* slot, Billboard kind, int32_t red = 0, int32_t green = 0, int32_t blue = 0) {
  const Sprite* sprite = SpriteOf(slot);
  if (!sprite) return;
  const RdrState& s = gRdrState;
  const float X = slot->viewX, Y = slot->viewY, Z = slot->viewZ;
  // At or behind the camera the projection has no meaning (and would divide
  // by zero); nearer than the near plane is still drawn.
  if (!(Z > 0.0f)) return;

  const float cx = s.centreX + X * s.scaleX / Z;
  const float cy = s.centreY + Y * s.scaleY / Z;
  const float W = s.scaleX * sprite->halfWidth / Z;
  const float H = s.scaleY * sprite->halfHeight / Z;
  float left = cx - W, right = cx + W, top = cy - H, bottom = cy + H;
  // A sprite narrower than a pixel still covers one column (row).
  if (left == right) right += 1.0f;
  if (top == bottom) bottom += 1.0f;

  RdrPoly& p = gRdrPoly;
  p.minX = left;
  p.maxX = right;
  p.minY = top;
  p.maxY = bottom;
  p.minZ = p.maxZ = Z;
  if (RdrPolyOffClip(p)) return;

  const float xs[4] = {left, right, right, left};
  const float ys[4] = {top, top, bottom, bottom};
  const float ss[4] = {sprite->s0, sprite->s1, sprite->s1, sprite->s0};
  const float ts[4] = {sprite->t0, sprite->t0, sprite->t1, sprite->t1};
  // The cell particle's rectangle comes from its depth, but the depth buffer
  // sees it pulled 4 units nearer.
  float depth = Z;
  if (kind == Billboard::CELL) {
    depth = Z - 4.0f;
    if (depth < 1.0f) depth = 1.0f;
  }
  const float alpha = SlotAlpha(slot);
  p.count = 4;
  for (int i = 0; i < 4; ++i) {
    RdrVertex& c = p.corner[i];
    c.x = xs[i];
    c.y = ys[i];
    c.z = Z;
    c.tmu[0].sow = ss[i];
    c.tmu[0].tow = ts[i];
    if (kind != Billboard::PLAIN) c.a = alpha;
    if (kind == Billboard::CELL) {
      c.r = static_cast<float>(red);
      c.g = static_cast<float>(green);
      c.b = static_cast<float>(blue);
    }
    FinishCorner(c, depth);
  }

  switch (kind) {
    case Billboard::PLAIN:
      RdrCacheColorCombine(GFX_COMBINE_DECAL_TEXTURE);
      break;
    case Billboard::ALPHA:
    case Billboard::TEX_ALPHA:
      RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA);
      break;
    case Billboard::CELL:
      RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB);
      break;
  }
  RdrCacheTexSource(SpriteTexture(sprite));
  if (kind == Billboard::ALPHA) GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
  DrawQuadPoly();
  if (kind == Billboard::ALPHA) GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
}

void SetSt(Face* face, const float st[8]) { std::memcpy(face->st, st, sizeof face->st); }

}  // namespace

void RdrDrawSprite(DrawSlot* slot) { DrawBillboard(slot, Billboard::PLAIN); }
void RdrDrawSpriteAlpha(DrawSlot* slot) { DrawBillboard(slot, Billboard::ALPHA); }
void RdrDrawSpriteTexAlpha(DrawSlot* slot) { DrawBillboard(slot, Billboard::TEX_ALPHA); }

void RdrDrawSpriteCell(DrawSlot* slot, int32_t red, int32_t green, int32_t blue) {
  DrawBillboard(slot, Billboard::CELL, red, green, blue);
}

void RdrDrawSpriteStreak(DrawSlot* slot) {
  const Sprite* sprite = SpriteOf(slot);
  if (!sprite) return;
  const RdrState& s = gRdrState;
  Vertex& base = gStreakEnds[0];
  Vertex& top = gStreakEnds[1];
  base.x = slot->x;
  base.y = slot->y;
  base.z = slot->z;
  RdrProjectVertex(&base);
  if (base.viewZ < 1.0f) return;
  const float wB = sprite->halfWidth * s.scaleX / base.viewZ;
  top.x = slot->x;
  top.y = slot->y + 2.0f * sprite->halfHeight;
  top.z = slot->z;
  RdrProjectVertex(&top);
  if (top.viewZ < 1.0f) return;
  const float wT = sprite->halfWidth * s.scaleX / top.viewZ;

  // Both edges are centred on the base point, so the streak stays upright.
  const float xs[4] = {base.screenX - wT, base.screenX + wT, base.screenX + wB, base.screenX - wB};
  const float ys[4] = {top.screenY, top.screenY, base.screenY, base.screenY};
  const float zs[4] = {top.viewZ, top.viewZ, base.viewZ, base.viewZ};
  const float ss[4] = {sprite->s0, sprite->s1, sprite->s1, sprite->s0};
  const float ts[4] = {sprite->t0, sprite->t0, sprite->t1, sprite->t1};
  RdrPoly& p = gRdrPoly;
  p.minX = p.maxX = xs[0];
  p.minY = p.maxY = ys[0];
  for (int i = 1; i < 4; ++i) {
    if (xs[i] < p.minX) p.minX = xs[i];
    if (xs[i] > p.maxX) p.maxX = xs[i];
    if (ys[i] < p.minY) p.minY = ys[i];
    if (ys[i] > p.maxY) p.maxY = ys[i];
  }
  p.minZ = base.viewZ < top.viewZ ? base.viewZ : top.viewZ;
  p.maxZ = base.viewZ < top.viewZ ? top.viewZ : base.viewZ;
  if (RdrPolyOffClip(p)) return;

  const float alpha = SlotAlpha(slot);
  p.count = 4;
  for (int i = 0; i < 4; ++i) {
    RdrVertex& c = p.corner[i];
    c.x = xs[i];
    c.y = ys[i];
    c.z = zs[i];
    c.a = alpha;
    c.tmu[0].sow = ss[i];
    c.tmu[0].tow = ts[i];
    FinishCorner(c, zs[i]);
  }
  RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA);
  RdrCacheTexSource(SpriteTexture(sprite));
  DrawQuadPoly();
}

void RdrDrawSpriteRotated(DrawSlot* slot, int32_t red, int32_t green, int32_t blue, uint16_t angle) {
  const Sprite* sprite = SpriteOf(slot);
  if (!sprite) return;
  Face* face = RdrTurnedQuad(slot, sprite->halfWidth, sprite->halfHeight, angle);
  if (!face) return;
  face->type = sprite->type & 0xFF;
  const float st[8] = {sprite->s0, sprite->t1, sprite->s1, sprite->t1, sprite->s1, sprite->t0, sprite->s0, sprite->t0};
  SetSt(face, st);
  RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA);
  RdrDrawFaceTexRaw(face, static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue),
                    SlotAlpha(slot));
}

void RdrDrawQuadRotated(DrawSlot* slot, int32_t red, int32_t green, int32_t blue, float alpha, float halfSize,
                        uint16_t angle) {
  Face* face = RdrRotatedSquare(slot, halfSize, angle);
  if (!face) return;
  RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ITRGB);
  RdrDrawFaceTexRaw(face, static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), alpha);
}

void RdrSetAlphaSourceColour(int32_t red, int32_t green, int32_t blue, int32_t source) {
  GfxAlphaSource(source);
  GfxConstantColorValue(static_cast<uint32_t>(blue & 0xFF) << 16 | static_cast<uint32_t>(green & 0xFF) << 8 |
                        static_cast<uint32_t>(red & 0xFF));
}

void RdrResetAlphaSource() { GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA); }
