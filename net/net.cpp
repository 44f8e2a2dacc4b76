// Until network play exists: there is never a session to send to or leave.
#include "net/net.h"

#include "platform/app.h"

std::atomic<uint8_t> gNetQuit{0};

void NetSendCarState() {}
void NetShutdown() { AppPumpMessages(); }
void NetDestroyLocalPlayer() {}
