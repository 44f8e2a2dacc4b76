// The race loader on the OpenGL back end: the world's texture coordinates,
// written in texels by the track files and the terrain, reach the device in
// the 0..1 of the texture it samples, and so do the presentation model's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "hal/d3d/d3d.h"
#include "hal/d3d/devices.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "presentation/flyin.h"
#include "presentation/messages.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle.h"
#include "race/vehicle_steps.h"
#include "race_reset.h"
#include "support/test_support.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

struct DeviceCoords {
  float minS = 1e9f, maxS = -1e9f, minT = 1e9f, maxT = -1e9f;
  int corners = 0;
};

class GroundOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    HalDevicesReset();
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 0));
    RecordFatalErrors();
    ResetRaceForTest(&camera_, &camera2_);
    ASSERT_EQ(GridCreate(640, 25, 1, 12), 1);
    // No presentation during the load: the test builds the model itself.
    gRace.noHumanMode = 1;
    for (CarModel& row : gCarModels) row = CarModel{};
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
  }
  void TearDown() override {
    HalD3dRecordCalls(nullptr);
    RdrClose();
    HalD3dShutdown();
    HalDevicesReset();
    ASSERT_EQ(::chdir(home_.c_str()), 0);
  }
  // The kit's files, without the desert's mesh file when `terrainDesert`, so
  // that the desert is built from its terrain.
  void WriteKit(bool terrainDesert) {
    std::string error;
    std::vector<datakit::DataFile> archives = datakit::BootArchiveFiles();
    if (terrainDesert)
      std::erase_if(archives, [](const datakit::DataFile& f) { return f.archive == 4 && f.path == "desert.uv"; });
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootLooseFiles(), dir_.path().string(), &error)) << error;
    ASSERT_TRUE(datakit::WriteLooseFiles(archives, dir_.path().string(), &error)) << error;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  // Draws `face` of `vertices` on screen as a decal and reads back the
  // texture coordinates the device was handed.
  DeviceCoords DrawOnDevice(Face* face, Vertex* vertices) {
    Vertex* const saved = gMesh.vertices;
    gMesh.vertices = vertices;
    const float xs[4] = {100.0f, 300.0f, 300.0f, 100.0f}, ys[4] = {100.0f, 100.0f, 300.0f, 300.0f};
    for (uint32_t k = 0; k < face->vertexCount; ++k) {
      Vertex& v = vertices[face->index[k]];
      v.screenX = xs[k];
      v.screenY = ys[k];
      v.viewZ = 20.0f;
    }
    std::vector<std::string> calls;
    HalD3dRecordCalls(&calls);
    RdrDrawFaceDecal(face);
    HalD3dRecordCalls(nullptr);
    gMesh.vertices = saved;
    DeviceCoords out;
    for (const std::string& c : calls) {
      if (c.rfind("DrawPrimitive", 0) != 0) continue;
      for (size_t at = c.find('('); at != std::string::npos; at = c.find('(', at + 1)) {
        float sx, sy, sz, rhw, tu, tv;
        unsigned diffuse, specular;
        if (std::sscanf(c.c_str() + at, "(%g %g %g %g %x %x %g %g)", &sx, &sy, &sz, &rhw, &diffuse, &specular, &tu,
                        &tv) != 8)
          continue;
        out.minS = std::min(out.minS, tu), out.maxS = std::max(out.maxS, tu);
        out.minT = std::min(out.minT, tv), out.maxT = std::max(out.maxT, tv);
        ++out.corners;
      }
    }
    return out;
  }
  // The first face of the track that its own texture covers (not water, not a colour).
  Face* FirstGroundFace() {
    for (int32_t i = 0; i < gMesh.faceCount; ++i) {
      Face& f = gMesh.faces[i];
      const uint32_t type = f.type >> 24;
      if ((type == FACE_TEX_LIT || type == FACE_TEX_VCOLOUR) && (f.type & 0xFFFFFF) != gRace.trackTextures[0])
        return &f;
    }
    return nullptr;
  }

  TempDir dir_;
  std::string home_;
  Camera camera_{}, camera2_{};
};

// A ground face spans most of its texture: divided once by the texture's
// ranges it lies within 0..1 and still covers more than half of it, where a
// second division would shrink it to a single texel.
TEST_F(GroundOnDevice, AWorldFaceReachesTheDeviceInItsTexturesRange) {
  for (const bool terrain : {true, false}) {
    SCOPED_TRACE(terrain ? "terrain-built desert" : "desert from its mesh file");
    WriteKit(terrain);
    RaceLoad(TRACK_DESERT);
    ASSERT_TRUE(gFatalErrors.empty()) << gFatalErrors.front();
    // Only the mesh file places objects.
    EXPECT_EQ(gPlacementCount == 0, terrain);
    Face* face = FirstGroundFace();
    ASSERT_NE(face, nullptr);
    const DeviceCoords c = DrawOnDevice(face, gMesh.vertices);
    ASSERT_EQ(c.corners, static_cast<int>(face->vertexCount));
    EXPECT_GE(c.minS, 0.0f);
    EXPECT_GE(c.minT, 0.0f);
    EXPECT_LE(c.maxS, 1.0f);
    EXPECT_LE(c.maxT, 1.0f);
    EXPECT_GT(std::max(c.maxS - c.minS, c.maxT - c.minT), 0.5f);
  }
}

// The model's corners lie 4 texels apart over the ground texture; the device
// gets them in 0..1 of it.
TEST_F(GroundOnDevice, ThePresentationModelReachesTheDeviceInItsTexturesRange) {
  WriteKit(false);
  RaceLoad(TRACK_DESERT);
  ASSERT_EQ(ViewBuildTrackModel(), 1);
  MeshHeader& model = gTrackShow.model;
  DeviceCoords all;
  for (uint32_t i = 0; i < model.faceCount; i += 97) {
    Face& face = model.faces[i];
    if (face.type == TRACK_MODEL_WATER_WORD) continue;
    const DeviceCoords c = DrawOnDevice(&face, model.vertices);
    ASSERT_EQ(c.corners, 3);
    all.minS = std::min(all.minS, c.minS), all.maxS = std::max(all.maxS, c.maxS);
    all.minT = std::min(all.minT, c.minT), all.maxT = std::max(all.maxT, c.maxT);
  }
  EXPECT_GE(all.minS, 0.0f);
  EXPECT_GE(all.minT, 0.0f);
  EXPECT_LE(all.maxS, 1.0f);
  EXPECT_LE(all.maxT, 1.0f);
  // The last column and row of the model reach far into the texture.
  EXPECT_GT(all.maxS, 0.9f);
  EXPECT_GT(all.maxT, 0.4f);
}

}  // namespace
