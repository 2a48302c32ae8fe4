// Dialogs from templates, data exchange, and the standard controls.
#include "platform/dialog.h"

#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <algorithm>
#include <cfloat>
#include <mutex>
#include <unordered_map>

#include "platform/detail/window_registry.h"
#include "platform/detail/window_widget.h"
#include "platform/dpi.h"
#include "platform/numeric.h"
#include "platform/window_dc.h"

using namespace quarlen::detail;
using quarlen::SaturatingCast;

namespace {

std::mutex g_dialogMutex;
std::unordered_map<UINT, const DialogTemplate*>& templates() {
  static auto* m = new std::unordered_map<UINT, const DialogTemplate*>;
  return *m;
}
std::function<void(CDialog*)>& modalHook() {
  static auto* h = new std::function<void(CDialog*)>;
  return *h;
}

// 64-bit a * b / c rounded half away from zero (MulDiv).
int MulDivRound(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t p = std::int64_t{a} * b;
  const std::int64_t q = (std::abs(p) + std::abs(std::int64_t{c}) / 2) / std::abs(std::int64_t{c});
  const std::int64_t r = ((p < 0) != (c < 0)) ? -q : q;
  return SaturatingCast<int>(r);
}

QString ToQ(LPCWSTR s) { return s ? QString::fromWCharArray(s) : QString(); }

// Text of a widget-backed control through the window-text messages.
LRESULT TextMessage(const QString& current, UINT msg, WPARAM wParam, LPARAM lParam, QString* set) {
  switch (msg) {
    case WM_SETTEXT:
      *set = ToQ(reinterpret_cast<LPCWSTR>(lParam));
      return TRUE;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(current.toStdWString().size());
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<wchar_t*>(lParam);
      if (!buf || wParam == 0) return 0;
      const std::wstring w = current.toStdWString();
      const std::size_t n = std::min<std::size_t>(wParam - 1, w.size());
      std::copy_n(w.data(), n, buf);
      buf[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    default:
      return -1;
  }
}

bool IsTextMessage(UINT msg) {
  return msg == WM_SETTEXT || msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH;
}

int IndexOf(WPARAM w) { return static_cast<int>(static_cast<std::intptr_t>(w)); }

// Index at which a sorted list puts `s`: after the items that compare equal (case-insensitive,
// locale-aware).
template <class TextAt>
int SortedIndex(int count, const QString& s, TextAt textAt) {
  const QString key = s.toCaseFolded();
  int lo = 0, hi = count;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (QString::localeAwareCompare(key, textAt(mid).toCaseFolded()) < 0)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

LRESULT CopyItemText(const QString& text, LPARAM lParam) {
  auto* buf = reinterpret_cast<wchar_t*>(lParam);
  const std::wstring w = text.toStdWString();
  if (buf) {
    std::copy(w.begin(), w.end(), buf);
    buf[w.size()] = L'\0';
  }
  return static_cast<LRESULT>(w.size());
}

}  // namespace

const DialogTemplate* FindDialogTemplate(UINT id) {
  {
    std::lock_guard lock(g_dialogMutex);
    auto it = templates().find(id);
    if (it != templates().end()) return it->second;
  }
  return BuiltinDialogTemplate(id);
}

void RegisterDialogTemplate(UINT id, const DialogTemplate* tmpl) {
  std::lock_guard lock(g_dialogMutex);
  if (tmpl)
    templates()[id] = tmpl;
  else
    templates().erase(id);
}

void quarlen::SetModalDialogHook(std::function<void(CDialog*)> hook) {
  std::lock_guard lock(g_dialogMutex);
  modalHook() = std::move(hook);
}

// ---- CDialog -------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

BOOL CDialog::CreateFromTemplate(const DialogTemplate& tmpl, CWnd* parent, bool modal) {
  if (!OnGuiThread() || m_hWnd) return FALSE;
  // Base units of the dialog font, measured with the drawing layer's font substitute.
  m_baseUnits = CSize(6, 13);
  {
    // The template's point size at the screen's resolution: dialog units, and so the whole
    // layout, grow with the DPI.
    HDC hdc = ::GetDC(nullptr);
    CDC* dc = CDC::FromHandle(hdc);
    const int dpi = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
    LOGFONTW lf{};
    lf.lfHeight = -MulDivRound(tmpl.pointSize ? tmpl.pointSize : 8, dpi, 72);
    if (tmpl.faceName) wcsncpy(lf.lfFaceName, tmpl.faceName, LF_FACESIZE - 1);
    CFont font;
    if (dc && font.CreateFontIndirect(&lf)) {
      CFont* old = dc->SelectObject(&font);
      const CSize ext =
          dc->GetTextExtent(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52);
      TEXTMETRICW tm{};
      dc->GetTextMetrics(&tm);
      if (ext.cx > 0) m_baseUnits.cx = (ext.cx / 26 + 1) / 2;
      if (tm.tmHeight > 0) m_baseUnits.cy = tm.tmHeight;
      dc->SelectObject(old);
    }
    ::ReleaseDC(nullptr, hdc);
  }
  CRect rc(tmpl.x, tmpl.y, tmpl.x + tmpl.cx, tmpl.y + tmpl.cy);
  MapDialogRect(&rc);
  const DWORD style = (tmpl.style & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
  if (!CreateWithClassStyle(CS_DBLCLKS, tmpl.caption, style, rc, parent, 0)) return FALSE;
  auto rec = FindWindowRecord(m_hWnd);
  rec->dialogKeys = true;
  if (QWidget* w = rec->widget) {
    Qt::WindowFlags flags = Qt::Dialog;
    if ((tmpl.style & WS_CAPTION) != WS_CAPTION) flags |= Qt::FramelessWindowHint;
    w->setWindowFlags(flags);
    if (modal) w->setWindowModality(Qt::ApplicationModal);
  }
  for (const DialogItemTemplate& item : tmpl.items) {
    CRect r(item.x, item.y, item.x + item.cx, item.y + item.cy);
    MapDialogRect(&r);
    const UINT id = item.id < 0 ? 0xFFFF : static_cast<UINT>(item.id);
    const QString cls = ToQ(item.className).toUpper();
    const DWORD s = item.style | WS_CHILD;
    std::unique_ptr<CWnd> control;
    BOOL ok = FALSE;
    if (cls == "EDIT") {
      auto c = std::make_unique<CEdit>();
      ok = c->Create(s, r, this, id);
      if (ok && item.text) c->SetWindowText(item.text);
      control = std::move(c);
    } else if (cls == "BUTTON") {
      auto c = std::make_unique<CButton>();
      ok = c->Create(item.text, s, r, this, id);
      control = std::move(c);
    } else if (cls == "LISTBOX") {
      auto c = std::make_unique<CListBox>();
      ok = c->Create(s, r, this, id);
      control = std::move(c);
    } else if (cls == "COMBOBOX") {
      auto c = std::make_unique<CComboBox>();
      ok = c->Create(s, r, this, id);
      control = std::move(c);
    } else {
      auto c = std::make_unique<CStatic>();
      ok = c->Create(item.text, s, r, this, id);
      control = std::move(c);
    }
    if (ok) m_controls.push_back(std::move(control));
  }
  if (SendMessage(WM_INITDIALOG, 0, 0)) {
    // TRUE from OnInitDialog: the first tab stop gets the focus.
    for (HWND child : ChildWindows(m_hWnd)) {
      auto c = FindWindowRecord(child);
      if (c && (c->style.load() & WS_TABSTOP)) {
        ::SetFocus(child);
        if (c->widget) c->widget->setFocus();
        break;
      }
    }
  }
  return IsWindow(m_hWnd);
}

INT_PTR CDialog::DoModal() {
  const DialogTemplate* tmpl = FindDialogTemplate(m_nIDTemplate);
  if (!tmpl || !OnGuiThread()) return -1;
  m_ended = false;
  m_result = IDCANCEL;
  if (!CreateFromTemplate(*tmpl, m_pParentWnd, true)) return -1;
  if (!m_ended && !IsWindowVisible()) ShowWindow(SW_SHOW);
  std::function<void(CDialog*)> hook;
  {
    std::lock_guard lock(g_dialogMutex);
    hook = modalHook();
  }
  if (hook && !m_ended) hook(this);
  if (!m_ended && IsWindow(m_hWnd)) {
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
  }
  const int result = m_result;
  DestroyWindow();
  m_controls.clear();
  return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  m_nIDTemplate = templateId;
  m_pParentWnd = parent;
  const DialogTemplate* tmpl = FindDialogTemplate(templateId);
  if (!tmpl) return FALSE;
  if (!CreateFromTemplate(*tmpl, parent, false)) return FALSE;
  if (tmpl->style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return TRUE;
}

void CDialog::EndDialog(int result) {
  m_result = result;
  m_ended = true;
  if (m_loop) static_cast<QEventLoop*>(m_loop)->quit();
  ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return dx.m_failed ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::MapDialogRect(LPRECT rect) const {
  if (!rect) return;
  rect->left = MulDivRound(rect->left, m_baseUnits.cx, 4);
  rect->right = MulDivRound(rect->right, m_baseUnits.cx, 4);
  rect->top = MulDivRound(rect->top, m_baseUnits.cy, 8);
  rect->bottom = MulDivRound(rect->bottom, m_baseUnits.cy, 8);
}

void CDialog::SetDlgItemText(int id, LPCWSTR text) {
  if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text);
}

void CDialog::GetDlgItemText(int id, CString& text) const {
  if (CWnd* c = GetDlgItem(id))
    c->GetWindowText(text);
  else
    text = CString();
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  if (LOWORD(wParam) == IDOK) {
    OnOK();
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

LRESULT CDialog::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_CLOSE:
      OnCancel();
      return 0;
    default:
      return CWnd::DefWindowProc(msg, wParam, lParam);
  }
}

// ---- Data exchange -------------------------------------------------------------------------

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  CWnd* c = dx && dx->m_pDlgWnd ? dx->m_pDlgWnd->GetDlgItem(id) : nullptr;
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    c->GetWindowText(value);
  else
    c->SetWindowText(value.GetString());
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  CWnd* c = dx && dx->m_pDlgWnd ? dx->m_pDlgWnd->GetDlgItem(id) : nullptr;
  if (!c) return;
  if (dx->m_bSaveAndValidate) {
    CString text;
    c->GetWindowText(text);
    bool ok = false;
    const int v = ToQ(text.GetString()).trimmed().toInt(&ok);
    if (!ok) {
      MessageBeep(MB_ICONEXCLAMATION);
      dx->Fail();
      return;
    }
    value = v;
  } else {
    c->SetWindowText(QString::number(value).toStdWString().c_str());
  }
}

void DDX_Text(CDataExchange* dx, int id, double& value) {
  CWnd* c = dx && dx->m_pDlgWnd ? dx->m_pDlgWnd->GetDlgItem(id) : nullptr;
  if (!c) return;
  if (dx->m_bSaveAndValidate) {
    CString text;
    c->GetWindowText(text);
    bool ok = false;
    const double v = ToQ(text.GetString()).trimmed().toDouble(&ok);  // C locale
    if (!ok) {
      MessageBeep(MB_ICONEXCLAMATION);
      dx->Fail();
      return;
    }
    value = v;
  } else {
    c->SetWindowText(QString::number(value, 'g', DBL_DIG).toStdWString().c_str());
  }
}

// ---- CButton -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CButton, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_ENABLE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BOOL CButton::Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(L"BUTTON", caption, style | WS_CHILD, rect, parent, id);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT msg, WPARAM, LPARAM lParam, LRESULT* result) {
  if (msg != WM_DRAWITEM) return FALSE;
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (result) *result = TRUE;
  return TRUE;
}

UINT CButton::GetState() const {
  UINT state = 0;
  if ((m_pressed && m_inside) || m_highlight) state |= BST_PUSHED;
  if (::GetFocus() == m_hWnd) state |= BST_FOCUS;
  return state;
}

void CButton::SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight, 0); }

LRESULT CButton::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case BM_GETSTATE:
      return GetState();
    case BM_SETSTATE:
      m_highlight = wParam != 0;
      Invalidate(FALSE);
      return 0;
    case BM_CLICK:
      if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()), BN_CLICKED),
                            reinterpret_cast<LPARAM>(m_hWnd));
      return 0;
    default:
      return CWnd::DefWindowProc(msg, wParam, lParam);
  }
}

BOOL CButton::OnEraseBkgnd(CDC*) { return TRUE; }  // the button paints every pixel itself

void CButton::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  UINT state = 0;
  if ((m_pressed && m_inside) || m_highlight) state |= ODS_SELECTED;
  if (!IsWindowEnabled()) state |= ODS_DISABLED;
  if (::GetFocus() == m_hWnd) state |= ODS_FOCUS;
  if (m_hot) state |= ODS_HOTLIGHT;
  if ((GetStyle() & 0x0F) == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis{ODT_BUTTON,
                       static_cast<UINT>(GetDlgCtrlID()),
                       0,
                       ODA_DRAWENTIRE,
                       state,
                       m_hWnd,
                       dc.GetSafeHdc(),
                       rc,
                       0};
    if (CWnd* parent = GetParent()) {
      parent->SendMessage(WM_DRAWITEM, static_cast<WPARAM>(GetDlgCtrlID()),
                          reinterpret_cast<LPARAM>(&dis));
    } else {
      DrawItem(&dis);
    }
    return;
  }
  UINT frame = DFCS_BUTTONPUSH;
  if (state & ODS_SELECTED) frame |= DFCS_PUSHED;
  if (state & ODS_DISABLED) frame |= DFCS_INACTIVE;
  dc.DrawFrameControl(&rc, DFC_BUTTON, frame);
  CString text;
  GetWindowText(text);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text.GetString(), text.GetLength(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CButton::OnLButtonDown(UINT, CPoint) {
  m_pressed = true;
  m_inside = true;
  CWnd::SetCapture();
  Invalidate(FALSE);
}
void CButton::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

void CButton::OnLButtonUp(UINT, CPoint point) {
  if (!m_pressed) return;
  CRect rc;
  GetClientRect(&rc);
  const bool clicked = rc.PtInRect(point);
  m_pressed = false;
  m_inside = false;
  if (::GetCapture() == m_hWnd) ReleaseCapture();
  Invalidate(FALSE);
  if (clicked) SendMessage(BM_CLICK);
}

void CButton::OnMouseMove(UINT, CPoint point) {
  CRect rc;
  GetClientRect(&rc);
  const bool inside = rc.PtInRect(point);
  if (m_pressed && inside != m_inside) {
    m_inside = inside;
    Invalidate(FALSE);
  }
  if (!m_hot && inside) {
    m_hot = true;
    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    _TrackMouseEvent(&tme);
    Invalidate(FALSE);
  }
}

void CButton::OnMouseLeave() {
  m_hot = false;
  Invalidate(FALSE);
}
void CButton::OnEnable(BOOL) { Invalidate(FALSE); }
void CButton::OnSetFocus(CWnd*) { Invalidate(FALSE); }
void CButton::OnKillFocus(CWnd*) { Invalidate(FALSE); }

// ---- Widget-backed controls ----------------------------------------------------------------

BOOL CStatic::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  auto* label = new QLabel;
  const DWORD align = style & 0x3;
  label->setAlignment((align == SS_RIGHT    ? Qt::AlignRight
                       : align == SS_CENTER ? Qt::AlignHCenter
                                            : Qt::AlignLeft) |
                      Qt::AlignTop);
  return CreateWidgetWindow(this, label, style, rect, parent, id, text);
}

LRESULT CStatic::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* label = qobject_cast<QLabel*>(GetWidget());
  if (!label || !IsTextMessage(msg)) return CWnd::DefWindowProc(msg, wParam, lParam);
  QString set;
  const LRESULT r = TextMessage(label->text(), msg, wParam, lParam, &set);
  if (msg == WM_SETTEXT) label->setText(set);
  return r;
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  auto* edit = new QLineEdit;
  edit->setFrame(style & WS_BORDER);
  return CreateWidgetWindow(this, edit, style, rect, parent, id, nullptr);
}

LRESULT CEdit::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* edit = qobject_cast<QLineEdit*>(GetWidget());
  if (!edit || !IsTextMessage(msg)) return CWnd::DefWindowProc(msg, wParam, lParam);
  QString set;
  const LRESULT r = TextMessage(edit->text(), msg, wParam, lParam, &set);
  if (msg == WM_SETTEXT) {
    const QSignalBlocker block(edit);
    edit->setText(set);
  }
  return r;
}

// Text of item `index` of a list or combo box through its length and text messages: the
// length, or -1 (LB_ERR / CB_ERR) with an empty text when there is no such item.
static int ItemText(HWND box, UINT lengthMsg, UINT textMsg, int index, CString& text) {
  const int n = static_cast<int>(::SendMessageW(box, lengthMsg, static_cast<WPARAM>(index), 0));
  if (n < 0) {
    text = CString();
    return -1;
  }
  std::wstring buf(static_cast<std::size_t>(n) + 1, L'\0');
  ::SendMessageW(box, textMsg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<std::size_t>(n));
  text = CString(buf);
  return n;
}

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  auto* list = new QListWidget;
  if (!CreateWidgetWindow(this, list, style, rect, parent, id, nullptr)) return FALSE;
  HWND self = m_hWnd;
  QObject::connect(list, &QListWidget::currentRowChanged, list, [self, list] {
    auto rec = FindWindowRecord(self);
    if (!rec || list->signalsBlocked() || !(rec->style.load() & LBS_NOTIFY)) return;
    SendMessageW(rec->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(rec->id), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(self));
  });
  return TRUE;
}

int CListBox::Call(UINT msg, WPARAM w, LPCWSTR text) const {
  return static_cast<int>(::SendMessageW(m_hWnd, msg, w, reinterpret_cast<LPARAM>(text)));
}
int CListBox::SetItemData(int index, DWORD_PTR data) {
  return static_cast<int>(::SendMessageW(m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(index),
                                         static_cast<LPARAM>(data)));
}
DWORD_PTR CListBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(
      ::SendMessageW(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}
int CListBox::GetText(int index, CString& text) const {
  return ItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, index, text);
}

LRESULT CListBox::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* list = qobject_cast<QListWidget*>(GetWidget());
  if (!list) return CWnd::DefWindowProc(msg, wParam, lParam);
  const QSignalBlocker block(list);  // programmatic changes never notify
  const int count = list->count();
  const int index = IndexOf(wParam);
  switch (msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const QString s = ToQ(reinterpret_cast<LPCWSTR>(lParam));
      int at = index;
      if (msg == LB_ADDSTRING) {
        at = (GetStyle() & LBS_SORT)
                 ? SortedIndex(count, s, [&](int i) { return list->item(i)->text(); })
                 : count;
      } else if (at == -1) {
        at = count;
      } else if (at < 0 || at > count) {
        return LB_ERR;
      }
      list->insertItem(at, s);
      return at;
    }
    case LB_DELETESTRING:
      if (index < 0 || index >= count) return LB_ERR;
      delete list->takeItem(index);
      return list->count();
    case LB_RESETCONTENT:
      list->clear();
      return 0;
    case LB_SETCURSEL:
      if (index < 0 || index >= count) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return LB_ERR;
      }
      list->setCurrentRow(index);
      return index;
    case LB_GETCURSEL:
      return list->currentRow() >= 0 ? list->currentRow() : LB_ERR;
    case LB_GETCOUNT:
      return count;
    case LB_GETTEXT:
      if (index < 0 || index >= count) return LB_ERR;
      return CopyItemText(list->item(index)->text(), lParam);
    case LB_GETTEXTLEN:
      if (index < 0 || index >= count) return LB_ERR;
      return static_cast<LRESULT>(list->item(index)->text().toStdWString().size());
    case LB_SETITEMDATA:
      if (index < 0 || index >= count) return LB_ERR;
      list->item(index)->setData(Qt::UserRole,
                                 QVariant::fromValue<quintptr>(static_cast<quintptr>(lParam)));
      return 0;
    case LB_GETITEMDATA:
      if (index < 0 || index >= count) return LB_ERR;
      return static_cast<LRESULT>(list->item(index)->data(Qt::UserRole).value<quintptr>());
    default:
      return CWnd::DefWindowProc(msg, wParam, lParam);
  }
}

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  auto* combo = new QComboBox;
  if (!CreateWidgetWindow(this, combo, style, rect, parent, id, nullptr)) return FALSE;
  HWND self = m_hWnd;
  QObject::connect(combo, &QComboBox::activated, combo, [self] {
    auto rec = FindWindowRecord(self);
    if (!rec) return;
    SendMessageW(rec->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(rec->id), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(self));
  });
  return TRUE;
}

int CComboBox::Call(UINT msg, WPARAM w, LPCWSTR text) const {
  return static_cast<int>(::SendMessageW(m_hWnd, msg, w, reinterpret_cast<LPARAM>(text)));
}
int CComboBox::SetItemData(int index, DWORD_PTR data) {
  return static_cast<int>(::SendMessageW(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(index),
                                         static_cast<LPARAM>(data)));
}
DWORD_PTR CComboBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(
      ::SendMessageW(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}
int CComboBox::GetLBText(int index, CString& text) const {
  return ItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text);
}

LRESULT CComboBox::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* combo = qobject_cast<QComboBox*>(GetWidget());
  if (!combo) return CWnd::DefWindowProc(msg, wParam, lParam);
  const QSignalBlocker block(combo);
  const int count = combo->count();
  const int index = IndexOf(wParam);
  switch (msg) {
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
      const QString s = ToQ(reinterpret_cast<LPCWSTR>(lParam));
      int at = index;
      if (msg == CB_ADDSTRING) {
        at = (GetStyle() & CBS_SORT)
                 ? SortedIndex(count, s, [&](int i) { return combo->itemText(i); })
                 : count;
      } else if (at == -1) {
        at = count;
      } else if (at < 0 || at > count) {
        return CB_ERR;
      }
      combo->insertItem(at, s);
      return at;
    }
    case CB_DELETESTRING:
      if (index < 0 || index >= count) return CB_ERR;
      combo->removeItem(index);
      return combo->count();
    case CB_RESETCONTENT:
      combo->clear();
      return 0;
    case CB_SETCURSEL:
      if (index < 0 || index >= count) {
        combo->setCurrentIndex(-1);
        return CB_ERR;
      }
      combo->setCurrentIndex(index);
      return index;
    case CB_GETCURSEL:
      return combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
    case CB_GETCOUNT:
      return count;
    case CB_GETLBTEXT:
      if (index < 0 || index >= count) return CB_ERR;
      return CopyItemText(combo->itemText(index), lParam);
    case CB_GETLBTEXTLEN:
      if (index < 0 || index >= count) return CB_ERR;
      return static_cast<LRESULT>(combo->itemText(index).toStdWString().size());
    case CB_SETITEMDATA:
      if (index < 0 || index >= count) return CB_ERR;
      combo->setItemData(index, QVariant::fromValue<quintptr>(static_cast<quintptr>(lParam)));
      return 0;
    case CB_GETITEMDATA:
      if (index < 0 || index >= count) return CB_ERR;
      return static_cast<LRESULT>(combo->itemData(index).value<quintptr>());
    default:
      return CWnd::DefWindowProc(msg, wParam, lParam);
  }
}
