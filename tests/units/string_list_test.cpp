// String lists: pairs in order, first-match searches, index iteration, copies.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "axis/string_list.h"
#include "platform/dialog.h"
#include "platform/window.h"
#include "platform/winuser.h"

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

// Filling list and combo boxes: the control's own sorting decides the index each item gets,
// and the item data and selection follow that index.
namespace {

struct Fixture {
  int a = 0, b = 0, g = 0;
  CStrList list;
  Fixture() {
    list.Add(L"beta", &b);
    list.Add(L"alpha", &a);
    list.Add(L"gamma", &g);
  }
};

}  // namespace

TEST(StrList, FillBoxFollowsTheControlsSortingAndSelects) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.Create(nullptr, L"fill", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 200), nullptr, 0));
  Fixture f;
  struct Case {
    DWORD style;
    std::vector<std::wstring> names;
  };
  const Case cases[] = {
      {0, {L"keep", L"beta", L"alpha", L"gamma"}},
      {LBS_SORT, {L"alpha", L"beta", L"gamma", L"keep"}},
  };
  for (const Case& c : cases) {
    CListBox box;
    ASSERT_TRUE(box.Create(WS_CHILD | WS_VISIBLE | c.style, CRect(0, 0, 100, 100), &frame, 5));
    box.AddString(L"keep");  // the control is not emptied first
    f.list.FillBox(&box, &f.g);
    ASSERT_EQ(box.GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
      CString text;
      box.GetText(i, text);
      EXPECT_EQ(std::wstring(text.GetString()), c.names[i]) << i;
      void* expected = f.list.FindStr(text);
      EXPECT_EQ(reinterpret_cast<void*>(box.GetItemData(i)), expected) << i;
    }
    CString selected;
    box.GetText(box.GetCurSel(), selected);
    EXPECT_EQ(std::wstring(selected.GetString()), L"gamma");
  }

  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, CRect(0, 0, 100, 20),
                           &frame, 6));
  f.list.FillBox(&combo, &f.b);
  ASSERT_EQ(combo.GetCount(), 3);
  EXPECT_EQ(combo.GetCurSel(), 1);  // "beta", second once sorted
  EXPECT_EQ(reinterpret_cast<void*>(combo.GetItemData(1)), &f.b);
  EXPECT_EQ(reinterpret_cast<void*>(combo.GetItemData(0)), &f.a);
}

TEST(StrList, FillBoxIgnoresMissingControls) {
  Fixture f;
  f.list.FillBox(static_cast<CListBox*>(nullptr), &f.a);
  f.list.FillBox(static_cast<CComboBox*>(nullptr), &f.a);
  CListBox never_created;
  f.list.FillBox(&never_created, &f.a);
  EXPECT_EQ(f.list.GetSize(), 3);
}
