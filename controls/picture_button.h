#pragma once
// CPButton: an owner-drawn push button that shows an icon or a bitmap together with its window
// text, themed when the style engine offers a themed look and classic otherwise.
//
// Pictures come from the application's registered images (platform/image_registry.h) by id.
// A masked bitmap has one colour replaced by the button face, and its disabled twin has the
// same colour replaced by white, so that the disabled look (an embossed outline of the
// non-white pixels) leaves the masked area out. The button owns every picture it loaded and
// frees it when the picture is replaced and in its destructor.
//
// Placement is automatic by default: the picture sits image-offset pixels from the left edge,
// the text is centred in what is left to its right, both centred vertically; a lone picture or
// a lone text is centred in both directions. SetImagePos / SetTextPos switch to fixed places
// (a coordinate of -1 is centred); SetImageOffset / SetTextOffset switch back.
//
// A pressed button shows its picture and text one pixel down and to the right (unless it is
// in picture-only mode); text in a custom colour, and themed text, is drawn as one line
// centred vertically below its place.
//
// The owner creates the button with the BS_OWNERDRAW style; the platform reflects WM_DRAWITEM
// to DrawItem. All calls belong to the GUI thread.
#include "platform/dialog.h"
#include "platform/export.h"
#include "platform/geometry.h"
#include "platform/types.h"

class CDC;

class QUARLEN_API CPButton : public CButton {
  DECLARE_DYNAMIC(CPButton)

 public:
  // Sent to the owner (or the parent) by SetDefaultButton: wParam = control id, lParam = 0.
  static constexpr UINT kDefaultButtonMessage = 0x0401;

  CPButton() = default;
  ~CPButton() override;

  // The registered icon `id` at cx x cy. The current icon is destroyed first. 1 on success
  // (the bitmap pictures are released, the size stored, the button redrawn), 0 when there is
  // no such icon (the button then shows its bitmap, if it has one).
  int SetIcon(UINT id, int cx, int cy);
  // The registered bitmap `id` scaled to cx x cy, colours unchanged. The current pictures are
  // released first. 1 on success, 0 when there is no such bitmap.
  int SetBitmap(UINT id, int cx, int cy);
  // The same with the colour `mask` shown as the button face (and as white when disabled).
  int SetMaskedBitmap(UINT id, int cx, int cy, COLORREF mask);

  // Fixed places (a -1 coordinate is centred in the client area); automatic placement off.
  // Each returns the previous position.
  CPoint SetImagePos(CPoint point);
  CPoint SetTextPos(CPoint point);
  // Gaps of the automatic placement; automatic placement on. Each returns the previous gap.
  int SetImageOffset(int offset);
  int SetTextOffset(int offset);

  // Sends kDefaultButtonMessage on every call (also when the flag does not change), then
  // stores the flag; a default button has a one-pixel black frame around its face. Returns
  // the previous flag.
  BOOL SetDefaultButton(BOOL on);
  // A small triangle of this colour in the top-left corner of the face.
  void SetColorTab(COLORREF color);
  // Text in this colour; 0 restores the default text drawing.
  void SetTextColor(COLORREF color);
  // Picture only: no frame, no focus rectangle, no pressed offset.
  void SetPictureOnlyMode(bool on);
  bool HasImage() const { return m_icon != nullptr || m_bitmap != nullptr; }

  // The theme state number of an owner-draw item state: 2 for focus or hot, 4 for disabled,
  // 1 for selected and 3 for checked, added up.
  int ConvertStateToThemeCompatibleState(UINT itemState) const;

  void DrawItem(LPDRAWITEMSTRUCT item) override;

  // Read-only views of the placement state.
  CPoint GetImagePos() const { return m_imagePos; }
  CPoint GetTextPos() const { return m_textPos; }
  int GetImageOffset() const { return m_imageOffset; }
  int GetTextOffset() const { return m_textOffset; }
  bool IsAutomaticPlacement() const { return m_autoPlacement != FALSE; }
  BOOL IsDefaultButton() const { return m_defaultButton; }

 private:
  int LoadBitmaps(UINT id, int cx, int cy, COLORREF mask, bool masked);
  void FreeIcon();
  void FreeBitmaps();
  // Replaces -1 coordinates by the centred place of a w x h item in the client area.
  void CheckPointForCentering(CPoint& point, int w, int h) const;
  void Redraw();
  // Stores a place or an offset, switches placement to fixed or automatic, redraws, and
  // answers the previous value.
  template <class T>
  T SetPlacement(T& field, T value, BOOL automatic) {
    const T previous = field;
    field = value;
    m_autoPlacement = automatic;
    Redraw();
    return previous;
  }

  BOOL m_drawFrame = TRUE;
  BOOL m_drawFocus = TRUE;
  BOOL m_autoPlacement = TRUE;
  CPoint m_imagePos{0, 0};
  CPoint m_textPos{0, 0};
  int m_imageOffset = 4;
  int m_textOffset = 4;
  HICON m_icon = nullptr;
  HBITMAP m_bitmap = nullptr;
  HBITMAP m_disabledBitmap = nullptr;
  int m_imageWidth = 0;
  int m_imageHeight = 0;
  bool m_colorTabOn = false;
  COLORREF m_colorTabColor = 0;
  COLORREF m_textColor = 0;
  BOOL m_defaultButton = FALSE;
  UINT m_lastItemAction = 0;
  UINT m_lastItemState = 0;
};
