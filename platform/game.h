// The game shell: start-up, the state loop between the front end and the race
// frames, the end of each race and the shutdown; the in-race keys, the pause
// and the two blocking screens of the shell.
#pragma once
#include <cstdint>

struct Vehicle;

void GameEntry();
uint8_t GameStartGraphics();
[[noreturn]] void GameMainLoop();
void GameInit();
void GameApplyDetailLevel();
void GameShowIntro();
void GameOver();
void GameAfterRace();
void GameShutdown();
[[noreturn]] void GameQuit();

void GameHotkeys();
void GamePlayerKeys(Vehicle* vehicle, uint8_t* latch);
int32_t GamePauseOrAbort();
void GameFatalError(const char* message);
void GameShowNumber(int32_t number);

// The shell's own flags.
extern uint8_t gGameFrontEndNeeded;
extern uint8_t gGameFfbActive;
extern uint8_t gGameKeyLatch[2];
