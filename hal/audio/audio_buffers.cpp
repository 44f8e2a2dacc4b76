// Sound buffers: creation and duplication, format, play and stop, position,
// frequency, volume and pan, locking for writes, and position notifications.
#include <algorithm>
#include <cstring>

#include "hal/audio/audio_internal.h"

using namespace audio;

namespace {

bool ValidFormat(const HalAudioFormat& f) {
  return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
         f.blockAlign == f.channels * f.bitsPerSample / 8 &&
         f.samplesPerSecond >= HAL_AUDIO_MIN_FREQUENCY &&
         f.samplesPerSecond <= HAL_AUDIO_MAX_FREQUENCY;
}

uint32_t ByteCursor(const Buffer& b) {
  return static_cast<uint32_t>(b.cursor) * b.format.blockAlign;
}

}  // namespace

uint32_t HalAudioCreateBuffer(HalAudioDevice device, const HalAudioBufferDesc* desc,
                              HalAudioBuffer* buffer) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open || !desc || !buffer) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_CREATE_BUFFER);
  if (!HalAudioSucceeded(r)) return r;
  Buffer b;
  b.flags = desc->flags;
  if (desc->flags & HAL_AUDIO_BUFFER_PRIMARY) {
    if (desc->bytes != 0 || desc->format) return HAL_AUDIO_E_INVALIDPARAM;
    for (const auto& [id, other] : m.buffers) {
      if (other.primary) return HAL_AUDIO_E_ALLOCATED;
    }
    b.primary = true;
    b.format = {1, 2, HAL_AUDIO_OUTPUT_RATE, HAL_AUDIO_OUTPUT_RATE * 4, 4, 16};
  } else {
    if (!desc->format) return HAL_AUDIO_E_INVALIDPARAM;
    if (!ValidFormat(*desc->format)) return HAL_AUDIO_E_BADFORMAT;
    if (desc->bytes < desc->format->blockAlign || desc->bytes > HAL_AUDIO_MAX_BUFFER_BYTES) {
      return HAL_AUDIO_E_INVALIDPARAM;
    }
    b.format = *desc->format;
    uint8_t silence = b.format.bitsPerSample == 8 ? 0x80 : 0x00;
    b.data = std::make_shared<std::vector<uint8_t>>(desc->bytes, silence);
    b.frequency = b.format.samplesPerSecond;
  }
  HalAudioBuffer id = m.nextId++;
  m.buffers.emplace(id, std::move(b));
  *buffer = id;
  return r;
}

uint32_t HalAudioDuplicateBuffer(HalAudioDevice device, HalAudioBuffer source,
                                 HalAudioBuffer* duplicate) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open || !duplicate) return HAL_AUDIO_E_INVALIDPARAM;
  Buffer* src = Find(m, source);
  if (!src || src->primary) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_DUPLICATE_BUFFER);
  if (!HalAudioSucceeded(r)) return r;
  Buffer b;
  b.flags = src->flags;
  b.format = src->format;
  b.data = src->data;
  b.frequency = src->frequency;
  b.volume = src->volume;
  b.pan = src->pan;
  b.pending = src->pending;
  b.current = src->current;
  HalAudioBuffer id = m.nextId++;
  m.buffers.emplace(id, std::move(b));
  *duplicate = id;
  return r;
}

uint32_t HalAudioRelease(HalAudioBuffer buffer) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  auto it = m.buffers.find(buffer);
  if (it == m.buffers.end()) return HAL_AUDIO_E_INVALIDPARAM;
  if (--it->second.refs == 0) m.buffers.erase(it);
  return HAL_AUDIO_OK;
}

uint32_t HalAudioSetFormat(HalAudioBuffer primary, const HalAudioFormat* format) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  Buffer* b = FindListener(m, primary);
  if (!b || !format) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_SET_FORMAT);
  if (!HalAudioSucceeded(r)) return r;
  if (!ValidFormat(*format)) return HAL_AUDIO_E_BADFORMAT;
  // The mixer keeps its own output format; the primary format is what callers read back.
  b->format = *format;
  return r;
}

uint32_t HalAudioGetFormat(HalAudioBuffer buffer, HalAudioFormat* format) {
  if (!format) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_COUNT, buffer, [&](Buffer& b) {
    *format = b.format;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioPlay(HalAudioBuffer buffer, uint32_t reserved, uint32_t, uint32_t flags) {
  return WithBuffer(HAL_AUDIO_CALL_PLAY, buffer, [&](Buffer& b) {
    if (reserved != 0) return HAL_AUDIO_E_INVALIDPARAM;
    if (b.primary) return HAL_AUDIO_OK;  // the primary buffer always runs
    b.playing = true;
    b.looping = (flags & HAL_AUDIO_PLAY_LOOPING) != 0;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioStop(HalAudioBuffer buffer) {
  return WithBuffer(HAL_AUDIO_CALL_STOP, buffer, [&](Buffer& b) {
    b.playing = false;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetCurrentPosition(HalAudioBuffer buffer, uint32_t offset) {
  return WithBuffer(HAL_AUDIO_CALL_SET_POSITION, buffer, [&](Buffer& b) {
    if (b.primary || offset >= b.Bytes()) return HAL_AUDIO_E_INVALIDPARAM;
    b.cursor = double(offset / b.format.blockAlign);
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetCurrentPosition(HalAudioBuffer buffer, uint32_t* play, uint32_t* write) {
  return WithBuffer(HAL_AUDIO_CALL_GET_POSITION, buffer, [&](Buffer& b) {
    uint32_t at = b.primary ? 0 : ByteCursor(b);
    if (play) *play = at;
    if (write) *write = at;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetStatus(HalAudioBuffer buffer, uint32_t* status) {
  if (!status) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_STATUS, buffer, [&](Buffer& b) {
    *status = (b.playing ? HAL_AUDIO_STATUS_PLAYING : 0) |
              (b.playing && b.looping ? HAL_AUDIO_STATUS_LOOPING : 0);
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetFrequency(HalAudioBuffer buffer, uint32_t hz) {
  return WithBuffer(HAL_AUDIO_CALL_SET_FREQUENCY, buffer, [&](Buffer& b) {
    if (b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRLFREQUENCY)) {
      return HAL_AUDIO_E_CONTROLUNAVAIL;
    }
    if (hz == 0) hz = b.format.samplesPerSecond;
    if (hz < HAL_AUDIO_MIN_FREQUENCY || hz > HAL_AUDIO_MAX_FREQUENCY) {
      return HAL_AUDIO_E_INVALIDPARAM;
    }
    b.frequency = hz;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetFrequency(HalAudioBuffer buffer, uint32_t* hz) {
  if (!hz) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_FREQUENCY, buffer, [&](Buffer& b) {
    if (b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRLFREQUENCY)) {
      return HAL_AUDIO_E_CONTROLUNAVAIL;
    }
    *hz = b.frequency;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetVolume(HalAudioBuffer buffer, int32_t volume) {
  return WithBuffer(HAL_AUDIO_CALL_SET_VOLUME, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLVOLUME)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    if (volume < HAL_AUDIO_VOLUME_MIN || volume > 0) return HAL_AUDIO_E_INVALIDPARAM;
    b.volume = volume;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetVolume(HalAudioBuffer buffer, int32_t* volume) {
  if (!volume) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_VOLUME, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLVOLUME)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    *volume = b.volume;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetPan(HalAudioBuffer buffer, int32_t pan) {
  return WithBuffer(HAL_AUDIO_CALL_SET_PAN, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLPAN)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    if (pan < -HAL_AUDIO_PAN_LIMIT || pan > HAL_AUDIO_PAN_LIMIT) return HAL_AUDIO_E_INVALIDPARAM;
    b.pan = pan;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetPan(HalAudioBuffer buffer, int32_t* pan) {
  if (!pan) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_PAN, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLPAN)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    *pan = b.pan;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioLock(HalAudioBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                      uint32_t* bytes1, void** region2, uint32_t* bytes2, uint32_t flags) {
  if (!region1 || !bytes1) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_LOCK, buffer, [&](Buffer& b) {
    uint32_t size = b.Bytes();
    if (b.primary) return HAL_AUDIO_E_PRIOLEVELNEEDED;
    if (b.locked) return HAL_AUDIO_E_INVALIDCALL;
    if (flags & HAL_AUDIO_LOCK_ENTIREBUFFER) {
      offset = 0;
      bytes = size;
    } else if (flags & HAL_AUDIO_LOCK_FROMWRITECURSOR) {
      offset = ByteCursor(b);
    }
    if (bytes == 0 || bytes > size || offset >= size) return HAL_AUDIO_E_INVALIDPARAM;
    uint32_t first = std::min(bytes, size - offset);
    uint32_t second = bytes - first;
    if (second > 0 && !region2) return HAL_AUDIO_E_INVALIDPARAM;
    // The caller writes into a copy that the unlock puts back, so the mixer
    // never reads bytes another thread is writing.
    b.staging.assign(b.data->begin() + offset, b.data->begin() + offset + first);
    b.staging.insert(b.staging.end(), b.data->begin(), b.data->begin() + second);
    b.locked = true;
    b.lockOffset = offset;
    b.lockBytes1 = first;
    b.lockBytes2 = second;
    *region1 = b.staging.data();
    *bytes1 = first;
    if (region2) *region2 = second ? b.staging.data() + first : nullptr;
    if (bytes2) *bytes2 = second;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioUnlock(HalAudioBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                        uint32_t bytes2) {
  return WithBuffer(HAL_AUDIO_CALL_UNLOCK, buffer, [&](Buffer& b) {
    if (!b.locked || region1 != b.staging.data()) return HAL_AUDIO_E_INVALIDPARAM;
    if (region2 && region2 != b.staging.data() + b.lockBytes1) return HAL_AUDIO_E_INVALIDPARAM;
    uint32_t first = std::min(bytes1, b.lockBytes1);
    uint32_t second = region2 ? std::min(bytes2, b.lockBytes2) : 0;
    std::memcpy(b.data->data() + b.lockOffset, b.staging.data(), first);
    std::memcpy(b.data->data(), b.staging.data() + b.lockBytes1, second);
    b.locked = false;
    b.staging.clear();
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioQueryNotify(HalAudioBuffer buffer, HalAudioBuffer* notify) {
  if (!notify) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_QUERY_NOTIFY, buffer, [&](Buffer& b) {
    if (!(b.flags & HAL_AUDIO_BUFFER_CTRLPOSITIONNOTIFY)) return HAL_AUDIO_E_NOINTERFACE;
    ++b.refs;
    *notify = buffer;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetNotificationPositions(HalAudioBuffer notify, uint32_t count,
                                          const HalAudioNotify* positions) {
  if (count > 0 && !positions) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_SET_NOTIFICATIONS, notify, [&](Buffer& b) {
    if (!(b.flags & HAL_AUDIO_BUFFER_CTRLPOSITIONNOTIFY)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    if (b.playing) return HAL_AUDIO_E_INVALIDCALL;
    for (uint32_t i = 0; i < count; ++i) {
      if (positions[i].offset >= b.Bytes() || positions[i].event == 0) {
        return HAL_AUDIO_E_INVALIDPARAM;
      }
    }
    b.notifications.assign(positions, positions + count);
    return HAL_AUDIO_OK;
  });
}

