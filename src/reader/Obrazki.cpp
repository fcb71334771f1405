#include "reader/Obrazki.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace obrazki {

namespace {

// Shared palette, so that the pictures read as one family.
const QColor Zielen(0x1B, 0x7A, 0x2E);
const QColor ZielenJasna(0x5C, 0xB8, 0x5C);
const QColor ZielenBlada(0xD9, 0xF2, 0xD9);
const QColor Grafit(0x33, 0x3D, 0x47);
const QColor Papier(0xFD, 0xFD, 0xF8);
const QColor Czerwien(0xC6, 0x28, 0x28);

// A transparent image of `rozmiar` device-independent pixels at the device
// pixel ratio `skala`: painters opened on it draw in device-independent
// coordinates, at the full resolution of the device.
QImage puste(QSize rozmiar, qreal skala = 1.0)
{
    if (!(skala > 0))
        skala = 1.0;
    QImage img(int(std::ceil(rozmiar.width() * skala - 0.001)), int(std::ceil(rozmiar.height() * skala - 0.001)),
               QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(skala);
    img.fill(Qt::transparent);
    return img;
}

QPixmap obraz(const QImage& img) { return QPixmap::fromImage(img); }

void ustawPioro(QPainter& p, const QColor& kolor, qreal grubosc)
{
    QPen pen(kolor, grubosc);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
}

// Floppy disk.
void rysujZapisz(QPainter& p)
{
    QPainterPath obudowa;
    obudowa.moveTo(4.5, 3.5);
    obudowa.lineTo(24.5, 3.5);
    obudowa.lineTo(28.5, 7.5);
    obudowa.lineTo(28.5, 28.5);
    obudowa.lineTo(4.5, 28.5);
    obudowa.closeSubpath();
    ustawPioro(p, QColor(0x1A, 0x2F, 0x5A), 1.0);
    QLinearGradient g(0, 3, 0, 29);
    g.setColorAt(0, QColor(0x4A, 0x6F, 0xB5));
    g.setColorAt(1, QColor(0x2A, 0x48, 0x85));
    p.setBrush(g);
    p.drawPath(obudowa);
    // Metal shutter with its window.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC8, 0xCE, 0xD6));
    p.drawRect(QRectF(9, 4, 13, 8));
    p.setBrush(QColor(0x2A, 0x48, 0x85));
    p.drawRect(QRectF(17, 5.5, 3, 5));
    // Label.
    ustawPioro(p, QColor(0xB0, 0xB8, 0xC4), 1.0);
    p.setBrush(Papier);
    p.drawRect(QRectF(7.5, 16.5, 18, 11));
    ustawPioro(p, QColor(0x8A, 0x9A, 0xB0), 1.0);
    p.drawLine(QPointF(10, 20), QPointF(23, 20));
    p.drawLine(QPointF(10, 23.5), QPointF(20, 23.5));
}

// Printer with a sheet coming out.
void rysujDrukuj(QPainter& p)
{
    // Sheet fed in at the back.
    ustawPioro(p, QColor(0x90, 0x90, 0x90), 1.0);
    p.setBrush(Papier);
    p.drawRect(QRectF(9.5, 2.5, 13, 10));
    // Body.
    ustawPioro(p, Grafit, 1.0);
    QLinearGradient g(0, 11, 0, 24);
    g.setColorAt(0, QColor(0xE2, 0xE4, 0xE8));
    g.setColorAt(1, QColor(0x9A, 0xA0, 0xA8));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2.5, 11.5, 27, 13), 2.5, 2.5);
    // Status light.
    p.setPen(Qt::NoPen);
    p.setBrush(ZielenJasna);
    p.drawEllipse(QRectF(24, 14.5, 3, 3));
    // Paper slot and printed sheet.
    p.setBrush(Grafit);
    p.drawRect(QRectF(7, 19, 18, 2));
    ustawPioro(p, QColor(0x90, 0x90, 0x90), 1.0);
    p.setBrush(Papier);
    p.drawRect(QRectF(8.5, 20.5, 15, 9));
    ustawPioro(p, QColor(0x60, 0x60, 0x60), 1.0);
    p.drawLine(QPointF(11, 24), QPointF(21, 24));
    p.drawLine(QPointF(11, 27), QPointF(18, 27));
}

// Two books standing, the front one with the section sign: the codes list.
void rysujKodeksy(QPainter& p)
{
    ustawPioro(p, QColor(0x5A, 0x2A, 0x10), 1.0);
    p.setBrush(QColor(0xA8, 0x5A, 0x2A));
    p.drawRect(QRectF(3.5, 6.5, 8, 22));
    ustawPioro(p, QColor(0xF0, 0xD0, 0x90), 1.0);
    p.drawLine(QPointF(5, 10), QPointF(10, 10));
    p.drawLine(QPointF(5, 25), QPointF(10, 25));

    ustawPioro(p, QColor(0x0F, 0x4A, 0x1C), 1.0);
    p.setBrush(Zielen);
    p.drawRect(QRectF(12.5, 3.5, 16, 25));
    ustawPioro(p, QColor(0xF0, 0xD0, 0x90), 1.0);
    p.drawLine(QPointF(14, 7), QPointF(27, 7));
    p.drawLine(QPointF(14, 25), QPointF(27, 25));
    QFont f("DejaVu Serif");
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0xFF, 0xE0, 0x8A));
    p.drawText(QRectF(12.5, 7, 16, 18), Qt::AlignCenter, QString(QChar(0x00A7)));
}

// A page with indented headings: the table of contents.
void rysujSpisTresci(QPainter& p)
{
    ustawPioro(p, QColor(0x70, 0x78, 0x80), 1.0);
    p.setBrush(Papier);
    p.drawRect(QRectF(5.5, 2.5, 21, 27));
    const qreal wiersze[][2] = {{8, 7}, {11, 11}, {11, 15}, {14, 19}, {14, 23}, {8, 27}};
    for (const auto& w : wiersze) {
        p.setPen(Qt::NoPen);
        p.setBrush(Zielen);
        p.drawRect(QRectF(w[0], w[1] - 1, 2, 2));
        ustawPioro(p, Grafit, 1.2);
        p.drawLine(QPointF(w[0] + 3.5, w[1]), QPointF(23.5, w[1]));
    }
}

// A page with a red cross: close the open document.
void rysujZamknij(QPainter& p)
{
    QPainterPath strona;
    strona.moveTo(5.5, 2.5);
    strona.lineTo(19.5, 2.5);
    strona.lineTo(25.5, 8.5);
    strona.lineTo(25.5, 29.5);
    strona.lineTo(5.5, 29.5);
    strona.closeSubpath();
    ustawPioro(p, QColor(0x70, 0x78, 0x80), 1.0);
    p.setBrush(Papier);
    p.drawPath(strona);
    p.setBrush(QColor(0xDD, 0xDD, 0xDD));
    p.drawPolygon(QPolygonF({QPointF(19.5, 2.5), QPointF(19.5, 8.5), QPointF(25.5, 8.5)}));
    ustawPioro(p, QColor(0xA0, 0xA8, 0xB0), 1.0);
    for (qreal y : {8.0, 11.5, 15.0})
        p.drawLine(QPointF(8, y), QPointF(17, y));
    // The cross on a white disc in the lower right corner.
    ustawPioro(p, Czerwien.darker(130), 1.0);
    p.setBrush(Czerwien);
    p.drawEllipse(QRectF(14.5, 16.5, 15, 15));
    ustawPioro(p, Qt::white, 2.2);
    p.drawLine(QPointF(18.5, 20.5), QPointF(25.5, 27.5));
    p.drawLine(QPointF(25.5, 20.5), QPointF(18.5, 27.5));
}

// The footnote mark: a small raised tag with an asterisk, drawn in the
// upper part of the cell so that it reads like a superscript after a word.
void rysujZnakPrzypisu(QPainter& p)
{
    ustawPioro(p, QColor(0x0F, 0x4A, 0x1C), 1.0);
    p.setBrush(Zielen);
    p.drawRoundedRect(QRectF(2.5, 0.5, 11, 10), 2.5, 2.5);
    ustawPioro(p, Qt::white, 1.3);
    const QPointF s(8, 5.5);
    p.drawLine(s + QPointF(0, -3.2), s + QPointF(0, 3.2));
    p.drawLine(s + QPointF(-2.8, -1.6), s + QPointF(2.8, 1.6));
    p.drawLine(s + QPointF(-2.8, 1.6), s + QPointF(2.8, -1.6));
    // A short underline ties the mark to the text line.
    ustawPioro(p, Zielen, 1.0);
    p.drawLine(QPointF(3, 13.5), QPointF(13, 13.5));
}

// Small list symbols 0 to 5: coloured squares and bullets for lists.
void rysujMalySymbol(QPainter& p, int indeks)
{
    static const QColor kolory[] = {Zielen, QColor(0x2A, 0x48, 0x85), QColor(0xA8, 0x5A, 0x2A),
                                    QColor(0x80, 0x80, 0x00), Czerwien, Grafit};
    const QColor k = kolory[indeks % 6];
    ustawPioro(p, k.darker(140), 1.0);
    p.setBrush(k);
    if (indeks % 2 == 0)
        p.drawEllipse(QRectF(4.5, 4, 7, 7));
    else
        p.drawRect(QRectF(4.5, 4, 7, 7));
}

} // namespace

QPixmap narzedzie(int indeks, qreal skala)
{
    QImage img = puste(RozmiarNarzedzia, skala);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (indeks) {
    case 0: rysujZapisz(p); break;
    case 1: rysujDrukuj(p); break;
    case 2: rysujKodeksy(p); break;
    case 3: rysujSpisTresci(p); break;
    case 4: rysujZamknij(p); break;
    default: break;
    }
    p.end();
    return obraz(img);
}

QPixmap malyObrazek(int indeks, qreal skala)
{
    QImage img = puste(RozmiarObrazka, skala);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (indeks == ZnakPrzypisuIndeks)
        rysujZnakPrzypisu(p);
    else if (indeks >= 0 && indeks < ZnakPrzypisuIndeks)
        rysujMalySymbol(p, indeks);
    p.end();
    return obraz(img);
}

QPixmap logoProgramu(QSize rozmiar, qreal skala)
{
    QImage img = puste(rozmiar, skala);
    if (rozmiar.isEmpty())
        return obraz(img);
    QPainter p(&img);
    rysujLogoProgramu(p, QRectF(QPointF(0, 0), QSizeF(rozmiar)));
    p.end();
    return obraz(img);
}

void rysujLogoProgramu(QPainter& p, const QRectF& obszar)
{
    if (obszar.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 300 x 220 grid and scaled to the requested size.
    const qreal s = std::min(obszar.width() / 300.0, obszar.height() / 220.0);
    p.translate(obszar.left() + (obszar.width() - 300 * s) / 2, obszar.top() + (obszar.height() - 220 * s) / 2);
    p.scale(s, s);

    // Soft shadow under the book.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(QRectF(30, 188, 240, 22));

    // Cover, seen at the edges of the open book.
    p.setBrush(Zielen.darker(120));
    QPainterPath okladka;
    okladka.moveTo(20, 40);
    okladka.quadTo(85, 22, 150, 44);
    okladka.quadTo(215, 22, 280, 40);
    okladka.lineTo(280, 192);
    okladka.quadTo(215, 176, 150, 198);
    okladka.quadTo(85, 176, 20, 192);
    okladka.closeSubpath();
    p.drawPath(okladka);

    // The two pages.
    QLinearGradient lewa(30, 0, 150, 0);
    lewa.setColorAt(0, Papier);
    lewa.setColorAt(1, QColor(0xE4, 0xE8, 0xDC));
    QLinearGradient prawa(150, 0, 270, 0);
    prawa.setColorAt(0, QColor(0xE4, 0xE8, 0xDC));
    prawa.setColorAt(1, Papier);
    QPainterPath lewaStrona;
    lewaStrona.moveTo(30, 34);
    lewaStrona.quadTo(90, 16, 150, 38);
    lewaStrona.lineTo(150, 190);
    lewaStrona.quadTo(90, 168, 30, 184);
    lewaStrona.closeSubpath();
    QPainterPath prawaStrona;
    prawaStrona.moveTo(270, 34);
    prawaStrona.quadTo(210, 16, 150, 38);
    prawaStrona.lineTo(150, 190);
    prawaStrona.quadTo(210, 168, 270, 184);
    prawaStrona.closeSubpath();
    ustawPioro(p, QColor(0x9A, 0xA8, 0x90), 1.5);
    p.setBrush(lewa);
    p.drawPath(lewaStrona);
    p.setBrush(prawa);
    p.drawPath(prawaStrona);

    // Lines of text on both pages.
    ustawPioro(p, QColor(0xB4, 0xC0, 0xAC), 3);
    for (int i = 0; i < 7; ++i) {
        const qreal y = 62 + i * 17;
        p.drawLine(QPointF(46, y - 4), QPointF(128, y + 2));
        p.drawLine(QPointF(172, y + 2), QPointF(254, y - 4));
    }

    // The section sign on a green seal over the spine.
    ustawPioro(p, Qt::white, 4);
    p.setBrush(Zielen);
    p.drawEllipse(QPointF(150, 112), 44, 44);
    // The sign as an outline centred on the seal: the same shape on the
    // screen and in the scalable icon, whatever fonts the viewer has.
    QFont f("DejaVu Serif");
    f.setPixelSize(64);
    f.setBold(true);
    QPainterPath znak;
    znak.addText(0, 0, f, QString(QChar(0x00A7)));
    const QRectF ramka = znak.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(znak.translated(QPointF(150, 112) - ramka.center()));
    p.restore();
}

namespace {

// A logo made of a mark in a rounded square and the name beside it.
QPixmap logoZZnakiem(QSize rozmiar, qreal skala, const QColor& kolor, const QString& litera, const QString& nazwa)
{
    QImage img = puste(rozmiar, skala);
    if (rozmiar.isEmpty())
        return obraz(img);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal h = rozmiar.height();
    const qreal bok = std::min<qreal>(h * 0.62, rozmiar.width() * 0.5);
    const QRectF znak((rozmiar.width() - bok) / 2, 2, bok, bok);
    QLinearGradient g(znak.topLeft(), znak.bottomRight());
    g.setColorAt(0, kolor.lighter(135));
    g.setColorAt(1, kolor);
    p.setPen(QPen(kolor.darker(140), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(znak.adjusted(0.75, 0.75, -0.75, -0.75), bok * 0.22, bok * 0.22);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(int(bok * 0.62));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(znak, Qt::AlignCenter, litera);
    QFont fn("DejaVu Sans");
    fn.setBold(true);
    fn.setLetterSpacing(QFont::PercentageSpacing, 112);
    fn.setPixelSize(std::max(8, int(h * 0.2)));
    p.setFont(fn);
    p.setPen(kolor.darker(125));
    p.drawText(QRectF(0, znak.bottom() + 1, rozmiar.width(), h - znak.bottom() - 1), Qt::AlignCenter, nazwa);
    p.end();
    return obraz(img);
}

} // namespace

QPixmap logoFirmy(QSize rozmiar, qreal skala)
{
    return logoZZnakiem(rozmiar, skala, QColor(0x1E, 0x6E, 0x8C), QStringLiteral("M"), QStringLiteral("MARDOVELT"));
}

QPixmap logoTworcy(QSize rozmiar, qreal skala)
{
    return logoZZnakiem(rozmiar, skala, QColor(0x8C, 0x4A, 0x1E), QStringLiteral("B"), QStringLiteral("BROVANK"));
}

QIcon ikonaProgramu()
{
    QIcon ikona;
    for (int bok : {16, 22, 24, 32, 48, 64, 128, 256})
        ikona.addPixmap(logoProgramu(QSize(bok, bok)));
    return ikona;
}

QCursor kursorSkoku()
{
    QImage img = puste(QSize(32, 32));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A pointing hand: the index finger up, the other fingers folded.
    QPainterPath reka;
    reka.moveTo(9, 2.5);
    reka.cubicTo(10.5, 0.5, 13, 0.5, 13, 3);
    reka.lineTo(13, 11);
    reka.cubicTo(14, 9.5, 17, 9.5, 17, 12);
    reka.cubicTo(18, 10.5, 21, 10.5, 21, 13);
    reka.cubicTo(22, 11.5, 25, 11.5, 25, 14);
    reka.lineTo(25, 20);
    reka.cubicTo(25, 24, 23, 26, 22, 27.5);
    reka.lineTo(22, 30.5);
    reka.lineTo(10, 30.5);
    reka.lineTo(10, 28);
    reka.cubicTo(8, 26, 4, 21, 2.5, 17.5);
    reka.cubicTo(1.5, 15, 4, 13.5, 6, 15.5);
    reka.lineTo(9, 18.5);
    reka.closeSubpath();
    ustawPioro(p, Qt::black, 1.3);
    p.setBrush(Qt::white);
    p.drawPath(reka);
    ustawPioro(p, Qt::black, 1.0);
    p.drawLine(QPointF(13, 11), QPointF(13, 17));
    p.drawLine(QPointF(17, 12), QPointF(17, 17));
    p.drawLine(QPointF(21, 13), QPointF(21, 17));
    p.end();
    return QCursor(QPixmap::fromImage(img), 11, 1);
}

} // namespace obrazki
