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
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ultrasound/conversion.h"
#include "ultrasound/cylindrical_correction.h"
#include "ultrasound/parameters/memory.h"

namespace {

using quarlen::parameters::SChannel;
using quarlen::parameters::SLaw;
using quarlen::parameters::SSpecimen;

struct Description {
  SChannel channel;
  SSpecimen specimen;
  bool imperial = false;
  double pipeRadius = 0.0;
  double pipeThickness = 0.0;
  bool pipeFromInside = false;
};

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

bool ParseNumber(const std::string& text, double& out) {
  const char* begin = text.c_str();
  char* end = nullptr;
  out = std::strtod(begin, &end);
  return end != begin && *end == '\0' && std::isfinite(out);
}

double Number(const std::string& text, const std::string& where) {
  double v = 0.0;
  if (!ParseNumber(text, v)) Fail(where + ": not a number: '" + text + "'");
  return v;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

Description Load(const std::string& path) {
  std::ifstream in(path);
  if (!in) Fail("cannot read " + path);
  Description d;
  std::map<std::string, double*> numbers = {
      {"sampling_frequency", &d.channel.samplingFrequency},
      {"transmit.delay", &d.channel.transmit.delay},
      {"transmit.refracted", &d.channel.transmit.angles.refracted},
      {"transmit.skew", &d.channel.transmit.angles.skew},
      {"receive.delay", &d.channel.receive.delay},
      {"receive.refracted", &d.channel.receive.angles.refracted},
      {"receive.skew", &d.channel.receive.angles.skew},
      {"beam.velocity", &d.channel.beam.velocity},
      {"beam.start", &d.channel.beam.start},
      {"beam.delay", &d.channel.beam.delay},
      {"specimen.velocity0", &d.specimen.velocityMode0},
      {"specimen.velocity1", &d.specimen.velocityMode1},
      {"specimen.velocity2", &d.specimen.velocityMode2},
      {"pipe.radius", &d.pipeRadius},
      {"pipe.thickness", &d.pipeThickness},
  };
  std::map<std::string, LONG*> integers = {
      {"inspection_mode", &d.channel.inspectionMode},
      {"beam.wave_mode", &d.channel.beam.waveMode},
      {"current_law", &d.channel.currentLaw},
  };
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string where = path + ":" + std::to_string(number);
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) Fail(where + ": expected 'key = value'");
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    if (auto it = numbers.find(key); it != numbers.end()) {
      *it->second = Number(value, where);
    } else if (auto jt = integers.find(key); jt != integers.end()) {
      const double v = Number(value, where);
      if (v != std::trunc(v) || std::fabs(v) > 1e9) Fail(where + ": not an integer: " + value);
      *jt->second = static_cast<LONG>(v);
    } else if (key == "unit_type") {
      const double v = Number(value, where);
      if (v != std::trunc(v) || std::fabs(v) > 1e9) Fail(where + ": not an integer: " + value);
      d.channel.unitType = static_cast<UltrasoundTypes::tagEUltrasoundUnitType>(v);
    } else if (key == "unit_system") {
      if (value != "metric" && value != "imperial") Fail(where + ": metric or imperial");
      d.imperial = value == "imperial";
    } else if (key == "pipe.surface") {
      if (value != "od" && value != "id") Fail(where + ": od or id");
      d.pipeFromInside = value == "id";
    } else if (key == "law") {
      std::istringstream fields(value);
      std::vector<double> f;
      for (std::string token; fields >> token;) f.push_back(Number(token, where));
      if (f.size() < 5 || f.size() > 6) {
        Fail(where + ": law = refracted skew velocity start delay [wave_mode]");
      }
      SLaw law;
      law.angles = {f[0], f[1]};
      law.beam = {f[2], f[3], f[4], f.size() == 6 ? quarlen::SaturatingTrunc<LONG>(f[5]) : 0};
      d.channel.laws.push_back(law);
    } else {
      Fail(where + ": unknown key '" + key + "'");
    }
  }
  if (d.channel.laws.empty()) Fail(path + ": no law");
  if (d.channel.currentLaw < 0 ||
      d.channel.currentLaw >= static_cast<LONG>(d.channel.laws.size())) {
    Fail(path + ": current_law outside the law list");
  }
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
