#include "axis/zoom_gesture.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// The observers of the whole process. The lock is recursive so that an observer may register
// or unregister (itself or another one) from inside its call.
struct Registry {
  std::recursive_mutex lock;
  std::vector<IZoomGestureObserver*> observers;

  bool Contains(IZoomGestureObserver* o) const {
    return std::find(observers.begin(), observers.end(), o) != observers.end();
  }
};

Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: marks may end during static teardown
  return *r;
}

thread_local int t_depth = 0;

enum class Phase { Begin, End };

void Tell(Phase phase) {
  Registry& r = registry();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  // A copy, so that registrations made by an observer do not disturb the walk; an observer
  // taken out meanwhile is skipped.
  const std::vector<IZoomGestureObserver*> observers = r.observers;
  for (IZoomGestureObserver* o : observers) {
    if (!r.Contains(o)) continue;
    try {
      if (phase == Phase::Begin) {
        o->OnZoomGestureBegin();
      } else {
        o->OnZoomGestureEnd();
      }
    } catch (...) {
      // An observer's failure must not end the gesture for the others, nor leave a destructor.
    }
  }
}

}  // namespace

CZoomGesture::CZoomGesture() {
  if (++t_depth == 1) Tell(Phase::Begin);
}

CZoomGesture::~CZoomGesture() {
  if (--t_depth == 0) Tell(Phase::End);
}

bool CZoomGesture::InProgress() { return t_depth > 0; }

void CZoomGesture::RegisterObserver(IZoomGestureObserver* observer) {
  if (observer == nullptr) return;
  Registry& r = registry();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  if (!r.Contains(observer)) r.observers.push_back(observer);
}

void CZoomGesture::UnregisterObserver(IZoomGestureObserver* observer) {
  Registry& r = registry();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  r.observers.erase(std::remove(r.observers.begin(), r.observers.end(), observer),
                    r.observers.end());
}
