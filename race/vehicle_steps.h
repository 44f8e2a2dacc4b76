// The per-vehicle steps the race frame runs and draws: the drive step, the
// ambient vehicle, the highway traffic and the ranking.
#pragma once
#include <cstdint>

struct Vehicle;

// One drive step of the current vehicle (gRace.currentPose points at its
// pose); `driver` is the record that steers it, null for a human.
void VehicleDriveStep(Vehicle* vehicle, Vehicle* driver);
void AmbientFrameStep();
void VehicleDrawAmbientShadow();
void TrackObjTrafficStep();
void RaceRankVehicles();
