// The object-type table of the placed track objects, its models, and the
// animation and glow records its rows point to. Constant but for the fields
// the track-object loader fills at each race load (models, bounding boxes,
// frame sets, glow centres and the patched row 100).
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"
#include "engine3d/model3ds.h"

// The frame-cycling routine of an animated type: (slot, model, knocked flag).
using ObjectAnimStep = void (*)(DrawSlot* slot, void* model, int32_t knocked);

constexpr int OBJECT_ANIM_FRAMES = 20;

struct ObjectAnim {
  const char* frames[OBJECT_ANIM_FRAMES];  // null-terminated, loaded from others\.
  ObjectAnimStep step;
  MeshFrameSet* frameSet;  // null until loaded
};

struct ObjectGlow {
  uint8_t kind;              // 0 steady, 1 light bar
  const char* textureName;   // null: the offset is fixed
  int32_t red, green, blue;
  float size;
  float x, y, z;  // model space; from the faces bearing the texture when it is named
};

// In memory only: natural layout.
struct ObjectType {
  uint8_t track;  // 0..9, or one of the OBJECT_TRACK_ values
  uint8_t mergeQuads;
  int16_t key[3];  // texture colour key, -1: none
  char name[9];
  float scale;
  const MeshPlacement* placement;  // first word non-zero: the model lies under others\.
  uint8_t groundMode;              // 1 rest on the ground, 2..4 min corner to the origin, 5 rest with z shifted
  uint8_t placed;
  uint8_t drawKind;  // 0..10
  int32_t value;
  uint8_t gridFlags;
  int32_t specialId;
  uint8_t hitKind;  // 0..11
  ObjectAnim* anim;
  ObjectGlow* glow;
  float boxScale;
  float boxOffsetX = 0.0f, boxOffsetZ = 0.0f;
  float minX = 0.0f, maxX = 0.0f, minY = 0.0f, maxY = 0.0f, minZ = 0.0f, maxZ = 0.0f;  // filled at load
};

constexpr uint8_t OBJECT_TRACK_EVERY = 100;
constexpr uint8_t OBJECT_TRACK_HUMAN = 101;  // every track unless the no-human mode is on
constexpr uint8_t OBJECT_TRACK_NONE = 102;

constexpr int OBJECT_TYPE_ROWS = 262;  // and the "end" row
constexpr int OBJECT_ROW_POST = 100;   // patched into an invisible post after each load
constexpr int OBJECT_ROW_BIDON = 17;   // whose model the post takes
constexpr uint8_t OBJECT_GRID_CHECKPOINT = 216;

// Grid flag bits read by the cell grid build.
constexpr uint8_t OBJECT_GRID_GROUND = 0x02;    // stands on the ground table
constexpr uint8_t OBJECT_GRID_NO_CELL = 0x04;   // kept out of the object grid

extern ObjectType gObjectTypes[OBJECT_TYPE_ROWS + 1];
extern MeshHeader* gObjectModels[OBJECT_TYPE_ROWS + 1];
constexpr int OBJECT_GLOWS = 10;
extern ObjectGlow gObjectGlows[OBJECT_GLOWS];

// A row's values before any load, for the post patch to undo and for tests.
void ObjectTypesReset();
