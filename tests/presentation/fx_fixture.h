// Shared by the effect suites: the software back end open at 320 x 200 with
// the world pools and the dynamic list, the effects option on, a camera at
// the origin looking along +z, test sprites in every effect-sprite slot, and
// a log of the sprite, face, blend and sound calls the effects make (each is
// logged and passed on, fx_log.cpp).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "race/assets.h"
#include "race/vehicle.h"

// "Cell 3 a120", "TexAlpha 12 a200", "Alpha 20", "Streak 9 h4.5", "Rotated 22
// a90 r77", "VColour w50", "VertexColours w50", "Trail w50", "Decal", "Lit",
// "Object", "Additive", "Normal", "AlphaSource 3", "ResetAlpha", "DepthWriteOff",
// "DepthWriteOn", "Sound 17", "SoundCopy 23/2", "WheelContact".
extern std::vector<std::string> gFxLog;
extern bool gFxLogging;
// The corners of the faces drawn, as they were at the call.
extern std::vector<std::vector<Vertex>> gFxFaces;
extern Sprite gTestSprites[FX_SPRITES];

int CountLog(const std::string& prefix);

class FxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A computer car standing at (x, y, z) heading along +z, type 0, on the grid.
  Vehicle* Car(float x, float y, float z);
  // One frame of both passes in the current view.
  void Frame();

  Camera camera_{};
};
