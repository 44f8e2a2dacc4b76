// Front-end operations and state the shell calls and reads.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct Options {
  uint8_t detail[4];  // detail set, (second), lighting, fog/effects
  uint8_t lowTextureMemory;
  int32_t hardwarePreset;
  int32_t detailSetting;  // 0..3
  int32_t lastWord;
};
#pragma pack(pop)
static_assert(sizeof(Options) == 17, "the options block is saved with each championship");
extern Options gOptions;

extern uint8_t gMenuNetworkLeft;
extern int32_t gMenuNetSetup;
extern int32_t gMenuOpeningDone;

void MenuRunFrontEnd();
int32_t MenuEnableResolutions();
void ScoresLoad();
void PodiumRun();
void PodiumShowChampionshipEnd();
void SceneRunGameOver();
void SceneRunAfterRace();
void SceneScreenBegin();
void SceneScreenEnd();
void SceneDrawQuadOverlay();
int32_t MenuPollInput();
void MenuPollInputNow();
int32_t MenuNextChampionshipTrack();
void MenuShowPlayersLabel();
