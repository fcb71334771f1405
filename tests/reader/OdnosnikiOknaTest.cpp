// Links in the main window: references and citations in a code's text are
// drawn and clicked like footnote citations, open their unit or act, show a
// preview of their target, and become links of an HTML export.
#include "DaneDziennikow.h"

#include "reader/OLumesta.h"
#include "reader/Okienko.h"
#include "reader/OknoPodgladu.h"
#include "reader/Przypis.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;
using dane::wiersz;

namespace {

// The Civil Code: references to its own units, to the Penal Code and to
// Journal acts; long enough that following a reference scrolls.
dane::Kodeks cywilny()
{
    dane::Kodeks k;
    k.indeks = 0;
    k.akapity.push_back(wiersz({{9, "KODEKS"}, {0, " CYWILNY"}}));
    k.akapity.push_back(wiersz({{2, "Art"}, {0, ". 1. Przepis art. 40 § 2 stosuje się, zob. art. 2 Kodeksu karnego."}}));
    k.akapity.push_back(wiersz({{2, "Art"},
                                {0, ". 2. Ogłoszono w Dz. U. z 1990 r. Nr 34, poz. 198 i Nr 35, poz. 1 "},
                                {4, ""},
                                {0, " oraz art. 9 k.k."}}));
    for (int a = 3; a < 40; ++a)
        k.akapity.push_back(wiersz({{2, "Art"}, {0, ". " + std::to_string(a) + ". Przepis wypełniający tekst."}}));
    k.akapity.push_back(wiersz({{2, "Art"}, {0, ". 40. § 1. Pierwszy paragraf."}}));
    k.akapity.push_back(wiersz({{3, "§"}, {0, " 2. Drugi paragraf czterdziestego artykułu."}}));
    k.przypisy = {{" Dodany przez art. 1 ustawy z dnia 2 maja 1990 r. (Dz. U. z 1990 r. Nr 34, poz. 198),",
                   " zob. art. 2 k.k."}};
    return k;
}

dane::Kodeks karny()
{
    dane::Kodeks k;
    k.indeks = 3;
    k.akapity.push_back(wiersz({{9, "KODEKS"}, {0, " KARNY"}}));
    k.akapity.push_back(wiersz({{2, "Art"}, {0, ". 1. Pierwszy przepis karny."}}));
    for (int i = 0; i < 40; ++i)
        k.akapity.push_back(wiersz({{0, "Wiersz wypełniający " + std::to_string(i) + "."}}));
    k.akapity.push_back(wiersz({{2, "Art"}, {0, ". 2. Kara grozi temu, kto narusza przepis."}}));
    return k;
}

// The item texts of a view with their styles, and the jump each link item is.
struct Skok {
    int numer;
    std::string tekst;
};
std::vector<Skok> skoki(const TDocView& v)
{
    std::vector<Skok> w;
    int n = 0;
    for (const TItem& e : v.Items()) {
        if (e.Info.StyleNo == rvsHotSpot)
            w.push_back({n++, "<znak>"});
        else if (IsJumpStyle(e.Info.StyleNo))
            w.push_back({n++, utf(e.Text)});
    }
    return w;
}

int numerSkoku(const TDocView& v, const std::string& tekst)
{
    for (const Skok& s : skoki(v))
        if (s.tekst == tekst)
            return s.numer;
    return -1;
}

QPoint srodekSkoku(TDocView* v, int n)
{
    for (const TJumpInfo& j : v->Jumps())
        if (j.Id == n)
            return QPoint(j.Left + j.Width / 2 - v->HPos(), j.Top + j.Height / 2 - v->VPos() * v->ScrollUnit());
    ADD_FAILURE() << "no jump " << n;
    return {};
}

void kliknij(TDocView* v, int n)
{
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, srodekSkoku(v, n));
}

// The view's text as copying gives it.
std::string tekstWidoku(TDocView* v)
{
    v->SelectAll();
    return v->GetSelectedText();
}

std::string czytaj(const QString& plik)
{
    QFile f(plik);
    if (!f.open(QIODevice::ReadOnly))
        return "<brak>";
    const QByteArray b = f.readAll();
    return std::string(b.constData(), std::size_t(b.size()));
}

class Odnosniki : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        program = fs::path(tmp.path().toStdString());
        ASSERT_EQ(dane::zapiszBibliotekeZDziennikami(program, {cywilny(), karny()}, dane::dziennikiTestowe()), "");
        poprzedni = pomoc::UstawOtwieracz([this](const QUrl& u) { adresy.push_back(u.toString()); });
        okno = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
        okno->pytanie = [this](const QString& tytul, const QString&) {
            pytania.push_back(tytul);
            return false;
        };
        okno->resize(900, 500);
        okno->show();
    }
    void TearDown() override
    {
        okno.reset();
        pomoc::UstawOtwieracz(poprzedni);
    }
    TDocView* otworzCywilny()
    {
        okno->clbSpisKodeksow->setCurrentRow(0);
        okno->tvSpisKodeksowClick();
        return okno->BiezacyWidok();
    }

    QTemporaryDir tmp;
    fs::path program;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
    pomoc::TOtwieracz poprzedni;
    QStringList adresy;
    QStringList pytania;
};

} // namespace

TEST_F(Odnosniki, LinksAreJumpsOfTheTextWhichStaysTheSame)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    // Links and the footnote mark share the jump numbering, in text order.
    // The second Journal act is not in the library: still a link.
    const std::vector<std::string> oczekiwane = {"art. 40 § 2", "art. 2", "Dz. U. z 1990 r. Nr 34, poz. 198",
                                                 "Nr 35, poz. 1", "<znak>", "art. 9"};
    std::vector<std::string> teksty;
    for (const Skok& s : skoki(*v))
        teksty.push_back(s.tekst);
    EXPECT_EQ(teksty, oczekiwane);
    EXPECT_EQ(v->Jumps().size(), oczekiwane.size());
    for (const TItem& e : v->Items()) {
        if (IsJumpStyle(e.Info.StyleNo)) {
            EXPECT_TRUE(e.Info.SameAsPrev) << utf(e.Text);
        }
    }

    // Copy and text export give the text as it was before links.
    const std::string zLinkami = tekstWidoku(v);
    okno->ZamknijBiezacy();
    okno->rozpoznawanieOdnosnikow = false;
    TDocView* bez = otworzCywilny();
    ASSERT_NE(bez, nullptr);
    EXPECT_EQ(skoki(*bez).size(), 1u);
    EXPECT_EQ(tekstWidoku(bez), zLinkami);
    EXPECT_NE(zLinkami.find(cp("Przepis art. 40 § 2 stosuje się, zob. art. 2 Kodeksu karnego.")), std::string::npos);

    // The footnote mark is still footnote 1.
    kliknij(bez, 0);
    ASSERT_EQ(okno->oknaPrzypisow.size(), 1u);
    EXPECT_EQ(okno->oknaPrzypisow[0].Okno->windowTitle(), "Zmiana: 1");
}

TEST_F(Odnosniki, AReferenceScrollsToItsUnitInTheSameTab)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->VPos(), 0);
    kliknij(v, numerSkoku(*v, "art. 40 § 2"));
    EXPECT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_GT(v->VPos(), 0);
    // § 2 of article 40 is in view (as near the top as the end of the
    // document lets it).
    const int y = v->VPos() * v->ScrollUnit();
    bool widoczny = false;
    for (const TDrawLine& l : v->DrawLines())
        if (utf(l.Text).find("2. Drugi paragraf") != std::string::npos)
            widoczny = l.Info.Top >= y && l.Info.Top + l.Info.Height <= y + v->viewport()->height();
    EXPECT_TRUE(widoczny);
}

TEST_F(Odnosniki, AReferenceToAnotherCodeOpensItsTabAtTheUnit)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    kliknij(v, numerSkoku(*v, "art. 2"));
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->BiezacaZakladka(), 1);
    EXPECT_EQ(okno->nazwyZakladek[1], cp("Kodeks karny"));
    EXPECT_EQ(okno->clbSpisKodeksow->currentRow(), 1);
    EXPECT_EQ(okno->clbSpisKodeksow->item(1)->checkState(), Qt::Checked);
    TDocView* k = okno->BiezacyWidok();
    ASSERT_NE(k, nullptr);
    EXPECT_GT(k->VPos(), 0);

    // The Penal Code was not open when the Civil Code was built: its
    // article 9 counted as there. Followed, it opens the code where it is
    // and says the article is missing.
    okno->pecTablica->SetTabIndex(0);
    okno->pcTablicaChange();
    k->SetVScrollPos(0);
    kliknij(v, numerSkoku(*v, "art. 9"));
    EXPECT_EQ(okno->BiezacaZakladka(), 1);
    EXPECT_EQ(k->VPos(), 0);
    EXPECT_EQ(okno->sbStatus->currentMessage(), QStringLiteral("Nie ma tu: Art. 9"));

    // With the Penal Code open, a code built now knows its units: no link
    // to a missing one.
    okno->pecTablica->SetTabIndex(0);
    okno->pcTablicaChange();
    okno->ZamknijBiezacy();
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    TDocView* v2 = otworzCywilny();
    ASSERT_NE(v2, nullptr);
    EXPECT_EQ(numerSkoku(*v2, "art. 9"), -1);
    EXPECT_EQ(numerSkoku(*v2, "art. 2"), 1);
}

TEST_F(Odnosniki, CitationsOpenTheirActOrOfferItsPage)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    kliknij(v, numerSkoku(*v, "Nr 35, poz. 1"));
    EXPECT_EQ(pytania, QStringList{QStringLiteral("Wadomość o: Dz.U.1990.35.1")});
    EXPECT_EQ(okno->LiczbaZakladek(), 1);
    kliknij(v, numerSkoku(*v, "Dz. U. z 1990 r. Nr 34, poz. 198"));
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->nazwyZakladek[1], (program / "Lumesta" / "Dzienniki Ustaw" / "Dz.U.1990.34.198.txt").string());
}

TEST_F(Odnosniki, FootnoteWindowsLinkCodesAndTheAmendingAct)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    kliknij(v, numerSkoku(*v, "<znak>"));
    ASSERT_EQ(okno->oknaPrzypisow.size(), 1u);
    TfPrzypis* p = okno->oknaPrzypisow[0].Okno.data();
    std::vector<std::string> linki;
    for (const Skok& s : skoki(*p->dvPrzypis))
        linki.push_back(s.tekst);
    EXPECT_EQ(linki, (std::vector<std::string>{"art. 1", "Dz. U. z 1990 r. Nr 34, poz. 198", "art. 2"}));

    // The Penal Code's article, from the footnote.
    kliknij(p->dvPrzypis, 2);
    QCoreApplication::sendPostedEvents(okno.get());
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->nazwyZakladek[1], cp("Kodeks karny"));
    EXPECT_GT(okno->BiezacyWidok()->VPos(), 0);

    // The amending act's article: the act's tab.
    okno->pecTablica->SetTabIndex(0);
    okno->pcTablicaChange();
    kliknij(p->dvPrzypis, 0);
    QCoreApplication::sendPostedEvents(okno.get());
    ASSERT_EQ(okno->LiczbaZakladek(), 3);
    EXPECT_EQ(okno->BiezacaZakladka(), 2);
    EXPECT_TRUE(pytania.isEmpty());
}

TEST_F(Odnosniki, EveryLinkFollowedAnnouncesThePlaceItLeavesFirst)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    // Where the reader was each time a link said it leaves.
    std::vector<std::pair<int, int>> opuszczone;
    QObject::connect(okno.get(), &TfLumesta::OdnosnikOpuszczaMiejsce, okno.get(), [&] {
        const TDocView* w = okno->BiezacyWidok();
        opuszczone.push_back({okno->BiezacaZakladka(), w ? w->VPos() : -1});
    });

    // A preview goes nowhere; a unit of the same code leaves the top.
    QTest::mouseMove(v->viewport(), srodekSkoku(v, numerSkoku(*v, "art. 2")));
    EXPECT_TRUE(opuszczone.empty());
    QTest::mouseMove(v->viewport(), QPoint(v->viewport()->width() - 3, v->viewport()->height() - 3));
    kliknij(v, numerSkoku(*v, "art. 40 § 2"));
    ASSERT_EQ(opuszczone, (std::vector<std::pair<int, int>>{{0, 0}}));
    const int po = v->VPos();
    ASSERT_GT(po, 0);

    // A missing act only offers its page: no place is left.
    kliknij(v, numerSkoku(*v, "Nr 35, poz. 1"));
    EXPECT_EQ(opuszczone.size(), 1u);

    // Another code: the place is recorded before its tab opens.
    kliknij(v, numerSkoku(*v, "art. 2"));
    ASSERT_EQ(opuszczone.size(), 2u);
    EXPECT_EQ(opuszczone[1], std::make_pair(0, po));
    EXPECT_EQ(okno->BiezacaZakladka(), 1);

    // From a footnote window, likewise once.
    okno->pecTablica->SetTabIndex(0);
    okno->pcTablicaChange();
    kliknij(v, numerSkoku(*v, "<znak>"));
    ASSERT_EQ(okno->oknaPrzypisow.size(), 1u);
    kliknij(okno->oknaPrzypisow[0].Okno->dvPrzypis, 0);
    QCoreApplication::sendPostedEvents(okno.get());
    ASSERT_EQ(opuszczone.size(), 3u);
    EXPECT_EQ(opuszczone[2].first, 0);
    EXPECT_EQ(okno->LiczbaZakladek(), 3);
}

TEST_F(Odnosniki, TheWayBackReturnsFromALinkFollowed)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    EXPECT_FALSE(okno->historia.MoznaWstecz());
    kliknij(v, numerSkoku(*v, "art. 40 § 2"));
    const int po = v->VPos();
    ASSERT_GT(po, 0);
    ASSERT_TRUE(okno->historia.MoznaWstecz());
    okno->WsteczClick();
    EXPECT_EQ(okno->BiezacaZakladka(), 0);
    EXPECT_EQ(v->VPos(), 0);

    // Another code's tab: back to the place left in this one.
    okno->DalejClick();
    ASSERT_EQ(v->VPos(), po);
    kliknij(v, numerSkoku(*v, "art. 2"));
    ASSERT_EQ(okno->BiezacaZakladka(), 1);
    okno->WsteczClick();
    EXPECT_EQ(okno->BiezacaZakladka(), 0);
    EXPECT_EQ(okno->BiezacyWidok()->VPos(), po);
}

TEST_F(Odnosniki, HoveringAReferenceShowsItsTargetsFirstLines)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    // The pointer comes from off the links (a move to where it is already
    // would be no move).
    QTest::mouseMove(v->viewport(), QPoint(v->viewport()->width() - 3, v->viewport()->height() - 3));
    QTest::mouseMove(v->viewport(), srodekSkoku(v, numerSkoku(*v, "art. 2")));
    ASSERT_NE(okno->podglad, nullptr);
    EXPECT_TRUE(okno->podglad->isVisible());
    EXPECT_EQ(okno->podglad->Tytul(), QStringLiteral("Kodeks karny, Art. 2"));
    EXPECT_EQ(okno->podglad->Tresc(), QStringLiteral("Art. 2. Kara grozi temu, kto narusza przepis."));
    EXPECT_EQ(okno->sbStatus->currentMessage(), QStringLiteral("Kodeks karny, Art. 2"));
    // Nothing was opened for it.
    EXPECT_EQ(okno->LiczbaZakladek(), 1);

    QTest::mouseMove(v->viewport(), srodekSkoku(v, numerSkoku(*v, "art. 40 § 2")));
    EXPECT_EQ(okno->podglad->Tytul(), QStringLiteral("Art. 40 § 2"));
    EXPECT_EQ(okno->podglad->Tresc(), QStringLiteral("§ 2. Drugi paragraf czterdziestego artykułu."));

    // A citation: the status only; off the links: nothing.
    QTest::mouseMove(v->viewport(), srodekSkoku(v, numerSkoku(*v, "Nr 35, poz. 1")));
    EXPECT_FALSE(okno->podglad->isVisible());
    EXPECT_EQ(okno->sbStatus->currentMessage(), QStringLiteral("Dz.U.1990.35.1 – nie ma go w bibliotece"));
    QTest::mouseMove(v->viewport(), QPoint(v->viewport()->width() - 3, v->viewport()->height() - 3));
    EXPECT_FALSE(okno->podglad->isVisible());
    EXPECT_TRUE(okno->sbStatus->currentMessage().isEmpty());
}

TEST_F(Odnosniki, HtmlExportWritesLinksAndAnchors)
{
    TDocView* v = otworzCywilny();
    ASSERT_NE(v, nullptr);
    const QString plik = tmp.filePath(QStringLiteral("kc"));
    okno->dialogZapisu = [&](QString& nazwa, int& filtr) {
        nazwa = plik;
        filtr = 1;
        return true;
    };
    okno->Zapisz1Click();
    const std::string html = czytaj(plik + ".html");
    for (const char* czesc : {"<A href=#art40-par2>", "<A href=Kodeks%20karny.html#art2>",
                              "<A href=Dz.U.1990.34.198.html>", "<A href=Dz.U.1990.35.1.html>",
                              "<A name=\"art40\"></A>", "<A name=\"art40-par2\"></A>", "<A name=\"art1\"></A>"})
        EXPECT_NE(html.find(czesc), std::string::npos) << czesc;

    // The text file is the text.
    okno->dialogZapisu = [&](QString& nazwa, int& filtr) {
        nazwa = plik;
        filtr = 3;
        return true;
    };
    okno->Zapisz1Click();
    const std::string tekst = czytaj(plik + ".txt");
    EXPECT_NE(tekst.find(cp("Art. 1. Przepis art. 40 § 2 stosuje się, zob. art. 2 Kodeksu karnego.")), std::string::npos);
}

TEST_F(Odnosniki, ATabRestoredFromTheSessionGetsItsLinksWhenShown)
{
    okno->PrzywrocSesje({{cp("Kodeks karny"), -1, 0}, {cp("Kodeks cywilny"), -1, 0}}, 0);
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    ASSERT_TRUE(okno->Odlozona(1));
    okno->pecTablica->SetTabIndex(1);
    okno->pcTablicaChange();
    ASSERT_FALSE(okno->Odlozona(1));
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    ASSERT_GE(numerSkoku(*v, "art. 40 § 2"), 0);

    // Its HTML names the other code's unit, and a click goes to its tab.
    const QString plik = tmp.filePath(QStringLiteral("kc"));
    okno->dialogZapisu = [&](QString& nazwa, int& filtr) {
        nazwa = plik;
        filtr = fzHtml;
        return true;
    };
    okno->Zapisz1Click();
    EXPECT_NE(czytaj(plik + ".html").find("<A href=Kodeks%20karny.html#art2>"), std::string::npos);
    kliknij(v, numerSkoku(*v, "art. 2"));
    EXPECT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->BiezacaZakladka(), 0);
    EXPECT_GT(okno->BiezacyWidok()->VPos(), 0);
}

TEST(KotwiceJednostek, SameForEveryExport)
{
    EXPECT_EQ(KotwicaJednostki({"415", {}, false, {}, {}}), "art415");
    EXPECT_EQ(KotwicaJednostki({"5^1", "2", true, {}, {}}), "art5.1-par2");
    EXPECT_EQ(KotwicaJednostki({"10", "2", false, "3", "a"}), "art10-ust2-pkt3-lita");
    EXPECT_EQ(KotwicaJednostki({{}, "5", true, {}, {}}), "par5");
    EXPECT_EQ(KotwicaJednostki({cp("11–13"), {}, false, {}, {}}), "");
    EXPECT_EQ(KotwicaJednostki({}), "");
}
