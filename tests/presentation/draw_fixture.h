// Shared by the vehicle-drawing suites: the software back end open at
// 320 x 200 with the world pools, a headless hal on a clock the test moves,
// small test cars in every car-model row, and a log of the calls the drawing
// makes into the back end and the effects (draw_log.cpp logs them and passes
// them on, so the pixels are those of the real rasterizer).
//
// Fields of the packed records go to the EXPECT macros as values (a unary +).
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "race/vehicle.h"
#include "support/test_support.h"

// One call, as it was made.
struct Drawn {
  // "Object", "Lit", "LitTwoSided", "Blended" (object routines); "Flat",
  // "Decal", "Gouraud", "TexLit" (faces drawn outside an object routine);
  // "Fire", "Flames", "Trail", "Shadow", "Animate"; "LightColour",
  // "ColourOn", "ColourOff", "DepthRange".
  std::string call;
  const MeshHeader* mesh = nullptr;  // the object's mesh; for a face, the mesh it was read from (null: the world pool)
  const void* owner = nullptr;       // the vehicle or wheel of an effect call
  DrawSlot slot{};
  float factor = 0.0f;  // blend factor
  int32_t args[3] = {};
  Face face{};
  std::vector<Vertex> corners;  // a face's corners as drawn
  Vertex first{};               // an object's first vertex at the call
};
extern std::vector<Drawn> gDrawn;
extern bool gLogDraws;

std::vector<Drawn> DrawnCalls(const std::string& call);

// The test cars: in every row of the car-model table, bodies of every set and
// stage, wheel sources and their clones, a tyre face on each wheel; the
// driver with its clones, the outside steering wheel and its clone; the
// "reflet" sprite.
void BuildTestCars();
void FreeTestCars();
// "body T/S/D" (type, set, stage), "wheel T/S/M" (type, set, mesh), "driver",
// "driver clone K", "outside wheel", "outside wheel clone", or "?".
std::string MeshName(const MeshHeader* mesh);
// The test mesh whose vertex array this is, or null.
const MeshHeader* MeshOfVertices(const Vertex* vertices);
// A mesh of cubes with the given vertex normals, for the light tests.
MeshHeader* TestMeshWithNormals(const std::vector<std::array<float, 3>>& normals);

// Standing level at (x, y, z), heading along +z, with its draw points where
// the wheel pass would put them; four wheels, computer-driven.
void StandVehicle(Vehicle* v, int32_t type, float x, float y, float z);

class VehicleDrawTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The camera at (0, 20, z) looking along +z: a vehicle at z + d has view depth d.
  void LookFrom(float z);

  Camera camera_{};
};

// The same with the kit's game-start assets loaded in place of the test cars,
// from a kit written into a fresh folder that is the working one meanwhile.
class KitVehicleDrawTest : public VehicleDrawTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  TempDir dir_;
  char home_[4096];
};
