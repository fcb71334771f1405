#include "LinkCommands.h"

#include <cstdio>
#include <filesystem>

#include "Json.h"
#include "links/Biblioteka.h"
#include "links/Odnosniki.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

namespace {

// The footnotes as the reader's footnote windows show them: from a line
// that starts with "(" to the empty line before the next one.
std::vector<std::pair<std::size_t, std::size_t>> przypisy(const TListaNapisow& linie)
{
    std::vector<std::pair<std::size_t, std::size_t>> bloki;
    for (std::size_t n = 0; n < linie.size(); ++n) {
        if (!linie[n].empty() && linie[n][0] == '(')
            bloki.push_back({n, n + 1});
        else if (!bloki.empty() && bloki.back().second == n && !linie[n].empty())
            bloki.back().second = n + 1;
    }
    return bloki;
}

std::string opisCelu(const TCel& c, bool json)
{
    const std::string jednostka = OpisAdresu(c.Adres);
    switch (c.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        if (json)
            return "{\"act\": " + jsonNapis(NazwaAktu(c.Akt)) +
                   (c.DawnaNazwa.empty() ? "" : ", \"written\": " + jsonNapis(c.DawnaNazwa)) + "}";
        return NazwaAktu(c.Akt);
    case TRodzajOdnosnika::ArtykulAktu:
        if (json)
            return "{\"act\": " + jsonNapis(NazwaAktu(c.Akt)) + ", \"unit\": " + jsonNapis(jednostka) + "}";
        return NazwaAktu(c.Akt) + " " + cp1250::toUtf8(jednostka);
    case TRodzajOdnosnika::Artykul:
    case TRodzajOdnosnika::ArtykulKodeksu: {
        const std::string kod = c.Kodeks >= 0 ? TytulKodeksu(c.Kodeks) : std::string();
        if (json)
            return std::string("{\"code\": ") + (kod.empty() ? "null" : jsonNapis(kod)) +
                   ", \"unit\": " + jsonNapis(jednostka) + "}";
        return (kod.empty() ? std::string() : cp1250::toUtf8(kod) + " ") + cp1250::toUtf8(jednostka);
    }
    }
    return {};
}

} // namespace

int LinksCommand(const std::vector<std::string>& args)
{
    bool json = false;
    std::vector<std::string> reszta;
    for (const auto& a : args) {
        if (a == "--json")
            json = true;
        else
            reszta.push_back(a);
    }
    if (reszta.size() != 3) {
        std::fprintf(stderr, "usage: lumesta-tool links [--json] DICTIONARY DATAFOLDER NAME\n");
        return 2;
    }
    const std::filesystem::path slownik = reszta[0];
    const std::filesystem::path folder = reszta[1];
    const std::string nazwa = cp1250::fromUtf8(reszta[2]);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(slownik, ec)) {
        std::fprintf(stderr, "lumesta-tool: no dictionary file %s\n", slownik.string().c_str());
        return 1;
    }

    Komunikaty k(json);
    TBiblioteka dane(&k);
    dane.Dodaj(slownik, folder);
    const std::string znacznik = "\x01\x02 untouched";
    TListaNapisow tekst{znacznik}, linie, tytuly;
    TPlik plik;
    dane.OtworzDokument(nazwa, tekst, linie, plik, true, tytuly);
    const bool zdekodowany = !(tekst.size() == 1 && tekst[0] == znacznik);
    if (!zdekodowany) {
        if (json)
            std::printf("{\"links\": [], \"messages\": []}\n");
        std::fprintf(stderr, "lumesta-tool: %s was not decoded\n", reszta[2].c_str());
        return 1;
    }

    const TIndeksJednostek jednostki(plik);
    TZrodloOdnosnikow zrodlo;
    zrodlo.Jednostki = &jednostki;
    if (const auto klucz = SprobujRozbierzNazwe(nazwa); klucz && klucz->Rok == kNazwaKodeksow)
        zrodlo.Kodeks = klucz->Numer;
    // Other codes are decoded too, to tell whether the units cited exist.
    const TBibliotekaDanych biblioteka(dane, true);

    struct Wpis {
        bool przypis;
        TOdnosnik odnosnik;
    };
    std::vector<Wpis> wpisy;
    for (TOdnosnik& o : OdnosnikiTresci(plik, zrodlo, biblioteka))
        wpisy.push_back({false, std::move(o)});
    for (const auto& [od, do_] : przypisy(linie)) {
        const std::vector<std::string> blok(linie.begin() + std::ptrdiff_t(od), linie.begin() + std::ptrdiff_t(do_));
        for (TOdnosnik& o : OdnosnikiPrzypisu(blok, zrodlo, biblioteka)) {
            for (TMiejsceOdnosnika& m : o.Miejsca)
                m.Linia += od;
            wpisy.push_back({true, std::move(o)});
        }
    }

    auto tekstMiejsca = [&](bool przypis, const TMiejsceOdnosnika& m) {
        std::string t;
        if (przypis) {
            t = linie[m.Linia];
        } else {
            for (const TTekst& p : plik[m.Linia])
                t += p.Tekst;
        }
        return t.substr(m.Od, m.Dlugosc);
    };

    std::string o = json ? "{\"links\": [" : "";
    for (std::size_t i = 0; i < wpisy.size(); ++i) {
        const Wpis& w = wpisy[i];
        const TMiejsceOdnosnika& m = w.odnosnik.Miejsca.at(0);
        std::string cytat;
        for (const TMiejsceOdnosnika& c : w.odnosnik.Miejsca)
            cytat += tekstMiejsca(w.przypis, c);
        if (json) {
            o += i ? ", " : "";
            o += "{\"kind\": \"" + std::string(NazwaRodzaju(w.odnosnik.Cel.Rodzaj)) + "\", \"footnote\": " +
                 (w.przypis ? "true" : "false") + ", \"line\": " + std::to_string(m.Linia) +
                 ", \"offset\": " + std::to_string(m.Od) + ", \"length\": " + std::to_string(m.Dlugosc) +
                 ", \"text\": " + jsonNapis(cytat);
            if (w.odnosnik.Miejsca.size() > 1) {
                o += ", \"parts\": [";
                for (std::size_t c = 0; c < w.odnosnik.Miejsca.size(); ++c) {
                    const TMiejsceOdnosnika& p = w.odnosnik.Miejsca[c];
                    o += (c ? ", [" : "[") + std::to_string(p.Linia) + ", " + std::to_string(p.Od) + ", " +
                         std::to_string(p.Dlugosc) + "]";
                }
                o += "]";
            }
            o += ", \"target\": " + opisCelu(w.odnosnik.Cel, true) +
                 ", \"exists\": " + (w.odnosnik.Istnieje ? "true" : "false");
            if (w.odnosnik.Akapit)
                o += ", \"paragraph\": " + std::to_string(*w.odnosnik.Akapit);
            o += "}";
        } else {
            o += std::string(w.przypis ? "footnote " : "") + std::to_string(m.Linia) + ":" + std::to_string(m.Od) +
                 "+" + std::to_string(m.Dlugosc) + "\t" + NazwaRodzaju(w.odnosnik.Cel.Rodzaj) + "\t" +
                 opisCelu(w.odnosnik.Cel, false) + (w.odnosnik.Istnieje ? "" : "\t(missing)") + "\t" +
                 cp1250::toUtf8(cytat) + "\n";
        }
    }
    if (json) {
        o += "], \"messages\": [";
        for (std::size_t i = 0; i < k.lista.size(); ++i)
            o += (i ? ", " : "") + jsonNapis(k.lista[i]);
        o += "]}\n";
    }
    std::fwrite(o.data(), 1, o.size(), stdout);
    return 0;
}
