// Shared by the layer's two halves (dp.cpp, dp_players.cpp); nothing else includes it.
#pragma once
#include <cstdint>

// Fails the operation with that last status.
bool DpFail(int32_t status);
// Ends every receive thread, then the end of the network (its session and
// players with it), then forgets the threads and what they queued.
void DpReleaseObject();
