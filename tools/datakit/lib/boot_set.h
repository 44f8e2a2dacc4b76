// The files the game needs to start: the intro and game-over pictures, a
// few textures of each format, and a few models with their textures.
#pragma once
#include <string>
#include <vector>

#include "tools/datakit/lib/bytes.h"
#include "tools/datakit/lib/pak_writer.h"

namespace datakit {

struct DataFile {
  int archive;       // 1..7: the archive it belongs in ("rur<archive>.pak")
  std::string path;  // its game path
  Bytes data;
};

// The sample models (rur1.pak) and their textures (rur2.pak).
std::vector<DataFile> ModelFiles();
struct ModelTexture {
  std::string name;  // without extension
  uint32_t format, width, height, seed;
};
std::vector<ModelTexture> ModelTextures();

// What the archives hold.
std::vector<DataFile> BootArchiveFiles();
// What is read from the disk even when the archives are mounted (.3DF textures).
std::vector<DataFile> BootLooseFiles();

void AddBootFiles(PakSet* set, uint8_t method = PACK_SMALLEST);
// Writes files under `folder` at their game paths (backslashes become folders).
bool WriteLooseFiles(const std::vector<DataFile>& files, const std::string& folder, std::string* error);

}  // namespace datakit
