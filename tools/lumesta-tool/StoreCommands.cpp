#include "StoreCommands.h"

#include <cstdio>
#include <filesystem>

#include "Json.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

namespace {

struct Wywolanie {
    bool json = false;
    std::filesystem::path slownik;
    std::filesystem::path folder;
    std::string nazwa;   // Windows-1250
};

bool rozbierz(const std::vector<std::string>& args, const char* komenda, Wywolanie& w)
{
    std::vector<std::string> reszta;
    for (const auto& a : args) {
        if (a == "--json")
            w.json = true;
        else
            reszta.push_back(a);
    }
    if (reszta.size() != 3) {
        std::fprintf(stderr, "usage: lumesta-tool %s [--json] DICTIONARY DATAFOLDER NAME\n", komenda);
        return false;
    }
    w.slownik = reszta[0];
    w.folder = reszta[1];
    bool wszystkie = true;
    w.nazwa = cp1250::fromUtf8(reszta[2], &wszystkie);
    if (!wszystkie)
        std::fprintf(stderr, "lumesta-tool: the name has characters outside Windows-1250\n");
    return true;
}

std::string jsonLista(const TListaNapisow& l)
{
    std::string o = "[";
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (i)
            o += ", ";
        o += jsonNapis(l[i]);
    }
    return o + "]";
}

bool sprawdzSlownik(const std::filesystem::path& p)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) {
        std::fprintf(stderr, "lumesta-tool: no dictionary file %s\n", p.string().c_str());
        return false;
    }
    return true;
}

// A marker no directory title or decoded line can be: it tells whether the
// store refilled a list.
const std::string kZnacznik = std::string("\x01\x02 untouched");

// A missing container is not an error of the store (it stays silent), but a
// data preparer wants to know which file was looked for.
void zglosBrakKontenera(const Wywolanie& w)
{
    std::string blad;
    auto klucz = SprobujRozbierzNazwe(w.nazwa, &blad);
    if (!klucz)
        return;   // the store reports it
    std::error_code ec;
    if (!std::filesystem::is_regular_file(SciezkaKontenera(w.folder, *klucz), ec))
        std::fprintf(stderr, "lumesta-tool: no container %s\n",
                     SciezkaKontenera(w.folder, *klucz).string().c_str());
}

// The store with its dictionary loaded and its messages collected, as both
// commands use it.
struct Sesja {
    explicit Sesja(const Wywolanie& w) : k(w.json), pliki(&k) { pliki.WczytajSlownik(w.slownik); }
    Komunikaty k;
    TPliki pliki;
};

// Reads the arguments and checks the dictionary: 0 to go on, otherwise the
// exit status.
int przygotuj(const std::vector<std::string>& args, const char* polecenie, Wywolanie& w)
{
    if (!rozbierz(args, polecenie, w))
        return 2;
    if (!sprawdzSlownik(w.slownik))
        return 1;
    zglosBrakKontenera(w);
    return 0;
}

} // namespace

int ListCommand(const std::vector<std::string>& args)
{
    Wywolanie w;
    if (const int status = przygotuj(args, "list", w))
        return status;
    Sesja sesja(w);
    Komunikaty& k = sesja.k;
    TPliki& pliki = sesja.pliki;
    TListaNapisow tekst, przypisy, tytuly{kZnacznik};
    TPlik plik;
    pliki.OtworzDokument(w.folder, w.nazwa, tekst, przypisy, plik, false, tytuly);
    const bool przeczytany = !(tytuly.size() == 1 && tytuly[0] == kZnacznik);
    if (!przeczytany)
        tytuly.clear();
    if (w.json) {
        std::printf("{\"titles\": %s, \"messages\": %s}\n", jsonLista(tytuly).c_str(),
                    jsonLista(k.lista).c_str());
    } else {
        for (const auto& t : tytuly)
            std::printf("%s\n", cp1250::toUtf8(t).c_str());
    }
    return przeczytany ? 0 : 1;
}

int DecodeCommand(const std::vector<std::string>& args)
{
    Wywolanie w;
    if (const int status = przygotuj(args, "decode", w))
        return status;
    Sesja sesja(w);
    Komunikaty& k = sesja.k;
    TPliki& pliki = sesja.pliki;
    TListaNapisow tekst{kZnacznik}, przypisy, tytuly;
    TPlik plik;
    const TWynikOtwarcia wynik = pliki.OtworzDokument(w.folder, w.nazwa, tekst, przypisy, plik, true, tytuly);
    // The lists are cleared and refilled only when a record was decoded.
    const bool zdekodowany = !(tekst.size() == 1 && tekst[0] == kZnacznik);
    if (!zdekodowany) {
        tekst.clear();
        plik.clear();
    }

    if (w.json) {
        std::string o = "{\"titles\": " + jsonLista(tytuly) + ", \"paragraphs\": [";
        for (std::size_t i = 0; i < plik.size(); ++i) {
            o += i ? ", [" : "[";
            for (std::size_t j = 0; j < plik[i].size(); ++j) {
                if (j)
                    o += ", ";
                o += "[" + std::to_string(plik[i][j].Rodzaj) + ", " + jsonNapis(plik[i][j].Tekst) + "]";
            }
            o += "]";
        }
        o += "], \"footnotes\": " + jsonLista(przypisy) + ", \"text\": " + jsonLista(tekst) +
             ", \"messages\": " + jsonLista(k.lista) + "}\n";
        std::fwrite(o.data(), 1, o.size(), stdout);
    } else if (zdekodowany) {
        // Marks are numbered in order of appearance, as the reader shows them.
        int znacznik = 0;
        for (const TWiersz& wiersz : plik) {
            std::string linia;
            for (const TTekst& t : wiersz) {
                if (t.Rodzaj == rPrzypis)
                    linia += "[" + std::to_string(++znacznik) + "]";
                else
                    linia += cp1250::toUtf8(t.Tekst);
            }
            std::printf("%s\n", linia.c_str());
        }
        if (!przypisy.empty()) {
            std::printf("----\n");
            for (const auto& p : przypisy)
                std::printf("%s\n", cp1250::toUtf8(p).c_str());
        }
    }
    // Text decoded with words the dictionary lacks is shown, for the data
    // preparer to see the damage, but it is no success.
    return zdekodowany && wynik == TWynikOtwarcia::Otwarty ? 0 : 1;
}
