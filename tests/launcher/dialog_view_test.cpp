// The settings dialog as drawn off screen by Mesa, against a stored picture.
// After a deliberate change of the dialog's look:
//   TORVANE_UPDATE_REFERENCES=1 build/tests/launcher/tests_launcher --gtest_filter='LauncherDialogView.*'
#include <cstdlib>

#include "launcher/dialog_view.h"
#include "launcher/texts.h"
#include "support/png_rgb.h"
#include "support/test_support.h"

namespace {

bool ThreeDevices(LauncherDeviceCallback callback, void* context) {
  for (const char* name : {"Torvane OpenGL display", "Second card", "Écran à côté"})
    callback(nullptr, name, "", context);
  return true;
}

const char* EditionSuffix() {
  switch (LAUNCHER_EDITION) {
    case EDITION_ITALIAN: return "it";
    case EDITION_SPANISH: return "es";
    case EDITION_PORTUGUESE: return "pt";
    default: return "de";
  }
}

TEST(LauncherDialogView, MatchesTheReferencePicture) {
  ResetHalForTest();
  LauncherConfig config;
  config.renderer = LAUNCHER_RENDERER_D3D;
  config.filtering = 0;
  std::snprintf(config.description, sizeof config.description, "Second card");
  LauncherDriverList drivers;
  LauncherDialog dialog;
  dialog.config = &config;
  dialog.drivers = &drivers;
  dialog.glideBoards = 1;
  dialog.enumerate = ThreeDevices;
  LauncherDialogStart(&dialog);

  std::vector<uint8_t> rgb = LauncherDrawDialogPicture(&dialog);
  ASSERT_EQ(rgb.size(), static_cast<size_t>(LAUNCHER_DIALOG_WIDTH) * LAUNCHER_DIALOG_HEIGHT * 3);

  const std::string reference =
      std::string(LAUNCHER_TEST_SOURCE_DIR) + "/dialog_reference_" + EditionSuffix() + ".png";
  const char* update = std::getenv("TORVANE_UPDATE_REFERENCES");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(WritePng(reference, rgb, LAUNCHER_DIALOG_WIDTH, LAUNCHER_DIALOG_HEIGHT));
    GTEST_SKIP() << "wrote " << reference;
  }
  if (!std::filesystem::exists(reference)) GTEST_SKIP() << "no reference picture for this edition";
  std::vector<uint8_t> stored;
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPng(reference, &stored, &w, &h)) << reference;
  ASSERT_EQ(w, static_cast<uint32_t>(LAUNCHER_DIALOG_WIDTH));
  ASSERT_EQ(h, static_cast<uint32_t>(LAUNCHER_DIALOG_HEIGHT));
  // Mesa versions may round edges differently: a few levels, on a few pixels.
  size_t off = 0;
  for (size_t i = 0; i < rgb.size(); ++i)
    if (std::abs(int(rgb[i]) - int(stored[i])) > 24) ++off;
  EXPECT_LE(off, rgb.size() / 200) << off << " channels differ";
}

}  // namespace
