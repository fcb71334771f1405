#include "links/Kodeksy.h"

#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

using namespace zdania;

namespace kodeksy {

namespace {

// Cases in the order nominative, genitive, dative, accusative,
// instrumental, locative.
using TPrzypadki = std::array<const char*, 6>;

struct TOpisKodeksu {
    const char* Tytul;           // as the store titles it
    TPrzypadki Nazwa;            // the whole name in each case
    std::array<const char*, 2> Skroty;
    TData Data;
};

constexpr TPrzypadki kodeks(const char* m, const char* d, const char* c, const char* b, const char* n,
                            const char* ms)
{
    return {m, d, c, b, n, ms};
}

// "Kodeks" declines; what follows it either declines with it (an
// adjective) or stays in the genitive ("Kodeks pracy", "Kodeksu pracy").
const TOpisKodeksu kOpisy[] = {
    {"Kodeks cywilny",
     kodeks("Kodeks cywilny", "Kodeksu cywilnego", "Kodeksowi cywilnemu", "Kodeks cywilny", "Kodeksem cywilnym",
            "Kodeksie cywilnym"),
     {"k.c.", nullptr}, {23, 4, 1964}},
    {"Kodeks karny skarbowy",
     kodeks("Kodeks karny skarbowy", "Kodeksu karnego skarbowego", "Kodeksowi karnemu skarbowemu",
            "Kodeks karny skarbowy", "Kodeksem karnym skarbowym", "Kodeksie karnym skarbowym"),
     {"k.k.s.", nullptr}, {10, 9, 1999}},
    {"Kodeks karny wykonawczy",
     kodeks("Kodeks karny wykonawczy", "Kodeksu karnego wykonawczego", "Kodeksowi karnemu wykonawczemu",
            "Kodeks karny wykonawczy", "Kodeksem karnym wykonawczym", "Kodeksie karnym wykonawczym"),
     {"k.k.w.", nullptr}, {6, 6, 1997}},
    {"Kodeks karny",
     kodeks("Kodeks karny", "Kodeksu karnego", "Kodeksowi karnemu", "Kodeks karny", "Kodeksem karnym",
            "Kodeksie karnym"),
     {"k.k.", nullptr}, {6, 6, 1997}},
    {"Kodeks morski",
     kodeks("Kodeks morski", "Kodeksu morskiego", "Kodeksowi morskiemu", "Kodeks morski", "Kodeksem morskim",
            "Kodeksie morskim"),
     {nullptr, nullptr}, {18, 9, 2001}},
    {"Kodeks postępowania administracyjnego",
     kodeks("Kodeks postępowania administracyjnego", "Kodeksu postępowania administracyjnego",
            "Kodeksowi postępowania administracyjnego", "Kodeks postępowania administracyjnego",
            "Kodeksem postępowania administracyjnego", "Kodeksie postępowania administracyjnego"),
     {"k.p.a.", nullptr}, {14, 6, 1960}},
    {"Kodeks postępowania cywilnego",
     kodeks("Kodeks postępowania cywilnego", "Kodeksu postępowania cywilnego", "Kodeksowi postępowania cywilnego",
            "Kodeks postępowania cywilnego", "Kodeksem postępowania cywilnego", "Kodeksie postępowania cywilnego"),
     {"k.p.c.", nullptr}, {17, 11, 1964}},
    {"Kodeks postępowania karnego",
     kodeks("Kodeks postępowania karnego", "Kodeksu postępowania karnego", "Kodeksowi postępowania karnego",
            "Kodeks postępowania karnego", "Kodeksem postępowania karnego", "Kodeksie postępowania karnego"),
     {"k.p.k.", nullptr}, {6, 6, 1997}},
    {"Kodeks postępowania w sprawach o wykroczenia",
     kodeks("Kodeks postępowania w sprawach o wykroczenia", "Kodeksu postępowania w sprawach o wykroczenia",
            "Kodeksowi postępowania w sprawach o wykroczenia", "Kodeks postępowania w sprawach o wykroczenia",
            "Kodeksem postępowania w sprawach o wykroczenia", "Kodeksie postępowania w sprawach o wykroczenia"),
     {"k.p.s.w.", nullptr}, {24, 8, 2001}},
    {"Kodeks pracy",
     kodeks("Kodeks pracy", "Kodeksu pracy", "Kodeksowi pracy", "Kodeks pracy", "Kodeksem pracy", "Kodeksie pracy"),
     {"k.p.", nullptr}, {26, 6, 1974}},
    {"Kodeks rodzinny i opiekuńczy",
     kodeks("Kodeks rodzinny i opiekuńczy", "Kodeksu rodzinnego i opiekuńczego",
            "Kodeksowi rodzinnemu i opiekuńczemu", "Kodeks rodzinny i opiekuńczy",
            "Kodeksem rodzinnym i opiekuńczym", "Kodeksie rodzinnym i opiekuńczym"),
     {"k.r.o.", nullptr}, {25, 2, 1964}},
    {"Kodeks spółek handlowych",
     kodeks("Kodeks spółek handlowych", "Kodeksu spółek handlowych", "Kodeksowi spółek handlowych",
            "Kodeks spółek handlowych", "Kodeksem spółek handlowych", "Kodeksie spółek handlowych"),
     {"k.s.h.", nullptr}, {15, 9, 2000}},
    {"Kodeks wykroczeń",
     kodeks("Kodeks wykroczeń", "Kodeksu wykroczeń", "Kodeksowi wykroczeń", "Kodeks wykroczeń",
            "Kodeksem wykroczeń", "Kodeksie wykroczeń"),
     {"k.w.", nullptr}, {20, 5, 1971}},
    {"Konstytucja Rzeczypospolitej Polskiej",
     kodeks("Konstytucja", "Konstytucji", "Konstytucji", "Konstytucję", "Konstytucją", "Konstytucji"),
     {nullptr, nullptr}, {2, 4, 1997}},
    {"Ordynacja podatkowa",
     kodeks("Ordynacja podatkowa", "Ordynacji podatkowej", "Ordynacji podatkowej", "Ordynację podatkową",
            "Ordynacją podatkową", "Ordynacji podatkowej"),
     {"o.p.", nullptr}, {29, 8, 1997}},
};

struct TWzor {
    std::string Tekst;  // Windows-1250; a space stands for any run of blanks
    int Indeks = 0;
    bool Mianownik = false;
};

struct TTablice {
    std::vector<TWzor> Nazwy;   // longest first
    // The names by their first word ("Kodeksu", "Konstytucji"), with its
    // first letter a capital: a name at some place is looked for only among
    // those that start with the word found there.
    std::map<std::string, std::vector<const TWzor*>, std::less<>> Slowa;
    std::vector<TWzor> Skroty;  // longest first
    std::array<TData, kLiczbaKodeksow> Daty{};
    std::string Konstytucja;    // the title's first word, for its qualifiers
};

const TTablice& tablice()
{
    static const TTablice t = [] {
        TTablice w;
        for (const TOpisKodeksu& o : kOpisy) {
            const std::string tytul = cp1250::fromUtf8(o.Tytul);
            int indeks = -1;
            for (int k = 0; k < kLiczbaKodeksow; ++k)
                if (TytulKodeksu(k) == tytul)
                    indeks = k;
            if (indeks < 0)
                continue;
            w.Daty[std::size_t(indeks)] = o.Data;
            for (std::size_t p = 0; p < o.Nazwa.size(); ++p)
                w.Nazwy.push_back({cp1250::fromUtf8(o.Nazwa[p]), indeks, p == 0});
            for (const char* s : o.Skroty)
                if (s)
                    w.Skroty.push_back({s, indeks, false});
        }
        const auto dluzszy = [](const TWzor& a, const TWzor& b) { return a.Tekst.size() > b.Tekst.size(); };
        std::stable_sort(w.Nazwy.begin(), w.Nazwy.end(), dluzszy);
        std::stable_sort(w.Skroty.begin(), w.Skroty.end(), dluzszy);
        for (const TWzor& n : w.Nazwy)
            w.Slowa[n.Tekst.substr(0, n.Tekst.find(' '))].push_back(&n);
        return w;
    }();
    return t;
}

// The pattern at i: its first letter in either case, blanks as any run of
// spaces or non-breaking spaces, and no letter running on after it.
bool pasuje(std::string_view s, std::size_t i, std::string_view wzor, std::size_t& koniec)
{
    std::size_t k = i;
    for (std::size_t p = 0; p < wzor.size(); ++p) {
        const unsigned char w = (unsigned char)wzor[p];
        if (w == ' ') {
            if (!Odstep(Znak(s, k)))
                return false;
            k = PominOdstepy(s, k);
            continue;
        }
        unsigned char c = Znak(s, k);
        if (p == 0 && c >= 'a' && c <= 'z')
            c = (unsigned char)(c - 'a' + 'A');
        if (c != w)
            return false;
        ++k;
    }
    if (Litera(Znak(s, k)))
        return false;
    koniec = k;
    return true;
}

std::optional<int> nazwa(std::string_view s, std::size_t i, std::size_t& koniec, bool tylkoMianownik)
{
    // Every name starts with "Kodeks", "Konstytucj" or "Ordynacj" (either
    // case of its first letter): most words are turned away here.
    const unsigned char c = Znak(s, i);
    if (c != 'K' && c != 'k' && c != 'O' && c != 'o')
        return std::nullopt;
    const std::string_view dalej = s.substr(i + 1, 5);
    if (dalej != "odeks" && dalej != "onsty" && dalej != "rdyna")
        return std::nullopt;
    std::size_t k = i + 1;
    while (Litera(Znak(s, k)))
        ++k;
    std::string slowo(s.substr(i, k - i));
    if (slowo[0] >= 'a' && slowo[0] <= 'z')
        slowo[0] = char(slowo[0] - 'a' + 'A');
    const auto it = tablice().Slowa.find(slowo);
    if (it == tablice().Slowa.end())
        return std::nullopt;
    for (const TWzor* w : it->second) {
        if (tylkoMianownik && !w->Mianownik)
            continue;
        if (pasuje(s, i, w->Tekst, koniec))
            return w->Indeks;
    }
    return std::nullopt;
}

// "Konstytucji" may go on with "Rzeczypospolitej Polskiej" or "RP".
void kwalifikatorKonstytucji(std::string_view s, std::size_t& koniec)
{
    const std::size_t k = PominOdstepy(s, koniec);
    if (k == koniec)
        return;
    std::size_t dalej = 0;
    if (pasuje(s, k, "Rzeczypospolitej Polskiej", dalej) || pasuje(s, k, "RP", dalej))
        koniec = dalej;
}

} // namespace

std::optional<int> NazwaKodeksu(std::string_view s, std::size_t i, std::size_t& koniec)
{
    const unsigned char c = Znak(s, i);
    if ((c == 'k' || c == 'o') && Znak(s, i + 1) == '.') {
        // An abbreviation is a run of small letters and full stops; it must
        // be one of the known ones as a whole ("k.p." is not "k.p.c.").
        std::size_t k = i;
        while ((Znak(s, k) >= 'a' && Znak(s, k) <= 'z') || Znak(s, k) == '.')
            ++k;
        if (!Litera(Znak(s, k)) && !Cyfra(Znak(s, k))) {
            const std::string_view slowo = s.substr(i, k - i);
            for (const TWzor& w : tablice().Skroty) {
                // The last full stop may be left out before a bracket or a comma.
                if (slowo == w.Tekst || (slowo.size() + 1 == w.Tekst.size() && w.Tekst.compare(0, slowo.size(), slowo) == 0 &&
                                         slowo.size() >= 3)) {
                    koniec = k;
                    return w.Indeks;
                }
            }
        }
    }
    const auto k = nazwa(s, i, koniec, false);
    if (k && TytulKodeksu(*k).compare(0, 11, "Konstytucja") == 0)
        kwalifikatorKonstytucji(s, koniec);
    return k;
}

std::optional<int> TytulPoMyslniku(std::string_view s, std::size_t i, std::size_t& koniec)
{
    return nazwa(s, i, koniec, true);
}

TData DataUchwalenia(int indeks)
{
    if (indeks < 0 || indeks >= kLiczbaKodeksow)
        return {};
    return tablice().Daty[std::size_t(indeks)];
}

} // namespace kodeksy
