#pragma once
// CGNumCursor: a graphic cursor that also shows its value as text in a box beside the line,
// snaps to a step grid and can move a linked pair of positions together.
//
// Text: with a unit (SetUnit(CUnit*)) the unit's display conversion and format; otherwise the
// format string (SetFormat) applied to value / factor - offset. The format holds at most one
// floating conversion (%f, %e, %g, %a or their capitals, with optional flags, width and
// precision of up to two digits each, and an `l`), with literal text or "%%" around it; a
// format without a conversion is a literal text, shown as it is. Without a format (none set,
// null or empty) and for any other format (several conversions, %s, %n, '*' widths, ...) the
// value is shown as "%g" shows it, so a cursor always shows its value unless told otherwise. A
// text longer than 10 characters is shown as a single space.
//
// The box sits on the side of the line with more room; Ctrl-dragging slides it along the line
// (the value stays). In link mode (CreateLink), Shift+Ctrl-dragging moves the position and its
// partner at their fixed distance. On release after a plain drag the final value is logged
// (event 1623).
#include <string>

#include "cursors/graphic_cursor.h"

class CPosLink;
class CUnit;

class QUARLEN_API CGNumCursor : public CGCursor {
  DECLARE_DYNAMIC(CGNumCursor)

 public:
  CGNumCursor();
  ~CGNumCursor() override;

  // Link mode on, then Create with the link.
  void CreateLink(CPosLink* link);
  void EnableStep(int enable, double step, double origin);
  // Snaps x to the step grid (display and real space agree, or the real-space answer wins).
  double NearestValue(double x) const;
  // No format (null, empty) or an unsafe one selects "%g" (see above).
  void SetFormat(const wchar_t* format);
  // The format actually used.
  std::wstring GetFormat() const;
  // No unit; factor 0 is taken as 1.
  void SetUnit(double factor, double offset);
  void SetUnit(CUnit* unit);
  void SetFloatingLeftBox(int floating) { m_floatingBox = floating; }
  void EnableValue(int a, int b) {
    m_valueFlags[0] = a;
    m_valueFlags[1] = b;
  }
  CSC* GetScale() const { return DirectionScale(); }
  // The text shown for value v (the drawn position's text when drawn).
  std::wstring FormatValue(double v) const;
  double GetBoxPosition() const { return m_boxPosition; }
  int GetBoxCharacters() const { return m_boxCharacters; }
  int GetTextHeight() const { return m_textHeight; }
  int GetCharWidth() const { return m_charWidth; }
  int IsLinkMode() const { return m_linkMode; }

  // CGObject.
  // The two-pixel line strip and the value box on the side where it is drawn.
  void GetVisibleRect(CRect* out) const override;
  void SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) override;
  void OnDraw(CDC* dc, CRect* clip) override;
  void OnScaling() override;

  // CGODynamic.
  int OnUpdateCapture(CPoint* pt, unsigned flags) override;
  void OnEndCapture(CPoint* pt, unsigned flags) override;

  // CGCursor.
  void InvalidateNewPos(double value) override;
  void InvalidateNewPixel(long pixel) override;

  // Whether a format string is accepted by SetFormat (exposed for callers that validate input).
  static bool IsSafeFormat(const wchar_t* format);

 protected:
  void UpdateCursor(CPoint* pt);
  // Invalidates only what a move of the line to value changes: the old and the new line strips
  // and one rectangle holding the old and the new value box, instead of the whole object
  // rectangle that InvalidateNewPos announces. For subclasses that repaint large views on every
  // drag step (override InvalidateNewPos to call it). Takes the object's lock itself.
  void InvalidateLineAndBox(double value);
  // The rectangle the value text of a line at pixel p is drawn into, and its DrawText format.
  CRect TextRect(long p, UINT* format) const;
  // The part of TextRect(p) a text of `characters` characters can cover: one text height
  // across, characters x character width along, on the side the text is aligned to.
  CRect BoxArea(long p, int characters) const;

 private:
  // Cell height of the font the value is drawn with.
  static constexpr int kBoxFontHeight = 14;
  void UpdateCursorLogged(CPoint* pt, bool log);
  // Shared body of OnUpdateCapture and OnEndCapture.
  int CaptureStep(CPoint* pt, unsigned flags, bool end);

  double m_unitFactor = 1.0;
  double m_unitOffset = 0.0;
  int m_textHeight = 8;
  int m_charWidth = 8;
  double m_boxPosition = 0.0;
  int m_boxCharacters = 3;
  int m_valueFlags[2] = {1, 1};
  int m_floatingBox = 0;
  CUnit* m_unit = nullptr;
  std::wstring m_format;
  double m_stepOrigin = 0.0;
  double m_step = 1.0;
  int m_stepEnabled = 0;
  int m_linkMode = 0;
  int m_logOnUpdate = 0;
};
