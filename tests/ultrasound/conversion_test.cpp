// Time, sample and unit conversions over an in-memory channel.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "tests/ultrasound/channel_fixture.h"
#include "ultrasound/conversion.h"

using namespace UltrasoundTypes;
using quarlen::test::ChannelFixture;

namespace {

constexpr double kInch = 0.03937007874015748;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr LONG kLongMin = std::numeric_limits<LONG>::min();

class Conversion : public ::testing::Test, protected ChannelFixture {};

TEST(ConversionFree, AmplificationFactor) {
  EXPECT_DOUBLE_EQ(GetAmplificationFactorForDb(0.0), 1.0);
  EXPECT_DOUBLE_EQ(GetAmplificationFactorForDb(20.0), 10.0);
  EXPECT_DOUBLE_EQ(GetAmplificationFactorForDb(-40.0), 0.01);
}

TEST_F(Conversion, BaseUnitFactorByUnit) {
  CCalculatorData imperial;
  imperial.SetUnitSystem(GeneralParameters::eUnitSystemImperial);
  const struct {
    const CCalculatorData* data;
    tagEUltrasoundUnitType unit;
    double theta;
    double expected;
  } cases[] = {
      {&data, eUltrasoundUnitTime, 0, 1e6},
      {&imperial, eUltrasoundUnitTime, 0, 1e6},  // no inch conversion for time
      {&data, eUltrasoundUnitTime2, 0, 1e6},
      {&data, eUltrasoundUnitSoundPath, 0, 5900e3},
      {&data, eUltrasoundUnitHalfPath, 0, 5900 * 500.0},
      {&imperial, eUltrasoundUnitHalfPath, 0, 5900 * 500.0 * kInch},
      {&data, eUltrasoundUnitTrueDepth, 60, 5900 * 500.0 * 0.5},
      {&imperial, eUltrasoundUnitTrueDepth, 0, 5900 * 500.0 * kInch},
      {&data, tagEUltrasoundUnitType(7), 0, 1.0},
      {&data, tagEUltrasoundUnitType(-1), 0, 1.0},
      {nullptr, eUltrasoundUnitSoundPath, 0, 5900e3},  // no record: metric
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(GetTimeConvertFactorFromBaseUnit(c.data, nullptr, 5900.0, c.theta, 33.0, c.unit),
                c.expected, 1e-6)
        << c.unit;
  }
}

TEST_F(Conversion, FactorForLawUsesLawVelocityAndSummedAngles) {
  // Law 0: velocity 3240, refracted 10 + 35. Law 1: no velocity, so the channel's 5900.
  EXPECT_DOUBLE_EQ(GetTimeConvertFactorFromBaseUnitForLaw(&data, Channel(), 0), 3240e3);
  EXPECT_DOUBLE_EQ(GetTimeConvertFactorFromBaseUnitForLaw(&data, Channel(), 1), 5900e3);
  EXPECT_NEAR(GetTimeConvertFactorFromBaseUnitForLaw(&data, Channel(), 0, eUltrasoundUnitTrueDepth),
              3240e3 * 0.5 * std::cos(45.0 * M_PI / 180.0), 1e-6);
  // The current law is 1; the channel's unit is the sound path.
  EXPECT_DOUBLE_EQ(GetCurrentTimeConvertFactorFromBaseUnit(&data, Channel()), 5900e3);
  EXPECT_DOUBLE_EQ(GetCurrentTimeConvertFactorFromBaseUnit(&data, Channel(), eUltrasoundUnitTime),
                   1e6);
}

TEST_F(Conversion, NearlyZeroLawVelocityKeepsTheChannelVelocity) {
  channel->lawList->laws[0]->beamSettings->velocity = 4e-8;
  EXPECT_DOUBLE_EQ(GetTimeConvertFactorFromBaseUnitForLaw(&data, Channel(), 0), 5900e3);
}

TEST_F(Conversion, TimeToSamples) {
  const struct {
    double seconds;
    LONG expected;
  } cases[] = {
      {25e-9, 3},  // 2.5 samples rounds up
      {-5e-9, 0},  // -0.5 rounds up to 0
      {-7e-9, -1},        {1e-6, 100},
      {kNaN, kLongMin},   {kInf, kLongMin},
      {-kInf, kLongMin},  {1e300, std::numeric_limits<LONG>::max()},  // finite: saturates
      {-1e300, kLongMin},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertTimeToSampleQty(Channel(), c.seconds), c.expected);
  channel->samplingFrequency = 0.0;
  EXPECT_EQ(ConvertTimeToSampleQty(Channel(), 1.0), 0);
  EXPECT_EQ(ConvertTimeToSampleQty(Channel(), kInf), kLongMin);
}

TEST_F(Conversion, SamplesToUnit) {
  EXPECT_NEAR(ConvertSampleQtyToUnit(&data, Channel(), 100, eUltrasoundUnitHalfPath), 2.95, 1e-12);
  EXPECT_NEAR(ConvertSampleQtyToUnit(&data, Channel(), 100, eUltrasoundUnitTime), 1.0, 1e-12);
  channel->samplingFrequency = 0.0;
  EXPECT_EQ(ConvertSampleQtyToUnit(&data, Channel(), 100, eUltrasoundUnitTime), kInf);
}

TEST_F(Conversion, SamplesFromRange) {
  UltrasoundParameters::ILawPtr law0(channel->lawList->laws[0]);
  // 10 mm at 3240 m/s: 3.0864 µs, 308.6 samples.
  EXPECT_EQ(GetSampleQtyFromRange(&data, Channel(), law0, 10.0, eUltrasoundUnitSoundPath), 309);
  channel->beamSettings->velocity = 0.0;
  channel->lawList->laws[0]->beamSettings->velocity = 0.0;
  // A zero factor divides to infinity: the most negative count.
  EXPECT_EQ(GetSampleQtyFromRange(&data, Channel(), law0, 10.0, eUltrasoundUnitSoundPath),
            kLongMin);
  EXPECT_THROW(GetSampleQtyFromRange(&data, Channel(), nullptr, 10.0, eUltrasoundUnitTime),
               _com_error);
}

struct AxisCase {
  const char* what;
  int law;
  LONG inspectionMode;
  tagEUltrasoundUnitType unit;
  bool imperial;
  bool keep;
  int forceTime;
  LONG status;
  double factor;
  double offset;
};

TEST_F(Conversion, TimeAxisFactorAndOffset) {
  // Single probe: total delay 2 * 2 µs (+ law delay). Two probes: 2 + 3 µs.
  const AxisCase cases[] = {
      {"channel, sound path", -1, 1, eUltrasoundUnitSoundPath, false, true, 0, 1, 5.9,
       (10 - 4) * 5.9},
      {"channel, forced time", -1, 1, eUltrasoundUnitSoundPath, false, true, 1, 1, 1.0, 10 - 4},
      {"channel, not kept", -1, 1, eUltrasoundUnitSoundPath, false, false, 0, 1, 5.9, -4 * 5.9},
      {"channel, two probes", -1, 0, eUltrasoundUnitHalfPath, false, true, 0, 1, 2.95,
       (10 - 5) * 2.95},
      {"channel, depth", -1, 1, eUltrasoundUnitTrueDepth, false, true, 0, 1,
       std::cos(10 * M_PI / 180) * 2.95, (10 - 4) * std::cos(10 * M_PI / 180) * 2.95},
      {"law 0", 0, 1, eUltrasoundUnitSoundPath, false, true, 0, 1, 3.24, (12 - 4.5) * 3.24},
      {"law 0, imperial", 0, 1, eUltrasoundUnitSoundPath, true, true, 0, 1, 3.24 * kInch,
       (12 - 4.5) * 3.24 * kInch},
      {"law 0, depth uses the law angles only", 0, 1, eUltrasoundUnitTrueDepth, false, true, 0, 1,
       std::cos(35 * M_PI / 180) * 1.62, (12 - 4.5) * std::cos(35 * M_PI / 180) * 1.62},
      {"law 1, specimen velocity", 1, 1, eUltrasoundUnitSoundPath, false, true, 0, 1, 5.92,
       (20 - 5.5) * 5.92},
      {"law 1, time", 1, 1, eUltrasoundUnitTime, true, true, 0, 1, 1.0, 20 - 5.5},
      {"undefined unit", 0, 1, tagEUltrasoundUnitType(9), false, true, 0, 0, 1.0, 0.0},
      {"undefined unit, not kept", 0, 1, tagEUltrasoundUnitType(9), false, false, 0, 1, 1.0, -4.5},
  };
  for (const AxisCase& c : cases) {
    SCOPED_TRACE(c.what);
    channel->inspectionMode = c.inspectionMode;
    channel->unitType = c.unit;
    data.SetUnitSystem(c.imperial ? GeneralParameters::eUnitSystemImperial
                                  : GeneralParameters::eUnitSystemMetric);
    double f = -1, o = -1;
    EXPECT_EQ(GetTimeConvertFactor(&data, Channel(), c.law, &f, &o, c.keep, c.forceTime), c.status);
    EXPECT_NEAR(f, c.factor, 1e-12);
    EXPECT_NEAR(o, c.offset, 1e-9);
  }
}

TEST_F(Conversion, SpecimenVelocityByWaveMode) {
  const struct {
    LONG waveMode;
    double factor;
  } cases[] = {{0, 5.92}, {1, 3.25}, {2, 2.9}, {3, 0.0}, {-1, 0.0}};
  for (const auto& c : cases) {
    channel->beamSettings->waveMode = c.waveMode;
    double f = -1, o = -1;
    GetTimeConvertFactor(&data, Channel(), 1, &f, &o, true, 0);
    EXPECT_NEAR(f, c.factor, 1e-12) << c.waveMode;
  }
  // Without a specimen only the wave modes that need it fail.
  data.SetSpecimen(nullptr);
  channel->beamSettings->waveMode = 5;
  double f = -1, o = -1;
  EXPECT_EQ(GetTimeConvertFactor(&data, Channel(), 1, &f, &o, true, 0), 1);
  EXPECT_EQ(f, 0.0);
  channel->beamSettings->waveMode = 1;
  try {
    GetTimeConvertFactor(&data, Channel(), 1, &f, &o, true, 0);
    FAIL() << "no error";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), E_POINTER);
  }
}

TEST_F(Conversion, WedgeAndDigitizerDelays) {
  // Single probe: the wedge delay counts the probe once, the digitizer delay twice.
  EXPECT_DOUBLE_EQ(GetWedgeDelay(&data, Channel(), -1), 2.0 + 1.5);
  EXPECT_DOUBLE_EQ(GetWedgeDelay(&data, Channel(), 0), 2.0 + 0.5);
  EXPECT_NEAR(GetDigDelay(&data, Channel(), -1), 20 - (4 + 1.5), 1e-12);
  EXPECT_NEAR(GetDigDelay(&data, Channel(), 0), 12 - (4 + 0.5), 1e-12);
  channel->inspectionMode = 4;
  EXPECT_DOUBLE_EQ(GetWedgeDelay(&data, Channel(), 0), 2.0 + 3.0 + 0.5);
  EXPECT_NEAR(GetDigDelay(&data, Channel(), 0), 12 - (5 + 0.5), 1e-12);
}

TEST_F(Conversion, ZeroVelocityKeepsTheFloatingPointResult) {
  channel->lawList->laws[1]->beamSettings->velocity = 0.0;
  specimen->material->velocityMode0 = 0.0;
  EXPECT_TRUE(std::isnan(GetDigDelay(&data, Channel(), 1)));  // 0 / 0
}

TEST_F(Conversion, NullInterfacesRaiseEPointer) {
  const std::function<void()> calls[] = {
      [&] {
        channel->transmitProbe = nullptr;
        GetWedgeDelay(&data, Channel(), 0);
      },
      [&] {
        channel->lawList->laws[0] = nullptr;
        GetWedgeDelay(&data, Channel(), 0);
      },
      [&] {
        channel->lawList->laws[0]->angles = nullptr;
        GetTimeConvertFactor(&data, Channel(), 0, nullptr, nullptr, true, 0);
      },
      [&] {
        channel->receiveProbe = nullptr;
        channel->inspectionMode = 2;
        GetDigDelay(&data, Channel(), 0);
      },
      [&] { GetDigDelay(&data, nullptr, 0); },
      [&] { ConvertTimeToSampleQty(nullptr, 1.0); },
  };
  for (const auto& call : calls) {
    ChannelFixture fresh;
    channel = fresh.channel;
    try {
      call();
      ADD_FAILURE() << "no error raised";
    } catch (const _com_error& e) {
      EXPECT_EQ(e.Error(), E_POINTER);
    }
  }
}

TEST_F(Conversion, LawOutsideTheListPropagatesTheComponentStatus) {
  for (LONG law : {2, -2, std::numeric_limits<LONG>::max()}) {
    try {
      GetWedgeDelay(&data, Channel(), law);
      ADD_FAILURE() << law;
    } catch (const _com_error& e) {
      EXPECT_EQ(e.Error(), E_INVALIDARG);
      EXPECT_EQ(e.Source(), UltrasoundParameters::ILawList::iid);
    }
  }
}

// Every conversion, made to fail at each of its property reads in turn: the component error
// leaves the function with the failing status, and every reference taken is given back.
TEST_F(Conversion, FailureAtEveryReadReleasesEveryReference) {
  UltrasoundParameters::ILawPtr law0(channel->lawList->laws[0]);
  const struct {
    const char* name;
    std::function<void()> call;
  } calls[] = {
      {"ConvertTimeToSampleQty", [&] { ConvertTimeToSampleQty(Channel(), 1e-6); }},
      {"ConvertSampleQtyToUnit",
       [&] { ConvertSampleQtyToUnit(&data, Channel(), 10, eUltrasoundUnitTrueDepth); }},
      {"GetCurrentTimeConvertFactorFromBaseUnit",
       [&] { GetCurrentTimeConvertFactorFromBaseUnit(&data, Channel()); }},
      {"GetTimeConvertFactorFromBaseUnitForLaw",
       [&] { GetTimeConvertFactorFromBaseUnitForLaw(&data, Channel(), 0); }},
      {"GetSampleQtyFromRange",
       [&] { GetSampleQtyFromRange(&data, Channel(), law0, 5.0, eUltrasoundUnitHalfPath); }},
      {"GetTimeConvertFactor channel",
       [&] { GetTimeConvertFactor(&data, Channel(), -1, nullptr, nullptr, true, 0); }},
      {"GetTimeConvertFactor law with specimen",
       [&] { GetTimeConvertFactor(&data, Channel(), 1, nullptr, nullptr, false, 0); }},
      {"GetWedgeDelay", [&] { GetWedgeDelay(&data, Channel(), -1); }},
      {"GetDigDelay", [&] { GetDigDelay(&data, Channel(), -1); }},
  };
  for (const auto& c : calls) {
    SCOPED_TRACE(c.name);
    const std::vector<ULONG> before = context->ReferenceCounts();
    context->ResetReadCount();
    c.call();
    const unsigned reads = context->ReadCount();
    ASSERT_GT(reads, 0u);
    EXPECT_EQ(context->ReferenceCounts(), before);
    for (unsigned n = 1; n <= reads; ++n) {
      context->FailReadNumber(n, E_FAIL);
      try {
        c.call();
        ADD_FAILURE() << "read " << n << " of " << reads << " did not raise";
      } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), E_FAIL);
      }
      EXPECT_EQ(context->ReferenceCounts(), before) << "read " << n;
    }
    context->FailReadNumber(0);
  }
}

TEST_F(Conversion, ImperialAndMetricDifferByTheInchFactor) {
  CCalculatorData imperial(data);
  imperial.SetUnitSystem(GeneralParameters::eUnitSystemImperial);
  for (auto unit : {eUltrasoundUnitSoundPath, eUltrasoundUnitHalfPath, eUltrasoundUnitTrueDepth}) {
    for (LONG law : {0, 1}) {
      EXPECT_NEAR(GetTimeConvertFactorFromBaseUnitForLaw(&imperial, Channel(), law, unit),
                  GetTimeConvertFactorFromBaseUnitForLaw(&data, Channel(), law, unit) / 25.4, 1e-6);
    }
    EXPECT_NEAR(ConvertSampleQtyToUnit(&imperial, Channel(), 1000, unit),
                ConvertSampleQtyToUnit(&data, Channel(), 1000, unit) / 25.4, 1e-12);
  }
  EXPECT_EQ(ConvertSampleQtyToUnit(&imperial, Channel(), 1000, eUltrasoundUnitTime),
            ConvertSampleQtyToUnit(&data, Channel(), 1000, eUltrasoundUnitTime));
}

}  // namespace
