// The full-screen screens' draw, sound and input calls as their tests see them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

extern std::vector<std::string> gScreenCalls;
std::vector<std::string> ScreenCallsStarting(const std::string& prefix);

// What the joystick read answers, and how often the poll pumped and read.
struct ScreenInputScript {
  uint8_t button1, button2;
  bool readFails;
  int pumps, reads, lostChecks;
  int32_t lastDevice = -1;
};
extern ScreenInputScript gInputScript;
