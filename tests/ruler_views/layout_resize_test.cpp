// A container and its two ruler views in a Qt layout follow the layout's resizes: after the host
// widget grows or shrinks, the surfaces have the new sizes, the ruler views' tick layouts and
// every pixel of the three windows are those of a view built at the new size from the start.
#include <gtest/gtest.h>

#include <QGridLayout>
#include <QImage>
#include <QWidget>
#include <memory>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "graphics/container.h"
#include "graphics/grid.h"
#include "graphics/ruler_views.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

using quarlen::test::SettleEvents;
using quarlen::test::WindowPixels;

constexpr int kRulerHeight = 28;
constexpr int kRulerWidth = 34;

// A host widget with a grid layout: the vertical ruler view left of the container, the
// horizontal one under it, the ruler strips fixed in thickness, the container stretching.
struct LaidOutView {
  LaidOutView(CRuler* xr, CRuler* yr, CUnit* unit, QSize size) {
    host = new QWidget;
    host->resize(size);
    auto* layout = new QGridLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    frame.AttachWidget(host);

    view.Create(&frame, 1, xr, yr, 1, 1);
    view.SetBackgroundColor(RGB(250, 250, 240));
    CRect hr(0, 0, 10, kRulerHeight), vr(0, 0, kRulerWidth, 10);
    horiz.Create(&frame, xr, 1, &hr);
    horiz.SetDisplayUnit(unit, 1);
    verti.Create(&frame, yr, 1, &vr);
    verti.SetDisplayUnit(unit, 1);
    grid.SetColor(RGB(0, 0, 200));
    view.Add(&grid, CGOContainer::top);
    horiz.SetGrid(&grid);
    verti.SetGrid(&grid);
    view.SetGraphicalRuler(&horiz, &verti);

    horiz.GetWidget()->setFixedHeight(kRulerHeight);
    verti.GetWidget()->setFixedWidth(kRulerWidth);
    layout->addWidget(verti.GetWidget(), 0, 0);
    layout->addWidget(view.GetWidget(), 0, 1);
    layout->addWidget(horiz.GetWidget(), 1, 1);
    view.ShowWindow(SW_SHOW);
    host->show();
  }
  ~LaidOutView() {
    view.SetGraphicalRuler(nullptr, nullptr);
    horiz.SetGrid(nullptr);
    verti.SetGrid(nullptr);
    view.RemoveAll();
    delete host;  // the windows die with their widgets
  }

  QWidget* host = nullptr;
  CWnd frame;
  CGOContainer view;
  CGRulerHoriz horiz;
  CGRulerVerti verti;
  CGGrid grid;
};

struct Layout {
  double first = 0.0, step = 0.0;
  int labelWidth = 0;
  LONG scaleSize = 0;
  bool operator==(const Layout&) const = default;
};

Layout LayoutOf(CGRuler& r) {
  Layout l;
  r.GetTickPosition(&l.first, &l.step);
  l.labelWidth = r.GetLabelWidth();
  l.scaleSize = r.GetScale()->GetWndSize();
  return l;
}

void PrintTo(const Layout& l, std::ostream* os) {
  *os << "{first " << l.first << ", step " << l.step << ", label " << l.labelWidth << ", size "
      << l.scaleSize << "}";
}

QSize ClientSize(CWnd& w) {
  CRect r;
  w.GetClientRect(&r);
  return QSize(r.Width(), r.Height());
}

struct ResizeCase {
  const char* name;
  QSize before;
  QSize after;
};

class LayoutResize : public quarlen::test::EventServiceFixture,
                     public ::testing::WithParamInterface<ResizeCase> {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    xr.Set(0.0, 100.0, 0);
    yr.Set(0.0, 80.0, 0);
  }
  CRuler xr, yr;
  CUnit unit;
};

TEST_P(LayoutResize, ViewsEqualAFreshViewOfTheNewSize) {
  const ResizeCase& c = GetParam();
  LaidOutView resized(&xr, &yr, &unit, c.before);
  ASSERT_TRUE(SettleEvents());
  const QSize before = ClientSize(resized.view);
  resized.host->resize(c.after);
  ASSERT_TRUE(SettleEvents());

  LaidOutView fresh(&xr, &yr, &unit, c.after);
  ASSERT_TRUE(SettleEvents());

  const QSize expected(c.after.width() - kRulerWidth, c.after.height() - kRulerHeight);
  ASSERT_NE(before, expected);
  EXPECT_EQ(ClientSize(resized.view), expected);
  EXPECT_EQ(WindowPixels(resized.view.m_hWnd).size(), expected);
  EXPECT_EQ(WindowPixels(resized.horiz.m_hWnd).size(), QSize(expected.width(), kRulerHeight));
  EXPECT_EQ(WindowPixels(resized.verti.m_hWnd).size(), QSize(kRulerWidth, expected.height()));

  EXPECT_EQ(LayoutOf(resized.horiz), LayoutOf(fresh.horiz));
  EXPECT_EQ(LayoutOf(resized.verti), LayoutOf(fresh.verti));
  double gx[4], fx[4];
  resized.grid.GetTickSpacing(&gx[0], &gx[1], &gx[2], &gx[3]);
  fresh.grid.GetTickSpacing(&fx[0], &fx[1], &fx[2], &fx[3]);
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(gx[i], fx[i]) << "grid spacing " << i;

  struct Part {
    const char* name;
    HWND resized, fresh;
  };
  for (const Part& p : {Part{"view", resized.view.m_hWnd, fresh.view.m_hWnd},
                        Part{"horiz", resized.horiz.m_hWnd, fresh.horiz.m_hWnd},
                        Part{"verti", resized.verti.m_hWnd, fresh.verti.m_hWnd}}) {
    const QImage got = WindowPixels(p.resized), want = WindowPixels(p.fresh);
    EXPECT_TRUE(got == want) << p.name << " differs from a fresh view of the new size";
    if (got != want) {
      quarlen::test::SaveImage(got, (std::string(p.name) + "_resized").c_str());
      quarlen::test::SaveImage(want, (std::string(p.name) + "_fresh").c_str());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LayoutResize,
    ::testing::Values(ResizeCase{"Grows", QSize(300, 220), QSize(520, 400)},
                      ResizeCase{"Shrinks", QSize(520, 400), QSize(300, 220)},
                      ResizeCase{"WiderOnly", QSize(300, 300), QSize(480, 300)},
                      ResizeCase{"LowerOnly", QSize(400, 360), QSize(400, 200)}),
    [](const ::testing::TestParamInfo<ResizeCase>& i) { return std::string(i.param.name); });

}  // namespace
