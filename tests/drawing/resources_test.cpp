// Registered images (LoadImage, LoadIcon, CreateMappedBitmap, CopyImage) and the themed look.
#include <gtest/gtest.h>

#include <QBuffer>
#include <vector>

#include "tests/support/canvas.h"
#include "platform/image_registry.h"
#include "platform/theme.h"

using quarlen::test::Canvas;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 4x2 bitmap: magenta mask colour on the left half, red on the right.
void RegisterTestBitmap(UINT id) {
  const std::vector<std::uint32_t> px = {0xFFFF00FF, 0xFFFF00FF, 0xFFFF0000, 0xFFFF0000,
                                         0xFFFF00FF, 0xFFFF00FF, 0xFFFF0000, 0xFFFF0000};
  ASSERT_TRUE(quarlen::RegisterBitmapResource(id, 4, 2, px.data()));
}

COLORREF BitmapPixel(HBITMAP bmp, int x, int y) {
  auto s = quarlen::detail::SurfaceOfBitmap(bmp);
  std::lock_guard g(s->lock);
  return quarlen::detail::ColorOfPixel(s->image.pixel(x, y));
}

CSize BitmapSize(HANDLE bmp) {
  BITMAP bm{};
  GetObjectW(bmp, sizeof bm, &bm);
  return CSize(bm.bmWidth, bm.bmHeight);
}

TEST(Images, LoadImageByIdScalesToTheRequestedSize) {
  RegisterTestBitmap(501);
  HANDLE natural = LoadImage(nullptr, MAKEINTRESOURCEW(501), IMAGE_BITMAP, 0, 0, 0);
  ASSERT_NE(natural, nullptr);
  EXPECT_EQ(BitmapSize(natural), CSize(4, 2));
  HANDLE big = LoadImage(nullptr, MAKEINTRESOURCEW(501), IMAGE_BITMAP, 8, 4, 0);
  EXPECT_EQ(BitmapSize(big), CSize(8, 4));
  EXPECT_EQ(BitmapPixel(static_cast<HBITMAP>(big), 7, 3), kRed);
  EXPECT_EQ(LoadImage(nullptr, MAKEINTRESOURCEW(502), IMAGE_BITMAP, 0, 0, 0), nullptr);
  // Bitmaps and icons are separate name spaces.
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCEW(501)), nullptr);
  DeleteObject(natural);
  DeleteObject(big);
  quarlen::UnregisterImageResource(IMAGE_BITMAP, 501);
  EXPECT_EQ(LoadImage(nullptr, MAKEINTRESOURCEW(501), IMAGE_BITMAP, 0, 0, 0), nullptr);
}

TEST(Images, MappedBitmapReplacesTheMaskColour) {
  RegisterTestBitmap(510);
  COLORMAP map{RGB(255, 0, 255), GetSysColor(COLOR_BTNFACE)};
  HBITMAP mapped = CreateMappedBitmap(nullptr, 510, 0, &map, 1);
  ASSERT_NE(mapped, nullptr);
  EXPECT_EQ(BitmapPixel(mapped, 0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(BitmapPixel(mapped, 3, 1), kRed);
  HBITMAP plain = CreateMappedBitmap(nullptr, 510, 0, &map, 0);  // no entries: unchanged
  EXPECT_EQ(BitmapPixel(plain, 0, 0), RGB(255, 0, 255));
  // CopyImage to another size, deleting the intermediate.
  HANDLE copy = CopyImage(mapped, IMAGE_BITMAP, 8, 8, LR_COPYDELETEORG);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(BitmapSize(copy), CSize(8, 8));
  EXPECT_EQ(quarlen::detail::SurfaceOfBitmap(mapped), nullptr);  // the original is gone
  EXPECT_EQ(CopyImage(nullptr, IMAGE_BITMAP, 8, 8, 0), nullptr);
  DeleteObject(plain);
  DeleteObject(copy);
}

TEST(Images, IconsDrawWithTransparencyAndDisabledLook) {
  std::vector<std::uint32_t> px(16 * 16, 0x00000000);  // transparent
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 12; ++x) px[size_t(y * 16 + x)] = 0xFFFF0000;  // opaque red square
  ASSERT_TRUE(quarlen::RegisterIconResource(520, 16, 16, px.data()));
  HICON icon = static_cast<HICON>(LoadImage(nullptr, MAKEINTRESOURCEW(520), IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(icon, nullptr);
  Canvas cv(40, 40);
  cv.dc.DrawState(CPoint(10, 10), CSize(16, 16), icon, DSS_NORMAL);
  EXPECT_EQ(cv.At(10, 10), kWhite);
  EXPECT_EQ(cv.At(14, 14), kRed);
  EXPECT_EQ(cv.InkBox(), (RECT{14, 14, 22, 22}));
  Canvas dis(40, 40);
  dis.dc.DrawState(CPoint(10, 10), CSize(16, 16), icon, DSS_DISABLED);
  EXPECT_EQ(dis.At(14, 14), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(dis.At(22, 22), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCEW(521)), nullptr);
}

TEST(Images, EncodedDataAndBadInput) {
  EXPECT_FALSE(quarlen::RegisterBitmapResource(530, "not an image", 12));
  EXPECT_FALSE(quarlen::RegisterBitmapResource(530, nullptr, 0));
  EXPECT_FALSE(quarlen::RegisterBitmapResource(530, L"/nonexistent/file.png"));
  EXPECT_FALSE(quarlen::RegisterBitmapResource(530, -1, 5, nullptr));
  // A tiny BMP in memory.
  QImage img(3, 3, QImage::Format_RGB32);
  img.fill(QColor(0, 255, 0));
  QByteArray bytes;
  {
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
  }
  ASSERT_TRUE(quarlen::RegisterBitmapResource(531, bytes.constData(), size_t(bytes.size())));
  HBITMAP b = LoadBitmapW(nullptr, MAKEINTRESOURCEW(531));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(BitmapPixel(b, 2, 2), RGB(0, 255, 0));
  DeleteObject(b);
}

// SetBitmapBits on a 3x2 bitmap holding blue: how many bytes it takes and which pixels change.
TEST(Images, SetBitmapBitsReplacesWholePixelsAsFarAsTheBitmapReaches) {
  struct Case {
    const char* name;
    bool monochrome;
    bool nullBits;
    DWORD count;
    LONG copied;
    int changedPixels;  // in row order, the rest stays blue
  };
  const Case cases[] = {
      {"whole bitmap", false, false, 24, 24, 6},
      {"more bytes than the bitmap holds", false, false, 40, 24, 6},
      {"one row and a pixel", false, false, 16, 16, 4},
      {"a partial pixel is left out", false, false, 11, 8, 2},
      {"less than one pixel", false, false, 3, 0, 0},
      {"null bits", false, true, 24, 0, 0},
      {"monochrome bitmap", true, false, 24, 0, 0},
  };
  const std::vector<std::uint32_t> green(10, 0xFF00FF00u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(3, 2, 1, c.monochrome ? 1 : 32, nullptr));
    {
      CDC mem;
      mem.CreateCompatibleDC(nullptr);
      CBitmap* old = mem.SelectObject(&bmp);
      CBrush blue(RGB(0, 0, 255));
      CRect all(0, 0, 3, 2);
      mem.FillRect(&all, &blue);
      mem.SelectObject(old);
    }
    const COLORREF before = BitmapPixel(bmp, 0, 0);
    EXPECT_EQ(bmp.SetBitmapBits(c.count, c.nullBits ? nullptr : green.data()), DWORD(c.copied));
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(BitmapPixel(bmp, i % 3, i / 3), i < c.changedPixels ? RGB(0, 255, 0) : before)
          << "pixel " << i;
    }
  }
  EXPECT_EQ(SetBitmapBits(nullptr, 24, green.data()), 0);
}

TEST(Theme, ClassicSwitchAndThemeCheckLibraries) {
  quarlen::SetClassicLook(true);
  EXPECT_FALSE(IsAppThemed());
  EXPECT_EQ(OpenThemeData(nullptr, L"Button"), nullptr);
  quarlen::SetClassicLook(false);
  EXPECT_TRUE(IsAppThemed());
  EXPECT_EQ(OpenThemeData(nullptr, L"Unknown"), nullptr);
  HMODULE ux = LoadLibraryW(L"uxtheme.dll");
  ASSERT_NE(ux, nullptr);
  auto themed =
      reinterpret_cast<BOOL (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(ux, "IsAppThemed")));
  ASSERT_NE(themed, nullptr);
  EXPECT_TRUE(themed());
  EXPECT_EQ(GetProcAddress(ux, "Nothing"), nullptr);
  EXPECT_TRUE(FreeLibrary(ux));
  HMODULE cc = LoadLibraryW(L"COMCTL32.DLL");
  auto version = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void (*)()>(GetProcAddress(cc, "DllGetVersion")));
  ASSERT_NE(version, nullptr);
  DLLVERSIONINFO info{sizeof(DLLVERSIONINFO), 0, 0, 0, 0};
  EXPECT_EQ(version(&info), S_OK);
  EXPECT_GT(info.dwMajorVersion, 5u);
  EXPECT_EQ(LoadLibraryW(L"other.dll"), nullptr);
  OSVERSIONINFOW os{};
  os.dwOSVersionInfoSize = sizeof os;
  ASSERT_TRUE(GetVersionExW(&os));
  EXPECT_GE(os.dwMajorVersion * 10 + os.dwMinorVersion, 51u);
}

TEST(Theme, PushButtonBackgroundStaysInsideItsRectangle) {
  HTHEME theme = OpenThemeData(nullptr, L"Button");
  ASSERT_NE(theme, nullptr);
  Canvas cv(80, 40);
  RECT rc{10, 5, 70, 35};
  for (int state : {PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED, PBS_DEFAULTED}) {
    EXPECT_EQ(DrawThemeBackground(theme, cv.dc.GetSafeHdc(), BP_PUSHBUTTON, state, &rc, nullptr),
              S_OK);
  }
  const RECT ink = cv.InkBox();
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.right, 70);
  EXPECT_LE(ink.bottom, 35);
  EXPECT_FALSE(cv.Ink().empty());
  RECT content{};
  ASSERT_EQ(GetThemeBackgroundContentRect(theme, cv.dc.GetSafeHdc(), BP_PUSHBUTTON, PBS_NORMAL, &rc,
                                          &content),
            S_OK);
  EXPECT_GE(content.left, rc.left);
  EXPECT_LE(content.right, rc.right);
  EXPECT_LT(content.left, content.right);
  Canvas text(80, 40);
  text.dc.SelectStockObject(ANSI_VAR_FONT);
  EXPECT_EQ(DrawThemeText(theme, text.dc.GetSafeHdc(), BP_PUSHBUTTON, PBS_DISABLED, L"Go", -1,
                          DT_SINGLELINE | DT_CENTER | DT_VCENTER, 0, &rc),
            S_OK);
  EXPECT_FALSE(text.Pixels(GetSysColor(COLOR_GRAYTEXT)).empty() && text.Ink().empty());
  EXPECT_EQ(text.dc.GetTextColor(), RGB(0, 0, 0));  // DC state restored
  EXPECT_EQ(CloseThemeData(theme), S_OK);
  EXPECT_NE(CloseThemeData(theme), S_OK);
  EXPECT_NE(DrawThemeBackground(theme, cv.dc.GetSafeHdc(), BP_PUSHBUTTON, 1, &rc, nullptr), S_OK);
}

}  // namespace
