// The tab strip and the mouse: presses on the bar and the frame, the close
// button's hot state and its click, and dragging a tab to another tab's place.
#include "widgets/PageExtControl.h"
#include "widgets/PageExtNativeBar.h"

#include <QApplication>
#include <QMouseEvent>

using pageext::Guarded;

// ---------------------------------------------------------------------------
// The native bar.

void TNativeTabBar::mousePressEvent(QMouseEvent* e)
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

void TNativeTabBar::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    const QPoint p = mapTo(FOwner, e->position().toPoint());
    Guarded([&] { FOwner->TabMouseMove(e->buttons(), p); });
}

void TNativeTabBar::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    const QPoint p = mapTo(FOwner, e->position().toPoint());
    Guarded([&] { FOwner->TabMouseUp(e->button(), p); });
}

void TNativeTabBar::leaveEvent(QEvent* e)
{
    QTabBar::leaveEvent(e);
    Guarded([&] { FOwner->TabMouseLeave(); });
}

// ---------------------------------------------------------------------------
// TCustomTabExtControl

void TCustomTabExtControl::TabMouseDown(Qt::MouseButton, const QPoint&) {}

void TCustomTabExtControl::TabMouseMove(Qt::MouseButtons, const QPoint&) {}

void TCustomTabExtControl::TabMouseUp(Qt::MouseButton, const QPoint&) {}

void TCustomTabExtControl::TabMouseLeave() {}

bool TCustomTabExtControl::TabEscape() { return false; }

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

// ---------------------------------------------------------------------------
// TPageExtControl

void TPageExtControl::TabMouseDown(Qt::MouseButton button, const QPoint& pos)
{
    // A drag whose release never came ends with the next press.
    if (FDragPending)
        EndDrag(pos, false);
    const int t = TabIndex();
    const QPoint onBar = pos - NativeBar()->pos();
    if (t >= 0 && FCloseBtn && CloseButtonRect(t, !FSmallCloseBtn).contains(onBar) && CloseTab(t))
        return;
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

