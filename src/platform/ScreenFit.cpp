#include "platform/ScreenFit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace {

// Windows the window manager frames and that we may move: ordinary windows,
// dialogs and tool windows. Pop-up menus, tool tips and the like are placed
// by Qt next to what opened them.
bool isFramedWindow(const QWidget* w)
{
    if (!w || !w->isWindow())
        return false;
    switch (w->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Tool:
        return true;
    default:
        return false;
    }
}

bool isFrameless(const QWidget* w) { return w->windowFlags() & Qt::FramelessWindowHint; }

// The margins the window system reported for this window; null while it
// has reported none.
QMargins reportedMargins(const QWidget* w)
{
    const QWindow* h = w->windowHandle();
    return h && h->handle() ? h->frameMargins() : QMargins();
}

// The margins, and whether they are the window's own. A window that has
// been on the screen with no frame reported really has none.
QMargins frameMargins(const QWidget* w, bool& own)
{
    own = true;
    if (!w || !w->isWindow() || isFrameless(w))
        return QMargins();
    const QMargins m = reportedMargins(w);
    if (!m.isNull() || w->testAttribute(Qt::WA_Mapped))
        return m;
    own = false;
    // Another window of ours that is up has a frame of the same make.
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == w || !other->isVisible() || !isFramedWindow(other) || isFrameless(other))
            continue;
        const QMargins o = reportedMargins(other);
        if (!o.isNull())
            return o;
    }
    // Nothing to go by: a title bar of the usual height and thin borders.
    // The real frame corrects this once it is known.
    const int titleBar = std::max(24, w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w));
    return QMargins(2, titleBar, 2, 2);
}

// The screen a window belongs on: the one under its centre, else the one it
// overlaps most, else the one Qt has it on.
QScreen* screenOf(const QWidget* w, const QRect& frame)
{
    if (QScreen* s = QGuiApplication::screenAt(frame.center()))
        return s;
    QScreen* best = nullptr;
    qint64 most = 0;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect common = s->geometry().intersected(frame);
        const qint64 area = qint64(common.width()) * common.height();
        if (!common.isEmpty() && area > most) {
            most = area;
            best = s;
        }
    }
    if (best)
        return best;
    return w->screen() ? w->screen() : QGuiApplication::primaryScreen();
}

// Fits the window into the free area of its screen. `wanted` is where its
// client area is wanted (its present geometry when none is given).
// `ownMargins` tells whether the frame margins were the window's own or a
// guess.
bool fitWindow(QWidget* w, bool& ownMargins, const QRect* wanted = nullptr)
{
    ownMargins = true;
    if (!isFramedWindow(w))
        return false;
    if (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return false;
    const QMargins m = frameMargins(w, ownMargins);
    const QRect client = wanted ? *wanted : w->geometry();
    const QRect frame = client.marginsAdded(m);
    QScreen* screen = screenOf(w, frame);
    if (!screen)
        return false;
    QSize minimum = w->minimumSize();
    if (w->minimumSizeHint().isValid())
        minimum = minimum.expandedTo(w->minimumSizeHint());
    const QSize frameExtent(m.left() + m.right(), m.top() + m.bottom());
    const QRect fitted = FitRectInto(frame, screen->availableGeometry(), minimum + frameExtent);
    // With guessed margins the window is placed by its client area, so that
    // the window system puts the frame around it where it was reckoned.
    const QRect placed = fitted.marginsRemoved(m);
    if (placed == w->geometry() && ownMargins)
        return false;
    w->setGeometry(placed);
    return placed != client;
}

// Fits windows as they are shown and once more when their frame becomes
// known, which on X11 happens only after the window manager has taken the
// window: a few polls at short intervals, for a short while after showing.
class TWindowFitter : public QObject {
public:
    explicit TWindowFitter(QObject* parent) : QObject(parent)
    {
        FTimer.setInterval(50);
        connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
    }

    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() == QEvent::Show && obj->isWidgetType()) {
            auto* w = static_cast<QWidget*>(obj);
            if (isFramedWindow(w)) {
                const QRect wanted = w->geometry();
                bool own = true;
                fitWindow(w, own);
                if (!own)
                    Watch(w, wanted);
            }
        }
        return false;
    }

private:
    struct TPending {
        QPointer<QWidget> Window;
        QRect Wanted;
        qint64 Until;
    };

    void Watch(QWidget* w, const QRect& wanted)
    {
        if (!FClock.isValid())
            FClock.start();
        FPending.erase(std::remove_if(FPending.begin(), FPending.end(),
                                      [w](const TPending& p) { return p.Window == w; }),
                       FPending.end());
        FPending.push_back({w, wanted, FClock.elapsed() + 3000});
        if (!FTimer.isActive())
            FTimer.start();
    }

    void Poll()
    {
        const qint64 now = FClock.elapsed();
        std::vector<TPending> still;
        for (const TPending& p : FPending) {
            QWidget* w = p.Window.data();
            if (!w || !w->isVisible())
                continue;
            // Once the window is on the screen its frame is what the window
            // system says, none included: the window is fitted again from
            // where it was wanted, which gives back what a guess too large
            // took away.
            if (!reportedMargins(w).isNull() || w->testAttribute(Qt::WA_Mapped)) {
                bool own = true;
                fitWindow(w, own, &p.Wanted);
                continue;
            }
            if (now < p.Until)
                still.push_back(p);
        }
        FPending.swap(still);
        if (FPending.empty())
            FTimer.stop();
    }

    QTimer FTimer;
    QElapsedTimer FClock;
    std::vector<TPending> FPending;
};

} // namespace

QRect FitRectInto(const QRect& frame, const QRect& area, const QSize& minimum)
{
    if (area.isEmpty() || frame.isEmpty())
        return frame;
    // A minimum beyond the rectangle's own size does not make it grow.
    const int w = std::max(std::min(frame.width(), area.width()), std::min(minimum.width(), frame.width()));
    const int h = std::max(std::min(frame.height(), area.height()), std::min(minimum.height(), frame.height()));
    const auto place = [](int pos, int length, int start, int span) {
        if (pos + length > start + span)
            pos = start + span - length;
        return std::max(pos, start);
    };
    return QRect(place(frame.x(), w, area.x(), area.width()), place(frame.y(), h, area.y(), area.height()), w, h);
}

QMargins WindowFrameMargins(const QWidget* window)
{
    bool own = true;
    return frameMargins(window, own);
}

bool FitWindowToScreen(QWidget* window)
{
    bool own = true;
    return fitWindow(window, own);
}

void InstallWindowFitting(QApplication& app)
{
    static QPointer<TWindowFitter> fitter;
    if (fitter)
        return;
    fitter = new TWindowFitter(&app);
    app.installEventFilter(fitter);
}
