// What the weather's files share: a point's view depth, one scratch vertex,
// the effects option and the sound copies.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "race/race.h"

inline bool WeatherEffectsOn() { return gOptions.detail[3] != 0; }

// The slot's view position from its world position and the current camera.
inline void WeatherViewOf(DrawSlot* slot) {
  const float dx = slot->x - gCamera.x, dy = slot->y - gCamera.y, dz = slot->z - gCamera.z;
  const float* v = gCamera.view;
  slot->viewX = v[0] * dx + v[1] * dy + v[2] * dz;
  slot->viewY = v[3] * dx + v[4] * dy + v[5] * dz;
  slot->viewZ = v[6] * dx + v[7] * dy + v[8] * dz;
}

// One vertex of the scratch room past the current mesh, zeroed, at the
// point and projected; null when the room is not there.
Vertex* WeatherScratchPoint(float x, float y, float z);

// The next copy of an effect row, cycling through the copies it has.
int32_t WeatherNextCopy(int32_t row, int32_t* counter);
