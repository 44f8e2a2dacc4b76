// Object contact: which placed object a vehicle's footprint touches, the
// checkpoint pass, and the way out of a move that ran into an object. The
// ground helpers put a knocked or rolled vehicle on the terrain.
#include <cmath>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "race/collide.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float OUTLINE_SCALE = 16.0f;
constexpr float NO_CANDIDATE = 32000.0f;
constexpr uint8_t FLAG_TURNED_BOX = 0x10;
constexpr int32_t MAX_OBJECT_CHANGES = 10;
// However large an object, a push-out that has not left it after this many
// steps never will (the step is at least 2 units).
constexpr int32_t MAX_PUSH_STEPS = 8192;
constexpr int32_t MESSAGE_CHECK_POINT = 3;
constexpr int32_t SFX_CHECK = 29;

// The 3 x 3 block of cells around a position, clipped to the grid; false
// when the position is nowhere near it.
bool CellBlock(float x, float z, float cell, int32_t cols, int32_t rows, int32_t* c0, int32_t* r0, int32_t* c1,
               int32_t* r1) {
  const float fc = x / cell, fr = z / cell;
  // Compared as floats first so that huge or NaN positions never reach a cast.
  if (!(fc > -2.0f && fc < static_cast<float>(cols + 1) && fr > -2.0f && fr < static_cast<float>(rows + 1)))
    return false;
  const int32_t col = static_cast<int32_t>(std::floor(fc)), row = static_cast<int32_t>(std::floor(fr));
  *c0 = col - 1 < 0 ? 0 : col - 1;
  *r0 = row - 1 < 0 ? 0 : row - 1;
  *c1 = col + 1 >= cols ? cols - 1 : col + 1;
  *r1 = row + 1 >= rows ? rows - 1 : row + 1;
  return *c0 <= *c1 && *r0 <= *r1;
}

void OutlineCentre(float* x, float* y, float* z) {
  float sx = 0.0f, sy = 0.0f, sz = 0.0f;
  for (const Vertex& c : gCollideOutline) {
    sx += c.viewX;
    sy += c.viewY;
    sz += c.viewZ;
  }
  *x = sx * 0.25f / OUTLINE_SCALE;
  *y = sy * 0.25f / OUTLINE_SCALE;
  *z = sz * 0.25f / OUTLINE_SCALE;
}

bool IsCheckpoint(const ObjectType* row) { return row->gridFlags == OBJECT_GRID_CHECKPOINT; }

// The nearest object the outline just built touches; `passCheckpoints`
// hands checkpoints of the object cells to the checkpoint pass instead.
DrawSlot* NearestObject(Vehicle* v, float x, float y, float z, bool passCheckpoints) {
  const TrackGridCell* cells[CONTACT_CELLS];
  DrawSlot* ground[CONTACT_CELLS];
  const int32_t nCells = ContactGatherObjectCells(x, z, cells);
  const int32_t nGround = ContactGatherGroundCells(x, z, ground);
  if (nCells == 0 && nGround == 0) return nullptr;
  CollideBuildOutline(v, x, y, z, &v->pose);
  float cx, cy, cz;
  OutlineCentre(&cx, &cy, &cz);
  DrawSlot* best = nullptr;
  float bestDistance = NO_CANDIDATE;
  auto consider = [&](DrawSlot* object, bool fromCells) {
    uint16_t angle;
    const ObjectType* row;
    if (!ContactObjectInfo(object, &angle, &row)) return;
    if (!ContactOutlineInObject(gCollideOutline, angle, row, object, v)) return;
    if (fromCells && IsCheckpoint(row)) {
      if (passCheckpoints) ContactPassCheckpoint(v, object);
      return;
    }
    const float dx = object->x - cx, dz = object->z - cz;
    const float d = std::sqrt(dx * dx + dz * dz);
    if (d < bestDistance) {
      bestDistance = d;
      best = object;
    }
  };
  for (int32_t i = 0; i < nCells; ++i)
    for (int32_t k = 0; k < cells[i]->count && k < TRACK_GRID_CELL_OBJECTS; ++k) consider(cells[i]->list[k], true);
  for (int32_t i = 0; i < nGround; ++i) consider(ground[i], false);
  return best;
}

void SetPosition(Camera* pose, float x, float y, float z) {
  pose->x = x;
  pose->y = y;
  pose->z = z;
}

}  // namespace

int32_t ContactGatherObjectCells(float x, float z, const TrackGridCell** out) {
  int32_t c0, r0, c1, r1, n = 0;
  if (!CellBlock(x, z, 200.0f, TRACK_GRID_COLS, TRACK_GRID_ROWS_N, &c0, &r0, &c1, &r1)) return 0;
  for (int32_t r = r0; r <= r1; ++r)
    for (int32_t c = c0; c <= c1; ++c) {
      const TrackGridCell& cell = gTrackGrid[r][c];
      if (cell.count > 0 && cell.list) out[n++] = &cell;
    }
  return n;
}

int32_t ContactGatherGroundCells(float x, float z, DrawSlot** out) {
  int32_t c0, r0, c1, r1, n = 0;
  if (!CellBlock(x, z, 100.0f, TRACK_GROUND_COLS, TRACK_GROUND_ROWS, &c0, &r0, &c1, &r1)) return 0;
  for (int32_t r = r0; r <= r1; ++r)
    for (int32_t c = c0; c <= c1; ++c)
      if (gTrackGround[r][c].object) out[n++] = gTrackGround[r][c].object;
  return n;
}

bool ContactObjectInfo(const DrawSlot* object, uint16_t* angle, const ObjectType** row) {
  if (!object || object->user >= static_cast<uint32_t>(gPlacementCount)) return false;
  const ObjectPlacement& p = gPlacements[object->user];
  const uint16_t type = p.type;
  if (type >= OBJECT_TYPE_ROWS) return false;
  *angle = p.yaw;
  *row = &gObjectTypes[type];
  return true;
}

bool ContactOutlineInObject(const Vertex* outline, uint16_t angle, const ObjectType* row, const DrawSlot* object,
                            const Vehicle* v) {
  if (!object->visible) return false;
  float h = 0.0f;
  for (int i = 0; i < 4; ++i) h += outline[i].viewY;
  h = h * 0.25f / OUTLINE_SCALE;
  if (h + v->footprint[3] < object->y + row->minY || h + v->footprint[2] > object->y + row->maxY) return false;
  const float minX = static_cast<float>(TruncI32(object->x + row->minX)) * OUTLINE_SCALE;
  const float maxX = static_cast<float>(TruncI32(object->x + row->maxX)) * OUTLINE_SCALE;
  const float minZ = static_cast<float>(TruncI32(object->z + row->minZ)) * OUTLINE_SCALE;
  const float maxZ = static_cast<float>(TruncI32(object->z + row->maxZ)) * OUTLINE_SCALE;
  if (!(row->gridFlags & FLAG_TURNED_BOX)) return RdrOutlineOnScreen(outline, minX, minZ, maxX, maxZ);
  Vertex turned[4];
  CollideTurnOutline(outline, -static_cast<int32_t>(angle), object->x, object->z, turned);
  return RdrOutlineOnScreen(turned, minX, minZ, maxX, maxZ);
}

DrawSlot* ContactFindObject(Vehicle* v) {
  if (v->state == VEHICLE_RESETTING || v->state == VEHICLE_SINKING) return nullptr;
  return NearestObject(v, v->pose.x, v->pose.y, v->pose.z, true);
}

DrawSlot* ContactFindObjectAt(Vehicle* v, float x, float y, float z) {
  return NearestObject(v, x, y, z, false);
}

void ContactPassCheckpoint(Vehicle* v, const DrawSlot* checkpoint) {
  if (v->lastCheckpoint == checkpoint) return;
  v->boostLeft += 50.0f;
  if (v->boostLeft > 999.0f) v->boostLeft = 999.0f;
  if (gRace.noHumanMode) v->boostLeft = 0.0f;
  if (v->human == 1) {
    VehicleDriverPlay(v, 3, 20.0f);
    HudShowPlayerMessage(MESSAGE_CHECK_POINT, 3000.0f, v);
    if (!gRace.noHumanMode) SfxPlayEffectAt(SFX_CHECK, 0.0f, 0.0f, 0.0f);
  }
  v->lastCheckpoint = checkpoint;
  // The repair shows: three stages of visible damage go, and the details kept with them.
  v->damageStage = static_cast<uint8_t>(v->damageStage < 3 ? 0 : v->damageStage - 3);
  v->damageA = v->damageB = 0;
  v->damageCounter = 0;
  for (WheelState& w : v->wheels) ContactWheelWear(&w);
}

void ContactWheelWear(WheelState* wheel) {
  if (!wheel->attached) return;
  wheel->bend = static_cast<int16_t>(wheel->bend < 10 ? 0 : wheel->bend - 10);
}

float ContactObjectSideOf(const DrawSlot* object, float x1, float z1, float x2, float z2) {
  const Camera at{object->x, object->y, object->z, 0.0f, 0.0f, 0.0f};
  return CollideSideOf(&at, x1, z1, x2, z2);
}

bool ContactResolveMove(Vehicle* v, int32_t push) {
  gRace.currentPose = &v->pose;
  if (!ContactFindObject(v)) return true;
  const float nx = v->pose.x, ny = v->pose.y, nz = v->pose.z;
  const float ox = gVehicleStep.prevX, oy = gVehicleStep.prevY, oz = gVehicleStep.prevZ;
  const float tries[6][3] = {{nx, oy, nz}, {ox, ny, nz}, {nx, ny, oz}, {ox, ny, oz}, {ox, oy, nz}, {nx, oy, oz}};
  for (const auto& t : tries) {
    if (ContactFindObjectAt(v, t[0], t[1], t[2])) continue;
    SetPosition(&v->pose, t[0], t[1], t[2]);
    CamSet(&v->pose);
    return true;
  }
  if (!push) return true;
  SetPosition(&v->pose, ox, oy, oz);
  float e = 10.0f;
  if (v->state == VEHICLE_ON_GROUND) {
    e = v->velocity * 0.1f;
    e = e < 2.0f ? 2.0f : e > 10.0f ? 10.0f : e;
  }
  for (int32_t changes = 0;; ++changes) {
    DrawSlot* object = ContactFindObject(v);
    if (!object) {
      v->tractionOverride = 40.0f;
      return true;
    }
    if (changes >= MAX_OBJECT_CHANGES) return false;
    const int32_t a = MathAngleTo(v->pose.z, v->pose.x, object->z, object->x);
    const float sx = SineTable[a & ANGLE_MASK], sz = SineTable[(a + 256) & ANGLE_MASK];
    int32_t steps = 0;
    do {
      if (++steps > MAX_PUSH_STEPS) return false;
      v->pose.x -= e * sx;
      v->pose.z -= e * sz;
      const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
      if (ground > v->pose.y) v->pose.y = ground;
    } while (ContactFindObject(v) == object);
  }
}

int32_t ContactResolveAndSettle(Vehicle* v, float, float, int32_t push) {
  if (!ContactResolveMove(v, push)) return 0;
  CollideSettle(v);
  return 1;
}

int32_t VehicleObjectContactTest(Vehicle* v, float a, float b) { return ContactResolveAndSettle(v, a, b, 0); }

void VehicleGroundPose(Vehicle* v) {
  float m[9];
  MatFromAngles(TruncI32(v->pose.pitch), -TruncI32(v->heading + v->slideAngle + v->rollOverAngle),
                TruncI32(v->pose.roll + 512.0f), m);
  static constexpr float POINTS[4][3] = {{-10, 10, -10}, {10, 10, -10}, {10, 10, 10}, {-10, 10, 10}};
  float top = TerrainHeightAt(v->pose.x, v->pose.z);
  for (const auto& p : POINTS) {
    const float x = v->pose.x + m[0] * p[0] + m[1] * p[1] + m[2] * p[2];
    const float z = v->pose.z + m[6] * p[0] + m[7] * p[1] + m[8] * p[2];
    const float h = TerrainHeightAt(x, z);
    if (h > top) top = h;
  }
  v->pose.y = top + v->footprint[3] + 3.0f;
}

namespace {

constexpr float ROOF_POINTS[4][3] = {{-10, 5, -10}, {10, 5, -10}, {10, 5, 10}, {-10, 5, 10}};

// The terrain heights under the roof points, in order, into `out`.
void RoofHeights(const Vehicle* v, float out[4]) {
  float m[9];
  MatFromAngles(TruncI32(v->pose.pitch), TruncI32(-(v->heading + v->slideAngle)), TruncI32(v->pose.roll + 512.0f), m);
  for (int i = 0; i < 4; ++i) {
    const float* p = ROOF_POINTS[i];
    const float x = v->pose.x + m[0] * p[0] + m[1] * p[1] + m[2] * p[2];
    const float z = v->pose.z + m[6] * p[0] + m[7] * p[1] + m[8] * p[2];
    out[i] = TerrainHeightAt(x, z);
  }
}

}  // namespace

bool VehicleRoofTouches(Vehicle* v) {
  if (v->landingSide != 2) return v->pose.y < TerrainHeightAt(v->pose.x, v->pose.z);
  float h[4];
  RoofHeights(v, h);
  for (float g : h)
    if (g + 10.0f > v->pose.y) return true;
  return false;
}

void VehicleRoofOnGround(Vehicle* v) {
  if (v->landingSide != 2) {
    v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z);
    return;
  }
  float h[4];
  RoofHeights(v, h);
  float top = h[0];
  for (float g : h)
    if (g > top) top = g;
  v->pose.y = top + 10.0f;
}
