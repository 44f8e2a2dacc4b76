// A 640x480 display opened headless, the world pools and a 25 x 1 x 12 grid of
// 640-unit cells as the game makes them, helpers that place faces and slots,
// and the log of the face routines and slot callbacks the passes called.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/camera.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "engine3d/scene.h"
#include "support/test_support.h"

// "Routine:tag" for each face routine call (where the null back end is
// linked), "slot:user@viewZ" for each callback.
extern std::vector<std::string> gSceneLog;

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static int32_t AddVertex(float x, float y, float z);
  // A level triangle with its centroid at (cx, y, cz).
  static Face& AddLevelFace(float cx, float cz, uint32_t type, uint8_t tag, float y = 0.0f);
  // An upright 20 x 20 quad centred on (cx, cy, z), across the view of a
  // camera looking along +z; `front` chooses the normal that faces it.
  static Face& AddUprightFace(float cx, float cy, float z, uint32_t type, uint8_t tag, bool front = true);
  // A static slot whose callback logs "slot:<user>" and the slot's view z.
  static void AddStatic(float x, float y, float z, uint32_t user, float half = 10.0f);
  static DrawSlot* ClaimDynamic(float x, float y, float z, uint32_t user);
  // Camera at (x, y, z) looking along +z, level.
  static void LookAlongZ(float x, float y, float z);
  // The tags of each listed cell's faces, in run order.
  static std::vector<std::vector<int>> CellTags();

  static void LogSlot(DrawSlot* slot, void* owner);
};
