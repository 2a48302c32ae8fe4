// The drawing cases of tools/gdi-reference drawn with CDC and compared with the committed
// reference images in tests/drawing/reference/, which scripts/gdi-reference produced with an
// independent implementation of the Windows drawing interface. A case must match pixel for
// pixel unless the case table gives it a tolerance and the reason; a failing case leaves the
// side-by-side image (reference | ours | difference) in the test output directory.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/gui_support.h"
#include "tools/gdi-reference/cdc_painter.h"

namespace quarlen::gdiref {
// Failure messages name the case.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
}  // namespace quarlen::gdiref

namespace {

using quarlen::gdiref::Case;

std::vector<Case> AllCases() {
  const Case* c = quarlen::gdiref::Cases();
  return std::vector<Case>(c, c + quarlen::gdiref::CaseCount());
}

QString ReferencePath(const Case& c) {
  return QStringLiteral(QUARLEN_GDI_REFERENCE_DIR "/") + QString::fromUtf8(c.name) + ".png";
}

class GdiReference : public ::testing::TestWithParam<Case> {};

TEST_P(GdiReference, MatchesTheReferenceImage) {
  const Case& c = GetParam();
  const QImage reference(ReferencePath(c));
  ASSERT_FALSE(reference.isNull()) << "no reference image " << ReferencePath(c).toStdString();
  ASSERT_EQ(reference.width(), c.width);
  ASSERT_EQ(reference.height(), c.height);
  const QImage ours = quarlen::gdiref::DrawWithCdc(c);
  const int differing = quarlen::gdiref::DifferingPixels(reference, ours);
  EXPECT_LE(differing, c.tolerance) << c.name << (c.caveat ? std::string(": ") + c.caveat : "");
  if (HasFailure()) {
    const std::string path =
        quarlen::test::SaveImage(quarlen::gdiref::SideBySide(reference, ours), "side_by_side");
    std::fprintf(stderr, "reference | ours | difference saved to %s\n", path.c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GdiReference, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GdiReferenceTable, EveryToleranceHasItsReason) {
  for (const Case& c : AllCases()) {
    EXPECT_GE(c.tolerance, 0) << c.name;
    EXPECT_EQ(c.tolerance > 0, c.caveat != nullptr) << c.name;
    // A tolerance is for a detail of a primitive, never for a case that is mostly different.
    EXPECT_LT(c.tolerance, c.width * c.height / 8) << c.name;
  }
}

TEST(GdiReferenceTable, NamesAreUniqueFileNames) {
  std::set<std::string> seen;
  for (const Case& c : AllCases()) {
    const std::string name = c.name;
    EXPECT_TRUE(seen.insert(name).second) << "duplicate " << name;
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_"
                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              std::string::npos)
        << name;
  }
}

// The reference side paints frames and edges in the colours of the case table; they must be
// the library's, or the frame cases compare different colours.
TEST(GdiReferenceTable, SystemColoursAreTheLibrarys) {
  EXPECT_EQ(quarlen::gdiref::SystemColourMismatches().toStdString(), "");
}

}  // namespace
