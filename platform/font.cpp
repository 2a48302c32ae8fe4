// Logical fonts: how a LOGFONTW maps onto a Qt font, and the text metrics of the result.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QString>
#include <QTextLayout>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <unordered_map>

#include "platform/detail/gdi_objects.h"
#include "platform/detail/text.h"

namespace quarlen::detail {
namespace {

std::atomic<bool> g_smoothing{true};

QString FaceOf(const LOGFONTW& lf) {
  QString face;
  for (int i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i)
    face += QChar(char16_t(lf.lfFaceName[i]));
  const QString key = face.toLower();
  // Faces every Windows desktop has, mapped to metric-similar faces that are installed here.
  if (key == "ms sans serif" || key == "microsoft sans serif" || key == "ms shell dlg" ||
      key == "ms shell dlg 2" || key == "arial" || key == "tahoma" || key == "segoe ui" ||
      key == "verdana" || key == "system")
    return QStringLiteral("DejaVu Sans");
  if (key == "courier new" || key == "courier" || key == "fixedsys" || key == "terminal" ||
      key == "consolas" || key == "lucida console")
    return QStringLiteral("DejaVu Sans Mono");
  if (key == "times new roman" || key == "ms serif" || key == "georgia")
    return QStringLiteral("DejaVu Serif");
  if (!face.isEmpty()) return face;
  const int family = lf.lfPitchAndFamily & 0xF0;
  if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || family == FF_MODERN)
    return QStringLiteral("DejaVu Sans Mono");
  if (family == FF_ROMAN) return QStringLiteral("DejaVu Serif");
  return QStringLiteral("DejaVu Sans");
}

QFont::StyleHint HintOf(const LOGFONTW& lf) {
  switch (lf.lfPitchAndFamily & 0xF0) {
    case FF_ROMAN:
      return QFont::Serif;
    case FF_MODERN:
      return QFont::TypeWriter;
    case FF_SCRIPT:
      return QFont::Cursive;
    case FF_DECORATIVE:
      return QFont::Decorative;
    default:
      return QFont::SansSerif;
  }
}

}  // namespace

void SetFontSmoothing(bool on) { g_smoothing = on; }
bool FontSmoothing() { return g_smoothing; }

namespace {

// The Qt font of a logical font at a given pixel size. Built per thread (see FontFor): a QFont
// caches its font engine per thread inside its shared data, so one QFont object must not be
// used by two threads at once.
QFont BuildFont(const LOGFONTW& lf, int pixelSize, bool smoothing) {
  QFont font(FaceOf(lf));
  font.setStyleHint(HintOf(lf), QFont::PreferMatch);
  font.setKerning(false);  // the drawing interface applies no pair kerning
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setFixedPitch((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH);
  const LONG w = lf.lfWeight == 0 ? FW_NORMAL : std::clamp<LONG>(lf.lfWeight, 100, 900);
  font.setWeight(QFont::Weight(w));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  bool smooth = smoothing;
  if (lf.lfQuality == NONANTIALIASED_QUALITY) smooth = false;
  if (lf.lfQuality == ANTIALIASED_QUALITY || lf.lfQuality == CLEARTYPE_QUALITY) smooth = true;
  font.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
  font.setPixelSize(std::max(1, pixelSize));
  return font;
}

}  // namespace

const QFont& FontFor(const FontData& f) {
  if (std::this_thread::get_id() == f.creator) return f.font;
  thread_local std::unordered_map<std::uint64_t, QFont> cache;
  auto it = cache.find(f.id);
  if (it != cache.end()) return it->second;
  if (cache.size() > 512) cache.clear();
  return cache.emplace(f.id, BuildFont(f.logFont, f.pixelSize, f.smoothing)).first->second;
}

namespace {

std::shared_ptr<FontData> BuildFontData(const LOGFONTW& lfIn, bool smoothing) {
  auto f = std::make_shared<FontData>();
  f->creator = std::this_thread::get_id();
  f->smoothing = smoothing;
  f->logFont = lfIn;
  const LOGFONTW& lf = f->logFont;
  const LONG w = lf.lfWeight == 0 ? FW_NORMAL : std::clamp<LONG>(lf.lfWeight, 100, 900);
  QFont font = BuildFont(lf, 12, f->smoothing);
  // Height: negative = character (em) height, positive = cell height (ascent + descent; the
  // largest size whose cell does not exceed it), zero = the default 12-pixel em.
  const long long h = lf.lfHeight;
  const int limit = 2048;
  if (h <= 0) {
    font.setPixelSize(int(std::clamp<long long>(h == 0 ? 12 : -h, 1, limit)));
  } else {
    const int cell = int(std::min<long long>(h, limit));
    int px = cell;
    font.setPixelSize(px);
    for (int i = 0; i < 64 && px > 1; ++i) {
      QFontMetrics fm(font);
      const int got = fm.ascent() + fm.descent();
      if (got <= cell) break;
      px = std::max(1, std::min(px - 1, px * cell / std::max(got, 1)));
      font.setPixelSize(px);
    }
  }
  f->font = font;
  f->pixelSize = font.pixelSize();
  QFontMetrics fm(font);
  f->ascent = fm.ascent();
  f->descent = fm.descent();
  TEXTMETRICW& tm = f->metrics;
  tm.tmAscent = f->ascent;
  tm.tmDescent = f->descent;
  tm.tmHeight = f->ascent + f->descent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - font.pixelSize());
  tm.tmExternalLeading = std::max(0, fm.leading());
  tm.tmAveCharWidth = fm.averageCharWidth();
  tm.tmMaxCharWidth = fm.maxWidth();
  tm.tmWeight = w;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = lf.lfItalic;
  tm.tmUnderlined = lf.lfUnderline;
  tm.tmStruckOut = lf.lfStrikeOut;
  // The pitch bit is inverted: set means variable pitch.
  const bool fixed = QFontInfo(font).fixedPitch();
  tm.tmPitchAndFamily = BYTE((lf.lfPitchAndFamily & 0xF0) | (fixed ? 0 : TMPF_FIXED_PITCH) |
                             TMPF_VECTOR | TMPF_TRUETYPE);
  tm.tmCharSet = lf.lfCharSet;
  // Escapement in tenths of a degree, counter-clockwise on screen.
  f->angle = double(lf.lfEscapement % 3600) / 10.0;
  return f;
}

}  // namespace

std::shared_ptr<FontData> MakeFont(const LOGFONTW& lfIn) {
  // Matching the size and reading the metrics costs far more than the copy, and code that
  // creates its font for every draw is common: the fonts built on this thread are kept by what
  // they were built from (their QFont belongs to this thread, see FontFor).
  struct Key {
    LOGFONTW logFont;
    bool smoothing;
    bool operator==(const Key& o) const {
      return smoothing == o.smoothing && std::memcmp(&logFont, &o.logFont, sizeof logFont) == 0;
    }
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return qHashBits(&k.logFont, sizeof k.logFont, k.smoothing);
    }
  };
  thread_local std::unordered_map<Key, std::shared_ptr<const FontData>, KeyHash> built;
  static std::atomic<std::uint64_t> nextId{1};
  const Key key{lfIn, g_smoothing};
  auto it = built.find(key);
  if (it == built.end()) {
    if (built.size() > 256) built.clear();
    it = built.emplace(key, BuildFontData(lfIn, key.smoothing)).first;
  }
  auto f = std::make_shared<FontData>(*it->second);
  f->id = nextId++;
  return f;
}

namespace {

// Text that QTextLayout and QPainter::drawText lay out alike: no control characters (drawText
// treats line breaks and tabs specially) and nothing from the right-to-left or complex scripts
// onwards (U+0590), so no bidirectional reordering is involved.
bool PlainText(const QString& s) {
  for (QChar c : s)
    if (c.unicode() < 0x20 || c.unicode() >= 0x0590) return false;
  return true;
}

// Keyed by what the Qt font is built from rather than by the font object: code that makes its
// font anew for every draw (a common pattern) still finds the texts it drew before.
struct ShapeKey {
  LOGFONTW logFont;
  int pixelSize;
  bool smoothing;
  QString text;
  bool operator==(const ShapeKey& o) const {
    return pixelSize == o.pixelSize && smoothing == o.smoothing && text == o.text &&
           std::memcmp(&logFont, &o.logFont, sizeof logFont) == 0;
  }
};
struct ShapeKeyHash {
  size_t operator()(const ShapeKey& k) const {
    return qHash(k.text, size_t(k.pixelSize) * 2 + k.smoothing);
  }
};

}  // namespace

const ShapedText& ShapeText(const FontData& f, const QString& s) {
  // Per thread: QGlyphRun and QFont share font engine data that is not safe to use from two
  // threads at once.
  thread_local std::unordered_map<ShapeKey, ShapedText, ShapeKeyHash> cache;
  ShapeKey key{f.logFont, f.pixelSize, f.smoothing, s};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() > 2048) cache.clear();
  const QFont& font = FontFor(f);
  ShapedText shaped;
  shaped.width = QFontMetrics(font).horizontalAdvance(s);
  if (!font.underline() && !font.strikeOut() && !font.overline() && PlainText(s)) {
    QTextLayout layout(s, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    shaped.runs = layout.glyphRuns();
    shaped.runsUsable = line.isValid();
    // One line on one baseline: move it to y = 0.
    for (QGlyphRun& run : shaped.runs) {
      QList<QPointF> pos = run.positions();
      if (pos.isEmpty()) continue;
      const qreal baseline = pos.front().y();
      for (QPointF& p : pos) p.ry() -= baseline;
      run.setPositions(pos);
    }
  }
  return cache.emplace(std::move(key), std::move(shaped)).first->second;
}

int TextWidth(const FontData& f, const QString& s) { return ShapeText(f, s).width; }

}  // namespace quarlen::detail

namespace quarlen {
void SetFontSmoothing(bool on) { detail::SetFontSmoothing(on); }
}  // namespace quarlen
