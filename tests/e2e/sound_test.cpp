// The real torvane, headless, heard through its mix (TORVANE_AUDIO_DUMP): the
// desert race's sound and music as the trace's readable lines report them,
// the grid's engines on a kit without music, and a kit with one sound
// missing, which turns sound off for the whole run.
#include <cstring>
#include <filesystem>
#include <sstream>

#include "game_run.h"

namespace {

// Esc a few seconds after the start.
constexpr const char* SCRIPT = "f560 press ESC\n";

struct Readable {
  unsigned sound;
  int track, fader;
  float volume;
};

// The trace's sound lines, in order.
std::vector<Readable> SoundLines(const std::string& trace) {
  std::vector<Readable> out;
  std::istringstream lines(trace);
  std::string line;
  while (std::getline(lines, line)) {
    Readable r{};
    if (std::sscanf(line.c_str(), "#   sound %u music track %d fader %d volume %f", &r.sound, &r.track, &r.fader,
                    &r.volume) == 4)
      out.push_back(r);
  }
  return out;
}

// The 16-bit stereo samples of a WAVE's data chunk (empty when it has none).
std::vector<int16_t> WaveSamples(const std::string& wave) {
  size_t at = 12;
  while (at + 8 <= wave.size()) {
    uint32_t size = 0;
    std::memcpy(&size, wave.data() + at + 4, 4);
    if (wave.compare(at, 4, "data") == 0) {
      const size_t n = std::min<size_t>(size, wave.size() - at - 8) / 2;
      std::vector<int16_t> samples(n);
      std::memcpy(samples.data(), wave.data() + at + 8, n * 2);
      return samples;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

class Sound : public e2e::GameRun {
 protected:
  // A loose kit in place of the packed one the fixture wrote.
  void MakeLooseKit() {
    std::filesystem::remove_all(dir_.path() / "data");
    std::filesystem::create_directories(dir_.path() / "data");
    ASSERT_EQ(Run("'" DATAKIT_PATH "' --loose ."), 0);
  }
  int RunHeard(const std::string& name) {
    dir_.Write("script.txt", SCRIPT);
    return RunGame(name + ".trace", name + "-frames", "1",
                   "TORVANE_TEST_RACE='display=0' TORVANE_AUDIO_DUMP='" + (dir_ / (name + ".wav")) + "'");
  }
};

// Sound stays on from the load to the end; desert's music (track 0) fades in
// and is held at 80 while the race runs; a second run writes the same trace
// and the same mix.
TEST_F(Sound, TheDesertRaceFadesItsMusicInAndTwoRunsSoundAlike) {
  ASSERT_EQ(RunHeard("first"), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(RunHeard("second"), 0) << dir_.Read("stderr.txt");
  const std::string trace = dir_.Read("first.trace");
  EXPECT_EQ(trace, dir_.Read("second.trace"));
  const std::string mix = dir_.Read("first.wav");
  EXPECT_FALSE(WaveSamples(mix).empty());
  EXPECT_TRUE(mix == dir_.Read("second.wav"));

  const std::vector<Readable> lines = SoundLines(trace);
  ASSERT_GT(lines.size(), 10u);
  float last = -1.0f;
  bool faded = false, held = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE("readable line " + std::to_string(i));
    EXPECT_EQ(lines[i].sound, 1u);
    EXPECT_EQ(lines[i].track, 0);
    if (i + 1 == lines.size()) break;  // the race's end may have begun the fade-out
    EXPECT_EQ(lines[i].fader, 1);
    EXPECT_GE(lines[i].volume, last);  // never falls while the race runs
    EXPECT_LE(lines[i].volume, 80.0f);
    if (lines[i].volume < 80.0f) faded = true;
    if (lines[i].volume == 80.0f) held = true;
    if (held) {
      EXPECT_EQ(lines[i].volume, 80.0f);
    }
    last = lines[i].volume;
  }
  EXPECT_TRUE(lines.front().volume < 80.0f);
  EXPECT_TRUE(faded);
  EXPECT_TRUE(held);
}

// Without music the engines still sound: from the first second that is heard
// to the last, no whole second of the mix is silent, and the heard stretch
// spans the countdown.
TEST_F(Sound, WithoutMusicTheEnginesAreHeardThroughTheCountdown) {
  MakeLooseKit();
  std::filesystem::remove_all(dir_.path() / "data" / "music");
  ASSERT_EQ(RunHeard("nomusic"), 0) << dir_.Read("stderr.txt");
  const std::vector<int16_t> samples = WaveSamples(dir_.Read("nomusic.wav"));
  constexpr size_t SECOND = 44100 * 2;
  const size_t seconds = samples.size() / SECOND;
  std::vector<bool> heard(seconds);
  for (size_t s = 0; s < seconds; ++s)
    for (size_t i = s * SECOND; i < (s + 1) * SECOND && !heard[s]; ++i) heard[s] = samples[i] != 0;
  size_t first = 0, lastHeard = 0;
  while (first < seconds && !heard[first]) ++first;
  ASSERT_LT(first, seconds) << "the whole mix is silent";
  for (size_t s = first; s < seconds; ++s)
    if (heard[s]) lastHeard = s;
  for (size_t s = first; s <= lastHeard; ++s) EXPECT_TRUE(heard[s]) << "second " << s << " is silent";
  // The countdown alone lasts longer than this.
  EXPECT_GE(lastHeard - first + 1, 8u);
}

// One sound file missing: standard error names it and the readable lines
// show sound off from the load on.
TEST_F(Sound, AMissingSoundFileTurnsSoundOffAndIsNamed) {
  MakeLooseKit();
  ASSERT_TRUE(std::filesystem::remove(dir_.path() / "data" / "wav" / "vent.wav"));
  ASSERT_EQ(RunHeard("novent"), 0) << dir_.Read("stderr.txt");
  EXPECT_NE(dir_.Read("stderr.txt").find("vent.wav"), std::string::npos) << dir_.Read("stderr.txt");
  const std::vector<Readable> lines = SoundLines(dir_.Read("novent.trace"));
  ASSERT_FALSE(lines.empty());
  for (const Readable& r : lines) EXPECT_EQ(r.sound, 0u);
}

}  // namespace
