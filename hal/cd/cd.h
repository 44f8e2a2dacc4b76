// The virtual CD: a disc whose audio tracks are the files music/trackNN.ogg,
// .flac or .wav of the data folder (NN from 01; the disc has as many tracks as
// the highest NN present; no folder means no disc). It takes the command
// strings of the CD device ("open cdaudio", "play cdaudio from 3 to 4 notify",
// "status cdaudio number of tracks"...), answers the status queries, and posts
// HAL_MM_MCINOTIFY with HAL_MCI_NOTIFY_SUCCESSFUL to the window only when a
// play range runs to its end by itself.
//
// It keeps time on the hal clock; the sound device's mixer pulls its audio
// through HalCdMixAudio.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t {
  HAL_MCI_OK = 0,
  HAL_MCIERR_INVALID_DEVICE = 263,
  HAL_MCIERR_UNRECOGNIZED_COMMAND = 261,
  HAL_MCIERR_OUTOFRANGE = 264,
  HAL_MCIERR_BAD_INTEGER = 270,
  HAL_MCIERR_MISSING_PARAMETER = 273,
  HAL_MCIERR_DEVICE_NOT_OPEN = 305,
  HAL_MCIERR_NO_MEDIA = 269,
};

// The device id carried in the notification's lParam.
constexpr intptr_t HAL_CD_DEVICE_ID = 1;

// Sends one command; the reply (NUL-terminated, cut to fit) goes to `reply`
// when given. `notifyWindow` is the window of a " notify" command.
uint32_t HalCdSendString(const char* command, char* reply, uint32_t replyBytes, uint32_t notifyWindow);

// Posts the end-of-range notification when it is due; also runs at every
// message peek once the device is open.
void HalCdPoll();

// The folder of the track files, as a game path ("music" by default, relative
// to the working directory). Read when the device opens.
void HalCdSetFolder(const std::string& gamePath);

struct HalCdPlayback {
  bool playing;
  int32_t track;             // 1-based, 0 when there is none
  uint32_t positionInTrack;  // ms
  std::string path;          // the track's file, empty for a missing track
};
HalCdPlayback HalCdPlaying();

// The seam between the CD and the sound device: hal/audio pulls the CD's audio
// from here at every mix, and the CD knows nothing of the sound device. Adds
// `frames` stereo frames of the playing track, from the disc position the
// CD's clock gives, resampled to `outputRate` and scaled by the mixer's CD
// line (mixer.h), into `stereo` (interleaved, 16-bit scale). Called from the
// mixer's thread; adds nothing while the CD is paused, stopped or closed.
// Playback runs on from where the last call left off, so the audio has no
// seams between calls, and moves to the clock's position when a command
// replaces the range or when the two drift more than HAL_CD_RESYNC_MS apart.
void HalCdMixAudio(double* stereo, uint32_t frames, uint32_t outputRate);
constexpr uint32_t HAL_CD_RESYNC_MS = 100;

// Every command string sent since the last clear (tests).
const std::vector<std::string>& HalCdCommandLog();
void HalCdClearCommandLog();
void HalCdResetForTest();
