// Word forms grouped by their stems with the Polish Hunspell dictionary,
// and the stems file that carries the grouping.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/core/Cp1250.h"
#include "search/Morfologia.h"
#include "search/Rdzenie.h"

using namespace szukanie;

namespace {

std::string u(std::string_view utf8) { return cp1250::fromUtf8(utf8); }

TMorfologia* morfologia()
{
    static std::unique_ptr<TMorfologia> m = TMorfologia::Wczytaj();
    return m.get();
}

TSlownik slownik(std::initializer_list<const char*> slowa)
{
    TSlownik s;
    for (const char* w : slowa)
        s.push_back({u(w), 0});
    return s;
}

const TSlownik& przyklad()
{
    static const TSlownik s = slownik({"umowa", "umowy", "Umową", "„umowie”", "sądu", "Sąd", "SĄDÓW", "sad",
                                       "zgodny", "niezgodny", "Dz.U.1998.106", "kwakabrum", "umowy umowa",
                                       "415", ""});
    return s;
}

// The entries (as UTF-8 text) that hold a form the word stands for.
std::vector<std::string> wpisy(const TRdzenie& r, std::string_view slowo, bool dokladnie)
{
    std::vector<std::uint32_t> numery;
    for (std::uint32_t f : r.FormySlowa(u(slowo), dokladnie, morfologia()))
        for (std::uint32_t w : r.WpisyFormy(f))
            numery.push_back(w);
    std::sort(numery.begin(), numery.end());
    numery.erase(std::unique(numery.begin(), numery.end()), numery.end());
    std::vector<std::string> o;
    for (std::uint32_t w : numery)
        o.push_back(cp1250::toUtf8(przyklad()[w].Slowo));
    return o;
}

using Lista = std::vector<std::string>;

} // namespace

TEST(Morfologia, GivesTheStemsOfPolishWordForms)
{
    TMorfologia* m = morfologia();
    ASSERT_NE(m, nullptr) << "the Polish Hunspell dictionary (hunspell-pl) is not installed";
    auto ma = [&](const char* slowo, const char* rdzen) {
        const auto r = m->Rdzenie(u(slowo));
        return std::find(r.begin(), r.end(), u(rdzen)) != r.end();
    };
    EXPECT_TRUE(ma("umowy", "umowa"));
    EXPECT_TRUE(ma("umową", "umowa"));
    EXPECT_TRUE(ma("sądów", "sąd"));
    EXPECT_FALSE(ma("sądów", "sad"));
    // The negation stays with the word.
    EXPECT_TRUE(ma("niezgodny", "niezgodny"));
    EXPECT_FALSE(ma("niezgodny", "zgodny"));
    EXPECT_TRUE(m->Rdzenie(u("kwakabrum")).empty());
    EXPECT_TRUE(m->Rdzenie("").empty());
}

TEST(Rdzenie, FormsOfOneStemFindEachOther)
{
    ASSERT_NE(morfologia(), nullptr);
    const TRdzenie r = TRdzenie::Zbuduj(przyklad(), morfologia());
    EXPECT_EQ(r.LiczbaWpisow(), przyklad().size());
    EXPECT_EQ(wpisy(r, "umowa", false), (Lista{"umowa", "umowy", "Umową", "„umowie”", "umowy umowa"}));
    EXPECT_EQ(wpisy(r, "sąd", false), (Lista{"sądu", "Sąd", "SĄDÓW"}));
    EXPECT_EQ(wpisy(r, "sad", false), (Lista{"sad"}));
    // A form the entries lack is stemmed to find the others.
    EXPECT_EQ(wpisy(r, "umowach", false), (Lista{"umowa", "umowy", "Umową", "„umowie”", "umowy umowa"}));
    EXPECT_EQ(wpisy(r, "zgodny", false), (Lista{"zgodny"}));
    // Exact forms, letter case aside.
    EXPECT_EQ(wpisy(r, "umową", true), (Lista{"Umową"}));
    EXPECT_EQ(wpisy(r, "dz", true), (Lista{"Dz.U.1998.106"}));
    EXPECT_EQ(wpisy(r, "1998", false), (Lista{"Dz.U.1998.106"}));
    EXPECT_EQ(wpisy(r, "kwakabrum", false), (Lista{"kwakabrum"}));
    EXPECT_TRUE(wpisy(r, "nic", false).empty());

    // The words of an entry and where they stand in it.
    const auto c = r.Czesci(3);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].Od, 1);
    EXPECT_EQ(r.Forma(c[0].Forma), u("umowie"));
    EXPECT_TRUE(r.Czesci(14).empty());
}

TEST(Rdzenie, WithoutMorphologyEachFormStandsAlone)
{
    const TRdzenie r = TRdzenie::Zbuduj(przyklad(), nullptr);
    EXPECT_EQ(r.FormySlowa(u("umowa"), false, nullptr).size(), 1u);
    EXPECT_EQ(r.LiczbaRdzeni(), r.LiczbaForm());
}

// Threads split the forms between them; the grouping is the same.
TEST(Rdzenie, ThreadsGroupAsOneDoes)
{
    ASSERT_NE(morfologia(), nullptr);
    TSlownik duzy = przyklad();
    for (int i = 0; i < 50; ++i)
        duzy.push_back({u("umowami") + std::to_string(i), 0});
    EXPECT_EQ(TRdzenie::Zbuduj(duzy, morfologia(), 1).Zapisz(), TRdzenie::Zbuduj(duzy, morfologia()).Zapisz());
}

TEST(Rdzenie, TheStemsFileReadsBackForItsDictionaryOnly)
{
    ASSERT_NE(morfologia(), nullptr);
    const TRdzenie r = TRdzenie::Zbuduj(przyklad(), morfologia());
    const auto plik = std::filesystem::temp_directory_path() / ("lumesta-rdzenie-" + std::to_string(getpid()) + ".rdz");
    ASSERT_TRUE(r.ZapiszDo(plik));
    std::string blad;
    const auto w = TRdzenie::Wczytaj(plik, przyklad(), &blad);
    ASSERT_TRUE(w) << blad;
    EXPECT_EQ(w->Zapisz(), r.Zapisz());
    for (const char* s : {"umowa", "sąd", "umowach", "dz"})
        EXPECT_EQ(w->FormySlowa(u(s), false, morfologia()), r.FormySlowa(u(s), false, morfologia())) << s;

    TSlownik inny = przyklad();
    inny[4].Slowo = "x";
    EXPECT_FALSE(TRdzenie::Wczytaj(plik, inny, &blad));
    EXPECT_NE(blad.find("another dictionary"), std::string::npos);
    EXPECT_FALSE(TRdzenie::Wczytaj(plik.string() + ".brak", przyklad()));
    std::filesystem::remove(plik);

    // Cut or damaged files are refused or read, never read out of bounds.
    const std::string bajty = r.Zapisz();
    std::mt19937 los(9);
    for (int n = 0; n < 400; ++n) {
        std::string b = bajty;
        if (n % 2)
            b.resize(los() % b.size());
        else
            for (int i = 0; i < 3; ++i)
                b[los() % b.size()] = char(los());
        {
            std::ofstream f(plik, std::ios::binary | std::ios::trunc);
            f.write(b.data(), std::streamsize(b.size()));
        }
        const auto z = TRdzenie::Wczytaj(plik, przyklad());
        if (z)
            for (std::uint32_t f = 0; f < z->LiczbaForm(); ++f)
                z->FormySlowa(z->Forma(f), false, nullptr);
    }
    std::filesystem::remove(plik);
}
