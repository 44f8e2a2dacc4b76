#include "platform/libshared.h"

std::atomic<uint32_t> gLibLastError{0};

void StrCopy(char* destination, const char* source) {
  if (!destination && !source) return;
  while ((*destination++ = *source++) != '\0') {
  }
}
