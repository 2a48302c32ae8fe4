// quarlen-calc: loads a channel description from a text file and prints the time, sample,
// path and depth conversions of its focal laws and the cylindrical correction of given points.
//
//   quarlen-calc CHANNEL [--law N] [--time US]... [--samples N]... [--range VALUE]...
//                        [--point SCAN,INDEX,DEPTH]...
//
// The file holds `key = value` lines (# starts a comment); see tools/examples/*.channel.
// Exit status: 0 done, 1 the parameter component failed, 2 bad command line or file.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/channel_file.h"
#include "ultrasound/conversion.h"
#include "ultrasound/cylindrical_correction.h"
#include "ultrasound/parameters/memory.h"

namespace {

using quarlen::parameters::SLaw;

using Description = quarlen::calc::ChannelFile;

struct Options {
  std::string file;
  int law = -2;  // -2: every law
  std::vector<double> times;
  std::vector<long> samples;
  std::vector<double> ranges;
  std::vector<Point3d> points;  // scan, index, depth
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "quarlen-calc: %s\n", message.c_str());
  std::exit(2);
}

double Number(const std::string& text, const std::string& where) {
  double v = 0.0;
  if (!quarlen::calc::ParseNumber(text, v)) Fail(where + ": not a number: '" + text + "'");
  return v;
}

Description Load(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) Fail("cannot read " + path + ": a directory");
  std::ifstream in(path);
  if (!in) Fail("cannot read " + path);
  Description d;
  std::string error;
  if (!quarlen::calc::ReadChannelFile(in, path, d, error)) Fail(error);
  return d;
}

Options ParseArguments(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) Fail(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--law") {
      o.law = quarlen::SaturatingTrunc<int>(Number(next(), arg));
    } else if (arg == "--time") {
      o.times.push_back(Number(next(), arg));
    } else if (arg == "--samples") {
      o.samples.push_back(quarlen::SaturatingTrunc<long>(Number(next(), arg)));
    } else if (arg == "--range") {
      o.ranges.push_back(Number(next(), arg));
    } else if (arg == "--point") {
      std::string text = next();
      for (char& c : text) c = c == ',' ? ' ' : c;
      std::istringstream fields(text);
      std::string s, x, d;
      if (!(fields >> s >> x >> d)) Fail("--point SCAN,INDEX,DEPTH");
      o.points.emplace_back(Number(s, arg), Number(x, arg), Number(d, arg));
    } else if (arg == "--help" || arg == "-h") {
      std::printf(
          "usage: quarlen-calc CHANNEL [--law N] [--time US]... [--samples N]...\n"
          "                    [--range VALUE]... [--point SCAN,INDEX,DEPTH]...\n");
      std::exit(0);
    } else if (o.file.empty() && !arg.starts_with("--")) {
      o.file = arg;
    } else {
      Fail("unexpected argument '" + arg + "' (try --help)");
    }
  }
  if (o.file.empty()) Fail("no channel file (try --help)");
  return o;
}

const char* UnitName(LONG unit, bool imperial) {
  switch (unit) {
    case 0:
    case 4:
      return "us";
    case 1:
    case 2:
    case 3:
      return imperial ? "in" : "mm";
    default:
      return "(undefined unit)";
  }
}

void Report(const Description& d, const Options& o) {
  using UltrasoundParameters::IChannelPtr;
  auto channel = quarlen::parameters::BuildChannel(d.channel);
  auto specimen = quarlen::parameters::BuildSpecimen(d.specimen);
  CCalculatorData data;
  data.SetUnitSystem(d.imperial ? GeneralParameters::eUnitSystemImperial
                                : GeneralParameters::eUnitSystemMetric);
  data.SetSpecimen(specimen);
  const IChannelPtr ch(channel);
  const auto unit = d.channel.unitType;
  const char* unitName = UnitName(unit, d.imperial);

  std::printf("channel %s: unit type %d, %s, sampling %.6g Hz, %zu laws, current law %d\n",
              o.file.c_str(), static_cast<int>(unit), d.imperial ? "imperial" : "metric",
              d.channel.samplingFrequency, d.channel.laws.size(),
              static_cast<int>(d.channel.currentLaw));

  std::vector<int> laws;
  if (o.law == -2) {
    for (std::size_t i = 0; i < d.channel.laws.size(); ++i) laws.push_back(static_cast<int>(i));
  } else if (o.law < -1 || o.law >= static_cast<int>(d.channel.laws.size())) {
    Fail("--law: the channel has laws 0 to " + std::to_string(d.channel.laws.size() - 1) +
         " (or -1 for the channel itself)");
  } else {
    laws.push_back(o.law);
  }
  for (int law : laws) {
    double factor = 1.0, offset = 0.0;
    const LONG status = GetTimeConvertFactor(&data, ch, law, &factor, &offset, true, 0);
    std::printf("law %d: factor %.6g %s/us, start %.6g %s%s\n", law, factor, unitName, offset,
                unitName, status ? "" : " (unit type not defined)");
    if (law < 0) continue;
    std::printf("  wedge delay %.6g us, digitizer delay %.6g us\n", GetWedgeDelay(&data, ch, law),
                GetDigDelay(&data, ch, law));
    const double perSecond = GetTimeConvertFactorFromBaseUnitForLaw(&data, ch, law);
    for (double t : o.times) {
      const LONG n = ConvertTimeToSampleQty(ch, t * 1e-6);
      std::printf("  time %.6g us -> %ld samples -> %.6g %s\n", t, static_cast<long>(n),
                  t * 1e-6 * perSecond, unitName);
    }
    for (long n : o.samples) {
      std::printf("  %ld samples -> %.6g %s\n", n, n / d.channel.samplingFrequency * perSecond,
                  unitName);
    }
    UltrasoundParameters::ILawPtr lawObject(channel->lawList->laws[static_cast<std::size_t>(law)]);
    for (double r : o.ranges) {
      std::printf("  range %.6g %s -> %ld samples\n", r, unitName,
                  static_cast<long>(GetSampleQtyFromRange(&data, ch, lawObject, r, unit)));
    }
    if (!o.points.empty() && d.pipeRadius > 0.0) {
      constexpr double kDeg = 0.017453292519943295;
      const SLaw& l = d.channel.laws[static_cast<std::size_t>(law)];
      const double theta = (d.channel.transmit.angles.refracted + l.angles.refracted) * kDeg;
      const double phi = (d.channel.transmit.angles.skew + l.angles.skew) * kDeg;
      const double surface = d.pipeFromInside ? d.pipeRadius - d.pipeThickness : d.pipeRadius;
      for (const Point3d& in : o.points) {
        const Point3d p = d.pipeFromInside
                              ? CalculateCylindricalCorrectionID(d.pipeRadius, d.pipeThickness,
                                                                 theta, phi, in.x, in.y, in.z, 0)
                              : CalculateCylindricalCorrectionOD(d.pipeRadius, d.pipeThickness,
                                                                 theta, phi, in.x, in.y, in.z, 0);
        double scan, index, depth;
        (d.pipeFromInside ? Point3dToSDI_ID : Point3dToSDI_OD)(p, scan, index, depth, surface);
        std::printf(
            "  %s correction of scan %.6g index %.6g depth %.6g -> (%.6g, %.6g, %.6g): scan %.6g "
            "index %.6g depth %.6g\n",
            d.pipeFromInside ? "ID" : "OD", in.x, in.y, in.z, p.x, p.y, p.z, scan, index, depth);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseArguments(argc, argv);
  const Description description = Load(options.file);
  try {
    Report(description, options);
  } catch (const _com_error& e) {
    std::fprintf(stderr, "quarlen-calc: %s\n", e.what());
    return 1;
  }
  return 0;
}
