// The game shell: start-up, the state loop between the front end and the race
// frames, the end of each race and the shutdown; the in-race keys, the pause
// and the two blocking screens of the shell. It sits above every subsystem
// and drives them; none of them includes this header except for the calls
// listed under "Called back from below".
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
// The blocking error screen: "TALVEROS ERROR... <message>" until a key is
// pressed. The shell hands it to GameSetFatalErrorHook once the screen is open,
// so GameFatalError anywhere below shows it.
void GameFatalErrorScreen(const char* message);
void GameShowNumber(int32_t number);

// The shell's own flags.
extern uint8_t gGameFrontEndNeeded;
// The force-feedback device flag: the result of FfbInitDevices, cleared when
// the device is lost (it lives with force feedback, which clears it).
extern uint8_t gGameFfbActive;
extern uint8_t gGameKeyLatch[2];

// Called back from below: the front end ends the program through the shell's
// shutdown.
[[noreturn]] void GameQuit();
