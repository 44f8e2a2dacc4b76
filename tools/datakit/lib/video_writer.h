// The kit's logo videos: tiny AVI files (MJPEG pictures, 16-bit PCM sound)
// written with FFmpeg's bit-exact settings, so every run gives the same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datakit {

struct VideoSpec {
  std::string name;  // file name in the video folder
  int32_t frames;
  int32_t fps;
  bool sound;        // a 440 Hz tone, mono 22050 Hz, for the length of the pictures
  uint8_t r, g, b;   // the background: each video has its own
};

constexpr int32_t KIT_VIDEO_WIDTH = 64;
constexpr int32_t KIT_VIDEO_HEIGHT = 48;

// In playing order: "talveros.avi", "logo.avi", "intro.avi".
const std::vector<VideoSpec>& KitVideos();

// Frame `index` as RGB rows: the background, and a white 8 x 8 block in the
// top row of blocks that moves one block to the right each frame.
std::vector<uint8_t> KitVideoFrame(const VideoSpec& spec, int32_t index);

bool WriteVideoFile(const std::string& path, const VideoSpec& spec, std::string* error);

// OUTDIR/video/<name> for every kit video.
bool WriteVideoFolder(const std::string& outDir, std::string* error);

}  // namespace datakit
