#pragma once
// CDualSliderCtrl: a horizontal track with one or two thumbs that select a value, or a range
// [lower, upper], inside limits [min, max]; IDualSlidersListener: what is told about it.
//
// Values snap to a grid origin + k * step (NearestValue). The user drags a thumb, clicks beside
// the thumbs to step by one complete image (the step with one thumb, the selected span with two),
// double-clicks to jump to the ends, and holds Ctrl to move both thumbs at their distance.
// Listeners hear of user changes only (drags, steps, double-clicks), in registration order;
// the setters never notify.
//
// Bad input gives a neutral result, never a NaN thumb or a division by zero:
//   - non-finite limits are ignored; equal limits (or min above max) lay every thumb out at the
//     left end of the track, and mouse positions map to min;
//   - a NaN position counts as min; infinite positions are clamped to the limits;
//   - a grid step of 0 turns snapping off (NearestValue answers its argument); non-finite
//     factors are ignored;
//   - a track narrower than one pixel maps every mouse position to min.
// A listener may unregister itself or others, or register new ones, during a notification: the
// pass calls only listeners still registered, in the order of the list when it began. A
// listener may even destroy the control: the pass stops there and the control is not touched
// again.
//
// All calls belong to the GUI thread.
#include <memory>
#include <vector>

#include "platform/export.h"
#include "platform/geometry.h"
#include "platform/types.h"
#include "platform/window.h"

class CFont;

class QUARLEN_API IDualSlidersListener {
 public:
  IDualSlidersListener() = default;
  IDualSlidersListener(const IDualSlidersListener&) = default;
  IDualSlidersListener& operator=(const IDualSlidersListener&) = default;
  virtual ~IDualSlidersListener() = default;
  // Called after a user change of the control whose window handle is given (a copy: the
  // listener may keep it).
  virtual void OnDualSlidersChanged(HWND const& slider) = 0;
};

class QUARLEN_API CDualSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CDualSliderCtrl)

 public:
  enum eSliderMode : int { eSingleThumb = 0, eRange = 1 };

  // The answer of GetMinPos and GetMaxPos when no thumb is shown (the largest float).
  static constexpr double kNoPosition = 3.4028234663852886e38;

  explicit CDualSliderCtrl(int value = 0);
  ~CDualSliderCtrl() override;

  using CWnd::Create;
  // A visible child of parent at rect. thumbWidth is the width of a thumb in pixels; font may be
  // null (the stock variable-pitch font is used). Sets the double-click time of the
  // application to 200 ms. The last argument is not used.
  BOOL Create(const RECT& rect, CWnd* parent, UINT id, CFont* font, unsigned thumbWidth,
              int unused = 0);

  // Both 0 gives [0, 1]. The positions become (min, max); the thumbs are not laid out again.
  void SetLimits(double min, double max);
  void GetLimits(double& min, double& max) const;
  // Grid step (also the step of one complete image with one thumb) and origin.
  void SetFactors(double step, double origin);
  void GetFactors(double& step, double& origin) const;
  // Positions of thumb 0 and thumb 1 (clamped to the limits), laid out and redrawn at once.
  void SetSlidersPosition(double const& a, double const& b);
  // lower = GetMinPos(), upper = GetMaxPos().
  void GetSlidersPosition(double& lower, double& upper) const;
  // No thumb: kNoPosition; one thumb: its position; two: the smaller / larger position.
  double GetMinPos() const;
  double GetMaxPos() const;
  // Number of thumbs shown: 0, 1 or 2 (other values are ignored). Going from one thumb to two
  // places the second a tenth of the range above the first (below it at max).
  void SetTabNumber(int n);
  int GetTabNumber() const { return m_tabNumber; }
  // eRange shows two thumbs, any other mode one.
  void SetMode(eSliderMode mode);
  eSliderMode GetMode() const { return m_mode; }

  void SetLineColor(COLORREF color);
  void SetCursorColor(COLORREF color);
  void SetBackColor(COLORREF color);

  // One complete image up or down: the step with one thumb, the selected span with two.
  // Listeners are notified.
  void NextCompleteImage();
  void PreviousCompleteImage();

  // Appends a listener unless it is registered already (null is ignored).
  void RegisterDualSlidersListener(IDualSlidersListener* listener);
  // Removes a listener; the others keep their order; an unknown one is ignored.
  void UnregisterDualSlidersListener(IDualSlidersListener* listener);

  // Clamps and stores the positions and lays the thumbs out. The int is not used.
  void RecalcSliderRect(double a, double b, int unused = 0);

  // Layout, for callers that place things beside the thumbs.
  CRect GetThumbRect(int thumb) const;
  int GetLeftMargin() const { return m_leftMargin; }
  int GetRightMargin() const { return m_rightMargin; }

 protected:
  double NearestValue(double x) const;
  // The point is inside a shown thumb.
  bool IsOnTop(CPoint point) const;
  // Margins of at least 10 pixels at each end.
  void RecalcOffsets();
  // Moves the dragged thumb to v (with its partner when Ctrl is held with two thumbs), lays the
  // thumbs out and notifies the listeners.
  void UpdateSliderPosition(double v);
  void NotifyDualSlidersListeners();

  afx_msg void OnPaint();
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnEnable(BOOL enable);
  DECLARE_MESSAGE_MAP()

 private:
  // v inside [min, max]; NaN gives min.
  double Clamped(double v) const;
  bool IsShown(int thumb) const;
  int LargerThumb() const;
  int ThumbWidth() const;

  double m_min = 0.0;
  double m_max = 1.0;
  double m_position[2] = {0.0, 0.0};
  int m_tabNumber = 1;
  COLORREF m_backColor = RGB(255, 255, 255);
  COLORREF m_cursorColor = RGB(0, 0, 0);
  COLORREF m_lineColor = RGB(255, 255, 255);
  COLORREF m_spareColor = RGB(255, 255, 255);
  CRect m_thumbRect[2];
  int m_value;
  unsigned m_thumbWidth = 0;
  HFONT m_font = nullptr;  // the caller's font, by handle: a deleted font is simply not used
  bool m_horizontal = false;
  int m_leftMargin = 0;
  int m_rightMargin = 0;
  eSliderMode m_mode = eSingleThumb;
  HCURSOR m_arrowCursor = nullptr;
  HCURSOR m_sizeCursor = nullptr;
  UINT m_lastFlags = 0;
  int m_lastX = 0;
  int m_lastY = 0;
  double m_gridOrigin = 0.0;
  double m_gridStep = 1.0;
  int m_draggedThumb = -1;
  std::vector<IDualSlidersListener*> m_listeners;
  BOOL m_enabled = TRUE;
  // Cleared by the destructor, so that a notification pass stops when a listener destroys the
  // control.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
