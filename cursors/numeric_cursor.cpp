#include "cursors/numeric_cursor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>

#include "axis/scale_converter.h"
#include "axis/unit.h"
#include "axis/position.h"
#include "platform/cstring.h"
#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/dpi.h"
#include "platform/numeric.h"
#include "platform/window.h"

IMPLEMENT_DYNAMIC(CGNumCursor, CGCursor)

using quarlen::PixelWide;
using quarlen::SaturatingAdd;
using quarlen::SaturatingCast;
using quarlen::SaturatingTrunc;

namespace {

constexpr wchar_t kDefaultFormat[] = L"%g";
constexpr std::size_t kMaxText = 10;  // longer texts are shown as a single space

// [lo, hi) of a strip, saturated to the 32-bit pixel range.
void SetSpan(CRect& r, bool followsX, PixelWide lo, PixelWide hi) {
  if (followsX) {
    r.left = SaturatingCast<LONG>(lo);
    r.right = SaturatingCast<LONG>(hi);
  } else {
    r.top = SaturatingCast<LONG>(lo);
    r.bottom = SaturatingCast<LONG>(hi);
  }
}

double Snap(double x, double step, double origin) {
  return std::floor((x - origin) * (1.0 / step) + 0.5) * step + origin;
}

}  // namespace

bool CGNumCursor::IsSafeFormat(const wchar_t* f) {
  if (f == nullptr) return false;
  int conversions = 0;
  for (const wchar_t* c = f; *c != 0; ++c) {
    if (*c != L'%') continue;
    ++c;
    if (*c == L'%') continue;
    while (*c != 0 && std::wcschr(L"-+ #0", *c) != nullptr) ++c;
    // Width and precision of at most two digits each keep the output short and bounded.
    for (int n = 0; *c >= L'0' && *c <= L'9'; ++c) {
      if (++n > 2) return false;
    }
    if (*c == L'.') {
      ++c;
      for (int n = 0; *c >= L'0' && *c <= L'9'; ++c) {
        if (++n > 2) return false;
      }
    }
    if (*c == L'l') ++c;  // "%lf" is "%f"
    if (*c == 0 || std::wcschr(L"fFeEgGaA", *c) == nullptr) return false;
    if (++conversions > 1) return false;
  }
  // No conversion at all: a literal text, shown as it is. Empty is no format.
  return f[0] != 0;
}

CGNumCursor::CGNumCursor() {
  m_format = kDefaultFormat;
  CWnd* main = AfxGetMainWnd();
  CDC* dc = main != nullptr && main->GetSafeHwnd() != nullptr ? main->GetDC() : nullptr;
  if (dc != nullptr) {
    CGdiObject* old = dc->SelectStockObject(ANSI_VAR_FONT);
    TEXTMETRICW tm{};
    if (dc->GetTextMetrics(&tm)) {
      m_textHeight = tm.tmHeight + 2;
      m_charWidth = tm.tmMaxCharWidth + 1;
    }
    if (old != nullptr) dc->SelectObject(old);
    main->ReleaseDC(dc);
  }
}

CGNumCursor::~CGNumCursor() = default;

void CGNumCursor::CreateLink(CPosLink* link) {
  if (link == nullptr) return;
  m_linkMode = 1;
  Create(link);
}

void CGNumCursor::EnableStep(int enable, double step, double origin) {
  m_stepEnabled = enable;
  m_step = step;
  m_stepOrigin = origin;
}

double CGNumCursor::NearestValue(double x) const {
  // A zero or non-finite grid cannot snap anything: the value stays.
  if (!m_stepEnabled || m_step == 0.0 || !std::isfinite(m_step) || !std::isfinite(m_stepOrigin))
    return x;
  const double m = Snap(x, m_step, m_stepOrigin);
  CSC* s = DirectionScale();
  const double v = s->RealToDisplayPos(Snap(s->DisplayToRealPos(x), m_step, m_stepOrigin));
  return IsNearlyEqual(m, v) ? m : v;
}

void CGNumCursor::SetFormat(const wchar_t* format) {
  Guard g(this);
  m_format = IsSafeFormat(format) ? format : kDefaultFormat;
}

std::wstring CGNumCursor::GetFormat() const {
  Guard g(this);
  return m_format;
}

void CGNumCursor::SetUnit(double factor, double offset) {
  Guard g(this);
  m_unit = nullptr;
  m_unitFactor = factor == 0.0 ? 1.0 : factor;
  m_unitOffset = offset;
  if (m_refPosition != nullptr) InvalidateAll();
}

void CGNumCursor::SetUnit(CUnit* unit) {
  Guard g(this);
  m_unit = unit;
  if (m_refPosition != nullptr) InvalidateAll();
}

std::wstring CGNumCursor::FormatValue(double v) const {
  Guard g(this);
  std::wstring text;
  if (m_unit != nullptr) {
    CString out;
    const wchar_t* t = m_unit->dtoa(m_unit->ConvertFromBase(v / m_unitFactor), out);
    text = t != nullptr ? t : L"";
  } else {
    wchar_t buf[256];
    const int n = std::swprintf(buf, 256, m_format.c_str(), v / m_unitFactor - m_unitOffset);
    // A negative count is a text that did not fit the buffer: too long for the box as well.
    text = n >= 0 ? std::wstring(buf, static_cast<std::size_t>(n)) : std::wstring(L" ");
  }
  if (text.size() > kMaxText) text = L" ";
  return text;
}

// The two-pixel line strip and the value box on the side where OnDraw puts it (TextRect's
// rule), one character wider than the box: the box grows to the text only when it is drawn.
// Everything that repaints the visible rectangle alone (colours, shadow, a move to the top or
// the bottom of the layer) therefore repaints the box too.
void CGNumCursor::GetVisibleRect(CRect* out) const {
  if (out == nullptr) return;
  Guard g(this);
  const long p = DrawnPixel();
  CRect r = Strip(p, 2);
  r.UnionRect(&r, BoxArea(p, m_boxCharacters + 1));
  *out = r;
}

void CGNumCursor::SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) {
  CGCursor::SetRuler(x, xGrow, y, yGrow);
  Guard g(this);
  m_drawnPosition = NearestValue(m_drawnPosition);
}

void CGNumCursor::OnScaling() { CGCursor::OnScaling(); }

void CGNumCursor::InvalidateNewPos(double value) {
  if (value == kNoValue) return;
  Guard g(this);
  if (IsNearlyEqual(m_drawnPosition, value)) return;
  m_pendingPosition = value;
  InvalidateAll();
}

void CGNumCursor::InvalidateNewPixel(long pixel) {
  Guard g(this);
  const PixelWide w = m_shadowEnabled ? 3 : 2;
  CSC* s = DirectionScale();
  const PixelWide old = s->PosToPixel(m_drawnPosition);
  m_pendingPosition = s->PixelToPos(SaturatingCast<LONG>(pixel));
  const PixelWide extent =
      m_followsX ? PixelWide{m_boxCharacters} * m_charWidth : PixelWide{m_textHeight};
  const PixelWide half = (m_followsX ? m_rect.Width() : m_rect.Height()) / 2;
  for (const PixelWide p : {old, PixelWide{pixel}}) {
    CRect r = m_rect;
    if (half < p) {
      SetSpan(r, m_followsX, p - extent, p + w);
    } else {
      SetSpan(r, m_followsX, p, p + w + extent);
    }
    CGObject::Invalidate(&r);
  }
}

void CGNumCursor::OnDraw(CDC* dc, CRect* clip) {
  if (dc == nullptr || clip == nullptr) return;
  Guard g(this);
  if (!IsDrawEnable()) return;
  const int saved = dc->SaveDC();
  dc->SetBkMode(OPAQUE);
  const long p = DrawnPixel();
  DrawLines(dc, *clip, p);

  // The value box keeps to its text rectangle (DrawText clips to it), so a repaint that does not
  // reach that rectangle, such as a line strip beside the box, neither formats the value nor
  // makes the box's font.
  UINT format = 0;
  CRect tr = TextRect(p, &format);
  CRect reached;
  if (reached.IntersectRect(&tr, clip)) {
    CSC* s = DirectionScale();
    double v = m_drawnPosition;
    if (s->HasStaticDisplayOffset()) v = s->RealToDisplayPos(v);
    const std::wstring text = FormatValue(v);
    const int len = static_cast<int>(text.size());
    if (len - 1 > m_boxCharacters) m_boxCharacters = len - 1;

    LOGFONTW lf{};
    lf.lfHeight = quarlen::ScaleForDpi(kBoxFontHeight, dc->GetSafeHdc());
    lf.lfWeight = 400;
    lf.lfQuality = DRAFT_QUALITY;
    lf.lfPitchAndFamily = 0x20;
    lf.lfCharSet = 0;
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* oldFont = dc->SelectObject(&font);
    dc->SetBkColor(m_shadowColor);
    dc->SetTextColor(GetColor());
    dc->DrawText(text.c_str(), len, &tr, format);
    dc->SelectObject(oldFont);
  }
  dc->RestoreDC(saved);
}

CRect CGNumCursor::TextRect(long p, UINT* format) const {
  CRect tr = m_rect;
  if (m_followsX) {
    const LONG h = m_rect.Height();
    if (m_rect.Width() / 2 < p) {
      tr.right = SaturatingAdd<LONG>(p, -1);
      *format = DT_SINGLELINE | DT_RIGHT;
    } else {
      tr.left = SaturatingAdd<LONG>(p, 3);
      *format = DT_SINGLELINE;
    }
    if (m_floatingBox) {
      const LONG c = SaturatingTrunc<LONG>(h * m_boxPosition);
      if (c > h / 2) {
        tr.bottom = c;
        *format |= DT_BOTTOM;
      } else {
        tr.top = c;
      }
    }
  } else {
    const LONG w = m_rect.Width();
    if (m_rect.Height() / 2 < p) {
      tr.bottom = SaturatingCast<LONG>(p);
      *format = DT_SINGLELINE | DT_BOTTOM;
    } else {
      tr.top = SaturatingAdd<LONG>(p, 2);
      *format = DT_SINGLELINE;
    }
    if (m_floatingBox) {
      const LONG c = SaturatingTrunc<LONG>(w * m_boxPosition);
      if (c > w / 2) {
        tr.right = SaturatingAdd<LONG>(c, -2);
        *format |= DT_RIGHT;
      } else {
        tr.left = SaturatingAdd<LONG>(c, 2);
      }
    }
  }
  return tr;
}

CRect CGNumCursor::BoxArea(long p, int characters) const {
  UINT format = 0;
  CRect r = TextRect(p, &format);
  const LONG along = SaturatingTrunc<LONG>(double(characters) * m_charWidth);
  if (format & DT_RIGHT) {
    r.left = std::max(r.left, SaturatingAdd<LONG>(r.right, -along));
  } else {
    r.right = std::min(r.right, SaturatingAdd<LONG>(r.left, along));
  }
  // The measured text height, but never less than a line of the box font with its margin.
  const LONG across = std::max<LONG>(
      m_textHeight, quarlen::ScaleForDpi(kBoxFontHeight + 2, static_cast<int>(GetDpiForSystem())));
  if (format & DT_BOTTOM) {
    r.top = std::max(r.top, SaturatingAdd<LONG>(r.bottom, -across));
  } else {
    r.bottom = std::min(r.bottom, SaturatingAdd<LONG>(r.top, across));
  }
  return r;
}

void CGNumCursor::InvalidateLineAndBox(double value) {
  if (value == kNoValue) return;
  Guard g(this);
  if (value == m_drawnPosition) return;
  CSC* s = DirectionScale();
  double shown = value;
  if (s->HasStaticDisplayOffset()) shown = s->RealToDisplayPos(shown);
  // One character more than the longer of the box and the new text: the box is widened to the
  // text only when it is drawn, after this invalidation.
  const int characters = std::max(m_boxCharacters, static_cast<int>(FormatValue(shown).size())) + 1;
  const long w = m_shadowEnabled ? 3 : 2;
  const long oldPixel = DrawnPixel();
  const long newPixel = s->PosToPixel(value);
  // The update region merges overlapping rectangles into their bounding box, and a box touches
  // the line beside it: so both boxes and both lines within the boxes' band of rows (columns
  // for a horizontal line) become one rectangle, and the lines are cut around that band.
  const bool x = m_followsX != 0;
  CRect band = BoxArea(oldPixel, characters);
  band.UnionRect(&band, BoxArea(newPixel, characters));
  const CRect lines[] = {Strip(oldPixel, w), Strip(newPixel, w)};
  CRect before[2], after[2];
  for (int i = 0; i < 2; ++i) {
    CRect inside = lines[i], head = lines[i], tail = lines[i];
    if (x) {
      inside.top = std::max(inside.top, band.top);
      inside.bottom = std::min(inside.bottom, band.bottom);
      head.bottom = std::min(head.bottom, band.top);
      tail.top = std::max(tail.top, band.bottom);
    } else {
      inside.left = std::max(inside.left, band.left);
      inside.right = std::min(inside.right, band.right);
      head.right = std::min(head.right, band.left);
      tail.left = std::max(tail.left, band.right);
    }
    if (!inside.IsRectEmpty()) band.UnionRect(&band, &inside);
    before[i] = head;
    after[i] = tail;
  }
  CGObject::Invalidate(&band);
  for (int i = 0; i < 2; ++i) {
    CGObject::Invalidate(&before[i]);
    CGObject::Invalidate(&after[i]);
  }
  m_pendingPosition = value;
}

void CGNumCursor::UpdateCursor(CPoint* pt) { UpdateCursorLogged(pt, m_logOnUpdate != 0); }

// Called without the object's lock: the position sends events 1619 and 1623 (see CGCursor).
void CGNumCursor::UpdateCursorLogged(CPoint* pt, bool log) {
  CPosition* position;
  double v;
  {
    Guard g(this);
    position = m_refPosition;
    if (position == nullptr || pt == nullptr) return;
    v = NearestValue(DirectionScale()->PixelToPos(SaturatingCast<LONG>(Coordinate(*pt))));
  }
  position->SetValue(v, 1);
  InvalidateNewPos(v);
  if (log) position->LogPosition();
}

int CGNumCursor::CaptureStep(CPoint* pt, unsigned flags, bool end) {
  if (pt == nullptr) return 1;
  CPosLink* link = nullptr;
  bool moveBox = false;
  double v = 0.0;
  {
    Guard g(this);
    if (m_refPosition == nullptr) return 1;
    const double raw = DirectionScale()->PixelToPos(SaturatingCast<LONG>(Coordinate(*pt)));
    if (m_linkMode && (flags & MK_SHIFT) && (flags & MK_CONTROL)) {
      link = static_cast<CPosLink*>(m_refPosition);
      v = NearestValue(raw);
    } else if ((flags & ~0x13u) == MK_CONTROL) {
      // Ctrl slides the box along the line; the value stays where it is.
      moveBox = true;
      const double extent = m_followsX ? m_rect.Height() : m_rect.Width();
      const double along = m_followsX ? pt->y : pt->x;
      m_boxPosition = std::clamp(along / (extent != 0.0 ? extent : 1.0), 0.0, 1.0);
      InvalidateAll();
    }
  }
  if (moveBox) {
    if (end) m_captureInProgress = 0;
    return 1;
  }
  if (link != nullptr) {
    // The pair may have stopped at an end of the axis: the line follows where the reference
    // actually went, and the reference is not written again (that would break the distance).
    link->SetValue(v, 1, 1);
    InvalidateNewPos(link->GetValue());
  } else {
    UpdateCursorLogged(pt, end);
  }
  if (end) m_captureInProgress = 0;
  return 1;
}

int CGNumCursor::OnUpdateCapture(CPoint* pt, unsigned flags) {
  return CaptureStep(pt, flags, false);
}

void CGNumCursor::OnEndCapture(CPoint* pt, unsigned flags) { CaptureStep(pt, flags, true); }
