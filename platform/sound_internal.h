// What the sound library's files share among themselves.
#pragma once
#include <cstdint>
#include <mutex>

#include "platform/sound.h"

// A slot number 1..999 that holds a buffer.
bool SoundSlotInUse(int32_t slot);
// A slot 1..999 whose sound is a 3D sound.
bool SoundSlot3D(int32_t slot);
// Releases whatever the slot holds and gives it back, whether or not it has a
// buffer yet (the loaders' failure paths).
void SoundSlotDiscard(int32_t slot);
uint32_t SoundFlagsForMode(int32_t mode);

// The stream tables the streaming thread shares with the main thread.
std::mutex& SoundStreamLock();
bool SoundStreamThreadStart();
void SoundStreamThreadStop();
// Under the stream lock.
int32_t SoundStreamRewindLocked(int32_t slot);

// The format and where the samples are, as the chunk walk found them.
struct WavInfo {
  HalAudioFormat format;
  uint32_t dataOffset;
  uint32_t dataSize;
};
// 1 when the image is a WAVE sound this library plays, else 0.
int32_t WavParseImage(const void* image, uint32_t size, WavInfo* info);
int32_t WavParseFile(FileHandle file, WavInfo* info);
