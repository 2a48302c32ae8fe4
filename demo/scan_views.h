#pragma once
// The two data objects of the demo: the B-scan image (the background of the B-scan view) and
// the A-scan trace (the background of the A-scan view), both drawn from the synthetic data.
#include <atomic>
#include <memory>
#include <vector>

#include "cursors/numeric_cursor.h"
#include "demo/synthetic_data.h"
#include "graphics/graphic_object.h"
#include "platform/gdi.h"

class CPosition;

namespace demo {

// Depth (vertical ruler) against scan position (horizontal ruler) on the data's current scan
// line, each pixel the palette colour of the nearest sample. The image of the whole view is
// rendered once per scale (ruler window and view size) and line, and kept; a repaint copies the
// clip rectangle from it, so moving a cursor or repainting the view again costs a copy, not a new
// rendering.
class BScanImage : public CGObject {
 public:
  explicit BScanImage(const SyntheticBScan& data) : m_data(data) {}
  void OnDraw(CDC* dc, CRect* clip) override;

 private:
  // What the kept image was rendered for: the view rectangle, the values at its edges and the
  // scan line.
  struct View {
    CRect rect;
    double left, right, top, bottom;
    int line;
    bool operator==(const View& o) const {
      return rect == o.rect && left == o.left && right == o.right && top == o.top &&
             bottom == o.bottom && line == o.line;
    }
  };
  void Render(const View& view);
  // Keeps `bitmap` if it has this size, else makes a new one; false if that fails.
  static bool Reuse(std::unique_ptr<CBitmap>& bitmap, int width, int height);

  const SyntheticBScan& m_data;
  std::unique_ptr<CBitmap> m_image;  // GUI thread only, like OnDraw
  // A band of rows the rendering is written through, kept for the next one.
  std::unique_ptr<CBitmap> m_band;
  std::vector<std::uint32_t> m_bandPixels;
  View m_view{};
};

// Amplitude (horizontal ruler, 0..100 %) against depth (vertical ruler) at the scan position of
// a cursor. It follows that position's changes (event 1619) like a cursor does.
class AScanTrace : public CGObject {
 public:
  AScanTrace(const SyntheticBScan& data, CPosition* scanPosition);
  ~AScanTrace() override;
  void OnDraw(CDC* dc, CRect* clip) override;
  void OnEvent(unsigned id, WPARAM a, LPARAM b) override;
  double GetScanPosition() const { return m_scan.load(); }

 private:
  const SyntheticBScan& m_data;
  CPosition* m_position;
  std::atomic<double> m_scan;
  unsigned m_client = 0;
};

// A numeric cursor whose value changes repaint only the line strips and value boxes the cursor
// leaves and enters. (CGNumCursor repaints its whole view when a new value arrives, which
// costs a full B-scan repaint per drag step.)
class StripNumCursor : public CGNumCursor {
 public:
  void InvalidateNewPos(double value) override;
};

}  // namespace demo
