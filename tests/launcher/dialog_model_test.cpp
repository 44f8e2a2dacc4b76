// The settings dialog's rules, as scripts of the user's events against the
// settings file, the controls' states and the device list.
#include <optional>

#include "launcher/dialog_model.h"
#include "support/test_support.h"

namespace {

std::string Record(int32_t renderer, int32_t filtering, int32_t dithering, const std::string& description) {
  std::string out;
  for (int32_t v : {renderer, filtering, dithering})
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
  if (renderer == 0) out += description;
  out.push_back('\0');
  return out;
}

// The devices as the table reports them: not in alphabetical order.
std::vector<std::string> gDevices;
int gFailures = 0;  // enumerations that fail before one succeeds
int gEnumerations = 0;

bool FakeEnumerate(LauncherDeviceCallback callback, void* context) {
  ++gEnumerations;
  if (gFailures > 0) {
    --gFailures;
    return false;
  }
  static const uint8_t guid[16] = {1, 2, 3};
  for (size_t i = 0; i < gDevices.size(); ++i)
    if (!callback(i == 0 ? nullptr : guid, gDevices[i].c_str(), "name", context)) break;
  return true;
}

const std::vector<std::string> kThree = {"Zeta accelerator", "alpha display", "Mid card"};
// Sorted: "alpha display", "Mid card", "Zeta accelerator".

enum Kind { CLICK, SELECT, CLOSE };
struct Event {
  Kind kind;
  int32_t arg;
};
Event Click(int32_t id) { return {CLICK, id}; }
Event Select(int32_t index) { return {SELECT, index}; }

struct Case {
  const char* name;
  int32_t glideBoards;
  std::optional<std::string> file;  // rur.cfg before; none: missing
  std::vector<std::string> devices;
  int failures;
  std::vector<Event> events;
  // After the events.
  int32_t result;
  std::optional<std::string> fileAfter;  // none: as it was
  bool glideEnabled, glideChecked, d3dChecked, dithering, filtering, d3dEnabled;
  int32_t selection;
  int enumerations;
  size_t items;
  bool enumerationMessage;
};

TEST(LauncherDialogModel, EventScripts) {
  const std::string glideFile = Record(1, 1, 1, "");
  const std::string midFile = Record(0, 0, 1, "Mid card");
  const Case cases[] = {
      {"no_board_and_a_file_that_says_glide", 0, glideFile, kThree, 0, {Click(LAUNCHER_ID_GO)},
       10, Record(0, 1, 1, "alpha display"), false, false, true, true, true, true, 0, 1, 3, false},
      {"stored_description_selected", 1, midFile, kThree, 0, {},
       0, std::nullopt, true, false, true, true, false, true, 1, 1, 3, false},
      {"stored_description_confirmed", 1, midFile, kThree, 0, {Click(LAUNCHER_ID_GO)},
       10, midFile, true, false, true, true, false, true, 1, 1, 3, false},
      {"stored_description_matches_none", 1, Record(0, 1, 0, "Gone card"), kThree, 0, {Click(LAUNCHER_ID_GO)},
       10, Record(0, 1, 0, "alpha display"), true, false, true, false, true, true, 0, 1, 3, false},
      {"go_with_nothing_selected", 1, std::nullopt, kThree, 0, {Click(LAUNCHER_ID_D3D), Click(LAUNCHER_ID_GO)},
       10, Record(0, 1, 1, "alpha display"), true, false, true, true, true, true, -1, 1, 3, false},
      {"empty_list", 1, std::nullopt, {}, 0, {Click(LAUNCHER_ID_D3D), Click(LAUNCHER_ID_GO)},
       10, Record(0, 1, 1, ""), true, false, true, true, true, true, -1, 1, 0, false},
      {"glide_and_go_whatever_was_selected", 1, midFile, kThree, 0,
       {Select(2), Click(LAUNCHER_ID_GLIDE), Click(LAUNCHER_ID_GO)},
       10, Record(1, 0, 1, ""), true, true, false, true, false, false, -1, 1, 3, false},
      {"toggles_and_a_picked_device", 1, std::nullopt, kThree, 0,
       {Click(LAUNCHER_ID_D3D), Click(LAUNCHER_ID_DITHERING), Click(LAUNCHER_ID_FILTERING), Select(2),
        Click(LAUNCHER_ID_GO)},
       10, Record(0, 0, 0, "Zeta accelerator"), true, false, true, false, false, true, 2, 1, 3, false},
      {"disabled_controls_take_no_clicks", 1, std::nullopt, kThree, 0,
       {Click(LAUNCHER_ID_DITHERING), Select(1), Click(LAUNCHER_ID_GO)},
       10, glideFile, true, true, false, true, true, false, -1, 0, 0, false},
      {"no_board_glide_stays_disabled", 0, std::nullopt, kThree, 0, {Click(LAUNCHER_ID_GLIDE)},
       0, std::nullopt, false, false, true, true, true, true, 0, 1, 3, false},
      {"cancel_writes_nothing", 1, midFile, kThree, 0, {Click(LAUNCHER_ID_DITHERING), Click(LAUNCHER_ID_CANCEL)},
       -1, std::nullopt, true, false, true, false, false, true, 1, 1, 3, false},
      {"close_writes_nothing", 1, std::nullopt, kThree, 0, {{CLOSE, 0}, Click(LAUNCHER_ID_GO)},
       -1, std::nullopt, true, true, false, true, true, false, -1, 0, 0, false},
      {"list_filled_once_on_the_first_direct3d_click", 1, std::nullopt, kThree, 0,
       {Click(LAUNCHER_ID_D3D), Click(LAUNCHER_ID_GLIDE), Click(LAUNCHER_ID_D3D)},
       0, std::nullopt, true, false, true, true, true, true, -1, 1, 3, false},
      {"list_filled_once_at_start", 1, midFile, kThree, 0, {Click(LAUNCHER_ID_GLIDE), Click(LAUNCHER_ID_D3D)},
       0, std::nullopt, true, false, true, true, false, true, 1, 1, 3, false},
      {"failed_enumeration_on_click_is_tried_again", 1, std::nullopt, kThree, 1,
       {Click(LAUNCHER_ID_D3D), Click(LAUNCHER_ID_D3D)},
       0, std::nullopt, true, false, true, true, true, true, -1, 2, 3, true},
      {"failed_enumeration_at_start_leaves_the_list_to_fill", 1, midFile, kThree, 1, {},
       0, std::nullopt, true, false, true, true, false, true, -1, 1, 0, true},
      {"failed_enumeration_at_start_then_a_click", 1, midFile, kThree, 1, {Click(LAUNCHER_ID_D3D)},
       0, std::nullopt, true, false, true, true, false, true, -1, 2, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    if (c.file) dir.Write("rur.cfg", *c.file);
    gDevices = c.devices;
    gFailures = c.failures;
    gEnumerations = 0;

    LauncherConfig config;
    LauncherDriverList drivers;
    LauncherReadConfig(&config, (dir / "rur.cfg").c_str());
    LauncherDialog dialog;
    dialog.config = &config;
    dialog.drivers = &drivers;
    dialog.glideBoards = c.glideBoards;
    dialog.enumerate = FakeEnumerate;
    dialog.configPath = dir / "rur.cfg";

    testing::internal::CaptureStderr();
    LauncherDialogStart(&dialog);
    for (const Event& e : c.events) {
      if (e.kind == CLICK) LauncherDialogCommand(&dialog, e.arg);
      if (e.kind == SELECT) LauncherDialogSelect(&dialog, e.arg);
      if (e.kind == CLOSE) LauncherDialogClose(&dialog);
    }
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(+dialog.result, +c.result);
    if (c.fileAfter) {
      EXPECT_EQ(dir.Read("rur.cfg"), *c.fileAfter);
    } else if (c.file) {
      EXPECT_EQ(dir.Read("rur.cfg"), *c.file);
    } else {
      EXPECT_FALSE(std::filesystem::exists(dir / "rur.cfg"));
    }
    EXPECT_EQ(+dialog.glideEnabled, +c.glideEnabled);
    EXPECT_EQ(+dialog.glideChecked, +c.glideChecked);
    EXPECT_EQ(+dialog.d3dChecked, +c.d3dChecked);
    EXPECT_EQ(+dialog.ditheringChecked, +c.dithering);
    EXPECT_EQ(+dialog.filteringChecked, +c.filtering);
    EXPECT_EQ(+dialog.d3dControlsEnabled, +c.d3dEnabled);
    EXPECT_EQ(+dialog.listSelection, +c.selection);
    EXPECT_EQ(gEnumerations, +c.enumerations);
    ASSERT_EQ(LauncherDialogItemCount(dialog), +c.items);
    if (c.items == 3) {
      EXPECT_EQ(LauncherDialogItemText(dialog, 0), "alpha display");
      EXPECT_EQ(LauncherDialogItemText(dialog, 2), "Zeta accelerator");
    }
    EXPECT_EQ(err, c.enumerationMessage ? "Enumeration des devices impossibles\n" : "");
  }
}

TEST(LauncherDialogModel, DriverListKeepsGuidsAndStopsAtFifty) {
  LauncherConfig config;
  LauncherDriverList drivers;
  LauncherDialog dialog;
  dialog.config = &config;
  dialog.drivers = &drivers;
  const uint8_t guid[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
  EXPECT_TRUE(LauncherAddDriver(nullptr, "primary", "p", &dialog));
  for (int i = 1; i < 50; ++i) EXPECT_TRUE(LauncherAddDriver(guid, ("card " + std::to_string(i)).c_str(), "c", &dialog));
  EXPECT_FALSE(LauncherAddDriver(guid, "one too many", "c", &dialog));
  ASSERT_EQ(drivers.drivers.size(), 50u);
  EXPECT_FALSE(drivers.drivers[0].hasGuid);
  EXPECT_TRUE(drivers.drivers[1].hasGuid);
  EXPECT_EQ(+drivers.drivers[1].guid[0], 9);
  LauncherFreeDrivers(&drivers);
  EXPECT_TRUE(drivers.drivers.empty());
  EXPECT_TRUE(drivers.items.empty());

  // Found by exact text, the last of equal items.
  for (const char* text : {"b", "twin", "a", "twin"}) LauncherAddDriver(nullptr, text, "", &dialog);
  EXPECT_EQ(LauncherFindDriverItem(dialog, "twin"), 3);
  EXPECT_EQ(LauncherFindDriverItem(dialog, "TWIN"), -1);
  EXPECT_EQ(LauncherFindDriverItem(dialog, "a"), 0);
}

}  // namespace
