// The per-view walk over the world grid: the camera box, the frustum test of
// each cell's box faces through the polygon clipper, and the projection (and
// relighting) of the vertices of the visible cells. The projection values are
// the back end's render state, read and never written.
#include <cstring>

#include "backend_common/display.h"
#include "engine3d/camera.h"
#include "engine3d/clip.h"
#include "engine3d/grid.h"

namespace {

void ToView(float x, float y, float z, float* vx, float* vy, float* vz) {
  const float dx = x - gCamera.x, dy = y - gCamera.y, dz = z - gCamera.z;
  const float* v = gCamera.view;
  *vx = v[0] * dx + v[1] * dy + v[2] * dz;
  *vy = v[3] * dx + v[4] * dy + v[5] * dz;
  *vz = v[6] * dx + v[7] * dy + v[8] * dz;
}

bool OverlapsCameraBox(const GridCell& cell) {
  const GridCorner& lo = cell.corner[0];
  const GridCorner& hi = cell.corner[6];
  return hi.x >= gGrid.boxMinX && lo.x <= gGrid.boxMaxX && hi.y >= gGrid.boxMinY && lo.y <= gGrid.boxMaxY &&
         hi.z >= gGrid.boxMinZ && lo.z <= gGrid.boxMaxZ;
}

// The six box faces in the order they are tried: bottom, top, then the sides.
constexpr int BOX_FACES[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                 {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 3, 7, 4}};

int32_t CellTest(GridCell* cell, bool relight) {
  if (!OverlapsCameraBox(*cell)) return 0;
  for (GridCorner& c : cell->corner) ToView(c.x, c.y, c.z, &c.viewX, &c.viewY, &c.viewZ);
  for (const auto& q : BOX_FACES) {
    const GridCorner* k = cell->corner;
    if (VisQuadVisible(&k[q[0]], &k[q[1]], &k[q[2]], &k[q[3]])) {
      if (relight)
        VisCellProjectRelit(cell);
      else
        VisCellProject(cell);
      return 1;
    }
  }
  return 0;
}

void Project(GridCell* cell, bool relight) {
  const RdrState& r = gRdrState;
  for (uint32_t i = 0; i < cell->vertexCount; ++i) {
    const uint32_t index = cell->vertexList[i];
    if (index >= static_cast<uint32_t>(gGrid.doneBytes) || gGrid.done[index]) continue;
    gGrid.done[index] = 1;
    Vertex& v = gMesh.vertices[index];
    ToView(v.x, v.y, v.z, &v.viewX, &v.viewY, &v.viewZ);
    const float z = v.viewZ < r.nearPlane ? r.nearPlane : v.viewZ;
    v.screenX = r.centreX + v.viewX * r.scaleX / z;
    v.screenY = r.centreY + v.viewY * r.scaleY / z;
    if (relight) LightWorldVertex(&v);
  }
}

}  // namespace

int32_t VisQuadVisible(const GridCorner* a, const GridCorner* b, const GridCorner* c, const GridCorner* d) {
  const GridCorner* corners[4] = {a, b, c, d};
  ClipVertex* in = gClip.input->vertex;
  double minZ = corners[0]->viewZ, maxZ = minZ;
  for (int i = 0; i < 4; ++i) {
    in[i] = ClipVertex{corners[i]->viewX, corners[i]->viewY, corners[i]->viewZ};
    if (in[i].z < minZ) minZ = in[i].z;
    if (in[i].z > maxZ) maxZ = in[i].z;
  }
  const RdrState& r = gRdrState;
  // The clipper cuts at the render state's window and planes (the outline
  // test changes them only for its own call).
  gClip.left = r.clipMinX;
  gClip.right = r.clipMaxX;
  gClip.top = r.clipMinY;
  gClip.bottom = r.clipMaxY;
  gClip.nearPlane = r.nearPlane;
  gClip.farPlane = r.farPlane;
  if (maxZ < r.nearPlane || minZ > r.farPlane) return 0;
  in[4] = in[0];
  gClip.count = 4;
  if (minZ < r.nearPlane) {
    ClipPolyNear();
    if (gClip.count == 0) return 0;
  }
  if (maxZ > r.farPlane) {
    ClipPolyFar();
    if (gClip.count == 0) return 0;
  }

  in = gClip.input->vertex;
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (int32_t i = 0; i < gClip.count; ++i) {
    in[i].x = r.scaleX * in[i].x / in[i].z + r.centreX;
    in[i].y = r.scaleY * in[i].y / in[i].z + r.centreY;
    if (i == 0 || in[i].x < minX) minX = in[i].x;
    if (i == 0 || in[i].x > maxX) maxX = in[i].x;
    if (i == 0 || in[i].y < minY) minY = in[i].y;
    if (i == 0 || in[i].y > maxY) maxY = in[i].y;
  }
  if (minX > r.clipMaxX || maxX < r.clipMinX || minY > r.clipMaxY || maxY < r.clipMinY) return 0;

  in[gClip.count] = in[0];
  if (minX < r.clipMinX) {
    ClipPolyMinX();
    if (gClip.count == 0) return 0;
  }
  if (maxX > r.clipMaxX) {
    ClipPolyMaxX();
    if (gClip.count == 0) return 0;
  }
  if (minY < r.clipMinY) {
    ClipPolyMinY();
    if (gClip.count == 0) return 0;
  }
  if (maxY > r.clipMaxY) {
    ClipPolyMaxY();
    if (gClip.count == 0) return 0;
  }
  return 1;
}

int32_t VisCellTest(GridCell* cell) { return CellTest(cell, false); }
int32_t VisCellTestRelit(GridCell* cell) { return CellTest(cell, true); }
void VisCellProject(GridCell* cell) { Project(cell, false); }
void VisCellProjectRelit(GridCell* cell) { Project(cell, true); }

void VisBeginView() {
  gVisibleCells.count = 0;
  if (gGrid.done) {
    int64_t bytes = int64_t{gGrid.doneWords} * 4;
    if (bytes > gGrid.doneBytes) bytes = gGrid.doneBytes;
    if (bytes > 0) std::memset(gGrid.done, 0, static_cast<size_t>(bytes));
  }
  const RdrState& r = gRdrState;
  const float h = r.farPlane * 1.3f;
  gGrid.boxMinX = gCamera.x - h;
  gGrid.boxMinY = gCamera.y - h;
  gGrid.boxMinZ = gCamera.z - h;
  gGrid.boxMaxX = gCamera.x + h;
  gGrid.boxMaxY = gCamera.y + h;
  gGrid.boxMaxZ = gCamera.z + h;

  if (!gGrid.cells) return;
  const bool relight = gGrid.lastLight.relight != 0;
  for (int32_t i = 0; i < gGrid.allocatedCells && i < gGrid.cellsTotal; ++i) {
    if (gVisibleCells.count >= VISIBLE_CELLS_MAX) break;
    GridCell* cell = gGrid.cells[i];
    if (cell && CellTest(cell, relight)) gVisibleCells.cells[gVisibleCells.count++] = cell;
  }
}
