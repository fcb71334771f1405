// Pagination: page geometry from the printer and the margins, and where the
// pages break for known layouts.
#include "PrintFixture.h"

TEST_F(PrintTest, EmptyDocumentHasNoPagesAndRefusesPageOne)
{
    EXPECT_EQ(Paginate(), 0);
    EXPECT_EQ(print->PagesCount(), 0);
    TTestCanvas c(96, 96);
    try {
        copy().DrawPage(1, c);
        FAIL() << "page 1 of nothing was drawn";
    } catch (const EInvalidPageNo& e) {
        EXPECT_STREQ(e.what(), "Invalid page number is specified for printing");
    }
    EXPECT_TRUE(c.ops.empty());
    // The preview image is left as it was.
    QImage img(5, 5, QImage::Format_RGB32);
    img.fill(Qt::blue);
    EXPECT_THROW(print->DrawPageImage(1, img), EInvalidPageNo);
    EXPECT_EQ(img.size(), QSize(5, 5));
    EXPECT_EQ(img.pixel(2, 2), QColor(Qt::blue).rgb());
}

TEST_F(PrintTest, MarginsShrinkTheTextAreaByWholeInchesAndStartExactlyAtTheMillimetre)
{
    AddLines(3);
    Paginate();
    // 20 + 20 mm round to 2 whole inches at 600 dpi.
    EXPECT_EQ(copy().CopyWidth(), 4724 - 2 * 600);
    EXPECT_EQ(copy().CopyHeight(), 6780 - 2 * 600);
    // 20 mm of 200 mm on 4724 px is 472.4 px; of 287 mm on 6780 px 472.47.
    EXPECT_EQ(copy().LeftMarginPx(), 472);
    EXPECT_EQ(copy().RightMarginPx(), 472);
    EXPECT_EQ(copy().TopMarginPx(), 472);
    EXPECT_EQ(copy().BottomMarginPx(), 472);
    EXPECT_EQ(copy().PrinterDpiX(), 600);
    EXPECT_EQ(copy().ScreenDpiX(), 96);

    // Margins whose sum rounds down to fewer inches than they take: the text
    // area is cut by the margins themselves and stays on the paper.
    print->SetLeftMarginMM(10);
    print->SetRightMarginMM(2); // 12 mm rounds to 0 inches
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    Paginate();
    EXPECT_EQ(copy().CopyWidth(), 4724 - 236); // 10 mm: 236.2 px
    EXPECT_EQ(copy().CopyHeight(), 6780);
    EXPECT_LE(copy().LeftMarginPx() + copy().CopyWidth(), 4724);

    // Margins that round down but leave the text on the paper keep the
    // whole-inch text area: 30 + 30 mm is 2 inches.
    print->SetLeftMarginMM(30);
    print->SetRightMarginMM(30);
    print->SetTopMarginMM(30);
    print->SetBottomMarginMM(30);
    Paginate();
    EXPECT_EQ(copy().CopyWidth(), 4724 - 2 * 600);
    EXPECT_EQ(copy().CopyHeight(), 6780 - 2 * 600);
}

TEST_F(PrintTest, UniformLinesBreakWhereTheNextLineWouldOverflow)
{
    AddLines(40);
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    Paginate();
    ASSERT_EQ(lines(), 40);
    const int step = line(1).Top - line(0).Top;
    const int hl = line(0).Height;
    ASSERT_GT(step, 0);
    for (int i = 1; i < 40; ++i)
        ASSERT_EQ(line(i).Top - line(i - 1).Top, step);

    // A text area that line 9 touches exactly: it stays on page 1.
    printer->geometry.HeightPx = line(9).Top + hl;
    int pages = Paginate();
    EXPECT_EQ(firstOf(2), 10);
    EXPECT_EQ(topOf(2), line(10).Top);
    EXPECT_EQ(pages, copy().PagesCount());
    ExpectSoundPages();
    // One pixel less and it moves to page 2.
    printer->geometry.HeightPx -= 1;
    pages = Paginate();
    EXPECT_EQ(firstOf(2), 9);
    EXPECT_EQ(topOf(2), line(9).Top);
    ExpectSoundPages();
    // Each later page is as full as it can be: its first line would not
    // have fitted on the page before.
    for (int p = 2; p <= pages; ++p)
        EXPECT_GT(line(firstOf(p)).Top + hl, topOf(p - 1) + copy().CopyHeight()) << "page " << p;
    EXPECT_LE(firstOf(pages), 39);
}

TEST_F(PrintTest, ALineOfMixedSizesMovesWhole)
{
    style->TextStyles().Items(1).Size = 30;
    AddLines(6);
    source->AddParagraph("small", 0);
    source->AddText("BIG", 1); // same visual line, taller: the line grows
    AddLines(3);
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    Paginate();
    ASSERT_EQ(lines(), 11);
    const TDrawLineInfo small = line(6);
    const TDrawLineInfo big = line(7);
    ASSERT_LT(big.Top, small.Top);
    ASSERT_GT(big.Top + big.Height, small.Top + small.Height);
    // The small piece fits, the big one does not.
    printer->geometry.HeightPx = small.Top + small.Height;
    Paginate();
    ASSERT_GE(copy().PagesCount(), 2);
    EXPECT_EQ(firstOf(2), 6);
    EXPECT_EQ(topOf(2), big.Top); // the page starts at the line's highest piece
    ExpectSoundPages();
}

TEST_F(PrintTest, LinesTallerThanAPageStillEndInPages)
{
    // Marks are 94 printer pixels high at 600 dpi; the page is smaller.
    AddLines(2);
    source->AddHotspot(0, &marks, true);
    source->AddHotspot(0, &marks, false); // two tall pieces on one line
    source->AddHotspot(0, &marks, true);
    AddLines(2);
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    printer->geometry.HeightPx = 60;
    const int pages = Paginate();
    ASSERT_EQ(lines(), 7);
    EXPECT_GT(line(2).Height, 60);
    // Every drawn line from the tall ones on starts a page of its own, and
    // pagination ends.
    EXPECT_EQ(pages, copy().PagesCount());
    EXPECT_GE(pages, 5);
    for (int p = 2; p <= pages; ++p)
        EXPECT_GT(firstOf(p), firstOf(p - 1));
    EXPECT_LE(firstOf(pages), 6);
}

TEST_F(PrintTest, FormattingEventsReportEveryPage)
{
    AddLines(40);
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    printer->geometry.HeightPx = 1000;
    std::vector<std::pair<int, TDVPrintingStep>> events;
    print->OnFormatting = [&](TDocView* sender, int page, TDVPrintingStep step) {
        EXPECT_EQ(sender, print->Copy());
        events.emplace_back(page, step);
    };
    const int pages = Paginate();
    ASSERT_GE(pages, 3);
    std::vector<std::pair<int, TDVPrintingStep>> want{{0, dvpsStarting}};
    for (int p = 0; p <= pages; ++p)
        want.emplace_back(p, dvpsProceeding);
    want.emplace_back(pages, dvpsFinished);
    EXPECT_EQ(events, want);

    // An empty document: started, and nothing after.
    source->Clear();
    events.clear();
    EXPECT_EQ(Paginate(), 0);
    EXPECT_EQ(events, (std::vector<std::pair<int, TDVPrintingStep>>{{0, dvpsStarting}}));
}

TEST_F(PrintTest, ControlsAreNeverLaidOutForPaperAndTheSourceSurvivesTheCopy)
{
    AddLines(30);
    print->AssignDocument(source.get());
    print->Paginate(foAll);
    EXPECT_EQ(copy().FormatOptions() & foControls, 0);
    ASSERT_GT(print->PagesCount(), 0);
    source.reset();
    // The borrowed items are gone: no pages refer to them any more.
    EXPECT_EQ(print->PagesCount(), 0);
    TTestCanvas c(96, 96);
    EXPECT_THROW(copy().DrawPage(1, c), EInvalidPageNo);
}

TEST_F(PrintTest, PagesNeverOutliveTheLayoutTheyIndex)
{
    AddLines(40);
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    printer->geometry.HeightPx = 1000;
    ASSERT_GE(Paginate(), 3);

    // A layout that fails takes the old pages with it (the document is not
    // handed over again, which would drop them anyway).
    source->AddParagraph("bad", 99);
    EXPECT_THROW(print->Paginate(foPictures | foImages), EListError);
    EXPECT_EQ(print->PagesCount(), 0);
    TTestCanvas c(96, 96);
    EXPECT_THROW(copy().DrawPage(1, c), EInvalidPageNo);

    // A progress handler that lets the source go ends the cutting: no page
    // is left over lines that are gone, and no more progress is reported.
    source = std::make_unique<TDocView>();
    source->SetCanvas(std::make_unique<TTestCanvas>(96, 96));
    source->SetStyle(style.get());
    AddLines(40);
    std::vector<std::pair<int, TDVPrintingStep>> events;
    print->OnFormatting = [&](TDocView*, int page, TDVPrintingStep step) {
        events.emplace_back(page, step);
        if (step == dvpsProceeding && page == 1)
            source.reset();
    };
    EXPECT_EQ(Paginate(), 0);
    EXPECT_EQ(print->PagesCount(), 0);
    EXPECT_EQ(events.back(), std::make_pair(1, dvpsProceeding));
    EXPECT_THROW(copy().DrawPage(1, c), EInvalidPageNo);
}
