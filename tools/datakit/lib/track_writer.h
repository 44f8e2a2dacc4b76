// The per-track files: the track mesh "<track>.uv" (faces, vertices and
// object placements), the camera spots "<track>.cam", the 804-byte path
// files (trajectories, object, skier and elephant paths), the championship
// saves "save.rur" and the 8-bit position maps.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/datakit/lib/bytes.h"
#include "tools/datakit/lib/mesh_writer.h"

namespace datakit {

struct KitPlacement {
  uint16_t yaw;
  uint16_t second;
  uint8_t counterSlot;  // 0xFF: none
  uint16_t type;
  float x, y, z;
};

// u32 F, F faces, u32 V, V vertices, u32 P, P 19-byte placements. Face type
// words count textures from the track's first (0x0E faces: water).
Bytes TrackMeshFileWrite(const KitMesh& mesh, const std::vector<KitPlacement>& placements);

struct KitCameraSpot {
  uint8_t inUse;
  int32_t kind;  // 0 fixed, otherwise tracking
  float x, y, z, pitch, heading, roll;
};
// The 50 spots of 29 bytes (missing ones empty): 1450 bytes.
Bytes CameraFileWrite(const std::vector<KitCameraSpot>& spots);

struct KitPoint {
  float x, z;
};
// i32 count, then 100 points (x, z); the unused ones are 0.
Bytes PathFileWrite(const std::vector<KitPoint>& points);

struct KitSaveSlot {
  int32_t used;
  char label[20];
  char date[12];
  uint8_t options[17];
  int32_t trackIndex, playersMode, gameMode;
  int32_t controllerType[2];
  int32_t vehicleType[2];
  uint8_t kit[2][12];
  int32_t computerRank[5];
  int32_t playerRank[2];
  int32_t computerPoints[5];
  int32_t playerPoints[2];
};
// Fourteen 161-byte records (missing ones unused): 2254 bytes.
Bytes SaveImageWrite(const std::vector<KitSaveSlot>& slots);

// An 8-bit picture of 80 x 40 codes: u16 width, u16 height, a 256-entry grey
// palette (772 bytes of head), then the codes row by row.
constexpr uint32_t POSITION_MAP_WIDTH = 80;
constexpr uint32_t POSITION_MAP_HEIGHT = 40;
Bytes PositionMapWrite(const std::vector<uint8_t>& codes);

}  // namespace datakit
