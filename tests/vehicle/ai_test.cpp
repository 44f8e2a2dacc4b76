// The computer driver, the trajectory pickers, the remote vehicles of a
// network race and the guide heading.
#include "ai_fixture.h"
#include "engine3d/angle.h"
#include "engine3d/random.h"
#include "net/net.h"
#include "race/tracks.h"

namespace {

class Driver : public AiTest {
 protected:
  void SetUp() override {
    AiTest::SetUp();
    BuildRacePlane(0);
    // Slot 0 runs along +z from (1000, 1000), a point every 500 units.
    SetLine(0, 10, 1000.0f, 1000.0f, 0.0f, 500.0f);
    car_ = &gVehicleRecords[1];
    MakeCar(car_, 1000.0f, 500.0f, 0.0f, 0);
    car_->aiSlot = 0;
    car_->aiPoint = 1;  // (1000, 1500), straight ahead: heading 0
    car_->aiHeading = 0;
    gPlayer1.progress = 10000;
    car_->progress = 10000;
  }
  void Drive() {
    gRace.currentPose = &car_->pose;
    AiDriveVehicle(car_, car_);
  }
  Vehicle* car_ = nullptr;
};

TEST_F(Driver, ThePointAdvancesOnlyWhenBothDistancesAreBelow200) {
  struct Case {
    float dx, dz;
    int32_t point;
  };
  const Case cases[] = {{199.9f, 0.0f, 2}, {200.0f, 0.0f, 1}, {0.0f, -200.0f, 1}, {-199.0f, 199.0f, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dz);
    car_->aiPoint = 1;
    car_->pose.x = 1000.0f + c.dx;
    car_->pose.z = 1500.0f + c.dz;
    Drive();
    EXPECT_EQ(+car_->aiPoint, c.point);
  }
  // The last point reached: a new trajectory from its first point.
  SetLine(3, 4, 5000.0f, 5000.0f, 0.0f, 500.0f);
  car_->aiPoint = 9;
  car_->pose.x = 1000.0f;
  car_->pose.z = 5500.0f;
  Drive();
  EXPECT_EQ(+car_->aiPoint, 0);
  EXPECT_TRUE(car_->aiSlot == 0 || car_->aiSlot == 3);
}

TEST_F(Driver, SteeringIsFourTimesTheHeadingDifferenceWithinTheLock) {
  struct Case {
    int32_t difference;
    float steer;
  };
  const Case cases[] = {{30, 120.0f}, {-30, -120.0f}, {100, 320.0f}, {-100, -320.0f}, {1, 4.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difference);
    car_->aiHeading = static_cast<uint16_t>((0 - c.difference) & ANGLE_MASK);
    Drive();
    EXPECT_EQ(+car_->steerInput, c.steer);
  }
  // The driver's heading turns 0.12 of the way a frame.
  car_->aiHeading = 1024 - 100;
  Drive();
  EXPECT_EQ(+car_->aiHeading, 1024 - 100 + 12);
  // In the air or before the start nothing is steered.
  car_->steerInput = 7.0f;
  car_->state = VEHICLE_IN_AIR;
  Drive();
  EXPECT_EQ(+car_->steerInput, 7.0f);
}

TEST_F(Driver, ACarFarAheadAtSpeedHoldsBackExceptOnTheLoopingAndTheDemoSunset) {
  struct Case {
    int32_t track;
    uint8_t noHuman;
    float velocity;
    int32_t ahead;
    uint8_t throttle;
  };
  const Case cases[] = {
      {TRACK_DESERT, 0, 151.0f, 501, 0}, {TRACK_DESERT, 0, 150.0f, 501, 1}, {TRACK_DESERT, 0, 151.0f, 500, 1},
      {TRACK_LOOPING, 0, 151.0f, 501, 1}, {TRACK_SUNSET, 1, 151.0f, 501, 1}, {TRACK_SUNSET, 0, 151.0f, 501, 0},
      {TRACK_LOOPING, 1, 151.0f, 501, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "track " << c.track << " demo " << +c.noHuman << " v " << c.velocity << " ahead "
                                    << c.ahead);
    gRace.trackIndex = c.track;
    gRace.noHumanMode = c.noHuman;
    // In the demo the extra car is the one to keep near.
    Vehicle& reference = c.noHuman ? gVehicleRecords[VEHICLE_EXTRA_CAR] : gPlayer1;
    reference.progress = 10000;
    car_->progress = 10000 + c.ahead;
    car_->velocity = c.velocity;
    car_->brakeCmd = 1;
    Drive();
    EXPECT_EQ(+car_->throttleCmd, c.throttle);
    EXPECT_EQ(+car_->brakeCmd, 0);
    EXPECT_EQ(+car_->aiProgressGap, c.ahead);
  }
}

TEST_F(Driver, TheReferenceIsTheLeadingHumanInSplitScreenAndTheOwnCarInANetworkRace) {
  gRace.playersMode = 1;
  gPlayer2Vehicle = &gVehicleRecords[0];
  gPlayer1.progress = 3000;
  gVehicleRecords[0].progress = 3000;
  car_->progress = 1000;
  Drive();
  EXPECT_EQ(+car_->aiProgressGap, -2000);
  gPlayer1.progress = 5000;
  Drive();
  EXPECT_EQ(+car_->aiProgressGap, -4000);
}

TEST_F(Driver, BoostOnlyFarBehindAndWhileTheSteeringIsSmall) {
  struct Case {
    int32_t behind;
    int32_t difference;
    uint8_t boost;
  };
  const Case cases[] = {{4001, 0, 1}, {4001, 12, 1}, {4001, 13, 0}, {4000, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.behind << " behind, difference " << c.difference);
    car_->boostButton = 0;
    car_->boostLeft = 0.0f;
    car_->progress = gPlayer1.progress - c.behind;
    car_->aiHeading = static_cast<uint16_t>((0 - c.difference) & ANGLE_MASK);
    car_->velocity = 50.0f;
    Drive();
    EXPECT_EQ(+car_->boostButton, c.boost);
  }
  // Before the start no boost, however far behind.
  gRace.raceStarted = 0;
  car_->boostButton = 0;
  car_->aiHeading = 0;
  Drive();
  EXPECT_EQ(+car_->boostButton, 0);
  EXPECT_EQ(+car_->throttleCmd, 0);
  EXPECT_EQ(+car_->aiProgressGap, 0);
}

TEST_F(Driver, ASharpBendAtSpeedBrakesForSixFrames) {
  struct Case {
    int32_t difference;
    float velocity;
    int32_t behind;
    bool brakes;
  };
  const Case cases[] = {{65, 101.0f, 0, true}, {64, 101.0f, 0, false}, {-65, 101.0f, 499, true},
                        {65, 100.0f, 0, false}, {65, 101.0f, 500, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.difference << " at " << c.velocity << ", " << c.behind << " behind");
    car_->brakeTimer = 0.0f;
    car_->progress = gPlayer1.progress - c.behind;
    car_->aiHeading = static_cast<uint16_t>((0 - c.difference) & ANGLE_MASK);
    car_->velocity = c.velocity;
    Drive();
    EXPECT_EQ(car_->brakeCmd == 1 && car_->throttleCmd == 0, c.brakes);
    EXPECT_EQ(+car_->brakeTimer, c.brakes ? 5.0f : 0.0f);
  }
  // The timer runs out over the next frames, the bend or not.
  car_->brakeTimer = 1.5f;
  car_->aiHeading = 0;
  Drive();
  EXPECT_EQ(+car_->brakeCmd, 1);
  Drive();
  EXPECT_EQ(+car_->brakeCmd, 1);
  Drive();
  EXPECT_EQ(+car_->brakeCmd, 0);
}

TEST_F(Driver, AFinishedCarBrakesToAStop) {
  car_->finished = 1;
  car_->velocity = 150.0f;
  Drive();
  EXPECT_EQ(+car_->handbrakeButton, 1);
  EXPECT_EQ(+car_->brakeCmd, 1);
  EXPECT_EQ(+car_->throttleCmd, 0);
  car_->handbrakeButton = 0;
  car_->velocity = 80.0f;
  Drive();
  EXPECT_EQ(+car_->handbrakeButton, 0);
  EXPECT_EQ(+car_->brakeCmd, 1);
  car_->velocity = -3.0f;
  Drive();
  EXPECT_EQ(+car_->brakeCmd, 0);
  EXPECT_EQ(+car_->velocity, 0.0f);
}

TEST_F(Driver, TheExhaustFlamesWhenACloseCarBrakesForwardAndItsModelShowsIt) {
  struct Case {
    int32_t cameraDistance;
    uint8_t modelShows;
    float velocity;
    uint8_t flame;
  };
  const Case cases[] = {{319, 1, 101.0f, 1}, {320, 1, 101.0f, 0}, {319, 0, 101.0f, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cameraDistance << " " << +c.modelShows);
    CarModel model{};
    model.flag2 = c.modelShows;
    gVehicleStep.carModel = &model;
    car_->exhaustFlame = 0;
    car_->brakeTimer = 0.0f;
    car_->cameraDistance = c.cameraDistance;
    car_->velocity = c.velocity;
    car_->aiHeading = static_cast<uint16_t>(1024 - 100);
    Drive();
    EXPECT_EQ(+car_->exhaustFlame, c.flame);
  }
  gVehicleStep.carModel = nullptr;
}

TEST_F(Driver, NothingHappensWithoutTrajectories) {
  gRace.trajectoriesLoaded = 0;
  car_->aiHeading = 900;
  car_->throttleCmd = 1;
  Drive();
  EXPECT_EQ(+car_->aiHeading, 900);
  EXPECT_EQ(+car_->throttleCmd, 1);
  EXPECT_EQ(+car_->aiPoint, 1);
}

TEST_F(AiTest, StartTrajectoriesRotateOverTheNonEmptySlotsAndFollowTheChampionshipRank) {
  SetLine(0, 5, 100.0f, 100.0f, 10.0f, 0.0f);
  SetLine(1, 5, 100.0f, 200.0f, 10.0f, 0.0f);
  SetLine(3, 5, 100.0f, 300.0f, 10.0f, 0.0f);
  Vehicle v{};
  v.championRank = -1;
  AiSetNextTrajectory(0);
  for (int32_t want : {0, 1, 3, 0}) {
    v.aiPoint = 7;
    AiPickStartTrajectory(&v);
    EXPECT_EQ(+v.aiSlot, want);
    EXPECT_EQ(+v.aiPoint, 0);
  }
  struct Case {
    int32_t rank;
    int32_t slot;
  };
  // Rank 6 gives -1, reduced to slot 15 and wrapped round to the first line.
  // A rank of no grid place (0 in a record that never raced a championship)
  // is no rank: the rotating counter goes on.
  const Case cases[] = {{2, 3}, {4, 1}, {5, 0}, {3, 3}, {6, 0}, {0, 1}, {7, 3}};
  gRace.gameMode = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rank);
    v.championRank = c.rank;
    AiPickStartTrajectory(&v);
    EXPECT_EQ(+v.aiSlot, c.slot);
  }
  // A new trajectory is drawn at random among the non-empty ones.
  for (int i = 0; i < 40; ++i) {
    AiPickNewTrajectory(&v);
    EXPECT_TRUE(v.aiSlot == 0 || v.aiSlot == 1 || v.aiSlot == 3) << v.aiSlot;
  }
}

TEST_F(AiTest, RemoteAnglesWrapThroughHalfATurn) {
  struct Case {
    float now, before;
    int32_t step;
  };
  const Case cases[] = {{10.0f, 1000.0f, 34},   {1000.0f, 10.0f, -34}, {600.0f, 0.0f, -424}, {0.0f, 600.0f, 424},
                        {512.0f, 0.0f, 512},    {0.0f, 512.0f, -512},  {2058.0f, 1.0f, 9},   {-3.0f, 3.0f, -6}};
  for (const Case& c : cases) EXPECT_EQ(AiRemoteAngleStep(c.now, c.before), c.step) << c.now << " - " << c.before;
}

TEST_F(AiTest, ARemoteStateIsSpreadOverItsIntervalOr100Milliseconds) {
  struct Case {
    int32_t interval, minimum;
    float perFrame;
  };
  // 100 units apart, frames of 25 ms.
  const Case cases[] = {{40, 50, 25.0f}, {40, 30, 62.5f}, {0, 0, 25.0f}, {-40, -100, 25.0f}, {100, 0, 25.0f}};
  gRace.netFrameMs = 25;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.interval << " ms, minimum " << c.minimum);
    Vehicle v{};
    v.aiProgressGap = 77;
    gRace.currentPose = &v.pose;
    gNetParticipants = NetParticipants{};
    gNetParticipants.minimumIntervalMs = c.minimum;
    gNetParticipants.intervalMs[2] = c.interval;
    gNetParticipants.newest[2].pose[0] = 100.0f;
    gNetParticipants.newest[2].velocity = 100.0f;
    gNetParticipants.newest[2].pose[3] = 10.0f;  // pitch, from 1000 before
    gNetParticipants.previous[2].pose[3] = 1000.0f;
    gNetParticipants.stateConsumed[2] = 1;
    AiRemoteExtrapolate(&v, &v, 2);
    EXPECT_EQ(+v.pose.x, c.perFrame);
    EXPECT_EQ(+v.velocity, c.perFrame);
    EXPECT_EQ(+gNetParticipants.stateConsumed[2], 0);
    EXPECT_EQ(+v.aiProgressGap, 0);
    // Increments stay until the next state; the angles stay within a turn.
    AiRemoteExtrapolate(&v, &v, 2);
    EXPECT_EQ(+v.pose.x, 2.0f * c.perFrame);
  }
  Vehicle v{};
  gRace.currentPose = &v.pose;
  gNetParticipants = NetParticipants{};
  gNetParticipants.intervalMs[0] = 25;
  gNetParticipants.newest[0].pose[3] = 10.0f;
  gNetParticipants.previous[0].pose[3] = 1000.0f;
  gNetParticipants.newest[0].steerInput = 400.0f;
  gNetParticipants.stateConsumed[0] = 1;
  v.pose.pitch = 1020.0f;
  AiRemoteExtrapolate(&v, &v, 0);
  EXPECT_EQ(+v.pose.pitch, 30.0f);  // 1020 + 34, masked
  EXPECT_EQ(+v.steerInput, 320.0f);
  // A participant index outside the table is left alone.
  AiRemoteExtrapolate(&v, &v, -1);
  AiRemoteExtrapolate(&v, &v, NET_MAX_PARTICIPANTS);
  EXPECT_EQ(+v.pose.pitch, 30.0f);
}

TEST_F(AiTest, TheRemotePointAdvancesLikeTheDriversOwn) {
  SetLine(0, 3, 1000.0f, 1000.0f, 0.0f, 500.0f);
  Vehicle v{};
  v.pose = Camera{1000.0f, 0.0f, 2150.0f, 0.0f, 0.0f, 0.0f};
  gRace.currentPose = &v.pose;
  v.aiPoint = 2;
  AiRemoteAdvancePoint(&v);
  EXPECT_EQ(+v.aiPoint, 0);
  AiRemoteAdvancePoint(&v);
  EXPECT_EQ(+v.aiPoint, 0);
}

TEST_F(AiTest, TheGuideFavoursItsOwnLineAndGivesUpAfter50Misses) {
  BuildRacePlane(0);
  SetLine(0, 20, 100.0f, 5000.0f, 100.0f, 0.0f);  // far away
  SetLine(1, 20, 2100.0f, 1100.0f, 0.0f, 100.0f);  // 100 from the car
  SetLine(2, 20, 2300.0f, 1000.0f, 0.0f, 100.0f);  // 300 from the car
  Vehicle v{};
  v.pose = Camera{2000.0f, 0.0f, 2000.0f, 0.0f, 0.0f, 0.0f};
  gRace.currentPose = &v.pose;
  v.guidePoint = -1;
  v.nearestTrajectory = &gTrajectories[2];
  AiUpdateGuide(&v);
  EXPECT_EQ(v.nearestTrajectory, &gTrajectories[2]);
  EXPECT_EQ(+v.guidePoint, 10);
  // Without a line of its own the other slots weigh the same: the nearer wins.
  v.nearestTrajectory = nullptr;
  v.guidePoint = -1;
  AiUpdateGuide(&v);
  EXPECT_EQ(v.nearestTrajectory, &gTrajectories[1]);
  EXPECT_EQ(+v.guidePoint, 9);

  // The guide points two ahead, relative to the vehicle's heading.
  v.guideHeading = 0;
  v.heading = 100.0f;
  gRace.timeStepFifth = 1.0f;
  AiUpdateGuide(&v);
  EXPECT_EQ(+v.guideHeading, (MathAngleTo(2000.0f, 2000.0f, 2200.0f, 2100.0f) - 100) & ANGLE_MASK);

  // A jump of four points is a miss; after 50 the guide lets go.
  v.guidePoint = 3;
  for (int i = 1; i <= 50; ++i) AiUpdateGuide(&v);
  EXPECT_EQ(+v.guideMisses, 50);
  EXPECT_EQ(+v.guidePoint, 3);
  AiUpdateGuide(&v);
  EXPECT_EQ(+v.guidePoint, -1);
  AiUpdateGuide(&v);
  EXPECT_EQ(+v.guideMisses, 0);

  // In the last four points of the line there is no guide point.
  v.pose.z = 1100.0f + 16.0f * 100.0f;
  v.guidePoint = 16;
  AiUpdateGuide(&v);
  EXPECT_EQ(+v.guidePoint, -1);
  v.pose.z = 1100.0f + 15.0f * 100.0f;
  v.guidePoint = 15;
  AiUpdateGuide(&v);
  EXPECT_EQ(+v.guidePoint, 15);
}

}  // namespace
