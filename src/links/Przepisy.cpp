#include "links/Przepisy.h"

#include "links/Kodeksy.h"
#include "platform/core/Cp1250.h"

#include <string>
#include <vector>

using namespace zdania;

namespace przepisy {

namespace {

enum TPoziom { pArtykul = 0, pUstep = 1, pPunkt = 2, pLitera = 3 };

constexpr unsigned char kParagraf = 0xA7;   // "§"
constexpr unsigned char kPolpauza = 0x96;   // "–"
constexpr unsigned char kPauza = 0x97;      // "—"

// A unit number: up to four digits, an optional superscript written
// "^digits", and up to two small letters ("5", "5^1", "12a"); nothing when
// the number runs on into letters, digits, a decimal part or a percentage.
std::string numer(std::string_view s, std::size_t& i)
{
    std::size_t k = i;
    while (Cyfra(Znak(s, k)) && k - i < 4)
        ++k;
    if (k == i || Cyfra(Znak(s, k)))
        return {};
    if (Znak(s, k) == '^' && Cyfra(Znak(s, k + 1))) {
        const std::size_t d = ++k;
        while (Cyfra(Znak(s, k)) && k - d < 3)
            ++k;
        if (Cyfra(Znak(s, k)))
            return {};
    }
    std::size_t l = k;
    while (l < k + 2 && Znak(s, l) >= 'a' && Znak(s, l) <= 'z')
        ++l;
    if (Litera(Znak(s, l)))
        return {};
    k = l;
    const unsigned char c = Znak(s, k);
    if (c == '%' || c == '^' || ((c == '.' || c == ',') && Cyfra(Znak(s, k + 1))))
        return {};
    std::string w(s.substr(i, k - i));
    i = k;
    return w;
}

// A letter of a "lit.": one or two small letters.
std::string litera(std::string_view s, std::size_t& i)
{
    std::size_t k = i;
    while (k < i + 2 && Znak(s, k) >= 'a' && Znak(s, k) <= 'z')
        ++k;
    if (k == i || LiteraLubCyfra(Znak(s, k)))
        return {};
    std::string w(s.substr(i, k - i));
    i = k;
    return w;
}

struct TSlowoPoziomu {
    TPoziom Poziom = pArtykul;
    bool Paragraf = false;
    std::size_t Dalej = 0;  // where its number begins
};

// "§", "ust.", "pkt", "lit." at p.
std::optional<TSlowoPoziomu> slowoPoziomu(std::string_view s, std::size_t p)
{
    if (Znak(s, p) == kParagraf) {
        std::size_t q = p + 1;
        if (Znak(s, q) == kParagraf)
            ++q;
        return TSlowoPoziomu{pUstep, true, PominOdstepy(s, q)};
    }
    if (Slowo(s, p, "ust."))
        return TSlowoPoziomu{pUstep, false, PominOdstepy(s, p + 4)};
    if (Slowo(s, p, "pkt."))
        return TSlowoPoziomu{pPunkt, false, PominOdstepy(s, p + 4)};
    if (Slowo(s, p, "pkt"))
        return TSlowoPoziomu{pPunkt, false, PominOdstepy(s, p + 3)};
    if (Slowo(s, p, "lit."))
        return TSlowoPoziomu{pLitera, false, PominOdstepy(s, p + 4)};
    return std::nullopt;
}

std::string wartosc(std::string_view s, std::size_t& i, TPoziom poziom)
{
    return poziom == pLitera ? litera(s, i) : numer(s, i);
}

void ustaw(TAdres& a, TPoziom poziom, std::string v, bool paragraf)
{
    switch (poziom) {
    case pArtykul:
        a = TAdres{std::move(v), {}, false, {}, {}};
        break;
    case pUstep:
        a.Ustep = std::move(v);
        a.Paragraf = paragraf;
        a.Punkt.clear();
        a.Litera.clear();
        break;
    case pPunkt:
        a.Punkt = std::move(v);
        a.Litera.clear();
        break;
    case pLitera:
        a.Litera = std::move(v);
        break;
    }
}

// "w" (or "we") that only introduces the next unit: "art. 5 w § 2",
// "oraz w art. 7". Returns where the unit begins, or p.
std::size_t pominW(std::string_view s, std::size_t p)
{
    std::size_t q = p;
    if (Slowo(s, p, "w"))
        q = p + 1;
    else if (Slowo(s, p, "we"))
        q = p + 2;
    else
        return p;
    const std::size_t r = PominOdstepy(s, q);
    if (r == q)
        return p;
    if (slowoPoziomu(s, r) || Slowo(s, r, "art."))
        return r;
    return p;
}

// The deeper units that follow an address at k ("§ 2 pkt 1 lit. a").
TPoziom uszczegolowienie(std::string_view s, std::size_t& k, TAdres& a, TPoziom poziom)
{
    for (;;) {
        const std::size_t p = pominW(s, PominOdstepy(s, k));
        const auto slowo = slowoPoziomu(s, p);
        if (!slowo || slowo->Poziom <= poziom)
            return poziom;
        std::size_t q = slowo->Dalej;
        std::string v = wartosc(s, q, slowo->Poziom);
        if (v.empty())
            return poziom;
        ustaw(a, slowo->Poziom, std::move(v), slowo->Paragraf);
        poziom = slowo->Poziom;
        k = q;
    }
}

// Words that qualify an address without being part of it: "zdanie
// pierwsze", "zd. 2", "tiret drugie", "in fine".
std::size_t pominDopowiedzenia(std::string_view s, std::size_t k)
{
    for (int n = 0; n < 3; ++n) {
        const std::size_t p = PominOdstepy(s, k);
        std::size_t q = 0;
        if (Slowo(s, p, "zdanie"))
            q = p + 6;
        else if (Slowo(s, p, "zd."))
            q = p + 3;
        else if (Slowo(s, p, "tiret"))
            q = p + 5;
        else if (Slowo(s, p, "in") && Slowo(s, PominOdstepy(s, p + 2), "fine"))
            return PominOdstepy(s, p + 2) + 4;
        else
            return k;
        q = PominOdstepy(s, q);
        const std::size_t r = q;
        while (LiteraLubCyfra(Znak(s, q)))
            ++q;
        if (q == r)
            return k;
        k = q;
    }
    return k;
}

const std::vector<std::string>& slowaAktow()
{
    static const std::vector<std::string> slowa = [] {
        std::vector<std::string> w;
        for (const char* s :
             {"ustawy", "ustawie", "ustawą", "ustaw", "ustawa", "ustawę", "rozporządzenia", "rozporządzeń", "dekretu",
              "kodeksu", "kodeksów", "konstytucji", "traktatu", "konwencji", "karty", "umowy", "dyrektywy",
              "decyzji", "regulaminu", "statutu", "prawa", "przepisów", "aktu", "protokołu", "załącznika",
              "uchwały", "obwieszczenia", "porozumienia", "zarządzenia", "tej", "tego", "tych", "tejże",
              "wymienionej", "wymienionego", "powołanej", "powołanego", "cytowanej", "cytowanego",
              "zmienianej", "zmienianego", "wskazanej", "wskazanego", "ordynacji", "pr", "ww"})
            w.push_back(cp1250::fromUtf8(s));
        return w;
    }();
    return slowa;
}

const std::vector<std::string>& miary()
{
    static const std::vector<std::string> slowa = [] {
        std::vector<std::string> w;
        for (const char* s :
             {"lat", "lata", "rok", "roku", "r", "dni", "dnia", "dzień", "miesięcy", "miesiące", "miesiąca",
              "miesiąc", "tygodni", "tygodnie", "godzin", "godziny", "zł", "złotych", "proc", "razy", "osób",
              "osoby", "członków", "sędziów", "km", "m", "gr", "tys", "mln", "mld", "egzemplarzach",
              "egzemplarzy", "stron", "stopni"})
            w.push_back(cp1250::fromUtf8(s));
        return w;
    }();
    return slowa;
}

bool naLiscie(std::string_view slowo, const std::vector<std::string>& lista)
{
    for (const std::string& w : lista)
        if (slowo == w)
            return true;
    return false;
}

// The word of letters at p.
std::string_view slowoOd(std::string_view s, std::size_t p)
{
    std::size_t k = p;
    while (Litera(Znak(s, k)))
        ++k;
    return s.substr(p, k - p);
}

// After a further number of a group ("i 7"), a measure ("i 6 lat",
// "5 dni") shows that the number counts something rather than units.
bool dalszaLiczba(std::string_view s, std::size_t k)
{
    const std::size_t p = PominOdstepy(s, k);
    if (Znak(s, p) == '%')
        return false;
    return !naLiscie(slowoOd(s, p), miary());
}

// A small letter standing alone after "lit. a i" may be a conjunction
// ("lit. b, a także") rather than a letter.
bool dalszaLitera(std::string_view s, std::size_t od, std::size_t k)
{
    const std::string_view l = s.substr(od, k - od);
    if (l != "a" && l != "i" && l != "w" && l != "z" && l != "o" && l != "u")
        return true;
    return !MalaLitera(Znak(s, PominOdstepy(s, k)));
}

// Words that name an act this grammar cannot tell: a capitalised name
// ("Traktatu", "Kodeksu"), one of the act nouns ("ustawy", "tej ustawy"),
// or an abbreviation of dotted letters that is not a code's ("u.s.p.").
bool innyAkt(std::string_view s, std::size_t d)
{
    const unsigned char c = Znak(s, d);
    if (WielkaLitera(c))
        return true;
    if (!MalaLitera(c))
        return false;
    const std::string_view slowo = slowoOd(s, d);
    if (naLiscie(slowo, slowaAktow()))
        return true;
    int kropki = 0;
    std::size_t k = d;
    while (Litera(Znak(s, k)) || Znak(s, k) == '.') {
        kropki += Znak(s, k) == '.';
        ++k;
    }
    return kropki >= 2;
}

bool tenDokument(std::string_view s, std::size_t d)
{
    static const std::vector<std::string> zwroty = [] {
        std::vector<std::string> w;
        for (const char* z : {"niniejszego kodeksu", "niniejszego Kodeksu", "kodeksu niniejszego",
                              "niniejszej ustawy", "ustawy niniejszej", "niniejszej Konstytucji"})
            w.push_back(cp1250::fromUtf8(z));
        return w;
    }();
    for (const std::string& z : zwroty)
        if (Slowo(s, d, z))
            return true;
    return false;
}

bool myslnik(unsigned char c) { return c == kPolpauza || c == kPauza || c == '-'; }

// A code named, with the date written beside it if any: another date is an
// older act of the same title, which no link may take for the code.
void wskazKodeks(TGrupa& g, int kodeks, const std::optional<zdania::TData>& data)
{
    if (data && !(*data == kodeksy::DataUchwalenia(kodeks))) {
        g.Wskazanie = TWskazanie::Nieznany;
        return;
    }
    g.Wskazanie = TWskazanie::Kodeks;
    g.Kodeks = kodeks;
}

// What the words at d name.
void wskazanie(std::string_view s, std::size_t d, TGrupa& g)
{
    std::size_t koniec = 0;
    if (auto k = kodeksy::NazwaKodeksu(s, d, koniec)) {
        // "Kodeksu karnego z dnia 19 kwietnia 1969 r.": an older code.
        std::size_t kd = 0;
        wskazKodeks(g, *k, CzytajDate(s, PominOdstepy(s, koniec), kd));
        return;
    }
    if (Slowo(s, d, "ustawy")) {
        const std::size_t q = PominOdstepy(s, d + 6);
        std::size_t kd = 0;
        const auto data = CzytajDate(s, q, kd);
        const std::size_t r = PominOdstepy(s, data ? kd : q);
        if (myslnik(Znak(s, r))) {
            if (auto k = kodeksy::TytulPoMyslniku(s, PominOdstepy(s, r + 1), koniec)) {
                wskazKodeks(g, *k, data);
                return;
            }
        }
        if (data) {
            g.Wskazanie = TWskazanie::Akt;
            g.DataAktu = *data;
            g.KoniecDaty = kd;
            return;
        }
        g.Wskazanie = TWskazanie::Nieznany;
        return;
    }
    if (tenDokument(s, d)) {
        g.Wskazanie = TWskazanie::TenDokument;
        return;
    }
    g.Wskazanie = innyAkt(s, d) ? TWskazanie::Nieznany : TWskazanie::Brak;
}

} // namespace

std::string NumerJednostki(std::string_view s, std::size_t& i)
{
    return numer(s, i);
}

bool CzytajGrupe(std::string_view s, std::size_t i, TGrupa& g)
{
    const bool wielka = Slowo(s, i, "Art.");
    if (!wielka && !Slowo(s, i, "art."))
        return false;
    std::size_t k = PominOdstepy(s, i + 4);
    TAdres a;
    a.Artykul = numer(s, k);
    if (a.Artykul.empty())
        return false;
    // "Art. 5." is an article's own heading (quoted in an amending act),
    // not a reference to it.
    if (wielka && Znak(s, k) == '.')
        return false;
    TPoziom poziom = uszczegolowienie(s, k, a, pArtykul);

    g.Czesci.clear();
    g.Wskazanie = TWskazanie::Brak;
    g.Kodeks = -1;
    g.DataAktu = {};
    g.KoniecDaty = 0;
    g.Czesci.push_back({i, k - i, a});
    std::size_t koniec = k;
    for (;;) {
        std::size_t p = pominDopowiedzenia(s, koniec);
        bool przecinek = false;
        bool laczy = false;
        if (Znak(s, p) == ',') {
            ++p;
            przecinek = laczy = true;
        }
        p = PominOdstepy(s, p);
        if (!przecinek && myslnik(Znak(s, p))) {
            p = PominOdstepy(s, p + 1);
            laczy = true;
        } else {
            for (std::string_view spojnik : {"i", "oraz", "lub", "albo"}) {
                if (Slowo(s, p, spojnik)) {
                    p = PominOdstepy(s, p + spojnik.size());
                    laczy = true;
                    break;
                }
            }
        }
        if (!laczy)
            break;
        p = pominW(s, p);
        std::size_t q = p;
        if (Slowo(s, p, "art.")) {
            q = PominOdstepy(s, p + 4);
            std::string nr = numer(s, q);
            if (nr.empty())
                break;
            ustaw(a, pArtykul, std::move(nr), false);
            poziom = uszczegolowienie(s, q, a, pArtykul);
        } else if (const auto slowo = slowoPoziomu(s, p)) {
            q = slowo->Dalej;
            std::string v = wartosc(s, q, slowo->Poziom);
            if (v.empty())
                break;
            ustaw(a, slowo->Poziom, std::move(v), slowo->Paragraf);
            poziom = uszczegolowienie(s, q, a, slowo->Poziom);
        } else {
            std::string v = wartosc(s, q, poziom);
            if (v.empty() || !dalszaLiczba(s, q) || (poziom == pLitera && !dalszaLitera(s, p, q)))
                break;
            ustaw(a, poziom, std::move(v), a.Paragraf);
            // "art. 3 i 5 pkt 1": the further number may go deeper itself.
            poziom = uszczegolowienie(s, q, a, poziom);
        }
        g.Czesci.push_back({p, q - p, a});
        koniec = q;
    }
    g.Koniec = koniec;
    wskazanie(s, PominOdstepy(s, pominDopowiedzenia(s, koniec)), g);
    return true;
}

} // namespace przepisy
