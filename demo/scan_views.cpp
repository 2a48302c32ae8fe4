#include "demo/scan_views.h"

#include <algorithm>
#include <vector>

#include "axis/scale_converter.h"
#include "axis/position.h"
#include "notify/event_service.h"
#include "platform/dc.h"
#include "platform/gdi.h"

namespace demo {

void BScanImage::OnDraw(CDC* dc, CRect* clip) {
  CRect r;
  if (!r.IntersectRect(clip, &m_rect)) return;
  CSC* xs = GetXScale();
  CSC* ys = GetYScale();
  const View view{m_rect,
                  xs->PixelToPos(m_rect.left),
                  xs->PixelToPos(m_rect.right),
                  ys->PixelToPos(m_rect.top),
                  ys->PixelToPos(m_rect.bottom),
                  m_data.Line()};
  if (!m_image || !(view == m_view)) Render(view);
  if (!m_image) return;
  CDC mem;
  mem.CreateCompatibleDC(dc);
  CBitmap* old = mem.SelectObject(m_image.get());
  dc->BitBlt(r.left, r.top, r.Width(), r.Height(), &mem, r.left - m_rect.left, r.top - m_rect.top,
             SRCCOPY);
  mem.SelectObject(old);
}

void BScanImage::Render(const View& view) {
  const CRect& r = view.rect;
  const int w = r.Width(), h = r.Height();
  CSC* xs = GetXScale();
  CSC* ys = GetYScale();
  // Sample indices of every column and row, then one table look-up per pixel.
  std::vector<int> columns(w), rows(h);
  for (int x = 0; x < w; ++x) columns[x] = m_data.ScanIndex(xs->PixelToPos(r.left + x));
  for (int y = 0; y < h; ++y) rows[y] = m_data.DepthIndex(ys->PixelToPos(r.top + y));
  const std::uint32_t* palette = Palette();
  constexpr std::uint32_t kOutside = 0xFFC0C0C0u;
  // Each pixel is written once, into a buffer kept from the last rendering; a bitmap of the
  // same size takes the new pixels in place, so a zoom allocates and clears nothing.
  m_pixels.resize(std::size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    std::uint32_t* line = &m_pixels[std::size_t(y) * w];
    if (rows[y] < 0) {
      std::fill(line, line + w, kOutside);
      continue;
    }
    const std::uint8_t* samples = m_data.DepthRow(view.line, rows[y]);
    for (int x = 0; x < w; ++x) line[x] = columns[x] >= 0 ? palette[samples[columns[x]]] : kOutside;
  }
  const DWORD bytes = DWORD(m_pixels.size() * 4);
  if (!m_image || m_image->GetBitmapDimension() != CSize(w, h) ||
      m_image->SetBitmapBits(bytes, m_pixels.data()) != bytes) {
    m_image = std::make_unique<CBitmap>();
    if (!m_image->CreateBitmap(w, h, 1, 32, m_pixels.data())) m_image.reset();
  }
  m_view = view;
}

AScanTrace::AScanTrace(const SyntheticBScan& data, CPosition* scanPosition)
    : m_data(data), m_position(scanPosition), m_scan(scanPosition->GetValue()) {
  // Same registration as the library's cursors: delayed delivery of the position's changes.
  m_client = event_RegisterClient(reinterpret_cast<std::uintptr_t>(this), nullptr,
                                  &CGObject::EventCallback, event_kindCallback4);
  if (m_client != 0) {
    event_RegisterEvent(event_positionChanged, m_client, event_libraryControl, 0,
                        scanPosition->GetID(), 0, event_any);
  }
}

AScanTrace::~AScanTrace() {
  if (m_client != 0) event_UnregisterClient(m_client);
}

void AScanTrace::OnEvent(unsigned id, WPARAM a, LPARAM b) {
  if (id == event_positionChanged && a == m_position->GetID()) {
    m_scan = m_position->GetValue();
    InvalidateAll();  // sends 1618 to the container, which repaints the trace
    return;
  }
  CGObject::OnEvent(id, a, b);
}

void AScanTrace::OnDraw(CDC* dc, CRect* clip) {
  dc->FillSolidRect(clip, RGB(255, 255, 255));
  const int s = m_data.ScanIndex(m_scan.load());
  if (s < 0) return;
  CSC* xs = GetXScale();
  CSC* ys = GetYScale();
  std::vector<POINT> line;
  line.reserve(m_rect.Height());
  for (int y = m_rect.top; y < m_rect.bottom; ++y) {
    const int d = m_data.DepthIndex(ys->PixelToPos(y));
    const double percent = d < 0 ? 0.0 : m_data.Sample(s, d) * (100.0 / 255.0);
    line.push_back({xs->PosToPixel(percent), y});
  }
  CPen pen(PS_SOLID, 1, RGB(0, 60, 200));
  CPen* old = dc->SelectObject(&pen);
  dc->Polyline(line.data(), static_cast<int>(line.size()));
  dc->SelectObject(old);
}

void StripNumCursor::InvalidateNewPos(double value) { InvalidateLineAndBox(value); }

}  // namespace demo
