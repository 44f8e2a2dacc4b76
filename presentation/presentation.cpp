// Until the race presentation exists: silence, and fades that only keep time.
#include "presentation/presentation.h"

#include "platform/app.h"

uint8_t gMusicFaderFlag;

namespace {
constexpr int LISTENER_TIMER = 30;
constexpr int FADE_TIMER = 2;
constexpr uint32_t FADE_MS = 3000;
}  // namespace

void SfxStartup() { AppTimerStart(LISTENER_TIMER); }
void SfxStopAll() {}
void SfxCommitListener() { AppTimerSet(LISTENER_TIMER, AppTimerElapsed(LISTENER_TIMER) + 250); }
void MusicInit() {}
void MusicShutdown() {}
void MusicStop() {}
void ViewFadeStart() { AppTimerStart(FADE_TIMER); }
int32_t ViewFadeOutStep() { return AppTimerElapsed(FADE_TIMER) < FADE_MS ? 1 : 0; }
void DecorStartAmbientSound() {}
