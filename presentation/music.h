// The music: a track of the game CD played through CD audio, faded in and out
// on the mixer's CD line and played again when it ends; in debug mode 1 sound
// samples instead. gMusic is written by the routines below (the shell clears
// the fader state at start-up); the race trace reads it.
#pragma once
#include <cstdint>

enum MusicFader : int32_t { MUSIC_IDLE = 0, MUSIC_FADE_IN = 1, MUSIC_FADE_OUT = 2 };

struct MusicState {
  int32_t track;       // 0-based CD music track, -1 none
  int32_t faderState;  // MusicFader
  float faderVolume;   // 0..80
  uint32_t savedCdVolume, savedWaveVolume;  // restored at shutdown
  // Debug mode 1's sample music.
  int32_t sampleSlot;  // the current sample's slot, 0 none
  int32_t sampleIndex;  // 0 or 1: "cheet" or "cheet1" loops
  float sampleCountdown;
};
extern MusicState gMusic;

void MusicInit();
void MusicPlayTrack(int32_t track);
void MusicStop();
void MusicPause();
void MusicResume();
void MusicFadeStep();
void MusicShutdown();
void MusicOnCdNotify();
