#pragma once
// String list: an ordered list of (name, pointer) pairs that presents named objects to the user
// and maps a chosen name back to its object. Names are owned copies and need not be unique;
// values are not owned and are compared by address. Searches return the first match.
#include "platform/collections.h"
#include "platform/cstring.h"
#include "platform/export.h"
#include "platform/object.h"
#include "platform/types.h"

class CListBox;
class CComboBox;

class QUARLEN_API CStrList : public CObject {
  DECLARE_DYNCREATE(CStrList)

 public:
  CStrList();
  // Copies all pairs in order; the iteration cursor starts at 0.
  CStrList(const CStrList& other);
  // Replaces the pairs by copies of other's; the iteration cursor is kept.
  CStrList& operator=(const CStrList& other);
  ~CStrList() override;

  void Add(const wchar_t* name, void* value);
  // Remove the first pair with that name (exact, case-sensitive) / that value; nothing if none.
  void RemoveStr(const wchar_t* name);
  void Remove(void* value);
  void RemoveAll();

  // Value of the first pair with that name, null if none.
  void* FindStr(const wchar_t* name) const;
  // 1 and the name of the first pair with that value, or 0 with name untouched.
  int Find(void* value, CString& name) const;

  // Iteration by index: GetFirst restarts at the first pair. Each call copies the pair's name
  // and returns its value, or returns null with name untouched past the end. The cursor is an
  // index, so removing an earlier pair during an iteration skips one pair.
  void* GetFirst(CString& name);
  void* GetNext(CString& name);

  int GetSize() const;

  // Adds every pair to the control in order (the control is not emptied first): the name as
  // an item, the value as its item data, and selects the item whose value is `selected`.
  // Redrawing is suspended during the fill and the whole control is repainted afterwards.
  // The control's own sorting decides each item's index. A null or destroyed control is ignored.
  void FillBox(CListBox* box, void* selected) const;
  void FillBox(CComboBox* box, void* selected) const;

 protected:
  // Index of the first match, or -1.
  int FindIndexStr(const wchar_t* name) const;
  int FindIndex(void* value) const;

 private:
  // The fill, given the control's add, set-item-data and select message numbers.
  void Fill(HWND box, UINT addMsg, UINT setDataMsg, UINT selectMsg, void* selected) const;

  int m_cursor = 0;
  CStringArray m_names;
  CPtrArray m_values;
};
