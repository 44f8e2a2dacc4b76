// ENet carries the links (channel 0 reliable and ordered, channel 1
// unreliable and sequenced) and, through its intercept hook on the same
// socket, our plain datagrams: enumeration queries and answers. ENet is not
// thread-safe, so one service thread owns the host; the node's sends reach it
// through a queue.
#include <enet/enet.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "hal/clock.h"
#include "hal/net/net_internal.h"

namespace halnet {
namespace {

constexpr size_t PEER_LIMIT = 64;
constexpr size_t CHANNELS = 2;
constexpr uint32_t SERVICE_MS = 5;

std::once_flag gEnetInit;
bool gEnetReady = false;

ENetAddress ToEnet(const NetAddr& a) {
  ENetAddress e;
  e.host = ENET_HOST_TO_NET_32(a.ip);
  e.port = a.port;
  return e;
}

NetAddr FromEnet(const ENetAddress& e) { return NetAddr{ENET_NET_TO_HOST_32(e.host), e.port}; }

class EnetBackend;
thread_local EnetBackend* tServicing = nullptr;

class EnetBackend : public Backend {
 public:
  explicit EnetBackend(const HalNetConfig& config) : config_(config), base_(PortBase(config)) {}
  ~EnetBackend() override { Shutdown(false, 0); }

  bool Bind() {
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    for (uint16_t i = 0; i < HAL_NET_PORT_COUNT && host_ == nullptr; ++i) {
      if (static_cast<uint32_t>(base_) + i > 65535) break;
      address.port = static_cast<uint16_t>(base_ + i);
      host_ = enet_host_create(&address, PEER_LIMIT, CHANNELS, 0, 0);
    }
    if (host_ == nullptr) {
      // Every port of the range is taken: this machine can still join.
      address.port = 0;
      host_ = enet_host_create(&address, PEER_LIMIT, CHANNELS, 0, 0);
    }
    if (host_ == nullptr) return false;
    ENetAddress bound;
    if (enet_socket_get_address(host_->socket, &bound) == 0) port_ = bound.port;
    enet_socket_set_option(host_->socket, ENET_SOCKOPT_BROADCAST, 1);
    // Nothing a peer sends makes ENet hold more than our largest datagram.
    host_->maximumPacketSize = WIRE_MAX_DATAGRAM;
    host_->maximumWaitingData = 64 * 1024;
    host_->intercept = &EnetBackend::Intercept;
    return true;
  }

  uint16_t Port() const override { return port_; }

  void Attach(Node* node) override {
    node_ = node;
    thread_ = std::thread([this] { Run(); });
  }

  bool Targets(const std::string& address, std::vector<NetAddr>* targets) override {
    targets->clear();
    auto range = [&](uint32_t ip) {
      for (uint16_t i = 0; i < HAL_NET_PORT_COUNT && static_cast<uint32_t>(base_) + i <= 65535; ++i)
        targets->push_back(NetAddr{ip, static_cast<uint16_t>(base_ + i)});
    };
    if (address.empty()) {
      range(0xFFFFFFFFu);
      range(0x7F000001u);
      return true;
    }
    std::string host = address;
    uint32_t port = 0;
    size_t colon = address.rfind(':');
    if (colon != std::string::npos) {
      host = address.substr(0, colon);
      std::string digits = address.substr(colon + 1);
      if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
      port = static_cast<uint32_t>(std::atoi(digits.c_str()));
      if (port == 0 || port > 65535) return false;
    }
    if (host.empty() || host.size() > 255) return false;
    ENetAddress resolved;
    if (enet_address_set_host(&resolved, host.c_str()) != 0) return false;
    uint32_t ip = ENET_NET_TO_HOST_32(resolved.host);
    if (port != 0)
      targets->push_back(NetAddr{ip, static_cast<uint16_t>(port)});
    else
      range(ip);
    return true;
  }

  void Raw(const NetAddr& to, std::vector<uint8_t> bytes) override { Queue(Action{Action::RAW, 0, to, true, std::move(bytes)}); }
  void Connect(uint32_t link, const NetAddr& to) override { Queue(Action{Action::CONNECT, link, to, true, {}}); }
  void Send(uint32_t link, bool reliable, std::vector<uint8_t> bytes) override {
    Queue(Action{Action::SEND, link, {}, reliable, std::move(bytes)});
  }
  void Close(uint32_t link, bool flush) override { Queue(Action{Action::CLOSE, link, {}, flush, {}}); }

  void Shutdown(bool goodbye, uint32_t waitMs) override {
    if (thread_.joinable()) {
      goodbye_ = goodbye;
      goodbyeWaitMs_ = waitMs;
      stop_ = true;
      thread_.join();
    }
    if (host_ != nullptr) {
      // Resets every peer without a word: those not told goodbye time out.
      enet_host_destroy(host_);
      host_ = nullptr;
    }
  }

  void Halt(bool halted) override { halted_ = halted; }

 private:
  struct Action {
    enum Kind { RAW, CONNECT, SEND, CLOSE } kind;
    uint32_t link;
    NetAddr addr;
    bool flag;  // reliable, or flush
    std::vector<uint8_t> bytes;
  };

  void Queue(Action action) {
    std::lock_guard<std::mutex> lock(queueMu_);
    actions_.push_back(std::move(action));
  }

  static int ENET_CALLBACK Intercept(ENetHost* host, ENetEvent* event) {
    (void)event;
    EnetBackend* self = tServicing;
    if (self == nullptr || !WireLooksOurs(host->receivedData, host->receivedDataLength)) return 0;
    self->node_->OnRaw(FromEnet(host->receivedAddress), host->receivedData, host->receivedDataLength);
    return 1;
  }

  ENetPeer* PeerOf(uint32_t link) {
    auto it = peers_.find(link);
    return it == peers_.end() ? nullptr : it->second;
  }

  void SetTimeouts(ENetPeer* peer) {
    uint32_t t = std::max<uint32_t>(config_.timeoutMs, 50);
    enet_peer_timeout(peer, 32, t, t);
    enet_peer_ping_interval(peer, std::min<uint32_t>(500, std::max<uint32_t>(t / 5, 10)));
  }

  void DoActions() {
    std::vector<Action> actions;
    {
      std::lock_guard<std::mutex> lock(queueMu_);
      actions.swap(actions_);
    }
    for (Action& a : actions) {
      switch (a.kind) {
        case Action::RAW: {
          ENetAddress to = ToEnet(a.addr);
          ENetBuffer buffer;
          buffer.data = a.bytes.data();
          buffer.dataLength = a.bytes.size();
          enet_socket_send(host_->socket, &to, &buffer, 1);
          break;
        }
        case Action::CONNECT: {
          ENetAddress to = ToEnet(a.addr);
          ENetPeer* peer = enet_host_connect(host_, &to, CHANNELS, 0);
          if (peer == nullptr) {
            node_->OnLinkDown(a.link);
            break;
          }
          peer->data = reinterpret_cast<void*>(static_cast<uintptr_t>(a.link));
          peers_[a.link] = peer;
          SetTimeouts(peer);
          break;
        }
        case Action::SEND: {
          ENetPeer* peer = PeerOf(a.link);
          if (peer == nullptr || peer->state != ENET_PEER_STATE_CONNECTED) break;
          ENetPacket* packet =
              enet_packet_create(a.bytes.data(), a.bytes.size(), a.flag ? ENET_PACKET_FLAG_RELIABLE : 0);
          if (packet != nullptr && enet_peer_send(peer, a.flag ? 0 : 1, packet) != 0) enet_packet_destroy(packet);
          break;
        }
        case Action::CLOSE: {
          ENetPeer* peer = PeerOf(a.link);
          if (peer == nullptr) break;
          peers_.erase(a.link);
          peer->data = nullptr;
          if (a.flag)
            enet_peer_disconnect_later(peer, 0);
          else
            enet_peer_disconnect(peer, 0);
          break;
        }
      }
    }
    enet_host_flush(host_);
  }

  void Handle(const ENetEvent& event) {
    uint32_t link = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(event.peer->data));
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT:
        if (link == 0) {
          link = node_->NewLink();
          event.peer->data = reinterpret_cast<void*>(static_cast<uintptr_t>(link));
          peers_[link] = event.peer;
          SetTimeouts(event.peer);
        }
        node_->OnLinkUp(link, FromEnet(event.peer->address));
        break;
      case ENET_EVENT_TYPE_RECEIVE:
        if (link != 0) node_->OnLinkData(link, event.packet->data, event.packet->dataLength);
        enet_packet_destroy(event.packet);
        break;
      case ENET_EVENT_TYPE_DISCONNECT:
        if (link != 0) {
          peers_.erase(link);
          event.peer->data = nullptr;
          node_->OnLinkDown(link);
        }
        break;
      default:
        break;
    }
  }

  void Run() {
    tServicing = this;
    while (!stop_) {
      if (halted_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(SERVICE_MS));
        continue;
      }
      DoActions();
      ENetEvent event;
      int got = enet_host_service(host_, &event, SERVICE_MS);
      while (got > 0) {
        Handle(event);
        got = enet_host_check_events(host_, &event);
      }
      node_->Tick();
    }
    if (goodbye_ && !halted_) SayGoodbye();
    tServicing = nullptr;
  }

  // What is queued goes out, then every peer is told goodbye; the wait ends
  // when all have answered or the time is up.
  void SayGoodbye() {
    DoActions();
    for (size_t i = 0; i < host_->peerCount; ++i) {
      ENetPeer* peer = &host_->peers[i];
      if (peer->state == ENET_PEER_STATE_CONNECTED || peer->state == ENET_PEER_STATE_CONNECTING)
        enet_peer_disconnect_later(peer, 0);
    }
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(goodbyeWaitMs_);
    while (std::chrono::steady_clock::now() < end) {
      bool open = false;
      for (size_t i = 0; i < host_->peerCount; ++i)
        if (host_->peers[i].state != ENET_PEER_STATE_DISCONNECTED) open = true;
      if (!open) break;
      ENetEvent event;
      if (enet_host_service(host_, &event, SERVICE_MS) > 0 && event.type == ENET_EVENT_TYPE_RECEIVE)
        enet_packet_destroy(event.packet);
    }
  }

  HalNetConfig config_;
  uint16_t base_;
  uint16_t port_ = 0;
  ENetHost* host_ = nullptr;
  Node* node_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> halted_{false};
  bool goodbye_ = false;
  uint32_t goodbyeWaitMs_ = 0;
  std::mutex queueMu_;
  std::vector<Action> actions_;
  std::map<uint32_t, ENetPeer*> peers_;  // service thread only
};

}  // namespace

uint16_t PortBase(const HalNetConfig& config) {
  if (config.portBase != 0) return config.portBase;
  if (const char* text = std::getenv("TORVANE_NET_PORT")) {
    long v = std::strtol(text, nullptr, 10);
    if (v > 0 && v <= 65535) return static_cast<uint16_t>(v);
  }
  return HAL_NET_PORT_BASE;
}

std::unique_ptr<Backend> MakeEnetBackend(const HalNetConfig& config) {
  std::call_once(gEnetInit, [] { gEnetReady = enet_initialize() == 0; });
  if (!gEnetReady) return nullptr;
  auto backend = std::make_unique<EnetBackend>(config);
  if (!backend->Bind()) return nullptr;
  return backend;
}

}  // namespace halnet
