// Until knocked objects exist: every placed object stands when hit, and the
// solid kinds are read from the object-type table.
#include "engine3d/mesh.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/track_files.h"

uint8_t DecorKnockObject(DrawSlot*, Vehicle*) { return 0; }

uint8_t FxObjectKindIs4Or5(const DrawSlot* object) {
  if (!object || !object->visible || object->user >= static_cast<uint32_t>(gPlacementCount)) return 0;
  const uint16_t type = gPlacements[object->user].type;
  if (type >= OBJECT_TYPE_ROWS) return 0;
  const uint8_t kind = gObjectTypes[type].hitKind;
  return kind == 4 || kind == 5 ? 1 : 0;
}
