#include "tools/datakit/lib/sound_kit.h"

#include "tools/datakit/lib/wave_writer.h"

namespace datakit {

namespace {
constexpr int SOUND_ARCHIVE = 6;
constexpr int DEBUG_SOUND_ARCHIVE = 7;
}  // namespace

const std::vector<std::string>& KitSoundNames() {
  static const std::vector<std::string> names = {
      "tole1",   "tole2",    "tole3",    "tole4",    "pot",      "ton1",     "ora",      "pluie",   "clocher",
      "tole5",   "tole6",    "bulle",    "vache1",   "vache2",   "porc",     "porc1",    "sus1",    "feu",
      "eau",     "plouf",    "snow",     "sand",     "mud",      "explos",   "helico",   "skig",    "skid",
      "vent",    "skieur",   "check",    "plouf1",   "bouton",   "d_mil",    "ess_deb",  "essence", "ess_end",
      "bouton1", "elephant", "RUAMB",    "SUNAMB",   "VOLCAMB",  "VOLCROC",  "VENTICE",  "roc",     "rocsol",
      "other",   "klaxon",   "derrap",   "mouton",   "police",   "derrap1",  "night",    "fond",    "birdy",
      "monkey",  "felin",    "ping1",    "derrap2",  "shock",    "turb",     "loute1",   "loute2",  "moteur1",
      "moteur1i", "moteur2", "moteur2i", "moteur3",  "moteur3i", "moteur4",  "moteur4i", "moteur5", "moteur5i",
      "moteur6", "moteur6i", "cheet",    "cheet1",   "cheet2"};
  return names;
}

Bytes KitSoundWave(size_t index, uint32_t rate) {
  // A triangle wave whose period (in samples at the kit's rate) is the
  // sound's own; the length, about a tenth of a second, is a whole number of
  // periods, so a looping sound has no seam.
  const uint32_t period = (12 + static_cast<uint32_t>(index) * 2) * rate / KIT_SOUND_RATE;
  const uint32_t frames = rate / 10 / period * period;
  WaveSpec spec;
  spec.rate = rate;
  spec.samples = WaveSamples(1, 16, frames, [&](uint32_t i, uint16_t) {
    const int32_t phase = static_cast<int32_t>(i % period);
    const int32_t half = static_cast<int32_t>(period / 2);
    const int32_t rise = phase < half ? phase : static_cast<int32_t>(period) - phase;
    return rise * 16000 / half - 8000;
  });
  return WaveWrite(spec);
}

std::vector<DataFile> SoundArchiveFiles(uint32_t engineRate) {
  std::vector<DataFile> files;
  const std::vector<std::string>& names = KitSoundNames();
  for (size_t i = 0; i < names.size(); ++i) {
    const bool engine = names[i].rfind("moteur", 0) == 0;
    const Bytes wave = KitSoundWave(i, engine ? engineRate : KIT_SOUND_RATE);
    files.push_back({SOUND_ARCHIVE, "wav\\" + names[i] + ".wav", wave});
    files.push_back({DEBUG_SOUND_ARCHIVE, names[i] + ".wav", wave});
  }
  return files;
}

}  // namespace datakit
