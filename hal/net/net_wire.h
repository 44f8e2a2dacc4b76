// The datagrams of our own design that machines exchange: enumeration queries
// and answers as plain UDP, and on the links between members the join, the
// roster, the notices and the game messages. All little-endian; every length,
// count, id and name is checked before use, so anything a peer sends either
// parses whole or is refused.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace halnet {

constexpr uint32_t WIRE_MAGIC = 0x4E565654;  // "TVVN"
constexpr uint8_t WIRE_VERSION = 1;
constexpr size_t WIRE_HEADER = 6;
// The largest datagram a roster of full sessions needs, with room to spare.
constexpr size_t WIRE_MAX_DATAGRAM = 8192;

enum WireKind : uint8_t {
  WIRE_QUERY = 1,          // application
  WIRE_ANSWER = 2,         // application, description
  WIRE_JOIN = 3,           // application, instance, listen port
  WIRE_WELCOME = 4,        // your member id, host member, next player id, description, members, players
  WIRE_REFUSE = 5,
  WIRE_HELLO = 6,          // instance, member id, listen port
  WIRE_CREATE = 7,         // request, name
  WIRE_ADDED = 8,          // player id, owner, request, name
  WIRE_PLAYER_REFUSED = 9, // request
  WIRE_DESTROY = 10,       // player id
  WIRE_REMOVED = 11,       // player id
  WIRE_MEMBER_GONE = 12,   // member id
  WIRE_DESC = 13,          // description
  WIRE_GAME = 14,          // from, to, payload
  WIRE_KIND_END,
};

struct WireDesc {
  uint8_t instance[16] = {};
  uint32_t flags = 0;
  uint32_t maxPlayers = 0;
  uint32_t currentPlayers = 0;
  std::string name;
};
struct WireMember {
  uint32_t id = 0;
  uint32_t ip = 0;  // host order
  uint16_t port = 0;
};
struct WirePlayer {
  uint32_t id = 0;
  uint32_t owner = 0;
  std::string name;
};

// One datagram, parsed. Only the fields of its kind mean anything.
struct WireMsg {
  WireKind kind = WIRE_QUERY;
  uint8_t application[16] = {};
  uint8_t instance[16] = {};
  uint16_t port = 0;
  uint32_t member = 0;       // member id (welcome: yours; hello, gone: theirs)
  uint32_t hostMember = 0;
  uint32_t nextPlayer = 0;
  uint32_t request = 0;
  uint32_t player = 0;       // player id; game: from
  uint32_t owner = 0;
  uint32_t to = 0;
  std::string name;
  WireDesc desc;
  std::vector<WireMember> members;
  std::vector<WirePlayer> players;
  std::vector<uint8_t> payload;
};

std::vector<uint8_t> WireEncode(const WireMsg& msg);
// False (and `out` unspecified) for anything that is not one whole, valid datagram.
bool WireParse(const uint8_t* data, size_t size, WireMsg* out);
// Whether the bytes start like one of ours (magic), whatever follows.
bool WireLooksOurs(const uint8_t* data, size_t size);
// A name as the layer keeps it: cut at the first NUL and at `limit` bytes.
std::string WireCutName(const std::string& name, size_t limit);

}  // namespace halnet
