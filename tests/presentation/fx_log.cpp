// The effect suites' log of back-end and sound calls, and the fixture.
#include <cstdio>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "fx_fixture.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "support/test_support.h"

std::vector<std::string> gFxLog;
bool gFxLogging = true;
std::vector<std::vector<Vertex>> gFxFaces;
Sprite gTestSprites[FX_SPRITES];

int CountLog(const std::string& prefix) {
  int n = 0;
  for (const std::string& s : gFxLog) n += s.compare(0, prefix.size(), prefix) == 0;
  return n;
}

namespace {

void Note(const std::string& s) {
  if (gFxLogging) gFxLog.push_back(s);
}

std::string SpriteOf(const DrawSlot* slot) {
  const Sprite* s = static_cast<const Sprite*>(slot->owner);
  if (s >= gTestSprites && s < gTestSprites + FX_SPRITES) return std::to_string(s - gTestSprites);
  return "?";
}

std::string Alpha(const DrawSlot* slot) { return " a" + std::to_string((slot->kind >> 8) & 0xFF); }

void Corners(const Face* f) {
  if (!gFxLogging) return;
  std::vector<Vertex> v;
  for (int i = 0; i < f->vertexCount; ++i) v.push_back(gMesh.vertices[f->index[i]]);
  gFxFaces.push_back(v);
}

char Buf[64];
std::string F(float v) {
  std::snprintf(Buf, sizeof Buf, "%g", v);
  return Buf;
}

}  // namespace

extern "C" {
void __real__Z17RdrDrawSpriteCellP8DrawSlotiii(DrawSlot*, int32_t, int32_t, int32_t);
void __real__Z21RdrDrawSpriteTexAlphaP8DrawSlot(DrawSlot*);
void __real__Z18RdrDrawSpriteAlphaP8DrawSlot(DrawSlot*);
void __real__Z19RdrDrawSpriteStreakP8DrawSlot(DrawSlot*);
void __real__Z20RdrDrawSpriteRotatedP8DrawSlotiiit(DrawSlot*, int32_t, int32_t, int32_t, uint16_t);
void __real__Z18RdrDrawFaceVColourP4Face(Face*);
void __real__Z24RdrDrawFaceVertexColoursP4Facef(Face*, float);
void __real__Z26RdrDrawFaceFlatAlphaBiasedP4Facef(Face*, float);
void __real__Z16RdrDrawFaceDecalP4Face(Face*);
void __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z19RdrSetAdditiveBlendiiii(int32_t, int32_t, int32_t, int32_t);
void __real__Z17RdrSetNormalBlendv();
void __real__Z23RdrSetAlphaSourceColouriiii(int32_t, int32_t, int32_t, int32_t);
void __real__Z19RdrResetAlphaSourcev();
void __real__Z16RdrDepthWriteOffv();
void __real__Z15RdrDepthWriteOnv();

void __wrap__Z17RdrDrawSpriteCellP8DrawSlotiii(DrawSlot* s, int32_t r, int32_t g, int32_t b) {
  Note("Cell " + SpriteOf(s) + Alpha(s) + " w" + F(static_cast<const Sprite*>(s->owner)->halfWidth) + " rgb" +
       std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b));
  __real__Z17RdrDrawSpriteCellP8DrawSlotiii(s, r, g, b);
}
void __wrap__Z21RdrDrawSpriteTexAlphaP8DrawSlot(DrawSlot* s) {
  const Sprite* sp = static_cast<const Sprite*>(s->owner);
  Note("TexAlpha " + SpriteOf(s) + Alpha(s) + " w" + F(sp->halfWidth) + " h" + F(sp->halfHeight));
  __real__Z21RdrDrawSpriteTexAlphaP8DrawSlot(s);
}
void __wrap__Z18RdrDrawSpriteAlphaP8DrawSlot(DrawSlot* s) {
  Note("Alpha " + SpriteOf(s) + Alpha(s));
  __real__Z18RdrDrawSpriteAlphaP8DrawSlot(s);
}
void __wrap__Z19RdrDrawSpriteStreakP8DrawSlot(DrawSlot* s) {
  Note("Streak " + SpriteOf(s) + Alpha(s) + " h" + F(static_cast<const Sprite*>(s->owner)->halfHeight));
  __real__Z19RdrDrawSpriteStreakP8DrawSlot(s);
}
void __wrap__Z20RdrDrawSpriteRotatedP8DrawSlotiiit(DrawSlot* s, int32_t r, int32_t g, int32_t b, uint16_t a) {
  Note("Rotated " + SpriteOf(s) + Alpha(s) + " w" + F(static_cast<const Sprite*>(s->owner)->halfWidth) + " r" +
       std::to_string(a) + " rgb" + std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b));
  __real__Z20RdrDrawSpriteRotatedP8DrawSlotiiit(s, r, g, b, a);
}
void __wrap__Z18RdrDrawFaceVColourP4Face(Face* f) {
  Note("VColour w" + std::to_string(f->type));
  Corners(f);
  __real__Z18RdrDrawFaceVColourP4Face(f);
}
void __wrap__Z24RdrDrawFaceVertexColoursP4Facef(Face* f, float bias) {
  Note("VertexColours w" + std::to_string(f->type));
  Corners(f);
  __real__Z24RdrDrawFaceVertexColoursP4Facef(f, bias);
}
void __wrap__Z26RdrDrawFaceFlatAlphaBiasedP4Facef(Face* f, float bias) {
  Note("Trail w" + std::to_string(f->type) + " b" + F(bias));
  Corners(f);
  __real__Z26RdrDrawFaceFlatAlphaBiasedP4Facef(f, bias);
}
void __wrap__Z16RdrDrawFaceDecalP4Face(Face* f) {
  Note("Decal");
  Corners(f);
  __real__Z16RdrDrawFaceDecalP4Face(f);
}
void __wrap__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  Note("Lit y" + F(s->y));
  __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  Note("Object y" + F(s->y));
  __real__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z19RdrSetAdditiveBlendiiii(int32_t r, int32_t g, int32_t b, int32_t source) {
  Note("Additive " + std::to_string(source));
  __real__Z19RdrSetAdditiveBlendiiii(r, g, b, source);
}
void __wrap__Z17RdrSetNormalBlendv() {
  Note("Normal");
  __real__Z17RdrSetNormalBlendv();
}
void __wrap__Z23RdrSetAlphaSourceColouriiii(int32_t r, int32_t g, int32_t b, int32_t source) {
  Note("AlphaSource " + std::to_string(source));
  __real__Z23RdrSetAlphaSourceColouriiii(r, g, b, source);
}
void __wrap__Z19RdrResetAlphaSourcev() {
  Note("ResetAlpha");
  __real__Z19RdrResetAlphaSourcev();
}
void __wrap__Z16RdrDepthWriteOffv() {
  Note("DepthWriteOff");
  __real__Z16RdrDepthWriteOffv();
}
void __wrap__Z15RdrDepthWriteOnv() {
  Note("DepthWriteOn");
  __real__Z15RdrDepthWriteOnv();
}
void __wrap__Z15SfxPlayEffectAtifff(int32_t e, float, float, float) { Note("Sound " + std::to_string(e)); }
int32_t __wrap__Z19SfxPlayEffectCopyAtifffi(int32_t e, float, float, float, int32_t copy) {
  Note("SoundCopy " + std::to_string(e) + "/" + std::to_string(copy));
  return 0;
}
void __wrap__Z21FfbUpdateWheelContactP7Vehicle(Vehicle*) { Note("WheelContact"); }
}

void FxTest::SetUp() {
  ResetHalForTest();
  RecordFatalErrors();
  ASSERT_TRUE(RdrOpen(gDisplayModes[0], 1));
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
  gRace.trackIndex = TRACK_DESERT;
  for (int i = 0; i < 3; ++i) gRace.particleColourA[i] = 100 + i, gRace.particleColourB[i] = 10 + i;
  gRace.particleAlphaA = 90;
  gRace.particleAlphaB = 60;
  gOptions = Options{};
  gOptions.detail[3] = 1;
  for (int i = 0; i < FX_SPRITES; ++i) {
    gTestSprites[i] = Sprite{0x04000000u | static_cast<uint32_t>(i + 1), 6.0f, 6.0f, 0, 0, 31, 31};
    gFxSprites[i] = &gTestSprites[i];
  }
  FxClearPools();
  for (TyreMark& m : gTyreMarks) m = TyreMark{};
  gTyreMarkNext = 0;
  gFxGlowList.count = 0;
  gDecorRippleRing = FxRippleRing{};
  gIceReflections = 0;
  for (Vehicle& v : gVehicleRecords) v = Vehicle{};
  camera_ = Camera{0.0f, 20.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  CamSet(&camera_);
  MatViewFromCamera();
  gFxLog.clear();
  gFxFaces.clear();
  gFxLogging = true;
}

void FxTest::TearDown() {
  for (Sprite*& s : gFxSprites) s = nullptr;
  DrawListFreeDynamic();
  MeshPoolFreeVertices();
  MeshPoolFreeFaces();
  RdrClose();
}

Vehicle* FxTest::Car(float x, float y, float z) {
  Vehicle* v = &gVehicleRecords[1];
  *v = Vehicle{};
  v->pose = Camera{x, y, z, 0.0f, 0.0f, 0.0f};
  MatFromAngles(0, 0, 0, v->bodyMatrix);
  for (float* p : {v->bodyPoint, v->eyePoint, v->smokePoint, v->exhaustPoint1, v->exhaustPoint2}) {
    p[0] = x;
    p[1] = y + 5.0f;
    p[2] = z;
  }
  for (int w = 0; w < VEHICLE_WHEELS; ++w) {
    WheelState& wheel = v->wheels[w];
    wheel.attached = 1;
    wheel.centre[0] = x + (w & 1 ? 6.0f : -6.0f);
    wheel.centre[1] = y + 3.0f;
    wheel.centre[2] = z + (w < 2 ? 10.0f : -10.0f);
    for (int i = 0; i < 3; ++i) wheel.spray[i] = wheel.centre[i];
    wheel.trailHalfWidth = w < 2 ? 1.0f : 2.0f;
    wheel.lastMarkX = wheel.lastMarkZ = -1.0f;
  }
  v->timerSlot = 4;
  v->type = 0;
  return v;
}

void FxTest::Frame() {
  FxDrawTyreMarks();
  FxDrawParticles();
}
