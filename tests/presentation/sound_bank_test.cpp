// The sound bank: which rows each bank loads and as how many slots, the
// engine rows sized to the grid and handed out, the failures that turn sound
// off or fill a table, and the sound library's objects over many loads.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "engine3d/random.h"
#include "presentation/presentation.h"
#include "sound_fixture.h"

std::vector<int32_t> gShownNumbers;
void GameQuit() { std::abort(); }

namespace {

struct RowCase {
  const char* name;
  int32_t set;
  int32_t track;
  const char* row;
  int32_t slots2d, slots3d;
};

class BankContents : public SoundBankTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(BankContents, LoadsTheRowsOfTheBankAsTheirSlots) {
  const RowCase& c = GetParam();
  gRace.trackIndex = c.track;
  PlaceGrid(0, {1, 2, 3, 4, 5});
  SfxLoadTrackBank(c.set);
  ASSERT_EQ(gSoundOn, 1);
  const int32_t row = Row(c.row);
  EXPECT_EQ(+gSfxLoaded2d[row], c.slots2d);
  EXPECT_EQ(+gSfxLoaded3d[row], c.slots3d);
  EXPECT_EQ(+gSfxEffects[row].first2d != SFX_SLOT_NONE, c.slots2d > 0);
  EXPECT_EQ(+gSfxEffects[row].first3d != SFX_SLOT_NONE, c.slots3d > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BankContents,
    ::testing::Values(RowCase{"HighwayOther", SFX_BANK_TRACK, 4, "other", 0, 8},
                      RowCase{"HighwayKlaxon", SFX_BANK_TRACK, 4, "klaxon", 0, 3},
                      RowCase{"HighwayPolice", SFX_BANK_TRACK, 4, "police", 0, 1},
                      RowCase{"HighwayNoCows", SFX_BANK_TRACK, 4, "vache1", 0, 0},
                      RowCase{"HighwayNoElephant", SFX_BANK_TRACK, 4, "elephant", 0, 0},
                      RowCase{"HighwayNoPenguin", SFX_BANK_TRACK, 4, "ping1", 0, 0},
                      RowCase{"HighwaySand", SFX_BANK_TRACK, 4, "sand", 6, 6},
                      RowCase{"DesertWind", SFX_BANK_TRACK, 0, "vent", 1, 0},
                      RowCase{"DesertCows", SFX_BANK_TRACK, 0, "vache2", 0, 4},
                      RowCase{"DesertHelicopter", SFX_BANK_TRACK, 0, "helico", 0, 1},
                      RowCase{"DesertSand", SFX_BANK_TRACK, 0, "sand", 6, 6},
                      RowCase{"DesertNoSnow", SFX_BANK_TRACK, 0, "snow", 0, 0},
                      RowCase{"DesertNoHighway", SFX_BANK_TRACK, 0, "other", 0, 0},
                      RowCase{"DesertCheckpoint", SFX_BANK_TRACK, 0, "check", 1, 0},
                      RowCase{"DesertSlide", SFX_BANK_TRACK, 0, "derrap1", 6, 6},
                      RowCase{"DesertFire", SFX_BANK_TRACK, 0, "feu", 0, 6},
                      RowCase{"DesertNoMenu", SFX_BANK_TRACK, 0, "bouton", 0, 0},
                      RowCase{"DesertNoDebugMusic", SFX_BANK_TRACK, 0, "cheet", 0, 0},
                      RowCase{"MudSplash", SFX_BANK_TRACK, 2, "plouf", 0, 16},
                      RowCase{"MudRain", SFX_BANK_TRACK, 2, "ora", 2, 0},
                      RowCase{"FrontEndButton", SFX_BANK_FRONT_END, 0, "bouton", 1, 0},
                      RowCase{"FrontEndNoImpact", SFX_BANK_FRONT_END, 0, "tole1", 0, 0},
                      RowCase{"FrontEndNoEngine", SFX_BANK_FRONT_END, 0, "moteur1", 0, 0}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return std::string(info.param.name); });

TEST_F(SoundBankTest, TheFrontEndSetIsSixTwoDimensionalSounds) {
  PlaceGrid(0, {1, 2, 3, 4, 5});
  SfxLoadTrackBank(SFX_BANK_FRONT_END);
  EXPECT_EQ(gSfx2d.count, 6);
  EXPECT_EQ(gSfx3d.count, 0);
  EXPECT_EQ(gPlayer1.engineSoundOut, SFX_SLOT_NONE);
}

TEST_F(SoundBankTest, EveryKitTrackLoadsInFullAndDebugModeOneAddsItsSamples) {
  PlaceGrid(0, {1, 2, 3, 4, 5});
  for (int32_t track = 0; track < 10; ++track) {
    gRace.trackIndex = track;
    SfxLoadTrackBank(SFX_BANK_TRACK);
    EXPECT_EQ(gSoundOn, 1) << track;
  }
  gRace.debugMode = 1;
  SfxLoadTrackBank(SFX_BANK_TRACK);
  EXPECT_EQ(gSoundOn, 1);
  EXPECT_EQ(+gSfxLoaded2d[SFX_ROW_CHEET2], 1);
}

TEST_F(SoundBankTest, SixCarsOfPlayerOnesTypeShareItsEngineRows) {
  gRace.trackIndex = 0;
  PlaceGrid(2, {2, 2, 2, 2, 2});
  SfxLoadTrackBank(SFX_BANK_TRACK);
  const int32_t outside = SFX_ROW_ENGINES + 4, inside = outside + 1;
  EXPECT_EQ(+gSfxEffects[outside].copies, 7);
  EXPECT_EQ(+gSfxLoaded3d[outside], 7);
  EXPECT_EQ(+gSfxLoaded2d[outside], 7);
  EXPECT_EQ(+gSfxLoaded2d[inside], 1);
  EXPECT_EQ(+gSfxLoaded3d[inside], 0);
  for (int32_t row = SFX_ROW_ENGINES; row < SFX_ROW_ENGINES + 12; ++row) {
    if (row == outside || row == inside) continue;
    EXPECT_EQ(gSfxLoaded2d[row] + gSfxLoaded3d[row], 0) << row;
  }
  // The grid takes the 3D slots in order; player 1 then the next 2D slots.
  for (int32_t slot = 0; slot < VEHICLE_TABLE_SLOTS; ++slot)
    EXPECT_EQ(gVehicleTable[slot]->engineSound3d, gSfxEffects[outside].first3d + slot) << slot;
  EXPECT_EQ(gPlayer1.engineSoundOut, gSfxEffects[outside].first2d + 6);
  EXPECT_EQ(gPlayer1.engineSoundIn, +gSfxEffects[inside].first2d);
}

TEST_F(SoundBankTest, EachTypeGetsItsOwnEnginePairAndUnknownTypesTheFirst) {
  gRace.trackIndex = 0;
  PlaceGrid(1, {0, 5, 9, 5, 3});
  SfxLoadTrackBank(SFX_BANK_TRACK);
  // Types 0 and 9 share pair 0; the player's pair 1 also has its inside row.
  const int32_t expected3d[6] = {2, 2, 0, 1, 0, 2};
  for (int32_t pair = 0; pair < 6; ++pair) {
    EXPECT_EQ(+gSfxLoaded3d[SFX_ROW_ENGINES + 2 * pair], expected3d[pair]) << pair;
    EXPECT_EQ(+gSfxLoaded2d[SFX_ROW_ENGINES + 2 * pair + 1], pair == 1 ? 1 : 0) << pair;
  }
  EXPECT_EQ(gVehicleRecords[2].engineSound3d, gSfxEffects[SFX_ROW_ENGINES].first3d + 1);
  EXPECT_EQ(gVehicleRecords[3].engineSound3d, gSfxEffects[SFX_ROW_ENGINES + 10].first3d + 1);
}

TEST_F(SoundBankTest, TheListenerTakesItsWholeParameterSet) {
  SfxLoadTrackBank(SFX_BANK_TRACK);
  SoundListenerParams p{};
  ASSERT_EQ(SoundListener(&p, SOUND_OP_GET), SOUND_OK);
  EXPECT_FLOAT_EQ(p.distanceFactor, 0.1f);
  EXPECT_FLOAT_EQ(p.rolloffFactor, 0.1f);
  EXPECT_FLOAT_EQ(p.dopplerFactor, 0.1f);
  EXPECT_FLOAT_EQ(p.front.y, 1.0f);
  EXPECT_FLOAT_EQ(p.top.z, 1.0f);
  EXPECT_FLOAT_EQ(p.position.x, 0.0f);
}

struct BadFileCase {
  const char* name;
  bool damaged;  // written as garbage rather than removed
};

class BadSoundFile : public SoundBankTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadSoundFile, TurnsSoundOffAndNamesTheFile) {
  if (GetParam().damaged)
    dir_.Write("wav/vent.wav", "RIFF....WAVEnot a sound");
  else
    std::filesystem::remove(dir_.path() / "wav/vent.wav");
  gRace.trackIndex = 0;
  PlaceGrid(0, {1, 2, 3, 4, 5});
  const uint32_t before = HalAudioLiveObjects();
  ::testing::internal::CaptureStderr();
  SfxLoadTrackBank(SFX_BANK_TRACK);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(gSoundOn, 0);
  EXPECT_NE(err.find("wav\\vent.wav"), std::string::npos) << err;
  // The rows before it stay loaded and no sound was left outside the tables.
  EXPECT_EQ(HalAudioLiveObjects() - before, static_cast<uint32_t>(gSfx2d.count + gSfx3d.count) * 2);
  // Off for good: the next bank loads nothing and says nothing.
  ::testing::internal::CaptureStderr();
  SfxLoadTrackBank(SFX_BANK_FRONT_END);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(+gSfxEffects[Row("bouton")].first2d, SFX_SLOT_NONE);
}

INSTANTIATE_TEST_SUITE_P(Files, BadSoundFile, ::testing::Values(BadFileCase{"Missing", false}, BadFileCase{"Damaged", true}),
                         [](const ::testing::TestParamInfo<BadFileCase>& info) { return std::string(info.param.name); });

TEST_F(SoundBankTest, AFailingLibraryCallMidRowTurnsSoundOffWithoutLeaking) {
  gRace.trackIndex = 0;
  const uint32_t before = HalAudioLiveObjects();
  // The third duplicate of the first row fails.
  HalAudioInjectResult(HAL_AUDIO_CALL_DUPLICATE_BUFFER, HAL_AUDIO_E_OUTOFMEMORY, 2);
  SfxLoadTrackBank(SFX_BANK_TRACK);
  EXPECT_EQ(gSoundOn, 0);
  EXPECT_EQ(gSfx3d.count, 3);
  EXPECT_EQ(HalAudioLiveObjects() - before, 3u * 2u);
}

struct FullCase {
  const char* name;
  const char* row;
  const char* message;
  const char* nextRow;  // a later row of the bank: not loaded
};

class FullTable : public SoundBankTest, public ::testing::WithParamInterface<FullCase> {};

TEST_P(FullTable, TakingTheLastEntryShowsTheScreenAndStopsTheLoad) {
  const FullCase& c = GetParam();
  gRace.trackIndex = 0;
  PlaceGrid(0, {1, 2, 3, 4, 5});
  gSfxEffects[Row(c.row)].copies = 250;
  SfxLoadTrackBank(SFX_BANK_TRACK);
  EXPECT_EQ(gFatalErrors, std::vector<std::string>{c.message});
  const SfxSlotTable& full = std::string(c.message) == "MAX 3D" ? gSfx3d : gSfx2d;
  EXPECT_EQ(full.count, SFX_SLOTS);
  for (const SfxSlotEntry& e : full.entry) EXPECT_GE(e.soundId, 0);
  EXPECT_EQ(gSoundOn, 1);
  const int32_t next = Row(c.nextRow);
  EXPECT_EQ(+gSfxEffects[next].first2d, SFX_SLOT_NONE);
  EXPECT_EQ(+gSfxEffects[next].first3d, SFX_SLOT_NONE);
  EXPECT_EQ(gPlayer1.engineSoundOut, SFX_SLOT_NONE);
  // Playing a row that was not loaded does nothing.
  EXPECT_EQ(SfxPlayEffectCopyAt(next, 0.0f, 0.0f, 0.0f, 0), SFX_SLOT_NONE);
  EXPECT_EQ(SfxLoopEffectAt(next, 0.0f, 0.0f, 0.0f), SFX_SLOT_NONE);
}

INSTANTIATE_TEST_SUITE_P(Tables, FullTable,
                         ::testing::Values(FullCase{"ThreeD", "tole1", "MAX 3D", "tole2"},
                                           FullCase{"TwoD", "vent", "MAX 2D", "check"}),
                         [](const ::testing::TestParamInfo<FullCase>& info) { return std::string(info.param.name); });

TEST_F(SoundBankTest, AThousandBankLoadsKeepAsManyLibraryObjectsAsOne) {
  gRace.trackIndex = 0;
  PlaceGrid(0, {1, 2, 3, 4, 5});
  SfxLoadTrackBank(SFX_BANK_FRONT_END);
  SfxLoadTrackBank(SFX_BANK_TRACK);
  const uint32_t afterOne = HalAudioLiveObjects();
  for (int i = 0; i < 998; ++i) SfxLoadTrackBank(i % 2 ? SFX_BANK_TRACK : SFX_BANK_FRONT_END);
  EXPECT_EQ(gSoundOn, 1);
  EXPECT_EQ(HalAudioLiveObjects(), afterOne);
  EXPECT_TRUE(gFatalErrors.empty());
}

TEST_F(SoundBankTest, TwoDimensionalCopiesPlayAfterTheirOriginalIsFreed) {
  const uint32_t before = HalAudioLiveObjects();
  SfxLoadTrackBank(SFX_BANK_FRONT_END);
  // Six copies, each a buffer with its 3D interface, and no original left.
  EXPECT_EQ(gSfx2d.count, 6);
  EXPECT_EQ(HalAudioLiveObjects() - before, 6u * 2u);
  const int32_t slot = SfxPlayEffect2D(Row("bouton"), 0);
  ASSERT_NE(slot, SFX_SLOT_NONE);
  EXPECT_FALSE(Silent(Render(500)));
}

TEST_F(SoundBankTest, WithSoundOffNothingPlaysAndNoRandomNumberIsDrawn) {
  gRace.trackIndex = 0;
  PlaceGrid(0, {1, 2, 3, 4, 5});
  SfxLoadTrackBank(SFX_BANK_TRACK);
  SfxSoundOff();
  const uint32_t index = gRandom.index;
  for (Vehicle* v : gVehicleTable) {
    SfxUpdateVehicle(v, v == &gPlayer1 ? nullptr : v, 3, 1);
    SfxUpdateTrafficVehicle(v, 0);
    SfxUpdateAmbientVehicle(v);
  }
  gMusic.sampleSlot = gSfxEffects[SFX_ROW_CHEET].first2d;
  SfxMusicSampleStart();
  gRace.debugMode = 1;
  MusicFadeStep();
  EXPECT_EQ(gRandom.index, index);
  EXPECT_EQ(SfxLoopEffectAt(Row("sand"), 0.0f, 0.0f, 0.0f), SFX_SLOT_NONE);
  EXPECT_EQ(SfxVehicleSlideTest(&gPlayer1), 0);
  EXPECT_TRUE(Silent(Render(500)));
}

TEST_F(SoundBankTest, AFailedStartLeavesSoundOffAndEveryEntryEmpty) {
  SoundShutdown();
  HalAudioResetForTest();
  HalAudioInjectResult(HAL_AUDIO_CALL_CREATE, HAL_AUDIO_E_NODRIVER);
  SfxStartup();
  EXPECT_EQ(gSoundOn, 0);
  for (const SfxSlotEntry& e : gSfx3d.entry) EXPECT_EQ(e.soundId, -1);
  SfxLoadTrackBank(SFX_BANK_TRACK);
  EXPECT_EQ(gSfx2d.count + gSfx3d.count, 0);
}

}  // namespace
