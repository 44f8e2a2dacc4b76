#include "presentation/messages.h"

#include <cstring>

#include "backend_common/display.h"
#include "backend_common/dotfont.h"
#include "net/net.h"
#include "platform/app.h"
#include "platform/edition.h"
#include "presentation/text.h"
#include "race/race.h"

HudMessages gHudMessages = {{-1, 0}, {{-1, 0}, {-1, 0}}, 1, -1};

namespace {

const char* const MESSAGE_TEXTS[3][HUD_MESSAGE_COUNT] = {
    {"BEREIT", "ZEIT ABGELAUFEN", "RENNEN VORBEI", "CHECK POINT", "BEREIT", "WEG AUSGANG", "FALSCHE RICHTUNG",
     "FALSCHE STRASSE", "BESTE RUNDE", "WARTENDER HOST"},
    {"PRONTO", "TEMPO FINITO", "CORSA TERMINATA", "CHECK POINT", "PRONTO", "FUORI PISTA", "DIREZIONE CONTRARIA",
     "STRADA SBAGLIATA", "GIRO MIGILIORE", "ATTESA HOST"},
    {"LISTO", "TIEMPO PASADO", "CARRERA TERMINADA", "CHECK POINT", "LISTO", "SALIDA DE PISTA", "SENTIDO INCORRECTO",
     "RUTA INCORRECTA", "MEJOR VUELTA", "HUESPED EN ESPERA"},
};

constexpr int32_t FADE_MS = 1500;

int EditionRow() {
  switch (GAME_EDITION) {
    case EDITION_ITALIAN: return 1;
    case EDITION_SPANISH: return 2;
    default: return 0;
  }
}

bool DemoRace() { return gRace.noHumanMode != 0; }

void RestartLapTimer(const Vehicle* v) {
  if (v) AppTimerStart(v->lapTimerSlot);
}

// The end of the countdown: the race starts and every lap timer with it.
void StartRace() {
  gRace.raceStarted = 1;
  if (gRace.networkGame) {
    gRace.waitingForHost = 0;
    for (int32_t i = 0; i < NetParticipantCount(); ++i) RestartLapTimer(NetParticipantRecord(i));
    AppTimerStart(RACE_CLOCK_TIMER);
  } else {
    for (Vehicle* v : gVehicleTable) RestartLapTimer(v);
  }
  RestartLapTimer(gPlayer1Vehicle);
}

// A message's words centred on `centreX` at `y`, plain or, in its last
// 1500 ms, faded by what remains of it.
void PrintMessage(const char* text, float centreX, int32_t y, int32_t remaining) {
  const int32_t x = static_cast<int32_t>(centreX - static_cast<float>(TextWidth(text)) / 2.0f);
  if (remaining > FADE_MS) {
    TextPrintAt(static_cast<int16_t>(x), static_cast<int16_t>(y), "%s", text);
    return;
  }
  HudFont.fadeLevel = static_cast<float>(remaining) * 255.0f / static_cast<float>(FADE_MS);
  TextPrintFadedAt(static_cast<int16_t>(x), static_cast<int16_t>(y), "%s", text);
}

// A countdown that another message replaced runs on unseen and starts the
// race at its time; the race clock stands until then.
void StepHiddenCountdown() {
  int32_t& left = gHudMessages.countdownLeft;
  if (left < 0) return;
  if (AppTimerElapsed(HUD_GLOBAL_TIMER) >= static_cast<uint32_t>(left)) {
    left = -1;
    StartRace();
  } else {
    AppTimerStart(RACE_CLOCK_TIMER);
  }
}

void DrawGlobalMessage() {
  StepHiddenCountdown();
  HudMessageSlot& m = gHudMessages.global;
  if (m.number == HUD_MSG_NONE) return;
  const uint32_t t = AppTimerElapsed(HUD_GLOBAL_TIMER);
  if (t >= static_cast<uint32_t>(m.duration)) {
    if (m.number == HUD_MSG_READY) StartRace();
    m.number = HUD_MSG_NONE;
    gHudMessages.done = 1;
    return;
  }
  const char* sub = HUD_COUNTDOWN_TEXTS[0];
  if (m.number == HUD_MSG_READY) {
    // The race clock stands during the countdown.
    AppTimerStart(RACE_CLOCK_TIMER);
    const uint32_t second = t / 1000;
    sub = second < 5 ? HUD_COUNTDOWN_TEXTS[5 - second] : HUD_COUNTDOWN_TEXTS[0];
  }
  if (DemoRace()) return;
  const int32_t h = gRdrState.screenHeight;
  const float cx = gRdrState.centreX, cy = gRdrState.centreY;
  TextSetScale(24);
  const bool topAndBottom = gRace.playersMode == 1 && gRace.splitSideBySide == 0;
  const int32_t y = static_cast<int32_t>(cy - static_cast<float>(h * (topAndBottom ? 40 : 140) / 384));
  const int32_t remaining = m.duration - static_cast<int32_t>(t);
  PrintMessage(HudMessageText(m.number), cx, y, remaining);
  PrintMessage(sub, cx, y + h * 50 / 384, remaining);
}

void DrawPlayerMessage(int player, int32_t y, float centreX, int32_t size) {
  HudMessageSlot& m = gHudMessages.player[player];
  if (m.number == HUD_MSG_NONE) return;
  const uint32_t t = AppTimerElapsed(HUD_PLAYER_TIMERS[player]);
  if (t >= static_cast<uint32_t>(m.duration)) {
    m.number = HUD_MSG_NONE;
    return;
  }
  if (DemoRace()) return;
  TextSetScale(size);
  PrintMessage(HudMessageText(m.number), centreX, y, m.duration - static_cast<int32_t>(t));
}

void ShowPlayerMessage(int player, int32_t number, float duration) {
  HudMessageSlot& m = gHudMessages.player[player];
  if (m.number == HUD_MSG_OFF_TRACK) return;
  AppTimerStart(HUD_PLAYER_TIMERS[player]);
  m.number = number;
  m.duration = static_cast<int32_t>(duration);
}

}  // namespace

const char* const HUD_COUNTDOWN_TEXTS[6] = {"", "1", "2", "3", "4", "5"};

const char* HudMessageText(int32_t number) {
  if (number < 0 || number >= HUD_MESSAGE_COUNT) return "";
  return MESSAGE_TEXTS[EditionRow()][number];
}

void HudResetMessages() {
  gHudMessages.global.number = HUD_MSG_NONE;
  gHudMessages.player[0].number = HUD_MSG_NONE;
  gHudMessages.player[1].number = HUD_MSG_NONE;
  gHudMessages.done = 1;
  gHudMessages.countdownLeft = -1;
}

void HudShowMessage(int32_t number, float duration) {
  HudMessageSlot& m = gHudMessages.global;
  if (m.number == HUD_MSG_RACE_OVER || m.number == HUD_MSG_OFF_TRACK) return;
  // The start of the race hangs on the countdown, so a message shown over it
  // (a wrong road under the grid) takes over its remaining time on the
  // restarted clock; a new countdown replaces it.
  int32_t& left = gHudMessages.countdownLeft;
  const int32_t due = m.number == HUD_MSG_READY ? m.duration : left;
  if (number == HUD_MSG_READY) {
    left = -1;
  } else if (due >= 0) {
    const uint32_t t = AppTimerElapsed(HUD_GLOBAL_TIMER);
    left = t >= static_cast<uint32_t>(due) ? 0 : due - static_cast<int32_t>(t);
  }
  AppTimerStart(HUD_GLOBAL_TIMER);
  m.number = number;
  m.duration = static_cast<int32_t>(duration);
  // A training race starts without a countdown.
  if (number == HUD_MSG_READY && gRace.gameMode == 0 && !DemoRace()) m.duration = 0;
  gHudMessages.done = 0;
}

void HudShowPlayerMessage(int32_t number, float duration, Vehicle* vehicle) {
  if (gRace.playersMode != 1) {
    HudShowMessage(number, duration);
    return;
  }
  if (gHudMessages.global.number == HUD_MSG_RACE_OVER) return;
  ShowPlayerMessage(vehicle == gPlayer1Vehicle ? 0 : 1, number, duration);
}

uint8_t HudMessageDone() { return gHudMessages.done; }

void HudDrawMessages() {
  if (gRace.waitingForHost) HudDrawWaitingHost();
  DrawGlobalMessage();
  if (gRace.playersMode != 1) return;
  const int32_t h = gRdrState.screenHeight;
  const float cx = gRdrState.centreX, cy = gRdrState.centreY;
  if (gRace.splitSideBySide) {
    const int32_t y = h * 35 / 384;
    DrawPlayerMessage(0, y, static_cast<float>(static_cast<int32_t>(cx * 0.5f)), 12);
    DrawPlayerMessage(1, y, static_cast<float>(static_cast<int32_t>(cx * 0.5f + cx)), 12);
  } else {
    DrawPlayerMessage(0, h * 32 / 384, cx, 24);
    DrawPlayerMessage(1, static_cast<int32_t>(static_cast<float>(h * 32 / 384) + cy), cx, 24);
  }
}

void HudDrawWaitingHost() {
  DotFontPrintf(gRdrState.screenWidth * 10 / 512, gRace.viewTop + gRace.viewHeight * 370 / 384, "%s",
                HudMessageText(HUD_MSG_WAITING_HOST));
}
