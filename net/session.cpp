// The session set-up. NetShutdown and NetDestroyLocalPlayer live here with it,
// so that a test which stands in for them replaces this file whole.
#include "net/session.h"

#include <algorithm>

#include "platform/app.h"
#include "platform/mem.h"
#include "race/race.h"

NetState gNet;

bool NetStart() {
  AppPumpMessages();
  if (gRace.networkGame == NET_STATE_NONE) {
    if (!DpCreate(DP_APPLICATION_GUID, &gNet.connections, &gNet.connectionCount)) return false;
    DpGetModems(&gNet.modems, &gNet.modemCount);
  }
  gRace.networkGame = NET_STATE_CREATED;
  return true;
}

void NetShutdown() {
  AppPumpMessages();
  if (gRace.networkGame == NET_STATE_NONE) return;
  if (gRace.networkGame == NET_STATE_HOST || gRace.networkGame == NET_STATE_CLIENT) NetLeaveSession();
  NetRelease();
  gNet.sessionStarted = 0;
  gRace.networkGame = NET_STATE_NONE;
}

bool NetInitConnection(int32_t index) { return DpInitConnection(index); }
bool NetSelectModem(int32_t index, const char* phone) { return DpSelectModem(index, phone); }
bool NetSetHostAddress(const char* text) { return DpSetHostAddress(text); }

void NetSetSerialPort(uint32_t port, uint32_t baud) {
  uint32_t settings[DP_SERIAL_WORDS];
  DpGetSerialSettings(settings);
  settings[DP_SERIAL_PORT] = port;
  settings[DP_SERIAL_BAUD] = baud;
  DpSetSerialSettings(settings);
}

bool NetProbeSessions() {
  if (gNet.probeBusy) return false;
  gNet.probeBusy = 1;
  const DpName* names = nullptr;
  if (!DpEnumSessions(&names, &gNet.sessionCount)) return false;
  gNet.probeBusy = 0;
  for (int32_t i = 0; i < gNet.sessionCount && i < NET_MAX_SESSIONS; ++i) {
    NetSessionEntry& entry = gNet.sessions[i];
    entry.name = names[i].text;
    // Neither a count from an earlier probe, which may have been another
    // session's, nor one that cannot be read is shown.
    entry.players = NET_PLAYERS_UNKNOWN;
    if (!DpJoinSession(i)) continue;
    DpSessionDesc desc;
    if (DpGetSessionDesc(&desc)) entry.players = static_cast<uint16_t>(std::min<uint32_t>(desc.currentPlayers, 0xFFFF));
    DpCloseSession();
  }
  return true;
}

bool NetHostSession(const char* name) {
  if (!DpHostSession(name, NET_SESSION_PLAYERS)) return false;
  gNet.host = 1;
  return true;
}

bool NetJoinSession(int32_t index) {
  if (!DpJoinSession(index)) return false;
  gNet.host = 0;
  return true;
}

void NetLeaveSession() {
  DpCloseSession();
  DpStopEnumSessions();
  gNet.sessionCount = 0;
  gNet.host = 0;
  NetDestroyLocalPlayer();
  NetFreePlayerList();
}

void NetRelease() {
  DpShutdown();
  gNet.connections = nullptr;
  gNet.connectionCount = 0;
  gNet.modems = nullptr;
  gNet.modemCount = 0;
  // The session, its players and the listed sessions went with the layer.
  gNet.ownId = 0;
  gNet.host = 0;
  gNet.sessionCount = 0;
  NetFreePlayerList();
}

void NetFreePlayerList() {
  if (gNet.playerList == nullptr) {
    gNet.playerCount = 0;
    return;
  }
  while (gNet.playerCount > 0) MemFree(gNet.playerList[--gNet.playerCount].name);
  MemFree(gNet.playerList);
  gNet.playerList = nullptr;
}

void NetDestroyLocalPlayer() {
  if (gNet.ownId == 0) return;
  DpDestroyPlayer(gNet.ownId);
  gNet.ownId = 0;
}
