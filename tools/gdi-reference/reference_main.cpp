// The Windows side of the reference comparison: draws every case through the Windows drawing
// interface into a top-down 32-bit DIB section and writes it as <outdir>/<name>.ppm (binary
// PPM, so this program needs nothing beyond the system libraries). Built with MinGW by
// scripts/gdi-reference and run under a Windows-compatible runtime.
//
// The MFC conveniences a case uses are composed here from the plain calls in the way MFC
// composes them: FillSolidRect makes the colour the background colour (it stays so) and is an
// opaque ExtTextOut of no text; Draw3dRect is four FillSolidRect calls, the right and bottom
// ones with a size of -1, and restores the background colour as the library's CDC does.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/gdi-reference/cases.h"

namespace {

using quarlen::gdiref::Case;

class Win32Painter final : public quarlen::gdiref::Painter {
 public:
  explicit Win32Painter(HDC dc) : m_dc(dc) {}
  ~Win32Painter() override {
    ::SelectObject(m_dc, ::GetStockObject(BLACK_PEN));
    ::SelectObject(m_dc, ::GetStockObject(WHITE_BRUSH));
    for (HGDIOBJ o : m_objects) ::DeleteObject(o);
  }

  void Pen(int style, int width, COLORREF color) override {
    Select(::CreatePen(style, width, color));
  }
  void NullPen() override { ::SelectObject(m_dc, ::GetStockObject(NULL_PEN)); }
  void Brush(COLORREF color) override { Select(::CreateSolidBrush(color)); }
  void HatchBrush(int hatch, COLORREF color) override { Select(::CreateHatchBrush(hatch, color)); }
  void NullBrush() override { ::SelectObject(m_dc, ::GetStockObject(NULL_BRUSH)); }
  void SetBkMode(int mode) override { ::SetBkMode(m_dc, mode); }
  void SetBkColor(COLORREF color) override { ::SetBkColor(m_dc, color); }
  void SetROP2(int mode) override { ::SetROP2(m_dc, mode); }
  void SetBrushOrg(int x, int y) override { ::SetBrushOrgEx(m_dc, x, y, nullptr); }
  void SetViewportOrg(int x, int y) override { ::SetViewportOrgEx(m_dc, x, y, nullptr); }
  void IntersectClipRect(int l, int t, int r, int b) override {
    ::IntersectClipRect(m_dc, l, t, r, b);
  }
  void ExcludeClipRect(int l, int t, int r, int b) override { ::ExcludeClipRect(m_dc, l, t, r, b); }
  void MoveTo(int x, int y) override { ::MoveToEx(m_dc, x, y, nullptr); }
  void LineTo(int x, int y) override { ::LineTo(m_dc, x, y); }
  void Polyline(const POINT* points, int count) override { ::Polyline(m_dc, points, count); }
  void Rectangle(int l, int t, int r, int b) override { ::Rectangle(m_dc, l, t, r, b); }
  void Ellipse(int l, int t, int r, int b) override { ::Ellipse(m_dc, l, t, r, b); }
  void RoundRect(int l, int t, int r, int b, int w, int h) override {
    ::RoundRect(m_dc, l, t, r, b, w, h);
  }
  void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override {
    ::Arc(m_dc, l, t, r, b, xs, ys, xe, ye);
  }
  void FillRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    ::FillRect(m_dc, &rc, static_cast<HBRUSH>(::GetCurrentObject(m_dc, OBJ_BRUSH)));
  }
  void FrameRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    ::FrameRect(m_dc, &rc, static_cast<HBRUSH>(::GetCurrentObject(m_dc, OBJ_BRUSH)));
  }
  void InvertRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    ::InvertRect(m_dc, &rc);
  }
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) override {
    ::SetBkColor(m_dc, color);  // and it stays the background colour afterwards
    const RECT rc{x, y, x + cx, y + cy};
    ::ExtTextOutW(m_dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  }
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) override {
    const COLORREF old = ::GetBkColor(m_dc);
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx, y, -1, cy, bottomRight);
    FillSolidRect(x, y + cy, cx, -1, bottomRight);
    ::SetBkColor(m_dc, old);
  }
  void PatBlt(int x, int y, int w, int h, DWORD rop) override { ::PatBlt(m_dc, x, y, w, h, rop); }
  void BlitStripes(int x, int y, int w, int h, DWORD rop) override {
    using quarlen::gdiref::kSourceSize;
    HDC src = ::CreateCompatibleDC(m_dc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSourceSize;
    info.bmiHeader.biHeight = -kSourceSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(src, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(src, bitmap);
    for (int row = 0; row < kSourceSize; row += 3) {
      ::SetBkColor(src, quarlen::gdiref::SourceStripe(row));
      const RECT rc{0, row, kSourceSize, row + 3};
      ::ExtTextOutW(src, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    }
    ::BitBlt(m_dc, x, y, w, h, src, 1, 1, rop);
    ::SelectObject(src, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(src);
  }
  void SetPixel(int x, int y, COLORREF color) override { ::SetPixel(m_dc, x, y, color); }
  void DrawFocusRect(int l, int t, int r, int b) override {
    const RECT rc{l, t, r, b};
    ::DrawFocusRect(m_dc, &rc);
  }
  void DrawEdge(int l, int t, int r, int b, UINT edge, UINT flags) override {
    RECT rc{l, t, r, b};
    ::DrawEdge(m_dc, &rc, edge, flags);
  }
  void DrawFrameControl(int l, int t, int r, int b, UINT type, UINT state) override {
    RECT rc{l, t, r, b};
    ::DrawFrameControl(m_dc, &rc, type, state);
  }

 private:
  void Select(HGDIOBJ object) {
    ::SelectObject(m_dc, object);
    m_objects.push_back(object);
  }

  HDC m_dc;
  std::vector<HGDIOBJ> m_objects;
};

bool WritePpm(const std::string& path, const unsigned* bits, int w, int h) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  std::vector<unsigned char> row(size_t(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned p = bits[size_t(y) * w + x];  // 0x00RRGGBB
      row[size_t(x) * 3] = (p >> 16) & 0xFF;
      row[size_t(x) * 3 + 1] = (p >> 8) & 0xFF;
      row[size_t(x) * 3 + 2] = p & 0xFF;
    }
    std::fwrite(row.data(), 1, row.size(), f);
  }
  return std::fclose(f) == 0;
}

bool DrawCase(const Case& c, const std::string& outDir) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = c.width;
  info.bmiHeader.biHeight = -c.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !bitmap || !bits) return false;
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::PatBlt(dc, 0, 0, c.width, c.height, WHITENESS);
  {
    Win32Painter painter(dc);
    c.draw(painter);
  }
  ::GdiFlush();
  const bool ok = WritePpm(outDir + "/" + c.name + ".ppm", static_cast<const unsigned*>(bits),
                           c.width, c.height);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string outDir = argc > 1 ? argv[1] : ".";
  // Frames and edges in the library's system colours.
  std::vector<int> indices;
  std::vector<COLORREF> colours;
  for (size_t k = 0; k < quarlen::gdiref::SystemColourCount(); ++k) {
    indices.push_back(quarlen::gdiref::SystemColours()[k].index);
    colours.push_back(quarlen::gdiref::SystemColours()[k].color);
  }
  if (!::SetSysColors(int(indices.size()), indices.data(), colours.data()))
    std::fprintf(stderr, "warning: the system colours could not be set\n");
  int failed = 0;
  for (size_t k = 0; k < quarlen::gdiref::CaseCount(); ++k) {
    const Case& c = quarlen::gdiref::Cases()[k];
    if (!DrawCase(c, outDir)) {
      std::fprintf(stderr, "%s: could not draw or write\n", c.name);
      ++failed;
    }
  }
  std::printf("%zu cases drawn, %d failed\n", quarlen::gdiref::CaseCount(), failed);
  return failed ? 1 : 0;
}
