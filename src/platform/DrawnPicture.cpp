#include "platform/DrawnPicture.h"

#include <QPainter>
#include <QStyle>

#include <cmath>

TDrawnPicture::TDrawnPicture(TPictureMaker maker, QSize size, QWidget* parent)
    : QLabel(parent), FMaker(std::move(maker)), FSize(size)
{
    setAlignment(Qt::AlignCenter);
    if (FMaker)
        setPixmap(FMaker(FSize, devicePixelRatioF()));
}

void TDrawnPicture::paintEvent(QPaintEvent*)
{
    if (!FMaker || FSize.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    if (FShown.isNull() || std::abs(FShown.devicePixelRatio() - ratio) > 0.01)
        FShown = FMaker(FSize, ratio);
    QPainter p(this);
    const QRect r = QStyle::alignedRect(layoutDirection(), alignment(), FSize, contentsRect());
    p.drawPixmap(r.topLeft(), FShown);
}
