#pragma once
// Dialogs built from templates, data exchange with their controls, and the standard controls
// (buttons with owner draw, static text, edits, list boxes, combo boxes).
//
// Modal dialogs run a local event loop. Tests and scripted demos answer them through the modal
// hook (quarlen::SetModalDialogHook): it runs once the dialog is initialised and may fill in
// controls and end the dialog (EndDialog, or an Enter/Escape key event, or WM_COMMAND IDOK).
#include <functional>

#include "platform/dialog_template.h"
#include "platform/window.h"

// Buttons, list boxes and combo boxes: further messages and notifications.
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BST_PUSHED = 0x0004;
constexpr UINT BST_FOCUS = 0x0008;
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT CBN_SELCHANGE = 1;

class CDataExchange;

class QUARLEN_API CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  // Runs the dialog modally; returns the EndDialog result, or -1 when it cannot be created.
  virtual INT_PTR DoModal();
  // Creates the dialog modeless (it stays until DestroyWindow).
  BOOL Create(UINT templateId, CWnd* parent = nullptr);
  void EndDialog(int result);
  // Sends WM_INITDIALOG's default: UpdateData(FALSE); returns TRUE.
  virtual BOOL OnInitDialog();
  // UpdateData(TRUE), then EndDialog(IDOK) unless the exchange failed.
  virtual void OnOK();
  virtual void OnCancel();
  // Controls <-> members through DoDataExchange. FALSE when a value could not be read.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  virtual void DoDataExchange(CDataExchange* dx);
  // Dialog units -> pixels with the dialog font's base units.
  void MapDialogRect(LPRECT rect) const;
  // The dialog font's base units (average character width, character height) in pixels.
  CSize GetBaseUnits() const { return m_baseUnits; }
  void SetDlgItemText(int id, LPCWSTR text);
  void GetDlgItemText(int id, CString& text) const;

  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  BOOL CreateFromTemplate(const DialogTemplate& tmpl, CWnd* parent, bool modal);
  void* m_loop = nullptr;  // the running QEventLoop of DoModal
  int m_result = IDCANCEL;
  bool m_ended = false;
  CSize m_baseUnits{0, 0};
  std::vector<std::unique_ptr<CWnd>> m_controls;  // controls made from the template
};

namespace quarlen {
// Called by DoModal after OnInitDialog, before the modal loop starts. The hook may end the
// dialog; if it does, DoModal returns without running a loop. An empty hook removes it.
QUARLEN_API void SetModalDialogHook(std::function<void(CDialog*)> hook);
}  // namespace quarlen

class QUARLEN_API CDataExchange {
 public:
  CDataExchange(CWnd* dlg, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}
  // Marks the exchange failed (a value could not be read); UpdateData then returns FALSE.
  void Fail() { m_failed = true; }
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  bool m_failed = false;
};

QUARLEN_API void DDX_Text(CDataExchange* dx, int id, CString& value);
QUARLEN_API void DDX_Text(CDataExchange* dx, int id, int& value);
QUARLEN_API void DDX_Text(CDataExchange* dx, int id, double& value);

// A push button. BS_OWNERDRAW buttons are drawn by their owner through WM_DRAWITEM, which the
// parent reflects to DrawItem; the item state carries ODS_SELECTED (pressed with the pointer
// inside), ODS_FOCUS, ODS_DISABLED and ODS_HOTLIGHT (pointer over the button).
// A click sends WM_COMMAND (id, BN_CLICKED) to the parent.
class QUARLEN_API CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  BOOL Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  virtual void DrawItem(LPDRAWITEMSTRUCT item);
  UINT GetState() const;
  void SetState(BOOL highlight);
  UINT GetButtonStyle() const { return GetStyle() & 0xFF; }
  BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg void OnEnable(BOOL enable);
  afx_msg void OnSetFocus(CWnd* old);
  afx_msg void OnKillFocus(CWnd* next);
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  DECLARE_MESSAGE_MAP()

 private:
  bool m_pressed = false;  // left button went down on the button and is still down
  bool m_inside = false;   // the pointer is inside while pressed
  bool m_hot = false;
  bool m_highlight = false;  // BM_SETSTATE
};

// Controls backed by Qt widgets. Their text is the widget's text.
class QUARLEN_API CStatic : public CWnd {
 public:
  BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);

 protected:
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class QUARLEN_API CEdit : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

 protected:
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class QUARLEN_API CListBox : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  int AddString(LPCWSTR text) { return Call(LB_ADDSTRING, 0, text); }
  int InsertString(int index, LPCWSTR text) { return Call(LB_INSERTSTRING, index, text); }
  int DeleteString(UINT index) { return Call(LB_DELETESTRING, index, nullptr); }
  void ResetContent() { Call(LB_RESETCONTENT, 0, nullptr); }
  int GetCount() const { return Call(LB_GETCOUNT, 0, nullptr); }
  int GetCurSel() const { return Call(LB_GETCURSEL, 0, nullptr); }
  int SetCurSel(int index) { return Call(LB_SETCURSEL, index, nullptr); }
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  int GetText(int index, CString& text) const;

 protected:
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  int Call(UINT msg, WPARAM w, LPCWSTR text) const;
};

class QUARLEN_API CComboBox : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  int AddString(LPCWSTR text) { return Call(CB_ADDSTRING, 0, text); }
  int InsertString(int index, LPCWSTR text) { return Call(CB_INSERTSTRING, index, text); }
  int DeleteString(UINT index) { return Call(CB_DELETESTRING, index, nullptr); }
  void ResetContent() { Call(CB_RESETCONTENT, 0, nullptr); }
  int GetCount() const { return Call(CB_GETCOUNT, 0, nullptr); }
  int GetCurSel() const { return Call(CB_GETCURSEL, 0, nullptr); }
  int SetCurSel(int index) { return Call(CB_SETCURSEL, index, nullptr); }
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  int GetLBText(int index, CString& text) const;

 protected:
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  int Call(UINT msg, WPARAM w, LPCWSTR text) const;
};
