// A log of the accelerator calls the back end makes. The test program is
// linked with the state and draw calls of the accelerator wrapped
// (torvane_record_gfx_calls in tests/CMakeLists.txt): each wrapped call is logged while recording is on and then
// passed on unchanged, so the pixels are those of the real rasterizer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "hal/gfx/gfx.h"

struct GfxCall {
  std::string text;                  // e.g. "combine 6", "blend 4 0 4 0", "depth 0", "triangle"
  std::vector<GfxVertex> vertices;   // the vertices of a draw call
};

void RecordStart();
std::vector<GfxCall> RecordStop();
// The texts of the calls, in order.
std::vector<std::string> CallTexts(const std::vector<GfxCall>& calls);
// The calls that draw, in order.
std::vector<GfxCall> DrawCalls(const std::vector<GfxCall>& calls);
