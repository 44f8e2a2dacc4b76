// Until the vehicle models load: the vehicle types carry their geometry, the
// data kit's sample car body stands for the body of every car row, and the
// game start loads the textures the vehicles and the race draw with.
#include <initializer_list>

#include "backend_common/texture.h"
#include "engine3d/model3ds.h"
#include "platform/mem.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

// The body stands on its wheels: the file's z is up.
const MeshPlacement CAR_BODY_PLACEMENT = {0, 1.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}, 1, 1};
MeshHeader* gSampleCarBody;

// A texture of the game start, or nothing when the kit has none.
void LoadGameStartTexture(const char* name, bool unfiltered) {
  TextureRecord* record = unfiltered ? TexLoadUnfiltered(name) : TexLoad(name);
  if (!record) return;
  TexDownload(record);
  TexFree(record);
}

}  // namespace

void AssetLoadVehicles() {
  TexSetColourKey(0, 255, 0);
  for (const char* name : {"vdavg.3df", "vdavd.3df", "vdarg.3df", "vdard.3df"}) LoadGameStartTexture(name, true);
  TexSetColourKey(-1, -1, -1);
  CarModelSetGeometry();
  if (!gSampleCarBody) gSampleCarBody = MeshLoad3ds("car.3ds", "", &CAR_BODY_PLACEMENT);
  for (CarModel& row : gCarModels) row.body[0][0] = gSampleCarBody;
  LoadGameStartTexture("gomme.3df", false);
  int32_t s = 0, t = 0;
  gAssets.tyreTexture = static_cast<uint32_t>(TexFindHandle("gomme.3df", &s, &t));
  LoadGameStartTexture("minicar.3df", false);
  AssetRecordGameStartTextures();
}
