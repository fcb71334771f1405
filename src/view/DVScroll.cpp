#include "view/DVScroll.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {
// One wheel notch scrolls about three lines of body text.
constexpr int WheelPixelsPerNotch = 48;
constexpr int PageUnits = 10;
} // namespace

TDVScroller::TDVScroller(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int a) { BarAction(true, a); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int a) { BarAction(false, a); });
    resize(100, 40);
    UpdateScrollBars(ClientWidth(), ClientHeight() / FScrollUnit);
}

TDVScroller::~TDVScroller() = default;

void TDVScroller::SetTracking(bool on)
{
    FTracking = on;
    verticalScrollBar()->setTracking(on);
    horizontalScrollBar()->setTracking(on);
}

void TDVScroller::SetVScrollVisible(bool visible)
{
    FVScrollVisible = visible;
    setVerticalScrollBarPolicy(visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

int TDVScroller::ClientWidth() const
{
    int w = width() - 2 * frameWidth();
    if (FVScrollVisible)
        w -= verticalScrollBar()->sizeHint().width();
    return std::max(0, w);
}

int TDVScroller::ClientHeight() const
{
    return std::max(0, height() - 2 * frameWidth() - horizontalScrollBar()->sizeHint().height());
}

int TDVScroller::VScrollMax() const { return verticalScrollBar()->maximum(); }

void TDVScroller::UpdateScrollBars(int docWidth, int docHeightUnits)
{
    FHMax = docWidth;
    FVMax = docHeightUnits;
    FSettingBars = true;
    // A bar covers positions 0 .. range maximum - page + 1; with nothing to
    // scroll it stays visible but disabled.
    QScrollBar* v = verticalScrollBar();
    const int vpage = std::max(1, ClientHeight() / FScrollUnit);
    v->setPageStep(vpage);
    v->setSingleStep(1);
    v->setRange(0, std::max(0, FVMax - vpage + 1));
    v->setValue(FVPos);
    v->setEnabled(v->maximum() > 0);
    QScrollBar* h = horizontalScrollBar();
    const int hpage = std::max(1, ClientWidth());
    h->setPageStep(hpage);
    h->setSingleStep(FScrollUnit);
    h->setRange(0, std::max(0, FHMax - hpage));
    h->setValue(FHPos);
    h->setEnabled(h->maximum() > 0);
    FSettingBars = false;
    // The bars may have clamped the positions; the window shows what they say.
    if (v->value() != FVPos || h->value() != FHPos) {
        const bool vChanged = v->value() != FVPos;
        FVPos = v->value();
        FHPos = h->value();
        viewport()->update();
        if (vChanged && OnVScrolled)
            OnVScrolled(this);
    }
}

void TDVScroller::ResetScrollPositions()
{
    FSettingBars = true;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    FSettingBars = false;
    FVPos = FHPos = FWheelPos = 0;
    FWheelRest = 0;
    viewport()->update();
}

void TDVScroller::VScrollTo(int pos) { verticalScrollBar()->setValue(pos); }

void TDVScroller::HScrollTo(int pos) { horizontalScrollBar()->setValue(pos); }

void TDVScroller::scrollContentsBy(int, int)
{
    if (!FSettingBars)
        SyncFromBars();
}

void TDVScroller::SyncFromBars()
{
    const int newV = verticalScrollBar()->value();
    const int newH = horizontalScrollBar()->value();
    const int dy = (FVPos - newV) * FScrollUnit;
    const int dx = FHPos - newH;
    if (dx == 0 && dy == 0)
        return;
    FVPos = newV;
    FHPos = newH;
    // The wheel continues from wherever the view now is, however it got there.
    FWheelPos = FVPos;
    ScrollChildren(dx, dy);
    if (FScrollByRepaint)
        RepaintAll();
    else
        viewport()->scroll(dx, dy, viewport()->rect());
    if (dy != 0 && OnVScrolled)
        OnVScrolled(this);
}

void TDVScroller::RepaintAll() { viewport()->repaint(); }

void TDVScroller::ScrollChildren(int dx, int dy)
{
    for (QObject* o : viewport()->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        const QVariant stored = w->property("dvTop");
        const int top = (stored.isValid() ? stored.toInt() : w->y()) + dy;
        w->setProperty("dvTop", top);
        w->move(w->x() + dx, std::clamp(top, -10000, 10000));
    }
}

void TDVScroller::VScrollRequest(TScrollCode code, int pos)
{
    switch (code) {
    case scLineUp: VScrollTo(FVPos - 1); break;
    case scLineDown: VScrollTo(FVPos + 1); break;
    case scPageUp: VScrollTo(FVPos - PageUnits); break;
    case scPageDown: VScrollTo(FVPos + PageUnits); break;
    case scPosition: VScrollTo(pos); break;
    case scTrack:
        if (FTracking)
            VScrollTo(pos);
        break;
    case scTop: VScrollTo(0); break;
    case scBottom: VScrollTo(FVMax); break;
    }
    FWheelPos = FVPos;
}

void TDVScroller::HScrollRequest(TScrollCode code, int pos)
{
    switch (code) {
    case scLineUp: HScrollTo(FHPos - FScrollUnit); break;
    case scLineDown: HScrollTo(FHPos + FScrollUnit); break;
    case scPageUp: HScrollTo(FHPos - PageUnits * FScrollUnit); break;
    case scPageDown: HScrollTo(FHPos + PageUnits * FScrollUnit); break;
    case scPosition: HScrollTo(pos); break;
    case scTrack:
        if (FTracking)
            HScrollTo(pos);
        break;
    case scTop: HScrollTo(0); break;
    case scBottom: HScrollTo(FHMax); break;
    }
}

void TDVScroller::BarAction(bool vertical, int action)
{
    // The bar has already moved its slider by its own idea of a step; a page
    // here is ten units (ten scroll-unit widths across), not a window.
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    const int cur = vertical ? FVPos : FHPos;
    const int page = vertical ? PageUnits : PageUnits * FScrollUnit;
    if (action == QAbstractSlider::SliderPageStepAdd)
        bar->setSliderPosition(cur + page);
    else if (action == QAbstractSlider::SliderPageStepSub)
        bar->setSliderPosition(cur - page);
    if (vertical)
        FWheelPos = bar->sliderPosition();
}

void TDVScroller::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_PageUp: VScrollRequest(scPageUp); break;
    case Qt::Key_PageDown: VScrollRequest(scPageDown); break;
    case Qt::Key_End: VScrollRequest(scBottom); break;
    case Qt::Key_Home: VScrollRequest(scTop); break;
    case Qt::Key_Up: VScrollRequest(scLineUp); break;
    case Qt::Key_Down: VScrollRequest(scLineDown); break;
    case Qt::Key_Left: HScrollRequest(scLineUp); break;
    case Qt::Key_Right: HScrollRequest(scLineDown); break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    e->accept();
}

void TDVScroller::wheelEvent(QWheelEvent* e)
{
    const int delta = e->angleDelta().y();
    if (delta == 0) {
        e->ignore();
        return;
    }
    // Pixels asked for, carried over between small turns (fine-grained
    // wheels), converted to whole units; a forward turn scrolls up.
    const int pixels = delta * WheelPixelsPerNotch / 120 + FWheelRest;
    const int units = pixels / FScrollUnit;
    FWheelRest = pixels - units * FScrollUnit;
    FWheelPos = std::clamp(FWheelPos - units, 0, VScrollMax());
    VScrollTo(FWheelPos);
    e->accept();
}
