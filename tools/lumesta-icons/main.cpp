// Writes the program's desktop icons from the logo the program draws:
//   lumesta-icons FOLDER NAME
// gives FOLDER/NAME.svg (scalable) and FOLDER/NAME-SIZE.png for the sizes
// of the icon theme. Used by the build; the icons are not kept in the
// sources.
#include "reader/Obrazki.h"

#include <QGuiApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

int main(int argc, char** argv)
{
    // Drawing needs fonts but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumesta-icons FOLDER NAME\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "lumesta-icons: cannot create %s\n", argv[1]);
        return 1;
    }

    constexpr int Side = 256;
    QSvgGenerator svg;
    svg.setFileName(folder + QStringLiteral("/") + name + QStringLiteral(".svg"));
    svg.setSize(QSize(Side, Side));
    svg.setViewBox(QRect(0, 0, Side, Side));
    svg.setTitle(QStringLiteral("Lumesta"));
    svg.setDescription(QStringLiteral("An open book with the section sign"));
    {
        QPainter p;
        if (!p.begin(&svg)) {
            std::fprintf(stderr, "lumesta-icons: cannot write the scalable icon\n");
            return 1;
        }
        obrazki::rysujLogoProgramu(p, QRectF(0, 0, Side, Side));
    }

    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage img = obrazki::logoProgramu(QSize(size, size)).toImage();
        const QString file = folder + QStringLiteral("/%1-%2.png").arg(name).arg(size);
        if (!img.save(file, "PNG")) {
            std::fprintf(stderr, "lumesta-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
