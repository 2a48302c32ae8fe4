#include "demo/cscan_view.h"

#include <cmath>

#include "axis/position.h"
#include "axis/ruler.h"
#include "notify/event_service.h"
#include "platform/dc.h"
#include "volume/cursor_ex.h"

namespace demo {
namespace {

constexpr std::uint32_t kOutside = 0xFFC0C0C0u;  // pixels beside the data
constexpr COLORREF kIndexColour = RGB(150, 70, 0);
constexpr double kMillimetre = 0.001;

}  // namespace

TopViewControl::TopViewControl(const SyntheticVolume& volume)
    : m_volume(volume), m_top(std::size_t(volume.LineCount()) * volume.ScanCount(), 0) {}

TopViewControl::~TopViewControl() = default;

void TopViewControl::SetGate(double lower, double upper) {
  m_lower = lower;
  m_upper = upper;
  m_top = m_volume.GateMaximum(lower, upper);
  ++m_gateSerial;
}

void TopViewControl::GetGate(double* lower, double* upper) const {
  *lower = m_lower;
  *upper = m_upper;
}

int TopViewControl::AmplitudeAt(double scan, double index) const {
  const int s = m_volume.ScanIndex(scan);
  const int line = m_volume.LineIndex(index);
  if (s < 0 || line < 0) return -1;
  return m_top[std::size_t(line) * m_volume.ScanCount() + s];
}

void TopViewControl::OnDraw(CDC* dc) {
  if (dc == nullptr || GetSafeHwnd() == nullptr) return;
  CRect client;
  GetClientRect(&client);
  if (client.Width() <= 0 || client.Height() <= 0) return;
  ++m_draws;
  const View view{client.Width(),
                  client.Height(),
                  GetHorizontalOffset() + GetHorizontalStart(),
                  GetHorizontalRange(),
                  GetVerticalOffset() + GetVerticalStart(),
                  GetVerticalRange(),
                  m_verticallyInverted.load(),
                  m_gateSerial};
  if (!m_image || !(view == m_view)) Render(view);
  if (!m_image) return;
  CDC mem;
  mem.CreateCompatibleDC(dc);
  CBitmap* old = mem.SelectObject(m_image.get());
  dc->BitBlt(0, 0, view.width, view.height, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
}

void TopViewControl::Render(const View& view) {
  const int w = view.width, h = view.height;
  // Sample indices of every column and row (the pixel-to-value rule of the views' scales),
  // then one table look-up per pixel.
  std::vector<int> columns(w), rows(h);
  for (int x = 0; x < w; ++x) columns[x] = m_volume.ScanIndex(view.left + x * view.hRange / w);
  for (int y = 0; y < h; ++y) {
    const int along = view.inverted ? h - y : y;
    rows[y] = m_volume.LineIndex(view.top + along * view.vRange / h);
  }
  const std::uint32_t* palette = Palette();
  std::vector<std::uint32_t> pixels(std::size_t(w) * h, kOutside);
  for (int y = 0; y < h; ++y) {
    if (rows[y] < 0) continue;
    const std::uint8_t* amplitudes = &m_top[std::size_t(rows[y]) * m_volume.ScanCount()];
    std::uint32_t* line = &pixels[std::size_t(y) * w];
    for (int x = 0; x < w; ++x) {
      if (columns[x] >= 0) line[x] = palette[amplitudes[columns[x]]];
    }
  }
  m_image = std::make_unique<CBitmap>();
  if (!m_image->CreateBitmap(w, h, 1, 32, pixels.data())) m_image.reset();
  m_view = view;
}

TopView::TopView(const Setup& setup) : m_setup(setup), m_control(setup.bscan->Volume()) {
  const CRect& a = setup.area;
  // Index grows downwards, as depth does in the B-scan.
  m_view.Create(setup.parent, 120, setup.scan, setup.index, gocont_growRight, gocont_growDown);
  m_view.MoveWindow(a.left, a.top, a.Width(), a.Height());
  m_view.EnableDoubleBuffering(1);
  m_control.Create(nullptr, L"", WS_CHILD, CRect(0, 0, a.Width(), a.Height()), &m_view, 121);
  m_control.SetVerticallyInverted(0);
  m_view.AddBackground(&m_object);

  CRect below(a.left, a.bottom, a.right, a.bottom + kRulerHeight);
  m_scanView.Create(setup.parent, setup.scan, gruler_growRight, &below);
  m_scanView.SetPosition(&below);
  m_scanView.SetDisplayUnit(setup.scanUnit, 1);
  CRect left(a.left - kRulerWidth, a.top, a.left, a.bottom);
  m_indexView.Create(setup.parent, setup.index, gruler_growDown, &left);
  m_indexView.SetPosition(&left);
  m_indexView.SetDisplayUnit(setup.indexUnit, 1);
  m_view.SetGraphicalRuler(&m_scanView, &m_indexView);

  // The index cursor takes presses on its line; a left drag elsewhere zooms both rulers.
  m_indexCursor.Create(setup.indexCursor);
  m_indexCursor.SetUnit(setup.indexUnit);
  m_indexCursor.SetColor(kIndexColour);
  m_indexCursor.EnableStep(1, kMillimetre, 0.0);  // whole millimetres: the scan lines
  m_zoom.SetMinZoom(8, 8);
  m_tools.AssociateTool(MK_LBUTTON, &m_zoom);
  m_view.AddTracking(&m_tools);  // below the index cursor, also after a zoom
  m_view.AddDynamic(&m_indexCursor, CGOContainer::top);
  m_view.ShowWindow(SW_SHOW);

  m_label.Create(L"", WS_CHILD | WS_VISIBLE,
                 CRect(a.right + Px(8), a.top, a.right + Px(8) + kLabelWidth, a.bottom), setup.parent);

  setup.bscan->SetLine(setup.bscan->Volume().LineIndex(setup.indexCursor->GetValue()));
  FollowIndex();
}

TopView::~TopView() {
  FollowGate(nullptr);
  if (m_client != 0) event_UnregisterClient(m_client);
  m_view.SetGraphicalRuler(nullptr, nullptr);
  m_view.RemoveAll();
  m_label.DestroyWindow();
  m_scanView.DestroyWindow();
  m_indexView.DestroyWindow();
  m_control.DestroyWindow();
  m_view.DestroyWindow();
}

// The B-scan's line follows the index cursor's changes (event 1619), delivered like a cursor's
// on the event service's thread.
void TopView::FollowIndex() {
  m_client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr,
                                  &TopView::OnPositionEvent, event_kindCallback4);
  if (m_client != 0) {
    event_RegisterEvent(event_positionChanged, m_client, event_libraryControl, 0,
                        m_setup.indexCursor->GetID(), 0, event_any);
  }
}

void TopView::OnPositionEvent(void* self, unsigned id, std::uintptr_t a, std::uintptr_t) {
  TopView& view = *static_cast<TopView*>(self);
  if (id != event_positionChanged || a != view.m_setup.indexCursor->GetID()) return;
  SyntheticBScan& bscan = *view.m_setup.bscan;
  const int line = bscan.Volume().LineIndex(view.m_setup.indexCursor->GetValue());
  if (line < 0 || line == bscan.Line()) return;
  bscan.SetLine(line);
  if (view.m_setup.onLineChanged) view.m_setup.onLineChanged();
}

CString TopView::LabelText() const {
  CString text;
  m_label.GetWindowText(text);
  return text;
}

void TopView::FollowGate(CDualSliderCtrl* gate) {
  if (m_gate != nullptr) m_gate->UnregisterDualSlidersListener(this);
  m_gate = gate;
  if (gate == nullptr) return;
  gate->RegisterDualSlidersListener(this);
  OnDualSlidersChanged(gate->m_hWnd);
}

void TopView::OnDualSlidersChanged(HWND const&) {
  if (m_gate == nullptr) return;
  double lower = 0.0, upper = 0.0;
  m_gate->GetSlidersPosition(lower, upper);
  ShowGate(lower, upper);
}

void TopView::ShowGate(double lower, double upper) {
  m_control.SetGate(lower, upper);
  m_object.InvalidateAll();  // the container repaints the top view
  CString text;
  text.Format(L"Top view: largest echo\nin the gate %.2f .. %.2f mm", lower / kMillimetre,
              upper / kMillimetre);
  m_label.SetWindowText(text.GetString());
}

}  // namespace demo
