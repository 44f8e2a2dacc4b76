// The device's OpenGL side: the one program whose shaders play texture
// stage 0, the colour key, fog and the alpha test; the device's states
// turned into OpenGL state only when the next draw needs another; draws under
// one state batched into one OpenGL draw; and the device's interface.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hal/d3d/d3d.h"
#include "hal/d3d/d3d_internal.h"
#include "hal/d3d/devices.h"
#include "hal/d3d/gl_context.h"

namespace hal_d3d {

Device gDevice;
bool gAppliedValid = false;

namespace {

const char* const RENDER_STATE_NAMES[HAL_RS_COUNT] = {
    "ANTIALIAS",       "TEXTUREHANDLE", "TEXTUREPERSPECTIVE", "WRAPU",          "WRAPV",        "ZENABLE",
    "ZWRITEENABLE",    "ZFUNC",         "SHADEMODE",          "ALPHABLENDENABLE", "SRCBLEND",   "DESTBLEND",
    "ALPHATESTENABLE", "ALPHAREF",      "ALPHAFUNC",          "DITHERENABLE",   "CULLMODE",     "SPECULARENABLE",
    "COLORKEYENABLE",  "FOGENABLE",     "FOGCOLOR",           "FOGTABLEMODE",   "FOGTABLESTART", "FOGTABLEEND",
    "FOGTABLEDENSITY", "RANGEFOGENABLE"};
const char* const STAGE_STATE_NAMES[HAL_TSS_COUNT] = {"COLOROP",   "COLORARG1", "COLORARG2", "ALPHAOP",
                                                      "ALPHAARG1", "ALPHAARG2", "MAGFILTER", "MINFILTER"};

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
  if (op == 8) return vec4(min(a1.rgb + a1.a * a2.rgb, vec3(1.0)), a1.a);
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

DrawState gApplied;
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

// The vertex as OpenGL takes it: clip coordinates with w = 1/rhw under an
// orthographic view of the screen, so interpolation is perspective-correct.
// A triangle's corners are pixel edges (pixel i spans i..i + 1 and is shaded
// at its centre, i + 0.5); a point or a line is moved half a pixel on, so
// that one at a whole number lands on that pixel's centre.
void AppendVertex(const HalTLVertex& v, float toCentre) {
  const float w = v.rhw > 0.0f ? 1.0f / v.rhw : 1.0f;
  const float x = (v.sx + toCentre) / static_cast<float>(gDisplay.width) * 2.0f - 1.0f;
  const float y = (v.sy + toCentre) / static_cast<float>(gDisplay.height) * 2.0f - 1.0f;
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

}  // namespace

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

void Flush() {
  if (gBatchVertices == 0) return;
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(gBatch.size()), gBatch.data(), GL_STREAM_DRAW);
  glDrawArrays(static_cast<GLenum>(gApplied.primitive), 0, gBatchVertices);
  ++gDisplay.drawCount;
  gBatch.clear();
  gBatchVertices = 0;
}

void ReleaseGl() {
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
}

}  // namespace hal_d3d

using namespace hal_d3d;

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
  const float toCentre = mode == GL_TRIANGLES ? 0.0f : 0.5f;
  if (primitive == HAL_PRIM_TRIANGLEFAN) {
    // Fans become triangle lists so they merge with the draws around them.
    for (int32_t i = 1; i + 1 < count; ++i) {
      AppendVertex(vertices[0], toCentre);
      AppendVertex(vertices[i], toCentre);
      AppendVertex(vertices[i + 1], toCentre);
    }
  } else {
    for (int32_t i = 0; i < usable; ++i) AppendVertex(vertices[i], toCentre);
  }
  return true;
}

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

const char* HalD3dRendererName() {
  if (!PrepareGl()) return "none";
  const GLubyte* r = glGetString(GL_RENDERER);
  return r ? reinterpret_cast<const char*>(r) : "unknown";
}
