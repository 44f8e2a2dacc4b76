#include "hal/keep_loaded.h"

#include <dlfcn.h>
#include <link.h>

void HalKeepLoadedLibraries() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (info->dlpi_name && info->dlpi_name[0]) {
          // NOLOAD finds the library already there; NODELETE pins it; the
          // reference this takes is never given back, on purpose.
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
}
