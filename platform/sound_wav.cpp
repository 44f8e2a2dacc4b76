// WAVE sounds: the chunk walk and the two loaders that fill a sound slot.
#include <algorithm>
#include <cstring>

#include "platform/sound_internal.h"

namespace {

constexpr uint32_t FILE_READ_PIECE = 100000;

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct ImageSource {
  const uint8_t* bytes;
  uint32_t size;
  uint64_t Length() const { return size; }
  bool ReadAt(uint64_t pos, void* out, uint32_t count) const {
    if (pos > size || count > size - pos) return false;
    std::memcpy(out, bytes + pos, count);
    return true;
  }
};

struct FileSource {
  FileHandle file;
  uint64_t length;
  uint64_t Length() const { return length; }
  bool ReadAt(uint64_t pos, void* out, uint32_t count) const {
    if (pos > length || count > length - pos) return false;
    if (FileSeek(file, static_cast<int32_t>(pos), 0) != pos) return false;
    return FileRead(file, out, count) == count;
  }
};

// Walks the chunks within the RIFF size and the source, up to the first
// "data" chunk. Every chunk must fit; a "fmt " chunk must hold the 16 bytes
// of the format and say PCM. After a chunk of odd size the next chunk may
// start at once or after a pad byte: a chunk identifier never starts with a
// zero byte, so a zero there is the pad.
template <typename Source>
int32_t WalkChunks(const Source& src, WavInfo* info) {
  uint8_t header[12];
  if (!src.ReadAt(0, header, 12)) return SOUND_FAIL;
  uint32_t riffSize = Le32(header + 4);
  if (std::memcmp(header, "RIFF", 4) != 0 || riffSize < 8 ||
      std::memcmp(header + 8, "WAVE", 4) != 0) {
    return SOUND_FAIL;
  }
  uint64_t end = std::min<uint64_t>(uint64_t(riffSize) + 8, src.Length());
  uint64_t pos = 12;
  bool afterOdd = false;
  *info = WavInfo{};
  for (;;) {
    if (afterOdd && pos < end) {
      uint8_t first;
      if (!src.ReadAt(pos, &first, 1)) return SOUND_FAIL;
      if (first == 0) ++pos;
    }
    uint8_t chunk[8];
    if (pos + 8 > end || !src.ReadAt(pos, chunk, 8)) return SOUND_FAIL;
    uint32_t size = Le32(chunk + 4);
    pos += 8;
    if (std::memcmp(chunk, "data", 4) == 0) {
      if (size > SOUND_MAX_DATA_BYTES || pos + size > end) return SOUND_FAIL;
      info->dataOffset = static_cast<uint32_t>(pos);
      info->dataSize = size;
      return SOUND_OK;
    }
    if (pos + size > end) return SOUND_FAIL;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      uint8_t f[16];
      if (size < 16 || !src.ReadAt(pos, f, 16)) return SOUND_FAIL;
      if (Le16(f) != 1) return SOUND_FAIL;
      info->format = {Le16(f), Le16(f + 2), Le32(f + 4), Le32(f + 8), Le16(f + 12), Le16(f + 14)};
    }
    pos += size;
    afterOdd = (size & 1) != 0;
  }
}

// Takes a slot and makes its buffer for the format; the slot number, or a
// result other than 1 with nothing kept.
int32_t CreateSlot(const WavInfo& info, uint32_t bytes, int32_t mode, int32_t* slot) {
  HalAudioBufferDesc desc{SoundFlagsForMode(mode), bytes, &info.format};
  int32_t r = SoundSlotAlloc(slot);
  if (r != SOUND_OK) return r;
  r = SoundTranslateResult(HalAudioCreateBuffer(gSound.ds, &desc, &gSound.buffer[*slot]));
  if (r != SOUND_OK) {
    gSound.buffer[*slot] = 0;
    SoundSlotDiscard(*slot);
    return r;
  }
  if (mode == SOUND_MODE_3D) {
    r = Sound3DAttach(*slot);
    if (r != SOUND_OK) {
      SoundSlotDiscard(*slot);
      return r;
    }
  }
  return SOUND_OK;
}

// Fills the whole buffer of `slot` through `fill(region, length)`.
template <typename Fill>
int32_t FillBuffer(int32_t slot, Fill fill) {
  void* region1 = nullptr;
  void* region2 = nullptr;
  uint32_t bytes1 = 0, bytes2 = 0;
  int32_t r = SoundTranslateResult(HalAudioLock(gSound.buffer[slot], 0, 0, &region1, &bytes1,
                                                &region2, &bytes2,
                                                HAL_AUDIO_LOCK_ENTIREBUFFER));
  if (r != SOUND_OK) return r;
  bool filled = fill(region1, bytes1);
  r = SoundTranslateResult(HalAudioUnlock(gSound.buffer[slot], region1, bytes1, region2, bytes2));
  if (r != SOUND_OK) return r;
  return filled ? SOUND_OK : SOUND_FAIL;
}

bool ValidMode(int32_t mode) { return mode == SOUND_MODE_PLAIN || mode == SOUND_MODE_3D; }

}  // namespace

int32_t WavParseImage(const void* image, uint32_t size, WavInfo* info) {
  if (!image || !info) return SOUND_FAIL;
  return WalkChunks(ImageSource{static_cast<const uint8_t*>(image), size}, info);
}

int32_t WavParseFile(FileHandle file, WavInfo* info) {
  if (file == 0 || !info) return SOUND_FAIL;
  uint32_t length = FileSeek(file, 0, 2);
  return WalkChunks(FileSource{file, length}, info);
}

int32_t SoundCreateFromWav(int32_t* slot, const void* image, uint32_t imageSize, int32_t mode) {
  if (!slot || !image || !ValidMode(mode)) return SOUND_FAIL;
  WavInfo info;
  if (WavParseImage(image, imageSize, &info) != SOUND_OK) return SOUND_FAIL;
  if (!gSound.ds) return SOUND_NO_DRIVER;
  int32_t taken = -1;
  int32_t r = CreateSlot(info, info.dataSize, mode, &taken);
  if (r != SOUND_OK) return r;
  const uint8_t* samples = static_cast<const uint8_t*>(image) + info.dataOffset;
  r = FillBuffer(taken, [&](void* region, uint32_t length) {
    std::memcpy(region, samples, std::min(length, info.dataSize));
    return true;
  });
  if (r != SOUND_OK) {
    SoundSlotDiscard(taken);
    return r;
  }
  gSound.baseFrequency[taken] = info.format.samplesPerSecond;
  *slot = taken;
  return SOUND_OK;
}

int32_t SoundLoadWavFile(int32_t* slot, const char* name, int32_t mode) {
  if (!slot || !name || !ValidMode(mode)) return SOUND_FAIL;
  FileHandle file = FileOpen(name, FILE_MODE_READ);
  if (file == 0) return SOUND_NO_FILE;
  auto finish = [&](int32_t result) {
    FileClose(file);
    return result;
  };
  WavInfo info;
  if (WavParseFile(file, &info) != SOUND_OK) return finish(SOUND_FAIL);
  if (!gSound.ds) return finish(SOUND_NO_DRIVER);
  int32_t taken = -1;
  int32_t r = CreateSlot(info, info.dataSize, mode, &taken);
  if (r != SOUND_OK) return finish(r);
  r = FillBuffer(taken, [&](void* region, uint32_t length) {
    if (FileSeek(file, static_cast<int32_t>(info.dataOffset), 0) != info.dataOffset) return false;
    uint8_t* out = static_cast<uint8_t*>(region);
    length = std::min(length, info.dataSize);
    for (uint32_t done = 0; done < length;) {
      uint32_t piece = std::min(FILE_READ_PIECE, length - done);
      if (FileRead(file, out + done, piece) != piece) return false;
      done += piece;
    }
    return true;
  });
  if (r != SOUND_OK) {
    SoundSlotDiscard(taken);
    return finish(r);
  }
  gSound.baseFrequency[taken] = info.format.samplesPerSecond;
  *slot = taken;
  return finish(SOUND_OK);
}
