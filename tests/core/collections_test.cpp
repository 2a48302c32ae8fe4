#include <gtest/gtest.h>

#include <vector>

#include "platform/collections.h"

namespace {

class Item : public CObject {
 public:
  explicit Item(int v) : value(v) {}
  int value;
};

std::vector<int> Values(const CObList& list) {
  std::vector<int> out;
  for (POSITION p = list.GetHeadPosition(); p;)
    out.push_back(static_cast<Item*>(list.GetNext(p))->value);
  return out;
}

std::vector<int> ValuesBackwards(const CObList& list) {
  std::vector<int> out;
  for (POSITION p = list.GetTailPosition(); p;)
    out.push_back(static_cast<Item*>(list.GetPrev(p))->value);
  return out;
}

TEST(CObListTest, PositionsSurviveRemovalOfOtherElements) {
  Item a(1), b(2), c(3), d(4);
  CObList list;
  const POSITION pa = list.AddTail(&a);
  const POSITION pb = list.AddTail(&b);
  const POSITION pc = list.AddTail(&c);
  const POSITION pd = list.AddTail(&d);
  EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3, 4}));

  list.RemoveAt(pb);
  list.RemoveAt(pd);
  EXPECT_EQ(list.GetAt(pa), &a);
  EXPECT_EQ(list.GetAt(pc), &c);
  EXPECT_EQ(Values(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(ValuesBackwards(list), (std::vector<int>{3, 1}));

  Item e(5);
  list.InsertAfter(pa, &e);
  list.InsertBefore(pa, &b);
  EXPECT_EQ(Values(list), (std::vector<int>{2, 1, 5, 3}));
  EXPECT_EQ(list.GetCount(), 4);
  EXPECT_EQ(list.Find(&e), list.FindIndex(2));
  EXPECT_EQ(list.Find(&d), nullptr);
  EXPECT_EQ(list.FindIndex(4), nullptr);
  EXPECT_EQ(list.FindIndex(-1), nullptr);
  list.SetAt(pc, &d);
  EXPECT_EQ(list.GetTail(), &d);
}

TEST(CObListTest, HeadTailAndEmptyList) {
  Item a(1), b(2), c(3);
  CObList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  EXPECT_EQ(list.RemoveHead(), nullptr);
  EXPECT_EQ(list.RemoveTail(), nullptr);
  EXPECT_EQ(list.GetHead(), nullptr);
  POSITION none = nullptr;
  EXPECT_EQ(list.GetNext(none), nullptr);
  list.RemoveAt(nullptr);

  list.AddHead(&b);
  list.AddHead(&a);
  list.AddTail(&c);
  EXPECT_EQ(list.GetHead(), &a);
  EXPECT_EQ(list.GetTail(), &c);
  EXPECT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.RemoveHead(), &a);
  EXPECT_EQ(list.RemoveTail(), &c);
  EXPECT_EQ(Values(list), (std::vector<int>{2}));

  // Null positions insert at the ends.
  list.InsertBefore(nullptr, &a);
  list.InsertAfter(nullptr, &c);
  EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3}));

  CObList other;
  other.AddTail(&list);
  other.AddHead(&list);
  EXPECT_EQ(Values(other), (std::vector<int>{1, 2, 3, 1, 2, 3}));
  // Find continues after the given position.
  const POSITION first = other.Find(&b);
  EXPECT_EQ(other.Find(&b, first), other.FindIndex(4));

  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetTailPosition(), nullptr);
}

TEST(CObListTest, RemovingWhileIterating) {
  Item items[] = {Item(1), Item(2), Item(3), Item(4), Item(5)};
  CObList list;
  for (auto& i : items) list.AddTail(&i);
  for (POSITION p = list.GetHeadPosition(); p;) {
    const POSITION current = p;
    if (static_cast<Item*>(list.GetNext(p))->value % 2 == 0) list.RemoveAt(current);
  }
  EXPECT_EQ(Values(list), (std::vector<int>{1, 3, 5}));
}

TEST(CPtrArrayTest, EditingAndBounds) {
  int a = 1, b = 2, c = 3;
  CPtrArray arr;
  EXPECT_EQ(arr.GetUpperBound(), -1);
  EXPECT_EQ(arr.Add(&a), 0);
  EXPECT_EQ(arr.Add(&c), 1);
  arr.InsertAt(1, &b);
  EXPECT_EQ(arr.GetSize(), 3);
  EXPECT_EQ(arr[1], &b);
  EXPECT_EQ(arr.GetAt(2), &c);
  EXPECT_EQ(arr.GetAt(3), nullptr);
  EXPECT_EQ(arr.GetAt(-1), nullptr);
  arr.SetAt(7, &a);  // ignored
  EXPECT_EQ(arr.GetCount(), 3);
  arr.ElementAt(0) = &c;
  EXPECT_EQ(arr.GetData()[0], &c);
  arr.RemoveAt(0, 2);
  EXPECT_EQ(arr.GetSize(), 1);
  EXPECT_EQ(arr[0], &c);
  arr.InsertAt(3, &a);  // past the end: grows with nulls
  EXPECT_EQ(arr.GetSize(), 4);
  EXPECT_EQ(arr[2], nullptr);
  EXPECT_EQ(arr[3], &a);
  arr.SetSize(2);
  EXPECT_EQ(arr.GetUpperBound(), 1);
  CPtrArray copy;
  copy.Copy(arr);
  EXPECT_EQ(copy.Append(arr), 2);
  EXPECT_EQ(copy.GetSize(), 4);
  copy.RemoveAll();
  EXPECT_TRUE(copy.IsEmpty());
}

TEST(CStringArrayTest, HoldsCopies) {
  CStringArray arr;
  CString s(L"first");
  arr.Add(s);
  arr.Add(L"second");
  arr.Add(nullptr);
  s = L"changed";
  EXPECT_EQ(arr[0], L"first");
  EXPECT_EQ(arr.GetAt(1), L"second");
  EXPECT_EQ(arr[2], L"");
  EXPECT_EQ(arr.GetAt(5), L"");
  arr[2] = L"third";
  arr.SetAt(0, L"zero");
  EXPECT_EQ(arr.ElementAt(2), L"third");
  EXPECT_EQ(arr[0], L"zero");
}

TEST(CMapWordToPtrTest, LookupAndIteration) {
  int a = 1, b = 2, c = 3;
  CMapWordToPtr map;
  void* v = &a;
  EXPECT_FALSE(map.Lookup(5, v));
  EXPECT_EQ(v, &a);
  EXPECT_EQ(map.GetStartPosition(), nullptr);
  map.SetAt(30, &c);
  map.SetAt(10, &a);
  map[20] = &b;
  map.SetAt(0xFFFF, &a);
  EXPECT_EQ(map.GetCount(), 4);
  EXPECT_TRUE(map.Lookup(20, v));
  EXPECT_EQ(v, &b);
  EXPECT_EQ(map[99], nullptr);  // inserted as null
  EXPECT_TRUE(map.RemoveKey(99));
  EXPECT_FALSE(map.RemoveKey(99));

  std::vector<WORD> keys;
  for (POSITION p = map.GetStartPosition(); p;) {
    WORD key = 0;
    void* value = nullptr;
    map.GetNextAssoc(p, key, value);
    keys.push_back(key);
    if (key == 10) map.RemoveKey(20);  // removing another entry while iterating
  }
  EXPECT_EQ(keys, (std::vector<WORD>{10, 30, 0xFFFF}));
  map.RemoveAll();
  EXPECT_TRUE(map.IsEmpty());
}

}  // namespace
