// Effect instances: the three effect pools and their allocators, the
// spawners and the step callbacks that draw and age each instance, the
// vehicle effects (crash, lost wheels, debris, emitters), the splash ring
// mesh and the tyre-mark ring's running index.
//
// The pools are written by the allocators, the spawners and the steps, and
// emptied by FxClearPools at race load; the particle pass calls each live
// slot's step once per view. A step draws its instance and, only while the
// first view is drawn, ages it by the race's time step, so split screen ages
// everything once a frame.
//
// A slot's six box floats are the instance's own values, w1..w6:
// boxMinX, boxMinY, boxMinZ, boxMaxX, boxMaxY, boxMaxZ. Its visible byte is
// the kind: 0 free, 1 ordinary (the pass computes its view position first),
// 101 following a wheel (the step places it), 100 placing itself.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

struct Vehicle;
struct WheelState;

constexpr int FX_SPRITE_POOL = 600;
constexpr int FX_PUFF_POOL = 200;
constexpr int FX_PIECE_POOL = 800;
extern DrawSlot gFxSpritePool[FX_SPRITE_POOL];
extern DrawSlot gFxPuffPool[FX_PUFF_POOL];
extern DrawSlot gFxPiecePool[FX_PIECE_POOL];

constexpr uint8_t FX_KIND_FREE = 0;
constexpr uint8_t FX_KIND_PLAIN = 1;
constexpr uint8_t FX_KIND_SELF = 100;
constexpr uint8_t FX_KIND_WHEEL = 101;

// Indices of gFxSprites.
enum FxSpriteIndex {
  FX_SPRITE_SMOKE = 0,       // fumee1..8
  FX_SPRITE_FLAME = 8,       // flam1..4
  FX_SPRITE_EXPLOSION = 12,  // explo1..8
  FX_SPRITE_BUBBLE = 20,
  FX_SPRITE_FIRE = 21,
  FX_SPRITE_FLARE = 22,
  FX_SPRITE_DUST = 23,
  FX_SPRITE_SPARK = 25,  // explo5..8, small
};

// Sound-effect rows the effects play.
constexpr int32_t FX_SOUND_BUBBLE = 11;
constexpr int32_t FX_SOUND_FIRE = 17;
constexpr int32_t FX_SOUND_EXPLOSION = 23;
constexpr int32_t FX_SOUND_SPLASH = 30;

// The instance's own values.
inline float& FxW1(DrawSlot* s) { return s->boxMinX; }
inline float& FxW2(DrawSlot* s) { return s->boxMinY; }
inline float& FxW3(DrawSlot* s) { return s->boxMinZ; }
inline float& FxW4(DrawSlot* s) { return s->boxMaxX; }
inline float& FxW5(DrawSlot* s) { return s->boxMaxY; }
inline float& FxW6(DrawSlot* s) { return s->boxMaxZ; }

// The first free slot of a pool (kind 1, type word 0x04000000, in use,
// w1..w6 zero), or null when the pool is full or, for sprites and puffs,
// while the effects option is off.
DrawSlot* FxAllocSprite(void* owner, DrawCallback step, float x, float y, float z);
DrawSlot* FxAllocPuff(void* owner, DrawCallback step, float x, float y, float z);
DrawSlot* FxAllocPiece(void* owner, DrawCallback step, float x, float y, float z);
// Whether the effects option of gOptions is on.
bool FxEffectsOn();
// Static owners whose first word is a face type, until a step puts the
// shared sprite it draws in their place.
extern uint32_t gFxSpriteOwner;
extern uint32_t gFxDropOwner;

// Spawners beyond those the wheel pass and the vehicle drawing call
// (presentation.h). A full pool drops the instance.
void FxSpawnWeatherSmoke(float x, float y, float z, float divisor, float rise);
void FxSpawnSceneParticle(float x, float y, float z, float divisor, float rise);
void FxSpawnObjectSmoke(float x, float y, float z, float sizeDivisor, float divisor);
void FxSpawnAmbientVehicleDust(float x, float y, float z, float sizeDivisor, float divisor);
void FxSpawnSlotExplosion(DrawSlot* slot);
void FxSpawnVehicleExplosion(Vehicle* vehicle);

// The step callbacks, each called with the slot and its owner.
void FxStepWheelSpray(DrawSlot* slot, void* owner);
void FxStepWheelSpray2(DrawSlot* slot, void* owner);
void FxStepSmokePuff(DrawSlot* slot, void* owner);
void FxStepWheelParticle(DrawSlot* slot, void* owner);
void FxStepGroundDust(DrawSlot* slot, void* owner);
void FxStepGrowingSmoke(DrawSlot* slot, void* owner);
void FxStepChimneySmoke(DrawSlot* slot, void* owner);
void FxStepAmbientVehicleDust(DrawSlot* slot, void* owner);
void FxStepExplosionPuff(DrawSlot* slot, void* owner);
void FxStepVehicleExplosion(DrawSlot* slot, void* owner);
void FxStepVehicleSparks(DrawSlot* slot, void* owner);
void FxStepExhaustFlame(DrawSlot* slot, void* owner);
void FxStepDropFar(DrawSlot* slot, void* owner);
void FxStepDropNear(DrawSlot* slot, void* owner);
void FxStepSplashEmitter(DrawSlot* slot, void* owner);
void FxStepSplash(DrawSlot* slot, void* owner);
void FxStepBubble(DrawSlot* slot, void* owner);
void FxStepFlyingWheel(DrawSlot* slot, void* owner);
void FxStepDebris(DrawSlot* slot, void* owner);
void FxStepVehicleEmitter(DrawSlot* slot, void* owner);
void FxStepBurstEmitter(DrawSlot* slot, void* owner);
void FxStepEmitterPuff(DrawSlot* slot, void* owner);
void FxStepVehicleBurst(DrawSlot* slot, void* owner);

// One water drop of the piece pool at (x, y, z): far (a plain triangle) for
// a vehicle 320 or more from the camera, else near (a turning one). The
// caller sets the drop's motion.
DrawSlot* FxSpawnDrop(const Vehicle* vehicle, float x, float y, float z);
// A splash ring of the sprite pool at the point, radius 10.
void FxSpawnSplashRing(float x, float y, float z);

// The vehicle effects below the drive step's calls.
struct MeshHeader;
void FxSpawnFlyingWheel(WheelState* wheel, MeshHeader* mesh, Vehicle* vehicle);
// Claims a piece at the current pose + the offset, copying the mesh's faces.
void FxSpawnDebrisPiece(float dx, float dy, float dz, MeshHeader* mesh);

// The instance view position, from its position and the current camera.
void FxViewPosition(DrawSlot* slot);

// The ripple ring every splash ring draws scaled: 32 quads around the origin
// in x and z, at the water level + 0.25; built per load on the water tracks
// by DecorBuildRippleRing (presentation.h). `built` 0: no ring drawn.
constexpr int FX_RING_QUADS = 32;
struct FxRippleRing {
  uint8_t built;
  Vertex vertices[2 * FX_RING_QUADS];
  Face faces[FX_RING_QUADS];
};
extern FxRippleRing gDecorRippleRing;
// The ripple ring at the slot, `size` its radius, in (82, 90, 66) and the
// alpha max(0, trunc((130 - size) x 0.5)); nothing until the ring is built.
void FxDrawRippleRing(const DrawSlot* slot, float size);

// The tyre-mark entry the next mark overwrites, 0..399, whatever it holds.
extern int32_t gTyreMarkNext;
