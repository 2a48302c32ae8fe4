#include "ultrasound/dynamic_depth_focusing.h"

#include <cmath>
#include <cstdint>

namespace {

using Out = CDynamicDepthFocusing::CCalcDynValueReturnParameter;

bool Reject(Out& out) {
  out.startCounter = 0;
  out.pointCounter = 0;
  out.controlWord = 0;
  out.clockPeriod = 0.0;
  out.stepTime = 0.0;
  return false;
}

// A value that fits a 16-bit counter: finite and within [0, 65535] after truncation. NaN
// fails every comparison and is refused too.
bool FitsCounter(double v) { return v > -1.0 && v < 65536.0; }

}  // namespace

int CDynamicDepthFocusing::CalcDynValue(const CCalcDynValueConstParameter& in,
                                        CCalcDynValueReturnParameter& out) const {
  if (!m_dynFunc) {
    Reject(out);
    return 0;
  }
  return m_dynFunc(in, out) ? 1 : 0;
}

void CDynamicDepthFocusing::CalcDynNumberIncrement(const unsigned short& a,
                                                   unsigned short& b) const {
  if (m_dynNumberIncrementFunc) m_dynNumberIncrementFunc(a, b);
}

LONG CDynamicDepthFocusing::CalcFirstSlideDelayFactor(const LONG& x) const {
  return m_firstSlideDelayFactorFunc ? m_firstSlideDelayFactorFunc(x) : 0;
}

LONG CDynamicDepthFocusing::CalcSlideDelayFactor(const CDynamicDepthFocusing& ddf,
                                                 const LONG& x) const {
  return m_slideDelayFactorFunc ? m_slideDelayFactorFunc(ddf, x) : 0;
}

bool CDynamicDepthFocusing::CalcDynValueVarda(const CCalcDynValueConstParameter& in,
                                              CCalcDynValueReturnParameter& out) {
  // NaN times are refused like an empty range.
  if (in.clock > 2 || in.factor == 0 || in.factor > 127 || !(in.end > in.start)) {
    return Reject(out);
  }
  static constexpr double kPeriods[] = {12.5, 25.0, 50.0};
  static constexpr unsigned short kClockBits[] = {0x100, 0x000, 0x200};
  out.clockPeriod = kPeriods[in.clock] * 1e-9;
  out.stepTime = in.factor * 6.75e-8;
  out.controlWord = static_cast<unsigned short>((in.mode == 0 ? 0x8000 : 0) +
                                                (255 - 2 * in.factor) + kClockBits[in.clock]);
  const double n = (in.end - in.start) / out.stepTime * 2.0 + 1.0;
  if (!(n <= 65535.0)) return Reject(out);
  const double s = (in.delay * 1000.0 - 600.0 + in.start * 2000000000.0) * 0.04;
  if (!(s <= 65535.0)) return Reject(out);
  // The counter counts down from 65535: a negative s would need more than 16 bits.
  const double startCounter = 65535.0 - s + 0.5;
  if (!FitsCounter(startCounter)) return Reject(out);
  out.pointCounter = static_cast<unsigned short>(65535 - static_cast<int>(n));
  out.startCounter = static_cast<unsigned short>(startCounter);
  return true;
}

bool CDynamicDepthFocusing::CalcDynValueTolvo(const CCalcDynValueConstParameter& in,
                                              CCalcDynValueReturnParameter& out) {
  if (in.clock > 15 || in.factor == 0 || !(in.end >= in.start)) return Reject(out);
  out.clockPeriod = in.clock * 1e-8;
  out.stepTime = in.factor * 1e-8;
  out.controlWord = static_cast<unsigned short>((in.clock << 8) | in.factor);
  if (!(out.stepTime > 0.0)) return Reject(out);
  const double n = (in.end - in.start) / out.stepTime * 2.0 + 1.0;
  if (!(n <= 65535.0)) return Reject(out);
  const double s = (in.delay * 1000.0 + in.start * 2000000000.0) * 0.1;
  // Besides the upper bound, a negative s cannot be a 16-bit counter.
  if (!(s <= 65535.0) || !FitsCounter(s)) return Reject(out);
  out.pointCounter = static_cast<unsigned short>(n);
  out.startCounter = static_cast<unsigned short>(s);
  return true;
}

void CDynamicDepthFocusing::CalcDynNumberIncrementVarda(const unsigned short& a,
                                                        unsigned short& b) {
  b = static_cast<unsigned short>(0xFFFF - b);
  if ((a & 0xFF) == 0xFE) b = static_cast<unsigned short>(b + 1);
}

void CDynamicDepthFocusing::CalcDynNumberIncrementTolvo(const unsigned short&, unsigned short&) {}

LONG CDynamicDepthFocusing::CalcFirstSlideDelayFactorVarda(const LONG& x) { return x >= 8 ? x : 8; }

LONG CDynamicDepthFocusing::CalcFirstSlideDelayFactorTolvo(const LONG&) { return 20; }

LONG CDynamicDepthFocusing::CalcSlideDelayFactorVarda(const CDynamicDepthFocusing& ddf,
                                                      const LONG& x) {
  // Without a positive maximum DDF point there is nothing to divide by: one slide.
  const std::int64_t maxPoint = ddf.GetMaximumDDFPoint();
  if (maxPoint <= 0) return 1;
  // 64-bit so that x - 1 cannot overflow; the quotient always fits back into 32 bits.
  return static_cast<LONG>((static_cast<std::int64_t>(x) - 1) / maxPoint + 1);
}

LONG CDynamicDepthFocusing::CalcSlideDelayFactorTolvo(const CDynamicDepthFocusing&, const LONG&) {
  return 1;
}
