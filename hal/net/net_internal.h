// What carries a node's datagrams: ENet over UDP, or the simulated network.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "hal/net/net.h"
#include "hal/net/net_node.h"

namespace halnet {

class Backend : public Transport {
 public:
  virtual uint16_t Port() const = 0;
  virtual void Attach(Node* node) = 0;
  // Where enumeration asks for an address text; false for text that is no address.
  virtual bool Targets(const std::string& address, std::vector<NetAddr>* targets) = 0;
  // Moves the network on (the simulated one); nothing for ENet, whose thread does.
  virtual void Pump() {}
  virtual bool Simulated() const { return false; }
  // Ends the traffic: after a goodbye to every peer within waitMs, or at once.
  virtual void Shutdown(bool goodbye, uint32_t waitMs) = 0;
  virtual void Halt(bool halted) = 0;
};

// Null when no port can be bound.
std::unique_ptr<Backend> MakeEnetBackend(const HalNetConfig& config);
std::unique_ptr<Backend> MakeSimBackend(const HalNetConfig& config);

uint16_t PortBase(const HalNetConfig& config);

}  // namespace halnet
