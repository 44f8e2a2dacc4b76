// The recorder the menu page tests share. A page runs on the real 3D core and
// the software accelerator; what it asks of the other subsystems (sounds,
// music, race loads, the replays, timers, display and light switches) and
// the flat layer's draw calls are written to gPageCalls, one line a call, in
// the order made. The suites that link it are made with
// torvane_page_test_suite (tests/frontend/CMakeLists.txt), which turns those
// calls aside with --wrap; the lines' forms are in page_calls.cpp.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

extern std::vector<std::string> gPageCalls;
std::vector<std::string> PageCallsStarting(const std::string& prefix);
// The lines that start with any of the prefixes, in order.
std::vector<std::string> PageCallsStartingAny(const std::vector<std::string>& prefixes);

struct PageCallOptions {
  // The draw calls go on to the accelerator as well (needs real textures).
  bool drawThrough = false;
  // What SfxSlotFinished answers.
  int32_t slotFinished = 0;
  // Run after every shown frame, with the number of frames shown so far.
  std::function<void(int32_t frame)> onFrame;
  // A page that shows more frames than this is stopped by a thrown PageFrameLimit.
  int32_t frameLimit = 5000;
};
extern PageCallOptions gPageCallOptions;
extern int32_t gPageFrames;

struct PageFrameLimit {};
// Thrown by the recorded ways out of the program (the credits, the quit), so
// a test sees them without the process ending.
struct PageLeft {
  std::string how;
};

// Clears the lines, the frame count and the options.
void PageCallsReset();
