// Bringing this machine into a network game and out of it again: the session
// layer created, a connection chosen with its settings, the sessions on it
// listed with their player counts, one hosted or joined, left, and all shut
// down (NetShutdown and NetDestroyLocalPlayer are declared in net/net.h, for
// the race and the shell). The network pages call these on the main thread;
// nothing here shows a message, the pages decide.
#pragma once
#include <cstdint>

#include "net/dp.h"
#include "net/net.h"

// The network state is gRace.networkGame (race/race.h): these values.
constexpr int32_t NET_STATE_NONE = 0;
constexpr int32_t NET_STATE_CREATED = 1;  // NetStart
constexpr int32_t NET_STATE_HOST = 2;     // in a session as its host; set by the network pages
constexpr int32_t NET_STATE_CLIENT = 3;   // in a session as a client; set by the network pages

constexpr int32_t NET_MAX_SESSIONS = DP_MAX_SESSIONS;
constexpr int32_t NET_SESSION_PLAYERS = 6;  // the game hosts for at most this many
// The player count of a session that could not be joined or read: the page
// offers no session with 6 or more.
constexpr uint16_t NET_PLAYERS_UNKNOWN = 666;

// One row of the join page's session list.
struct NetSessionEntry {
  const char* name;  // one of the layer's session names
  uint16_t players;
};

// Written on the main thread by the set-up below and by the game protocol.
struct NetState {
  uint32_t ownId;  // the local player; 0 when there is none
  uint8_t host;    // 1 on the machine that hosts
  uint32_t playerCount;
  DpPlayerEntry* playerList;  // as DpEnumPlayers gave it; freed by NetFreePlayerList
  int32_t sessionCount;       // listed by the last NetProbeSessions
  uint8_t sessionStarted;     // the host has started the game
  uint8_t probeBusy;          // NetProbeSessions runs; the network page sets and clears it too
  NetSessionEntry sessions[NET_MAX_SESSIONS];
  // The lists NetStart hands to the pages; the layer owns them until NetRelease.
  const DpName* connections;
  int32_t connectionCount;
  const DpName* modems;
  int32_t modemCount;
};
extern NetState gNet;

// Creates the layer (state 0 -> 1) with the connections and modems; in any
// other state only sets 1. False when the layer cannot be created.
bool NetStart();
bool NetInitConnection(int32_t index);
bool NetSelectModem(int32_t index, const char* phone);
bool NetSetHostAddress(const char* text);
// The first two serial settings; the others keep their values.
void NetSetSerialPort(uint32_t port, uint32_t baud);
// Lists the sessions on the connection, each joined in turn for its player
// count. False while a probe runs, and when the sessions cannot be listed
// (the busy flag then stays set until the page clears it).
bool NetProbeSessions();
bool NetHostSession(const char* name);
bool NetJoinSession(int32_t index);
// Closes the session and destroys the local player.
void NetLeaveSession();
// Shuts the layer down and forgets what it owned.
void NetRelease();
// Frees the player list, its names from the last to the first.
void NetFreePlayerList();
