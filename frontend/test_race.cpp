// TORVANE_TEST_RACE presets the choices the menus would make, for tests and
// headless runs (see the README). Kept apart from the menus so that a
// program linking stand-ins of the front end never drags it in through this
// parser's string code.
#include "frontend/test_race.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "backend_common/display.h"
#include "platform/app.h"
#include "frontend/frontend.h"
#include "frontend/menu_items.h"
#include "race/race.h"

namespace {

constexpr int32_t CHAMPIONSHIP_MODE = 3;

struct TestRaceChoice {
  bool parsed, set, taken;
  int32_t track = -1, mode = -1, players = -1, display = -1, effects = -1;
  int32_t start = TEST_START_RACE;
  int32_t controls[2] = {-1, -1};
};
TestRaceChoice gTestRace;

// One "key=value" item of the setting; false when it does not parse.
bool ParseTestItem(const std::string& item) {
  const size_t eq = item.find('=');
  if (eq == std::string::npos) return false;
  const std::string key = item.substr(0, eq);
  const char* text = item.c_str() + eq + 1;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text) return false;
  auto inRange = [&](long lo, long hi) { return value >= lo && value <= hi; };
  if (key == "track" && inRange(0, 9) && *end == '\0') {
    gTestRace.track = static_cast<int32_t>(value);
  } else if (key == "mode" && inRange(0, 4) && *end == '\0') {
    gTestRace.mode = static_cast<int32_t>(value);
  } else if (key == "players" && inRange(0, 1) && *end == '\0') {
    gTestRace.players = static_cast<int32_t>(value);
  } else if (key == "display" && inRange(0, DISPLAY_MODE_COUNT - 1) && *end == '\0') {
    gTestRace.display = static_cast<int32_t>(value);
  } else if (key == "demo" && inRange(0, 2) && *end == '\0') {
    gTestRace.start = value == 0 ? TEST_START_RACE : value == 1 ? TEST_START_DEMO : TEST_START_DEMO_REPEAT;
  } else if (key == "credits" && inRange(0, 1) && *end == '\0') {
    gTestRace.start = value == 0 ? TEST_START_RACE : TEST_START_CREDITS;
  } else if (key == "effects" && inRange(0, 1) && *end == '\0') {
    gTestRace.effects = static_cast<int32_t>(value);
  } else if (key == "controls" && inRange(0, 3)) {
    gTestRace.controls[0] = static_cast<int32_t>(value);
    if (*end == ',') {
      const char* second = end + 1;
      const long v2 = std::strtol(second, &end, 10);
      if (end == second || v2 < 0 || v2 > 3) return false;
      gTestRace.controls[1] = static_cast<int32_t>(v2);
    }
    if (*end != '\0') return false;
  } else {
    return false;
  }
  return true;
}

void ReadTestRace() {
  gTestRace.parsed = true;
  const char* text = std::getenv("TORVANE_TEST_RACE");
  if (!text) return;
  gTestRace.set = true;
  std::string all = text;
  size_t start = 0;
  while (start <= all.size()) {
    size_t stop = all.find_first_of(" ,;", start);
    // A comma inside "controls=1,2" belongs to the item.
    if (stop != std::string::npos && all[stop] == ',' && all.compare(start, 9, "controls=") == 0)
      stop = all.find_first_of(" ;", stop);
    const std::string item = all.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
    if (!item.empty() && !ParseTestItem(item)) std::fprintf(stderr, "TORVANE_TEST_RACE: ignored '%s'\n", item.c_str());
    if (stop == std::string::npos) break;
    start = stop + 1;
  }
}

}  // namespace

bool FrontEndTestPresetSet() {
  if (!gTestRace.parsed) ReadTestRace();
  return gTestRace.set;
}

int32_t FrontEndTakeTestPreset() {
  if (!FrontEndTestPresetSet() || gTestRace.taken) return -1;
  gTestRace.taken = true;
  if (gTestRace.track >= 0) gRace.trackIndex = gTestRace.track;
  if (gTestRace.mode >= 0) gRace.gameMode = gTestRace.mode;
  // A championship preset is one running on its track: the start takes it.
  if (gRace.gameMode == CHAMPIONSHIP_MODE) gMenu.championshipTrack = gRace.trackIndex;
  if (gTestRace.players >= 0) gRace.playersMode = gTestRace.players;
  if (gTestRace.effects >= 0) gOptions.detail[3] = static_cast<uint8_t>(gTestRace.effects);
  if (gTestRace.controls[0] >= 0) gPlayer1Vehicle->controller = gTestRace.controls[0];
  if (gTestRace.controls[1] >= 0) gPlayer2Vehicle->controller = gTestRace.controls[1];
  // Opened here, without the frames the menus' own switch shows, so a run
  // counts the frames it always has.
  if (gTestRace.display >= 0 && RdrSetMode(gDisplayModes[gTestRace.display], AppGetWindow())) {
    gDisplayModeIndex = gTestRace.display;
    gOptions.hardwarePreset = gTestRace.display;
  }
  return gTestRace.start;
}
