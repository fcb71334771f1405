// The RTF reader: formatting and tables, escapes, destinations and fields,
// web addresses in plain text, damaged input, and the shipped licence text.
#include "reader/Rtf.h"
#include "reader/RtfDokument.h"

#include "platform/core/Cp1250.h"
#include "common/Sanitizer.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using rtf::TDokument;
using rtf::TWyrownanie;

namespace {

std::string utf(const std::string& s) { return cp1250::toUtf8(s); }

// Every run as "text|flags" where flags are b, i, u, size, font, colour, link.
std::vector<std::string> opis(const rtf::TAkapit& a)
{
    std::vector<std::string> w;
    for (const rtf::TFragment& f : a.Fragmenty) {
        std::string s = utf(f.Tekst) + "|";
        if (f.Format.Pogrubienie)
            s += "b";
        if (f.Format.Kursywa)
            s += "i";
        if (f.Format.Podkreslenie)
            s += "u";
        if (f.Format.RozmiarPolpunkty != 24)
            s += " fs" + std::to_string(f.Format.RozmiarPolpunkty);
        if (f.Format.Czcionka >= 0)
            s += " f" + std::to_string(f.Format.Czcionka);
        if (f.Format.Kolor != 0)
            s += " cf" + std::to_string(f.Format.Kolor);
        if (!f.Format.Lacze.empty())
            s += " ->" + utf(f.Format.Lacze);
        w.push_back(s);
    }
    return w;
}

using V = std::vector<std::string>;

} // namespace

TEST(Rtf, FormattingTablesAndAlignment)
{
    const TDokument d = rtf::Czytaj(
        "{\\rtf1\\ansi\\ansicpg1250\\deff1"
        "{\\fonttbl{\\f0\\fswiss\\fcharset238{\\*\\panose 020b0604020202020204}Arial;}"
        "{\\f1\\froman Times New Roman;}\\f2 Courier;}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\n"
        "\\pard\\qc\\b Tytu\\'b3\\b0\\par\n"
        "\\pard plain {\\i kursywa {\\ul obie}} plain\\par\n"
        "\\qr\\fs32\\f0\\cf2 du\\ulnone\\uld\\'bfe\\ul0  x\\par\n"
        "\\pard\\qj\\b\\i\\plain zwykly\\par}");
    EXPECT_TRUE(d.Rtf);
    ASSERT_EQ(d.Akapity.size(), 4u);
    EXPECT_EQ(d.Akapity[0].Wyrownanie, TWyrownanie::Srodek);
    EXPECT_EQ(opis(d.Akapity[0]), (V{"Tytuł|b"}));
    EXPECT_EQ(d.Akapity[1].Wyrownanie, TWyrownanie::Lewo);
    // A group's formatting ends with the group.
    EXPECT_EQ(opis(d.Akapity[1]), (V{"plain |", "kursywa |i", "obie|iu", " plain|"}));
    EXPECT_EQ(d.Akapity[2].Wyrownanie, TWyrownanie::Prawo);
    EXPECT_EQ(opis(d.Akapity[2]), (V{"du| fs32 f0 cf2", "że|u fs32 f0 cf2", " x| fs32 f0 cf2"}));
    EXPECT_EQ(d.Akapity[3].Wyrownanie, TWyrownanie::Obustronnie);
    EXPECT_EQ(opis(d.Akapity[3]), (V{"zwykly|"}));

    ASSERT_EQ(d.Czcionki.size(), 3u);
    EXPECT_EQ(d.Czcionka(0)->Nazwa, "Arial");
    EXPECT_EQ(d.Czcionka(1)->Nazwa, "Times New Roman");
    EXPECT_EQ(d.Czcionka(2)->Nazwa, "Courier");
    EXPECT_EQ(d.Czcionka(7), nullptr);
    EXPECT_EQ(d.DomyslnaCzcionka, 1);

    ASSERT_EQ(d.Kolory.size(), 3u);
    EXPECT_EQ(d.Kolor(0), nullptr); // the automatic colour
    ASSERT_NE(d.Kolor(1), nullptr);
    EXPECT_EQ(d.Kolor(1)->Wartosc, RGBColor(255, 0, 0));
    EXPECT_EQ(d.Kolor(2)->Wartosc, RGBColor(0, 128, 0));
    EXPECT_EQ(d.Kolor(3), nullptr);
}

TEST(Rtf, EscapesAndUnicode)
{
    const TDokument d = rtf::Czytaj(
        "{\\rtf1 a\\'b9\\'B9 \\{\\}\\\\ x\\~y\\emdash\\endash\\lquote q\\rquote\\ldblquote\\rdblquote"
        "\\line l\\tab t\\-z\\_z\\par"
        // \uN: the Windows-1250 letter replaces the fallback character.
        "\\u261?\\u-3913?x\\uc2\\u378 ab|\\uc0\\u322 c\\par"
        // A character the code page lacks: its fallback shows instead.
        "\\uc1\\u12354 ?\\uc3\\u12354 [?]|\\par}");
    ASSERT_EQ(d.Akapity.size(), 3u);
    EXPECT_EQ(d.Akapity[0].Tekst(), cp1250::fromUtf8("aąą {}\\ x\u00A0y\u2014\u2013\u2018q\u2019\u201C\u201D\nl\tt"
                                                    "z-z"));
    // -3913 is 61623 (U+F0B7, a private-use symbol): not in the code page,
    // so its fallback "?" stays.
    EXPECT_EQ(utf(d.Akapity[1].Tekst()), "ą?xź|łc");
    EXPECT_EQ(utf(d.Akapity[2].Tekst()), "?[?]|");
}

TEST(Rtf, DestinationsThatAreNotShown)
{
    const TDokument d = rtf::Czytaj(
        "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title Tytul}{\\author Ktos}}"
        "{\\*\\generator Edytor 1.0;}{\\*\\nieznany {\\b zagniezdzony} tekst}"
        "{\\header Naglowek\\par}"
        "A{\\pict\\pngblip 89504e470d0a}B{\\*\\bkmkstart zakladka}C"
        "\\bin5 {}\\x}D\\nieznaneslowo E{\\v ukryty}\\v ukryty\\v0 F\\v\\plain G\\par}");
    ASSERT_EQ(d.Akapity.size(), 1u);
    EXPECT_EQ(d.Akapity[0].Tekst(), "ABCDEFG");
}

TEST(Rtf, HyperlinkFieldsAndPlainAddresses)
{
    const TDokument d = rtf::Czytaj(
        "{\\rtf1 Pisz na {\\field{\\*\\fldinst{HYPERLINK \"mailto:biuro@x.pl\"}}{\\fldrslt{\\ul biuro}}}."
        " Zobacz {\\field{\\*\\fldinst HYPERLINK http://a.pl/b \\\\o \"tip\"}{\\fldrslt strona}}"
        " i {\\field{\\*\\fldinst{HYPERLINK \\\\l \"rozdzial\"}}{\\fldrslt tutaj}}"
        " i {\\field{\\*\\fldinst{PAGE}}{\\fldrslt 3}}\\par"
        "(www.mardovelt.pl), HTTP://Y.pl/a?b=1. awww.nie.pl mailto:a@b.pl; www. http://\\par}");
    ASSERT_EQ(d.Akapity.size(), 2u);
    EXPECT_EQ(opis(d.Akapity[0]),
              (V{"Pisz na |", "biuro|u ->mailto:biuro@x.pl", ". Zobacz |", "strona| ->http://a.pl/b",
                 " i tutaj i 3|"}));
    EXPECT_EQ(opis(d.Akapity[1]),
              (V{"(|", "www.mardovelt.pl| ->www.mardovelt.pl", "), |", "HTTP://Y.pl/a?b=1| ->HTTP://Y.pl/a?b=1",
                 ". awww.nie.pl |", "mailto:a@b.pl| ->mailto:a@b.pl", "; www. http://|"}));
}

namespace {

// A link whose target is `dlugosc` bytes long and whose shown text changes
// its formatting `zmian` times.
std::string dlugieLacze(std::size_t dlugosc, std::size_t zmian)
{
    std::string s = "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x.pl/" + std::string(dlugosc, 'a') +
                    "\"}{\\fldrslt ";
    for (std::size_t i = 0; i < zmian; ++i)
        s += i % 2 ? "\\b0 z" : "\\b z";
    return s + "}}\\par}";
}

// A font table of `ile` fonts.
std::string wieleCzcionek(std::size_t ile)
{
    std::string s = "{\\rtf1{\\fonttbl";
    for (std::size_t i = 0; i < ile; ++i)
        s += "{\\f" + std::to_string(i) + " F" + std::to_string(i) + ";}";
    return s + "}\\f7 tekst\\par}";
}

// Runs `cialo` in a child process limited to `sekundy` of processor time
// and (outside sanitizer builds, whose shadow memory needs terabytes of
// address space) to 1 GB more address space than it starts with; true when
// it finished within them and returned true.
bool konczySiePrzed(int sekundy, const std::function<bool()>& cialo)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        rlimit r{rlim_t(sekundy), rlim_t(sekundy)};
        setrlimit(RLIMIT_CPU, &r);
        long strony = 0;
        if (std::FILE* s = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(s, "%ld", &strony) != 1)
                strony = 0;
            std::fclose(s);
        }
        if (!kSanitizer && strony > 0) {
            const rlim_t pamiec = rlim_t(strony) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(1) << 30);
            rlimit p{pamiec, pamiec};
            setrlimit(RLIMIT_AS, &p);
        }
        _exit(cialo() ? 0 : 1);
    }
    int stan = 0;
    waitpid(pid, &stan, 0);
    return WIFEXITED(stan) && WEXITSTATUS(stan) == 0;
}

} // namespace

TEST(Rtf, ALinkIsHeldOnceHoweverItsRunsAreFormatted)
{
    // 2,000 runs of one 1,000-byte link: one copy of the target, not one
    // per run (the old way needed memory in proportion to both).
    const TDokument d = rtf::Czytaj(dlugieLacze(1000, 2000));
    ASSERT_EQ(d.Akapity.size(), 1u);
    const auto& fragmenty = d.Akapity[0].Fragmenty;
    ASSERT_EQ(fragmenty.size(), 2000u);
    std::set<const char*> kopie;
    for (const rtf::TFragment& f : fragmenty) {
        const std::string& cel = f.Format.Lacze;
        EXPECT_EQ(cel.size(), 1012u);
        kopie.insert(cel.data());
    }
    EXPECT_EQ(kopie.size(), 1u);

    // The shown document carries the link on every run.
    QTextDocument q;
    rtf::WypelnijDokument(q, d);
    const QTextFragment ostatni = (--q.firstBlock().end()).fragment();
    EXPECT_TRUE(ostatni.charFormat().isAnchor());
    EXPECT_EQ(ostatni.charFormat().anchorHref().size(), 1012);

    // A target longer than any web address is text, not a link.
    const TDokument za = rtf::Czytaj(dlugieLacze(rtf::MaksDlugoscLacza, 1));
    EXPECT_EQ(opis(za.Akapity[0]), V{"z|b"});
    const std::string adres = "www." + std::string(rtf::MaksDlugoscLacza, 'x');
    EXPECT_EQ(opis(rtf::Czytaj("{\\rtf1 " + adres + " i www.a.pl\\par}").Akapity[0]),
              (V{adres + " i |", "www.a.pl| ->www.a.pl"}));
}

TEST(Rtf, ReadingStaysLinearOnHostileInput)
{
    // Each input takes well under a second here (a few under the
    // sanitizers); before, the long link took minutes and gigabytes, and
    // the font table a quarter of a minute. The ceiling sits far above the
    // linear cost and far below the quadratic one.
    EXPECT_TRUE(konczySiePrzed(10, [] {
        const TDokument d = rtf::Czytaj(dlugieLacze(1'000'000, 300'000));
        return d.Akapity.size() == 1 && d.Akapity[0].Fragmenty.size() == 300'000;
    }));
    EXPECT_TRUE(konczySiePrzed(10, [] {
        const TDokument d = rtf::Czytaj(wieleCzcionek(150'000));
        return d.Czcionki.size() == 150'000 && d.Czcionka(149'999) && d.Czcionka(7)->Nazwa == "F7";
    }));
    // Plain addresses repeated without a break: each is looked at once.
    EXPECT_TRUE(konczySiePrzed(10, [] {
        std::string s = "{\\rtf1 ";
        for (int i = 0; i < 400'000; ++i)
            s += "www.=";
        return rtf::Czytaj(s + "\\par}").Akapity.size() == 1;
    }));
}

TEST(Rtf, PlainTextInputIsReadLineByLine)
{
    const TDokument d = rtf::Czytaj("Pierwszy wiersz\r\n\r\nStrona: www.x.pl\n");
    EXPECT_FALSE(d.Rtf);
    ASSERT_EQ(d.Akapity.size(), 3u);
    EXPECT_EQ(d.Akapity[0].Tekst(), "Pierwszy wiersz");
    EXPECT_TRUE(d.Akapity[1].Fragmenty.empty());
    EXPECT_EQ(opis(d.Akapity[2]), (V{"Strona: |", "www.x.pl| ->www.x.pl"}));
    EXPECT_TRUE(rtf::Czytaj("").Akapity.empty());
    // A byte-order mark and blank lines before the header still make rich text.
    EXPECT_TRUE(rtf::Czytaj("\xEF\xBB\xBF\r\n {\\rtf1 a}").Rtf);
}

TEST(Rtf, DamagedInputGivesWhatCanBeRead)
{
    // Cut off in the middle of a group, and of a control word.
    EXPECT_EQ(rtf::Czytaj("{\\rtf1 abc {\\b def").Tekst(), "abc def");
    EXPECT_EQ(rtf::Czytaj("{\\rtf1 abc\\").Tekst(), "abc");
    EXPECT_EQ(rtf::Czytaj("{\\rtf1 abc\\'").Tekst(), "abc");
    EXPECT_EQ(rtf::Czytaj("{\\rtf1 abc\\'4").Tekst(), "abc4");
    EXPECT_EQ(rtf::Czytaj("{\\rtf1 a\\'zzb}").Tekst(), "azzb");
    // Closing braces beyond the opening ones are ignored.
    EXPECT_EQ(rtf::Czytaj("{\\rtf1 a}}}b{\\b c}").Tekst(), "abc");
    // Oversized parameters and words are clamped, not overflowed.
    const TDokument duze = rtf::Czytaj("{\\rtf1\\fs99999999999999999999 a\\cf-5 b\\u99999999999 c"
                                       "\\bin99999999999999 ukryte}");
    ASSERT_EQ(duze.Akapity.size(), 1u);
    EXPECT_EQ(duze.Akapity[0].Fragmenty.front().Format.RozmiarPolpunkty, 3276);
    EXPECT_EQ(utf(duze.Tekst()), "abc");
    EXPECT_EQ(rtf::Czytaj("{\\rtf1 \\" + std::string(5000, 'x') + "1 a}").Tekst(), "a");
    // A control character in the text is dropped.
    EXPECT_EQ(rtf::Czytaj(std::string("{\\rtf1 a\0b\x01" "c}", 13)).Tekst(), "abc");

    // Nesting far deeper than any document: the formatting of the deepest
    // kept group applies, and the closing braces bring the outer one back.
    const std::string gleboko = "{\\rtf1 " + std::string(100000, '{') + "\\b x" + std::string(100000, '}') + "y}";
    const TDokument g = rtf::Czytaj(gleboko);
    EXPECT_EQ(opis(g.Akapity.at(0)), (V{"x|b", "y|"}));
}

TEST(Rtf, RandomDamageNeverBreaksTheReader)
{
    const std::string wzor =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
        "\\pard\\qc\\b Tytu\\'b3\\par{\\field{\\*\\fldinst{HYPERLINK \"http://a.pl\"}}{\\fldrslt a}}"
        "\\u261?\\uc2\\u12354 ab www.x.pl\\bin3 abc\\line\\tab\\par}";
    const std::string zaklocenia = "{}\\'0123456789-abcu ;\"\x80\xff";
    std::uint32_t los = 12345;
    const auto nastepny = [&los] {
        los = los * 1103515245u + 12345u;
        return los >> 8;
    };
    for (int proba = 0; proba < 3000; ++proba) {
        std::string s = wzor;
        const int zmian = 1 + int(nastepny() % 8);
        for (int z = 0; z < zmian && !s.empty(); ++z) {
            const std::size_t p = nastepny() % s.size();
            switch (nastepny() % 3) {
            case 0:
                s[p] = zaklocenia[nastepny() % zaklocenia.size()];
                break;
            case 1:
                s.erase(p, 1 + nastepny() % 6);
                break;
            default:
                s.resize(p);
                break;
            }
        }
        const TDokument d = rtf::Czytaj(s);
        for (const rtf::TAkapit& a : d.Akapity)
            for (const rtf::TFragment& f : a.Fragmenty) {
                ASSERT_FALSE(f.Tekst.empty()) << s;
                for (char c : f.Tekst)
                    ASSERT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') << s;
            }
    }
}

TEST(Rtf, MissingFileReadsAsFailureWithAnEmptyDocument)
{
    TDokument d;
    d.Akapity.resize(2);
    EXPECT_FALSE(rtf::CzytajPlik("/nonexistent/folder/Licencja.rtf", d));
    EXPECT_TRUE(d.Akapity.empty());
}

TEST(Rtf, ShippedLicenceText)
{
    TDokument d;
    ASSERT_TRUE(rtf::CzytajPlik(std::filesystem::path(LUMESTA_SOURCE_DIR) / "data" / "Licencja.rtf", d));
    ASSERT_TRUE(d.Rtf);
    ASSERT_GE(d.Akapity.size(), 5u);
    EXPECT_EQ(d.Akapity[0].Tekst(), "UMOWA LICENCYJNA PROGRAMU LUMESTA");
    EXPECT_EQ(d.Akapity[0].Wyrownanie, TWyrownanie::Srodek);
    EXPECT_TRUE(d.Akapity[0].Fragmenty[0].Format.Pogrubienie);
    const std::string tekst = utf(d.Tekst());
    EXPECT_NE(tekst.find("którego właścicielem jest firma Mardovelt"), std::string::npos);
    // Nothing of the markup leaks into the text.
    EXPECT_EQ(tekst.find_first_of("\\{}"), std::string::npos);
    std::vector<std::string> lacza;
    for (const rtf::TAkapit& a : d.Akapity)
        for (const rtf::TFragment& f : a.Fragmenty)
            if (!f.Format.Lacze.empty())
                lacza.push_back(f.Format.Lacze);
    EXPECT_EQ(lacza, (V{"www.mardovelt.pl", "mailto:biuro@mardovelt.pl", "http://www.brovank.pl"}));
}

TEST(Rtf, QtDocumentCarriesParagraphsFormatsAndLinks)
{
    const TDokument d = rtf::Czytaj(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "\\pard\\qc\\f0\\fs32\\b Za\\'bf\\'f3\\b0\\line\\cf1 x\\par\\pard www.a.pl\\par}");
    QTextDocument q;
    q.setPlainText(QStringLiteral("stara treść"));
    rtf::WypelnijDokument(q, d);
    ASSERT_EQ(q.blockCount(), 2);
    const QTextBlock b0 = q.firstBlock();
    EXPECT_EQ(b0.text(), QStringLiteral("Zażó") + QChar(QChar::LineSeparator) + QStringLiteral("x"));
    EXPECT_EQ(b0.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QTextBlock::iterator it = b0.begin();
    const QTextCharFormat pierwszy = it.fragment().charFormat();
    EXPECT_EQ(pierwszy.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(pierwszy.fontPointSize(), 16.0);
    EXPECT_EQ(pierwszy.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    ++it;
    ++it;
    EXPECT_EQ(it.fragment().text(), QStringLiteral("x"));
    EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(255, 0, 0));

    const QTextFragment lacze = b0.next().begin().fragment();
    EXPECT_EQ(lacze.text(), QStringLiteral("www.a.pl"));
    EXPECT_TRUE(lacze.charFormat().isAnchor());
    EXPECT_EQ(lacze.charFormat().anchorHref(), QStringLiteral("www.a.pl"));
    EXPECT_TRUE(lacze.charFormat().fontUnderline());
}
