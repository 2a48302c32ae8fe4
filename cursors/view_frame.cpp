#include "cursors/view_frame.h"

#include <algorithm>

#include "axis/ruler.h"
#include "platform/dpi.h"

namespace {

// The vertical ruler view's flag that shows values growing as the container's y flag has them.
int RulerViewGrowFor(int containerYGrow) {
  return containerYGrow == gocont_growDown ? gruler_growDown : gruler_growUp;
}

int RulerViewGrowForX(int containerXGrow) {
  return containerXGrow == gocont_growLeft ? gruler_growLeft : gruler_growRight;
}

}  // namespace

IMPLEMENT_DYNAMIC(CGOViewFrame, CWnd)

BEGIN_MESSAGE_MAP(CGOViewFrame, CWnd)
ON_WM_SIZE()
END_MESSAGE_MAP()

CGOViewFrame::CGOViewFrame() = default;

CGOViewFrame::~CGOViewFrame() {
  // The parts go in reverse order of declaration (bars, ruler views, container); the container
  // must not reach the ruler views in between.
  m_container.SetGraphicalRuler(nullptr, nullptr);
}

BOOL CGOViewFrame::Create(CWnd* parent, UINT id, const CRect& rect, CRuler* x, CRuler* y, int xGrow,
                          int yGrow, UINT parts) {
  if (m_hWnd != nullptr) return FALSE;
  m_parts = parts & viewframe_zoomBars;
  if (!CWnd::Create(nullptr, L"", WS_CHILD | WS_VISIBLE, rect, parent, id)) return FALSE;

  CRect client;
  GetClientRect(&client);
  const Layout l = GetLayout(client.Width(), client.Height());
  bool ok = m_container.Create(this, idContainer, x, y, xGrow, yGrow) != 0;
  if (ok) {
    CRect h = l.horizView, v = l.vertiView;
    m_horizView.Create(this, x, RulerViewGrowForX(xGrow), &h);
    m_vertiView.Create(this, y, RulerViewGrowFor(yGrow), &v);
    ok = m_horizView.GetSafeHwnd() != nullptr && m_vertiView.GetSafeHwnd() != nullptr;
    if (ok) {
      m_horizView.SetDlgCtrlID(idHorizView);
      m_vertiView.SetDlgCtrlID(idVertiView);
    }
  }
  auto makeBar = [&](CZoomBar& bar, UINT flag, UINT barId, const CRect& r, int horizontal,
                     CRuler* ruler) {
    if (!ok || !(m_parts & flag)) return;
    ok = bar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, r, this, barId) != FALSE;
    if (!ok) return;
    bar.SetHorizontal(horizontal);
    bar.SetRuler(ruler);
  };
  makeBar(m_horizBar, viewframe_horizZoomBar, idHorizBar, l.horizBar, 1, x);
  makeBar(m_vertiBar, viewframe_vertiZoomBar, idVertiBar, l.vertiBar, 0, y);
  if (!ok) {
    DestroyWindow();  // the parts made so far go with it
    return FALSE;
  }
  m_container.SetGraphicalRuler(&m_horizView, &m_vertiView);
  m_created = true;
  RecalcLayout();
  m_container.ShowWindow(SW_SHOW);
  return TRUE;
}

void CGOViewFrame::SetDisplayUnits(CUnit* x, CUnit* y) {
  if (!m_created) return;
  m_horizView.SetDisplayUnit(x, 1);
  m_vertiView.SetDisplayUnit(y, 1);
  auto format = [](CZoomBar* bar, CUnit* unit) {
    if (bar == nullptr) return;
    double lo = 0.0, hi = 0.0;
    if (CRuler* r = bar->GetRuler()) r->GetLimits(lo, hi);
    bar->SetDisplayFormat(lo, hi, unit);
  };
  format(GetHorizBar(), x);
  format(GetVertiBar(), y);
}

CGOViewFrame::Layout CGOViewFrame::GetLayout(int cx, int cy) const {
  auto scaled = [this](int px) { return quarlen::ScaleForDpi(px, m_hWnd); };
  const int bar = scaled(kBarThickness);
  const int rulerHeight = scaled(kRulerHeight);
  const int rulerWidth = scaled(kRulerWidth);
  const int barLeft = (m_parts & viewframe_vertiZoomBar) ? bar : 0;
  const int barBelow = (m_parts & viewframe_horizZoomBar) ? bar : 0;
  cx = std::max(cx, 0);
  cy = std::max(cy, 0);
  // The strips keep their thickness as long as there is room; the container takes the rest.
  const int left = std::min(cx, barLeft + rulerWidth);
  const int bottom = std::max(0, cy - rulerHeight - barBelow);
  Layout l;
  l.container = CRect(left, 0, cx, bottom);
  l.vertiView = CRect(std::min(barLeft, left), 0, left, bottom);
  l.horizView = CRect(left, bottom, cx, std::min(cy, bottom + rulerHeight));
  if (m_parts & viewframe_horizZoomBar) l.horizBar = CRect(left, l.horizView.bottom, cx, cy);
  if (m_parts & viewframe_vertiZoomBar) l.vertiBar = CRect(0, 0, l.vertiView.left, bottom);
  return l;
}

void CGOViewFrame::RecalcLayout() {
  if (!m_created || m_hWnd == nullptr) return;
  CRect client;
  GetClientRect(&client);
  const Layout l = GetLayout(client.Width(), client.Height());
  m_container.MoveWindow(l.container.left, l.container.top, l.container.Width(),
                         l.container.Height());
  // SetPosition keeps the views' own record of their place; the layout's strips are never
  // below the views' minimum sizes at 96 DPI, so the rectangles are not changed by it.
  CRect h = l.horizView, v = l.vertiView;
  m_horizView.SetPosition(&h);
  m_vertiView.SetPosition(&v);
  if (CZoomBar* b = GetHorizBar()) b->MoveWindow(&l.horizBar);
  if (CZoomBar* b = GetVertiBar()) b->MoveWindow(&l.vertiBar);
}

void CGOViewFrame::OnSize(UINT, int, int) { RecalcLayout(); }
