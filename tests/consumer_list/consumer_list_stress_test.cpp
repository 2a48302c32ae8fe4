// Consumer lists under concurrency: several threads drain the same deferred priority while
// others register, unregister, send, and create and destroy lists. Run under ThreadSanitizer
// (and AddressSanitizer) this proves that no drain touches a released registration or a
// destroyed list. The tests wait for nothing but their own threads.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "notify/consumer_list.h"

namespace {

using P = CConsumerList::priority;

constexpr int kRounds = 3000;

std::atomic<long> g_calls{0};
void Count(void*, CObject*, unsigned long) { g_calls.fetch_add(1, std::memory_order_relaxed); }
void CountToo(void*, CObject*, unsigned long) { g_calls.fetch_add(1, std::memory_order_relaxed); }

struct Token : CObject {};

// Runs body(i) on n threads at once and joins them.
template <class F>
void RunThreads(int n, F body) {
  std::vector<std::thread> threads;
  std::atomic<int> ready{0};
  for (int i = 0; i < n; ++i) {
    threads.emplace_back([&, i] {
      ready.fetch_add(1);
      while (ready.load() < n) std::this_thread::yield();
      body(i);
    });
  }
  for (auto& t : threads) t.join();
}

TEST(ConsumerListStress, ConcurrentDrainsWhileListsComeAndGo) {
  Token objects[4];
  std::atomic<bool> stop{false};
  std::vector<std::thread> drainers;
  for (int i = 0; i < 3; ++i) {
    drainers.emplace_back([&] {
      while (!stop.load()) CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
    });
  }
  // Producers: each creates lists, registers, signals and destroys them, so drains keep
  // meeting lists that are being destroyed and entries that are being nulled.
  RunThreads(2, [&](int) {
    for (int round = 0; round < kRounds; ++round) {
      auto list = std::make_unique<CConsumerList>();
      POSITION h = list->Register(&objects[round % 4], &Count, P::priorityDeferred0);
      list->Register(nullptr, &CountToo, P::priorityDeferred0);
      list->SendMessageW();
      if (round % 3 == 0) list->Unregister(h);
      if (round % 5 == 0) CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
      list->SendMessageW();
    }
  });
  stop = true;
  for (auto& t : drainers) t.join();
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
  EXPECT_GT(g_calls.load(), 0);
}

// Consumers of one shared list unregister each other while several threads deliver.
TEST(ConsumerListStress, UnregisterDuringConcurrentPasses) {
  CConsumerList list;
  constexpr int kConsumers = 8;
  Token objects[kConsumers];
  std::atomic<POSITION> handles[kConsumers];
  for (int i = 0; i < kConsumers; ++i) {
    handles[i] = list.Register(&objects[i], &Count, P::priorityImmediate);
  }
  RunThreads(4, [&](int t) {
    for (int round = 0; round < kRounds; ++round) {
      if (t < 2) {
        list.SendMessageW();
      } else {
        const int i = 2 * (round % (kConsumers / 2)) + (t - 2);  // even or odd: its own
        list.Unregister(handles[i].load());
        handles[i] = list.Register(&objects[i], &Count, P::priorityImmediate);
        list.Register(&objects[i], &CountToo, P::priorityDeferred1);
        list.SendMessageW();
        list.DeliverMessage(P::priorityDeferred1);
      }
    }
  });
  EXPECT_EQ(list.GetClientQty(P::priorityImmediate), static_cast<unsigned long>(kConsumers));
}

// Lists deleted from inside their own callbacks by DeferDelete while other threads drain.
TEST(ConsumerListStress, DeferDeleteDuringConcurrentDrains) {
  std::atomic<bool> stop{false};
  std::vector<std::thread> drainers;
  for (int i = 0; i < 2; ++i) {
    drainers.emplace_back([&] {
      while (!stop.load()) CConsumerList::DeliverMessageToConsumer(P::priorityDeferred2);
    });
  }
  std::atomic<long> deleted{0};
  struct SelfDeleting : CObject {
    CConsumerList* list;
    std::atomic<long>* deleted;
    std::atomic<bool> done{false};
  };
  RunThreads(2, [&](int) {
    for (int round = 0; round < kRounds / 3; ++round) {
      auto* list = new CConsumerList;
      SelfDeleting consumer;
      consumer.list = list;
      consumer.deleted = &deleted;
      list->Register(
          &consumer,
          [](void*, CObject* object, unsigned long) {
            auto* self = static_cast<SelfDeleting*>(object);
            // The pending message is coalesced: one delivery, whichever thread drains it.
            self->list->DeferDelete();
            self->deleted->fetch_add(1);
            self->done.store(true);  // last touch: the producer may destroy the consumer now
          },
          P::priorityDeferred2);
      list->SendMessageW();
      // Wait until one drain has delivered (and so deleted the list); help draining.
      while (!consumer.done.load()) CConsumerList::DeliverMessageToConsumer(P::priorityDeferred2);
    }
  });
  stop = true;
  for (auto& t : drainers) t.join();
  EXPECT_EQ(deleted.load(), 2 * (kRounds / 3));
}

}  // namespace
