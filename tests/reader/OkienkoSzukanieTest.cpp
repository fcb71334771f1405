// Finding the law in the main window, on the demo library: the find bar
// (also in a footnote window), going to a unit, the place in the status
// bar, the library search panel, and the way back and forth.
#include "DaneTestowe.h"

#include "packer/Packer.h"
#include "reader/Okienko.h"
#include "reader/PasekPrzejscia.h"
#include "reader/PasekZnajdowania.h"
#include "search/Rdzenie.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace fs = std::filesystem;
using dane::cp;

namespace {

class Szukanie : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The demo library, packed once with its words grouped by stems.
        katalog = new QTemporaryDir;
        const fs::path program = fs::path(katalog->path().toStdString()) / "bin";
        packer::Problems problemy;
        ASSERT_TRUE(packer::packFolder(fs::path(LUMESTA_SOURCE_DIR) / "demo", program, problemy));
        std::string blad;
        ASSERT_TRUE(szukanie::ZapiszRdzenieSlownika(program / "Morvitane.sko", &blad)) << blad;
    }
    static void TearDownTestSuite()
    {
        delete katalog;
        katalog = nullptr;
    }
    void SetUp() override
    {
        okno = std::make_unique<TfLumesta>(katalog->path() + QStringLiteral("/bin"), &komunikaty);
        // No library of the user's own unless a test makes one.
        okno->UstawKatalogUzytkownika(fs::path(uzytkownik.path().toStdString()) / "Lumesta");
        okno->resize(1000, 700);
        okno->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(okno.get()));
    }

    void otworz(const char* kodeks) { okno->OtworzWZakladce(cp(kodeks), true); }
    TDocView* widok() const { return okno->BiezacyWidok(); }
    std::string tytulZakladki() const { return okno->nazwyZakladek.at(std::size_t(okno->BiezacaZakladka())); }
    // The paragraph at the top of the current view.
    std::size_t gora() const { return okno->BiezaceMiejsce().value_or(TMiejsce{}).Akapit; }
    // The paragraph of the current document whose text starts so.
    std::size_t akapit(const char* poczatek) const
    {
        TListaNapisow t, p, tytuly;
        TPlik plik;
        TPliki pliki;
        pliki.WczytajSlownik(fs::path(katalog->path().toStdString()) / "bin" / "Morvitane.sko");
        pliki.OtworzDokument(okno->sKatalogDanych, tytulZakladki(), t, p, plik, true, tytuly);
        for (std::size_t i = 0; i < plik.size(); ++i) {
            std::string s;
            for (const TTekst& k : plik[i])
                s += k.Tekst;
            if (s.rfind(cp(poczatek), 0) == 0)
                return i;
        }
        ADD_FAILURE() << "no paragraph " << poczatek;
        return 0;
    }

    static QTemporaryDir* katalog;
    QTemporaryDir uzytkownik;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
};
QTemporaryDir* Szukanie::katalog = nullptr;

} // namespace

TEST_F(Szukanie, TheFindBarFindsAsYouTypeIgnoringCaseAndDiacritics)
{
    otworz("Kodeks cywilny");
    TPasekZnajdowania* pasek = okno->pZnajdz;
    EXPECT_FALSE(pasek->isVisible());
    okno->Znajdz1->trigger();
    ASSERT_TRUE(pasek->isVisible());
    EXPECT_TRUE(pasek->Tekst()->hasFocus());
    QTest::keyClicks(pasek->Tekst(), QStringLiteral("UMOW"));
    // "umowę", "umów" and "umowy": the first is current and selected.
    EXPECT_EQ(pasek->Licznik(), QStringLiteral("1 z 3"));
    EXPECT_EQ(widok()->Highlights().size(), 3u);
    EXPECT_EQ(widok()->GetSelectedText(), "umow");
    QTest::keyClick(pasek->Tekst(), Qt::Key_Return);
    EXPECT_EQ(pasek->Licznik(), QStringLiteral("2 z 3"));
    EXPECT_EQ(widok()->GetSelectedText(), cp("umów"));
    QTest::keyClick(pasek->Tekst(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(pasek->Tekst(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(pasek->Licznik(), QStringLiteral("3 z 3"));   // round the end
    okno->Znajdz1->trigger();   // F3: the next
    EXPECT_EQ(pasek->Licznik(), QStringLiteral("1 z 3"));
    okno->ZnajdzPoprzedni1->trigger();
    EXPECT_EQ(pasek->Licznik(), QStringLiteral("3 z 3"));

    // With the Polish letters counted, "umow" is no longer "umów".
    pasek->PolskieZnaki()->setChecked(true);
    EXPECT_EQ(pasek->LiczbaMiejsc(), 2);
    QTest::keyClicks(pasek->Tekst(), QStringLiteral("xyz"));
    EXPECT_EQ(pasek->Licznik(), QStringLiteral("Nie znaleziono"));
    EXPECT_TRUE(widok()->Highlights().empty());
    pasek->Tekst()->setText(QStringLiteral("wlasciciel"));
    EXPECT_EQ(pasek->LiczbaMiejsc(), 0);
    pasek->PolskieZnaki()->setChecked(false);
    EXPECT_EQ(pasek->LiczbaMiejsc(), 2);   // "Właściciel", "właściciela"

    // Escape closes the bar; the current place stays selected.
    const std::string zaznaczone = widok()->GetSelectedText();
    QTest::keyClick(pasek->Tekst(), Qt::Key_Escape);
    EXPECT_FALSE(pasek->isVisible());
    EXPECT_TRUE(widok()->Highlights().empty());
    EXPECT_EQ(widok()->GetSelectedText(), zaznaczone);
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Szukanie, TheFindBarFollowsTheCurrentTab)
{
    otworz("Kodeks cywilny");
    okno->Znajdz1->trigger();
    QTest::keyClicks(okno->pZnajdz->Tekst(), QStringLiteral("osob"));
    TDocView* cywilny = widok();
    const int wCywilnym = okno->pZnajdz->LiczbaMiejsc();
    EXPECT_GT(wCywilnym, 0);
    otworz("Kodeks pracy");
    EXPECT_NE(widok(), cywilny);
    EXPECT_TRUE(cywilny->Highlights().empty());
    EXPECT_EQ(okno->pZnajdz->Widok(), widok());
    EXPECT_NE(okno->pZnajdz->LiczbaMiejsc(), wCywilnym);
}

TEST_F(Szukanie, AFootnoteWindowFindsInItsOwnText)
{
    otworz("Kodeks cywilny");
    okno->dvTekstJump(widok(), widok()->FirstJumpNo());   // the first mark
    ASSERT_FALSE(okno->oknaPrzypisow.empty());
    TfPrzypis* przypis = okno->oknaPrzypisow.back().Okno;
    ASSERT_TRUE(przypis);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(przypis));
    const int wysokosc = przypis->height();
    przypis->Znajdz1->trigger();
    ASSERT_TRUE(przypis->pZnajdz->isVisible());
    EXPECT_GT(przypis->height(), wysokosc);
    // The first footnote cites four positions of the Journal.
    QTest::keyClicks(przypis->pZnajdz->Tekst(), QStringLiteral("poz."));
    EXPECT_EQ(przypis->pZnajdz->Licznik(), QStringLiteral("1 z 4"));
    EXPECT_EQ(przypis->dvPrzypis->Highlights().size(), 4u);
    // The main window's bar is not involved.
    EXPECT_FALSE(okno->pZnajdz->isVisible());
    QTest::keyClick(przypis->pZnajdz->Tekst(), Qt::Key_Escape);
    EXPECT_FALSE(przypis->pZnajdz->isVisible());

    // F3 typed in the footnote window (the main window's F3 reaches into
    // it as well) opens and steps its own bar, without a doubt about which.
    przypis->activateWindow();
    przypis->dvPrzypis->setFocus();
    QTest::keyClick(przypis->dvPrzypis, Qt::Key_F3);
    ASSERT_TRUE(przypis->pZnajdz->isVisible());
    EXPECT_FALSE(okno->pZnajdz->isVisible());
    EXPECT_EQ(przypis->pZnajdz->Licznik(), QStringLiteral("1 z 4"));
    QTest::keyClick(przypis->pZnajdz->Tekst(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(przypis->pZnajdz->Licznik(), QStringLiteral("4 z 4"));
    przypis->dvPrzypis->setFocus();
    QTest::keyClick(przypis->dvPrzypis, Qt::Key_F3);
    EXPECT_EQ(przypis->pZnajdz->Licznik(), QStringLiteral("1 z 4"));
    EXPECT_FALSE(okno->pZnajdz->isVisible());
}

TEST_F(Szukanie, GoingToAUnitPutsItAtTheTopAndSaysWhereInTheStatusBar)
{
    otworz("Kodeks cywilny");
    okno->Przejdzdo1->trigger();
    TPasekPrzejscia* pasek = okno->pPrzejdz;
    ASSERT_TRUE(pasek->isVisible());
    QTest::keyClicks(pasek->Tekst(), QString::fromUtf8("art. 5 § 2"));
    QTest::keyClick(pasek->Tekst(), Qt::Key_Return);
    EXPECT_FALSE(pasek->isVisible());
    EXPECT_EQ(gora(), akapit("§ 2. Uczeń"));
    EXPECT_FALSE(widok()->Highlights().empty());   // lit up for a moment
    EXPECT_EQ(okno->sbMiejsce->text(), QString::fromUtf8("Księga pierwsza › Część ogólna › Tytuł II › Dział I › "
                                                         "Rozdział 1 › Art. 5 § 2"));
    QTRY_VERIFY_WITH_TIMEOUT(widok()->Highlights().empty(), 3000);

    // "7^1", near the end: as far up as the document lets it.
    okno->Przejdzdo1->trigger();
    pasek->Tekst()->setText(QStringLiteral("7^1"));
    pasek->Przejdz();
    EXPECT_FALSE(pasek->isVisible());
    EXPECT_TRUE(okno->sbMiejsce->text().isEmpty() == false);
    {
        const TMiejscaDokumentu* m = okno->MiejscaWidoku(widok());
        const TDVPosition p = widok()->ItemPosition(*m->PierwszyElement(akapit("Art. 7^1.")), 0);
        const int y = widok()->DrawLines()[std::size_t(p.Line)].Info.Top - widok()->VPos() * widok()->ScrollUnit();
        EXPECT_GE(y, 0);
        EXPECT_LT(y, widok()->ClientHeight());
    }
    // A bare number.
    okno->Przejdzdo1->trigger();
    pasek->Tekst()->setText(QStringLiteral("4"));
    pasek->Przejdz();
    EXPECT_EQ(gora(), akapit("Art. 4."));

    // What is not there is said in the bar, which stays open.
    okno->Przejdzdo1->trigger();
    pasek->Tekst()->setText(QStringLiteral("148"));
    pasek->Przejdz();
    EXPECT_TRUE(pasek->isVisible());
    EXPECT_TRUE(pasek->Komunikat().contains(QStringLiteral("Art. 148")));
    pasek->Tekst()->setText(QStringLiteral("art. x"));
    pasek->Przejdz();
    EXPECT_TRUE(pasek->Komunikat().startsWith(QStringLiteral("Nie rozumiem")));
    EXPECT_EQ(gora(), akapit("Art. 4."));
    EXPECT_TRUE(komunikaty.Lista.empty());
    QTest::keyClick(pasek->Tekst(), Qt::Key_Escape);
    EXPECT_FALSE(pasek->isVisible());
}

TEST_F(Szukanie, TheStatusBarFollowsScrolling)
{
    otworz("Kodeks cywilny");
    EXPECT_TRUE(okno->sbMiejsce->text().isEmpty());   // the act's title above its first division
    const TMiejscaDokumentu* m = okno->MiejscaWidoku(widok());
    ASSERT_TRUE(m);
    widok()->ShowItem(*m->PierwszyElement(akapit("Art. 6.")), 0, true);
    EXPECT_EQ(okno->sbMiejsce->text(),
              QString::fromUtf8("Księga pierwsza › Część ogólna › Tytuł II › Dział I › Rozdział 2 › Art. 6"));
    widok()->ShowItem(*m->PierwszyElement(akapit("§ 2. Przepis")), 0, true);
    EXPECT_EQ(okno->sbMiejsce->text(), QString::fromUtf8("Księga pierwsza › Część ogólna › Tytuł I › Art. 3 § 2"));
    // Scrolling by the bar as well.
    widok()->VScrollTo(0);
    EXPECT_TRUE(okno->sbMiejsce->text().isEmpty());
}

TEST_F(Szukanie, TheLibrarySearchStartsFromTheSelectionWhichTypingReplaces)
{
    otworz("Kodeks cywilny");
    okno->Znajdz1->trigger();
    QTest::keyClicks(okno->pZnajdz->Tekst(), QStringLiteral("umow"));   // selects the first place
    ASSERT_TRUE(widok()->SelectionExists());
    okno->SzukajWszedzie1->trigger();
    EXPECT_EQ(okno->pWyniki->Zapytanie()->text(), QStringLiteral("umow"));
    QTest::keyClicks(okno->pWyniki->Zapytanie(), QStringLiteral("przymus"));
    EXPECT_EQ(okno->pWyniki->Zapytanie()->text(), QStringLiteral("przymus"));
}

TEST_F(Szukanie, TheLibrarySearchStreamsResultsAndOpensThem)
{
    okno->SzukajWszedzie1->trigger();
    ASSERT_TRUE(okno->dWyniki->isVisible());
    TPanelWynikow* panel = okno->pWyniki;
    EXPECT_TRUE(panel->Zapytanie()->hasFocus());
    QTest::keyClicks(panel->Zapytanie(), QStringLiteral("umowa"));
    QTest::keyClick(panel->Zapytanie(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->Trwa(), 10000);
    // "umowę", "umów", "umowy", "Umowa" in three codes and one act.
    EXPECT_EQ(panel->LiczbaWynikow(), 8);
    ASSERT_EQ(panel->Lista()->topLevelItemCount(), 4);
    EXPECT_EQ(panel->Lista()->topLevelItem(0)->text(0), QStringLiteral("Kodeks cywilny (3)"));
    EXPECT_EQ(panel->Lista()->topLevelItem(0)->child(0)->text(0), QString::fromUtf8("Kodeks cywilny › Art. 3 § 1"));
    EXPECT_TRUE(panel->Stan()->text().startsWith(QStringLiteral("Znaleziono 8 miejsc w 4 dokumentach (")));

    // Choosing the Labour Code's result opens it, there, with the word lit;
    // the codes list shows it open and current, as a click there would.
    ASSERT_TRUE(panel->Wybierz(3));
    EXPECT_EQ(tytulZakladki(), cp("Kodeks pracy"));
    const int wiersz = okno->spisyZakladek.at(std::size_t(okno->BiezacaZakladka())).NumerKodeksu;
    EXPECT_EQ(okno->clbSpisKodeksow->currentRow(), wiersz);
    EXPECT_EQ(okno->clbSpisKodeksow->item(wiersz)->checkState(), Qt::Checked);
    EXPECT_GT(okno->lbSpisTresci->count(), 0);
    ASSERT_EQ(widok()->Highlights().size(), 1u);
    const TDVHighlight h = widok()->Highlights()[0];
    EXPECT_EQ(widok()->Items()[std::size_t(h.Item)].Text.substr(std::size_t(h.Start), std::size_t(h.Length)),
              cp("Umowę"));
    // A footnote result opens the footnote, its words lit.
    panel->Zapytanie()->setText(QStringLiteral("\"tekstu jednolitego\""));
    panel->Szukaj();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->Trwa(), 10000);
    ASSERT_GT(panel->LiczbaWynikow(), 0);
    const std::size_t okien = okno->oknaPrzypisow.size();
    ASSERT_TRUE(panel->Wybierz(0));
    ASSERT_EQ(okno->oknaPrzypisow.size(), okien + 1);
    EXPECT_EQ(okno->oknaPrzypisow.back().Okno->dvPrzypis->Highlights().size(), 1u);

    // The counts read as Polish does for one and for two to four.
    panel->Zapytanie()->setText(QStringLiteral("egzemplarz"));
    panel->Szukaj();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->Trwa(), 10000);
    EXPECT_TRUE(panel->Stan()->text().startsWith(QStringLiteral("Znaleziono 1 miejsce w 1 dokumencie (")));
    panel->Zapytanie()->setText(QStringLiteral("przymus"));
    panel->Szukaj();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->Trwa(), 10000);
    EXPECT_TRUE(panel->Stan()->text().startsWith(QStringLiteral("Znaleziono 2 miejsca w 2 dokumentach (")));

    // Nothing found, and a query with no words.
    panel->Zapytanie()->setText(QStringLiteral("kwakabrum"));
    panel->Szukaj();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->Trwa(), 10000);
    EXPECT_EQ(panel->Stan()->text(), QStringLiteral("Nie znaleziono."));
    panel->Zapytanie()->setText(QStringLiteral(" ,. "));
    panel->Szukaj();
    EXPECT_FALSE(panel->Trwa());
    EXPECT_TRUE(komunikaty.Lista.empty());
}

// The user's own code of a name the bundled library has too is what the
// reader shows, so it is what the search goes through; results open from
// the library they came from.
TEST_F(Szukanie, TheUsersLibraryComesFirstAndHidesTheBundledCodeOfItsName)
{
    const fs::path zrodla = fs::path(uzytkownik.path().toStdString()) / "zrodla";
    fs::create_directories(zrodla);
    {
        std::ofstream f(zrodla / "kc.txt");
        f << "Kodeks cywilny\n\nArt. 1. Umowa kwakabrum wiąże strony od dnia jej zawarcia.\n"
             "Art. 2. Strony mogą umowę rozwiązać.\n";
    }
    packer::Problems problemy;
    ASSERT_TRUE(packer::packFolder(zrodla, fs::path(uzytkownik.path().toStdString()) / "Lumesta", problemy));
    okno->UstawKatalogUzytkownika(fs::path(uzytkownik.path().toStdString()) / "Lumesta");

    okno->SzukajWszedzie1->trigger();
    TPanelWynikow* panel = okno->pWyniki;
    panel->Zapytanie()->setText(QStringLiteral("umowa"));
    panel->Szukaj();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->Trwa(), 10000);
    // The user's Civil Code (two places) and the bundled other codes; the
    // bundled Civil Code's three places are not its.
    ASSERT_EQ(panel->Lista()->topLevelItemCount(), 4);
    EXPECT_EQ(panel->Lista()->topLevelItem(0)->text(0), QStringLiteral("Kodeks cywilny (2)"));
    EXPECT_EQ(panel->Lista()->topLevelItem(1)->text(0), QStringLiteral("Kodeks pracy (1)"));
    EXPECT_EQ(panel->LiczbaWynikow(), 7);
    ASSERT_TRUE(panel->Wybierz(0));
    EXPECT_EQ(tytulZakladki(), cp("Kodeks cywilny"));
    std::string tekst;
    for (const TItem& e : widok()->Items())
        tekst += e.Text;
    EXPECT_NE(tekst.find("kwakabrum"), std::string::npos);
    ASSERT_EQ(widok()->Highlights().size(), 1u);
    // The user's words were grouped at the first search, and kept.
    EXPECT_TRUE(fs::exists(fs::path(uzytkownik.path().toStdString()) / "Lumesta" / "Morvitane.rdz"));
    // Adding an act reads the libraries again, for the search too.
    EXPECT_FALSE(okno->biblioteki.empty());
    okno->PrzeladujBiblioteki();
    EXPECT_TRUE(okno->biblioteki.empty());
}

TEST_F(Szukanie, BackAndForthAcrossTabsByKeysButtonsAndTheMouse)
{
    otworz("Kodeks cywilny");
    EXPECT_FALSE(okno->tbWstecz->isEnabled());
    EXPECT_FALSE(okno->Wstecz1->isEnabled());
    const std::size_t start = gora();
    okno->Przejdzdo1->trigger();
    okno->pPrzejdz->Tekst()->setText(QStringLiteral("8"));
    okno->pPrzejdz->Przejdz();
    const std::size_t art8 = gora();
    EXPECT_NE(art8, start);
    EXPECT_TRUE(okno->tbWstecz->isEnabled());

    // A search result in another code: a jump from Art. 8.
    okno->SzukajWszedzie1->trigger();
    okno->pWyniki->Zapytanie()->setText(QStringLiteral("pracownika"));
    okno->pWyniki->Szukaj();
    QTRY_VERIFY_WITH_TIMEOUT(!okno->pWyniki->Trwa(), 10000);
    ASSERT_TRUE(okno->pWyniki->Wybierz(0));
    const std::string inny = tytulZakladki();
    ASSERT_NE(inny, cp("Kodeks cywilny"));

    // Alt+Left: back to the Civil Code at Art. 8; again: where it started.
    QTest::keyClick(okno.get(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(tytulZakladki(), cp("Kodeks cywilny"));
    EXPECT_EQ(gora(), art8);
    okno->tbWstecz->click();
    EXPECT_EQ(gora(), start);
    EXPECT_FALSE(okno->tbWstecz->isEnabled());
    EXPECT_TRUE(okno->tbDalej->isEnabled());
    // Forward with the mouse's forward button, then with Alt+Right.
    QTest::mouseClick(widok()->viewport(), Qt::ForwardButton);
    EXPECT_EQ(gora(), art8);
    QTest::keyClick(okno.get(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(tytulZakladki(), inny);
    EXPECT_FALSE(okno->Dalej1->isEnabled());
    // The mouse's back button too; and a contents click is a jump.
    QTest::mouseClick(widok()->viewport(), Qt::BackButton);
    EXPECT_EQ(tytulZakladki(), cp("Kodeks cywilny"));
    okno->lbSpisTresci->setCurrentRow(okno->lbSpisTresci->count() - 1);
    okno->lbSpisTresciClick();
    EXPECT_FALSE(okno->Dalej1->isEnabled());
    okno->Wstecz1->trigger();
    EXPECT_EQ(gora(), art8);
    // A closed tab is opened again on the way back.
    okno->Dalej1->trigger();
    okno->ZamknijBiezacy();
    okno->Wstecz1->trigger();
    EXPECT_EQ(tytulZakladki(), cp("Kodeks cywilny"));
    EXPECT_TRUE(komunikaty.Lista.empty());
}
