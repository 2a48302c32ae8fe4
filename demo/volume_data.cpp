#include "demo/volume_data.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <system_error>
#include <thread>

namespace demo {
namespace {

struct Reflector {
  double scan;       // m
  double depth;      // m
  double strength;   // peak amplitude, 0..1
  double beamWidth;  // m: how far along the scan axis the probe still sees it
  double indexFrom;  // m: the stretch of the index axis the reflector runs along
  double indexTo;
};

// Three drilled holes (the third right through the plate) and a crack tip (a weak diffracted
// echo), each running along the index axis over its own stretch.
constexpr std::array<Reflector, 4> kReflectors{{
    {0.060, 0.012, 0.95, 0.020, 0.005, 0.035},
    {0.130, 0.024, 0.80, 0.024, 0.015, 0.055},
    {0.200, 0.033, 0.70, 0.026, 0.000, 0.060},
    {0.250, 0.028, 0.45, 0.030, 0.020, 0.045},
}};
constexpr double kIndexBeam = 0.004;  // m: how far beyond a reflector's end the probe sees it
constexpr double kBackWall = 0.040;
constexpr double kEntry = 0.0008;                 // the entry echo just below the surface
constexpr double kPulseWidth = 0.0006;            // m: envelope of an echo
constexpr double kWaveLength = 0.0012;            // m: ringing inside the envelope
constexpr double kEchoReach = 4.0 * kPulseWidth;  // beyond it an echo is below 1e-7

// The echo's shape (envelope times ringing) at offsets from its centre, tabulated at a
// sixteenth of a depth sample across its reach: the volume holds tens of millions of samples,
// and an exponential and a cosine per sample would make the demo start slowly.
constexpr int kPulseSubsteps = 16;
constexpr double kPulseResolution = SyntheticVolume::kDepthStep / kPulseSubsteps;

const std::vector<float>& PulseTable() {
  static const std::vector<float> table = [] {
    const int half = int(std::ceil(kEchoReach / kPulseResolution));
    std::vector<float> t(2 * half + 1);
    for (int i = 0; i <= 2 * half; ++i) {
      const double offset = (i - half) * kPulseResolution;
      const double u = offset / kPulseWidth;
      const double ringing = 0.6 + 0.4 * std::cos(2.0 * M_PI * offset / kWaveLength);
      t[i] = float(std::exp(-u * u) * ringing);
    }
    return t;
  }();
  return table;
}

// Adds the echo of a reflector at distance `path` to the depth samples of one A-scan, over the
// samples the echo reaches.
void AddEcho(float* column, int depthCount, double path, double strength) {
  const std::vector<float>& pulse = PulseTable();
  const int half = int(pulse.size() / 2);
  const int from = std::max(0, int(std::ceil((path - kEchoReach) / SyntheticVolume::kDepthStep)));
  const int to =
      std::min(depthCount - 1, int(std::floor((path + kEchoReach) / SyntheticVolume::kDepthStep)));
  const float s = float(strength);
  for (int d = from; d <= to; ++d) {
    const long i = std::lround((d * SyntheticVolume::kDepthStep - path) / kPulseResolution) + half;
    if (i >= 0 && i < long(pulse.size())) column[d] += s * pulse[std::size_t(i)];
  }
}

// Fixed material grain noise: a hash of the sample indices, no random generator.
float Grain(int s, int line, int d) {
  std::uint32_t h = static_cast<std::uint32_t>(s) * 73856093u ^
                    static_cast<std::uint32_t>(d) * 19349663u ^
                    static_cast<std::uint32_t>(line) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return float(h & 0xFFFF) / 65535.0f;
}

// How far beyond a reflector's ends an index position lies (0 along it).
double BeyondEnds(const Reflector& r, double index) {
  return std::max({0.0, r.indexFrom - index, index - r.indexTo});
}

// The A-scan at one scan position of one scan line, as amplitudes 0..1 (not yet clamped).
void Column(int s, int line, int depthCount, float* column) {
  const double scan = s * SyntheticVolume::kScanStep;
  const double index = line * SyntheticVolume::kIndexStep;
  for (int d = 0; d < depthCount; ++d) {
    const bool inPlate = d * SyntheticVolume::kDepthStep < kBackWall;
    column[d] = (inPlate ? 0.05f : 0.015f) * Grain(s, line, d);
  }
  AddEcho(column, depthCount, kEntry, 0.9);
  // The back wall is shadowed below the reflectors (less so near their ends).
  double shadow = 1.0;
  for (const Reflector& r : kReflectors) {
    const double dx = scan - r.scan;
    const double dy = BeyondEnds(r, index);
    if (dy > kIndexBeam) continue;
    const double across = std::exp(-4.0 * (dy / kIndexBeam) * (dy / kIndexBeam));
    const double below = 0.35 + 0.65 * std::min(1.0, std::abs(dx) / 0.006);
    shadow = std::min(shadow, 1.0 - across * (1.0 - below));
    if (std::abs(dx) > r.beamWidth) continue;
    const double path = std::sqrt(r.depth * r.depth + dx * dx + dy * dy);  // the hyperbola
    const double along = std::exp(-4.0 * (dx / r.beamWidth) * (dx / r.beamWidth));
    AddEcho(column, depthCount, path, r.strength * along * across);
  }
  AddEcho(column, depthCount, kBackWall, 0.85 * shadow);
}

}  // namespace

SyntheticVolume::SyntheticVolume()
    : m_scanCount(static_cast<int>(std::lround(kScanLength / kScanStep)) + 1),
      m_lineCount(static_cast<int>(std::lround(kIndexLength / kIndexStep)) + 1),
      m_depthCount(static_cast<int>(std::lround(kDepth / kDepthStep)) + 1),
      // Not zeroed: every sample is written below, and the pages are first touched by the
      // workers that fill them, in parallel.
      m_samples(std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t(m_scanCount) *
                                                               m_lineCount * m_depthCount)) {
  // Generating the tens of millions of samples is most of the demo's start-up, so the scan
  // lines are shared out between the cores. Each line depends only on its own indices: the
  // samples are the same whatever the number of workers.
  const int workers =
      std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, m_lineCount);
  std::vector<std::thread> threads;
  for (int w = 1; w < workers; ++w) {
    try {
      threads.emplace_back([this, w, workers] { Generate(w, workers); });
    } catch (const std::system_error&) {
      Generate(w, workers);  // no thread to be had: this one does that share too
    }
  }
  Generate(0, workers);
  for (std::thread& t : threads) t.join();
}

void SyntheticVolume::Generate(int first, int stride) {
  std::vector<float> column(m_depthCount);
  for (int line = first; line < m_lineCount; line += stride) {
    std::uint8_t* slice = &m_samples[std::size_t(line) * m_depthCount * m_scanCount];
    for (int s = 0; s < m_scanCount; ++s) {
      Column(s, line, m_depthCount, column.data());
      for (int d = 0; d < m_depthCount; ++d) {
        const float a = std::clamp(column[d], 0.0f, 1.0f);
        slice[std::size_t(d) * m_scanCount + s] = static_cast<std::uint8_t>(255.0f * a + 0.5f);
      }
    }
  }
}

int SyntheticVolume::Nearest(double v, double step, int count) {
  if (!(v >= -0.5 * step)) return -1;  // also NaN
  const double i = std::floor(v / step + 0.5);
  return i < count ? static_cast<int>(i) : -1;
}

bool SyntheticVolume::GateSamples(double lower, double upper, int* first, int* last) const {
  if (!(lower <= upper)) return false;  // also NaN
  // A slack of a millionth of a sample, so that ends on the grid count as inside.
  constexpr double kSlack = 1e-6;
  const double a = std::ceil(lower / kDepthStep - kSlack);
  const double b = std::floor(upper / kDepthStep + kSlack);
  const double lo = std::max(a, 0.0);
  const double hi = std::min(b, double(m_depthCount - 1));
  if (!(lo <= hi)) return false;
  *first = static_cast<int>(lo);
  *last = static_cast<int>(hi);
  return true;
}

std::vector<std::uint8_t> SyntheticVolume::GateMaximum(double lower, double upper) const {
  std::vector<std::uint8_t> top(std::size_t(m_lineCount) * m_scanCount, 0);
  int first = 0, last = -1;
  if (!GateSamples(lower, upper, &first, &last)) return top;
  for (int line = 0; line < m_lineCount; ++line) {
    std::uint8_t* out = &top[std::size_t(line) * m_scanCount];
    for (int d = first; d <= last; ++d) {
      const std::uint8_t* row = DepthRow(line, d);
      for (int s = 0; s < m_scanCount; ++s) out[s] = std::max(out[s], row[s]);
    }
  }
  return top;
}

}  // namespace demo
