// The main window driven as a user would: start-up with its data folders,
// clicks on the codes list, the tabs and the contents list.
#include "DaneTestowe.h"

#include "reader/LaczaFirm.h"
#include "reader/Okienko.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"
#include "widgets/ProgressGauge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <fstream>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;

namespace {

// Each item as kind|text|: CP checkpoint, C centred text, T text, H hotspot;
// the style number follows C and T; "+" marks an item continuing the line.
std::vector<std::string> opisElementow(const TDocView& v, std::size_t od = 0, std::size_t ile = SIZE_MAX)
{
    std::vector<std::string> wynik;
    const TItemList& el = v.Items();
    for (std::size_t i = od; i < el.size() && wynik.size() < ile; ++i) {
        const TItem& e = el[i];
        const std::string dalej = e.Info.SameAsPrev ? "+" : "";
        if (e.Info.StyleNo == rvsCheckpoint)
            wynik.push_back("CP|" + e.Text + "|");
        else if (e.Info.StyleNo == rvsHotSpot)
            wynik.push_back("H" + std::to_string(e.Info.ImageIndex) + dalej);
        else
            wynik.push_back((e.Info.Center ? "C" : "T") + std::to_string(e.Info.StyleNo) + dalej + "|" +
                            utf(e.Text) + "|");
    }
    return wynik;
}

std::vector<std::string> wierszeListy(const QListWidget* l)
{
    std::vector<std::string> w;
    for (int i = 0; i < l->count(); ++i)
        w.push_back(l->item(i)->text().toStdString());
    return w;
}

std::vector<std::string> utfy(const TListaNapisow& lista)
{
    std::vector<std::string> w;
    for (const auto& s : lista)
        w.push_back(utf(s));
    return w;
}

std::string spacje(int n) { return std::string(std::size_t(n), ' '); }

class Okno : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        korzen = fs::path(tmp.path().toStdString());
        program = korzen / "bin";
        fs::create_directories(program);
    }

    void uruchom()
    {
        okno = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
        okno->show();
    }

    void kliknijKodeks(int wiersz)
    {
        QListWidget* l = okno->clbSpisKodeksow;
        const QRect r = l->visualItemRect(l->item(wiersz));
        // Right of the check box, on the caption.
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 40, r.center().y()));
    }

    QTemporaryDir tmp;
    fs::path korzen;
    fs::path program;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
};

TEST(Reguly, KatalogNadrzednyDropsOneTrailingSeparatorAndTheLastFolder)
{
    EXPECT_EQ(KatalogNadrzedny("/a/b/"), "/a/");
    EXPECT_EQ(KatalogNadrzedny("/a/b"), "/a/");
    EXPECT_EQ(KatalogNadrzedny("/a/"), "/");
    EXPECT_EQ(KatalogNadrzedny("b"), "");
    EXPECT_EQ(KatalogNadrzedny(""), "");
}

TEST(Reguly, ContentsIndentByHeadingKind)
{
    EXPECT_EQ(WciecieSpisu(6), 0);
    EXPECT_EQ(WciecieSpisu(7), 0);
    EXPECT_EQ(WciecieSpisu(9), 3);
    EXPECT_EQ(WciecieSpisu(10), 6);
    EXPECT_EQ(WciecieSpisu(13), 9);
    EXPECT_EQ(WciecieSpisu(14), 12);
    EXPECT_EQ(WciecieSpisu(17), 15);
    EXPECT_EQ(WciecieSpisu(18), 18);
    EXPECT_EQ(WciecieSpisu(21), 21);
    EXPECT_EQ(WciecieSpisu(22), 0);
    EXPECT_EQ(WciecieSpisu(23), 0);
    for (int k : {0, 1, 2, 3, 4, 5, 24, 255})
        EXPECT_EQ(WciecieSpisu(k), -1) << k;
}

TEST(Reguly, FootnoteBlocksRunFromTheirNumberToTheNextFootnote)
{
    const TListaNapisow w = {"", "(1)  a", "", "(2)  b", " c", "", "(3)  d", " e"};
    const auto b = BlokiPrzypisow(w);
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].Pierwszy, 1);
    EXPECT_EQ(b[0].Ostatni, 2);
    EXPECT_EQ(b[1].Pierwszy, 3);
    EXPECT_EQ(b[1].Ostatni, 5);
    EXPECT_EQ(b[2].Pierwszy, 6);
    EXPECT_EQ(b[2].Ostatni, 7); // the last one runs to the end

    EXPECT_TRUE(BlokiPrzypisow({}).empty());
    EXPECT_TRUE(BlokiPrzypisow({"", " tekst bez numeru"}).empty());
}

TEST(Reguly, FootnoteWithoutEmptyLineBeforeTheNextKeepsItsLines)
{
    const auto b = BlokiPrzypisow({"(1)  a", " b", "(2)  c", "", "(3)  d"});
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].Pierwszy, 0);
    EXPECT_EQ(b[0].Ostatni, 1);
    EXPECT_EQ(b[1].Pierwszy, 2);
    EXPECT_EQ(b[1].Ostatni, 3);
    EXPECT_EQ(b[2].Ostatni, 4);
}

TEST_F(Okno, StartUpListsTheCodesOfTheProgramFolder)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}), "");
    uruchom();
    EXPECT_EQ(wierszeListy(okno->clbSpisKodeksow),
              (std::vector<std::string>{"Kodeks cywilny", "Kodeks karny", "Konstytucja Rzeczypospolitej Polskiej"}));
    EXPECT_EQ(utfy(okno->nazwyKodeksow), wierszeListy(okno->clbSpisKodeksow));
    EXPECT_EQ(okno->sKatalogDanych, program / "Lumesta" / "");
    for (int i = 0; i < okno->clbSpisKodeksow->count(); ++i)
        EXPECT_EQ(okno->clbSpisKodeksow->item(i)->checkState(), Qt::Unchecked);
    // Started: splash shown, no strip, progress hidden, nothing reported.
    EXPECT_EQ(okno->pecTablica, nullptr);
    EXPECT_TRUE(okno->pLumesta->isVisible());
    EXPECT_FALSE(okno->gWczytywanie->isVisible());
    EXPECT_FALSE(okno->lWczytywanie->isVisible());
    EXPECT_EQ(okno->windowTitle(), "Lumesta");
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Okno, StartUpFallsBackToTheParentFolder)
{
    ASSERT_EQ(dane::zapiszBiblioteke(korzen, {dane::kodeksKarny(), dane::kodeksCywilny()}), "");
    // The dictionary is always read from the program folder itself.
    fs::copy_file(korzen / "Morvitane.sko", program / "Morvitane.sko");
    uruchom();
    EXPECT_EQ(wierszeListy(okno->clbSpisKodeksow), (std::vector<std::string>{"Kodeks karny", "Kodeks cywilny"}));
    EXPECT_EQ(okno->sKatalogDanych, korzen / "Lumesta" / "");

    // And the codes open from there.
    kliknijKodeks(1);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_GT(okno->BiezacyWidok()->ItemCount(), 0);
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Okno, InstalledProgramReadsTheLibraryUnderShare)
{
    // The layout of an installed program: prefix/bin/lumesta, and the
    // library with the licence in prefix/share/lumesta.
    const fs::path instalacja = korzen / "share" / "lumesta";
    ASSERT_EQ(dane::zapiszBiblioteke(instalacja, {dane::kodeksKarny(), dane::konstytucja()}), "");
    std::ofstream(instalacja / "Licencja.rtf") << "{\\rtf1 instalacja}";
    uruchom();
    EXPECT_EQ(okno->sKatalogInstalacji, instalacja);
    EXPECT_EQ(wierszeListy(okno->clbSpisKodeksow),
              (std::vector<std::string>{"Kodeks karny", "Konstytucja Rzeczypospolitej Polskiej"}));
    kliknijKodeks(1);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_GT(okno->BiezacyWidok()->ItemCount(), 0);
    EXPECT_TRUE(komunikaty.Lista.empty());

    // The licence comes from there too, unless the program has its own.
    EXPECT_EQ(KatalogLicencji(program, okno->sKatalogInstalacji), instalacja);
    std::ofstream(program / "Licencja.rtf") << "{\\rtf1 program}";
    EXPECT_EQ(KatalogLicencji(program, okno->sKatalogInstalacji), program);
    EXPECT_EQ(KatalogLicencji(program, fs::path()), program);
}

TEST_F(Okno, LibraryBesideTheProgramComesBeforeTheInstalledOne)
{
    const fs::path instalacja = korzen / "share" / "lumesta";
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny()}), "");
    ASSERT_EQ(dane::zapiszBiblioteke(instalacja, {dane::kodeksCywilny(), dane::kodeksKarny()}), "");
    uruchom();
    // Each code once, from the first library that has it.
    EXPECT_EQ(wierszeListy(okno->clbSpisKodeksow), (std::vector<std::string>{"Kodeks cywilny", "Kodeks karny"}));
    EXPECT_EQ(okno->sKatalogDanych, program / "Lumesta" / "");
    EXPECT_EQ(okno->biblioteka->Gdzie("Kodeks cywilny"), 1);
    EXPECT_EQ(okno->biblioteka->Gdzie("Kodeks karny"), 2);
    kliknijKodeks(1);
    EXPECT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST(Reguly, InstalledLibraryIsShareBesideTheProgramElseTheSystemFolder)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const fs::path k(tmp.path().toStdString());
    fs::create_directories(k / "usr" / "bin");
    EXPECT_EQ(KatalogInstalacji(k / "usr" / "bin", {}), fs::path());
    EXPECT_EQ(KatalogInstalacji(k / "usr" / "bin", k / "system"), fs::path());
    fs::create_directories(k / "system");
    EXPECT_EQ(KatalogInstalacji(k / "usr" / "bin", k / "system"), k / "system");
    fs::create_directories(k / "usr" / "share" / "lumesta");
    EXPECT_EQ(KatalogInstalacji(k / "usr" / "bin", k / "system"), k / "usr" / "share" / "lumesta");
    EXPECT_EQ(KatalogInstalacji(k / "usr" / "bin" / "", {}), k / "usr" / "share" / "lumesta");
    EXPECT_EQ(KatalogInstalacji({}, {}), fs::path());
}

TEST_F(Okno, StartUpWithoutDataSaysWhereItLookedAndHowDataAreMade)
{
    uruchom();
    EXPECT_EQ(okno->clbSpisKodeksow->count(), 0);
    EXPECT_TRUE(okno->nazwyKodeksow.empty());
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]),
              "Nie znaleziono danych programu (kodeksów).\r\nSzukano pliku Lumesta.rdu w folderach:\r\n" +
                  (okno->sKatalogUzytkownika / "Lumesta").string() + "\r\n" + (program / "Lumesta").string() +
                  "\r\n" + (korzen / "Lumesta").string() +
                  "\r\nAby czytać obowiązujące prawo, pobierz tekst jednolity aktu (PDF) i dodaj go poleceniem "
                  "„Dodaj akt…” z menu „Pliki” (Ctrl+O).\r\n"
                  "Dane przygotowuje się też z tekstów źródłowych (opis formatu: docs/source-format.md) "
                  "poleceniem:\r\nlumesta-tool pack FOLDER_Z_TEKSTAMI " +
                  program.string() + "\r\nPotem uruchom program ponownie.");
    // Commands that need a document say so; nothing else happens.
    komunikaty.Lista.clear();
    okno->Zamknij1Click();
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]), "Najpierw otwórz jakiś kodeks z listy kodeksów.");
    EXPECT_EQ(okno->pecTablica, nullptr);
}

TEST_F(Okno, DamagedCodesContainerIsReportedNotFatal)
{
    fs::create_directories(program / "Lumesta");
    std::ofstream(program / "Lumesta" / "Lumesta.rdu", std::ios::binary) << "XYZ\0\x05\x00 garbage";
    uruchom();
    EXPECT_EQ(okno->clbSpisKodeksow->count(), 0);
    ASSERT_FALSE(komunikaty.Lista.empty());
    EXPECT_EQ(utf(komunikaty.Lista[0]), "To nie jest plik rocznika Dziennika Ustaw.");
}

TEST_F(Okno, SplashPanelIsCentredInTheDocumentArea)
{
    uruchom();
    for (QSize s : {QSize(800, 600), QSize(553, 521), QSize(300, 200), QSize(554, 522)}) {
        okno->pPole->resize(s);
        EXPECT_EQ(okno->pLumesta->pos(), QPoint((s.width() - 553) / 2, (s.height() - 521) / 2)) << s.width();
    }
    EXPECT_EQ(okno->pLumesta->size(), QSize(553, 521));
}

TEST_F(Okno, StartPanelNeverShowsBesideOrBelowTheTabStrip)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny()}), "");
    uruchom();
    kliknijKodeks(0);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_FALSE(okno->pLumesta->isVisible());
    // At any size the strip covers the whole document area and paints all
    // of it.
    for (QSize s : {QSize(1040, 640), QSize(700, 420), QSize(1900, 1200)}) {
        okno->resize(s);
        QCoreApplication::processEvents();
        EXPECT_EQ(okno->pecTablica->geometry(), okno->pPole->rect()) << s.width();
    }
    EXPECT_TRUE(okno->pecTablica->autoFillBackground());
    okno->tbZamknijOtwarty->click();
    QTRY_VERIFY_WITH_TIMEOUT(!okno->pecTablica->isVisible(), 2000);
    EXPECT_TRUE(okno->pLumesta->isVisible());
    kliknijKodeks(1);
    EXPECT_TRUE(okno->pecTablica->isVisible());
    EXPECT_FALSE(okno->pLumesta->isVisible());
}

TEST_F(Okno, WindowIsCutToASmallerScreen)
{
    okno = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
    // Larger than whatever screen the test runs on, in both directions.
    const QRect ekran = okno->screen()->geometry();
    okno->resize(ekran.width() + 300, ekran.height() + 200);
    okno->show();
    EXPECT_LE(okno->frameGeometry().width(), ekran.width());
    EXPECT_LE(okno->frameGeometry().height(), ekran.height());
    EXPECT_EQ(okno->frameGeometry().left(), ekran.left());
    EXPECT_EQ(okno->frameGeometry().top(), ekran.top());
    // Cut to the screen, not shrunk further.
    EXPECT_GE(okno->frameGeometry().width(), ekran.width() - 1);
    EXPECT_GE(okno->frameGeometry().height(), ekran.height() - 1);
}

TEST_F(Okno, OpeningACodeBuildsItsItemsContentsAndAnchors)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}), "");
    uruchom();
    kliknijKodeks(0);

    ASSERT_NE(okno->pecTablica, nullptr);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_TRUE(okno->pecTablica->isVisible());
    EXPECT_EQ(okno->windowTitle(), "Lumesta: Kodeks cywilny");
    EXPECT_EQ(okno->pecTablica->TabTexts().Get(0), cp("Kodeks cywilny"));
    EXPECT_EQ(okno->pecTablica->Sheets(0)->objectName(), "ts_plik1");
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->objectName(), "se_plik1");
    EXPECT_EQ(v->FirstJumpNo(), 1000);
    EXPECT_EQ(v->Style(), okno->DVSStyl);

    const std::vector<std::string> oczekiwane = {
        "CP|0|", "C2|USTAWA z dnia 23 kwietnia 1964 r.|", "T0| |",
        "CP|1|", "C2|KODEKS CYWILNY|", "T0| |",
        "CP|2|", "C2|CZĘŚĆ OGÓLNA|", "T0| |",
        "CP|3|", "C2|TYTUŁ I|", "T0| |",
        // A line of kind 0 inside a heading is centred but has no entry.
        "C2|PRZEPISY WSTĘPNE|", "T0| |",
        // Body text continues the one-space line; the mark is a hotspot.
        "T0+|Art|", "T0+|. 1. Kodeks niniejszy określa zasady wypasu |", "H6+", "T0+| na łąkach gminnych.|", "T0| |",
        "CP|4|", "C2|DZIAŁ I |", "H6+", "CP|5|", "C2| Osoby fizyczne|", "T0| |",
        "CP|6|", "C2|ROZDZIAŁ I|", "H6+", "C2||", "T0| |",
        "T0+|§|", "T0+| 1. Każdy hodowca prowadzi księgę stada.|", "T0| |",
        // Two heading lines in a row each get their entry and anchor.
        "CP|7|", "C2|ODDZIAŁ 2|", "T0| |",
        "CP|8|", "C2|KSIĘGA PIERWSZA|", "T0| |",
    };
    EXPECT_EQ(opisElementow(*v), oczekiwane);

    const std::vector<std::string> spis = {
        "USTAWA z dnia 23 kwietnia 1964 r.", spacje(3) + "KODEKS CYWILNY", spacje(6) + "CZĘŚĆ OGÓLNA",
        spacje(12) + "TYTUŁ I",           spacje(15) + "DZIAŁ I ",       spacje(15) + " Osoby fizyczne",
        spacje(18) + "ROZDZIAŁ I",        spacje(21) + "ODDZIAŁ 2",      spacje(9) + "KSIĘGA PIERWSZA",
    };
    ASSERT_EQ(okno->spisyZakladek.size(), 1u);
    EXPECT_EQ(utfy(okno->spisyZakladek[0].Spis), spis);
    EXPECT_EQ(okno->spisyZakladek[0].NumerKodeksu, 0);
    EXPECT_EQ(wierszeListy(okno->lbSpisTresci), spis);
    // Entry n and anchor n belong together.
    ASSERT_EQ(v->Checkpoints().size(), spis.size());
    for (std::size_t i = 1; i < v->Checkpoints().size(); ++i)
        EXPECT_GT(v->GetCheckpointY(int(i)), v->GetCheckpointY(int(i - 1)));

    // Footnotes: marks numbered, blocks indexed, the tab's lists in step.
    EXPECT_EQ(okno->numeryPrzypisow, (std::vector<std::int32_t>{1, 2, 3}));
    ASSERT_EQ(okno->indeksyPrzypisow.size(), 1u);
    EXPECT_EQ(okno->indeksyPrzypisow[0].Bloki.size(), 3u);
    TListaNapisow linie;
    okno->TekstPrzypisu(0, 1, linie);
    EXPECT_EQ(utfy(linie), (std::vector<std::string>{"(2)  pierwsza linia", " druga linia", ""}));
    linie.clear();
    okno->TekstPrzypisu(0, 3, linie);
    okno->TekstPrzypisu(1, 0, linie);
    okno->TekstPrzypisu(-1, 0, linie);
    EXPECT_TRUE(linie.empty());
    EXPECT_EQ(okno->nazwyZakladek, (TListaNapisow{cp("Kodeks cywilny")}));
    EXPECT_EQ(okno->clbSpisKodeksow->item(0)->checkState(), Qt::Checked);

    // Each footnote mark is a jump numbered from 1000 in document order.
    ASSERT_EQ(v->Jumps().size(), 3u);
    EXPECT_EQ(v->Jumps()[2].Id + v->FirstJumpNo(), 1002);

    // Progress shown for the build, hidden by the timer shortly after.
    EXPECT_EQ(okno->gWczytywanie->MaxValue(), 11);
    EXPECT_EQ(okno->gWczytywanie->Progress(), 11);
    EXPECT_EQ(okno->lWczytywanie->text(), "Wczytywanie");
    EXPECT_TRUE(okno->gWczytywanie->isVisible());
    EXPECT_TRUE(okno->tZegar->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!okno->gWczytywanie->isVisible(), 2000);
    EXPECT_FALSE(okno->lWczytywanie->isVisible());
    EXPECT_FALSE(okno->tZegar->isActive());
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Okno, HeadingLinesSplitAtFootnoteMarks)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny()}), "");
    uruchom();
    okno->clbSpisKodeksow->setCurrentRow(0);
    okno->OtworzWZakladce(cp("Kodeks cywilny"), true);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    const auto el = opisElementow(*v);
    const auto znajdz = [&el](const std::string& s) { return std::find(el.begin(), el.end(), s) - el.begin(); };

    // Mark in the middle: the text before it, the glyph, then the rest as a
    // second centred line; both parts are contents entries with anchors.
    const auto dzial = std::size_t(znajdz("C2|DZIAŁ I |"));
    ASSERT_LT(dzial, el.size());
    EXPECT_EQ(std::vector<std::string>(el.begin() + long(dzial) - 1, el.begin() + long(dzial) + 4),
              (std::vector<std::string>{"CP|4|", "C2|DZIAŁ I |", "H6+", "CP|5|", "C2| Osoby fizyczne|"}));

    // Mark at the end: one centred line, then the glyph; what follows the
    // mark is empty and adds no entry.
    const auto rozdzial = std::size_t(znajdz("C2|ROZDZIAŁ I|"));
    ASSERT_LT(rozdzial, el.size());
    EXPECT_EQ(el[rozdzial + 1], "H6+");
    EXPECT_EQ(el[rozdzial + 2], "C2||");
    EXPECT_EQ(el[rozdzial + 3], "T0| |");

    // The empty centred item draws nothing: the glyph ends the heading's
    // line and the next drawn piece starts a new line.
    const auto& linie = v->DrawLines();
    int glif = -1;
    for (std::size_t i = 0; i < linie.size(); ++i)
        if (linie[i].Info.ItemNo == int(rozdzial + 1))
            glif = int(i);
    ASSERT_GE(glif, 1);
    EXPECT_EQ(linie[std::size_t(glif - 1)].Info.ItemNo, int(rozdzial));
    EXPECT_FALSE(linie[std::size_t(glif)].Info.FromNewLine);
}

TEST_F(Okno, ConstitutionGetsOneContentsEntryForItsTitle)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::konstytucja()}), "");
    uruchom();
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(okno->spisyZakladek.size(), 1u);
    EXPECT_EQ(utfy(okno->spisyZakladek[0].Spis),
              (std::vector<std::string>{"KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ", spacje(18) + "ROZDZIAŁ I"}));
    // The second KONSTYTUCJA line is centred but neither listed nor anchored,
    // so the chapter's entry still scrolls to the chapter.
    EXPECT_EQ(v->Checkpoints().size(), 2u);
    const auto el = opisElementow(*v);
    const auto drugi = std::find(el.begin(), el.end(), "C2|KONSTYTUCJA RAZ JESZCZE|");
    ASSERT_NE(drugi, el.end());
    EXPECT_NE(*(drugi - 1), "CP|1|");
    EXPECT_EQ(okno->spisyZakladek[0].NumerKodeksu, 0);
}

TEST_F(Okno, OpeningAgainKeepsOneTabAndASecondCodeAddsOne)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}), "");
    uruchom();
    kliknijKodeks(0);
    kliknijKodeks(0);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(okno->licznikZakladek, 1);

    kliknijKodeks(1);
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->BiezacaZakladka(), 1);
    EXPECT_EQ(okno->windowTitle(), "Lumesta: Kodeks karny");
    EXPECT_EQ(okno->pecTablica->Sheets(1)->objectName(), "ts_plik2");
    EXPECT_EQ(wierszeListy(okno->lbSpisTresci), (std::vector<std::string>{spacje(3) + "KODEKS KARNY"}));
    EXPECT_EQ(okno->nazwyZakladek, (TListaNapisow{cp("Kodeks cywilny"), cp("Kodeks karny")}));
    EXPECT_EQ(okno->spisyZakladek.size(), 2u);
    EXPECT_EQ(okno->indeksyPrzypisow.size(), 2u);
    EXPECT_EQ(okno->spisyZakladek[1].NumerKodeksu, 1);
    // The Penal Code has no footnotes: no blocks, no new mark numbers.
    EXPECT_TRUE(okno->indeksyPrzypisow[1].Bloki.empty());
    EXPECT_EQ(okno->numeryPrzypisow.size(), 3u);

    // Back to the first code through the list: its tab, its contents.
    kliknijKodeks(0);
    EXPECT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->licznikZakladek, 2);
    EXPECT_EQ(okno->BiezacaZakladka(), 0);
    EXPECT_EQ(okno->windowTitle(), "Lumesta: Kodeks cywilny");
    EXPECT_EQ(okno->lbSpisTresci->count(), 9);
    EXPECT_EQ(okno->clbSpisKodeksow->item(1)->checkState(), Qt::Checked);
}

TEST_F(Okno, MissingEntryOpensNoTab)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny()}), "");
    uruchom();
    kliknijKodeks(0);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    TDocView* przed = okno->BiezacyWidok();
    const int elementy = przed->ItemCount();
    EXPECT_FALSE(okno->OtworzWZakladce(cp("Kodeks pracy"), true));
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]), "Nie ma: Kodeks pracy");
    // The open document and every per-tab list stay as they were.
    EXPECT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(okno->BiezacyWidok(), przed);
    EXPECT_EQ(przed->ItemCount(), elementy);
    EXPECT_EQ(okno->nazwyZakladek.size(), 1u);
    EXPECT_EQ(okno->spisyZakladek.size(), 1u);
    EXPECT_EQ(okno->indeksyPrzypisow.size(), 1u);
    EXPECT_EQ(okno->numeryPrzypisow.size(), 3u);
    EXPECT_EQ(okno->windowTitle(), "Lumesta: Kodeks cywilny");
}

TEST_F(Okno, ClosingTabsKeepsTheListsInStepAndHidesTheEmptyStrip)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}), "");
    uruchom();
    kliknijKodeks(0);
    kliknijKodeks(1);
    kliknijKodeks(2);
    ASSERT_EQ(okno->LiczbaZakladek(), 3);

    // The close button of the middle tab.
    okno->pecTablica->SetTabIndex(1);
    ASSERT_TRUE(okno->pecTablica->CloseTab(1));
    EXPECT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->nazwyZakladek, (TListaNapisow{cp("Kodeks cywilny"), cp("Konstytucja Rzeczypospolitej Polskiej")}));
    EXPECT_EQ(okno->spisyZakladek.size(), 2u);
    EXPECT_EQ(okno->indeksyPrzypisow.size(), 2u);
    QTRY_VERIFY_WITH_TIMEOUT(!okno->tOtwarcie->isActive() && !okno->tOdswiezTablica->isActive(), 2000);
    EXPECT_EQ(okno->clbSpisKodeksow->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(okno->clbSpisKodeksow->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(okno->clbSpisKodeksow->item(2)->checkState(), Qt::Checked);
    // The strip pads each caption with blanks that make room for its close
    // button; the names underneath are the documents'.
    for (int i = 0; i < okno->LiczbaZakladek(); ++i)
        EXPECT_EQ(okno->pecTablica->TabTexts().Get(i), okno->nazwyZakladek[std::size_t(i)] + "     ");

    // Closing the last tab by its button makes the first one current; the
    // caption follows once the strip is done.
    okno->pecTablica->SetTabIndex(1);
    ASSERT_TRUE(okno->pecTablica->CloseTab(1));
    QTRY_VERIFY_WITH_TIMEOUT(!okno->tOtwarcie->isActive() && !okno->tOdswiezTablica->isActive(), 2000);
    EXPECT_EQ(okno->BiezacaZakladka(), 0);
    EXPECT_EQ(okno->windowTitle(), "Lumesta: Kodeks cywilny");
    EXPECT_EQ(okno->lbSpisTresci->count(), 9);
    kliknijKodeks(2);
    ASSERT_EQ(okno->LiczbaZakladek(), 2);

    // "Zamknij otwarty" twice: the strip hides, the splash shows again.
    okno->tbZamknijOtwarty->click();
    okno->tbZamknijOtwarty->click();
    EXPECT_EQ(okno->LiczbaZakladek(), 0);
    EXPECT_TRUE(okno->nazwyZakladek.empty());
    QTRY_VERIFY_WITH_TIMEOUT(!okno->pecTablica->isVisible(), 2000);
    EXPECT_TRUE(okno->pLumesta->isVisible());
    EXPECT_EQ(okno->windowTitle(), "Lumesta");
    EXPECT_EQ(okno->lbSpisTresci->count(), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(okno->clbSpisKodeksow->item(i)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(komunikaty.Lista.empty());

    // A further close has nothing to close.
    okno->tbZamknijOtwarty->click();
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]), "Najpierw otwórz jakiś kodeks z listy kodeksów.");

    // Choosing a code shows the strip again.
    kliknijKodeks(2);
    EXPECT_TRUE(okno->pecTablica->isVisible());
    EXPECT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(okno->pecTablica->Sheets(0)->objectName(), "ts_plik5");
}

TEST_F(Okno, UntickingACodeClosesItsOwnTabAfterTheQuestion)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny()}), "");
    uruchom();
    kliknijKodeks(0);
    kliknijKodeks(1);
    ASSERT_EQ(okno->BiezacaZakladka(), 1);
    QString pytanie;
    bool odpowiedz = false;
    okno->pytanie = [&](const QString& tytul, const QString& tekst) {
        pytanie = tytul + "|" + tekst;
        return odpowiedz;
    };
    okno->clbSpisKodeksow->item(0)->setCheckState(Qt::Unchecked);
    QCoreApplication::processEvents();
    EXPECT_EQ(pytanie, QStringLiteral("Próba zamknięcia|Czy na pewno zamknąć: \nKodeks cywilny?"));
    EXPECT_EQ(okno->LiczbaZakladek(), 2); // Cancel

    odpowiedz = true;
    okno->clbSpisKodeksow->item(0)->setCheckState(Qt::Checked);
    QCoreApplication::processEvents();
    okno->clbSpisKodeksow->item(0)->setCheckState(Qt::Unchecked);
    QCoreApplication::processEvents();
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(okno->nazwyZakladek, (TListaNapisow{cp("Kodeks karny")}));
}

TEST_F(Okno, AClickOnACheckBoxIsNotARowClick)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny()}), "");
    uruchom();
    kliknijKodeks(0);
    kliknijKodeks(1);
    ASSERT_EQ(okno->BiezacaZakladka(), 1);
    int pytania = 0;
    okno->pytanie = [&](const QString&, const QString&) {
        ++pytania;
        QCoreApplication::processEvents(); // a message box runs its own loop
        return false;
    };
    QListWidget* l = okno->clbSpisKodeksow;
    const QRect r = l->visualItemRect(l->item(0));
    QStyleOptionViewItem opcje;
    opcje.initFrom(l);
    opcje.rect = r;
    opcje.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect znacznik = l->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opcje, l);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, znacznik.center());
    ASSERT_EQ(l->item(0)->checkState(), Qt::Unchecked);
    QCoreApplication::processEvents();
    // Cancelled: the code stays open, its row unticked, its tab not chosen.
    EXPECT_EQ(pytania, 1);
    EXPECT_EQ(l->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->BiezacaZakladka(), 1);
}

TEST_F(Okno, ContentsClickScrollsToItsAnchorAndStrayClicksDoNothing)
{
    dane::Kodeks dlugi = dane::kodeksKarny();
    for (int r = 1; r <= 12; ++r) {
        dlugi.akapity.push_back(dane::wiersz({{19, "ROZDZIAŁ"}, {0, " " + std::to_string(r)}}));
        for (int a = 0; a < 12; ++a)
            dlugi.akapity.push_back(dane::wiersz({{2, "Art"}, {0, ". " + std::to_string(r * 100 + a) + ". Tekst artykułu."}}));
    }
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dlugi}), "");
    uruchom();

    // Before any document: a contents click, a row click without a row and
    // the tab events open nothing, tick nothing and say nothing.
    okno->lbSpisTresciClick();
    okno->clbSpisKodeksow->setCurrentRow(-1);
    okno->tvSpisKodeksowClick();
    okno->pcTablicaChange();
    okno->tOtwarcieTimer();
    okno->tOdswiezTablicaTimer();
    okno->UstawPrzypisyZakladki();
    EXPECT_EQ(okno->pecTablica, nullptr);
    EXPECT_EQ(okno->LiczbaZakladek(), 0);
    EXPECT_EQ(okno->windowTitle(), "Lumesta");
    EXPECT_TRUE(okno->pLumesta->isVisible());
    EXPECT_EQ(okno->lbSpisTresci->count(), 0);
    EXPECT_EQ(okno->clbSpisKodeksow->item(0)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(komunikaty.Lista.empty());

    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(okno->lbSpisTresci->count(), 13);
    // A click with no current entry does nothing.
    okno->lbSpisTresci->setCurrentRow(-1);
    okno->lbSpisTresciClick();
    EXPECT_EQ(v->VPos(), 0);

    const int n = 6;
    QListWidgetItem* wpis = okno->lbSpisTresci->item(n);
    QTest::mouseClick(okno->lbSpisTresci->viewport(), Qt::LeftButton, {},
                      okno->lbSpisTresci->visualItemRect(wpis).center());
    ASSERT_EQ(okno->lbSpisTresci->currentRow(), n);
    const int y = v->GetCheckpointY(n);
    ASSERT_GT(y, v->ClientHeight());
    EXPECT_EQ(v->VPos(), std::min(y / v->ScrollUnit(), v->VScrollMax()));
}

TEST_F(Okno, StatusBarNamesTheFootnoteUnderThePointer)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny()}), "");
    uruchom();
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(v->OnDVMouseMove);
    v->OnDVMouseMove(v, 1001);
    EXPECT_EQ(okno->sbStatus->currentMessage(), "Odwołanie do 2 przypisu z datą i opisem zmiany.");
    v->OnDVMouseMove(v, 1500); // no such mark: the text stays
    EXPECT_EQ(okno->sbStatus->currentMessage(), "Odwołanie do 2 przypisu z datą i opisem zmiany.");
    v->OnDVMouseMove(v, -1);
    EXPECT_EQ(okno->sbStatus->currentMessage(), "");
}

TEST_F(Okno, CodesAndContentsListsAreHiddenAndShownAgain)
{
    uruchom();
    EXPECT_TRUE(okno->clbSpisKodeksow->isVisible());
    okno->tbLumesta->click();
    EXPECT_FALSE(okno->clbSpisKodeksow->isVisible());
    okno->Lumesta1->trigger();
    EXPECT_TRUE(okno->clbSpisKodeksow->isVisible());
    okno->tbSpisTresci->click();
    EXPECT_FALSE(okno->lbSpisTresci->isVisible());
    okno->Spistreci1->trigger();
    EXPECT_TRUE(okno->lbSpisTresci->isVisible());

    // Both lists hidden: their pane goes and the documents get its room;
    // one list back brings the pane back, the list filling it.
    const int szerokoscPola = okno->pPole->width();
    okno->tbLumesta->click();
    okno->tbSpisTresci->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(okno->Panel1->isVisible());
    EXPECT_GT(okno->pPole->width(), szerokoscPola);
    okno->Spistreci1->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(okno->Panel1->isVisible());
    EXPECT_TRUE(okno->lbSpisTresci->isVisible());
    EXPECT_FALSE(okno->clbSpisKodeksow->isVisible());
    EXPECT_EQ(okno->lbSpisTresci->height(), okno->sPodzialPion->height());
    EXPECT_EQ(okno->pPole->width(), szerokoscPola);
    okno->Lumesta1->trigger();
    EXPECT_TRUE(okno->clbSpisKodeksow->isVisible());
}

} // namespace

namespace {

QColor kolorEtykiety(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

// The pointer moving over a widget, with no button held.
void przesun(QWidget* w)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST_F(Okno, LinkLabelsTurnRedUnderThePointerAndGreenAroundThem)
{
    uruchom();
    const QColor czerwony(0xFF, 0, 0);
    const QColor zielony(0, 0x80, 0);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lMardoveltpl), zielony);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lBrovankpl), zielony);
    EXPECT_EQ(okno->laczaFirm->lMardoveltpl->text(), "www.mardovelt.pl");
    EXPECT_EQ(okno->laczaFirm->lBrovankpl->cursor().shape(), Qt::PointingHandCursor);

    przesun(okno->laczaFirm->lMardoveltpl);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lMardoveltpl), czerwony);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lBrovankpl), zielony);
    przesun(okno->laczaFirm->lBrovankpl);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lBrovankpl), czerwony);

    // Over the logo picture both go back to green; likewise over the panel.
    przesun(okno->lLumesta);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lMardoveltpl), zielony);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lBrovankpl), zielony);
    przesun(okno->laczaFirm->lMardoveltpl);
    przesun(okno->pLumesta);
    EXPECT_EQ(kolorEtykiety(okno->laczaFirm->lMardoveltpl), zielony);
}

} // namespace
