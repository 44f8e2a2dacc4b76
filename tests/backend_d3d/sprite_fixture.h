// Sprites, the sun, lines and caller-coloured faces on an open headless display: the face
// fixture's view, a mesh with room behind its counts for the temporary
// quads, and a sprite in a draw slot.
#pragma once
#include <vector>

#include "face_fixture.h"

class D3dSpriteTest : public D3dFaceTest {
 protected:
  static constexpr int32_t USED_VERTICES = 8;

  void SetUp() override {
    D3dFaceTest::SetUp();
    vertices_.resize(USED_VERTICES + MESH_SCRATCH_VERTICES);
    faces_.resize(MESH_SCRATCH_FACES);
    gMesh.vertices = vertices_.data();
    gMesh.vertexCapacity = USED_VERTICES;
    gMesh.vertexCount = USED_VERTICES;
    gMesh.faces = faces_.data();
    gMesh.faceCapacity = 0;
    gMesh.faceCount = 0;
    texture_ = MakeTexture(2, 2, std::vector<uint16_t>(4, 0xFFFF));
    sprite_ = Sprite{static_cast<uint32_t>(texture_) | 0x04000000, 10.0f, 5.0f, 0.0f, 0.0f, 1.0f, 1.0f};
    slot_ = DrawSlot{};
    slot_.owner = &sprite_;
    slot_.kind = sprite_.type | 0x80 << 8;  // alpha 0x80
  }
  void TearDown() override {
    gMesh = MeshPools{};
    D3dFaceTest::TearDown();
  }
  // The slot at a view position.
  void At(float x, float y, float z) {
    slot_.viewX = x;
    slot_.viewY = y;
    slot_.viewZ = z;
  }
  std::vector<std::string> Draws() const { return Calls("DrawPrimitive"); }
  // The flags of the one draw made, -1 when there was none.
  int Flags() const {
    const std::vector<std::string> d = Draws();
    if (d.size() != 1) return -1;
    return std::stoi(d[0].substr(d[0].find(' ', d[0].find(' ', 14) + 1)));
  }

  std::vector<Face> faces_;
  int32_t texture_ = 0;
  Sprite sprite_{};
  DrawSlot slot_{};
};
