// The current camera and its view matrix, the object matrix, the rotation
// matrix of three angles, the directional light, and the helpers that move a
// mesh between animation frames.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// Caller-owned; the angles are Angle10 units held as floats.
struct Camera {
  float x, y, z;
  float pitch, heading, roll;
};
static_assert(sizeof(Camera) == 24);

struct Light {
  float directionX, directionY, directionZ;
  float intensity;
  float ambient;
};
static_assert(sizeof(Light) == 20);

struct CameraState {
  float x, y, z;
  uint16_t pitch, heading, roll;  // 0..1023
  float view[9];                  // rows V0, V1, V2
  float sinPitch, cosPitch, sinHeading, cosHeading, sinRoll, cosRoll;
  uint16_t objectAngle[3];
  float object[9];
};
extern CameraState gCamera;

// A light that brightens the world vertices inside its box. Caller-owned;
// the lists of gLight point at it.
struct PointLight {
  float x, y, z;
  float radius;
  float strength;
  float boxMinX, boxMaxX, boxMinY, boxMaxY, boxMinZ, boxMaxZ;  // position -/+ radius
};
static_assert(sizeof(PointLight) == 44);

constexpr int32_t POINT_LIGHTS_MAX = 20;

struct LightState {
  float directionX, directionY, directionZ;  // length 1024
  float intensity;
  float ambient;  // 0..63, the floor of every vertex light value
  float red, green, blue;
  float redFactor, greenFactor, blueFactor;  // colour / 64
  // Set once the world vertices were lit with point lights: their light
  // levels are then kept by LightResetWorldLevels.
  uint8_t pointsApplied;
  PointLight* points[POINT_LIGHTS_MAX];
  int32_t pointCount;
  PointLight* moving[POINT_LIGHTS_MAX];  // lights that follow their draw slot
  int32_t movingCount;
};
extern LightState gLight;

void MatFromAngles(int32_t a, int32_t b, int32_t c, float out[9]);
void MatObjectFromAngles();
void MatViewFromCamera();

void CamSet(const Camera* camera);
void CamSetAdvance(Camera* camera, float distance);
void CamStepAlong(Camera* camera, float distance);
int32_t VisFaceDepth(const Face* face);

// Also empties both point-light lists.
void LightSet(Light* light);
void LightSetColour(int32_t red, int32_t green, int32_t blue);
void LightResetWorldLevels();
// Keeps the light last applied to the world in gGrid and raises its relight
// flag when it changed.
void GridSetLight(float directionX, float directionY, float directionZ, float intensity, float ambient);
// The world light value of one vertex from its normal and the light; stored
// in the vertex's light field (its level byte is left alone).
float LightWorldVertex(Vertex* vertex);
// The directional light as LightSet, then each point light registered as a
// static draw slot (with LightCollectPoint) and listed, at most 20; then every
// vertex of the current mesh lit by both, into its light value and level.
void LightSetWithPoints(Light* light, PointLight* points, int32_t count);
// Draw callbacks of a point light's slot: list the light when the slot lies
// within its radius of the view depths. The moving form first moves the light
// to the slot.
void LightCollectPoint(DrawSlot* slot, void* light);
void LightCollectMoving(DrawSlot* slot, void* light);

void MeshLerpFrames(MeshHeader* mesh, const MeshFrameSet* set, uint32_t a, uint32_t b, float t, float n);
void MeshSetFrame(MeshHeader* mesh, const MeshFrameSet* set, uint32_t frame);
void MeshBlendToFrame(MeshHeader* mesh, const MeshFrameSet* set, uint32_t frame, float t, float n);
