// The game shell: start-up, the state loop between the front end and the race
// frames, the end of each race and the shutdown; the in-race keys, the pause
// and the two blocking screens of the shell. It sits above every subsystem
// and drives them; none of them includes this header but the front end, for
// GameQuit.
#pragma once
#include <cstdint>

#include "platform/fatal.h"

struct Vehicle;

// The program entry the apps call: opens the window and runs the game.
int WinMain(uint32_t instance, uint32_t prevInstance, const char* commandLine, int32_t showCommand);

void GameEntry();
uint8_t GameStartGraphics();
[[noreturn]] void GameMainLoop();
void GameInit();
void GameApplyDetailLevel();
void GameShowIntro();
void GameOver();
void GameAfterRace();
void GameShutdown();

void GameHotkeys();
void GamePlayerKeys(Vehicle* vehicle, uint8_t* latch);
int32_t GamePauseOrAbort();
// The blocking screens: "TALVEROS ERROR... <message>", and a number on green,
// each until a key is pressed. The shell hands them to the hooks of
// platform/fatal.h once the screen is open, so GameFatalError and
// GameShowNumber anywhere below show them.
void GameFatalErrorScreen(const char* message);
void GameShowNumberScreen(int32_t number);

// The shell's own flags.
extern uint8_t gGameFrontEndNeeded;
extern uint8_t gGameKeyLatch[2];

// Called back from the front end alone (the one include of this header from
// below): it ends the program through the shell's shutdown. The loaders below
// reach it through GameFatalQuit's hook (platform/fatal.h).
[[noreturn]] void GameQuit();
