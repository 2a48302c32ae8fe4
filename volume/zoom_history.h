#pragma once
// CZoomHistory: where the user has been — the visible windows of a set of rulers, one entry
// per user gesture, with back, forward and home, as a view's tool bar offers them.
//
// The rulers are those added one by one (AddRuler: the rulers a view uses) and every ruler of
// one group of a volume set (SetGroup), looked up anew each time they are read, so that views
// linked through the group go back and forward together and rulers the group gains or gives
// back later are followed.
//
// Recording. A gesture is what CZoomGesture marks (the zoom tool's band, the zoom bar's drags,
// pages, double clicks and typed ranges, and what the application marks itself). When the
// outermost mark on the history's thread begins, the history reads the windows of its rulers;
// when it ends, the windows read at the beginning of the rulers whose window now differs (not
// nearly equal) become one entry, and the forward entries are dropped; a gesture that changed
// nothing makes no entry. So a gesture makes one entry however many rulers and ruler changes
// it involves, and the event service's late or coalesced deliveries make none. Ruler changes
// outside any gesture are not recorded (the application's own settings, the volume set
// pulling rulers inside new limits, the history's own steps); the next gesture starts from
// the windows as they are then.
//
// Steps. Back sets the rulers of the newest entry to its windows and keeps the windows it
// leaves as the first forward entry; Forward does the opposite; both record nothing. Rulers a
// gesture did not change keep their windows. Home sets the rulers to their home windows
// (SetHome; a ruler without one gets its whole axis) as a gesture of its own: the windows it
// leaves become an entry, so Back returns to where the user was, exactly as after a double
// click home in a zoom bar. A step sets each ruler with CRuler::Set(start, range, 0), so the
// windows stay inside the current limits; a ruler that has left the history is skipped.
//
// Length. At most GetMaxLength() entries are kept, back and forward together; the oldest go
// first. The consumer list is told (SendMessageW) whenever CanBack or CanForward changes.
//
// Threads and lifetime: a GUI-thread model object, like the volume set — every call belongs to
// the thread that created it, and it records the gestures of that thread only. Rulers added
// with AddRuler must be removed (RemoveRuler) before they are destroyed; the volume set of
// SetGroup must outlive the history or be replaced first (SetGroup(nullptr, ...)).
#include <deque>
#include <thread>
#include <vector>

#include "axis/axis_types.h"
#include "axis/zoom_gesture.h"
#include "notify/consumer_list.h"
#include "platform/export.h"
#include "platform/object.h"
#include "platform/types.h"

class CRuler;
class CVolumeSet;

class QUARLEN_API CZoomHistory : public CObject, private IZoomGestureObserver {
  DECLARE_DYNAMIC(CZoomHistory)

 public:
  static constexpr int kDefaultMaxLength = 50;

  CZoomHistory();
  CZoomHistory(const CZoomHistory&) = delete;
  CZoomHistory& operator=(const CZoomHistory&) = delete;
  ~CZoomHistory() override;

  // A ruler whose window is recorded (not owned); null and rulers already held are ignored.
  void AddRuler(CRuler* ruler);
  // Lets go of a ruler: its windows leave every entry (entries left empty are dropped), unless
  // it is also one of the group's.
  void RemoveRuler(CRuler* ruler);
  // Every ruler of the volume set whose group id matches id, on any axis; a null set (or a
  // private id, which matches nothing) ends the group. Entries already recorded stay.
  void SetGroup(CVolumeSet* set, const vset_groupId& id);

  // The steps; FALSE when there was nothing to do (no entry, or Home already there).
  BOOL Back();
  BOOL Forward();
  BOOL Home();
  BOOL CanBack() const { return !m_back.empty(); }
  BOOL CanForward() const { return !m_forward.empty(); }
  int GetBackCount() const { return static_cast<int>(m_back.size()); }
  int GetForwardCount() const { return static_cast<int>(m_forward.size()); }

  // The current windows of the rulers become their home windows.
  void SetHome();
  // Drops every entry (the home windows stay).
  void Clear();
  // Bounds the entries kept, dropping the oldest now if needed; below 1 is ignored.
  void SetMaxLength(int length);
  int GetMaxLength() const { return m_maxLength; }

  // Told when back or forward availability changes; the source is this history.
  CConsumerList* GetConsList() { return &m_consumers; }

 private:
  struct Window {
    CRuler* ruler;
    double start;
    double range;
  };
  using Entry = std::vector<Window>;
  struct Availability {
    bool back, forward;
    bool operator==(const Availability&) const = default;
  };

  // IZoomGestureObserver.
  void OnZoomGestureBegin() override;
  void OnZoomGestureEnd() override;

  std::vector<CRuler*> Rulers() const;
  Entry Current() const;
  Entry HomeWindows() const;
  static Entry Changed(const Entry& before, const Entry& after);
  Entry CurrentOf(const Entry& entry) const;
  void Apply(const Entry& entry);
  // Back or Forward: applies the newest entry of from, keeping the windows it leaves in to.
  BOOL Step(std::deque<Entry>& from, std::deque<Entry>& to);
  void Record(Entry entry);
  void Trim();
  Availability Available() const { return {CanBack() != 0, CanForward() != 0}; }
  void NotifyIfChanged(Availability before);
  bool OnOwnerThread() const { return std::this_thread::get_id() == m_owner; }

  std::thread::id m_owner;
  std::vector<CRuler*> m_rulers;
  CVolumeSet* m_groupSet = nullptr;
  vset_groupId m_groupId{vset_groupId::kPrivate};
  std::deque<Entry> m_back;     // newest last
  std::deque<Entry> m_forward;  // next last, farthest first
  Entry m_home;
  Entry m_gestureStart;
  bool m_inGesture = false;
  int m_maxLength = kDefaultMaxLength;
  CConsumerList m_consumers;
};
