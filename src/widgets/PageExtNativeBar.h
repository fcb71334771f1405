#pragma once
// Inside the tab strip: the platform tab bar it wraps and the guard that keeps
// a handler's exception out of Qt's event loop. Only the strip's own source
// files include this.
#include "widgets/PageExtControl.h"

#include <QTabBar>
#include <QWheelEvent>

#include <exception>

class QKeyEvent;
class QMouseEvent;
class QPainter;
class QPaintEvent;

namespace pageext {

// Runs `f`; an exception it throws goes to the widget exception handler.
template <class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        HandleWidgetException(e);
    }
}

} // namespace pageext

// The platform's tab bar, with user changes routed through the control so
// that they can be refused before they happen. Keys and sizes are handled
// with the strip's model, the mouse with its dragging, painting with its
// drawing.
class TNativeTabBar : public QTabBar {
public:
    explicit TNativeTabBar(TCustomTabExtControl* owner) : QTabBar(owner), FOwner(owner) {}

protected:
    QSize tabSizeHint(int index) const override;
    void mousePressEvent(QMouseEvent* e) override;
    // The bar's own dragging of tabs is not used; moves and releases go to
    // the control only.
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    // The wheel does not switch tabs; it goes on to the parent.
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // The outline the platform draws around each tab; the selected tab is
    // open towards its page.
    void DrawFrame(QPainter& p, const QRect& r, bool active) const;

    TCustomTabExtControl* FOwner;
};
