// The sound bank: before each race, for the front end and for the credits it
// releases every slot and loads the rows meant for them, each row as a number
// of 2D and 3D slots; the engine rows are sized to the vehicles of the race.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "net/net.h"
#include "platform/app.h"
#include "platform/fatal.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "presentation/sfx.h"
#include "race/race.h"

namespace {

constexpr int SOUND_ARCHIVE = 5;
constexpr int DEBUG_SOUND_ARCHIVE = 6;
constexpr float MIN_DISTANCE = 50.0f;

// Set when a table took its last entry: the rest of the bank is not loaded.
bool gBankStopped;

int32_t Handle2d(int32_t index) { return SFX_SLOT_2D_BASE + index; }
int32_t Handle3d(int32_t index) { return SFX_SLOT_3D_BASE + index; }

// Puts a sound into the table's next entry. Taking the last entry shows the
// fatal-error screen and stops the bank load; -> false then.
bool Take(SfxSlotTable* table, int32_t sound, const char* fullMessage) {
  table->entry[table->cursor] = SfxSlotEntry{0, sound};
  ++table->cursor;
  ++table->count;
  if (table->cursor < SFX_SLOTS) return true;
  GameFatalError(fullMessage);
  gBankStopped = true;
  return false;
}

void ReleaseTable(SfxSlotTable* table, const char* errorMessage) {
  for (int32_t i = 0; i < SFX_SLOTS; ++i) {
    SfxSlotEntry& e = table->entry[i];
    if (e.soundId >= 0 && SoundFree(e.soundId) != SOUND_OK) {
      GameFatalError(errorMessage);
      GameShowNumber(i);
    }
    e = SfxSlotEntry{0, -1};
  }
  table->cursor = 0;
  table->count = 0;
}

// Every vehicle record that may hold slots of the last bank.
template <typename F>
void ForEachRecord(F f) {
  f(&gPlayer1);
  for (Vehicle& v : gVehicleRecords) f(&v);
  if (gRace.networkGame)
    for (int32_t i = 0; i < NetParticipantCount(); ++i)
      if (Vehicle* v = NetParticipantRecord(i)) f(v);
}

// The vehicles heard in 3D: every network participant, else the grid.
template <typename F>
void ForEachComputer(F f) {
  if (gRace.networkGame) {
    for (int32_t i = 0; i < NetParticipantCount(); ++i)
      if (Vehicle* v = NetParticipantRecord(i)) f(v);
    return;
  }
  for (Vehicle* v : gVehicleTable)
    if (v) f(v);
}

template <typename F>
void ForEachPlayer(F f) {
  if (gPlayer1Vehicle) f(gPlayer1Vehicle);
  if (gRace.playersMode == 1 && gPlayer2Vehicle) f(gPlayer2Vehicle);
}

void ReleaseBank() {
  ReleaseTable(&gSfx2d, "error 2D");
  ReleaseTable(&gSfx3d, "error 3D");
  for (int32_t row = 0; row < SFX_EFFECT_ROWS; ++row) {
    gSfxEffects[row].first2d = SFX_SLOT_NONE;
    gSfxEffects[row].first3d = SFX_SLOT_NONE;
    gSfxLoaded2d[row] = 0;
    gSfxLoaded3d[row] = 0;
  }
  gBankStopped = false;
  // Handles of the last bank would name other rows' entries now.
  ForEachRecord([](Vehicle* v) {
    v->engineSound3d = v->engineSoundIn = v->engineSoundOut = SFX_SLOT_NONE;
    v->loopSound = v->slideSound = SFX_SLOT_NONE;
  });
}

int32_t EngineOutsideRow(const Vehicle* v) {
  const int32_t pair = v->type >= 0 && v->type < SFX_ENGINE_PAIRS ? v->type : 0;
  return SFX_ROW_ENGINES + 2 * pair;
}

void LoadEngineRows() {
  for (int32_t pair = 0; pair < SFX_ENGINE_PAIRS; ++pair) {
    SoundEffectRecord& outside = gSfxEffects[SFX_ROW_ENGINES + 2 * pair];
    SoundEffectRecord& inside = gSfxEffects[SFX_ROW_ENGINES + 2 * pair + 1];
    outside.copies = inside.copies = 0;
    outside.flags = SFX_HAS_3D;
    inside.flags = SFX_HAS_2D;
  }
  ForEachComputer([](Vehicle* v) { ++gSfxEffects[EngineOutsideRow(v)].copies; });
  ForEachPlayer([](Vehicle* v) {
    const int32_t row = EngineOutsideRow(v);
    ++gSfxEffects[row].copies;
    gSfxEffects[row].flags = SFX_HAS_2D | SFX_HAS_3D;
    ++gSfxEffects[row + 1].copies;
  });
  for (int32_t row = SFX_ROW_ENGINES; row < SFX_ROW_ENGINES + 2 * SFX_ENGINE_PAIRS && gSoundOn && !gBankStopped; ++row)
    SfxLoadRow(row);

  // One running count per row; a slot the row does not hold stays 0.
  int32_t taken[SFX_EFFECT_ROWS] = {};
  auto next3d = [&](int32_t row) {
    const int32_t k = taken[row]++;
    return k < gSfxLoaded3d[row] ? gSfxEffects[row].first3d + k : SFX_SLOT_NONE;
  };
  auto next2d = [&](int32_t row) {
    const int32_t k = taken[row]++;
    return k < gSfxLoaded2d[row] ? gSfxEffects[row].first2d + k : SFX_SLOT_NONE;
  };
  ForEachComputer([&](Vehicle* v) { v->engineSound3d = next3d(EngineOutsideRow(v)); });
  ForEachPlayer([&](Vehicle* v) {
    const int32_t row = EngineOutsideRow(v);
    v->engineSoundOut = next2d(row);
    v->engineSoundIn = next2d(row + 1);
  });
}

void WriteListener() {
  gSfxListener.params = SoundListenerParams{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f},
                                            {0.0f, 0.0f, 1.0f}, 0.1f,               0.1f,
                                            0.1f};
  if (SoundListener(&gSfxListener.params, SOUND_OP_SET) != SOUND_OK) SfxSoundOff();
  gSfxListener.last = SoundVector{0.0f, 0.0f, 0.0f};
}

void LoadRows(int32_t first, int32_t last) {
  for (int32_t row = first; row <= last && gSoundOn && !gBankStopped; ++row) SfxLoadRow(row);
}

// A sound that cannot be read or made turns sound off; the maintainer sees why.
void FailRow(const char* path, const char* what) {
  std::fprintf(stderr, "torvane: sound off: %s %s\n", what, path);
  SfxSoundOff();
}

}  // namespace

void SfxStartup() {
  AppTimerStart(SFX_LISTENER_TIMER);
  gSoundOn = 0;
  std::memcpy(gSfxEffects, SFX_EFFECT_TABLE, sizeof gSfxEffects);
  if (SoundInit(AppGetWindow()) == SOUND_OK) {
    gSoundOn = 1;
    gSfxListener.reset = 0;
  }
  for (SfxSlotTable* t : {&gSfx2d, &gSfx3d}) {
    for (SfxSlotEntry& e : t->entry) e = SfxSlotEntry{0, -1};
    t->cursor = t->count = 0;
  }
}

void SfxLoadTrackBank(int32_t set) {
  if (!gSoundOn) return;
  ReleaseBank();
  const uint32_t mask =
      set == SFX_BANK_FRONT_END
          ? static_cast<uint32_t>(SFX_BANK_FRONT_END)
          : gSfxTrackMasks[gRace.trackIndex >= 0 && gRace.trackIndex <= 10 ? gRace.trackIndex : 0];
  for (int32_t row = 0; row < SFX_ROW_END && gSoundOn && !gBankStopped; ++row)
    if (gSfxEffects[row].trackMask & mask) SfxLoadRow(row);
  if (set != SFX_BANK_FRONT_END && gSoundOn && !gBankStopped) LoadEngineRows();
  if (gRace.debugMode == 1) LoadRows(SFX_ROW_CHEET, SFX_ROW_CHEET2);
  if (gSoundOn) WriteListener();
}

void SfxLoadCreditsBank() {
  if (!gSoundOn) return;
  ReleaseBank();
  LoadRows(SFX_ROW_CHEET, SFX_ROW_CHEET2);
}

void SfxLoadRow(int32_t row) {
  if (!gSoundOn || gBankStopped || row < 0 || row >= SFX_EFFECT_ROWS) return;
  SoundEffectRecord& r = gSfxEffects[row];
  if (r.copies == 0) return;
  char name[sizeof r.name + 1] = {};
  std::memcpy(name, r.name, sizeof r.name);
  char path[32];
  const bool debugSounds = gRace.debugMode == 1;
  std::snprintf(path, sizeof path, debugSounds ? "%s.wav" : "wav\\%s.wav", name);
  uint32_t size = 0;
  uint8_t* image = PakLoadFile(path, debugSounds ? DEBUG_SOUND_ARCHIVE : SOUND_ARCHIVE, &size);
  if (!image) return FailRow(path, "cannot read");
  int32_t sound = -1;
  const int32_t made = SoundCreateFromWav(&sound, image, size, SOUND_MODE_3D);
  MemFree(image);
  if (made != SOUND_OK) return FailRow(path, "cannot use");

  const uint8_t copies = r.copies;
  r.first2d = (r.flags & SFX_HAS_2D) ? Handle2d(gSfx2d.cursor) : SFX_SLOT_NONE;
  r.first3d = (r.flags & SFX_HAS_3D) ? Handle3d(gSfx3d.cursor) : SFX_SLOT_NONE;
  bool kept = false;  // the first sound sits in the 3D table
  auto fail = [&](int32_t extra) {
    if (extra >= 0) SoundFree(extra);
    if (!kept) SoundFree(sound);
    SfxSoundOff();
  };
  if (r.flags & SFX_HAS_3D) {
    float nearest = MIN_DISTANCE, farthest = r.distance;
    if (SoundDistances(sound, &nearest, &farthest, SOUND_OP_SET) != SOUND_OK) return fail(-1);
    kept = true;
    ++gSfxLoaded3d[row];
    if (!Take(&gSfx3d, sound, "MAX 3D")) return;
    for (int32_t k = 1; k < copies; ++k) {
      int32_t copy = -1;
      if (SoundDuplicate(sound, &copy) != SOUND_OK) return fail(-1);
      if (SoundDistances(copy, &nearest, &farthest, SOUND_OP_SET) != SOUND_OK) return fail(copy);
      ++gSfxLoaded3d[row];
      if (!Take(&gSfx3d, copy, "MAX 3D")) return;
    }
  }
  if (r.flags & SFX_HAS_2D) {
    for (int32_t k = 0; k < copies; ++k) {
      int32_t copy = -1;
      if (SoundDuplicate(sound, &copy) != SOUND_OK) return fail(-1);
      if (Sound3DDisable(copy) != SOUND_OK) return fail(copy);
      ++gSfxLoaded2d[row];
      if (!Take(&gSfx2d, copy, "MAX 2D")) break;
    }
  }
  // A 2D-only row keeps only its copies: the library keeps their samples.
  if (!kept) SoundFree(sound);
}
