#pragma once
// CZoom: the rubber-band zoom tool. A left drag anywhere in the view draws a band; on release
// the visible range of the horizontal ruler, the vertical ruler or both is set to the band's
// span (CRuler::Set), and every view of those rulers follows through event 1620.
//
// The band is hatched red until it reaches the minimum size (SetMinZoom), then green; at that
// moment its direction (X only, Y only, both) is fixed for the rest of the drag. With mode 2
// the direction follows the band's shape: a band flatter than 1:2 zooms X only, taller than 2:1
// Y only, anything between both. A restricting ruler fixes the direction to that ruler's.
//
// A release does nothing unless the band reached the minimum, the pointer is inside the object
// rectangle and the band lies within it. A span not greater than 0.05 (ruler named "Amplitude")
// or 1e-5 (any other ruler) leaves that ruler unchanged.
//
// The rulers a release sets are set inside one zoom gesture (CZoomGesture): a zoom history
// records the band as one entry, whether it changed one ruler or both.
#include "graphics/dynamic_object.h"
#include "platform/gdi.h"

class QUARLEN_API CZoom : public CGODynamic {
  DECLARE_DYNAMIC(CZoom)

 public:
  enum ORIENT { horizontal = 0, vertical = 1, both = 2 };

  // restrictingRuler (not owned) may be null; partialInvalidation 0 repaints the whole object
  // rectangle on every move.
  CZoom(CRuler* restrictingRuler, const int& partialInvalidation);
  ~CZoom() override;

  void SetMinZoom(long cx, long cy) { m_minZoom = CSize(cx, cy); }
  // Read accessors for the application and tests.
  ORIENT GetOrient() const { return m_orient; }
  int IsExceeded() const { return m_exceeded; }
  int GetOrientMode() const { return m_orientMode; }
  CRect GetBand() const { return m_band; }

  // CGObject.
  void SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) override;
  void OnDraw(CDC* dc, CRect* clip) override;

  // CGODynamic.
  int IsOnTop(CPoint* pt) const override;
  int OnBeginCapture(CPoint* pt, unsigned flags) override;
  int OnUpdateCapture(CPoint* pt, unsigned flags) override;
  void OnEndCapture(CPoint* pt, unsigned flags) override;
  HICON GetCursor(CPoint* pt) override;

 private:
  class Guard;  // holds the object's lock for one scope
  int ExceedMinZoom(const CRect& r) const;
  ORIENT GetZoomOrient(CRect r) const;
  void Invalidate(CRect r);

  CRuler* m_restrictingRuler;
  CSize m_minZoom{0, 0};
  CRect m_band{0, 0, 0, 0};
  int m_orientMode = 2;
  ORIENT m_orient = both;
  int m_exceeded = 0;
  CBrush m_validBrush;
  CBrush m_invalidBrush;
  HICON m_insideCursor;
  HICON m_outsideCursor;
  int m_partialInvalidation;
};
