// Tabs painted by the strip itself, its drawn close buttons, and dragging
// tabs to a new place.
#include "widgets/PageExtControl.h"

#include "platform/ImageList.h"
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
    }

    void TearDown() override { win.reset(); }

    void Show()
    {
        win->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(win.get()));
    }

    TTabExtSheet* Add(const std::string& caption, bool tabVisible = true)
    {
        auto* s = new TTabExtSheet(strip);
        s->setObjectName(QString::fromStdString(caption));
        s->SetCaption(caption);
        s->SetTabVisible(tabVisible);
        s->SetHostStrip(strip);
        return s;
    }

    // Tabs of a fixed size: 100 x 20 for the tabs on top.
    void FixedTabs()
    {
        strip->SetTabWidth(100);
        strip->SetTabHeight(20);
    }

    static std::string Name(const QObject* o) { return o ? o->objectName().toStdString() : "none"; }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> r;
        for (int i = 0; i < strip->TabTexts().Count(); ++i)
            r.push_back(strip->TabTexts().Get(i));
        return r;
    }

    std::vector<std::string> SheetNames() const
    {
        std::vector<std::string> r;
        for (int i = 0; i < strip->SheetCount(); ++i)
            r.push_back(Name(strip->Sheets(i)));
        return r;
    }

    QTabBar* Bar() const { return strip->NativeBar(); }
    QImage BarImage() const { return Bar()->grab().toImage(); }

    // Mouse events straight to the bar, positions in its coordinates.
    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(pos), Bar()->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(Bar(), &e);
    }
    void Press(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        Mouse(QEvent::MouseButtonPress, pos, button, button);
    }
    void Move(QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        Mouse(QEvent::MouseMove, pos, Qt::NoButton, buttons);
    }
    void Release(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        Mouse(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    // Press on one tab, move in steps to a point, release there.
    void Drag(int fromTab, QPoint to)
    {
        const QPoint from = Bar()->tabRect(fromTab).center() - QPoint(20, 0);
        Press(from);
        Move(from + QPoint(QApplication::startDragDistance(), 0));
        Move(to);
        Release(to);
    }

    QRect Button(int tab) const { return strip->CloseButtonRect(tab, !strip->SmallCloseBtn()); }

    std::unique_ptr<QWidget> win;
    TPageExtControl* strip = nullptr;
    Log log;
    bool allowChange = true;
    bool allowClose = true;
};

bool Near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The bounding box of the pixels of an image within an area that are near a
// colour.
QRect InkBox(const QImage& img, const QRect& area, QColor ink, int tolerance = 40)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Near(img.pixelColor(x, y), ink, tolerance))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST_F(DrawTest, CloseButtonRectangles)
{
    FixedTabs();
    strip->SetCloseBtn(true);
    Show();
    Add("a");
    Add("b");
    ASSERT_EQ(Bar()->tabRect(0), QRect(0, 0, 100, 20));

    // Small: a 12-pixel square 4 pixels into the 20-pixel zone at the right
    // end, centred across the tab; big: the whole zone.
    EXPECT_EQ(strip->CloseButtonRect(0, false), QRect(84, 4, 12, 12));
    EXPECT_EQ(strip->CloseButtonRect(0, true), QRect(80, 0, 20, 20));
    EXPECT_EQ(strip->CloseButtonRect(1, false), QRect(184, 4, 12, 12));
    EXPECT_TRUE(strip->CloseButtonRect(2, true).isEmpty());
    EXPECT_TRUE(strip->CloseButtonRect(-1, false).isEmpty());

    // An odd free height is halved toward the top.
    strip->SetTabHeight(25);
    EXPECT_EQ(strip->CloseButtonRect(0, false), QRect(84, 6, 12, 12));

    // A tab narrower than the zone: the zone starts at the tab.
    strip->SetTabWidth(15);
    EXPECT_EQ(strip->CloseButtonRect(0, true), QRect(0, 0, 15, 25));

    // Turned tabs: the upper end on the left, the lower end on the right.
    strip->SetTabWidth(100);
    strip->SetTabHeight(20);
    strip->SetTabPosition(tpLeft);
    ASSERT_EQ(Bar()->tabRect(0), QRect(0, 0, 20, 100));
    EXPECT_EQ(strip->CloseButtonRect(0, true), QRect(0, 0, 20, 20));
    EXPECT_EQ(strip->CloseButtonRect(0, false), QRect(4, 4, 12, 12));
    strip->SetTabPosition(tpRight);
    EXPECT_EQ(strip->CloseButtonRect(1, true), QRect(0, 180, 20, 20));
    EXPECT_EQ(strip->CloseButtonRect(1, false), QRect(4, 184, 12, 12));
}

TEST_F(DrawTest, PressesOnCloseButtonsAndBesideThem)
{
    FixedTabs();
    strip->SetCloseBtn(true);
    Show();
    TTabExtSheet* a = Add("a");
    Add("b");
    Add("c");
    log.clear();

    // Inside the zone but outside the small square: a click only.
    Press(QPoint(81, 10));
    EXPECT_EQ(log, (Log{"click 0"}));
    // With big buttons the same point closes; the next tab takes over.
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
    EXPECT_EQ(strip->SheetCount(), 2);

    // Any button closes, but only a left press selects: a right press on
    // the close button of another tab is a click on the selected one.
    allowClose = true;
    log.clear();
    Press(Button(1).center(), Qt::RightButton);
    EXPECT_EQ(log, (Log{"click 0"}));
    Press(Button(0).center(), Qt::RightButton);
    EXPECT_EQ(log, (Log{"click 0", "close 0", "delete 0"}));
    EXPECT_EQ(Name(strip->ActivePage()), "c");

    // Without a selected tab no close button reacts: a click with -1.
    strip->SetTabIndex(-1);
    log.clear();
    Press(Button(0).center(), Qt::RightButton);
    EXPECT_EQ(log, (Log{"click -1"}));
}

TEST_F(DrawTest, OnMouseDownTakesOverPresses)
{
    FixedTabs();
    strip->SetCloseBtn(true);
    strip->SetTabDragDrop(true);
    Show();
    Add("a");
    Add("b");
    std::vector<QPoint> downs;
    strip->OnMouseDown = [&](QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        EXPECT_EQ(sender, strip);
        EXPECT_EQ(button, Qt::LeftButton);
        downs.emplace_back(x, y);
    };
    log.clear();
    // The press still selects its tab, but neither closes nor clicks.
    Press(Button(1).center());
    EXPECT_EQ(log, (Log{"changing", "change b"}));
    EXPECT_EQ(downs, (std::vector<QPoint>{Bar()->mapTo(strip, Button(1).center())}));
    EXPECT_EQ(strip->SheetCount(), 2);
    // Nor does it drag.
    Move(Bar()->tabRect(0).center());
    EXPECT_FALSE(strip->Dragging());
    Release(Bar()->tabRect(0).center());
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));
}

TEST_F(DrawTest, CaptionsKeepRoomForTheCloseButton)
{
    strip->SetCloseBtn(true);
    Show();
    TTabExtSheet* a = Add("  abc \t");
    TTabExtSheet* b = Add("b");
    const int plainWidth = Bar()->tabRect(0).width();
    BarImage();
    // Trimmed, then five blanks, in the sheet and its tab; the tab grew.
    EXPECT_EQ(a->Caption(), "abc     ");
    EXPECT_EQ(strip->TabTexts().Get(0), "abc     ");
    EXPECT_EQ(b->Caption(), "b     ");
    EXPECT_GT(Bar()->tabRect(0).width(), plainWidth);
    // Painting again adds nothing.
    BarImage();
    EXPECT_EQ(a->Caption(), "abc     ");

    // Without close buttons, owner-drawn captions are trimmed back.
    strip->SetCloseBtn(false);
    strip->SetOwnerDraw(true);
    BarImage();
    EXPECT_EQ(a->Caption(), "abc");
    EXPECT_EQ(strip->TabTexts().Get(1), "b");
}

TEST_F(DrawTest, TabsArePaintedInTheirSheetsColours)
{
    FixedTabs();
    strip->SetCloseBtn(true);
    Show();
    TTabExtSheet* a = Add("Kodeks");
    TTabExtSheet* b = Add("Kodeks");
    for (TTabExtSheet* s : {a, b}) {
        s->Colors().SetActiveFill1(clGreen);
        s->Colors().SetActiveFontColor(clWhite);
        s->Colors().SetInActivefill1(clYellow);
        s->Colors().SetInActiveFontColor(clBlack);
    }
    const QColor green(0, 128, 0), yellow(Qt::yellow);
    QImage img = BarImage();
    EXPECT_EQ(img.pixelColor(3, 3), green);
    EXPECT_EQ(img.pixelColor(103, 3), yellow);
    // The tab's outline.
    EXPECT_EQ(img.pixel(0, 10), toQColor(clBtnShadow).rgb());

    // The captions: centred in the room left of the button, the inactive
    // one two pixels lower.
    const QRect activeInk = InkBox(img, QRect(1, 1, 78, 18), Qt::white);
    const QRect inactiveInk = InkBox(img, QRect(101, 1, 78, 18), Qt::black);
    ASSERT_FALSE(activeInk.isEmpty());
    ASSERT_FALSE(inactiveInk.isEmpty());
    EXPECT_EQ(inactiveInk.top(), activeInk.top() + 2);
    EXPECT_EQ(inactiveInk.left(), activeInk.left() + 100);
    const int w = QFontMetrics(strip->font()).horizontalAdvance(QString::fromLatin1(a->Caption().c_str()));
    EXPECT_NEAR(activeInk.left(), (100 - w) / 2, 2);

    // The close buttons, filled like their tabs, the cross in the caption
    // colour.
    EXPECT_FALSE(InkBox(img, Button(0), Qt::white).isEmpty());
    EXPECT_FALSE(InkBox(img, Button(1), Qt::black).isEmpty());
    strip->SetSmallCloseBtn(false);
    img = BarImage();
    const QRect big = Button(1);
    EXPECT_EQ(img.pixelColor(big.left() + 1, big.top() + 1), yellow);
    EXPECT_FALSE(InkBox(img, big.adjusted(2, 2, -2, -2), Qt::black).isEmpty());

    // A colour change repaints.
    b->Colors().SetInActivefill1(clAqua);
    EXPECT_EQ(BarImage().pixelColor(103, 3), QColor(Qt::cyan));
}

TEST_F(DrawTest, HotCloseButtons)
{
    FixedTabs();
    strip->SetCloseBtn(true);
    Show();
    TTabExtSheet* a = Add("a");
    Add("b");
    a->Colors().SetActiveFill1(clGreen);
    const QColor red(0xC4, 0x2B, 0x1C);
    EXPECT_FALSE(strip->CloseBtnHot());
    EXPECT_TRUE(InkBox(BarImage(), Button(0), red, 0).isEmpty());

    // Only the selected tab's button turns the flag on; while it is on,
    // every button is drawn hot.
    Move(Button(1).center(), Qt::NoButton);
    EXPECT_FALSE(strip->CloseBtnHot());
    Move(Button(0).center(), Qt::NoButton);
    EXPECT_TRUE(strip->CloseBtnHot());
    const QImage hot = BarImage();
    EXPECT_FALSE(InkBox(hot, Button(0), red, 0).isEmpty());
    EXPECT_FALSE(InkBox(hot, Button(1), red, 0).isEmpty());

    Move(QPoint(10, 10), Qt::NoButton);
    EXPECT_FALSE(strip->CloseBtnHot());
    Move(Button(0).center(), Qt::NoButton);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Bar(), &leave);
    EXPECT_FALSE(strip->CloseBtnHot());

    // Without close buttons there is nothing to be hot.
    strip->SetCloseBtn(false);
    Move(Button(0).center(), Qt::NoButton);
    EXPECT_FALSE(strip->CloseBtnHot());
}

TEST_F(DrawTest, GradientFillArithmetic)
{
    QImage img(600, 300, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        // 512 wide: every strip two pixels; falling red truncates toward
        // the start colour.
        GradientFill(p, QRect(0, 0, 512, 10), RGBColor(200, 0, 10), RGBColor(100, 255, 10), fdHorizontal);
        // 100 wide: most strips have no width; the last one is the end
        // colour.
        GradientFill(p, QRect(0, 20, 100, 10), RGBColor(0, 0, 0), RGBColor(255, 255, 255), fdHorizontal);
        GradientFill(p, QRect(550, 0, 10, 256), RGBColor(0, 255, 0), RGBColor(255, 0, 0), fdVertical);
    }
    EXPECT_EQ(img.pixelColor(0, 5), QColor(200, 0, 10));
    EXPECT_EQ(img.pixelColor(1, 5), QColor(200, 0, 10));
    EXPECT_EQ(img.pixelColor(2, 5), QColor(200, 1, 10)); // 200 + 1 * -100 / 255
    EXPECT_EQ(img.pixelColor(2 * 128, 5), QColor(150, 128, 10));
    EXPECT_EQ(img.pixelColor(511, 5), QColor(100, 255, 10));
    EXPECT_EQ(img.pixelColor(512, 5), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(0, 25), QColor(2, 2, 2)); // strips 0 and 1 have no width
    EXPECT_EQ(img.pixelColor(1, 25), QColor(5, 5, 5));
    EXPECT_EQ(img.pixelColor(99, 25), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(100, 25), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(555, 0), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(555, 100), QColor(100, 155, 0));
    EXPECT_EQ(img.pixelColor(555, 255), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(549, 100), QColor(Qt::black));
}

TEST_F(DrawTest, GradientTabsAndHotTrack)
{
    FixedTabs();
    Show();
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
    // The active tab runs from ActiveFill2 to ActiveFill1 inside a 1-pixel
    // margin (98 pixels: the first strips have no width); the others from
    // InActivefill1 to InActivefill2.
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

TEST_F(DrawTest, ImagesStandBeforeTheCaption)
{
    QImage blue(16, 16, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    TImageList images(16, 16);
    images.Add(blue);
    strip->SetTabWidth(100);
    strip->SetTabHeight(30);
    strip->SetImages(&images);
    strip->SetCloseBtn(true);
    Show();
    TTabExtSheet* a = Add("abc");
    Add("abc");
    a->SetImageIndex(0);
    strip->Sheets(1)->SetImageIndex(0);
    const QImage img = BarImage();
    const QFontMetrics fm(strip->font());
    const int w = fm.horizontalAdvance(QString::fromLatin1(a->Caption().c_str()));
    const int h = fm.height();
    // The caption is centred right of the image's room; the image stands
    // 5 pixels before it, 2 pixels above its top.
    const int roomLeft = 16 + 5;
    const int x = roomLeft + (100 - roomLeft - w) / 2;
    const int y = (30 - h) / 2;
    EXPECT_EQ(InkBox(img, QRect(0, 0, 100, 30), Qt::blue, 0), QRect(x - 16 - 5, y - 2, 16, 16));
    // The inactive tab's image goes down with its caption.
    EXPECT_EQ(InkBox(img, QRect(100, 0, 100, 30), Qt::blue, 0), QRect(100 + x - 16 - 5, y, 16, 16));
    strip->SetImages(nullptr);
}

TEST_F(DrawTest, DraggingATabMovesItsSheet)
{
    FixedTabs();
    strip->SetTabDragDrop(true);
    Show();
    TTabExtSheet* a = Add("a");
    Add("b");
    Add("c");
    log.clear();

    // Dropped on the last tab: the dragged (active) sheet takes its place.
    Drag(0, Bar()->tabRect(2).center());
    EXPECT_EQ(SheetNames(), (Log{"b", "c", "a"}));
    EXPECT_EQ(Captions(), (Log{"b", "c", "a"}));
    EXPECT_EQ(strip->ActivePage(), a);
    EXPECT_EQ(strip->TabIndex(), 2);
    EXPECT_EQ(log, (Log{"click 0"}));
    EXPECT_FALSE(strip->Dragging());

    // Selecting the middle tab by the press, then dropping on the first.
    Drag(1, Bar()->tabRect(0).center() + QPoint(30, 0));
    EXPECT_EQ(SheetNames(), (Log{"c", "b", "a"}));
    EXPECT_EQ(Name(strip->ActivePage()), "c");
    EXPECT_EQ(strip->TabIndex(), 0);

    // On its own tab, beside the tabs, outside the strip: nothing moves.
    Drag(0, Bar()->tabRect(0).center());
    Drag(0, QPoint(400, 10));
    Drag(0, QPoint(-50, 10));
    EXPECT_EQ(SheetNames(), (Log{"c", "b", "a"}));
}

TEST_F(DrawTest, ADragBeginsOnlyPastTheThreshold)
{
    FixedTabs();
    strip->SetTabDragDrop(true);
    Show();
    Add("a");
    Add("b");
    // Press and release on the tab boundary without moving far enough.
    Press(QPoint(97, 10));
    Move(QPoint(97 + QApplication::startDragDistance() - 1, 10));
    EXPECT_FALSE(strip->Dragging());
    Release(QPoint(97 + QApplication::startDragDistance() - 1, 10));
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));

    // Escape ends a drag without a drop.
    Press(QPoint(50, 10));
    Move(QPoint(150, 10));
    EXPECT_TRUE(strip->Dragging());
    EXPECT_EQ(Bar()->cursor().shape(), Qt::DragMoveCursor);
    QTest::keyClick(Bar(), Qt::Key_Escape);
    EXPECT_FALSE(strip->Dragging());
    EXPECT_EQ(Bar()->cursor().shape(), Qt::ArrowCursor);
    Release(QPoint(150, 10));
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));

    // A release that went elsewhere (the button is up at the next move)
    // ends the drag too.
    Press(QPoint(50, 10));
    Move(QPoint(150, 10));
    Move(QPoint(150, 10), Qt::NoButton);
    EXPECT_FALSE(strip->Dragging());

    // Without TabDragDrop there is no drag at all.
    strip->SetTabDragDrop(false);
    Drag(0, Bar()->tabRect(1).center());
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));
}

TEST_F(DrawTest, DragHandlersDecide)
{
    FixedTabs();
    strip->SetTabDragDrop(true);
    Show();
    Add("a");
    Add("b");
    std::vector<QPoint> overs, drops;
    bool accept = false;
    strip->OnDragOver = [&](QObject* sender, QObject* source, int x, int y, bool& ok) {
        EXPECT_EQ(sender, strip);
        EXPECT_EQ(source, strip);
        overs.emplace_back(x, y);
        ok = accept;
    };
    // Refused: the forbidden cursor, and no drop.
    Press(QPoint(50, 10));
    Move(QPoint(150, 10));
    EXPECT_EQ(Bar()->cursor().shape(), Qt::ForbiddenCursor);
    Release(QPoint(150, 10));
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));
    EXPECT_FALSE(overs.empty());

    // Accepted, with a drop handler of its own: only the handler runs.
    accept = true;
    strip->OnDragDrop = [&](QObject*, QObject* source, int x, int y) {
        EXPECT_EQ(source, strip);
        drops.emplace_back(x, y);
    };
    Drag(0, QPoint(150, 12));
    EXPECT_EQ(drops, (std::vector<QPoint>{Bar()->mapTo(strip, QPoint(150, 12))}));
    EXPECT_EQ(SheetNames(), (Log{"a", "b"}));
}

TEST_F(DrawTest, DropsCountSheetsWithoutTabsByTheirTabs)
{
    FixedTabs();
    strip->SetTabDragDrop(true);
    Show();
    Add("a");
    Add("hidden", false);
    Add("b");
    Add("c");
    // The tab of c dropped on the tab of b: c goes where b's sheet is.
    Drag(2, Bar()->tabRect(1).center());
    EXPECT_EQ(SheetNames(), (Log{"a", "hidden", "c", "b"}));
    EXPECT_EQ(Captions(), (Log{"a", "c", "b"}));
    EXPECT_EQ(Name(strip->ActivePage()), "c");
    EXPECT_EQ(strip->TabIndex(), 1);
}
