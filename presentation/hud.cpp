// Until the HUD exists: the view shows the race messages only. They must
// be drawn every frame, since the end of the countdown starts the race.
#include "presentation/messages.h"
#include "presentation/presentation.h"

void HudDrawView() { HudDrawMessages(); }
void HudDrawSplitView(Vehicle*, int32_t) {}
