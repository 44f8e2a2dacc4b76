// The ambient vehicle as the views see it: its model through its dynamic draw
// slot, the spinning rotor disc, the dust under it and the corners of its
// ground shadow.
#include <climits>
#include <cstdint>

#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "presentation/fx.h"
#include "race/ambient.h"
#include "race/race.h"

AmbientState gAmbient;

namespace {

constexpr int32_t LIT_DEPTH = 320;
constexpr int32_t ROTOR_PITCH = 20, ROTOR_ROLL = 18;
constexpr float ROTOR_HALF = 25.0f;
constexpr float ROTOR_UP = 14.0f, ROTOR_BACK = -3.9f;
constexpr uint32_t ROTOR_COLOUR = 85u | 85u << 8 | 90u << 16;
constexpr float ROTOR_TURN = 150.0f;
constexpr float DUST_SIZE_DIVISOR = 3.0f, DUST_RATE_DIVISOR = 16.0f;
constexpr float DUST_SIDE = 0.7f, DUST_DOWN = -13.0f;
constexpr float SHADOW_AHEAD = 6.0f, SHADOW_SIDE = 3.0f;

struct Vec3 {
  float x, y, z;
};

Vec3 Turn(const float m[9], float x, float y, float z) {
  return {m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z, m[6] * x + m[7] * y + m[8] * z};
}

// The object angles of the model: pitch, the look angle turned the other way,
// roll half a turn over (the object matrix mirrors y).
void ObjectAngles(const Vehicle* v, uint16_t out[3]) {
  out[0] = static_cast<uint16_t>(TruncI32(v->pose.pitch) & 1023);
  out[1] = static_cast<uint16_t>(-static_cast<int32_t>(gAmbient.lookAngle) & 1023);
  out[2] = static_cast<uint16_t>((TruncI32(v->pose.roll) + 512) & 1023);
}

int32_t AbsDepth(float viewZ) {
  const int32_t d = TruncI32(viewZ);
  if (d >= 0) return d;
  return d == INT32_MIN ? INT32_MAX : -d;
}

}  // namespace

void AmbientDrawCallback(DrawSlot* slot, void* owner) {
  MeshHeader* model = static_cast<MeshHeader*>(owner);
  if (!gOptions.detail[3] || gSceneShown || !model || model != gAmbient.model) {
    gAmbient.shadowEnabled = 0;
    return;
  }
  Vehicle* v = AmbientVehicle();
  slot->x = v->pose.x;
  slot->y = v->pose.y;
  slot->z = v->pose.z;
  const int32_t depth = AbsDepth(slot->viewZ);
  // The craft's hits and sound of the next frame go by the views' distance, not an inset's.
  if (!gViewInsetPass) v->cameraDistance = depth;
  if (!RdrObjectInDepthRange(slot)) {
    gAmbient.shadowEnabled = 0;
    return;
  }
  gAmbient.shadowEnabled = 1;
  ObjectAngles(v, model->angle);
  if (depth < LIT_DEPTH)
    RdrDrawObjectLit(slot, model);
  else
    RdrDrawObject(slot, model);
  AmbientDrawRotor(slot, owner, v);
}

void AmbientDrawRotor(DrawSlot* slot, void*, Vehicle* v) {
  uint16_t angles[3];
  ObjectAngles(v, angles);
  float model[9], rotor[9];
  MatFromAngles(angles[0], angles[1], angles[2], model);
  MatFromAngles(ROTOR_PITCH, TruncI32(gAmbient.rotorAngle), ROTOR_ROLL, rotor);
  // The disc lives in the scratch room past the world; without room, no disc.
  const int32_t first = gMesh.vertexCount;
  Vertex* corners = first + 4 <= UINT16_MAX + 1 ? MeshScratchVertices(first, 4) : nullptr;
  Face* face = MeshScratchFaces(gMesh.faceCount, 1);
  if (corners && face) {
    static const float DISC[4][2] = {{-ROTOR_HALF, -ROTOR_HALF}, {ROTOR_HALF, -ROTOR_HALF}, {ROTOR_HALF, ROTOR_HALF},
                                     {-ROTOR_HALF, ROTOR_HALF}};
    *face = Face{};
    face->type = FACE_COLOUR << 24 | ROTOR_COLOUR;
    face->vertexCount = 4;
    for (int i = 0; i < 4; ++i) {
      Vec3 c = Turn(rotor, DISC[i][0], 0.0f, DISC[i][1]);
      c.x += 0.5f * model[2];
      c.y += ROTOR_UP + 0.5f * model[5];
      c.z += ROTOR_BACK + 0.5f * model[8];
      const Vec3 w = Turn(model, c.x, c.y, c.z);
      Vertex& vertex = corners[i];
      vertex = Vertex{};
      vertex.x = slot->x + w.x;
      vertex.y = slot->y + w.y;
      vertex.z = slot->z + w.z;
      RdrProjectVertex(&vertex);
      face->index[i] = static_cast<uint16_t>(first + i);
    }
    RdrDrawFaceFlat(face);
  }
  if (RaceViewAdvances()) {
    gAmbient.rotorAngle += ROTOR_TURN * gRace.timeStep;
    // A whole turn less is the same angle; the float keeps its precision.
    if (gAmbient.rotorAngle >= 1024.0f) gAmbient.rotorAngle -= 1024.0f;
    if (gAmbient.dustTimer > 0.0f) {
      gAmbient.dustTimer -= gRace.timeStep;
      if (gRace.tickPassed) {
        const float x = slot->x + DUST_SIDE * model[0] + DUST_DOWN * model[1];
        const float y = slot->y + DUST_SIDE * model[3] + DUST_DOWN * model[4];
        const float z = slot->z + DUST_SIDE * model[6] + DUST_DOWN * model[7];
        FxSpawnAmbientVehicleDust(x, y, z, DUST_SIZE_DIVISOR, DUST_RATE_DIVISOR);
      }
    }
  }
  // The shadow's corners: front left, front right, rear left, rear right.
  static const float SIGNS[VEHICLE_WHEELS][2] = {{1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, -1.0f}, {-1.0f, 1.0f}};
  for (int w = 0; w < VEHICLE_WHEELS; ++w) {
    const float ahead = SIGNS[w][0] * SHADOW_AHEAD, side = SIGNS[w][1] * SHADOW_SIDE;
    WheelState& wheel = v->wheels[w];
    wheel.contactX = slot->x + ahead * model[2] + side * model[0];
    wheel.contactZ = slot->z + ahead * model[8] + side * model[6];
    wheel.groundHeight = TerrainHeightAt(wheel.contactX, wheel.contactZ);
  }
}
