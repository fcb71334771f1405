#include "store/Dekoder.h"

#include "platform/core/Cp1250.h"

namespace odczyt {

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

} // namespace odczyt

bool CzytajNaglowekRekordu(std::string_view rekord, TRekordDZU& wynik, std::size_t& strumien)
{
    odczyt::Naglowek n;
    if (!odczyt::czytajNaglowek(rekord, n))
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
    odczyt::Naglowek n;
    if (!odczyt::czytajNaglowek(rekord, n)) {
        if (komunikaty)
            komunikaty->Komunikat(komunikaty::ToNieDziennik());
        plik.clear();
        return;
    }
    if (n.F > 0 && n.B == 0 && komunikaty)
        komunikaty->Komunikat(komunikaty::BrakTresciPrzypisow());
    // The lists are filled aside and handed over at the end, so a failure
    // (no memory) halfway leaves the caller's lists as they were.
    odczyt::Dekoder<false> d(n, rekord, slownik);
    TListaNapisow nowyTekst, nowePrzypisy;
    d.dekoduj(nowyTekst, nowePrzypisy);
    tekst.swap(nowyTekst);
    przypisy.swap(nowePrzypisy);
    plik = std::move(d.plik);
    if (brakujaceSlowa)
        *brakujaceSlowa = d.brakujaceSlowa;
}

std::string OstatnieLitery(const TSlownik& slownik)
{
    std::string o(slownik.size(), '\0');
    for (std::size_t i = 0; i < slownik.size(); ++i)
        if (!slownik[i].Slowo.empty())
            o[i] = slownik[i].Slowo.back();
    return o;
}

bool DekodujLinie(std::string_view rekord, const TSlownik& slownik, const std::vector<std::size_t>& linie,
                  std::vector<TLiniaRekordu>& wynik, std::string_view ostatnie,
                  const std::vector<std::size_t>* tylkoPoczatki)
{
    odczyt::Naglowek n;
    if (!odczyt::czytajNaglowek(rekord, n))
        return false;
    if (linie.empty())
        return true;
    odczyt::Dekoder<true> d(n, rekord, slownik);
    d.dekodujLinie(linie, wynik, ostatnie.size() == slownik.size() ? ostatnie : std::string_view(), tylkoPoczatki);
    return true;
}
