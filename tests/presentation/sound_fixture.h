// The race sounds on the headless mixer: the kit's sound files loose in a
// fresh working folder, the sound library started by SfxStartup, a grid of
// vehicles of chosen types, and the fatal-error screen recorded.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "hal/audio/audio.h"
#include "hal/audio/event.h"
#include "platform/libshared.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "platform/sound.h"
#include "presentation/music.h"
#include "presentation/sfx.h"
#include "race/race.h"
#include "race/vehicle_steps.h"
#include "support/test_support.h"
#include "tools/datakit/lib/sound_kit.h"

// GameShowNumber's arguments, in place of the shell's screen.
extern std::vector<int32_t> gShownNumbers;

class SoundBankTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    HalAudioResetForTest();
    HalEventResetForTest();
    gLibLastError = 0;
    RecordFatalErrors();
    gShownNumbers.clear();
    GameSetShowNumberHook([](int32_t number) { gShownNumbers.push_back(number); });
    PakReset();
    MemPoolInit();
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    std::string error;
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::SoundArchiveFiles(), dir_.path().string(), &error)) << error;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    gRace = RaceState{};
    gRace.frameRate = 25.0f;
    gRace.timeStep = 1.0f;
    gPlayer1 = VehiclePlayer1Initial();
    gPlayer1Vehicle = &gPlayer1;
    gPlayer2Vehicle = &gVehicleRecords[0];
    for (Vehicle& v : gVehicleRecords) v = Vehicle{};
    for (Vehicle*& v : gVehicleTable) v = nullptr;
    gVehicleStep = VehicleStepState{};
    gMusic = MusicState{-1, MUSIC_IDLE, 0.0f, 0, 0, 0, 0, 0.0f};
    gCamera = CameraState{};
    MathBuildTables();
    SfxStartup();
    ASSERT_EQ(gSoundOn, 1);
  }
  void TearDown() override {
    SoundShutdown();
    EXPECT_EQ(::chdir(home_.c_str()), 0);
  }

  static int32_t Row(const char* name) {
    for (int32_t r = 0; r < SFX_EFFECT_ROWS; ++r)
      if (std::strncmp(gSfxEffects[r].name, name, sizeof gSfxEffects[r].name) == 0) return r;
    ADD_FAILURE() << "no row " << name;
    return 0;
  }

  // Player 1 on grid slot 0 and five computer cars behind it, of the given types.
  static void PlaceGrid(int32_t player1Type, const std::vector<int32_t>& others) {
    gPlayer1.type = player1Type;
    gPlayer1.timerSlot = 3;
    gVehicleTable[0] = &gPlayer1;
    for (size_t i = 0; i < others.size() && i < 5; ++i) {
      Vehicle& v = gVehicleRecords[i];
      v.physParams[PHYS_REV_LIMIT] = 8000.0f;
      v.enginePitchScale = 320;
      v.type = others[i];
      v.timerSlot = static_cast<int32_t>(i) + 4;
      gVehicleTable[i + 1] = &v;
    }
  }

  // The sound id behind a slot handle, -1 for none.
  static int32_t SoundOf(int32_t slot) {
    SfxSlotEntry* e = SfxEntry(slot);
    return e ? e->soundId : -1;
  }
  static bool Playing(int32_t slot) { return SoundOf(slot) >= 0 && SoundGetState(SoundOf(slot)) == 2; }
  static uint32_t Hz(int32_t slot) {
    uint32_t hz = 0;
    if (SoundOf(slot) >= 0) SoundFrequency(SoundOf(slot), &hz, SOUND_OP_GET);
    return hz;
  }
  static std::vector<int16_t> Render(uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    HalAudioRender(out.data(), frames);
    return out;
  }
  static bool Silent(const std::vector<int16_t>& samples) {
    for (int16_t s : samples)
      if (s != 0) return false;
    return true;
  }

  TempDir dir_;
  std::string home_;
};
