#include "engine3d/clip.h"

ClipList gClipLists[2];
ClipState gClip = {&gClipLists[0], &gClipLists[1], 0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0};

namespace {

enum Axis { AXIS_X, AXIS_Y, AXIS_Z };

double& Coord(ClipVertex& v, Axis axis) { return axis == AXIS_X ? v.x : axis == AXIS_Y ? v.y : v.z; }
double Coord(const ClipVertex& v, Axis axis) { return axis == AXIS_X ? v.x : axis == AXIS_Y ? v.y : v.z; }

bool Inside(double c, double limit, bool keepAbove) { return keepAbove ? c >= limit : c <= limit; }

// u at the crossing, from the base endpoint: the one with the smaller first
// coordinate, the current vertex on a tie, so that an edge shared by two
// polygons is cut at the same point whichever way it is walked.
double Crossing(double firstPrev, double firstCur, double cPrev, double cCur, double uPrev, double uCur, double limit) {
  bool baseIsCurrent = firstCur <= firstPrev;
  double bc = baseIsCurrent ? cCur : cPrev, oc = baseIsCurrent ? cPrev : cCur;
  double bu = baseIsCurrent ? uCur : uPrev, ou = baseIsCurrent ? uPrev : uCur;
  return bu + (limit - bc) * (ou - bu) / (oc - bc);
}

int32_t InputCount(int32_t capacity) {
  if (gClip.count < 0) return 0;
  return gClip.count > capacity - 1 ? capacity - 1 : gClip.count;
}

void Finish(int32_t appended, bool polygon) {
  if (polygon) gClip.output->vertex[appended] = gClip.output->vertex[0];
  else gClip.output->point[appended] = gClip.output->point[0];
  ClipList* swap = gClip.input;
  gClip.input = gClip.output;
  gClip.output = swap;
  gClip.count = appended;
}

// The polygon clippers. `carriesZ`: the near and far planes keep all three
// coordinates; the screen edges only x and y (z is no longer needed there).
void ClipPoly(Axis axis, double limit, bool keepAbove) {
  gClip.clipped = 1;
  const bool carriesZ = axis == AXIS_Z;
  const Axis other = axis == AXIS_X ? AXIS_Y : AXIS_X;
  const int32_t count = InputCount(CLIP_LIST_VERTICES);
  // Room is kept for the closing copy; a convex polygon gains at most one vertex a plane.
  const int32_t room = CLIP_LIST_VERTICES - 1;
  const ClipVertex* in = gClip.input->vertex;
  ClipVertex* out = gClip.output->vertex;
  int32_t n = 0;
  ClipVertex prev = in[0];
  bool prevInside = Inside(Coord(prev, axis), limit, keepAbove);
  for (int32_t i = 1; i <= count; ++i) {
    const ClipVertex cur = in[i];
    bool curInside = Inside(Coord(cur, axis), limit, keepAbove);
    if (prevInside && n < room) {
      out[n].x = prev.x;
      out[n].y = prev.y;
      if (carriesZ) out[n].z = prev.z;
      ++n;
    }
    if (prevInside != curInside && n < room) {
      ClipVertex& c = out[n++];
      if (carriesZ) {
        c.z = limit;
        c.x = Crossing(prev.x, cur.x, prev.z, cur.z, prev.x, cur.x, limit);
        c.y = Crossing(prev.x, cur.x, prev.z, cur.z, prev.y, cur.y, limit);
      } else {
        Coord(c, axis) = limit;
        Coord(c, other) = Crossing(prev.x, cur.x, Coord(prev, axis), Coord(cur, axis), Coord(prev, other),
                                   Coord(cur, other), limit);
      }
    }
    prev = cur;
    prevInside = curInside;
  }
  Finish(n, true);
}

// The outline clippers: `interpolates` for near and far, which cut along the
// second coordinate and carry both; the edge clippers keep only the first.
void ClipOutline(bool onSecond, double limit, bool keepAbove) {
  gClip.clipped = 1;
  const int32_t count = InputCount(CLIP_LIST_POINTS);
  const int32_t room = CLIP_LIST_POINTS - 1;
  const ClipPoint* in = gClip.input->point;
  ClipPoint* out = gClip.output->point;
  int32_t n = 0;
  ClipPoint prev = in[0];
  bool prevInside = Inside(onSecond ? prev.b : prev.a, limit, keepAbove);
  for (int32_t i = 1; i <= count; ++i) {
    const ClipPoint cur = in[i];
    bool curInside = Inside(onSecond ? cur.b : cur.a, limit, keepAbove);
    if (prevInside && n < room) {
      out[n].a = prev.a;
      if (onSecond) out[n].b = prev.b;
      ++n;
    }
    if (prevInside != curInside && n < room) {
      ClipPoint& c = out[n++];
      if (onSecond) {
        c.b = limit;
        c.a = Crossing(prev.a, cur.a, prev.b, cur.b, prev.a, cur.a, limit);
      } else {
        c.a = limit;
      }
    }
    prev = cur;
    prevInside = curInside;
  }
  Finish(n, false);
}

}  // namespace

void ClipPolyMinX() { ClipPoly(AXIS_X, gClip.left, true); }
void ClipPolyMaxX() { ClipPoly(AXIS_X, gClip.right, false); }
void ClipPolyMinY() { ClipPoly(AXIS_Y, gClip.top, true); }
void ClipPolyMaxY() { ClipPoly(AXIS_Y, gClip.bottom, false); }
void ClipPolyNear() { ClipPoly(AXIS_Z, gClip.nearPlane, true); }
void ClipPolyFar() { ClipPoly(AXIS_Z, gClip.farPlane, false); }
void ClipOutlineMinX() { ClipOutline(false, gClip.left, true); }
void ClipOutlineMaxX() { ClipOutline(false, gClip.right, false); }
void ClipOutlineNear() { ClipOutline(true, gClip.nearPlane, true); }
void ClipOutlineFar() { ClipOutline(true, gClip.farPlane, false); }
