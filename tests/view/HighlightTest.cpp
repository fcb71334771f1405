// Highlighted runs of text: drawn under the text and the selection, across
// the pieces of a wrapped item, and kept through a new layout; and showing
// and selecting a place of an item.
#include "ViewFixture.h"

namespace {

using Op = TTestCanvas::Op;

class Highlight : public ViewTest {
protected:
    TTestCanvas paint()
    {
        TTestCanvas c(72, 72);
        view->PaintArea(c, TRect{0, 0, view->ClientWidth(), view->ClientHeight()});
        return c;
    }
    static std::vector<Op> fills(const TTestCanvas& c, TColor color)
    {
        std::vector<Op> out;
        for (const Op& o : c.ops)
            if (o.kind == Op::Fill && o.color == color)
                out.push_back(o);
        return out;
    }
    static constexpr TColor kZolty = 0x0066E0FF;
};

} // namespace

TEST_F(Highlight, RunsAreFilledUnderTheirCharacters)
{
    view->AddParagraph("alpha beta", 0);   // advance 5: "beta" from x 5 + 30
    view->Format();
    view->SetHighlights({TDVHighlight{0, 6, 4}});
    const TTestCanvas c = paint();
    const auto f = fills(c, kZolty);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].rect, (TRect{35, line(0).Top, 55, line(0).Top + line(0).Height}));
    // The fill comes before the text, which is drawn over it.
    std::size_t fill = 0, text = 0;
    for (std::size_t i = 0; i < c.ops.size(); ++i) {
        if (c.ops[i].kind == Op::Fill && c.ops[i].color == kZolty)
            fill = i;
        if (c.ops[i].kind == Op::Text)
            text = i;
    }
    EXPECT_LT(fill, text);
}

TEST_F(Highlight, ARunFollowsTheItemOverWrappedPiecesAndNewLayouts)
{
    // 100 pixels: 20 characters a line.
    view->AddParagraph("aaaa bbbb cccc dddd eeee ffff", 0);
    view->Format();
    ASSERT_GE(lines(), 2);
    view->SetHighlights({TDVHighlight{0, 15, 14, 0x00FF0000}});   // "dddd eeee ffff"
    auto f = fills(paint(), 0x00FF0000);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].rect.Top, line(0).Top);
    EXPECT_EQ(f[1].rect.Top, line(1).Top);
    // Narrower: the run is drawn wherever its characters went, piece by piece.
    view->SetMaxTextWidth(50);
    view->Format();
    f = fills(paint(), 0x00FF0000);
    std::vector<TRect> oczekiwane;
    for (int i = 0; i < lines(); ++i) {
        const int od = std::max(15, line(i).Offset - 1);
        const int doZnaku = std::min(29, line(i).Offset - 1 + int(text(i).size()));
        if (od < doZnaku) {
            const int x = line(i).Left + (od - (line(i).Offset - 1)) * 5;
            oczekiwane.push_back(TRect{x, line(i).Top, x + (doZnaku - od) * 5, line(i).Top + line(i).Height});
        }
    }
    ASSERT_GE(oczekiwane.size(), 2u);
    ASSERT_EQ(f.size(), oczekiwane.size());
    for (std::size_t k = 0; k < f.size(); ++k)
        EXPECT_EQ(f[k].rect, oczekiwane[k]);
    view->Clear();
    EXPECT_TRUE(view->Highlights().empty());
}

TEST_F(Highlight, TheSelectionIsDrawnOverTheHighlight)
{
    view->AddParagraph("alpha beta", 0);
    view->Format();
    view->SetHighlights({TDVHighlight{0, 0, 10}});
    view->SelectItemRange(0, 6, 10);
    ASSERT_TRUE(view->SelectionExists());
    EXPECT_EQ(view->GetSelectedText(), "beta");
    const TTestCanvas c = paint();
    EXPECT_EQ(fills(c, kZolty).size(), 1u);
    bool zaznaczony = false;
    for (const Op& o : c.ops)
        if (o.kind == Op::Text && o.text == "beta")
            zaznaczony = o.back == style->SelColor();
    EXPECT_TRUE(zaznaczony);
    // Bad runs are dropped.
    view->SetHighlights({TDVHighlight{0, 2, 0}, TDVHighlight{-1, 0, 3}, TDVHighlight{7, 0, 3}});
    EXPECT_EQ(view->Highlights().size(), 1u);
    paint();
}

TEST_F(Highlight, ShowingAnItemScrollsOnlyWhenItIsOutOfSight)
{
    for (int i = 0; i < 200; ++i)
        view->AddParagraph("line " + std::to_string(i), 0);
    view->Format();
    EXPECT_TRUE(view->ShowItem(5, 0, false));
    EXPECT_EQ(view->VPos(), 0);
    EXPECT_TRUE(view->ShowItem(150, 2, false));
    const int y = line(150).Top - view->VPos() * view->ScrollUnit();
    EXPECT_GE(y, 0);
    EXPECT_LT(y + line(150).Height, view->ClientHeight());
    EXPECT_TRUE(view->ShowItem(100, 0, true));
    EXPECT_LE(view->VPos() * view->ScrollUnit(), line(100).Top);
    EXPECT_GT(view->VPos() * view->ScrollUnit() + view->ScrollUnit(), line(100).Top);
    EXPECT_FALSE(view->ShowItem(500, 0, true));
}
