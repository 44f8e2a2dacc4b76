// The force-feedback levels from the settings file.
#include <algorithm>
#include <cstdint>
#include <string>

#include "hal/ini.h"
#include "race/ffb.h"

int32_t FfbParseInt(const char* text) {
  if (!text) return 0;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  int64_t value = 0;
  // Held one past the largest magnitude, so that both limits are reachable.
  constexpr int64_t LIMIT = int64_t{INT32_MAX} + 1;
  for (; *text >= '0' && *text <= '9'; ++text) value = std::min<int64_t>(value * 10 + (*text - '0'), LIMIT);
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

void FfbReadSettings(const char* file, const char* section) {
  FfbSettings& s = gFfb.settings;
  for (const FfbSettingKey& k : FFB_SETTING_KEYS) {
    const std::string fallback = std::to_string(k.fallback);
    s.*k.field = FfbParseInt(HalIniReadString(file, section, k.name, fallback.c_str()).c_str());
  }
  // The derived values divide by these: a file that makes a divisor 0 gets
  // the defaults instead of a crash.
  const FfbSettings defaults = FfbDefaultSettings();
  if (s.moteurRegimeMax == s.moteurRegimeMin) {
    s.moteurRegimeMax = defaults.moteurRegimeMax;
    s.moteurRegimeMin = defaults.moteurRegimeMin;
  }
  if (s.vitesseMax == 0) s.vitesseMax = defaults.vitesseMax;
}
