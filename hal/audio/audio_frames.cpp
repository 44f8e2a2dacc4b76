// The mix of a headless program: at every shown frame, the output frames of
// the virtual time since the last mix, kept for TORVANE_AUDIO_DUMP and written
// as a WAVE file when the program ends.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hal/audio/audio_internal.h"
#include "hal/clock.h"
#include "hal/fs.h"
#include "hal/window.h"

namespace {

constexpr uint32_t CHUNK_FRAMES = HAL_AUDIO_OUTPUT_RATE;  // one second at a time
constexpr uint32_t BYTES_PER_FRAME = 2 * HAL_AUDIO_OUTPUT_CHANNELS;
constexpr uint32_t WAVE_HEADER_BYTES = 44;

struct FrameMix {
  bool started = false;
  bool keeping = false;
  uint32_t lastMs = 0;     // the virtual clock starts at 0 in a headless program
  uint64_t elapsedMs = 0;  // of virtual time mixed so far
  uint64_t mixedFrames = 0;
  std::vector<int16_t> kept;
};

FrameMix& State() {
  static FrameMix mix;
  return mix;
}

const char* DumpPath() {
  const char* path = std::getenv("TORVANE_AUDIO_DUMP");
  return path && *path ? path : nullptr;
}

void MixToFrame() {
  if (!HalHeadlessProgram()) return;
  FrameMix& s = State();
  if (!s.started) {
    s.started = true;
    s.keeping = DumpPath() != nullptr;
  }
  const uint32_t now = HalTimePeek();
  s.elapsedMs += static_cast<uint32_t>(now - s.lastMs);
  s.lastMs = now;
  const uint64_t due = s.elapsedMs * HAL_AUDIO_OUTPUT_RATE / 1000;
  std::vector<int16_t> chunk;
  while (s.mixedFrames < due) {
    const uint32_t frames = static_cast<uint32_t>(std::min<uint64_t>(due - s.mixedFrames, CHUNK_FRAMES));
    chunk.assign(size_t(frames) * HAL_AUDIO_OUTPUT_CHANNELS, 0);
    HalAudioRender(chunk.data(), frames);
    if (s.keeping) s.kept.insert(s.kept.end(), chunk.begin(), chunk.end());
    s.mixedFrames += frames;
  }
}

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, static_cast<uint16_t>(v));
  PutU16(p + 2, static_cast<uint16_t>(v >> 16));
}

void WriteDump() {
  const char* path = DumpPath();
  if (!path || !HalHeadlessProgram()) return;
  const FrameMix& s = State();
  uint64_t frames = s.kept.size() / HAL_AUDIO_OUTPUT_CHANNELS;
  // A RIFF file holds at most 4 GiB; a longer run keeps its beginning.
  const uint64_t maxFrames = (UINT32_MAX - WAVE_HEADER_BYTES) / BYTES_PER_FRAME;
  if (frames > maxFrames) {
    std::fprintf(stderr, "TORVANE_AUDIO_DUMP: the mix is too long for a WAVE file; its first %llu frames are written\n",
                 static_cast<unsigned long long>(maxFrames));
    frames = maxFrames;
  }
  const uint32_t dataBytes = static_cast<uint32_t>(frames * BYTES_PER_FRAME);
  std::vector<uint8_t> file(WAVE_HEADER_BYTES + size_t(dataBytes));
  uint8_t* h = file.data();
  std::memcpy(h, "RIFF", 4);
  PutU32(h + 4, 36 + dataBytes);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutU32(h + 16, 16);
  PutU16(h + 20, 1);  // PCM
  PutU16(h + 22, HAL_AUDIO_OUTPUT_CHANNELS);
  PutU32(h + 24, HAL_AUDIO_OUTPUT_RATE);
  PutU32(h + 28, HAL_AUDIO_OUTPUT_RATE * BYTES_PER_FRAME);
  PutU16(h + 32, BYTES_PER_FRAME);
  PutU16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  PutU32(h + 40, dataBytes);
  uint8_t* out = h + WAVE_HEADER_BYTES;
  for (uint64_t i = 0; i < frames * HAL_AUDIO_OUTPUT_CHANNELS; ++i, out += 2)
    PutU16(out, static_cast<uint16_t>(s.kept[i]));
  if (!HalWriteFileAtomic(path, file.data(), file.size()))
    std::fprintf(stderr, "TORVANE_AUDIO_DUMP: cannot write %s\n", path);
}

}  // namespace

namespace audio {

void FollowFrames() {
  State();  // built before the exit handler is registered, so it outlives it
  HalAddFrameHook(MixToFrame);
  std::atexit(WriteDump);
}

}  // namespace audio
