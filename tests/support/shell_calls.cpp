// The shell's number screen and quit, for suites without the shell.
#include <cstdint>
#include <cstdlib>

void GameQuit() { std::abort(); }
void GameShowNumber(int32_t) {}
