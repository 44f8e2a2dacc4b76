// The per-vehicle steps the race frame runs and draws: the drive step with
// its control update and helpers, the placement, the ambient vehicle, the
// highway traffic and the ranking; and the race-wide values one step leaves
// for the next routine of the same step.
#pragma once
#include <cstdint>

#include "platform/input.h"
#include "race/vehicle.h"

struct MeshHeader;
struct MeshFrameSet;
struct Vertex;
struct CarModel;
struct DrawSlot;

// Written by the drive step, the control update and the drive helpers of the
// vehicle being stepped; read by the routines they call.
struct VehicleStepState {
  CarModel* carModel;      // the CarModel row of the current vehicle's type
  uint8_t reverseFlip;     // set by VehicleSlopeStall: the traction step flips the drive direction
  uint8_t engineLoad;      // read by the engine sound
  uint8_t rollDriven;      // the body roll was driven this update
  uint8_t pitchDriven;     // the body pitch was driven this update
  uint8_t acceleratePressed;
  uint8_t raceOverSent;    // a network race sends its race-over once
  float groundPitch;       // 10-bit angles as floats, from VehicleGroundAngles
  float groundRoll;
  float prevX, prevY, prevZ;  // the pose at the start of the step
};
extern VehicleStepState gVehicleStep;
// Points gVehicleStep.carModel at the row of the vehicle's type (row 0 for a
// type outside the table).
void VehicleSelectCarModel(const Vehicle* vehicle);

// --- Vehicle types and the control update ---
constexpr int VEHICLE_TYPE_ROWS = 20;
constexpr int VEHICLE_TYPES = 12;
constexpr int VEHICLE_ALT_ROW = 12;  // VehicleApplyTypeAlt reads row type + 12
struct VehicleTypeRow {
  float wheelBase, mass, power, driveRatio, frontShare, accelFactor, gripMax;
  int32_t enginePitchScale;
};
extern const VehicleTypeRow VehicleTypeParams[VEHICLE_TYPE_ROWS];

void VehicleApplyType(Vehicle* vehicle);
void VehicleApplyTypeAlt(Vehicle* vehicle);
void VehicleResetDynamics(NetVehicle* vehicle);
void VehicleMeasureModel(NetVehicle* vehicle, const MeshHeader* mesh);
void VehicleLoadSplit(NetVehicle* vehicle);
void VehicleControlUpdate(Vehicle* vehicle);
void VehicleBodyRollAdd(Vehicle* vehicle, float x);
void VehicleBodyPitchFollow(Vehicle* vehicle, float x);
void VehicleSlideAdd(Vehicle* vehicle, float da, float du);
void VehicleSlideImpulse(Vehicle* vehicle, float da, float du);
void VehicleTurn(Vehicle* vehicle, float angle);
void VehicleGripLimit(Vehicle* vehicle);
float VehicleGripCapacity(const Vehicle* vehicle);

// --- Drive helpers ---
// The driver's animation frames, loaded with the vehicles (null until then).
extern MeshFrameSet* gDriverFrames;
void VehicleGroundAngles(Vehicle* vehicle);
void VehicleGroundAnglesAtTerrain(Vehicle* vehicle);
void VehicleSlopeStall(Vehicle* vehicle);
void VehicleDriverPlay(Vehicle* vehicle, int32_t animation, float endTime);
void VehicleDriverSteer(Vehicle* vehicle, int32_t side, float amount);
void VehicleAnimateDriver(MeshHeader* driverModel, Vehicle* vehicle);
void VehicleSetAirborne(Vehicle* vehicle);
int32_t VehicleObjectContactTest(Vehicle* vehicle, float a, float b);

// --- The drive step ---
// One drive step of the current vehicle (gRace.currentPose points at its
// pose); `driver` is the record that steers it, null for a human.
void VehicleDriveStep(Vehicle* vehicle, Vehicle* driver);
void VehicleTractionStep(Vehicle* driver, Vehicle* vehicle, float traction);
int32_t VehicleTakeOffTest(Vehicle* vehicle, float heightAboveGround);
void VehicleWatchStuck(Vehicle* driver, Vehicle* vehicle);
// World units one step covers at `velocity` km/h.
float VehicleStepDistance(float velocity);
// The sub-steps the states of the knocks share with the drive step: the
// wheels steered from an input, the two pushes, the network snapshot of the
// own vehicle, the advance along the heading (-> its distance), the pose
// put on the ground, the splash once per dip, and the landing of a
// scripted jump.
void VehicleSteerWheels(Vehicle* vehicle, float input);
void VehicleApplyPushes(Vehicle* vehicle);
void VehicleSnapshotOwn(Vehicle* vehicle);
float VehicleAdvance(Vehicle* vehicle);
void VehicleGroundFollow(Vehicle* vehicle);
void VehicleSplashOnce(Vehicle* vehicle);
void VehicleLandScriptedJump(Vehicle* vehicle, Vehicle* driver, float ground, int32_t* event, float* steerTarget);
// The set-up of track 6's scripted jump, from state 0 into the run-up.
void VehicleStartLoopJump(Vehicle* vehicle);

// --- Placement ---
void VehiclePlaceOnGrid(Vehicle* vehicle, int32_t gridSlot, int32_t type);
// The rank of the previous championship race that orders this race's grid
// and start lines: 1..the grid's size, or -1 outside a championship, before
// its first race, or for a rank that names no place on the grid.
int32_t VehicleChampionRank(const Vehicle* vehicle);
void VehiclePlaceTrafficObject(Vehicle* record, const Vehicle* pathRecord);
void VehicleCopyDefaults(NetVehicle* record);
// Set by the game start: every traffic object is of type 3.
extern uint8_t gTrafficForcedType;
// The object model of each traffic type (null until the track objects load).
constexpr int TRAFFIC_TYPES = 8;
extern MeshHeader* gTrafficModels[TRAFFIC_TYPES];

// --- Knocks, slides and scripted jumps ---
// The states 2, 6, 7, 8, 9 and 11 of the drive step; `distance` is the step
// distance the epilogue uses.
void VehicleStepSpecialState(Vehicle* vehicle, Vehicle* driver, float y0, float* distance, int32_t* soundEvent,
                             float* steerTarget);
// The object-contact pass at the end of a step that moved.
void VehicleObjectContactPass(Vehicle* vehicle, Vehicle* driver, int32_t* soundEvent, float* steerTarget);
void VehicleApplyHit(Vehicle* vehicle, float impulse, float directionX, float directionZ, uint8_t hard);
// The knock's impulse, capped so that velocity and impulse together stay
// within the largest throw, and its direction.
void VehicleSetKnockImpulse(Vehicle* vehicle, float impulse, float directionX, float directionZ);
void VehicleSetBodySway(Vehicle* vehicle, float amount);

// --- Controls, computer drivers and recovery ---
// The joystick state of the game controller (the last good read) and the
// controller's device index.
extern InputJoyState gJoyState;
extern int32_t gJoyDevice;
void VehicleReadControls(Vehicle* vehicle);
// Sets the braking flag (exhaustFlame) of a vehicle that brakes going
// forward close to the camera, when its car model shows it.
void VehicleMarkBraking(Vehicle* vehicle);
// A finished vehicle's pedals: brake while moving forward, then stand.
void VehicleBrakeToStop(Vehicle* vehicle);
void AiPickNewTrajectory(Vehicle* driver);
void AiSetNextTrajectory(int32_t slot);
void AiPickStartTrajectory(Vehicle* driver);
void AiDriveVehicle(Vehicle* driver, Vehicle* vehicle);
void AiRemoteAdvancePoint(Vehicle* driver);
void AiRemoteExtrapolate(Vehicle* driver, Vehicle* vehicle, int32_t participant);
// new - previous on 10-bit angles, into -512..512.
int32_t AiRemoteAngleStep(float newAngle, float previousAngle);
void AiUpdateGuide(Vehicle* vehicle);
int32_t AiFindRespawnPoint(Vehicle* vehicle, int32_t* slot);
void AiRespawnVehicle(Vehicle* driver, Vehicle* vehicle, uint8_t keepDamage);
void VehicleCheckWorldBounds(Vehicle* driver, Vehicle* vehicle);
int32_t VehicleCheckUpsideDown(Vehicle* vehicle);
int32_t AiIsFarFromTrajectories();
void VehicleSink(Vehicle* vehicle);

// --- Zones, laps and ground cells ---
// The zone map's code at a world position; 254 (out of bounds) outside the map.
uint8_t RaceZoneCodeAt(float x, float z);
void RaceCheckZone(Vehicle* vehicle, Vehicle* driver);
void RaceUpdateProgress(Vehicle* vehicle);
int32_t VehicleCheckGroundCell(Vehicle* vehicle);
int32_t VehicleCheckLoopJump(Vehicle* vehicle);

// --- Wheel and ground pass ---
// The whole pass for one vehicle; gRace.currentPose points at its pose.
void WheelUpdateVehicle(Vehicle* vehicle);
// The pass of every computer-driven vehicle, after the collision pass.
void WheelUpdateComputerCars();
// Written by the pass: the vehicle it works on (the wheel effects act on it)
// and the terrain corners the ground tint was taken from.
struct WheelPassState {
  Vehicle* vehicle;
  Vertex* tintCorners[4];
};
extern WheelPassState gWheelPass;
// Suspension and contact of one wheel, mounted at (a, b, c) in body space.
void WheelUpdateContact(float a, float b, float c, Vehicle* vehicle, int32_t wheel);
// The wheels' effects, on gWheelPass.vehicle.
void WheelSpawnSplash(int32_t wheel);
void WheelSpawnSmoke(int32_t wheel);
void WheelSpawnSpinSpray(int32_t wheel);
void WheelSpawnDust(Vehicle* vehicle);
void WheelSetGroundTint(Vehicle* vehicle);
// Looks around the vehicle for lower ground and pushes it that way.
void WheelProbeDownhill(Vehicle* vehicle);
// The emitter points (two body-space points) of a type's cars at a damage
// stage 0..8; null for the types without emitters.
constexpr int WHEEL_EMITTER_STAGES = 9;
const float* WheelEmitterRow(int32_t type, int32_t stage);

// --- Collisions and object contact ---
// The collision pass of a frame, after every drive step.
void CollideAllVehicles();
int32_t CollideStartSlide(Vehicle* vehicle, float threshold);
int32_t ContactResolveAndSettle(Vehicle* vehicle, float a, float b, int32_t push);
// The placed object a vehicle at (x, y, z) would touch, or null.
DrawSlot* ContactFindObjectAt(Vehicle* vehicle, float x, float y, float z);
// Whether the vehicle at its current pose overlaps any other.
bool CollideAnyVehicle(Vehicle* vehicle);

// --- Force-feedback triggers of a race ---
void FfbSetActive(Vehicle* vehicle, int32_t on);
void FfbUpdateWheelContact(Vehicle* vehicle);
void FfbUpdateEngineFromVehicle(Vehicle* vehicle);
void FfbTakeOff(Vehicle* vehicle);
void FfbLandVehicle(Vehicle* vehicle);
void FfbShockFull(Vehicle* vehicle, float x, float z);
void FfbSkid(Vehicle* vehicle);
// A jolt from the side (x, z) of a contact.
void FfbShock(Vehicle* vehicle, int32_t x, int32_t z);
// Forgets the force-feedback device when the input library's last error says it is gone.
void FfbCheckDeviceLost();

// --- The other per-vehicle steps of the race frame ---
void AmbientFrameStep();
void VehiclePlaceAmbient();
void VehicleDrawAmbientShadow();
void TrackObjTrafficStep();
// Draws every active highway object, when the trajectories are loaded.
void TrackObjDrawAll();
// The poses of the highway's track objects, after the collision pass.
void TrackObjStepAll();
// The highway's traffic objects: records of the vehicle layout, live while
// `objectActive` is set.
constexpr int TRACK_OBJECTS = 250;
extern Vehicle gTrackObjects[TRACK_OBJECTS];
// A traffic object thrown by a hit, and its horn.
void TrackObjKnock(Vehicle* object, float impulse, float directionX, float directionZ, uint8_t hard);
void TrackObjHorn(Vehicle* object);
void RaceRankVehicles();
