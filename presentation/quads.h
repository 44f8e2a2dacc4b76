// The screen-plane quads of the race presentation: one four-cornered face
// built in the scratch room just past the used part of the current mesh pools
// (the counts stay as they are) and drawn at once.
#pragma once
#include <cstdint>

struct Face;

// The HUD pictures' top byte over their texture id.
constexpr uint32_t QUAD_PICTURE_TYPE = 0x2000000;
constexpr float QUAD_HUD_DEPTH = 20.0f;

// A face with corners (x0, y0), (x1, y0), (x1, y1), (x0, y1) at `depth`, the
// vertices and face otherwise zeroed; null when the scratch room is not there.
Face* QuadBuild(float x0, float y0, float x1, float y1, float depth);
// Texture coordinates in texels, one (s, t) pair a corner in corner order.
void QuadSetTexels(Face* face, const float st[8]);
// A HUD picture: texels (s0, t0) to (s1, t1) of `texture` over the rectangle,
// at the HUD depth, drawn as a decal.
void QuadDrawPicture(float x0, float y0, float x1, float y1, uint32_t texture, float s0, float t0, float s1,
                     float t1);
