#include "tools/datakit/lib/video_writer.h"

#include <cmath>
#include <filesystem>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace datakit {

namespace {

constexpr int32_t kSoundRate = 22050;

struct Encoder {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  ~Encoder() { avcodec_free_context(&codec); }
};

struct Writer {
  AVFormatContext* format = nullptr;
  Encoder video, sound;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  bool headerWritten = false;
  ~Writer() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

bool OpenEncoder(Writer* w, Encoder* e, AVCodecID id, void (*setup)(AVCodecContext*, const VideoSpec&),
                 const VideoSpec& spec) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec) return false;
  e->codec = avcodec_alloc_context3(codec);
  e->stream = avformat_new_stream(w->format, nullptr);
  if (!e->codec || !e->stream) return false;
  setup(e->codec, spec);
  e->codec->flags |= AV_CODEC_FLAG_BITEXACT;
  if (w->format->oformat->flags & AVFMT_GLOBALHEADER) e->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(e->codec, codec, nullptr) < 0) return false;
  e->stream->time_base = e->codec->time_base;
  return avcodec_parameters_from_context(e->stream->codecpar, e->codec) >= 0;
}

void SetupVideo(AVCodecContext* c, const VideoSpec& spec) {
  c->width = KIT_VIDEO_WIDTH;
  c->height = KIT_VIDEO_HEIGHT;
  c->time_base = AVRational{1, spec.fps};
  c->framerate = AVRational{spec.fps, 1};
  c->pix_fmt = AV_PIX_FMT_YUVJ420P;
  // Fine quantisation, so flat colours come back within a step or two.
  c->flags |= AV_CODEC_FLAG_QSCALE;
  c->global_quality = FF_QP2LAMBDA * 2;
}

void SetupSound(AVCodecContext* c, const VideoSpec&) {
  c->sample_rate = kSoundRate;
  c->sample_fmt = AV_SAMPLE_FMT_S16;
  AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  av_channel_layout_copy(&c->ch_layout, &mono);
  c->time_base = AVRational{1, kSoundRate};
}

// Sends a frame (null: the end) and writes every packet it gives.
bool Encode(Writer* w, Encoder* e, AVFrame* frame) {
  if (avcodec_send_frame(e->codec, frame) < 0) return false;
  for (;;) {
    int rc = avcodec_receive_packet(e->codec, w->packet);
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return false;
    av_packet_rescale_ts(w->packet, e->codec->time_base, e->stream->time_base);
    w->packet->stream_index = e->stream->index;
    if (av_interleaved_write_frame(w->format, w->packet) < 0) return false;
  }
}

// Full-range BT.601, in integers so every machine computes the same planes.
void FillPlanes(AVFrame* f, const std::vector<uint8_t>& rgb) {
  auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  for (int y = 0; y < KIT_VIDEO_HEIGHT; ++y) {
    for (int x = 0; x < KIT_VIDEO_WIDTH; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * KIT_VIDEO_WIDTH + x) * 3];
      f->data[0][y * f->linesize[0] + x] = clamp((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8);
    }
  }
  for (int y = 0; y < KIT_VIDEO_HEIGHT / 2; ++y) {
    for (int x = 0; x < KIT_VIDEO_WIDTH / 2; ++x) {
      int r = 0, g = 0, b = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          const uint8_t* p = &rgb[(static_cast<size_t>(2 * y + dy) * KIT_VIDEO_WIDTH + 2 * x + dx) * 3];
          r += p[0];
          g += p[1];
          b += p[2];
        }
      r /= 4;
      g /= 4;
      b /= 4;
      f->data[1][y * f->linesize[1] + x] = clamp(128 + ((-43 * r - 85 * g + 128 * b + 128) >> 8));
      f->data[2][y * f->linesize[2] + x] = clamp(128 + ((128 * r - 107 * g - 21 * b + 128) >> 8));
    }
  }
}

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

const std::vector<VideoSpec>& KitVideos() {
  static const std::vector<VideoSpec> videos = {
      {"talveros.avi", 5, 10, true, 200, 40, 40},
      {"logo.avi", 4, 8, false, 40, 160, 40},
      {"intro.avi", 6, 12, true, 40, 60, 200},
  };
  return videos;
}

std::vector<uint8_t> KitVideoFrame(const VideoSpec& spec, int32_t index) {
  std::vector<uint8_t> rgb(static_cast<size_t>(KIT_VIDEO_WIDTH) * KIT_VIDEO_HEIGHT * 3);
  for (int y = 0; y < KIT_VIDEO_HEIGHT; ++y) {
    for (int x = 0; x < KIT_VIDEO_WIDTH; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * KIT_VIDEO_WIDTH + x) * 3];
      bool block = y < 8 && x / 8 == index % (KIT_VIDEO_WIDTH / 8);
      p[0] = block ? 255 : spec.r;
      p[1] = block ? 255 : spec.g;
      p[2] = block ? 255 : spec.b;
    }
  }
  return rgb;
}

bool WriteVideoFile(const std::string& path, const VideoSpec& spec, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  Writer w;
  if (avformat_alloc_output_context2(&w.format, nullptr, "avi", path.c_str()) < 0 || !w.format)
    return Fail(error, path + ": no AVI muxer");
  w.format->flags |= AVFMT_FLAG_BITEXACT;
  if (!OpenEncoder(&w, &w.video, AV_CODEC_ID_MJPEG, SetupVideo, spec))
    return Fail(error, path + ": cannot start the MJPEG encoder");
  if (spec.sound && !OpenEncoder(&w, &w.sound, AV_CODEC_ID_PCM_S16LE, SetupSound, spec))
    return Fail(error, path + ": cannot start the PCM encoder");
  if (avio_open(&w.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(error, path + ": cannot create");
  if (avformat_write_header(w.format, nullptr) < 0) return Fail(error, path + ": cannot write the header");
  w.frame = av_frame_alloc();
  w.packet = av_packet_alloc();
  if (!w.frame || !w.packet) return Fail(error, "out of memory");

  // Sound in pieces of a tenth of a second, each after the picture it starts with.
  const int32_t soundTotal = spec.frames * kSoundRate / spec.fps;
  const int32_t piece = kSoundRate / 10;
  int32_t soundDone = 0;
  for (int32_t i = 0; i <= spec.frames; ++i) {
    if (i < spec.frames) {
      av_frame_unref(w.frame);
      w.frame->format = AV_PIX_FMT_YUVJ420P;
      w.frame->width = KIT_VIDEO_WIDTH;
      w.frame->height = KIT_VIDEO_HEIGHT;
      if (av_frame_get_buffer(w.frame, 0) < 0) return Fail(error, "out of memory");
      FillPlanes(w.frame, KitVideoFrame(spec, i));
      w.frame->pts = i;
      w.frame->quality = w.video.codec->global_quality;
      if (!Encode(&w, &w.video, w.frame)) return Fail(error, path + ": cannot encode a picture");
    }
    const int32_t soundUntil = i < spec.frames ? (i + 1) * kSoundRate / spec.fps : soundTotal;
    while (spec.sound && soundDone < soundUntil) {
      int32_t n = std::min(piece, soundUntil - soundDone);
      av_frame_unref(w.frame);
      w.frame->format = AV_SAMPLE_FMT_S16;
      w.frame->sample_rate = kSoundRate;
      AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
      av_channel_layout_copy(&w.frame->ch_layout, &mono);
      w.frame->nb_samples = n;
      if (av_frame_get_buffer(w.frame, 0) < 0) return Fail(error, "out of memory");
      auto* samples = reinterpret_cast<int16_t*>(w.frame->data[0]);
      for (int32_t k = 0; k < n; ++k) {
        // A triangle wave, computed in integers.
        int32_t phase = ((soundDone + k) * 440 * 4 / kSoundRate) % 4;
        int32_t frac = ((soundDone + k) * 440 * 4) % kSoundRate;
        int32_t ramp = frac * 8000 / kSoundRate;
        samples[k] = static_cast<int16_t>(phase == 0 ? ramp : phase == 1 ? 8000 - ramp : phase == 2 ? -ramp : ramp - 8000);
      }
      w.frame->pts = soundDone;
      soundDone += n;
      if (!Encode(&w, &w.sound, w.frame)) return Fail(error, path + ": cannot encode the sound");
    }
  }
  if (!Encode(&w, &w.video, nullptr) || (spec.sound && !Encode(&w, &w.sound, nullptr)))
    return Fail(error, path + ": cannot finish the streams");
  if (av_write_trailer(w.format) < 0) return Fail(error, path + ": cannot finish the file");
  return true;
}

bool WriteVideoFolder(const std::string& outDir, std::string* error) {
  for (const VideoSpec& spec : KitVideos())
    if (!WriteVideoFile(outDir + "/video/" + spec.name, spec, error)) return false;
  return true;
}

}  // namespace datakit
