// gdi-reference-compare: draws every case with CDC and compares it with the reference image
// the Windows program wrote for it.
//
//   gdi-reference-compare <reference dir> <output dir> [--update <png dir>]
//
// <reference dir> holds <case>.ppm (or .png). For each case the tool prints the differing
// pixels, writes <output dir>/<case>.png (reference | ours | difference, enlarged) and ends
// with the totals; the same lines go to <output dir>/report.txt, and both images at their
// own size to <output dir>/ref/ and <output dir>/ours/. With --update the reference
// images are also written as <png dir>/<case>.png, the committed copies the drawing tests
// compare against. Exit status: 0 when every case is within its tolerance, 1 when some case
// is not, 2 when a reference image is missing or an output cannot be written.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <cstdio>

#include "tools/gdi-reference/cdc_painter.h"

namespace {

using namespace quarlen::gdiref;

QImage LoadReference(const QString& dir, const char* name) {
  for (const char* ext : {".ppm", ".png"}) {
    QImage image(dir + "/" + name + ext);
    if (!image.isNull()) return image.convertToFormat(QImage::Format_RGB32);
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 3) {
    std::fprintf(
        stderr, "usage: gdi-reference-compare <reference dir> <output dir> [--update <png dir>]\n");
    return 2;
  }
  const QString refDir = args[1], outDir = args[2];
  QString updateDir;
  if (args.size() >= 5 && args[3] == "--update") updateDir = args[4];
  QDir().mkpath(outDir + "/ref");
  QDir().mkpath(outDir + "/ours");
  if (!updateDir.isEmpty()) QDir().mkpath(updateDir);

  QFile reportFile(outDir + "/report.txt");
  if (!reportFile.open(QIODevice::WriteOnly | QIODevice::Text)) return 2;
  QTextStream report(&reportFile);
  auto line = [&](const QString& text) {
    std::printf("%s\n", qPrintable(text));
    report << text << "\n";
  };

  const QString colours = SystemColourMismatches();
  if (!colours.isEmpty())
    line("warning: system colours differ from the case table (index:table/ours): " + colours);

  int identical = 0, tolerated = 0, differing = 0, status = 0;
  line(QString("%1 %2 %3  %4").arg("case", -32).arg("pixels", 7).arg("differ", 7).arg("result"));
  for (std::size_t k = 0; k < CaseCount(); ++k) {
    const Case& c = Cases()[k];
    const QImage ref = LoadReference(refDir, c.name);
    if (ref.isNull()) {
      line(QString("%1 missing reference image").arg(c.name, -32));
      status = 2;
      continue;
    }
    const QImage ours = DrawWithCdc(c);
    const int diff = DifferingPixels(ref, ours);
    QString result;
    if (diff == 0) {
      ++identical;
      result = "identical";
    } else if (diff <= c.tolerance) {
      ++tolerated;
      result = QString("known (tolerance %1): %2").arg(c.tolerance).arg(c.caveat ? c.caveat : "");
    } else {
      ++differing;
      result = "DIFFERS";
      if (status == 0) status = 1;
    }
    line(QString("%1 %2 %3  %4")
             .arg(c.name, -32)
             .arg(c.width * c.height, 7)
             .arg(diff, 7)
             .arg(result));
    if (!SideBySide(ref, ours).save(outDir + "/" + c.name + ".png")) status = 2;
    if (!ref.save(outDir + "/ref/" + c.name + ".png") ||
        !ours.save(outDir + "/ours/" + c.name + ".png"))
      status = 2;
    if (!updateDir.isEmpty() && !ref.save(updateDir + "/" + c.name + ".png")) status = 2;
  }
  line(QString("%1 cases: %2 identical, %3 within a documented tolerance, %4 differing")
           .arg(CaseCount())
           .arg(identical)
           .arg(tolerated)
           .arg(differing));
  return status;
}
