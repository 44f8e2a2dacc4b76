// The wheels' effects, silent, for suites that drive vehicles without
// watching their wheels (recorders.cpp holds the vehicle effects these share
// a file with in the game).
#include "presentation/presentation.h"

void FxSpawnWheelClods(Vehicle*, WheelState*) {}
void FxSpawnWheelSpray(WheelState*, float) {}
void FxSpawnWheelSpray2(WheelState*, float) {}
void FxSpawnSmokePuff(float, float, float, float) {}
void FxSpawnWheelParticle(float, float, float) {}
void FxSpawnGroundDust(Vehicle*) {}
void FxSpawnBubbles(Vehicle*) {}
