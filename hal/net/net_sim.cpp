// Simulated machines in one process. Every delivery is an entry of one queue
// ordered by (virtual time, sequence number); nothing depends on threads or
// the wall clock, so a run repeats exactly. Rules act on game messages only:
// the session's own traffic arrives whole and in order, as ENet's reliable
// channel makes it.
#include <cstring>
#include <map>
#include <mutex>

#include "hal/clock.h"
#include "hal/net/net_internal.h"

namespace halnet {
class SimBackend;
}

struct HalNetSim {
  struct Delivery {
    enum Kind { CONNECT, UP, DOWN, DATA, RAW } kind;
    int to;
    uint32_t link;      // the receiver's link (CONNECT: the connector's)
    int from;           // CONNECT, RAW: the sender's machine
    std::vector<uint8_t> bytes;
    uint64_t sequenced = 0;  // unreliable: its number on the way; an older one than the last delivered is lost
  };
  using Key = std::pair<uint64_t, uint64_t>;  // time, sequence

  std::mutex mu;
  // Held by whoever pumps, so that deliveries keep their order when several
  // threads (a receive thread, the test's) move the network on at once.
  std::mutex pumping;
  uint32_t latencyMs = 0;
  std::vector<HalNetSimRule> rules;
  std::vector<uint32_t> matched;
  std::vector<halnet::SimBackend*> machines;
  std::map<Key, Delivery> queue;
  std::map<std::pair<int, uint32_t>, std::pair<int, uint32_t>> ends;  // (machine, link) -> the other end
  std::map<std::pair<int, int>, Delivery> held;                       // reordered, per (from, to)
  std::map<std::pair<int, int>, uint64_t> sequencedSent, sequencedDelivered;
  uint64_t seq = 0;

  void At(uint64_t time, Delivery d) { queue.emplace(Key{time, seq++}, std::move(d)); }
  uint64_t Soon() const { return static_cast<uint64_t>(HalTimePeek()) + latencyMs; }
};

namespace halnet {

class SimBackend : public Backend {
 public:
  SimBackend(const HalNetConfig& config) : sim_(config.sim), timeoutMs_(config.timeoutMs) {
    std::lock_guard<std::mutex> lock(sim_->mu);
    index_ = static_cast<int>(sim_->machines.size());
    sim_->machines.push_back(this);
  }
  ~SimBackend() override { Shutdown(false, 0); }

  Node* NodeOf() { return node_; }
  // Machines are told apart by their address alone; the port only has to be valid.
  uint16_t Port() const override { return 1; }
  void Attach(Node* node) override { node_ = node; }
  bool Simulated() const override { return true; }
  void Pump() override { HalNetSimPump(sim_); }
  void Halt(bool) override {}

  bool Targets(const std::string&, std::vector<NetAddr>* targets) override {
    std::lock_guard<std::mutex> lock(sim_->mu);
    targets->clear();
    for (size_t i = 0; i < sim_->machines.size(); ++i)
      if (static_cast<int>(i) != index_) targets->push_back(NetAddr{static_cast<uint32_t>(i + 1), 0});
    return true;
  }

  void Raw(const NetAddr& to, std::vector<uint8_t> bytes) override {
    std::lock_guard<std::mutex> lock(sim_->mu);
    sim_->At(sim_->Soon(), HalNetSim::Delivery{HalNetSim::Delivery::RAW, static_cast<int>(to.ip) - 1, 0, index_,
                                               std::move(bytes)});
  }

  void Connect(uint32_t link, const NetAddr& to) override {
    std::lock_guard<std::mutex> lock(sim_->mu);
    sim_->At(sim_->Soon(),
             HalNetSim::Delivery{HalNetSim::Delivery::CONNECT, static_cast<int>(to.ip) - 1, link, index_, {}});
  }

  void Send(uint32_t link, bool reliable, std::vector<uint8_t> bytes) override {
    std::lock_guard<std::mutex> lock(sim_->mu);
    auto end = sim_->ends.find({index_, link});
    if (end == sim_->ends.end()) return;
    auto [peer, peerLink] = end->second;
    HalNetSim::Delivery d{HalNetSim::Delivery::DATA, peer, peerLink, index_, std::move(bytes)};
    if (!reliable) d.sequenced = ++sim_->sequencedSent[{index_, peer}];
    uint64_t when = sim_->Soon();
    if (d.bytes.size() > WIRE_HEADER && d.bytes[5] == WIRE_GAME) {
      const HalNetSimRule* rule = Match(peer, d.bytes);
      std::pair<int, int> way{index_, peer};
      if (rule != nullptr) {
        switch (rule->action) {
          case HAL_NET_SIM_DROP:
            return;
          case HAL_NET_SIM_DELAY:
            when += rule->delayMs;
            break;
          case HAL_NET_SIM_DUPLICATE:
            sim_->At(when, d);
            break;
          case HAL_NET_SIM_REORDER:
            if (sim_->held.count(way) == 0) {
              sim_->held.emplace(way, std::move(d));
              return;
            }
            break;
        }
      }
      sim_->At(when, std::move(d));
      auto held = sim_->held.find(way);
      if (held != sim_->held.end()) {
        sim_->At(when, std::move(held->second));
        sim_->held.erase(held);
      }
      return;
    }
    sim_->At(when, std::move(d));
  }

  void Close(uint32_t link, bool) override {
    std::lock_guard<std::mutex> lock(sim_->mu);
    CloseLocked(link, sim_->Soon());
  }

  void Shutdown(bool goodbye, uint32_t) override {
    if (sim_ == nullptr) return;
    std::lock_guard<std::mutex> lock(sim_->mu);
    // Without a goodbye the others find out by their time-out.
    uint64_t when = goodbye ? sim_->Soon() : sim_->Soon() + timeoutMs_;
    std::vector<uint32_t> links;
    for (const auto& [mine, other] : sim_->ends)
      if (mine.first == index_) links.push_back(mine.second);
    for (uint32_t link : links) CloseLocked(link, when);
    sim_->machines[static_cast<size_t>(index_)] = nullptr;
    sim_ = nullptr;
  }

  // Called by the pump with no lock held.
  void Deliver(HalNetSim* sim, HalNetSim::Delivery& d) {
    switch (d.kind) {
      case HalNetSim::Delivery::CONNECT: {
        uint32_t mine = node_->NewLink();
        {
          std::lock_guard<std::mutex> lock(sim->mu);
          sim->ends[{index_, mine}] = {d.from, d.link};
          sim->ends[{d.from, d.link}] = {index_, mine};
          sim->At(sim->Soon(), HalNetSim::Delivery{HalNetSim::Delivery::UP, d.from, d.link, index_, {}});
        }
        node_->OnLinkUp(mine, NetAddr{static_cast<uint32_t>(d.from + 1), 0});
        break;
      }
      case HalNetSim::Delivery::UP:
        node_->OnLinkUp(d.link, NetAddr{static_cast<uint32_t>(d.from + 1), 0});
        break;
      case HalNetSim::Delivery::DOWN:
        node_->OnLinkDown(d.link);
        break;
      case HalNetSim::Delivery::DATA:
        node_->OnLinkData(d.link, d.bytes.data(), d.bytes.size());
        break;
      case HalNetSim::Delivery::RAW:
        node_->OnRaw(NetAddr{static_cast<uint32_t>(d.from + 1), 0}, d.bytes.data(), d.bytes.size());
        break;
    }
  }

 private:
  void CloseLocked(uint32_t link, uint64_t when) {
    auto end = sim_->ends.find({index_, link});
    if (end == sim_->ends.end()) return;
    auto [peer, peerLink] = end->second;
    sim_->ends.erase(end);
    sim_->ends.erase({peer, peerLink});
    sim_->At(when, HalNetSim::Delivery{HalNetSim::Delivery::DOWN, peer, peerLink, index_, {}});
  }

  const HalNetSimRule* Match(int to, const std::vector<uint8_t>& bytes) {
    // The game message starts after the header, the sender and the addressee.
    constexpr size_t payload = WIRE_HEADER + 8;
    int32_t type = -1;
    if (bytes.size() >= payload + 4) std::memcpy(&type, bytes.data() + payload, 4);
    for (size_t i = 0; i < sim_->rules.size(); ++i) {
      const HalNetSimRule& r = sim_->rules[i];
      if ((r.from >= 0 && r.from != index_) || (r.to >= 0 && r.to != to) ||
          (r.messageType >= 0 && r.messageType != type))
        continue;
      uint32_t n = sim_->matched[i]++;
      bool takes = n == r.first || (r.every != 0 && n > r.first && (n - r.first) % r.every == 0);
      if (takes) return &r;
    }
    return nullptr;
  }

  HalNetSim* sim_;
  uint32_t timeoutMs_;
  int index_ = 0;
  Node* node_ = nullptr;
};

std::unique_ptr<Backend> MakeSimBackend(const HalNetConfig& config) { return std::make_unique<SimBackend>(config); }

}  // namespace halnet

HalNetSim* HalNetSimCreate(uint32_t latencyMs) {
  auto* sim = new HalNetSim;
  sim->latencyMs = latencyMs;
  return sim;
}

void HalNetSimDestroy(HalNetSim* sim) { delete sim; }

void HalNetSimSetRules(HalNetSim* sim, const std::vector<HalNetSimRule>& rules) {
  std::lock_guard<std::mutex> lock(sim->mu);
  sim->rules = rules;
  sim->matched.assign(rules.size(), 0);
}

void HalNetSimPump(HalNetSim* sim) {
  if (sim == nullptr) return;
  std::lock_guard<std::mutex> pumping(sim->pumping);
  for (;;) {
    HalNetSim::Delivery d;
    halnet::SimBackend* machine = nullptr;
    {
      std::lock_guard<std::mutex> lock(sim->mu);
      if (sim->queue.empty() || sim->queue.begin()->first.first > HalTimePeek()) return;
      d = std::move(sim->queue.begin()->second);
      sim->queue.erase(sim->queue.begin());
      if (d.to >= 0 && static_cast<size_t>(d.to) < sim->machines.size()) machine = sim->machines[static_cast<size_t>(d.to)];
      if (machine == nullptr && d.kind == HalNetSim::Delivery::CONNECT) {
        // Nobody there: the connection fails as a refused one would.
        sim->At(sim->Soon(), HalNetSim::Delivery{HalNetSim::Delivery::DOWN, d.from, d.link, d.to, {}});
        continue;
      }
      if (d.sequenced != 0) {
        uint64_t& last = sim->sequencedDelivered[{d.from, d.to}];
        if (d.sequenced <= last) continue;
        last = d.sequenced;
      }
    }
    if (machine != nullptr) machine->Deliver(sim, d);
  }
}
