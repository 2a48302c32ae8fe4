#include "tools/gdi-reference/cdc_painter.h"

#include <QPainter>
#include <algorithm>
#include <mutex>
#include <memory>
#include <vector>

#include "platform/dc.h"
#include "platform/detail/surface.h"

namespace quarlen::gdiref {
namespace {

class CdcPainter final : public Painter {
 public:
  explicit CdcPainter(CDC& dc) : m_dc(dc) {}
  ~CdcPainter() override {
    m_dc.SelectStockObject(BLACK_PEN);
    m_dc.SelectStockObject(WHITE_BRUSH);
  }

  void Pen(int style, int width, COLORREF color) override {
    auto pen = std::make_unique<CPen>(style, width, color);
    m_dc.SelectObject(pen.get());
    m_objects.push_back(std::move(pen));
  }
  void NullPen() override { m_dc.SelectStockObject(NULL_PEN); }
  void Brush(COLORREF color) override {
    auto brush = std::make_unique<CBrush>(color);
    m_dc.SelectObject(brush.get());
    m_objects.push_back(std::move(brush));
  }
  void HatchBrush(int hatch, COLORREF color) override {
    auto brush = std::make_unique<CBrush>(hatch, color);
    m_dc.SelectObject(brush.get());
    m_objects.push_back(std::move(brush));
  }
  void NullBrush() override { m_dc.SelectStockObject(NULL_BRUSH); }
  void SetBkMode(int mode) override { m_dc.SetBkMode(mode); }
  void SetBkColor(COLORREF color) override { m_dc.SetBkColor(color); }
  void SetROP2(int mode) override { m_dc.SetROP2(mode); }
  void SetBrushOrg(int x, int y) override { m_dc.SetBrushOrg(x, y); }
  void SetViewportOrg(int x, int y) override { m_dc.SetViewportOrg(x, y); }
  void IntersectClipRect(int l, int t, int r, int b) override {
    m_dc.IntersectClipRect(l, t, r, b);
  }
  void ExcludeClipRect(int l, int t, int r, int b) override { m_dc.ExcludeClipRect(l, t, r, b); }
  void MoveTo(int x, int y) override { m_dc.MoveTo(x, y); }
  void LineTo(int x, int y) override { m_dc.LineTo(x, y); }
  void Polyline(const POINT* points, int count) override { m_dc.Polyline(points, count); }
  void Rectangle(int l, int t, int r, int b) override { m_dc.Rectangle(l, t, r, b); }
  void Ellipse(int l, int t, int r, int b) override { m_dc.Ellipse(l, t, r, b); }
  void RoundRect(int l, int t, int r, int b, int w, int h) override {
    m_dc.RoundRect(l, t, r, b, w, h);
  }
  void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override {
    m_dc.Arc(l, t, r, b, xs, ys, xe, ye);
  }
  void FillRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    m_dc.FillRect(&rc, m_dc.GetCurrentBrush());
  }
  void FrameRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    m_dc.FrameRect(&rc, m_dc.GetCurrentBrush());
  }
  void InvertRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    m_dc.InvertRect(&rc);
  }
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) override {
    m_dc.FillSolidRect(x, y, cx, cy, color);
  }
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) override {
    const RECT rc{x, y, x + cx, y + cy};
    m_dc.Draw3dRect(&rc, topLeft, bottomRight);
  }
  void PatBlt(int x, int y, int w, int h, DWORD rop) override { m_dc.PatBlt(x, y, w, h, rop); }
  void BlitStripes(int x, int y, int w, int h, DWORD rop) override {
    CDC src;
    src.CreateCompatibleDC(&m_dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&m_dc, kSourceSize, kSourceSize);
    CBitmap* old = src.SelectObject(&bitmap);
    for (int row = 0; row < kSourceSize; row += 3)
      src.FillSolidRect(0, row, kSourceSize, 3, SourceStripe(row));
    m_dc.BitBlt(x, y, w, h, &src, 1, 1, rop);
    src.SelectObject(old);
  }
  void SetPixel(int x, int y, COLORREF color) override { m_dc.SetPixel(x, y, color); }
  void DrawFocusRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    m_dc.DrawFocusRect(&rc);
  }
  void DrawEdge(int l, int t, int r, int b, UINT edge, UINT flags) override {
    RECT rc{l, t, r, b};
    m_dc.DrawEdge(&rc, edge, flags);
  }
  void DrawFrameControl(int l, int t, int r, int b, UINT type, UINT state) override {
    RECT rc{l, t, r, b};
    m_dc.DrawFrameControl(&rc, type, state);
  }

 private:
  CDC& m_dc;
  std::vector<std::unique_ptr<CGdiObject>> m_objects;  // outlive their selection
};

}  // namespace

QImage DrawWithCdc(const Case& c) {
  auto surface = detail::MakeSurface(c.width, c.height, 0xFFFFFFFFu);
  {
    CDC dc;
    dc.AttachSurface(surface, QRegion(0, 0, c.width, c.height));
    {
      CdcPainter painter(dc);
      c.draw(painter);
    }
    dc.DetachSurface();
  }
  std::lock_guard g(surface->lock);
  return surface->image.copy();
}

int DifferingPixels(const QImage& reference, const QImage& ours) {
  if (reference.size() != ours.size()) return reference.width() * reference.height();
  const QImage a = reference.convertToFormat(QImage::Format_RGB32);
  const QImage b = ours.convertToFormat(QImage::Format_RGB32);
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      if ((ra[x] & 0xFFFFFFu) != (rb[x] & 0xFFFFFFu)) ++count;
  }
  return count;
}

QImage SideBySide(const QImage& reference, const QImage& ours, int zoom) {
  const QImage a = reference.convertToFormat(QImage::Format_RGB32);
  const QImage b = ours.convertToFormat(QImage::Format_RGB32);
  const int w = std::max(a.width(), b.width()), h = std::max(a.height(), b.height());
  QImage diff(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool inA = x < a.width() && y < a.height(), inB = x < b.width() && y < b.height();
      const QRgb pa = inA ? a.pixel(x, y) : 0xFF000000u, pb = inB ? b.pixel(x, y) : 0xFF000000u;
      if (!inA || !inB || (pa & 0xFFFFFFu) != (pb & 0xFFFFFFu)) {
        diff.setPixel(x, y, qRgb(255, 0, 255));
      } else {
        // A pale copy: three quarters of the way to white.
        diff.setPixel(x, y, qRgb(191 + qRed(pa) / 4, 191 + qGreen(pa) / 4, 191 + qBlue(pa) / 4));
      }
    }
  const int gap = 2 * zoom;
  QImage out(3 * w * zoom + 2 * gap, h * zoom, QImage::Format_RGB32);
  out.fill(qRgb(96, 96, 96));
  QPainter painter(&out);
  int x = 0;
  for (const QImage* image : {&a, &b, static_cast<const QImage*>(&diff)}) {
    painter.drawImage(QRect(x, 0, image->width() * zoom, image->height() * zoom), *image);
    x += w * zoom + gap;
  }
  return out;
}

QString SystemColourMismatches() {
  QString out;
  for (std::size_t k = 0; k < SystemColourCount(); ++k) {
    const SystemColour& s = SystemColours()[k];
    const DWORD actual = GetSysColor(s.index);
    if (actual != s.color)
      out += QString("%1:%2/%3 ")
                 .arg(s.index)
                 .arg(s.color, 6, 16, QChar('0'))
                 .arg(actual, 6, 16, QChar('0'));
  }
  return out.trimmed();
}

}  // namespace quarlen::gdiref
