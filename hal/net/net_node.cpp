#include "hal/net/net_node.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "hal/clock.h"

namespace halnet {
namespace {

constexpr uint32_t ENUM_REPEAT_MS = 300;
// A session that has stopped answering (full, closed, gone) leaves the list.
constexpr uint32_t ENUM_FORGET_MS = 5 * ENUM_REPEAT_MS;
constexpr size_t WAITING_LIMIT = HAL_NET_QUEUE_LIMIT;

uint32_t NowMs() { return HalTimePeek(); }

std::string AddrText(const NetAddr& a) {
  return std::to_string(a.ip >> 24) + "." + std::to_string((a.ip >> 16) & 255) + "." +
         std::to_string((a.ip >> 8) & 255) + "." + std::to_string(a.ip & 255) + ":" + std::to_string(a.port);
}

}  // namespace

Node::Node(const HalNetConfig& config, Transport* transport, uint16_t listenPort)
    : config_(config), transport_(transport), listenPort_(listenPort) {}

uint32_t Node::NewLink() {
  std::lock_guard<std::mutex> lock(mu_);
  uint32_t link = nextLink_++;
  links_[link] = Link{};
  links_[link].sinceMs = NowMs();
  return link;
}

void Node::OnLinkUp(uint32_t link, const NetAddr& remote) {
  std::lock_guard<std::mutex> lock(mu_);
  auto it = links_.find(link);
  if (it == links_.end()) {
    transport_->Close(link, false);
    return;
  }
  Link& l = it->second;
  l.remote = remote;
  l.up = true;
  l.sinceMs = NowMs();
  if (link == joinLink_ && joinState_ == 0) {
    WireMsg join;
    join.kind = WIRE_JOIN;
    std::memcpy(join.application, config_.application, 16);
    std::memcpy(join.instance, joinInstance_, 16);
    join.port = listenPort_;
    transport_->Send(link, true, WireEncode(join));
    return;
  }
  auto m = members_.find(l.member);
  if (l.member != 0 && m != members_.end() && m->second.link == link) {
    // A link this member opened to an older member: say who we are, then
    // what was waiting for it.
    WireMsg hello;
    hello.kind = WIRE_HELLO;
    std::memcpy(hello.instance, desc_.instance, 16);
    hello.member = myMember_;
    hello.port = listenPort_;
    transport_->Send(link, true, WireEncode(hello));
    m->second.up = true;
    for (auto& [reliable, bytes] : m->second.waiting) transport_->Send(link, reliable, std::move(bytes));
    m->second.waiting.clear();
  }
}

void Node::OnLinkDown(uint32_t link) {
  std::lock_guard<std::mutex> lock(mu_);
  auto it = links_.find(link);
  if (it == links_.end()) return;
  uint32_t member = it->second.member;
  links_.erase(it);
  if (link == joinLink_ && joinState_ == 0) {
    joinState_ = -1;
    changed_.notify_all();
  }
  auto m = members_.find(member);
  if (member != 0 && m != members_.end() && m->second.link == link) DropMember(member);
}

void Node::DropLink(uint32_t link) {
  auto it = links_.find(link);
  if (it == links_.end()) return;
  uint32_t member = it->second.member;
  auto m = members_.find(member);
  if (member != 0 && m != members_.end() && m->second.link == link) {
    DropMember(member);
    return;
  }
  links_.erase(it);
  transport_->Close(link, false);
}

void Node::OnLinkData(uint32_t link, const uint8_t* data, size_t size) {
  std::lock_guard<std::mutex> lock(mu_);
  auto it = links_.find(link);
  if (it == links_.end()) return;
  WireMsg m;
  if (!WireParse(data, size, &m)) {
    DropLink(link);
    return;
  }
  Link& l = it->second;
  bool ok = true;
  switch (m.kind) {
    case WIRE_JOIN:
      ok = isHost_ && l.member == 0;
      if (ok) HandleJoin(link, m);
      break;
    case WIRE_WELCOME:
      ok = link == joinLink_ && joinState_ == 0;
      if (ok) HandleWelcome(link, m);
      break;
    case WIRE_REFUSE:
      ok = link == joinLink_ && joinState_ == 0;
      if (ok) {
        joinState_ = -1;
        changed_.notify_all();
      }
      break;
    case WIRE_HELLO:
    {
      // The host may have announced the member's players before its hello
      // arrives here: then it is known, without a link yet.
      auto known = members_.find(m.member);
      bool placeholder = known != members_.end() && known->second.link == 0;
      ok = inSession_ && l.member == 0 && std::memcmp(m.instance, desc_.instance, 16) == 0 && m.member != myMember_ &&
           (placeholder || (known == members_.end() && members_.size() + 1 < HAL_NET_MAX_PLAYERS));
      if (ok) {
        l.member = m.member;
        Member& x = members_[m.member];
        x.link = link;
        x.addr = NetAddr{l.remote.ip, m.port};
        x.up = true;
        nextMember_ = std::max(nextMember_, m.member + 1);
        for (auto& [reliable, bytes] : x.waiting) transport_->Send(link, reliable, std::move(bytes));
        x.waiting.clear();
      }
      break;
    }
    case WIRE_CREATE:
      ok = isHost_ && l.member != 0;
      if (ok) {
        if (players_.size() < desc_.maxPlayers && (desc_.flags & HAL_NET_SESSION_NEWPLAYERSDISABLED) == 0) {
          uint32_t id = nextPlayer_++;
          AddPlayer(id, l.member, m.name, 0);
          WireMsg added;
          added.kind = WIRE_ADDED;
          added.player = id;
          added.owner = l.member;
          added.name = m.name;
          for (auto& [member, x] : members_) {
            added.request = member == l.member ? m.request : 0;
            SendMember(member, added);
          }
        } else {
          WireMsg no;
          no.kind = WIRE_PLAYER_REFUSED;
          no.request = m.request;
          SendMember(l.member, no);
        }
      }
      break;
    case WIRE_ADDED:
      ok = FromHost(l) && players_.count(m.player) == 0 && players_.size() < HAL_NET_MAX_PLAYERS &&
           (m.owner == myMember_ || members_.count(m.owner) != 0 || members_.size() + 1 < HAL_NET_MAX_PLAYERS);
      if (ok) {
        if (m.owner != myMember_ && members_.count(m.owner) == 0) members_[m.owner] = Member{};
        nextMember_ = std::max(nextMember_, m.owner + 1);
        AddPlayer(m.player, m.owner, m.name, m.request);
      }
      break;
    case WIRE_PLAYER_REFUSED:
      ok = FromHost(l);
      if (ok && creates_.count(m.request) != 0) {
        creates_[m.request].state = -1;
        changed_.notify_all();
      }
      break;
    case WIRE_DESTROY: {
      auto p = players_.find(m.player);
      ok = isHost_ && l.member != 0 && p != players_.end() && p->second.owner == l.member;
      if (ok) {
        RemovePlayer(m.player);
        WireMsg removed;
        removed.kind = WIRE_REMOVED;
        removed.player = m.player;
        Broadcast(removed);
      }
      break;
    }
    case WIRE_REMOVED:
      ok = FromHost(l);
      if (ok) RemovePlayer(m.player);
      break;
    case WIRE_MEMBER_GONE:
      ok = FromHost(l) && m.member != myMember_;
      if (ok && members_.count(m.member) != 0) DropMember(m.member);
      break;
    case WIRE_DESC:
      ok = FromHost(l) && std::memcmp(m.desc.instance, desc_.instance, 16) == 0;
      if (ok) desc_ = m.desc;
      break;
    case WIRE_GAME:
      ok = l.member != 0 && members_.count(l.member) != 0;
      if (ok) HandleGame(l.member, m);
      break;
    default:
      ok = false;
      break;
  }
  if (!ok) DropLink(link);
}

void Node::HandleJoin(uint32_t link, const WireMsg& m) {
  WireMsg answer;
  bool accept = std::memcmp(m.application, config_.application, 16) == 0 &&
                std::memcmp(m.instance, desc_.instance, 16) == 0 &&
                (desc_.flags & HAL_NET_SESSION_NEWPLAYERSDISABLED) == 0 && players_.size() < desc_.maxPlayers &&
                members_.size() + 1 < HAL_NET_MAX_PLAYERS;
  if (!accept) {
    answer.kind = WIRE_REFUSE;
    transport_->Send(link, true, WireEncode(answer));
    links_.erase(link);
    transport_->Close(link, true);
    return;
  }
  uint32_t id = nextMember_++;
  Link& l = links_[link];
  l.member = id;
  answer.kind = WIRE_WELCOME;
  answer.member = id;
  answer.hostMember = myMember_;
  answer.nextPlayer = nextPlayer_;
  answer.desc = CurrentDesc();
  answer.members.push_back(WireMember{myMember_, 0, listenPort_});  // 0: the address the joiner reached
  for (const auto& [mid, x] : members_) answer.members.push_back(WireMember{mid, x.addr.ip, x.addr.port});
  for (const auto& [pid, p] : players_) answer.players.push_back(WirePlayer{pid, p.owner, p.name});
  Member& x = members_[id];
  x.link = link;
  x.addr = NetAddr{l.remote.ip, m.port};
  x.up = true;
  transport_->Send(link, true, WireEncode(answer));
}

void Node::HandleWelcome(uint32_t link, const WireMsg& m) {
  NetAddr hostAddr = links_[link].remote;
  ResetSession();
  inSession_ = true;
  desc_ = m.desc;
  myMember_ = m.member;
  hostMember_ = m.hostMember;
  nextPlayer_ = m.nextPlayer;
  nextMember_ = m.member + 1;
  links_[link].member = m.hostMember;
  for (const WireMember& x : m.members) {
    if (x.id == myMember_ || members_.count(x.id) != 0) continue;
    nextMember_ = std::max(nextMember_, x.id + 1);
    Member& mem = members_[x.id];
    mem.addr = NetAddr{x.ip != 0 ? x.ip : hostAddr.ip, x.port};
    if (x.id == hostMember_) {
      mem.link = link;
      mem.up = true;
      continue;
    }
    uint32_t l = nextLink_++;
    links_[l] = Link{mem.addr, x.id, false, NowMs()};
    mem.link = l;
    transport_->Connect(l, mem.addr);
  }
  if (members_.count(hostMember_) == 0) {
    // A welcome that does not list its own sender: no session to be in.
    ResetSession();
    joinState_ = -1;
    changed_.notify_all();
    return;
  }
  for (const WirePlayer& p : m.players)
    if (p.owner != myMember_ && members_.count(p.owner) != 0) players_[p.id] = Player{p.owner, p.name};
  joinState_ = 1;
  changed_.notify_all();
}

void Node::HandleGame(uint32_t member, const WireMsg& m) {
  Member& x = members_[member];
  uint32_t now = NowMs();
  if (now - x.windowMs >= 1000) {
    x.windowMs = now;
    x.windowCount = 0;
  }
  auto sender = players_.find(m.player);
  if (++x.windowCount > HAL_NET_RATE_LIMIT || sender == players_.end() || sender->second.owner != member) {
    DropMember(member);
    return;
  }
  if (m.to != 0) {
    if (locals_.count(m.to) != 0 && !Push(m.to, m.player, m.payload.data(), m.payload.size(), true))
      DropMember(member);
    return;
  }
  std::vector<uint32_t> ids;
  for (const auto& [id, local] : locals_) ids.push_back(id);
  for (uint32_t id : ids) {
    if (!Push(id, m.player, m.payload.data(), m.payload.size(), true)) {
      DropMember(member);
      return;
    }
  }
}

void Node::OnRaw(const NetAddr& from, const uint8_t* data, size_t size) {
  std::lock_guard<std::mutex> lock(mu_);
  WireMsg m;
  if (!WireParse(data, size, &m) || std::memcmp(m.application, config_.application, 16) != 0) return;
  if (m.kind == WIRE_QUERY) {
    WireDesc d = CurrentDesc();
    if (!isHost_ || (d.flags & HAL_NET_SESSION_NEWPLAYERSDISABLED) != 0 || d.currentPlayers >= d.maxPlayers) return;
    WireMsg answer;
    answer.kind = WIRE_ANSWER;
    std::memcpy(answer.application, config_.application, 16);
    answer.desc = d;
    transport_->Raw(from, WireEncode(answer));
  } else if (m.kind == WIRE_ANSWER && enumerating_) {
    HalNetSessionInfo info;
    std::memcpy(info.instance, m.desc.instance, 16);
    info.name = m.desc.name;
    info.currentPlayers = m.desc.currentPlayers;
    info.maxPlayers = m.desc.maxPlayers;
    info.flags = m.desc.flags;
    info.address = AddrText(from);
    for (Found& f : found_) {
      if (std::memcmp(f.info.instance, info.instance, 16) == 0) {
        f.info = info;
        f.addr = from;
        f.seenMs = NowMs();
        return;
      }
    }
    if (found_.size() < HAL_NET_MAX_SESSIONS) found_.push_back(Found{info, from, NowMs()});
  }
}

void Node::Tick() {
  std::lock_guard<std::mutex> lock(mu_);
  // A link that never says who it is holds a slot for nothing.
  uint32_t now = NowMs();
  std::vector<uint32_t> stale;
  for (const auto& [id, l] : links_)
    if (l.member == 0 && id != joinLink_ && now - l.sinceMs > config_.joinWaitMs) stale.push_back(id);
  for (uint32_t id : stale) DropLink(id);
}

void Node::SetQueryTargets(std::vector<NetAddr> targets) {
  std::lock_guard<std::mutex> lock(mu_);
  queryTargets_ = std::move(targets);
  found_.clear();
  enumerating_ = false;
}

void Node::EnumSessions(std::vector<HalNetSessionInfo>* out) {
  std::lock_guard<std::mutex> lock(mu_);
  uint32_t now = NowMs();
  if (!enumerating_ || now - lastQueryMs_ >= ENUM_REPEAT_MS) {
    enumerating_ = true;
    lastQueryMs_ = now;
    WireMsg query;
    query.kind = WIRE_QUERY;
    std::memcpy(query.application, config_.application, 16);
    std::vector<uint8_t> bytes = WireEncode(query);
    for (const NetAddr& to : queryTargets_) transport_->Raw(to, bytes);
  }
  std::erase_if(found_, [now](const Found& f) { return now - f.seenMs > ENUM_FORGET_MS; });
  out->clear();
  for (const Found& f : found_) out->push_back(f.info);
}

void Node::StopEnum() {
  std::lock_guard<std::mutex> lock(mu_);
  enumerating_ = false;
}

bool Node::Host(const std::string& name, uint32_t maxPlayers, const uint8_t instance[16]) {
  std::lock_guard<std::mutex> lock(mu_);
  if (inSession_ || maxPlayers < 1 || maxPlayers > HAL_NET_MAX_PLAYERS) return false;
  ResetSession();
  inSession_ = true;
  isHost_ = true;
  myMember_ = hostMember_ = 1;
  nextMember_ = 2;
  nextPlayer_ = 1;
  std::memcpy(desc_.instance, instance, 16);
  desc_.maxPlayers = maxPlayers;
  desc_.flags = 0;
  desc_.name = WireCutName(name, HAL_NET_MAX_SESSION_NAME);
  return true;
}

bool Node::BeginJoin(const uint8_t instance[16]) {
  std::lock_guard<std::mutex> lock(mu_);
  if (inSession_) return false;
  for (const Found& f : found_) {
    if (std::memcmp(f.info.instance, instance, 16) != 0) continue;
    std::memcpy(joinInstance_, instance, 16);
    joinLink_ = nextLink_++;
    links_[joinLink_] = Link{f.addr, 0, false, NowMs()};
    joinState_ = 0;
    transport_->Connect(joinLink_, f.addr);
    return true;
  }
  return false;
}

void Node::AbandonJoinLocked() {
  if (joinLink_ != 0 && links_.count(joinLink_) != 0 && !inSession_) {
    links_.erase(joinLink_);
    transport_->Close(joinLink_, false);
  }
  joinLink_ = 0;
  joinState_ = 0;
}

void Node::CloseSession() {
  std::lock_guard<std::mutex> lock(mu_);
  if (!inSession_) return;
  for (const auto& [id, local] : locals_) AnnounceGone(id);
  for (const auto& [id, x] : members_)
    if (x.link != 0) transport_->Close(x.link, true);
  for (const auto& [id, l] : links_)
    if (l.member == 0) transport_->Close(id, false);
  links_.clear();
  ResetSession();
}

void Node::ResetSession() {
  std::vector<HalNetSignal> gone;
  for (const auto& [id, local] : locals_) gone.push_back(local.signal);
  locals_.clear();
  for (const HalNetSignal& signal : gone)
    if (signal.raise != nullptr) signal.raise(signal.context);
  inSession_ = false;
  isHost_ = false;
  desc_ = WireDesc{};
  myMember_ = hostMember_ = 0;
  members_.clear();
  players_.clear();
  creates_.clear();
  joinLink_ = 0;
}

bool Node::InSession() {
  std::lock_guard<std::mutex> lock(mu_);
  return inSession_;
}

bool Node::IsHost() {
  std::lock_guard<std::mutex> lock(mu_);
  return inSession_ && isHost_;
}

WireDesc Node::CurrentDesc() const {
  WireDesc d = desc_;
  d.currentPlayers = static_cast<uint32_t>(players_.size());
  if (d.currentPlayers > d.maxPlayers) d.currentPlayers = d.maxPlayers;
  return d;
}

bool Node::GetDesc(HalNetSessionDesc* desc) {
  std::lock_guard<std::mutex> lock(mu_);
  if (!inSession_ || desc == nullptr) return false;
  WireDesc d = CurrentDesc();
  std::memcpy(desc->instance, d.instance, 16);
  desc->flags = d.flags;
  desc->maxPlayers = d.maxPlayers;
  desc->currentPlayers = static_cast<uint32_t>(players_.size());
  desc->name = d.name;
  return true;
}

bool Node::SetDesc(const HalNetSessionDesc& desc) {
  std::lock_guard<std::mutex> lock(mu_);
  if (!inSession_ || !isHost_ || desc.maxPlayers < 1 || desc.maxPlayers > HAL_NET_MAX_PLAYERS ||
      desc.maxPlayers < players_.size())
    return false;
  desc_.flags = desc.flags;
  desc_.maxPlayers = desc.maxPlayers;
  desc_.name = WireCutName(desc.name, HAL_NET_MAX_SESSION_NAME);
  WireMsg m;
  m.kind = WIRE_DESC;
  m.desc = CurrentDesc();
  Broadcast(m);
  return true;
}

uint32_t Node::BeginCreatePlayer(const std::string& name, HalNetSignal signal, uint32_t* id) {
  std::lock_guard<std::mutex> lock(mu_);
  if (!inSession_) return 0;
  uint32_t request = nextRequest_++;
  creates_[request] = Create{signal, 0, 0};
  if (isHost_) {
    if (players_.size() >= desc_.maxPlayers || (desc_.flags & HAL_NET_SESSION_NEWPLAYERSDISABLED) != 0) {
      creates_.erase(request);
      return 0;
    }
    uint32_t newId = nextPlayer_++;
    AddPlayer(newId, myMember_, name, request);
    WireMsg added;
    added.kind = WIRE_ADDED;
    added.player = newId;
    added.owner = myMember_;
    added.name = WireCutName(name, HAL_NET_MAX_PLAYER_NAME);
    Broadcast(added);
    *id = newId;
    return request;
  }
  WireMsg create;
  create.kind = WIRE_CREATE;
  create.request = request;
  create.name = name;
  SendMember(hostMember_, create);
  return request;
}

int Node::CreateStateLocked(uint32_t request, uint32_t* id) {
  auto it = creates_.find(request);
  if (it == creates_.end()) return -1;
  *id = it->second.id;
  return it->second.state;
}

void Node::ForgetCreateLocked(uint32_t request) { creates_.erase(request); }

void Node::AddPlayer(uint32_t id, uint32_t owner, const std::string& name, uint32_t request) {
  players_[id] = Player{owner, WireCutName(name, HAL_NET_MAX_PLAYER_NAME)};
  nextPlayer_ = std::max(nextPlayer_, id + 1);
  if (owner == myMember_) {
    auto c = creates_.find(request);
    if (request == 0 || c == creates_.end() || c->second.state != 0) {
      // Ours, but nobody waits for it any more: give it back.
      players_.erase(id);
      WireMsg bye;
      bye.kind = WIRE_DESTROY;
      bye.player = id;
      SendMember(hostMember_, bye);
      return;
    }
    locals_[id].signal = c->second.signal;
    c->second.state = 1;
    c->second.id = id;
    changed_.notify_all();
  }
  SystemPlayer(HAL_NET_SYS_CREATEPLAYER, id, players_[id].name, id);
}

void Node::RemovePlayer(uint32_t id) {
  auto p = players_.find(id);
  if (p == players_.end()) return;
  std::string name = p->second.name;
  players_.erase(p);
  auto local = locals_.find(id);
  HalNetSignal gone = local != locals_.end() ? local->second.signal : HalNetSignal{};
  if (local != locals_.end()) locals_.erase(local);
  SystemPlayer(HAL_NET_SYS_DESTROYPLAYER, id, name, id);
  // Whoever waits on the player's queue learns (its receive fails) that it is gone.
  if (gone.raise != nullptr) gone.raise(gone.context);
}

bool Node::DestroyPlayer(uint32_t id) {
  std::lock_guard<std::mutex> lock(mu_);
  if (!inSession_ || locals_.count(id) == 0) return false;
  RemovePlayer(id);
  AnnounceGone(id);
  return true;
}

void Node::AnnounceGone(uint32_t local) {
  // The host tells everyone; a member asks the host to.
  WireMsg m;
  m.kind = isHost_ ? WIRE_REMOVED : WIRE_DESTROY;
  m.player = local;
  if (isHost_)
    Broadcast(m);
  else
    SendMember(hostMember_, m);
}

bool Node::EnumPlayers(std::vector<HalNetPlayerInfo>* out) {
  std::lock_guard<std::mutex> lock(mu_);
  if (!inSession_ || out == nullptr) return false;
  out->clear();
  for (const auto& [id, p] : players_) out->push_back(HalNetPlayerInfo{id, p.name, p.owner == myMember_});
  return true;
}

bool Node::DropPlayer(uint32_t id) {
  std::lock_guard<std::mutex> lock(mu_);
  auto p = players_.find(id);
  if (!inSession_ || p == players_.end() || p->second.owner == myMember_) return false;
  DropMember(p->second.owner);
  return true;
}

void Node::DropMember(uint32_t member) {
  auto it = members_.find(member);
  if (it == members_.end()) return;
  uint32_t link = it->second.link;
  members_.erase(it);
  if (link != 0) {
    links_.erase(link);
    transport_->Close(link, false);
  }
  std::vector<uint32_t> gone;
  for (const auto& [id, p] : players_)
    if (p.owner == member) gone.push_back(id);
  for (uint32_t id : gone) RemovePlayer(id);
  if (isHost_) {
    WireMsg m;
    m.kind = WIRE_MEMBER_GONE;
    m.member = member;
    Broadcast(m);
  } else if (member == hostMember_) {
    ElectHost();
  }
}

void Node::ElectHost() {
  // Everyone left holds the same roster, so everyone picks the same member:
  // the owner of the lowest player id, else the lowest member id.
  uint32_t chosen = 0;
  for (const auto& [id, p] : players_) {
    if (p.owner == myMember_ || members_.count(p.owner) != 0) {
      chosen = p.owner;
      break;
    }
  }
  if (chosen == 0) chosen = members_.empty() ? myMember_ : std::min(myMember_, members_.begin()->first);
  hostMember_ = chosen;
  if (chosen != myMember_) return;
  isHost_ = true;
  SystemHost();
}

void Node::SystemPlayer(uint32_t type, uint32_t id, const std::string& name, uint32_t except) {
  HalNetSysPlayer sys{};
  sys.type = type;
  sys.playerType = HAL_NET_PLAYERTYPE_PLAYER;
  sys.id = id;
  std::memcpy(sys.name, name.data(), std::min<size_t>(name.size(), HAL_NET_MAX_PLAYER_NAME));
  std::vector<uint32_t> ids;
  for (const auto& [lid, local] : locals_)
    if (lid != except) ids.push_back(lid);
  for (uint32_t lid : ids) Push(lid, 0, reinterpret_cast<const uint8_t*>(&sys), sizeof sys, false);
}

void Node::SystemHost() {
  uint32_t type = HAL_NET_SYS_HOST;
  std::vector<uint32_t> ids;
  for (const auto& [lid, local] : locals_) ids.push_back(lid);
  for (uint32_t lid : ids) Push(lid, 0, reinterpret_cast<const uint8_t*>(&type), sizeof type, false);
}

bool Node::Push(uint32_t local, uint32_t from, const uint8_t* data, size_t size, bool limited) {
  auto it = locals_.find(local);
  if (it == locals_.end()) return true;
  if (limited && it->second.queue.size() >= HAL_NET_QUEUE_LIMIT) return false;
  it->second.queue.push_back(Queued{seq_++, from, std::vector<uint8_t>(data, data + size), NowMs()});
  if (it->second.signal.raise != nullptr) it->second.signal.raise(it->second.signal.context);
  changed_.notify_all();
  return true;
}

void Node::SendMemberBytes(uint32_t member, std::vector<uint8_t> bytes, bool reliable) {
  auto it = members_.find(member);
  if (it == members_.end()) return;
  Member& x = it->second;
  if (x.up) {
    transport_->Send(x.link, reliable, std::move(bytes));
  } else if (x.waiting.size() < WAITING_LIMIT) {
    x.waiting.emplace_back(reliable, std::move(bytes));
  }
}

void Node::SendMember(uint32_t member, const WireMsg& msg, bool reliable) {
  SendMemberBytes(member, WireEncode(msg), reliable);
}

void Node::Broadcast(const WireMsg& msg) {
  std::vector<uint8_t> bytes = WireEncode(msg);
  for (const auto& [id, x] : members_) SendMemberBytes(id, bytes, true);
}

bool Node::Send(uint32_t from, uint32_t to, const void* data, uint32_t size, uint32_t flags) {
  std::lock_guard<std::mutex> lock(mu_);
  if (!inSession_ || data == nullptr || size == 0 || size > HAL_NET_MAX_MESSAGE || locals_.count(from) == 0)
    return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  bool reliable = (flags & HAL_NET_SEND_UNRELIABLE_SEQUENCED) == 0;
  WireMsg m;
  m.kind = WIRE_GAME;
  m.player = from;
  m.to = to;
  m.payload.assign(bytes, bytes + size);
  if (to != 0) {
    if (locals_.count(to) != 0) return Push(to, from, bytes, size, true);
    auto p = players_.find(to);
    if (p == players_.end()) return false;
    SendMember(p->second.owner, m, reliable);
    return true;
  }
  std::vector<uint32_t> ids;
  for (const auto& [id, local] : locals_)
    if (id != from) ids.push_back(id);
  for (uint32_t id : ids) Push(id, from, bytes, size, true);
  std::vector<uint8_t> wire = WireEncode(m);
  std::set<uint32_t> owners;
  for (const auto& [id, p] : players_)
    if (p.owner != myMember_) owners.insert(p.owner);
  for (uint32_t owner : owners) SendMemberBytes(owner, wire, reliable);
  return true;
}

HalNetReceiveResult Node::Receive(uint32_t* from, uint32_t* to, void* buffer, uint32_t* size, uint32_t* arrivalMs) {
  std::lock_guard<std::mutex> lock(mu_);
  if (from == nullptr || to == nullptr || size == nullptr) return HAL_NET_RECEIVE_FAILED;
  Local* chosen = nullptr;
  uint32_t chosenId = 0;
  if (*to != 0) {
    auto it = locals_.find(*to);
    if (it == locals_.end()) return HAL_NET_RECEIVE_FAILED;
    chosen = &it->second;
    chosenId = *to;
  } else {
    for (auto& [id, local] : locals_) {
      if (!local.queue.empty() && (chosen == nullptr || local.queue.front().seq < chosen->queue.front().seq)) {
        chosen = &local;
        chosenId = id;
      }
    }
  }
  if (chosen == nullptr || chosen->queue.empty()) return HAL_NET_NO_MESSAGE;
  Queued& q = chosen->queue.front();
  uint32_t needed = static_cast<uint32_t>(q.bytes.size());
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return HAL_NET_BUFFER_TOO_SMALL;
  }
  std::memcpy(buffer, q.bytes.data(), needed);
  *size = needed;
  *from = q.from;
  *to = chosenId;
  if (arrivalMs != nullptr) *arrivalMs = q.arrivalMs;
  chosen->queue.pop_front();
  return HAL_NET_RECEIVED;
}

}  // namespace halnet
