// Exporting a container with its ruler views: the PNG is the window surfaces pixel for pixel,
// a scaled PNG keeps every line, the PDF is one page of the view's size, the SVG renders close
// to the PNG, and bad paths and formats give their error without leaving a file.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <memory>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "graphics/view_export.h"
#include "platform/detail/window_registry.h"
#include "tests/support/event_wait.h"
#include "tests/support/gui_support.h"

namespace {

void Pump() {
  for (int i = 0; i < 1000; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    quarlen::detail::ServiceSentMessages();
    if (!quarlen::detail::WindowWorkPending()) return;
  }
}

QString OutPath(const char* name) {
  const QString dir = QDir::temp().filePath(QStringLiteral("quarlen_view_export"));
  QDir().mkpath(dir);
  return QDir(dir).filePath(QString::fromLatin1(name));
}

CString Wide(const QString& s) { return CString(s.toStdWString().c_str()); }

ExportOptions Scaled(double scale) {
  ExportOptions o;
  o.scale = scale;
  return o;
}

// The frame holds a container at (40, 0) 400 x 300, the scan ruler view under it and the depth
// ruler view left of it: the exported page is 440 x 330.
class ViewExportTest : public quarlen::test::EventServiceFixture {
 protected:
  void SetUp() override {
    EventServiceFixture::SetUp();
    xr.Set(0.0, 100.0, 0);
    yr.Set(0.0, 80.0, 0);
    frame = std::make_unique<CWnd>();
    frame->Create(nullptr, L"frame", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 600, 500), nullptr, 0);
    view.Create(frame.get(), 7, &xr, &yr, 1, 1);
    view.MoveWindow(40, 0, 400, 300);
    view.ShowWindow(SW_SHOW);
    CRect hr(40, 300, 440, 330), vr(0, 0, 40, 300);
    horiz.Create(frame.get(), &xr, 1, &hr);
    horiz.SetPosition(&hr);
    horiz.SetDisplayUnit(&unit, 1);
    verti.Create(frame.get(), &yr, 1, &vr);
    verti.SetPosition(&vr);
    verti.SetDisplayUnit(&unit, 1);
    view.SetGraphicalRuler(&horiz, &verti);
    view.SignalRulerChange();
    Pump();
    view.Redraw();
    Pump();
  }
  void TearDown() override {
    view.SetGraphicalRuler(nullptr, nullptr);
    view.DestroyWindow();
    horiz.DestroyWindow();
    verti.DestroyWindow();
    frame.reset();
    Pump();
    EventServiceFixture::TearDown();
  }
  // The window surfaces as they lie on the page.
  QImage Screen() {
    QImage page(440, 330, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.drawImage(40, 0, quarlen::test::WindowPixels(view.GetSafeHwnd()));
    p.drawImage(40, 300, quarlen::test::WindowPixels(horiz.GetSafeHwnd()));
    p.drawImage(0, 0, quarlen::test::WindowPixels(verti.GetSafeHwnd()));
    return page;
  }

  CRuler xr, yr;
  CUnit unit;
  std::unique_ptr<CWnd> frame;
  CGOContainer view;
  CGRulerHoriz horiz;
  CGRulerVerti verti;
};

TEST_F(ViewExportTest, PngAtScaleOneIsTheWindowSurfacesPixelForPixel) {
  const CRect bounds = ExportViewBounds(&view);
  EXPECT_EQ(bounds, CRect(0, 0, 440, 330));
  const QString path = OutPath("scale1.png");
  CString error;
  ASSERT_TRUE(ExportView(&view, Wide(path), ExportOptions{}, &error));
  QImage png(path);
  ASSERT_EQ(png.size(), QSize(440, 330));
  png = png.convertToFormat(QImage::Format_RGB32);
  const QImage screen = Screen();
  int differing = 0;
  QRect where;
  for (int y = 0; y < 330; ++y)
    for (int x = 0; x < 440; ++x)
      if ((png.pixel(x, y) & 0xFFFFFF) != (screen.pixel(x, y) & 0xFFFFFF)) {
        ++differing;
        where |= QRect(x, y, 1, 1);
      }
  if (differing) {
    quarlen::test::SaveImage(screen, "screen");
    quarlen::test::SaveImage(png, "export");
  }
  EXPECT_EQ(differing, 0) << "within " << where.x() << "," << where.y() << " " << where.width()
                          << "x" << where.height();
}

TEST_F(ViewExportTest, PngAtScaleTwoKeepsEveryOnePixelLine) {
  const QString one = OutPath("one.png"), two = OutPath("two.png");
  ASSERT_TRUE(ExportView(&view, Wide(one), Scaled(1.0), nullptr));
  ASSERT_TRUE(ExportView(&view, Wide(two), Scaled(2.0), nullptr));
  const QImage a = QImage(one).convertToFormat(QImage::Format_RGB32);
  const QImage b = QImage(two).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(b.size(), QSize(880, 660));
  int lost = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      for (int k = 0; k < 4; ++k)
        if (b.pixel(2 * x + (k & 1), 2 * y + k / 2) != a.pixel(x, y)) ++lost;
  EXPECT_EQ(lost, 0);
}

TEST_F(ViewExportTest, PdfIsOnePageOfTheViewsSizeWithTheRulerLabels) {
  const QString path = OutPath("view.pdf");
  CString error;
  ASSERT_TRUE(ExportView(&view, Wide(path), ExportOptions{}, &error));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray pdf = f.readAll();
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
  // 440 x 330 view pixels at 96 per inch: 330 x 247.5 points.
  const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
  const auto m = box.match(QString::fromLatin1(pdf));
  ASSERT_TRUE(m.hasMatch());
  EXPECT_NEAR(m.captured(1).toDouble(), 330.0, 1.0);
  EXPECT_NEAR(m.captured(2).toDouble(), 247.5, 1.0);
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) GTEST_SKIP() << "pdftotext not installed: labels not read back";
  QProcess p;
  p.start(tool, {path, QStringLiteral("-")});
  ASSERT_TRUE(p.waitForFinished(20000));
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  for (const char* label : {"20", "40", "60"})
    EXPECT_TRUE(text.contains(QLatin1String(label))) << label << " in " << text.toStdString();
}

TEST_F(ViewExportTest, SvgParsesAndRendersCloseToThePng) {
  const QString svg = OutPath("view.svg"), png = OutPath("ref.png");
  ASSERT_TRUE(ExportView(&view, Wide(svg), ExportOptions{}, nullptr));
  ASSERT_TRUE(ExportView(&view, Wide(png), ExportOptions{}, nullptr));
  QSvgRenderer renderer(svg);
  ASSERT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 440, 330));
  QImage drawn(440, 330, QImage::Format_RGB32);
  drawn.fill(Qt::white);
  {
    QPainter p(&drawn);
    renderer.render(&p);
  }
  const QImage ref = QImage(png).convertToFormat(QImage::Format_RGB32);
  // Text rasterises a little differently; shapes, fills and lines land on the same pixels.
  long far = 0;
  for (int y = 0; y < 330; ++y)
    for (int x = 0; x < 440; ++x) {
      const QRgb a = drawn.pixel(x, y), b = ref.pixel(x, y);
      if (std::abs(qGray(a) - qGray(b)) > 96) ++far;
    }
  EXPECT_LT(far, 440 * 330 / 50) << far << " pixels differ";
}

TEST_F(ViewExportTest, PartsJoinThePageAndPaintWhereTheirWindowsLie) {
  CWnd side;
  side.Create(nullptr, L"side", WS_CHILD | WS_VISIBLE, CRect(440, 10, 470, 60), frame.get(), 9);
  ExportOptions o;
  o.parts.push_back(
      {&side, [](CDC* dc, int x, int y) { dc->FillSolidRect(x, y, 30, 50, RGB(255, 0, 0)); }});
  o.parts.push_back({nullptr, [](CDC*, int, int) { ADD_FAILURE() << "a part without a window"; }});
  EXPECT_EQ(ExportViewBounds(&view, o), CRect(0, 0, 470, 330));
  const QString path = OutPath("parts.png");
  ASSERT_TRUE(ExportView(&view, Wide(path), o, nullptr));
  const QImage png(path);
  ASSERT_EQ(png.size(), QSize(470, 330));
  EXPECT_EQ(png.pixel(440, 10) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(png.pixel(469, 59) & 0xFFFFFF, 0xFF0000u);
  EXPECT_NE(png.pixel(469, 60) & 0xFFFFFF, 0xFF0000u);
  side.DestroyWindow();
}

struct ErrorCase {
  const char* name;
  QString path;
  const wchar_t* expectedStart;
};

TEST_F(ViewExportTest, UnwritablePathsAndUnknownFormatsGiveTheirError) {
  const ErrorCase cases[] = {
      {"unknown extension", OutPath("view.bmp"), L"unknown export format"},
      {"no extension", OutPath("view"), L"unknown export format"},
      {"missing folder png", QStringLiteral("/nonexistent-quarlen/view.png"), L"cannot write"},
      {"missing folder pdf", QStringLiteral("/nonexistent-quarlen/view.pdf"), L"cannot write"},
      {"a folder", QDir::tempPath() + QStringLiteral("/.svg"), L"cannot write"},
  };
  QDir().mkpath(QDir::tempPath() + QStringLiteral("/.svg"));
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(c.path);
    CString error;
    EXPECT_FALSE(ExportView(&view, Wide(c.path), ExportOptions{}, &error));
    EXPECT_EQ(CString(error).Left(int(wcslen(c.expectedStart))), CString(c.expectedStart))
        << QString::fromWCharArray(error.GetString()).toStdString();
    EXPECT_FALSE(QFileInfo(c.path).isFile());
  }
  CString error;
  EXPECT_FALSE(ExportView(nullptr, L"x.png", ExportOptions{}, &error));
  EXPECT_EQ(error, CString(L"no view to export"));
  EXPECT_FALSE(ExportView(&view, Wide(OutPath("big.png")), Scaled(100.0), &error));
}

}  // namespace
