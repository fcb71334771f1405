#include "widgets/PageExtControl.h"

#include "platform/ImageList.h"
#include "platform/QtColors.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QShortcutEvent>
#include <QStyleOptionTabWidgetFrame>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>
#include <cstdio>

// ---------------------------------------------------------------------------
// Exception handler for handlers run from Qt events

namespace {

TWidgetExceptionHandler& ExceptionHandler()
{
    static TWidgetExceptionHandler handler;
    return handler;
}

template <class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        HandleWidgetException(e);
    }
}

std::string Format(const char* fmt, int value)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

std::string FormatTab(const std::string& text, int index)
{
    return "Failed to set tab \"" + text + "\" at index " + std::to_string(index);
}

// Scoped increment of a nesting counter or setting of a flag.
class CountGuard {
public:
    explicit CountGuard(int& c) : FCount(c) { ++FCount; }
    ~CountGuard() { --FCount; }

private:
    int& FCount;
};

class FlagGuard {
public:
    explicit FlagGuard(bool& f) : FFlag(f), FOld(f) { FFlag = true; }
    ~FlagGuard() { FFlag = FOld; }

private:
    bool& FFlag;
    bool FOld;
};

// The letter marked with & in a caption (&& stands for a plain &), or a null
// character.
QChar Accelerator(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&')
                return text[i + 1].toUpper();
            ++i;
        }
    }
    return QChar();
}

bool CanTakeFocus(const QWidget* w) { return w && w->isEnabled() && w->isVisible(); }

} // namespace

void SetWidgetExceptionHandler(TWidgetExceptionHandler handler) { ExceptionHandler() = std::move(handler); }

void HandleWidgetException(const std::exception& e)
{
    if (ExceptionHandler())
        ExceptionHandler()(e);
    else
        qWarning("%s", e.what());
}

void GradientFill(QPainter& Canvas, const QRect& Rect, TColor StartColor, TColor EndColor,
                  TFillDirection Direction)
{
    const QColor from = toQColor(StartColor), to = toQColor(EndColor);
    const std::int64_t r1 = from.red(), g1 = from.green(), b1 = from.blue();
    const std::int64_t dr = to.red() - r1, dg = to.green() - g1, db = to.blue() - b1;
    const std::int64_t extent = Direction == fdHorizontal ? Rect.width() : Rect.height();
    const int origin = Direction == fdHorizontal ? Rect.left() : Rect.top();
    for (std::int64_t i = 0; i < 256; ++i) {
        const int a = origin + int(i * extent / 256);
        const int b = origin + int((i + 1) * extent / 256);
        if (b <= a)
            continue;
        const QColor colour(int(r1 + i * dr / 255), int(g1 + i * dg / 255), int(b1 + i * db / 255));
        if (Direction == fdHorizontal)
            Canvas.fillRect(QRect(a, Rect.top(), b - a, Rect.height()), colour);
        else
            Canvas.fillRect(QRect(Rect.left(), a, Rect.width(), b - a), colour);
    }
}

// ---------------------------------------------------------------------------
// The platform's tab bar, with user changes routed through the control so
// that they can be refused before they happen.

class TNativeTabBar : public QTabBar {
public:
    explicit TNativeTabBar(TCustomTabExtControl* owner) : QTabBar(owner), FOwner(owner) {}

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize s = QTabBar::tabSizeHint(index);
        const bool vertical = FOwner->TabPosition() == tpLeft || FOwner->TabPosition() == tpRight;
        // The fixed size is along the row of tabs and across it.
        if (FOwner->TabWidth() > 0)
            (vertical ? s.rheight() : s.rwidth()) = FOwner->TabWidth();
        if (FOwner->TabHeight() > 0)
            (vertical ? s.rwidth() : s.rheight()) = FOwner->TabHeight();
        return s;
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        e->accept();
        const QPoint pos = e->position().toPoint();
        Guarded([&] {
            // A left press selects the tab under the pointer first, as the
            // platform's tabs do, whatever the handlers then make of it.
            if (e->button() == Qt::LeftButton) {
                const int i = tabAt(pos);
                if (i >= 0 && i != FOwner->TabIndex())
                    FOwner->SelectByUser(i);
            }
            const QPoint p = mapTo(FOwner, pos);
            if (FOwner->OnMouseDown)
                FOwner->OnMouseDown(FOwner, e->button(), e->modifiers(), p.x(), p.y());
            else
                FOwner->TabMouseDown(e->button(), p);
        });
    }

    // The bar's own dragging of tabs is not used; moves and releases go to
    // the control only.
    void mouseMoveEvent(QMouseEvent* e) override
    {
        e->accept();
        const QPoint p = mapTo(FOwner, e->position().toPoint());
        Guarded([&] { FOwner->TabMouseMove(e->buttons(), p); });
    }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        e->accept();
        const QPoint p = mapTo(FOwner, e->position().toPoint());
        Guarded([&] { FOwner->TabMouseUp(e->button(), p); });
    }

    void leaveEvent(QEvent* e) override
    {
        QTabBar::leaveEvent(e);
        Guarded([&] { FOwner->TabMouseLeave(); });
    }

    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape) {
            bool used = false;
            Guarded([&] { used = FOwner->TabEscape(); });
            if (used) {
                e->accept();
                return;
            }
        }
        int step = 0;
        switch (e->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up: step = -1; break;
        case Qt::Key_Right:
        case Qt::Key_Down: step = 1; break;
        default: QTabBar::keyPressEvent(e); return;
        }
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            e->ignore();
            return;
        }
        e->accept();
        const int current = FOwner->TabIndex();
        const int target = current < 0 ? 0 : current + step;
        if (target >= 0 && target < count() && target != current)
            Guarded([&] { FOwner->SelectByUser(target); });
    }

    // The wheel does not switch tabs; it goes on to the parent.
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }

    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::Shortcut) {
            const QKeySequence key = static_cast<QShortcutEvent*>(e)->key();
            if (key.count() == 1) {
                const QChar c = QChar(key[0].key()).toUpper();
                bool taken = false;
                Guarded([&] { taken = FOwner->DialogChar(c); });
                if (taken)
                    return true;
            }
            return true;
        }
        return QTabBar::event(e);
    }

    void paintEvent(QPaintEvent* e) override
    {
        if (!FOwner->PaintsTabsItself()) {
            QTabBar::paintEvent(e);
            return;
        }
        // Captions may change the tabs' sizes; that is done before any
        // painting starts.
        Guarded([&] { FOwner->PrepareOwnerDraw(); });
        QPainter p(this);
        const int current = FOwner->TabIndex();
        Guarded([&] {
            for (int i = 0; i < count(); ++i) {
                const QRect r = tabRect(i);
                if (!r.intersects(e->rect()))
                    continue;
                p.save();
                p.setFont(FOwner->font());
                p.setBrush(toQColor(clBtnFace));
                FOwner->DrawTab(p, i, r, i == current);
                p.restore();
                DrawFrame(p, r, i == current);
            }
        });
    }

private:
    // The outline the platform draws around each tab; the selected tab is
    // open towards its page.
    void DrawFrame(QPainter& p, const QRect& r, bool active) const
    {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(toQColor(clBtnShadow));
        p.setBrush(Qt::NoBrush);
        if (!active) {
            p.drawRect(r.adjusted(0, 0, -1, -1));
        } else {
            const QPoint tl = r.topLeft(), tr = r.topRight(), bl = r.bottomLeft(), br = r.bottomRight();
            switch (FOwner->TabPosition()) {
            case tpTop: p.drawPolyline(QPolygon{bl, tl, tr, br}); break;
            case tpBottom: p.drawPolyline(QPolygon{tl, bl, br, tr}); break;
            case tpLeft: p.drawPolyline(QPolygon{tr, tl, bl, br}); break;
            case tpRight: p.drawPolyline(QPolygon{tl, tr, br, bl}); break;
            }
        }
        p.restore();
    }

    TCustomTabExtControl* FOwner;
};

// ---------------------------------------------------------------------------
// TTabColors

void TTabColors::SheetChanged()
{
    if (FOwner)
        FOwner->UpdateBackground();
}

void TTabColors::TabsChanged()
{
    // A sheet of no strip only stores its colours.
    if (FOwner && FOwner->HostStrip())
        FOwner->HostStrip()->NativeBar()->update();
}

#define LUMESTA_TAB_COLOR_SETTER(Name, Field, Notify) \
    void TTabColors::Set##Name(TColor value)           \
    {                                                  \
        if (value != Field) {                          \
            Field = value;                             \
            Notify();                                  \
        }                                              \
    }

LUMESTA_TAB_COLOR_SETTER(Color, FColor, SheetChanged)
LUMESTA_TAB_COLOR_SETTER(ActiveFontColor, FActiveFontColor, TabsChanged)
LUMESTA_TAB_COLOR_SETTER(InActiveFontColor, FInActiveFontColor, TabsChanged)
LUMESTA_TAB_COLOR_SETTER(ActiveFill1, FActiveFill1, TabsChanged)
LUMESTA_TAB_COLOR_SETTER(ActiveFill2, FActiveFill2, TabsChanged)
LUMESTA_TAB_COLOR_SETTER(InActivefill1, FInActivefill1, TabsChanged)
LUMESTA_TAB_COLOR_SETTER(InActivefill2, FInActivefill2, TabsChanged)

#undef LUMESTA_TAB_COLOR_SETTER

void TTabColors::Assign(const TTabColors& source)
{
    if (&source == this)
        return;
    FColor = source.FColor;
    FActiveFontColor = source.FActiveFontColor;
    FInActiveFontColor = source.FInActiveFontColor;
    FActiveFill1 = source.FActiveFill1;
    FActiveFill2 = source.FActiveFill2;
    FInActivefill1 = source.FInActivefill1;
    FInActivefill2 = source.FInActivefill2;
    SheetChanged();
    TabsChanged();
}

// ---------------------------------------------------------------------------
// TTabExtStrings

int TTabExtStrings::Count() const { return FControl->FBar->count(); }

std::string TTabExtStrings::Get(int index) const
{
    if (index < 0 || index >= Count())
        throw ETabListError(Format("Failed to retrieve tab at index %d", index));
    return fromQString(FControl->FBar->tabText(index));
}

QObject* TTabExtStrings::GetObject(int index) const
{
    if (index < 0 || index >= Count())
        throw ETabListError(Format("Failed to get object at index %d", index));
    return FControl->FBar->tabData(index).value<QObject*>();
}

void TTabExtStrings::Put(int index, const std::string& text)
{
    if (index < 0 || index >= Count())
        throw ETabListError(FormatTab(text, index));
    {
        CountGuard g(FControl->FNativeGuard);
        FControl->FBar->setTabText(index, toQString(text));
    }
    FControl->ApplyTabImages();
    Changed();
}

void TTabExtStrings::PutObject(int index, QObject* object)
{
    if (index < 0 || index >= Count())
        throw ETabListError(Format("Failed to set object at index %d", index));
    FControl->FBar->setTabData(index, QVariant::fromValue(object));
}

void TTabExtStrings::InsertObject(int index, const std::string& text, QObject* object)
{
    if (index < 0 || index > Count())
        throw ETabListError(FormatTab(text, index));
    {
        CountGuard g(FControl->FNativeGuard);
        if (Count() == 0)
            FControl->FNoSelection = false; // the first tab comes selected
        const int at = FControl->FBar->insertTab(index, toQString(text));
        FControl->FBar->setTabData(at, QVariant::fromValue(object));
    }
    FControl->ApplyTabImages();
    Changed();
}

int TTabExtStrings::AddObject(const std::string& text, QObject* object)
{
    const int at = Count();
    InsertObject(at, text, object);
    return at;
}

void TTabExtStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw ETabListError(Format("Failed to delete tab at index %d", index));
    {
        CountGuard g(FControl->FNativeGuard);
        FControl->FBar->removeTab(index);
    }
    Changed();
}

void TTabExtStrings::Clear()
{
    {
        CountGuard g(FControl->FNativeGuard);
        while (Count() > 0)
            FControl->FBar->removeTab(Count() - 1);
        FControl->FNoSelection = false;
    }
    Changed();
}

void TTabExtStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    if (curIndex < 0 || curIndex >= Count())
        throw ETabListError(Format("Failed to delete tab at index %d", curIndex));
    if (newIndex < 0 || newIndex >= Count())
        throw ETabListError(FormatTab(Get(curIndex), newIndex));
    {
        // The platform's move keeps the selection on the moved tab, which
        // a delete followed by an insert would lose.
        CountGuard g(FControl->FNativeGuard);
        FControl->FBar->moveTab(curIndex, newIndex);
    }
    Changed();
}

int TTabExtStrings::IndexOf(const std::string& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (Get(i) == text)
            return i;
    return -1;
}

int TTabExtStrings::IndexOfObject(const QObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (FControl->FBar->tabData(i).value<QObject*>() == object)
            return i;
    return -1;
}

void TTabExtStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        FControl->FBar->setUpdatesEnabled(false);
}

void TTabExtStrings::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0) {
        FControl->FBar->setUpdatesEnabled(true);
        FControl->FBar->update();
        Changed();
    }
}

void TTabExtStrings::Changed()
{
    if (FUpdateCount == 0)
        FControl->Realign();
}

// ---------------------------------------------------------------------------
// TCustomTabExtControl

TCustomTabExtControl::TCustomTabExtControl(QWidget* parent) : QWidget(parent), FTabs(this)
{
    FBar = new TNativeTabBar(this);
    FBar->setExpanding(false);
    FBar->setDrawBase(false);
    FBar->setUsesScrollButtons(true);
    FBar->setElideMode(Qt::ElideNone);
    setFocusPolicy(Qt::TabFocus);
    setFocusProxy(FBar);
    // Moves without a button pressed matter too (the close button's hot
    // look).
    FBar->setMouseTracking(true);
    connect(FBar, &QTabBar::currentChanged, this, [this](int) { BarCurrentChanged(); });
    resize(289, 193);
}

TCustomTabExtControl::~TCustomTabExtControl()
{
    // The bar goes first, so that nothing it does while dying reaches a
    // control that is half destroyed.
    FBar->blockSignals(true);
    delete FBar;
    FBar = nullptr;
}

int TCustomTabExtControl::TabIndex() const
{
    if (!FBar || FBar->count() == 0 || FNoSelection)
        return -1;
    return FBar->currentIndex();
}

void TCustomTabExtControl::SelectNative(int index)
{
    if (index == -1) {
        if (FBar->count() > 0 && !FNoSelection) {
            FNoSelection = true;
            FBar->update();
        }
        return;
    }
    if (index < 0 || index >= FBar->count())
        return;
    CountGuard g(FNativeGuard);
    if (FNoSelection) {
        FNoSelection = false;
        FBar->update();
    }
    FBar->setCurrentIndex(index);
}

void TCustomTabExtControl::SetTabIndex(int value) { SelectNative(value); }

void TCustomTabExtControl::BarCurrentChanged()
{
    if (FNativeGuard > 0)
        return;
    // A change the bar made on its own (its scroll buttons, accessibility):
    // it has happened already, so it can only be reported.
    FNoSelection = false;
    Guarded([&] { NotifyChange(); });
}

bool TCustomTabExtControl::SelectByUser(int index)
{
    if (index < 0 || index >= FBar->count())
        return false;
    if (!AllowTabChange())
        return false;
    SelectNative(index);
    NotifyChange();
    return true;
}

bool TCustomTabExtControl::AllowTabChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomTabExtControl::NotifyChange()
{
    if (OnChange)
        OnChange(this);
}

bool TCustomTabExtControl::IsTabEnabled(int) const { return true; }

void TCustomTabExtControl::DrawTab(QPainter& canvas, int TabIndex, const QRect& Rect, bool Active)
{
    if (OnDrawTabExt)
        OnDrawTabExt(this, TabIndex, Rect, Active);
    else
        canvas.fillRect(Rect, canvas.brush());
}

int TCustomTabExtControl::TabImageIndex(int TabIndex) const
{
    int image = TabIndex;
    if (OnGetImageIndex)
        OnGetImageIndex(const_cast<TCustomTabExtControl*>(this), TabIndex, image);
    return image;
}

bool TCustomTabExtControl::DialogChar(QChar c)
{
    if (!isEnabled() || !isVisible())
        return false;
    for (int i = 0; i < FBar->count(); ++i) {
        if (Accelerator(FBar->tabText(i)) == c && IsTabEnabled(i)) {
            if (AllowTabChange()) {
                SetTabIndex(i);
                NotifyChange();
            }
            return true;
        }
    }
    return false;
}

void TCustomTabExtControl::TabMouseDown(Qt::MouseButton, const QPoint&) {}

void TCustomTabExtControl::TabMouseMove(Qt::MouseButtons, const QPoint&) {}

void TCustomTabExtControl::TabMouseUp(Qt::MouseButton, const QPoint&) {}

void TCustomTabExtControl::TabMouseLeave() {}

bool TCustomTabExtControl::TabEscape() { return false; }

void TCustomTabExtControl::PrepareOwnerDraw() {}

void TCustomTabExtControl::SetHotTrack(bool value)
{
    if (value != FHotTrack) {
        FHotTrack = value;
        FBar->update();
    }
}

void TCustomTabExtControl::SetImages(TImageList* value)
{
    FImages = value;
    ApplyTabImages();
    Realign();
}

void TCustomTabExtControl::ApplyTabImages()
{
    if (!FImages) {
        for (int i = 0; i < FBar->count(); ++i)
            FBar->setTabIcon(i, QIcon());
        return;
    }
    FBar->setIconSize(QSize(FImages->Width(), FImages->Height()));
    for (int i = 0; i < FBar->count(); ++i) {
        const QImage img = FImages->Image(TabImageIndex(i));
        FBar->setTabIcon(i, img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img)));
    }
}

void TCustomTabExtControl::SetMultiLine(bool value)
{
    if (value == FMultiLine)
        return;
    if (!value && (FTabPosition == tpLeft || FTabPosition == tpRight))
        throw ETabListError("MultiLine must be True when TabPosition is tpLeft or tpRight");
    FMultiLine = value;
    if (!value)
        FScrollOpposite = false;
    Realign();
}

void TCustomTabExtControl::SetOwnerDraw(bool value)
{
    if (value != FOwnerDraw) {
        FOwnerDraw = value;
        FBar->update();
    }
}

void TCustomTabExtControl::SetRaggedRight(bool value)
{
    if (value != FRaggedRight) {
        FRaggedRight = value;
        Realign();
    }
}

void TCustomTabExtControl::SetScrollOpposite(bool value)
{
    if (value == FScrollOpposite)
        return;
    FScrollOpposite = value;
    if (value)
        FMultiLine = true;
    Realign();
}

void TCustomTabExtControl::SetStyle(TTabExtStyle value)
{
    if (value == FStyle)
        return;
    if (value != tsTabs && FTabPosition != tpTop)
        throw ETabInvalidOperation("Tab style incompatible with current tab position");
    FStyle = value;
    FBar->setDocumentMode(value != tsTabs);
    Realign();
}

void TCustomTabExtControl::SetTabPosition(TTabExtPosition value)
{
    if (value == FTabPosition)
        return;
    if (value != tpTop && FStyle != tsTabs)
        throw ETabInvalidOperation("Tab position incompatible with current tab style");
    FTabPosition = value;
    if (value == tpLeft || value == tpRight)
        FMultiLine = true;
    static const QTabBar::Shape shapes[] = {QTabBar::RoundedNorth, QTabBar::RoundedSouth,
                                            QTabBar::RoundedWest, QTabBar::RoundedEast};
    {
        CountGuard g(FNativeGuard);
        FBar->setShape(shapes[value]);
    }
    Realign();
}

void TCustomTabExtControl::SetTabHeight(int value)
{
    if (value == FTabHeight)
        return;
    if (value < 0 || value > 32767)
        throw ETabInvalidOperation(std::string(ClassName()) + " property out of range");
    FTabHeight = value;
    ApplyTabSize();
}

void TCustomTabExtControl::SetTabWidth(int value)
{
    if (value == FTabWidth)
        return;
    if (value < 0 || value > 32767)
        throw ETabInvalidOperation(std::string(ClassName()) + " property out of range");
    FTabWidth = value;
    ApplyTabSize();
}

void TCustomTabExtControl::ApplyTabSize()
{
    // The bar measures its tabs again on a style change; the size hint
    // above then gives the fixed sizes.
    QEvent e(QEvent::StyleChange);
    {
        CountGuard g(FNativeGuard);
        QCoreApplication::sendEvent(FBar, &e);
    }
    Realign();
}

QRect TCustomTabExtControl::TabRect(int i) const
{
    if (i < 0 || i >= FBar->count())
        return QRect();
    return FBar->tabRect(i).translated(FBar->pos());
}

int TCustomTabExtControl::IndexOfTabAt(const QPoint& p) const
{
    if (!FBar->geometry().contains(p))
        return -1;
    return FBar->tabAt(p - FBar->pos());
}

QRect TCustomTabExtControl::BarRect() const
{
    const QRect r = rect();
    if (FBar->count() == 0)
        return QRect();
    const QSize hint = FBar->sizeHint();
    switch (FTabPosition) {
    case tpTop: return QRect(r.left(), r.top(), r.width(), hint.height());
    case tpBottom: return QRect(r.left(), r.bottom() - hint.height() + 1, r.width(), hint.height());
    case tpLeft: return QRect(r.left(), r.top(), hint.width(), r.height());
    case tpRight: return QRect(r.right() - hint.width() + 1, r.top(), hint.width(), r.height());
    }
    return QRect();
}

QRect TCustomTabExtControl::DisplayRect() const
{
    QRect pane = rect();
    const QRect bar = BarRect();
    if (!bar.isEmpty()) {
        switch (FTabPosition) {
        case tpTop: pane.setTop(bar.bottom() + 1); break;
        case tpBottom: pane.setBottom(bar.top() - 1); break;
        case tpLeft: pane.setLeft(bar.right() + 1); break;
        case tpRight: pane.setRight(bar.left() - 1); break;
        }
    }
    // The frame around the pages.
    return pane.adjusted(2, 2, -2, -2);
}

QRect TCustomTabExtControl::PageRect() const
{
    QRect r = DisplayRect();
    if (FTabPosition == tpTop)
        r.setTop(r.top() + 2);
    return r;
}

void TCustomTabExtControl::Realign()
{
    const QRect bar = BarRect();
    if (bar.isEmpty())
        FBar->hide();
    else {
        FBar->setGeometry(bar);
        FBar->show();
    }
    update();
}

void TCustomTabExtControl::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    // A press a sheet's contents left unused goes on past the strip, as
    // the strip never sees presses on its pages.
    if (QWidget* child = childAt(p); child && child != FBar && !FBar->isAncestorOf(child)) {
        e->ignore();
        return;
    }
    e->accept();
    Guarded([&] {
        if (OnMouseDown)
            OnMouseDown(this, e->button(), e->modifiers(), p.x(), p.y());
        else
            TabMouseDown(e->button(), p);
    });
}

void TCustomTabExtControl::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    Guarded([&] { TabMouseMove(e->buttons(), e->position().toPoint()); });
}

void TCustomTabExtControl::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    Guarded([&] { TabMouseUp(e->button(), e->position().toPoint()); });
}

void TCustomTabExtControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Realign();
}

void TCustomTabExtControl::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
        Realign();
}

void TCustomTabExtControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    const QRect bar = BarRect();
    QRect pane = DisplayRect().adjusted(-2, -2, 2, 2);
    opt.rect = pane;
    opt.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    static const QTabBar::Shape shapes[] = {QTabBar::RoundedNorth, QTabBar::RoundedSouth,
                                            QTabBar::RoundedWest, QTabBar::RoundedEast};
    opt.shape = shapes[FTabPosition];
    if (!bar.isEmpty()) {
        opt.tabBarSize = FBar->sizeHint();
        const int cur = TabIndex();
        if (cur >= 0)
            opt.selectedTabRect = TabRect(cur);
    }
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
}

// ---------------------------------------------------------------------------
// TTabExtSheet

TTabExtSheet::TTabExtSheet(QWidget* owner) : QWidget(owner)
{
    hide();
    setAutoFillBackground(true);
    UpdateBackground();
    if (owner)
        setGeometry(owner->rect());
}

TTabExtSheet::~TTabExtSheet()
{
    OnShow = nullptr;
    OnHide = nullptr;
    if (FHostStrip) {
        try {
            FHostStrip->RemoveSheet(this);
        } catch (const std::exception& e) {
            // A destructor must not throw; a handler's failure is reported.
            HandleWidgetException(e);
        }
        FHostStrip = nullptr;
    }
}

void TTabExtSheet::SetHostStrip(TPageExtControl* strip)
{
    if (strip == FHostStrip)
        return;
    if (FHostStrip) {
        TPageExtControl* old = FHostStrip;
        // A handler raised while the sheet leaves may free it.
        QPointer<TTabExtSheet> alive = this;
        old->RemoveSheet(this);
        if (!alive)
            return;
        FHostStrip = nullptr;
        hide();
    }
    if (strip) {
        if (parentWidget() != strip)
            setParent(strip);
        FHostStrip = strip;
        strip->InsertSheet(this);
    }
}

void TTabExtSheet::SetCaption(const std::string& value)
{
    if (value == FCaption)
        return;
    FCaption = value;
    UpdateTab();
}

void TTabExtSheet::SetHighlighted(bool value)
{
    if (value == FHighlighted)
        return;
    FHighlighted = value;
    UpdateTab();
}

void TTabExtSheet::SetImageIndex(int value)
{
    if (value == FImageIndex)
        return;
    FImageIndex = value;
    UpdateTab();
}

void TTabExtSheet::UpdateTab()
{
    if (!FHostStrip || !FTabShowing)
        return;
    // The tab is found by its sheet, which holds even while a removal is
    // under way and the numbering of the tabs is out of step.
    const int n = FHostStrip->TabTexts().IndexOfObject(this);
    if (n < 0)
        return;
    FHostStrip->TabTexts().Put(n, FCaption);
    // The platform's tab has no highlight state of its own; the caption
    // takes the highlight colour instead.
    FHostStrip->NativeBar()->setTabTextColor(n, FHighlighted ? palette().color(QPalette::Highlight)
                                                             : QColor());
}

int TTabExtSheet::PageIndex() const
{
    if (!FHostStrip)
        return -1;
    const auto& pages = FHostStrip->FPages;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : int(it - pages.begin());
}

void TTabExtSheet::SetPageIndex(int value)
{
    if (!FHostStrip)
        return;
    const int maxIndex = FHostStrip->SheetCount() - 1;
    // A negative position is as invalid as one past the end.
    if (value > maxIndex || value < 0) {
        char buf[160];
        std::snprintf(buf, sizeof buf,
                      "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d", value,
                      maxIndex);
        throw ETabListError(buf);
    }
    FHostStrip->MovePage(this, value);
}

void TTabExtSheet::SetTabVisible(bool value)
{
    if (value == FTabVisible)
        return;
    FTabVisible = value;
    if (FHostStrip)
        SetTabShowing(value);
}

int TTabExtSheet::TabNumber() const
{
    if (!FHostStrip || !FTabShowing)
        return -1;
    int n = 0;
    for (const TTabExtSheet* s : FHostStrip->FPages) {
        if (s == this)
            return n;
        if (s->FTabShowing)
            ++n;
    }
    return -1;
}

void TTabExtSheet::SetTabShowing(bool value)
{
    if (value == FTabShowing || !FHostStrip)
        return;
    if (value) {
        FTabShowing = true;
        FHostStrip->InsertTab(this);
    } else {
        const int n = TabNumber();
        FTabShowing = false;
        FHostStrip->DeleteTab(this, n);
    }
}

void TTabExtSheet::UpdateBackground()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(FColors.Color()));
    setPalette(pal);
    update();
}

void TTabExtSheet::SetControl(QWidget* control)
{
    FControl = control;
    if (control) {
        if (control->parentWidget() != this)
            control->setParent(this);
        control->setGeometry(rect());
        control->show();
    }
}

void TTabExtSheet::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (OnShow)
        Guarded([&] { OnShow(this); });
}

void TTabExtSheet::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (OnHide)
        Guarded([&] { OnHide(this); });
}

void TTabExtSheet::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (FControl)
        FControl->setGeometry(rect());
}

// ---------------------------------------------------------------------------
// TPageExtControl

TPageExtControl::TPageExtControl(QWidget* parent) : TCustomTabExtControl(parent)
{
    const auto next = [this] { Guarded([&] { SelectNextPage(true); }); };
    const auto prev = [this] { Guarded([&] { SelectNextPage(false); }); };
    FNextShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    FNextShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(FNextShortcut, &QShortcut::activated, this, next);
    // Shift+Tab arrives as Backtab, with or without the Shift in it.
    FPrevShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    FPrevShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(FPrevShortcut, &QShortcut::activated, this, prev);
    FPrevShortcut2 = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    FPrevShortcut2->setContext(Qt::WidgetWithChildrenShortcut);
    connect(FPrevShortcut2, &QShortcut::activated, this, prev);
}

TPageExtControl::~TPageExtControl()
{
    // The sheets must not call back into a strip that is going away.
    for (TTabExtSheet* s : FPages) {
        s->FHostStrip = nullptr;
        s->FTabShowing = false;
    }
    FPages.clear();
    FActivePage = nullptr;
}

TTabExtSheet* TPageExtControl::Sheets(int i) const
{
    return i >= 0 && i < SheetCount() ? FPages[size_t(i)] : nullptr;
}

int TPageExtControl::ActiveSheetIndex() const
{
    const auto it = std::find(FPages.begin(), FPages.end(), FActivePage);
    return FActivePage && it != FPages.end() ? int(it - FPages.begin()) : -1;
}

TTabExtSheet* TPageExtControl::SheetOfTab(int tabIndex) const
{
    if (tabIndex < 0 || tabIndex >= TabTexts().Count())
        return nullptr;
    auto* s = qobject_cast<TTabExtSheet*>(TabTexts().GetObject(tabIndex));
    return s && s->FHostStrip == this ? s : nullptr;
}

void TPageExtControl::SetActivePage(TTabExtSheet* page)
{
    if (page && page->FHostStrip != this)
        return;
    FlagGuard guard(FChangingActive);
    if (page != FActivePage) {
        // Showing and hiding raise OnShow and OnHide, whose handlers may
        // free either sheet; a freed sheet's own removal has then chosen
        // the active sheet.
        QPointer<TTabExtSheet> old = FActivePage;
        QPointer<TTabExtSheet> next = page;
        QWidget* focus = window()->focusWidget();
        const bool focusInOld = old && focus && (focus == old || old->isAncestorOf(focus));
        if (focusInOld)
            old->setFocus();
        if (page) {
            page->setGeometry(PageRect());
            page->raise();
            page->show();
            if (!next || next->FHostStrip != this)
                return;
        }
        if (focusInOld) {
            if (CanTakeFocus(next))
                next->setFocus();
            else
                setFocus();
        }
        if (old)
            old->hide();
        if (page && (!next || next->FHostStrip != this))
            return;
        FActivePage = next;
        if (next && window()->focusWidget() == next) {
            // On to the first control of the sheet that takes focus.
            for (QWidget* w = next->nextInFocusChain(); w && w != next; w = w->nextInFocusChain()) {
                if (!next->isAncestorOf(w))
                    continue;
                if ((w->focusPolicy() & Qt::TabFocus) && CanTakeFocus(w)) {
                    w->setFocus(Qt::TabFocusReason);
                    break;
                }
            }
        }
    }
    SetTabIndex(page ? page->TabNumber() : -1);
}

void TPageExtControl::SetTabIndex(int value)
{
    TCustomTabExtControl::SetTabIndex(value);
    if (!FChangingActive) {
        // The tab's own sheet; with every sheet showing a tab this is also
        // Sheets[value].
        if (TTabExtSheet* s = SheetOfTab(value))
            SetActivePage(s);
    }
}

void TPageExtControl::SyncActivePage()
{
    const int i = TabIndex();
    SetActivePage(i >= 0 ? SheetOfTab(i) : nullptr);
}

void TPageExtControl::NotifyChange()
{
    if (TabIndex() >= 0)
        SyncActivePage();
    TCustomTabExtControl::NotifyChange();
}

TTabExtSheet* TPageExtControl::FindNextSheet(TTabExtSheet* from, bool goForward,
                                             bool checkTabVisible) const
{
    const int count = SheetCount();
    if (count == 0)
        return nullptr;
    const auto it = std::find(FPages.begin(), FPages.end(), from);
    int i = it == FPages.end() ? (goForward ? count - 1 : 0) : int(it - FPages.begin());
    const int start = i;
    do {
        if (goForward) {
            if (++i == count)
                i = 0;
        } else {
            if (i == 0)
                i = count;
            --i;
        }
        TTabExtSheet* s = FPages[size_t(i)];
        if (!checkTabVisible || s->FTabVisible)
            return s;
    } while (i != start);
    return nullptr;
}

void TPageExtControl::SelectNextPage(bool goForward)
{
    TTabExtSheet* page = FindNextSheet(FActivePage, goForward, true);
    if (page && page != FActivePage && AllowTabChange()) {
        SetActivePage(page);
        NotifyChange();
    }
}

bool TPageExtControl::CloseTab(int tabIndex)
{
    // The sheet is found by its tab, which is the same as Sheets[tabIndex]
    // while every sheet shows a tab and the right one when some do not.
    // The handler may delete the sheet itself.
    QPointer<TTabExtSheet> page = SheetOfTab(tabIndex);
    if (!page)
        return false;
    bool canClose = true;
    if (OnTabClose)
        OnTabClose(this, tabIndex, canClose);
    if (!canClose || !page || page->FHostStrip != this)
        return false;
    page->SetHostStrip(nullptr);
    return true;
}

void TPageExtControl::InsertSheet(TTabExtSheet* page)
{
    FPages.push_back(page);
    page->setGeometry(PageRect());
    if (page->FTabVisible) {
        page->FTabShowing = true;
        InsertTab(page);
    }
}

void TPageExtControl::RemoveSheet(TTabExtSheet* page)
{
    if (std::find(FPages.begin(), FPages.end(), page) == FPages.end())
        return;
    const bool wasActive = page == FActivePage;
    // OnTabDelete runs in the middle of this and may free the sheet that
    // goes or the one noted to follow it; neither is touched once freed.
    QPointer<TTabExtSheet> alive = page;
    TTabExtSheet* found = FindNextSheet(page, true, true);
    const bool hasNext = found && found != page;
    QPointer<TTabExtSheet> next = hasNext ? found : nullptr;
    page->SetTabShowing(false);
    // Freed or taken out by a handler: that removal has done everything.
    if (!alive)
        return;
    const auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end())
        return;
    // A tab still there belongs to a removal a handler interrupted by
    // freeing this very sheet.
    if (const int left = TabTexts().IndexOfObject(page); left >= 0)
        TabTexts().Delete(left);
    FPages.erase(it);
    TTabExtSheet* successor = next;
    if (hasNext && (!next || next->FHostStrip != this))
        successor = SheetOfTab(TabIndex());
    // Removing a sheet in the background leaves the user's sheet where it
    // is; only a removed active sheet hands over to the one after it.
    if (wasActive || FActivePage == page)
        SetActivePage(successor);
    else
        SetTabIndex(FActivePage ? FActivePage->TabNumber() : -1);
    if (alive)
        alive->hide();
}

void TPageExtControl::InsertTab(TTabExtSheet* page)
{
    const int n = page->TabNumber();
    TabTexts().InsertObject(n, page->FCaption, page);
    if (page->FHighlighted)
        NativeBar()->setTabTextColor(n, page->palette().color(QPalette::Highlight));
    SyncActivePage();
}

void TPageExtControl::DeleteTab(TTabExtSheet* page, int tabIndex)
{
    QPointer<TTabExtSheet> alive = page;
    // Handlers are told the index of the tab that goes.
    if (OnTabDelete)
        OnTabDelete(this, tabIndex);
    // A handler that freed the sheet or took it out of the strip has had
    // its tab removed with it.
    if (!alive || alive->FHostStrip != this)
        return;
    // The tab is found again by its sheet: the handler may have changed
    // the tabs before it.
    const int n = TabTexts().IndexOfObject(page);
    if (n < 0)
        return;
    TabTexts().Delete(n);
    if (page == FActivePage)
        SetTabIndex(std::min(n, TabTexts().Count() - 1));
    SyncActivePage();
}

void TPageExtControl::MoveTab(int curIndex, int newIndex) { TabTexts().Move(curIndex, newIndex); }

void TPageExtControl::MovePage(TTabExtSheet* page, int newIndex)
{
    const int oldTab = page->TabNumber();
    const auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end())
        return;
    FPages.erase(it);
    FPages.insert(FPages.begin() + newIndex, page);
    if (oldTab >= 0)
        MoveTab(oldTab, page->TabNumber());
}

bool TPageExtControl::IsTabEnabled(int TabIndex) const
{
    const TTabExtSheet* s = SheetOfTab(TabIndex);
    return s && s->isEnabled();
}

int TPageExtControl::TabImageIndex(int TabIndex) const
{
    if (OnGetImageIndex)
        return TCustomTabExtControl::TabImageIndex(TabIndex);
    const TTabExtSheet* s = SheetOfTab(TabIndex);
    return s ? s->FImageIndex : TabIndex;
}

bool TPageExtControl::PaintsTabsItself() const { return OwnerDraw(); }

bool TPageExtControl::DialogChar(QChar c) { return TCustomTabExtControl::DialogChar(c); }

std::string TPageExtControl::DrawnCaption(const std::string& caption) const
{
    // Blanks and control characters at either end go.
    std::size_t first = 0, last = caption.size();
    while (first < last && static_cast<unsigned char>(caption[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(caption[last - 1]) <= ' ')
        --last;
    std::string text = caption.substr(first, last - first);
    if (FCloseBtn)
        text += "     ";
    return text;
}

void TPageExtControl::ApplyDrawnCaption(TTabExtSheet* page)
{
    if (page)
        page->SetCaption(DrawnCaption(page->Caption()));
}

void TPageExtControl::PrepareOwnerDraw()
{
    for (int i = 0; i < TabTexts().Count(); ++i)
        ApplyDrawnCaption(SheetOfTab(i));
}

QRect TPageExtControl::CloseButtonRect(int TabIndex, bool Big) const
{
    // Edges as the platform counts them: right and bottom exclusive.
    if (TabIndex < 0 || TabIndex >= NativeBar()->count())
        return QRect();
    const QRect tab = NativeBar()->tabRect(TabIndex);
    int left = tab.x(), top = tab.y(), right = tab.x() + tab.width(), bottom = tab.y() + tab.height();
    if (bottom - top < TabHeight())
        bottom = top + TabHeight();
    const auto make = [](int l, int t, int r, int b) { return QRect(l, t, std::max(0, r - l), std::max(0, b - t)); };

    if (TabPosition() == tpTop || TabPosition() == tpBottom) {
        const int zoneLeft = std::max(right - CloseBtnZone, left);
        if (Big)
            return make(zoneLeft, top, right, bottom);
        const int y = top + (bottom - top - CloseBtnSize) / 2;
        return QRect(zoneLeft + CloseBtnMargin, y, CloseBtnSize, CloseBtnSize);
    }
    // Turned tabs: the zone is the end where the caption ends, the upper
    // end on the left, the lower on the right; never outside the tab.
    const int zoneTop = TabPosition() == tpLeft ? top : std::max(bottom - CloseBtnZone, top);
    const int zoneBottom = TabPosition() == tpLeft ? std::min(top + CloseBtnZone, bottom) : bottom;
    if (Big)
        return make(left, zoneTop, right, zoneBottom);
    const int x = left + (right - left - CloseBtnSize) / 2;
    return QRect(x, zoneTop + CloseBtnMargin, CloseBtnSize, CloseBtnSize);
}

namespace {

// The close glyph: a flat framed square with a cross, or, hot, a red square
// with a white cross. Big buttons keep a 2-pixel margin inside their zone.
void DrawCloseGlyph(QPainter& p, const QRect& button, const QColor& ink, bool hot, bool big)
{
    const int side = std::min(button.width(), button.height()) - (big ? 4 : 0);
    if (side < 6)
        return;
    const QRect g(button.left() + (button.width() - side) / 2, button.top() + (button.height() - side) / 2,
                  side, side);
    p.save();
    QColor cross = ink;
    if (hot) {
        p.fillRect(g, QColor(0xC4, 0x2B, 0x1C));
        cross = Qt::white;
    } else {
        QColor frame = ink;
        frame.setAlpha(140);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(frame);
        p.setBrush(Qt::NoBrush);
        p.drawRect(g.adjusted(0, 0, -1, -1));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(cross, big ? 2.0 : 1.5, Qt::SolidLine, Qt::RoundCap));
    const qreal inset = side / 4 + 0.5;
    const QRectF x = QRectF(g).adjusted(inset, inset, -inset, -inset);
    p.drawLine(x.topLeft(), x.bottomRight());
    p.drawLine(x.bottomLeft(), x.topRight());
    p.restore();
}

} // namespace

void TPageExtControl::DrawTab(QPainter& canvas, int TabIndex, const QRect& Rect, bool Active)
{
    TTabExtSheet* page = SheetOfTab(TabIndex);
    if (!page) {
        canvas.fillRect(Rect, canvas.brush());
        return;
    }
    const TTabColors& c = page->Colors();
    const TTabExtPosition position = TabPosition();
    const bool vertical = position == tpLeft || position == tpRight;

    // 1-2. The fill.
    const QColor fill = toQColor(Active ? c.ActiveFill1() : c.InActivefill1());
    canvas.setBrush(fill);
    canvas.setFont(page->font());
    canvas.setBackgroundMode(Qt::OpaqueMode);
    if (!FTabFillGradient || HotTrack()) {
        canvas.fillRect(Rect, fill);
    } else {
        QRect r = Rect;
        const TFillDirection direction = vertical ? fdVertical : fdHorizontal;
        if (Active) {
            r.adjust(1, 0, -1, 0);
            GradientFill(canvas, r, c.ActiveFill2(), c.ActiveFill1(), direction);
        } else {
            switch (position) {
            case tpTop: r = r.adjusted(1, -1, -1, 1).translated(0, 1); break;
            case tpBottom: r = r.adjusted(1, -1, -1, 1).translated(0, -1); break;
            case tpLeft: r = r.adjusted(-1, 0, 1, 0).translated(1, 0); break;
            case tpRight: r = r.adjusted(-1, 0, 1, 0).translated(-1, 0); break;
            }
            GradientFill(canvas, r, c.InActivefill1(), c.InActivefill2(), direction);
        }
    }

    // 3-4. Caption colour, the room left beside the image.
    const QColor ink = toQColor(Active ? c.ActiveFontColor() : c.InActiveFontColor());
    canvas.setBrush(Qt::NoBrush);
    canvas.setBackgroundMode(Qt::TransparentMode);
    canvas.setPen(ink);
    QRect t = Rect;
    const TImageList* images = Images();
    if (images) {
        switch (position) {
        case tpTop:
        case tpBottom: t.setLeft(Rect.left() + images->Width() + 5); break;
        case tpLeft: t.setBottom(Rect.bottom() - images->Height() - 5); break;
        case tpRight: t.setTop(Rect.top() + images->Height() + 5); break;
        }
    }

    // 5-7. The caption, centred in its room. A caption wider than the room
    // is centred too, and clipped at both ends.
    ApplyDrawnCaption(page);
    const QString text = toQString(page->Caption());
    const QFontMetrics fm = canvas.fontMetrics();
    const int w = fm.horizontalAdvance(text);
    const int h = fm.height();
    int x, y;
    canvas.save();
    canvas.setClipRect(t, Qt::IntersectClip);
    if (!vertical) {
        x = t.left() + (t.width() - w) / 2;
        y = t.top() + (t.height() - h) / 2;
        if (!Active)
            y += position == tpTop ? 2 : -2;
        canvas.drawText(x, y + fm.ascent(), text);
    } else {
        x = t.left() + (t.width() - h) / 2;
        y = t.top() + (t.height() - w) / 2;
        // Reading upwards on the left, downwards on the right, the top of
        // the letters towards the outside.
        if (position == tpLeft) {
            canvas.translate(x, y + w);
            canvas.rotate(-90);
        } else {
            canvas.translate(x + h, y);
            canvas.rotate(90);
        }
        canvas.drawText(0, fm.ascent(), text);
    }
    canvas.restore();

    // 8. The image before the caption.
    if (images) {
        const QImage img = images->Image(page->ImageIndex());
        if (!img.isNull()) {
            QPoint at;
            switch (position) {
            case tpTop:
            case tpBottom: at = QPoint(x - images->Width() - 5, y - 2); break;
            case tpLeft: at = QPoint(x + (Active ? 0 : 2), y + w + 5); break;
            case tpRight: at = QPoint(x - (Active ? 0 : 2), y - images->Height() - 5); break;
            }
            canvas.drawImage(at, img);
        }
    }

    // 9. The close button.
    if (FCloseBtn) {
        const QRect b = CloseButtonRect(TabIndex, !FSmallCloseBtn);
        canvas.fillRect(b, fill);
        DrawCloseGlyph(canvas, b, ink, FCloseHot, !FSmallCloseBtn);
    }
}

void TPageExtControl::TabMouseDown(Qt::MouseButton button, const QPoint& pos)
{
    // A drag whose release never came ends with the next press.
    if (FDragPending)
        EndDrag(pos, false);
    const int t = TabIndex();
    const QPoint onBar = pos - NativeBar()->pos();
    if (t >= 0 && FCloseBtn && CloseButtonRect(t, !FSmallCloseBtn).contains(onBar)) {
        QPointer<TTabExtSheet> page = SheetOfTab(t);
        bool canClose = true;
        if (OnTabClose)
            OnTabClose(this, t, canClose);
        if (canClose) {
            // The handler may have taken the sheet out, or deleted it.
            if (page && page->FHostStrip == this)
                page->SetHostStrip(nullptr);
            return;
        }
    }
    // Outside the close button, or its closing refused.
    if (OnTabClick)
        OnTabClick(this, t);
    if (FTabDragDrop) {
        FDragPending = true;
        FDragging = false;
        FDragButton = button;
        FDragStart = pos;
    }
}

void TPageExtControl::TabMouseMove(Qt::MouseButtons buttons, const QPoint& pos)
{
    const int t = TabIndex();
    FCloseHot = FCloseBtn && t >= 0 && CloseButtonRect(t, !FSmallCloseBtn).contains(pos - NativeBar()->pos());

    if (!FDragPending)
        return;
    if (!(buttons & FDragButton)) {
        // The release went elsewhere (a menu took the mouse): no drop.
        EndDrag(pos, false);
        return;
    }
    if (!FDragging) {
        if ((pos - FDragStart).manhattanLength() < QApplication::startDragDistance())
            return;
        FDragging = true;
    }
    // The pointer is grabbed by the bar or, for a press on the frame, by
    // the strip: both show the drag's cursor.
    const Qt::CursorShape shape = DragOverAt(pos) ? Qt::DragMoveCursor : Qt::ForbiddenCursor;
    setCursor(shape);
    NativeBar()->setCursor(shape);
}

void TPageExtControl::TabMouseUp(Qt::MouseButton button, const QPoint& pos)
{
    if (!FDragPending || button != FDragButton)
        return;
    EndDrag(pos, FDragging && DragOverAt(pos));
}

void TPageExtControl::TabMouseLeave()
{
    // A pointer that has left the strip is over no close button.
    FCloseHot = false;
}

bool TPageExtControl::TabEscape()
{
    if (!FDragPending)
        return false;
    EndDrag(QPoint(), false);
    return true;
}

bool TPageExtControl::DragOverAt(const QPoint& pos)
{
    if (!rect().contains(pos))
        return false;
    bool accept = true;
    if (OnDragOver)
        OnDragOver(this, this, pos.x(), pos.y(), accept);
    return accept;
}

void TPageExtControl::EndDrag(const QPoint& pos, bool drop)
{
    FDragPending = false;
    FDragging = false;
    FDragButton = Qt::NoButton;
    unsetCursor();
    NativeBar()->unsetCursor();
    if (!drop)
        return;
    if (OnDragDrop)
        OnDragDrop(this, this, pos.x(), pos.y());
    else
        DropAt(pos);
}

void TPageExtControl::DropAt(const QPoint& pos)
{
    // The first tab under the drop point takes the active sheet's place.
    for (int i = 0; i < TabTexts().Count(); ++i) {
        if (!TabRect(i).contains(pos))
            continue;
        TTabExtSheet* target = SheetOfTab(i);
        if (FActivePage && target && target != FActivePage)
            FActivePage->SetPageIndex(target->PageIndex());
        return;
    }
}

void TPageExtControl::SetCloseBtn(bool value)
{
    FCloseBtn = value;
    SetOwnerDraw(value);
    Realign();
    NativeBar()->update();
}

void TPageExtControl::SetSmallCloseBtn(bool value)
{
    if (value != FSmallCloseBtn) {
        FSmallCloseBtn = value;
        NativeBar()->update();
    }
}

void TPageExtControl::SetFlat(bool value)
{
    FFlat = value;
    Realign();
}

void TPageExtControl::SetTabFillGradient(bool value)
{
    if (value != FTabFillGradient) {
        FTabFillGradient = value;
        NativeBar()->update();
    }
}

void TPageExtControl::SetPicture(const QImage& value)
{
    FPicture = value;
    update();
}

QRect TPageExtControl::PageRect() const
{
    QRect r = TCustomTabExtControl::PageRect();
    // Flat sheets cover the frame.
    if (FFlat)
        r.adjust(-4, -4, 4, 4);
    return r;
}

void TPageExtControl::Realign()
{
    TCustomTabExtControl::Realign();
    const QRect r = PageRect();
    for (TTabExtSheet* s : FPages)
        s->setGeometry(r);
}

void TPageExtControl::paintEvent(QPaintEvent* e)
{
    TCustomTabExtControl::paintEvent(e);
    if (!FPicture.isNull() && TabIndex() == -1) {
        QPainter p(this);
        p.drawImage(rect(), FPicture);
    }
}
