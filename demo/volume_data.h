#pragma once
// Deterministic synthetic inspection data: a 40 mm steel plate scanned over 300 mm along the
// scan axis and 60 mm along the index axis, with three drilled holes and a crack running along
// the index axis, each over its own stretch of it. Each reflector answers with a hyperbolic echo
// (the probe sees it before and after passing over it, and a little beyond its ends); the back
// wall answers with a flat echo, shadowed below the reflectors.
//
// The data is sampled once, like an acquisition, on a fixed grid: one A-scan per 0.5 mm of scan
// and per 1 mm of index (a scan line), one sample per 0.05 mm of depth. The views only look
// samples up. Positions are in the volume set's base unit, the metre.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace demo {

class SyntheticVolume {
 public:
  static constexpr double kScanLength = 0.300;  // m
  static constexpr double kIndexLength = 0.060;
  static constexpr double kDepth = 0.050;  // the plate is 40 mm thick
  static constexpr double kScanStep = 0.0005;
  static constexpr double kIndexStep = 0.001;
  static constexpr double kDepthStep = 0.00005;

  SyntheticVolume();

  int ScanCount() const { return m_scanCount; }
  int LineCount() const { return m_lineCount; }
  int DepthCount() const { return m_depthCount; }
  // Index of the nearest A-scan, scan line or depth sample; -1 outside (or for NaN).
  int ScanIndex(double scan) const { return Nearest(scan, kScanStep, m_scanCount); }
  int LineIndex(double index) const { return Nearest(index, kIndexStep, m_lineCount); }
  int DepthIndex(double depth) const { return Nearest(depth, kDepthStep, m_depthCount); }

  // Amplitude 0..255 of one sample (indices inside the data).
  std::uint8_t Sample(int scan, int line, int depth) const { return DepthRow(line, depth)[scan]; }
  // The samples of one depth of one scan line across every scan position (ScanCount values):
  // a B-scan row is one run of memory.
  const std::uint8_t* DepthRow(int line, int depth) const {
    return &m_samples[(std::size_t(line) * m_depthCount + depth) * m_scanCount];
  }

  // The depth samples of the gate [lower, upper] (m): the first and last sample on the grid
  // inside it, clamped to the data. False (and nothing written) for an empty gate: lower above
  // upper, a gate beside the data, or a NaN end.
  bool GateSamples(double lower, double upper, int* first, int* last) const;
  // The top view of the gate [lower, upper] (m): for every scan line and scan position the
  // largest amplitude of the samples inside the gate, line-major (LineCount rows of ScanCount
  // values). An empty gate gives zeros.
  std::vector<std::uint8_t> GateMaximum(double lower, double upper) const;

 private:
  static int Nearest(double v, double step, int count);
  // Fills the scan lines first, first + stride, ... of the samples.
  void Generate(int first, int stride);
  int m_scanCount;
  int m_lineCount;
  int m_depthCount;
  std::unique_ptr<std::uint8_t[]> m_samples;  // line, then depth, then scan position
};

}  // namespace demo
