// The current view's screen-glow list and the glows placed objects add to it.
#include <cmath>

#include "backend_common/display.h"
#include "engine3d/mathutil.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"

FxGlowList gFxGlowList;

namespace {

constexpr int32_t FX_SPRITE_FLARE = 22;
constexpr int32_t LOOPING_GLOW = 220;

// The glow's distance from the screen centre as it weakens the glow, and its
// horizontal offset as the angle it turns by.
struct ScreenSpot {
  float weakening;
  float angle;
};

ScreenSpot SpotOf(const DrawSlot& s) {
  const RdrState& r = gRdrState;
  const float sx = s.viewX * r.scaleX / s.viewZ + r.centreX;
  const float sy = s.viewY * r.scaleY / s.viewZ + r.centreY;
  const float width = static_cast<float>(r.screenWidth > 0 ? r.screenWidth : 1);
  return {0.2f * 512.0f * (std::fabs(sx - r.centreX) + std::fabs(sy - r.centreY)) / width,
          512.0f * (sx - r.centreX) / width};
}

void Complete(FxGlowEntry* entry, int32_t base) {
  const ScreenSpot spot = SpotOf(entry->slot);
  const int32_t strength = TruncI32(static_cast<float>(base) - spot.weakening);
  if (strength <= 0) return;
  Sprite* flare = gFxSprites[FX_SPRITE_FLARE];
  entry->slot.kind = static_cast<uint32_t>(strength) << 8 | (flare ? flare->type & 0xFF : 0);
  entry->slot.owner = flare;
  entry->slot.x = spot.angle;
  ++gFxGlowList.count;
}

// Only the list's next entry may be completed, and only while there is room.
bool Open(const FxGlowEntry* entry) {
  return entry && gFxGlowList.count >= 0 && gFxGlowList.count < FX_GLOW_MAX &&
         entry == &gFxGlowList.entries[gFxGlowList.count] && entry->slot.viewZ > 0.0f;
}

}  // namespace

void FxAddScreenGlowPlain(FxGlowEntry* entry) {
  if (!Open(entry)) return;
  const int32_t base =
      gRace.trackIndex == TRACK_LOOPING ? LOOPING_GLOW : TruncI32(120.0f - entry->slot.viewZ * 0.1f);
  Complete(entry, base);
}

void FxAddScreenGlow(FxGlowEntry* entry, int32_t reduction) {
  if (!Open(entry)) return;
  Complete(entry, TruncI32(180.0f - static_cast<float>(reduction) - entry->slot.viewZ * 0.1f));
}
