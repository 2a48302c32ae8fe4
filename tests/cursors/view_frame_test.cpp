// The view frame: its parts sit where the five windows of a hand-assembled view sit, and each
// part's pixels equal the hand-assembled window's, also after the frame was resized by
// MoveWindow or by the Qt layout that holds it; once more on an X server under Xvfb, where the
// screen shows the same pixels.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <string>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "cursors/view_frame.h"
#include "graphics/grid.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

using quarlen::test::SettleEvents;
using quarlen::test::WindowPixels;

constexpr double kMillimetre = 0.001;
constexpr COLORREF kBackground = RGB(250, 250, 240);
constexpr COLORREF kGridColour = RGB(0, 0, 200);

struct Geometry {
  CRect container, horizView, vertiView, horizBar, vertiBar;  // empty: no such part
};

// Five windows made and configured one by one, as an application without the frame does.
struct HandAssembled {
  HandAssembled(CWnd* parent, const CSize& size, const Geometry& g, CRuler* x, CRuler* y,
                CUnit* xUnit, CUnit* yUnit) {
    panel.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, size.cx, size.cy), parent, 9);
    view.Create(&panel, 1, x, y, gocont_growRight, gocont_growDown);
    view.MoveWindow(&g.container);
    view.SetBackgroundColor(kBackground);
    CRect h = g.horizView, v = g.vertiView;
    horiz.Create(&panel, x, gruler_growRight, &h);
    horiz.SetPosition(&h);
    verti.Create(&panel, y, gruler_growDown, &v);
    verti.SetPosition(&v);
    auto makeBar = [&](CZoomBar& bar, const CRect& r, int horizontal, CRuler* ruler) {
      if (r.IsRectEmpty()) return;
      bar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, r, &panel, 4);
      bar.SetHorizontal(horizontal);
      bar.SetRuler(ruler);
    };
    makeBar(horizBar, g.horizBar, 1, x);
    makeBar(vertiBar, g.vertiBar, 0, y);
    view.SetGraphicalRuler(&horiz, &verti);
    view.ShowWindow(SW_SHOW);
    horiz.SetDisplayUnit(xUnit, 1);
    verti.SetDisplayUnit(yUnit, 1);
    double lo = 0.0, hi = 0.0;
    x->GetLimits(lo, hi);
    if (horizBar.m_hWnd) horizBar.SetDisplayFormat(lo, hi, xUnit);
    y->GetLimits(lo, hi);
    if (vertiBar.m_hWnd) vertiBar.SetDisplayFormat(lo, hi, yUnit);
  }
  ~HandAssembled() {
    view.SetGraphicalRuler(nullptr, nullptr);
    view.RemoveAll();
  }
  CWnd panel;
  CGOContainer view;
  CGRulerHoriz horiz;
  CGRulerVerti verti;
  CZoomBar horizBar, vertiBar;
};

// A part's rectangle in its parent's client coordinates.
CRect PlaceOf(CWnd& part) {
  if (part.m_hWnd == nullptr) return CRect(0, 0, 0, 0);
  CRect r;
  part.GetWindowRect(&r);
  part.GetParent()->ScreenToClient(&r);
  return r;
}

struct FrameCase {
  const char* name;
  UINT parts;
  CSize created;  // the frame's size at Create
  CSize shown;    // its size when compared (MoveWindow in between when it differs)
  Geometry expected;
};

class ViewFrame : public quarlen::test::EventServiceFixture {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    metre.SetUnitType(unit_distance, unit_dataMeter);
    xr.Set(0.0, 100 * kMillimetre, 0);
    yr.Set(0.0, 40 * kMillimetre, 0);
    top = std::make_unique<CFrameWnd>();
    top->Create(nullptr, L"top", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 600, 500), nullptr, 0);
  }
  void TearDown() override {
    top.reset();
    ASSERT_TRUE(SettleEvents());
    EventServiceFixture::TearDown();
  }

  void Configure(CGOViewFrame& f) {
    f.SetDisplayUnits(&millimetre, &millimetre);
    f.GetContainer()->SetBackgroundColor(kBackground);
    Decorate(*f.GetContainer(), *f.GetHorizView(), *f.GetVertiView(), frameGrid);
  }
  static void Decorate(CGOContainer& c, CGRulerHoriz& h, CGRulerVerti& v, CGGrid& grid) {
    grid.SetColor(kGridColour);
    c.Add(&grid, CGOContainer::top);
    h.SetGrid(&grid);
    v.SetGrid(&grid);
  }

  // Each part of the frame against the window of the hand-assembled view.
  void ExpectSameAs(CGOViewFrame& f, HandAssembled& hand, const Geometry& g) {
    struct Part {
      const char* name;
      CWnd* framed;
      CWnd* assembled;
      CRect expected;
    };
    const Part parts[] = {
        {"container", f.GetContainer(), &hand.view, g.container},
        {"horizontal ruler view", f.GetHorizView(), &hand.horiz, g.horizView},
        {"vertical ruler view", f.GetVertiView(), &hand.verti, g.vertiView},
        {"horizontal zoom bar", f.GetHorizBar(), &hand.horizBar, g.horizBar},
        {"vertical zoom bar", f.GetVertiBar(), &hand.vertiBar, g.vertiBar},
    };
    for (const Part& p : parts) {
      if (p.expected.IsRectEmpty()) {
        EXPECT_EQ(p.framed, nullptr) << p.name << " should be missing";
        continue;
      }
      ASSERT_NE(p.framed, nullptr) << p.name;
      EXPECT_EQ(PlaceOf(*p.framed), p.expected) << p.name;
      EXPECT_EQ(PlaceOf(*p.assembled), p.expected) << p.name << " (hand-assembled)";
      const QImage got = WindowPixels(p.framed->m_hWnd);
      const QImage want = WindowPixels(p.assembled->m_hWnd);
      EXPECT_TRUE(got == want) << p.name << " differs from the hand-assembled window";
      if (got != want) {
        quarlen::test::SaveImage(got, (std::string(p.name) + " framed").c_str());
        quarlen::test::SaveImage(want, (std::string(p.name) + " assembled").c_str());
      }
    }
  }

  CUnit metre;
  CUnit millimetre{unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &metre};
  CRuler xr, yr;
  CGGrid frameGrid, handGrid;
  std::unique_ptr<CFrameWnd> top;
};

// Each part as the X server shows it in the host window, against the part's surface.
void ExpectScreenShows(QWidget* host, CGOViewFrame& frame) {
  QWindow* window = host->windowHandle();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(quarlen::test::PumpUntil([&] { return window->isExposed(); }));
  CWnd* parts[] = {frame.GetContainer(), frame.GetHorizView(), frame.GetVertiView(),
                   frame.GetHorizBar(), frame.GetVertiBar()};
  for (CWnd* part : parts) {
    const CRect at = PlaceOf(*part);  // the frame fills the host
    const QImage surface = WindowPixels(part->m_hWnd);
    QImage shown;
    // The copy to the screen follows the paint; poll until it arrived (or give up).
    quarlen::test::PumpUntil(
        [&] {
          shown = window->screen()
                      ->grabWindow(host->winId(), at.left, at.top, at.Width(), at.Height())
                      .toImage()
                      .convertToFormat(QImage::Format_RGB32);
          return shown == surface;
        },
        200);
    EXPECT_TRUE(shown == surface) << "part at " << at.left << "," << at.top
                                  << " differs on the screen";
    if (shown != surface) quarlen::test::SaveImage(shown, "screen");
  }
}

class ViewFrameLayout : public ViewFrame, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(ViewFrameLayout, PartsEqualTheHandAssembledView) {
  const FrameCase& c = GetParam();
  CGOViewFrame frame;
  ASSERT_TRUE(frame.Create(top.get(), 3, CRect(CPoint(10, 10), c.created), &xr, &yr,
                           gocont_growRight, gocont_growDown, c.parts));
  Configure(frame);
  ASSERT_TRUE(SettleEvents());
  if (c.shown != c.created) frame.MoveWindow(10, 10, c.shown.cx, c.shown.cy);

  HandAssembled hand(top.get(), c.shown, c.expected, &xr, &yr, &millimetre, &millimetre);
  Decorate(hand.view, hand.horiz, hand.verti, handGrid);
  ASSERT_TRUE(SettleEvents());
  ExpectSameAs(frame, hand, c.expected);
  frame.GetContainer()->RemoveAll();
}

// Strips at 96 DPI: ruler views 28 high and 34 wide, zoom bars 18 thick.
INSTANTIATE_TEST_SUITE_P(
    Table, ViewFrameLayout,
    ::testing::Values(
        FrameCase{"BothZoomBars", viewframe_zoomBars, CSize(400, 300), CSize(400, 300),
                  Geometry{CRect(52, 0, 400, 254), CRect(52, 254, 400, 282), CRect(18, 0, 52, 254),
                           CRect(52, 282, 400, 300), CRect(0, 0, 18, 254)}},
        FrameCase{"NoZoomBar", viewframe_noZoomBar, CSize(400, 300), CSize(400, 300),
                  Geometry{CRect(34, 0, 400, 272), CRect(34, 272, 400, 300), CRect(0, 0, 34, 272),
                           CRect(), CRect()}},
        FrameCase{"HorizontalZoomBarOnly", viewframe_horizZoomBar, CSize(360, 240), CSize(360, 240),
                  Geometry{CRect(34, 0, 360, 194), CRect(34, 194, 360, 222), CRect(0, 0, 34, 194),
                           CRect(34, 222, 360, 240), CRect()}},
        FrameCase{"GrownByMoveWindow", viewframe_zoomBars, CSize(300, 200), CSize(400, 300),
                  Geometry{CRect(52, 0, 400, 254), CRect(52, 254, 400, 282), CRect(18, 0, 52, 254),
                           CRect(52, 282, 400, 300), CRect(0, 0, 18, 254)}},
        FrameCase{"ShrunkByMoveWindow", viewframe_noZoomBar, CSize(500, 400), CSize(400, 300),
                  Geometry{CRect(34, 0, 400, 272), CRect(34, 272, 400, 300), CRect(0, 0, 34, 272),
                           CRect(), CRect()}}),
    [](const ::testing::TestParamInfo<FrameCase>& i) { return std::string(i.param.name); });

// The frame in a Qt layout of a host widget: the layout's resize reaches every part.
TEST_F(ViewFrame, FollowsTheQtLayoutItSitsIn) {
  auto* host = new QWidget;
  auto* layout = new QVBoxLayout(host);
  layout->setContentsMargins(0, 0, 0, 0);
  host->resize(300, 200);
  CWnd hostWnd;
  ASSERT_TRUE(hostWnd.AttachWidget(host));
  CGOViewFrame frame;
  ASSERT_TRUE(frame.Create(&hostWnd, 3, CRect(0, 0, 10, 10), &xr, &yr, gocont_growRight,
                           gocont_growDown, viewframe_zoomBars));
  layout->addWidget(frame.GetWidget());
  host->show();
  Configure(frame);
  ASSERT_TRUE(SettleEvents());
  host->resize(400, 300);
  ASSERT_TRUE(SettleEvents());

  const Geometry g{CRect(52, 0, 400, 254), CRect(52, 254, 400, 282), CRect(18, 0, 52, 254),
                   CRect(52, 282, 400, 300), CRect(0, 0, 18, 254)};
  HandAssembled hand(top.get(), CSize(400, 300), g, &xr, &yr, &millimetre, &millimetre);
  Decorate(hand.view, hand.horiz, hand.verti, handGrid);
  ASSERT_TRUE(SettleEvents());
  ExpectSameAs(frame, hand, g);
  // On a real display (the Xvfb run below) the screen shows what the surfaces hold.
  if (QGuiApplication::platformName() == QLatin1String("xcb")) ExpectScreenShows(host, frame);
  frame.GetContainer()->RemoveAll();
  frame.DestroyWindow();
  delete host;
}

// The same check on an X server: the test above runs again under xvfb-run with Qt's xcb
// platform, where the frame is a real window resized by a real layout.
TEST(ViewFrameUnderXvfb, FollowsTheQtLayoutOnARealDisplay) {
  if (QGuiApplication::platformName() == QLatin1String("xcb"))
    GTEST_SKIP() << "already on a display";
  const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
  if (xvfbRun.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1"));
  // The X and font libraries keep caches for the process's lifetime.
  env.insert(QStringLiteral("ASAN_OPTIONS"),
             env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(xvfbRun,
              {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 800x600x24"),
               QCoreApplication::applicationFilePath(),
               QStringLiteral("--gtest_filter=ViewFrame.FollowsTheQtLayoutItSitsIn")});
  // A bound for a stuck server, not a timing device: the run takes about a second.
  ASSERT_TRUE(child.waitForFinished(60000)) << "xvfb-run did not finish";
  const QString out = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test."))) << out.toStdString();
  EXPECT_FALSE(out.contains(QStringLiteral("SKIPPED"))) << out.toStdString();
}

}  // namespace
