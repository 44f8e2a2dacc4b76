// The layer's end of the network, its connections and settings, and sessions.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "net/dp.h"
#include "net/dp_internal.h"
#include "platform/app.h"

DpLayer gDpLayer;

namespace {

HalNetConfig gConfig;

// At most DP_NAME_BYTES - 1 bytes of the text, up to its first NUL.
void CopyName(DpName* to, const std::string& from) {
  size_t n = std::min<size_t>(strnlen(from.c_str(), from.size()), DP_NAME_BYTES - 1);
  std::memcpy(to->text, from.data(), n);
  to->text[n] = 0;
}

int32_t CopyNames(const std::vector<std::string>& from, DpName* to, int32_t limit) {
  int32_t count = 0;
  for (const std::string& name : from) {
    if (count == limit) break;
    CopyName(&to[count++], name);
  }
  return count;
}

HalNet* MakeObject() {
  HalNetConfig config = gConfig;
  std::memcpy(config.application, gDpLayer.application, 16);
  return HalNetCreate(config);
}

// The session just opened: its capabilities, and it counts as open. A session
// whose description cannot be read is left again.
bool OpenSession() {
  HalNetSessionDesc desc;
  if (!HalNetGetSessionDesc(gDpLayer.object, &desc)) {
    HalNetCloseSession(gDpLayer.object);
    return DpFail(DP_STATUS_REFUSED);
  }
  gDpLayer.caps[DP_CAP_MAX_BUFFER] = HAL_NET_MAX_MESSAGE;
  gDpLayer.caps[DP_CAP_MAX_PLAYERS] = desc.maxPlayers;
  gDpLayer.caps[DP_CAP_MAX_LOCAL_PLAYERS] = HAL_NET_MAX_PLAYERS;
  gDpLayer.caps[DP_CAP_LINK_RATE] = 0;
  gDpLayer.caps[DP_CAP_LATENCY] = 0;
  gDpLayer.sessionOpen = true;
  return true;
}

}  // namespace

bool DpFail(int32_t status) {
  gDpLayer.lastStatus = status;
  return false;
}

void DpUseConfigForTest(const HalNetConfig& config) { gConfig = config; }

bool DpCreate(const uint8_t application[16], const DpName** connections, int32_t* count) {
  if (application == nullptr || count == nullptr) return DpFail(DP_STATUS_REFUSED);
  if (gDpLayer.object != nullptr) DpReleaseObject();
  std::memcpy(gDpLayer.application, application, 16);
  gDpLayer.object = MakeObject();
  if (gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  gDpLayer.connectionCount = CopyNames(HalNetConnections(), gDpLayer.connections, DP_MAX_CONNECTIONS);
  gDpLayer.modemCount = CopyNames(HalNetModems(), gDpLayer.modems, DP_MAX_MODEMS);
  gDpLayer.sessionCount = 0;
  AppSetPumpHook(DpDispatchMessages);
  if (connections != nullptr) *connections = gDpLayer.connections;
  *count = gDpLayer.connectionCount;
  return true;
}

bool DpGetModems(const DpName** modems, int32_t* count) {
  if (modems == nullptr || count == nullptr) return DpFail(DP_STATUS_REFUSED);
  *modems = gDpLayer.modems;
  *count = gDpLayer.modemCount;
  return true;
}

bool DpSetHostAddress(const char* text) {
  if (text == nullptr) return DpFail(DP_STATUS_REFUSED);
  size_t length = strnlen(text, DP_NAME_BYTES);
  if (length >= DP_NAME_BYTES) return DpFail(DP_STATUS_REFUSED);
  std::memcpy(gDpLayer.hostAddress, text, length + 1);
  return true;
}

bool DpSelectModem(int32_t index, const char* phone) {
  if (index < 0 || index >= gDpLayer.modemCount || phone == nullptr) return DpFail(DP_STATUS_REFUSED);
  size_t length = strnlen(phone, DP_PHONE_BYTES);
  if (length >= DP_PHONE_BYTES) return DpFail(DP_STATUS_REFUSED);
  gDpLayer.modemChoice = index;
  std::memcpy(gDpLayer.phone, phone, length + 1);
  return true;
}

bool DpGetSerialSettings(uint32_t settings[DP_SERIAL_WORDS]) {
  if (settings == nullptr) return DpFail(DP_STATUS_REFUSED);
  std::copy_n(gDpLayer.serial, DP_SERIAL_WORDS, settings);
  return true;
}

bool DpSetSerialSettings(const uint32_t settings[DP_SERIAL_WORDS]) {
  if (settings == nullptr) return DpFail(DP_STATUS_REFUSED);
  std::copy_n(settings, DP_SERIAL_WORDS, gDpLayer.serial);
  return true;
}

bool DpInitConnection(int32_t index) {
  if (index < 0 || index >= gDpLayer.connectionCount || gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  DpReleaseObject();
  gDpLayer.object = MakeObject();
  if (gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  // Every connection hal/net offers runs over UDP and takes the host address.
  if (!HalNetSetAddress(gDpLayer.object, gDpLayer.hostAddress)) return DpFail(DP_STATUS_REFUSED);
  return true;
}

bool DpEnumSessions(const DpName** names, int32_t* count) {
  if (count == nullptr || gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  gDpLayer.sessionCount = 0;
  std::vector<HalNetSessionInfo> found;
  if (!HalNetEnumSessions(gDpLayer.object, &found)) return DpFail(DP_STATUS_REFUSED);
  for (const HalNetSessionInfo& session : found) {
    if (gDpLayer.sessionCount == DP_MAX_SESSIONS) break;
    CopyName(&gDpLayer.sessionNames[gDpLayer.sessionCount], session.name);
    std::memcpy(gDpLayer.sessionInstances[gDpLayer.sessionCount], session.instance, 16);
    ++gDpLayer.sessionCount;
  }
  if (names != nullptr) *names = gDpLayer.sessionNames;
  *count = gDpLayer.sessionCount;
  return true;
}

bool DpStopEnumSessions() {
  if (gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  HalNetStopEnumSessions(gDpLayer.object);
  return true;
}

bool DpHostSession(const char* name, int32_t maxPlayers) {
  if (name == nullptr || maxPlayers < 1 || maxPlayers > static_cast<int32_t>(DP_MAX_PLAYERS) ||
      gDpLayer.object == nullptr)
    return DpFail(DP_STATUS_REFUSED);
  if (!HalNetHostSession(gDpLayer.object, name, static_cast<uint32_t>(maxPlayers))) return DpFail(DP_STATUS_REFUSED);
  return OpenSession();
}

bool DpJoinSession(int32_t index) {
  if (index < 0 || index >= gDpLayer.sessionCount || gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  if (!HalNetJoinSession(gDpLayer.object, gDpLayer.sessionInstances[index])) return DpFail(DP_STATUS_REFUSED);
  return OpenSession();
}

void DpCloseSession() {
  if (gDpLayer.object != nullptr) HalNetCloseSession(gDpLayer.object);
  gDpLayer.sessionOpen = false;
}

bool DpGetSessionDesc(DpSessionDesc* desc) {
  if (desc == nullptr || gDpLayer.object == nullptr || !gDpLayer.sessionOpen) return DpFail(DP_STATUS_REFUSED);
  HalNetSessionDesc got;
  if (!HalNetGetSessionDesc(gDpLayer.object, &got)) return DpFail(DP_STATUS_REFUSED);
  std::memcpy(desc->instance, got.instance, 16);
  desc->flags = got.flags;
  desc->maxPlayers = got.maxPlayers;
  desc->currentPlayers = got.currentPlayers;
  DpName name;
  CopyName(&name, got.name);
  std::memcpy(desc->name, name.text, DP_NAME_BYTES);
  return true;
}

bool DpSetSessionDesc(const DpSessionDesc* desc) {
  if (desc == nullptr || gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  HalNetSessionDesc set;
  std::memcpy(set.instance, desc->instance, 16);
  set.flags = desc->flags;
  set.maxPlayers = desc->maxPlayers;
  set.currentPlayers = desc->currentPlayers;
  set.name.assign(desc->name, strnlen(desc->name, DP_NAME_BYTES - 1));
  if (!HalNetSetSessionDesc(gDpLayer.object, set)) return DpFail(DP_STATUS_REFUSED);
  return true;
}

bool DpSend(uint32_t from, uint32_t to, const void* data, uint32_t size, DpDelivery delivery) {
  if (gDpLayer.object == nullptr || !gDpLayer.sessionOpen || data == nullptr || size == 0)
    return DpFail(DP_STATUS_REFUSED);
  uint32_t flags = delivery == DP_SEND_UNRELIABLE_SEQUENCED ? HAL_NET_SEND_UNRELIABLE_SEQUENCED : 0;
  if (!HalNetSend(gDpLayer.object, from, to, data, size, flags)) return DpFail(DP_STATUS_REFUSED);
  return true;
}

bool DpDropMachine(uint32_t player) {
  if (gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  if (!HalNetDropPlayer(gDpLayer.object, player)) return DpFail(DP_STATUS_REFUSED);
  return true;
}

void DpShutdown() {
  if (gDpLayer.object != nullptr) DpReleaseObject();
  AppSetPumpHook(nullptr);
  gDpLayer.connectionCount = 0;
  gDpLayer.modemCount = 0;
  gDpLayer.sessionCount = 0;
  gDpLayer.sessionOpen = false;
}
