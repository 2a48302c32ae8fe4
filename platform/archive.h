#pragma once
// CArchive: a little-endian binary stream over an in-memory byte buffer or a file, with the
// fixed widths of the Windows types (BYTE 1, WORD/short 2, LONG/DWORD/int/float 4,
// double/LONGLONG 8 bytes; wchar_t as one UTF-16 unit) and MFC's layout of strings.
//
// Errors are thrown BY VALUE as CArchiveException; catch `const CArchiveException&`:
//  - endOfFile: an operator >> or EnsureRead needs more bytes than are left;
//  - writeOnly / readOnly: reading from a storing archive / writing to a loading one;
//  - genericException: a file that cannot be opened, read or written, or use after Close.
// Read() itself returns the number of bytes read and does not throw at the end.
//
// `long` is 64-bit on this platform and is the same type as LONGLONG (8 bytes in the archive);
// use LONG (or int) for the 32-bit Windows `long`. bool has no operator: convert it to a sized
// type.
#include <exception>
#include <string>
#include <vector>

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/object.h"

// Base of the library's exceptions. Thrown and caught by value / const reference; Delete()
// does nothing and exists for code written for heap-allocated exceptions.
class QUARLEN_API CException : public CObject, public std::exception {
  DECLARE_DYNAMIC(CException)

 public:
  CException() = default;
  void Delete() const {}
  const char* what() const noexcept override { return "CException"; }
};

class QUARLEN_API CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)

 public:
  enum {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  explicit CArchiveException(int cause = none, const wchar_t* fileName = nullptr)
      : m_cause(cause), m_strFileName(fileName) {}
  // A short English description of the cause.
  const char* what() const noexcept override;

  int m_cause;
  CString m_strFileName;
};

class QUARLEN_API CArchive {
 public:
  enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2 };

  // Over a byte buffer that must outlive the archive: loading reads it from the start,
  // storing appends to it.
  CArchive(std::vector<BYTE>& buffer, UINT mode);
  // Over a file: loading reads the whole file at once, storing replaces the file with what was
  // written when the archive is flushed, closed or destroyed. Throws genericException when the
  // file cannot be opened.
  CArchive(const wchar_t* path, UINT mode);
  CArchive(const char* path, UINT mode);
  // Flushes a storing file archive (errors are swallowed here; call Close to see them).
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const { return m_loading; }
  BOOL IsStoring() const { return !m_loading; }

  // Up to count bytes into buf; returns how many were read (fewer only at the end).
  UINT Read(void* buf, UINT count);
  // Exactly count bytes or endOfFile.
  void EnsureRead(void* buf, UINT count);
  void Write(const void* buf, UINT count);
  // Writes a storing file archive to disk (nothing for buffers).
  void Flush();
  // Flushes; afterwards the archive cannot be used.
  void Close();
  // Bytes not yet read by a loading archive.
  std::size_t GetRemaining() const;

  CArchive& operator<<(BYTE v) { return PutInt(v, 1); }
  CArchive& operator<<(char v) { return PutInt(static_cast<BYTE>(v), 1); }
  CArchive& operator<<(WORD v) { return PutInt(v, 2); }
  CArchive& operator<<(SHORT v) { return PutInt(static_cast<WORD>(v), 2); }
  CArchive& operator<<(wchar_t v) { return PutInt(static_cast<WORD>(v), 2); }
  CArchive& operator<<(DWORD v) { return PutInt(v, 4); }
  CArchive& operator<<(LONG v) { return PutInt(static_cast<DWORD>(v), 4); }
  CArchive& operator<<(ULONGLONG v) { return PutInt(v, 8); }
  CArchive& operator<<(LONGLONG v) { return PutInt(static_cast<ULONGLONG>(v), 8); }
  CArchive& operator<<(float v);
  CArchive& operator<<(double v);
  // bool has no fixed archive width; convert to a sized type explicitly.
  CArchive& operator<<(bool) = delete;

  CArchive& operator>>(BYTE& v) { return v = static_cast<BYTE>(GetInt(1)), *this; }
  CArchive& operator>>(char& v) { return v = static_cast<char>(GetInt(1)), *this; }
  CArchive& operator>>(WORD& v) { return v = static_cast<WORD>(GetInt(2)), *this; }
  CArchive& operator>>(SHORT& v) { return v = static_cast<SHORT>(GetInt(2)), *this; }
  CArchive& operator>>(wchar_t& v) { return v = static_cast<wchar_t>(GetInt(2)), *this; }
  CArchive& operator>>(DWORD& v) { return v = static_cast<DWORD>(GetInt(4)), *this; }
  CArchive& operator>>(LONG& v) { return v = static_cast<LONG>(GetInt(4)), *this; }
  CArchive& operator>>(ULONGLONG& v) { return v = GetInt(8), *this; }
  CArchive& operator>>(LONGLONG& v) { return v = static_cast<LONGLONG>(GetInt(8)), *this; }
  CArchive& operator>>(float& v);
  CArchive& operator>>(double& v);
  CArchive& operator>>(bool&) = delete;

  // Strings: Unicode marker (BYTE 0xFF, WORD 0xFFFE), then the length in UTF-16 units (BYTE
  // below 0xFF; else 0xFF and a WORD below 0xFFFE; else 0xFF, 0xFFFF and a DWORD), then the
  // UTF-16LE units. Loading also accepts strings without the marker (bytes read as UTF-8).
  CArchive& operator<<(const CString& s);
  CArchive& operator>>(CString& s);
  CArchive& operator<<(const wchar_t* s) { return *this << CString(s); }

  CArchive& operator<<(POINT p) { return *this << p.x << p.y; }
  CArchive& operator<<(SIZE s) { return *this << s.cx << s.cy; }
  CArchive& operator<<(const RECT& r) { return *this << r.left << r.top << r.right << r.bottom; }
  CArchive& operator>>(POINT& p) { return *this >> p.x >> p.y; }
  CArchive& operator>>(SIZE& s) { return *this >> s.cx >> s.cy; }
  CArchive& operator>>(RECT& r) { return *this >> r.left >> r.top >> r.right >> r.bottom; }

 private:
  CArchive& PutInt(ULONGLONG v, int bytes);
  ULONGLONG GetInt(int bytes);
  void CheckOpen() const;

  std::vector<BYTE> m_own;      // file contents
  std::vector<BYTE>* m_buffer;  // the buffer read or written
  std::size_t m_readPos = 0;
  bool m_loading;
  bool m_closed = false;
  bool m_dirty = false;
  std::string m_path;  // file archives only (UTF-8)
};
