// Effect instances, the effect passes and tyre marks, the vehicle effects:
// the pools, the spawners' instances step by step, the passes' order and
// states, the marks' ring, crashes, lost wheels, debris and emitters.
#include <algorithm>
#include <cmath>
#include <functional>

#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "fx_fixture.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"

namespace {

int LiveIn(const DrawSlot* pool, int n) {
  int live = 0;
  for (int i = 0; i < n; ++i) live += pool[i].visible != 0;
  return live;
}
int LiveSprites() { return LiveIn(gFxSpritePool, FX_SPRITE_POOL); }
int LivePuffs() { return LiveIn(gFxPuffPool, FX_PUFF_POOL); }
int LivePieces() { return LiveIn(gFxPiecePool, FX_PIECE_POOL); }
int LiveDynamics() {
  int live = 0;
  for (int i = 0; i < gDrawLists.dynamicCapacity; ++i) live += gDrawLists.dynamics[i].inUse;
  return live;
}
DrawSlot* FirstDynamic(DrawCallback step) {
  for (int i = 0; i < gDrawLists.dynamicCapacity; ++i)
    if (gDrawLists.dynamics[i].inUse && gDrawLists.dynamics[i].callback == step) return &gDrawLists.dynamics[i];
  return nullptr;
}
// The scene's draw-list pass, as the 3D library runs it.
void DynamicPass() {
  for (int i = 0; i < gDrawLists.dynamicCapacity; ++i) {
    DrawSlot& s = gDrawLists.dynamics[i];
    if (!s.inUse || !s.visible) continue;
    FxViewPosition(&s);
    s.callback(&s, s.owner);
  }
}

// A random-table index from which RandNextAbs() & 255 comes out as `value`.
uint32_t IndexGiving(int32_t value) {
  for (uint32_t i = 0; i < RANDOM_TABLE_SIZE; ++i) {
    RandSetIndex(i);
    if ((RandNextAbs() & 255) == value) return i;
  }
  return 0;
}

// A one-face textured mesh (or one without faces) for the debris and wheels.
struct TestMesh {
  MeshHeader header{};
  Vertex vertices[3]{};
  Face face{};
  explicit TestMesh(uint32_t faces, uint32_t faceType = FACE_TEX_LIT << 24 | 5) {
    face.type = faceType;
    face.vertexCount = 3;
    face.index[1] = 1;
    face.index[2] = 2;
    vertices[1].x = 5.0f;
    vertices[2].y = 5.0f;
    header.type = MESH_TYPE_WORD;
    header.vertexCount = 3;
    header.faceCount = faces;
    header.vertices = vertices;
    header.faces = faces ? &face : nullptr;
  }
};

class Fx : public FxTest {
 protected:
  void SetUp() override {
    FxTest::SetUp();
    CarModelSetGeometry();
    for (int k = 0; k < 4; ++k) gCarModels[0].wheels[1][k] = &wheel_.header;
    gCarModels[0].body[0][0] = &body_.header;
  }
  void TearDown() override {
    for (int k = 0; k < 4; ++k) gCarModels[0].wheels[1][k] = nullptr;
    gCarModels[0].body[0][0] = nullptr;
    FxTest::TearDown();
  }
  TestMesh wheel_{1};
  TestMesh body_{1};
};

// --- Pools ---

TEST_F(Fx, ThePoolsHoldTheirSizeAndTheOptionRefusesSpritesAndPuffsButNotPieces) {
  struct Case {
    const char* pool;
    std::function<DrawSlot*()> alloc;
    int size;
    bool refusedWhenOff;
  };
  const Case cases[] = {
      {"sprite", [] { return FxAllocSprite(&gFxSpriteOwner, FxStepSmokePuff, 0, 0, 0); }, FX_SPRITE_POOL, true},
      {"puff", [] { return FxAllocPuff(&gFxSpriteOwner, FxStepSmokePuff, 0, 0, 0); }, FX_PUFF_POOL, true},
      {"piece", [] { return FxAllocPiece(&gFxDropOwner, FxStepDropFar, 0, 0, 0); }, FX_PIECE_POOL, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pool);
    FxClearPools();
    gOptions.detail[3] = 0;
    DrawSlot* off = c.alloc();
    EXPECT_EQ(off == nullptr, c.refusedWhenOff);
    FxClearPools();
    gOptions.detail[3] = 1;
    for (int i = 0; i < c.size; ++i) {
      DrawSlot* s = c.alloc();
      ASSERT_NE(s, nullptr) << i;
      EXPECT_EQ(+s->visible, 1);
      EXPECT_EQ(+s->kind, 0x04000000u);
    }
    EXPECT_EQ(c.alloc(), nullptr) << "one past the pool";
    FxClearPools();
    EXPECT_NE(c.alloc(), nullptr) << "cleared";
  }
}

TEST_F(Fx, WithTheOptionOffDropsWaitAndTheSplashStillClaimsItsSlot) {
  gRace.waterLevel = 10.0f;
  Vehicle* v = Car(0, 10, 50);
  gOptions.detail[3] = 0;
  FxSpawnSplash(v);
  EXPECT_EQ(LiveSprites(), 0) << "no ring";
  EXPECT_EQ(LivePieces(), 50);
  EXPECT_NE(FirstDynamic(FxStepSplashEmitter), nullptr);
  const float y = gFxPiecePool[0].y;
  Frame();
  EXPECT_TRUE(gFxLog.empty());
  EXPECT_EQ(gFxPiecePool[0].y, y) << "not moved";
  gOptions.detail[3] = 1;
  Frame();
  EXPECT_EQ(CountLog("VColour"), 50);
  EXPECT_NE(gFxPiecePool[0].y, y);
}

TEST_F(Fx, InSplitScreenAnInstanceIsDrawnInBothViewsButAgesOnce) {
  FxSpawnSmokePuff(0, 20, 100, 1.0f);
  const float rate = FxW4(&gFxSpritePool[0]);
  gRace.viewIndex = 0;
  FxDrawParticles();
  gRace.viewIndex = 1;
  FxDrawParticles();
  EXPECT_EQ(CountLog("Cell"), 2);
  EXPECT_FLOAT_EQ(FxW1(&gFxSpritePool[0]), rate);
  EXPECT_FLOAT_EQ(gFxSpritePool[0].y, 21.0f);
}

// --- The spawner family ---

TEST_F(Fx, EachSpawnerStartsItsInstanceAndStepsItToItsEnd) {
  Vehicle* v = Car(0, 0, 100);
  struct Case {
    const char* name;
    std::function<void()> spawn;
    DrawSlot* pool;
    int kind;
    const char* draw;  // the first draw's log line, up to the alpha
    float y1;          // the height after one step, the first draw at 20
    int steps;         // draws before the end
  };
  const Case cases[] = {
      {"spray", [v] { FxSpawnWheelSpray(&v->wheels[0], 4.0f); }, gFxSpritePool, 101, "Cell 0 a90", 3.0f, -1},
      {"spray2", [v] { FxSpawnWheelSpray2(&v->wheels[0], 4.0f); }, gFxSpritePool, 101, "Cell 0 a60", 3.0f, -1},
      {"puff", [] { FxSpawnSmokePuff(0, 20, 100, 1.0f); }, gFxSpritePool, 1, "Cell 0 a120", 21.0f, -1},
      {"particle", [] { FxSpawnWheelParticle(0, 20, 100); }, gFxSpritePool, 1, "Cell 0 a120", 20.0f, -1},
      {"weather", [] { FxSpawnWeatherSmoke(0, 20, 100, 1.0f, 2.0f); }, gFxSpritePool, 1, "Cell 0 a120 w100", 22.0f, -1},
      {"scene", [] { FxSpawnSceneParticle(0, 20, 100, 1.0f, 2.0f); }, gFxSpritePool, 1, "Cell 0 a120 w15", 22.0f, -1},
      {"chimney", [] { FxSpawnObjectSmoke(0, 20, 100, 2.0f, 5.0f); }, gFxSpritePool, 1, "TexAlpha 7", -1.0f, 8},
      {"ambient", [] { FxSpawnAmbientVehicleDust(0, 20, 100, 2.0f, 5.0f); }, gFxSpritePool, 1, "TexAlpha 7", -1.0f, 8},
      {"explosion", [] {
         DrawSlot object{};
         object.x = 0, object.y = 20, object.z = 100, object.user = 6;
         FxSpawnSlotExplosion(&object);
       },
       gFxPuffPool, 1, "TexAlpha 12 a200", 20.0f, 10},
      {"car explosion", [v] { FxSpawnVehicleExplosion(v); }, gFxPuffPool, 100, "TexAlpha 12 a200", -1.0f, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FxClearPools();
    gFxLog.clear();
    c.spawn();
    DrawSlot* s = &c.pool[0];
    ASSERT_EQ(+s->visible, c.kind);
    EXPECT_EQ(FxW1(s), 0.0f);
    if (c.kind == 101) {
      EXPECT_EQ(s->user, reinterpret_cast<uintptr_t>(&v->wheels[0]));
    }
    FxDrawParticles();
    std::string first;
    for (const std::string& line : gFxLog)
      if (first.empty() && (line.rfind("Cell", 0) == 0 || line.rfind("TexAlpha", 0) == 0)) first = line;
    EXPECT_EQ(first.substr(0, std::string(c.draw).size()), c.draw) << first;
    if (c.y1 >= 0.0f) {
      EXPECT_FLOAT_EQ(s->y, c.y1);
    }
    int draws = 1;
    for (; s->visible && draws < 200; ++draws) FxDrawParticles();
    if (c.steps > 0) {
      EXPECT_EQ(draws, c.steps + 1) << "the call after the last draw frees it";
    }
    EXPECT_EQ(+s->visible, 0);
    EXPECT_LE(CountLog("Cell") + CountLog("TexAlpha"), draws);
  }
  EXPECT_EQ(CountLog("SoundCopy 23/3"), 0) << "the last case plays copy 0 for humans only";
}

TEST_F(Fx, TheFramesOfAPuffRunOneToEightAndChimneySmokeRunsBackwards) {
  FxSpawnSmokePuff(0, 20, 100, 8.0f);  // a rate below 1: several draws a frame
  FxSpawnObjectSmoke(0, 20, 100, 1.0f, 5.0f);
  FxW4(&gFxSpritePool[0]) = 1.0f;
  for (int i = 0; i < 9; ++i) FxDrawParticles();
  std::vector<std::string> cells, chimney;
  for (const std::string& s : gFxLog) {
    if (s.rfind("Cell ", 0) == 0) cells.push_back(s.substr(5, s.find(' ', 5) - 5));
    if (s.rfind("TexAlpha ", 0) == 0) chimney.push_back(s.substr(9, s.find(' ', 9) - 9));
  }
  EXPECT_EQ(cells, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7"}));
  EXPECT_EQ(chimney, (std::vector<std::string>{"7", "6", "5", "4", "3", "2", "1", "0"}));
  EXPECT_EQ(LiveSprites(), 0);
}

TEST_F(Fx, GroundDustFadesFromTheParticleAlphaAndStaysOutOfDeepWater) {
  Vehicle* v = Car(0, 0, 100);
  v->waterDepthSum = 40.0f;
  FxSpawnGroundDust(v);
  EXPECT_EQ(LiveSprites(), 0);
  v->waterDepthSum = 39.0f;
  FxSpawnGroundDust(v);
  ASSERT_EQ(LiveSprites(), 1);
  EXPECT_FLOAT_EQ(gFxSpritePool[0].y, 2.0f) << "terrain + 2";
  EXPECT_LE(gFxSpritePool[0].z, 80.0f + 1e-3f) << "behind the car";
  int draws = 0;
  while (gFxSpritePool[0].visible && draws < 50) ++draws, FxDrawParticles();
  EXPECT_EQ(draws, 17) << "90 down by 6 a frame, freed below 0";
  EXPECT_EQ(gFxLog[2].substr(0, 9), "Cell 23 a");
}

// --- Fire and explosions ---

TEST_F(Fx, FireDrawsAFlameStreakAndPlaysEvenWhenTooFastToShow) {
  struct Case {
    float velocity, depth;
    uint8_t view;
    int puffs, sounds;
    const char* streak;
  };
  const Case cases[] = {
      {0.0f, 0.0f, 0, 1, 1, "Streak 8 a240 h6"},
      {40.0f, 0.0f, 0, 1, 1, "Streak 8 a240 h5"},
      {240.0f, 0.0f, 0, 0, 1, nullptr},  // h = 6.0: the streak would be under 0.1
      {0.0f, 0.0f, 1, 0, 0, nullptr},    // the second view
      {0.0f, 61.0f, 0, 0, 0, nullptr},   // deep water
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.velocity);
    FxClearPools();
    gFxLog.clear();
    Vehicle* v = Car(0, 0, 100);
    v->human = 1;
    v->velocity = c.velocity;
    v->waterDepthSum = c.depth;
    gRace.viewIndex = c.view;
    FxSpawnVehicleFire(v);
    gRace.viewIndex = 0;
    EXPECT_EQ(LivePuffs(), c.puffs);
    EXPECT_EQ(CountLog("Sound 17"), c.sounds);
    EXPECT_FLOAT_EQ(v->fireClock, c.sounds ? 1.0f : 0.0f);
    FxDrawParticles();
    EXPECT_EQ(CountLog(c.streak ? c.streak : "Streak"), c.streak ? 1 : 0);
    EXPECT_EQ(LivePuffs(), 0) << "one draw";
  }
}

TEST_F(Fx, NoExplosionForAHumanOnBoardNorInDeepWater) {
  struct Case {
    uint8_t human, view;
    float depth;
    int puffs;
  };
  const Case cases[] = {{1, 0, 0, 1}, {1, 1, 0, 1}, {1, 2, 0, 0}, {0, 2, 0, 1}, {0, 0, 61, 0}};
  for (const Case& c : cases) {
    FxClearPools();
    Vehicle* v = Car(0, 0, 100);
    v->human = c.human;
    v->viewRequest = c.view;
    v->waterDepthSum = c.depth;
    FxSpawnVehicleExplosion(v);
    EXPECT_EQ(LivePuffs(), c.puffs) << +c.human << " " << +c.view;
  }
}

// --- Drops, splash and bubbles ---

TEST_F(Fx, DropsAreFarOrNearByTheCameraDistance) {
  gRace.waterLevel = 10.0f;
  Vehicle* v = Car(0, 10, 100);
  for (int distance : {319, 320}) {
    FxClearPools();
    v->cameraDistance = distance;
    FxSpawnWheelClods(v, &v->wheels[0]);
    ASSERT_EQ(LivePieces(), 1);
    EXPECT_EQ(gFxPiecePool[0].callback, distance < 320 ? FxStepDropNear : FxStepDropFar);
    EXPECT_EQ(gFxPiecePool[0].y, 10.0f) << "at the water level";
    EXPECT_FLOAT_EQ(FxW6(&gFxPiecePool[0]), 0.1f);
  }
  gFxLog.clear();
  FxDrawParticles();
  EXPECT_EQ(CountLog("VColour w50"), 1);
}

TEST_F(Fx, TheSplashEmitsARingEveryFourUnitsAndTheRingScalesWithItsRadius) {
  gRace.waterLevel = 10.0f;
  DecorBuildRippleRing();
  Vehicle* v = Car(0, 10, 100);
  v->human = 1;
  FxSpawnSplash(v);
  EXPECT_EQ(+v->splashDone, 1);
  EXPECT_EQ(CountLog("Sound 30"), 1);
  EXPECT_EQ(LiveSprites(), 1);
  DrawSlot* emitter = FirstDynamic(FxStepSplashEmitter);
  ASSERT_NE(emitter, nullptr);
  int frames = 0;
  while (FirstDynamic(FxStepSplashEmitter) && frames < 100) ++frames, DynamicPass();
  EXPECT_EQ(frames, 76) << "75 units of life";
  EXPECT_EQ(LiveSprites(), 1 + 15) << "a ring each time 4 units have passed";

  FxClearPools();
  FxSpawnSplashRing(0, 9.75f, 100);
  gFxFaces.clear();
  gFxLog.clear();
  FxDrawParticles();
  ASSERT_EQ(CountLog("VColour w60"), 32) << "alpha (130 - 10) / 2";
  float reach = 0;
  for (const auto& face : gFxFaces)
    for (const Vertex& c : face) {
      reach = std::max(reach, std::abs(c.x));
      EXPECT_FLOAT_EQ(c.y, 10.25f);
      EXPECT_EQ(+c.red, 82);
    }
  EXPECT_NEAR(reach, 10.5f, 1e-3f) << "radius 10 at scale 1";
  EXPECT_FLOAT_EQ(FxW1(&gFxSpritePool[0]), 13.0f);
  while (gFxSpritePool[0].visible) FxDrawParticles();
  EXPECT_GT(FxW1(&gFxSpritePool[0]), 120.0f);
}

TEST_F(Fx, FarSplashesOnlyMarkTheCar) {
  gRace.waterLevel = 10.0f;
  Vehicle* v = Car(0, 10, 100);
  v->cameraDistance = 1281;
  FxSpawnSplash(v);
  EXPECT_EQ(+v->splashDone, 1);
  EXPECT_EQ(LiveDynamics() + LivePieces() + LiveSprites(), 0);
}

TEST_F(Fx, BubblesRiseUntilTheWaterLevel) {
  gRace.waterLevel = 40.0f;
  Vehicle* v = Car(0, 10, 100);
  FxSpawnBubbles(v);
  DrawSlot* b = FirstDynamic(FxStepBubble);
  ASSERT_NE(b, nullptr);
  const float rise = FxW2(b);
  EXPECT_GE(rise, 1.0f);
  EXPECT_LE(rise, 1.6f);
  int frames = 0;
  float last = b->y;
  while (FirstDynamic(FxStepBubble) && frames < 100) {
    last = b->y;
    ++frames;
    DynamicPass();
  }
  EXPECT_LE(last, 40.0f);
  EXPECT_EQ(CountLog("Alpha 20 a150"), frames);
  gOptions.detail[3] = 0;
  FxSpawnBubbles(v);
  EXPECT_EQ(LiveDynamics(), 0);
}

// --- Tyre marks ---

class Marks : public Fx {
 protected:
  // The wheel moves on by `dz` and lays its mark.
  void Lay(WheelState* w, float dz) {
    w->centre[2] += dz;
    FxAddTyreMark(w);
  }
  int InUse() {
    int n = 0;
    for (const TyreMark& m : gTyreMarks) n += m.inUse;
    return n;
  }
};

TEST_F(Marks, TheFourHundredAndFirstMarkOverwritesTheOldestStillVisible) {
  WheelState* w = &Car(0, 0, 100)->wheels[2];
  FxAddTyreMark(w);
  EXPECT_EQ(InUse(), 0) << "the first call only starts the trail";
  for (int i = 0; i < TYRE_MARK_ENTRIES; ++i) Lay(w, 1.0f);
  EXPECT_EQ(InUse(), TYRE_MARK_ENTRIES);
  EXPECT_EQ(gTyreMarkNext, 0);
  EXPECT_FLOAT_EQ(gTyreMarks[0].corners[0][2], 90.0f);
  Lay(w, 1.0f);
  EXPECT_FLOAT_EQ(gTyreMarks[0].corners[0][2], 490.0f);
  EXPECT_FLOAT_EQ(gTyreMarks[0].alpha, 50.0f);
  EXPECT_EQ(gTyreMarkNext, 1);
  // A rear mark is 4 wide, across the way the wheel went.
  EXPECT_NEAR(std::abs(gTyreMarks[0].corners[0][0] - gTyreMarks[0].corners[1][0]), 4.0f, 1e-4f);
}

TEST_F(Marks, ATrailAcrossWaterStopsThereAndStartsAgainBehindIt) {
  WheelState* w = &Car(0, 0, 100)->wheels[0];
  FxAddTyreMark(w);
  Lay(w, 2.0f);
  EXPECT_EQ(InUse(), 1);
  gRace.waterLevel = 5.0f;  // the wheel runs into water
  Lay(w, 2.0f);
  EXPECT_EQ(InUse(), 1);
  EXPECT_EQ(w->lastMarkX, -1.0f);
  FxDrawTyreTrail(w);
  EXPECT_EQ(CountLog("Trail"), 0);
  gRace.waterLevel = NO_WATER_LEVEL;  // and out again
  Lay(w, 2.0f);
  EXPECT_EQ(InUse(), 1) << "the trail starts again";
  Lay(w, 2.0f);
  EXPECT_EQ(InUse(), 2);
  EXPECT_FLOAT_EQ(gTyreMarks[1].corners[0][2], 116.0f) << "from where the wheel came out";
  w->trailDepthBias = 3.0f;
  w->centre[2] += 1.0f;
  FxDrawTyreTrail(w);
  EXPECT_EQ(CountLog("Trail w50 b3"), 1);
  w->attached = 0;
  Lay(w, 2.0f);
  EXPECT_EQ(w->lastMarkX, -1.0f);
  EXPECT_EQ(InUse(), 2);
}

TEST_F(Marks, OnIceMarksAreLaidButNothingIsDrawn) {
  gRace.trackIndex = TRACK_ICE;
  WheelState* w = &Car(0, 0, 100)->wheels[0];
  FxAddTyreMark(w);
  Lay(w, 2.0f);
  EXPECT_EQ(InUse(), 1);
  w->centre[2] += 1.0f;
  FxDrawTyreTrail(w);
  FxDrawTyreMarks();
  EXPECT_TRUE(gFxLog.empty());
  EXPECT_FLOAT_EQ(gTyreMarks[0].alpha, 50.0f);
}

TEST_F(Marks, WithTheOptionOffNothingIsLaidDrawnOrAged) {
  WheelState* w = &Car(0, 0, 100)->wheels[0];
  FxAddTyreMark(w);
  Lay(w, 2.0f);
  gOptions.detail[3] = 0;
  Lay(w, 2.0f);
  EXPECT_EQ(InUse(), 1);
  FxDrawTyreMarks();
  FxDrawTyreTrail(w);
  EXPECT_TRUE(gFxLog.empty());
  EXPECT_FLOAT_EQ(gTyreMarks[0].alpha, 50.0f);
}

TEST_F(Marks, EachViewDrawsEveryMarkButAMarkFadesOncePerFrame) {
  WheelState* w = &Car(0, 0, 100)->wheels[0];
  FxAddTyreMark(w);
  Lay(w, 2.0f);
  int frames = 0;
  while (InUse() && frames < 40) {
    for (uint8_t view : {0, 1}) {
      gRace.viewIndex = view;
      FxDrawTyreMarks();
    }
    ++frames;
  }
  EXPECT_EQ(frames, 26) << "50 down by 2 a frame, freed below 0";
  EXPECT_EQ(CountLog("VertexColours w50"), 1);
  EXPECT_EQ(CountLog("VertexColours w48"), 2);
  EXPECT_EQ(CountLog("VertexColours"), 2 * frames - 1) << "the second view no longer sees the last";
  EXPECT_EQ(gFxLog[0], "DepthWriteOff");
  EXPECT_EQ(gFxLog[1], "AlphaSource 1");
}

// --- The particle pass ---

TEST_F(Fx, TheParticlePassRunsSpritesThenAddedPuffsAndGlowsThenPiecesOnWaterTracks) {
  ObjectGlow glow{0, nullptr, 200, 100, 50, 9.0f, 0, 0, 0};
  FxSpawnSmokePuff(0, 20, 100, 1.0f);
  FxSpawnSlotExplosion(&gFxSpritePool[0]);
  FxAllocPiece(&gFxDropOwner, FxStepDropFar, 0, 20, 100);
  DrawSlot& entry = gFxGlowList.entries[0];
  entry = DrawSlot{};
  entry.kind = 0x04000000u | 90u << 8;
  entry.viewZ = 100.0f;
  entry.x = 1100.0f;  // 76 past a whole turn
  entry.user = reinterpret_cast<uintptr_t>(&glow);
  gFxGlowList.count = 1;
  gFxLog.clear();
  for (float water : {NO_WATER_LEVEL, 5.0f}) {
    gRace.waterLevel = water;
    gFxLog.clear();
    FxDrawParticles();
    std::vector<std::string> order;
    for (const std::string& s : gFxLog) order.push_back(s.substr(0, s.find(' ')));
    std::vector<std::string> expected = {"DepthWriteOff", "AlphaSource", "Cell",    "Additive", "TexAlpha",
                                         "Rotated",       "Normal"};
    if (water != NO_WATER_LEVEL) expected.insert(expected.end(), {"AlphaSource", "VColour"});
    expected.insert(expected.end(), {"DepthWriteOn", "ResetAlpha"});
    EXPECT_EQ(order, expected) << water;
  }
  EXPECT_EQ(CountLog("Rotated 22 a90 w9 r76 rgb200,100,50"), 1);
  EXPECT_EQ(gTestSprites[FX_SPRITE_FLARE].halfWidth, 6.0f) << "the flare's own size back";
  gOptions.detail[3] = 0;
  gFxLog.clear();
  FxDrawParticles();
  EXPECT_TRUE(gFxLog.empty());
}

// --- Crashes and lost wheels ---

TEST_F(Fx, CrashesSmokeDamageAndBendAtTheirThresholds) {
  struct Case {
    float velocity;
    uint8_t stage;
    int32_t distance;
    uint8_t stageAfter;
    bool bent, exploded;
  };
  const Case cases[] = {
      {49.9f, 0, 0, 0, false, false},  {50.0f, 0, 0, 0, true, false},   {100.0f, 0, 0, 0, true, false},
      {100.5f, 0, 0, 1, true, false},  {101.0f, 6, 999, 7, true, true}, {101.0f, 6, 1000, 7, true, false},
      {101.0f, 8, 0, 8, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.velocity);
    FxClearPools();
    Vehicle* v = Car(0, 0, 100);
    v->velocity = c.velocity;
    v->damageStage = c.stage;
    v->cameraDistance = c.distance;
    FxVehicleCrash(v);
    EXPECT_EQ(+v->damageStage, c.stageAfter);
    int bent = 0;
    for (const WheelState& w : v->wheels) bent += w.bend != 0;
    EXPECT_EQ(bent, c.bent ? 1 : 0);
    EXPECT_EQ(LivePuffs(), c.exploded ? 1 : 0);
    EXPECT_GE(LiveSprites(), 10) << "smoke";
  }
  Vehicle* v = Car(0, 0, 100);
  v->timerSlot = 0;
  v->velocity = 200.0f;
  FxVehicleCrash(v);
  EXPECT_EQ(+v->damageStage, 0) << "a vehicle off the grid only smokes";
}

TEST_F(Fx, CrashesTearOffBentWheelsButNeverTheFourth) {
  Vehicle* v = Car(0, 0, 100);
  v->velocity = 60.0f;
  for (int i = 0; i < 200; ++i) FxVehicleCrash(v);
  EXPECT_EQ(+v->wheelsLost, 3);
  int attached = 0;
  for (const WheelState& w : v->wheels) attached += w.attached;
  EXPECT_EQ(attached, 1);
  EXPECT_EQ(CountLog("WheelContact"), 3);
  EXPECT_EQ(LiveDynamics(), 3) << "three flying wheels";
}

TEST_F(Fx, InANetworkRaceTheHeadingChoosesTheWheelAndTheBend) {
  gRace.networkGame = 1;
  struct Case {
    float heading;
    int wheel;
    int bend;
  };
  // bits 0..1 the wheel, bit 2 the size (7 or 3), bit 0 the side at 0.
  const Case cases[] = {{0.0f, 0, -6}, {5.7f, 1, 14}, {6.0f, 2, -14}, {3.0f, 3, 6}};
  for (const Case& c : cases) {
    Vehicle* v = Car(0, 0, 100);
    v->velocity = 60.0f;
    v->heading = c.heading;
    const uint32_t index = gRandom.index;
    FxVehicleCrash(v);
    EXPECT_EQ(+v->wheels[c.wheel].bend, c.bend) << c.heading;
    v->cameraDistance = 5000;  // no smoke: nothing random is drawn
    const uint32_t before = gRandom.index;
    FxVehicleCrash(v);
    EXPECT_EQ(gRandom.index, before) << c.heading;
    (void)index;
  }
}

TEST_F(Fx, AWheelComesOffByChanceOnlyWhenTheDrawIs32AtOneHundred) {
  struct Case {
    int32_t draw;
    float velocity;
    uint8_t spin, lost;
    int16_t bend;
    bool off;
  };
  const Case cases[] = {
      {32, 100.0f, 1, 0, 21, true},  {32, 99.9f, 1, 0, 21, false}, {33, 150.0f, 1, 0, 21, false},
      {32, 150.0f, 0, 0, 21, false}, {32, 150.0f, 1, 2, 21, false}, {32, 150.0f, 1, 1, 20, false},
  };
  for (const Case& c : cases) {
    Vehicle* v = Car(0, 0, 100);
    v->velocity = c.velocity;
    v->wheelSpin = c.spin;
    v->wheelsLost = c.lost;
    for (WheelState& w : v->wheels) w.bend = c.bend;
    RandSetIndex(IndexGiving(c.draw));
    FxVehicleLoseWheel(v, 0);
    EXPECT_EQ(v->wheelsLost, c.lost + (c.off ? 1 : 0)) << c.draw << " " << c.velocity << " " << +c.spin;
  }
  Vehicle* v = Car(0, 0, 100);
  v->velocity = 100.0f;
  for (WheelState& w : v->wheels) w.bend = -26;
  RandSetIndex(IndexGiving(32));
  FxVehicleLoseWheel(v, 1);
  EXPECT_EQ(+v->wheelsLost, 1) << "forced by a landing";
}

// --- Debris and flying wheels ---

TEST_F(Fx, DebrisThrowsTwoToFivePiecesCutFromTheBodyAndAFacelessBodyLetsThemGo) {
  int least = 9, most = 0;
  for (uint32_t start = 0; start < 64; ++start) {
    for (int i = 0; i < gDrawLists.dynamicCapacity; ++i) DrawListRelease(&gDrawLists.dynamics[i]);
    RandSetIndex(start * 97);
    FxVehicleDebris(Car(0, 0, 100));
    least = std::min(least, LiveDynamics());
    most = std::max(most, LiveDynamics());
  }
  EXPECT_EQ(least, 2);
  EXPECT_EQ(most, 5);
  DynamicPass();
  EXPECT_EQ(CountLog("Decal"), LiveDynamics());

  TestMesh faceless(0);
  gCarModels[0].body[0][0] = &faceless.header;
  FxVehicleDebris(Car(0, 0, 100));
  gFxLog.clear();
  DynamicPass();
  EXPECT_EQ(CountLog("Decal"), most) << "only the textured body's pieces";
  EXPECT_EQ(LiveDynamics(), most);

  TestMesh flat(1, FACE_COLOUR << 24);
  gCarModels[0].body[0][0] = &flat.header;
  FxVehicleDebris(Car(0, 0, 100));
  DynamicPass();
  EXPECT_EQ(LiveDynamics(), most) << "an untextured face is not drawn";
}

TEST_F(Fx, AFlyingWheelLandsFourTimes) {
  for (uint8_t ice : {0, 1}) {
    gIceReflections = ice;
    gFxLog.clear();
    Vehicle* v = Car(0, 0, 100);
    v->velocity = 20.0f;
    FxSpawnFlyingWheel(&v->wheels[0], &wheel_.header, v);
    DrawSlot* s = FirstDynamic(FxStepFlyingWheel);
    ASSERT_NE(s, nullptr);
    EXPECT_FLOAT_EQ(FxW4(s), 10.0f) << "at least 10 up";
    EXPECT_FLOAT_EQ(FxW6(s), 70.0f);
    int landings = 0, frames = 0;
    float lastW5 = FxW5(s);
    while (FirstDynamic(FxStepFlyingWheel) && frames < 1000) {
      DynamicPass();
      ++frames;
      if (s->inUse && FxW5(s) != lastW5) ++landings, lastW5 = FxW5(s);
    }
    EXPECT_EQ(landings + 1, 4) << "three bounces, then the fourth landing ends it";
    EXPECT_EQ(CountLog("Lit"), frames - 1) << "not drawn as it ends";
    EXPECT_EQ(CountLog("Object"), ice ? frames - 1 : 0);
  }
}

// --- Emitters ---

TEST_F(Fx, EmittersAttachOnlyOnTheGroundOutsideTheOnBoardView) {
  struct Case {
    uint8_t view;
    int32_t state;
    uint8_t effects;
    bool attached;
  };
  const Case cases[] = {{0, 0, 1, true}, {1, 0, 1, true}, {2, 0, 1, false}, {0, 1, 1, false}, {0, 0, 0, false}};
  for (const Case& c : cases) {
    for (int i = 0; i < gDrawLists.dynamicCapacity; ++i) DrawListRelease(&gDrawLists.dynamics[i]);
    Vehicle* v = Car(0, 0, 100);
    v->viewRequest = c.view;
    v->state = c.state;
    gOptions.detail[3] = c.effects;
    FxAttachVehicleEmitter(v, 30.0f);
    EXPECT_EQ(FirstDynamic(FxStepVehicleEmitter) != nullptr, c.attached) << +c.view << " " << c.state;
    EXPECT_EQ(+v->exhaustSoundFlag, 1);
  }
  gOptions.detail[3] = 1;
  for (int i = 0; i < gDrawLists.dynamicCapacity; ++i) DrawListRelease(&gDrawLists.dynamics[i]);
  Vehicle* v = Car(0, 0, 100);
  v->cameraDistance = 321;
  FxAttachVehicleEmitterDrive(v);
  EXPECT_EQ(LiveDynamics(), 0);
  EXPECT_EQ(+v->exhaustSoundFlag, 0);
  v->cameraDistance = 320;
  FxAttachVehicleEmitterDrive(v);
  ASSERT_NE(FirstDynamic(FxStepVehicleEmitter), nullptr);
  EXPECT_FLOAT_EQ(FxW1(FirstDynamic(FxStepVehicleEmitter)), 10.0f);
}

TEST_F(Fx, TheBurstAttachesOnEvenTicksOnly) {
  Vehicle* v = Car(0, 0, 100);
  gRace.tickPassed = 1;
  for (int32_t tick = 1; tick <= 4; ++tick) {
    gRace.ticks = tick;
    FxAttachVehicleBurst(v);
  }
  gRace.tickPassed = 0;
  gRace.ticks = 6;
  FxAttachVehicleBurst(v);
  EXPECT_EQ(LiveDynamics(), 2);
  EXPECT_FLOAT_EQ(FxW1(FirstDynamic(FxStepBurstEmitter)), 8.0f);
}

TEST_F(Fx, EmitterParticlesRunAlongThePointListScaledInTheInCarView) {
  Vehicle* v = Car(0, 0, 100);
  gRace.tickPassed = 1;
  FxAttachVehicleEmitter(v, 3.0f);
  DynamicPass();  // 3 - 2: one tick of particles
  ASSERT_EQ(LivePuffs(), 2) << "car type 0 has two points";
  EXPECT_EQ(+gFxPuffPool[0].visible, 100);
  DynamicPass();  // 1 - 2: the emitter ends
  EXPECT_EQ(LiveDynamics(), 0);
  EXPECT_EQ(LivePuffs(), 2);

  // At age 0 a particle sits on its point; the in-car view spreads the points.
  for (uint8_t view : {0, 1}) {
    v->viewRequest = view;
    FxW1(&gFxPuffPool[0]) = 0.0f;
    gRace.viewIndex = 1;  // draw without ageing
    FxDrawParticles();
    gRace.viewIndex = 0;
    EXPECT_NEAR(gFxPuffPool[0].x, view ? 4.9f * 1.33f : 4.9f, 1e-4f);
    EXPECT_NEAR(gFxPuffPool[0].z, view ? 100.0f - 19.0f * 1.33f : 81.0f, 1e-3f);
  }
  EXPECT_EQ(CountLog("Cell 25 a150"), 4);
  EXPECT_EQ(CountLog("Cell 25 a150 w6 rgb0,255,50"), 4);

  // Kit cars have no points: their emitters throw nothing.
  FxClearPools();
  v->type = 7;
  FxAttachVehicleEmitter(v, 3.0f);
  DynamicPass();
  EXPECT_EQ(LivePuffs(), 0);
}

}  // namespace
