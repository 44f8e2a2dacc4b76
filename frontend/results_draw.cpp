// The screens of the best-times tables: the panel and the championship
// standings over the podium scene, and the listing of the records page.
#include <algorithm>
#include <cstdio>

#include "backend_common/display.h"
#include "engine3d/mathutil.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/results.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "race/race.h"

namespace {

constexpr int32_t GAME_MODE_CHAMPIONSHIP = 3;
constexpr float CHAMPIONSHIP_FADE_OUT_MS = 15000.0f;
constexpr float CHAMPIONSHIP_PANEL_END_MS = 16000.0f;
constexpr int32_t PANEL_TOP = 50, PANEL_BOTTOM = 320;
constexpr int32_t HEADING_Y = 60, SUBHEADING_Y = 80, ROWS_Y = 110;
constexpr int32_t BAND_LEFT = 5, BAND_RIGHT = 507, BAND_HEIGHT = 12;
constexpr int32_t LINE_BYTES = 96;

// Minutes, seconds and hundredths of a time.
struct Clock {
  int32_t minutes, seconds, hundredths;
};
Clock ClockOf(int32_t ms) {
  const int32_t minutes = ms / 60000;
  return {minutes, ms / 1000 - 60 * minutes, ms % 1000 / 10};
}

struct Line {
  char text[LINE_BYTES];
};
// "<first> m:ss:hh <second> m:ss:hh", the line of a best lap and time.
Line TwoTimes(const char* first, int32_t firstMs, const char* second, int32_t secondMs) {
  const Clock a = ClockOf(firstMs), b = ClockOf(secondMs);
  Line line;
  std::snprintf(line.text, sizeof line.text, "%s %d:%02d:%02d %s %d:%02d:%02d", first, a.minutes, a.seconds, a.hundredths,
                second, b.minutes, b.seconds, b.hundredths);
  return line;
}
Line BestLine(const ScoresEntry& entry) { return TwoTimes("BEST LAP", entry.bestLapMs, "BEST TIME", entry.bestRaceMs); }
Line RowLine(const ScoresRow& row) { return TwoTimes("LAP", row.lapMs, "TOTAL", row.raceMs); }
Line TotalLine(int32_t ms) {
  const Clock total = ClockOf(ms);
  Line line;
  std::snprintf(line.text, sizeof line.text, "TOTAL %03d:%02d:%02d", total.minutes, total.seconds, total.hundredths);
  return line;
}

const char* ModeText(int32_t mode) { return gMenuItems[static_cast<size_t>(MENU_ROW_GAME_MODES + mode)].label; }
const char* TrackText(int32_t track) { return gMenuItems[static_cast<size_t>(MENU_ROW_TRACKS + track)].label; }

// The entry of the current mode and track, null outside modes 1..3.
const ScoresEntry* CurrentEntry() {
  const ScoresTable* table = ScoresTableOf(gRace.gameMode);
  const int32_t track = gRace.trackIndex;
  if (!table || track < 0 || track >= SCORES_TRACKS) return nullptr;
  return &table->entries[track];
}

// Positions over the podium: x in 512ths of the screen width, y in 384ths
// of the view's height from its top.
int16_t X(int32_t x) { return static_cast<int16_t>(gRdrState.screenWidth * x / 512); }
int16_t Y(int32_t y) { return static_cast<int16_t>(gRace.viewTop + gRace.viewHeight * y / 384); }

// The panel's alpha and the texts' fade level, t ms after they appeared;
// the texts print faded until they are whole.
struct Fade {
  int32_t panelAlpha;
  float text;
  void Centred(int32_t y, const char* text) const {
    if (this->text < 255.0f) {
      HudFont.fadeLevel = this->text;
      TextPrintFadedCentred(Y(y), "%s", text);
    } else {
      TextPrintCentred(Y(y), "%s", text);
    }
  }
  void At(int32_t x, int32_t y, const char* text) const {
    if (this->text < 255.0f) {
      HudFont.fadeLevel = this->text;
      TextPrintFadedAt(X(x), Y(y), "%s", text);
    } else {
      TextPrintAt(X(x), Y(y), "%s", text);
    }
  }
};
Fade FadeAt(float t) {
  return {TruncI32(std::clamp(t * 0.2f, 0.0f, 200.0f)), std::clamp(t * 0.255f, 0.0f, 255.0f)};
}

void Panel(const Fade& fade) {
  ViewDrawShadeQuad(0.0f, Y(PANEL_TOP), static_cast<float>(gRdrState.screenWidth), Y(PANEL_BOTTOM), 0, fade.panelAlpha);
}

}  // namespace

void ResultsDrawBestTimes(float t) {
  const ScoresEntry* entry = CurrentEntry();
  if (!entry) return;
  // In a championship the panel fades out in the second before the standings take its place.
  if (gRace.gameMode == GAME_MODE_CHAMPIONSHIP && t > CHAMPIONSHIP_FADE_OUT_MS)
    t = std::max(CHAMPIONSHIP_PANEL_END_MS - t, 0.0f);
  const Fade fade = FadeAt(t);
  RdrDepthOff();
  Panel(fade);
  fade.Centred(HEADING_Y, ModeText(gRace.gameMode));
  fade.Centred(SUBHEADING_Y, BestLine(*entry).text);
  for (int32_t r = 0; r < SCORES_ROWS; ++r) {
    const ScoresRow& row = entry->rows[r];
    const int32_t y = ROWS_Y + 20 * r;
    fade.At(BAND_LEFT, y, row.name);
    fade.At(200, y, RowLine(row).text);
    if (gResultsNewRows[r] == 0) ViewDrawShadeQuad(X(BAND_LEFT), Y(y), X(BAND_RIGHT), Y(y + BAND_HEIGHT), 0, TruncI32(fade.text * 0.5f));
  }
  RdrDepthOn();
}

void ResultsDrawStandings(float t) {
  const int32_t rows = ResultsBuildStandings();
  const Fade fade = FadeAt(t);
  RdrDepthOff();
  Panel(fade);
  fade.Centred(HEADING_Y, ModeText(std::clamp(gRace.gameMode, 0, 3)));
  fade.Centred(SUBHEADING_Y, MenuTextsOf(GAME_EDITION).standingsHeading);
  for (int32_t r = 0; r < rows; ++r) {
    const int32_t y = ROWS_Y + 30 * r;
    fade.At(BAND_LEFT, y, gStandings[r].name);
    fade.At(250, y, TotalLine(gStandings[r].raceMs).text);
  }
  RdrDepthOn();
}

void ResultsListBestTimes() {
  const ScoresEntry* entry = CurrentEntry();
  if (!entry) return;
  MenuTextPrintfCentred(140, "%s : %s", ModeText(gRace.gameMode), TrackText(gRace.trackIndex));
  MenuTextPrintfCentred(160, "%s", BestLine(*entry).text);
  for (int32_t r = 0; r < SCORES_ROWS; ++r) {
    const int32_t y = 190 + 16 * r;
    MenuTextPrintf(120, y, "%s", entry->rows[r].name);
    MenuTextPrintf(285, y, "%s", RowLine(entry->rows[r]).text);
  }
}
