// Sound in 3D: each 3D buffer's position, speed, distances and cone, and the
// listener, set now or at the next commit.
#include <cmath>

#include "hal/audio/audio_internal.h"

using namespace audio;

namespace {

bool Finite(const HalAudioVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

template <typename Fn>
uint32_t With3D(HalAudioCall call, HalAudioBuffer handle, Fn fn) {
  return WithBuffer(call, handle, fn, Find3D);
}

template <typename Fn>
uint32_t WithListener(HalAudioCall call, HalAudioBuffer handle, Fn fn) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (!FindListener(m, handle)) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, call);
  if (!HalAudioSucceeded(r)) return r;
  uint32_t done = fn(m);
  return HalAudioSucceeded(done) ? r : done;
}

// Applies a 3D setting now or at the next commit.
template <typename Fn>
void Set3D(Buffer& b, uint32_t apply, Fn fn) {
  fn(b.pending);
  if (apply == HAL_AUDIO_3D_IMMEDIATE) fn(b.current);
}

template <typename Fn>
void SetListener(Mixer& m, uint32_t apply, Fn fn) {
  fn(m.listenerPending);
  if (apply == HAL_AUDIO_3D_IMMEDIATE) fn(m.listenerCurrent);
}

}  // namespace

uint32_t HalAudioQuery3D(HalAudioBuffer buffer, HalAudioBuffer* buffer3d) {
  if (!buffer3d) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_QUERY_3D, buffer, [&](Buffer& b) {
    if (b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRL3D)) return HAL_AUDIO_E_NOINTERFACE;
    ++b.refs;
    *buffer3d = buffer;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetMode(HalAudioBuffer buffer3d, uint32_t mode, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (mode != HAL_AUDIO_3D_NORMAL && mode != HAL_AUDIO_3D_DISABLE) {
      return HAL_AUDIO_E_INVALIDPARAM;
    }
    Set3D(b, apply, [&](Params3D& p) { p.mode = mode; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetMode(HalAudioBuffer buffer3d, uint32_t* mode) {
  if (!mode) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *mode = b.pending.mode;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetMinDistance(HalAudioBuffer buffer3d, float distance, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (!std::isfinite(distance) || distance <= 0.0f) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) { p.minDistance = distance; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetMinDistance(HalAudioBuffer buffer3d, float* distance) {
  if (!distance) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *distance = b.pending.minDistance;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetMaxDistance(HalAudioBuffer buffer3d, float distance, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (!std::isfinite(distance) || distance <= 0.0f) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) { p.maxDistance = distance; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetMaxDistance(HalAudioBuffer buffer3d, float* distance) {
  if (!distance) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *distance = b.pending.maxDistance;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetPosition(HalAudioBuffer buffer3d, const HalAudioVector* v, uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    Set3D(b, apply, [&](Params3D& p) { p.position = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetPosition(HalAudioBuffer buffer3d, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *v = b.pending.position;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetVelocity(HalAudioBuffer buffer3d, const HalAudioVector* v, uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    Set3D(b, apply, [&](Params3D& p) { p.velocity = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetVelocity(HalAudioBuffer buffer3d, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *v = b.pending.velocity;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetConeAngles(HalAudioBuffer buffer3d, uint32_t inside, uint32_t outside,
                                 uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (inside > 360 || outside > 360 || inside > outside) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) {
      p.insideAngle = inside;
      p.outsideAngle = outside;
    });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetConeAngles(HalAudioBuffer buffer3d, uint32_t* inside, uint32_t* outside) {
  if (!inside || !outside) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *inside = b.pending.insideAngle;
    *outside = b.pending.outsideAngle;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetConeOrientation(HalAudioBuffer buffer3d, const HalAudioVector* v,
                                      uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    Set3D(b, apply, [&](Params3D& p) { p.coneOrientation = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetConeOrientation(HalAudioBuffer buffer3d, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *v = b.pending.coneOrientation;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetConeOutsideVolume(HalAudioBuffer buffer3d, int32_t volume, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (volume < HAL_AUDIO_VOLUME_MIN || volume > 0) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) { p.coneOutsideVolume = volume; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetConeOutsideVolume(HalAudioBuffer buffer3d, int32_t* volume) {
  if (!volume) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *volume = b.pending.coneOutsideVolume;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioQueryListener(HalAudioBuffer primary, HalAudioBuffer* listener) {
  if (!listener) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_QUERY_LISTENER, primary, [&](Buffer& b) {
    if (!b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRL3D)) return HAL_AUDIO_E_NOINTERFACE;
    ++b.refs;
    *listener = primary;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetAll(HalAudioBuffer listener, const HalAudioListenerParams* params,
                                uint32_t apply) {
  if (!params) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) { p = *params; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetAll(HalAudioBuffer listener, HalAudioListenerParams* params) {
  if (!params) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *params = m.listenerPending;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetPosition(HalAudioBuffer listener, const HalAudioVector* v,
                                     uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) { p.position = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetPosition(HalAudioBuffer listener, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *v = m.listenerPending.position;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetVelocity(HalAudioBuffer listener, const HalAudioVector* v,
                                     uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) { p.velocity = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetVelocity(HalAudioBuffer listener, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *v = m.listenerPending.velocity;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetOrientation(HalAudioBuffer listener, const HalAudioVector* front,
                                        const HalAudioVector* top, uint32_t apply) {
  if (!front || !top || !Finite(*front) || !Finite(*top)) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) {
      p.front = *front;
      p.top = *top;
    });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetOrientation(HalAudioBuffer listener, HalAudioVector* front,
                                        HalAudioVector* top) {
  if (!front || !top) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *front = m.listenerPending.front;
    *top = m.listenerPending.top;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioCommitDeferred(HalAudioBuffer listener) {
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    m.listenerCurrent = m.listenerPending;
    for (auto& [id, b] : m.buffers) b.current = b.pending;
    return HAL_AUDIO_OK;
  });
}

