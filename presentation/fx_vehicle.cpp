// Until the vehicle effects exist: no flame, puff, splash or lost wheel.
#include "presentation/presentation.h"

void FxAttachVehicleBurst(Vehicle*) {}
void FxAttachVehicleEmitter(Vehicle*, float) {}
void FxAttachVehicleEmitterDrive(Vehicle*) {}
void FxVehicleLoseWheel(Vehicle*, int32_t) {}
void FxSpawnSplash(Vehicle*) {}
void FxSpawnVehicleFire(Vehicle*) {}
void FxSpawnExhaustFlames(Vehicle*) {}
// Until the vehicle shadows exist: none is drawn.
void VehicleDrawShadow(Vehicle*) {}
