// What the ambient vehicle and the ground shadow handed to the back end, the
// effects and the sound, logged by ambient_log.cpp and passed on.
#pragma once
#include <string>
#include <vector>

#include "engine3d/mesh.h"

struct AmbientDrawn {
  // "Object", "Lit" (objects); "Flat", "FlatAlpha" (faces); "DepthWriteOff",
  // "DepthWriteOn"; "Dust", "Sound", "Shadow".
  std::string call;
  DrawSlot slot{};
  Face face{};
  std::vector<Vertex> corners;  // a face's corners as drawn
  float args[5] = {};           // the dust's arguments
};
extern std::vector<AmbientDrawn> gAmbientDrawn;

std::vector<AmbientDrawn> AmbientCalls(const std::string& call);
// The call names in order.
std::vector<std::string> AmbientCallNames();
