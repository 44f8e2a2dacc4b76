// What the CD's voice (cd_voice.cpp) reads of the CD's state (cd.cpp).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct HalCdTrack {
  std::string path;  // empty: no file for this number, or it does not decode
  uint32_t startMs;  // disc position where the track begins
  uint32_t lengthMs;
};

struct HalCdRange {
  uint64_t generation;  // changes with every command that moves the play position or changes the disc
  bool playing;
  uint32_t position;  // disc position now, ms
  uint32_t rangeEnd;  // disc position where the play range ends, ms
};

// The play range now, under the CD's lock; copies the track table into
// `tracks` when the generation differs from `knownGeneration`.
HalCdRange HalCdReadRange(uint64_t knownGeneration, std::vector<HalCdTrack>* tracks);

// Closes the voice's track file and forgets its place.
void HalCdVoiceResetForTest();
