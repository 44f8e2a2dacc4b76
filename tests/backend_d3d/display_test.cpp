// The display and device: driver choice, resolution codes, memory budget,
// the default states after opening, the render-state operations, rur.cfg,
// and the failures of opening and changing the mode.
#include <algorithm>
#include <cstring>

#include "d3d_fixture.h"
#include "engine3d/mesh.h"
#include "hal/window.h"

namespace {

DisplayMode ModeWithCode(uint32_t code) {
  DisplayMode m = *gDisplayModes[2];
  m.resolutionCode = code;
  return m;
}

TEST_F(D3dBackendTest, ResolutionCodesSetTheDisplaySize) {
  struct Row {
    uint32_t code;
    int32_t width, height;
  };
  // 16 and above keep the size of the open before.
  const Row rows[] = {{7, 640, 480}, {10, 856, 480}, {0, 320, 200}, {16, 320, 200}, {14, 1600, 1200}, {99, 1600, 1200}};
  Open();
  for (const Row& row : rows) {
    DisplayMode m = ModeWithCode(row.code);
    ASSERT_TRUE(RdrSetMode(&m, 0)) << row.code;
    EXPECT_EQ(+gD3d.width, +row.width) << row.code;
    EXPECT_EQ(+gD3d.height, +row.height) << row.code;
    EXPECT_TRUE(Has("SetDisplayMode " + std::to_string(row.width) + " " + std::to_string(row.height) + " 16"));
  }
}

TEST_F(D3dBackendTest, ModesFitByTheDriversListAndTheFrameBufferBudget) {
  HalDevice d = HalDeviceDefault();
  d.localVideoMemory = 4000000;
  d.textureMemory = 2000001;
  HalDevicesSet({d});
  Open();
  // Local minus texture memory is below 2,000,000: half the local memory.
  EXPECT_EQ(RdrFrameBufferBudget(), 2000000u);
  struct Row {
    uint32_t code;
    bool fits;
  };
  const Row rows[] = {{0, true}, {3, true}, {7, true}, {8, false}, {12, false}, {10, false}, {1, false}};
  for (const Row& row : rows) EXPECT_EQ(RdrModeFits(row.code), +row.fits) << row.code;
  EXPECT_EQ(TexMemSizeKb(), 2000001 / 1024);

  // A roomy device still needs the size in the driver's list.
  RdrClose();
  d = HalDeviceDefault();
  d.modes.erase(d.modes.begin() + 4);  // no 800 x 600
  HalDevicesSet({d});
  Open();
  EXPECT_EQ(RdrFrameBufferBudget(), 12u << 20);
  EXPECT_TRUE(RdrModeFits(12));
  EXPECT_FALSE(RdrModeFits(8));
}

TEST_F(D3dBackendTest, DriverListSkipsUnusableModesAndRecordsEachOnce) {
  HalDevice d = HalDeviceDefault();
  d.modes = {{640, 480, 16}, {640, 480, 16}, {856, 480, 16}, {800, 600, 32}, {1024, 768, 24}};
  d.renderDepths = HAL_DEPTH_16 | HAL_DEPTH_32;
  HalDevicesSet({d});
  Open();
  const RdrDriverInfo& info = gRdrDrivers.drivers[0];
  EXPECT_EQ(std::vector<int>(info.modes, info.modes + info.modeCount), (std::vector<int>{3, 24}));
}

TEST_F(D3dBackendTest, FindDriverMatchesTheDescriptionExactlyElseTheFirst) {
  HalDevice a = HalDeviceDefault(), b = HalDeviceDefault();
  HalDeviceSetDescription(&b, "Second Board");
  b.hasGuid = true;
  HalDevicesSet({a, b});
  Open();
  struct Row {
    const char* description;
    int32_t index;
  };
  const Row rows[] = {{"Second Board", 1}, {"second board", 0}, {"Second Board ", 0}, {"", 0}};
  for (const Row& row : rows) {
    RdrConfig config{0, 1, 1, ""};
    std::snprintf(config.device, sizeof config.device, "%s", row.description);
    EXPECT_EQ(RdrFindDriver(&config), +row.index) << row.description;
  }
}

// The default states in the order the device gets them.
const std::vector<std::string> DEFAULT_STATES = {
    "SetTextureStageState 0 COLORARG1 2", "SetTextureStageState 0 COLOROP 2",
    "SetTextureStageState 0 ALPHAARG1 2", "SetTextureStageState 0 ALPHAOP 2",
    "SetRenderState ANTIALIAS 0",         "SetRenderState ALPHABLENDENABLE 1",
    "SetRenderState SRCBLEND 2",          "SetRenderState DESTBLEND 1",
    "SetRenderState SHADEMODE 2",         "SetRenderState ZENABLE 1",
    "SetRenderState ZWRITEENABLE 1",      "SetRenderState ZFUNC 4",
    "SetRenderState TEXTUREHANDLE 0",     "SetRenderState DITHERENABLE 1",
    "SetRenderState TEXTUREPERSPECTIVE 1", "SetTextureStageState 0 MINFILTER 2",
    "SetTextureStageState 0 MAGFILTER 2", "SetRenderState CULLMODE 1",
    "SetRenderState SPECULARENABLE 0",    "SetRenderState COLORKEYENABLE 0",
    "SetRenderState ALPHAREF 0",          "SetRenderState ALPHAFUNC 6",
    "SetRenderState ALPHATESTENABLE 1"};

std::vector<std::string> States(const std::vector<std::string>& calls) {
  std::vector<std::string> out;
  for (const std::string& c : calls)
    if (c.rfind("SetRenderState", 0) == 0 || c.rfind("SetTextureStageState", 0) == 0) out.push_back(c);
  return out;
}

TEST_F(D3dBackendTest, OpeningSetsTheDefaultStatesInOrderAndClearsOnce) {
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 0));
  EXPECT_EQ(States(calls), DEFAULT_STATES);
  EXPECT_EQ(RdrHasAlphaTest(), 1);
  EXPECT_EQ(Calls("Clear2"), (std::vector<std::string>{"Clear2 0 0 640 480 3 0 1.000000 0"}));
  EXPECT_TRUE(gD3d.backBuffer565);
  EXPECT_EQ(+gRdrState.colourKeyR, 0);
  EXPECT_EQ(+gRdrState.screenWidth, 640);
  EXPECT_EQ(+gTextureTable.count, 0);
}

TEST_F(D3dBackendTest, WithoutNotEqualTheColourKeyStandsIn) {
  HalDevice d = HalDeviceDefault();
  d.alphaCompareNotEqual = false;
  HalDevicesSet({d});
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 0));
  std::vector<std::string> want = DEFAULT_STATES;
  want.push_back("SetRenderState COLORKEYENABLE 1");
  EXPECT_EQ(States(calls), want);
  EXPECT_EQ(RdrHasAlphaTest(), 0);
}

TEST_F(D3dBackendTest, FilteringOffMeansPointSamplingAndTheFilterSwitchesDoNothing) {
  gRdrConfig.filtering = 0;
  gRdrConfig.dithering = 0;
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 0));
  EXPECT_TRUE(Has("SetTextureStageState 0 MINFILTER 1"));
  EXPECT_TRUE(Has("SetTextureStageState 0 MAGFILTER 1"));
  EXPECT_TRUE(Has("SetRenderState DITHERENABLE 0"));
  calls.clear();
  RdrFilterBilinear();
  RdrFilterPoint();
  EXPECT_TRUE(calls.empty());

  gRdrConfig.filtering = 1;
  RdrClose();
  Open();
  RdrFilterPoint();
  RdrFilterBilinear();
  EXPECT_EQ(calls, (std::vector<std::string>{"SetTextureStageState 0 MAGFILTER 1", "SetTextureStageState 0 MINFILTER 1",
                                             "SetTextureStageState 0 MAGFILTER 2",
                                             "SetTextureStageState 0 MINFILTER 2"}));
}

TEST_F(D3dBackendTest, RenderStateOperationsMakeTheirDeviceCalls) {
  Open();
  struct Row {
    void (*op)();
    std::vector<std::string> calls;
  };
  const Row rows[] = {
      {RdrDepthOff, {"SetRenderState ZENABLE 0", "SetRenderState ZWRITEENABLE 0"}},
      {RdrDepthOn, {"SetRenderState ZENABLE 1", "SetRenderState ZWRITEENABLE 1"}},
      {RdrDepthWriteOff, {"SetRenderState ZWRITEENABLE 0"}},
      {RdrDepthWriteOn, {"SetRenderState ZWRITEENABLE 1"}},
      {RdrBlendAlpha, {"SetRenderState SRCBLEND 5", "SetRenderState DESTBLEND 6"}},
      {RdrBlendOpaque, {"SetRenderState SRCBLEND 2", "SetRenderState DESTBLEND 1"}},
      {RdrFogOn, {"SetRenderState FOGENABLE 1"}},
      {RdrFogOff, {"SetRenderState FOGENABLE 0"}},
      {RdrBeginScene, {"BeginScene"}},
      {RdrEndScene, {"EndScene"}},
      {[] { RdrClear(1, 2, 3); }, {"Clear2 0 0 640 480 3 66051 1.000000 0", "BeginScene"}},
      {[] { RdrClearOnly(1, 2, 3); }, {"Clear2 0 0 640 480 3 66051 1.000000 0"}},
      {RdrSwapBuffers, {"EndScene", "Flip"}},
      {RdrSetTextureDecal,
       {"SetTextureStageState 0 COLORARG1 2", "SetTextureStageState 0 COLOROP 2", "SetTextureStageState 0 ALPHAARG1 2",
        "SetTextureStageState 0 ALPHAOP 2"}},
  };
  for (const Row& row : rows) {
    calls.clear();
    row.op();
    EXPECT_EQ(calls, row.calls);
  }
}

TEST_F(D3dBackendTest, FogOnWithoutTableFogLeavesFogOff) {
  HalDevice d = HalDeviceDefault();
  d.tableFog = false;
  HalDevicesSet({d});
  Open();
  RdrFogOn();
  EXPECT_TRUE(calls.empty());
}

TEST_F(D3dBackendTest, SetFogPassesTheBitsOfItsFloatsAndTheRawDensityOne) {
  Open();
  RdrSetFog(10, 20, 30, 100.0f, 1500.0f);
  uint32_t start, end;
  const float s = 100.0f, e = 1500.0f;
  std::memcpy(&start, &s, 4);
  std::memcpy(&end, &e, 4);
  EXPECT_EQ(calls, (std::vector<std::string>{"SetRenderState FOGCOLOR " + std::to_string(10 << 16 | 20 << 8 | 30),
                                             "SetRenderState RANGEFOGENABLE 0", "SetLightState FOGMODE 0",
                                             "SetRenderState FOGTABLEMODE 3",
                                             "SetRenderState FOGTABLESTART " + std::to_string(start),
                                             "SetRenderState FOGTABLEEND " + std::to_string(end),
                                             "SetRenderState FOGTABLEDENSITY 1"}));
}

TEST_F(D3dBackendTest, ClipWindowSetsTheViewportAndOnlyTheFullFormTheRenderState) {
  Open();
  RdrSetClipWindow(10, 20, 300, 200);
  EXPECT_EQ(calls, (std::vector<std::string>{"SetViewport2 10 20 290 180"}));
  EXPECT_EQ(+gRdrState.clipMinX, 10.0f);
  EXPECT_EQ(+gRdrState.clipMaxY, 200.0f);
  EXPECT_EQ(+gD3d.viewportDesc.clipX, -1.0f);
  EXPECT_EQ(+gD3d.viewportDesc.clipWidth, 2.0f);
  EXPECT_EQ(+gD3d.viewportDesc.maxZ, 1.0f);
  calls.clear();
  RdrSetClipWindowOnly(0, 0, 64, 32);
  EXPECT_EQ(+gRdrState.clipMinX, 10.0f);
  RdrClear(0, 0, 0);
  EXPECT_EQ(Calls("Clear2"), (std::vector<std::string>{"Clear2 0 0 64 32 3 0 1.000000 0"}));
}

TEST_F(D3dBackendTest, AFailingModeChangeReopensThePreviousMode) {
  Open();
  DisplayMode big = ModeWithCode(12);
  HalD3dFailNext("CreateDevice", 1);
  EXPECT_FALSE(RdrSetMode(&big, 0));
  EXPECT_EQ(+gD3d.width, 640);
  EXPECT_EQ(+gRdrState.screenWidth, 640);
  EXPECT_NE(+gD3d.device, 0u);
  // The display still works.
  calls.clear();
  RdrClear(0, 0, 0);
  RdrSwapBuffers();
  EXPECT_EQ(calls, (std::vector<std::string>{"Clear2 0 0 640 480 3 0 1.000000 0", "BeginScene", "EndScene", "Flip"}));
}

TEST_F(D3dBackendTest, OpeningFailuresReleaseEverything) {
  struct Row {
    const char* call;
    bool message;
  };
  const Row rows[] = {{"SetDisplayMode", false}, {"GetAttachedSurface", false}, {"AddAttachedSurface", false},
                      {"CreateDevice", false},   {"CreateViewport", false},     {"CreateClipper", false}};
  for (const Row& row : rows) {
    HalD3dFailNext(row.call, 1);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(RdrOpen(gDisplayModes[2], 0)) << row.call;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << row.call;
    EXPECT_EQ(HalD3dLiveObjects(), 0) << row.call;
  }
}

TEST_F(D3dBackendTest, ADeviceWithoutAPrimarySurfaceShowsTheMessage) {
  HalDevice d = HalDeviceDefault();
  d.primarySurfaceFails = true;
  HalDevicesSet({d});
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(RdrOpen(gDisplayModes[2], 0));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Graphic Hardware not detected\n");
  EXPECT_EQ(HalD3dLiveObjects(), 0);
}

TEST_F(D3dBackendTest, NoDeviceMeansNoDisplay) {
  HalDevicesSetEnumerationFails(true);
  EXPECT_FALSE(RdrOpen(gDisplayModes[2], 0));
  HalDevicesReset();
  HalDevicesSet({});
  EXPECT_FALSE(RdrOpen(gDisplayModes[2], 0));
}

TEST_F(D3dBackendTest, CloseReleasesEveryObject) {
  Open();
  RdrClose();
  EXPECT_EQ(HalD3dLiveObjects(), 0);
}

class D3dConfigTest : public D3dBackendTest {
 protected:
  void SetUp() override {
    D3dBackendTest::SetUp();
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    D3dBackendTest::TearDown();
  }
  TempDir dir_;
  std::filesystem::path old_;
};

std::string Config(int32_t renderer, int32_t filtering, int32_t dithering, const std::string& tail) {
  std::string bytes(12, '\0');
  std::memcpy(&bytes[0], &renderer, 4);
  std::memcpy(&bytes[4], &filtering, 4);
  std::memcpy(&bytes[8], &dithering, 4);
  return bytes + tail;
}

TEST_F(D3dConfigTest, ConfigFileCases) {
  struct Row {
    const char* name;
    bool write;
    std::string bytes;
    RdrConfig want;
  };
  const std::string longText(300, 'd');
  RdrConfig cut{0, 0, 1, ""};
  std::memcpy(cut.device, longText.data(), 255);
  const Row rows[] = {
      {"missing", false, "", {0, 1, 1, ""}},
      {"short", true, std::string("\0\0\0\0\0\0\0\0\1", 9), {0, 1, 1, ""}},
      {"plain", true, Config(0, 0, 1, std::string("Board\0junk", 10)), {0, 0, 1, "Board"}},
      {"no terminator", true, Config(1, 1, 0, "Board"), {1, 1, 0, "Board"}},
      {"300 bytes", true, Config(0, 0, 1, longText), cut},
  };
  for (const Row& row : rows) {
    gRdrConfig = RdrConfig{0, 1, 1, ""};
    std::filesystem::remove("rur.cfg");
    if (row.write) dir_.Write("rur.cfg", row.bytes);
    RdrLoadConfig();
    EXPECT_EQ(+gRdrConfig.renderer, +row.want.renderer) << row.name;
    EXPECT_EQ(+gRdrConfig.filtering, +row.want.filtering) << row.name;
    EXPECT_EQ(+gRdrConfig.dithering, +row.want.dithering) << row.name;
    EXPECT_STREQ(gRdrConfig.device, row.want.device) << row.name;
  }
}

// Blanking makes both buffers black without showing a frame: the picture
// on the window stays, and the frame count with it.
TEST_F(D3dBackendTest, BlankingMakesBothBuffersBlackWithoutShowingAFrame) {
  Open();
  RdrClear(255, 0, 0);
  RdrSwapBuffers();
  RdrClear(0, 255, 0);
  const uint32_t frames = HalFrameCount();
  RdrBlankBuffers();
  EXPECT_EQ(HalFrameCount(), frames);
  std::vector<uint16_t> front;
  ASSERT_TRUE(HalD3dReadFrontBuffer(&front, nullptr, nullptr));
  EXPECT_EQ(std::count(front.begin(), front.end(), 0), static_cast<std::ptrdiff_t>(front.size()));
  RdrSwapBuffers();
  ASSERT_TRUE(HalD3dReadFrontBuffer(&front, nullptr, nullptr));
  EXPECT_EQ(std::count(front.begin(), front.end(), 0), static_cast<std::ptrdiff_t>(front.size()));
}

}  // namespace
