// Trajectory sets for the computer-driver, recovery and progress suites:
// straight lines of points written straight into gTrajectories.
#pragma once
#include <initializer_list>

#include "race/trajectory.h"
#include "vehicle_fixture.h"

// A line of `count` points from (x, z), each (dx, dz) after the one before.
inline void SetLine(int32_t slot, int32_t count, float x, float z, float dx, float dz) {
  Trajectory& t = gTrajectories[slot];
  t = Trajectory{};
  t.count = count;
  for (int32_t i = 0; i < count; ++i) t.points[i] = TrajPoint{x + dx * static_cast<float>(i), z + dz * static_cast<float>(i)};
}

inline void ClearTrajectories() {
  for (Trajectory& t : gTrajectories) t = Trajectory{};
}

class AiTest : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    ClearTrajectories();
    gRace.trajectoriesLoaded = 1;
    gRace.lapCount = 3;
  }
};
