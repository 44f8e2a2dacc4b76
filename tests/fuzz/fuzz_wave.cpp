// The WAVE loader on arbitrary images: never a crash or an out-of-bounds read,
// and every slot it hands out can be freed again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "hal/window.h"
#include "platform/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = [] {
    HalSetHeadless(true);
    if (SoundInit(1) != SOUND_OK) std::abort();
    return true;
  }();
  (void)started;
  if (size > 1 << 20) return 0;
  for (int32_t mode : {SOUND_MODE_PLAIN, SOUND_MODE_3D}) {
    int32_t slot = -1;
    if (SoundCreateFromWav(&slot, data, static_cast<uint32_t>(size), mode) == SOUND_OK) {
      SoundPlay(slot, SOUND_PLAY_ONCE);
      if (SoundFree(slot) != SOUND_OK) std::abort();
    }
  }
  return 0;
}
