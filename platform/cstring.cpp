// CString: wide strings with printf-style formatting, conversions, search and editing.
#include "platform/cstring.h"

#include <locale.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <vector>

#include "platform/numeric.h"
#include "resources/string_table.h"

// ---------------------------------------------------------------------------------------------
// UTF-8

namespace quarlen {

std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const unsigned char c = *p;
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (c < 0x80) {
      out += static_cast<wchar_t>(c);
      ++p;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
      out += L'\uFFFD';
      ++p;
      continue;
    }
    int n = 1;
    for (; n <= extra && p + n < end && (p[n] & 0xC0) == 0x80; ++n) cp = (cp << 6) | (p[n] & 0x3F);
    if (n <= extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // A broken sequence: one replacement character for its lead byte and the continuation
      // bytes read with it.
      out += L'\uFFFD';
      p += n;
      continue;
    }
    out += static_cast<wchar_t>(cp);
    p += n;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (wchar_t wc : wide) {
    auto cp = static_cast<char32_t>(wc);
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace quarlen

// ---------------------------------------------------------------------------------------------
// Formatting

namespace quarlen::detail {
namespace {

constexpr int kMaxWidth = 4096;

using Kind = FormatArg::Kind;

// One parsed conversion.
struct Conversion {
  std::wstring flags;
  int width = -1;
  int precision = -1;
  enum class Size { None, Char, Short, Int32, Wide, Narrow, Long } size = Size::None;
  wchar_t conv = 0;
};

// Runs the C library's formatting in the "C" locale, so the decimal separator is always '.'.
class CLocaleScope {
 public:
  CLocaleScope() {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (cLocale) m_previous = uselocale(cLocale);
  }
  ~CLocaleScope() {
    if (m_previous) uselocale(m_previous);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t m_previous = locale_t{};
};

// swprintf with a format built by us around exactly one value.
template <class T>
void AppendPrintf(std::wstring& out, const std::wstring& format, T value) {
  CLocaleScope locale;
  // Most conversions fit a small buffer; wide fields and long precisions take the slow path.
  wchar_t small[128];
  const int count = std::swprintf(small, std::size(small), format.c_str(), value);
  if (count >= 0) {
    out.append(small, static_cast<std::size_t>(count));
    return;
  }
  std::vector<wchar_t> buf(2 * kMaxWidth + 512);
  for (;;) {
    const int n = std::swprintf(buf.data(), buf.size(), format.c_str(), value);
    if (n >= 0) {
      out.append(buf.data(), static_cast<std::size_t>(n));
      return;
    }
    if (buf.size() > 1u << 20) return;  // cannot happen with the limited width and precision
    buf.resize(buf.size() * 2);
  }
}

std::wstring CFormat(const Conversion& s, const wchar_t* length, wchar_t conv) {
  std::wstring f = L"%" + s.flags;
  if (s.width >= 0) f += std::to_wstring(s.width);
  if (s.precision >= 0) f += L"." + std::to_wstring(s.precision);
  f += length;
  f += conv;
  return f;
}

void Pad(std::wstring& out, const Conversion& s, std::wstring_view text) {
  const std::size_t width = s.width > 0 ? static_cast<std::size_t>(s.width) : 0;
  const std::size_t fill = width > text.size() ? width - text.size() : 0;
  const bool left = s.flags.find(L'-') != std::wstring::npos;
  if (!left) out.append(fill, L' ');
  out.append(text);
  if (left) out.append(fill, L' ');
}

// The bit pattern of an integer-like argument and its width in bits; false for strings.
bool IntegerBits(const FormatArg& a, const Conversion& s, unsigned long long& bits, int& width) {
  switch (a.kind) {
    case Kind::Signed:
      bits = static_cast<unsigned long long>(a.i);
      width = a.bytes * 8;
      break;
    case Kind::Unsigned:
      bits = a.u;
      width = a.bytes * 8;
      break;
    case Kind::Double:
      bits = static_cast<unsigned long long>(SaturatingTrunc<long long>(a.d));
      width = 64;
      break;
    case Kind::Pointer:
      bits = reinterpret_cast<std::uintptr_t>(a.p);
      width = 64;
      break;
    default:
      return false;
  }
  if (s.size == Conversion::Size::Char) width = 8;
  if (s.size == Conversion::Size::Short) width = 16;
  if (s.size == Conversion::Size::Int32) width = 32;
  return true;
}

void FormatOne(std::wstring& out, const Conversion& s, const FormatArg* a) {
  const wchar_t c = s.conv;
  if (c == L'n') return;
  if (!a) return;
  switch (c) {
    case L'd':
    case L'i':
    case L'u':
    case L'o':
    case L'x':
    case L'X': {
      unsigned long long bits = 0;
      int width = 64;
      if (!IntegerBits(*a, s, bits, width)) return;
      if (width < 64) bits &= (1ull << width) - 1;
      if (c == L'd' || c == L'i') {
        long long v = static_cast<long long>(bits);
        if (width < 64 && (bits >> (width - 1)) != 0)
          v = static_cast<long long>(bits | ~((1ull << width) - 1));
        AppendPrintf(out, CFormat(s, L"ll", c), v);
      } else {
        AppendPrintf(out, CFormat(s, L"ll", c), bits);
      }
      return;
    }
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G':
    case L'a':
    case L'A': {
      double v = 0;
      if (a->kind == Kind::Double) {
        v = a->d;
      } else if (a->kind == Kind::Signed) {
        v = static_cast<double>(a->i);
      } else if (a->kind == Kind::Unsigned) {
        v = static_cast<double>(a->u);
      } else {
        return;
      }
      AppendPrintf(out, CFormat(s, L"", c), v);
      return;
    }
    case L'c':
    case L'C': {
      unsigned long long bits = 0;
      int width = 64;
      if (!IntegerBits(*a, s, bits, width)) return;
      // %c is a wide character in a wide format, %C and %hc a narrow one (one byte).
      const bool narrow =
          (c == L'C' && s.size != Conversion::Size::Wide && s.size != Conversion::Size::Long) ||
          s.size == Conversion::Size::Narrow || s.size == Conversion::Size::Short;
      auto cp = static_cast<char32_t>(narrow ? (bits & 0xFF) : (bits & 0xFFFFFFFF));
      if (cp > 0x10FFFF) cp = 0xFFFD;
      if (cp == 0) return Pad(out, s, {});
      const wchar_t ch = static_cast<wchar_t>(cp);
      return Pad(out, s, std::wstring_view(&ch, 1));
    }
    case L's':
    case L'S': {
      std::wstring narrowText;
      std::wstring_view text;
      if (a->kind == Kind::WideString) {
        text = a->ws ? std::wstring_view(a->ws) : std::wstring_view(L"(null)");
      } else if (a->kind == Kind::NarrowString) {
        narrowText = a->s ? Utf8ToWide(a->s) : std::wstring(L"(null)");
        text = narrowText;
      } else if (a->kind == Kind::Pointer && a->p == nullptr) {
        text = L"(null)";
      } else {
        return;
      }
      if (s.precision >= 0 && text.size() > static_cast<std::size_t>(s.precision)) {
        text = text.substr(0, static_cast<std::size_t>(s.precision));
      }
      return Pad(out, s, text);
    }
    case L'p': {
      unsigned long long bits = 0;
      int width = 64;
      if (!IntegerBits(*a, s, bits, width)) return;
      wchar_t buf[17];
      for (int k = 15; k >= 0; --k, bits >>= 4) buf[k] = L"0123456789ABCDEF"[bits & 0xF];
      return Pad(out, s, std::wstring_view(buf, 16));
    }
    default:
      return;
  }
}

bool IsConversion(wchar_t c) { return c != 0 && std::wcschr(L"diuoxXcCsSfFeEgGaApn", c); }

// Reads digits into a value limited to kMaxWidth.
int ReadNumber(const wchar_t*& p) {
  int v = 0;
  while (*p >= L'0' && *p <= L'9') {
    v = std::min(v * 10 + (*p - L'0'), kMaxWidth);
    ++p;
  }
  return v;
}

}  // namespace

std::wstring FormatArgs(const wchar_t* fmt, const FormatArg* args, std::size_t count) {
  std::wstring out;
  if (!fmt) return out;
  std::size_t next = 0;
  auto take = [&]() -> const FormatArg* { return next < count ? &args[next++] : nullptr; };
  auto takeInt = [&](int& value) {
    const FormatArg* a = take();
    if (!a || (a->kind != Kind::Signed && a->kind != Kind::Unsigned)) return false;
    const long long v = a->kind == Kind::Signed
                            ? a->i
                            : static_cast<long long>(std::min<unsigned long long>(a->u, kMaxWidth));
    value = static_cast<int>(std::clamp<long long>(v, -kMaxWidth, kMaxWidth));
    return true;
  };

  const wchar_t* p = fmt;
  while (*p) {
    if (*p != L'%') {
      out += *p++;
      continue;
    }
    const wchar_t* start = p++;
    if (*p == L'%') {
      out += L'%';
      ++p;
      continue;
    }
    Conversion s;
    while (*p && std::wcschr(L"-+ #0", *p)) s.flags += *p++;
    if (*p == L'*') {
      ++p;
      int w = 0;
      if (takeInt(w)) {
        if (w < 0) s.flags += L'-';
        s.width = std::abs(w);
      }
    } else if (*p >= L'0' && *p <= L'9') {
      s.width = ReadNumber(p);
    }
    if (*p == L'.') {
      ++p;
      if (*p == L'*') {
        ++p;
        int prec = 0;
        if (takeInt(prec) && prec >= 0) s.precision = prec;
      } else {
        s.precision = ReadNumber(p);
      }
    }
    using Size = Conversion::Size;
    if (p[0] == L'h' && p[1] == L'h') {
      s.size = Size::Char, p += 2;
    } else if (p[0] == L'h') {
      s.size = Size::Short, ++p;
    } else if (p[0] == L'l' && p[1] == L'l') {
      s.size = Size::Long, p += 2;
    } else if (p[0] == L'l') {
      s.size = Size::Wide, ++p;
    } else if (p[0] == L'w') {
      s.size = Size::Wide, ++p;
    } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
      s.size = Size::Long, p += 3;
    } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
      s.size = Size::Int32, p += 3;
    } else if (p[0] && std::wcschr(L"ILqjzt", p[0])) {
      s.size = Size::Long, ++p;
    }
    if (!IsConversion(*p)) {
      // Not a conversion: the text stands as written (up to the end of the format).
      if (*p) ++p;
      out.append(start, p);
      continue;
    }
    s.conv = *p++;
    if (s.size == Size::Short &&
        (s.conv == L's' || s.conv == L'S' || s.conv == L'c' || s.conv == L'C')) {
      s.size = Size::Narrow;
    }
    FormatOne(out, s, take());
  }
  return out;
}

}  // namespace quarlen::detail

// ---------------------------------------------------------------------------------------------
// CString

CString::CString(const wchar_t* s, int length) {
  if (s && length > 0) m_str.assign(s, static_cast<std::size_t>(length));
}

CString::CString(const char* s) {
  if (s) m_str = quarlen::Utf8ToWide(s);
}

int CString::Compare(const wchar_t* s) const {
  const int r = m_str.compare(s ? s : L"");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const wchar_t* s) const {
  const std::wstring_view other = s ? s : L"";
  const std::size_t n = std::min(m_str.size(), other.size());
  for (std::size_t k = 0; k < n; ++k) {
    const auto a = static_cast<std::uint32_t>(std::towlower(static_cast<wint_t>(m_str[k])));
    const auto b = static_cast<std::uint32_t>(std::towlower(static_cast<wint_t>(other[k])));
    if (a != b) return a < b ? -1 : 1;
  }
  return m_str.size() == other.size() ? 0 : (m_str.size() < other.size() ? -1 : 1);
}

CString CString::Left(int count) const {
  if (count <= 0) return CString();
  return CString(m_str.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const {
  if (count <= 0) return CString();
  const std::size_t n = std::min(m_str.size(), static_cast<std::size_t>(count));
  return CString(m_str.substr(m_str.size() - n));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (count <= 0 || static_cast<std::size_t>(first) >= m_str.size()) return CString();
  return CString(m_str.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

namespace {
int ToIndex(std::size_t pos) { return pos == std::wstring::npos ? -1 : static_cast<int>(pos); }
}  // namespace

int CString::Find(wchar_t ch, int start) const {
  if (start < 0) start = 0;
  return ToIndex(m_str.find(ch, static_cast<std::size_t>(start)));
}

int CString::Find(const wchar_t* sub, int start) const {
  if (!sub || start < 0 || static_cast<std::size_t>(start) > m_str.size()) return -1;
  return ToIndex(m_str.find(sub, static_cast<std::size_t>(start)));
}

int CString::ReverseFind(wchar_t ch) const { return ToIndex(m_str.rfind(ch)); }

int CString::FindOneOf(const wchar_t* chars) const {
  if (!chars) return -1;
  return ToIndex(m_str.find_first_of(chars));
}

int CString::Replace(wchar_t oldCh, wchar_t newCh) {
  int n = 0;
  for (wchar_t& c : m_str) {
    if (c == oldCh) c = newCh, ++n;
  }
  return n;
}

int CString::Replace(const wchar_t* oldStr, const wchar_t* newStr) {
  if (!oldStr || !*oldStr) return 0;
  const std::wstring_view from(oldStr);
  const std::wstring_view to = newStr ? newStr : L"";
  std::wstring result;
  int n = 0;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = m_str.find(from, pos)) != std::wstring::npos;
       pos = hit + from.size()) {
    result.append(m_str, pos, hit - pos);
    result.append(to);
    ++n;
  }
  if (n == 0) return 0;
  result.append(m_str, pos);
  m_str = std::move(result);
  return n;
}

int CString::Remove(wchar_t ch) {
  const auto n = std::erase(m_str, ch);
  return static_cast<int>(n);
}

int CString::Insert(int index, wchar_t ch) { return Insert(index, std::wstring(1, ch).c_str()); }

int CString::Insert(int index, const wchar_t* s) {
  if (s) {
    const std::size_t at =
        std::clamp<std::size_t>(index < 0 ? 0 : static_cast<std::size_t>(index), 0, m_str.size());
    m_str.insert(at, s);
  }
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index < 0) index = 0;
  if (count > 0 && static_cast<std::size_t>(index) < m_str.size()) {
    m_str.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
  }
  return GetLength();
}

namespace {
template <class Pred>
void TrimLeftIf(std::wstring& s, Pred pred) {
  std::size_t k = 0;
  while (k < s.size() && pred(s[k])) ++k;
  s.erase(0, k);
}
template <class Pred>
void TrimRightIf(std::wstring& s, Pred pred) {
  std::size_t k = s.size();
  while (k > 0 && pred(s[k - 1])) --k;
  s.erase(k);
}
bool IsSpace(wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; }
auto IsOneOf(const wchar_t* chars) {
  return [chars](wchar_t c) { return chars && c != 0 && std::wcschr(chars, c) != nullptr; };
}
}  // namespace

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const wchar_t* chars) { return TrimRight(chars).TrimLeft(chars); }
CString& CString::TrimLeft() { return TrimLeftIf(m_str, IsSpace), *this; }
CString& CString::TrimLeft(wchar_t ch) {
  return TrimLeftIf(m_str, [ch](wchar_t c) { return c == ch; }), *this;
}
CString& CString::TrimLeft(const wchar_t* chars) {
  return TrimLeftIf(m_str, IsOneOf(chars)), *this;
}
CString& CString::TrimRight() { return TrimRightIf(m_str, IsSpace), *this; }
CString& CString::TrimRight(wchar_t ch) {
  return TrimRightIf(m_str, [ch](wchar_t c) { return c == ch; }), *this;
}
CString& CString::TrimRight(const wchar_t* chars) {
  return TrimRightIf(m_str, IsOneOf(chars)), *this;
}

CString& CString::MakeUpper() {
  for (wchar_t& c : m_str) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return *this;
}

CString& CString::MakeLower() {
  for (wchar_t& c : m_str) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_str.begin(), m_str.end());
  return *this;
}

wchar_t* CString::GetBuffer() { return m_str.data(); }

wchar_t* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_str.resize(static_cast<std::size_t>(minLength), L'\0');
  return m_str.data();
}

wchar_t* CString::GetBufferSetLength(int length) {
  m_str.resize(length > 0 ? static_cast<std::size_t>(length) : 0, L'\0');
  return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) {
    m_str.resize(std::wcslen(m_str.c_str()));
  } else if (static_cast<std::size_t>(newLength) < m_str.size()) {
    m_str.resize(static_cast<std::size_t>(newLength));
  }
}

BOOL CString::LoadString(UINT id) {
  const wchar_t* text = quarlen::detail::FindLibraryString(id);
  if (!text) return FALSE;
  m_str = text;
  return TRUE;
}
