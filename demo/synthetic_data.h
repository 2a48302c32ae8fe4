#pragma once
// The B-scan of the synthetic volume (demo/volume_data.h): depth against scan position on one
// scan line, the line the index cursor selects. The views read samples through it; the line
// changes from any thread (the index cursor's change announcements arrive on the event
// service's thread). A view that renders a whole picture takes the line once and reads that
// line's rows (DepthRow), so a picture never mixes two lines; Sample reads the current line.
#include <atomic>
#include <cstdint>

#include "demo/volume_data.h"

namespace demo {

class SyntheticBScan {
 public:
  static constexpr double kScanLength = SyntheticVolume::kScanLength;  // m
  static constexpr double kDepth = SyntheticVolume::kDepth;
  static constexpr double kScanStep = SyntheticVolume::kScanStep;
  static constexpr double kDepthStep = SyntheticVolume::kDepthStep;

  explicit SyntheticBScan(const SyntheticVolume& volume) : m_volume(volume) {}

  const SyntheticVolume& Volume() const { return m_volume; }
  // The scan line shown; SetLine clamps to the volume's lines. Any thread.
  int Line() const { return m_line.load(std::memory_order_relaxed); }
  void SetLine(int line);

  // Amplitude 0..255 of one sample of the current line (indices inside the data).
  std::uint8_t Sample(int scanIndex, int depthIndex) const {
    return m_volume.Sample(scanIndex, Line(), depthIndex);
  }
  // The samples of one depth of a line across every scan position (ScanCount values).
  const std::uint8_t* DepthRow(int line, int depthIndex) const {
    return m_volume.DepthRow(line, depthIndex);
  }
  // Index of the nearest A-scan / sample, -1 outside.
  int ScanIndex(double scan) const { return m_volume.ScanIndex(scan); }
  int DepthIndex(double depth) const { return m_volume.DepthIndex(depth); }
  int ScanCount() const { return m_volume.ScanCount(); }
  int DepthCount() const { return m_volume.DepthCount(); }

 private:
  const SyntheticVolume& m_volume;
  std::atomic<int> m_line{0};
};

// The colours of the amplitudes 0..255 in the usual inspection palette: white through blue,
// green and yellow to red, as 0xAARRGGBB pixels.
const std::uint32_t* Palette();

}  // namespace demo
