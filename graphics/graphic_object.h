#pragma once
// CGObject: base of everything drawn inside a container window (CGOContainer).
//
// An object owns no window. It owns two scales that map the positions of two rulers onto its
// rectangle in the container's client area, a colour, two enable flags and an update region.
// Objects never paint on their own initiative: they add rectangles to their update region and
// announce it with event 1618 (addressed to their container); the container later collects the
// regions, acknowledges them (AckNewData) and paints the affected rectangles layer by layer.
//
// Locking: every object has its own recursive lock. The container calls objects while holding
// its own lock, so the order is always container, then object; an object never calls its
// container. Event 1618 is sent only once the object's lock is no longer held by the sending
// thread (a send requested while the lock is held goes out at the outermost Unlock), so a thread
// never waits for the event service while it holds an object lock.
#include <atomic>
#include <cstdint>
#include <memory>

#include "graphics/complex_region.h"
#include "platform/export.h"
#include "platform/geometry.h"
#include "platform/object.h"
#include "platform/sync.h"
#include "platform/types.h"

class CArchive;
class CDC;
class CRuler;
class CSC;

class QUARLEN_API CGObject : public CObject {
  DECLARE_DYNAMIC(CGObject)

 public:
  CGObject();
  ~CGObject() override;
  CGObject(const CGObject&) = delete;
  CGObject& operator=(const CGObject&) = delete;

  // Stores or loads, little-endian, 32 bytes: draw enabled, build enabled, container id (low
  // 32 bits), colour, then the rectangle's left, top, right, bottom. Truncated input ends with
  // CArchiveException (end of file); the fields read before that keep their new values.
  void Serialize(CArchive& ar) override;

  // Virtual operations; derived objects rely on this order.
  virtual void EnableDraw(int enable);
  virtual void EnableBuild(int enable);
  virtual void SetColor(COLORREF color);
  virtual void SetContainer(std::uintptr_t container);
  // Base answer: 0, nothing written.
  virtual int GetImageRect(double* x1, double* y1, double* x2, double* y2) const;
  virtual void GetVisibleRect(CRect* out) const;
  virtual void SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow);
  virtual CSC* GetXScale() const;
  virtual CSC* GetYScale() const;
  // Empties the update region (the container has collected it).
  virtual void AckNewData();
  virtual void OnDraw(CDC* dc, CRect* clip);
  // Called once when added to a container, with a window DC released right after the call.
  virtual void OnInit(CDC* dc);
  // Called when removed from its container (with a window DC when one is available).
  virtual void OnDestroyWnd(CDC* dc);
  // New object rectangle: discards the pending update region and recomputes the scales.
  virtual void OnSize(CRect* rect);
  // DC valid only until the current resize processing ends.
  virtual void SetTemporaryDC(CDC* dc);
  // Base: on 1620, rescales when a ruler's start, range or display offset differs from what the
  // scales cached.
  virtual void OnEvent(unsigned id, WPARAM a, LPARAM b);
  virtual void SetDataLimits(double x1, double x2, double y1, double y2);
  // Called whenever the scales have been recomputed.
  virtual void OnScaling();

  // Non-virtual operations.
  std::uintptr_t GetContainer() const { return m_container.load(); }
  void GetRuler(CRuler** x, CRuler** y) const;
  int IsDrawEnable() const { return m_drawEnabled.load(); }
  int IsBuildEnable() const { return m_buildEnabled.load(); }
  COLORREF GetColor() const { return m_color.load(); }

  // Adds the visible rectangle (virtual GetVisibleRect) to the update region.
  void Invalidate();
  // Adds the object rectangle, whatever GetVisibleRect answers.
  void InvalidateAll();
  // Adds r unless it is empty (no event either then).
  void Invalidate(const CRect* r);
  // Adds rgn and signals, even when rgn is empty.
  void Invalidate(const CComplexRegion* rgn);
  // Calls OnSize with the current object rectangle (rescales, OnScaling).
  void PostNewDimension();
  // Adds the update region to out; the object's own region is unchanged.
  void GetUpdateRgn(CComplexRegion* out);
  int IsModified() const;
  double XPosPerSample() const;
  double YPosPerSample() const;

 protected:
  // event_Send(1618, container id, this object, 0x2000000); deferred to the outermost Unlock
  // when the calling thread holds the object's lock.
  void SignalModified();
  // Four-argument event-service callback: forwards to object->OnEvent(id, a, b). Register with
  // event_RegisterClient(this, nullptr, &CGObject::EventCallback, event_kindCallback4).
  static void EventCallback(void* object, unsigned id, std::uintptr_t a, std::uintptr_t b);
  void Lock() const;
  void Unlock() const;

  // The object rectangle, for derived classes (read under the lock).
  CRect m_rect{0, 0, 1, 1};
  CRuler* m_xRuler = nullptr;
  CRuler* m_yRuler = nullptr;
  int m_xGrow = 1;
  int m_yGrow = 1;

 private:
  // The container collects and acknowledges update regions under the object's lock, so that
  // an invalidation from another thread cannot fall between the two.
  friend class CGOContainer;
  void SendModified();

  std::atomic<int> m_drawEnabled{1};
  std::atomic<int> m_buildEnabled{0};
  std::atomic<std::uintptr_t> m_container{0};
  std::atomic<COLORREF> m_color{0};
  CComplexRegion m_updateRgn;
  mutable CCriticalSection m_lock;
  // Guarded by m_lock: how deep the owning thread holds it, and whether a 1618 is owed.
  mutable int m_lockDepth = 0;
  mutable bool m_signalPending = false;
  std::unique_ptr<CSC> m_xScale;
  std::unique_ptr<CSC> m_yScale;
};
