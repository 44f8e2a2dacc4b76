// Network operations, flags and tables the race and the shell use.
//
// Until the game protocol exists the tables are a stand-in that tests fill.
// The protocol's handlers will write them on the main thread (net/dp.h);
// every read goes through the accessors below.
#pragma once
#include <atomic>
#include <cstdint>

struct Vehicle;

// Set when the host tells this player to quit.
extern std::atomic<uint8_t> gNetQuit;

constexpr int NET_MAX_PARTICIPANTS = 6;
constexpr int NET_SIGNAL_COUNTERS = 50;
constexpr int NET_SIGNAL_RACE_OVER = 3;
// The race start: clients wait for this counter, which the host's signal
// raises once every client has answered or the host gave up on it.
constexpr int NET_SIGNAL_START = 6;
// Counter NET_SIGNAL_REPLY + i is set when participant i answers a query.
constexpr int NET_SIGNAL_REPLY = 10;

// One received vehicle state, as the remote-vehicle step reads it.
struct NetReceivedState {
  float pose[6];  // x, y, z, pitch, heading, roll
  float velocity;
  float steerInput;
  float heading;
  float bodyRoll;
  float bodyPitch;
  float slideAngle;
  float slideUndersteer;
};

struct NetParticipants {
  int32_t count;
  Vehicle* records[NET_MAX_PARTICIPANTS];  // in the order of the session's players
  const char* names[NET_MAX_PARTICIPANTS];  // the players' names, null where not known
  int32_t ownIndex;
  uint8_t host;
  uint8_t abort;
  uint8_t left;
  uint8_t ready;  // a client has reached the race start and answers queries
  uint8_t stateReceived[NET_MAX_PARTICIPANTS];  // the flag pair: new state received,
  uint8_t stateConsumed[NET_MAX_PARTICIPANTS];  // state consumed
  NetReceivedState newest[NET_MAX_PARTICIPANTS];
  NetReceivedState previous[NET_MAX_PARTICIPANTS];
  int32_t intervalMs[NET_MAX_PARTICIPANTS];  // between the two states
  int32_t minimumIntervalMs;
  int32_t signalCounters[NET_SIGNAL_COUNTERS];
};
// Written by the network layer (and by tests); read through the accessors.
extern NetParticipants gNetParticipants;

int32_t NetParticipantCount();
// The participant's record, null outside 0 .. count - 1.
Vehicle* NetParticipantRecord(int32_t index);
// The participant's name, null outside 0 .. count - 1 or where not known.
const char* NetParticipantName(int32_t index);
int32_t NetOwnIndex();
Vehicle* NetOwnRecord();
uint8_t NetIsHost();
uint8_t NetAbortFlag();
int32_t NetSignalCounter(int32_t counter);
// The participant index of a record, -1 when it takes no part.
int32_t NetPlayerIndex(const Vehicle* vehicle);

void NetSendCarState();
// The network-local vehicle's state into the snapshot NetSendCarState sends.
void NetSnapshotCar();
void NetSendRaceOver();
// Leaves the network game from any state (net/session.h): gRace.networkGame is 0 after it.
void NetShutdown();
// Destroys the local player, when there is one.
void NetDestroyLocalPlayer();

// The start of a network race.
// Asks the participant to answer once it has reached the start.
void NetSendQuery(int32_t participant);
// Makes the participant leave the session.
void NetSendQuit(int32_t participant);
// Signal 0 goes to the host, any other to every participant.
void NetSendSignal(int32_t counter);
// Waits on timer slot 32 until the counter equals `value` or `timeoutMs`
// pass -> whether it got there.
bool NetWaitCounter(int32_t counter, int32_t value, uint32_t timeoutMs);
// Clears every participant's flag pair.
void NetClearPlayerFlags();
