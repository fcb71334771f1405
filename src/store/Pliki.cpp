#include "store/Pliki.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <thread>

#include "platform/core/Cp1250.h"

namespace {

std::string u(std::string_view utf8) { return cp1250::fromUtf8(utf8); }

std::string sciezkaTekstem(const std::filesystem::path& p) { return u(p.string()); }

// Bounds-checked little-endian reader over a byte range. A read that does not
// fit yields nothing: the target keeps its value and the reader moves to the
// end, so every later read yields nothing as well.
class Czytnik {
public:
    explicit Czytnik(std::string_view dane, std::size_t poz = 0) : d(dane), p(poz) {}

    template <typename T>
    bool czytaj(T& v)
    {
        if (d.size() - p < sizeof(T)) {
            p = d.size();
            return false;
        }
        std::make_unsigned_t<T> w = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            w |= std::make_unsigned_t<T>(static_cast<unsigned char>(d[p + i])) << (8 * i);
        v = static_cast<T>(w);
        p += sizeof(T);
        return true;
    }
    bool pomin(std::size_t n)
    {
        if (d.size() - p < n) {
            p = d.size();
            return false;
        }
        p += n;
        return true;
    }
    std::size_t zostalo() const { return d.size() - p; }
    std::size_t pozycja() const { return p; }
    std::string_view dane() const { return d; }

private:
    std::string_view d;
    std::size_t p;
};

// Number of elements of an array announced by a highest index (or count),
// limited to the elements whose bytes are actually present.
std::size_t ileDostepnych(std::int64_t ile, std::size_t rozmiar, const Czytnik& c)
{
    if (ile <= 0)
        return 0;
    return static_cast<std::size_t>(std::min<std::int64_t>(ile, std::int64_t(c.zostalo() / rozmiar)));
}

struct Naglowek {
    TRekordDZU r;
    std::uint16_t F = 0;   // anchor record count as announced
    std::uint16_t B = 0;   // footnote block count as announced (0 when F = 0)
    std::size_t strumien = 0;
};

bool czytajNaglowek(std::string_view rekord, Naglowek& n)
{
    if (rekord.size() < 3 || rekord.substr(0, 3) != format::kMagiaRekordu)
        return false;
    Czytnik c(rekord, 3);
    TRekordDZU& r = n.r;
    c.czytaj(r.Format);
    c.czytaj(r.H);
    c.czytaj(r.T);
    r.Szerokosc = 0;
    c.czytaj(r.Szerokosc);

    std::int32_t n1 = -1;
    c.czytaj(n1);
    {
        std::int64_t ile = std::int64_t(n1) + 1;
        std::size_t jest = ileDostepnych(ile, 2, c);
        r.Znaki.resize(jest);
        for (auto& z : r.Znaki) {
            c.czytaj(z.Kod);
            c.czytaj(z.Odstep);
        }
        if (std::int64_t(jest) < ile)
            c.pomin(c.zostalo());
    }

    std::int32_t n2 = -1;
    c.czytaj(n2);
    {
        std::int64_t ile = std::int64_t(n2) + 1;
        std::size_t jest = ileDostepnych(ile, 1, c);
        r.ZnakiWWierszu.assign(rekord.begin() + std::ptrdiff_t(c.pozycja()),
                               rekord.begin() + std::ptrdiff_t(c.pozycja() + jest));
        c.pomin(jest);
        if (std::int64_t(jest) < ile) {
            c.pomin(c.zostalo());
        } else {
            std::size_t jest2 = ileDostepnych(ile, 2, c);
            r.SlowaWWierszu.resize(jest2);
            for (auto& s : r.SlowaWWierszu)
                c.czytaj(s);
            if (std::int64_t(jest2) < ile)
                c.pomin(c.zostalo());
        }
    }

    std::uint16_t n3 = 0;
    if (c.czytaj(n3)) {
        std::int64_t ile = std::int64_t(n3) + 1;
        std::size_t jest = ileDostepnych(ile, 1, c);
        r.Art.assign(rekord.begin() + std::ptrdiff_t(c.pozycja()),
                     rekord.begin() + std::ptrdiff_t(c.pozycja() + jest));
        c.pomin(jest);
        if (std::int64_t(jest) < ile)
            c.pomin(c.zostalo());
    }

    if (c.czytaj(n.F) && n.F > 0) {
        r.Przypisy.reserve(std::min<std::size_t>(n.F, c.zostalo() / 6));
        for (unsigned i = 0; i < n.F && c.zostalo() >= 6; ++i) {
            TPrzypis p;
            std::uint16_t k = 0;
            c.czytaj(p.NumerWiersza);
            c.czytaj(k);
            std::int64_t ile = std::int64_t(k) + 1;
            std::size_t jest = ileDostepnych(ile, 2, c);
            p.Miejsca.resize(jest);
            for (auto& m : p.Miejsca)
                c.czytaj(m);
            r.Przypisy.push_back(std::move(p));
            if (std::int64_t(jest) < ile) {
                c.pomin(c.zostalo());
                break;
            }
        }
        if (r.Przypisy.size() < n.F)
            c.pomin(c.zostalo());
        if (c.czytaj(n.B)) {
            std::size_t jest = ileDostepnych(n.B, 1, c);
            r.Bloki.assign(rekord.begin() + std::ptrdiff_t(c.pozycja()),
                           rekord.begin() + std::ptrdiff_t(c.pozycja() + jest));
            c.pomin(jest);
            if (jest < n.B)
                c.pomin(c.zostalo());
        }
    }
    c.czytaj(r.U);
    n.strumien = c.pozycja();
    return true;
}

// ---------------------------------------------------------------------------
// The decoder of one act record.
class Dekoder {
public:
    Dekoder(const Naglowek& n, std::string_view rekord, const TSlownik& slownik)
        : r(n.r), F(n.F), B(n.B), strumien(rekord.substr(n.strumien)), slownik(slownik),
          bajty(BajtyIndeksu(n.r.Szerokosc)), Z(n.r.Znaki)
    {
        liczbaLinii = std::min(r.ZnakiWWierszu.size(), r.SlowaWWierszu.size());
        hPrim = r.H == 0 ? 0 : r.H - 1;
        dystans = (!Z.empty() && Z[0].Odstep != 0) ? 1 : 0;
        plik.emplace_back();
        // Reserve what the record announces, within what the bytes can hold.
        plik.reserve(std::min<std::size_t>(liczbaLinii + 1, 1u << 20));
        bufor.reserve(256);
    }

    void dekoduj(TListaNapisow& tekst, TListaNapisow& przypisy)
    {
        tekst.clear();
        przypisy.clear();
        listaTekstu = &tekst;
        wybierzKotwice();

        glowny = true;
        for (std::int64_t i = 0; i <= r.T && !wyczerpany; ++i)
            iteracja();

        numerZnacznika = 0;
        liniaPrzypisu = 0;
        if (F > 0 && B > 0) {
            glowny = false;
            listaPrzypisow = &przypisy;
            for (std::int64_t i = slowaPrzeczytane; i <= r.U && !wyczerpany; ++i)
                iteracja();
        }
        if (!plik.empty())
            plik.pop_back();
    }

    TPlik plik;
    std::uint64_t brakujaceSlowa = 0;   // word indices beyond the dictionary

private:
    // Per-line tables: an index beyond a table counts as a missing entry (0).
    std::uint8_t znakiW(std::size_t l) const { return l < liczbaLinii ? r.ZnakiWWierszu[l] : 0; }
    std::uint16_t slowaW(std::size_t l) const { return l < liczbaLinii ? r.SlowaWWierszu[l] : 0; }
    std::uint8_t artW(std::size_t l) const { return l < r.Art.size() ? r.Art[l] : 0; }

    void dopisz(const TZnak& z) { bufor.append(ZnakKodu(z.Kod).Znaki); }

    void dopiszZOdstepami(const TZnak& z)
    {
        const TZnakKodu& k = ZnakKodu(z.Kod);
        if (!k.SpacjaPrzed && !bufor.empty())
            bufor.pop_back();
        bufor.append(k.Znaki);
        if (k.SpacjaPo)
            bufor.push_back(' ');
    }

    void iteracja()
    {
        // Opening parenthesis due before the first token of a line.
        if (tokenyWLinii == 0 && kursorZnakow < Z.size() &&
            Z[kursorZnakow].Odstep + baza == tokenyRazem && Z[kursorZnakow].Kod == 7) {
            bufor.push_back('(');
            baza += Z[kursorZnakow].Odstep;
            ++kursorZnakow;
            ++znakowWLinii;
            dystans = 1;
        }

        std::uint8_t art = glowny ? artW(linia) : 0;
        if (glowny && tokenyWLinii == 0 && art != 0) {
            TWiersz& w = plik.back();
            w.clear();
            w.push_back(TTekst{art, SlowoNaglowka(art)});
            bufor.assign(1, ' ');
        } else {
            if (!glowny && tokenyWLinii == 0)
                bufor.assign(1, ' ');
            znacznikiPrzed();
            czytajSlowo();
        }
        ++tokenyWLinii;
        ++tokenyRazem;

        if (kursorZnakow < Z.size() && Z[kursorZnakow].Odstep == dystans) {
            dopiszZOdstepami(Z[kursorZnakow]);
            while (kursorZnakow + 1 < Z.size() && Z[kursorZnakow + 1].Odstep == 0) {
                dopiszZOdstepami(Z[kursorZnakow + 1]);
                ++kursorZnakow;
                ++znakowWLinii;
            }
            ++kursorZnakow;
            baza += dystans;
            ++znakowWLinii;
            dystans = 0;
        }
        ++dystans;

        if (slowaW(linia) == tokenyWLinii)
            koniecLinii();
    }

    void czytajSlowo()
    {
        ++slowaPrzeczytane;
        if (bajty == 0) {
            // An unknown width reads nothing; the stream's size still bounds
            // the number of iterations so a damaged T cannot loop for ever.
            if (std::uint64_t(slowaPrzeczytane) >= strumien.size())
                wyczerpany = true;
            return;
        }
        if (strumien.size() - pozycja < std::size_t(bajty)) {
            // The stream ended early: an empty word, and the pass stops here.
            wyczerpany = true;
            bufor.push_back(' ');
            return;
        }
        std::uint32_t indeks = 0;
        for (int i = 0; i < bajty; ++i)
            indeks |= std::uint32_t(static_cast<unsigned char>(strumien[pozycja + i])) << (8 * i);
        pozycja += bajty;
        if (indeks < slownik.size())
            bufor.append(slownik[indeks].Slowo);
        else
            ++brakujaceSlowa;
        bufor.push_back(' ');
    }

    void uruchomZnaki()
    {
        if (kursorZnakow < Z.size() && Z[kursorZnakow].Odstep == dystans) {
            dopisz(Z[kursorZnakow]);
            while (kursorZnakow + 1 < Z.size() && Z[kursorZnakow + 1].Odstep == 0) {
                dopisz(Z[kursorZnakow + 1]);
                ++kursorZnakow;
                ++znakowWLinii;
            }
            ++kursorZnakow;
            ++znakowWLinii;
            dystans = 0;
        }
    }

    void postawZnacznik(bool przed)
    {
        ++kursorKotwicy;
        ++numerZnacznika;
        // The footnote pass adds no paragraphs, so its marks land in the
        // last paragraph, which the decoding drops at its end: they are not
        // kept at all (a damaged record can place thousands on every line).
        if (glowny) {
            TWiersz& w = plik.back();
            w.push_back(TTekst{rTekst, bufor});
            w.push_back(TTekst{rPrzypis, {}});
        }
        if (przed)
            bufor.assign(1, ' ');
        else
            bufor.clear();
        ++dystans;
        ++tokenyRazem;
    }

    // Punctuation standing right after the footnote marks just placed.
    void poZnacznikach(bool przed)
    {
        if (kursorZnakow >= Z.size())
            return;
        const std::uint8_t odstep = Z[kursorZnakow].Odstep;
        if (odstep == 1 || (przed && odstep == dystans - 1)) {
            if (odstep == 1)
                dystans = 1;
            else
                --dystans;
            if (przed && !bufor.empty())
                bufor.pop_back();
            uruchomZnaki();
            ++dystans;
            bufor.push_back(' ');
            baza += odstep;
        }
    }

    void znacznikiPrzed()
    {
        if (aktywna && kursorKotwicy < aktywna->Miejsca.size() &&
            aktywna->Miejsca[kursorKotwicy] == tokenyWLinii) {
            postawZnacznik(true);
            poZnacznikach(true);
        }
    }

    void znacznikiPo()
    {
        if (!aktywna || kursorKotwicy >= aktywna->Miejsca.size())
            return;
        if (glowny) {
            while (kursorKotwicy < aktywna->Miejsca.size())
                postawZnacznik(false);
        } else {
            // In the footnote pass the record of the first footnote line
            // stays active on every line; its marks are counted, not placed
            // one by one.
            const std::size_t ile = aktywna->Miejsca.size() - kursorKotwicy;
            kursorKotwicy = aktywna->Miejsca.size();
            numerZnacznika += std::int64_t(ile);
            dystans += std::int64_t(ile);
            tokenyRazem += std::int64_t(ile);
            bufor.clear();
        }
        poZnacznikach(false);
    }

    // The first record at or after the cursor whose line is this line. The
    // records are indexed by line once, so a long text with many anchors
    // does not rescan the remaining records at every line.
    void wybierzKotwice()
    {
        aktywna = nullptr;
        if (r.Przypisy.empty() || linia > 0xFFFF)
            return;
        if (kotwice.empty()) {
            kotwice.reserve(r.Przypisy.size());
            for (std::size_t i = 0; i < r.Przypisy.size(); ++i)
                kotwice.emplace_back(r.Przypisy[i].NumerWiersza, i);
            std::sort(kotwice.begin(), kotwice.end());
        }
        const auto it = std::lower_bound(kotwice.begin(), kotwice.end(),
                                         std::make_pair(std::uint16_t(linia), kursorRekordow));
        if (it != kotwice.end() && it->first == linia) {
            aktywna = &r.Przypisy[it->second];
            kursorRekordow = it->second + 1;
        }
    }

    void koniecLinii()
    {
        const std::uint8_t znakiLinii = znakiW(linia);
        std::int64_t nadmiar = 0;
        if (znakowWLinii > 0 && znakiLinii > 0 && znakiLinii < znakowWLinii)
            nadmiar = znakowWLinii - znakiLinii;

        const std::size_t n = std::min<std::size_t>(std::size_t(nadmiar) + 1, bufor.size());
        przeniesienie.clear();
        for (std::size_t i = bufor.size() - n; i < bufor.size(); ++i)
            if (bufor[i] != ' ')
                przeniesienie.push_back(bufor[i]);
        bufor.resize(bufor.size() - n);

        znacznikiPo();

        if (F > 0 && znakiLinii > znakowWLinii) {
            const std::int64_t roznica = znakiLinii - znakowWLinii;
            --dystans;
            for (std::int64_t i = 0; i < roznica; ++i)
                uruchomZnaki();
            ++dystans;
        }

        if (glowny) {
            plik.back().push_back(TTekst{rTekst, bufor});
            bufor.clear();
            if (std::int64_t(linia) > hPrim)
                listaTekstu->emplace_back();
            tokenyWLinii = 0;
            kursorKotwicy = 0;
            znakowWLinii = 0;
            bufor = przeniesienie;
            ++linia;
            wybierzKotwice();
            if (linia < liczbaLinii)
                plik.emplace_back();
        } else {
            if (numerZnacznika >= 515)
                std::this_thread::yield();
            if (liniaPrzypisu == 0) {
                listaPrzypisow->emplace_back();
                std::string s = "(" + std::to_string(numerZnacznika + 1) + ") ";
                s += bufor;
                listaPrzypisow->push_back(std::move(s));
            } else {
                listaPrzypisow->push_back(bufor);
            }
            tokenyWLinii = 0;
            kursorKotwicy = 0;
            znakowWLinii = 0;
            bufor = przeniesienie;
            ++linia;
            if (numerZnacznika >= 0 && std::uint64_t(numerZnacznika) < r.Bloki.size() &&
                r.Bloki[std::size_t(numerZnacznika)] == liniaPrzypisu) {
                ++numerZnacznika;
                liniaPrzypisu = 0;
            } else {
                ++liniaPrzypisu;
            }
        }
    }

    const TRekordDZU& r;
    const std::uint16_t F;
    const std::uint16_t B;
    const std::string_view strumien;
    const TSlownik& slownik;
    const int bajty;
    const TZnaki& Z;
    std::size_t liczbaLinii = 0;
    std::int64_t hPrim = 0;

    std::string bufor;
    std::string przeniesienie;
    std::size_t pozycja = 0;           // in the token stream
    bool wyczerpany = false;
    bool glowny = true;
    std::size_t linia = 0;
    std::int64_t tokenyWLinii = 0;
    std::int64_t tokenyRazem = 0;
    std::size_t kursorZnakow = 0;
    std::int64_t dystans = 0;
    std::int64_t baza = 0;
    std::int64_t znakowWLinii = 0;
    std::int64_t slowaPrzeczytane = 0;
    std::size_t kursorRekordow = 0;
    const TPrzypis* aktywna = nullptr;
    std::size_t kursorKotwicy = 0;
    std::int64_t numerZnacznika = 0;
    std::int64_t liniaPrzypisu = 0;
    TListaNapisow* listaTekstu = nullptr;
    TListaNapisow* listaPrzypisow = nullptr;
    std::vector<std::pair<std::uint16_t, std::size_t>> kotwice;   // (line, record index), sorted
};

struct WierszKodeksu {
    std::string tytul, duze, male;
};

const std::array<WierszKodeksu, kLiczbaKodeksow>& kodeksy()
{
    static const std::array<WierszKodeksu, kLiczbaKodeksow> t = {{
        {u("Kodeks cywilny"), u("KODEKS CYWILNY"), ""},
        {u("Kodeks karny skarbowy"), u("KODEKS KARNY SKARBOWY"), ""},
        {u("Kodeks karny wykonawczy"), u("KODEKS KARNY WYKONAWCZY"), ""},
        {u("Kodeks karny"), u("KODEKS KARNY"), ""},
        {u("Kodeks morski"), u("KODEKS MORSKI"), ""},
        {u("Kodeks postępowania administracyjnego"), u("KODEKS POSTĘPOWANIA ADMINISTRACYJNEGO"),
         u("kodeks postępowania administracyjnego")},
        {u("Kodeks postępowania cywilnego"), u("KODEKS POSTĘPOWANIA CYWILNEGO"),
         u("kodeks postępowania cywilnego")},
        {u("Kodeks postępowania karnego"), u("KODEKS POSTĘPOWANIA KARNEGO"),
         u("kodeks postępowania karnego")},
        {u("Kodeks postępowania w sprawach o wykroczenia"),
         u("KODEKS POSTĘPOWANIA W SPRAWACH O WYKROCZENIA"),
         u("kodeks postępowania w sprawach o wykroczenia")},
        {u("Kodeks pracy"), u("KODEKS PRACY"), ""},
        {u("Kodeks rodzinny i opiekuńczy"), u("KODEKS RODZINNY I OPIEKUŃCZY"),
         u("kodeks rodzinny i opiekuńczy")},
        {u("Kodeks spółek handlowych"), u("KODEKS SPÓŁEK HANDLOWYCH"),
         u("kodeks spółek handlowych")},
        {u("Kodeks wykroczeń"), u("KODEKS WYKROCZEŃ"), u("kodeks wykroczeń")},
        {u("Konstytucja Rzeczypospolitej Polskiej"), u("KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ"),
         u("konstytucja rzeczypospolitej polskiej")},
        {u("Ordynacja podatkowa"), "", ""},
    }};
    return t;
}

std::string duzeAscii(std::string_view s)
{
    std::string w(s);
    for (char& c : w)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return w;
}

std::string maleAscii(std::string_view s)
{
    std::string w(s);
    for (char& c : w)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return w;
}

// The integer parser: a non-empty run of digits up to 2147483647, stored in
// 16 bits. The segments hold digits only, so these are the only failures.
std::uint16_t liczba16(const std::string& segment)
{
    if (segment.empty())
        throw EBladKonwersji(komunikaty::NieprawidlowaLiczba(segment));
    std::int64_t w = 0;
    for (char c : segment) {
        w = w * 10 + (c - '0');
        if (w > std::numeric_limits<std::int32_t>::max())
            throw EBladKonwersji(komunikaty::NieprawidlowaLiczba(segment));
    }
    return static_cast<std::uint16_t>(w & 0xFFFF);
}

} // namespace

// ---------------------------------------------------------------------------

namespace komunikaty {
std::string NieprawidlowySlownik() { return u("Nieprawidłowy słownik."); }
std::string ToNieRocznik() { return u("To nie jest plik rocznika Dziennika Ustaw."); }
std::string ToNieDziennik() { return u("To nie jest plik Dziennika Ustaw."); }
std::string NieMa(std::string_view nazwa) { return "Nie ma: " + std::string(nazwa); }
std::string BrakTresciPrzypisow() { return u("Brak treści przypisów!"); }
std::string NieprawidlowaLiczba(std::string_view segment)
{
    return "'" + std::string(segment) + u("' nie jest prawidłową liczbą całkowitą.");
}
std::string NieMoznaOtworzyc(const std::filesystem::path& plik)
{
    return u("Nie można otworzyć pliku ") + sciezkaTekstem(plik) + ".";
}
std::string BladOdczytu(const std::filesystem::path& plik)
{
    return u("Błąd odczytu pliku ") + sciezkaTekstem(plik) + ".";
}
std::string UszkodzonyKatalog(const std::filesystem::path& plik)
{
    return u("Uszkodzony spis dokumentów w pliku ") + sciezkaTekstem(plik) + ".";
}
std::string UszkodzonySlownik(const std::filesystem::path& plik)
{
    return u("Słownik ") + sciezkaTekstem(plik) +
           u(" jest uszkodzony: tekstów odczytanych z jego pomocą nie można być pewnym.");
}
std::string BrakSlow(std::string_view nazwa, std::uint64_t ile)
{
    return u("Nie można odczytać tekstu „") + std::string(nazwa) + u("”: w słowniku brakuje ") +
           std::to_string(ile) + u(" jego słów. Słownik jest uszkodzony albo nie pasuje do danych.");
}
std::string NiepewnySlownik(std::string_view nazwa)
{
    return u("Nie można odczytać tekstu „") + std::string(nazwa) +
           u("”: słownik, z którego pochodzą jego słowa, jest uszkodzony.");
}
std::string BrakPamieci(const std::filesystem::path& plik)
{
    return u("Za mało pamięci, by odczytać plik ") + sciezkaTekstem(plik) + ".";
}
} // namespace komunikaty

const std::string& TytulKodeksu(int indeks)
{
    static const std::string pusty;
    if (indeks < 0 || indeks >= kLiczbaKodeksow)
        return pusty;
    return kodeksy()[std::size_t(indeks)].tytul;
}

TNumerPozycjaDZU RozbierzNazwe(std::string_view nazwa)
{
    TNumerPozycjaDZU klucz;
    int kropki = 0;
    std::string segment;
    for (char c : nazwa) {
        if (c >= '0' && c <= '9') {
            segment.push_back(c);
        } else if (c == '.') {
            if (kropki == 2)
                klucz.Rok = segment;
            else if (kropki == 3)
                klucz.Numer = liczba16(segment);
            segment.clear();
            ++kropki;
        }
    }
    if (!segment.empty()) {
        klucz.Pozycja = liczba16(segment);
        return klucz;
    }

    klucz.Rok = std::string(kNazwaKodeksow);
    const std::string duze = duzeAscii(nazwa);
    const std::string male = maleAscii(nazwa);
    int indeks = kLiczbaKodeksow - 1;
    for (int i = 0; i < kLiczbaKodeksow; ++i) {
        const WierszKodeksu& w = kodeksy()[std::size_t(i)];
        if ((!w.duze.empty() && duze == w.duze) || (!w.male.empty() && male == w.male)) {
            indeks = i;
            break;
        }
    }
    klucz.Numer = klucz.Pozycja = static_cast<std::uint16_t>(indeks);
    return klucz;
}

std::optional<TNumerPozycjaDZU> SprobujRozbierzNazwe(std::string_view nazwa, std::string* blad)
{
    try {
        return RozbierzNazwe(nazwa);
    } catch (const EBladKonwersji& e) {
        if (blad)
            *blad = e.what();
        return std::nullopt;
    }
}

std::filesystem::path SciezkaKontenera(const std::filesystem::path& folder,
                                       const TNumerPozycjaDZU& klucz)
{
    return folder / (klucz.Rok + ".rdu");
}

std::string TytulPozycji(std::string_view rok, const TDaneDZU& wpis)
{
    if (rok == kNazwaKodeksow) {
        if (wpis.Numer == wpis.Pozycja && wpis.Numer < kLiczbaKodeksow)
            return TytulKodeksu(wpis.Numer);
        return {};
    }
    return "Dz.U." + std::string(rok) + "." + std::to_string(wpis.Numer) + "." +
           std::to_string(wpis.Pozycja);
}

std::optional<TPolozenieRekordu> ZnajdzPozycje(const TTabDaneDZU& katalog, std::uint16_t numer,
                                               std::uint16_t pozycja,
                                               std::int64_t poczatekKatalogu)
{
    for (std::size_t i = 0; i < katalog.size(); ++i) {
        const TDaneDZU& w = katalog[i];
        if (w.Numer == numer && w.Pozycja == pozycja && w.Znacznik == 0) {
            const std::int64_t koniec =
                i + 1 < katalog.size() ? katalog[i + 1].Przesuniecie : poczatekKatalogu;
            TPolozenieRekordu p;
            p.Przesuniecie = w.Przesuniecie;
            // Damaged offsets may be anywhere in 64 bits.
            if (__builtin_sub_overflow(koniec, w.Przesuniecie, &p.Dlugosc))
                p.Dlugosc = -1;
            p.Indeks = i;
            return p;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------

const TZnakKodu& ZnakKodu(std::uint8_t kod)
{
    static const std::array<TZnakKodu, 256> tablica = [] {
        std::array<TZnakKodu, 256> t{};
        static const std::string ascii = std::string(" \"") + "#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
        // Code 1 is space + quotation mark; codes 2..31 one character each.
        t[1].Znaki = std::string_view(ascii).substr(0, 2);
        for (int k = 2; k <= 31; ++k)
            t[std::size_t(k)].Znaki = std::string_view(ascii).substr(std::size_t(k), 1);
        static const char bajty[] = "\x89\x8B\x91\x92\x93" "\x94" "\x95\x96\x9B\xA1\xA2"
                                    "\x00" "\xA8\xA9\xAB\xAD\xAE\xB0\xB1\xB2\xB4\xB6\xB7\xB8\xBB\xBD\xD7\xF7\xFF";
        for (int k = 34; k <= 62; ++k) {
            if (k == 45)
                continue;
            t[std::size_t(k)].Znaki = std::string_view(&bajty[k - 34], 1);
        }
        static const char cudzyslow[] = " \x94";
        t[39].Znaki = std::string_view(cudzyslow, 2);
        for (int k : {6, 8, 11, 13, 15, 16, 20, 24, 30, 34, 37, 39, 50, 51, 59})
            t[std::size_t(k)].SpacjaPrzed = false;
        for (int k : {7, 14, 22, 23, 26, 28, 29})
            t[std::size_t(k)].SpacjaPo = false;
        return t;
    }();
    return tablica[kod];
}

const std::string& SlowoNaglowka(std::uint8_t kod)
{
    static const std::array<std::string, 256> slowa = [] {
        std::array<std::string, 256> s{};
        const char* utf8[] = {"ART", "Art", "§", "", "", "Ustawa", "USTAWA", "Kodeks", "KODEKS",
                              "Część", "CZĘŚĆ", "Księga", "KSIĘGA", "Tytuł", "TYTUŁ", "Dział",
                              "DZIAŁ", "Rozdział", "ROZDZIAŁ", "Oddział", "ODDZIAŁ",
                              "Konstytucja", "KONSTYTUCJA"};
        for (int k = 1; k <= 23; ++k)
            s[std::size_t(k)] = u(utf8[k - 1]);
        return s;
    }();
    return slowa[kod];
}

// ---------------------------------------------------------------------------

bool CzytajNaglowekRekordu(std::string_view rekord, TRekordDZU& wynik, std::size_t& strumien)
{
    Naglowek n;
    if (!czytajNaglowek(rekord, n))
        return false;
    wynik = std::move(n.r);
    strumien = n.strumien;
    return true;
}

void DekodujRekord(std::string_view rekord, const TSlownik& slownik, TKomunikaty* komunikaty,
                   TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik,
                   std::uint64_t* brakujaceSlowa)
{
    if (brakujaceSlowa)
        *brakujaceSlowa = 0;
    if (rekord.empty())
        return;
    Naglowek n;
    if (!czytajNaglowek(rekord, n)) {
        if (komunikaty)
            komunikaty->Komunikat(komunikaty::ToNieDziennik());
        plik.clear();
        return;
    }
    if (n.F > 0 && n.B == 0 && komunikaty)
        komunikaty->Komunikat(komunikaty::BrakTresciPrzypisow());
    // The lists are filled aside and handed over at the end, so a failure
    // (no memory) halfway leaves the caller's lists as they were.
    Dekoder d(n, rekord, slownik);
    TListaNapisow nowyTekst, nowePrzypisy;
    d.dekoduj(nowyTekst, nowePrzypisy);
    tekst.swap(nowyTekst);
    przypisy.swap(nowePrzypisy);
    plik = std::move(d.plik);
    if (brakujaceSlowa)
        *brakujaceSlowa = d.brakujaceSlowa;
}

std::int64_t UzytecznaDlugoscRekordu(std::int64_t dlugosc, TZrodloBajtow& zrodlo)
{
    std::int64_t p = 3;   // past the magic
    auto czytaj = [&](auto& v) {
        constexpr std::int64_t n = sizeof v;
        unsigned char b[sizeof v];
        if (dlugosc - p < n || !zrodlo.Czytaj(p, sizeof v, reinterpret_cast<char*>(b)))
            return false;
        std::make_unsigned_t<std::remove_reference_t<decltype(v)>> w = 0;
        for (std::size_t i = 0; i < sizeof v; ++i)
            w |= decltype(w)(b[i]) << (8 * i);
        v = static_cast<std::remove_reference_t<decltype(v)>>(w);
        p += n;
        return true;
    };
    // Skips a table of `ile` elements of `rozmiar` bytes (none when ile <= 0).
    auto pomin = [&](std::int64_t ile, std::int64_t rozmiar) {
        const std::int64_t n = ile > 0 ? ile * rozmiar : 0;
        if (dlugosc - p < n)
            return false;
        p += n;
        return true;
    };
    std::uint8_t format = 0, h = 0, szerokosc = 0;
    std::int32_t ostatniGlowny = -1, n1 = -1, n2 = -1, ostatniPrzypisu = -1;
    std::uint16_t n3 = 0, f = 0, b = 0;
    if (!czytaj(format) || !czytaj(h) || !czytaj(ostatniGlowny) || !czytaj(szerokosc) || !czytaj(n1) ||
        !pomin(std::int64_t(n1) + 1, 2) || !czytaj(n2) || !pomin(std::int64_t(n2) + 1, 3) ||
        !czytaj(n3) || !pomin(std::int64_t(n3) + 1, 1) || !czytaj(f))
        return dlugosc;
    for (unsigned i = 0; i < f; ++i) {
        std::uint16_t linia = 0, k = 0;
        if (!czytaj(linia) || !czytaj(k) || !pomin(std::int64_t(k) + 1, 2))
            return dlugosc;
    }
    if (f > 0 && (!czytaj(b) || !pomin(b, 1)))
        return dlugosc;
    if (!czytaj(ostatniPrzypisu))
        return dlugosc;
    // Each pass reads at most one index per iteration; an unknown width
    // reads none but is still bounded by the stream's length, one byte per
    // iteration. A few bytes to spare keep that bound out of reach.
    const std::int64_t bajty = std::max(1, BajtyIndeksu(szerokosc));
    const std::int64_t slowa = std::max<std::int64_t>(0, std::int64_t(ostatniGlowny) + 1) +
                               (f > 0 && b > 0 ? std::max<std::int64_t>(0, std::int64_t(ostatniPrzypisu) + 1) : 0);
    const std::int64_t strumien = bajty * slowa + 8;
    return dlugosc - p < strumien ? dlugosc : p + strumien;
}
