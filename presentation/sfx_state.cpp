// The sound bank's tables and the race sounds' shared state.
#include <initializer_list>

#include "presentation/sfx.h"

namespace {
constexpr uint16_t ALL = 0x7ff;
constexpr uint16_t FRONT_END = 0x800;
constexpr uint8_t B = SFX_HAS_2D | SFX_HAS_3D;
constexpr uint8_t D2 = SFX_HAS_2D;
constexpr uint8_t D3 = SFX_HAS_3D;
constexpr uint16_t T(int track) { return static_cast<uint16_t>(1u << track); }
}  // namespace

const SoundEffectRecord SFX_EFFECT_TABLE[SFX_EFFECT_ROWS] = {
    {ALL, "tole1", B, 6, 2000.0f, 0, 0},
    {ALL, "tole2", B, 6, 2000.0f, 0, 0},
    {ALL, "tole3", B, 6, 2000.0f, 0, 0},
    {ALL, "tole4", B, 6, 2000.0f, 0, 0},
    {ALL, "pot", B, 6, 2000.0f, 0, 0},
    {ALL, "ton1", B, 6, 2000.0f, 0, 0},
    {T(2), "ora", D2, 2, 5000.0f, 0, 0},
    {T(2), "pluie", D2, 1, 5000.0f, 0, 0},
    {T(1), "clocher", D3, 1, 4000.0f, 0, 0},
    {ALL, "tole5", B, 6, 2000.0f, 0, 0},
    {ALL, "tole6", B, 6, 2000.0f, 0, 0},
    {0x8c, "bulle", D2, 6, 5000.0f, 0, 0},
    {T(0), "vache1", D3, 4, 1000.0f, 0, 0},
    {T(0), "vache2", D3, 4, 1000.0f, 0, 0},
    {T(2), "porc", D3, 4, 1000.0f, 0, 0},
    {T(2), "porc1", D3, 4, 1000.0f, 0, 0},
    {ALL, "sus1", B, 6, 2000.0f, 0, 0},
    {ALL, "feu", D3, 6, 2000.0f, 0, 0},
    {T(2), "eau", D3, 1, 2000.0f, 0, 0},
    {0x8c, "plouf", D3, 16, 2000.0f, 0, 0},
    {0x2, "snow", B, 6, 2000.0f, 0, 0},
    {0x199, "sand", B, 6, 2000.0f, 0, 0},
    {0x64, "mud", B, 6, 2000.0f, 0, 0},
    {ALL, "explos", D3, 6, 2000.0f, 0, 0},
    {T(0), "helico", D3, 1, 5000.0f, 0, 0},
    {T(1), "skig", D3, 4, 1000.0f, 0, 0},
    {T(1), "skid", D3, 4, 1000.0f, 0, 0},
    {T(0), "vent", D2, 1, 5000.0f, 0, 0},
    {T(1), "skieur", D3, 4, 2000.0f, 0, 0},
    {ALL, "check", D2, 1, 5000.0f, 0, 0},
    {0x8c, "plouf1", D2, 6, 5000.0f, 0, 0},
    {FRONT_END, "bouton", D2, 1, 5000.0f, 0, 0},
    {FRONT_END, "d_mil", D2, 1, 5000.0f, 0, 0},
    {FRONT_END, "ess_deb", D2, 1, 5000.0f, 0, 0},
    {FRONT_END, "essence", D2, 1, 5000.0f, 0, 0},
    {FRONT_END, "ess_end", D2, 1, 5000.0f, 0, 0},
    {FRONT_END, "bouton1", D2, 1, 5000.0f, 0, 0},
    {T(8), "elephant", D3, 4, 1500.0f, 0, 0},
    {T(5), "RUAMB", D2, 1, 5000.0f, 0, 0},
    {T(7), "SUNAMB", D2, 1, 5000.0f, 0, 0},
    {T(3), "VOLCAMB", D2, 1, 5000.0f, 0, 0},
    {T(3), "VOLCROC", D2, 1, 5000.0f, 0, 0},
    {T(9), "VENTICE", D2, 1, 5000.0f, 0, 0},
    {T(3), "roc", D3, 4, 5000.0f, 0, 0},
    {T(3), "rocsol", D3, 4, 5000.0f, 0, 0},
    {T(4), "other", D3, 8, 2000.0f, 0, 0},
    {T(4), "klaxon", D3, 3, 2000.0f, 0, 0},
    {ALL, "derrap", B, 6, 2000.0f, 0, 0},
    {T(6), "mouton", D3, 4, 1000.0f, 0, 0},
    {T(4), "police", D3, 1, 2000.0f, 0, 0},
    {ALL, "derrap1", B, 6, 1000.0f, 0, 0},
    {T(6), "night", D2, 1, 5000.0f, 0, 0},
    {T(8), "fond", D2, 1, 5000.0f, 0, 0},
    {T(7), "birdy", D2, 1, 5000.0f, 0, 0},
    {T(8), "monkey", D2, 1, 5000.0f, 0, 0},
    {T(8), "felin", D2, 1, 5000.0f, 0, 0},
    {T(9), "ping1", D3, 4, 1000.0f, 0, 0},
    {ALL, "derrap2", B, 6, 2000.0f, 0, 0},
    {T(9), "shock", D2, 1, 1000.0f, 0, 0},
    {ALL, "turb", B, 6, 2000.0f, 0, 0},
    {T(7), "loute1", D3, 4, 1000.0f, 0, 0},
    {T(7), "loute2", D3, 4, 1000.0f, 0, 0},
    {0, "end", 0, 0, 0.0f, 0, 0},
    {ALL, "moteur1", D3, 0, 5000.0f, 0, 0},
    {ALL, "moteur1i", D2, 0, 5000.0f, 0, 0},
    {ALL, "moteur2", D3, 0, 5000.0f, 0, 0},
    {ALL, "moteur2i", D2, 0, 5000.0f, 0, 0},
    {ALL, "moteur3", D3, 0, 5000.0f, 0, 0},
    {ALL, "moteur3i", D2, 0, 5000.0f, 0, 0},
    {ALL, "moteur4", D3, 0, 5000.0f, 0, 0},
    {ALL, "moteur4i", D2, 0, 5000.0f, 0, 0},
    {ALL, "moteur5", D3, 0, 5000.0f, 0, 0},
    {ALL, "moteur5i", D2, 0, 5000.0f, 0, 0},
    {ALL, "moteur6", D3, 0, 5000.0f, 0, 0},
    {ALL, "moteur6i", D2, 0, 5000.0f, 0, 0},
    {0, "cheet", D2, 1, 5000.0f, 0, 0},
    {0, "cheet1", D2, 1, 5000.0f, 0, 0},
    {0, "cheet2", D2, 1, 5000.0f, 0, 0},
};

SoundEffectRecord gSfxEffects[SFX_EFFECT_ROWS];
const uint32_t gSfxTrackMasks[12] = {1u << 0, 1u << 1, 1u << 2, 1u << 3, 1u << 4,  1u << 5,
                                     1u << 6, 1u << 7, 1u << 8, 1u << 9, 1u << 10, 0xFFFFFFFFu};
SfxSlotTable gSfx2d, gSfx3d;
uint8_t gSfxLoaded2d[SFX_EFFECT_ROWS], gSfxLoaded3d[SFX_EFFECT_ROWS];
uint8_t gSoundOn;
SfxSource gSfxSource;
SfxListener gSfxListener;

SfxSlotEntry* SfxEntry(int32_t slot) {
  if (slot >= SFX_SLOT_2D_BASE && slot < SFX_SLOT_2D_BASE + SFX_SLOTS) return &gSfx2d.entry[slot - SFX_SLOT_2D_BASE];
  if (slot >= SFX_SLOT_3D_BASE && slot < SFX_SLOT_3D_BASE + SFX_SLOTS) return &gSfx3d.entry[slot - SFX_SLOT_3D_BASE];
  return nullptr;
}

void SfxSoundOff() {
  if (!gSoundOn) return;
  gSoundOn = 0;
  // Loops left running would sound for the rest of the run.
  for (SfxSlotTable* t : {&gSfx2d, &gSfx3d})
    for (SfxSlotEntry& e : t->entry) {
      if (e.inUse && e.soundId >= 0) SoundStop(e.soundId);
      e.inUse = 0;
    }
}
