#include <gtest/gtest.h>

#include <clocale>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "platform/cstring.h"

// Readable failure messages.
void PrintTo(const CString& s, std::ostream* os) {
  *os << '"' << quarlen::WideToUtf8(s.str()) << '"';
}

namespace {

struct FormatCase {
  const char* name;
  std::wstring (*run)();
  const wchar_t* expected;
};

template <class... A>
std::wstring F(const wchar_t* fmt, const A&... args) {
  CString s;
  s.Format(fmt, args...);
  return s.GetString();
}

TEST(CStringFormat, MicrosoftConversions) {
  const FormatCase cases[] = {
      {"%s wide", [] { return F(L"[%s]", L"wide"); }, L"[wide]"},
      {"%s CString", [] { return F(L"[%s]", CString(L"obj")); }, L"[obj]"},
      {"%S narrow", [] { return F(L"[%S]", "narrow"); }, L"[narrow]"},
      {"%hs narrow", [] { return F(L"[%hs]", "n"); }, L"[n]"},
      {"%ls wide", [] { return F(L"[%ls]", L"w"); }, L"[w]"},
      {"%ws wide", [] { return F(L"[%ws]", L"w"); }, L"[w]"},
      {"%S given wide text", [] { return F(L"[%S]", L"still fine"); }, L"[still fine]"},
      {"%s UTF-8 narrow", [] { return F(L"%s", "\xE6\xB8\xA9"); }, L"温"},
      {"%c wide", [] { return F(L"%c%c", L'a', wchar_t{0x6E29}); }, L"a温"},
      {"%C narrow", [] { return F(L"%C", 'z'); }, L"z"},
      {"%-5s|", [] { return F(L"%-5s|", L"ab"); }, L"ab   |"},
      {"%5s", [] { return F(L"%5s", L"ab"); }, L"   ab"},
      {"%.2s", [] { return F(L"%.2s", L"abcdef"); }, L"ab"},
      {"null string", [] { return F(L"%s", static_cast<const wchar_t*>(nullptr)); }, L"(null)"},
      {"%d", [] { return F(L"%d", -42); }, L"-42"},
      {"%5d", [] { return F(L"%5d|%-5d|%05d", 42, 42, 42); }, L"   42|42   |00042"},
      {"%+d", [] { return F(L"%+d % d", 5, 5); }, L"+5  5"},
      {"%u", [] { return F(L"%u", 4000000000u); }, L"4000000000"},
      {"%x of -1", [] { return F(L"%x %X", -1, 255); }, L"ffffffff FF"},
      {"%#x", [] { return F(L"%#x", 255); }, L"0xff"},
      {"%o", [] { return F(L"%o", 8); }, L"10"},
      {"%hd narrows", [] { return F(L"%hd", 70000); }, L"4464"},
      {"%I64d", [] { return F(L"%I64d", LONGLONG{-9000000000}); }, L"-9000000000"},
      {"%lld", [] { return F(L"%lld %llu", LONGLONG{1} << 40, ~ULONGLONG{0}); },
       L"1099511627776 18446744073709551615"},
      {"%Iu size_t", [] { return F(L"%Iu %zu", std::size_t{7}, std::size_t{8}); }, L"7 8"},
      {"%ld", [] { return F(L"%ld", 123L); }, L"123"},
      {"%f", [] { return F(L"%f", 1.5); }, L"1.500000"},
      {"%5.2f", [] { return F(L"[%5.2f]", 3.14159); }, L"[ 3.14]"},
      {"%-12.3f", [] { return F(L"[%-12.3f]", 2.5); }, L"[2.500       ]"},
      {"%.*f", [] { return F(L"%.*f", 3, 2.0 / 3.0); }, L"0.667"},
      {"%*.*f", [] { return F(L"[%*.*f]", 6, 1, 2.25); }, L"[   2.2]"},
      {"negative * width", [] { return F(L"[%*d]", -4, 7); }, L"[7   ]"},
      {"%g", [] { return F(L"%g %g %g", 0.0001, 1e20, 100.0); }, L"0.0001 1e+20 100"},
      {"%-g", [] { return F(L"%-g", 2.5); }, L"2.5"},
      {"%e", [] { return F(L"%e", 12345.678); }, L"1.234568e+04"},
      {"%E", [] { return F(L"%.2E", 0.000123); }, L"1.23E-04"},
      {"float arg", [] { return F(L"%.1f", 2.25f); }, L"2.2"},
      {"int to %f", [] { return F(L"%.1f", 3); }, L"3.0"},
      {"double to %d", [] { return F(L"%d", 3.9); }, L"3"},
      {"%%", [] { return F(L"100%% of %d", 5); }, L"100% of 5"},
      {"%lf", [] { return F(L"%lf", 0.5); }, L"0.500000"},
      {"inf", [] { return F(L"%f", std::numeric_limits<double>::infinity()); }, L"inf"},
      {"%p", [] { return F(L"%p", reinterpret_cast<void*>(0xABC)); }, L"0000000000000ABC"},
      {"%n writes nothing", [] { return F(L"a%nb", static_cast<int*>(nullptr)); }, L"ab"},
      {"enum",
       [] {
         enum E { kSeven = 7 };
         return F(L"%d", kSeven);
       },
       L"7"},
      {"unit format", [] { return F(L"%%-12.%df", 3); }, L"%-12.3f"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.run(), c.expected) << c.name;
}

TEST(CStringFormat, MalformedFormatsNeverReadPastTheArguments) {
  const FormatCase cases[] = {
      {"missing argument", [] { return F(L"a%db%sc"); }, L"abc"},
      {"too few", [] { return F(L"%d-%d", 1); }, L"1-"},
      {"trailing percent", [] { return F(L"50%", 1); }, L"50%"},
      {"unknown conversion", [] { return F(L"%y|%5k", 1); }, L"%y|%5k"},
      {"number for %s", [] { return F(L"[%s]", 42); }, L"[]"},
      {"string for %d", [] { return F(L"[%d]", L"x"); }, L"[]"},
      {"huge width clamped", [] { return std::to_wstring(F(L"%999999999d", 1).size()); }, L"4096"},
      {"huge precision clamped", [] { return std::to_wstring(F(L"%.*f", INT_MAX, 1.0).size()); },
       L"4098"},
      {"null format", [] { return F(nullptr, 1); }, L""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.run(), c.expected) << c.name;
}

TEST(CStringFormat, LargeStringsAndAppend) {
  const std::wstring big(100000, L'x');
  CString s;
  s.Format(L"<%s>", big.c_str());
  EXPECT_EQ(s.GetLength(), 100002);
  s.AppendFormat(L"%d", 12);
  EXPECT_EQ(s.Right(5), L"xx>12");
  s.Format(L"%s", s);  // the string itself as argument: formatted from its old text
  EXPECT_EQ(s.GetLength(), 100004);
}

TEST(CStringFormat, DecimalPointIgnoresLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  // Any installed locale with a decimal comma will do; the test still passes without one.
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE"}) {
    if (std::setlocale(LC_NUMERIC, name)) break;
  }
  EXPECT_EQ(F(L"%.1f", 1.5), L"1.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(CStringLoad, LibraryStringTable) {
  struct Case {
    UINT id;
    const wchar_t* text;
  } cases[] = {
      {1, L"%s 轴放大:\t起始 = %.*f %s\t终止 = %.*f %s"},
      {2, L"更改光标位置: 名称 = %s\t新位置 = %.*f %s"},
      {8, L"两条轴放大:\t顶部 = %.*f %s\t底部 = %.*f%s\t左 = %.*f %s\t右 = %.*f %s"},
      {10, L"%s: 测量光标已启用"},
      {32, L"无"},
      {41, L"时间/2"},
      {45, L"TOFD"},
      {46, L"电压"},
  };
  for (const auto& c : cases) {
    CString s;
    EXPECT_TRUE(s.LoadString(c.id)) << c.id;
    EXPECT_EQ(s, c.text) << c.id;
  }
  for (UINT missing : {0u, 4u, 6u, 7u, 11u, 31u, 47u, 0xFFFFFFFFu}) {
    CString s(L"kept");
    EXPECT_FALSE(s.LoadString(missing)) << missing;
    EXPECT_EQ(s, L"kept");
  }
}

TEST(CStringLoad, FormatsTheLogLine) {
  CString fmt;
  ASSERT_TRUE(fmt.LoadString(2));
  CString line;
  line.Format(fmt, L"参考", 2, 12.345, L"mm");
  EXPECT_EQ(line, L"更改光标位置: 名称 = 参考\t新位置 = 12.35 mm");
  line.Format(9u, L"X");
  EXPECT_EQ(line, L"X: 参考光标已启用");
}

TEST(CStringBasics, ConstructionAndAccess) {
  EXPECT_EQ(CString(static_cast<const wchar_t*>(nullptr)), L"");
  EXPECT_EQ(CString("\xC2\xB5s"), L"µs");
  EXPECT_EQ(CString(L'-', 3), L"---");
  EXPECT_EQ(CString(L"abcdef", 3), L"abc");
  CString s(L"hello");
  EXPECT_EQ(s.GetLength(), 5);
  EXPECT_FALSE(s.IsEmpty());
  EXPECT_EQ(s[1], L'e');
  EXPECT_EQ(s[std::size_t{4}], L'o');
  EXPECT_EQ(s.GetAt(5), L'\0');
  EXPECT_EQ(s.GetAt(-1), L'\0');
  s.SetAt(0, L'H');
  s.SetAt(99, L'!');
  EXPECT_EQ(s, L"Hello");
  const wchar_t* raw = s;
  EXPECT_STREQ(raw, L"Hello");
  s.Empty();
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringBasics, ConcatenationAndComparison) {
  CString a(L"ab");
  a += L"cd";
  a += L'e';
  a += CString(L"f");
  EXPECT_EQ(a, L"abcdef");
  EXPECT_EQ(L"<" + a + L">", L"<abcdef>");
  EXPECT_TRUE(a != L"abc");
  EXPECT_TRUE(L"abcdef" == a);
  EXPECT_TRUE(CString(L"abc") < CString(L"abd"));
  EXPECT_TRUE(CString(L"ab") < L"abc");
  EXPECT_EQ(CString(L"b").Compare(L"a"), 1);
  EXPECT_EQ(CString(L"a").Compare(nullptr), 1);
  EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abc"), 0);
  EXPECT_EQ(CString(L"abc").CompareNoCase(L"ABD"), -1);
}

TEST(CStringBasics, SubstringsAndSearch) {
  const CString s(L"one two three");
  EXPECT_EQ(s.Left(3), L"one");
  EXPECT_EQ(s.Left(100), s);
  EXPECT_EQ(s.Left(-1), L"");
  EXPECT_EQ(s.Right(5), L"three");
  EXPECT_EQ(s.Mid(4, 3), L"two");
  EXPECT_EQ(s.Mid(8), L"three");
  EXPECT_EQ(s.Mid(50), L"");
  EXPECT_EQ(s.Mid(-3, 3), L"one");
  EXPECT_EQ(s.Find(L't'), 4);
  EXPECT_EQ(s.Find(L't', 5), 8);
  EXPECT_EQ(s.Find(L"three"), 8);
  EXPECT_EQ(s.Find(L"four"), -1);
  EXPECT_EQ(s.Find(L"o", 100), -1);
  EXPECT_EQ(s.ReverseFind(L'o'), 6);
  EXPECT_EQ(s.FindOneOf(L"xyzw"), 5);
}

TEST(CStringBasics, Editing) {
  CString s(L"a-b-c");
  EXPECT_EQ(s.Replace(L'-', L'+'), 2);
  EXPECT_EQ(s, L"a+b+c");
  EXPECT_EQ(s.Replace(L"+", L"::"), 2);
  EXPECT_EQ(s, L"a::b::c");
  EXPECT_EQ(s.Replace(L"", L"x"), 0);
  EXPECT_EQ(s.Remove(L':'), 4);
  EXPECT_EQ(s, L"abc");
  s.Insert(1, L"XY");
  EXPECT_EQ(s, L"aXYbc");
  s.Delete(1, 2);
  EXPECT_EQ(s, L"abc");

  CString t(L"  \tpadded \n");
  EXPECT_EQ(CString(t).TrimLeft(), L"padded \n");
  EXPECT_EQ(CString(t).TrimRight(), L"  \tpadded");
  EXPECT_EQ(t.Trim(), L"padded");
  EXPECT_EQ(CString(L"xxaxx").Trim(L'x'), L"a");
  EXPECT_EQ(CString(L"12-a-21").Trim(L"12-"), L"a");
  EXPECT_EQ(CString(L"MiXeD").MakeUpper(), L"MIXED");
  EXPECT_EQ(CString(L"MiXeD").MakeLower(), L"mixed");
}

TEST(CStringBasics, Buffer) {
  CString s(L"abc");
  wchar_t* p = s.GetBuffer(10);
  std::wcscpy(p, L"longer");
  s.ReleaseBuffer();
  EXPECT_EQ(s, L"longer");
  p = s.GetBuffer();
  p[2] = L'\0';
  s.ReleaseBuffer();
  EXPECT_EQ(s, L"lo");
  s.GetBufferSetLength(4);
  s.ReleaseBuffer(1);
  EXPECT_EQ(s, L"l");
}

TEST(Utf8, RoundTripAndInvalidInput) {
  const std::wstring text = L"Ab µs 温度 \U0001F600";
  EXPECT_EQ(quarlen::Utf8ToWide(quarlen::WideToUtf8(text)), text);
  EXPECT_EQ(quarlen::Utf8ToWide("a\xFF"
                                "b"),
            L"a\uFFFDb");
  EXPECT_EQ(quarlen::Utf8ToWide("\xE6\xB8"), L"\uFFFD");      // truncated sequence
  EXPECT_EQ(quarlen::Utf8ToWide("\xC0\xAF"), L"\uFFFD");      // overlong
  EXPECT_EQ(quarlen::Utf8ToWide("\xED\xA0\x80"), L"\uFFFD");  // surrogate
  EXPECT_EQ(quarlen::WideToUtf8(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace

namespace {

// Formats built from random pieces of conversion syntax, with arguments of every kind, must
// give some text and never read past the arguments (checked by the sanitizer builds).
TEST(CStringFormat, RandomFormatsAreSafe) {
  const wchar_t* pieces[] = {L"%", L"%%", L"-", L"+",  L" ",  L"#",  L"0",     L"12", L"*",
                             L".", L".*", L"h", L"hh", L"l",  L"ll", L"I64",   L"I",  L"w",
                             L"z", L"s",  L"S", L"c",  L"C",  L"d",  L"x",     L"f",  L"g",
                             L"p", L"n",  L"e", L"y",  L"\t", L"温", L"99999", L"I32"};
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  const std::string narrow = "narrow";
  for (int round = 0; round < 3000; ++round) {
    std::wstring fmt;
    const unsigned n = next() % 12;
    for (unsigned k = 0; k < n; ++k) fmt += pieces[next() % std::size(pieces)];
    CString s;
    switch (round % 4) {
      case 0:
        s.Format(fmt.c_str());
        break;
      case 1:
        s.Format(fmt.c_str(), 1, L"w", 2.5);
        break;
      case 2:
        s.Format(fmt.c_str(), narrow, -7LL, static_cast<void*>(nullptr), 'c', 3.0f);
        break;
      default:
        s.Format(fmt.c_str(), static_cast<const char*>(nullptr), ~0ull, CString(L"x"), 1e308, -1);
        break;
    }
    EXPECT_LE(s.GetLength(), 12 * 4200) << quarlen::WideToUtf8(fmt);
  }
}

}  // namespace
