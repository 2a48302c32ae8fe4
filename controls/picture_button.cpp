#include "controls/picture_button.h"

#include <algorithm>

#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/image_registry.h"
#include "platform/numeric.h"
#include "platform/theme.h"
#include "platform/window.h"

namespace {

using quarlen::ClampDrawingCoord;
using quarlen::PixelWide;
using quarlen::SaturatingAdd;
using quarlen::SaturatingCast;

// Resource ids are 16-bit; picture sides above this are refused rather than allocated.
constexpr UINT kMaxResourceId = 0xFFFF;
constexpr int kMaxImageSide = 4096;

bool UsableRequest(UINT id, int cx, int cy) {
  return id <= kMaxResourceId && cx > 0 && cy > 0 && cx <= kMaxImageSide && cy <= kMaxImageSide;
}

// The themed look is used when the system is recent enough, the theme library answers that the
// application is themed and a theme is active, and the common controls are version 6 or later.
// Asked at every draw, so that switching the look takes effect at the next repaint.
// The exports are looked up as the generic FARPROC and called with their real type.
template <class Proc>
Proc ExportAs(HMODULE module, LPCSTR name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool ThemesAvailable() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExW(&version)) return false;
  if (version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion < 1))
    return false;
  bool themed = false;
  if (HMODULE ux = LoadLibraryW(L"uxtheme.dll")) {
    using BoolProc = BOOL (*)();
    auto appThemed = ExportAs<BoolProc>(ux, "IsAppThemed");
    auto themeActive = ExportAs<BoolProc>(ux, "IsThemeActive");
    themed = appThemed != nullptr && themeActive != nullptr && appThemed() && themeActive();
    FreeLibrary(ux);
  }
  if (!themed) return false;
  bool controlsV6 = false;
  if (HMODULE cc = LoadLibraryW(L"comctl32.dll")) {
    auto getVersion = ExportAs<DLLGETVERSIONPROC>(cc, "DllGetVersion");
    if (getVersion != nullptr) {
      DLLVERSIONINFO info{};
      info.cbSize = sizeof(info);
      controlsV6 = getVersion(&info) == S_OK && info.dwMajorVersion > 5;
    }
    FreeLibrary(cc);
  }
  return controlsV6;
}

}  // namespace

IMPLEMENT_DYNAMIC(CPButton, CButton)

CPButton::~CPButton() {
  FreeIcon();
  FreeBitmaps();
  DestroyWindow();
}

void CPButton::FreeIcon() {
  if (m_icon != nullptr) DestroyIcon(m_icon);
  m_icon = nullptr;
}

void CPButton::FreeBitmaps() {
  if (m_bitmap != nullptr) DeleteObject(m_bitmap);
  if (m_disabledBitmap != nullptr) DeleteObject(m_disabledBitmap);
  m_bitmap = nullptr;
  m_disabledBitmap = nullptr;
}

void CPButton::Redraw() {
  if (m_hWnd != nullptr) Invalidate(TRUE);
}

int CPButton::SetIcon(UINT id, int cx, int cy) {
  FreeIcon();
  if (!UsableRequest(id, cx, cy)) return 0;
  auto icon = static_cast<HICON>(
      LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
  if (icon == nullptr) return 0;
  m_icon = icon;
  // The icon takes the bitmaps' place; they are released rather than left behind.
  FreeBitmaps();
  m_imageWidth = cx;
  m_imageHeight = cy;
  Redraw();
  return 1;
}

int CPButton::SetBitmap(UINT id, int cx, int cy) { return LoadBitmaps(id, cx, cy, 0, false); }

int CPButton::SetMaskedBitmap(UINT id, int cx, int cy, COLORREF mask) {
  return LoadBitmaps(id, cx, cy, mask, true);
}

int CPButton::LoadBitmaps(UINT id, int cx, int cy, COLORREF mask, bool masked) {
  FreeBitmaps();
  if (!UsableRequest(id, cx, cy)) return 0;
  // One map entry when masked; an empty (but present) map keeps every colour as it is.
  auto load = [&](COLORREF to) -> HBITMAP {
    COLORMAP map{mask, to};
    HBITMAP mapped = CreateMappedBitmap(nullptr, static_cast<INT_PTR>(id), 0, &map, masked ? 1 : 0);
    if (mapped == nullptr) return nullptr;
    auto sized = static_cast<HBITMAP>(CopyImage(mapped, IMAGE_BITMAP, cx, cy, 0));
    DeleteObject(mapped);
    return sized;
  };
  m_bitmap = load(GetSysColor(COLOR_BTNFACE));
  m_disabledBitmap = load(RGB(255, 255, 255));
  if (m_bitmap == nullptr || m_disabledBitmap == nullptr) {
    FreeBitmaps();
    return 0;
  }
  m_imageWidth = cx;
  m_imageHeight = cy;
  // The bitmap takes the icon's place; the icon is released rather than left behind.
  FreeIcon();
  Redraw();
  return 1;
}

CPoint CPButton::SetImagePos(CPoint point) { return SetPlacement(m_imagePos, point, FALSE); }

CPoint CPButton::SetTextPos(CPoint point) { return SetPlacement(m_textPos, point, FALSE); }

int CPButton::SetImageOffset(int offset) { return SetPlacement(m_imageOffset, offset, TRUE); }

int CPButton::SetTextOffset(int offset) { return SetPlacement(m_textOffset, offset, TRUE); }

BOOL CPButton::SetDefaultButton(BOOL on) {
  if (m_hWnd != nullptr) {
    // GetOwner answers the parent when the button has no owner of its own.
    if (CWnd* target = GetOwner())
      target->SendMessage(kDefaultButtonMessage, static_cast<WPARAM>(GetDlgCtrlID()), 0);
  }
  const BOOL previous = m_defaultButton;
  m_defaultButton = on;
  Redraw();
  return previous;
}

void CPButton::SetColorTab(COLORREF color) {
  m_colorTabOn = true;
  m_colorTabColor = color;
  Redraw();
}

void CPButton::SetTextColor(COLORREF color) {
  m_textColor = color;
  Redraw();
}

void CPButton::SetPictureOnlyMode(bool on) {
  m_drawFrame = on ? FALSE : TRUE;
  m_drawFocus = on ? FALSE : TRUE;
  Redraw();
}

int CPButton::ConvertStateToThemeCompatibleState(UINT itemState) const {
  int state = 0;
  if (itemState & (ODS_FOCUS | ODS_HOTLIGHT)) state += 2;
  if (itemState & ODS_DISABLED) state += 4;
  if (itemState & ODS_SELECTED) state += 1;
  if (itemState & ODS_CHECKED) state += 3;
  return state;
}

void CPButton::CheckPointForCentering(CPoint& point, int w, int h) const {
  CRect client(0, 0, 0, 0);
  if (m_hWnd != nullptr) GetClientRect(&client);
  // Wide arithmetic: the halves of any client size and item size fit an int.
  if (point.x == -1) point.x = SaturatingCast<int>((PixelWide{client.Width()} - w) >> 1);
  if (point.y == -1) point.y = SaturatingCast<int>((PixelWide{client.Height()} - h) >> 1);
}

void CPButton::DrawItem(LPDRAWITEMSTRUCT item) {
  if (item == nullptr) return;
  CDC* dc = CDC::FromHandle(item->hDC);
  if (dc == nullptr) return;

  const UINT itemState = item->itemState;
  const int state = ConvertStateToThemeCompatibleState(itemState);
  HTHEME theme = ThemesAvailable() ? OpenThemeData(m_hWnd, L"Button") : nullptr;
  // Clamped once to the drawing range, so that the small offsets below cannot overflow.
  const CRect itemRect(ClampDrawingCoord(item->rcItem.left), ClampDrawingCoord(item->rcItem.top),
                       ClampDrawingCoord(item->rcItem.right),
                       ClampDrawingCoord(item->rcItem.bottom));
  CRect r = itemRect;

  UINT frameFlags = DFCS_BUTTONPUSH;
  int o = 0;
  if (itemState & ODS_SELECTED) {
    frameFlags |= DFCS_PUSHED;
    o = (m_drawFocus || m_drawFrame) ? 1 : 0;
  }
  const bool disabled = (itemState & ODS_DISABLED) != 0;
  HBITMAP bitmap = disabled ? m_disabledBitmap : m_bitmap;
  const UINT stateFlag = disabled ? UINT(DSS_DISABLED) : UINT(DSS_NORMAL);
  const bool focusOnly = item->itemAction == ODA_FOCUS;

  if (m_defaultButton) r.DeflateRect(1, 1);

  if (!(focusOnly && theme == nullptr)) {
    if (m_defaultButton) {
      CGdiObject* oldPen = dc->SelectStockObject(BLACK_PEN);
      dc->Rectangle(&itemRect);
      if (oldPen != nullptr) dc->SelectObject(oldPen);
    }
    if (m_drawFrame) {
      if (theme != nullptr) {
        DrawThemeBackground(theme, dc->GetSafeHdc(), BP_PUSHBUTTON, state, &r, nullptr);
      } else {
        CRect frame = r;
        dc->DrawFrameControl(&frame, DFC_BUTTON, frameFlags);
      }
    }
    if (m_colorTabOn) {
      CPen pen;
      pen.CreatePen(PS_SOLID, 1, m_colorTabColor);
      CPen* oldPen = dc->SelectObject(&pen);
      for (int k = 0; k < 8; ++k) {
        const int y = r.top + o + 1 + k;
        dc->MoveTo(r.left + o + 1, y);
        dc->LineTo(r.left + o + 8 - k, y);
      }
      if (oldPen != nullptr) dc->SelectObject(oldPen);
    }

    CString text;
    if (m_hWnd != nullptr) GetWindowText(text);
    const bool hasPicture = HasImage();

    if (hasPicture) {
      CPoint p =
          m_autoPlacement
              ? (text.IsEmpty() ? CPoint(-1, -1) : CPoint(SaturatingAdd(r.left, m_imageOffset), -1))
              : m_imagePos;
      CheckPointForCentering(p, m_imageWidth, m_imageHeight);
      p.Offset(o, o);
      const CSize size(m_imageWidth, m_imageHeight);
      if (m_icon != nullptr)
        dc->DrawState(p, size, m_icon, DST_ICON | stateFlag, static_cast<HBRUSH>(nullptr));
      else if (bitmap != nullptr)
        dc->DrawState(p, size, bitmap, DST_BITMAP | stateFlag, static_cast<HBRUSH>(nullptr));
    }

    if (!text.IsEmpty()) {
      const CSize extent = dc->GetTextExtent(text);
      CRect client(0, 0, 0, 0);
      if (m_hWnd != nullptr) GetClientRect(&client);
      CPoint t = m_textPos;
      if (m_autoPlacement) {
        if (hasPicture) {
          const PixelWide free = PixelWide{client.right} - extent.cx - client.left - m_textOffset -
                                 m_imageWidth - m_imageOffset;
          t.x = SaturatingCast<int>(std::max<PixelWide>(0, free) / 2 + m_textOffset + m_imageWidth +
                                    m_imageOffset);
        } else {
          t.x = -1;
        }
        t.y = -1;
      }
      const bool yCentred = t.y == -1;
      CheckPointForCentering(t, extent.cx, extent.cy);
      t.x = SaturatingAdd(t.x, o);
      t.y = SaturatingAdd(t.y, o - (yCentred ? 1 : 0));

      // One line, centred vertically from T down. The item state is not mixed into the format:
      // its bits would read as alignment flags (selected as DT_CENTER, grayed as DT_RIGHT) and
      // throw a pressed button's text across the face instead of one pixel down-right.
      const UINT format = DT_SINGLELINE | DT_VCENTER;
      const bool defaultColour = m_textColor == 0 || disabled;
      if (theme != nullptr) {
        RECT content = r;
        GetThemeBackgroundContentRect(theme, dc->GetSafeHdc(), BP_PUSHBUTTON, state, &r, &content);
        content.left = t.x;
        content.top = t.y;
        if (defaultColour) {
          DrawThemeText(theme, dc->GetSafeHdc(), BP_PUSHBUTTON, state, text.GetString(), -1, format,
                        0, &content);
        } else {
          const COLORREF oldColour = dc->SetTextColor(m_textColor);
          dc->SetBkMode(TRANSPARENT);
          dc->DrawText(text, &content, format);
          dc->SetTextColor(oldColour);
        }
      } else if (defaultColour) {
        dc->DrawState(t, extent, text.GetString(), DST_TEXT | stateFlag, TRUE, 0,
                      static_cast<HBRUSH>(nullptr));
      } else {
        CRect box = r;
        box.left = t.x;
        box.top = t.y;
        dc->SetBkMode(TRANSPARENT);
        const COLORREF oldColour = dc->SetTextColor(m_textColor);
        dc->DrawText(text, &box, format);
        dc->SetTextColor(oldColour);
      }
    }
  }

  const bool focusChanged = ((itemState ^ m_lastItemState) & ODS_FOCUS) != 0;
  const bool focused = (itemState & ODS_FOCUS) != 0;
  if (m_drawFocus && theme == nullptr && !disabled && (focusChanged || (!focusOnly && focused))) {
    const int d = std::min(r.Width(), r.Height());
    const int inset = d >= 16 ? 3 : d / 4;
    CRect focus = r;
    focus.DeflateRect(inset, inset);
    dc->DrawFocusRect(&focus);
  }

  m_lastItemAction = item->itemAction;
  m_lastItemState = itemState;
  if (theme != nullptr) CloseThemeData(theme);
}
