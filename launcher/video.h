// The logo videos played after the settings dialog: "talveros.avi",
// "logo.avi" and "intro.avi", full screen, one after the other. A fresh key
// press skips to the next. They are searched in the "video" folder of the
// working directory, then on the mounted optical discs; the first folder that
// holds the first video serves all three.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t VIDEO_COUNT = 3;
extern const char* const VIDEO_NAMES[VIDEO_COUNT];

// The window "Video"; on failure a message box, and false.
bool VideoCreateWindow();
intptr_t VideoWndProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// False when the display cannot be set up (nothing of it is left open then).
bool VideoOpenDisplay();
// Plays the videos and closes the display, whichever way the sequence ends.
void VideoPlayAll();

// The folders searched, in order: the working directory's "video", then the
// "video" folder of each disc mounted below /media, /run/media/<user> and /mnt.
std::vector<std::string> VideoSearchFolders();
// Tests search these instead (empty: the machine's own).
void VideoSetSearchFolders(const std::vector<std::string>& folders);

// What the last VideoPlayAll showed: each opened video's path and frame count.
struct VideoPlayed {
  std::string path;
  int32_t frames = 0;
};
const std::vector<VideoPlayed>& VideoPlayLog();
void VideoResetForTest();
