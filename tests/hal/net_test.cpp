// Three machines on 127.0.0.1 in one process, over ENet.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>

#include "net_fixture.h"

namespace {

TEST_F(HalNetTest, OneConnectionAndNoModems) {
  ASSERT_EQ(HalNetConnections().size(), 1u);
  EXPECT_NE(HalNetConnections()[0].find("TCP"), std::string::npos);
  EXPECT_TRUE(HalNetModems().empty());
}

TEST_F(HalNetTest, AddressTextIsCheckedBeforeUse) {
  HalNet* net = Machine();
  for (const char* good : {"", "127.0.0.1", "127.0.0.1:4000", "localhost"}) EXPECT_TRUE(HalNetSetAddress(net, good)) << good;
  for (const char* bad : {"127.0.0.1:", "127.0.0.1:0", "127.0.0.1:70000", "127.0.0.1:12ab", ":4000"})
    EXPECT_FALSE(HalNetSetAddress(net, bad)) << bad;
  EXPECT_FALSE(HalNetSetAddress(net, std::string(300, 'a')));
}

TEST_F(HalNetTest, OneEnumerationFindsTwoHostsOfOneMachine) {
  HalNet* a = Machine();
  HalNet* b = Machine();
  HalNet* c = Machine();
  ASSERT_TRUE(HalNetHostSession(a, "alpha", 4));
  Player(a, "anna");
  ASSERT_TRUE(HalNetHostSession(b, "beta", 6));
  EXPECT_NE(HalNetPortForTest(a), HalNetPortForTest(b));

  std::vector<HalNetSessionInfo> sessions = FindSessions(c, 2);
  ASSERT_EQ(sessions.size(), 2u);
  const HalNetSessionInfo* alpha = Named(sessions, "alpha");
  const HalNetSessionInfo* beta = Named(sessions, "beta");
  ASSERT_TRUE(alpha && beta);
  EXPECT_EQ(alpha->currentPlayers, 1u);
  EXPECT_EQ(alpha->maxPlayers, 4u);
  EXPECT_EQ(beta->currentPlayers, 0u);
  EXPECT_EQ(beta->maxPlayers, 6u);
  EXPECT_EQ(alpha->address, "127.0.0.1:" + std::to_string(HalNetPortForTest(a)));
  EXPECT_EQ(beta->address, "127.0.0.1:" + std::to_string(HalNetPortForTest(b)));

  // A join that creates no player does not count as one.
  ASSERT_TRUE(HalNetJoinSession(c, beta->instance));
  HalNetSessionDesc desc;
  ASSERT_TRUE(HalNetGetSessionDesc(b, &desc));
  EXPECT_EQ(desc.currentPlayers, 0u);

  // Asking again keeps each session in its place.
  std::string first = sessions[0].name;
  for (int i = 0; i < 5; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(HalNetEnumSessions(c, &sessions));
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].name, first);
  }
}

TEST_F(HalNetTest, JoinersGetTheRosterAscendingIdsAndEachOthersCreation) {
  ThreeInOneSession();
  EXPECT_NE(anna_, 0u);
  EXPECT_LT(anna_, bert_);
  EXPECT_LT(bert_, carl_);

  std::vector<HalNetPlayerInfo> players;
  ASSERT_TRUE(HalNetEnumPlayers(c_, &players));
  ASSERT_EQ(players.size(), 3u);
  EXPECT_EQ(players[0].name, "anna");
  EXPECT_EQ(players[1].name, "bert");
  EXPECT_EQ(players[2].name, "carl");
  EXPECT_TRUE(players[2].local);
  EXPECT_FALSE(players[0].local);

  Inbox a(a_), b(b_), c(c_);
  EXPECT_TRUE(WaitUntil([&] { return a.HasSystem(HAL_NET_SYS_CREATEPLAYER, bert_) && a.HasSystem(HAL_NET_SYS_CREATEPLAYER, carl_); }));
  EXPECT_TRUE(WaitUntil([&] { return b.HasSystem(HAL_NET_SYS_CREATEPLAYER, carl_); }));
  // Nobody is told of their own player, and the joiner learns the others from the roster.
  EXPECT_FALSE(c.HasSystem(HAL_NET_SYS_CREATEPLAYER));
  EXPECT_FALSE(b.HasSystem(HAL_NET_SYS_CREATEPLAYER, bert_));

  HalNetSessionDesc desc;
  ASSERT_TRUE(HalNetGetSessionDesc(b_, &desc));
  EXPECT_EQ(desc.name, "race");
  EXPECT_EQ(desc.currentPlayers, 3u);
}

TEST_F(HalNetTest, ToAllReachesEveryOtherPlayerAndToIdOnlyThatOne) {
  ThreeInOneSession();
  Inbox a(a_), b(b_), c(c_);
  ASSERT_TRUE(SendType(b_, bert_, 0, 40));
  ASSERT_TRUE(SendType(a_, anna_, carl_, 41));
  ASSERT_TRUE(WaitUntil([&] { return a.HasGame(bert_, 40) && c.HasGame(bert_, 40) && c.HasGame(anna_, 41); }));
  // A marker sent after them shows that nothing else is still on its way.
  ASSERT_TRUE(SendType(a_, anna_, 0, 42));
  ASSERT_TRUE(WaitUntil([&] { return b.HasGame(anna_, 42) && c.HasGame(anna_, 42); }));
  EXPECT_EQ(b.CountGame(40), 0u);
  EXPECT_EQ(b.CountGame(41), 0u);
  EXPECT_EQ(a.CountGame(41), 0u);
  EXPECT_EQ(a.CountGame(42), 0u);

  // The receive reports the size a too-small buffer needs and keeps the message.
  ASSERT_TRUE(SendType(a_, anna_, bert_, 43));
  uint32_t from = 0, to = 0, size = 2;
  uint8_t small[2];
  ASSERT_TRUE(WaitUntil([&] { return HalNetReceive(b_, &from, &to, small, &size, nullptr) == HAL_NET_BUFFER_TOO_SMALL; }));
  EXPECT_EQ(size, 8u);
  EXPECT_TRUE(b.HasGame(anna_, 43));

  // Oversized and empty messages, and a sender that is not local, are refused.
  std::vector<uint8_t> big(HAL_NET_MAX_MESSAGE + 1, 0);
  EXPECT_FALSE(HalNetSend(a_, anna_, 0, big.data(), static_cast<uint32_t>(big.size()), 0));
  EXPECT_TRUE(HalNetSend(a_, anna_, 0, big.data(), HAL_NET_MAX_MESSAGE, 0));
  EXPECT_FALSE(HalNetSend(a_, anna_, 0, big.data(), 0, 0));
  EXPECT_FALSE(SendType(a_, bert_, 0, 44));
}

TEST_F(HalNetTest, ArrivalsRaiseTheReceiveSignal) {
  HalNet* a = Machine();
  HalNet* b = Machine();
  ASSERT_TRUE(HalNetHostSession(a, "race", 6));
  std::atomic<int> raised{0};
  HalNetSignal signal{[](void* c) { ++*static_cast<std::atomic<int>*>(c); }, &raised};
  uint32_t anna = 0, bert = 0;
  ASSERT_TRUE(HalNetCreatePlayer(a, "anna", signal, &anna));
  ASSERT_TRUE(Join(b, "race"));
  bert = Player(b, "bert");
  ASSERT_TRUE(SendType(b, bert, anna, 7));
  Inbox inbox(a);
  ASSERT_TRUE(WaitUntil([&] { return inbox.HasGame(bert, 7); }));
  EXPECT_GE(raised.load(), 2);  // bert's creation, then the message
}

TEST_F(HalNetTest, UnreliableSequencedNeverArrivesAfterANewerOne) {
  ThreeInOneSession();
  for (uint32_t i = 1; i <= 150; ++i) ASSERT_TRUE(SendType(b_, bert_, anna_, 4, i, HAL_NET_SEND_UNRELIABLE_SEQUENCED));
  ASSERT_TRUE(SendType(b_, bert_, anna_, 99));
  Inbox a(a_);
  ASSERT_TRUE(WaitUntil([&] { return a.HasGame(bert_, 99); }));
  uint32_t last = 0;
  for (const Received& r : a.Poll()) {
    if (r.Type() != 4) continue;
    uint32_t n = 0;
    std::memcpy(&n, r.bytes.data() + 4, 4);
    EXPECT_GT(n, last);
    last = n;
  }
  EXPECT_GT(last, 0u);
}

TEST_F(HalNetTest, ClosedAndFullSessionsVanishAndRefuseAJoin) {
  HalNet* a = Machine();
  HalNet* b = Machine();
  HalNet* c = Machine();
  ASSERT_TRUE(HalNetHostSession(a, "closed", 6));
  Player(a, "anna");
  ASSERT_TRUE(HalNetHostSession(b, "full", 2));
  Player(b, "bert");
  std::vector<HalNetSessionInfo> sessions = FindSessions(c, 2);
  ASSERT_EQ(sessions.size(), 2u);
  HalNetSessionInfo closed = *Named(sessions, "closed");
  HalNetSessionInfo full = *Named(sessions, "full");

  HalNetSessionDesc desc;
  ASSERT_TRUE(HalNetGetSessionDesc(a, &desc));
  desc.flags |= HAL_NET_SESSION_NEWPLAYERSDISABLED;
  ASSERT_TRUE(HalNetSetSessionDesc(a, desc));
  ASSERT_TRUE(HalNetGetSessionDesc(b, &desc));
  desc.maxPlayers = 1;
  ASSERT_TRUE(HalNetSetSessionDesc(b, desc));

  EXPECT_FALSE(HalNetJoinSession(c, closed.instance));
  EXPECT_FALSE(HalNetJoinSession(c, full.instance));
  EXPECT_FALSE(HalNetInSession(c));
  EXPECT_TRUE(WaitUntil([&] { return HalNetEnumSessions(c, &sessions) && sessions.empty(); }));
  // The host, too, refuses a player beyond the maximum.
  uint32_t id = 0;
  EXPECT_FALSE(HalNetCreatePlayer(b, "second", HalNetSignal{}, &id));
}

TEST_F(HalNetTest, MembersSeeTheHostsDescriptionChange) {
  ThreeInOneSession();
  HalNetSessionDesc desc;
  ASSERT_TRUE(HalNetGetSessionDesc(a_, &desc));
  desc.name = "renamed";
  desc.flags = HAL_NET_SESSION_NEWPLAYERSDISABLED;
  ASSERT_TRUE(HalNetSetSessionDesc(a_, desc));
  EXPECT_FALSE(HalNetSetSessionDesc(b_, desc));  // only the host writes it
  EXPECT_TRUE(WaitUntil([&] {
    HalNetSessionDesc seen;
    return HalNetGetSessionDesc(c_, &seen) && seen.name == "renamed" && seen.flags == HAL_NET_SESSION_NEWPLAYERSDISABLED;
  }));
  // A member's new player is refused too.
  uint32_t id = 0;
  EXPECT_FALSE(HalNetCreatePlayer(b_, "second", HalNetSignal{}, &id));
}

TEST_F(HalNetTest, WhenTheHostLeavesTheLowestRemainingIdHostsAndTheOthersGoOn) {
  ThreeInOneSession();
  Inbox b(b_), c(c_);
  Forget(a_);
  HalNetDestroy(a_);
  ASSERT_TRUE(WaitUntil([&] { return b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, anna_) && c.HasSystem(HAL_NET_SYS_DESTROYPLAYER, anna_); }));
  ASSERT_TRUE(WaitUntil([&] { return b.HasSystem(HAL_NET_SYS_HOST); }));
  EXPECT_TRUE(HalNetIsHost(b_));
  EXPECT_FALSE(HalNetIsHost(c_));
  EXPECT_FALSE(c.HasSystem(HAL_NET_SYS_HOST));
  EXPECT_TRUE(HalNetInSession(c_));

  ASSERT_TRUE(SendType(b_, bert_, 0, 50));
  ASSERT_TRUE(SendType(c_, carl_, bert_, 51));
  EXPECT_TRUE(WaitUntil([&] { return c.HasGame(bert_, 50) && b.HasGame(carl_, 51); }));

  // The new host answers enumeration, and gives ids above every earlier one.
  HalNet* d = Machine();
  ASSERT_TRUE(Join(d, "race"));
  EXPECT_GT(Player(d, "dora"), carl_);
}

TEST_F(HalNetTest, AMachineGoneWithoutAGoodbyeIsDestroyedWithinTheTimeOut) {
  ThreeInOneSession();
  Inbox a(a_), b(b_);
  Forget(c_);
  HalNetAbandonForTest(c_);
  EXPECT_TRUE(WaitUntil([&] { return a.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_) && b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_); }));
  std::vector<HalNetPlayerInfo> players;
  ASSERT_TRUE(HalNetEnumPlayers(a_, &players));
  EXPECT_EQ(players.size(), 2u);
}

TEST_F(HalNetTest, AMessageSentJustBeforeClosingArrives) {
  ThreeInOneSession();
  ASSERT_TRUE(SendType(c_, carl_, anna_, 60));
  Forget(c_);
  HalNetDestroy(c_);
  Inbox a(a_);
  EXPECT_TRUE(WaitUntil([&] { return a.HasGame(carl_, 60); }));
  EXPECT_TRUE(WaitUntil([&] { return a.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_); }));
}

TEST_F(HalNetTest, TheEndOfTheProcessSendsWhatIsQueuedAndSaysGoodbye) {
  // The host's time-out is long: only a goodbye ends the child's player in time.
  HalNetConfig config = TestConfig();
  config.timeoutMs = 60000;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    HalNetConfig own = config;
    own.timeoutMs = TEST_TIMEOUT_MS;
    HalNet* net = HalNetCreate(own);
    std::vector<HalNetSessionInfo> sessions;
    uint32_t id = 0;
    if (net == nullptr || !HalNetSetAddress(net, "127.0.0.1") || (sessions = FindSessions(net, 1)).empty() ||
        !HalNetJoinSession(net, sessions[0].instance) || !HalNetCreatePlayer(net, "child", HalNetSignal{}, &id) ||
        !SendType(net, id, 0, 80))
      _exit(1);
    std::exit(0);  // the instance is left open for the end of the process to close
  }
  HalNet* host = HalNetCreate(config);
  machines_.push_back(host);
  ASSERT_TRUE(HalNetHostSession(host, "race", 6));
  Player(host, "anna");
  Inbox inbox(host);
  uint32_t from = 0;
  EXPECT_TRUE(WaitUntil([&] {
    return inbox.Has([&](const Received& r) {
      if (r.from != 0 && r.Type() == 80) from = r.from;
      return from != 0;
    });
  }));
  EXPECT_TRUE(WaitUntil([&] { return inbox.HasSystem(HAL_NET_SYS_DESTROYPLAYER, from); }));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(HalNetTest, DestroyingAPlayerTellsTheOthersAndClosingDestroysTheLocalOnes) {
  ThreeInOneSession();
  Inbox a(a_), c(c_);
  ASSERT_TRUE(HalNetDestroyPlayer(b_, bert_));
  EXPECT_FALSE(HalNetDestroyPlayer(b_, anna_));  // not b's
  EXPECT_TRUE(WaitUntil([&] { return a.HasSystem(HAL_NET_SYS_DESTROYPLAYER, bert_) && c.HasSystem(HAL_NET_SYS_DESTROYPLAYER, bert_); }));
  HalNetCloseSession(c_);
  EXPECT_FALSE(HalNetInSession(c_));
  EXPECT_TRUE(WaitUntil([&] { return a.HasSystem(HAL_NET_SYS_DESTROYPLAYER, carl_); }));
  // Ids are never given twice.
  ASSERT_TRUE(Join(c_, "race"));
  EXPECT_GT(Player(c_, "carl again"), carl_);
}

}  // namespace
