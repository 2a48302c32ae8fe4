#pragma once
// Scale converter: maps one axis between positions (ruler values in the axis's base unit),
// samples (indices into the acquired data) and pixels (device coordinates in a window).
//
// A converter is a plain value snapshot of a ruler's visible window, of the window's pixel
// extent and of the data's sampling. Its owner refreshes it after every ruler change or resize.
// Conversions take no lock, allocate nothing and read only the snapshot.
//
// Integer results never overflow: every conversion to a 32-bit integer saturates. A result that
// is not a number (a zero window or a zero sample resolution turning 0/0) gives 0; one above
// the 32-bit range (including +infinity) gives 2147483647 (LONG_MAX of the window system); one
// below it (including -infinity) gives -2147483648.
#include "platform/export.h"
#include "platform/types.h"

class CRuler;
class CUnit;

// Sampling of the data shown on an axis, supplied by the host. Only these members are read.
struct go_sample {
  double resolution = 0.0;  // position step between two samples
  double offset = 0.0;      // position of sample 0
  int nonLinearA = 0;       // both flags are 0 for linearly sampled data
  int nonLinearB = 0;
};

class QUARLEN_API CSC {
 public:
  CSC() = default;
  // Snapshot of ruler (may be null: the ruler window stays empty) and samples (may be null),
  // over a window of pixels pixels whose first pixel is at offset.
  CSC(CRuler* ruler, go_sample* samples, LONG pixels, LONG offset, int inverted,
      int displayOffsetConsidered, int dataLimitsConsidered);

  // Re-reads the ruler window; with a null ruler only the inverted flag is stored.
  void SetAttrib(CRuler* ruler, int inverted);
  // The same from explicit values.
  void SetAttrib(double start, double range, int inverted, double displayOffset);
  // Re-reads the sampling (nothing when samples is null).
  void SetAttrib(go_sample* samples);
  // New window extent: pixels along the axis and the coordinate of the first one.
  void SetAttrib(LONG pixels, LONG offset);

  // These store the value only; it takes effect at the next conversion (the display offset
  // flag at the next set-up for the ruler offset).
  void SetDisplayOffsetConsidered(int considered);
  void SetDataLimitsConsidered(int considered);
  void SetDataLimits(double minimum, double maximum);
  void Invert(int inverted) { m_inverted = inverted; }

  // Position to pixel, rounded half up; the window's first pixel shows the ruler offset, its
  // last pixel the ruler end (swapped when inverted).
  LONG PosToPixel(double pos) const;
  // Pixel to position; a window of one pixel or less yields an infinity or NaN position.
  double PixelToPos(LONG pixel) const;
  // A length in positions as a pixel count plus the window offset, rounded half up.
  LONG PosToPixelQty(double length) const;

  double SampleToPos(LONG sample) const { return sample * m_sampleResol + m_sampleOffset; }
  double SampleToPos(double sample) const { return sample * m_sampleResol + m_sampleOffset; }
  // Nearest sample (adds 0.5, truncates toward zero).
  LONG PosToSample(double pos) const;
  double PosToSampleD(double pos) const { return (pos - m_sampleOffset) / m_sampleResol; }
  LONG SampleToPixel(LONG sample) const { return PosToPixel(SampleToPos(sample)); }
  LONG SampleToPixel(double sample) const { return PosToPixel(SampleToPos(sample)); }
  LONG PixelToSample(LONG pixel) const;
  double PixelToSampleD(LONG pixel) const {
    return (PixelToPos(pixel) - m_sampleOffset) / m_sampleResol;
  }
  double PixelPerSample() const;
  // Samples per pixel; with a sample resolution of 0 the largest double with the sign of the
  // ruler range.
  double SamplePerPixel() const;

  // Display offset: real data positions against the shifted presentation of a circular axis.
  double RealToDisplayPos(double pos) const;
  double DisplayToRealPos(double pos) const;
  int HasStaticDisplayOffset() const;

  // Rounds a position to whole steps of unit's display values, across the display-offset
  // exchange; returns the display value. A null unit counts as the identity.
  LONG ToSampleSteps(double pos, CUnit* unit) const;

  int IsLinear() const { return m_nonLinearA == 0 && m_nonLinearB == 0 ? 1 : 0; }
  // Window size and offset equal; ruler offset, range, display offset, sample offset and
  // resolution exactly equal.
  bool operator==(const CSC& other) const;

  LONG GetWndSize() const { return m_wndSize; }
  LONG GetWndOffset() const { return m_wndOffset; }
  double GetRulOffset() const { return m_rulOffset; }
  double GetRulRange() const { return m_rulRange; }
  double GetSampleOffset() const { return m_sampleOffset; }
  double GetSampleResol() const { return m_sampleResol; }
  double GetDisplayOffset() const { return m_displayOffset; }
  double GetWndSizeOnRulerRange() const { return m_pixelsPerPos; }
  int IsInverted() const { return m_inverted; }

 private:
  // How the display offset applies, decided whenever one of its inputs changes so that the
  // conversions need not.
  enum class OffsetMode : unsigned char { kNone, kStatic, kBands };

  // Recomputes pixels per position and the ruler end from offset and range.
  void UpdateRulerDerived();
  void UpdateOffsetMode();
  double ExchangeBands(double pos) const;

  LONG m_wndSize = 0;
  LONG m_wndOffset = 0;
  double m_rulOffset = 0.0;
  double m_rulRange = 0.0;
  double m_sampleOffset = 0.0;
  double m_sampleResol = 0.0;
  int m_nonLinearA = 0;
  int m_nonLinearB = 0;
  int m_inverted = 0;
  double m_pixelsPerPos = 0.0;
  double m_rulEnd = 0.0;
  int m_displayOffsetConsidered = 1;
  double m_displayOffset = 0.0;
  int m_dataLimitsConsidered = 1;
  double m_dataMin = 0.0;
  double m_dataMax = 0.0;
  OffsetMode m_offsetMode = OffsetMode::kNone;
};
