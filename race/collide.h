// Vehicle against vehicle, vehicle against placed object, and the ground
// helpers the knocks use. Every routine works on the vehicle it is given and
// leaves gRace.currentPose on that vehicle's pose.
//
// The footprint tests share one scratch outline: four Vertex records whose
// viewX and viewZ hold the turned corners x 16, the form the back end's
// outline clipper reads. Written by CollideBuildOutline, read by the tests
// that follow it.
#pragma once
#include <cstdint>

#include "race/vehicle.h"

struct DrawSlot;
struct Vertex;
struct ObjectType;
struct TrackGridCell;

extern Vertex gCollideOutline[4];

// --- Vehicle collisions ---
void CollideVehicle(Vehicle* a, Vehicle* copyHeadingTo);
bool CollideAnyVehicle(Vehicle* v);
bool CollideTestPair(Vehicle* a, Vehicle* b, bool rebuild);
void CollideBuildOutline(const Vehicle* a, float x, float y, float z, const Camera* pose);
bool CollideOutlineInBox(const Camera* poseB, const Vehicle* b);
// The four corners of `outline` turned by the 10-bit `angle` about (x, z)
// (world units; the corners are x 16), heights kept, into `out`.
void CollideTurnOutline(const Vertex* outline, int32_t angle, float x, float z, Vertex* out);
void CollideRespond(Vehicle* a, Vehicle* b);
float CollideSideOf(const Camera* p, float x1, float z1, float x2, float z2);
bool CollideHardHit(Vehicle* v);
void CollideStuckCheck(Vehicle* v);
void CollideSettle(Vehicle* v);

// --- Object contact ---
constexpr int32_t CONTACT_CELLS = 9;
int32_t ContactGatherObjectCells(float x, float z, const TrackGridCell** out);
int32_t ContactGatherGroundCells(float x, float z, DrawSlot** out);
// The placement's angle and type row of a placed object; false for a slot
// that names no placement.
bool ContactObjectInfo(const DrawSlot* object, uint16_t* angle, const ObjectType** row);
bool ContactOutlineInObject(const Vertex* outline, uint16_t angle, const ObjectType* row, const DrawSlot* object,
                            const Vehicle* v);
DrawSlot* ContactFindObject(Vehicle* v);
DrawSlot* ContactFindObjectAt(Vehicle* v, float x, float y, float z);
void ContactPassCheckpoint(Vehicle* v, const DrawSlot* checkpoint);
void ContactWheelWear(WheelState* wheel);
float ContactObjectSideOf(const DrawSlot* object, float x1, float z1, float x2, float z2);
bool ContactResolveMove(Vehicle* v, int32_t push);

// --- Ground helpers ---
void VehicleGroundPose(Vehicle* v);
bool VehicleRoofTouches(Vehicle* v);
void VehicleRoofOnGround(Vehicle* v);

// --- The object-contact responses ---
void VehicleBounceOffObject(Vehicle* v, Vehicle* driver, int32_t deflection, int32_t rollTarget, int32_t pitchTarget);
void VehicleBounceOffBuilding(Vehicle* v, Vehicle* driver, int32_t deflection, int32_t rollTarget,
                              int32_t pitchTarget);
