// How the menus see their 3D parts (the drum rings, the push buttons and the
// drum arrows): the one menu camera, the menu light, and a part drawn at its
// place on the screen.
#pragma once

struct MeshHeader;

// The menus place their 3D parts in screen pixels, x to the right and y down,
// at depth 0: the camera stands 500 units in front of that plane over the
// middle of the 640 x 480 screen, so at the menus' projection scale of 500 a
// point of the plane lands on its own pixel. Makes it the current camera and
// builds its view matrix.
void MenuSetCamera();
// The light of the menu scene: straight from the viewer, so a face turned
// to the screen is lit fully and one seen edge on by half.
void MenuSetLight();
// Draws the mesh lit, turned by its own angles, at the screen place (x, y)
// of the menu camera's plane; the object routines take the place's view
// depth from here.
void MenuDrawLitAt(MeshHeader* mesh, float x, float y);
