// The face routines: one pipeline (fill, reject, clip, depth, states, one
// draw) driven by a row per routine that says how its corners are coloured,
// what it binds, which stage mode and blend it draws under and how its depth
// is biased.
#include <algorithm>
#include <cstring>

#include "backend_d3d/faces.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"

uint16_t gRdrCache = RDR_MODE_UNKNOWN;
float gRdrWave = 0.0f;

namespace {

// How the diffuse colour is made. The FILL kinds are written while the
// corners are gathered, so a clip interpolates them; the others go on every
// corner after the clip, so the clip cannot take their alpha.
enum class Diffuse : uint8_t {
  NONE,          // left as it is (the routine's stage ignores it)
  FACE_LIT,      // FILL: face colour x light colour / 256 x vertex light / 64
  FACE_SHADE,    // FILL: face colour x light colour / 256 x face light / 64, one colour
  VERTEX,        // FILL: the vertex's colour bytes
  VERTEX_LIT,    // FILL: vertex colour x light colour / 256 x vertex light / 64
  VERTEX_TINT,   // FILL: vertex colour x light colour / 256
  LIGHT,         // FILL: grey vertex light x 3.984375, or light x light colour / 64
  SHADE_LIGHT,   // FILL: face light x light colour / 64, one colour
  LIGHT_GREY,    // FILL: grey light x factor / 64
  LIGHT_ADD,     // FILL: light x light colour / 64
  FACE_WORD,     // after: the face word's colour
  FIRST_VERTEX,  // after: the first vertex's colour bytes
  WATER,         // after: black
  GIVEN,         // after: the caller's colour and alpha
};

// GREY: each corner's alpha is its own grey level, after the clip too.
enum class Alpha : uint8_t { ZERO, FACE_WORD, WATER, GREY };
// FACE: the texture the face word's low 24 bits name; WHOLE_WORD: the one the
// whole word names (faces built by hand with a bare id).
enum class Texture : uint8_t { KEEP, NONE, FACE, WHOLE_WORD };
enum class States : uint8_t { NONE, A, B };
enum class Depth : uint8_t { PLAIN, BIAS_FLOOR, BIAS_FAR_ONLY };

constexpr int16_t NO_MODE = -1;

struct FaceRow {
  Diffuse diffuse;
  Alpha alpha;
  Texture texture;
  int16_t mode;  // NO_MODE: the caller's
  States states;
  Depth depth;
  bool ripple;
  bool wire;
};

constexpr FaceRow FLAT{Diffuse::FACE_WORD, Alpha::ZERO, Texture::NONE, 0, States::A, Depth::PLAIN, false, false};
constexpr FaceRow WIRE{Diffuse::FACE_WORD, Alpha::ZERO, Texture::NONE, 0, States::A, Depth::PLAIN, false, true};
constexpr FaceRow GOURAUD{Diffuse::FACE_LIT, Alpha::ZERO, Texture::NONE, 1, States::A, Depth::PLAIN, false, false};
constexpr FaceRow SHADED{Diffuse::FACE_SHADE, Alpha::ZERO, Texture::NONE, 1, States::A, Depth::PLAIN, false, false};
constexpr FaceRow FLAT_ALPHA{Diffuse::FIRST_VERTEX, Alpha::FACE_WORD, Texture::NONE, 2,
                             States::B, Depth::PLAIN, false, false};
constexpr FaceRow VCOLOUR{Diffuse::FIRST_VERTEX, Alpha::FACE_WORD, Texture::KEEP, NO_MODE,
                          States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow FLAT_ALPHA_BIASED{Diffuse::FIRST_VERTEX, Alpha::FACE_WORD, Texture::NONE, 2,
                                    States::B, Depth::BIAS_FLOOR, false, false};
constexpr FaceRow VERTEX_COLOURS{Diffuse::VERTEX, Alpha::FACE_WORD, Texture::KEEP, NO_MODE,
                                 States::NONE, Depth::BIAS_FAR_ONLY, false, false};
constexpr FaceRow WATER{Diffuse::WATER, Alpha::WATER, Texture::FACE, 4, States::B, Depth::PLAIN, true, false};
constexpr FaceRow TEX_LIT{Diffuse::LIGHT, Alpha::ZERO, Texture::FACE, 1, States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow DECAL{Diffuse::NONE, Alpha::ZERO, Texture::FACE, 0, States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow TEX_VCOLOUR{Diffuse::VERTEX_LIT, Alpha::ZERO, Texture::FACE, 1,
                              States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow TEX_VCOLOUR_UNLIT{Diffuse::VERTEX_TINT, Alpha::ZERO, Texture::FACE, 1,
                                    States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow TEX_SHADED{Diffuse::SHADE_LIGHT, Alpha::ZERO, Texture::FACE, 1,
                             States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow TEX_RAW{Diffuse::GIVEN, Alpha::ZERO, Texture::WHOLE_WORD, NO_MODE,
                          States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow TEX_ALPHA{Diffuse::GIVEN, Alpha::ZERO, Texture::FACE, NO_MODE,
                            States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow TEX_LIGHT{Diffuse::LIGHT_GREY, Alpha::GREY, Texture::FACE, NO_MODE,
                            States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow TEX_ADD{Diffuse::LIGHT_ADD, Alpha::ZERO, Texture::FACE, 1, States::NONE, Depth::PLAIN, false, false};
constexpr FaceRow FLAT_ALPHA_RGB{Diffuse::GIVEN, Alpha::FACE_WORD, Texture::NONE, 2,
                                 States::B, Depth::PLAIN, false, false};
constexpr FaceRow VCOLOUR_LIT{Diffuse::VERTEX_LIT, Alpha::ZERO, Texture::NONE, 1,
                              States::A, Depth::PLAIN, false, false};
constexpr FaceRow VCOLOUR_OPAQUE{Diffuse::VERTEX, Alpha::ZERO, Texture::NONE, 1,
                                 States::A, Depth::PLAIN, false, false};
// The depth-clamped twins: the software accelerator's depth overflows for
// corners nearer than 4, but 1 - 1/z stays within 0..1 for every corner the
// near clip keeps (the near plane is never below 1), so here they draw as the
// plain routines do, the lit one in light x light colour / 64 whatever the
// coloured-light flag says.
constexpr FaceRow TEX_LIT_CLAMPED{Diffuse::LIGHT_ADD, Alpha::ZERO, Texture::FACE, 1,
                                  States::NONE, Depth::PLAIN, false, false};
// Gathers, rejects and clips only.
constexpr FaceRow OUTLINE{Diffuse::NONE, Alpha::ZERO, Texture::KEEP, NO_MODE, States::NONE, Depth::PLAIN, false, false};

// What a routine's caller hands over besides the face.
struct FaceArgs {
  float bias = 0.0f;
  uint32_t colour = 0;  // GIVEN: the whole diffuse value
  float factor = 0.0f;  // LIGHT_GREY
};

// D1 raises the biased depth to this; D2 keeps a corner nearer than 1 at this 1/w.
constexpr float BIAS_FLOOR = 6.0f;
constexpr uint32_t NEAR_RHW_BITS = 0x3F7FF972;  // 0.9999

bool FilledAtGather(Diffuse d) { return d != Diffuse::NONE && d < Diffuse::FACE_WORD; }

// A channel computed in floating point, truncated toward zero; out-of-range
// light values are held to the channel's range.
uint32_t ChannelOf(float v) { return v <= 0.0f ? 0u : v >= 255.0f ? 255u : static_cast<uint32_t>(v); }

uint32_t Pack(uint32_t alpha, float r, float g, float b) {
  return alpha << 24 | ChannelOf(r) << 16 | ChannelOf(g) << 8 | ChannelOf(b);
}

float FaceChannel(const Face* face, int shift) { return static_cast<float>((face->type >> shift) & 0xFF); }

// The face word names red in its low byte; the device wants red in bits 16-23.
uint32_t FaceWordColour(const Face* face) {
  return (face->type & 0xFF) << 16 | (face->type & 0xFF00) | (face->type >> 16 & 0xFF);
}

uint32_t VertexColour(const Vertex& v) {
  return static_cast<uint32_t>(v.red) << 16 | static_cast<uint32_t>(v.green) << 8 | v.blue;
}

uint32_t GatherColour(Diffuse kind, const Face* face, const Vertex& v, const FaceArgs& args) {
  const LightState& L = gLight;
  const float tag = static_cast<float>(face->tag);
  switch (kind) {
    case Diffuse::FACE_LIT:
      return Pack(0, FaceChannel(face, 0) * L.red / 256.0f * v.light / 64.0f,
                  FaceChannel(face, 8) * L.green / 256.0f * v.light / 64.0f,
                  FaceChannel(face, 16) * L.blue / 256.0f * v.light / 64.0f);
    case Diffuse::FACE_SHADE:
      return Pack(0, FaceChannel(face, 0) * L.red / 256.0f * tag / 64.0f,
                  FaceChannel(face, 8) * L.green / 256.0f * tag / 64.0f,
                  FaceChannel(face, 16) * L.blue / 256.0f * tag / 64.0f);
    case Diffuse::VERTEX:
      return VertexColour(v);
    case Diffuse::VERTEX_LIT:
      return Pack(0, v.red * L.red / 256.0f * v.light / 64.0f, v.green * L.green / 256.0f * v.light / 64.0f,
                  v.blue * L.blue / 256.0f * v.light / 64.0f);
    case Diffuse::VERTEX_TINT:
      return Pack(0, v.red * L.red / 256.0f, v.green * L.green / 256.0f, v.blue * L.blue / 256.0f);
    case Diffuse::LIGHT:
      if (!gRdrState.colouredLight) {
        const float grey = v.light * 3.984375f;
        return Pack(0, grey, grey, grey);
      }
      return Pack(0, v.light * L.red / 64.0f, v.light * L.green / 64.0f, v.light * L.blue / 64.0f);
    case Diffuse::SHADE_LIGHT:
      return Pack(0, tag * L.red / 64.0f, tag * L.green / 64.0f, tag * L.blue / 64.0f);
    case Diffuse::LIGHT_GREY: {
      const uint32_t grey = ChannelOf(v.light * args.factor / 64.0f);
      return grey << 24 | Pack(0, grey, grey, grey);
    }
    case Diffuse::LIGHT_ADD:
      return Pack(0, v.light * L.red / 64.0f, v.light * L.green / 64.0f, v.light * L.blue / 64.0f);
    default:
      return 0;
  }
}

// The Direct3D texture a face names; false for an id the table does not hold.
bool FaceTexture(const Face* face, Texture kind, HalObject* texture) {
  const uint32_t id = kind == Texture::WHOLE_WORD ? face->type : face->type & 0xFFFFFF;
  if (id >= static_cast<uint32_t>(gTextureTable.count) || id >= static_cast<uint32_t>(TEX_TABLE_SIZE)) return false;
  *texture = gTexSurfaces[id].texture;
  return true;
}

// Steps 1 to 3: gather, reject on the box, clip. False: nothing to draw.
bool Prepare(Face* face, const FaceRow& row, const FaceArgs& args) {
  if (!RdrFaceReadable(face)) return false;
  RdrPoly& poly = gRdrPoly;
  const uint32_t n = face->vertexCount;
  poly.count = n;
  float amplitude = 0.0f;
  if (row.ripple) {
    // Five texels of the texture's own width (its s range, 256 on the long
    // side of a texture from the archives, stands in for a texture without one).
    const uint32_t id = face->type & 0xFFFFFF;
    float width = static_cast<float>(gTexSurfaces[id].width);
    if (width <= 0.0f) width = gTextureTable.entries[id].sRange;
    amplitude = width > 0.0f ? 5.0f / width : 0.0f;
  }
  for (uint32_t i = 0; i < n; ++i) {
    const Vertex& v = gMesh.vertices[face->index[i]];
    RdrVertex& c = poly.work[i];
    c.sx = v.screenX;
    c.sy = v.screenY;
    c.sz = v.viewZ;
    if (row.texture == Texture::FACE || row.texture == Texture::WHOLE_WORD) {
      c.tu = face->st[2 * i];
      c.tv = face->st[2 * i + 1];
      if (row.ripple) c.tu += amplitude * SineTable[TruncI32(v.z + gRdrWave) & ANGLE_MASK];
    }
    if (FilledAtGather(row.diffuse)) c.diffuse = GatherColour(row.diffuse, face, v, args);
    if (i == 0) {
      poly.minX = poly.maxX = v.screenX;
      poly.minY = poly.maxY = v.screenY;
      poly.minZ = poly.maxZ = v.viewZ;
    } else {
      if (v.screenX < poly.minX) poly.minX = v.screenX;
      if (v.screenX > poly.maxX) poly.maxX = v.screenX;
      if (v.screenY < poly.minY) poly.minY = v.screenY;
      if (v.screenY > poly.maxY) poly.maxY = v.screenY;
      if (v.viewZ < poly.minZ) poly.minZ = v.viewZ;
      if (v.viewZ > poly.maxZ) poly.maxZ = v.viewZ;
    }
  }
  const RdrState& s = gRdrState;
  if (poly.maxZ < s.nearPlane || poly.minZ > s.farPlane || poly.minX > s.clipMaxX || poly.maxX < s.clipMinX ||
      poly.minY > s.clipMaxY || poly.maxY < s.clipMinY)
    return false;
  if (poly.minZ < s.nearPlane)
    RdrClipNearProject(face);
  else if (poly.maxZ > s.farPlane)
    RdrClipFarProject(face);
  return poly.count >= 3;
}

// Step 4, with the colours that must keep their alpha through a clip.
void Finish(const Face* face, const FaceRow& row, const FaceArgs& args) {
  const float bias = args.bias;
  RdrPoly& poly = gRdrPoly;
  uint32_t alpha = 0;
  if (row.alpha == Alpha::FACE_WORD) alpha = face->type & 0xFF;
  if (row.alpha == Alpha::WATER) alpha = 200;
  uint32_t colour = 0;
  if (row.diffuse == Diffuse::FACE_WORD) colour = FaceWordColour(face);
  if (row.diffuse == Diffuse::FIRST_VERTEX) colour = VertexColour(gMesh.vertices[face->index[0]]);
  if (row.diffuse == Diffuse::GIVEN) colour = args.colour;
  for (uint32_t i = 0; i < poly.count; ++i) {
    RdrVertex& c = poly.work[i];
    const float z = c.sz;
    switch (row.depth) {
      case Depth::PLAIN:
        c.rhw = 1.0f / z;
        c.sz = 1.0f - c.rhw;
        break;
      case Depth::BIAS_FLOOR: {
        float biased = z - bias;
        if (biased < BIAS_FLOOR) biased = BIAS_FLOOR;
        c.rhw = 1.0f / biased;
        c.sz = 1.0f - 1.0f / biased;
        break;
      }
      case Depth::BIAS_FAR_ONLY: {
        const float biased = z - bias;
        if (biased > 1.0f) {
          c.rhw = 1.0f / biased;
          c.sz = 1.0f - 1.0f / biased;
        } else {
          std::memcpy(&c.rhw, &NEAR_RHW_BITS, 4);
          c.sz = 0.0f;
        }
        break;
      }
    }
    if (row.diffuse == Diffuse::VERTEX)
      c.diffuse = alpha << 24 | (c.diffuse & 0xFFFFFF);
    else if (row.alpha == Alpha::GREY)
      c.diffuse = (c.diffuse & 0xFF) << 24 | (c.diffuse & 0xFFFFFF);
    else if (!FilledAtGather(row.diffuse) && row.diffuse != Diffuse::NONE)
      c.diffuse = alpha << 24 | colour;
  }
}

void StatesBefore(States states) {
  if (states == States::A) HalD3dSetRenderState(gD3d.device, HAL_RS_ALPHATESTENABLE, 0);
  if (states == States::B) RdrBlendAlpha();
}

// Back to the default state of an open display.
void StatesAfter(States states) {
  if (states == States::A) {
    HalD3dSetRenderState(gD3d.device, HAL_RS_ALPHATESTENABLE, 1);
    if (!RdrHasAlphaTest()) HalD3dSetRenderState(gD3d.device, HAL_RS_COLORKEYENABLE, 1);
  }
  if (states == States::B) RdrBlendOpaque();
}

void DrawWire() {
  const RdrPoly& poly = gRdrPoly;
  for (uint32_t i = 0; i < poly.count; ++i) {
    const RdrVertex edge[2] = {poly.work[i], poly.work[(i + 1) % poly.count]};
    HalD3dDrawPrimitive(gD3d.device, HAL_PRIM_LINELIST, edge, 2, RDR_DRAW_CLIPPED);
  }
}

void DrawFace(Face* face, const FaceRow& row, const FaceArgs& args = {}) {
  HalObject texture = 0;
  const bool textured = row.texture == Texture::FACE || row.texture == Texture::WHOLE_WORD;
  if (textured && (!face || !FaceTexture(face, row.texture, &texture))) return;
  if (!Prepare(face, row, args)) return;
  Finish(face, row, args);
  const RdrPoly& poly = gRdrPoly;
  const RdrState& s = gRdrState;
  // The box before the clip decides whether the device must clip.
  const bool inside =
      poly.minX >= s.clipMinX && poly.maxX <= s.clipMaxX && poly.minY >= s.clipMinY && poly.maxY <= s.clipMaxY;
  if (row.texture != Texture::KEEP) HalD3dSetTexture(gD3d.device, 0, texture);
  if (row.mode != NO_MODE) RdrCacheStageMode(static_cast<uint16_t>(row.mode));
  StatesBefore(row.states);
  if (row.wire) {
    DrawWire();
  } else {
    const HalPrimitive primitive = poly.count == 3 ? HAL_PRIM_TRIANGLELIST : HAL_PRIM_TRIANGLEFAN;
    HalD3dDrawPrimitive(gD3d.device, primitive, poly.work, static_cast<int32_t>(poly.count),
                        inside ? RDR_DRAW_INSIDE : RDR_DRAW_CLIPPED);
  }
  StatesAfter(row.states);
}

void DrawPoint(const Vertex* v) {
  if (!v) return;
  const RdrState& s = gRdrState;
  if (!(v->screenX >= s.clipMinX && v->screenX <= s.clipMaxX && v->screenY >= s.clipMinY && v->screenY <= s.clipMaxY))
    return;
  // A point at or behind the eye has no depth to draw it at.
  if (!(v->viewZ > 0.0f)) return;
  RdrVertex& c = gRdrPoly.work[0];
  c.sx = v->screenX;
  c.sy = v->screenY;
  c.rhw = 1.0f / v->viewZ;
  c.sz = 1.0f - c.rhw;
  c.diffuse = VertexColour(*v);
  HalD3dSetTexture(gD3d.device, 0, 0);
  RdrCacheStageMode(0);
  StatesBefore(States::A);
  HalD3dDrawPrimitive(gD3d.device, HAL_PRIM_POINTLIST, &c, 1, RDR_DRAW_CLIPPED);
  StatesAfter(States::A);
}

}  // namespace

void RdrSetStageMode(uint16_t mode) {
  const HalObject d = gD3d.device;
  switch (mode) {
    case 0:
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLORARG1, HAL_TA_TEXTURE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLOROP, HAL_TOP_SELECTARG1);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAARG1, HAL_TA_TEXTURE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAOP, HAL_TOP_SELECTARG1);
      break;
    case 1:
    case 2:
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLORARG1, HAL_TA_TEXTURE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLORARG2, HAL_TA_DIFFUSE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLOROP, HAL_TOP_MODULATE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAARG1, HAL_TA_TEXTURE);
      if (mode == 2) {
        HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAARG2, HAL_TA_DIFFUSE);
        HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAOP, HAL_TOP_MODULATE);
      } else {
        HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAOP, HAL_TOP_SELECTARG1);
      }
      break;
    case 3:
      // The texture weighed by the diffuse alpha, plus the diffuse colour.
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLORARG1, HAL_TA_DIFFUSE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLORARG2, HAL_TA_TEXTURE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLOROP, HAL_TOP_MODULATEALPHA_ADDCOLOR);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAARG1, HAL_TA_TEXTURE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAARG2, HAL_TA_DIFFUSE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAOP, HAL_TOP_MODULATE);
      break;
    case 4:
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLORARG1, HAL_TA_TEXTURE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLORARG2, HAL_TA_DIFFUSE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_COLOROP, HAL_TOP_BLENDTEXTUREALPHA);
      // Texture alpha x diffuse alpha, as the software back end's alpha
      // source 3 takes it: with the diffuse alpha alone, the clear texels
      // around a faded glyph or a glow would cover the screen as a pale box.
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAARG1, HAL_TA_TEXTURE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAARG2, HAL_TA_DIFFUSE);
      HalD3dSetTextureStageState(d, 0, HAL_TSS_ALPHAOP, HAL_TOP_MODULATE);
      break;
    default:
      return;
  }
  gRdrCache = mode;
}

void RdrCacheStageMode(uint16_t mode) {
  if (gRdrCache != mode) RdrSetStageMode(mode);
}

void RdrDrawFaceFlat(Face* face) { DrawFace(face, FLAT); }
void RdrDrawFaceWire(Face* face) { DrawFace(face, WIRE); }
void RdrDrawFaceGouraud(Face* face) { DrawFace(face, GOURAUD); }
void RdrDrawFaceShaded(Face* face) { DrawFace(face, SHADED); }
void RdrDrawFaceFlatAlpha(Face* face) { DrawFace(face, FLAT_ALPHA); }
void RdrDrawFaceFlatAlphaRgb(Face* face, int32_t red, int32_t green, int32_t blue) {
  DrawFace(face, FLAT_ALPHA_RGB, {.colour = Pack(0, static_cast<float>(red & 0xFF), static_cast<float>(green & 0xFF),
                                                 static_cast<float>(blue & 0xFF))});
}
void RdrDrawFaceVColour(Face* face) { DrawFace(face, VCOLOUR); }
void RdrDrawFaceVColourLit(Face* face) { DrawFace(face, VCOLOUR_LIT); }
void RdrDrawFaceVColourOpaque(Face* face) { DrawFace(face, VCOLOUR_OPAQUE); }
void RdrDrawFaceTexLitClamped(Face* face) { DrawFace(face, TEX_LIT_CLAMPED); }
void RdrDrawFaceDecalClamped(Face* face) { DrawFace(face, DECAL); }
void RdrDrawFaceFlatAlphaBiased(Face* face, float bias) { DrawFace(face, FLAT_ALPHA_BIASED, {.bias = bias}); }
void RdrDrawFaceVertexColours(Face* face, float bias) { DrawFace(face, VERTEX_COLOURS, {.bias = bias}); }
void RdrDrawFaceWater(Face* face) { DrawFace(face, WATER); }
void RdrDrawFaceTexLit(Face* face) { DrawFace(face, TEX_LIT); }
void RdrDrawFaceDecal(Face* face) { DrawFace(face, DECAL); }
void RdrDrawFaceTexVColour(Face* face) { DrawFace(face, TEX_VCOLOUR); }
void RdrDrawFaceTexVColourUnlit(Face* face) { DrawFace(face, TEX_VCOLOUR_UNLIT); }
void RdrDrawFaceTexShaded(Face* face) { DrawFace(face, TEX_SHADED); }
void RdrDrawPoint(const Vertex* v) { DrawPoint(v); }
void RdrDrawPointInside(const Vertex* v) { DrawPoint(v); }

void RdrAdvanceWave(float step, float /*second*/) { gRdrWave += 2.0f * step; }

void RdrDrawFaceTexRaw(Face* face, float red, float green, float blue, float alpha) {
  DrawFace(face, TEX_RAW, {.colour = Pack(ChannelOf(alpha), red, green, blue)});
}

void RdrDrawFaceTexAlpha(Face* face, float alpha) {
  DrawFace(face, TEX_ALPHA, {.colour = Pack(ChannelOf(alpha), 255.0f, 255.0f, 255.0f)});
}

void RdrDrawFaceTexLight(Face* face, float factor) {
  if (!RdrFaceReadable(face)) return;
  bool lit = false;
  for (uint32_t i = 0; i < face->vertexCount; ++i) lit |= gMesh.vertices[face->index[i]].light * factor != 0.0f;
  if (lit) DrawFace(face, TEX_LIGHT, {.factor = factor});
}

void RdrDrawFaceTexAdd(Face* face) { DrawFace(face, TEX_ADD); }

bool RdrClipProjectFace(Face* face, int32_t screenX, int32_t screenY) {
  if (!Prepare(face, OUTLINE, {})) return false;
  const RdrPoly& poly = gRdrPoly;
  float minX = poly.work[0].sx, maxX = minX, minY = poly.work[0].sy, maxY = minY;
  for (uint32_t i = 1; i < poly.count; ++i) {
    minX = std::min(minX, poly.work[i].sx);
    maxX = std::max(maxX, poly.work[i].sx);
    minY = std::min(minY, poly.work[i].sy);
    maxY = std::max(maxY, poly.work[i].sy);
  }
  const float x = static_cast<float>(screenX), y = static_cast<float>(screenY);
  return minX <= x && x <= maxX && minY <= y && y <= maxY;
}
