// The vehicle types and the control update: a point mass with a turning
// circle that turns the commands into velocity, heading, engine revolutions
// and gear, wheel spin, slide and body offsets. Every later result depends on
// this arithmetic, so each expression keeps its order and its f32 steps.
#include <cmath>

#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

const VehicleTypeRow VehicleTypeParams[VEHICLE_TYPE_ROWS] = {
    {3.5f, 750.0f, 272320.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {3.5f, 600.0f, 220800.0f, 0.22f, 0.4f, 2.5f, 3.6f, 320},
    {3.5f, 900.0f, 323840.0f, 0.2f, 0.5f, 2.0f, 6.9f, 320},
    {3.5f, 810.0f, 294400.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {3.5f, 800.0f, 309120.0f, 0.22f, 0.4f, 2.5f, 4.8f, 320},
    {3.5f, 750.0f, 309120.0f, 0.25f, 0.3f, 2.5f, 2.7f, 320},
    {3.5f, 750.0f, 272320.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {3.5f, 750.0f, 272320.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {3.5f, 750.0f, 272320.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {3.5f, 750.0f, 272320.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {3.5f, 750.0f, 272320.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {3.5f, 750.0f, 272320.0f, 0.2f, 0.5f, 2.0f, 5.4f, 320},
    {4.5f, 1400.0f, 147200.0f, 0.2f, 0.5f, 2.0f, 5.4f, 0},
    {4.5f, 1400.0f, 139840.0f, 0.2f, 0.5f, 2.0f, 5.4f, 0},
    {4.5f, 1400.0f, 154560.0f, 0.2f, 0.5f, 2.0f, 5.4f, 0},
    {3.5f, 850.0f, 220800.0f, 0.21f, 0.5f, 2.0f, 5.4f, 0},
    {3.5f, 850.0f, 147200.0f, 0.2f, 0.5f, 2.0f, 5.4f, 0},
    {3.5f, 950.0f, 132480.0f, 0.2f, 0.5f, 2.0f, 5.4f, 0},
    {3.5f, 850.0f, 161920.0f, 0.2f, 0.5f, 2.0f, 5.4f, 0},
    {3.5f, 750.0f, 220800.0f, 0.21f, 0.5f, 2.0f, 5.4f, 0},
};

namespace {

constexpr float TAN_GUARD = 1.498e-06f;
constexpr float STEER_TO_RADIANS = (1.0f / 512.0f);
constexpr float TWO_PI = 6.28319f;
constexpr float TURN_MINIMUM = 1e-06f;

float TopVelocity(const NetVehicle* v) {
  return v->physParams[PHYS_POWER] * v->physParams[PHYS_DRIVE_RATIO] / v->physParams[PHYS_MASS] * 0.001f * 3600.0f;
}

// A type number from a record is trusted only inside the table.
int32_t TypeRow(int32_t type, int32_t offset, int32_t count) {
  return type >= 0 && type < count ? type + offset : offset;
}

void LoadRow(NetVehicle* v, const VehicleTypeRow& row) {
  v->physParams[PHYS_WHEEL_BASE] = row.wheelBase;
  v->physParams[PHYS_MASS] = row.mass;
  v->physParams[PHYS_POWER] = row.power;
  v->physParams[PHYS_DRIVE_RATIO] = row.driveRatio;
  v->physParams[PHYS_FRONT_SHARE] = row.frontShare;
  v->physParams[PHYS_ACCEL_FACTOR] = row.accelFactor;
  v->physParams[PHYS_GRIP_MAX] = row.gripMax;
}

// tan of a steering angle in 1/32 wheel units, never closer to 0 than the guard.
float SteerTan(float angle) {
  float t = std::tan(angle * STEER_TO_RADIANS * TWO_PI);
  if (std::fabs(t) < TAN_GUARD) t = std::signbit(t) ? -TAN_GUARD : TAN_GUARD;
  return t;
}

float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }

// x - k x timeStep x x (x limited to -128..128), never crossing 0.
float DecayToZero(float x, float k) {
  const float r = x - k * gRace.timeStep * Clamp(x, -128.0f, 128.0f);
  if ((x > 0.0f && r < 0.0f) || (x < 0.0f && r > 0.0f)) return 0.0f;
  return r;
}

void EaseGrip(NetVehicle* v, float d) {
  v->grip += d * gRace.timeStep;
  const float most = v->physParams[PHYS_GRIP_MAX];
  v->grip = Clamp(v->grip, most * 0.5f, most);
}

void ThrottleForce(Vehicle* v, float factorScale) {
  if (!v->throttleCmd || v->engineOn != 1 || v->gear == 0) return;
  if (!(v->velocity < v->topVelocity + 70.0f)) return;
  if (v->reverse) {
    // Once per update, whatever the frame rate.
    if (v->velocity < 0.0f)
      v->velocity += 2.0f;
    else
      v->reverse = 0;
    return;
  }
  v->accel = v->physParams[PHYS_ACCEL_FACTOR] * factorScale * (1.0f - v->velocity / v->topVelocity);
  if (v->boostButton) {
    v->accel *= 8.0f;
    if (v->accel < 2.0f) v->accel = 2.0f;
  }
  VehicleBodyPitchFollow(v, v->accel * 8.0f);
}

void BrakeForce(Vehicle* v) {
  if (!v->brakeCmd || v->engineOn != 1 || v->reverse) return;
  if (v->velocity <= 0.0f) {
    v->reverse = 1;
    return;
  }
  const float p6 = v->physParams[PHYS_TRACTION];
  v->accel = -(p6 - v->velocity / v->topVelocity * 0.5f * p6);
  VehicleBodyPitchFollow(v, v->accel * 8.0f);
}

void EngineBraking(Vehicle* v) {
  if (v->throttleCmd || v->brakeCmd || !(v->velocity > 0.0f) || v->engineOn == 0 || v->reverse) return;
  v->accel = -(v->physParams[PHYS_TRACTION] * 0.25f * (v->engineRevs / (v->physParams[PHYS_REV_LIMIT] - 1500.0f)));
  VehicleBodyPitchFollow(v, v->accel * 8.0f);
}

void SteerGeometry(Vehicle* v) {
  v->steerAngle = static_cast<float>(v->wheelSteer / 32);
  if (v->steerAngle == 0.0f) return;
  const float t = SteerTan(v->steerAngle);
  v->turnRadius = v->physParams[PHYS_WHEEL_BASE] / t;
  const float speed = v->velocity * (1.0f / 3600.0f) * 1000.0f;
  v->lateralForce = speed * speed * v->physParams[PHYS_MASS] / v->turnRadius * 0.101937f;
}

float RevsAtGear(const Vehicle* v, float speed, float gear) {
  const float limit = v->physParams[PHYS_REV_LIMIT] - 1500.0f;
  return speed / ((gear / v->physParams[PHYS_GEARS]) * v->topVelocity / limit);
}

void ShiftPuff(Vehicle* v, float amount) {
  if (v->human != 2 && v->cameraDistance < 400 && v->waterDepthSum < 10.0f) FxAttachVehicleEmitter(v, amount);
}

void Gearbox(Vehicle* v) {
  const float s = std::fabs(v->velocity);
  const float gears = v->physParams[PHYS_GEARS];
  const float limit = v->physParams[PHYS_REV_LIMIT] - 1500.0f;
  if (v->engineOn <= 0) {
    v->engineOn = 1;
    v->engineRevs = 1000.0f;
    return;
  }
  if (v->throttleCmd && v->gear == 0) {
    if (v->human != 2) FxAttachVehicleBurst(v);
    v->gear = 1;
    return;
  }
  if (v->throttleCmd && v->wheelSpin) {
    if (v->engineRevs > v->physParams[PHYS_REV_LIMIT])
      v->engineRevs = v->physParams[PHYS_REV_LIMIT];
    else
      v->engineRevs += 350.0f - (v->velocity / v->topVelocity) * 350.0f * gRace.timeStep;
    return;
  }
  if (v->reverse) {
    v->engineRevs = s / ((1.5f / gears) * v->topVelocity / limit);
    return;
  }
  if (s < 1.0f) {
    v->gear = 0;
    if (v->engineRevs >= 1500.0f)
      v->engineRevs = 1000.0f;
    else
      v->engineRevs += 250.0f * gRace.timeStep;
    return;
  }
  // Rolling out of gear there are no revolutions to compute (a division by
  // zero): the box shifts up as it does from revolutions above the limit.
  const bool neutral = v->gear == 0;
  if (!neutral) v->engineRevs = RevsAtGear(v, s, static_cast<float>(v->gear));
  if ((neutral || v->engineRevs > limit) && static_cast<float>(v->gear) < gears) {
    ++v->gear;
    v->engineRevs = RevsAtGear(v, s, static_cast<float>(v->gear));
    ShiftPuff(v, 10.0f);
  }
  if (v->gear > 1 && RevsAtGear(v, s, static_cast<float>(v->gear - 1)) < limit) {
    --v->gear;
    v->engineRevs = RevsAtGear(v, s, static_cast<float>(v->gear));
    ShiftPuff(v, 20.0f);
  }
}

void SpinAndSlide(Vehicle* v) {
  const float c = VehicleGripCapacity(v);
  const float mass = v->physParams[PHYS_MASS];
  int32_t result = 0;
  float f = 0.0f;
  if (v->throttleCmd && !v->reverse) {
    v->driveForce = v->accel * mass;
    if (c * v->rearLoad * v->velocity * 0.125f < v->driveForce) result = 1;
    if (v->wheelSpin) ThrottleForce(v, 0.5f);
  }
  if (v->steerAngle != 0.0f && !v->reverse) {
    const float c2 = c * v->rearLoad;
    const float lateral = std::fabs(v->lateralForce);
    const bool slides = lateral > c2;
    if (slides) result = 2;
    if (v->wheelSpin) {
      f = slides ? (lateral - c2) / (v->velocity / v->topVelocity + 1.0f) / lateral * std::fabs(v->steerAngle)
                 : std::fabs(v->steerAngle);
    }
    VehicleBodyRollAdd(v, v->lateralForce / c2 * 0.5f);
  }
  if (!v->wheelSpin) {
    v->wobble = 0.0f;
    if (result) {
      v->wheelSpin = 1;
      EaseGrip(v, -0.5f);
    }
    return;
  }
  if (result == 0) {
    v->wobble = 0.0f;
    v->wheelSpin = 0;
    EaseGrip(v, 0.5f);
  } else if (result == 1) {
    if (v->reverseTimer != 0.0f) return;
    if (std::fabs(f) >= 10.0f && v->steerAngle != 0.0f) {
      v->wobble = 0.0f;
      const float sign = v->steerAngle < 0.0f ? -1.0f : 1.0f;
      VehicleSlideImpulse(v, sign * (f * 0.8f), sign * (f * 0.7f));
    } else {
      if (v->wobble == 0.0f) {
        v->wobble = static_cast<float>((RandNextAbs() & 7) + 2);
        if ((RandNext() & 1) == 0) v->wobble = -v->wobble;
      }
      VehicleSlideImpulse(v, v->wobble, v->wobble * 0.5f);
    }
  } else {
    const float sign = v->lateralForce < 0.0f ? -1.0f : 1.0f;
    VehicleSlideImpulse(v, sign * f, sign * (f * 0.9f));
  }
}

void Integrate(Vehicle* v) {
  v->velocity += v->accel * gRace.timeStep;
  if (v->velocity < 0.0f && !v->reverse) v->velocity = 0.0f;
  const float su = v->slideUndersteer;
  float w = Clamp(su * (su * 0.00833333f + 1.0f) * 2.1f * 0.03125f, -14.0f, 14.0f);
  if (std::fabs(w) > std::fabs(v->steerAngle)) w = v->steerAngle;
  const float t = SteerTan(v->steerAngle - w);
  v->turnRadius = v->physParams[PHYS_WHEEL_BASE] / t;
  if (v->turnRadius == 0.0f) return;
  float q = v->velocity * gRace.frameHours * 1000.0f / v->turnRadius;
  if (v->velocity < 100.0f) q *= Clamp((100.0f - std::fabs(v->velocity)) * 0.1f, 1.0f, 3.0f);
  float u = q * 0.159155f * 1024.0f;
  if (u != 0.0f && std::fabs(u) < TURN_MINIMUM) u = u < 0.0f ? -TURN_MINIMUM : TURN_MINIMUM;
  VehicleTurn(v, u);
}

void SlideDecay(Vehicle* v) {
  if (v->state == VEHICLE_CONTACT_SLIDE || v->state == VEHICLE_HANDBRAKE_SLIDE) return;
  if (v->iceLowSlip) {
    if (v->velocity > 40.0f && CollideStartSlide(v, 120.0f)) return;
    v->slideAngle = DecayToZero(v->slideAngle, 0.02f);
    v->slideUndersteer = DecayToZero(v->slideUndersteer, 0.02f);
    return;
  }
  const bool onGround = v->state == VEHICLE_ON_GROUND;
  if (std::fabs(v->velocity) > 5.0f) {
    const float a = Clamp(v->slideAngle, -128.0f, 128.0f) + (onGround ? static_cast<float>(v->wheelSteer * 128 / 512) : 0.0f);
    v->slideAngle = DecayToZero(v->slideAngle, Clamp(std::fabs(a) * 0.00078125f, 0.02f, 0.06f));
  }
  const float b = v->slideUndersteer + (onGround ? static_cast<float>(v->wheelSteer * 120 / 512) : 0.0f);
  v->slideUndersteer = DecayToZero(v->slideUndersteer, Clamp(std::fabs(b) * 0.000833333f, 0.02f, 0.06f));
}

void BodyRelax(Vehicle* v) {
  if (!gVehicleStep.rollDriven) v->bodyRoll -= v->bodyRoll * gRace.timeStep * 0.3f;
  if (gVehicleStep.pitchDriven || !gRace.raceStarted) return;
  if (v->state == VEHICLE_IN_AIR)
    v->bodyPitch += (-16.0f - v->bodyPitch) * gRace.timeStep * 0.08f;
  else
    v->bodyPitch -= v->bodyPitch * gRace.timeStep * 0.2f;
}

}  // namespace

void VehicleApplyType(Vehicle* v) {
  const int32_t row = TypeRow(v->type, 0, VEHICLE_TYPES);
  LoadRow(v, VehicleTypeParams[row]);
  v->topVelocity = TopVelocity(v);
  VehicleLoadSplit(v);
  if (const MeshHeader* body = gCarModels[row].body[0][0]) VehicleMeasureModel(v, body);
  v->enginePitchScale = VehicleTypeParams[row].enginePitchScale;
}

void VehicleApplyTypeAlt(Vehicle* v) {
  LoadRow(v, VehicleTypeParams[TypeRow(v->type, VEHICLE_ALT_ROW, VEHICLE_TYPE_ROWS - VEHICLE_ALT_ROW)]);
  v->physParams[PHYS_POWER] += static_cast<float>((RandNext() & 63) * 736);
  v->topVelocity = TopVelocity(v);
  VehicleLoadSplit(v);
}

void VehicleResetDynamics(NetVehicle* v) {
  v->wheelSpin = 0;
  v->grip = v->physParams[PHYS_GRIP_MAX];
  v->engineOn = 0;
  v->driveForce = v->velocity = v->engineRevs = v->accel = v->lateralForce = 0.0f;
  v->slideAngle = v->slideUndersteer = v->bodyRoll = v->bodyPitch = 0.0f;
  v->tiltPitch = v->tiltRoll = 0;
  v->gear = 0;
  v->reverse = 0;
  v->steerAngle = v->turnRadius = v->heading = 0.0f;
  v->throttleCmd = v->brakeCmd = 0;
  v->wheelSteer = 0;
  v->wobble = 0.0f;
  v->ffBumpFrames = 0;
  v->cameraLag = v->brakeTimer = 0.0f;
  v->contactSoundFlag = 0;
  v->cellCode = 0;
  v->rampCountdown = v->swayPhase = v->swayAmount = 0.0f;
  v->pushHeading1 = v->pushVelocity1 = v->pushTargetHeading = v->pushVelocity2 = 0.0f;
  v->topVelocity = TopVelocity(v);
  VehicleLoadSplit(v);
}

void VehicleMeasureModel(NetVehicle* v, const MeshHeader* mesh) {
  float lo[3] = {1280000.0f, 1280000.0f, 1280000.0f};
  float hi[3] = {-1280000.0f, -1280000.0f, -1280000.0f};
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    const float p[3] = {mesh->vertices[i].x, mesh->vertices[i].y, mesh->vertices[i].z};
    for (int k = 0; k < 3; ++k) {
      if (p[k] < lo[k]) lo[k] = p[k];
      if (p[k] > hi[k]) hi[k] = p[k];
    }
  }
  for (int k = 0; k < 3; ++k) {
    v->footprint[2 * k] = lo[k];
    v->footprint[2 * k + 1] = hi[k];
  }
}

void VehicleLoadSplit(NetVehicle* v) {
  const float mass = v->physParams[PHYS_MASS];
  const float e = v->bodyPitch * 20.0f * 0.01f;
  const float front = v->physParams[PHYS_FRONT_SHARE] * mass;
  const float rear = (1.0f - v->physParams[PHYS_FRONT_SHARE]) * mass;
  v->frontLoad = front;
  v->rearLoad = rear;
  if (e > 0.0f) {
    const float r = e * mass;
    v->rearLoad = r > rear ? r : rear;
  } else if (e < 0.0f) {
    const float f = -e * mass;
    v->frontLoad = f > front ? f : front;
  }
}

float VehicleGripCapacity(const Vehicle* v) {
  float c = v->grip * v->physParams[PHYS_SURFACE_GRIP];
  if (!(v->wheels[WHEEL_REAR_LEFT].attached && v->wheels[WHEEL_REAR_RIGHT].attached)) c /= 3.0f;
  return c;
}

void VehicleControlUpdate(Vehicle* v) {
  gVehicleStep.rollDriven = 0;
  gVehicleStep.pitchDriven = 0;
  v->accel = 0.0f;
  ThrottleForce(v, 1.0f);
  BrakeForce(v);
  EngineBraking(v);
  SteerGeometry(v);
  if (v->reverse && v->velocity >= -30.0f && v->brakeCmd) v->accel = -1.0f;
  Gearbox(v);
  VehicleLoadSplit(v);
  SpinAndSlide(v);
  Integrate(v);
  SlideDecay(v);
  BodyRelax(v);
}

void VehicleBodyRollAdd(Vehicle* v, float x) {
  v->bodyRoll = Clamp(v->bodyRoll + x * gRace.timeStep, -32.0f, 32.0f);
  gVehicleStep.rollDriven = 1;
}

void VehicleBodyPitchFollow(Vehicle* v, float x) {
  if (v->state != VEHICLE_ON_GROUND) return;
  x = Clamp(x, -32.0f, 32.0f);
  if (x - 1.0f > v->bodyPitch) {
    v->bodyPitch += gRace.timeStep;
    gVehicleStep.pitchDriven = 1;
  } else if (v->bodyPitch > x + 1.0f) {
    v->bodyPitch -= gRace.timeStep;
    gVehicleStep.pitchDriven = 1;
  }
  v->bodyPitch = Clamp(v->bodyPitch, -32.0f, 32.0f);
}

void VehicleSlideAdd(Vehicle* v, float da, float du) {
  v->slideAngle += gRace.timeStep * da;
  v->slideUndersteer = Clamp(v->slideUndersteer + gRace.timeStep * du, -120.0f, 120.0f);
}

void VehicleSlideImpulse(Vehicle* v, float da, float du) {
  if (v->slideAngle > -128.0f && v->slideAngle < 128.0f) v->slideAngle += gRace.timeStep * da;
  v->slideUndersteer = Clamp(v->slideUndersteer + gRace.timeStep * du, -120.0f, 120.0f);
}

void VehicleTurn(Vehicle* v, float angle) {
  v->heading += angle;
  if (v->heading < 0.0f)
    v->heading += 1024.0f;
  else if (v->heading >= 1024.0f)
    v->heading -= 1024.0f;
}

void VehicleGripLimit(Vehicle* v) {
  if (v->steerAngle == 0.0f || v->reverse) return;
  const float c = VehicleGripCapacity(v) * v->rearLoad;
  const float lateral = std::fabs(v->lateralForce);
  if (!(lateral > c)) return;
  v->wheelSpin = 1;
  const float d = (lateral - c) / (v->velocity / v->topVelocity + 1.0f) / lateral * std::fabs(v->steerAngle);
  VehicleBodyRollAdd(v, v->lateralForce / c * 0.5f);
  const float sign = v->lateralForce < 0.0f ? -1.0f : 1.0f;
  VehicleSlideImpulse(v, sign * d, sign * (d * 0.9f));
}
