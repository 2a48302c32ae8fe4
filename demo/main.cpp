// quarlen-demo: an inspection view built on the library.
//
//   quarlen-demo                     a window (offscreen and scripted when there is no display)
//   quarlen-demo --headless          offscreen: play the script, screenshots to out/
//   quarlen-demo --script [--exit-after]   play the script in the real window (and quit)
//   quarlen-demo --export <file>     offscreen: write the inspection view (.png, .pdf, .svg), exit
//   options: --out <dir> (screenshots), --size <w>x<h> (B-scan view, pixels at 96 DPI),
//            --bench (timings)
#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "demo/inspection_window.h"
#include "demo/scripted_run.h"
#include "demo/screen_pixels.h"
#include "graphics/view_export.h"
#include "notify/event_service.h"

namespace {

struct Options {
  bool headless = false;
  bool script = false;
  bool exitAfter = false;
  bool bench = false;
  QString exportPath;  // --export: write the inspection view to this file and exit
  QString out = QStringLiteral("out");
  CSize size{960, 540};
};

bool Parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (!std::strcmp(a, "--headless")) {
      o->headless = true;
    } else if (!std::strcmp(a, "--script")) {
      o->script = true;
    } else if (!std::strcmp(a, "--exit-after")) {
      o->exitAfter = true;
    } else if (!std::strcmp(a, "--bench")) {
      o->bench = true;
    } else if (!std::strcmp(a, "--export") && hasValue) {
      o->exportPath = QString::fromLocal8Bit(argv[++i]);
      o->headless = true;
    } else if (!std::strcmp(a, "--out") && hasValue) {
      o->out = QString::fromLocal8Bit(argv[++i]);
    } else if (!std::strcmp(a, "--size") && hasValue) {
      int w = 0, h = 0;
      if (std::sscanf(argv[++i], "%dx%d", &w, &h) != 2 || w < 100 || h < 100 || w > 8000 ||
          h > 8000) {
        return false;
      }
      o->size = CSize(w, h);
    } else {
      return false;
    }
  }
  return true;
}

bool HasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

// Writes the B-scan view with its rulers and zoom bars to `path` (PNG, PDF or SVG).
int ExportInspectionView(demo::InspectionWindow& window, const QString& path) {
  ExportOptions export_options;
  for (CZoomBar* bar : {&window.ScanBar(), &window.DepthBar()})
    export_options.parts.push_back({bar, [bar](CDC* dc, int x, int y) { bar->Print(dc, x, y); }});
  CString error;
  if (!ExportView(&window.BScan(), CString(path.toStdWString().c_str()), export_options, &error)) {
    std::fprintf(stderr, "export: %ls\n", error.GetString());
    return 1;
  }
  std::printf("exported %s\n", path.toLocal8Bit().constData());
  return 0;
}

int main(int argc, char** argv) {
  const auto start = std::chrono::steady_clock::now();
  Options options;
  if (!Parse(argc, argv, &options)) {
    std::fprintf(
        stderr,
        "usage: quarlen-demo [--headless] [--script] [--exit-after] [--bench] [--export FILE] "
        "[--out <dir>] [--size <w>x<h>]\n");
    return 2;
  }
  if (options.headless || (!HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    options.headless = true;
  }
  QApplication app(argc, argv);
  const auto qtStarted = std::chrono::steady_clock::now();
  // --size is given at 96 DPI; on a high-DPI screen the view has as many more device pixels.
  options.size = CSize(demo::Px(options.size.cx), demo::Px(options.size.cy));
  event_Init();
  int rc = 0;
  {
    demo::InspectionWindow window(options.size);
    const auto built = std::chrono::steady_clock::now();
    AfxSetMainWnd(&window.Frame());
    window.Frame().ShowWindow(SW_SHOW);
    demo::PumpUntilIdle();  // the first complete frame
    const auto shown = std::chrono::steady_clock::now();
    const auto ms = [](auto from, auto to) {
      return std::chrono::duration<double, std::milli>(to - from).count();
    };
    const double cpu = 1000.0 * std::clock() / CLOCKS_PER_SEC;  // all threads of the process
    std::printf("first frame: %.0f ms after start, %.0f ms CPU (%s)\n", ms(start, shown), cpu,
                options.headless ? "offscreen" : "window");
    if (options.bench) {
      std::printf("first frame shares: Qt start %.1f ms, window built %.1f ms, shown and painted "
                  "%.1f ms\n",
                  ms(start, qtStarted), ms(qtStarted, built), ms(built, shown));
    }
    std::fflush(stdout);
    demo::Settle();
    if (!options.exportPath.isEmpty()) {
      rc = ExportInspectionView(window, options.exportPath);
    } else if (options.bench) {
      rc = demo::RunBenchmarks(window);
    } else if (options.headless || options.script) {
      rc = demo::RunScript(window, options.out);
    }
    if (!options.headless && !options.bench && !(options.script && options.exitAfter)) {
      rc = app.exec();
    }
    AfxSetMainWnd(nullptr);
  }
  event_Terminate();
  return rc;
}
