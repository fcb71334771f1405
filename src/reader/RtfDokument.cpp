#include "reader/RtfDokument.h"

#include "platform/QtColors.h"
#include "platform/QtText.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace rtf {

namespace {

// Links without a colour of their own are shown as browsers show them.
constexpr TColor KolorLacza = clBlue;

Qt::Alignment wyrownanie(TWyrownanie w)
{
    switch (w) {
    case TWyrownanie::Srodek:
        return Qt::AlignHCenter;
    case TWyrownanie::Prawo:
        return Qt::AlignRight;
    case TWyrownanie::Obustronnie:
        return Qt::AlignJustify;
    case TWyrownanie::Lewo:
        break;
    }
    return Qt::AlignLeft;
}

// The runs of one link share its target; it is converted once, and the
// formats of all its runs share the converted text.
class TCeleLaczy {
public:
    const QString& Cel(const TLacze& lacze)
    {
        if (&lacze.Cel() != FOstatni) {
            FOstatni = &lacze.Cel();
            FTekst = toQString(lacze.Cel());
        }
        return FTekst;
    }

private:
    const std::string* FOstatni = nullptr;
    QString FTekst;
};

QTextCharFormat formatZnakow(const TDokument& dok, const TFormat& f, TCeleLaczy& cele)
{
    QTextCharFormat z;
    const TCzcionka* czcionka = dok.Czcionka(f.Czcionka >= 0 ? f.Czcionka : dok.DomyslnaCzcionka);
    if (czcionka && !czcionka->Nazwa.empty())
        z.setFontFamilies({toQString(czcionka->Nazwa)});
    z.setFontPointSize(f.RozmiarPolpunkty / 2.0);
    z.setFontWeight(f.Pogrubienie ? QFont::Bold : QFont::Normal);
    z.setFontItalic(f.Kursywa);
    z.setFontUnderline(f.Podkreslenie || !f.Lacze.empty());
    if (const TKolor* k = dok.Kolor(f.Kolor))
        z.setForeground(toQColor(k->Wartosc));
    else if (!f.Lacze.empty())
        z.setForeground(toQColor(KolorLacza));
    if (!f.Lacze.empty()) {
        z.setAnchor(true);
        z.setAnchorHref(cele.Cel(f.Lacze));
    }
    return z;
}

} // namespace

void WypelnijDokument(QTextDocument& cel, const TDokument& dokument)
{
    cel.clear();
    QTextCursor kursor(&cel);
    TCeleLaczy cele;
    bool pierwszy = true;
    for (const TAkapit& a : dokument.Akapity) {
        QTextBlockFormat blok;
        blok.setAlignment(wyrownanie(a.Wyrownanie));
        if (pierwszy)
            kursor.setBlockFormat(blok);
        else
            kursor.insertBlock(blok);
        pierwszy = false;
        for (const TFragment& f : a.Fragmenty) {
            QString tekst = toQString(f.Tekst);
            tekst.replace(QLatin1Char('\n'), QChar::LineSeparator);
            kursor.insertText(tekst, formatZnakow(dokument, f.Format, cele));
        }
    }
}

} // namespace rtf
