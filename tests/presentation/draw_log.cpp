// The back-end and effect calls of the vehicle drawing, logged into gDrawn
// and passed on.
#include "backend_common/draw.h"
#include "draw_fixture.h"
#include "presentation/presentation.h"
#include "race/vehicle_steps.h"

std::vector<Drawn> gDrawn;
bool gLogDraws;

std::vector<Drawn> DrawnCalls(const std::string& call) {
  std::vector<Drawn> out;
  for (const Drawn& d : gDrawn)
    if (d.call == call) out.push_back(d);
  return out;
}

namespace {

// Faces an object routine draws belong to it and are not logged.
int gInsideObject;

void LogObject(const char* call, DrawSlot* slot, MeshHeader* mesh, float factor = 0.0f) {
  if (!gLogDraws || gInsideObject) return;
  Drawn d;
  d.call = call;
  d.mesh = mesh;
  if (slot) d.slot = *slot;
  d.factor = factor;
  if (mesh && mesh->vertexCount && mesh->vertices) d.first = mesh->vertices[0];
  gDrawn.push_back(d);
}

void LogFace(const char* call, Face* face) {
  if (!gLogDraws || gInsideObject || !face) return;
  Drawn d;
  d.call = call;
  d.face = *face;
  // The vehicle drawing points the vertex array at a model's own while it
  // draws the model's faces itself.
  d.mesh = gRdrObjectVertexCount >= 0 ? MeshOfVertices(gMesh.vertices) : nullptr;
  for (int i = 0; i < face->vertexCount && i < 4; ++i) d.corners.push_back(gMesh.vertices[face->index[i]]);
  gDrawn.push_back(d);
}

void LogCall(const char* call, const void* owner, int32_t a = 0, int32_t b = 0, int32_t c = 0) {
  if (!gLogDraws || gInsideObject) return;
  Drawn d;
  d.call = call;
  d.owner = owner;
  d.args[0] = a;
  d.args[1] = b;
  d.args[2] = c;
  gDrawn.push_back(d);
}

struct Inside {
  Inside() { ++gInsideObject; }
  ~Inside() { --gInsideObject; }
};

}  // namespace

extern "C" {
void __real__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z24RdrDrawObjectLitTwoSidedP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z20RdrDrawObjectBlendedP8DrawSlotP10MeshHeaderjf(DrawSlot*, MeshHeader*, uint32_t, float);
void __real__Z15RdrDrawFaceFlatP4Face(Face*);
void __real__Z16RdrDrawFaceDecalP4Face(Face*);
void __real__Z18RdrDrawFaceGouraudP4Face(Face*);
void __real__Z17RdrDrawFaceTexLitP4Face(Face*);
void __real__Z16RdrColourLightOnv();
void __real__Z17RdrColourLightOffv();
void __real__Z14LightSetColouriii(int32_t, int32_t, int32_t);
void __real__Z16RdrSetDepthRangeii(int32_t, int32_t);
void __real__Z18FxSpawnVehicleFireP7Vehicle(Vehicle*);
void __real__Z20FxSpawnExhaustFlamesP7Vehicle(Vehicle*);
void __real__Z15FxDrawTyreTrailP10WheelState(WheelState*);
void __real__Z17VehicleDrawShadowP7Vehicle(Vehicle*);
void __real__Z20VehicleAnimateDriverP10MeshHeaderP7Vehicle(MeshHeader*, Vehicle*);

void __wrap__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  LogObject("Object", s, m);
  Inside inside;
  __real__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  LogObject("Lit", s, m);
  Inside inside;
  __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z24RdrDrawObjectLitTwoSidedP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  LogObject("LitTwoSided", s, m);
  Inside inside;
  __real__Z24RdrDrawObjectLitTwoSidedP8DrawSlotP10MeshHeader(s, m);
}
void __wrap__Z20RdrDrawObjectBlendedP8DrawSlotP10MeshHeaderjf(DrawSlot* s, MeshHeader* m, uint32_t t, float f) {
  LogObject("Blended", s, m, f);
  Inside inside;
  __real__Z20RdrDrawObjectBlendedP8DrawSlotP10MeshHeaderjf(s, m, t, f);
}
void __wrap__Z15RdrDrawFaceFlatP4Face(Face* f) {
  LogFace("Flat", f);
  __real__Z15RdrDrawFaceFlatP4Face(f);
}
void __wrap__Z16RdrDrawFaceDecalP4Face(Face* f) {
  LogFace("Decal", f);
  __real__Z16RdrDrawFaceDecalP4Face(f);
}
void __wrap__Z18RdrDrawFaceGouraudP4Face(Face* f) {
  LogFace("Gouraud", f);
  __real__Z18RdrDrawFaceGouraudP4Face(f);
}
void __wrap__Z17RdrDrawFaceTexLitP4Face(Face* f) {
  LogFace("TexLit", f);
  __real__Z17RdrDrawFaceTexLitP4Face(f);
}
void __wrap__Z16RdrColourLightOnv() {
  LogCall("ColourOn", nullptr);
  __real__Z16RdrColourLightOnv();
}
void __wrap__Z17RdrColourLightOffv() {
  LogCall("ColourOff", nullptr);
  __real__Z17RdrColourLightOffv();
}
void __wrap__Z14LightSetColouriii(int32_t r, int32_t g, int32_t b) {
  LogCall("LightColour", nullptr, r, g, b);
  __real__Z14LightSetColouriii(r, g, b);
}
void __wrap__Z16RdrSetDepthRangeii(int32_t n, int32_t f) {
  LogCall("DepthRange", nullptr, n, f);
  __real__Z16RdrSetDepthRangeii(n, f);
}
void __wrap__Z18FxSpawnVehicleFireP7Vehicle(Vehicle* v) {
  LogCall("Fire", v);
  __real__Z18FxSpawnVehicleFireP7Vehicle(v);
}
void __wrap__Z20FxSpawnExhaustFlamesP7Vehicle(Vehicle* v) {
  LogCall("Flames", v);
  __real__Z20FxSpawnExhaustFlamesP7Vehicle(v);
}
void __wrap__Z15FxDrawTyreTrailP10WheelState(WheelState* w) {
  LogCall("Trail", w);
  __real__Z15FxDrawTyreTrailP10WheelState(w);
}
void __wrap__Z17VehicleDrawShadowP7Vehicle(Vehicle* v) {
  LogCall("Shadow", v);
  __real__Z17VehicleDrawShadowP7Vehicle(v);
}
void __wrap__Z20VehicleAnimateDriverP10MeshHeaderP7Vehicle(MeshHeader* m, Vehicle* v) {
  if (gLogDraws) {
    Drawn d;
    d.call = "Animate";
    d.mesh = m;
    d.owner = v;
    gDrawn.push_back(d);
  }
  __real__Z20VehicleAnimateDriverP10MeshHeaderP7Vehicle(m, v);
}
}
