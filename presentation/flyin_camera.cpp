// The fly-in camera stands alone, so that the race trace can read it
// without drawing in the rest of the presentation.
#include "presentation/flyin.h"

Camera gFlyInCamera;
