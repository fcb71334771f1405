#include "platform/ImageList.h"
#include "platform/QtCanvas.h"
#include "platform/TestCanvas.h"
#include "platform/core/Cp1250.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <vector>

namespace {

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// Horizontal extent of the non-white pixels: [first, last] columns, or
// (-1, -1) when the image is blank.
std::pair<int, int> inkColumns(const QImage& img)
{
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (img.pixel(x, y) != qRgb(255, 255, 255)) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

const TFontDesc serif14{"Times New Roman", 14, EASTEUROPE_CHARSET, 0, clBlack};

} // namespace

TEST(QtCanvas, MeasuresWholePixelsThatAddUpAndFitAgreesWithWidth)
{
    TQtCanvas c(96, 96);
    c.SetFont(serif14);
    const std::string text = cp1250::fromUtf8("Zażółć gęślą jaźń, § 12 ust. 3 — Kodeks");
    int sum = 0;
    for (char ch : text)
        sum += c.TextWidth(std::string_view(&ch, 1));
    EXPECT_EQ(c.TextWidth(text), sum);
    EXPECT_GT(sum, 100);

    const int w = c.TextWidth(text);
    EXPECT_EQ(c.TextFit(text, w), int(text.size()));
    EXPECT_EQ(c.TextFit(text, w - 1), int(text.size()) - 1);
    EXPECT_EQ(c.TextFit(text, 0), 0);
    const int part = c.TextWidth(std::string_view(text).substr(0, 10));
    EXPECT_EQ(c.TextFit(text, part), 10);

    const TTextMetrics m = c.Metrics();
    EXPECT_GT(m.Ascent, 0);
    EXPECT_GT(m.Descent, 0);
    EXPECT_GE(m.ExternalLeading, 0);
    // 14 pt at 96 dpi is a 19-pixel font; its cell is about that high.
    EXPECT_GE(m.Height(), 17);
    EXPECT_LE(m.Height(), 26);
}

TEST(QtCanvas, FontSizeFollowsTheDeviceResolution)
{
    TQtCanvas screen(96, 96), printer(600, 600);
    screen.SetFont(serif14);
    printer.SetFont(serif14);
    const std::string text = "Art. 512. Kto gasi";
    const double ratio = double(printer.TextWidth(text)) / screen.TextWidth(text);
    EXPECT_NEAR(ratio, 600.0 / 96.0, 0.5);
    EXPECT_GT(printer.Metrics().Height(), 5 * screen.Metrics().Height());
}

TEST(QtCanvas, TextDrawnInPiecesEqualsTextDrawnWhole)
{
    // What is measured is what is drawn: the second half written at the
    // measured width of the first half gives the same pixels as one call.
    const std::string text = cp1250::fromUtf8("Wolno mi? Kaźdy fiord, ŁÓDŹ, 'ffi' AVA To.");
    QImage whole = blank(600, 40), parts = blank(600, 40);
    {
        QPainter p(&whole);
        TQtCanvas c(&p, 96, 96);
        c.SetFont(serif14);
        c.TextOut(3, 5, text, clBlack);
    }
    {
        QPainter p(&parts);
        TQtCanvas c(&p, 96, 96);
        c.SetFont(serif14);
        const std::string_view v = text;
        size_t at = 0;
        for (size_t cut : {size_t(7), size_t(19), size_t(30), v.size()}) {
            c.TextOut(3 + c.TextWidth(v.substr(0, at)), 5, v.substr(at, cut - at), clBlack);
            at = cut;
        }
    }
    EXPECT_NE(inkColumns(whole).first, -1);
    EXPECT_EQ(whole, parts);
}

TEST(QtCanvas, UnderlineFollowsThePainterOriginAndSpansTheMeasuredWidth)
{
    // Painting draws a clip area into an off-screen bitmap through a moved
    // origin; the underline of a link must move with its glyphs.
    const TFontDesc link{"Times New Roman", 14, EASTEUROPE_CHARSET, fsUnderline, clBlack};
    const std::string text = "Dz. U. 1998";
    for (const QPoint origin : {QPoint(0, 0), QPoint(-40, -25), QPoint(30, 12)}) {
        QImage img = blank(300, 80);
        QPainter p(&img);
        p.translate(origin);
        TQtCanvas c(&p, 96, 96);
        c.SetFont(link);
        const int x = 50 - origin.x(), y = 20 - origin.y();
        c.TextOut(x, y, text, clBlack);
        const int w = c.TextWidth(text);
        const TTextMetrics m = c.Metrics();
        p.end();
        // The underline is the lowest row below the baseline that is inked
        // across the whole measured width, and nothing is inked outside it.
        int underlineRow = -1;
        for (int row = 20 + m.Ascent; row < 20 + m.Ascent + m.Descent; ++row) {
            bool full = true;
            for (int col = 50; col < 50 + w && full; ++col)
                full = img.pixel(col, row) != qRgb(255, 255, 255);
            if (full)
                underlineRow = row;
        }
        EXPECT_GE(underlineRow, 20 + m.Ascent) << origin.x() << "," << origin.y();
        EXPECT_EQ(img.pixel(50 + w, underlineRow), qRgb(255, 255, 255));
        EXPECT_EQ(inkColumns(img).first >= 50, true);
        EXPECT_LT(inkColumns(img).second, 50 + w + 2);
    }
}

TEST(QtCanvas, InkStaysWithinTheMeasuredCellAndTheBackgroundFillsIt)
{
    QImage img = blank(400, 60);
    const std::string text = "HHHH mmm";
    int w = 0, h = 0;
    {
        QPainter p(&img);
        TQtCanvas c(&p, 96, 96);
        c.SetFont(TFontDesc{"DejaVu Sans", 12, DEFAULT_CHARSET, 0, clBlack});
        w = c.TextWidth(text);
        h = c.Metrics().Height();
        c.TextOut(10, 10, text, clBlack);
    }
    const auto [first, last] = inkColumns(img);
    EXPECT_GE(first, 10);
    EXPECT_LT(last, 10 + w);

    QImage back = blank(400, 60);
    {
        QPainter p(&back);
        TQtCanvas c(&p, 96, 96);
        c.SetFont(TFontDesc{"DejaVu Sans", 12, DEFAULT_CHARSET, 0, clBlack});
        c.TextOut(10, 10, text, clWhite, clBlue);
    }
    EXPECT_EQ(back.pixel(10, 10), qRgb(0, 0, 255));
    EXPECT_EQ(back.pixel(10 + w - 1, 10 + h - 1), qRgb(0, 0, 255));
    EXPECT_EQ(back.pixel(10 + w, 10), qRgb(255, 255, 255));
    EXPECT_EQ(back.pixel(9, 10), qRgb(255, 255, 255));
    EXPECT_EQ(back.pixel(10, 10 + h), qRgb(255, 255, 255));
}

TEST(QtCanvas, LinesExcludeTheirEndPointAndFramesStayInside)
{
    QImage img = blank(30, 30);
    {
        QPainter p(&img);
        TQtCanvas c(&p);
        c.Line(2, 3, 12, 3, clBlack);
        c.Line(20, 2, 20, 8, clRed);
        c.FrameRect(TRect{5, 10, 15, 20}, clBlue);
    }
    EXPECT_EQ(img.pixel(2, 3), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(11, 3), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(12, 3), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(20, 7), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(20, 8), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(5, 10), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(14, 19), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(15, 19), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(10, 15), qRgb(255, 255, 255));
}

TEST(TestCanvas, DeterministicMetricsFromThePixelSize)
{
    TTestCanvas c(72, 72);
    c.SetFont(TFontDesc{"X", 20});
    EXPECT_EQ(c.PixelSize(), 20);
    EXPECT_EQ(c.TextWidth("abc"), 30);
    EXPECT_EQ(c.TextFit("abcdef", 39), 3);
    EXPECT_EQ(c.TextFit("abcdef", 40), 4);
    EXPECT_EQ(c.Metrics().Ascent, 15);
    EXPECT_EQ(c.Metrics().Descent, 5);
    EXPECT_EQ(c.Metrics().ExternalLeading, 2);

    TTestCanvas hi(96, 96);
    hi.Advance = [](const TFontDesc&, int, unsigned char ch) { return ch == ' ' ? 3 : 7; };
    hi.SetFont(TFontDesc{"X", 10});
    EXPECT_EQ(hi.PixelSize(), 13);
    EXPECT_EQ(hi.TextWidth("a b"), 17);
}

TEST(ImageList, ScalesToItsSizeBlendsWhenSelectedAndIgnoresBadIndexes)
{
    TImageList il(16, 15);
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    EXPECT_EQ(il.Add(red), 0);
    EXPECT_EQ(il.Image(0).size(), QSize(16, 15));
    EXPECT_TRUE(il.Image(1).isNull());

    QImage img = blank(40, 20);
    {
        QPainter p(&img);
        TQtCanvas c(&p);
        il.Draw(c, 0, 0, 0);
        il.Draw(c, 20, 0, 0, true, clBlue);
        il.Draw(c, 20, 0, 7); // nothing
    }
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(25, 5), qRgb(127, 0, 127));
    EXPECT_EQ(img.pixel(36, 5), qRgb(255, 255, 255));
}

namespace {

// A picture with detail at the device pixel: a checkerboard of single
// device pixels, which a picture blown up from ratio 1 cannot show.
QImage checkerboard(QSize logical, qreal ratio)
{
    QImage img(int(std::ceil(logical.width() * ratio)), int(std::ceil(logical.height() * ratio)),
               QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    img.setDevicePixelRatio(ratio);
    return img;
}

} // namespace

TEST(ImageList, DrawnPicturesAreMadeAtTheRatioOfTheDeviceTheyGoTo)
{
    TImageList il(16, 15);
    std::vector<qreal> asked;
    il.Add([&asked](qreal r) {
        asked.push_back(r);
        return checkerboard(QSize(16, 15), r);
    });
    // The list's own image is there at once, at ratio 1.
    EXPECT_EQ(il.Image(0).size(), QSize(16, 15));
    EXPECT_EQ(asked, std::vector<qreal>{1.0});
    const QImage dwa = il.Image(0, 2.0);
    EXPECT_EQ(dwa.size(), QSize(32, 30));
    EXPECT_EQ(dwa.devicePixelRatio(), 2.0);
    EXPECT_EQ(il.Image(0, 1.5).size(), QSize(24, 23));
    // Made once per ratio.
    il.Image(0, 2.0);
    EXPECT_EQ(asked.size(), 3u);

    // Drawn on a 200 % device: the list's 16 x 15 cell, every device pixel
    // of the picture's own.
    QImage ekran(80, 60, QImage::Format_RGB32);
    ekran.setDevicePixelRatio(2.0);
    ekran.fill(Qt::red);
    {
        QPainter p(&ekran);
        TQtCanvas c(&p);
        EXPECT_EQ(c.DevicePixelRatio(), 2.0);
        il.Draw(c, 4, 2, 0);
    }
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(ekran.pixel(8 + x, 4 + y), dwa.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(ekran.pixel(8 + 32, 4), qRgb(255, 0, 0));
    EXPECT_EQ(ekran.pixel(8, 4 + 30), qRgb(255, 0, 0));

    // A plain image has one resolution only; icons of the list follow the
    // ratio they are asked at.
    QImage red(16, 15, QImage::Format_RGB32);
    red.fill(Qt::red);
    il.Add(red);
    EXPECT_EQ(il.Image(1, 2.0).size(), QSize(16, 15));
    const QPixmap ikona = il.Icon(0).pixmap(QSize(16, 15), 2.0);
    EXPECT_EQ(ikona.size(), QSize(32, 30));
    EXPECT_EQ(ikona.devicePixelRatio(), 2.0);
    EXPECT_EQ(ikona.toImage().convertToFormat(QImage::Format_RGB32).pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_TRUE(il.Icon(5).isNull());
}

TEST(ImageList, DrawnIconsHaveADisabledLookAndAnyRatio)
{
    const QIcon icon = DrawnIcon(QSize(32, 32), [](qreal r) {
        QImage img(int(32 * r), int(32 * r), QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(0, 160, 0));
        img.setDevicePixelRatio(r);
        return img;
    });
    for (qreal r : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        const QPixmap pm = icon.pixmap(QSize(32, 32), r);
        EXPECT_EQ(pm.size(), QSize(int(32 * r), int(32 * r))) << r;
        EXPECT_DOUBLE_EQ(pm.devicePixelRatio(), r);
    }
    const QImage normal = icon.pixmap(QSize(32, 32), 1.0).toImage();
    const QImage wylaczona = icon.pixmap(QSize(32, 32), 1.0, QIcon::Disabled).toImage();
    EXPECT_NE(normal.pixel(5, 5), wylaczona.pixel(5, 5));
}
