// The 3D listener that follows the camera, the engine sound of the view not
// shown, and the stop of every sound.
#include <cmath>
#include <initializer_list>

#include "engine3d/camera.h"
#include "engine3d/random.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/music.h"
#include "presentation/sfx.h"
#include "race/race.h"

namespace {

constexpr uint32_t LISTENER_SEND_MS = 250;
constexpr float CAMERA_CUT_RATE = 2000.0f;

bool Check(int32_t result) {
  if (result == SOUND_OK) return true;
  SfxSoundOff();
  return false;
}

// Stops the engine slot of the view the vehicle is not seen from -> 1 when one was playing.
int32_t StopOtherEngine(Vehicle* v) {
  if (!v) return 0;
  return SfxStopSlot(v->viewActive == 0 ? v->engineSoundIn : v->engineSoundOut);
}

}  // namespace

void SfxUpdateListener() {
  if (!gSoundOn) return;
  SfxListener& l = gSfxListener;
  SoundListenerParams& p = l.params;
  p.position = SoundVector{gCamera.x, gCamera.y, gCamera.z};
  const float dx = p.position.x - l.last.x, dy = p.position.y - l.last.y, dz = p.position.z - l.last.z;
  float rate = std::sqrt(dx * dx + dy * dy + dz * dz) * (gRace.frameRate > 0.0f ? gRace.frameRate : 0.0f);
  // A camera cut is no movement.
  if (rate > CAMERA_CUT_RATE) rate = 0.0f;
  l.last = p.position;
  MatViewFromCamera();
  const float* m = gCamera.view;
  p.front = SoundVector{m[6], m[7], m[8]};
  p.top = SoundVector{m[3], m[4], m[5]};
  p.velocity = SoundVector{rate * m[6], rate * m[7], rate * m[8]};
  if (AppTimerElapsed(SFX_LISTENER_TIMER) <= LISTENER_SEND_MS && !l.reset) return;
  if (!Check(SoundListenerVectors(&p.position, &p.velocity, &p.front, &p.top, SOUND_OP_SET))) return;
  l.reset = 0;
  AppTimerStart(SFX_LISTENER_TIMER);
  Check(SoundCommit3D());
}

void SfxCommitListener() {
  if (!gSoundOn) return;
  Check(SoundCommit3D());
  AppTimerSet(SFX_LISTENER_TIMER, LISTENER_SEND_MS);
}

void SfxStopUnusedEngine() {
  if (!gSoundOn) return;
  int32_t stopped = 0;
  if (gRace.playersMode == 1) {
    stopped |= StopOtherEngine(gPlayer1Vehicle);
    stopped |= StopOtherEngine(gPlayer2Vehicle);
  } else if (gRace.networkGame) {
    stopped |= StopOtherEngine(NetOwnRecord());
  } else {
    stopped |= StopOtherEngine(gPlayer1Vehicle);
  }
  if (!stopped) return;
  gSfxListener.last = SoundVector{gCamera.x, gCamera.y, gCamera.z};
  gSfxListener.reset = 1;
  SfxUpdateListener();
}

void SfxStopAll() {
  if (!gSoundOn) return;
  for (SfxSlotTable* t : {&gSfx2d, &gSfx3d}) {
    for (SfxSlotEntry& e : t->entry) {
      if (gSoundOn && e.inUse && e.soundId >= 0 && SoundStop(e.soundId) != SOUND_OK) SfxSoundOff();
      e.inUse = 0;
    }
  }
  gMusic.sampleSlot = SFX_SLOT_NONE;
}

void SfxMusicSampleStart() {
  if (!gSoundOn) return;
  const int32_t index = gMusic.sampleIndex == 1 ? 1 : 0;
  const int32_t slot = gSfxEffects[SFX_ROW_CHEET + index].first2d;
  SfxLoopSlot(slot);
  gMusic.sampleSlot = slot;
  gMusic.sampleCountdown = static_cast<float>(250 + (RandNext() & 511));
}
