// The fog switches the code under test made, "on" or "off" in order, logged
// and passed on by fog_log.cpp (linked with RdrFogOn and RdrFogOff wrapped).
#pragma once
#include <string>
#include <vector>

extern std::vector<std::string> gFogCalls;
