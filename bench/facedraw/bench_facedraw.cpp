// A kit-made sphere of 2000 faces, loaded through the record loader and drawn
// 100 times per iteration through the lit object routine at 640x480, with
// the share of the time spent inside the rasterizer's draw calls.
// Counters: "faces/s" (faces handed to the object routine) and
// "raster_share" (0..1). A summary goes to stderr.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "hal/gfx/gfx.h"
#include "tools/datakit/lib/mesh_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::duration gRasterTime{};

struct RasterTimer {
  Clock::time_point start = Clock::now();
  ~RasterTimer() { gRasterTime += Clock::now() - start; }
};

}  // namespace

extern "C" {
void __real__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(const GfxVertex*, const GfxVertex*, const GfxVertex*);
void __real__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(const GfxVertex*, const GfxVertex*, const GfxVertex*);
void __real__Z24GfxDrawPolygonVertexListiPK9GfxVertex(int32_t, const GfxVertex*);
void __real__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(int32_t, const GfxVertex*);
void __wrap__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(const GfxVertex* a, const GfxVertex* b, const GfxVertex* c) {
  RasterTimer t;
  __real__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(a, b, c);
}
void __wrap__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(const GfxVertex* a, const GfxVertex* b,
                                                           const GfxVertex* c) {
  RasterTimer t;
  __real__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(a, b, c);
}
void __wrap__Z24GfxDrawPolygonVertexListiPK9GfxVertex(int32_t n, const GfxVertex* list) {
  RasterTimer t;
  __real__Z24GfxDrawPolygonVertexListiPK9GfxVertex(n, list);
}
void __wrap__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(int32_t n, const GfxVertex* list) {
  RasterTimer t;
  __real__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(n, list);
}
}

namespace {

constexpr int DRAWS_PER_ITERATION = 100;

void BM_ObjectLitSphere(benchmark::State& state) {
  if (!RdrOpen(gDisplayModes[2], 1)) {
    state.SkipWithError("display did not open");
    return;
  }
  std::vector<uint16_t> texels(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) texels[y * 64 + x] = ((x / 8 + y / 8) & 1) ? 0xFFFF : 0x39E7;
  int32_t tex = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 64, 64, GFX_TEXFMT_RGB_565,
                                     GFX_MIPMAP_DISABLE, 0, 0, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP,
                                     GFX_TEXTURECLAMP_WRAP, GFX_TEXTUREFILTER_BILINEAR, GFX_TEXTUREFILTER_BILINEAR,
                                     0.0f, false);
  GfxTexDownloadMipMap(tex, texels.data(), nullptr);

  datakit::KitMesh kit = datakit::KitSphere(6.0f, 40, 50, uint32_t{FACE_TEX_LIT} << 24 | static_cast<uint32_t>(tex));
  std::string path = (std::filesystem::temp_directory_path() / "bench_facedraw_sphere.msh").string();
  datakit::WriteFile(path, datakit::MeshRecordsWrite(kit));
  MeshHeader* mesh = MeshLoadRecords(path.c_str());
  std::filesystem::remove(path);
  if (!mesh) {
    state.SkipWithError("model did not load");
    RdrClose();
    return;
  }

  Camera camera{};
  CamSet(&camera);
  MatViewFromCamera();
  Light light{0.5f, -0.4f, 1.0f, 28.0f, 14.0f};
  LightSet(&light);
  DrawSlot slot{};
  slot.z = 16.0f;  // the sphere fills about half of the screen's height
  slot.viewZ = 16.0f;

  gRasterTime = {};
  Clock::duration total{};
  int64_t faces = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < DRAWS_PER_ITERATION; ++i) {
      RdrClear(0, 0, 0);
      mesh->angle[1] = static_cast<uint16_t>(i * 7);
      RdrDrawObjectLit(&slot, mesh);
    }
    total += Clock::now() - start;
    faces += int64_t{DRAWS_PER_ITERATION} * mesh->faceCount;
  }
  double seconds = std::chrono::duration<double>(total).count();
  double share = seconds > 0 ? std::chrono::duration<double>(gRasterTime).count() / seconds : 0.0;
  state.counters["faces/s"] = benchmark::Counter(static_cast<double>(faces), benchmark::Counter::kIsRate);
  state.counters["raster_share"] = share;
  std::fprintf(stderr, "bench_facedraw: %u faces x %d draws at 640x480 (%s loops): %.0f faces/s, %.1f%% in the rasterizer\n",
               mesh->faceCount, DRAWS_PER_ITERATION, GfxLoopsName(), seconds > 0 ? faces / seconds : 0.0,
               100.0 * share);
  MeshFree(mesh);
  RdrClose();
}
BENCHMARK(BM_ObjectLitSphere)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
