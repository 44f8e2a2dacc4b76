#include "hal/net/net_wire.h"

#include <cstring>

#include "hal/net/net.h"

namespace halnet {
namespace {

class Writer {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) { for (int i = 0; i < 2; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i))); }
  void U32(uint32_t v) { for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i))); }
  void Bytes(const uint8_t* p, size_t n) { bytes_.insert(bytes_.end(), p, p + n); }
  // Names go as a length byte and the bytes, never more than `limit`.
  void Name(const std::string& s, size_t limit) {
    std::string cut = WireCutName(s, limit);
    U8(static_cast<uint8_t>(cut.size()));
    Bytes(reinterpret_cast<const uint8_t*>(cut.data()), cut.size());
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool U8(uint8_t* v) {
    if (n_ < 1) return false;
    *v = p_[0];
    Skip(1);
    return true;
  }
  bool U16(uint16_t* v) {
    if (n_ < 2) return false;
    *v = static_cast<uint16_t>(p_[0] | (p_[1] << 8));
    Skip(2);
    return true;
  }
  bool U32(uint32_t* v) {
    if (n_ < 4) return false;
    *v = static_cast<uint32_t>(p_[0]) | (static_cast<uint32_t>(p_[1]) << 8) | (static_cast<uint32_t>(p_[2]) << 16) |
         (static_cast<uint32_t>(p_[3]) << 24);
    Skip(4);
    return true;
  }
  bool Bytes(uint8_t* out, size_t n) {
    if (n_ < n) return false;
    std::memcpy(out, p_, n);
    Skip(n);
    return true;
  }
  bool NonZero(uint32_t* v) { return U32(v) && *v != 0; }
  bool Name(std::string* s, size_t limit) {
    uint8_t len = 0;
    if (!U8(&len) || n_ < len) return false;
    *s = WireCutName(std::string(reinterpret_cast<const char*>(p_), len), limit);
    Skip(len);
    return true;
  }
  size_t Remaining() const { return n_; }
  bool Rest(std::vector<uint8_t>* out) {
    out->assign(p_, p_ + n_);
    Skip(n_);
    return true;
  }
  bool Done() const { return n_ == 0; }

 private:
  void Skip(size_t k) {
    p_ += k;
    n_ -= k;
  }
  const uint8_t* p_;
  size_t n_;
};

void PutDesc(Writer& w, const WireDesc& d) {
  w.Bytes(d.instance, 16);
  w.U32(d.flags);
  w.U32(d.maxPlayers);
  w.U32(d.currentPlayers);
  w.Name(d.name, HAL_NET_MAX_SESSION_NAME);
}

bool GetDesc(Reader& r, WireDesc* d) {
  return r.Bytes(d->instance, 16) && r.U32(&d->flags) && r.U32(&d->maxPlayers) && d->maxPlayers >= 1 &&
         d->maxPlayers <= HAL_NET_MAX_PLAYERS && r.U32(&d->currentPlayers) && d->currentPlayers <= d->maxPlayers &&
         r.Name(&d->name, HAL_NET_MAX_SESSION_NAME);
}

bool ParseBody(Reader& r, WireMsg* m) {
  switch (m->kind) {
    case WIRE_QUERY:
      return r.Bytes(m->application, 16);
    case WIRE_ANSWER:
      return r.Bytes(m->application, 16) && GetDesc(r, &m->desc);
    case WIRE_JOIN:
      return r.Bytes(m->application, 16) && r.Bytes(m->instance, 16) && r.U16(&m->port) && m->port != 0;
    case WIRE_WELCOME: {
      uint8_t members = 0, players = 0;
      if (!r.NonZero(&m->member) || !r.NonZero(&m->hostMember) || !r.NonZero(&m->nextPlayer) ||
          !GetDesc(r, &m->desc) || !r.U8(&members) || members > HAL_NET_MAX_PLAYERS)
        return false;
      for (uint8_t i = 0; i < members; ++i) {
        WireMember x;
        if (!r.NonZero(&x.id) || !r.U32(&x.ip) || !r.U16(&x.port) || x.port == 0) return false;
        m->members.push_back(x);
      }
      if (!r.U8(&players) || players > HAL_NET_MAX_PLAYERS) return false;
      for (uint8_t i = 0; i < players; ++i) {
        WirePlayer p;
        if (!r.NonZero(&p.id) || p.id >= m->nextPlayer || !r.NonZero(&p.owner) ||
            !r.Name(&p.name, HAL_NET_MAX_PLAYER_NAME))
          return false;
        m->players.push_back(std::move(p));
      }
      return true;
    }
    case WIRE_REFUSE:
      return true;
    case WIRE_HELLO:
      return r.Bytes(m->instance, 16) && r.NonZero(&m->member) && r.U16(&m->port) && m->port != 0;
    case WIRE_CREATE:
      return r.U32(&m->request) && r.Name(&m->name, HAL_NET_MAX_PLAYER_NAME);
    case WIRE_ADDED:
      return r.NonZero(&m->player) && r.NonZero(&m->owner) && r.U32(&m->request) &&
             r.Name(&m->name, HAL_NET_MAX_PLAYER_NAME);
    case WIRE_PLAYER_REFUSED:
      return r.U32(&m->request);
    case WIRE_DESTROY:
    case WIRE_REMOVED:
      return r.NonZero(&m->player);
    case WIRE_MEMBER_GONE:
      return r.NonZero(&m->member);
    case WIRE_DESC:
      return GetDesc(r, &m->desc);
    case WIRE_GAME:
      // The size is known before anything is copied.
      return r.NonZero(&m->player) && r.U32(&m->to) && !r.Done() && r.Remaining() <= HAL_NET_MAX_MESSAGE &&
             r.Rest(&m->payload);
    default:
      return false;
  }
}

}  // namespace

std::string WireCutName(const std::string& name, size_t limit) {
  std::string cut = name.substr(0, std::min(name.find('\0'), limit));
  return cut;
}

bool WireLooksOurs(const uint8_t* data, size_t size) {
  return size >= 4 && (data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24)) ==
                          WIRE_MAGIC;
}

std::vector<uint8_t> WireEncode(const WireMsg& m) {
  Writer w;
  w.U32(WIRE_MAGIC);
  w.U8(WIRE_VERSION);
  w.U8(m.kind);
  switch (m.kind) {
    case WIRE_QUERY:
      w.Bytes(m.application, 16);
      break;
    case WIRE_ANSWER:
      w.Bytes(m.application, 16);
      PutDesc(w, m.desc);
      break;
    case WIRE_JOIN:
      w.Bytes(m.application, 16);
      w.Bytes(m.instance, 16);
      w.U16(m.port);
      break;
    case WIRE_WELCOME:
      w.U32(m.member);
      w.U32(m.hostMember);
      w.U32(m.nextPlayer);
      PutDesc(w, m.desc);
      w.U8(static_cast<uint8_t>(m.members.size()));
      for (const WireMember& x : m.members) {
        w.U32(x.id);
        w.U32(x.ip);
        w.U16(x.port);
      }
      w.U8(static_cast<uint8_t>(m.players.size()));
      for (const WirePlayer& p : m.players) {
        w.U32(p.id);
        w.U32(p.owner);
        w.Name(p.name, HAL_NET_MAX_PLAYER_NAME);
      }
      break;
    case WIRE_REFUSE:
      break;
    case WIRE_HELLO:
      w.Bytes(m.instance, 16);
      w.U32(m.member);
      w.U16(m.port);
      break;
    case WIRE_CREATE:
      w.U32(m.request);
      w.Name(m.name, HAL_NET_MAX_PLAYER_NAME);
      break;
    case WIRE_ADDED:
      w.U32(m.player);
      w.U32(m.owner);
      w.U32(m.request);
      w.Name(m.name, HAL_NET_MAX_PLAYER_NAME);
      break;
    case WIRE_PLAYER_REFUSED:
      w.U32(m.request);
      break;
    case WIRE_DESTROY:
    case WIRE_REMOVED:
      w.U32(m.player);
      break;
    case WIRE_MEMBER_GONE:
      w.U32(m.member);
      break;
    case WIRE_DESC:
      PutDesc(w, m.desc);
      break;
    case WIRE_GAME:
      w.U32(m.player);
      w.U32(m.to);
      w.Bytes(m.payload.data(), m.payload.size());
      break;
    default:
      break;
  }
  return w.Take();
}

bool WireParse(const uint8_t* data, size_t size, WireMsg* out) {
  if (data == nullptr || size < WIRE_HEADER || size > WIRE_MAX_DATAGRAM || !WireLooksOurs(data, size)) return false;
  if (data[4] != WIRE_VERSION || data[5] == 0 || data[5] >= WIRE_KIND_END) return false;
  *out = WireMsg{};
  out->kind = static_cast<WireKind>(data[5]);
  Reader r(data + WIRE_HEADER, size - WIRE_HEADER);
  return ParseBody(r, out) && r.Done();
}

}  // namespace halnet
