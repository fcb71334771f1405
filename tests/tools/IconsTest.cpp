// The desktop icons the build draws: the scalable one and the bitmaps show
// the same picture, and the picture is there.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdlib>

namespace {

const QString Folder = QStringLiteral(LUMESTA_ICON_DIR);
const QString Name = QStringLiteral(LUMESTA_APP_ID);

QImage bitmap(int size)
{
    return QImage(Folder + QStringLiteral("/%1-%2.png").arg(Name).arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

TEST(Icons, ScalableIconShowsWhatTheBitmapsShow)
{
    QSvgRenderer svg(Folder + QStringLiteral("/") + Name + QStringLiteral(".svg"));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBoxF(), QRectF(0, 0, 256, 256));

    for (int size : {48, 128}) {
        const QImage png = bitmap(size);
        ASSERT_EQ(png.size(), QSize(size, size)) << size;
        QImage drawn(size, size, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        {
            QPainter p(&drawn);
            svg.render(&p, QRectF(0, 0, size, size));
        }
        long long difference = 0;
        int covered = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb a = png.pixel(x, y), b = drawn.pixel(x, y);
                difference += std::abs(qAlpha(a) - qAlpha(b)) + std::abs(qRed(a) - qRed(b)) +
                              std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
                covered += qAlpha(a) > 128;
            }
        // Edges are smoothed a little differently; the picture is the same.
        EXPECT_LT(double(difference) / (size * size * 4), 6.0) << size;
        // The open book spans the square and covers a good part of it.
        EXPECT_GT(covered, size * size * 2 / 5) << size;
    }
}

TEST(Icons, EveryThemeSizeIsThere)
{
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_EQ(bitmap(size).size(), QSize(size, size)) << size;
}
