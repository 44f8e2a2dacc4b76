// The best-times file on arbitrary contents: whatever is read, the image
// holds ended names, a count the unlock order has places for, and its
// signature. The input is read twice: as the stored file itself, and as the
// plain image (padded with zeros) stored the way the game stores it, so that
// the fuzzer reaches what follows a good signature.
#include <cstdint>
#include <cstring>

#include "race_fuzz_setup.h"

#include "frontend/scores.h"

namespace {

void Check(const ScoresImage& image, int32_t result) {
  if ((result != 0 && result != 1) || std::memcmp(image.signature, "SIGN", 4) != 0) __builtin_trap();
  const uint32_t count = image.unlockedCount;
  if (count < SCORES_UNLOCK_FIRST || count > SCORES_UNLOCK_ALL) __builtin_trap();
  if (image.player1Name[SCORES_NAME_BYTES - 1] != '\0' || image.player2Name[SCORES_NAME_BYTES - 1] != '\0') __builtin_trap();
  for (const ScoresTable& table : image.tables)
    for (const ScoresEntry& entry : table.entries)
      for (const ScoresRow& row : entry.rows)
        if (row.name[SCORES_NAME_BYTES - 1] != '\0') __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t bytes = size > SCORES_IMAGE_BYTES ? SCORES_IMAGE_BYTES : static_cast<uint32_t>(size);
  ScoresImage image;
  Check(image, ScoresDecode(data, bytes, &image));
  static uint8_t stored[SCORES_IMAGE_BYTES];
  std::memset(stored, 0, sizeof stored);
  if (bytes) std::memcpy(stored, data, bytes);
  ScoresScramble(stored);
  Check(image, ScoresDecode(stored, SCORES_IMAGE_BYTES, &image));
  return 0;
}
