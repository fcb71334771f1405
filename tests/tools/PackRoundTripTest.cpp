// Packing and decoding back through the reader's own store: the text must
// come back exactly, spacing and punctuation included.
#include "PackTestUtil.h"

#include "packer/Generator.h"
#include "store/Cytowania.h"

#include <gtest/gtest.h>

using namespace packtest;

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

struct Packed {
    ScratchDir dir;
    fs::path src() const { return dir.path() / "src"; }
    fs::path out() const { return dir.path() / "out"; }
    packer::Problems problems;
    bool ok = false;

    explicit Packed(const Files& files)
    {
        for (const auto& [name, text] : files)
            writeText(src() / name, text);
        ok = packer::packFolder(src(), out(), problems);
    }
};

const char* kAwkward =
    "Kodeks cywilny\n"
    "\n"
    "Tekst demonstracyjny – nie jest to prawo obowiązujące.\n"
    "KODEKS CYWILNY\n"
    "Art. 1. Zwykłe zdanie, z przecinkiem; średnikiem: dwukropkiem.\n"
    "Art. 2. (uchylony)\n"
    "§ 2. Słowa „w cudzysłowie” i 'pojedynczym', a także (w nawiasie), [w kwadratowym] i {klamrach}.\n"
    "Dwie  spacje,   trzy spacje i spacja przed przecinkiem , oraz kropką .\n"
    "   Wcięcie na początku wiersza.\n"
    "(Nawias na początku wiersza) i na końcu (\n"
    "Ułamki a/b, ścieżki c:\\d\\e, procenty 5% i 5 %, myślnik – i dywiz - oraz -przed i po- słowem.\n"
    "Dz.U.1998.106.668 w tekście oraz Dz. U. z 1998 r. Nr 106, poz. 668 bez zmian.\n"
    ".\n"
    ")\n"
    "–\n"
    "\n"
    "Po pustym wierszu: znaki ‰ ° ’ ® ˝ ± × ÷ • « » ‹ › ¶ · oraz twarda\u00A0spacja.\n"
    "Pytanie? Wykrzyknik! Wielokropek… Koniec).\n"
    "Zagnieżdżone ((nawiasy)) i ([mieszane]), kropki... oraz ?!.\n"
    "a - b -- c --- d\n"
    "Art. 5^1. Jednostka wstawiona.\n"
    "Art.[^1]\n"
    "ROZDZIAŁ II[^2]\n"
    "PRZEPISY[^3] OGÓLNE\n"
    "§ 1. Znak na końcu.[^4]\n"
    "§ 2. Dwa znaki na końcu.[^5][^6]\n"
    "[^7] Znak na początku wiersza.\n"
    "Znak w środku zdania [^8] i dalej, znak po kropce.[^9] Dalej, znak przed przecinkiem [^10], dalej.\n"
    "\\Kodeks niniejszy – wiersz zwykły mimo słowa nagłówka.\n"
    "\n"
    "[^1]: Pierwszy (Dz. U. z 1998 r. Nr 106, poz. 668).\n"
    "[^2]: Drugi: Dz. U. z 1998 r. Nr 106, poz. 668 i 669, Nr 117, poz. 756 oraz z 2016 r. poz. 1250.\n"
    "    Druga linia przypisu, a w niej Dz.U.2001.5.43.\n"
    "[^3]: Trzeci.\n"
    "[^4]: Czwarty.\n"
    "[^5]: Piąty.\n"
    "[^6]: Szósty.\n"
    "[^7]: Siódmy.\n"
    "[^8]: Ósmy.\n"
    "[^9]: Dziewiąty.\n"
    "[^10]: Dziesiąty.\n";

} // namespace

TEST(PackRoundTrip, AwkwardSpacingAndPunctuationReadBackExactly)
{
    Packed p(Files{{"kc.txt", kAwkward}});
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    const Decoded d = decode(p.out(), "Kodeks cywilny");
    ASSERT_TRUE(d.messages.empty()) << d.messages[0];

    // Every source line comes back as written, except the documented
    // spacing around marks that stand inside a line.
    std::vector<std::string> expected;
    {
        std::istringstream in(kAwkward);
        std::string l;
        int n = 0;
        while (std::getline(in, l)) {
            ++n;
            if (n <= 2)
                continue;
            if (l.rfind("[^1]:", 0) == 0)
                break;
            if (l.rfind("\\", 0) == 0)
                l.erase(0, 1);
            expected.push_back(l);
        }
        while (!expected.empty() && expected.back().empty())
            expected.pop_back();
    }
    expected[expected.size() - 6] = "PRZEPISY [^3] OGÓLNE";
    expected[expected.size() - 2] =
        "Znak w środku zdania [^8] i dalej, znak po kropce. [^9] Dalej, znak przed przecinkiem [^10], dalej.";
    ASSERT_EQ(d.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(d.lines[i], expected[i]) << "line " << i;

    // Heading kinds: KODEKS, Art, §, ROZDZIAŁ; the escaped line is plain.
    EXPECT_EQ(d.kinds[1], 9);
    EXPECT_EQ(d.kinds[2], 2);
    EXPECT_EQ(d.kinds[4], 3);
    EXPECT_EQ(d.kinds[expected.size() - 7], 19);
    EXPECT_EQ(d.kinds.back(), 0);

    ASSERT_EQ(d.footnotes.size(), 10u);
    // Citations keep their wording.
    EXPECT_EQ(d.footnotes[0][0], " Pierwszy (Dz. U. z 1998 r. Nr 106, poz. 668).");
    ASSERT_EQ(d.footnotes[1].size(), 2u);
    EXPECT_EQ(d.footnotes[1][0],
              " Drugi: Dz. U. z 1998 r. Nr 106, poz. 668 i 669, Nr 117, poz. 756 oraz z 2016 r. poz. 1250.");
    EXPECT_EQ(d.footnotes[1][1], " Druga linia przypisu, a w niej Dz.U.2001.5.43.");
    EXPECT_EQ(d.footnotes[9][0], " Dziesiąty.");

    // The reader's scanner finds every act.
    const TCytowania found = SzukajCytowan(cp1250::fromUtf8(d.footnotes[1][0]));
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].Akt, (TAkt{1998, 106, 668}));
    EXPECT_EQ(found[1].Akt, (TAkt{1998, 106, 669}));
    EXPECT_EQ(found[2].Akt, (TAkt{1998, 117, 756}));
    EXPECT_EQ(found[3].Akt, (TAkt{2016, 0, 1250}));

    packer::Problems problems;
    EXPECT_TRUE(packer::verifyFolder(p.src(), p.out(), problems)) << problemsText(problems);
}

TEST(PackRoundTrip, LibraryLayoutSharedDictionaryAndPresenceFiles)
{
    Packed p(Files{{"a.txt", "Kodeks pracy\n\nArt. 1. Pracownik i pracodawca.\n"},
              {"b.txt", "Kodeks karny\n\nArt. 1. Pracownik i sprawca.[^1]\n\n[^1]: Dz. U. z 1998 r. Nr 106, poz. 668.\n"},
              {"c.txt", "Dz.U.1998.106.668\n\nUSTAWA\nArt. 1. Pracownik.\n"},
              {"d.txt", "Dz.U.2016.0.1250\n\nUSTAWA\nArt. 1. Sprawca.\n"}});
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    const fs::path data = p.out() / "Lumesta";
    EXPECT_TRUE(fs::exists(p.out() / "Morvitane.sko"));
    EXPECT_TRUE(fs::exists(data / "Lumesta.rdu"));
    EXPECT_TRUE(fs::exists(data / "1998.rdu"));
    EXPECT_TRUE(fs::exists(data / "2016.rdu"));
    EXPECT_TRUE(fs::exists(data / "Dzienniki Ustaw" / "Dz.U.1998.106.668.txt"));
    EXPECT_TRUE(fs::exists(data / "Dzienniki Ustaw" / "Dz.U.2016.0.1250.txt"));
    EXPECT_EQ(fs::file_size(data / "Dzienniki Ustaw" / "Dz.U.1998.106.668.txt"), 0u);
    // One presence file per act, named after its real issue number.
    EXPECT_EQ(std::distance(fs::directory_iterator(data / "Dzienniki Ustaw"), fs::directory_iterator()), 2);

    // One dictionary: each word once, the most used first.
    TPliki store;
    store.WczytajSlownik(p.out() / "Morvitane.sko");
    int pracownik = 0;
    for (const auto& w : store.Slownik) {
        if (w.Slowo == "Pracownik") {
            ++pracownik;
            EXPECT_EQ(w.Liczba, 3);
        }
    }
    EXPECT_EQ(pracownik, 1);
    ASSERT_FALSE(store.Slownik.empty());
    EXPECT_EQ(store.Slownik[0].Slowo, "1"); // "Art. 1." in all four
    EXPECT_EQ(store.Slownik[0].Liczba, 4);

    // The codes list in code order; the yearbook lists its act.
    TListaNapisow text, footnotes, titles;
    TPlik plik;
    store.OtworzDokument(data, "Kodeks cywilny", text, footnotes, plik, false, titles);
    EXPECT_EQ(titles, (TListaNapisow{"Kodeks karny", "Kodeks pracy"}));
    store.OtworzDokument(data, "Dz.U.1998.106.668", text, footnotes, plik, true, titles);
    EXPECT_EQ(titles, TListaNapisow{"Dz.U.1998.106.668"});
    ASSERT_EQ(plik.size(), 2u);
    EXPECT_EQ(plik[0][0].Rodzaj, 7);

    // Small records use one-byte word indices.
    std::ifstream in(data / "Lumesta.rdu", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t dz = bytes.find("DzU");
    ASSERT_NE(dz, std::string::npos);
    TRekordDZU header;
    std::size_t stream = 0;
    ASSERT_TRUE(CzytajNaglowekRekordu(std::string_view(bytes).substr(dz), header, stream));
    EXPECT_EQ(header.Szerokosc, 1);
}

TEST(PackRoundTrip, WideRecordsAndLongUnpunctuatedStretches)
{
    // More than 256 distinct words forces two-byte indices; 600 words with no
    // punctuation at all must be joined into fewer tokens to fit the one-byte
    // distance, and still read back exactly.
    std::string many, bare;
    for (int i = 0; i < 600; ++i) {
        many += (i ? " " : "") + std::string("słowo") + std::to_string(i) + (i % 7 == 6 ? "," : "");
        bare += (i ? " " : "") + std::string("w") + std::to_string(i % 13);
    }
    const std::string text = "Kodeks morski\n\n" + many + ".\n" + bare + "\n" + bare + ".\nKoniec.\n";
    Packed p(Files{{"km.txt", text}});
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    const Decoded d = decode(p.out(), "Kodeks morski");
    ASSERT_EQ(d.lines.size(), 4u);
    EXPECT_EQ(d.lines[0], many + ".");
    EXPECT_EQ(d.lines[1], bare);
    EXPECT_EQ(d.lines[2], bare + ".");
    EXPECT_EQ(d.lines[3], "Koniec.");
}

TEST(PackRoundTrip, GeneratedLibraryVerifiesAndIsReproducible)
{
    const auto files = packer::generateLibrary(300'000, 42, 3, 4);
    EXPECT_EQ(files.size(), 7u);
    const auto again = packer::generateLibrary(300'000, 42, 3, 4);
    ASSERT_EQ(again.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(files[i].text, again[i].text);
    EXPECT_NE(packer::generateLibrary(300'000, 43, 3, 4)[0].text, files[0].text);

    Files named;
    std::size_t total = 0;
    for (const auto& f : files) {
        named.push_back({f.name, f.text});
        total += f.text.size();
    }
    EXPECT_GT(total, 250'000u);
    Packed p(named);
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    packer::Problems problems;
    packer::VerifyStats stats;
    EXPECT_TRUE(packer::verifyFolder(p.src(), p.out(), problems, &stats)) << problemsText(problems);
    EXPECT_EQ(stats.documents, files.size());
    EXPECT_GT(stats.footnoteLines, 50u);
}

TEST(PackRoundTrip, RandomLinesEitherRefusedOrReadBackExactly)
{
    // Lines built from pieces that meet at awkward places: every text the
    // reader accepts must come back exactly (marks aside, whose spacing is
    // normalised and checked by verify), and nothing may crash.
    const std::vector<std::string> pieces = {
        "Art.", "Art", "§", "DZIAŁ", "Rozdział", "I", "2", "słowo", "Kodeks", "(", ")", ",", ".", ";", ":", "?",
        "!", " ", " ", " ", "  ", "„", "”", "\"", "'", "-", "–", "/", "[", "]", "{", "}", "%", "*", "\\", "…",
        "\u00A0", "5^1", "[^]", "[^]", "Dz.U.1998.106.668", "°", "‰", "’", "|", "_", "+", "=", "<", ">", "."};
    std::mt19937 rng(12345);
    ScratchDir dir;
    int kept = 0;
    for (int doc = 1; doc <= 150; ++doc) {
        std::string body;
        int marks = 0;
        const int lines = 1 + static_cast<int>(rng() % 6);
        for (int l = 0; l < lines; ++l) {
            const int n = static_cast<int>(rng() % 14);
            std::string line;
            for (int k = 0; k < n; ++k) {
                std::string p = pieces[rng() % pieces.size()];
                if (p == "[^]")
                    p = "[^" + std::to_string(++marks) + "]";
                line += p;
            }
            body += line + "\n";
        }
        std::string text = "Dz.U.2000.1." + std::to_string(doc) + "\n\nUSTAWA\n" + body + "\n";
        for (int m = 1; m <= marks; ++m)
            text += "[^" + std::to_string(m) + "]: Przypis " + std::to_string(m) + " (Dz. U. z 2001 r. Nr 5, poz. 43).\n";
        packer::SourceDocument parsed;
        packer::Problems problems;
        if (!packer::parseSource(text, "r.txt", parsed, problems)) {
            ASSERT_FALSE(problems.empty());
            for (const auto& p : problems)
                EXPECT_GT(p.line, 0) << p.toString();
            continue;
        }
        ++kept;
        writeText(dir.path() / "src" / ("r" + std::to_string(doc) + ".txt"), text);
    }
    EXPECT_GT(kept, 40);
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(dir.path() / "src", dir.path() / "out", problems)) << problemsText(problems);
    EXPECT_TRUE(packer::verifyFolder(dir.path() / "src", dir.path() / "out", problems)) << problemsText(problems);
}
