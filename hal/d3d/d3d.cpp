#include "hal/d3d/d3d.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "hal/d3d/devices.h"
#include "hal/d3d/gl_context.h"
#include "hal/frame_dump.h"
#include "hal/window.h"

namespace {

// ---- Recording and failures ------------------------------------------------

std::vector<std::string>* gLog;
std::map<std::string, int32_t> gFailures;

const char* const RENDER_STATE_NAMES[HAL_RS_COUNT] = {
    "ANTIALIAS",       "TEXTUREHANDLE", "TEXTUREPERSPECTIVE", "WRAPU",          "WRAPV",        "ZENABLE",
    "ZWRITEENABLE",    "ZFUNC",         "SHADEMODE",          "ALPHABLENDENABLE", "SRCBLEND",   "DESTBLEND",
    "ALPHATESTENABLE", "ALPHAREF",      "ALPHAFUNC",          "DITHERENABLE",   "CULLMODE",     "SPECULARENABLE",
    "COLORKEYENABLE",  "FOGENABLE",     "FOGCOLOR",           "FOGTABLEMODE",   "FOGTABLESTART", "FOGTABLEEND",
    "FOGTABLEDENSITY", "RANGEFOGENABLE"};
const char* const STAGE_STATE_NAMES[HAL_TSS_COUNT] = {"COLOROP",   "COLORARG1", "COLORARG2", "ALPHAOP",
                                                      "ALPHAARG1", "ALPHAARG2", "MAGFILTER", "MINFILTER"};

// Logs the call and tells whether a test asked it to fail.
bool Call(const char* name, const std::string& args = {}) {
  if (gLog) gLog->push_back(args.empty() ? std::string(name) : std::string(name) + " " + args);
  auto it = gFailures.find(name);
  if (it == gFailures.end() || it->second <= 0) return true;
  --it->second;
  return false;
}

std::string Args(std::initializer_list<long long> values) {
  std::string s;
  for (long long v : values) {
    if (!s.empty()) s += ' ';
    s += std::to_string(v);
  }
  return s;
}

// ---- Objects ---------------------------------------------------------------

enum class Kind { DDRAW, D3D, SURFACE, CLIPPER, DEVICE, VIEWPORT, TEXTURE };

enum class Role { PLAIN, PRIMARY, BACK, DEPTH };

struct Surface {
  Role role = Role::PLAIN;
  uint32_t caps = 0;
  int32_t width = 0, height = 0;
  HalPixelFormat format = HAL_PIXEL_NONE;
  int32_t pitch = 0;
  std::vector<uint8_t> pixels;  // CPU copy (all but the display's buffers keep theirs here)
  bool locked = false;
  bool sourceKey = false;
  uint32_t keyLow = 0, keyHigh = 0;
  HalObject depth = 0;   // attached z-buffer
  HalObject clipper = 0;
  GLuint glTexture = 0;  // texture surfaces in video memory
  bool dirty = true;     // the GL texture is behind the CPU copy
};

struct Object {
  Kind kind;
  int32_t refs = 1;
  int32_t deviceIndex = 0;
  Surface surface;
  HalObject target = 0;  // device: its back buffer; texture: its surface
  HalViewport viewport{};
  HalObject viewportDevice = 0;
};

std::map<HalObject, std::unique_ptr<Object>> gObjects;
HalObject gNextHandle = 1;

Object* Find(HalObject handle, Kind kind) {
  auto it = gObjects.find(handle);
  if (it == gObjects.end() || it->second->kind != kind) return nullptr;
  return it->second.get();
}

HalObject Add(Kind kind) {
  HalObject h = gNextHandle++;
  auto obj = std::make_unique<Object>();
  obj->kind = kind;
  gObjects[h] = std::move(obj);
  return h;
}

// ---- The display ------------------------------------------------------------

struct Display {
  int32_t width = 0, height = 0;
  bool rgb555 = false;
  bool want555 = false;
  HalObject primary = 0;
  GLuint colour[2] = {0, 0};
  GLuint fbo[2] = {0, 0};
  int32_t back = 0;  // index of the back buffer; the other is the front
  GLuint depth = 0;
  bool shown = false;  // a frame has been flipped to the front
  bool glReady = false;
  GLuint program = 0;
  GLuint vbo = 0, vao = 0;
  GLuint samplers[2] = {0, 0};  // point, linear
  int32_t drawCount = 0;
  int32_t stateCount = 0;  // state changes between OpenGL draws
};
Display gDisplay;

// ---- Pixel formats ------------------------------------------------------------

struct Channels {
  int r, g, b, a;  // bit counts
  int rs, gs, bs, as;  // shifts
};

Channels ChannelsOf(HalPixelFormat f) {
  switch (f) {
    case HAL_PIXEL_RGB565: return {5, 6, 5, 0, 11, 5, 0, 0};
    case HAL_PIXEL_RGB555: return {5, 5, 5, 0, 10, 5, 0, 0};
    case HAL_PIXEL_ARGB1555: return {5, 5, 5, 1, 10, 5, 0, 15};
    case HAL_PIXEL_ARGB4444: return {4, 4, 4, 4, 8, 4, 0, 12};
    default: return {0, 0, 0, 0, 0, 0, 0, 0};
  }
}

uint16_t Convert(uint16_t p, HalPixelFormat from, HalPixelFormat to) {
  if (from == to) return p;
  Channels a = ChannelsOf(from), b = ChannelsOf(to);
  auto take = [&](int bits, int shift, int outBits) -> uint32_t {
    uint32_t v = (p >> shift) & ((1u << bits) - 1);
    return bits >= outBits ? v >> (bits - outBits) : v << (outBits - bits);
  };
  uint32_t out = take(a.r, a.rs, b.r) << b.rs | take(a.g, a.gs, b.g) << b.gs | take(a.b, a.bs, b.b) << b.bs;
  if (b.a) out |= (a.a ? take(a.a, a.as, b.a) : (1u << b.a) - 1) << b.as;
  return static_cast<uint16_t>(out);
}

HalPixelFormat DisplayFormat() { return gDisplay.rgb555 ? HAL_PIXEL_RGB555 : HAL_PIXEL_RGB565; }

// ---- OpenGL state -----------------------------------------------------------------

const char* VERTEX_SHADER = R"(#version 130
in vec4 aPos;
in vec4 aDiffuse;
in vec4 aSpecular;
in vec2 aUv;
out vec4 vDiffuse;
flat out vec4 vFlatDiffuse;
out vec4 vSpecular;
out vec2 vUv;
out float vDepth;
void main() {
  gl_Position = aPos;
  vDiffuse = aDiffuse;
  vFlatDiffuse = aDiffuse;
  vSpecular = aSpecular;
  vUv = aUv;
  vDepth = aPos.w;
}
)";

// Stage 0 as the device's texture stage states say, the colour key, the
// specular add, table fog and the alpha test.
const char* FRAGMENT_SHADER = R"(#version 130
uniform sampler2D uTex;
uniform sampler2D uTexNearest;
uniform int uHasTex;
uniform int uColorOp, uColorArg1, uColorArg2, uAlphaOp, uAlphaArg1, uAlphaArg2;
uniform int uFlat;
uniform int uSpecular;
uniform int uAlphaTest;
uniform int uAlphaFunc;
uniform float uAlphaRef;
uniform int uKeyed;
uniform vec3 uKey;
uniform vec3 uKeyMax;
uniform int uFog;
uniform vec3 uFogColour;
uniform float uFogStart, uFogEnd;
in vec4 vDiffuse;
flat in vec4 vFlatDiffuse;
in vec4 vSpecular;
in vec2 vUv;
in float vDepth;
out vec4 outColour;
vec4 Arg(int a, vec4 tex, vec4 dif) {
  if (a == 2) return tex;
  if (a == 4) return vec4(vSpecular.rgb, 1.0);
  return dif;
}
vec4 Op(int op, vec4 a1, vec4 a2, vec4 tex, vec4 dif) {
  if (op == 2) return a1;
  if (op == 3) return a2;
  if (op == 4) return a1 * a2;
  if (op == 5) return min(a1 + a2, vec4(1.0));
  if (op == 6) return mix(a2, a1, dif.a);
  if (op == 7) return mix(a2, a1, tex.a);
  return dif;
}
bool Compare(int f, float a, float b) {
  if (f == 1) return false;
  if (f == 2) return a < b;
  if (f == 3) return a == b;
  if (f == 4) return a <= b;
  if (f == 5) return a > b;
  if (f == 6) return a != b;
  if (f == 7) return a >= b;
  return true;
}
void main() {
  vec4 dif = uFlat == 1 ? vFlatDiffuse : vDiffuse;
  vec4 c = dif;
  if (uHasTex == 1) {
    if (uKeyed == 1) {
      vec3 k = floor(texture(uTexNearest, vUv).rgb * uKeyMax + 0.5);
      if (k == uKey) discard;
    }
    vec4 tex = texture(uTex, vUv);
    c.rgb = Op(uColorOp, Arg(uColorArg1, tex, dif), Arg(uColorArg2, tex, dif), tex, dif).rgb;
    c.a = Op(uAlphaOp, Arg(uAlphaArg1, tex, dif), Arg(uAlphaArg2, tex, dif), tex, dif).a;
  }
  if (uSpecular == 1) c.rgb = min(c.rgb + vSpecular.rgb, vec3(1.0));
  if (uFog == 1) {
    float f = uFogEnd > uFogStart ? clamp((uFogEnd - vDepth) / (uFogEnd - uFogStart), 0.0, 1.0) : 1.0;
    c.rgb = mix(uFogColour, c.rgb, f);
  }
  if (uAlphaTest == 1 && !Compare(uAlphaFunc, floor(c.a * 255.0 + 0.5), uAlphaRef)) discard;
  outColour = c;
}
)";

GLuint Compile(GLenum type, const char* source) {
  GLuint s = glCreateShader(type);
  glShaderSource(s, 1, &source, nullptr);
  glCompileShader(s);
  GLint ok = 0;
  glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char info[1024];
    glGetShaderInfoLog(s, sizeof info, nullptr, info);
    std::fprintf(stderr, "shader: %s\n", info);
  }
  return s;
}

bool PrepareGl() {
  if (gDisplay.glReady) return true;
  if (!HalGlContextOpen()) return false;
  GLuint vs = Compile(GL_VERTEX_SHADER, VERTEX_SHADER), fs = Compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER);
  GLuint p = glCreateProgram();
  glAttachShader(p, vs);
  glAttachShader(p, fs);
  glBindAttribLocation(p, 0, "aPos");
  glBindAttribLocation(p, 1, "aDiffuse");
  glBindAttribLocation(p, 2, "aSpecular");
  glBindAttribLocation(p, 3, "aUv");
  glBindFragDataLocation(p, 0, "outColour");
  glLinkProgram(p);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(p, GL_LINK_STATUS, &ok);
  if (!ok) {
    glDeleteProgram(p);
    return false;
  }
  gDisplay.program = p;
  glUseProgram(p);
  glUniform1i(glGetUniformLocation(p, "uTex"), 0);
  glUniform1i(glGetUniformLocation(p, "uTexNearest"), 1);
  glGenVertexArrays(1, &gDisplay.vao);
  glBindVertexArray(gDisplay.vao);
  glGenBuffers(1, &gDisplay.vbo);
  glBindBuffer(GL_ARRAY_BUFFER, gDisplay.vbo);
  const GLsizei stride = sizeof(float) * 4 + 8 + sizeof(float) * 2;
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(16));
  glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(20));
  glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(24));
  for (GLuint i = 0; i < 4; ++i) glEnableVertexAttribArray(i);
  glGenSamplers(2, gDisplay.samplers);
  for (int i = 0; i < 2; ++i) {
    GLint filter = i == 0 ? GL_NEAREST : GL_LINEAR;
    glSamplerParameteri(gDisplay.samplers[i], GL_TEXTURE_MIN_FILTER, filter);
    glSamplerParameteri(gDisplay.samplers[i], GL_TEXTURE_MAG_FILTER, filter);
    glSamplerParameteri(gDisplay.samplers[i], GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(gDisplay.samplers[i], GL_TEXTURE_WRAP_T, GL_REPEAT);
  }
  glBindSampler(1, gDisplay.samplers[0]);
  gDisplay.glReady = true;
  return true;
}

// Everything one OpenGL draw depends on. Compared whole: a draw whose state
// equals the batch's joins it.
struct DrawState {
  GLuint texture;
  int32_t hasTex, colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
  int32_t linear;
  int32_t flat, specular;
  int32_t alphaTest, alphaFunc, alphaRef;
  int32_t keyed, keyR, keyG, keyB, keyMaxR, keyMaxG, keyMaxB;
  int32_t fog;
  uint32_t fogColour;
  float fogStart, fogEnd;
  int32_t blend;
  uint32_t srcBlend, destBlend;
  int32_t depthTest, depthWrite;
  uint32_t depthFunc;
  int32_t dither;
  int32_t cull;
  HalRect scissor;
  int32_t primitive;  // GL_POINTS, GL_LINES or GL_TRIANGLES
};

struct Device {
  HalObject handle = 0;
  uint32_t rs[HAL_RS_COUNT] = {};
  uint32_t tss[HAL_TSS_COUNT] = {};
  uint32_t fogMode = 0;
  HalObject texture = 0;
  HalObject viewport = 0;
  bool inScene = false;
};
Device gDevice;

DrawState gApplied;
bool gAppliedValid = false;
std::vector<uint8_t> gBatch;
int32_t gBatchVertices = 0;

void ResetDeviceStates() {
  gDevice.rs[HAL_RS_ZENABLE] = 1;
  gDevice.rs[HAL_RS_ZWRITEENABLE] = 1;
  gDevice.rs[HAL_RS_ZFUNC] = HAL_CMP_LESSEQUAL;
  gDevice.rs[HAL_RS_SHADEMODE] = HAL_SHADE_GOURAUD;
  gDevice.rs[HAL_RS_SRCBLEND] = HAL_BLEND_ONE;
  gDevice.rs[HAL_RS_DESTBLEND] = HAL_BLEND_ZERO;
  gDevice.rs[HAL_RS_ALPHAFUNC] = HAL_CMP_ALWAYS;
  gDevice.rs[HAL_RS_CULLMODE] = HAL_CULL_CCW;
  gDevice.rs[HAL_RS_DITHERENABLE] = 0;
  gDevice.rs[HAL_RS_TEXTUREPERSPECTIVE] = 1;
  gDevice.tss[HAL_TSS_COLOROP] = HAL_TOP_MODULATE;
  gDevice.tss[HAL_TSS_COLORARG1] = HAL_TA_TEXTURE;
  gDevice.tss[HAL_TSS_COLORARG2] = HAL_TA_CURRENT;
  gDevice.tss[HAL_TSS_ALPHAOP] = HAL_TOP_SELECTARG1;
  gDevice.tss[HAL_TSS_ALPHAARG1] = HAL_TA_TEXTURE;
  gDevice.tss[HAL_TSS_ALPHAARG2] = HAL_TA_CURRENT;
  gDevice.tss[HAL_TSS_MAGFILTER] = HAL_TFG_POINT;
  gDevice.tss[HAL_TSS_MINFILTER] = HAL_TFG_POINT;
  gDevice.texture = 0;
}

GLenum GlBlend(uint32_t b) {
  switch (b) {
    case HAL_BLEND_ZERO: return GL_ZERO;
    case HAL_BLEND_ONE: return GL_ONE;
    case HAL_BLEND_SRCCOLOR: return GL_SRC_COLOR;
    case HAL_BLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case HAL_BLEND_SRCALPHA: return GL_SRC_ALPHA;
    case HAL_BLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case HAL_BLEND_DESTALPHA: return GL_DST_ALPHA;
    case HAL_BLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case HAL_BLEND_DESTCOLOR: return GL_DST_COLOR;
    case HAL_BLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
  }
}

GLenum GlCompare(uint32_t c) {
  switch (c) {
    case HAL_CMP_NEVER: return GL_NEVER;
    case HAL_CMP_LESS: return GL_LESS;
    case HAL_CMP_EQUAL: return GL_EQUAL;
    case HAL_CMP_LESSEQUAL: return GL_LEQUAL;
    case HAL_CMP_GREATER: return GL_GREATER;
    case HAL_CMP_NOTEQUAL: return GL_NOTEQUAL;
    case HAL_CMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

Object* TextureSurfaceOf(HalObject texture) {
  Object* t = Find(texture, Kind::TEXTURE);
  return t ? Find(t->target, Kind::SURFACE) : nullptr;
}

void Flush();

GLuint UploadTexture(Surface& s) {
  if (!s.dirty && s.glTexture) return s.glTexture;
  // The batch was made with the binding this changes.
  Flush();
  if (!s.glTexture) glGenTextures(1, &s.glTexture);
  if (!s.dirty) return s.glTexture;
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, s.glTexture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, s.pitch / 2);
  GLint internal = GL_RGB5_A1;
  GLenum format = GL_BGRA, type = GL_UNSIGNED_SHORT_1_5_5_5_REV;
  if (s.format == HAL_PIXEL_RGB565) internal = GL_RGB565, format = GL_RGB, type = GL_UNSIGNED_SHORT_5_6_5;
  if (s.format == HAL_PIXEL_ARGB4444) internal = GL_RGBA4, type = GL_UNSIGNED_SHORT_4_4_4_4_REV;
  glTexImage2D(GL_TEXTURE_2D, 0, internal, s.width, s.height, 0, format, type, s.pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, s.format == HAL_PIXEL_RGB555 ? GL_ONE : GL_ALPHA);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  s.dirty = false;
  gAppliedValid = false;  // the texture unit's binding moved
  return s.glTexture;
}

HalRect ViewportRect() {
  HalRect r{0, 0, gDisplay.width, gDisplay.height};
  if (Object* vp = Find(gDevice.viewport, Kind::VIEWPORT)) {
    r = {vp->viewport.x, vp->viewport.y, vp->viewport.x + vp->viewport.width, vp->viewport.y + vp->viewport.height};
    r.left = std::clamp(r.left, 0, gDisplay.width);
    r.right = std::clamp(r.right, r.left, gDisplay.width);
    r.top = std::clamp(r.top, 0, gDisplay.height);
    r.bottom = std::clamp(r.bottom, r.top, gDisplay.height);
  }
  return r;
}

DrawState WantedState(GLenum primitive) {
  DrawState s{};
  const uint32_t* rs = gDevice.rs;
  Object* surface = TextureSurfaceOf(gDevice.texture);
  if (surface) {
    s.texture = UploadTexture(surface->surface);
    s.hasTex = 1;
    s.colorOp = static_cast<int32_t>(gDevice.tss[HAL_TSS_COLOROP]);
    s.colorArg1 = static_cast<int32_t>(gDevice.tss[HAL_TSS_COLORARG1]);
    s.colorArg2 = static_cast<int32_t>(gDevice.tss[HAL_TSS_COLORARG2]);
    s.alphaOp = static_cast<int32_t>(gDevice.tss[HAL_TSS_ALPHAOP]);
    s.alphaArg1 = static_cast<int32_t>(gDevice.tss[HAL_TSS_ALPHAARG1]);
    s.alphaArg2 = static_cast<int32_t>(gDevice.tss[HAL_TSS_ALPHAARG2]);
    s.linear = gDevice.tss[HAL_TSS_MAGFILTER] == HAL_TFG_LINEAR ? 1 : 0;
    const Surface& t = surface->surface;
    if (rs[HAL_RS_COLORKEYENABLE] && t.sourceKey) {
      Channels c = ChannelsOf(t.format);
      s.keyed = 1;
      s.keyR = static_cast<int32_t>((t.keyLow >> 16 & 0xFF) >> (8 - c.r));
      s.keyG = static_cast<int32_t>((t.keyLow >> 8 & 0xFF) >> (8 - c.g));
      s.keyB = static_cast<int32_t>((t.keyLow & 0xFF) >> (8 - c.b));
      s.keyMaxR = (1 << c.r) - 1;
      s.keyMaxG = (1 << c.g) - 1;
      s.keyMaxB = (1 << c.b) - 1;
    }
  }
  s.flat = rs[HAL_RS_SHADEMODE] == HAL_SHADE_FLAT;
  s.specular = rs[HAL_RS_SPECULARENABLE] != 0;
  s.alphaTest = rs[HAL_RS_ALPHATESTENABLE] != 0;
  if (s.alphaTest) {
    s.alphaFunc = static_cast<int32_t>(rs[HAL_RS_ALPHAFUNC]);
    s.alphaRef = static_cast<int32_t>(rs[HAL_RS_ALPHAREF] & 0xFF);
  }
  s.fog = rs[HAL_RS_FOGENABLE] && rs[HAL_RS_FOGTABLEMODE] == HAL_FOG_LINEAR;
  if (s.fog) {
    s.fogColour = rs[HAL_RS_FOGCOLOR] & 0xFFFFFF;
    std::memcpy(&s.fogStart, &rs[HAL_RS_FOGTABLESTART], 4);
    std::memcpy(&s.fogEnd, &rs[HAL_RS_FOGTABLEEND], 4);
  }
  s.blend = rs[HAL_RS_ALPHABLENDENABLE] != 0;
  s.srcBlend = rs[HAL_RS_SRCBLEND];
  s.destBlend = rs[HAL_RS_DESTBLEND];
  s.depthTest = rs[HAL_RS_ZENABLE] != 0;
  s.depthWrite = rs[HAL_RS_ZWRITEENABLE] != 0;
  s.depthFunc = rs[HAL_RS_ZFUNC];
  s.dither = rs[HAL_RS_DITHERENABLE] != 0;
  s.cull = static_cast<int32_t>(rs[HAL_RS_CULLMODE]);
  s.scissor = ViewportRect();
  s.primitive = static_cast<int32_t>(primitive);
  return s;
}

void Uniform(const char* name, int32_t v) { glUniform1i(glGetUniformLocation(gDisplay.program, name), v); }
void UniformF(const char* name, float v) { glUniform1f(glGetUniformLocation(gDisplay.program, name), v); }
void Uniform3(const char* name, float a, float b, float c) {
  glUniform3f(glGetUniformLocation(gDisplay.program, name), a, b, c);
}

// The display's back buffer as the draw target, the layer's program and
// vertex arrays in use (something else may have moved them).
void BindTarget() {
  glBindFramebuffer(GL_FRAMEBUFFER, gDisplay.fbo[gDisplay.back]);
  glViewport(0, 0, gDisplay.width, gDisplay.height);
  glUseProgram(gDisplay.program);
  glBindVertexArray(gDisplay.vao);
  glBindBuffer(GL_ARRAY_BUFFER, gDisplay.vbo);
}

void Apply(const DrawState& s) {
  const bool all = !gAppliedValid;
  const DrawState& a = gApplied;
  if (all) BindTarget();
  if (all || s.texture != a.texture || s.linear != a.linear) {
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glBindSampler(0, gDisplay.samplers[s.linear]);
  }
  if (all || s.hasTex != a.hasTex) Uniform("uHasTex", s.hasTex);
  if (all || s.colorOp != a.colorOp) Uniform("uColorOp", s.colorOp);
  if (all || s.colorArg1 != a.colorArg1) Uniform("uColorArg1", s.colorArg1);
  if (all || s.colorArg2 != a.colorArg2) Uniform("uColorArg2", s.colorArg2);
  if (all || s.alphaOp != a.alphaOp) Uniform("uAlphaOp", s.alphaOp);
  if (all || s.alphaArg1 != a.alphaArg1) Uniform("uAlphaArg1", s.alphaArg1);
  if (all || s.alphaArg2 != a.alphaArg2) Uniform("uAlphaArg2", s.alphaArg2);
  if (all || s.flat != a.flat) Uniform("uFlat", s.flat);
  if (all || s.specular != a.specular) Uniform("uSpecular", s.specular);
  if (all || s.alphaTest != a.alphaTest) Uniform("uAlphaTest", s.alphaTest);
  if (all || s.alphaFunc != a.alphaFunc) Uniform("uAlphaFunc", s.alphaFunc);
  if (all || s.alphaRef != a.alphaRef) UniformF("uAlphaRef", static_cast<float>(s.alphaRef));
  if (all || s.keyed != a.keyed || s.keyR != a.keyR || s.keyG != a.keyG || s.keyB != a.keyB ||
      s.keyMaxR != a.keyMaxR || s.keyMaxG != a.keyMaxG || s.keyMaxB != a.keyMaxB) {
    Uniform("uKeyed", s.keyed);
    Uniform3("uKey", static_cast<float>(s.keyR), static_cast<float>(s.keyG), static_cast<float>(s.keyB));
    Uniform3("uKeyMax", static_cast<float>(s.keyMaxR), static_cast<float>(s.keyMaxG),
             static_cast<float>(s.keyMaxB));
  }
  if (all || s.fog != a.fog || s.fogColour != a.fogColour || s.fogStart != a.fogStart || s.fogEnd != a.fogEnd) {
    Uniform("uFog", s.fog);
    Uniform3("uFogColour", static_cast<float>(s.fogColour >> 16 & 0xFF) / 255.0f,
             static_cast<float>(s.fogColour >> 8 & 0xFF) / 255.0f, static_cast<float>(s.fogColour & 0xFF) / 255.0f);
    UniformF("uFogStart", s.fogStart);
    UniformF("uFogEnd", s.fogEnd);
  }
  if (all || s.blend != a.blend) s.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
  if (all || s.srcBlend != a.srcBlend || s.destBlend != a.destBlend)
    glBlendFunc(GlBlend(s.srcBlend), GlBlend(s.destBlend));
  if (all || s.depthTest != a.depthTest) s.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
  if (all || s.depthWrite != a.depthWrite) glDepthMask(s.depthWrite ? GL_TRUE : GL_FALSE);
  if (all || s.depthFunc != a.depthFunc) glDepthFunc(GlCompare(s.depthFunc));
  if (all || s.dither != a.dither) s.dither ? glEnable(GL_DITHER) : glDisable(GL_DITHER);
  // Screen vertices arrive in any winding; the game culls on its own.
  if (all) glDisable(GL_CULL_FACE);
  if (all || std::memcmp(&s.scissor, &a.scissor, sizeof s.scissor) != 0) {
    glEnable(GL_SCISSOR_TEST);
    // Rows are kept top first in OpenGL's order, so no flip here.
    glScissor(s.scissor.left, s.scissor.top, s.scissor.right - s.scissor.left, s.scissor.bottom - s.scissor.top);
  }
  gApplied = s;
  gAppliedValid = true;
  ++gDisplay.stateCount;
}

void Flush() {
  if (gBatchVertices == 0) return;
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(gBatch.size()), gBatch.data(), GL_STREAM_DRAW);
  glDrawArrays(static_cast<GLenum>(gApplied.primitive), 0, gBatchVertices);
  ++gDisplay.drawCount;
  gBatch.clear();
  gBatchVertices = 0;
}

// The vertex as OpenGL takes it: clip coordinates with w = 1/rhw under an
// orthographic view of the screen, so interpolation is perspective-correct.
void AppendVertex(const HalTLVertex& v) {
  const float w = v.rhw > 0.0f ? 1.0f / v.rhw : 1.0f;
  const float x = (v.sx + 0.5f) / static_cast<float>(gDisplay.width) * 2.0f - 1.0f;
  const float y = (v.sy + 0.5f) / static_cast<float>(gDisplay.height) * 2.0f - 1.0f;
  const float z = v.sz * 2.0f - 1.0f;
  float out[4] = {x * w, y * w, z * w, w};
  const size_t at = gBatch.size();
  gBatch.resize(at + 32);
  std::memcpy(&gBatch[at], out, 16);
  std::memcpy(&gBatch[at + 16], &v.diffuse, 4);
  std::memcpy(&gBatch[at + 20], &v.specular, 4);
  std::memcpy(&gBatch[at + 24], &v.tu, 4);
  std::memcpy(&gBatch[at + 28], &v.tv, 4);
  ++gBatchVertices;
}

// ---- Display buffers ------------------------------------------------------------

void ReleaseDisplayBuffers() {
  if (!gDisplay.glReady) return;
  Flush();
  if (gDisplay.fbo[0]) glDeleteFramebuffers(2, gDisplay.fbo);
  if (gDisplay.colour[0]) glDeleteRenderbuffers(2, gDisplay.colour);
  if (gDisplay.depth) glDeleteRenderbuffers(1, &gDisplay.depth);
  gDisplay.fbo[0] = gDisplay.fbo[1] = gDisplay.colour[0] = gDisplay.colour[1] = gDisplay.depth = 0;
  gDisplay.shown = false;
  gAppliedValid = false;
}

bool CreateDisplayBuffers() {
  if (!PrepareGl()) return false;
  glGenRenderbuffers(2, gDisplay.colour);
  glGenFramebuffers(2, gDisplay.fbo);
  for (int i = 0; i < 2; ++i) {
    glBindRenderbuffer(GL_RENDERBUFFER, gDisplay.colour[i]);
    glRenderbufferStorage(GL_RENDERBUFFER, gDisplay.rgb555 ? GL_RGB5 : GL_RGB565, gDisplay.width, gDisplay.height);
    glBindFramebuffer(GL_FRAMEBUFFER, gDisplay.fbo[i]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gDisplay.colour[i]);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      ReleaseDisplayBuffers();
      return false;
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  gDisplay.back = 0;
  gAppliedValid = false;
  return true;
}

bool AttachDepth() {
  glGenRenderbuffers(1, &gDisplay.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, gDisplay.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, gDisplay.width, gDisplay.height);
  for (int i = 0; i < 2; ++i) {
    glBindFramebuffer(GL_FRAMEBUFFER, gDisplay.fbo[i]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, gDisplay.depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
  }
  gAppliedValid = false;
  return true;
}

// Reads one of the display's buffers, rows from the top.
void ReadBuffer(int32_t index, uint16_t* out, int32_t pitchPixels) {
  Flush();
  glBindFramebuffer(GL_READ_FRAMEBUFFER, gDisplay.fbo[index]);
  glPixelStorei(GL_PACK_ALIGNMENT, 2);
  glPixelStorei(GL_PACK_ROW_LENGTH, pitchPixels);
  if (gDisplay.rgb555) {
    glReadPixels(0, 0, gDisplay.width, gDisplay.height, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, out);
    for (int32_t y = 0; y < gDisplay.height; ++y)
      for (int32_t x = 0; x < gDisplay.width; ++x) out[y * pitchPixels + x] &= 0x7FFF;
  } else {
    glReadPixels(0, 0, gDisplay.width, gDisplay.height, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, out);
  }
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  gAppliedValid = false;
}

void WriteBuffer(int32_t index, const uint16_t* in, int32_t pitchPixels) {
  GLuint tex = 0, fbo = 0;
  glGenTextures(1, &tex);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, tex);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pitchPixels);
  if (gDisplay.rgb555) {
    std::vector<uint16_t> opaque(static_cast<size_t>(pitchPixels) * gDisplay.height);
    for (size_t i = 0; i < opaque.size(); ++i) opaque[i] = in[i] | 0x8000;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB5_A1, gDisplay.width, gDisplay.height, 0, GL_BGRA,
                 GL_UNSIGNED_SHORT_1_5_5_5_REV, opaque.data());
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB565, gDisplay.width, gDisplay.height, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                 in);
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, gDisplay.fbo[index]);
  glDisable(GL_SCISSOR_TEST);
  glBlitFramebuffer(0, 0, gDisplay.width, gDisplay.height, 0, 0, gDisplay.width, gDisplay.height,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glDeleteFramebuffers(1, &fbo);
  glDeleteTextures(1, &tex);
  gAppliedValid = false;
}

void Present() {
  SDL_Window* window = HalGlContextWindow();
  if (!window) return;
  int32_t w = 0, h = 0;
  SDL_GL_GetDrawableSize(window, &w, &h);
  if (w <= 0 || h <= 0) return;
  // Scaled to the screen with its aspect kept.
  int32_t dw = w, dh = static_cast<int32_t>(static_cast<int64_t>(w) * gDisplay.height / gDisplay.width);
  if (dh > h) dh = h, dw = static_cast<int32_t>(static_cast<int64_t>(h) * gDisplay.width / gDisplay.height);
  const int32_t x = (w - dw) / 2, y = (h - dh) / 2;
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, gDisplay.fbo[1 - gDisplay.back]);
  // Rows are top first in the buffers, bottom first on the window.
  glBlitFramebuffer(0, 0, gDisplay.width, gDisplay.height, x, y + dh, x + dw, y, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  HalGlContextSwap();
  gAppliedValid = false;
}

// ---- Surface pixels ---------------------------------------------------------------

bool IsDisplayBuffer(const Surface& s) { return s.role == Role::PRIMARY || s.role == Role::BACK; }

int32_t DisplayBufferIndex(const Surface& s) { return s.role == Role::BACK ? gDisplay.back : 1 - gDisplay.back; }

// The display's buffers keep their pixels in OpenGL; a lock or a copy takes
// them into the surface's CPU copy and puts them back afterwards.
bool Fetch(Surface& s) {
  if (!IsDisplayBuffer(s)) return true;
  if (!gDisplay.fbo[0]) return false;
  s.width = gDisplay.width;
  s.height = gDisplay.height;
  s.format = DisplayFormat();
  s.pitch = s.width * 2;
  s.pixels.resize(static_cast<size_t>(s.pitch) * s.height);
  ReadBuffer(DisplayBufferIndex(s), reinterpret_cast<uint16_t*>(s.pixels.data()), s.width);
  return true;
}

void Store(Surface& s) {
  if (IsDisplayBuffer(s)) {
    if (gDisplay.fbo[0]) WriteBuffer(DisplayBufferIndex(s), reinterpret_cast<uint16_t*>(s.pixels.data()), s.width);
    return;
  }
  s.dirty = true;
}

uint16_t* Pixel(Surface& s, int32_t x, int32_t y) {
  return reinterpret_cast<uint16_t*>(s.pixels.data() + static_cast<size_t>(y) * s.pitch) + x;
}

HalRect Whole(const Surface& s) { return {0, 0, s.width, s.height}; }

HalRect Clamp(HalRect r, const Surface& s) {
  r.left = std::clamp(r.left, 0, s.width);
  r.right = std::clamp(r.right, r.left, s.width);
  r.top = std::clamp(r.top, 0, s.height);
  r.bottom = std::clamp(r.bottom, r.top, s.height);
  return r;
}

bool KeyMatches(const Surface& s, uint16_t p) {
  Channels c = ChannelsOf(s.format);
  const uint32_t r = (p >> c.rs) & ((1u << c.r) - 1), g = (p >> c.gs) & ((1u << c.g) - 1),
                 b = (p >> c.bs) & ((1u << c.b) - 1);
  const uint32_t kr = (s.keyLow >> 16 & 0xFF) >> (8 - c.r), kg = (s.keyLow >> 8 & 0xFF) >> (8 - c.g),
                 kb = (s.keyLow & 0xFF) >> (8 - c.b);
  return r == kr && g == kg && b == kb;
}

Surface* SurfaceOf(HalObject h) {
  Object* o = Find(h, Kind::SURFACE);
  return o ? &o->surface : nullptr;
}

void DestroyObject(HalObject h, Object& o) {
  if (o.kind == Kind::SURFACE) {
    Surface& s = o.surface;
    if (s.glTexture && gDisplay.glReady) {
      Flush();
      glDeleteTextures(1, &s.glTexture);
      gAppliedValid = false;
    }
    if (s.role == Role::PRIMARY && gDisplay.primary == h) {
      ReleaseDisplayBuffers();
      gDisplay.primary = 0;
    }
  }
  if (o.kind == Kind::DEVICE && gDevice.handle == h) gDevice = Device{};
  if (o.kind == Kind::VIEWPORT && gDevice.viewport == h) gDevice.viewport = 0;
  if (o.kind == Kind::TEXTURE && gDevice.texture == h) gDevice.texture = 0;
}

std::string Rect(const HalRect* r) {
  return r ? Args({r->left, r->top, r->right, r->bottom}) : std::string("all");
}

}  // namespace

// ---- Driver objects -------------------------------------------------------------

HalObject HalDDrawCreate(int32_t deviceIndex) {
  if (!Call("DirectDrawCreate", Args({deviceIndex}))) return 0;
  if (!HalDeviceAt(deviceIndex)) return 0;
  HalObject h = Add(Kind::DDRAW);
  gObjects[h]->deviceIndex = deviceIndex;
  return h;
}

bool HalDDrawSetCooperativeLevel(HalObject ddraw, uint32_t window) {
  if (!Call("SetCooperativeLevel", Args({window}))) return false;
  return Find(ddraw, Kind::DDRAW) != nullptr;
}

bool HalDDrawSetDisplayMode(HalObject ddraw, int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (!Call("SetDisplayMode", Args({width, height, bitsPerPixel}))) return false;
  if (!Find(ddraw, Kind::DDRAW) || bitsPerPixel != 16 || width <= 0 || height <= 0 || width > 4096 ||
      height > 4096)
    return false;
  if (gDisplay.primary) return false;  // the flip chain has the old size
  gDisplay.width = width;
  gDisplay.height = height;
  gDisplay.rgb555 = gDisplay.want555;
  return true;
}

HalObject HalDDrawCreateSurface(HalObject ddraw, const HalSurfaceDesc& desc) {
  if (!Call("CreateSurface", Args({desc.caps, desc.width, desc.height, desc.format}))) return 0;
  Object* dd = Find(ddraw, Kind::DDRAW);
  if (!dd) return 0;
  Surface s;
  s.caps = desc.caps;
  s.sourceKey = desc.sourceColourKey;
  if (desc.caps & HAL_CAPS_PRIMARY) {
    const HalDevice* device = HalDeviceAt(dd->deviceIndex);
    if (!device || device->primarySurfaceFails || gDisplay.primary || gDisplay.width <= 0) return 0;
    if (!CreateDisplayBuffers()) return 0;
    s.role = Role::PRIMARY;
    HalObject h = Add(Kind::SURFACE);
    gObjects[h]->surface = s;
    gDisplay.primary = h;
    return h;
  }
  if (desc.caps & HAL_CAPS_ZBUFFER) {
    s.role = Role::DEPTH;
    s.width = desc.width;
    s.height = desc.height;
    s.format = HAL_PIXEL_Z16;
  } else {
    if (desc.width <= 0 || desc.height <= 0 || desc.width > 4096 || desc.height > 4096) return 0;
    s.width = desc.width;
    s.height = desc.height;
    s.format = desc.format == HAL_PIXEL_NONE ? DisplayFormat() : desc.format;
    if (s.format == HAL_PIXEL_Z16) return 0;
    // Rows padded to 8 bytes: callers must go by the pitch.
    s.pitch = (s.width * 2 + 7) & ~7;
    s.pixels.assign(static_cast<size_t>(s.pitch) * s.height, 0);
  }
  HalObject h = Add(Kind::SURFACE);
  gObjects[h]->surface = std::move(s);
  return h;
}

HalObject HalDDrawCreateClipper(HalObject ddraw) {
  if (!Call("CreateClipper")) return 0;
  return Find(ddraw, Kind::DDRAW) ? Add(Kind::CLIPPER) : 0;
}

bool HalDDrawGetAvailableVidMem(HalObject ddraw, uint32_t caps, uint32_t* total, uint32_t* available) {
  if (!Call("GetAvailableVidMem", Args({caps}))) return false;
  Object* dd = Find(ddraw, Kind::DDRAW);
  const HalDevice* device = dd ? HalDeviceAt(dd->deviceIndex) : nullptr;
  if (!device) return false;
  const uint64_t bytes = (caps & HAL_CAPS_TEXTURE) ? device->textureMemory : device->localVideoMemory;
  const uint32_t value = static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX));
  if (total) *total = value;
  if (available) *available = value;
  return true;
}

bool HalDDrawFlipToGdi(HalObject ddraw) {
  Call("FlipToGDISurface");
  return Find(ddraw, Kind::DDRAW) != nullptr;
}

HalObject HalDDrawQuery3d(HalObject ddraw) {
  if (!Call("QueryInterface3D")) return 0;
  Object* dd = Find(ddraw, Kind::DDRAW);
  if (!dd) return 0;
  const int32_t index = dd->deviceIndex;
  HalObject h = Add(Kind::D3D);
  gObjects[h]->deviceIndex = index;
  return h;
}

// ---- Surfaces ----------------------------------------------------------------

HalObject HalSurfaceGetBackBuffer(HalObject primary) {
  if (!Call("GetAttachedSurface")) return 0;
  Surface* p = SurfaceOf(primary);
  if (!p || p->role != Role::PRIMARY) return 0;
  HalObject h = Add(Kind::SURFACE);
  gObjects[h]->surface.role = Role::BACK;
  gObjects[h]->surface.caps = HAL_CAPS_BACKBUFFER | HAL_CAPS_3DDEVICE | HAL_CAPS_VIDEOMEMORY;
  return h;
}

bool HalSurfaceAddAttachedDepth(HalObject surface, HalObject depth) {
  if (!Call("AddAttachedSurface")) return false;
  Surface* s = SurfaceOf(surface);
  Surface* z = SurfaceOf(depth);
  if (!s || !z || s->role != Role::BACK || z->role != Role::DEPTH || z->width != gDisplay.width ||
      z->height != gDisplay.height || !gDisplay.fbo[0] || gDisplay.depth)
    return false;
  if (!AttachDepth()) return false;
  s->depth = depth;
  return true;
}

bool HalSurfaceGetDesc(HalObject surface, HalSurfaceDesc* desc) {
  if (!Call("GetSurfaceDesc")) return false;
  Surface* s = SurfaceOf(surface);
  if (!s || !desc) return false;
  const bool display = IsDisplayBuffer(*s);
  desc->caps = s->caps;
  desc->width = display ? gDisplay.width : s->width;
  desc->height = display ? gDisplay.height : s->height;
  desc->format = display ? DisplayFormat() : s->format;
  desc->sourceColourKey = s->sourceKey;
  desc->pitch = display ? desc->width * 2 : s->pitch;
  return true;
}

void* HalSurfaceLock(HalObject surface, int32_t* pitch) {
  if (!Call("Lock")) return nullptr;
  Surface* s = SurfaceOf(surface);
  if (!s || s->locked || s->role == Role::DEPTH || !Fetch(*s)) return nullptr;
  s->locked = true;
  if (pitch) *pitch = s->pitch;
  return s->pixels.data();
}

bool HalSurfaceUnlock(HalObject surface) {
  if (!Call("Unlock")) return false;
  Surface* s = SurfaceOf(surface);
  if (!s || !s->locked) return false;
  s->locked = false;
  Store(*s);
  return true;
}

bool HalSurfaceBlt(HalObject dst, const HalRect* dstRect, HalObject src, const HalRect* srcRect) {
  if (!Call("Blt", Rect(dstRect) + " from " + Rect(srcRect))) return false;
  Surface* d = SurfaceOf(dst);
  Surface* s = SurfaceOf(src);
  if (!d || !s || d == s || d->locked || s->locked || d->role == Role::DEPTH || s->role == Role::DEPTH) return false;
  if (!Fetch(*s) || !Fetch(*d)) return false;
  const HalRect dr = Clamp(dstRect ? *dstRect : Whole(*d), *d);
  const HalRect sr = Clamp(srcRect ? *srcRect : Whole(*s), *s);
  const int32_t dw = dr.right - dr.left, dh = dr.bottom - dr.top;
  const int32_t sw = sr.right - sr.left, sh = sr.bottom - sr.top;
  if (dw > 0 && dh > 0 && sw > 0 && sh > 0) {
    for (int32_t y = 0; y < dh; ++y) {
      const int32_t sy = sr.top + static_cast<int32_t>(static_cast<int64_t>(y) * sh / dh);
      for (int32_t x = 0; x < dw; ++x) {
        const int32_t sx = sr.left + static_cast<int32_t>(static_cast<int64_t>(x) * sw / dw);
        *Pixel(*d, dr.left + x, dr.top + y) = Convert(*Pixel(*s, sx, sy), s->format, d->format);
      }
    }
  }
  Store(*d);
  return true;
}

bool HalSurfaceBltFill(HalObject dst, const HalRect* dstRect, uint32_t pixel) {
  if (!Call("BltColorFill", Rect(dstRect) + " " + std::to_string(pixel))) return false;
  Surface* d = SurfaceOf(dst);
  if (!d || d->locked || d->role == Role::DEPTH || !Fetch(*d)) return false;
  const HalRect r = Clamp(dstRect ? *dstRect : Whole(*d), *d);
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x) *Pixel(*d, x, y) = static_cast<uint16_t>(pixel);
  Store(*d);
  return true;
}

bool HalSurfaceBltFast(HalObject dst, int32_t x, int32_t y, HalObject src, const HalRect* srcRect, bool sourceKey) {
  if (!Call("BltFast", Args({x, y}) + " from " + Rect(srcRect) + (sourceKey ? " key" : ""))) return false;
  Surface* d = SurfaceOf(dst);
  Surface* s = SurfaceOf(src);
  if (!d || !s || d == s || d->locked || s->locked || d->role == Role::DEPTH || s->role == Role::DEPTH) return false;
  if (!Fetch(*s) || !Fetch(*d)) return false;
  HalRect sr = Clamp(srcRect ? *srcRect : Whole(*s), *s);
  // Clamp the copy to the target as well, moving the source corner with it.
  if (x < 0) sr.left -= x, x = 0;
  if (y < 0) sr.top -= y, y = 0;
  const int32_t w = std::min(sr.right - sr.left, d->width - x), h = std::min(sr.bottom - sr.top, d->height - y);
  for (int32_t j = 0; j < h; ++j)
    for (int32_t i = 0; i < w; ++i) {
      const uint16_t p = *Pixel(*s, sr.left + i, sr.top + j);
      if (sourceKey && s->sourceKey && KeyMatches(*s, p)) continue;
      *Pixel(*d, x + i, y + j) = Convert(p, s->format, d->format);
    }
  Store(*d);
  return true;
}

bool HalSurfaceSetColourKey(HalObject surface, uint32_t low, uint32_t high) {
  if (!Call("SetColorKey", Args({low, high}))) return false;
  Surface* s = SurfaceOf(surface);
  if (!s) return false;
  Flush();
  s->sourceKey = true;
  s->keyLow = low;
  s->keyHigh = high;
  gAppliedValid = false;
  return true;
}

bool HalSurfaceSetClipper(HalObject primary, HalObject clipper) {
  if (!Call("SetClipper")) return false;
  Surface* s = SurfaceOf(primary);
  if (!s || !Find(clipper, Kind::CLIPPER)) return false;
  s->clipper = clipper;
  return true;
}

bool HalSurfaceFlip(HalObject primary) {
  if (!Call("Flip")) return false;
  Surface* s = SurfaceOf(primary);
  if (!s || s->role != Role::PRIMARY || !gDisplay.fbo[0]) return false;
  Flush();
  gDisplay.back = 1 - gDisplay.back;
  gDisplay.shown = true;
  gAppliedValid = false;
  Present();
  HalNoteFrame();
  if (HalFrameDumpWanted()) {
    std::vector<uint16_t> pixels(static_cast<size_t>(gDisplay.width) * gDisplay.height);
    ReadBuffer(1 - gDisplay.back, pixels.data(), gDisplay.width);
    HalFrameDumpWrite(pixels.data(), gDisplay.width, gDisplay.height, gDisplay.width * 2, !gDisplay.rgb555);
  }
  return true;
}

HalObject HalSurfaceQueryTexture(HalObject surface) {
  if (!Call("QueryInterfaceTexture")) return 0;
  Surface* s = SurfaceOf(surface);
  if (!s || !(s->caps & HAL_CAPS_TEXTURE)) return 0;
  HalObject h = Add(Kind::TEXTURE);
  gObjects[h]->target = surface;
  return h;
}

bool HalTextureLoad(HalObject texture, HalObject src) {
  if (!Call("Load")) return false;
  Object* t = Find(texture, Kind::TEXTURE);
  Object* s = Find(src, Kind::TEXTURE);
  if (!t || !s) return false;
  if (t->target == s->target) return true;
  Surface* ts = SurfaceOf(t->target);
  Surface* ss = SurfaceOf(s->target);
  if (!ts || !ss || ts->width != ss->width || ts->height != ss->height || ts->format != ss->format) return false;
  Flush();
  for (int32_t y = 0; y < ts->height; ++y) std::memcpy(Pixel(*ts, 0, y), Pixel(*ss, 0, y), ts->width * 2);
  ts->dirty = true;
  return true;
}

bool HalClipperSetWindow(HalObject clipper, uint32_t window) {
  if (!Call("SetHWnd", Args({window}))) return false;
  return Find(clipper, Kind::CLIPPER) != nullptr;
}

// ---- Device ------------------------------------------------------------------

HalObject HalD3dCreateDevice(HalObject d3d, HalObject backBuffer) {
  if (!Call("CreateDevice")) return 0;
  Surface* b = SurfaceOf(backBuffer);
  if (!Find(d3d, Kind::D3D) || !b || b->role != Role::BACK || gDevice.handle) return 0;
  const int32_t index = Find(d3d, Kind::D3D)->deviceIndex;
  HalObject h = Add(Kind::DEVICE);
  gObjects[h]->target = backBuffer;
  gObjects[h]->deviceIndex = index;
  gDevice = Device{};
  gDevice.handle = h;
  ResetDeviceStates();
  gAppliedValid = false;
  return h;
}

bool HalD3dGetCaps(HalObject device, HalDeviceCaps* hardware, HalDeviceCaps* emulation) {
  if (!Call("GetCaps")) return false;
  if (!Find(device, Kind::DEVICE)) return false;
  const HalDevice* d = HalDeviceAt(Find(device, Kind::DEVICE)->deviceIndex);
  if (!d) return false;
  if (hardware) *hardware = {d->tableFog, d->alphaCompareNotEqual};
  if (emulation) *emulation = {false, false};
  return true;
}

HalObject HalD3dCreateViewport(HalObject d3d) {
  if (!Call("CreateViewport")) return 0;
  return Find(d3d, Kind::D3D) ? Add(Kind::VIEWPORT) : 0;
}

bool HalD3dAddViewport(HalObject device, HalObject viewport) {
  if (!Call("AddViewport")) return false;
  Object* vp = Find(viewport, Kind::VIEWPORT);
  if (!Find(device, Kind::DEVICE) || !vp) return false;
  vp->viewportDevice = device;
  return true;
}

bool HalD3dDeleteViewport(HalObject device, HalObject viewport) {
  if (!Call("DeleteViewport")) return false;
  Object* vp = Find(viewport, Kind::VIEWPORT);
  if (!Find(device, Kind::DEVICE) || !vp || vp->viewportDevice != device) return false;
  vp->viewportDevice = 0;
  if (gDevice.viewport == viewport) gDevice.viewport = 0;
  return true;
}

bool HalD3dSetCurrentViewport(HalObject device, HalObject viewport) {
  if (!Call("SetCurrentViewport")) return false;
  Object* vp = Find(viewport, Kind::VIEWPORT);
  if (device != gDevice.handle || !gDevice.handle || !vp || vp->viewportDevice != device) return false;
  gDevice.viewport = viewport;
  return true;
}

bool HalViewportSet(HalObject viewport, const HalViewport& v) {
  if (!Call("SetViewport2", Args({v.x, v.y, v.width, v.height}))) return false;
  Object* vp = Find(viewport, Kind::VIEWPORT);
  if (!vp || v.width < 0 || v.height < 0) return false;
  vp->viewport = v;
  return true;
}

bool HalViewportClear(HalObject viewport, const HalRect* rects, int32_t count, uint32_t flags, uint32_t colour,
                      float z, uint32_t stencil) {
  std::string args;
  for (int32_t i = 0; rects && i < count; ++i) args += Rect(&rects[i]) + " ";
  if (!Call("Clear2", args + Args({flags, colour}) + " " + std::to_string(z) + " " + std::to_string(stencil)))
    return false;
  Object* vp = Find(viewport, Kind::VIEWPORT);
  if (!vp || !vp->viewportDevice || !gDisplay.fbo[0] || !rects || count < 0) return false;
  Flush();
  glBindFramebuffer(GL_FRAMEBUFFER, gDisplay.fbo[gDisplay.back]);
  // The colour as the buffer stores it, channels cut to their bits.
  const uint32_t r = colour >> 16 & 0xFF, g = colour >> 8 & 0xFF, b = colour & 0xFF;
  const float gBits = gDisplay.rgb555 ? 31.0f : 63.0f;
  glClearColor(static_cast<float>(r >> 3) / 31.0f,
               static_cast<float>(gDisplay.rgb555 ? g >> 3 : g >> 2) / gBits, static_cast<float>(b >> 3) / 31.0f,
               1.0f);
  glClearDepth(z);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glEnable(GL_SCISSOR_TEST);
  GLbitfield mask = 0;
  if (flags & HAL_CLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
  if ((flags & HAL_CLEAR_ZBUFFER) && gDisplay.depth) mask |= GL_DEPTH_BUFFER_BIT;
  for (int32_t i = 0; i < count; ++i) {
    Surface screen;
    screen.width = gDisplay.width;
    screen.height = gDisplay.height;
    HalRect c = Clamp(rects[i], screen);
    if (c.right <= c.left || c.bottom <= c.top) continue;
    glScissor(c.left, c.top, c.right - c.left, c.bottom - c.top);
    if (mask) glClear(mask);
  }
  gAppliedValid = false;
  return true;
}

bool HalD3dBeginScene(HalObject device) {
  if (!Call("BeginScene")) return false;
  if (!gDevice.handle || device != gDevice.handle || gDevice.inScene) return false;
  gDevice.inScene = true;
  return true;
}

bool HalD3dEndScene(HalObject device) {
  if (!Call("EndScene")) return false;
  if (!gDevice.handle || device != gDevice.handle || !gDevice.inScene) return false;
  gDevice.inScene = false;
  return true;
}

bool HalD3dSetRenderState(HalObject device, HalRenderState state, uint32_t value) {
  const char* name = state >= 0 && state < HAL_RS_COUNT ? RENDER_STATE_NAMES[state] : "?";
  if (!Call("SetRenderState", std::string(name) + " " + std::to_string(value))) return false;
  if (!gDevice.handle || device != gDevice.handle || state < 0 || state >= HAL_RS_COUNT) return false;
  gDevice.rs[state] = value;
  return true;
}

bool HalD3dSetTextureStageState(HalObject device, int32_t stage, HalTextureStageState state, uint32_t value) {
  const char* name = state >= 0 && state < HAL_TSS_COUNT ? STAGE_STATE_NAMES[state] : "?";
  if (!Call("SetTextureStageState", std::to_string(stage) + " " + name + " " + std::to_string(value))) return false;
  if (!gDevice.handle || device != gDevice.handle || stage != 0 || state < 0 || state >= HAL_TSS_COUNT) return false;
  gDevice.tss[state] = value;
  return true;
}

bool HalD3dSetLightState(HalObject device, HalLightState state, uint32_t value) {
  if (!Call("SetLightState", std::string(state == HAL_LS_FOGMODE ? "FOGMODE" : "?") + " " + std::to_string(value)))
    return false;
  if (!gDevice.handle || device != gDevice.handle) return false;
  gDevice.fogMode = value;
  return true;
}

bool HalD3dSetTexture(HalObject device, int32_t stage, HalObject texture) {
  if (!Call("SetTexture", Args({stage, texture}))) return false;
  if (!gDevice.handle || device != gDevice.handle || stage != 0) return false;
  if (texture && !Find(texture, Kind::TEXTURE)) return false;
  gDevice.texture = texture;
  return true;
}

bool HalD3dDrawPrimitive(HalObject device, HalPrimitive primitive, const HalTLVertex* vertices, int32_t count,
                         uint32_t flags) {
  if (gLog) {
    std::string args = std::to_string(primitive) + " " + std::to_string(count) + " " + std::to_string(flags);
    for (int32_t i = 0; vertices && i < count; ++i) {
      char v[160];
      std::snprintf(v, sizeof v, " (%g %g %g %g %08x %08x %g %g)", vertices[i].sx, vertices[i].sy, vertices[i].sz,
                    vertices[i].rhw, vertices[i].diffuse, vertices[i].specular, vertices[i].tu, vertices[i].tv);
      args += v;
    }
    if (!Call("DrawPrimitive", args)) return false;
  } else if (!Call("DrawPrimitive")) {
    return false;
  }
  if (!gDevice.handle || device != gDevice.handle || !vertices || count < 0 || !gDisplay.fbo[0]) return false;
  GLenum mode = GL_TRIANGLES;
  int32_t usable = 0;
  switch (primitive) {
    case HAL_PRIM_POINTLIST: mode = GL_POINTS, usable = count; break;
    case HAL_PRIM_LINELIST: mode = GL_LINES, usable = count - count % 2; break;
    case HAL_PRIM_TRIANGLELIST: usable = count - count % 3; break;
    case HAL_PRIM_TRIANGLEFAN: usable = count >= 3 ? count : 0; break;
    default: return false;
  }
  if (usable == 0) return true;
  const DrawState wanted = WantedState(mode);
  if (!gAppliedValid || std::memcmp(&wanted, &gApplied, sizeof wanted) != 0) {
    Flush();
    Apply(wanted);
  }
  if (primitive == HAL_PRIM_TRIANGLEFAN) {
    // Fans become triangle lists so they merge with the draws around them.
    for (int32_t i = 1; i + 1 < count; ++i) {
      AppendVertex(vertices[0]);
      AppendVertex(vertices[i]);
      AppendVertex(vertices[i + 1]);
    }
  } else {
    for (int32_t i = 0; i < usable; ++i) AppendVertex(vertices[i]);
  }
  return true;
}

// ---- Objects, tests and presentation ---------------------------------------

void HalObjectRelease(HalObject object) {
  auto it = gObjects.find(object);
  if (it == gObjects.end()) return;
  if (--it->second->refs > 0) return;
  std::unique_ptr<Object> o = std::move(it->second);
  gObjects.erase(it);
  DestroyObject(object, *o);
}

void HalObjectAddRef(HalObject object) {
  auto it = gObjects.find(object);
  if (it != gObjects.end()) ++it->second->refs;
}

int32_t HalD3dLiveObjects() { return static_cast<int32_t>(gObjects.size()); }

void HalD3dShutdown() {
  while (!gObjects.empty()) {
    auto it = gObjects.begin();
    std::unique_ptr<Object> o = std::move(it->second);
    HalObject h = it->first;
    gObjects.erase(it);
    DestroyObject(h, *o);
  }
  if (gDisplay.glReady) {
    ReleaseDisplayBuffers();
    glDeleteProgram(gDisplay.program);
    glDeleteBuffers(1, &gDisplay.vbo);
    glDeleteVertexArrays(1, &gDisplay.vao);
    glDeleteSamplers(2, gDisplay.samplers);
  }
  HalGlContextClose();
  const bool want555 = gDisplay.want555;
  gDisplay = Display{};
  gDisplay.want555 = want555;
  gDevice = Device{};
  gAppliedValid = false;
  gBatch.clear();
  gBatchVertices = 0;
  gFailures.clear();
}

void HalD3dSetDisplay555(bool rgb555) { gDisplay.want555 = rgb555; }
void HalD3dRecordCalls(std::vector<std::string>* log) { gLog = log; }
void HalD3dFailNext(const char* call, int32_t count) { gFailures[call] = count; }

int32_t HalD3dGlDrawCount() {
  Flush();
  return gDisplay.drawCount;
}

int32_t HalD3dGlStateCount() { return gDisplay.stateCount; }

void HalD3dFinish() {
  if (!gDisplay.fbo[0]) return;
  Flush();
  glFinish();
}

bool HalD3dReadFrontBuffer(std::vector<uint16_t>* pixels, int32_t* width, int32_t* height) {
  if (!gDisplay.fbo[0] || !gDisplay.shown || !pixels) return false;
  pixels->resize(static_cast<size_t>(gDisplay.width) * gDisplay.height);
  ReadBuffer(1 - gDisplay.back, pixels->data(), gDisplay.width);
  if (width) *width = gDisplay.width;
  if (height) *height = gDisplay.height;
  return true;
}

const char* HalD3dRendererName() {
  if (!PrepareGl()) return "none";
  const GLubyte* r = glGetString(GL_RENDERER);
  return r ? reinterpret_cast<const char*>(r) : "unknown";
}
