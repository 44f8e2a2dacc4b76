// Animated scenery: the counters, the frame pairs each routine blends, the
// far distances, the knocked forms, the turning monster, and the calls and
// cries with their copy counters.
#include <algorithm>
#include <cmath>

#include "decor_fixture.h"
#include "engine3d/random.h"
#include "presentation/decor_anim.h"
#include "presentation/decor_objects.h"
#include "race/race.h"

namespace {

constexpr uint16_t ROW = 12;  // vache1, its animation record swapped for the test's

using Step = void (*)(DrawSlot*, void*, int32_t);

class AnimTest : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    gObjectTypes[ROW].anim = &anim_;
    gObjectTypes[ROW].glow = nullptr;
  }
  DrawSlot* Animated(Step step, float depth = 100.0f, uint8_t counterSlot = 0) {
    anim_.step = step;
    return Place(0, ROW, 0.0f, 0.0f, depth, counterSlot);
  }
  // The next RandNext() returns the first table value from `from` on that `fits`.
  template <typename Fits>
  void NextRandomFits(Fits fits) {
    for (int32_t i = 0; i < RANDOM_TABLE_SIZE; ++i)
      if (fits(i)) {
        RandSetIndex(static_cast<uint32_t>(i - 1));
        return;
      }
    FAIL() << "no such random value";
  }
  std::vector<DecorCall> Sounds() const {
    std::vector<DecorCall> out;
    for (const DecorCall& c : gDecorCalls)
      if (c.call == "Sound" || c.call == "Frequency") out.push_back(c);
    return out;
  }
};

struct RoutineCase {
  const char* name;
  Step step;
  int32_t frames;                   // indices 0 .. frames - 1
  std::vector<std::pair<int, int>> pairs;  // by index
  int32_t shortest, longest;        // new durations
  float far;                        // 0: always blended
};

const RoutineCase ROUTINES[] = {
    {"animal", DecorAnimAnimal, 2, {{0, 1}, {1, 0}}, 20, 51, 240.0f},
    {"turning", DecorAnimTurning, 3, {{0, 1}, {1, 2}, {2, 0}}, 90, 121, 0.0f},
    {"figure", DecorAnimFigure, 4, {{0, 1}, {1, 2}, {2, 1}, {1, 0}}, 20, 27, 240.0f},
    {"flag", DecorAnimFlag, 6, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 0}}, 10, 13, 640.0f},
};

TEST_F(AnimTest, EachRoutineBlendsItsPairsUpToItsFarDistance) {
  for (const RoutineCase& r : ROUTINES) {
    for (int32_t i = 0; i < r.frames; ++i) {
      const auto [a, b] = r.pairs[static_cast<size_t>(i)];
      for (float depth : {100.0f, 239.0f, 241.0f, 639.0f, 641.0f, 5000.0f}) {
        SCOPED_TRACE(testing::Message() << r.name << " index " << i << " depth " << depth);
        DrawSlot* slot = Animated(r.step, depth);
        gObjectCounters[0] = ObjectCounter{10.0f, 4.0f, i};
        r.step(slot, &mesh_, 0);
        EXPECT_FLOAT_EQ(gObjectCounters[0].elapsed, 5.0f);
        const bool far = r.far > 0.0f && depth > r.far;
        // Halfway from a to b, or a alone beyond the far distance.
        const float expected = far ? 100.0f * a : 100.0f * a + 50.0f * (b - a);
        EXPECT_FLOAT_EQ(PosedX(), expected - 10.0f);
      }
    }
  }
}

TEST_F(AnimTest, DurationsAndFrameCycle) {
  for (const RoutineCase& r : ROUTINES) {
    SCOPED_TRACE(r.name);
    DrawSlot* slot = Animated(r.step, 5000.0f);  // beyond every call
    gObjectCounters[0] = ObjectCounter{};
    int32_t shortest = 1000, longest = 0;
    std::vector<int32_t> frames;
    for (int k = 0; k < 1200; ++k) {
      r.step(slot, &mesh_, 0);
      const ObjectCounter& c = gObjectCounters[0];
      if (c.elapsed == 0.0f) {  // a new stretch began
        const int32_t d = static_cast<int32_t>(c.duration);
        EXPECT_EQ(static_cast<float>(d), c.duration);
        shortest = std::min(shortest, d);
        longest = std::max(longest, d);
        frames.push_back(c.frame);
      }
    }
    EXPECT_EQ(shortest >= r.shortest && longest <= r.longest, true) << shortest << ".." << longest;
    EXPECT_GT(longest, shortest);  // random lengths
    // A new counter starts at 0 and moves on at once, so the first stretch
    // is index 1; then each index follows the one before.
    ASSERT_GT(frames.size(), static_cast<size_t>(r.frames) + 1);
    EXPECT_EQ(frames[0], 1);
    for (size_t k = 1; k < frames.size(); ++k) EXPECT_EQ(frames[k], (frames[k - 1] + 1) % r.frames) << k;
  }
}

TEST_F(AnimTest, TheSecondViewAddsNoTimeButTheMonsterTurnsInBoth) {
  for (const RoutineCase& r : ROUTINES) {
    SCOPED_TRACE(r.name);
    DrawSlot* slot = Animated(r.step, 5000.0f);
    gPlacements[0].yaw = 1000;
    gObjectCounters[0] = ObjectCounter{50.0f, 3.0f, 0};
    gRace.viewIndex = 1;
    r.step(slot, &mesh_, 0);
    EXPECT_FLOAT_EQ(gObjectCounters[0].elapsed, 3.0f);
    gRace.viewIndex = 0;
    r.step(slot, &mesh_, 0);
    EXPECT_FLOAT_EQ(gObjectCounters[0].elapsed, 4.0f);
    EXPECT_EQ(+gPlacements[0].yaw, r.step == DecorAnimTurning ? 1002 : 1000);
  }
}

// An inset (the mirror, the demo's picture-in-picture) only draws: no time,
// no new counter, no turn, no call or cry, no random number drawn.
TEST_F(AnimTest, AnInsetDrawsTheSceneryAndMovesNothing) {
  gRace.tickPassed = 1;
  gDecorSoundSlot = 9;
  for (const int32_t track : {0, 2, 7}) {
    gRace.trackIndex = track;
    for (const RoutineCase& r : ROUTINES) {
      for (const int32_t knocked : {0, 1}) {
        for (const ObjectCounter& start : {ObjectCounter{50.0f, 3.0f, 1}, ObjectCounter{}}) {
          SCOPED_TRACE(testing::Message() << r.name << " track " << track << " knocked " << knocked << " duration "
                                          << start.duration);
          DrawSlot* slot = Animated(r.step, 500.0f);
          gPlacements[0].yaw = 1000;
          gObjectCounters[0] = start;
          // Every chance a call or a cry could take.
          NextRandomFits([](int32_t i) { return (RandAt(i) & 31) == 4 && (RandAt(i + 1) & 3) == 2; });
          const uint32_t random = gRandom.index;
          const int32_t a = gAnimCopyCounterA, b = gAnimCopyCounterB;
          gDecorCalls.clear();
          gViewInsetPass = 1;
          r.step(slot, &mesh_, knocked);
          gViewInsetPass = 0;
          EXPECT_EQ(gRandom.index, random);
          EXPECT_TRUE(Sounds().empty());
          EXPECT_EQ(gAnimCopyCounterA, a);
          EXPECT_EQ(gAnimCopyCounterB, b);
          EXPECT_EQ(+gPlacements[0].yaw, 1000);
          if (!knocked) {
            EXPECT_FLOAT_EQ(gObjectCounters[0].duration, start.duration);
            EXPECT_FLOAT_EQ(gObjectCounters[0].elapsed, start.elapsed);
            EXPECT_EQ(gObjectCounters[0].frame, start.frame);
          }
          EXPECT_TRUE(std::isfinite(PosedX()));
        }
      }
    }
  }
}

TEST_F(AnimTest, TheMonstersYawKeepsStillBelowOneStepAndWraps) {
  struct Case {
    float timeStep;
    uint16_t from, after3;
  };
  for (const Case& c : {Case{0.8f, 100, 100}, Case{1.0f, 100, 103}, Case{1.5f, 100, 103}, Case{2.0f, 65535, 5}}) {
    SCOPED_TRACE(c.timeStep);
    gRace.timeStep = c.timeStep;
    DrawSlot* slot = Animated(DecorAnimTurning, 100.0f);
    gPlacements[0].yaw = c.from;
    for (int k = 0; k < 3; ++k) DecorAnimTurning(slot, &mesh_, 0);
    EXPECT_EQ(+gPlacements[0].yaw, c.after3);
  }
}

TEST_F(AnimTest, APlacementWithoutACounterIsNeverAnimated) {
  for (const RoutineCase& r : ROUTINES) {
    SCOPED_TRACE(r.name);
    DrawSlot* slot = Animated(r.step, 100.0f, COUNTER_SLOT_NONE);
    gPlacements[0].yaw = 7;
    for (ObjectCounter& c : gObjectCounters) c = ObjectCounter{};
    r.step(slot, &mesh_, 0);
    r.step(slot, &mesh_, 1);
    // Through the draw callback too: the step is skipped.
    DecorDrawPlainObject(slot, &mesh_);
    EXPECT_FLOAT_EQ(PosedX(), -10.0f);
    EXPECT_EQ(+gPlacements[0].yaw, 7);
    for (const ObjectCounter& c : gObjectCounters) EXPECT_FLOAT_EQ(c.duration, 0.0f);
  }
}

TEST_F(AnimTest, TwoPlacementsOfOneTypeMoveIndependently) {
  anim_.step = DecorAnimFlag;
  DrawSlot* first = Place(0, ROW, 0.0f, 0.0f, 100.0f, 0);
  DrawSlot* second = Place(1, ROW, 50.0f, 0.0f, 100.0f, 1);
  gObjectCounters[1] = ObjectCounter{12.0f, 6.0f, 3};
  DecorDrawPlainObject(first, &mesh_);
  const float firstX = PosedX();
  DecorDrawPlainObject(second, &mesh_);
  EXPECT_FLOAT_EQ(PosedX(), 300.0f + 100.0f * 7.0f / 12.0f - 10.0f);  // frames 3 to 4, 7 of 12
  EXPECT_FLOAT_EQ(firstX, 100.0f - 10.0f);  // a new counter moves on to frame 1 at once
  EXPECT_FLOAT_EQ(gObjectCounters[1].elapsed, 7.0f);
  EXPECT_EQ(gObjectCounters[1].frame, 3);
  EXPECT_EQ(gObjectCounters[0].frame, 1);
  EXPECT_FLOAT_EQ(gObjectCounters[0].elapsed, 0.0f);
}

TEST_F(AnimTest, KnockedFormsHoldTheirLastPose) {
  struct Case {
    Step step;
    float posedX;  // frame x 100
    bool held;     // duration and elapsed set to 1
  };
  for (const Case& c : {Case{DecorAnimAnimal, 200.0f, true}, Case{DecorAnimFigure, 300.0f, true},
                        Case{DecorAnimFlag, 150.0f, false}}) {
    DrawSlot* slot = Animated(c.step, 100.0f);
    gObjectCounters[0] = ObjectCounter{10.0f, 5.0f, 1};
    c.step(slot, &mesh_, 1);
    EXPECT_FLOAT_EQ(PosedX(), c.posedX - 10.0f);
    EXPECT_FLOAT_EQ(gObjectCounters[0].duration, c.held ? 1.0f : 10.0f);
    EXPECT_FLOAT_EQ(gObjectCounters[0].elapsed, c.held ? 1.0f : 5.0f);  // the knocked step adds no time
  }
}

TEST_F(AnimTest, CallsByTrackWithTheirFrequencies) {
  struct Case {
    Step step;
    int32_t track;
    uint8_t counterSlot;
    int32_t row;    // -1: no call
    int32_t pitch;  // -1: no frequency change
  };
  const Case cases[] = {
      {DecorAnimAnimal, 0, 6, 12, 32}, {DecorAnimAnimal, 2, 5, 14, 16}, {DecorAnimAnimal, 6, 3, 48, 48},
      {DecorAnimAnimal, 9, 3, -1, -1}, {DecorAnimFigure, 7, 7, 60, 18}, {DecorAnimFigure, 9, 7, 56, -1},
      {DecorAnimFigure, 0, 7, -1, -1}, {DecorAnimFlag, 0, 1, -1, -1},   {DecorAnimTurning, 2, 1, -1, -1},
  };
  gDecorSoundSlot = 9;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.track << " " << c.row);
    gRace.trackIndex = c.track;
    gRace.tickPassed = 1;
    DrawSlot* slot = Animated(c.step, 999.0f, c.counterSlot);
    gObjectCounters[c.counterSlot] = ObjectCounter{50.0f, 0.0f, 0};  // no new duration drawn
    // The call's chance, and the sunset figures' second one.
    NextRandomFits([](int32_t i) { return (RandAt(i) & 31) == 4 && (RandAt(i + 1) & 3) == 2; });
    gDecorCalls.clear();
    const int32_t copyBefore = gAnimCopyCounterB;
    c.step(slot, &mesh_, 0);
    const std::vector<DecorCall> sounds = Sounds();
    if (c.row < 0) {
      EXPECT_TRUE(sounds.empty());
      continue;
    }
    ASSERT_EQ(sounds.size(), c.pitch < 0 ? 1u : 2u);
    EXPECT_EQ(sounds[0].row, c.row);
    EXPECT_EQ(sounds[0].copy, copyBefore);
    EXPECT_FLOAT_EQ(sounds[0].at[2], 999.0f);
    EXPECT_EQ(gAnimCopyCounterB, (copyBefore + 1) & 3);
    if (c.pitch >= 0) {
      EXPECT_EQ(sounds[1].slot, 9);
      EXPECT_EQ(sounds[1].pitch, c.pitch);
    }
  }
}

TEST_F(AnimTest, NoCallWhenFarOffBetweenTicksOrUnlucky) {
  struct Case {
    float depth;
    uint8_t tickPassed;
    bool lucky, calls;
  };
  gRace.trackIndex = 0;
  for (const Case& c : {Case{999.0f, 1, true, true}, Case{1000.0f, 1, true, false}, Case{500.0f, 0, true, false},
                        Case{500.0f, 1, false, false}}) {
    SCOPED_TRACE(testing::Message() << c.depth << " " << +c.tickPassed << " " << c.lucky);
    gRace.tickPassed = c.tickPassed;
    DrawSlot* slot = Animated(DecorAnimAnimal, c.depth);
    gObjectCounters[0] = ObjectCounter{50.0f, 0.0f, 0};
    NextRandomFits([&](int32_t i) { return ((RandAt(i) & 31) == 4) == c.lucky; });
    gDecorCalls.clear();
    DecorAnimAnimal(slot, &mesh_, 0);
    EXPECT_EQ(Sounds().empty(), !c.calls);
  }
}

TEST_F(AnimTest, KnockCriesGoOnCopyCounterAWhichCycles) {
  struct Case {
    Step step;
    int32_t track;
    int32_t row;  // -1: no cry
  };
  const Case cases[] = {{DecorAnimAnimal, 0, 13}, {DecorAnimAnimal, 2, 15}, {DecorAnimAnimal, 6, -1},
                        {DecorAnimFigure, 7, 61}, {DecorAnimFigure, 9, -1}};
  gRace.tickPassed = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.track << " " << c.row);
    gRace.trackIndex = c.track;
    DrawSlot* slot = Animated(c.step, 500.0f);
    gDecorCalls.clear();
    NextRandomFits([](int32_t i) { return (RandAt(i) & 15) == 2; });
    const int32_t b = gAnimCopyCounterB;
    c.step(slot, &mesh_, 1);
    const std::vector<DecorCall> sounds = Sounds();
    EXPECT_EQ(gAnimCopyCounterB, b);
    if (c.row < 0) {
      EXPECT_TRUE(sounds.empty());
      continue;
    }
    ASSERT_EQ(sounds.size(), 1u);  // a cry's pitch is the sample's own
    EXPECT_EQ(sounds[0].row, c.row);
  }
  // Five cries in a row take copies 0, 1, 2, 3, 0 (from wherever the counter stood).
  gRace.trackIndex = 0;
  DrawSlot* slot = Animated(DecorAnimAnimal, 500.0f);
  gDecorCalls.clear();
  const int32_t start = gAnimCopyCounterA;
  for (int k = 0; k < 5; ++k) DecorAnimAnimal(slot, &mesh_, 1);
  const std::vector<DecorCall> sounds = Sounds();
  ASSERT_EQ(sounds.size(), 5u);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(sounds[static_cast<size_t>(k)].copy, (start + k) & 3);
  EXPECT_EQ(gAnimCopyCounterA, (start + 5) & 3);
  // Nearer than 1000 only.
  gDecorCalls.clear();
  DecorAnimAnimal(Animated(DecorAnimAnimal, 1000.0f), &mesh_, 1);
  EXPECT_TRUE(Sounds().empty());
}

}  // namespace
