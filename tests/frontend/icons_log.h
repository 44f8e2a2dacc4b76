// The flat layer's draw and sound calls as the icon tests see them.
#pragma once
#include <string>
#include <vector>

extern std::vector<std::string> gIconCalls;
std::vector<std::string> IconCallsStarting(const std::string& prefix);
