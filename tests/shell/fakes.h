// Recording stand-ins for what the shell drives: the back end, the 3D
// library's pools, the race, presentation, front end and network.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct ShellFakes {
  std::vector<std::string> trace;
  int32_t ffbResult = 0;
  int32_t texMemKb = 4096;
  uint32_t assetLoadMs = 0;  // how long the shared loads take
  uint32_t frameBeforeFrontEnd = 0;
  bool displayFails = false;  // RdrOpen answers false
  // Runs in place of the front end's menus; loads a race by default.
  std::function<void(int call)> frontEnd;
  // Finishing positions of player 1 and 2 for each race, in order.
  std::vector<std::pair<int32_t, int32_t>> positions;
  int frontEndCalls = 0;
  int races = 0;
  uint32_t introShownAt = 0;
  uint32_t frontEndAt = 0;
  int32_t nextChampionshipResult = 0;

  bool Saw(const std::string& what) const;
  // The position of `what` in the trace, -1 when absent.
  int IndexOf(const std::string& what, int from = 0) const;
};

extern ShellFakes gFakes;
void ResetFakes();
size_t FakesStringFind(const std::string& text, char c);
