#include "ViewFixture.h"

#include "platform/core/Exceptions.h"

namespace {

struct Added {
    std::string text;
    bool sameAsPrev;
};

std::vector<Added> items(const TDocView& v)
{
    std::vector<Added> out;
    for (const TItem& it : v.Items())
        out.push_back({it.Text, it.Info.SameAsPrev});
    return out;
}

bool operator==(const Added& a, const Added& b) { return a.text == b.text && a.sameAsPrev == b.sameAsPrev; }

} // namespace

using Items = ViewTest;

TEST_F(Items, AddTextStartsALineOnlyAsTheFirstItem)
{
    view->AddText("a", 0);
    view->AddText("b", 1);
    view->AddParagraph("c", 2);
    view->AddCenteredLine("d", 3);
    ASSERT_EQ(view->ItemCount(), 4);
    EXPECT_FALSE(view->Items()[0].Info.SameAsPrev);
    EXPECT_TRUE(view->Items()[1].Info.SameAsPrev);
    EXPECT_EQ(view->Items()[1].Info.StyleNo, 1);
    EXPECT_FALSE(view->Items()[2].Info.SameAsPrev);
    EXPECT_FALSE(view->Items()[2].Info.Center);
    EXPECT_FALSE(view->Items()[3].Info.SameAsPrev);
    EXPECT_TRUE(view->Items()[3].Info.Center);
}

TEST_F(Items, TextLinesSplitAtEveryKindOfLineBreak)
{
    view->AddTextLines("", 0);
    EXPECT_EQ(view->ItemCount(), 0);

    view->AddParagraph("start", 0);
    view->AddTextLines("word\r\n\r\nsecond", 0);
    EXPECT_EQ(items(*view), (std::vector<Added>{{"start", false}, {"word", true}, {"", false}, {"second", false}}));

    view->Clear();
    view->AddParagraph("start", 0);
    view->AddTextLines("one\ntwo\rthree\n\rfour\r\n", 0);
    EXPECT_EQ(items(*view),
              (std::vector<Added>{{"start", false}, {"one", true}, {"two", false}, {"three", false}, {"four", false}}));

    view->Clear();
    view->AddParagraph("start", 0);
    view->AddTextLines("\r\nnext", 0);
    EXPECT_EQ(items(*view), (std::vector<Added>{{"start", false}, {"", true}, {"next", false}}));
}

TEST_F(Items, ParagraphLinesPutEveryPieceOnItsOwnLine)
{
    view->AddParagraphLines("", 0);
    EXPECT_EQ(items(*view), (std::vector<Added>{{"", false}}));
    view->Clear();
    view->AddParagraphLines("a\r\nb\n\nc\r\n", 0);
    EXPECT_EQ(items(*view), (std::vector<Added>{{"a", false}, {"b", false}, {"", false}, {"c", false}}));
}

TEST_F(Items, CheckpointsNumberFromZeroAgainAfterClear)
{
    EXPECT_EQ(view->AddCheckpoint("0"), 0);
    EXPECT_EQ(view->AddCheckpoint("1"), 1);
    EXPECT_EQ(view->AddCheckpoint("x"), 2);
    EXPECT_EQ(view->Items()[2].Info.StyleNo, rvsCheckpoint);
    EXPECT_EQ(view->Items()[2].Text, "x");
    view->Clear();
    EXPECT_EQ(view->ItemCount(), 0);
    EXPECT_THROW(view->GetCheckpointY(0), EListError);
    EXPECT_EQ(view->AddCheckpoint("a"), 0);
    EXPECT_EQ(view->GetCheckpointY(0), 0);
    EXPECT_THROW(view->GetCheckpointY(1), EListError);
    EXPECT_THROW(view->GetCheckpointY(-1), EListError);
}

TEST_F(Items, HotspotRemembersItsImageAndLine)
{
    TImageList il(16, 15);
    view->AddHotspot(6, &il, false);
    view->AddHotspot(2, &il, true);
    EXPECT_EQ(view->Items()[0].Info.StyleNo, rvsHotSpot);
    EXPECT_TRUE(view->Items()[0].Info.SameAsPrev);
    EXPECT_EQ(view->Items()[0].Info.ImageIndex, 6);
    EXPECT_EQ(view->Items()[0].Info.ImageList, &il);
    EXPECT_FALSE(view->Items()[1].Info.SameAsPrev);
    EXPECT_TRUE(view->Items()[1].Text.empty());
}

TEST_F(Items, ClearDeselectsAndReportsIt)
{
    int selects = 0;
    view->OnSelect = [&](TDocView* sender) {
        EXPECT_EQ(sender, view.get());
        ++selects;
    };
    view->AddParagraph("hello", 0);
    view->Format();
    view->SelectAll();
    EXPECT_EQ(selects, 1);
    EXPECT_TRUE(view->SelectionExists());
    view->Clear();
    EXPECT_EQ(selects, 2);
    EXPECT_FALSE(view->SelectionExists());
    EXPECT_TRUE(view->DrawLines().empty());
}

namespace {
// A view that borrows items, as the printable copy does.
class SharingView : public TDocView {
public:
    SharingView() { MarkSharing(); }
};
} // namespace

TEST_F(Items, ASharingViewBorrowsItemsAndNeverFreesThem)
{
    view->AddParagraph("one", 0);
    view->AddCheckpoint("0");
    view->AddParagraph("two", 0);

    TDocView plain;
    plain.ShareItems(view.get()); // not sharing: nothing happens
    EXPECT_EQ(plain.ItemCount(), 0);

    auto copy = std::make_unique<SharingView>();
    copy->SetCanvas(std::make_unique<TTestCanvas>(72, 72));
    copy->SetStyle(style.get());
    copy->ShareItems(view.get());
    EXPECT_EQ(copy->ItemCount(), 3);
    EXPECT_EQ(&copy->Items(), &view->Items());
    copy->Format();
    EXPECT_EQ(copy->DrawLines().size(), 2u);
    ASSERT_EQ(copy->Checkpoints().size(), 1u);
    EXPECT_EQ(copy->GetCheckpointY(0), 11);

    copy->Clear();
    EXPECT_EQ(view->ItemCount(), 3);
    copy->ShareItems(view.get());
    copy.reset();
    EXPECT_EQ(view->ItemCount(), 3);
}

TEST_F(Items, ASharingViewOutlivingItsSourceFallsBackToAnEmptyDocument)
{
    auto source = std::make_unique<TDocView>();
    source->AddParagraph("gone soon", 0);
    SharingView copy;
    copy.SetCanvas(std::make_unique<TTestCanvas>(72, 72));
    copy.SetStyle(style.get());
    copy.ShareItems(source.get());
    copy.Format();
    EXPECT_EQ(copy.DrawLines().size(), 1u);
    source.reset();
    EXPECT_EQ(copy.ItemCount(), 0);
    EXPECT_TRUE(copy.DrawLines().empty());
    copy.Format();
    EXPECT_TRUE(copy.DrawLines().empty());
}

TEST(DVStyle, DefaultsAndStyleTable)
{
    TDVStyle s;
    const TFontInfos& t = s.TextStyles();
    ASSERT_EQ(t.Count(), 6);
    EXPECT_EQ(t.Items(0).FontName, "Times New Roman");
    EXPECT_EQ(t.Items(0).Size, 10);
    EXPECT_EQ(t.Items(0).CharSet, DEFAULT_CHARSET);
    EXPECT_EQ(t.Items(0).Color, clWindowText);
    EXPECT_EQ(t.Items(0).Style, 0);
    EXPECT_EQ(t.Items(1).Style, fsBold);
    EXPECT_EQ(t.Items(1).Color, clBlue);
    EXPECT_EQ(t.Items(2).Color, clNavy);
    EXPECT_EQ(t.Items(3).Style, fsItalic);
    EXPECT_EQ(t.Items(3).Color, clMaroon);
    EXPECT_EQ(t.Items(4).Style, fsUnderline);
    EXPECT_EQ(t.Items(5).Color, clGreen);
    EXPECT_THROW(t.Items(6), EListError);
    EXPECT_EQ(s.JumpCursor(), 101);
    EXPECT_EQ(s.Color(), clWindow);
    EXPECT_EQ(s.HoverColor(), clNone);
    EXPECT_FALSE(s.FullRedraw());
    EXPECT_EQ(s.SelColor(), clHighlight);
    EXPECT_EQ(s.SelTextColor(), clHighlightText);

    TFontInfos other;
    other.Add().FontName = "Kreska";
    s.SetTextStyles(other);
    EXPECT_EQ(s.TextStyles().Count(), 1);
    other.Items(0).Size = 30; // the component keeps its own copy
    EXPECT_EQ(s.TextStyles().Items(0).Size, 10);
}

TEST_F(Items, DestroyingTheStyleLeavesTheViewWithout)
{
    view->AddParagraph("text", 0);
    style.reset();
    EXPECT_EQ(view->Style(), nullptr);
    view->Format(); // does nothing
    EXPECT_TRUE(view->DrawLines().empty());
}

// The items belong to the source: when it empties them, the borrowing view's
// layout still names items that are gone. It must not read them.
TEST_F(Items, ASharingViewIgnoresLinesWhoseItemsTheSourceDropped)
{
    view->AddParagraph("one", 0);
    view->AddParagraph("two", 4);
    SharingView copy;
    copy.SetCanvas(std::make_unique<TTestCanvas>(72, 72));
    copy.SetStyle(style.get());
    copy.resize(400, 300);
    copy.ShareItems(view.get());
    copy.Format();
    ASSERT_EQ(copy.DrawLines().size(), 2u);
    copy.SelectAll();

    view->Clear();
    TTestCanvas c(72, 72);
    copy.PaintArea(c, TRect{0, 0, 200, 100});
    for (const TTestCanvas::Op& o : c.ops)
        EXPECT_NE(o.kind, TTestCanvas::Op::Text);
    copy.DoFormat(true, copy.Canvas()); // as a resize: same width, old lines kept
    copy.SelectAll();
    copy.Format();
    EXPECT_TRUE(copy.DrawLines().empty());
}
