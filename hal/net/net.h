// Peer-to-peer sessions over UDP, as the game's session layer expects of its
// platform: one connection ("TCP/IP"), sessions found by enumeration, hosted,
// joined and closed; players with ids the host gives; system messages from id
// 0; sends to one player or to all but the sender; a queue per local player
// whose arrivals raise the player's receive signal.
//
// Every member of a session is linked to every other (a mesh), so the session
// outlives its host: the remaining member with the lowest player id takes over.
//
// Two implementations behind the same functions: ENet over UDP (one service
// thread per instance), and a simulated network of machines inside one process
// on the virtual clock, which drops, delays, duplicates and reorders game
// messages by a table of rules, the same way on every run.
//
// Several instances live side by side in one process.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct HalNet;      // one machine's end of the network
struct HalNetSim;   // a simulated network joining HalNet machines

// What a peer may make this machine hold.
constexpr uint32_t HAL_NET_MAX_MESSAGE = 512;       // bytes of one game message
constexpr uint32_t HAL_NET_MAX_SESSION_NAME = 255;  // bytes, without the NUL
constexpr uint32_t HAL_NET_MAX_PLAYER_NAME = 63;
constexpr uint32_t HAL_NET_MAX_SESSIONS = 30;       // listed by an enumeration
constexpr uint32_t HAL_NET_MAX_PLAYERS = 30;        // in one session
constexpr uint32_t HAL_NET_QUEUE_LIMIT = 256;       // messages waiting for one local player
constexpr uint32_t HAL_NET_RATE_LIMIT = 200;        // game messages a member may send in one second

// Hosts listen on the first free port of HAL_NET_PORT_COUNT ports from the
// base; TORVANE_NET_PORT overrides the base.
constexpr uint16_t HAL_NET_PORT_BASE = 27460;
constexpr uint16_t HAL_NET_PORT_COUNT = 8;

// Session flag: no new players (the session does not answer enumeration).
constexpr uint32_t HAL_NET_SESSION_NEWPLAYERSDISABLED = 1;

// System messages (sender id 0): the first u32 is the type.
constexpr uint32_t HAL_NET_SYS_CREATEPLAYER = 3;
constexpr uint32_t HAL_NET_SYS_DESTROYPLAYER = 5;
constexpr uint32_t HAL_NET_SYS_HOST = 0x101;
constexpr uint32_t HAL_NET_PLAYERTYPE_PLAYER = 1;

#pragma pack(push, 1)
// Create and destroy player.
struct HalNetSysPlayer {
  uint32_t type;
  uint32_t playerType;
  uint32_t id;
  char name[HAL_NET_MAX_PLAYER_NAME + 1];
};
#pragma pack(pop)
static_assert(sizeof(HalNetSysPlayer) == 76);

// Send flags: the default is reliable and ordered.
constexpr uint32_t HAL_NET_SEND_UNRELIABLE_SEQUENCED = 1;  // an older one never overtakes a newer one

// Receive results.
enum HalNetReceiveResult : int32_t {
  HAL_NET_RECEIVED = 0,
  HAL_NET_NO_MESSAGE = 1,
  HAL_NET_BUFFER_TOO_SMALL = 2,  // *size holds the size needed; the message stays queued
  HAL_NET_RECEIVE_FAILED = 3,    // no such local player, or bad arguments
};

struct HalNetConfig {
  uint8_t application[16] = {};  // sessions of another application stay invisible
  // 0: TORVANE_NET_PORT, else HAL_NET_PORT_BASE.
  uint16_t portBase = 0;
  // How long a silent peer lives on (ENet's time-out).
  uint32_t timeoutMs = 5000;
  // How long a join waits for the host, and closing for the peers' goodbye.
  uint32_t joinWaitMs = 3000;
  uint32_t closeWaitMs = 1000;
  // Non-null: a machine of this simulated network instead of UDP.
  HalNetSim* sim = nullptr;
};

struct HalNetSessionInfo {
  uint8_t instance[16];
  std::string name;
  uint32_t currentPlayers;
  uint32_t maxPlayers;
  uint32_t flags;
  std::string address;  // "a.b.c.d:port" of the host that answered
};

struct HalNetSessionDesc {
  uint8_t instance[16];
  uint32_t flags;
  uint32_t maxPlayers;
  uint32_t currentPlayers;
  std::string name;
};

struct HalNetPlayerInfo {
  uint32_t id;
  std::string name;
  bool local;
};

// Raised (from any thread, with the instance's lock held: only note it) when a
// message joins a local player's queue, and once more when the player is
// removed, after which its receive fails.
struct HalNetSignal {
  void (*raise)(void* context) = nullptr;
  void* context = nullptr;
};

// The connections this platform offers; never a modem or a serial link.
std::vector<std::string> HalNetConnections();
std::vector<std::string> HalNetModems();

HalNet* HalNetCreate(const HalNetConfig& config);
// Flushes what is queued and says goodbye within config.closeWaitMs; closes the
// session first. Instances still open when the process ends are closed so too.
void HalNetDestroy(HalNet* net);

// Where enumeration looks: "host", "host:port" or "a.b.c.d[:port]"; empty is
// the local network (broadcast and 127.0.0.1). False for text that is no address.
bool HalNetSetAddress(HalNet* net, const std::string& address);
// Asynchronous: each call asks again (at most every few hundred ms) and returns
// every session that has answered so far, each keeping its place in the list.
bool HalNetEnumSessions(HalNet* net, std::vector<HalNetSessionInfo>* sessions);
void HalNetStopEnumSessions(HalNet* net);

bool HalNetHostSession(HalNet* net, const std::string& name, uint32_t maxPlayers);
// Joins a session of the last enumeration; waits for the host's answer.
bool HalNetJoinSession(HalNet* net, const uint8_t instance[16]);
// Destroys the local players (for the others too) and leaves.
void HalNetCloseSession(HalNet* net);
bool HalNetInSession(HalNet* net);
bool HalNetIsHost(HalNet* net);
bool HalNetGetSessionDesc(HalNet* net, HalNetSessionDesc* desc);
// Only the host changes the description (flags, maximum, name); the members see it.
bool HalNetSetSessionDesc(HalNet* net, const HalNetSessionDesc& desc);

// Waits for the host's answer; ids are non-zero, ascend and are never reused.
bool HalNetCreatePlayer(HalNet* net, const std::string& name, HalNetSignal signal, uint32_t* id);
bool HalNetDestroyPlayer(HalNet* net, uint32_t id);
bool HalNetEnumPlayers(HalNet* net, std::vector<HalNetPlayerInfo>* players);
// Cuts the link to the machine of that player: its players are destroyed
// here and, when this machine hosts, for every member.
bool HalNetDropPlayer(HalNet* net, uint32_t id);

// to 0: every player but the sender; else that player (a local one locally).
bool HalNetSend(HalNet* net, uint32_t from, uint32_t to, const void* data, uint32_t size, uint32_t flags);
// The next message for local player *to (0: any local player; *to is set to
// the addressee). from 0 is a system message.
HalNetReceiveResult HalNetReceive(HalNet* net, uint32_t* from, uint32_t* to, void* buffer, uint32_t* size,
                                  uint32_t* arrivalMs);

// The simulated network. Rules act on game messages in the order given; a
// message takes the first rule that matches it.
enum HalNetSimAction : int32_t {
  HAL_NET_SIM_DROP,
  HAL_NET_SIM_DELAY,      // deliver `delayMs` later
  HAL_NET_SIM_DUPLICATE,  // deliver twice
  HAL_NET_SIM_REORDER,    // hold back until the next message on the same way has gone
};
struct HalNetSimRule {
  int32_t from = -1;            // machine index, -1 any
  int32_t to = -1;
  int32_t messageType = -1;     // first u32 of the game message, -1 any
  uint32_t first = 0;           // matching messages counted from 0: the rule takes number
  uint32_t every = 1;           // first, first + every, ... (0: only first)
  HalNetSimAction action = HAL_NET_SIM_DROP;
  uint32_t delayMs = 0;
};
// Latency of every delivery, in virtual ms.
HalNetSim* HalNetSimCreate(uint32_t latencyMs);
void HalNetSimDestroy(HalNetSim* sim);
void HalNetSimSetRules(HalNetSim* sim, const std::vector<HalNetSimRule>& rules);
// Delivers everything due by the virtual clock's time (every call on one of its
// machines does so too).
void HalNetSimPump(HalNetSim* sim);

// For tests: the instance vanishes without a goodbye, or its service thread stops.
void HalNetAbandonForTest(HalNet* net);
void HalNetHaltForTest(HalNet* net, bool halted);
// The UDP port the instance listens on.
uint16_t HalNetPortForTest(HalNet* net);
