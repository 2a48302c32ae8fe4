#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "platform/archive.h"

namespace {

std::vector<BYTE> Bytes(std::initializer_list<int> v) {
  return std::vector<BYTE>(v.begin(), v.end());
}

TEST(CArchiveTest, LittleEndianLayoutOfEachType) {
  struct Case {
    const char* name;
    void (*store)(CArchive&);
    std::vector<BYTE> bytes;
  } cases[] = {
      {"BYTE", [](CArchive& ar) { ar << BYTE{0xAB}; }, Bytes({0xAB})},
      {"WORD", [](CArchive& ar) { ar << WORD{0x1234}; }, Bytes({0x34, 0x12})},
      {"short", [](CArchive& ar) { ar << SHORT{-2}; }, Bytes({0xFE, 0xFF})},
      {"DWORD", [](CArchive& ar) { ar << DWORD{0x01020304}; }, Bytes({4, 3, 2, 1})},
      {"LONG", [](CArchive& ar) { ar << LONG{-1}; }, Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
      {"int", [](CArchive& ar) { ar << 258; }, Bytes({2, 1, 0, 0})},
      {"unsigned", [](CArchive& ar) { ar << 258u; }, Bytes({2, 1, 0, 0})},
      {"LONGLONG", [](CArchive& ar) { ar << LONGLONG{-2}; },
       Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
      {"ULONGLONG", [](CArchive& ar) { ar << ULONGLONG{0x0102030405060708}; },
       Bytes({8, 7, 6, 5, 4, 3, 2, 1})},
      {"float", [](CArchive& ar) { ar << 1.0f; }, Bytes({0, 0, 0x80, 0x3F})},
      {"double", [](CArchive& ar) { ar << 1.0; }, Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
      {"wchar_t", [](CArchive& ar) { ar << L'A'; }, Bytes({0x41, 0})},
      {"RECT",
       [](CArchive& ar) {
         ar << RECT{1, -1, 2, 3};
       },
       Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 3, 0, 0, 0})},
      {"short CString", [](CArchive& ar) { ar << CString(L"Ab"); },
       Bytes({0xFF, 0xFE, 0xFF, 2, 'A', 0, 'b', 0})},
      {"CString outside BMP", [](CArchive& ar) { ar << CString(L"\U0001F600"); },
       Bytes({0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x00, 0xDE})},
  };
  for (const auto& c : cases) {
    std::vector<BYTE> buf;
    CArchive ar(buf, CArchive::store);
    c.store(ar);
    EXPECT_EQ(buf, c.bytes) << c.name;
  }
}

TEST(CArchiveTest, StringLengthPrefixes) {
  struct Case {
    int length;
    std::vector<BYTE> prefix;
  } cases[] = {
      {0, Bytes({0xFF, 0xFE, 0xFF, 0})},
      {254, Bytes({0xFF, 0xFE, 0xFF, 254})},
      {255, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00})},
      {0xFFFD, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF})},
      {0xFFFE, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
  };
  for (const auto& c : cases) {
    const CString text(L'x', c.length);
    std::vector<BYTE> buf;
    {
      CArchive ar(buf, CArchive::store);
      ar << text;
    }
    ASSERT_EQ(buf.size(), c.prefix.size() + 2 * static_cast<std::size_t>(c.length)) << c.length;
    EXPECT_EQ(std::vector<BYTE>(buf.begin(), buf.begin() + c.prefix.size()), c.prefix);
    CArchive in(buf, CArchive::load);
    CString back;
    in >> back;
    EXPECT_EQ(back.GetLength(), c.length);
    EXPECT_EQ(back, text);
    EXPECT_EQ(in.GetRemaining(), 0u);
  }
}

TEST(CArchiveTest, LoadsNarrowStrings) {
  std::vector<BYTE> buf = Bytes({3, 'a', 'b', 'c', 0xFF, 2, 0, 'x', 'y'});
  CArchive ar(buf, CArchive::load);
  CString a, b;
  ar >> a >> b;
  EXPECT_EQ(a, L"abc");
  EXPECT_EQ(b, L"xy");
}

TEST(CArchiveTest, RoundTripOfEveryType) {
  std::vector<BYTE> buf;
  {
    CArchive ar(buf, CArchive::store);
    EXPECT_TRUE(ar.IsStoring());
    ar << BYTE{200} << WORD{65000} << SHORT{-300} << DWORD{4000000000u} << LONG{-5} << 7 << 8u
       << LONGLONG{-(LONGLONG{1} << 50)} << ULONGLONG{~0ull} << 2.5f << -1e300 << 'c' << L'\u00B5'
       << CString(L"温度 µs") << CPoint(-1, 2) << CSize(3, 4) << CRect(5, 6, 7, 8);
    const BYTE raw[3] = {9, 8, 7};
    ar.Write(raw, 3);
  }
  CArchive ar(buf, CArchive::load);
  EXPECT_TRUE(ar.IsLoading());
  BYTE b;
  WORD w;
  SHORT s;
  DWORD dw;
  LONG l;
  int i;
  unsigned u;
  LONGLONG ll;
  ULONGLONG ull;
  float f;
  double d;
  char c;
  wchar_t wc;
  CString str;
  POINT pt;
  SIZE sz;
  RECT rc;
  ar >> b >> w >> s >> dw >> l >> i >> u >> ll >> ull >> f >> d >> c >> wc >> str >> pt >> sz >> rc;
  EXPECT_EQ(b, 200);
  EXPECT_EQ(w, 65000);
  EXPECT_EQ(s, -300);
  EXPECT_EQ(dw, 4000000000u);
  EXPECT_EQ(l, -5);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(u, 8u);
  EXPECT_EQ(ll, -(LONGLONG{1} << 50));
  EXPECT_EQ(ull, ~0ull);
  EXPECT_EQ(f, 2.5f);
  EXPECT_EQ(d, -1e300);
  EXPECT_EQ(c, 'c');
  EXPECT_EQ(wc, L'\u00B5');
  EXPECT_EQ(str, L"温度 µs");
  EXPECT_EQ(pt, (POINT{-1, 2}));
  EXPECT_EQ(sz, (SIZE{3, 4}));
  EXPECT_EQ(rc, (RECT{5, 6, 7, 8}));
  BYTE raw[5] = {};
  EXPECT_EQ(ar.Read(raw, 5), 3u);  // a short read returns what is there
  EXPECT_EQ(raw[2], 7);
  EXPECT_EQ(ar.Read(raw, 1), 0u);
}

TEST(CArchiveTest, TruncatedReadsThrowEndOfFile) {
  struct Case {
    const char* name;
    std::vector<BYTE> data;
    void (*read)(CArchive&);
  } cases[] = {
      {"DWORD from 3 bytes", Bytes({1, 2, 3}),
       [](CArchive& ar) {
         DWORD v;
         ar >> v;
       }},
      {"double from 7 bytes", Bytes({1, 2, 3, 4, 5, 6, 7}),
       [](CArchive& ar) {
         double v;
         ar >> v;
       }},
      {"BYTE from nothing", Bytes({}),
       [](CArchive& ar) {
         BYTE v;
         ar >> v;
       }},
      {"block", Bytes({1, 2, 3, 4, 5, 6, 7, 8}),
       [](CArchive& ar) {
         RECT r;
         ar >> r;
       }},
      {"string body", Bytes({0xFF, 0xFE, 0xFF, 3, 'a', 0}),
       [](CArchive& ar) {
         CString s;
         ar >> s;
       }},
      {"huge string length",
       Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
              0xFF, 0xFF, 0xFF, 0x7F}),
       [](CArchive& ar) {
         CString s;
         ar >> s;
       }},
      {"EnsureRead", Bytes({1}),
       [](CArchive& ar) {
         BYTE v[2];
         ar.EnsureRead(v, 2);
       }},
  };
  for (auto& c : cases) {
    CArchive ar(c.data, CArchive::load);
    try {
      c.read(ar);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << c.name;
      EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CException)));
    }
  }
}

TEST(CArchiveTest, FieldsReadBeforeTheEndKeepTheirValues) {
  std::vector<BYTE> buf = Bytes({5, 0, 0, 0, 6, 0});
  CArchive ar(buf, CArchive::load);
  LONG a = 0, b = 0;
  EXPECT_THROW(ar >> a >> b, CArchiveException);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 0);
}

TEST(CArchiveTest, WrongDirectionThrows) {
  std::vector<BYTE> buf = Bytes({1, 2, 3, 4});
  CArchive in(buf, CArchive::load);
  try {
    in << DWORD{1};
    ADD_FAILURE();
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::readOnly);
  }
  CArchive out(buf, CArchive::store);
  try {
    DWORD v;
    out >> v;
    ADD_FAILURE();
  } catch (const std::exception& e) {  // also a std::exception
    EXPECT_STREQ(e.what(), "archive: read from an archive opened for storing");
  }
}

TEST(CArchiveTest, FileRoundTrip) {
  const std::string path = ::testing::TempDir() + "quarlen_archive_test.bin";
  {
    CArchive ar(path.c_str(), CArchive::store);
    ar << DWORD{42} << CString(L"file");
    ar.Close();
  }
  {
    CArchive ar(quarlen::Utf8ToWide(path).c_str(), CArchive::load);
    DWORD v = 0;
    CString s;
    ar >> v >> s;
    EXPECT_EQ(v, 42u);
    EXPECT_EQ(s, L"file");
    EXPECT_EQ(ar.GetRemaining(), 0u);
  }
  std::remove(path.c_str());
  try {
    CArchive ar("/nonexistent-dir/x.bin", CArchive::load);
    ADD_FAILURE();
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::genericException);
    EXPECT_EQ(e.m_strFileName, L"/nonexistent-dir/x.bin");
  }
}

}  // namespace

namespace {

// Every truncation of a valid archive either loads or ends with endOfFile.
TEST(CArchiveTest, EveryTruncationEndsCleanly) {
  std::vector<BYTE> full;
  {
    CArchive ar(full, CArchive::store);
    ar << DWORD{1} << CString(L"名称") << 2.5 << CString(std::wstring(300, L'y')) << WORD{7};
  }
  for (std::size_t size = 0; size <= full.size(); ++size) {
    std::vector<BYTE> part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
    CArchive ar(part, CArchive::load);
    DWORD a = 0;
    CString b, d;
    double c = 0;
    WORD e = 0;
    try {
      ar >> a >> b >> c >> d >> e;
      EXPECT_EQ(size, full.size());
      EXPECT_EQ(d.GetLength(), 300);
    } catch (const CArchiveException& ex) {
      EXPECT_LT(size, full.size());
      EXPECT_EQ(ex.m_cause, CArchiveException::endOfFile);
    }
  }
}

}  // namespace
