#include "launcher/video.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "hal/fs.h"
#include "hal/video/video.h"
#include "hal/window.h"
#include "launcher/message.h"

const char* const VIDEO_NAMES[VIDEO_COUNT] = {"talveros.avi", "logo.avi", "intro.avi"};

namespace {

struct VideoState {
  std::vector<std::string> folderOverride;
  std::string folder;  // where the first video was found
  bool folderKnown = false;
  bool skip = false;
  HalVideoStream* stream = nullptr;
  std::vector<VideoPlayed> log;
};
VideoState gVideo;

// Subfolders of `base`, sorted, each with "/video" appended.
void AddDiscFolders(const std::string& base, std::vector<std::string>* out) {
  std::error_code ec;
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(base, ec))
    if (entry.is_directory(ec)) found.push_back(entry.path().string() + "/video");
  std::sort(found.begin(), found.end());
  out->insert(out->end(), found.begin(), found.end());
}

bool VideoFindFile(const char* name, std::string* path) {
  if (gVideo.folderKnown) {
    *path = HalResolvePath((gVideo.folder + "/" + name).c_str());
    return true;
  }
  for (const std::string& folder : VideoSearchFolders()) {
    std::string candidate = HalResolvePath((folder + "/" + name).c_str());
    if (std::FILE* f = std::fopen(candidate.c_str(), "rb")) {
      std::fclose(f);
      gVideo.folder = folder;
      gVideo.folderKnown = true;
      *path = candidate;
      return true;
    }
  }
  return false;
}

bool VideoOpen(const char* name) {
  std::string path;
  if (!VideoFindFile(name, &path)) return false;
  gVideo.stream = HalVideoStreamOpen(path.c_str());
  if (!gVideo.stream) return false;
  gVideo.log.push_back(VideoPlayed{path, 0});
  return true;
}

// True when the video is finished.
bool VideoShowFrame() {
  if (HalVideoStreamShowFrame(gVideo.stream)) return true;
  ++gVideo.log.back().frames;
  return false;
}

void VideoCloseStream() {
  HalVideoStreamClose(gVideo.stream);
  gVideo.stream = nullptr;
}

void VideoCloseDisplay() { HalVideoDisplayClose(); }

}  // namespace

std::vector<std::string> VideoSearchFolders() {
  if (!gVideo.folderOverride.empty()) return gVideo.folderOverride;
  std::vector<std::string> folders = {"video"};
  const char* user = std::getenv("USER");
  AddDiscFolders("/media", &folders);
  if (user && *user) {
    AddDiscFolders(std::string("/media/") + user, &folders);
    AddDiscFolders(std::string("/run/media/") + user, &folders);
  }
  AddDiscFolders("/mnt", &folders);
  return folders;
}

void VideoSetSearchFolders(const std::vector<std::string>& folders) { gVideo.folderOverride = folders; }

const std::vector<VideoPlayed>& VideoPlayLog() { return gVideo.log; }

void VideoResetForTest() {
  VideoCloseStream();
  VideoCloseDisplay();
  gVideo = VideoState{};
}

intptr_t VideoWndProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case HAL_WM_KEYDOWN:
      // A held key repeats: only a fresh press skips, or one press would skip them all.
      if ((lParam & HAL_KEY_PREVIOUS_DOWN) == 0) gVideo.skip = true;
      return 0;
    case HAL_WM_PAINT:
      return 0;
    case HAL_WM_CLOSE:
      HalPostMessage(window, HAL_WM_DESTROY, 0, 0);
      return 0;
    case HAL_WM_DESTROY:
      HalPostQuitMessage(0);
      return 0;
    default:
      return HalDefWindowProc(window, message, wParam, lParam);
  }
}

bool VideoCreateWindow() {
  if (HalWindowCreate("Video", VideoWndProc) == 0) {
    LauncherMessageBox("ERREUR", "Creation fenetre WinApp impossible.", "OK");
    return false;
  }
  HalShowCursor(false);
  return true;
}

bool VideoOpenDisplay() {
  if (HalVideoDisplayOpen()) return true;
  VideoCloseDisplay();
  return false;
}

void VideoPlayAll() {
  gVideo.log.clear();
  int32_t current = 0;
  if (VideoOpen(VIDEO_NAMES[current])) {
    gVideo.skip = false;
    for (;;) {
      HalMsg msg;
      if (HalPeekMessage(&msg)) {
        if (msg.message == HAL_WM_QUIT) break;
        HalDispatchMessage(msg);
      }
      if (!VideoShowFrame() && !gVideo.skip) continue;
      gVideo.skip = false;
      VideoCloseStream();
      if (++current == VIDEO_COUNT || !VideoOpen(VIDEO_NAMES[current])) break;
    }
  }
  // Every way out closes the stream and the display.
  VideoCloseStream();
  VideoCloseDisplay();
}
