// The chase cameras of the human-driven vehicles and the step that runs after
// every drive step of a frame: collisions, the wheel passes, the traffic's
// poses, then each local player's camera.
//
// A camera's angles are 10-bit angle units held as floats; they are truncated
// whenever the angle helpers take them, and stored back as the helpers return
// them (or unreduced where a value is set directly: CamSet reduces it).
#include <algorithm>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float CHASE_DISTANCE = 42.0f;  // behind (or, for the look point, ahead of) the vehicle
constexpr float CHASE_LIFT = 10.0f;
constexpr float CHASE_PITCH_OFFSET = 50.0f;  // the chase direction looks down on the vehicle
constexpr float ORBIT_DISTANCE = 100.0f;
constexpr float ORBIT_TURN = 5.0f;  // orbit angle units a frame at 25 frames a second
constexpr float WATER_CLEARANCE = 20.0f;
constexpr float GROUND_CLEARANCE = 10.0f;
constexpr float ORBIT_GROUND_CLEARANCE = 20.0f;
constexpr float ROLLED_GROUND_CLEARANCE = 30.0f;
constexpr float SLOW_RATE = 0.04f;  // per time unit: the rolled-over approach and the levelling roll
constexpr float KNOCK_RATE = 0.12f;
constexpr float SLIDE_HEADING_SHARE = 0.25f;
constexpr float RESET_BLEND_PER_MS = 0.0004f;  // the reset camera arrives after 2500 ms
constexpr int32_t RESET_MS = 2500;
constexpr int32_t RESET_AIM_MS = 1000;
constexpr int32_t HALF_TURN = 512;

// The chase and reset cameras of player 1's record and of the other local
// player's; a record that has none is given its pair on first use.
Camera gChaseCameras[2];
Camera gResetCameras[2];

// The finish orbit's angle, for player 1's record and for any other; kept for
// the whole run of the program, never reset between races.
float gOrbitAngles[2];

struct Vec3 {
  float x, y, z;
};

int32_t PairOf(const Vehicle* v) { return v == &gPlayer1 ? 0 : 1; }

void AttachCameras(Vehicle* v) {
  if (!v->chaseCamera) v->chaseCamera = &gChaseCameras[PairOf(v)];
  if (!v->resetCamera) v->resetCamera = &gResetCameras[PairOf(v)];
}

int32_t Trunc(float f) { return TruncI32(f); }

// The third column of the rotation of angles (a, b, any): the direction of
// pitch a and heading -b.
Vec3 Forward(int32_t a, int32_t b) {
  float m[9];
  MatFromAngles(a, b, 0, m);
  return {m[2], m[5], m[8]};
}

// Rows of the rotation of angles (a, b, 0) dotted with o.
Vec3 Rotate(int32_t a, int32_t b, const Vec3& o) {
  float m[9];
  MatFromAngles(a, b, 0, m);
  return {m[0] * o.x + m[1] * o.y + m[2] * o.z, m[3] * o.x + m[4] * o.y + m[5] * o.z,
          m[6] * o.x + m[7] * o.y + m[8] * o.z};
}

// The point `along` units from the pose in the direction of pitch
// `pitch` - 50 and heading `heading`, lifted by 10: negative behind, positive ahead.
Vec3 ChasePoint(const Camera& pose, float pitch, float heading, float along) {
  const Vec3 f = Forward(Trunc(pitch - CHASE_PITCH_OFFSET), Trunc(-heading));
  return {pose.x + along * f.x, pose.y + along * f.y + CHASE_LIFT, pose.z + along * f.z};
}

// Heading of the horizontal vector (dx, dz): 0 along +z, 256 along +x.
int32_t HeadingOf(float dx, float dz) { return MathAngleTo(0.0f, 0.0f, dz, dx); }

// Elevation of d: 0 level, positive upward.
int32_t ElevationOf(const Vec3& d) { return MathAngleTo(0.0f, 0.0f, MathSqrt(d.x * d.x + d.z * d.z), d.y); }

float Turned(float from, int32_t to, float rate) { return static_cast<float>(MathAngleTurn(Trunc(from), to, rate)); }

void Place(Camera* c, const Vec3& p) {
  c->x = p.x;
  c->y = p.y;
  c->z = p.z;
}

void Approach(Camera* c, const Vec3& target, float rate) {
  c->x += (target.x - c->x) * rate;
  c->y += (target.y - c->y) * rate;
  c->z += (target.z - c->z) * rate;
}

void KeepAbove(Camera* c, float clearance) { c->y = std::max(c->y, TerrainHeightAt(c->x, c->z) + clearance); }

void KeepAboveWater(Camera* c) { c->y = std::max(c->y, gRace.waterLevel + WATER_CLEARANCE); }

Vec3 Scaled(const Vec3& v, float k) { return {v.x * k, v.y * k, v.z * k}; }

// A finished vehicle is circled at 100, horizontally while it is knocked.
void FinishOrbit(Vehicle* v, Camera* c) {
  const Camera& pose = v->pose;
  float& orbit = gOrbitAngles[PairOf(v)];
  v->viewActive = 0;
  const float theta = pose.heading + orbit;
  const Vec3 back = v->state == VEHICLE_KNOCKED ? Forward(0, Trunc(theta)) : Forward(Trunc(pose.pitch), Trunc(theta));
  Approach(c, {pose.x - ORBIT_DISTANCE * back.x, pose.y - ORBIT_DISTANCE * back.y, pose.z - ORBIT_DISTANCE * back.z},
           gRace.timeStepFifth);
  KeepAboveWater(c);
  KeepAbove(c, ORBIT_GROUND_CLEARANCE);
  const Vec3 d = {pose.x - c->x, pose.y - c->y, pose.z - c->z};
  c->heading = -theta;
  c->pitch = Turned(c->pitch, ElevationOf(d), gRace.timeStepFifth);
  c->roll = Turned(c->roll, 0, gRace.timeStepFifth);
  orbit += ORBIT_TURN * gRace.timeStep;
}

// Circling a vehicle in trouble: the camera eases toward a point 100 from
// `centre` along the pose's direction at pitch `pitch`, turned by the lazy
// angles, which keep turning; then aims at the centre, levelling its roll.
void Circle(Vehicle* v, Camera* c, const Vec3& centre, float pitch, float rate, float clearance) {
  const Camera& pose = v->pose;
  const float s = gRace.timeStep, r = gRace.timeStepFifth;
  const Vec3 o = Scaled(Forward(Trunc(pitch), Trunc(pose.heading)), -ORBIT_DISTANCE);
  const Vec3 turned = Rotate(Trunc(v->cameraPitch), Trunc(v->cameraRoll), o);
  v->cameraRoll += s;
  v->cameraPitch += 2.0f * s;
  Approach(c, {centre.x + turned.x, centre.y + turned.y, centre.z + turned.z}, rate);
  KeepAboveWater(c);
  KeepAbove(c, clearance);
  const Vec3 d = {centre.x - c->x, centre.y - c->y, centre.z - c->z};
  c->heading = Turned(c->heading, HeadingOf(d.x, d.z), r);
  c->pitch = Turned(c->pitch, ElevationOf(d), r);
  c->roll = Turned(c->roll, 0, SLOW_RATE * s);
}

// A sinking vehicle: the camera circles the middle of the vehicle and the
// place where it went in.
void SunkOrbit(Vehicle* v, Camera* c) {
  const Camera& pose = v->pose;
  v->viewActive = 0;
  const Vec3 centre = {(pose.x + v->endViewX) * 0.5f, pose.y, (pose.z + v->endViewZ) * 0.5f};
  Circle(v, c, centre, pose.pitch, gRace.timeStepFifth, GROUND_CLEARANCE);
}

// After a respawn the view blends from where the chase camera stood to the
// chase point, turning toward a point ahead of the vehicle in its first second.
Camera* ResetBlend(Vehicle* v, const Camera* c) {
  const Camera& pose = v->pose;
  Camera* q = v->resetCamera;
  v->viewActive = 0;
  v->cameraPitch = pose.pitch;
  v->cameraRoll = pose.roll;
  const Vec3 target = ChasePoint(pose, v->cameraPitch, pose.heading, -CHASE_DISTANCE);
  const float t = static_cast<float>(AppTimerElapsed(v->timerSlot));
  const int32_t ms = Trunc(t);
  const float f = t * RESET_BLEND_PER_MS;
  q->x = c->x + (target.x - c->x) * f;
  q->y = c->y + (target.y - c->y) * f;
  q->z = c->z + (target.z - c->z) * f;
  KeepAbove(q, GROUND_CLEARANCE);
  q->roll = static_cast<float>(MathAngleLerp(Trunc(c->roll), Trunc(v->cameraRoll), ms, RESET_MS));
  const Vec3 look = ChasePoint(pose, v->cameraPitch, pose.heading, CHASE_DISTANCE);
  const Vec3 d = {look.x - q->x, look.y - q->y, look.z - q->z};
  const int32_t lookHeading = HeadingOf(d.x, d.z), lookPitch = ElevationOf(d);
  if (ms > RESET_AIM_MS) {
    q->heading = static_cast<float>(lookHeading);
    q->pitch = static_cast<float>(lookPitch);
  } else {
    q->heading = static_cast<float>(MathAngleLerp(Trunc(c->heading), lookHeading, ms, RESET_AIM_MS));
    q->pitch = static_cast<float>(MathAngleLerp(Trunc(c->pitch), lookPitch, ms, RESET_AIM_MS));
  }
  return q;
}

// The in-car and on-board views: at the eye point, with the body's angles.
// The suspension words are read unsigned, as the body's angles are.
void OnBoard(const Vehicle* v, Camera* c) {
  c->x = v->eyePoint[0];
  c->y = v->eyePoint[1];
  c->z = v->eyePoint[2];
  const int32_t pitch = v->bodyAngles[0], heading = v->bodyAngles[1], roll = v->bodyAngles[2];
  const int32_t suspensionPitch = static_cast<uint16_t>(v->suspensionPitch);
  const int32_t suspensionRoll = static_cast<uint16_t>(v->suspensionRoll);
  c->pitch = static_cast<float>(pitch - suspensionPitch / 2);
  c->heading = static_cast<float>(-heading);
  c->roll = static_cast<float>(roll - suspensionRoll / 8 - HALF_TURN);
}

// Turned over: the camera swings round the vehicle slowly, from the side of
// its roof, and stays well clear of the ground.
void RolledOver(Vehicle* v, Camera* c) {
  const Camera& pose = v->pose;
  Circle(v, c, {pose.x, pose.y, pose.z}, pose.pitch - HALF_TURN, SLOW_RATE * gRace.timeStep, ROLLED_GROUND_CLEARANCE);
}

// Sliding: the camera swings toward the direction of the slide.
void Sliding(Vehicle* v, Camera* c) {
  const Camera& pose = v->pose;
  const float r = gRace.timeStepFifth;
  v->cameraPitch = pose.pitch;
  v->cameraRoll = pose.roll;
  c->heading = Turned(c->heading, Trunc(pose.heading + v->slideAngle), SLIDE_HEADING_SHARE * r);
  c->pitch = Turned(c->pitch, Trunc(v->cameraPitch), r);
  c->roll = Turned(c->roll, Trunc(v->cameraRoll), r);
  Place(c, ChasePoint(pose, v->cameraPitch, c->heading, -CHASE_DISTANCE));
  KeepAbove(c, GROUND_CLEARANCE);
}

// While knocked the lazy angles settle back: toward level while the vehicle
// still flies fast with bounces to come, else toward the side it lands on.
void KnockedAngles(Vehicle* v) {
  const Camera& pose = v->pose;
  const float k = KNOCK_RATE * gRace.timeStep;
  if (v->bouncesLeft >= 3 && v->velocity + v->knockImpulse >= 80.0f) {
    v->cameraPitch = Turned(v->cameraPitch, 0, k);
    v->cameraRoll = Turned(v->cameraRoll, 0, k);
  } else {
    const int32_t pitch = v->landingSide == 1 ? Trunc(pose.pitch) : Trunc(pose.pitch - HALF_TURN);
    v->cameraPitch = Turned(v->cameraPitch, pitch, k);
    v->cameraRoll = Turned(v->cameraRoll, Trunc(pose.roll), k);
  }
}

// The ordinary chase: the position is set each frame, only the angles ease.
void CommonChase(Vehicle* v, Camera* c) {
  const Camera& pose = v->pose;
  const float r = gRace.timeStepFifth;
  if (v->cameraLag > 0.0f) {
    c->heading = Turned(c->heading, Trunc(pose.heading), std::min(1.0f / v->cameraLag, 1.0f));
    Place(c, ChasePoint(pose, v->cameraPitch, c->heading, -CHASE_DISTANCE));
  } else {
    Place(c, ChasePoint(pose, v->cameraPitch, pose.heading, -CHASE_DISTANCE));
    c->heading = pose.heading;
  }
  KeepAbove(c, GROUND_CLEARANCE);
  c->pitch = Turned(c->pitch, Trunc(v->cameraPitch), r);
  c->roll = Turned(c->roll, Trunc(v->cameraRoll), r);
}

}  // namespace

void ChaseCamReset(Vehicle* vehicle) {
  AttachCameras(vehicle);
  const Camera& pose = vehicle->pose;
  Camera* c = vehicle->chaseCamera;
  c->pitch = pose.pitch;
  c->heading = pose.heading;
  c->roll = pose.roll;
  vehicle->cameraPitch = pose.pitch;
  vehicle->cameraRoll = pose.roll;
  gRace.currentPose = &vehicle->pose;
  Place(c, ChasePoint(pose, vehicle->cameraPitch, pose.heading, -CHASE_DISTANCE));
}

Camera* ChaseCamUpdate(Vehicle* vehicle) {
  AttachCameras(vehicle);
  gRace.currentPose = &vehicle->pose;
  WheelUpdateVehicle(vehicle);
  Camera* c = vehicle->chaseCamera;
  if (vehicle->finished) {
    FinishOrbit(vehicle, c);
    return c;
  }
  if (vehicle->state == VEHICLE_SINKING) {
    SunkOrbit(vehicle, c);
    return c;
  }
  if (vehicle->state == VEHICLE_RESETTING) return ResetBlend(vehicle, c);
  if (vehicle->viewActive == 1 || vehicle->viewActive == 2) {
    OnBoard(vehicle, c);
    return c;
  }
  switch (vehicle->state) {
    case VEHICLE_KNOCKED:
      KnockedAngles(vehicle);
      break;
    case VEHICLE_ROLLED_OVER:
      RolledOver(vehicle, c);
      return c;
    case VEHICLE_CONTACT_SLIDE:
    case VEHICLE_HANDBRAKE_SLIDE:
      Sliding(vehicle, c);
      return c;
    default:
      vehicle->cameraPitch = vehicle->pose.pitch;
      vehicle->cameraRoll = vehicle->pose.roll;
      break;
  }
  CommonChase(vehicle, c);
  return c;
}

void ViewFrameStep() {
  CollideAllVehicles();
  // Training has no computer cars.
  if (gRace.gameMode != 0) WheelUpdateComputerCars();
  if (gRace.trackIndex == TRACK_HIGHWAY) TrackObjStepAll();
  // The attract demo and the credits backdrop film the race with cameras of their own.
  if (gRace.noHumanMode) return;
  if (gRace.networkGame) {
    if (Vehicle* own = NetOwnRecord()) gRace.gViewCamera[0] = ChaseCamUpdate(own);
    return;
  }
  gRace.gViewCamera[0] = ChaseCamUpdate(gPlayer1Vehicle);
  if (gRace.playersMode == 1) gRace.gViewCamera[1] = ChaseCamUpdate(gPlayer2Vehicle);
}
