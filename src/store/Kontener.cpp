#include "store/Kontener.h"

#include "store/Czytnik.h"
#include "store/Format.h"
#include "store/OknoPliku.h"
#include "store/Pliki.h"

bool TKontener::Otworz(const std::filesystem::path& plik, std::string* blad)
{
    auto nie = [&](std::string powod) {
        if (blad)
            *blad = std::move(powod);
        FKatalog.clear();
        return false;
    };
    FSciezka = plik;
    FKatalog.clear();
    FPlik.close();
    FPlik.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(plik, ec))
        return nie(komunikaty::NieMoznaOtworzyc(plik));
    FPlik.open(plik, std::ios::binary);
    if (!FPlik)
        return nie(komunikaty::NieMoznaOtworzyc(plik));
    FPlik.seekg(0, std::ios::end);
    FRozmiar = FPlik.tellg();
    FPlik.seekg(0);
    char naglowek[6] = {};
    FPlik.read(naglowek, 6);
    if (FPlik.gcount() < 3 || std::string_view(naglowek, 3) != format::kMagiaKontenera)
        return nie(komunikaty::ToNieRocznik());
    if (FPlik.gcount() < 6)
        return nie(komunikaty::UszkodzonyKatalog(plik));
    const std::int64_t n = std::int64_t(static_cast<unsigned char>(naglowek[4])) |
                           (std::int64_t(static_cast<unsigned char>(naglowek[5])) << 8);
    const std::int64_t dlugosc = format::kRozmiarWpisuKatalogu * (n + 1);
    FPoczatekKatalogu = FRozmiar - dlugosc;
    if (FPoczatekKatalogu < 6)
        return nie(komunikaty::UszkodzonyKatalog(plik));
    std::string katalog(std::size_t(dlugosc), '\0');
    FPlik.seekg(FPoczatekKatalogu);
    if (!FPlik.read(katalog.data(), dlugosc))
        return nie(komunikaty::BladOdczytu(plik));
    odczyt::Czytnik c(katalog);
    FKatalog.resize(std::size_t(n + 1));
    for (TDaneDZU& w : FKatalog) {
        c.czytaj(w.Przesuniecie);
        c.czytaj(w.Numer);
        c.czytaj(w.Pozycja);
        c.czytaj(w.Znacznik);
    }
    return true;
}

bool TKontener::Otwieralny(std::size_t i) const
{
    if (i >= FKatalog.size() || FKatalog[i].Znacznik != 0)
        return false;
    const auto p = ZnajdzPozycje(FKatalog, FKatalog[i].Numer, FKatalog[i].Pozycja, FPoczatekKatalogu);
    return p && p->Indeks == i;
}

bool TKontener::CzytajRekord(std::size_t i, std::string& rekord)
{
    rekord.clear();
    if (i >= FKatalog.size() || !FPlik.is_open())
        return false;
    const std::int64_t od = FKatalog[i].Przesuniecie;
    const std::int64_t koniec = i + 1 < FKatalog.size() ? FKatalog[i + 1].Przesuniecie : FPoczatekKatalogu;
    std::int64_t dl = 0;
    if (od < 0 || koniec > FRozmiar || __builtin_sub_overflow(koniec, od, &dl) || dl < 0)
        return false;
    // Only what the decoder can ever look at is read, so an entry whose
    // record runs on over damaged bytes costs no more than a sound one.
    char magia[3] = {};
    FPlik.clear();
    FPlik.seekg(od);
    if (dl >= 3 && FPlik.read(magia, 3) && std::string_view(magia, 3) == format::kMagiaRekordu) {
        odczyt::TOknoPliku okno(FPlik, od);
        dl = UzytecznaDlugoscRekordu(dl, okno);
    }
    rekord.resize(std::size_t(dl));
    FPlik.clear();
    FPlik.seekg(od);
    if (dl > 0 && !FPlik.read(rekord.data(), dl)) {
        rekord.clear();
        return false;
    }
    return true;
}
