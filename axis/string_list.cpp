#include "axis/string_list.h"

#include "platform/dialog.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "platform/winuser.h"

IMPLEMENT_DYNCREATE(CStrList, CObject)

CStrList::CStrList() = default;

CStrList::CStrList(const CStrList& other) : CObject() { *this = other; }

CStrList& CStrList::operator=(const CStrList& other) {
  if (this == &other) return *this;
  RemoveAll();
  for (int i = 0; i < other.GetSize(); ++i) Add(other.m_names[i], other.m_values[i]);
  return *this;
}

CStrList::~CStrList() = default;

void CStrList::Add(const wchar_t* name, void* value) {
  m_names.Add(CString(name));
  m_values.Add(value);
}

void CStrList::RemoveStr(const wchar_t* name) {
  const int i = FindIndexStr(name);
  if (i < 0) return;
  m_names.RemoveAt(i);
  m_values.RemoveAt(i);
}

void CStrList::Remove(void* value) {
  const int i = FindIndex(value);
  if (i < 0) return;
  m_names.RemoveAt(i);
  m_values.RemoveAt(i);
}

void CStrList::RemoveAll() {
  m_names.RemoveAll();
  m_values.RemoveAll();
}

void* CStrList::FindStr(const wchar_t* name) const {
  const int i = FindIndexStr(name);
  return i < 0 ? nullptr : m_values[i];
}

int CStrList::Find(void* value, CString& name) const {
  const int i = FindIndex(value);
  if (i < 0) return 0;
  name = m_names[i];
  return 1;
}

void* CStrList::GetFirst(CString& name) {
  m_cursor = 0;
  return GetNext(name);
}

void* CStrList::GetNext(CString& name) {
  if (m_cursor < 0 || m_cursor >= GetSize()) return nullptr;
  name = m_names[m_cursor];
  return m_values[m_cursor++];
}

int CStrList::GetSize() const { return static_cast<int>(m_names.GetSize()); }

int CStrList::FindIndexStr(const wchar_t* name) const {
  for (int i = 0; i < GetSize(); ++i) {
    if (m_names[i].Compare(name) == 0) return i;
  }
  return -1;
}

int CStrList::FindIndex(void* value) const {
  for (int i = 0; i < GetSize(); ++i) {
    if (m_values[i] == value) return i;
  }
  return -1;
}

void CStrList::FillBox(CListBox* box, void* selected) const {
  if (box != nullptr) Fill(box->GetSafeHwnd(), LB_ADDSTRING, LB_SETITEMDATA, LB_SETCURSEL, selected);
}

void CStrList::FillBox(CComboBox* box, void* selected) const {
  if (box != nullptr) Fill(box->GetSafeHwnd(), CB_ADDSTRING, CB_SETITEMDATA, CB_SETCURSEL, selected);
}

void CStrList::Fill(HWND box, UINT addMsg, UINT setDataMsg, UINT selectMsg,
                    void* selected) const {
  if (!IsWindow(box)) return;
  SendMessageW(box, WM_SETREDRAW, 0, 0);
  for (int i = 0; i < GetSize(); ++i) {
    const LRESULT index = SendMessageW(box, addMsg, 0,
                                       reinterpret_cast<LPARAM>(m_names[i].GetString()));
    if (index < 0) continue;  // the control refused the item (LB_ERR / LB_ERRSPACE)
    SendMessageW(box, setDataMsg, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(m_values[i]));
    if (m_values[i] == selected) SendMessageW(box, selectMsg, static_cast<WPARAM>(index), 0);
  }
  SendMessageW(box, WM_SETREDRAW, 1, 0);
  InvalidateRect(box, nullptr, TRUE);
}
