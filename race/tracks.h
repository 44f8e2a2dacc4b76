// The static per-track tables (TrackInfo, TrackEnvironment and the ground and
// sky texture lists of each track) and the per-vehicle-type model records.
// Static except for the handle words of the texture entries, which each
// track's texture load overwrites, and the CarModel rows, which the vehicle
// loading fills at game start.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

constexpr int TRACK_COUNT = 10;
enum TrackIndex {
  TRACK_DESERT = 0,
  TRACK_NEIGE = 1,
  TRACK_BOUE = 2,
  TRACK_VOLCANO = 3,
  TRACK_HIGHWAY = 4,
  TRACK_RUINES = 5,
  TRACK_LOOPING = 6,
  TRACK_SUNSET = 7,
  TRACK_SAVANA = 8,
  TRACK_ICE = 9,
};

constexpr float NO_WATER_LEVEL = -10000.0f;

// In memory only: natural layout.
// One entry of a ground or sky texture list; a list ends with the name "end".
struct TrackTextureEntry {
  char name[13];
  int16_t keyRed, keyGreen, keyBlue;  // -1: no colour key
  uint8_t firstGround;                // 1 on the first entry of each ground list
  uint8_t load;                       // sky lists load only the entries marked 1
  uint32_t handle;                    // filled at load
  uint16_t sRange, tRange;            // filled by the download
  void* host;                         // held only during the load
};

struct TrackInfo {
  char directory[10];
  TrackTextureEntry* groundList;
  TrackTextureEntry* skyList;
  float light[5];  // direction x, y, z, intensity, ambient
  uint16_t startHeading;
  uint8_t startFlag;  // grid layout
  float startX, startZ;
  float spacingAlong, spacingAcross;
  float grip;
  float waterLevel;
};

struct TrackEnvironment {
  int32_t particleA[3];
  int32_t particleAlphaA;
  int32_t particleB[3];
  int32_t particleAlphaB;
  int32_t laps;
  int32_t timeLimitMs;
  int32_t musicTrack;
};

extern TrackInfo gTrackInfo[TRACK_COUNT];
extern const TrackEnvironment TRACK_ENVIRONMENT[TRACK_COUNT];
extern const uint8_t TRACK_CLEAR_COLOURS[TRACK_COUNT][3];
extern const uint8_t TRACK_HORIZON_COLOURS[TRACK_COUNT][3];

constexpr int TRACK_SKY_ENTRIES = 5;
// The number of entries of a list before its "end" entry.
int32_t TrackTextureCount(const TrackTextureEntry* list);

// One point of a vehicle type's point list; the list ends with x = 1000.
// An emitter point of a car model, in the vehicle's frame, with the 10-bit
// elevation and heading of the direction its particles stream along. A list
// ends with an entry whose x is CAR_MODEL_POINTS_END.
struct EmitterPoint {
  float x, y, z;
  uint16_t elevation, heading;
};
static_assert(sizeof(EmitterPoint) == 16);
constexpr float CAR_MODEL_POINTS_END = 1000.0f;

struct CarPoint {
  float x, y, z;
};

constexpr int CAR_MODEL_ROWS = 13;  // 0..5 the game's cars, 6..12 kit-built
constexpr int CAR_MODEL_GAME_ROWS = 6;
constexpr int CAR_BODY_SETS = 5;     // detail levels 1..4, interior
constexpr int CAR_BODY_STAGES = 9;   // intact, then damage stages 1..8
constexpr int CAR_WHEEL_SETS = 6;

struct CarModel {
  MeshHeader* body[CAR_BODY_SETS][CAR_BODY_STAGES];
  MeshHeader* wheels[CAR_WHEEL_SETS][4];  // rear left, rear right, front left, front right
  MeshHeader** bodySet[3];                // body sets 1..3
  MeshHeader** wheelSet[CAR_WHEEL_SETS];
  MeshHeader* steeringWheel;
  CarPoint point1, point2, point3;
  float word1, word2;
  CarPoint point4, point5;
  float bodyPointHeight;
  float sway;
  uint8_t flag1, flag2;
  int32_t lightFactor;  // 100 unless set
  const EmitterPoint* points;
};

extern CarModel gCarModels[CAR_MODEL_ROWS];
// The geometry of rows 0..5 (and 100 in the others' light factor).
void CarModelSetGeometry();
