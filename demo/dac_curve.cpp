#include "demo/dac_curve.h"

#include <cmath>
#include <cwchar>

#include "axis/position.h"
#include "demo/screen_pixels.h"
#include "notify/event_service.h"
#include "platform/dc.h"
#include "platform/gdi.h"

namespace demo {
namespace {

// The readout's box, at 96 DPI.
constexpr Dip kLineHeight{15};
constexpr Dip kBoxHeight{2 * kLineHeight.at96 + 4};
constexpr double kMm = 0.001;

}  // namespace

class DacReadout::Guard {
 public:
  explicit Guard(const DacReadout* r) : m_r(r) { m_r->Lock(); }
  ~Guard() { m_r->Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  const DacReadout* m_r;
};

bool CurveAmplitudeAt(const std::vector<stPoint>& points, double depth, double* amplitude) {
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const stPoint& a = points[i];
    const stPoint& b = points[i + 1];
    if (depth < a.y || depth > b.y) continue;
    const double span = b.y - a.y;
    *amplitude = span > 0.0 ? a.x + (b.x - a.x) * (depth - a.y) / span : a.x;
    return true;
  }
  if (points.size() == 1 && points[0].y == depth) {
    *amplitude = points[0].x;
    return true;
  }
  return false;
}

std::vector<stPoint> ReferenceDacPoints() {
  // The holes answer with their full strength right above them (95, 80 and 70 %).
  return {{100.0, 5 * kMm}, {95.0, 12 * kMm}, {80.0, 24 * kMm}, {70.0, 33 * kMm}, {64.0, 39 * kMm}};
}

DacReadout::DacReadout(const SyntheticBScan& data, CAdjustableCurve& curve, CPosition* scan,
                       CPosition* depth)
    : m_data(data), m_curve(curve), m_scan(scan), m_depth(depth) {
  m_client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr,
                                  &CGObject::EventCallback, event_kindCallback4);
  if (m_client != 0) {
    // The curve's trigger and both cursors: any of them changes the readout.
    for (std::uintptr_t source : {curve.GetID(), scan->GetID(), depth->GetID()}) {
      event_RegisterEvent(event_positionChanged, m_client, event_libraryControl, 0, source, 0,
                          event_any);
    }
  }
  Refresh();
}

DacReadout::~DacReadout() {
  if (m_client != 0) event_UnregisterClient(m_client);
}

void DacReadout::Refresh() {
  const std::vector<stPoint> points = m_curve.GetPoints();
  const double depth = m_depth->GetValue();
  const int s = m_data.ScanIndex(m_scan->GetValue());
  const int d = m_data.DepthIndex(depth);
  wchar_t first[64];
  wchar_t second[64];
  double curve = 0.0;
  if (!CurveAmplitudeAt(points, depth, &curve) || !(curve > 0.0)) {
    std::swprintf(first, 64, L"DAC at %.1f mm: none", depth / kMm);
    std::swprintf(second, 64, L"echo: no reference");
  } else {
    std::swprintf(first, 64, L"DAC at %.1f mm: %.1f %%", depth / kMm, curve);
    const double echo = (s < 0 || d < 0) ? 0.0 : m_data.Sample(s, d) * (100.0 / 255.0);
    if (echo > 0.0) {
      std::swprintf(second, 64, L"echo %.1f %%: %+.1f dB", echo, 20.0 * std::log10(echo / curve));
    } else {
      std::swprintf(second, 64, L"echo 0.0 %%: no signal");
    }
  }
  bool changed;
  {
    Guard g(this);
    changed = m_lines[0] != first || m_lines[1] != second;
    m_lines[0] = first;
    m_lines[1] = second;
  }
  if (changed) Invalidate();
}

std::wstring DacReadout::GetText() const {
  Guard g(this);
  return m_lines[0] + L"\n" + m_lines[1];
}

void DacReadout::GetVisibleRect(CRect* out) const {
  if (out == nullptr) return;
  Guard g(this);
  *out = CRect(m_rect.left, m_rect.top, m_rect.right, m_rect.top + kBoxHeight);
}

void DacReadout::OnEvent(unsigned id, WPARAM a, LPARAM b) {
  if (id == event_positionChanged) {
    Refresh();
    return;
  }
  CGObject::OnEvent(id, a, b);
}

void DacReadout::OnDraw(CDC* dc, CRect* clip) {
  if (dc == nullptr || clip == nullptr || !IsDrawEnable()) return;
  CRect box;
  GetVisibleRect(&box);
  CRect meet;
  if (!meet.IntersectRect(&box, clip)) return;
  Guard g(this);
  const int saved = dc->SaveDC();
  dc->FillSolidRect(&box, RGB(255, 255, 235));
  LOGFONTW lf{};
  lf.lfHeight = quarlen::ScaleForDpi(13, dc->GetSafeHdc());
  lf.lfWeight = 400;
  lf.lfPitchAndFamily = 0x20;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* oldFont = dc->SelectObject(&font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(RGB(0, 0, 0));
  for (int i = 0; i < 2; ++i) {
    dc->TextOut(box.left + Px(4), box.top + Px(2) + i * kLineHeight, m_lines[i].c_str(),
                static_cast<int>(m_lines[i].size()));
  }
  dc->SelectObject(oldFont);
  dc->RestoreDC(saved);
}

}  // namespace demo
