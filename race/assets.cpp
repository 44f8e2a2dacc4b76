// Until the vehicle models load: the vehicle types carry their geometry, and
// the game start loads the textures the vehicles and the race draw with.
#include <initializer_list>

#include "backend_common/texture.h"
#include "platform/mem.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

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
  LoadGameStartTexture("gomme.3df", false);
  int32_t s = 0, t = 0;
  gAssets.tyreTexture = static_cast<uint32_t>(TexFindHandle("gomme.3df", &s, &t));
  LoadGameStartTexture("minicar.3df", false);
  AssetRecordGameStartTextures();
}
