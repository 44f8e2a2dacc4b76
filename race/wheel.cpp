// Until the wheel and ground pass exists: wheels, suspension and ground tint stand still.
#include "race/vehicle_steps.h"

void WheelUpdateVehicle(Vehicle*) {}
void WheelUpdateComputerCars() {}
