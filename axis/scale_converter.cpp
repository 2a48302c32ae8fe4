#include "axis/scale_converter.h"

#include <cmath>
#include <cstdint>

#include "axis/ruler.h"
#include "axis/unit.h"
#include "platform/numeric.h"

namespace {

constexpr double kTwoTo31 = 2147483648.0;

// Truncation toward zero into a 32-bit integer, saturating (NaN gives 0).
LONG TruncToLong(double v) {
  if (v > -kTwoTo31 - 1.0 && v < kTwoTo31) return static_cast<LONG>(v);
  return quarlen::SaturatingTrunc<std::int32_t>(v);
}

// Floor into a 32-bit integer, saturating (NaN gives 0). Done by hand on the fast path: the
// library floor is a function call on the baseline instruction set.
LONG FloorToLong(double v) {
  if (v >= -kTwoTo31 && v < kTwoTo31) {
    const std::int64_t t = static_cast<std::int64_t>(v);
    return static_cast<LONG>(t - (static_cast<double>(t) > v ? 1 : 0));
  }
  return quarlen::SaturatingTrunc<std::int32_t>(v);
}

}  // namespace

CSC::CSC(CRuler* ruler, go_sample* samples, LONG pixels, LONG offset, int inverted,
         int displayOffsetConsidered, int dataLimitsConsidered)
    : m_wndSize(pixels > 0 ? pixels - 1 : 0),
      m_wndOffset(offset),
      m_displayOffsetConsidered(displayOffsetConsidered),
      m_dataLimitsConsidered(dataLimitsConsidered) {
  SetAttrib(ruler, inverted);
  SetAttrib(samples);
}

void CSC::SetAttrib(CRuler* ruler, int inverted) {
  m_inverted = inverted;
  if (ruler == nullptr) return;
  m_rulOffset = ruler->GetStart();
  if (m_displayOffsetConsidered) {
    m_displayOffset = ruler->GetDisplayOffset();
    m_rulOffset += m_displayOffset;
  }
  m_rulRange = ruler->GetRange();
  UpdateRulerDerived();
  UpdateOffsetMode();
}

void CSC::SetAttrib(double start, double range, int inverted, double displayOffset) {
  m_inverted = inverted;
  const double o = m_displayOffsetConsidered ? displayOffset : 0.0;
  m_rulOffset = start + o;
  m_displayOffset = o;
  m_rulRange = range;
  UpdateRulerDerived();
  UpdateOffsetMode();
}

void CSC::SetAttrib(go_sample* samples) {
  if (samples == nullptr) return;
  m_sampleResol = samples->resolution;
  m_sampleOffset = samples->offset;
  m_nonLinearA = samples->nonLinearA;
  m_nonLinearB = samples->nonLinearB;
}

void CSC::SetAttrib(LONG pixels, LONG offset) {
  m_wndOffset = offset;
  m_wndSize = pixels > 0 ? pixels - 1 : 0;
  m_pixelsPerPos = m_rulRange == 0.0 ? m_wndSize : m_wndSize / m_rulRange;
}

void CSC::UpdateRulerDerived() {
  m_pixelsPerPos = m_rulRange == 0.0 ? m_wndSize : m_wndSize / m_rulRange;
  m_rulEnd = m_rulOffset + m_rulRange;
}

LONG CSC::PosToPixel(double pos) const {
  double d = RealToDisplayPos(pos);
  d = m_inverted ? m_rulEnd - d : d - m_rulOffset;
  return FloorToLong(d * m_pixelsPerPos + m_wndOffset + 0.5);
}

double CSC::PixelToPos(LONG pixel) const {
  // 64-bit so that extreme pixels and offsets cannot overflow.
  const std::int64_t c = m_inverted ? std::int64_t{m_wndOffset} + m_wndSize - pixel
                                    : std::int64_t{pixel} - m_wndOffset;
  return DisplayToRealPos(static_cast<double>(c) * m_rulRange / m_wndSize + m_rulOffset);
}

LONG CSC::PosToPixelQty(double length) const {
  return FloorToLong(m_pixelsPerPos * length + m_wndOffset + 0.5);
}

LONG CSC::PosToSample(double pos) const {
  return TruncToLong((pos - m_sampleOffset) / m_sampleResol + 0.5);
}

LONG CSC::PixelToSample(LONG pixel) const {
  return TruncToLong((PixelToPos(pixel) - m_sampleOffset) / m_sampleResol + 0.5);
}

double CSC::PixelPerSample() const { return m_wndSize / (m_rulRange / m_sampleResol); }

double CSC::SamplePerPixel() const {
  if (m_sampleResol == 0.0) {
    constexpr double kLargest = 1.7976931348623157e308;
    return m_rulRange < 0.0 ? -kLargest : kLargest;
  }
  const double v = m_rulRange / m_sampleResol;
  return m_wndSize != 0 ? v / m_wndSize : v;
}

void CSC::SetDisplayOffsetConsidered(int considered) {
  m_displayOffsetConsidered = considered;
  UpdateOffsetMode();
}

void CSC::SetDataLimitsConsidered(int considered) {
  m_dataLimitsConsidered = considered;
  UpdateOffsetMode();
}

void CSC::SetDataLimits(double minimum, double maximum) {
  m_dataMin = minimum;
  m_dataMax = maximum;
  UpdateOffsetMode();
}

// The offset is active when it is not (nearly) 0 and both flags consider it; it is static
// when no circular data range is known (both data limits nearly 0).
void CSC::UpdateOffsetMode() {
  if (!m_displayOffsetConsidered || !m_dataLimitsConsidered ||
      IsNearlyEqual(m_displayOffset, 0.0)) {
    m_offsetMode = OffsetMode::kNone;
  } else if (IsNearlyEqual(m_dataMin, 0.0) && IsNearlyEqual(m_dataMax, 0.0)) {
    m_offsetMode = OffsetMode::kStatic;
  } else {
    m_offsetMode = OffsetMode::kBands;
  }
}

int CSC::HasStaticDisplayOffset() const { return m_offsetMode == OffsetMode::kStatic ? 1 : 0; }

// The display offset moves the band of width |offset| at one end of the circular data range
// to the other end; the same exchange maps real to display positions and back.
double CSC::ExchangeBands(double x) const {
  const double off = m_displayOffset;
  const double lo = m_dataMin;
  const double hi = m_dataMax;
  const double span = std::fabs(hi - lo);
  auto inBand = [x](double from, double to) { return IsAtLeast(x, from) && IsClearlyBelow(x, to); };
  if (off > 0.0) {
    if (inBand(hi, hi + off)) return x - span;
    if (inBand(lo, lo + off)) return x + span;
  } else {
    if (inBand(lo + off, lo)) return x + span;
    if (inBand(hi + off, hi)) return x - span;
  }
  return x;
}

double CSC::RealToDisplayPos(double pos) const {
  switch (m_offsetMode) {
    case OffsetMode::kNone:
      return pos;
    case OffsetMode::kStatic:
      return pos + m_displayOffset;
    case OffsetMode::kBands:
      break;
  }
  return ExchangeBands(pos);
}

double CSC::DisplayToRealPos(double pos) const {
  switch (m_offsetMode) {
    case OffsetMode::kNone:
      return pos;
    case OffsetMode::kStatic:
      return pos - m_displayOffset;
    case OffsetMode::kBands:
      break;
  }
  return ExchangeBands(pos);
}

LONG CSC::ToSampleSteps(double pos, CUnit* unit) const {
  auto fromBase = [unit](double v) { return unit ? unit->ConvertFromBase(v) : v; };
  auto toBase = [unit](double v) { return unit ? unit->ConvertToBase(v) : v; };
  const double s = std::floor(fromBase(pos) + 0.5);
  const double r = std::floor(fromBase(DisplayToRealPos(pos)) + 0.5);
  const double d = RealToDisplayPos(toBase(r));
  const double t = toBase(s);
  if (IsNearlyEqual(d, t)) return TruncToLong(s);
  return TruncToLong(fromBase(d));
}

bool CSC::operator==(const CSC& other) const {
  return m_wndSize == other.m_wndSize && m_wndOffset == other.m_wndOffset &&
         m_rulOffset == other.m_rulOffset && m_rulRange == other.m_rulRange &&
         m_displayOffset == other.m_displayOffset && m_sampleOffset == other.m_sampleOffset &&
         m_sampleResol == other.m_sampleResol;
}
