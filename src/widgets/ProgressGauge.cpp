#include "widgets/ProgressGauge.h"

#include "platform/QtColors.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

// Rounding to the nearest integer with halves to even, as the needle and pie
// end points are defined (the current rounding mode is round-to-nearest).
int RoundEven(double v) { return int(std::nearbyint(v)); }

// The gauge's figures are exclusive on the right and bottom, like the rest of
// its arithmetic; these helpers keep that convention in one place.
struct Box {
    int left, top, right, bottom;
};

Box ToBox(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

void FillBox(QPainter& p, int l, int t, int r, int b, const QColor& c)
{
    if (r > l && b > t)
        p.fillRect(QRect(l, t, r - l, b - t), c);
}

// Ellipse inscribed in the exclusive box, outline in the pen colour.
QRect EllipseRect(int l, int t, int r, int b) { return QRect(l, t, r - l - 1, b - t - 1); }

// Angle in 1/16 degree, counter-clockwise from three o'clock, of the radial
// line from the centre of the ellipse box towards (x, y), expressed as the
// ellipse's own parameter so that QPainter's arcs meet that radial line.
double RadialAngle16(int l, int t, int r, int b, int x, int y)
{
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
    const double rx = std::max((r - l) / 2.0, 0.5), ry = std::max((b - t) / 2.0, 0.5);
    const double a = std::atan2(-(y - cy) / ry, (x - cx) / rx);
    return a * 180.0 / std::numbers::pi * 16.0;
}

// A pie of the ellipse in the box, drawn counter-clockwise from the radial
// line through (x1, y1) to the one through (x2, y2); equal lines give the
// whole ellipse.
void DrawPie(QPainter& p, int l, int t, int r, int b, int x1, int y1, int x2, int y2)
{
    if (r - l < 2 || b - t < 2)
        return;
    const double start = RadialAngle16(l, t, r, b, x1, y1);
    const double end = RadialAngle16(l, t, r, b, x2, y2);
    double span = end - start;
    while (span <= 0.5)
        span += 360.0 * 16.0;
    while (span > 360.0 * 16.0)
        span -= 360.0 * 16.0;
    p.drawPie(EllipseRect(l, t, r, b), int(std::lround(start)), int(std::lround(span)));
}

// A one-pixel line from (x1, y1) towards (x2, y2), the end point itself not
// drawn, as the gauge's lines are defined.
void LineTo(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c)
{
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        p.fillRect(x, y, 1, 1, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void XorInto(QImage& target, const QImage& overlay)
{
    const int h = std::min(target.height(), overlay.height());
    const int w = std::min(target.width(), overlay.width());
    for (int y = 0; y < h; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
        const auto* src = reinterpret_cast<const QRgb*>(overlay.constScanLine(y));
        for (int x = 0; x < w; ++x)
            dst[x] = 0xFF000000u | ((dst[x] ^ src[x]) & 0x00FFFFFFu);
    }
}

std::string RangeMessage(long long low, long long high)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "Value must be between %lld and %lld", low, high);
    return buf;
}

} // namespace

void TMaskBitmap::MakeLike(const QImage& Template)
{
    FImage = QImage(Template.size(), QImage::Format_RGB32);
    FImage.setDevicePixelRatio(Template.devicePixelRatio());
    FImage.setDotsPerMeterX(Template.dotsPerMeterX());
    FImage.setDotsPerMeterY(Template.dotsPerMeterY());
    FImage.fill(toQColor(clWindowFrame));
}

TProgressGauge::TProgressGauge(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

void TProgressGauge::Refresh()
{
    // Synchronous: the long tasks that drive the gauge do not return to the
    // event loop until they are done.
    repaint();
}

void TProgressGauge::SetKind(TProgressKind value)
{
    if (value != FKind) {
        FKind = value;
        Refresh();
    }
}

void TProgressGauge::SetShowText(bool value)
{
    if (value != FShowText) {
        FShowText = value;
        Refresh();
    }
}

void TProgressGauge::SetBorderStyle(TProgressBorderStyle value)
{
    if (value != FBorderStyle) {
        FBorderStyle = value;
        Refresh();
    }
}

void TProgressGauge::SetForeColor(TColor value)
{
    if (value != FForeColor) {
        FForeColor = value;
        Refresh();
    }
}

void TProgressGauge::SetBackColor(TColor value)
{
    if (value != FBackColor) {
        FBackColor = value;
        Refresh();
    }
}

void TProgressGauge::SetColor(TColor value)
{
    if (value != FColor) {
        FColor = value;
        Refresh();
    }
}

void TProgressGauge::SetMinValue(int value)
{
    if (value == FMinValue)
        return;
    // The bounds of the message are computed in 64 bits: MaxValue() - 1
    // would overflow for a gauge whose maximum is INT_MIN.
    if (value > FMaxValue)
        throw EGaugeInvalidOperation(RangeMessage(-2147483647LL, (long long)FMaxValue - 1));
    FMinValue = value;
    if (FCurrentValue < value)
        FCurrentValue = value;
    Refresh();
}

void TProgressGauge::SetMaxValue(int value)
{
    if (value == FMaxValue)
        return;
    if (value < FMinValue)
        throw EGaugeInvalidOperation(RangeMessage((long long)FMinValue + 1, 2147483647LL));
    FMaxValue = value;
    if (FCurrentValue > value)
        FCurrentValue = value;
    Refresh();
}

void TProgressGauge::SetProgress(int value)
{
    const int clamped = std::clamp(value, FMinValue, FMaxValue);
    if (clamped == FCurrentValue)
        return;
    const int before = PercentDone();
    FCurrentValue = clamped;
    if (PercentDone() != before)
        Refresh();
}

void TProgressGauge::AddProgress(int value)
{
    const long long sum = (long long)FCurrentValue + value;
    SetProgress(int(std::clamp<long long>(sum, INT_MIN, INT_MAX)));
}

long long TProgressGauge::PercentOf(long long X, long long Z)
{
    if (Z == 0)
        return 0;
    return (long long)std::trunc(double(X) * 100.0 / double(Z));
}

long long TProgressGauge::PartOf(long long Y, long long Z)
{
    return (long long)std::trunc(double(Z) * (double(Y) * 0.01));
}

int TProgressGauge::PercentDone() const
{
    // The differences are taken in 64 bits: the full int range would
    // overflow them.
    return int(PercentOf((long long)FCurrentValue - FMinValue, (long long)FMaxValue - FMinValue));
}

void TProgressGauge::PaintKind(QImage& overlay, const QRect& rect) const
{
    const Box R = ToBox(rect);
    const bool single = FBorderStyle == TProgressBorderStyle::bsSingle;
    const int percent = PercentDone();
    const QColor fore = toQColor(FForeColor);
    const QColor back = toQColor(FBackColor);

    QPainter p(&overlay);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(fore, 0));
    p.setBrush(fore);

    switch (FKind) {
    case pkText:
        FillBox(p, R.left, R.top, R.right, R.bottom, back);
        break;
    case pkHorizontalBar: {
        const int W = R.right - R.left + 1;
        const int H = R.bottom - R.top + 1;
        FillBox(p, R.left, R.top, R.right, R.bottom, back);
        const int n = int(std::min<long long>(PartOf(percent, W), W));
        if (n >= 1)
            FillBox(p, R.left, R.top, n, H, fore);
        break;
    }
    case pkVerticalBar: {
        const int W = R.right - R.left + 1;
        const int H = R.bottom - R.top + 1;
        FillBox(p, R.left, R.top, R.right, R.bottom, back);
        int n = int(PartOf(percent, H));
        if (n >= H)
            n = H - 1;
        FillBox(p, R.left, H - n, W, H, fore);
        break;
    }
    case pkPie: {
        const int W = R.right - R.left + (single ? 1 : 0);
        const int H = R.bottom - R.top + (single ? 1 : 0);
        FillBox(p, R.left, R.top, R.right, R.bottom, toQColor(FColor));
        p.setBrush(back);
        if (W - R.left >= 2 && H - R.top >= 2)
            p.drawEllipse(EllipseRect(R.left, R.top, W, H));
        if (percent > 0) {
            const int mx = W / 2, my = H / 2;
            const double a = (percent / 50.0 + 0.5) * std::numbers::pi;
            p.setBrush(fore);
            DrawPie(p, R.left, R.top, W, H, RoundEven(mx * (1 - std::cos(a))),
                    RoundEven(my * (1 - std::sin(a))), mx, 0);
        }
        break;
    }
    case pkNeedle: {
        const int W = R.right - R.left + (single ? 1 : 0);
        const int H = R.bottom - R.top + (single ? 1 : 0);
        FillBox(p, R.left, R.top, R.right, R.bottom, toQColor(FColor));
        p.setBrush(back);
        DrawPie(p, R.left, R.top, W, 2 * H - 1, R.left + W, R.bottom - 1, R.left, R.bottom - 1);
        LineTo(p, R.left, R.bottom, R.left + W, R.bottom, fore);
        if (percent > 0) {
            const int m = width() / 2;
            const double a = percent / 100.0 * std::numbers::pi;
            LineTo(p, m, R.bottom - 1, RoundEven(m * (1 - std::cos(a))),
                   RoundEven((R.bottom - 1) * (1 - std::sin(a))), fore);
        }
        break;
    }
    }
}

void TProgressGauge::PaintText(QImage& overlay, const QRect& rect) const
{
    const Box R = ToBox(rect);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d%%", PercentDone());
    const QString text = QString::fromLatin1(buf);

    // Without antialiasing every text pixel is fully white, so the
    // exclusive-or below gives the exact inverse of what lies beneath.
    QFont f = font();
    f.setStyleStrategy(QFont::NoAntialias);
    QPainter p(&overlay);
    p.setFont(f);
    const QFontMetrics fm = p.fontMetrics();
    const int tw = fm.horizontalAdvance(text);
    const int th = fm.height();
    const int x = (R.right - R.left + 1 - tw) / 2;
    const int y = (R.bottom - R.top + 1 - th) / 2;
    p.setClipRect(rect);
    p.setPen(Qt::white);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(x, y + fm.ascent(), text);
}

QImage TProgressGauge::Render(qreal devicePixelRatio) const
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(int(std::ceil(std::max(width(), 0) * ratio - 0.001)),
                 int(std::ceil(std::max(height(), 0) * ratio - 0.001)), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(ratio);
    // Same resolution as the widget, so the font comes out the same size.
    image.setDotsPerMeterX(int(std::lround(logicalDpiX() / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(logicalDpiY() / 0.0254)));
    image.fill(Qt::black);

    QRect r = rect();
    if (FBorderStyle == TProgressBorderStyle::bsSingle)
        r.adjust(1, 1, -1, -1);

    TMaskBitmap overlay;
    overlay.MakeLike(image);
    overlay.Image().fill(Qt::black);
    PaintKind(overlay.Image(), r);
    XorInto(image, overlay.Image());

    if (FShowText && r.width() > 0 && r.height() > 0) {
        TMaskBitmap textOverlay;
        textOverlay.MakeLike(image);
        textOverlay.Image().fill(Qt::black);
        PaintText(textOverlay.Image(), r);
        XorInto(image, textOverlay.Image());
    }
    return image;
}

void TProgressGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, Render(devicePixelRatioF()));
}
