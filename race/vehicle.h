// The vehicle record of everything that drives in a race: human, computer and
// remote vehicles, the ambient vehicle and the highway's track objects.
//
// Records live only in memory, in natural layout; the field order is kept so
// that NetVehicle is exactly the leading part of a Vehicle (a network
// participant's record, up to `aiHeading`). Nothing here is ever copied onto
// the wire: the network snapshot is built field by field.
//
// Player 1's record (gPlayer1) is static with its physical parameters set;
// the seven table records (gVehicleRecords) serve grid slots 0..4 (slot 0 is
// player 2 in split screen), the extra car (5) and the ambient vehicle (6).
// The drive step, the control update and the placement write them; every
// race Part reads them.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"

struct MeshHeader;
struct Trajectory;
struct DrawSlot;

enum VehicleState : int32_t {
  VEHICLE_ON_GROUND = 0,
  VEHICLE_IN_AIR = 1,
  VEHICLE_KNOCKED = 2,
  VEHICLE_RESETTING = 3,
  VEHICLE_CRIPPLED = 4,
  VEHICLE_SINKING = 5,
  VEHICLE_ROLLED_OVER = 6,
  VEHICLE_JUMP_FLIGHT = 7,
  VEHICLE_JUMP_RUNUP = 8,
  VEHICLE_CONTACT_SLIDE = 9,
  VEHICLE_BLOCKED = 10,
  VEHICLE_HANDBRAKE_SLIDE = 11,
  VEHICLE_BACKING_OFF = 12,
};

// Front left, front right, rear left, rear right (mask bits 1, 2, 4, 8).
constexpr int VEHICLE_WHEELS = 4;
enum { WHEEL_FRONT_LEFT = 0, WHEEL_FRONT_RIGHT = 1, WHEEL_REAR_LEFT = 2, WHEEL_REAR_RIGHT = 3 };

// Owned by the wheel pass.
struct WheelState {
  uint8_t attached;  // drawn and counted while not 0
  float suspension;
  float centre[3];
  float contactX, groundHeight, contactZ;
  float spray[3];
  float trailHalfWidth;     // 1.0 front, 2.0 rear
  float lastMarkX, lastMarkZ;  // -1.0: none
  float trailDepthBias;
  int16_t bend;  // the wheel's damage
  float waterDepth;  // below the track's water level, 0 above it
};

constexpr int VEHICLE_PHYS_PARAMS = 11;
enum VehiclePhysParam {
  PHYS_WHEEL_BASE = 0,
  PHYS_MASS = 1,
  PHYS_POWER = 2,
  PHYS_DRIVE_RATIO = 3,
  PHYS_FRONT_SHARE = 4,
  PHYS_ACCEL_FACTOR = 5,
  PHYS_TRACTION = 6,
  PHYS_GRIP_MAX = 7,
  PHYS_SURFACE_GRIP = 8,
  PHYS_REV_LIMIT = 9,
  PHYS_GEARS = 10,
};

struct NetVehicle {
  float physParams[VEHICLE_PHYS_PARAMS];
  float grip;
  uint8_t wheelSpin;
  uint8_t ffBumpFrames;
  int8_t engineOn;
  float driveForce;
  float velocity;  // km/h, negative backwards
  float engineRevs;
  float engineRevsHeard;
  float accel;
  float topVelocity;
  float lateralForce;
  float frontLoad, rearLoad;
  float slideAngle;
  float slideUndersteer;  // -120..120
  float bodyRoll;         // -32..32
  float bodyPitch;        // -32..32
  int16_t gear;           // 0 none
  uint8_t reverse;
  float steerAngle;
  float turnRadius;
  float heading;  // direction of travel, 0..1024
  float wobble;
  uint8_t throttleCmd, brakeCmd, boostButton, handbrakeButton;
  int16_t wheelSteer;  // -512..512
  float baseSurfaceGrip;
  WheelState wheels[VEHICLE_WHEELS];
  // The wheel pass's block.
  uint16_t frameAngles[3];
  uint16_t bodyAngles[3];  // pitch, heading, roll
  uint16_t driverRoll;
  int16_t suspensionPitch, suspensionRoll;
  int16_t tiltPitch, tiltRoll;
  float bodyMatrix[9];
  // Draw points.
  float bodyPoint[3], eyePoint[3], headPoint[3];
  float shakeTarget, shake;
  float smokePoint[3], exhaustPoint1[3], exhaustPoint2[3];
  float fireClock;
  uint8_t markLaid;
  int16_t impactVelocity;  // 0..300
  uint8_t exhaustFlame;
  float treadBlurRear, treadBlurFront;
  Camera pose;  // gRace.currentPose points here during the vehicle's step
  float steerInput;  // -320..320
  float steerOffset;
  float effectClock;
  float reverseTimer;
  float wheelTurnFront, wheelTurnRear;
  int32_t state;  // VehicleState
  int32_t timerSlot;     // grid slot + 3: reset duration, tyre marks, blinking
  int32_t lapTimerSlot;  // grid slot + 12
  int32_t bouncesLeft;
  int32_t spinSide;
  float rollOverAngle;
  uint8_t landingSide;  // 0 undecided, 1 wheels, 2 roof
  float knockLift, knockImpulse, knockDirX, knockDirZ;
  int32_t cameraDistance;
  uint8_t wheelsLost;
  uint8_t damageStage;
  uint8_t damageA, damageB;
  int32_t damageCounter;
  uint8_t zoneCode;
  int32_t progress;
  int32_t lapsDone, lastLapMs, totalMs, bestLapMs;
  uint8_t finished;
  uint8_t lineCrossed;
  int32_t position;      // 1-based
  int32_t championRank;  // -1 none
  float boostLeft;
  float cameraLag;
  float brakeTimer;
  float footprint[6];  // left, right x; bottom, top y; near, far z
  float cellLevel;     // 0..8
  uint8_t cellCode;
  uint8_t rampCode;
  float rampCountdown;
  int32_t paintIndex;
  int32_t paintIndexMin;
  float hitProtect;
  float lastGoodX, lastGoodZ;
  float waterDepthSum;
  uint8_t splashDone;
  uint8_t exhaustSoundFlag, contactSoundFlag;
  uint8_t onMarkedCell;
  // Sound slots of the engine (0: none): 3D, in-car, outside.
  int32_t engineSound3d, engineSoundIn, engineSoundOut;
  int32_t type;  // VehicleTypeParams and CarModel row
  MeshHeader* driverModel;
  int32_t driverAnim;  // 0 none, 1/2 steering left/right, 3/4 reactions, 5 looking back
  float driverAnimTime;
  float driverAnimEnd;
  uint8_t driverAnimDone;
  float endViewX, endViewZ;
  uint8_t human;        // 1 human-driven, 0 computer, 2 track object
  int32_t controller;   // 0 keyboard, 1 mouse, 2 and 3 joystick
  uint8_t viewRequest;  // 0 chase, 1 in-car with cockpit, 2 on board
  uint8_t viewActive;
  int32_t championTotal;
  Camera* chaseCamera;
  Camera* resetCamera;
  float cameraPitch, cameraRoll;
  float swayPhase, swayAmount;  // amount -25..25
  uint8_t tintValid, tintRed, tintBlue, tintGreen;
  float jumpTarget[3], jumpStart[3];
  float jumpDist;
  float pushHeading1, pushVelocity1;
  float pushTargetHeading;
  float pushVelocity2, pushHeading2;
  float tractionOverride;
  uint16_t guideHeading;
  int16_t guidePoint;  // -1 none
  int16_t guideMisses;
  const Trajectory* nearestTrajectory;
  float prevPos[3];
  uint8_t contactFlag;
  uint8_t iceLowSlip;
  float contactTime;
  float stateTimer;
  float finishDelay;
  int32_t enginePitchScale;
  float airTimer;
  int32_t loopSound, slideSound;  // sound slots, 0: none
};

struct Vehicle : NetVehicle {
  uint16_t aiHeading;
  int32_t aiSlot;
  int32_t aiPoint;
  uint8_t objectActive;
  int32_t aiProgressGap;
  float stuckTimer;
  float stuckRefX, stuckRefZ;
  float lastRevsSeen;
  const DrawSlot* lastCheckpoint;  // the checkpoint passed last, null for none
};

constexpr int VEHICLE_RECORDS = 7;      // grid slots 0-4 computer cars (0 player 2 in split screen), 5 extra car, 6 ambient
constexpr int VEHICLE_TABLE_SLOTS = 6;  // grid slots of a local race
constexpr int VEHICLE_EXTRA_CAR = 5;
constexpr int VEHICLE_AMBIENT = 6;
constexpr int32_t VEHICLE_BEST_LAP_NONE = 600000;

extern Vehicle gPlayer1;
extern Vehicle gVehicleRecords[VEHICLE_RECORDS];
// One pointer per grid slot, null where no vehicle starts; the ranking reads
// it in slot order.
extern Vehicle* gVehicleTable[VEHICLE_TABLE_SLOTS];
extern Vehicle* gPlayer1Vehicle;  // &gPlayer1
extern Vehicle* gPlayer2Vehicle;  // table record 0
extern Vehicle* gLocalNetVehicle;

// Player 1's record as the program starts: the default physical parameters.
Vehicle VehiclePlayer1Initial();
