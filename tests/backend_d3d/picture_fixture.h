// Pictures on an open headless display, in a temporary working folder: .qvr
// files made in the test, the back buffer read and filled directly, and the
// display reopened on a 5-5-5 back buffer.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "backend_common/picture.h"
#include "engine3d/lebytes.h"
#include "face_fixture.h"
#include "platform/mem.h"

inline std::string Qvr(int32_t width, int32_t height, uint16_t (*pixel)(int32_t x, int32_t y), size_t cut = 0) {
  std::string file(4 + static_cast<size_t>(width) * height * 2, '\0');
  auto* p = reinterpret_cast<uint8_t*>(file.data());
  PutU16(p, static_cast<uint16_t>(width));
  PutU16(p + 2, static_cast<uint16_t>(height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) PutU16(p + 4 + 2 * (static_cast<size_t>(y) * width + x), pixel(x, y));
  file.resize(file.size() - cut);
  return file;
}

inline uint16_t Solid(uint16_t colour) { return colour; }

class D3dPictureTest : public D3dFaceTest {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    D3dFaceTest::SetUp();
  }
  void TearDown() override {
    D3dFaceTest::TearDown();
    std::filesystem::current_path(old_);
  }
  // Reopens the display with a 5-5-5 back buffer.
  void Reopen555() {
    gMesh.vertices = nullptr;
    RdrClose();
    HalD3dSetDisplay555(true);
    Open();
    HalD3dSetDisplay555(false);
    gMesh.vertices = vertices_.data();
  }
  std::vector<uint16_t> Back(int32_t* width = nullptr) {
    HalSurfaceDesc d{};
    HalSurfaceGetDesc(gD3d.backBuffer, &d);
    int32_t pitch = 0;
    auto* p = static_cast<const uint8_t*>(HalSurfaceLock(gD3d.backBuffer, &pitch));
    std::vector<uint16_t> out(static_cast<size_t>(d.width) * d.height);
    for (int32_t y = 0; p && y < d.height; ++y) std::memcpy(&out[static_cast<size_t>(y) * d.width], p + y * pitch, d.width * 2);
    HalSurfaceUnlock(gD3d.backBuffer);
    if (width) *width = d.width;
    return out;
  }
  void FillBack(uint16_t (*pixel)(int32_t x, int32_t y)) {
    int32_t pitch = 0;
    auto* p = static_cast<uint8_t*>(HalSurfaceLock(gD3d.backBuffer, &pitch));
    for (int32_t y = 0; y < gD3d.height; ++y)
      for (int32_t x = 0; x < gD3d.width; ++x) {
        const uint16_t v = pixel(x, y);
        std::memcpy(p + y * pitch + x * 2, &v, 2);
      }
    HalSurfaceUnlock(gD3d.backBuffer);
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream f(dir_.path() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }

  TempDir dir_;
  std::filesystem::path old_;
};

