#include "ViewFixture.h"

#include "platform/QtCanvas.h"
#include "platform/core/Cp1250.h"
#include "platform/core/Exceptions.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

using Op = TTestCanvas::Op;

std::vector<Op> textOps(const TTestCanvas& c)
{
    std::vector<Op> out;
    for (const Op& o : c.ops)
        if (o.kind == Op::Text)
            out.push_back(o);
    return out;
}

class Paint : public ViewTest {
protected:
    TRect client() const { return TRect{0, 0, view->ClientWidth(), view->ClientHeight()}; }
    TTestCanvas paint(const TRect& clip)
    {
        TTestCanvas c(72, 72);
        view->PaintArea(c, clip);
        return c;
    }
    TTestCanvas paint() { return paint(client()); }
};

// Exposes the reserved kinds, which no public operation adds.
class ReservedView : public TDocView {
public:
    using TDocView::AddItem;
};

} // namespace

TEST_F(Paint, WithoutAStyleTheErrorIsShown)
{
    view->SetStyle(nullptr);
    const TTestCanvas c = paint(TRect{10, 20, 110, 70});
    ASSERT_GE(c.ops.size(), 3u);
    EXPECT_EQ(c.ops[0].kind, Op::Fill);
    EXPECT_EQ(c.ops[0].rect, (TRect{0, 0, 100, 50}));
    EXPECT_EQ(c.ops[0].color, clWindow);
    const auto t = textOps(c);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, "Error: style is not assigned");
    EXPECT_EQ(t[0].font.Name, "MS Sans Serif");
    EXPECT_EQ(t[0].font.Size, 8);
    EXPECT_EQ(t[0].rect.Left, 1 - 10); // (1, 1) of the client area
    EXPECT_EQ(t[0].rect.Top, 1 - 20);
    EXPECT_EQ(c.ops.back().kind, Op::Frame);
    EXPECT_EQ(c.ops.back().rect, (TRect{-10, -20, view->ClientWidth() - 10, view->ClientHeight() - 20}));
}

TEST_F(Paint, TextIsWrittenAtItsPlaceInItsStyle)
{
    view->AddParagraph("plain", 0);
    view->AddText("bold", 1);
    view->Format();
    const TTestCanvas c = paint();
    EXPECT_EQ(c.ops[0].kind, Op::Fill);
    EXPECT_EQ(c.ops[0].color, clWindow);
    const auto t = textOps(c);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "plain");
    EXPECT_EQ(t[0].rect.Left, 5);
    EXPECT_EQ(t[0].rect.Top, 1);
    EXPECT_EQ(t[0].color, clWindowText);
    EXPECT_EQ(t[0].back, clNone);
    EXPECT_EQ(t[1].text, "bold");
    EXPECT_EQ(t[1].rect.Left, 30);
    EXPECT_EQ(t[1].font.Style, fsBold);
    EXPECT_EQ(t[1].color, clBlue);
}

TEST_F(Paint, OnlyTheClipAreaIsDrawnShiftedByTheScrollPositions)
{
    for (int i = 0; i < 1000; ++i)
        view->AddParagraph("line " + std::to_string(i), 0);
    view->Format();
    view->ScrollTo(5500); // line 500 (top 5501) just below the window's top
    const TTestCanvas c = paint(TRect{0, 30, 200, 60});
    const auto t = textOps(c);
    // Document y 5530 .. 5560: lines 502 .. 505, plus the lines painting
    // starts from above the area and the one whose top passes the bottom.
    ASSERT_FALSE(t.empty());
    EXPECT_LE(t.size(), 8u);
    bool sawFirst = false, sawLast = false;
    for (const Op& o : t) {
        if (o.text == "line 502") {
            sawFirst = true;
            EXPECT_EQ(o.rect.Top, 502 * 11 + 1 - 5500 - 30);
            EXPECT_EQ(o.rect.Left, 5);
        }
        sawLast |= o.text == "line 505";
    }
    EXPECT_TRUE(sawFirst);
    EXPECT_TRUE(sawLast);
}

TEST_F(Paint, ASelectionInsideOneLinePaintsThreeParts)
{
    style->SetSelColor(clNavy);
    style->SetSelTextColor(clYellow);
    view->AddParagraph("abcdefgh", 0);
    view->Format();
    view->SetSelection(TDVPosition{0, 6}, TDVPosition{0, 3}); // "cde", dragged backwards
    const auto t = textOps(paint());
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].text, "ab");
    EXPECT_EQ(t[0].back, clNone);
    EXPECT_EQ(t[1].text, "cde");
    EXPECT_EQ(t[1].rect.Left, 5 + 10);
    EXPECT_EQ(t[1].back, clNavy);
    EXPECT_EQ(t[1].color, clYellow);
    EXPECT_EQ(t[2].text, "fgh");
    EXPECT_EQ(t[2].rect.Left, 5 + 25);
    EXPECT_EQ(t[2].color, clWindowText);
}

TEST_F(Paint, ASelectionAcrossLinesPaintsWholeAndPartialLines)
{
    view->AddParagraph("first", 0);
    view->AddParagraph("second", 0);
    view->AddParagraph("third", 0);
    view->AddParagraph("fourth", 0);
    view->Format();
    // From "st" of the first line to just after the last character of the third.
    view->SetSelection(TDVPosition{0, 4}, TDVPosition{2, 6});
    const auto t = textOps(paint());
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].text, "fir");
    EXPECT_EQ(t[0].back, clNone);
    EXPECT_EQ(t[1].text, "st");
    EXPECT_EQ(t[1].back, clHighlight);
    EXPECT_EQ(t[2].text, "second");
    EXPECT_EQ(t[2].back, clHighlight);
    EXPECT_EQ(t[3].text, "third"); // whole: the end lies after its last character
    EXPECT_EQ(t[3].back, clHighlight);
    EXPECT_EQ(t[4].text, "fourth");
    EXPECT_EQ(t[4].back, clNone);

    // Ending inside the last line: head selected, tail normal.
    view->SetSelection(TDVPosition{0, 1}, TDVPosition{1, 3});
    const auto u = textOps(paint());
    ASSERT_EQ(u.size(), 5u);
    EXPECT_EQ(u[0].text, "first");
    EXPECT_EQ(u[0].back, clHighlight);
    EXPECT_EQ(u[1].text, "se");
    EXPECT_EQ(u[1].back, clHighlight);
    EXPECT_EQ(u[2].text, "cond");
    EXPECT_EQ(u[2].rect.Left, 15);
    EXPECT_EQ(u[2].back, clNone);
}

TEST_F(Paint, SelectedHotspotsBlendAndAnEndBeforeThemLeavesThemOut)
{
    TImageList il(16, 15);
    QImage img(16, 15, QImage::Format_ARGB32);
    img.fill(Qt::red);
    img.setPixel(0, 0, qRgba(0, 0, 0, 0)); // a transparent corner stays so
    il.Add(img);
    style->SetSelColor(clBlue);
    view->AddParagraph("ab", 0);
    view->AddHotspot(0, &il, false);
    view->AddParagraph("cd", 0);
    view->Format();
    ASSERT_EQ(lines(), 3);
    const auto drawnImage = [this] {
        const TTestCanvas c = paint();
        std::vector<Op> images;
        std::copy_if(c.ops.begin(), c.ops.end(), std::back_inserter(images),
                     [](const Op& o) { return o.kind == Op::Image; });
        EXPECT_EQ(images.size(), 1u);
        return images.empty() ? Op{} : images.front();
    };

    // The selection ends before the hotspot: drawn as it is.
    view->SetSelection(TDVPosition{0, 1}, TDVPosition{1, 0});
    Op image = drawnImage();
    EXPECT_EQ(image.rect.Left, line(1).Left);
    EXPECT_EQ(image.rect.Top, line(1).Top);
    EXPECT_EQ(image.image.pixel(8, 7), qRgb(255, 0, 0));

    // Taken in: every painted pixel half red, half the selection's blue.
    view->SetSelection(TDVPosition{0, 1}, TDVPosition{1, 1});
    image = drawnImage();
    const QRgb p = image.image.pixel(8, 7);
    EXPECT_NEAR(qRed(p), 128, 1);
    EXPECT_EQ(qGreen(p), 0);
    EXPECT_NEAR(qBlue(p), 128, 1);
    EXPECT_EQ(qAlpha(image.image.pixel(0, 0)), 0);

    // Starting after it leaves it out again.
    view->SetSelection(TDVPosition{2, 0}, TDVPosition{2, 1});
    EXPECT_EQ(drawnImage().image.pixel(8, 7), qRgb(255, 0, 0));
}

TEST_F(Paint, HoverRecoloursOnlyThePiecesOfTheHoveredJump)
{
    view->AddParagraph("aaaa bbbb cccc dddd eeee ffff", 4); // wraps: jump 0 twice
    view->AddParagraph("other", 5);                        // jump 1
    view->Format();
    view->SetHoveredJump(0);
    EXPECT_FALSE(view->HoverDrawn()); // HoverColor clNone: no effect
    for (const Op& o : textOps(paint()))
        EXPECT_EQ(o.color, clGreen);

    style->SetHoverColor(clRed);
    view->SetHoveredJump(-1);
    view->SetHoveredJump(0);
    EXPECT_TRUE(view->HoverDrawn());
    auto t = textOps(paint());
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].color, clRed);
    EXPECT_EQ(t[1].color, clRed);
    EXPECT_EQ(t[2].color, clGreen);

    view->SetHoveredJump(-1);
    EXPECT_FALSE(view->HoverDrawn());
    for (const Op& o : textOps(paint()))
        EXPECT_EQ(o.color, clGreen);
}

TEST_F(Paint, BackgroundTilesStayInTheWindowOrMoveWithTheDocument)
{
    for (int i = 0; i < 100; ++i)
        view->AddParagraph("x", 0);
    view->Format();
    QImage tile(40, 30, QImage::Format_RGB32);
    tile.fill(Qt::gray);
    view->SetBackgroundBitmap(tile);
    view->SetBackgroundStyle(bsTiled);
    view->ScrollTo(100);
    TTestCanvas c(72, 72);
    view->DrawBackground(c, TRect{50, 20, 130, 70}, 300, 300);
    // Rows 0 .. 2, columns 1 .. 3, relative to the area's corner.
    ASSERT_EQ(c.ops.size(), 9u);
    EXPECT_EQ(c.ops[0].rect.Left, 40 - 50);
    EXPECT_EQ(c.ops[0].rect.Top, 0 - 20);
    EXPECT_EQ(c.ops[8].rect.Left, 120 - 50);
    EXPECT_EQ(c.ops[8].rect.Top, 60 - 20);

    view->SetBackgroundStyle(bsTiledAndScrolled);
    TTestCanvas s(72, 72);
    view->DrawBackground(s, TRect{50, 20, 130, 70}, 300, 300);
    // Document y 120 .. 170: rows 4 .. 5.
    ASSERT_EQ(s.ops.size(), 6u);
    EXPECT_EQ(s.ops[0].rect.Top, 120 - 100 - 20);
    EXPECT_EQ(s.ops[0].rect.Left, 40 - 50);

    view->SetBackgroundStyle(bsStretched);
    TTestCanvas t(72, 72);
    view->DrawBackground(t, TRect{50, 20, 130, 70}, 300, 200);
    ASSERT_EQ(t.ops.size(), 1u);
    EXPECT_EQ(t.ops[0].kind, Op::Stretch);
    EXPECT_EQ(t.ops[0].rect, (TRect{-50, -20, 150, 280}));

    view->SetBackgroundBitmap(QImage());
    TTestCanvas e(72, 72);
    view->DrawBackground(e, TRect{50, 20, 130, 70}, 300, 200);
    ASSERT_EQ(e.ops.size(), 1u);
    EXPECT_EQ(e.ops[0].kind, Op::Fill);
    EXPECT_EQ(e.ops[0].rect, (TRect{0, 0, 80, 50}));
}

TEST_F(Paint, ReservedKindsAreLaidOutAndPainted)
{
    ReservedView v;
    v.SetCanvas(std::make_unique<TTestCanvas>(72, 72));
    v.SetStyle(style.get());
    v.resize(400, 300);
    v.SetMaxTextWidth(100);
    v.AddParagraph("ab", 0);
    TLineInfo rule;
    rule.StyleNo = rvsBreak;
    v.AddItem("", rule);
    TLineInfo pic;
    pic.StyleNo = rvsPicture;
    pic.Picture = std::make_shared<QImage>(40, 20, QImage::Format_RGB32);
    v.AddItem("", pic);
    v.AddParagraph("cd", 0);
    v.Format();
    const auto& d = v.DrawLines();
    ASSERT_EQ(d.size(), 4u);
    // Rule: 11 px high (5 above, the line, 5 below) right under the text.
    EXPECT_EQ(d[1].Info.Top, 11);
    EXPECT_EQ(d[1].Info.Height, 11);
    EXPECT_EQ(d[1].Info.Width, 100);
    // Picture: centred on a line of its own.
    EXPECT_EQ(d[2].Info.Left, 5 + 30);
    EXPECT_EQ(d[2].Info.Top, 22 + 5 + 1);
    EXPECT_EQ(d[2].Info.Height, 21);
    EXPECT_EQ(d[3].Info.Top, 22 + 5 + 20 + 1 + 1 + 1);

    TTestCanvas c(72, 72);
    v.PaintArea(c, TRect{0, 0, v.ClientWidth(), v.ClientHeight()});
    auto line = std::find_if(c.ops.begin(), c.ops.end(), [](const Op& o) { return o.kind == Op::Line; });
    ASSERT_NE(line, c.ops.end());
    EXPECT_EQ(line->rect, (TRect{5 + 5, 11 + 5, v.HMax() - v.RightMargin() - 5, 11 + 5}));
    EXPECT_EQ(line->color, clWindowText);
    auto image = std::find_if(c.ops.begin(), c.ops.end(), [](const Op& o) { return o.kind == Op::Image; });
    ASSERT_NE(image, c.ops.end());
    EXPECT_EQ(image->rect.Left, 35);
}

// With the real canvas on a QImage: the highlight of a selected word covers
// exactly the pixels the word is drawn in, and the text around it lands on
// the same pixels as when nothing is selected.
TEST(PaintQt, HighlightLinesUpWithTheGlyphs)
{
    TDVStyle style;
    style.SetSelColor(clBlue);
    style.SetSelTextColor(clWhite);
    style.SetColor(clWhite);
    style.TextStyles().Items(0).Color = clBlack;
    style.TextStyles().Items(0).Size = 14;
    TDocView view;
    view.SetStyle(&style);
    view.resize(500, 100);
    view.AddParagraph(cp1250::fromUtf8("Art. 512. Kto gasi latarnię, podlega naganie"), 0);
    view.Format();
    ASSERT_EQ(view.DrawLines().size(), 1u);
    const TDrawLineInfo d = view.DrawLines()[0].Info;
    const std::string s = view.DrawLines()[0].Text;

    auto render = [&] {
        QImage img(view.ClientWidth(), view.ClientHeight(), QImage::Format_RGB32);
        img.fill(Qt::gray);
        QPainter p(&img);
        TQtCanvas c(&p, view.Canvas().DpiX(), view.Canvas().DpiY());
        view.PaintArea(c, TRect{0, 0, img.width(), img.height()});
        return img;
    };
    const QImage plain = render();
    view.SetSelection(TDVPosition{0, 11}, TDVPosition{0, 14}); // "Kto"
    const QImage selected = render();

    view.Canvas().SetFont(style.TextStyles().Items(0).Desc());
    const int x0 = d.Left + view.Canvas().TextWidth(s.substr(0, 10));
    const int x1 = x0 + view.Canvas().TextWidth(s.substr(10, 3));
    const QRgb blue = qRgb(0, 0, 255);
    const int y = d.Top + 1;
    EXPECT_NE(selected.pixel(x0, y), plain.pixel(x0, y));
    EXPECT_EQ(selected.pixel(x0, y), blue);
    EXPECT_EQ(selected.pixel(x1 - 1, y), blue);
    EXPECT_NE(selected.pixel(x1, y), blue);
    EXPECT_NE(selected.pixel(x0 - 1, y), blue);
    EXPECT_EQ(selected.pixel(x0, d.Top + d.Height - 1), blue);
    EXPECT_NE(selected.pixel(x0, d.Top + d.Height), blue);
    // Outside the highlight every pixel is as before.
    int differing = 0;
    for (int yy = 0; yy < plain.height(); ++yy)
        for (int xx = 0; xx < plain.width(); ++xx)
            if ((xx < x0 || xx >= x1 || yy < d.Top || yy >= d.Top + d.Height) &&
                plain.pixel(xx, yy) != selected.pixel(xx, yy))
                ++differing;
    EXPECT_EQ(differing, 0);
    // And the selected word itself is drawn (white on blue).
    int white = 0;
    for (int xx = x0; xx < x1; ++xx)
        for (int yy = d.Top; yy < d.Top + d.Height; ++yy)
            white += selected.pixel(xx, yy) == qRgb(255, 255, 255);
    EXPECT_GT(white, 5);
}

TEST_F(Paint, HorizontalScrollingShiftsThePieces)
{
    view->SetMinTextWidth(2000);
    view->SetMaxTextWidth(0);
    view->AddParagraph("wide", 0);
    view->Format();
    view->HScrollTo(30);
    ASSERT_EQ(view->HPos(), 30);
    const auto t = textOps(paint(TRect{10, 0, 200, 50}));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].rect.Left, 5 - 30 - 10);
}

namespace {
// Counts the paint requests the view's window receives.
class CountingView : public TDocView {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        TDocView::paintEvent(e);
    }
};
} // namespace

// A hover change repaints the jump before control returns, not at some later
// turn of the event loop; with FullRedraw the whole window is repainted.
TEST(PaintShown, HoverChangesAreRepaintedAtOnce)
{
    TDVStyle style;
    style.SetHoverColor(clRed);
    CountingView v;
    v.SetStyle(&style);
    v.resize(300, 200);
    v.AddParagraph("a jump", 4);
    v.AddParagraph("another", 5);
    v.Format();
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    QCoreApplication::processEvents();
    v.paints = 0;
    v.SetHoveredJump(0);
    EXPECT_EQ(v.paints, 1);
    v.SetHoveredJump(1); // the old jump back to normal, the new one hovered
    EXPECT_EQ(v.paints, 3);
    style.SetFullRedraw(true);
    v.SetHoveredJump(-1);
    EXPECT_EQ(v.paints, 4);
}
