// What real texts pasted into sources run into: indented heading lines,
// citations the reader will not link, names with leading zeros.
#include "PackTestUtil.h"

#include "packer/Source.h"

#include <gtest/gtest.h>

using namespace packtest;

namespace {

Parsed footnote(const std::string& footnoteText)
{
    return parse("Kodeks karny\n\nArt. 1. Tekst.[^1]\n\n[^1]: " + footnoteText + "\n");
}

bool contains(const std::string& s, const std::string& part)
{
    return s.find(part) != std::string::npos;
}

} // namespace

TEST(PackWarnings, LeadingSpacesDoNotHideAHeading)
{
    Parsed p = parse("Kodeks karny\n\n   Art. 1. Tekst.\n  § 2. Dalej.\n    ROZDZIAŁ II\n   zwykły wiersz z wcięciem\n");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    ASSERT_EQ(p.doc.body.size(), 4u);
    EXPECT_EQ(p.doc.body[0].heading, 2);
    EXPECT_EQ(p.doc.body[0].text, "Art. 1. Tekst.");
    EXPECT_EQ(p.doc.body[1].heading, 3);
    EXPECT_EQ(p.doc.body[2].heading, 19);
    // A plain line keeps its indentation: it reads back as written.
    EXPECT_EQ(p.doc.body[3].heading, 0);
    EXPECT_EQ(p.doc.body[3].text, "   zwyk" + cp1250::fromUtf8("ł") + "y wiersz z wci" + cp1250::fromUtf8("ę") +
                                      "ciem");

    // A misspelt heading word behind spaces is refused at its own column.
    p = parse("Kodeks karny\n\n   ROZDZIAL 2\n");
    ASSERT_FALSE(p.ok);
    ASSERT_EQ(p.problems.size(), 1u);
    EXPECT_EQ(p.problems[0].line, 3);
    EXPECT_EQ(p.problems[0].column, 4);

    // The packed document shows the article as an article.
    ScratchDir dir;
    writeText(dir.path() / "src" / "kk.txt", "Kodeks karny\n\n  Art. 1. Tekst.\n");
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(dir.path() / "src", dir.path() / "out", problems)) << problemsText(problems);
    const Decoded d = decode(dir.path() / "out", "Kodeks karny");
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_EQ(d.kinds[0], 2);
    EXPECT_EQ(d.lines[0], "Art. 1. Tekst.");
    EXPECT_TRUE(packer::verifyFolder(dir.path() / "src", dir.path() / "out", problems)) << problemsText(problems);
}

TEST(PackWarnings, CitationsTheReaderWillNotLinkAreWarnedAbout)
{
    // A year cut off by a comma: packed as written, with a warning pointing
    // at the citation.
    Parsed p = footnote("Zmieniony przez ustawę (Dz.U. 2007, Nr 50, poz. 331).");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    ASSERT_EQ(p.doc.warnings.size(), 1u);
    EXPECT_EQ(p.doc.warnings[0].line, 5);
    EXPECT_EQ(p.doc.warnings[0].column, 31);
    EXPECT_TRUE(contains(p.doc.warnings[0].message, "citation")) << p.doc.warnings[0].message;

    // Before 2012 every act had an issue number: a link to issue 0 of such a
    // year opens nothing.
    p = footnote("Zob. Dz. U. z 1998 r. poz. 668 oraz Dz. U. z 2016 r. poz. 1250.");
    ASSERT_TRUE(p.ok) << problemsText(p.problems);
    ASSERT_EQ(p.doc.warnings.size(), 1u);
    EXPECT_EQ(p.doc.warnings[0].column, 12);
    EXPECT_TRUE(contains(p.doc.warnings[0].message, "Dz.U.1998.0.668")) << p.doc.warnings[0].message;

    // Linked citations (the reference form of the Sejm's database and
    // non-breaking spaces among them), and "Dz. U." that cites nothing, are
    // quiet.
    for (const char* quiet : {"Dz. U. z 1998 r. Nr 106, poz. 668 i 669, z 2001 r. Nr 5, poz. 43.",
                              "Dz.U.1998.106.668", "Zob. Dz. U. UE oraz Dz. Urz. UE L 12.", "Dzień Dz.U. jest.",
                              "Zmieniony przez ustawę (Dz.U. 2007 Nr 50 poz. 331).",
                              "Dodany przez ustawę (Dz.\u00A0U. z\u00A02007\u00A0r. Nr\u00A050, poz.\u00A0331)."}) {
        p = footnote(quiet);
        ASSERT_TRUE(p.ok) << quiet << "\n" << problemsText(p.problems);
        EXPECT_TRUE(p.doc.warnings.empty()) << quiet << ": " << p.doc.warnings[0].message;
    }

    // pack passes them on and still writes the data.
    ScratchDir dir;
    writeText(dir.path() / "src" / "kk.txt", "Kodeks karny\n\nArt. 1.[^1]\n\n[^1]: Dz.U. 2007, Nr 50, poz. 331.\n");
    packer::Problems problems, warnings;
    ASSERT_TRUE(packer::packFolder(dir.path() / "src", dir.path() / "out", problems, nullptr, &warnings))
        << problemsText(problems);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(contains(warnings[0].toString(), "kk.txt:5:7:")) << warnings[0].toString();
}

TEST(PackWarnings, LeadingZerosInANameAreNamedAsTheFault)
{
    Parsed p = parse("Dz.U.2007.050.331\n\nUSTAWA\n");
    ASSERT_FALSE(p.ok);
    ASSERT_EQ(p.problems.size(), 1u);
    EXPECT_EQ(p.problems[0].column, 11);
    EXPECT_TRUE(contains(p.problems[0].message, "leading zeros")) << p.problems[0].message;

    p = parse("Dz.U.2007.50.0331\n\nUSTAWA\n");
    ASSERT_FALSE(p.ok);
    EXPECT_TRUE(contains(p.problems[0].message, "leading zeros"));

    // Issue 0 (acts from 2012 on) is a number, not a leading zero.
    p = parse("Dz.U.2016.0.1250\n\nUSTAWA\n");
    EXPECT_TRUE(p.ok) << problemsText(p.problems);
}
