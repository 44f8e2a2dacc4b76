// Shared by the placed-object suites: the software back end open at 320 x 200
// with the camera at the origin looking along +z (a slot at z = d has view
// depth d), a small box model with frames whose x moves 100 units a frame,
// and a log of the object routines, smoke puffs and sounds the placed
// objects ask for (decor_log.cpp logs them; the routines are passed on, so
// the pixels are those of the real rasterizer).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/mesh.h"
#include "race/object_types.h"
#include "race/track_files.h"

struct DecorCall {
  std::string call;  // "Object", "TwoSided", "Yaw", "YawLit", "YawTwoSided", "YawLitAnyDepth", "YawShaded",
                     // "Smoke", "Sound", "Frequency",
                     // "Lit", "Shock" (x, z in at[0], at[2]), "Loop"
  float y = 0.0f;    // the slot's height at the call
  uint16_t angle[3] = {};
  float at[3] = {};  // a smoke puff's or a sound's position
  float sizeDivisor = 0.0f, rateDivisor = 0.0f;
  int32_t row = 0, copy = 0, slot = 0, pitch = 0;
};
extern std::vector<DecorCall> gDecorCalls;
extern bool gDecorLogging;
// What the wrapped SfxPlayEffectCopyAt hands back.
extern int32_t gDecorSoundSlot;

std::vector<std::string> DecorCallNames();
// A world point as the test's camera sees it.
Vertex ViewOf(float x, float y, float z);

class DecorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Placement `index` of type row `row` at (x, y, z), in a slot whose view
  // position the camera at the origin gives.
  DrawSlot* Place(int32_t index, uint16_t row, float x, float y, float z, uint8_t counterSlot = COUNTER_SLOT_NONE,
                  uint16_t yaw = 0);
  // The box's first vertex x: 100 x the frame it was posed to.
  float PosedX() const { return vertices_[0].x; }

  DrawSlot slots_[4]{};
  MeshHeader mesh_{};
  Vertex vertices_[8]{};
  Face faces_[6]{};
  MeshFrameSet frames_{};
  MeshFrame frameList_[6]{};
  FrameVertex frameVertices_[6][8]{};
  float frameNormals_[6][18]{};
  ObjectAnim anim_{};
};
