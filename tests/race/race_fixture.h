// Shared by the race suites: the software back end open at 640 x 480 with
// the world pools, a headless hal on a clock the test moves, and one log of
// what the frame called: the stand-ins of the other subsystems ("Name" or
// "Name(args)") and the back-end calls ("RdrSetFog(33,148,255,500,1500)").
//
// Fields of the packed records go to the EXPECT macros as values (a unary +):
// the macros bind references, and a packed field may be misaligned.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "support/test_support.h"

// Every call, in order.
extern std::vector<std::string> gCalls;
// Faces drawn by RdrDrawFaceDecal and RdrDrawFaceTexAlpha, as they were at the call.
struct DrawnFace {
  bool faded;
  float alpha;
  Face face;
  Vertex corners[4];
};
extern std::vector<DrawnFace> gFaces;
// RdrDrawFaceDecal and RdrDrawFaceTexAlpha are logged only while this is set.
extern bool gLogFaceCalls;

// The calls whose text starts with `prefix`.
std::vector<std::string> CallsStartingWith(const std::string& prefix);
int IndexOfCall(const std::string& call, int from = 0);

class RaceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Re-opens the display in entry `mode` of the table.
  void UseMode(int mode);

  Camera camera_{};
  Camera camera2_{};
};

// What the front end's unlock level answers for every track in these suites.
extern int32_t gTestUnlockLevel;

// The network layer's start as a scripted session. A query at or after a
// participant's reply time is answered (its reply counter set); a client's
// wait ends with the host's start signal, or with an abort.
struct NetStartScript {
  uint32_t replyAtMs[6];  // UINT32_MAX: never answers
  bool abortInWait;
  std::vector<std::pair<int32_t, uint32_t>> queries;  // participant, time
};
extern NetStartScript gNetScript;
