#include "tools/channel_file.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "platform/numeric.h"

namespace quarlen::calc {

namespace {

using parameters::SLaw;

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// The text as it may appear inside a one-line message.
std::string Printable(const std::string& s) {
  std::string out = s.size() > 80 ? s.substr(0, 80) + "..." : s;
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) c = '?';
  }
  return out;
}

// A failed read: the message, and false for the caller to return.
struct Failure {
  std::string& error;
  bool operator()(const std::string& where, const std::string& what) const {
    error = where + ": " + what;
    return false;
  }
};

bool Integer(const std::string& value, double& v) {
  return ParseNumber(value, v) && v == std::trunc(v) && std::fabs(v) <= 1e9;
}

}  // namespace

bool ParseNumber(const std::string& text, double& out) {
  const char* begin = text.c_str();
  char* end = nullptr;
  out = std::strtod(begin, &end);
  return end != begin && end == begin + text.size() && std::isfinite(out);
}

bool ReadChannelFile(std::istream& in, const std::string& name, ChannelFile& d,
                     std::string& error) {
  const Failure fail{error};
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
  int number = 0;
  int currentLawLine = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string where = name + ":" + std::to_string(number);
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) return fail(where, "expected 'key = value'");
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    double v = 0.0;
    if (auto it = numbers.find(key); it != numbers.end()) {
      if (!ParseNumber(value, v)) return fail(where, "not a number: '" + Printable(value) + "'");
      *it->second = v;
    } else if (auto jt = integers.find(key); jt != integers.end()) {
      if (!Integer(value, v)) return fail(where, "not an integer: '" + Printable(value) + "'");
      *jt->second = static_cast<LONG>(v);
      if (key == "current_law") currentLawLine = number;
    } else if (key == "unit_type") {
      if (!Integer(value, v)) return fail(where, "not an integer: '" + Printable(value) + "'");
      d.channel.unitType = static_cast<UltrasoundTypes::tagEUltrasoundUnitType>(v);
    } else if (key == "unit_system") {
      if (value != "metric" && value != "imperial") return fail(where, "metric or imperial");
      d.imperial = value == "imperial";
    } else if (key == "pipe.surface") {
      if (value != "od" && value != "id") return fail(where, "od or id");
      d.pipeFromInside = value == "id";
    } else if (key == "law") {
      std::istringstream fields(value);
      std::vector<double> f;
      for (std::string token; fields >> token;) {
        if (f.size() == 6 || !ParseNumber(token, v)) {
          return fail(where, "law = refracted skew velocity start delay [wave_mode]");
        }
        f.push_back(v);
      }
      if (f.size() < 5) return fail(where, "law = refracted skew velocity start delay [wave_mode]");
      SLaw law;
      law.angles = {f[0], f[1]};
      law.beam = {f[2], f[3], f[4], f.size() == 6 ? SaturatingTrunc<LONG>(f[5]) : 0};
      d.channel.laws.push_back(law);
    } else {
      return fail(where, "unknown key '" + Printable(key) + "'");
    }
  }
  const std::string atEnd = name + ":" + std::to_string(number > 0 ? number : 1);
  if (d.channel.laws.empty()) return fail(atEnd, "no law");
  if (d.channel.currentLaw < 0 ||
      d.channel.currentLaw >= static_cast<LONG>(d.channel.laws.size())) {
    return fail(currentLawLine > 0 ? name + ":" + std::to_string(currentLawLine) : atEnd,
                "current_law outside the law list");
  }
  return true;
}

}  // namespace quarlen::calc
