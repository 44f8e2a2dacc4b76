// The race messages: the large centred words over the race view (the start
// countdown, time-out, race over, checkpoint and the rest). One global
// message serves the whole screen; in split screen each player also has one
// of its own, drawn in its half. The end of the start message starts the race.
#pragma once
#include <cstdint>

struct Vehicle;

constexpr int HUD_MESSAGE_COUNT = 10;
enum HudMessage : int32_t {
  HUD_MSG_NONE = -1,
  HUD_MSG_READY = 0,
  HUD_MSG_TIME_OUT = 1,
  HUD_MSG_RACE_OVER = 2,
  HUD_MSG_CHECKPOINT = 3,
  HUD_MSG_READY_UNUSED = 4,
  HUD_MSG_OFF_TRACK = 5,
  HUD_MSG_WRONG_WAY = 6,
  HUD_MSG_WRONG_ROAD = 7,
  HUD_MSG_BEST_LAP = 8,
  HUD_MSG_WAITING_HOST = 9,
};

constexpr int HUD_GLOBAL_TIMER = 0;
constexpr int HUD_PLAYER_TIMERS[2] = {28, 29};
constexpr int RACE_CLOCK_TIMER = 1;

struct HudMessageSlot {
  int32_t number;    // -1 none
  int32_t duration;  // ms
};

struct HudMessages {
  HudMessageSlot global;     // timer slot 0
  HudMessageSlot player[2];  // timer slots 28 and 29
  uint8_t done;              // 1 after the global message ended, and after a reset
  // A countdown that another global message replaced: it still starts the
  // race this many ms after timer slot 0's start (-1 none).
  int32_t countdownLeft;
};
extern HudMessages gHudMessages;

// The texts of this program's edition.
const char* HudMessageText(int32_t number);
extern const char* const HUD_COUNTDOWN_TEXTS[6];  // "", "1" .. "5"

void HudResetMessages();
void HudShowMessage(int32_t number, float duration);
void HudShowPlayerMessage(int32_t number, float duration, Vehicle* vehicle);
uint8_t HudMessageDone();
void HudDrawMessages();
void HudDrawWaitingHost();
