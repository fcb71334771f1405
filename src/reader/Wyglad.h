#pragma once
// Looks shared by the program's windows.
#include "platform/QtColors.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QWidget>

// The windows' own font: "MS Sans Serif", 8 points (11 pixels); where it is
// not installed, font substitution picks a sans-serif face of the same size.
inline QFont czcionkaFormularza()
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

inline void ustawKolorTekstu(QLabel* l, TColor kolor)
{
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, toQColor(kolor));
    l->setPalette(pal);
}

// Places a window in the middle of a screen's free area (less task bars);
// with no screen it stays where it is. A moved window keeps its place when
// shown later.
inline void wysrodkujNaEkranie(QWidget* okno, const QScreen* ekran)
{
    if (!ekran)
        return;
    const QRect s = ekran->availableGeometry();
    okno->move(s.left() + (s.width() - okno->width()) / 2, s.top() + (s.height() - okno->height()) / 2);
}
