#include "input/input_fixture.h"

namespace {

class InputFxTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    ASSERT_EQ(Start(1), 1);
    ASSERT_EQ(InputFxQueryEffects(0), 1);
    HalFakeInputClearCalls();
  }

  static HalFakeCallRecord LastCall(HalInputCall call) {
    auto calls = CallsOf(call);
    EXPECT_FALSE(calls.empty());
    return calls.empty() ? HalFakeCallRecord{} : calls.back();
  }

  int32_t MakeConstant() {
    int32_t effect = -1;
    InputFxEnvelopeParams env{1000, 0, 5000, 200000, 0, 0};
    EXPECT_EQ(InputFxCreateConstant(0, &effect, &env), 1);
    return effect;
  }
  int32_t MakePeriodic() {
    int32_t effect = -1;
    InputFxEnvelopeParams env{0, 0, 3000, -1, 0, 0};
    InputFxPeriodicParams wave{0, 0, 50000};
    EXPECT_EQ(InputFxCreatePeriodic(0, &effect, 2, &env, &wave), 1);
    return effect;
  }
  int32_t MakeCondition(int32_t mask) {
    int32_t effect = -1;
    EXPECT_EQ(InputFxCreateCondition(0, &effect, 1, mask, 4000), 1);
    return effect;
  }
};

TEST_F(InputFxTest, QueryReportsTheDevicesEffectTypes) {
  EXPECT_EQ(gInput.effectFlags[INPUT_FX_CONSTANT], 1);
  EXPECT_EQ(gInput.effectFlags[INPUT_FX_PERIODIC], 1);
  EXPECT_EQ(gInput.effectFlags[INPUT_FX_CONDITION], 1);
  EXPECT_EQ(gInput.effectFlags[INPUT_FX_RAMP], 0);
  EXPECT_EQ(gInput.effectFlags[INPUT_FX_CUSTOM], 0);
}

TEST(InputFxBeforeQuery, EveryOperationNeedingATypeAnswersMinusOne) {
  ResetHalForTest();
  HalInputUseFake(true);
  InputResetForTest();
  HalFakeInputAdd(MakeJoystick("wheel"));
  ASSERT_EQ(InputInit(0, 1), 1);
  HalFakeInputClearCalls();
  int32_t effect = -1;
  InputFxEnvelopeParams env{};
  InputFxPeriodicParams wave{};
  EXPECT_EQ(InputFxCreateCondition(0, &effect, 1, 1, 100), -1);
  EXPECT_EQ(InputFxCreateConstant(0, &effect, &env), -1);
  EXPECT_EQ(InputFxCreateConstantInfinite(0, &effect), -1);
  EXPECT_EQ(InputFxCreatePeriodic(0, &effect, 1, &env, &wave), -1);
  EXPECT_EQ(InputFxSetConditionCoefficient(0, 0, 1, 100), -1);
  EXPECT_EQ(InputFxSetConditionOffset(0, 0, 1, 100), -1);
  EXPECT_EQ(InputFxSetConstantEnvelope(0, 0, &env), -1);
  EXPECT_EQ(InputFxSetConstantPolar(0, 0, 0, 100), -1);
  EXPECT_EQ(InputFxSetConstantCartesian(0, 0, 1, 0, 100), -1);
  EXPECT_EQ(InputFxSetConstantDirection(0, 0, 1, 0, 100), -1);
  EXPECT_EQ(InputFxSetConstantDirectionPolar(0, 0, 0, 100), -1);
  EXPECT_EQ(InputFxSetPeriodic(0, 0, &env, &wave), -1);
  EXPECT_EQ(InputFxSetPeriodicDirection(0, 0, 1, 0, 100), -1);
  EXPECT_EQ(InputFxSetPeriodicDirectionPolar(0, 0, 0, 100), -1);
  EXPECT_TRUE(HalFakeInputCalls().empty());
  HalInputUseFake(false);
}

TEST_F(InputFxTest, EachKindCreatesItsEffect) {
  const HalEffectKind conditions[] = {HAL_FX_SPRING, HAL_FX_DAMPER, HAL_FX_INERTIA, HAL_FX_FRICTION};
  const HalEffectKind waves[] = {HAL_FX_SQUARE, HAL_FX_SINE, HAL_FX_TRIANGLE, HAL_FX_SAWTOOTH_UP,
                                 HAL_FX_SAWTOOTH_DOWN};
  int32_t expectedIndex = 0;
  for (int kind = 1; kind <= 4; ++kind) {
    int32_t effect = -1;
    ASSERT_EQ(InputFxCreateCondition(0, &effect, kind, 3, 12000), 1);
    EXPECT_EQ(effect, expectedIndex++);
    HalFakeCallRecord r = LastCall(HAL_CALL_CREATE_EFFECT);
    EXPECT_EQ(r.kind, conditions[kind - 1]);
    EXPECT_EQ(r.params.duration, HAL_INFINITE);
    EXPECT_EQ(r.params.gain, 10000u);
    EXPECT_EQ(r.params.axisCount, 2u);
    ASSERT_EQ(r.params.conditionCount, 2u);
    // Creation does not clamp the coefficient.
    EXPECT_EQ(r.params.condition[1].positiveCoefficient, 12000);
    EXPECT_EQ(r.params.condition[1].negativeCoefficient, 12000);
  }
  InputFxEnvelopeParams env{2000, 1000, 6000, 3000, 500, 4000};
  InputFxPeriodicParams wave{-100, 9000, 40000};
  for (int form = 1; form <= 5; ++form) {
    int32_t effect = -1;
    ASSERT_EQ(InputFxCreatePeriodic(0, &effect, form, &env, &wave), 1);
    EXPECT_EQ(effect, expectedIndex++);
    HalFakeCallRecord r = LastCall(HAL_CALL_CREATE_EFFECT);
    EXPECT_EQ(r.kind, waves[form - 1]);
    EXPECT_EQ(r.params.duration, 8000u);
    EXPECT_EQ(r.params.gain, 0u);
    EXPECT_EQ(r.params.direction[0], 0);
    EXPECT_EQ(r.params.periodic.magnitude, 6000u);
    EXPECT_EQ(r.params.periodic.offset, -100);
    EXPECT_EQ(r.params.periodic.phase, 9000u);
    EXPECT_EQ(r.params.periodic.period, 40000u);
    EXPECT_EQ(r.params.envelope.attackLevel, 2000u);
    EXPECT_EQ(r.params.envelope.fadeTime, 4000u);
  }
  int32_t effect = -1;
  ASSERT_EQ(InputFxCreateConstant(0, &effect, &env), 1);
  HalFakeCallRecord r = LastCall(HAL_CALL_CREATE_EFFECT);
  EXPECT_EQ(r.kind, HAL_FX_CONSTANT);
  EXPECT_EQ(r.params.constantMagnitude, 6000);
  EXPECT_EQ(r.params.gain, 0u);
  EXPECT_EQ(r.params.direction[0], 1);
  EXPECT_EQ(r.params.direction[1], 0);
  EXPECT_TRUE(r.params.hasEnvelope);
  ASSERT_EQ(InputFxCreateConstantInfinite(0, &effect), 1);
  r = LastCall(HAL_CALL_CREATE_EFFECT);
  EXPECT_EQ(r.params.duration, HAL_INFINITE);
  EXPECT_EQ(r.params.gain, 10000u);
  EXPECT_FALSE(r.params.hasEnvelope);
  EXPECT_EQ(gInput.effectCount, 11);
}

TEST_F(InputFxTest, ConditionAxesFollowTheMask) {
  int32_t y = MakeCondition(2);
  HalFakeCallRecord r = LastCall(HAL_CALL_CREATE_EFFECT);
  ASSERT_EQ(r.params.axisCount, 1u);
  EXPECT_EQ(r.params.axes[0], HAL_JOFS_Y);
  EXPECT_EQ(r.params.conditionCount, 1u);
  EXPECT_EQ(y, 0);

  int32_t both = MakeCondition(3);
  ASSERT_EQ(InputFxSetConditionCoefficient(0, both, 1, 7000), 1);
  r = LastCall(HAL_CALL_SET_PARAMETERS);
  ASSERT_EQ(r.params.conditionCount, 2u);
  EXPECT_EQ(r.params.condition[0].positiveCoefficient, 7000);
  EXPECT_EQ(r.params.condition[1].positiveCoefficient, 4000);
  EXPECT_EQ(r.flags, HAL_EP_TYPESPECIFIC | HAL_EP_NORESTART);
}

TEST_F(InputFxTest, UnsupportedKindsAndMissingRecordsCreateNothing) {
  int32_t effect = -1;
  InputFxEnvelopeParams env{};
  InputFxPeriodicParams wave{};
  EXPECT_EQ(InputFxCreateCondition(0, &effect, 0, 1, 100), 0);
  EXPECT_EQ(InputFxCreateCondition(0, &effect, 5, 1, 100), 0);
  EXPECT_EQ(InputFxCreateCondition(0, &effect, 1, 0, 100), 0);
  EXPECT_EQ(InputFxCreatePeriodic(0, &effect, 0, &env, &wave), 0);
  EXPECT_EQ(InputFxCreatePeriodic(0, &effect, 6, &env, &wave), 0);
  EXPECT_EQ(InputFxCreatePeriodic(0, &effect, 1, nullptr, &wave), 0);
  EXPECT_EQ(InputFxCreateConstant(0, &effect, nullptr), 0);
  EXPECT_EQ(InputFxCreateConstant(0, nullptr, &env), 0);
  EXPECT_EQ(gInput.effectCount, 0);
  EXPECT_TRUE(HalFakeInputCalls().empty());
  EXPECT_EQ(effect, -1);
}

TEST_F(InputFxTest, AnEndlessPartMakesAnEndlessEffect) {
  const struct {
    int32_t attack, sustain, fade;
    uint32_t duration;
  } cases[] = {
      {0, -1, 0, HAL_INFINITE},
      {100, -1, 0, HAL_INFINITE},  // not 99 microseconds
      {0, -1, 250, HAL_INFINITE},
      {100, 200, 300, 600},
      {0, 0, 0, 0},
      {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, HAL_INFINITE - 1},
  };
  int32_t constant = MakeConstant();
  for (const auto& c : cases) {
    InputFxEnvelopeParams env{0, c.attack, 1000, c.sustain, 0, c.fade};
    int32_t effect = -1;
    ASSERT_EQ(InputFxCreateConstant(0, &effect, &env), 1);
    EXPECT_EQ(LastCall(HAL_CALL_CREATE_EFFECT).params.duration, c.duration);
    ASSERT_EQ(InputFxSetConstantEnvelope(0, constant, &env), 1);
    HalFakeCallRecord r = LastCall(HAL_CALL_SET_PARAMETERS);
    EXPECT_EQ(r.params.duration, c.duration);
    EXPECT_EQ(r.flags, HAL_EP_DURATION | HAL_EP_ENVELOPE | HAL_EP_NORESTART);
  }
}

TEST_F(InputFxTest, ValuesAreClampedToTheDevicesRanges) {
  int32_t condition = MakeCondition(3);
  int32_t constant = MakeConstant();
  int32_t periodic = MakePeriodic();

  ASSERT_EQ(InputFxSetConditionCoefficient(0, condition, 3, 12000), 1);
  EXPECT_EQ(LastCall(HAL_CALL_SET_PARAMETERS).params.condition[0].positiveCoefficient, 10000);
  ASSERT_EQ(InputFxSetConditionCoefficient(0, condition, 3, -5), 1);
  EXPECT_EQ(LastCall(HAL_CALL_SET_PARAMETERS).params.condition[1].negativeCoefficient, 0);
  ASSERT_EQ(InputFxSetConditionOffset(0, condition, 2, -20000), 1);
  HalFakeCallRecord r = LastCall(HAL_CALL_SET_PARAMETERS);
  EXPECT_EQ(r.params.condition[0].offset, 0);
  EXPECT_EQ(r.params.condition[1].offset, -10000);

  ASSERT_EQ(InputFxSetConstantPolar(0, constant, 9000, 20000), 1);
  r = LastCall(HAL_CALL_SET_PARAMETERS);
  EXPECT_EQ(r.params.constantMagnitude, 10000);
  EXPECT_EQ(r.params.flags & HAL_EFF_POLAR, HAL_EFF_POLAR);
  EXPECT_EQ(r.params.direction[0], 9000);
  EXPECT_EQ(r.flags, HAL_EP_DIRECTION | HAL_EP_TYPESPECIFIC | HAL_EP_NORESTART);
  ASSERT_EQ(InputFxSetConstantCartesian(0, constant, 3, -4, -20000), 1);
  EXPECT_EQ(LastCall(HAL_CALL_SET_PARAMETERS).params.constantMagnitude, -10000);

  // Gains are 0..10000 in every coordinate system.
  const struct {
    int32_t gain;
    uint32_t sent;
  } gains[] = {{-5, 0}, {12000, 10000}, {2500, 2500}};
  for (const auto& g : gains) {
    ASSERT_EQ(InputFxSetConstantDirection(0, constant, 1, -1, g.gain), 1);
    EXPECT_EQ(LastCall(HAL_CALL_SET_PARAMETERS).params.gain, g.sent);
    ASSERT_EQ(InputFxSetConstantDirectionPolar(0, constant, 18000, g.gain), 1);
    EXPECT_EQ(LastCall(HAL_CALL_SET_PARAMETERS).params.gain, g.sent);
    ASSERT_EQ(InputFxSetPeriodicDirection(0, periodic, 0, 1, g.gain), 1);
    r = LastCall(HAL_CALL_SET_PARAMETERS);
    EXPECT_EQ(r.params.gain, g.sent);
    EXPECT_EQ(r.params.flags, HAL_EFF_CARTESIAN | HAL_EFF_OBJECTOFFSETS);
    EXPECT_EQ(r.flags, HAL_EP_DIRECTION | HAL_EP_GAIN | HAL_EP_NORESTART);
    ASSERT_EQ(InputFxSetPeriodicDirectionPolar(0, periodic, 27000, g.gain), 1);
    EXPECT_EQ(LastCall(HAL_CALL_SET_PARAMETERS).params.gain, g.sent);
  }
}

TEST_F(InputFxTest, ChangesOfTheWrongFamilyAreRefused) {
  int32_t condition = MakeCondition(1);
  int32_t constant = MakeConstant();
  int32_t periodic = MakePeriodic();
  InputFxEnvelopeParams env{};
  InputFxPeriodicParams wave{};
  HalFakeInputClearCalls();
  EXPECT_EQ(InputFxSetPeriodic(0, constant, &env, &wave), 0);
  EXPECT_EQ(InputFxSetPeriodicDirection(0, condition, 1, 0, 100), 0);
  EXPECT_EQ(InputFxSetConstantEnvelope(0, periodic, &env), 0);
  EXPECT_EQ(InputFxSetConstantPolar(0, condition, 0, 100), 0);
  EXPECT_EQ(InputFxSetConditionCoefficient(0, constant, 1, 100), 0);
  EXPECT_EQ(InputFxSetConditionOffset(0, periodic, 1, 100), 0);
  EXPECT_EQ(InputFxSetConstantDirection(0, 7, 1, 0, 100), 0);  // no such effect
  EXPECT_TRUE(HalFakeInputCalls().empty());
  EXPECT_EQ(InputFxSetPeriodic(0, periodic, &env, &wave), 1);
}

TEST_F(InputFxTest, StartPlaysAtLeastOnceAndAcquiresTheDevice) {
  int32_t effect = MakeConstant();
  const struct {
    int32_t asked;
    int32_t played;
  } cases[] = {{0, 1}, {-3, 1}, {1, 1}, {5, 5}};
  for (const auto& c : cases) {
    ASSERT_EQ(InputFxStart(0, effect, c.asked), 1);
    EXPECT_EQ(LastCall(HAL_CALL_START).value, c.played);
  }
  EXPECT_EQ(CountCalls(HAL_CALL_ACQUIRE, 0), 1);
  EXPECT_EQ(gInput.current, 0);
  EXPECT_EQ(InputFxStop(0, effect), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_STOP), 1);
  EXPECT_EQ(InputFxStart(0, 1, 1), 0);
  EXPECT_EQ(InputFxStop(0, -1), 0);
}

TEST_F(InputFxTest, TheThirtyThirdEffectIsRefused) {
  for (int i = 0; i < INPUT_MAX_EFFECTS; ++i) EXPECT_EQ(MakeCondition(1), i);
  HalFakeInputClearCalls();
  int32_t effect = -1;
  EXPECT_EQ(InputFxCreateCondition(0, &effect, 1, 1, 100), 0);
  EXPECT_EQ(InputFxCreateConstantInfinite(0, &effect), 0);
  EXPECT_EQ(effect, -1);
  EXPECT_EQ(gInput.effectCount, INPUT_MAX_EFFECTS);
  EXPECT_TRUE(HalFakeInputCalls().empty());
}

TEST_F(InputFxTest, SuccessCodesKeepEffectsAndFailuresCountNothing) {
  HalFakeInputSetResult(HAL_CALL_CREATE_EFFECT, -1, HAL_DI_TRUNCATED, 1);
  int32_t first = MakeConstant();
  EXPECT_EQ(first, 0);
  HalFakeInputSetResult(HAL_CALL_SET_PARAMETERS, -1, HAL_DI_TRUNCATED, 1);
  EXPECT_EQ(InputFxSetConstantDirection(0, first, 1, 0, 5000), 1);
  HalFakeInputSetResult(HAL_CALL_START, -1, HAL_DI_EFFECTRESTARTED, 1);
  EXPECT_EQ(InputFxStart(0, first, 1), 1);
  EXPECT_EQ(InputGetLastError(), 0u);

  HalFakeInputSetResult(HAL_CALL_CREATE_EFFECT, -1, HAL_DIERR_DEVICEFULL, 1);
  int32_t effect = -1;
  InputFxEnvelopeParams env{};
  EXPECT_EQ(InputFxCreateConstant(0, &effect, &env), 0);
  EXPECT_EQ(InputGetLastError(), 0x80040201u);
  EXPECT_EQ(gInput.effectCount, 1);
  EXPECT_EQ(MakePeriodic(), 1);  // the slot is reused

  HalFakeInputSetResult(HAL_CALL_SET_PARAMETERS, -1, HAL_DIERR_INPUTLOST, 1);
  EXPECT_EQ(InputFxSetPeriodicDirection(0, 1, 1, 0, 5000), 0);
  EXPECT_EQ(gInput.current, -1);
}

TEST_F(InputFxTest, ReleaseAllStartsTheTableAgain) {
  MakeCondition(3);
  MakeConstant();
  MakePeriodic();
  EXPECT_EQ(HalFakeInputLiveEffects(), 3);
  InputFxReleaseAll();
  EXPECT_EQ(HalFakeInputLiveEffects(), 0);
  EXPECT_EQ(CountCalls(HAL_CALL_RELEASE_EFFECT), 3);
  EXPECT_EQ(gInput.effectCount, 0);
  EXPECT_EQ(InputFxSetConstantDirection(0, 1, 1, 0, 100), 0);
  EXPECT_EQ(MakePeriodic(), 0);
}

}  // namespace
