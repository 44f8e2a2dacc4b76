// hal/net's own datagrams: what is encoded parses back, and nothing but a
// whole, valid datagram parses.
#include <gtest/gtest.h>

#include "hal/net/net.h"
#include "hal/net/net_wire.h"

namespace {

using namespace halnet;

WireMsg Welcome() {
  WireMsg m;
  m.kind = WIRE_WELCOME;
  m.member = 3;
  m.hostMember = 1;
  m.nextPlayer = 9;
  m.desc.maxPlayers = 6;
  m.desc.currentPlayers = 2;
  m.desc.name = "race";
  m.members = {{1, 0, 4000}, {2, 0x7F000001, 4001}};
  m.players = {{1, 1, "anna"}, {4, 2, "bert"}};
  return m;
}

TEST(HalNetWire, EveryKindParsesBackAsEncoded) {
  WireMsg game;
  game.kind = WIRE_GAME;
  game.player = 4;
  game.to = 0;
  game.payload = {1, 2, 3};
  WireMsg added;
  added.kind = WIRE_ADDED;
  added.player = 5;
  added.owner = 2;
  added.request = 7;
  added.name = "carl";
  for (const WireMsg& m : {Welcome(), game, added}) {
    std::vector<uint8_t> bytes = WireEncode(m);
    WireMsg back;
    ASSERT_TRUE(WireParse(bytes.data(), bytes.size(), &back)) << int(m.kind);
    EXPECT_EQ(WireEncode(back), bytes) << int(m.kind);
  }
  std::vector<uint8_t> bytes = WireEncode(Welcome());
  WireMsg back;
  ASSERT_TRUE(WireParse(bytes.data(), bytes.size(), &back));
  ASSERT_EQ(back.players.size(), 2u);
  EXPECT_EQ(back.players[1].name, "bert");
  EXPECT_EQ(back.members[1].port, 4001);
}

TEST(HalNetWire, EveryShorterOrLongerDatagramIsRefused) {
  std::vector<uint8_t> bytes = WireEncode(Welcome());
  WireMsg back;
  for (size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(WireParse(bytes.data(), n, &back)) << n;
  bytes.push_back(0);
  EXPECT_FALSE(WireParse(bytes.data(), bytes.size(), &back));
}

TEST(HalNetWire, FieldsThatLieAreRefused) {
  auto refused = [](WireMsg m) {
    std::vector<uint8_t> bytes = WireEncode(m);
    WireMsg back;
    return !WireParse(bytes.data(), bytes.size(), &back);
  };
  WireMsg m = Welcome();
  m.players[0].id = 0;
  EXPECT_TRUE(refused(m)) << "player id 0";
  m = Welcome();
  m.players[1].id = m.nextPlayer;
  EXPECT_TRUE(refused(m)) << "an id not yet given";
  m = Welcome();
  m.desc.currentPlayers = 7;
  EXPECT_TRUE(refused(m)) << "more players than the maximum";
  m = Welcome();
  m.desc.maxPlayers = HAL_NET_MAX_PLAYERS + 1;
  m.desc.currentPlayers = 0;
  EXPECT_TRUE(refused(m)) << "a maximum above 30";
  m = Welcome();
  m.members.resize(HAL_NET_MAX_PLAYERS + 1, WireMember{5, 1, 1});
  EXPECT_TRUE(refused(m)) << "more than 30 members";
  m = Welcome();
  m.members[0].port = 0;
  EXPECT_TRUE(refused(m)) << "port 0";
  WireMsg game;
  game.kind = WIRE_GAME;
  game.player = 1;
  EXPECT_TRUE(refused(game)) << "empty game message";
  game.payload.assign(HAL_NET_MAX_MESSAGE + 1, 0);
  EXPECT_TRUE(refused(game)) << "game message above the maximum";
  game.payload.assign(HAL_NET_MAX_MESSAGE, 0);
  EXPECT_FALSE(refused(game)) << "game message at the maximum";
}

TEST(HalNetWire, NamesAreCutAndStopAtTheirFirstNul) {
  WireMsg m;
  m.kind = WIRE_CREATE;
  m.name = std::string(200, 'p');
  std::vector<uint8_t> bytes = WireEncode(m);
  WireMsg back;
  ASSERT_TRUE(WireParse(bytes.data(), bytes.size(), &back));
  EXPECT_EQ(back.name.size(), HAL_NET_MAX_PLAYER_NAME);
  // A peer's name with a NUL inside, and longer than a player's name may be.
  std::vector<uint8_t> raw = {0x54, 0x56, 0x56, 0x4E, WIRE_VERSION, WIRE_CREATE, 1, 0, 0, 0, 100};
  for (int i = 0; i < 100; ++i) raw.push_back(i == 3 ? 0 : 'q');
  ASSERT_TRUE(WireParse(raw.data(), raw.size(), &back));
  EXPECT_EQ(back.name, "qqq");
}

}  // namespace
