#pragma once
// CGCursor: a value of one axis shown as a full-height (or full-width) line in a container, and
// dragged with the left mouse button.
//
// The value belongs to a CPosition that the application owns and that other views may show and
// change too. A drag writes the position (which announces event 1619); a change made elsewhere
// reaches every cursor of that position through the event service's tick thread and moves the
// line. Only the strips the line leaves and enters are invalidated.
//
// The line is vertical when the position lies on the horizontal ruler's axis (the cursor then
// uses its X scale), horizontal otherwise (Y scale).
//
// Lifetime: the reference position must outlive the cursor (the cursor reads it from the tick
// thread until its destructor has unregistered from the event service). Destroying the cursor
// first is always safe. Create must come before SetRuler, drawing or input.
//
// Locking: every operation that reads or writes the drawn, pending or reference state holds the
// object's recursive lock; the plain getters and GetCursorWidth do not. A drag writes the
// position (which sends event 1619 and, on release, 1623) with the lock released: the event
// service delivers to this cursor while holding its own lock, so a send made under the object's
// lock could deadlock against a delivery. For the same reason Create and the destructor
// register and unregister with the event service outside the object's lock.
#include "graphics/dynamic_object.h"

class CPosition;

class QUARLEN_API CGCursor : public CGODynamic {
  DECLARE_DYNAMIC(CGCursor)

 public:
  // Value that InvalidateNewPos treats as "no value".
  static constexpr double kNoValue = 1e30;

  CGCursor();
  ~CGCursor() override;

  // Binds the cursor to its position and subscribes to its changes (event 1619, delay mode).
  // A null position is ignored. Calling Create again moves the subscription to the new position.
  void Create(CPosition* position);

  void EnableShadow(int enable, COLORREF color);
  void SetAlternateColor(COLORREF color);
  // Pen style of the line: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot.
  void SetLineType(int type);
  int GetLineType() const { return m_lineType; }
  COLORREF GetAlternateColor() const { return m_alternateColor; }
  int IsShadowEnabled() const { return m_shadowEnabled; }
  COLORREF GetShadowColor() const { return m_shadowColor; }
  CPosition* GetRefPosition() const { return m_refPosition; }
  // Width of one pixel in position units at the drawn position.
  double GetCursorWidth() const;
  // 1 when the line is vertical (the position lies on the horizontal ruler's axis).
  int IsFollowingX() const { return m_followsX; }

  // CGObject.
  void GetVisibleRect(CRect* out) const override;
  void SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) override;
  void AckNewData() override;
  void OnDraw(CDC* dc, CRect* clip) override;
  void OnEvent(unsigned id, WPARAM a, LPARAM b) override;
  void OnScaling() override;

  // CGODynamic.
  int IsOnTop(CPoint* pt) const override;
  int OnBeginCapture(CPoint* pt, unsigned flags) override;
  int OnUpdateCapture(CPoint* pt, unsigned flags) override;
  void OnEndCapture(CPoint* pt, unsigned flags) override;

  // Appended virtual operations, in this order.
  // Announces that the line is to move to value (kNoValue: nothing happens).
  virtual void InvalidateNewPos(double value);
  // Announces that the line is to move to a pixel coordinate of the cursor's direction.
  virtual void InvalidateNewPixel(long pixel);

 protected:
  // Holds the object's (recursive) lock for one scope.
  class Guard {
   public:
    explicit Guard(const CGCursor* c) : m_cursor(c) { m_cursor->Lock(); }
    ~Guard() { m_cursor->Unlock(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

   private:
    const CGCursor* m_cursor;
  };

  // The scale of the cursor's direction (X scale when following X).
  CSC* DirectionScale() const;
  // Pixel of the drawn line.
  long DrawnPixel() const;
  // The object rectangle with its extent in the cursor's direction set to [p, p + width).
  CRect Strip(long p, long width) const;
  // The coordinate of pt in the cursor's direction.
  long Coordinate(const CPoint& pt) const { return m_followsX ? pt.x : pt.y; }
  // Draws the line and the shadow line as the cursor does (dc state restored except the
  // background colour and mode).
  void DrawLines(CDC* dc, const CRect& clip, long p);
  // Base drag step: write the position from the pointer and move the line by pixel. Takes the
  // object's lock itself; call it without holding the lock.
  int UpdateFromPixel(CPoint* pt);

  CPosition* m_refPosition = nullptr;
  unsigned m_eventClient = 0;
  unsigned m_eventId = 0;
  int m_lineType = 0;
  COLORREF m_alternateColor = 0xFFFFFF;
  COLORREF m_shadowColor = 0x7F7F7F;
  int m_shadowEnabled = 0;
  int m_followsX = 1;
  double m_drawnPosition = 0.0;
  double m_pendingPosition = 0.0;

 private:
  void Unsubscribe();
};
