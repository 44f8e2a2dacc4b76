// The track presentation before a race (a relief model of the track turning
// on a black screen while the course line grows onto it, then a zoom toward
// the start that fades to black) and the start fly-in from the model's view
// down onto the chase camera. Written only by these routines; the race frame
// reads gFlyInCamera while gRace.flyInActive is set.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"

constexpr int32_t TRACK_MODEL_COLUMNS = 64;
constexpr int32_t TRACK_MODEL_ROWS = 32;
constexpr int32_t TRACK_MODEL_VERTICES = TRACK_MODEL_COLUMNS * TRACK_MODEL_ROWS;                   // 2048
constexpr int32_t TRACK_MODEL_FACES = 2 * (TRACK_MODEL_COLUMNS - 1) * (TRACK_MODEL_ROWS - 1);     // 3906
constexpr uint32_t TRACK_MODEL_WATER_WORD = 0x006E8000;
constexpr int32_t TRACK_SHOW_TIMER = 2;

struct TrackShowState {
  MeshHeader model;  // its arrays come from the pool while the presentation runs
  DrawSlot object;   // where the model stands before the camera
  float furtherField;
  float waterHeight;  // scaled into the model
  float reveal;       // course-line points shown so far
  int32_t fixedLength;
  float raceScaleX, raceScaleY;
  float zoomEndScaleX, zoomEndScaleY;
};
extern TrackShowState gTrackShow;
extern Camera gFlyInCamera;

// 1 when the model was built, 0 when its arrays could not be had (the pool
// reported it); gFlyInCamera and the model's place are set either way.
int32_t ViewBuildTrackModel();
void ViewTrackModelMarkWater(Face* face);
// -> 1 once the course line and 2000 points more have been shown.
int32_t ViewDrawTrackInfo();
void ViewDrawRaceLinePost(float x, float z, int32_t colourStep);
void ViewRunTrackZoom(float yaw);
// The words of the distance line in the program's edition.
const char* ViewDistanceWord();
const char* ViewMetreWord();
