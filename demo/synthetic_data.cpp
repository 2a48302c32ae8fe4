#include "demo/synthetic_data.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace demo {
namespace {

struct Reflector {
  double scan;       // m
  double depth;      // m
  double strength;   // peak amplitude, 0..1
  double beamWidth;  // m: how far from the reflector the probe still sees it
};

// Three side-drilled holes and a crack tip (a weak diffracted echo).
constexpr std::array<Reflector, 4> kReflectors{{
    {0.060, 0.012, 0.95, 0.020},
    {0.130, 0.024, 0.80, 0.024},
    {0.200, 0.033, 0.70, 0.026},
    {0.250, 0.028, 0.45, 0.030},
}};
constexpr double kBackWall = 0.040;
constexpr double kPulseWidth = 0.0006;  // m: envelope of an echo
constexpr double kWaveLength = 0.0012;  // m: ringing inside the envelope

// Echo of a reflector at distance `path` seen at depth `depth`.
double Echo(double depth, double path, double strength) {
  const double t = (depth - path) / kPulseWidth;
  if (t < -4.0 || t > 4.0) return 0.0;  // below 1e-7: not worth an exponential
  const double ringing = 0.6 + 0.4 * std::cos(2.0 * M_PI * (depth - path) / kWaveLength);
  return strength * std::exp(-t * t) * ringing;
}

// Fixed material grain noise: a hash of the sample indices, no random generator.
double Grain(int s, int d) {
  std::uint32_t h =
      static_cast<std::uint32_t>(s) * 73856093u ^ static_cast<std::uint32_t>(d) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 0xFFFF) / 65535.0;
}

double Amplitude(int s, int d) {
  const double scan = s * SyntheticBScan::kScanStep;
  const double depth = d * SyntheticBScan::kDepthStep;
  double a = 0.05 * Grain(s, d) * (depth < kBackWall ? 1.0 : 0.3);
  a += Echo(depth, 0.0008, 0.9);  // entry echo just below the surface
  // The back wall is shadowed below the holes.
  double shadow = 1.0;
  for (const Reflector& r : kReflectors) {
    const double dx = scan - r.scan;
    shadow = std::min(shadow, 0.35 + 0.65 * std::min(1.0, std::abs(dx) / 0.006));
    if (std::abs(dx) > r.beamWidth) continue;
    const double path = std::sqrt(r.depth * r.depth + dx * dx);  // the hyperbola
    const double beam = std::exp(-4.0 * (dx / r.beamWidth) * (dx / r.beamWidth));
    a += Echo(depth, path, r.strength * beam);
  }
  a += Echo(depth, kBackWall, 0.85 * shadow);
  return std::clamp(a, 0.0, 1.0);
}

}  // namespace

SyntheticBScan::SyntheticBScan()
    : m_scanCount(static_cast<int>(std::lround(kScanLength / kScanStep)) + 1),
      m_depthCount(static_cast<int>(std::lround(kDepth / kDepthStep)) + 1),
      m_samples(std::size_t(m_scanCount) * m_depthCount) {
  for (int s = 0; s < m_scanCount; ++s) {
    for (int d = 0; d < m_depthCount; ++d) {
      m_samples[std::size_t(d) * m_scanCount + s] =
          static_cast<std::uint8_t>(std::lround(255.0 * Amplitude(s, d)));
    }
  }
}

int SyntheticBScan::Index(double v, double step, int count) {
  if (!(v >= -0.5 * step)) return -1;  // also NaN
  const double i = std::floor(v / step + 0.5);
  return i < count ? static_cast<int>(i) : -1;
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
