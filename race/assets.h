// The vehicle and track assets: what the game-start load and each race's
// texture and object load leave behind for the other loaders and the drawing.
// Written by the asset loaders only.
#pragma once
#include <cstdint>

constexpr int TYRE_MARK_TEXTURES = 8;

struct AssetState {
  // Texture-table entries in use after the game-start load: a track file's
  // texture numbers count from here.
  int32_t gameStartTextures;
  int32_t trackObjectTextures;  // entries the track objects added
  uint32_t tyreTexture;         // gomme.3df, the game-start tyre texture
  uint32_t tyreMarks[TYRE_MARK_TEXTURES];
  uint8_t trackLoaded;  // a track's objects are loaded and must be freed first
};
extern AssetState gAssets;

// At the end of the game-start load: the texture count and the entries that
// each race's texture reset downloads again.
void AssetRecordGameStartTextures();
void AssetLoadTrackTextures();
void AssetReloadTrackTextures();
void AssetReloadTrackObjectTextures();
void AssetLoadTrackObjects();
void AssetFreeTrackObjects();
void AssetLoadTyreMarkTexture();
struct ObjectType;
struct MeshHeader;
// The row's glow offset: the centre of the faces bearing its glow texture.
void AssetCentreOnTextureFaces(ObjectType* row, const MeshHeader* mesh);
// Each 5-bit channel of the 1024 texels moved from base toward target by
// step / 8, the top bit set.
void AssetBlendTexels(const uint16_t* base, const uint16_t* target, int32_t step, uint16_t* out);
