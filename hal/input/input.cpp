#include <algorithm>
#include <map>

#include "hal/input/input_fake.h"
#include "hal/input/input_internal.h"

namespace {

class FakeBackend final : public HalInputBackend {
 public:
  struct Rule {
    HalInputCall call;
    int32_t device;
    int32_t result;
    int32_t times;
  };
  struct Effect {
    int32_t device;
    HalEffectKind kind;
    HalEffectParams params;
  };

  std::vector<HalFakeJoystick> joysticks;
  std::vector<bool> acquired;
  std::vector<Rule> rules;
  std::vector<HalFakeCallRecord> calls;
  std::map<int32_t, Effect> effects;
  int32_t nextEffect = 0;

  int32_t Create(uint32_t) override { return Finish(Record(HAL_CALL_CREATE, -1), HAL_DI_OK); }

  int32_t EnumDevices(HalInputEnumDevicesCallback callback, void* context) override {
    HalFakeCallRecord& r = Record(HAL_CALL_ENUM_DEVICES, -1);
    if (Injected(r)) return r.result;
    r.result = HAL_DI_OK;
    // The record vector can grow inside the callback: do not touch `r` afterwards.
    for (int32_t i = 0; i < static_cast<int32_t>(joysticks.size()); ++i)
      if (!callback(i, context)) break;
    return HAL_DI_OK;
  }

  int32_t CreateDevice(int32_t instance, int32_t* device) override {
    HalFakeCallRecord& r = Record(HAL_CALL_CREATE_DEVICE, instance);
    if (Injected(r)) return r.result;
    if (!Valid(instance)) return Finish(r, HAL_DIERR_DEVICENOTREG);
    *device = instance;
    return Finish(r, HAL_DI_OK);
  }

  void ReleaseDevice(int32_t device) override {
    Record(HAL_CALL_RELEASE_DEVICE, device);
    if (Valid(device)) acquired[device] = false;
  }

  int32_t QueryDevice2(int32_t device) override { return Simple(HAL_CALL_QUERY_DEVICE2, device); }
  int32_t SetDataFormat(int32_t device) override { return Simple(HAL_CALL_SET_DATA_FORMAT, device); }

  int32_t SetCooperativeLevel(int32_t device, uint32_t, uint32_t flags) override {
    HalFakeCallRecord& r = Record(HAL_CALL_SET_COOPERATIVE_LEVEL, device);
    r.value = static_cast<int32_t>(flags);
    if (Injected(r)) return r.result;
    return Finish(r, Valid(device) ? HAL_DI_OK : HAL_DIERR_INVALIDPARAM);
  }

  int32_t SetProperty(int32_t device, HalInputProperty property, uint32_t offset, int32_t value,
                      int32_t value2) override {
    HalFakeCallRecord& r = Record(HAL_CALL_SET_PROPERTY, device);
    r.property = property;
    r.offset = offset;
    r.value = value;
    r.value2 = value2;
    if (Injected(r)) return r.result;
    return Finish(r, Valid(device) ? HAL_DI_OK : HAL_DIERR_INVALIDPARAM);
  }

  int32_t Acquire(int32_t device) override {
    HalFakeCallRecord& r = Record(HAL_CALL_ACQUIRE, device);
    if (Injected(r)) return r.result;
    if (!Valid(device)) return Finish(r, HAL_DIERR_INVALIDPARAM);
    int32_t result = acquired[device] ? HAL_DI_FALSE : HAL_DI_OK;
    acquired[device] = true;
    return Finish(r, result);
  }

  int32_t Unacquire(int32_t device) override {
    HalFakeCallRecord& r = Record(HAL_CALL_UNACQUIRE, device);
    if (Injected(r)) return r.result;
    if (!Valid(device)) return Finish(r, HAL_DIERR_INVALIDPARAM);
    int32_t result = acquired[device] ? HAL_DI_OK : HAL_DI_FALSE;
    acquired[device] = false;
    return Finish(r, result);
  }

  int32_t Poll(int32_t device) override {
    HalFakeCallRecord& r = Record(HAL_CALL_POLL, device);
    if (Injected(r)) return r.result;
    return Finish(r, ReadyToRead(device));
  }

  int32_t GetState(int32_t device, HalJoyState* state) override {
    HalFakeCallRecord& r = Record(HAL_CALL_GET_STATE, device);
    if (Injected(r)) return r.result;
    int32_t result = ReadyToRead(device);
    if (result == HAL_DI_OK) *state = joysticks[device].state;
    return Finish(r, result);
  }

  int32_t GetDeviceInfo(int32_t device, HalInputDeviceDesc* desc) override {
    HalFakeCallRecord& r = Record(HAL_CALL_GET_DEVICE_INFO, device);
    if (Injected(r)) return r.result;
    if (!Valid(device)) return Finish(r, HAL_DIERR_INVALIDPARAM);
    *desc = joysticks[device].desc;
    return Finish(r, HAL_DI_OK);
  }

  int32_t GetCapabilities(int32_t device, HalInputCaps* caps) override {
    HalFakeCallRecord& r = Record(HAL_CALL_GET_CAPABILITIES, device);
    if (Injected(r)) return r.result;
    if (!Valid(device)) return Finish(r, HAL_DIERR_INVALIDPARAM);
    *caps = joysticks[device].caps;
    return Finish(r, HAL_DI_OK);
  }

  int32_t EnumAxes(int32_t device, HalInputEnumAxesCallback callback, void* context) override {
    HalFakeCallRecord& r = Record(HAL_CALL_ENUM_AXES, device);
    if (Injected(r)) return r.result;
    if (!Valid(device)) return Finish(r, HAL_DIERR_INVALIDPARAM);
    Finish(r, HAL_DI_OK);
    for (const HalInputObject& axis : std::vector<HalInputObject>(joysticks[device].axes))
      if (!callback(axis, context)) break;
    return HAL_DI_OK;
  }

  int32_t EnumEffects(int32_t device, HalInputEnumEffectsCallback callback, void* context) override {
    HalFakeCallRecord& r = Record(HAL_CALL_ENUM_EFFECTS, device);
    if (Injected(r)) return r.result;
    if (!Valid(device)) return Finish(r, HAL_DIERR_INVALIDPARAM);
    Finish(r, HAL_DI_OK);
    for (uint32_t type : std::vector<uint32_t>(joysticks[device].effectTypes))
      if (!callback(type, context)) break;
    return HAL_DI_OK;
  }

  int32_t CreateEffect(int32_t device, HalEffectKind kind, const HalEffectParams& params,
                       int32_t* effect) override {
    HalFakeCallRecord& r = Record(HAL_CALL_CREATE_EFFECT, device);
    r.kind = kind;
    r.params = params;
    if (Injected(r)) return r.result;
    if (!Valid(device)) return Finish(r, HAL_DIERR_INVALIDPARAM);
    *effect = nextEffect++;
    effects[*effect] = Effect{device, kind, params};
    r.effect = *effect;
    return Finish(r, HAL_DI_OK);
  }

  int32_t EffectSetParameters(int32_t effect, const HalEffectParams& params, uint32_t which) override {
    HalFakeCallRecord& r = Record(HAL_CALL_SET_PARAMETERS, DeviceOf(effect));
    r.effect = effect;
    r.params = params;
    r.flags = which;
    if (Injected(r)) return r.result;
    auto it = effects.find(effect);
    if (it == effects.end()) return Finish(r, HAL_DIERR_NOTINITIALIZED);
    HalEffectMerge(&it->second.params, params, which);
    return Finish(r, HAL_DI_OK);
  }

  int32_t EffectStart(int32_t effect, uint32_t iterations, uint32_t flags) override {
    HalFakeCallRecord& r = Record(HAL_CALL_START, DeviceOf(effect));
    r.effect = effect;
    r.value = static_cast<int32_t>(iterations);
    r.flags = flags;
    if (Injected(r)) return r.result;
    return Finish(r, effects.count(effect) ? HAL_DI_OK : HAL_DIERR_NOTINITIALIZED);
  }

  int32_t EffectStop(int32_t effect) override {
    HalFakeCallRecord& r = Record(HAL_CALL_STOP, DeviceOf(effect));
    r.effect = effect;
    if (Injected(r)) return r.result;
    return Finish(r, effects.count(effect) ? HAL_DI_OK : HAL_DIERR_NOTINITIALIZED);
  }

  void EffectRelease(int32_t effect) override {
    HalFakeCallRecord& r = Record(HAL_CALL_RELEASE_EFFECT, DeviceOf(effect));
    r.effect = effect;
    effects.erase(effect);
  }

 private:
  bool Valid(int32_t device) const { return device >= 0 && device < static_cast<int32_t>(joysticks.size()); }

  int32_t DeviceOf(int32_t effect) const {
    auto it = effects.find(effect);
    return it == effects.end() ? -1 : it->second.device;
  }

  int32_t ReadyToRead(int32_t device) const {
    if (!Valid(device)) return HAL_DIERR_INVALIDPARAM;
    return acquired[device] ? HAL_DI_OK : HAL_DIERR_NOTACQUIRED;
  }

  HalFakeCallRecord& Record(HalInputCall call, int32_t device) {
    HalFakeCallRecord r{};
    r.call = call;
    r.device = device;
    r.effect = -1;
    calls.push_back(r);
    return calls.back();
  }

  static int32_t Finish(HalFakeCallRecord& r, int32_t result) {
    r.result = result;
    return result;
  }

  int32_t Simple(HalInputCall call, int32_t device) {
    HalFakeCallRecord& r = Record(call, device);
    if (Injected(r)) return r.result;
    return Finish(r, Valid(device) ? HAL_DI_OK : HAL_DIERR_INVALIDPARAM);
  }

  bool Injected(HalFakeCallRecord& r) {
    for (auto it = rules.begin(); it != rules.end(); ++it) {
      if (it->call != r.call || (it->device != -1 && it->device != r.device)) continue;
      r.result = it->result;
      if (it->times > 0 && --it->times == 0) rules.erase(it);
      return true;
    }
    return false;
  }
};

std::unique_ptr<HalInputBackend> gBackend;
FakeBackend* gFake = nullptr;

HalInputBackend& Backend() {
  if (!gBackend) gBackend = HalInputMakeSdlBackend();
  return *gBackend;
}

FakeBackend& Fake() {
  if (!gFake) HalInputUseFake(true);
  return *gFake;
}

}  // namespace

void HalEffectMerge(HalEffectParams* effect, const HalEffectParams& update, uint32_t which) {
  if (which & HAL_EP_DURATION) effect->duration = update.duration;
  if (which & HAL_EP_GAIN) effect->gain = update.gain;
  if (which & HAL_EP_DIRECTION) {
    // The coordinate system travels with the direction it describes.
    effect->flags = (effect->flags & ~(HAL_EFF_CARTESIAN | HAL_EFF_POLAR)) |
                    (update.flags & (HAL_EFF_CARTESIAN | HAL_EFF_POLAR));
    effect->direction[0] = update.direction[0];
    effect->direction[1] = update.direction[1];
  }
  if (which & HAL_EP_ENVELOPE) {
    effect->hasEnvelope = update.hasEnvelope;
    effect->envelope = update.envelope;
  }
  if (which & HAL_EP_TYPESPECIFIC) {
    effect->conditionCount = update.conditionCount;
    effect->condition[0] = update.condition[0];
    effect->condition[1] = update.condition[1];
    effect->constantMagnitude = update.constantMagnitude;
    effect->periodic = update.periodic;
  }
}

void HalInputUseFake(bool fake) {
  gBackend.reset();
  gFake = nullptr;
  if (fake) {
    auto backend = std::make_unique<FakeBackend>();
    gFake = backend.get();
    gBackend = std::move(backend);
  }
}

int32_t HalFakeInputAdd(const HalFakeJoystick& joystick) {
  Fake().joysticks.push_back(joystick);
  Fake().acquired.push_back(false);
  return static_cast<int32_t>(Fake().joysticks.size()) - 1;
}

HalFakeJoystick* HalFakeInputJoystick(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(Fake().joysticks.size())) return nullptr;
  return &Fake().joysticks[index];
}

void HalFakeInputSetResult(HalInputCall call, int32_t device, int32_t result, int32_t times) {
  if (times == 0) return;
  Fake().rules.push_back(FakeBackend::Rule{call, device, result, times});
}

const std::vector<HalFakeCallRecord>& HalFakeInputCalls() { return Fake().calls; }
void HalFakeInputClearCalls() { Fake().calls.clear(); }

bool HalFakeInputAcquired(int32_t device) {
  return device >= 0 && device < static_cast<int32_t>(Fake().acquired.size()) && Fake().acquired[device];
}

int32_t HalFakeInputLiveEffects() { return static_cast<int32_t>(Fake().effects.size()); }

int32_t HalInputCreate(uint32_t version) { return Backend().Create(version); }
int32_t HalInputEnumDevices(HalInputEnumDevicesCallback callback, void* context) {
  return Backend().EnumDevices(callback, context);
}
int32_t HalInputCreateDevice(int32_t instance, int32_t* device) { return Backend().CreateDevice(instance, device); }
void HalInputReleaseDevice(int32_t device) { Backend().ReleaseDevice(device); }
int32_t HalInputQueryDevice2(int32_t device) { return Backend().QueryDevice2(device); }
int32_t HalInputSetDataFormat(int32_t device) { return Backend().SetDataFormat(device); }
int32_t HalInputSetCooperativeLevel(int32_t device, uint32_t window, uint32_t flags) {
  return Backend().SetCooperativeLevel(device, window, flags);
}
int32_t HalInputSetProperty(int32_t device, HalInputProperty property, uint32_t offset, int32_t value,
                            int32_t value2) {
  return Backend().SetProperty(device, property, offset, value, value2);
}
int32_t HalInputAcquire(int32_t device) { return Backend().Acquire(device); }
int32_t HalInputUnacquire(int32_t device) { return Backend().Unacquire(device); }
int32_t HalInputPoll(int32_t device) { return Backend().Poll(device); }
int32_t HalInputGetState(int32_t device, HalJoyState* state) { return Backend().GetState(device, state); }
int32_t HalInputGetDeviceInfo(int32_t device, HalInputDeviceDesc* desc) {
  return Backend().GetDeviceInfo(device, desc);
}
int32_t HalInputGetCapabilities(int32_t device, HalInputCaps* caps) {
  return Backend().GetCapabilities(device, caps);
}
int32_t HalInputEnumAxes(int32_t device, HalInputEnumAxesCallback callback, void* context) {
  return Backend().EnumAxes(device, callback, context);
}
int32_t HalInputEnumEffects(int32_t device, HalInputEnumEffectsCallback callback, void* context) {
  return Backend().EnumEffects(device, callback, context);
}
int32_t HalInputCreateEffect(int32_t device, HalEffectKind kind, const HalEffectParams& params, int32_t* effect) {
  return Backend().CreateEffect(device, kind, params, effect);
}
int32_t HalInputEffectSetParameters(int32_t effect, const HalEffectParams& params, uint32_t which) {
  return Backend().EffectSetParameters(effect, params, which);
}
int32_t HalInputEffectStart(int32_t effect, uint32_t iterations, uint32_t flags) {
  return Backend().EffectStart(effect, iterations, flags);
}
int32_t HalInputEffectStop(int32_t effect) { return Backend().EffectStop(effect); }
void HalInputEffectRelease(int32_t effect) { Backend().EffectRelease(effect); }
