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
  // The rendering is kept in a bitmap of the view's size. It is written a band of rows at a
  // time: each pixel once into a small kept buffer, which a kept band bitmap takes in place and
  // copies on while it is still in the cache. So a zoom allocates and clears nothing, and holds
  // no second full-size image.
  constexpr int kBandRows = 64;
  const int bandRows = std::min(kBandRows, h);
  if (!Reuse(m_image, w, h) || !Reuse(m_band, w, bandRows)) {
    m_image.reset();
    return;
  }
  m_bandPixels.resize(std::size_t(w) * bandRows);
  CDC image, band;
  image.CreateCompatibleDC(nullptr);
  band.CreateCompatibleDC(nullptr);
  CBitmap* oldImage = image.SelectObject(m_image.get());
  CBitmap* oldBand = band.SelectObject(m_band.get());
  for (int top = 0; top < h; top += bandRows) {
    const int n = std::min(bandRows, h - top);
    for (int y = 0; y < n; ++y) {
      std::uint32_t* line = &m_bandPixels[std::size_t(y) * w];
      const int row = rows[top + y];
      if (row < 0) {
        std::fill(line, line + w, kOutside);
        continue;
      }
      const std::uint8_t* samples = m_data.DepthRow(view.line, row);
      for (int x = 0; x < w; ++x)
        line[x] = columns[x] >= 0 ? palette[samples[columns[x]]] : kOutside;
    }
    m_band->SetBitmapBits(DWORD(std::size_t(w) * n * 4), m_bandPixels.data());
    image.BitBlt(0, top, w, n, &band, 0, 0, SRCCOPY);
  }
  band.SelectObject(oldBand);
  image.SelectObject(oldImage);
  m_view = view;
}

bool BScanImage::Reuse(std::unique_ptr<CBitmap>& bitmap, int width, int height) {
  if (bitmap && bitmap->GetBitmapDimension() == CSize(width, height)) return true;
  bitmap = std::make_unique<CBitmap>();
  return bitmap->CreateBitmap(width, height, 1, 32, nullptr) != FALSE;
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
