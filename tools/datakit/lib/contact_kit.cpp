#include "tools/datakit/lib/contact_kit.h"

namespace datakit {

void AppendDesertContactObjects(std::vector<KitPlacement>* out, float (*ground)(float, float), float outZ,
                                float backZ) {
  constexpr uint16_t CHATO = 13, BIDON = 17, BARRIERE = 19, CHECKP = 20;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out->push_back({yaw, 0, 0xFF, type, x, ground(x, z), z});
  };
  // Two more gates across the course where it turns back.
  at(CHECKP, 256, 8600.0f, outZ);
  at(CHECKP, 768, 8600.0f, backZ);
  // Fence panels end to end along the inside of the way back.
  for (int i = 0; i < KIT_FENCE; ++i) at(BARRIERE, 0, KIT_FENCE_X + 15.0f * static_cast<float>(i), backZ + 120.0f);
  at(CHATO, 0, KIT_BUILDING_X, outZ + KIT_BUILDING_DZ);
  // More drums than one cell holds.
  for (int i = 0; i < KIT_CROWD; ++i)
    at(BIDON, 0, KIT_CROWD_X + 20.0f + 30.0f * static_cast<float>(i % 6),
       KIT_CROWD_Z + 20.0f + 40.0f * static_cast<float>(i / 6));
}

}  // namespace datakit
