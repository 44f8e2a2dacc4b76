// The process's session layer against machines of hal/net that the test
// drives itself: on the simulated network (the virtual clock moves it) or on
// 127.0.0.1. What the layer's callbacks receive is recorded with the thread
// they ran on. Waits poll a condition with a generous bound, never sleep a
// fixed time.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hal/net_fixture.h"
#include "net/dp.h"
#include "net/session.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "race/race.h"

struct Got {
  bool system;
  uint32_t to, from, arrivalMs;
  std::vector<uint8_t> bytes;
  bool onMainThread;
  uint32_t Type() const {
    uint32_t t = 0;
    std::memcpy(&t, bytes.data(), std::min<size_t>(4, bytes.size()));
    return t;
  }
  uint32_t Value() const {
    uint32_t v = 0;
    if (bytes.size() >= 8) std::memcpy(&v, bytes.data() + 4, 4);
    return v;
  }
  // System messages about a player: its id and name.
  uint32_t SysId() const {
    HalNetSysPlayer s{};
    std::memcpy(&s, bytes.data(), std::min(bytes.size(), sizeof s));
    return s.id;
  }
  std::string SysName() const {
    HalNetSysPlayer s{};
    std::memcpy(&s, bytes.data(), std::min(bytes.size(), sizeof s));
    return std::string(s.name, strnlen(s.name, sizeof s.name));
  }
};

inline std::vector<Got> gGot;
inline std::thread::id gMainThread;

inline bool RecordSystem(uint32_t to, const void* message, uint32_t size, uint32_t arrivalMs, void*) {
  const auto* bytes = static_cast<const uint8_t*>(message);
  gGot.push_back(Got{true, to, 0, arrivalMs, {bytes, bytes + size}, std::this_thread::get_id() == gMainThread});
  return true;
}

inline bool RecordPlayer(uint32_t to, const void* message, uint32_t size, uint32_t from, uint32_t arrivalMs, void*) {
  const auto* bytes = static_cast<const uint8_t*>(message);
  gGot.push_back(Got{false, to, from, arrivalMs, {bytes, bytes + size}, std::this_thread::get_id() == gMainThread});
  return true;
}

inline size_t CountGot(const std::function<bool(const Got&)>& match) {
  size_t n = 0;
  for (const Got& g : gGot) n += match(g);
  return n;
}

inline std::function<bool(const Got&)> SystemAbout(uint32_t type, uint32_t id) {
  return [type, id](const Got& g) { return g.system && g.Type() == type && g.SysId() == id; };
}

// Pumps the main thread's messages, on the wall clock, until `done` holds.
inline bool PumpUntil(const std::function<bool()>& done, uint32_t boundMs = TEST_WAIT_MS) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
  for (;;) {
    AppPumpMessages();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

class DpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    gGot.clear();
    gMainThread = std::this_thread::get_id();
    gRace.networkGame = NET_STATE_NONE;
  }
  void TearDown() override {
    // The layer's threads end before the machines they hear from.
    DpShutdown();
    for (HalNet* net : machines_) HalNetDestroy(net);
  }

  // A machine of the test's own on the same network as the layer.
  HalNet* Machine(const HalNetConfig& config) {
    HalNet* net = HalNetCreate(config);
    EXPECT_NE(net, nullptr);
    machines_.push_back(net);
    return net;
  }

  std::vector<HalNet*> machines_;
};
