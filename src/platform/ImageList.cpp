#include "platform/ImageList.h"

#include "platform/QtColors.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <cmath>
#include <map>
#include <tuple>

namespace {

// Ratios closer than this are the same ratio.
bool sameRatio(qreal a, qreal b) { return std::abs(a - b) < 0.01; }

// Made images of the wrong size (a maker that ignored the ratio) are brought
// to the size the ratio asks for, so that they always cover the same
// device-independent area.
QImage normalised(QImage img, QSize logical, qreal ratio)
{
    const QSize device(int(std::ceil(logical.width() * ratio - 0.001)), int(std::ceil(logical.height() * ratio - 0.001)));
    img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (img.size() != device)
        img = img.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    img.setDevicePixelRatio(ratio);
    return img;
}

class TDrawnIconEngine : public QIconEngine {
public:
    TDrawnIconEngine(QSize size, std::shared_ptr<const TImageMaker> draw) : FSize(size), FDraw(std::move(draw)) {}

    QIconEngine* clone() const override { return new TDrawnIconEngine(FSize, FDraw); }
    QString key() const override { return QStringLiteral("TDrawnIconEngine"); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return FSize.scaled(size, Qt::KeepAspectRatio);
    }

    // `size` is in device pixels: the icon's size times the ratio it is
    // shown at.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (size.isEmpty() || FSize.isEmpty() || !FDraw || !*FDraw)
            return QPixmap();
        const qreal ratio = std::min(qreal(size.width()) / FSize.width(), qreal(size.height()) / FSize.height());
        const auto key = std::make_tuple(size.width(), size.height(), int(mode), int(state));
        if (const auto it = FCache.find(key); it != FCache.end())
            return it->second;
        QPixmap pm = QPixmap::fromImage(normalised((*FDraw)(ratio), FSize, ratio));
        pm.setDevicePixelRatio(1.0);
        if (mode != QIcon::Normal) {
            QStyleOption opt(0);
            opt.palette = QGuiApplication::palette();
            if (QStyle* style = QApplication::style())
                pm = style->generatedIconPixmap(mode, pm, &opt);
        }
        FCache.emplace(key, pm);
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const QSize device(int(std::lround(rect.width() * ratio)), int(std::lround(rect.height() * ratio)));
        painter->drawPixmap(rect, pixmap(device, mode, state));
    }

private:
    QSize FSize;
    std::shared_ptr<const TImageMaker> FDraw;
    std::map<std::tuple<int, int, int, int>, QPixmap> FCache;
};

} // namespace

int TImageList::Add(const QImage& image)
{
    QImage img = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(1.0);
    if (img.width() != FWidth || img.height() != FHeight)
        img = img.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    FImages.push_back(TEntry{std::move(img), nullptr, {}});
    return int(FImages.size()) - 1;
}

int TImageList::Add(TImageMaker maker)
{
    if (!maker)
        return Add(QImage());
    auto shared = std::make_shared<const TImageMaker>(std::move(maker));
    QImage first = normalised((*shared)(1.0), QSize(FWidth, FHeight), 1.0);
    FImages.push_back(TEntry{std::move(first), std::move(shared), {}});
    return int(FImages.size()) - 1;
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return QImage();
    return FImages[size_t(index)].Image;
}

QImage TImageList::Image(int index, qreal devicePixelRatio) const
{
    if (index < 0 || index >= Count())
        return QImage();
    const TEntry& e = FImages[size_t(index)];
    if (!e.Maker || !(devicePixelRatio > 0) || sameRatio(devicePixelRatio, 1.0))
        return e.Image;
    for (const QImage& s : e.Scaled)
        if (sameRatio(s.devicePixelRatio(), devicePixelRatio))
            return s;
    e.Scaled.push_back(normalised((*e.Maker)(devicePixelRatio), QSize(FWidth, FHeight), devicePixelRatio));
    return e.Scaled.back();
}

QIcon TImageList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return QIcon();
    const TEntry& e = FImages[size_t(index)];
    if (!e.Maker)
        return QIcon(QPixmap::fromImage(e.Image));
    return QIcon(new TDrawnIconEngine(QSize(FWidth, FHeight), e.Maker));
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool selected, TColor blendColor) const
{
    if (index < 0 || index >= Count())
        return;
    const QImage src = Image(index, canvas.DevicePixelRatio());
    if (!selected) {
        canvas.DrawImage(x, y, src);
        return;
    }
    // Selected: every painted pixel half its own colour, half the blend colour.
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const QColor b = toQColor(blendColor);
    for (int row = 0; row < img.height(); ++row) {
        auto* p = reinterpret_cast<QRgb*>(img.scanLine(row));
        for (int col = 0; col < img.width(); ++col) {
            const QRgb c = p[col];
            if (qAlpha(c) == 0)
                continue;
            p[col] = qRgba((qRed(c) + b.red()) / 2, (qGreen(c) + b.green()) / 2, (qBlue(c) + b.blue()) / 2,
                           qAlpha(c));
        }
    }
    canvas.DrawImage(x, y, img);
}

QIcon DrawnIcon(QSize size, TImageMaker draw)
{
    return QIcon(new TDrawnIconEngine(size, std::make_shared<const TImageMaker>(std::move(draw))));
}
