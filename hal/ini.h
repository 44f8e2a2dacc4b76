// Settings files of the INI kind: "[section]" lines and "key=value" lines
// under them. Only reading one key is needed.
#pragma once
#include <string>

// The text of `key` in `section` of the file at `gamePath` (found as every
// game path is, hal/fs.h), without the blanks around it. Section and key
// names match in any case; the first match wins. `fallback` (null: empty)
// comes back when the file, the section or the key is missing.
std::string HalIniReadString(const char* gamePath, const char* section, const char* key, const char* fallback);
