// Windows, drawing and input on a screen whose device-pixel ratio is the scale factor the suite
// runs with (QT_SCALE_FACTOR, 1 when unset): surfaces hold device pixels and are shown one to
// one, sizes and positions are device pixels, the library's own fonts and hit distances grow
// with the DPI, and at 96 DPI everything is as it always was.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <vector>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "cursors/adjustable_curve.h"
#include "cursors/graphic_cursor.h"
#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "platform/dc.h"
#include "platform/dpi.h"
#include "platform/window.h"
#include "platform/window_dc.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"
#include "tests/support/window_recorder.h"

using quarlen::test::PixelAt;
using quarlen::test::PumpUntilIdle;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The device-pixel ratio the suite was started with.
int Scale() {
  const int s = qEnvironmentVariableIntValue("QT_SCALE_FACTOR");
  return s > 0 ? s : 1;
}

QWidget* WidgetOf(CWnd& w) { return w.GetWidget(); }

// ---- Resolution ------------------------------------------------------------------------------

struct DpiCase {
  const char* name;
  int (*ask)(HWND window);
};
const DpiCase kDpiCases[] = {
    {"screen DC, LOGPIXELSX",
     [](HWND) {
       HDC dc = ::GetDC(nullptr);
       const int v = ::GetDeviceCaps(dc, LOGPIXELSX);
       ::ReleaseDC(nullptr, dc);
       return v;
     }},
    {"window DC, LOGPIXELSY",
     [](HWND w) {
       HDC dc = ::GetDC(w);
       const int v = ::GetDeviceCaps(dc, LOGPIXELSY);
       ::ReleaseDC(w, dc);
       return v;
     }},
    {"memory DC compatible with the window's",
     [](HWND w) {
       HDC dc = ::GetDC(w);
       HDC mem = ::CreateCompatibleDC(dc);
       const int v = ::GetDeviceCaps(mem, LOGPIXELSY);
       ::DeleteDC(mem);
       ::ReleaseDC(w, dc);
       return v;
     }},
    {"memory DC of the screen",
     [](HWND) {
       CDC mem;
       mem.CreateCompatibleDC(nullptr);
       return mem.GetDeviceCaps(LOGPIXELSX);
     }},
    {"GetDpiForWindow", [](HWND w) { return static_cast<int>(::GetDpiForWindow(w)); }},
    {"GetDpiForSystem", [](HWND) { return static_cast<int>(::GetDpiForSystem()); }},
};

TEST(HighDpi, EveryTargetReportsTheScreensDpi) {
  CRecorderWnd w;
  ASSERT_TRUE(w.CreateTop({0, 0, 40, 30}));
  PumpUntilIdle();
  for (const DpiCase& c : kDpiCases) EXPECT_EQ(c.ask(w.m_hWnd), 96 * Scale()) << c.name;
}

struct ScaleCase {
  const char* name;
  int px, dpi, expected;
};
const ScaleCase kScaleCases[] = {
    {"96 DPI keeps the length", 14, 96, 14},
    {"192 DPI doubles it", 14, 192, 28},
    {"144 DPI rounds half away from zero", 5, 144, 8},
    {"negative font heights scale too", -11, 192, -22},
    {"no DPI keeps the length", 7, 0, 7},
    {"huge lengths saturate", 2000000000, 192, 2147483647},
};

TEST(HighDpi, ScaleForDpiScalesLengthsGivenAt96Dpi) {
  for (const ScaleCase& c : kScaleCases)
    EXPECT_EQ(quarlen::ScaleForDpi(c.px, c.dpi), c.expected) << c.name;
  EXPECT_EQ(quarlen::ScaleForDpi(6, static_cast<HWND>(nullptr)), 6);  // bad handle: as given
  EXPECT_EQ(::MulDiv(7, 3, 0), -1);
}

// ---- Window geometry ---------------------------------------------------------------------------

struct SizeCase {
  const char* name;
  CRect rect;  // device pixels in the frame's client area
};
const SizeCase kSizeCases[] = {
    {"even size", CRect(10, 20, 210, 120)},
    {"odd size keeps every device pixel", CRect(3, 5, 104, 56)},
    {"one pixel", CRect(0, 0, 1, 1)},
};

TEST(HighDpi, WindowSizesAndSurfacesAreDevicePixels) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 400, 300),
                           nullptr, 0));
  for (const SizeCase& c : kSizeCases) {
    SCOPED_TRACE(c.name);
    CRecorderWnd w;
    ASSERT_TRUE(w.CreateChild(&frame, {0, 0, 50, 50}));
    w.MoveWindow(&c.rect);
    PumpUntilIdle();  // Qt's resize events come back in logical pixels
    CRect client;
    w.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, c.rect.Width(), c.rect.Height()));
    const QImage pixels = quarlen::test::WindowPixels(w.m_hWnd);
    EXPECT_EQ(pixels.size(), QSize(c.rect.Width(), c.rect.Height()));
    const Received* size = w.Last(WM_SIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(LOWORD(size->lParam), c.rect.Width());
    EXPECT_EQ(HIWORD(size->lParam), c.rect.Height());
    // Qt lays the widget out at the logical size.
    EXPECT_NEAR(WidgetOf(w)->width() * Scale(), c.rect.Width(), Scale());
    EXPECT_NEAR(WidgetOf(w)->height() * Scale(), c.rect.Height(), Scale());
    // Screen coordinates are device pixels as well: the client origin is the child's position
    // in the frame's client area.
    CPoint origin(0, 0), frameOrigin(0, 0);
    w.ClientToScreen(&origin);
    frame.ClientToScreen(&frameOrigin);
    EXPECT_NEAR(origin.x - frameOrigin.x, c.rect.left, Scale() - 1);
    EXPECT_NEAR(origin.y - frameOrigin.y, c.rect.top, Scale() - 1);
    CPoint back = origin;
    w.ScreenToClient(&back);
    EXPECT_EQ(back, CPoint(0, 0));
  }
}

// ---- Shown sharp -------------------------------------------------------------------------------

// Paints white with one black pixel-wide line across and one down.
class CLinesWnd : public CWnd {
 public:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, kWhite);
    CPen pen(PS_SOLID, 0, kBlack);
    CPen* old = dc.SelectObject(&pen);
    dc.MoveTo(kColumn, 0);
    dc.LineTo(kColumn, rc.bottom);
    dc.MoveTo(0, kRow);
    dc.LineTo(rc.right, kRow);
    dc.SelectObject(old);
  }
  static constexpr int kColumn = 21, kRow = 10;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLinesWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(HighDpi, OnePixelLinesAreOneScreenPixelWideWithNoGreyNeighbours) {
  CLinesWnd w;
  ASSERT_TRUE(
      w.Create(nullptr, L"lines", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 64, 32), nullptr, 0));
  PumpUntilIdle();
  // What Qt shows: the widget rendered at the screen's resolution.
  const QImage shown = WidgetOf(w)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(64, 32));
  int wrong = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      const bool line = x == CLinesWnd::kColumn || y == CLinesWnd::kRow;
      const QRgb expected = line ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
      if ((shown.pixel(x, y) & 0xFFFFFFu) != (expected & 0xFFFFFFu)) ++wrong;
      // The screen shows exactly what the surface holds.
      if ((shown.pixel(x, y) & 0xFFFFFFu) != (PixelAt(w.m_hWnd, x, y) == kBlack ? 0u : 0xFFFFFFu))
        ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  if (wrong) quarlen::test::SaveImage(shown, "shown");
  quarlen::test::SavePixelsIfFailed(w.m_hWnd, "surface");
}

// ---- Fonts -------------------------------------------------------------------------------------

// Width of the band of columns in `area` that hold pixels of colour c.
template <class PixelOf>
int InkColumns(QRect area, COLORREF c, PixelOf pixel) {
  int first = -1, last = -1;
  for (int x = area.left(); x <= area.right(); ++x) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      if (pixel(x, y) == c) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return first < 0 ? 0 : last - first + 1;
}

// Cell height and the ink width of a "0" in the ruler views' face at a given pixel height, drawn
// on a plain bitmap with the height as it stands.
struct Zero {
  LONG cell = 0;
  int ink = 0;
};
Zero ZeroAt(int height) {
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  CBitmap bm;
  bm.CreateBitmap(100, 100, 1, 32, nullptr);
  CBitmap* oldBm = mem.SelectObject(&bm);
  mem.FillSolidRect(0, 0, 100, 100, kWhite);
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = DRAFT_QUALITY;
  lf.lfPitchAndFamily = FF_SWISS;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* oldFont = mem.SelectObject(&font);
  TEXTMETRICW tm{};
  mem.GetTextMetrics(&tm);
  mem.SetTextColor(kBlue);
  mem.SetBkMode(TRANSPARENT);
  mem.TextOut(4, 4, L"0", 1);
  Zero z;
  z.cell = tm.tmHeight;
  z.ink =
      InkColumns(QRect(0, 0, 100, 100), kBlue, [&](int x, int y) { return mem.GetPixel(x, y); });
  mem.SelectObject(oldFont);
  mem.SelectObject(oldBm);
  return z;
}

class HighDpiViews : public quarlen::test::EventServiceFixture {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    scanAxis.Create(L"Scan", std_distance, 0.0, 100.0);
    indexAxis.Create(L"Index", std_distance, 0.0, 80.0);
    xr.Create(L"Scan", &scanAxis, 0.0, 0);
    yr.Create(L"Index", &indexAxis, 0.0, 0);
    frame = std::make_unique<CFrameWnd>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE,
                  CRect(0, 0, 400 * Scale(), 300 * Scale()), nullptr, 0);
    ASSERT_TRUE(quarlen::test::SettleEvents());
  }
  void TearDown() override {
    frame.reset();
    PumpUntilIdle();
    EventServiceFixture::TearDown();
  }
  CAxe scanAxis, indexAxis;
  CRuler xr, yr;
  std::unique_ptr<CFrameWnd> frame;
};

TEST_F(HighDpiViews, RulerLabelsGrowWithTheDpi) {
  const int k = Scale();
  CUnit base;
  CGRulerHoriz ruler;
  CRect r(0, 0, 300 * k, 40 * k);  // tall enough for whole labels
  ruler.SetTextColor(kBlue);
  ruler.Create(frame.get(), &xr, 1, &r);
  ruler.SetPosition(&r);
  ruler.SetDisplayUnit(&base, 1);
  ASSERT_TRUE(quarlen::test::SettleEvents());
  // The face is 14 pixels tall at 96 DPI; on this screen it is as tall as 14 x the ratio, and
  // the first label, "0", is as wide as a "0" of that font.
  const Zero expected = ZeroAt(14 * k);
  EXPECT_EQ(ruler.GetTextMetrics().tmHeight, expected.cell);
  const int ink = InkColumns(QRect(0, 0, 10 * k, r.Height()), kBlue,
                             [&](int x, int y) { return PixelAt(ruler.GetSafeHwnd(), x, y); });
  EXPECT_NEAR(ink, expected.ink, 1);
  if (k > 1) {
    EXPECT_GE(ink, (ZeroAt(14).ink * k * 8) / 10);  // really grown, not the 96 DPI size
  }
  quarlen::test::SavePixelsIfFailed(ruler.GetSafeHwnd(), "ruler");
}

// ---- Input -------------------------------------------------------------------------------------

struct PointCase {
  const char* name;
  POINT client;  // device pixels
};
const PointCase kPointCases[] = {
    {"origin", {0, 0}},
    {"even point", {40, 22}},
    {"odd point between two logical pixels", {41, 23}},
    {"far corner", {99, 79}},
};

TEST_F(HighDpiViews, MouseMessagesCarryDevicePixels) {
  CRecorderWnd w;
  ASSERT_TRUE(w.CreateChild(frame.get(), {10, 10, 110, 90}));
  PumpUntilIdle();
  for (const PointCase& c : kPointCases) {
    quarlen::test::MouseMove(w.m_hWnd, c.client);
    PumpUntilIdle();
    const Received* move = w.Last(WM_MOUSEMOVE);
    ASSERT_NE(move, nullptr) << c.name;
    EXPECT_EQ(
        CPoint(static_cast<short>(LOWORD(move->lParam)), static_cast<short>(HIWORD(move->lParam))),
        CPoint(c.client))
        << c.name;
    POINT screen{};
    ::GetCursorPos(&screen);
    w.ScreenToClient(&screen);
    EXPECT_EQ(CPoint(screen), CPoint(c.client)) << c.name;
  }
}

struct DragCase {
  const char* name;
  int from, to;  // device columns at 96 DPI of the press (on the line) and of the release
  int odd;       // added at a higher ratio: a column between two logical pixels
};
const DragCase kDragCases[] = {
    {"to the right", 30, 60, 1},
    {"to the left", 30, 8, 1},
    {"to the first column", 50, 0, 0},
};

TEST_F(HighDpiViews, DraggedCursorLandsWhereThePointerIs) {
  const int k = Scale();
  CGOContainer view;
  ASSERT_TRUE(view.Create(frame.get(), 7, &xr, &yr, 1, 1));
  view.SetBackgroundColor(kWhite);
  view.MoveWindow(0, 0, 100 * k, 80 * k);
  view.ShowWindow(SW_SHOW);
  CPosition pos;
  pos.Create(L"ref", &scanAxis, 30.0 / k, 0);
  CGCursor cursor;
  cursor.Create(&pos);
  cursor.SetColor(kRed);
  view.AddDynamic(&cursor, CGOContainer::top);
  ASSERT_TRUE(quarlen::test::SettleEvents());
  const HWND h = view.GetSafeHwnd();
  const int row = 40 * k;
  for (const DragCase& d : kDragCases) {
    SCOPED_TRACE(d.name);
    const struct { int from, to; } c{d.from * k, d.to * k + (k > 1 ? d.odd : 0)};
    pos.SetValue(cursor.GetXScale()->PixelToPos(c.from), 1);
    ASSERT_TRUE(quarlen::test::SettleEvents());
    ASSERT_EQ(PixelAt(h, c.from, row), kRed);
    quarlen::test::MousePress(h, {c.from, row});
    quarlen::test::MouseMove(h, {(c.from + c.to) / 2, row});
    quarlen::test::MouseMove(h, {c.to, row});
    quarlen::test::MouseRelease(h, {c.to, row});
    ASSERT_TRUE(quarlen::test::SettleEvents());
    EXPECT_DOUBLE_EQ(pos.GetValue(), cursor.GetXScale()->PixelToPos(c.to));
    std::vector<int> red;
    for (int x = 0; x < 100 * k; ++x)
      if (PixelAt(h, x, row) == kRed) red.push_back(x);
    EXPECT_EQ(red, std::vector<int>{c.to});
  }
  // The library's own pick distance is meant for the hand: 5 pixels at 96 DPI. What the
  // application sets is taken as it stands.
  EXPECT_EQ(cursor.GetPickPrecision(), CSize(5 * k, 5 * k));
  cursor.SetPickPrecision(CSize(3, 4));
  EXPECT_EQ(cursor.GetPickPrecision(), CSize(3, 4));
  quarlen::test::SavePixelsIfFailed(h, "view");
  view.RemoveAll();
}

// A curve's points are discs 7 pixels across at 96 DPI; they keep that size to the eye.
TEST_F(HighDpiViews, CurveDiscsGrowWithTheDpi) {
  const int k = Scale();
  CGOContainer view;
  ASSERT_TRUE(view.Create(frame.get(), 8, &xr, &yr, 1, 1));
  view.SetBackgroundColor(kWhite);
  view.MoveWindow(0, 0, 100 * k, 80 * k);
  view.ShowWindow(SW_SHOW);
  CAdjustableCurve curve;
  curve.SetColor(kRed);
  view.AddDynamic(&curve, CGOContainer::top);
  std::vector<stPoint> one{stPoint(50.0, 40.0)};  // one point: its disc and no segment
  curve.SetPoints(one);
  ASSERT_TRUE(quarlen::test::SettleEvents());
  const HWND h = view.GetSafeHwnd();
  const QRect all(0, 0, 100 * k, 80 * k);
  const auto pixel = [&](int x, int y) { return PixelAt(h, x, y); };
  EXPECT_EQ(InkColumns(all, kRed, pixel), 2 * (3 * k) + 1);  // reaches 3 x the ratio each way
  quarlen::test::SavePixelsIfFailed(h, "curve");
  view.RemoveAll();
}

}  // namespace
