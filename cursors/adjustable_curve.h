#pragma once
// CAdjustableCurve: a polyline through a list of points (values in the units of the view's
// rulers) with a small disc on each point, edited with the mouse.
//
// Editing, as the container hands presses to the object:
//   - a press on a point drags it (left or right button);
//   - a press carrying Ctrl duplicates the point under the pointer and drags one of the two
//     equal points away, the other stays (the container passes Ctrl with right presses);
//   - a press carrying Shift deletes the point under the pointer and starts no drag.
// With direction locking a drag stays within the pick precision until the pointer has left it,
// then moves only the coordinate it first left it in (x wins when both are left at once). With
// the sorting options the points are kept ordered by x, by y, or by y (both on) while dragging,
// and the drag goes on with the same point when it passes a neighbour.
//
// At the end of every drag the curve flips the value of its own trigger position between 1 and
// -1, so that event 1619 with the trigger as source (GetID) tells whoever listens that the
// curve was edited. The trigger is announced once with event 1619 when the curve is built. A
// drag the container abandons (OnUpdateCapture answering 0: nothing under the press) does not
// flip it.
//
// Points are ordered by their exact coordinates (ascending values, whatever the direction the
// ruler grows in). Points with a non-finite coordinate are never stored: SetPoints leaves them
// out and AddPoints ignores them, so every stored point can be drawn, hit and sorted.
//
// The drag refers to its point by index, never by address: SetPoints, ClearPoints or a removal
// made while a drag is under way cannot leave it pointing into freed storage. After SetPoints
// the drag goes on with the first new point equal to the dragged one, if there is one;
// otherwise (and after ClearPoints) the drag has no point any more and the next move ends it.
//
// Locking: the point list and the drag state are guarded by the object's lock, which OnDraw
// holds while it draws; the trigger is written after the lock is released.
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/dynamic_object.h"
#include "graphics/points.h"

class CAxe;
class CPosition;

class QUARLEN_API CAdjustableCurve : public CGODynamic {
  DECLARE_DYNAMIC(CAdjustableCurve)

 public:
  // Builds the axis "EventAxis" and the trigger "AdjCurveTrigger" (value 1), announced with
  // event 1619.
  CAdjustableCurve();
  ~CAdjustableCurve() override;

  // The trigger position's address: the wParam and lParam of the curve's events 1619.
  std::uintptr_t GetID() const;
  // The trigger itself, for a caller that wants to read its value.
  CPosition* GetTrigger() const { return m_trigger.get(); }

  std::vector<stPoint> GetPoints() const;
  // Replaces the points, in the given order (no sorting); points with a non-finite coordinate
  // are left out. Invalidates.
  void SetPoints(std::vector<stPoint>& points);
  // Appends the point and sorts all points by x, whatever the sorting options. A point with a
  // non-finite coordinate is ignored (nothing changes).
  void AddPoints(stPoint& point);
  void ClearPoints();
  void SetDirectionLocking(int lock);
  void SetSortingOptions(int byX, int byY);
  int IsDirectionLocking() const { return m_directionLocking; }

  // CGObject.
  void OnDraw(CDC* dc, CRect* clip) override;

  // CGODynamic.
  int IsOnTop(CPoint* pt) const override;
  int OnBeginCapture(CPoint* pt, unsigned flags) override;
  int OnUpdateCapture(CPoint* pt, unsigned flags) override;
  void OnEndCapture(CPoint* pt, unsigned flags) override;
  HICON GetCursor(CPoint* pt) override;

 protected:
  // 1 when some point is under the pixel (within the pick precision).
  int FindPoint(CPoint* pt) const;
  // The first point in array order under the pixel, or null. The pointer is valid only until
  // the points change.
  stPoint* GetPoint(CPoint* pt);
  // 1 when the pixel lies within the pick precision of the point's pixel.
  int Compare(const stPoint& p, CPoint* pt) const;
  // Removes the first point equal to the argument, if any; invalidates.
  void RemovePoint(stPoint& point);

 private:
  class Guard;  // holds the object's lock for one scope
  static constexpr std::ptrdiff_t kNone = -1;

  // Index of the first point under the pixel, or kNone. Under the lock.
  std::ptrdiff_t IndexAt(const CPoint& pt) const;
  // Index of the first point equal to p, or kNone. Under the lock.
  std::ptrdiff_t IndexOf(const stPoint& p) const;
  // Compare without taking the lock. Under the lock.
  bool Near(const stPoint& p, const CPoint& pt) const;
  // Pixel of a point. Under the lock.
  CPoint PixelOf(const stPoint& p) const;
  // The rectangle holding the segments that meet point i and the discs of their ends. Under
  // the lock.
  CRect SegmentsAround(std::ptrdiff_t i) const;
  // Moves the dragged point to its place in the order the sorting options ask for. Returns
  // false when other points changed places too (the points were not in order before).
  bool Reorder();

  std::vector<stPoint> m_points;
  std::ptrdiff_t m_dragged = kNone;  // index into m_points
  int m_directionDecided = 0;
  int m_directionLocking = 0;
  int m_sortByX = 0;
  int m_sortByY = 0;
  int m_lockedDirection = 0;  // 0: only x changes, 1: only y changes
  std::unique_ptr<CAxe> m_axis;
  std::unique_ptr<CPosition> m_trigger;
};
