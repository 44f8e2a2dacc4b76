// CD audio and the mixer: the music's tracks played from the CD device by
// command strings, and the volume controls of the compact-disc and wave-out
// lines. Callers number tracks from 0; the CD's tracks are numbered from 1.
#pragma once
#include <cstdint>

#include "hal/cd/mixer.h"

constexpr int CD_REPLY_BYTES = 55;
constexpr uint32_t CD_OPEN_WAIT_MS = 15000;

struct CdAudioState {
  char buffer[CD_REPLY_BYTES];  // a command being formatted, or a reply
  int32_t lastTrack;            // number of tracks - 1; -1 unknown
};

struct MixerState {
  uint32_t handle;  // 0 closed
  HalMixerControl cdControl;    // controlId 0: not found
  HalMixerControl waveControl;
};

extern CdAudioState gCdAudio;
extern MixerState gMixer;

void CdOpen(int32_t wait);
void CdPlayTrack(uint32_t notifyWindow, int32_t track);
void CdPlayFrom(uint32_t notifyWindow, int32_t track);
void CdResume(uint32_t notifyWindow);
void CdPause();
void CdStop();
void CdClose();
int32_t CdGetLastTrack();

int32_t MixerOpen();
void MixerClose();
int32_t MixerSetCdVolume(int32_t percent);
uint32_t MixerGetCdVolume();
int32_t MixerSetWaveVolume(int32_t percent);
uint32_t MixerGetWaveVolume();

// Back to the state at start (tests).
void CdAudioResetForTest();
