// The export DC: each format writes its kind of file, its page keeps the pixel rules, and on a
// vector page a one-pixel pen stays one output pixel wide at any scale while text stays text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cwchar>
#include <limits>

#include "platform/export_dc.h"

namespace {

QString OutPath(const char* name) {
  const QString dir = QDir::temp().filePath(QStringLiteral("quarlen_export_dc"));
  QDir().mkpath(dir);
  return QDir(dir).filePath(QString::fromLatin1(name));
}
CString Wide(const QString& s) { return CString(s.toStdWString().c_str()); }

// A 1-pixel black line at x = 10 from y = 0 to 50 and a label, on a 40 x 50 page.
BOOL DrawPage(CExportDC& dc) {
  dc.SelectStockObject(BLACK_PEN);
  dc.MoveTo(10, 0);
  dc.LineTo(10, 50);
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(14, 20, CString(L"mm"));
  return TRUE;
}

struct FormatCase {
  const char* name;
  const char* file;
  QByteArray magic;
};

TEST(ExportDC, EachFormatWritesItsFileAndThePageKeepsThePixelRules) {
  const FormatCase cases[] = {
      {"png", "page.png", QByteArray("\x89PNG", 4)},
      {"pdf", "page.pdf", QByteArray("%PDF")},
      {"svg", "page.svg", QByteArray("<?xml")},
      {"upper-case extension", "page.SVG", QByteArray("<?xml")},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = OutPath(c.file);
    QFile::remove(path);
    CExportDC dc;
    CString error;
    ASSERT_TRUE(dc.Open(Wide(path), 40, 50, 1.0, &error));
    DrawPage(dc);
    // The end point is excluded on every target: the page is a window-like surface.
    EXPECT_EQ(dc.GetPixel(10, 49) & 0xFFFFFF, 0u);
    EXPECT_EQ(dc.GetPixel(11, 49) & 0xFFFFFF, 0xFFFFFFu);
    ASSERT_TRUE(dc.Close(&error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith(c.magic));
  }
}

TEST(ExportDC, OnePixelPenIsAHairlineAtEveryScaleAndTextIsText) {
  for (double scale : {1.0, 2.0, 4.0}) {
    SCOPED_TRACE(scale);
    const QString path = OutPath("hairline.svg");
    CExportDC dc;
    ASSERT_TRUE(dc.Open(Wide(path), 40, 50, scale, nullptr));
    DrawPage(dc);
    ASSERT_TRUE(dc.Close(nullptr));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray svg = f.readAll();
    EXPECT_TRUE(svg.contains(">mm</text>") || svg.contains(">mm<")) << "the label as text";
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    const QSize size(qRound(40 * scale), qRound(50 * scale));
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    {
      QPainter p(&out);
      renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    // Every output row below the label crosses the line in one or two pixels, around the
    // centre of view pixel 10.
    const int row = qRound(5 * scale);
    int dark = 0, first = -1;
    for (int x = 0; x < qRound(13 * scale); ++x)
      if (qGray(out.pixel(x, row)) < 160) {
        ++dark;
        if (first < 0) first = x;
      }
    EXPECT_GE(dark, 1);
    EXPECT_LE(dark, 2);
    EXPECT_NEAR(first, 10.5 * scale, 1.5);
  }
}

struct BadOpen {
  const char* name;
  const char* file;
  int w, h;
  double scale;
  const wchar_t* reason;
};

TEST(ExportDC, BadRequestsAreRefusedWithTheirReason) {
  const BadOpen cases[] = {
      {"unknown extension", "page.tiff", 40, 50, 1.0, L"unknown export format"},
      {"zero width", "page.png", 0, 50, 1.0, L"export size"},
      {"too high", "page.pdf", 40, 20000, 1.0, L"export size"},
      {"scale zero", "page.svg", 40, 50, 0.0, L"export scale"},
      {"scale NaN", "page.svg", 40, 50, std::numeric_limits<double>::quiet_NaN(), L"export scale"},
  };
  for (const BadOpen& c : cases) {
    SCOPED_TRACE(c.name);
    CExportDC dc;
    CString error;
    EXPECT_FALSE(dc.Open(Wide(OutPath(c.file)), c.w, c.h, c.scale, &error));
    EXPECT_EQ(error.Left(int(wcslen(c.reason))), CString(c.reason));
    EXPECT_EQ(dc.GetSafeHdc(), nullptr);
    EXPECT_FALSE(dc.Close(&error));  // nothing open
  }
}

TEST(ExportDC, AnExportNeverClosedWritesNothing) {
  for (const char* file : {"abandoned.png", "abandoned.pdf", "abandoned.svg"}) {
    SCOPED_TRACE(file);
    const QString path = OutPath(file);
    QFile::remove(path);
    {
      CExportDC dc;
      ASSERT_TRUE(dc.Open(Wide(path), 40, 50, 2.0, nullptr));
      DrawPage(dc);
    }
    EXPECT_FALSE(QFile::exists(path));
  }
}

}  // namespace
