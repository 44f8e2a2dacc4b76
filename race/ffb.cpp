// Force feedback at start-up, at the stops of a race and at shutdown.
#include <cstdlib>

#include "platform/app.h"
#include "race/ffb.h"
#include "race/race.h"
#include "race/vehicle_steps.h"

int32_t FfbInitDevices() {
  gFfb.active = 0;
  gFfb.on = 0;
  gFfb.deviceKind = 0;
  const int32_t devices = InputInit(AppGetInstance(), AppGetWindow());
  int32_t device = -1;
  InputDeviceInfo info{};
  for (int32_t d = 0; d < devices && device == -1; ++d) {
    info.axes = nullptr;
    if (InputGetDeviceInfo(d, &info) == 1) device = d;
    std::free(info.axes);
  }
  if (device == -1) return 0;
  gJoyDevice = device;
  if (info.forceFeedback) {
    InputSetAutoCenter(device, 0);
    FfbReadSettings(".\\ziziz.ini", "Levels");
    // Without all seven effects the device still serves as the controller.
    gFfb.on = FfbCreateEffects(device) == 1 ? 1 : 0;
    gFfb.deviceKind = info.wheel;
  }
  return 1;
}

namespace {

bool HasController(const Vehicle* v) { return v && v->controller >= 2; }

// The record of the player at this machine whose controller may have effects.
Vehicle* LocalRecord() {
  if (gRace.playersMode == 1) return HasController(gPlayer1Vehicle) ? gPlayer1Vehicle : gPlayer2Vehicle;
  if (gRace.networkGame) return gLocalNetVehicle;
  return gPlayer1Vehicle;
}

}  // namespace

void FfbStopAll() {
  if (HasController(LocalRecord()) && gFfb.active) {
    FfbStopEffects();
    gFfb.active = 0;
  }
}

void FfbRelease() {
  InputFxReleaseAll();
  InputSetAutoCenter(gJoyDevice, 1);
  // The library's effects are gone: nothing may drive them any more.
  for (int32_t& e : gFfb.effects) e = -1;
  gFfb.on = 0;
  gFfb.active = 0;
}
