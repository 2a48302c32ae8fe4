// Run-time class entries of the MFC containers (their members are inline in the header).
#include "platform/collections.h"

IMPLEMENT_DYNAMIC(CObList, CObject)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_DYNAMIC(CObArray, CObject)
IMPLEMENT_DYNAMIC(CStringArray, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)

namespace {
// A position names the key it reads next: key + 1, so that no position is null.
POSITION KeyToPos(WORD key) { return reinterpret_cast<POSITION>(std::uintptr_t{key} + 1); }
WORD PosToKey(POSITION pos) { return static_cast<WORD>(reinterpret_cast<std::uintptr_t>(pos) - 1); }
}  // namespace

BOOL CMapWordToPtr::Lookup(WORD key, void*& value) const {
  const auto it = m_map.find(key);
  if (it == m_map.end()) return FALSE;
  value = it->second;
  return TRUE;
}

POSITION CMapWordToPtr::GetStartPosition() const {
  return m_map.empty() ? nullptr : KeyToPos(m_map.begin()->first);
}

void CMapWordToPtr::GetNextAssoc(POSITION& pos, WORD& key, void*& value) const {
  auto it = pos ? m_map.lower_bound(PosToKey(pos)) : m_map.end();
  if (it == m_map.end()) {
    pos = nullptr;
    key = 0;
    value = nullptr;
    return;
  }
  key = it->first;
  value = it->second;
  ++it;
  pos = it == m_map.end() ? nullptr : KeyToPos(it->first);
}
