#include "sound_fixture.h"

namespace {

class Sound3D : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    // What the game sets: factors of 0.1, looking down +z with +y up.
    SoundListenerParams listener{{0, 0, 0}, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, 0.1f, 0.1f, 0.1f};
    ASSERT_EQ(SoundListener(&listener, SOUND_OP_SET), 1);
    ASSERT_EQ(SoundCommit3D(), 1);
    slot = Load(ConstantWave(10000, 44100), SOUND_MODE_3D);
    ASSERT_GT(slot, 0);
    float minD = 1.0f, maxD = 100.0f;
    ASSERT_EQ(SoundDistances(slot, &minD, &maxD, SOUND_OP_SET), 1);
    ASSERT_EQ(SoundPlay(slot, SOUND_PLAY_LOOPING), 1);
  }

  void Place(SoundVector position, SoundVector velocity = {0, 0, 0}) {
    ASSERT_EQ(SoundPosition3D(slot, &position, &velocity, SOUND_OP_SET), 1);
  }

  int32_t slot = 0;
};

TEST_F(Sound3D, SettingsWaitForTheCommit) {
  Place({0, 0, 11});
  std::vector<int16_t> out = Render(4);
  EXPECT_EQ(out[0], 10000);
  SoundVector p{}, v{};
  EXPECT_EQ(SoundPosition3D(slot, &p, &v, SOUND_OP_GET), 1);
  EXPECT_EQ(p.z, 11.0f);
  ASSERT_EQ(SoundCommit3D(), 1);
  out = Render(4);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 5000);
}

TEST_F(Sound3D, AttenuationByDistanceAndMutingBeyondTheMaximum) {
  struct Case {
    float z;
    int16_t level;
  };
  // Full inside the minimum distance, then 1 / (1 + rolloff x (d - min)).
  const Case cases[] = {{0.5f, 10000}, {1.0f, 10000}, {11.0f, 5000}, {51.0f, 1667},
                        {100.0f, 917}, {101.0f, 0},    {-11.0f, 5000}};
  for (const Case& c : cases) {
    Place({0, 0, c.z});
    SoundCommit3D();
    std::vector<int16_t> out = Render(4);
    EXPECT_EQ(out[0], c.level) << c.z;
    EXPECT_EQ(out[1], c.level) << c.z;
  }
}

TEST_F(Sound3D, PanFollowsTheDirectionInTheListenersFrame) {
  Place({5, 0, 0});
  SoundCommit3D();
  std::vector<int16_t> out = Render(4);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 7143);
  // The listener turns to face +x: the sound is now straight ahead.
  SoundVector pos{0, 0, 0}, vel{0, 0, 0}, front{1, 0, 0}, top{0, 1, 0};
  ASSERT_EQ(SoundListenerVectors(&pos, &vel, &front, &top, SOUND_OP_SET), 1);
  SoundCommit3D();
  out = Render(4);
  EXPECT_EQ(out[0], 7143);
  EXPECT_EQ(out[1], 7143);
  // Without 3D processing the sound plays as it is.
  EXPECT_EQ(Sound3DDisable(slot), 1);
  EXPECT_EQ(Render(4)[0], 10000);
  EXPECT_EQ(Sound3DEnable(slot), 1);
  EXPECT_EQ(Render(4)[0], 7143);
}

TEST_F(Sound3D, DopplerFromTheVelocities) {
  // 3430 units a second at 0.1 m a unit and a Doppler factor of 0.1: 34.3 m/s.
  struct Case {
    SoundVector source;
    SoundVector listener;
    double ratio;
  };
  const Case cases[] = {
      {{0, 0, -3430}, {0, 0, 0}, 343.0 / (343.0 - 34.3)},  // the source comes closer
      {{0, 0, 3430}, {0, 0, 0}, 343.0 / (343.0 + 34.3)},   // the source moves away
      {{0, 0, 0}, {0, 0, 3430}, (343.0 + 34.3) / 343.0},   // the listener comes closer
      {{3430, 0, 0}, {0, 0, 0}, 1.0},                      // across the line: no shift
  };
  for (const Case& c : cases) {
    SoundStop(slot);
    SoundPlay(slot, SOUND_PLAY_LOOPING);
    Place({0, 0, 20}, c.source);
    SoundVector pos{0, 0, 0}, vel = c.listener, front{0, 0, 1}, top{0, 1, 0};
    SoundListenerVectors(&pos, &vel, &front, &top, SOUND_OP_SET);
    SoundCommit3D();
    Render(4410);
    uint32_t at = 0;
    HalAudioGetCurrentPosition(gSound.buffer[slot], &at, nullptr);
    EXPECT_NEAR(at / 2.0, 4410 * c.ratio, 2.0) << c.source.z << " " << c.listener.z;
  }
}

TEST_F(Sound3D, ListenerRecordRoundTrip) {
  SoundListenerParams set{{0, 0, 0}, {1, 2, 3}, {0, 1, 0}, {0, 0, 1}, 0.1f, 0.1f, 0.1f};
  ASSERT_EQ(SoundListener(&set, SOUND_OP_SET), 1);
  SoundListenerParams got{};
  ASSERT_EQ(SoundListener(&got, SOUND_OP_GET), 1);
  EXPECT_EQ(std::memcmp(&set, &got, sizeof set), 0);

  SoundVector pos{4, 5, 6}, vel{7, 8, 9}, front{1, 0, 0}, top{0, 1, 0};
  ASSERT_EQ(SoundListenerVectors(&pos, &vel, &front, &top, SOUND_OP_SET), 1);
  SoundVector p{}, v{}, f{}, t{};
  ASSERT_EQ(SoundListenerVectors(&p, &v, &f, &t, SOUND_OP_GET), 1);
  EXPECT_EQ(p.z, 6.0f);
  EXPECT_EQ(v.x, 7.0f);
  EXPECT_EQ(f.x, 1.0f);
  EXPECT_EQ(t.y, 1.0f);
  EXPECT_EQ(SoundListenerVectors(&p, &v, nullptr, &t, SOUND_OP_GET), 0);
  EXPECT_EQ(SoundListener(nullptr, SOUND_OP_GET), 0);
  EXPECT_EQ(SoundListener(&got, 7), 1);
}

TEST_F(Sound3D, OnlyThreeDSoundsTakeThreeDSettings) {
  int32_t plain = Load(ConstantWave(100, 100), SOUND_MODE_PLAIN);
  SoundVector p{1, 2, 3}, v{0, 0, 0};
  gLibLastError = 42;
  EXPECT_EQ(SoundPosition3D(plain, &p, &v, SOUND_OP_SET), 0);
  EXPECT_EQ(Sound3DDisable(plain), 0);
  EXPECT_EQ(SoundPosition3D(slot, nullptr, &v, SOUND_OP_SET), 0);
  EXPECT_EQ(SoundPosition3D(0, &p, &v, SOUND_OP_SET), 0);
  EXPECT_EQ(gLibLastError, 42u);

  uint32_t objects = HalAudioLiveObjects();
  EXPECT_EQ(Sound3DAttach(plain), 0);  // a plain buffer has no 3D interface
  EXPECT_EQ(gLibLastError, 0xFFFFFFFCu);
  EXPECT_EQ(Sound3DAttach(slot), 1);
  EXPECT_EQ(Sound3DAttach(slot), 1);
  EXPECT_EQ(HalAudioLiveObjects(), objects);

  int32_t copy = 0;
  ASSERT_EQ(SoundDuplicate(slot, &copy), 1);
  EXPECT_NE(gSound.buffer3D[copy], 0u);
  float minD = 0, maxD = 0;
  EXPECT_EQ(SoundDistances(copy, &minD, &maxD, SOUND_OP_GET), 1);
  EXPECT_EQ(maxD, 100.0f);
}

TEST_F(Sound3D, ConeLimitsApplyToSetsOnly) {
  uint32_t inside = 360, outside = 5;
  EXPECT_EQ(SoundConeAngles(slot, &inside, &outside, SOUND_OP_SET), 0);
  inside = 30, outside = 90;
  EXPECT_EQ(SoundConeAngles(slot, &inside, &outside, SOUND_OP_SET), 1);
  inside = 360, outside = 0xDEADBEEF;  // whatever the caller's memory held
  EXPECT_EQ(SoundConeAngles(slot, &inside, &outside, SOUND_OP_GET), 1);
  EXPECT_EQ(inside, 30u);
  EXPECT_EQ(outside, 90u);

  int32_t volume = 5;
  EXPECT_EQ(SoundConeOutsideVolume(slot, &volume, SOUND_OP_SET), 0);
  EXPECT_EQ(SoundConeOutsideVolume(slot, &volume, SOUND_OP_GET), 1);
  EXPECT_EQ(volume, 0);
  volume = -10000;
  EXPECT_EQ(SoundConeOutsideVolume(slot, &volume, SOUND_OP_SET), 1);

  SoundVector dir{1, 0, 0}, back{};
  EXPECT_EQ(SoundConeOrientation(slot, &dir, SOUND_OP_SET), 1);
  EXPECT_EQ(SoundConeOrientation(slot, &back, SOUND_OP_GET), 1);
  EXPECT_EQ(back.x, 1.0f);
}

TEST_F(Sound3D, DeviceFailureOnTheSecondValueKeepsTheFirst) {
  HalAudioInjectResult(HAL_AUDIO_CALL_3D_SET, HAL_AUDIO_E_INVALIDPARAM, 1);
  float minD = 2.0f, maxD = 50.0f;
  EXPECT_EQ(SoundDistances(slot, &minD, &maxD, SOUND_OP_SET), 0);
  EXPECT_EQ(SoundGetLastError(), 0x80000003u);
  EXPECT_EQ(SoundDistances(slot, &minD, &maxD, SOUND_OP_GET), 1);
  EXPECT_EQ(minD, 2.0f);
  EXPECT_EQ(maxD, 100.0f);
  HalAudioInjectResult(HAL_AUDIO_CALL_3D_SET, HAL_AUDIO_E_NODRIVER);
  EXPECT_EQ(SoundCommit3D(), -1);
}

}  // namespace
