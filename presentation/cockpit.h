// The in-car view: the interior sorted into depth buckets and drawn far to
// near without the depth buffer, the dashboard, the needles and the steering
// wheel; and the dial panel of the outside views. The buckets are written
// only while a cockpit is drawn; tests read them.
#pragma once
#include <cstdint>

struct Face;
struct MeshHeader;
struct Vehicle;

constexpr int32_t COCKPIT_BUCKETS = 40;
constexpr int32_t COCKPIT_NODES = 613;

struct CockpitNode {
  Face* face;
  int32_t next;  // node index, -1 at the end of a list
};
struct CockpitBucket {
  int32_t count;
  int32_t head, tail;  // node indices, -1 while empty
};
struct CockpitBucketState {
  CockpitBucket buckets[COCKPIT_BUCKETS];
  CockpitNode nodes[COCKPIT_NODES];
  int32_t used;     // nodes taken since the last clear
  int32_t dropped;  // faces refused since then: the arena was full
};
extern CockpitBucketState gCockpitBuckets;

struct CockpitPoint {
  float x, y;
};

void CockpitDrawBody(Vehicle* vehicle);
void CockpitDrawDials(Vehicle* vehicle);
void CockpitBucketsClear();
// Appends the face to the list of its depth; false when the arena is full
// (the face is then not drawn). Reads the face's vertices through gMesh.
bool CockpitBucketsAdd(Face* face);
void CockpitBucketsDrawLit();
void CockpitBucketsDrawUnlit();
void CockpitTransformLit(Vehicle* vehicle, MeshHeader* model);
void CockpitTransformUnlit(Vehicle* vehicle, MeshHeader* model);
// The screen point of (a, b, c) in the vehicle's frame from its eye point,
// seen by the current camera.
CockpitPoint CockpitProjectPoint(Vehicle* vehicle, float a, float b, float c);
// The needle angles (Angle10) of the velocity and of the engine revolutions.
int32_t CockpitVelocityAngle(const Vehicle* vehicle);
int32_t CockpitRevsAngle(const Vehicle* vehicle);
int32_t CockpitSteeringAngle(const Vehicle* vehicle);
