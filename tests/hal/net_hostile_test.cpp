// What a hostile peer sends: damaged datagrams from a plain UDP socket,
// damaged and oversized messages from a member, floods, a peer that stops.
#include <arpa/inet.h>
#include <enet/enet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "hal/net/net_wire.h"
#include "net_fixture.h"

namespace {

using halnet::WireEncode;
using halnet::WireMsg;
using halnet::WireParse;

// A plain UDP socket on 127.0.0.1.
class PlainSocket {
 public:
  PlainSocket() {
    fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in me{};
    me.sin_family = AF_INET;
    me.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&me), sizeof me);
  }
  ~PlainSocket() { close(fd_); }
  uint16_t Port() const {
    sockaddr_in me{};
    socklen_t len = sizeof me;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&me), &len);
    return ntohs(me.sin_port);
  }
  void SendTo(uint16_t port, const std::vector<uint8_t>& bytes) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  }
  // The next datagram, or nothing within `ms`.
  std::vector<uint8_t> Receive(int ms) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return {};
    std::vector<uint8_t> bytes(65536);
    ssize_t n = recv(fd_, bytes.data(), bytes.size(), 0);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return bytes;
  }

 private:
  int fd_ = -1;
};

WireMsg Query(const HalNetConfig& config) {
  WireMsg m;
  m.kind = halnet::WIRE_QUERY;
  std::memcpy(m.application, config.application, 16);
  return m;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

std::vector<uint8_t> Poke(std::vector<uint8_t> bytes, size_t at, uint8_t value) {
  bytes.at(at) = value;
  return bytes;
}

class HalNetHostileTest : public HalNetTest {};

TEST_F(HalNetHostileTest, DamagedDatagramsFromAPlainSocketAreDroppedAndTheHostAnswersOn) {
  HalNet* host = Machine();
  ASSERT_TRUE(HalNetHostSession(host, "race", 6));
  Player(host, "anna");
  HalNetConfig config = TestConfig();
  std::vector<uint8_t> query = WireEncode(Query(config));
  WireMsg otherApp = Query(config);
  otherApp.application[0] ^= 1;
  WireMsg answer;
  answer.kind = halnet::WIRE_ANSWER;
  answer.desc.maxPlayers = 6;
  answer.desc.name = "liar";
  std::vector<uint8_t> answerBytes = WireEncode(answer);
  WireMsg join;
  join.kind = halnet::WIRE_JOIN;
  join.port = 1;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"truncated", Cut(query, query.size() - 1)},
      {"header only", Cut(query, halnet::WIRE_HEADER)},
      {"trailing bytes", [&] { auto b = query; b.push_back(0); return b; }()},
      {"oversized", [&] { auto b = query; b.resize(20000, 0xAB); return b; }()},
      {"wrong magic", Poke(query, 0, 'X')},
      {"wrong version", Poke(query, 4, 9)},
      {"unknown kind", Poke(query, 5, 200)},
      {"other application", WireEncode(otherApp)},
      {"name longer than the datagram", Poke(answerBytes, answerBytes.size() - 5, 250)},
      {"players above the maximum", Poke(answerBytes, halnet::WIRE_HEADER + 16 + 16 + 8, 7)},
      {"a member's message outside a link", WireEncode(join)},
      {"not ours at all", std::vector<uint8_t>(40, 0xFF)},
  };
  PlainSocket peer;
  uint16_t port = HalNetPortForTest(host);
  for (const Case& c : cases) {
    peer.SendTo(port, c.bytes);
    peer.SendTo(port, query);
    std::vector<uint8_t> got = peer.Receive(3000);
    WireMsg parsed;
    ASSERT_TRUE(WireParse(got.data(), got.size(), &parsed)) << c.what;
    EXPECT_EQ(parsed.kind, halnet::WIRE_ANSWER) << c.what;
    EXPECT_EQ(parsed.desc.name, "race") << c.what;
  }
  // Any answer to a damaged datagram would have arrived before the last good one.
  EXPECT_TRUE(peer.Receive(300).empty());
}

TEST_F(HalNetHostileTest, AnEnumeratorKeepsOnlyWholeAnswersAndAtMostThirty) {
  HalNet* net = Machine();
  HalNetConfig config = TestConfig();
  std::vector<HalNetSessionInfo> sessions;
  ASSERT_TRUE(HalNetEnumSessions(net, &sessions));
  PlainSocket peer;
  WireMsg answer;
  answer.kind = halnet::WIRE_ANSWER;
  std::memcpy(answer.application, config.application, 16);
  answer.desc.maxPlayers = 6;
  answer.desc.name = std::string(300, 'n');  // cut to 255 on the way
  std::vector<uint8_t> good = WireEncode(answer);
  peer.SendTo(HalNetPortForTest(net), Poke(good, halnet::WIRE_HEADER + 16 + 16 + 4, 0));   // maximum 0
  peer.SendTo(HalNetPortForTest(net), Cut(good, good.size() - 1));
  for (uint8_t i = 0; i < 40; ++i) {
    answer.desc.instance[0] = i;
    peer.SendTo(HalNetPortForTest(net), WireEncode(answer));
  }
  ASSERT_TRUE(WaitUntil([&] { return HalNetEnumSessions(net, &sessions) && sessions.size() == HAL_NET_MAX_SESSIONS; }));
  for (const HalNetSessionInfo& s : sessions) {
    EXPECT_EQ(s.name.size(), HAL_NET_MAX_SESSION_NAME);
    EXPECT_EQ(s.maxPlayers, 6u);
  }
}

// A member made by hand with ENet: joins properly, then misbehaves.
class RawMember {
 public:
  explicit RawMember(uint16_t port) {
    host_ = enet_host_create(nullptr, 1, 2, 0, 0);
    ENetAddress to;
    enet_address_set_host(&to, "127.0.0.1");
    to.port = port;
    peer_ = enet_host_connect(host_, &to, 2, 0);
  }
  ~RawMember() { enet_host_destroy(host_); }

  // Services the link until `done` or the bound; false when the link ended.
  bool Service(const std::function<bool(const WireMsg&)>& done, uint32_t boundMs = TEST_WAIT_MS) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (std::chrono::steady_clock::now() < end) {
      ENetEvent event;
      if (enet_host_service(host_, &event, 5) <= 0) continue;
      if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
        gone_ = true;
        return false;
      }
      if (event.type == ENET_EVENT_TYPE_CONNECT && done(WireMsg{})) return true;
      if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
      WireMsg m;
      bool ok = WireParse(event.packet->data, event.packet->dataLength, &m);
      enet_packet_destroy(event.packet);
      if (ok && done(m)) return true;
    }
    return false;
  }
  void Send(const std::vector<uint8_t>& bytes) {
    enet_peer_send(peer_, 0, enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
    enet_host_flush(host_);
  }
  // Whether the other end closes the link within the bound.
  bool Gone() {
    if (!gone_) Service([](const WireMsg&) { return false; });
    return gone_;
  }

 private:
  ENetHost* host_ = nullptr;
  ENetPeer* peer_ = nullptr;
  bool gone_ = false;
};

TEST_F(HalNetHostileTest, AMemberThatSendsDamagedOrOversizedMessagesIsDropped) {
  HalNet* host = Machine();
  ASSERT_TRUE(HalNetHostSession(host, "race", 6));
  uint32_t anna = Player(host, "anna");
  HalNetSessionDesc desc;
  ASSERT_TRUE(HalNetGetSessionDesc(host, &desc));
  HalNetConfig config = TestConfig();

  auto game = [&](uint32_t from, size_t size) {
    WireMsg m;
    m.kind = halnet::WIRE_GAME;
    m.player = from;
    m.to = anna;
    m.payload.assign(size, 1);
    return WireEncode(m);
  };
  struct Case {
    const char* what;
    std::function<std::vector<uint8_t>(uint32_t own)> bytes;
  } cases[] = {
      {"garbage", [](uint32_t) { return std::vector<uint8_t>(30, 0x55); }},
      {"cut short", [&](uint32_t own) { return Cut(game(own, 8), 12); }},
      {"too large", [&](uint32_t own) { return game(own, HAL_NET_MAX_MESSAGE + 1); }},
      {"another's name", [&](uint32_t) { return game(anna, 8); }},
      {"a host's notice", [&](uint32_t own) {
         WireMsg m;
         m.kind = halnet::WIRE_REMOVED;
         m.player = own;
         return WireEncode(m);
       }},
  };
  Inbox inbox(host);
  for (const Case& c : cases) {
    RawMember member(HalNetPortForTest(host));
    ASSERT_TRUE(member.Service([](const WireMsg&) { return true; })) << c.what;  // linked
    WireMsg join;
    join.kind = halnet::WIRE_JOIN;
    std::memcpy(join.application, config.application, 16);
    std::memcpy(join.instance, desc.instance, 16);
    join.port = 9;
    member.Send(WireEncode(join));
    ASSERT_TRUE(member.Service([](const WireMsg& m) { return m.kind == halnet::WIRE_WELCOME; })) << c.what;
    WireMsg create;
    create.kind = halnet::WIRE_CREATE;
    create.request = 1;
    create.name = "mallory";
    member.Send(WireEncode(create));
    uint32_t own = 0;
    ASSERT_TRUE(member.Service([&](const WireMsg& m) {
      own = m.player;
      return m.kind == halnet::WIRE_ADDED;
    })) << c.what;
    // A good message first, then the bad one.
    member.Send(game(own, 8));
    member.Send(c.bytes(own));
    EXPECT_TRUE(member.Gone()) << c.what;
    EXPECT_TRUE(WaitUntil([&] { return inbox.HasSystem(HAL_NET_SYS_DESTROYPLAYER, own); })) << c.what;
    EXPECT_TRUE(inbox.HasGame(own, 0x01010101)) << c.what;
    EXPECT_EQ(inbox.CountGame(0x01010101), static_cast<size_t>(&c - cases + 1)) << c.what;
  }
  std::vector<HalNetPlayerInfo> players;
  ASSERT_TRUE(HalNetEnumPlayers(host, &players));
  EXPECT_EQ(players.size(), 1u);
}

TEST_F(HalNetHostileTest, ALinkThatNeverSaysWhoItIsIsClosed) {
  HalNet* host = Machine();
  ASSERT_TRUE(HalNetHostSession(host, "race", 6));
  RawMember silent(HalNetPortForTest(host));
  ASSERT_TRUE(silent.Service([](const WireMsg&) { return true; }));  // linked
  EXPECT_TRUE(silent.Gone());
}

TEST_F(HalNetHostileTest, AFloodingMemberIsDroppedWhileTheOthersGoOn) {
  ThreeInOneSession();
  Inbox a(a_), b(b_);
  for (uint32_t i = 0; i < HAL_NET_RATE_LIMIT + 100; ++i) SendType(c_, carl_, 0, 70, i);
  EXPECT_TRUE(WaitUntil([&] { return a.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_) && b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_); }));
  EXPECT_LE(a.CountGame(70), HAL_NET_RATE_LIMIT);
  ASSERT_TRUE(SendType(a_, anna_, 0, 71));
  EXPECT_TRUE(WaitUntil([&] { return b.HasGame(anna_, 71); }));
}

TEST_F(HalNetHostileTest, DropIsAnOperationOfTheLayer) {
  ThreeInOneSession();
  Inbox b(b_);
  EXPECT_FALSE(HalNetDropPlayer(a_, anna_));  // not one's own
  ASSERT_TRUE(HalNetDropPlayer(a_, carl_));
  EXPECT_TRUE(WaitUntil([&] { return b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_); }));
  std::vector<HalNetPlayerInfo> players;
  ASSERT_TRUE(HalNetEnumPlayers(a_, &players));
  EXPECT_EQ(players.size(), 2u);
}

TEST_F(HalNetHostileTest, AMemberWhoseServiceThreadHaltsIsDestroyedWithinTheTimeOut) {
  ThreeInOneSession();
  Inbox a(a_), b(b_);
  HalNetHaltForTest(c_, true);
  EXPECT_TRUE(WaitUntil([&] { return a.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_) && b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_); }));
  ASSERT_TRUE(SendType(b_, bert_, anna_, 72));
  EXPECT_TRUE(WaitUntil([&] { return a.HasGame(bert_, 72); }));
}

}  // namespace
