#pragma once
// CString: a wide-character string used as in MFC, with printf-style formatting that keeps the
// Microsoft meaning of the conversions and loading from the library's string table.
#include <compare>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/types.h"

class CString;

namespace quarlen {
// UTF-8 <-> wide conversions. Invalid input (bad UTF-8 bytes, lone surrogates, values above
// U+10FFFF) becomes U+FFFD.
QUARLEN_API std::wstring Utf8ToWide(std::string_view utf8);
QUARLEN_API std::string WideToUtf8(std::wstring_view wide);
}  // namespace quarlen

namespace quarlen::detail {

// One argument of a formatting call, captured with its type so that the formatter never reads
// an argument as something it is not.
struct FormatArg {
  enum class Kind { Signed, Unsigned, Double, Pointer, NarrowString, WideString };
  Kind kind;
  int bytes = 0;  // width of an integer argument
  union {
    long long i;
    unsigned long long u;
    double d;
    const void* p;
    const char* s;
    const wchar_t* ws;
  };

  template <class T>
  requires(std::is_integral_v<T> || std::is_enum_v<T>) FormatArg(T v) {
    using U = typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>,
                                          std::type_identity<T>>::type;
    bytes = static_cast<int>(sizeof(U) < sizeof(int) ? sizeof(int) : sizeof(U));
    if constexpr (std::is_signed_v<U>) {
      kind = Kind::Signed;
      i = static_cast<long long>(v);
    } else {
      kind = Kind::Unsigned;
      u = static_cast<unsigned long long>(v);
    }
  }
  template <std::floating_point T>
  FormatArg(T v) : kind(Kind::Double), d(static_cast<double>(v)) {}
  FormatArg(const char* v) : kind(Kind::NarrowString), s(v) {}
  FormatArg(const wchar_t* v) : kind(Kind::WideString), ws(v) {}
  FormatArg(const std::string& v) : kind(Kind::NarrowString), s(v.c_str()) {}
  FormatArg(const std::wstring& v) : kind(Kind::WideString), ws(v.c_str()) {}
  inline FormatArg(const CString& v);
  FormatArg(std::nullptr_t) : kind(Kind::Pointer), p(nullptr) {}
  template <class T>
  requires(!std::is_same_v<std::remove_cv_t<T>, char> &&
           !std::is_same_v<std::remove_cv_t<T>, wchar_t>) FormatArg(T* v)
      : kind(Kind::Pointer), p(v) {}
};

// Formats args after fmt with the Microsoft wide-format rules (see CString::Format).
QUARLEN_API std::wstring FormatArgs(const wchar_t* fmt, const FormatArg* args, std::size_t count);

template <class... Args>
std::wstring FormatW(const wchar_t* fmt, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    return FormatArgs(fmt, nullptr, 0);
  } else {
    const FormatArg list[] = {FormatArg(args)...};
    return FormatArgs(fmt, list, sizeof...(Args));
  }
}

// A single double with a one-conversion format such as L"%.3f" or L"%-12.2f".
inline std::wstring FormatDouble(const wchar_t* fmt, double value) { return FormatW(fmt, value); }

}  // namespace quarlen::detail

class QUARLEN_API CString {
 public:
  CString() = default;
  // Null pointers give the empty string.
  CString(const wchar_t* s) : m_str(s ? s : L"") {}
  CString(const wchar_t* s, int length);
  // UTF-8 text.
  CString(const char* s);
  CString(wchar_t ch, int repeat = 1) : m_str(repeat > 0 ? repeat : 0, ch) {}
  CString(std::wstring s) : m_str(std::move(s)) {}
  CString(std::wstring_view s) : m_str(s) {}

  CString& operator=(const wchar_t* s) { return m_str = s ? s : L"", *this; }
  CString& operator=(const char* s) { return *this = CString(s); }
  CString& operator=(wchar_t ch) { return m_str.assign(1, ch), *this; }

  const wchar_t* GetString() const { return m_str.c_str(); }
  operator const wchar_t*() const { return m_str.c_str(); }
  const std::wstring& str() const { return m_str; }
  int GetLength() const { return static_cast<int>(m_str.size()); }
  BOOL IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }

  // Out-of-range indices read L'\0' and write nothing.
  wchar_t GetAt(int i) const { return InRange(i) ? m_str[static_cast<std::size_t>(i)] : L'\0'; }
  template <std::integral I>
  wchar_t operator[](I i) const {
    return i >= 0 && static_cast<unsigned long long>(i) < m_str.size()
               ? m_str[static_cast<std::size_t>(i)]
               : L'\0';
  }
  void SetAt(int i, wchar_t ch) {
    if (InRange(i)) m_str[static_cast<std::size_t>(i)] = ch;
  }

  CString& operator+=(const CString& s) { return m_str += s.m_str, *this; }
  CString& operator+=(const wchar_t* s) { return s ? (m_str += s, *this) : *this; }
  CString& operator+=(wchar_t ch) { return m_str += ch, *this; }
  CString& Append(const wchar_t* s) { return *this += s; }
  CString& AppendChar(wchar_t ch) { return *this += ch; }

  friend CString operator+(const CString& a, const CString& b) {
    return CString(a.m_str + b.m_str);
  }
  friend CString operator+(const CString& a, const wchar_t* b) { return CString(a) += b; }
  friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) += b; }
  friend CString operator+(const CString& a, wchar_t b) { return CString(a) += b; }
  friend CString operator+(wchar_t a, const CString& b) { return CString(a) += b; }

  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) {
    return a.Compare(b.GetString()) <=> 0;
  }
  friend std::strong_ordering operator<=>(const CString& a, const wchar_t* b) {
    return a.Compare(b) <=> 0;
  }

  // -1, 0 or 1 by code-point order; a null pointer compares as the empty string.
  int Compare(const wchar_t* s) const;
  // As Compare, after lowering both sides (towlower).
  int CompareNoCase(const wchar_t* s) const;

  // Substrings; counts and indices are clamped to the string.
  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;

  // Index of the first match at or after start, or -1.
  int Find(wchar_t ch, int start = 0) const;
  int Find(const wchar_t* sub, int start = 0) const;
  int ReverseFind(wchar_t ch) const;
  int FindOneOf(const wchar_t* chars) const;

  // Number of replacements. An empty or null old string replaces nothing.
  int Replace(wchar_t oldCh, wchar_t newCh);
  int Replace(const wchar_t* oldStr, const wchar_t* newStr);
  int Remove(wchar_t ch);
  // New length. Indices are clamped.
  int Insert(int index, wchar_t ch);
  int Insert(int index, const wchar_t* s);
  int Delete(int index, int count = 1);

  // Without arguments white space (iswspace) is removed.
  CString& Trim();
  CString& Trim(wchar_t ch);
  CString& Trim(const wchar_t* chars);
  CString& TrimLeft();
  CString& TrimLeft(wchar_t ch);
  CString& TrimLeft(const wchar_t* chars);
  CString& TrimRight();
  CString& TrimRight(wchar_t ch);
  CString& TrimRight(const wchar_t* chars);
  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();

  // A writable buffer of at least minLength characters (plus the terminator), holding the
  // current text. ReleaseBuffer(-1) takes the length up to the first L'\0'; ReleaseBuffer(n)
  // sets it to n (clamped to the buffer). The buffer is valid until the next change.
  wchar_t* GetBuffer();
  wchar_t* GetBuffer(int minLength);
  wchar_t* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  // printf-style formatting with the Microsoft meaning of a wide format:
  //  - %s and %c take wide text and characters, %S and %C narrow ones, %ls/%ws/%lc/%wc are
  //    always wide and %hs/%hc always narrow. Because the arguments are captured with their
  //    types, a string argument is printed correctly whatever its width (a CString, a
  //    std::wstring or std::string may be passed directly); a null string prints "(null)".
  //  - flags - + space # 0, width and precision (also as *), sizes h hh l ll L q j z t I I32
  //    I64 w, conversions d i u o x X c C s S f F e E g G a A p n %.
  //  - integers print their own value; h, hh and I32 narrow it to 16, 8 and 32 bits, and an
  //    unsigned conversion of a negative value shows its two's complement at the argument's
  //    width. A floating argument given to an integer conversion is truncated (saturating); an
  //    integer given to a floating conversion is converted.
  //  - numbers always use '.' as decimal separator, whatever the process locale.
  //  - %n writes nothing; %p prints the address as 16 upper-case hex digits.
  //  - width and precision are limited to 4096. A missing argument, or one that cannot be shown
  //    by its conversion (a number for %s), prints nothing; an unknown conversion or a format
  //    ending inside a conversion is copied as text. A null format gives the empty string.
  template <class... Args>
  void Format(const wchar_t* fmt, const Args&... args) {
    m_str = quarlen::detail::FormatW(fmt, args...);
  }
  // Uses the string-table entry id as format; the string becomes empty when there is none.
  template <class... Args>
  void Format(UINT formatId, const Args&... args) {
    CString fmt;
    if (fmt.LoadString(formatId)) {
      Format(fmt.GetString(), args...);
    } else {
      Empty();
    }
  }
  template <class... Args>
  void AppendFormat(const wchar_t* fmt, const Args&... args) {
    m_str += quarlen::detail::FormatW(fmt, args...);
  }

  // Loads entry id of the library's string table. FALSE (string unchanged) for an unknown id.
  BOOL LoadString(UINT id);

 private:
  bool InRange(int i) const { return i >= 0 && static_cast<std::size_t>(i) < m_str.size(); }

  std::wstring m_str;
};

inline quarlen::detail::FormatArg::FormatArg(const CString& v)
    : kind(Kind::WideString), ws(v.GetString()) {}
