#include "graphics/view_export.h"

#include "graphics/container.h"
#include "graphics/ruler_views.h"
#include "platform/export_dc.h"

namespace {

// The window rectangle of `wnd` in the client coordinates of `parent`.
CRect InParent(const CWnd* wnd, const CWnd* parent) {
  CRect r;
  wnd->GetWindowRect(&r);
  if (parent != nullptr) parent->ScreenToClient(&r);
  return r;
}

bool HasLiveWindow(const CWnd* wnd) {
  return wnd != nullptr && wnd->GetSafeHwnd() != nullptr && ::IsWindow(wnd->GetSafeHwnd());
}

}  // namespace

CRect ExportViewBounds(CGOContainer* view, const ExportOptions& options) {
  if (!HasLiveWindow(view)) return CRect(0, 0, 0, 0);
  const CWnd* parent = view->GetParent();
  CRect bounds = InParent(view, parent);
  if (HasLiveWindow(view->GetHorizView()))
    bounds.UnionRect(&bounds, InParent(view->GetHorizView(), parent));
  if (HasLiveWindow(view->GetVertiView()))
    bounds.UnionRect(&bounds, InParent(view->GetVertiView(), parent));
  for (const ExportPart& part : options.parts)
    if (HasLiveWindow(part.window)) bounds.UnionRect(&bounds, InParent(part.window, parent));
  return bounds;
}

BOOL ExportView(CGOContainer* view, const CString& path, const ExportOptions& options,
                CString* error) {
  if (!HasLiveWindow(view)) {
    if (error) *error = L"no view to export";
    return FALSE;
  }
  const CRect bounds = ExportViewBounds(view, options);
  CExportDC dc;
  if (!dc.Open(path, bounds.Width(), bounds.Height(), options.scale, error)) return FALSE;
  const CWnd* parent = view->GetParent();
  const CRect area = InParent(view, parent);
  int saved = dc.SaveDC();
  view->Print(&dc, area.left - bounds.left, area.top - bounds.top);
  dc.RestoreDC(saved);
  if (CGRulerHoriz* h = view->GetHorizView(); HasLiveWindow(h)) {
    const CRect r = InParent(h, parent);
    h->Print(&dc, r.left - bounds.left, r.top - bounds.top);
  }
  if (CGRulerVerti* v = view->GetVertiView(); HasLiveWindow(v)) {
    const CRect r = InParent(v, parent);
    v->Print(&dc, r.left - bounds.left, r.top - bounds.top);
  }
  for (const ExportPart& part : options.parts) {
    if (!HasLiveWindow(part.window) || !part.print) continue;
    const CRect r = InParent(part.window, parent);
    saved = dc.SaveDC();
    part.print(&dc, r.left - bounds.left, r.top - bounds.top);
    dc.RestoreDC(saved);
  }
  return dc.Close(error);
}
