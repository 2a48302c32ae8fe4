#pragma once
// Conversions between acquisition time, digitizer sample counts and distances (sound path,
// half path, true depth) for one channel and focal law, and the channel's wedge and digitizer
// delays.
//
// Every value comes from the parameter component, read afresh on each call. A failure status
// of a read, or a null interface where one is needed, raises _com_error (E_POINTER for a null
// interface); the error leaves the function and every reference taken is released.
//
// Units: times of the component in microseconds, the "base unit" in seconds, frequencies in
// hertz, velocities in m/s, angles in degrees, lengths in millimetres, or inches when the unit
// system of the CCalculatorData is imperial. A null CCalculatorData counts as a default one
// (metric, no specimen).
//
// Integer results (sample counts, statuses) are 32-bit (LONG) on every platform.
#include "platform/export.h"
#include "platform/numeric.h"
#include "platform/types.h"
#include "ultrasound/calculator_data.h"
#include "ultrasound/parameters/interfaces.h"

// 10 raised to (dB / 20).
QUARLEN_API double GetAmplificationFactorForDb(double dB);

// floor(SamplingFrequency × seconds + 0.5). A product that is not finite gives the most
// negative 32-bit value; a finite one beyond the 32-bit range saturates.
QUARLEN_API LONG ConvertTimeToSampleQty(UltrasoundParameters::IChannelPtr channel, double seconds);

// samples / SamplingFrequency × the current law's factor for `unit`.
QUARLEN_API double ConvertSampleQtyToUnit(const CCalculatorData* data,
                                          UltrasoundParameters::IChannelPtr channel, LONG samples,
                                          const UltrasoundTypes::tagEUltrasoundUnitType& unit);

// Factor from seconds to the channel's unit type (or `unit`) for the current law.
QUARLEN_API double GetCurrentTimeConvertFactorFromBaseUnit(
    const CCalculatorData* data, UltrasoundParameters::IChannelPtr channel);
QUARLEN_API double GetCurrentTimeConvertFactorFromBaseUnit(
    const CCalculatorData* data, UltrasoundParameters::IChannelPtr channel,
    UltrasoundTypes::tagEUltrasoundUnitType unit);

// Factor from seconds to the channel's unit type (or `unit`) for the 0-based law `law`: the
// law's velocity when it has one (not nearly 0), else the channel's; the angles of the
// transmitting probe plus those of the law.
QUARLEN_API double GetTimeConvertFactorFromBaseUnitForLaw(const CCalculatorData* data,
                                                          UltrasoundParameters::IChannelPtr channel,
                                                          LONG law);
QUARLEN_API double GetTimeConvertFactorFromBaseUnitForLaw(
    const CCalculatorData* data, UltrasoundParameters::IChannelPtr channel, LONG law,
    UltrasoundTypes::tagEUltrasoundUnitType unit);

// Number of samples that cover `range` (in `unit`) for the given law object.
QUARLEN_API LONG GetSampleQtyFromRange(const CCalculatorData* data,
                                       UltrasoundParameters::IChannelPtr channel,
                                       UltrasoundParameters::ILawPtr law, const double& range,
                                       const UltrasoundTypes::tagEUltrasoundUnitType& unit);

// Factor from seconds to `unit` for a velocity and beam angles: 1000000 for time units,
// velocity × k × 1000 for the distance units (k = 1, 0.5, or 0.5 × cos of the refracted
// angle), in inches when imperial; 1.0 for any other unit. The channel is not read.
QUARLEN_API double GetTimeConvertFactorFromBaseUnit(
    const CCalculatorData* data, UltrasoundParameters::IChannelPtr channel, const double& velocity,
    const double& refractedDeg, const double& skewDeg,
    const UltrasoundTypes::tagEUltrasoundUnitType& unit);

// Factor from microseconds to the channel's unit, and the value of the start of the time axis
// in that unit, for the 0-based law (-1: the channel itself). keep false gives as offset the
// negated total delay; forceTime non-zero forces factor 1. Returns 1, or 0 for a unit type
// that is not defined (factor 1, offset 0). Null out-pointers are allowed.
QUARLEN_API LONG GetTimeConvertFactor(const CCalculatorData* data,
                                      UltrasoundParameters::IChannelPtr channel, int law,
                                      double* factor, double* offset, bool keep, int forceTime);

// Wedge delay of the law (-1: the current law), µs: transmit probe delay (plus the receive
// probe's in two-probe modes) plus the law's delay.
QUARLEN_API double GetWedgeDelay(const CCalculatorData* data,
                                 UltrasoundParameters::IChannelPtr channel, LONG law);

// Digitizer delay of the law (-1: the current law), µs: the law's start minus its total delay.
QUARLEN_API double GetDigDelay(const CCalculatorData* data,
                               UltrasoundParameters::IChannelPtr channel, LONG law);
