// Graphic-object archives: whatever bytes a file holds, loading an object either fills it or
// ends with CArchiveException, and an object loaded from a full record stores the same 32
// bytes again. The bytes after the record are read as the strings and numbers a derived
// object's archive would hold, which must load or throw as well.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/graphic_object.h"
#include "graphics/grid.h"
#include "platform/archive.h"
#include "platform/cstring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<BYTE> input(data, data + size);
  CArchive load(input, CArchive::load);
  CGObject object;
  bool whole = false;
  try {
    object.Serialize(load);
    whole = true;
  } catch (const CArchiveException& e) {
    if (e.m_cause != CArchiveException::endOfFile || size >= 32) std::abort();
  }
  if (whole) {
    if (size < 32 || load.GetRemaining() != size - 32) std::abort();
    std::vector<BYTE> stored;
    {
      CArchive store(stored, CArchive::store);
      object.Serialize(store);
    }
    if (stored.size() != 32 || std::memcmp(stored.data(), data, 32) != 0) std::abort();
    CRect visible;
    object.GetVisibleRect(&visible);

    // A grid stores nothing: loading one reads no byte.
    CGGrid grid;
    const std::size_t before = load.GetRemaining();
    grid.Serialize(load);
    if (load.GetRemaining() != before) std::abort();

    try {
      while (load.GetRemaining() > 0) {
        CString s;
        load >> s;
        double d = 0.0;
        load >> d;
        DWORD w = 0;
        load >> w;
      }
    } catch (const CArchiveException& e) {
      if (e.m_cause != CArchiveException::endOfFile) std::abort();
    }
  }
  return 0;
}
