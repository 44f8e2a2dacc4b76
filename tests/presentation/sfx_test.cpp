// The race sounds of a loaded bank: the vehicles' copies of a row, the engine
// pitch from the heard revolutions, the countdown revs, the listener's sends
// and the engine of the view not shown.
#include <cmath>

#include "engine3d/random.h"
#include "hal/clock.h"
#include "platform/app.h"
#include "sound_fixture.h"

namespace {

// What the library plays a pitch of a sound at (the kit's base is 6000 Hz).
uint32_t PitchHz(int32_t pitch, uint32_t base = 6000) {
  long double hz = std::trunc(static_cast<long double>(base) * static_cast<long double>(PITCH_RATIO_TABLE[pitch + 480]));
  return static_cast<uint32_t>(hz);
}

class SfxTest : public SoundBankTest {
 protected:
  void SetUp() override {
    SoundBankTest::SetUp();
    gRace.trackIndex = 0;
    PlaceGrid(0, {1, 2, 3, 4, 5});
    gPlayer1.enginePitchScale = 320;
    gPlayer1.physParams[PHYS_REV_LIMIT] = 8000.0f;
    SfxLoadTrackBank(SFX_BANK_TRACK);
    ASSERT_EQ(gSoundOn, 1);
  }
  static SoundVector ListenerPosition() {
    SoundVector p{}, v{}, f{}, t{};
    SoundListenerVectors(&p, &v, &f, &t, SOUND_OP_GET);
    return p;
  }
  static SoundVector ListenerVelocity() {
    SoundVector p{}, v{}, f{}, t{};
    SoundListenerVectors(&p, &v, &f, &t, SOUND_OP_GET);
    return v;
  }
};

struct CopyCase {
  const char* row;
  int32_t grid;
  int32_t copy;
};

class VehicleCopies : public SfxTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(VehicleCopies, GridNumberPicksTheCopyOfRowsOfSixOrMore) {
  const CopyCase& c = GetParam();
  const int32_t row = Row(c.row);
  Vehicle v{};
  v.timerSlot = c.grid;
  EXPECT_EQ(SfxVehicleCopy3DPlay(row, &v), gSfxEffects[row].first3d + c.copy);
  if (gSfxLoaded2d[row]) {
    EXPECT_EQ(SfxVehicleCopy2DPlay(row, &v), gSfxEffects[row].first2d + c.copy);
  }
  EXPECT_TRUE(Playing(gSfxEffects[row].first3d + c.copy));
  SfxVehicleCopyStop(row, &v);
  EXPECT_FALSE(Playing(gSfxEffects[row].first3d + c.copy));
}

INSTANTIATE_TEST_SUITE_P(Rows, VehicleCopies,
                         ::testing::Values(CopyCase{"derrap", 3, 0}, CopyCase{"derrap", 8, 5}, CopyCase{"derrap", 5, 2},
                                           CopyCase{"vache1", 3, 0}, CopyCase{"vache1", 8, 0},
                                           CopyCase{"derrap", 40, 0}));

struct PitchCase {
  const char* name;
  float revs;
  uint8_t view;   // the player's view; 3 stands for a computer car heard in 3D
  int32_t pitch;  // -1: played at 100000 Hz
};

class EnginePitch : public SfxTest, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(EnginePitch, FollowsTheHeardRevolutions) {
  const PitchCase& c = GetParam();
  gRace.raceStarted = 1;
  const bool computer = c.view == 3;
  Vehicle* v = computer ? &gVehicleRecords[0] : &gPlayer1;
  v->viewActive = computer ? 0 : c.view;
  v->engineRevs = c.revs;
  SfxUpdateVehicle(v, computer ? v : nullptr, 0, 0);
  EXPECT_FLOAT_EQ(v->engineRevsHeard, c.revs);
  const int32_t engine = computer ? v->engineSound3d : c.view ? v->engineSoundIn : v->engineSoundOut;
  EXPECT_TRUE(Playing(engine));
  EXPECT_EQ(Hz(engine), c.pitch < 0 ? 100000u : PitchHz(c.pitch));
}

INSTANTIATE_TEST_SUITE_P(
    Revolutions, EnginePitch,
    ::testing::Values(PitchCase{"FullRevsOutside", 9500.0f, 0, -1}, PitchCase{"FullRevsInCar", 9600.0f, 1, -1},
                      PitchCase{"JustBelowFull", 9499.0f, 0, 379}, PitchCase{"Idle", 1000.0f, 2, 40},
                      PitchCase{"Computer", 9400.0f, 3, 376}, PitchCase{"FarAboveFull", 12000.0f, 0, -1}),
    [](const ::testing::TestParamInfo<PitchCase>& info) { return std::string(info.param.name); });

TEST_F(SfxTest, PitchIsHeldAtTheCaps) {
  gRace.raceStarted = 1;
  // A small revolution limit drives the pitch far above its cap below 9500.
  gPlayer1.physParams[PHYS_REV_LIMIT] = 4000.0f;
  gPlayer1.engineRevs = 9000.0f;
  SfxUpdateVehicle(&gPlayer1, nullptr, 0, 0);
  EXPECT_EQ(Hz(gPlayer1.engineSoundOut), PitchHz(479));

  gRace.trackIndex = 4;
  SfxLoadTrackBank(SFX_BANK_TRACK);
  Vehicle traffic{};
  traffic.type = 3;
  traffic.physParams[PHYS_REV_LIMIT] = 8000.0f;
  const int32_t other = gSfxEffects[Row("other")].first3d;
  struct {
    float revs;
    int32_t pitch;
  } cases[] = {{20000.0f, 400}, {4000.0f, 124}, {15000.0f, 399}};
  for (const auto& c : cases) {
    traffic.engineRevs = c.revs;
    SfxUpdateTrafficVehicle(&traffic, 2);
    EXPECT_TRUE(Playing(other + 2));
    EXPECT_EQ(Hz(other + 2), PitchHz(c.pitch)) << c.revs;
  }
  SfxUpdateTrafficVehicle(&traffic, 8);  // no ninth copy: nothing
  EXPECT_EQ(gSoundOn, 1);
}

// Engines recorded at 22050 Hz pass the device's 100000 Hz from a pitch of
// about 262 on: the countdown revs reach it, and sound must stay on.
TEST_F(SfxTest, EnginesRecordedAtACommonRateKeepSoundOnThroughTheCountdown) {
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::SoundArchiveFiles(22050), ".", &error)) << error;
  SfxLoadTrackBank(SFX_BANK_TRACK);
  ASSERT_EQ(gSoundOn, 1);
  gPlayer1.physParams[PHYS_ACCEL_FACTOR] = 2.0f;
  gVehicleStep.engineLoad = 1;
  for (int frame = 0; frame < 200; ++frame) {
    gRace.frameCounter = static_cast<uint32_t>(frame);
    SfxUpdateVehicle(&gPlayer1, nullptr, 0, 0);
    for (int i = 0; i < 5; ++i) SfxUpdateVehicle(&gVehicleRecords[i], &gVehicleRecords[i], 0, 0);
    ASSERT_EQ(gSoundOn, 1) << "frame " << frame;
  }
  EXPECT_GT(gPlayer1.engineRevsHeard, 262.0f * 8000.0f / 320.0f);

  // Held at the device's top rate above it, exact below it.
  gRace.raceStarted = 1;
  const struct {
    float revs;
    uint32_t hz;
  } cases[] = {{7000.0f, 100000}, {9499.0f, 100000}, {1000.0f, PitchHz(40, 22050)}};
  for (const auto& c : cases) {
    gPlayer1.engineRevs = c.revs;
    SfxUpdateVehicle(&gPlayer1, nullptr, 0, 0);
    EXPECT_EQ(Hz(gPlayer1.engineSoundOut), c.hz) << c.revs;
  }
  // A pitch past the library's own range is held at its end.
  SfxSetSlotFrequency(gPlayer1.engineSoundOut, 900);
  EXPECT_EQ(Hz(gPlayer1.engineSoundOut), 100000u);
  EXPECT_EQ(gSoundOn, 1);
}

struct SmoothCase {
  const char* name;
  int32_t state;
  float timeStep;
  uint8_t viewActive;
  float heard;
  bool inCarPlays;
};

class Smoothing : public SfxTest, public ::testing::WithParamInterface<SmoothCase> {};

TEST_P(Smoothing, TheHeardRevolutionsEaseTowardTheTarget) {
  const SmoothCase& c = GetParam();
  gRace.raceStarted = 1;
  gRace.timeStep = c.timeStep;
  gPlayer1.state = c.state;
  gPlayer1.viewActive = c.viewActive;
  gPlayer1.engineRevs = 5000.0f;
  SfxUpdateVehicle(&gPlayer1, nullptr, 0, 0);
  EXPECT_FLOAT_EQ(gPlayer1.engineRevsHeard, c.heard);
  EXPECT_EQ(Playing(gPlayer1.engineSoundIn), c.inCarPlays);
  EXPECT_EQ(Playing(gPlayer1.engineSoundOut), !c.inCarPlays);
}

INSTANTIATE_TEST_SUITE_P(
    States, Smoothing,
    ::testing::Values(SmoothCase{"InAirOneStep", VEHICLE_IN_AIR, 1.0f, 0, 40.0f, false},
                      SmoothCase{"InAirTwoSteps", VEHICLE_IN_AIR, 2.0f, 1, 80.0f, true},
                      SmoothCase{"BlockedIdlesInTheView", VEHICLE_BLOCKED, 1.0f, 1, 40.0f, true},
                      SmoothCase{"CrippledIdles", VEHICLE_CRIPPLED, 1.0f, 0, 40.0f, false},
                      SmoothCase{"ResettingIsHeardOutside", VEHICLE_RESETTING, 1.0f, 1, 40.0f, false},
                      SmoothCase{"BackingOffKeepsTheDrivesRevs", VEHICLE_BACKING_OFF, 1.0f, 0, 200.0f, false}),
    [](const ::testing::TestParamInfo<SmoothCase>& info) { return std::string(info.param.name); });

struct RevCase {
  uint32_t frame;
  int32_t rank;
  bool revving;
};

class CountdownRevs : public SfxTest, public ::testing::WithParamInterface<RevCase> {};

TEST_P(CountdownRevs, ComputerCarsRevInTurnsByTableIndex) {
  const RevCase& c = GetParam();
  Vehicle& v = gVehicleRecords[1];
  v.physParams[PHYS_ACCEL_FACTOR] = 2.0f;
  v.bodyPitch = 5.0f;
  v.championRank = c.rank;
  gRace.frameCounter = c.frame;
  const uint32_t index = gRandom.index;
  SfxUpdateVehicle(&v, &v, 0, 0);
  if (c.revving) {
    EXPECT_FLOAT_EQ(v.bodyPitch, 5.0f + (8.0f - 5.0f) * 0.4f);
    EXPECT_GE(v.engineRevsHeard, 7500.0f * 0.04f);
    EXPECT_LE(v.engineRevsHeard, (7500.0f + 4095.0f) * 0.04f);
    EXPECT_EQ(gRandom.index, index + 1);
  } else {
    EXPECT_FLOAT_EQ(v.bodyPitch, 4.0f);
    EXPECT_FLOAT_EQ(v.engineRevsHeard, 0.0f);
    EXPECT_EQ(gRandom.index, index);
  }
}

INSTANTIATE_TEST_SUITE_P(Phases, CountdownRevs,
                         ::testing::Values(RevCase{0, 0, true}, RevCase{31, 0, true}, RevCase{32, 0, false},
                                           RevCase{0, 4, false}, RevCase{23, 1, true}, RevCase{24, 1, false},
                                           RevCase{56, 1, true}));

TEST_F(SfxTest, ThePlayerRevsOnTheGridWhileTheThrottleIsHeld) {
  gPlayer1.physParams[PHYS_ACCEL_FACTOR] = 2.0f;
  gVehicleStep.engineLoad = 1;
  SfxUpdateVehicle(&gPlayer1, nullptr, 0, 0);
  EXPECT_GE(gPlayer1.engineRevsHeard, 6500.0f * 0.04f);
  EXPECT_LE(gPlayer1.engineRevsHeard, (6500.0f + 4095.0f) * 0.04f);
  EXPECT_FLOAT_EQ(gPlayer1.bodyPitch, 3.2f);
  gVehicleStep.engineLoad = 0;
  SfxUpdateVehicle(&gPlayer1, nullptr, 0, 0);
  EXPECT_FLOAT_EQ(gPlayer1.bodyPitch, 3.2f * 0.8f);
}

TEST_F(SfxTest, SlidingAndSurfaceSoundsFollowTheWheels) {
  gRace.raceStarted = 1;
  Vehicle& v = gVehicleRecords[2];  // grid number 6: copy 3
  v.wheelSpin = 1;
  v.slideAngle = 7.0f;
  v.engineRevs = 6000.0f;
  SfxUpdateVehicle(&v, &v, Row("tole2"), 1);
  const int32_t slide = gSfxEffects[SFX_ROW_SLIDE].first3d + 3;
  EXPECT_EQ(v.slideSound, slide);
  EXPECT_TRUE(Playing(slide));
  EXPECT_EQ(v.loopSound, gSfxEffects[Row("tole2")].first3d + 3);
  const int32_t sand = gSfxEffects[SFX_ROW_SAND].first3d + 3;
  EXPECT_TRUE(Playing(sand));
  EXPECT_EQ(Hz(sand), PitchHz(static_cast<int32_t>(6000.0f * 160.0f * 8.33333e-05f)));

  // Off the sand, slide over: the loops stop and the slide slot is forgotten.
  v.slideAngle = 0.0f;
  SfxUpdateVehicle(&v, &v, 0, 0);
  EXPECT_EQ(v.slideSound, SFX_SLOT_NONE);
  EXPECT_FALSE(Playing(slide));
  EXPECT_FALSE(Playing(sand));
  SfxStopVehicleLoops(&v);
  EXPECT_EQ(v.loopSound, SFX_SLOT_NONE);
}

struct SlideCase {
  int32_t track;
  float slideAngle;
  int32_t sounds;
};

class SlideSound : public SfxTest, public ::testing::WithParamInterface<SlideCase> {};

// A slide sounds the same to either side: on ice while it stays small, on the
// other tracks once it is wide.
TEST_P(SlideSound, SoundsForSlidesToEitherSide) {
  const SlideCase& c = GetParam();
  gRace.trackIndex = c.track;
  Vehicle v{};
  v.slideAngle = c.slideAngle;
  EXPECT_EQ(SfxVehicleSlideTest(&v), c.sounds);
}

INSTANTIATE_TEST_SUITE_P(
    BothWays, SlideSound,
    ::testing::Values(SlideCase{0, 7.0f, 1}, SlideCase{0, -7.0f, 1}, SlideCase{0, 5.0f, 0}, SlideCase{0, -5.0f, 0},
                      SlideCase{9, 1.5f, 1}, SlideCase{9, -1.5f, 1}, SlideCase{9, 3.0f, 0}, SlideCase{9, -3.0f, 0}));

TEST_F(SfxTest, TheListenerIsSentAtMostEveryQuarterSecond) {
  gCamera.x = 10.0f;
  HalClockAdvance(100);
  SfxUpdateListener();
  EXPECT_FLOAT_EQ(ListenerPosition().x, 0.0f);
  HalClockAdvance(151);
  SfxUpdateListener();
  EXPECT_FLOAT_EQ(ListenerPosition().x, 10.0f);
  gCamera.x = 20.0f;
  HalClockAdvance(250);
  SfxUpdateListener();
  EXPECT_FLOAT_EQ(ListenerPosition().x, 10.0f);
  // A committed camera change sends at the next update.
  SfxCommitListener();
  HalClockAdvance(1);
  SfxUpdateListener();
  EXPECT_FLOAT_EQ(ListenerPosition().x, 20.0f);
}

TEST_F(SfxTest, ACameraCutIsNoMovement) {
  gCamera.z = 40.0f;  // 40 units in a frame at 25 frames a second
  HalClockAdvance(300);
  SfxUpdateListener();
  EXPECT_FLOAT_EQ(ListenerVelocity().z, 1000.0f);
  gCamera.z = 140.0f;  // 2500 a second: a cut
  HalClockAdvance(300);
  SfxUpdateListener();
  EXPECT_FLOAT_EQ(ListenerVelocity().z, 0.0f);
  EXPECT_FLOAT_EQ(ListenerPosition().z, 140.0f);
}

TEST_F(SfxTest, StoppingTheUnseenEngineSendsTheListenerAtOnce) {
  SfxLoopSlot(gPlayer1.engineSoundIn);
  SfxLoopSlot(gPlayer1.engineSoundOut);
  gPlayer1.viewActive = 0;
  gCamera.x = 50.0f;
  SfxStopUnusedEngine();
  EXPECT_FALSE(Playing(gPlayer1.engineSoundIn));
  EXPECT_TRUE(Playing(gPlayer1.engineSoundOut));
  EXPECT_FLOAT_EQ(ListenerPosition().x, 50.0f);
  // A second change within the same quarter second is sent too.
  gPlayer1.viewActive = 1;
  SfxLoopSlot(gPlayer1.engineSoundIn);
  gCamera.x = 60.0f;
  SfxStopUnusedEngine();
  EXPECT_TRUE(Playing(gPlayer1.engineSoundIn));
  EXPECT_FALSE(Playing(gPlayer1.engineSoundOut));
  EXPECT_FLOAT_EQ(ListenerPosition().x, 60.0f);
  // Nothing stopped: nothing sent.
  gCamera.x = 70.0f;
  SfxStopUnusedEngine();
  EXPECT_FLOAT_EQ(ListenerPosition().x, 60.0f);
}

TEST_F(SfxTest, StopAllStopsEverySlotAndForgetsTheSample) {
  SfxLoopEffectAt(Row("vache1"), 1.0f, 2.0f, 3.0f);
  SfxLoopEffect2D(Row("vent"), -500);
  gMusic.sampleSlot = 5;
  SfxStopAll();
  EXPECT_TRUE(Silent(Render(500)));
  EXPECT_EQ(gMusic.sampleSlot, SFX_SLOT_NONE);
  for (const SfxSlotTable* t : {&gSfx2d, &gSfx3d})
    for (const SfxSlotEntry& e : t->entry) EXPECT_EQ(+e.inUse, 0);
}

}  // namespace
