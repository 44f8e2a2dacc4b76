#include "tools/datakit/lib/race_kit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <string>
#include <utility>

#include "tools/datakit/lib/ambient_kit.h"
#include "tools/datakit/lib/car_models.h"
#include "tools/datakit/lib/model3ds_writer.h"
#include "tools/datakit/lib/object_kit.h"
#include "tools/datakit/lib/picture_writer.h"
#include "tools/datakit/lib/shaped_models.h"
#include "tools/datakit/lib/texture_3df.h"
#include "tools/datakit/lib/track_kit_decor.h"

namespace datakit {

std::vector<DataFile> TrackArchiveFiles(bool objectPaths) {
  std::vector<DataFile> files;
  for (const KitTrackDesc& track : KitTracks())
    for (DataFile& f : KitTrackFiles(track)) files.push_back(std::move(f));
  // The paths of the highway traffic, the skiers and the elephants.
  if (objectPaths)
    for (DataFile& f : HighwayObjectPathFiles()) files.push_back(std::move(f));
  for (DataFile& f : DecorPathFiles()) files.push_back(std::move(f));

  // Tracks 0..3 share mappos.qvr, 4..7 mappos1.qvr and 8..9 mappos2.qvr, a quadrant each.
  std::vector<uint8_t> maps[3];
  for (const KitTrackDesc& track : KitTracks()) KitTrackPositionCodes(track, &maps[track.track / 4]);
  files.push_back({3, "mappos.qvr", PositionMapWrite(maps[0])});
  files.push_back({3, "mappos1.qvr", PositionMapWrite(maps[1])});
  files.push_back({3, "mappos2.qvr", PositionMapWrite(maps[2])});
  for (int i = 1; i <= 10; ++i)
    files.push_back({3, "vue" + std::to_string(i) + ".qvr", MakeQvr(640, 480, PatternRgb555(640, 480, 40 + i))});
  return files;
}

namespace {

struct NumberedGround {
  char letter;
  int32_t count;
  int32_t tint[3];
};
constexpr NumberedGround NUMBERED_GROUNDS[] = {
    {'a', 55, {224, 186, 128}}, {'b', 44, {236, 238, 244}}, {'c', 53, {110, 88, 60}},  {'d', 56, {96, 70, 62}},
    {'e', 55, {150, 146, 136}}, {'f', 55, {190, 168, 126}}, {'g', 58, {112, 124, 110}}, {'h', 55, {200, 176, 130}},
    {'i', 55, {190, 174, 110}}, {'j', 30, {210, 224, 242}},
};
constexpr uint32_t GROUND_SIDE = 16;
constexpr uint32_t TYRE_SIDE = 32;

uint16_t Rgb565(int32_t r, int32_t g, int32_t b) {
  auto c = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return static_cast<uint16_t>((c(r) >> 3) << 11 | (c(g) >> 2) << 5 | (c(b) >> 3));
}
uint16_t Argb1555(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

struct KitTex {
  std::string path;  // without extension
  uint32_t format, width, height;
  std::vector<uint16_t> texels;
};

// The guide arrow's texture: yellow, its head (the far half) orange.
std::vector<uint16_t> ArrowTexels() {
  std::vector<uint16_t> texels(32 * 32);
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 32; ++x) texels[y * 32 + x] = y < 16 ? Argb1555(250, 220, 0) : Argb1555(250, 110, 0);
  return texels;
}

// Numbered ground k of a track: the track's tint, a little darker or lighter
// by number, with a grain; the course texture (3) is a pale packed track.
std::vector<uint16_t> NumberedGroundTexels(const NumberedGround& g, int32_t k) {
  std::vector<uint16_t> texels(GROUND_SIDE * GROUND_SIDE);
  // The looping track's ramp (56 and 57): diagonal hazard stripes, yellow
  // and orange, so that a car's way onto it shows.
  if (g.letter == 'g' && k >= 56) {
    for (uint32_t y = 0; y < GROUND_SIDE; ++y)
      for (uint32_t x = 0; x < GROUND_SIDE; ++x)
        texels[y * GROUND_SIDE + x] =
            ((x + y) / 4) % 2 ? Rgb565(40, 36, 30) : k == 56 ? Rgb565(240, 210, 40) : Rgb565(240, 130, 30);
    return texels;
  }
  // The looping's g5 is the floodlights' lamp (no ground bears it): pale
  // yellow, whiter at its middle.
  if (g.letter == 'g' && k == 5) {
    for (uint32_t y = 0; y < GROUND_SIDE; ++y)
      for (uint32_t x = 0; x < GROUND_SIDE; ++x) {
        const int32_t dx = static_cast<int32_t>(x) - 8, dy = static_cast<int32_t>(y) - 8;
        const int32_t fade = (dx * dx + dy * dy) * 2;
        texels[y * GROUND_SIDE + x] = Rgb565(255 - fade / 4, 250 - fade / 2, 200 - fade);
      }
    return texels;
  }
  // The desert's course texture (3) is its road: hard-packed earth, darker
  // and redder than the sand around it, so that the way reads from afar,
  // with a little paler gravel (faint: magnified near the camera, a texel
  // is a spot across the road).
  if (g.letter == 'a' && k == 3) {
    uint32_t s = 977;
    for (uint32_t i = 0; i < texels.size(); ++i) {
      s = s * 1103515245u + 12345u;
      const int32_t grain = static_cast<int32_t>((s >> 16) % 12) - 6;
      const bool gravel = (s >> 8) % 29 == 0;
      texels[i] = gravel ? Rgb565(166, 132, 102) : Rgb565(140 + grain, 104 + grain, 78 + grain);
    }
    return texels;
  }
  const int32_t shift = k == 3 ? 30 : (k % 7) * 6 - 18;
  uint32_t s = static_cast<uint32_t>(g.letter * 131 + k);
  for (uint32_t i = 0; i < texels.size(); ++i) {
    s = s * 1103515245u + 12345u;
    const int32_t grain = static_cast<int32_t>((s >> 16) % 16) - 8;
    texels[i] = Rgb565(g.tint[0] + shift + grain, g.tint[1] + shift + grain, g.tint[2] + shift + grain);
  }
  return texels;
}

std::vector<uint16_t> Plain1555(uint32_t side, int32_t r, int32_t g, int32_t b, bool ring) {
  std::vector<uint16_t> texels(side * side);
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x) {
      const bool dark = ring && ((x / 4 + y / 4) % 2 == 0);
      texels[y * side + x] = Argb1555(dark ? r / 2 : r, dark ? g / 2 : g, dark ? b / 2 : b);
    }
  return texels;
}

// An effect sprite: a round blob of the colour, opaque at the centre and
// fading out by `radius` texels. The colour fades with the alpha, black
// outside the blob: written loose, 4444 textures take their alpha from their
// colour, and the blob must keep its shape then too.
std::vector<uint16_t> EffectTexels(uint32_t side, int32_t r, int32_t g, int32_t b, int32_t radius) {
  std::vector<uint16_t> texels(side * side);
  const float c = static_cast<float>(side) * 0.5f - 0.5f;
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x) {
      const float dx = static_cast<float>(x) - c, dy = static_cast<float>(y) - c;
      const float fade = 1.0f - std::sqrt(dx * dx + dy * dy) / static_cast<float>(radius);
      const float cover = fade <= 0.0f ? 0.0f : fade > 0.5f ? 1.0f : fade * 2.0f;
      const auto a = static_cast<uint32_t>(15.0f * cover);
      auto nib = [cover](int32_t v) { return static_cast<uint32_t>(static_cast<float>(v) * cover) >> 4 & 15; };
      texels[y * side + x] = static_cast<uint16_t>(a << 12 | nib(r) << 8 | nib(g) << 4 | nib(b));
    }
  return texels;
}

// The sheen laid over the near bodies: a bright diagonal streak fading into grey.
std::vector<uint16_t> Highlight1555(uint32_t side) {
  std::vector<uint16_t> texels(side * side);
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x) {
      const int32_t off = static_cast<int32_t>(x + y) - static_cast<int32_t>(side);
      const int32_t v = 255 - 6 * (off < 0 ? -off : off);
      texels[y * side + x] = Argb1555(v < 90 ? 90 : v, v < 90 ? 90 : v, v < 100 ? 100 : v);
    }
  return texels;
}

// The wheel lights of the damage panel, front left, front right, rear left,
// rear right: a light shows while its wheel is on, blinking when the wheel
// is hurt. Each is drawn over the whole panel, so each lights only its own
// wheel of the car under it and is keyed green (transparent) elsewhere.
constexpr const char* WHEEL_LIGHTS[4] = {"vdavg", "vdavd", "vdarg", "vdard"};

std::vector<uint16_t> WheelLightTexels(int32_t wheel) {
  constexpr uint16_t KEYED = 0x03E0;  // pure green without the alpha bit
  std::vector<uint16_t> texels(32 * 32, KEYED);
  const bool right = wheel == 1 || wheel == 3, rear = wheel >= 2;
  const uint32_t x0 = right ? 24 : 0, y0 = rear ? 21 : 3;
  for (uint32_t y = y0; y < y0 + 9; ++y)
    for (uint32_t x = x0; x < x0 + 8; ++x) texels[y * 32 + x] = Argb1555(90, 230, 90);
  return texels;
}

// An advertising panel, twice as wide as high as the demo shows it (its
// texture coordinates run 0..255 across and 0..127 down), within a dark
// frame: panel 1 red with a white band across, panel 3 blue with yellow
// diagonal stripes.
constexpr uint32_t PANEL_W = 128, PANEL_H = 64;

std::vector<uint16_t> PanelTexels(int32_t panel) {
  std::vector<uint16_t> texels(PANEL_W * PANEL_H);
  for (uint32_t y = 0; y < PANEL_H; ++y)
    for (uint32_t x = 0; x < PANEL_W; ++x) {
      uint16_t c;
      if (x < 3 || y < 3 || x >= PANEL_W - 3 || y >= PANEL_H - 3) c = Argb1555(30, 30, 30);
      else if (panel == 1) c = y >= 24 && y < 40 ? Argb1555(250, 250, 250) : Argb1555(220, 30, 30);
      else c = ((x + y) / 8) % 2 ? Argb1555(250, 220, 0) : Argb1555(30, 60, 220);
      texels[y * PANEL_W + x] = c;
    }
  return texels;
}

std::vector<KitTex> RaceKitTextures() {
  std::vector<KitTex> list;
  for (const NumberedGround& g : NUMBERED_GROUNDS)
    for (int32_t k = 1; k <= g.count; ++k)
      list.push_back({std::string(1, g.letter) + std::to_string(k), TEX3DF_RGB565, GROUND_SIDE, GROUND_SIDE,
                      NumberedGroundTexels(g, k)});
  list.push_back({"gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 40, 40, 40, true)});
  list.push_back({"gom", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 60, 50, 40, false)});
  list.push_back({"desert\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 200, 160, 110, false)});
  list.push_back({"boue\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 90, 60, 30, false)});
  list.push_back({"ice\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 235, 245, 255, false)});
  list.push_back({"looping\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 70, 74, 66, false)});
  list.push_back({"neige\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 200, 206, 218, false)});
  list.push_back({"volcano\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 50, 40, 36, false)});
  list.push_back({"savana\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 170, 140, 90, false)});
  list.push_back({"ruines\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 170, 150, 110, false)});
  list.push_back({"sunset\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 215, 190, 140, false)});
  list.push_back({"highway\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 50, 50, 54, false)});
  for (int32_t wheel = 0; wheel < 4; ++wheel)
    list.push_back({WHEEL_LIGHTS[wheel], TEX3DF_ARGB1555, 32, 32, WheelLightTexels(wheel)});
  list.push_back({"fleche", TEX3DF_ARGB1555, 32, 32, ArrowTexels()});
  list.push_back({"minicar", TEX3DF_ARGB1555, 256, 128, MiniCarTexels()});
  // Each car's body texture, and the same smaller for low texture memory; the
  // wheels' treads bear the tyre texture.
  for (int32_t car = 1; car <= 6; ++car) {
    const std::string dir = "car" + std::to_string(car) + "\\";
    const int32_t r = 60 + 30 * car, g = 220 - 25 * car, b = 40 + 20 * (car % 3);
    for (const auto& [sub, side] : {std::pair<std::string, uint32_t>{"", 32}, {"low\\", 16}}) {
      list.push_back({dir + sub + "car", TEX3DF_ARGB1555, side, side, Plain1555(side, r, g, b, false)});
    }
  }
  for (const char* sub : {"kit\\", "kit\\low\\"}) {
    list.push_back({std::string(sub) + "car", TEX3DF_ARGB1555, 32, 32, Plain1555(32, 200, 200, 60, false)});
  }
  // The effect sprites, soft round puffs, each frame its own size and
  // colour: smoke greys growing frame by frame, flames, explosions, bubble,
  // fire and glow (fumee3 is the ground dust's too).
  for (int32_t k = 1; k <= 8; ++k)
    list.push_back({"fumee" + std::to_string(k), TEX3DF_ARGB4444, 32, 32,
                    EffectTexels(32, 80 + 20 * k, 80 + 18 * k, 80 + 16 * k, 6 + k)});
  for (int32_t k = 1; k <= 4; ++k)
    list.push_back({"flam" + std::to_string(k), TEX3DF_ARGB4444, 32, 32, EffectTexels(32, 255, 40 + 50 * k, 20, 8 + 2 * k)});
  for (int32_t k = 1; k <= 8; ++k)
    list.push_back({"explo" + std::to_string(k), TEX3DF_ARGB4444, 32, 32, EffectTexels(32, 255, 230 - 22 * k, 60 + 10 * k, 7 + k)});
  list.push_back({"bulle", TEX3DF_ARGB4444, 32, 32, EffectTexels(32, 190, 225, 255, 12)});
  list.push_back({"feu", TEX3DF_ARGB4444, 32, 32, EffectTexels(32, 255, 150, 30, 14)});
  list.push_back({"flare", TEX3DF_ARGB4444, 32, 32, GlowFlareTexels()});
  list.push_back({"reflet", TEX3DF_ARGB1555, 32, 32, Highlight1555(32)});
  // The advertising panels that the attract demo shows at the bottom of the screen.
  list.push_back({"others\\pub1", TEX3DF_ARGB1555, PANEL_W, PANEL_H, PanelTexels(1)});
  list.push_back({"others\\pub3", TEX3DF_ARGB1555, PANEL_W, PANEL_H, PanelTexels(3)});
  for (KitTexture& t : ObjectTextures()) list.push_back({t.name, t.format, t.width, t.height, std::move(t.texels)});
  return list;
}

// A box of one colour standing on z = 0 in the modeller's axes, its top
// leaning by `lean` (the frames of the animated rows lean by frame, far
// enough apart to tell in a picture).
Model3ds Block(const std::string& name, float w, float d, float h, uint8_t r, uint8_t g, uint8_t b, float lean = 0.0f) {
  Model3ds m;
  m.materials.push_back({"M" + name, r, g, b, AmbientChunks::BOTH, ""});
  Mesh3ds mesh;
  mesh.name = name;
  for (int k = 0; k < 8; ++k) {
    const float x = (k & 1) ? w : -w, y = (k & 2) ? d : -d, z = (k & 4) ? h : 0.0f;
    mesh.vertices.push_back({x + ((k & 4) ? lean : 0.0f), y, z});
  }
  const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  Group3ds group{"M" + name, {}};
  for (const auto& q : quads) {
    mesh.faces.push_back({q[0], q[1], q[2]});
    mesh.faces.push_back({q[0], q[2], q[3]});
  }
  for (uint16_t f = 0; f < 12; ++f) group.faces.push_back(f);
  mesh.groups.push_back(group);
  m.meshes.push_back(mesh);
  return m;
}

struct KitObject {
  const char* name;
  float w, d, h;  // half width and depth, height, in model units (scaled at load)
  uint8_t r, g, b;
  int32_t frames;  // animation frame files name1 .. nameN
  const char* frameStem;
};

// Desert rows (track 0) and the rows of every track (100). Sizes are in the
// units of each row's scale (mostly 0.01: hundreds of units per metre). The
// drum and the fence stand taller than a car's contact outline rides over
// the ground (some 12 units), so that the cars knock them over.
constexpr KitObject DESERT_OBJECTS[] = {
    {"bugdead", 60, 30, 40, 90, 70, 40, 0, ""},        {"cactus1", 300, 300, 4000, 60, 140, 60, 0, ""},
    {"cactus2", 300, 300, 3000, 70, 150, 70, 0, ""},   {"cactus3", 400, 400, 2500, 50, 130, 60, 0, ""},
    {"vache1", 700, 1800, 1500, 240, 240, 230, 3, "vache"}, {"chato", 1500, 1500, 6000, 160, 150, 140, 0, ""},
    {"oiltank", 1200, 1200, 2500, 150, 150, 160, 0, ""}, {"oiltrack", 500, 500, 400, 20, 20, 20, 0, ""},
    {"rocher1", 2000, 1500, 1500, 150, 110, 80, 0, ""}, {"bidon", 400, 400, 2000, 200, 40, 30, 0, ""},
    {"bidon1", 300, 300, 900, 40, 60, 200, 0, ""},      {"barriere", 1500, 100, 1200, 240, 240, 240, 0, ""},
    {"checkp", 2500, 200, 2500, 240, 200, 0, 0, ""},    {"camion", 1200, 3000, 2500, 200, 120, 30, 0, ""},
    {"fuel", 400, 400, 1200, 220, 30, 30, 0, ""},      {"cater", 1500, 2000, 2000, 230, 180, 0, 0, ""},
    {"pano", 1000, 100, 2000, 30, 60, 200, 0, ""},      {"pano01", 1000, 100, 2000, 30, 160, 200, 0, ""},
    {"pano02", 1000, 100, 2000, 200, 60, 30, 0, ""},    {"pano03", 1000, 100, 2000, 60, 200, 30, 0, ""},
    {"pano04", 1000, 100, 2000, 200, 200, 30, 0, ""},   {"pano05", 1000, 100, 2000, 200, 30, 200, 0, ""},
    {"pano06", 1000, 100, 2000, 30, 200, 200, 0, ""},   {"pipbas", 300, 3000, 300, 120, 120, 120, 0, ""},
    {"pipcoud", 300, 300, 1000, 120, 120, 120, 0, ""},  {"piphor", 3000, 300, 300, 120, 120, 120, 0, ""},
    {"pipt", 300, 300, 1500, 120, 120, 120, 0, ""},     {"petrol", 800, 800, 1800, 180, 30, 30, 0, ""},
    {"fleche", 800, 100, 800, 250, 250, 0, 0, ""},
    {"pflag1", 300, 50, 2500, 250, 250, 250, 0, ""},     {"flag1", 600, 30, 2500, 220, 0, 0, 6, "flag"},
    {"pub1", 1500, 100, 1500, 250, 250, 250, 0, ""},    {"pub2", 1500, 100, 1500, 250, 200, 200, 0, ""},
    {"pub3", 1500, 100, 1500, 200, 200, 250, 0, ""},
};

// Boue's rows (track 2): beeches, stone walls, a graveyard, a tower, an
// inn, castles, standing stones, the boat and pier of its pond, the creature
// in the pond and a pig (its storm's lightning bolts are in shaped_models).
// muret3 is thinner than 2 units once scaled: a wall that breaks from a box
// that narrow.
constexpr KitObject BOUE_OBJECTS[] = {
    {"hetre", 600, 600, 4500, 60, 110, 40, 0, ""},      {"portail", 2500, 150, 2200, 110, 90, 70, 0, ""},
    {"muret1", 1500, 150, 500, 130, 120, 110, 0, ""},   {"muret2", 1200, 150, 450, 125, 115, 105, 0, ""},
    {"muret3", 900, 90, 400, 120, 110, 100, 0, ""},     {"tomb1", 300, 150, 600, 150, 150, 150, 0, ""},
    {"tomb2", 280, 140, 550, 140, 140, 145, 0, ""},     {"tomb3", 260, 130, 500, 160, 155, 150, 0, ""},
    {"croix", 80, 80, 1000, 200, 200, 200, 0, ""},      {"hetre1", 700, 700, 5000, 50, 100, 35, 0, ""},
    {"pierre", 400, 300, 300, 120, 115, 110, 0, ""},    {"tour", 1200, 1200, 9000, 140, 130, 120, 0, ""},
    {"mur1", 2000, 200, 1500, 150, 140, 125, 0, ""},    {"mur2", 1800, 200, 1400, 145, 135, 120, 0, ""},
    {"mur3", 1600, 200, 1300, 140, 130, 115, 0, ""},    {"auberge", 2500, 2000, 3000, 170, 140, 110, 0, ""},
    {"men1", 300, 300, 2500, 130, 130, 135, 0, ""},     {"men2", 320, 280, 2200, 125, 125, 130, 0, ""},
    {"men3", 280, 320, 2800, 135, 135, 140, 0, ""},     {"men4", 350, 300, 2000, 120, 120, 125, 0, ""},
    {"chato1", 3000, 3000, 6000, 150, 145, 140, 0, ""}, {"chato2", 2800, 2800, 5500, 145, 140, 135, 0, ""},
    {"chato3", 2600, 2600, 5000, 140, 135, 130, 0, ""}, {"chato4", 2400, 2400, 7000, 155, 150, 145, 0, ""},
    {"chato5", 2200, 2200, 6500, 150, 150, 150, 0, ""}, {"chato6", 2000, 2000, 8000, 160, 150, 140, 0, ""},
    {"barque", 1200, 450, 300, 120, 80, 40, 0, ""},     {"ponton", 1500, 300, 150, 110, 85, 55, 0, ""},
    {"nessy1", 400, 1500, 1800, 40, 90, 60, 3, "nessy"}, {"cochon1", 400, 800, 600, 240, 170, 170, 3, "cochon"},
};

// Ruines' rows (track 5): the amphitheatre, the aqueduct, stone blocks,
// cypresses, columns tall enough to break into two blocks and the fallen one
// they break into, the gate, panels, a plinth, statues and two temples; and
// sunset's (track 7) but its dancing figures: a ball, chairs, palms, arrows,
// the gate, straw huts, surfboards, a table and the yacht.
constexpr KitObject RUINES_SUNSET_OBJECTS[] = {
    {"ruamph", 4000, 2500, 2000, 176, 160, 130, 0, ""},  {"ruaqua1", 3000, 400, 3500, 190, 175, 150, 0, ""},
    {"ruaqua2", 3000, 400, 3500, 185, 170, 145, 0, ""},  {"ruaqua3", 3000, 400, 3500, 180, 165, 140, 0, ""},
    {"rubloc1", 600, 600, 500, 170, 160, 140, 0, ""},    {"rubloc2", 800, 500, 400, 160, 150, 130, 0, ""},
    {"rucipr1", 250, 250, 3500, 30, 90, 40, 0, ""},      {"rucipr2", 300, 300, 4200, 40, 100, 45, 0, ""},
    {"rucol1", 200, 200, 8000, 235, 230, 215, 0, ""},    {"rucol2", 200, 200, 8200, 232, 227, 212, 0, ""},
    {"rucol3", 200, 200, 8400, 229, 224, 209, 0, ""},    {"rucol4", 200, 200, 8600, 226, 221, 206, 0, ""},
    {"rucol5", 200, 200, 8800, 223, 218, 203, 0, ""},    {"rucol6", 200, 200, 9000, 220, 215, 200, 0, ""},
    {"rucol7", 200, 200, 9200, 217, 212, 197, 0, ""},    {"rucolb", 250, 1000, 250, 225, 220, 205, 0, ""},
    {"rugate", 2000, 300, 3500, 200, 185, 160, 0, ""},   {"rupan1", 800, 80, 1200, 120, 90, 60, 0, ""},
    {"rupan2", 800, 80, 1200, 110, 80, 55, 0, ""},       {"rusocle", 400, 400, 600, 200, 195, 185, 0, ""},
    {"rustat1", 200, 200, 1500, 220, 220, 225, 0, ""},   {"rustat2", 200, 200, 1600, 215, 215, 220, 0, ""},
    {"rustat3", 200, 200, 1400, 210, 210, 215, 0, ""},   {"rustat4", 200, 200, 1700, 205, 205, 210, 0, ""},
    {"rustat5", 200, 200, 1500, 200, 200, 205, 0, ""},   {"rutempl", 3000, 2000, 3000, 225, 215, 190, 0, ""},
    {"rutemp1", 2500, 2500, 3500, 215, 205, 185, 0, ""},
    {"suballe", 100, 100, 200, 250, 250, 60, 0, ""},     {"suchais", 200, 250, 400, 240, 240, 240, 0, ""},
    {"sucoco1", 250, 250, 4500, 110, 80, 40, 0, ""},     {"sucoco2", 250, 250, 5000, 100, 75, 35, 0, ""},
    {"sucoco3", 250, 250, 4000, 120, 85, 45, 0, ""},     {"sudir1", 800, 100, 800, 250, 120, 0, 0, ""},
    {"sudir2", 800, 100, 800, 250, 150, 0, 0, ""},       {"sugate", 2500, 200, 3000, 250, 200, 120, 0, ""},
    {"supail1", 1500, 1500, 2200, 200, 170, 90, 0, ""},  {"supail2", 1400, 1400, 2000, 190, 160, 80, 0, ""},
    {"susurf1", 150, 900, 60, 40, 180, 230, 0, ""},      {"susurf2", 150, 900, 60, 240, 90, 60, 0, ""},
    {"sutable", 500, 500, 400, 150, 110, 70, 0, ""},     {"suyatch", 1200, 4000, 2500, 250, 250, 250, 0, ""},
};

// The highway traffic (track 4): each type's near and far body, trucks
// (types 0..2) long and high, cars low, in their own colours, the police
// car white; and the two wheels, written round their axle (see
// TrafficWheel).
constexpr KitObject HIGHWAY_OBJECTS[] = {
    {"tblue1", 800, 2100, 1300, 40, 70, 200, 0, ""},   {"tblue2", 800, 2100, 1300, 40, 70, 200, 0, ""},
    {"tmaro1", 800, 2100, 1300, 130, 80, 40, 0, ""},   {"tmaro2", 800, 2100, 1300, 130, 80, 40, 0, ""},
    {"tred1", 800, 2100, 1300, 200, 40, 30, 0, ""},    {"tred2", 800, 2100, 1300, 200, 40, 30, 0, ""},
    {"vflic1", 750, 1900, 700, 240, 240, 250, 0, ""},  {"vflic2", 750, 1900, 700, 240, 240, 250, 0, ""},
    {"vmau1", 750, 1900, 700, 150, 40, 160, 0, ""},    {"vmau2", 750, 1900, 700, 150, 40, 160, 0, ""},
    {"vora1", 750, 1900, 700, 240, 140, 20, 0, ""},    {"vora2", 750, 1900, 700, 240, 140, 20, 0, ""},
    {"vred1", 750, 1900, 700, 220, 30, 40, 0, ""},     {"vred2", 750, 1900, 700, 220, 30, 40, 0, ""},
    {"vsh1", 750, 1900, 700, 60, 160, 70, 0, ""},      {"vsh2", 750, 1900, 700, 60, 160, 70, 0, ""},
};
constexpr const char* TRAFFIC_WHEELS[] = {"troue1", "vroue1"};

// A traffic wheel: a dark disc-like box 1.6 wide and 7.8 across, centred on
// its axle (the modeller's x), which its row keeps where it is.
Model3ds TrafficWheel(const std::string& name) {
  Model3ds m = Block(name, 80, 390, 780, 25, 25, 25);
  for (auto& v : m.meshes[0].vertices) v[2] -= 390.0f;
  return m;
}

// Every track's models, as plain blocks, so each track loads; those shaped
// above are written as such instead.
constexpr const char* OTHER_OBJECTS[] = {
    "lune", "losap1", "losap2", "losap3", "loblob", "logate", "mout01", "hwbui1", "sapin1", "sapin2", "sapin3",
    "troncut", "tronc", "foret", "pilonne", "barsecu", "chalet", "cab9", "neuf", "rochn1", "rochn2", "rochn3",
    "baresto", "skidn1", "skidd1", "skidg1", "skidm1", "maison1", "maison2", "fanion1", "fanion2", "filet",
    "filetpil", "eglise", "checkn", "direct", "hetre", "portail", "eclair1", "eclair2", "eclair3", "eclair4",
    "muret1", "muret2", "muret3", "tomb1", "tomb2", "tomb3", "croix", "hetre1", "pierre", "tour", "mur1",
    "mur2", "mur3", "auberge", "men1", "men2", "men3", "men4", "chato1", "chato2", "chato3", "chato4", "chato5",
    "chato6", "barque", "ponton", "nessy1", "cochon1", "rdir", "hwbui2", "hwbui3", "hwcuve", "hwcuve1",
    "hwcuve2", "hwguid", "hwhlm1", "hwhlm2", "hwhlm3", "hwhlm4", "hwhlm5", "hwhlm6", "hwpan1", "hwpan2",
    "hwpan3", "hwgate", "vlum1", "sufma1", "sufmb1", "sufmc1", "sufmd1", "suballe", "suchais", "sucoco1",
    "sucoco2", "sucoco3", "sudir1", "sudir2", "sugate", "supail1", "supail2", "susurf1", "susurf2", "sutable",
    "suyatch", "troue1", "vroue1", "vgate", "vroc1", "vroc2", "vroc3", "vroc4", "vroc5", "vroc6", "varbre1",
    "varbre2", "varbre3", "varbre4", "varbre5", "vpont1", "vlum2", "vlum3", "vbar1", "vbar2", "vbar3", "vbar4",
    "vbar5", "vpano1", "vpano2", "vpano3", "vpano4", "vpano5", "vpano6", "tblue1", "tblue2", "tmaro1", "tmaro2",
    "tred1", "tred2", "vflic1", "vflic2", "vmau1", "vmau2", "vora1", "vora2", "vred1", "vred2", "vsh1", "vsh2",
    "ruamph", "ruaqua1", "ruaqua2", "ruaqua3", "rubloc1", "rubloc2", "rucipr1", "rucipr2", "rucol1", "rucol2",
    "rucol3", "rucol4", "rucol5", "rucol6", "rucol7", "rucolb", "rugate", "rupan1", "rupan2", "rusocle",
    "rustat1", "rustat2", "rustat3", "rustat4", "rustat5", "rutempl", "rutemp1", "sabuis1", "safdes1",
    "safdes2", "safdes3", "safond", "safoug1", "safoug2", "safoug3", "safoug4", "safoug5", "safoug6", "safoug7",
    "sapalm1", "sapalm2", "sapalm3", "saplmb1", "saplmb2", "saplmb3", "saplmb4", "satronc1", "satronc2",
    "satronc3", "satronc4", "satronc5", "sadir1", "sadir2", "sagate", "samais1", "samais2", "icdir1", "icdir2",
    "icsous", "icpg01", "icdir3", "icsou1", "icbloc1", "icbloc2", "icbloc", "icgate", "icancre", "icgate1",
    "icgate2", "saelef1", "lflag01", "projo", "chenille",
};
// The animation frames of the animated rows among them: stem, first and last
// number, and whether the numbers take two digits.
struct FrameList {
  const char* stem;
  int32_t first, last;
  bool twoDigits;
};
constexpr FrameList OTHER_FRAMES[] = {
    {"mout", 1, 3, true},   {"icpg", 1, 4, true},
    {"sufma", 1, 4, false}, {"sufmb", 1, 4, false}, {"sufmc", 1, 4, false},  {"sufmd", 1, 4, false},
    {"lflag", 1, 6, true},
};

}  // namespace

// The minimap's seven vehicle icons, 40 x 64 texels, 4 a row, each its own
// colour so that a wrong icon shows: a car seen from above, its nose (pale)
// toward the top of the cell, transparent round it.
std::vector<uint16_t> MiniCarTexels() {
  constexpr uint32_t WIDTH = 256, HEIGHT = 128, ICON_W = 40, ICON_H = 64;
  static const int32_t COLOURS[7][3] = {{230, 40, 40},  {40, 200, 40},  {50, 90, 240}, {240, 220, 40},
                                        {230, 60, 230}, {40, 220, 230}, {250, 140, 30}};
  std::vector<uint16_t> texels(WIDTH * HEIGHT, 0);
  for (uint32_t i = 0; i < 7; ++i) {
    const uint32_t left = ICON_W * (i % 4), top = ICON_H * (i / 4);
    const int32_t* c = COLOURS[i];
    for (uint32_t y = 4; y < ICON_H - 4; ++y)
      for (uint32_t x = 8; x < ICON_W - 8; ++x) {
        const bool nose = y < 16;
        texels[(top + y) * WIDTH + left + x] =
            nose ? Argb1555((c[0] + 255) / 2, (c[1] + 255) / 2, (c[2] + 255) / 2) : Argb1555(c[0], c[1], c[2]);
      }
  }
  return texels;
}

std::vector<DataFile> RaceKitTextureArchiveFiles() {
  std::vector<DataFile> files;
  for (const KitTex& t : RaceKitTextures()) files.push_back({2, t.path + ".tex", MakeTex(t.format, t.width, t.height, t.texels)});
  return files;
}

std::vector<DataFile> RaceKitTextureLooseFiles() {
  std::vector<DataFile> files;
  for (const KitTex& t : RaceKitTextures())
    files.push_back({0, t.path + ".3df", Make3df(static_cast<int32_t>(t.format), t.width, t.height, t.texels)});
  return files;
}

std::vector<DataFile> ObjectModelFiles() {
  std::vector<DataFile> files;
  std::vector<KitObject> shaped(std::begin(DESERT_OBJECTS), std::end(DESERT_OBJECTS));
  shaped.insert(shaped.end(), std::begin(BOUE_OBJECTS), std::end(BOUE_OBJECTS));
  shaped.insert(shaped.end(), std::begin(RUINES_SUNSET_OBJECTS), std::end(RUINES_SUNSET_OBJECTS));
  shaped.insert(shaped.end(), std::begin(HIGHWAY_OBJECTS), std::end(HIGHWAY_OBJECTS));
  for (const char* name : TRAFFIC_WHEELS)
    files.push_back({1, std::string("others\\") + name + ".3ds", Make3ds(TrafficWheel(name))});
  for (const KitObject& o : shaped) {
    Model3ds model = Block(o.name, o.w, o.d, o.h, o.r, o.g, o.b);
    KitApplyObjectTexture(o.name, &model);
    const std::string name = o.name;
    if (name == "pub1" || name == "pub3") {
      // Found by name in the texture table by the attract demo: the face of
      // the panel shows the whole picture, upright.
      model.materials[0].texture = name + ".3df";
      for (const auto& v : model.meshes[0].vertices)
        model.meshes[0].mapping.push_back({v[0] > 0 ? 1.0f : 0.0f, v[2] > 0 ? 0.0f : 1.0f});
    }
    files.push_back({1, std::string("others\\") + o.name + ".3ds", Make3ds(model)});
    for (int32_t k = 1; k <= o.frames; ++k) {
      // The first frame is the model's own file.
      if (std::string(o.frameStem) + std::to_string(k) == o.name) continue;
      const Model3ds frame = Block(o.name, o.w, o.d, o.h, o.r, o.g, o.b, o.w * 0.5f * static_cast<float>(k - 1));
      files.push_back({1, std::string("others\\") + o.frameStem + std::to_string(k) + ".3ds",
                       Make3dsFrame(frame.meshes[0].vertices)});
    }
  }
  files.push_back({1, "others\\helicop.3ds", Make3ds(HelicopterModel())});
  uint32_t hue = 7;
  for (const char* name : OTHER_OBJECTS) {
    hue = hue * 1103515245u + 12345u;  // drawn for the shaped ones too, so the others keep their colours
    bool isShaped = false;
    for (const KitObject& o : shaped) isShaped = isShaped || std::string(o.name) == name;
    for (const char* wheel : TRAFFIC_WHEELS) isShaped = isShaped || std::string(wheel) == name;
    if (isShaped || IsShapedObjectModel(name)) continue;
    const auto shade = [&](int shift) { return static_cast<uint8_t>(80 + ((hue >> shift) & 127)); };
    Model3ds light;
    if (KitLightModel(name, &light)) {
      files.push_back({1, std::string("others\\") + name + ".3ds", Make3ds(light)});
      continue;
    }
    files.push_back({1, std::string("others\\") + name + ".3ds", Make3ds(Block(name, 500, 500, 1500, shade(8), shade(15), shade(22)))});
  }
  for (DataFile& f : ShapedObjectModelFiles()) files.push_back(std::move(f));
  for (const FrameList& list : OTHER_FRAMES)
    for (int32_t k = list.first; k <= list.last; ++k) {
      const std::string name = std::string(list.stem) + (list.twoDigits && k < 10 ? "0" : "") + std::to_string(k);
      bool own = false;  // the first frame is the model's own file
      for (const char* model : OTHER_OBJECTS) own = own || name == model;
      if (own) continue;
      const Model3ds frame = Block(name, 500, 500, 1500, 0, 0, 0, 250.0f * static_cast<float>(k - list.first));
      files.push_back({1, "others\\" + name + ".3ds", Make3dsFrame(frame.meshes[0].vertices)});
    }
  return files;
}

namespace {

// The guide arrow: a slab bearing its own texture, which the HUD draws as a
// decal.
Model3ds GuideArrow() {
  Model3ds arrow = Block("dfleche", 4, 8, 1, 250, 220, 0);
  arrow.materials[0].texture = "fleche.3df";
  for (const auto& v : arrow.meshes[0].vertices) arrow.meshes[0].mapping.push_back({v[0] > 0 ? 1.0f : 0.0f, v[1] > 0 ? 1.0f : 0.0f});
  return arrow;
}

}  // namespace

namespace {

// A quad of the in-car models seen from either side: the cockpit drops the
// faces turned away from the eye, so the quad is written twice, the second
// copy 0.05 before the first with the opposite winding. No two vertices of
// the model meet, so that the dents' weld leaves its vertices as they are.
void TwoSidedQuad(Mesh3ds& mesh, Group3ds& group, const std::array<std::array<float, 3>, 4>& corners) {
  const auto& a = corners[0];
  const auto& b = corners[1];
  const auto& c = corners[2];
  const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (float& x : n) x = length > 0.0f ? 0.05f * x / length : 0.0f;
  const uint16_t windings[2][2][3] = {{{0, 1, 2}, {0, 2, 3}}, {{0, 2, 1}, {0, 3, 2}}};
  float centre[3] = {};
  for (const auto& corner : corners)
    for (int i = 0; i < 3; ++i) centre[i] += 0.25f * corner[i];
  for (int side = 0; side < 2; ++side) {
    const auto base = static_cast<uint16_t>(mesh.vertices.size());
    // The copy is also drawn in a little, so that no dent brings its corners onto the first's.
    const float in = 0.05f * static_cast<float>(side), out = static_cast<float>(side);
    for (const auto& c : corners)
      mesh.vertices.push_back({c[0] + out * n[0] + in * (centre[0] - c[0]), c[1] + out * n[1] + in * (centre[1] - c[1]),
                               c[2] + out * n[2] + in * (centre[2] - c[2])});
    for (const auto& f : windings[side]) {
      group.faces.push_back(static_cast<uint16_t>(mesh.faces.size()));
      mesh.faces.push_back({static_cast<uint16_t>(base + f[0]), static_cast<uint16_t>(base + f[1]),
                            static_cast<uint16_t>(base + f[2])});
    }
  }
}

// Where the game puts each car's eye in the in-car view, in the frame the
// interior is drawn in (x across, y up from the body point, z forward).
constexpr std::array<float, 3> CAR_EYES[6] = {
    {-0.31f, 10.7f, 0.1775f},  {0.20625f, 11.755f, -2.1275f}, {-3.1f, 11.4913f, -0.44125f},
    {0.16875f, 9.99875f, -3.265f}, {0.0f, 12.365f, -8.03875f}, {-0.06f, 11.1575f, -6.42075f},
};

// A box of two-sided quads, drawn from inside or out.
void TwoSidedBox(Mesh3ds& mesh, Group3ds& group, const std::array<float, 3>& lo, const std::array<float, 3>& hi) {
  const float x0 = lo[0], y0 = lo[1], z0 = lo[2], x1 = hi[0], y1 = hi[1], z1 = hi[2];
  TwoSidedQuad(mesh, group, {{{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}});
  TwoSidedQuad(mesh, group, {{{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}}});
  TwoSidedQuad(mesh, group, {{{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}}});
  TwoSidedQuad(mesh, group, {{{x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}, {x0, y0, z1}}});
  TwoSidedQuad(mesh, group, {{{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}}});
}

// The car's inside around its driver's eye: the dashboard ahead and below,
// its dial under the gauge needles, the door sills, the windscreen's pillars
// and the roof's front edge, leaving the road ahead in sight. Written in the
// modeller's axes (x across, y forward, z up): the loader centres the model
// across and along, sets its lowest point on the body point and moves it 2
// back, so the door sills, running from the floor, are as long behind that
// point as ahead of it, and everything else is placed from the eye.
Model3ds ModelCarInterior(int32_t car) {
  Model3ds m;
  m.materials.push_back({"INTDASH", 62, 60, 58, AmbientChunks::BOTH, ""});
  m.materials.push_back({"INTFRAME", 40, 40, 44, AmbientChunks::BOTH, ""});
  m.materials.push_back({"INTDIAL", 16, 16, 18, AmbientChunks::BOTH, ""});
  m.materials.push_back({"INTRIM", 200, 200, 205, AmbientChunks::BOTH, ""});
  Mesh3ds mesh;
  mesh.name = "interior";
  Group3ds dash{"INTDASH", {}}, frame{"INTFRAME", {}}, dial{"INTDIAL", {}}, rim{"INTRIM", {}};
  const std::array<float, 3>& eye = CAR_EYES[car];
  // From the drawn frame (z forward) to the modeller's (y forward, 2 ahead).
  const float ex = eye[0], ey = eye[1], ez = eye[2] + 2.0f;
  constexpr float HALF_WIDTH = 10.0f;
  // The dashboard: a shelf 4 below the eye from 4 to 13 ahead of it, seen
  // from above (so the sun lights it as it lights the ground).
  const float dashNear = ez + 4.0f, dashBack = ez + 13.0f, dashTop = ey - 4.0f;
  TwoSidedQuad(mesh, dash, {{{-HALF_WIDTH, dashNear, dashTop}, {HALF_WIDTH, dashNear, dashTop}, {HALF_WIDTH, dashBack, dashTop},
                             {-HALF_WIDTH, dashBack, dashTop}}});
  // The dial where the needles turn (2.8 and 3.1 right of the eye, 6 below
  // and 10 ahead), facing the eye: nearer than the shelf's far edge, it is
  // drawn over the shelf.
  const float dialX = ex + 2.95f, dialY = ez + 10.0f, dialZ = ey - 6.0f;
  constexpr int SEGMENTS = 16;
  for (int s = 0; s < SEGMENTS; ++s) {
    const float a0 = 6.2831853f * static_cast<float>(s) / SEGMENTS, a1 = 6.2831853f * static_cast<float>(s + 1) / SEGMENTS;
    const auto at = [&](float r, float a) { return std::array<float, 3>{dialX + r * std::cos(a), dialY, dialZ + r * std::sin(a)}; };
    TwoSidedQuad(mesh, rim, {{at(1.35f, a0), at(1.6f, a0), at(1.6f, a1), at(1.35f, a1)}});
    TwoSidedQuad(mesh, dial, {{at(0.0f, a0), at(1.35f, a0), at(1.35f, a1), at(0.01f, a1)}});
  }
  // The windscreen's pillars, from the dashboard's corners up to the roof,
  // and the roof's front edge across.
  const float roof = ey + 5.0f, roofFront = ez + 8.0f;
  for (const float side : {-1.0f, 1.0f}) {
    const float outer = side * HALF_WIDTH, inner = side * (HALF_WIDTH - 1.0f);
    TwoSidedQuad(mesh, frame, {{{outer, dashBack, dashTop}, {inner, dashBack, dashTop}, {inner + side * 0.5f, roofFront, roof},
                                {outer, roofFront, roof}}});
  }
  TwoSidedBox(mesh, frame, {-HALF_WIDTH, roofFront - 6.0f, roof}, {HALF_WIDTH, roofFront, roof + 1.0f});
  // The door sills, 3 below the eye, from the floor up.
  const float back = -dashBack;
  for (const float side : {-1.0f, 1.0f}) {
    const float outer = side * HALF_WIDTH, inner = side * (HALF_WIDTH - 1.5f);
    TwoSidedBox(mesh, frame, {std::min(outer, inner), back, 0.0f}, {std::max(outer, inner), dashBack, ey - 3.0f});
  }
  for (Group3ds* g : {&dash, &frame, &dial, &rim}) mesh.groups.push_back(*g);
  m.meshes.push_back(mesh);
  return m;
}

// The dashboard model, placed 6 to the left of the body point and 10 above
// it, beside the driver: the door's arm rest, a rail along the window.
Model3ds ModelDashboard() {
  Model3ds m;
  m.materials.push_back({"BORD", 90, 86, 80, AmbientChunks::BOTH, ""});
  Mesh3ds mesh;
  mesh.name = "bord";
  Group3ds g{"BORD", {}};
  TwoSidedBox(mesh, g, {-0.5f, -6.0f, -2.4f}, {0.5f, 6.0f, -1.8f});
  mesh.groups.push_back(g);
  m.meshes.push_back(mesh);
  return m;
}

// The steering wheel, flat in the modeller's x-z plane (the screen's plane
// in the in-car view), in screen units (512 across): a textured rim of
// sixteen segments, the bar across and the spoke down. The in-car view turns
// it a quarter turn at rest, so it is written a quarter turn back: the bar
// along z, the spoke along x.
Model3ds ModelSteeringWheel() {
  Model3ds m;
  m.materials.push_back({"VOLANT", 255, 255, 255, AmbientChunks::BOTH, "car.3df"});
  Mesh3ds mesh;
  mesh.name = "volant";
  Group3ds g{"VOLANT", {}};
  const auto quad = [&](const std::array<std::array<float, 3>, 4>& corners) {
    const auto base = static_cast<uint16_t>(mesh.vertices.size());
    const float st[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
      mesh.vertices.push_back(corners[i]);
      mesh.mapping.push_back({st[i][0], st[i][1]});
    }
    for (const auto& f : {std::array<uint16_t, 3>{0, 1, 2}, std::array<uint16_t, 3>{0, 2, 3}}) {
      g.faces.push_back(static_cast<uint16_t>(mesh.faces.size()));
      mesh.faces.push_back({static_cast<uint16_t>(base + f[0]), static_cast<uint16_t>(base + f[1]),
                            static_cast<uint16_t>(base + f[2])});
    }
  };
  constexpr float INNER = 98.0f, OUTER = 110.0f, BAR = 5.0f, PI = 3.14159265f;
  constexpr int SEGMENTS = 16;
  for (int i = 0; i < SEGMENTS; ++i) {
    const float a = 2.0f * PI * static_cast<float>(i) / SEGMENTS, b = 2.0f * PI * static_cast<float>(i + 1) / SEGMENTS;
    quad({{{INNER * std::cos(a), 0.0f, INNER * std::sin(a)},
           {OUTER * std::cos(a), 0.0f, OUTER * std::sin(a)},
           {OUTER * std::cos(b), 0.0f, OUTER * std::sin(b)},
           {INNER * std::cos(b), 0.0f, INNER * std::sin(b)}}});
  }
  quad({{{-BAR, 0.0f, -INNER}, {BAR, 0.0f, -INNER}, {BAR, 0.0f, INNER}, {-BAR, 0.0f, INNER}}});
  quad({{{0.0f, 0.0f, -BAR}, {INNER, 0.0f, -BAR}, {INNER, 0.0f, BAR}, {0.0f, 0.0f, BAR}}});
  mesh.groups.push_back(g);
  m.meshes.push_back(mesh);
  return m;
}

}  // namespace

std::vector<DataFile> VehicleModelFiles() {
  std::vector<DataFile> files;
  const auto model = [&](const std::string& path, const Model3ds& m) { files.push_back({1, path, Make3ds(m)}); };
  for (int32_t car = 1; car <= 6; ++car) {
    const std::string dir = "car" + std::to_string(car) + "\\";
    for (int level = 0; level < CAR_BODY_LEVELS; ++level)
      model(dir + "res" + std::to_string(level + 1) + "\\ziziz.3ds", CarBodyModel(level));
    model(dir + "int\\ziziz.3ds", ModelCarInterior(car - 1));
    for (const char* level : {"res1\\", "res2\\", "res3\\"}) {
      for (const char* wheel : {"rouearg", "roueard"}) model(dir + level + wheel + ".3ds", CarRearWheelModel());
      for (const char* wheel : {"roueavg", "roueavd"}) model(dir + level + wheel + ".3ds", CarFrontWheelModel());
    }
    model(dir + "volant.3ds", ModelSteeringWheel());
    model(dir + "bord.3ds", ModelDashboard());
  }
  for (int32_t k = 1; k <= 4; ++k) {
    model("kit\\kcaisse" + std::to_string(k) + ".3ds", ModelCarBody());
    model("kit\\kmotor" + std::to_string(k) + ".3ds", CarPartModel("kmotor", 3, 4, 3, 90, 90, 100));
    for (const char* dir : {"kit\\res1\\", "kit\\res2\\", "kit\\res3\\", "kit\\"})
      for (const char* wheel : {"krarg0", "krard0", "kravg0", "kravd0"}) {
        const bool rear = std::string(wheel).rfind("krar", 0) == 0;
        model(dir + std::string(wheel) + std::to_string(k) + ".3ds", rear ? CarRearWheelModel() : CarFrontWheelModel());
      }
  }
  model("kit\\kvolant.3ds", CarPartModel("kvolant", 2, 2, 1, 30, 30, 30));
  model("man.3ds", DriverModel());
  for (int32_t k = 1; k <= 6; ++k) files.push_back({1, "man" + std::to_string(k) + ".3ds", Make3dsFrame(DriverFrame(k))});
  model("volext.3ds", CarPartModel("volext", 2, 2, 1, 30, 30, 30));
  model("dfleche.3ds", GuideArrow());
  return files;
}

}  // namespace datakit
