// The device layer on SDL2's joystick and haptic support. Where SDL2 lacks
// something the game asks for, this layer makes up for it rather than
// failing, since the game turns force feedback off at the first failure: no
// square wave (the nearest periodic wave the device has plays instead), no
// per-effect gain (levels and magnitudes are scaled by it), and times in
// milliseconds rather than microseconds.
#include <SDL.h>

#include <algorithm>
#include <map>
#include <vector>

#include "hal/input/input_internal.h"
#include "hal/window.h"

namespace {

constexpr int MAX_AXES = 8;  // six axes and two sliders
constexpr uint32_t PERIODIC_ORDER[] = {SDL_HAPTIC_SINE, SDL_HAPTIC_TRIANGLE, SDL_HAPTIC_SAWTOOTHUP,
                                       SDL_HAPTIC_SAWTOOTHDOWN};
constexpr uint32_t CONDITION_ORDER[] = {SDL_HAPTIC_SPRING, SDL_HAPTIC_DAMPER, SDL_HAPTIC_FRICTION,
                                        SDL_HAPTIC_INERTIA};

struct Device {
  SDL_Joystick* joystick = nullptr;
  SDL_Haptic* haptic = nullptr;
  bool acquired = false;
  int32_t rangeMin[MAX_AXES];
  int32_t rangeMax[MAX_AXES];
  int32_t deadZone[MAX_AXES] = {};
};

struct Effect {
  int32_t device;
  HalEffectKind kind;
  HalEffectParams params;
  int sdlId;
};

int16_t Level(int64_t value, uint32_t gain) {
  value = std::clamp<int64_t>(value, -10000, 10000);
  return static_cast<int16_t>(value * 32767 / 10000 * std::min<uint32_t>(gain, 10000) / 10000);
}
uint16_t Unsigned(uint32_t value, uint32_t gain) {
  return static_cast<uint16_t>(static_cast<uint64_t>(std::min<uint32_t>(value, 10000)) * 32767 / 10000 *
                               std::min<uint32_t>(gain, 10000) / 10000);
}
uint16_t Millis16(uint32_t micro) { return static_cast<uint16_t>(std::min<uint32_t>(micro / 1000, 65535)); }
uint32_t Length(uint32_t micro) {
  if (micro == HAL_INFINITE) return SDL_HAPTIC_INFINITY;
  return micro == 0 ? 0 : std::max<uint32_t>(micro / 1000, 1);
}

uint32_t SdlTypeOf(HalEffectKind kind) {
  switch (kind) {
    case HAL_FX_SPRING: return SDL_HAPTIC_SPRING;
    case HAL_FX_DAMPER: return SDL_HAPTIC_DAMPER;
    case HAL_FX_INERTIA: return SDL_HAPTIC_INERTIA;
    case HAL_FX_FRICTION: return SDL_HAPTIC_FRICTION;
    case HAL_FX_CONSTANT: return SDL_HAPTIC_CONSTANT;
    case HAL_FX_SQUARE: return SDL_HAPTIC_SINE;  // SDL2 has no square wave
    case HAL_FX_SINE: return SDL_HAPTIC_SINE;
    case HAL_FX_TRIANGLE: return SDL_HAPTIC_TRIANGLE;
    case HAL_FX_SAWTOOTH_UP: return SDL_HAPTIC_SAWTOOTHUP;
    case HAL_FX_SAWTOOTH_DOWN: return SDL_HAPTIC_SAWTOOTHDOWN;
  }
  return 0;
}

// The wanted effect type, or the nearest one of its family the device plays.
uint32_t ChooseType(HalEffectKind kind, unsigned supported) {
  uint32_t wanted = SdlTypeOf(kind);
  if (supported & wanted) return wanted;
  if (kind == HAL_FX_CONSTANT) return wanted;
  const uint32_t* order = kind <= HAL_FX_FRICTION ? CONDITION_ORDER : PERIODIC_ORDER;
  for (int i = 0; i < 4; ++i)
    if (supported & order[i]) return order[i];
  return wanted;
}

SDL_HapticDirection Direction(const HalEffectParams& p) {
  SDL_HapticDirection d{};
  if ((p.flags & HAL_EFF_POLAR) || (p.direction[0] == 0 && p.direction[1] == 0)) {
    d.type = SDL_HAPTIC_POLAR;
    d.dir[0] = p.direction[0];
  } else {
    d.type = SDL_HAPTIC_CARTESIAN;
    d.dir[0] = p.direction[0];
    d.dir[1] = p.direction[1];
  }
  return d;
}

SDL_HapticEffect Build(uint32_t type, const HalEffectParams& p) {
  SDL_HapticEffect e{};
  const uint32_t gain = p.gain;
  const HalEnvelope& env = p.envelope;
  const bool envelope = p.hasEnvelope;
  if (type == SDL_HAPTIC_CONSTANT) {
    SDL_HapticConstant& c = e.constant;
    c.type = SDL_HAPTIC_CONSTANT;
    c.direction = Direction(p);
    c.length = Length(p.duration);
    c.level = Level(p.constantMagnitude, gain);
    if (envelope) {
      c.attack_length = Millis16(env.attackTime);
      c.attack_level = Unsigned(env.attackLevel, gain);
      c.fade_length = Millis16(env.fadeTime);
      c.fade_level = Unsigned(env.fadeLevel, gain);
    }
  } else if (type & (SDL_HAPTIC_SPRING | SDL_HAPTIC_DAMPER | SDL_HAPTIC_INERTIA | SDL_HAPTIC_FRICTION)) {
    SDL_HapticCondition& c = e.condition;
    c.type = static_cast<Uint16>(type);
    c.direction = Direction(p);
    c.length = Length(p.duration);
    for (uint32_t a = 0; a < std::min<uint32_t>(p.conditionCount, 2); ++a) {
      const HalCondition& k = p.condition[a];
      // A saturation of 0 asks for the device's whole strength.
      c.right_sat[a] = k.positiveSaturation ? Unsigned(k.positiveSaturation, 10000) * 2 + 1 : 0xFFFF;
      c.left_sat[a] = k.negativeSaturation ? Unsigned(k.negativeSaturation, 10000) * 2 + 1 : 0xFFFF;
      c.right_coeff[a] = Level(k.positiveCoefficient, gain);
      c.left_coeff[a] = Level(k.negativeCoefficient, gain);
      c.deadband[a] = static_cast<Uint16>(Unsigned(static_cast<uint32_t>(std::max(k.deadBand, 0)), 10000) * 2);
      c.center[a] = Level(k.offset, 10000);
    }
  } else {
    SDL_HapticPeriodic& w = e.periodic;
    w.type = static_cast<Uint16>(type);
    w.direction = Direction(p);
    w.length = Length(p.duration);
    w.period = static_cast<Uint16>(std::clamp<uint32_t>(p.periodic.period / 1000, 1, 65535));
    w.magnitude = Level(p.periodic.magnitude, gain);
    w.offset = Level(p.periodic.offset, gain);
    w.phase = static_cast<Uint16>(p.periodic.phase % 36000);
    if (envelope) {
      w.attack_length = Millis16(env.attackTime);
      w.attack_level = Unsigned(env.attackLevel, gain);
      w.fade_length = Millis16(env.fadeTime);
      w.fade_level = Unsigned(env.fadeLevel, gain);
    }
  }
  return e;
}

uint32_t PovOf(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return HAL_POV_CENTRED;
  }
}

class SdlBackend final : public HalInputBackend {
 public:
  ~SdlBackend() override {
    for (auto& [id, e] : effects_)
      if (Device* d = Find(e.device); d && d->haptic) SDL_HapticDestroyEffect(d->haptic, e.sdlId);
    for (auto& [id, d] : devices_) Close(d);
    if (initialised_) SDL_QuitSubSystem(initialised_);
  }

  int32_t Create(uint32_t) override {
    // Headless there is no device: the library simply finds none.
    if (HalIsHeadless() || initialised_) return HAL_DI_OK;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return HAL_DI_OK;
    initialised_ = SDL_INIT_JOYSTICK;
    if (SDL_InitSubSystem(SDL_INIT_HAPTIC) == 0) initialised_ |= SDL_INIT_HAPTIC;
    return HAL_DI_OK;
  }

  int32_t EnumDevices(HalInputEnumDevicesCallback callback, void* context) override {
    if (!initialised_) return HAL_DI_OK;
    int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i)
      if (!callback(i, context)) break;
    return HAL_DI_OK;
  }

  int32_t CreateDevice(int32_t instance, int32_t* device) override {
    if (!initialised_) return HAL_DIERR_DEVICENOTREG;
    SDL_Joystick* joystick = SDL_JoystickOpen(instance);
    if (!joystick) return HAL_DIERR_DEVICENOTREG;
    Device d;
    d.joystick = joystick;
    if ((initialised_ & SDL_INIT_HAPTIC) && SDL_JoystickIsHaptic(joystick) == 1)
      d.haptic = SDL_HapticOpenFromJoystick(joystick);
    for (int a = 0; a < MAX_AXES; ++a) {
      d.rangeMin[a] = 0;
      d.rangeMax[a] = 65535;
    }
    *device = next_++;
    devices_[*device] = d;
    return HAL_DI_OK;
  }

  void ReleaseDevice(int32_t device) override {
    auto it = devices_.find(device);
    if (it == devices_.end()) return;
    Close(it->second);
    devices_.erase(it);
  }

  int32_t QueryDevice2(int32_t device) override { return Find(device) ? HAL_DI_OK : HAL_DIERR_INVALIDPARAM; }
  int32_t SetDataFormat(int32_t device) override { return Find(device) ? HAL_DI_OK : HAL_DIERR_INVALIDPARAM; }
  int32_t SetCooperativeLevel(int32_t device, uint32_t, uint32_t) override {
    return Find(device) ? HAL_DI_OK : HAL_DIERR_INVALIDPARAM;
  }

  int32_t SetProperty(int32_t device, HalInputProperty property, uint32_t offset, int32_t value,
                      int32_t value2) override {
    Device* d = Find(device);
    if (!d) return HAL_DIERR_INVALIDPARAM;
    uint32_t axis = offset / 4;
    switch (property) {
      case HAL_PROP_RANGE:
        if (axis >= MAX_AXES || value > value2) return HAL_DIERR_INVALIDPARAM;
        d->rangeMin[axis] = value;
        d->rangeMax[axis] = value2;
        return HAL_DI_OK;
      case HAL_PROP_DEADZONE:
        if (axis >= MAX_AXES || value < 0 || value > 10000) return HAL_DIERR_INVALIDPARAM;
        d->deadZone[axis] = value;
        return HAL_DI_OK;
      case HAL_PROP_FFGAIN:
        if (d->haptic && (SDL_HapticQuery(d->haptic) & SDL_HAPTIC_GAIN)) SDL_HapticSetGain(d->haptic, value / 100);
        return HAL_DI_OK;
      case HAL_PROP_AUTOCENTER:
        if (d->haptic && (SDL_HapticQuery(d->haptic) & SDL_HAPTIC_AUTOCENTER))
          SDL_HapticSetAutocenter(d->haptic, value ? 100 : 0);
        return HAL_DI_OK;
    }
    return HAL_DIERR_INVALIDPARAM;
  }

  int32_t Acquire(int32_t device) override {
    Device* d = Find(device);
    if (!d) return HAL_DIERR_INVALIDPARAM;
    if (!SDL_JoystickGetAttached(d->joystick)) return HAL_DIERR_INPUTLOST;
    int32_t result = d->acquired ? HAL_DI_FALSE : HAL_DI_OK;
    d->acquired = true;
    return result;
  }

  int32_t Unacquire(int32_t device) override {
    Device* d = Find(device);
    if (!d) return HAL_DIERR_INVALIDPARAM;
    int32_t result = d->acquired ? HAL_DI_OK : HAL_DI_FALSE;
    d->acquired = false;
    return result;
  }

  int32_t Poll(int32_t device) override {
    Device* d = Find(device);
    int32_t ready = Ready(d);
    if (ready != HAL_DI_OK) return ready;
    SDL_JoystickUpdate();
    return SDL_JoystickGetAttached(d->joystick) ? HAL_DI_OK : Lost(d);
  }

  int32_t GetState(int32_t device, HalJoyState* state) override {
    Device* d = Find(device);
    int32_t ready = Ready(d);
    if (ready != HAL_DI_OK) return ready;
    if (!SDL_JoystickGetAttached(d->joystick)) return Lost(d);
    HalJoyState s{};
    int32_t* axes[MAX_AXES] = {&s.x, &s.y, &s.z, &s.rx, &s.ry, &s.rz, &s.sliders[0], &s.sliders[1]};
    int n = std::min(SDL_JoystickNumAxes(d->joystick), MAX_AXES);
    for (int a = 0; a < MAX_AXES; ++a) {
      int32_t raw = a < n ? SDL_JoystickGetAxis(d->joystick, a) : 0;
      if (std::abs(raw) * 10000LL < static_cast<int64_t>(d->deadZone[a]) * 32768) raw = 0;
      int64_t span = static_cast<int64_t>(d->rangeMax[a]) - d->rangeMin[a];
      *axes[a] = static_cast<int32_t>(d->rangeMin[a] + (static_cast<int64_t>(raw) + 32768) * span / 65535);
    }
    int hats = SDL_JoystickNumHats(d->joystick);
    for (int h = 0; h < 4; ++h) s.pov[h] = h < hats ? PovOf(SDL_JoystickGetHat(d->joystick, h)) : HAL_POV_CENTRED;
    int buttons = std::min(SDL_JoystickNumButtons(d->joystick), 32);
    for (int b = 0; b < buttons; ++b) s.buttons[b] = SDL_JoystickGetButton(d->joystick, b) ? 0x80 : 0;
    *state = s;
    return HAL_DI_OK;
  }

  int32_t GetDeviceInfo(int32_t device, HalInputDeviceDesc* desc) override {
    Device* d = Find(device);
    if (!d) return HAL_DIERR_INVALIDPARAM;
    const char* name = SDL_JoystickName(d->joystick);
    desc->productName = name ? name : "Joystick";
    desc->instanceName = desc->productName;
    return HAL_DI_OK;
  }

  int32_t GetCapabilities(int32_t device, HalInputCaps* caps) override {
    Device* d = Find(device);
    if (!d) return HAL_DIERR_INVALIDPARAM;
    uint32_t sub = HAL_DEVSUB_UNKNOWN;
    switch (SDL_JoystickGetType(d->joystick)) {
      case SDL_JOYSTICK_TYPE_WHEEL: sub = HAL_DEVSUB_WHEEL; break;
      case SDL_JOYSTICK_TYPE_GAMECONTROLLER: sub = HAL_DEVSUB_GAMEPAD; break;
      case SDL_JOYSTICK_TYPE_FLIGHT_STICK: sub = HAL_DEVSUB_FLIGHTSTICK; break;
      case SDL_JOYSTICK_TYPE_ARCADE_STICK: sub = HAL_DEVSUB_TRADITIONAL; break;
      default: break;
    }
    caps->devType = HalDevType(HAL_DEVTYPE_JOYSTICK, sub);
    caps->flags = d->haptic ? HAL_CAPS_FORCEFEEDBACK : 0;
    caps->axes = static_cast<uint32_t>(std::clamp(SDL_JoystickNumAxes(d->joystick), 0, MAX_AXES));
    caps->buttons = static_cast<uint32_t>(std::clamp(SDL_JoystickNumButtons(d->joystick), 0, 32));
    caps->povs = static_cast<uint32_t>(std::clamp(SDL_JoystickNumHats(d->joystick), 0, 4));
    return HAL_DI_OK;
  }

  int32_t EnumAxes(int32_t device, HalInputEnumAxesCallback callback, void* context) override {
    Device* d = Find(device);
    if (!d) return HAL_DIERR_INVALIDPARAM;
    int n = std::clamp(SDL_JoystickNumAxes(d->joystick), 0, MAX_AXES);
    int actuators = d->haptic ? SDL_HapticNumAxes(d->haptic) : 0;
    for (int a = 0; a < n; ++a)
      if (!callback(HalInputObject{static_cast<uint32_t>(a * 4), a < actuators ? HAL_OBJ_FFACTUATOR : 0u}, context))
        break;
    return HAL_DI_OK;
  }

  int32_t EnumEffects(int32_t device, HalInputEnumEffectsCallback callback, void* context) override {
    Device* d = Find(device);
    if (!d) return HAL_DIERR_INVALIDPARAM;
    unsigned q = d->haptic ? SDL_HapticQuery(d->haptic) : 0;
    const std::pair<unsigned, uint32_t> families[] = {
        {SDL_HAPTIC_CONSTANT, HAL_EFT_CONSTANTFORCE},
        {SDL_HAPTIC_RAMP, HAL_EFT_RAMPFORCE},
        {SDL_HAPTIC_SINE | SDL_HAPTIC_TRIANGLE | SDL_HAPTIC_SAWTOOTHUP | SDL_HAPTIC_SAWTOOTHDOWN, HAL_EFT_PERIODIC},
        {SDL_HAPTIC_SPRING | SDL_HAPTIC_DAMPER | SDL_HAPTIC_INERTIA | SDL_HAPTIC_FRICTION, HAL_EFT_CONDITION},
        {SDL_HAPTIC_CUSTOM, HAL_EFT_CUSTOMFORCE},
    };
    for (const auto& [mask, type] : families)
      if ((q & mask) && !callback(type, context)) break;
    return HAL_DI_OK;
  }

  int32_t CreateEffect(int32_t device, HalEffectKind kind, const HalEffectParams& params,
                       int32_t* effect) override {
    Device* d = Find(device);
    if (!d || !d->haptic) return HAL_DIERR_INVALIDPARAM;
    SDL_HapticEffect e = Build(ChooseType(kind, SDL_HapticQuery(d->haptic)), params);
    int id = SDL_HapticNewEffect(d->haptic, &e);
    if (id < 0) return HAL_DIERR_GENERIC;
    *effect = nextEffect_++;
    effects_[*effect] = Effect{device, kind, params, id};
    return HAL_DI_OK;
  }

  int32_t EffectSetParameters(int32_t effect, const HalEffectParams& params, uint32_t which) override {
    Effect* e = FindEffect(effect);
    Device* d = e ? Find(e->device) : nullptr;
    if (!d || !d->haptic) return HAL_DIERR_NOTINITIALIZED;
    HalEffectMerge(&e->params, params, which);
    SDL_HapticEffect built = Build(ChooseType(e->kind, SDL_HapticQuery(d->haptic)), e->params);
    // SDL updates a playing effect in place: the change never restarts it.
    return SDL_HapticUpdateEffect(d->haptic, e->sdlId, &built) == 0 ? HAL_DI_OK : HAL_DIERR_GENERIC;
  }

  int32_t EffectStart(int32_t effect, uint32_t iterations, uint32_t) override {
    Effect* e = FindEffect(effect);
    Device* d = e ? Find(e->device) : nullptr;
    if (!d || !d->haptic) return HAL_DIERR_NOTINITIALIZED;
    Uint32 count = iterations == HAL_INFINITE ? SDL_HAPTIC_INFINITY : iterations;
    return SDL_HapticRunEffect(d->haptic, e->sdlId, count) == 0 ? HAL_DI_OK : HAL_DIERR_GENERIC;
  }

  int32_t EffectStop(int32_t effect) override {
    Effect* e = FindEffect(effect);
    Device* d = e ? Find(e->device) : nullptr;
    if (!d || !d->haptic) return HAL_DIERR_NOTINITIALIZED;
    return SDL_HapticStopEffect(d->haptic, e->sdlId) == 0 ? HAL_DI_OK : HAL_DIERR_GENERIC;
  }

  void EffectRelease(int32_t effect) override {
    Effect* e = FindEffect(effect);
    if (!e) return;
    if (Device* d = Find(e->device); d && d->haptic) SDL_HapticDestroyEffect(d->haptic, e->sdlId);
    effects_.erase(effect);
  }

 private:
  Device* Find(int32_t device) {
    auto it = devices_.find(device);
    return it == devices_.end() ? nullptr : &it->second;
  }
  Effect* FindEffect(int32_t effect) {
    auto it = effects_.find(effect);
    return it == effects_.end() ? nullptr : &it->second;
  }
  static int32_t Ready(Device* d) {
    if (!d) return HAL_DIERR_INVALIDPARAM;
    return d->acquired ? HAL_DI_OK : HAL_DIERR_NOTACQUIRED;
  }
  static int32_t Lost(Device* d) {
    d->acquired = false;
    return HAL_DIERR_INPUTLOST;
  }
  static void Close(Device& d) {
    if (d.haptic) SDL_HapticClose(d.haptic);
    if (d.joystick) SDL_JoystickClose(d.joystick);
    d.haptic = nullptr;
    d.joystick = nullptr;
  }

  uint32_t initialised_ = 0;
  std::map<int32_t, Device> devices_;
  std::map<int32_t, Effect> effects_;
  int32_t next_ = 0;
  int32_t nextEffect_ = 0;
};

}  // namespace

std::unique_ptr<HalInputBackend> HalInputMakeSdlBackend() { return std::make_unique<SdlBackend>(); }
