// Network operations and flags the shell uses.
#pragma once
#include <atomic>
#include <cstdint>

// Set by a receive thread when the host tells this player to quit.
extern std::atomic<uint8_t> gNetQuit;

void NetSendCarState();
void NetShutdown();
void NetDestroyLocalPlayer();
