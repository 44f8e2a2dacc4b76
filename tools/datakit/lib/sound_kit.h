// The race's sound effects: a short WAVE file for every row of the game's
// sound-effect table but "end", each a tone of its own; the engine rows
// ("moteur1".."moteur6" and their "i" rows) loop without a click. They lie in
// rur6.pak as wav\<name>.wav and, for debug mode 1, in rur7.pak as <name>.wav.
#pragma once
#include <string>
#include <vector>

#include "tools/datakit/lib/boot_set.h"

namespace datakit {

// The row names in table order, "end" left out.
const std::vector<std::string>& KitSoundNames();
// The kit's rate: low enough that the highest engine pitch (15.9 times the
// rate) stays within the mixer's 100000 Hz.
constexpr uint32_t KIT_SOUND_RATE = 6000;

// One row's WAVE file, the same tone at any rate.
Bytes KitSoundWave(size_t index, uint32_t rate = KIT_SOUND_RATE);
// Every row; the engine rows ("moteur...") recorded at `engineRate`, as a data
// set at a common rate such as 22050 Hz has them.
std::vector<DataFile> SoundArchiveFiles(uint32_t engineRate = KIT_SOUND_RATE);

}  // namespace datakit
