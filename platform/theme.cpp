// Themed push buttons over QStyle, the classic-look switch and the theme-check libraries.
#include "platform/theme.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QThread>
#include <atomic>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/detail/dc_impl.h"
#include "platform/numeric.h"

using namespace quarlen::detail;
using quarlen::ClampDrawingCoord;
using quarlen::kDrawingCoordLimit;
using quarlen::PixelWide;

namespace {

std::atomic<bool> g_classic{false};

struct ThemeTable {
  std::mutex lock;
  std::set<HTHEME> live;
  std::uintptr_t next = 0x7000;
};
ThemeTable& themes() {
  static ThemeTable* t = new ThemeTable;
  return *t;
}

bool Live(HTHEME h) {
  std::lock_guard g(themes().lock);
  return themes().live.count(h) != 0;
}

// QStyle belongs to the GUI thread; elsewhere the classic drawing stands in.
bool StyleUsable() {
  return qApp && QThread::currentThread() == qApp->thread() && QApplication::style();
}

QStyleOptionButton ButtonOption(int state, const QRect& r) {
  QStyleOptionButton opt;
  opt.rect = r;
  opt.palette = QApplication::palette();
  opt.state = QStyle::State_Enabled | QStyle::State_Raised;
  switch (state) {
    case PBS_HOT:
      opt.state |= QStyle::State_MouseOver;
      break;
    case PBS_PRESSED:
      opt.state |= QStyle::State_Sunken | QStyle::State_On;
      opt.state &= ~QStyle::State_Raised;
      break;
    case PBS_DISABLED:
      opt.state &= ~QStyle::State_Enabled;
      break;
    case PBS_DEFAULTED:
      opt.features |= QStyleOptionButton::DefaultButton;
      break;
    default:
      // Combined owner-draw states (focus + selected ...) read as pressed when odd above 5.
      if (state > PBS_DEFAULTED) {
        opt.state |= QStyle::State_Sunken | QStyle::State_HasFocus;
        opt.state &= ~QStyle::State_Raised;
      }
      break;
  }
  return opt;
}

QRect DeviceRect(const DCImpl& d, const RECT& r) {
  const PixelWide l = d.DevX(r.left), t = d.DevY(r.top);
  const PixelWide w = PixelWide(r.right) - r.left, h = PixelWide(r.bottom) - r.top;
  // Inside the drawing range, a right edge x + width - 1 still fits an int.
  return QRect(ClampDrawingCoord(l), ClampDrawingCoord(t),
               int(std::clamp<PixelWide>(w, 0, 2 * kDrawingCoordLimit)),
               int(std::clamp<PixelWide>(h, 0, 2 * kDrawingCoordLimit)));
}

}  // namespace

namespace quarlen {
void SetClassicLook(bool on) { g_classic = on; }
bool IsClassicLook() { return g_classic; }
}  // namespace quarlen

BOOL IsAppThemed() { return !g_classic && qApp ? TRUE : FALSE; }
BOOL IsThemeActive() { return IsAppThemed(); }

HTHEME OpenThemeData(HWND, LPCWSTR classList) {
  if (!IsAppThemed() || !classList) return nullptr;
  // A semicolon-separated list; "Button" is the class with a themed look here.
  const QString list = QString::fromWCharArray(classList).toLower();
  bool button = false;
  for (const QString& c : list.split(QLatin1Char(';')))
    if (c.trimmed() == QLatin1String("button")) button = true;
  if (!button) return nullptr;
  std::lock_guard g(themes().lock);
  HTHEME h = reinterpret_cast<HTHEME>(themes().next);
  themes().next += 16;
  themes().live.insert(h);
  return h;
}

HRESULT CloseThemeData(HTHEME theme) {
  std::lock_guard g(themes().lock);
  return themes().live.erase(theme) ? S_OK : E_INVALIDARG;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect,
                            const RECT* clip) {
  CDC* dc = CDC::FromHandle(hdc);
  if (!Live(theme) || !dc || !rect) return E_INVALIDARG;
  if (part != BP_PUSHBUTTON) return E_INVALIDARG;
  if (!StyleUsable()) {
    RECT r = *rect;
    dc->DrawFrameControl(&r, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (state == PBS_PRESSED ? UINT(DFCS_PUSHED) : 0u));
    return S_OK;
  }
  DCImpl& d = *dc->Impl();
  Draw dr;
  if (!d.Begin(dr)) return S_OK;
  const QRect r = DeviceRect(d, *rect);
  QRegion region = *dr.region;
  if (clip) region &= DeviceRect(d, *clip);
  if (region.isEmpty() || r.isEmpty()) return S_OK;
  QPainter p(&dr.s->image);
  p.setClipRegion(region);
  const QStyleOptionButton opt = ButtonOption(state, r);
  QApplication::style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, nullptr);
  dr.t.Touch(r & dr.t.clipBounds);
  return S_OK;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int part, int state, const RECT* bounds,
                                      RECT* content) {
  if (!Live(theme) || !bounds || !content || part != BP_PUSHBUTTON) return E_INVALIDARG;
  QRect inner;
  const QRect r(bounds->left, bounds->top, std::max(0, bounds->right - bounds->left),
                std::max(0, bounds->bottom - bounds->top));
  if (StyleUsable()) {
    const QStyleOptionButton opt = ButtonOption(state, r);
    inner = QApplication::style()->subElementRect(QStyle::SE_PushButtonContents, &opt, nullptr);
  } else {
    inner = r.adjusted(3, 3, -3, -3);
  }
  content->left = inner.x();
  content->top = inner.y();
  content->right = inner.x() + inner.width();
  content->bottom = inner.y() + inner.height();
  return S_OK;
}

HRESULT DrawThemeText(HTHEME theme, HDC hdc, int, int state, LPCWSTR text, int count,
                      DWORD textFlags, DWORD textFlags2, const RECT* rect) {
  CDC* dc = CDC::FromHandle(hdc);
  if (!Live(theme) || !dc || !text || !rect) return E_INVALIDARG;
  const bool grey = state == PBS_DISABLED || (textFlags2 & DTT_GRAYED);
  const int saved = dc->SaveDC();
  dc->SetTextColor(GetSysColor(grey ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  dc->SetBkMode(TRANSPARENT);
  RECT r = *rect;
  dc->DrawText(text, count, &r, textFlags);
  dc->RestoreDC(saved);
  return S_OK;
}

// ---- Theme-check libraries ----

namespace {

HMODULE const kUxTheme = reinterpret_cast<HMODULE>(std::uintptr_t(0x7A10));
HMODULE const kComCtl = reinterpret_cast<HMODULE>(std::uintptr_t(0x7A20));

// Each export has its real type; callers cast the FARPROC back to it.
BOOL AppThemedProc() { return IsAppThemed(); }
BOOL ThemeActiveProc() { return IsThemeActive(); }
HRESULT DllGetVersionProc(DLLVERSIONINFO* info) {
  if (!info || info->cbSize < sizeof(DLLVERSIONINFO)) return E_INVALIDARG;
  info->dwMajorVersion = 6;
  info->dwMinorVersion = 0;
  info->dwBuildNumber = 0;
  info->dwPlatformID = 2;
  return S_OK;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR name) {
  if (!name) return nullptr;
  QString n = QString::fromWCharArray(name).toLower();
  n = n.mid(std::max(n.lastIndexOf(QLatin1Char('\\')), n.lastIndexOf(QLatin1Char('/'))) + 1);
  if (n == QLatin1String("uxtheme.dll") || n == QLatin1String("uxtheme")) return kUxTheme;
  if (n == QLatin1String("comctl32.dll") || n == QLatin1String("comctl32")) return kComCtl;
  return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!name) return nullptr;
  if (module == kUxTheme && std::strcmp(name, "IsAppThemed") == 0)
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&AppThemedProc));
  if (module == kUxTheme && std::strcmp(name, "IsThemeActive") == 0)
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&ThemeActiveProc));
  if (module == kComCtl && std::strcmp(name, "DllGetVersion") == 0)
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&DllGetVersionProc));
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) { return module == kUxTheme || module == kComCtl; }

BOOL GetVersionExW(LPOSVERSIONINFOW info) {
  if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) return FALSE;
  info->dwMajorVersion = 6;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 7601;
  info->dwPlatformId = 2;
  info->szCSDVersion[0] = 0;
  return TRUE;
}
