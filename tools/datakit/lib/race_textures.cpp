#include "tools/datakit/lib/race_textures.h"

#include <cmath>

#include "tools/datakit/lib/picture_writer.h"
#include "tools/datakit/lib/scene_textures.h"
#include "tools/datakit/lib/texture_3df.h"

namespace datakit {

namespace {

uint16_t Rgb565(int32_t r, int32_t g, int32_t b) {
  auto c = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return static_cast<uint16_t>((c(r) >> 3) << 11 | (c(g) >> 2) << 5 | (c(b) >> 3));
}

uint16_t Argb1555(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

// 5 x 7 dot glyphs.
struct Glyph {
  char ch;
  const char* rows[7];
};
constexpr Glyph GLYPHS[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
    {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
    {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
    {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "# # #", " # # "}},
    {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
    {'/', {"    #", "    #", "   # ", "  #  ", " #   ", "#    ", "#    "}},
    {':', {"     ", "  #  ", "  #  ", "     ", "  #  ", "  #  ", "     "}},
    {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
};

constexpr int CELL_W = 32, CELL_H = 64, DOT_W = 5, DOT_H = 8;
constexpr int GLYPH_X = 1 + (30 - 5 * DOT_W) / 2, GLYPH_Y = 1 + (62 - 7 * DOT_H) / 2;

bool DotAt(const char* const* rows, int gx, int gy) {
  if (gx < 0 || gy < 0 || gx >= 5 * DOT_W || gy >= 7 * DOT_H) return false;
  return rows[gy / DOT_H][gx / DOT_W] == '#';
}

// One glyph into its cell: white dots with a dark rim, so the words read
// over a bright sky too; the rest stays black, which the colour key clears.
void DrawGlyphCell(std::vector<uint16_t>* texels, int width, int cell, const char* const* rows) {
  const int x0 = CELL_W * (cell % 8), y0 = CELL_H * (cell / 8);
  for (int y = 1; y < CELL_H - 1; ++y)
    for (int x = 1; x < CELL_W - 1; ++x) {
      const int gx = x - GLYPH_X, gy = y - GLYPH_Y;
      uint16_t t = 0;
      if (DotAt(rows, gx, gy)) {
        t = Argb1555(255, 255, 255 - 2 * (gy % DOT_H) * 4);
      } else {
        for (int dy = -2; dy <= 2 && !t; ++dy)
          for (int dx = -2; dx <= 2 && !t; ++dx)
            if (DotAt(rows, gx + dx, gy + dy)) t = Argb1555(24, 24, 32);
      }
      (*texels)[static_cast<size_t>((y0 + y) * width + x0 + x)] = t;
    }
}

// The dial panel of the outside views, texels (160, 1) to (255, 127): the
// revolutions dial above the speed dial, each centred where the panel puts
// its needle's hub (screen x 30 of 96, y 280 and 329 of 256..384), ticks
// over the sweep of its needle (a needle at angle a points along
// (-sin a, cos a), a quarter turn being 256), and in the corner the car
// seen from above that the in-car view shows under the wheel lights.
constexpr double DIAL_X = 160.0 + 30.0 * 95.0 / 96.0;
constexpr double REVS_DIAL_Y = 1.0 + (280.0 - 256.0) * 126.0 / 128.0;
constexpr double SPEED_DIAL_Y = 1.0 + (329.0 - 256.0) * 126.0 / 128.0;
constexpr double DIAL_RADIUS = 19.0;

uint16_t DialTexel(double dx, double dy, int32_t firstTick, int32_t lastTick, int32_t tickStep, int32_t redFrom) {
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d > DIAL_RADIUS + 1.5) return 0;
  if (d > DIAL_RADIUS - 1.0) return Argb1555(200, 200, 210);
  if (d < 1.5) return Argb1555(150, 150, 160);
  if (d > DIAL_RADIUS - 6.0) {
    // The needle's angle of this texel, in 1024ths of a turn.
    double a = std::atan2(-dx, dy) * 512.0 / 3.14159265358979;
    if (a < 0.0) a += 1024.0;
    for (int32_t t = firstTick; t <= lastTick; t += tickStep)
      if (std::fabs(a - t) * d * 3.14159265358979 / 512.0 < 0.8) return t >= redFrom ? Argb1555(240, 60, 40) : Argb1555(240, 240, 240);
  }
  return Argb1555(28, 28, 34);
}

void DrawDialPanel(std::vector<uint16_t>* texels, int width) {
  for (int y = 1; y <= 127; ++y)
    for (int x = 160; x <= 255; ++x) {
      const double dx = x - DIAL_X;
      uint16_t t = DialTexel(dx, y - REVS_DIAL_Y, 100, 900, 100, 800);
      if (!t) t = DialTexel(dx, y - SPEED_DIAL_Y, 8, 758, 75, 2000);
      if (!t) t = Argb1555(60, 62, 70);
      (*texels)[static_cast<size_t>(y * width + x)] = t;
    }
  // The wheel panel's car, texels (204, 94) to (233, 125), nose up: a body
  // with the four wheels at its corners, where the wheel lights come on.
  for (int y = 94; y <= 125; ++y)
    for (int x = 204; x <= 233; ++x) {
      const int u = x - 204, v = y - 94;
      const bool wheel = (u < 8 || u > 21) && ((v >= 3 && v <= 11) || (v >= 20 && v <= 28));
      const bool body = u >= 8 && u <= 21 && v >= 1 && v <= 30;
      uint16_t t = Argb1555(60, 62, 70);
      if (wheel) t = Argb1555(20, 20, 20);
      else if (body) t = v < 6 ? Argb1555(170, 170, 180) : Argb1555(120, 120, 130);
      (*texels)[static_cast<size_t>(y * width + x)] = t;
    }
}

// A vertical sky gradient from the zenith (row 0) to the horizon (row 255),
// with soft clouds in its middle rows, repeating around the ring.
std::vector<uint16_t> SkyRingTexels(const int32_t zenith[3], const int32_t horizon[3], int32_t clouds) {
  constexpr int N = 256;
  std::vector<uint16_t> texels(N * N);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      const double f = y / 255.0;
      const double band = std::exp(-std::pow((y - 150.0) / 45.0, 2.0));
      const double puff = std::sin(x * 0.0490873852 * 2.0) * std::sin(x * 0.0490873852 * 5.0 + y * 0.05) +
                          0.5 * std::sin(x * 0.0490873852 * 9.0 - y * 0.08);
      const double cloud = clouds * band * std::fmax(0.0, puff) / 100.0;
      int32_t c[3];
      for (int i = 0; i < 3; ++i) {
        const double base = zenith[i] + (horizon[i] - zenith[i]) * f;
        c[i] = static_cast<int32_t>(base + (245.0 - base) * std::fmin(1.0, cloud));
      }
      texels[static_cast<size_t>(y * N + x)] = Rgb565(c[0], c[1], c[2]);
    }
  return texels;
}

// Ground grain in the track's colour (the one-pass scene draws the ground
// by its texture and light alone). Sand ripples on the desert.
std::vector<uint16_t> GroundTexels(uint32_t seed, const int32_t tint[3], bool ripples) {
  constexpr int N = 128;
  std::vector<uint16_t> texels(N * N);
  uint32_t s = seed;
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      s = s * 1103515245u + 12345u;
      const int32_t grain = static_cast<int32_t>((s >> 16) % 28);
      const int32_t wave = ripples ? static_cast<int32_t>(14.0 * std::sin((x + 0.5 * y) * 0.19634954)) : 0;
      const int32_t v = grain + wave - 14;
      texels[static_cast<size_t>(y * N + x)] = Rgb565(tint[0] + v, tint[1] + v, tint[2] + v);
    }
  return texels;
}

// A grey cloud layer for the ground strip of the stormy tracks.
std::vector<uint16_t> CloudTexels(int32_t r, int32_t g, int32_t b) {
  constexpr int N = 128;
  std::vector<uint16_t> texels(N * N);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      const double w = std::sin(x * 0.0981747704) * std::sin(y * 0.0981747704 * 2.0) +
                       0.5 * std::sin((x + 2 * y) * 0.0490873852 * 3.0);
      const int32_t lift = static_cast<int32_t>(30.0 * w);
      texels[static_cast<size_t>(y * N + x)] = Rgb565(r + lift, g + lift, b + lift);
    }
  return texels;
}

struct SkyRing {
  const char* name;
  int32_t zenith[3], horizon[3];
  int32_t clouds;
};
// Each ring runs from its track's clear colour above to its horizon colour.
constexpr SkyRing SKY_RINGS[] = {
    {"desky", {99, 198, 255}, {33, 148, 255}, 60},
    {"hwsky", {189, 82, 66}, {214, 74, 16}, 40},
    {"rusky", {107, 156, 255}, {132, 165, 173}, 70},
    {"susky", {123, 173, 231}, {206, 181, 181}, 50},
    {"sasky", {177, 197, 162}, {177, 197, 162}, 30},
};

struct Ground {
  const char* name;
  int32_t tint[3];
};
constexpr Ground GROUNDS[] = {
    {"terplan", {224, 186, 128}}, {"terneige", {236, 238, 244}}, {"terboue", {110, 88, 60}},
    {"tervolc", {96, 70, 62}},    {"terhw", {150, 146, 136}},   {"terru", {190, 168, 126}},
    {"terloop", {112, 124, 110}}, {"tersu", {200, 176, 130}},   {"tersa", {190, 174, 110}},
    {"terice", {210, 224, 242}},
};

}  // namespace

const char* const* FontGlyphRows(char ch) {
  for (const Glyph& g : GLYPHS)
    if (g.ch == ch) return g.rows;
  return nullptr;
}

void FontDrawGlyphCell(std::vector<uint16_t>* texels, int width, int cell, char ch) {
  if (const char* const* rows = FontGlyphRows(ch)) DrawGlyphCell(texels, width, cell, rows);
}

std::vector<uint16_t> FontLetterTexels() {
  std::vector<uint16_t> texels(256 * 256, 0);
  for (char ch = 'A'; ch <= 'Z'; ++ch) DrawGlyphCell(&texels, 256, ch - 'A', FontGlyphRows(ch));
  DrawGlyphCell(&texels, 256, 26, FontGlyphRows('/'));
  DrawGlyphCell(&texels, 256, 27, FontGlyphRows(':'));
  return texels;
}

std::vector<uint16_t> FontDigitTexels() {
  std::vector<uint16_t> texels(256 * 128, 0);
  for (char ch = '0'; ch <= '9'; ++ch) {
    const int cell = ch <= '4' ? ch - '0' : 8 + (ch - '5');
    DrawGlyphCell(&texels, 256, cell, FontGlyphRows(ch));
  }
  DrawDialPanel(&texels, 256);
  return texels;
}

std::vector<KitTexture> RaceTextures() {
  std::vector<KitTexture> list;
  list.push_back({"typo1", TEX_ARGB1555, 256, 256, FontLetterTexels()});
  list.push_back({"typo2", TEX_ARGB1555, 256, 128, FontDigitTexels()});
  list.push_back({"sun", TEX_ARGB4444, 256, 256, SceneSunTexels()});
  for (const SkyRing& r : SKY_RINGS) list.push_back({r.name, TEX_RGB565, 256, 256, SkyRingTexels(r.zenith, r.horizon, r.clouds)});
  uint32_t seed = 41;
  for (const Ground& g : GROUNDS)
    list.push_back({g.name, TEX_RGB565, 128, 128, GroundTexels(seed++, g.tint, std::string(g.name) == "terplan")});
  // A pale overcast: boue's pond mirrors it, and the wheels' grey drops,
  // faint as they are, must show against it.
  list.push_back({"ora", TEX_RGB565, 128, 128, CloudTexels(170, 175, 185)});
  list.push_back({"water", TEX_RGB565, 64, 64, SceneWaterTexels()});
  list.push_back({"ice", TEX_RGB565, 128, 128, CloudTexels(190, 205, 235)});
  return list;
}

std::vector<DataFile> KitTextureArchiveFiles(const std::vector<KitTexture>& textures) {
  std::vector<DataFile> files;
  for (const KitTexture& t : textures) files.push_back({2, t.name + ".tex", MakeTex(t.format, t.width, t.height, t.texels)});
  return files;
}

std::vector<DataFile> KitTextureLooseFiles(const std::vector<KitTexture>& textures) {
  std::vector<DataFile> files;
  for (const KitTexture& t : textures)
    files.push_back({0, t.name + ".3df", Make3df(static_cast<int32_t>(t.format), t.width, t.height, t.texels)});
  return files;
}

std::vector<DataFile> RaceArchiveFiles() { return KitTextureArchiveFiles(RaceTextures()); }

std::vector<DataFile> RaceLooseFiles() { return KitTextureLooseFiles(RaceTextures()); }

}  // namespace datakit
