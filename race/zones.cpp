// Race progress, laps and the zone map: where each vehicle is along the
// course, the finish line, the wrong-way and wrong-road warnings, the world's
// edge; and the coded ground cells that gather a cell level or start
// track 6's scripted run.
#include <algorithm>
#include <cmath>

#include "engine3d/mathutil.h"
#include "frontend/frontend.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "race/race.h"
#include "race/race_notes.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/trajectory.h"
#include "race/vehicle_steps.h"

namespace {

enum ZoneCode : uint8_t { ZONE_NONE = 0, ZONE_FINISH = 1, ZONE_WRONG_ROAD = 55, ZONE_OUT_OF_BOUNDS = 254 };

constexpr float ZONE_CELL_SCALE = 0.0025f;
constexpr float PROGRESS_CELL_SCALE = 0.01f;
constexpr int32_t PROGRESS_REACH = 2;  // cells on each side of the vehicle's
constexpr float PROGRESS_SEARCH = 100000000.0f;
constexpr float LINE_END_IGNORED = 1000.0f;
constexpr uint32_t LAP_MIN_MS = 25000;
constexpr int32_t FINISH_RANK_LAPS = 5;
constexpr int32_t FINISH_RANK_MS = 600000;
constexpr float FINISH_DELAY = 100.0f;
constexpr float MESSAGE_MS = 2000.0f;
constexpr float OFF_TRACK_MS = 3000.0f;
constexpr float RACE_OVER_MS = 5000.0f;
constexpr int32_t GAME_MODE_TRAINING = 0;
constexpr float CELL_LEVEL_RATE = 0.1f;
constexpr float CELL_LEVEL_MAX = 8.0f;
constexpr uint8_t RAMP_CODE_MIN = 56;
constexpr float RAMP_DISTANCE = 1200.0f;
constexpr float LOOP_JUMP_VELOCITY = 120.0f;

void CountLap(Vehicle* v) {
  const uint32_t lap = AppTimerElapsed(v->lapTimerSlot);
  RaceNoteFinishCrossing(v, lap, lap > LAP_MIN_MS);
  if (lap > LAP_MIN_MS) {
    const int32_t ms = static_cast<int32_t>(lap);
    if (ms < gRaceResults.bestLapMs) {
      gRaceResults.bestLapMs = ms;
      if (v->human == 1) HudShowPlayerMessage(HUD_MSG_BEST_LAP, MESSAGE_MS, v);
    }
    if (ms < v->bestLapMs) v->bestLapMs = ms;
    v->totalMs += ms;
    v->lastLapMs = ms;
    AppTimerStart(v->lapTimerSlot);
    ++v->lapsDone;
    if (v->lapsDone >= gRace.lapCount && !gRace.noHumanMode) {
      v->championTotal += v->totalMs;
      if (v->totalMs < gRaceResults.totalMs) gRaceResults.totalMs = v->totalMs;
      v->finished = 1;
      v->lapsDone = gRace.lapCount - 1;
      if (v->human == 1) {
        HudShowMessage(HUD_MSG_RACE_OVER, RACE_OVER_MS);
        v->endViewX = gRace.currentPose->x;
        v->endViewZ = gRace.currentPose->z;
        v->finishDelay = FINISH_DELAY;
      }
      // Finished vehicles rank above running ones, the faster first. Summed
      // wide: the course length and the total come from files and clocks.
      const int64_t rank = int64_t{TruncI32(static_cast<float>(gRace.lapCount + FINISH_RANK_LAPS) * gTrajLength)} +
                           (FINISH_RANK_MS - int64_t{v->totalMs});
      v->progress = static_cast<int32_t>(std::clamp<int64_t>(rank, INT32_MIN, INT32_MAX));
    }
  }
  v->lineCrossed = 1;
}

}  // namespace

uint8_t RaceZoneCodeAt(float x, float z) {
  const float width = static_cast<float>(POSITION_MAP_COLS) / ZONE_CELL_SCALE;
  const float depth = static_cast<float>(POSITION_MAP_ROWS) / ZONE_CELL_SCALE;
  if (!(x >= 0.0f && x < width && z >= 0.0f && z < depth)) return ZONE_OUT_OF_BOUNDS;
  int32_t column = TruncI32(x * ZONE_CELL_SCALE), row = TruncI32(z * ZONE_CELL_SCALE);
  if (column >= POSITION_MAP_COLS) column = POSITION_MAP_COLS - 1;
  if (row >= POSITION_MAP_ROWS) row = POSITION_MAP_ROWS - 1;
  return gTrackPositionMap[row][column];
}

void RaceUpdateProgress(Vehicle* v) {
  if (v->finished) return;
  const Camera& pose = *gRace.currentPose;
  const int32_t column0 = TruncI32(pose.x * PROGRESS_CELL_SCALE - static_cast<float>(PROGRESS_REACH));
  const int32_t row0 = TruncI32(pose.z * PROGRESS_CELL_SCALE - static_cast<float>(PROGRESS_REACH));
  // The 5 x 5 cells from there, cut to the grid; a position far outside
  // (wherever a respawn or a crash put it) saturates and leaves none.
  const int32_t firstRow = std::max(row0, 0), firstColumn = std::max(column0, 0);
  const int64_t lastRow = std::min<int64_t>(int64_t{row0} + 2 * PROGRESS_REACH, TRAJ_GRID_ROWS - 1);
  const int64_t lastColumn = std::min<int64_t>(int64_t{column0} + 2 * PROGRESS_REACH, TRAJ_GRID_COLS - 1);
  float best = PROGRESS_SEARCH;
  const TrajDensePoint* nearest = nullptr;
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    for (int32_t column = firstColumn; column <= lastColumn; ++column) {
      const TrajGridCell& cell = gTrajGrid[row][column];
      for (int32_t i = 0; i < cell.count; ++i) {
        const TrajDensePoint& p = cell.first[i];
        const float dx = p.x - pose.x, dz = p.z - pose.z;
        const float d = dx * dx + dz * dz;
        if (d < best) {
          best = d;
          nearest = &p;
        }
      }
    }
  }
  if (!nearest) return;
  // Until the line is re-armed the end of the course still belongs to the lap just counted.
  if (v->lineCrossed && nearest->distance > gTrajLength - LINE_END_IGNORED) return;
  v->progress = TruncI32(static_cast<float>(v->lapsDone) * gTrajLength + nearest->distance);
}

void RaceCheckZone(Vehicle* v, Vehicle* driver) {
  const Camera& pose = *gRace.currentPose;
  const uint8_t code = RaceZoneCodeAt(pose.x, pose.z);
  const uint8_t old = v->zoneCode;
  if (code != old) {
    switch (code) {
      case ZONE_NONE: v->guidePoint = -1; break;
      case ZONE_FINISH:
        if (gRace.gameMode != GAME_MODE_TRAINING && gRace.raceStarted && !v->finished && !v->lineCrossed) CountLap(v);
        break;
      case ZONE_WRONG_ROAD:
        v->guidePoint = -1;
        if (v->human == 1) HudShowPlayerMessage(HUD_MSG_WRONG_ROAD, MESSAGE_MS, v);
        break;
      case ZONE_OUT_OF_BOUNDS:
        v->guidePoint = -1;
        if (v->state != VEHICLE_RESETTING) {
          if (!driver) HudShowPlayerMessage(HUD_MSG_OFF_TRACK, OFF_TRACK_MS, v);
          AiRespawnVehicle(driver, v, 1);
        }
        break;
      default:
        if (v->state != VEHICLE_KNOCKED) {
          v->lastGoodX = pose.x;
          v->lastGoodZ = pose.z;
        }
        if (old != ZONE_NONE && old != ZONE_WRONG_ROAD && v->human == 1 && old > code)
          HudShowPlayerMessage(HUD_MSG_WRONG_WAY, MESSAGE_MS, v);
        break;
    }
    v->zoneCode = code;
  }
  if ((code == ZONE_NONE || code == ZONE_FINISH) && gRace.raceStarted) return;
  RaceUpdateProgress(v);
}

int32_t VehicleCheckGroundCell(Vehicle* v) {
  const Camera& pose = *gRace.currentPose;
  if (!(std::fabs(pose.x) < 1.0e9f && std::fabs(pose.z) < 1.0e9f)) return 0;
  const int32_t column = TruncI32(pose.x) / 100, row = TruncI32(pose.z) / 100;
  if (column < 0 || column >= TRACK_GROUND_COLS || row < 0 || row >= TRACK_GROUND_ROWS) return 0;
  v->cellCode = gTrackGround[row][column].surface;
  if (v->cellCode == 0) {
    v->cellLevel -= CELL_LEVEL_RATE * gRace.timeStep;
    if (v->cellLevel < 0.0f) v->cellLevel = 0.0f;
    return 0;
  }
  if (v->cellCode >= RAMP_CODE_MIN && !(v->rampCountdown > 0.0f)) {
    v->rampCountdown = RAMP_DISTANCE;
    v->rampCode = v->cellCode;
  }
  v->cellLevel += CELL_LEVEL_RATE * gRace.timeStep;
  if (v->cellLevel > CELL_LEVEL_MAX) v->cellLevel = CELL_LEVEL_MAX;
  return 1;
}

int32_t VehicleCheckLoopJump(Vehicle* v) {
  if (gRace.trackIndex != TRACK_LOOPING) return 0;
  return v->rampCountdown > 0.0f && v->velocity > LOOP_JUMP_VELOCITY &&
                 v->velocity * 2.0f * gRace.timeStep > v->rampCountdown
             ? 1
             : 0;
}
