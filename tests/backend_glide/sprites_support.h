// A 640x480 display opened through the back end, small world pools with a few
// vertices in use, a level camera at the origin looking along +z (view x =
// -world x, view y = -world y, view z = world z), and solid textures.
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


constexpr int32_t WORLD_VERTICES = 6;  // in use; the scratch records start behind them
constexpr int32_t WORLD_FACES = 3;

class SpriteDrawTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void SetCamera(float x, float y, float z, float pitch = 0.0f, float heading = 0.0f);
  // A whole-pixel texture of 8 x 8 texels of one colour (RGB 565, opaque).
  static int32_t SolidTexture(uint16_t colour);
  static uint16_t Pixel(int32_t x, int32_t y);
  // A slot owned by `sprite` with the given alpha in bits 8-23 of its kind.
  static DrawSlot SlotFor(Sprite* sprite, uint32_t alpha, float viewX, float viewY, float viewZ);

  int32_t tex_ = -1;
};
