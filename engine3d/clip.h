// Sutherland-Hodgman clipping of one convex polygon against one plane per
// call, in 64-bit floating point, between two work lists. The visibility tests
// use it to decide whether a quad shows; it keeps only the coordinates that
// the following steps read.
#pragma once
#include <cstdint>

struct ClipVertex {
  double x, y, z;
};
static_assert(sizeof(ClipVertex) == 24);

// The outline clippers' vertex: the first and second coordinate.
struct ClipPoint {
  double a, b;
};
static_assert(sizeof(ClipPoint) == 16);

constexpr int32_t CLIP_LIST_BYTES = 8000;
constexpr int32_t CLIP_LIST_VERTICES = CLIP_LIST_BYTES / sizeof(ClipVertex);
constexpr int32_t CLIP_LIST_POINTS = CLIP_LIST_BYTES / sizeof(ClipPoint);

// One work list: polygon clippers use `vertex`, outline clippers `point`.
union ClipList {
  ClipVertex vertex[CLIP_LIST_VERTICES];
  ClipPoint point[CLIP_LIST_POINTS];
};

struct ClipState {
  // The caller fills `input` with count + 1 vertices (the first repeated
  // after the last); each call leaves its result there again.
  ClipList* input;
  ClipList* output;
  int32_t count;
  float left, right, top, bottom;
  float nearPlane, farPlane;
  uint8_t clipped;
};
extern ClipState gClip;

// The two work lists the pointers of gClip start on; they live as long as
// the program.
extern ClipList gClipLists[2];

void ClipPolyMinX();
void ClipPolyMaxX();
void ClipPolyMinY();
void ClipPolyMaxY();
void ClipPolyNear();
void ClipPolyFar();
void ClipOutlineMinX();
void ClipOutlineMaxX();
void ClipOutlineNear();
void ClipOutlineFar();
