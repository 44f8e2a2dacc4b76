// The attract demo with repeat as a soak of the track loads: torvane as it
// starts (the same libraries, HalInitFromEnv and WinMain, headless at
// 320 x 200, in the data folder it is started in), going round the tracks
// in championship order. At each track load it takes the memory pool's use
// and peak, the sound objects alive and the process's resident size, and
// prints them ("load N round R track T used U peak P sounds S rss K"), with
// a summary every 100 loads. After the last load it compares every round
// from the third on with the second: the pool's use and the sound objects
// equal those of the same track, the peak has not grown and, in a run of
// whole-length demos, the resident size has grown by less than 1 MiB (in a
// short run the allocator's own ups and downs are larger than that). It ends
// 0 when they hold, 1 when not.
//
//   demo_soak ROUNDS FRAMES [TRACKS]
//
// FRAMES is the number of demo frames each track runs (0: its whole 90
// seconds); TRACKS a comma-separated list of track indices to go round in
// its place of the ten, for a kit that lacks some.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "hal/audio/audio.h"
#include "hal/window.h"
#include "platform/mem.h"
#include "presentation/replay.h"
#include "race/race.h"
#include "shell/game.h"

namespace {

constexpr const char* OPEN_SCRIPT = "f4294967295 end\n";
constexpr long RESIDENT_GROWTH_LIMIT = 1024;  // KiB

struct Figures {
  int32_t track;
  uint32_t used, peak, sounds;
  long residentKb;
};

struct Soak {
  int rounds = 0;
  int frames = 0;
  std::vector<int32_t> tracks;
  std::vector<Figures> loads;
  int framesSinceLoad = 0;
};
Soak gSoak;

long ResidentKb() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  long pages = 0, resident = 0;
  const int n = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return n == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

int Verdict() {
  const size_t n = gSoak.tracks.size();
  int failures = 0;
  for (size_t i = 2 * n; i < gSoak.loads.size(); ++i) {
    const Figures& a = gSoak.loads[i];
    const Figures& b = gSoak.loads[n + i % n];
    const bool resident = gSoak.frames > 0 || a.residentKb - b.residentKb < RESIDENT_GROWTH_LIMIT;
    const bool same = a.used == b.used && a.sounds == b.sounds && a.peak <= b.peak && resident;
    if (!same) {
      std::printf("differs: load %zu track %d used %u/%u peak %u/%u sounds %u/%u rss %ld/%ld\n", i + 1, a.track, a.used,
                  b.used, a.peak, b.peak, a.sounds, b.sounds, a.residentKb, b.residentKb);
      ++failures;
    }
  }
  std::printf("%s\n", failures ? "soak: figures grew" : "soak: figures steady");
  std::fflush(stdout);
  return failures ? 1 : 0;
}

}  // namespace

extern "C" {
void __real__Z8RaceLoadi(int32_t track);
uint32_t __real__Z15AppTimerElapsedi(int slot);
void __real__Z13RaceLogicStepv();

void __wrap__Z8RaceLoadi(int32_t track) {
  __real__Z8RaceLoadi(track);
  gSoak.framesSinceLoad = 0;
  const Figures f{gRace.trackIndex, MemPoolUsedBytes(), MemPoolPeakBytes(), HalAudioLiveObjects(), ResidentKb()};
  gSoak.loads.push_back(f);
  const size_t n = gSoak.loads.size();
  std::printf("load %zu round %zu track %d used %u peak %u sounds %u rss %ld\n", n, (n - 1) / gSoak.tracks.size() + 1,
              f.track, f.used, f.peak, f.sounds, f.residentKb);
  if (n % 100 == 0) std::printf("after %zu tracks: used %u peak %u sounds %u rss %ld\n", n, f.used, f.peak, f.sounds, f.residentKb);
  std::fflush(stdout);
  if (n == static_cast<size_t>(gSoak.rounds) * gSoak.tracks.size()) std::_Exit(Verdict());
}

// A short run: the demo's clock reads its full length once the track has
// run its frames.
uint32_t __wrap__Z15AppTimerElapsedi(int slot) {
  const uint32_t ms = __real__Z15AppTimerElapsedi(slot);
  if (slot == REPLAY_TIMER && gSoak.frames > 0 && gSoak.framesSinceLoad >= gSoak.frames) return REPLAY_DEMO_MS;
  return ms;
}

void __wrap__Z13RaceLogicStepv() {
  ++gSoak.framesSinceLoad;
  __real__Z13RaceLogicStepv();
}

// The next track of the list.
int32_t __wrap__Z25MenuNextChampionshipTrackv() {
  const std::vector<int32_t>& t = gSoak.tracks;
  size_t i = 0;
  while (i < t.size() && t[i] != gRace.trackIndex) ++i;
  const size_t next = i + 1 < t.size() ? i + 1 : 0;
  gRace.trackIndex = t[next];
  return next == 0 ? 1 : 0;
}
}

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: demo_soak ROUNDS FRAMES [TRACKS]\n");
    return 2;
  }
  gSoak.rounds = std::atoi(argv[1]);
  gSoak.frames = std::atoi(argv[2]);
  std::istringstream list(argc == 4 ? argv[3] : "0,1,2,3,4,5,6,7,8,9");
  std::string item;
  while (std::getline(list, item, ',')) gSoak.tracks.push_back(std::atoi(item.c_str()));
  if (gSoak.rounds < 3 || gSoak.tracks.empty()) {
    std::fprintf(stderr, "demo_soak: at least three rounds of at least one track\n");
    return 2;
  }
  const std::string setting = "demo=2 display=0 track=" + std::to_string(gSoak.tracks[0]);
  setenv("TORVANE_TEST_RACE", setting.c_str(), 1);
  std::string error;
  if (!HalInitFromEnv(&error) || !HalScriptLoad(OPEN_SCRIPT, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  WinMain(1, 0, "", 1);
  std::fprintf(stderr, "demo_soak: the demo ended before its last load\n");
  return 3;
}
