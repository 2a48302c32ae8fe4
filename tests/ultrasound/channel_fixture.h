#pragma once
// A channel with two focal laws and a specimen, shared by the conversion tests.
#include <memory>

#include "ultrasound/calculator_data.h"
#include "ultrasound/parameters/memory.h"

namespace quarlen::test {

struct ChannelFixture {
  ChannelFixture() {
    parameters::SChannel d;
    d.unitType = UltrasoundTypes::eUltrasoundUnitSoundPath;
    d.samplingFrequency = 100e6;
    d.inspectionMode = 1;  // one probe transmits and receives
    d.transmit = {2.0, {10.0, 0.0}};
    d.receive = {3.0, {0.0, 0.0}};
    d.beam = {5900.0, 10.0, 0.0, 0};
    d.laws.push_back({{35.0, 0.0}, {3240.0, 12.0, 0.5, 0}});
    d.laws.push_back({{45.0, 90.0}, {0.0, 20.0, 1.5, 0}});
    d.currentLaw = 1;
    channel = parameters::BuildChannel(d, context);
    specimen = parameters::BuildSpecimen({5920.0, 3250.0, 2900.0}, context);
    data.SetSpecimen(specimen);
  }

  std::shared_ptr<parameters::CParameterContext> context =
      std::make_shared<parameters::CParameterContext>();
  _com_ptr_t<parameters::CMemoryChannel> channel;
  _com_ptr_t<parameters::CMemorySpecimen> specimen;
  CCalculatorData data;
  UltrasoundParameters::IChannelPtr Channel() const { return channel; }
};

}  // namespace quarlen::test
