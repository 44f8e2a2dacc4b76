// A recording stand-in of the session layer (fake_dp.cpp defines every Dp*
// operation the set-up calls): each call is noted, and a script decides what
// the sessions answer.
#pragma once
#include <string>
#include <vector>

struct FakeSession {
  bool joins = true;
  bool readable = true;
  uint32_t players = 0;
};

struct FakeDp {
  std::vector<std::string> calls;
  bool createFails = false;
  bool enumFails = false;
  std::vector<FakeSession> sessions;
};
extern FakeDp gFakeDp;
