// The local players: a receive thread each, the queue they fill and the main
// thread empties, and the player list.
#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <system_error>
#include <vector>

#include "net/dp.h"
#include "net/dp_internal.h"
#include "platform/mem.h"

namespace {

struct Arrival {
  uint32_t to;
  uint32_t from;
  uint32_t arrivalMs;
  std::vector<uint8_t> bytes;
};

// The players and the queue. Made on the first player, after hal/net's own
// statics, so that at the end of the process the threads stop before the
// instances they read are closed.
struct Players {
  std::vector<std::unique_ptr<DpPlayerThread>> threads;  // main thread only
  std::mutex mu;                                          // the queue and each block's queued, heldBack
  std::deque<Arrival> queue;
  bool dispatching = false;
  ~Players();
};

Players& ThePlayers() {
  static Players players;
  return players;
}

void Raise(void* context) {
  auto* block = static_cast<DpPlayerThread*>(context);
  {
    std::lock_guard<std::mutex> lock(block->mu);
    block->raised = true;
  }
  block->wake.notify_one();
}

void Stop(DpPlayerThread* block) {
  {
    std::lock_guard<std::mutex> lock(block->mu);
    block->stop = true;
  }
  block->wake.notify_one();
  if (block->thread.joinable()) block->thread.join();
}

Players::~Players() {
  for (auto& block : threads) Stop(block.get());
}

DpPlayerThread* Find(uint32_t id) {
  for (auto& block : ThePlayers().threads)
    if (block->playerId == id) return block.get();
  return nullptr;
}

// Once its thread has ended and hal/net signals it no more.
void Forget(DpPlayerThread* block) {
  Players& p = ThePlayers();
  {
    std::lock_guard<std::mutex> lock(p.mu);
    std::erase_if(p.queue, [block](const Arrival& a) { return a.to == block->playerId; });
  }
  std::erase_if(p.threads, [block](const std::unique_ptr<DpPlayerThread>& b) { return b.get() == block; });
}

// Threads that ended by themselves: their player went with the session.
void Reap() {
  std::vector<DpPlayerThread*> ended;
  for (auto& block : ThePlayers().threads)
    if (block->ended) ended.push_back(block.get());
  for (DpPlayerThread* block : ended) {
    block->thread.join();
    Forget(block);
  }
}

// Takes every message waiting for the player. False once the player is gone:
// hal/net tells no player of its own destruction, its receive fails instead.
bool ReceiveAll(DpPlayerThread* block, std::vector<uint8_t>* buffer) {
  Players& p = ThePlayers();
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(p.mu);
      if (block->queued >= DP_QUEUE_LIMIT) {
        block->heldBack = true;  // the main thread signals again once it has taken them
        return true;
      }
    }
    uint32_t from = 0, to = block->playerId, arrivalMs = 0;
    auto size = static_cast<uint32_t>(buffer->size());
    HalNetReceiveResult result = HalNetReceive(block->net, &from, &to, buffer->data(), &size, &arrivalMs);
    switch (result) {
      case HAL_NET_RECEIVED:
        break;
      case HAL_NET_NO_MESSAGE:
        return true;
      case HAL_NET_BUFFER_TOO_SMALL:
        // hal/net holds no message larger than HAL_NET_MAX_MESSAGE.
        if (size <= buffer->size() || size > HAL_NET_MAX_MESSAGE) {
          DpFail(DP_STATUS_REFUSED);
          return true;
        }
        buffer->resize(size);
        continue;
      case HAL_NET_RECEIVE_FAILED:
        return false;
      default:
        DpFail(DP_STATUS_UNKNOWN);
        return true;
    }
    std::vector<uint8_t> bytes(buffer->begin(), buffer->begin() + size);
    std::lock_guard<std::mutex> lock(p.mu);
    p.queue.push_back(Arrival{to, from, arrivalMs, std::move(bytes)});
    ++block->queued;
  }
}

void DpReceiveThread(DpPlayerThread* block) {
  std::vector<uint8_t> buffer(DP_FIRST_BUFFER);
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(block->mu);
      block->wake.wait(lock, [block] { return block->raised || block->stop; });
      if (block->stop) break;
      block->raised = false;
    }
    if (!ReceiveAll(block, &buffer)) break;
  }
  --gDpLayer.threadCount;
  block->ended = true;
}

}  // namespace

bool DpCreatePlayer(uint32_t* id, const char* name, DpSystemCallback onSystem, DpPlayerCallback onPlayer,
                    void* context) {
  if (id == nullptr || name == nullptr || gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  Reap();
  auto block = std::make_unique<DpPlayerThread>();
  block->net = gDpLayer.object;
  block->onSystem = onSystem;
  block->onPlayer = onPlayer;
  block->context = context;
  uint32_t made = 0;
  if (!HalNetCreatePlayer(gDpLayer.object, name, HalNetSignal{Raise, block.get()}, &made))
    return DpFail(DP_STATUS_REFUSED);
  block->playerId = made;
  ++gDpLayer.threadCount;
  try {
    block->thread = std::thread(DpReceiveThread, block.get());
  } catch (const std::system_error&) {
    --gDpLayer.threadCount;
    HalNetDestroyPlayer(gDpLayer.object, made);
    return DpFail(DP_STATUS_REFUSED);
  }
  ThePlayers().threads.push_back(std::move(block));
  *id = made;
  return true;
}

bool DpDestroyPlayer(uint32_t id) {
  if (gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  DpPlayerThread* block = Find(id);
  if (block != nullptr) Stop(block);
  bool destroyed = HalNetDestroyPlayer(gDpLayer.object, id);
  if (block != nullptr) Forget(block);
  Reap();
  return destroyed || DpFail(DP_STATUS_REFUSED);
}

bool DpEnumPlayers(DpPlayerEntry** list, uint32_t* count) {
  if (list == nullptr || count == nullptr || gDpLayer.object == nullptr) return DpFail(DP_STATUS_REFUSED);
  std::vector<HalNetPlayerInfo> players;
  if (!HalNetEnumPlayers(gDpLayer.object, &players)) return DpFail(DP_STATUS_REFUSED);
  auto* entries = static_cast<DpPlayerEntry*>(MemAlloc(sizeof(DpPlayerEntry) * DP_MAX_PLAYERS));
  if (entries == nullptr) return DpFail(DP_STATUS_REFUSED);
  uint32_t n = 0;
  for (const HalNetPlayerInfo& player : players) {
    if (n == DP_MAX_PLAYERS) break;
    size_t length = std::min<size_t>(strnlen(player.name.c_str(), player.name.size()), HAL_NET_MAX_PLAYER_NAME);
    auto* name = static_cast<char*>(MemAlloc(static_cast<uint32_t>(length + 1)));
    if (name == nullptr) {
      while (n > 0) MemFree(entries[--n].name);
      MemFree(entries);
      return DpFail(DP_STATUS_REFUSED);
    }
    std::memcpy(name, player.name.data(), length);
    name[length] = 0;
    entries[n++] = DpPlayerEntry{name, player.id};
  }
  *list = entries;
  *count = n;
  return true;
}

void DpDispatchMessages() {
  Players& p = ThePlayers();
  if (p.dispatching) return;
  p.dispatching = true;
  Reap();
  std::deque<Arrival> batch;
  std::vector<DpPlayerThread*> resume;
  {
    std::lock_guard<std::mutex> lock(p.mu);
    batch.swap(p.queue);
    for (auto& block : p.threads) {
      block->queued = 0;
      if (block->heldBack) resume.push_back(block.get());
      block->heldBack = false;
    }
  }
  for (DpPlayerThread* block : resume) Raise(block);
  for (const Arrival& a : batch) {
    // A callback may have destroyed the player, or shut the layer down.
    DpPlayerThread* block = Find(a.to);
    if (block == nullptr || block->ended) continue;
    const auto size = static_cast<uint32_t>(a.bytes.size());
    if (a.from == 0) {
      if (block->onSystem != nullptr) block->onSystem(a.to, a.bytes.data(), size, a.arrivalMs, block->context);
    } else if (block->onPlayer != nullptr) {
      block->onPlayer(a.to, a.bytes.data(), size, a.from, a.arrivalMs, block->context);
    }
  }
  p.dispatching = false;
}

void DpReleaseObject() {
  Players& p = ThePlayers();
  for (auto& block : p.threads) Stop(block.get());
  HalNetDestroy(gDpLayer.object);
  gDpLayer.object = nullptr;
  gDpLayer.sessionOpen = false;
  p.threads.clear();
  std::lock_guard<std::mutex> lock(p.mu);
  p.queue.clear();
}

uint32_t DpQueuedForTest() {
  Players& p = ThePlayers();
  std::lock_guard<std::mutex> lock(p.mu);
  return static_cast<uint32_t>(p.queue.size());
}
