// Until the vehicle models load: the vehicle types carry their geometry, and
// the data kit's sample car body stands for the body of every car row.
#include "engine3d/model3ds.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

// The body stands on its wheels: the file's z is up.
const MeshPlacement CAR_BODY_PLACEMENT = {0, 1.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}, 1, 1};
MeshHeader* gSampleCarBody;

}  // namespace

void AssetLoadVehicles() {
  CarModelSetGeometry();
  if (!gSampleCarBody) gSampleCarBody = MeshLoad3ds("car.3ds", "", &CAR_BODY_PLACEMENT);
  for (CarModel& row : gCarModels) row.body[0][0] = gSampleCarBody;
}
