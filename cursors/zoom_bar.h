#pragma once
// CZoomBar: a strip that stands for the whole axis of a ruler, with a rounded cursor that stands
// for the ruler's visible range and a framed home range. The user drags the cursor or either of
// its ends, clicks beside it to page by one cursor length, double-clicks to go to the home range
// (inside the home frame) or to the whole axis (elsewhere), and Ctrl-clicks to type start and
// end into the limits dialog (CZoomLimit). Ticks and labels in the display unit run along the
// strip, laid out by the rulers' tick layout (LayoutTicks) over the whole axis.
//
// The cursor is kept in relative units: 0 is the start of the ruler's axis, 1 its end. The axis
// is the ruler's axis descriptor (CAxe); a ruler without one uses its own limits. An axis of
// zero length is taken as one unit long. With InvertDirection(1) relative 0 is at the right
// (bottom) end.
//
// While the user drags, only the bar and its consumer list learn of the moves; the ruler is set
// once, at button up: CRuler::Set(-99999999.999, 99999999.999, 1) (which also writes the wide
// window into the axis's limits), then CRuler::Set(start, range, 1) with the cursor's window
// (range at least 1e-7), a redraw and one message of the consumer list. Paging, the double
// clicks and the dialog set the ruler at once with one Set(start, range, 0).
//
// Ruler changes from elsewhere arrive as window message 1620 from the event service (the bar is
// a window client, registered in delay mode with period 100) and move the cursor, except while
// the bar holds the mouse capture (the user's drag wins).
//
// Each user action that sets the ruler (a drag's release, a page, a double click, a typed range)
// is one zoom gesture (CZoomGesture), so a zoom history records it as one entry; SetSameParameters
// and OnMove are the application's calls and are not marked.
//
// The limits dialog shows the cursor's start and end as "%3.3f %s" in the display unit. Enter
// applies the numbers typed there (the leading number of each text, in the display unit; a text
// without a number reads 0): the start, and the distance of the two converted ends as the range,
// so that units with an offset from their base give the right range. Escape leaves the ruler as
// it is (the texts were rounded for display; reading them back would move the range).
//
// A Ctrl double-click shows the limits dialog once: the press that begins it opens the dialog
// (as every Ctrl click in the bar does), and the double-click message that follows it does
// nothing (neither a second dialog nor the home or full range).
//
// Rulers and units are not owned. Rule for deleting a ruler the bar shows: call SetRuler(nullptr)
// (or destroy the bar) first. After SetRuler(nullptr) the bar keeps its cursor and draws with no
// ruler (display offset 0, ticks on), ignores every ruler-change message still queued, and its
// destructor never touches a ruler: it only ends its event registrations. The display unit must
// likewise outlive the bar or be replaced first (SetDisplayFormat with another unit or null).
//
// Bad input: a bar without display unit draws nothing and ignores Ctrl clicks; non-finite
// arguments of SetHome, OnMove and SetDisplayFormat are ignored; typed values that are not finite
// or whose end is not after the start leave the ruler as it is; drags far outside the window
// clamp to the ends of the strip. All calls belong to the thread that created the window.
#include "axis/scale_converter.h"
#include "graphics/tick_layout.h"
#include "notify/consumer_list.h"
#include "platform/gdi.h"
#include "platform/window.h"

class CRuler;
class CUnit;

class QUARLEN_API CZoomBar : public CWnd {
  DECLARE_DYNAMIC(CZoomBar)

 public:
  CZoomBar();
  ~CZoomBar() override;

  // Makes the label font (height 14, or 12 turned by 90 degrees for a vertical bar), measures
  // the label width on the main window's DC (96 pixels without one) and sets the orientation.
  void SetHorizontal(int horizontal);
  // Relative 0 at the right (bottom) end when 1. No redraw.
  void InvertDirection(int inverted) { m_inverted = inverted != 0 ? 1 : 0; }
  // The ruler shown (not owned; null detaches the bar). Registers for the ruler's change events
  // (which arrive as window messages, so call it once the window exists), replacing the
  // registration of an earlier ruler, and takes the ruler's window.
  void SetRuler(CRuler* ruler);
  CRuler* GetRuler() const { return m_ruler; }
  // Display unit of the labels and of the typed values (not owned) and the base-unit range the
  // strip stands for until the next ruler change replaces it by the axis limits.
  void SetDisplayFormat(double minimum, double maximum, CUnit* unit);
  void SetCursorColor(COLORREF color);
  // The home range in ruler units; its relative place is taken from the axis now. A range whose
  // end is not after its start is ignored. Until a home is set, the home frame and a double
  // click inside it stand for the whole axis.
  void SetHome(double start, double end);
  // Takes the other bar's cursor and applies it to this bar's ruler.
  void SetSameParameters(const CZoomBar* other);
  // Moves the cursor by delta (relative units) and applies it, unless the end would reach 1.
  void OnMove(const double& delta);
  // Draws the bar into dc with its client origin at (x, y).
  void Print(CDC* dc, int x, int y);

  CConsumerList* GetConsList() { return &m_consumers; }
  double GetCursorStart() const { return m_cursorStart; }
  double GetCursorRange() const { return m_cursorRange; }
  double GetHomeStart() const { return m_homeStartRel; }
  double GetHomeRange() const { return m_homeRangeRel; }
  int GetLabelWidth() const { return m_labelWidth; }

  // Relative position -> pixel from the strip's start; display value -> pixel (the tick
  // routines' mapping; the static form takes the bar as context).
  LONG PosToPixel(double relative) const;
  LONG ConvertBaseToPixel(double displayValue) const;
  static LONG ConvertToPixel(double displayValue, void* bar);
  void GetCursorRect(CRect* rect) const;
  void GetHomeRect(CRect* rect) const;
  // The ticks and labels the bar draws now, in the display unit: empty without a display unit
  // or window, or while the ruler's tick drawing is off.
  quarlen::TickLayout GetTickLayout();

 protected:
  afx_msg void OnPaint();
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnEnable(BOOL enable);
  // A new length (MoveWindow, a Qt layout): the whole bar repaints.
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg LRESULT OnRulerChange(WPARAM rulerId, LPARAM unused);
  DECLARE_MESSAGE_MAP()

  // Draws the whole bar into dc in client coordinates.
  void DrawBase(CDC* dc);

 private:
  struct Axis {
    double start;
    double length;  // never 0
  };
  // The ruler's axis (descriptor, else the ruler's limits), zero length taken as 1.
  Axis GetAxis() const;
  void ApplyToRuler();
  void Redraw();
  // Repaints what changed since the cursor filled `before`.
  void RedrawCursorChange(const CRect& before);
  void ShowLimits(CPoint client);
  void Unregister();
  int Length() const;
  bool Dragging() const { return m_dragCursor || m_dragStart || m_dragEnd; }

  CConsumerList m_consumers;
  CFont* m_labelFont = nullptr;
  int m_lastMouseX = 0;
  int m_lastMouseY = 0;
  double m_homeStartRel = 0.0;
  double m_homeRangeRel = 1.0;
  double m_cursorStart = 0.25;
  double m_cursorRange = 0.5;
  double m_homeStart = 0.0;
  double m_homeRange = 0.0;
  COLORREF m_cursorColor = 0;
  COLORREF m_outlineColor = 0x7F7F7F;
  CPoint m_grabOffset{0, 0};
  int m_dragCursor = 0;
  int m_dragStart = 0;
  int m_dragEnd = 0;
  int m_horizontal = 0;
  int m_labelWidth = 0;
  int m_inverted = 0;
  HCURSOR m_sizeWE = nullptr;
  HCURSOR m_sizeNS = nullptr;
  double m_displayMin = 0.0;
  double m_displayMax = 0.0;
  CUnit* m_displayUnit = nullptr;
  CRuler* m_ruler = nullptr;
  unsigned m_eventClient = 0;
  unsigned m_eventId = 0;
  CSC m_scale;  // the strip's scale, handed to the tick layout
};
