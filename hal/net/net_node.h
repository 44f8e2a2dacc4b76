// One machine's session state: enumeration, the roster, the links to the
// other members, the local players' queues. It speaks only through a
// Transport, which the ENet service thread or the simulated network carries
// out, and hears from it through the On* calls. Every member runs the same
// code; the host is the member that gives player ids and answers enumeration.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "hal/net/net.h"
#include "hal/net/net_wire.h"

namespace halnet {

struct NetAddr {
  uint32_t ip = 0;  // host order
  uint16_t port = 0;
};

// Called with the node's lock held: implementations only queue the work.
class Transport {
 public:
  virtual ~Transport() = default;
  virtual void Raw(const NetAddr& to, std::vector<uint8_t> bytes) = 0;
  virtual void Connect(uint32_t link, const NetAddr& to) = 0;
  virtual void Send(uint32_t link, bool reliable, std::vector<uint8_t> bytes) = 0;
  // flush: after what is queued for the link, with a goodbye; else at once.
  virtual void Close(uint32_t link, bool flush) = 0;
};

class Node {
 public:
  Node(const HalNetConfig& config, Transport* transport, uint16_t listenPort);

  std::mutex& Mutex() { return mu_; }
  std::condition_variable& Changed() { return changed_; }

  // From the transport.
  uint32_t NewLink();
  void OnLinkUp(uint32_t link, const NetAddr& remote);
  void OnLinkDown(uint32_t link);
  void OnLinkData(uint32_t link, const uint8_t* data, size_t size);
  void OnRaw(const NetAddr& from, const uint8_t* data, size_t size);
  void Tick();

  // From the API; the lock is taken inside unless the name ends in Locked.
  void SetQueryTargets(std::vector<NetAddr> targets);
  void EnumSessions(std::vector<HalNetSessionInfo>* out);
  void StopEnum();
  bool Host(const std::string& name, uint32_t maxPlayers, const uint8_t instance[16]);
  // Starts a join; JoinStateLocked() turns 1 (in) or -1 (refused, lost).
  bool BeginJoin(const uint8_t instance[16]);
  int JoinStateLocked() const { return joinState_; }
  void AbandonJoinLocked();
  void CloseSession();
  bool InSession();
  bool IsHost();
  bool GetDesc(HalNetSessionDesc* desc);
  bool SetDesc(const HalNetSessionDesc& desc);
  // Returns the request (0: failed at once; *id set when created at once).
  uint32_t BeginCreatePlayer(const std::string& name, HalNetSignal signal, uint32_t* id);
  // 0 while waiting, 1 created (*id), -1 refused.
  int CreateStateLocked(uint32_t request, uint32_t* id);
  void ForgetCreateLocked(uint32_t request);
  bool DestroyPlayer(uint32_t id);
  bool EnumPlayers(std::vector<HalNetPlayerInfo>* out);
  bool DropPlayer(uint32_t id);
  bool Send(uint32_t from, uint32_t to, const void* data, uint32_t size, uint32_t flags);
  HalNetReceiveResult Receive(uint32_t* from, uint32_t* to, void* buffer, uint32_t* size, uint32_t* arrivalMs);

 private:
  struct Link {
    NetAddr remote;
    uint32_t member = 0;  // 0 until it says who it is
    bool up = false;
    uint32_t sinceMs = 0;
  };
  struct Member {
    uint32_t link = 0;
    NetAddr addr;  // where it listens
    bool up = false;
    std::vector<std::pair<bool, std::vector<uint8_t>>> waiting;  // sends before the link is up
    uint32_t windowMs = 0;
    uint32_t windowCount = 0;
  };
  struct Player {
    uint32_t owner = 0;
    std::string name;
  };
  struct Queued {
    uint64_t seq;
    uint32_t from;
    std::vector<uint8_t> bytes;
    uint32_t arrivalMs;
  };
  struct Local {
    HalNetSignal signal;
    std::deque<Queued> queue;
  };
  struct Create {
    HalNetSignal signal;
    int state = 0;
    uint32_t id = 0;
  };
  struct Found {
    HalNetSessionInfo info;
    NetAddr addr;
    uint32_t seenMs;
  };

  void SendMember(uint32_t member, const WireMsg& msg, bool reliable = true);
  void SendMemberBytes(uint32_t member, std::vector<uint8_t> bytes, bool reliable);
  void Broadcast(const WireMsg& msg);
  void DropLink(uint32_t link);
  void DropMember(uint32_t member);
  void ElectHost();
  void AddPlayer(uint32_t id, uint32_t owner, const std::string& name, uint32_t request);
  void RemovePlayer(uint32_t id);
  void AnnounceGone(uint32_t local);
  void SystemPlayer(uint32_t type, uint32_t id, const std::string& name, uint32_t except);
  void SystemHost();
  bool Push(uint32_t local, uint32_t from, const uint8_t* data, size_t size, bool limited);
  void HandleJoin(uint32_t link, const WireMsg& m);
  void HandleWelcome(uint32_t link, const WireMsg& m);
  void HandleGame(uint32_t member, const WireMsg& m);
  WireDesc CurrentDesc() const;
  void ResetSession();
  bool FromHost(const Link& link) const { return link.member != 0 && link.member == hostMember_; }

  std::mutex mu_;
  std::condition_variable changed_;
  HalNetConfig config_;
  Transport* transport_;
  uint16_t listenPort_;
  uint32_t nextLink_ = 1;
  std::map<uint32_t, Link> links_;

  std::vector<NetAddr> queryTargets_;
  std::vector<Found> found_;
  bool enumerating_ = false;
  uint32_t lastQueryMs_ = 0;

  bool inSession_ = false;
  bool isHost_ = false;
  WireDesc desc_;
  uint32_t myMember_ = 0;
  uint32_t hostMember_ = 0;
  uint32_t nextMember_ = 1;
  uint32_t nextPlayer_ = 1;
  std::map<uint32_t, Member> members_;  // the others
  std::map<uint32_t, Player> players_;
  std::map<uint32_t, Local> locals_;
  uint64_t seq_ = 0;
  uint32_t joinLink_ = 0;
  int joinState_ = 0;
  uint8_t joinInstance_[16] = {};
  uint32_t nextRequest_ = 1;
  std::map<uint32_t, Create> creates_;
};

}  // namespace halnet
