// The session layer between the game's protocol and hal/net: this machine's
// end of the network, the connections it offers and their settings, sessions
// listed, hosted, joined and closed, the local players with a receive thread
// each, the sends, and the shutdown. Operations give true / false; a failure
// sets the last status.
//
// Threads: a local player's receive thread only takes what hal/net holds for
// its player and queues it, with sender and arrival time. The main thread
// hands the queue to the player's callbacks in DpDispatchMessages, which
// AppPumpMessages runs while the layer exists, so the callbacks never need a
// lock. Everything else is called on the main thread.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "hal/net/net.h"

constexpr int32_t DP_MAX_CONNECTIONS = 30;
constexpr int32_t DP_MAX_MODEMS = 30;
constexpr int32_t DP_MAX_SESSIONS = 30;
constexpr uint32_t DP_MAX_PLAYERS = 30;  // in a player list, and the most a session may hold
constexpr uint32_t DP_NAME_BYTES = 256;  // a name or the host address, with its NUL
constexpr uint32_t DP_PHONE_BYTES = 52;
constexpr int32_t DP_SERIAL_WORDS = 5;
// The receive buffer's size until a larger message comes; it never grows
// beyond HAL_NET_MAX_MESSAGE.
constexpr uint32_t DP_FIRST_BUFFER = 100;
// Messages of one player waiting for the main thread; beyond them the rest
// waits in hal/net, whose own limit then applies.
constexpr uint32_t DP_QUEUE_LIMIT = HAL_NET_QUEUE_LIMIT;

// The last status of a failed operation: a refusal of hal/net or of the
// layer's own checks, or a result hal/net does not name.
constexpr int32_t DP_STATUS_REFUSED = 0;
constexpr int32_t DP_STATUS_UNKNOWN = -2;

// {6C2E9A41-3B7D-4F08-A5E2-91D4C07B3F6A}, in the byte order of a GUID: the
// game's sessions are visible only to the game.
inline constexpr uint8_t DP_APPLICATION_GUID[16] = {0x41, 0x9A, 0x2E, 0x6C, 0x7D, 0x3B, 0x08, 0x4F,
                                                    0xA5, 0xE2, 0x91, 0xD4, 0xC0, 0x7B, 0x3F, 0x6A};

struct DpName {
  char text[DP_NAME_BYTES];
};

enum DpSerialWord : int32_t { DP_SERIAL_PORT, DP_SERIAL_BAUD, DP_SERIAL_STOP_BITS, DP_SERIAL_PARITY, DP_SERIAL_FLOW };
enum DpCap : int32_t {
  DP_CAP_MAX_BUFFER,
  DP_CAP_MAX_PLAYERS,
  DP_CAP_MAX_LOCAL_PLAYERS,
  DP_CAP_LINK_RATE,  // hundreds of baud; 0 unknown
  DP_CAP_LATENCY,    // ms; 0 unknown
  DP_CAP_COUNT,
};

// Written by the operations below on the main thread; the receive threads
// write only the thread count and the last status.
struct DpLayer {
  HalNet* object = nullptr;  // this machine's end of the network; null until DpCreate
  uint8_t application[16] = {};
  DpName connections[DP_MAX_CONNECTIONS] = {};
  int32_t connectionCount = 0;
  DpName modems[DP_MAX_MODEMS] = {};
  int32_t modemCount = 0;
  // The sessions of the last enumeration.
  DpName sessionNames[DP_MAX_SESSIONS] = {};
  uint8_t sessionInstances[DP_MAX_SESSIONS][16] = {};
  int32_t sessionCount = 0;
  std::atomic<int32_t> threadCount{0};  // receive threads running
  bool sessionOpen = false;
  uint32_t caps[DP_CAP_COUNT] = {};
  std::atomic<int32_t> lastStatus{DP_STATUS_REFUSED};
  char hostAddress[DP_NAME_BYTES] = {};  // empty: the local network
  int32_t modemChoice = 0;
  char phone[DP_PHONE_BYTES] = {};
  // Port 1, 256000 baud, one stop bit, even parity, RTS and DTR flow control.
  uint32_t serial[DP_SERIAL_WORDS] = {1, 256000, 0, 2, 4};
};
extern DpLayer gDpLayer;

// The callbacks of a local player, run on the main thread by
// DpDispatchMessages. System messages (hal/net's HAL_NET_SYS_*) come from id 0.
using DpSystemCallback = bool (*)(uint32_t to, const void* message, uint32_t size, uint32_t arrivalMs, void* context);
using DpPlayerCallback = bool (*)(uint32_t to, const void* message, uint32_t size, uint32_t from, uint32_t arrivalMs,
                                  void* context);

// One local player and its receive thread; owned by the layer.
struct DpPlayerThread {
  uint32_t playerId = 0;
  HalNet* net = nullptr;
  DpSystemCallback onSystem = nullptr;
  DpPlayerCallback onPlayer = nullptr;
  void* context = nullptr;
  // The receive signal hal/net raises, and the player's own stop.
  std::mutex mu;
  std::condition_variable wake;
  bool raised = true;
  bool stop = false;
  std::atomic<bool> ended{false};
  // Under the dispatch queue's lock: messages waiting for the main thread,
  // and whether the thread stopped taking more because of them.
  uint32_t queued = 0;
  bool heldBack = false;
  std::thread thread;
};

// An entry of a player list. `name` is a pool copy, NUL-terminated, of at most
// HAL_NET_MAX_PLAYER_NAME bytes; the list's owner frees the names and the list.
struct DpPlayerEntry {
  char* name;
  uint32_t id;
};

struct DpSessionDesc {
  uint8_t instance[16];
  uint32_t flags;  // HAL_NET_SESSION_*
  uint32_t maxPlayers;
  uint32_t currentPlayers;
  char name[DP_NAME_BYTES];
};

enum DpDelivery : int32_t {
  DP_SEND_RELIABLE,
  DP_SEND_UNRELIABLE_SEQUENCED,  // may be lost; an older one never overtakes a newer one
};

// Creates this machine's end of the network for the application and lists the
// connections it offers (at most DP_MAX_CONNECTIONS; `connections` may be null).
bool DpCreate(const uint8_t application[16], const DpName** connections, int32_t* count);
bool DpGetModems(const DpName** modems, int32_t* count);
// Shorter than DP_NAME_BYTES; "" searches the local network.
bool DpSetHostAddress(const char* text);
// Needs a modem of the list and a phone number of at most DP_PHONE_BYTES - 1 characters.
bool DpSelectModem(int32_t index, const char* phone);
bool DpGetSerialSettings(uint32_t settings[DP_SERIAL_WORDS]);
bool DpSetSerialSettings(const uint32_t settings[DP_SERIAL_WORDS]);
// A fresh end of the network on that connection, with the current host
// address; the players and the session of the previous one end with it.
bool DpInitConnection(int32_t index);
// Asynchronous: each call asks again and gives the sessions found so far.
bool DpEnumSessions(const DpName** names, int32_t* count);
bool DpStopEnumSessions();
bool DpHostSession(const char* name, int32_t maxPlayers);
// A session of the last enumeration.
bool DpJoinSession(int32_t index);
void DpCloseSession();
bool DpGetSessionDesc(DpSessionDesc* desc);
// The host alone changes the description.
bool DpSetSessionDesc(const DpSessionDesc* desc);
// A local player of the open session and its receive thread.
bool DpCreatePlayer(uint32_t* id, const char* name, DpSystemCallback onSystem, DpPlayerCallback onPlayer,
                    void* context);
// Ends the player's thread (no other), drops what it has not handed on yet,
// and destroys the player.
bool DpDestroyPlayer(uint32_t id);
// The session's players, from the pool (main thread only).
bool DpEnumPlayers(DpPlayerEntry** list, uint32_t* count);
// `to` 0: every player but the sender.
bool DpSend(uint32_t from, uint32_t to, const void* data, uint32_t size, DpDelivery delivery);
// Cuts the link to the machine of that remote player: its players are
// destroyed here as when it falls silent (and for every member, when this
// machine hosts).
bool DpDropMachine(uint32_t player);
void DpShutdown();

// Hands every message the receive threads have queued to its player's
// callbacks, in order, on the calling (main) thread. A call from inside a
// callback returns at once.
void DpDispatchMessages();

// Tests: what the layer's end of the network is made with from now on (a
// simulated network, test ports, short time-outs); DpCreate sets the application.
void DpUseConfigForTest(const HalNetConfig& config);
// Tests: messages the receive threads have queued for the main thread.
uint32_t DpQueuedForTest();
