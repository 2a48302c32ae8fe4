#include "notify/consumer_list.h"

#include <algorithm>
#include <condition_variable>
#include <thread>
#include <vector>

IMPLEMENT_DYNAMIC(CConsumerList, CObject)

namespace quarlen::detail {
namespace {

// The process-wide state: for each deferred priority, the consumer lists that have (or had)
// consumers there. Entries are never removed while another drain of the same priority runs,
// so a drain may keep its place in the list while it delivers with the lock released.
struct AsyncConsumerLists {
  // A drain that picked a list and may still deliver to it; the list's destructor waits for
  // the pins of other threads.
  struct Pin {
    const CConsumerList* list;
    std::thread::id thread;
  };

  std::mutex lock;
  std::condition_variable unpinned;
  CObList lists[CConsumerList::kPriorities];  // block size 10, the default
  int drains[CConsumerList::kPriorities] = {};
  std::vector<Pin> pins;

  bool IsPinnedElsewhere(const CConsumerList* list) const {
    const auto self = std::this_thread::get_id();
    return std::any_of(pins.begin(), pins.end(),
                       [&](const Pin& pin) { return pin.list == list && pin.thread != self; });
  }
};

AsyncConsumerLists* g_async = nullptr;  // constant-initialised: usable by any static's constructor
bool g_unloaded = false;

// Created when the library is loaded (or earlier, on first use by another static object) and
// destroyed when it is unloaded; lists that outlive it skip the process-wide bookkeeping.
AsyncConsumerLists* Async() {
  if (g_async == nullptr && !g_unloaded) g_async = new AsyncConsumerLists;
  return g_async;
}

struct AsyncConsumerListsLifetime {
  AsyncConsumerListsLifetime() { Async(); }
  ~AsyncConsumerListsLifetime() {
    delete g_async;
    g_async = nullptr;
    g_unloaded = true;
  }
} g_asyncLifetime;

bool IsDeferred(int p) { return p >= 0 && p < CConsumerList::priorityImmediate; }

// Enters list in asynchronous list p unless a live entry is already there.
void EnterAsync(CConsumerList* list, int p) {
  AsyncConsumerLists* async = Async();
  if (async == nullptr) return;
  std::lock_guard guard(async->lock);
  CObList& l = async->lists[p];
  for (POSITION pos = l.GetHeadPosition(); pos != nullptr;) {
    if (l.GetNext(pos) == list) return;
  }
  l.AddHead(list);
}

// Nulls the entries of list in the asynchronous lists of priority p, or of all priorities when
// p is negative; the next drain of that priority removes them.
// Nulls the entries of list in the asynchronous list of priority p, or of all priorities when
// p is negative; the next drain of that priority removes them. Expects the lock held.
void NullEntries(AsyncConsumerLists& async, const CConsumerList* list, int p) {
  for (int q = 0; q < CConsumerList::priorityImmediate; ++q) {
    if (p >= 0 && q != p) continue;
    CObList& l = async.lists[q];
    for (POSITION pos = l.GetHeadPosition(); pos != nullptr;) {
      POSITION at = pos;
      if (l.GetNext(pos) == list) l.SetAt(at, nullptr);
    }
  }
}

void ForgetAsync(const CConsumerList* list, int p) {
  AsyncConsumerLists* async = Async();
  if (async == nullptr) return;
  std::lock_guard guard(async->lock);
  NullEntries(*async, list, p);
}

}  // namespace
}  // namespace quarlen::detail

using quarlen::detail::Async;
using quarlen::detail::AsyncConsumerLists;
using quarlen::detail::IsDeferred;

CConsumerList::CConsumerList() = default;

CConsumerList::CConsumerList(void* source, unsigned long msgId)
    : m_source(source), m_msgId(msgId) {}

CConsumerList::~CConsumerList() {
  {
    Lock lock(m_lock);
    m_dying = true;
  }
  AsyncConsumerLists* async = Async();
  if (async == nullptr) return;
  std::unique_lock lock(async->lock);
  quarlen::detail::NullEntries(*async, this, -1);
  // A drain on another thread that picked this list before it was taken out either delivers
  // to it now or will see it dying; wait until it is done with it.
  async->unpinned.wait(lock, [&] { return !async->IsPinnedElsewhere(this); });
}

CConsumerList& CConsumerList::operator=(const CConsumerList& other) {
  if (&other == this) return *this;
  // Copy the other list under its lock, then apply under ours: the two locks are never held
  // together, so assignments in both directions on two threads cannot deadlock.
  void* source;
  unsigned long msgId;
  std::vector<consumer> copies[kPriorities];
  int pending[kPriorities];
  {
    Lock lock(other.m_lock);
    source = other.m_source;
    msgId = other.m_msgId;
    for (int p = 0; p < kPriorities; ++p) {
      for (const Node& node : other.m_consumers[p]) {
        if (!node.removed) copies[p].push_back(node.entry);
      }
      pending[p] = other.m_pending[p].load();
    }
  }
  Lock lock(m_lock);
  m_source = source;
  m_msgId = msgId;
  for (int p = 0; p < kPriorities; ++p) {
    for (auto it = m_consumers[p].begin(); it != m_consumers[p].end();) {
      auto node = it++;  // Remove may erase it
      if (!node->removed) Remove(p, node);
    }
    for (const consumer& c : copies[p]) m_consumers[p].push_back(Node{c});
    m_liveCount[p] = copies[p].size();
    m_pending[p] = pending[p];
    if (IsDeferred(p) && !copies[p].empty()) quarlen::detail::EnterAsync(this, p);
  }
  return *this;
}

void CConsumerList::Init(void* source, unsigned long msgId) {
  Lock lock(m_lock);
  m_source = source;
  m_msgId = msgId;
}

void CConsumerList::SetSource(void* source) {
  Lock lock(m_lock);
  m_source = source;
}

void* CConsumerList::GetSource() const {
  Lock lock(m_lock);
  return m_source;
}

unsigned long CConsumerList::GetMsgId() const {
  Lock lock(m_lock);
  return m_msgId;
}

POSITION CConsumerList::Register(CObject* object, callback function, priority p) {
  if (function == nullptr || p < 0 || p >= kPriorities) return nullptr;
  Lock lock(m_lock);
  for (auto& list : m_consumers) {
    for (Node& node : list) {
      if (!node.removed && node.entry.object == object && node.entry.function == function) {
        return reinterpret_cast<POSITION>(&node);
      }
    }
  }
  if (IsDeferred(p) && m_liveCount[p] == 0) quarlen::detail::EnterAsync(this, p);
  m_consumers[p].push_front(Node{{object, function}});
  ++m_liveCount[p];
  return reinterpret_cast<POSITION>(&m_consumers[p].front());
}

void CConsumerList::Unregister(POSITION handle) {
  if (handle == nullptr) return;
  Lock lock(m_lock);
  for (int p = 0; p < kPriorities; ++p) {
    for (auto it = m_consumers[p].begin(); it != m_consumers[p].end(); ++it) {
      if (reinterpret_cast<POSITION>(&*it) == handle) {
        if (!it->removed) Remove(p, it);
        return;
      }
    }
  }
}

void CConsumerList::Remove(int p, std::list<Node>::iterator it) {
  // While a pass runs, the node stays linked (a pass may be standing on it, or about to step
  // onto it) and is only marked; passes skip marked nodes and the last pass erases them.
  if (m_passes > 0) {
    it->removed = true;
  } else {
    m_consumers[p].erase(it);
  }
  if (--m_liveCount[p] == 0 && IsDeferred(p)) quarlen::detail::ForgetAsync(this, p);
}

void CConsumerList::Sweep() {
  for (auto& list : m_consumers) list.remove_if([](const Node& node) { return node.removed; });
}

void CConsumerList::Walk(int p, Lock& lock) {
  auto& list = m_consumers[p];
  // Nodes are not erased while a pass runs, and new ones go in front of the head, so the
  // iterator stays valid while the lock is released around the callback.
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->removed) continue;
    const consumer c = it->entry;
    void* const source = m_source;
    const unsigned long msgId = m_msgId;
    bool threw = false;
    lock.unlock();
    try {
      c.function(source, c.object, msgId);
    } catch (...) {
      threw = true;
    }
    lock.lock();
    if (threw && !it->removed) Remove(p, it);
  }
}

bool CConsumerList::EndPass() {
  if (--m_passes > 0) return false;
  Sweep();
  if (!m_deleteDeferred || m_dying) return false;
  m_dying = true;
  return true;
}

void CConsumerList::SendMessageW() {
  Lock lock(m_lock);
  if (m_dying) return;
  ++m_passes;
  Walk(priorityImmediate, lock);
  for (int p = 0; p < priorityImmediate; ++p) {
    if (m_liveCount[p] > 0) m_pending[p] = 1;
  }
  const bool destroy = EndPass();
  lock.unlock();
  if (destroy) delete this;
}

void CConsumerList::DeliverMessage(priority p) {
  if (!IsDeferred(p) || m_pending[p] == 0) return;
  Lock lock(m_lock);
  // Another drain may have taken the message meanwhile.
  if (m_dying || m_pending[p].exchange(0) == 0) return;
  ++m_passes;
  Walk(p, lock);
  const bool destroy = EndPass();
  lock.unlock();
  if (destroy) delete this;
}

void CConsumerList::DeliverMessageToConsumer(priority p) {
  if (!IsDeferred(p)) return;
  AsyncConsumerLists* async = Async();
  if (async == nullptr) return;
  std::unique_lock lock(async->lock);
  CObList& l = async->lists[p];
  ++async->drains[p];
  for (POSITION pos = l.GetHeadPosition(); pos != nullptr;) {
    POSITION at = pos;
    auto* list = static_cast<CConsumerList*>(l.GetNext(pos));
    if (list == nullptr) {
      // Stale entries are removed only by a drain that runs alone, so no other drain can be
      // standing on the removed entry.
      if (async->drains[p] == 1) l.RemoveAt(at);
      continue;
    }
    async->pins.push_back({list, std::this_thread::get_id()});
    lock.unlock();
    list->DeliverMessage(p);  // may delete the list (DeferDelete); it is not touched after
    lock.lock();
    const auto self = std::this_thread::get_id();
    auto pin = std::find_if(async->pins.begin(), async->pins.end(),
                            [&](const auto& q) { return q.list == list && q.thread == self; });
    async->pins.erase(pin);
    async->unpinned.notify_all();
    // Our entry is still linked (see above); continue after it, whatever happened meanwhile.
    pos = at;
    l.GetNext(pos);
  }
  --async->drains[p];
}

int CConsumerList::HasMessageToDeliver(priority p) const {
  if (p < 0 || p >= kPriorities) return 0;
  return m_pending[p];
}

unsigned long CConsumerList::GetClientQty(priority p) const {
  if (p < 0 || p >= kPriorities) return 0;
  return m_liveCount[p].load(std::memory_order_relaxed);
}

unsigned long CConsumerList::GetClientQty() const {
  Lock lock(m_lock);
  unsigned long total = 0;
  for (const auto& count : m_liveCount) total += count;
  return total;
}

CObList* CConsumerList::GetAsyncConsumerList(priority p) {
  if (!IsDeferred(p)) return nullptr;
  AsyncConsumerLists* async = Async();
  return async != nullptr ? &async->lists[p] : nullptr;
}

void CConsumerList::DeferDelete() {
  Lock lock(m_lock);
  if (m_dying) return;
  if (m_passes > 0) {
    m_deleteDeferred = true;
    return;
  }
  m_dying = true;
  lock.unlock();
  delete this;
}
