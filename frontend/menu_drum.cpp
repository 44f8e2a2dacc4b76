#include "frontend/menu_drum.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "backend_common/draw.h"
#include "backend_common/drum_glyph.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/normals.h"
#include "frontend/menu_items.h"
#include "frontend/menu_view.h"
#include "platform/mem.h"
#include "race/race.h"

namespace {

constexpr float DRUM_LEFT = 164.0f;
constexpr float SNAP_TIME = 490.0f;
constexpr float MIN_RATE = 40.0f;
constexpr float MAX_RATE = 150.0f;
constexpr float TIME_SCALE = 0.002f;  // 1 / 500

constexpr MenuDrum MakeDrum(float y, const char* label) {
  MenuDrum drum{};
  drum.x = DRUM_LEFT;
  drum.y = y;
  drum.count = MENU_DRUM_CHARS;
  for (int i = 0; i < MENU_DRUM_CHARS; ++i) {
    const float rest = static_cast<float>(MenuGlyphIndex(label[i]) * MENU_GLYPH_UNITS);
    drum.label[i] = label[i];
    drum.chars[i] = {rest, rest, rest, 0.0f, MENU_DRUM_REST_TIME};
  }
  return drum;
}

constexpr const char* BLANK_LABEL = "             ";

// The drum's own label, read at most to its count and never past its buffer.
char LabelChar(const char* label, int i) { return i < MENU_DRUM_LABEL_BYTES ? label[i] : '\0'; }

// A label buffer cleared to zeros with at most 15 characters of the text.
void CopyLabel(char (&out)[MENU_DRUM_LABEL_BYTES], const char* text) {
  std::memset(out, 0, sizeof out);
  for (int i = 0; text && i < MENU_DRUM_LABEL_BYTES - 1 && text[i] != '\0'; ++i) out[i] = text[i];
}

int32_t CharCount(const MenuDrum* drum) { return std::clamp(+drum->count, 0, MENU_DRUM_CHARS); }

}  // namespace

MenuDrum gMenuCategoryDrum = MakeDrum(240.0f, "    TRACK    ");
MenuDrum gMenuValueDrum = MakeDrum(341.0f, " HOT TANKER  ");
MenuDrum gMenuResolutionDrum = MakeDrum(240.0f, "  512 X 384  ");
MenuDrum gMenuDetailDrum = MakeDrum(341.0f, "   MAXIMUM   ");
MenuDrum gMenuControls1Drum = MakeDrum(154.0f, BLANK_LABEL);
MenuDrum gMenuControls2Drum = MakeDrum(252.0f, BLANK_LABEL);
MenuDrum gMenuLevelDrum = MakeDrum(354.0f, BLANK_LABEL);
MenuDrum gMenuNetKindDrum = MakeDrum(191.0f, BLANK_LABEL);

int32_t MenuGlyphDistance(char from, char to) { return MenuGlyphIndex(to) - MenuGlyphIndex(from); }

void MenuDrumSetLabel(MenuDrum* drum, const char* text) {
  char next[MENU_DRUM_LABEL_BYTES];
  CopyLabel(next, text);
  for (int i = 0; i < CharCount(drum); ++i) {
    MenuDrumChar& c = drum->chars[i];
    const int32_t d = MenuGlyphDistance(LabelChar(drum->label, i), next[i]);
    c.position = c.target;
    c.start = c.position;
    c.target = c.position + static_cast<float>(d * MENU_GLYPH_UNITS);
    c.rate = std::clamp(static_cast<float>(std::abs(d)), MIN_RATE, MAX_RATE);
    c.time = 0.0f;
  }
  std::memcpy(drum->label, next, sizeof next);
}

void MenuDrumSetLabelNow(MenuDrum* drum, const char* text) {
  CopyLabel(drum->label, text);
  for (int i = 0; i < CharCount(drum); ++i) {
    const float rest = static_cast<float>(MenuGlyphIndex(drum->label[i]) * MENU_GLYPH_UNITS);
    drum->chars[i] = {rest, rest, rest, 0.0f, MENU_DRUM_REST_TIME};
  }
}

namespace {
bool StepChar(MenuDrumChar& c, float timeStep) {
  if (c.time >= MENU_DRUM_REST_TIME) return false;
  c.position = c.start + (c.target - c.start) * c.time * TIME_SCALE;
  c.time += c.rate * timeStep;
  if (c.time >= SNAP_TIME) c.position = c.target;
  return true;
}
}  // namespace

bool MenuDrumStep(MenuDrum* drum, float timeStep) {
  bool rolling = false;
  for (int i = 0; i < CharCount(drum); ++i) rolling |= StepChar(drum->chars[i], timeStep);
  return rolling;
}

void MenuDrawDrum(MenuDrum* drum) {
  constexpr float CHAR_STEP = 28.0f;
  for (int i = 0; i < CharCount(drum); ++i) {
    MenuDrumChar& c = drum->chars[i];
    if (StepChar(c, gRace.timeStep)) gMenu.drumRolling = 1;
    if (!gMenuDrumRing.faces) continue;
    const int32_t position = TruncI32(c.position);
    MenuDrumMapGlyph(&gMenuDrumRing, position, gMenu.fontEntry[0], gMenu.fontEntry[1]);
    gMenuDrumRing.angle[0] = static_cast<uint16_t>(position);
    MenuDrawLitAt(&gMenuDrumRing, drum->x + CHAR_STEP * static_cast<float>(i), drum->y);
  }
}

MeshHeader gMenuDrumRing = {MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};

void MenuFreeDrumRing() {
  if (gMenuDrumRing.vertices) MemFree(gMenuDrumRing.vertices);
  if (gMenuDrumRing.faces) MemFree(gMenuDrumRing.faces);
  gMenuDrumRing.vertices = nullptr;
  gMenuDrumRing.faces = nullptr;
  gMenuDrumRing.vertexCount = 0;
  gMenuDrumRing.faceCount = 0;
}

void MenuBuildDrumRing() {
  constexpr float RADIUS = 26.0f;
  constexpr float HALF_WIDTH = 10.0f;
  constexpr int32_t STEP = 1024 / MENU_RING_FACES;
  MenuFreeDrumRing();
  auto* vertices = static_cast<Vertex*>(MemAlloc(MENU_RING_VERTICES * sizeof(Vertex)));
  auto* faces = static_cast<Face*>(MemAlloc(MENU_RING_FACES * sizeof(Face)));
  if (!vertices || !faces) {
    // No ring: the drums draw nothing rather than a ring half made.
    if (vertices) MemFree(vertices);
    if (faces) MemFree(faces);
    return;
  }
  std::memset(vertices, 0, MENU_RING_VERTICES * sizeof(Vertex));
  std::memset(faces, 0, MENU_RING_FACES * sizeof(Face));
  for (int32_t i = 0; i < MENU_RING_FACES; ++i) {
    const int32_t a = STEP * i;
    for (int32_t side = 0; side < 2; ++side) {
      Vertex& v = vertices[2 * i + side];
      v.x = side == 0 ? -HALF_WIDTH : HALF_WIDTH;
      v.y = RADIUS * MathCos(a);
      v.z = RADIUS * MathSin(a);
    }
    Face& f = faces[i];
    f.type = uint32_t{FACE_TEX_LIT} << 24;
    f.vertexCount = 4;
    const auto next = static_cast<uint16_t>((2 * i + 2) % MENU_RING_VERTICES);
    f.index[0] = static_cast<uint16_t>(2 * i);
    f.index[1] = static_cast<uint16_t>(2 * i + 1);
    f.index[2] = static_cast<uint16_t>(next + 1);
    f.index[3] = next;
  }
  gMenuDrumRing = {MESH_TYPE_WORD, MENU_RING_VERTICES, MENU_RING_FACES, faces, vertices, {0, 0, 0}};
  MeshRebuildNormalsOf(&gMenuDrumRing);
}
