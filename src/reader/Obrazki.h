#pragma once
// The program's own pictures: logos, tool-bar images, the footnote-mark glyph
// and the jump cursor. All are drawn in code so that they stay sharp and need
// no binary files in the repository.
//
// Sizes are in device-independent pixels. `skala` is the device pixel ratio
// of the screen the picture goes to (1.5 at 150 %, 2 at 200 %): the picture
// is drawn at that resolution and carries the ratio, so it covers the same
// area on the screen and stays sharp.
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>

class QPainter;

namespace obrazki {

// Number of tool-bar images (save, print, codes list, contents, close).
constexpr int LiczbaNarzedzi = 5;
// Size of the tool-bar images and of the small list images.
constexpr QSize RozmiarNarzedzia(32, 32);
constexpr QSize RozmiarObrazka(16, 15);
// Index of the footnote-mark glyph in the small image list.
constexpr int ZnakPrzypisuIndeks = 6;

// Tool-bar image `indeks` (0 to LiczbaNarzedzi - 1), 32 x 32, transparent
// background. An index outside the range gives an empty transparent image.
QPixmap narzedzie(int indeks, qreal skala = 1.0);

// The seven small images of the main window's image list (16 x 15). Image 6
// is the footnote mark; 0 to 5 are small list symbols.
QPixmap malyObrazek(int indeks, qreal skala = 1.0);
constexpr int LiczbaMalychObrazkow = 7;

// The program logo: an open book with the section sign, in the given size.
QPixmap logoProgramu(QSize rozmiar, qreal skala = 1.0);
// The same logo drawn with any painter (screen, image, a scalable picture
// file), centred in `obszar` and as large as fits.
void rysujLogoProgramu(QPainter& p, const QRectF& obszar);
// The program's icon for windows and the desktop: the logo at the usual
// icon sizes.
QIcon ikonaProgramu();

// Logos of the company and of the maker, shown over their web addresses.
QPixmap logoFirmy(QSize rozmiar, qreal skala = 1.0);
QPixmap logoTworcy(QSize rozmiar, qreal skala = 1.0);

// The hand cursor shown over a jump, hot spot at the tip of the finger.
QCursor kursorSkoku();

} // namespace obrazki
