// The per-track data files and the tables built from them: the track mesh
// "<track>.uv" with its object placements, the camera spots "<track>.cam",
// the object grid and ground table, the counter slots of animated
// placements, the position map, and the championship saves "save.rur".
//
// Every file comes from the player's disk: each count and read is checked
// against the file, and a damaged file is refused as a missing one would be.
// Written by the race loader; read by the object, contact and replay code.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"

#pragma pack(push, 1)
struct ObjectPlacement {
  uint16_t yaw;
  uint16_t second;      // a boat's rocking phase, a knocked object's launch heading
  uint8_t counterSlot;  // 0xFF: none; a boat's rocking direction
  uint16_t type;        // row of gObjectTypes
  float x, y, z;
};
static_assert(sizeof(ObjectPlacement) == 19);
#pragma pack(pop)

constexpr uint32_t PLACEMENT_BYTES = 19;
constexpr int32_t PLACEMENT_MAX = 900;
constexpr uint8_t COUNTER_SLOT_NONE = 0xFF;
constexpr int32_t COUNTER_SLOTS = 256;

struct ObjectCounter {
  float duration;
  float elapsed;
  int32_t frame;
};

extern ObjectPlacement gPlacements[PLACEMENT_MAX];
extern int32_t gPlacementCount;
extern ObjectCounter gObjectCounters[COUNTER_SLOTS];
extern int32_t gObjectCounterCount;
// Set on the ice track when the reflection detail is on.
extern uint8_t gIceReflections;

constexpr int32_t CAMERA_SPOTS = 50;
constexpr uint32_t CAMERA_SPOT_BYTES = 29;
struct CameraSpot {
  uint8_t inUse;
  int32_t kind;  // 0 fixed; otherwise it looks at the watched vehicle
  Camera camera;
};
extern CameraSpot gCameraSpots[CAMERA_SPOTS];

// The object grid (cells of 200 units) and the ground table (cells of 100).
constexpr int32_t TRACK_GRID_COLS = 80;
constexpr int32_t TRACK_GRID_ROWS_N = 40;
constexpr int32_t TRACK_GRID_CELL_OBJECTS = 20;
constexpr int32_t TRACK_GRID_BLOCKS = 400;
constexpr int32_t TRACK_GROUND_COLS = 160;
constexpr int32_t TRACK_GROUND_ROWS = 80;
constexpr float TRACK_GROUND_NONE = -1000.0f;

struct TrackGridCell {
  int16_t count;
  DrawSlot** list;  // one block of TRACK_GRID_CELL_OBJECTS, or null
};
struct TrackGroundEntry {
  float height;
  DrawSlot* object;
  uint8_t surface;  // track-relative texture number of the ground face there
};
extern TrackGridCell gTrackGrid[TRACK_GRID_ROWS_N][TRACK_GRID_COLS];
extern TrackGroundEntry gTrackGround[TRACK_GROUND_ROWS][TRACK_GROUND_COLS];

// The track's quarter of the position-map picture: 20 rows of 40 codes.
constexpr int32_t POSITION_MAP_ROWS = 20;
constexpr int32_t POSITION_MAP_COLS = 40;
extern uint8_t gTrackPositionMap[POSITION_MAP_ROWS][POSITION_MAP_COLS];

void TrackLoadMesh();
// The mesh file's contents into the current mesh and the placements: 1, or 0
// (and nothing changed) when the file is damaged or does not fit the pools; a
// mesh with fewer vertices than the ground grid, or with a vertex that is not
// a number, is damaged. Placements whose position is not a number are left out.
int32_t TrackReadMesh(const uint8_t* file, uint32_t size);
// Enters every placement into the static draw list by its type's draw kind.
void TrackPlaceObjects();
void TrackRegisterCounterSlot(ObjectPlacement* placement);
uint8_t TrackIsWhiteVertex(int32_t index);
void TrackWhitenVertices();

void TrackLoadCameras();
int32_t TrackReadCameras(const uint8_t* file, uint32_t size);

void TrackBuildCellGrid();
void TrackScanGroundFaces();
uint8_t TrackGridAddObject(DrawSlot* slot);

void TrackLoadMapTile();
int32_t TrackReadMapTile(const uint8_t* file, uint32_t size, int32_t track);

// Championship saves.
#pragma pack(push, 1)
struct SaveSlot {
  int32_t used;
  char label[20];
  char date[12];
  uint8_t options[17];
  int32_t trackIndex;
  int32_t playersMode;
  int32_t gameMode;
  int32_t controllerType[2];
  int32_t vehicleType[2];
  uint8_t kit[2][12];
  int32_t computerRank[5];
  int32_t playerRank[2];
  int32_t computerPoints[5];
  int32_t playerPoints[2];
};
static_assert(sizeof(SaveSlot) == 161);
#pragma pack(pop)

constexpr int32_t SAVE_SLOTS = 14;
constexpr uint32_t SAVE_SLOT_BYTES = 161;
constexpr uint32_t SAVE_FILE_BYTES = SAVE_SLOTS * SAVE_SLOT_BYTES;
constexpr const char* SAVE_FILE_NAME = "save.rur";
constexpr int32_t SAVE_OPEN_ATTEMPTS = 10;
extern SaveSlot gSaveSlots[SAVE_SLOTS];

// What SaveFileRead found, as bits; 0 for a whole file of sound records.
enum SaveReadResult : int32_t {
  SAVE_READ_OK = 0,
  SAVE_READ_MISSING = 1,  // never opened: every record unused
  SAVE_READ_SHORT = 2,    // the records past the end read as unused
  SAVE_READ_REFUSED = 4,  // records with values out of range read as unused
};
int32_t SaveFileRead();
// The records as a file image, and back; the decoder validates each record.
void SaveEncode(const SaveSlot* slots, uint8_t* out);
int32_t SaveDecode(const uint8_t* file, uint32_t size, SaveSlot* slots);
// Replaces save.rur whole: true when every byte reached the disk; otherwise
// the previous file is left as it was.
bool SaveFileWrite();
