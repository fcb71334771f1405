// Hit-testing, mouse selection, copying, clicked words, jumps, hover,
// auto-scroll and keys of the document view, driven through real Qt events
// on the offscreen platform. Geometry comes from the test canvas (style 0:
// 5 pixels a character, 10 high), text width 100 = 20 characters.
#include "ViewFixture.h"

#include "platform/Cursors.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

namespace {

std::string pl(const char* utf8) { return cp1250::fromUtf8(utf8); }

class Interact : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        view->SetFirstJumpNo(1000);
        marks = std::make_unique<TImageList>(16, 15);
        QImage img(16, 15, QImage::Format_RGB32);
        img.fill(Qt::red);
        for (int i = 0; i < 7; ++i)
            marks->Add(img);
    }

    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint p)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(p), view->viewport()->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonPress, b, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonRelease, b, p); }
    void move(QPoint p)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), view->viewport()->mapToGlobal(QPointF(p)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        press(p, b);
        release(p, b);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(view.get(), &e);
    }
    // Client point over character k (1-based) of drawn line i.
    QPoint overChar(int i, int k) const
    {
        return QPoint(line(i).Left + 5 * (k - 1) + 2 - view->HPos(),
                      line(i).Top + 3 - view->VPos() * view->ScrollUnit());
    }

    std::unique_ptr<TImageList> marks;
};

} // namespace

TEST_F(Interact, FindDrawLineAtIncludesLeftAndTopEdgesOnly)
{
    view->AddParagraph("abc", 0);
    view->AddText("def", 1); // bold blue 10 pt: same size, next piece
    view->AddParagraph("ghi", 0);
    view->Format();
    ASSERT_EQ(lines(), 3);
    const TDrawLineInfo a = line(0), b = line(1), c = line(2);
    EXPECT_EQ(view->FindDrawLineAt(a.Left, a.Top), 0);
    EXPECT_EQ(view->FindDrawLineAt(a.Left - 1, a.Top), -1);
    EXPECT_EQ(view->FindDrawLineAt(a.Left, a.Top - 1), -1);
    // The right edge of one piece is the left edge of the next.
    EXPECT_EQ(view->FindDrawLineAt(a.Left + a.Width - 1, a.Top), 0);
    EXPECT_EQ(view->FindDrawLineAt(a.Left + a.Width, a.Top), 1);
    EXPECT_EQ(view->FindDrawLineAt(b.Left + b.Width, b.Top), -1);
    EXPECT_EQ(view->FindDrawLineAt(c.Left, c.Top + c.Height - 1), 2);
    EXPECT_EQ(view->FindDrawLineAt(c.Left, c.Top + c.Height), -1);
    EXPECT_EQ(view->FindDrawLineAt(c.Left + 3, c.Top + 2), 2);
}

TEST_F(Interact, FindDrawLineAtFindsTheShortPieceOfAGrownLine)
{
    view->AddParagraph("small", 0);
    style->TextStyles().Items(3).Size = 30; // much taller than style 0
    view->AddText("BIG", 3);
    view->AddParagraph("next", 0);
    view->Format();
    ASSERT_EQ(lines(), 3);
    // The small piece was pushed down below the tall one's top.
    ASSERT_GT(line(0).Top, line(1).Top);
    EXPECT_EQ(view->FindDrawLineAt(line(0).Left + 1, line(0).Top + 1), 0);
    EXPECT_EQ(view->FindDrawLineAt(line(1).Left + 1, line(1).Top + 1), 1);
    EXPECT_EQ(view->FindDrawLineAt(line(2).Left + 1, line(2).Top + 1), 2);
}

TEST_F(Interact, FindSelectionPositionAtPieceEdgesAndOutsideTheRows)
{
    view->AddParagraph("abcdef", 0);
    view->AddHotspot(0, marks.get(), false);
    view->AddParagraph("xyz", 0);
    view->Format();
    ASSERT_EQ(lines(), 3);
    const TDrawLineInfo a = line(0), h = line(1), z = line(2);
    int off = -7, ln = -7;
    auto at = [&](int x, int y) {
        view->FindSelectionPosition(x, y, off, ln);
        return std::pair(ln, off);
    };
    const int y = a.Top + 2;
    // Characters are 5 pixels wide: the point lies before the character it
    // is over.
    EXPECT_EQ(at(a.Left, y), std::pair(0, 1));
    EXPECT_EQ(at(a.Left + 4, y), std::pair(0, 1));
    EXPECT_EQ(at(a.Left + 5, y), std::pair(0, 2));
    EXPECT_EQ(at(a.Left + 17, y), std::pair(0, 4));
    // The right edge of a text piece stays before its last character.
    EXPECT_EQ(at(a.Left + a.Width - 1, y), std::pair(0, 6));
    EXPECT_EQ(at(a.Left + a.Width, y), std::pair(0, 6));
    // The hotspot, one pixel further: after it (it is not text).
    EXPECT_EQ(at(h.Left, h.Top + 1), std::pair(1, 1));
    EXPECT_EQ(at(h.Left + h.Width, h.Top + 1), std::pair(1, 1));
    // Left of the row and above the first row: the row's start.
    EXPECT_EQ(at(0, y), std::pair(0, 1));
    EXPECT_EQ(at(a.Left + 10, -50), std::pair(0, 1));
    // Right of the row: the start of the next row.
    EXPECT_EQ(at(h.Left + h.Width + 1, y), std::pair(2, 1));
    // Below the last row: after the last character.
    EXPECT_EQ(at(z.Left, z.Top + z.Height + 40), std::pair(2, 4));
    EXPECT_EQ(at(z.Left + 200, z.Top + 1), std::pair(2, 4));

    view->Clear();
    view->Format();
    off = 9;
    ln = 3;
    view->FindSelectionPosition(10, 10, off, ln);
    EXPECT_EQ(ln, -1);
    EXPECT_EQ(off, 9);
}

TEST_F(Interact, DragSelectsAcrossLinesAndItemsAndCopiesWithBreaksBetweenItems)
{
    // "one two three four five" wraps after "four" (20 characters a line).
    view->AddParagraph("one two three four five six", 0);
    view->AddParagraph("second paragraph", 0);
    view->Format();
    ASSERT_EQ(lines(), 3);
    ASSERT_EQ(text(0), "one two three four");
    ASSERT_EQ(text(1), "five six");
    int selects = 0;
    view->OnSelect = [&](TDocView*) { ++selects; };

    // Within one wrapped paragraph: "two three four five" without a break.
    press(overChar(0, 5));
    EXPECT_TRUE(view->Selecting());
    move(overChar(1, 2));
    EXPECT_EQ(selects, 0);
    move(overChar(1, 5));
    release(overChar(1, 5));
    EXPECT_EQ(selects, 1);
    EXPECT_FALSE(view->Selecting());
    EXPECT_EQ(view->SelectionStart(), (TDVPosition{0, 5}));
    EXPECT_EQ(view->SelectionEnd(), (TDVPosition{1, 5}));
    EXPECT_EQ(view->GetSelectedText(), "two three four five");

    // Dragged backwards across two paragraphs: the tail of the first, CR LF,
    // the head of the second.
    press(overChar(2, 7));
    move(overChar(1, 3));
    release(overChar(1, 3));
    EXPECT_EQ(selects, 2);
    EXPECT_EQ(view->GetSelectedText(), "ve six\r\nsecond");

    // A press without a drag leaves an empty selection.
    click(overChar(0, 3));
    EXPECT_FALSE(view->SelectionExists());
    EXPECT_EQ(view->GetSelectedText(), "");
}

TEST_F(Interact, SelectAllCopiesTheWholeDocumentWithBreaksBeforeNewLineItems)
{
    view->AddCheckpoint("0");
    view->AddCenteredLine("Title", 2);
    view->AddCheckpoint("1");
    view->AddParagraph("Art. 1. ", 1);
    view->AddText("Text of a long paragraph here", 0);
    view->AddHotspot(6, marks.get(), false);
    view->AddParagraph("line\nbreak", 0); // a lone LF inside an item
    view->AddParagraph("", 0);            // an empty paragraph still breaks
    view->AddParagraph("end", 0);
    view->Format();
    view->SelectAll();
    EXPECT_EQ(view->GetSelectedText(),
              "Title\r\nArt. 1. Text of a long paragraph here\r\nline\r\nbreak\r\n\r\nend");

    QApplication::clipboard()->setText("before");
    view->Deselect();
    view->CopySelection();
    EXPECT_EQ(QApplication::clipboard()->text(), "before"); // nothing selected: untouched
    view->SelectAll();
    view->CopySelection();
    // The clipboard gets the platform's line ends.
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Title\nArt. 1. Text of a long paragraph here\nline\nbreak\n\nend");
}

TEST_F(Interact, CopyConvertsPolishTextFromTheCodePage)
{
    view->AddParagraph(pl("Zażółć gęślą jaźń"), 0);
    view->Format();
    view->SelectAll();
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Zażółć gęślą jaźń"));
    // A partial selection counts characters, one byte each.
    view->SetSelection(TDVPosition{0, 3}, TDVPosition{0, 7});
    key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("żółć"));
}

TEST_F(Interact, WordAtMouseStopsAtDelimitersAndNeverCrossesPieces)
{
    view->AddParagraph(pl("(słowo). a,b"), 0);
    view->AddText("tail", 3);
    view->Format();
    ASSERT_EQ(lines(), 2);
    std::vector<std::pair<std::string, int>> words;
    view->OnDVDblClick = [&](TDocView*, const std::string& w, int s) { words.emplace_back(w, s); };
    auto dbl = [&](QPoint p) {
        click(p);
        mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, p);
        release(p);
    };
    dbl(overChar(0, 4));  // inside the word in parentheses
    dbl(overChar(0, 11)); // the comma
    dbl(overChar(0, 12)); // "b", the last character of the piece
    dbl(overChar(1, 1));  // the next piece
    dbl(QPoint(line(1).Left + line(1).Width + 30, line(1).Top + 2)); // empty space
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0], std::pair(pl("słowo"), 0));
    EXPECT_EQ(words[1], std::pair(std::string(), 0));
    EXPECT_EQ(words[2], std::pair(std::string("b"), 0));
    EXPECT_EQ(words[3], std::pair(std::string("tail"), 3));

    // Other delimiters: the comma becomes part of the word.
    view->SetDelimiters(" ");
    words.clear();
    dbl(overChar(0, 11));
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].first, "a,b");

    // SingleClick reports on the press and no longer on the double click.
    view->SetSingleClick(true);
    words.clear();
    press(overChar(0, 3));
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].first, pl("(słowo)."));
    release(overChar(0, 3));
    EXPECT_EQ(words.size(), 1u);
    mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, overChar(0, 3));
    EXPECT_EQ(words.size(), 2u); // only the press inside the double click
}

TEST_F(Interact, RightClickReportsTheWordAtScreenCoordinates)
{
    view->AddParagraph("alpha beta", 0);
    view->Format();
    std::string word;
    int style = -1;
    QPoint at;
    int count = 0;
    view->OnDVRightClick = [&](TDocView*, const std::string& w, int s, int x, int y) {
        word = w;
        style = s;
        at = QPoint(x, y);
        ++count;
    };
    const QPoint p = overChar(0, 8);
    click(p, Qt::RightButton);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(word, "beta");
    EXPECT_EQ(style, 0);
    EXPECT_EQ(at, view->viewport()->mapToGlobal(p));
    // A right press starts no selection.
    EXPECT_FALSE(view->SelectionExists());
    click(QPoint(line(0).Left, line(0).Top + 50), Qt::RightButton);
    EXPECT_EQ(count, 1);
}

TEST_F(Interact, JumpClicksReportIdsFromFirstJumpNoOnlyWhenPressAndReleaseMeet)
{
    view->AddParagraph("see ", 0);
    view->AddText("the first long link text", 4); // wraps into two pieces
    view->AddHotspot(6, marks.get(), false);
    view->AddParagraph("and ", 0);
    view->AddText("second", 5);
    view->Format();
    ASSERT_EQ(view->Jumps().size(), 4u); // two pieces of jump 0, hotspot 1, text 2
    std::vector<int> jumps;
    std::vector<std::string> order;
    view->OnJump = [&](TDocView*, int id) {
        jumps.push_back(id);
        order.push_back("jump");
    };
    view->OnSelect = [&](TDocView*) { order.push_back("select"); };
    auto centre = [&](size_t k) {
        const TJumpInfo& a = view->Jumps()[k];
        return QPoint(a.Left + a.Width / 2, a.Top + a.Height / 2);
    };
    click(centre(0));
    EXPECT_EQ(order, (std::vector<std::string>{"select", "jump"}));
    // Press on one piece and release on the other piece of the same jump.
    press(centre(0));
    release(centre(1));
    click(centre(2));
    click(centre(3));
    EXPECT_EQ(jumps, (std::vector<int>{1000, 1000, 1001, 1002}));
    // Pressed on one jump, released on another or on plain text: nothing.
    press(centre(2));
    release(centre(3));
    press(centre(3));
    release(overChar(0, 2));
    EXPECT_EQ(jumps.size(), 4u);
    // Edges count: the area's right and bottom edges are part of it.
    const TJumpInfo& h = view->Jumps()[2];
    click(QPoint(h.Left + h.Width, h.Top + h.Height));
    EXPECT_EQ(jumps.back(), 1001);
}

TEST_F(Interact, HoverReportsEnteringAJumpOnceAndLeavingAllJumps)
{
    view->AddParagraph("plain ", 0);
    view->AddText("link", 4);
    view->AddHotspot(6, marks.get(), false);
    view->Format();
    std::vector<int> events;
    view->OnDVMouseMove = [&](TDocView*, int id) { events.push_back(id); };
    const TJumpInfo link = view->Jumps()[0];
    const TJumpInfo spot = view->Jumps()[1];
    move(overChar(0, 2));
    EXPECT_TRUE(events.empty());
    move(QPoint(link.Left + 1, link.Top + 1));
    move(QPoint(link.Left + 6, link.Top + 2)); // still the same jump
    EXPECT_EQ(view->HoveredJump(), 0);
    EXPECT_EQ(view->viewport()->cursor().shape(), ScreenCursor(crJump).shape());
    move(QPoint(spot.Left + 3, spot.Top + 3));
    move(overChar(0, 2));
    EXPECT_EQ(view->viewport()->cursor().shape(), Qt::ArrowCursor);
    move(QPoint(spot.Left + 3, spot.Top + 3));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view->viewport(), &leave);
    EXPECT_EQ(events, (std::vector<int>{1000, 1001, -1, 1001, -1}));
    EXPECT_EQ(view->HoveredJump(), -1);

    // With a hover colour the hovered jump is marked for painting, and the
    // mark moves with the pointer.
    style->SetHoverColor(clRed);
    move(QPoint(link.Left + 1, link.Top + 1));
    EXPECT_TRUE(view->HoverDrawn());
    move(overChar(0, 2));
    EXPECT_FALSE(view->HoverDrawn());
}

TEST_F(Interact, DraggingOutsideTheWindowScrollsAndTheSelectionFollows)
{
    view->SetMaxTextWidth(0);
    for (int i = 0; i < 200; ++i)
        view->AddParagraph("line " + std::to_string(i), 0);
    view->Format();
    const int ch = view->ClientHeight();
    ASSERT_GT(view->VScrollMax(), 50);

    press(overChar(0, 1));
    ASSERT_TRUE(view->AutoScrollRunning());
    const std::pair<int, int> cases[] = {{ch / 2, 0},   {ch + 1, 1},  {ch + 20, 1}, {ch + 21, 10},
                                         {ch + 30, 10}, {-1, -1},     {-20, -1},    {-21, -10}};
    for (auto [y, step] : cases) {
        move(QPoint(10, y));
        EXPECT_EQ(view->AutoScrollStep(), step) << "y = " << y;
    }
    move(QPoint(10, ch + 30));
    view->AutoScrollTick();
    EXPECT_EQ(view->VPos(), 10);
    view->AutoScrollTick();
    EXPECT_EQ(view->VPos(), 20);
    // The moving end is at the window's bottom edge, in document terms.
    int off = 0, ln = -1;
    view->FindSelectionPosition(10, ch + 20 * view->ScrollUnit(), off, ln);
    EXPECT_EQ(view->SelectionEnd(), (TDVPosition{ln, off}));
    move(QPoint(10, ch + 5));
    view->AutoScrollTick();
    EXPECT_EQ(view->VPos(), 21);
    move(QPoint(10, -30));
    view->AutoScrollTick();
    EXPECT_EQ(view->VPos(), 11);
    move(QPoint(10, ch / 2));
    view->AutoScrollTick();
    EXPECT_EQ(view->VPos(), 11);

    // The timer itself ticks every 100 ms while the pointer stays below.
    move(QPoint(10, ch + 30));
    for (int waited = 0; waited < 3000 && view->VPos() < 31; waited += 50)
        QTest::qWait(50);
    EXPECT_GE(view->VPos(), 31);
    EXPECT_GT(view->SelectionEnd().Line, 30);

    // On to the end of the document, and no further: the selection then
    // takes in the last line.
    const int ticks = view->VScrollMax() / 10 + 5;
    for (int i = 0; i < ticks; ++i)
        view->AutoScrollTick();
    EXPECT_EQ(view->VPos(), view->VScrollMax());
    EXPECT_EQ(view->SelectionEnd().Line, 199);
    view->AutoScrollTick();
    EXPECT_EQ(view->VPos(), view->VScrollMax());

    release(QPoint(10, ch + 30));
    EXPECT_FALSE(view->AutoScrollRunning());
    EXPECT_TRUE(view->SelectionExists());
    EXPECT_EQ(view->SelectionStart(), (TDVPosition{0, 1}));
    EXPECT_EQ(view->SelectionEnd().Line, 199);
}

TEST_F(Interact, WithoutAllowSelectionAPressSelectsNothingAndStartsNoTimer)
{
    view->AddParagraph("some text here", 0);
    view->Format();
    view->SetAllowSelection(false);
    int selects = 0;
    view->OnSelect = [&](TDocView*) { ++selects; };
    press(overChar(0, 2));
    move(overChar(0, 9));
    release(overChar(0, 9));
    EXPECT_FALSE(view->SelectionExists());
    EXPECT_FALSE(view->AutoScrollRunning());
    EXPECT_EQ(selects, 0);
}

TEST_F(Interact, KeysScrollFirstThenReachOnKeyDownExceptCtrlWithASelection)
{
    view->SetMaxTextWidth(0);
    for (int i = 0; i < 100; ++i)
        view->AddParagraph("row " + std::to_string(i), 0);
    view->Format();
    std::vector<int> keys;
    view->OnKeyDown = [&](TDocView*, int k, Qt::KeyboardModifiers) { keys.push_back(k); };
    key(Qt::Key_PageDown);
    EXPECT_EQ(view->VPos(), 10);
    key(Qt::Key_A);
    key(Qt::Key_A, Qt::ControlModifier); // no selection: passed on
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_PageDown, Qt::Key_A, Qt::Key_A}));

    view->SelectAll();
    QApplication::clipboard()->setText("x");
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Home, Qt::ControlModifier); // still scrolls, but is not passed on
    EXPECT_EQ(view->VPos(), 0);
    EXPECT_EQ(keys.size(), 3u);
    EXPECT_EQ(QApplication::clipboard()->text(), "x");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("row 0\nrow 1\n"));
    EXPECT_EQ(keys.size(), 3u);
}

TEST_F(Interact, ClickTakesFocusAndComesBeforeTheJump)
{
    view->AddParagraph("x ", 0);
    view->AddText("link", 4);
    view->Format();
    std::vector<std::string> order;
    view->OnClick = [&](TDocView*) { order.push_back("click"); };
    view->OnJump = [&](TDocView*, int) { order.push_back("jump"); };
    view->OnMouseUp = [&](TDocView*, Qt::MouseButton, int, int) { order.push_back("up"); };
    const TJumpInfo a = view->Jumps()[0];
    click(QPoint(a.Left + 2, a.Top + 2));
    EXPECT_EQ(order, (std::vector<std::string>{"click", "jump", "up"}));
}

TEST_F(Interact, SelectionMadeWithTheMouseSurvivesARelayout)
{
    view->AddParagraph("alpha beta gamma delta epsilon", 0);
    view->Format();
    press(overChar(0, 7));
    release(overChar(1, 12));
    const std::string before = view->GetSelectedText();
    ASSERT_EQ(before, "beta gamma delta epsil");
    view->SetMaxTextWidth(300);
    view->Format();
    EXPECT_EQ(lines(), 1);
    EXPECT_EQ(view->GetSelectedText(), before);
}
