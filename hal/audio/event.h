// Auto-reset events that any thread may set and a thread may wait on, several
// at once. The sound device sets them from its mixer thread.
#pragma once
#include <cstdint>

using HalEvent = uint32_t;  // 0 is none

constexpr uint32_t HAL_WAIT_FAILED = 0xFFFFFFFF;
constexpr uint32_t HAL_WAIT_TIMEOUT = 0x00000102;
constexpr uint32_t HAL_WAIT_INFINITE = 0xFFFFFFFF;
constexpr uint32_t HAL_EVENT_MAX_WAIT = 128;

// Unsignalled, auto-reset. 0 when none can be made (tests can make it so).
HalEvent HalEventCreate();
bool HalEventClose(HalEvent event);
bool HalEventSet(HalEvent event);
// Waits until one of the events is set, clears it and returns its index (the
// lowest when several are set). HAL_WAIT_FAILED for a bad list or a closed
// event, HAL_WAIT_TIMEOUT when the time passes first.
uint32_t HalEventWaitAny(const HalEvent* events, uint32_t count, uint32_t timeoutMs);
// For tests: waits until a thread is blocked in HalEventWaitAny and none of the
// given events is set, i.e. every event set before this call has been served.
bool HalEventWaitServed(const HalEvent* events, uint32_t count, uint32_t timeoutMs);
uint32_t HalEventLiveCount();
// For tests: the next `count` creations fail.
void HalEventFailCreates(uint32_t count);
void HalEventResetForTest();
