#include "support/open_retries.h"

#include <cstdint>

#include "platform/file.h"

int gOpenFailures;
int gOpenCalls;
int gPumps;

extern "C" {
FileHandle __real__Z8FileOpenPKci(const char* name, int32_t mode);
FileHandle __wrap__Z8FileOpenPKci(const char* name, int32_t mode) {
  ++gOpenCalls;
  if (gOpenFailures > 0) {
    --gOpenFailures;
    return 0;
  }
  return __real__Z8FileOpenPKci(name, mode);
}
void __real__Z15AppPumpMessagesv();
void __wrap__Z15AppPumpMessagesv() {
  ++gPumps;
  __real__Z15AppPumpMessagesv();
}
}
