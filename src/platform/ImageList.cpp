#include "platform/ImageList.h"

#include "platform/QtColors.h"

int TImageList::Add(const QImage& image)
{
    QImage img = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (img.width() != FWidth || img.height() != FHeight)
        img = img.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    FImages.push_back(std::move(img));
    return int(FImages.size()) - 1;
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return QImage();
    return FImages[size_t(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool selected, TColor blendColor) const
{
    if (index < 0 || index >= Count())
        return;
    const QImage& src = FImages[size_t(index)];
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
