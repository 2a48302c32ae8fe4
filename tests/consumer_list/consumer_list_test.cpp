// Consumer lists: delivery order, deferral, failing consumers, unregistration and deletion
// during a pass, and the process-wide asynchronous lists.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "notify/consumer_list.h"

namespace {

using P = CConsumerList::priority;

// A consumer that records its calls in a shared log and may act from inside its callback.
struct Consumer : CObject {
  std::string name;
  std::vector<std::string>* log = nullptr;
  std::function<void()> action;  // run inside the callback, after logging
  void* lastSource = nullptr;
  unsigned long lastId = 0;

  Consumer(std::string n, std::vector<std::string>* l) : name(std::move(n)), log(l) {}

  static void OnChange(void* source, CObject* object, unsigned long id) {
    auto* self = static_cast<Consumer*>(object);
    self->lastSource = source;
    self->lastId = id;
    if (self->log) self->log->push_back(self->name);
    if (self->action) self->action();
  }
};

void OtherCallback(void*, CObject*, unsigned long) {}
void Throwing(void*, CObject*, unsigned long) { throw std::runtime_error("consumer failed"); }

// Drains every deferred priority so that no test leaves pending entries to the next.
class ConsumerList : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int p = 0; p < 3; ++p) CConsumerList::DeliverMessageToConsumer(static_cast<P>(p));
  }
  std::vector<std::string> log;
};

TEST_F(ConsumerList, Defaults) {
  CConsumerList list;
  EXPECT_EQ(list.GetSource(), nullptr);
  EXPECT_EQ(list.GetMsgId(), 0u);
  EXPECT_EQ(list.GetClientQty(), 0u);
  EXPECT_STREQ(list.GetRuntimeClass()->m_lpszClassName, "CConsumerList");
  EXPECT_EQ(CRuntimeClass::CreateObject("CConsumerList"), nullptr);
  EXPECT_FALSE(list.IsSerializable());
  int source;
  CConsumerList other(&source, 7);
  EXPECT_EQ(other.GetSource(), &source);
  EXPECT_EQ(other.GetMsgId(), 7u);
  other.Init(nullptr, 3);
  EXPECT_EQ(other.GetMsgId(), 3u);
  other.SetSource(&source);
  EXPECT_EQ(other.GetSource(), &source);
}

TEST_F(ConsumerList, ImmediateConsumersAreCalledMostRecentFirst) {
  int source;
  CConsumerList list(&source, 42);
  Consumer a("A", &log), b("B", &log), c("C", &log);
  for (Consumer* x : {&a, &b, &c}) list.Register(x, &Consumer::OnChange, P::priorityImmediate);
  list.SendMessageW();
  EXPECT_EQ(log, (std::vector<std::string>{"C", "B", "A"}));
  EXPECT_EQ(a.lastSource, &source);
  EXPECT_EQ(a.lastId, 42u);
  EXPECT_EQ(list.HasMessageToDeliver(P::priorityImmediate), 0);
}

TEST_F(ConsumerList, NoConsumersNoPending) {
  CConsumerList list;
  list.SendMessageW();
  for (int p = 0; p < 4; ++p) EXPECT_EQ(list.HasMessageToDeliver(static_cast<P>(p)), 0);
}

TEST_F(ConsumerList, DuplicateRegistrationKeepsTheFirst) {
  CConsumerList list;
  Consumer a("A", &log);
  POSITION first = list.Register(&a, &Consumer::OnChange, P::priorityDeferred1);
  POSITION second = list.Register(&a, &Consumer::OnChange, P::priorityImmediate);
  EXPECT_EQ(first, second);
  EXPECT_EQ(list.GetClientQty(), 1u);
  EXPECT_EQ(list.GetClientQty(P::priorityDeferred1), 1u);
  EXPECT_EQ(list.GetClientQty(P::priorityImmediate), 0u);
  // Same object, another callback: a second registration.
  EXPECT_NE(list.Register(&a, &OtherCallback, P::priorityImmediate), first);
  EXPECT_EQ(list.GetClientQty(), 2u);
}

TEST_F(ConsumerList, InvalidRegistrationsAreIgnored) {
  CConsumerList list;
  Consumer a("A", &log);
  EXPECT_EQ(list.Register(&a, nullptr, P::priorityImmediate), nullptr);
  EXPECT_EQ(list.Register(&a, &Consumer::OnChange, static_cast<P>(4)), nullptr);
  EXPECT_EQ(list.Register(&a, &Consumer::OnChange, static_cast<P>(-1)), nullptr);
  EXPECT_EQ(list.GetClientQty(), 0u);
  EXPECT_EQ(list.GetClientQty(static_cast<P>(9)), 0u);
  EXPECT_EQ(list.HasMessageToDeliver(static_cast<P>(9)), 0);
  list.Unregister(nullptr);
  int notAHandle;
  list.Unregister(reinterpret_cast<POSITION>(&notAHandle));
  list.DeliverMessage(static_cast<P>(7));
  CConsumerList::DeliverMessageToConsumer(P::priorityImmediate);
  EXPECT_EQ(CConsumerList::GetAsyncConsumerList(P::priorityImmediate), nullptr);
}

TEST_F(ConsumerList, DeferredMessagesAreCoalescedUntilDrained) {
  CConsumerList list;
  Consumer a("A", &log), now("now", &log);
  list.Register(&a, &Consumer::OnChange, P::priorityDeferred2);
  list.Register(&now, &Consumer::OnChange, P::priorityImmediate);
  list.SendMessageW();
  list.SendMessageW();
  EXPECT_EQ(log, (std::vector<std::string>{"now", "now"}));
  EXPECT_EQ(list.HasMessageToDeliver(P::priorityDeferred2), 1);
  EXPECT_EQ(list.HasMessageToDeliver(P::priorityDeferred0), 0);
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred1);
  EXPECT_EQ(log.size(), 2u);
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred2);
  EXPECT_EQ(log, (std::vector<std::string>{"now", "now", "A"}));
  EXPECT_EQ(list.HasMessageToDeliver(P::priorityDeferred2), 0);
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred2);
  list.DeliverMessage(P::priorityDeferred2);  // not pending: nothing
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(ConsumerList, DeliverMessageDrainsOneList) {
  CConsumerList first, second;
  Consumer a("A", &log), b("B", &log);
  first.Register(&a, &Consumer::OnChange, P::priorityDeferred0);
  second.Register(&b, &Consumer::OnChange, P::priorityDeferred0);
  first.SendMessageW();
  second.SendMessageW();
  first.DeliverMessage(P::priorityDeferred0);
  EXPECT_EQ(log, (std::vector<std::string>{"A"}));
  EXPECT_EQ(second.HasMessageToDeliver(P::priorityDeferred0), 1);
}

TEST_F(ConsumerList, ThrowingConsumerLosesItsRegistration) {
  for (P p : {P::priorityImmediate, P::priorityDeferred1}) {
    CConsumerList list;
    Consumer a("A", &log), b("B", &log);
    list.Register(&a, &Consumer::OnChange, p);
    list.Register(nullptr, &Throwing, p);
    list.Register(&b, &Consumer::OnChange, p);
    EXPECT_EQ(list.GetClientQty(p), 3u);
    log.clear();
    list.SendMessageW();
    list.DeliverMessage(p);
    EXPECT_EQ(log, (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(list.GetClientQty(p), 2u);
    EXPECT_EQ(list.GetClientQty(), 2u);
    log.clear();
    list.SendMessageW();
    list.DeliverMessage(p);
    EXPECT_EQ(log, (std::vector<std::string>{"B", "A"}));
  }
}

// A callback unregisters a consumer that the running pass has not reached yet: that consumer
// is not called, and the pass never touches its released registration (checked by ASan).
TEST_F(ConsumerList, UnregisteringAConsumerAheadInThePass) {
  for (P p : {P::priorityImmediate, P::priorityDeferred0}) {
    CConsumerList list;
    Consumer a("A", &log), b("B", &log), c("C", &log);
    list.Register(&a, &Consumer::OnChange, p);
    POSITION hb = list.Register(&b, &Consumer::OnChange, p);
    list.Register(&c, &Consumer::OnChange, p);
    c.action = [&] { list.Unregister(hb); };
    log.clear();
    list.SendMessageW();
    list.DeliverMessage(p);
    EXPECT_EQ(log, (std::vector<std::string>{"C", "A"}));
    EXPECT_EQ(list.GetClientQty(p), 2u);
    // The same handle again is unknown now.
    list.Unregister(hb);
    EXPECT_EQ(list.GetClientQty(p), 2u);
  }
}

TEST_F(ConsumerList, UnregisteringEveryoneFromACallback) {
  CConsumerList list;
  Consumer a("A", &log), b("B", &log), c("C", &log);
  POSITION ha = list.Register(&a, &Consumer::OnChange, P::priorityImmediate);
  POSITION hb = list.Register(&b, &Consumer::OnChange, P::priorityImmediate);
  POSITION hc = list.Register(&c, &Consumer::OnChange, P::priorityImmediate);
  c.action = [&] {
    list.Unregister(hc);
    list.Unregister(hb);
    list.Unregister(ha);
  };
  list.SendMessageW();
  EXPECT_EQ(log, (std::vector<std::string>{"C"}));
  EXPECT_EQ(list.GetClientQty(), 0u);
  list.SendMessageW();
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(ConsumerList, RegisteredDuringAPassIsNotCalledByIt) {
  CConsumerList list;
  Consumer a("A", &log), late("late", &log);
  list.Register(&a, &Consumer::OnChange, P::priorityImmediate);
  a.action = [&] { list.Register(&late, &Consumer::OnChange, P::priorityImmediate); };
  list.SendMessageW();
  EXPECT_EQ(log, (std::vector<std::string>{"A"}));
  list.SendMessageW();
  EXPECT_EQ(log, (std::vector<std::string>{"A", "late", "A"}));
}

TEST_F(ConsumerList, CallbackMaySendAgain) {
  CConsumerList list;
  Consumer a("A", &log);
  int depth = 0;
  a.action = [&] {
    if (++depth < 3) list.SendMessageW();
  };
  list.Register(&a, &Consumer::OnChange, P::priorityImmediate);
  list.SendMessageW();
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(ConsumerList, DeferDeleteInsideImmediateCallback) {
  auto* list = new CConsumerList;
  Consumer a("A", &log), b("B", &log), c("C", &log);
  list->Register(&a, &Consumer::OnChange, P::priorityImmediate);
  list->Register(&b, &Consumer::OnChange, P::priorityImmediate);
  list->Register(&c, &Consumer::OnChange, P::priorityImmediate);
  list->Register(&a, &Consumer::OnChange, P::priorityImmediate);
  c.action = [&] { list->DeferDelete(); };
  list->Register(&b, &OtherCallback, P::priorityDeferred0);
  list->SendMessageW();  // deletes the list after the pass (ASan checks no use after free)
  EXPECT_EQ(log, (std::vector<std::string>{"C", "B", "A"}));
  // The deleted list left no entry behind in the asynchronous lists.
  CObList* async = CConsumerList::GetAsyncConsumerList(P::priorityDeferred0);
  for (POSITION pos = async->GetHeadPosition(); pos != nullptr;) {
    EXPECT_NE(async->GetNext(pos), static_cast<CObject*>(list));
  }
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
}

TEST_F(ConsumerList, DeferDeleteInsideDeferredCallbackDuringADrain) {
  auto* list = new CConsumerList;
  CConsumerList survivor;
  Consumer a("A", &log), b("B", &log), s("S", &log);
  list->Register(&a, &Consumer::OnChange, P::priorityDeferred1);
  list->Register(&b, &Consumer::OnChange, P::priorityDeferred1);
  b.action = [&] { list->DeferDelete(); };
  survivor.Register(&s, &Consumer::OnChange, P::priorityDeferred1);  // entered after: drained first
  list->SendMessageW();
  survivor.SendMessageW();
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred1);
  EXPECT_EQ(log, (std::vector<std::string>{"S", "B", "A"}));
  survivor.SendMessageW();
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred1);
  EXPECT_EQ(log.back(), "S");
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(ConsumerList, DeferDeleteOutsideAPassDeletesAtOnce) {
  auto* list = new CConsumerList;
  Consumer a("A", &log);
  list->Register(&a, &Consumer::OnChange, P::priorityDeferred0);
  list->SendMessageW();
  list->DeferDelete();  // ASan reports a leak if this does not delete
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
  EXPECT_TRUE(log.empty());
}

TEST_F(ConsumerList, DestroyedListIsSkippedByTheNextDrain) {
  Consumer a("A", &log), b("B", &log);
  CConsumerList kept;
  kept.Register(&b, &Consumer::OnChange, P::priorityDeferred0);
  {
    CConsumerList gone;
    gone.Register(&a, &Consumer::OnChange, P::priorityDeferred0);
    gone.SendMessageW();
    kept.SendMessageW();
  }
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
  EXPECT_EQ(log, (std::vector<std::string>{"B"}));
}

TEST_F(ConsumerList, StaleEntryIsRemovedAtTheNextDrain) {
  CConsumerList list;
  Consumer a("A", &log);
  CObList* async = CConsumerList::GetAsyncConsumerList(P::priorityDeferred2);
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred2);
  const INT_PTR before = async->GetSize();
  POSITION h = list.Register(&a, &Consumer::OnChange, P::priorityDeferred2);
  EXPECT_EQ(async->GetSize(), before + 1);
  EXPECT_EQ(async->GetHead(), static_cast<CObject*>(&list));
  list.SendMessageW();
  list.Unregister(h);
  EXPECT_EQ(async->GetHead(), nullptr);
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred2);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(async->GetSize(), before);
  // Registering again enters the list once more.
  list.Register(&a, &Consumer::OnChange, P::priorityDeferred2);
  list.Register(&a, &OtherCallback, P::priorityDeferred2);
  EXPECT_EQ(async->GetSize(), before + 1);
  list.SendMessageW();
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred2);
  EXPECT_EQ(log, (std::vector<std::string>{"A"}));
}

TEST_F(ConsumerList, AssignmentCopiesRegistrationsAndEntersTheAsyncLists) {
  int source;
  CConsumerList from(&source, 5);
  Consumer a("A", &log), b("B", &log), d("D", &log), old("old", &log);
  from.Register(&a, &Consumer::OnChange, P::priorityImmediate);
  from.Register(&b, &Consumer::OnChange, P::priorityImmediate);
  from.Register(&d, &Consumer::OnChange, P::priorityDeferred0);
  from.SendMessageW();
  log.clear();
  CConsumerList to;
  to.Register(&old, &Consumer::OnChange, P::priorityImmediate);
  to = from;
  EXPECT_EQ(to.GetSource(), &source);
  EXPECT_EQ(to.GetMsgId(), 5u);
  EXPECT_EQ(to.GetClientQty(), 3u);
  EXPECT_EQ(to.HasMessageToDeliver(P::priorityDeferred0), 1);
  to.SendMessageW();
  EXPECT_EQ(log, (std::vector<std::string>{"B", "A"}));
  from.DeliverMessage(P::priorityDeferred0);
  log.clear();
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);  // reaches the copy too
  EXPECT_EQ(log, (std::vector<std::string>{"D"}));
  to = to;
  EXPECT_EQ(to.GetClientQty(), 3u);
}

TEST_F(ConsumerList, DrainFromACallbackOfAnotherList) {
  CConsumerList outer, inner;
  Consumer a("A", &log), b("B", &log);
  inner.Register(&b, &Consumer::OnChange, P::priorityDeferred0);
  outer.Register(&a, &Consumer::OnChange, P::priorityDeferred0);
  a.action = [&] { CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0); };
  inner.SendMessageW();
  outer.SendMessageW();
  CConsumerList::DeliverMessageToConsumer(P::priorityDeferred0);
  EXPECT_EQ(log, (std::vector<std::string>{"A", "B"}));
}

}  // namespace
