// The placed objects' draw callbacks: which routine each draw kind uses, its
// reflection on the ice, the animation step before it, the glows and the
// smoke of the burning wrecks; and the screen glows themselves.
#include <cmath>

#include "backend_common/display.h"
#include "decor_fixture.h"
#include "frontend/frontend.h"
#include "presentation/decor_anim.h"
#include "presentation/decor_objects.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "support/gfx_recorder.h"

namespace {

constexpr uint16_t ROW = 17;  // the test's type row, its fields set by each test
constexpr float HEIGHT = 30.0f, DEPTH = 200.0f;
constexpr uint16_t YAW = 300;

ObjectGlow gSteady{0, nullptr, 255, 90, 0, 100.0f, 0.0f, 0.0f, 0.0f};
ObjectGlow gLightBar{1, nullptr, 255, 100, 0, 60.0f, 0.0f, 0.0f, 0.0f};
Sprite gFlare{0x04000000u | 0x5Au, 50.0f, 50.0f, 0.0f, 0.0f, 31.0f, 31.0f};

struct KindCase {
  int kind;
  DrawCallback callback;
  std::vector<std::string> plain;      // with a counter, no reflections
  std::vector<std::string> reflected;  // with a counter and the reflection flag
  float reflectedY;                    // the reflection's slot height (0: none drawn)
  bool animates, glows;
};

const KindCase KIND_CASES[] = {
    {0, DecorDrawPlainObject, {"YawLit"}, {"YawLit"}, 0.0f, true, true},
    {1, DecorDrawObjectKind1, {"Yaw"}, {"Yaw", "Object"}, HEIGHT, true, true},
    {2, DecorDrawNothing, {}, {}, 0.0f, false, false},
    {3, DecorDrawObjectKind3, {"YawTwoSided"}, {"YawTwoSided", "YawTwoSided"}, -HEIGHT, true, true},
    {4, DecorDrawLargeObject, {"YawLitAnyDepth"}, {"YawLitAnyDepth"}, 0.0f, false, true},
    {5, DecorDrawObjectKind5, {"YawTwoSided"}, {"YawTwoSided"}, 0.0f, true, true},
    {7, DecorDrawObjectKind7, {"YawShaded"}, {"YawShaded"}, 0.0f, false, false},
    {8, DecorDrawPanel, {"YawTwoSided"}, {"YawTwoSided", "TwoSided"}, HEIGHT, false, false},
    {9, DecorDrawFlag, {"YawLit"}, {"YawLit", "Object"}, -HEIGHT, true, true},
    {10, DecorDrawObjectKind10, {"YawTwoSided"}, {"YawTwoSided"}, 0.0f, false, false},
};

class DecorDrawTest : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    anim_.step = DecorAnimFlag;  // silent
    gObjectTypes[ROW].anim = &anim_;
    gObjectTypes[ROW].glow = &gSteady;
    gObjectTypes[ROW].hitKind = 0;
    gFxSprites[22] = &gFlare;
    mesh_.angle[0] = 5;
    mesh_.angle[2] = 7;
  }
};

TEST_F(DecorDrawTest, EachKindDrawsItsRoutineAndItsReflection) {
  for (const KindCase& c : KIND_CASES) {
    for (bool reflect : {false, true}) {
      SCOPED_TRACE(testing::Message() << "kind " << c.kind << (reflect ? " reflected" : ""));
      gDecorCalls.clear();
      gFxGlowList.count = 0;
      gObjectCounters[0] = ObjectCounter{};
      mesh_.angle[0] = 5;
      mesh_.angle[2] = 7;
      gIceReflections = reflect;
      DrawSlot* slot = Place(0, ROW, 0.0f, HEIGHT, DEPTH, 0, YAW);
      c.callback(slot, &mesh_);

      EXPECT_EQ(DecorCallNames(), reflect ? c.reflected : c.plain);
      if (!gDecorCalls.empty()) {
        EXPECT_FLOAT_EQ(gDecorCalls[0].y, HEIGHT);
        EXPECT_EQ(gDecorCalls[0].angle[1], YAW);  // turned to the placement before it draws
      }
      if (reflect && gDecorCalls.size() == 2) {
        EXPECT_FLOAT_EQ(gDecorCalls[1].y, c.reflectedY);
        if (c.kind != 3) {  // the levelled reflections
          EXPECT_EQ(gDecorCalls[1].angle[0], 0);
          EXPECT_EQ(gDecorCalls[1].angle[2], 0);
        }
      }
      EXPECT_FLOAT_EQ(slot->y, HEIGHT);  // a mirrored height is put back
      EXPECT_EQ(gObjectCounters[0].duration > 0.0f, c.animates);
      EXPECT_EQ(gFxGlowList.count, c.glows ? 1 : 0);
    }
  }
}

TEST_F(DecorDrawTest, WithoutACounterNothingAnimatesAndOnlyPanelsAndFlagsReflect) {
  gIceReflections = 1;
  for (const KindCase& c : KIND_CASES) {
    SCOPED_TRACE(c.kind);
    gDecorCalls.clear();
    DrawSlot* slot = Place(0, ROW, 0.0f, HEIGHT, DEPTH, COUNTER_SLOT_NONE, YAW);
    gObjectCounters[0] = ObjectCounter{};
    c.callback(slot, &mesh_);
    EXPECT_FLOAT_EQ(gObjectCounters[0].duration, 0.0f);
    const bool reflects = c.kind == 8 || c.kind == 9;
    EXPECT_EQ(DecorCallNames(), reflects ? c.reflected : c.plain);
  }
}

TEST_F(DecorDrawTest, EmptyKindAndFarDetailDrawNothingOnTheAccelerator) {
  struct Case {
    DrawCallback callback;
    int32_t detailSetting;
    bool draws;
  };
  const Case cases[] = {{DecorDrawNothing, 0, false},
                        {DecorDrawObjectKind10, 1, false},
                        {DecorDrawObjectKind10, 3, false},
                        {DecorDrawObjectKind10, 0, true},
                        {DecorDrawPlainObject, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.detailSetting);
    gOptions.detailSetting = c.detailSetting;
    DrawSlot* slot = Place(0, ROW, 0.0f, -20.0f, 100.0f, COUNTER_SLOT_NONE, 0);
    RecordStart();
    c.callback(slot, &mesh_);
    const std::vector<GfxCall> calls = RecordStop();
    EXPECT_EQ(DrawCalls(calls).empty(), !c.draws);
  }
}

TEST_F(DecorDrawTest, WrecksSmokeEveryFourthTick) {
  struct Case {
    uint8_t hitKind;
    bool smokes;
  };
  for (const Case& c : {Case{5, true}, Case{11, true}, Case{1, false}}) {
    SCOPED_TRACE(+c.hitKind);
    gObjectTypes[ROW].hitKind = c.hitKind;
    gObjectTypes[ROW].glow = nullptr;
    gDecorCalls.clear();
    for (int32_t tick = 0; tick < 9; ++tick)
      for (uint8_t passed : {0, 1}) {
        gRace.ticks = tick;
        gRace.tickPassed = passed;
        DecorDrawObjectKind1(Place(0, ROW, 40.0f, HEIGHT, DEPTH), &mesh_);
      }
    std::vector<DecorCall> smoke;
    for (const DecorCall& call : gDecorCalls)
      if (call.call == "Smoke") smoke.push_back(call);
    ASSERT_EQ(smoke.size(), c.smokes ? 3u : 0u);  // ticks 0, 4 and 8
    for (const DecorCall& s : smoke) {
      EXPECT_FLOAT_EQ(s.at[0], 40.0f);
      EXPECT_FLOAT_EQ(s.at[1], HEIGHT + 10.0f);
      EXPECT_FLOAT_EQ(s.at[2], DEPTH);
      EXPECT_FLOAT_EQ(s.sizeDivisor, 0.7f);
      EXPECT_FLOAT_EQ(s.rateDivisor, 24.0f);
    }
  }
}

// ---- glows

class GlowTest : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    gFxSprites[22] = &gFlare;
  }
  // A glow of `record` on a slot straight ahead at depth `depth`.
  void Add(const ObjectGlow& record, float depth, float x = 0.0f) {
    DrawSlot* slot = Place(0, ROW, x, 0.0f, depth);
    mesh_.angle[1] = 0;
    DecorAddObjectGlow(slot, &mesh_, &record);
  }
  static int32_t Strength(int i) { return static_cast<int32_t>(gFxGlowList.entries[i].slot.kind >> 8); }
};

TEST_F(GlowTest, AnEntryIsTheFlareAtTheViewPointWithItsRecord) {
  Add(gSteady, 300.0f, 40.0f);
  ASSERT_EQ(gFxGlowList.count, 1);
  const FxGlowEntry& e = gFxGlowList.entries[0];
  EXPECT_EQ(e.glow, &gSteady);
  EXPECT_EQ(e.slot.owner, &gFlare);
  EXPECT_EQ(e.slot.kind & 0xFF, 0x5Au);
  const Vertex view = ViewOf(40.0f, 0.0f, 300.0f);
  EXPECT_FLOAT_EQ(e.slot.viewX, view.viewX);
  EXPECT_FLOAT_EQ(e.slot.viewZ, 300.0f);
  // 40 units aside at depth 300: 40 x scale / 300 pixels off the centre.
  const float sx = view.screenX - gRdrState.centreX;
  EXPECT_NEAR(std::fabs(sx), 40.0f * std::fabs(gRdrState.scaleX) / 300.0f, 1e-3f);
  EXPECT_NEAR(e.slot.x, 512.0f * sx / static_cast<float>(gRdrState.screenWidth), 1e-3f);
  EXPECT_EQ(Strength(0), static_cast<int32_t>(90.0f - 0.2f * 512.0f * std::fabs(sx) / gRdrState.screenWidth));
}

TEST_F(GlowTest, TheHundredthGlowOfAFrameIsRefused) {
  for (int i = 0; i < 100; ++i) Add(gSteady, 100.0f);
  EXPECT_EQ(gFxGlowList.count, 99);
  // The plain add refuses a full list even for an entry it is handed.
  FxAddScreenGlowPlain(&gFxGlowList.entries[98]);
  EXPECT_EQ(gFxGlowList.count, 99);
}

TEST_F(GlowTest, OnlyGlowsBetweenFiveAndTheFarPlaneAreAdded) {
  const float far = gRdrState.farPlane;
  struct Case {
    float slotDepth, offsetZ;
    bool added;
  };
  const Case cases[] = {{4.9f, 0.0f, false}, {5.0f, 0.0f, true},    {far, 0.0f, true},   {far + 1.0f, 0.0f, false},
                        {8.0f, -4.0f, false},  // the glow itself nearer than 5
                        {far - 2.0f, 5.0f, false}};
  // On the looping track no glow fades with depth, so only the distances decide.
  gRace.trackIndex = 6;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.slotDepth << " " << c.offsetZ);
    gFxGlowList.count = 0;
    ObjectGlow g = gSteady;
    g.z = c.offsetZ;
    Add(g, c.slotDepth);
    EXPECT_EQ(gFxGlowList.count, c.added ? 1 : 0);
  }
}

TEST_F(GlowTest, SteadyGlowStrengthByTrackAndDepth) {
  struct Case {
    int32_t track;
    float depth;
    int32_t strength;
  };
  const Case cases[] = {{6, 10.0f, 220}, {6, 900.0f, 220}, {6, 1600.0f, 220}, {0, 10.0f, 119},
                        {0, 900.0f, 30}, {0, 1200.0f, 0},  {9, 1600.0f, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.track << " " << c.depth);
    gRace.trackIndex = c.track;
    gFxGlowList.count = 0;
    Add(gSteady, c.depth);
    if (c.strength == 0) {
      EXPECT_EQ(gFxGlowList.count, 0);  // too faint to add
      continue;
    }
    ASSERT_EQ(gFxGlowList.count, 1);
    EXPECT_EQ(Strength(0), c.strength);
  }
  // Off the centre it weakens on the looping track too.
  gRace.trackIndex = 6;
  gFxGlowList.count = 0;
  Add(gSteady, 100.0f, 50.0f);
  ASSERT_EQ(gFxGlowList.count, 1);
  EXPECT_LT(Strength(0), 220);
}

TEST_F(GlowTest, LightBarSweepsByPhaseAndDimsByTick) {
  // Phase (tick >> 2) & 3 moves the bar; the reduction (tick & 3) x 16 dims it.
  const float sweep[4] = {-70.0f, -7.0f, 70.0f, 7.0f};
  for (int32_t tick = 0; tick < 16; ++tick) {
    SCOPED_TRACE(tick);
    gRace.ticks = tick;
    gFxGlowList.count = 0;
    Add(gLightBar, 400.0f);
    ASSERT_EQ(gFxGlowList.count, 1);
    const FxGlowEntry& e = gFxGlowList.entries[0];
    const Vertex view = ViewOf(sweep[(tick >> 2) & 3], 17.0f, 407.0f);
    EXPECT_FLOAT_EQ(e.slot.viewX, view.viewX);
    EXPECT_FLOAT_EQ(e.slot.viewY, view.viewY);
    EXPECT_FLOAT_EQ(e.slot.viewZ, 407.0f);
    if (tick & 3) {
      // The same place as the tick before, 16 fainter.
      const int32_t now = Strength(0);
      gRace.ticks = tick - 1;
      gFxGlowList.count = 0;
      Add(gLightBar, 400.0f);
      EXPECT_EQ(Strength(0) - now, 16);
    }
  }
}

TEST_F(GlowTest, TheOffsetTurnsWithTheModelsYaw) {
  ObjectGlow g = gSteady;
  g.x = 30.0f;
  DrawSlot* slot = Place(0, ROW, 0.0f, 0.0f, 300.0f);
  mesh_.angle[1] = 256;  // a quarter turn: model x points along world z
  DecorAddObjectGlow(slot, &mesh_, &g);
  ASSERT_EQ(gFxGlowList.count, 1);
  EXPECT_NEAR(gFxGlowList.entries[0].slot.viewX, 0.0f, 1e-3f);  // straight ahead
  EXPECT_NEAR(gFxGlowList.entries[0].slot.viewZ, 330.0f, 1e-3f);
}

}  // namespace
