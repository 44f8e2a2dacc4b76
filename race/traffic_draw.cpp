// The highway traffic as a view draws it: near objects with their wheels,
// far ones as one mesh, the police cars' roof light and the shadows; and
// the ring of police cars of the character scene.
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/traffic.h"

namespace {

constexpr int32_t DETAILED_DISTANCE = 641;
constexpr int32_t LIT_DISTANCE = 1001;
constexpr int32_t OVERLAY_DISTANCE = 159;
constexpr int32_t SHADOW_DISTANCE = 400;
constexpr float OVERLAY_LEVEL = 128.0f;
constexpr int FX_SPRITE_REFLET = 24;  // the sheen laid over the near bodies
constexpr float GLOW_NEAREST = 5.0f;

// The roof light's record: its colour follows the frame counter.
ObjectGlow gSirenGlow{1, nullptr, 255, 0, 0, 1.5f, 0.0f, 0.0f, 0.0f};

bool Drawable(const MeshHeader* mesh) {
  return mesh && (mesh->vertexCount == 0 || mesh->vertices) && (mesh->faceCount == 0 || mesh->faces);
}

void SetAngles(MeshHeader* mesh, const uint16_t angles[3]) {
  for (int i = 0; i < 3; ++i) mesh->angle[i] = angles[i];
}

uint32_t OverlayTexture() {
  const Sprite* sprite = gFxSprites[FX_SPRITE_REFLET];
  return sprite ? sprite->type : 0;
}

}  // namespace

void TrackObjTransformMesh(DrawSlot* slot, const TrafficType* t, Vehicle* v, int32_t wheel) {
  const MeshHeader* source = t->wheel;
  MeshHeader* turned = t->wheelCopy;
  if (!Drawable(source) || !Drawable(turned)) return;
  // The copy is a clone of the wheel: anything else is not drawn.
  if (source->vertexCount != turned->vertexCount || source->faceCount != turned->faceCount) return;
  const int32_t steering = wheel < 2 ? TruncI32(v->steerInput * 128.0f * 0.003125f) : 0;
  float m[9];
  MatFromAngles(TruncI32(v->wheelTurnFront), steering, 0, m);
  for (uint32_t i = 0; i < source->vertexCount; ++i) {
    const Vertex& from = source->vertices[i];
    Vertex& to = turned->vertices[i];
    to.x = m[0] * from.x + m[1] * from.y + m[2] * from.z;
    to.y = m[3] * from.x + m[4] * from.y + m[5] * from.z;
    to.z = m[6] * from.x + m[7] * from.y + m[8] * from.z;
    to.normalX = m[0] * from.normalX + m[1] * from.normalY + m[2] * from.normalZ;
    to.normalY = m[3] * from.normalX + m[4] * from.normalY + m[5] * from.normalZ;
    to.normalZ = m[6] * from.normalX + m[7] * from.normalY + m[8] * from.normalZ;
  }
  for (uint32_t f = 0; f < source->faceCount; ++f) {
    const Face& from = source->faces[f];
    Face& to = turned->faces[f];
    to.normalX = m[0] * from.normalX + m[1] * from.normalY + m[2] * from.normalZ;
    to.normalY = m[3] * from.normalX + m[4] * from.normalY + m[5] * from.normalZ;
    to.normalZ = m[6] * from.normalX + m[7] * from.normalY + m[8] * from.normalZ;
  }
  const WheelState& w = v->wheels[wheel];
  slot->x = w.centre[0];
  slot->y = w.centre[1];
  slot->z = w.centre[2];
  SetAngles(turned, v->frameAngles);
  RdrDrawObjectLit(slot, turned);
}

void TrackObjDrawSiren(Vehicle* v) {
  if (gFxGlowList.count < 0 || gFxGlowList.count >= FX_GLOW_MAX) return;
  const uint32_t phase = gRace.frameCounter & 7;
  const float side = 6.0f - 2.0f * static_cast<float>(phase);
  const float roof = v->footprint[3] > 0.0f ? v->footprint[3] : 10.0f;
  const float* m = v->bodyMatrix;
  Vertex point{};
  point.x = v->bodyPoint[0] + m[0] * side + m[1] * roof;
  point.y = v->bodyPoint[1] + m[3] * side + m[4] * roof;
  point.z = v->bodyPoint[2] + m[6] * side + m[7] * roof;
  RdrProjectVertex(&point);
  if (point.viewZ < GLOW_NEAREST || point.viewZ > gRace.viewDistance) return;
  // Red turning to blue and back as the light sweeps.
  gSirenGlow.red = 255 - 32 * static_cast<int32_t>(phase);
  gSirenGlow.blue = 31 + 32 * static_cast<int32_t>(phase);
  DrawSlot* entry = &gFxGlowList.entries[gFxGlowList.count];
  *entry = DrawSlot{};
  entry->viewX = point.viewX;
  entry->viewY = point.viewY;
  entry->viewZ = point.viewZ;
  entry->user = reinterpret_cast<uintptr_t>(&gSirenGlow);
  FxAddScreenGlow(entry, 0);
}

void TrackObjDraw(Vehicle* v) {
  Vertex at{};
  at.x = v->pose.x;
  at.y = v->pose.y;
  at.z = v->pose.z;
  RdrProjectVertex(&at);
  const float depth = at.viewZ;
  const int32_t distance = MathAbs16(TruncI32(depth));
  // The sounds and hits of the next frame go by the views' distances, not an inset's.
  if (!gViewInsetPass && (!gRace.viewIndex || distance < v->cameraDistance)) v->cameraDistance = distance;
  if (depth < -50.0f || depth > gRace.viewDistance + 50.0f) return;
  const TrafficType* t = &gTrafficTypes[v->type & (TRAFFIC_TYPES - 1)];
  DrawSlot slot{};
  slot.viewX = at.viewX;
  slot.viewY = at.viewY;
  slot.viewZ = depth;
  MeshHeader* body = t->farBody;
  if (v->cameraDistance < DETAILED_DISTANCE) {
    body = t->body;
    for (int32_t w = 0; w < VEHICLE_WHEELS; ++w) TrackObjTransformMesh(&slot, t, v, w);
  }
  if (Drawable(body)) {
    SetAngles(body, v->bodyAngles);
    slot.x = v->bodyPoint[0];
    slot.y = v->bodyPoint[1];
    slot.z = v->bodyPoint[2];
    const uint32_t overlay = OverlayTexture();
    if (v->cameraDistance >= LIT_DISTANCE)
      RdrDrawObject(&slot, body);
    else if (v->cameraDistance > OVERLAY_DISTANCE || !overlay)
      RdrDrawObjectLit(&slot, body);
    else
      RdrDrawObjectBlended(&slot, body, overlay, OVERLAY_LEVEL);
  }
  if (t->siren) TrackObjDrawSiren(v);
  if (v->cameraDistance < SHADOW_DISTANCE) VehicleDrawShadow(v);
}

void TrackObjDrawAll() {
  if (!gRace.trajectoriesLoaded || !gTrackObjState.placed) return;
  for (Vehicle& v : gTrackObjects)
    if (v.objectActive) TrackObjDraw(&v);
}
