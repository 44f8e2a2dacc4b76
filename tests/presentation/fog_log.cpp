#include "fog_log.h"

std::vector<std::string> gFogCalls;

extern "C" {
void __real__Z8RdrFogOnv();
void __real__Z9RdrFogOffv();
void __wrap__Z8RdrFogOnv() {
  gFogCalls.emplace_back("on");
  __real__Z8RdrFogOnv();
}
void __wrap__Z9RdrFogOffv() {
  gFogCalls.emplace_back("off");
  __real__Z9RdrFogOffv();
}
}
