// The championship saves "save.rur": fourteen 161-byte records, read field
// by field and checked, written whole through the one atomic writer.
#include <cstring>

#include "engine3d/lebytes.h"
#include "hal/fs.h"
#include "platform/app.h"
#include "platform/file.h"
#include "race/track_files.h"

SaveSlot gSaveSlots[SAVE_SLOTS];

namespace {

int32_t I32(const uint8_t* b) { return static_cast<int32_t>(GetU32(b)); }

void DecodeSlot(const uint8_t* b, SaveSlot* s) {
  s->used = I32(b);
  std::memcpy(s->label, b + 4, sizeof s->label);
  std::memcpy(s->date, b + 24, sizeof s->date);
  std::memcpy(s->options, b + 36, sizeof s->options);
  s->trackIndex = I32(b + 53);
  s->playersMode = I32(b + 57);
  s->gameMode = I32(b + 61);
  for (int i = 0; i < 2; ++i) {
    s->controllerType[i] = I32(b + 65 + 4 * i);
    s->vehicleType[i] = I32(b + 73 + 4 * i);
    std::memcpy(s->kit[i], b + 81 + 12 * i, sizeof s->kit[i]);
    s->playerRank[i] = I32(b + 125 + 4 * i);
    s->playerPoints[i] = I32(b + 153 + 4 * i);
  }
  for (int i = 0; i < 5; ++i) {
    s->computerRank[i] = I32(b + 105 + 4 * i);
    s->computerPoints[i] = I32(b + 133 + 4 * i);
  }
}

void EncodeSlot(const SaveSlot& s, uint8_t* b) {
  auto put = [&](uint32_t at, int32_t v) { PutU32(b + at, static_cast<uint32_t>(v)); };
  put(0, s.used);
  std::memcpy(b + 4, s.label, sizeof s.label);
  std::memcpy(b + 24, s.date, sizeof s.date);
  std::memcpy(b + 36, s.options, sizeof s.options);
  put(53, s.trackIndex);
  put(57, s.playersMode);
  put(61, s.gameMode);
  for (uint32_t i = 0; i < 2; ++i) {
    put(65 + 4 * i, s.controllerType[i]);
    put(73 + 4 * i, s.vehicleType[i]);
    std::memcpy(b + 81 + 12 * i, s.kit[i], sizeof s.kit[i]);
    put(125 + 4 * i, s.playerRank[i]);
    put(153 + 4 * i, s.playerPoints[i]);
  }
  for (uint32_t i = 0; i < 5; ++i) {
    put(105 + 4 * i, s.computerRank[i]);
    put(133 + 4 * i, s.computerPoints[i]);
  }
}

bool InRange(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }
bool RankValid(int32_t rank) { return rank == -1 || InRange(rank, 1, 6); }

// The values that later index the race's tables. Vehicle types stop at 7:
// the kit-car rows above belong to network players.
bool SlotValid(const SaveSlot& s) {
  if (!InRange(s.used, 0, 1)) return false;
  if (s.used == 0) return true;
  if (!InRange(s.trackIndex, 0, 9) || !InRange(s.playersMode, 0, 2) || !InRange(s.gameMode, 0, 4)) return false;
  for (int i = 0; i < 2; ++i)
    if (!InRange(s.controllerType[i], 0, 3) || !InRange(s.vehicleType[i], 0, 7) || !RankValid(s.playerRank[i]))
      return false;
  // By index: the record is packed, and a reference into it may be misaligned.
  for (size_t i = 0; i < sizeof s.computerRank / sizeof s.computerRank[0]; ++i)
    if (!RankValid(s.computerRank[i])) return false;
  return true;
}

void MarkUnused(SaveSlot* s) {
  std::memset(s, 0, sizeof *s);
}

}  // namespace

void SaveEncode(const SaveSlot* slots, uint8_t* out) {
  for (int32_t i = 0; i < SAVE_SLOTS; ++i) EncodeSlot(slots[i], out + i * SAVE_SLOT_BYTES);
}

int32_t SaveDecode(const uint8_t* file, uint32_t size, SaveSlot* slots) {
  int32_t result = SAVE_READ_OK;
  const uint32_t whole = size / SAVE_SLOT_BYTES;
  for (uint32_t i = 0; i < static_cast<uint32_t>(SAVE_SLOTS); ++i) {
    if (i >= whole || !file) {
      MarkUnused(&slots[i]);
      continue;
    }
    DecodeSlot(file + i * SAVE_SLOT_BYTES, &slots[i]);
    if (!SlotValid(slots[i])) {
      MarkUnused(&slots[i]);
      result |= SAVE_READ_REFUSED;
    }
  }
  if (size < SAVE_FILE_BYTES) result |= SAVE_READ_SHORT;
  return result;
}

int32_t SaveFileRead() {
  FileHandle handle = 0;
  for (int32_t attempt = 0; attempt < SAVE_OPEN_ATTEMPTS && !handle; ++attempt) {
    if (attempt) AppPumpMessages();
    handle = FileOpen(SAVE_FILE_NAME, FILE_MODE_READ);
  }
  if (!handle) {
    for (SaveSlot& s : gSaveSlots) MarkUnused(&s);
    return SAVE_READ_MISSING;
  }
  uint8_t file[SAVE_FILE_BYTES];
  const uint32_t read = FileRead(handle, file, SAVE_FILE_BYTES);
  FileClose(handle);
  return SaveDecode(file, read > SAVE_FILE_BYTES ? 0 : read, gSaveSlots);
}

bool SaveFileWrite() {
  uint8_t file[SAVE_FILE_BYTES];
  SaveEncode(gSaveSlots, file);
  for (int32_t attempt = 0; attempt < SAVE_OPEN_ATTEMPTS; ++attempt) {
    if (attempt) AppPumpMessages();
    if (HalWriteFileAtomic(SAVE_FILE_NAME, file, SAVE_FILE_BYTES)) return true;
  }
  return false;
}
