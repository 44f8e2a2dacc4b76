// The collision pass: every vehicle near the viewer against the others and,
// on the highway, against the traffic. A quick square test, a height test,
// then the exact footprint test through the back end's outline clipper on
// coordinates x 16; the response pushes, turns, slides and knocks the faster
// and the slower vehicle of a pair differently.
#include <cmath>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "race/collide.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

Vertex gCollideOutline[4];

namespace {

constexpr int32_t NEAR_VIEWER = 2000;
constexpr int32_t TRAFFIC_NEAR_VIEWER = 1000;
constexpr float SQUARE_TEST = 100.0f;
constexpr float OUTLINE_SCALE = 16.0f;

bool SplitScreen() { return gRace.playersMode == 1; }

// Calls `visit` on each candidate B of vehicle A in the order of the pass;
// stops when it returns true.
template <typename Visit>
void ForEachCandidate(const Vehicle* a, Visit visit) {
  auto offer = [&](Vehicle* b, bool participant) { return b && b != a && visit(b, participant); };
  if (gRace.gameMode == 0) {
    if (SplitScreen() && offer(gPlayer2Vehicle, false)) return;
  } else if (!gRace.networkGame) {
    for (int32_t slot = 0; slot < VEHICLE_EXTRA_CAR; ++slot)
      if (offer(&gVehicleRecords[slot], false)) return;
    if (gRace.noHumanMode && offer(&gVehicleRecords[VEHICLE_EXTRA_CAR], false)) return;
  } else {
    for (int32_t i = 0; i < NetParticipantCount(); ++i)
      if (offer(NetParticipantRecord(i), true)) return;
    if (gRace.noHumanMode && offer(&gVehicleRecords[VEHICLE_EXTRA_CAR], false)) return;
  }
  if (gRace.trackIndex != TRACK_HIGHWAY) return;
  for (Vehicle& t : gTrackObjects)
    if (t.cameraDistance < TRAFFIC_NEAR_VIEWER && offer(&t, false)) return;
}

int32_t WrapHeading(float h) {
  if (h >= 1024.0f) h -= 1024.0f;
  if (h < 0.0f) h += 1024.0f;
  return TruncI32(h);
}

void Knock(Vehicle* v, float impulse, float dx, float dz) {
  if (v->human == 2)
    TrackObjKnock(v, impulse, dx, dz, 0);
  else
    VehicleApplyHit(v, impulse, dx, dz, 0);
}

// One side of a contact. `other` is the vehicle it met; (dx, dz) points from
// this vehicle to the other.
struct Side {
  Vehicle* v;
  const Vehicle* other;
  float dx, dz;
  float traction;
  float minPush;
  float slideThreshold;
  bool faster;
};

void RespondSide(const Side& s, float closing, int32_t apart, bool otherFaster) {
  Vehicle* v = s.v;
  if (v->contactFlag) return;
  v->tractionOverride = s.traction;
  FfbShock(v, TruncI32(s.dx), TruncI32(s.dz));
  v->contactSoundFlag = 1;
  v->pushHeading2 = static_cast<float>(MathAngleTo(0.0f, 0.0f, -s.dz, -s.dx));
  v->pushVelocity2 = closing < s.minPush ? s.minPush : closing;
  const float side = CollideSideOf(&s.other->pose, v->pose.x, v->pose.z, v->prevPos[0], v->prevPos[2]);
  float e = v->velocity * 0.5f;
  if (e > 64.0f) e = 64.0f;
  if (e < 10.0f) e = 10.0f;
  if (side < 0.0f) e = -e;
  if (v->velocity < 100.0f &&
      std::abs(MathAngleDiff(TruncI32(v->pushHeading2), TruncI32(v->pose.heading))) > 100) {
    v->pose.x = v->prevPos[0];
    v->pose.y = v->prevPos[1];
    v->pose.z = v->prevPos[2];
  }
  if (v->state != VEHICLE_BLOCKED) {
    v->pose.heading = MathAngleTurn(TruncI32(v->heading), TruncI32(v->heading + e), gRace.timeStepFifth);
    VehicleSlideImpulse(v, e * 0.25f, e * 0.125f);
    v->heading = static_cast<float>(WrapHeading(v->pose.heading));
    CollideStartSlide(v, s.slideThreshold);
    if (closing > 40.0f && std::fabs(v->velocity) > 40.0f && v->state != VEHICLE_ROLLED_OVER) {
      v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), TruncI32(e), gRace.timeStepFifth);
      v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), TruncI32(std::fabs(e)), gRace.timeStep * 0.5f);
      if (v->state == VEHICLE_ON_GROUND && closing > 100.0f) VehicleSetAirborne(v);
    }
  }
  // The faster vehicle is knocked only when the slower one drove into it
  // head-on; the slower one always may be.
  if (!s.faster || (apart >= 256 && otherFaster)) {
    if (CollideHardHit(v)) Knock(v, closing * 0.25f, s.dx * -1.0f, s.dz * -1.0f);
  } else if (v->pushVelocity2 > 50.0f) {
    v->pushVelocity2 = 50.0f;
  }
}

}  // namespace

float CollideSideOf(const Camera* p, float x1, float z1, float x2, float z2) {
  return (z2 - z1) * (p->x - x1) - (x2 - x1) * (p->z - z1);
}

void CollideBuildOutline(const Vehicle* a, float x, float y, float z, const Camera* pose) {
  const float lift = a->state == VEHICLE_ROLLED_OVER ? -10.0f : 10.0f;
  const float* f = a->footprint;
  const float far = a->state == VEHICLE_BACKING_OFF || a->velocity < 0.0f ? 0.0f : f[5];
  const float corners[4][2] = {{f[0], f[4]}, {f[1], f[4]}, {f[1], far}, {f[0], far}};
  float m[9];
  MatFromAngles(TruncI32(pose->pitch), TruncI32(-pose->heading), TruncI32(pose->roll + 512.0f), m);
  for (int i = 0; i < 4; ++i) {
    const float ox = corners[i][0], oy = lift, oz = corners[i][1];
    Vertex& out = gCollideOutline[i];
    out = Vertex{};
    out.viewX = (x + m[0] * ox + m[1] * oy + m[2] * oz) * OUTLINE_SCALE;
    out.viewY = (y + m[3] * ox + m[4] * oy + m[5] * oz) * OUTLINE_SCALE;
    out.viewZ = (z + m[6] * ox + m[7] * oy + m[8] * oz) * OUTLINE_SCALE;
  }
}

void CollideTurnOutline(const Vertex* outline, int32_t angle, float x, float z, Vertex* out) {
  const int32_t g = angle & ANGLE_MASK;
  const float s = SineTable[g], c = SineTable[(g + 256) & ANGLE_MASK];
  const float u = x * OUTLINE_SCALE, w = z * OUTLINE_SCALE;
  for (int i = 0; i < 4; ++i) {
    out[i] = outline[i];
    const float X = outline[i].viewX - u, Z = outline[i].viewZ - w;
    out[i].viewX = u + c * X - s * Z;
    out[i].viewZ = w + s * X + c * Z;
  }
}

bool CollideOutlineInBox(const Camera* poseB, const Vehicle* b) {
  Vertex turned[4];
  CollideTurnOutline(gCollideOutline, TruncI32(-poseB->heading), poseB->x, poseB->z, turned);
  const float* f = b->footprint;
  const float minX = static_cast<float>(TruncI32(poseB->x + f[0])) * OUTLINE_SCALE;
  const float maxX = static_cast<float>(TruncI32(poseB->x + f[1])) * OUTLINE_SCALE;
  const float minZ = static_cast<float>(TruncI32(poseB->z + f[4])) * OUTLINE_SCALE;
  const float maxZ = static_cast<float>(TruncI32(poseB->z + f[5])) * OUTLINE_SCALE;
  return RdrOutlineOnScreen(turned, minX, minZ, maxX, maxZ);
}

namespace {

// The outline is built at the first test that gets past the square and
// height tests; `rebuild` is cleared then, and set again by a response.
bool TestPair(Vehicle* a, Vehicle* b, bool* rebuild) {
  if (!(std::fabs(b->pose.x - a->pose.x) <= SQUARE_TEST && std::fabs(b->pose.z - a->pose.z) <= SQUARE_TEST))
    return false;
  float yb = b->pose.y;
  if (b->state == VEHICLE_ROLLED_OVER) yb -= 10.0f;
  if (yb + b->footprint[2] > a->pose.y + a->footprint[3]) return false;
  if (yb + b->footprint[3] < a->pose.y + a->footprint[2]) return false;
  if (*rebuild) CollideBuildOutline(a, a->pose.x, a->pose.y, a->pose.z, &a->pose);
  *rebuild = false;
  return CollideOutlineInBox(&b->pose, b);
}

}  // namespace

bool CollideTestPair(Vehicle* a, Vehicle* b, bool rebuild) { return TestPair(a, b, &rebuild); }

void CollideVehicle(Vehicle* a, Vehicle* copyHeadingTo) {
  if (a->state == VEHICLE_RESETTING || a->state == VEHICLE_SINKING || a->hitProtect > 0.0f) return;
  gRace.currentPose = &a->pose;
  bool rebuild = true;
  ForEachCandidate(a, [&](Vehicle* b, bool participant) {
    if (!TestPair(a, b, &rebuild)) return false;
    CollideRespond(a, b);
    if (!participant) b->aiHeading = static_cast<uint16_t>(TruncI32(b->heading));
    if (b->human == 2) TrackObjHorn(b);
    rebuild = true;
    return false;
  });
  if (copyHeadingTo) copyHeadingTo->aiHeading = static_cast<uint16_t>(TruncI32(a->heading));
}

bool CollideAnyVehicle(Vehicle* v) {
  gRace.currentPose = &v->pose;
  bool found = false, rebuild = true;
  ForEachCandidate(v, [&](Vehicle* b, bool) {
    found = TestPair(v, b, &rebuild);
    return found;
  });
  return found;
}

void CollideAllVehicles() {
  if (!gRace.noHumanMode) {
    if (gRace.networkGame) {
      if (Vehicle* own = NetOwnRecord()) CollideVehicle(own, nullptr);
    } else {
      CollideVehicle(gPlayer1Vehicle, nullptr);
      if (SplitScreen()) CollideVehicle(gPlayer2Vehicle, nullptr);
    }
  } else {
    Vehicle* extra = &gVehicleRecords[VEHICLE_EXTRA_CAR];
    if (extra->cameraDistance < NEAR_VIEWER) CollideVehicle(extra, extra);
  }
  if (!gRace.trajectoriesLoaded) return;
  if (gRace.networkGame) {
    const Vehicle* own = NetOwnRecord();
    for (int32_t i = 0; i < NetParticipantCount(); ++i) {
      Vehicle* v = NetParticipantRecord(i);
      if (!v || v == own || v->cameraDistance >= NEAR_VIEWER) continue;
      CollideVehicle(v, i < VEHICLE_TABLE_SLOTS ? gVehicleTable[i] : nullptr);
    }
  } else if (gRace.gameMode != 0) {
    for (int32_t slot = SplitScreen() ? 1 : 0; slot < VEHICLE_EXTRA_CAR; ++slot) {
      Vehicle* v = &gVehicleRecords[slot];
      if (v->cameraDistance < NEAR_VIEWER) CollideVehicle(v, v);
    }
  }
  if (gRace.trackIndex != TRACK_HIGHWAY) return;
  for (Vehicle& t : gTrackObjects)
    if (t.objectActive && t.cameraDistance < TRAFFIC_NEAR_VIEWER) CollideVehicle(&t, &t);
}

void CollideRespond(Vehicle* a, Vehicle* b) {
  a->contactTime += gRace.timeStep;
  b->contactTime += gRace.timeStep;
  Vehicle* f = std::fabs(b->velocity) > std::fabs(a->velocity) ? b : a;
  Vehicle* s = f == a ? b : a;
  const float dx = s->pose.x - f->pose.x, dz = s->pose.z - f->pose.z;
  const int32_t apart = std::abs(MathAngleDiff(TruncI32(s->pose.heading), TruncI32(f->pose.heading)));
  const float closing = apart >= 256 ? f->velocity + s->velocity : f->velocity - s->velocity;
  const bool slowerIsFaster = s->velocity > f->velocity;
  RespondSide(Side{f, s, dx, dz, 20.0f, 10.0f, 100.0f, true}, closing, apart, slowerIsFaster);
  RespondSide(Side{s, f, -dx, -dz, 10.0f, 20.0f, 40.0f, false}, closing, apart, false);
  f->contactFlag = 1;
  s->contactFlag = 1;
  CollideStuckCheck(f);
  CollideStuckCheck(s);
  CollideSettle(f);
  CollideSettle(s);
}

bool CollideHardHit(Vehicle* v) {
  if (v->pushVelocity2 <= 50.0f) return false;
  const float old = v->pushVelocity2;
  v->pushVelocity2 = 50.0f;
  const int32_t st = v->state;
  const bool thrown = st == VEHICLE_KNOCKED || st == VEHICLE_RESETTING || st == VEHICLE_JUMP_FLIGHT ||
                      st == VEHICLE_JUMP_RUNUP;
  return old > 150.0f && !thrown;
}

void CollideStuckCheck(Vehicle* v) {
  if (v->finished || !(v->contactTime > 20.0f)) return;
  if (v->human != 1) {
    if (v->state == VEHICLE_ON_GROUND) {
      v->contactTime = 0.0f;
      v->stateTimer = 60.0f;
      v->state = VEHICLE_BACKING_OFF;
    } else if (v->state != VEHICLE_BLOCKED) {
      v->state = VEHICLE_BLOCKED;
      v->stateTimer = 60.0f;
    }
  } else if (v->state != VEHICLE_BLOCKED) {
    v->state = VEHICLE_BLOCKED;
    v->stateTimer = 5.0f;
  }
}

void CollideSettle(Vehicle* v) {
  const int32_t s = v->state;
  if (!(s == VEHICLE_ON_GROUND || s == VEHICLE_CRIPPLED || s >= VEHICLE_CONTACT_SLIDE)) return;
  v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z);
  Camera* const saved = gRace.currentPose;
  gRace.currentPose = &v->pose;
  VehicleGroundAngles(v);
  gRace.currentPose = saved;
  v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), TruncI32(gVehicleStep.groundPitch), gRace.timeStepFifth);
  v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), TruncI32(gVehicleStep.groundRoll), gRace.timeStepFifth);
}
