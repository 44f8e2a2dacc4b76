// The object routines, smoke puffs and sounds of the placed objects, logged
// into gDecorCalls; the object routines are passed on to the back end.
#include <cstdlib>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "decor_fixture.h"
#include "engine3d/camera.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "presentation/decor_anim.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "shell/game.h"
#include "support/test_support.h"

std::vector<DecorCall> gDecorCalls;
bool gDecorLogging;
int32_t gDecorSoundSlot;

std::vector<std::string> DecorCallNames() {
  std::vector<std::string> out;
  for (const DecorCall& c : gDecorCalls) out.push_back(c.call);
  return out;
}

namespace {

void LogObject(const char* call, const DrawSlot* slot, const MeshHeader* mesh) {
  if (!gDecorLogging) return;
  DecorCall c;
  c.call = call;
  c.y = slot ? slot->y : 0.0f;
  for (int i = 0; i < 3; ++i) c.angle[i] = mesh ? mesh->angle[i] : 0;
  gDecorCalls.push_back(c);
}

}  // namespace

#define DECOR_WRAP(name, label)                                \
  void __real_##name(DrawSlot* slot, MeshHeader* mesh);        \
  void __wrap_##name(DrawSlot* slot, MeshHeader* mesh) {       \
    LogObject(label, slot, mesh);                              \
    __real_##name(slot, mesh);                                 \
  }

extern "C" {
DECOR_WRAP(_Z13RdrDrawObjectP8DrawSlotP10MeshHeader, "Object")
DECOR_WRAP(_Z21RdrDrawObjectTwoSidedP8DrawSlotP10MeshHeader, "TwoSided")
DECOR_WRAP(_Z16RdrDrawObjectYawP8DrawSlotP10MeshHeader, "Yaw")
DECOR_WRAP(_Z19RdrDrawObjectYawLitP8DrawSlotP10MeshHeader, "YawLit")
DECOR_WRAP(_Z24RdrDrawObjectYawTwoSidedP8DrawSlotP10MeshHeader, "YawTwoSided")
DECOR_WRAP(_Z27RdrDrawObjectYawLitAnyDepthP8DrawSlotP10MeshHeader, "YawLitAnyDepth")
DECOR_WRAP(_Z22RdrDrawObjectYawShadedP8DrawSlotP10MeshHeader, "YawShaded")
DECOR_WRAP(_Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader, "Lit")

void __wrap__Z18FxSpawnObjectSmokefffff(float x, float y, float z, float size, float rate) {
  if (!gDecorLogging) return;
  DecorCall c;
  c.call = "Smoke";
  c.at[0] = x;
  c.at[1] = y;
  c.at[2] = z;
  c.sizeDivisor = size;
  c.rateDivisor = rate;
  gDecorCalls.push_back(c);
}

int32_t __wrap__Z19SfxPlayEffectCopyAtifffi(int32_t row, float x, float y, float z, int32_t copy) {
  if (!gDecorLogging) return 0;
  DecorCall c;
  c.call = "Sound";
  c.row = row;
  c.copy = copy;
  c.at[0] = x;
  c.at[1] = y;
  c.at[2] = z;
  gDecorCalls.push_back(c);
  return gDecorSoundSlot;
}

void __wrap__Z8FfbShockP7Vehicleii(Vehicle*, int32_t x, int32_t z) {
  if (!gDecorLogging) return;
  DecorCall c;
  c.call = "Shock";
  c.at[0] = static_cast<float>(x);
  c.at[2] = static_cast<float>(z);
  gDecorCalls.push_back(c);
}

void __wrap__Z15SfxPlayEffectAtifff(int32_t row, float x, float y, float z) {
  if (!gDecorLogging) return;
  DecorCall c;
  c.call = "Sound";
  c.row = row;
  c.at[0] = x;
  c.at[1] = y;
  c.at[2] = z;
  gDecorCalls.push_back(c);
}

int32_t __wrap__Z15SfxLoopEffectAtifff(int32_t row, float x, float y, float z) {
  if (!gDecorLogging) return 0;
  DecorCall c;
  c.call = "Loop";
  c.row = row;
  c.at[0] = x;
  c.at[1] = y;
  c.at[2] = z;
  gDecorCalls.push_back(c);
  return 0;
}

void __wrap__Z19SfxSetSlotFrequencyii(int32_t slot, int32_t pitch) {
  if (!gDecorLogging) return;
  DecorCall c;
  c.call = "Frequency";
  c.slot = slot;
  c.pitch = pitch;
  gDecorCalls.push_back(c);
}
}

void DecorTest::SetUp() {
  ResetHalForTest();
  GfxSetBoardConfig(GfxBoardConfig{});
  ASSERT_TRUE(RdrOpen(gDisplayModes[0], 1));
  RecordFatalErrors();
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  gRace = RaceState{};
  gRace.frameRate = 25.0f;
  gRace.timeStep = 1.0f;
  RdrSetDepthRange(5, 1700);
  RdrLightingOn();
  Light light{0.0f, 1024.0f, 0.0f, 32.0f, 10.0f};
  LightSet(&light);
  Camera camera{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  CamSet(&camera);
  MatViewFromCamera();
  gOptions = Options{};
  gIceReflections = 0;
  gFxGlowList.count = 0;
  for (Sprite*& s : gFxSprites) s = nullptr;
  ObjectTypesReset();
  gPlacementCount = 0;
  gObjectCounterCount = 0;
  for (ObjectCounter& c : gObjectCounters) c = ObjectCounter{};

  // A box 20 wide and 40 high standing on its slot, facing the camera.
  for (int i = 0; i < 8; ++i) {
    Vertex& v = vertices_[i];
    v.x = i & 1 ? 10.0f : -10.0f;
    v.y = i & 2 ? 40.0f : 0.0f;
    v.z = i & 4 ? 10.0f : -10.0f;
    v.normalY = 1024.0f;
    for (int k = 0; k < 6; ++k)
      frameVertices_[k][i] = FrameVertex{v.x + 100.0f * static_cast<float>(k), v.y, v.z, 0.0f, 1024.0f, 0.0f};
  }
  const uint16_t sides[6][4] = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6}};
  for (int f = 0; f < 6; ++f) {
    faces_[f] = Face{};
    faces_[f].type = FACE_COLOUR << 24 | 0x3060C0u;
    faces_[f].vertexCount = 4;
    for (int i = 0; i < 4; ++i) faces_[f].index[i] = sides[f][i];
  }
  faces_[4].normalZ = -1024.0f;
  mesh_ = MeshHeader{};
  mesh_.type = MESH_TYPE_WORD;
  mesh_.vertexCount = 8;
  mesh_.faceCount = 6;
  mesh_.vertices = vertices_;
  mesh_.faces = faces_;
  for (int k = 0; k < 6; ++k) frameList_[k] = MeshFrame{frameVertices_[k], frameNormals_[k]};
  frames_ = MeshFrameSet{6, frameList_};
  anim_ = ObjectAnim{};
  anim_.frameSet = &frames_;

  gDecorCalls.clear();
  gDecorSoundSlot = 0;
  gDecorLogging = true;
}

void DecorTest::TearDown() {
  gDecorLogging = false;
  ObjectTypesReset();
  gPlacementCount = 0;
  RdrClose();
}

DrawSlot* DecorTest::Place(int32_t index, uint16_t row, float x, float y, float z, uint8_t counterSlot, uint16_t yaw) {
  gPlacements[index] = ObjectPlacement{yaw, 0, counterSlot, row, x, y, z};
  if (gPlacementCount <= index) gPlacementCount = index + 1;
  DrawSlot* s = &slots_[index];
  *s = DrawSlot{};
  s->visible = 1;
  s->x = x;
  s->y = y;
  s->z = z;
  const Vertex view = ViewOf(x, y, z);
  s->viewX = view.viewX;
  s->viewY = view.viewY;
  s->viewZ = view.viewZ;
  s->user = static_cast<uint32_t>(index);
  return s;
}

Vertex ViewOf(float x, float y, float z) {
  Vertex v{};
  v.x = x;
  v.y = y;
  v.z = z;
  RdrProjectVertex(&v);
  return v;
}

// The front end's placeholder quits through the shell, which this suite leaves out.
void GameQuit() { std::abort(); }
