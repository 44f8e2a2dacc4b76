// The moving scenery of the snow and savanna tracks and the per-track set-up
// of a race's decor: the lift cabins, the skiers they drop off at the top of
// the first lift and the skiers knocked over by the cars, the elephant herd,
// the church bell and the ambient loops (DecorSetupTrack and
// DecorStartAmbientSound: presentation.h).
//
// Every actor is a slot of the dynamic draw list whose step routine runs when
// the 3D library draws it: it moves in the first view only and is drawn in
// every view. Their data lives in the slot's six box floats:
//   cabin:   bottom x, direction (+1 up, -1 down), top x, skier flag;
//   skier:   point index, heading, turn rate, path, velocity, top velocity;
//            the owner is the model in use, the user value the sound copy 0..3;
//   fallen skier: the knocked objects' flight (presentation/decor_objects.h),
//            roll in the sixth float, the 10-bit heading in the user value;
//   elephant: point index, path 0 or 1, frame timer, frame, heading.
//
// gDecor is written by DecorSetupTrack (paths, bell), by the snow step (the
// pace, DecorSetSkierPace) and by the elephants (their sound copy); the
// actors read it.
#pragma once
#include <cstdint>

#include "race/trajectory.h"

struct DrawSlot;
struct MeshHeader;

constexpr int32_t DECOR_PATHS = 4;
constexpr int32_t DECOR_LIFTS = 3;

// Object-type rows of the actors' models.
constexpr uint16_t DECOR_ROW_CABIN = 48;       // "neuf"
constexpr uint16_t DECOR_ROW_SKIER = 53;       // "skidn1", going straight
constexpr uint16_t DECOR_ROW_SKIER_RIGHT = 54;  // "skidd1"
constexpr uint16_t DECOR_ROW_SKIER_LEFT = 55;   // "skidg1"
constexpr uint16_t DECOR_ROW_SKIER_FALLEN = 56;  // "skidm1"
constexpr uint16_t DECOR_ROW_CHURCH = 63;       // "eglise"
constexpr uint16_t DECOR_ROW_ELEPHANT = 253;    // "saelef1"

// Sound rows.
constexpr int32_t DECOR_SOUND_BELL = 8;       // "clocher"
constexpr int32_t DECOR_SOUND_SKI_LEFT = 25;  // "skig"
constexpr int32_t DECOR_SOUND_SKI_RIGHT = 26;  // "skid"
constexpr int32_t DECOR_SOUND_SKIER = 28;     // "skieur"
constexpr int32_t DECOR_SOUND_ELEPHANT = 37;  // "elephant"

struct DecorLift {
  float bottomX, topX, z;
  uint8_t skiers;  // its cabins drop off skiers at the top of the first lift
};
extern const DecorLift DECOR_LIFTS_TABLE[DECOR_LIFTS];

struct DecorState {
  // 100000 / (3600 x frame rate): the cabins' and the skiers' pace.
  float skierPace;
  Trajectory paths[DECOR_PATHS];  // ski.tA .. ski.tD, or ele.tA and ele.tB
  uint8_t bellOn;                 // a church stands on the track
  float bellX, bellY, bellZ;
  int32_t elephantCopy;  // the copy the next elephant call plays on, 0..3
};
extern DecorState gDecor;

// The cable height of a lift at x.
float DecorCableHeight(float x);

void DecorSetupLifts();
void DecorStepCabin(DrawSlot* slot, void* model);

// The four ski paths, then the skier models centred.
void DecorLoadSkiPath();
void DecorCentreSkierModels();
void DecorSpawnSkier();
void DecorStepSkier(DrawSlot* slot, void* model);
// -> 1 when a vehicle knocked the skier over: its slot is released and a
// fallen skier flies in its place.
int32_t DecorSkierHit(DrawSlot* slot);
void FxStepFallenSkier(DrawSlot* slot, void* model);

void DecorSetupElephants();
void DecorStepElephantActor(DrawSlot* slot, void* model);
// The elephant's call and its walk cycle, posed into the shared model.
void DecorStepElephant(DrawSlot* slot, MeshHeader* mesh);

// The bell of the first church placement; none without a church
// (DecorBellPosition, presentation.h, then reports none).
void DecorFindBell();
