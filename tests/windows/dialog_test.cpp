// Dialogs: template 1001, dialog units, modal round trips through the answering hook, Enter and
// Escape, data exchange; owner-drawn buttons; list and combo box messages.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "platform/dialog.h"
#include "tests/support/window_recorder.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;

namespace {

// The zoom bar's start/end dialog as an application writes it.
class CLimitDialog : public CDialog {
 public:
  CLimitDialog() : CDialog(1001) {}
  CString m_start, m_end;
  CRect m_place{300, 200, 0, 0};
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 1670, m_start);
    DDX_Text(dx, 1007, m_end);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetWindowPos(nullptr, m_place.left, m_place.top, 120, 60, SWP_SHOWWINDOW);
    return 1;
  }
};

void TypeKey(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

QLineEdit* EditOf(CDialog* dlg, int id) {
  CWnd* c = dlg->GetDlgItem(id);
  return c ? qobject_cast<QLineEdit*>(c->GetWidget()) : nullptr;
}

TEST(Dialog, Template1001IsTheZoomLimitDialog) {
  const DialogTemplate* t1001 = FindDialogTemplate(1001);
  ASSERT_NE(t1001, nullptr);
  EXPECT_EQ(t1001->cx, 91);
  EXPECT_EQ(t1001->cy, 30);
  EXPECT_EQ(t1001->pointSize, 8);
  EXPECT_STREQ(t1001->faceName, L"MS Sans Serif");
  EXPECT_EQ(t1001->style & WS_CAPTION, 0u);
  EXPECT_NE(t1001->style & DS_MODALFRAME, 0u);
  ASSERT_EQ(t1001->items.size(), 4u);
  EXPECT_STREQ(t1001->items[0].text, L"起始:");
  EXPECT_EQ(t1001->items[1].id, 1670);
  EXPECT_STREQ(t1001->items[2].text, L"终止:");
  EXPECT_EQ(t1001->items[3].id, 1007);
  EXPECT_EQ(FindDialogTemplate(4242), nullptr);
}

TEST(Dialog, EnterAnswersOkAndExchangesTheTexts) {
  CLimitDialog dlg;
  dlg.m_start = L"1.000 mm";
  dlg.m_end = L"2.000 mm";
  CString seenStart;
  CRect placed;
  CSize base;
  quarlen::SetModalDialogHook([&](CDialog* d) {
    d->GetDlgItemText(1670, seenStart);  // OnInitDialog filled the edits
    d->GetWindowRect(&placed);
    base = d->GetBaseUnits();
    EditOf(d, 1670)->setText(QStringLiteral("12.5 mm"));
    TypeKey(EditOf(d, 1670), Qt::Key_Return);  // the edit passes Enter on to the dialog
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  quarlen::SetModalDialogHook(nullptr);
  EXPECT_STREQ(seenStart.GetString(), L"1.000 mm");
  EXPECT_STREQ(dlg.m_start.GetString(), L"12.5 mm");
  EXPECT_STREQ(dlg.m_end.GetString(), L"2.000 mm");
  EXPECT_EQ(placed.left, 300);
  EXPECT_EQ(placed.Width(), 120);
  EXPECT_EQ(placed.Height(), 60);
  EXPECT_GT(base.cx, 0);
  EXPECT_GT(base.cy, 0);
  EXPECT_EQ(dlg.m_hWnd, nullptr);  // the window is gone after DoModal
}

TEST(Dialog, EscapeAnswersCancelWithoutExchange) {
  CLimitDialog dlg;
  dlg.m_start = L"5";
  quarlen::SetModalDialogHook([&](CDialog* d) {
    EditOf(d, 1670)->setText(QStringLiteral("99"));
    TypeKey(EditOf(d, 1007), Qt::Key_Escape);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  quarlen::SetModalDialogHook(nullptr);
  EXPECT_STREQ(dlg.m_start.GetString(), L"5");
}

TEST(Dialog, DialogUnitsFollowTheFontBaseUnits) {
  CLimitDialog dlg;
  CRect edit, dialog;
  CSize base;
  quarlen::SetModalDialogHook([&](CDialog* d) {
    base = d->GetBaseUnits();
    CRect r(38, 1, 78, 15);
    d->MapDialogRect(&r);
    edit = r;
    d->EndDialog(IDOK);
  });
  dlg.DoModal();
  quarlen::SetModalDialogHook(nullptr);
  auto muldiv = [](int v, int b, int d) { return (v * b + d / 2) / d; };
  EXPECT_EQ(edit, CRect(muldiv(38, base.cx, 4), muldiv(1, base.cy, 8), muldiv(78, base.cx, 4),
                        muldiv(15, base.cy, 8)));
}

TEST(Dialog, DdxOfNumbersFailsOnBadText) {
  struct CNumDlg : CDialog {
    CNumDlg() : CDialog(1001) {}
    int m_i = 3;
    double m_d = 0.25;
    void DoDataExchange(CDataExchange* dx) override {
      DDX_Text(dx, 1670, m_i);
      DDX_Text(dx, 1007, m_d);
    }
  } dlg;
  bool firstOk = true;
  quarlen::SetModalDialogHook([&](CDialog* d) {
    CString s;
    d->GetDlgItemText(1007, s);
    EXPECT_STREQ(s.GetString(), L"0.25");
    d->SetDlgItemText(1670, L"abc");
    firstOk = d->UpdateData(TRUE);
    d->SetDlgItemText(1670, L" 42 ");
    d->SetDlgItemText(1007, L"1.5e3");
    d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  quarlen::SetModalDialogHook(nullptr);
  EXPECT_FALSE(firstOk);
  EXPECT_EQ(dlg.m_i, 42);
  EXPECT_DOUBLE_EQ(dlg.m_d, 1500.0);
}

// An owner-drawn button reports its state to the parent's DrawItem reflection.
class COwnerButton : public CButton {
 public:
  std::vector<UINT> states;
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    states.push_back(item->itemState);
    CDC::FromHandle(item->hDC)->FillSolidRect(
        &item->rcItem, (item->itemState & ODS_SELECTED) ? RGB(0, 0, 0) : RGB(0, 200, 0));
  }
};

TEST(Button, OwnerDrawStatesAndClick) {
  CRecorderWnd parent;
  ASSERT_TRUE(parent.CreateTop({0, 0, 100, 100}));
  COwnerButton button;
  ASSERT_TRUE(button.Create(L"go", WS_VISIBLE | BS_OWNERDRAW, {10, 10, 50, 40}, &parent, 77));
  t::PumpUntilIdle();
  ASSERT_FALSE(button.states.empty());
  EXPECT_EQ(button.states.back() & ODS_SELECTED, 0u);
  EXPECT_EQ(t::PixelAt(button.m_hWnd, 5, 5), RGB(0, 200, 0));

  t::MouseMove(button.m_hWnd, {5, 5});
  t::MousePress(button.m_hWnd, {5, 5});
  t::PumpUntilIdle();
  EXPECT_NE(button.states.back() & ODS_SELECTED, 0u);
  EXPECT_NE(button.states.back() & ODS_HOTLIGHT, 0u);
  EXPECT_EQ(t::PixelAt(button.m_hWnd, 5, 5), RGB(0, 0, 0));
  t::MouseRelease(button.m_hWnd, {5, 5});
  t::PumpUntilIdle();
  EXPECT_EQ(button.states.back() & ODS_SELECTED, 0u);
  const Received* cmd = parent.Last(WM_COMMAND);
  ASSERT_NE(cmd, nullptr);
  EXPECT_EQ(cmd->wParam, MAKEWPARAM(77, BN_CLICKED));
  EXPECT_EQ(cmd->lParam, reinterpret_cast<LPARAM>(button.m_hWnd));

  // Released outside: no click.
  parent.log.clear();
  t::MousePress(button.m_hWnd, {5, 5});
  t::MouseRelease(button.m_hWnd, {80, 80});
  EXPECT_EQ(parent.Count(WM_COMMAND), 0);

  button.EnableWindow(FALSE);
  t::PumpUntilIdle();
  EXPECT_NE(button.states.back() & ODS_DISABLED, 0u);
}

TEST(ListControls, AddStringSortedOrNotItemDataAndSelection) {
  CRecorderWnd parent;
  ASSERT_TRUE(parent.CreateTop({0, 0, 200, 200}));
  struct Case {
    DWORD style;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {0, {L"beta", L"Alpha", L"gamma", L"alpha"}},
      {LBS_SORT, {L"Alpha", L"alpha", L"beta", L"gamma"}},
  };
  for (const Case& c : cases) {
    CListBox list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | c.style, {0, 0, 100, 100}, &parent, 5));
    for (const wchar_t* s : {L"beta", L"Alpha", L"gamma", L"alpha"})
      EXPECT_GE(list.AddString(s), 0);
    ASSERT_EQ(list.GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
      CString text;
      list.GetText(i, text);
      EXPECT_EQ(std::wstring(text.GetString()), c.expected[i]) << i;
    }
    EXPECT_EQ(list.SetItemData(2, 0xDEADBEEFCAFEull), 0);
    EXPECT_EQ(list.GetItemData(2), 0xDEADBEEFCAFEull);
    EXPECT_EQ(list.SetItemData(9, 1), LB_ERR);
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(list.SetCurSel(-1), LB_ERR);  // clears the selection
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    EXPECT_EQ(list.SetCurSel(17), LB_ERR);
  }
  EXPECT_EQ(parent.Count(WM_COMMAND), 0);  // programmatic changes never notify

  for (DWORD style : {DWORD{0}, DWORD{CBS_SORT}}) {
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | style, {0, 0, 100, 20}, &parent, 6));
    EXPECT_EQ(combo.AddString(L"mm"), 0);
    EXPECT_EQ(combo.AddString(L"in"), style ? 0 : 1);
    EXPECT_EQ(SendMessageW(combo.m_hWnd, CB_SETITEMDATA, 1, 1234), 0);
    EXPECT_EQ(combo.GetItemData(1), 1234u);
    EXPECT_EQ(SendMessageW(combo.m_hWnd, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.SetCurSel(5), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
  }
}

}  // namespace
