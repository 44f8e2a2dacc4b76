// Race presentation operations the shell calls: sound effects, music, fades.
#pragma once
#include <cstdint>

void SfxStartup();
void SfxStopAll();
void SfxCommitListener();
void MusicInit();
void MusicShutdown();
void MusicStop();
void ViewFadeStart();
int32_t ViewFadeOutStep();
void DecorStartAmbientSound();
// Cleared at start-up, before any music plays.
extern uint8_t gMusicFaderFlag;
