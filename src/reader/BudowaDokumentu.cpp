#include "reader/BudowaDokumentu.h"

#include "reader/Obrazki.h"
#include "view/DocView.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

// Text styles of the view's style table: body text and headings.
constexpr int StylTekstu = 0;
constexpr int StylNaglowka = 2;

bool jestNaglowkiem(int rodzaj) { return rodzaj >= 6 && rodzaj <= 23; }
bool jestArtykulem(int rodzaj) { return rodzaj >= 1 && rodzaj <= 3; }
bool jestKonstytucja(int rodzaj) { return rodzaj == 22 || rodzaj == 23; }

// One document being built: the view written to and what is gathered
// beside it.
class TBudowa {
public:
    TBudowa(TDocView& widok, const TImageList* obrazkiZnakow, const TOdnosniki* odnosniki)
        : FWidok(widok), FObrazki(obrazkiZnakow), FOdnosniki(odnosniki)
    {
    }

    void DodajWiersz(const TWiersz& wiersz, std::size_t akapit);
    TZbudowanyDokument Wynik() { return std::move(FWynik); }

private:
    // Adds the contents entry for heading text of a line of kind `rodzaj`
    // and, with it, the anchor that the entry scrolls to.
    void DodajWpisSpisu(const std::string& naglowek, int rodzaj);
    // The heading gathered so far becomes a centred line (and an entry).
    void ZamknijNaglowek(int rodzaj);
    // Body text of paragraph `numer` starting at offset `poz` of the
    // paragraph, cut where links stand.
    void DodajTekst(const std::string& tekst, std::size_t numer, std::size_t poz);
    // Text of the paragraph from character `od` added as items from `pierwszy`
    // on: records where each item's text stands in the paragraph.
    void ZapiszOdcinki(std::string_view tekst, std::size_t od, int pierwszy);

    TDocView& FWidok;
    const TImageList* FObrazki;
    const TOdnosniki* FOdnosniki;
    std::size_t FNastepny = 0;  // the first link not yet drawn in full
    TZbudowanyDokument FWynik;
    std::int32_t FPrzypis = 1;
    int FKotwica = 0;
    // A heading kind turns heading mode on, an article kind turns it off;
    // other lines keep the mode of the line before them.
    bool FTrybNaglowka = false;
    std::string FNaglowek;
    std::size_t FAkapit = 0;        // the paragraph being added
    std::size_t FOdNaglowka = 0;    // where the heading gathered so far starts in it
    // Only the first constitution heading gives a contents entry.
    bool FKonstytucja = true;
};

void TBudowa::DodajWpisSpisu(const std::string& naglowek, int rodzaj)
{
    const int wciecie = WciecieSpisu(rodzaj);
    if (wciecie < 0)
        return;
    if (jestKonstytucja(rodzaj)) {
        if (!FKonstytucja)
            return;
        FKonstytucja = false;
    }
    FWynik.Spis.push_back(std::string(std::size_t(wciecie), ' ') + naglowek);
    // Every entry gets its own anchor, placed just before its heading line,
    // so that entry n always scrolls to the heading it names.
    FWidok.AddCheckpoint(std::to_string(FKotwica));
    ++FKotwica;
}

void TBudowa::ZamknijNaglowek(int rodzaj)
{
    if (!FNaglowek.empty())
        DodajWpisSpisu(FNaglowek, rodzaj);
    const int element = FWidok.ItemCount();
    FWidok.AddCenteredLine(FNaglowek, StylNaglowka);
    ZapiszOdcinki(FNaglowek, FOdNaglowka, element);
    FOdNaglowka += FNaglowek.size();
    FNaglowek.clear();
}

void TBudowa::ZapiszOdcinki(std::string_view tekst, std::size_t od, int pierwszy)
{
    // Mostly one item holding the whole text; line breaks in it, or links,
    // would have cut it into several, each the next part of the text.
    std::size_t p = 0;
    for (int e = pierwszy; e < FWidok.ItemCount(); ++e) {
        const std::string& t = FWidok.Items()[std::size_t(e)].Text;
        if (t.empty() || FWidok.Items()[std::size_t(e)].Info.StyleNo < 0)
            continue;
        const std::size_t gdzie = tekst.find(t, p);
        if (gdzie == std::string_view::npos)
            break;
        FWynik.Odcinki.push_back({std::uint32_t(FAkapit), std::uint32_t(od + gdzie), std::int32_t(e),
                                  std::uint32_t(t.size())});
        p = gdzie + t.size();
    }
}

void TBudowa::DodajTekst(const std::string& tekst, std::size_t numer, std::size_t poz)
{
    const std::size_t koniec = poz + tekst.size();
    std::size_t zrobione = 0;  // of tekst
    if (FOdnosniki) {
        const TOdnosniki& l = *FOdnosniki;
        // Links of paragraphs passed over (headings) are not drawn.
        while (FNastepny < l.size() && l[FNastepny].Miejsca.at(0).Linia < numer)
            ++FNastepny;
        while (FNastepny < l.size() && l[FNastepny].Miejsca[0].Linia == numer) {
            const TMiejsceOdnosnika& m = l[FNastepny].Miejsca[0];
            if (m.Od >= koniec)
                break;
            if (m.Od + m.Dlugosc <= poz) {
                ++FNastepny;
                continue;
            }
            const std::size_t od = std::max(m.Od, poz) - poz;
            const std::size_t do_ = std::min(m.Od + m.Dlugosc, koniec) - poz;
            if (od > zrobione)
                FWidok.AddTextLines(tekst.substr(zrobione, od - zrobione), StylTekstu);
            FWidok.AddText(tekst.substr(od, do_ - od), StylOdnosnika);
            FWynik.Skoki.push_back({0, std::int32_t(FNastepny)});
            zrobione = do_;
            // A link that runs on into the next piece goes on there.
            if (m.Od + m.Dlugosc > koniec)
                break;
            ++FNastepny;
        }
    }
    if (zrobione == 0)
        FWidok.AddTextLines(tekst, StylTekstu);
    else if (zrobione < tekst.size())
        FWidok.AddTextLines(tekst.substr(zrobione), StylTekstu);
}

void TBudowa::DodajWiersz(const TWiersz& wiersz, std::size_t akapit)
{
    FWynik.Elementy.push_back(std::int32_t(FWidok.ItemCount()));
    if (wiersz.empty())
        return;
    FAkapit = akapit;
    FOdNaglowka = 0;
    std::size_t od = 0;   // where the piece starts in the paragraph's text
    FNaglowek.clear();
    const int rodzaj = wiersz[0].Rodzaj;
    if (jestArtykulem(rodzaj))
        FTrybNaglowka = false;
    else if (jestNaglowkiem(rodzaj))
        FTrybNaglowka = true;

    for (std::size_t j = 0; j < wiersz.size(); ++j) {
        const TTekst& kawalek = wiersz[j];
        if (FTrybNaglowka)
            FNaglowek += kawalek.Tekst;
        if (kawalek.Rodzaj == rPrzypis) {
            // A heading is split at the mark: the part before it is a
            // centred line of its own, the glyph follows.
            if (FTrybNaglowka)
                ZamknijNaglowek(rodzaj);
            FWynik.NumeryPrzypisow.push_back(FPrzypis);
            FWynik.Skoki.push_back({FPrzypis, -1});
            ++FPrzypis;
            FWidok.AddHotspot(obrazki::ZnakPrzypisuIndeks, FObrazki, false);
        } else if (!FTrybNaglowka) {
            const int element = FWidok.ItemCount();
            DodajTekst(kawalek.Tekst, akapit, od);
            ZapiszOdcinki(kawalek.Tekst, od, element);
        } else if (j + 1 == wiersz.size()) {
            ZamknijNaglowek(rodzaj);
        }
        od += kawalek.Tekst.size();
    }
    FWidok.AddParagraphLines(" ", StylTekstu);
}

} // namespace

TZbudowanyDokument ZbudujWidokDokumentu(const TPlik& plik, TDocView& widok, const TImageList* obrazkiZnakow,
                                        const TPostepBudowy& postep, const TOdnosniki* odnosniki)
{
    TBudowa budowa(widok, obrazkiZnakow, odnosniki);
    for (std::size_t i = 0; i < plik.size(); ++i) {
        budowa.DodajWiersz(plik[i], i);
        if (postep)
            postep(i + 1);
    }
    return budowa.Wynik();
}

int WciecieSpisu(int rodzaj)
{
    if (rodzaj == 6 || rodzaj == 7 || jestKonstytucja(rodzaj))
        return 0;
    if (rodzaj >= 8 && rodzaj <= 21)
        return (rodzaj / 2 - 3) * 3;
    return -1;
}

std::vector<TBlokPrzypisu> BlokiPrzypisow(const TListaNapisow& wiersze)
{
    std::vector<TBlokPrzypisu> bloki;
    bool rozpoczety = false;
    // Whether the last block has met the empty line that closes it.
    bool zamkniety = false;
    for (std::size_t n = 0; n < wiersze.size(); ++n) {
        const std::string& s = wiersze[n];
        if (!s.empty() && s[0] == '(') {
            // A footnote that runs straight into the next one ends just
            // before it instead of losing its text.
            if (!bloki.empty() && !zamkniety)
                bloki.back().Ostatni = std::int32_t(n) - 1;
            bloki.push_back({std::int32_t(n), 0});
            rozpoczety = true;
            zamkniety = false;
        }
        if (rozpoczety && (s.empty() || s[0] == '\0')) {
            bloki.back().Ostatni = std::int32_t(n);
            zamkniety = true;
        }
    }
    if (!bloki.empty())
        bloki.back().Ostatni = std::int32_t(wiersze.size()) - 1;
    return bloki;
}

AZapisPrzypisu IndeksPrzypisow(const TListaNapisow& wiersze)
{
    AZapisPrzypisu zapis;
    zapis.Wiersze = wiersze;
    zapis.Bloki = BlokiPrzypisow(zapis.Wiersze);
    return zapis;
}

void TekstBloku(const AZapisPrzypisu& zapis, int blok, TListaNapisow& linie)
{
    if (blok < 0 || std::size_t(blok) >= zapis.Bloki.size())
        return;
    const TBlokPrzypisu& b = zapis.Bloki[std::size_t(blok)];
    for (std::int32_t x = std::max<std::int32_t>(b.Pierwszy, 0); x <= b.Ostatni; ++x) {
        if (std::size_t(x) >= zapis.Wiersze.size())
            break;
        linie.push_back(zapis.Wiersze[std::size_t(x)]);
    }
}
