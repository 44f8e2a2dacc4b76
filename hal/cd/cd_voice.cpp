// The CD's voice: decodes the playing track and mixes it into the sound
// device's output, in the mixer's thread.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include "hal/cd/cd.h"
#include "hal/cd/cd_internal.h"
#include "hal/cd/mixer.h"
#include "hal/cd/pcm_source.h"

namespace {

constexpr int64_t BLOCK_FRAMES = 1024;

struct Voice {
  uint64_t generation = ~uint64_t{0};
  std::vector<HalCdTrack> tracks;
  bool placed = false;  // `track` and `cursor` say where the audio goes on
  size_t track = 0;     // index into `tracks`
  double cursor = 0.0;  // frames into the track, at its rate
  double rate = 0.0;    // of the track; the output's for a silent track
  // The open file and a block of its decoded frames. The block keeps the
  // frame before `blockStart` too, so interpolating across a block edge does
  // not seek back.
  HalPcmSource* source = nullptr;
  std::string sourcePath;
  HalPcmInfo info{};
  std::vector<int16_t> block;
  int64_t blockStart = 0;
  int64_t blockFrames = 0;
  bool hasPrevious = false;
  int64_t filePosition = 0;
};

// The mixer's thread holds it while mixing; a test reset waits for it. It is
// taken before the CD's own lock, never after.
std::mutex gVoiceLock;
Voice gVoice;

void CloseSource(Voice& v) {
  HalPcmClose(v.source);
  v.source = nullptr;
  v.sourcePath.clear();
  v.block.clear();
  v.blockStart = v.blockFrames = v.filePosition = 0;
  v.hasPrevious = false;
}

// Opens the file of track `index`, or keeps it when it is already open.
void UseTrack(Voice& v, size_t index, uint32_t outputRate) {
  v.track = index;
  const std::string& path = v.tracks[index].path;
  if (v.source && v.sourcePath == path) {
    v.rate = v.info.sampleRate;
    return;
  }
  CloseSource(v);
  if (!path.empty()) v.source = HalPcmOpen(path, &v.info);
  if (v.source) {
    v.sourcePath = path;
    v.block.assign(static_cast<size_t>((BLOCK_FRAMES + 1) * v.info.channels), 0);
    v.rate = v.info.sampleRate;
  } else {
    v.rate = outputRate;  // a missing track is silence for its length
  }
}

double TrackEndFrames(const Voice& v) { return double(v.tracks[v.track].lengthMs) * v.rate / 1000.0; }

double DiscMs(const Voice& v) { return v.tracks[v.track].startMs + v.cursor * 1000.0 / v.rate; }

// Places the voice at disc position `ms`; false past the last track.
bool Place(Voice& v, double ms, uint32_t outputRate) {
  for (size_t i = 0; i < v.tracks.size(); ++i) {
    const HalCdTrack& t = v.tracks[i];
    if (ms >= double(t.startMs) + t.lengthMs) continue;
    UseTrack(v, i, outputRate);
    v.cursor = std::max(0.0, ms - t.startMs) * v.rate / 1000.0;
    v.placed = true;
    return true;
  }
  v.placed = false;
  return false;
}

// The samples of frame `f` of the open file; null for silence. The pointer
// holds until the next call.
const int16_t* Frame(Voice& v, int64_t f) {
  if (!v.source || f < 0 || f >= v.info.frames) return nullptr;
  const int64_t ch = v.info.channels;
  const int64_t first = v.blockStart - (v.hasPrevious ? 1 : 0);
  const int64_t end = v.blockStart + v.blockFrames;
  if (f >= first && f < end) return &v.block[static_cast<size_t>((f - v.blockStart + 1) * ch)];
  int64_t start;
  if (f >= end && f < end + BLOCK_FRAMES && v.filePosition == end) {
    // Reading on: the last frame of this block becomes the frame before the next.
    v.hasPrevious = v.blockFrames > 0;
    if (v.hasPrevious) std::copy_n(&v.block[static_cast<size_t>(v.blockFrames * ch)], ch, v.block.begin());
    start = end;
  } else {
    v.hasPrevious = false;
    v.blockFrames = 0;
    if (!HalPcmSeek(v.source, f)) {
      v.filePosition = -1;  // unknown: the next read seeks again
      return nullptr;
    }
    start = f;
  }
  int64_t n = std::max<int64_t>(HalPcmRead(v.source, &v.block[static_cast<size_t>(ch)], BLOCK_FRAMES), 0);
  v.blockStart = start;
  v.blockFrames = n;
  v.filePosition = start + n;
  if (f >= start + n) return nullptr;
  return &v.block[static_cast<size_t>((f - start + 1) * ch)];
}

// Left and right of frame `f`, on the 16-bit scale.
void Stereo(Voice& v, int64_t f, double* left, double* right) {
  const int16_t* s = Frame(v, f);
  if (!s) {
    *left = *right = 0.0;
    return;
  }
  *left = s[0];
  *right = v.info.channels > 1 ? s[1] : s[0];
}

void Mix(Voice& v, const HalCdRange& range, double* stereo, uint32_t frames, uint32_t outputRate, double gain) {
  if (v.placed && std::fabs(DiscMs(v) - range.position) > HAL_CD_RESYNC_MS) v.placed = false;
  if (!v.placed && !Place(v, range.position, outputRate)) return;
  for (uint32_t i = 0; i < frames; ++i) {
    while (v.cursor >= TrackEndFrames(v)) {
      if (v.track + 1 >= v.tracks.size()) return;  // the disc ends
      double overMs = (v.cursor - TrackEndFrames(v)) * 1000.0 / v.rate;
      UseTrack(v, v.track + 1, outputRate);
      v.cursor = overMs * v.rate / 1000.0;
    }
    if (DiscMs(v) >= range.rangeEnd) return;
    if (v.source && gain > 0.0) {
      // Linear interpolation between the two frames around the cursor.
      int64_t f0 = static_cast<int64_t>(v.cursor);
      double frac = v.cursor - double(f0);
      double l0, r0, l1 = 0.0, r1 = 0.0;
      Stereo(v, f0, &l0, &r0);
      if (frac > 0.0) Stereo(v, f0 + 1, &l1, &r1);
      stereo[2 * i] += (l0 + (l1 - l0) * frac) * gain;
      stereo[2 * i + 1] += (r0 + (r1 - r0) * frac) * gain;
    }
    v.cursor += v.rate / outputRate;
  }
}

}  // namespace

void HalCdMixAudio(double* stereo, uint32_t frames, uint32_t outputRate) {
  if (!stereo || frames == 0 || outputRate == 0) return;
  double gain = HalMixerLineGain(HAL_MIXER_SRC_COMPACTDISC);
  std::lock_guard<std::mutex> guard(gVoiceLock);
  Voice& v = gVoice;
  HalCdRange range = HalCdReadRange(v.generation, &v.tracks);
  if (range.generation != v.generation) {
    v.generation = range.generation;
    v.placed = false;
    // Nothing plays: let the file go (a resume opens it again).
    if (!range.playing) CloseSource(v);
  }
  if (!range.playing || range.position >= range.rangeEnd || v.tracks.empty()) return;
  Mix(v, range, stereo, frames, outputRate, gain);
}

void HalCdVoiceResetForTest() {
  std::lock_guard<std::mutex> guard(gVoiceLock);
  CloseSource(gVoice);
  gVoice = Voice{};
}
