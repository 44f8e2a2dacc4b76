// Until the game protocol exists: nothing is sent, and the participant tables
// hold what tests put there. The session set-up is in session.cpp.
#include "net/net.h"

std::atomic<uint8_t> gNetQuit{0};
NetParticipants gNetParticipants;

int32_t NetParticipantCount() {
  const int32_t n = gNetParticipants.count;
  return n < 0 ? 0 : n > NET_MAX_PARTICIPANTS ? NET_MAX_PARTICIPANTS : n;
}

Vehicle* NetParticipantRecord(int32_t index) {
  if (index < 0 || index >= NetParticipantCount()) return nullptr;
  return gNetParticipants.records[index];
}

const char* NetParticipantName(int32_t index) {
  if (index < 0 || index >= NetParticipantCount()) return nullptr;
  return gNetParticipants.names[index];
}

int32_t NetOwnIndex() { return gNetParticipants.ownIndex; }
Vehicle* NetOwnRecord() { return NetParticipantRecord(gNetParticipants.ownIndex); }
uint8_t NetIsHost() { return gNetParticipants.host; }
uint8_t NetAbortFlag() { return gNetParticipants.abort; }

int32_t NetSignalCounter(int32_t counter) {
  if (counter < 0 || counter >= NET_SIGNAL_COUNTERS) return 0;
  return gNetParticipants.signalCounters[counter];
}

int32_t NetPlayerIndex(const Vehicle* vehicle) {
  for (int32_t i = 0; i < NetParticipantCount(); ++i)
    if (gNetParticipants.records[i] == vehicle) return i;
  return -1;
}

void NetSendCarState() {}
