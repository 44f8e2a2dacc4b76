// Streamed sounds: a buffer of a few seconds in two halves, the half that is
// not playing refilled from the file by the streaming thread.
//
// The thread and the main thread share the stream tables. The thread serves
// each notification under the stream lock, and the main thread takes the same
// lock where it publishes, changes or unpublishes a stream, so freeing a sound
// waits for a refill in progress and a refill never meets a freed buffer.
#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/libshared.h"
#include "platform/sound_internal.h"

namespace {

constexpr uint32_t FILE_READ_PIECE = 100000;
constexpr uint32_t STOP_INDEX = 2 * SOUND_STREAM_COUNT;

struct StreamThread {
  std::mutex lock;
  std::thread thread;
  HalEvent stop = 0;
  // The game never shuts the library down: the thread ends with the process.
  ~StreamThread() {
    if (thread.joinable()) {
      HalEventSet(stop);
      thread.join();
    }
  }
};

StreamThread& Thread() {
  static StreamThread t;
  return t;
}

// Reads up to `count` bytes of the slot's file in pieces; the bytes read.
uint32_t ReadPieces(int32_t slot, uint8_t* out, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    uint32_t piece = std::min(FILE_READ_PIECE, count - done);
    uint32_t got = FileRead(gSound.streamFile[slot], out + done, piece);
    done += got;
    if (got != piece) break;
  }
  return done;
}

// Reads `count` bytes; what the file does not give is silence.
void ReadOrSilence(int32_t slot, uint8_t* out, uint32_t count, uint8_t silence) {
  uint32_t got = gSound.streamFile[slot] != 0 ? ReadPieces(slot, out, count) : 0;
  std::memset(out + got, silence, count - got);
}

uint8_t SilenceOf(int32_t slot) {
  HalAudioFormat format{};
  HalAudioGetFormat(gSound.buffer[slot], &format);
  return format.bitsPerSample == 8 ? 0x80 : 0x00;
}

bool SeekData(int32_t slot) {
  uint32_t start = static_cast<uint32_t>(gSound.streamDataStart[slot]);
  return FileSeek(gSound.streamFile[slot], gSound.streamDataStart[slot], 0) == start;
}

// Locks the first half from the write cursor and loads it from the read
// position: the rest of the data, then silence. False on a short read.
int32_t PreloadFirstHalf(int32_t slot) {
  void* region1 = nullptr;
  void* region2 = nullptr;
  uint32_t bytes1 = 0, bytes2 = 0;
  uint32_t half = static_cast<uint32_t>(gSound.streamBufferBytes[slot]) / 2;
  int32_t r = SoundTranslateResult(HalAudioLock(gSound.buffer[slot], 0, half, &region1, &bytes1,
                                                &region2, &bytes2,
                                                HAL_AUDIO_LOCK_FROMWRITECURSOR));
  if (r != SOUND_OK) return r;
  uint8_t silence = SilenceOf(slot);
  auto fill = [&](uint8_t* out, uint32_t length) {
    uint32_t want = length;
    int64_t left = int64_t(gSound.streamDataSize[slot]) - gSound.streamReadPos[slot];
    if (int64_t(gSound.streamReadPos[slot]) + length > gSound.streamDataSize[slot]) {
      want = static_cast<uint32_t>(std::max<int64_t>(left, 0));
    }
    uint32_t got = ReadPieces(slot, out, want);
    std::memset(out + want, silence, length - want);
    gSound.streamReadPos[slot] += static_cast<int32_t>(length);
    return got == want;
  };
  bool whole = fill(static_cast<uint8_t*>(region1), bytes1);
  if (region2 && bytes2) whole = fill(static_cast<uint8_t*>(region2), bytes2) && whole;
  r = SoundTranslateResult(
      HalAudioUnlock(gSound.buffer[slot], region1, bytes1, region2, bytes2));
  if (r != SOUND_OK) return r;
  return whole ? SOUND_OK : SOUND_FAIL;
}

// Refills one region after notification `index`. A failure is recorded in the
// last-error word and skips this refill only: other streams go on.
void ServeNotification(uint32_t index) {
  int32_t stream = static_cast<int32_t>(index / 2);
  int32_t slot = gSound.streamSound[stream];
  if (slot < 0 || !SoundSlotInUse(slot)) return;
  uint32_t size = static_cast<uint32_t>(gSound.streamBufferBytes[slot]);
  uint32_t half = size / 2;
  uint32_t offset = index % 2 == 0 ? half : 0;
  uint32_t length = index % 2 == 0 ? size - half : half;

  // The refill that met the end of the data filled the half that plays now;
  // silence follows it, and the stream ends once that half has been heard.
  if (int64_t(gSound.streamReadPos[slot]) > int64_t(gSound.streamDataSize[slot]) + half) {
    SoundStreamRewindLocked(slot);
    return;
  }
  void* region1 = nullptr;
  void* region2 = nullptr;
  uint32_t bytes1 = 0, bytes2 = 0;
  if (SoundTranslateResult(HalAudioLock(gSound.buffer[slot], offset, length, &region1, &bytes1,
                                        &region2, &bytes2, 0)) != SOUND_OK) {
    return;
  }
  uint8_t* out = static_cast<uint8_t*>(region1);
  uint8_t silence = SilenceOf(slot);
  int32_t& readPos = gSound.streamReadPos[slot];
  int32_t dataSize = gSound.streamDataSize[slot];
  if (int64_t(readPos) + bytes1 > dataSize) {
    uint32_t rest = static_cast<uint32_t>(std::max(dataSize - readPos, 0));
    ReadOrSilence(slot, out, rest, silence);
    uint32_t other = bytes1 - rest;
    if (gSound.streamLoop[slot] == 1 && gSound.streamFile[slot] != 0 && SeekData(slot)) {
      // Wraps to the data start inside this region, so the loop has no gap.
      uint32_t take = std::min<uint32_t>(other, static_cast<uint32_t>(dataSize));
      ReadOrSilence(slot, out + rest, take, silence);
      std::memset(out + rest + take, silence, other - take);
      readPos = static_cast<int32_t>(take);
    } else {
      std::memset(out + rest, silence, other);
      readPos += static_cast<int32_t>(bytes1);
    }
  } else {
    ReadOrSilence(slot, out, bytes1, silence);
    readPos += static_cast<int32_t>(bytes1);
  }
  SoundTranslateResult(HalAudioUnlock(gSound.buffer[slot], region1, bytes1, region2, bytes2));
}

// Gives back what an opening took.
int32_t AbandonOpen(int32_t stream, int32_t slot, int32_t result) {
  SoundSlotDiscard(slot);
  StreamSlotFree(stream);
  return result;
}

}  // namespace

std::mutex& SoundStreamLock() { return Thread().lock; }

bool SoundStreamThreadStart() {
  StreamThread& t = Thread();
  if (t.thread.joinable()) return true;
  t.stop = HalEventCreate();
  if (!t.stop) return false;
  try {
    t.thread = std::thread(SoundStreamThread);
  } catch (const std::system_error&) {
    HalEventClose(t.stop);
    t.stop = 0;
    return false;
  }
  return true;
}

void SoundStreamThreadStop() {
  StreamThread& t = Thread();
  if (t.thread.joinable()) {
    HalEventSet(t.stop);
    t.thread.join();
  }
  if (t.stop) HalEventClose(t.stop);
  t.stop = 0;
}

void SoundStreamThread() {
  HalEvent waitList[STOP_INDEX + 1];
  std::copy(std::begin(gSound.events), std::end(gSound.events), waitList);
  waitList[STOP_INDEX] = Thread().stop;
  for (;;) {
    uint32_t index = HalEventWaitAny(waitList, STOP_INDEX + 1, HAL_WAIT_INFINITE);
    if (index == HAL_WAIT_FAILED || index >= STOP_INDEX) return;
    std::lock_guard lock(SoundStreamLock());
    ServeNotification(index);
  }
}

bool SoundStreamWaitServed(uint32_t timeoutMs) {
  if (!Thread().thread.joinable()) return false;
  return HalEventWaitServed(gSound.events, 2 * SOUND_STREAM_COUNT, timeoutMs);
}

int32_t StreamSlotAlloc(int32_t* streamSlot) {
  if (!streamSlot) return SOUND_FAIL;
  if (gSound.streamFreeHead < 0) return SOUND_NO_SLOT;
  int32_t taken = gSound.streamFreeHead;
  gSound.streamFreeHead = gSound.streamNext[taken];
  gSound.streamNext[taken] = gSound.streamUsedHead;
  gSound.streamUsedHead = taken;
  *streamSlot = taken;
  return SOUND_OK;
}

int32_t StreamSlotFree(int32_t streamSlot) {
  if (streamSlot < 0 || streamSlot >= SOUND_STREAM_COUNT || gSound.streamUsedHead < 0) {
    return SOUND_FAIL;
  }
  if (gSound.streamUsedHead == streamSlot) {
    gSound.streamUsedHead = gSound.streamNext[streamSlot];
  } else {
    int32_t p = gSound.streamUsedHead;
    while (p >= 0 && gSound.streamNext[p] != streamSlot) p = gSound.streamNext[p];
    if (p < 0) return SOUND_FAIL;
    gSound.streamNext[p] = gSound.streamNext[streamSlot];
  }
  gSound.streamNext[streamSlot] = gSound.streamFreeHead;
  gSound.streamFreeHead = streamSlot;
  return SOUND_OK;
}

int32_t SoundFileRead(int32_t slot, void* destination, uint32_t count) {
  if (!SoundSlotInUse(slot) || !destination || gSound.streamFile[slot] == 0) return SOUND_FAIL;
  return ReadPieces(slot, static_cast<uint8_t*>(destination), count) == count ? SOUND_OK
                                                                               : SOUND_FAIL;
}

int32_t SoundStreamOpen(int32_t* slot, const char* name, uint32_t seconds, int32_t mode) {
  if (!slot || !name || seconds == 0) return SOUND_FAIL;
  if (mode != SOUND_MODE_PLAIN && mode != SOUND_MODE_3D) return SOUND_FAIL;
  if (!gSound.ds) return SOUND_NO_DRIVER;
  int32_t stream = -1;
  int32_t r = StreamSlotAlloc(&stream);
  if (r != SOUND_OK) return r;
  int32_t taken = -1;
  r = SoundSlotAlloc(&taken);
  if (r != SOUND_OK) {
    StreamSlotFree(stream);
    return r;
  }
  gSound.streamFile[taken] = FileOpen(name, FILE_MODE_READ);
  if (gSound.streamFile[taken] == 0) return AbandonOpen(stream, taken, SOUND_NO_FILE);

  WavInfo info;
  if (WavParseFile(gSound.streamFile[taken], &info) != SOUND_OK) {
    return AbandonOpen(stream, taken, SOUND_FAIL);
  }
  const HalAudioFormat& f = info.format;
  // A format without a rate or a block size cannot size the buffer.
  if (f.averageBytesPerSecond == 0 || f.blockAlign == 0) {
    return AbandonOpen(stream, taken, SOUND_FAIL);
  }
  uint64_t size = uint64_t(f.averageBytesPerSecond) * seconds;
  if (2 * uint64_t(info.dataSize) < size) {
    // The data length, rounded down to a sixteenth of a second and to whole blocks.
    uint64_t sixteenths = uint64_t(info.dataSize) * 16 / f.averageBytesPerSecond;
    size = (sixteenths * f.averageBytesPerSecond / 16) / f.blockAlign * f.blockAlign;
  }
  if (size == 0 || size > SOUND_MAX_DATA_BYTES) return AbandonOpen(stream, taken, SOUND_FAIL);

  gSound.streamDataStart[taken] = static_cast<int32_t>(info.dataOffset);
  gSound.streamDataSize[taken] = static_cast<int32_t>(info.dataSize);
  gSound.streamReadPos[taken] = 0;
  gSound.streamLoop[taken] = 0;
  HalAudioBufferDesc desc{SoundFlagsForMode(mode), static_cast<uint32_t>(size), &info.format};
  r = SoundTranslateResult(HalAudioCreateBuffer(gSound.ds, &desc, &gSound.buffer[taken]));
  if (r != SOUND_OK) {
    gSound.buffer[taken] = 0;
    return AbandonOpen(stream, taken, r);
  }
  if (mode == SOUND_MODE_3D && (r = Sound3DAttach(taken)) != SOUND_OK) {
    return AbandonOpen(stream, taken, r);
  }
  gSound.streamBufferBytes[taken] = static_cast<int32_t>(size);
  if (!SeekData(taken)) return AbandonOpen(stream, taken, SOUND_FAIL);
  if ((r = PreloadFirstHalf(taken)) != SOUND_OK) return AbandonOpen(stream, taken, r);

  HalAudioBuffer notify = 0;
  r = SoundTranslateResult(HalAudioQueryNotify(gSound.buffer[taken], &notify));
  if (r != SOUND_OK) return AbandonOpen(stream, taken, r);
  HalAudioNotify positions[2] = {
      {0, gSound.events[2 * stream]},
      {static_cast<uint32_t>(size / 2), gSound.events[2 * stream + 1]},
  };
  r = SoundTranslateResult(HalAudioSetNotificationPositions(notify, 2, positions));
  HalAudioRelease(notify);
  if (r != SOUND_OK) return AbandonOpen(stream, taken, r);

  gSound.baseFrequency[taken] = f.samplesPerSecond;
  {
    std::lock_guard lock(SoundStreamLock());
    gSound.streamSound[stream] = taken;
  }
  *slot = taken;
  return SOUND_OK;
}

int32_t SoundStreamPlay(int32_t slot, int32_t loop) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  std::lock_guard lock(SoundStreamLock());
  int32_t r = SoundTranslateResult(HalAudioPlay(gSound.buffer[slot], 0, 0, HAL_AUDIO_PLAY_LOOPING));
  if (r == SOUND_OK) gSound.streamLoop[slot] = loop;
  return r;
}

int32_t SoundStreamStop(int32_t slot) { return SoundHalt(slot); }

int32_t SoundStreamRewind(int32_t slot) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  std::lock_guard lock(SoundStreamLock());
  return SoundStreamRewindLocked(slot);
}

int32_t SoundStreamRewindLocked(int32_t slot) {
  if (!SoundSlotInUse(slot) || gSound.streamFile[slot] == 0) return SOUND_FAIL;
  int32_t r = SoundTranslateResult(HalAudioStop(gSound.buffer[slot]));
  if (r != SOUND_OK) return r;
  r = SoundTranslateResult(HalAudioSetCurrentPosition(gSound.buffer[slot], 0));
  if (r != SOUND_OK) return r;
  gSound.streamReadPos[slot] = 0;
  r = SeekData(slot) ? PreloadFirstHalf(slot) : SOUND_FAIL;
  if (r == SOUND_FAIL) {
    // The file no longer gives its data: it is closed and the sound stays silent.
    FileClose(gSound.streamFile[slot]);
    gSound.streamFile[slot] = 0;
  }
  return r;
}
