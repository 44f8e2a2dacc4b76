// Until the computer drivers and the human controls exist: every human reads
// the keyboard at the first sensitivity's rates, computer cars wait for their
// drivers, and a respawn puts the vehicle back where it last stood well.
#include <cmath>

#include "engine3d/terrain.h"
#include "platform/app.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float STEER_RATE = 32.0f;
constexpr float CENTRE_RATE = 30.0f;
constexpr float STEER_MAX = 320.0f;

}  // namespace

void VehicleReadControls(Vehicle* v) {
  const uint8_t bits = gApp.keyBits;
  const float side = STEER_RATE * gRace.timeStep, centre = CENTRE_RATE * gRace.timeStep;
  if (bits & APP_KEY_CTRL) v->boostButton = 1;
  if (bits & APP_KEY_SPACE) v->handbrakeButton = 1;
  if (v->finished && v->velocity > 100.0f) v->handbrakeButton = 1;
  // The left arrow raises the steering: a heading that grows turns to the driver's left.
  if (bits & APP_KEY_LEFT) {
    v->steerInput += side;
    if (v->steerInput > STEER_MAX) v->steerInput = STEER_MAX;
  } else if (bits & APP_KEY_RIGHT) {
    v->steerInput -= side;
    if (v->steerInput < -STEER_MAX) v->steerInput = -STEER_MAX;
  } else if (v->steerInput > 0.0f) {
    v->steerInput = v->steerInput > centre ? v->steerInput - centre : 0.0f;
  } else if (v->steerInput < 0.0f) {
    v->steerInput = v->steerInput < -centre ? v->steerInput + centre : 0.0f;
  }
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  if (bits & APP_KEY_UP) {
    v->throttleCmd = 1;
    gVehicleStep.acceleratePressed = 1;
  }
  if (bits & APP_KEY_DOWN) {
    v->brakeCmd = 1;
    const CarModel* model = gVehicleStep.carModel;
    if (v->velocity >= 0.0f && v->cameraDistance < 320 && model && model->flag2) v->exhaustFlame = 1;
  }
}

void AiDriveVehicle(Vehicle*, Vehicle*) {}
void AiRemoteAdvancePoint(Vehicle*) {}
void AiRemoteExtrapolate(Vehicle*, Vehicle*, int32_t) {}
void AiUpdateGuide(Vehicle*) {}
void VehicleCheckWorldBounds(Vehicle*, Vehicle*) {}

void AiRespawnVehicle(Vehicle*, Vehicle* v, uint8_t) {
  gRace.currentPose = &v->pose;
  VehicleResetDynamics(v);
  v->heading = v->pose.heading;
  v->state = VEHICLE_RESETTING;
  AppTimerStart(v->timerSlot);
  v->pose.x = v->lastGoodX;
  v->pose.z = v->lastGoodZ;
  v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z);
  if (!v->finished) v->hitProtect = 150.0f;
}

void VehicleSink(Vehicle* v) {
  v->state = VEHICLE_SINKING;
  if (v->human == 1) {
    v->endViewX = v->pose.x;
    v->endViewZ = v->pose.z;
  }
}
