#pragma once
// Dialog templates held as data: the dialog's style, size in dialog units, font and controls.
// No Qt here; the dialog layer turns a template into windows.
#include <vector>

#include "platform/types.h"

struct DialogItemTemplate {
  DWORD style;  // WS_* plus the control's own styles (SS_RIGHT, ES_AUTOHSCROLL, ...)
  DWORD exStyle;
  short x, y, cx, cy;        // dialog units
  int id;                    // -1 for static text nobody addresses
  const wchar_t* className;  // L"STATIC", L"EDIT", L"BUTTON", L"LISTBOX", L"COMBOBOX"
  const wchar_t* text;
};

struct DialogTemplate {
  DWORD style;  // WS_POPUP | DS_MODALFRAME | DS_SETFONT ...
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
  const wchar_t* caption;
  WORD pointSize;  // font size in points (DS_SETFONT)
  const wchar_t* faceName;
  std::vector<DialogItemTemplate> items;
};

// The template registered under `id`, or null. The library's own templates (1001) are always
// there; applications add theirs with RegisterDialogTemplate (the template must outlive use).
QUARLEN_API const DialogTemplate* FindDialogTemplate(UINT id);
QUARLEN_API void RegisterDialogTemplate(UINT id, const DialogTemplate* tmpl);

namespace quarlen::detail {
// The library's built-in templates (resources/).
const DialogTemplate* BuiltinDialogTemplate(UINT id);
}  // namespace quarlen::detail
