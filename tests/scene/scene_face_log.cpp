// In the suites on the null back end, its face routines log into the scene
// log beside the slot callbacks, for every test of the program.
#include "scene_support.h"
#include "support/null_backend.h"

namespace {

const bool gFaceCallsLogged = (gNullRecord =
                                   [](const std::string& call) {
                                     if (call.find(':') != std::string::npos) gSceneLog.push_back(call);
                                   },
                               true);

}  // namespace
