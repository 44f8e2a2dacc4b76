// Until the chase cameras exist: collisions, wheels and cameras stand still.
#include "presentation/presentation.h"
#include "race/vehicle.h"

void ViewFrameStep() {}
void ChaseCamReset(Vehicle*) {}
Camera* ChaseCamUpdate(Vehicle* vehicle) { return vehicle->chaseCamera; }
