// Until the vehicle models load: the vehicle types carry their geometry only.
#include "race/race.h"
#include "race/tracks.h"

void AssetLoadVehicles() { CarModelSetGeometry(); }
