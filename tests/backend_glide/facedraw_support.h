// A 640x480 display opened through the back end, a small vertex array made
// current, two textures, and helpers to place vertices and build faces.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "backend_glide/faceclip.h"
#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "support/gfx_recorder.h"
#include "support/test_support.h"

// What the back end reported through the shell's error screens.

class FaceDrawTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A vertex at a screen position and view depth; view x, y are those that
  // project to it, so a clip re-projects it to the same place.
  Vertex& Place(int i, float sx, float sy, float z);
  static Face MakeFace(uint32_t type, std::initializer_list<uint16_t> corners);
  // A whole-pixel texture of 8 x 8 texels of one colour (RGB 565).
  static int32_t SolidTexture(uint16_t colour);
  // Fresh cache and a sentinel in every slot of the work polygon, so a
  // routine that leaves a slot alone can be told apart.
  static void Fresh();
  static uint16_t Pixel(int32_t x, int32_t y);

  // Made current in place of a pool of no capacity: the face routines may read
  // its reserve of MESH_SCRATCH_VERTICES.
  std::vector<Vertex> vertices_ = std::vector<Vertex>(MESH_SCRATCH_VERTICES);
  int32_t texA_ = -1, texB_ = -1;
};

constexpr float SENTINEL = -1.0f;
