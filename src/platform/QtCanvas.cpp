#include "platform/QtCanvas.h"

#include "platform/QtColors.h"
#include "platform/QtText.h"
#include "platform/core/MulDiv.h"

#include <QCoreApplication>
#include <QFont>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPaintDevice>
#include <QRawFont>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cmath>
#include <memory>
#include <vector>

// A font as the canvas uses it: the glyph and the whole-pixel advance of each
// of the 256 Windows-1250 bytes. Text is drawn glyph by glyph at these
// advances (no shaping, no kerning, no ligatures), so a width measured here is
// the width drawn, on every device.
struct TQtCanvas::Font {
    std::string name;
    int px = 0;
    int style = 0;
    int charSet = 0;
    QRawFont raw;
    std::array<quint32, 256> glyph{};
    std::array<int, 256> advance{};
    TTextMetrics metrics;
};

namespace {

// Fonts are shared by every canvas of the run; a document uses a handful.
std::vector<std::unique_ptr<TQtCanvas::Font>>& fontCache()
{
    static std::vector<std::unique_ptr<TQtCanvas::Font>> cache;
    static bool cleanup = [] {
        // The fonts hold Qt font engines, which must go while the
        // application still exists, not at static destruction.
        if (QCoreApplication::instance())
            qAddPostRoutine([] { fontCache().clear(); });
        return true;
    }();
    (void)cleanup;
    return cache;
}

int screenDpi(bool x)
{
    if (QGuiApplication::instance()) {
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            const qreal d = x ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
            if (d > 0)
                return int(std::lround(d));
        }
    }
    return 96;
}

} // namespace

TQtCanvas::TQtCanvas(int dpiX, int dpiY) : FDpiX(dpiX), FDpiY(dpiY) {}

TQtCanvas::TQtCanvas(QPainter* painter) : FPainter(painter)
{
    if (painter && painter->device()) {
        FDpiX = painter->device()->logicalDpiX();
        FDpiY = painter->device()->logicalDpiY();
    }
}

TQtCanvas::TQtCanvas(QPainter* painter, int dpiX, int dpiY) : FPainter(painter), FDpiX(dpiX), FDpiY(dpiY) {}

TQtCanvas::~TQtCanvas() = default;

int TQtCanvas::ScreenDpiX() { return screenDpi(true); }
int TQtCanvas::ScreenDpiY() { return screenDpi(false); }

void TQtCanvas::SetFont(const TFontDesc& desc)
{
    const int px = FontPixelSize(desc, FDpiY);
    const int style = desc.Style & (fsBold | fsItalic);
    FCurrentStyle = desc.Style;
    if (FFont && FFont->px == px && FFont->style == style && FFont->charSet == desc.CharSet &&
        FFont->name == desc.Name)
        return;
    for (const auto& f : fontCache()) {
        if (f->px == px && f->style == style && f->charSet == desc.CharSet && f->name == desc.Name) {
            FFont = f.get();
            return;
        }
    }
    auto f = std::make_unique<Font>();
    f->name = desc.Name;
    f->px = px;
    f->style = style;
    f->charSet = desc.CharSet;
    QFont qf(toQString(desc.Name));
    qf.setPixelSize(px);
    qf.setBold(style & fsBold);
    qf.setItalic(style & fsItalic);
    qf.setKerning(false);
    qf.setHintingPreference(QFont::PreferFullHinting);
    f->raw = QRawFont::fromFont(qf, QFontDatabase::Latin);
    if (f->raw.isValid()) {
        std::array<QChar, 256> chars;
        for (int b = 0; b < 256; ++b)
            chars[b] = QChar(char16_t(cp1250::toUnicode((unsigned char)b)));
        int n = 256;
        f->raw.glyphIndexesForChars(chars.data(), 256, f->glyph.data(), &n);
        std::array<QPointF, 256> adv;
        f->raw.advancesForGlyphIndexes(f->glyph.data(), adv.data(), 256, QRawFont::SeparateAdvances);
        for (int b = 0; b < 256; ++b)
            f->advance[b] = std::max(0, int(std::lround(adv[b].x())));
        f->metrics.Ascent = int(std::lround(f->raw.ascent()));
        f->metrics.Descent = int(std::lround(f->raw.descent()));
        f->metrics.ExternalLeading = std::max(0, int(std::lround(f->raw.leading())));
    } else {
        // No usable font at all: keep measuring sensibly so layout still ends.
        f->advance.fill(std::max(1, px / 2));
        f->metrics = TTextMetrics{px - px / 4, px / 4, 0};
    }
    FFont = f.get();
    fontCache().push_back(std::move(f));
}

const TQtCanvas::Font& TQtCanvas::Current() const
{
    if (!FFont)
        const_cast<TQtCanvas*>(this)->SetFont(TFontDesc{});
    return *FFont;
}

TTextMetrics TQtCanvas::Metrics() const { return Current().metrics; }

int TQtCanvas::TextWidth(std::string_view text) const
{
    const auto& adv = Current().advance;
    int w = 0;
    for (unsigned char c : text)
        w += adv[c];
    return w;
}

int TQtCanvas::TextFit(std::string_view text, int maxWidth) const
{
    const auto& adv = Current().advance;
    int w = 0;
    int n = 0;
    for (unsigned char c : text) {
        w += adv[c];
        if (w > maxWidth)
            break;
        ++n;
    }
    return n;
}

void TQtCanvas::TextOut(int x, int y, std::string_view text, TColor color, TColor back)
{
    if (!FPainter || text.empty())
        return;
    const Font& f = Current();
    if (back != clNone)
        FPainter->fillRect(QRect(x, y, TextWidth(text), f.metrics.Height()), toQColor(back));
    if (!f.raw.isValid())
        return;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(qsizetype(text.size()));
    positions.reserve(qsizetype(text.size()));
    int pen = 0;
    for (unsigned char c : text) {
        glyphs.append(f.glyph[c]);
        positions.append(QPointF(pen, 0));
        pen += f.advance[c];
    }
    QGlyphRun run;
    run.setRawFont(f.raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    const QColor ink = toQColor(color);
    FPainter->setPen(ink);
    const int baseline = y + f.metrics.Ascent;
    FPainter->drawGlyphRun(QPointF(x, baseline), run);
    // Underline and strike-out are drawn here rather than by the glyph run:
    // Qt draws a run's decorations without the painter's translation, so on
    // an off-screen bitmap of a clip area they would land elsewhere. Drawing
    // them ourselves also keeps them exactly as wide as the measured text.
    if (FCurrentStyle & (fsUnderline | fsStrikeOut)) {
        const int thickness = std::max(1, int(std::lround(f.raw.lineThickness())));
        if (FCurrentStyle & fsUnderline) {
            const int below = std::max(1, int(std::lround(f.raw.underlinePosition())));
            FPainter->fillRect(QRect(x, baseline + below, pen, thickness), ink);
        }
        if (FCurrentStyle & fsStrikeOut) {
            const int above = std::max(1, int(std::lround(f.raw.xHeight() / 2)));
            FPainter->fillRect(QRect(x, baseline - above, pen, thickness), ink);
        }
    }
}

void TQtCanvas::FillRect(const TRect& r, TColor color)
{
    if (FPainter && !r.IsEmpty())
        FPainter->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), toQColor(color));
}

void TQtCanvas::FrameRect(const TRect& r, TColor color)
{
    if (!FPainter || r.IsEmpty())
        return;
    const QColor c = toQColor(color);
    FPainter->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    FPainter->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    FPainter->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    FPainter->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TQtCanvas::Line(int x1, int y1, int x2, int y2, TColor color)
{
    if (!FPainter)
        return;
    const QColor c = toQColor(color);
    // Axis-parallel lines (the only ones the engine draws) as exact pixel
    // runs, the end point excluded.
    if (y1 == y2) {
        if (x1 != x2)
            FPainter->fillRect(QRect(std::min(x1, x2 + 1), y1, std::abs(x2 - x1), 1), c);
        return;
    }
    if (x1 == x2) {
        FPainter->fillRect(QRect(x1, std::min(y1, y2 + 1), 1, std::abs(y2 - y1)), c);
        return;
    }
    FPainter->save();
    FPainter->setPen(QPen(c, 0));
    FPainter->drawLine(x1, y1, x2, y2);
    FPainter->restore();
}

void TQtCanvas::DrawImage(int x, int y, const QImage& image)
{
    if (FPainter && !image.isNull())
        FPainter->drawImage(QPoint(x, y), image);
}

double TQtCanvas::DevicePixelRatio() const
{
    return FPainter && FPainter->device() ? FPainter->device()->devicePixelRatio() : 1.0;
}

void TQtCanvas::StretchImage(const TRect& target, const QImage& image)
{
    if (FPainter && !image.isNull() && !target.IsEmpty())
        FPainter->drawImage(QRect(target.Left, target.Top, target.Width(), target.Height()), image);
}
