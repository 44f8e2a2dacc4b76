// The replay camera: cuts between the track's camera spots as television
// would, keeping the followed car (the extra car of a race without human
// drivers) in frame, and now and then a close follow shot around it.
//
// Spot shots are drawn at twice the display's projection scale, follow shots
// at the display's own. Angles are 10-bit units held as floats, truncated
// whenever the angle helpers take them.
#include <algorithm>
#include <cstdlib>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "presentation/presentation.h"
#include "presentation/replay.h"
#include "race/race.h"
#include "race/track_files.h"

Camera gReplayCamera;
ReplayCutState gReplayCut;

namespace {

constexpr float NO_SPOT_YET = 320000.0f;
constexpr float CUT_SPACING = 25.0f;     // frame units a forced cut waits after the last one
constexpr float LONG_FOLLOW = 175.0f;    // the lucky draw's follow shot
constexpr float SHORT_FOLLOW = 125.0f;   // when no spot sees the car
constexpr float FOLLOW_DRAW_SPEED = 100.0f;
constexpr int32_t FOLLOW_DRAW_MASK = 63;  // one draw in 64
constexpr float STEP_VIEW_DEPTH = 1000.0f;
constexpr float TRACKING_REACH = 1000.0f;
constexpr float NEAR_DEPTH = 10.0f;
constexpr float ORBIT_DISTANCE = 200.0f;
constexpr float WATER_CLEARANCE = 20.0f;
constexpr float HALF_TURN = 512.0f;
constexpr int32_t KIND_FIXED = 0, KIND_TRACKING = 1;

struct Vec3 {
  float x, y, z;
};

Vehicle* Followed() { return &gVehicleRecords[VEHICLE_EXTRA_CAR]; }

int32_t Trunc(float f) { return TruncI32(f); }

// Third column of M(a, b, c).
Vec3 Column3(int32_t a, int32_t b, int32_t c) {
  float m[9];
  MatFromAngles(a, b, c, m);
  return {m[2], m[5], m[8]};
}

// The rows of a matrix times v.
Vec3 Times(const float m[9], const Vec3& v) {
  return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
          m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

float Heading(float dx, float dz) { return static_cast<float>(MathAngleTo(0.0f, 0.0f, dz, dx)); }

// From a height to another at horizontal distance d: 0 level, positive upward.
float Elevation(float fromY, float d, float toY) { return static_cast<float>(MathAngleTo(0.0f, fromY, d, toY)); }

float ElevationOf(float dx, float dy, float dz) { return Elevation(0.0f, MathSqrt(dx * dx + dz * dz), dy); }

float Turned(float from, float to, float rate) { return static_cast<float>(MathAngleTurn(Trunc(from), Trunc(to), rate)); }

void KeepAbove(Camera* c, float clearance) { c->y = std::max(c->y, TerrainHeightAt(c->x, c->z) + clearance); }
void KeepAboveWater(Camera* c) { c->y = std::max(c->y, gRace.waterLevel + WATER_CLEARANCE); }

void DoubledScale() { RdrSetProjScale(2.0f * gReplayCut.baseScaleX, 2.0f * gReplayCut.baseScaleY); }
void BaseScale() { RdrSetProjScale(gReplayCut.baseScaleX, gReplayCut.baseScaleY); }

// The car seen from a fixed spot: in front of it, not too near, not past
// `farthest`, and inside the frame's width and the view's height.
bool SeenFrom(const CameraSpot& spot, const Camera* pose, float farthest) {
  CamSet(&spot.camera);
  MatViewFromCamera();
  Vertex v{};
  v.x = pose->x;
  v.y = pose->y;
  v.z = pose->z;
  RdrProjectVertex(&v);
  const int32_t w = gRdrState.screenWidth;
  const float left = static_cast<float>(w * 20 / 512), right = static_cast<float>(w * 492 / 512);
  const float top = static_cast<float>(gRace.viewTop), bottom = static_cast<float>(gRace.viewTop + gRace.viewHeight);
  return v.viewZ >= NEAR_DEPTH && v.viewZ <= farthest && v.screenX >= left && v.screenX <= right &&
         v.screenY >= top && v.screenY <= bottom;
}

// A cut to the spot; a tracking spot turns to the car at once.
void CutTo(CameraSpot* spot, const Camera* pose, float targetY) {
  SfxCommitListener();
  gReplayCut.previous = gReplayCut.current;
  gReplayCut.current = spot;
  gReplayCut.sinceCut = CUT_SPACING;
  if (spot->kind == KIND_TRACKING) {
    const Camera& at = spot->camera;
    gReplayCamera.heading = Heading(pose->x - at.x, pose->z - at.z);
    gReplayCamera.pitch = Elevation(at.y, ReplaySpotDistance(pose, spot), targetY);
  }
}

void StartFollow(float hold, const Camera* pose) {
  gReplayCut.holdTime = hold;
  ReplayCamFollowStart(pose);
  BaseScale();
}

// The orbit's target: 200 behind the car along its direction (level while it
// is unsettled), turned by the follow angles.
Vec3 OrbitTarget(const Camera* pose) {
  const Vehicle* v = Followed();
  const bool level = ReplayVehicleUnsettled(v) != 0;
  const Vec3 n = level ? Column3(0, Trunc(pose->heading), 0)
                       : Column3(Trunc(pose->pitch), Trunc(pose->heading), Trunc(pose->roll));
  const Vec3 o = {-ORBIT_DISTANCE * n.x, -ORBIT_DISTANCE * n.y, -ORBIT_DISTANCE * n.z};
  float r[9];
  MatFromAngles(Trunc(gReplayCut.followA), Trunc(gReplayCut.followB), 0, r);
  const Vec3 t = Times(r, o);
  return {pose->x + t.x, pose->y + t.y, pose->z + t.z};
}

// The fly-by: D from the body point along the frame's direction turned by B.
void FlyByPlace(const Camera* pose) {
  const Vehicle* v = Followed();
  const Vec3 g = Column3(v->frameAngles[0], Trunc(gReplayCut.followB - pose->heading), v->frameAngles[2]);
  const float d = gReplayCut.followDistance;
  gReplayCamera.x = v->bodyPoint[0] + d * g.x;
  gReplayCamera.y = v->bodyPoint[1] + d * g.y;
  gReplayCamera.z = v->bodyPoint[2] + d * g.z;
  gReplayCamera.pitch = -pose->pitch;
  gReplayCamera.heading = pose->heading + HALF_TURN - gReplayCut.followB;
  gReplayCamera.roll = pose->roll;
}

// The bonnet: at the eye point, offset along the body by `offset`.
void BonnetPlace(const Vec3& offset) {
  const Vehicle* v = Followed();
  const Vec3 t = Times(v->bodyMatrix, offset);
  gReplayCamera.x = v->eyePoint[0] + t.x;
  gReplayCamera.y = v->eyePoint[1] + t.y;
  gReplayCamera.z = v->eyePoint[2] + t.z;
}

// The body roll, less a share of the suspension's, upside up; the 16-bit
// words read unsigned.
float BonnetRoll(const Vehicle* v) {
  const int32_t suspensionRoll = static_cast<uint16_t>(v->suspensionRoll);
  return static_cast<float>(static_cast<int32_t>(v->bodyAngles[2]) - suspensionRoll / 8 - 512);
}

}  // namespace

float ReplaySpotDistance(const Camera* position, const CameraSpot* spot) {
  const float dx = position->x - spot->camera.x, dz = position->z - spot->camera.z;
  return MathSqrt(dx * dx + dz * dz);
}

int32_t ReplayVehicleUnsettled(const Vehicle* vehicle) {
  switch (vehicle->state) {
    case VEHICLE_KNOCKED:
    case VEHICLE_RESETTING:
    case VEHICLE_SINKING:
    case VEHICLE_CONTACT_SLIDE:
    case VEHICLE_HANDBRAKE_SLIDE:
      return 1;
    default:
      return 0;
  }
}

void ReplayCamPickNearest() {
  gReplayCut.baseScaleX = gRdrState.scaleX;
  gReplayCut.baseScaleY = gRdrState.scaleY;
  const Camera* pose = &Followed()->pose;
  CameraSpot* best = nullptr;
  float bestDistance = NO_SPOT_YET;
  for (CameraSpot& spot : gCameraSpots) {
    if (!spot.inUse) continue;
    const float d = ReplaySpotDistance(pose, &spot);
    if (!(d < bestDistance)) continue;  // a spot read with a NaN position never wins
    if (spot.kind != KIND_FIXED && d >= gRace.viewDistance) continue;
    best = &spot;
    bestDistance = d;
  }
  if (best) CutTo(best, pose, TerrainHeightAt(pose->x, pose->z));
}

void ReplayCamPick(int32_t forced) {
  DoubledScale();
  const Vehicle* v = Followed();
  const Camera* pose = &v->pose;
  if (forced) {
    if ((RandNextAbs() & FOLLOW_DRAW_MASK) == 0 && v->velocity > FOLLOW_DRAW_SPEED) {
      StartFollow(LONG_FOLLOW, pose);
      return;
    }
    if (gReplayCut.sinceCut > 0.0f) return;
  }
  CameraSpot* best = nullptr;
  float bestDistance = NO_SPOT_YET;
  for (CameraSpot& spot : gCameraSpots) {
    if (!spot.inUse) continue;
    if (forced && (&spot == gReplayCut.current || &spot == gReplayCut.previous)) continue;
    const float d = ReplaySpotDistance(pose, &spot);
    if (d >= bestDistance) continue;
    const bool qualifies =
        spot.kind == KIND_FIXED ? SeenFrom(spot, pose, gRace.viewDistance) : d < gRace.viewDistance;
    if (!qualifies) continue;
    best = &spot;
    bestDistance = d;
  }
  if (best) {
    CutTo(best, pose, pose->y);
    return;
  }
  if (forced) StartFollow(SHORT_FOLLOW, pose);
}

void ReplayCamFollowStart(const Camera* pose) {
  ReplayCutState& cut = gReplayCut;
  cut.followKind = cut.followKind >= 2 ? 0 : cut.followKind + 1;
  const Vehicle* v = Followed();
  Camera& c = gReplayCamera;
  switch (cut.followKind) {
    case 0: {
      const Vec3 t = OrbitTarget(pose);
      c.x = t.x;
      c.y = t.y;
      c.z = t.z;
      KeepAbove(&c, 20.0f);
      const float dx = pose->x - c.x, dy = pose->y - c.y, dz = pose->z - c.z;
      c.heading = Heading(dx, dz);
      c.pitch = ElevationOf(dx, dy, dz);
      break;
    }
    case 1:
      cut.followDistance = static_cast<float>(RandNextAbs() % 30 + 40);
      FlyByPlace(pose);
      KeepAbove(&c, 10.0f);
      break;
    default: {
      cut.followDistance = 15.0f;
      BonnetPlace({15.0f, -2.0f, -24.0f});
      const int32_t suspensionPitch = static_cast<uint16_t>(v->suspensionPitch);
      c.pitch = static_cast<float>(static_cast<int32_t>(v->bodyAngles[0]) - suspensionPitch / 2);
      c.heading = static_cast<float>(100 - static_cast<int32_t>(v->bodyAngles[1]));
      c.roll = BonnetRoll(v);
      break;
    }
  }
}

void ReplayCamFollowStep(const Camera* pose) {
  ReplayCutState& cut = gReplayCut;
  const float s = gRace.timeStep, r = gRace.timeStepFifth;
  const Vehicle* v = Followed();
  Camera& c = gReplayCamera;
  switch (cut.followKind) {
    case 0: {
      const Vec3 t = OrbitTarget(pose);
      cut.followB += 4.0f * s;
      cut.followA += 6.0f * s;
      c.x += (t.x - c.x) * r;
      c.y += (t.y - c.y) * r;
      c.z += (t.z - c.z) * r;
      KeepAbove(&c, 20.0f);
      KeepAboveWater(&c);
      const float dx = pose->x - c.x, dy = pose->y - c.y, dz = pose->z - c.z;
      c.heading = Turned(c.heading, Heading(dx, dz), r);
      c.pitch = Turned(c.pitch, ElevationOf(dx, dy, dz), r);
      c.roll = Turned(c.roll, 0.0f, 0.04f * s);
      break;
    }
    case 1:
      FlyByPlace(pose);
      cut.followB += 3.0f * s;
      if (cut.followDistance > 30.0f) {
        cut.followDistance -= s;
        if (cut.followDistance < 30.0f) cut.followDistance = 30.0f;
      }
      KeepAbove(&c, 10.0f);
      KeepAboveWater(&c);
      break;
    default: {
      // The camera slides across the bonnet from one side to the other,
      // rising and drawing back toward the middle.
      const float d = cut.followDistance;
      const float e = 15.0f - std::abs(d);
      BonnetPlace({d, e / 2.0f - 2.0f, -(e / 2.0f + 24.0f)});
      if (d > -15.0f) cut.followDistance -= s / 6.0f;
      const float dx = v->eyePoint[0] - c.x, dy = v->eyePoint[1] - c.y, dz = v->eyePoint[2] - c.z;
      c.heading = Turned(c.heading, Heading(dx, dz), r);
      c.pitch = Turned(c.pitch, ElevationOf(dx, dy, dz), r);
      c.roll = BonnetRoll(v);
      KeepAbove(&c, 3.0f);
      KeepAboveWater(&c);
      break;
    }
  }
}

void ReplayCamStep() {
  ReplayCutState& cut = gReplayCut;
  const float s = gRace.timeStep, r = gRace.timeStepFifth;
  const Camera* pose = &Followed()->pose;
  DoubledScale();
  if (cut.holdTime > 0.0f) {
    BaseScale();
    ReplayCamFollowStep(pose);
    cut.holdTime -= s;
    if (cut.holdTime <= 0.0f) ReplayCamPick(0);
  } else if (cut.current) {
    if (cut.current->kind == KIND_FIXED) {
      if (gRace.raceStarted) {
        BaseScale();
        const bool seen = SeenFrom(*cut.current, pose, STEP_VIEW_DEPTH);
        DoubledScale();
        if (!seen) ReplayCamPick(1);
      }
    } else if (ReplaySpotDistance(pose, cut.current) > TRACKING_REACH) {
      ReplayCamPick(1);
    }
    if (cut.holdTime <= 0.0f && cut.current) {
      const CameraSpot& spot = *cut.current;
      const float d = ReplaySpotDistance(pose, &spot);
      if (spot.kind == KIND_FIXED) {
        gReplayCamera = spot.camera;
      } else if (spot.kind == KIND_TRACKING) {
        gReplayCamera.x = spot.camera.x;
        gReplayCamera.y = spot.camera.y;
        gReplayCamera.z = spot.camera.z;
        gReplayCamera.heading = Heading(pose->x - spot.camera.x, pose->z - spot.camera.z);
        gReplayCamera.pitch = Turned(gReplayCamera.pitch, Elevation(spot.camera.y, d, pose->y), r);
        gReplayCamera.roll = spot.camera.roll;
      }
    }
  }
  CamSet(&gReplayCamera);
  SfxUpdateListener();
  cut.sinceCut -= s;
}
