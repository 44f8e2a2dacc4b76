// The screen faces the presentation draws, kept as they were at the call and
// passed on; the race-over send counted.
#include "hud_support.h"

#include "engine3d/mesh.h"

std::vector<DrawnQuad> gQuads;
int gRaceOverSends;

namespace {
void Keep(Face* face, DrawnQuad::Kind kind, float alpha) {
  DrawnQuad d{kind, alpha, *face, {}};
  for (int i = 0; i < face->vertexCount && i < 4; ++i) d.corners[i] = gMesh.vertices[face->index[i]];
  gQuads.push_back(d);
}
}  // namespace

extern "C" {
void __real__Z16RdrDrawFaceDecalP4Face(Face*);
void __real__Z19RdrDrawFaceTexAlphaP4Facef(Face*, float);
void __real__Z20RdrDrawFaceFlatAlphaP4Face(Face*);
void __real__Z15RdrDrawFaceFlatP4Face(Face*);

void __wrap__Z16RdrDrawFaceDecalP4Face(Face* face) {
  Keep(face, DrawnQuad::DECAL, 0.0f);
  __real__Z16RdrDrawFaceDecalP4Face(face);
}
void __wrap__Z19RdrDrawFaceTexAlphaP4Facef(Face* face, float alpha) {
  Keep(face, DrawnQuad::FADED, alpha);
  __real__Z19RdrDrawFaceTexAlphaP4Facef(face, alpha);
}
void __wrap__Z20RdrDrawFaceFlatAlphaP4Face(Face* face) {
  Keep(face, DrawnQuad::SHADE, 0.0f);
  __real__Z20RdrDrawFaceFlatAlphaP4Face(face);
}
void __wrap__Z15RdrDrawFaceFlatP4Face(Face* face) {
  Keep(face, DrawnQuad::FLAT, 0.0f);
  __real__Z15RdrDrawFaceFlatP4Face(face);
}
void __wrap__Z15NetSendRaceOverv() { ++gRaceOverSends; }
}

#include <cstdlib>

#include "backend_common/display.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "presentation/text.h"
#include "race/assets.h"
#include "race/race.h"
#include "shell/game.h"
#include "support/test_support.h"

// The shell's calls from below, which this suite leaves out.
void GameQuit() { std::abort(); }

void HudTest::SetUp() {
  ResetHalForTest(1000);
  GfxSetBoardConfig(GfxBoardConfig{});
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  RecordFatalErrors();
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  gRace = RaceState{};
  gRace.viewHeight = gRdrState.screenHeight;
  gRace.lapCount = 3;
  gRace.gameMode = 1;
  gRace.trajectoriesLoaded = 1;
  gRace.timeLimit = 241500;
  gPlayer1 = VehiclePlayer1Initial();
  for (Vehicle& v : gVehicleRecords) v = Vehicle{};
  for (Vehicle*& v : gVehicleTable) v = nullptr;
  gPlayer1Vehicle = &gPlayer1;
  gPlayer2Vehicle = &gVehicleRecords[0];
  gPlayer1.lapTimerSlot = 17;
  gPlayer2Vehicle->lapTimerSlot = 12;
  gOptions = Options{};
  gNetParticipants = NetParticipants{};
  gRaceResults.bestLapMs = VEHICLE_BEST_LAP_NONE;
  gHudMessages = HudMessages{{-1, 0}, {{-1, 0}, {-1, 0}}, 1, -1};
  gVehicleAssets = VehicleAssets{};
  HudFont.letterTexture = TEST_LETTERS;
  HudFont.digitTexture = TEST_DIGITS;
  AppTimerStart(RACE_CLOCK_TIMER);
  gQuads.clear();
  gRaceOverSends = 0;
}

void HudTest::TearDown() { RdrClose(); }

std::vector<PrintedLine> HudTest::Printed() const {
  std::vector<PrintedLine> lines;
  float lastX = 0.0f, lastY = -1.0f, advance = 0.0f;
  for (const DrawnQuad& d : gQuads) {
    const uint32_t texture = d.face.type & 0xFFFFFF;
    if ((d.face.type >> 24) != 2 || (texture != TEST_LETTERS && texture != TEST_DIGITS)) continue;
    if (d.kind != DrawnQuad::DECAL && d.kind != DrawnQuad::FADED) continue;
    // Glyph cells are 32 x 64 texels sampled from one texel in.
    const int cell = static_cast<int>(d.face.st[0]) / 32 + static_cast<int>(d.face.st[1]) / 64 * 8;
    char ch = texture == TEST_DIGITS ? static_cast<char>(cell < 8 ? '0' + cell : '5' + cell - 8)
                                     : cell == 26 ? '/' : cell == 27 ? ':' : static_cast<char>('A' + cell);
    const float x = d.corners[0].screenX, y = d.corners[0].screenY;
    advance = d.corners[1].screenX - x;
    const bool sameLine = !lines.empty() && y == lastY && x > lastX && x - lastX <= 3.0f * advance + 0.5f &&
                          lines.back().faded == (d.kind == DrawnQuad::FADED);
    if (!sameLine) {
      lines.push_back({static_cast<int>(x), static_cast<int>(y), "", d.kind == DrawnQuad::FADED});
    } else {
      for (float gap = x - lastX - advance; gap > 0.5f; gap -= advance) lines.back().text += ' ';
    }
    lines.back().text += ch;
    lastX = x;
    lastY = y;
  }
  return lines;
}

const PrintedLine* HudTest::Find(const std::string& text) const {
  static std::vector<PrintedLine> kept;
  kept = Printed();
  for (const PrintedLine& l : kept)
    if (l.text == text) return &l;
  return nullptr;
}

std::vector<std::string> HudTest::Texts() const {
  std::vector<std::string> out;
  for (const PrintedLine& l : Printed()) out.push_back(l.text);
  return out;
}
