#include "widgets/ProgressGauge.h"

#include "platform/QtColors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <climits>
#include <set>

namespace {

class CountingGauge : public TProgressGauge {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        TProgressGauge::paintEvent(e);
    }
};

QRgb Rgb(TColor c) { return toQColor(c).rgb() | 0xFF000000u; }
QRgb Inverse(QRgb c) { return 0xFF000000u | (~c & 0x00FFFFFFu); }

} // namespace

TEST(ProgressGauge, DefaultsAndSimpleProperties)
{
    TProgressGauge g;
    EXPECT_EQ(g.width(), 100);
    EXPECT_EQ(g.height(), 100);
    EXPECT_EQ(g.Kind(), pkHorizontalBar);
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 0);
    EXPECT_TRUE(g.ShowText());
    EXPECT_EQ(g.BorderStyle(), TProgressBorderStyle::bsSingle);
    EXPECT_EQ(g.ForeColor(), clBlack);
    EXPECT_EQ(g.BackColor(), clWhite);
    EXPECT_EQ(g.Color(), clWindow);

    g.SetKind(pkNeedle);
    g.SetShowText(false);
    g.SetBorderStyle(TProgressBorderStyle::bsNone);
    g.SetForeColor(clGreen);
    g.SetBackColor(clAqua);
    g.SetColor(clRed);
    EXPECT_EQ(g.Kind(), pkNeedle);
    EXPECT_FALSE(g.ShowText());
    EXPECT_EQ(g.BorderStyle(), TProgressBorderStyle::bsNone);
    EXPECT_EQ(g.ForeColor(), clGreen);
    EXPECT_EQ(g.BackColor(), clAqua);
    EXPECT_EQ(g.Color(), clRed);
}

TEST(ProgressGauge, ProgressStaysWithinTheBounds)
{
    TProgressGauge g;
    g.SetMaxValue(1000);
    g.SetProgress(-5);
    EXPECT_EQ(g.Progress(), 0);
    g.SetProgress(5000);
    EXPECT_EQ(g.Progress(), 1000);
    g.AddProgress(INT_MAX);
    EXPECT_EQ(g.Progress(), 1000);

    g.SetProgress(500);
    g.SetMaxValue(300); // lowers the progress with it
    EXPECT_EQ(g.Progress(), 300);
    g.SetMinValue(200);
    EXPECT_EQ(g.Progress(), 300);
    g.SetMinValue(300); // equal bounds are allowed
    EXPECT_EQ(g.Progress(), 300);
    g.SetMaxValue(400);
    g.SetMinValue(350); // raises the progress with it
    EXPECT_EQ(g.Progress(), 350);
}

TEST(ProgressGauge, RangeErrorsLeaveTheGaugeUnchanged)
{
    TProgressGauge g;
    g.SetMinValue(10);
    g.SetProgress(40);
    try {
        g.SetMaxValue(5);
        FAIL() << "no exception";
    } catch (const EGaugeInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between 11 and 2147483647");
    }
    try {
        g.SetMinValue(101);
        FAIL() << "no exception";
    } catch (const EGaugeInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 99");
    }
    EXPECT_EQ(g.MinValue(), 10);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 40);

    // Bounds at the ends of the int range: the message must not wrap around.
    TProgressGauge h;
    h.SetMinValue(INT_MIN);
    h.SetMaxValue(INT_MIN);
    try {
        h.SetMinValue(0);
        FAIL() << "no exception";
    } catch (const EGaugeInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between -2147483647 and -2147483649");
    }
    EXPECT_NO_THROW(h.SetMaxValue(INT_MIN)); // the current value: nothing to do
}

TEST(ProgressGauge, PercentArithmetic)
{
    EXPECT_EQ(TProgressGauge::PercentOf(1, 3), 33);
    EXPECT_EQ(TProgressGauge::PercentOf(2, 3), 66);
    EXPECT_EQ(TProgressGauge::PercentOf(7, 0), 0);
    EXPECT_EQ(TProgressGauge::PartOf(50, 193), 96);
    EXPECT_EQ(TProgressGauge::PartOf(100, 194), 194);

    TProgressGauge g;
    g.SetMinValue(50);
    g.SetMaxValue(50);
    g.SetProgress(50);
    EXPECT_EQ(g.PercentDone(), 0);

    TProgressGauge wide;
    wide.SetMinValue(INT_MIN);
    wide.SetMaxValue(INT_MAX);
    wide.SetProgress(0);
    EXPECT_EQ(wide.PercentDone(), 50);
    wide.SetProgress(INT_MAX);
    EXPECT_EQ(wide.PercentDone(), 100);
}

TEST(ProgressGauge, RepaintsOnlyWhenTheWholePercentChanges)
{
    CountingGauge g;
    g.resize(195, 22);
    g.SetMaxValue(1000);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QApplication::processEvents();
    g.paints = 0;

    for (int i = 1; i <= 1000; ++i)
        g.SetProgress(i);
    EXPECT_EQ(g.paints, 100);

    g.paints = 0;
    g.SetProgress(1000); // same value
    g.SetProgress(999);  // still 99.9 -> 99 %: changed percent, one repaint
    g.SetProgress(995);  // 99 % again: none
    EXPECT_EQ(g.paints, 1);

    g.paints = 0;
    g.SetForeColor(clRed); // every other setter repaints at once
    g.SetKind(pkPie);
    g.SetKind(pkPie);
    EXPECT_EQ(g.paints, 2);
}

// A bar half full under "50%": the frame is black, the bar and the empty part
// have their colours, and every other pixel is the inverse of one of them,
// i.e. the text, on both sides of the bar's end.
TEST(ProgressGauge, TextIsDrawnInTheInverseColours)
{
    TProgressGauge g;
    g.resize(195, 22);
    g.SetForeColor(clGreen);
    g.SetBackColor(clAqua);
    g.SetProgress(50);
    const QImage img = g.Render();
    ASSERT_EQ(img.size(), QSize(195, 22));

    const QRgb black = 0xFF000000u, fore = Rgb(clGreen), back = Rgb(clAqua);
    for (int x = 0; x < 195; ++x) {
        EXPECT_EQ(img.pixel(x, 0), black);
        EXPECT_EQ(img.pixel(x, 21), black);
    }
    for (int y = 0; y < 22; ++y) {
        EXPECT_EQ(img.pixel(0, y), black);
        EXPECT_EQ(img.pixel(194, y), black);
    }
    // The bar ends at x = PartOf(50, 194) = 97 (exclusive).
    EXPECT_EQ(img.pixel(3, 3), fore);
    EXPECT_EQ(img.pixel(96, 3), fore);
    EXPECT_EQ(img.pixel(97, 3), back);
    EXPECT_EQ(img.pixel(190, 18), back);

    int invFore = 0, invBack = 0;
    for (int y = 1; y < 21; ++y)
        for (int x = 1; x < 194; ++x) {
            const QRgb c = img.pixel(x, y);
            if (c == Inverse(fore)) {
                ++invFore;
                EXPECT_LT(x, 97);
            } else if (c == Inverse(back)) {
                ++invBack;
                EXPECT_GE(x, 97);
            } else {
                EXPECT_TRUE(c == fore || c == back) << x << "," << y;
            }
        }
    EXPECT_GT(invFore, 5);
    EXPECT_GT(invBack, 5);

    g.SetShowText(false);
    const QImage plain = g.Render();
    for (int y = 1; y < 21; ++y)
        for (int x = 1; x < 194; ++x)
            ASSERT_EQ(plain.pixel(x, y), x < 97 ? fore : back) << x << "," << y;
}

// On a screen at 200 % the gauge is the same picture at twice the pixels:
// frame and bar where they were, and the percentage written at the finer
// resolution (not blown up from 1 to 2 x 2 pixels).
TEST(ProgressGauge, ScaledScreenGetsTheSamePictureAtItsResolution)
{
    TProgressGauge g;
    g.resize(195, 22);
    g.SetForeColor(clGreen);
    g.SetBackColor(clAqua);
    g.SetProgress(50);
    const QImage dwa = g.Render(2.0);
    ASSERT_EQ(dwa.size(), QSize(390, 44));
    EXPECT_EQ(dwa.devicePixelRatio(), 2.0);

    g.SetShowText(false);
    const QImage bezTekstu1 = g.Render();
    const QImage bezTekstu2 = g.Render(2.0);
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 195; ++x)
            for (int d = 0; d < 4; ++d)
                ASSERT_EQ(bezTekstu2.pixel(2 * x + d % 2, 2 * y + d / 2), bezTekstu1.pixel(x, y)) << x << "," << y;

    // The text: inverse pixels on both sides of the bar's end, and some
    // 2 x 2 block with pixels of both kinds, which a blown-up picture never
    // has.
    const QRgb fore = Rgb(clGreen), back = Rgb(clAqua);
    int mieszane = 0, odwrocone = 0;
    for (int y = 2; y < 42; y += 2)
        for (int x = 2; x < 388; x += 2) {
            const QRgb a = dwa.pixel(x, y);
            if (a == Inverse(fore) || a == Inverse(back))
                ++odwrocone;
            if (a != dwa.pixel(x + 1, y) || a != dwa.pixel(x, y + 1) || a != dwa.pixel(x + 1, y + 1))
                ++mieszane;
        }
    EXPECT_GT(odwrocone, 10);
    EXPECT_GT(mieszane, 5);
}

TEST(ProgressGauge, KindsAndBorders)
{
    TProgressGauge g;
    g.resize(60, 40);
    g.SetShowText(false);
    g.SetForeColor(clBlue);
    g.SetBackColor(clWhite);
    g.SetColor(clYellow);
    const QRgb fore = Rgb(clBlue), back = Rgb(clWhite), around = Rgb(clYellow);

    // Vertical bar: rises from the bottom; full at 100 %.
    g.SetKind(pkVerticalBar);
    g.SetProgress(50);
    QImage img = g.Render();
    EXPECT_EQ(img.pixel(30, 37), fore);
    EXPECT_EQ(img.pixel(30, 2), back);
    g.SetProgress(100);
    img = g.Render();
    for (int y = 1; y < 39; ++y)
        EXPECT_EQ(img.pixel(30, y), fore) << y;

    // Text only: the interior is the back colour whatever the progress.
    g.SetKind(pkText);
    img = g.Render();
    EXPECT_EQ(img.pixel(2, 2), back);
    EXPECT_EQ(img.pixel(57, 37), back);

    // Pie at 25 %: the upper right quarter is filled, the rest of the disc is
    // not, and the corners show the surrounding colour.
    g.SetKind(pkPie);
    g.SetProgress(25);
    img = g.Render();
    EXPECT_EQ(img.pixel(2, 2), around);
    EXPECT_EQ(img.pixel(40, 12), fore);
    EXPECT_EQ(img.pixel(18, 12), back);
    EXPECT_EQ(img.pixel(18, 28), back);
    EXPECT_EQ(img.pixel(40, 28), back);
    g.SetProgress(75);
    img = g.Render();
    EXPECT_EQ(img.pixel(40, 28), fore);
    EXPECT_EQ(img.pixel(18, 28), fore);
    EXPECT_EQ(img.pixel(18, 12), back);

    // Needle at 50 %: a dial of the upper half with an upright needle in the
    // middle; beside the needle the dial's own colour.
    g.SetKind(pkNeedle);
    g.SetProgress(50);
    img = g.Render();
    EXPECT_EQ(img.pixel(30, 20), fore);
    EXPECT_EQ(img.pixel(30, 10), fore);
    EXPECT_EQ(img.pixel(20, 30), back);
    EXPECT_EQ(img.pixel(2, 2), around);

    // Without a border the drawing reaches the edge.
    g.SetKind(pkHorizontalBar);
    g.SetBorderStyle(TProgressBorderStyle::bsNone);
    g.SetProgress(100);
    img = g.Render();
    EXPECT_EQ(img.pixel(0, 0), fore);
    EXPECT_EQ(img.pixel(59, 39), fore);
}

// Lines are drawn up to, not including, their end point: the upright needle
// at 50 % ends at y = 0, which is the border, and must leave it black.
TEST(ProgressGauge, TheNeedleStopsShortOfItsEndPoint)
{
    TProgressGauge g;
    g.resize(60, 40);
    g.SetKind(pkNeedle);
    g.SetShowText(false);
    g.SetForeColor(clBlue);
    g.SetBackColor(clWhite);
    g.SetColor(clYellow);
    g.SetProgress(50);
    QImage img = g.Render();
    const QRgb fore = Rgb(clBlue), black = 0xFF000000u;
    EXPECT_EQ(img.pixel(30, 0), black);
    for (int y = 1; y <= 38; ++y)
        EXPECT_EQ(img.pixel(30, y), fore) << y;
    EXPECT_NE(img.pixel(29, 20), fore);
    EXPECT_NE(img.pixel(31, 20), fore);

    // At 100 % the needle lies along the base from the middle to x = 60,
    // just outside the control; at 25 % it is a slanted line that stops one
    // pixel before its end (round(30 (1 - cos 45°)), round(38 (1 - sin 45°)))
    // = (9, 11).
    g.SetProgress(25);
    img = g.Render();
    EXPECT_EQ(img.pixel(30, 38), fore);
    EXPECT_NE(img.pixel(9, 11), fore);
    EXPECT_EQ(img.pixel(10, 12), fore);
}

TEST(ProgressGauge, AMaskBitmapTakesTheTemplatesSizeInTheWindowFrameColour)
{
    QImage tmpl(37, 11, QImage::Format_RGB32);
    tmpl.fill(Qt::white);
    TMaskBitmap m;
    m.MakeLike(tmpl);
    ASSERT_EQ(m.Image().size(), QSize(37, 11));
    EXPECT_EQ(m.Image().pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(m.Image().pixel(36, 10), 0xFF000000u);
}
