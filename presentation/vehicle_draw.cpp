// Vehicle drawing: every vehicle of a view built from its parts (body by
// detail level and damage, four wheels with their suspension arms, the driver
// and the outside steering wheel), the copy mirrored in the ice, and the
// distance to the camera that the simulation's effects and contacts read.
#include <cstring>
#include <vector>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

VehicleDrawState gVehicleDraw;

namespace {

constexpr int32_t LEVEL_STEP = 160;
constexpr int32_t MAX_LEVEL = 3;
constexpr int32_t FAR_BODY_SET = 3;  // the set of the lowest detail, drawn at level 3
constexpr int32_t WHEEL_INSTANCE_SETS = 3;  // wheel set L + 3 holds the clones of set L
constexpr int32_t NEAR_PARTS_DISTANCE = 320;
constexpr int32_t SHADOW_DISTANCE = 640;
constexpr int32_t LIT_FAR_BODY_DISTANCE = 1280;
constexpr int32_t FLAME_DAMAGE_STAGE = 6;
constexpr int32_t NEAR_PLANE = 5;
constexpr int32_t IN_CAR_NEAR_PLANE = 1;
constexpr float OWN_VIEW_DEPTH = 100.0f;
constexpr float PROJECT_MIN_DEPTH = 5.0f;
constexpr float MIRROR_MAX_DEPTH = 1500.0f;
constexpr float ARM_HALF = 0.7f;
constexpr uint32_t ARM_COLOUR = 8u | 8u << 8 | 8u << 16;
constexpr int FX_SPRITE_REFLET = 24;  // "reflet", the eighth row of the effect table
constexpr int32_t DEBUG_SMALL_MODELS = 1;

struct Vec3 {
  float x, y, z;
};

Vec3 Turn(const float m[9], float x, float y, float z) {
  return {m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z, m[6] * x + m[7] * y + m[8] * z};
}

Vec3 ToView(const Vec3& p) {
  const float* v = gCamera.view;
  const float dx = p.x - gCamera.x, dy = p.y - gCamera.y, dz = p.z - gCamera.z;
  return {dx * v[0] + dy * v[1] + dz * v[2], dx * v[3] + dy * v[4] + dz * v[5], dx * v[6] + dy * v[7] + dz * v[8]};
}

Vec3 ViewDirection(const Vec3& n) {
  const float* v = gCamera.view;
  return {v[0] * n.x + v[1] * n.y + v[2] * n.z, v[3] * n.x + v[4] * n.y + v[5] * n.z,
          v[6] * n.x + v[7] * n.y + v[8] * n.z};
}

// The vehicle's k-th axis: the k-th column of its body matrix.
Vec3 Axis(const Vehicle* v, int k) { return {v->bodyMatrix[k], v->bodyMatrix[3 + k], v->bodyMatrix[6 + k]}; }

// The source's positions and normals turned by the matrix into its clone.
void TurnVerticesInto(const float m[9], const MeshHeader* source, MeshHeader* clone) {
  for (uint32_t i = 0; i < source->vertexCount; ++i) {
    const Vertex& from = source->vertices[i];
    Vertex& to = clone->vertices[i];
    const Vec3 p = Turn(m, from.x, from.y, from.z);
    const Vec3 n = Turn(m, from.normalX, from.normalY, from.normalZ);
    to.x = p.x;
    to.y = p.y;
    to.z = p.z;
    to.normalX = n.x;
    to.normalY = n.y;
    to.normalZ = n.z;
  }
}

bool FaceUsable(const Face& face, uint32_t vertexCount) {
  if (face.vertexCount < 3 || face.vertexCount > 4) return false;
  for (int i = 0; i < face.vertexCount; ++i)
    if (face.index[i] >= vertexCount) return false;
  return true;
}

// The object matrix of the mesh's three angles, as the object routines build it.
void ObjectMatrixOf(const MeshHeader* mesh) {
  gCamera.objectAngle[0] = mesh->angle[0];
  gCamera.objectAngle[1] = mesh->angle[1];
  gCamera.objectAngle[2] = mesh->angle[2];
  MatObjectFromAngles();
}

// Each vertex turned by the object matrix, placed at the object and, when
// `flatten` is set, kept at or below height 0; its view position, and its
// screen position from a depth of at least 5.
void PlaceVertices(const DrawSlot* object, MeshHeader* mesh, bool flatten) {
  const RdrState& s = gRdrState;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    Vec3 p = Turn(gCamera.object, v.x, v.y, v.z);
    p.x += object->x;
    p.y += object->y;
    p.z += object->z;
    if (flatten && p.y > 0.0f) p.y = 0.0f;
    const Vec3 view = ToView(p);
    v.viewX = view.x;
    v.viewY = view.y;
    v.viewZ = view.z;
    const float z = view.z < PROJECT_MIN_DEPTH ? PROJECT_MIN_DEPTH : view.z;
    v.screenX = s.centreX + view.x * s.scaleX / z;
    v.screenY = s.centreY + view.y * s.scaleY / z;
  }
}

// The face turned away from the camera, by the object routines' own test.
bool FacesAway(const MeshHeader* mesh, const Face& face) {
  const Vec3 n = ViewDirection(Turn(gCamera.object, face.normalX, face.normalY, face.normalZ));
  const Vertex& first = mesh->vertices[face.index[0]];
  return n.x * first.viewX + n.y * first.viewY + n.z * first.viewZ < 0.0f;
}

// The face routines read the mesh's own vertices for the time of a draw.
struct ObjectVertices {
  explicit ObjectVertices(MeshHeader* mesh) : savedVertices(gMesh.vertices), savedCount(gRdrObjectVertexCount) {
    gMesh.vertices = mesh->vertices;
    gRdrObjectVertexCount = mesh->vertexCount;
  }
  ~ObjectVertices() {
    gMesh.vertices = savedVertices;
    gRdrObjectVertexCount = savedCount;
  }
  Vertex* savedVertices;
  int64_t savedCount;
};

bool MeshDrawable(const MeshHeader* mesh) {
  return mesh && (mesh->vertexCount == 0 || mesh->vertices) && (mesh->faceCount == 0 || mesh->faces);
}

int32_t ClampLevel(int32_t level) { return level < 0 ? 0 : level > MAX_LEVEL ? MAX_LEVEL : level; }

int32_t SteeringAngle(const Vehicle* v) { return TruncI32(v->steerInput * 128.0f * 0.003125f); }

int32_t FarDistance() { return TruncI32(gRace.viewDistance); }

// The damage stage as an index of the nine bodies of a set.
int32_t BodyStage(const Vehicle* v) {
  return v->damageStage < CAR_BODY_STAGES ? v->damageStage : CAR_BODY_STAGES - 1;
}

uint32_t RefletTexture() {
  const Sprite* sprite = gFxSprites[FX_SPRITE_REFLET];
  return sprite ? sprite->type : 0;
}

// The mirrored object: its height turned about the ice, never above it.
DrawSlot Mirrored(const DrawSlot& object) {
  DrawSlot m = object;
  m.y = -1.0f - object.y;
  if (m.y > 0.0f) m.y = 0.0f;
  return m;
}

void SetMirroredAngles(MeshHeader* mesh, const uint16_t angles[3]) {
  mesh->angle[0] = static_cast<uint16_t>(-angles[0]);
  mesh->angle[1] = angles[1];
  mesh->angle[2] = static_cast<uint16_t>(angles[2] + 512);
}

void SetAngles(MeshHeader* mesh, const uint16_t angles[3]) {
  mesh->angle[0] = angles[0];
  mesh->angle[1] = angles[1];
  mesh->angle[2] = angles[2];
}

// Six vertices and one face behind the world's pools: a three-sided arm from
// the wheel to its inner end on the chassis.
void DrawArm(const DrawSlot* object, const Vehicle* v, float armLength, bool mirrored) {
  Vertex* vertices = MeshScratchVertices(gMesh.vertexCount, 6);
  Face* face = MeshScratchFaces(gMesh.faceCount, 1);
  if (!vertices || !face) return;
  const Vec3 axis = Axis(v, 2);
  Vec3 inner{v->bodyPoint[0] + armLength * axis.x, v->bodyPoint[1] + armLength * axis.y,
             v->bodyPoint[2] + armLength * axis.z};
  if (mirrored) inner.y = -inner.y;
  const float up = mirrored ? -ARM_HALF : ARM_HALF;
  const float offsets[3][3] = {{0.0f, up, 0.0f}, {0.0f, -up, -ARM_HALF}, {0.0f, -up, ARM_HALF}};
  const Vec3 ends[2] = {{object->x, object->y, object->z}, inner};
  for (int e = 0; e < 2; ++e)
    for (int k = 0; k < 3; ++k) {
      Vertex& vertex = vertices[e * 3 + k];
      vertex = Vertex{};
      vertex.x = ends[e].x + offsets[k][0];
      vertex.y = ends[e].y + offsets[k][1];
      vertex.z = ends[e].z + offsets[k][2];
      RdrProjectVertex(&vertex);
    }
  static const uint16_t QUADS[3][4] = {{0, 1, 4, 3}, {0, 2, 5, 3}, {1, 2, 5, 4}};
  const auto base = static_cast<uint16_t>(gMesh.vertexCount);
  for (const auto& quad : QUADS) {
    *face = Face{};
    face->type = FACE_COLOUR << 24 | ARM_COLOUR;
    face->vertexCount = 4;
    for (int i = 0; i < 4; ++i) face->index[i] = static_cast<uint16_t>(base + quad[i]);
    RdrDrawFaceFlat(face);
  }
}

struct DrawContext {
  Vehicle* vehicle;
  CarModel* model;
  DrawSlot object;  // position set per part; view depth of the whole vehicle
  int32_t level;
  bool own;
};

bool ArmsShown(const DrawContext& c) {
  return c.vehicle->cameraDistance <= NEAR_PARTS_DISTANCE && (c.model->flag1 || gRace.debugMode == DEBUG_SMALL_MODELS);
}

void DrawWheels(DrawContext& c, bool frontOnly) {
  Vehicle* v = c.vehicle;
  // Wheel sets exist for the first three levels; the far body keeps the last.
  const int32_t set = c.level < WHEEL_INSTANCE_SETS ? c.level : WHEEL_INSTANCE_SETS - 1;
  MeshHeader** sources = c.model->wheelSet[set];
  MeshHeader** instances = c.model->wheelSet[set + WHEEL_INSTANCE_SETS];
  if (!sources || !instances) return;
  const int32_t steering = SteeringAngle(v);
  const bool arms = ArmsShown(c);
  for (int w = 0; w < (frontOnly ? 2 : VEHICLE_WHEELS); ++w) {
    WheelState& wheel = v->wheels[w];
    if (!wheel.attached) continue;
    const bool front = w < 2;
    // Wheel meshes run rear left, rear right, front left, front right.
    const int mesh = front ? 2 + w : w - 2;
    MeshHeader* source = sources[mesh];
    MeshHeader* instance = instances[mesh];
    if (!MeshDrawable(source) || !MeshDrawable(instance)) continue;
    float factor = front ? v->treadBlurFront : v->treadBlurRear;
    if (!c.own && v->cameraDistance >= NEAR_PARTS_DISTANCE) factor = 1.0f;
    c.object.x = wheel.centre[0];
    c.object.y = wheel.centre[1];
    c.object.z = wheel.centre[2];
    SetAngles(instance, v->frameAngles);
    VehicleDrawMesh(&c.object, source, instance, TruncI32(front ? v->wheelTurnFront : v->wheelTurnRear),
                    front ? steering : 0, wheel.bend, factor);
    const float armLength = front ? c.model->point4.z : c.model->point5.z;
    if (arms) VehicleDrawFlatPartA(&c.object, v, armLength);
    if (!gIceReflections) continue;
    DrawSlot mirrored = Mirrored(c.object);
    SetMirroredAngles(instance, v->frameAngles);
    VehicleDrawFlattened(&mirrored, instance);
    if (arms) VehicleDrawFlatPartB(&mirrored, v, armLength);
  }
}

void DrawBody(DrawContext& c) {
  Vehicle* v = c.vehicle;
  const int32_t stage = BodyStage(v);
  const bool small = gRace.debugMode == DEBUG_SMALL_MODELS;
  if (c.level < FAR_BODY_SET) {
    MeshHeader** set = c.model->bodySet[c.level];
    MeshHeader* body = set ? set[stage] : nullptr;
    if (v->damageStage > FLAME_DAMAGE_STAGE) FxSpawnVehicleFire(v);
    if (!MeshDrawable(body)) return;
    SetAngles(body, v->bodyAngles);
    c.object.x = v->bodyPoint[0];
    c.object.y = v->bodyPoint[1];
    c.object.z = v->bodyPoint[2];
    if (small) VehicleMeshShrink(body);
    const uint32_t reflet = RefletTexture();
    if ((c.level == 0 || c.own) && reflet)
      RdrDrawObjectBlended(&c.object, body, reflet, static_cast<float>(gVehicleDraw.bodyLight));
    else
      RdrDrawObjectLit(&c.object, body);
    if (gIceReflections) {
      DrawSlot mirrored = Mirrored(c.object);
      SetMirroredAngles(body, v->bodyAngles);
      VehicleDrawFlattened(&mirrored, body);
      SetAngles(body, v->bodyAngles);
    }
    if (small) VehicleMeshRestore(body);
    return;
  }
  MeshHeader* body = c.model->body[FAR_BODY_SET][stage];
  if (!MeshDrawable(body)) return;
  SetAngles(body, v->bodyAngles);
  c.object.x = v->pose.x;
  c.object.y = v->pose.y;
  c.object.z = v->pose.z;
  if (small) VehicleMeshShrink(body);
  const bool near = v->cameraDistance <= LIT_FAR_BODY_DISTANCE;
  if (near)
    VehicleDrawLowDetail(&c.object, body, gVehicleDraw.carFaceWord);
  else
    RdrDrawObject(&c.object, body);
  if (gIceReflections && near) {
    DrawSlot mirrored = Mirrored(c.object);
    SetMirroredAngles(body, v->bodyAngles);
    VehicleDrawFlattened(&mirrored, body);
    SetAngles(body, v->bodyAngles);
  }
  if (small) VehicleMeshRestore(body);
}

void DrawDriver(DrawContext& c, MeshHeader* driver) {
  Vehicle* v = c.vehicle;
  if (!MeshDrawable(driver)) return;
  VehicleAnimateDriver(driver, v);
  driver->angle[0] = v->bodyAngles[0];
  driver->angle[1] = v->bodyAngles[1];
  driver->angle[2] = v->driverRoll;
  c.object.x = v->headPoint[0];
  c.object.y = v->headPoint[1];
  c.object.z = v->headPoint[2];
  RdrDrawObjectLit(&c.object, driver);
  VehicleDrawTurnedPart(v, &c.object, SteeringAngle(v));
}

// The render values of this vehicle; false when its type names no model.
bool BeginVehicle(DrawContext& c) {
  Vehicle* v = c.vehicle;
  if (v->type < 0 || v->type >= CAR_MODEL_ROWS) return false;
  c.model = &gCarModels[v->type];
  gVehicleDraw.carModel = c.model;
  const int32_t paint = v->paintIndex < 0 ? 0 : v->paintIndex >= TYRE_MARK_TEXTURES ? TYRE_MARK_TEXTURES - 1 : v->paintIndex;
  gVehicleDraw.carFaceWord = FACE_TEX_LIT << 24 | (gAssets.tyreMarks[paint] & 0xFFFFFF);
  VehicleDrawSetLight(v);
  return true;
}

void EndVehicle() {
  if (!gVehicleDraw.tinted) return;
  LightSetColour(gRace.lightColour[0], gRace.lightColour[1], gRace.lightColour[2]);
  RdrColourLightOff();
  gVehicleDraw.tinted = 0;
}

// A vehicle being reset blinks: hidden for the first 256 ms of every 512.
// Otherwise one just put back flickers while its hits are ignored.
bool Hidden(const Vehicle* v, bool blinks, bool flickers) {
  if (blinks && v->state == VEHICLE_RESETTING) return (AppTimerElapsed(v->timerSlot) & 511) < 256;
  return flickers && v->hitProtect > 0.0f && (gRace.ticks & 7) < 2;
}

void DrawNetworkOthers() {
  const int32_t own = NetOwnIndex();
  for (int32_t i = 0; i < NetParticipantCount(); ++i)
    if (i != own) VehicleDrawOther(nullptr, NetParticipantRecord(i));
}

// The coordinates the shrink saved, for the restore.
struct SavedCoordinates {
  const MeshHeader* mesh;
  std::vector<float> xyz;
};
SavedCoordinates gSaved;

}  // namespace

void VehicleDrawSetLight(Vehicle* v) {
  const int32_t factor = gVehicleDraw.carModel ? gVehicleDraw.carModel->lightFactor : 100;
  gVehicleDraw.tinted = 0;
  if (!v->tintValid) {
    gVehicleDraw.bodyLight = factor;
    return;
  }
  gVehicleDraw.bodyLight = (v->tintRed + v->tintGreen + v->tintBlue) / 3 * factor / 256;
  LightSetColour(v->tintRed, v->tintGreen, v->tintBlue);
  RdrColourLightOn();
  gVehicleDraw.tinted = 1;
}

void VehicleDrawMesh(DrawSlot* object, MeshHeader* source, MeshHeader* instance, int32_t a, int32_t b, int32_t c,
                     float treadFactor) {
  if (!object || !MeshDrawable(source) || !MeshDrawable(instance)) return;
  // The instance is a clone of the source: anything else is not a wheel of this model.
  if (source->vertexCount != instance->vertexCount || source->faceCount != instance->faceCount) return;
  float m[9];
  MatFromAngles(a, b, c, m);
  TurnVerticesInto(m, source, instance);
  for (uint32_t f = 0; f < source->faceCount; ++f) {
    const Face& from = source->faces[f];
    Face& to = instance->faces[f];
    const Vec3 n = Turn(m, from.normalX, from.normalY, from.normalZ);
    to.normalX = n.x;
    to.normalY = n.y;
    to.normalZ = n.z;
    if (!from.tag) continue;
    to.type = gVehicleDraw.carFaceWord;
    for (int k = 0; k < 4; ++k) {
      to.st[2 * k] = from.st[2 * k];
      to.st[2 * k + 1] = treadFactor == 1.0f ? from.st[2 * k + 1] : from.st[2 * k + 1] / treadFactor;
    }
  }
  RdrDrawObjectLit(object, instance);
}

void VehicleDrawTurnedPart(Vehicle* v, DrawSlot* object, int32_t steering) {
  MeshHeader* source = gVehicleAssets.driverWheel;
  MeshHeader* part = gVehicleAssets.driverWheelClone;
  if (!v || !object || !MeshDrawable(source) || !MeshDrawable(part)) return;
  if (source->vertexCount != part->vertexCount || source->faceCount != part->faceCount) return;
  const Vec3 up = Axis(v, 1), along = Axis(v, 2);
  object->x = v->eyePoint[0] - 1.9f * up.x + 2.0f * along.x;
  object->y = v->eyePoint[1] - 1.9f * up.y + 2.0f * along.y;
  object->z = v->eyePoint[2] - 1.9f * up.z + 2.0f * along.z;
  float m[9];
  MatFromAngles(-56, 0, 512 - steering, m);
  TurnVerticesInto(m, source, part);
  SetAngles(part, v->bodyAngles);
  RdrDrawObjectLitTwoSided(object, part);
}

void VehicleDrawFlatPartA(DrawSlot* object, Vehicle* v, float armLength) {
  if (object && v) DrawArm(object, v, armLength, false);
}

void VehicleDrawFlatPartB(DrawSlot* object, Vehicle* v, float armLength) {
  if (object && v) DrawArm(object, v, armLength, true);
}

void VehicleDrawFlattened(DrawSlot* object, MeshHeader* mesh) {
  if (!object || !MeshDrawable(mesh)) return;
  if (object->viewZ < 0.0f || object->viewZ > MIRROR_MAX_DEPTH) return;
  ObjectMatrixOf(mesh);
  PlaceVertices(object, mesh, true);
  ObjectVertices scope(mesh);
  for (uint32_t f = 0; f < mesh->faceCount; ++f) {
    Face* face = &mesh->faces[f];
    if (!FaceUsable(*face, mesh->vertexCount) || FacesAway(mesh, *face)) continue;
    if (face->type >> 24)
      RdrDrawFaceDecal(face);
    else
      RdrDrawFaceFlat(face);
  }
}

void VehicleDrawLowDetail(DrawSlot* object, MeshHeader* mesh, uint32_t carFaceWord) {
  if (!object || !MeshDrawable(mesh)) return;
  if (object->viewZ < -195.0f || object->viewZ > gRace.viewDistance + 200.0f) return;
  ObjectMatrixOf(mesh);
  PlaceVertices(object, mesh, false);
  const LightState& light = gLight;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    const Vec3 n = Turn(gCamera.object, v.normalX, v.normalY, v.normalZ);
    const float dot = n.x * light.directionX + n.y * light.directionY + n.z * light.directionZ;
    float value = 32.0f + dot * light.intensity / 1024.0f / 1024.0f;
    if (value < light.ambient) value = light.ambient;
    if (value >= 64.0f) value = 63.0f;
    v.light = value;
  }
  ObjectVertices scope(mesh);
  for (uint32_t f = 0; f < mesh->faceCount; ++f) {
    Face* face = &mesh->faces[f];
    if (!FaceUsable(*face, mesh->vertexCount) || FacesAway(mesh, *face)) continue;
    if (face->tag) {
      const uint32_t own = face->type;
      face->type = carFaceWord;
      RdrDrawFaceDecal(face);
      face->type = own;
    } else if ((face->type >> 24) == FACE_COLOUR) {
      RdrDrawFaceGouraud(face);
    } else {
      RdrDrawFaceTexLit(face);
    }
  }
}

void VehicleMeshShrink(MeshHeader* mesh) {
  if (!MeshDrawable(mesh)) return;
  gSaved.mesh = mesh;
  gSaved.xyz.resize(static_cast<size_t>(mesh->vertexCount) * 3);
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    gSaved.xyz[3 * i] = v.x;
    gSaved.xyz[3 * i + 1] = v.y;
    gSaved.xyz[3 * i + 2] = v.z;
    v.x *= 0.625f;
    v.y *= 0.833333f;
    v.z *= 0.625f;
  }
}

// Scaling back by 1.6 and 1.2 would leave every vertex a little lower each
// frame (0.833333 x 1.2 is not 1), so the saved coordinates go back instead.
void VehicleMeshRestore(MeshHeader* mesh) {
  if (!MeshDrawable(mesh) || gSaved.mesh != mesh || gSaved.xyz.size() != static_cast<size_t>(mesh->vertexCount) * 3)
    return;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    v.x = gSaved.xyz[3 * i];
    v.y = gSaved.xyz[3 * i + 1];
    v.z = gSaved.xyz[3 * i + 2];
  }
  gSaved.mesh = nullptr;
}

void VehicleDrawOther(Vehicle* vehicle, Vehicle* netRecord) {
  Vehicle* v = vehicle ? vehicle : netRecord;
  if (!v) return;
  Vertex at{};
  at.x = v->pose.x;
  at.y = v->pose.y;
  at.z = v->pose.z;
  RdrProjectVertex(&at);
  const float depth = at.viewZ;
  const int32_t distance = MathAbs16(TruncI32(depth));
  if (v->human == 1) {
    v->cameraDistance = 0;
  } else if (gViewInsetPass) {
    // The sounds and level of detail of the next frame go by the views' distances, not an inset's.
  } else if (gRace.viewIndex) {
    if (distance < v->cameraDistance) v->cameraDistance = distance;
  } else {
    v->cameraDistance = distance;
  }
  if (gRace.noHumanMode && v == &gVehicleRecords[VEHICLE_EXTRA_CAR]) v->cameraDistance = 0;

  if (Hidden(v, true, true)) return;
  if (depth < -50.0f || depth > gRace.viewDistance + 50.0f) return;
  int32_t level = v->cameraDistance / LEVEL_STEP;
  const int32_t top = gRace.debugMode == DEBUG_SMALL_MODELS ? MAX_LEVEL - 1 : MAX_LEVEL;
  if (level > top) level = top;
  if (level < gOptions.detail[1]) level = gOptions.detail[1];
  // The detail byte comes back from a saved championship: only four body sets exist.
  DrawContext c{v, nullptr, DrawSlot{}, ClampLevel(level), false};
  c.object.viewX = at.viewX;
  c.object.viewY = at.viewY;
  c.object.viewZ = depth;
  if (!BeginVehicle(c)) return;
  DrawWheels(c, false);
  DrawBody(c);
  if (c.level <= 1) DrawDriver(c, gVehicleAssets.driverClones[0]);
  if (v->cameraDistance < SHADOW_DISTANCE && !gIceReflections) {
    VehicleDrawShadow(v);
    if (v->exhaustFlame && gRace.debugMode != DEBUG_SMALL_MODELS) FxSpawnExhaustFlames(v);
  }
  EndVehicle();
}

void VehicleDrawOwn(Vehicle* v, int32_t viewNumber) {
  if (!v) return;
  const int32_t view = gRace.flyInActive ? 0 : v->viewActive;
  if (view == 2) return;
  if (Hidden(v, !v->finished, view == 0)) return;
  DrawContext c{v, nullptr, DrawSlot{}, ClampLevel(gOptions.detail[0]), true};
  c.object.viewZ = OWN_VIEW_DEPTH;
  if (!BeginVehicle(c)) return;
  if (view == 1) {
    RdrSetDepthRange(IN_CAR_NEAR_PLANE, FarDistance());
    DrawWheels(c, true);
    if (v->damageStage > FLAME_DAMAGE_STAGE) FxSpawnVehicleFire(v);
    RdrSetDepthRange(NEAR_PLANE, FarDistance());
    EndVehicle();
    return;
  }
  DrawWheels(c, false);
  DrawBody(c);
  if (gOptions.detail[0] < 2) DrawDriver(c, viewNumber ? gVehicleAssets.driverClones[0] : gVehicleAssets.driver);
  if (!v->markLaid && v->type != 2)
    for (WheelState& wheel : v->wheels) FxDrawTyreTrail(&wheel);
  if (!gIceReflections) VehicleDrawShadow(v);
  if (v->exhaustFlame && gRace.debugMode != DEBUG_SMALL_MODELS) FxSpawnExhaustFlames(v);
  EndVehicle();
}

void VehicleDrawAll() {
  if (!gRace.trajectoriesLoaded) return;
  const bool training = gRace.gameMode == 0;
  if (gRace.viewIndex && !gRace.noHumanMode) {
    if (!training)
      for (int slot = 1; slot <= 4; ++slot) VehicleDrawOther(&gVehicleRecords[slot], nullptr);
    VehicleDrawOther(gPlayer1Vehicle, nullptr);
    return;
  }
  if (gRace.networkGame) {
    DrawNetworkOthers();
    return;
  }
  if (!training) {
    for (int slot = 0; slot <= 4; ++slot) VehicleDrawOther(&gVehicleRecords[slot], nullptr);
  } else if (gRace.playersMode == 1) {
    VehicleDrawOther(&gVehicleRecords[0], nullptr);
  }
  if (gRace.noHumanMode) {
    // The extra car stands in for player 1: it is drawn at the own vehicle's detail.
    const uint8_t saved = gOptions.detail[1];
    gOptions.detail[1] = gOptions.detail[0];
    VehicleDrawOther(&gVehicleRecords[VEHICLE_EXTRA_CAR], nullptr);
    gOptions.detail[1] = saved;
  }
}

void VehicleDrawInsetAll() {
  if (!gRace.trajectoriesLoaded || gRace.gameMode == 0) return;
  if (gRace.networkGame) {
    DrawNetworkOthers();
    return;
  }
  for (int slot = 0; slot <= 4; ++slot) VehicleDrawOther(&gVehicleRecords[slot], nullptr);
}
