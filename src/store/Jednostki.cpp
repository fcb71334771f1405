#include "store/Jednostki.h"

#include <algorithm>
#include <array>

namespace {

constexpr unsigned char kParagraf = 0xA7;  // "§"
constexpr unsigned char kPolpauza = 0x96;  // "–"
constexpr unsigned char kPauza = 0x97;     // "—"
constexpr unsigned char kTwardaSpacja = 0xA0;
constexpr char kStrzalka[] = " \x9B ";     // " › "

bool cyfra(unsigned char c) { return c >= '0' && c <= '9'; }
bool malaAscii(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool spacja(unsigned char c) { return c == ' ' || c == kTwardaSpacja; }
bool litera(unsigned char c) { return malaAscii(c) || (c >= 'A' && c <= 'Z'); }

// Lower case of a Windows-1250 letter (ASCII and the Polish/Central European
// capitals); other bytes unchanged.
unsigned char mala(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F:
        return static_cast<unsigned char>(c + 0x10);
    case 0xA3: return 0xB3;  // Ł
    case 0xA5: return 0xB9;  // Ą
    case 0xAA: return 0xBA;
    case 0xAF: return 0xBF;  // Ż
    case 0xBC: return 0xBE;
    default:
        break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

std::string naMale(std::string_view s)
{
    std::string w(s);
    for (char& c : w)
        c = static_cast<char>(mala(static_cast<unsigned char>(c)));
    return w;
}

struct TCzytnik {
    std::string_view s;
    std::size_t i = 0;

    bool koniec() const { return i >= s.size(); }
    unsigned char znak(std::size_t o = 0) const
    {
        return i + o < s.size() ? static_cast<unsigned char>(s[i + o]) : 0;
    }
    void pominSpacje()
    {
        while (!koniec() && spacja(znak()))
            ++i;
    }
    // A unit number: digits, up to three lower-case letters, and a
    // superscript part "^" digits (letters). Returns it lower-cased.
    std::optional<std::string> numer()
    {
        const std::size_t start = i;
        if (!cyfra(znak()))
            return std::nullopt;
        while (cyfra(znak()))
            ++i;
        std::size_t litery = 0;
        while (litery < 3 && litera(znak())) {
            ++i;
            ++litery;
        }
        if (znak() == '^' && cyfra(znak(1))) {
            ++i;
            while (cyfra(znak()))
                ++i;
            while (malaAscii(znak()))
                ++i;
        }
        // A number glued to a word ("5abcd", "12lipca") is not a unit number.
        if (litera(znak())) {
            i = start;
            return std::nullopt;
        }
        return naMale(s.substr(start, i - start));
    }
    // A point letter: one or two lower-case letters, then a superscript part.
    std::optional<std::string> literaPunktu()
    {
        const std::size_t start = i;
        std::size_t n = 0;
        while (n < 2 && malaAscii(znak())) {
            ++i;
            ++n;
        }
        if (n == 0 || malaAscii(znak())) {
            i = start;
            return std::nullopt;
        }
        if (znak() == '^' && cyfra(znak(1))) {
            ++i;
            while (cyfra(znak()))
                ++i;
        }
        return std::string(s.substr(start, i - start));
    }
    bool slowo(std::string_view w)
    {
        if (s.size() - std::min(i, s.size()) < w.size())
            return false;
        for (std::size_t k = 0; k < w.size(); ++k)
            if (mala(static_cast<unsigned char>(s[i + k])) != static_cast<unsigned char>(w[k]))
                return false;
        const unsigned char po = znak(w.size());
        if (malaAscii(mala(po)))
            return false;
        i += w.size();
        return true;
    }
    bool jest(unsigned char c)
    {
        if (znak() != c)
            return false;
        ++i;
        return true;
    }
    // The end of a unit's number in a text line: a full stop or a closing
    // bracket followed by a space or the end of the line.
    bool koniecNumeru(unsigned char znakKonca)
    {
        if (znak() != znakKonca)
            return false;
        if (i + 1 < s.size() && !spacja(znak(1)))
            return false;
        ++i;
        return true;
    }
};

// The first bytes of a paragraph's text, footnote marks left out: enough to
// read the numbers a unit opens with.
std::string poczatekAkapitu(const TWiersz& wiersz)
{
    std::string t;
    for (const TTekst& k : wiersz) {
        if (k.Rodzaj == rPrzypis)
            continue;
        t += k.Tekst;
        if (t.size() >= 80)
            break;
    }
    return t;
}

bool jestNaglowkiem(int rodzaj) { return rodzaj >= rPierwszyNaglowek && rodzaj <= rOstatniNaglowek; }

// The heading kinds in pairs (title case, capitals): 6 Ustawa, 8 Kodeks,
// 10 Część, 12 Księga, 14 Tytuł, 16 Dział, 18 Rozdział, 20 Oddział,
// 22 Konstytucja. The act's own titles reset the path.
int grupaNaglowka(int rodzaj) { return (rodzaj - rPierwszyNaglowek) / 2; }
bool tytulAktu(int grupa) { return grupa == 0 || grupa == 1 || grupa == 8; }

bool rzymska(std::string_view w)
{
    if (w.empty())
        return false;
    std::size_t i = 0;
    while (i < w.size() && std::string_view("IVXLCDM").find(w[i]) != std::string_view::npos)
        ++i;
    // "IIa", "XIV^1": a Roman number with an inserted unit's suffix.
    return i > 0 && (i == w.size() || malaAscii(static_cast<unsigned char>(w[i])) || w[i] == '^');
}

// "DZIAŁ II" -> "Dział II", "KSIĘGA PIERWSZA" -> "Księga pierwsza",
// "Rozdział 2a" unchanged. Footnote marks are left out.
std::string tekstNaglowka(const TWiersz& wiersz)
{
    std::string t;
    for (const TTekst& k : wiersz)
        if (k.Rodzaj != rPrzypis)
            t += k.Tekst;
    std::size_t a = 0, b = t.size();
    while (a < b && spacja(static_cast<unsigned char>(t[a])))
        ++a;
    while (b > a && spacja(static_cast<unsigned char>(t[b - 1])))
        --b;
    t = t.substr(a, b - a);
    const bool wersaliki = (wiersz.front().Rodzaj - rPierwszyNaglowek) % 2 == 1;
    if (!wersaliki)
        return t;
    std::string w;
    std::size_t i = 0;
    bool pierwsze = true;
    while (i < t.size()) {
        std::size_t j = i;
        while (j < t.size() && !spacja(static_cast<unsigned char>(t[j])))
            ++j;
        const std::string_view slowo(t.data() + i, j - i);
        if (pierwsze) {
            w += slowo.substr(0, 1);
            w += naMale(slowo.substr(1));
        } else if (rzymska(slowo)) {
            w += slowo;
        } else {
            w += naMale(slowo);
        }
        pierwsze = false;
        while (j < t.size() && spacja(static_cast<unsigned char>(t[j])))
            w += t[j++];
        i = j;
    }
    return w;
}

bool pasuje(const std::string& wzor, const std::string& wartosc)
{
    return wzor.empty() || naMale(wzor) == naMale(wartosc);
}

// Whether unit `a` lies within the unit `w` names (its empty parts match any).
bool wewnatrz(const TAdres& w, const TAdres& a)
{
    if (!w.Artykul.empty() && naMale(w.Artykul) != naMale(a.Artykul))
        return false;
    if (w.Artykul.empty() && !a.Artykul.empty())
        return false;
    return pasuje(w.Ustep, a.Ustep) && pasuje(w.Punkt, a.Punkt) && pasuje(w.Litera, a.Litera);
}

// Article numbers a heading-free article line names: "5", "5^1", or every
// whole number of a range "11–13" (up to a sane span).
std::vector<std::string> kluczeArtykulu(const std::string& numer)
{
    std::vector<std::string> klucze;
    const std::size_t kreska = numer.find(char(kPolpauza));
    if (kreska == std::string::npos) {
        klucze.push_back(naMale(numer));
        return klucze;
    }
    const std::string od = numer.substr(0, kreska), doN = numer.substr(kreska + 1);
    const bool calkowite = !od.empty() && !doN.empty() && od.size() <= 6 && doN.size() <= 6 &&
                           std::all_of(od.begin(), od.end(), [](char c) { return cyfra(c); }) &&
                           std::all_of(doN.begin(), doN.end(), [](char c) { return cyfra(c); });
    if (calkowite) {
        const long a = std::stol(od), b = std::stol(doN);
        if (a <= b && b - a <= 500) {
            for (long n = a; n <= b; ++n)
                klucze.push_back(std::to_string(n));
            return klucze;
        }
    }
    klucze.push_back(naMale(od));
    return klucze;
}

} // namespace

std::string OpisAdresu(const TAdres& a)
{
    std::string t;
    if (!a.Artykul.empty())
        t = "Art. " + a.Artykul;
    if (!a.Ustep.empty()) {
        if (!t.empty())
            t += ' ';
        t += a.Paragraf || a.Artykul.empty() ? std::string(1, char(kParagraf)) + " " + a.Ustep : "ust. " + a.Ustep;
    }
    if (!a.Punkt.empty())
        t += (t.empty() ? "" : " ") + std::string("pkt ") + a.Punkt;
    if (!a.Litera.empty())
        t += (t.empty() ? "" : " ") + std::string("lit. ") + a.Litera;
    return t;
}

std::optional<TAdres> RozbierzAdres(std::string_view tekst)
{
    TCzytnik c{tekst};
    TAdres a;
    c.pominSpacje();
    const auto kropka = [&c] {
        c.jest('.');
        c.pominSpacje();
    };
    bool artykul = false;
    if (c.slowo("art") || c.slowo("artyku\xb3") || c.slowo("artykul")) {
        kropka();
        artykul = true;
    }
    if (auto n = c.numer()) {
        a.Artykul = *n;
        kropka();
    } else if (artykul) {
        return std::nullopt;
    }
    bool cos = !a.Artykul.empty();
    if (c.jest(kParagraf) || c.slowo("par")) {
        kropka();
        auto n = c.numer();
        if (!n)
            return std::nullopt;
        a.Ustep = *n;
        a.Paragraf = true;
        kropka();
        cos = true;
    } else if (c.slowo("ust")) {
        kropka();
        auto n = c.numer();
        if (!n || a.Artykul.empty())
            return std::nullopt;
        a.Ustep = *n;
        kropka();
        cos = true;
    }
    if (c.slowo("pkt")) {
        kropka();
        auto n = c.numer();
        if (!n || !cos)
            return std::nullopt;
        a.Punkt = *n;
        kropka();
    }
    if (c.slowo("lit")) {
        kropka();
        auto l = c.literaPunktu();
        if (!l || a.Punkt.empty())
            return std::nullopt;
        a.Litera = *l;
        kropka();
    }
    if (!c.koniec() || !cos)
        return std::nullopt;
    return a;
}

TIndeksJednostek::TIndeksJednostek(const TPlik& plik)
{
    FJednostkaAkapitu.assign(plik.size(), -1);
    FWezelAkapitu.assign(plik.size(), -1);

    // Heading levels are ranked by first appearance: the codes do not share
    // one order ("KSIĘGA PIERWSZA" above "CZĘŚĆ OGÓLNA" in one code, parts
    // above books in another), but every act opens with its outermost level.
    std::array<int, 9> ranga;
    ranga.fill(-1);
    int nastepnaRanga = 0;
    struct TPoziom {
        int Ranga;
        std::int32_t Wezel;
    };
    std::vector<TPoziom> stos;

    std::int32_t biezaca = -1;   // unit of the article being read, -1: none
    bool wArtykule = false;
    const auto nowa = [this, &biezaca](TAdres adres, std::size_t akapit) {
        FJednostki.push_back(TJednostka{std::move(adres), akapit});
        biezaca = std::int32_t(FJednostki.size() - 1);
    };
    const auto zapiszPoczatek = [this](const std::string& klucz) {
        FPoczatki.try_emplace(klucz, std::int32_t(FJednostki.size() - 1));
    };

    for (std::size_t p = 0; p < plik.size(); ++p) {
        const TWiersz& w = plik[p];
        if (w.empty()) {
            FJednostkaAkapitu[p] = wArtykule ? biezaca : -1;
            FWezelAkapitu[p] = stos.empty() ? -1 : stos.back().Wezel;
            continue;
        }
        const int rodzaj = w.front().Rodzaj;
        if (jestNaglowkiem(rodzaj)) {
            wArtykule = false;
            biezaca = -1;
            const int grupa = grupaNaglowka(rodzaj);
            if (tytulAktu(grupa)) {
                stos.clear();
            } else {
                if (ranga[std::size_t(grupa)] < 0)
                    ranga[std::size_t(grupa)] = nastepnaRanga++;
                const int r = ranga[std::size_t(grupa)];
                while (!stos.empty() && stos.back().Ranga >= r)
                    stos.pop_back();
                FWezly.push_back(TWezel{tekstNaglowka(w), stos.empty() ? -1 : stos.back().Wezel});
                stos.push_back(TPoziom{r, std::int32_t(FWezly.size() - 1)});
            }
            FWezelAkapitu[p] = stos.empty() ? -1 : stos.back().Wezel;
            continue;
        }
        FWezelAkapitu[p] = stos.empty() ? -1 : stos.back().Wezel;

        const std::string poczatek = poczatekAkapitu(w);
        TCzytnik c{poczatek};
        if (rodzaj == rArt || rodzaj == rART) {
            c.i = 3;
            c.jest('.');
            c.pominSpacje();
            auto numer = c.numer();
            if (numer) {
                std::string nazwa = *numer;
                // "Art. 11–13." names a range of repealed articles.
                const std::size_t poNumerze = c.i;
                c.pominSpacje();
                if (c.jest(kPolpauza) || c.jest(kPauza) || c.jest('-')) {
                    c.pominSpacje();
                    if (auto drugi = c.numer())
                        nazwa += char(kPolpauza) + *drugi;
                    else
                        c.i = poNumerze;
                } else {
                    c.i = poNumerze;
                }
                TAdres adres;
                adres.Artykul = nazwa;
                c.jest('.');
                c.pominSpacje();
                // The article's first paragraph may open on its line:
                // "Art. 3. § 1. …" or "Art. 10. 1. …".
                if (c.jest(kParagraf)) {
                    c.pominSpacje();
                    if (auto u = c.numer(); u && c.koniecNumeru('.')) {
                        adres.Ustep = *u;
                        adres.Paragraf = true;
                    }
                } else {
                    const std::size_t przed = c.i;
                    if (auto u = c.numer(); u && c.koniecNumeru('.'))
                        adres.Ustep = *u;
                    else
                        c.i = przed;
                }
                nowa(std::move(adres), p);
                for (const std::string& klucz : kluczeArtykulu(nazwa))
                    zapiszPoczatek(klucz);
                wArtykule = true;
            } else if (!wArtykule) {
                biezaca = -1;
            }
        } else if (rodzaj == rParagraf) {
            c.i = 1;
            c.pominSpacje();
            auto u = c.numer();
            if (u && c.koniecNumeru('.')) {
                TAdres adres;
                if (wArtykule && biezaca >= 0)
                    adres.Artykul = FJednostki[std::size_t(biezaca)].Adres.Artykul;
                adres.Ustep = *u;
                adres.Paragraf = true;
                const bool regulacja = adres.Artykul.empty();
                nowa(std::move(adres), p);
                // A regulation: its paragraphs are the top units.
                if (regulacja)
                    zapiszPoczatek(std::string(1, char(kParagraf)) + naMale(*u));
                wArtykule = true;
            }
        } else if (wArtykule && biezaca >= 0) {
            const TAdres& obecny = FJednostki[std::size_t(biezaca)].Adres;
            const std::size_t przed = c.i;
            if (auto n = c.numer()) {
                if (c.koniecNumeru('.') && !obecny.Artykul.empty()) {
                    TAdres adres;
                    adres.Artykul = obecny.Artykul;
                    adres.Ustep = *n;
                    nowa(std::move(adres), p);
                } else if (c.koniecNumeru(')')) {
                    TAdres adres = obecny;
                    adres.Punkt = *n;
                    adres.Litera.clear();
                    nowa(std::move(adres), p);
                }
            } else {
                c.i = przed;
                if (auto l = c.literaPunktu(); l && c.koniecNumeru(')') && !obecny.Punkt.empty()) {
                    TAdres adres = obecny;
                    adres.Litera = *l;
                    nowa(std::move(adres), p);
                }
            }
        }
        FJednostkaAkapitu[p] = wArtykule ? biezaca : -1;
    }
}

const TAdres& TIndeksJednostek::Adres(std::size_t akapit) const
{
    static const TAdres pusty;
    if (akapit >= FJednostkaAkapitu.size() || FJednostkaAkapitu[akapit] < 0)
        return pusty;
    return FJednostki[std::size_t(FJednostkaAkapitu[akapit])].Adres;
}

std::vector<std::string> TIndeksJednostek::Naglowki(std::size_t akapit) const
{
    std::vector<std::string> sciezka;
    if (akapit >= FWezelAkapitu.size())
        return sciezka;
    for (std::int32_t w = FWezelAkapitu[akapit]; w >= 0; w = FWezly[std::size_t(w)].Rodzic)
        sciezka.push_back(FWezly[std::size_t(w)].Tekst);
    std::reverse(sciezka.begin(), sciezka.end());
    return sciezka;
}

std::string TIndeksJednostek::OpisMiejsca(std::size_t akapit) const
{
    std::string t;
    for (const std::string& n : Naglowki(akapit)) {
        if (!t.empty())
            t += kStrzalka;
        t += n;
    }
    const std::string jednostka = OpisAdresu(Adres(akapit));
    if (!jednostka.empty()) {
        if (!t.empty())
            t += kStrzalka;
        t += jednostka;
    }
    return t;
}

std::optional<std::size_t> TIndeksJednostek::Znajdz(const TAdres& adres) const
{
    std::string klucz;
    if (!adres.Artykul.empty())
        klucz = naMale(adres.Artykul);
    else if (!adres.Ustep.empty())
        klucz = std::string(1, char(kParagraf)) + naMale(adres.Ustep);
    else
        return std::nullopt;
    const auto it = FPoczatki.find(klucz);
    if (it == FPoczatki.end())
        return std::nullopt;

    const std::size_t pierwsza = std::size_t(it->second);
    const TAdres& artykul = FJednostki[pierwsza].Adres;
    // The units of the article (or of the regulation's paragraph) follow its
    // first one; the first unit outside it ends the search.
    TAdres granica;
    granica.Artykul = artykul.Artykul;
    if (artykul.Artykul.empty())
        granica.Ustep = artykul.Ustep;
    TAdres szukany = adres;
    szukany.Artykul = artykul.Artykul;  // a range's own number
    for (std::size_t j = pierwsza; j < FJednostki.size(); ++j) {
        const TAdres& a = FJednostki[j].Adres;
        if (j > pierwsza && !wewnatrz(granica, a))
            break;
        if (wewnatrz(szukany, a))
            return FJednostki[j].Pierwszy;
    }
    return std::nullopt;
}

std::optional<std::pair<std::size_t, std::size_t>> TIndeksJednostek::Zakres(const TAdres& adres) const
{
    const auto pierwszy = Znajdz(adres);
    if (!pierwszy)
        return std::nullopt;
    TAdres szukany = adres;
    szukany.Artykul = Adres(*pierwszy).Artykul;
    std::size_t koniec = *pierwszy + 1;
    while (koniec < FJednostkaAkapitu.size() && FJednostkaAkapitu[koniec] >= 0 &&
           wewnatrz(szukany, FJednostki[std::size_t(FJednostkaAkapitu[koniec])].Adres))
        ++koniec;
    return std::make_pair(*pierwszy, koniec);
}
