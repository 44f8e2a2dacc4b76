// Rasterizer speed at 640x480, one thread, the whole run on one processor:
//  (a) large textured, bilinear, depth-tested, alpha-tested triangles;
//  (b) a game-like frame of a few thousand small textured triangles with fog
//      and some translucent faces.
// The same triangles are drawn through Mesa's software OpenGL (llvmpipe, one
// rasterizer thread, EGL surfaceless) when it was found at configure time.
// Counters: "Mpixels/s" and "triangles/s" per benchmark; the Mesa runs add
// "gfx_speedup" (Mesa's time per frame / ours). A summary goes to stderr,
// with the ratio again from both drawing in turn, a few frames each, which
// the machine's changing load disturbs least.
#include <benchmark/benchmark.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hal/gfx/gfx.h"
#include "hal/window.h"

#ifdef BENCH_GFX_WITH_MESA
#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#endif

namespace {

constexpr int W = 640, H = 480;

struct Tex {
  int size;
  bool bilinear;
  std::vector<uint16_t> argb1555;
};

struct Tri {
  GfxVertex v[3];
  int tex;
  bool translucent;
};

struct Scene {
  std::vector<Tex> textures;
  std::vector<Tri> tris;  // opaque first, then translucent, grouped by texture
  double pixels = 0;
  bool fog = false;
};

uint32_t gSeed = 12345;
uint32_t Rand() {
  gSeed = gSeed * 1664525u + 1013904223u;
  return gSeed >> 8;
}
float Randf(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(Rand() & 0xFFFF) / 65535.0f; }

GfxVertex V(float x, float y, float w, float s, float t, float a = 255.0f) {
  GfxVertex v{};
  v.x = x;
  v.y = y;
  v.oow = 1.0f / w;
  v.ooz = 262140.0f / w;
  v.tmu[0].sow = s / w;
  v.tmu[0].tow = t / w;
  v.r = v.g = v.b = 255.0f;
  v.a = a;
  return v;
}

Tex MakeTexture(int size, bool bilinear, int seed) {
  Tex t{size, bilinear, std::vector<uint16_t>(static_cast<size_t>(size) * size)};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      bool hole = ((x / 8) % 5 == 3) && ((y / 8) % 5 == 1);  // colour-keyed patches
      uint16_t r = static_cast<uint16_t>((x * 31 / size + seed * 7) & 31);
      uint16_t g = static_cast<uint16_t>((y * 31 / size + seed * 3) & 31);
      uint16_t b = static_cast<uint16_t>(((x ^ y) >> 2) & 31);
      t.argb1555[y * size + x] = static_cast<uint16_t>((hole ? 0 : 0x8000) | r << 10 | g << 5 | b);
    }
  return t;
}

double Area(const Tri& t) {
  double a = (t.v[1].x - t.v[0].x) * (t.v[2].y - t.v[0].y) - (t.v[2].x - t.v[0].x) * (t.v[1].y - t.v[0].y);
  return std::fabs(a) / 2;
}

// (a) Eight full-screen quads, each nearer than the last, in perspective.
Scene LargeScene() {
  Scene s;
  s.textures.push_back(MakeTexture(256, true, 1));
  for (int i = 0; i < 8; ++i) {
    float wFar = 200.0f - 20.0f * i, wNear = wFar / 2;
    GfxVertex a = V(0, 0, wFar, 0, 0), b = V(W, 0, wFar, 1024, 0), c = V(W, H, wNear, 1024, 768),
              d = V(0, H, wNear, 0, 768);
    s.tris.push_back(Tri{{a, b, c}, 0, false});
    s.tris.push_back(Tri{{a, c, d}, 0, false});
  }
  for (const Tri& t : s.tris) s.pixels += Area(t);
  return s;
}

// (b) 3000 small triangles over 8 textures; one in ten translucent.
Scene GameScene() {
  Scene s;
  s.fog = true;
  for (int i = 0; i < 8; ++i) s.textures.push_back(MakeTexture(64, i % 2 == 0, i));
  std::vector<Tri> opaque[8], translucent[8];
  for (int i = 0; i < 3000; ++i) {
    float cx = Randf(10, W - 10), cy = Randf(10, H - 10), size = Randf(6, 22);
    float w0 = Randf(5, 400);
    float s0 = Randf(0, 512), t0 = Randf(0, 512);
    bool trans = (i % 10) == 9;
    float a = trans ? 128.0f : 255.0f;
    Tri t{{V(cx - size, cy - size * 0.6f, w0, s0, t0, a), V(cx + size, cy - size * 0.3f, w0 * 1.1f, s0 + 96, t0, a),
           V(cx - size * 0.2f, cy + size, w0 * 1.2f, s0 + 32, t0 + 96, a)},
          static_cast<int>(Rand() % 8), trans};
    (trans ? translucent : opaque)[t.tex].push_back(t);
  }
  for (auto& g : opaque) s.tris.insert(s.tris.end(), g.begin(), g.end());
  for (auto& g : translucent) s.tris.insert(s.tris.end(), g.begin(), g.end());
  for (const Tri& t : s.tris) s.pixels += Area(t);
  return s;
}

// ---- the software accelerator ----

void GfxSetUp(const Scene& s, std::vector<int32_t>* ids) {
  GfxInit();
  GfxWinOpen(1, GFX_RES_640x480, GFX_REFRESH_60HZ, GFX_COLORFORMAT_ABGR, GFX_ORIGIN_UPPER_LEFT, 2, 1);
  for (const Tex& t : s.textures) {
    int32_t filter = t.bilinear ? GFX_TEXTUREFILTER_BILINEAR : GFX_TEXTUREFILTER_POINT_SAMPLED;
    int32_t id = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, t.size, t.size, GFX_TEXFMT_ARGB_1555, 0, 0,
                                      0, GFX_ASPECT_1x1, 0, 0, filter, filter, 0.0f, false);
    GfxTexDownloadMipMap(id, t.argb1555.data(), nullptr);
    ids->push_back(id);
  }
  GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
  GfxDepthBufferFunction(GFX_CMP_GEQUAL);
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  GfxAlphaTestReferenceValue(0);
  if (s.fog) {
    uint8_t table[64];
    GfxFogGenerateLinear(table, 100.0f, 400.0f);
    GfxFogTable(table);
    GfxFogColorValue(0x806040);
  }
  GfxFogMode(s.fog ? GFX_FOG_WITH_TABLE : GFX_FOG_DISABLE);
}

void GfxDrawScene(const Scene& s, const std::vector<int32_t>& ids) {
  GfxBufferClear(0x402010, 0, 0);
  int bound = -1;
  bool mode = true;
  GfxDepthMask(true);
  GfxColorCombineFunction(GFX_COMBINE_DECAL_TEXTURE);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  for (const Tri& t : s.tris) {
    if (t.translucent && mode) {
      mode = false;
      GfxDepthMask(false);
      GfxColorCombineFunction(GFX_COMBINE_TEXTURE_TIMES_ALPHA);
      GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
    }
    if (t.tex != bound) {
      bound = t.tex;
      GfxTexSource(static_cast<uint32_t>(ids[t.tex]));
    }
    GfxDrawTriangle(&t.v[0], &t.v[1], &t.v[2]);
  }
}

double gGfxSecondsPerFrame[2] = {0, 0};

// Wall time per frame over the measured loop.
struct FrameTimer {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  double PerFrame(int64_t frames) const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           static_cast<double>(frames);
  }
};

void RunGfx(benchmark::State& state, const Scene& s, int which) {
  std::vector<int32_t> ids;
  GfxSetUp(s, &ids);
  FrameTimer timer;
  for (auto _ : state) {
    GfxDrawScene(s, ids);
    benchmark::ClobberMemory();
  }
  gGfxSecondsPerFrame[which] = timer.PerFrame(state.iterations());
  state.counters["Mpixels/s"] = benchmark::Counter(s.pixels / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["triangles/s"] =
      benchmark::Counter(static_cast<double>(s.tris.size()) * state.iterations(), benchmark::Counter::kIsRate);
  state.SetLabel(GfxLoopsName());
  GfxShutdown();
}

const Scene& Large() {
  static const Scene s = LargeScene();
  return s;
}
const Scene& Game() {
  static const Scene s = GameScene();
  return s;
}

void BM_GfxLargeTriangles(benchmark::State& state) { RunGfx(state, Large(), 0); }
void BM_GfxGameFrame(benchmark::State& state) { RunGfx(state, Game(), 1); }
BENCHMARK(BM_GfxLargeTriangles)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_GfxGameFrame)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

#ifdef BENCH_GFX_WITH_MESA
// ---- Mesa ----

struct Mesa {
  bool ready = false;
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext context = EGL_NO_CONTEXT;
  GLuint fbo = 0, colour = 0, depth = 0;
  std::string renderer;
};
Mesa gMesa;

bool MesaStart() {
  if (gMesa.ready) return true;
  // One rasterizer thread, as the comparison asks.
  setenv("LP_NUM_THREADS", "1", 1);
  auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getDisplay) return false;
  gMesa.display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (gMesa.display == EGL_NO_DISPLAY || !eglInitialize(gMesa.display, nullptr, nullptr)) return false;
  if (!eglBindAPI(EGL_OPENGL_API)) return false;
  gMesa.context = eglCreateContext(gMesa.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
  if (gMesa.context == EGL_NO_CONTEXT) return false;
  if (!eglMakeCurrent(gMesa.display, EGL_NO_SURFACE, EGL_NO_SURFACE, gMesa.context)) return false;
  const char* r = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  gMesa.renderer = r ? r : "?";
  glGenFramebuffers(1, &gMesa.fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, gMesa.fbo);
  glGenRenderbuffers(1, &gMesa.colour);
  glBindRenderbuffer(GL_RENDERBUFFER, gMesa.colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB565, W, H);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gMesa.colour);
  glGenRenderbuffers(1, &gMesa.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, gMesa.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, W, H);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, gMesa.depth);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
  glViewport(0, 0, W, H);
  gMesa.ready = true;
  return true;
}

struct MesaScene {
  std::vector<GLuint> textures;
  std::vector<float> pos, uv, colour, fog;  // 4 + 2 + 4 + 1 floats per corner
  struct Batch {
    int tex;
    bool translucent;
    GLint first;
    GLsizei count;
  };
  std::vector<Batch> batches;
};

// The same corners: clip position (x w, y w, z w, w) under an orthographic
// projection, so that the division by w restores the screen position and
// texture coordinates are interpolated in perspective, as ours are.
MesaScene MesaLoad(const Scene& s) {
  MesaScene m;
  for (const Tex& t : s.textures) {
    std::vector<uint8_t> rgba(t.argb1555.size() * 4);
    for (size_t i = 0; i < t.argb1555.size(); ++i) {
      uint16_t p = t.argb1555[i];
      rgba[i * 4 + 0] = static_cast<uint8_t>(((p >> 10) & 31) << 3);
      rgba[i * 4 + 1] = static_cast<uint8_t>(((p >> 5) & 31) << 3);
      rgba[i * 4 + 2] = static_cast<uint8_t>((p & 31) << 3);
      rgba[i * 4 + 3] = (p & 0x8000) ? 255 : 0;
    }
    GLuint id;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.size, t.size, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    GLint filter = t.bilinear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    m.textures.push_back(id);
  }
  for (const Tri& t : s.tris) {
    if (m.batches.empty() || m.batches.back().tex != t.tex || m.batches.back().translucent != t.translucent)
      m.batches.push_back({t.tex, t.translucent, static_cast<GLint>(m.pos.size() / 4), 0});
    for (const GfxVertex& v : t.v) {
      float w = 1.0f / v.oow;
      float z = 1.0f - 2.0f * (v.ooz / 65535.0f);
      m.pos.insert(m.pos.end(), {v.x * w, v.y * w, z * w, w});
      m.uv.insert(m.uv.end(), {v.tmu[0].sow * w / 256.0f, v.tmu[0].tow * w / 256.0f});
      m.colour.insert(m.colour.end(), {v.r / 255.0f, v.g / 255.0f, v.b / 255.0f, v.a / 255.0f});
      m.fog.push_back(w);
      m.batches.back().count += 1;
    }
  }
  return m;
}

void MesaDraw(const Scene& s, const MesaScene& m) {
  glClearColor(0.0625f, 0.125f, 0.25f, 0.0f);
  glClearDepth(0.0);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (const MesaScene::Batch& b : m.batches) {
    glBindTexture(GL_TEXTURE_2D, m.textures[b.tex]);
    glDepthMask(b.translucent ? GL_FALSE : GL_TRUE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, b.translucent ? GL_MODULATE : GL_REPLACE);
    glDrawArrays(GL_TRIANGLES, b.first, b.count);
  }
  (void)s;
  glFinish();
}

void MesaState(const Scene& s, const MesaScene& m) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, W, H, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_GEQUAL);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_NOTEQUAL, 0.0f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  if (s.fog) {
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogi(GL_FOG_COORD_SRC, GL_FOG_COORD);
    glFogf(GL_FOG_START, 100.0f);
    glFogf(GL_FOG_END, 400.0f);
    const float colour[4] = {0.25f, 0.375f, 0.5f, 1.0f};
    glFogfv(GL_FOG_COLOR, colour);
    glEnableClientState(GL_FOG_COORD_ARRAY);
    glFogCoordPointer(GL_FLOAT, 0, m.fog.data());
  } else {
    glDisable(GL_FOG);
    glDisableClientState(GL_FOG_COORD_ARRAY);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(4, GL_FLOAT, 0, m.pos.data());
  glTexCoordPointer(2, GL_FLOAT, 0, m.uv.data());
  glColorPointer(4, GL_FLOAT, 0, m.colour.data());
}

void RunMesa(benchmark::State& state, const Scene& s, int which) {
  if (!MesaStart()) {
    state.SkipWithError("Mesa (EGL surfaceless) could not start");
    return;
  }
  MesaScene m = MesaLoad(s);
  MesaState(s, m);
  MesaDraw(s, m);  // warm-up: shader compilation
  FrameTimer timer;
  for (auto _ : state) MesaDraw(s, m);
  double perFrame = timer.PerFrame(state.iterations());
  state.counters["Mpixels/s"] = benchmark::Counter(s.pixels / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["triangles/s"] =
      benchmark::Counter(static_cast<double>(s.tris.size()) * state.iterations(), benchmark::Counter::kIsRate);
  if (gGfxSecondsPerFrame[which] > 0) state.counters["gfx_speedup"] = perFrame / gGfxSecondsPerFrame[which];
  state.SetLabel(gMesa.renderer);
  glDeleteTextures(static_cast<GLsizei>(m.textures.size()), m.textures.data());
}

double gMesaSecondsPerFrame[2] = {0, 0};

void BM_MesaLargeTriangles(benchmark::State& state) {
  RunMesa(state, Large(), 0);
  if (state.counters.count("gfx_speedup"))
    gMesaSecondsPerFrame[0] = state.counters["gfx_speedup"] * gGfxSecondsPerFrame[0];
}
void BM_MesaGameFrame(benchmark::State& state) {
  RunMesa(state, Game(), 1);
  if (state.counters.count("gfx_speedup"))
    gMesaSecondsPerFrame[1] = state.counters["gfx_speedup"] * gGfxSecondsPerFrame[1];
}
BENCHMARK(BM_MesaLargeTriangles)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_MesaGameFrame)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The two renderers draw the scene in turn, a few frames each, round after
// round, so that a change in the machine's load falls on both alike (the
// benchmarks above time each over its own second, and on a shared machine
// the two seconds can differ a lot). The first frame of each turn only warms
// the caches up again and is not counted. Gives the median seconds per frame
// of each.
bool MeasureInTurn(const Scene& s, int rounds, int framesPerTurn, double* ours, double* mesa) {
  if (!MesaStart()) return false;
  std::vector<int32_t> ids;
  GfxSetUp(s, &ids);
  MesaScene m = MesaLoad(s);
  MesaState(s, m);
  MesaDraw(s, m);
  std::vector<double> a, b;
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i <= framesPerTurn; ++i) {
      auto t0 = std::chrono::steady_clock::now();
      GfxDrawScene(s, ids);
      if (i > 0) a.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    for (int i = 0; i <= framesPerTurn; ++i) {
      auto t0 = std::chrono::steady_clock::now();
      MesaDraw(s, m);
      if (i > 0) b.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
  }
  GfxShutdown();
  glDeleteTextures(static_cast<GLsizei>(m.textures.size()), m.textures.data());
  *ours = Median(a);
  *mesa = Median(b);
  return true;
}
#endif

}  // namespace

// Everything runs on the processor the benchmark started on: ours is
// single-threaded by design, and Mesa's one rasterizer thread then shares
// the core with the thread that feeds it, which is what single-threaded
// means for it. (Left to the scheduler, the two hand each frame across
// cores, and the shared machine's load decides more of the figures.)
int PinToOneProcessor() {
  const int cpu = sched_getcpu();
  if (cpu < 0) return -1;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  return sched_setaffinity(0, sizeof(set), &set) == 0 ? cpu : -1;
}

int main(int argc, char** argv) {
  HalSetHeadless(true);
  const int cpu = PinToOneProcessor();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (cpu >= 0)
    std::fprintf(stderr, "all figures on processor %d alone\n", cpu);
  else
    std::fprintf(stderr, "could not keep the benchmark on one processor: the figures are the scheduler's\n");
  const char* names[2] = {"(a) large triangles", "(b) game-like frame"};
  const Scene* scenes[2] = {&Large(), &Game()};
  const int inTurnRounds[2] = {8, 16}, framesPerTurn = 5;
  for (int i = 0; i < 2; ++i) {
    double t = gGfxSecondsPerFrame[i];
    if (t <= 0) continue;
    std::fprintf(stderr, "%s: %.1f Mpixels/s, %.0f triangles/s (%s loops)\n", names[i], scenes[i]->pixels / t / 1e6,
                 static_cast<double>(scenes[i]->tris.size()) / t, GfxLoopsName());
#ifdef BENCH_GFX_WITH_MESA
    if (gMesaSecondsPerFrame[i] <= 0) continue;
    std::fprintf(stderr, "%s: Mesa %.1f Mpixels/s; ratio ours / Mesa = %.2f over separate runs\n", names[i],
                 scenes[i]->pixels / gMesaSecondsPerFrame[i] / 1e6, gMesaSecondsPerFrame[i] / t);
    double ours = 0, mesa = 0;
    if (MeasureInTurn(*scenes[i], inTurnRounds[i], framesPerTurn, &ours, &mesa))
      std::fprintf(stderr, "%s: ratio ours / Mesa = %.2f drawn in turn, %d frames each (medians %.2f / %.2f ms)\n",
                   names[i], mesa / ours, inTurnRounds[i] * framesPerTurn, ours * 1e3, mesa * 1e3);
#endif
  }
#ifndef BENCH_GFX_WITH_MESA
  std::fprintf(stderr, "Mesa comparison skipped: EGL/OpenGL were not found when the benchmark was built\n");
#endif
  return 0;
}
