// The channel file reader of quarlen-calc: any file is read or refused with one line naming the
// file and a line of it; a file that is read runs through the conversions quarlen-calc prints
// without undefined behaviour.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tools/channel_file.h"
#include "ultrasound/calculator_data.h"
#include "ultrasound/conversion.h"
#include "ultrasound/cylindrical_correction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  quarlen::calc::ChannelFile d;
  std::string error;
  if (!quarlen::calc::ReadChannelFile(in, "f.channel", d, error)) {
    // "f.channel:N: ..." on one line, N a line of the file.
    if (error.rfind("f.channel:", 0) != 0 || error.find('\n') != std::string::npos) std::abort();
    for (const char c : error) {
      if (static_cast<unsigned char>(c) < 0x20) std::abort();
    }
    const std::size_t digits = error.find_first_not_of("0123456789", 10);
    if (digits == 10 || digits == std::string::npos || error[digits] != ':') std::abort();
    const long line = std::strtol(error.c_str() + 10, nullptr, 10);
    long lines = 0;
    for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n';
    if (size > 0 && data[size - 1] != '\n') ++lines;
    if (line < 1 || line > std::max(lines, 1L)) std::abort();
    return 0;
  }
  if (d.channel.laws.empty() || d.channel.currentLaw < 0 ||
      d.channel.currentLaw >= static_cast<LONG>(d.channel.laws.size())) {
    std::abort();
  }
  if (d.channel.laws.size() > 8) return 0;  // more of the same

  auto channel = quarlen::parameters::BuildChannel(d.channel);
  auto specimen = quarlen::parameters::BuildSpecimen(d.specimen);
  CCalculatorData calc;
  calc.SetUnitSystem(d.imperial ? GeneralParameters::eUnitSystemImperial
                                : GeneralParameters::eUnitSystemMetric);
  calc.SetSpecimen(specimen);
  const UltrasoundParameters::IChannelPtr ch(channel);
  for (int law = -1; law < static_cast<int>(d.channel.laws.size()); ++law) {
    double factor = 1.0, offset = 0.0;
    GetTimeConvertFactor(&calc, ch, law, &factor, &offset, true, 0);
    if (law < 0) continue;
    GetWedgeDelay(&calc, ch, law);
    GetDigDelay(&calc, ch, law);
    GetTimeConvertFactorFromBaseUnitForLaw(&calc, ch, law);
    ConvertTimeToSampleQty(ch, 10e-6);
    UltrasoundParameters::ILawPtr lawObject(channel->lawList->laws[static_cast<std::size_t>(law)]);
    GetSampleQtyFromRange(&calc, ch, lawObject, 12.5, d.channel.unitType);
    if (d.pipeRadius > 0.0) {
      const double theta = d.channel.laws[static_cast<std::size_t>(law)].angles.refracted * 0.0174;
      (d.pipeFromInside ? CalculateCylindricalCorrectionID : CalculateCylindricalCorrectionOD)(
          d.pipeRadius, d.pipeThickness, theta, 0.0, 20.0, 1.0, 8.0, 0);
    }
  }
  return 0;
}
