// The decor actors: the lift cabins and where they drop off skiers, the
// skiers on their paths and knocked over by the cars, the elephant herd and
// its hits, the ambient loops by track and the church bell.
#include <unistd.h>

#include <cmath>
#include <string>

#include "decor_fixture.h"
#include "engine3d/random.h"
#include "presentation/decor_actors.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle.h"
#include "support/test_support.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/track_writer.h"

namespace {

class DecorActorTest : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    ASSERT_TRUE(DrawListAllocDynamic(DRAW_LIST_DYNAMIC));
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    for (MeshHeader*& m : gObjectModels) m = nullptr;
    gObjectModels[DECOR_ROW_CABIN] = gObjectModels[DECOR_ROW_SKIER] = gObjectModels[DECOR_ROW_ELEPHANT] = &mesh_;
    // The turning and fallen skiers: the same box, told apart by their headers.
    for (int32_t k = 0; k < 3; ++k) {
      skierModels_[k] = mesh_;
      gObjectModels[DECOR_ROW_SKIER_RIGHT + k] = &skierModels_[k];
    }
    gObjectTypes[DECOR_ROW_ELEPHANT].anim = &anim_;
    gDecor = DecorState{};
    gDecor.skierPace = 100000.0f / (25.0f * 3600.0f);
    gRace.viewDistance = 1700.0f;
    gPlayer1 = Vehicle{};
    gPlayer1Vehicle = &gPlayer1;
    for (Vehicle& v : gVehicleRecords) v = Vehicle{};
    for (Vehicle*& v : gVehicleTable) v = nullptr;
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override {
    EXPECT_EQ(::chdir(home_.c_str()), 0);
    DrawListFreeDynamic();
    for (MeshHeader*& m : gObjectModels) m = nullptr;
    DecorTest::TearDown();
  }

  static std::vector<DrawSlot*> Live(DrawCallback callback) {
    std::vector<DrawSlot*> out;
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) {
      DrawSlot* s = &gDrawLists.dynamics[i];
      if (s->inUse && s->callback == callback) out.push_back(s);
    }
    return out;
  }
  // One view of one slot as the draw-list pass runs it, seen from the origin.
  static void Step(DrawSlot* s) {
    const Vertex v = ViewOf(s->x, s->y, s->z);
    s->viewX = v.viewX;
    s->viewY = v.viewY;
    s->viewZ = v.viewZ;
    s->callback(s, s->owner);
  }
  static int32_t Count(const std::string& call, int32_t row) {
    int32_t n = 0;
    for (const DecorCall& c : gDecorCalls) n += c.call == call && c.row == row;
    return n;
  }
  void WritePath(const std::string& name, const std::vector<datakit::KitPoint>& points) {
    const datakit::Bytes bytes = datakit::PathFileWrite(points);
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
  }
  // A skier on `path` at (x, z), heading along -x as DecorSpawnSkier starts them.
  static DrawSlot* Skier(float x, float z, int32_t path, float velocity, uintptr_t copy = 0) {
    DrawSlot* s = DrawListClaimDynamic(gObjectModels[DECOR_ROW_SKIER], copy, DecorStepSkier, x, 0.0f, z);
    s->boxMinX = 0.0f;
    s->boxMinY = 768.0f;
    s->boxMinZ = 0.5f;
    s->boxMaxX = static_cast<float>(path);
    s->boxMaxY = velocity;
    s->boxMaxZ = velocity;
    return s;
  }
  static Trajectory Path(std::initializer_list<TrajPoint> points) {
    Trajectory t{};
    for (const TrajPoint& p : points) t.points[t.count++] = p;
    return t;
  }

  MeshHeader skierModels_[3]{};
  TempDir dir_;
  std::string home_;
};

TEST_F(DecorActorTest, EachLiftCarriesItsPairsOfCabinsOnBothSidesOfItsLine) {
  struct LiftCase {
    int32_t lift;
    int32_t pairs;
  };
  DecorSetupLifts();
  const std::vector<DrawSlot*> cabins = Live(DecorStepCabin);
  EXPECT_EQ(cabins.size(), 2u * (27 + 9 + 12));
  for (const LiftCase& c : {LiftCase{0, 27}, LiftCase{1, 9}, LiftCase{2, 12}}) {
    SCOPED_TRACE(c.lift);
    const DecorLift& lift = DECOR_LIFTS_TABLE[c.lift];
    int32_t up = 0, down = 0;
    for (DrawSlot* s : cabins) {
      if (s->boxMinX != lift.bottomX || s->boxMinZ != lift.topX) continue;
      const bool goingUp = s->boxMinY == 1.0f;
      const int32_t k = goingUp ? up++ : down++;
      EXPECT_FLOAT_EQ(s->x, lift.bottomX + 400.0f * static_cast<float>(k) + (goingUp ? 0.0f : 200.0f));
      EXPECT_FLOAT_EQ(s->z, lift.z + (goingUp ? -50.0f : 50.0f));
      EXPECT_FLOAT_EQ(s->y, s->x * 0.061513f + 630.0f);
      EXPECT_EQ(s->boxMaxX, c.lift == 0 ? 1.0f : 0.0f);
      EXPECT_EQ(s->owner, gObjectModels[DECOR_ROW_CABIN]);
    }
    EXPECT_EQ(up, c.pairs);
    EXPECT_EQ(down, c.pairs);
  }
}

TEST_F(DecorActorTest, CabinsTurnAtBothEndsAndOnlyTheFirstLiftsReleaseSkiers) {
  DecorSetupLifts();
  for (int32_t lift = 0; lift < DECOR_LIFTS; ++lift) {
    const DecorLift& l = DECOR_LIFTS_TABLE[lift];
    DrawSlot* up = nullptr;
    DrawSlot* down = nullptr;
    for (DrawSlot* s : Live(DecorStepCabin))
      if (s->boxMinX == l.bottomX && s->boxMinZ == l.topX) (s->boxMinY > 0.0f ? up : down) = s;
    ASSERT_TRUE(up && down);
    struct Turn {
      DrawSlot* cabin;
      float startX, newDirection, newZ;
    };
    // A turn takes the cabin onto the other cable: the lift keeps two lines.
    for (const Turn& t : {Turn{up, l.topX - 0.5f, -1.0f, l.z + 50.0f}, Turn{down, l.bottomX + 0.5f, 1.0f, l.z - 50.0f}}) {
      const size_t skiers = Live(DecorStepSkier).size();
      t.cabin->x = t.startX;
      gRace.viewIndex = 1;  // the second view only draws
      Step(t.cabin);
      EXPECT_EQ(t.cabin->x, t.startX);
      gRace.viewIndex = 0;
      Step(t.cabin);
      EXPECT_EQ(t.cabin->boxMinY, t.newDirection);
      EXPECT_FLOAT_EQ(t.cabin->z, t.newZ);
      EXPECT_FLOAT_EQ(t.cabin->y, t.cabin->x * 0.061513f + 630.0f);
      const size_t released = Live(DecorStepSkier).size() - skiers;
      if (lift == 0) {
        EXPECT_GE(released, 1u);
        EXPECT_LE(released, 16u);
      } else {
        EXPECT_EQ(released, 0u);
      }
    }
  }
}

TEST_F(DecorActorTest, SkiersStartAtTheTopOfTheFirstLiftWithTheirRandomPaces) {
  bool wrappedCopies = false;
  for (uint32_t seed = 0; seed < 30; ++seed) {
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    RandSetIndex(seed * 7);
    DecorSpawnSkier();
    const std::vector<DrawSlot*> skiers = Live(DecorStepSkier);
    ASSERT_GE(skiers.size(), 1u);
    ASSERT_LE(skiers.size(), 16u);
    wrappedCopies |= skiers.size() > 4;
    for (size_t k = 0; k < skiers.size(); ++k) {
      const DrawSlot* s = skiers[k];
      EXPECT_EQ(s->x, 12250.0f);
      EXPECT_EQ(s->z, 1650.0f);
      EXPECT_EQ(s->user, k & 3);
      EXPECT_EQ(s->boxMinX, 0.0f);    // point index
      EXPECT_EQ(s->boxMinY, 768.0f);  // heading
      const float rate = s->boxMinZ / 0.0625f;
      EXPECT_TRUE(rate >= 4.0f && rate <= 11.0f && rate == std::floor(rate)) << s->boxMinZ;
      EXPECT_TRUE(s->boxMaxX >= 0.0f && s->boxMaxX <= 3.0f);    // path
      EXPECT_TRUE(s->boxMaxY >= 0.0f && s->boxMaxY <= 15.0f);   // velocity
      EXPECT_TRUE(s->boxMaxZ >= 15.0f && s->boxMaxZ <= 46.0f);  // top velocity
    }
  }
  EXPECT_TRUE(wrappedCopies);
}

TEST_F(DecorActorTest, ASkierFollowsItsPathTurningAndIsGoneAfterItsLastPoint) {
  // Along -x, then a bend toward +z (a right turn for a skier facing -x).
  gDecor.paths[2] = Path({{-300.0f, 300.0f}, {-600.0f, 300.0f}, {-900.0f, 700.0f}});
  DrawSlot* s = Skier(0.0f, 300.0f, 2, 40.0f, 3);
  int32_t frames = 0, turningFrames = 0;
  float lastPoint = 0.0f;
  while (s->inUse && frames < 3000) {
    Step(s);
    ++frames;
    if (!s->inUse) break;
    EXPECT_GE(s->boxMinX, lastPoint);
    lastPoint = s->boxMinX;
    EXPECT_EQ(s->boxMaxY, 40.0f);  // at its top velocity
    if (s->owner != gObjectModels[DECOR_ROW_SKIER]) ++turningFrames;
  }
  EXPECT_FALSE(s->inUse);
  EXPECT_EQ(lastPoint, 2.0f);
  EXPECT_GT(turningFrames, 0);
  // The bend is heard as it begins, on the skier's copy, not on every frame of it.
  const int32_t sounds = Count("Sound", DECOR_SOUND_SKI_RIGHT);
  EXPECT_GE(sounds, 1);
  EXPECT_LT(sounds, turningFrames);
  for (const DecorCall& c : gDecorCalls)
    if (c.call == "Sound") {
      EXPECT_EQ(c.copy, 3);
    }
  // Drawn turned to its heading on every frame it lived.
  EXPECT_EQ(Count("Yaw", 0), frames - 1);

  // A skier whose path is empty has nowhere to go.
  gDecor.paths[1] = Trajectory{};
  DrawSlot* lost = Skier(0.0f, 300.0f, 1, 10.0f);
  Step(lost);
  EXPECT_FALSE(lost->inUse);
}

TEST_F(DecorActorTest, ASkierWithinTwentyOfAVehicleFallsWithItsCry) {
  struct HitCase {
    float dx, dz;
    bool falls;
  };
  const HitCase cases[] = {
      {19.9f, -19.9f, true}, {-5.0f, 10.0f, true}, {20.0f, 0.0f, false}, {0.0f, -20.0f, false}, {30.0f, 5.0f, false},
  };
  gDecor.paths[0] = Path({{0.0f, 2000.0f}});
  Vehicle& car = gVehicleRecords[2];
  gVehicleTable[3] = &car;
  car.velocity = 60.0f;
  car.heading = 1100.0f;  // 76 as a 10-bit angle
  gDecorSoundSlot = 7;
  for (const HitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dz);
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    gDecorCalls.clear();
    DrawSlot* skier = Skier(100.0f, 400.0f, 0, 0.0f, 2);
    car.pose.x = 100.0f + c.dx;
    car.pose.z = 400.0f + c.dz;
    Step(skier);
    EXPECT_EQ(skier->inUse, c.falls ? 0 : 1);
    const std::vector<DrawSlot*> fallen = Live(FxStepFallenSkier);
    ASSERT_EQ(fallen.size(), c.falls ? 1u : 0u);
    EXPECT_EQ(Count("Sound", DECOR_SOUND_SKIER), c.falls ? 1 : 0);
    if (!c.falls) continue;
    const DrawSlot* f = fallen[0];
    EXPECT_EQ(f->owner, gObjectModels[DECOR_ROW_SKIER_FALLEN]);
    EXPECT_EQ(f->x, 100.0f);
    EXPECT_EQ(f->z, 400.0f);
    EXPECT_EQ(f->boxMinX, 110.0f);                  // its speed: the car's + 50
    EXPECT_FLOAT_EQ(f->boxMinY, 110.0f * 0.12f);    // its lift
    EXPECT_EQ(f->boxMinZ, 0.0f);                    // pitch
    EXPECT_TRUE(f->boxMaxX == 2.0f || f->boxMaxX == 3.0f);  // bounces
    EXPECT_EQ(f->boxMaxZ, 512.0f);                  // roll
    EXPECT_EQ(f->user, 76u);                        // the car's heading
    const DecorCall& cry = gDecorCalls.back();
    EXPECT_EQ(cry.call, "Frequency");
    EXPECT_EQ(cry.slot, 7);
    EXPECT_TRUE(cry.pitch == 0 || cry.pitch == 10 || cry.pitch == 20 || cry.pitch == 30);
    const DecorCall& sound = gDecorCalls[gDecorCalls.size() - 2];
    EXPECT_EQ(sound.row, DECOR_SOUND_SKIER);
    EXPECT_EQ(sound.copy, 2);
    EXPECT_EQ(sound.at[0], 100.0f);
  }
}

TEST_F(DecorActorTest, AFallenSkierTumblesOnlyInTheFirstViewAndEndsWithItsBounces) {
  gDecor.paths[0] = Path({{0.0f, 2000.0f}});
  gVehicleTable[0] = &gPlayer1;
  gPlayer1.pose.x = 10.0f;
  gPlayer1.pose.z = 500.0f;
  Step(Skier(10.0f, 500.0f, 0, 0.0f));
  ASSERT_EQ(Live(FxStepFallenSkier).size(), 1u);
  DrawSlot* f = Live(FxStepFallenSkier)[0];
  gDecorCalls.clear();
  gRace.viewIndex = 1;
  Step(f);
  EXPECT_EQ(f->boxMaxZ, 512.0f);
  EXPECT_EQ(f->x, 10.0f);
  gRace.viewIndex = 0;
  gViewInsetPass = 1;  // an inset view draws it where it is
  Step(f);
  gViewInsetPass = 0;
  EXPECT_EQ(f->boxMaxZ, 512.0f);
  Step(f);
  EXPECT_EQ(f->boxMaxZ, 532.0f);
  EXPECT_FLOAT_EQ(std::fabs(f->boxMinZ), 18.0f);
  EXPECT_EQ(gObjectModels[DECOR_ROW_SKIER_FALLEN]->angle[2], 532 & 1023);
  int32_t frames = 3;
  while (f->inUse && frames < 2000) {
    Step(f);
    ++frames;
  }
  EXPECT_FALSE(f->inUse);
  EXPECT_EQ(Count("Object", 0), frames - 1);  // every frame but the last, which ends it
}

TEST_F(DecorActorTest, DecorLoadSkiPathReadsFourFilesAndCentresTheSkierModels) {
  WritePath("ski.tA", {{1.0f, 2.0f}, {3.0f, 4.0f}});
  WritePath("ski.tB", {{5.0f, 6.0f}});
  WritePath("ski.tC", {{7.0f, 8.0f}, {9.0f, 10.0f}, {11.0f, 12.0f}});
  dir_.Write("ski.tD", "short");  // damaged: no path
  gDecor.paths[3] = Path({{99.0f, 99.0f}});
  // Row 53's model: the box moved off its centre; its bottom is the lowest.
  for (Vertex& v : vertices_) {
    v.x += 20.0f;
    v.y += 5.0f;
    v.z -= 30.0f;
  }
  vertices_[0].y = 2.0f;  // one corner lower still: the model stands on it alone
  gObjectModels[DECOR_ROW_SKIER_RIGHT] = gObjectModels[DECOR_ROW_SKIER_LEFT] = nullptr;
  gObjectModels[DECOR_ROW_SKIER_FALLEN] = nullptr;
  DecorLoadSkiPath();
  EXPECT_EQ(gDecor.paths[0].count, 2);
  EXPECT_EQ(gDecor.paths[0].points[1].x, 3.0f);
  EXPECT_EQ(gDecor.paths[1].count, 1);
  EXPECT_EQ(gDecor.paths[2].points[2].z, 12.0f);
  EXPECT_EQ(gDecor.paths[3].count, 0);
  EXPECT_EQ(gDecor.paths[3].points[0].x, 0.0f);
  EXPECT_EQ(vertices_[0].x, 0.0f);
  EXPECT_EQ(vertices_[0].y, 0.0f);
  EXPECT_EQ(vertices_[0].z, 0.0f);
  EXPECT_EQ(vertices_[7].x, 20.0f);
  EXPECT_EQ(vertices_[7].y, 43.0f);
}

TEST_F(DecorActorTest, WithBothElephantFilesMissingTheHerdStandsAtTheOrigin) {
  gDecor.paths[0] = gDecor.paths[1] = Path({{500.0f, 500.0f}, {900.0f, 900.0f}});  // a previous race's
  DecorSetupElephants();
  const std::vector<DrawSlot*> herd = Live(DecorStepElephantActor);
  ASSERT_EQ(herd.size(), 8u);
  for (size_t k = 0; k < herd.size(); ++k) {
    EXPECT_EQ(herd[k]->boxMinY, static_cast<float>(k / 4));       // path
    EXPECT_EQ(herd[k]->boxMinX, static_cast<float>(5 * (k % 4)));  // point index
  }
  for (int32_t frame = 0; frame < 50; ++frame)
    for (DrawSlot* s : herd) Step(s);
  for (DrawSlot* s : herd) {
    EXPECT_EQ(s->x, 0.0f);
    EXPECT_EQ(s->z, 0.0f);
  }
}

TEST_F(DecorActorTest, ElephantsStartAlongTheirPathsAndWalkThemRoundAndRound) {
  std::vector<datakit::KitPoint> a, b;
  for (int32_t i = 0; i < 20; ++i) {
    a.push_back({100.0f * static_cast<float>(i), 400.0f});
    b.push_back({-100.0f * static_cast<float>(i), 800.0f});
  }
  WritePath("ele.tA", a);
  WritePath("ele.tB", b);
  DecorSetupElephants();
  const std::vector<DrawSlot*> herd = Live(DecorStepElephantActor);
  ASSERT_EQ(herd.size(), 8u);
  for (size_t k = 0; k < herd.size(); ++k) {
    const float along = 100.0f * static_cast<float>(5 * (k % 4));
    EXPECT_EQ(herd[k]->x, k < 4 ? along : -along);
    EXPECT_EQ(herd[k]->z, k < 4 ? 400.0f : 800.0f);
  }
  // At its path's last point an elephant heads back for the first.
  DrawSlot* e = herd[3];
  e->x = 1900.0f;
  e->boxMinX = 19.0f;
  e->boxMaxY = 768.0f;  // already facing it: a whole step that way
  Step(e);
  EXPECT_EQ(e->boxMinX, 0.0f);
  EXPECT_LT(e->x, 1900.0f);
  EXPECT_NEAR(e->x, 1900.0f - 100000.0f / (3600.0f * 25.0f), 0.01f);
}

TEST_F(DecorActorTest, AnElephantHitsVehiclesNearerThanFortyWithStrengthFifty) {
  struct HitCase {
    float dx, dz;
    bool hit;
  };
  const HitCase cases[] = {
      {39.0f, 0.0f, true}, {-20.0f, 39.5f, true}, {40.0f, 0.0f, false}, {10.0f, -40.0f, false}, {60.0f, 60.0f, false},
  };
  DecorSetupElephants();  // no files: the herd stands at the origin
  DrawSlot* e = Live(DecorStepElephantActor)[0];
  e->x = 50.0f;
  e->z = 600.0f;
  gVehicleTable[4] = &gVehicleRecords[3];
  Vehicle& car = gVehicleRecords[3];
  for (const HitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dz);
    car = Vehicle{};
    car.pose.x = 50.0f + c.dx;
    car.pose.z = 600.0f + c.dz;
    gRace.viewIndex = 1;
    Step(e);
    EXPECT_EQ(car.state, VEHICLE_ON_GROUND);  // the second view only draws
    gRace.viewIndex = 0;
    gViewInsetPass = 1;  // nor does the mirror
    Step(e);
    gViewInsetPass = 0;
    EXPECT_EQ(car.state, VEHICLE_ON_GROUND);
    Step(e);
    EXPECT_EQ(car.state, c.hit ? VEHICLE_KNOCKED : VEHICLE_ON_GROUND);
    if (!c.hit) continue;
    EXPECT_EQ(car.knockImpulse, 50.0f);
    EXPECT_EQ(car.knockDirX, c.dx);
    EXPECT_EQ(car.knockDirZ, c.dz);
  }
}

TEST_F(DecorActorTest, AnElephantStepsItsFramesEveryEightTicksBlendedOnlyNearby) {
  DecorSetupElephants();
  DrawSlot* e = Live(DecorStepElephantActor)[0];
  e->z = 300.0f;
  for (int32_t tick = 1; tick <= 8; ++tick) Step(e);
  EXPECT_EQ(e->boxMaxX, 0.0f);  // frame
  EXPECT_FLOAT_EQ(PosedX(), -10.0f + 100.0f);  // a whole step toward frame 1
  Step(e);
  EXPECT_EQ(e->boxMaxX, 1.0f);
  EXPECT_FLOAT_EQ(PosedX(), -10.0f + 100.0f);
  Step(e);
  EXPECT_FLOAT_EQ(PosedX(), -10.0f + 100.0f + 100.0f / 8.0f);
  // Far off the frame shows alone, and the second view adds no time.
  e->z = 1000.0f;
  gRace.viewIndex = 1;
  Step(e);
  EXPECT_FLOAT_EQ(PosedX(), -10.0f + 100.0f);
  EXPECT_EQ(e->boxMinZ, 1.0f);
  // After the sixth frame the first comes back.
  gRace.viewIndex = 0;
  for (int32_t tick = 0; tick < 5 * 9; ++tick) Step(e);
  EXPECT_EQ(e->boxMaxX, 0.0f);
}

TEST_F(DecorActorTest, EachTrackLoopsItsAmbientSoundAtSetUpAndAfterThePause) {
  const int32_t loops[TRACK_COUNT] = {27, -1, -1, 40, -1, 38, 51, 39, -1, 42};
  for (int32_t track = 0; track < TRACK_COUNT; ++track) {
    SCOPED_TRACE(track);
    gRace.trackIndex = track;
    for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
    for (void (*start)() : {DecorSetupTrack, DecorStartAmbientSound}) {
      gDecorCalls.clear();
      start();
      std::vector<int32_t> rows;
      for (const DecorCall& c : gDecorCalls)
        if (c.call == "Loop") rows.push_back(c.row);
      EXPECT_EQ(rows, loops[track] < 0 ? std::vector<int32_t>{} : std::vector<int32_t>{loops[track]});
      for (const DecorCall& c : gDecorCalls)
        if (c.call == "Loop") {
          EXPECT_EQ(c.at[0] * c.at[0] + c.at[1] * c.at[1] + c.at[2] * c.at[2], 0.0f);
        }
    }
  }
}

TEST_F(DecorActorTest, TheSetUpPutsEachTracksActorsOnTheCurrentPose) {
  gRace.trackIndex = TRACK_NEIGE;
  DecorSetupTrack();
  EXPECT_EQ(gRace.currentPose, &gPlayer1.pose);
  EXPECT_EQ(Live(DecorStepCabin).size(), 96u);
  EXPECT_TRUE(Live(DecorStepElephantActor).empty());
  for (int32_t i = 0; i < DRAW_LIST_DYNAMIC; ++i) gDrawLists.dynamics[i] = DrawSlot{};
  gRace.trackIndex = TRACK_SAVANA;
  gRace.noHumanMode = 1;
  DecorSetupTrack();
  EXPECT_EQ(gRace.currentPose, &gVehicleRecords[VEHICLE_EXTRA_CAR].pose);
  EXPECT_EQ(Live(DecorStepElephantActor).size(), 8u);
  EXPECT_TRUE(Live(DecorStepCabin).empty());
}

TEST_F(DecorActorTest, TheBellRingsAtTheFirstChurchAndNotOnATrackWithout) {
  auto rings = [] {
    gDecorCalls.clear();
    DecorFrameStep();
    std::vector<DecorCall> bells;
    for (const DecorCall& c : gDecorCalls)
      if (c.call == "Loop" && c.row == DECOR_SOUND_BELL) bells.push_back(c);
    return bells;
  };
  gRace.trackIndex = TRACK_NEIGE;
  Place(0, 5, 0.0f, 0.0f, 100.0f);
  Place(1, DECOR_ROW_CHURCH, 300.0f, 20.0f, 700.0f);
  Place(2, DECOR_ROW_CHURCH, 900.0f, 0.0f, 900.0f);
  DecorFindBell();
  float x = 0, y = 0, z = 0;
  ASSERT_EQ(DecorBellPosition(&x, &y, &z), 1);
  EXPECT_EQ(x, 300.0f);
  EXPECT_EQ(y, 120.0f);
  EXPECT_EQ(z, 700.0f);
  std::vector<DecorCall> bells = rings();
  ASSERT_EQ(bells.size(), 1u);
  EXPECT_EQ(bells[0].at[0], 300.0f);
  EXPECT_EQ(bells[0].at[1], 120.0f);
  EXPECT_EQ(bells[0].at[2], 700.0f);
  gRace.viewIndex = 1;  // the second view rings it no more
  EXPECT_TRUE(rings().empty());
  gRace.viewIndex = 0;

  // The next snow race has no church: its bell does not ring where the last one stood.
  gPlacementCount = 0;
  Place(0, 5, 0.0f, 0.0f, 100.0f);
  DecorFindBell();
  EXPECT_EQ(DecorBellPosition(&x, &y, &z), 0);
  EXPECT_TRUE(rings().empty());
}

}  // namespace
