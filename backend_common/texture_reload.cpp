// Reloading every texture in the table, as each back end's loaders and
// downloads do it. A file of its own, so a back end with its own form links
// that one instead.
#include "backend_common/texture.h"

void TexReloadAll() {
  const int32_t count = gTextureTable.count;
  TexMemReset();
  for (int32_t i = 0; i < count; ++i) {
    // Reloading appends at the count, which never passes i: the entry read
    // here has not been overwritten yet.
    TextureTableEntry old = gTextureTable.entries[i];
    if (old.path[0] == '\0') continue;
    TexSetColourKey(static_cast<int16_t>(old.keyRed), static_cast<int16_t>(old.keyGreen),
                    static_cast<int16_t>(old.keyBlue));
    TextureRecord* record = TexLoad(old.path);
    TexDownload(record);
    TexFree(record);
  }
  TexSetColourKey(-1, -1, -1);
}
