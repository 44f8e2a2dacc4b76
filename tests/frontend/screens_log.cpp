// The full-screen screens' calls as their tests see them: texts, shaded
// quads, the depth switch, fog, the stops of sounds and force feedback
// logged instead of made; the pump counted; the joystick read scripted.
#include "screens_log.h"

#include <cstdarg>
#include <cstdio>

#include "platform/input.h"
#include "presentation/text.h"

std::vector<std::string> gScreenCalls;
ScreenInputScript gInputScript;

namespace {

std::string Format(const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  return text;
}

std::string Fade() {
  char level[32];
  std::snprintf(level, sizeof level, " @%g", static_cast<double>(HudFont.fadeLevel));
  return level;
}

}  // namespace

extern "C" {
void __wrap__Z11TextPrintAtssPKcz(int16_t x, int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  gScreenCalls.push_back("At " + std::to_string(x) + "," + std::to_string(y) + " " + Format(format, args));
  va_end(args);
}
void __wrap__Z16TextPrintCentredsPKcz(int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  gScreenCalls.push_back("Centred " + std::to_string(y) + " " + Format(format, args));
  va_end(args);
}
void __wrap__Z16TextPrintFadedAtssPKcz(int16_t x, int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  gScreenCalls.push_back("FadedAt " + std::to_string(x) + "," + std::to_string(y) + " " + Format(format, args) + Fade());
  va_end(args);
}
void __wrap__Z21TextPrintFadedCentredsPKcz(int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  gScreenCalls.push_back("FadedCentred " + std::to_string(y) + " " + Format(format, args) + Fade());
  va_end(args);
}
int32_t __wrap__Z14MenuTextPrintfiiPKcz(int32_t x, int32_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  gScreenCalls.push_back("Menu " + std::to_string(x) + "," + std::to_string(y) + " " + Format(format, args));
  va_end(args);
  return 0;
}
int32_t __wrap__Z21MenuTextPrintfCentrediPKcz(int32_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  gScreenCalls.push_back("MenuCentred " + std::to_string(y) + " " + Format(format, args));
  va_end(args);
  return 0;
}
void __wrap__Z17ViewDrawShadeQuadffffii(float x0, float y0, float x1, float y1, int32_t grey, int32_t alpha) {
  char text[128];
  std::snprintf(text, sizeof text, "Shade %g,%g-%g,%g grey %d alpha %d", static_cast<double>(x0), static_cast<double>(y0),
                static_cast<double>(x1), static_cast<double>(y1), grey, alpha);
  gScreenCalls.push_back(text);
}
void __wrap__Z11RdrDepthOffv() { gScreenCalls.push_back("DepthOff"); }
void __wrap__Z10RdrDepthOnv() { gScreenCalls.push_back("DepthOn"); }
void __real__Z8RdrFogOnv();
void __wrap__Z8RdrFogOnv() {
  gScreenCalls.push_back("FogOn");
  __real__Z8RdrFogOnv();
}
void __real__Z9RdrFogOffv();
void __wrap__Z9RdrFogOffv() {
  gScreenCalls.push_back("FogOff");
  __real__Z9RdrFogOffv();
}
void __wrap__Z10SfxStopAllv() { gScreenCalls.push_back("SfxStopAll"); }
void __wrap__Z10FfbStopAllv() { gScreenCalls.push_back("FfbStopAll"); }
void __wrap__Z15AppPumpMessagesv() { ++gInputScript.pumps; }
int32_t __wrap__Z15InputReadDeviceiP11HalJoyState(int32_t device, InputJoyState* state) {
  ++gInputScript.reads;
  gInputScript.lastDevice = device;
  if (gInputScript.readFails) return 0;
  *state = InputJoyState{};
  state->buttons[0] = gInputScript.button1;
  state->buttons[1] = gInputScript.button2;
  return 1;
}
void __wrap__Z18FfbCheckDeviceLostv() { ++gInputScript.lostChecks; }
}

std::vector<std::string> ScreenCallsStarting(const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& call : gScreenCalls)
    if (call.rfind(prefix, 0) == 0) out.push_back(call);
  return out;
}
