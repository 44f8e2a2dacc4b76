// The computer driver: it follows one recorded trajectory point by point,
// steers its remembered heading toward the next point, and decides from its
// place in the race when to hold back, boost and brake. Also the trajectory
// pickers, the remote vehicles of a network race and the guide heading.
#include <cmath>
#include <cstdlib>

#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "net/net.h"
#include "race/ai_internal.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float POINT_REACHED = 200.0f;
constexpr float STEER_MAX = 320.0f;
constexpr float DRIVER_TURN_RATE = 0.12f;
constexpr float HOLD_BACK_VELOCITY = 150.0f;
constexpr int32_t HOLD_BACK_GAP = 500;
constexpr float FINISHED_HANDBRAKE_VELOCITY = 100.0f;
constexpr int32_t SHARP_BEND = 64;
constexpr float SHARP_BEND_VELOCITY = 100.0f;
constexpr int32_t SHARP_BEND_GAP = -500;
constexpr float BRAKE_TIME = 6.0f;
constexpr int32_t FAR_BEHIND = -4000;
constexpr float BOOST_TIME = 2.0f;
constexpr float BOOST_STEER_LIMIT = 50.0f;
constexpr int32_t CHAMPIONSHIP_TOP_SLOT = 5;
constexpr int32_t REMOTE_FALLBACK_MS = 100;
constexpr float GUIDE_OTHER_SLOT_PENALTY = 250000.0f;
constexpr float GUIDE_SEARCH = 9000000.0f;
constexpr int32_t GUIDE_JUMP = 4;
constexpr int16_t GUIDE_MISSES_MAX = 50;
constexpr int32_t GUIDE_END_POINTS = 4;
constexpr int32_t GUIDE_AHEAD = 2;

int32_t gNextStartTrajectory;

// Per-frame increments of a remote vehicle, from its last two received states.
struct RemoteIncrements {
  float heading, steer, x, y, z, pitch, poseHeading, roll, velocity, slideAngle, slideUndersteer, bodyRoll, bodyPitch;
};
RemoteIncrements gRemoteIncrements[NET_MAX_PARTICIPANTS];

int32_t FirstTrajectoryFrom(int32_t slot) {
  for (int32_t i = 0; i < TRAJ_SLOTS; ++i) {
    const int32_t s = (slot + i) & (TRAJ_SLOTS - 1);
    if (gTrajectories[s].count > 0) return s;
  }
  return 0;
}

// The heading (from +z) from the current pose toward a point.
int32_t HeadingTo(const Camera& pose, const TrajPoint& p) { return MathAngleTo(pose.z, pose.x, p.z, p.x); }

bool Reached(const Camera& pose, const TrajPoint& p) {
  return std::fabs(pose.x - p.x) < POINT_REACHED && std::fabs(pose.z - p.z) < POINT_REACHED;
}

// The target point of a driver, moving on to the next when the vehicle is
// close enough to the current one.
const TrajPoint& AdvanceTarget(Vehicle* driver) {
  const Camera& pose = *gRace.currentPose;
  const Trajectory* t = &gTrajectories[driver->aiSlot & (TRAJ_SLOTS - 1)];
  if (driver->aiPoint < 0 || driver->aiPoint >= t->count) AiPickNewTrajectory(driver);
  t = &gTrajectories[driver->aiSlot & (TRAJ_SLOTS - 1)];
  if (Reached(pose, t->points[driver->aiPoint])) {
    ++driver->aiPoint;
    if (driver->aiPoint >= t->count) AiPickNewTrajectory(driver);
  }
  return gTrajectories[driver->aiSlot & (TRAJ_SLOTS - 1)].points[driver->aiPoint];
}

const Vehicle* ReferenceVehicle() {
  if (gRace.noHumanMode) return &gVehicleRecords[VEHICLE_EXTRA_CAR];
  if (gRace.playersMode == 1) {
    const Vehicle* p1 = gPlayer1Vehicle;
    const Vehicle* p2 = gPlayer2Vehicle;
    return p1->progress > p2->progress ? p1 : p2;
  }
  if (gRace.networkGame) return NetOwnRecord();
  return gPlayer1Vehicle;
}

float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }

int32_t RoundI32(float x) { return std::isfinite(x) ? static_cast<int32_t>(std::lrint(x)) : 0; }

void ComputeIncrements(int32_t participant) {
  const NetReceivedState& n = gNetParticipants.newest[participant];
  const NetReceivedState& p = gNetParticipants.previous[participant];
  int32_t interval = gNetParticipants.intervalMs[participant];
  // The interval comes from the network: none shorter than a millisecond divides.
  if (interval < gNetParticipants.minimumIntervalMs || interval < 1) interval = REMOTE_FALLBACK_MS;
  const float scale = static_cast<float>(gRace.netFrameMs) / static_cast<float>(interval);
  const auto linear = [scale](float a, float b) { return (a - b) * scale; };
  const auto angle = [scale](float a, float b) { return static_cast<float>(AiRemoteAngleStep(a, b)) * scale; };
  RemoteIncrements& r = gRemoteIncrements[participant];
  r.heading = angle(n.heading, p.heading);
  r.steer = linear(n.steerInput, p.steerInput);
  r.x = linear(n.pose[0], p.pose[0]);
  r.y = linear(n.pose[1], p.pose[1]);
  r.z = linear(n.pose[2], p.pose[2]);
  r.pitch = angle(n.pose[3], p.pose[3]);
  r.poseHeading = angle(n.pose[4], p.pose[4]);
  r.roll = angle(n.pose[5], p.pose[5]);
  r.velocity = linear(n.velocity, p.velocity);
  r.slideAngle = linear(n.slideAngle, p.slideAngle);
  r.slideUndersteer = linear(n.slideUndersteer, p.slideUndersteer);
  r.bodyRoll = linear(n.bodyRoll, p.bodyRoll);
  r.bodyPitch = linear(n.bodyPitch, p.bodyPitch);
}

float AddAngle(float angle, float increment) { return static_cast<float>(RoundI32(angle + increment) & ANGLE_MASK); }

}  // namespace

void VehicleBrakeToStop(Vehicle* v) {
  v->throttleCmd = 0;
  if (v->velocity > 0.0f) {
    v->brakeCmd = 1;
  } else {
    v->brakeCmd = 0;
    v->velocity = 0.0f;
  }
}

void AiPickNewTrajectory(Vehicle* driver) {
  if (!gRace.trajectoriesLoaded) return;
  driver->aiPoint = 0;
  driver->aiSlot = FirstTrajectoryFrom(RandNextAbs() & (TRAJ_SLOTS - 1));
}

void AiSetNextTrajectory(int32_t slot) { gNextStartTrajectory = slot; }

void AiPickStartTrajectory(Vehicle* driver) {
  if (!gRace.trajectoriesLoaded) return;
  driver->aiPoint = 0;
  int32_t slot = gNextStartTrajectory;
  if (const int32_t rank = VehicleChampionRank(driver); rank != -1) slot = CHAMPIONSHIP_TOP_SLOT - rank;
  // A sixth-ranked car would start the search before the table.
  driver->aiSlot = FirstTrajectoryFrom(slot & (TRAJ_SLOTS - 1));
  gNextStartTrajectory = (driver->aiSlot + 1) & (TRAJ_SLOTS - 1);
}

void AiDriveVehicle(Vehicle* driver, Vehicle* v) {
  if (!gRace.trajectoriesLoaded) return;
  const Camera& pose = *gRace.currentPose;
  const int32_t target = HeadingTo(pose, AdvanceTarget(driver));
  const bool running = gRace.raceStarted != 0;
  int32_t difference = 0;
  if (v->state == VEHICLE_ON_GROUND && running) {
    difference = MathAngleDiff(driver->aiHeading, target);
    v->steerInput = Clamp(static_cast<float>(difference * 320 / 80), -STEER_MAX, STEER_MAX);
    driver->aiHeading = MathAngleTurn(driver->aiHeading, target, DRIVER_TURN_RATE * gRace.timeStep);
  }
  int32_t gap = 0;
  bool attack = false;
  if (!running || v->state == VEHICLE_RESETTING) {
    v->throttleCmd = 0;
    v->brakeCmd = 0;
  } else {
    v->throttleCmd = 1;
    v->brakeCmd = 0;
    const Vehicle* reference = ReferenceVehicle();
    gap = v->progress - (reference ? reference->progress : v->progress);
    attack = true;
    if (v->velocity > HOLD_BACK_VELOCITY && gap > HOLD_BACK_GAP) {
      attack = false;
      const bool keepGoing = gRace.trackIndex == TRACK_LOOPING || (gRace.trackIndex == TRACK_SUNSET && gRace.noHumanMode);
      if (!keepGoing) v->throttleCmd = 0;
    }
  }
  driver->aiProgressGap = gap;
  if (v->finished) {
    if (v->velocity > FINISHED_HANDBRAKE_VELOCITY) v->handbrakeButton = 1;
    VehicleBrakeToStop(v);
  } else if (attack && v->state == VEHICLE_ON_GROUND) {
    if (std::abs(difference) > SHARP_BEND && v->velocity > SHARP_BEND_VELOCITY && gap > SHARP_BEND_GAP) {
      v->brakeTimer = BRAKE_TIME;
    } else {
      if (gap < FAR_BEHIND) v->boostLeft = BOOST_TIME * gRace.timeStep;
      if (v->boostLeft > 0.0f && std::fabs(v->steerInput) < BOOST_STEER_LIMIT) {
        v->boostButton = 1;
        v->brakeCmd = 0;
        v->brakeTimer = 0.0f;
      }
    }
  }
  if (v->brakeTimer > 0.0f) {
    v->brakeCmd = 1;
    v->throttleCmd = 0;
    v->brakeTimer -= gRace.timeStep;
  }
  VehicleMarkBraking(v);
}

void AiRemoteAdvancePoint(Vehicle* driver) {
  if (!gRace.trajectoriesLoaded) return;
  AdvanceTarget(driver);
}

int32_t AiRemoteAngleStep(float newAngle, float previousAngle) {
  const int32_t n = TruncI32(newAngle) & ANGLE_MASK, p = TruncI32(previousAngle) & ANGLE_MASK;
  const int32_t d = n - p;
  if (d < -512) return d + 1024;
  if (d > 512) return d - 1024;
  return d;
}

void AiRemoteExtrapolate(Vehicle* driver, Vehicle* v, int32_t participant) {
  if (!gRace.trajectoriesLoaded) return;
  if (participant < 0 || participant >= NET_MAX_PARTICIPANTS) return;
  if (gNetParticipants.stateConsumed[participant]) {
    ComputeIncrements(participant);
    gNetParticipants.stateConsumed[participant] = 0;
  }
  const RemoteIncrements& r = gRemoteIncrements[participant];
  Camera& pose = *gRace.currentPose;
  v->heading += r.heading;
  v->steerInput = Clamp(v->steerInput + r.steer, -STEER_MAX, STEER_MAX);
  pose.x += r.x;
  pose.y += r.y;
  pose.z += r.z;
  pose.pitch = AddAngle(pose.pitch, r.pitch);
  pose.heading = AddAngle(pose.heading, r.poseHeading);
  pose.roll = AddAngle(pose.roll, r.roll);
  v->velocity += r.velocity;
  v->slideAngle += r.slideAngle;
  v->slideUndersteer += r.slideUndersteer;
  v->bodyRoll += r.bodyRoll;
  v->bodyPitch += r.bodyPitch;
  driver->aiProgressGap = 0;
}

void AiUpdateGuide(Vehicle* v) {
  if (!gRace.trajectoriesLoaded) return;
  const Camera& pose = *gRace.currentPose;
  float best = GUIDE_SEARCH;
  int32_t slot = -1, found = -1;
  const int32_t n = AiTrajectoryCount();
  for (int32_t s = 0; s < n; ++s) {
    const Trajectory& t = gTrajectories[s];
    const float penalty = (&t == v->nearestTrajectory || s == 0) ? 0.0f : GUIDE_OTHER_SLOT_PENALTY;
    for (int32_t i = 0; i < t.count; ++i) {
      const float dx = t.points[i].x - pose.x, dz = t.points[i].z - pose.z;
      const float d = dx * dx + dz * dz + penalty;
      if (d < best) {
        best = d;
        slot = s;
        found = i;
      }
    }
  }
  if (found < 0) return;
  const Trajectory& t = gTrajectories[slot];
  v->nearestTrajectory = &t;
  if (v->guidePoint == -1) v->guidePoint = static_cast<int16_t>(found);
  if (std::abs(found - v->guidePoint) >= GUIDE_JUMP) {
    ++v->guideMisses;
    if (v->guideMisses > GUIDE_MISSES_MAX) v->guidePoint = -1;
    return;
  }
  v->guideMisses = 0;
  v->guidePoint = static_cast<int16_t>(found >= t.count - GUIDE_END_POINTS ? -1 : found);
  const TrajPoint& aim = t.points[(found + GUIDE_AHEAD) % t.count];
  const int32_t toward = RoundI32(static_cast<float>(HeadingTo(pose, aim)) - v->heading);
  v->guideHeading = MathAngleTurn(v->guideHeading, toward, gRace.timeStepFifth);
}
