// Force feedback on the fake input device: start-up, the levels file, the
// effect layer and the race triggers.
#include <unistd.h>

#include <climits>
#include <cstring>

#include "input/input_fixture.h"
#include "race/ffb.h"
#include "race/race.h"
#include "race/vehicle_steps.h"
#include "shell/game.h"

namespace {

class FfbTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    FfbResetState();
    gRace = RaceState{};
    gRace.timeStep = 1.0f;
    gFfbDeviceActive = 0;
    gJoyDevice = 0;
    home_ = std::filesystem::current_path();
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(::chdir(home_.c_str()), 0);
    InputTest::TearDown();
  }

  // A force-feedback wheel started as the game starts it; the calls so far are forgotten.
  void StartWheel() {
    HalFakeInputAdd(MakeJoystick("wheel"));
    ASSERT_EQ(FfbInitDevices(), 1);
    ASSERT_EQ(gFfb.on, 1);
    HalFakeInputClearCalls();
  }

  // The device layer's handle of one of the seven effects.
  static int32_t Handle(FfbEffect e) { return gInput.effects[gFfb.effects[e]]; }

  static std::vector<HalFakeCallRecord> Calls(HalInputCall call, FfbEffect e) {
    std::vector<HalFakeCallRecord> out;
    for (const HalFakeCallRecord& r : HalFakeInputCalls())
      if (r.call == call && r.effect == Handle(e)) out.push_back(r);
    return out;
  }
  static HalFakeCallRecord LastParameters(FfbEffect e) {
    auto calls = Calls(HAL_CALL_SET_PARAMETERS, e);
    EXPECT_FALSE(calls.empty());
    return calls.empty() ? HalFakeCallRecord{} : calls.back();
  }
  static int32_t Coefficient(FfbEffect e) { return gInput.effectCoefficient[gFfb.effects[e]][0]; }
  static int32_t Offset(FfbEffect e) { return gInput.effectOffset[gFfb.effects[e]][0]; }

  static Vehicle Driver(uint8_t human = 1, int32_t controller = 3) {
    Vehicle v{};
    v.human = human;
    v.controller = controller;
    return v;
  }

  TempDir dir_;
  std::filesystem::path home_;
};

TEST(FfbParseIntTest, ReadsASignAndTheLeadingDigitsHeldAt32Bits) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"120000", 120000}, {"+5", 5}, {"-5000", -5000}, {"42abc", 42}, {"abc", 0}, {"", 0}, {"-", 0},
      {"+-3", 0}, {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"99999999999999999999", INT_MAX},
      {"-2147483648", INT_MIN}, {"-99999999999999999999", INT_MIN}, {"00012", 12},
  };
  for (const Case& c : cases) EXPECT_EQ(FfbParseInt(c.text), c.expected) << c.text;
  EXPECT_EQ(FfbParseInt(nullptr), 0);
}

TEST_F(FfbTest, SettingsFilesOfEveryKind) {
  const FfbSettings defaults = FfbDefaultSettings();
  EXPECT_EQ(defaults.tpsReceptionAt, 120000);
  EXPECT_EQ(defaults.centreRoueDroite, -5000);

  FfbReadSettings(".\\ziziz.ini", "Levels");  // no file
  EXPECT_EQ(std::memcmp(&gFfb.settings, &defaults, sizeof defaults), 0);

  dir_.Write("ziziz.ini", "[Levels]\nFRC_CHOC=4000\nfrc_reception = 3000\n");  // partial
  FfbReadSettings(".\\ziziz.ini", "Levels");
  FfbSettings expected = defaults;
  expected.frcChoc = 4000;
  expected.frcReception = 3000;
  EXPECT_EQ(std::memcmp(&gFfb.settings, &expected, sizeof expected), 0);

  std::string full = "[Levels]\n";  // every key, each a value of its own
  for (int i = 0; i < FFB_SETTING_COUNT; ++i)
    full += std::string(FFB_SETTING_KEYS[i].name) + "=" + std::to_string(100 + i) + "\n";
  dir_.Write("ziziz.ini", full);
  FfbReadSettings(".\\ziziz.ini", "Levels");
  for (int i = 0; i < FFB_SETTING_COUNT; ++i)
    EXPECT_EQ(gFfb.settings.*FFB_SETTING_KEYS[i].field, 100 + i) << FFB_SETTING_KEYS[i].name;

  dir_.Write("ziziz.ini",  // damaged values
             "[Levels]\nFRC_CHOC=lots\nFRC_RECEPTION=-12x\nTPS_CHOC_ST=99999999999\nVITESSE_MAX=0\n"
             "MOTEUR_REGIME_MAX=3000\nMOTEUR_REGIME_MIN=3000\n");
  FfbReadSettings(".\\ziziz.ini", "Levels");
  EXPECT_EQ(gFfb.settings.frcChoc, 0);
  EXPECT_EQ(gFfb.settings.frcReception, -12);
  EXPECT_EQ(gFfb.settings.tpsChocSt, INT_MAX);
  // Zero divisors take their defaults.
  EXPECT_EQ(gFfb.settings.vitesseMax, 250);
  EXPECT_EQ(gFfb.settings.moteurRegimeMax, 10000);
  EXPECT_EQ(gFfb.settings.moteurRegimeMin, 1000);
}

TEST_F(FfbTest, StartUpCreatesTheSevenEffectsInOrder) {
  HalFakeInputAdd(MakeJoystick("wheel"));
  EXPECT_EQ(FfbInitDevices(), 1);
  EXPECT_EQ(gFfb.on, 1);
  EXPECT_EQ(gFfb.deviceKind, 1);
  EXPECT_EQ(gJoyDevice, 0);
  const HalEffectKind kinds[] = {HAL_FX_SPRING, HAL_FX_DAMPER,      HAL_FX_CONSTANT, HAL_FX_CONSTANT,
                                 HAL_FX_SINE,   HAL_FX_SAWTOOTH_UP, HAL_FX_SQUARE};
  std::vector<HalFakeCallRecord> created;
  for (const HalFakeCallRecord& r : HalFakeInputCalls())
    if (r.call == HAL_CALL_CREATE_EFFECT) created.push_back(r);
  ASSERT_EQ(created.size(), 7u);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(created[i].kind, kinds[i]) << i;
  // Landing jolt: attack and fade of 120000 around a sustain of 160000.
  EXPECT_EQ(created[2].params.envelope.attackTime, 120000u);
  EXPECT_EQ(created[2].params.envelope.fadeTime, 120000u);
  EXPECT_EQ(created[2].params.duration, 400000u);
  EXPECT_EQ(created[3].params.envelope.fadeTime, 50000u);
  EXPECT_EQ(created[3].params.duration, 200000u);
  const uint32_t periods[] = {60000, 50000, 50000};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(created[4 + i].params.periodic.period, periods[i]);
    EXPECT_EQ(created[4 + i].params.duration, HAL_INFINITE);
  }
  // Auto-centre is off while the effects steer.
  bool autoCentreOff = false;
  for (const HalFakeCallRecord& r : HalFakeInputCalls())
    if (r.call == HAL_CALL_SET_PROPERTY && r.property == HAL_PROP_AUTOCENTER && r.value == 0) autoCentreOff = true;
  EXPECT_TRUE(autoCentreOff);
}

TEST_F(FfbTest, TheFirstReadableDeviceIsTheController) {
  HalFakeInputAdd(MakeJoystick("broken"));
  HalFakeInputAdd(MakeJoystick("stick", HAL_DEVSUB_GAMEPAD));
  HalFakeInputSetResult(HAL_CALL_GET_DEVICE_INFO, 0, HAL_DIERR_GENERIC, -1);
  EXPECT_EQ(FfbInitDevices(), 1);
  EXPECT_EQ(gJoyDevice, 1);
  EXPECT_EQ(gFfb.on, 1);
  EXPECT_EQ(gFfb.deviceKind, 0);
}

TEST_F(FfbTest, WithoutEffectsTheDeviceIsStillTheController) {
  struct Case {
    const char* name;
    bool forceFeedback;
    std::vector<uint32_t> effectTypes;
    int32_t failedCreations;  // the first n creations fail
  } cases[] = {
      {"no force feedback", false, {HAL_EFT_CONSTANTFORCE, HAL_EFT_PERIODIC, HAL_EFT_CONDITION}, 0},
      {"no periodic effects", true, {HAL_EFT_CONSTANTFORCE, HAL_EFT_CONDITION}, 0},
      {"no conditions", true, {HAL_EFT_CONSTANTFORCE, HAL_EFT_PERIODIC}, 0},
      {"the spring fails", true, {HAL_EFT_CONSTANTFORCE, HAL_EFT_PERIODIC, HAL_EFT_CONDITION}, 1},
      {"every effect fails", true, {HAL_EFT_CONSTANTFORCE, HAL_EFT_PERIODIC, HAL_EFT_CONDITION}, -1},
  };
  for (const Case& c : cases) {
    HalInputUseFake(true);  // a fresh fake
    InputResetForTest();
    FfbResetState();
    HalFakeJoystick wheel = MakeJoystick("wheel", HAL_DEVSUB_WHEEL, 3, c.forceFeedback);
    wheel.effectTypes = c.effectTypes;
    HalFakeInputAdd(wheel);
    if (c.failedCreations != 0) HalFakeInputSetResult(HAL_CALL_CREATE_EFFECT, -1, HAL_DIERR_DEVICEFULL, c.failedCreations);
    EXPECT_EQ(FfbInitDevices(), 1) << c.name;
    EXPECT_EQ(gFfb.on, 0) << c.name;
    EXPECT_EQ(gJoyDevice, 0) << c.name;
    // With force feedback off the triggers leave the device alone.
    Vehicle v = Driver();
    HalFakeInputClearCalls();
    FfbSetActive(&v, 1);
    FfbShock(&v, 3, 4);
    EXPECT_TRUE(HalFakeInputCalls().empty()) << c.name;
  }
}

TEST_F(FfbTest, NoDeviceNoController) {
  EXPECT_EQ(FfbInitDevices(), 0);
  EXPECT_EQ(gFfb.on, 0);
  EXPECT_EQ(FfbUpdateEngine(100, 2000), 0);
  EXPECT_EQ(FfbSetLostWheels(1), 0);
  EXPECT_EQ(FfbPlayImpact(1, 0, 10000), 0);
}

TEST_F(FfbTest, EnginePeriodFollowsTheRevolutionsAndStopsWhenMuted) {
  StartWheel();
  ASSERT_EQ(FfbResumeEffects(), 1);
  struct Step {
    int32_t revolutions;
    int32_t period;  // sent, or -1 when no period goes out
    int starts, stops;
  } steps[] = {
      {1000, 60000, 0, 0}, {7000, 24000, 0, 0}, {8000, -1, 0, 1}, {9000, -1, 0, 0},
      {7999, 60000 - 6999 * 6, 1, 0}, {1000, 60000, 0, 0},
  };
  for (const Step& s : steps) {
    HalFakeInputClearCalls();
    EXPECT_EQ(FfbUpdateEngine(0, s.revolutions), 1);
    auto sent = Calls(HAL_CALL_SET_PARAMETERS, FFB_FX_ENGINE);
    if (s.period < 0) {
      EXPECT_TRUE(sent.empty()) << s.revolutions;
    } else {
      ASSERT_FALSE(sent.empty()) << s.revolutions;
      EXPECT_EQ(sent.back().params.periodic.period, static_cast<uint32_t>(s.period)) << s.revolutions;
      EXPECT_EQ(sent.back().params.periodic.magnitude, 2000u) << s.revolutions;
    }
    EXPECT_EQ(Calls(HAL_CALL_START, FFB_FX_ENGINE).size(), static_cast<size_t>(s.starts)) << s.revolutions;
    EXPECT_EQ(Calls(HAL_CALL_STOP, FFB_FX_ENGINE).size(), static_cast<size_t>(s.stops)) << s.revolutions;
  }
}

TEST_F(FfbTest, LostWheelsShortenTheLandingAndMoveTheSpringCentre) {
  StartWheel();
  struct Case {
    int32_t mask;
    uint32_t attack;
    int32_t centre;
  } cases[] = {
      {0, 120000, 0}, {1, 90000, -5000}, {2, 90000, 5000}, {4, 90000, 0}, {1 | 2 | 4, 30000, 0}, {15, 0, 0},
  };
  for (const Case& c : cases) {
    HalFakeInputClearCalls();
    EXPECT_EQ(FfbSetLostWheels(c.mask), 1);
    const HalFakeCallRecord landing = LastParameters(FFB_FX_LANDING);
    EXPECT_EQ(landing.params.envelope.attackTime, c.attack) << c.mask;
    EXPECT_EQ(landing.params.envelope.fadeTime, c.attack) << c.mask;
    EXPECT_EQ(Offset(FFB_FX_SPRING), c.centre) << c.mask;
  }
}

TEST_F(FfbTest, WithBothFrontWheelsLostSpringAndDamperKeepTheirMinimums) {
  StartWheel();
  FfbResumeEffects();
  FfbUpdateEngine(100, 2000);
  EXPECT_EQ(Coefficient(FFB_FX_SPRING), 100 * 8192 / 256);
  EXPECT_EQ(Coefficient(FFB_FX_DAMPER), 10000 - 100 * 9216 / 256);
  FfbSetLostWheels(3);
  EXPECT_EQ(Coefficient(FFB_FX_SPRING), 0);
  EXPECT_EQ(Coefficient(FFB_FX_DAMPER), 1000);
  FfbUpdateEngine(200, 2000);
  EXPECT_EQ(Coefficient(FFB_FX_SPRING), 0);
  EXPECT_EQ(Coefficient(FFB_FX_DAMPER), 1000);
  FfbSetLostWheels(1);  // the mask changes
  FfbUpdateEngine(200, 2000);
  EXPECT_EQ(Coefficient(FFB_FX_SPRING), 200 * 8192 / 256);
  EXPECT_EQ(Coefficient(FFB_FX_DAMPER), 10000 - 200 * 9216 / 256);
}

TEST_F(FfbTest, TheRumbleScalesByVelocityTwoWays) {
  StartWheel();
  FfbResumeEffects();
  FfbUpdateEngine(250, 2000);
  HalFakeInputClearCalls();
  FfbSetLostWheels(1 | 4);  // two wheels: divided by VITESSE_MAX
  EXPECT_EQ(LastParameters(FFB_FX_RUMBLE).params.periodic.magnitude, (500u * 2 * 250 / 250) >> 8);
  EXPECT_EQ(Calls(HAL_CALL_START, FFB_FX_RUMBLE).size(), 1u);
  FfbUpdateEngine(250, 2000);  // not divided here
  EXPECT_EQ(LastParameters(FFB_FX_RUMBLE).params.periodic.magnitude, (500u * 2 * 250) >> 8);
  // In the air the rumble stops, and it comes back on landing.
  FfbSetAirborne();
  EXPECT_EQ(Calls(HAL_CALL_STOP, FFB_FX_RUMBLE).size(), 1u);
  FfbLand(10000);
  EXPECT_EQ(Calls(HAL_CALL_START, FFB_FX_RUMBLE).size(), 2u);
  EXPECT_EQ(Calls(HAL_CALL_START, FFB_FX_LANDING).size(), 1u);
  FfbSetLostWheels(0);
  EXPECT_EQ(Calls(HAL_CALL_STOP, FFB_FX_RUMBLE).size(), 2u);
}

TEST_F(FfbTest, RestartKeepsTheLostWheelsResumeForgetsThem) {
  StartWheel();
  FfbSetLostWheels(1);
  FfbSetAirborne();
  FfbRestartEffects();
  EXPECT_EQ(gFfb.lostMask, 1);
  EXPECT_EQ(Offset(FFB_FX_SPRING), -5000);
  EXPECT_EQ(gFfb.airborne, 1);
  EXPECT_EQ(Calls(HAL_CALL_START, FFB_FX_RUMBLE).size(), 1u);  // before take-off only
  FfbResumeEffects();
  EXPECT_EQ(gFfb.lostMask, 0);
  EXPECT_EQ(Offset(FFB_FX_SPRING), 0);
  EXPECT_EQ(gFfb.airborne, 0);
  for (FfbEffect e : {FFB_FX_SPRING, FFB_FX_DAMPER, FFB_FX_ENGINE})
    EXPECT_EQ(Calls(HAL_CALL_START, e).size(), 2u) << e;
}

TEST_F(FfbTest, ReleaseLeavesNoEffectAndGivesTheWheelItsCentring) {
  StartWheel();
  FfbRelease();
  EXPECT_EQ(HalFakeInputLiveEffects(), 0);
  const HalFakeCallRecord last = CallsOf(HAL_CALL_SET_PROPERTY).back();
  EXPECT_EQ(last.property, HAL_PROP_AUTOCENTER);
  EXPECT_EQ(last.value, 1);
  Vehicle v = Driver();
  HalFakeInputClearCalls();
  FfbShock(&v, 3, 4);
  EXPECT_TRUE(HalFakeInputCalls().empty());
}

TEST_F(FfbTest, ImpactStrengthGrowsWithTheContactAndIsCapped) {
  StartWheel();
  Vehicle v = Driver();
  struct Case {
    int32_t dx, dz;
    uint32_t gain;
  } cases[] = {{3, 4, 5000}, {30, 40, 10000}, {0, 0, 0}, {-6, 8, 10000}, {1, 1, 1000}, {INT_MIN, INT_MIN, 10000}};
  for (const Case& c : cases) {
    HalFakeInputClearCalls();
    FfbShock(&v, c.dx, c.dz);
    const HalFakeCallRecord sent = LastParameters(FFB_FX_IMPACT);
    EXPECT_EQ(sent.params.gain, c.gain) << c.dx << "," << c.dz;
    EXPECT_EQ(sent.params.direction[0], c.dx);
    EXPECT_EQ(sent.params.direction[1], c.dz);
    EXPECT_EQ(Calls(HAL_CALL_START, FFB_FX_IMPACT).size(), 1u);
  }
}

TEST_F(FfbTest, TriggersActOnlyForAHumanWithAJoystickOrWheel) {
  StartWheel();
  struct Case {
    uint8_t human;
    int32_t controller;
    uint8_t noHumanMode;
    bool acts;
  } cases[] = {
      {1, 2, 0, true}, {1, 3, 0, true}, {1, 0, 0, false}, {1, 1, 0, false},
      {0, 3, 0, false}, {2, 3, 0, false}, {1, 3, 1, false},
  };
  for (const Case& c : cases) {
    gRace.noHumanMode = c.noHumanMode;
    Vehicle v = Driver(c.human, c.controller);
    v.wheelsLost = 1;
    gFfb.active = 0;
    HalFakeInputClearCalls();
    FfbSetActive(&v, 1);
    FfbUpdateWheelContact(&v);
    FfbUpdateEngineFromVehicle(&v);
    FfbTakeOff(&v);
    FfbLandVehicle(&v);
    FfbShock(&v, 3, 4);
    FfbShockFull(&v, 1.0f, 0.0f);
    FfbSkid(&v);
    EXPECT_EQ(!HalFakeInputCalls().empty(), c.acts)
        << "human " << int(c.human) << " controller " << c.controller << " demo " << int(c.noHumanMode);
    EXPECT_EQ(gFfb.active, c.acts ? 1 : 0);
  }
}

TEST_F(FfbTest, WheelContactMasksTheDetachedWheels) {
  StartWheel();
  Vehicle v = Driver();
  for (WheelState& w : v.wheels) w.attached = 1;
  v.wheels[WHEEL_FRONT_LEFT].attached = 0;
  v.wheels[WHEEL_REAR_RIGHT].attached = 0;
  FfbUpdateWheelContact(&v);
  EXPECT_EQ(gFfb.lostMask, 0);  // no wheel counted as lost yet
  v.wheelsLost = 2;
  FfbUpdateWheelContact(&v);
  EXPECT_EQ(gFfb.lostMask, 1 | 8);
  EXPECT_EQ(gFfb.lostCount, 2);
}

TEST_F(FfbTest, TheEngineIsSentAboutEveryTenTicks) {
  StartWheel();
  Vehicle v = Driver();
  v.engineRevs = 500.0f;  // heard as 1000
  std::vector<int> updates;
  for (int call = 1; call <= 23; ++call) {
    HalFakeInputClearCalls();
    FfbUpdateEngineFromVehicle(&v);
    auto sent = Calls(HAL_CALL_SET_PARAMETERS, FFB_FX_ENGINE);
    if (!sent.empty()) {
      updates.push_back(call);
      EXPECT_EQ(sent.back().params.periodic.period, 60000u);
    }
  }
  EXPECT_EQ(updates, (std::vector<int>{1, 12, 23}));
}

TEST_F(FfbTest, StopAllStopsTheLocalPlayersEffects) {
  StartWheel();
  Vehicle network = Driver(1, 2);
  struct Case {
    const char* name;
    int32_t playersMode;
    int32_t networkGame;
    int32_t player1Controller, player2Controller;
    bool stops;
  } cases[] = {
      {"one player on a wheel", 0, 0, 3, 0, true},
      {"one player on the keyboard", 0, 0, 0, 3, false},
      {"split screen, player 1 on a wheel", 1, 0, 2, 0, true},
      {"split screen, player 2 on a wheel", 1, 0, 0, 3, true},
      {"split screen, keyboard and mouse", 1, 0, 0, 1, false},
      {"network race", 2, 1, 0, 0, true},
  };
  for (const Case& c : cases) {
    gRace.playersMode = c.playersMode;
    gRace.networkGame = c.networkGame;
    gPlayer1Vehicle->controller = c.player1Controller;
    gPlayer2Vehicle->controller = c.player2Controller;
    gLocalNetVehicle = &network;
    gFfb.active = 1;
    HalFakeInputClearCalls();
    FfbStopAll();
    EXPECT_EQ(gFfb.active, c.stops ? 0 : 1) << c.name;
    EXPECT_EQ(Calls(HAL_CALL_STOP, FFB_FX_SPRING).size(), c.stops ? 1u : 0u) << c.name;
  }
}

TEST_F(FfbTest, FifteenErrorsMeanTheDeviceIsLost) {
  const uint32_t lost[] = {0x80000002, 0x80000003, 0x80000004, 0x80000009, 0x80040154,
                           0x80040201, 0x80040205, 0x80040206, 0x8007000C, 0x80070015,
                           0x800700AA, 0x8007047E, 0x80070481, 0xFFFFFFFE, 0xFFFFFFFF};
  for (uint32_t code : lost) {
    gFfbDeviceActive = 1;
    gLibLastError = code;
    FfbCheckDeviceLost();
    EXPECT_EQ(gFfbDeviceActive, 0) << std::hex << code;
  }
  for (uint32_t code : {0u, 0x80040208u, 0x8007001Eu, 0x80000001u}) {
    gFfbDeviceActive = 1;
    gLibLastError = code;
    FfbCheckDeviceLost();
    EXPECT_EQ(gFfbDeviceActive, 1) << std::hex << code;
  }
}

TEST_F(FfbTest, ZeroDivisorsFromTheFileTakeTheDefaults) {
  dir_.Write("ziziz.ini", "[Levels]\nVITESSE_MAX=0\nMOTEUR_REGIME_MAX=4000\nMOTEUR_REGIME_MIN=4000\n");
  StartWheel();
  EXPECT_EQ(gFfb.engineSlope, (6000 - 60000) * 256 / 9000);
  EXPECT_EQ(gFfb.springSlope, 8000 * 256 / 250);
  EXPECT_EQ(gFfb.damperSlope, 9000 * 256 / 250);
  FfbUpdateEngine(100, 3000);
  EXPECT_EQ(FfbSetLostWheels(1), 1);
}

TEST_F(FfbTest, LevelsAtTheLimitsAreHeldNotWrapped) {
  dir_.Write("ziziz.ini",
             "[Levels]\nFRC_SPRING_MAX=2147483647\nFRC_SPRING_MIN=-2147483648\nVITESSE_MAX=1\n"
             "TPS_PER_MOTEUR_MAX=2147483647\nTPS_PER_MOTEUR_RALENTI=-2147483648\n"
             "MOTEUR_REGIME_MAX=1\nMOTEUR_REGIME_MIN=0\nREG_VIB_MOTEUR_MUTED=2147483647\n"
             "FRC_SANS_ROUE=2147483647\nFRC_CHOC=2147483647\nTPS_RECEPTION_AT=-2147483648\n");
  StartWheel();
  EXPECT_EQ(gFfb.springSlope, INT_MAX);
  EXPECT_EQ(gFfb.engineSlope, INT_MAX);
  FfbResumeEffects();
  HalFakeInputClearCalls();
  FfbUpdateEngine(INT_MAX, 2000000000);
  EXPECT_EQ(LastParameters(FFB_FX_ENGINE).params.periodic.period, UINT32_MAX);
  FfbUpdateEngine(INT_MIN, INT_MIN);
  EXPECT_EQ(LastParameters(FFB_FX_ENGINE).params.periodic.period, 0u);
  EXPECT_EQ(Coefficient(FFB_FX_SPRING), 0);
  FfbPlayImpact(1, 0, INT_MAX);
  EXPECT_EQ(LastParameters(FFB_FX_IMPACT).params.gain, 10000u);
}

}  // namespace
