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

  // Amplitude 0..255 of one sample (indices inside the data).
  std::uint8_t Sample(int scanIndex, int depthIndex) const {
    return m_samples[std::size_t(depthIndex) * m_scanCount + scanIndex];
  }
  // The samples of one depth across every scan position (ScanCount values).
  const std::uint8_t* DepthRow(int depthIndex) const {
    return &m_samples[std::size_t(depthIndex) * m_scanCount];
  }
  // Index of the nearest A-scan / sample, -1 outside.
  int ScanIndex(double scan) const { return Index(scan, kScanStep, m_scanCount); }
  int DepthIndex(double depth) const { return Index(depth, kDepthStep, m_depthCount); }
  int ScanCount() const { return m_scanCount; }
  int DepthCount() const { return m_depthCount; }

 private:
  static int Index(double v, double step, int count);
  int m_scanCount;
  int m_depthCount;
  std::vector<std::uint8_t> m_samples;  // depth-major: a view row reads one run of memory
};

// The colours of the amplitudes 0..255 in the usual inspection palette: white through blue,
// green and yellow to red, as 0xAARRGGBB pixels.
const std::uint32_t* Palette();

}  // namespace demo
