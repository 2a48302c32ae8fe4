// The wide-string formatter's format parser: any format text, with a fixed list of arguments of
// every kind the parser reads, formats without reading past the arguments or the text. A format
// without '%' is copied as it is.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/cstring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Two bytes per wide character, so every code unit (surrogates and NUL included) occurs.
  std::wstring format;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    format.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  const std::wstring text = format.c_str();  // what a caller's C string holds

  static const wchar_t kWide[] = L"wide \u00e9\u6f22";
  static const char kNarrow[] = "narrow \xc3\xa9";
  int target = 0;
  const std::wstring out =
      quarlen::detail::FormatW(text.c_str(), 42, -7LL, 3.25, kWide, kNarrow, 0xffffffffu, &target,
                               -1e300, 'x', static_cast<unsigned short>(65535), 1e-310, L'\u00e9',
                               static_cast<std::int8_t>(-5), 0.0, 18446744073709551615ull, kWide);
  if (text.find(L'%') == std::wstring::npos && out != text) std::abort();
  // A conversion prints at most a few hundred characters beyond its width and precision, which
  // the format itself spells out.
  if (out.size() > 1024 + 1000 * text.size()) std::abort();

  CString s;
  s.Format(text.c_str(), 1.5);
  s.AppendFormat(text.c_str(), kWide, 3);
  return 0;
}
