// Text exports with what real ones throw at the importer: headers merged or
// split in any order, page numbers first or last, ligatures, non-breaking
// and soft hyphens, hyphenated line ends and compounds, flattened
// superscripts, headings with titles, paragraphs that start with a heading
// word, columns, Windows line ends and a byte order mark.
#include "ImportTestUtil.h"

#include <gtest/gtest.h>

using namespace importtest;

namespace {

importer::Result import(const std::string& text, const std::string& name = {})
{
    importer::Options o;
    o.name = name;
    return importer::importBytes(QByteArray::fromStdString(text), o);
}

bool hasWarning(const importer::Result& r, const std::string& part, int page = -1)
{
    for (const auto& w : r.warnings)
        if (w.message.find(part) != std::string::npos && (page < 0 || w.page == page))
            return true;
    return false;
}

// The Journal's form as plain pdftotext gives it.
const std::string kJournal =
    "DZIENNIK USTAW\n"
    "RZECZYPOSPOLITEJ POLSKIEJ\n"
    "Warszawa, dnia 5 marca 2024 r.\n"
    "Poz. 300\n"
    "OBWIESZCZENIE\n"
    "MARSZAŁKA SEJMU RZECZYPOSPOLITEJ POLSKIEJ\n"
    "z dnia 1 lutego 2024 r.\n"
    "w sprawie ogłoszenia jednolitego tekstu ustawy – Kodeks morski\n"
    "1. Na podstawie art. 16 ust. 1 ustawy z dnia 20 lipca 2000 r. o ogłaszaniu aktów normatywnych (Dz. U. z 2019 r.\n"
    "poz. 1461) ogłasza się w załączniku jednolity tekst ustawy z dnia 18 września 2001 r. – Kodeks morski.\n"
    "2. Podany w załączniku tekst jednolity ustawy nie obejmuje art. 2 ustawy z dnia 7 lipca 2023 r. o zmianie ustawy\n"
    "– Kodeks morski (Dz. U. poz. 1615), który stanowi:\n"
    "„Art. 2. Do spraw wszczętych stosuje się przepisy dotychczasowe w brzmieniu wymyślonym do prób.”.\n"
    "Marszałek Sejmu: J. Nowak\n"
    "\n\f"
    "Dziennik Ustaw – 2 – Poz. 300\n"
    "Załącznik do obwieszczenia Marszałka Sejmu Rzeczypospolitej Polskiej\n"
    "z dnia 1 lutego 2024 r. (poz. 300)\n"
    "USTAWA\n"
    "z dnia 18 września 2001 r.\n"
    "Kodeks morski1)\n"
    "CZĘŚĆ I\n"
    "PRZEPISY WSTĘPNE\n"
    "Art. 1. § 1. Kodeks opisuje próbne rejsy papierowych łódek po wodzie mor-\n"
    "skiej, a jego brzmienie wymyślono na potrzeby prób.\n"
    "§ 2. Przepisy \xEF\xAC\x81nansowe stosuje się odpowiednio.\n"
    "Art. 2. Łódką jest kartka papieru\xC2\xA0złożona według wykroju z atlasu żeg\xC2\xADlarzy.\n"
    "\n"
    "Kodeks niniejszy stosuje się również do łódek z kory.\n"
    "\n"
    "1)\n"
    "\n"
    "Niniejsza ustawa była zmieniana (Dz. U. z 2009 r. Nr 206, poz. 1589).\n"
    "\f"
    "–3–\n"
    "\n"
    "Dziennik Ustaw\n"
    "\n"
    "Art. 3. Właściciel łódki zapewnia pasażerom z plasteliny warunki socjal-\n"
    "ne oraz ekonomiczno-\n"
    "społeczne.\n"
    "DZIAŁ II\n"
    "PRZEDMIOT I ZAKRES\n"
    "Art. 5. Przepisy działu stosuje się do statków morskich.\n"
    "Art. 51. Przepis art. 5 stosuje się odpowiednio.\n"
    "Art. 5a. Do statków rybackich stosuje się art. 51.\n"
    "Rozdział 2a\n"
    "Przepisy szczególne\n"
    "Art. 6. Przepisy art. 51 i art. 5a stosuje się także do jachtów, a art. 51 ustawy o żegludze nie stosuje się.\n"
    "Poz. 300\n"
    "\f";

const std::string kJournalExpected =
    "Kodeks morski\n"
    "\n"
    "USTAWA\n"
    "z dnia 18 września 2001 r.\n"
    "Kodeks morski[^1]\n"
    "CZĘŚĆ I\n"
    "PRZEPISY WSTĘPNE\n"
    "Art. 1. § 1. Kodeks opisuje próbne rejsy papierowych łódek po wodzie morskiej, a jego brzmienie wymyślono na "
    "potrzeby prób.\n"
    "§ 2. Przepisy finansowe stosuje się odpowiednio.\n"
    "Art. 2. Łódką jest kartka papieru złożona według wykroju z atlasu żeglarzy.\n"
    "\\Kodeks niniejszy stosuje się również do łódek z kory.\n"
    "Art. 3. Właściciel łódki zapewnia pasażerom z plasteliny warunki socjalne oraz ekonomiczno-społeczne.\n"
    "DZIAŁ II\n"
    "PRZEDMIOT I ZAKRES\n"
    "Art. 5. Przepisy działu stosuje się do statków morskich.\n"
    "Art. 5^1. Przepis art. 5 stosuje się odpowiednio.\n"
    "Art. 5a. Do statków rybackich stosuje się art. 5^1.\n"
    "Rozdział 2a\n"
    "Przepisy szczególne\n"
    "Art. 6. Przepisy art. 5^1 i art. 5a stosuje się także do jachtów, a art. 51 ustawy o żegludze nie stosuje się.\n"
    "\n"
    "[^1]: Niniejsza ustawa była zmieniana (Dz. U. z 2009 r. Nr 206, poz. 1589).\n";

} // namespace

TEST(ImportText, JournalExportWithEverythingThatGoesWrong)
{
    const importer::Result r = import(kJournal);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_TRUE(r.source == kJournalExpected) << firstDifference(r.source, kJournalExpected);
    EXPECT_EQ(r.name, "Kodeks morski");
    EXPECT_EQ(r.summary.form, "Journal of Laws consolidated text");
    EXPECT_EQ(r.summary.pages, 3);
    EXPECT_EQ(r.summary.footnotes, 1);
    // The announcement and the annex header, less the furniture among them.
    EXPECT_EQ(r.summary.frontMatterLines, 15);
    EXPECT_TRUE(r.warnings.empty()) << warningsText(r);

    // Windows line ends and a byte order mark change nothing.
    std::string crlf = "\xEF\xBB\xBF";
    for (char c : kJournal) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    const importer::Result again = import(crlf);
    ASSERT_TRUE(again.ok) << warningsText(again);
    EXPECT_TRUE(again.source == kJournalExpected) << firstDifference(again.source, kJournalExpected);
}

TEST(ImportText, SejmLayoutWithTitleBlockPreambleAndColumns)
{
    const std::string text =
        "©Kancelaria Sejmu                                                              s. 1/2\n"
        "                                                                          2024-07-23\n"
        "\n"
        "                              Dz. U. 1997 Nr 78 poz. 483\n"
        "\n"
        "                                     KONSTYTUCJA\n"
        "                              RZECZYPOSPOLITEJ POLSKIEJ\n"
        "                               z dnia 2 kwietnia 1997 r.\n"
        "   Mając na względzie dobro wspólne, stanowimy niniejszy tekst, który wymyślono wyłącznie do\n"
        "prób programu i który nie jest prawem.\n"
        "                                       Rozdział I\n"
        "                                     RZECZPOSPOLITA\n"
        "   Art. 1. Tekst próbny należy do wszystkich, którzy zechcą go przeczytać od deski do deski.\n"
        "   Art. 2. Opłata wynosi:          10 zł\n"
        "\f"
        "©Kancelaria Sejmu                                                              s. 2/2\n"
        "                                                                          2024-07-23\n"
        "\n"
        "                                       Rozdział II\n"
        "                           WOLNOŚCI, PRAWA I OBOWIĄZKI CZŁOWIEKA\n"
        "                                       I OBYWATELA\n"
        "   Art. 3. 1. Każdy ma prawo do czytania tekstów próbnych.\n"
        "   2. Prawo to nie obejmuje zaginania rogów kartek.\n"
        "\f";
    const std::string expected =
        "Konstytucja Rzeczypospolitej Polskiej\n"
        "\n"
        "KONSTYTUCJA\n"
        "RZECZYPOSPOLITEJ POLSKIEJ\n"
        "z dnia 2 kwietnia 1997 r.\n"
        "Mając na względzie dobro wspólne, stanowimy niniejszy tekst, który wymyślono wyłącznie do prób programu "
        "i który nie jest prawem.\n"
        "Rozdział I\n"
        "RZECZPOSPOLITA\n"
        "Art. 1. Tekst próbny należy do wszystkich, którzy zechcą go przeczytać od deski do deski.\n"
        "Art. 2. Opłata wynosi: 10 zł\n"
        "Rozdział II\n"
        "WOLNOŚCI, PRAWA I OBOWIĄZKI CZŁOWIEKA I OBYWATELA\n"
        "Art. 3. 1. Każdy ma prawo do czytania tekstów próbnych.\n"
        "2. Prawo to nie obejmuje zaginania rogów kartek.\n";
    const importer::Result r = import(text);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_TRUE(r.source == expected) << firstDifference(r.source, expected);
    EXPECT_EQ(r.summary.form, "Sejm unified text");
    EXPECT_EQ(r.summary.input, "text export laid out with spaces");
    ASSERT_EQ(r.warnings.size(), 1u) << warningsText(r);
    EXPECT_TRUE(hasWarning(r, "columns", 1));
}

TEST(ImportText, FootnotesAcrossPagesAndInTheirOwnOrder)
{
    // Plain pdftotext: the numbers of a page's footnotes in a column, then
    // their texts; the last footnote goes on at the foot of the next page.
    const std::string text =
        "USTAWA\n"
        "z dnia 3 marca 2010 r.\n"
        "o próbach programu1)\n"
        "Art. 1. Pierwszy przepis.2)\n"
        "Art. 2. (uchylony)3)\n"
        "\n"
        "1)\n"
        "3)\n"
        "2)\n"
        "\n"
        "Pierwszy przypis.\n"
        "Drugi przypis.\n"
        "Trzeci przypis, który jest długi i zmienia ustawę z dnia 1 lipca 2009 r. (Dz. U. Nr 99, poz.\n"
        "\f"
        "Art. 3. Trzeci przepis.\n"
        "Art. 4. Czwarty przepis.4)\n"
        "\n"
        "1234), a dalej wymienia kolejne zmiany.\n"
        "4)\n"
        "\n"
        "Czwarty przypis.\n"
        "\f";
    const importer::Result r = import(text, "Dz.U.2010.12.34");
    ASSERT_TRUE(r.ok) << warningsText(r);
    const std::string expected =
        "Dz.U.2010.12.34\n"
        "\n"
        "USTAWA\n"
        "z dnia 3 marca 2010 r.\n"
        "o próbach programu[^1]\n"
        "Art. 1. Pierwszy przepis.[^2]\n"
        "Art. 2. (uchylony)[^3]\n"
        "Art. 3. Trzeci przepis.\n"
        "Art. 4. Czwarty przepis.[^4]\n"
        "\n"
        "[^1]: Pierwszy przypis.\n"
        "[^2]: Drugi przypis.\n"
        "[^3]: Trzeci przypis, który jest długi i zmienia ustawę z dnia 1 lipca 2009 r. (Dz. U. z 2009 r. Nr 99, "
        "poz. 1234), a dalej wymienia kolejne zmiany.\n"
        "[^4]: Czwarty przypis.\n";
    EXPECT_TRUE(r.source == expected) << firstDifference(r.source, expected) << "\n" << warningsText(r);
}

TEST(ImportText, GuessesAreWarnedWithPageAndLine)
{
    const std::string text =
        "USTAWA\n"
        "z dnia 3 marca 2010 r.\n"
        "o próbach programu\n"
        "Art. 1. Wyraz brzmi krzyw-\n"
        "ozdźbło i nie ma go w słowniku.\n"
        "Art. 2. Przypis bez treści.7)\n"
        "Art. 3. Tekst.\n";
    const importer::Result r = import(text, "Dz.U.2010.12.35");
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_NE(r.source.find("Art. 1. Wyraz brzmi krzywozdźbło i nie ma"), std::string::npos) << r.source;
    bool joined = false;
    for (const auto& w : r.warnings)
        if (w.message.find("joined a line that ends with a hyphen") != std::string::npos) {
            joined = true;
            EXPECT_EQ(w.page, 1);
            EXPECT_EQ(w.line, 5);
            EXPECT_EQ(w.toString().rfind("page 1, line 5: ", 0), 0u) << w.toString();
        }
    EXPECT_TRUE(joined) << warningsText(r);
    // A glued "7)" with no footnote anywhere is left as printed: no
    // footnote was found, so none is made up.
    EXPECT_NE(r.source.find("Art. 2. Przypis bez treści.7)"), std::string::npos) << r.source;
}

TEST(ImportText, LetterSpacedTitlesAreJoined)
{
    const std::string text = "U S T A W A\nz dnia 3 marca 2010 r.\nK O D E K S  M O R S K I\nArt. 1. Tekst.\n";
    const importer::Result r = import(text);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_EQ(r.source, "Kodeks morski\n\nUSTAWA\nz dnia 3 marca 2010 r.\nKODEKS MORSKI\nArt. 1. Tekst.\n");
}
