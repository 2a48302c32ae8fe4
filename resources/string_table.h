#pragma once
// The library's own string table (zoom log texts, cursor texts, names of the physical
// quantities), looked up by CString::LoadString.
#include "platform/types.h"

namespace quarlen::detail {
// The text of entry id, or null when the table has no such entry. The text lives as long as
// the library.
QUARLEN_API const wchar_t* FindLibraryString(UINT id);
}  // namespace quarlen::detail
