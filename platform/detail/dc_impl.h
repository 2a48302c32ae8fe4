#pragma once
// Internal state of a device context, shared by the files that implement CDC.
#include <QPoint>
#include <QRegion>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dc.h"
#include "platform/detail/gdi_objects.h"
#include "platform/detail/raster.h"
#include "platform/detail/vector_sink.h"
#include "platform/numeric.h"

namespace quarlen::detail {

// Everything SaveDC saves.
struct DCState {
  std::shared_ptr<PenData> pen;
  std::shared_ptr<BrushData> brush;
  std::shared_ptr<FontData> font;
  std::shared_ptr<BitmapData> bitmap;  // memory DCs only
  HGDIOBJ hPen = nullptr, hBrush = nullptr, hFont = nullptr, hBitmap = nullptr;
  COLORREF bk = 0xFFFFFF;
  COLORREF text = 0;
  int bkMode = OPAQUE;
  UINT align = 0;
  int arcDir = AD_COUNTERCLOCKWISE;
  int rop2 = R2_COPYPEN;
  QPoint brushOrg;  // device, 0..7
  CPoint vpOrg, winOrg, cp;
  bool hasClip = false;
  QRegion clip;  // device coordinates
};

// One drawing call: the target surface locked, its pixels and the effective clip.
struct Draw {
  std::shared_ptr<Surface> s;
  std::unique_lock<std::recursive_mutex> lock;
  PixelTarget t;
  const QRegion* region = nullptr;
  Draw() = default;
  Draw(const Draw&) = delete;
  ~Draw();  // reports the touched rectangle through Surface::onDrawn
};

struct DCImpl {
  CDC* owner = nullptr;
  std::shared_ptr<Surface> window;  // window surface of an attached DC
  QRegion base;                     // its base clip (device)
  bool attached = false;
  bool memory = false;
  int dpi = 96;  // memory DCs: the DPI of the DC they were made compatible with
  std::shared_ptr<BitmapData> defaultBitmap;  // the 1x1 bitmap of a fresh memory DC
  HGDIOBJ hDefaultBitmap = nullptr;
  DCState st;
  std::vector<DCState> saved;
  // Export targets: every drawing call is also sent to this sink as vector elements.
  std::shared_ptr<VectorSink> vector;

  // Cache of the effective clip (surface rectangle & base & application clip).
  bool clipValid = false;
  const Surface* clipSurface = nullptr;
  QSize clipSize;
  QRegion effective;
  std::vector<QRect> rects;
  QRect bounds;

  void ResetState();
  std::shared_ptr<Surface> Target() const;
  // Locks the target and prepares the pixels; false when nothing can be drawn.
  bool Begin(Draw& d);
  void UpdateClip(const Surface* s);

  PixelWide DevX(PixelWide x) const { return x - st.winOrg.x + st.vpOrg.x; }
  PixelWide DevY(PixelWide y) const { return y - st.winOrg.y + st.vpOrg.y; }
  PixelWide LogX(PixelWide x) const { return x + st.winOrg.x - st.vpOrg.x; }
  PixelWide LogY(PixelWide y) const { return y + st.winOrg.y - st.vpOrg.y; }

  // The surface rectangle (device), or a huge rectangle when there is no target yet.
  QRegion WholeSurface() const {
    auto s = Target();
    if (!s) {
      constexpr int kLim = int(kDrawingCoordLimit);
      return QRegion(QRect(-kLim, -kLim, 2 * kLim, 2 * kLim));
    }
    std::lock_guard g(s->lock);
    return QRegion(QRect(QPoint(0, 0), s->image.size()));
  }
  // What output can reach right now (device coordinates).
  QRegion VisibleClip() const {
    QRegion r = WholeSurface();
    if (!memory && attached) r &= base;
    if (st.hasClip) r &= st.clip;
    return r;
  }

  void Polyline(const POINT* pts, int count);
  void Curve(PixelWide l, PixelWide t, PixelWide r, PixelWide b, PixelWide cw, PixelWide ch,
             const ArcSpec* arc);
  // Text at device reference point (x, y) with the given alignment; optional extra clip and
  // opaque rectangle (device). Returns the advance width.
  int TextRun(PixelWide x, PixelWide y, const QString& s, UINT align, bool opaque,
              const QRect* clipRect, const QRect* opaqueRect, int underline);
};

HDC NewDCHandle(CDC* dc);
void ReleaseDCHandle(HDC h);
CDC* LookupDC(HDC h);

}  // namespace quarlen::detail
