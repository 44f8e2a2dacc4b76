#include "race/race_trace.h"

#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine3d/random.h"
#include "presentation/messages.h"
#include "race/race.h"

namespace {

constexpr uint64_t FNV_OFFSET = 0xcbf29ce484222325ull;
constexpr uint64_t FNV_PRIME = 0x100000001b3ull;
constexpr int32_t READABLE_EVERY = 25;

struct TraceState {
  std::FILE* file;
  bool opened;
  int32_t race;
  int32_t frame;
  uint8_t endSeen;
};
TraceState gTrace;

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

// The vehicles of the race in a fixed order: player 1, then the grid slots.
int32_t RaceVehicles(const Vehicle* out[1 + VEHICLE_TABLE_SLOTS]) {
  int32_t n = 0;
  out[n++] = gPlayer1Vehicle ? gPlayer1Vehicle : &gPlayer1;
  for (const Vehicle* v : gVehicleTable)
    if (v) out[n++] = v;
  return n;
}

void HashVehicle(Hasher* h, const Vehicle& v) {
  for (float f : {v.pose.x, v.pose.y, v.pose.z, v.pose.pitch, v.pose.heading, v.pose.roll, v.velocity}) h->F32(f);
  for (int32_t i : {v.state, v.timerSlot, v.lapTimerSlot, v.progress, v.lapsDone, v.finishPosition, v.controllerType})
    h->I32(i);
  for (uint8_t b : {v.finished, v.human, v.controls, v.previousControls, v.cameraView}) h->Byte(b);
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
  std::fprintf(f, "# raceStarted %u raceFinished %u raceLeft %u message %d\n", gRace.raceStarted,
               gRace.raceFinished, gRace.raceLeft, gHudMessages.global.number);
  const Vehicle* vehicles[1 + VEHICLE_TABLE_SLOTS];
  const int32_t n = RaceVehicles(vehicles);
  for (int32_t i = 0; i < n; ++i) {
    const Vehicle& v = *vehicles[i];
    std::fprintf(f, "#   vehicle %d position %.3f %.3f %.3f velocity %.3f state %d laps %d finished %u progress %d\n", i,
                 v.pose.x, v.pose.y, v.pose.z, v.velocity, v.state, v.lapsDone, v.finished, v.progress);
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
  h.U32(gRandom.index);
  const Vehicle* vehicles[1 + VEHICLE_TABLE_SLOTS];
  const int32_t n = RaceVehicles(vehicles);
  // The current pose as the index of the vehicle it belongs to.
  int32_t current = -1;
  for (int32_t i = 0; i < n; ++i)
    if (gRace.currentPose == &vehicles[i]->pose) current = i;
  h.I32(current);
  for (int32_t i = 0; i < n; ++i) HashVehicle(&h, *vehicles[i]);
  return h.value();
}

void RaceTraceBegin() {
  ++gTrace.race;
  gTrace.frame = 0;
  gTrace.endSeen = 0;
}

void RaceTraceFrame() {
  std::FILE* f = TraceFile();
  if (!f) return;
  ++gTrace.frame;
  std::fprintf(f, "%d %d %016" PRIx64 "\n", gTrace.race, gTrace.frame, RaceTraceHash());
  const uint8_t ended = gRace.raceFinished || gRace.raceLeft;
  if (gTrace.frame % READABLE_EVERY == 0 || (ended && !gTrace.endSeen)) WriteReadable(f);
  gTrace.endSeen = ended;
  std::fflush(f);
}

void RaceTraceSetFile(std::FILE* file) {
  gTrace.file = file;
  gTrace.opened = file != nullptr;
}
