#include "hal/net/net.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <set>

#include "hal/clock.h"
#include "hal/net/net_internal.h"

struct HalNet {
  HalNetConfig config;
  std::unique_ptr<halnet::Backend> backend;
  std::unique_ptr<halnet::Node> node;
};

namespace {

// Instances still open when the process ends say goodbye then.
struct Registry {
  std::mutex mu;
  std::set<HalNet*> live;
  ~Registry() {
    std::set<HalNet*> left;
    {
      std::lock_guard<std::mutex> lock(mu);
      left.swap(live);
    }
    for (HalNet* net : left) {
      net->node->CloseSession();
      net->backend->Shutdown(true, net->config.closeWaitMs);
      delete net;
    }
  }
};
Registry gRegistry;

// Waits for `done` (checked under the node's lock) at most `ms`. On the
// simulated network the waiting moves the virtual clock and the network on.
template <typename Done>
bool WaitFor(HalNet* net, uint32_t ms, Done done) {
  std::unique_lock<std::mutex> lock(net->node->Mutex());
  if (!net->backend->Simulated())
    return net->node->Changed().wait_for(lock, std::chrono::milliseconds(ms), done);
  for (uint32_t waited = 0;; ++waited) {
    if (done()) return true;
    if (waited >= ms) return false;
    lock.unlock();
    net->backend->Pump();
    HalClockAdvance(1);
    net->backend->Pump();
    lock.lock();
  }
}

void Pump(HalNet* net) {
  if (net != nullptr) net->backend->Pump();
}

}  // namespace

std::vector<std::string> HalNetConnections() { return {"TCP/IP"}; }
std::vector<std::string> HalNetModems() { return {}; }

HalNet* HalNetCreate(const HalNetConfig& config) {
  auto net = std::make_unique<HalNet>();
  net->config = config;
  net->backend = config.sim != nullptr ? halnet::MakeSimBackend(config) : halnet::MakeEnetBackend(config);
  if (net->backend == nullptr) return nullptr;
  net->node = std::make_unique<halnet::Node>(config, net->backend.get(), net->backend->Port());
  net->backend->Attach(net->node.get());
  std::vector<halnet::NetAddr> targets;
  if (net->backend->Targets("", &targets)) net->node->SetQueryTargets(targets);
  std::lock_guard<std::mutex> lock(gRegistry.mu);
  gRegistry.live.insert(net.get());
  return net.release();
}

void HalNetDestroy(HalNet* net) {
  if (net == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(gRegistry.mu);
    gRegistry.live.erase(net);
  }
  Pump(net);
  net->node->CloseSession();
  net->backend->Shutdown(true, net->config.closeWaitMs);
  delete net;
}

void HalNetAbandonForTest(HalNet* net) {
  if (net == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(gRegistry.mu);
    gRegistry.live.erase(net);
  }
  net->backend->Shutdown(false, 0);
  delete net;
}

void HalNetHaltForTest(HalNet* net, bool halted) { net->backend->Halt(halted); }
uint16_t HalNetPortForTest(HalNet* net) { return net->backend->Port(); }

bool HalNetSetAddress(HalNet* net, const std::string& address) {
  std::vector<halnet::NetAddr> targets;
  if (net == nullptr || address.size() > 255 || !net->backend->Targets(address, &targets)) return false;
  net->node->SetQueryTargets(std::move(targets));
  return true;
}

bool HalNetEnumSessions(HalNet* net, std::vector<HalNetSessionInfo>* sessions) {
  if (net == nullptr || sessions == nullptr) return false;
  Pump(net);
  net->node->EnumSessions(sessions);
  return true;
}

void HalNetStopEnumSessions(HalNet* net) {
  if (net != nullptr) net->node->StopEnum();
}

bool HalNetHostSession(HalNet* net, const std::string& name, uint32_t maxPlayers) {
  if (net == nullptr) return false;
  Pump(net);
  uint8_t instance[16];
  std::random_device random;
  for (size_t i = 0; i < 16; i += 4) {
    uint32_t word = random();
    std::memcpy(instance + i, &word, 4);
  }
  return net->node->Host(name, maxPlayers, instance);
}

bool HalNetJoinSession(HalNet* net, const uint8_t instance[16]) {
  if (net == nullptr || instance == nullptr) return false;
  Pump(net);
  if (!net->node->BeginJoin(instance)) return false;
  halnet::Node* node = net->node.get();
  bool answered = WaitFor(net, net->config.joinWaitMs, [node] { return node->JoinStateLocked() != 0; });
  std::lock_guard<std::mutex> lock(node->Mutex());
  bool joined = answered && node->JoinStateLocked() == 1;
  if (!joined) node->AbandonJoinLocked();
  return joined;
}

void HalNetCloseSession(HalNet* net) {
  if (net == nullptr) return;
  Pump(net);
  net->node->CloseSession();
}

bool HalNetInSession(HalNet* net) {
  Pump(net);
  return net != nullptr && net->node->InSession();
}

bool HalNetIsHost(HalNet* net) {
  Pump(net);
  return net != nullptr && net->node->IsHost();
}

bool HalNetGetSessionDesc(HalNet* net, HalNetSessionDesc* desc) {
  Pump(net);
  return net != nullptr && net->node->GetDesc(desc);
}

bool HalNetSetSessionDesc(HalNet* net, const HalNetSessionDesc& desc) {
  Pump(net);
  return net != nullptr && net->node->SetDesc(desc);
}

bool HalNetCreatePlayer(HalNet* net, const std::string& name, HalNetSignal signal, uint32_t* id) {
  if (net == nullptr || id == nullptr) return false;
  Pump(net);
  uint32_t made = 0;
  uint32_t request = net->node->BeginCreatePlayer(name, signal, &made);
  if (request == 0) return false;
  halnet::Node* node = net->node.get();
  WaitFor(net, net->config.joinWaitMs, [&] { return node->CreateStateLocked(request, &made) != 0; });
  std::lock_guard<std::mutex> lock(node->Mutex());
  bool created = node->CreateStateLocked(request, &made) == 1;
  node->ForgetCreateLocked(request);
  if (created) *id = made;
  return created;
}

bool HalNetDestroyPlayer(HalNet* net, uint32_t id) {
  Pump(net);
  return net != nullptr && net->node->DestroyPlayer(id);
}

bool HalNetEnumPlayers(HalNet* net, std::vector<HalNetPlayerInfo>* players) {
  Pump(net);
  return net != nullptr && net->node->EnumPlayers(players);
}

bool HalNetDropPlayer(HalNet* net, uint32_t id) {
  Pump(net);
  return net != nullptr && net->node->DropPlayer(id);
}

bool HalNetSend(HalNet* net, uint32_t from, uint32_t to, const void* data, uint32_t size, uint32_t flags) {
  if (net == nullptr) return false;
  Pump(net);
  return net->node->Send(from, to, data, size, flags);
}

HalNetReceiveResult HalNetReceive(HalNet* net, uint32_t* from, uint32_t* to, void* buffer, uint32_t* size,
                                  uint32_t* arrivalMs) {
  if (net == nullptr) return HAL_NET_RECEIVE_FAILED;
  Pump(net);
  return net->node->Receive(from, to, buffer, size, arrivalMs);
}
