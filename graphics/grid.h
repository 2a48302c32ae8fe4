#pragma once
// CGGrid: a non-interactive graphic object that draws lines across its container at the tick
// positions of the ruler views, each tick step subdivided by a resolution. Lines start one step
// before the first tick, so subdivisions before the first labelled tick are drawn too; every line
// inside the clip is drawn, however far the first tick lies before the view and however dense
// the lines are. The line colour is the object colour; nothing is drawn while drawing is
// disabled (EnableDraw(0)).
#include "graphics/graphic_object.h"
#include "platform/gdi.h"

class QUARLEN_API CGGrid : public CGObject {
  DECLARE_DYNAMIC(CGGrid)

 public:
  CGGrid();
  ~CGGrid() override;

  // A grid has no stored state: nothing is written or read.
  void Serialize(CArchive& ar) override;
  void OnDraw(CDC* dc, CRect* clip) override;

  // Tick positions in base units; the grid repaints when either value changes.
  virtual void SetXTickSpacing(double first, double step);
  virtual void SetYTickSpacing(double first, double step);
  void GetTickSpacing(double* xFirst, double* xStep, double* yFirst, double* yStep) const;

  // Lines per tick step (1: a line at every tick). The whole object repaints.
  void SetXResol(long resolution);
  void SetYResol(long resolution);
  void SetResol(long resolution);
  long GetXResol() const { return m_xResol; }
  long GetYResol() const { return m_yResol; }
  // Pen style of the lines (PS_SOLID, PS_DOT, ...); takes effect at the next repaint.
  void SetLineType(int style) { m_lineType = style; }
  int GetLineType() const { return m_lineType; }

 private:
  double m_xFirst = 0.0;
  double m_xStep = 0.0;
  double m_yFirst = 0.0;
  double m_yStep = 0.0;
  int m_lineType = PS_SOLID;
  long m_xResol = 1;
  long m_yResol = 1;
};
