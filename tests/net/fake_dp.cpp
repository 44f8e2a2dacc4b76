#include "fake_dp.h"

#include <cstdio>
#include <cstring>

#include "net/dp.h"

FakeDp gFakeDp;

namespace {

DpName gNames[DP_MAX_SESSIONS];
const DpName CONNECTIONS[1] = {{"TCP/IP"}};
const DpName MODEMS[1] = {{""}};
int32_t gJoined = -1;  // the open session

void Note(const std::string& call) { gFakeDp.calls.push_back(call); }

}  // namespace

bool DpCreate(const uint8_t application[16], const DpName** connections, int32_t* count) {
  Note(std::memcmp(application, DP_APPLICATION_GUID, 16) == 0 ? "DpCreate(game)" : "DpCreate(other)");
  if (gFakeDp.createFails) return false;
  *connections = CONNECTIONS;
  *count = 1;
  return true;
}

bool DpGetModems(const DpName** modems, int32_t* count) {
  Note("DpGetModems");
  *modems = MODEMS;
  *count = 0;
  return true;
}

bool DpEnumSessions(const DpName** names, int32_t* count) {
  Note("DpEnumSessions");
  if (gFakeDp.enumFails) return false;
  for (size_t i = 0; i < gFakeDp.sessions.size(); ++i) std::snprintf(gNames[i].text, DP_NAME_BYTES, "s%zu", i);
  *names = gNames;
  *count = static_cast<int32_t>(gFakeDp.sessions.size());
  return true;
}

bool DpJoinSession(int32_t index) {
  Note("DpJoinSession(" + std::to_string(index) + ")");
  gJoined = gFakeDp.sessions.at(static_cast<size_t>(index)).joins ? index : -1;
  return gJoined >= 0;
}

bool DpGetSessionDesc(DpSessionDesc* desc) {
  Note("DpGetSessionDesc");
  if (gJoined < 0) return false;
  const FakeSession& s = gFakeDp.sessions.at(static_cast<size_t>(gJoined));
  desc->currentPlayers = s.players;
  return s.readable;
}

void DpCloseSession() {
  Note("DpCloseSession");
  gJoined = -1;
}
bool DpStopEnumSessions() {
  Note("DpStopEnumSessions");
  return true;
}
bool DpHostSession(const char* name, int32_t maxPlayers) {
  Note("DpHostSession(" + std::string(name) + "," + std::to_string(maxPlayers) + ")");
  return true;
}
bool DpInitConnection(int32_t index) {
  Note("DpInitConnection(" + std::to_string(index) + ")");
  return true;
}
bool DpDestroyPlayer(uint32_t id) {
  Note("DpDestroyPlayer(" + std::to_string(id) + ")");
  return true;
}
void DpShutdown() { Note("DpShutdown"); }

// The settings go to the layer unchanged.
bool DpSelectModem(int32_t index, const char*) {
  Note("DpSelectModem(" + std::to_string(index) + ")");
  return false;
}
bool DpSetHostAddress(const char* text) {
  Note("DpSetHostAddress(" + std::string(text) + ")");
  return true;
}
bool DpGetSerialSettings(uint32_t*) { return false; }
bool DpSetSerialSettings(const uint32_t*) { return false; }
