#include "race/race_trace.h"

#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "presentation/decor_anim.h"
#include "presentation/flyin.h"
#include "presentation/fx.h"
#include "presentation/messages.h"
#include "presentation/music.h"
#include "presentation/replay.h"
#include "presentation/sfx.h"
#include "presentation/weather.h"
#include "race/ambient.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/race_notes.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/traffic.h"
#include "race/trajectory.h"

namespace {

constexpr uint64_t FNV_OFFSET = 0xcbf29ce484222325ull;
constexpr uint64_t FNV_PRIME = 0x100000001b3ull;
constexpr int32_t READABLE_EVERY = 25;

// What a race check needs beyond one frame's record, for each grid slot:
// how often it was put back, the longest way it drove while its progress
// stood still, its fastest speed unboosted and the frames it boosted.
struct SlotWatch {
  int32_t respawns;
  float frozenRun, frozenMost;
  float fastest;
  int32_t sinceBoost;  // frames
  int32_t boosted;     // frames
  float lastX, lastZ;
  int32_t lastProgress;
  bool seen;
};

struct TraceState {
  std::FILE* file;
  bool opened;
  int32_t race;
  int32_t frame;
  uint8_t endSeen;
  SlotWatch slots[VEHICLE_TABLE_SLOTS];
};
TraceState gTrace;

// Farther in one frame than any car drives: the car was put somewhere.
constexpr float TELEPORT = 500.0f;
constexpr int32_t BOOST_WEARS_OFF = 150;  // frames

class Hasher {
 public:
  void Byte(uint8_t b) { h_ = (h_ ^ b) * FNV_PRIME; }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    U32(bits);
  }
  uint64_t value() const { return h_; }

 private:
  uint64_t h_ = FNV_OFFSET;
};

// Every vehicle record of the race in a fixed order: player 1, then the table records.
constexpr int32_t TRACE_VEHICLES = 1 + VEHICLE_RECORDS;
void RaceVehicles(const Vehicle* out[TRACE_VEHICLES]) {
  out[0] = &gPlayer1;
  for (int32_t i = 0; i < VEHICLE_RECORDS; ++i) out[1 + i] = &gVehicleRecords[i];
}

// A pointer as the index of what it points at: -1 null, -2 outside `table`.
template <typename T>
int32_t PointerIndex(const T* p, const T* const* table, int32_t count) {
  if (!p) return -1;
  for (int32_t i = 0; i < count; ++i)
    if (table[i] == p) return i;
  return -2;
}

void HashFloats(Hasher* h, const float* f, int32_t n) {
  for (int32_t i = 0; i < n; ++i) h->F32(f[i]);
}

void HashWheel(Hasher* h, const WheelState& w) {
  h->Byte(w.attached);
  for (float f : {w.suspension, w.centre[0], w.centre[1], w.centre[2], w.contactX, w.groundHeight, w.contactZ,
                  w.spray[0], w.spray[1], w.spray[2], w.trailHalfWidth, w.lastMarkX, w.lastMarkZ, w.trailDepthBias})
    h->F32(f);
  h->I32(w.bend);
  h->F32(w.waterDepth);
}

// Field by field in the record's order; no padding byte takes part.
void HashVehicle(Hasher* h, const Vehicle& v) {
  const Camera* cameras[2] = {gRace.gViewCamera[0], gRace.gViewCamera[1]};
  HashFloats(h, v.physParams, VEHICLE_PHYS_PARAMS);
  h->F32(v.grip);
  for (uint8_t b : {v.wheelSpin, v.ffBumpFrames, static_cast<uint8_t>(v.engineOn)}) h->Byte(b);
  for (float f : {v.driveForce, v.velocity, v.engineRevs, v.engineRevsHeard, v.accel, v.topVelocity, v.lateralForce,
                  v.frontLoad, v.rearLoad, v.slideAngle, v.slideUndersteer, v.bodyRoll, v.bodyPitch})
    h->F32(f);
  h->I32(v.gear);
  h->Byte(v.reverse);
  for (float f : {v.steerAngle, v.turnRadius, v.heading, v.wobble}) h->F32(f);
  for (uint8_t b : {v.throttleCmd, v.brakeCmd, v.boostButton, v.handbrakeButton}) h->Byte(b);
  h->I32(v.wheelSteer);
  h->F32(v.baseSurfaceGrip);
  for (const WheelState& w : v.wheels) HashWheel(h, w);
  for (uint16_t a : v.frameAngles) h->I32(a);
  for (uint16_t a : v.bodyAngles) h->I32(a);
  for (int32_t i : {int32_t{v.driverRoll}, int32_t{v.suspensionPitch}, int32_t{v.suspensionRoll}, int32_t{v.tiltPitch},
                    int32_t{v.tiltRoll}})
    h->I32(i);
  HashFloats(h, v.bodyMatrix, 9);
  HashFloats(h, v.bodyPoint, 3);
  HashFloats(h, v.eyePoint, 3);
  HashFloats(h, v.headPoint, 3);
  h->F32(v.shakeTarget);
  h->F32(v.shake);
  HashFloats(h, v.smokePoint, 3);
  HashFloats(h, v.exhaustPoint1, 3);
  HashFloats(h, v.exhaustPoint2, 3);
  h->F32(v.fireClock);
  h->Byte(v.markLaid);
  h->I32(v.impactVelocity);
  h->Byte(v.exhaustFlame);
  for (float f : {v.treadBlurRear, v.treadBlurFront, v.pose.x, v.pose.y, v.pose.z, v.pose.pitch, v.pose.heading,
                  v.pose.roll, v.steerInput, v.steerOffset, v.effectClock, v.reverseTimer, v.wheelTurnFront,
                  v.wheelTurnRear})
    h->F32(f);
  for (int32_t i : {v.state, v.timerSlot, v.lapTimerSlot, v.bouncesLeft, v.spinSide}) h->I32(i);
  h->F32(v.rollOverAngle);
  h->Byte(v.landingSide);
  for (float f : {v.knockLift, v.knockImpulse, v.knockDirX, v.knockDirZ}) h->F32(f);
  h->I32(v.cameraDistance);
  for (uint8_t b : {v.wheelsLost, v.damageStage, v.damageA, v.damageB}) h->Byte(b);
  h->I32(v.damageCounter);
  h->Byte(v.zoneCode);
  for (int32_t i : {v.progress, v.lapsDone, v.lastLapMs, v.totalMs, v.bestLapMs}) h->I32(i);
  h->Byte(v.finished);
  h->Byte(v.lineCrossed);
  h->I32(v.position);
  h->I32(v.championRank);
  for (float f : {v.boostLeft, v.cameraLag, v.brakeTimer}) h->F32(f);
  HashFloats(h, v.footprint, 6);
  h->F32(v.cellLevel);
  h->Byte(v.cellCode);
  h->Byte(v.rampCode);
  h->F32(v.rampCountdown);
  h->I32(v.paintIndex);
  h->I32(v.paintIndexMin);
  for (float f : {v.hitProtect, v.lastGoodX, v.lastGoodZ, v.waterDepthSum}) h->F32(f);
  for (uint8_t b : {v.splashDone, v.exhaustSoundFlag, v.contactSoundFlag, v.onMarkedCell}) h->Byte(b);
  for (int32_t i : {v.engineSound3d, v.engineSoundIn, v.engineSoundOut, v.type}) h->I32(i);
  h->I32(v.driverModel ? 0 : -1);
  h->I32(v.driverAnim);
  h->F32(v.driverAnimTime);
  h->F32(v.driverAnimEnd);
  h->Byte(v.driverAnimDone);
  h->F32(v.endViewX);
  h->F32(v.endViewZ);
  h->Byte(v.human);
  h->I32(v.controller);
  h->Byte(v.viewRequest);
  h->Byte(v.viewActive);
  h->I32(v.championTotal);
  h->I32(PointerIndex(v.chaseCamera, cameras, 2));
  h->I32(PointerIndex(v.resetCamera, cameras, 2));
  for (float f : {v.cameraPitch, v.cameraRoll, v.swayPhase, v.swayAmount}) h->F32(f);
  for (uint8_t b : {v.tintValid, v.tintRed, v.tintBlue, v.tintGreen}) h->Byte(b);
  HashFloats(h, v.jumpTarget, 3);
  HashFloats(h, v.jumpStart, 3);
  for (float f : {v.jumpDist, v.pushHeading1, v.pushVelocity1, v.pushTargetHeading, v.pushVelocity2, v.pushHeading2,
                  v.tractionOverride})
    h->F32(f);
  for (int32_t i : {int32_t{v.guideHeading}, int32_t{v.guidePoint}, int32_t{v.guideMisses}}) h->I32(i);
  h->I32(v.nearestTrajectory ? 0 : -1);
  HashFloats(h, v.prevPos, 3);
  h->Byte(v.contactFlag);
  h->Byte(v.iceLowSlip);
  for (float f : {v.contactTime, v.stateTimer, v.finishDelay}) h->F32(f);
  h->I32(v.enginePitchScale);
  h->F32(v.airTimer);
  for (int32_t i : {v.loopSound, v.slideSound, int32_t{v.aiHeading}, v.aiSlot, v.aiPoint}) h->I32(i);
  h->Byte(v.objectActive);
  h->I32(v.aiProgressGap);
  for (float f : {v.stuckTimer, v.stuckRefX, v.stuckRefZ, v.lastRevsSeen}) h->F32(f);
}

// What changes of the placed objects during a race: the placements' words
// (turning yaws, rocking phases, launch headings), the animation counters
// and the sound copies of the calls and cries.
void HashPlacedObjects(Hasher* h) {
  auto within = [](int32_t count, int32_t most) { return count < 0 ? 0 : count > most ? most : count; };
  const int32_t placements = within(gPlacementCount, PLACEMENT_MAX);
  h->I32(gPlacementCount);
  for (int32_t i = 0; i < placements; ++i) {
    const ObjectPlacement& p = gPlacements[i];
    h->I32(p.yaw);
    h->I32(p.second);
    h->Byte(p.counterSlot);
  }
  const int32_t counters = within(gObjectCounterCount, COUNTER_SLOTS);
  h->I32(gObjectCounterCount);
  for (int32_t i = 0; i < counters; ++i) {
    h->F32(gObjectCounters[i].duration);
    h->F32(gObjectCounters[i].elapsed);
    h->I32(gObjectCounters[i].frame);
  }
  h->I32(gAnimCopyCounterA);
  h->I32(gAnimCopyCounterB);
  // Knocked objects are hidden in their static slots.
  for (int32_t i = 0; gDrawLists.statics && i < gDrawLists.staticCount; ++i) h->Byte(gDrawLists.statics[i].visible);
}

// The highway's traffic: its counters and every object's record.
void HashTraffic(Hasher* h) {
  const TrackObjState& s = gTrackObjState;
  for (int32_t i : {s.activeCount, s.sirenSlot, s.sirensStarted, s.horns, s.engineCopies}) h->I32(i);
  h->Byte(s.crowded);
  h->Byte(s.placed);
  for (const Vehicle& v : gTrackObjects) HashVehicle(h, v);
}

// A slot's last word as an index: a vehicle (0..), a wheel (1000 + 4 x
// vehicle + wheel), a small number (a placement) as itself, else -2.
int32_t UserIndex(uintptr_t user, const Vehicle* const* vehicles, int32_t n) {
  if (user == 0) return -1;
  for (int32_t i = 0; i < n; ++i) {
    if (user == reinterpret_cast<uintptr_t>(vehicles[i])) return i;
    for (int32_t w = 0; w < VEHICLE_WHEELS; ++w)
      if (user == reinterpret_cast<uintptr_t>(&vehicles[i]->wheels[w])) return 1000 + 4 * i + w;
  }
  return user < 0x10000 ? static_cast<int32_t>(user) : -2;
}

// A live slot: its kind, type word, place, own values, owner (a shared
// effect sprite by its index, anything else by its first word) and last word.
void HashSlot(Hasher* h, const DrawSlot& s, const Vehicle* const* vehicles, int32_t n) {
  h->Byte(s.visible);
  h->Byte(s.inUse);
  h->U32(s.kind);
  for (float f : {s.x, s.y, s.z, s.boxMinX, s.boxMinY, s.boxMinZ, s.boxMaxX, s.boxMaxY, s.boxMaxZ}) h->F32(f);
  const Sprite* const* sprites = gFxSprites;
  const int32_t sprite = PointerIndex(static_cast<const Sprite*>(s.owner), sprites, FX_SPRITES);
  h->I32(sprite);
  uint32_t word = 0;
  if (s.owner && sprite == -2) std::memcpy(&word, s.owner, sizeof word);
  h->U32(word);
  h->Byte(s.callback ? 1 : 0);
  h->I32(UserIndex(s.user, vehicles, n));
}

void HashPool(Hasher* h, const DrawSlot* pool, int32_t count, const Vehicle* const* vehicles, int32_t n) {
  for (int32_t i = 0; i < count; ++i) {
    if (pool[i].visible == FX_KIND_FREE) continue;
    h->I32(i);
    HashSlot(h, pool[i], vehicles, n);
  }
}

// A camera spot as its index in the table, -1 for none.
int32_t SpotIndex(const CameraSpot* spot) {
  if (!spot) return -1;
  for (int32_t i = 0; i < CAMERA_SPOTS; ++i)
    if (spot == &gCameraSpots[i]) return i;
  return -2;
}

// The replay camera, its cuts and the demo's views.
void HashReplay(Hasher* h) {
  for (float f : {gReplayCamera.x, gReplayCamera.y, gReplayCamera.z, gReplayCamera.pitch, gReplayCamera.heading,
                  gReplayCamera.roll})
    h->F32(f);
  const ReplayCutState& cut = gReplayCut;
  h->I32(SpotIndex(cut.current));
  h->I32(SpotIndex(cut.previous));
  for (float f : {cut.holdTime, cut.sinceCut, cut.baseScaleX, cut.baseScaleY}) h->F32(f);
  h->I32(cut.followKind);
  for (float f : {cut.followDistance, cut.followA, cut.followB}) h->F32(f);
  const ReplayViewState& view = gReplayView;
  h->F32(view.insetTimer);
  h->I32(view.insetShown);
  h->I32(view.insetPosition);
  h->I32(PointerIndex(view.insetVehicle, gVehicleTable, VEHICLE_TABLE_SLOTS));
  h->F32(view.insetAngle);
  for (int32_t i : {view.windowX, view.windowY, view.randomIndex}) h->I32(i);
  const Camera& c = view.insetCamera;
  for (float f : {c.x, c.y, c.z, c.pitch, c.heading, c.roll, view.fade}) h->F32(f);
}

// The weather: the rain's cycle and lightning, the volcano's bursts and
// used landing points, and where every snow flake, rain drop or star is.
void HashWeather(Hasher* h) {
  const WeatherState& w = gWeather;
  for (float f : {w.rainIntensity, w.target, w.flashTime, w.boltX, w.boltY, w.boltZ}) h->F32(f);
  h->Byte(w.rising);
  h->Byte(w.lightning);
  h->I32(w.thunderCopy);
  h->I32(w.whistleCopy);
  for (const VolcanoBurst& b : w.bursts) {
    h->Byte(b.inUse);
    h->Byte(b.phase);
    h->Byte(b.whistle);
    h->F32(b.timer);
    h->F32(b.spin);
  }
  h->I32(w.targets.count);
  for (const TrajPoint& p : w.targets.points) h->F32(p.x);
  for (const auto& view : gWeatherParticles)
    for (const Vertex& v : view) {
      h->F32(v.x);
      h->F32(v.y);
      h->F32(v.z);
    }
}

int32_t TableSlot(const Vehicle* v) {
  for (int32_t slot = 0; slot < VEHICLE_TABLE_SLOTS; ++slot)
    if (gVehicleTable[slot] == v) return slot;
  return -1;
}

// Within the reach of the progress search of trajectory A (two 100-unit
// cells each side).
bool NearCourseLine(float x, float z) {
  constexpr float REACH = 200.0f;
  const Trajectory& line = gTrajectories[0];
  const int32_t n = line.count < 0 ? 0 : line.count > TRAJ_POINTS ? TRAJ_POINTS : line.count;
  for (int32_t i = 0; i < n; ++i) {
    const TrajPoint a = line.points[i], b = line.points[(i + 1) % n];
    const float dx = b.x - a.x, dz = b.z - a.z, len2 = dx * dx + dz * dz;
    float t = len2 > 0.0f ? ((x - a.x) * dx + (z - a.z) * dz) / len2 : 0.0f;
    t = t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
    const float px = a.x + dx * t - x, pz = a.z + dz * t - z;
    if (px * px + pz * pz < REACH * REACH) return true;
  }
  return false;
}

void WatchVehicles() {
  for (int32_t slot = 0; slot < VEHICLE_TABLE_SLOTS; ++slot) {
    const Vehicle* v = gVehicleTable[slot];
    SlotWatch& w = gTrace.slots[slot];
    if (!v) continue;
    const float dx = v->pose.x - w.lastX, dz = v->pose.z - w.lastZ;
    const float moved = std::sqrt(dx * dx + dz * dz);
    const bool running = gRace.raceStarted && !v->finished && v->state != VEHICLE_RESETTING;
    // Only the way driven on the wheels near the course line counts: not a
    // flight, nor a knock, nor the way back from where a knock threw the
    // car, beyond the reach of the progress search.
    if (!w.seen || !running || v->progress != w.lastProgress || !(moved < TELEPORT))
      w.frozenRun = 0.0f;
    else if (v->state == VEHICLE_ON_GROUND && NearCourseLine(v->pose.x, v->pose.z))
      w.frozenRun += moved;
    if (w.frozenRun > w.frozenMost) w.frozenMost = w.frozenRun;
    // A boost takes a car beyond its top speed on purpose: a checkpoint's,
    // or its driver's when far behind. Its own speed counts once a boost
    // has worn off; the frames it boosts are counted apart, while player 1
    // races: once player 1 has finished, every car still going is far
    // behind it and boosts to the line.
    const bool racing = gRace.raceStarted && !(gPlayer1Vehicle && gPlayer1Vehicle->finished);
    if (v->boostButton || v->boostLeft > 0.0f) w.sinceBoost = 0;
    if (racing && v->boostButton) ++w.boosted;
    if (w.sinceBoost < BOOST_WEARS_OFF)
      ++w.sinceBoost;
    else if (racing && std::fabs(v->velocity) > w.fastest)
      w.fastest = std::fabs(v->velocity);
    w.lastX = v->pose.x;
    w.lastZ = v->pose.z;
    w.lastProgress = v->progress;
    w.seen = true;
  }
}

void WriteNotes(std::FILE* f, const RaceNote* notes, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const RaceNote& n = notes[i];
    const int32_t slot = TableSlot(n.vehicle);
    if (slot < 0) continue;
    if (n.kind == RACE_NOTE_RESPAWN) {
      ++gTrace.slots[slot].respawns;
      std::fprintf(f, "#   respawn vehicle %d at %.3f %.3f\n", slot, n.x, n.z);
    } else {
      std::fprintf(f, "#   lap vehicle %d ms %u counted %u\n", slot, n.lapMs, n.counted);
    }
  }
}

std::FILE* TraceFile() {
  if (!gTrace.opened) {
    gTrace.opened = true;
    const char* path = std::getenv("TORVANE_TRACE");
    if (path && *path) gTrace.file = std::fopen(path, "w");
  }
  return gTrace.file;
}

void WriteReadable(std::FILE* f) {
  std::fprintf(f, "# raceStarted %u raceFinished %u raceLeft %u message %d lapCount %d\n", gRace.raceStarted,
               gRace.raceFinished, gRace.raceLeft, gHudMessages.global.number, gRace.lapCount);
  std::fprintf(f, "#   sound %u music track %d fader %d volume %.3f\n", gSoundOn, gMusic.track, gMusic.faderState,
               gMusic.faderVolume);
  for (int32_t slot = 0; slot < VEHICLE_TABLE_SLOTS; ++slot) {
    const Vehicle* v = gVehicleTable[slot];
    if (!v) continue;
    std::fprintf(f,
                 "#   vehicle %d %s position %.3f %.3f %.3f heading %.3f velocity %.3f state %d laps %d finished %u "
                 "progress %d respawns %d frozen %.0f fastest %.3f top %.3f boosted %d\n",
                 slot, v == gPlayer1Vehicle ? "player1" : v->human == 1 ? "human" : "computer", v->pose.x, v->pose.y,
                 v->pose.z, v->pose.heading, v->velocity, v->state, v->lapsDone, v->finished, v->progress,
                 gTrace.slots[slot].respawns, gTrace.slots[slot].frozenMost, gTrace.slots[slot].fastest,
                 v->topVelocity, gTrace.slots[slot].boosted);
  }
  std::fprintf(f, "#   replay track %d ms %u spot %d hold %.3f follow %d fade %.3f window %d %d\n", gRace.trackIndex,
               gReplayView.elapsedMs, SpotIndex(gReplayCut.current), gReplayCut.holdTime, gReplayCut.followKind,
               gReplayView.fade, gReplayView.windowX, gReplayView.windowY);
  if (gRace.trackIndex == TRACK_HIGHWAY) {
    float speeds = 0.0f;
    int32_t active = 0;
    for (const Vehicle& v : gTrackObjects)
      if (v.objectActive) {
        speeds += std::fabs(v.velocity);
        ++active;
      }
    std::fprintf(f, "#   traffic active %d crowded %u siren %d speed %.3f\n", gTrackObjState.activeCount,
                 gTrackObjState.crowded, gTrackObjState.sirenSlot != 0 ? 1 : 0, active ? speeds / static_cast<float>(active) : 0.0f);
  }
  for (int32_t i = 0; gDrawLists.statics && i < gDrawLists.staticCount; ++i) {
    const DrawSlot& s = gDrawLists.statics[i];
    if (s.visible || s.user >= static_cast<uint32_t>(gPlacementCount) || s.user >= PLACEMENT_MAX) continue;
    const ObjectPlacement& p = gPlacements[s.user];
    std::fprintf(f, "#   knocked placement %u type %u at %.3f %.3f %.3f\n", static_cast<unsigned>(s.user),
                 static_cast<unsigned>(p.type), p.x, p.y, p.z);
  }
  if (gRace.trackIndex == TRACK_BOUE)
    std::fprintf(f, "#   rain %.3f lightning %u\n", gWeather.rainIntensity, gWeather.lightning);
  if (gRace.trackIndex == TRACK_VOLCANO) {
    int32_t flying = 0, used = 0;
    for (const VolcanoBurst& b : gWeather.bursts) flying += b.inUse;
    for (int32_t i = 0; i < gWeather.targets.count && i < TRAJ_POINTS; ++i)
      used += gWeather.targets.points[i].x == VOLCANO_TARGET_USED;
    std::fprintf(f, "#   volcano rocks flying %d points used %d\n", flying, used);
  }
}

}  // namespace

uint64_t RaceTraceHash() {
  Hasher h;
  for (float f : {gRace.frameRate, gRace.timeStep, gRace.timeStepFifth, gRace.timeStepFourFifths, gRace.frameHours,
                  gRace.tickClock})
    h.F32(f);
  for (int32_t i : {gRace.ticks, gRace.playersMode, gRace.trackIndex, gRace.gameMode, gRace.networkGame,
                    gRace.waitingForHost})
    h.I32(i);
  for (uint8_t b : {gRace.tickPassed, gRace.noHumanMode, gRace.raceStarted, gRace.raceFinished, gRace.raceLeft,
                    gRace.trajectoriesLoaded, gRace.viewIndex, gRace.flyInActive})
    h.Byte(b);
  // The HUD's own: the race clock, the blink phase and the minimap.
  h.I32(gRace.timeRemaining);
  h.U32(gRace.frameCounter);
  h.Byte(gRace.minimapOn);
  h.U32(gRace.mapTexture);
  for (float f : {gFlyInCamera.x, gFlyInCamera.y, gFlyInCamera.z, gFlyInCamera.pitch, gFlyInCamera.heading,
                  gFlyInCamera.roll})
    h.F32(f);
  h.U32(gRandom.index);
  const Vehicle* vehicles[TRACE_VEHICLES];
  RaceVehicles(vehicles);
  const int32_t n = TRACE_VEHICLES;
  // The current pose as the index of the vehicle it belongs to.
  int32_t current = -1;
  for (int32_t i = 0; i < n; ++i)
    if (gRace.currentPose == &vehicles[i]->pose) current = i;
  h.I32(current);
  for (int32_t slot = 0; slot < VEHICLE_TABLE_SLOTS; ++slot) {
    const Vehicle* const* table = vehicles;
    h.I32(PointerIndex(gVehicleTable[slot], table, n));
  }
  for (int32_t i = 0; i < n; ++i) HashVehicle(&h, *vehicles[i]);
  h.Byte(gAmbient.model ? 1 : 0);
  for (float f : {gAmbient.hoverHeight, gAmbient.rotorAngle, gAmbient.dustTimer}) h.F32(f);
  h.I32(gAmbient.lookAngle);
  h.Byte(gAmbient.shadowEnabled);
  HashPlacedObjects(&h);
  HashWeather(&h);
  if (gRace.trackIndex == TRACK_HIGHWAY) HashTraffic(&h);
  // The effects: the three pools, the tyre-mark ring and its running index,
  // the dynamic draw slots.
  HashPool(&h, gFxSpritePool, FX_SPRITE_POOL, vehicles, n);
  HashPool(&h, gFxPuffPool, FX_PUFF_POOL, vehicles, n);
  HashPool(&h, gFxPiecePool, FX_PIECE_POOL, vehicles, n);
  h.I32(gTyreMarkNext);
  for (const TyreMark& mark : gTyreMarks) {
    h.Byte(mark.inUse);
    if (!mark.inUse) continue;
    for (const auto& corner : mark.corners) HashFloats(&h, corner, 3);
    h.F32(mark.depthBias);
    h.F32(mark.alpha);
  }
  for (int32_t i = 0; gDrawLists.dynamics && i < gDrawLists.dynamicCapacity; ++i) {
    const DrawSlot& s = gDrawLists.dynamics[i];
    if (!s.inUse) continue;
    h.I32(i);
    HashSlot(&h, s, vehicles, n);
  }
  HashReplay(&h);
  return h.value();
}

void RaceTraceBegin() {
  ++gTrace.race;
  gTrace.frame = 0;
  gTrace.endSeen = 0;
  for (SlotWatch& w : gTrace.slots) {
    w = SlotWatch{};
    w.sinceBoost = BOOST_WEARS_OFF;
  }
}

void RaceTraceFrame() {
  RaceNote notes[64];
  const int32_t noteCount = RaceTakeNotes(notes, 64);
  std::FILE* f = TraceFile();
  if (!f) return;
  ++gTrace.frame;
  WatchVehicles();
  std::fprintf(f, "%d %d %016" PRIx64 "\n", gTrace.race, gTrace.frame, RaceTraceHash());
  WriteNotes(f, notes, noteCount);
  const uint8_t ended = gRace.raceFinished || gRace.raceLeft;
  if (gTrace.frame % READABLE_EVERY == 0 || (ended && !gTrace.endSeen)) WriteReadable(f);
  gTrace.endSeen = ended;
  std::fflush(f);
}

void RaceTraceSetFile(std::FILE* file) {
  gTrace.file = file;
  gTrace.opened = file != nullptr;
}
