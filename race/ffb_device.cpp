// The force-feedback effects: their creation and the device-level
// operations the race triggers and the stops call.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "race/ffb.h"

uint8_t gFfbDeviceActive;

const FfbSettingKey FFB_SETTING_KEYS[FFB_SETTING_COUNT] = {
    {"TPS_RECEPTION_AT", &FfbSettings::tpsReceptionAt, 120000},
    {"TPS_RECEPTION_ST", &FfbSettings::tpsReceptionSt, 160000},
    {"TPS_PER_SANS_ROUE", &FfbSettings::tpsPerSansRoue, 50000},
    {"TPS_CHOC_AT", &FfbSettings::tpsChocAt, 0},
    {"TPS_CHOC_ST", &FfbSettings::tpsChocSt, 150000},
    {"TPS_CHOC_ES", &FfbSettings::tpsChocEs, 50000},
    {"TPS_PER_DERRAPAGE", &FfbSettings::tpsPerDerrapage, 50000},
    {"TPS_PER_MOTEUR_RALENTI", &FfbSettings::tpsPerMoteurRalenti, 60000},
    {"TPS_PER_MOTEUR_MAX", &FfbSettings::tpsPerMoteurMax, 6000},
    {"MOTEUR_REGIME_MAX", &FfbSettings::moteurRegimeMax, 10000},
    {"MOTEUR_REGIME_MIN", &FfbSettings::moteurRegimeMin, 1000},
    {"REG_VIB_MOTEUR_MUTED", &FfbSettings::regVibMoteurMuted, 8000},
    {"FRC_SPRING_MIN", &FfbSettings::frcSpringMin, 0},
    {"FRC_SPRING_MAX", &FfbSettings::frcSpringMax, 8000},
    {"FRC_DAMPER_MIN", &FfbSettings::frcDamperMin, 1000},
    {"FRC_DAMPER_MAX", &FfbSettings::frcDamperMax, 10000},
    {"FRC_VIB_MOTEUR", &FfbSettings::frcVibMoteur, 2000},
    {"FRC_SANS_ROUE", &FfbSettings::frcSansRoue, 500},
    {"FRC_DERAPAGE", &FfbSettings::frcDerapage, 2000},
    {"FRC_CHOC", &FfbSettings::frcChoc, 10000},
    {"FRC_RECEPTION", &FfbSettings::frcReception, 10000},
    {"VITESSE_MAX", &FfbSettings::vitesseMax, 250},
    {"CENTRE_ROUE_DROITE", &FfbSettings::centreRoueDroite, -5000},
    {"CENTRE_ROUE_GAUCHE", &FfbSettings::centreRoueGauche, 5000},
};

FfbSettings FfbDefaultSettings() {
  FfbSettings s{};
  for (const FfbSettingKey& k : FFB_SETTING_KEYS) s.*k.field = k.fallback;
  return s;
}

namespace {

FfbState Initial() {
  FfbState s{};
  s.settings = FfbDefaultSettings();
  for (int32_t& e : s.effects) e = -1;
  s.device = -1;
  return s;
}

constexpr int32_t LEVEL_FULL = 10000;
constexpr int32_t ENDLESS = -1;  // the input library's endless time
constexpr int32_t AXIS_X = 1;
constexpr int WAVE_ENGINE = 0, WAVE_SKID = 1, WAVE_RUMBLE = 2;

// The levels come from a file the player edits: products are taken in 64
// bits, held at the limits rather than wrapped, and what is stored or handed
// to the input library is held at the limits of its 32-bit field.
int64_t Mul(int64_t a, int64_t b) {
  int64_t r;
  if (!__builtin_mul_overflow(a, b, &r)) return r;
  return (a < 0) != (b < 0) ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

int32_t Hold32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

uint32_t HoldU32(int64_t v) {
  return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, std::numeric_limits<uint32_t>::max()));
}

// A divisor of 0 from the file is read as its default (FfbReadSettings
// already does so; this keeps a division safe whatever the settings hold).
int64_t Divisor(int64_t d, int64_t fallback) { return d != 0 ? d : fallback; }

int64_t VitesseMax() { return Divisor(gFfb.settings.vitesseMax, 250); }

int32_t Fx(FfbEffect e) { return gFfb.effects[e]; }

void Start(FfbEffect e) { InputFxStart(gFfb.device, Fx(e), 1); }
void Stop(FfbEffect e) { InputFxStop(gFfb.device, Fx(e)); }

void SetCoefficient(FfbEffect e, int64_t coefficient) {
  InputFxSetConditionCoefficient(gFfb.device, Fx(e), AXIS_X, Hold32(coefficient));
}

FfbEffect WaveEffect(int wave) {
  return wave == WAVE_ENGINE ? FFB_FX_ENGINE : wave == WAVE_SKID ? FFB_FX_SKID : FFB_FX_RUMBLE;
}

void SendWave(int wave) {
  InputFxSetPeriodic(gFfb.device, Fx(WaveEffect(wave)), &gFfb.waveEnvelope[wave], &gFfb.wave[wave]);
}

void SetWaveMagnitude(int wave, int64_t magnitude) {
  gFfb.waveEnvelope[wave].magnitude = Hold32(magnitude);
  SendWave(wave);
}

void StopRunning(uint8_t* running, FfbEffect e) {
  if (!*running) return;
  Stop(e);
  *running = 0;
}

void SetEnvelope(InputFxEnvelopeParams* env, int64_t attack, int64_t sustain, int64_t fade) {
  *env = InputFxEnvelopeParams{0, Hold32(attack), LEVEL_FULL, Hold32(sustain), 0, Hold32(fade)};
}

// Each lost wheel takes a quarter off the landing jolt's attack.
int64_t LandingAttack(int32_t lost) {
  const int32_t at = gFfb.settings.tpsReceptionAt;
  return int64_t{at} - Mul(at >> 2, lost);
}

void SetUpParameterBlocks() {
  const FfbSettings& s = gFfb.settings;
  SetEnvelope(&gFfb.landingEnvelope, LandingAttack(gFfb.lostCount), s.tpsReceptionSt, LandingAttack(gFfb.lostCount));
  SetEnvelope(&gFfb.impactEnvelope, s.tpsChocAt, s.tpsChocSt, s.tpsChocEs);
  const int32_t periods[3] = {s.tpsPerMoteurRalenti, s.tpsPerDerrapage, s.tpsPerSansRoue};
  for (int w = 0; w < 3; ++w) {
    gFfb.waveEnvelope[w] = InputFxEnvelopeParams{LEVEL_FULL, 0, LEVEL_FULL, ENDLESS, LEVEL_FULL, 0};
    gFfb.wave[w] = InputFxPeriodicParams{0, 0, HoldU32(periods[w])};
  }
}

void SetUpDerivedValues() {
  const FfbSettings& s = gFfb.settings;
  const int64_t revRange = Divisor(int64_t{s.moteurRegimeMax} - s.moteurRegimeMin, 10000 - 1000);
  gFfb.engineSlope = Hold32(Mul(int64_t{s.tpsPerMoteurMax} - s.tpsPerMoteurRalenti, 256) / revRange);
  gFfb.springSlope = Hold32(Mul(int64_t{s.frcSpringMax} - s.frcSpringMin, 256) / VitesseMax());
  gFfb.damperSlope = Hold32(Mul(int64_t{s.frcDamperMax} - s.frcDamperMin, 256) / VitesseMax());
}

}  // namespace

FfbState gFfb = Initial();

void FfbResetState() { gFfb = Initial(); }

int32_t FfbCreateEffects(int32_t device) {
  gFfb.device = device;
  if (device == -1 || InputFxQueryEffects(device) != 1) return 0;
  InputSetAutoCenter(device, 0);
  FfbSetLostWheels(0);
  SetUpDerivedValues();
  SetUpParameterBlocks();
  const FfbSettings& s = gFfb.settings;
  int32_t made = 0;
  made += InputFxCreateCondition(device, &gFfb.effects[FFB_FX_SPRING], 1, AXIS_X, s.frcSpringMin) == 1;
  made += InputFxCreateCondition(device, &gFfb.effects[FFB_FX_DAMPER], 2, AXIS_X, s.frcDamperMax) == 1;
  made += InputFxCreateConstant(device, &gFfb.effects[FFB_FX_LANDING], &gFfb.landingEnvelope) == 1;
  made += InputFxCreateConstant(device, &gFfb.effects[FFB_FX_IMPACT], &gFfb.impactEnvelope) == 1;
  const int32_t waveforms[3] = {2, 4, 1};  // sine, saw up, square
  for (int w = 0; w < 3; ++w)
    made += InputFxCreatePeriodic(device, &gFfb.effects[WaveEffect(w)], waveforms[w], &gFfb.waveEnvelope[w],
                                  &gFfb.wave[w]) == 1;
  // Force feedback is on only with every effect in place.
  return made == FFB_FX_COUNT ? 1 : 0;
}

int32_t FfbSetLostWheels(int32_t mask) {
  if (gFfb.device == -1) return 0;
  const FfbSettings& s = gFfb.settings;
  const int32_t n = __builtin_popcount(static_cast<uint32_t>(mask) & 0xF);
  gFfb.lostMask = mask;
  gFfb.lostCount = n;

  SetEnvelope(&gFfb.landingEnvelope, LandingAttack(n), s.tpsReceptionSt, LandingAttack(n));
  InputFxSetConstantEnvelope(gFfb.device, Fx(FFB_FX_LANDING), &gFfb.landingEnvelope);

  if (n > 0) {
    SetWaveMagnitude(WAVE_RUMBLE, (Mul(Mul(s.frcSansRoue, n), gFfb.lastVelocity) / VitesseMax()) >> 8);
    if (!gFfb.rumbleRunning && !gFfb.airborne) {
      Start(FFB_FX_RUMBLE);
      gFfb.rumbleRunning = 1;
    }
  } else {
    StopRunning(&gFfb.rumbleRunning, FFB_FX_RUMBLE);
  }

  gFfb.bothFrontLost = 0;
  int32_t centre = 0;
  switch (mask & 3) {
    case 1: centre = s.centreRoueDroite; break;
    case 2: centre = s.centreRoueGauche; break;
    case 3:
      SetCoefficient(FFB_FX_SPRING, s.frcSpringMin);
      SetCoefficient(FFB_FX_DAMPER, s.frcDamperMin);
      gFfb.bothFrontLost = 1;
      break;
    default: break;
  }
  InputFxSetConditionOffset(gFfb.device, Fx(FFB_FX_SPRING), AXIS_X, centre);
  return 1;
}

namespace {

void StartAll(int32_t mask) {
  const FfbSettings& s = gFfb.settings;
  SetCoefficient(FFB_FX_SPRING, s.frcSpringMin);
  Start(FFB_FX_SPRING);
  SetCoefficient(FFB_FX_DAMPER, s.frcDamperMax);
  Start(FFB_FX_DAMPER);
  FfbSetLostWheels(mask);
  SetWaveMagnitude(WAVE_ENGINE, s.frcVibMoteur);
  Start(FFB_FX_ENGINE);
  gFfb.engineState = FFB_ENGINE_RUNNING;
}

}  // namespace

int32_t FfbRestartEffects() {
  if (gFfb.device == -1) return 0;
  StartAll(gFfb.lostMask);
  return 1;
}

int32_t FfbResumeEffects() {
  if (gFfb.device == -1) return 0;
  gFfb.airborne = 0;
  StartAll(0);
  return 1;
}

int32_t FfbStopEffects() {
  if (gFfb.device == -1) return 0;
  Stop(FFB_FX_SPRING);
  Stop(FFB_FX_DAMPER);
  Stop(FFB_FX_ENGINE);
  StopRunning(&gFfb.rumbleRunning, FFB_FX_RUMBLE);
  StopRunning(&gFfb.skidRunning, FFB_FX_SKID);
  gFfb.engineState = FFB_ENGINE_STOPPED;
  return 1;
}

int32_t FfbUpdateEngine(int32_t velocity, int32_t revolutions) {
  if (gFfb.device == -1) return 0;
  const FfbSettings& s = gFfb.settings;
  gFfb.lastVelocity = velocity;
  if (revolutions < s.regVibMoteurMuted) {
    const int64_t step = Mul(int64_t{revolutions} - s.moteurRegimeMin, gFfb.engineSlope) >> 8;
    gFfb.wave[WAVE_ENGINE].period = HoldU32(int64_t{s.tpsPerMoteurRalenti} + step);
    SendWave(WAVE_ENGINE);
    if (gFfb.engineState == FFB_ENGINE_TO_RESTART) {
      Start(FFB_FX_ENGINE);
      gFfb.engineState = FFB_ENGINE_RUNNING;
    }
  } else if (gFfb.engineState == FFB_ENGINE_RUNNING) {
    Stop(FFB_FX_ENGINE);
    gFfb.engineState = FFB_ENGINE_TO_RESTART;
  }
  if (!gFfb.airborne && !gFfb.bothFrontLost) {
    SetCoefficient(FFB_FX_SPRING, Mul(velocity, gFfb.springSlope) >> 8);
    SetCoefficient(FFB_FX_DAMPER, int64_t{s.frcDamperMax} - (Mul(velocity, gFfb.damperSlope) >> 8));
  }
  // Unlike FfbSetLostWheels, no division by VITESSE_MAX here.
  if (gFfb.rumbleRunning) SetWaveMagnitude(WAVE_RUMBLE, Mul(Mul(s.frcSansRoue, gFfb.lostCount), velocity) >> 8);
  return 1;
}

int32_t FfbSetAirborne() {
  if (gFfb.device == -1) return 0;
  if (gFfb.airborne) return 1;
  gFfb.airborne = 1;
  SetCoefficient(FFB_FX_SPRING, gFfb.settings.frcSpringMin);
  SetCoefficient(FFB_FX_DAMPER, gFfb.settings.frcDamperMin);
  StopRunning(&gFfb.rumbleRunning, FFB_FX_RUMBLE);
  StopRunning(&gFfb.skidRunning, FFB_FX_SKID);
  return 1;
}

int32_t FfbLand(int32_t strength) {
  if (gFfb.device == -1) return 0;
  if (!gFfb.airborne) return 1;
  gFfb.airborne = 0;
  FfbSetLostWheels(gFfb.lostMask);
  InputFxSetConstantDirection(gFfb.device, Fx(FFB_FX_LANDING), 1, 0,
                              Hold32(Mul(strength, gFfb.settings.frcReception) / LEVEL_FULL));
  Start(FFB_FX_LANDING);
  return 1;
}

int32_t FfbPlayImpact(int32_t x, int32_t z, int32_t strength) {
  if (gFfb.device == -1) return 0;
  InputFxSetConstantDirection(gFfb.device, Fx(FFB_FX_IMPACT), x, z,
                              Hold32(Mul(gFfb.settings.frcChoc, strength) / LEVEL_FULL));
  Start(FFB_FX_IMPACT);
  return 1;
}

int32_t FfbSetSkid(int32_t amount) {
  if (gFfb.device == -1) return 0;
  SetWaveMagnitude(WAVE_SKID, Mul(gFfb.settings.frcDerapage, amount) / LEVEL_FULL);
  if (amount > 0) {
    if (!gFfb.skidRunning && !gFfb.airborne) {
      Start(FFB_FX_SKID);
      gFfb.skidRunning = 1;
    }
  } else if (amount == 0) {
    StopRunning(&gFfb.skidRunning, FFB_FX_SKID);
  }
  return 1;
}
