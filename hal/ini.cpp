#include "hal/ini.h"

#include <strings.h>

#include <string_view>

#include "hal/fs.h"

namespace {

constexpr std::string_view BLANKS = " \t\r\v\f";

std::string_view Trim(std::string_view s) {
  size_t first = s.find_first_not_of(BLANKS);
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(BLANKS);
  return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, const char* b) {
  std::string_view bv(b ? b : "");
  return a.size() == bv.size() && ::strncasecmp(a.data(), bv.data(), a.size()) == 0;
}

bool ReadWhole(const char* gamePath, std::string* text) {
  int fd = HalFdOpen(gamePath, HAL_OPEN_READ);
  if (fd < 0) return false;
  char chunk[4096];
  bool ok = true;
  for (;;) {
    int64_t n = HalFdRead(fd, chunk, sizeof chunk);
    if (n < 0) ok = false;
    if (n <= 0) break;
    text->append(chunk, static_cast<size_t>(n));
  }
  HalFdClose(fd);
  return ok;
}

}  // namespace

std::string HalIniReadString(const char* gamePath, const char* section, const char* key, const char* fallback) {
  std::string result(fallback ? fallback : "");
  std::string text;
  if (!gamePath || !ReadWhole(gamePath, &text)) return result;
  bool inSection = false;
  std::string_view rest(text);
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      // A header without its bracket names no section.
      inSection = close != std::string_view::npos && SameName(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos || !SameName(Trim(line.substr(0, equals)), key)) continue;
    return std::string(Trim(line.substr(equals + 1)));
  }
  return result;
}
