// What the effect steps share: the depth window, the alpha byte of a slot's
// type word, the animated-puff frame, scratch faces.
#pragma once
#include <cstdint>

#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/sprite.h"
#include "presentation/fx.h"
#include "race/assets.h"
#include "race/race.h"

// The depth window the puffs are drawn in: 5.0 .. the far distance.
inline bool FxInDepth(const DrawSlot* slot) { return !(slot->viewZ < 5.0f || slot->viewZ > gRace.viewDistance); }

// The alpha the sprite routines read from the type word's second byte.
inline void FxSetAlpha(DrawSlot* slot, int32_t alpha) {
  if (alpha < 0) alpha = 0;
  if (alpha > 255) alpha = 255;
  slot->kind = (slot->kind & 0xFFFF00FFu) | static_cast<uint32_t>(alpha) << 8;
}

inline Sprite* FxSprite(int32_t index) { return index >= 0 && index < FX_SPRITES ? gFxSprites[index] : nullptr; }

inline void FxFree(DrawSlot* slot) { slot->visible = FX_KIND_FREE; }

// The animated puffs' frame: trunc(w1); a puff past its eighth frame is freed.
inline bool FxPuffEnded(DrawSlot* slot, int32_t* frame) {
  *frame = TruncI32(FxW1(slot));
  if (*frame < 8) return false;
  FxFree(slot);
  return true;
}

// A sprite drawn with its half sizes changed for the one draw.
struct FxSpriteSizes {
  Sprite* sprite;
  float halfWidth, halfHeight;
  FxSpriteSizes(Sprite* s, float w, float h) : sprite(s), halfWidth(s ? s->halfWidth : 0.0f), halfHeight(s ? s->halfHeight : 0.0f) {
    if (!s) return;
    s->halfWidth = w;
    s->halfHeight = h;
  }
  ~FxSpriteSizes() {
    if (!sprite) return;
    sprite->halfWidth = halfWidth;
    sprite->halfHeight = halfHeight;
  }
  FxSpriteSizes(const FxSpriteSizes&) = delete;
  FxSpriteSizes& operator=(const FxSpriteSizes&) = delete;
};

// n scratch vertices and one scratch face past the current counts, the face's
// indices naming them; false (nothing to draw) when the reserve lacks room.
inline bool FxScratch(int32_t n, Vertex** vertices, Face** face) {
  const int32_t first = gMesh.vertexCount;
  if (first + n > UINT16_MAX + 1) return false;
  *vertices = MeshScratchVertices(first, n);
  *face = MeshScratchFaces(gMesh.faceCount, 1);
  if (!*vertices || !*face) return false;
  **face = Face{};
  (*face)->vertexCount = static_cast<uint8_t>(n);
  for (int32_t i = 0; i < n; ++i) (*face)->index[i] = static_cast<uint16_t>(first + i);
  return true;
}

inline void FxColour(Vertex* v, int32_t red, int32_t green, int32_t blue) {
  v->red = static_cast<uint8_t>(red);
  v->green = static_cast<uint8_t>(green);
  v->blue = static_cast<uint8_t>(blue);
}
