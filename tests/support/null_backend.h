// The null back end's record of calls (see null_backend.cpp).
#pragma once
#include <string>
#include <vector>

// Each call as "Routine", or for a face routine "Kind:tag" with the face's
// tag (RdrDrawFaceWater of a face tagged 3: "Water:3").
extern std::vector<std::string> gNullCalls;
// Where each call goes; by default it is appended to gNullCalls.
extern void (*gNullRecord)(const std::string& call);
// TexLoad refuses the paths this says are missing; none by default.
extern bool (*gNullTextureMissing)(const char* path);
// TexDownload refuses the records whose key this names; none by default.
extern bool (*gNullDownloadRefused)(const char* key);
