// Until the vehicle effects exist: no flame, puff, splash, spray, dust or lost wheel.
#include "presentation/presentation.h"

void FxAttachVehicleBurst(Vehicle*) {}
void FxAttachVehicleEmitter(Vehicle*, float) {}
void FxAttachVehicleEmitterDrive(Vehicle*) {}
void FxVehicleLoseWheel(Vehicle*, int32_t) {}
void FxSpawnSplash(Vehicle*) {}
void FxSpawnWheelClods(Vehicle*, WheelState*) {}
void FxSpawnWheelSpray(WheelState*, float) {}
void FxSpawnWheelSpray2(WheelState*, float) {}
void FxSpawnSmokePuff(float, float, float, float) {}
void FxSpawnWheelParticle(float, float, float) {}
void FxSpawnGroundDust(Vehicle*) {}
void FxSpawnBubbles(Vehicle*) {}
void FxSpawnVehicleFire(Vehicle*) {}
void FxSpawnExhaustFlames(Vehicle*) {}
// Until the vehicle shadows exist: none is drawn.
void VehicleDrawShadow(Vehicle*) {}
