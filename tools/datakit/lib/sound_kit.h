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
// One row's WAVE file.
Bytes KitSoundWave(size_t index);
std::vector<DataFile> SoundArchiveFiles();

}  // namespace datakit
