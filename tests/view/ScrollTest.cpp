#include "ViewFixture.h"

#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace {

class Scroll : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        view->SetMaxTextWidth(0);
        // 400 lines of 11 px: 4401 px, 440 units.
        for (int i = 0; i < 400; ++i)
            view->AddParagraph("line " + std::to_string(i), 0);
        view->OnVScrolled = [this](TDVScroller* s) {
            EXPECT_EQ(s, view.get());
            ++scrolled;
        };
        view->Format();
    }

    void wheel(int delta)
    {
        const QPointF at(10, 10);
        QWheelEvent e(at, view->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->viewport(), &e);
    }

    int scrolled = 0;
};

} // namespace

TEST_F(Scroll, RangesFollowTheDocumentAndTheClientArea)
{
    EXPECT_EQ(view->DocumentHeight(), 4401);
    EXPECT_EQ(view->VMax(), 440);
    const int page = view->ClientHeight() / 10;
    EXPECT_EQ(view->verticalScrollBar()->pageStep(), page);
    EXPECT_EQ(view->VScrollMax(), 440 - page + 1);
    EXPECT_EQ(view->HMax(), view->ClientWidth());
    EXPECT_FALSE(view->horizontalScrollBar()->isEnabled()); // nothing to scroll across
    EXPECT_TRUE(view->verticalScrollBar()->isEnabled());
}

TEST_F(Scroll, RequestsMoveByLinesPagesAndToTheEnds)
{
    view->VScrollRequest(TDVScroller::scLineDown);
    EXPECT_EQ(view->VPos(), 1);
    view->VScrollRequest(TDVScroller::scPageDown);
    EXPECT_EQ(view->VPos(), 11); // ten units, not a window height
    view->VScrollRequest(TDVScroller::scPageUp);
    view->VScrollRequest(TDVScroller::scLineUp);
    EXPECT_EQ(view->VPos(), 0);
    view->VScrollRequest(TDVScroller::scLineUp);
    EXPECT_EQ(view->VPos(), 0);
    EXPECT_EQ(scrolled, 4); // no event when nothing moved
    view->VScrollRequest(TDVScroller::scBottom);
    EXPECT_EQ(view->VPos(), view->VScrollMax());
    view->VScrollRequest(TDVScroller::scTop);
    EXPECT_EQ(view->VPos(), 0);
    view->VScrollRequest(TDVScroller::scPosition, 77);
    EXPECT_EQ(view->VPos(), 77);

    view->SetTracking(false);
    view->VScrollRequest(TDVScroller::scTrack, 5);
    EXPECT_EQ(view->VPos(), 77);
    view->SetTracking(true);
    view->VScrollRequest(TDVScroller::scTrack, 5);
    EXPECT_EQ(view->VPos(), 5);
}

TEST_F(Scroll, TheBarsOwnPageStepsAreTenUnits)
{
    view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view->VPos(), 10);
    view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view->VPos(), 11);
    view->SetMinTextWidth(3000);
    view->Format();
    view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view->HPos(), 100);
    view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view->HPos(), 110);
}

TEST_F(Scroll, KeysScroll)
{
    QTest::keyClick(view.get(), Qt::Key_PageDown);
    EXPECT_EQ(view->VPos(), 10);
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_EQ(view->VPos(), 11);
    QTest::keyClick(view.get(), Qt::Key_Up);
    QTest::keyClick(view.get(), Qt::Key_PageUp);
    EXPECT_EQ(view->VPos(), 0);
    QTest::keyClick(view.get(), Qt::Key_End);
    EXPECT_EQ(view->VPos(), view->VScrollMax());
    QTest::keyClick(view.get(), Qt::Key_Home);
    EXPECT_EQ(view->VPos(), 0);
    view->SetMinTextWidth(3000);
    view->Format();
    QTest::keyClick(view.get(), Qt::Key_Right);
    EXPECT_EQ(view->HPos(), 10);
    QTest::keyClick(view.get(), Qt::Key_Left);
    EXPECT_EQ(view->HPos(), 0);
}

TEST_F(Scroll, TheWheelScrollsUpForAForwardTurnAndStaysInRange)
{
    view->ScrollTo(1000);
    ASSERT_EQ(view->VPos(), 100);
    wheel(120);
    const int afterOne = view->VPos();
    EXPECT_LT(afterOne, 100);
    wheel(-120);
    EXPECT_EQ(view->VPos(), 100);
    for (int i = 0; i < 100; ++i)
        wheel(120);
    EXPECT_EQ(view->VPos(), 0);
    for (int i = 0; i < 500; ++i)
        wheel(-120);
    EXPECT_EQ(view->VPos(), view->VScrollMax());
    // Small turns add up instead of getting lost.
    view->ScrollTo(1000);
    for (int i = 0; i < 8; ++i)
        wheel(15);
    EXPECT_EQ(view->VPos(), afterOne);
}

TEST_F(Scroll, TheWheelContinuesFromAPositionSetInCode)
{
    view->ScrollTo(2000);
    wheel(-120);
    EXPECT_GT(view->VPos(), 200);
}

TEST_F(Scroll, ScrollToBringsYToTheTopAsFarAsTheRangeAllows)
{
    view->ScrollTo(1234);
    EXPECT_EQ(view->VPos(), 123);
    EXPECT_EQ(scrolled, 1);
    view->ScrollTo(1000000);
    EXPECT_EQ(view->VPos(), view->VScrollMax());
    view->ScrollTo(-50);
    EXPECT_EQ(view->VPos(), 0);
    // A new layout shows the top.
    view->ScrollTo(1234);
    view->Format();
    EXPECT_EQ(view->VPos(), 0);
}

TEST_F(Scroll, AHiddenVerticalBarStaysHiddenThroughLayout)
{
    view->show();
    const int withBar = view->ClientWidth();
    view->SetVScrollVisible(false);
    view->Format();
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
    EXPECT_GT(view->ClientWidth(), withBar);
    EXPECT_EQ(view->ClientWidth(), view->viewport()->width());
    EXPECT_EQ(view->TextWidth(), view->ClientWidth() - 10);
    // Scrolling still works without the bar.
    view->ScrollTo(500);
    EXPECT_EQ(view->VPos(), 50);
}

TEST_F(Scroll, ClientSizeIsTheViewportsOnceShown)
{
    view->show();
    EXPECT_EQ(view->ClientWidth(), view->viewport()->width());
    EXPECT_EQ(view->ClientHeight(), view->viewport()->height());
}

TEST_F(Scroll, FirstVisibleLineStartsTwoVisualLinesBack)
{
    EXPECT_EQ(view->FindFirstVisibleLine(0), 0);
    EXPECT_EQ(view->FindFirstVisibleLine(1), 0);
    // Line k starts at 11k + 1. The first line starting at or after y = 111
    // is line 10, and one line back plus one piece more gives 8; y = 112
    // finds line 11 and so 9.
    EXPECT_EQ(view->FindFirstVisibleLine(111), 8);
    EXPECT_EQ(view->FindFirstVisibleLine(112), 9);
    EXPECT_EQ(view->FindFirstVisibleLine(1000000), 397);
    view->Clear();
    EXPECT_EQ(view->FindFirstVisibleLine(50), 0);
}

TEST_F(Scroll, FirstVisibleLineWalksBackOverPiecesOfALine)
{
    view->Clear();
    view->SetMaxTextWidth(100);
    for (int i = 0; i < 10; ++i) {
        view->AddParagraph("a", 0);
        view->AddText("b", 0);
        view->AddText("c", 0);
    }
    view->Format();
    // Visual line k: pieces 3k .. 3k + 2 at top 11k + 1.
    EXPECT_EQ(view->FindFirstVisibleLine(5 * 11 + 1), 3 * 4 - 1);
}

namespace {
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

// With a background fixed to the window the pixels cannot simply be moved:
// the whole window is repainted, and at once.
TEST(ScrollShown, AFixedBackgroundRepaintsTheWholeWindowAtOnce)
{
    TDVStyle style;
    CountingView v;
    v.SetStyle(&style);
    v.resize(300, 200);
    for (int i = 0; i < 100; ++i)
        v.AddParagraph("line " + std::to_string(i), 0);
    v.Format();
    QImage tile(16, 16, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    v.SetBackgroundBitmap(tile);
    v.SetBackgroundStyle(bsTiled);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    QCoreApplication::processEvents();
    v.paints = 0;
    v.ScrollTo(200);
    ASSERT_EQ(v.VPos(), 20);
    EXPECT_EQ(v.paints, 1);
}
