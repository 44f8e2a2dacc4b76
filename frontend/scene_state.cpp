// The flag the character scenes raise while one is shown.
#include "frontend/frontend.h"

uint8_t gSceneShown;
