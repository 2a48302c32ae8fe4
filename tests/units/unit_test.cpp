// Units: conversions in both directions for every conversion type, formatting, names and the
// change signals of the setters.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "axis/unit.h"

namespace {

struct ConversionCase {
  const char* name;
  unit_enumConversionType type;
  double a, b;
  double base;     // value in the base unit
  double display;  // the same value in the display unit
};

class UnitConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(UnitConversion, ConvertsBothWays) {
  const ConversionCase& c = GetParam();
  CUnit base;
  CUnit unit(unit_distance, unit_dataMillimeter, c.type, c.a, c.b, &base);
  EXPECT_NEAR(unit.ConvertFromBase(c.base), c.display, 1e-4);
  EXPECT_NEAR(unit.ConvertToBase(c.display), c.base, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, UnitConversion,
    ::testing::Values(
        ConversionCase{"None", unit_convNone, 1000.0, 5.0, 0.25, 255.0},
        ConversionCase{"Linear", unit_convLinear, 1000.0, 0.0, 0.025, 25.0},
        ConversionCase{"LinearOffset", unit_convLinear, 2.0, -3.0, 4.0, 5.0},
        ConversionCase{"DbLinear", unit_convDbLinear, 1.0, 10.0, -25.0, -15.0},
        ConversionCase{"OtherType", static_cast<unit_enumConversionType>(9), 4.0, 1.0, 2.0, 9.0},
        ConversionCase{"PercentToDbFullScale", unit_convPercentToDb, 1.0, 0.0, 100.0, 0.0},
        ConversionCase{"PercentToDbHalf", unit_convPercentToDb, 1.0, 0.0, 50.0, -6.0206},
        ConversionCase{"PercentToDbTenth", unit_convPercentToDb, 1.0, 0.0, 10.0, -20.0},
        ConversionCase{"LogToPercentTop", unit_convLogToPercent, 1.0, 0.0, 100.0, 100.0},
        ConversionCase{"LogToPercentBottom", unit_convLogToPercent, 1.0, 0.0, 0.0, 0.01},
        ConversionCase{"LogToPercentMiddle", unit_convLogToPercent, 1.0, 0.0, 75.0, 10.0}),
    [](const auto& info) { return std::string(info.param.name); });

struct OneWayCase {
  const char* name;
  unit_enumConversionType type;
  double a, b;
  bool fromBase;
  double in, out;
};

class UnitOneWay : public ::testing::TestWithParam<OneWayCase> {};

// Floors, magnitudes and zero factors that do not round-trip.
TEST_P(UnitOneWay, GivesTheDocumentedValue) {
  const OneWayCase& c = GetParam();
  CUnit base;
  CUnit unit(unit_percent, unit_dataPercent, c.type, c.a, c.b, &base);
  const double r = c.fromBase ? unit.ConvertFromBase(c.in) : unit.ConvertToBase(c.in);
  EXPECT_NEAR(r, c.out, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, UnitOneWay,
    ::testing::Values(
        OneWayCase{"DbFloorBelowRange", unit_convPercentToDb, 1, 0, true, 0.001, -80.0},
        OneWayCase{"DbFloorAtZero", unit_convPercentToDb, 1, 0, true, 0.0, -80.0},
        OneWayCase{"DbFloorNearlyZero", unit_convPercentToDb, 1, 0, true, 4e-8, -80.0},
        OneWayCase{"DbOfNegativeIsOfMagnitude", unit_convPercentToDb, 1, 0, true, -50.0,
                   20.0 * std::log10(0.5)},
        OneWayCase{"DbToBaseUsesMagnitude", unit_convPercentToDb, 1, 0, false, 20.0, 10.0},
        OneWayCase{"LogToBaseZeroIsZero", unit_convLogToPercent, 1, 0, false, 0.0, 0.0},
        OneWayCase{"LogToBaseTiny", unit_convLogToPercent, 1, 0, false, 0.01, 0.0},
        OneWayCase{"LogToBaseFloor", unit_convLogToPercent, 1, 0, false, 1e-9, 0.0},
        OneWayCase{"LogToBaseFull", unit_convLogToPercent, 1, 0, false, 100.0, 100.0},
        OneWayCase{"LogFromNegativeUsesMagnitude", unit_convLogToPercent, 1, 0, true, -100.0,
                   100.0},
        OneWayCase{"NoneZeroFactorToBase", unit_convNone, 0, 3, false, 7.0, 0.0},
        OneWayCase{"OtherZeroFactorToBase", static_cast<unit_enumConversionType>(7), 0, 3, false,
                   7.0, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Unit, LinearZeroFactorFollowsFloatingPoint) {
  CUnit base;
  CUnit unit(unit_distance, unit_dataMeter, unit_convLinear, 0.0, 1.0, &base);
  EXPECT_TRUE(std::isinf(unit.ConvertToBase(2.0)));
}

TEST(Unit, LogScaleStepIsTheDoubleProduct) {
  CUnit base;
  CUnit unit(unit_percent, unit_dataPercent, unit_convLogToPercent, 1, 0, &base);
  const double k = -0.05 * 0.8;
  EXPECT_EQ(unit.ConvertFromBase(50.0), 100.0 * std::pow(10.0, 50.0 * k));
}

TEST(Unit, WithoutBaseUnitEveryTypeIsIdentity) {
  for (int type = -1; type <= 5; ++type) {
    CUnit unit(unit_distance, unit_dataMeter, static_cast<unit_enumConversionType>(type), 3.0, 7.0,
               nullptr);
    unit.SetTOFDFactors(1, 2, 3, 4);
    unit.CUpdateUnit(unit_distance, unit_dataMeter, static_cast<unit_enumConversionType>(type), 3.0,
                     7.0, nullptr);
    EXPECT_EQ(unit.ConvertFromBase(12.5), 12.5) << type;
    EXPECT_EQ(unit.ConvertToBase(-4.0), -4.0) << type;
  }
}

struct TofdCase {
  const char* name;
  double c, a, b, d;
  bool fromBase;
  double in, out;
};

class UnitTofd : public ::testing::TestWithParam<TofdCase> {};

TEST_P(UnitTofd, Converts) {
  const TofdCase& t = GetParam();
  CUnit base;
  CUnit unit(unit_tofd, unit_dataMillimeter, unit_convLinear, 1, 0, &base);
  unit.SetTOFDFactors(t.c, t.a, t.b, t.d);
  EXPECT_EQ(unit.GetConversionType(), unit_convTofd);
  const double r = t.fromBase ? unit.ConvertFromBase(t.in) : unit.ConvertToBase(t.in);
  EXPECT_NEAR(r, t.out, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, UnitTofd,
    ::testing::Values(
        TofdCase{"FarSide", 0, 1, 100, 0, true, 20.0, std::sqrt(300.0)},
        TofdCase{"NearSide", 0, 1, 100, 0, true, 5.0, -std::sqrt(75.0)},
        TofdCase{"ToBaseFar", 0, 1, 100, 0, false, 17.3205, 20.0},
        TofdCase{"ToBaseNear", 0, 1, 100, 0, false, -std::sqrt(75.0), 5.0},
        // |h| = 12 decides the far branch although h - D = 2 is below the half-separation.
        TofdCase{"BranchByScaledValueBeforePathOffset", 1, 2, 100, 10, true, 6.0,
                 1.0 + std::sqrt(96.0)},
        TofdCase{"NegativeSquaredSeparationGivesZero", 5, 1, -1, 0, true, 20.0, 0.0},
        TofdCase{"ZeroScaleToBaseGivesZero", 5, 0, 100, 0, false, 20.0, 0.0},
        TofdCase{"ResultOffsetAndPathOffset", 3, 1, 0, 2, false, 7.0, 6.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Unit, ConvertFromOtherUnitGoesThroughTheBase) {
  CUnit base;
  CUnit mm(unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &base);
  CUnit inch(unit_distance, unit_dataInch, unit_convLinear, 1000.0 / 25.4, 0.0, &base);
  EXPECT_NEAR(mm.ConvertFrom(1.0, &inch), 25.4, 1e-9);
  EXPECT_EQ(mm.ConvertFrom(3.0, nullptr), 3.0);
  EXPECT_EQ(mm.ConvertFrom(3.0, &mm), 3.0);
}

struct DtoaCase {
  const char* name;
  unit_enumDataUnit dataUnit;
  bool dbLinear;
  const wchar_t* format;  // null: the constructor's "%.1f"
  int precision;          // >= 0: SetDisplayPrecision
  double value;
  const wchar_t* text;
  const wchar_t* compact;
};

class UnitDtoa : public ::testing::TestWithParam<DtoaCase> {};

TEST_P(UnitDtoa, FormatsExactly) {
  const DtoaCase& c = GetParam();
  CUnit base;
  CUnit unit = c.dbLinear ? CUnit(unit_decibel, c.dataUnit, 1.0, 0.0, 10.0, &base)
                          : CUnit(unit_rotation, c.dataUnit, unit_convLinear, 1.0, 0.0, &base);
  if (c.format) unit.SetDisplayFormat(c.format);
  if (c.precision >= 0) unit.SetDisplayPrecision(c.precision);
  CString out;
  EXPECT_STREQ(unit.dtoa(c.value, out), c.text);
  EXPECT_STREQ(out, c.text);
  EXPECT_STREQ(unit.dtoaCompact(c.value, out), c.compact);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnitDtoa,
    ::testing::Values(
        DtoaCase{"DegreesWrap", unit_dataDegrees, false, nullptr, -1, 370.0004, L"10.0", L"10"},
        DtoaCase{"DegreesNegative", unit_dataDegrees, false, nullptr, -1, -10.5, L"-10.5",
                 L"-10.5"},
        DtoaCase{"DegreesNegativeWrap", unit_dataDegrees, false, nullptr, -1, -725.0, L"-5.0",
                 L"-5"},
        DtoaCase{"DegreesThousandths", unit_dataDegrees, false, L"%.4f", -1, 359.99951, L"0.0000",
                 L"0"},
        DtoaCase{"DegreesHugeSaturates", unit_dataDegrees, false, nullptr, -1, 1e300, L"83.6",
                 L"83.647"},
        DtoaCase{"DegreesNaN", unit_dataDegrees, false, nullptr, -1, std::nan(""), L"0.0", L"0"},
        DtoaCase{"DbReference", unit_dataDecibel, true, nullptr, -1, -25.0, L"15.0", L"15"},
        DtoaCase{"DbReferencePositive", unit_dataDecibel, true, nullptr, -1, 4.0, L"-6.0", L"-6"},
        DtoaCase{"PrecisionTrimsPadding", unit_dataMillimeter, false, nullptr, 2, 3.14159, L"3.14",
                 L"3.14159"},
        DtoaCase{"PrecisionZero", unit_dataMillimeter, false, nullptr, 0, 2.75, L"3", L"2.75"},
        DtoaCase{"CustomFormatWithText", unit_dataMillimeter, false, L"x=%6.2f mm  ", -1, 1.5,
                 L"x=  1.50 mm", L"1.5"},
        DtoaCase{"FormatAskingForAStringPrintsNothingThere", unit_dataMillimeter, false, L"[%s]",
                 -1, 1.5, L"[]", L"1.5"},
        DtoaCase{"CompactExponent", unit_dataMillimeter, false, nullptr, -1, 1.5e-7, L"0.0",
                 L"1.5e-07"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Unit, DisplayPrecisionFormat) {
  CUnit unit;
  unit.SetDisplayPrecision(3);
  CString format;
  unit.GetDisplayFormat(format);
  EXPECT_STREQ(format, L"%-12.3f");
  EXPECT_EQ(unit.GetDisplayPrecision(), 3);
}

TEST(Unit, Constructors) {
  CUnit plain;
  EXPECT_EQ(plain.GetDisplayPrecision(), 0);
  EXPECT_EQ(plain.GetConversionType(), unit_convNone);
  EXPECT_EQ(plain.GetConsList()->GetSource(), nullptr);
  double a = 0, b = 0, r = 0;
  plain.GetDBFactors(&a, &b, &r);
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, 0.0);

  CUnit base;
  CUnit db(unit_decibel, unit_dataDecibel, 2.0, 3.0, 6.0, &base);
  EXPECT_EQ(db.GetConversionType(), unit_convDbLinear);
  EXPECT_EQ(db.GetDisplayPrecision(), 1);
  EXPECT_EQ(db.GetConsList()->GetSource(), &db);
  EXPECT_EQ(db.GetBaseUnit(), &base);
  db.GetDBFactors(&a, &b, &r);
  EXPECT_EQ(r, 6.0);
  CString format;
  db.GetDisplayFormat(format);
  EXPECT_STREQ(format, L"%.1f");
  EXPECT_EQ(db.IsLinear(), 1);

  CUnit copy(db);
  EXPECT_EQ(copy.GetConsList()->GetSource(), nullptr);
  EXPECT_EQ(copy.GetBaseUnit(), &base);
  EXPECT_EQ(copy.ConvertFromBase(2.0), 7.0);

  CUnit tofd(unit_tofd, unit_dataMillimeter, unit_convTofd, 1, 0, &base);
  EXPECT_EQ(tofd.IsLinear(), 0);
}

// Counts the change signals of a unit (immediate consumer).
struct SignalCounter : CObject {
  int count = 0;
  static void OnChange(void*, CObject* self, unsigned long) {
    ++static_cast<SignalCounter*>(self)->count;
  }
};

TEST(Unit, SettersSignalAsDocumented) {
  CUnit base;
  CUnit unit(unit_distance, unit_dataMillimeter, unit_convLinear, 1000.0, 0.0, &base);
  SignalCounter counter;
  unit.GetConsList()->Register(&counter, &SignalCounter::OnChange,
                               CConsumerList::priorityImmediate);
  struct Step {
    const char* what;
    std::function<void()> call;
    int signals;
  };
  const Step steps[] = {
      {"SetLinearFactors same", [&] { unit.SetLinearFactors(1000.0, 0.0); }, 0},
      {"SetLinearFactors new", [&] { unit.SetLinearFactors(1000.0, 1.0); }, 1},
      {"SetDBFactors same", [&] { unit.SetDBFactors(1000.0, 1.0, 0.0); }, 1},
      {"SetDisplayPrecision same", [&] { unit.SetDisplayPrecision(1); }, 0},
      {"SetDisplayPrecision new", [&] { unit.SetDisplayPrecision(4); }, 1},
      {"SetUnitType same", [&] { unit.SetUnitType(unit_distance, unit_dataMillimeter); }, 0},
      {"SetUnitType new", [&] { unit.SetUnitType(unit_distance, unit_dataMeter); }, 1},
      {"SetDisplayFormat same", [&] { unit.SetDisplayFormat(L"%-12.4f"); }, 1},
      {"SetTOFDFactors", [&] { unit.SetTOFDFactors(0, 1, 0, 0); }, 1},
      {"CUpdateUnit same",
       [&] { unit.CUpdateUnit(unit_distance, unit_dataMeter, unit_convTofd, 1, 0, &base); }, 1},
      {"CUpdateUnit dB", [&] { unit.CUpdateUnit(unit_distance, unit_dataMeter, 1, 0, 0, &base); },
       1},
  };
  for (const Step& step : steps) {
    const int before = counter.count;
    step.call();
    EXPECT_EQ(counter.count - before, step.signals) << step.what;
  }
  EXPECT_EQ(unit.GetConversionType(), unit_convDbLinear);
}

TEST(Unit, AssignmentCopiesSettingsButNotConsumers) {
  CUnit base;
  CUnit source(unit_distance, unit_dataInch, unit_convLinear, 2.0, 1.0, &base);
  source.SetDisplayPrecision(3);
  CUnit target;
  SignalCounter counter;
  target.GetConsList()->Register(&counter, &SignalCounter::OnChange,
                                 CConsumerList::priorityImmediate);
  target = source;
  EXPECT_EQ(counter.count, 0);
  EXPECT_EQ(target.GetConsList()->GetClientQty(), 1u);
  EXPECT_EQ(target.ConvertFromBase(1.0), 3.0);
  EXPECT_EQ(target.GetDisplayPrecision(), 3);
  unit_enumUnits u;
  unit_enumDataUnit d;
  target.GetUnitType(&u, &d);
  EXPECT_EQ(u, unit_distance);
  EXPECT_EQ(d, unit_dataInch);
  EXPECT_STREQ(target.GetShortName(), L"in");
  EXPECT_STREQ(target.GetName(), L"inch");
}

TEST(Unit, FactorGettersFollowArgumentOrder) {
  CUnit unit;
  unit.SetTOFDFactors(1.0, 2.0, 3.0, 4.0);
  double c = 0, a = 0, b = 0, d = 0;
  EXPECT_EQ(unit.GetTOFDFactors(&c, &a, &b, &d), 1);
  EXPECT_EQ(c, 1.0);
  EXPECT_EQ(a, 2.0);
  EXPECT_EQ(b, 3.0);
  EXPECT_EQ(d, 4.0);
  EXPECT_EQ(unit.GetTOFDFactors(nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(unit.GetLinearFactors(&a, &b), 1);
  EXPECT_EQ(a, 2.0);
  EXPECT_EQ(b, 3.0);
}

TEST(UnitEnums, QuantityNamesFromTheStringTable) {
  const wchar_t* const names[] = {L"无",     L"时间",   L"距离",     L"旋转",   L"百分比",
                                  L"分贝",   L"频率",   L"温度",     L"采样点", L"时间/2",
                                  L"全声程", L"半声程", L"真实深度", L"TOFD",   L"电压"};
  for (int i = 0; i < 15; ++i) {
    CString name;
    CUnit::enumGetString(static_cast<unit_enumUnits>(i), &name);
    EXPECT_STREQ(name, names[i]) << i;
  }
  CString other(L"x");
  CUnit::enumGetString(static_cast<unit_enumUnits>(15), &other);
  EXPECT_STREQ(other, L"");
  CUnit::enumGetString(unit_time, nullptr);
}

TEST(UnitEnums, BaseUnits) {
  const unit_enumDataUnit expected[] = {unit_dataUndefined, unit_dataSecond,    unit_dataMeter,
                                        unit_dataDegrees,   unit_dataPercent,   unit_dataDecibel,
                                        unit_dataUndefined, unit_dataUndefined, unit_dataSample,
                                        unit_dataSecond,    unit_dataMeter,     unit_dataMeter,
                                        unit_dataMeter,     unit_dataMeter,     unit_dataVolt};
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(CUnit::enumGetBaseUnit(static_cast<unit_enumUnits>(i)), expected[i]) << i;
  }
  EXPECT_EQ(CUnit::enumGetBaseUnit(static_cast<unit_enumUnits>(-3)), unit_dataUndefined);
  EXPECT_EQ(CUnit::enumGetBaseUnit(static_cast<unit_enumUnits>(99)), unit_dataUndefined);
  EXPECT_EQ(CUnit::enumIsCorrected(unit_trueDepth), 1);
  EXPECT_EQ(CUnit::enumIsCorrected(unit_halfPath), 0);
}

TEST(UnitEnums, DataUnitNamesAndImperial) {
  struct Row {
    int unit;
    const wchar_t* longName;
    const wchar_t* shortName;
    int imperial;
  };
  const Row rows[] = {{0, L"", L"", 1},
                      {1, L"second", L"s", 0},
                      {2, L"microsecond", L"\u00B5s", 0},
                      {3, L"meter", L"m", 0},
                      {4, L"millimeter", L"mm", 0},
                      {5, L"inch", L"in", 1},
                      {6, L"mils", L"mils", 1},
                      {7, L"degrees", L"deg", 0},
                      {8, L"radians", L"rad", 0},
                      {9, L"sample", L"smpl", 0},
                      {10, L"%", L"%", 0},
                      {11, L"decibel", L"dB", 0},
                      {12, L"hertz", L"Hz", 1},
                      {13, L"megahertz", L"MHz", 1},
                      {14, L"volt", L"V", 1},
                      {15, L"", L"", 1},
                      {-1, L"", L"", 1},
                      {16, L"", L"", 1}};
  for (const Row& row : rows) {
    const auto u = static_cast<unit_enumDataUnit>(row.unit);
    CString longName(L"?"), shortName(L"?");
    CUnit::enumGetDataUnitName(u, &longName);
    CUnit::enumGetDataUnitShortName(u, &shortName);
    EXPECT_STREQ(longName, row.longName) << row.unit;
    EXPECT_STREQ(shortName, row.shortName) << row.unit;
    EXPECT_EQ(CUnit::enumIsImperialUnit(u), row.imperial) << row.unit;
  }
  CUnit::enumGetDataUnitName(unit_dataMeter, nullptr);
}

}  // namespace
