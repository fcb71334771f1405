#include "platform/Cursors.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
QHash<int, QCursor>& table()
{
    static QHash<int, QCursor> t;
    return t;
}
} // namespace

void InstallCursor(int id, const QCursor& cursor) { table().insert(id, cursor); }

QCursor ScreenCursor(int id)
{
    const auto it = table().constFind(id);
    return it == table().constEnd() ? QCursor(Qt::ArrowCursor) : *it;
}

QCursor MakeJumpCursor()
{
    // A white hand with a black outline, index finger up; the hot spot is the
    // fingertip.
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(9, 2, 5, 16), 2.5, 2.5);    // index finger
    hand.addRoundedRect(QRectF(13.5, 9, 4.5, 10), 2, 2);    // middle
    hand.addRoundedRect(QRectF(17.5, 10, 4.5, 9), 2, 2);    // ring
    hand.addRoundedRect(QRectF(21.5, 11.5, 4, 8), 2, 2);    // little
    hand.addRoundedRect(QRectF(9, 14, 16.5, 14), 4, 4);     // palm
    QPainterPath thumb;
    thumb.moveTo(10, 22);
    thumb.lineTo(4.5, 15.5);
    thumb.quadTo(3, 13.5, 5, 12.8);
    thumb.quadTo(6.5, 12.5, 8, 14);
    thumb.lineTo(10, 16);
    thumb.closeSubpath();
    hand = hand.united(thumb).simplified();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 0.8));
    p.drawLine(QPointF(13.6, 14), QPointF(13.6, 18));
    p.drawLine(QPointF(17.6, 14), QPointF(17.6, 18));
    p.drawLine(QPointF(21.6, 14), QPointF(21.6, 18));
    p.end();
    return QCursor(QPixmap::fromImage(img), 11, 2);
}
