#pragma once
// CD3DStaticCtrl: a child window for a view the application draws itself (a C-scan top view,
// a 3D rendering), which keeps the visible window of a horizontal and a vertical axis so that
// the drawing follows the rulers and zoom of a graphic view. CD3DStaticObject: the graphic
// object that ties such a control into a container (CGOContainer): when the container rescales
// it, it copies the axis window of its rulers and scales into the control; when the container
// draws it, it asks the control to draw into the container's DC.
//
// For each axis the control holds three values: the offset (where the axis starts), the start
// (the first visible value, measured from that offset) and the range (the visible length).
// A new control holds offsets and starts of 0 and ranges of 1.
//
// The values may be read from any thread (the container may rescale its objects on another
// thread than the one the application draws on); everything else belongs to the GUI thread.
#include <atomic>

#include "graphics/graphic_object.h"
#include "platform/export.h"
#include "platform/geometry.h"
#include "platform/window.h"

class CDC;

class QUARLEN_API CD3DStaticCtrl : public CWnd {
  DECLARE_DYNAMIC(CD3DStaticCtrl)

 public:
  CD3DStaticCtrl() = default;
  ~CD3DStaticCtrl() override = default;

  // Draws the application's view; does nothing here. Derived controls draw with the axis
  // window below (and the inverted flag, as they see fit).
  virtual void OnDraw(CDC* dc);

  void SetVerticalOffset(double v) { m_verticalOffset.store(v, std::memory_order_relaxed); }
  double GetVerticalOffset() const { return m_verticalOffset.load(std::memory_order_relaxed); }
  void SetVerticalStart(double v) { m_verticalStart.store(v, std::memory_order_relaxed); }
  double GetVerticalStart() const { return m_verticalStart.load(std::memory_order_relaxed); }
  void SetVerticalRange(double v) { m_verticalRange.store(v, std::memory_order_relaxed); }
  double GetVerticalRange() const { return m_verticalRange.load(std::memory_order_relaxed); }
  void SetHorizontalOffset(double v) { m_horizontalOffset.store(v, std::memory_order_relaxed); }
  double GetHorizontalOffset() const { return m_horizontalOffset.load(std::memory_order_relaxed); }
  void SetHorizontalStart(double v) { m_horizontalStart.store(v, std::memory_order_relaxed); }
  double GetHorizontalStart() const { return m_horizontalStart.load(std::memory_order_relaxed); }
  void SetHorizontalRange(double v) { m_horizontalRange.store(v, std::memory_order_relaxed); }
  double GetHorizontalRange() const { return m_horizontalRange.load(std::memory_order_relaxed); }
  // Kept for derived controls, which read it through m_verticallyInverted.
  void SetVerticallyInverted(int const& inverted) {
    m_verticallyInverted.store(inverted, std::memory_order_relaxed);
  }

 protected:
  std::atomic<double> m_verticalOffset{0.0};
  std::atomic<double> m_verticalStart{0.0};
  std::atomic<double> m_verticalRange{1.0};
  std::atomic<double> m_horizontalOffset{0.0};
  std::atomic<double> m_horizontalStart{0.0};
  std::atomic<double> m_horizontalRange{1.0};
  std::atomic<int> m_verticallyInverted{0};
};

class QUARLEN_API CD3DStaticObject : public CGObject {
  DECLARE_DYNAMIC(CD3DStaticObject)

 public:
  // The control is not owned; it must outlive the object's life in its container.
  explicit CD3DStaticObject(CD3DStaticCtrl* control);
  ~CD3DStaticObject() override;

  // Calls the control's OnDraw with the container's DC; the rectangle is not used.
  void OnDraw(CDC* dc, CRect* clip) override;
  // For each axis whose ruler is set: offset = start of the ruler's axis (0 for a ruler without
  // one), start = the scale's ruler offset (display offset included) minus that axis start,
  // range = the scale's ruler range. An axis without a ruler is left as it is. The control is
  // not redrawn.
  void OnScaling() override;

  CD3DStaticCtrl* GetControl() const { return m_control; }

 private:
  CD3DStaticCtrl* m_control;
};
