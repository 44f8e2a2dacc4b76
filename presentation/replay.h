// The replay views of a race nobody drives: the television-style camera that
// cuts between the track's camera spots and, now and then, follows a car
// close up (the attract demo and the credits backdrop); the demo's frame with
// its advertising panels and picture-in-picture; the credits' windows; and
// the rear-view mirror of a driven race.
//
// gReplayCamera and gReplayCut are written by the replay camera step and the
// picks; gReplayView by the demo and credits loops and frames. The follow
// shot's kind, distance and angles are kept for the whole run of the
// program: a new replay goes on from where the last one left them. The race
// trace reads all three.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"

struct CameraSpot;
struct Vehicle;
struct TextureTableEntry;

struct ReplayCutState {
  CameraSpot* current;   // the spot the camera stands at; null during none
  CameraSpot* previous;  // the one before it
  float holdTime;        // above 0 while a follow shot runs, in frame units
  float sinceCut;        // frame units since the last cut, counting down from 25
  float baseScaleX, baseScaleY;  // the display's projection scale when the replay began
  int32_t followKind;    // 0 orbit, 1 fly-by, 2 bonnet
  float followDistance;
  float followA, followB;  // angle units; they keep turning from shot to shot
};

struct ReplayViewState {
  float insetTimer;       // frame units since the picture-in-picture (or the credits' car) last changed
  int32_t insetShown;
  int32_t insetPosition;  // the demo's corner 0..3, or the credits' table index 0..5
  Vehicle* insetVehicle;
  float insetAngle;
  int32_t windowX, windowY;  // the credits' 320 x 200 window
  int32_t randomIndex;       // where the credits draw their next window position
  Camera insetCamera;
  // What the trace shows of the running loop: the demo's fade (-1 none) and
  // the milliseconds of its timer as the loop last read them.
  float fade;
  uint32_t elapsedMs;
  // The panels found by name when the demo began; null when missing.
  TextureTableEntry* panels[2];
};

extern Camera gReplayCamera;
extern ReplayCutState gReplayCut;
extern ReplayViewState gReplayView;

// The replay camera.
constexpr int32_t REPLAY_TIMER = 2;
float ReplaySpotDistance(const Camera* position, const CameraSpot* spot);
int32_t ReplayVehicleUnsettled(const Vehicle* vehicle);
void ReplayCamPickNearest();
void ReplayCamPick(int32_t forced);
void ReplayCamFollowStart(const Camera* pose);
void ReplayCamFollowStep(const Camera* pose);
void ReplayCamStep();

// The attract demo and its frames.
constexpr uint32_t REPLAY_DEMO_MS = 90000;
constexpr uint32_t REPLAY_FADE_FROM_MS = 84000;
void ReplayRunAttract(int32_t repeat);
void ReplayFrameRender();
void ReplayDrawPanel(TextureTableEntry* texture, int32_t x);

// The credits backdrop.
constexpr uint32_t REPLAY_CREDITS_TRACK_MS = 37000;
constexpr int32_t REPLAY_CREDITS_WIDTH = 320, REPLAY_CREDITS_HEIGHT = 200;
void ReplayRunCreditsDemo(uint16_t* buffer);
int32_t ReplayCreditsFrame();
void ReplayCreditsCamera();
void ReplayCreditsPlaceWindow();

// The mirror's pass of the track's own extras.
void ViewDrawTrackExtras(int32_t effects);
