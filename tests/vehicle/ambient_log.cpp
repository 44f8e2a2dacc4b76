// The calls of the ambient vehicle and the shadow, logged into gAmbientDrawn
// and passed on.
#include "ambient_log.h"

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "race/vehicle.h"

std::vector<AmbientDrawn> gAmbientDrawn;

std::vector<AmbientDrawn> AmbientCalls(const std::string& call) {
  std::vector<AmbientDrawn> out;
  for (const AmbientDrawn& d : gAmbientDrawn)
    if (d.call == call) out.push_back(d);
  return out;
}

std::vector<std::string> AmbientCallNames() {
  std::vector<std::string> out;
  for (const AmbientDrawn& d : gAmbientDrawn) out.push_back(d.call);
  return out;
}

namespace {

// Faces an object routine draws belong to it and are not logged.
int gInsideObject;

void Log(const char* call) {
  if (gInsideObject) return;
  AmbientDrawn d;
  d.call = call;
  gAmbientDrawn.push_back(d);
}

void LogFace(const char* call, const Face* face) {
  if (gInsideObject || !face) return;
  AmbientDrawn d;
  d.call = call;
  d.face = *face;
  for (int i = 0; i < face->vertexCount && i < 4; ++i) d.corners.push_back(gMesh.vertices[face->index[i]]);
  gAmbientDrawn.push_back(d);
}

void LogObject(const char* call, const DrawSlot* slot) {
  AmbientDrawn d;
  d.call = call;
  if (slot) d.slot = *slot;
  gAmbientDrawn.push_back(d);
}

}  // namespace

extern "C" {
void __real__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot*, MeshHeader*);
void __real__Z15RdrDrawFaceFlatP4Face(Face*);
void __real__Z20RdrDrawFaceFlatAlphaP4Face(Face*);
void __real__Z16RdrDepthWriteOffv();
void __real__Z15RdrDepthWriteOnv();
void __real__Z25FxSpawnAmbientVehicleDustfffff(float, float, float, float, float);
void __real__Z23SfxUpdateAmbientVehicleP7Vehicle(Vehicle*);
void __real__Z17VehicleDrawShadowP7Vehicle(Vehicle*);

void __wrap__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  LogObject("Object", s);
  ++gInsideObject;
  __real__Z13RdrDrawObjectP8DrawSlotP10MeshHeader(s, m);
  --gInsideObject;
}
void __wrap__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(DrawSlot* s, MeshHeader* m) {
  LogObject("Lit", s);
  ++gInsideObject;
  __real__Z16RdrDrawObjectLitP8DrawSlotP10MeshHeader(s, m);
  --gInsideObject;
}
void __wrap__Z15RdrDrawFaceFlatP4Face(Face* f) {
  LogFace("Flat", f);
  __real__Z15RdrDrawFaceFlatP4Face(f);
}
void __wrap__Z20RdrDrawFaceFlatAlphaP4Face(Face* f) {
  LogFace("FlatAlpha", f);
  __real__Z20RdrDrawFaceFlatAlphaP4Face(f);
}
void __wrap__Z16RdrDepthWriteOffv() {
  Log("DepthWriteOff");
  __real__Z16RdrDepthWriteOffv();
}
void __wrap__Z15RdrDepthWriteOnv() {
  Log("DepthWriteOn");
  __real__Z15RdrDepthWriteOnv();
}
void __wrap__Z25FxSpawnAmbientVehicleDustfffff(float x, float y, float z, float size, float rate) {
  AmbientDrawn d;
  d.call = "Dust";
  const float args[5] = {x, y, z, size, rate};
  for (int i = 0; i < 5; ++i) d.args[i] = args[i];
  gAmbientDrawn.push_back(d);
  __real__Z25FxSpawnAmbientVehicleDustfffff(x, y, z, size, rate);
}
void __wrap__Z23SfxUpdateAmbientVehicleP7Vehicle(Vehicle* v) {
  Log("Sound");
  __real__Z23SfxUpdateAmbientVehicleP7Vehicle(v);
}
void __wrap__Z17VehicleDrawShadowP7Vehicle(Vehicle* v) {
  Log("Shadow");
  __real__Z17VehicleDrawShadowP7Vehicle(v);
}
}
