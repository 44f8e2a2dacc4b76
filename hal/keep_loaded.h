// Keeps every shared library loaded so far in memory until the process ends.
#pragma once

// Called once a graphics driver is up: the drivers load further libraries of
// their own and unload them again on the way out, and an allocation those
// libraries keep for the life of the process would then be reported by the
// leak checker against a module it can no longer name, past any suppression
// by library name (scripts/lsan.supp). Costs nothing else: the game never
// unloads a driver it still needs.
void HalKeepLoadedLibraries();
