#include "hal/cd/mixer.h"
#include "platform/cdaudio.h"
#include "support/test_support.h"

namespace {

class MixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HalMixerResetForTest();
    CdAudioResetForTest();
  }
  void TearDown() override { MixerClose(); }

  static uint32_t Raw(const HalMixerControl& control) {
    uint32_t value = 0;
    EXPECT_EQ(HalMixerGetValue(gMixer.handle, control.controlId, &value), HAL_MMSYSERR_NOERROR);
    return value;
  }
};

TEST_F(MixerTest, OpenFindsTheVolumeOfBothLines) {
  ASSERT_EQ(MixerOpen(), 1);
  EXPECT_NE(gMixer.handle, 0u);
  EXPECT_EQ(gMixer.cdControl.type, HAL_MIXER_CONTROL_VOLUME);
  EXPECT_EQ(gMixer.waveControl.type, HAL_MIXER_CONTROL_VOLUME);
  EXPECT_NE(gMixer.cdControl.controlId, gMixer.waveControl.controlId);
  MixerClose();
  EXPECT_EQ(gMixer.handle, 0u);
  EXPECT_EQ(MixerSetCdVolume(50), 0);
  EXPECT_EQ(MixerGetWaveVolume(), 0u);
}

TEST_F(MixerTest, PercentArithmetic) {
  ASSERT_EQ(MixerOpen(), 1);
  const struct {
    int32_t percent;
    uint32_t value;
  } cases[] = {{50, 32767}, {0, 0}, {100, 65535}, {70, 45874},
               // Outside 0..100 the value stays within the control's range.
               {150, 65535}, {-20, 0}, {1000000000, 65535}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.percent);
    EXPECT_EQ(MixerSetCdVolume(c.percent), 1);
    EXPECT_EQ(Raw(gMixer.cdControl), c.value);
    EXPECT_EQ(MixerSetWaveVolume(c.percent), 1);
    EXPECT_EQ(Raw(gMixer.waveControl), c.value);
  }
  EXPECT_EQ(MixerSetCdVolume(50), 1);
  EXPECT_EQ(MixerGetCdVolume(), 49u);  // 32767 x 100 / 65535, truncated
  EXPECT_NEAR(HalMixerLineGain(HAL_MIXER_SRC_COMPACTDISC), 0.5f, 0.001f);
  EXPECT_EQ(MixerSetWaveVolume(70), 1);
  EXPECT_EQ(MixerGetWaveVolume(), 69u);
}

TEST_F(MixerTest, BoundsOfTheControlAreHonoured) {
  HalMixerSetBoundsForTest(100, 300);
  ASSERT_EQ(MixerOpen(), 1);
  EXPECT_EQ(MixerSetCdVolume(50), 1);
  EXPECT_EQ(Raw(gMixer.cdControl), 200u);
  EXPECT_EQ(MixerGetCdVolume(), 50u);
  EXPECT_EQ(MixerSetCdVolume(101), 1);
  EXPECT_EQ(Raw(gMixer.cdControl), 300u);
  // A control whose value lies outside the bounds read at open counts from its nearest end.
  HalMixerSetBoundsForTest(5, 5);
  EXPECT_EQ(MixerGetCdVolume(), 0u);
  HalMixerSetBoundsForTest(400, 500);
  EXPECT_EQ(MixerGetCdVolume(), 100u);
  MixerClose();
  ASSERT_EQ(MixerOpen(), 1);
  EXPECT_EQ(MixerGetCdVolume(), 100u);
  HalMixerSetBoundsForTest(7, 7);
  MixerClose();
  ASSERT_EQ(MixerOpen(), 1);
  EXPECT_EQ(MixerGetCdVolume(), 0u);  // no range to measure in
  EXPECT_EQ(MixerSetCdVolume(50), 1);
}

TEST_F(MixerTest, FailuresReturnZeroAndChangeNothing) {
  HalMixerFailForTest(true);
  EXPECT_EQ(MixerOpen(), 0);
  EXPECT_EQ(gMixer.handle, 0u);
  EXPECT_EQ(MixerSetCdVolume(10), 0);
  EXPECT_EQ(MixerGetCdVolume(), 0u);
  HalMixerFailForTest(false);
  EXPECT_FLOAT_EQ(HalMixerLineGain(HAL_MIXER_SRC_WAVEOUT), 1.0f);

  ASSERT_EQ(MixerOpen(), 1);
  HalMixerFailForTest(true);
  EXPECT_EQ(MixerSetWaveVolume(10), 0);
  EXPECT_EQ(MixerGetWaveVolume(), 0u);
  HalMixerFailForTest(false);
  EXPECT_FLOAT_EQ(HalMixerLineGain(HAL_MIXER_SRC_WAVEOUT), 1.0f);
}

}  // namespace
