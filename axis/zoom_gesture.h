#pragma once
// CZoomGesture: marks one user gesture that changes the visible windows of rulers — a zoom band,
// a zoom-bar drag or page, a double-click home, a range typed into the limits dialog. A tool
// creates one on the stack around the ruler changes the gesture makes (the constructor begins
// the gesture, the destructor ends it); everything that changes rulers meanwhile on the same
// thread, follow-up changes included, belongs to that one gesture.
//
// Marks nest: on one thread, a mark made while another is alive joins it, and only the
// outermost mark begins and ends the gesture. Observers (IZoomGestureObserver, registered for
// the whole process) are told when the outermost mark of a thread begins and ends, on that
// thread. A zoom history (CZoomHistory) records one entry per gesture this way: it reads the
// rulers' windows when a gesture begins and compares them when it ends, so how often the rulers
// announced their changes, and when the event service delivered those announcements, does not
// matter.
//
// An application marks its own user actions that move rulers (a key, a menu command, a call of
// CZoomBar::OnMove on a button press) with a CZoomGesture of its own when they are to be
// recorded; ruler changes outside any mark are not gestures.
//
// Threads: marks may be made on any thread; each thread has its own nesting depth. Registration
// is safe from any thread and also from inside an observer's call. Observers are called with
// the registry's lock held, so that an observer that unregisters (from any thread) is never
// called again once UnregisterObserver has returned; an observer therefore must not wait for
// another thread that may begin or end a gesture or register an observer. Marks belong in
// the handlers of user input; a delivery on the event service's tick thread should not make
// one (observers may send events, and the tick thread holds the event lock).
#include "platform/export.h"

// Told when the outermost gesture mark of a thread begins and ends (on that thread).
class QUARLEN_API IZoomGestureObserver {
 public:
  virtual void OnZoomGestureBegin() = 0;
  virtual void OnZoomGestureEnd() = 0;

 protected:
  ~IZoomGestureObserver() = default;
};

class QUARLEN_API CZoomGesture {
 public:
  CZoomGesture();
  ~CZoomGesture();
  CZoomGesture(const CZoomGesture&) = delete;
  CZoomGesture& operator=(const CZoomGesture&) = delete;

  // Whether a gesture is in progress on the calling thread.
  static bool InProgress();

  // Adds an observer for the whole process; null and an observer already registered are
  // ignored. An observer registered during a gesture hears its end only.
  static void RegisterObserver(IZoomGestureObserver* observer);
  // Removes it; unknown observers are ignored. Once this returns the observer is not called
  // again (a call in progress on another thread has ended).
  static void UnregisterObserver(IZoomGestureObserver* observer);
};
