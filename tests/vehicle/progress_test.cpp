// The course's dense points and grid, race progress, laps, the zone map's
// warnings and the coded ground cells.
#include <cmath>
#include <cstring>
#include <vector>

#include "ai_fixture.h"
#include "frontend/frontend.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "race/track_files.h"
#include "race/tracks.h"

namespace {

// The grid as a scan of every dense point for each cell builds it, marking
// the points it takes by negating their x.
std::vector<std::vector<TrajDensePoint>> ScanGrid() {
  std::vector<TrajDensePoint> points(gTrajDense, gTrajDense + gTrajDenseCount);
  std::vector<std::vector<TrajDensePoint>> cells;
  for (int32_t r = 0; r < TRAJ_GRID_ROWS; ++r)
    for (int32_t c = 0; c < TRAJ_GRID_COLS; ++c) {
      const float x = 100.0f * static_cast<float>(c), z = 100.0f * static_cast<float>(r);
      std::vector<TrajDensePoint> cell;
      for (TrajDensePoint& p : points)
        if (p.x >= x && p.x < x + 100.0f && p.z >= z && p.z < z + 100.0f) {
          cell.push_back(p);
          p.x = -p.x;
        }
      cells.push_back(cell);
    }
  return cells;
}

void ExpectGridMatchesScan() {
  const auto cells = ScanGrid();
  const TrajDensePoint* next = gTrajGridPoints;
  for (int32_t r = 0; r < TRAJ_GRID_ROWS; ++r)
    for (int32_t c = 0; c < TRAJ_GRID_COLS; ++c) {
      const TrajGridCell& cell = gTrajGrid[r][c];
      const auto& want = cells[static_cast<size_t>(r * TRAJ_GRID_COLS + c)];
      ASSERT_EQ(static_cast<size_t>(cell.count), want.size()) << c << ", " << r;
      ASSERT_EQ(cell.first, next) << c << ", " << r;
      for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(std::memcmp(&cell.first[i], &want[i], sizeof(TrajDensePoint)), 0) << c << ", " << r << " #" << i;
      next += cell.count;
    }
}

// A square course of 1000-unit sides; distance 0 lies at its third corner (2000, 2000).
void SquareCourse() {
  ClearTrajectories();
  Trajectory& t = gTrajectories[0];
  t.count = 4;
  t.points[0] = {1000.0f, 1000.0f};
  t.points[1] = {2000.0f, 1000.0f};
  t.points[2] = {2000.0f, 2000.0f};
  t.points[3] = {1000.0f, 2000.0f};
  TrajBuildGrid();
}

TEST_F(AiTest, TheDenseLineStartsAtTheLastButOnePointEveryTenUnits) {
  SquareCourse();
  EXPECT_EQ(gTrajDenseCount, 400);
  EXPECT_EQ(gTrajLength, 4000.0f);
  EXPECT_EQ(gTrajDense[0].x, 2000.0f);
  EXPECT_EQ(gTrajDense[0].z, 2000.0f);
  EXPECT_EQ(gTrajDense[0].distance, 0.0f);
  EXPECT_EQ(gTrajDense[1].x, 1990.0f);
  EXPECT_EQ(gTrajDense[100].x, 1000.0f);
  EXPECT_EQ(gTrajDense[100].z, 2000.0f);
  EXPECT_EQ(gTrajDense[100].distance, 1000.0f);
  EXPECT_EQ(gTrajDense[399].z, 1990.0f);
  ExpectGridMatchesScan();
}

TEST_F(AiTest, ALongCourseIsCutAt8000DensePointsAndStillMeasuredWhole) {
  // 100 points zigzagging 850 across and 50 along: about 89000 units with the way back.
  Trajectory& t = gTrajectories[0];
  t.count = 100;
  for (int32_t i = 0; i < 100; ++i) t.points[i] = {i % 2 ? 1850.0f : 1000.0f, 100.0f + 50.0f * static_cast<float>(i)};
  TrajBuildGrid();
  EXPECT_EQ(gTrajDenseCount, TRAJ_DENSE_MAX);
  double length = 0.0;
  for (int32_t i = 0; i < 100; ++i) {
    const TrajPoint a = t.points[i], b = t.points[(i + 1) % 100];
    length += std::hypot(b.x - a.x, b.z - a.z);
  }
  EXPECT_NEAR(gTrajLength, length, 1.0);
  EXPECT_LT(gTrajDense[TRAJ_DENSE_MAX - 1].distance, 80000.0f);
  ExpectGridMatchesScan();
}

TEST_F(AiTest, TheGridHoldsTheScansPointsAndPointsOutsideItKeepTheirX) {
  // A loop that leaves the world past x 16000 and below z 0, and touches cell edges.
  Trajectory& t = gTrajectories[0];
  const TrajPoint loop[] = {{15500.0f, 500.0f}, {16500.0f, 500.0f}, {16500.0f, -300.0f}, {14000.0f, -300.0f},
                            {14000.0f, 7999.0f}, {100.0f, 7900.0f}, {0.0f, 0.0f},        {8000.0f, 100.0f}};
  t.count = 8;
  for (int32_t i = 0; i < 8; ++i) t.points[i] = loop[i];
  TrajBuildGrid();
  int32_t outside = 0;
  for (int32_t i = 0; i < gTrajDenseCount; ++i) {
    EXPECT_GE(gTrajDense[i].x, 0.0f) << i;
    outside += gTrajDense[i].x >= 16000.0f || gTrajDense[i].z < 0.0f;
  }
  EXPECT_GT(outside, 100);
  ExpectGridMatchesScan();
}

class Progress : public AiTest {
 protected:
  void SetUp() override {
    AiTest::SetUp();
    BuildRacePlane(0);
    SquareCourse();
    std::memset(gTrackPositionMap, 2, sizeof gTrackPositionMap);
    HudResetMessages();
    ResultsResetBestTimes();
    gRace.gameMode = 1;
    MakeCar(&gPlayer1, 1500.0f, 2030.0f, 0.0f);
    car_ = &gPlayer1;
    car_->lapTimerSlot = 12;
    car_->bestLapMs = VEHICLE_BEST_LAP_NONE;
  }
  // The zone code under the car, and the car's last one.
  void Zones(uint8_t old, uint8_t now) {
    car_->zoneCode = old;
    gTrackPositionMap[TruncZone(car_->pose.z)][TruncZone(car_->pose.x)] = now;
  }
  static int32_t TruncZone(float v) { return static_cast<int32_t>(v * 0.0025f); }
  void Check() {
    gRace.currentPose = &car_->pose;
    RaceCheckZone(car_, car_->human == 1 ? nullptr : car_);
  }
  Vehicle* car_ = nullptr;
};

TEST_F(Progress, ProgressIsLapsTimesTheLengthPlusTheNearestDensePointWithinTwoCells) {
  struct Case {
    float x, z;
    int32_t laps;
    uint8_t crossed, finished;
    int32_t progress;  // -1: unchanged
  };
  const Case cases[] = {
      {1500.0f, 2030.0f, 0, 0, 0, 500},  {1500.0f, 2030.0f, 2, 0, 0, 8500}, {1500.0f, 2250.0f, 1, 0, 0, 4500},
      {1500.0f, 2300.0f, 1, 0, 0, -1},   {2000.0f, 1950.0f, 0, 1, 0, -1},   {2000.0f, 1950.0f, 0, 0, 0, 3950},
      {2000.0f, 1005.0f, 0, 1, 0, 3000}, {1500.0f, 2030.0f, 0, 0, 1, -1},   {-500.0f, -500.0f, 0, 0, 0, -1},
      // Far outside, where a crash or a respawn on a damaged line can put a car: no cell, no overflow.
      {1e30f, 1e30f, 0, 0, 0, -1},       {1500.0f, -1e30f, 0, 0, 0, -1},    {NAN, 2030.0f, 0, 0, 0, -1},
      {2.2e11f, 2030.0f, 0, 0, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.z << " laps " << c.laps << " crossed " << +c.crossed);
    car_->pose.x = c.x;
    car_->pose.z = c.z;
    car_->lapsDone = c.laps;
    car_->lineCrossed = c.crossed;
    car_->finished = c.finished;
    car_->progress = -1;
    gRace.currentPose = &car_->pose;
    RaceUpdateProgress(car_);
    EXPECT_EQ(car_->progress, c.progress);
  }
}

TEST_F(Progress, ALapCountsAtTheFinishLineWhenLongerThan25Seconds) {
  struct Case {
    int32_t gameMode;
    uint8_t started, crossedBefore;
    uint32_t lapMs;
    int32_t laps;
    uint8_t crossedAfter;
  };
  const Case cases[] = {
      {1, 1, 0, 25001, 1, 1}, {1, 1, 0, 25000, 0, 1}, {1, 1, 1, 40000, 0, 1},
      {0, 1, 0, 40000, 0, 0}, {1, 0, 0, 40000, 0, 0}, {4, 1, 0, 40000, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.gameMode << " started " << +c.started << " crossed "
                                    << +c.crossedBefore << " lap " << c.lapMs);
    gRace.gameMode = c.gameMode;
    gRace.raceStarted = c.started;
    car_->lineCrossed = c.crossedBefore;
    car_->lapsDone = 0;
    car_->totalMs = 0;
    Zones(12, 1);
    AppTimerSet(car_->lapTimerSlot, c.lapMs);
    Check();
    EXPECT_EQ(car_->lapsDone, c.laps);
    EXPECT_EQ(+car_->lineCrossed, c.crossedAfter);
    EXPECT_EQ(+car_->zoneCode, 1);
    if (c.laps) {
      EXPECT_EQ(car_->totalMs, static_cast<int32_t>(c.lapMs));
      EXPECT_EQ(car_->lastLapMs, static_cast<int32_t>(c.lapMs));
      EXPECT_EQ(AppTimerElapsed(car_->lapTimerSlot), 0u);  // the next lap's clock started
    }
  }
  // Standing on the line counts nothing more.
  car_->lineCrossed = 0;
  AppTimerSet(car_->lapTimerSlot, 40000);
  Check();
  EXPECT_EQ(car_->lapsDone, 1);
}

TEST_F(Progress, TheBestLapOfTheRaceIsAnnouncedToAHuman) {
  Zones(12, 1);
  AppTimerSet(car_->lapTimerSlot, 40000);
  Check();
  EXPECT_EQ(gHudMessages.global.number, HUD_MSG_BEST_LAP);
  EXPECT_EQ(gHudMessages.global.duration, 2000);
  EXPECT_EQ(gRaceResults.bestLapMs, 40000);
  EXPECT_EQ(car_->bestLapMs, 40000);
  // A slower second lap is no one's best.
  HudResetMessages();
  car_->lineCrossed = 0;
  Zones(12, 1);
  AppTimerSet(car_->lapTimerSlot, 45000);
  Check();
  EXPECT_EQ(gHudMessages.global.number, HUD_MSG_NONE);
  EXPECT_EQ(car_->bestLapMs, 40000);
  EXPECT_EQ(car_->lapsDone, 2);
}

TEST_F(Progress, TheThirdCountedLapOfThreeFinishesTheCarWithLapsDoneTwo) {
  car_->lapsDone = 2;
  car_->totalMs = 150000;
  car_->championTotal = 1000;
  Zones(12, 1);
  AppTimerSet(car_->lapTimerSlot, 30000);
  Check();
  EXPECT_EQ(+car_->finished, 1);
  EXPECT_EQ(car_->lapsDone, 2);
  EXPECT_EQ(car_->totalMs, 180000);
  EXPECT_EQ(car_->championTotal, 181000);
  EXPECT_EQ(gRaceResults.totalMs, 180000);
  EXPECT_EQ(gHudMessages.global.number, HUD_MSG_RACE_OVER);
  EXPECT_EQ(gHudMessages.global.duration, 5000);
  EXPECT_EQ(+car_->finishDelay, 100.0f);
  EXPECT_EQ(+car_->endViewX, 1500.0f);
  EXPECT_EQ(car_->progress, 8 * 4000 + 600000 - 180000);

  // A computer car finishing later, in 181000 ms, ranks 1000 below, above any running car.
  Vehicle* other = &gVehicleRecords[1];
  MakeCar(other, 1500.0f, 2030.0f, 0.0f, 0);
  other->lapTimerSlot = 13;
  other->lapsDone = 2;
  other->totalMs = 151000;
  other->zoneCode = 12;
  AppTimerSet(13, 30000);
  gRace.currentPose = &other->pose;
  RaceCheckZone(other, other);
  EXPECT_EQ(+other->finished, 1);
  EXPECT_EQ(car_->progress - other->progress, 1000);
  EXPECT_GT(other->progress, 3 * 4000);
  EXPECT_EQ(+other->finishDelay, 0.0f);
  // Without human drivers no car finishes.
  MakeCar(other, 1500.0f, 2030.0f, 0.0f, 0);
  other->lapTimerSlot = 13;
  other->lapsDone = 2;
  other->zoneCode = 12;
  gRace.noHumanMode = 1;
  AppTimerSet(13, 30000);
  gRace.currentPose = &other->pose;
  RaceCheckZone(other, other);
  EXPECT_EQ(+other->finished, 0);
  EXPECT_EQ(other->lapsDone, 3);
}

// A course too long to measure in 32 bits (its length built from a line
// that no file can give any more) still ranks a finisher first, never last.
TEST_F(Progress, AFinishOnACourseTooLongToMeasureRanksAtTheTop) {
  gTrajLength = 1e30f;
  car_->lapsDone = 2;
  car_->totalMs = 150000;
  Zones(12, 1);
  AppTimerSet(car_->lapTimerSlot, 30000);
  Check();
  ASSERT_EQ(+car_->finished, 1);
  EXPECT_EQ(car_->progress, INT32_MAX);
}

TEST_F(Progress, ZoneChangesWarnOfTheWrongWayAndTheWrongRoadAndPutBackAtTheEdge) {
  struct Case {
    uint8_t old, now, human;
    int32_t message;
    uint8_t state;
  };
  const Case cases[] = {
      {12, 11, 1, HUD_MSG_WRONG_WAY, VEHICLE_ON_GROUND},  {11, 12, 1, HUD_MSG_NONE, VEHICLE_ON_GROUND},
      {0, 11, 1, HUD_MSG_NONE, VEHICLE_ON_GROUND},        {55, 11, 1, HUD_MSG_NONE, VEHICLE_ON_GROUND},
      {12, 11, 0, HUD_MSG_NONE, VEHICLE_ON_GROUND},       {12, 55, 1, HUD_MSG_WRONG_ROAD, VEHICLE_ON_GROUND},
      {12, 55, 0, HUD_MSG_NONE, VEHICLE_ON_GROUND},       {12, 254, 1, HUD_MSG_OFF_TRACK, VEHICLE_RESETTING},
      {12, 254, 0, HUD_MSG_NONE, VEHICLE_RESETTING},      {12, 0, 1, HUD_MSG_NONE, VEHICLE_ON_GROUND},
      {200, 100, 1, HUD_MSG_WRONG_WAY, VEHICLE_ON_GROUND}, {11, 11, 1, HUD_MSG_NONE, VEHICLE_ON_GROUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << +c.old << " -> " << +c.now << " human " << +c.human);
    HudResetMessages();
    Vehicle* v = c.human ? &gPlayer1 : &gVehicleRecords[1];
    MakeCar(v, 1500.0f, 2030.0f, 0.0f, c.human);
    v->lastGoodX = 1000.0f;
    v->lastGoodZ = 1000.0f;
    v->guidePoint = 5;
    car_ = v;
    Zones(c.old, c.now);
    Check();
    EXPECT_EQ(gHudMessages.global.number, c.message);
    EXPECT_EQ(+v->state, c.state);
    EXPECT_EQ(+v->zoneCode, c.now);
    const bool sector = c.now != 0 && c.now != 55 && c.now != 254 && c.now != c.old;
    EXPECT_EQ(+v->lastGoodX, sector ? 1500.0f : c.now == 254 ? v->pose.x : 1000.0f);
    EXPECT_EQ(+v->guidePoint, c.now == 0 || c.now == 55 || c.now == 254 ? -1 : 5);
  }
  // A knocked car keeps its last good place; one being reset is not put back again.
  MakeCar(car_, 1500.0f, 2030.0f, 0.0f, 1);
  car_->state = VEHICLE_KNOCKED;
  car_->lastGoodX = 1000.0f;
  Zones(12, 13);
  Check();
  EXPECT_EQ(+car_->lastGoodX, 1000.0f);
  HudResetMessages();
  car_->state = VEHICLE_RESETTING;
  Zones(12, 254);
  Check();
  EXPECT_EQ(gHudMessages.global.number, HUD_MSG_NONE);
  EXPECT_EQ(+car_->pose.x, 1500.0f);
}

TEST_F(Progress, OnTheLineOrOffTheCourseProgressWaitsWhileTheRaceRuns) {
  struct Case {
    uint8_t code, started;
    int32_t progress;
  };
  const Case cases[] = {{0, 1, -1}, {1, 1, -1}, {0, 0, 500}, {5, 1, 500}};
  for (const Case& c : cases) {
    gRace.raceStarted = c.started;
    car_->progress = -1;
    car_->lineCrossed = 1;
    Zones(c.code, c.code);
    Check();
    EXPECT_EQ(car_->progress, c.progress) << +c.code << " " << +c.started;
  }
}

TEST_F(Progress, PositionsOutsideTheZoneMapReadOutOfBounds) {
  gTrackPositionMap[19][39] = 9;
  gTrackPositionMap[0][0] = 3;
  struct Case {
    float x, z;
    uint8_t code;
  };
  const Case cases[] = {{15999.0f, 7999.0f, 9}, {0.0f, 0.0f, 3},       {-1.0f, 10.0f, 254},     {10.0f, -0.5f, 254},
                        {16000.0f, 10.0f, 254}, {10.0f, 8000.0f, 254}, {NAN, 10.0f, 254},       {1e30f, 1e30f, 254}};
  for (const Case& c : cases) EXPECT_EQ(+RaceZoneCodeAt(c.x, c.z), +c.code) << c.x << ", " << c.z;
  // A car that a respawn cannot move (no trajectories) stays out of bounds without reading past the map.
  gRace.trajectoriesLoaded = 0;
  car_->pose.x = -3000.0f;
  car_->zoneCode = 12;
  Check();
  EXPECT_EQ(+car_->zoneCode, 254);
  EXPECT_EQ(+car_->pose.x, -3000.0f);
}

TEST_F(Progress, GroundCellsRaiseTheCellLevelAndHighCodesArmTheRamp) {
  struct Case {
    uint8_t code;
    float levelBefore, countdownBefore;
    int32_t result;
    float level, countdown;
    uint8_t rampCode;
  };
  const Case cases[] = {
      {0, 4.0f, 0.0f, 0, 3.8f, 0.0f, 0},   {0, 0.1f, 0.0f, 0, 0.0f, 0.0f, 0},     {5, 4.0f, 0.0f, 1, 4.2f, 0.0f, 0},
      {5, 7.9f, 0.0f, 1, 8.0f, 0.0f, 0},   {55, 4.0f, 0.0f, 1, 4.2f, 0.0f, 0},    {56, 4.0f, 0.0f, 1, 4.2f, 1200.0f, 56},
      {90, 4.0f, 10.0f, 1, 4.2f, 10.0f, 0}, {90, 4.0f, -1.0f, 1, 4.2f, 1200.0f, 90},
  };
  SetFrameRate(12.5f);
  for (const Case& c : cases) {
    SCOPED_TRACE(+c.code);
    gTrackGround[20][15].surface = c.code;
    car_->pose.x = 1550.0f;
    car_->pose.z = 2050.0f;
    car_->cellLevel = c.levelBefore;
    car_->rampCountdown = c.countdownBefore;
    car_->rampCode = 0;
    gRace.currentPose = &car_->pose;
    EXPECT_EQ(VehicleCheckGroundCell(car_), c.result);
    EXPECT_NEAR(car_->cellLevel, c.level, 1e-5f);
    EXPECT_EQ(+car_->cellCode, c.code);
    EXPECT_EQ(+car_->rampCountdown, c.countdown);
    EXPECT_EQ(+car_->rampCode, c.rampCode);
  }
  // Off the grid nothing changes.
  car_->pose.x = 16050.0f;
  car_->cellLevel = 3.0f;
  EXPECT_EQ(VehicleCheckGroundCell(car_), 0);
  EXPECT_EQ(+car_->cellLevel, 3.0f);
  gTrackGround[20][15].surface = 0;
}

TEST_F(Progress, TheLoopJumpStartsOnTheLoopingTrackOnly) {
  struct Case {
    int32_t track;
    float countdown, velocity;
    int32_t jump;
  };
  const Case cases[] = {{TRACK_LOOPING, 100.0f, 121.0f, 1}, {TRACK_LOOPING, 300.0f, 121.0f, 0},
                        {TRACK_LOOPING, 100.0f, 120.0f, 0}, {TRACK_DESERT, 100.0f, 121.0f, 0},
                        {TRACK_LOOPING, 0.0f, 200.0f, 0},   {TRACK_SUNSET, 100.0f, 200.0f, 0}};
  for (const Case& c : cases) {
    gRace.trackIndex = c.track;
    car_->rampCountdown = c.countdown;
    car_->velocity = c.velocity;
    EXPECT_EQ(VehicleCheckLoopJump(car_), c.jump) << c.track << " " << c.countdown << " " << c.velocity;
  }
}

}  // namespace
