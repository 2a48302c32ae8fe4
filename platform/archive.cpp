// CArchive: the little-endian binary stream over a memory buffer or a file, and its string layout.
#include "platform/archive.h"

#include <cstring>
#include <fstream>
#include <iterator>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

const char* CArchiveException::what() const noexcept {
  switch (m_cause) {
    case genericException:
      return "archive: generic error";
    case readOnly:
      return "archive: write to an archive opened for loading";
    case endOfFile:
      return "archive: unexpected end of file";
    case writeOnly:
      return "archive: read from an archive opened for storing";
    case badIndex:
      return "archive: bad index";
    case badClass:
      return "archive: bad class";
    case badSchema:
      return "archive: bad schema";
    default:
      return "archive: no error";
  }
}

CArchive::CArchive(std::vector<BYTE>& buffer, UINT mode)
    : m_buffer(&buffer), m_loading((mode & load) != 0) {}

CArchive::CArchive(const wchar_t* path, UINT mode)
    : CArchive(quarlen::WideToUtf8(path ? path : L"").c_str(), mode) {}

CArchive::CArchive(const char* path, UINT mode)
    : m_buffer(&m_own), m_loading((mode & load) != 0), m_path(path ? path : "") {
  const CString name(m_path.c_str());
  if (m_loading) {
    std::ifstream in(m_path, std::ios::binary);
    if (!in) throw CArchiveException(CArchiveException::genericException, name);
    m_own.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw CArchiveException(CArchiveException::genericException, name);
  } else {
    // Create (or empty) the file now, so that an unwritable path is reported at once.
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    if (!out) throw CArchiveException(CArchiveException::genericException, name);
    m_dirty = true;
  }
}

CArchive::~CArchive() {
  try {
    if (!m_closed) Flush();
  } catch (const CArchiveException&) {
    // A destructor cannot report it; Close() does.
  }
}

void CArchive::CheckOpen() const {
  if (m_closed) throw CArchiveException(CArchiveException::genericException);
}

std::size_t CArchive::GetRemaining() const {
  return m_loading && m_readPos < m_buffer->size() ? m_buffer->size() - m_readPos : 0;
}

UINT CArchive::Read(void* buf, UINT count) {
  CheckOpen();
  if (!m_loading) throw CArchiveException(CArchiveException::writeOnly);
  const auto n = static_cast<UINT>(std::min<std::size_t>(count, GetRemaining()));
  if (n > 0 && buf) std::memcpy(buf, m_buffer->data() + m_readPos, n);
  m_readPos += n;
  return n;
}

void CArchive::EnsureRead(void* buf, UINT count) {
  CheckOpen();
  if (!m_loading) throw CArchiveException(CArchiveException::writeOnly);
  if (GetRemaining() < count) {
    // What is left is consumed, as a short read would.
    m_readPos = m_buffer->size();
    throw CArchiveException(CArchiveException::endOfFile);
  }
  Read(buf, count);
}

void CArchive::Write(const void* buf, UINT count) {
  CheckOpen();
  if (m_loading) throw CArchiveException(CArchiveException::readOnly);
  if (!buf || count == 0) return;
  const auto* p = static_cast<const BYTE*>(buf);
  m_buffer->insert(m_buffer->end(), p, p + count);
  m_dirty = true;
}

void CArchive::Flush() {
  CheckOpen();
  if (m_loading || m_path.empty() || !m_dirty) return;
  std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(m_own.data()),
            static_cast<std::streamsize>(m_own.size()));
  out.close();
  if (!out) throw CArchiveException(CArchiveException::genericException, CString(m_path.c_str()));
  m_dirty = false;
}

void CArchive::Close() {
  if (m_closed) return;
  m_closed = true;
  if (!m_loading && !m_path.empty() && m_dirty) {
    m_closed = false;
    Flush();
    m_closed = true;
  }
}

CArchive& CArchive::PutInt(ULONGLONG v, int bytes) {
  BYTE b[8];
  for (int k = 0; k < bytes; ++k) b[k] = static_cast<BYTE>(v >> (8 * k));
  Write(b, static_cast<UINT>(bytes));
  return *this;
}

ULONGLONG CArchive::GetInt(int bytes) {
  BYTE b[8];
  EnsureRead(b, static_cast<UINT>(bytes));
  ULONGLONG v = 0;
  for (int k = 0; k < bytes; ++k) v |= ULONGLONG{b[k]} << (8 * k);
  return v;
}

CArchive& CArchive::operator<<(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return PutInt(bits, 4);
}

CArchive& CArchive::operator<<(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return PutInt(bits, 8);
}

CArchive& CArchive::operator>>(float& v) {
  const auto bits = static_cast<std::uint32_t>(GetInt(4));
  std::memcpy(&v, &bits, sizeof v);
  return *this;
}

CArchive& CArchive::operator>>(double& v) {
  const std::uint64_t bits = GetInt(8);
  std::memcpy(&v, &bits, sizeof v);
  return *this;
}

CArchive& CArchive::operator<<(const CString& s) {
  // UTF-16 units of the text.
  std::vector<BYTE> units;
  units.reserve(2 * static_cast<std::size_t>(s.GetLength()));
  auto put = [&units](unsigned u) {
    units.push_back(static_cast<BYTE>(u));
    units.push_back(static_cast<BYTE>(u >> 8));
  };
  for (wchar_t wc : s.str()) {
    auto cp = static_cast<std::uint32_t>(wc);
    if (cp > 0x10FFFF) cp = 0xFFFD;
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  const std::size_t length = units.size() / 2;
  *this << BYTE{0xFF} << WORD{0xFFFE};
  if (length < 0xFF) {
    *this << static_cast<BYTE>(length);
  } else if (length < 0xFFFE) {
    *this << BYTE{0xFF} << static_cast<WORD>(length);
  } else {
    *this << BYTE{0xFF} << WORD{0xFFFF} << static_cast<DWORD>(length);
  }
  Write(units.data(), static_cast<UINT>(units.size()));
  return *this;
}

CArchive& CArchive::operator>>(CString& s) {
  // Length prefix: BYTE, then WORD after 0xFF, then DWORD after 0xFFFF, then ULONGLONG after
  // 0xFFFFFFFF. A WORD 0xFFFE instead marks a Unicode string whose length follows.
  bool unicode = false;
  ULONGLONG length = 0;
  for (;;) {
    BYTE b = 0;
    *this >> b;
    length = b;
    if (b < 0xFF) break;
    WORD w = 0;
    *this >> w;
    if (w == 0xFFFE) {
      unicode = true;
      continue;
    }
    length = w;
    if (w < 0xFFFF) break;
    DWORD d = 0;
    *this >> d;
    length = d;
    if (d < 0xFFFFFFFFu) break;
    *this >> length;
    break;
  }
  const ULONGLONG bytes = unicode ? 2 * length : length;
  if (length > GetRemaining() || bytes > GetRemaining()) {
    m_readPos = m_buffer->size();
    throw CArchiveException(CArchiveException::endOfFile);
  }
  const BYTE* p = m_buffer->data() + m_readPos;
  m_readPos += static_cast<std::size_t>(bytes);
  if (!unicode) {
    s = CString(quarlen::Utf8ToWide(
        std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(bytes))));
    return *this;
  }
  std::wstring text;
  text.reserve(static_cast<std::size_t>(length));
  for (std::size_t k = 0; k < length; ++k) {
    const unsigned u = p[2 * k] | (p[2 * k + 1] << 8);
    if (u >= 0xD800 && u < 0xDC00 && k + 1 < length) {
      const unsigned lo = p[2 * k + 2] | (p[2 * k + 3] << 8);
      if (lo >= 0xDC00 && lo < 0xE000) {
        text += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        ++k;
        continue;
      }
    }
    text += static_cast<wchar_t>(u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
  }
  s = CString(std::move(text));
  return *this;
}
