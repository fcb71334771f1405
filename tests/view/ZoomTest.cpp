// Zoom of a view: fonts chosen at the scaled size (whole-pixel metrics of
// that size), the line at the top of the window kept there, hidden views
// laid out when shown; and anchors, the places that outlive a layout.
#include "ViewFixture.h"

#include <QApplication>
#include <QMouseEvent>

namespace {

class Zoom : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        view->SetMaxTextWidth(0); // wrap at the window's width
        for (int i = 0; i < 300; ++i)
            view->AddParagraph("paragraph " + std::to_string(i) + " with words that wrap across the width", 0);
        view->Format();
    }

    // The text from the start of the line at the top of the window.
    std::string topText() const
    {
        const TDVAnchor a = view->TopAnchor();
        if (a.Item < 0)
            return view->Items().front().Text;
        return view->Items()[size_t(a.Item)].Text.substr(size_t(a.Pos - 1), 12);
    }
    int topY() const { return view->VPos() * view->ScrollUnit(); }
};

} // namespace

TEST_F(Zoom, FontsAreChosenAtTheScaledSizeAndLayoutFollows)
{
    EXPECT_EQ(view->Zoom(), 100);
    EXPECT_EQ(view->LineHeight(0), 11); // 10 px: ascent 8, descent 2, leading 1
    const int hoch = view->DocumentHeight();
    view->show();
    view->SetZoom(150);
    // A 15-pixel font (ascent 12, descent 3, leading 1), not the 10-pixel
    // font's metrics times 1.5.
    EXPECT_EQ(view->StyleFont(0).Zoom, 150);
    EXPECT_EQ(canvas->PixelSize(), 15);
    EXPECT_EQ(view->LineHeight(0), 15 - 15 / 4 + 15 / 4 + 15 / 8);
    EXPECT_GT(view->DocumentHeight(), hoch);
    // Each drawn piece is the measured width of its text at 7 px a character.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(line(i).Width, int(text(i).size()) * 7) << i;

    // 33 % of 10 points rounds to a 3-pixel font; nothing goes below 1 pixel.
    view->SetZoom(33);
    EXPECT_EQ(view->LineHeight(0), 3 - 0 + 0 + 0);
    view->SetZoom(1);
    EXPECT_EQ(view->Zoom(), TDocView::MinZoom);
    view->SetZoom(100000);
    EXPECT_EQ(view->Zoom(), TDocView::MaxZoom);
}

TEST_F(Zoom, TheLineAtTheTopStaysAtTheTop)
{
    view->show();
    view->SetZoom(200);
    // Start on a line that continues a wrapped paragraph.
    int start = -1;
    for (int i = 0; i < lines() && start < 0; ++i)
        if (line(i).Top > 2000 && line(i).Offset > 1)
            start = i;
    ASSERT_GE(start, 0);
    view->ScrollTo(line(start).Top);
    for (int z : {75, 400, 50, 110, 100, 300}) {
        const TDVAnchor przed = view->TopAnchor();
        ASSERT_GE(przed.Item, 0);
        view->SetZoom(z);
        // The drawn line holding that character is the top line now, within
        // one scroll unit.
        int linia = -1;
        for (int i = 0; i < lines(); ++i)
            if (line(i).ItemNo == przed.Item && line(i).Offset <= przed.Pos)
                linia = i;
        ASSERT_GE(linia, 0) << z;
        EXPECT_LE(topY(), line(linia).Top) << z;
        EXPECT_GT(topY() + view->ScrollUnit(), line(linia).Top) << z;
        EXPECT_EQ(view->TopAnchor().Item, przed.Item) << z;
    }
    // At the very top nothing moves.
    view->ScrollTo(0);
    view->SetZoom(125);
    EXPECT_EQ(view->VPos(), 0);
}

TEST_F(Zoom, AHiddenViewIsLaidOutWhenShown)
{
    view->show();
    view->ScrollTo(1500);
    const std::string przed = topText();
    const auto linie = view->DrawLines().size();
    view->hide();
    view->SetZoom(200);
    // Nothing laid out yet: the old lines stand until the view is shown.
    EXPECT_EQ(view->DrawLines().size(), linie);
    view->SetZoom(250); // a second change before showing keeps the first place
    view->show();
    EXPECT_GT(view->DrawLines().size(), linie);
    EXPECT_EQ(topText(), przed);
    // Format asked for explicitly supersedes the pending one.
    view->hide();
    view->SetZoom(100);
    view->Format();
    EXPECT_EQ(view->VPos(), 0);
    view->show();
    EXPECT_EQ(view->VPos(), 0);
}

TEST_F(Zoom, AnchorsSurviveANewWidthAndToleratePlacesThatAreGone)
{
    view->show();
    view->ScrollTo(3000);
    const TDVAnchor a = view->TopAnchor();
    ASSERT_GE(a.Item, 0);
    view->resize(250, 300);
    view->Format();
    EXPECT_EQ(view->VPos(), 0);
    view->ScrollToAnchor(a);
    EXPECT_EQ(view->TopAnchor().Item, a.Item);

    // Beyond the document, or before any layout: nothing happens.
    view->ScrollTo(0);
    view->ScrollToAnchor(TDVAnchor{100000, 5});
    EXPECT_EQ(view->VPos(), 0);
    view->ScrollToAnchor(TDVAnchor{});
    EXPECT_EQ(view->VPos(), 0);
    // A position past the item's text lands on its last piece.
    view->ScrollToAnchor(TDVAnchor{200, 100000});
    EXPECT_EQ(view->TopAnchor().Item, 200);
    TDocView pusty;
    pusty.ScrollToAnchor(a);
    EXPECT_EQ(pusty.TopAnchor(), TDVAnchor{});
}

TEST_F(Zoom, DoubleClickSelectsTheWordUnderThePointer)
{
    view->SetMaxTextWidth(100);
    view->Clear();
    view->AddParagraph("(alpha) beta, gamma", 0);
    view->Format();
    auto dbl = [&](QPoint p) {
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                               QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, QPointF(p), view->viewport()->mapToGlobal(QPointF(p)), Qt::LeftButton,
                          t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &e);
        }
    };
    // Character k (1-based) of line 0 starts at 5 + (k - 1) * 5.
    auto znak = [&](int k) { return QPoint(line(0).Left + (k - 1) * 5 + 2, line(0).Top + 3); };
    dbl(znak(4));
    EXPECT_EQ(view->GetSelectedText(), "alpha");
    dbl(znak(10));
    EXPECT_EQ(view->GetSelectedText(), "beta");
    // On a delimiter nothing is selected.
    dbl(znak(13));
    EXPECT_FALSE(view->SelectionExists());
}
