// The end of a race fades to black.
#include "presentation/presentation.h"

#include <algorithm>

#include "backend_common/display.h"
#include "frontend/frontend.h"
#include "platform/app.h"

namespace {
constexpr int FADE_TIMER = 2;
constexpr int32_t FADE_MS = 3000;
}  // namespace

void ViewFadeStart() { AppTimerStart(FADE_TIMER); }
int32_t ViewFadeOutStep() {
  const int32_t elapsed = static_cast<int32_t>(std::min<uint32_t>(AppTimerElapsed(FADE_TIMER), FADE_MS));
  const int32_t alpha = std::clamp(elapsed * 255 / FADE_MS, 0, 255);
  RdrDepthOff();
  RdrFogOff();
  ViewDrawShadeQuad(0.0f, gRdrState.clipMinY, gRdrState.clipMaxX, gRdrState.clipMaxY, 0, alpha);
  if (gOptions.detail[3]) RdrFogOn();
  RdrDepthOn();
  return alpha == 255 ? 0 : 1;
}
