// Force-feedback effects on the input library's devices.
#include <algorithm>

#include "platform/input.h"

namespace {

constexpr HalEffectKind CONDITION_KINDS[] = {HAL_FX_SPRING, HAL_FX_DAMPER, HAL_FX_INERTIA, HAL_FX_FRICTION};
constexpr HalEffectKind WAVEFORMS[] = {HAL_FX_SQUARE, HAL_FX_SINE, HAL_FX_TRIANGLE, HAL_FX_SAWTOOTH_UP,
                                       HAL_FX_SAWTOOTH_DOWN};

bool Supported(InputFxFlag flag) { return gInput.effectFlags[flag] != 0; }

bool EffectValid(int32_t effect) { return effect >= 0 && effect < gInput.effectCount; }

// An effect is endless when any of its parts is; otherwise its parts add up,
// stopping short of the endless value.
uint32_t Duration(const InputFxEnvelopeParams& e) {
  const uint32_t parts[] = {static_cast<uint32_t>(e.attackTime), static_cast<uint32_t>(e.sustainTime),
                            static_cast<uint32_t>(e.fadeTime)};
  uint64_t sum = 0;
  for (uint32_t part : parts) {
    if (part == HAL_INFINITE) return HAL_INFINITE;
    sum += part;
  }
  return static_cast<uint32_t>(std::min<uint64_t>(sum, HAL_INFINITE - 1));
}

HalEnvelope Envelope(const InputFxEnvelopeParams& e) {
  return HalEnvelope{static_cast<uint32_t>(e.attackLevel), static_cast<uint32_t>(e.attackTime),
                     static_cast<uint32_t>(e.fadeLevel), static_cast<uint32_t>(e.fadeTime)};
}

HalPeriodic Periodic(const InputFxEnvelopeParams& e, const InputFxPeriodicParams& p) {
  return HalPeriodic{static_cast<uint32_t>(e.magnitude), p.offset, p.phase, p.period};
}

HalEffectParams TwoAxes(uint32_t flags) {
  HalEffectParams p{};
  p.flags = flags;
  p.triggerButton = HAL_NO_TRIGGER;
  p.axisCount = 2;
  p.axes[0] = HAL_JOFS_X;
  p.axes[1] = HAL_JOFS_Y;
  return p;
}

// The condition records of all axes of the effect's recorded mask, x first.
void FillConditions(int32_t effect, HalEffectParams* p) {
  p->conditionCount = 0;
  for (int axis = 0; axis < 2; ++axis) {
    if (!(gInput.effectAxisMask[effect] & (1u << axis))) continue;
    HalCondition& c = p->condition[p->conditionCount++];
    c = HalCondition{};
    c.offset = gInput.effectOffset[effect][axis];
    c.positiveCoefficient = gInput.effectCoefficient[effect][axis];
    c.negativeCoefficient = gInput.effectCoefficient[effect][axis];
  }
}

// The checks every creation shares; 1 to go on, else the result to return.
int32_t CreateCheck(int32_t device, int32_t* effect, InputFxFlag need) {
  if (!InputDeviceValid(device) || !effect) return 0;
  if (!Supported(need)) return -1;
  // The table is full: refuse rather than write past it.
  if (gInput.effectCount >= INPUT_MAX_EFFECTS) return 0;
  return 1;
}

int32_t Create(int32_t device, int32_t* effect, HalEffectKind kind, const HalEffectParams& params,
               InputFxFamily family) {
  int32_t slot = gInput.effectCount;
  int32_t handle = -1;
  if (!InputCheckResult(HalInputCreateEffect(gInput.devices[device], kind, params, &handle))) return 0;
  gInput.effects[slot] = handle;
  gInput.effectFamily[slot] = family;
  *effect = slot;
  ++gInput.effectCount;
  return 1;
}

// The checks every change shares; 1 to go on, else the result to return.
int32_t ChangeCheck(int32_t device, int32_t effect, InputFxFlag need, InputFxFamily family) {
  if (!InputDeviceValid(device)) return 0;
  if (!Supported(need)) return -1;
  if (!EffectValid(effect)) return 0;
  // Another family's parameters would make no sense to the effect.
  if (gInput.effectFamily[effect] != family) return 0;
  return 1;
}

int32_t Send(int32_t device, int32_t effect, const HalEffectParams& params, uint32_t which) {
  if (!InputMakeCurrent(device)) return 0;
  if (!InputCheckResult(HalInputEffectSetParameters(gInput.effects[effect], params, which | HAL_EP_NORESTART)))
    return 0;
  return 1;
}

int32_t SetDirectionGain(int32_t device, int32_t effect, InputFxFlag need, InputFxFamily family, uint32_t system,
                         int32_t d0, int32_t d1, int32_t gain) {
  int32_t check = ChangeCheck(device, effect, need, family);
  if (check != 1) return check;
  HalEffectParams p{};
  p.flags = system | HAL_EFF_OBJECTOFFSETS;
  p.axisCount = 2;
  p.axes[0] = HAL_JOFS_X;
  p.axes[1] = HAL_JOFS_Y;
  p.direction[0] = d0;
  p.direction[1] = d1;
  // The device takes gains of 0..10000 only, whatever the coordinate system.
  p.gain = static_cast<uint32_t>(std::clamp(gain, 0, 10000));
  return Send(device, effect, p, HAL_EP_DIRECTION | HAL_EP_GAIN);
}

int32_t SetConstantForce(int32_t device, int32_t effect, uint32_t system, int32_t d0, int32_t d1,
                         int32_t magnitude) {
  int32_t check = ChangeCheck(device, effect, INPUT_FX_CONSTANT, INPUT_FAMILY_CONSTANT);
  if (check != 1) return check;
  HalEffectParams p{};
  p.flags = system;
  p.axisCount = 2;
  p.axes[0] = HAL_JOFS_X;
  p.axes[1] = HAL_JOFS_Y;
  p.direction[0] = d0;
  p.direction[1] = d1;
  p.constantMagnitude = std::clamp(magnitude, -10000, 10000);
  return Send(device, effect, p, HAL_EP_DIRECTION | HAL_EP_TYPESPECIFIC);
}

int32_t SetCondition(int32_t device, int32_t effect, int32_t axisMask, int32_t value, bool coefficient) {
  int32_t check = ChangeCheck(device, effect, INPUT_FX_CONDITION, INPUT_FAMILY_CONDITION);
  if (check != 1) return check;
  if ((axisMask & 3) == 0) return 0;
  value = coefficient ? std::clamp(value, 0, 10000) : std::clamp(value, -10000, 10000);
  for (int axis = 0; axis < 2; ++axis) {
    if (!(gInput.effectAxisMask[effect] & axisMask & (1u << axis))) continue;
    (coefficient ? gInput.effectCoefficient : gInput.effectOffset)[effect][axis] = value;
  }
  HalEffectParams p{};
  FillConditions(effect, &p);
  return Send(device, effect, p, HAL_EP_TYPESPECIFIC);
}

bool RecordEffectType(uint32_t type, void*) {
  switch (type & 0xFF) {
    case HAL_EFT_CONSTANTFORCE: gInput.effectFlags[INPUT_FX_CONSTANT] = 1; break;
    case HAL_EFT_RAMPFORCE: gInput.effectFlags[INPUT_FX_RAMP] = 1; break;
    case HAL_EFT_PERIODIC: gInput.effectFlags[INPUT_FX_PERIODIC] = 1; break;
    case HAL_EFT_CONDITION: gInput.effectFlags[INPUT_FX_CONDITION] = 1; break;
    case HAL_EFT_CUSTOMFORCE: gInput.effectFlags[INPUT_FX_CUSTOM] = 1; break;
    case HAL_EFT_HARDWARE: gInput.effectFlags[INPUT_FX_HARDWARE] = 1; break;
    default: break;
  }
  return true;
}

}  // namespace

int32_t InputFxQueryEffects(int32_t device) {
  if (!InputDeviceValid(device)) return 0;
  return InputCheckResult(HalInputEnumEffects(gInput.devices[device], RecordEffectType, nullptr));
}

int32_t InputFxCreateCondition(int32_t device, int32_t* effect, int32_t kind, int32_t axisMask, int32_t coefficient) {
  int32_t check = CreateCheck(device, effect, INPUT_FX_CONDITION);
  if (check != 1) return check;
  if (kind < 1 || kind > 4 || (axisMask & 3) == 0) return 0;
  int32_t slot = gInput.effectCount;
  gInput.effectAxisMask[slot] = static_cast<uint32_t>(axisMask) & 3;
  for (int axis = 0; axis < 2; ++axis) {
    gInput.effectCoefficient[slot][axis] = (axisMask & (1 << axis)) ? coefficient : 0;
    gInput.effectOffset[slot][axis] = 0;
  }
  HalEffectParams p = TwoAxes(HAL_EFF_CARTESIAN | HAL_EFF_OBJECTOFFSETS);
  p.duration = HAL_INFINITE;
  p.gain = 10000;
  p.axisCount = 0;
  for (int axis = 0; axis < 2; ++axis)
    if (axisMask & (1 << axis)) p.axes[p.axisCount++] = axis == 0 ? HAL_JOFS_X : HAL_JOFS_Y;
  FillConditions(slot, &p);
  return Create(device, effect, CONDITION_KINDS[kind - 1], p, INPUT_FAMILY_CONDITION);
}

int32_t InputFxCreateConstant(int32_t device, int32_t* effect, const InputFxEnvelopeParams* envelope) {
  int32_t check = CreateCheck(device, effect, INPUT_FX_CONSTANT);
  if (check != 1) return check;
  if (!envelope) return 0;
  HalEffectParams p = TwoAxes(HAL_EFF_CARTESIAN | HAL_EFF_OBJECTOFFSETS);
  p.duration = Duration(*envelope);
  p.direction[0] = 1;
  p.hasEnvelope = true;
  p.envelope = Envelope(*envelope);
  p.constantMagnitude = envelope->magnitude;
  return Create(device, effect, HAL_FX_CONSTANT, p, INPUT_FAMILY_CONSTANT);
}

int32_t InputFxCreateConstantInfinite(int32_t device, int32_t* effect) {
  int32_t check = CreateCheck(device, effect, INPUT_FX_CONSTANT);
  if (check != 1) return check;
  HalEffectParams p = TwoAxes(HAL_EFF_CARTESIAN | HAL_EFF_OBJECTOFFSETS);
  p.duration = HAL_INFINITE;
  p.gain = 10000;
  p.direction[0] = 1;
  return Create(device, effect, HAL_FX_CONSTANT, p, INPUT_FAMILY_CONSTANT);
}

int32_t InputFxCreatePeriodic(int32_t device, int32_t* effect, int32_t waveform, const InputFxEnvelopeParams* envelope,
                              const InputFxPeriodicParams* periodic) {
  int32_t check = CreateCheck(device, effect, INPUT_FX_PERIODIC);
  if (check != 1) return check;
  if (waveform < 1 || waveform > 5 || !envelope || !periodic) return 0;
  HalEffectParams p = TwoAxes(HAL_EFF_CARTESIAN | HAL_EFF_OBJECTOFFSETS);
  p.duration = Duration(*envelope);
  p.hasEnvelope = true;
  p.envelope = Envelope(*envelope);
  p.periodic = Periodic(*envelope, *periodic);
  return Create(device, effect, WAVEFORMS[waveform - 1], p, INPUT_FAMILY_PERIODIC);
}

int32_t InputFxSetConditionCoefficient(int32_t device, int32_t effect, int32_t axisMask, int32_t coefficient) {
  return SetCondition(device, effect, axisMask, coefficient, true);
}

int32_t InputFxSetConditionOffset(int32_t device, int32_t effect, int32_t axisMask, int32_t offset) {
  return SetCondition(device, effect, axisMask, offset, false);
}

int32_t InputFxSetConstantEnvelope(int32_t device, int32_t effect, const InputFxEnvelopeParams* envelope) {
  int32_t check = ChangeCheck(device, effect, INPUT_FX_CONSTANT, INPUT_FAMILY_CONSTANT);
  if (check != 1) return check;
  if (!envelope) return 0;
  HalEffectParams p{};
  p.duration = Duration(*envelope);
  p.hasEnvelope = true;
  p.envelope = Envelope(*envelope);
  return Send(device, effect, p, HAL_EP_DURATION | HAL_EP_ENVELOPE);
}

int32_t InputFxSetConstantPolar(int32_t device, int32_t effect, int32_t direction, int32_t magnitude) {
  return SetConstantForce(device, effect, HAL_EFF_POLAR, direction, 0, magnitude);
}

int32_t InputFxSetConstantCartesian(int32_t device, int32_t effect, int32_t x, int32_t y, int32_t magnitude) {
  return SetConstantForce(device, effect, HAL_EFF_CARTESIAN, x, y, magnitude);
}

int32_t InputFxSetConstantDirection(int32_t device, int32_t effect, int32_t x, int32_t y, int32_t gain) {
  return SetDirectionGain(device, effect, INPUT_FX_CONSTANT, INPUT_FAMILY_CONSTANT, HAL_EFF_CARTESIAN, x, y, gain);
}

int32_t InputFxSetConstantDirectionPolar(int32_t device, int32_t effect, int32_t direction, int32_t gain) {
  return SetDirectionGain(device, effect, INPUT_FX_CONSTANT, INPUT_FAMILY_CONSTANT, HAL_EFF_POLAR, direction, 0,
                          gain);
}

int32_t InputFxSetPeriodic(int32_t device, int32_t effect, const InputFxEnvelopeParams* envelope,
                           const InputFxPeriodicParams* periodic) {
  int32_t check = ChangeCheck(device, effect, INPUT_FX_PERIODIC, INPUT_FAMILY_PERIODIC);
  if (check != 1) return check;
  if (!envelope || !periodic) return 0;
  HalEffectParams p{};
  p.hasEnvelope = true;
  p.envelope = Envelope(*envelope);
  p.periodic = Periodic(*envelope, *periodic);
  return Send(device, effect, p, HAL_EP_ENVELOPE | HAL_EP_TYPESPECIFIC);
}

int32_t InputFxSetPeriodicDirection(int32_t device, int32_t effect, int32_t x, int32_t y, int32_t gain) {
  return SetDirectionGain(device, effect, INPUT_FX_PERIODIC, INPUT_FAMILY_PERIODIC, HAL_EFF_CARTESIAN, x, y, gain);
}

int32_t InputFxSetPeriodicDirectionPolar(int32_t device, int32_t effect, int32_t direction, int32_t gain) {
  return SetDirectionGain(device, effect, INPUT_FX_PERIODIC, INPUT_FAMILY_PERIODIC, HAL_EFF_POLAR, direction, 0,
                          gain);
}

int32_t InputFxStart(int32_t device, int32_t effect, int32_t iterations) {
  if (!InputDeviceValid(device) || !EffectValid(effect)) return 0;
  if (iterations <= 0) iterations = 1;
  if (!InputMakeCurrent(device)) return 0;
  return InputCheckResult(HalInputEffectStart(gInput.effects[effect], static_cast<uint32_t>(iterations), 0));
}

int32_t InputFxStop(int32_t device, int32_t effect) {
  if (!InputDeviceValid(device) || !EffectValid(effect)) return 0;
  if (!InputMakeCurrent(device)) return 0;
  return InputCheckResult(HalInputEffectStop(gInput.effects[effect]));
}

void InputFxReleaseAll() {
  for (int32_t i = 0; i < gInput.effectCount; ++i) {
    HalInputEffectRelease(gInput.effects[i]);
    gInput.effectFamily[i] = INPUT_FAMILY_NONE;
  }
  gInput.effectCount = 0;
}
