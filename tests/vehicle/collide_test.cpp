// Vehicle against vehicle: the three-stage overlap test through the back
// end's outline clipper, the response to a contact, and which vehicles the
// pass tests in each kind of race.
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "net/net.h"
#include "race/collide.h"
#include "vehicle_fixture.h"

namespace {

class Collide : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    BuildRacePlane(0);
    gRace.gameMode = 1;
    gRace.trajectoriesLoaded = 1;
  }
  // A car with a footprint 16 wide, 10 high and 30 long, driving at `velocity`.
  static Vehicle* Car(Vehicle* v, float x, float z, float heading, float velocity, uint8_t human = 0) {
    MakeCar(v, x, z, heading, human);
    const float box[6] = {-8.0f, 8.0f, -5.0f, 5.0f, -15.0f, 15.0f};
    for (int i = 0; i < 6; ++i) v->footprint[i] = box[i];
    v->velocity = velocity;
    v->prevPos[0] = x;
    v->prevPos[1] = v->pose.y;
    v->prevPos[2] = z;
    return v;
  }
  static bool Touched(const Vehicle& v) { return v.contactFlag != 0; }
  Vehicle& ai(int slot) { return gVehicleRecords[slot]; }
};

TEST_F(Collide, TheOverlapTestSeparatesByHeightAndByTheFootprints) {
  struct Case {
    const char* name;
    float dy, dz;
    float velocityA;
    bool overlap;
  };
  const Case cases[] = {
      {"same place", 0.0f, 0.0f, 50.0f, true},
      {"12 above: edges of 5 do not meet", 12.0f, 0.0f, 50.0f, false},
      {"8 above", 8.0f, 0.0f, 50.0f, true},
      {"12 below", -12.0f, 0.0f, 50.0f, false},
      {"20 ahead: reached by the far edge", 0.0f, 20.0f, 50.0f, true},
      {"20 ahead of a car driving backwards: no far edge", 0.0f, 20.0f, -10.0f, false},
      {"20 behind a car driving backwards", 0.0f, -20.0f, -10.0f, true},
      {"40 ahead", 0.0f, 40.0f, 50.0f, false},
      {"beyond the square test", 0.0f, 101.0f, 50.0f, false},
  };
  for (const Case& c : cases) {
    Vehicle a, b;
    Car(&a, 1000.0f, 1000.0f, 0.0f, c.velocityA);
    Car(&b, 1000.0f, 1000.0f + c.dz, 0.0f, 0.0f);
    b.pose.y += c.dy;
    EXPECT_EQ(CollideTestPair(&a, &b, true), c.overlap) << c.name;
  }
}

TEST_F(Collide, TheBoxTurnsWithEachVehiclesHeading) {
  Vehicle a, b;
  // A lies across the z axis (heading 256, long in x); B points along z, 20 to the side in x.
  Car(&a, 1000.0f, 1000.0f, 256.0f, 50.0f);
  Car(&b, 1020.0f, 1000.0f, 0.0f, 0.0f);
  EXPECT_TRUE(CollideTestPair(&a, &b, true));
  a.pose.heading = 0.0f;  // now 8 wide: 20 - 8 leaves B's edge at 12
  EXPECT_FALSE(CollideTestPair(&a, &b, true));
  b.pose.heading = 256.0f;  // B's length now reaches back to A
  EXPECT_TRUE(CollideTestPair(&a, &b, true));
}

TEST_F(Collide, TheClosingVelocityAddsHeadOnAndSubtractsFromBehind) {
  struct Case {
    const char* name;
    float headingB, vA, vB;
    float pushFaster, pushSlower;
  };
  const Case cases[] = {
      {"head-on adds", 512.0f, 20.0f, 15.0f, 35.0f, 35.0f},
      {"a quarter turn apart counts as head-on", 256.0f, 20.0f, 15.0f, 35.0f, 35.0f},
      {"rear-end takes the difference, at least 10 and 20", 0.0f, 20.0f, 15.0f, 10.0f, 20.0f},
      {"rear-end above the floors", 0.0f, 45.0f, 10.0f, 35.0f, 35.0f},
  };
  for (const Case& c : cases) {
    Vehicle a, b;
    Car(&a, 1000.0f, 1000.0f, 0.0f, c.vA);
    Car(&b, 1000.0f, 1010.0f, c.headingB, c.vB);
    CollideRespond(&a, &b);
    EXPECT_FLOAT_EQ(a.pushVelocity2, c.pushFaster) << c.name;
    EXPECT_FLOAT_EQ(b.pushVelocity2, c.pushSlower) << c.name;
    EXPECT_TRUE(Touched(a) && Touched(b)) << c.name;
    EXPECT_EQ(+a.contactSoundFlag, 1) << c.name;
    EXPECT_FLOAT_EQ(a.tractionOverride, 20.0f) << c.name;
    EXPECT_FLOAT_EQ(b.tractionOverride, 10.0f) << c.name;
  }
}

TEST_F(Collide, ASlowVehiclePushedAgainstItsHeadingGoesBackToItsStepStart) {
  struct Case {
    const char* name;
    float dzOther, velocity;
    bool putBack;
  };
  const Case cases[] = {
      {"pushed backwards while slow", 10.0f, 60.0f, true},
      {"pushed forwards", -10.0f, 60.0f, false},
      {"pushed backwards at 100", 10.0f, 100.0f, false},
  };
  for (const Case& c : cases) {
    Vehicle a, b;
    Car(&a, 1000.0f, 1000.0f, 0.0f, c.velocity);
    a.prevPos[2] = 990.0f;
    Car(&b, 1000.0f, 1000.0f + c.dzOther, 0.0f, 0.0f);
    CollideRespond(&a, &b);
    EXPECT_EQ(a.pose.z == 990.0f, c.putBack) << c.name << " z " << a.pose.z;
  }
}

TEST_F(Collide, AHardHitNeedsAPushAbove150OutsideTheThrownStates) {
  struct Case {
    float push;
    int32_t state;
    bool hard;
    float after;
  };
  const Case cases[] = {
      {50.0f, VEHICLE_ON_GROUND, false, 50.0f},  {60.0f, VEHICLE_ON_GROUND, false, 50.0f},
      {150.0f, VEHICLE_ON_GROUND, false, 50.0f}, {151.0f, VEHICLE_ON_GROUND, true, 50.0f},
      {151.0f, VEHICLE_IN_AIR, true, 50.0f},     {151.0f, VEHICLE_KNOCKED, false, 50.0f},
      {151.0f, VEHICLE_RESETTING, false, 50.0f}, {151.0f, VEHICLE_JUMP_FLIGHT, false, 50.0f},
      {151.0f, VEHICLE_JUMP_RUNUP, false, 50.0f}, {30.0f, VEHICLE_ON_GROUND, false, 30.0f},
  };
  for (const Case& c : cases) {
    Vehicle v{};
    v.pushVelocity2 = c.push;
    v.state = c.state;
    EXPECT_EQ(CollideHardHit(&v), c.hard) << c.push << " state " << c.state;
    EXPECT_FLOAT_EQ(v.pushVelocity2, c.after) << c.push << " state " << c.state;
  }
}

TEST_F(Collide, AHeadOnCrashKnocksTheSlowerVehicleAndCutsTheFastersPush) {
  Vehicle a, b;
  Car(&a, 1000.0f, 1000.0f, 0.0f, 120.0f);
  Car(&b, 1000.0f, 1010.0f, 512.0f, 100.0f);
  CollideRespond(&a, &b);
  EXPECT_EQ(+b.state, VEHICLE_KNOCKED);  // closing at 220: above 150
  EXPECT_FLOAT_EQ(b.knockImpulse, 55.0f);  // a quarter of it
  EXPECT_NE(+a.state, VEHICLE_KNOCKED);
  EXPECT_FLOAT_EQ(a.pushVelocity2, 50.0f);
}

TEST_F(Collide, TheStuckCheckSendsComputerCarsBackAndBlocksHumans) {
  struct Case {
    const char* name;
    uint8_t human;
    int32_t state;
    float contact;
    int32_t stateAfter;
    float timer;
  };
  const Case cases[] = {
      {"computer on the ground backs off", 0, VEHICLE_ON_GROUND, 21.0f, VEHICLE_BACKING_OFF, 60.0f},
      {"computer sliding is blocked", 0, VEHICLE_CONTACT_SLIDE, 21.0f, VEHICLE_BLOCKED, 60.0f},
      {"computer blocked stays", 0, VEHICLE_BLOCKED, 21.0f, VEHICLE_BLOCKED, 0.0f},
      {"traffic object backs off", 2, VEHICLE_ON_GROUND, 21.0f, VEHICLE_BACKING_OFF, 60.0f},
      {"human is blocked", 1, VEHICLE_ON_GROUND, 21.0f, VEHICLE_BLOCKED, 5.0f},
      {"not yet stuck", 1, VEHICLE_ON_GROUND, 20.0f, VEHICLE_ON_GROUND, 0.0f},
  };
  for (const Case& c : cases) {
    Vehicle v{};
    v.human = c.human;
    v.state = c.state;
    v.contactTime = c.contact;
    CollideStuckCheck(&v);
    EXPECT_EQ(+v.state, c.stateAfter) << c.name;
    EXPECT_FLOAT_EQ(v.stateTimer, c.timer) << c.name;
  }
  Vehicle done{};
  done.contactTime = 30.0f;
  done.finished = 1;
  CollideStuckCheck(&done);
  EXPECT_EQ(+done.state, VEHICLE_ON_GROUND);
}

TEST_F(Collide, TrainingTestsOnlyTheSplitScreenPair) {
  struct Case {
    const char* name;
    int32_t gameMode, playersMode;
    bool playersTouch, computersTouch;
  };
  const Case cases[] = {
      {"training, one player", 0, 0, false, false},
      {"training, split screen", 0, 1, true, false},
      {"arcade, split screen", 1, 1, true, true},
  };
  for (const Case& c : cases) {
    Restart();
    BuildRacePlane(0);
    gRace.trajectoriesLoaded = 1;
    gRace.gameMode = c.gameMode;
    gRace.playersMode = c.playersMode;
    Car(&gPlayer1, 1000.0f, 1000.0f, 0.0f, 30.0f, 1);
    Car(gPlayer2Vehicle, 1000.0f, 1010.0f, 0.0f, 20.0f, 1);
    Car(&ai(2), 3000.0f, 3000.0f, 0.0f, 30.0f);
    Car(&ai(3), 3000.0f, 3010.0f, 0.0f, 20.0f);
    CollideAllVehicles();
    EXPECT_EQ(Touched(gPlayer1) && Touched(*gPlayer2Vehicle), c.playersTouch) << c.name;
    EXPECT_EQ(Touched(ai(2)) && Touched(ai(3)), c.computersTouch) << c.name;
  }
}

TEST_F(Collide, ResettingSinkingAndProtectedVehiclesAreOnlyHitAsTheSecond) {
  struct Case {
    const char* name;
    int32_t state;
    float protect;
  };
  const Case cases[] = {{"resetting", VEHICLE_RESETTING, 0.0f},
                        {"sinking", VEHICLE_SINKING, 0.0f},
                        {"protected", VEHICLE_ON_GROUND, 10.0f}};
  for (const Case& c : cases) {
    Car(&ai(1), 1000.0f, 1000.0f, 0.0f, 30.0f);
    Car(&ai(2), 1000.0f, 1010.0f, 0.0f, 20.0f);
    ai(1).state = c.state;
    ai(1).hitProtect = c.protect;
    CollideVehicle(&ai(1), nullptr);
    EXPECT_FALSE(Touched(ai(1)) || Touched(ai(2))) << c.name;
    CollideVehicle(&ai(2), nullptr);
    EXPECT_TRUE(Touched(ai(1)) && Touched(ai(2))) << c.name;
  }
}

TEST_F(Collide, AContactCopiesTheHeadingsToTheComputerDrivers) {
  Car(&ai(1), 1000.0f, 1000.0f, 0.0f, 60.0f);
  Car(&ai(2), 1000.0f, 1010.0f, 0.0f, 20.0f);
  ai(1).slideAngle = 150.0f;  // the contact starts a slide above 100
  ai(1).aiHeading = 7;
  ai(2).aiHeading = 7;
  CollideVehicle(&ai(1), &ai(1));
  EXPECT_EQ(+ai(1).aiHeading, TruncI32(ai(1).heading));
  EXPECT_EQ(+ai(2).aiHeading, TruncI32(ai(2).heading));
  EXPECT_EQ(+ai(1).state, VEHICLE_CONTACT_SLIDE);
}

TEST_F(Collide, AnyVehicleSearchesTheCandidatesOfThePass) {
  struct Case {
    const char* name;
    int32_t gameMode, playersMode;
    uint8_t noHuman;
    Vehicle* other;
    bool found;
  };
  const Case cases[] = {
      {"a computer car", 1, 0, 0, &gVehicleRecords[3], true},
      {"a computer car in training", 0, 0, 0, &gVehicleRecords[3], false},
      {"player 2 in training", 0, 1, 0, &gVehicleRecords[0], true},
      {"the extra car without the no-human mode", 1, 0, 0, &gVehicleRecords[VEHICLE_EXTRA_CAR], false},
      {"the extra car in the no-human mode", 1, 0, 1, &gVehicleRecords[VEHICLE_EXTRA_CAR], true},
  };
  for (const Case& c : cases) {
    Restart();
    BuildRacePlane(0);
    gRace.gameMode = c.gameMode;
    gRace.playersMode = c.playersMode;
    gRace.noHumanMode = c.noHuman;
    Vehicle probe;
    Car(&probe, 1000.0f, 1000.0f, 0.0f, 0.0f, 1);
    Car(c.other, 1000.0f, 1010.0f, 0.0f, 0.0f);
    // The state that keeps a vehicle from testing does not keep it from being found.
    probe.state = VEHICLE_RESETTING;
    EXPECT_EQ(CollideAnyVehicle(&probe), c.found) << c.name;
    EXPECT_FALSE(Touched(probe)) << c.name;
  }
}

TEST_F(Collide, NetworkParticipantsAreTestedAgainstEachOther) {
  gRace.networkGame = 1;
  gRace.gameMode = 4;
  gNetParticipants.count = 3;
  gNetParticipants.ownIndex = 0;
  gNetParticipants.records[0] = &gPlayer1;
  gNetParticipants.records[1] = &ai(1);
  gNetParticipants.records[2] = &ai(2);
  Car(&gPlayer1, 5000.0f, 5000.0f, 0.0f, 30.0f, 1);
  Car(&ai(1), 1000.0f, 1000.0f, 0.0f, 30.0f);
  Car(&ai(2), 1000.0f, 1010.0f, 0.0f, 20.0f);
  ai(2).aiHeading = 3;
  CollideAllVehicles();
  EXPECT_TRUE(Touched(ai(1)) && Touched(ai(2)));
  EXPECT_FALSE(Touched(gPlayer1));
  // A participant's heading is its own machine's to set.
  EXPECT_EQ(+ai(2).aiHeading, 3);
}

}  // namespace
