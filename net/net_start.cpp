// Until network play exists there is no session: the start's messages go
// nowhere and nothing answers, so a wait runs to its time-out.
#include "net/net.h"
#include "platform/app.h"

namespace {
constexpr int WAIT_TIMER = 32;
}  // namespace

void NetSendQuery(int32_t) {}
void NetSendQuit(int32_t) {}
void NetSendSignal(int32_t) {}

bool NetWaitCounter(int32_t counter, int32_t value, uint32_t timeoutMs) {
  AppTimerStart(WAIT_TIMER);
  while (NetSignalCounter(counter) != value) {
    if (AppTimerElapsed(WAIT_TIMER) >= timeoutMs) return false;
    AppPumpMessages();
  }
  return true;
}

void NetClearPlayerFlags() {
  for (int i = 0; i < NET_MAX_PARTICIPANTS; ++i) {
    gNetParticipants.stateReceived[i] = 0;
    gNetParticipants.stateConsumed[i] = 0;
  }
}
