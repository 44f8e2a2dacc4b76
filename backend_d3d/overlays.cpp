// The sun quad, the lens flare, lines and the layer planes.
#include <cmath>

#include "backend_common/draw_common.h"
#include "backend_d3d/faces.h"

namespace {

void BlendAdditive() {
  HalD3dSetRenderState(gD3d.device, HAL_RS_SRCBLEND, HAL_BLEND_SRCALPHA);
  HalD3dSetRenderState(gD3d.device, HAL_RS_DESTBLEND, HAL_BLEND_ONE);
}

// The flare table's cells are laid out in texels of a 256 x 256 texture.
constexpr float FLARE_TEXELS = 256.0f;
// One texel short of the cell, so a filtered glow never takes in the next.
constexpr float FLARE_CELL = 0.4999f;

}  // namespace

void RdrDrawViewQuad(uint32_t texture, int32_t red, int32_t green, int32_t blue) {
  RdrSunProject(texture, red, green, blue);
  RdrDepthOff();
  const float half = static_cast<float>(gRdrState.screenWidth * 128 / 512);
  Face face;
  if (RdrScreenQuad(&face, gRdrSun.screenX, gRdrSun.screenY, half, texture, 0.0f, 0.0f, 0.5f)) {
    // As torvane draws it: the glow plus the sky colour, laid over the sky by
    // the glow's alpha.
    RdrBlendAlpha();
    RdrCacheStageMode(3);
    RdrDrawFaceTexRaw(&face, static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 255.0f);
    RdrBlendOpaque();
  }
  RdrDepthOn();
}

void RdrDrawAdditiveGlows() {
  float px, py, dx, dy;
  if (!RdrFlareLine(&px, &py, &dx, &dy)) return;
  RdrDepthOff();
  // As torvane draws it: each element plus its colour, added by its alpha.
  BlendAdditive();
  RdrCacheStageMode(3);
  for (const RdrFlareElement* e = gRdrFlares; e->position != 0.0f; ++e)
    RdrDrawGlowQuad(px + dx * e->position * RDR_FLARE_STEP, py + dy * e->position * RDR_FLARE_STEP, e);
  RdrBlendOpaque();
  RdrDepthOn();
}

void RdrDrawGlowQuad(float x, float y, const RdrFlareElement* element) {
  if (!element) return;
  const RdrState& s = gRdrState;
  const float width = static_cast<float>(s.screenWidth);
  const float half = width * element->size / 512.0f;
  Face face;
  if (!RdrScreenQuad(&face, x, y, half, gRdrSun.texture, element->s / FLARE_TEXELS, element->t / FLARE_TEXELS,
                     FLARE_CELL))
    return;
  // Fades sideways from the centre of the screen; near the centre it is
  // above 255 and the vertex alpha holds it there, as torvane's does.
  float intensity = 400.0f - 150.0f * std::fabs(x - s.centreX) / width;
  if (intensity < 0.0f) intensity = 0.0f;
  RdrDrawFaceTexRaw(&face, element->red, element->green, element->blue, intensity);
}

void RdrDrawLine(const Vertex* a, const Vertex* b, uint32_t colour) {
  if (!a || !b) return;
  const RdrState& s = gRdrState;
  const Vertex* ends[2] = {a, b};
  for (const Vertex* v : ends)
    if (!(v->viewZ >= s.nearPlane && v->viewZ <= s.farPlane)) return;
  const float minX = std::fmin(a->screenX, b->screenX), maxX = std::fmax(a->screenX, b->screenX);
  const float minY = std::fmin(a->screenY, b->screenY), maxY = std::fmax(a->screenY, b->screenY);
  if (minX > s.clipMaxX || maxX < s.clipMinX || minY > s.clipMaxY || maxY < s.clipMinY) return;
  RdrVertex line[2] = {};
  for (int i = 0; i < 2; ++i) {
    line[i].sx = ends[i]->screenX;
    line[i].sy = ends[i]->screenY;
    line[i].rhw = 1.0f / ends[i]->viewZ;
    line[i].sz = 1.0f - line[i].rhw;
    line[i].diffuse = colour;
  }
  RdrCacheStageMode(0);
  HalD3dSetTexture(gD3d.device, 0, 0);
  HalD3dSetRenderState(gD3d.device, HAL_RS_ALPHATESTENABLE, 0);
  HalD3dDrawPrimitive(gD3d.device, HAL_PRIM_LINELIST, line, 2, RDR_DRAW_CLIPPED);
  HalD3dSetRenderState(gD3d.device, HAL_RS_ALPHATESTENABLE, 1);
  if (!RdrHasAlphaTest()) HalD3dSetRenderState(gD3d.device, HAL_RS_COLORKEYENABLE, 1);
}

void RdrDrawGroundStrip(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight) {
  RdrDrawStripLayer(texture, height, texelSize, absoluteHeight, false, 0.0f, 0.0f);
}

void RdrDrawGroundStripAdd(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, float screenX,
                           float screenY) {
  RdrDrawStripLayer(texture, height, texelSize, absoluteHeight, true, screenX, screenY);
}

void RdrAdvanceStripScroll(float du, float dv) {
  gRdrStripScroll.x += du;
  gRdrStripScroll.z += dv;
}
