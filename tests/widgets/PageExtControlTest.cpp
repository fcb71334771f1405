#include "widgets/PageExtControl.h"

#include "platform/ImageList.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QShortcut>
#include <QTest>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A window with a strip whose events are written to a log, in order.
class StripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        win = std::make_unique<QWidget>();
        win->resize(400, 300);
        strip = new TPageExtControl(win.get());
        strip->setGeometry(0, 0, 400, 300);
        strip->OnChanging = [this](QObject* s, bool& allow) {
            EXPECT_EQ(s, strip);
            log.push_back("changing");
            allow = allowChange;
        };
        strip->OnChange = [this](QObject* s) {
            EXPECT_EQ(s, strip);
            log.push_back("change " + Name(strip->ActivePage()));
        };
        strip->OnTabClose = [this](QObject*, int i, bool& canClose) {
            log.push_back("close " + std::to_string(i));
            canClose = allowClose;
        };
        strip->OnTabDelete = [this](QObject*, int i) { log.push_back("delete " + std::to_string(i)); };
        strip->OnTabClick = [this](QObject*, int i) { log.push_back("click " + std::to_string(i)); };
    }

    // The window goes before the log its sheets write to when hidden.
    void TearDown() override { win.reset(); }

    void Show()
    {
        win->show();
        win->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(win.get()));
    }

    TTabExtSheet* Add(const std::string& caption, bool tabVisible = true)
    {
        auto* s = new TTabExtSheet(strip);
        s->setObjectName(QString::fromStdString(caption));
        s->SetCaption(caption);
        s->SetTabVisible(tabVisible);
        s->OnShow = [this](QObject* o) { log.push_back("show " + Name(o)); };
        s->OnHide = [this](QObject* o) { log.push_back("hide " + Name(o)); };
        s->SetHostStrip(strip);
        return s;
    }

    static std::string Name(const QObject* o) { return o ? o->objectName().toStdString() : "none"; }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> r;
        for (int i = 0; i < strip->TabTexts().Count(); ++i)
            r.push_back(strip->TabTexts().Get(i));
        return r;
    }

    QPoint TabCentre(int i) const { return strip->NativeBar()->tabRect(i).center(); }

    std::unique_ptr<QWidget> win;
    TPageExtControl* strip = nullptr;
    std::vector<std::string> log;
    bool allowChange = true;
    bool allowClose = true;
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(StripTest, AddingSheetsMakesTheFirstActiveAndRaisesNoChangeEvents)
{
    EXPECT_EQ(strip->width(), 400);
    EXPECT_EQ(strip->TabIndex(), -1);
    EXPECT_EQ(strip->ActiveSheetIndex(), -1);
    Show();

    TTabExtSheet* a = Add("a");
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_EQ(strip->TabIndex(), 0);
    TTabExtSheet* b = Add("b");
    TTabExtSheet* c = Add("c");
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_EQ(strip->SheetCount(), 3);
    EXPECT_EQ(strip->Sheets(2), c);
    EXPECT_EQ(strip->Sheets(3), nullptr);
    EXPECT_EQ(strip->Sheets(-1), nullptr);
    EXPECT_EQ(b->PageIndex(), 1);
    EXPECT_EQ(c->TabNumber(), 2);
    EXPECT_EQ(b->HostStrip(), strip);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(strip->TabTexts().GetObject(1), b);
    EXPECT_EQ(log, (Log{"show a"}));

    // The active sheet alone is shown, in the page area, and its control
    // fills it.
    auto* edit = new QLineEdit;
    a->SetControl(edit);
    EXPECT_TRUE(a->isVisible());
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(a->geometry(), strip->PageRect());
    EXPECT_EQ(edit->geometry(), a->rect());
    EXPECT_TRUE(strip->DisplayRect().contains(strip->PageRect()));
    EXPECT_GE(strip->PageRect().top(), strip->NativeBar()->geometry().bottom());
    strip->resize(300, 200);
    EXPECT_EQ(a->geometry(), strip->PageRect());
    EXPECT_EQ(edit->size(), a->size());
    EXPECT_LT(strip->PageRect().right(), 300);
}

TEST_F(StripTest, ProgramSwitchingRaisesOnlyShowAndHide)
{
    Show();
    Add("a");
    TTabExtSheet* b = Add("b");
    TTabExtSheet* c = Add("c");
    log.clear();

    strip->SetActivePage(c);
    EXPECT_EQ(strip->TabIndex(), 2);
    strip->SetTabIndex(1);
    EXPECT_EQ(strip->ActivePage(), b);
    strip->SetTabIndex(1); // again: nothing changes
    strip->SetTabIndex(7); // no such tab: ignored
    EXPECT_EQ(strip->ActivePage(), b);
    // The new sheet is shown before the old one is hidden.
    EXPECT_EQ(log, (Log{"show c", "hide a", "show b", "hide c"}));

    // A sheet of another strip is ignored.
    TPageExtControl other(win.get());
    auto* foreign = new TTabExtSheet(&other);
    foreign->SetHostStrip(&other);
    strip->SetActivePage(foreign);
    EXPECT_EQ(strip->ActivePage(), b);
    EXPECT_EQ(other.ActivePage(), foreign);
}

TEST_F(StripTest, UserClickAsksBeforeChangingAndMayBeRefused)
{
    Show();
    Add("a");
    Add("b");
    TTabExtSheet* c = Add("c");
    log.clear();

    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {}, TabCentre(2));
    EXPECT_EQ(strip->ActivePage(), c);
    EXPECT_EQ(log, (Log{"changing", "show c", "hide a", "change c", "click 2"}));

    log.clear();
    allowChange = false;
    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {}, TabCentre(0));
    EXPECT_EQ(strip->ActivePage(), c);
    EXPECT_EQ(strip->TabIndex(), 2);
    EXPECT_EQ(log, (Log{"changing", "click 2"}));

    // A press on the selected tab asks nothing; the right button selects
    // nothing.
    log.clear();
    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {}, TabCentre(2));
    QTest::mouseClick(strip->NativeBar(), Qt::RightButton, {}, TabCentre(1));
    EXPECT_EQ(log, (Log{"click 2", "click 2"}));
}

TEST_F(StripTest, ArrowKeysOnTheTabsAskToo)
{
    Show();
    Add("a");
    TTabExtSheet* b = Add("b");
    strip->NativeBar()->setFocus();
    log.clear();
    QTest::keyClick(strip->NativeBar(), Qt::Key_Right);
    EXPECT_EQ(strip->ActivePage(), b);
    QTest::keyClick(strip->NativeBar(), Qt::Key_Right); // no wrap at the end
    EXPECT_EQ(log, (Log{"changing", "show b", "hide a", "change b"}));
    allowChange = false;
    QTest::keyClick(strip->NativeBar(), Qt::Key_Left);
    EXPECT_EQ(strip->ActivePage(), b);
}

TEST_F(StripTest, ClosingTabsAndWhichSheetBecomesActive)
{
    Show();
    TTabExtSheet* a = Add("a");
    TTabExtSheet* b = Add("b");
    TTabExtSheet* c = Add("c");

    // The last of three: the first becomes active.
    strip->SetActivePage(c);
    log.clear();
    EXPECT_TRUE(strip->CloseTab(2));
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_EQ(strip->TabIndex(), 0);
    EXPECT_EQ(c->HostStrip(), nullptr);
    EXPECT_FALSE(c->isVisible());
    EXPECT_EQ(c->parent(), strip) << "a closed sheet stays owned";
    // The tab at the same place (now b's) is selected on the way; no change
    // events are raised.
    EXPECT_EQ(log, (Log{"close 2", "delete 2", "show b", "hide c", "show a", "hide b"}));

    // The middle one: the one after it becomes active.
    c->SetHostStrip(strip);
    strip->SetActivePage(b);
    EXPECT_TRUE(strip->CloseTab(1));
    EXPECT_EQ(strip->ActivePage(), c);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "c"}));

    // A refused close changes nothing and deletes nothing.
    allowClose = false;
    log.clear();
    EXPECT_FALSE(strip->CloseTab(1));
    EXPECT_EQ(log, (Log{"close 1"}));
    EXPECT_EQ(strip->SheetCount(), 2);

    // Indices without a tab do nothing.
    allowClose = true;
    log.clear();
    EXPECT_FALSE(strip->CloseTab(2));
    EXPECT_FALSE(strip->CloseTab(-1));
    EXPECT_TRUE(log.empty());

    // Closing down to none leaves no active sheet and no selected tab.
    EXPECT_TRUE(strip->CloseTab(0));
    EXPECT_TRUE(strip->CloseTab(0));
    EXPECT_EQ(strip->ActivePage(), nullptr);
    EXPECT_EQ(strip->TabIndex(), -1);
    EXPECT_EQ(strip->SheetCount(), 0);
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(c->isVisible());
}

TEST_F(StripTest, CloseButtonOfAnUnselectedTabSelectsItFirst)
{
    strip->SetCloseBtn(true);
    EXPECT_TRUE(strip->OwnerDraw());
    Show();
    Add("a");
    TTabExtSheet* b = Add("b");
    Add("c");
    log.clear();

    const auto button = [this](int i) { return strip->CloseButtonRect(i, !strip->SmallCloseBtn()).center(); };
    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {}, button(1));
    EXPECT_EQ(log, (Log{"changing", "show b", "hide a", "change b", "close 1", "delete 1", "show c", "hide b"}));
    EXPECT_EQ(b->HostStrip(), nullptr);
    EXPECT_EQ(Name(strip->ActivePage()), "c");

    // When the selection is refused, the press stays with the selected tab,
    // outside its close button: a click, nothing closed.
    allowChange = false;
    log.clear();
    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {}, button(0));
    EXPECT_EQ(log, (Log{"changing", "click 1"}));
    EXPECT_EQ(strip->SheetCount(), 2);

    strip->SetCloseBtn(false);
    EXPECT_FALSE(strip->OwnerDraw());
    log.clear();
    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {}, button(1));
    EXPECT_EQ(log, (Log{"click 1"}));
}

// The reader's handler frees the sheet itself and then allows the close:
// the sheet has left, by the button or by the call, and no click follows.
TEST_F(StripTest, ACloseHandlerThatFreesTheSheetHasClosedIt)
{
    strip->SetCloseBtn(true);
    Show();
    Add("a");
    QPointer<TTabExtSheet> b = Add("b");
    QPointer<TTabExtSheet> c = Add("c");
    strip->OnTabClose = [this](QObject*, int i, bool& canClose) {
        log.push_back("close " + std::to_string(i));
        delete strip->SheetOfTab(i);
        canClose = true;
    };
    EXPECT_TRUE(strip->CloseTab(1));
    EXPECT_TRUE(b.isNull());

    strip->SetActivePage(c);
    log.clear();
    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {},
                      strip->CloseButtonRect(1, !strip->SmallCloseBtn()).center());
    EXPECT_TRUE(c.isNull());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(log, (Log{"close 1", "delete 1", "show a"}));
}

TEST_F(StripTest, RemovingSheetsOtherwise)
{
    Show();
    TTabExtSheet* a = Add("a");
    TTabExtSheet* b = Add("b");
    TTabExtSheet* c = Add("c");
    strip->SetActivePage(c);

    // A sheet in the background leaves without moving the user's sheet.
    log.clear();
    a->SetHostStrip(nullptr);
    EXPECT_EQ(strip->ActivePage(), c);
    EXPECT_EQ(strip->TabIndex(), 1);
    EXPECT_EQ(log, (Log{"delete 0"}));

    // A deleted sheet leaves its strip too.
    delete c;
    EXPECT_EQ(strip->SheetCount(), 1);
    EXPECT_EQ(strip->ActivePage(), b);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b"}));

    // Back in: appended at the end, the active sheet stays.
    a->SetHostStrip(strip);
    EXPECT_EQ(a->PageIndex(), 1);
    EXPECT_EQ(strip->ActivePage(), b);
}

TEST_F(StripTest, SheetsWithoutTabs)
{
    Show();
    TTabExtSheet* a = Add("a");
    TTabExtSheet* b = Add("b");
    TTabExtSheet* c = Add("c");
    TTabExtSheet* d = Add("d");

    b->SetTabVisible(false);
    EXPECT_EQ(b->PageIndex(), 1);
    EXPECT_FALSE(b->TabShowing());
    EXPECT_EQ(b->TabNumber(), -1);
    EXPECT_EQ(c->TabNumber(), 1);
    EXPECT_EQ(d->TabNumber(), 2);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "c", "d"}));

    // Tab indices name the tab's own sheet.
    strip->SetTabIndex(1);
    EXPECT_EQ(strip->ActivePage(), c);
    log.clear();
    EXPECT_TRUE(strip->CloseTab(1));
    EXPECT_EQ(log[0], "close 1");
    EXPECT_EQ(c->HostStrip(), nullptr);
    EXPECT_EQ(b->HostStrip(), strip);
    EXPECT_EQ(strip->ActivePage(), d);

    // Hiding the active sheet's tab hands over to the next tab.
    d->SetTabVisible(false);
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_EQ(strip->TabIndex(), 0);
    b->SetTabVisible(true);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(strip->ActivePage(), a);
}

TEST_F(StripTest, ControlTabCyclesThroughSheetsWithTabs)
{
    Show();
    TTabExtSheet* a = Add("a");
    TTabExtSheet* b = Add("b");
    TTabExtSheet* c = Add("c");
    Add("hidden", false);
    auto* edit = new QLineEdit;
    a->SetControl(edit);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    log.clear();

    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(strip->ActivePage(), b);
    EXPECT_EQ(log, (Log{"changing", "show b", "hide a", "change b"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(strip->ActivePage(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(strip->ActivePage(), a) << "wraps round, skipping the sheet without a tab";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(strip->ActivePage(), c);

    allowChange = false;
    log.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(strip->ActivePage(), c);
    EXPECT_EQ(log, (Log{"changing"}));

    // Focus outside the strip: the key is not the strip's.
    allowChange = true;
    auto* outside = new QLineEdit(win.get());
    outside->move(0, 0);
    strip->move(0, 40);
    outside->show();
    outside->setFocus();
    QTest::keyClick(outside, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(strip->ActivePage(), c);
}

TEST_F(StripTest, FocusFollowsTheActiveSheet)
{
    Show();
    TTabExtSheet* a = Add("a");
    TTabExtSheet* b = Add("b");
    auto* ea = new QLineEdit;
    auto* eb = new QLineEdit;
    a->SetControl(ea);
    b->SetControl(eb);
    ea->setFocus();
    strip->SetActivePage(b);
    EXPECT_TRUE(eb->hasFocus());
    EXPECT_FALSE(a->isVisible());
}

TEST_F(StripTest, AcceleratorSelectsItsTab)
{
    Show();
    Add("&Alfa");
    TTabExtSheet* b = Add("&Beta");
    log.clear();
    QTest::keyClick(win.get(), Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(strip->ActivePage(), b);
    EXPECT_EQ(log, (Log{"changing", "show &Beta", "hide &Alfa", "change &Beta"}));
}

// A key no tab may take is the window's: here a shortcut of its own, which
// must fire on the first press, unambiguously.
TEST_F(StripTest, AnAcceleratorNoTabTakesGoesOnToTheWindow)
{
    Show();
    TTabExtSheet* a = Add("&Alfa");
    TTabExtSheet* b = Add("&Beta");
    int fired = 0;
    int ambiguous = 0;
    auto* own = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_B), win.get());
    QObject::connect(own, &QShortcut::activated, [&] { ++fired; });
    QObject::connect(own, &QShortcut::activatedAmbiguously, [&] { ++ambiguous; });

    // Its sheet disabled, Beta's tab leaves the key alone; the active sheet
    // stays what it was.
    b->setEnabled(false);
    EXPECT_EQ(strip->ActivePage(), a);
    log.clear();
    QTest::keyClick(win.get(), Qt::Key_B, Qt::AltModifier);
    QTest::keyClick(win.get(), Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(ambiguous, 0);
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_TRUE(log.empty());

    // Likewise for a sheet that joins the strip disabled.
    auto* c = new TTabExtSheet(strip);
    c->setEnabled(false);
    c->SetCaption("&Cecha");
    c->SetHostStrip(strip);
    int firedC = 0;
    auto* ownC = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_C), win.get());
    QObject::connect(ownC, &QShortcut::activated, [&] { ++firedC; });
    QTest::keyClick(win.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(firedC, 1);
    EXPECT_EQ(strip->ActivePage(), a);

    // The active sheet disabled keeps its tab selected.
    strip->SetActivePage(b);
    a->setEnabled(false);
    EXPECT_EQ(strip->TabIndex(), 1);
    EXPECT_EQ(strip->ActivePage(), b);

    // Enabled again, the tab takes its key.
    delete own;
    a->setEnabled(true);
    b->setEnabled(true);
    strip->SetActivePage(a);
    QTest::keyClick(win.get(), Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(strip->ActivePage(), b);
}

TEST_F(StripTest, PropertyValidations)
{
    strip->SetScrollOpposite(true);
    EXPECT_TRUE(strip->MultiLine());
    strip->SetMultiLine(false);
    EXPECT_FALSE(strip->ScrollOpposite());

    strip->SetTabPosition(tpLeft);
    EXPECT_TRUE(strip->MultiLine());
    try {
        strip->SetMultiLine(false);
        FAIL();
    } catch (const ETabListError& e) {
        EXPECT_STREQ(e.what(), "MultiLine must be True when TabPosition is tpLeft or tpRight");
    }
    EXPECT_TRUE(strip->MultiLine());
    try {
        strip->SetStyle(tsButtons);
        FAIL();
    } catch (const ETabInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Tab style incompatible with current tab position");
    }
    EXPECT_EQ(strip->Style(), tsTabs);
    strip->SetTabPosition(tpTop);
    strip->SetStyle(tsFlatButtons);
    try {
        strip->SetTabPosition(tpBottom);
        FAIL();
    } catch (const ETabInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Tab position incompatible with current tab style");
    }
    EXPECT_EQ(strip->TabPosition(), tpTop);

    try {
        strip->SetTabHeight(-1);
        FAIL();
    } catch (const ETabInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "TPageExtControl property out of range");
    }
    EXPECT_THROW(strip->SetTabWidth(-3), ETabInvalidOperation);
    EXPECT_EQ(strip->TabHeight(), 0);
    EXPECT_EQ(strip->TabWidth(), 0);

    TTabExtSheet* a = Add("a");
    Add("b");
    try {
        a->SetPageIndex(2);
        FAIL();
    } catch (const ETabListError& e) {
        EXPECT_STREQ(e.what(), "2 is an invalid PageIndex value.  PageIndex must be between 0 and 1");
    }
    EXPECT_THROW(a->SetPageIndex(-1), ETabListError);
    EXPECT_EQ(a->PageIndex(), 0);

    try {
        strip->TabTexts().Get(5);
        FAIL();
    } catch (const ETabListError& e) {
        EXPECT_STREQ(e.what(), "Failed to retrieve tab at index 5");
    }
    EXPECT_THROW(strip->TabTexts().GetObject(-1), ETabListError);
    EXPECT_THROW(strip->TabTexts().Delete(2), ETabListError);
    try {
        strip->TabTexts().Put(9, "x");
        FAIL();
    } catch (const ETabListError& e) {
        EXPECT_STREQ(e.what(), "Failed to set tab \"x\" at index 9");
    }
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(StripTest, MovingASheetMovesItsTabAndKeepsTheSelection)
{
    Show();
    TTabExtSheet* a = Add("a");
    Add("b");
    TTabExtSheet* c = Add("c");
    strip->SetActivePage(a);
    a->SetPageIndex(2);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(strip->TabIndex(), 2);
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_EQ(strip->Sheets(0)->Caption(), "b");
    c->SetCaption("cc");
    EXPECT_EQ(strip->TabTexts().Get(1), "cc");
}

TEST_F(StripTest, CommandsOnAnEmptyStripAreHarmless)
{
    Show();
    strip->SelectNextPage(true);
    strip->SelectNextPage(false);
    EXPECT_FALSE(strip->CloseTab(0));
    strip->SetTabIndex(3);
    strip->SetTabIndex(-1);
    strip->SetActivePage(nullptr);
    EXPECT_EQ(strip->FindNextSheet(nullptr, true, true), nullptr);
    EXPECT_EQ(strip->TabIndex(), -1);
    EXPECT_TRUE(log.empty());

    // One sheet: it is its own next sheet, so Control+Tab changes nothing.
    TTabExtSheet* a = Add("a");
    EXPECT_EQ(strip->FindNextSheet(a, true, true), a);
    log.clear();
    strip->SelectNextPage(true);
    EXPECT_TRUE(log.empty());
}

TEST_F(StripTest, HandlerExceptionsFromUserInputGoToTheHandler)
{
    std::vector<std::string> reported;
    SetWidgetExceptionHandler([&](const std::exception& e) { reported.push_back(e.what()); });
    Show();
    Add("a");
    Add("b");
    strip->OnChange = [](QObject*) { throw ETabListError("boom"); };
    QTest::mouseClick(strip->NativeBar(), Qt::LeftButton, {}, TabCentre(1));
    SetWidgetExceptionHandler(nullptr);
    EXPECT_EQ(reported, (std::vector<std::string>{"boom"}));
    EXPECT_EQ(strip->TabIndex(), 1);

    // From the program, the exception reaches the caller.
    strip->OnChanging = [](QObject*, bool&) { throw ETabListError("veto failed"); };
    EXPECT_THROW(strip->SelectNextPage(true), ETabListError);
}

TEST_F(StripTest, DestroyingTheStripWithSheets)
{
    Show();
    TTabExtSheet* a = Add("a");
    Add("b");
    auto* outsider = new TTabExtSheet(win.get()); // owned by the window
    outsider->SetHostStrip(strip);
    EXPECT_EQ(outsider->parent(), strip);
    (void)a;
    log.clear();
    delete strip;
    strip = nullptr;
    // No sheet called back into the dying strip, which would have raised
    // OnTabDelete (or worse, under the sanitizers).
    for (const auto& e : log)
        EXPECT_EQ(e.rfind("delete", 0), std::string::npos) << e;
}

TEST_F(StripTest, PageAreaFollowsTabPositionAndFlat)
{
    Show();
    TTabExtSheet* a = Add("a");
    const QRect bar = strip->NativeBar()->geometry();
    QRect display = strip->DisplayRect();
    EXPECT_GT(display.top(), bar.bottom());
    EXPECT_EQ(strip->PageRect(), display.adjusted(0, 2, 0, 0));

    strip->SetFlat(true);
    EXPECT_EQ(strip->PageRect(), display.adjusted(-4, -2, 4, 4));
    EXPECT_EQ(a->geometry(), strip->PageRect());
    strip->SetFlat(false);

    strip->SetTabPosition(tpBottom);
    display = strip->DisplayRect();
    EXPECT_LT(display.bottom(), strip->NativeBar()->geometry().top());
    EXPECT_EQ(strip->PageRect(), display);
    strip->SetTabPosition(tpRight);
    EXPECT_LT(strip->PageRect().right(), strip->NativeBar()->geometry().left());
    EXPECT_EQ(a->geometry(), strip->PageRect());

    // A fixed tab height is the height of the tabs.
    strip->SetTabPosition(tpTop);
    strip->SetTabHeight(40);
    EXPECT_EQ(strip->NativeBar()->tabRect(0).height(), 40);
    EXPECT_GT(strip->PageRect().top(), 40);
}

TEST_F(StripTest, PictureShowsOnlyWithoutASelectedTab)
{
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    strip->SetPicture(red);
    Show();
    EXPECT_EQ(strip->grab().toImage().pixel(200, 150), QColor(Qt::red).rgb());
    Add("a");
    EXPECT_NE(strip->grab().toImage().pixel(200, 150), QColor(Qt::red).rgb());
}

TEST_F(StripTest, SheetColoursAndTabImages)
{
    TTabExtSheet* a = Add("a");
    TTabExtSheet* b = Add("b");
    EXPECT_EQ(a->Colors().ActiveFill1(), clActiveCaption);
    EXPECT_EQ(a->Colors().Color(), clBtnFace);
    a->Colors().SetColor(clYellow);
    EXPECT_EQ(a->palette().color(QPalette::Window), QColor(Qt::yellow));
    b->SetColors(a->Colors());
    EXPECT_EQ(b->Colors().Color(), clYellow);
    EXPECT_EQ(b->palette().color(QPalette::Window), QColor(Qt::yellow));

    QImage red(16, 16, QImage::Format_RGB32), blue(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    TImageList images(16, 16);
    images.Add(red);
    images.Add(blue);
    b->SetImageIndex(1);
    strip->SetImages(&images);
    const auto iconColour = [this](int tab) {
        return strip->NativeBar()->tabIcon(tab).pixmap(16, 16).toImage().pixelColor(8, 8);
    };
    EXPECT_EQ(iconColour(0), QColor(Qt::red));
    EXPECT_EQ(iconColour(1), QColor(Qt::blue));
    strip->OnGetImageIndex = [](QObject*, int tab, int& image) { image = 1 - tab; };
    b->SetCaption("bb"); // rewrites the tab with its image
    EXPECT_EQ(iconColour(0), QColor(Qt::blue));
    EXPECT_EQ(iconColour(1), QColor(Qt::red));
    strip->SetImages(nullptr);
    EXPECT_TRUE(strip->NativeBar()->tabIcon(0).isNull());
}

// Without sheets, the tab list is the control's whole model; with OwnerDraw
// every tab is painted through DrawTab, hence OnDrawTabExt.
TEST(TabExtControl, OwnerDrawnTabsGoThroughOnDrawTabExt)
{
    TCustomTabExtControl c;
    c.TabTexts().Add("x");
    c.TabTexts().AddObject("y", &c);
    EXPECT_EQ(c.TabTexts().IndexOfObject(&c), 1);
    EXPECT_EQ(c.TabTexts().IndexOf("y"), 1);
    EXPECT_EQ(c.TabIndex(), 0);
    c.SetTabIndex(-1);
    EXPECT_EQ(c.TabIndex(), -1);
    c.SetTabIndex(1);
    EXPECT_EQ(c.TabIndex(), 1);

    std::vector<std::pair<int, bool>> drawn;
    c.OnDrawTabExt = [&](TCustomTabExtControl* sender, int i, const QRect& r, bool active) {
        EXPECT_EQ(sender, &c);
        EXPECT_EQ(r, c.NativeBar()->tabRect(i));
        drawn.emplace_back(i, active);
    };
    c.SetOwnerDraw(true);
    c.show();
    c.NativeBar()->grab();
    EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{{0, false}, {1, true}}));

    c.TabTexts().BeginUpdate();
    c.TabTexts().Clear();
    c.TabTexts().EndUpdate();
    EXPECT_EQ(c.TabTexts().Count(), 0);
    EXPECT_EQ(c.TabIndex(), -1);
}

// OnTabDelete runs in the middle of a removal; a handler that frees the
// sheet that goes, or the one noted to follow it, must leave a consistent
// strip (and nothing freed may be touched afterwards).
TEST_F(StripTest, DeleteHandlersMayFreeSheets)
{
    Show();
    TTabExtSheet* a = Add("a");
    TTabExtSheet* b = Add("b");
    QPointer<TTabExtSheet> c = Add("c");
    strip->SetActivePage(b);

    // Each handler acts once: freeing a sheet with a tab deletes that tab
    // too, which raises OnTabDelete again.
    bool armed = true;
    const auto once = [&](auto action) {
        armed = true;
        strip->OnTabDelete = [&armed, action](QObject*, int) {
            if (std::exchange(armed, false))
                action();
        };
    };

    // The closed sheet itself.
    once([&] { delete b; });
    EXPECT_TRUE(strip->CloseTab(1));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(strip->SheetCount(), 2);
    EXPECT_EQ(strip->ActivePage(), c.data());
    EXPECT_EQ(strip->TabIndex(), 1);

    // The sheet noted to follow: the selected tab's sheet takes over.
    TTabExtSheet* d = Add("d");
    strip->SetActivePage(a);
    once([&] { delete c.data(); });
    EXPECT_TRUE(strip->CloseTab(0));
    EXPECT_TRUE(c.isNull());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"d"}));
    EXPECT_EQ(strip->ActivePage(), d);
    EXPECT_EQ(strip->TabIndex(), 0);
    EXPECT_TRUE(d->isVisible());

    // A tab hidden, and its sheet freed by the handler.
    TTabExtSheet* e = Add("e");
    strip->SetActivePage(e);
    once([&] { delete e; });
    e->SetTabVisible(false);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"d"}));
    EXPECT_EQ(strip->SheetCount(), 1);
    EXPECT_EQ(strip->ActivePage(), d);

    // A handler that takes the sheet out itself.
    TTabExtSheet* f = Add("f");
    once([&] { f->SetHostStrip(nullptr); });
    strip->SetActivePage(f);
    EXPECT_TRUE(strip->CloseTab(1));
    EXPECT_EQ(f->HostStrip(), nullptr);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"d"}));
    EXPECT_EQ(strip->ActivePage(), d);
}
