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

struct LightState {
  float directionX, directionY, directionZ;  // length 1024
  float intensity;
  float ambient;  // 0..63, the floor of every vertex light value
  float red, green, blue;
  float redFactor, greenFactor, blueFactor;  // colour / 64
  uint8_t pointsApplied;
};
extern LightState gLight;

void MatFromAngles(int32_t a, int32_t b, int32_t c, float out[9]);
void MatObjectFromAngles();
void MatViewFromCamera();

void CamSet(const Camera* camera);
void CamSetAdvance(Camera* camera, float distance);
void CamStepAlong(Camera* camera, float distance);
int32_t VisFaceDepth(const Face* face);

void LightSet(Light* light);
void LightSetColour(int32_t red, int32_t green, int32_t blue);
void LightResetWorldLevels();
// Keeps the light last applied to the world in gGrid and raises its relight
// flag when it changed.
void GridSetLight(float directionX, float directionY, float directionZ, float intensity, float ambient);
// The world light value of one vertex from its normal and the light; stored
// in the vertex's light field (its level byte is left alone).
float LightWorldVertex(Vertex* vertex);

void MeshLerpFrames(MeshHeader* mesh, const MeshFrameSet* set, uint32_t a, uint32_t b, float t, float n);
void MeshSetFrame(MeshHeader* mesh, const MeshFrameSet* set, uint32_t frame);
void MeshBlendToFrame(MeshHeader* mesh, const MeshFrameSet* set, uint32_t frame, float t, float n);
