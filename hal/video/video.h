// Video files played full screen: pictures decoded by FFmpeg, shown 640 x 480
// in the window (scaled to it with the aspect kept), sound through the mixer
// of hal/audio. Frames are timed by the sound; by the clock when a file has
// none, and always headless, where the virtual clock keeps runs repeatable.
// Each shown frame counts for the input script and goes to the frame dump.
#pragma once
#include <cstdint>
#include <vector>

constexpr int32_t HAL_VIDEO_WIDTH = 640;
constexpr int32_t HAL_VIDEO_HEIGHT = 480;

// The display: a renderer on the window (none headless) and the sound device.
// False when it cannot be set up; what was made stays for HalVideoDisplayClose.
bool HalVideoDisplayOpen();
void HalVideoDisplayClose();
bool HalVideoDisplayIsOpen();

struct HalVideoStream;
// Opens a file that holds a video stream and starts its sound; null when the
// file cannot be read as a video or the display is not open.
HalVideoStream* HalVideoStreamOpen(const char* path);
// Waits until the next frame is due and shows it. True when the stream is
// finished: its end, or any error in it.
bool HalVideoStreamShowFrame(HalVideoStream* stream);
void HalVideoStreamClose(HalVideoStream* stream);
// The last frame shown, RGB rows from the top, kept after the display closes (for tests).
const std::vector<uint8_t>& HalVideoLastFrame();
