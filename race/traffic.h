// The highway's track objects: 250 vehicle records (gTrackObjects,
// race/vehicle_steps.h) that drive their own paths, their eight traffic
// types, and the per-frame counters of their sounds. Written by the set-up
// at each race load, by the traffic step of every frame and by the pose step
// after the collisions; read by the collisions, the drawing and the trace.
#pragma once
#include <cstdint>

#include "race/trajectory.h"
#include "race/vehicle_steps.h"

struct MeshHeader;
struct DrawSlot;

constexpr int32_t TRAFFIC_NEAR = 2000;       // sum of the axis distances to a reference vehicle
constexpr int32_t TRAFFIC_CROWD = 30;        // more active than this and the standing traffic stays
constexpr int32_t TRAFFIC_ENGINE_COPIES = 8;  // of the "other" row
constexpr int32_t TRAFFIC_HORNS = 3;          // a frame
constexpr int32_t TRAFFIC_RING = 8;           // police cars of the character scene
constexpr int32_t TRAFFIC_SPARE_WHEEL_ROWS[2] = {139, 167};  // object-model rows that hold the wheel copies

// The object paths, read from "other.tA" .. "other.tP".
extern Trajectory gObjectPaths[TRAJ_SLOTS];

struct TrafficType {
  MeshHeader* body;      // near, with wheels
  MeshHeader* farBody;   // one mesh, no wheels
  MeshHeader* wheel;     // turned into `wheelCopy` for each wheel drawn
  MeshHeader* wheelCopy;
  // Front axle half width, wheel height, front axle distance; the same of
  // the rear axle; the body's height above its pose.
  float geometry[7];
  uint8_t siren;
};
extern TrafficType gTrafficTypes[TRAFFIC_TYPES];

struct TrackObjState {
  int32_t activeCount;
  uint8_t crowded;        // more than TRAFFIC_CROWD were active last frame
  int32_t sirenSlot;      // the "police" loop's slot, 0: none
  int32_t sirensStarted;  // this frame
  int32_t horns;          // this frame
  int32_t engineCopies;   // this frame
  // Whether the set-up found a path to place the objects on: with every
  // path missing or empty no object is placed and none steps or draws.
  uint8_t placed;
};
extern TrackObjState gTrackObjState;

void TrackObjSetup();
void TrackObjLoadPaths();
void TrackObjBuildTypes();
void TrackObjSetType(int32_t type, int32_t body, int32_t farBody, int32_t wheel, int32_t wheelCopy);
// -> 0 when every path is empty (the object is left where it was).
int32_t TrackObjPickPath(Vehicle* object);
void TrackObjPlaceOnPath(Vehicle* object, int32_t placedBefore);
int32_t TrackObjNearPlayer();
void TrackObjUpdate(Vehicle* driver, Vehicle* object);
void TrackObjIdle(Vehicle* driver, Vehicle* object);
void TrackObjFollowPath(Vehicle* driver, Vehicle* object);
void TrackObjSetControls(Vehicle* driver, Vehicle* object, float traction);
void TrackObjSparks(Vehicle* object);
void TrackObjClampToWorld();
void TrackObjStepPose(Vehicle* object);
void TrackObjPlaceWheel(float x, float y, float z, Vehicle* object, int32_t wheel);
void TrackObjTransformMesh(DrawSlot* slot, const TrafficType* type, Vehicle* object, int32_t wheel);
void TrackObjDrawSiren(Vehicle* object);
void TrackObjDraw(Vehicle* object);
void TrackObjPlaceRing();
void TrackObjStepRing();
