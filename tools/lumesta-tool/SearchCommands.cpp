#include "SearchCommands.h"

#include <cstdio>

#include "Json.h"
#include "platform/core/Cp1250.h"
#include "search/Biblioteka.h"
#include "search/Morfologia.h"

using namespace szukanie;

int SearchCommand(const std::vector<std::string>& args)
{
    bool json = false, dokladnie = false;
    std::vector<std::string> reszta;
    for (const auto& a : args) {
        if (a == "--json")
            json = true;
        else if (a == "--exact")
            dokladnie = true;
        else
            reszta.push_back(a);
    }
    if (reszta.size() != 3) {
        std::fprintf(stderr, "usage: lumesta-tool search DICTIONARY DATAFOLDER QUERY [--json] [--exact]\n");
        return 2;
    }
    bool wszystkie = true;
    const TZapytanie zapytanie = RozbierzZapytanie(cp1250::fromUtf8(reszta[2], &wszystkie), dokladnie);
    if (!wszystkie)
        std::fprintf(stderr, "lumesta-tool: the query has characters outside Windows-1250\n");
    if (zapytanie.Pusty()) {
        std::fprintf(stderr, "lumesta-tool: the query has no words\n");
        return 2;
    }

    TBiblioteka biblioteka(reszta[0], reszta[1]);
    std::string blad;
    const TDostawcaMorfologii morfologia = [] {
        TMorfologia* m = TMorfologia::Wspolna();
        static bool powiedziano = false;
        if (!m && !powiedziano) {
            powiedziano = true;
            std::fprintf(stderr, "lumesta-tool: no Polish Hunspell dictionary (hunspell-pl); "
                                 "words match their own forms only\n");
        }
        return m;
    };
    if (!biblioteka.Przygotuj(morfologia, &blad, [](const std::string& uwaga) {
            std::fprintf(stderr, "lumesta-tool: %s\n", uwaga.c_str());
        })) {
        std::fprintf(stderr, "lumesta-tool: %s\n", blad.c_str());
        return 1;
    }

    std::size_t trafien = 0;
    biblioteka.Szukaj(zapytanie, morfologia, [&](TWynikDokumentu&& d) {
        for (const TLiniaWyniku& l : d.Linie) {
            for (const auto& t : l.Trafienia) {
                ++trafien;
                std::size_t wKontekscie = 0;
                const std::string kontekst = Kontekst(l.Tekst, t.Od, t.Dlugosc, 60, &wKontekscie);
                std::string o;
                if (json) {
                    o = "{\"document\": " + jsonNapis(d.Dokument.Nazwa) + ", \"footnote\": " +
                        (l.Przypis ? std::to_string(l.NumerPrzypisu) : std::string("null")) +
                        ", \"unit\": " + jsonNapis(l.Jednostka) + ", \"line\": " + std::to_string(l.Linia) +
                        ", \"offset\": " + std::to_string(t.Od) + ", \"length\": " + std::to_string(t.Dlugosc) +
                        ", \"context\": " + jsonNapis(kontekst) +
                        ", \"context_offset\": " + std::to_string(wKontekscie) + "}\n";
                } else {
                    std::string gdzie = l.Jednostka;
                    if (l.Przypis)
                        gdzie = "footnote " + std::to_string(l.NumerPrzypisu) +
                                (l.Jednostka.empty() ? std::string() : " (" + l.Jednostka + ")");
                    std::string zaznaczony = kontekst;
                    zaznaczony.insert(wKontekscie + t.Dlugosc, "]");
                    zaznaczony.insert(wKontekscie, "[");
                    o = cp1250::toUtf8(d.Dokument.Nazwa) + " | " + cp1250::toUtf8(gdzie) + " | " +
                        (l.Przypis ? "footnote line " : "line ") + std::to_string(l.Linia) + ", " +
                        std::to_string(t.Od) + "+" + std::to_string(t.Dlugosc) + " | " +
                        cp1250::toUtf8(zaznaczony) + "\n";
                }
                std::fwrite(o.data(), 1, o.size(), stdout);
            }
        }
        std::fflush(stdout);
        return true;
    });
    return trafien > 0 ? 0 : 1;
}
