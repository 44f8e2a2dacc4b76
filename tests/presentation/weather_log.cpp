// The weather suites' log of calls, and their fixture.
#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/tracks.h"
#include "support/test_support.h"
#include "weather_fixture.h"

std::vector<WeatherCall> gWeatherCalls;
int32_t gWeatherSoundSlot;

int CountCalls(const std::string& name) {
  int n = 0;
  for (const WeatherCall& c : gWeatherCalls) n += c.name == name;
  return n;
}

const WeatherCall* FirstCall(const std::string& name) {
  for (const WeatherCall& c : gWeatherCalls)
    if (c.name == name) return &c;
  return nullptr;
}

namespace {

WeatherCall& Note(const char* name, std::vector<float> args = {}) {
  gWeatherCalls.push_back(WeatherCall{name, std::move(args)});
  return gWeatherCalls.back();
}

uint32_t ColourOf(const Vertex* v) {
  return static_cast<uint32_t>(v->red) | static_cast<uint32_t>(v->green) << 8 | static_cast<uint32_t>(v->blue) << 16;
}

}  // namespace

extern "C" {
void __real__Z15RdrDrawFaceFlatP4Face(Face*);
void __real__Z18RdrDrawPointInsidePK6Vertex(const Vertex*);
void __real__Z12RdrDrawPointPK6Vertex(const Vertex*);
void __real__Z11RdrDrawLinePK6VertexS1_j(const Vertex*, const Vertex*, uint32_t);
void __real__Z19RdrDrawFaceTexAlphaP4Facef(Face*, float);
void __real__Z23RdrDrawObjectYawVColourP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z16RdrDrawObjectYawP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z27RdrDrawObjectYawLitAnyDepthP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z18RdrDrawGroundStripjffh(uint32_t, float, float, uint8_t);
void __real__Z21RdrDrawGroundStripAddjffhff(uint32_t, float, float, uint8_t, float, float);
void __real__Z12GridSetLightfffff(float, float, float, float, float);
void __real__Z14LightSetColouriii(int32_t, int32_t, int32_t);
void __real__Z16RdrColourLightOnv();
void __real__Z17RdrColourLightOffv();
void __real__Z8RdrFogOnv();
void __real__Z9RdrFogOffv();
void __real__Z10RdrDepthOnv();
void __real__Z11RdrDepthOffv();
void __real__Z16RdrSetDepthRangeii(int32_t, int32_t);

void __wrap__Z15RdrDrawFaceFlatP4Face(Face* f) {
  Vertex* v = &gMesh.vertices[f->index[0]];
  Vertex* w = &gMesh.vertices[f->index[2]];
  Note("Flat", {v->screenX, v->screenY, w->screenX, w->screenY, v->viewZ}).word = f->type;
  __real__Z15RdrDrawFaceFlatP4Face(f);
}
void __wrap__Z18RdrDrawPointInsidePK6Vertex(const Vertex* v) {
  Note("PointInside", {v->screenX, v->screenY}).word = ColourOf(v);
  __real__Z18RdrDrawPointInsidePK6Vertex(v);
}
void __wrap__Z12RdrDrawPointPK6Vertex(const Vertex* v) {
  Note("Point", {v->screenX, v->screenY, v->viewZ}).word = ColourOf(v);
  __real__Z12RdrDrawPointPK6Vertex(v);
}
void __wrap__Z11RdrDrawLinePK6VertexS1_j(const Vertex* a, const Vertex* b, uint32_t colour) {
  Note("Line", {a->x, a->y, a->z, b->x, b->y, b->z}).word = colour;
  __real__Z11RdrDrawLinePK6VertexS1_j(a, b, colour);
}
void __wrap__Z19RdrDrawFaceTexAlphaP4Facef(Face* f, float alpha) {
  Vertex* v = &gMesh.vertices[f->index[0]];
  Vertex* w = &gMesh.vertices[f->index[2]];
  Note("TexAlpha", {v->screenX, v->screenY, w->screenX, w->screenY, alpha, f->st[4], f->st[5]}).word = f->type;
  __real__Z19RdrDrawFaceTexAlphaP4Facef(f, alpha);
}
void __wrap__Z23RdrDrawObjectYawVColourP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  WeatherCall& c = Note("VColour", {s->x, s->y, s->z});
  c.word = m->faceCount ? m->faces[0].type : 0;
  c.yaw = m->angle[1];
  c.what = m;
  __real__Z23RdrDrawObjectYawVColourP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z16RdrDrawObjectYawP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  WeatherCall& c = Note("Yaw", {s->x, s->y, s->z});
  c.yaw = m->angle[1];
  c.what = m;
  __real__Z16RdrDrawObjectYawP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z27RdrDrawObjectYawLitAnyDepthP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  WeatherCall& c = Note("YawLitAnyDepth", {s->x, s->y, s->z});
  c.yaw = m->angle[1];
  c.what = m;
  __real__Z27RdrDrawObjectYawLitAnyDepthP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z18RdrDrawGroundStripjffh(uint32_t texture, float h, float texel, uint8_t absolute) {
  Note("Strip", {h, texel, static_cast<float>(absolute)}).word = texture;
  __real__Z18RdrDrawGroundStripjffh(texture, h, texel, absolute);
}
void __wrap__Z21RdrDrawGroundStripAddjffhff(uint32_t texture, float h, float texel, uint8_t absolute, float x,
                                            float y) {
  Note("StripAdd", {h, texel, static_cast<float>(absolute), x, y}).word = texture;
  __real__Z21RdrDrawGroundStripAddjffhff(texture, h, texel, absolute, x, y);
}
void __wrap__Z12GridSetLightfffff(float x, float y, float z, float intensity, float ambient) {
  Note("GridLight", {x, y, z, intensity, ambient});
  __real__Z12GridSetLightfffff(x, y, z, intensity, ambient);
}
void __wrap__Z14LightSetColouriii(int32_t r, int32_t g, int32_t b) {
  Note("LightColour", {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)});
  __real__Z14LightSetColouriii(r, g, b);
}
void __wrap__Z16RdrColourLightOnv() {
  Note("ColourOn");
  __real__Z16RdrColourLightOnv();
}
void __wrap__Z17RdrColourLightOffv() {
  Note("ColourOff");
  __real__Z17RdrColourLightOffv();
}
void __wrap__Z8RdrFogOnv() {
  Note("FogOn");
  __real__Z8RdrFogOnv();
}
void __wrap__Z9RdrFogOffv() {
  Note("FogOff");
  __real__Z9RdrFogOffv();
}
void __wrap__Z10RdrDepthOnv() {
  Note("DepthOn");
  __real__Z10RdrDepthOnv();
}
void __wrap__Z11RdrDepthOffv() {
  Note("DepthOff");
  __real__Z11RdrDepthOffv();
}
void __wrap__Z16RdrSetDepthRangeii(int32_t nearPlane, int32_t farPlane) {
  Note("DepthRange", {static_cast<float>(nearPlane), static_cast<float>(farPlane)});
  __real__Z16RdrSetDepthRangeii(nearPlane, farPlane);
}
int32_t __wrap__Z15SfxLoopEffectAtifff(int32_t row, float x, float y, float z) {
  Note("Loop", {static_cast<float>(row), x, y, z});
  return 0;
}
void __wrap__Z13SfxStopEffecti(int32_t row) { Note("Stop", {static_cast<float>(row)}); }
void __wrap__Z15SfxPlayEffectAtifff(int32_t row, float x, float y, float z) {
  Note("Play", {static_cast<float>(row), x, y, z});
}
int32_t __wrap__Z19SfxPlayEffectCopyAtifffi(int32_t row, float x, float y, float z, int32_t copy) {
  Note("PlayCopy", {static_cast<float>(row), x, y, z, static_cast<float>(copy)});
  return gWeatherSoundSlot;
}
void __wrap__Z17SfxMoveEffectCopyifffi(int32_t row, float x, float y, float z, int32_t copy) {
  Note("Move", {static_cast<float>(row), x, y, z, static_cast<float>(copy)});
}
void __wrap__Z19SfxSetSlotFrequencyii(int32_t slot, int32_t pitch) {
  Note("Frequency", {static_cast<float>(slot), static_cast<float>(pitch)});
}
void __wrap__Z19FxSpawnWeatherSmokefffff(float x, float y, float z, float divisor, float rise) {
  Note("Smoke", {x, y, z, divisor, rise});
}
void __wrap__Z16AiRespawnVehicleP7VehicleS0_h(Vehicle* driver, Vehicle* v, uint8_t keep) {
  Note("Respawn", {static_cast<float>(keep), driver ? 1.0f : 0.0f}).what = v;
}
}

void WeatherTest::SetUp() {
  ResetHalForTest();
  GfxSetBoardConfig(GfxBoardConfig{});
  ASSERT_TRUE(RdrOpen(gDisplayModes[0], 1));
  RecordFatalErrors();
  MathBuildTables();
  if (!gRandom.filled) RandFillTable(RandomTable, RANDOM_TABLE_SIZE);
  RandSetIndex(0);
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  gRace = RaceState{};
  gRace.frameRate = 25.0f;
  gRace.timeStep = 1.0f;
  gRace.viewDistance = 1700.0f;
  gRace.waterLevel = NO_WATER_LEVEL;
  gRace.viewTop = 0;
  gRace.viewHeight = gRdrState.screenHeight;
  RdrSetDepthRange(5, 1700);
  RdrLightingOn();
  gOptions = Options{};
  gOptions.detail[3] = 1;
  for (Sprite*& s : gFxSprites) s = nullptr;
  FxClearPools();
  ObjectTypesReset();
  for (MeshHeader*& m : gObjectModels) m = nullptr;
  gWeather = WeatherState{};
  for (auto& view : gWeatherParticles)
    for (Vertex& v : view) v = Vertex{};
  Camera camera{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  CamSet(&camera);
  MatViewFromCamera();
  gWeatherCalls.clear();
  gWeatherSoundSlot = 0;
}

void WeatherTest::TearDown() {
  for (MeshHeader*& m : gObjectModels) m = nullptr;
  DrawListFreeDynamic();
  MeshPoolFreeVertices();
  MeshPoolFreeFaces();
  RdrClose();
}

MeshHeader* WeatherTest::Model(int i) {
  Vertex* v = vertices_[i];
  for (int k = 0; k < 4; ++k) {
    v[k] = Vertex{};
    v[k].x = k == 1 || k == 2 ? 10.0f : -10.0f;
    v[k].y = k >= 2 ? 100.0f : 0.0f;
  }
  Face& f = faces_[i][0];
  f = Face{};
  f.type = 0x102030;
  f.vertexCount = 4;
  for (int k = 0; k < 4; ++k) f.index[k] = static_cast<uint16_t>(k);
  f.normalZ = -1024.0f;
  models_[i] = MeshHeader{};
  models_[i].type = MESH_TYPE_WORD;
  models_[i].vertexCount = 4;
  models_[i].faceCount = 1;
  models_[i].vertices = v;
  models_[i].faces = faces_[i];
  return &models_[i];
}

void WeatherTest::PlaceParticles(float x, float y, float z) {
  for (auto& view : gWeatherParticles)
    for (Vertex& v : view) {
      v.x = x;
      v.y = y;
      v.z = z;
    }
}
