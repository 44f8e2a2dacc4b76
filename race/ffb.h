// Force feedback: what the player feels through a wheel or joystick with
// effects. The start-up reads the levels from ".\ziziz.ini" and creates seven
// effects on the game controller; during a race the triggers (vehicle_steps.h)
// drive them through the device-level operations below.
//
// gFfb is written by this subsystem alone; the device flag gFfbDeviceActive is
// set by the shell's start-up from FfbInitDevices and cleared by
// FfbCheckDeviceLost.
#pragma once
#include <cstdint>

#include "platform/input.h"

// The 24 levels, each a key of section "Levels". Times in the input library's
// unit, forces and coefficients on its 0..10000 scale.
struct FfbSettings {
  int32_t tpsReceptionAt;        // landing jolt: attack with no wheel lost
  int32_t tpsReceptionSt;        // landing jolt: sustain
  int32_t tpsPerSansRoue;        // lost-wheel rumble: period
  int32_t tpsChocAt;             // impact jolt: attack
  int32_t tpsChocSt;             // impact jolt: sustain
  int32_t tpsChocEs;             // impact jolt: fade
  int32_t tpsPerDerrapage;       // skid vibration: period
  int32_t tpsPerMoteurRalenti;   // engine vibration: period at the lowest revolutions
  int32_t tpsPerMoteurMax;       // engine vibration: period at the highest revolutions
  int32_t moteurRegimeMax;       // highest revolutions of the period scale
  int32_t moteurRegimeMin;       // lowest revolutions of the period scale
  int32_t regVibMoteurMuted;     // revolutions from which the engine vibration stops
  int32_t frcSpringMin;          // spring at rest, in the air, without both front wheels
  int32_t frcSpringMax;          // spring at vitesseMax
  int32_t frcDamperMin;          // damper in the air, without both front wheels
  int32_t frcDamperMax;          // damper at rest
  int32_t frcVibMoteur;          // engine vibration magnitude
  int32_t frcSansRoue;           // rumble magnitude per lost wheel at vitesseMax
  int32_t frcDerapage;           // skid magnitude at full skid
  int32_t frcChoc;               // impact magnitude at full strength
  int32_t frcReception;          // landing magnitude at full strength
  int32_t vitesseMax;            // velocity at which spring and damper reach their end values
  int32_t centreRoueDroite;      // spring centre with wheel 1 alone lost
  int32_t centreRoueGauche;      // spring centre with wheel 2 alone lost
};
constexpr int FFB_SETTING_COUNT = 24;
static_assert(sizeof(FfbSettings) == FFB_SETTING_COUNT * sizeof(int32_t));

struct FfbSettingKey {
  const char* name;
  int32_t FfbSettings::*field;
  int32_t fallback;
};
// In the order of the file's documentation.
extern const FfbSettingKey FFB_SETTING_KEYS[FFB_SETTING_COUNT];
FfbSettings FfbDefaultSettings();

enum FfbEffect : int32_t {
  FFB_FX_SPRING = 0, FFB_FX_DAMPER, FFB_FX_LANDING, FFB_FX_IMPACT, FFB_FX_ENGINE, FFB_FX_SKID, FFB_FX_RUMBLE,
  FFB_FX_COUNT,
};

enum FfbEngineState : int32_t { FFB_ENGINE_RUNNING = 0, FFB_ENGINE_TO_RESTART = 1, FFB_ENGINE_STOPPED = 2 };

struct FfbState {
  FfbSettings settings;
  // Derived from the settings when the effects are created (x 256).
  int32_t engineSlope, springSlope, damperSlope;
  int32_t effects[FFB_FX_COUNT];  // the input library's effects, -1 not created
  // The parameter blocks the effects were made with and are changed through.
  InputFxEnvelopeParams landingEnvelope;
  InputFxEnvelopeParams impactEnvelope;
  InputFxEnvelopeParams waveEnvelope[3];   // engine, skid, rumble; magnitude is the wave's
  InputFxPeriodicParams wave[3];
  int32_t device;  // the game controller when it has effects, -1 none
  int32_t lostMask;  // bits 1, 2, 4, 8: wheels 1..4 lost
  int32_t lostCount;
  int32_t lastVelocity;
  uint8_t airborne;
  uint8_t bothFrontLost;
  uint8_t rumbleRunning;
  uint8_t skidRunning;
  int32_t engineState;  // FfbEngineState
  float engineCountdown;
  uint8_t on;          // the seven effects exist
  uint8_t active;      // a race has them playing
  uint8_t deviceKind;  // the controller's kind byte: 1 wheel
};
extern FfbState gFfb;
// 1 while a force-feedback device is set up: the result of FfbInitDevices,
// which the shell keeps here; FfbCheckDeviceLost clears it when the device
// goes, and the shutdown releases force feedback only while it is set.
extern uint8_t gFfbDeviceActive;

// Back to the state before start-up: defaults, no device, no effects.
void FfbResetState();

// The game's reading of a settings value: an optional sign and the leading
// digits, 0 when there are none, held at the limits of a 32-bit integer.
int32_t FfbParseInt(const char* text);
// Reads the 24 levels; a missing file or key keeps the default. Levels that
// would make a divisor 0 take their defaults.
void FfbReadSettings(const char* file, const char* section);
// 1 when all seven effects were created on `device`.
int32_t FfbCreateEffects(int32_t device);

// The effect layer: each returns 1, or 0 without a device.
int32_t FfbSetLostWheels(int32_t mask);
int32_t FfbRestartEffects();
int32_t FfbResumeEffects();
int32_t FfbStopEffects();
int32_t FfbUpdateEngine(int32_t velocity, int32_t revolutions);
int32_t FfbSetAirborne();
int32_t FfbLand(int32_t strength);
int32_t FfbPlayImpact(int32_t x, int32_t z, int32_t strength);
int32_t FfbSetSkid(int32_t amount);
