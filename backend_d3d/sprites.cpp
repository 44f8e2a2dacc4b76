// Camera-facing sprites and the blend switches the game brackets its
// translucent drawing with.
#include <algorithm>
#include <cstring>

#include "backend_common/draw_common.h"
#include "backend_d3d/faces.h"

uint32_t gRdrConstantColour = 0;

namespace {

const Sprite* SpriteOf(const DrawSlot* slot) { return slot ? static_cast<const Sprite*>(slot->owner) : nullptr; }

// Bits 8 and up of the kind word; more than 255 is as opaque as 255.
uint32_t SlotAlpha(const DrawSlot* slot) { return std::min<uint32_t>((slot->kind & 0xFFFFFF) >> 8, 255); }

// The sprite's texture is the low byte of its type word; one past the table
// has nothing to draw with.
bool SpriteTexture(const Sprite* sprite, HalObject* texture) {
  const uint32_t id = sprite->type & 0xFF;
  if (id >= static_cast<uint32_t>(gTextureTable.count)) return false;
  *texture = gTexSurfaces[id].texture;
  return true;
}

uint32_t Rgb(int32_t red, int32_t green, int32_t blue) {
  return static_cast<uint32_t>(red & 0xFF) << 16 | static_cast<uint32_t>(green & 0xFF) << 8 |
         static_cast<uint32_t>(blue & 0xFF);
}

void SetDepth(RdrVertex& c, float z) {
  c.rhw = 1.0f / z;
  c.sz = 1.0f - 1.0f / z;
}

bool OffClip(float x0, float y0, float x1, float y1) {
  const RdrState& s = gRdrState;
  return x0 > s.clipMaxX || x1 < s.clipMinX || y0 > s.clipMaxY || y1 < s.clipMinY;
}

// The first four corners of gRdrPoly at these screen points, in fan order,
// with the sprite's texture corners.
void PlaceCorners(const Sprite* sprite, const float xs[4], const float ys[4]) {
  const float ss[4] = {sprite->s0, sprite->s1, sprite->s1, sprite->s0};
  const float ts[4] = {sprite->t0, sprite->t0, sprite->t1, sprite->t1};
  for (int i = 0; i < 4; ++i) {
    RdrVertex& c = gRdrPoly.work[i];
    c.sx = xs[i];
    c.sy = ys[i];
    c.tu = ss[i];
    c.tv = ts[i];
  }
}

// The four corners drawn as a fan with the texture, unless their box lies
// outside the clip window; the device clips only a box that crosses it.
void DrawCorners(HalObject texture) {
  RdrPoly& p = gRdrPoly;
  p.count = 4;
  p.minX = p.maxX = p.work[0].sx;
  p.minY = p.maxY = p.work[0].sy;
  for (int i = 1; i < 4; ++i) {
    p.minX = std::min(p.minX, p.work[i].sx);
    p.maxX = std::max(p.maxX, p.work[i].sx);
    p.minY = std::min(p.minY, p.work[i].sy);
    p.maxY = std::max(p.maxY, p.work[i].sy);
  }
  if (OffClip(p.minX, p.minY, p.maxX, p.maxY)) return;
  const RdrState& s = gRdrState;
  const bool inside = p.minX >= s.clipMinX && p.maxX <= s.clipMaxX && p.minY >= s.clipMinY && p.maxY <= s.clipMaxY;
  HalD3dSetTexture(gD3d.device, 0, texture);
  HalD3dDrawPrimitive(gD3d.device, HAL_PRIM_TRIANGLEFAN, p.work, 4, inside ? RDR_DRAW_INSIDE : RDR_DRAW_CLIPPED);
}

enum class Billboard : uint8_t { PLAIN, ALPHA, TEX_ALPHA, CELL };

void DrawBillboard(DrawSlot* slot, Billboard kind, int32_t red = 0, int32_t green = 0, int32_t blue = 0) {
  const Sprite* sprite = SpriteOf(slot);
  HalObject texture = 0;
  if (!sprite || !SpriteTexture(sprite, &texture)) return;
  const RdrState& s = gRdrState;
  const float X = slot->viewX, Y = slot->viewY, Z = slot->viewZ;
  // At or behind the camera the projection has no meaning (and would divide
  // by zero); nearer than the near plane is still drawn.
  if (!(Z > 0.0f)) return;
  const float sx = s.centreX + X * s.scaleX / Z;
  const float sy = s.centreY + Y * s.scaleY / Z;
  const float hw = sprite->halfWidth * s.scaleX / Z;
  const float hh = sprite->halfHeight * s.scaleY / Z;
  const float x0 = sx - hw, y0 = sy - hh;
  float x1 = sx + hw, y1 = sy + hh;
  // A sprite narrower than a pixel still covers one column (row).
  if (x1 == x0) x1 = x0 + 1.0f;
  if (y1 == y0) y1 = y0 + 1.0f;
  if (OffClip(x0, y0, x1, y1)) return;

  const uint32_t alpha = SlotAlpha(slot) << 24;
  uint32_t diffuse = 0;
  if (kind == Billboard::ALPHA) diffuse = alpha | 0xFFFFFF;
  if (kind == Billboard::TEX_ALPHA) diffuse = alpha | 0x7F7F7F;
  if (kind == Billboard::CELL) diffuse = gRdrConstantColour | Rgb(red, green, blue) | alpha;
  const float xs[4] = {x0, x1, x1, x0};
  const float ys[4] = {y0, y0, y1, y1};
  PlaceCorners(sprite, xs, ys);
  for (int i = 0; i < 4; ++i) {
    RdrVertex& c = gRdrPoly.work[i];
    if (kind != Billboard::PLAIN) c.diffuse = diffuse;
    if (kind != Billboard::CELL) {
      SetDepth(c, Z);
    } else if (Z - 4.0f < 1.0f) {
      // Pulled 4 units nearer, but never in front of the depth range.
      c.rhw = 0.9999f;
      c.sz = 0.0f;
    } else {
      SetDepth(c, Z - 4.0f);
    }
  }
  if (kind == Billboard::PLAIN) RdrCacheStageMode(0);
  if (kind == Billboard::ALPHA) {
    // The slot's alpha takes part, so a splash fades out.
    RdrBlendAlpha();
    RdrCacheStageMode(2);
  }
  DrawCorners(texture);
  if (kind == Billboard::ALPHA) RdrBlendOpaque();
}

// The blend switches' shared part: source alpha over the given destination,
// the constant colour, and the stage mode the alpha source asks for.
void SetAlphaSource(uint32_t destination, int32_t red, int32_t green, int32_t blue, int32_t source) {
  HalD3dSetRenderState(gD3d.device, HAL_RS_SRCBLEND, HAL_BLEND_SRCALPHA);
  HalD3dSetRenderState(gD3d.device, HAL_RS_DESTBLEND, destination);
  gRdrConstantColour = Rgb(red, green, blue);
  RdrCacheStageMode(source == 3 ? 4 : source == 4 ? 2 : 0);
}

}  // namespace

void RdrDrawSprite(DrawSlot* slot) { DrawBillboard(slot, Billboard::PLAIN); }
void RdrDrawSpriteAlpha(DrawSlot* slot) { DrawBillboard(slot, Billboard::ALPHA); }
void RdrDrawSpriteTexAlpha(DrawSlot* slot) { DrawBillboard(slot, Billboard::TEX_ALPHA); }

void RdrDrawSpriteCell(DrawSlot* slot, int32_t red, int32_t green, int32_t blue) {
  DrawBillboard(slot, Billboard::CELL, red, green, blue);
}

void RdrDrawSpriteStreak(DrawSlot* slot) {
  const Sprite* sprite = SpriteOf(slot);
  HalObject texture = 0;
  if (!sprite || !SpriteTexture(sprite, &texture)) return;
  const RdrState& s = gRdrState;
  Vertex a{}, b{};
  a.x = b.x = slot->x;
  a.y = slot->y;
  b.y = slot->y + 2.0f * sprite->halfHeight;
  a.z = b.z = slot->z;
  RdrProjectVertex(&a);
  RdrProjectVertex(&b);
  if (a.viewZ < 1.0f || b.viewZ < 1.0f) return;
  const float hwA = sprite->halfWidth * s.scaleX / a.viewZ;
  const float hwB = sprite->halfWidth * s.scaleX / b.viewZ;
  // Both ends are centred on the base point, so the streak stays upright.
  const float xs[4] = {a.screenX - hwB, a.screenX + hwB, a.screenX + hwA, a.screenX - hwA};
  const float ys[4] = {b.screenY, b.screenY, a.screenY, a.screenY};
  const float zs[4] = {b.viewZ, b.viewZ, a.viewZ, a.viewZ};
  PlaceCorners(sprite, xs, ys);
  for (int i = 0; i < 4; ++i) {
    gRdrPoly.work[i].diffuse = SlotAlpha(slot) << 24 | 0xFFFFFF;
    SetDepth(gRdrPoly.work[i], zs[i]);
  }
  DrawCorners(texture);
}

void RdrDrawSpriteRotated(DrawSlot* slot, int32_t red, int32_t green, int32_t blue, uint16_t angle) {
  const Sprite* sprite = SpriteOf(slot);
  if (!sprite) return;
  Face* face = RdrTurnedQuad(slot, sprite->halfWidth, sprite->halfHeight, angle);
  if (!face) return;
  face->type = sprite->type & 0xFF;
  const float st[8] = {sprite->s0, sprite->t1, sprite->s1, sprite->t1, sprite->s1, sprite->t0, sprite->s0, sprite->t0};
  std::memcpy(face->st, st, sizeof st);
  RdrDrawFaceTexRaw(face, static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue),
                    static_cast<float>(SlotAlpha(slot)));
}

// No caller in the game: the colour modulates the texture, as the software
// back end's combine does, and the alpha argument goes with the vertices.
void RdrDrawQuadRotated(DrawSlot* slot, int32_t red, int32_t green, int32_t blue, float alpha, float halfSize,
                        uint16_t angle) {
  Face* face = RdrRotatedSquare(slot, halfSize, angle);
  if (!face) return;
  RdrCacheStageMode(1);
  RdrDrawFaceTexRaw(face, static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), alpha);
}

void RdrSetAlphaSourceColour(int32_t red, int32_t green, int32_t blue, int32_t source) {
  SetAlphaSource(HAL_BLEND_INVSRCALPHA, red, green, blue, source);
}

void RdrSetAdditiveBlend(int32_t red, int32_t green, int32_t blue, int32_t source) {
  SetAlphaSource(HAL_BLEND_ONE, red, green, blue, source);
}

void RdrResetAlphaSource() {
  RdrBlendOpaque();
  RdrCacheStageMode(0);
}

void RdrSetNormalBlend() { RdrResetAlphaSource(); }
