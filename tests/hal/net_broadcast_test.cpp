// Searching the local network sends a broadcast. The test makes a network
// namespace of its own (a veth pair, nothing else) so that the broadcast
// leaves no trace outside; where it cannot make one it is skipped.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "net_fixture.h"

namespace {

bool WriteFile(const char* path, const std::string& text) {
  int fd = open(path, O_WRONLY);
  if (fd < 0) return false;
  bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  return ok;
}

// Moves this (single-threaded) process into a user and network namespace of
// its own with a veth pair whose ends reach each other by broadcast.
bool OwnNetworkNamespace() {
  uid_t uid = getuid();
  gid_t gid = getgid();
  if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) return false;
  WriteFile("/proc/self/setgroups", "deny");
  if (!WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
      !WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
    return false;
  return std::system("(ip link set lo up && ip link add tvn0 type veth peer name tvn1 &&"
                     " ip addr add 10.77.0.1/24 dev tvn0 && ip addr add 10.77.0.2/24 dev tvn1 &&"
                     " ip link set tvn0 up && ip link set tvn1 up && ip route add default dev tvn0) >/dev/null 2>&1") == 0;
}

TEST(HalNetBroadcast, AnEmptyAddressSearchesTheLocalNetworkByBroadcast) {
  if (!OwnNetworkNamespace()) GTEST_SKIP() << "cannot make a network namespace here";
  HalClockUseReal();
  const char* env = std::getenv("TORVANE_NET_PORT");
  uint16_t base = env != nullptr ? static_cast<uint16_t>(std::atoi(env)) : HAL_NET_PORT_BASE;
  // A listener on the first port of the range sees where each query was sent.
  int listener = socket(AF_INET, SOCK_DGRAM, 0);
  int on = 1;
  setsockopt(listener, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
  sockaddr_in me{};
  me.sin_family = AF_INET;
  me.sin_port = htons(base);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&me), sizeof me), 0);

  HalNet* host = HalNetCreate(TestConfig());
  HalNet* seeker = HalNetCreate(TestConfig());
  ASSERT_TRUE(host && seeker);
  ASSERT_TRUE(HalNetHostSession(host, "lan", 6));
  ASSERT_TRUE(HalNetSetAddress(seeker, ""));
  std::vector<HalNetSessionInfo> sessions = FindSessions(seeker, 1);
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].name, "lan");

  bool broadcast = false;
  while (!broadcast) {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0) break;
    char data[512];
    char control[256];
    iovec iov{data, sizeof data};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    if (recvmsg(listener, &msg, 0) < 0) break;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
      if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO) continue;
      in_pktinfo info;
      std::memcpy(&info, CMSG_DATA(c), sizeof info);
      if (info.ipi_addr.s_addr == htonl(INADDR_BROADCAST)) broadcast = true;
    }
  }
  EXPECT_TRUE(broadcast);
  close(listener);
  HalNetDestroy(seeker);
  HalNetDestroy(host);
}

}  // namespace
