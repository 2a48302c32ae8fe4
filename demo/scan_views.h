#pragma once
// The two data objects of the demo: the B-scan image (the background of the B-scan view) and
// the A-scan trace (the background of the A-scan view), both drawn from the synthetic data.
#include <atomic>

#include "cursors/numeric_cursor.h"
#include "demo/synthetic_data.h"
#include "graphics/graphic_object.h"

class CPosition;

namespace demo {

// Depth (vertical ruler) against scan position (horizontal ruler), each pixel the palette
// colour of the nearest sample. Only the clip rectangle is drawn, so moving a cursor redraws
// just the strips it leaves and enters.
class BScanImage : public CGObject {
 public:
  explicit BScanImage(const SyntheticBScan& data) : m_data(data) {}
  void OnDraw(CDC* dc, CRect* clip) override;

 private:
  const SyntheticBScan& m_data;
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

// A numeric cursor whose value changes repaint only the strips the line and its box leave and
// enter. (CGNumCursor repaints its whole view when a new value arrives, which costs a full
// B-scan repaint per drag step.)
class StripNumCursor : public CGNumCursor {
 public:
  void InvalidateNewPos(double value) override;
};

}  // namespace demo
