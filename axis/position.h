#pragma once
// Places on axes: the axis descriptor (CAxe), a named value on an axis that announces its
// changes through the event service (CPosition), and a position that moves together with a
// partner at a fixed distance (CPosLink).
//
// Positions carry no lock: they belong to the user-interface thread. Other threads learn of
// changes through event 1619 (position changed) and 1623 (position to be logged), both sent
// with the position's address as wParam and lParam.
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/export.h"
#include "platform/object.h"

// Physical quantity of an axis, with the numbering of the units' quantity enumeration.
enum std_enumUnits : std::int32_t {
  std_none = 0,
  std_time = 1,
  std_distance = 2,
  std_rotation = 3,
  std_percent = 4,
  std_decibel = 5,
  std_frequency = 6,
  std_temperature = 7,
  std_sample = 8,
  std_halfTime = 9,
  std_fullPath = 10,
  std_halfPath = 11,
  std_trueDepth = 12,
  std_tofd = 13,
  std_voltage = 14,
};

// Describes an axis: a name, a unit type, and a start/range pair that also serves as the
// axis's limits once given (LimitsEnabled). Non-finite start, range or end values are ignored.
class QUARLEN_API CAxe : public CObject {
 public:
  static constexpr int kMaxName = 31;  // characters; longer names are truncated

  CAxe();
  CAxe(const CAxe& other);
  CAxe& operator=(const CAxe& other);
  ~CAxe() override;

  // Name (copied, truncated to kMaxName characters; null gives an empty name) and units; start
  // and range are set and the limits enabled.
  void Create(const wchar_t* name, std_enumUnits units, double start, double range);
  // Name and units only; start, range and the limits flag stay.
  void Create(const wchar_t* name, std_enumUnits units);

  // Same non-empty name (case-sensitive) and same units; start and range are not compared.
  bool operator==(const CAxe& other) const;

  void SetStart(double start);
  void SetRange(double range);
  void SetEnd(double end);  // range := end - start
  double GetStart() const { return m_start; }
  double GetRange() const { return m_range; }
  double GetEnd() const { return m_start + m_range; }
  // Both ends inclusive.
  int IsValueInAxe(double x) const;

  const wchar_t* GetName() const { return m_name; }
  std_enumUnits GetUnits() const { return m_units; }
  int LimitsEnabled() const { return m_limitsEnabled; }

 private:
  void CopyName(const wchar_t* name);

  double m_start = 0.0;
  double m_range = 0.0;
  std_enumUnits m_units = std_none;
  wchar_t m_name[kMaxName + 1] = {};
  int m_limitsEnabled = 0;
};

// A named value on an axis. Each change made with notify set is announced as event 1619.
// Non-finite values are ignored.
class QUARLEN_API CPosition : public CObject {
  DECLARE_DYNAMIC(CPosition)

 public:
  CPosition();
  CPosition(const CPosition&) = delete;
  CPosition& operator=(const CPosition&) = delete;
  ~CPosition() override;

  // Replaces name, axis and value (the previous value stays) and marks the position valid.
  void Create(const wchar_t* name, CAxe* axis, double value, int notify);
  // Records the current value as the previous one, then takes x; sends 1619 with notify when
  // the value changed or the position was not valid yet.
  void SetValue(double value, int notify);
  // Sends event 1623; whoever receives it writes the log line.
  void LogPosition();

  double GetValue() const { return m_value.load(std::memory_order_relaxed); }
  double GetPreviousValue() const { return m_previousValue.load(std::memory_order_relaxed); }
  // Never null: a position without a name gives an empty string.
  const wchar_t* GetName() const { return m_name.c_str(); }
  CAxe* GetAxe() const { return m_axis; }
  int IsValid() const { return m_valid.load(std::memory_order_relaxed) ? 1 : 0; }
  // The position's address; event parameters carry it.
  std::uintptr_t GetID() const { return reinterpret_cast<std::uintptr_t>(this); }

 private:
  // Positions belong to the user-interface thread, but the views that follow them read the value
  // on the event service's tick thread: the value and validity are atomic so those reads are
  // never torn (they see the old or the new value).
  std::atomic<double> m_value{0.0};
  std::atomic<double> m_previousValue{0.0};
  std::wstring m_name;
  CAxe* m_axis = nullptr;
  std::atomic<bool> m_valid{false};
};

// A position that can be paired with a partner: with propagate, SetValue moves both at their
// fixed distance and keeps the partner inside this position's axis. Pairs are symmetric: a
// position has at most one partner, and destroying either one leaves the other alone.
class QUARLEN_API CPosLink : public CPosition {
 public:
  CPosLink();
  ~CPosLink() override;

  // Pairs with partner when it is not null (any earlier pairing of either side is undone
  // first), then creates the position.
  void Create(const wchar_t* name, CAxe* axis, double value, CPosLink* partner, int notify);
  void SetValue(double value, int propagate, int notify);
  void SetLog(int log) { m_log = log; }
  int GetLog() const { return m_log; }
  CPosLink* GetLink() const { return m_link; }

 protected:
  void Link(CPosLink* partner) { m_link = partner; }  // one way only
  void UnLink() { m_link = nullptr; }                 // one way only

 private:
  int m_log = 0;
  CPosLink* m_link = nullptr;
};
