#include "frontend/menu_view.h"

#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"

void MenuSetCamera() {
  // A camera at angles 0 sees x and y the other way round from the screen
  // (world y points up, and x runs to the left), which would turn every drum
  // and button half round about the middle of the screen, to (640 - x, 480 -
  // y) and upside down. Rolling the menu camera half a turn (512) turns both
  // axes back: its view matrix is the identity, to a few parts in 10^8, and
  // the 3D library keeps the one convention the race draws with. A half turn
  // is a rotation, not a mirror, so the back-face test keeps the same faces.
  constexpr float HALF_TURN = 512.0f;
  Camera camera{320.0f, 240.0f, -500.0f, 0.0f, 0.0f, HALF_TURN};
  CamSet(&camera);
  MatViewFromCamera();
}

void MenuSetLight() {
  // Shining along the view, as a face's normal points into the face: 32 + 31
  // = 63 on a face that looks at the screen, 32 on one seen edge on.
  Light light{0.0f, 0.0f, 1.0f, 31.0f, 0.0f};
  LightSet(&light);
}

void MenuDrawLitAt(MeshHeader* mesh, float x, float y) {
  Vertex place{};
  place.x = x;
  place.y = y;
  RdrProjectVertex(&place);
  DrawSlot slot{};
  slot.x = x;
  slot.y = y;
  slot.viewX = place.viewX;
  slot.viewY = place.viewY;
  slot.viewZ = place.viewZ;
  RdrDrawObjectLit(&slot, mesh);
}
