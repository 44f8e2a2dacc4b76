#include "hal/video/video.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "hal/audio/audio.h"
#include "hal/clock.h"
#include "hal/frame_dump.h"
#include "hal/window.h"

namespace {

constexpr int kSoundRate = static_cast<int>(HAL_AUDIO_OUTPUT_RATE);
constexpr size_t kSoundBytesPerFrame = 4;  // 16-bit stereo
// A logo video's sound is held whole; anything beyond this plays silent.
constexpr size_t kMaxSoundBytes = static_cast<size_t>(kSoundRate) * kSoundBytesPerFrame * 600;

struct Display {
  bool open = false;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  HalAudioDevice sound = 0;
  std::vector<uint8_t> lastFrame;
};
Display gDisplay;

// One opened file with its decoder for one stream.
struct Decoder {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  int stream = -1;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  bool flushed = false;

  ~Decoder() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }

  bool Open(const char* path, AVMediaType type) {
    if (avformat_open_input(&format, path, nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    const AVCodec* decoder = nullptr;
    stream = av_find_best_stream(format, type, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder) return false;
    codec = avcodec_alloc_context3(decoder);
    if (!codec || avcodec_parameters_to_context(codec, format->streams[stream]->codecpar) < 0) return false;
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    if (avcodec_open2(codec, decoder, nullptr) < 0) return false;
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    return packet && frame;
  }

  // The next decoded frame in `frame`; false at the end of the stream or on an error.
  bool Next() {
    for (;;) {
      int rc = avcodec_receive_frame(codec, frame);
      if (rc == 0) return true;
      if (rc != AVERROR(EAGAIN)) return false;
      if (flushed) return false;
      rc = av_read_frame(format, packet);
      if (rc < 0) {
        flushed = true;
        if (avcodec_send_packet(codec, nullptr) < 0) return false;
        continue;
      }
      if (packet->stream_index != stream) {
        av_packet_unref(packet);
        continue;
      }
      rc = avcodec_send_packet(codec, packet);
      av_packet_unref(packet);
      if (rc < 0) return false;
    }
  }
};

// The whole sound track as 16-bit stereo at the mixer's rate; empty when the
// file has none. A damaged track keeps what decoded before the damage.
std::vector<uint8_t> DecodeSound(const char* path) {
  std::vector<uint8_t> pcm;
  Decoder d;
  if (!d.Open(path, AVMEDIA_TYPE_AUDIO)) return pcm;
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  SwrContext* swr = nullptr;
  if (swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, kSoundRate, &d.codec->ch_layout, d.codec->sample_fmt,
                          d.codec->sample_rate, 0, nullptr) < 0 ||
      swr_init(swr) < 0) {
    swr_free(&swr);
    return pcm;
  }
  auto convert = [&](const uint8_t** in, int inSamples) {
    int room = swr_get_out_samples(swr, inSamples);
    if (room <= 0) return;
    size_t at = pcm.size();
    pcm.resize(at + static_cast<size_t>(room) * kSoundBytesPerFrame);
    uint8_t* out = pcm.data() + at;
    int got = swr_convert(swr, &out, room, in, inSamples);
    pcm.resize(at + static_cast<size_t>(std::max(got, 0)) * kSoundBytesPerFrame);
  };
  while (pcm.size() < kMaxSoundBytes && d.Next())
    convert(const_cast<const uint8_t**>(d.frame->extended_data), d.frame->nb_samples);
  convert(nullptr, 0);
  swr_free(&swr);
  pcm.resize(std::min(pcm.size(), kMaxSoundBytes));
  return pcm;
}

void ShowOnDisplay(const std::vector<uint8_t>& rgb) {
  if (!gDisplay.renderer || !gDisplay.texture) return;
  SDL_UpdateTexture(gDisplay.texture, nullptr, rgb.data(), HAL_VIDEO_WIDTH * 3);
  SDL_SetRenderDrawColor(gDisplay.renderer, 0, 0, 0, 255);
  SDL_RenderClear(gDisplay.renderer);
  SDL_RenderCopy(gDisplay.renderer, gDisplay.texture, nullptr, nullptr);
  SDL_RenderPresent(gDisplay.renderer);
}

}  // namespace

struct HalVideoStream {
  Decoder video;
  SwsContext* scale = nullptr;
  int64_t frameIndex = 0;
  double frameMs = 40.0;
  int64_t firstPts = AV_NOPTS_VALUE;
  uint32_t lastDue = 0;
  // Sound and time.
  HalAudioBuffer sound = 0;
  uint32_t soundBytes = 0;
  uint32_t clockStart = 0;
  uint32_t lastSoundMs = 0, lastSoundClock = 0;
  bool soundRunning = false;
};

bool HalVideoDisplayOpen() {
  HalVideoDisplayClose();
  gDisplay.open = true;
  gDisplay.lastFrame.assign(static_cast<size_t>(HAL_VIDEO_WIDTH) * HAL_VIDEO_HEIGHT * 3, 0);
  if (SDL_Window* window = HalWindowSdl()) {
    gDisplay.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!gDisplay.renderer) gDisplay.renderer = SDL_CreateRenderer(window, -1, 0);
    if (!gDisplay.renderer) return false;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_RenderSetLogicalSize(gDisplay.renderer, HAL_VIDEO_WIDTH, HAL_VIDEO_HEIGHT);
    gDisplay.texture = SDL_CreateTexture(gDisplay.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING,
                                         HAL_VIDEO_WIDTH, HAL_VIDEO_HEIGHT);
    if (!gDisplay.texture) return false;
  }
  // Without a sound device the videos play silent.
  if (!HalAudioSucceeded(HalAudioCreate(&gDisplay.sound))) gDisplay.sound = 0;
  return true;
}

void HalVideoDisplayClose() {
  if (gDisplay.texture) SDL_DestroyTexture(gDisplay.texture);
  if (gDisplay.renderer) SDL_DestroyRenderer(gDisplay.renderer);
  if (gDisplay.sound) HalAudioDeviceRelease(gDisplay.sound);
  std::vector<uint8_t> last = std::move(gDisplay.lastFrame);
  gDisplay = Display{};
  gDisplay.lastFrame = std::move(last);
}

bool HalVideoDisplayIsOpen() { return gDisplay.open; }

const std::vector<uint8_t>& HalVideoLastFrame() { return gDisplay.lastFrame; }

HalVideoStream* HalVideoStreamOpen(const char* path) {
  if (!gDisplay.open || !path) return nullptr;
  // A damaged file ends its video; FFmpeg's own account of it is not for the player.
  av_log_set_level(AV_LOG_QUIET);
  auto* s = new HalVideoStream;
  if (!s->video.Open(path, AVMEDIA_TYPE_VIDEO)) {
    delete s;
    return nullptr;
  }
  AVRational rate = s->video.format->streams[s->video.stream]->avg_frame_rate;
  if (rate.num > 0 && rate.den > 0) s->frameMs = 1000.0 * rate.den / rate.num;

  std::vector<uint8_t> pcm = DecodeSound(path);
  if (gDisplay.sound && !pcm.empty()) {
    HalAudioFormat format{1, 2, HAL_AUDIO_OUTPUT_RATE, HAL_AUDIO_OUTPUT_RATE * 4, 4, 16};
    HalAudioBufferDesc desc{HAL_AUDIO_BUFFER_CTRLVOLUME, static_cast<uint32_t>(pcm.size()), &format};
    void* region = nullptr;
    void* region2 = nullptr;
    uint32_t bytes = 0, bytes2 = 0;
    if (HalAudioSucceeded(HalAudioCreateBuffer(gDisplay.sound, &desc, &s->sound)) &&
        HalAudioSucceeded(HalAudioLock(s->sound, 0, desc.bytes, &region, &bytes, &region2, &bytes2,
                                       HAL_AUDIO_LOCK_ENTIREBUFFER))) {
      std::memcpy(region, pcm.data(), std::min<size_t>(bytes, pcm.size()));
      HalAudioUnlock(s->sound, region, bytes, region2, bytes2);
      s->soundBytes = desc.bytes;
      s->soundRunning = HalAudioSucceeded(HalAudioPlay(s->sound, 0, 0, 0));
    }
  }
  s->clockStart = HalTimeGetTime();
  s->lastSoundClock = s->clockStart;
  return s;
}

namespace {

// Milliseconds since the stream started: the sound's play cursor while the
// sound plays (and the mixer runs), the clock from there on.
uint32_t StreamTime(HalVideoStream* s) {
  uint32_t now = HalTimeGetTime();
  if (s->soundRunning && !HalIsHeadless()) {
    uint32_t status = 0, play = 0, write = 0;
    if (HalAudioSucceeded(HalAudioGetStatus(s->sound, &status)) && (status & HAL_AUDIO_STATUS_PLAYING) &&
        HalAudioSucceeded(HalAudioGetCurrentPosition(s->sound, &play, &write))) {
      s->lastSoundMs = static_cast<uint32_t>(static_cast<uint64_t>(play) * 1000 / (HAL_AUDIO_OUTPUT_RATE * 4));
      s->lastSoundClock = now;
      return s->lastSoundMs;
    }
    s->soundRunning = false;
  }
  if (s->lastSoundMs != 0) return s->lastSoundMs + (now - s->lastSoundClock);
  return now - s->clockStart;
}

}  // namespace

bool HalVideoStreamShowFrame(HalVideoStream* s) {
  if (!s || !s->video.Next()) return true;
  AVFrame* f = s->video.frame;
  if (f->width <= 0 || f->height <= 0) return true;
  s->scale = sws_getCachedContext(s->scale, f->width, f->height, static_cast<AVPixelFormat>(f->format),
                                  HAL_VIDEO_WIDTH, HAL_VIDEO_HEIGHT, AV_PIX_FMT_RGB24,
                                  SWS_BILINEAR | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
  if (!s->scale) return true;
  std::vector<uint8_t>& rgb = gDisplay.lastFrame;
  uint8_t* planes[4] = {rgb.data(), nullptr, nullptr, nullptr};
  int strides[4] = {HAL_VIDEO_WIDTH * 3, 0, 0, 0};
  if (sws_scale(s->scale, f->data, f->linesize, 0, f->height, planes, strides) != HAL_VIDEO_HEIGHT) return true;

  // A frame is due at its time stamp, or at its place in the frame sequence
  // when it has none. A damaged stamp can hold the picture a second at most.
  uint32_t due = static_cast<uint32_t>(static_cast<double>(s->frameIndex) * s->frameMs);
  if (f->best_effort_timestamp != AV_NOPTS_VALUE) {
    if (s->firstPts == AV_NOPTS_VALUE) s->firstPts = f->best_effort_timestamp;
    int64_t ms = av_rescale_q(f->best_effort_timestamp - s->firstPts,
                              s->video.format->streams[s->video.stream]->time_base, AVRational{1, 1000});
    due = static_cast<uint32_t>(std::clamp<int64_t>(ms, s->lastDue, int64_t{s->lastDue} + 1000));
  }
  due = std::min(due, s->lastDue + 1000);
  s->lastDue = due;
  ++s->frameIndex;
  for (;;) {
    uint32_t t = StreamTime(s);
    if (t >= due) break;
    if (HalClockIsVirtual())
      HalClockAdvance(due - t);
    else
      SDL_Delay(std::min<uint32_t>(due - t, 10));
  }
  ShowOnDisplay(rgb);
  HalNoteFrame();
  if (HalFrameDumpWanted()) {
    std::vector<uint16_t> pixels(rgb.size() / 3);
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = static_cast<uint16_t>((rgb[3 * i] >> 3) << 11 | (rgb[3 * i + 1] >> 2) << 5 | rgb[3 * i + 2] >> 3);
    HalFrameDumpWrite(pixels.data(), HAL_VIDEO_WIDTH, HAL_VIDEO_HEIGHT, HAL_VIDEO_WIDTH * 2, true);
  }
  return false;
}

void HalVideoStreamClose(HalVideoStream* s) {
  if (!s) return;
  if (s->sound) {
    HalAudioStop(s->sound);
    HalAudioRelease(s->sound);
  }
  sws_freeContext(s->scale);
  delete s;
}
