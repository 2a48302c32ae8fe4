#include "ultrasound/parameters/com.h"

#include <cstdio>

namespace {
std::string Describe(HRESULT hr, const IID& source) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "parameter component error 0x%08X in %s",
                static_cast<unsigned>(hr), source.name ? source.name : "?");
  return buf;
}
}  // namespace

_com_error::_com_error(HRESULT hr, const IID& source)
    : std::runtime_error(Describe(hr, source)), m_hr(hr), m_source(source) {}

void _com_issue_errorex(HRESULT hr, IUnknown* /*source*/, REFIID id) { throw _com_error(hr, id); }
