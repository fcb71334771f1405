// Sample consolidated texts in both official layouts, imported from the PDF
// and from both kinds of its text export, give back the act exactly.
#include "ImportTestUtil.h"

#include "packer/Packer.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

using namespace importtest;

namespace {

struct Case {
    const char* label;
    importer::SampleForm form;
    int input;  // 0 PDF, 1 pdftotext, 2 pdftotext -layout
};

class Sample : public ::testing::TestWithParam<Case> {};

std::optional<QByteArray> inputFor(const QByteArray& pdf, int kind)
{
    if (kind == 0)
        return pdf;
    return pdftotext(pdf, kind == 2);
}

} // namespace

TEST_P(Sample, FeatureActComesBackExactly)
{
    const Case c = GetParam();
    importer::SampleOptions o;
    o.form = c.form;
    const importer::Sample s = importer::makeSamplePdf(kFeatureContent, o);
    ASSERT_GE(s.pages, 1);
    const auto input = inputFor(s.pdf, c.input);
    if (!input)
        GTEST_SKIP() << "pdftotext is not installed";
    const importer::Result r = importer::importBytes(*input);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_EQ(r.name, "Kodeks postępowania karnego");
    const std::string expected = featureExpected();
    EXPECT_TRUE(r.source == expected) << firstDifference(r.source, expected);

    // The one guess: an act of December cited without a year.
    ASSERT_EQ(r.warnings.size(), 1u) << warningsText(r);
    EXPECT_NE(r.warnings[0].message.find("December"), std::string::npos);
    EXPECT_GE(r.warnings[0].page, 1);

    EXPECT_EQ(r.summary.articles, 11);
    EXPECT_EQ(r.summary.headings, 4);
    EXPECT_EQ(r.summary.footnotes, 4);
    EXPECT_GT(r.summary.furnitureLines, 0);
    EXPECT_GT(r.summary.frontMatterLines, 0);
}

TEST_P(Sample, GeneratedCodeComesBackExactlyAndPacks)
{
    const Case c = GetParam();
    const std::string content = importer::makeSampleCode(160, 11, "Kodeks pracy");
    importer::SampleOptions o;
    o.form = c.form;
    const importer::Sample s = importer::makeSamplePdf(content, o);
    const auto input = inputFor(s.pdf, c.input);
    if (!input)
        GTEST_SKIP() << "pdftotext is not installed";
    const importer::Result r = importer::importBytes(*input);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_TRUE(r.source == content) << firstDifference(r.source, content);
    // Plain pdftotext loses the hyphen of compounds broken at a line end;
    // the importer puts it back and says so. Nothing else is a guess.
    for (const auto& w : r.warnings)
        EXPECT_NE(w.message.find("as the text writes it elsewhere"), std::string::npos) << w.toString();
    if (c.input != 1) {
        EXPECT_TRUE(r.warnings.empty()) << warningsText(r);
    }

    packer::LibraryPacker packer;
    packer::Problems problems;
    EXPECT_TRUE(packer.add(r.source, "import.txt", problems)) << (problems.empty() ? "" : problems[0].toString());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Sample,
    ::testing::Values(Case{"JournalPdf", importer::SampleForm::Journal, 0},
                      Case{"JournalText", importer::SampleForm::Journal, 1},
                      Case{"JournalLayout", importer::SampleForm::Journal, 2},
                      Case{"SejmPdf", importer::SampleForm::Sejm, 0},
                      Case{"SejmText", importer::SampleForm::Sejm, 1},
                      Case{"SejmLayout", importer::SampleForm::Sejm, 2}),
    [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.label); });

TEST(SampleName, ConstitutionWithItsPreamble)
{
    const std::string content =
        "Konstytucja Rzeczypospolitej Polskiej\n\n"
        "KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ\n"
        "z dnia 2 kwietnia 1997 r.\n"
        "Mając na względzie dobro wspólne wszystkich czytelników, stanowimy niniejszy tekst próbny, którego "
        "brzmienie wymyślono wyłącznie na potrzeby sprawdzania programu, a który nie jest prawem.\n"
        "Ustanawiamy zatem zasady czytania, które obowiązują każdego, kto otworzy ten tekst, i wyrażamy "
        "nadzieję, że program odda jego układ wiernie, akapit po akapicie.\n"
        "Rozdział I\n"
        "RZECZPOSPOLITA\n"
        "Art. 1. Tekst próbny należy do wszystkich, którzy zechcą go przeczytać od deski do deski.\n"
        "Art. 2. Tekst próbny nie ma mocy prawnej.\n";
    for (importer::SampleForm form : {importer::SampleForm::Journal, importer::SampleForm::Sejm}) {
        importer::SampleOptions o;
        o.form = form;
        const importer::Result r = importer::importBytes(importer::makeSamplePdf(content, o).pdf);
        ASSERT_TRUE(r.ok) << warningsText(r);
        EXPECT_TRUE(r.source == content) << firstDifference(r.source, content);
    }
}

TEST(SampleName, TheFormsReferenceNamesAnActThatIsNoCode)
{
    // Not one of the fifteen codes: the Journal's own position, or the
    // Sejm's reference to the first publication.
    std::string content = kFeatureContent;
    for (std::size_t at = content.find("Kodeks postępowania karnego"); at != std::string::npos;
         at = content.find("Kodeks postępowania karnego", at))
        content.replace(at, std::string("Kodeks postępowania karnego").size(), "o próbach programu");
    importer::SampleOptions o;
    o.year = 2023;
    o.position = 1550;
    importer::Result r = importer::importBytes(importer::makeSamplePdf(content, o).pdf);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_EQ(r.name, "Dz.U.2023.0.1550");

    o.form = importer::SampleForm::Sejm;
    o.originalYear = 1997;
    o.originalNumber = 89;
    o.originalPosition = 555;
    r = importer::importBytes(importer::makeSamplePdf(content, o).pdf);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_EQ(r.name, "Dz.U.1997.89.555");
    EXPECT_EQ(r.source.substr(0, r.source.find('\n')), "Dz.U.1997.89.555");

    // --name wins, and a name the packer refuses is refused with its reason.
    importer::Options named;
    named.name = "Dz.U.1997.89.556";
    r = importer::importBytes(importer::makeSamplePdf(content, o).pdf, named);
    ASSERT_TRUE(r.ok) << warningsText(r);
    EXPECT_EQ(r.name, "Dz.U.1997.89.556");
    named.name = "Dz.U.1997.089.556";
    r = importer::importBytes(importer::makeSamplePdf(content, o).pdf, named);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("leading zeros"), std::string::npos) << r.error;
}

TEST(SampleName, AFootnoteGoesOnAtTheNextPagesFoot)
{
    // Drawn by hand: page 1 ends with the start of footnote 1, page 2's foot
    // goes on with it; page 3 ends with small type that is no footnote.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter w(&buffer);
        w.setPageSize(QPageSize(QPageSize::A4));
        w.setPageMargins(QMarginsF(0, 0, 0, 0));
        w.setResolution(72);
        QPainter p(&w);
        auto text = [&](double x, double y, double size, const QString& s) {
            QFont f(QStringLiteral("Liberation Serif"));
            f.setPointSizeF(size);
            p.setFont(f);
            p.drawText(QPointF(x, y), s);
        };
        text(260, 80, 11, QStringLiteral("USTAWA"));
        text(230, 95, 11, QStringLiteral("z dnia 5 maja 2005 r."));
        text(235, 110, 11, QStringLiteral("o próbach stron"));
        text(70, 140, 11, QStringLiteral("Art. 1. Pierwszy przepis z przypisem."));
        text(255, 136, 6.5, QStringLiteral("1)"));
        text(70, 770, 8, QStringLiteral("1) Przypis zaczyna się na pierwszej stronie i zmienia ustawę z dnia"));
        w.newPage();
        text(70, 80, 11, QStringLiteral("Art. 2. Drugi przepis."));
        text(70, 770, 8, QStringLiteral("1 kwietnia 2004 r. (Dz. U. Nr 12, poz. 34), a kończy na drugiej."));
        w.newPage();
        text(70, 80, 11, QStringLiteral("Art. 3. Trzeci przepis."));
        text(70, 770, 8, QStringLiteral("Drobny druk na dole strony, który nie jest przypisem."));
        p.end();
    }
    importer::Options named;
    named.name = "Dz.U.2005.1.2";
    const importer::Result r = importer::importBytes(bytes, named);
    ASSERT_TRUE(r.ok) << warningsText(r);
    const std::string expected =
        "Dz.U.2005.1.2\n\nUSTAWA\nz dnia 5 maja 2005 r.\no próbach stron\n"
        "Art. 1. Pierwszy przepis z przypisem.[^1]\nArt. 2. Drugi przepis.\n"
        "Art. 3. Trzeci przepis. Drobny druk na dole strony, który nie jest przypisem.\n\n"
        "[^1]: Przypis zaczyna się na pierwszej stronie i zmienia ustawę z dnia 1 kwietnia 2004 r. "
        "(Dz. U. z 2004 r. Nr 12, poz. 34), a kończy na drugiej.\n";
    EXPECT_TRUE(r.source == expected) << firstDifference(r.source, expected) << "\n" << r.source;
}
