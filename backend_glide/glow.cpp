#include "backend_glide/glide.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "backend_glide/faceclip.h"
#include "engine3d/camera.h"
#include "engine3d/clip.h"
#include "engine3d/mathutil.h"

namespace {

void NormalBlend() {
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
}

void AdditiveBlend() {
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
}

}  // namespace

void RdrDrawViewQuad(uint32_t texture, int32_t red, int32_t green, int32_t blue) {
  RdrDepthOff();
  RdrSunProject(texture, red, green, blue);
  const RdrState& s = gRdrState;

  const float h = static_cast<float>(s.screenWidth * 128 / 512);
  Face face;
  if (RdrScreenQuad(&face, gRdrSun.screenX, gRdrSun.screenY, h, texture, 0.0f, 0.0f, 127.0f)) {
    RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB);
    GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
    RdrDrawFaceTexRaw(&face, static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 255.0f);
    GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  }
  RdrDepthOn();
}

void RdrDrawAdditiveGlows() {
  float px, py, dx, dy;
  if (!RdrFlareLine(&px, &py, &dx, &dy)) return;
  RdrDepthOff();
  AdditiveBlend();
  RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
  for (const RdrFlareElement* e = gRdrFlares; e->position != 0.0f; ++e)
    RdrDrawGlowQuad(px + dx * e->position * RDR_FLARE_STEP, py + dy * e->position * RDR_FLARE_STEP, e);
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
  if (!RdrScreenQuad(&face, x, y, h, gRdrSun.texture, element->s, element->t, 127.0f)) return;
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

