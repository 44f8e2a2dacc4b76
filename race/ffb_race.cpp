// The race's force-feedback triggers: the drive step, the wheel pass and the
// collisions call them for every vehicle; they act for a human driver whose
// controller is a joystick or wheel.
#include <cmath>

#include "engine3d/mathutil.h"
#include "platform/app.h"
#include "race/ffb.h"
#include "race/race.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float ENGINE_UPDATE_TICKS = 10.0f;

bool Acts(const Vehicle* v) { return !gRace.noHumanMode && gFfb.on && v && v->human == 1 && v->controller >= 2; }

// Every trigger that talks to the device lets the window's messages through first.
bool ActsAfterPump(const Vehicle* v) {
  if (!Acts(v)) return false;
  AppPumpMessages();
  return true;
}

}  // namespace

void FfbSetActive(Vehicle* v, int32_t on) {
  if (!Acts(v)) return;
  const uint8_t want = on ? 1 : 0;
  if (want == gFfb.active) return;
  if (want)
    FfbResumeEffects();
  else
    FfbStopEffects();
  gFfb.active = want;
}

void FfbUpdateWheelContact(Vehicle* v) {
  if (!ActsAfterPump(v)) return;
  int32_t mask = 0;
  if (v->wheelsLost != 0)
    for (int w = 0; w < VEHICLE_WHEELS; ++w)
      if (v->wheels[w].attached == 0) mask |= 1 << w;
  FfbSetLostWheels(mask);
}

void FfbUpdateEngineFromVehicle(Vehicle* v) {
  if (!ActsAfterPump(v)) return;
  gFfb.engineCountdown -= gRace.timeStep;
  if (gFfb.engineCountdown >= 0.0f) return;
  FfbUpdateEngine(TruncI32(v->velocity), TruncI32(v->engineRevs + 500.0f));
  gFfb.engineCountdown = ENGINE_UPDATE_TICKS;
}

void FfbTakeOff(Vehicle* v) {
  if (ActsAfterPump(v)) FfbSetAirborne();
}

void FfbLandVehicle(Vehicle* v) {
  if (ActsAfterPump(v)) FfbLand(10000);
}

void FfbShock(Vehicle* v, int32_t dx, int32_t dz) {
  if (!ActsAfterPump(v)) return;
  const double length = std::trunc(std::sqrt(double(dx) * dx + double(dz) * dz));
  const int32_t strength = length >= 10.0 ? 10000 : static_cast<int32_t>(length) * 1000;
  FfbPlayImpact(dx, dz, strength);
}

void FfbShockFull(Vehicle* v, float x, float z) {
  if (ActsAfterPump(v)) FfbPlayImpact(TruncI32(x), TruncI32(z), 10000);
}

void FfbSkid(Vehicle* v) {
  if (ActsAfterPump(v)) FfbSetSkid(10000);
}

void FfbCheckDeviceLost() {
  switch (InputGetLastError()) {
    case 0x80000002u: case 0x80000003u: case 0x80000004u: case 0x80000009u:
    case 0x80040154u: case 0x80040201u: case 0x80040205u: case 0x80040206u:
    case 0x8007000Cu: case 0x80070015u: case 0x800700AAu: case 0x8007047Eu:
    case 0x80070481u: case 0xFFFFFFFEu: case 0xFFFFFFFFu:
      gFfbDeviceActive = 0;
      break;
    default: break;
  }
}
