// The highway traffic's set-up: the paths read from the archive, the eight
// traffic types with their models, and the placement of every object on a
// path clear of the ones placed before it; and the police ring of the
// character scene.
#include <string>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/instance.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/traffic.h"

namespace {

constexpr float PLACE_CLEARANCE = 60.0f;
constexpr float PLACE_STEP_X = 50.0f, PLACE_STEP_Z = 20.0f;
constexpr int32_t INACTIVE_DISTANCE = 2000;

// Rows of the object-type table: the bodies from 168 on, two a type, and the
// two wheels.
constexpr int32_t ROW_FIRST_BODY = 168;
constexpr int32_t ROW_TRUCK_WHEEL = 137;
constexpr int32_t ROW_CAR_WHEEL = 138;

constexpr float TRUCK_GEOMETRY[7] = {8.52f, 3.891f, 17.85f, 9.03f, 3.891f, -12.51f, 6.802f};
constexpr float CAR_GEOMETRY[7] = {8.52f, 3.891f, 16.85f, 9.03f, 3.891f, -14.51f, 3.4f};

const Trajectory& PathOf(const Vehicle* v) { return gObjectPaths[v->aiSlot & (TRAJ_SLOTS - 1)]; }

}  // namespace

void TrackObjLoadPaths() {
  for (int32_t i = 0; i < TRAJ_SLOTS; ++i) {
    const std::string path = std::string("other.t") + static_cast<char>('A' + i);
    TrajLoadFile(path.c_str(), &gObjectPaths[i]);
  }
}

void TrackObjSetType(int32_t type, int32_t body, int32_t farBody, int32_t wheel, int32_t wheelCopy) {
  TrafficType& t = gTrafficTypes[type & (TRAFFIC_TYPES - 1)];
  auto model = [](int32_t row) { return row >= 0 && row < OBJECT_TYPE_ROWS ? gObjectModels[row] : nullptr; };
  t.body = model(body);
  t.farBody = model(farBody);
  t.wheel = model(wheel);
  t.wheelCopy = model(wheelCopy);
}

void TrackObjBuildTypes() {
  // Each wheel draws through a copy of itself in a spare row, which the next
  // track load frees with the other object models.
  const int32_t wheels[2] = {ROW_TRUCK_WHEEL, ROW_CAR_WHEEL};
  for (int32_t k = 0; k < 2; ++k) {
    const int32_t spare = TRAFFIC_SPARE_WHEEL_ROWS[k];
    if (gObjectModels[spare]) {
      MeshFree(gObjectModels[spare]);
      gObjectModels[spare] = nullptr;
    }
    if (gObjectModels[wheels[k]]) gObjectModels[spare] = MeshClone(gObjectModels[wheels[k]]);
  }
  for (int32_t type = 0; type < TRAFFIC_TYPES; ++type) {
    const bool truck = type < 3;
    TrackObjSetType(type, ROW_FIRST_BODY + 2 * type, ROW_FIRST_BODY + 2 * type + 1, truck ? ROW_TRUCK_WHEEL : ROW_CAR_WHEEL,
                    TRAFFIC_SPARE_WHEEL_ROWS[truck ? 0 : 1]);
    TrafficType& t = gTrafficTypes[type];
    for (int32_t i = 0; i < 7; ++i) t.geometry[i] = truck ? TRUCK_GEOMETRY[i] : CAR_GEOMETRY[i];
    t.siren = type == 3 ? 1 : 0;
    gTrafficModels[type] = t.body;
  }
}

int32_t TrackObjPickPath(Vehicle* v) {
  int32_t path = RandNextAbs() & 7;
  const int32_t span = gObjectPaths[path].count - 4;
  v->aiPoint = RandNextAbs() % (span > 1 ? span : 1);
  for (int32_t i = 0; i < TRAJ_SLOTS; ++i, path = (path + 1) & (TRAJ_SLOTS - 1)) {
    if (gObjectPaths[path].count <= 0) continue;
    v->aiSlot = path;
    // The point was drawn for the first path tried; an emptier one found
    // after it starts at its beginning.
    if (v->aiPoint >= gObjectPaths[path].count) v->aiPoint = 0;
    return 1;
  }
  return 0;
}

void TrackObjPlaceOnPath(Vehicle* v, int32_t placedBefore) {
  if (!TrackObjPickPath(v)) return;
  const Trajectory& t = PathOf(v);
  const TrajPoint& p = t.points[v->aiPoint];
  float x = p.x + static_cast<float>(RandNext() % 2) * 10.0f;
  float z = p.z + static_cast<float>(RandNext() % 2) * 10.0f;
  if (placedBefore > TRACK_OBJECTS) placedBefore = TRACK_OBJECTS;
  float offsetX = 0.0f, offsetZ = 0.0f;
  for (int32_t j = 0; j < placedBefore;) {
    const Camera& other = gTrackObjects[j].pose;
    if (other.x > x - PLACE_CLEARANCE && other.x < x + PLACE_CLEARANCE && other.z > z - PLACE_CLEARANCE &&
        other.z < z + PLACE_CLEARANCE) {
      v->aiPoint = v->aiPoint + 1 < t.count ? v->aiPoint + 1 : 0;
      x = t.points[v->aiPoint].x + offsetX;
      z = t.points[v->aiPoint].z + offsetZ;
      offsetX += PLACE_STEP_X;
      offsetZ += PLACE_STEP_Z;
      j = 0;
      continue;
    }
    ++j;
  }
  v->pose.x = x;
  v->pose.z = z;
  const TrajPoint& next = t.points[v->aiPoint + 1 < t.count ? v->aiPoint + 1 : 0];
  v->aiHeading = MathAngleTo(z, x, next.z, next.x);
}

void TrackObjSetup() {
  TrackObjState& s = gTrackObjState;
  s = TrackObjState{};
  for (Vehicle& v : gTrackObjects) {
    v = Vehicle{};
    v.human = 2;
    v.cameraDistance = INACTIVE_DISTANCE;
  }
  TrackObjLoadPaths();
  TrackObjBuildTypes();
  bool any = false;
  for (const Trajectory& t : gObjectPaths) any = any || t.count > 0;
  // The path files come from the player's disk: with none usable the road
  // stays empty rather than the placement searching for ever.
  if (!any) return;
  for (int32_t i = 0; i < TRACK_OBJECTS; ++i) {
    Vehicle* v = &gTrackObjects[i];
    VehicleCopyDefaults(v);
    TrackObjPlaceOnPath(v, i);
    VehiclePlaceTrafficObject(v, v);
    v->cameraDistance = INACTIVE_DISTANCE;
  }
  s.placed = 1;
}

void TrackObjPlaceRing() {
  const Camera centre = *gRace.currentPose;
  RandSetIndex(static_cast<uint32_t>(gRace.trackIndex));
  for (int32_t k = 0; k < TRAFFIC_RING; ++k) {
    Vehicle* v = &gTrackObjects[k];
    VehicleCopyDefaults(v);
    const float r = static_cast<float>((RandNextAbs() & 31) + 40);
    const int32_t a = 128 * k;
    v->pose.x = centre.x + r * (MathCos(a) + MathSin(a));
    v->pose.z = centre.z + r * (MathSin(a) - MathCos(a));
    v->aiHeading = MathAngleTo(v->pose.z, v->pose.x, centre.z, centre.x);
    v->heading = static_cast<float>(v->aiHeading);
    v->pose.heading = -v->heading;
    VehiclePlaceTrafficObject(v, v);
  }
  gTrackObjState.activeCount = 0;
  gTrackObjState.crowded = 0;
}

