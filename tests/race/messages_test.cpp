// The race messages: the countdown and the start of the race, the messages
// that cannot be replaced, the per-player messages of split screen, the
// demo race and the waiting-host line.
#include <string>

#include "hal/clock.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "presentation/text.h"
#include "race/race.h"
#include "race_fixture.h"

namespace {

constexpr uint32_t LETTERS = 3, DIGITS = 4;

// The characters the drawn glyphs show, read back from their cells; faded
// glyphs in lower case.
std::string Drawn() {
  std::string out;
  for (const DrawnFace& d : gFaces) {
    const int cell = static_cast<int>(d.face.st[0]) / 32 + static_cast<int>(d.face.st[1]) / 64 * 8;
    char ch = (d.face.type & 0xFFFFFF) == DIGITS ? static_cast<char>(cell < 8 ? '0' + cell : '5' + cell - 8)
                                                 : static_cast<char>('A' + cell);
    if (d.faded && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    out += ch;
  }
  return out;
}

class Messages : public RaceTest {
 protected:
  void SetUp() override {
    RaceTest::SetUp();
    HudFont.letterTexture = LETTERS;
    HudFont.digitTexture = DIGITS;
    gRace.gameMode = 1;
    for (int slot = 0; slot < 6; ++slot) {
      gVehicleTable[slot] = slot == 5 ? &gPlayer1 : &gVehicleRecords[slot];
      gVehicleTable[slot]->lapTimerSlot = slot + 12;
    }
  }
  // One frame's messages at `t` ms after the show; what they drew.
  std::string At(uint32_t t) {
    HalClockSet(start_ + t);
    gFaces.clear();
    HudDrawMessages();
    return Drawn();
  }
  uint32_t start_ = 1000;
};

TEST_F(Messages, TheCountdownCountsFromFiveAndFadesInItsLastSecondAndAHalf) {
  HalClockSet(start_);
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  EXPECT_EQ(At(0), "BEREIT5");
  EXPECT_EQ(At(999), "BEREIT5");
  EXPECT_EQ(At(1000), "BEREIT4");
  EXPECT_EQ(At(3499), "BEREIT2");
  EXPECT_EQ(At(3500), "bereit2");
  EXPECT_FLOAT_EQ(+HudFont.fadeLevel, 255.0f);
  EXPECT_EQ(At(4999), "bereit1");
  EXPECT_FLOAT_EQ(+HudFont.fadeLevel, 0.17f);
  // Centred on the view at 24/512 of the width, 140/384 of the height above its centre.
  At(0);
  EXPECT_FLOAT_EQ(+gFaces[0].corners[0].screenX, 320.0f - 6 * 30 / 2);
  EXPECT_FLOAT_EQ(+gFaces[0].corners[0].screenY, 240.0f - 175.0f);
  EXPECT_FLOAT_EQ(+gFaces[6].corners[0].screenY, 240.0f - 175.0f + 62.0f);
}

TEST_F(Messages, TheRaceStartsOnTheFirstFrameAtTheEndOfTheCountdown) {
  HalClockSet(start_);
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  EXPECT_EQ(HudMessageDone(), 0);
  At(4999);
  // The race clock stands during the countdown.
  EXPECT_EQ(AppTimerElapsed(RACE_CLOCK_TIMER), 0u);
  EXPECT_EQ(+gRace.raceStarted, 0);
  At(5003);
  EXPECT_EQ(+gRace.raceStarted, 1);
  EXPECT_EQ(+gHudMessages.global.number, -1);
  EXPECT_EQ(HudMessageDone(), 1);
  EXPECT_EQ(Drawn(), "");
  HalClockAdvance(7);
  for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(AppTimerElapsed(slot + 12), 7u) << slot;
  // The race clock runs from the last frame of the countdown.
  EXPECT_EQ(AppTimerElapsed(RACE_CLOCK_TIMER), 11u);
}

// A wrong road under the grid shows its message over the countdown, again
// and again; the race still starts when the countdown ends.
TEST_F(Messages, MessagesOverTheCountdownDoNotHoldTheStart) {
  HalClockSet(start_);
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  At(1000);
  HudShowMessage(HUD_MSG_WRONG_ROAD, 2000.0f);
  EXPECT_EQ(At(1100), "FALSCHESTRASSE");
  At(3100);  // the wrong road's message ends here
  At(3500);
  HudShowMessage(HUD_MSG_WRONG_ROAD, 2000.0f);
  HalClockSet(start_ + 4000);
  HudShowMessage(HUD_MSG_WRONG_ROAD, 2000.0f);
  At(4999);
  EXPECT_EQ(AppTimerElapsed(RACE_CLOCK_TIMER), 0u);
  EXPECT_EQ(+gRace.raceStarted, 0);
  EXPECT_EQ(At(5000), "falschestrasse");
  EXPECT_EQ(+gRace.raceStarted, 1);
  HalClockAdvance(7);
  for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(AppTimerElapsed(slot + 12), 7u) << slot;
  // The race clock runs from the last frame of the countdown.
  At(5500);
  EXPECT_EQ(AppTimerElapsed(RACE_CLOCK_TIMER), 501u);

  // A new countdown over a hidden one counts its own time.
  HudResetMessages();
  gRace.raceStarted = 0;
  HalClockSet(start_);
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  HudShowMessage(HUD_MSG_CHECKPOINT, 3000.0f);
  HalClockSet(start_ + 2000);
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  HalClockSet(start_ + 6999);
  HudDrawMessages();
  EXPECT_EQ(+gRace.raceStarted, 0);
  HalClockSet(start_ + 7000);
  HudDrawMessages();
  EXPECT_EQ(+gRace.raceStarted, 1);
}

TEST_F(Messages, ATrainingRaceStartsOnItsFirstFrame) {
  gRace.gameMode = 0;
  HalClockSet(start_);
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  EXPECT_EQ(At(0), "");
  EXPECT_EQ(+gRace.raceStarted, 1);
}

TEST_F(Messages, ADemoRaceDrawsNothingButStillStarts) {
  gRace.noHumanMode = 1;
  gRace.gameMode = 0;  // a demo keeps its countdown
  HalClockSet(start_);
  HudShowMessage(HUD_MSG_READY, 5000.0f);
  EXPECT_EQ(At(100), "");
  EXPECT_EQ(+gRace.raceStarted, 0);
  At(5000);
  EXPECT_EQ(+gRace.raceStarted, 1);
}

TEST_F(Messages, RaceOverAndOffTrackAreNotReplaced) {
  for (int32_t held : {HUD_MSG_RACE_OVER, HUD_MSG_OFF_TRACK}) {
    SCOPED_TRACE(held);
    HudResetMessages();
    HalClockSet(start_);
    HudShowMessage(held, 5000.0f);
    HalClockSet(start_ + 200);
    HudShowMessage(HUD_MSG_TIME_OUT, 5000.0f);
    EXPECT_EQ(+gHudMessages.global.number, held);
    EXPECT_EQ(AppTimerElapsed(HUD_GLOBAL_TIMER), 200u);
  }
  HudResetMessages();
  HalClockSet(start_);
  HudShowMessage(HUD_MSG_CHECKPOINT, 3000.0f);
  HudShowMessage(HUD_MSG_TIME_OUT, 5000.0f);
  EXPECT_EQ(+gHudMessages.global.number, HUD_MSG_TIME_OUT);
  EXPECT_EQ(At(0), "ZEITABGELAUFEN");
}

TEST_F(Messages, SplitScreenMessagesShowInTheirPlayersHalf) {
  gRace.playersMode = 1;
  struct Case {
    int32_t sideBySide;
    Vehicle* vehicle;
    float x, y;  // the first glyph's corner
  };
  // "CHECK POINT" is 11 characters: 30 pixels each one above the other, 15 side by side.
  const Case cases[] = {{0, &gPlayer1, 320.0f - 165.0f, 40.0f},
                        {0, gPlayer2Vehicle, 320.0f - 165.0f, 280.0f},
                        {1, &gPlayer1, 160.0f - 82.5f, 43.0f},
                        {1, gPlayer2Vehicle, 480.0f - 82.5f, 43.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.sideBySide) + (c.vehicle == &gPlayer1 ? " P1" : " P2"));
    HudResetMessages();
    gRace.splitSideBySide = c.sideBySide;
    HalClockSet(start_);
    HudShowPlayerMessage(HUD_MSG_CHECKPOINT, 3000.0f, c.vehicle);
    EXPECT_EQ(+gHudMessages.global.number, -1);
    EXPECT_EQ(At(10), "CHECKPOINT");
    EXPECT_FLOAT_EQ(+gFaces[0].corners[0].screenX, static_cast<float>(static_cast<int32_t>(c.x)));
    EXPECT_FLOAT_EQ(+gFaces[0].corners[0].screenY, +c.y);
  }
  // A player's off-track message is not replaced by its next one; the other player's is.
  HudResetMessages();
  HudShowPlayerMessage(HUD_MSG_OFF_TRACK, 3000.0f, gPlayer2Vehicle);
  HudShowPlayerMessage(HUD_MSG_WRONG_WAY, 2000.0f, gPlayer2Vehicle);
  HudShowPlayerMessage(HUD_MSG_WRONG_WAY, 2000.0f, &gPlayer1);
  HudShowPlayerMessage(HUD_MSG_BEST_LAP, 2000.0f, &gPlayer1);
  EXPECT_EQ(+gHudMessages.player[1].number, HUD_MSG_OFF_TRACK);
  EXPECT_EQ(+gHudMessages.player[0].number, HUD_MSG_BEST_LAP);
  // While the race is over no player message starts.
  HudShowMessage(HUD_MSG_RACE_OVER, 5000.0f);
  HudShowPlayerMessage(HUD_MSG_CHECKPOINT, 3000.0f, &gPlayer1);
  EXPECT_EQ(+gHudMessages.player[0].number, HUD_MSG_BEST_LAP);
  // A player's message ends when its time is up.
  HalClockAdvance(2000);
  At(HalTimePeek() - start_);
  EXPECT_EQ(+gHudMessages.player[0].number, -1);
}

TEST_F(Messages, OutsideSplitScreenAPlayerMessageIsTheGlobalOne) {
  HudShowPlayerMessage(HUD_MSG_WRONG_ROAD, 2000.0f, &gPlayer1);
  EXPECT_EQ(+gHudMessages.global.number, HUD_MSG_WRONG_ROAD);
  EXPECT_EQ(+gHudMessages.global.duration, 2000);
}

TEST_F(Messages, TheWaitingHostLineStandsNearTheBottomOfTheView) {
  gRace.waitingForHost = 1;
  gRace.viewTop = 0;
  gRace.viewHeight = 480;
  HudDrawMessages();
  EXPECT_EQ(CallsStartingWith("DotFontPrintf"), std::vector<std::string>{"DotFontPrintf(12,462,WARTENDER HOST)"});
}

TEST_F(Messages, TheCountdownTextsAndTheTenMessages) {
  EXPECT_STREQ(HudMessageText(0), "BEREIT");
  EXPECT_STREQ(HudMessageText(9), "WARTENDER HOST");
  EXPECT_STREQ(HudMessageText(10), "");
  EXPECT_STREQ(HUD_COUNTDOWN_TEXTS[0], "");
  EXPECT_STREQ(HUD_COUNTDOWN_TEXTS[5], "5");
}

}  // namespace
