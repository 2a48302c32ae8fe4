#pragma once
// CGRuler: base of the graphical rulers, the small child windows beside a data view that show
// the positions of one axis as ticks and labels in a display unit.
//
// A graphical ruler refers to (never owns) its axis ruler (CRuler) and its display unit (CUnit).
// It keeps a scale from display positions to pixels along the ruler, its font and colours and
// the current tick layout, and follows its ruler's change event (1620) as a callback client of
// the event service: a change reaches RulerChanged on the service's delivery thread.
//
// The static routines are the layout and drawing engine shared by the views and other rulers:
// GetFormat estimates the characters a label needs, GetDisplayFormat picks a tick step of 2, 5 or
// 10 times a power of ten for a pixel length, and HDrawTicks/VDrawTicks draw major, minor and
// half ticks with labels: the layout of LayoutTicks (graphics/tick_layout.h) painted by
// PaintTicks. They are pure functions of their arguments (apart from the drawing) and always
// terminate: whatever the values (NaN, infinities, huge magnitudes, steps that no longer
// advance the position), the number of steps walked is bounded by the pixel extent.
//
// Locking: every graphical ruler has its own recursive lock. The event service is never called
// while that lock is held (its delivery thread takes the event lock before the ruler's lock).
#include <atomic>
#include <cstdint>

#include "axis/scale_converter.h"
#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/sync.h"
#include "platform/window.h"

class CGOContainer;
class CRuler;

// Grow flag of a graphical ruler (Create): the direction in which the ruler's values grow along
// the strip. On the horizontal axis it means what a container's flag means; on the vertical axis
// the same value means the opposite direction (a container's 1 is gocont_growUp): give a
// vertical ruler view gruler_growDown and its container gocont_growDown, or gruler_growUp and
// gocont_growUp, so that a value is drawn beside its label.
enum gruler_enumGrow : int {
  gruler_growLeft = 0,   // horizontal: values grow from right to left
  gruler_growRight = 1,  // horizontal: values grow from left to right
  gruler_growUp = 0,     // vertical: values grow from bottom to top
  gruler_growDown = 1,   // vertical: values grow from top to bottom
};
class CUnit;

namespace quarlen::detail {
struct RulerViewAccess;
}

class QUARLEN_API CGRuler : public CWnd {
  DECLARE_DYNAMIC(CGRuler)

 public:
  // Position-to-pixel mapping handed to the tick routines.
  using ToPixelFn = LONG (*)(double value, void* context);

  CGRuler();
  ~CGRuler() override;

  using CWnd::Create;

  // Windowless ruler (grow as below): measures its font on dc, takes rect as its dimension
  // (SetPosition) and follows the ruler's changes. It serves layout and conversions; it never
  // draws.
  virtual void Create(CDC* dc, CRuler* ruler, int grow, CRect* rect);
  // Ruler window: a visible child of parent at rect. grow: a gruler_enumGrow value (0 inverts
  // the scale: the ruler's end comes first, at the left or top).
  virtual void Create(CWnd* parent, CRuler* ruler, int grow, CRect* rect);
  virtual void OnDraw(CDC* dc) = 0;
  virtual void RecalcLayout() = 0;
  // Moves the ruler to r and recomputes the layout. The views first enlarge r to their minimum
  // size (and write the enlarged rectangle back to the caller).
  virtual void SetPosition(CRect* rect);
  virtual CSC* GetScale() { return &m_scale; }

  void SetRuler(CRuler* ruler);
  CRuler* GetRuler() const { return m_ruler.load(); }
  void SetDisplayUnit(CUnit* unit, int allowNegative);
  CUnit* GetDisplayUnit() const { return m_displayUnit; }
  // The client rectangle of the ruler window (the rectangle given to SetPosition for a
  // windowless ruler).
  const CRect* GetDimension();

  // Display value -> pixel along the ruler; the DB form mirrors the base value (the second
  // half of a folded decibel axis).
  LONG ConvertToPixel(double v);
  LONG ConvertDBToPixel(double v);
  double ConvertFromPixel(double px);
  static LONG ConvertToPixel(double v, void* ruler);
  static LONG ConvertDBToPixel(double v, void* ruler);
  static double ConvertFromPixel(double px, CSC* scale, CUnit* unit);

  // The first labelled tick and the tick step, in the display unit's values (millimetres for a
  // millimetre unit; base values without a unit). A grid attached to a ruler view gets the same
  // layout converted to base units. Without a ruler: first 0, step 100000.
  void GetTickPosition(double* first, double* step) const;
  void SetTickPosition(double first, double step);
  int GetLabelWidth() const { return m_labelWidth; }
  const TEXTMETRICW& GetTextMetrics() const { return m_textMetrics; }

  void SetColor(COLORREF c) { m_color = c; }
  COLORREF GetColor() const { return m_color; }
  void SetTextColor(COLORREF c) { m_textColor = c; }
  COLORREF GetTextColor() const { return m_textColor; }
  void SetTickColor(COLORREF c) { m_tickColor = c; }
  COLORREF GetTickColor() const { return m_tickColor; }
  void SetPattern(int p) { m_pattern = p; }
  int GetPattern() const { return m_pattern; }

  // Label size estimate: characters for the integer part (sign included) plus decimals.
  static void GetFormat(double value, double range, int* width, int* decimals);
  // Tick step (2, 5 or 10 times a power of ten, at least minStep) and first tick (the first
  // multiple of the step not below start) so that labels spacing pixels apart fit.
  static void GetDisplayFormat(double start, double range, LONG length, LONG spacing, CSC* scale,
                               CUnit* unit, double* first, double* step, double minStep);
  static void HDrawTicks(CDC* dc, CRect* rect, double start, double step, double end,
                         ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
                         LONG labelSpacing, int appendUnit, int allowNegative);
  static void VDrawTicks(CDC* dc, CRect* rect, double start, double step, double end,
                         ToPixelFn toPixel, void* context, int minorTicks, CUnit* unit,
                         LONG labelSpacing, int appendUnit, int allowNegative);

 protected:
  // The ruler now shows [start, start + range): rescale and recompute the layout (nothing once
  // the ruler view is being destroyed).
  virtual void RulerChanged(double start, double range, double displayOffset);
  // Four-argument callback of the ruler's event client.
  static void EventCallback(void* ruler, unsigned msg, std::uintptr_t a, std::uintptr_t b);

  void Lock() const { m_lock.Lock(); }
  void Unlock() const { m_lock.Unlock(); }
  // Marks the view destroyed and ends its event registrations; after it returns no callback
  // runs any more. Each view's destructor calls it first, so that no callback reaches a view
  // whose destruction has begun. Harmless twice.
  void Shutdown();
  // RulerChanged with the ruler's current window (nothing without a ruler).
  void RefreshFromRuler();
  HWND GetParentHwnd() const { return m_parentHwnd.load(); }
  bool IsDestroyed() const { return m_destroyed.load() != 0; }

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  // A new window size: the layout follows it and the whole strip repaints.
  afx_msg void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()

  COLORREF m_color = 0xFFFFFF;
  COLORREF m_textColor = 0;
  COLORREF m_tickColor = 0;
  int m_pattern = 0;
  CFont m_font;
  LOGFONTW m_logFont{};
  TEXTMETRICW m_textMetrics{};
  CSC m_scale;
  std::atomic<CRuler*> m_ruler{nullptr};
  int m_inverted = 0;
  std::atomic<unsigned> m_eventRegistration{0};
  std::atomic<unsigned> m_eventClient{0};
  CRect m_dimension{0, 0, 0, 0};
  CWnd* m_parent = nullptr;
  CUnit* m_displayUnit = nullptr;
  int m_labelWidth = 0;
  int m_allowNegative = 1;
  double m_firstTick = 0.0;
  double m_tickStep = 100000.0;
  mutable CCriticalSection m_lock;
  std::atomic<int> m_destroyed{0};
  double m_minStep = 0.0;

 private:
  friend struct quarlen::detail::RulerViewAccess;
  // The container keeps its ruler views in step with its own rulers (RulerChanged).
  friend class CGOContainer;
  void MeasureFont(CDC* dc);
  void Register(CRuler* ruler);

  std::atomic<HWND> m_parentHwnd{nullptr};
};
