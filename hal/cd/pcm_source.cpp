#include "hal/cd/pcm_source.h"

#include <sndfile.h>

struct HalPcmSource {
  SNDFILE* file;
  HalPcmInfo info;
};

HalPcmSource* HalPcmOpen(const std::string& path, HalPcmInfo* info) {
  SF_INFO sf{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &sf);
  if (!file) return nullptr;
  if (sf.samplerate <= 0 || sf.channels <= 0 || sf.frames < 0) {
    sf_close(file);
    return nullptr;
  }
  auto* source = new HalPcmSource{file, HalPcmInfo{sf.samplerate, sf.channels, sf.frames}};
  if (info) *info = source->info;
  return source;
}

int64_t HalPcmRead(HalPcmSource* source, int16_t* frames, int64_t count) {
  if (!source || count <= 0) return 0;
  return sf_readf_short(source->file, frames, count);
}

bool HalPcmSeek(HalPcmSource* source, int64_t frame) {
  return source && sf_seek(source->file, frame, SEEK_SET) == frame;
}

void HalPcmClose(HalPcmSource* source) {
  if (!source) return;
  sf_close(source->file);
  delete source;
}
