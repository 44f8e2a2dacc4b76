// The wheel and ground pass: after a drive step has moved a vehicle, its four
// wheels are settled on the terrain, the body gets its final angles and
// matrix, and the points the views and the effects hang on are placed. The
// wheels' marks, dust, smoke, spray and splashes are requested here too.
//
// Everything it keeps lives in the vehicle record; the pass itself only
// leaves the current vehicle and the tint corners behind.
#include <cmath>
#include <cstdlib>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

WheelPassState gWheelPass;

namespace {

constexpr int32_t SPLASH_SOUND_ROW = 19;  // "plouf"
constexpr float TINT_RANGE = 140.0f;

// Two body-space points (x, y, z each) per damage stage 0..8 for the types
// whose cars carry emitters; the stages nudge one side up or down.
struct EmitterBase {
  int32_t type;
  float x, y, z;
};
constexpr EmitterBase EMITTER_BASES[] = {{0, 4.0f, 1.0f, -20.0f}, {2, 7.0f, 4.0f, -25.0f}, {5, 6.0f, 4.0f, -19.0f}};
constexpr float EMITTER_NUDGE[WHEEL_EMITTER_STAGES][2] = {{0.0f, 0.0f},  {0.0f, 0.0f},  {0.0f, 0.0f},
                                                           {-0.5f, 0.0f}, {0.0f, 0.5f},  {-0.5f, 0.5f},
                                                           {0.5f, 0.0f},  {1.0f, 0.0f},  {-0.5f, 0.0f}};

constexpr int32_t EMITTER_TYPES = 3;
struct EmitterTable {
  float rows[EMITTER_TYPES][WHEEL_EMITTER_STAGES][6];
};
constexpr EmitterTable BuildEmitterTable() {
  EmitterTable table{};
  for (int32_t t = 0; t < EMITTER_TYPES; ++t) {
    const EmitterBase& b = EMITTER_BASES[t];
    for (int32_t k = 0; k < WHEEL_EMITTER_STAGES; ++k) {
      float* r = table.rows[t][k];
      r[0] = -b.x;
      r[1] = b.y + EMITTER_NUDGE[k][0];
      r[2] = b.z;
      r[3] = b.x;
      r[4] = b.y + EMITTER_NUDGE[k][1];
      r[5] = b.z;
    }
  }
  return table;
}
constexpr EmitterTable EMITTER_TABLE = BuildEmitterTable();

bool IsHuman(const Vehicle* v) { return v->human == 1; }

uint16_t Angle16(float f) { return static_cast<uint16_t>(TruncI32(f)); }

// (a, b, c) in body space through the vehicle's matrix, from the point q.
void BodyToWorld(const Vehicle* v, const float q[3], float a, float b, float c, float out[3]) {
  const float* m = v->bodyMatrix;
  out[0] = m[0] * a + m[1] * b + m[2] * c + q[0];
  out[1] = m[3] * a + m[4] * b + m[5] * c + q[1];
  out[2] = m[6] * a + m[7] * b + m[8] * c + q[2];
}

void FromPose(const Vehicle* v, float a, float b, float c, float out[3]) {
  const float p[3] = {v->pose.x, v->pose.y, v->pose.z};
  BodyToWorld(v, p, a, b, c, out);
}

// The excess of a pose angle beyond 100 units either way of level.
int32_t TiltExcess(float angle) {
  const int32_t u = TruncI32(angle) & ANGLE_MASK;
  if (u > 100 && u < 512) return u - 100;
  if (u >= 512 && u < 924) return u - 924;
  return 0;
}

// Keeps a tilt (held as 0..1023) within 30 units of level -> 1 when it had to.
int32_t LimitTilt(int16_t* tilt) {
  if (*tilt >= 31 && *tilt <= 511) {
    *tilt = 30;
    return 1;
  }
  if (*tilt >= 512 && *tilt <= 993) {
    *tilt = 994;
    return 1;
  }
  return 0;
}

// A jitter of 0..2 units on x and z and 2.5..4.5 on y, in that drawing order.
void DrawJitter(float* rx, float* ry, float* rz) {
  *rx = static_cast<float>(RandNext() % 5);
  *ry = static_cast<float>(RandNext() % 5 + 5);
  *rz = static_cast<float>(RandNext() % 5);
}

void Sway(Vehicle* v, float* n) {
  if (v->swayAmount == 0.0f) return;
  if (v->state == VEHICLE_ON_GROUND) {
    const float step = gRace.timeStep * 3.0f;
    if (v->swayAmount > 0.0f) {
      v->swayPhase += step;
      if (v->swayPhase > v->swayAmount) {
        v->swayAmount = 4.0f - v->swayAmount;
        if (v->swayAmount >= 0.0f) v->swayAmount = 0.0f;
      }
    } else {
      v->swayPhase -= step;
      if (v->swayPhase < v->swayAmount) {
        v->swayAmount = -v->swayAmount - 4.0f;
        if (v->swayAmount <= 0.0f) v->swayAmount = 0.0f;
      }
    }
  } else {
    v->swayPhase -= v->swayPhase * gRace.timeStep * 0.4f;
    if (MathFabs(v->swayPhase) < 1.0f) v->swayAmount = 0.0f;
  }
  *n = v->bodyPitch + v->swayPhase;
  if (*n < -40.0f) *n = -40.0f;
  if (*n > 40.0f) *n = 40.0f;
}

// -> 1 when a mark is due and laid this pass; *keep = 0 when the strips must be cut.
int32_t TyreMarkDue(Vehicle* v, int32_t* keep) {
  int32_t interval = 600 - 4 * MathAbs16(TruncI32(v->velocity));
  if (interval < 20) interval = 20;
  if (interval > 300) interval = 300;
  *keep = 1;
  if (v->state != VEHICLE_ON_GROUND && v->state != VEHICLE_CONTACT_SLIDE && v->state != VEHICLE_HANDBRAKE_SLIDE)
    return 0;
  if (AppTimerElapsed(v->timerSlot) < static_cast<uint32_t>(interval)) return 0;
  AppTimerStart(v->timerSlot);
  // The body angles are still those of the previous pass.
  const int32_t pitch = MathAngleDiff(v->bodyAngles[0], 0);
  const int32_t roll = MathAngleDiff((v->bodyAngles[2] - 512) & ANGLE_MASK, 0);
  if (MathFabs(v->velocity) > 1.0f && v->cameraDistance < 400 && std::abs(pitch) <= 40 && std::abs(roll) <= 40) return 1;
  *keep = 0;
  return 0;
}

void WheelEffects(Vehicle* v, uint8_t frontHidden, uint8_t spinning) {
  if (gRace.frameRate > 30.0f && v->velocity > 10.0f) FxSpawnGroundDust(v);
  if (v->handbrakeButton) WheelSpawnDust(v);
  if (static_cast<float>(TruncI32((300.0f - v->velocity) * 0.05f)) > v->effectClock) return;
  v->effectClock = 0.0f;
  if (!frontHidden)
    for (int32_t w = 0; w < VEHICLE_WHEELS; ++w) WheelSpawnSmoke(w);
  if (spinning && !frontHidden) {
    const int32_t first = v->handbrakeButton ? WHEEL_FRONT_LEFT : WHEEL_REAR_LEFT;
    WheelSpawnSpinSpray(first);
    WheelSpawnSpinSpray(first + 1);
  }
  for (int32_t w = WHEEL_FRONT_LEFT; w <= WHEEL_FRONT_RIGHT; ++w) {
    const WheelState& wheel = v->wheels[w];
    if (wheel.attached && wheel.groundHeight <= gRace.waterLevel) WheelSpawnSplash(w);
  }
}

void EmitterPoints(Vehicle* v) {
  // Stages beyond the last row only come from a damaged record; they use the last row.
  const int32_t stage = v->damageStage < WHEEL_EMITTER_STAGES ? v->damageStage : WHEEL_EMITTER_STAGES - 1;
  if (v->exhaustFlame) {
    if (const float* row = WheelEmitterRow(v->type, stage)) {
      BodyToWorld(v, v->bodyPoint, row[0], row[1], row[2], v->exhaustPoint1);
      BodyToWorld(v, v->bodyPoint, row[3], row[4], row[5], v->exhaustPoint2);
    }
  }
  if (v->damageStage > 6) {
    const CarPoint& s = gVehicleStep.carModel->point3;
    if (gRace.debugMode == 1)
      BodyToWorld(v, v->bodyPoint, s.x * 0.625f, s.y * 0.833333f, s.z * 0.625f, v->smokePoint);
    else
      BodyToWorld(v, v->bodyPoint, s.x, s.y, s.z, v->smokePoint);
  }
}

}  // namespace

const float* WheelEmitterRow(int32_t type, int32_t stage) {
  if (stage < 0 || stage >= WHEEL_EMITTER_STAGES) return nullptr;
  for (int32_t t = 0; t < EMITTER_TYPES; ++t)
    if (EMITTER_BASES[t].type == type) return EMITTER_TABLE.rows[t][stage];
  return nullptr;
}

void WheelUpdateContact(float a, float b, float c, Vehicle* v, int32_t index) {
  WheelState& w = v->wheels[index];
  float mount[3];
  FromPose(v, a, b, c, mount);
  w.contactX = mount[0];
  w.contactZ = mount[2];
  const float ground = TerrainHeightAt(mount[0], mount[2]);
  w.groundHeight = ground;

  const float limit = gVehicleStep.carModel->sway;
  float k = mount[1] - ground - b;
  if (k < -limit) k = -limit;
  if (k > limit) k = limit;
  if (!w.attached) {
    k = 2.0f * limit;
    const int32_t range = TruncI32(2.0f * limit);
    // Off the ground at speed the wheel hangs and bounces.
    if (MathAbs16(TruncI32(v->velocity)) >= 32 && range != 0)
      k = 2.0f * limit + static_cast<float>(RandNextAbs() % range);
  }
  w.suspension += (k - w.suspension) * gRace.timeStepFifth;

  const float hang = b - w.suspension;
  FromPose(v, a, hang, c, w.centre);
  // The height is taken in body space, without the pose: on a track with
  // water every wheel above the surface comes out below it.
  const float* m = v->bodyMatrix;
  const float bodyY = m[3] * a + m[4] * hang + m[5] * c;
  w.waterDepth = bodyY >= gRace.waterLevel ? 0.0f : gRace.waterLevel - (w.centre[1] - 2.0f * w.trailHalfWidth);

  float rx, ry, rz;
  DrawJitter(&rx, &ry, &rz);
  float spray[3];
  FromPose(v, a + 0.5f * rx, b + 0.5f * ry, c - 5.0f + 0.5f * rz, spray);
  w.spray[0] = spray[0];
  w.spray[2] = spray[2];
  w.spray[1] = TerrainHeightAt(spray[0], spray[2]) + 2.0f;
}

void WheelSpawnSplash(int32_t index) {
  Vehicle* v = gWheelPass.vehicle;
  WheelState* w = &v->wheels[index];
  if (v->waterDepthSum > 70.0f) return;
  if (v->cameraDistance < 320) {
    int32_t n = TruncI32(MathFabs(v->velocity) * 0.1f);
    if (n > 0) {
      if (n > 16) n = 16;
      const int32_t slot =
          SfxPlayEffectCopyAt(SPLASH_SOUND_ROW, w->centre[0], w->centre[1], w->centre[2], RandNextAbs() % n);
      if (slot) SfxSetSlotFrequency(slot, (RandNext() & 7) * 12);
    }
  }
  const int32_t clods = (RandNextAbs() & 7) + 10;
  for (int32_t i = 0; i < clods; ++i) FxSpawnWheelClods(v, w);
}

void WheelSpawnSmoke(int32_t index) {
  Vehicle* v = gWheelPass.vehicle;
  WheelState* w = &v->wheels[index];
  const bool dry = w->groundHeight > gRace.waterLevel;
  if (w->attached) {
    if (!dry) {
      WheelSpawnSplash(index);
    } else if (RandNextAbs() & 1) {
      if (v->onMarkedCell)
        FxSpawnWheelSpray(w, 4.0f);
      else
        FxSpawnWheelSpray2(w, 5.0f);
    }
    return;
  }
  if (!dry) return;
  const int32_t puffs = (RandNextAbs() & 1) + 1;
  for (int32_t i = 0; i < puffs; ++i) {
    float rx, ry, rz;
    DrawJitter(&rx, &ry, &rz);
    FxSpawnSmokePuff(w->centre[0] + 0.5f * rx, w->centre[1] + 0.5f * ry, w->centre[2] + 0.5f * rz, 12.0f);
  }
}

void WheelSpawnSpinSpray(int32_t index) {
  Vehicle* v = gWheelPass.vehicle;
  WheelState* w = &v->wheels[index];
  if (!w->attached) return;
  if (w->groundHeight <= gRace.waterLevel) {
    WheelSpawnSplash(index);
    return;
  }
  if (!(RandNextAbs() & 1)) return;
  if (v->onMarkedCell)
    FxSpawnWheelSpray(w, 3.0f);
  else
    FxSpawnWheelSpray2(w, 4.0f);
}

void WheelSpawnDust(Vehicle* v) {
  if (!(v->waterDepthSum < 40.0f)) return;
  for (const WheelState& w : v->wheels)
    if (w.attached) FxSpawnWheelParticle(w.spray[0], w.spray[1], w.spray[2]);
}

void WheelSetGroundTint(Vehicle* v) {
  v->tintValid = 0;
  Vertex** corners = gWheelPass.tintCorners;
  if (!TerrainCellCorners(v->bodyPoint[0], v->bodyPoint[2], corners)) return;
  const Vertex* nearest = nullptr;
  float best = TINT_RANGE;
  for (int32_t i = 0; i < 4; ++i) {
    const Vertex* c = corners[i];
    if (!c->lightLevel) continue;
    const float dx = c->x - v->bodyPoint[0], dy = c->y - v->bodyPoint[1], dz = c->z - v->bodyPoint[2];
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (d < best) {
      best = d;
      nearest = c;
    }
  }
  if (!nearest) return;
  const float f = best * (1.0f / TINT_RANGE);
  auto toward = [f](uint8_t own, int32_t light) {
    const float o = static_cast<float>(own);
    return static_cast<uint8_t>(TruncI32(o + (static_cast<float>(light) - o) * f));
  };
  v->tintRed = toward(nearest->red, gRace.lightColour[0]);
  v->tintGreen = toward(nearest->green, gRace.lightColour[1]);
  v->tintBlue = toward(nearest->blue, gRace.lightColour[2]);
  v->tintValid = 1;
}

void WheelProbeDownhill(Vehicle* v) {
  float best = v->pose.y;
  int32_t found = -1;
  for (int32_t k = 0; k < 64; ++k) {
    const int32_t a = 16 * k;
    const float sa = SineTable[a];
    const float ca = SineTable[(a + 256) & ANGLE_MASK];
    const float h = TerrainHeightAt(v->pose.x + 10.0f * (sa - ca), v->pose.z + 10.0f * (sa + ca));
    // Strictly lower: of equal heights the first direction stays.
    if (h < best) {
      best = h;
      found = a;
    }
  }
  if (found >= 0) {
    v->pushTargetHeading = static_cast<float>(found);
    if (v->pushVelocity1 < 200.0f) v->pushVelocity1 += gRace.timeStep * 3.0f;
  } else {
    v->pushVelocity1 -= gRace.timeStep * 30.0f;
  }
}

void WheelUpdateVehicle(Vehicle* v) {
  // 1. The current records.
  VehicleSelectCarModel(v);
  const CarModel* model = gVehicleStep.carModel;
  gWheelPass.vehicle = v;
  const uint8_t frontHidden = IsHuman(v) && (v->viewActive != 0 || gRace.flyInActive);
  v->effectClock += gRace.timeStep;

  // 2. The frame the wheels hang in.
  uint16_t* frame = v->frameAngles;
  frame[0] = Angle16(static_cast<float>(v->tiltPitch) + v->pose.pitch);
  int32_t yaw = TruncI32(v->heading + v->slideAngle);
  if (v->state == VEHICLE_ROLLED_OVER) yaw = TruncI32(static_cast<float>(yaw) + v->rollOverAngle);
  frame[1] = static_cast<uint16_t>(-yaw);
  frame[2] = Angle16(v->pose.roll + 512.0f + static_cast<float>(v->tiltRoll));

  // 3. A vehicle tilted far over is slowly turned back, harder the slower it goes.
  float pitchTarget = 0.0f, rollTarget = 0.0f;
  if (v->state == VEHICLE_ON_GROUND || v->state == VEHICLE_CRIPPLED) {
    const float strength = 1.0f / (MathFabs(v->velocity) * 0.00333333f + 0.5f);
    pitchTarget = static_cast<float>(TiltExcess(v->pose.pitch)) * strength;
    rollTarget = static_cast<float>(TiltExcess(v->pose.roll)) * strength;
  }
  v->tiltPitch = static_cast<int16_t>(MathAngleTurn(v->tiltPitch, TruncI32(pitchTarget), gRace.timeStepFifth));
  v->tiltRoll = static_cast<int16_t>(MathAngleTurn(v->tiltRoll, TruncI32(rollTarget), gRace.timeStepFifth));

  // 4. Beyond the limits the vehicle looks for lower ground to slide to.
  int32_t limited = LimitTilt(&v->tiltRoll);
  limited |= LimitTilt(&v->tiltPitch);
  if (limited)
    WheelProbeDownhill(v);
  else if (v->pushVelocity1 > 0.0f)
    v->pushVelocity1 -= gRace.timeStep * 40.0f;

  // 5.
  v->pushHeading1 = static_cast<float>(
      MathAngleTurn(TruncI32(v->pushHeading1), TruncI32(v->pushTargetHeading), gRace.timeStepFifth));

  // 6.
  MatFromAngles(frame[0], frame[1], frame[2], v->bodyMatrix);

  // 7. Wheel turning: a spinning wheel turns with the engine, not the road.
  const uint8_t spinning = v->wheelSpin || v->ffBumpFrames;
  const float s = spinning ? v->engineRevsHeard * 2.0f : v->velocity;
  float blur = s * 0.0625f;
  if (blur < 1.0f) blur = 1.0f;
  v->treadBlurRear = v->treadBlurFront = blur;
  float turn = s * gRace.timeStep;
  if (turn > 64.0f) turn = 64.0f;
  v->wheelTurnFront -= turn;
  if (v->handbrakeButton)
    v->treadBlurRear = 1.0f;
  else
    v->wheelTurnRear -= turn;

  // 8. Tyre marks come at an interval that shrinks with the speed.
  int32_t keep = 1;
  v->markLaid = static_cast<uint8_t>(TyreMarkDue(v, &keep));

  // 9. The wheels.
  const CarPoint& front = model->point4;
  const CarPoint& rear = model->point5;
  WheelUpdateContact(-front.x, front.y, front.z - 2.0f, v, WHEEL_FRONT_LEFT);
  WheelUpdateContact(front.x, front.y, front.z - 2.0f, v, WHEEL_FRONT_RIGHT);
  WheelUpdateContact(-rear.x, rear.y, rear.z - 2.0f, v, WHEEL_REAR_LEFT);
  WheelUpdateContact(rear.x, rear.y, rear.z - 2.0f, v, WHEEL_REAR_RIGHT);

  // 10.
  uint8_t effects = 0;
  if (v->markLaid) {
    if (!frontHidden) {
      FxAddTyreMark(&v->wheels[WHEEL_FRONT_LEFT]);
      FxAddTyreMark(&v->wheels[WHEEL_FRONT_RIGHT]);
    }
    FxAddTyreMark(&v->wheels[WHEEL_REAR_LEFT]);
    FxAddTyreMark(&v->wheels[WHEEL_REAR_RIGHT]);
    effects = MathFabs(v->velocity) > 4.0f;
  } else if (v->state == VEHICLE_ON_GROUND && keep) {
    effects = MathFabs(v->velocity) > 4.0f;
  } else {
    // Off the ground, sliding or out of shape: the next mark starts a new strip.
    for (WheelState& w : v->wheels) w.lastMarkX = w.lastMarkZ = -1.0f;
    v->markLaid = 1;
  }

  // 11. Ice throws nothing up.
  if (effects && v->cameraDistance < 640 && gRace.trackIndex != TRACK_ICE) WheelEffects(v, frontHidden, spinning);

  // 12. The suspension tips the body.
  const WheelState* w = v->wheels;
  const float pairs = 0.5f * (w[0].suspension + w[1].suspension) - 0.5f * (w[2].suspension + w[3].suspension);
  float noseDip = -pairs * 0.333333f;
  if (noseDip < 0.0f) noseDip = 0.0f;
  v->suspensionPitch = static_cast<int16_t>(TruncI32(pairs * 4.0f));
  const float sides = 0.5f * (w[0].suspension + w[2].suspension) - 0.5f * (w[1].suspension + w[3].suspension);
  v->suspensionRoll = static_cast<int16_t>(TruncI32(sides * 16.0f));
  v->bodyAngles[1] = frame[1];

  // 13.
  float n = v->bodyPitch;
  Sway(v, &n);

  // 14. The tilt roll is in the frame roll already and counts a second time here.
  v->bodyAngles[0] =
      Angle16(static_cast<float>(static_cast<int32_t>(frame[0]) + v->suspensionPitch) + n);
  v->bodyAngles[2] = Angle16(static_cast<float>(static_cast<int32_t>(frame[2]) + v->suspensionRoll) - v->bodyRoll +
                             static_cast<float>(v->tiltRoll));
  const int32_t t = TruncI32(v->pose.roll) & ANGLE_MASK;
  int32_t lean;
  if (t < 512) {
    lean = t / 3;
    if (lean > 60) lean = 60;
  } else {
    lean = (t - 1024) / 3;
    if (lean < -60) lean = -60;
  }
  v->driverRoll = static_cast<uint16_t>(v->bodyAngles[2] - lean);

  // 15. The body point hangs in the frame; the body turns with the suspension.
  FromPose(v, 0.0f, model->bodyPointHeight, 0.0f, v->bodyPoint);
  MatFromAngles(v->bodyAngles[0], v->bodyAngles[1], v->bodyAngles[2], v->bodyMatrix);

  // 16. The eye point by view.
  const CarPoint& eye = model->point1;
  const CarPoint& eye2 = model->point2;
  if ((IsHuman(v) && v->viewActive == 2) || gRace.flyInActive)
    BodyToWorld(v, v->bodyPoint, 0.0f, 5.0f, -10.0f, v->eyePoint);
  else if (IsHuman(v) && v->viewActive == 1)
    BodyToWorld(v, v->bodyPoint, eye2.x, eye2.y, eye2.z - 2.0f, v->eyePoint);
  else if (gRace.debugMode == 1)
    BodyToWorld(v, v->bodyPoint, 0.0f, eye.y, eye.z - 2.0f, v->eyePoint);
  else
    BodyToWorld(v, v->bodyPoint, eye.x, eye.y, eye.z - 2.0f, v->eyePoint);

  // 17. The driver's head shakes with the speed.
  if (v->state == VEHICLE_ON_GROUND) {
    if (gRace.tickPassed && (gRace.ticks & 1) == 0) {
      const int32_t speed = TruncI32(v->velocity * 0.1f);
      v->shakeTarget = 0.0f;
      if (speed > 0) v->shakeTarget = static_cast<float>(RandNext() % speed) * 0.025f;
    }
  } else {
    v->shakeTarget = 0.0f;
  }
  v->shake += (v->shakeTarget - v->shake) * gRace.timeStep * 0.4f;
  const float headX = gRace.debugMode == 1 ? v->shake : eye.x + v->shake;
  BodyToWorld(v, v->bodyPoint, headX, eye.y - 6.5f + noseDip, eye.z - 1.7f - 2.0f, v->headPoint);

  // 18.
  if (IsHuman(v) && v->state == VEHICLE_SINKING && v->pose.y < gRace.waterLevel && gRace.tickPassed &&
      (gRace.ticks & 1))
    FxSpawnBubbles(v);

  // 19.
  EmitterPoints(v);

  // 20.
  WheelSetGroundTint(v);
}

void WheelUpdateComputerCars() {
  if (!gRace.trajectoriesLoaded) return;
  if (gRace.networkGame) {
    const int32_t own = NetOwnIndex();
    for (int32_t i = 0; i < NetParticipantCount(); ++i) {
      Vehicle* v = NetParticipantRecord(i);
      if (i == own || !v) continue;
      gRace.currentPose = &v->pose;
      WheelUpdateVehicle(v);
    }
    return;
  }
  // In split screen slot 0 is player 2, whose pass runs with its chase camera.
  for (int32_t slot = gRace.playersMode == 1 ? 1 : 0; slot < VEHICLE_EXTRA_CAR; ++slot) {
    Vehicle* v = &gVehicleRecords[slot];
    gRace.currentPose = &v->pose;
    WheelUpdateVehicle(v);
  }
  if (gRace.noHumanMode) {
    Vehicle* extra = &gVehicleRecords[VEHICLE_EXTRA_CAR];
    extra->viewActive = 0;
    gRace.currentPose = &extra->pose;
    WheelUpdateVehicle(extra);
  }
}
