#include "hal/audio/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

namespace {

struct EventTable {
  std::mutex mutex;
  std::condition_variable changed;
  std::unordered_map<HalEvent, bool> signalled;
  HalEvent nextId = 1;
  uint32_t failCreates = 0;
  // Threads blocked in HalEventWaitAny, with the lists they wait on.
  uint32_t waiters = 0;
};

EventTable& Table() {
  static EventTable table;
  return table;
}

// Index of the first set event of the list; `count` when none; HAL_WAIT_FAILED
// when an event does not exist.
uint32_t FirstSet(EventTable& t, const HalEvent* events, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    auto it = t.signalled.find(events[i]);
    if (it == t.signalled.end()) return HAL_WAIT_FAILED;
    if (it->second) return i;
  }
  return count;
}

}  // namespace

HalEvent HalEventCreate() {
  EventTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (t.failCreates > 0) {
    --t.failCreates;
    return 0;
  }
  HalEvent id = t.nextId++;
  t.signalled[id] = false;
  return id;
}

bool HalEventClose(HalEvent event) {
  EventTable& t = Table();
  std::lock_guard lock(t.mutex);
  bool closed = t.signalled.erase(event) == 1;
  t.changed.notify_all();
  return closed;
}

bool HalEventSet(HalEvent event) {
  EventTable& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.signalled.find(event);
  if (it == t.signalled.end()) return false;
  it->second = true;
  t.changed.notify_all();
  return true;
}

uint32_t HalEventWaitAny(const HalEvent* events, uint32_t count, uint32_t timeoutMs) {
  if (!events || count == 0 || count > HAL_EVENT_MAX_WAIT) return HAL_WAIT_FAILED;
  EventTable& t = Table();
  std::unique_lock lock(t.mutex);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  ++t.waiters;
  t.changed.notify_all();
  uint32_t result;
  for (;;) {
    result = FirstSet(t, events, count);
    if (result == HAL_WAIT_FAILED) break;
    if (result < count) {
      t.signalled[events[result]] = false;
      break;
    }
    if (timeoutMs == HAL_WAIT_INFINITE) {
      t.changed.wait(lock);
    } else if (t.changed.wait_until(lock, deadline) == std::cv_status::timeout) {
      result = FirstSet(t, events, count);
      if (result < count) {
        t.signalled[events[result]] = false;
      } else if (result == count) {
        result = HAL_WAIT_TIMEOUT;
      }
      break;
    }
  }
  --t.waiters;
  t.changed.notify_all();
  return result;
}

bool HalEventWaitServed(const HalEvent* events, uint32_t count, uint32_t timeoutMs) {
  EventTable& t = Table();
  std::unique_lock lock(t.mutex);
  return t.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    return t.waiters > 0 && FirstSet(t, events, count) == count;
  });
}

uint32_t HalEventLiveCount() {
  EventTable& t = Table();
  std::lock_guard lock(t.mutex);
  return static_cast<uint32_t>(t.signalled.size());
}

void HalEventFailCreates(uint32_t count) {
  EventTable& t = Table();
  std::lock_guard lock(t.mutex);
  t.failCreates = count;
}

void HalEventResetForTest() {
  EventTable& t = Table();
  std::lock_guard lock(t.mutex);
  t.signalled.clear();
  t.failCreates = 0;
  t.changed.notify_all();
}
