// The in-car view and the dial panel of the outside views.
//
// The interior is drawn from the model's own vertex array: while its faces
// are bucketed and drawn, the current vertex array points at the model's
// vertices, and it is put back afterwards, as the object routines do.
#include "presentation/cockpit.h"
#include "presentation/quads.h"

#include <cstring>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "frontend/frontend.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

CockpitBucketState gCockpitBuckets;

namespace {

constexpr int32_t INTERIOR_SET = CAR_BODY_SETS - 1;
constexpr uint8_t VIEW_IN_CAR = 1;
constexpr float NEEDLE_DEPTH = 10.0f;
constexpr float NEEDLE_LIGHT = 64.0f;
constexpr uint32_t WHITE = 0x00FFFFFF;
constexpr uint32_t DECAL_FACE_TYPE = 0x2000000;
constexpr float NEAREST_DEPTH = 0.5f;
constexpr int32_t DASHBOARD_FAR = 30;
constexpr float MAX_REVS_SHOWN = 9500.0f;

struct Vec3 {
  float x, y, z;
};

Vec3 Turn(const float* m, float x, float y, float z) {
  return {m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z, m[6] * x + m[7] * y + m[8] * z};
}

// The vehicle frame's point (a, b, c) in the world: the axes are the columns
// of the body matrix, the origin a point of the vehicle.
Vec3 VehiclePoint(const Vehicle* v, const float* origin, float a, float b, float c) {
  const Vec3 d = Turn(v->bodyMatrix, a, b, c);
  return {origin[0] + d.x, origin[1] + d.y, origin[2] + d.z};
}

Vec3 ViewOf(const Vec3& p) { return Turn(gCamera.view, p.x, p.y, p.z); }

// Centre + scale x coordinate / depth, the depth raised to 0.5.
void Project(Vertex* v) {
  const RdrState& s = gRdrState;
  const float z = v->viewZ >= NEAREST_DEPTH ? v->viewZ : NEAREST_DEPTH;
  v->screenX = s.centreX + v->viewX * s.scaleX / z;
  v->screenY = s.centreY + v->viewY * s.scaleY / z;
}

// 32 + intensity x the cosine between normal and light, floored at the
// ambient; 64 and above is held at 63.
float LightOf(const Vec3& n) {
  const LightState& L = gLight;
  float light = (n.x * L.directionX + n.y * L.directionY + n.z * L.directionZ) / 1024.0f * L.intensity / 1024.0f + 32.0f;
  if (light < L.ambient) light = L.ambient;
  if (light >= 64.0f) light = 63.0f;
  return light;
}

bool MeshDrawable(const MeshHeader* mesh) {
  return mesh && (mesh->vertexCount == 0 || mesh->vertices) && (mesh->faceCount == 0 || mesh->faces);
}

bool FaceUsable(const Face& face, uint32_t vertexCount) {
  if (face.vertexCount < 3 || face.vertexCount > 4) return false;
  for (int i = 0; i < face.vertexCount; ++i)
    if (face.index[i] >= vertexCount) return false;
  return true;
}

// The face routines read the model's own vertices for the time of a draw.
struct ModelVertices {
  explicit ModelVertices(MeshHeader* mesh) : savedVertices(gMesh.vertices), savedCount(gRdrObjectVertexCount) {
    gMesh.vertices = mesh->vertices;
    gRdrObjectVertexCount = mesh->vertexCount;
  }
  ~ModelVertices() {
    gMesh.vertices = savedVertices;
    gRdrObjectVertexCount = savedCount;
  }
  ModelVertices(const ModelVertices&) = delete;
  ModelVertices& operator=(const ModelVertices&) = delete;
  Vertex* savedVertices;
  int64_t savedCount;
};

CarModel* CarModelOf(const Vehicle* v) {
  return v->type >= 0 && v->type < CAR_MODEL_ROWS ? &gCarModels[v->type] : nullptr;
}

// The interior model of the vehicle's type: one per damage stage.
MeshHeader* InteriorOf(const Vehicle* v) {
  CarModel* row = CarModelOf(v);
  if (!row) return nullptr;
  const int32_t stage = v->damageStage < CAR_BODY_STAGES ? v->damageStage : CAR_BODY_STAGES - 1;
  return row->body[INTERIOR_SET][stage];
}

void SetModelAngles(const Vehicle* v, MeshHeader* model) {
  for (int i = 0; i < 3; ++i) model->angle[i] = v->bodyAngles[i];
  for (int i = 0; i < 3; ++i) gCamera.objectAngle[i] = model->angle[i];
  MatObjectFromAngles();
}

// Into view space and onto the screen; the back faces are left out, the
// rest go into the buckets.
void Transform(Vehicle* v, MeshHeader* model, bool lit) {
  SetModelAngles(v, model);
  const float* m = gCamera.object;
  const float dx = v->bodyPoint[0] - gCamera.x, dy = v->bodyPoint[1] - gCamera.y, dz = v->bodyPoint[2] - gCamera.z;
  for (uint32_t i = 0; i < model->vertexCount; ++i) {
    Vertex& vertex = model->vertices[i];
    const Vec3 p = Turn(m, vertex.x, vertex.y, vertex.z);
    const Vec3 view = ViewOf({p.x + dx, p.y + dy, p.z + dz});
    vertex.viewX = view.x;
    vertex.viewY = view.y;
    vertex.viewZ = view.z;
    Project(&vertex);
    if (lit) vertex.light = LightOf(Turn(m, vertex.normalX, vertex.normalY, vertex.normalZ));
  }
  for (uint32_t f = 0; f < model->faceCount; ++f) {
    Face* face = &model->faces[f];
    if (!FaceUsable(*face, model->vertexCount)) continue;
    const Vec3 n = ViewOf(Turn(m, face->normalX, face->normalY, face->normalZ));
    const Vertex& first = model->vertices[face->index[0]];
    if (n.x * first.viewX + n.y * first.viewY + n.z * first.viewZ < 0.0f) continue;
    CockpitBucketsAdd(face);
  }
}

using FaceRoutine = void (*)(Face*);

void DrawBuckets(FaceRoutine colourFace, FaceRoutine otherFace) {
  const CockpitBucketState& b = gCockpitBuckets;
  for (int32_t k = COCKPIT_BUCKETS - 1; k >= 0; --k)
    for (int32_t n = b.buckets[k].head; n >= 0; n = b.nodes[n].next) {
      Face* face = b.nodes[n].face;
      ((face->type >> 24) == FACE_COLOUR ? colourFace : otherFace)(face);
    }
}

// Scratch room past the world for a hand-built face of `corners` corners,
// zeroed and numbered; null when the room is not there.
Face* ScratchFace(int32_t corners, Vertex** vertices) {
  Vertex* v = MeshScratchVertices(gMesh.vertexCount, corners);
  Face* f = MeshScratchFaces(gMesh.faceCount, 1);
  if (!v || !f) return nullptr;
  std::memset(v, 0, sizeof(Vertex) * static_cast<size_t>(corners));
  std::memset(f, 0, sizeof(Face));
  f->vertexCount = static_cast<uint8_t>(corners);
  for (int i = 0; i < corners; ++i) f->index[i] = static_cast<uint16_t>(gMesh.vertexCount + i);
  *vertices = v;
  return f;
}

// A white needle: the triangle of the three corners turned by `angle` about the hub.
void DrawNeedle(float hubX, float hubY, const float (&corners)[3][2], int32_t angle, FaceRoutine draw) {
  Vertex* v = nullptr;
  Face* f = ScratchFace(3, &v);
  if (!f) return;
  const float c = MathCos(angle), s = MathSin(angle);
  f->type = WHITE;
  for (int i = 0; i < 3; ++i) {
    const float x = corners[i][0], y = corners[i][1];
    v[i].screenX = hubX + (x * c - y * s);
    v[i].screenY = hubY + (x * s + y * c);
    v[i].viewZ = NEEDLE_DEPTH;
    v[i].light = NEEDLE_LIGHT;
    v[i].red = v[i].green = v[i].blue = 0xFF;
  }
  draw(f);
}

void DrawSteeringWheel(Vehicle* v, MeshHeader* wheel) {
  if (!MeshDrawable(wheel)) return;
  const CockpitPoint hub = CockpitProjectPoint(v, 0.0f, -2.7f, 3.0f);
  const int32_t angle = CockpitSteeringAngle(v);
  const float c = MathCos(angle), s = MathSin(angle);
  const float w = static_cast<float>(gRdrState.screenWidth), h = static_cast<float>(gRace.viewHeight);
  const float k = gRace.playersMode == 1 && gRace.splitSideBySide == 1 ? 0.5f : 1.0f;
  for (uint32_t i = 0; i < wheel->vertexCount; ++i) {
    Vertex& vertex = wheel->vertices[i];
    vertex.screenX = hub.x + (vertex.x * c - vertex.y * s) * w / 512.0f * k;
    vertex.screenY = hub.y + (vertex.x * s + vertex.y * c) * h / 384.0f;
    vertex.viewZ = NEEDLE_DEPTH;
    vertex.light = NEEDLE_LIGHT;
  }
  ModelVertices use(wheel);
  for (uint32_t f = 0; f < wheel->faceCount; ++f)
    if (FaceUsable(wheel->faces[f], wheel->vertexCount)) RdrDrawFaceTexLit(&wheel->faces[f]);
}

void DrawDashboard(Vehicle* v) {
  MeshHeader* dashboard = gVehicleAssets.dashboard;
  if (!MeshDrawable(dashboard)) return;
  for (int i = 0; i < 3; ++i) dashboard->angle[i] = v->bodyAngles[i];
  const Vec3 p = VehiclePoint(v, v->bodyPoint, -6.0f, 10.0f, 0.0f);
  DrawSlot slot{};
  slot.x = p.x;
  slot.y = p.y;
  slot.z = p.z;
  const Vec3 view = ViewOf({p.x - gCamera.x, p.y - gCamera.y, p.z - gCamera.z});
  slot.viewX = view.x;
  slot.viewY = view.y;
  slot.viewZ = view.z;
  const int32_t nearPlane = TruncI32(gRdrState.nearPlane), farPlane = TruncI32(gRdrState.farPlane);
  RdrSetDepthRange(nearPlane, DASHBOARD_FAR);
  RdrDrawObjectLit(&slot, dashboard);
  RdrSetDepthRange(nearPlane, farPlane);
}

int32_t Scaled512(int32_t n) { return gRdrState.screenWidth * n / 512; }
int32_t Scaled384(int32_t n) { return gRace.viewHeight * n / 384; }

}  // namespace

int32_t CockpitVelocityAngle(const Vehicle* v) {
  return v->velocity >= 0.0f ? TruncI32(v->velocity * 750.0f * 0.004f) + 8 : 8;
}

int32_t CockpitRevsAngle(const Vehicle* v) {
  const float maximum = v->physParams[PHYS_REV_LIMIT];
  const float revs = v->engineRevs < MAX_REVS_SHOWN ? v->engineRevs : MAX_REVS_SHOWN;
  // A type without a limit would divide by zero: its needle rests.
  if (!(maximum > 0.0f)) return 100;
  return TruncI32(revs * 800.0f / maximum) + 100;
}

int32_t CockpitSteeringAngle(const Vehicle* v) { return TruncI32(256.0f - v->steerInput * 900.0f * 0.003125f); }

void CockpitBucketsClear() {
  CockpitBucketState& b = gCockpitBuckets;
  for (CockpitBucket& bucket : b.buckets) bucket = {0, -1, -1};
  b.used = 0;
  b.dropped = 0;
}

bool CockpitBucketsAdd(Face* face) {
  CockpitBucketState& b = gCockpitBuckets;
  // Interiors come from files: a model with more faces than the arena gets
  // the rest left out rather than written past it.
  if (b.used >= COCKPIT_NODES) {
    ++b.dropped;
    return false;
  }
  int32_t depth = VisFaceDepth(face);
  if (depth < 0) depth = 0;
  if (depth > COCKPIT_BUCKETS - 1) depth = COCKPIT_BUCKETS - 1;
  const int32_t n = b.used++;
  b.nodes[n] = {face, -1};
  CockpitBucket& bucket = b.buckets[depth];
  if (bucket.tail >= 0)
    b.nodes[bucket.tail].next = n;
  else
    bucket.head = n;
  bucket.tail = n;
  ++bucket.count;
  return true;
}

void CockpitBucketsDrawLit() { DrawBuckets(RdrDrawFaceGouraud, RdrDrawFaceTexLit); }
void CockpitBucketsDrawUnlit() { DrawBuckets(RdrDrawFaceFlat, RdrDrawFaceDecal); }

void CockpitTransformLit(Vehicle* vehicle, MeshHeader* model) {
  if (!MeshDrawable(model)) return;
  ModelVertices use(model);
  Transform(vehicle, model, true);
  CockpitBucketsDrawLit();
}

void CockpitTransformUnlit(Vehicle* vehicle, MeshHeader* model) {
  if (!MeshDrawable(model)) return;
  ModelVertices use(model);
  Transform(vehicle, model, false);
  CockpitBucketsDrawUnlit();
}

// The needles and the steering wheel hang in front of the driver: their
// points are taken from the eye point the in-car camera sits on (the body
// point lies some 10 units lower, which would put them below the screen).
CockpitPoint CockpitProjectPoint(Vehicle* vehicle, float a, float b, float c) {
  const Vec3 p = VehiclePoint(vehicle, vehicle->eyePoint, a, b, c);
  const Vec3 view = ViewOf({p.x - gCamera.x, p.y - gCamera.y, p.z - gCamera.z});
  Vertex v{};
  v.viewX = view.x;
  v.viewY = view.y;
  v.viewZ = view.z;
  Project(&v);
  return {v.screenX, v.screenY};
}

void CockpitDrawBody(Vehicle* vehicle) {
  const int32_t farPlane = TruncI32(gRace.viewDistance);
  RdrSetDepthRange(3, farPlane);
  CockpitBucketsClear();
  if (MeshHeader* interior = InteriorOf(vehicle)) {
    if (gOptions.detail[2])
      CockpitTransformLit(vehicle, interior);
    else
      CockpitTransformUnlit(vehicle, interior);
  }
  DrawDashboard(vehicle);
  RdrSetDepthRange(5, farPlane);
}

void CockpitDrawDials(Vehicle* vehicle) {
  const bool fog = gOptions.detail[3] != 0;
  RdrDepthOff();
  if (fog) RdrFogOff();
  const int32_t x0 = TruncI32(gRdrState.clipMinX), y0 = gRace.viewTop;
  Vertex* v = nullptr;
  if (Face* f = ScratchFace(4, &v)) {
    const float xs[4] = {0, 1, 1, 0}, ys[4] = {0, 0, 1, 1};
    const float left = static_cast<float>(x0), right = static_cast<float>(x0 + Scaled512(96));
    const float top = static_cast<float>(y0 + Scaled384(256)), bottom = static_cast<float>(y0 + gRace.viewHeight);
    f->type = (HudFont.digitTexture & 0xFFFFFF) | DECAL_FACE_TYPE;
    float st[8];
    for (int i = 0; i < 4; ++i) {
      v[i].screenX = xs[i] != 0 ? right : left;
      v[i].screenY = ys[i] != 0 ? bottom : top;
      v[i].viewZ = NEEDLE_DEPTH;
      st[2 * i] = xs[i] != 0 ? 255.0f : 160.0f;
      st[2 * i + 1] = ys[i] != 0 ? 127.0f : 1.0f;
    }
    QuadSetTexels(f, st);
    RdrDrawFaceDecal(f);
  }
  const float hubX = static_cast<float>(x0 + Scaled512(30));
  const float velocity[3][2] = {{1, -1}, {-1, -1}, {0, 10}};
  const float revs[3][2] = {{1, -1}, {-1, -1}, {0, 8}};
  DrawNeedle(hubX, static_cast<float>(y0 + Scaled384(329)), velocity, CockpitVelocityAngle(vehicle), RdrDrawFaceFlat);
  DrawNeedle(hubX, static_cast<float>(y0 + Scaled384(280)), revs, CockpitRevsAngle(vehicle), RdrDrawFaceFlat);
  if (fog) RdrFogOn();
  RdrDepthOn();
}

void CockpitDraw(Vehicle* vehicle) {
  if (!vehicle) return;
  if (vehicle->viewActive != VIEW_IN_CAR || gRace.flyInActive) {
    if (gRace.gauges) CockpitDrawDials(vehicle);
    return;
  }
  // Fog goes back on only where the race has fog: turned on without it, the
  // next frame would be fogged by whatever table the back end last held.
  const bool fog = gOptions.detail[3] != 0;
  RdrDepthOff();
  RdrFogOff();
  CockpitDrawBody(vehicle);
  const int32_t w2 = Scaled512(2), h2 = Scaled384(2);
  const float velocity[3][2] = {{static_cast<float>(w2), static_cast<float>(-h2)},
                                {static_cast<float>(-w2), static_cast<float>(-h2)},
                                {0.0f, static_cast<float>(Scaled384(20))}};
  const float revs[3][2] = {{velocity[0][0], velocity[0][1]},
                            {velocity[1][0], velocity[1][1]},
                            {0.0f, static_cast<float>(Scaled384(16))}};
  const CockpitPoint velocityHub = CockpitProjectPoint(vehicle, 2.8f, -6.0f, 10.0f);
  DrawNeedle(velocityHub.x, velocityHub.y, velocity, CockpitVelocityAngle(vehicle), RdrDrawFaceGouraud);
  const CockpitPoint revsHub = CockpitProjectPoint(vehicle, 3.1f, -6.0f, 10.0f);
  DrawNeedle(revsHub.x, revsHub.y, revs, CockpitRevsAngle(vehicle), RdrDrawFaceGouraud);
  if (CarModel* row = CarModelOf(vehicle)) DrawSteeringWheel(vehicle, row->steeringWheel);
  if (fog) RdrFogOn();
  RdrDepthOn();
}
