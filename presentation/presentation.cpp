// Until the race presentation exists: the sound library starts but plays
// nothing, and there is no fade to wait for since nothing would be drawn.
#include "presentation/presentation.h"

#include "platform/app.h"
#include "platform/sound.h"

uint8_t gMusicFaderFlag;

namespace {
constexpr int LISTENER_TIMER = 30;
constexpr int FADE_TIMER = 2;
}  // namespace

// A failed start switches sound off by itself: the shell checks nothing.
void SfxStartup() {
  AppTimerStart(LISTENER_TIMER);
  SoundInit(AppGetWindow());
}
void SfxStopAll() {}
void SfxCommitListener() { AppTimerSet(LISTENER_TIMER, AppTimerElapsed(LISTENER_TIMER) + 250); }
void MusicInit() {}
void MusicShutdown() {}
void MusicStop() {}
void ViewFadeStart() { AppTimerStart(FADE_TIMER); }
int32_t ViewFadeOutStep() { return 0; }
void DecorStartAmbientSound() {}
