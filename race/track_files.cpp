// The track mesh, its placements and counter slots, the camera spots, the
// object grid and ground table, and the position map.
#include "race/track_files.h"

#include <cmath>
#include <cstring>
#include <string>

#include "engine3d/grid.h"
#include "engine3d/instance.h"
#include "engine3d/lebytes.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "presentation/decor_objects.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/terrain_table.h"
#include "race/tracks.h"

ObjectPlacement gPlacements[PLACEMENT_MAX];
int32_t gPlacementCount;
ObjectCounter gObjectCounters[COUNTER_SLOTS];
int32_t gObjectCounterCount;
uint8_t gIceReflections;
CameraSpot gCameraSpots[CAMERA_SPOTS];
TrackGridCell gTrackGrid[TRACK_GRID_ROWS_N][TRACK_GRID_COLS];
TrackGroundEntry gTrackGround[TRACK_GROUND_ROWS][TRACK_GROUND_COLS];
uint8_t gTrackPositionMap[POSITION_MAP_ROWS][POSITION_MAP_COLS];

namespace {

constexpr int32_t MESH_ARCHIVE_SLOT = 3;
constexpr int32_t CAMERA_ARCHIVE_SLOT = 4;
constexpr int32_t MAP_ARCHIVE_SLOT = 2;
constexpr uint32_t FACE_TYPE_SHIFT = 24;
constexpr uint32_t FACE_TEXTURE_MASK = 0x00FFFFFF;

DrawSlot* gGridBlocks[TRACK_GRID_BLOCKS][TRACK_GRID_CELL_OBJECTS];
int32_t gGridBlocksUsed;

// Draw callback and half extents of each draw kind.
struct DrawKind {
  DrawCallback callback;
  float across, up;
};
const DrawKind DRAW_KINDS[] = {
    {DecorDrawPlainObject, 50.0f, 200.0f}, {DecorDrawObjectKind1, 50.0f, 200.0f},
    {DecorDrawNothing, 10.0f, 10.0f},      {DecorDrawObjectKind3, 50.0f, 200.0f},
    {DecorDrawLargeObject, 300.0f, 550.0f}, {DecorDrawObjectKind5, 50.0f, 200.0f},
    {DecorDrawBoat, 50.0f, 200.0f},        {DecorDrawObjectKind7, 300.0f, 550.0f},
    {DecorDrawPanel, 50.0f, 200.0f},       {DecorDrawFlag, 50.0f, 200.0f},
    {DecorDrawObjectKind10, 50.0f, 200.0f},
};
constexpr uint8_t DRAW_KIND_COUNT = sizeof DRAW_KINDS / sizeof DRAW_KINDS[0];
constexpr uint8_t DRAW_KIND_BOAT = 6;

// The ground texture numbers of each track; ice takes every number up to 30.
const uint8_t GROUND_0[] = {3, 6, 9, 15, 17, 18, 20, 22, 24, 25, 26, 28, 29, 33, 35, 37};
const uint8_t GROUND_1[] = {2, 3, 18, 19, 21, 36};
const uint8_t GROUND_2[] = {2, 3, 29, 31, 34, 35, 38, 39, 41, 42};
const uint8_t GROUND_3[] = {2, 3, 4, 5, 7, 8, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21, 24};
const uint8_t GROUND_4[] = {2, 3, 4, 5, 6, 7, 32, 34, 36, 37, 38, 39, 40, 42, 43, 44, 45, 46, 48, 49, 51, 52};
const uint8_t GROUND_5[] = {3, 6, 7, 8, 9, 37, 38, 41, 42, 43, 45, 46, 47, 48, 55};
const uint8_t GROUND_6[] = {2, 3, 4, 6, 7, 8, 40, 41, 43, 44, 45, 47, 48, 56, 57};
const uint8_t GROUND_7[] = {2, 3, 4, 5, 6, 9};
const uint8_t GROUND_8[] = {2, 4, 6, 8, 10, 12, 25, 26, 27, 28, 30};
struct GroundList {
  const uint8_t* numbers;
  uint32_t count;
};
const GroundList GROUND_LISTS[TRACK_COUNT - 1] = {
    {GROUND_0, sizeof GROUND_0}, {GROUND_1, sizeof GROUND_1}, {GROUND_2, sizeof GROUND_2},
    {GROUND_3, sizeof GROUND_3}, {GROUND_4, sizeof GROUND_4}, {GROUND_5, sizeof GROUND_5},
    {GROUND_6, sizeof GROUND_6}, {GROUND_7, sizeof GROUND_7}, {GROUND_8, sizeof GROUND_8},
};
constexpr uint32_t ICE_GROUND_LAST = 30;

bool IsGroundTexture(int32_t track, uint32_t s) {
  if (track == TRACK_ICE) return s <= ICE_GROUND_LAST;
  if (track < 0 || track >= TRACK_ICE) return false;
  const GroundList& list = GROUND_LISTS[track];
  for (uint32_t i = 0; i < list.count; ++i)
    if (list.numbers[i] == s) return true;
  return false;
}

bool SkyAndFogOn() { return gOptions.detail[3] != 0; }

// Position, normal and light: what the game reads of a stored vertex
// before drawing overwrites the rest.
bool VertexFinite(const Vertex& v) {
  const float values[] = {v.x, v.y, v.z, v.normalX, v.normalY, v.normalZ, v.light};
  for (float value : values)
    if (!std::isfinite(value)) return false;
  return true;
}

void DecodePlacement(const uint8_t* b, ObjectPlacement* p) {
  p->yaw = GetU16(b);
  p->second = GetU16(b + 2);
  p->counterSlot = b[4];
  p->type = GetU16(b + 5);
  p->x = GetF32(b + 7);
  p->y = GetF32(b + 11);
  p->z = GetF32(b + 15);
}

// Fixes a face's type word from the file's track-relative form.
void FixFaceWord(Face* f) {
  const uint32_t type = f->type >> FACE_TYPE_SHIFT;
  const uint32_t start = static_cast<uint32_t>(gAssets.gameStartTextures);
  if (type == FACE_TRANSLUCENT) {
    const uint32_t faceType = SkyAndFogOn() ? FACE_TRANSLUCENT : FACE_TEX_LIT;
    f->type = faceType << FACE_TYPE_SHIFT | (gRace.trackTextures[TRACK_TEX_SKY] & FACE_TEXTURE_MASK);
    return;
  }
  f->type += start;
  if (type == FACE_TEX_VCOLOUR) {
    if (TrackIsWhiteVertex(f->index[0]) && TrackIsWhiteVertex(f->index[1]) && TrackIsWhiteVertex(f->index[2]))
      f->type = FACE_TEX_LIT << FACE_TYPE_SHIFT | (f->type & FACE_TEXTURE_MASK);
    else
      gRace.sortedDrawing = 1;
  }
}

void BuildFromTerrain() {
  const int32_t track = gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0;
  gMesh.vertexCount = 0;
  gMesh.faceCount = 0;
  if (TerrainBuild(&gTrackTerrains[track]) == 1) {
    TerrainTextureAll(static_cast<uint32_t>(gAssets.gameStartTextures + 1));
    if (gRace.waterLevel != NO_WATER_LEVEL) TerrainAddWaterPlane(gRace.waterLevel, gRace.trackTextures[TRACK_TEX_SKY]);
  }
  TrackWhitenVertices();
  GridBuild();
  gRace.trajectoriesLoaded = 0;
}

// The cell of a position in a grid of `size` units, or false outside it.
bool CellOf(float x, float z, float scale, int32_t cols, int32_t rows, int32_t* col, int32_t* row) {
  const float fc = x * scale, fr = z * scale;
  // Compared as floats first so that huge or NaN positions never reach a cast.
  if (!(fc > -1.0f && fc < static_cast<float>(cols) && fr > -1.0f && fr < static_cast<float>(rows))) return false;
  *col = static_cast<int32_t>(fc);
  *row = static_cast<int32_t>(fr);
  return *col >= 0 && *col < cols && *row >= 0 && *row < rows;
}

const ObjectType* TypeOfSlot(const DrawSlot* slot) {
  if (slot->user >= static_cast<uint32_t>(gPlacementCount)) return nullptr;
  const uint16_t type = gPlacements[slot->user].type;
  return type < OBJECT_TYPE_ROWS ? &gObjectTypes[type] : nullptr;
}

// Appends the object to the cell: false when the cell is full or no block is free.
bool EnterIntoCell(DrawSlot* slot, int32_t col, int32_t row) {
  TrackGridCell& cell = gTrackGrid[row][col];
  if (cell.count >= TRACK_GRID_CELL_OBJECTS) return false;
  if (cell.count == 0 || !cell.list) {
    if (gGridBlocksUsed >= TRACK_GRID_BLOCKS) return false;
    cell.list = gGridBlocks[gGridBlocksUsed++];
    cell.count = 0;
  }
  cell.list[cell.count++] = slot;
  return true;
}

}  // namespace

uint8_t TrackIsWhiteVertex(int32_t index) {
  if (index < 0 || index >= gMesh.vertexCount || !gMesh.vertices) return 0;
  const Vertex& v = gMesh.vertices[index];
  return v.red == 255 && v.green == 255 && v.blue == 255;
}

void TrackWhitenVertices() {
  for (int32_t i = 0; i < gMesh.vertexCount; ++i) {
    Vertex& v = gMesh.vertices[i];
    v.red = v.green = v.blue = 255;
    v.light = 0.0f;
  }
  gRace.sortedDrawing = 0;
}

void TrackRegisterCounterSlot(ObjectPlacement* placement) {
  if (gObjectCounterCount >= COUNTER_SLOTS) {
    placement->counterSlot = COUNTER_SLOT_NONE;
    return;
  }
  placement->counterSlot = static_cast<uint8_t>(gObjectCounterCount);
  gObjectCounters[gObjectCounterCount] = ObjectCounter{0.0f, 0.0f, 0};
  ++gObjectCounterCount;
}

int32_t TrackReadMesh(const uint8_t* file, uint32_t size) {
  if (!file || !gMesh.vertices || !gMesh.faces) return 0;
  // Every count is checked against what is left of the file and the pools
  // before anything is copied, so a refused file leaves the mesh as it was.
  uint64_t at = 0;
  auto take = [&](uint64_t n) {
    if (n > size - at) return false;
    at += n;
    return true;
  };
  if (!take(4)) return 0;
  const uint32_t faceCount = GetU32(file);
  if (faceCount > static_cast<uint32_t>(gMesh.faceCapacity)) return 0;
  const uint64_t facesAt = at;
  if (!take(uint64_t{faceCount} * MESH_FACE_BYTES) || !take(4)) return 0;
  const uint32_t vertexCount = GetU32(file + at - 4);
  if (vertexCount > static_cast<uint32_t>(gMesh.vertexCapacity)) return 0;
  if (vertexCount < static_cast<uint32_t>(TRACK_GRID_VERTICES)) return 0;
  const uint64_t verticesAt = at;
  if (!take(uint64_t{vertexCount} * MESH_VERTEX_BYTES) || !take(4)) return 0;
  const uint32_t placementCount = GetU32(file + at - 4);
  if (placementCount > static_cast<uint32_t>(PLACEMENT_MAX)) return 0;
  const uint64_t placementsAt = at;
  if (!take(uint64_t{placementCount} * PLACEMENT_BYTES)) return 0;
  for (uint32_t i = 0; i < faceCount; ++i)
    if (!MeshFaceRecordValid(file + facesAt + uint64_t{i} * MESH_FACE_BYTES, vertexCount)) return 0;
  for (uint32_t i = 0; i < vertexCount; ++i) {
    Vertex v;
    MeshDecodeVertex(file + verticesAt + uint64_t{i} * MESH_VERTEX_BYTES, &v);
    if (!VertexFinite(v)) return 0;
  }

  for (uint32_t i = 0; i < vertexCount; ++i)
    MeshDecodeVertex(file + verticesAt + uint64_t{i} * MESH_VERTEX_BYTES, &gMesh.vertices[i]);
  gMesh.vertexCount = static_cast<int32_t>(vertexCount);
  for (uint32_t i = 0; i < faceCount; ++i) {
    MeshDecodeFace(file + facesAt + uint64_t{i} * MESH_FACE_BYTES, &gMesh.faces[i]);
    FixFaceWord(&gMesh.faces[i]);
  }
  gMesh.faceCount = static_cast<int32_t>(faceCount);
  // A placement that is nowhere is left out; the others keep their order.
  int32_t placed = 0;
  for (uint32_t i = 0; i < placementCount; ++i) {
    ObjectPlacement& p = gPlacements[placed];
    DecodePlacement(file + placementsAt + uint64_t{i} * PLACEMENT_BYTES, &p);
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) ++placed;
  }
  gPlacementCount = placed;
  return 1;
}

void TrackPlaceObjects() {
  for (int32_t i = 0; i < gPlacementCount; ++i) {
    ObjectPlacement& p = gPlacements[i];
    // A type outside the table, or one whose model this track did not load,
    // would be drawn with no model.
    if (p.type >= OBJECT_TYPE_ROWS || !gObjectModels[p.type]) continue;
    const ObjectType& type = gObjectTypes[p.type];
    // Only animated types and the boat read the byte; any other value would
    // call an animation step the type does not have.
    if (type.drawKind != DRAW_KIND_BOAT) p.counterSlot = COUNTER_SLOT_NONE;
    if (type.drawKind >= DRAW_KIND_COUNT) continue;
    const DrawKind& kind = DRAW_KINDS[type.drawKind];
    if (!DrawListAddStatic(gObjectModels[p.type], static_cast<uint32_t>(i), kind.callback, p.x, p.y, p.z, kind.across,
                           kind.up))
      continue;
    if (type.anim) TrackRegisterCounterSlot(&p);
  }
}

void TrackLoadMesh() {
  for (int32_t i = 0; i < gDrawLists.dynamicCapacity; ++i) DrawListRelease(&gDrawLists.dynamics[i]);
  gRace.sortedDrawing = 0;
  gDrawLists.staticCount = 0;
  gPlacementCount = 0;
  gObjectCounterCount = 0;
  gIceReflections = gRace.trackIndex == TRACK_ICE && gOptions.detail[2] != 0;
  gRace.trajectoriesLoaded = 1;

  const int32_t track = gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0;
  const std::string name = std::string(gTrackInfo[track].directory) + ".uv";
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(name.c_str(), MESH_ARCHIVE_SLOT, &size);
  const bool read = file && TrackReadMesh(file, size);
  if (file) MemFree(file);
  if (!read) {
    BuildFromTerrain();
    return;
  }
  TrackPlaceObjects();
  GridBuild();
}

int32_t TrackReadCameras(const uint8_t* file, uint32_t size) {
  if (!file || size < CAMERA_SPOTS * CAMERA_SPOT_BYTES) return 0;
  for (int32_t i = 0; i < CAMERA_SPOTS; ++i) {
    const uint8_t* b = file + i * CAMERA_SPOT_BYTES;
    CameraSpot& s = gCameraSpots[i];
    s.inUse = b[0];
    s.kind = static_cast<int32_t>(GetU32(b + 1));
    s.camera = Camera{GetF32(b + 5), GetF32(b + 9), GetF32(b + 13), GetF32(b + 17), GetF32(b + 21), GetF32(b + 25)};
  }
  return 1;
}

void TrackLoadCameras() {
  const int32_t track = gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0;
  const std::string name = std::string(gTrackInfo[track].directory) + ".cam";
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(name.c_str(), CAMERA_ARCHIVE_SLOT, &size);
  const bool read = file && TrackReadCameras(file, size);
  if (file) MemFree(file);
  if (!read)
    for (CameraSpot& s : gCameraSpots) s.inUse = 0;
}

uint8_t TrackGridAddObject(DrawSlot* slot) {
  if (!slot) return 0;
  const ObjectType* type = TypeOfSlot(slot);
  if (type && (type->gridFlags & OBJECT_GRID_NO_CELL)) return 0;
  int32_t col, row;
  if (!CellOf(slot->x, slot->z, 0.005f, TRACK_GRID_COLS, TRACK_GRID_ROWS_N, &col, &row)) return 0;
  return EnterIntoCell(slot, col, row) ? 1 : 0;
}

void TrackBuildCellGrid() {
  for (auto& row : gTrackGrid)
    for (TrackGridCell& c : row) c = TrackGridCell{0, nullptr};
  for (auto& row : gTrackGround)
    for (TrackGroundEntry& e : row) e = TrackGroundEntry{TRACK_GROUND_NONE, nullptr, 0};
  gGridBlocksUsed = 0;
  for (int32_t i = 0; i < gDrawLists.staticCount; ++i) {
    DrawSlot* slot = &gDrawLists.statics[i];
    const ObjectType* type = TypeOfSlot(slot);
    if (!type) continue;
    float x = slot->x;
    if (type->specialId == OBJECT_ID_FIXED_BOX) x -= 250.0f;
    int32_t col, row;
    // An object that does not fit its cell is skipped alone; the rest of the
    // track keeps its collisions and ground codes.
    if (!(type->gridFlags & OBJECT_GRID_NO_CELL) &&
        CellOf(x, slot->z, 0.005f, TRACK_GRID_COLS, TRACK_GRID_ROWS_N, &col, &row))
      EnterIntoCell(slot, col, row);
    if ((type->gridFlags & OBJECT_GRID_GROUND) &&
        CellOf(x, slot->z, 0.01f, TRACK_GROUND_COLS, TRACK_GROUND_ROWS, &col, &row)) {
      gTrackGround[row][col].object = slot;
      gTrackGround[row][col].height = slot->y - 10.0f;
    }
  }
  TrackScanGroundFaces();
}

void TrackScanGroundFaces() {
  const uint32_t start = static_cast<uint32_t>(gAssets.gameStartTextures);
  for (int32_t i = 0; i < gMesh.faceCount; ++i) {
    const Face& f = gMesh.faces[i];
    const uint32_t texture = f.type & FACE_TEXTURE_MASK;
    if (texture < start || !IsGroundTexture(gRace.trackIndex, texture - start)) continue;
    float x, z;
    if (!GridFaceCentre(&f, &x, &z)) continue;
    if (!(x > -1.0f && x < 16100.0f && z > -1.0f && z < 8100.0f)) continue;
    const int32_t col = static_cast<int32_t>(x) / 100, row = static_cast<int32_t>(z) / 100;
    if (col < 0 || col >= TRACK_GROUND_COLS || row < 0 || row >= TRACK_GROUND_ROWS) continue;
    gTrackGround[row][col].surface = static_cast<uint8_t>(texture - start);
  }
}

int32_t TrackReadMapTile(const uint8_t* file, uint32_t size, int32_t track) {
  constexpr uint32_t HEAD = 772, WIDTH = 80, HEIGHT = 40;
  if (!file || size < HEAD + WIDTH * HEIGHT) return 0;
  const int32_t quadrant = track & 3;
  const uint32_t left = (quadrant & 1) ? POSITION_MAP_COLS : 0;
  const uint32_t top = (quadrant & 2) ? POSITION_MAP_ROWS : 0;
  for (uint32_t r = 0; r < POSITION_MAP_ROWS; ++r)
    std::memcpy(gTrackPositionMap[r], file + HEAD + (top + r) * WIDTH + left, POSITION_MAP_COLS);
  return 1;
}

void TrackLoadMapTile() {
  const int32_t track = gRace.trackIndex;
  const char* name = track <= 3 ? "mappos.qvr" : track <= 7 ? "mappos1.qvr" : "mappos2.qvr";
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(name, MAP_ARCHIVE_SLOT, &size);
  // Without a map the track has no zones, rather than the previous track's.
  if (!file || !TrackReadMapTile(file, size, track)) std::memset(gTrackPositionMap, 0, sizeof gTrackPositionMap);
  if (file) MemFree(file);
}
