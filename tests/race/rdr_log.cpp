// The back-end calls of the race code, logged into gCalls and passed on.
#include <cstdarg>
#include <cstdio>

#include "backend_common/draw.h"
#include "race_fixture.h"

std::vector<std::string> gCalls;
std::vector<DrawnFace> gFaces;
bool gLogFaceCalls;

namespace {

std::string Num(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
  return text;
}

int gNesting;

template <class... T>
void Log(const char* name, T... args) {
  if (gNesting > 0) return;
  std::string s = name;
  s += "(";
  bool first = true;
  ((s += (first ? "" : ","), s += Num(static_cast<float>(args)), first = false), ...);
  gCalls.push_back(s + ")");
}

// Calls made inside a logged call (the sun's own quads and depth switches)
// belong to the back end and are not logged.
struct Nested {
  Nested() { ++gNesting; }
  ~Nested() { --gNesting; }
};

void KeepFace(Face* face, bool faded, float alpha) {
  DrawnFace d{faded, alpha, *face, {}};
  for (int i = 0; i < face->vertexCount && i < 4; ++i) d.corners[i] = gMesh.vertices[face->index[i]];
  gFaces.push_back(d);
}

}  // namespace

extern "C" {
void __real__Z9RdrSetFogiiiff(int32_t, int32_t, int32_t, float, float);
void __real__Z16RdrSetDepthRangeii(int32_t, int32_t);
void __real__Z8RdrCleariii(int32_t, int32_t, int32_t);
void __real__Z15RdrDrawViewQuadjiii(uint32_t, int32_t, int32_t, int32_t);
void __real__Z15RdrSetProjScaleff(float, float);
void __real__Z16RdrSetClipWindowiiii(int32_t, int32_t, int32_t, int32_t);
void __real__Z16RdrSetProjCentreii(int32_t, int32_t);
void __real__Z8RdrFogOnv();
void __real__Z9RdrFogOffv();
void __real__Z10RdrDepthOnv();
void __real__Z11RdrDepthOffv();
void __real__Z18RdrDrawGroundStripjffh(uint32_t, float, float, uint8_t);
void __real__Z14RdrAdvanceWaveff(float, float);
void __real__Z13DotFontPrintfiiPKcz(int32_t, int32_t, const char*, ...);
void __real__Z16RdrDrawFaceDecalP4Face(Face*);
void __real__Z19RdrDrawFaceTexAlphaP4Facef(Face*, float);

void __wrap__Z9RdrSetFogiiiff(int32_t r, int32_t g, int32_t b, float start, float end) {
  Log("RdrSetFog", r, g, b, start, end);
  Nested nested;
  __real__Z9RdrSetFogiiiff(r, g, b, start, end);
}
void __wrap__Z16RdrSetDepthRangeii(int32_t n, int32_t f) {
  Log("RdrSetDepthRange", n, f);
  Nested nested;
  __real__Z16RdrSetDepthRangeii(n, f);
}
void __wrap__Z8RdrCleariii(int32_t r, int32_t g, int32_t b) {
  Log("RdrClear", r, g, b);
  Nested nested;
  __real__Z8RdrCleariii(r, g, b);
}
void __wrap__Z15RdrDrawViewQuadjiii(uint32_t t, int32_t r, int32_t g, int32_t b) {
  Log("RdrDrawViewQuad", t, r, g, b);
  Nested nested;
  __real__Z15RdrDrawViewQuadjiii(t, r, g, b);
}
void __wrap__Z15RdrSetProjScaleff(float x, float y) {
  Log("RdrSetProjScale", x, y);
  Nested nested;
  __real__Z15RdrSetProjScaleff(x, y);
}
void __wrap__Z16RdrSetClipWindowiiii(int32_t a, int32_t b, int32_t c, int32_t d) {
  Log("RdrSetClipWindow", a, b, c, d);
  Nested nested;
  __real__Z16RdrSetClipWindowiiii(a, b, c, d);
}
void __wrap__Z16RdrSetProjCentreii(int32_t x, int32_t y) {
  Log("RdrSetProjCentre", x, y);
  Nested nested;
  __real__Z16RdrSetProjCentreii(x, y);
}
void __wrap__Z8RdrFogOnv() {
  Log("RdrFogOn");
  Nested nested;
  __real__Z8RdrFogOnv();
}
void __wrap__Z9RdrFogOffv() {
  Log("RdrFogOff");
  Nested nested;
  __real__Z9RdrFogOffv();
}
void __wrap__Z10RdrDepthOnv() {
  Log("RdrDepthOn");
  Nested nested;
  __real__Z10RdrDepthOnv();
}
void __wrap__Z11RdrDepthOffv() {
  Log("RdrDepthOff");
  Nested nested;
  __real__Z11RdrDepthOffv();
}
void __wrap__Z18RdrDrawGroundStripjffh(uint32_t t, float h, float s, uint8_t flag) {
  Log("RdrDrawGroundStrip", t, h, s, flag);
  Nested nested;
  __real__Z18RdrDrawGroundStripjffh(t, h, s, flag);
}
void __wrap__Z14RdrAdvanceWaveff(float a, float b) {
  Log("RdrAdvanceWave", a, b);
  Nested nested;
  __real__Z14RdrAdvanceWaveff(a, b);
}
// Screenshots are logged, not written.
void __wrap__Z17LfbSaveScreenshotPKcii(const char* path, int32_t w, int32_t h) {
  gCalls.push_back(std::string("LfbSaveScreenshot(") + path + "," + std::to_string(w) + "," + std::to_string(h) + ")");
}
void __wrap__Z13DotFontPrintfiiPKcz(int32_t x, int32_t y, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (gNesting == 0) gCalls.push_back("DotFontPrintf(" + std::to_string(x) + "," + std::to_string(y) + "," + text + ")");
  Nested nested;
  __real__Z13DotFontPrintfiiPKcz(x, y, "%s", text);
}
void __wrap__Z16RdrDrawFaceDecalP4Face(Face* face) {
  if (gLogFaceCalls && gNesting == 0) KeepFace(face, false, 255.0f);
  Nested nested;
  __real__Z16RdrDrawFaceDecalP4Face(face);
}
void __wrap__Z19RdrDrawFaceTexAlphaP4Facef(Face* face, float alpha) {
  if (gLogFaceCalls && gNesting == 0) KeepFace(face, true, alpha);
  Nested nested;
  __real__Z19RdrDrawFaceTexAlphaP4Facef(face, alpha);
}
// The world is not drawn: the scene passes have suites of their own.
void __wrap__Z14ObjRenderScenev() { Log("ObjRenderScene"); }
void __wrap__Z21ObjRenderSceneTwoPassv() { Log("ObjRenderSceneTwoPass"); }
}

std::vector<std::string> CallsStartingWith(const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& c : gCalls)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}

int IndexOfCall(const std::string& call, int from) {
  for (size_t i = static_cast<size_t>(from); i < gCalls.size(); ++i)
    if (gCalls[i] == call) return static_cast<int>(i);
  return -1;
}
