// The language edition the program was built for (CMake's TORVANE_EDITION).
// Only built-in texts differ between editions; code picks its texts with
// these constants rather than testing the build switch itself.
#pragma once

enum Edition { EDITION_GERMAN, EDITION_ITALIAN, EDITION_SPANISH, EDITION_PORTUGUESE };

#if defined(TORVANE_EDITION_IT)
constexpr Edition LAUNCHER_EDITION = EDITION_ITALIAN;
#elif defined(TORVANE_EDITION_ES)
constexpr Edition LAUNCHER_EDITION = EDITION_SPANISH;
#elif defined(TORVANE_EDITION_PT)
constexpr Edition LAUNCHER_EDITION = EDITION_PORTUGUESE;
#else
constexpr Edition LAUNCHER_EDITION = EDITION_GERMAN;
#endif

// The games have no Portuguese texts: a Portuguese build's games are German.
constexpr Edition GAME_EDITION = LAUNCHER_EDITION == EDITION_PORTUGUESE ? EDITION_GERMAN : LAUNCHER_EDITION;
