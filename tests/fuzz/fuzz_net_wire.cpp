// hal/net's datagram parser on arbitrary bytes: never a read past the input,
// and whatever parses keeps every limit and encodes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "hal/net/net.h"
#include "hal/net/net_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  halnet::WireMsg msg;
  if (!halnet::WireParse(data, size, &msg)) return 0;
  if (msg.payload.size() > HAL_NET_MAX_MESSAGE || msg.name.size() > HAL_NET_MAX_PLAYER_NAME ||
      msg.desc.name.size() > HAL_NET_MAX_SESSION_NAME || msg.members.size() > HAL_NET_MAX_PLAYERS ||
      msg.players.size() > HAL_NET_MAX_PLAYERS || msg.desc.currentPlayers > msg.desc.maxPlayers)
    std::abort();
  for (const halnet::WirePlayer& p : msg.players)
    if (p.id == 0 || p.name.size() > HAL_NET_MAX_PLAYER_NAME) std::abort();
  // Names may have been cut at a NUL, so compare a second round instead of the input.
  std::vector<uint8_t> again = halnet::WireEncode(msg);
  halnet::WireMsg back;
  if (!halnet::WireParse(again.data(), again.size(), &back) || halnet::WireEncode(back) != again) std::abort();
  return 0;
}
