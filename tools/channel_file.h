#pragma once
// The channel description file of quarlen-calc: `key = value` lines, `#` starts a comment (see
// tools/examples/*.channel for every key).
//
// ReadChannelFile never throws and never exits: a malformed file gives false and one line of
// text, "NAME:LINE: what is wrong", where NAME is the name passed in and LINE the 1-based line
// at fault (for a file that ends without a law, its last line). Characters of the file quoted
// in the message are printable: control characters are shown as '?'.
#include <istream>
#include <string>

#include "ultrasound/parameters/memory.h"

namespace quarlen::calc {

struct ChannelFile {
  parameters::SChannel channel;
  parameters::SSpecimen specimen;
  bool imperial = false;
  double pipeRadius = 0.0;
  double pipeThickness = 0.0;
  bool pipeFromInside = false;
};

// Reads `in` to its end into `out` (which starts from the defaults of ChannelFile). On failure
// `error` holds the message and `out` is left partly filled.
bool ReadChannelFile(std::istream& in, const std::string& name, ChannelFile& out,
                     std::string& error);

// A finite number written in full (no trailing characters, no embedded NUL).
bool ParseNumber(const std::string& text, double& out);

}  // namespace quarlen::calc
