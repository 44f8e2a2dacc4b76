#include "support/gfx_recorder.h"

#include <cstdio>

namespace {

bool gRecording = false;
std::vector<GfxCall> gCalls;

void Log(std::string text, std::vector<GfxVertex> vertices = {}) {
  if (gRecording) gCalls.push_back(GfxCall{std::move(text), std::move(vertices)});
}

std::string Hex(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%06x", v);
  return buffer;
}

}  // namespace

void RecordStart() {
  gCalls.clear();
  gRecording = true;
}

std::vector<GfxCall> RecordStop() {
  gRecording = false;
  return std::move(gCalls);
}

std::vector<std::string> CallTexts(const std::vector<GfxCall>& calls) {
  std::vector<std::string> out;
  for (const GfxCall& c : calls) out.push_back(c.text);
  return out;
}

std::vector<GfxCall> DrawCalls(const std::vector<GfxCall>& calls) {
  std::vector<GfxCall> out;
  for (const GfxCall& c : calls)
    if (!c.vertices.empty()) out.push_back(c);
  return out;
}

// The linker sends the back end's calls here (--wrap); the real functions
// keep their __real_ names. The names are the mangled C++ names of gfx.h.
extern "C" {
void __real__Z23GfxColorCombineFunctioni(int32_t);
void __real__Z12GfxTexSourcej(uint32_t);
void __real__Z14GfxAlphaSourcei(int32_t);
void __real__Z21GfxAlphaBlendFunctioniiii(int32_t, int32_t, int32_t, int32_t);
void __real__Z20GfxAlphaTestFunctioni(int32_t);
void __real__Z21GfxConstantColorValuej(uint32_t);
void __real__Z12GfxDrawPointPK9GfxVertex(const GfxVertex*);
void __real__Z18GfxDepthBufferModei(int32_t);
void __real__Z11GfxDrawLinePK9GfxVertexS1_(const GfxVertex*, const GfxVertex*);
void __real__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(const GfxVertex*, const GfxVertex*, const GfxVertex*);
void __real__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(const GfxVertex*, const GfxVertex*, const GfxVertex*);
void __real__Z24GfxDrawPolygonVertexListiPK9GfxVertex(int32_t, const GfxVertex*);
void __real__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(int32_t, const GfxVertex*);

void __wrap__Z23GfxColorCombineFunctioni(int32_t f) {
  Log("combine " + std::to_string(f));
  __real__Z23GfxColorCombineFunctioni(f);
}
void __wrap__Z12GfxTexSourcej(uint32_t id) {
  Log("texture " + std::to_string(id));
  __real__Z12GfxTexSourcej(id);
}
void __wrap__Z14GfxAlphaSourcei(int32_t s) {
  Log("alpha " + std::to_string(s));
  __real__Z14GfxAlphaSourcei(s);
}
void __wrap__Z21GfxAlphaBlendFunctioniiii(int32_t a, int32_t b, int32_t c, int32_t d) {
  Log("blend " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " + std::to_string(d));
  __real__Z21GfxAlphaBlendFunctioniiii(a, b, c, d);
}
void __wrap__Z20GfxAlphaTestFunctioni(int32_t f) {
  Log("test " + std::to_string(f));
  __real__Z20GfxAlphaTestFunctioni(f);
}
void __wrap__Z21GfxConstantColorValuej(uint32_t c) {
  Log("colour " + Hex(c));
  __real__Z21GfxConstantColorValuej(c);
}
void __wrap__Z12GfxDrawPointPK9GfxVertex(const GfxVertex* v) {
  Log("point", {*v});
  __real__Z12GfxDrawPointPK9GfxVertex(v);
}

void __wrap__Z18GfxDepthBufferModei(int32_t mode) {
  Log("depth " + std::to_string(mode));
  __real__Z18GfxDepthBufferModei(mode);
}
void __wrap__Z11GfxDrawLinePK9GfxVertexS1_(const GfxVertex* a, const GfxVertex* b) {
  Log("line", {*a, *b});
  __real__Z11GfxDrawLinePK9GfxVertexS1_(a, b);
}
void __wrap__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(const GfxVertex* a, const GfxVertex* b, const GfxVertex* c) {
  Log("triangle", {*a, *b, *c});
  __real__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(a, b, c);
}
void __wrap__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(const GfxVertex* a, const GfxVertex* b,
                                                           const GfxVertex* c) {
  Log("triangle clip", {*a, *b, *c});
  __real__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(a, b, c);
}
void __wrap__Z24GfxDrawPolygonVertexListiPK9GfxVertex(int32_t n, const GfxVertex* list) {
  Log("polygon " + std::to_string(n), std::vector<GfxVertex>(list, list + (n > 0 ? n : 0)));
  __real__Z24GfxDrawPolygonVertexListiPK9GfxVertex(n, list);
}
void __wrap__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(int32_t n, const GfxVertex* list) {
  Log("polygon clip " + std::to_string(n), std::vector<GfxVertex>(list, list + (n > 0 ? n : 0)));
  __real__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(n, list);
}
}
