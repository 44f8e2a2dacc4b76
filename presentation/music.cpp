// The music: CD tracks faded in and out on the mixer's CD line and played
// again when they end; in debug mode 1 the CD is left alone and sound samples
// take turns instead.
#include "presentation/music.h"

#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "platform/app.h"
#include "platform/cdaudio.h"
#include "presentation/sfx.h"
#include "race/race.h"

namespace {
constexpr float FULL_VOLUME = 80.0f;
constexpr int32_t WAVE_VOLUME = 70;

bool DebugMusic() { return gRace.debugMode == 1; }

void StopAtOnce() {
  gMusic.faderVolume = 0.0f;
  CdStop();
  gMusic.track = -1;
  gMusic.faderState = MUSIC_IDLE;
}

// Debug mode 1: "cheet" and "cheet1" loop in turns with "cheet2" between.
void SampleStep(float f) {
  if (!gSoundOn || gMusic.sampleSlot == SFX_SLOT_NONE) return;
  if (gMusic.sampleCountdown > 0.0f) {
    gMusic.sampleCountdown -= f;
  } else if (gMusic.sampleCountdown == 0.0f) {
    if (!SfxSlotFinished(gMusic.sampleSlot)) return;
    gMusic.sampleIndex = 1 - gMusic.sampleIndex;
    const int32_t slot = gSfxEffects[SFX_ROW_CHEET + gMusic.sampleIndex].first2d;
    SfxLoopSlot(slot);
    gMusic.sampleSlot = slot;
    gMusic.sampleCountdown = static_cast<float>(250 + (RandNext() & 511));
  } else {
    SfxStopSlot(gMusic.sampleSlot);
    gMusic.sampleCountdown = 0.0f;
    const int32_t slot = gSfxEffects[SFX_ROW_CHEET2].first2d;
    SfxPlaySlot(slot);
    gMusic.sampleSlot = slot;
  }
}
}  // namespace

MusicState gMusic{-1, MUSIC_IDLE, 0.0f, 0, 0, SFX_SLOT_NONE, 0, 0.0f};

void MusicInit() {
  CdOpen(0);
  AppSetMciNotifyHandler(MusicOnCdNotify);
  MixerOpen();
  gMusic.savedCdVolume = MixerGetCdVolume();
  gMusic.savedWaveVolume = MixerGetWaveVolume();
  MixerSetWaveVolume(WAVE_VOLUME);
  gMusic.faderVolume = 0.0f;
  gMusic.faderState = MUSIC_IDLE;
  MixerSetCdVolume(0);
}

void MusicPlayTrack(int32_t track) {
  if (DebugMusic()) return;
  gMusic.track = track;
  gMusic.faderVolume = 0.0f;
  gMusic.faderState = MUSIC_FADE_IN;
  MixerSetCdVolume(0);
  CdPlayTrack(AppGetWindow(), track);
}

void MusicStop() {
  if (gMusic.track == -1) return;
  if (DebugMusic())
    StopAtOnce();
  else
    gMusic.faderState = MUSIC_FADE_OUT;
}

void MusicPause() {
  if (gMusic.track == -1) return;
  if (DebugMusic())
    StopAtOnce();
  else
    CdPause();
}

void MusicResume() {
  if (DebugMusic() || gMusic.track == -1) return;
  gMusic.faderState = MUSIC_FADE_IN;
  CdResume(AppGetWindow());
}

void MusicFadeStep() {
  const float f = gRace.timeStep;
  if (gMusic.track != -1) {
    if (gMusic.faderState == MUSIC_FADE_IN && gMusic.faderVolume < 100.0f) {
      gMusic.faderVolume += f;
      if (gMusic.faderVolume > FULL_VOLUME) gMusic.faderVolume = FULL_VOLUME;
      MixerSetCdVolume(TruncI32(gMusic.faderVolume));
    } else if (gMusic.faderState == MUSIC_FADE_OUT) {
      gMusic.faderVolume -= f * 0.5f;
      // Reaching 0 ends the fade: the CD stops and the end of the track no
      // longer starts it again.
      if (gMusic.faderVolume <= 0.0f)
        StopAtOnce();
      else
        MixerSetCdVolume(TruncI32(gMusic.faderVolume));
    }
  }
  if (DebugMusic()) SampleStep(f);
}

void MusicShutdown() {
  MixerSetCdVolume(static_cast<int32_t>(gMusic.savedCdVolume));
  MixerSetWaveVolume(static_cast<int32_t>(gMusic.savedWaveVolume));
  MixerClose();
  CdClose();
}

void MusicOnCdNotify() {
  if (gMusic.track != -1) CdPlayTrack(AppGetWindow(), gMusic.track);
}
