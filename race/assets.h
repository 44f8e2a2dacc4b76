// The vehicle and track assets: what the game-start load and each race's
// texture and object load leave behind for the other loaders and the drawing.
// Written by the asset loaders only.
#pragma once
#include <cstdint>
#include <string>

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
// The track's ground and sky lists, in their order: after a texture-memory
// reset that follows the game-start textures, each entry gets its handle back.
void AssetLoadTrackTextureLists();
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

// A model or texture the game cannot go without: the fatal error screen
// naming it, then the end of the program.
[[noreturn]] void AssetMissing(const std::string& what);

struct Sprite;
constexpr int KIT_PART_KINDS = 4;
constexpr int KIT_WHEEL_LEVELS = 4;  // kit\res1\ .. kit\res3\, then kit\ itself
constexpr int FX_SPRITES = 29;

// The game-start models beside the car rows: the kit parts the front end
// builds kit cars from, the driver and its steering wheel, the arrow.
struct VehicleAssets {
  MeshHeader* kitBodies[KIT_PART_KINDS];
  MeshHeader* kitEngines[KIT_PART_KINDS];
  // [wheel kind][detail level][rear left, rear right, front left, front right]
  MeshHeader* kitWheels[KIT_PART_KINDS][KIT_WHEEL_LEVELS][4];
  MeshHeader* kitSteeringWheel;
  MeshHeader* driver;
  MeshHeader* driverClones[2];
  MeshHeader* driverWheel;  // volext.3ds, the steering wheel seen from outside
  MeshHeader* driverWheelClone;
  MeshHeader* arrow;
  MeshHeader* dashboard;  // bord.3ds, shared by every car's in-car view
};
extern VehicleAssets gVehicleAssets;

// The shared effect sprites, by index; a sprite that could not be made is
// the default one (fumee1's), or null when even that failed.
extern Sprite* gFxSprites[FX_SPRITES];

// Moves every vertex along its normal by a random depth up to 15 x amount /
// 10240, then welds, merges and relights: a damage stage of a body.
void AssetDentMesh(MeshHeader* mesh, float weldTolerance, float amount);
