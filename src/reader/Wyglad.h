#pragma once
// Looks shared by the program's windows.
#include "platform/QtColors.h"

#include <QFont>
#include <QLabel>
#include <QPalette>

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
