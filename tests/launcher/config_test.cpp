// rur.cfg byte by byte: what the writer puts down and what the reader takes.
#include <cstring>

#include "launcher/config.h"
#include "support/test_support.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

struct WriteCase {
  const char* name;
  int32_t renderer, filtering, dithering;
  std::string chosen;
  std::string file;
};

TEST(LauncherConfig, WritesTheRecordThenTheDescription) {
  const WriteCase cases[] = {
      {"glide_on_on", 1, 1, 1, "ignored for Glide", Bytes({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0})},
      {"glide_off_on", 1, 0, 1, "", Bytes({1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0})},
      {"d3d_dev", 0, 0, 1, "Dev", Bytes({0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 'D', 'e', 'v', 0})},
      {"d3d_empty", 0, 1, 0, "", Bytes({0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0})},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    LauncherConfig config;
    config.filtering = c.filtering;
    config.dithering = c.dithering;
    config.chosenDescription = c.chosen;
    ASSERT_TRUE(LauncherWriteConfig(&config, c.renderer, (dir / "rur.cfg").c_str()));
    EXPECT_EQ(dir.Read("rur.cfg"), c.file);
    EXPECT_TRUE(config.chosenDescription.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "rur.cfg.new"));

    // What was written reads back.
    LauncherConfig back;
    LauncherReadConfig(&back, (dir / "rur.cfg").c_str());
    EXPECT_EQ(+back.renderer, +c.renderer);
    EXPECT_EQ(+back.filtering, +c.filtering);
    EXPECT_EQ(+back.dithering, +c.dithering);
    EXPECT_STREQ(back.description, c.renderer == 0 ? c.chosen.c_str() : "");
  }
}

struct ReadCase {
  const char* name;
  bool present;
  std::string file;
  int32_t renderer, filtering, dithering;
  std::string description;
};

TEST(LauncherConfig, ReadsWhatIsThereAndDefaultsTheRest) {
  const std::string longText(300, 'x');
  const ReadCase cases[] = {
      {"missing", false, "", 1, 1, 1, ""},
      {"five_bytes", true, Bytes({0, 0, 0, 0, 0}), 1, 1, 1, ""},
      {"record_only", true, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}), 0, 0, 1, ""},
      {"d3d_dev", true, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 'D', 'e', 'v', 0, 'z'}), 0, 0, 1, "Dev"},
      {"description_without_nul_cut_to_buffer", true, Bytes({0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}) + longText, 0, 1,
       1, std::string(259, 'x')},
      {"renderer_7_is_glide", true, Bytes({7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 1, 0, 0, ""},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    if (c.present) dir.Write("rur.cfg", c.file);
    LauncherConfig config;
    config.renderer = 5;  // stale values must not survive a read
    config.filtering = config.dithering = 9;
    std::strcpy(config.description, "stale");
    LauncherReadConfig(&config, (dir / "rur.cfg").c_str());
    EXPECT_EQ(+config.renderer, +c.renderer);
    EXPECT_EQ(+config.filtering, +c.filtering);
    EXPECT_EQ(+config.dithering, +c.dithering);
    EXPECT_EQ(std::string(config.description), c.description);
  }
}

}  // namespace
