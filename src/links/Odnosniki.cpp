#include "links/Odnosniki.h"

#include "links/Kodeksy.h"
#include "links/Przepisy.h"
#include "store/Zdania.h"

#include <algorithm>

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

// A bare reference means the document itself, unless the sentence before
// it has named another act: "przepisy ustawy z dnia ... o ..., z wyjątkiem
// art. 5" refers to that act's article.
bool innyAktWczesniej(std::string_view s, std::size_t zdanie, std::size_t grupa, int kodeks,
                      const TCytowania& cytowania)
{
    for (const TCytowanie& c : cytowania)
        if (c.Od >= zdanie && c.Od < grupa)
            return true;
    for (std::size_t i = zdanie; i < grupa; ++i) {
        if (i > 0 && LiteraLubCyfra(Znak(s, i - 1)))
            continue;
        const unsigned char c = Znak(s, i);
        std::size_t k = 0;
        if (c == 'z' && CzytajDate(s, i, k))
            return true;
        if (c == 'u' && (Slowo(s, i, "ustawy") || Slowo(s, i, "ustawie") || Slowo(s, i, "ustaw\xB9") ||
                         Slowo(s, i, "ustaw\xEA") || Slowo(s, i, "ustawa"))) {
            std::size_t q = i;
            while (Litera(Znak(s, q)))
                ++q;
            if (Slowo(s, PominOdstepy(s, q), "o") && PominOdstepy(s, q) > q)
                return true;
        }
        if (Litera(c)) {
            if (auto n = kodeksy::NazwaKodeksu(s, i, k); n && *n != kodeks)
                return true;
        }
    }
    return false;
}

// A code named right before a reference, as amending acts write it:
// "W ustawie z dnia 6 czerwca 1997 r. – Kodeks karny wykonawczy w art. 1
// § 2 ...", "... – Kodeks cywilny po art. 7 ...". Only the act's date (which
// must be the code's), the dash and the title may stand there.
constexpr std::size_t kZasiegTytulu = 120;

std::optional<int> kodeksPrzed(std::string_view s, std::size_t zdanie, std::size_t grupa)
{
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
    const std::size_t granica = e > zdanie + kZasiegTytulu ? e - kZasiegTytulu : zdanie;
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
std::optional<TAkt> aktGrupy(std::string_view s, const TGrupa& g, std::size_t poczatek, const TCytowania& cytowania)
{
    for (const TCytowanie& c : cytowania) {
        if (c.Od < g.KoniecDaty)
            continue;
        if (!samTytul(s, g.KoniecDaty, c.Od) || PoczatekZdania(s, c.Od) > poczatek)
            return std::nullopt;
        // A citation of an earlier year cannot be the act's own.
        if (c.Akt.Rok < g.DataAktu.Rok)
            return std::nullopt;
        return c.Akt;
    }
    return std::nullopt;
}

void rozwiaz(TOdnosnik& o, const TZrodloOdnosnikow& zrodlo, const TBibliotekaOdnosnikow& biblioteka)
{
    switch (o.Cel.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        o.Istnieje = biblioteka.JestAkt(o.Cel.Akt, o.Cel.DawnaNazwa);
        break;
    case TRodzajOdnosnika::Artykul:
        if (zrodlo.Jednostki)
            o.Akapit = ZnajdzJednostke(*zrodlo.Jednostki, o.Cel.Adres);
        o.Istnieje = o.Akapit.has_value();
        break;
    case TRodzajOdnosnika::ArtykulKodeksu:
        if (!biblioteka.JestKodeks(o.Cel.Kodeks)) {
            o.Istnieje = false;
        } else if (const TIndeksJednostek* j = biblioteka.JednostkiKodeksu(o.Cel.Kodeks)) {
            o.Akapit = ZnajdzJednostke(*j, o.Cel.Adres);
            o.Istnieje = o.Akapit.has_value();
        } else {
            o.Istnieje = true;
        }
        break;
    case TRodzajOdnosnika::ArtykulAktu:
        o.Istnieje = true;  // only made when the act is there
        break;
    }
}

bool rodzajNaglowka(int rodzaj) { return rodzaj >= rPierwszyNaglowek && rodzaj <= rOstatniNaglowek; }
bool rodzajArtykulu(int rodzaj) { return rodzaj == rART || rodzaj == rArt || rodzaj == rParagraf; }

// Whether a piece may hold a link at all: every link starts with "art." or
// "Dz." (and a few more letters), so most paragraphs are passed over
// without being joined.
bool mozeMiecOdnosnik(std::string_view t)
{
    return t.find("rt.") != std::string_view::npos || t.find("Dz.") != std::string_view::npos;
}

} // namespace

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

TOdnosniki odnosniki(std::string_view s, std::size_t od, bool przypis, const TZrodloOdnosnikow& zrodlo,
                     const TBibliotekaOdnosnikow& biblioteka, const TCytowania& cytowania)
{
    TOdnosniki wynik;
    for (const TCytowanie& c : cytowania) {
        if (c.Od < od)
            continue;
        TOdnosnik o;
        o.Miejsca.push_back({0, c.Od, c.Dlugosc});
        o.Cel.Rodzaj = TRodzajOdnosnika::Dziennik;
        o.Cel.Akt = c.Akt;
        o.Cel.DawnaNazwa = c.DawnaNazwa;
        rozwiaz(o, zrodlo, biblioteka);
        wynik.push_back(std::move(o));
    }

    std::size_t dalej = od;
    for (std::size_t p = s.find("rt.", od); p != std::string_view::npos; p = s.find("rt.", p + 1)) {
        if (p == 0)
            continue;
        const std::size_t i = p - 1;
        if (i < dalej || (s[i] != 'a' && s[i] != 'A') || (i > 0 && LiteraLubCyfra(Znak(s, i - 1))))
            continue;
        const auto g = przepisy::CzytajGrupe(s, i);
        if (!g)
            continue;
        dalej = g->Koniec;

        TCel cel;
        switch (g->Wskazanie) {
        case TWskazanie::Brak: {
            const std::size_t zdanie = PoczatekZdania(s, i);
            // "W ustawie z dnia ... r. – Kodeks karny w art. 5 ...": the code
            // is named just before.
            if (const auto k = kodeksPrzed(s, zdanie, i)) {
                cel.Rodzaj = *k == zrodlo.Kodeks && !przypis ? TRodzajOdnosnika::Artykul
                                                             : TRodzajOdnosnika::ArtykulKodeksu;
                cel.Kodeks = *k;
                break;
            }
            if (przypis || zrodlo.Kodeks < 0 || innyAktWczesniej(s, zdanie, i, zrodlo.Kodeks, cytowania))
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
            const auto akt = aktGrupy(s, *g, PoczatekZdania(s, i), cytowania);
            if (!akt || !biblioteka.JestAkt(*akt, {}))
                continue;
            cel.Rodzaj = TRodzajOdnosnika::ArtykulAktu;
            cel.Akt = *akt;
            break;
        }
        case TWskazanie::Nieznany:
            continue;
        }
        for (const przepisy::TOdwolanie& c : g->Czesci) {
            TOdnosnik o;
            o.Miejsca.push_back({0, c.Od, c.Dlugosc});
            o.Cel = cel;
            o.Cel.Adres = c.Adres;
            rozwiaz(o, zrodlo, biblioteka);
            wynik.push_back(std::move(o));
        }
    }
    std::stable_sort(wynik.begin(), wynik.end(),
                     [](const TOdnosnik& a, const TOdnosnik& b) { return a.Miejsca[0].Od < b.Miejsca[0].Od; });
    return wynik;
}

} // namespace

TOdnosniki OdnosnikiTekstu(std::string_view s, std::size_t od, bool przypis, const TZrodloOdnosnikow& zrodlo,
                           const TBibliotekaOdnosnikow& biblioteka)
{
    return odnosniki(s, od, przypis, zrodlo, biblioteka, SzukajCytowan(s));
}

TOdnosniki OdnosnikiTresci(const TPlik& plik, const TZrodloOdnosnikow& zrodlo, const TBibliotekaOdnosnikow& biblioteka)
{
    TOdnosniki wynik;
    bool naglowek = false;
    std::string tekst;
    for (std::size_t n = 0; n < plik.size(); ++n) {
        const TWiersz& w = plik[n];
        if (w.empty())
            continue;
        // The reader's rule: a heading line starts a run of centred lines
        // that the next article ends.
        if (rodzajArtykulu(w[0].Rodzaj))
            naglowek = false;
        else if (rodzajNaglowka(w[0].Rodzaj))
            naglowek = true;
        if (naglowek)
            continue;
        bool moze = false;
        for (const TTekst& t : w)
            moze = moze || mozeMiecOdnosnik(t.Tekst);
        if (!moze)
            continue;
        tekst.clear();
        for (const TTekst& t : w)
            tekst += t.Tekst;
        // The heading word of an article or paragraph and the number after
        // it are the unit itself.
        const std::size_t od = rodzajArtykulu(w[0].Rodzaj) ? w[0].Tekst.size() : 0;
        for (TOdnosnik& o : OdnosnikiTekstu(tekst, od, false, zrodlo, biblioteka)) {
            for (TMiejsce& m : o.Miejsca)
                m.Linia = n;
            wynik.push_back(std::move(o));
        }
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
    TOdnosniki wynik = odnosniki(tekst, 0, true, zrodlo, biblioteka, cytowania);
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
