// Drawing of the tab strip: the gradient fill, the outline of each tab, the
// owner-drawn tabs with their colours, captions and images, the close
// buttons, and the frame and picture of the page area.
#include "widgets/PageExtControl.h"
#include "widgets/PageExtNativeBar.h"

#include "platform/ImageList.h"
#include "platform/QtColors.h"
#include "platform/QtText.h"

#include <QPainter>
#include <QPaintEvent>
#include <QStyleOptionTabWidgetFrame>

#include <algorithm>
#include <cstdint>

using pageext::Guarded;

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
// The native bar's tabs.

void TNativeTabBar::paintEvent(QPaintEvent* e)
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

void TNativeTabBar::DrawFrame(QPainter& p, const QRect& r, bool active) const
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

// ---------------------------------------------------------------------------
// TCustomTabExtControl

void TCustomTabExtControl::DrawTab(QPainter& canvas, int TabIndex, const QRect& Rect, bool Active)
{
    if (OnDrawTabExt)
        OnDrawTabExt(this, TabIndex, Rect, Active);
    else
        canvas.fillRect(Rect, canvas.brush());
}

void TCustomTabExtControl::PrepareOwnerDraw() {}

void TCustomTabExtControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    const QRect bar = BarRect();
    QRect pane = DisplayRect().adjusted(-2, -2, 2, 2);
    opt.rect = pane;
    opt.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    // The bar's shape follows the tab position.
    opt.shape = FBar->shape();
    if (!bar.isEmpty()) {
        opt.tabBarSize = FBar->sizeHint();
        const int cur = TabIndex();
        if (cur >= 0)
            opt.selectedTabRect = TabRect(cur);
    }
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
}

// ---------------------------------------------------------------------------
// TPageExtControl

bool TPageExtControl::PaintsTabsItself() const { return OwnerDraw(); }

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
        const QImage img = images->Image(page->ImageIndex(), canvas.device() ? canvas.device()->devicePixelRatio() : 1.0);
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

void TPageExtControl::paintEvent(QPaintEvent* e)
{
    TCustomTabExtControl::paintEvent(e);
    if (!FPicture.isNull() && TabIndex() == -1) {
        QPainter p(this);
        p.drawImage(rect(), FPicture);
    }
}
