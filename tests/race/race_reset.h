// The world pools and the race's globals as a fresh race test wants them,
// on whichever back end the test has opened: pools allocated anew, the race
// at 25 frames a second with its two view cameras, no assets, models or
// vehicles from an earlier load (forgotten with their pool, not freed).
#pragma once
#include "backend_common/display.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/vehicle.h"
#include "race/vehicle_steps.h"

inline void ResetRaceForTest(Camera* first, Camera* second) {
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocStatic(DRAW_LIST_STATIC);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  gRace = RaceState{};
  gRace.frameRate = 25.0f;
  gRace.timeStep = 1.0f;
  gRace.viewDistance = 1700.0f;
  gRace.viewHeight = gRdrState.screenHeight;
  gRace.gViewCamera[0] = first;
  gRace.gViewCamera[1] = second;
  gAssets = AssetState{};
  ObjectTypesReset();
  for (MeshHeader*& m : gObjectModels) m = nullptr;
  gPlayer1 = VehiclePlayer1Initial();
  for (Vehicle& v : gVehicleRecords) v = Vehicle{};
  for (Vehicle*& v : gVehicleTable) v = nullptr;
  gPlayer1Vehicle = &gPlayer1;
  gPlayer2Vehicle = &gVehicleRecords[0];
  gOptions = Options{};
  gOptions.detail[3] = 1;
  gNetParticipants = NetParticipants{};
}
