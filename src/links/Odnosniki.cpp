#include "links/Odnosniki.h"

#include "links/Kodeksy.h"
#include "links/Przepisy.h"
#include "store/Zdania.h"

#include <algorithm>
#include <array>
#include <unordered_map>

using namespace zdania;
using przepisy::TGrupa;
using przepisy::TWskazanie;

namespace {

// Between an act's date and the citation that identifies it stands only
// its title: "ustawy z dnia 16 kwietnia 1993 r. o zwalczaniu nieuczciwej
// konkurencji (Dz. U. ...)". Anything that may start another reference or
// another act's name there (a reference, another date, a semicolon, a
// bracket of its own) breaks the tie.
constexpr std::size_t kNajdluzszyTytul = 400;

bool samTytul(std::string_view s, std::size_t od, std::size_t do_)
{
    if (do_ < od || do_ - od > kNajdluzszyTytul)
        return false;
    std::size_t koniec = do_;
    // The bracket that opens the citation itself.
    std::size_t p = do_;
    while (p > od && Odstep(Znak(s, p - 1)))
        --p;
    if (p > od && Znak(s, p - 1) == '(')
        koniec = p - 1;
    for (std::size_t i = od; i < koniec; ++i) {
        const char c = s[i];
        if (c == ';' || c == '(' || c == ')')
            return false;
        if (i > 0 && LiteraLubCyfra(Znak(s, i - 1)))
            continue;
        if (Slowo(s, i, "art.") || Slowo(s, i, "Art.") || Slowo(s, i, "Dz.")) 
            return false;
        std::size_t kd = 0;
        if (c == 'z' && CzytajDate(s, i, kd))
            return false;
    }
    return true;
}

// The first letters of the words TWzmiankiAktow looks for, and the
// characters a word may follow (neither letter nor digit).
constexpr std::array<unsigned char, 256> kPierwszaLitera = [] {
    std::array<unsigned char, 256> t{};
    for (unsigned char c : {'z', 'u', 'K', 'k', 'O', 'o'})
        t[c] = 1;
    return t;
}();
const std::array<unsigned char, 256> kPrzedSlowem = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[std::size_t(c)] = LiteraLubCyfra((unsigned char)c) ? 0 : 1;
    return t;
}();

// Where a text names another act: its citations, the date of an act ("z
// dnia ... r."), a statute by its title ("ustawy o ..."), a code other than
// the document's own. A bare reference after one of these in its sentence
// may be that act's article: "przepisy ustawy z dnia ... o ..., z wyjątkiem
// art. 5" is no reference to the document itself. The text is read as far
// as references stand, once.
class TWzmiankiAktow {
public:
    // `cytowania` (of the same text) must outlive it.
    TWzmiankiAktow(std::string_view s, int kodeks, const TCytowania& cytowania)
        : FTekst(s), FKodeks(kodeks), FCytowania(cytowania)
    {
    }

    // Whether one stands in [zdanie, grupa) of the text; `zdanie` is asked
    // for only when one stands before `grupa` at all.
    template <typename TZdanie>
    bool Miedzy(TZdanie zdanie, std::size_t grupa)
    {
        czytajDo(grupa);
        std::size_t ostatnia = std::string_view::npos;
        for (std::size_t p : FPozycje)
            if (p < grupa)
                ostatnia = p;
        for (const TCytowanie& c : FCytowania)
            if (c.Od < grupa && (ostatnia == std::string_view::npos || c.Od > ostatnia))
                ostatnia = c.Od;
        return ostatnia != std::string_view::npos && ostatnia >= zdanie();
    }

private:
    void czytajDo(std::size_t grupa)
    {
        const std::string_view s = FTekst;
        const std::size_t koniec = std::min(grupa, s.size());
        unsigned char przed = FZbadane > 0 && FZbadane <= s.size() ? (unsigned char)s[FZbadane - 1] : 0;
        for (std::size_t i = FZbadane; i < koniec; ++i) {
            // Only where a word starts, and only for its possible first
            // letters: both told by one test, as most characters are
            // neither.
            const unsigned char c = (unsigned char)s[i];
            const unsigned kandydat = kPierwszaLitera[c] & kPrzedSlowem[przed];
            przed = c;
            if (__builtin_expect(kandydat == 0, 1))
                continue;
            std::size_t k = 0;
            if (c == 'z') {
                if (CzytajDate(s, i, k))
                    FPozycje.push_back(i);
            } else if (c == 'u') {
                if (Slowo(s, i, "ustawy") || Slowo(s, i, "ustawie") || Slowo(s, i, "ustaw\xB9") ||
                    Slowo(s, i, "ustaw\xEA") || Slowo(s, i, "ustawa")) {
                    std::size_t q = i;
                    while (Litera(Znak(s, q)))
                        ++q;
                    if (PominOdstepy(s, q) > q && Slowo(s, PominOdstepy(s, q), "o"))
                        FPozycje.push_back(i);
                }
            } else if (auto n = kodeksy::NazwaKodeksu(s, i, k); n && *n != FKodeks) {
                FPozycje.push_back(i);
            }
        }
        FZbadane = std::max(FZbadane, grupa);
    }

    std::string_view FTekst;
    int FKodeks;
    const TCytowania& FCytowania;
    std::vector<std::size_t> FPozycje;  // ascending
    std::size_t FZbadane = 0;
};

// A code named right before a reference, as amending acts write it:
// "W ustawie z dnia 6 czerwca 1997 r. – Kodeks karny wykonawczy w art. 1
// § 2 ...", "... – Kodeks cywilny po art. 7 ...". Only the act's date (which
// must be the code's), the dash and the title may stand there.
constexpr std::size_t kZasiegTytulu = 120;
constexpr std::size_t kZasiegCytowania = 300;

std::optional<int> kodeksPrzed(std::string_view s, std::size_t grupa)
{
    // The pattern is tight enough that no sentence can end inside it.
    const std::size_t zdanie = 0;
    std::size_t e = grupa;
    while (e > zdanie && Odstep(Znak(s, e - 1)))
        --e;
    for (std::string_view przyimek : {"w", "we", "po"}) {
        const std::size_t n = przyimek.size();
        if (e >= zdanie + n && s.substr(e - n, n) == przyimek && (e == n || !Litera(Znak(s, e - n - 1)))) {
            e -= n;
            while (e > zdanie && Odstep(Znak(s, e - 1)))
                --e;
            break;
        }
    }
    // "... – Kodeks pracy (Dz. U. z 2023 r. poz. 1465) w art. 22": the
    // code's own citation may stand between its title and the reference.
    if (e > zdanie && Znak(s, e - 1) == ')') {
        const std::size_t od = e > zdanie + kZasiegCytowania ? e - kZasiegCytowania : zdanie;
        std::size_t q = e - 1;
        while (q > od && Znak(s, q - 1) != '(' && Znak(s, q - 1) != ')')
            --q;
        if (q == od || Znak(s, q - 1) != '(' || !Slowo(s, PominOdstepy(s, q), "Dz."))
            return std::nullopt;
        e = q - 1;
        while (e > zdanie && Odstep(Znak(s, e - 1)))
            --e;
    }
    const std::size_t granica = e > zdanie + kZasiegTytulu ? e - kZasiegTytulu : zdanie;
    // Most references have no dash before them at all.
    const std::string_view okno = s.substr(granica, e - granica);
    if (okno.find('\x96') == std::string_view::npos && okno.find('-') == std::string_view::npos &&
        okno.find('\x97') == std::string_view::npos)
        return std::nullopt;
    for (std::size_t p = e; p > granica; --p) {
        const unsigned char c = Znak(s, p - 1);
        if (c != 0x96 && c != 0x97 && c != '-')
            continue;
        std::size_t koniec = 0;
        const auto k = kodeksy::TytulPoMyslniku(s, PominOdstepy(s, p), koniec);
        if (!k || koniec != e)
            return std::nullopt;
        // The act's date ends just before the dash.
        std::size_t m = p - 1;
        while (m > zdanie && Odstep(Znak(s, m - 1)))
            --m;
        const std::size_t od = m > zdanie + 40 ? m - 40 : zdanie;
        for (std::size_t q = od; q < m; ++q) {
            std::size_t kd = 0;
            if (Znak(s, q) == 'z' && (q == 0 || !LiteraLubCyfra(Znak(s, q - 1)))) {
                if (const auto d = CzytajDate(s, q, kd); d && kd == m)
                    return *d == kodeksy::DataUchwalenia(*k) ? k : std::nullopt;
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// The citation that names the act of "ustawy z dnia ... r. ..." in group g.
std::optional<TAkt> aktGrupy(std::string_view s, const TGrupa& g, std::size_t poczatek, const TCytowania& cytowania,
                             const TZdania& zdania)
{
    for (const TCytowanie& c : cytowania) {
        if (c.Od < g.KoniecDaty)
            continue;
        if (!samTytul(s, g.KoniecDaty, c.Od) || zdania.Poczatek(c.Od) > poczatek)
            return std::nullopt;
        // A citation of an earlier year cannot be the act's own, nor can
        // an older linked form that read no position.
        if (c.Akt.Rok < g.DataAktu.Rok || c.Akt.Pozycja <= 0)
            return std::nullopt;
        return c.Akt;
    }
    return std::nullopt;
}

// Articles already looked up while one text is searched: a code cites the
// same articles again and again.
struct TPamiec {
    // A group read, whose storage serves the next one.
    przepisy::TGrupa Grupa;
    const TIndeksJednostek* Indeks = nullptr;
    std::unordered_map<std::string, bool> Artykuly;

    bool jest(const TIndeksJednostek& j, const std::string& artykul)
    {
        if (Indeks != &j) {
            Indeks = &j;
            Artykuly.clear();
        }
        if (const auto it = Artykuly.find(artykul); it != Artykuly.end())
            return it->second;
        TAdres a;
        a.Artykul = artykul;
        return Artykuly[artykul] = j.Znajdz(a).has_value();
    }
};

// The unit in `j`: its paragraph, or only whether it exists (a unit the
// document does not divide that finely resolves to its article).
bool znajdz(TOdnosnik& o, const TIndeksJednostek& j, bool akapit, TPamiec& pamiec)
{
    if (!akapit)
        return pamiec.jest(j, o.Cel.Adres.Artykul);
    o.Akapit = ZnajdzJednostke(j, o.Cel.Adres);
    return o.Akapit.has_value();
}

void rozwiaz(TOdnosnik& o, const TZrodloOdnosnikow& zrodlo, const TBibliotekaOdnosnikow& biblioteka,
             TPamiec& pamiec)
{
    switch (o.Cel.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        o.Istnieje = biblioteka.JestAkt(o.Cel.Akt, o.Cel.DawnaNazwa);
        break;
    case TRodzajOdnosnika::Artykul:
        if (!zrodlo.Akapity && zrodlo.Artykuly)
            o.Istnieje = zrodlo.Artykuly->Jest(o.Cel.Adres.Artykul);
        else
            o.Istnieje = zrodlo.Jednostki && znajdz(o, *zrodlo.Jednostki, zrodlo.Akapity, pamiec);
        break;
    case TRodzajOdnosnika::ArtykulKodeksu:
        if (!biblioteka.JestKodeks(o.Cel.Kodeks))
            o.Istnieje = false;
        else if (const TIndeksJednostek* j = biblioteka.JednostkiKodeksu(o.Cel.Kodeks))
            o.Istnieje = znajdz(o, *j, zrodlo.Akapity, pamiec);
        else
            o.Istnieje = true;
        break;
    case TRodzajOdnosnika::ArtykulAktu:
        o.Istnieje = true;  // only made when the act is there
        break;
    }
}

bool rodzajNaglowka(int rodzaj) { return rodzaj >= rPierwszyNaglowek && rodzaj <= rOstatniNaglowek; }
bool rodzajArtykulu(int rodzaj) { return rodzaj == rART || rodzaj == rArt || rodzaj == rParagraf; }

// What a piece may hold: every link starts with "art." (either case) or
// "Dz.", so most paragraphs are passed over without being joined, and most
// need no search for citations. Full stops are rare enough to look for
// first.
constexpr int kMozePrzepis = 1;
constexpr int kMozeDziennik = 2;

int coMozeMiec(std::string_view t)
{
    int w = 0;
    for (std::size_t p = t.find('.'); p != std::string_view::npos && w != (kMozePrzepis | kMozeDziennik);
         p = t.find('.', p + 1)) {
        if (p >= 2 && t[p - 2] == 'D' && t[p - 1] == 'z')
            w |= kMozeDziennik;
        else if (p >= 3 && t[p - 2] == 'r' && t[p - 1] == 't' && (t[p - 3] == 'a' || t[p - 3] == 'A'))
            w |= kMozePrzepis;
    }
    return w;
}

} // namespace

namespace {

bool spakuj(const std::string& numer, std::uint64_t& klucz)
{
    if (numer.size() > 8)
        return false;
    klucz = 0;
    for (char c : numer)
        klucz = (klucz << 8) | (unsigned char)c;
    return true;
}

} // namespace

TArtykuly::TArtykuly(const TPlik& plik)
{
    FKrotkie.reserve(plik.size() / 2);
    for (const TWiersz& w : plik)
        Dodaj(w);
    Uporzadkuj();
}

void TArtykuly::Dodaj(const TWiersz& w)
{
    if (w.size() < 2 || (w[0].Rodzaj != rART && w[0].Rodzaj != rArt))
        return;
    // "Art" + ". 5^1. ..."
    const std::string& t = w[1].Tekst;
    std::size_t i = 0;
    if (Znak(t, i) == '.')
        ++i;
    i = PominOdstepy(t, i);
    std::string nr = przepisy::NumerJednostki(t, i);
    if (!nr.empty() && (Znak(t, i) == '.' || Odstep(Znak(t, i)) || i == t.size())) {
        std::uint64_t k = 0;
        if (spakuj(nr, k))
            FKrotkie.push_back(k);
        else
            FDlugie.insert(std::move(nr));
    }
}

void TArtykuly::Uporzadkuj() { std::sort(FKrotkie.begin(), FKrotkie.end()); }

bool TArtykuly::Jest(const std::string& numer) const
{
    std::uint64_t k = 0;
    if (spakuj(numer, k))
        return std::binary_search(FKrotkie.begin(), FKrotkie.end(), k);
    return FDlugie.count(numer) > 0;
}

const char* NazwaRodzaju(TRodzajOdnosnika rodzaj)
{
    switch (rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        return "journal";
    case TRodzajOdnosnika::Artykul:
        return "article";
    case TRodzajOdnosnika::ArtykulKodeksu:
        return "code-article";
    case TRodzajOdnosnika::ArtykulAktu:
        return "act-article";
    }
    return "";
}

std::optional<std::size_t> ZnajdzJednostke(const TIndeksJednostek& jednostki, const TAdres& adres)
{
    // Most references cite a unit the document has: one look-up.
    if (adres.Artykul.empty())
        return std::nullopt;
    if (auto n = jednostki.Znajdz(adres))
        return n;
    const auto a = ZnajdzAdres(jednostki, adres);
    return a ? jednostki.Znajdz(*a) : std::nullopt;
}

std::optional<TAdres> ZnajdzAdres(const TIndeksJednostek& jednostki, const TAdres& adres)
{
    if (adres.Artykul.empty())
        return std::nullopt;
    TAdres a = adres;
    for (;;) {
        if (jednostki.Znajdz(a))
            return a;
        if (!a.Litera.empty())
            a.Litera.clear();
        else if (!a.Punkt.empty())
            a.Punkt.clear();
        else if (!a.Ustep.empty()) {
            a.Ustep.clear();
            a.Paragraf = false;
        } else
            return std::nullopt;
    }
}

namespace {

// Appends the links of text s to `wynik`, in text order.
void odnosniki(std::string_view s, std::size_t od, bool przypis, const TZrodloOdnosnikow& zrodlo,
               const TBibliotekaOdnosnikow& biblioteka, const TCytowania& cytowania, TPamiec& pamiec,
               TOdnosniki& wynik)
{
    std::optional<TWzmiankiAktow> wzmianki;  // of other acts, read when first needed
    std::optional<TZdania> zdaniaTekstu;     // the sentences, likewise
    // Citations go out in text order together with the references: each
    // before the first reference that follows it.
    std::size_t cytowanie = 0;
    const auto cytowaniaDo = [&](std::size_t granica) {
        for (; cytowanie < cytowania.size() && cytowania[cytowanie].Od < granica; ++cytowanie) {
            const TCytowanie& c = cytowania[cytowanie];
            if (c.Od < od)
                continue;
            TOdnosnik& o = wynik.emplace_back();
            o.Miejsca.push_back({0, c.Od, c.Dlugosc});
            o.Cel.Rodzaj = TRodzajOdnosnika::Dziennik;
            o.Cel.Akt = c.Akt;
            o.Cel.DawnaNazwa = c.DawnaNazwa;
            rozwiaz(o, zrodlo, biblioteka, pamiec);
        }
    };
    przepisy::TGrupa& grupa = pamiec.Grupa;
    std::size_t dalej = od;
    // Every reference starts with "art." (or "Art."): the full stops are
    // the places to look at, far fewer than the letters.
    for (std::size_t p = s.find('.', od); p != std::string_view::npos; p = s.find('.', p + 1)) {
        if (p < od + 3)
            continue;
        const std::size_t i = p - 3;
        if (i < dalej || s[i + 1] != 'r' || s[i + 2] != 't' || (s[i] != 'a' && s[i] != 'A') ||
            (i > 0 && LiteraLubCyfra(Znak(s, i - 1))))
            continue;
        if (!przepisy::CzytajGrupe(s, i, grupa))
            continue;
        const przepisy::TGrupa* g = &grupa;
        dalej = g->Koniec;

        TCel cel;
        switch (g->Wskazanie) {
        case TWskazanie::Brak: {
            // "W ustawie z dnia ... r. – Kodeks karny w art. 5 ...": the code
            // is named just before.
            if (const auto k = kodeksPrzed(s, i)) {
                cel.Rodzaj = *k == zrodlo.Kodeks && !przypis ? TRodzajOdnosnika::Artykul
                                                             : TRodzajOdnosnika::ArtykulKodeksu;
                cel.Kodeks = *k;
                break;
            }
            if (przypis || zrodlo.Kodeks < 0)
                continue;
            if (!wzmianki)
                wzmianki.emplace(s, zrodlo.Kodeks, cytowania);
            if (wzmianki->Miedzy([&] { return PoczatekZdania(s, i); }, i))
                continue;
            cel.Rodzaj = TRodzajOdnosnika::Artykul;
            cel.Kodeks = zrodlo.Kodeks;
            break;
        }
        case TWskazanie::TenDokument:
            if (przypis)
                continue;
            cel.Rodzaj = TRodzajOdnosnika::Artykul;
            cel.Kodeks = zrodlo.Kodeks;
            break;
        case TWskazanie::Kodeks:
            cel.Rodzaj = g->Kodeks == zrodlo.Kodeks && !przypis ? TRodzajOdnosnika::Artykul
                                                                : TRodzajOdnosnika::ArtykulKodeksu;
            cel.Kodeks = g->Kodeks;
            break;
        case TWskazanie::Akt: {
            if (!zdaniaTekstu)
                zdaniaTekstu.emplace(s);
            const auto akt = aktGrupy(s, *g, zdaniaTekstu->Poczatek(i), cytowania, *zdaniaTekstu);
            if (!akt || !biblioteka.JestAkt(*akt, {}))
                continue;
            cel.Rodzaj = TRodzajOdnosnika::ArtykulAktu;
            cel.Akt = *akt;
            break;
        }
        case TWskazanie::Nieznany:
            continue;
        }
        cytowaniaDo(i);
        for (const przepisy::TOdwolanie& c : g->Czesci) {
            TOdnosnik& o = wynik.emplace_back();
            o.Miejsca.push_back({0, c.Od, c.Dlugosc});
            o.Cel = cel;
            o.Cel.Adres = c.Adres;
            rozwiaz(o, zrodlo, biblioteka, pamiec);
        }
    }
    cytowaniaDo(s.size() + 1);
}

} // namespace

TOdnosniki OdnosnikiTekstu(std::string_view s, std::size_t od, bool przypis, const TZrodloOdnosnikow& zrodlo,
                           const TBibliotekaOdnosnikow& biblioteka)
{
    TPamiec pamiec;
    TOdnosniki wynik;
    odnosniki(s, od, przypis, zrodlo, biblioteka, SzukajCytowan(s), pamiec, wynik);
    return wynik;
}

TOdnosniki OdnosnikiTresci(const TPlik& plik, const TZrodloOdnosnikow& zrodlo, const TBibliotekaOdnosnikow& biblioteka)
{
    TOdnosniki wynik;
    // Codes refer to others in about every other paragraph.
    wynik.reserve(plik.size() / 2);
    TPamiec pamiec;
    // Articles read as the text goes: references to them are looked up
    // once all are known.
    const bool zbieraj = zrodlo.ArtykulyZTekstu && !zrodlo.Akapity && !zrodlo.Artykuly && !zrodlo.Jednostki;
    TArtykuly artykuly;
    bool naglowek = false;
    std::string tekst;
    for (std::size_t n = 0; n < plik.size(); ++n) {
        const TWiersz& w = plik[n];
        if (w.empty())
            continue;
        if (zbieraj)
            artykuly.Dodaj(w);
        // The reader's rule: a heading line starts a run of centred lines
        // that the next article ends.
        if (rodzajArtykulu(w[0].Rodzaj))
            naglowek = false;
        else if (rodzajNaglowka(w[0].Rodzaj))
            naglowek = true;
        if (naglowek)
            continue;
        int moze = 0;
        for (const TTekst& t : w)
            moze |= coMozeMiec(t.Tekst);
        if (!moze)
            continue;
        // The heading word of an article or paragraph and the number after
        // it are the unit itself.
        const std::size_t od = rodzajArtykulu(w[0].Rodzaj) ? w[0].Tekst.size() : 0;
        // A paragraph of one piece of text (after its heading word) is read
        // where it lies; others are joined first.
        std::string_view t;
        std::size_t przesuniecie = 0;
        if (w.size() == 1 && !od) {
            t = w[0].Tekst;
        } else if (w.size() == 2 && od) {
            t = w[1].Tekst;
            przesuniecie = od;
        } else {
            tekst.clear();
            for (const TTekst& k : w)
                tekst += k.Tekst;
            t = tekst;
        }
        const std::size_t przed = wynik.size();
        odnosniki(t, przesuniecie ? 0 : od, false, zrodlo, biblioteka,
                  (moze & kMozeDziennik) ? SzukajCytowan(t) : TCytowania{}, pamiec, wynik);
        for (std::size_t k = przed; k < wynik.size(); ++k) {
            wynik[k].Miejsca[0].Linia = n;
            wynik[k].Miejsca[0].Od += przesuniecie;
        }
    }
    if (zbieraj) {
        artykuly.Uporzadkuj();
        for (TOdnosnik& o : wynik)
            if (o.Cel.Rodzaj == TRodzajOdnosnika::Artykul)
                o.Istnieje = artykuly.Jest(o.Cel.Adres.Artykul);
    }
    return wynik;
}

TOdnosniki OdnosnikiPrzypisu(const std::vector<std::string>& linie, const TZrodloOdnosnikow& zrodlo,
                             const TBibliotekaOdnosnikow& biblioteka)
{
    std::string tekst;
    std::vector<std::size_t> poczatki;
    for (const std::string& l : linie) {
        poczatki.push_back(tekst.size());
        tekst += l;
    }
    // The official wording may run on over a line end; the older linked
    // forms were written, and are read, one line at a time.
    TCytowania cytowania = SzukajCytowan(tekst, false);
    const std::size_t oficjalne = cytowania.size();
    for (std::size_t n = 0; n < linie.size(); ++n) {
        for (TCytowanie& d : SzukajDawnychCytowan(linie[n])) {
            d.Od += poczatki[n];
            const bool zachodzi =
                std::any_of(cytowania.begin(), cytowania.begin() + std::ptrdiff_t(oficjalne),
                            [&](const TCytowanie& c) { return c.Od < d.Od + d.Dlugosc && d.Od < c.Od + c.Dlugosc; });
            if (!zachodzi)
                cytowania.push_back(std::move(d));
        }
    }
    std::stable_sort(cytowania.begin(), cytowania.end(),
                     [](const TCytowanie& a, const TCytowanie& b) { return a.Od < b.Od; });
    TPamiec pamiec;
    TOdnosniki wynik;
    odnosniki(tekst, 0, true, zrodlo, biblioteka, cytowania, pamiec, wynik);
    // Back to the lines: a link over a line end becomes one part per line.
    for (TOdnosnik& o : wynik) {
        const std::size_t od = o.Miejsca[0].Od;
        const std::size_t do_ = od + o.Miejsca[0].Dlugosc;
        o.Miejsca.clear();
        for (std::size_t n = 0; n < linie.size(); ++n) {
            const std::size_t a = std::max(od, poczatki[n]);
            const std::size_t b = std::min(do_, poczatki[n] + linie[n].size());
            if (a < b)
                o.Miejsca.push_back({n, a - poczatki[n], b - a});
        }
    }
    return wynik;
}
