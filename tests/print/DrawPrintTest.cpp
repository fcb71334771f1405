// Drawing pages on a canvas and the order of sheets in a print job.
#include "PrintFixture.h"

namespace {

std::vector<std::string> texts(const TTestCanvas& c)
{
    std::vector<std::string> out;
    for (const TTestCanvas::Op& op : c.ops)
        if (op.kind == TTestCanvas::Op::Text)
            out.push_back(op.text);
    return out;
}

} // namespace

class DrawPrintTest : public PrintTest {
protected:
    // Three pages of uniform one-word lines.
    int ThreePages()
    {
        AddLines(30);
        print->SetTopMarginMM(0);
        print->SetBottomMarginMM(0);
        Paginate();
        printer->geometry.HeightPx = line(10).Top - 1; // lines 0..9 fit, with room to spare
        return Paginate();
    }
};

TEST_F(DrawPrintTest, APageDrawsItsOwnLinesAtTheTargetsResolution)
{
    // Margins at 600 dpi: 20 mm of the 200-mm width are 472 px, 10 mm of the
    // 287-mm height 236 px; the text area is 3524 px wide.
    print->SetTopMarginMM(10);
    AddLines(200);
    ASSERT_GE(Paginate(), 3);
    ASSERT_EQ(copy().LeftMarginPx(), 472);
    ASSERT_EQ(copy().TopMarginPx(), 236);
    const int first = firstOf(2);
    const int last = firstOf(3) - 1;

    // Drawn at 96 dpi, where 6.25 printer pixels make one.
    TTestCanvas c(96, 96);
    copy().DrawPage(2, c);
    ASSERT_FALSE(c.ops.empty());
    // The text area's background first, at the margins: 472 / 6.25 = 75.52
    // and 236 / 6.25 = 37.76, 3524 / 6.25 = 563.84 wide.
    const TTestCanvas::Op& bg = c.ops.front();
    EXPECT_EQ(bg.kind, TTestCanvas::Op::Fill);
    EXPECT_EQ(bg.rect.Left, 76);
    EXPECT_EQ(bg.rect.Top, 38);
    EXPECT_EQ(bg.rect.Width(), 564);

    // Exactly the page's lines, in order, placed from the page's top.
    std::vector<std::string> want;
    for (int i = first; i <= last; ++i)
        want.push_back(copy().DrawLines()[size_t(i)].Text);
    EXPECT_EQ(texts(c), want);
    const TTestCanvas::Op* firstText = nullptr;
    for (const TTestCanvas::Op& op : c.ops)
        if (op.kind == TTestCanvas::Op::Text && !firstText)
            firstText = &op;
    ASSERT_NE(firstText, nullptr);
    // The view's 5-pixel margin is 31 printer pixels: (31 + 472) / 6.25 =
    // 80.48; the page's first line stands at the top margin.
    ASSERT_EQ(line(first).Left, 31);
    ASSERT_EQ(line(first).Top, topOf(2));
    EXPECT_EQ(firstText->rect.Left, 80);
    EXPECT_EQ(firstText->rect.Top, 38);
    // Fonts are chosen for the target, not for the printer.
    EXPECT_EQ(firstText->font.Size, 10);

    // Pages outside 1..count are refused and nothing is drawn.
    for (int bad : {0, -1, copy().PagesCount() + 1}) {
        TTestCanvas none(96, 96);
        EXPECT_THROW(copy().DrawPage(bad, none), EInvalidPageNo) << bad;
        EXPECT_TRUE(none.ops.empty());
    }
    // The last page runs to the last line.
    TTestCanvas lastPage(96, 96);
    copy().DrawPage(copy().PagesCount(), lastPage);
    EXPECT_EQ(texts(lastPage).back(), "w199");
}

TEST_F(DrawPrintTest, HotspotsAreStretchedFromScreenPixelsAndMissingStyleIsRefused)
{
    source->AddParagraph("see", 0);
    source->AddHotspot(0, &marks, false);
    Paginate();
    ASSERT_EQ(print->PagesCount(), 1);
    TTestCanvas c(300, 300);
    copy().DrawPage(1, c);
    const TTestCanvas::Op* mark = nullptr;
    for (const TTestCanvas::Op& op : c.ops)
        if (op.kind == TTestCanvas::Op::Stretch)
            mark = &op;
    ASSERT_NE(mark, nullptr);
    // 16 x 15 screen pixels at 300 dpi: 50 x 46.875.
    EXPECT_EQ(mark->rect.Width(), 50);
    EXPECT_EQ(mark->rect.Height(), 47);
    // After "see" (3 x 41 px) and the 31-px view margin, one pixel on, and
    // the 472-px page margin: 627 printer pixels, halved.
    ASSERT_EQ(line(1).Left, 155);
    EXPECT_EQ(mark->rect.Left, 314);

    copy().SetStyle(nullptr);
    TTestCanvas none(96, 96);
    try {
        copy().DrawPage(1, none);
        FAIL();
    } catch (const EStyleNotAssigned& e) {
        EXPECT_STREQ(e.what(), "Style of printable TDocView component is not assigned");
    }
    EXPECT_TRUE(none.ops.empty());
}

TEST_F(DrawPrintTest, CollatedAndUncollatedCopiesOnAPrinterThatCannotCopy)
{
    ASSERT_EQ(ThreePages(), 3);
    std::vector<int> sent;
    print->OnSendingToPrinter = [&](TDocView*, int page, TDVPrintingStep step) {
        if (step == dvpsProceeding)
            sent.push_back(page);
        else
            sent.push_back(step == dvpsStarting ? -1 : -2);
    };
    printer->copies = 7;
    print->Print("Drukowanie:x ", 3, true);
    EXPECT_EQ(sent, (std::vector<int>{-1, 1, 2, 3, 1, 2, 3, 1, 2, 3, -2}));
    // Nine sheets: a new one between pages, none after the last.
    EXPECT_EQ(printer->log, (std::vector<std::string>{"begin", "sheet", "sheet", "sheet", "sheet", "sheet",
                                                      "sheet", "sheet", "sheet", "end"}));
    EXPECT_EQ(printer->title, "Drukowanie:x ");
    EXPECT_EQ(printer->copiesDuringJob, 1);
    EXPECT_EQ(printer->copies, 7); // restored

    sent.clear();
    printer->log.clear();
    print->Print("t", 3, false);
    EXPECT_EQ(sent, (std::vector<int>{-1, 1, 1, 1, 2, 2, 2, 3, 3, 3, -2}));
    EXPECT_EQ(std::count(printer->log.begin(), printer->log.end(), "sheet"), 8);

    // What the canvas received: each page's last line, once per sheet.
    sent.clear();
    printer->canvas.ops.clear();
    print->PrintRange(2, 3, "t", 2, true);
    EXPECT_EQ(sent, (std::vector<int>{-1, 2, 3, 2, 3, -2}));
    const std::vector<std::string> drawn = texts(printer->canvas);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), "w0"), 0);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), "w29"), 2);
}

TEST_F(DrawPrintTest, APrinterThatCopiesGetsEachPageOnce)
{
    ASSERT_EQ(ThreePages(), 3);
    printer->canCopy = true;
    std::vector<int> sent;
    print->OnSendingToPrinter = [&](TDocView*, int page, TDVPrintingStep step) {
        if (step == dvpsProceeding)
            sent.push_back(page);
    };
    print->Print("t", 3, true);
    EXPECT_EQ(sent, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(printer->copiesDuringJob, 3);
    EXPECT_EQ(printer->copies, 1);
}

TEST_F(DrawPrintTest, EmptyRangesGiveEmptyJobsAndBadRangesNoJob)
{
    ASSERT_EQ(ThreePages(), 3);
    print->PrintRange(3, 2, "t", 1, false);
    EXPECT_EQ(printer->log, (std::vector<std::string>{"begin", "end"}));
    printer->log.clear();
    print->Print("t", 0, true);
    EXPECT_EQ(printer->log, (std::vector<std::string>{"begin", "end"}));
    EXPECT_TRUE(printer->canvas.ops.empty());

    printer->log.clear();
    EXPECT_THROW(print->PrintRange(2, 4, "t", 1, false), EInvalidPageNo);
    EXPECT_THROW(print->PrintRange(0, 1, "t", 1, false), EInvalidPageNo);
    EXPECT_TRUE(printer->log.empty());
}

TEST_F(DrawPrintTest, AFailingSheetAbortsTheJobAndRestoresTheCopies)
{
    struct Failing : TFakePrinter {
        void NewPage() override { throw EPrinterError("out of paper"); }
    };
    AddLines(30);
    auto f = std::make_unique<Failing>();
    Failing* fp = f.get();
    print->SetPrinter(std::move(f));
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    Paginate();
    fp->geometry.HeightPx = line(10).Top - 1;
    ASSERT_EQ(Paginate(), 3);
    fp->copies = 4;
    EXPECT_THROW(print->Print("t", 2, true), EPrinterError);
    EXPECT_EQ(fp->log, (std::vector<std::string>{"begin", "abort"}));
    EXPECT_EQ(fp->copies, 4);
}

namespace {
// A view that can hold the kinds no public operation adds.
struct AnyItemsView : TDocView {
    using TDocView::AddItem;
};
} // namespace

TEST_F(DrawPrintTest, RulesAndBackgroundBitmapsFollowTheScreenMeasures)
{
    AnyItemsView v;
    v.SetCanvas(std::make_unique<TTestCanvas>(96, 96));
    v.SetStyle(style.get());
    v.AddParagraph("above", 0);
    TLineInfo rule;
    rule.StyleNo = rvsBreak;
    v.AddItem("", rule);
    v.AddParagraph("below", 0);
    v.AddHotspot(0, &marks, false);
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    v.SetBackgroundBitmap(tile);
    v.SetBackgroundStyle(bsTiledAndScrolled);
    style->TextStyles().Items(0).Color = clRed;

    print->AssignDocument(&v);
    ASSERT_EQ(print->Paginate(foPictures | foImages), 1);
    TTestCanvas c(96, 96);
    copy().DrawPage(1, c);
    // Paper does not scroll: the tiles are fixed to the page from now on.
    EXPECT_EQ(copy().BackgroundStyle(), bsTiled);

    // The background as one bitmap over the text area.
    ASSERT_FALSE(c.ops.empty());
    const TTestCanvas::Op& bg = c.ops.front();
    EXPECT_EQ(bg.kind, TTestCanvas::Op::Stretch);
    // Margins of 472 printer pixels, an area of 3524 x 5580, all divided by
    // 6.25: 75.52, 563.84 x 892.8.
    EXPECT_EQ(bg.rect, (TRect{76, 76, 76 + 564, 76 + 893}));

    // The rule: in style 0's colour, 5 screen pixels below its top, from 5
    // pixels in to the view's right margin plus 5 before the area's end.
    const TTestCanvas::Op* ruleOp = nullptr;
    for (const TTestCanvas::Op& op : c.ops)
        if (op.kind == TTestCanvas::Op::Line)
            ruleOp = &op;
    ASSERT_NE(ruleOp, nullptr);
    EXPECT_EQ(ruleOp->color, clRed);
    // The rule's line starts 93 printer pixels down and 31 in; 5 screen
    // pixels are 31 printer pixels. Top: 93 + 472 + 31 = 596; left: 31 +
    // 472 + 31 = 534; right: 3524 + 472 less (5 + 5) screen pixels, 63 = 3933.
    ASSERT_EQ(line(1).Top, 93);
    ASSERT_EQ(line(1).Left, 31);
    ASSERT_EQ(topOf(1), 0);
    EXPECT_EQ(ruleOp->rect.Top, 95);
    EXPECT_EQ(ruleOp->rect.Bottom, 95);
    EXPECT_EQ(ruleOp->rect.Left, 85);
    EXPECT_EQ(ruleOp->rect.Right, 629);

    // A new document brings its own background style back.
    print->AssignDocument(&v);
    EXPECT_EQ(copy().BackgroundStyle(), bsTiledAndScrolled);
}
