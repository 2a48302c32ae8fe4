#include "cursors/zoom_limit.h"

IMPLEMENT_DYNAMIC(CZoomLimit, CDialog)

CZoomLimit::CZoomLimit(CWnd* parent) : CDialog(kTemplateId, parent) {}

INT_PTR CZoomLimit::DoModal(const RECT& place) {
  m_place = place;
  return CDialog::DoModal();
}

BOOL CZoomLimit::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowPos(nullptr, m_place.left, m_place.top, kWidth, kHeight, SWP_SHOWWINDOW);
  return 1;
}

void CZoomLimit::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, kStartEditId, m_strStart);
  DDX_Text(dx, kEndEditId, m_strEnd);
}
