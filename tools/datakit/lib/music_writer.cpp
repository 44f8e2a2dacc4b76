#include "tools/datakit/lib/music_writer.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace datakit {

const std::vector<MusicTrackSpec>& KitMusicTracks() {
  // Lossless formats only: the kit's output must be the same bytes every run.
  static const std::vector<MusicTrackSpec> tracks = {
      {1, "flac", 22050, 2, 3000, 220},
      {2, "wav", 22050, 2, 2000, 330},
      {3, "flac", 22050, 2, 2500, 440},
      {4, "wav", 22050, 1, 1500, 550},
      {5, "flac", 22050, 2, 2000, 660},
  };
  return tracks;
}

bool WriteMusicTrack(const std::string& path, const MusicTrackSpec& spec, std::string* error) {
  int format = 0;
  if (spec.extension == "wav")
    format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  else if (spec.extension == "flac")
    format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  else if (spec.extension == "ogg")
    format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  if (format == 0 || spec.sampleRate <= 0 || spec.channels <= 0 || spec.toneHz <= 0) {
    if (error) *error = path + ": unknown track format";
    return false;
  }
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  SF_INFO info{};
  info.samplerate = spec.sampleRate;
  info.channels = spec.channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    if (error) *error = path + ": " + sf_strerror(nullptr);
    return false;
  }
  const int64_t frames = int64_t{spec.sampleRate} * spec.lengthMs / 1000;
  const int64_t period = std::max<int64_t>(spec.sampleRate / spec.toneHz, 2);
  std::vector<int16_t> samples(static_cast<size_t>(frames * spec.channels));
  for (int64_t f = 0; f < frames; ++f) {
    // Integer triangle wave at a quarter of full scale: no libm, same samples everywhere.
    int64_t phase = f % period;
    int64_t rise = phase < period / 2 ? phase : period - phase;
    int16_t v = static_cast<int16_t>(rise * 16000 / (period / 2) - 8000);
    for (int c = 0; c < spec.channels; ++c) samples[static_cast<size_t>(f * spec.channels + c)] = v;
  }
  bool ok = sf_writef_short(file, samples.data(), frames) == frames;
  if (!ok && error) *error = path + ": " + sf_strerror(file);
  if (sf_close(file) != 0 && ok) {
    ok = false;
    if (error) *error = path + ": cannot finish the file";
  }
  return ok;
}

bool WriteMusicFolder(const std::string& outDir, std::string* error) {
  for (const MusicTrackSpec& spec : KitMusicTracks()) {
    char name[32];
    std::snprintf(name, sizeof name, "track%02d.%s", spec.number, spec.extension.c_str());
    if (!WriteMusicTrack((std::filesystem::path(outDir) / "music" / name).string(), spec, error)) return false;
  }
  return true;
}

}  // namespace datakit
