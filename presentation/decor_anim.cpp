#include "presentation/decor_anim.h"

#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"

int32_t gAnimCopyCounterA;
int32_t gAnimCopyCounterB;

namespace {

constexpr float NEAR_FAR = 240.0f;   // animals and figures hold one frame beyond it
constexpr float FLAG_FAR = 640.0f;
constexpr float CALL_DEPTH = 1000.0f;  // calls and cries are heard nearer than this

constexpr int32_t SOUND_VACHE1 = 12, SOUND_VACHE2 = 13, SOUND_PORC = 14, SOUND_PORC1 = 15;
constexpr int32_t SOUND_MOUTON = 48, SOUND_PING1 = 56, SOUND_LOUTE1 = 60, SOUND_LOUTE2 = 61;

// The figures' four steps: (from, to).
constexpr uint32_t FIGURE_PAIRS[4][2] = {{0, 1}, {1, 2}, {2, 1}, {1, 0}};

struct Animated {
  DrawSlot* slot;
  MeshHeader* mesh;
  ObjectPlacement* placement;
  ObjectCounter* counter;
  const MeshFrameSet* frames;  // null until the type's frames are loaded
};

// The placement, counter and frames of a slot; false when the slot names no
// placement or the placement has no counter.
bool Resolve(DrawSlot* slot, void* model, Animated* out) {
  if (!slot || !model || slot->user >= static_cast<uint32_t>(gPlacementCount)) return false;
  ObjectPlacement* p = &gPlacements[slot->user];
  static_assert(COUNTER_SLOTS > UINT8_MAX, "every counter byte indexes the table");
  if (p->counterSlot == COUNTER_SLOT_NONE) return false;
  const ObjectAnim* anim = p->type < OBJECT_TYPE_ROWS ? gObjectTypes[p->type].anim : nullptr;
  *out = Animated{slot, static_cast<MeshHeader*>(model), p, &gObjectCounters[p->counterSlot],
                  anim ? anim->frameSet : nullptr};
  return true;
}

// Moves the counter on; a frame index past `last` (a new counter) starts at 0.
// An inset leaves every counter as it is, a new one too: it only draws.
template <typename NewDuration>
void Advance(ObjectCounter* c, int32_t last, NewDuration newDuration) {
  if (gViewInsetPass) return;
  if (c->duration <= 0.0f) {
    c->elapsed = 0.0f;
    c->frame = 0;
  }
  if (RaceViewAdvances()) c->elapsed += gRace.timeStep;
  if (c->elapsed >= c->duration) {
    c->elapsed = 0.0f;
    c->duration = static_cast<float>(newDuration());
    c->frame = c->frame + 1 > last || c->frame < 0 ? 0 : c->frame + 1;
  }
}

int32_t FrameOf(const ObjectCounter* c, int32_t last) { return c->frame < 0 || c->frame > last ? 0 : c->frame; }

// Between frames a and b by the counter's progress; frame a alone beyond `far`
// (a far of 0: always between), and for a counter not yet started.
void Pose(const Animated& a, uint32_t from, uint32_t to, float far) {
  if (!a.frames) return;
  if ((far > 0.0f && a.slot->viewZ > far) || a.counter->duration <= 0.0f)
    MeshSetFrame(a.mesh, a.frames, from);
  else
    MeshLerpFrames(a.mesh, a.frames, from, to, a.counter->elapsed, a.counter->duration);
}

int32_t PlayCopy(int32_t row, const DrawSlot* slot, int32_t* counter) {
  const int32_t sound = SfxPlayEffectCopyAt(row, slot->x, slot->y, slot->z, *counter);
  *counter = (*counter + 1) & 3;
  return sound;
}

// An inset (the mirror, the demo's picture-in-picture) only draws: it calls
// nothing and draws no random number, so that it leaves the world as it was.
bool CallDue(const DrawSlot* slot) {
  return !gViewInsetPass && slot->viewZ < CALL_DEPTH && gRace.tickPassed && (RandNext() & 31) == 4;
}

// A knocked animal cries in the views of the race, never in an inset.
bool CryNear(const DrawSlot* slot) { return !gViewInsetPass && slot->viewZ < CALL_DEPTH; }

// Frames 0..n-1 in turn, each blending into the next and the last into the first.
void StepCycle(const Animated& a, int32_t frames, float far, int32_t (*newDuration)()) {
  Advance(a.counter, frames - 1, newDuration);
  const int32_t i = FrameOf(a.counter, frames - 1);
  Pose(a, static_cast<uint32_t>(i), static_cast<uint32_t>(i + 1 < frames ? i + 1 : 0), far);
}

}  // namespace

void DecorAnimAnimal(DrawSlot* slot, void* model, int32_t knocked) {
  Animated a;
  if (!Resolve(slot, model, &a)) return;
  if (knocked) {
    a.counter->duration = a.counter->elapsed = 1.0f;
    Pose(a, 2, 2, NEAR_FAR);
    if (CryNear(slot)) {
      if (gRace.trackIndex == TRACK_DESERT) PlayCopy(SOUND_VACHE2, slot, &gAnimCopyCounterA);
      if (gRace.trackIndex == TRACK_BOUE) PlayCopy(SOUND_PORC1, slot, &gAnimCopyCounterA);
    }
    return;
  }
  StepCycle(a, 2, NEAR_FAR, [] { return (RandNext() & 31) + 20; });
  if (!CallDue(slot)) return;
  int32_t row = -1;
  if (gRace.trackIndex == TRACK_DESERT) row = SOUND_VACHE1;
  if (gRace.trackIndex == TRACK_BOUE) row = SOUND_PORC;
  if (gRace.trackIndex == TRACK_LOOPING) row = SOUND_MOUTON;
  if (row < 0) return;
  const int32_t sound = PlayCopy(row, slot, &gAnimCopyCounterB);
  if (sound) SfxSetSlotFrequency(sound, (a.placement->counterSlot & 3) * 16);
}

void DecorAnimTurning(DrawSlot* slot, void* model, int32_t knocked) {
  Animated a;
  if (!Resolve(slot, model, &a)) return;
  // Truncated each call: below one unit a frame the monster stays where it is.
  // It turns in each view of the race (twice a frame in split screen), but
  // not for an inset, which only draws.
  if (!gViewInsetPass)
    a.placement->yaw = static_cast<uint16_t>(TruncI32(static_cast<float>(a.placement->yaw) + gRace.timeStep));
  if (knocked) {
    const int32_t i = FrameOf(a.counter, 2);
    Pose(a, static_cast<uint32_t>(i), static_cast<uint32_t>(i + 1 < 3 ? i + 1 : 0), 0.0f);
    return;
  }
  StepCycle(a, 3, 0.0f, [] { return (RandNext() & 31) + 90; });
}

void DecorAnimFigure(DrawSlot* slot, void* model, int32_t knocked) {
  Animated a;
  if (!Resolve(slot, model, &a)) return;
  if (knocked) {
    a.counter->duration = a.counter->elapsed = 1.0f;
    Pose(a, 3, 3, NEAR_FAR);
    if (gRace.trackIndex == TRACK_SUNSET && CryNear(slot) && (RandNext() & 15) == 2 && gRace.tickPassed)
      PlayCopy(SOUND_LOUTE2, slot, &gAnimCopyCounterA);
    return;
  }
  Advance(a.counter, 3, [] { return (RandNext() & 7) + 20; });
  const uint32_t* pair = FIGURE_PAIRS[FrameOf(a.counter, 3)];
  Pose(a, pair[0], pair[1], NEAR_FAR);
  if (!CallDue(slot)) return;
  if (gRace.trackIndex == TRACK_SUNSET && (RandNext() & 3) == 2) {
    const int32_t sound = PlayCopy(SOUND_LOUTE1, slot, &gAnimCopyCounterB);
    if (sound) SfxSetSlotFrequency(sound, (a.placement->counterSlot & 3) * 6);
  } else if (gRace.trackIndex == TRACK_ICE) {
    PlayCopy(SOUND_PING1, slot, &gAnimCopyCounterB);
  }
}

void DecorAnimFlag(DrawSlot* slot, void* model, int32_t knocked) {
  Animated a;
  if (!Resolve(slot, model, &a)) return;
  if (knocked) {
    const int32_t i = FrameOf(a.counter, 5);
    Pose(a, static_cast<uint32_t>(i), static_cast<uint32_t>(i + 1 < 6 ? i + 1 : 0), FLAG_FAR);
    return;
  }
  StepCycle(a, 6, FLAG_FAR, [] { return (RandNext() & 3) + 10; });
}
