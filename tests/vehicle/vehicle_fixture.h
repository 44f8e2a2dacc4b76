// Shared by the vehicle suites: the null back end open (sine table, pools),
// a virtual clock, the race clock at 25 frames a second, clean vehicle
// records, terrains built from corner heights, and what the step handed to
// the sound, effect and force-feedback stand-ins.
//
// Fields of the packed records go to the EXPECT macros as values (a unary +):
// the macros bind references, and a packed field may be misaligned.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine3d/terrain.h"
#include "race/race.h"
#include "race/vehicle_steps.h"

// "Name" or "Name(args)" of every recorded call, in order.
extern std::vector<std::string> gVehicleCalls;
// The sound events SfxUpdateVehicle was given.
extern std::vector<int32_t> gSoundEvents;
int CountCalls(const std::string& call);
// What the placed-object stand-ins answer: the object gives way when hit,
// the object is of a solid kind (a building).
extern uint8_t gTestObjectGivesWay;
extern uint8_t gTestObjectSolid;

class VehicleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A fresh fixture inside one test, for a table of cases.
  void Restart() {
    TearDown();
    SetUp();
  }
  // Frames a second: the race clock's values as the frame clock sets them.
  static void SetFrameRate(float fps);
  // A terrain of `columns` x `rows` corners `spacing` apart from the origin,
  // each heights(column, row), without subdivision or roughness.
  void BuildTerrain(uint32_t columns, uint32_t rows, float spacing, const std::function<int(uint32_t, uint32_t)>& heights);
  // The race's grid geometry (17 x 9 corners cut 10 times, 100 apart) as a plane.
  void BuildRacePlane(int height);
  // A car of type 0 on the ground at (x, z), heading `heading`, dynamics reset,
  // its pose current.
  static void MakeCar(Vehicle* v, float x, float z, float heading, uint8_t human = 1);
  // One drive step of `v` with gRace.currentPose on it.
  static void Step(Vehicle* v, Vehicle* driver = nullptr);

  TerrainDesc desc_{};
  std::vector<int16_t> heights_;
};
