// Faces on an open headless display: a small vertex array as the current
// mesh, textures made straight on the device, and the view set to known
// planes, window and projection.
#pragma once
#include <cstring>
#include <initializer_list>
#include <vector>

#include "backend_d3d/faces.h"
#include "d3d_fixture.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"

class D3dFaceTest : public D3dBackendTest {
 protected:
  void SetUp() override {
    D3dBackendTest::SetUp();
    Open();
    gMesh.vertices = vertices_.data();
    RdrState& s = gRdrState;
    s.nearPlane = 10.0f;
    s.farPlane = 1000.0f;
    s.clipMinX = 0.0f;
    s.clipMinY = 0.0f;
    s.clipMaxX = 639.0f;
    s.clipMaxY = 479.0f;
    s.centreX = 320.0f;
    s.centreY = 240.0f;
    s.scaleX = s.scaleY = 320.0f;
  }
  void TearDown() override {
    gMesh.vertices = nullptr;
    D3dBackendTest::TearDown();
  }


 public:
  // A vertex at a screen position and view depth (the view x, y to match).
  Vertex& Place(int i, float sx, float sy, float z) {
    Vertex& v = vertices_[static_cast<size_t>(i)];
    v = Vertex{};
    v.screenX = sx;
    v.screenY = sy;
    v.viewZ = z;
    const float zp = z < gRdrState.nearPlane ? gRdrState.nearPlane : z;
    v.viewX = (sx - gRdrState.centreX) * zp / gRdrState.scaleX;
    v.viewY = (sy - gRdrState.centreY) * zp / gRdrState.scaleY;
    return v;
  }
  // A vertex at a view position, projected as the 3D library does.
  Vertex& PlaceView(int i, float x, float y, float z) {
    Vertex& v = vertices_[static_cast<size_t>(i)];
    v = Vertex{};
    v.viewX = x;
    v.viewY = y;
    v.viewZ = z;
    const float zp = z < gRdrState.nearPlane ? gRdrState.nearPlane : z;
    v.screenX = gRdrState.centreX + x * gRdrState.scaleX / zp;
    v.screenY = gRdrState.centreY + y * gRdrState.scaleY / zp;
    return v;
  }
  static Face MakeFace(uint32_t type, std::initializer_list<uint16_t> corners) {
    Face f{};
    f.type = type;
    f.vertexCount = static_cast<uint8_t>(corners.size());
    int i = 0;
    for (uint16_t c : corners) {
      f.index[i] = c;
      f.st[2 * i] = (i == 1 || i == 2) ? 1.0f : 0.0f;
      f.st[2 * i + 1] = i >= 2 ? 1.0f : 0.0f;
      ++i;
    }
    return f;
  }

 protected:
  // A texture of the table made on the device, its texels as given (RGB565
  // or ARGB1555 by `format`); its table index.
  int32_t MakeTexture(int32_t width, int32_t height, const std::vector<uint16_t>& texels,
                      HalPixelFormat format = HAL_PIXEL_RGB565) {
    HalSurfaceDesc d{};
    d.caps = HAL_CAPS_TEXTURE | HAL_CAPS_VIDEOMEMORY;
    d.width = width;
    d.height = height;
    d.format = format;
    const HalObject surface = HalDDrawCreateSurface(gD3d.ddraw, d);
    int32_t pitch = 0;
    auto* out = static_cast<uint8_t*>(HalSurfaceLock(surface, &pitch));
    for (int32_t y = 0; y < height; ++y) std::memcpy(out + y * pitch, &texels[static_cast<size_t>(y * width)], width * 2);
    HalSurfaceUnlock(surface);
    const int32_t index = gTextureTable.count++;
    gTexSurfaces[index] = TexSurfacePair{HalSurfaceQueryTexture(surface), surface, width};
    gTextureTable.entries[index] = TextureTableEntry{};
    gTextureTable.entries[index].sRange = static_cast<uint16_t>(width);
    gTextureTable.entries[index].tRange = static_cast<uint16_t>(height);
    return index;
  }
  // A pixel of the back buffer as it stores it, after every draw so far.
  static uint16_t BackPixel(int32_t x, int32_t y) {
    int32_t pitch = 0;
    const auto* p = static_cast<const uint8_t*>(HalSurfaceLock(gD3d.backBuffer, &pitch));
    if (!p) return 0;
    uint16_t out = 0;
    std::memcpy(&out, p + static_cast<size_t>(y) * static_cast<size_t>(pitch) + static_cast<size_t>(x) * 2, 2);
    HalSurfaceUnlock(gD3d.backBuffer);
    return out;
  }
  // The calls a draw made, from a clean slate: stage mode unknown.
  void Fresh() {
    gRdrCache = RDR_MODE_UNKNOWN;
    calls.clear();
  }

  std::vector<Vertex> vertices_ = std::vector<Vertex>(16);
};
