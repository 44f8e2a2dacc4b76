// Each race's textures and objects: the game-start textures downloaded
// again, the track's ground and sky lists, the placed-object models of the
// track, and the tyre-mark blends.
#include <cstring>
#include <string>

#include "backend_common/texture.h"
#include "engine3d/instance.h"
#include "engine3d/model3ds.h"
#include "engine3d/normals.h"
#include "platform/app.h"
#include "platform/fatal.h"
#include "platform/mem.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

// The table entries of the game start and of the track objects, kept to be
// downloaded again after each texture-memory reset.
TextureTableEntry gGameStartEntries[TEX_TABLE_SIZE];
int32_t gGameStartEntryCount;
TextureTableEntry gObjectEntries[TEX_TABLE_SIZE];
int32_t gObjectEntryCount;

constexpr uint32_t TYRE_SIDE = 32;
constexpr uint32_t TYRE_TEXELS = TYRE_SIDE * TYRE_SIDE;
constexpr const char* OBJECT_DIRECTORY = "others\\";

int32_t KeyValue(uint16_t v) { return v == 0xFFFF ? -1 : v; }

void Reload(const TextureTableEntry* entries, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const TextureTableEntry& e = entries[i];
    TexSetColourKey(KeyValue(e.keyRed), KeyValue(e.keyGreen), KeyValue(e.keyBlue));
    TextureRecord* record = TexLoad(e.path);
    if (!record) continue;
    TexDownload(record);
    TexFree(record);
  }
  TexSetColourKey(-1, -1, -1);
}

void Snapshot(TextureTableEntry* entries, int32_t* count, int32_t from) {
  *count = 0;
  for (int32_t i = from; i < gTextureTable.count && *count < TEX_TABLE_SIZE; ++i) entries[(*count)++] = gTextureTable.entries[i];
}

// Loads one list entry and stores its handle and ranges; a failure stops the
// game, since every later texture number of the track would shift.
uint32_t LoadListEntry(TrackTextureEntry* e) {
  TexSetColourKey(e->keyRed, e->keyGreen, e->keyBlue);
  TextureRecord* record = TexLoad(e->name);
  const int32_t handle = record ? TexDownload(record) : -1;
  if (record) TexFree(record);
  TexSetColourKey(-1, -1, -1);
  if (handle < 0) AssetMissing(e->name);
  int32_t s = 0, t = 0;
  TexFindHandle(e->name, &s, &t);
  e->handle = static_cast<uint32_t>(handle);
  e->sRange = static_cast<uint16_t>(s);
  e->tRange = static_cast<uint16_t>(t);
  return e->handle;
}

bool Wanted(const ObjectType& row) {
  return row.track == gRace.trackIndex || row.track == OBJECT_TRACK_EVERY ||
         (row.track == OBJECT_TRACK_HUMAN && !gRace.noHumanMode);
}

bool IsEnd(const ObjectType& row) { return std::strcmp(row.name, "end") == 0; }

void LoadObjectRow(int32_t index) {
  ObjectType& row = gObjectTypes[index];
  const bool underOthers = row.placement && row.placement->unused != 0;
  const std::string path = (underOthers ? OBJECT_DIRECTORY : "") + std::string(row.name) + ".3ds";
  MeshPlacement placement = row.placement ? *row.placement : MeshPlacement{0, 1.0f, 0.0f, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1, 1};
  placement.scale = row.scale;
  MeshHeader* model = MeshLoad3ds(path.c_str(), underOthers ? OBJECT_DIRECTORY : "", &placement);
  if (!model) AssetMissing(path);
  // A model whose texels are keyed out is point sampled where the back end
  // filters by device state: filtering would bleed the key colour into its
  // cut edges. The row's first word holds the key's red in its upper half.
  if (model) model->filter = row.key[0] != -1 ? 0 : 1;
  gObjectModels[index] = model;
  if (row.mergeQuads) MeshMergeQuads(model);
  switch (row.groundMode) {
    case 1: MeshRestOnGround(model); break;
    case 2: case 3: case 4: MeshMoveMinCorner(model, 0.0f, 0.0f, 0.0f); break;
    case 5: MeshRestOnGroundShiftZ(model); break;
    default: break;
  }
  if (!row.placed) return;
  ObjectTypeRow bounds{row.specialId, static_cast<uint8_t>(row.anim ? 1 : 0), row.boxScale, row.boxOffsetX,
                       row.boxOffsetZ, 0, 0, 0, 0, 0, 0};
  MeshObjectBounds(&bounds, model);
  row.minX = bounds.minX;
  row.maxX = bounds.maxX;
  row.minY = bounds.minY;
  row.maxY = bounds.maxY;
  row.minZ = bounds.minZ;
  row.maxZ = bounds.maxZ;
  if (row.anim && row.anim->frames[0]) {
    std::string paths[OBJECT_ANIM_FRAMES];
    const char* names[OBJECT_ANIM_FRAMES + 1] = {};
    for (int i = 0; i < OBJECT_ANIM_FRAMES && row.anim->frames[i]; ++i) {
      paths[i] = std::string(OBJECT_DIRECTORY) + row.anim->frames[i];
      names[i] = paths[i].c_str();
    }
    MeshFrameSet* frames = MeshLoadFrames(names, model, &placement);
    if (!frames) AssetMissing("anim");
    MeshFramesCentre(frames, model);
    row.anim->frameSet = frames;
  }
  if (row.glow) AssetCentreOnTextureFaces(&row, model);
}

void PatchInvisiblePost() {
  ObjectType& post = gObjectTypes[OBJECT_ROW_POST];
  gObjectModels[OBJECT_ROW_POST] = gObjectModels[OBJECT_ROW_BIDON];
  post.placed = 0;
  post.anim = nullptr;
  post.glow = nullptr;
  post.drawKind = 2;
  post.value = 500;
  post.gridFlags = 0xC1;
  post.specialId = -1;
  post.minX = -5.0f;
  post.maxX = 5.0f;
  post.minY = 0.0f;
  post.maxY = 50.0f;
  post.minZ = -5.0f;
  post.maxZ = 5.0f;
}

// The texels of a loaded record, through the back end's lock (a surface in
// one back end, plain memory in the other).
bool CopyTexels(TextureRecord* r, uint16_t* out) {
  void* texels = TexLock(r->info.data);
  if (!texels) return false;
  std::memcpy(out, texels, TYRE_TEXELS * sizeof(uint16_t));
  TexUnlock(r->info.data);
  return true;
}

bool StoreTexels(TextureRecord* r, const uint16_t* in) {
  void* texels = TexLock(r->info.data);
  if (!texels) return false;
  std::memcpy(texels, in, TYRE_TEXELS * sizeof(uint16_t));
  TexUnlock(r->info.data);
  return true;
}

bool IsTyreTexture(const TextureRecord* r) {
  return r && r->info.data && r->info.width == TYRE_SIDE && r->info.height == TYRE_SIDE &&
         r->info.format == TEX_FMT_ARGB_1555;
}

}  // namespace

void AssetMissing(const std::string& what) {
  // Set first: closing the window on the error screen ends the game as well.
  AppSetExitCode(1);
  GameFatalError(what.c_str());
  GameFatalQuit();
}

void AssetRecordGameStartTextures() {
  gAssets.gameStartTextures = gTextureTable.count;
  Snapshot(gGameStartEntries, &gGameStartEntryCount, 0);
}

void AssetReloadTrackTextures() { Reload(gGameStartEntries, gGameStartEntryCount); }
void AssetReloadTrackObjectTextures() { Reload(gObjectEntries, gObjectEntryCount); }

void AssetLoadTrackTextures() {
  TexMemReset();
  AssetReloadTrackTextures();
  if (gAssets.trackLoaded) AssetFreeTrackObjects();
  AssetLoadTrackTextureLists();
  const int32_t before = gTextureTable.count;
  AssetLoadTrackObjects();
  gAssets.trackObjectTextures = gTextureTable.count - before;
  Snapshot(gObjectEntries, &gObjectEntryCount, before);
  AssetLoadTyreMarkTexture();
}

void AssetLoadTrackTextureLists() {
  const int32_t track = gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0;
  TrackInfo& info = gTrackInfo[track];
  for (TrackTextureEntry* e = info.groundList; std::strcmp(e->name, "end") != 0; ++e) LoadListEntry(e);
  gRace.groundTexture = info.groundList[0].handle;
  for (int i = 0; i < TRACK_SKY_ENTRIES; ++i) {
    TrackTextureEntry* e = &info.skyList[i];
    gRace.trackTextures[i] = e->load ? LoadListEntry(e) : 0;
  }
}

void AssetLoadTrackObjects() {
  for (int32_t i = 0; i < OBJECT_TYPE_ROWS && !IsEnd(gObjectTypes[i]); ++i) {
    const ObjectType& row = gObjectTypes[i];
    TexSetColourKey(row.key[0], row.key[1], row.key[2]);
    if (Wanted(row)) LoadObjectRow(i);
  }
  TexSetColourKey(-1, -1, -1);
  PatchInvisiblePost();
  gAssets.trackLoaded = 1;
}

void AssetFreeTrackObjects() {
  for (int32_t i = 0; i < OBJECT_TYPE_ROWS; ++i) {
    if (i == OBJECT_ROW_POST || !gObjectModels[i]) continue;
    ObjectAnim* anim = gObjectTypes[i].anim;
    if (anim && anim->frameSet) {
      MeshFramesFree(anim->frameSet);
      anim->frameSet = nullptr;
    }
    if (!MeshFree(gObjectModels[i])) GameShowNumber(i);
    gObjectModels[i] = nullptr;
  }
  gObjectModels[OBJECT_ROW_POST] = nullptr;
  gAssets.trackLoaded = 0;
}

void AssetCentreOnTextureFaces(ObjectType* row, const MeshHeader* mesh) {
  if (!row || !row->glow || !row->glow->textureName || !mesh || !mesh->faces || !mesh->vertices) return;
  int32_t s = 0, t = 0;
  const uint32_t id = static_cast<uint32_t>(TexFindHandle(row->glow->textureName, &s, &t));
  const uint32_t word = FACE_TEX_LIT << 24 | (id & 0xFFFFFF);
  float x = 0.0f, y = 0.0f, z = 0.0f;
  int32_t n = 0;
  for (uint32_t f = 0; f < mesh->faceCount; ++f) {
    const Face& face = mesh->faces[f];
    if (face.type != word) continue;
    for (int c = 0; c < (face.vertexCount == 4 ? 4 : 3); ++c) {
      if (face.index[c] >= mesh->vertexCount) continue;
      const Vertex& v = mesh->vertices[face.index[c]];
      x += v.x;
      y += v.y;
      z += v.z;
      ++n;
    }
  }
  // No face bears the texture: the record keeps its offset.
  if (n == 0) return;
  row->glow->x = x / static_cast<float>(n);
  row->glow->y = y / static_cast<float>(n);
  row->glow->z = z / static_cast<float>(n);
}

void AssetLoadTyreMarkTexture() {
  for (uint32_t& mark : gAssets.tyreMarks) mark = gAssets.tyreTexture;
  const int32_t track = gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0;
  const std::string path = std::string(gTrackInfo[track].directory) + "\\gomme.3df";
  TextureRecord* environment = TexLoad(path.c_str());
  TextureRecord* base = TexLoad("gom.3df");
  // Both must be 32 x 32 ARGB1555 for the blend to read 1024 texels of each.
  if (!IsTyreTexture(environment) || !IsTyreTexture(base)) {
    if (environment) TexFree(environment);
    if (base) TexFree(base);
    return;
  }
  uint16_t target[TYRE_TEXELS], start[TYRE_TEXELS], blend[TYRE_TEXELS];
  const bool copied = CopyTexels(environment, target) && CopyTexels(base, start);
  TexFree(environment);
  if (!copied) {
    TexFree(base);
    return;
  }
  for (int32_t k = 1; k < TYRE_MARK_TEXTURES; ++k) {
    TextureRecord* record = k == 1 ? base : TexLoad("gom.3df");
    if (!IsTyreTexture(record)) {
      if (record) TexFree(record);
      continue;
    }
    AssetBlendTexels(start, target, k, blend);
    const int32_t handle = StoreTexels(record, blend) ? TexDownload(record) : -1;
    if (handle >= 0) gAssets.tyreMarks[k] = static_cast<uint32_t>(handle);
    TexFree(record);
  }
}
