// The per-track file suites: the world pools and grid on the null back end,
// a fresh folder as the working directory (files lie loose), and little
// byte builders for fixtures laid out field by field.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "platform/pak.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "support/test_support.h"

// Little-endian bytes, appended field by field.
struct Le {
  std::vector<uint8_t> b;
  Le& u8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  Le& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  Le& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  Le& f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
  }
  Le& raw(const void* p, size_t n) {
    b.insert(b.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    return *this;
  }
  std::string str() const { return std::string(b.begin(), b.end()); }
};

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    RecordFatalErrors();
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
    ASSERT_NE(MeshPoolAllocVertices(MESH_POOL_VERTICES), nullptr);
    ASSERT_NE(MeshPoolAllocFaces(MESH_POOL_FACES), nullptr);
    ASSERT_NE(DrawListAllocStatic(DRAW_LIST_STATIC), nullptr);
    ASSERT_NE(DrawListAllocDynamic(DRAW_LIST_DYNAMIC), nullptr);
    ASSERT_EQ(GridCreate(640, 25, 1, 12), 1);
    PakReset();
    gRace = RaceState{};
    gOptions = Options{};
    gAssets = AssetState{};
    ObjectTypesReset();
    gPlacementCount = 0;
    gObjectCounterCount = 0;
    gDrawLists.staticCount = 0;
    for (MeshHeader*& m : gObjectModels) m = nullptr;
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(::chdir(home_.c_str()), 0);
    for (MeshHeader*& m : gObjectModels) m = nullptr;
    RdrClose();
  }
  TempDir dir_;
  std::string home_;
  MeshHeader model_{MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};
};
