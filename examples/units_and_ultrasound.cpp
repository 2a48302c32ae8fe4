// Units, scales and the ultrasound conversions, without a window: a console program.
//
// Rulers, positions and cursors hold values in the base unit of their axis (metres for
// distances, seconds for times); display units convert them for the eye. The ultrasound
// conversions work in the units of the acquisition: microseconds, hertz, metres per second,
// degrees, and millimetres for lengths (inches when the unit system is imperial).
#include <cstdio>

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "ultrasound/conversion.h"
#include "ultrasound/parameters/memory.h"
#include "volume/unit_set.h"
#include "volume/volume_set.h"

int main() {
  // Display units: a unit set of one group of views. On a distance axis it holds metre,
  // millimetre, inch and mils, each converting from the axis's base unit, the metre.
  CVolumeSet volume(unit_distance, L"Scan", unit_distance, L"Index");
  const vset_groupId views(1);
  CUnitSet* units = volume.vol_CreateUnitSet(&views, nullptr);
  units->AddSubUnit(zel_scan, unit_distance, 1.0, 0.0, 0.0);
  CUnit* millimetre = units->GetUnit(zel_scan, 1);
  CUnit* inch = units->GetUnit(zel_scan, 2);
  const double value = 0.0254;  // metres, as every ruler and position holds it
  CString text;
  std::printf("%.4f m is %ls %ls", value,
              millimetre->dtoa(millimetre->ConvertFromBase(value), text),
              millimetre->GetShortName());
  std::printf(" or %ls %ls\n", inch->dtoa(inch->ConvertFromBase(value), text),
              inch->GetShortName());
  std::printf("12.5 mm back to base: %.4f m\n", millimetre->ConvertToBase(12.5));

  // A scale: the visible window of a ruler mapped onto 600 pixels, the first showing the
  // ruler's start and the last its end. The scan axis runs over 0.3 m; the ruler shows 0.1 m
  // to 0.2 m of it.
  CAxe scan;
  scan.Create(L"Scan", std_distance, 0.0, 0.300);
  CRuler ruler;
  ruler.Create(L"Scan", &scan, 0.0, 0);
  ruler.Set(0.100, 0.100, 0);
  CSC scale(&ruler, nullptr, 600, 0, 0, 0, 0);
  std::printf("ruler %.0f..%.0f mm over 600 px: 125 mm at pixel %ld, pixel 599 at %.1f mm\n",
              ruler.GetStart() * 1000.0, ruler.GetEnd() * 1000.0,
              static_cast<long>(scale.PosToPixel(0.125)), scale.PixelToPos(599) * 1000.0);

  // The ultrasound conversions read a channel from the parameter component; here the
  // in-memory one. One probe, 100 MHz digitizer, one straight-beam law in steel at 5920 m/s,
  // the channel's unit the true depth.
  using namespace quarlen::parameters;
  SChannel description;
  description.unitType = UltrasoundTypes::eUltrasoundUnitTrueDepth;
  description.samplingFrequency = 100e6;  // Hz
  description.beam.velocity = 5920.0;     // m/s
  description.laws.push_back(SLaw{{0.0, 0.0}, {5920.0, 0.0, 0.0, 0}});
  UltrasoundParameters::IChannelPtr channel = BuildChannel(description);
  CCalculatorData data;  // metric: lengths in millimetres

  const double seconds = 10e-6;  // the base unit of time is the second
  const LONG samples = ConvertTimeToSampleQty(channel, seconds);
  const double depth =
      ConvertSampleQtyToUnit(&data, channel, samples, UltrasoundTypes::eUltrasoundUnitTrueDepth);
  const double path =
      ConvertSampleQtyToUnit(&data, channel, samples, UltrasoundTypes::eUltrasoundUnitSoundPath);
  const double micro =
      ConvertSampleQtyToUnit(&data, channel, samples, UltrasoundTypes::eUltrasoundUnitTime);
  std::printf("10 us at 100 MHz: %ld samples, %.1f us, sound path %.1f mm, true depth %.1f mm\n",
              static_cast<long>(samples), micro, path, depth);
  // A depth shown on a ruler is in metres: divide the millimetres by 1000.
  std::printf("true depth on a ruler: %.4f m\n", depth / 1000.0);

  volume.vol_DeleteUnitSet(units);
  return 0;
}
