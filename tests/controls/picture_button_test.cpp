// Picture push button: theme states, placement setters, the default-button message, pictures
// from the image registry, and the pixels of the classic and themed looks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/picture_button.h"
#include "platform/dc.h"
#include "platform/image_registry.h"
#include "platform/theme.h"
#include "platform/window.h"
#include "tests/support/gui_support.h"

namespace t = quarlen::test;

namespace {

constexpr COLORREF kFace = RGB(240, 240, 240);
constexpr COLORREF kHighlight = RGB(255, 255, 255);
constexpr COLORREF kDarkShadow = RGB(105, 105, 105);
constexpr COLORREF kShadow = RGB(160, 160, 160);
constexpr COLORREF kLight = RGB(227, 227, 227);
constexpr COLORREF kMask = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(220, 0, 0);

constexpr UINT kSolidBitmap = 9101;   // 8 x 8 red
constexpr UINT kMaskedBitmap = 9102;  // 8 x 8: left half the mask colour, right half black
constexpr UINT kIcon = 9103;          // 8 x 8 opaque red
constexpr UINT kMissing = 9199;       // never registered

std::uint32_t Argb(COLORREF c) {
  return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
         GetBValue(c);
}

void RegisterImages() {
  std::vector<std::uint32_t> solid(64, Argb(kRed));
  ASSERT_TRUE(quarlen::RegisterBitmapResource(kSolidBitmap, 8, 8, solid.data()));
  ASSERT_TRUE(quarlen::RegisterIconResource(kIcon, 8, 8, solid.data()));
  std::vector<std::uint32_t> masked(64);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) masked[y * 8 + x] = Argb(x < 4 ? kMask : RGB(0, 0, 0));
  ASSERT_TRUE(quarlen::RegisterBitmapResource(kMaskedBitmap, 8, 8, masked.data()));
}

// A top-level window that records the messages it receives.
class CRecordingParent : public CWnd {
 public:
  struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Message> log;
  int Count(UINT msg) const {
    int n = 0;
    for (const Message& m : log) n += m.msg == msg ? 1 : 0;
    return n;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    log.push_back({msg, wParam, lParam});
    return CWnd::WindowProc(msg, wParam, lParam);
  }
};

class PictureButton : public ::testing::Test {
 protected:
  static constexpr int kWidth = 60;
  static constexpr int kHeight = 30;
  static constexpr UINT kId = 321;

  void SetUp() override {
    quarlen::SetClassicLook(true);
    RegisterImages();
    ASSERT_TRUE(parent.Create(nullptr, L"parent", WS_OVERLAPPED | WS_VISIBLE, {0, 0, 200, 100},
                              nullptr, 0));
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE | BS_OWNERDRAW, {10, 10, 10 + kWidth, 10 + kHeight},
                              &parent, kId));
    t::PumpUntilIdle();
  }
  void TearDown() override {
    t::SavePixelsIfFailed(button.m_hWnd, "button");
    button.DestroyWindow();
    parent.DestroyWindow();
    quarlen::UnregisterImageResource(IMAGE_BITMAP, kSolidBitmap);
    quarlen::UnregisterImageResource(IMAGE_BITMAP, kMaskedBitmap);
    quarlen::UnregisterImageResource(IMAGE_ICON, kIcon);
    quarlen::SetClassicLook(false);
  }

  // Draws the button through DrawItem on a window DC, as the owner-draw reflection does, so
  // that the item state and action are chosen by the test.
  void Draw(UINT state, UINT action = ODA_DRAWENTIRE) {
    CDC* dc = button.GetDC();
    ASSERT_NE(dc, nullptr);
    DRAWITEMSTRUCT item{
        ODT_BUTTON, kId, 0, action, state, button.m_hWnd, dc->GetSafeHdc(), {0, 0, kWidth, kHeight},
        0};
    button.DrawItem(&item);
    button.ReleaseDC(dc);
  }
  COLORREF At(int x, int y) { return t::PixelAt(button.m_hWnd, x, y); }
  // Bounding box of the pixels of one colour inside the face (frame rings excluded).
  CRect BoxOf(COLORREF colour) {
    CRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    for (int y = 2; y < kHeight - 2; ++y)
      for (int x = 2; x < kWidth - 2; ++x)
        if (At(x, y) == colour) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }

  CRecordingParent parent;
  CPButton button;
};

// ---- Theme state numbers ----

struct ThemeStateCase {
  const char* name;
  UINT itemState;
  int expected;
};

class ThemeState : public ::testing::TestWithParam<ThemeStateCase> {};

TEST_P(ThemeState, AddsTheStateNumbers) {
  CPButton button;
  EXPECT_EQ(button.ConvertStateToThemeCompatibleState(GetParam().itemState), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ThemeState,
    ::testing::Values(ThemeStateCase{"Plain", 0x00, 0}, ThemeStateCase{"Focus", 0x10, 2},
                      ThemeStateCase{"Selected", 0x01, 1}, ThemeStateCase{"FocusSelected", 0x11, 3},
                      ThemeStateCase{"Disabled", 0x04, 4}, ThemeStateCase{"Checked", 0x08, 3},
                      ThemeStateCase{"FocusCheckedSelected", 0x19, 6},
                      ThemeStateCase{"HotCountsAsFocus", 0x40, 2},
                      ThemeStateCase{"FocusAndHotOnce", 0x50, 2},
                      ThemeStateCase{"OtherBitsIgnored", 0x0222, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Placement and flags ----

TEST(PictureButtonState, PlacementSettersReturnPreviousValuesAndSwitchAutomaticPlacement) {
  CPButton button;  // no window: the setters only store
  EXPECT_TRUE(button.IsAutomaticPlacement());
  EXPECT_EQ(button.SetImagePos(CPoint(5, 6)), CPoint(0, 0));
  EXPECT_FALSE(button.IsAutomaticPlacement());
  EXPECT_EQ(button.SetImagePos(CPoint(-1, 2)), CPoint(5, 6));
  EXPECT_EQ(button.SetTextOffset(9), 4);
  EXPECT_TRUE(button.IsAutomaticPlacement());
  EXPECT_EQ(button.SetTextPos(CPoint(1, 1)), CPoint(0, 0));
  EXPECT_FALSE(button.IsAutomaticPlacement());
  EXPECT_EQ(button.SetImageOffset(7), 4);
  EXPECT_TRUE(button.IsAutomaticPlacement());
  EXPECT_EQ(button.SetImageOffset(2), 7);
  EXPECT_EQ(button.SetTextOffset(0), 9);
  // The fixed places are kept while automatic placement is on.
  EXPECT_EQ(button.GetImagePos(), CPoint(-1, 2));
  EXPECT_EQ(button.GetTextPos(), CPoint(1, 1));
}

TEST_F(PictureButton, DefaultButtonMessageGoesToTheParentOnEveryCall) {
  parent.log.clear();
  EXPECT_FALSE(button.SetDefaultButton(TRUE));
  EXPECT_TRUE(button.SetDefaultButton(TRUE));  // unchanged flag: the message still goes out
  EXPECT_TRUE(button.SetDefaultButton(FALSE));
  ASSERT_EQ(parent.Count(CPButton::kDefaultButtonMessage), 3);
  for (const auto& m : parent.log) {
    if (m.msg != 0x0401) continue;
    EXPECT_EQ(m.wParam, WPARAM{kId});
    EXPECT_EQ(m.lParam, 0);
  }
}

TEST_F(PictureButton, DefaultButtonMessageGoesToTheOwnerWhenThereIsOne) {
  CRecordingParent owner;
  ASSERT_TRUE(owner.Create(nullptr, L"owner", WS_OVERLAPPED, {0, 0, 50, 50}, nullptr, 0));
  button.SetOwner(&owner);
  parent.log.clear();
  button.SetDefaultButton(TRUE);
  EXPECT_EQ(owner.Count(0x0401), 1);
  EXPECT_EQ(parent.Count(0x0401), 0);
  button.SetOwner(nullptr);
  owner.DestroyWindow();
}

// ---- Pictures from the registry ----

struct LoadCase {
  const char* name;
  int (*load)(CPButton&);
  int expected;
};

class PictureLoad : public ::testing::TestWithParam<LoadCase> {
 protected:
  void SetUp() override { RegisterImages(); }
  void TearDown() override {
    quarlen::UnregisterImageResource(IMAGE_BITMAP, kSolidBitmap);
    quarlen::UnregisterImageResource(IMAGE_BITMAP, kMaskedBitmap);
    quarlen::UnregisterImageResource(IMAGE_ICON, kIcon);
  }
};

TEST_P(PictureLoad, AnswersOneOnlyForRegisteredImagesOfUsableSize) {
  CPButton button;
  EXPECT_EQ(GetParam().load(button), GetParam().expected);
  EXPECT_EQ(button.HasImage(), GetParam().expected == 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PictureLoad,
    ::testing::Values(
        LoadCase{"Icon", [](CPButton& b) { return b.SetIcon(kIcon, 16, 16); }, 1},
        LoadCase{"Bitmap", [](CPButton& b) { return b.SetBitmap(kSolidBitmap, 8, 8); }, 1},
        LoadCase{"MaskedBitmap",
                 [](CPButton& b) { return b.SetMaskedBitmap(kMaskedBitmap, 8, 8, kMask); }, 1},
        LoadCase{"UnregisteredIcon", [](CPButton& b) { return b.SetIcon(kMissing, 8, 8); }, 0},
        LoadCase{"UnregisteredBitmap", [](CPButton& b) { return b.SetBitmap(kMissing, 8, 8); }, 0},
        // A bitmap id is not an icon id: the two are separate name spaces.
        LoadCase{"BitmapIdAsIcon", [](CPButton& b) { return b.SetIcon(kSolidBitmap, 8, 8); }, 0},
        LoadCase{"ZeroSize", [](CPButton& b) { return b.SetBitmap(kSolidBitmap, 0, 8); }, 0},
        LoadCase{"NegativeSize", [](CPButton& b) { return b.SetIcon(kIcon, 8, -8); }, 0},
        LoadCase{"HugeSize", [](CPButton& b) { return b.SetBitmap(kSolidBitmap, 1 << 20, 8); }, 0},
        // Resource ids are 16-bit: a wider id must not alias the id of its low half.
        LoadCase{"WideIdDoesNotAlias",
                 [](CPButton& b) { return b.SetBitmap(kSolidBitmap + 0x10000, 8, 8); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PictureButton, FailedIconLoadKeepsTheBitmapAndDrawsIt) {
  ASSERT_EQ(button.SetBitmap(kSolidBitmap, 8, 8), 1);
  EXPECT_EQ(button.SetIcon(kMissing, 8, 8), 0);
  EXPECT_TRUE(button.HasImage());
  Draw(0);
  EXPECT_EQ(At((kWidth - 8) / 2, (kHeight - 8) / 2), kRed);
}

// ---- Classic pixels ----

TEST_F(PictureButton, ClassicFrameThroughTheOwnerDrawPath) {
  // Painted by the button's own WM_PAINT, reflected by the parent to DrawItem.
  button.Invalidate();
  t::PumpUntilIdle();
  EXPECT_EQ(At(0, 0), kHighlight);
  EXPECT_EQ(At(1, 1), kLight);
  EXPECT_EQ(At(kWidth - 1, kHeight - 1), kDarkShadow);
  EXPECT_EQ(At(kWidth - 2, kHeight - 2), kShadow);
  EXPECT_EQ(At(kWidth / 2, kHeight / 2), kFace);
}

TEST_F(PictureButton, DefaultButtonHasABlackFrameAroundTheFace) {
  button.SetDefaultButton(TRUE);
  Draw(0);
  EXPECT_EQ(At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(At(kWidth - 1, kHeight / 2), RGB(0, 0, 0));
  EXPECT_EQ(At(kWidth / 2, kHeight - 1), RGB(0, 0, 0));
  EXPECT_EQ(At(1, 1), kHighlight);  // the push-button frame moved one pixel in
  EXPECT_EQ(At(kWidth - 2, kHeight - 2), kDarkShadow);
}

struct TabCase {
  const char* name;
  UINT state;
  int shift;  // the content offset of a pressed button
};

class ColourTab : public PictureButton, public ::testing::WithParamInterface<TabCase> {};

TEST_P(ColourTab, EightLinesMakeATriangleInTheTopLeftCorner) {
  constexpr COLORREF kTab = RGB(0, 150, 0);
  button.SetColorTab(kTab);
  Draw(GetParam().state);
  const int o = GetParam().shift;
  // Line k runs from x = 1 to x = 8 - k (end excluded): 7 - k pixels, the last line none.
  for (int k = 0; k < 8; ++k) {
    const int y = 1 + o + k;
    for (int x = 1 + o; x < 1 + o + 7 - k; ++x)
      EXPECT_EQ(At(x, y), kTab) << "line " << k << " x " << x;
    EXPECT_NE(At(1 + o + 7 - k, y), kTab) << "line " << k << " ends before x " << 8 - k + o;
  }
  EXPECT_NE(At(1 + o, 9 + o), kTab);
}

INSTANTIATE_TEST_SUITE_P(Table, ColourTab,
                         ::testing::Values(TabCase{"Released", 0, 0},
                                           TabCase{"PressedMovesByOne", ODS_SELECTED, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PictureButton, LonePictureIsCentredAndMovesWhenPressed) {
  ASSERT_EQ(button.SetIcon(kIcon, 8, 8), 1);
  Draw(0);
  EXPECT_EQ(BoxOf(kRed), CRect(26, 11, 34, 19));
  Draw(ODS_SELECTED);
  EXPECT_EQ(BoxOf(kRed), CRect(27, 12, 35, 20));
}

TEST_F(PictureButton, PictureLeftAndTextInTheRestWithAutomaticPlacement) {
  ASSERT_EQ(button.SetBitmap(kSolidBitmap, 8, 8), 1);
  button.SetWindowText(L"Go");
  Draw(0);
  EXPECT_EQ(BoxOf(kRed), CRect(4, 11, 12, 19));
  CDC* dc = button.GetDC();
  const CSize extent = dc->GetTextExtent(CString(L"Go"));
  button.ReleaseDC(dc);
  // The text is centred in what the picture and both gaps leave, and one pixel above the
  // vertical centre.
  const int x = std::max(0, kWidth - int(extent.cx) - 4 - 8 - 4) / 2 + 4 + 8 + 4;
  const int y = ((kHeight - int(extent.cy)) >> 1) - 1;
  const CRect ink = BoxOf(RGB(0, 0, 0));
  ASSERT_FALSE(ink.IsRectEmpty());
  EXPECT_GE(ink.left, x);
  EXPECT_LE(ink.right, x + extent.cx);
  EXPECT_GE(ink.top, y);
  EXPECT_LE(ink.bottom, y + extent.cy);
}

TEST_F(PictureButton, FixedPlacesWithCentredCoordinates) {
  ASSERT_EQ(button.SetBitmap(kSolidBitmap, 8, 8), 1);
  button.SetImagePos(CPoint(5, -1));
  Draw(0);
  EXPECT_EQ(BoxOf(kRed), CRect(5, 11, 13, 19));
  button.SetImagePos(CPoint(-1, 3));
  Draw(0);
  EXPECT_EQ(BoxOf(kRed), CRect(26, 3, 34, 11));
}

TEST_F(PictureButton, CustomTextColour) {
  constexpr COLORREF kBlue = RGB(0, 0, 200);
  button.SetWindowText(L"Go");
  button.SetTextColor(kBlue);
  Draw(0);
  EXPECT_FALSE(BoxOf(kBlue).IsRectEmpty());
  // Disabled text ignores the custom colour.
  Draw(ODS_DISABLED);
  EXPECT_TRUE(BoxOf(kBlue).IsRectEmpty());
}

// Pressed text moves one pixel right, whichever way it is drawn.
struct PressedTextCase {
  const char* name;
  bool classic;
  COLORREF textColour;  // 0: default drawing
  COLORREF ink;
};

class PressedText : public PictureButton, public ::testing::WithParamInterface<PressedTextCase> {};

TEST_P(PressedText, MovesOnePixelRight) {
  quarlen::SetClassicLook(GetParam().classic);
  button.SetWindowText(L"Go");
  button.SetTextColor(GetParam().textColour);
  Draw(0);
  const CRect released = BoxOf(GetParam().ink);
  Draw(ODS_SELECTED);
  const CRect pressed = BoxOf(GetParam().ink);
  ASSERT_FALSE(released.IsRectEmpty());
  EXPECT_EQ(pressed.left, released.left + 1);
  EXPECT_EQ(pressed.right, released.right + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PressedText,
    ::testing::Values(PressedTextCase{"ClassicDefault", true, 0, RGB(0, 0, 0)},
                      PressedTextCase{"ClassicCustomColour", true, RGB(0, 0, 200), RGB(0, 0, 200)},
                      PressedTextCase{"ThemedDefault", false, 0, RGB(0, 0, 0)},
                      PressedTextCase{"ThemedCustomColour", false, RGB(0, 0, 200), RGB(0, 0, 200)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PictureButton, MaskedBitmapShowsTheFaceAndTheDisabledBitmapLeavesTheMaskOut) {
  ASSERT_EQ(button.SetMaskedBitmap(kMaskedBitmap, 8, 8, kMask), 1);
  Draw(0);
  const int x = 26, y = 11;            // centred 8 x 8
  EXPECT_EQ(At(x + 1, y + 1), kFace);  // mask colour -> button face
  EXPECT_EQ(At(x + 6, y + 1), RGB(0, 0, 0));
  Draw(ODS_DISABLED);
  // The disabled picture is the embossed outline of its non-white pixels: the black half in
  // the shadow colour with a highlight one pixel down-right; the mask half (white) untouched.
  EXPECT_EQ(At(x + 1, y + 1), kFace);
  EXPECT_EQ(At(x + 6, y + 1), kShadow);
  EXPECT_EQ(At(x + 8, y + 4), kHighlight);
}

TEST_F(PictureButton, FocusRectangleOnlyWhenEnabled) {
  Draw(0);
  const QImage plain = t::WindowPixels(button.m_hWnd);
  Draw(ODS_FOCUS);
  const QImage focused = t::WindowPixels(button.m_hWnd);
  EXPECT_NE(plain, focused);
  // Dotted: one of two neighbours on the inset frame is inverted.
  EXPECT_TRUE(At(3, 3) != kFace || At(4, 3) != kFace);
  EXPECT_EQ(At(2, 3), kFace);  // outside the inset rectangle

  Draw(ODS_FOCUS | ODS_DISABLED);
  Draw(ODS_FOCUS | ODS_DISABLED);
  for (int x = 3; x < kWidth - 3; ++x) {
    EXPECT_NE(At(x, 3), RGB(15, 15, 15)) << x;
    EXPECT_NE(At(x, kHeight - 4), RGB(15, 15, 15)) << x;
  }
}

TEST_F(PictureButton, FocusOnlyCallsToggleTheFocusRectangle) {
  Draw(0);
  const QImage plain = t::WindowPixels(button.m_hWnd);
  Draw(ODS_FOCUS, ODA_FOCUS);  // focus gained: only the rectangle is drawn
  EXPECT_NE(t::WindowPixels(button.m_hWnd), plain);
  Draw(ODS_FOCUS, ODA_FOCUS);  // no change of the focus bit: nothing drawn
  EXPECT_NE(t::WindowPixels(button.m_hWnd), plain);
  Draw(0, ODA_FOCUS);  // focus lost: the inverted rectangle is inverted back
  EXPECT_EQ(t::WindowPixels(button.m_hWnd), plain);
}

TEST_F(PictureButton, SmallButtonsInsetTheFocusRectangleByAQuarter) {
  CDC* dc = button.GetDC();
  // 12 x 12 item: inset 12 / 4 = 3 ... an 8 x 8 item: inset 2.
  dc->FillSolidRect(0, 0, kWidth, kHeight, RGB(0, 0, 0));
  DRAWITEMSTRUCT item{ODT_BUTTON,       kId,          0, ODA_FOCUS, ODS_FOCUS, button.m_hWnd,
                      dc->GetSafeHdc(), {0, 0, 8, 8}, 0};
  button.DrawItem(&item);
  button.ReleaseDC(dc);
  int inverted = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (At(x, y) != RGB(0, 0, 0)) {
        ++inverted;
        EXPECT_TRUE(x >= 2 && x < 6 && y >= 2 && y < 6) << x << "," << y;
      }
  EXPECT_GT(inverted, 0);
}

// ---- Themed look ----

// Hot and focused items share theme state 2, so they look alike unless a focus rectangle is
// drawn: classic draws it, the themed look leaves focus to the style.
struct LookCase {
  const char* name;
  bool classic;
  bool focusRectangle;
};

class Look : public PictureButton, public ::testing::WithParamInterface<LookCase> {
 protected:
  QImage DrawnFromBlack(UINT state, UINT action = ODA_DRAWENTIRE) {
    CDC* dc = button.GetDC();
    dc->FillSolidRect(0, 0, kWidth, kHeight, RGB(0, 0, 0));
    button.ReleaseDC(dc);
    Draw(state, action);
    return t::WindowPixels(button.m_hWnd);
  }
};

TEST_P(Look, FocusRectangleFollowsTheThemeAnswer) {
  quarlen::SetClassicLook(GetParam().classic);
  const QImage hot = DrawnFromBlack(ODS_HOTLIGHT);
  const QImage focused = DrawnFromBlack(ODS_FOCUS);
  EXPECT_EQ(hot != focused, GetParam().focusRectangle);
}

TEST_P(Look, FocusOnlyCallDrawsTheFaceOnlyWhenThemed) {
  quarlen::SetClassicLook(GetParam().classic);
  const QImage full = DrawnFromBlack(0);
  Draw(0, ODA_DRAWENTIRE);
  const QImage focusOnly = DrawnFromBlack(0, ODA_FOCUS);
  // Classic: a focus-only call without a change of the focus bit draws nothing at all.
  EXPECT_EQ(focusOnly == full, !GetParam().classic);
  EXPECT_EQ(focusOnly.pixel(kWidth / 2, kHeight / 2) == qRgb(0, 0, 0), GetParam().classic);
}

INSTANTIATE_TEST_SUITE_P(Table, Look,
                         ::testing::Values(LookCase{"Classic", true, true},
                                           LookCase{"Themed", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PictureButton, ThemedAndClassicFacesDiffer) {
  Draw(0);
  const QImage classic = t::WindowPixels(button.m_hWnd);
  quarlen::SetClassicLook(false);
  Draw(0);
  EXPECT_NE(t::WindowPixels(button.m_hWnd), classic);
}

TEST_F(PictureButton, NullOrDetachedDrawItemIsIgnored) {
  button.DrawItem(nullptr);
  DRAWITEMSTRUCT item{
      ODT_BUTTON, kId, 0, ODA_DRAWENTIRE, 0, button.m_hWnd, nullptr, {0, 0, kWidth, kHeight}, 0};
  button.DrawItem(&item);
  SUCCEED();
}

}  // namespace
