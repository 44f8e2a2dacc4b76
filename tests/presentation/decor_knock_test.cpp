// Knocked objects: the reaction of each hit kind, the flights and their ends
// (the barrel's explosion, the pennant standing again, blocks coming to rest
// as placements, the slider leaving the ice), and the boat with its ripples.
#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "decor_fixture.h"
#include "engine3d/mathutil.h"
#include "engine3d/terrain.h"
#include "presentation/decor_objects.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "frontend/frontend.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle.h"
#include "support/gfx_recorder.h"

namespace {

constexpr uint16_t ROW = 17;
constexpr float OX = 20.0f, OZ = 200.0f;

class KnockTest : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    ASSERT_TRUE(DrawListAllocDynamic(DRAW_LIST_DYNAMIC));
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    for (MeshHeader*& m : gObjectModels) m = nullptr;
    gObjectModels[80] = gObjectModels[160] = gObjectModels[199] = gObjectModels[248] = &mesh_;
    SetBox(-10.0f, 10.0f, 0.0f, 40.0f);
    for (int f = 0; f < 6; ++f) faces_[f].type = FACE_TEX_LIT << 24 | 7u;
    vehicle_ = Vehicle{};
    vehicle_.velocity = 50.0f;
    vehicle_.pose.heading = 1100.0f;  // 76 as a 10-bit angle
    gRace.currentPose = &vehicle_.pose;
    gRace.viewDistance = 1700.0f;
    gRace.trackIndex = TRACK_DESERT;
    gOptions.detail[3] = 1;  // effects on: the explosion and the ripples
    FxClearPools();
  }
  void TearDown() override {
    DrawListFreeDynamic();
    for (MeshHeader*& m : gObjectModels) m = nullptr;
    DecorTest::TearDown();
  }
  void SetBox(float minX, float maxX, float minY, float maxY) {
    ObjectType& t = gObjectTypes[ROW];
    t.minX = t.minZ = minX;
    t.maxX = t.maxZ = maxX;
    t.minY = minY;
    t.maxY = maxY;
  }
  DrawSlot* Object(uint8_t hitKind, uint8_t drawKind = 0) {
    gObjectTypes[ROW].hitKind = hitKind;
    gObjectTypes[ROW].drawKind = drawKind;
    DrawSlot* s = Place(0, ROW, OX, 0.0f, OZ);
    s->owner = &mesh_;
    return s;
  }
  static std::vector<DrawSlot*> Live() {
    std::vector<DrawSlot*> out;
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i)
      if (gDrawLists.dynamics[i].inUse) out.push_back(&gDrawLists.dynamics[i]);
    return out;
  }
  // One frame of every live slot's callback, seen from the origin.
  static void Frame() {
    for (DrawSlot* s : Live()) {
      if (!s->visible) continue;
      const Vertex v = ViewOf(s->x, s->y, s->z);
      s->viewX = v.viewX;
      s->viewY = v.viewY;
      s->viewZ = v.viewZ;
      s->callback(s, s->owner);
    }
  }
  static int32_t Shocks(float* x = nullptr, float* z = nullptr) {
    int32_t n = 0;
    for (const DecorCall& c : gDecorCalls)
      if (c.call == "Shock") {
        ++n;
        if (x) *x = c.at[0];
        if (z) *z = c.at[2];
      }
    return n;
  }
  Vehicle vehicle_{};
};

struct HitCase {
  uint8_t hitKind;
  uint8_t result;
  uint8_t staticVisible;  // after the hit
  DrawCallback flight;    // the dynamic slots' callback, null: none claimed
  uint8_t flightVisible;
  bool headingSet;
  float shockScale;  // 1 for the solid kinds, 0.5 for the others
};

const HitCase HIT_CASES[] = {
    {0, 0, 1, nullptr, 0, false, 0.5f},
    {1, 1, 0, FxStepLaunchedObject, 1, true, 0.5f},
    {2, 1, 0, FxStepFaceShard, 1, true, 0.5f},
    {3, 1, 0, FxStepLaunchedObject, 2, true, 0.5f},
    {4, 0, 1, nullptr, 0, false, 1.0f},
    {5, 0, 1, nullptr, 0, false, 1.0f},
    {6, 0, 0, FxStepKnockedPiece, 1, false, 0.5f},
    {7, 1, 0, FxStepObjectShard, 1, true, 0.5f},
    {8, 1, 0, FxStepObjectShard, 1, true, 0.5f},
    {9, 1, 0, FxStepBlock, 1, true, 0.5f},
    {10, 1, 0, FxStepSlidingObject, 1, true, 0.5f},
    {11, 0, 1, nullptr, 0, false, 0.5f},
};

TEST_F(KnockTest, EachHitKindReactsGivesItsResultAndItsShock) {
  for (const HitCase& c : HIT_CASES) {
    SCOPED_TRACE(testing::Message() << "hit kind " << int{c.hitKind});
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    gDecorCalls.clear();
    DrawSlot* object = Object(c.hitKind);
    EXPECT_EQ(DecorKnockObject(object, &vehicle_), c.result);
    EXPECT_EQ(+object->visible, c.staticVisible);
    EXPECT_EQ(+gPlacements[0].second, c.headingSet ? 76 : 0);
    float x = 0, z = 0;
    ASSERT_EQ(Shocks(&x, &z), 1);
    EXPECT_FLOAT_EQ(x, TruncI32(OX * c.shockScale));
    EXPECT_FLOAT_EQ(z, TruncI32(OZ * c.shockScale));
    const std::vector<DrawSlot*> live = Live();
    EXPECT_EQ(live.empty(), c.flight == nullptr);
    for (DrawSlot* s : live) {
      EXPECT_EQ(s->callback, c.flight);
      EXPECT_EQ(+s->visible, c.flightVisible);
    }
    // A hidden object is not there to be hit again.
    gDecorCalls.clear();
    if (!object->visible) {
      EXPECT_EQ(DecorKnockObject(object, &vehicle_), 0);
      EXPECT_EQ(Shocks(), 0);
      EXPECT_EQ(Live().size(), live.size());
    }
  }
}

// The game's own table: every row named by its reaction or its draw routine
// has that kind, and the placed rows share the kinds in the numbers the
// table was made with.
int32_t RowNamed(const char* name) {
  for (int32_t i = 0; i < OBJECT_TYPE_ROWS; ++i)
    if (std::strcmp(gObjectTypes[i].name, name) == 0) return i;
  return -1;
}

TEST(ObjectTypeTable, NamedRowsHaveTheirKindsAndTheKindsTheirNumbers) {
  ObjectTypesReset();
  struct Named {
    uint8_t kind;
    std::vector<const char*> names;
  };
  const Named hitKinds[] = {
      {1, {"vache1", "mout01", "cochon1", "cactus1", "cactus2", "cactus3", "sufma1", "sufmb1", "sufmc1", "sufmd1",
           "suballe", "suchais", "susurf1", "susurf2", "sutable", "sudir1", "sudir2", "sadir1", "sadir2", "rdir",
           "rucolb", "icbloc"}},
      {2, {"barriere", "ruamph"}},
      {3, {"bidon", "bidon1"}},
      {4, {"pilonne", "barque", "nessy1", "hwhlm1", "icgate1"}},
      {5, {"oiltrack"}},
      {6, {"fanion1", "fanion2"}},
      {7, {"muret1", "muret2", "muret3"}},
      {8, {"vbar1", "vbar2", "vbar3", "vbar4"}},
      {9, {"rucol1", "rucol2", "rucol3", "rucol4", "rucol5", "rucol6", "rucol7", "icbloc1", "icbloc2"}},
      {10, {"icpg01"}},
      {11, {"bugdead"}},
      {0, {"losap1", "hwpan1", "safdes2", "pflag1", "pub1", "projo"}},
  };
  const Named drawKinds[] = {
      {4, {"pilonne", "ruaqua1", "ruaqua2", "ruaqua3", "rutempl", "rutemp1", "icdir1", "icdir2", "icdir3", "icsous",
           "icsou1", "icgate1", "icgate2"}},
      {5, {"hetre", "hetre1"}},
      {6, {"barque"}},
      {7, {"hwhlm1", "hwhlm2", "hwhlm3", "hwhlm4", "hwhlm5", "hwhlm6"}},
      {8, {"pub1", "pub2", "pub3"}},
      {9, {"pflag1"}},
      {10, {"safdes2", "safdes3"}},
  };
  for (const Named& n : hitKinds)
    for (const char* name : n.names) {
      const int32_t row = RowNamed(name);
      ASSERT_GE(row, 0) << name;
      EXPECT_EQ(+gObjectTypes[row].hitKind, n.kind) << name;
    }
  for (const Named& n : drawKinds)
    for (const char* name : n.names) {
      const int32_t row = RowNamed(name);
      ASSERT_GE(row, 0) << name;
      EXPECT_EQ(+gObjectTypes[row].drawKind, n.kind) << name;
    }
  EXPECT_EQ(RowNamed("rucolb"), 199);
  EXPECT_EQ(RowNamed("icbloc"), 248);
  int32_t hits[12] = {}, draws[11] = {};
  for (int32_t i = 0; i < OBJECT_TYPE_ROWS; ++i) {
    const ObjectType& t = gObjectTypes[i];
    if (!t.placed) continue;
    ASSERT_LT(t.hitKind, 12) << t.name;
    ASSERT_LT(t.drawKind, 11) << t.name;
    ++hits[t.hitKind];
    ++draws[t.drawKind];
  }
  const int32_t wantHits[12] = {108, 22, 2, 2, 73, 1, 2, 3, 4, 9, 1, 1};
  const int32_t wantDraws[11] = {91, 70, 0, 39, 13, 2, 1, 6, 3, 1, 2};
  for (int32_t k = 0; k < 12; ++k) EXPECT_EQ(hits[k], wantHits[k]) << "hit kind " << k;
  for (int32_t k = 0; k < 11; ++k) EXPECT_EQ(draws[k], wantDraws[k]) << "draw kind " << k;
}

TEST_F(KnockTest, OnlyVisibleBuildingsAndTheOilTrackAreSolid) {
  for (uint8_t kind = 0; kind < 12; ++kind) {
    DrawSlot* object = Object(kind);
    EXPECT_EQ(FxObjectKindIs4Or5(object), kind == 4 || kind == 5 ? 1 : 0) << int{kind};
    object->visible = 0;
    EXPECT_EQ(FxObjectKindIs4Or5(object), 0);
  }
}

TEST_F(KnockTest, ABarrelExplodesOnlyAtTheEndOfItsLastBounce) {
  gRace.frameRate = 25.0f;
  DecorKnockObject(Object(3), &vehicle_);
  ASSERT_EQ(Live().size(), 1u);
  DrawSlot* barrel = Live()[0];
  const float bounces = barrel->boxMaxX;
  int32_t frames = 0;
  while (barrel->inUse && frames < 2000) {
    EXPECT_EQ(gFxPuffPool[0].visible, FX_KIND_FREE) << "exploded in flight, " << barrel->boxMaxX << " bounces left";
    Frame();
    ++frames;
  }
  EXPECT_FALSE(barrel->inUse);
  EXPECT_GE(bounces, 2.0f);
  EXPECT_NE(gFxPuffPool[0].visible, FX_KIND_FREE);  // the explosion puff, with "explos"
  EXPECT_EQ(gDecorCalls.back().call, "Sound");
  EXPECT_EQ(gDecorCalls.back().row, FX_SOUND_EXPLOSION);
  // A launched cow does not explode.
  FxClearPools();
  DecorKnockObject(Object(1), &vehicle_);
  while (!Live().empty()) Frame();
  EXPECT_EQ(gFxPuffPool[0].visible, FX_KIND_FREE);
}

TEST_F(KnockTest, APennantSwingsLosesFortyAReversalAndStandsAgain) {
  gRace.frameRate = 25.0f;
  std::set<int32_t> limits;
  for (int32_t trial = 0; trial < 40; ++trial) {
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    DrawSlot* object = Object(6);
    DecorKnockObject(object, &vehicle_);
    ASSERT_EQ(Live().size(), 1u);
    DrawSlot* swing = Live()[0];
    const float limit = swing->boxMaxY;
    EXPECT_GE(limit, 150.0f);
    EXPECT_LE(limit, 213.0f);
    limits.insert(TruncI32(limit));
    int32_t reversals = 0;
    float direction = swing->boxMaxX;
    while (swing->inUse) {
      Frame();
      if (swing->inUse && swing->boxMaxX != direction) {
        ++reversals;
        direction = swing->boxMaxX;
        EXPECT_FLOAT_EQ(swing->boxMaxY, limit - 40.0f * static_cast<float>(reversals));
      }
    }
    EXPECT_EQ(+object->visible, 1);  // stands again
    EXPECT_LE(reversals + 1, 6);
  }
  EXPECT_GT(limits.size(), 1u);
}

TEST_F(KnockTest, AColumnBreaksIntoPiecesByItsHeightOrLyingByItsWidth) {
  struct Case {
    float width, height;
    size_t pieces;
    float pitch;
  };
  const Case cases[] = {{20.0f, 40.0f, 1, 256.0f},  // low: trunc(20 x 0.025) = 0 counts as 1
                        {200.0f, 60.0f, 5, 256.0f},
                        {20.0f, 400.0f, 10, 0.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    SetBox(-c.width * 0.5f, c.width * 0.5f, 0.0f, c.height);
    DecorKnockObject(Object(9), &vehicle_);
    ASSERT_EQ(Live().size(), c.pieces);
    for (DrawSlot* s : Live()) {
      EXPECT_FLOAT_EQ(s->boxMinZ, c.pitch);
      EXPECT_LE(std::abs(s->x - OX), c.width);
      EXPECT_GE(s->y, 0.0f);
      EXPECT_LE(s->y, c.height);
    }
  }
}

// Debris outside -495 .. far + 500 of the view is dropped, but only by the
// view that moves the world on: the mirror sees pieces thrown ahead far
// behind its eye, and split screen keeps every piece.
TEST_F(KnockTest, DebrisLeavingTheViewIsDroppedByTheFirstViewAlone) {
  struct Case {
    uint8_t hitKind;
    float viewZ;
    uint8_t inset, splitScreen;
    bool kept;
  };
  const Case cases[] = {
      {2, -600.0f, 0, 0, false}, {2, 2300.0f, 0, 0, false}, {2, 2100.0f, 0, 0, true}, {2, -600.0f, 1, 0, true},
      {7, -600.0f, 0, 0, false}, {7, -400.0f, 0, 0, true},  {7, -600.0f, 1, 0, true}, {7, -600.0f, 0, 1, true},
  };
  gRace.frameRate = 25.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "hit kind " << int{c.hitKind} << " at " << c.viewZ << " inset " << int{c.inset});
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    DecorKnockObject(Object(c.hitKind), &vehicle_);
    const std::vector<DrawSlot*> pieces = Live();
    ASSERT_FALSE(pieces.empty());
    gViewInsetPass = c.inset;
    gRace.playersMode = c.splitScreen;
    const float x = pieces[0]->x;
    for (DrawSlot* s : pieces) {
      s->viewZ = c.viewZ;
      s->callback(s, s->owner);
    }
    gViewInsetPass = 0;
    gRace.playersMode = 0;
    EXPECT_EQ(Live().size(), c.kept ? pieces.size() : 0u);
    if (c.inset && c.kept) {
      EXPECT_FLOAT_EQ(pieces[0]->x, x);  // and the inset moved nothing
    }
  }
}

TEST_F(KnockTest, ATinyModelBreaksWithoutACrash) {
  SetBox(-0.4f, 0.4f, 0.0f, 0.5f);
  for (uint8_t kind : {7, 8, 9}) {
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    EXPECT_EQ(DecorKnockObject(Object(kind), &vehicle_), 1);
    ASSERT_FALSE(Live().empty());
    for (DrawSlot* s : Live()) {
      EXPECT_FLOAT_EQ(s->x, OX);  // every offset 0
      EXPECT_FLOAT_EQ(s->z, OZ);
    }
  }
}

TEST_F(KnockTest, RestingBlocksBecomePlacementsUntilTheArrayOrTheGridRefuses) {
  gRace.frameRate = 25.0f;
  SetBox(-10.0f, 10.0f, 0.0f, 200.0f);  // five blocks
  TrackBuildCellGrid();
  DecorKnockObject(Object(9), &vehicle_);
  ASSERT_EQ(Live().size(), 5u);
  for (int32_t f = 0; f < 2000 && Live().size() != 0; ++f) {
    Frame();
    bool flying = false;
    for (DrawSlot* s : Live()) flying |= s->visible == 1;
    if (!flying) break;
  }
  const std::vector<DrawSlot*> resting = Live();
  ASSERT_EQ(resting.size(), 5u);
  EXPECT_EQ(gPlacementCount, 6);
  for (DrawSlot* s : resting) {
    EXPECT_EQ(+s->visible, 2);
    ASSERT_GE(s->user, 1u);
    const ObjectPlacement& p = gPlacements[s->user];
    EXPECT_EQ(+p.type, 199);
    EXPECT_EQ(+p.counterSlot, COUNTER_SLOT_NONE);
    EXPECT_FLOAT_EQ(+p.x, s->x);
  }
  // A resting block is hit like a placed object of its row (hit kind 1 in
  // the game's table).
  DrawSlot* block = resting[0];
  EXPECT_EQ(DecorKnockObject(block, &vehicle_), 1);
  EXPECT_EQ(+block->visible, 0);
  EXPECT_EQ(Live().size(), 6u);

  // A full placement array, or a grid outside the track, releases the block.
  for (float x : {OX, -5000.0f}) {
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    gPlacementCount = x == OX ? PLACEMENT_MAX : 1;
    DrawSlot* s = DrawListClaimDynamic(&mesh_, 0, FxStepBlock, x, 0.0f, OZ);
    s->boxMaxX = 1.0f;  // one bounce left
    s->boxMinY = -10.0f;
    const int32_t before = gPlacementCount;
    Frame();
    EXPECT_FALSE(s->inUse) << x;
    EXPECT_EQ(gPlacementCount, before);
  }
}

TEST_F(KnockTest, TheSlidingFigureComesDownOntoTheIceAndIsDrawnWithItsReflection) {
  gRace.frameRate = 25.0f;
  gRace.trackIndex = TRACK_ICE;
  DecorKnockObject(Object(10, 1), &vehicle_);
  ASSERT_EQ(Live().size(), 1u);
  DrawSlot* figure = Live()[0];
  for (int32_t f = 0; f < 50 && figure->boxMaxX == 0.0f; ++f) Frame();
  EXPECT_EQ(figure->boxMaxX, 1.0f);  // came down onto the ice
  EXPECT_FLOAT_EQ(figure->y, 0.0f);
  gDecorCalls.clear();
  Frame();
  ASSERT_EQ(DecorCallNames(), (std::vector<std::string>{"Object", "Object"}));
  EXPECT_FLOAT_EQ(gDecorCalls[0].y, -7.0f);
  EXPECT_FLOAT_EQ(gDecorCalls[1].y, 7.0f);
  EXPECT_FLOAT_EQ(figure->y, 0.0f);  // restored
}

TEST_F(KnockTest, TheSlidingFigureLeavesTheIceAndIsReleased) {
  // The ice at height 0 up to x = 200; beyond, the shore rises to 60 at x = 300.
  const int16_t heights[16] = {0, 0, 0, 60, 0, 0, 0, 60, 0, 0, 0, 60, 0, 0, 0, 60};
  TerrainDesc lake{};
  lake.columns = lake.rows = 4;
  lake.subdivisions = 1;
  lake.heights = heights;
  lake.spacing = 100.0f;
  ASSERT_NE(TerrainBuild(&lake), 0);
  gRace.trackIndex = TRACK_ICE;
  vehicle_.pose.heading = 256.0f;  // toward the shore
  DecorKnockObject(Object(10, 1), &vehicle_);
  ASSERT_EQ(Live().size(), 1u);
  DrawSlot* figure = Live()[0];
  int32_t frames = 0;
  float before = figure->x;
  for (; figure->inUse && frames < 100; ++frames) {
    before = figure->x;
    Frame();
  }
  EXPECT_FALSE(figure->inUse);
  EXPECT_GT(frames, 10);           // it slid on the ice first
  EXPECT_LE(before, 200.0f);       // and went the frame it left it
  EXPECT_TRUE(Live().empty());
  TerrainForget();
}

}  // namespace

namespace {

class BoatTest : public KnockTest {
 protected:
  DrawSlot* Boat(uint16_t phase, uint8_t rising, float depth = 400.0f) {
    gObjectTypes[ROW].drawKind = 6;
    DrawSlot* s = Place(0, ROW, 0.0f, 0.0f, depth, rising);
    gPlacements[0].second = phase;
    return s;
  }
  static int32_t Ripples() {
    int32_t n = 0;
    for (const DrawSlot& s : gFxSpritePool) n += s.visible != FX_KIND_FREE && s.callback == DecorStepSplash;
    return n;
  }
  static int32_t WaterSounds() {
    int32_t n = 0;
    for (const DecorCall& c : gDecorCalls) n += c.call == "Sound" && c.row == 18;
    return n;
  }
};

TEST_F(BoatTest, RocksAndSplashesOnceAFrameWithTwoViewsAndTurnsAtItsEnds) {
  gRace.ticks = 2;  // even: no splash by chance
  DrawSlot* boat = Boat(1500, 1);
  for (uint8_t view : {0, 1}) {
    gRace.viewIndex = view;
    DecorDrawBoat(boat, &mesh_);
  }
  EXPECT_EQ(+gPlacements[0].second, 1510);
  EXPECT_EQ(gDecorCalls[0].angle[2], 512);  // 512 + (1510 - 1500) / 20
  EXPECT_EQ(Ripples(), 0);
  gRace.viewIndex = 0;
  struct Turn {
    uint16_t phase;
    uint8_t rising;
    uint16_t after;
    uint8_t risingAfter;
  };
  for (const Turn& t : {Turn{1995, 1, 2000, 0}, Turn{1005, 0, 1000, 1}}) {
    FxClearPools();
    boat = Boat(t.phase, t.rising);
    gDecorCalls.clear();
    for (uint8_t view : {0, 1}) {
      gRace.viewIndex = view;
      DecorDrawBoat(boat, &mesh_);
    }
    gRace.viewIndex = 0;
    EXPECT_EQ(+gPlacements[0].second, t.after);
    EXPECT_EQ(+gPlacements[0].counterSlot, t.risingAfter);
    EXPECT_EQ(Ripples(), 1);
    EXPECT_EQ(gDecorCalls.back().angle[2], (512 + (t.after - 1500) / 20) & 1023);
  }
}

TEST_F(BoatTest, TheWaterIsHeardOnlyNearerThan1500InTheFirstView) {
  for (float depth : {1400.0f, 1600.0f}) {
    for (uint8_t view : {0, 1}) {
      gDecorCalls.clear();
      gRace.viewIndex = view;
      DecorDrawBoat(Boat(1500, 1, depth), &mesh_);
      EXPECT_EQ(WaterSounds(), depth < 1500.0f && view == 0 ? 1 : 0) << depth << " view " << int{view};
    }
  }
}

TEST_F(BoatTest, ARippleGrowsByHalfAFrameToItsEndAndFades) {
  gRace.waterLevel = -20.0f;
  DecorBuildRippleRing();
  DrawSlot* ripple = FxAllocSprite(&gFxSpriteOwner, DecorStepSplash, 0.0f, -20.25f, 300.0f);
  ASSERT_TRUE(ripple);
  FxW1(ripple) = 10.0f;
  ripple->viewZ = 300.0f;
  RecordStart();
  DecorStepSplash(ripple, ripple->owner);
  EXPECT_FALSE(DrawCalls(RecordStop()).empty());
  EXPECT_FLOAT_EQ(FxW1(ripple), 10.5f);
  gRace.viewIndex = 1;
  DecorStepSplash(ripple, ripple->owner);
  EXPECT_FLOAT_EQ(FxW1(ripple), 10.5f);  // grows in the first view only
  gRace.viewIndex = 0;
  ripple->viewZ = 4.0f;  // too near: not drawn
  RecordStart();
  DecorStepSplash(ripple, ripple->owner);
  EXPECT_TRUE(DrawCalls(RecordStop()).empty());
  int32_t frames = 0;
  while (ripple->visible != FX_KIND_FREE && frames < 1000) {
    DecorStepSplash(ripple, ripple->owner);
    ++frames;
  }
  EXPECT_EQ(frames, 219);  // from 11.0 past 120.0, where it is freed
}

}  // namespace
