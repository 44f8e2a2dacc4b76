// The flat layer's draw and sound calls, logged instead of made.
#include "icons_log.h"

#include <cstdarg>
#include <cstdio>

#include "engine3d/mesh.h"

std::vector<std::string> gIconCalls;

namespace {
std::string Corners(const Face* f) {
  char text[160];
  const Vertex& a = gMesh.vertices[f->index[0]];
  const Vertex& c = gMesh.vertices[f->index[2]];
  std::snprintf(text, sizeof text, "%g,%g-%g,%g", double(a.screenX), double(a.screenY), double(c.screenX),
                double(c.screenY));
  return text;
}
}  // namespace

extern "C" {
void __wrap__Z16RdrDrawFaceDecalP4Face(Face* f) {
  char st[96];
  std::snprintf(st, sizeof st, " tex %u st %g,%g-%g,%g", f->type & 0xFFFFFF, double(f->st[0]), double(f->st[1]),
                double(f->st[4]), double(f->st[5]));
  gIconCalls.push_back("Decal " + Corners(f) + st);
}
void __wrap__Z15RdrDrawFaceWireP4Face(Face* f) { gIconCalls.push_back("Wire " + Corners(f)); }
void __wrap__Z20RdrDrawFaceFlatAlphaP4Face(Face* f) {
  gIconCalls.push_back("Shade " + Corners(f) + " alpha " + std::to_string(f->type));
}
void __wrap__Z13DotFontPrintfiiPKcz(int32_t x, int32_t y, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  gIconCalls.push_back("Dot " + std::to_string(x) + "," + std::to_string(y) + " " + text);
}
int32_t __wrap__Z15SfxPlayEffect2Dii(int32_t row, int32_t volume) {
  gIconCalls.push_back("Play " + std::to_string(row) + " " + std::to_string(volume));
  return 5;
}
int32_t __wrap__Z11SfxStopSloti(int32_t slot) {
  gIconCalls.push_back("Stop " + std::to_string(slot));
  return 1;
}
void __wrap__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot* slot, MeshHeader* mesh) {
  char text[160];
  std::snprintf(text, sizeof text, "Ring %g,%g depth %g pitch %u tex %x st %g,%g", double(slot->x), double(slot->y),
                double(slot->viewZ), unsigned{mesh->angle[0]}, mesh->faces[0].type, double(mesh->faces[0].st[0]),
                double(mesh->faces[0].st[1]));
  gIconCalls.push_back(text);
}
void __wrap__Z18LfbDrawScreenImagePKt(const uint16_t*) { gIconCalls.push_back("Background"); }
}

std::vector<std::string> IconCallsStarting(const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& c : gIconCalls)
    if (c.rfind(prefix, 0) == 0) out.push_back(c);
  return out;
}
