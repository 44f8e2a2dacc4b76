// The ambient vehicle: a hovering craft in slot 6 of the vehicle records that
// flies the recorded trajectories, keeps company with the player, raises dust
// and casts a ground shadow. It shares the vehicle record and the drive
// helpers but has its own flight step; it is updated, heard and drawn only
// while the effects option is on.
//
// gAmbient is written by the placement (VehiclePlaceAmbient), the flight step
// (hover height, look angle, dust timer) and the drawing (rotor angle, the
// shadow flag); the trace reads it.
#pragma once
#include <cstdint>

#include "race/vehicle.h"

struct MeshHeader;
struct DrawSlot;

struct AmbientState {
  MeshHeader* model;     // null: no ambient vehicle in this race
  float hoverHeight;     // above the ground: 40, 50, 60 or 70 once the race runs, 25 before
  uint16_t lookAngle;    // the heading the model shows, Angle10
  float rotorAngle;      // 10-bit units
  float dustTimer;
  uint8_t shadowEnabled;  // the model was drawn in the current view
  DrawSlot* slot;        // its dynamic draw slot
};
extern AmbientState gAmbient;

// The object-type row of the craft's model.
constexpr int AMBIENT_MODEL_ROW = 37;

inline Vehicle* AmbientVehicle() { return &gVehicleRecords[VEHICLE_AMBIENT]; }

void AmbientPickTrajectory(Vehicle* vehicle);
void AmbientFollow(Vehicle* driver, Vehicle* vehicle);
void AmbientUpdate(Vehicle* driver, Vehicle* vehicle);
void AmbientDrawCallback(DrawSlot* slot, void* owner);
void AmbientDrawRotor(DrawSlot* slot, void* owner, Vehicle* vehicle);
