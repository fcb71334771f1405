// Reading source texts: every refusal names file, line and column.
#include "PackTestUtil.h"

#include "packer/Source.h"

#include <gtest/gtest.h>

using namespace packtest;

namespace {

// The one problem of a text that should have exactly one.
packer::Problem only(const std::string& text)
{
    Parsed p = parse(text);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.problems.size(), 1u) << problemsText(p.problems);
    return p.problems.empty() ? packer::Problem{} : p.problems[0];
}

bool contains(const std::string& s, const std::string& part)
{
    return s.find(part) != std::string::npos;
}

} // namespace

TEST(PackSource, EncodingErrorsPointAtTheCharacter)
{
    auto p = only("Kodeks karny\n\nArt. 1. Zł\xC3" "(e.\n");
    EXPECT_EQ(p.file, "t.txt");
    EXPECT_EQ(p.line, 3);
    EXPECT_EQ(p.column, 11);
    EXPECT_TRUE(contains(p.message, "UTF-8"));

    p = only("Kodeks karny\n\nArt. 1. Treść.\nArt. 2. Pół ½ litra.\n");
    EXPECT_EQ(p.line, 4);
    EXPECT_EQ(p.column, 13);
    EXPECT_TRUE(contains(p.message, "U+00BD")) << p.message;

    p = only("Kodeks karny\n\nArt. 1.\tTreść.\n");
    EXPECT_EQ(p.line, 3);
    EXPECT_EQ(p.column, 8);
    EXPECT_TRUE(contains(p.message, "tab"));

    // Superscript digits are the one documented substitution.
    Parsed ok = parse("Kodeks karny\n\nArt. 5¹². Treść.\n");
    ASSERT_TRUE(ok.ok) << problemsText(ok.problems);
    EXPECT_EQ(ok.doc.body[0].text, "Art. 5^12. Tre" + cp1250::fromUtf8("ść") + ".");
}

TEST(PackSource, NameAndLayout)
{
    Parsed p = parse("kodeks POSTĘPOWANIA cywilnego\n\nArt. 1. Treść.\n");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    EXPECT_EQ(p.doc.name, cp1250::fromUtf8("Kodeks postępowania cywilnego"));
    EXPECT_EQ(p.doc.numer, 6);
    EXPECT_EQ(p.doc.rok, "Lumesta");

    p = parse("Dz.U.2016.0.1250\n\nUSTAWA\n");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    EXPECT_EQ(p.doc.kind, packer::DocumentKind::Journal);
    EXPECT_EQ(p.doc.rok, "2016");
    EXPECT_EQ(p.doc.pozycja, 1250);

    auto e = only("Prawo prasowe\n\nArt. 1.\n");
    EXPECT_EQ(e.line, 1);
    EXPECT_TRUE(contains(e.message, "Prawo prasowe"));
    EXPECT_EQ(only("Dz.U.98.1.2\n\nArt. 1.\n").line, 1);
    EXPECT_EQ(only("Kodeks karny\nArt. 1.\n").line, 2);
    EXPECT_TRUE(contains(only("Kodeks karny\n\n\n\n").message, "no text"));

    // Blank lines inside the text are kept, around it dropped; CR LF is fine.
    p = parse("\xEF\xBB\xBFKodeks karny\r\n\r\n\r\nArt. 1.\r\n\r\nArt. 2.  \r\n\r\n");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    ASSERT_EQ(p.doc.body.size(), 3u);
    EXPECT_EQ(p.doc.body[1].text, "");
    EXPECT_EQ(p.doc.body[2].text, "Art. 2.");
    EXPECT_EQ(p.doc.body[2].sourceLine, 6);
}

TEST(PackSource, HeadingsKnownUnknownAndEscaped)
{
    Parsed p = parse("Kodeks karny\n\nKODEKS KARNY\nDZIAŁ I\nPRZEPISY OGÓLNE\nRozdział 1\nArt. 1. § 1. Treść.\n"
                     "§ 2. Dalej.\nKodeksu nie stosuje się.\n\\Sekcja 2\n");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    std::vector<int> kinds;
    for (const auto& l : p.doc.body)
        kinds.push_back(l.heading);
    EXPECT_EQ(kinds, (std::vector<int>{9, 17, 0, 18, 2, 3, 0, 0}));
    EXPECT_EQ(p.doc.body.back().text, "Sekcja 2");

    auto e = only("Kodeks karny\n\nArt. 1.\nROZDZIAL 2\n");
    EXPECT_EQ(e.line, 4);
    EXPECT_EQ(e.column, 1);
    EXPECT_TRUE(contains(e.message, "ROZDZIAŁ")) << e.message;
    e = only("Kodeks karny\n\nart. 5 stosuje się.\n");
    EXPECT_EQ(e.line, 3);
    e = only("Kodeks karny\n\nArt. 1.\nPODDZIAŁ II\n");
    EXPECT_EQ(e.line, 4);
    EXPECT_TRUE(contains(e.message, "unknown heading"));
    e = only("Kodeks karny\n\n§1. Treść.\n");
    EXPECT_EQ(e.column, 2);
    e = only("Kodeks karny\n\nArt.5. Treść.\n");
    EXPECT_EQ(e.column, 5);
}

TEST(PackSource, FootnoteMarksAndFootnotes)
{
    Parsed p = parse("Kodeks karny\n\nDZIAŁ I[^1]\nArt. 1. Treść[^2], dalej.[^3]\n\n[^1]: Pierwszy.\n"
                     "[^2]:\n   Drugi,\n   w dwóch liniach.\n\n[^3]: Trzeci.\n");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    EXPECT_EQ(p.doc.markCount, 3);
    EXPECT_EQ(p.doc.body[1].text, cp1250::fromUtf8("Art. 1. Treść \x01, dalej.\x01"));
    ASSERT_EQ(p.doc.footnotes.size(), 3u);
    ASSERT_EQ(p.doc.footnotes[1].lines.size(), 2u);
    EXPECT_EQ(p.doc.footnotes[1].lines[1].text, cp1250::fromUtf8("w dwóch liniach."));

    auto e = only("Kodeks karny\n\nArt. 1. Treść[^1] dalej.\n");
    EXPECT_EQ(e.line, 3);
    EXPECT_EQ(e.column, 14);
    EXPECT_TRUE(contains(e.message, "has no footnote"));
    e = only("Kodeks karny\n\nArt. 1.\n\n[^1]: Bez odsyłacza.\n");
    EXPECT_EQ(e.line, 5);
    EXPECT_TRUE(contains(e.message, "no mark"));
    e = only("Kodeks karny\n\nArt. 1. A[^2] b.\n\n[^1]: x\n[^2]: y\n");
    EXPECT_EQ(e.column, 10);
    EXPECT_TRUE(contains(e.message, "out of order"));
    e = only("Kodeks karny\n\nArt. 1. Słowo[^1].\n\n[^1]: x\n");
    EXPECT_EQ(e.line, 3);
    e = only("Kodeks karny\n\nArt. 1. A[^1][^2] b.\n\n[^1]: x\n[^2]: y\n");
    EXPECT_TRUE(contains(e.message, "side by side"));
    e = only("Kodeks karny\n\nArt. 1. A[^x] b.\n");
    EXPECT_EQ(e.column, 10);
    e = only("Kodeks karny\n\nArt. 1. A.[^1]\n\n[^1]: W przypisie [^1] nie.\n");
    EXPECT_EQ(e.line, 5);
}

TEST(PackSource, CitationsKeptOrRefused)
{
    const std::string zmiany = "Zmiany: Dz. U. z 1997 r. Nr 88, poz. 553, z 1999 r. Nr 83, poz. 931 i 932 oraz "
                               "z 2016 r. poz. 1250; zob. także Dz. U. UE.";
    Parsed p = parse("Kodeks karny\n\nArt. 1.[^1]\n\n[^1]: " + zmiany + "\n");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    EXPECT_EQ(p.doc.footnotes[0].lines[0].text, cp1250::fromUtf8(zmiany));
    // Issue numbers of four digits are linked as they are.
    EXPECT_TRUE(parse("Kodeks karny\n\nArt. 1.[^1]\n\n[^1]: Dz. U. z 1998 r. Nr 1060, poz. 668.\n").ok);

    auto e = only("Kodeks karny\n\nArt. 1.[^1]\n\n[^1]: Zob. Dz. U. Nr 106, poz. 668.\n");
    EXPECT_EQ(e.line, 5);
    EXPECT_EQ(e.column, 12);
    EXPECT_TRUE(contains(e.message, "no year"));
    e = only("Kodeks karny\n\nArt. 1.[^1]\n\n[^1]: Dz. U. z 1998 r. Nr 10600, poz. 668.\n");
    EXPECT_TRUE(contains(e.message, "would not be recognised"));
    e = only("Kodeks karny\n\nArt. 1.[^1]\n\n[^1]: Dz. U. z 1998 r. w całości.\n");
    EXPECT_TRUE(contains(e.message, "'Nr' or 'poz.'"));
}

TEST(PackSource, FolderListingTakesOnlyTextFiles)
{
    ScratchDir dir;
    writeText(dir.path() / "b.txt", "");
    writeText(dir.path() / "a.txt", "");
    writeText(dir.path() / "c.md", "");
    fs::create_directories(dir.path() / "d.txt");
    const auto files = packer::listSourceFiles(dir.path());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].filename(), "a.txt");
    EXPECT_EQ(files[1].filename(), "b.txt");
    EXPECT_TRUE(packer::listSourceFiles(dir.path() / "missing").empty());
}
