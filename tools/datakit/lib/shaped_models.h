// Object models built from a few solids so that a drawn frame shows what
// each is: the snow track's firs, chalets, church, lift pylons, gondola
// cabin and skiers; the volcano's rocks, burnt trees, lamps and barriers; the
// savanna's palms, acacias, huts and the elephant's six walk frames; boue's
// lightning bolts and the looping track's moon.
#pragma once
#include <string>
#include <vector>

#include "tools/datakit/lib/boot_set.h"

namespace datakit {

// "others\<name>.3ds" of every shaped row, with the elephant's frames
// "others\saelef2.3ds".."saelef6.3ds".
std::vector<DataFile> ShapedObjectModelFiles();
// Whether `name` (a row's model name) is among them.
bool IsShapedObjectModel(const std::string& name);

}  // namespace datakit
