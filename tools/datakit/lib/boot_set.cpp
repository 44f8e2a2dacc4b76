#include "tools/datakit/lib/boot_set.h"

#include <algorithm>
#include <initializer_list>

#include "tools/datakit/lib/menu_kit.h"
#include "tools/datakit/lib/model3ds_writer.h"
#include "tools/datakit/lib/picture_writer.h"
#include "tools/datakit/lib/race_kit.h"
#include "tools/datakit/lib/race_textures.h"
#include "tools/datakit/lib/sound_kit.h"
#include "tools/datakit/lib/texture_3df.h"

namespace datakit {

// The boot set's textures, written as .TEX into the archives and as .3DF
// for a game without them, with the same texels.
namespace {

struct BootTexture {
  const char* name;
  uint32_t format, width, height;
};
constexpr BootTexture BOOT_TEXTURES[] = {
    {"ground", TEX_RGB565, 128, 128},
};

}  // namespace

std::vector<DataFile> BootArchiveFiles() {
  std::vector<DataFile> files;
  files.push_back({3, "intro.qvr", MakeQvr(640, 480, PatternRgb555(640, 480, 1))});
  files.push_back({3, "ro.qvr", MakeQvr(320, 200, PatternRgb555(320, 200, 9))});
  uint32_t seed = 5;  // the seeds the boot textures have always had
  for (const BootTexture& t : BOOT_TEXTURES)
    files.push_back({2, std::string(t.name) + ".tex",
                     MakeTex(t.format, t.width, t.height, PatternTexels(t.format, t.width, t.height, seed++))});
  for (const DataFile& f : ModelFiles()) files.push_back(f);
  for (const DataFile& f : RaceArchiveFiles()) files.push_back(f);
  for (const auto& list :
       {TrackArchiveFiles(), RaceKitTextureArchiveFiles(), ObjectModelFiles(), VehicleModelFiles(), SoundArchiveFiles(),
        MenuArchiveFiles()})
    for (const DataFile& f : list) files.push_back(f);
  return files;
}

std::vector<DataFile> ModelFiles() {
  std::vector<DataFile> files;
  files.push_back({1, "car.3ds", Make3ds(ModelCarBody())});
  files.push_back({1, "wheel.3ds", Make3ds(ModelWheel())});
  files.push_back({1, "tree.3ds", Make3ds(ModelTree())});
  files.push_back({1, "sign.3ds", Make3ds(ModelSign())});
  for (const ModelTexture& t : ModelTextures())
    files.push_back({2, t.name + ".tex", MakeTex(t.format, t.width, t.height, PatternTexels(t.format, t.width, t.height, t.seed))});
  return files;
}

std::vector<ModelTexture> ModelTextures() {
  return {{"car", TEX_RGB565, 128, 64, 21}, {"wheel", TEX_ARGB1555, 64, 64, 22},
          {"tree", TEX_ARGB4444, 64, 128, 23}, {"sign", TEX_RGB565, 128, 64, 24}};
}

std::vector<DataFile> BootLooseFiles() {
  std::vector<DataFile> files;
  uint32_t seed = 5;  // the seeds the boot textures have always had
  for (const BootTexture& t : BOOT_TEXTURES)
    files.push_back({0, std::string(t.name) + ".3df", Make3df(static_cast<int32_t>(t.format), t.width, t.height,
                                                            PatternTexels(t.format, t.width, t.height, seed++))});
  // With the archives unmounted the models' textures are read as .3DF.
  for (const ModelTexture& t : ModelTextures())
    files.push_back({0, t.name + ".3df", Make3df(static_cast<int32_t>(t.format), t.width, t.height,
                                                 PatternTexels(t.format, t.width, t.height, t.seed))});
  for (const DataFile& f : RaceLooseFiles()) files.push_back(f);
  for (const DataFile& f : RaceKitTextureLooseFiles()) files.push_back(f);
  for (const DataFile& f : MenuLooseFiles()) files.push_back(f);
  return files;
}

void AddBootFiles(PakSet* set, uint8_t method) {
  for (const DataFile& f : BootArchiveFiles()) set->archives[f.archive - 1].AddFile(f.path, f.data, method);
}

bool WriteLooseFiles(const std::vector<DataFile>& files, const std::string& folder, std::string* error) {
  for (const DataFile& f : files) {
    std::string path = f.path;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!WriteFile(folder + "/" + path, f.data)) {
      if (error) *error = "cannot write " + folder + "/" + path;
      return false;
    }
  }
  return true;
}

}  // namespace datakit
