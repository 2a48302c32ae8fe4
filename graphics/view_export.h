#pragma once
// Exporting a view to a file: a container with its objects and its horizontal and vertical
// ruler views, laid out as they lie in their parent window, written as PNG, PDF or SVG by the
// file's extension (see platform/export_dc.h for what each format keeps).
#include <functional>
#include <vector>

#include "platform/cstring.h"
#include "platform/export.h"
#include "platform/geometry.h"

class CDC;
class CGOContainer;
class CWnd;

// A further window laid out with the view (a zoom bar beside a ruler view, for instance): its
// window rectangle joins the page, and `print` paints it into the page's DC with its top-left
// corner at (x, y) (CZoomBar::Print has that form).
struct ExportPart {
  CWnd* window = nullptr;
  std::function<void(CDC* dc, int x, int y)> print;
};

struct ExportOptions {
  // Output pixels per view pixel: a PNG at scale 2 has twice the width and height, a PDF or
  // SVG at scale 2 draws its hairlines half as wide (its page size stays that of the view).
  double scale = 1.0;
  // Windows drawn with the view, after it and its ruler views; parts without a window are
  // left out.
  std::vector<ExportPart> parts;
};

// Writes the view of `view` to `path`. Returns TRUE when the file was written; otherwise FALSE
// with the reason in *error (if given): no view, a view without a window, an unknown extension,
// a scale out of range, or a path that cannot be written. Never leaves a partial file.
QUARLEN_API BOOL ExportView(CGOContainer* view, const CString& path, const ExportOptions& options,
                            CString* error);
// The page rectangle ExportView lays out, in the parent's client coordinates: the union of the
// window rectangles of the container, its ruler views and the options' parts. Empty without a
// window.
QUARLEN_API CRect ExportViewBounds(CGOContainer* view, const ExportOptions& options = {});
