#include "platform/cdaudio.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "hal/cd/cd.h"
#include "hal/clock.h"

CdAudioState gCdAudio{{}, -1};
MixerState gMixer{};

namespace {

// Formats a command into the shared buffer and sends it; no result is looked at.
void Send(uint32_t notifyWindow, const char* format, ...) {
  char command[CD_REPLY_BYTES];
  va_list args;
  va_start(args, format);
  std::vsnprintf(command, sizeof command, format, args);
  va_end(args);
  std::snprintf(gCdAudio.buffer, sizeof gCdAudio.buffer, "%s", command);
  HalCdSendString(gCdAudio.buffer, nullptr, 0, notifyWindow);
}

// Asks a status question; the reply lands in the shared buffer.
const char* Ask(const char* question) {
  std::snprintf(gCdAudio.buffer, sizeof gCdAudio.buffer, "%s", question);
  char reply[CD_REPLY_BYTES] = {};
  HalCdSendString(gCdAudio.buffer, reply, sizeof reply, 0);
  std::snprintf(gCdAudio.buffer, sizeof gCdAudio.buffer, "%s", reply);
  return gCdAudio.buffer;
}

// The decimal number at the start of a reply; 0 when there is none.
int32_t ReplyNumber(const char* reply) {
  int64_t n = 0;
  for (const char* p = reply; *p >= '0' && *p <= '9' && n < 100000; ++p) n = n * 10 + (*p - '0');
  return static_cast<int32_t>(n);
}

void QueryLastTrack() { gCdAudio.lastTrack = ReplyNumber(Ask("status cdaudio number of tracks")) - 1; }

// The last track, asked again when unknown; false when there is still none.
bool KnowLastTrack() {
  if (gCdAudio.lastTrack < 0) QueryLastTrack();
  return gCdAudio.lastTrack >= 0;
}

const char* Notify(uint32_t window) { return window ? " notify" : ""; }

}  // namespace

void CdOpen(int32_t wait) {
  Send(0, "open cdaudio");
  Send(0, "set cdaudio time format tmsf");
  Send(0, "set cdaudio door closed");
  if (wait) {
    uint32_t first = HalTimeGetTime();
    while (Ask("status cdaudio media present")[0] == 'f' && HalTimeGetTime() - first < CD_OPEN_WAIT_MS) {
    }
  }
  QueryLastTrack();
}

void CdPlayTrack(uint32_t notifyWindow, int32_t track) {
  if (!KnowLastTrack()) return;
  if (track == gCdAudio.lastTrack)
    Send(notifyWindow, "play cdaudio from %d%s", track + 1, Notify(notifyWindow));
  else
    Send(notifyWindow, "play cdaudio from %d to %d%s", track + 1, track + 2, Notify(notifyWindow));
}

void CdPlayFrom(uint32_t notifyWindow, int32_t track) {
  if (!KnowLastTrack()) return;
  Send(notifyWindow, "play cdaudio from %d%s", track + 1, Notify(notifyWindow));
}

void CdResume(uint32_t notifyWindow) {
  if (!KnowLastTrack()) return;
  int32_t current = ReplyNumber(Ask("status cdaudio current track"));
  if (current == gCdAudio.lastTrack + 1)
    Send(notifyWindow, "play cdaudio%s", Notify(notifyWindow));
  else
    Send(notifyWindow, "play cdaudio to %d%s", current + 1, Notify(notifyWindow));
}

void CdPause() { Send(0, "pause cdaudio"); }
void CdStop() { Send(0, "stop cdaudio"); }

void CdClose() {
  Send(0, "stop cdaudio");
  Send(0, "close cdaudio");
}

int32_t CdGetLastTrack() {
  KnowLastTrack();
  return gCdAudio.lastTrack;
}

// ---- Mixer ----

namespace {

void ForgetControls() {
  gMixer.cdControl = HalMixerControl{};
  gMixer.waveControl = HalMixerControl{};
}

int32_t Fail() {
  HalMixerClose(gMixer.handle);
  gMixer.handle = 0;
  return 0;
}

// The first volume control of a source line, by its line id.
void KeepVolumeControl(const HalMixerLine& source, HalMixerControl* keep) {
  HalMixerLine line{};
  if (HalMixerGetLineById(gMixer.handle, source.lineId, &line) != HAL_MMSYSERR_NOERROR) return;
  HalMixerControl controls[16] = {};
  uint32_t count = std::min<uint32_t>(line.controlCount, 16);
  if (count == 0 || HalMixerGetLineControls(gMixer.handle, line.lineId, controls, count) != HAL_MMSYSERR_NOERROR)
    return;
  for (uint32_t i = 0; i < count; ++i) {
    if (controls[i].type == HAL_MIXER_CONTROL_VOLUME) {
      *keep = controls[i];
      return;
    }
  }
}

bool Found(const HalMixerControl& control) { return control.controlId != 0 || control.type != 0; }

int32_t SetVolume(const HalMixerControl& control, int32_t percent) {
  if (gMixer.handle == 0 || !Found(control)) return 0;
  // Outside 0..100 the value would leave the control's range.
  uint64_t p = static_cast<uint64_t>(std::clamp(percent, 0, 100));
  uint64_t span = control.maximum - control.minimum;
  uint32_t value = control.minimum + static_cast<uint32_t>(span * p / 100);
  return HalMixerSetValue(gMixer.handle, control.controlId, value) == HAL_MMSYSERR_NOERROR ? 1 : 0;
}

uint32_t GetVolume(const HalMixerControl& control) {
  if (gMixer.handle == 0 || !Found(control) || control.maximum == control.minimum) return 0;
  uint32_t value = 0;
  if (HalMixerGetValue(gMixer.handle, control.controlId, &value) != HAL_MMSYSERR_NOERROR) return 0;
  value = std::clamp(value, control.minimum, control.maximum);
  return static_cast<uint32_t>(uint64_t{value - control.minimum} * 100 / (control.maximum - control.minimum));
}

}  // namespace

int32_t MixerOpen() {
  ForgetControls();
  if (HalMixerOpen(0, &gMixer.handle) != HAL_MMSYSERR_NOERROR) {
    gMixer.handle = 0;
    return 0;
  }
  uint32_t destinations = 0;
  if (HalMixerGetDestinationCount(gMixer.handle, &destinations) != HAL_MMSYSERR_NOERROR) return Fail();
  for (uint32_t d = 0; d < destinations; ++d) {
    HalMixerLine destination{};
    if (HalMixerGetDestination(gMixer.handle, d, &destination) != HAL_MMSYSERR_NOERROR) return Fail();
    if (destination.componentType != HAL_MIXER_DST_SPEAKERS) continue;
    for (uint32_t s = 0; s < destination.sourceCount; ++s) {
      HalMixerLine source{};
      if (HalMixerGetSource(gMixer.handle, d, s, &source) != HAL_MMSYSERR_NOERROR) continue;
      if (source.componentType == HAL_MIXER_SRC_COMPACTDISC) KeepVolumeControl(source, &gMixer.cdControl);
      if (source.componentType == HAL_MIXER_SRC_WAVEOUT) KeepVolumeControl(source, &gMixer.waveControl);
    }
  }
  if (!Found(gMixer.cdControl) && !Found(gMixer.waveControl)) return Fail();
  return 1;
}

void MixerClose() {
  if (gMixer.handle) HalMixerClose(gMixer.handle);
  gMixer.handle = 0;
  ForgetControls();
}

int32_t MixerSetCdVolume(int32_t percent) { return SetVolume(gMixer.cdControl, percent); }
uint32_t MixerGetCdVolume() { return GetVolume(gMixer.cdControl); }
int32_t MixerSetWaveVolume(int32_t percent) { return SetVolume(gMixer.waveControl, percent); }
uint32_t MixerGetWaveVolume() { return GetVolume(gMixer.waveControl); }

void CdAudioResetForTest() {
  gCdAudio = CdAudioState{{}, -1};
  gMixer = MixerState{};
}
