// Screen-plane quads, the fade to black and the minimap.
#include "presentation/quads.h"

#include <algorithm>
#include <cstring>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "presentation/presentation.h"
#include "race/race.h"

namespace {

constexpr float QUAD_DEPTH = 10.0f;
// Without a built terrain the map spans the whole world.
constexpr float WORLD_EXTENT_X = 16000.0f, WORLD_EXTENT_Z = 8000.0f;
constexpr int32_t ICON_WIDTH = 40, ICON_HEIGHT = 64, ICONS_PER_ROW = 4, ICON_LAST = 6;
constexpr int32_t MINIMAP_TABLE_VEHICLES = 5;

struct Strip {
  float left, top;  // the icons' origin: the strip's edges without the one-pixel border
  float x0, y0, x1, y1;
};

// Placed as the view asks: under the lap lines in one view, beside the
// centre in split screen.
Strip MinimapStrip() {
  const int32_t w = gRdrState.screenWidth, h = gRace.viewHeight;
  const float cx = gRdrState.centreX, cy = gRdrState.centreY;
  Strip s{};
  if (gRace.playersMode == 1) {
    s.top = cy - static_cast<float>(h * 64 / 384);
    s.left = gRace.splitSideBySide ? cx - static_cast<float>(w * 64 / 1024) : static_cast<float>(w * 446 / 512);
    s.x1 = gRace.splitSideBySide ? cx + static_cast<float>(w * 64 / 1024) : static_cast<float>(w * 446 / 512 + w * 64 / 512);
  } else {
    s.top = static_cast<float>(gRace.viewTop + h * 254 / 384);
    s.left = static_cast<float>(w * 446 / 512);
    s.x1 = static_cast<float>(w * 446 / 512 + w * 64 / 512);
  }
  s.x0 = s.left - 1.0f;
  s.y0 = s.top - 1.0f;
  s.y1 = s.top + static_cast<float>(h * 128 / 384);
  return s;
}

void MapExtents(float* x, float* z) {
  const TerrainDesc* d = gTerrain.desc;
  const bool known = d && d->extentX > 0.0f && d->extentZ > 0.0f;
  *x = known ? d->extentX : WORLD_EXTENT_X;
  *z = known ? d->extentZ : WORLD_EXTENT_Z;
}

}  // namespace

Face* QuadBuild(float x0, float y0, float x1, float y1, float depth) {
  Vertex* v = MeshScratchVertices(gMesh.vertexCount, 4);
  Face* f = MeshScratchFaces(gMesh.faceCount, 1);
  if (!v || !f) return nullptr;
  std::memset(v, 0, 4 * sizeof(Vertex));
  std::memset(f, 0, sizeof(Face));
  const float xs[4] = {x0, x1, x1, x0};
  const float ys[4] = {y0, y0, y1, y1};
  f->vertexCount = 4;
  for (int i = 0; i < 4; ++i) {
    v[i].screenX = xs[i];
    v[i].screenY = ys[i];
    v[i].viewZ = depth;
    f->index[i] = static_cast<uint16_t>(gMesh.vertexCount + i);
  }
  return f;
}

void QuadSetTexels(Face* face, const float st[8]) {
  // Given in the texture's texels; the back end may sample in other units.
  float su = 1.0f, tu = 1.0f;
  TexCoordUnits(face->type & 0xFFFFFF, &su, &tu);
  for (int i = 0; i < 8; i += 2) {
    face->st[i] = st[i] / su;
    face->st[i + 1] = st[i + 1] / tu;
  }
}

void QuadDrawPicture(float x0, float y0, float x1, float y1, uint32_t texture, float s0, float t0, float s1,
                     float t1) {
  Face* f = QuadBuild(x0, y0, x1, y1, QUAD_HUD_DEPTH);
  if (!f) return;
  f->type = (texture & 0xFFFFFF) | QUAD_PICTURE_TYPE;
  const float st[8] = {s0, t0, s1, t0, s1, t1, s0, t1};
  QuadSetTexels(f, st);
  RdrDrawFaceDecal(f);
}

void ViewDrawShadeQuad(float x0, float y0, float x1, float y1, int32_t grey, int32_t alpha) {
  Face* f = QuadBuild(x0, y0, x1, y1, QUAD_DEPTH);
  if (!f) return;
  const uint8_t level = static_cast<uint8_t>(std::clamp(grey, 0, 255));
  for (int i = 0; i < 4; ++i) {
    Vertex& v = gMesh.vertices[f->index[i]];
    v.red = v.green = v.blue = level;
  }
  f->type = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  RdrDrawFaceFlatAlpha(f);
}

void ViewDrawTexturedQuad(float x0, float y0, float x1, float y1, uint32_t faceWord) {
  Face* f = QuadBuild(x0, y0, x1, y1, QUAD_DEPTH);
  if (!f) return;
  f->type = faceWord;
  RdrDrawFaceFlat(f);
}

void HudDrawMinimapIcon(float x, float y, const Vehicle* vehicle) {
  const int32_t w = gRdrState.screenWidth, h = gRace.viewHeight;
  const int32_t i = std::clamp(vehicle->type, 0, ICON_LAST);
  const float uL = static_cast<float>(ICON_WIDTH * (i % ICONS_PER_ROW)), uR = uL + ICON_WIDTH;
  const float vT = static_cast<float>(ICON_HEIGHT * (i / ICONS_PER_ROW)), vB = vT + ICON_HEIGHT;
  const int32_t a = TruncI32(256.0f - vehicle->heading);
  const float c = MathCos(a), s = MathSin(a);
  const float hw = static_cast<float>(w * 5 / 512), hh = static_cast<float>(h * 9 / 384);
  Face* f = QuadBuild(0, 0, 0, 0, QUAD_HUD_DEPTH);
  if (!f) return;
  const float xs[4] = {x - hw * c - hh * s, x + hw * c - hh * s, x + hw * c + hh * s, x - hw * c + hh * s};
  const float ys[4] = {y + hh * c - hw * s, y + hh * c + hw * s, y - hh * c + hw * s, y - hh * c - hw * s};
  for (int k = 0; k < 4; ++k) {
    Vertex& v = gMesh.vertices[f->index[k]];
    v.screenX = xs[k];
    v.screenY = ys[k];
  }
  int32_t sRange = 0, tRange = 0;
  f->type = static_cast<uint32_t>(TexFindHandle("minicar.3df", &sRange, &tRange));
  const float st[8] = {uL, vB, uR, vB, uR, vT, uL, vT};
  QuadSetTexels(f, st);
  RdrDrawFaceDecal(f);
}

void HudDrawMinimap() {
  const Strip strip = MinimapStrip();
  if (gRace.mapTexture) {
    // The picture lies a quarter-turn over: the world's x runs up the strip.
    Face* f = QuadBuild(strip.x0, strip.y0, strip.x1, strip.y1, QUAD_HUD_DEPTH);
    if (f) {
      f->type = gRace.mapTexture;
      const float st[8] = {255.0f, 0.0f, 255.0f, 127.0f, 0.0f, 127.0f, 0.0f, 0.0f};
      QuadSetTexels(f, st);
      RdrDrawFaceDecal(f);
    }
  }
  float extentX = 0.0f, extentZ = 0.0f;
  MapExtents(&extentX, &extentZ);
  const int32_t w = gRdrState.screenWidth, h = gRace.viewHeight;
  const float across = static_cast<float>(w * 64 / 512), up = static_cast<float>(h * 128 / 384);
  auto icon = [&](const Vehicle* v) {
    if (!v) return;
    HudDrawMinimapIcon(strip.left + v->pose.z * across / extentZ, strip.top + up * (extentX - v->pose.x) / extentX, v);
  };
  if (gRace.networkGame) {
    for (int32_t i = 0; i < NetParticipantCount(); ++i) icon(NetParticipantRecord(i));
    return;
  }
  if (gRace.gameMode != 0 || gRace.playersMode == 1) {
    const int32_t n = gRace.gameMode == 0 ? 1 : MINIMAP_TABLE_VEHICLES;
    for (int32_t i = 0; i < n; ++i) icon(gVehicleTable[i]);
  }
  icon(gPlayer1Vehicle);
}
