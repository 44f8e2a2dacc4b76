#include "hal/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<bool> gVirtual{false};
std::atomic<uint32_t> gVirtualNow{0};
std::atomic<uint32_t> gAutoStep{0};
std::atomic<int32_t> gHolds{0};
std::atomic<std::time_t> gCalendar{0};

uint32_t RealMilliseconds() {
  using namespace std::chrono;
  auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

}  // namespace

uint32_t HalTimeGetTime() {
  if (gVirtual.load(std::memory_order_relaxed))
    return gVirtualNow.fetch_add(gHolds.load(std::memory_order_relaxed) > 0 ? 0 : gAutoStep.load(std::memory_order_relaxed),
                                 std::memory_order_relaxed);
  return RealMilliseconds();
}

uint32_t HalTimePeek() {
  if (gVirtual.load(std::memory_order_relaxed)) return gVirtualNow.load(std::memory_order_relaxed);
  return RealMilliseconds();
}

void HalClockUseReal() { gVirtual = false; }

void HalClockUseVirtual(uint32_t start, uint32_t autoStep) {
  gVirtualNow = start;
  gAutoStep = autoStep;
  gVirtual = true;
}

bool HalClockIsVirtual() { return gVirtual; }
void HalClockAdvance(uint32_t ms) { gVirtualNow.fetch_add(ms); }
void HalClockSet(uint32_t ms) { gVirtualNow = ms; }
void HalClockHold() { ++gHolds; }
void HalClockRelease() {
  if (gHolds > 0) --gHolds;
}

void HalSleepBriefly() {
  if (!gVirtual) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::time_t HalCalendarNow() {
  std::time_t t = gCalendar;
  return t != 0 ? t : std::time(nullptr);
}

void HalCalendarOverride(std::time_t t) { gCalendar = t; }
