// The set-up the menu page tests share: the headless hal on a clock that
// moves 1 ms a reading (as a headless run's does), the game window and its
// message queue (input comes from HalScriptLoad lines, "f3 move 100 200"),
// the software accelerator open in the menus' 640 x 480, the pools and draw
// lists, the kit's menu files loose in the current folder, and the recorder
// (page_calls.h) cleared.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/mesh.h"
#include "menu_kit_folder.h"
#include "page_calls.h"
#include "platform/app.h"
#include "platform/pak.h"
#include "race/race.h"
#include "support/test_support.h"
#include "tools/datakit/lib/menu_kit.h"

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(1000, 1);
    AppResetForTest();
    RecordFatalErrors();
    ASSERT_EQ(AppCreateWindow(1, 0, 1), 1);
    AppPumpMessages();  // the window's activation: the cursor routines work from here
    MathBuildTables();
    PakReset();
    std::string error;
    ASSERT_TRUE(MenuKitEnterFolder(dir_.path().string(), &home_, &error)) << error;
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], AppGetWindow()));
    gDisplayModeIndex = 2;
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
    DrawListAllocStatic(DRAW_LIST_STATIC);
    DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
    gRace.timeStep = 1.0f;
    PageCallsReset();
  }
  void TearDown() override {
    ASSERT_EQ(::chdir(home_.c_str()), 0);
    RdrClose();
    HalResetForTest();
  }
  // Input for the frames to come, in the script format of the README.
  static void Script(const std::string& lines) {
    std::string error;
    ASSERT_TRUE(HalScriptLoad(lines, &error)) << error;
  }
  TempDir dir_;
  std::string home_;
};
