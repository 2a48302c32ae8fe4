#include "demo/synthetic_data.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace demo {

void SyntheticBScan::SetLine(int line) {
  m_line.store(std::clamp(line, 0, m_volume.LineCount() - 1), std::memory_order_relaxed);
}

const std::uint32_t* Palette() {
  // Colour stops at amplitudes 0, 40, 100, 160, 210, 255.
  struct Stop {
    int at;
    int r, g, b;
  };
  static constexpr Stop kStops[] = {{0, 255, 255, 255}, {40, 150, 190, 255}, {100, 0, 60, 230},
                                    {160, 0, 200, 60},  {210, 255, 230, 0},  {255, 230, 0, 0}};
  static const std::array<std::uint32_t, 256> kTable = [] {
    std::array<std::uint32_t, 256> t{};
    for (int a = 0; a < 256; ++a) {
      int i = 0;
      while (kStops[i + 1].at < a) ++i;
      const Stop& p = kStops[i];
      const Stop& q = kStops[i + 1];
      const double f = double(a - p.at) / (q.at - p.at);
      auto mix = [f](int u, int v) {
        return static_cast<std::uint32_t>(std::lround(u + f * (v - u)));
      };
      t[a] = 0xFF000000u | mix(p.r, q.r) << 16 | mix(p.g, q.g) << 8 | mix(p.b, q.b);
    }
    return t;
  }();
  return kTable.data();
}

}  // namespace demo
