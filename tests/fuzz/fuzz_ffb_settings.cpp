// The force-feedback levels file on arbitrary bytes, read as the game reads
// it and driven through the effects on a fake wheel: no divisor may be 0, no
// product may wrap, and the levels stay what the file said or the defaults.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "hal/input/input_fake.h"
#include "race/ffb.h"
#include "shell/game.h"

// The shell's calls from below, which this target leaves out.
void GameQuit() { std::abort(); }

namespace {

// The levels file of this process (libFuzzer ends without running exit handlers).
const std::string& FilePath() {
  static const std::string path = "/tmp/fuzz_ffb_settings_" + std::to_string(::getpid()) + ".ini";
  return path;
}

HalFakeJoystick Wheel() {
  HalFakeJoystick j{};
  j.caps = HalInputCaps{HalDevType(HAL_DEVTYPE_JOYSTICK, HAL_DEVSUB_WHEEL), HAL_CAPS_FORCEFEEDBACK, 2, 8, 0};
  j.axes = {HalInputObject{HAL_JOFS_X, HAL_OBJ_FFACTUATOR}, HalInputObject{HAL_JOFS_Y, 0}};
  j.effectTypes = {HAL_EFT_CONSTANTFORCE, HAL_EFT_PERIODIC, HAL_EFT_CONDITION};
  return j;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(FilePath().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  FfbResetState();
  FfbReadSettings(FilePath().c_str(), "Levels");
  const FfbSettings& s = gFfb.settings;
  if (s.vitesseMax == 0 || s.moteurRegimeMax == s.moteurRegimeMin) std::abort();

  HalInputUseFake(true);
  InputResetForTest();
  HalFakeInputAdd(Wheel());
  if (InputInit(0, 1) != 1 || FfbCreateEffects(0) != 1) std::abort();
  const int32_t extremes[] = {INT32_MIN, -1, 0, 1, 250, 7000, INT32_MAX};
  FfbResumeEffects();
  for (int32_t a : extremes) {
    FfbUpdateEngine(a, a);
    FfbUpdateEngine(a, a / -2);
    FfbSetLostWheels(a & 15);
    FfbUpdateEngine(a / -3, a);
    FfbSetSkid(a);
    FfbPlayImpact(a, a / -2, a);
    FfbSetAirborne();
    FfbLand(a);
  }
  FfbRestartEffects();
  FfbStopEffects();
  InputFxReleaseAll();
  return 0;
}
