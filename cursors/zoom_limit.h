#pragma once
// CZoomLimit: the small modal dialog in which the user types the start and end of a zoom bar's
// visible range. It is built from the library's dialog template 1001: a popup with a modal frame
// and no caption, the labels "起始:" and "终止:" and two edits (1670 start, 1007 end). It has no
// buttons: Enter closes it with OK (the edits are read back into m_strStart and m_strEnd),
// Escape with Cancel (the strings keep what they held).
#include "platform/dialog.h"

class QUARLEN_API CZoomLimit : public CDialog {
  DECLARE_DYNAMIC(CZoomLimit)

 public:
  static constexpr UINT kTemplateId = 1001;
  static constexpr int kStartEditId = 1670;
  static constexpr int kEndEditId = 1007;
  // Outer size the dialog is given when it is placed, in pixels.
  static constexpr int kWidth = 120;
  static constexpr int kHeight = 60;

  explicit CZoomLimit(CWnd* parent = nullptr);

  // Stores the place (screen coordinates; only the top-left corner is used) and runs the dialog
  // modally. Returns IDOK, IDCANCEL, or -1 when the dialog could not be created.
  INT_PTR DoModal(const RECT& place);
  using CDialog::DoModal;
  CRect GetPlace() const { return m_place; }

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

  CString m_strStart;
  CString m_strEnd;

 private:
  CRect m_place{0, 0, 0, 0};
};
