// The input script of headless runs: one event a line, each waiting for its
// moment after the line before it has fired.
#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "hal/clock.h"
#include "hal/window.h"
#include "hal/window_internal.h"

namespace {

enum class When { At, After, Frame };

struct Step {
  When when;
  uint32_t value;
  uint32_t message;
  uintptr_t wParam;
  int32_t x, y;  // for "move"
  bool move;
  bool end;
};

struct ScriptState {
  bool active = false;
  std::vector<Step> steps;
  size_t next = 0;
  uint32_t lastFired = 0;
  bool closed = false;
};

ScriptState gScript;

// A key held for a tenth of a second is seen by the game's per-frame polls.
constexpr uint32_t PRESS_HOLD_MS = 100;

bool ParseNumber(const std::string& s, uint32_t* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  unsigned long long v = std::strtoull(s.c_str(), &end, 0);
  if (*end != '\0' || v > 0xFFFFFFFFull) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

bool ParseLine(const std::string& line, std::vector<Step>* out, std::string* error) {
  std::istringstream in(line);
  std::string when, action;
  if (!(in >> when >> action)) {
    *error = "expected '<when> <action>'";
    return false;
  }
  Step s{};
  if (when[0] == '+') {
    s.when = When::After;
    if (!ParseNumber(when.substr(1), &s.value)) { *error = "bad delay '" + when + "'"; return false; }
  } else if (when[0] == 'f' || when[0] == 'F') {
    s.when = When::Frame;
    if (!ParseNumber(when.substr(1), &s.value)) { *error = "bad frame '" + when + "'"; return false; }
  } else {
    s.when = When::At;
    if (!ParseNumber(when, &s.value)) { *error = "bad time '" + when + "'"; return false; }
  }
  for (char& c : action) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

  std::string arg;
  if (action == "down" || action == "up" || action == "press") {
    if (!(in >> arg)) { *error = action + " needs a key"; return false; }
    uint32_t vk = HalVirtualKeyFromName(arg);
    if (vk == 0) { *error = "unknown key '" + arg + "'"; return false; }
    s.wParam = vk;
    s.message = action == "up" ? HAL_WM_KEYUP : HAL_WM_KEYDOWN;
    out->push_back(s);
    if (action == "press") {
      Step up{When::After, PRESS_HOLD_MS, HAL_WM_KEYUP, vk, 0, 0, false, false};
      out->push_back(up);
    }
  } else if (action == "ldown" || action == "lup" || action == "rdown" || action == "rup") {
    s.message = action == "ldown" ? HAL_WM_LBUTTONDOWN : action == "lup" ? HAL_WM_LBUTTONUP
              : action == "rdown" ? HAL_WM_RBUTTONDOWN : HAL_WM_RBUTTONUP;
    out->push_back(s);
  } else if (action == "move") {
    long x, y;
    if (!(in >> x >> y)) { *error = "move needs x and y"; return false; }
    s.move = true;
    s.x = static_cast<int32_t>(x);
    s.y = static_cast<int32_t>(y);
    out->push_back(s);
  } else if (action == "close" || action == "end") {
    s.end = true;
    out->push_back(s);
  } else {
    *error = "unknown action '" + action + "'";
    return false;
  }
  if (in >> arg) {
    *error = "unexpected '" + arg + "'";
    return false;
  }
  return true;
}

bool Due(const Step& s, uint32_t now) {
  switch (s.when) {
    case When::At: return static_cast<int32_t>(now - s.value) >= 0;
    case When::After: return now - gScript.lastFired >= s.value;
    case When::Frame: return HalFrameCount() >= s.value;
  }
  return false;
}

}  // namespace

bool HalScriptLoad(const std::string& text, std::string* error) {
  std::vector<Step> steps;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    std::string why;
    if (!ParseLine(line, &steps, &why)) {
      if (error) *error = "script line " + std::to_string(number) + ": " + why;
      return false;
    }
  }
  gScript = ScriptState{};
  gScript.active = true;
  gScript.steps = std::move(steps);
  gScript.lastFired = HalTimePeek();
  return true;
}

bool HalScriptLoadFile(const char* path, std::string* error) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    if (error) *error = std::string("cannot read script ") + path;
    return false;
  }
  std::stringstream text;
  text << f.rdbuf();
  return HalScriptLoad(text.str(), error);
}

bool HalScriptActive() { return gScript.active; }

void HalScriptReset() { gScript = ScriptState{}; }

void HalScriptPoll() {
  if (!gScript.active || gScript.closed) return;
  uint32_t now = HalTimePeek();
  while (gScript.next < gScript.steps.size()) {
    const Step& s = gScript.steps[gScript.next];
    if (!Due(s, now)) return;
    ++gScript.next;
    gScript.lastFired = now;
    if (s.end) break;
    if (s.move)
      HalSetCursorPos(s.x, s.y);
    else
      HalPostMessage(HalWindowHandle(), s.message, s.wParam, 0);
  }
  // Run out (or told to end): close the window so the program ends by itself.
  gScript.closed = true;
  HalPostMessage(HalWindowHandle(), HAL_WM_CLOSE, 0, 0);
}
