// The calculator data record: accessors, board families and reference counting.
#include <gtest/gtest.h>

#include "ultrasound/calculator_data.h"
#include "ultrasound/parameters/memory.h"

using namespace quarlen::parameters;

namespace {

struct Held {
  std::shared_ptr<CParameterContext> context = std::make_shared<CParameterContext>();
  _com_ptr_t<CMemoryCalculatorDisplaySettings> display =
      MakeMemoryObject<CMemoryCalculatorDisplaySettings>(context);
  _com_ptr_t<CMemoryChannel> channel = BuildChannel({}, context);
  _com_ptr_t<CMemoryDeviceParameters> device = MakeMemoryObject<CMemoryDeviceParameters>(context);
  _com_ptr_t<CMemorySpecimen> specimen = BuildSpecimen({}, context);

  void Fill(CCalculatorData& d) const {
    d.SetCalculatorDisplaySettings(display);
    d.SetChannelObject(channel);
    d.SetDeviceParameters(device);
    d.SetSpecimen(specimen);
  }
  std::vector<ULONG> Counts() const {
    return {display->RefCount(), channel->RefCount(), device->RefCount(), specimen->RefCount()};
  }
};

TEST(CalculatorData, Defaults) {
  const CCalculatorData d;
  EXPECT_FALSE(d.IsAllLaws());
  EXPECT_EQ(d.GetPulserVoltage(), 0);
  EXPECT_EQ(d.GetUnitSystem(), 0);
  EXPECT_EQ(d.GetDDFData().GetMaximumDDFPoint(), 0);
  EXPECT_TRUE(d.GetDDFData().GetDDFPodTypeName().empty());
  IUnknown* calc = reinterpret_cast<IUnknown*>(1);
  d.GetCalculator(&calc);
  EXPECT_EQ(calc, nullptr);
  EXPECT_FALSE(d.GetSpecimen());
}

TEST(CalculatorData, ValuesRoundTrip) {
  CCalculatorData d;
  d.EnableAllLaws(true);
  d.SetPulserVoltage(-120);
  d.SetUnitSystem(GeneralParameters::eUnitSystemImperial);
  EXPECT_TRUE(d.IsAllLaws());
  EXPECT_EQ(d.GetPulserVoltage(), -120);
  EXPECT_EQ(d.GetUnitSystem(), GeneralParameters::eUnitSystemImperial);
  EXPECT_EQ(d.GetAttenuation(0), -1);
  EXPECT_EQ(d.GetAttenuation(17), -1);
}

TEST(CalculatorData, CalculatorIsStoredWithoutReference) {
  auto calc = MakeMemoryObject<CMemoryUnknown>();
  CCalculatorData d;
  EXPECT_TRUE(d.InitCalculator(calc.GetInterfacePtr()));
  EXPECT_EQ(calc->RefCount(), 1u);
  EXPECT_FALSE(d.InitCalculator(nullptr));
  IUnknown* out = nullptr;
  d.GetCalculator(&out);
  EXPECT_EQ(out, calc.GetInterfacePtr());
  EXPECT_EQ(calc->RefCount(), 1u);
}

TEST(CalculatorData, SetDDFDataInstallsKnownFamiliesOnly) {
  struct Case {
    UltrasoundTypes::tagEBoardType board;
    const char* name;
    LONG hold;
    int mask;
    bool oldFormat;
    LONG firstSlide3;
  } cases[] = {{UltrasoundTypes::eBoardVarda, "VARDA", 2, 1023, true, 8},
               {UltrasoundTypes::eBoardVardaLT, "VardaLT", 6, 4095, false, 20}};
  for (const Case& c : cases) {
    CCalculatorData d;
    d.SetDDFData(c.board);
    const CDynamicDepthFocusing& ddf = d.GetDDFData();
    EXPECT_EQ(ddf.GetDDFPodTypeName(), c.name);
    EXPECT_EQ(ddf.GetMaximumDDFPoint(), 16384);
    EXPECT_EQ(ddf.GetMaximumHoldLength(), c.hold);
    EXPECT_EQ(ddf.GetDynDividerMask(), c.mask);
    EXPECT_EQ(ddf.GetSupportOldPacFileFormat(), c.oldFormat);
    EXPECT_EQ(ddf.CalcFirstSlideDelayFactor(3), c.firstSlide3);
  }
}

TEST(CalculatorData, SetDDFDataKeepsSlideStepAndFirstSlideFactor) {
  CCalculatorData d;
  // The record hands out its DDF read-only; a caller holding it configures it in place.
  auto& ddf = const_cast<CDynamicDepthFocusing&>(d.GetDDFData());
  ddf.SetSlideStep(7);
  ddf.SetFirstSlideDelayFactor(11);
  d.SetDDFData(UltrasoundTypes::eBoardVarda);
  EXPECT_EQ(d.GetDDFData().GetSlideStep(), 7);
  EXPECT_EQ(d.GetDDFData().GetFirstSlideDelayFactor(), 11);
}

TEST(CalculatorData, UnknownBoardChangesNothing) {
  CCalculatorData d;
  d.SetDDFData(UltrasoundTypes::eBoardVardaLT);
  for (auto board : {UltrasoundTypes::tagEBoardType(0), UltrasoundTypes::tagEBoardType(2)}) {
    d.SetDDFData(board);
    EXPECT_EQ(d.GetDDFData().GetDDFPodTypeName(), "VardaLT");
    EXPECT_EQ(d.GetDDFData().GetMaximumHoldLength(), 6);
    EXPECT_EQ(d.GetDDFData().GetDynDividerMask(), 4095);
  }
  CCalculatorData fresh;
  fresh.SetDDFData(UltrasoundTypes::tagEBoardType(2));
  EXPECT_TRUE(fresh.GetDDFData().GetDDFPodTypeName().empty());
  EXPECT_EQ(fresh.GetDDFData().GetMaximumDDFPoint(), 0);
}

TEST(CalculatorData, CopyTakesReferencesAndReleasesThemOnce) {
  Held h;
  const auto base = h.Counts();
  CCalculatorData source;
  h.Fill(source);
  const auto held = h.Counts();
  for (std::size_t i = 0; i < held.size(); ++i) EXPECT_EQ(held[i], base[i] + 1);
  {
    CCalculatorData copy(source);
    for (std::size_t i = 0; i < held.size(); ++i) EXPECT_EQ(h.Counts()[i], base[i] + 2);
    EXPECT_EQ(copy.GetSpecimen(), source.GetSpecimen());
  }
  EXPECT_EQ(h.Counts(), held);
}

TEST(CalculatorData, SelfAssignmentLeavesCountsUnchanged) {
  Held h;
  CCalculatorData d;
  h.Fill(d);
  const auto held = h.Counts();
  CCalculatorData& alias = d;
  d = alias;
  EXPECT_EQ(h.Counts(), held);
  EXPECT_EQ(d.GetChannelObject(), UltrasoundParameters::IChannelPtr(h.channel));
}

TEST(CalculatorData, AssignmentMovesReferences) {
  Held a, b;
  CCalculatorData da, db;
  a.Fill(da);
  b.Fill(db);
  const auto countsA = a.Counts();
  da = db;
  for (std::size_t i = 0; i < countsA.size(); ++i) EXPECT_EQ(a.Counts()[i], countsA[i] - 1);
  for (ULONG c : b.Counts()) EXPECT_EQ(c, 3u);
  da = CCalculatorData();
  for (ULONG c : b.Counts()) EXPECT_EQ(c, 2u);
}

TEST(CalculatorData, DestructionReleasesEveryInterface) {
  Held h;
  const auto base = h.Counts();
  {
    CCalculatorData d;
    h.Fill(d);
    d.SetSpecimen(h.specimen);  // the same pointer again: no extra reference
  }
  EXPECT_EQ(h.Counts(), base);
}

}  // namespace
