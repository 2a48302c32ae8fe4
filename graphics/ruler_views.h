#pragma once
// The two graphical ruler views: a horizontal strip below or above a data view and a vertical
// strip beside it (rotated labels). Each computes its tick layout from its ruler and display
// unit, paints background, ticks and labels into its own window, and passes the tick positions
// on to an optional grid. A container (CGOContainer) keeps its views in step with its rulers.
// After a ruler change a view invalidates its own window, so the whole strip repaints wherever
// the view sits in its parent.
#include <atomic>

#include "graphics/graphical_ruler.h"

class CGGrid;

class QUARLEN_API CGRulerHoriz : public CGRuler {
  DECLARE_DYNAMIC(CGRulerHoriz)

 public:
  // The font is 14 + fontDelta pixels high.
  explicit CGRulerHoriz(int fontDelta = 0);
  ~CGRulerHoriz() override;

  void OnDraw(CDC* dc) override;
  // Paints the view into dc (not a window's) with its top-left corner at (x, y).
  void Print(CDC* dc, int x, int y);
  void RecalcLayout() override;
  // Enlarges r upwards to the font's text height + 4 when it is lower.
  void SetPosition(CRect* rect) override;
  // Not owned; null for none. The grid gets the view's current tick spacing at once (when the
  // view has a ruler and a display unit), so a grid attached after the view laid out its ticks
  // draws its lines without waiting for the next change of the ruler.
  void SetGrid(CGGrid* grid);
  CGGrid* GetGrid() const { return m_grid.load(); }

 protected:
  void RulerChanged(double start, double range, double displayOffset) override;

 private:
  std::atomic<CGGrid*> m_grid{nullptr};
};

class QUARLEN_API CGRulerVerti : public CGRuler {
  DECLARE_DYNAMIC(CGRulerVerti)

 public:
  // The font is 14 + fontDelta pixels high, rotated by 90 degrees (text runs upwards).
  explicit CGRulerVerti(int fontDelta = -2);
  ~CGRulerVerti() override;

  void OnDraw(CDC* dc) override;
  // Paints the view into dc (not a window's) with its top-left corner at (x, y).
  void Print(CDC* dc, int x, int y);
  void RecalcLayout() override;
  // Widens r to the font's text height + 5 when it is narrower.
  void SetPosition(CRect* rect) override;
  // As CGRulerHoriz::SetGrid: the grid gets the current spacing at once.
  void SetGrid(CGGrid* grid);
  CGGrid* GetGrid() const { return m_grid.load(); }

 protected:
  // Ignores windows whose start or range lies beyond +/-1e9.
  void RulerChanged(double start, double range, double displayOffset) override;

 private:
  std::atomic<CGGrid*> m_grid{nullptr};
};
