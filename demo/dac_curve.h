#pragma once
// The distance-amplitude curve of the A-scan view and its dB readout.
//
// The curve's points are (amplitude in %, depth in metres), the A-scan view's two axes, kept in
// depth order. The readout compares the echo at the depth cursor (in the A-scan at the
// reference cursor's scan position) with the curve at that depth, 20 log10(echo / curve), and
// is drawn in the top left corner of the A-scan view. It listens to event 1619 through the event
// service: the curve's trigger (flipped at the end of each edit) and the cursors' positions.
#include <atomic>
#include <string>
#include <vector>

#include "cursors/adjustable_curve.h"
#include "demo/synthetic_data.h"
#include "graphics/graphic_object.h"

class CPosition;

namespace demo {

// The curve's amplitude at a depth, interpolated linearly between the points around it (points
// in depth order). False outside the curve's depths or with no points.
bool CurveAmplitudeAt(const std::vector<stPoint>& points, double depth, double* amplitude);

// The curve through the echoes of the three drilled holes of the synthetic plate, with one
// point above the first and one below the last.
std::vector<stPoint> ReferenceDacPoints();

class DacReadout : public CGObject {
 public:
  DacReadout(const SyntheticBScan& data, CAdjustableCurve& curve, CPosition* scan,
             CPosition* depth);
  ~DacReadout() override;

  // Recomputes the readout from the curve and the two positions; invalidates it when the text
  // changed. Any thread.
  void Refresh();
  // The two lines of the readout, as drawn.
  std::wstring GetText() const;

  void OnDraw(CDC* dc, CRect* clip) override;
  void OnEvent(unsigned id, WPARAM a, LPARAM b) override;
  void GetVisibleRect(CRect* out) const override;

 private:
  class Guard;  // holds the object's lock for one scope
  const SyntheticBScan& m_data;
  CAdjustableCurve& m_curve;
  CPosition* m_scan;
  CPosition* m_depth;
  std::wstring m_lines[2];  // under the object's lock
  unsigned m_client = 0;
};

}  // namespace demo
