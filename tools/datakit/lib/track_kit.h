// The kit's tracks, each written from a short description: a closed course
// shaped like a stadium from the start grid, the ground on the shared terrain
// grid with the course in its own ground texture, the placements, the camera
// spots, four trajectories around the course and the track's quadrant of its
// position map.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/mesh_writer.h"
#include "tools/datakit/lib/track_writer.h"

namespace datakit {

constexpr float KIT_NO_WATER = -10000.0f;

// Ground texture `texture` (track-relative: 0 is the track's ground texture,
// k its numbered texture k) wherever the course is nearer than `within`.
struct KitGroundBand {
  float within;
  uint32_t texture;
};

// Ground texture `texture` over the bands on the grid squares whose centre
// lies in x0 <= x < x1, z0 <= z < z1.
struct KitGroundPatch {
  float x0, z0, x1, z1;
  uint32_t texture;
};

struct KitTrackDesc {
  int32_t track;     // 0..9: names the position map and its quadrant
  const char* name;  // the track's directory name, as the game's track table has it
  float startX, startZ;
  uint16_t startHeading;  // 256 (along +x) or 0 (along +z), as the game's track table has it
  // The course is an oval: a straight `length` ahead from the grid, a half
  // circle of diameter `width` to the left (to the right when `width` is
  // negative), the straight back, and a second half circle centred
  // `bendLead` ahead of the grid back onto the first.
  float length, width;
  // Height of the ground at (x, z), `course` away from the course.
  float (*height)(float x, float z, float course);
  std::vector<KitGroundBand> bands;  // nearest first
  uint32_t plainGround;              // beyond every band
  std::vector<KitPlacement> (*placements)(const KitTrackDesc&);
  // A band texture whose level faces are see-through ice (0: none): they are
  // written translucent, over a copy of themselves lower down that keeps
  // their ground texture, so the cars' mirror images show between the two.
  uint32_t seeThroughBand = 0;
  float bendLead = 320.0f;
  // Position-map cells (columns first..last of one row, in the track's
  // quadrant) coded as the wrong road; row -1: none.
  int32_t wrongRoadRow = -1, wrongRoadFirst = 0, wrongRoadLast = -1;
  std::vector<KitGroundPatch> patches{};  // later ones over earlier ones
  // The track's water level (KIT_NO_WATER: none): every grid square that
  // dips below it gets a water face (face type 0x0E) on it at that height,
  // drawn with the track's sky-list entry 0, as the game's own water plane.
  float waterLevel = KIT_NO_WATER;
  // When set, the course instead of the oval (`length` and `width` unused):
  // a closed loop starting `bendLead` ahead of the grid.
  std::vector<KitPoint> (*course)(const KitTrackDesc&) = nullptr;
};

// The looping track's ramp, on its return straight (heading -x at z 6859):
// grid squares in its own textures 56 (the half toward the start straight)
// and 57, which give ground codes that start the scripted jump. Its ground
// is level for the jump's target, 350 ahead and 420 toward the start straight.
constexpr float KIT_RAMP_X0 = 7400.0f, KIT_RAMP_X1 = 7600.0f;
constexpr float KIT_RAMP_Z0 = 6700.0f, KIT_RAMP_Z1 = 7100.0f;
constexpr float KIT_LOOPING_RETURN_Z = 6859.0f;

// The tracks the kit writes, each once.
const std::vector<KitTrackDesc>& KitTracks();
// The kit's description of `track`, or null when the kit has none.
const KitTrackDesc* KitTrackByIndex(int32_t track);

std::vector<KitPoint> KitTrackCourse(const KitTrackDesc& desc);
// The finish line crosses the straight out of the grid this far ahead of it.
constexpr float KIT_FINISH_AHEAD = 400.0f;
// The course as its trajectories are written: the finish line a point of
// its own and second last, where the game counts a lap's length from, so a
// car's progress starts a lap as it crosses the line.
std::vector<KitPoint> KitTrackLine(const KitTrackDesc& desc);
// How far either side of the course the road and the cars' lines reach, and
// with them the coded cells of the position map.
float KitTrackRoadReach(const KitTrackDesc& desc);
// The ground at (x, z): the description's height at the distance from the course.
float KitTrackHeightAt(const KitTrackDesc& desc, float x, float z);
// The terrain grid (161 x 81 vertices, 100 apart, two triangles a square cut
// from (c, r) to (c + 1, r + 1)), lit faces textured by the bands.
KitMesh KitTrackMesh(const KitTrackDesc& desc);
// Writes the track's quadrant of its 80 x 40 position map: the finish line
// KIT_FINISH_AHEAD beyond the grid is 1, and every other cell that the road
// or a car's line crosses a sector from 2 in driving order.
void KitTrackPositionCodes(const KitTrackDesc& desc, std::vector<uint8_t>* map);
// "<name>.uv", "<name>.cam" and "traj\<name>.tA" .. ".tE".
std::vector<DataFile> KitTrackFiles(const KitTrackDesc& desc);
// The highway traffic's paths "other.tA" .. "other.tH": a lane each way
// along the highway's course and six loops through the country south of it,
// so that a player meets a few vehicles at a time.
std::vector<DataFile> HighwayObjectPathFiles();

// Boue's pond: the terrain dips below the water level within
// KIT_POND_SHORE of its centre. The course runs KIT_POND_COURSE from the
// centre, so the cars cross its shallow edge, a little under the water.
constexpr float KIT_POND_X = 980.0f, KIT_POND_Z = 3100.0f;
constexpr float KIT_POND_SHORE = 500.0f, KIT_POND_COURSE = 400.0f;

// The desert, as the kit has always written it.
std::vector<KitPoint> DesertCourse();
KitMesh DesertTrackMesh();
std::vector<KitPlacement> DesertPlacements();
std::vector<uint8_t> DesertPositionCodes();

}  // namespace datakit
