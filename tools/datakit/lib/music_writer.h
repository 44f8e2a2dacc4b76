// The kit's CD: short audio tracks music/trackNN.<ext> for the virtual CD.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datakit {

struct MusicTrackSpec {
  int number;             // CD track, from 1
  std::string extension;  // "wav", "flac" or "ogg"
  int32_t sampleRate;
  int32_t channels;
  uint32_t lengthMs;
  int32_t toneHz;         // a triangle tone, so each track sounds apart
};

// The tracks WriteMusicFolder writes.
const std::vector<MusicTrackSpec>& KitMusicTracks();

// One track file; the format follows the extension. False with a message on failure.
bool WriteMusicTrack(const std::string& path, const MusicTrackSpec& spec, std::string* error);

// OUTDIR/music/trackNN.* for every kit track.
bool WriteMusicFolder(const std::string& outDir, std::string* error);

}  // namespace datakit
