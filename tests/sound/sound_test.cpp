#include <cmath>

#include "sound_fixture.h"

namespace {

using SoundSlots = SoundTest;

TEST_F(SoundSlots, FreedSlotIsTheNextOneHandedOut) {
  datakit::Bytes wave = ConstantWave(1000, 100);
  int32_t a = Load(wave), b = Load(wave), c = Load(wave);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(SoundFree(b), 1);
  EXPECT_EQ(SoundFree(a), 1);
  EXPECT_EQ(Load(wave), 1);
  EXPECT_EQ(Load(wave), 2);
  EXPECT_EQ(Load(wave), 4);
}

TEST_F(SoundSlots, NineHundredNinetyNineSoundsThenNoFreeSlot) {
  datakit::Bytes wave = ConstantWave(1000, 16);
  for (int32_t i = 1; i <= 999; ++i) ASSERT_EQ(Load(wave), i);
  uint32_t objects = HalAudioLiveObjects();
  gLibLastError = 77;
  int32_t slot = -5;
  EXPECT_EQ(SoundCreateFromWav(&slot, wave.data(), static_cast<uint32_t>(wave.size()), 2), -3);
  EXPECT_EQ(SoundDuplicate(5, &slot), -3);
  std::string name = dir / "a.wav";
  ASSERT_TRUE(datakit::WriteFile(name, wave));
  EXPECT_EQ(SoundLoadWavFile(&slot, name.c_str(), 1), -3);
  EXPECT_EQ(slot, -5);
  EXPECT_EQ(HalAudioLiveObjects(), objects);
  EXPECT_EQ(gLibLastError, 77u);
  EXPECT_EQ(SoundFree(500), 1);
  EXPECT_EQ(Load(wave), 500);
}

TEST_F(SoundSlots, PrimaryOutOfRangeAndFreedSlotsAreRefused) {
  int32_t freed = Load(ConstantWave(1000, 16));
  ASSERT_EQ(SoundFree(freed), 1);
  gLibLastError = 1234;
  for (int32_t slot : {0, 1000, -1, freed}) {
    uint32_t hz = 22050;
    int32_t v = 0, copy = 0;
    EXPECT_EQ(SoundPlay(slot, 0), 0) << slot;
    EXPECT_EQ(SoundHalt(slot), 0);
    EXPECT_EQ(SoundStop(slot), 0);
    EXPECT_EQ(SoundGetState(slot), 0);
    EXPECT_EQ(SoundFrequency(slot, &hz, SOUND_OP_SET), 0);
    EXPECT_EQ(SoundVolume(slot, &v, SOUND_OP_GET), 0);
    EXPECT_EQ(SoundPan(slot, &v, SOUND_OP_SET), 0);
    EXPECT_EQ(SoundSetPitch(slot, 0), 0);
    EXPECT_EQ(SoundDuplicate(slot, &copy), 0);
    EXPECT_EQ(SoundFree(slot), 0);
    EXPECT_EQ(SoundSlotRelease(slot), 0);
  }
  EXPECT_EQ(gLibLastError, 1234u);
  EXPECT_NE(gSound.buffer[0], 0u);  // the primary buffer is still there
}

TEST_F(SoundSlots, NullPointersAndOtherOpsAreNotPassedOn) {
  int32_t slot = Load(ConstantWave(1000, 16));
  EXPECT_EQ(SoundFrequency(slot, nullptr, SOUND_OP_GET), 0);
  EXPECT_EQ(SoundVolume(slot, nullptr, SOUND_OP_SET), 0);
  EXPECT_EQ(SoundPan(slot, nullptr, SOUND_OP_GET), 0);
  EXPECT_EQ(SoundDuplicate(slot, nullptr), 0);
  int32_t v = 5;  // out of range, but op 3 does nothing
  EXPECT_EQ(SoundVolume(slot, &v, 3), 1);
  EXPECT_EQ(SoundVolume(slot, &v, SOUND_OP_GET), 1);
  EXPECT_EQ(v, 0);
}

TEST(SoundPitch, RowsOfTheTable) {
  ResetHalForTest();
  HalAudioResetForTest();
  ASSERT_EQ(SoundInit(1), 1);
  EXPECT_EQ(PITCH_RATIO_TABLE[480], 1.0f);
  EXPECT_EQ(PITCH_RATIO_TABLE[490], 1.05946094f);
  EXPECT_NEAR(PITCH_RATIO_TABLE[0], 0.0625061, 1e-6);
  EXPECT_NEAR(PITCH_RATIO_TABLE[960], 15.99844, 1e-4);
  EXPECT_LT(PITCH_RATIO_TABLE[960], 16.0f);
  SoundShutdown();
}

using SoundPlayback = SoundTest;

TEST_F(SoundPlayback, PitchScalesTheBaseFrequency) {
  struct Case {
    uint32_t rate;
    int32_t pitch;
    int32_t result;
    uint32_t hz;  // the frequency afterwards
  };
  const Case cases[] = {
      {22050, 0, 1, 22050},    {22050, 120, 1, 44098},  {22050, -120, 1, 11025},
      {11025, 480, 0, 11025},  {22050, 481, 0, 22050},  {22050, -481, 0, 22050},
      {200, -480, 0, 200},     {44100, 10, 1, 46722},
  };
  for (const Case& c : cases) {
    int32_t slot = Load(ConstantWave(0, 16, 1, c.rate));
    ASSERT_GT(slot, 0);
    gLibLastError = 9;
    EXPECT_EQ(SoundSetPitch(slot, c.pitch), c.result) << c.rate << " " << c.pitch;
    uint32_t hz = 0;
    EXPECT_EQ(SoundFrequency(slot, &hz, SOUND_OP_GET), 1);
    EXPECT_EQ(hz, c.hz) << c.rate << " " << c.pitch;
    EXPECT_EQ(gLibLastError, 9u);
    SoundFree(slot);
  }
}

TEST_F(SoundPlayback, VolumePanAndFrequencyLimits) {
  int32_t slot = Load(ConstantWave(1000, 16));
  struct Case {
    int32_t (*op)(int32_t, int32_t*, int32_t);
    int32_t value;
    int32_t result;
  };
  const Case cases[] = {
      {SoundVolume, 1, 0},      {SoundVolume, -10001, 0}, {SoundVolume, 0, 1},
      {SoundVolume, -10000, 1}, {SoundPan, 10001, 0},     {SoundPan, -10001, 0},
      {SoundPan, 10000, 1},     {SoundPan, -10000, 1},
  };
  for (const Case& c : cases) {
    int32_t v = c.value;
    EXPECT_EQ(c.op(slot, &v, SOUND_OP_SET), c.result) << c.value;
    int32_t back = 12345;
    c.op(slot, &back, SOUND_OP_GET);
    if (c.result == 1) {
      EXPECT_EQ(back, c.value);
    } else {
      EXPECT_NE(back, c.value);
    }
  }
  for (uint32_t hz : {99u, 100001u, 0u}) EXPECT_EQ(SoundFrequency(slot, &hz, SOUND_OP_SET), 0);
  for (uint32_t hz : {100u, 100000u}) {
    EXPECT_EQ(SoundFrequency(slot, &hz, SOUND_OP_SET), 1);
    uint32_t back = 0;
    SoundFrequency(slot, &back, SOUND_OP_GET);
    EXPECT_EQ(back, hz);
  }
}

TEST_F(SoundPlayback, PlaysOnceThenReportsFinishedAndStopRewinds) {
  int32_t slot = Load(ConstantWave(8000, 441));
  EXPECT_EQ(SoundGetState(slot), 1);
  EXPECT_EQ(SoundPlay(slot, SOUND_PLAY_ONCE), 1);
  EXPECT_EQ(SoundGetState(slot), 2);
  std::vector<int16_t> out = Render(400);
  EXPECT_EQ(out[0], 8000);
  EXPECT_EQ(out[1], 8000);
  EXPECT_EQ(SoundHalt(slot), 1);
  uint32_t at = 0;
  HalAudioGetCurrentPosition(gSound.buffer[slot], &at, nullptr);
  EXPECT_EQ(at, 800u);  // halted where it was
  EXPECT_EQ(SoundPlay(slot, SOUND_PLAY_ONCE), 1);
  out = Render(100);
  EXPECT_EQ(out[2 * 40], 8000);
  EXPECT_EQ(out[2 * 41], 0);  // 441 frames played, then silence
  EXPECT_EQ(SoundGetState(slot), 1);

  EXPECT_EQ(SoundPlay(slot, SOUND_PLAY_LOOPING), 1);
  Render(1000);
  EXPECT_EQ(SoundGetState(slot), 2);
  EXPECT_EQ(SoundStop(slot), 1);
  HalAudioGetCurrentPosition(gSound.buffer[slot], &at, nullptr);
  EXPECT_EQ(at, 0u);
}

TEST_F(SoundPlayback, VolumeAndPanInTheMix) {
  int32_t slot = Load(ConstantWave(10000, 4410));
  int32_t v = -2000;  // a tenth
  SoundVolume(slot, &v, SOUND_OP_SET);
  int32_t pan = 2000;  // the left side a tenth again
  SoundPan(slot, &pan, SOUND_OP_SET);
  SoundPlay(slot, SOUND_PLAY_LOOPING);
  std::vector<int16_t> out = Render(10);
  EXPECT_EQ(out[0], 100);
  EXPECT_EQ(out[1], 1000);
}

TEST_F(SoundPlayback, DuplicateSharesSamplesWithItsOwnCursorAndSettings) {
  int32_t slot = Load(ConstantWave(4000, 4410, 1, 22050));
  int32_t copy = 0;
  ASSERT_EQ(SoundDuplicate(slot, &copy), 1);
  EXPECT_EQ(copy, slot + 1);
  EXPECT_EQ(gSound.baseFrequency[copy], 22050u);
  EXPECT_EQ(SoundSetPitch(copy, 120), 1);
  SoundPlay(copy, SOUND_PLAY_ONCE);
  std::vector<int16_t> out = Render(10);
  EXPECT_EQ(out[0], 4000);
  EXPECT_EQ(SoundGetState(slot), 1);
  EXPECT_EQ(SoundFree(slot), 1);
  EXPECT_EQ(Render(10)[0], 4000);  // the copy still plays the shared samples
  uint32_t hz = 0;
  SoundFrequency(copy, &hz, SOUND_OP_GET);
  EXPECT_EQ(hz, 44098u);
}

TEST_F(SoundPlayback, FailedDuplicateGivesTheSlotBack) {
  int32_t slot = Load(ConstantWave(4000, 100));
  uint32_t objects = HalAudioLiveObjects();
  HalAudioInjectResult(HAL_AUDIO_CALL_DUPLICATE_BUFFER, HAL_AUDIO_E_OUTOFMEMORY);
  int32_t copy = 0;
  EXPECT_EQ(SoundDuplicate(slot, &copy), 0);
  EXPECT_EQ(SoundGetLastError(), 0xFFFFFFFDu);
  EXPECT_EQ(HalAudioLiveObjects(), objects);
  EXPECT_EQ(Load(ConstantWave(0, 100)), slot + 1);
}

TEST(SoundResults, TranslationTable) {
  struct Row {
    uint32_t code;
    int32_t result;
    uint32_t stored;  // 42: left as it was
  };
  const Row rows[] = {
      {HAL_AUDIO_OK, 1, 42},
      {HAL_AUDIO_S_FALSE, 1, 42},
      {HAL_AUDIO_S_OTHERAPPHASPRIO, 1, 42},
      {HAL_AUDIO_E_NODRIVER, -1, 42},
      {HAL_AUDIO_E_OUTOFMEMORY, 0, 0xFFFFFFFD},
      {HAL_AUDIO_E_INVALIDPARAM, 0, 0x80000003},
      {HAL_AUDIO_E_FAIL, 0, 0x80000008},
      {HAL_AUDIO_E_UNSUPPORTED, 0, 0x80000001},
      {HAL_AUDIO_E_NOAGGREGATION, 0, 0x80040110},
      {HAL_AUDIO_E_ALLOCATED, 0, 0x8878000A},
      {HAL_AUDIO_E_CONTROLUNAVAIL, 0, 0x8878001E},
      {HAL_AUDIO_E_INVALIDCALL, 0, 0x88780032},
      {HAL_AUDIO_E_PRIOLEVELNEEDED, 0, 0x88780046},
      {HAL_AUDIO_E_BADFORMAT, 0, 0x88780064},
      {HAL_AUDIO_E_ALREADYINITIALIZED, 0, 0x88780082},
      {HAL_AUDIO_E_BUFFERLOST, 0, 0x88780096},
      {HAL_AUDIO_E_UNINITIALIZED, 0, 0x887800AA},
      {HAL_AUDIO_E_NOINTERFACE, 0, 0xFFFFFFFC},
      {0x80001234, 0, 0xFFFFFFFC},
  };
  for (const Row& row : rows) {
    gLibLastError = 42;
    EXPECT_EQ(SoundTranslateResult(row.code), row.result) << std::hex << row.code;
    EXPECT_EQ(gLibLastError, row.stored) << std::hex << row.code;
  }
}

TEST_F(SoundPlayback, DeviceResultsReachTheCaller) {
  int32_t slot = Load(ConstantWave(3000, 4410));
  gLibLastError = 42;
  HalAudioInjectResult(HAL_AUDIO_CALL_PLAY, HAL_AUDIO_E_NODRIVER);
  EXPECT_EQ(SoundPlay(slot, 0), -1);
  EXPECT_EQ(gLibLastError, 42u);
  HalAudioInjectResult(HAL_AUDIO_CALL_PLAY, HAL_AUDIO_E_OUTOFMEMORY);
  EXPECT_EQ(SoundPlay(slot, 0), 0);
  EXPECT_EQ(gLibLastError, 0xFFFFFFFDu);
  EXPECT_EQ(SoundGetState(slot), 1);
  // A success other than 0 is still a success: the sound plays.
  HalAudioInjectResult(HAL_AUDIO_CALL_PLAY, HAL_AUDIO_S_FALSE);
  EXPECT_EQ(SoundPlay(slot, 0), 1);
  EXPECT_EQ(SoundGetState(slot), 2);
  HalAudioInjectResult(HAL_AUDIO_CALL_GET_STATUS, HAL_AUDIO_E_NODRIVER);
  EXPECT_EQ(SoundGetState(slot), -1);
  HalAudioInjectResult(HAL_AUDIO_CALL_SET_POSITION, HAL_AUDIO_E_FAIL);
  EXPECT_EQ(SoundStop(slot), 0);
  EXPECT_EQ(gLibLastError, 0x80000008u);
}

TEST(SoundInit, EveryFailingStepReleasesWhatWasMade) {
  struct Step {
    HalAudioCall call;
    uint32_t code;
    int32_t result;
  };
  const Step steps[] = {
      {HAL_AUDIO_CALL_CREATE, HAL_AUDIO_E_NODRIVER, -1},
      {HAL_AUDIO_CALL_SET_COOPERATIVE_LEVEL, HAL_AUDIO_E_ALLOCATED, 0},
      {HAL_AUDIO_CALL_GET_CAPS, HAL_AUDIO_E_FAIL, 0},
      {HAL_AUDIO_CALL_SET_SPEAKER_CONFIG, HAL_AUDIO_E_INVALIDPARAM, 0},
      {HAL_AUDIO_CALL_CREATE_BUFFER, HAL_AUDIO_E_OUTOFMEMORY, 0},
      {HAL_AUDIO_CALL_SET_FORMAT, HAL_AUDIO_E_BADFORMAT, 0},
      {HAL_AUDIO_CALL_QUERY_LISTENER, HAL_AUDIO_E_NOINTERFACE, 0},
  };
  ResetHalForTest();
  for (const Step& step : steps) {
    HalAudioResetForTest();
    HalEventResetForTest();
    HalAudioInjectResult(step.call, step.code);
    EXPECT_EQ(SoundInit(1), step.result) << step.call;
    EXPECT_FALSE(HalAudioDeviceOpen()) << step.call;
    EXPECT_EQ(HalAudioLiveObjects(), 0u) << step.call;
    EXPECT_EQ(HalEventLiveCount(), 0u) << step.call;
    EXPECT_EQ(SoundSetSpeakers(0), -1);
  }
  HalEventFailCreates(1);
  EXPECT_EQ(SoundInit(1), 0);
  EXPECT_EQ(HalEventLiveCount(), 0u);
  EXPECT_FALSE(HalAudioDeviceOpen());

  // A success code other than 0 on the way does not switch sound off.
  HalAudioInjectResult(HAL_AUDIO_CALL_SET_SPEAKER_CONFIG, HAL_AUDIO_S_FALSE);
  EXPECT_EQ(SoundInit(1), 1);
  EXPECT_EQ(SoundShutdown(), 1);
  EXPECT_EQ(HalAudioLiveObjects(), 0u);
  EXPECT_EQ(HalEventLiveCount(), 0u);
  EXPECT_FALSE(HalAudioDeviceOpen());
  // And it starts again.
  EXPECT_EQ(SoundInit(1), 1);
  EXPECT_EQ(SoundShutdown(), 1);
}

TEST(SoundInit, NothingWorksBeforeTheDevice) {
  ResetHalForTest();
  HalAudioResetForTest();
  int32_t slot = 0;
  datakit::Bytes wave = SoundTest::ConstantWave(0, 16);
  EXPECT_EQ(SoundSetSpeakers(1), -1);
  EXPECT_EQ(SoundSlotAlloc(&slot), -3);
  EXPECT_EQ(SoundCreateFromWav(&slot, wave.data(), static_cast<uint32_t>(wave.size()), 2), -1);
  EXPECT_EQ(SoundPlay(1, 0), 0);
  SoundListenerParams params{};
  EXPECT_EQ(SoundListener(&params, SOUND_OP_GET), 0);
  EXPECT_EQ(SoundCommit3D(), 0);
}

TEST_F(SoundPlayback, SpeakerModes) {
  const uint32_t configs[] = {0x00140004, 3, 5};
  for (int32_t mode = 0; mode < 3; ++mode) {
    EXPECT_EQ(SoundSetSpeakers(mode), 1);
    uint32_t config = 0;
    HalAudioGetSpeakerConfig(gSound.ds, &config);
    EXPECT_EQ(config, configs[mode]);
  }
  EXPECT_EQ(SoundSetSpeakers(3), 0);
  EXPECT_EQ(SoundGetLastError(), 0x80000003u);
}

}  // namespace
