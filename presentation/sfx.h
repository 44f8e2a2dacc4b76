// The race's sounds: the sound bank (which WAVE rows are loaded, each as a
// number of 2D and 3D slots), the slot wrappers and effect-row helpers, the
// 3D listener that follows the camera, and each frame's engine, slide and
// surface sounds of the vehicles.
//
// A slot is a handle: 0 none, 1..200 the 2D table's entries, 201..400 the 3D
// table's. Handles stay valid for one bank: every bank load releases all
// entries and rows that were not loaded have no slots.
//
// gSoundOn is written by SfxStartup and turned off for the rest of the run by
// any failing sound-library call; every routine here does nothing (and draws
// no random number) while it is 0. The bank load writes the effect table and
// the slot tables; the slot wrappers write the entries' in-use bytes.
#pragma once
#include <cstdint>

#include "platform/sound.h"
#include "presentation/presentation.h"

struct Vehicle;

constexpr int SFX_EFFECT_ROWS = 78;
constexpr int SFX_SLOTS = 200;  // per table
constexpr int32_t SFX_SLOT_NONE = 0;
constexpr int32_t SFX_SLOT_2D_BASE = 1;
constexpr int32_t SFX_SLOT_3D_BASE = 1 + SFX_SLOTS;
constexpr int32_t SFX_LISTENER_TIMER = 30;

// The bank sets of SfxLoadTrackBank: the front end's rows, or the current track's.
constexpr int32_t SFX_BANK_TRACK = 0;
constexpr int32_t SFX_BANK_FRONT_END = 0x800;

// Row flags.
constexpr uint8_t SFX_HAS_2D = 1;
constexpr uint8_t SFX_HAS_3D = 2;

// Rows named in code.
enum SfxRow : int32_t {
  SFX_ROW_SNOW = 20,
  SFX_ROW_SAND = 21,
  SFX_ROW_MUD = 22,
  SFX_ROW_HELICO = 24,
  SFX_ROW_OTHER = 45,
  SFX_ROW_SLIDE = 50,  // "derrap1"
  SFX_ROW_END = 62,
  SFX_ROW_ENGINES = 63,  // "moteur1", then "moteur1i", .. "moteur6i" (74)
  SFX_ROW_CHEET = 75,
  SFX_ROW_CHEET2 = 77,
};
constexpr int SFX_ENGINE_PAIRS = 6;

#pragma pack(push, 1)
struct SoundEffectRecord {
  uint16_t trackMask;  // bit t: track t; 0x7ff every track; 0x800 the front end
  char name[9];
  uint8_t flags;   // SFX_HAS_2D | SFX_HAS_3D
  uint8_t copies;  // slots per kind
  float distance;  // the 3D slots' maximum distance
  int32_t first2d;  // slot handle, SFX_SLOT_NONE until loaded
  int32_t first3d;
};
#pragma pack(pop)
static_assert(sizeof(SoundEffectRecord) == 25);

struct SfxSlotEntry {
  uint8_t inUse;    // started by the race sounds
  int32_t soundId;  // the sound library's slot, -1 none
};

struct SfxSlotTable {
  SfxSlotEntry entry[SFX_SLOTS];
  int32_t cursor;
  int32_t count;
};

// The table as the game ships it; gSfxEffects is the working copy the bank
// loads rewrite (engine rows' flags and copies, first slots).
extern const SoundEffectRecord SFX_EFFECT_TABLE[SFX_EFFECT_ROWS];
extern SoundEffectRecord gSfxEffects[SFX_EFFECT_ROWS];
// Per track index 0..10: 1 << index; ended by -1.
extern const uint32_t gSfxTrackMasks[12];
extern SfxSlotTable gSfx2d, gSfx3d;
// How many slots of each kind a row holds in the current bank.
extern uint8_t gSfxLoaded2d[SFX_EFFECT_ROWS], gSfxLoaded3d[SFX_EFFECT_ROWS];
extern uint8_t gSoundOn;

struct SfxSource {
  SoundVector velocity;
  SoundVector position;
};
extern SfxSource gSfxSource;

struct SfxListener {
  SoundVector last;  // the listener's last position
  uint8_t reset;     // send at the next update, whatever the clock says
  SoundListenerParams params;
};
extern SfxListener gSfxListener;

// Sound off for the rest of the run; whatever still plays is stopped.
void SfxSoundOff();
// The table entry of a handle, null for none or out of range.
SfxSlotEntry* SfxEntry(int32_t slot);

// The bank (SfxStartup and SfxLoadTrackBank: presentation.h).
void SfxLoadCreditsBank();
void SfxLoadRow(int32_t row);

// Slot wrappers (SfxStopSlot and SfxSetSlotFrequency: presentation.h).
void SfxLoopSlot(int32_t slot);
void SfxPlaySlot(int32_t slot);
void SfxSetSlotVolume(int32_t slot, int32_t volume);
void SfxSetSlotFrequencyHz(int32_t slot, uint32_t hz);
uint32_t SfxGetSlotFrequency(int32_t slot);
int32_t SfxSlotFinished(int32_t slot);
void SfxLoopSlotAt(int32_t slot);
void SfxPlaySlotAt(int32_t slot);
void SfxMoveSlot(int32_t slot, float x, float y, float z);

// Effect rows -> the slot used, 0 for none (the at-a-point ones: presentation.h).
int32_t SfxLoopEffect2D(int32_t row, int32_t volume);
int32_t SfxPlayEffect2D(int32_t row, int32_t volume);
void SfxPlayEffect2DOnce(int32_t row);
void SfxMoveEffectCopy(int32_t row, float x, float y, float z, int32_t copy);
void SfxStopEffect(int32_t row);

// A vehicle's own copy of a row: the first slot for rows of fewer than 6
// copies, else first + grid number - 3.
int32_t SfxVehicleCopy2DPlay(int32_t row, const Vehicle* vehicle);
int32_t SfxVehicleCopy3DPlay(int32_t row, const Vehicle* vehicle);
int32_t SfxVehicleCopy2DLoop(int32_t row, const Vehicle* vehicle);
int32_t SfxVehicleCopy3DLoop(int32_t row, const Vehicle* vehicle);
void SfxVehicleCopyStop(int32_t row, const Vehicle* vehicle);
void SfxSetSourceFromVehicle(const Vehicle* vehicle);
// The states whose wheels turn free (in the air, knocked, jumping, sliding):
// the engine races while the throttle is held.
bool SfxWheelsFree(int32_t state);

// Per frame (the listener, the vehicles' sounds and the stops: presentation.h).
void SfxUpdateTrafficVehicle(Vehicle* vehicle, int32_t copy);
void SfxUpdateAmbientVehicle(Vehicle* vehicle);
void SfxMusicSampleStart();
