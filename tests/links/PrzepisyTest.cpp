// The grammar of references as it meets one text: which spans become links
// and what each names.
#include "Pomocnicze.h"

#include "links/Kodeksy.h"

#include <gtest/gtest.h>

#include <random>

using namespace testy;
using V = std::vector<std::string>;

namespace {

class Tekst : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int k = 0; k < kLiczbaKodeksow; ++k)
            biblioteka.Kodeksy.insert(k);
    }
    // Links of one sentence of the Civil Code's text (or of a footnote).
    V linki(std::string_view utf8, bool przypis = false, int kodeksZrodla = 0)
    {
        const std::string t = cp(utf8);
        TZrodloOdnosnikow z;
        z.Kodeks = kodeksZrodla;
        return opis(t, OdnosnikiTekstu(t, 0, przypis, z, biblioteka));
    }
    Biblioteka biblioteka;
};

} // namespace

TEST_F(Tekst, ReferencesWithinTheCode)
{
    EXPECT_EQ(linki("Przepis art. 148 § 2 stosuje się."), V{"article:art. 148 § 2>Art. 148 § 2"});
    EXPECT_EQ(linki("w art. 10 ust. 2 pkt 3"), V{"article:art. 10 ust. 2 pkt 3>Art. 10 ust. 2 pkt 3"});
    EXPECT_EQ(linki("z art. 5^1 oraz art. 12a"), (V{"article:art. 5^1>Art. 5^1", "article:art. 12a>Art. 12a"}));
    EXPECT_EQ(linki("art. 12 ust. 1 pkt 2 lit. b"), V{"article:art. 12 ust. 1 pkt 2 lit. b>Art. 12 ust. 1 pkt 2 lit. b"});
    // Each number of an enumeration or range is its own link, at the level
    // of the number before it.
    EXPECT_EQ(linki("przepisy art. 10–12 stosuje się odpowiednio"),
              (V{"article:art. 10>Art. 10", "article:12>Art. 12"}));
    EXPECT_EQ(linki("art. 5 i 7"), (V{"article:art. 5>Art. 5", "article:7>Art. 7"}));
    EXPECT_EQ(linki("art. 148 § 2 pkt 1–3"),
              (V{"article:art. 148 § 2 pkt 1>Art. 148 § 2 pkt 1", "article:3>Art. 148 § 2 pkt 3"}));
    EXPECT_EQ(linki("art. 5 § 1 i 2, art. 7 oraz § 4 pkt 2 lub 3"),
              (V{"article:art. 5 § 1>Art. 5 § 1", "article:2>Art. 5 § 2", "article:art. 7>Art. 7",
                 "article:§ 4 pkt 2>Art. 7 § 4 pkt 2", "article:3>Art. 7 § 4 pkt 3"}));
    EXPECT_EQ(linki("art. 3 i 5 pkt 1–2"),
              (V{"article:art. 3>Art. 3", "article:5 pkt 1>Art. 5 pkt 1", "article:2>Art. 5 pkt 2"}));
    EXPECT_EQ(linki("w art. 5 w § 2 pkt 1"), V{"article:art. 5 w § 2 pkt 1>Art. 5 § 2 pkt 1"});
    EXPECT_EQ(linki("lit. a, art. 9 lit. a i b, a także"),
              (V{"article:art. 9 lit. a>Art. 9 lit. a", "article:b>Art. 9 lit. b"}));
    EXPECT_EQ(linki("art. 5 zdanie drugie i art. 6 in fine"),
              (V{"article:art. 5>Art. 5", "article:art. 6>Art. 6"}));
    // Non-breaking spaces, and a sentence that ends with the reference.
    EXPECT_EQ(linki("art.\xC2\xA0" "5\xC2\xA0§\xC2\xA0" "1. Dalej"), V{"article:art.\xC2\xA0" "5\xC2\xA0§\xC2\xA0" "1>Art. 5 § 1"});
}

TEST_F(Tekst, NotReferences)
{
    // Numbers that count or measure end the enumeration.
    EXPECT_EQ(linki("art. 5 i 6 lat później"), V{"article:art. 5>Art. 5"});
    EXPECT_EQ(linki("art. 5, 30 dni"), V{"article:art. 5>Art. 5"});
    EXPECT_TRUE(linki("art. 5% stawki").empty());
    EXPECT_TRUE(linki("art. 5,5 jednostki").empty());
    EXPECT_TRUE(linki("start. 5").empty());
    EXPECT_TRUE(linki("art. xiv").empty());
    EXPECT_TRUE(linki("art. 12345").empty());
    // An article's own heading, quoted: "Art. 5. Treść".
    EXPECT_TRUE(linki("„Art. 5. Treść”").empty());
    // "art. 5 i n." links the article only.
    EXPECT_EQ(linki("art. 5 i n."), V{"article:art. 5>Art. 5"});
}

TEST_F(Tekst, OtherCodes)
{
    EXPECT_EQ(linki("zob. art. 415 k.c."), V{"article:art. 415>Art. 415"});
    EXPECT_EQ(linki("art. 6 § 1 k.p.k. i art. 2 Konstytucji"),
              (V{"code-article:art. 6 § 1>Kodeks postępowania karnego Art. 6 § 1",
                 "code-article:art. 2>Konstytucja Rzeczypospolitej Polskiej Art. 2"}));
    EXPECT_EQ(linki("art. 97 ustawy z dnia 23 kwietnia 1964 r. – Kodeks cywilny", false, -1),
              V{"code-article:art. 97>Kodeks cywilny Art. 97"});
    EXPECT_EQ(linki("art. 56 § 3 ustawy z dnia 29 sierpnia 1997 r. – Ordynacja podatkowa"),
              V{"code-article:art. 56 § 3>Ordynacja podatkowa Art. 56 § 3"});
    EXPECT_EQ(linki("art. 5 i 7 Kodeksu karnego skarbowego"),
              (V{"code-article:art. 5>Kodeks karny skarbowy Art. 5", "code-article:7>Kodeks karny skarbowy Art. 7"}));
    EXPECT_EQ(linki("art. 5 kodeksu postępowania w sprawach o wykroczenia"),
              V{"code-article:art. 5>Kodeks postępowania w sprawach o wykroczenia Art. 5"});
    EXPECT_EQ(linki("art. 5 k.p. oraz art. 6 k.p.c)"),
              (V{"code-article:art. 5>Kodeks pracy Art. 5", "code-article:art. 6>Kodeks postępowania cywilnego Art. 6"}));
    EXPECT_EQ(linki("art. 2 Konstytucji Rzeczypospolitej Polskiej"),
              V{"code-article:art. 2>Konstytucja Rzeczypospolitej Polskiej Art. 2"});
    // An older act of the same title is another act.
    EXPECT_TRUE(linki("art. 8 ustawy z dnia 19 kwietnia 1969 r. – Kodeks karny").empty());
    // "Przepisy wprowadzające" is not the code.
    EXPECT_TRUE(linki("art. 8 ustawy z dnia 23 kwietnia 1964 r. – Przepisy wprowadzające kodeks cywilny").empty());
    // In a footnote a named code is still a link; the document's own code
    // is then reached as another code's.
    EXPECT_EQ(linki("art. 415 k.c.", true), V{"code-article:art. 415>Kodeks cywilny Art. 415"});
}

TEST_F(Tekst, EveryCaseOfEveryCodeName)
{
    const char* przypadki[] = {"Kodeks cywilny", "Kodeksu cywilnego", "Kodeksowi cywilnemu", "Kodeksem cywilnym",
                               "Kodeksie cywilnym", "kodeksu cywilnego"};
    for (const char* p : przypadki) {
        std::size_t koniec = 0;
        const std::string t = cp(p);
        EXPECT_EQ(kodeksy::NazwaKodeksu(t, 0, koniec), kodeks("Kodeks cywilny")) << p;
        EXPECT_EQ(koniec, t.size()) << p;
    }
    struct {
        const char* tekst;
        const char* tytul;
    } nazwy[] = {{"Kodeksu karnego", "Kodeks karny"},
                 {"Kodeksem karnym wykonawczym", "Kodeks karny wykonawczy"},
                 {"Kodeksie morskim", "Kodeks morski"},
                 {"Kodeksu postępowania administracyjnego", "Kodeks postępowania administracyjnego"},
                 {"Kodeksie pracy", "Kodeks pracy"},
                 {"Kodeksu rodzinnego i opiekuńczego", "Kodeks rodzinny i opiekuńczy"},
                 {"Kodeksowi spółek handlowych", "Kodeks spółek handlowych"},
                 {"Kodeksem wykroczeń", "Kodeks wykroczeń"},
                 {"Konstytucją", "Konstytucja Rzeczypospolitej Polskiej"},
                 {"Ordynację podatkową", "Ordynacja podatkowa"},
                 {"ordynacji podatkowej", "Ordynacja podatkowa"},
                 {"k.k.w.", "Kodeks karny wykonawczy"},
                 {"k.k.s.", "Kodeks karny skarbowy"},
                 {"k.k.", "Kodeks karny"},
                 {"k.p.a.", "Kodeks postępowania administracyjnego"},
                 {"k.p.s.w.", "Kodeks postępowania w sprawach o wykroczenia"},
                 {"k.r.o.", "Kodeks rodzinny i opiekuńczy"},
                 {"k.s.h.", "Kodeks spółek handlowych"},
                 {"k.w.", "Kodeks wykroczeń"},
                 {"o.p.", "Ordynacja podatkowa"}};
    for (const auto& n : nazwy) {
        std::size_t koniec = 0;
        EXPECT_EQ(kodeksy::NazwaKodeksu(cp(n.tekst), 0, koniec), kodeks(n.tytul)) << n.tekst;
        ASSERT_GE(kodeks(n.tytul), 0) << n.tytul;
    }
    std::size_t koniec = 0;
    EXPECT_FALSE(kodeksy::NazwaKodeksu(cp("Kodeksu"), 0, koniec));
    EXPECT_FALSE(kodeksy::NazwaKodeksu(cp("k.p.x."), 0, koniec));
    EXPECT_FALSE(kodeksy::NazwaKodeksu(cp("Kodeksu cywilnegoś"), 0, koniec));
    // The longest title wins after a dash.
    EXPECT_EQ(kodeksy::TytulPoMyslniku(cp("Kodeks karny skarbowy"), 0, koniec), kodeks("Kodeks karny skarbowy"));
    for (int k = 0; k < kLiczbaKodeksow; ++k)
        EXPECT_GT(kodeksy::DataUchwalenia(k).Rok, 1900) << k;
}

TEST_F(Tekst, UnknownActsAreNoLinks)
{
    EXPECT_TRUE(linki("art. 5 ustawy").empty());
    EXPECT_TRUE(linki("art. 5 ust. 1 i 2 ustawy o czymś").empty());
    EXPECT_TRUE(linki("art. 5 tej ustawy").empty());
    EXPECT_TRUE(linki("art. 5 Traktatu").empty());
    EXPECT_TRUE(linki("art. 5 u.s.p.").empty());
    EXPECT_TRUE(linki("art. 5 KC").empty());
    EXPECT_TRUE(linki("art. 1–3 i 5 ustawy z dnia 16 kwietnia 1993 r. o czymś").empty());
    // Another act named earlier in the sentence: a bare reference may be
    // its article, so it is no link.
    EXPECT_TRUE(linki("Stosuje się przepisy ustawy z dnia 5 maja 2001 r. o czymś, z wyjątkiem art. 5.").empty());
    EXPECT_TRUE(linki("Stosuje się przepisy ustawy o czymś, z wyjątkiem art. 5.").empty());
    EXPECT_TRUE(linki("Kodeksu karnego, z wyjątkiem art. 5.").empty());
    // A generic "ustawa" does not name an act.
    EXPECT_EQ(linki("Jeżeli ustawa nie stanowi inaczej, art. 5 stosuje się."), V{"article:art. 5>Art. 5"});
    EXPECT_EQ(linki("Zdanie o ustawie o czymś. Art. 5 stosuje się."), V{"article:Art. 5>Art. 5"});
    // "niniejszej ustawy" is the document itself.
    EXPECT_EQ(linki("art. 5 niniejszej ustawy"), V{"article:art. 5>Art. 5"});
}

TEST_F(Tekst, AmendingActsNameTheCodeBeforeTheReference)
{
    EXPECT_EQ(linki("W ustawie z dnia 6 czerwca 1997 r. – Kodeks karny wykonawczy w art. 1 § 2 otrzymuje brzmienie:",
                    false, -1),
              V{"code-article:art. 1 § 2>Kodeks karny wykonawczy Art. 1 § 2"});
    EXPECT_EQ(linki("W ustawie z dnia 23 kwietnia 1964 r. – Kodeks cywilny po art. 7 dodaje się art. 7^1", false, -1),
              V{"code-article:art. 7>Kodeks cywilny Art. 7"});
    // An older code of the title, words between, no date: nothing.
    EXPECT_TRUE(linki("W ustawie z dnia 19 kwietnia 1969 r. – Kodeks karny w art. 5 dodaje się", false, -1).empty());
    EXPECT_TRUE(linki("W ustawie z dnia 6 czerwca 1997 r. – Kodeks karny wprowadza się zmiany w art. 5", false, -1).empty());
    EXPECT_TRUE(linki("W ustawie – Kodeks karny w art. 5 dodaje się", false, -1).empty());
    // The code's own citation between its title and the reference.
    EXPECT_EQ(linki("W ustawie z dnia 26 czerwca 1974 r. – Kodeks pracy (Dz. U. z 2023 r. poz. 1465 i 1667) "
                    "w art. 22 § 1 otrzymuje brzmienie:",
                    false, -1),
              (V{"journal:Dz. U. z 2023 r. poz. 1465>Dz.U.2023.0.1465", "journal:1667>Dz.U.2023.0.1667",
                 "code-article:art. 22 § 1>Kodeks pracy Art. 22 § 1"}));
    // A bracket that is no citation, or one left unclosed, ties nothing.
    EXPECT_TRUE(linki("W ustawie z dnia 26 czerwca 1974 r. – Kodeks pracy (tekst pierwotny) w art. 22 dodaje się",
                      false, -1)
                    .empty());
    EXPECT_EQ(linki("W ustawie z dnia 26 czerwca 1974 r. – Kodeks pracy Dz. U. z 2023 r. poz. 1465) w art. 22", false,
                    -1),
              V{"journal:Dz. U. z 2023 r. poz. 1465>Dz.U.2023.0.1465"});
}

TEST_F(Tekst, BareReferencesBelongOnlyToACodesText)
{
    // In a footnote or a Journal act a bare reference may cite another act.
    EXPECT_TRUE(linki("Przez art. 1 pkt 1 ustawy.", true).empty());
    EXPECT_TRUE(linki("art. 5", true).empty());
    EXPECT_TRUE(linki("w art. 5 § 2 otrzymuje brzmienie", false, -1).empty());
    EXPECT_EQ(linki("art. 415 k.c.", false, -1), V{"code-article:art. 415>Kodeks cywilny Art. 415"});
}

TEST_F(Tekst, OtherActsThroughTheirCitation)
{
    const char* t = "art. 11 ust. 4 ustawy z dnia 16 kwietnia 1993 r. o zwalczaniu nieuczciwej konkurencji "
                    "(Dz. U. z 2022 r. poz. 1233 i 1488)";
    // Not in the library: the citations alone are links.
    EXPECT_EQ(linki(t), (V{"journal:Dz. U. z 2022 r. poz. 1233>Dz.U.2022.0.1233", "journal:1488>Dz.U.2022.0.1488"}));
    biblioteka.Akty.insert("Dz.U.2022.0.1233");
    EXPECT_EQ(linki(t), (V{"act-article:art. 11 ust. 4>Dz.U.2022.0.1233 Art. 11 ust. 4",
                           "journal:Dz. U. z 2022 r. poz. 1233>Dz.U.2022.0.1233", "journal:1488>Dz.U.2022.0.1488"}));
    // The year of a citation without one comes from the act's date.
    biblioteka.Akty.insert("Dz.U.2023.0.1823");
    EXPECT_EQ(linki("art. 3 pkt 2 ustawy z dnia 7 lipca 2023 r. o czymś (Dz. U. poz. 1823)."),
              (V{"act-article:art. 3 pkt 2>Dz.U.2023.0.1823 Art. 3 pkt 2", "journal:Dz. U. poz. 1823>Dz.U.2023.0.1823"}));
    // A footnote citing the amending act.
    biblioteka.Akty.insert("Dz.U.1998.106.668");
    EXPECT_EQ(linki("Przez art. 1 pkt 1 ustawy z dnia 10 lipca 1998 r. o zmianie niektórych ustaw "
                    "(Dz. U. z 1998 r. Nr 106, poz. 668).",
                    true),
              (V{"act-article:art. 1 pkt 1>Dz.U.1998.106.668 Art. 1 pkt 1",
                 "journal:Dz. U. z 1998 r. Nr 106, poz. 668>Dz.U.1998.106.668"}));
    // A citation that may belong to another act of the sentence, or that
    // is older than the act, identifies nothing.
    EXPECT_EQ(linki("art. 3 ustawy z dnia 7 lipca 2023 r. o czymś oraz ustawy z dnia 8 lipca 2023 r. "
                    "(Dz. U. poz. 1823)"),
              V{"journal:Dz. U. poz. 1823>Dz.U.2023.0.1823"});
    EXPECT_EQ(linki("art. 3 ustawy z dnia 7 lipca 2024 r. o czymś (Dz. U. z 2023 r. poz. 1823)"),
              V{"journal:Dz. U. z 2023 r. poz. 1823>Dz.U.2023.0.1823"});
    EXPECT_EQ(linki("art. 3 ustawy z dnia 7 lipca 2023 r. o czymś. Zob. Dz. U. z 2023 r. poz. 1823."),
              V{"journal:Dz. U. z 2023 r. poz. 1823>Dz.U.2023.0.1823"});
}

TEST_F(Tekst, AnyTextStaysInBounds)
{
    const std::string kawalki[] = {"art.", "Art.", " ", "5", "^1", "a", " § ", " ust. ", " pkt ", " lit. ", "b",
                                   " i ", ", ", "–", " oraz ", " w ", " k.c.", " ustawy", " z dnia 3 maja 2001 r.",
                                   " – Kodeks karny", " (Dz. U. poz. 5)", "Dz. U. z 2001 r. poz. 5", ".", " Konstytucji",
                                   "\xA0", " zdanie", " lat", "x"};
    biblioteka.Akty.insert("Dz.U.2001.0.5");
    std::mt19937 los(11);
    for (int n = 0; n < 4000; ++n) {
        std::string t;
        const int ile = int(los() % 16);
        for (int k = 0; k < ile; ++k)
            t += kawalki[los() % std::size(kawalki)];
        for (std::size_t cut : {t.size(), t.size() * 2 / 3}) {
            const std::string_view v(t.data(), cut);
            for (bool przypis : {false, true}) {
                TZrodloOdnosnikow z;
                z.Kodeks = 3;
                for (const TOdnosnik& o : OdnosnikiTekstu(v, 0, przypis, z, biblioteka)) {
                    ASSERT_EQ(o.Miejsca.size(), 1u);
                    ASSERT_GT(o.Miejsca[0].Dlugosc, 0u) << t;
                    ASSERT_LE(o.Miejsca[0].Od + o.Miejsca[0].Dlugosc, v.size()) << t;
                    if (o.Cel.Rodzaj != TRodzajOdnosnika::Dziennik) {
                        ASSERT_FALSE(o.Cel.Adres.Artykul.empty()) << t;
                    }
                }
            }
        }
    }
}
