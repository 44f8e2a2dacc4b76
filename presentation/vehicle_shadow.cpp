// The dark patch on the ground under a vehicle: a 3 x 3 grid spanned by the
// contact points of its four wheels, drawn translucent black without writing
// depth, pulled toward the camera so that the ground under it does not hide it.
#include <cstdint>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "presentation/presentation.h"
#include "race/vehicle.h"

namespace {

constexpr int SHADOW_VERTICES = 9;
constexpr int SHADOW_QUADS = 4;
constexpr uint32_t SHADOW_ALPHA = 200;
// Per grid row: the row of the front wheels, the middle, the rear wheels.
constexpr float ROW_PULL[3] = {3.0f, 2.0f, 1.0f};
constexpr uint16_t QUADS[SHADOW_QUADS][4] = {{0, 1, 4, 3}, {1, 2, 5, 4}, {3, 4, 7, 6}, {4, 5, 8, 7}};

struct GroundPoint {
  float x, y, z;
};

GroundPoint Wheel(const Vehicle* v, int w) {
  const WheelState& wheel = v->wheels[w];
  return {wheel.contactX, wheel.groundHeight, wheel.contactZ};
}

GroundPoint Between(const GroundPoint& a, const GroundPoint& b) {
  const float x = (a.x + b.x) * 0.5f, z = (a.z + b.z) * 0.5f;
  return {x, TerrainHeightAt(x, z), z};
}

}  // namespace

void VehicleDrawShadow(Vehicle* v) {
  if (!v) return;
  // The grid lives in the scratch room past the world; without room, no shadow.
  const int32_t first = gMesh.vertexCount;
  Vertex* vertices = first + SHADOW_VERTICES <= UINT16_MAX + 1 ? MeshScratchVertices(first, SHADOW_VERTICES) : nullptr;
  Face* faces = MeshScratchFaces(gMesh.faceCount, SHADOW_QUADS);
  if (!vertices || !faces) return;
  RdrDepthWriteOff();
  GroundPoint grid[SHADOW_VERTICES];
  grid[0] = Wheel(v, WHEEL_FRONT_LEFT);
  grid[2] = Wheel(v, WHEEL_FRONT_RIGHT);
  grid[6] = Wheel(v, WHEEL_REAR_LEFT);
  grid[8] = Wheel(v, WHEEL_REAR_RIGHT);
  grid[1] = Between(grid[0], grid[2]);
  grid[3] = Between(grid[0], grid[6]);
  grid[5] = Between(grid[2], grid[8]);
  grid[7] = Between(grid[6], grid[8]);
  grid[4] = Between(grid[3], grid[5]);
  for (int i = 0; i < SHADOW_VERTICES; ++i) {
    Vertex& vertex = vertices[i];
    vertex = Vertex{};
    vertex.x = grid[i].x;
    vertex.y = grid[i].y;
    vertex.z = grid[i].z;
    RdrProjectVertex(&vertex);
    vertex.viewZ -= ROW_PULL[i / 3];
  }
  for (int q = 0; q < SHADOW_QUADS; ++q) {
    Face& face = faces[q];
    face = Face{};
    face.type = SHADOW_ALPHA;
    face.vertexCount = 4;
    for (int k = 0; k < 4; ++k) face.index[k] = static_cast<uint16_t>(first + QUADS[q][k]);
    RdrDrawFaceFlatAlpha(&face);
  }
  RdrDepthWriteOn();
}
