#pragma once
// The value types every ruler carries besides its window: the axis of a data volume it shows
// and the group id that decides which views share it. The volume set (volume/) hands rulers out
// by these; they live here because a ruler holds them by value.
#include <cstdint>

#include "platform/export.h"

// The six axes of a data volume; zel_noAxis marks an unassigned object or a failed look-up.
enum zel_enumAxis : std::int32_t {
  zel_scan = 0,
  zel_index = 1,
  zel_ultrasound = 2,
  zel_amplitude = 3,
  zel_user = 4,
  zel_user2 = 5,
  zel_noAxis = 7,
};
constexpr int zel_axisCount = 6;
constexpr bool zel_IsValidAxis(int axis) { return axis >= 0 && axis < zel_axisCount; }

// Names the group of views that share an object of a volume set. Two ids match when values 1
// to 4 are equal; value 5 is carried along but never compared. Value 1 equal to kPrivate marks
// a private id: it matches nothing, so every request with it yields a new object.
struct QUARLEN_API vset_groupId {
  static constexpr std::uint32_t kPrivate = 6;

  vset_groupId() = default;
  vset_groupId(std::uint32_t v1, std::uint32_t v2 = 0, std::uint32_t v3 = 0, std::uint32_t v4 = 0,
               std::uint32_t v5 = 0)
      : value1(v1), value2(v2), value3(v3), value4(v4), value5(v5) {}

  bool IsPrivate() const { return value1 == kPrivate; }
  // Values 1 to 4 equal and neither id private.
  bool Matches(const vset_groupId& other) const {
    return !IsPrivate() && !other.IsPrivate() && value1 == other.value1 && value2 == other.value2 &&
           value3 == other.value3 && value4 == other.value4;
  }

  std::uint32_t value1 = 0;
  std::uint32_t value2 = 0;
  std::uint32_t value3 = 0;
  std::uint32_t value4 = 0;
  std::uint32_t value5 = 0;
};
