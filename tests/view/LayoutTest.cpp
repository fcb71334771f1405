#include "ViewFixture.h"

#include "platform/ImageList.h"
#include "platform/core/Exceptions.h"

#include <QScrollBar>

using Layout = ViewTest;

TEST_F(Layout, WrapsAtTheLastSpaceThatFitsAndConsumesIt)
{
    // Words of 20 px, spaces of 5 px, 100 px of text width.
    view->AddParagraph("aaaa bbbb cccc dddd eeee ffff", 0);
    view->Format();
    EXPECT_EQ(view->TextWidth(), 100);
    ASSERT_EQ(lines(), 2);
    EXPECT_EQ(text(0), "aaaa bbbb cccc dddd");
    EXPECT_EQ(text(1), "eeee ffff");
    EXPECT_EQ(line(0).Offset, 1);
    EXPECT_EQ(line(1).Offset, 21); // past the consumed space
    EXPECT_EQ(line(0).Left, 5);    // left margin
    EXPECT_EQ(line(0).Top, 1);     // external leading
    EXPECT_EQ(line(0).Width, 95);
    EXPECT_EQ(line(0).Height, 10);
    EXPECT_TRUE(line(0).FromNewLine);
    EXPECT_TRUE(line(1).FromNewLine);
    EXPECT_EQ(line(1).Top, 12); // baseline 9 + descent 2 + leading 1
    EXPECT_EQ(view->DocumentHeight(), 23);
}

TEST_F(Layout, AWordWiderThanTheLineIsCutAtStartAndMovedInTheMiddle)
{
    const std::string word(30, 'x'); // 150 px
    view->AddParagraph(word, 0);
    view->AddParagraph("ab", 0);
    view->AddText(word, 0);
    view->Format();
    ASSERT_EQ(lines(), 5);
    EXPECT_EQ(text(0), std::string(20, 'x'));
    EXPECT_EQ(text(1), std::string(10, 'x'));
    EXPECT_EQ(line(1).Offset, 21);
    EXPECT_EQ(text(2), "ab");
    // In the middle of a line the word first moves to a line of its own.
    EXPECT_EQ(text(3), std::string(20, 'x'));
    EXPECT_TRUE(line(3).FromNewLine);
    EXPECT_EQ(line(3).Left, 5);
    EXPECT_EQ(text(4), std::string(10, 'x'));
}

TEST_F(Layout, ACharacterWiderThanTheWholeWidthStillAdvances)
{
    view->SetMaxTextWidth(3); // narrower than one 5-px character
    view->AddParagraph("abc", 0);
    view->Format();
    ASSERT_EQ(lines(), 3);
    EXPECT_EQ(text(2), "c");
}

TEST_F(Layout, ContinuedTextFollowsOnTheLineAndEmptyItemsLeaveNoTrace)
{
    view->AddParagraph("ab", 0);
    view->AddText("", 0);
    view->AddText("cd", 3);
    view->Format();
    ASSERT_EQ(lines(), 2);
    EXPECT_EQ(line(1).Left, 15);
    EXPECT_FALSE(line(1).FromNewLine);
    EXPECT_EQ(line(1).ItemNo, 2);
    EXPECT_EQ(line(1).Top, line(0).Top);
}

TEST_F(Layout, CentredLinesStartAtHalfTheSpareWidth)
{
    view->SetMaxTextWidth(101);
    view->AddCenteredLine("abcd", 2);     // 20 px
    view->AddCenteredLine("abcdefgh", 2); // 40 px
    view->Format();
    ASSERT_EQ(lines(), 2);
    EXPECT_EQ(line(0).Left, 5 + 40);
    EXPECT_EQ(line(1).Left, 5 + 30);
}

TEST_F(Layout, ATallerRunPushesItsWholeLineDown)
{
    style->TextStyles().Items(1).Size = 20; // ascent 15, descent 5, leading 2
    view->AddParagraph("first line", 0);
    view->AddParagraph("ab", 0);
    view->AddText("cd", 0);
    view->AddText("EF", 1);
    view->AddParagraph("next", 0);
    view->Format();
    ASSERT_EQ(lines(), 5);
    // Line 2: baseline 9 + 2 + 1 + 8 = 20 at first, then 17 - 9 = 8 lower.
    EXPECT_EQ(line(0).Top, 1);
    EXPECT_EQ(line(1).Top, 12 + 8);
    EXPECT_EQ(line(2).Top, 12 + 8);
    EXPECT_EQ(line(3).Top, 28 - 15);
    EXPECT_EQ(line(3).Height, 20);
    // The next line starts below the larger descent.
    EXPECT_EQ(line(4).Top, 28 + 5 + 1);
}

TEST_F(Layout, CheckpointsRecordTheBottomOfTheLineBefore)
{
    view->AddCheckpoint("0");
    view->AddParagraph("ab", 0);
    view->AddCheckpoint("1");
    view->AddParagraph("cd", 0);
    view->Format();
    EXPECT_EQ(view->GetCheckpointY(0), 0);
    EXPECT_EQ(view->GetCheckpointY(1), 11);
    EXPECT_EQ(line(1).Top, 12);
    EXPECT_EQ(view->Checkpoints()[1].Info.ItemNo, 2);
    EXPECT_EQ(view->Checkpoints()[1].Name, "1");
}

TEST_F(Layout, JumpsAreNumberedInItemOrderOverTextJumpsAndHotspots)
{
    TImageList il(16, 15);
    view->AddParagraph("plain", 0);
    view->AddText("link", 4);
    view->AddHotspot(0, &il, false);
    view->AddText("", 5);                             // uses up id 2
    view->AddParagraph("aaaa bbbb cccc dddd eeee", 5); // wraps: two areas, id 3
    view->AddHotspot(0, &il, true);
    view->Format();
    const auto& j = view->Jumps();
    ASSERT_EQ(j.size(), 5u);
    EXPECT_EQ(j[0].Id, 0);
    EXPECT_EQ(j[1].Id, 1);
    EXPECT_EQ(j[2].Id, 3);
    EXPECT_EQ(j[3].Id, 3);
    EXPECT_EQ(j[4].Id, 4);
    EXPECT_EQ(view->Items()[1].Info.ImageIndex, 0);
    EXPECT_EQ(view->Items()[3].Info.ImageIndex, -1); // no piece to carry it
    EXPECT_EQ(view->Items()[4].Info.ImageIndex, 3);
    EXPECT_EQ(view->Items()[2].Info.ImageIndex, 0); // a hotspot keeps its image
    for (const TJumpInfo& a : j) {
        const TDrawLineInfo& d = line(a.DrawLineNo);
        EXPECT_EQ(a.Left, d.Left);
        EXPECT_EQ(a.Top, d.Top);
    }
    // The text jump covers its piece exactly; the hotspot its image.
    EXPECT_EQ(j[0].Width, line(j[0].DrawLineNo).Width);
    EXPECT_EQ(j[1].Width, 16);
    EXPECT_EQ(j[1].Height, 15);

    // Numbering starts afresh with every layout.
    view->Format();
    EXPECT_EQ(view->Jumps().front().Id, 0);
    EXPECT_EQ(view->Jumps().back().Id, 4);
}

TEST_F(Layout, AHotspotStaysOnTheLineOrMovesToTheNext)
{
    TImageList il(16, 15);
    view->AddParagraph(std::string(10, 'x'), 0); // 50 px
    view->AddHotspot(0, &il, false);              // fits: 50 + 18 <= 100
    view->AddParagraph(std::string(18, 'y'), 0); // 90 px
    view->AddHotspot(0, &il, false);              // does not fit
    view->Format();
    ASSERT_EQ(lines(), 4);
    // On the line: the line grows to the image's 16 px.
    EXPECT_EQ(line(0).Top, 1 + 7);
    EXPECT_EQ(line(1).Left, 5 + 50 + 1);
    EXPECT_EQ(line(1).Top, 1);
    EXPECT_EQ(line(1).Width, 17);
    EXPECT_EQ(line(1).Height, 16);
    EXPECT_FALSE(line(1).FromNewLine);
    // Next paragraph: baseline 16 + descent 2 + leading 1 + ascent 8 = 27.
    EXPECT_EQ(line(2).Top, 19);
    // Moved: first piece of a new line.
    EXPECT_TRUE(line(3).FromNewLine);
    EXPECT_EQ(line(3).Left, 6);
    EXPECT_EQ(line(3).Top, 27 + 2 + 1);
    EXPECT_EQ(view->DocumentHeight(), 27 + 2 + 16 + 1 + 1);
}

TEST_F(Layout, ImagesAreScaledToTheCanvasResolution)
{
    TImageList il(16, 15);
    view->AddParagraph("a", 0);
    view->AddHotspot(0, &il, true);
    TTestCanvas printer(144, 216);
    view->SetMaxTextWidth(400);
    view->DoFormat(false, printer);
    ASSERT_EQ(lines(), 2);
    EXPECT_EQ(line(0).Left, 10);      // margin 5 at twice the screen's x resolution
    EXPECT_EQ(line(1).Width, 32 + 1); // 16 px at 2x
    EXPECT_EQ(line(1).Height, 45 + 1);
    EXPECT_EQ(line(0).Height, 30);    // a 10-point font at 216 dpi
}

TEST_F(Layout, FormatOptionsCanLeaveOutImages)
{
    TImageList il(16, 15);
    view->AddParagraph("a", 4);
    view->AddHotspot(0, &il, true);
    view->AddParagraph("b", 5);
    view->SetFormatOptions(foPictures);
    view->Format();
    EXPECT_EQ(lines(), 2);
    ASSERT_EQ(view->Jumps().size(), 2u);
    EXPECT_EQ(view->Jumps()[1].Id, 1); // the skipped hotspot took no id
}

TEST_F(Layout, AStyleOutsideTheTableRaisesAndTheViewRecovers)
{
    view->AddParagraph("bad", 9);
    EXPECT_THROW(view->Format(), EListError);
    view->Clear();
    view->AddParagraph("good", 0);
    view->Format();
    EXPECT_EQ(lines(), 1);
}

TEST_F(Layout, WidthComesFromTheClientAndItsBounds)
{
    view->SetMaxTextWidth(0);
    view->AddParagraph("a", 0);
    view->Format();
    EXPECT_EQ(view->TextWidth(), view->ClientWidth() - 10);
    view->SetMinTextWidth(5000);
    view->Format();
    EXPECT_EQ(view->TextWidth(), 5000);
    EXPECT_EQ(view->HMax(), 5010);
    view->SetMaxTextWidth(1000);
    view->Format();
    EXPECT_EQ(view->TextWidth(), 1000);
    // The scroll range still covers the whole (minimum) width.
    EXPECT_EQ(view->HMax(), 5010);
}

TEST_F(Layout, ALongDocumentGetsALargerScrollUnit)
{
    style->TextStyles().Items(1).Size = 1000; // 1125 px per line
    for (int i = 0; i < 300; ++i)
        view->AddParagraph("a", 1);
    view->Format();
    ASSERT_GT(view->DocumentHeight(), 300000);
    const int unit = view->DocumentHeight() / 30000;
    EXPECT_EQ(view->ScrollUnit(), unit);
    EXPECT_GT(unit, 10);
    EXPECT_EQ(view->VMax(), view->DocumentHeight() / unit);
    // Never smaller again.
    view->Clear();
    view->AddParagraph("short", 0);
    view->Format();
    EXPECT_EQ(view->ScrollUnit(), unit);
}

TEST_F(Layout, AResizeOfTheHeightKeepsLayoutAndPosition)
{
    view->SetMaxTextWidth(0);
    view->show();
    for (int i = 0; i < 200; ++i)
        view->AddParagraph("line " + std::to_string(i) + " with some words in it, and then some more", 0);
    view->Format();
    const auto before = view->DrawLines().front().Text;
    const int n = lines();
    view->ScrollTo(500);
    EXPECT_EQ(view->VPos(), 50);
    int resized = 0;
    view->OnResized = [&](TDocView*) { ++resized; };
    view->resize(view->width(), view->height() + 37);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(view->VPos(), 50);
    EXPECT_EQ(lines(), n);

    // A narrower window lays out again and keeps the document y at the top.
    view->resize(view->width() - 150, view->height());
    EXPECT_EQ(resized, 2);
    EXPECT_GT(lines(), n);
    EXPECT_EQ(view->VPos(), 50);
}

TEST_F(Layout, FormatShowsTheTopAndKeepsTheSelectionOnItsItems)
{
    for (int i = 0; i < 100; ++i)
        view->AddParagraph("aaaa bbbb cccc dddd eeee ffff", 0);
    view->Format();
    view->ScrollTo(300);
    // Select from "cccc" in paragraph 3 to "ff" in paragraph 4.
    view->SetSelection(TDVPosition{6, 11}, TDVPosition{9, 7});
    view->SetMaxTextWidth(60); // now three pieces per paragraph
    view->Format();
    EXPECT_EQ(view->VPos(), 0);
    // "aaaa bbbb" / "cccc dddd" / "eeee ffff": item 3 pos 11 is "c" of the
    // second piece; item 4 pos 26 is the second "f" of the third piece.
    EXPECT_EQ(view->SelectionStart(), (TDVPosition{10, 1}));
    EXPECT_EQ(view->SelectionEnd(), (TDVPosition{14, 7}));
    EXPECT_EQ(text(10), "cccc dddd");
    EXPECT_EQ(text(14), "eeee ffff");
}

TEST_F(Layout, ASelectionEndOnAWrappingSpaceGoesToTheEndOfThePieceBefore)
{
    view->AddParagraph("aaaa bbbb cccc dddd eeee ffff", 0);
    view->Format();
    view->SetSelection(TDVPosition{0, 1}, TDVPosition{0, 15}); // before the space after "cccc"
    view->SetMaxTextWidth(75); // "aaaa bbbb cccc" (70 px) / "dddd eeee ffff"
    view->Format();
    ASSERT_EQ(text(0), "aaaa bbbb cccc");
    EXPECT_EQ(view->SelectionStart(), (TDVPosition{0, 1}));
    EXPECT_EQ(view->SelectionEnd(), (TDVPosition{0, 15}));
}

// A taller piece later on a line pushes the pieces before it down; the
// jumps laid out before it must follow, or clicks would miss them.
TEST_F(Layout, JumpsFollowTheirLinesWhenALaterPiecePushesThemDown)
{
    TImageList tall(16, 30);
    view->AddParagraph("ab", 4);
    view->AddText("cd", 5);
    view->AddHotspot(0, &tall, false);
    view->AddParagraph("ef", 4);
    view->Format();
    ASSERT_EQ(lines(), 4);
    ASSERT_EQ(view->Jumps().size(), 4u);
    // The text started at the top and went down by the image's excess.
    EXPECT_GT(line(0).Top, 1);
    EXPECT_EQ(line(1).Top, line(0).Top);
    for (int j = 0; j < 4; ++j) {
        const TJumpInfo& jump = view->Jumps()[size_t(j)];
        const TDrawLineInfo& drawn = line(jump.DrawLineNo);
        EXPECT_EQ(jump.Left, drawn.Left) << j;
        EXPECT_EQ(jump.Top, drawn.Top) << j;
    }
}
