// The library's dialog templates.
#include "platform/dialog_template.h"
#include "platform/winuser.h"

namespace quarlen::detail {

namespace {
// 1001: start and end of the zoom bar's visible range, typed by the user. No buttons: Enter
// closes it with OK, Escape with Cancel.
const DialogTemplate kZoomLimit = {
    DWORD{WS_POPUP} | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    0,
    91,
    30,
    L"",
    8,
    L"MS Sans Serif",
    {
        {DWORD{WS_CHILD} | WS_VISIBLE | SS_RIGHT, 0, 0, 4, 31, 8, -1, L"STATIC", L"起始:"},
        {DWORD{WS_CHILD} | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 38, 1, 40, 14,
         1670, L"EDIT", L""},
        {DWORD{WS_CHILD} | WS_VISIBLE | SS_RIGHT, 0, 0, 18, 31, 8, -1, L"STATIC", L"终止:"},
        {DWORD{WS_CHILD} | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 38, 17, 40, 14,
         1007, L"EDIT", L""},
    },
};
}  // namespace

const DialogTemplate* BuiltinDialogTemplate(UINT id) { return id == 1001 ? &kZoomLimit : nullptr; }

}  // namespace quarlen::detail
