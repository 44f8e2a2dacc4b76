// Decoded audio of one CD track file (Ogg Vorbis, FLAC or WAVE) through
// libsndfile. The virtual CD uses it for the lengths of its tracks; the sound
// mixer reads the playing track through it.
#pragma once
#include <cstdint>
#include <string>

struct HalPcmInfo {
  int32_t sampleRate;
  int32_t channels;
  int64_t frames;
};

struct HalPcmSource;

// Null when the file does not open or is not audio libsndfile knows.
HalPcmSource* HalPcmOpen(const std::string& path, HalPcmInfo* info);
// Interleaved 16-bit frames; returns the frames read (0 at the end).
int64_t HalPcmRead(HalPcmSource* source, int16_t* frames, int64_t count);
bool HalPcmSeek(HalPcmSource* source, int64_t frame);
void HalPcmClose(HalPcmSource* source);
