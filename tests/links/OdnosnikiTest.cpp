// Links of whole decoded documents and footnotes: which paragraphs are
// searched, where the parts of a link lie, and how targets resolve.
#include "Pomocnicze.h"

#include <gtest/gtest.h>

using namespace testy;

namespace {

TWiersz akapit(std::initializer_list<std::pair<int, const char*>> kawalki)
{
    TWiersz w;
    for (const auto& [rodzaj, tekst] : kawalki)
        w.push_back({std::uint8_t(rodzaj), cp(tekst)});
    return w;
}

// A small code: a heading with a title, three articles, one with points.
TPlik kodeksPrzykladowy()
{
    return {
        akapit({{0, "Tekst wstępny, zob. art. 2."}}),
        akapit({{17, "DZIAŁ"}, {0, " I"}}),
        akapit({{0, "Przepisy art. 3 w tytule"}}),
        akapit({{2, "Art"}, {0, ". 1. Stosuje się art. 3 pkt 2 i art. 9."}}),
        akapit({{2, "Art"}, {0, ". 2. § 1. Przepis art. 1 "}, {4, ""}, {0, " dotyczy art. 3 § 7."}}),
        akapit({{3, "§"}, {0, " 2. Art. 2 nie dotyczy."}}),
        akapit({{2, "Art"}, {0, ". 3. Wykaz:"}}),
        akapit({{0, "1) pierwszy;"}}),
        akapit({{0, "2) drugi, zob. art. 415 k.c."}}),
    };
}

struct Linia {
    std::size_t akapit;
    std::string tekst;
    std::optional<std::size_t> cel;
    bool istnieje;
    bool operator==(const Linia&) const = default;
};

std::vector<Linia> linie(const TPlik& plik, const TOdnosniki& l)
{
    std::vector<Linia> w;
    for (const TOdnosnik& o : l) {
        const TMiejsceOdnosnika& m = o.Miejsca.at(0);
        std::string tekst;
        for (const TTekst& t : plik.at(m.Linia))
            tekst += t.Tekst;
        w.push_back({m.Linia, utf(tekst.substr(m.Od, m.Dlugosc)), o.Akapit, o.Istnieje});
    }
    return w;
}

} // namespace

TEST(OdnosnikiDokumentu, ParagraphsOfACode)
{
    const TPlik plik = kodeksPrzykladowy();
    const TIndeksJednostek jednostki(plik);
    TZrodloOdnosnikow z;
    z.Kodeks = kodeks("Kodeks karny");
    z.Jednostki = &jednostki;
    Biblioteka b;
    b.Kodeksy = {kodeks("Kodeks cywilny")};
    const TOdnosniki l = OdnosnikiTresci(plik, z, b);
    // Not searched: the heading and its title; never a link: the article's
    // own "Art" and number. Offsets count in the joined paragraph, the
    // footnote mark's empty piece included.
    EXPECT_EQ(linie(plik, l), (std::vector<Linia>{
                                  {0, "art. 2", 4, true},
                                  {3, "art. 3 pkt 2", 8, true},
                                  {3, "art. 9", std::nullopt, false},
                                  {4, "art. 1", 3, true},
                                  // No § 7 in article 3: the article itself.
                                  {4, "art. 3 § 7", 6, true},
                                  {5, "Art. 2", 4, true},
                                  {8, "art. 415", std::nullopt, true},
                              }));
    EXPECT_EQ(l[6].Cel.Rodzaj, TRodzajOdnosnika::ArtykulKodeksu);
    EXPECT_EQ(l[6].Cel.Kodeks, kodeks("Kodeks cywilny"));
    EXPECT_EQ(l[4].Miejsca[0].Od, std::string(cp(". 2. § 1. Przepis art. 1  dotyczy ")).size() + 3);

    // With the other code's units at hand its references resolve too.
    const TIndeksJednostek cywilny(TPlik{akapit({{2, "Art"}, {0, ". 415. Kto wyrządził szkodę."}})});
    b.Jednostki[kodeks("Kodeks cywilny")] = &cywilny;
    EXPECT_EQ(OdnosnikiTresci(plik, z, b).back().Akapit, 0u);
    b.Kodeksy.clear();
    EXPECT_FALSE(OdnosnikiTresci(plik, z, b).back().Istnieje);
}

TEST(OdnosnikiDokumentu, JournalActsLinkOnlyNamedTargets)
{
    const TPlik plik = kodeksPrzykladowy();
    TZrodloOdnosnikow z;  // a Journal act: no code of its own
    Biblioteka b;
    b.Kodeksy = {kodeks("Kodeks cywilny")};
    const TOdnosniki l = OdnosnikiTresci(plik, z, b);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].Cel.Rodzaj, TRodzajOdnosnika::ArtykulKodeksu);
}

TEST(OdnosnikiDokumentu, FootnoteLinesReadAsOneText)
{
    const std::vector<std::string> linie = {
        cp("(3)  Tytuł w brzmieniu ustalonym przez art. 2 ustawy z dnia 9 stycznia 2001 r. (Dz. U. z 2001 r. Nr 5,"),
        cp(" poz. 43 i Nr 7, poz. 8), która weszła w życie."),
        cp(" Zob. też Dz. U. 2001. 005. 43."),
    };
    Biblioteka b;
    b.Akty = {"Dz.U.2001.5.43"};
    const TOdnosniki l = OdnosnikiPrzypisu(linie, {}, b);
    ASSERT_EQ(l.size(), 4u);
    // The act of the reference is identified by the citation after it.
    EXPECT_EQ(l[0].Cel.Rodzaj, TRodzajOdnosnika::ArtykulAktu);
    EXPECT_EQ(l[0].Cel.Akt, (TAkt{2001, 5, 43}));
    EXPECT_EQ(l[0].Miejsca, (std::vector<TMiejsceOdnosnika>{{0, linie[0].find("art. 2"), 6}}));
    // A citation over the line end: one part in each line.
    EXPECT_EQ(l[1].Cel.Akt, (TAkt{2001, 5, 43}));
    EXPECT_TRUE(l[1].Istnieje);
    const std::size_t od = linie[0].find("Dz. U.");
    EXPECT_EQ(l[1].Miejsca,
              (std::vector<TMiejsceOdnosnika>{{0, od, linie[0].size() - od}, {1, 0, std::string(" poz. 43").size()}}));
    EXPECT_EQ(l[2].Cel.Akt, (TAkt{2001, 7, 8}));
    EXPECT_FALSE(l[2].Istnieje);
    EXPECT_EQ(l[2].Miejsca, (std::vector<TMiejsceOdnosnika>{{1, linie[1].find("Nr 7"), std::string("Nr 7, poz. 8").size()}}));
    // An older library's linked form; present under the name it gives.
    EXPECT_EQ(l[3].Cel.DawnaNazwa, "Dz.U.2001.005.43");
    EXPECT_TRUE(l[3].Istnieje);
    // Only the older name present: the reference to the act's article is
    // no link any more, the older linked form still finds its act.
    b.Akty = {"Dz.U.2001.005.43"};
    const TOdnosniki l2 = OdnosnikiPrzypisu(linie, {}, b);
    ASSERT_EQ(l2.size(), 3u);
    EXPECT_FALSE(l2[0].Istnieje);
    EXPECT_TRUE(l2[2].Istnieje);
    EXPECT_TRUE(OdnosnikiPrzypisu({}, {}, b).empty());
}

TEST(OdnosnikiDokumentu, UnitFallback)
{
    const TPlik plik = kodeksPrzykladowy();
    const TIndeksJednostek j(plik);
    TAdres a{"3", {}, false, "2", {}};
    EXPECT_EQ(ZnajdzJednostke(j, a), 8u);
    a.Litera = "c";
    EXPECT_EQ(ZnajdzJednostke(j, a), 8u);
    a = {"2", "1", true, {}, {}};
    EXPECT_EQ(ZnajdzJednostke(j, a), 4u);
    a = {"2", "2", true, "9", {}};
    EXPECT_EQ(ZnajdzJednostke(j, a), 5u);
    a = {"7", "1", true, {}, {}};
    EXPECT_FALSE(ZnajdzJednostke(j, a));
}

TEST(OdnosnikiDokumentu, OlderLinkedFormsAreReadLineByLine)
{
    // Joined, the spaced form of the first line would hide the unspaced one
    // of the third, as it does within one line.
    const std::vector<std::string> linie = {cp("(1)  Zmiany: Dz. U. 1990. 34. 198 oraz"), "",
                                            cp("Dz.U.2001.5.7 koniec, Dz. U. 1999. 100. 5")};
    const TOdnosniki l = OdnosnikiPrzypisu(linie, {}, Biblioteka{});
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].Cel.Akt, (TAkt{1990, 34, 198}));
    EXPECT_EQ(l[1].Cel.Akt, (TAkt{1999, 100, 5}));
    EXPECT_EQ(l[1].Miejsca, (std::vector<TMiejsceOdnosnika>{{2, linie[2].find("Dz. U."), 19}}));
    const TOdnosniki l2 = OdnosnikiPrzypisu({linie[0], "", cp("Dz.U.2001.5.7 koniec")}, {}, Biblioteka{});
    ASSERT_EQ(l2.size(), 2u);
    EXPECT_EQ(l2[1].Cel.Akt, (TAkt{2001, 5, 7}));
    EXPECT_EQ(l2[1].Miejsca, (std::vector<TMiejsceOdnosnika>{{2, 0, 13}}));
}

TEST(OdnosnikiDokumentu, ArticleNumbersTellExistenceAsTheIndexDoes)
{
    TPlik plik = kodeksPrzykladowy();
    plik.push_back(akapit({{2, "Art"}, {0, ". 5^1. Wstawiony."}}));
    plik.push_back(akapit({{2, "Art"}, {0, ". 123456789. Zbyt długi numer, trzymany osobno."}}));
    plik.push_back(akapit({{0, "Art. 77. To nie jest artykuł, tylko tekst."}}));
    plik.push_back(akapit({{0, "Zob. art. 5^1, art. 77 i art. 2 § 1."}}));
    const TArtykuly artykuly(plik);
    EXPECT_TRUE(artykuly.Jest("1"));
    EXPECT_TRUE(artykuly.Jest("5^1"));
    EXPECT_FALSE(artykuly.Jest("5"));
    EXPECT_FALSE(artykuly.Jest("77"));
    EXPECT_FALSE(artykuly.Jest("123456789"));  // not a number a reference can hold

    const TIndeksJednostek jednostki(plik);
    TZrodloOdnosnikow zIndeksem;
    zIndeksem.Kodeks = 0;
    zIndeksem.Jednostki = &jednostki;
    TZrodloOdnosnikow zNumerami;
    zNumerami.Kodeks = 0;
    zNumerami.Akapity = false;
    zNumerami.Artykuly = &artykuly;
    // The numbers read in the same pass as the links: references to
    // "art. 2" and "art. 3" stand before those articles.
    TZrodloOdnosnikow zTekstu;
    zTekstu.Kodeks = 0;
    zTekstu.Akapity = false;
    zTekstu.ArtykulyZTekstu = true;
    Biblioteka b;
    const TOdnosniki a = OdnosnikiTresci(plik, zIndeksem, b);
    const TOdnosniki c = OdnosnikiTresci(plik, zNumerami, b);
    const TOdnosniki d = OdnosnikiTresci(plik, zTekstu, b);
    ASSERT_EQ(a.size(), c.size());
    ASSERT_EQ(a.size(), d.size());
    bool istnieja = false, brakuje = false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Istnieje, c[i].Istnieje) << i;
        EXPECT_EQ(a[i].Miejsca, c[i].Miejsca) << i;
        EXPECT_FALSE(c[i].Akapit);
        EXPECT_EQ(a[i].Istnieje, d[i].Istnieje) << i;
        EXPECT_EQ(a[i].Cel, d[i].Cel) << i;
        EXPECT_EQ(a[i].Miejsca, d[i].Miejsca) << i;
        EXPECT_FALSE(d[i].Akapit);
        (a[i].Istnieje ? istnieja : brakuje) = true;
    }
    // Both outcomes are among them, so that the comparison means something.
    EXPECT_TRUE(istnieja);
    EXPECT_TRUE(brakuje);
}
