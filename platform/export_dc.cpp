// CExportDC: a memory DC of the page's size whose drawing is also recorded by a PDF or SVG
// painter, written out on Close.
#include "platform/export_dc.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "platform/detail/dc_impl.h"
#include "platform/detail/surface.h"

using namespace quarlen::detail;

struct CExportDC::Output {
  int format = -1;
  QString path;
  int width = 0, height = 0;
  double scale = 1.0;
  QByteArray bytes;  // the vector document, built in memory and saved at once
  QBuffer buffer{&bytes};
  std::unique_ptr<QPdfWriter> pdf;
  std::unique_ptr<QSvgGenerator> svg;
  QPainter painter;
};

namespace {

void SetError(CString* error, const QString& text) {
  if (error) *error = CString(reinterpret_cast<const wchar_t*>(text.toStdWString().c_str()));
}

}  // namespace

CExportDC::CExportDC() = default;
CExportDC::~CExportDC() {
  if (m_out && m_out->painter.isActive()) m_out->painter.end();
  if (Impl()) Impl()->vector.reset();
  DeleteDC();  // before the page bitmap goes
}

int CExportDC::FormatOf(const CString& path) {
  const QString p = QString::fromWCharArray(path.GetString(), path.GetLength());
  const QString ext = QFileInfo(p).suffix().toLower();
  if (ext == u"png") return exportPng;
  if (ext == u"pdf") return exportPdf;
  if (ext == u"svg") return exportSvg;
  return -1;
}

BOOL CExportDC::Open(const CString& path, int width, int height, double scale, CString* error) {
  if (m_out) {
    SetError(error, QStringLiteral("an export is already open"));
    return FALSE;
  }
  const int format = FormatOf(path);
  const QString p = QString::fromWCharArray(path.GetString(), path.GetLength());
  if (format < 0) {
    SetError(error, QStringLiteral("unknown export format \"%1\" (use .png, .pdf or .svg)")
                        .arg(QFileInfo(p).suffix()));
    return FALSE;
  }
  if (width < 1 || height < 1 || width > 16384 || height > 16384) {
    SetError(error, QStringLiteral("export size %1 x %2 out of range").arg(width).arg(height));
    return FALSE;
  }
  if (!(scale >= 0.1 && scale <= 16.0) ||
      (format == exportPng && double(width) * scale * double(height) * scale > 268435456.0)) {
    SetError(error, QStringLiteral("export scale %1 out of range").arg(scale));
    return FALSE;
  }
  auto out = std::make_unique<Output>();
  out->format = format;
  out->path = p;
  out->width = width;
  out->height = height;
  out->scale = scale;

  if (!CreateCompatibleDC(nullptr)) {
    SetError(error, QStringLiteral("cannot create the drawing target"));
    return FALSE;
  }
  m_page = std::make_unique<CBitmap>();
  m_page->CreateCompatibleBitmap(this, width, height);
  SelectObject(m_page.get());
  FillSolidRect(0, 0, width, height, 0xFFFFFF);

  if (format != exportPng) {
    out->buffer.open(QIODevice::WriteOnly);
    if (format == exportPdf) {
      out->pdf = std::make_unique<QPdfWriter>(&out->buffer);
      const double dpi = 96.0 * scale;
      out->pdf->setResolution(int(dpi + 0.5));
      out->pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
      // The page is the view: width x height view pixels at 96 per inch.
      out->pdf->setPageSize(QPageSize(QSizeF(width * 72.0 / 96.0, height * 72.0 / 96.0),
                                      QPageSize::Point, QString(), QPageSize::ExactMatch));
      out->pdf->setTitle(QFileInfo(p).completeBaseName());
      out->pdf->setCreator(QStringLiteral("Quarlen"));
      out->painter.begin(out->pdf.get());
      const double s = double(out->pdf->width()) / double(width);
      out->painter.scale(s, s);
    } else {
      out->svg = std::make_unique<QSvgGenerator>();
      out->svg->setOutputDevice(&out->buffer);
      const QSize size(qRound(width * scale), qRound(height * scale));
      out->svg->setSize(size);
      out->svg->setViewBox(QRect(QPoint(0, 0), size));
      out->svg->setResolution(qRound(96.0 * scale));
      out->svg->setTitle(QFileInfo(p).completeBaseName());
      out->painter.begin(out->svg.get());
      out->painter.scale(scale, scale);
    }
    if (!out->painter.isActive()) {
      SetError(error, QStringLiteral("cannot start the %1 document").arg(QFileInfo(p).suffix()));
      DeleteDC();
      m_page.reset();
      return FALSE;
    }
    out->painter.fillRect(QRectF(0, 0, width, height), Qt::white);
    auto sink = std::make_shared<VectorSink>();
    sink->painter = &out->painter;
    Impl()->vector = sink;
  }
  m_out = std::move(out);
  return TRUE;
}

BOOL CExportDC::Close(CString* error) {
  if (!m_out) {
    SetError(error, QStringLiteral("no export is open"));
    return FALSE;
  }
  std::unique_ptr<Output> out = std::move(m_out);
  Impl()->vector.reset();
  QByteArray bytes;
  if (out->format == exportPng) {
    auto data = Lookup<BitmapData>(m_page->GetSafeHandle(), GdiKind::Bitmap);
    QImage image;
    if (data && data->surface) {
      std::lock_guard g(data->surface->lock);
      image = data->surface->image.copy();
    }
    if (out->scale != 1.0)
      image = image.scaled(qRound(out->width * out->scale), qRound(out->height * out->scale),
                           Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A light deflate level: the files stay close to the smallest and a full-HD page encodes
    // in a fraction of the default level's time.
    image.save(&buffer, "PNG", 80);
  } else {
    out->painter.end();
    out->buffer.close();
    bytes = out->bytes;
  }
  DeleteDC();
  m_page.reset();
  if (bytes.isEmpty()) {
    SetError(error, QStringLiteral("nothing could be encoded for \"%1\"").arg(out->path));
    return FALSE;
  }
  // Written to a temporary file and renamed, so that a failure never leaves a partial file.
  QSaveFile file(out->path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    SetError(error, QStringLiteral("cannot write \"%1\": %2").arg(out->path, file.errorString()));
    return FALSE;
  }
  return TRUE;
}
