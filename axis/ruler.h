#pragma once
// The ruler: the shared model of the visible window on one axis (start and range), the limits
// that window may not leave, a display offset and a circular-modulo setting.
//
// Every effective change is announced as event 1620 (ruler changed) with the ruler ID as wParam
// and the ruler pointer as lParam, always after the ruler's lock is released, so a receiver may
// read or change the ruler. Values nearly equal to the current ones (difference below 5e-08)
// change nothing and announce nothing; non-finite values are ignored.
//
// Each ruler has its own recursive lock, held by the setters, the getters, comparison and
// assignment, and never held while anything outside the ruler runs.
#include <cstdint>
#include <optional>
#include <string>

#include "axis/axis_types.h"
#include "platform/export.h"
#include "platform/object.h"
#include "platform/sync.h"

class CAxe;
class CVolumeSet;

class QUARLEN_API CRuler : public CObject {
  DECLARE_DYNCREATE(CRuler)

 public:
  CRuler();
  CRuler(const CRuler&) = delete;
  ~CRuler() override;

  // Ties the ruler to an axis descriptor (not owned): start and range are taken from the axis
  // when one is given, the limits become [start, start + range]. Always sends event 1620.
  void Create(const wchar_t* name, CAxe* axe, double displayOffset, int circularModulo);

  // While the axis descriptor has its limits enabled, the window setters first refresh the
  // limits from the axis and clamp: SetStart keeps the start inside the limits, SetRange and
  // SetEnd keep the end at or below the upper limit (SetEnd also at or above the lower one).
  void SetStart(const double& start);
  void SetRange(const double& range);
  void SetEnd(const double& end);
  // Sets start and range together. limitsMode 1 writes the ruler's limits into the axis
  // descriptor before clamping; otherwise the limits are refreshed from an enabled axis.
  void Set(const double& start, const double& range, const int& limitsMode);
  // An offset of (nearly) 0 sets the circular modulo to 1.
  void SetDisplayOffset(const double& offset);
  // A modulo of 0 clears the display offset.
  void SetCircularModulo(const int& modulo);
  // The limits as stored (no order test); no event.
  void SetLimits(const double& min, const double& max);
  void GetLimits(double& min, double& max) const;

  double GetStart() const;
  double GetRange() const;
  double GetEnd() const;
  // Start and range read together under the lock: a window no other thread's setter is
  // halfway through.
  void GetWindow(double& start, double& range) const;
  double GetDisplayOffset() const;
  int GetCircularModulo() const;
  int GetDrawTicksState() const;
  void SetDrawTicksState(const int& state);
  // Null when the ruler has no name. The pointer stays valid until the name changes
  // (Create or assignment).
  const wchar_t* GetName() const;
  CAxe* GetAxe() const;
  // The ruler's address: unique among living rulers and stable for the ruler's life.
  std::uintptr_t GetID() const { return reinterpret_cast<std::uintptr_t>(this); }

  // Equal draw-ticks states and moduli, nearly equal start, range and limits, exactly equal
  // display offsets and equal names (two missing names are equal). Each ruler is read under
  // its own lock, one after the other, so a == b and b == a on two threads cannot deadlock.
  bool operator==(const CRuler& other) const;
  bool operator!=(const CRuler& other) const { return !(*this == other); }
  // Copies everything but the identity (name, draw-ticks state, modulo, start, range, limits,
  // display offset, axis descriptor); no event.
  CRuler& operator=(const CRuler& other);

  // Diagnostic hook: always true.
  virtual bool ValidateState() const;

 private:
  // The numbers of the ruler; a setter announces a change when they differ afterwards.
  struct Numbers {
    int drawTicks = 1;
    int circularModulo = 0;
    double start = 0.0;
    double range = 0.0;
    double limitMin = 0.0;
    double limitMax = 0.0;
    double displayOffset = 0.0;
    bool operator==(const Numbers&) const = default;
  };
  // Everything comparison and assignment read, taken under the lock in one go.
  struct State {
    Numbers numbers;
    std::optional<std::wstring> name;
    CAxe* axe = nullptr;
  };

  class Guard;  // holds the lock for one scope through Lock/Unlock
  void Lock() const;
  void Unlock() const;
  State Snapshot() const;
  void CopyName(const wchar_t* name);
  void RefreshLimitsFromAxis();
  bool AxisLimitsEnabled() const;
  void SendChanged() const;

  Numbers m_numbers;
  std::optional<std::wstring> m_name;
  CAxe* m_axe = nullptr;
  mutable CCriticalSection m_lock;
};

// The ruler a volume set hands out and shares by group id: it knows its volume set, its group
// id, its axis and how many holders it has.
class QUARLEN_API CRulerEx : public CRuler {
  DECLARE_DYNCREATE(CRulerEx)

 public:
  CRulerEx();
  ~CRulerEx() override;

  // Null arguments are skipped.
  void GetInfo(vset_groupId* id, zel_enumAxis* axis, CVolumeSet** set) const;
  // A null id leaves the group id as it is.
  void SetInfo(const vset_groupId* id, zel_enumAxis axis, CVolumeSet* set);
  // The ruler assignment, then volume set, reference count, group id and axis.
  CRulerEx& operator=(const CRulerEx& other);

  int GetRefCount() const { return m_refCount; }

 private:
  friend class CVolumeSet;

  CVolumeSet* m_volumeSet = nullptr;
  int m_refCount = 1;
  vset_groupId m_groupId{vset_groupId::kPrivate};
  zel_enumAxis m_axis = zel_noAxis;
};
