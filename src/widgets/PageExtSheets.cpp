// The sheets of the tab strip: a sheet and its tab, the active sheet and
// the focus that follows it, moving between sheets from the keyboard,
// closing, inserting, removing and moving sheets, and the page area they
// share.
#include "widgets/PageExtControl.h"
#include "widgets/PageExtNativeBar.h"

#include "platform/QtColors.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QShortcut>

#include <algorithm>

using pageext::Guarded;

namespace {

// Scoped setting of a flag.
class FlagGuard {
public:
    explicit FlagGuard(bool& f) : FFlag(f), FOld(f) { FFlag = true; }
    ~FlagGuard() { FFlag = FOld; }

private:
    bool& FFlag;
    bool FOld;
};

bool CanTakeFocus(const QWidget* w) { return w && w->isEnabled() && w->isVisible(); }

} // namespace

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

void TTabExtSheet::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    // A disabled sheet's tab takes no accelerator key.
    if (e->type() == QEvent::EnabledChange && FHostStrip && FTabShowing)
        FHostStrip->ApplyTabEnabled();
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
    if (!canClose)
        return false;
    // A handler that took the sheet out (or freed it) has closed it already.
    if (page && page->FHostStrip == this)
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

bool TPageExtControl::DialogChar(QChar c) { return TCustomTabExtControl::DialogChar(c); }

void TPageExtControl::SetFlat(bool value)
{
    FFlat = value;
    Realign();
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
