#include "backend_glide/glide.h"

#include "backend_glide/faceclip.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"

float gRdrWave = 0.0f;

namespace {

// How a routine colours its corners. L is the light colour (0..255 a
// channel), L/64 the same divided by 64, light the vertex's light value.
enum class Colour : uint8_t {
  NONE,                  // r, g, b keep what the previous face left
  FACE_LIT,              // face colour x L / 256 x light / 64
  FACE_TAG,              // face colour x L / 256 x face tag / 64, all corners alike
  VERTEX,                // vertex colour
  VERTEX_LIT,            // vertex colour x L / 256 x light / 64
  VERTEX_TINT,           // vertex colour x L / 256
  LIGHT_GREY_OR_COLOUR,  // light x 255 / 64 grey, or light x L/64 with coloured light on
  LIGHT_COLOUR,          // light x L/64
  TAG_COLOUR,            // face tag x L/64, all corners alike
  LIGHT_FACTOR,          // r = light x factor / 64 (alpha too, after the clip)
  GIVEN,                 // the caller's r, g, b on every corner
};

enum class Constant : uint8_t { NONE, FACE_WORD, FIRST_VERTEX, GIVEN };
enum class Alpha : uint8_t { NONE, FACE_WORD, GIVEN, FROM_RED };
// Temporary state around the draw call.
enum class Bracket : uint8_t { NONE, OPAQUE, ITERATED_ALPHA };

constexpr int32_t NO_COMBINE = -1;

struct FaceStyle {
  int32_t combine;  // NO_COMBINE: the caller's
  bool textured;    // texture coordinates are carried and finished
  bool bindTexture;
  Colour colour;
  Constant constant;
  Alpha alpha;
  Bracket bracket;
  float biasFloor;  // 0: no depth bias
  bool clamp;
  bool ripple;
  bool wire;
  bool skipDark;
  bool wholeWord;  // the texture is the face's whole type word, face-type byte included
};

// Per-call values: the alpha, bias or factor argument and a given colour.
struct FaceArgs {
  float value = 0.0f;
  uint32_t colour = 0;
  float red = 0.0f, green = 0.0f, blue = 0.0f;
};

constexpr FaceStyle Untextured(int32_t combine, Colour colour, Constant constant, Alpha alpha, Bracket bracket) {
  return FaceStyle{combine, false, false, colour, constant, alpha, bracket, 0.0f, false, false, false, false, false};
}
constexpr FaceStyle Textured(int32_t combine, Colour colour, Alpha alpha = Alpha::NONE) {
  return FaceStyle{combine, true, true, colour, Constant::NONE, alpha, Bracket::NONE,
                   0.0f, false, false, false, false, false};
}
constexpr FaceStyle WithBias(FaceStyle s, float floor) {
  s.biasFloor = floor;
  return s;
}
constexpr FaceStyle WithClamp(FaceStyle s) {
  s.clamp = true;
  return s;
}

constexpr FaceStyle FLAT =
    Untextured(GFX_COMBINE_CCRGB, Colour::NONE, Constant::FACE_WORD, Alpha::NONE, Bracket::OPAQUE);
constexpr FaceStyle WIRE = [] {
  FaceStyle s = Untextured(GFX_COMBINE_CCRGB, Colour::NONE, Constant::FACE_WORD, Alpha::GIVEN, Bracket::OPAQUE);
  s.wire = true;
  return s;
}();
constexpr FaceStyle GOURAUD =
    Untextured(GFX_COMBINE_ITRGB, Colour::FACE_LIT, Constant::NONE, Alpha::NONE, Bracket::OPAQUE);
constexpr FaceStyle SHADED =
    Untextured(GFX_COMBINE_ITRGB, Colour::FACE_TAG, Constant::NONE, Alpha::NONE, Bracket::OPAQUE);
constexpr FaceStyle FLAT_ALPHA =
    Untextured(GFX_COMBINE_CCRGB, Colour::NONE, Constant::FIRST_VERTEX, Alpha::FACE_WORD, Bracket::ITERATED_ALPHA);
constexpr FaceStyle FLAT_ALPHA_RGB =
    Untextured(GFX_COMBINE_CCRGB, Colour::NONE, Constant::GIVEN, Alpha::FACE_WORD, Bracket::ITERATED_ALPHA);
constexpr FaceStyle VCOLOUR =
    Untextured(GFX_COMBINE_CCRGB, Colour::NONE, Constant::FIRST_VERTEX, Alpha::FACE_WORD, Bracket::NONE);
constexpr FaceStyle FLAT_ALPHA_BIASED = WithBias(FLAT_ALPHA, 6.0f);
constexpr FaceStyle VERTEX_COLOURS =
    WithBias(Untextured(GFX_COMBINE_CCRGB, Colour::VERTEX, Constant::NONE, Alpha::FACE_WORD, Bracket::NONE), 1.0f);
constexpr FaceStyle VCOLOUR_LIT =
    Untextured(GFX_COMBINE_ITRGB, Colour::VERTEX_LIT, Constant::NONE, Alpha::NONE, Bracket::OPAQUE);
constexpr FaceStyle VCOLOUR_OPAQUE =
    Untextured(GFX_COMBINE_ITRGB, Colour::VERTEX, Constant::NONE, Alpha::NONE, Bracket::OPAQUE);
constexpr FaceStyle WATER = [] {
  FaceStyle s = Textured(GFX_COMBINE_TEXTURE_TIMES_ALPHA, Colour::NONE, Alpha::GIVEN);
  s.ripple = true;
  return s;
}();
constexpr FaceStyle TEX_LIT = Textured(GFX_COMBINE_TEXTURE_TIMES_ITRGB, Colour::LIGHT_GREY_OR_COLOUR);
constexpr FaceStyle TEX_LIT_CLAMPED = WithClamp(Textured(GFX_COMBINE_TEXTURE_TIMES_ITRGB, Colour::LIGHT_COLOUR));
constexpr FaceStyle DECAL = Textured(GFX_COMBINE_DECAL_TEXTURE, Colour::NONE);
constexpr FaceStyle DECAL_CLAMPED = WithClamp(DECAL);
constexpr FaceStyle TEX_VCOLOUR = Textured(GFX_COMBINE_TEXTURE_TIMES_ITRGB, Colour::VERTEX_LIT);
constexpr FaceStyle TEX_VCOLOUR_UNLIT = Textured(GFX_COMBINE_TEXTURE_TIMES_ITRGB, Colour::VERTEX_TINT);
constexpr FaceStyle TEX_SHADED = Textured(GFX_COMBINE_TEXTURE_TIMES_ITRGB, Colour::TAG_COLOUR);
constexpr FaceStyle TEX_ALPHA = Textured(GFX_COMBINE_TEXTURE_TIMES_ALPHA, Colour::NONE, Alpha::GIVEN);
constexpr FaceStyle TEX_ADD = Textured(GFX_COMBINE_TEXTURE_ADD_ITRGB, Colour::LIGHT_COLOUR);
constexpr FaceStyle TEX_LIGHT = [] {
  FaceStyle s = Textured(NO_COMBINE, Colour::LIGHT_FACTOR, Alpha::FROM_RED);
  s.bindTexture = false;
  s.skipDark = true;
  return s;
}();
constexpr FaceStyle TEX_RAW = [] {
  FaceStyle s = Textured(NO_COMBINE, Colour::GIVEN, Alpha::GIVEN);
  s.wholeWord = true;
  return s;
}();

uint32_t VertexColour(const Vertex& v) {
  return static_cast<uint32_t>(v.red) | static_cast<uint32_t>(v.green) << 8 | static_cast<uint32_t>(v.blue) << 16;
}

float FaceChannel(const Face* face, int shift) { return static_cast<float>((face->type >> shift) & 0xFF); }

// Products are kept in floating point, unrounded and unclamped.
void ColourCorner(RdrVertex& c, const Face* face, const Vertex& v, Colour colour, float value) {
  const LightState& L = gLight;
  switch (colour) {
    case Colour::NONE:
      return;
    case Colour::FACE_LIT:
      c.r = FaceChannel(face, 0) * L.red / 256.0f * v.light / 64.0f;
      c.g = FaceChannel(face, 8) * L.green / 256.0f * v.light / 64.0f;
      c.b = FaceChannel(face, 16) * L.blue / 256.0f * v.light / 64.0f;
      return;
    case Colour::FACE_TAG: {
      float tag = static_cast<float>(face->tag);
      c.r = FaceChannel(face, 0) * L.red / 256.0f * tag / 64.0f;
      c.g = FaceChannel(face, 8) * L.green / 256.0f * tag / 64.0f;
      c.b = FaceChannel(face, 16) * L.blue / 256.0f * tag / 64.0f;
      return;
    }
    case Colour::VERTEX:
      c.r = static_cast<float>(v.red);
      c.g = static_cast<float>(v.green);
      c.b = static_cast<float>(v.blue);
      return;
    case Colour::VERTEX_LIT:
      c.r = static_cast<float>(v.red) * L.red / 256.0f * v.light / 64.0f;
      c.g = static_cast<float>(v.green) * L.green / 256.0f * v.light / 64.0f;
      c.b = static_cast<float>(v.blue) * L.blue / 256.0f * v.light / 64.0f;
      return;
    case Colour::VERTEX_TINT:
      c.r = static_cast<float>(v.red) * L.red / 256.0f;
      c.g = static_cast<float>(v.green) * L.green / 256.0f;
      c.b = static_cast<float>(v.blue) * L.blue / 256.0f;
      return;
    case Colour::LIGHT_GREY_OR_COLOUR:
      if (!gRdrState.colouredLight) {
        c.r = c.g = c.b = v.light * 3.984375f;
        return;
      }
      [[fallthrough]];
    case Colour::LIGHT_COLOUR:
      c.r = v.light * L.redFactor;
      c.g = v.light * L.greenFactor;
      c.b = v.light * L.blueFactor;
      return;
    case Colour::TAG_COLOUR: {
      float tag = static_cast<float>(face->tag);
      c.r = tag * L.redFactor;
      c.g = tag * L.greenFactor;
      c.b = tag * L.blueFactor;
      return;
    }
    case Colour::LIGHT_FACTOR:
      c.r = v.light * value * 0.015625f;
      return;
    case Colour::GIVEN:
      return;
  }
}


// Steps 1-4 of every routine: gather, reject, clip. False: nothing to draw.
bool PreparePoly(Face* face, const FaceStyle& style, const FaceArgs& args) {
  RdrPoly& poly = gRdrPoly;
  const Vertex* vertices = gMesh.vertices;
  if (!RdrFaceReadable(face)) return false;
  const uint32_t n = face->vertexCount;
  poly.count = n;

  bool anyLight = false;
  for (uint32_t i = 0; i < n; ++i) {
    const Vertex& v = vertices[face->index[i]];
    RdrVertex& c = poly.corner[i];
    c.x = v.screenX;
    c.y = v.screenY;
    c.ooz = v.viewZ;
    if (style.textured) {
      float s = face->st[2 * i];
      if (style.ripple) s += 5.0f * SineTable[TruncI32(v.z + gRdrWave) & ANGLE_MASK];
      c.tmu[0].sow = s;
      c.tmu[0].tow = face->st[2 * i + 1];
    }
    ColourCorner(c, face, v, style.colour, args.value);
    if (style.colour == Colour::GIVEN) {
      c.r = args.red;
      c.g = args.green;
      c.b = args.blue;
    }
    if (style.colour == Colour::LIGHT_FACTOR && c.r != 0.0f) anyLight = true;
    if (style.alpha == Alpha::FACE_WORD)
      c.a = static_cast<float>(face->type & 0xFFFFFF);
    else if (style.alpha == Alpha::GIVEN)
      c.a = args.value;
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
  if (style.skipDark && !anyLight) return false;

  if (RdrPolyOffView(poly)) return false;
  const RdrState& s = gRdrState;

  if (poly.minZ < s.nearPlane)
    RdrClipNearProject(face);
  else if (poly.maxZ > s.farPlane)
    RdrClipFarProject(face);
  if (poly.count < 3) return false;

  if (style.alpha == Alpha::FROM_RED)
    for (uint32_t i = 0; i < poly.count; ++i) poly.corner[i].a = poly.corner[i].r;
  return true;
}

// Step 5: the accelerator's depth, 1 / z, texture coordinates over z and whole pixels.
void FinishCorners(const FaceStyle& style, float bias) {
  RdrPoly& poly = gRdrPoly;
  for (uint32_t i = 0; i < poly.count; ++i) {
    RdrVertex& c = poly.corner[i];
    float z = c.ooz;
    if (style.textured) {
      float oow = 1.0f / z;
      c.oow = oow;
      c.tmu[0].sow = c.tmu[0].sow * oow;
      c.tmu[0].tow = c.tmu[0].tow * oow;
      c.ooz = RDR_DEPTH_SCALE * oow;
    } else if (style.biasFloor > 0.0f) {
      // Drawn as if nearer by the bias, never nearer than the floor.
      float biased = z - bias;
      if (biased < style.biasFloor) biased = style.biasFloor;
      c.oow = 1.0f / biased;
      c.ooz = RDR_DEPTH_SCALE * c.oow;
    } else {
      c.ooz = RDR_DEPTH_SCALE / z;
      c.oow = 1.0f / z;
    }
    if (style.clamp && c.ooz > 65535.0f) c.ooz = 65535.0f;
    c.x = RdrWholePixel(c.x);
    c.y = RdrWholePixel(c.y);
  }
}

void OpaqueOn() {
  GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
}

void OpaqueOff() {
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
}

void DrawFace(Face* face, const FaceStyle& style, const FaceArgs& args = {}) {
  if (!PreparePoly(face, style, args)) return;
  RdrPoly& poly = gRdrPoly;
  const bool inside = RdrPolyInsideClip(gRdrPoly);
  // An outline is drawn whole or not at all.
  if (style.wire && !inside) return;
  FinishCorners(style, args.value);

  if (style.combine != NO_COMBINE) RdrCacheColorCombine(style.combine);
  if (style.bindTexture)
    RdrCacheTexSource(static_cast<int32_t>(style.wholeWord ? face->type : face->type & 0xFFFFFF));
  switch (style.constant) {
    case Constant::NONE:
      break;
    case Constant::FACE_WORD:
      GfxConstantColorValue(face->type & 0xFFFFFF);
      break;
    case Constant::FIRST_VERTEX:
      GfxConstantColorValue(VertexColour(gMesh.vertices[face->index[0]]));
      break;
    case Constant::GIVEN:
      GfxConstantColorValue(args.colour);
      break;
  }
  if (style.bracket == Bracket::ITERATED_ALPHA) GfxAlphaSource(GFX_ALPHASOURCE_ITERATED_ALPHA);
  if (style.bracket == Bracket::OPAQUE) OpaqueOn();

  if (style.wire) {
    for (uint32_t i = 0; i < poly.count; ++i) GfxDrawLine(&poly.corner[i], &poly.corner[(i + 1) % poly.count]);
  } else if (poly.count == 3) {
    if (inside)
      GfxDrawTriangle(&poly.corner[0], &poly.corner[1], &poly.corner[2]);
    else
      GfxDrawTriangleWithClip(&poly.corner[0], &poly.corner[1], &poly.corner[2]);
  } else {
    if (inside)
      GfxDrawPolygonVertexList(static_cast<int32_t>(poly.count), poly.corner);
    else
      GfxDrawPolygonVertexListWithClip(static_cast<int32_t>(poly.count), poly.corner);
  }

  if (style.bracket == Bracket::OPAQUE) OpaqueOff();
  if (style.bracket == Bracket::ITERATED_ALPHA) GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
}

FaceArgs Value(float value) {
  FaceArgs args;
  args.value = value;
  return args;
}

void DrawPoint(const Vertex* v, bool edgesIn) {
  if (!v) return;
  const RdrState& s = gRdrState;
  if (!(v->viewZ >= s.nearPlane && v->viewZ <= s.farPlane)) return;
  bool in = edgesIn ? (v->screenX >= s.clipMinX && v->screenX <= s.clipMaxX && v->screenY >= s.clipMinY &&
                       v->screenY <= s.clipMaxY)
                    : (v->screenX > s.clipMinX && v->screenX < s.clipMaxX && v->screenY > s.clipMinY &&
                       v->screenY < s.clipMaxY);
  if (!in) return;
  RdrVertex& c = gRdrPoly.corner[0];
  c.x = RdrWholePixel(v->screenX);
  c.y = RdrWholePixel(v->screenY);
  c.oow = 1.0f / v->viewZ;
  c.ooz = RDR_DEPTH_SCALE * c.oow;
  RdrCacheColorCombine(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(VertexColour(*v));
  OpaqueOn();
  GfxDrawPoint(&c);
  OpaqueOff();
}

}  // namespace

void RdrCacheTexSource(int32_t texture) {
  if (gRdrCache.texture == texture) return;
  GfxTexSource(static_cast<uint32_t>(texture));
  gRdrCache.texture = texture;
}

void RdrDrawFaceFlat(Face* face) { DrawFace(face, FLAT); }
void RdrDrawFaceWire(Face* face) { DrawFace(face, WIRE, Value(255.0f)); }
void RdrDrawFaceGouraud(Face* face) { DrawFace(face, GOURAUD); }
void RdrDrawFaceShaded(Face* face) { DrawFace(face, SHADED); }
void RdrDrawFaceFlatAlpha(Face* face) { DrawFace(face, FLAT_ALPHA); }

void RdrDrawFaceFlatAlphaRgb(Face* face, int32_t red, int32_t green, int32_t blue) {
  FaceArgs args;
  args.colour = static_cast<uint32_t>(red & 0xFF) | static_cast<uint32_t>(green & 0xFF) << 8 |
                static_cast<uint32_t>(blue & 0xFF) << 16;
  DrawFace(face, FLAT_ALPHA_RGB, args);
}

void RdrDrawFaceVColour(Face* face) { DrawFace(face, VCOLOUR); }
void RdrDrawFaceFlatAlphaBiased(Face* face, float bias) { DrawFace(face, FLAT_ALPHA_BIASED, Value(bias)); }
void RdrDrawFaceVertexColours(Face* face, float bias) { DrawFace(face, VERTEX_COLOURS, Value(bias)); }
void RdrDrawFaceVColourLit(Face* face) { DrawFace(face, VCOLOUR_LIT); }
void RdrDrawFaceVColourOpaque(Face* face) { DrawFace(face, VCOLOUR_OPAQUE); }
void RdrDrawFaceWater(Face* face) { DrawFace(face, WATER, Value(200.0f)); }
void RdrDrawFaceTexLit(Face* face) { DrawFace(face, TEX_LIT); }
void RdrDrawFaceTexLitClamped(Face* face) { DrawFace(face, TEX_LIT_CLAMPED); }
void RdrDrawFaceDecalClamped(Face* face) { DrawFace(face, DECAL_CLAMPED); }
void RdrDrawFaceDecal(Face* face) { DrawFace(face, DECAL); }
void RdrDrawFaceTexVColour(Face* face) { DrawFace(face, TEX_VCOLOUR); }
void RdrDrawFaceTexVColourUnlit(Face* face) { DrawFace(face, TEX_VCOLOUR_UNLIT); }
void RdrDrawFaceTexShaded(Face* face) { DrawFace(face, TEX_SHADED); }
void RdrDrawFaceTexAlpha(Face* face, float alpha) { DrawFace(face, TEX_ALPHA, Value(alpha)); }
void RdrDrawFaceTexLight(Face* face, float factor) { DrawFace(face, TEX_LIGHT, Value(factor)); }
void RdrDrawFaceTexAdd(Face* face) { DrawFace(face, TEX_ADD); }

void RdrDrawFaceTexRaw(Face* face, float red, float green, float blue, float alpha) {
  FaceArgs args;
  args.value = alpha;
  args.red = red;
  args.green = green;
  args.blue = blue;
  DrawFace(face, TEX_RAW, args);
}

void RdrDrawPoint(const Vertex* v) { DrawPoint(v, true); }
void RdrDrawPointInside(const Vertex* v) { DrawPoint(v, false); }

void RdrAdvanceWave(float step, float /*second*/) { gRdrWave += 2.0f * step; }
