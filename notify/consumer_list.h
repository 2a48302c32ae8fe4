#pragma once
// Consumer list: the observer list a model object (its source) owns so that other objects are
// told when it changes.
//
// A consumer registers a callback at one of four priorities. The owner calls SendMessageW after
// every change: consumers at the immediate priority are called at once, on the caller's thread;
// for each deferred priority that has consumers the list is only marked pending, and the host
// drains each deferred priority with the static DeliverMessageToConsumer, from any thread and at
// any moment. Several changes before a drain give one delivery.
//
// Threads: any thread may register, unregister, send and drain, also concurrently, and no lock
// is held while a callback runs, so a callback may register, unregister any consumer, send, or
// call DeferDelete on the list calling it. A consumer unregistered during a pass is not called
// by that pass (nor by any other running pass) once Unregister has returned; one registered
// during a pass is not called by it.
//
// Lifetime: the destructor takes the list out of the process-wide asynchronous lists and waits
// until drains that have already picked this list on other threads are done with it; a drain
// that has not yet begun delivering to it then skips it. A list that is delivering on the
// destroying thread must not be destroyed directly: a callback uses DeferDelete instead.
#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>

#include "platform/collections.h"
#include "platform/export.h"
#include "platform/object.h"
#include "platform/types.h"

class QUARLEN_API CConsumerList : public CObject {
  DECLARE_DYNAMIC(CConsumerList)

 public:
  enum priority : std::int32_t {
    priorityDeferred0 = 0,  // drained by DeliverMessageToConsumer(0)
    priorityDeferred1 = 1,  // drained by DeliverMessageToConsumer(1)
    priorityDeferred2 = 2,  // drained by DeliverMessageToConsumer(2)
    priorityImmediate = 3,  // called inside SendMessageW
  };
  static constexpr int kPriorities = 4;

  // Receives the list's source, the consumer's own object and the list's message id.
  using callback = void (*)(void* source, CObject* object, unsigned long msgId);

  // One registration.
  struct consumer {
    CObject* object = nullptr;  // handed back to the callback; may be null
    callback function = nullptr;
  };

  CConsumerList();
  CConsumerList(void* source, unsigned long msgId);
  CConsumerList(const CConsumerList&) = delete;
  ~CConsumerList() override;

  // Copies the source, the message id, the registrations in order and the pending flags (not
  // the lock, nor the delivering or delete-deferred state). The list is entered in the
  // asynchronous lists of the deferred priorities at which it then has consumers, so that its
  // pending messages are drained.
  CConsumerList& operator=(const CConsumerList& other);

  void Init(void* source, unsigned long msgId);
  void SetSource(void* source);
  void* GetSource() const;
  unsigned long GetMsgId() const;

  // Adds a consumer at priority p (most recent first) and returns its handle. A pair (object,
  // callback) already registered at any priority keeps its registration and returns its handle.
  // A null callback or an unknown priority registers nothing and returns null.
  POSITION Register(CObject* object, callback function, priority p);
  // Removes a registration; an unknown handle is ignored.
  void Unregister(POSITION handle);

  // Signals a change: calls the immediate consumers, marks the deferred priorities that have
  // consumers pending. A callback that throws loses its registration; nothing propagates.
  void SendMessageW();
  // Delivers this list's pending message at deferred priority p, if any.
  void DeliverMessage(priority p);
  // Delivers the pending messages at deferred priority p of every list.
  static void DeliverMessageToConsumer(priority p);

  int HasMessageToDeliver(priority p) const;
  // Consumers at priority p (0 for an unknown priority), and over all priorities.
  unsigned long GetClientQty(priority p) const;
  unsigned long GetClientQty() const;

  // The process-wide list of the consumer lists that have (or had: null entries) consumers at
  // deferred priority p; null for another priority. Its contents change under an internal lock
  // whenever any thread registers or drains: read it only while nothing else does.
  static CObList* GetAsyncConsumerList(priority p);

  // Deletes the list now, or, from inside one of its callbacks, once the running passes end.
  void DeferDelete();

 private:
  struct Node {
    consumer entry;
    bool removed = false;  // unregistered while a pass was running; erased when passes end
  };
  using Lock = std::unique_lock<std::recursive_mutex>;

  // Runs one pass over list p. Expects the lock held; releases it around each callback.
  void Walk(int p, Lock& lock);
  // Ends a pass; true when the list is to be deleted by the caller (after unlocking).
  bool EndPass();
  // Unregisters one live node under the lock.
  void Remove(int p, std::list<Node>::iterator it);
  // Erases every node that was unregistered during passes.
  void Sweep();

  void* m_source = nullptr;
  unsigned long m_msgId = 0;
  mutable std::recursive_mutex m_lock;
  std::list<Node> m_consumers[kPriorities];
  std::atomic<unsigned long> m_liveCount[kPriorities] = {};
  std::atomic<int> m_pending[kPriorities] = {};
  int m_passes = 0;               // passes running; non-zero while delivering
  bool m_deleteDeferred = false;  // DeferDelete called while delivering
  bool m_dying = false;           // being deleted: no new pass starts
};
