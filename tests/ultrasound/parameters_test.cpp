// The parameter component's object model: reference counting of the smart pointer, interface
// queries, failing reads and the component error.
#include <gtest/gtest.h>

#include "ultrasound/parameters/memory.h"

using namespace quarlen::parameters;
using namespace UltrasoundParameters;

namespace {

TEST(ComPtr, CopyTakesAReferenceAndDestructionGivesItBack) {
  auto probe = MakeMemoryObject<CMemoryProbe>();
  EXPECT_EQ(probe->RefCount(), 1u);
  {
    IProbePtr copy = probe;
    EXPECT_EQ(probe->RefCount(), 2u);
    IProbePtr second(copy);
    EXPECT_EQ(probe->RefCount(), 3u);
  }
  EXPECT_EQ(probe->RefCount(), 1u);
}

TEST(ComPtr, AssignmentOfTheHeldPointerChangesNothing) {
  auto probe = MakeMemoryObject<CMemoryProbe>();
  IProbePtr p = probe;
  p = p;
  IProbePtr same = probe;
  p = same;
  EXPECT_EQ(probe->RefCount(), 3u);
}

TEST(ComPtr, AssigningAnotherTargetMovesTheReference) {
  auto a = MakeMemoryObject<CMemoryProbe>();
  auto b = MakeMemoryObject<CMemoryProbe>();
  IProbePtr p = a;
  p = IProbePtr(b);
  EXPECT_EQ(a->RefCount(), 1u);
  EXPECT_EQ(b->RefCount(), 2u);
  p = nullptr;
  EXPECT_EQ(b->RefCount(), 1u);
  IProbePtr moved = std::move(p);
  EXPECT_FALSE(moved);
}

TEST(ComPtr, LastReleaseDestroysTheObject) {
  auto context = std::make_shared<CParameterContext>();
  {
    auto channel = MakeMemoryObject<CMemoryChannel>(context);
    EXPECT_EQ(context->LiveObjects(), 7u);  // channel, list, beam, 2 probes with their angles
  }
  EXPECT_EQ(context->LiveObjects(), 0u);
}

TEST(ComPtr, NullDereferenceRaisesEPointer) {
  IChannelPtr none;
  try {
    double f = 0;
    none->get_SamplingFrequency(&f);
    FAIL() << "no error raised";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), E_POINTER);
    EXPECT_EQ(e.Source(), IChannel::iid);
  }
}

TEST(QueryInterface, AnswersForItsInterfaceAndIUnknownOnly) {
  auto law = MakeMemoryObject<CMemoryLaw>();
  void* out = nullptr;
  EXPECT_EQ(law->QueryInterface(ILaw::iid, &out), S_OK);
  EXPECT_EQ(out, static_cast<ILaw*>(law.GetInterfacePtr()));
  EXPECT_EQ(law->RefCount(), 2u);
  static_cast<ILaw*>(out)->Release();
  EXPECT_EQ(law->QueryInterface(IUnknown::iid, &out), S_OK);
  static_cast<IUnknown*>(out)->Release();
  EXPECT_EQ(law->QueryInterface(IChannel::iid, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(law->RefCount(), 1u);
}

TEST(MemoryComponent, ReadsGiveTheStoredValuesAndNewReferences) {
  SChannel d;
  d.samplingFrequency = 50e6;
  d.laws.push_back({{30.0, 5.0}, {3200.0, 1.0, 2.0, 1}});
  auto channel = BuildChannel(d);
  double fs = 0;
  EXPECT_EQ(channel->get_SamplingFrequency(&fs), S_OK);
  EXPECT_EQ(fs, 50e6);
  ILawList* list = nullptr;
  ASSERT_EQ(channel->get_LawList(&list), S_OK);
  EXPECT_EQ(channel->lawList->RefCount(), 2u);
  ILaw* law = nullptr;
  EXPECT_EQ(list->get_Item(2, &law), E_INVALIDARG);
  EXPECT_EQ(list->get_Item(0, &law), E_INVALIDARG);
  ASSERT_EQ(list->get_Item(1, &law), S_OK);
  IBeamAngles* angles = nullptr;
  ASSERT_EQ(law->get_Angles(&angles), S_OK);
  double skew = 0;
  EXPECT_EQ(angles->get_SkewAngle(&skew), S_OK);
  EXPECT_EQ(skew, 5.0);
  angles->Release();
  law->Release();
  list->Release();
  EXPECT_EQ(channel->lawList->RefCount(), 1u);
  EXPECT_EQ(channel->get_SamplingFrequency(nullptr), E_POINTER);
}

TEST(MemoryComponent, FailsTheChosenReadOnce) {
  auto context = std::make_shared<CParameterContext>();
  auto channel = BuildChannel({}, context);
  context->FailReadNumber(2, E_INVALIDARG);
  double v = 0;
  LONG mode = 0;
  EXPECT_EQ(channel->get_SamplingFrequency(&v), S_OK);
  EXPECT_EQ(channel->get_InspectionMode(&mode), E_INVALIDARG);
  EXPECT_EQ(channel->get_InspectionMode(&mode), S_OK);
  EXPECT_EQ(context->ReadCount(), 3u);
}

TEST(MemoryComponent, FailsANamedPropertyOfOneObject) {
  auto channel = BuildChannel({});
  channel->transmitProbe->FailProperty("Delay", E_FAIL);
  double v = 0;
  EXPECT_EQ(channel->transmitProbe->get_Delay(&v), E_FAIL);
  EXPECT_EQ(channel->receiveProbe->get_Delay(&v), S_OK);
  channel->transmitProbe->FailProperty("");
  EXPECT_EQ(channel->transmitProbe->get_Delay(&v), S_OK);
}

TEST(ComError, CarriesStatusAndInterface) {
  try {
    _com_issue_errorex(E_FAIL, nullptr, IBeamSettings::iid);
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), E_FAIL);
    EXPECT_EQ(e.Source(), IBeamSettings::iid);
    EXPECT_STREQ(e.what(), "parameter component error 0x80004005 in IBeamSettings");
  }
}

}  // namespace
