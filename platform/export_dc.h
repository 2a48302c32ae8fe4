#pragma once
// CExportDC: a device context whose drawing goes to a file. The format follows the file's
// extension: ".png" (an image), ".pdf" (one page) or ".svg". The DC is a memory DC of the
// page's size in view pixels, so the pixel rules and read-backs (GetPixel, BitBlt from it) are
// exactly those of a window; for ".pdf" and ".svg" every line, rectangle, fill, curve and text
// run is also written as a vector element (text as text, one-pixel pens as hairlines one
// device pixel wide at the export's scale). A PNG at scale s has s x s pixels per view pixel.
//
//   CExportDC dc;
//   CString error;
//   if (!dc.Open(L"out/view.pdf", 640, 400, 2.0, &error)) ...
//   ... draw into dc ...
//   if (!dc.Close(&error)) ...  // writes the file
//
// Errors are texts, never crashes: an unknown extension, a size or scale out of range, or a
// file that cannot be written. A failed Close leaves no file behind.
#include <memory>

#include "platform/cstring.h"
#include "platform/dc.h"

class QUARLEN_API CExportDC : public CDC {
 public:
  CExportDC();
  ~CExportDC() override;

  // The formats Open knows, from a path's extension (case-insensitive); -1 for none.
  enum Format { exportPng = 0, exportPdf = 1, exportSvg = 2 };
  static int FormatOf(const CString& path);

  // Starts a page of width x height view pixels (1..16384 each) at `scale` (0.1..16 output
  // pixels per view pixel). On failure returns FALSE with the reason in *error (if given).
  BOOL Open(const CString& path, int width, int height, double scale, CString* error);
  // Finishes the page and writes the file; FALSE with the reason when it cannot be written.
  BOOL Close(CString* error);
  // The page as drawn, in view pixels (valid between Open and Close).
  const CBitmap* GetPage() const { return m_page.get(); }

 private:
  struct Output;
  std::unique_ptr<Output> m_out;
  std::unique_ptr<CBitmap> m_page;
};
