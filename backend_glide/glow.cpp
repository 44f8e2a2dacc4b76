#include "backend_glide/glide.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "backend_glide/faceclip.h"
#include "engine3d/camera.h"
#include "engine3d/clip.h"
#include "engine3d/mathutil.h"

RdrSun gRdrSun;

const RdrFlareElement gRdrFlares[] = {
    {20.0f, 50.0f, 128.0f, 128.0f, 100.0f, 0.0f, 0.0f},  {60.0f, 5.0f, 128.0f, 0.0f, 0.0f, 0.0f, 90.0f},
    {70.0f, 40.0f, 128.0f, 0.0f, 0.0f, 0.0f, 90.0f},     {80.0f, 5.0f, 128.0f, 0.0f, 0.0f, 0.0f, 90.0f},
    {95.0f, 5.0f, 128.0f, 0.0f, 60.0f, 20.0f, 0.0f},     {180.0f, 5.0f, 0.0f, 128.0f, 50.0f, 50.0f, 50.0f},
    {230.0f, 8.0f, 0.0f, 128.0f, 50.0f, 50.0f, 50.0f},   {250.0f, 15.0f, 128.0f, 0.0f, 70.0f, 20.0f, 0.0f},
    {255.0f, 55.0f, 128.0f, 0.0f, 70.0f, 20.0f, 0.0f},   {260.0f, 5.0f, 128.0f, 0.0f, 70.0f, 20.0f, 0.0f},
    {320.0f, 15.0f, 128.0f, 0.0f, 20.0f, 20.0f, 70.0f},  {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
};

namespace {

constexpr float FLARE_STEP = 0.0028571428f;  // 1/350 of the flare line

void NormalBlend() {
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
}

void AdditiveBlend() {
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
}

// A screen-space square as four temporary vertices behind the vertex count,
// at the near plane, whose view x, y are the screen coordinates; the face is
// the caller's. False when the pool has no room.
bool ScreenQuad(Face* face, float x, float y, float h, uint32_t texture, float s, float t, float size) {
  const int32_t first = gMesh.vertexCount;
  Vertex* v = MeshScratchVertices(first, 4);
  if (!v) return false;
  const float xs[4] = {x - h, x + h, x + h, x - h};
  const float ys[4] = {y - h, y - h, y + h, y + h};
  const float near = gRdrState.nearPlane;
  std::memset(face, 0, sizeof *face);
  face->type = texture;
  face->vertexCount = 4;
  const float ss[4] = {s, s + size, s + size, s};
  const float ts[4] = {t, t, t + size, t + size};
  for (int i = 0; i < 4; ++i) {
    std::memset(&v[i], 0, sizeof v[i]);
    v[i].viewX = v[i].screenX = xs[i];
    v[i].viewY = v[i].screenY = ys[i];
    v[i].viewZ = near;
    face->index[i] = static_cast<uint16_t>(first + i);
    face->st[2 * i] = ss[i];
    face->st[2 * i + 1] = ts[i];
  }
  return true;
}

}  // namespace

void RdrDrawViewQuad(uint32_t texture, int32_t red, int32_t green, int32_t blue) {
  gRdrSun.texture = texture;
  gRdrSun.red = red;
  gRdrSun.green = green;
  gRdrSun.blue = blue;
  gRdrState.glow = 1;
  MatViewFromCamera();
  RdrDepthOff();

  // The sun lies at infinity against the light: only the direction is turned.
  const float dx = -gLight.directionX, dy = -gLight.directionY, dz = -gLight.directionZ;
  const float* m = gCamera.view;
  const float X = dx * m[0] + dy * m[1] + dz * m[2];
  const float Y = dx * m[3] + dy * m[4] + dz * m[5];
  const float Z = dx * m[6] + dy * m[7] + dz * m[8];
  const RdrState& s = gRdrState;
  const float zp = Z < s.nearPlane ? s.nearPlane : Z;
  gRdrSun.screenX = s.centreX + X * s.scaleX / zp;
  gRdrSun.screenY = s.centreY + Y * s.scaleY / zp;
  if (!(zp > s.nearPlane)) gRdrSun.screenX = 10000.0f;  // behind the viewer: glow and flare off screen

  const float h = static_cast<float>(s.screenWidth * 128 / 512);
  Face face;
  if (ScreenQuad(&face, gRdrSun.screenX, gRdrSun.screenY, h, texture, 0.0f, 0.0f, 127.0f)) {
    RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB);
    GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
    RdrDrawFaceTexRaw(&face, static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 255.0f);
    GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  }
  RdrDepthOn();
}

void RdrDrawAdditiveGlows() {
  if (!gRdrState.glow) return;
  const RdrState& s = gRdrState;
  const float W = static_cast<float>(s.screenWidth), H = static_cast<float>(s.screenHeight);
  const float px = gRdrSun.screenX, py = gRdrSun.screenY;
  if (px <= s.clipMinX - W || px >= s.clipMaxX + W || py <= s.clipMinY - H || py >= s.clipMaxY + H) return;

  RdrDepthOff();
  AdditiveBlend();
  // From the sun through the centre and half as far again beyond it.
  const float ex = s.centreX - 1.5f * (px - s.centreX);
  const float ey = s.centreY - 1.5f * (py - s.centreY);
  const float dx = ex - px, dy = ey - py;
  RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
  for (const RdrFlareElement* e = gRdrFlares; e->position != 0.0f; ++e)
    RdrDrawGlowQuad(px + dx * e->position * FLARE_STEP, py + dy * e->position * FLARE_STEP, e);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  RdrDepthOn();
  NormalBlend();
}

void RdrDrawGlowQuad(float x, float y, const RdrFlareElement* element) {
  if (!element) return;
  const RdrState& s = gRdrState;
  const float width = static_cast<float>(s.screenWidth);
  const float h = width * element->size / 512.0f;
  Face face;
  if (!ScreenQuad(&face, x, y, h, gRdrSun.texture, element->s, element->t, 127.0f)) return;
  // Fades sideways from the centre; near the centre it runs above 255 and the
  // accelerator clamps it.
  float alpha = 400.0f - 150.0f * std::fabs(x - s.centreX) / width;
  if (alpha < 0.0f) alpha = 0.0f;
  RdrDrawFaceTexRaw(&face, element->red, element->green, element->blue, alpha);
}

void RdrSetAdditiveBlend(int32_t red, int32_t green, int32_t blue, int32_t source) {
  AdditiveBlend();
  GfxAlphaSource(source);
  GfxConstantColorValue(static_cast<uint32_t>(blue & 0xFF) << 16 | static_cast<uint32_t>(green & 0xFF) << 8 |
                        static_cast<uint32_t>(red & 0xFF));
}

void RdrSetNormalBlend() {
  NormalBlend();
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
}

void RdrDrawLine(const Vertex* a, const Vertex* b, uint32_t colour) {
  if (!a || !b) return;
  const RdrState& s = gRdrState;
  for (const Vertex* v : {a, b})
    if (!(v->viewZ >= s.nearPlane && v->viewZ <= s.farPlane)) return;
  RdrVertex ends[2];
  std::memset(ends, 0, sizeof ends);
  const Vertex* src[2] = {a, b};
  for (int i = 0; i < 2; ++i) {
    ends[i].x = static_cast<float>(TruncI32(src[i]->screenX));
    ends[i].y = static_cast<float>(TruncI32(src[i]->screenY));
    ends[i].oow = 1.0f / src[i]->viewZ;
    ends[i].ooz = RDR_DEPTH_SCALE / src[i]->viewZ;
  }
  RdrCacheColorCombine(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(colour);
  GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
  GfxDrawLine(&ends[0], &ends[1]);
  NormalBlend();
}

