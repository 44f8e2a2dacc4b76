// The recorder of the menu page tests (page_calls.h): each wrapped call
// writes one line. Draws: "Decal x0,y0-x1,y1 tex T st s0,t0-s1,t1",
// "Wire ...", "Shade ... alpha A", "Dot x,y text", "Background", and
// "Ring"/"Arrows"/"Button"/"Object x,y depth z pitch P tex T st s,t" for the
// lit objects (the drum ring, the two menu models, anything else). Other
// subsystems: "Play row volume", "Loop row volume", "Stop slot", "StopAll",
// "Bank mask", "MusicPause", "MusicResume", "MusicStop", "MusicPlayTrack n",
// "RaceLoad track", "RaceReloadAssets flag", "ReplayRunAttract repeat",
// "PauseTimers f", "ResumeTimers f", "SetMode index", "Light x,y,z i a",
// "FogOn", "FogOff", "LightingOn", "LightingOff", "FfbStopAll", "Swap",
// "Picture name" (a full-screen picture loaded), "ApplyDetailLevel" (the
// shell's detail table, which page suites do not link).
// Sounds, music, race loads and the replays are recorded instead of made;
// timers, display, light and frame calls are recorded and made.
#include "page_calls.h"

#include <cstdarg>
#include <cstdio>

#include "backend_common/display.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_models.h"

std::vector<std::string> gPageCalls;
PageCallOptions gPageCallOptions;
int32_t gPageFrames;

void PageCallsReset() {
  gPageCalls.clear();
  gPageCallOptions = PageCallOptions{};
  gPageFrames = 0;
}

std::vector<std::string> PageCallsStarting(const std::string& prefix) { return PageCallsStartingAny({prefix}); }

std::vector<std::string> PageCallsStartingAny(const std::vector<std::string>& prefixes) {
  std::vector<std::string> out;
  for (const std::string& c : gPageCalls)
    for (const std::string& p : prefixes)
      if (c.rfind(p, 0) == 0) {
        out.push_back(c);
        break;
      }
  return out;
}

namespace {

std::string Corners(const Face* f) {
  char text[160];
  const Vertex& a = gMesh.vertices[f->index[0]];
  const Vertex& c = gMesh.vertices[f->index[2]];
  std::snprintf(text, sizeof text, "%g,%g-%g,%g", double(a.screenX), double(a.screenY), double(c.screenX),
                double(c.screenY));
  return text;
}

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

void Add(std::string line) { gPageCalls.push_back(std::move(line)); }

const char* ObjectName(const MeshHeader* mesh) {
  if (mesh == &gMenuDrumRing) return "Ring";
  if (mesh == gMenuModels.arrows) return "Arrows";
  if (mesh == gMenuModels.button) return "Button";
  return "Object";
}

}  // namespace

extern "C" {
void __real__Z16RdrDrawFaceDecalP4Face(Face*);
void __real__Z15RdrDrawFaceWireP4Face(Face*);
void __real__Z20RdrDrawFaceFlatAlphaP4Face(Face*);
void __real__Z13DotFontPrintfiiPKcz(int32_t, int32_t, const char*, ...);
void __real__Z18LfbDrawScreenImagePKt(const uint16_t*);
void __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z14AppPauseTimersi(int32_t);
void __real__Z15AppResumeTimersi(int32_t);
bool __real__Z10RdrSetModeP11DisplayModej(DisplayMode*, uint32_t);
void __real__Z8LightSetP5Light(Light*);
void __real__Z8RdrFogOnv();
void __real__Z9RdrFogOffv();
void __real__Z13RdrLightingOnv();
void __real__Z14RdrLightingOffv();
void __real__Z10FfbStopAllv();
void __real__Z14RdrSwapBuffersv();
uint16_t* __real__Z18LfbLoadScreenImagePKc(const char*);

void __wrap__Z16RdrDrawFaceDecalP4Face(Face* f) {
  char st[96];
  std::snprintf(st, sizeof st, " tex %u st %g,%g-%g,%g", f->type & 0xFFFFFF, double(f->st[0]), double(f->st[1]),
                double(f->st[4]), double(f->st[5]));
  Add("Decal " + Corners(f) + st);
  if (gPageCallOptions.drawThrough) __real__Z16RdrDrawFaceDecalP4Face(f);
}
void __wrap__Z15RdrDrawFaceWireP4Face(Face* f) {
  Add("Wire " + Corners(f));
  if (gPageCallOptions.drawThrough) __real__Z15RdrDrawFaceWireP4Face(f);
}
void __wrap__Z20RdrDrawFaceFlatAlphaP4Face(Face* f) {
  Add("Shade " + Corners(f) + " alpha " + std::to_string(f->type));
  if (gPageCallOptions.drawThrough) __real__Z20RdrDrawFaceFlatAlphaP4Face(f);
}
void __wrap__Z13DotFontPrintfiiPKcz(int32_t x, int32_t y, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Add("Dot " + std::to_string(x) + "," + std::to_string(y) + " " + text);
  if (gPageCallOptions.drawThrough) __real__Z13DotFontPrintfiiPKcz(x, y, "%s", text);
}
void __wrap__Z18LfbDrawScreenImagePKt(const uint16_t* picture) {
  Add("Background");
  if (gPageCallOptions.drawThrough) __real__Z18LfbDrawScreenImagePKt(picture);
}
void __wrap__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot* slot, MeshHeader* mesh) {
  char text[200];
  std::snprintf(text, sizeof text, "%s %g,%g depth %g pitch %u tex %x st %g,%g", ObjectName(mesh), double(slot->x),
                double(slot->y), double(slot->viewZ), unsigned{mesh->angle[0]}, mesh->faces[0].type,
                double(mesh->faces[0].st[0]), double(mesh->faces[0].st[1]));
  Add(text);
  if (gPageCallOptions.drawThrough) __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(slot, mesh);
}

int32_t __wrap__Z15SfxPlayEffect2Dii(int32_t row, int32_t volume) {
  Add("Play " + std::to_string(row) + " " + std::to_string(volume));
  return row;  // the effect's row as its slot, so the lines read plainly
}
int32_t __wrap__Z15SfxLoopEffect2Dii(int32_t row, int32_t volume) {
  Add("Loop " + std::to_string(row) + " " + std::to_string(volume));
  return row;
}
int32_t __wrap__Z11SfxStopSloti(int32_t slot) {
  Add("Stop " + std::to_string(slot));
  return 1;
}
int32_t __wrap__Z15SfxSlotFinishedi(int32_t) { return gPageCallOptions.slotFinished; }
void __wrap__Z10SfxStopAllv() { Add("StopAll"); }
void __wrap__Z16SfxLoadTrackBanki(int32_t mask) { Add("Bank " + std::to_string(mask)); }
void __wrap__Z10MusicPausev() { Add("MusicPause"); }
void __wrap__Z11MusicResumev() { Add("MusicResume"); }
void __wrap__Z9MusicStopv() { Add("MusicStop"); }
void __wrap__Z14MusicPlayTracki(int32_t n) { Add("MusicPlayTrack " + std::to_string(n)); }
void __wrap__Z8RaceLoadi(int32_t track) { Add("RaceLoad " + std::to_string(track)); }
void __wrap__Z16RaceReloadAssetsh(uint8_t flag) { Add("RaceReloadAssets " + std::to_string(flag)); }
void __wrap__Z16ReplayRunAttracti(int32_t repeat) { Add("ReplayRunAttract " + std::to_string(repeat)); }

void __wrap__Z14AppPauseTimersi(int32_t f) {
  Add("PauseTimers " + std::to_string(f));
  __real__Z14AppPauseTimersi(f);
}
void __wrap__Z15AppResumeTimersi(int32_t f) {
  Add("ResumeTimers " + std::to_string(f));
  __real__Z15AppResumeTimersi(f);
}
bool __wrap__Z10RdrSetModeP11DisplayModej(DisplayMode* mode, uint32_t window) {
  int index = -1;
  for (int i = 0; i < DISPLAY_MODE_COUNT; ++i)
    if (gDisplayModes[i] == mode) index = i;
  Add("SetMode " + std::to_string(index));
  return __real__Z10RdrSetModeP11DisplayModej(mode, window);
}
void __wrap__Z8LightSetP5Light(Light* light) {
  Add("Light " + Num(light->directionX) + "," + Num(light->directionY) + "," + Num(light->directionZ) + " " +
      Num(light->intensity) + " " + Num(light->ambient));
  __real__Z8LightSetP5Light(light);
}
void __wrap__Z8RdrFogOnv() {
  Add("FogOn");
  __real__Z8RdrFogOnv();
}
void __wrap__Z9RdrFogOffv() {
  Add("FogOff");
  __real__Z9RdrFogOffv();
}
void __wrap__Z13RdrLightingOnv() {
  Add("LightingOn");
  __real__Z13RdrLightingOnv();
}
void __wrap__Z14RdrLightingOffv() {
  Add("LightingOff");
  __real__Z14RdrLightingOffv();
}
void __wrap__Z10FfbStopAllv() {
  Add("FfbStopAll");
  __real__Z10FfbStopAllv();
}
uint16_t* __wrap__Z18LfbLoadScreenImagePKc(const char* name) {
  Add(std::string("Picture ") + name);
  return __real__Z18LfbLoadScreenImagePKc(name);
}
void __wrap__Z14RdrSwapBuffersv() {
  Add("Swap");
  __real__Z14RdrSwapBuffersv();
  ++gPageFrames;
  if (gPageCallOptions.onFrame) gPageCallOptions.onFrame(gPageFrames);
  if (gPageFrames > gPageCallOptions.frameLimit) throw PageFrameLimit{};
}
}

// The shell's calls the front end makes: seen; the quit not made.
void GameQuit() { throw PageLeft{"GameQuit"}; }
void GameApplyDetailLevel() { Add("ApplyDetailLevel"); }
