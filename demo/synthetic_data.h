#pragma once
// Deterministic synthetic inspection data: a 40 mm steel plate scanned over 300 mm, with three
// side-drilled holes and the tip of a crack. Each reflector answers with a hyperbolic echo
// (the probe sees it before and after passing over it), the back wall with a flat one.
//
// The data is sampled once, like an acquisition, on a fixed grid (one A-scan per 0.5 mm of scan,
// one sample per 0.05 mm of depth); the views then only look samples up. Positions are in the
// volume set's base unit, the metre.
#include <cstdint>
#include <vector>

namespace demo {

class SyntheticBScan {
 public:
  static constexpr double kScanLength = 0.300;  // m
  static constexpr double kDepth = 0.050;       // m (the plate is 40 mm thick)
  static constexpr double kScanStep = 0.0005;
  static constexpr double kDepthStep = 0.00005;

  SyntheticBScan();

  // Amplitude 0..255 of the sample nearest to (scan, depth); 0 outside the data.
  std::uint8_t At(double scan, double depth) const {
    const int s = ScanIndex(scan), d = DepthIndex(depth);
    return (s < 0 || d < 0) ? 0 : m_samples[std::size_t(s) * m_depthCount + d];
  }
  // Index of the nearest A-scan / sample, -1 outside.
  int ScanIndex(double scan) const { return Index(scan, kScanStep, m_scanCount); }
  int DepthIndex(double depth) const { return Index(depth, kDepthStep, m_depthCount); }
  // The samples of one A-scan (m_depthCount values).
  const std::uint8_t* AScan(int scanIndex) const {
    return &m_samples[std::size_t(scanIndex) * m_depthCount];
  }
  int ScanCount() const { return m_scanCount; }
  int DepthCount() const { return m_depthCount; }

 private:
  static int Index(double v, double step, int count);
  int m_scanCount;
  int m_depthCount;
  std::vector<std::uint8_t> m_samples;  // scan-major
};

// The colour of an amplitude (0..255) in the usual inspection palette: white through blue,
// green and yellow to red, as 0xAARRGGBB pixels.
std::uint32_t PalettePixel(std::uint8_t amplitude);

}  // namespace demo
