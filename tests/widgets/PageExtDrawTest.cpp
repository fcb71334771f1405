// Tabs painted by the strip itself, its drawn close buttons, and dragging
// tabs to a new place.
#include "widgets/PageExtControl.h"

#include "platform/QtColors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        win = std::make_unique<QWidget>();
        win->resize(500, 200);
        strip = new TPageExtControl(win.get());
        strip->setGeometry(0, 0, 500, 200);
        strip->OnChanging = [this](QObject*, bool& allow) {
            log.push_back("changing");
            allow = allowChange;
        };
        strip->OnChange = [this](QObject*) { log.push_back("change " + Name(strip->ActivePage())); };
        strip->OnTabClose = [this](QObject*, int i, bool& canClose) {
            log.push_back("close " + std::to_string(i));
            canClose = allowClose;
        };
        strip->OnTabDelete = [this](QObject*, int i) { log.push_back("delete " + std::to_string(i)); };
        strip->OnTabClick = [this](QObject*, int i) { log.push_back("click " + std::to_string(i)); };
        // Tabs of a fixed size: 100 x 20 on top.
        strip->SetTabWidth(100);
        strip->SetTabHeight(20);
        win->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(win.get()));
    }

    void TearDown() override { win.reset(); }

    TTabExtSheet* Add(const std::string& caption, bool tabVisible = true)
    {
        auto* s = new TTabExtSheet(strip);
        s->setObjectName(QString::fromStdString(caption));
        s->SetCaption(caption);
        s->SetTabVisible(tabVisible);
        s->SetHostStrip(strip);
        return s;
    }

    static std::string Name(const QObject* o) { return o ? o->objectName().toStdString() : "none"; }

    Log SheetNames() const
    {
        Log r;
        for (int i = 0; i < strip->SheetCount(); ++i)
            r.push_back(Name(strip->Sheets(i)));
        return r;
    }

    QTabBar* Bar() const { return strip->NativeBar(); }
    QImage BarImage() const { return Bar()->grab().toImage(); }
    QRect Button(int tab) const { return strip->CloseButtonRect(tab, !strip->SmallCloseBtn()); }

    // Mouse events straight to the bar, positions in its coordinates.
    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(pos), Bar()->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(Bar(), &e);
    }
    void Press(QPoint pos, Qt::MouseButton button = Qt::LeftButton) { Mouse(QEvent::MouseButtonPress, pos, button, button); }
    void Move(QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton) { Mouse(QEvent::MouseMove, pos, Qt::NoButton, buttons); }
    void Release(QPoint pos) { Mouse(QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton); }
    // Press on a tab, move past the drag threshold, release at a point.
    void Drag(int fromTab, QPoint to)
    {
        const QPoint from = Bar()->tabRect(fromTab).center() - QPoint(20, 0);
        Press(from);
        Move(from + QPoint(QApplication::startDragDistance(), 0));
        Move(to);
        Release(to);
    }

    std::unique_ptr<QWidget> win;
    TPageExtControl* strip = nullptr;
    Log log;
    bool allowChange = true;
    bool allowClose = true;
};

// The bounding box of the pixels within an area near a colour.
QRect InkBox(const QImage& img, const QRect& area, QColor ink, int tolerance = 40)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - ink.red()) <= tolerance && std::abs(c.green() - ink.green()) <= tolerance &&
                std::abs(c.blue() - ink.blue()) <= tolerance)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

} // namespace

TEST_F(DrawTest, CloseButtonRectangles)
{
    strip->SetCloseBtn(true);
    Add("a");
    Add("b");
    ASSERT_EQ(Bar()->tabRect(0), QRect(0, 0, 100, 20));
    // Small: a 12-pixel square 4 pixels into the 20-pixel zone at the right
    // end, centred across the tab; big: the whole zone.
    EXPECT_EQ(strip->CloseButtonRect(0, false), QRect(84, 4, 12, 12));
    EXPECT_EQ(strip->CloseButtonRect(0, true), QRect(80, 0, 20, 20));
    EXPECT_EQ(strip->CloseButtonRect(1, false), QRect(184, 4, 12, 12));
    EXPECT_TRUE(strip->CloseButtonRect(2, true).isEmpty());
    // An odd free height is halved toward the top; a tab narrower than the
    // zone keeps the zone inside it.
    strip->SetTabHeight(25);
    strip->SetTabWidth(15);
    EXPECT_EQ(strip->CloseButtonRect(0, false), QRect(4, 6, 12, 12));
    EXPECT_EQ(strip->CloseButtonRect(0, true), QRect(0, 0, 15, 25));
    // Turned tabs: the upper end on the left, the lower end on the right.
    strip->SetTabWidth(100);
    strip->SetTabHeight(20);
    strip->SetTabPosition(tpLeft);
    EXPECT_EQ(strip->CloseButtonRect(0, true), QRect(0, 0, 20, 20));
    strip->SetTabPosition(tpRight);
    EXPECT_EQ(strip->CloseButtonRect(1, true), QRect(0, 180, 20, 20));
    EXPECT_EQ(strip->CloseButtonRect(1, false), QRect(4, 184, 12, 12));
}

TEST_F(DrawTest, PressesOnCloseButtonsAndBesideThem)
{
    strip->SetCloseBtn(true);
    TTabExtSheet* a = Add("a");
    Add("b");
    Add("c");
    log.clear();

    // Inside the zone but outside the small square: a click only. With big
    // buttons the same point closes.
    Press(QPoint(81, 10));
    EXPECT_EQ(log, (Log{"click 0"}));
    strip->SetSmallCloseBtn(false);
    log.clear();
    Press(QPoint(81, 10));
    EXPECT_EQ(log, (Log{"close 0", "delete 0"}));
    EXPECT_EQ(a->HostStrip(), nullptr);
    EXPECT_EQ(Name(strip->ActivePage()), "b");

    // A refused close counts as a click on the tab.
    allowClose = false;
    log.clear();
    Press(Button(0).center());
    EXPECT_EQ(log, (Log{"close 0", "click 0"}));

    // Any button closes, but only a left press selects: a right press on
    // another tab's button is a click on the selected one.
    allowClose = true;
    log.clear();
    Press(Button(1).center(), Qt::RightButton);
    Press(Button(0).center(), Qt::RightButton);
    EXPECT_EQ(log, (Log{"click 0", "close 0", "delete 0"}));

    // Without a selected tab no close button reacts: a click with -1.
    strip->SetTabIndex(-1);
    log.clear();
    Press(Button(0).center(), Qt::RightButton);
    EXPECT_EQ(log, (Log{"click -1"}));
    // The frame around the pages belongs to the strip too.
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(1, 150));
    EXPECT_EQ(log, (Log{"click -1", "click -1"}));
    // What a page leaves unused does not.
    strip->SetTabIndex(0);
    QTest::mouseClick(strip->ActivePage(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(log, (Log{"click -1", "click -1"}));

    // A handler that deletes the sheet itself.
    strip->SetTabIndex(0);
    strip->OnTabClose = [this](QObject*, int i, bool&) { delete strip->SheetOfTab(i); };
    log.clear();
    Press(Button(0).center());
    EXPECT_EQ(strip->SheetCount(), 0);
    EXPECT_EQ(log, (Log{"delete 0"}));
}

TEST_F(DrawTest, OnMouseDownTakesOverPresses)
{
    strip->SetCloseBtn(true);
    strip->SetTabDragDrop(true);
    Add("a");
    Add("b");
    std::vector<QPoint> downs;
    strip->OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { downs.emplace_back(x, y); };
    log.clear();
    // The press still selects its tab, but neither closes, clicks nor drags.
    Press(Button(1).center());
    EXPECT_EQ(log, (Log{"changing", "change b"}));
    EXPECT_EQ(downs, (std::vector<QPoint>{Bar()->mapTo(strip, Button(1).center())}));
    Move(Bar()->tabRect(0).center());
    EXPECT_FALSE(strip->Dragging());
}

TEST_F(DrawTest, CaptionsKeepRoomForTheCloseButton)
{
    strip->SetTabWidth(0);
    strip->SetCloseBtn(true);
    TTabExtSheet* a = Add("  abc \t");
    const int plainWidth = Bar()->tabRect(0).width();
    BarImage();
    // Trimmed, then five blanks, in the sheet and its tab; the tab grew.
    EXPECT_EQ(a->Caption(), "abc     ");
    EXPECT_EQ(strip->TabTexts().Get(0), "abc     ");
    EXPECT_GT(Bar()->tabRect(0).width(), plainWidth);
    // Without close buttons, owner-drawn captions are trimmed back.
    strip->SetCloseBtn(false);
    strip->SetOwnerDraw(true);
    BarImage();
    EXPECT_EQ(a->Caption(), "abc");
}

TEST_F(DrawTest, TabsArePaintedInTheirSheetsColours)
{
    strip->SetCloseBtn(true);
    TTabExtSheet* a = Add("Kodeks");
    TTabExtSheet* b = Add("Kodeks");
    for (TTabExtSheet* s : {a, b}) {
        s->Colors().SetActiveFill1(clGreen);
        s->Colors().SetActiveFontColor(clWhite);
        s->Colors().SetInActivefill1(clYellow);
        s->Colors().SetInActiveFontColor(clBlack);
    }
    const QColor green(0, 128, 0), yellow(Qt::yellow), hotRed(0xC4, 0x2B, 0x1C);
    QImage img = BarImage();
    EXPECT_EQ(img.pixelColor(3, 3), green);
    EXPECT_EQ(img.pixelColor(103, 3), yellow);
    EXPECT_EQ(img.pixel(0, 10), toQColor(clBtnShadow).rgb()); // the outline

    // Captions centred in the whole tab, blanks included; the inactive one
    // two pixels lower.
    const QRect activeInk = InkBox(img, QRect(1, 1, 78, 18), Qt::white);
    const QRect inactiveInk = InkBox(img, QRect(101, 1, 78, 18), Qt::black);
    ASSERT_FALSE(activeInk.isEmpty());
    EXPECT_EQ(inactiveInk.topLeft(), activeInk.topLeft() + QPoint(100, 2));
    const int w = QFontMetrics(strip->font()).horizontalAdvance(QString::fromLatin1(a->Caption().c_str()));
    EXPECT_NEAR(activeInk.left(), (100 - w) / 2, 2);

    // Close buttons filled like their tabs, the cross in the caption colour.
    EXPECT_FALSE(InkBox(img, Button(0), Qt::white).isEmpty());
    EXPECT_FALSE(InkBox(img, Button(1), Qt::black).isEmpty());
    EXPECT_TRUE(InkBox(img, Button(0), hotRed, 0).isEmpty());
    strip->SetSmallCloseBtn(false);
    img = BarImage();
    EXPECT_EQ(img.pixelColor(Button(1).topLeft() + QPoint(1, 1)), yellow);
    EXPECT_FALSE(InkBox(img, Button(1).adjusted(2, 2, -2, -2), Qt::black).isEmpty());

    // Over the selected tab's button every button is drawn hot, until the
    // pointer leaves; another tab's button is not hot.
    Move(Button(1).center(), Qt::NoButton);
    EXPECT_FALSE(strip->CloseBtnHot());
    Move(Button(0).center(), Qt::NoButton);
    EXPECT_TRUE(strip->CloseBtnHot());
    img = BarImage();
    EXPECT_FALSE(InkBox(img, Button(0), hotRed, 0).isEmpty());
    EXPECT_FALSE(InkBox(img, Button(1), hotRed, 0).isEmpty());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Bar(), &leave);
    EXPECT_FALSE(strip->CloseBtnHot());

    // A colour change repaints.
    b->Colors().SetInActivefill1(clAqua);
    EXPECT_EQ(BarImage().pixelColor(103, 3), QColor(Qt::cyan));
}

TEST(TabGradient, StripsAndTruncation)
{
    QImage img(600, 300, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        // 512 wide: strips of two pixels; a falling red truncates toward
        // the start colour. 100 wide: the first two strips have no width.
        GradientFill(p, QRect(0, 0, 512, 10), RGBColor(200, 0, 10), RGBColor(100, 255, 10), fdHorizontal);
        GradientFill(p, QRect(0, 20, 100, 10), clBlack, clWhite, fdHorizontal);
        GradientFill(p, QRect(550, 0, 10, 256), RGBColor(0, 255, 0), RGBColor(255, 0, 0), fdVertical);
    }
    EXPECT_EQ(img.pixelColor(2, 5), QColor(200, 1, 10));
    EXPECT_EQ(img.pixelColor(256, 5), QColor(150, 128, 10));
    EXPECT_EQ(img.pixelColor(511, 5), QColor(100, 255, 10));
    EXPECT_EQ(img.pixelColor(0, 25), QColor(2, 2, 2));
    EXPECT_EQ(img.pixelColor(99, 25), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(555, 100), QColor(100, 155, 0));
    EXPECT_EQ(img.pixelColor(549, 100), QColor(Qt::black));
}

TEST_F(DrawTest, GradientTabsAndHotTrack)
{
    TTabExtSheet* a = Add("");
    TTabExtSheet* b = Add("");
    for (TTabExtSheet* s : {a, b}) {
        s->Colors().SetActiveFill1(RGBColor(0, 128, 0));
        s->Colors().SetActiveFill2(RGBColor(0, 0, 255));
        s->Colors().SetInActivefill1(RGBColor(255, 0, 0));
        s->Colors().SetInActivefill2(RGBColor(255, 255, 0));
    }
    strip->SetOwnerDraw(true);
    strip->SetTabFillGradient(true);
    QImage img = BarImage();
    // Active: ActiveFill2 to ActiveFill1 inside a 1-pixel margin (98 wide,
    // so the first strips have no width); others InActivefill1 to 2.
    EXPECT_EQ(img.pixelColor(1, 10), QColor(0, 1, 253));
    EXPECT_EQ(img.pixelColor(98, 10), QColor(0, 128, 0));
    EXPECT_EQ(img.pixelColor(101, 10), QColor(255, 2, 0));
    EXPECT_EQ(img.pixelColor(198, 10), QColor(255, 255, 0));
    // With hot tracking the fill is plain.
    strip->SetHotTrack(true);
    img = BarImage();
    EXPECT_EQ(img.pixelColor(1, 10), QColor(0, 128, 0));
    EXPECT_EQ(img.pixelColor(198, 10), QColor(255, 0, 0));
}

TEST_F(DrawTest, DraggingATabMovesItsSheet)
{
    strip->SetTabDragDrop(true);
    TTabExtSheet* a = Add("a");
    Add("b");
    Add("c");
    log.clear();

    // Dropped on the last tab: the dragged (active) sheet takes its place.
    Drag(0, Bar()->tabRect(2).center());
    EXPECT_EQ(SheetNames(), (Log{"b", "c", "a"}));
    EXPECT_EQ(strip->TabTexts().Get(2), "a");
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_EQ(strip->TabIndex(), 2);
    EXPECT_EQ(log, (Log{"click 0"}));

    // The press selects the middle tab, the drop is on the first.
    Drag(1, Bar()->tabRect(0).center() + QPoint(30, 0));
    EXPECT_EQ(SheetNames(), (Log{"c", "b", "a"}));
    EXPECT_EQ(strip->TabIndex(), 0);

    // On its own tab, beside the tabs, outside the strip: nothing moves.
    Drag(0, Bar()->tabRect(0).center());
    Drag(0, QPoint(400, 10));
    Drag(0, QPoint(-50, 10));
    EXPECT_EQ(SheetNames(), (Log{"c", "b", "a"}));

    // With a sheet without a tab, the dragged sheet goes where the sheet
    // of the tab under the drop is.
    Add("hidden", false)->SetPageIndex(0);
    Add("d");
    Drag(3, Bar()->tabRect(1).center());
    EXPECT_EQ(SheetNames(), (Log{"hidden", "c", "d", "b", "a"}));
    EXPECT_EQ(strip->TabIndex(), 1);
}

TEST_F(DrawTest, DragThresholdEscapeAndHandlers)
{
    strip->SetTabDragDrop(true);
    Add("a");
    Add("b");
    // Released on the next tab before the pointer moved far enough.
    const QPoint near(97 + QApplication::startDragDistance() - 1, 10);
    Press(QPoint(97, 10));
    Move(near);
    EXPECT_FALSE(strip->Dragging());
    Release(near);
    // Escape, or a button found up at the next move, ends a drag unused.
    Press(QPoint(50, 10));
    Move(QPoint(150, 10));
    EXPECT_TRUE(strip->Dragging());
    EXPECT_EQ(Bar()->cursor().shape(), Qt::DragMoveCursor);
    QTest::keyClick(Bar(), Qt::Key_Escape);
    EXPECT_FALSE(strip->Dragging());
    Release(QPoint(150, 10));
    Press(QPoint(50, 10));
    Move(QPoint(150, 10));
    Move(QPoint(150, 10), Qt::NoButton);
    EXPECT_FALSE(strip->Dragging());
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));

    // OnDragOver refusing: the forbidden cursor and no drop; OnDragDrop
    // replaces the move.
    bool accept = false;
    std::vector<QPoint> drops;
    strip->OnDragOver = [&](QObject*, QObject* source, int, int, bool& ok) {
        EXPECT_EQ(source, strip);
        ok = accept;
    };
    Press(QPoint(50, 10));
    Move(QPoint(150, 10));
    EXPECT_EQ(Bar()->cursor().shape(), Qt::ForbiddenCursor);
    Release(QPoint(150, 10));
    accept = true;
    strip->OnDragDrop = [&](QObject*, QObject*, int x, int y) { drops.emplace_back(x, y); };
    Drag(0, QPoint(150, 12));
    EXPECT_EQ(drops, (std::vector<QPoint>{Bar()->mapTo(strip, QPoint(150, 12))}));
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));

    // Without TabDragDrop there is no drag at all.
    strip->OnDragDrop = nullptr;
    strip->SetTabDragDrop(false);
    Drag(0, Bar()->tabRect(1).center());
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));
}
