// String lists: pairs in order, first-match searches, index iteration, copies.
#include <gtest/gtest.h>

#include <memory>

#include "axis/string_list.h"

namespace {

int a, b, c;  // addresses used as values

TEST(StrList, EmptyList) {
  CStrList list;
  CString name(L"unchanged");
  EXPECT_EQ(list.GetFirst(name), nullptr);
  EXPECT_STREQ(name, L"unchanged");
  EXPECT_EQ(list.GetNext(name), nullptr);
  EXPECT_EQ(list.FindStr(L"x"), nullptr);
  EXPECT_EQ(list.Find(&a, name), 0);
  EXPECT_STREQ(name, L"unchanged");
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(StrList, DuplicateNamesFindAndRemoveTheFirst) {
  CStrList list;
  list.Add(L"A", &a);
  list.Add(L"A", &b);
  EXPECT_EQ(list.FindStr(L"A"), &a);
  list.RemoveStr(L"A");
  ASSERT_EQ(list.GetSize(), 1);
  CString name;
  EXPECT_EQ(list.GetFirst(name), &b);
  EXPECT_STREQ(name, L"A");
}

TEST(StrList, SearchesAreExactAndByAddress) {
  CStrList list;
  list.Add(L"Scan", &a);
  list.Add(L"Index", &b);
  list.Add(L"Other", &a);
  EXPECT_EQ(list.FindStr(L"scan"), nullptr);
  EXPECT_EQ(list.FindStr(L"Index"), &b);
  EXPECT_EQ(list.FindStr(nullptr), nullptr);
  CString name;
  EXPECT_EQ(list.Find(&a, name), 1);
  EXPECT_STREQ(name, L"Scan");
  EXPECT_EQ(list.Find(&c, name), 0);
  EXPECT_STREQ(name, L"Scan");
  list.RemoveStr(L"scan");  // no match: nothing
  list.Remove(&c);          // no match: nothing
  EXPECT_EQ(list.GetSize(), 3);
  list.Remove(&a);
  EXPECT_EQ(list.GetSize(), 2);
  EXPECT_EQ(list.Find(&a, name), 1);
  EXPECT_STREQ(name, L"Other");
  list.RemoveAll();
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(StrList, IterationIsByIndex) {
  CStrList list;
  list.Add(L"one", &a);
  list.Add(L"two", &b);
  list.Add(L"three", &c);
  CString name;
  EXPECT_EQ(list.GetFirst(name), &a);
  EXPECT_EQ(list.GetNext(name), &b);
  list.Remove(&a);  // an earlier pair: the cursor now skips "three"
  EXPECT_EQ(list.GetNext(name), nullptr);
  EXPECT_STREQ(name, L"two");
  EXPECT_EQ(list.GetFirst(name), &b);
  EXPECT_EQ(list.GetNext(name), &c);
  EXPECT_STREQ(name, L"three");
}

TEST(StrList, CopiesOwnTheirNames) {
  CStrList list;
  {
    wchar_t buffer[] = L"temp";
    list.Add(buffer, &a);
    buffer[0] = L'X';
  }
  CStrList copy(list);
  CString name;
  EXPECT_EQ(copy.GetFirst(name), &a);
  EXPECT_STREQ(name, L"temp");

  CStrList target;
  target.Add(L"gone", &c);
  target.Add(L"gone too", &b);
  CString n;
  target.GetFirst(n);
  target.GetNext(n);
  target = list;  // replaces the pairs, keeps the cursor (2): nothing left to iterate
  EXPECT_EQ(target.GetSize(), 1);
  EXPECT_EQ(target.GetNext(n), nullptr);
  EXPECT_EQ(target.FindStr(L"gone"), nullptr);
  target = target;
  EXPECT_EQ(target.GetSize(), 1);
}

TEST(StrList, CreatableByClassName) {
  std::unique_ptr<CObject> object(CRuntimeClass::CreateObject("CStrList"));
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CStrList)));
  EXPECT_FALSE(object->IsSerializable());
  EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, "CStrList");
}

}  // namespace
