// The tab strip's tabs and events: the widget exception handler, the tab
// list, the tab properties, the current tab and its veto, the page area,
// and the keys and accelerators that move between tabs. The sheets are in
// PageExtSheets.cpp, drawing in PageExtDraw.cpp, the mouse and dragging in
// PageExtMouse.cpp.
#include "widgets/PageExtControl.h"
#include "widgets/PageExtNativeBar.h"

#include "platform/ImageList.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QShortcutEvent>

#include <algorithm>
#include <cstdio>

using pageext::Guarded;

// ---------------------------------------------------------------------------
// Exception handler for handlers run from Qt events

namespace {

TWidgetExceptionHandler& ExceptionHandler()
{
    static TWidgetExceptionHandler handler;
    return handler;
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

// Scoped increment of a nesting counter.
class CountGuard {
public:
    explicit CountGuard(int& c) : FCount(c) { ++FCount; }
    ~CountGuard() { --FCount; }

private:
    int& FCount;
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

} // namespace

void SetWidgetExceptionHandler(TWidgetExceptionHandler handler) { ExceptionHandler() = std::move(handler); }

void HandleWidgetException(const std::exception& e)
{
    if (ExceptionHandler())
        ExceptionHandler()(e);
    else
        qWarning("%s", e.what());
}

// ---------------------------------------------------------------------------
// The native bar: sizes, keys and accelerators.

QSize TNativeTabBar::tabSizeHint(int index) const
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

void TNativeTabBar::keyPressEvent(QKeyEvent* e)
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

bool TNativeTabBar::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut) {
        const QKeySequence key = static_cast<QShortcutEvent*>(e)->key();
        // The bar holds the keys of enabled tabs only (ApplyTabEnabled), so
        // a tab takes the key; the change goes through the control, which
        // may refuse it, and the key is used all the same.
        bool taken = false;
        if (key.count() == 1) {
            const QChar c = QChar(key[0].key()).toUpper();
            Guarded([&] { taken = FOwner->DialogChar(c); });
        }
        return taken;
    }
    return QTabBar::event(e);
}

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
    if (FUpdateCount == 0) {
        FControl->ApplyTabEnabled();
        FControl->Realign();
    }
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
        FBar->setTabIcon(i, img.isNull() ? QIcon() : FImages->Icon(TabImageIndex(i)));
    }
}

void TCustomTabExtControl::ApplyTabEnabled()
{
    // The bar moves its selection off a tab it disables; the selection is
    // the control's to make, so it goes back.
    CountGuard g(FNativeGuard);
    const int current = FBar->currentIndex();
    for (int i = 0; i < FBar->count(); ++i)
        FBar->setTabEnabled(i, IsTabEnabled(i));
    if (FBar->currentIndex() != current)
        FBar->setCurrentIndex(current);
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
