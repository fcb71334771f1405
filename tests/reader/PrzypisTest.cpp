// Footnote windows: their contents and links, and the whole road from a
// footnote mark in a code to the cited Journal act in a tab of its own.
#include "DaneDziennikow.h"

#include "reader/LaczaFirm.h"
#include "reader/OLumesta.h"
#include "reader/Okienko.h"
#include "reader/Przypis.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;

namespace {

// Text items of a view as style|text (UTF-8).
std::vector<std::string> elementy(const TDocView& v)
{
    std::vector<std::string> w;
    for (const TItem& e : v.Items())
        w.push_back(std::to_string(e.Info.StyleNo) + "|" + utf(e.Text));
    return w;
}

// Counts the posted messages of each kind.
class Odbiorca : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (int(e->type()) == WM_ZAMKNIJ_PRZYPIS)
            ++zamkniecia;
        else if (int(e->type()) == WM_DZIENNIK_PRZYPISU)
            ++dzienniki;
        else
            return QObject::event(e);
        return true;
    }
    int zamkniecia = 0;
    int dzienniki = 0;
};

// A click in the middle of jump n of a view.
void kliknijSkok(TDocView* v, int n)
{
    ASSERT_LT(std::size_t(n), v->Jumps().size());
    const TJumpInfo& j = v->Jumps()[std::size_t(n)];
    const QPoint p(j.Left + j.Width / 2 - v->HPos(), j.Top + j.Height / 2 - v->VPos() * v->ScrollUnit());
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, p);
}

TEST(PodzialLinii, TextLinksAndTheGapsBetweenThemInOrder)
{
    const std::string l = cp(" Zmiany: Dz. U. 1990. 34. 198 oraz Dz. U. 2001. 5. 7 z późn. zm.");
    const std::size_t a = l.find("Dz."), b = l.find("Dz.", a + 1);
    const auto k = PodzielLinie(l, {{a, 20}, {b, 17}});
    ASSERT_EQ(k.size(), 5u);
    EXPECT_EQ(k[0], (TKawalekPrzypisu{" Zmiany: ", 0}));
    EXPECT_EQ(k[1], (TKawalekPrzypisu{"Dz. U. 1990. 34. 198", 4}));
    EXPECT_EQ(k[2], (TKawalekPrzypisu{" oraz ", 0}));
    EXPECT_EQ(k[3], (TKawalekPrzypisu{"Dz. U. 2001. 5. 7", 4}));
    EXPECT_EQ(utf(k[4].Tekst), " z późn. zm.");

    // Starting with a link: no leading piece; ending with one: an empty
    // trailing piece, as the window adds it. Two links side by side: an
    // empty piece between them.
    EXPECT_EQ(PodzielLinie("Dz.U.1990.34.198", {{0, 16}}),
              (std::vector<TKawalekPrzypisu>{{"Dz.U.1990.34.198", 4}, {"", 0}}));
    EXPECT_EQ(PodzielLinie("abcd", {{0, 2}, {2, 2}}),
              (std::vector<TKawalekPrzypisu>{{"ab", 4}, {"", 0}, {"cd", 4}, {"", 0}}));

    // No link: the whole line; spans beyond the line are cut to it.
    EXPECT_EQ(PodzielLinie("abc", {}), (std::vector<TKawalekPrzypisu>{{"abc", 0}}));
    for (const TKawalekPrzypisu& p : PodzielLinie("abc", {{50, 20}, {1, 500}}))
        EXPECT_LE(p.Tekst.size(), 3u);
}

TEST(OknoPrzypisu, CitationsAreJumpsInTextOrderAndRequestTheirAct)
{
    Odbiorca glowne;
    TfPrzypis okno;
    okno.uchwytGlownego = &glowne;
    EXPECT_FALSE(okno.zadanieDziennika);
    EXPECT_FALSE(okno.zadanieZamkniecia);
    EXPECT_EQ(okno.dvPrzypis->FirstJumpNo(), 0);
    EXPECT_EQ(okno.dvsPrzypis->TextStyles().Count(), 6);
    EXPECT_EQ(okno.dvsPrzypis->TextStyles().Items(4).Style, fsUnderline);
    EXPECT_EQ(okno.dvsPrzypis->TextStyles().Items(0).CharSet, 238);

    okno.resize(309, 100);
    okno.show();
    okno.WypelnijPrzypis({cp("(1)  Zmiany: Dz. U. 1990. 34. 198 oraz"), "", cp("Dz.U.2001.5.7 koniec")});
    EXPECT_EQ(elementy(*okno.dvPrzypis),
              (std::vector<std::string>{"0|(1)  Zmiany: ", "4|Dz. U. 1990. 34. 198", "0| oraz", "0|",
                                        "4|Dz.U.2001.5.7", "0| koniec"}));
    // One flowing paragraph.
    for (std::size_t i = 1; i < okno.dvPrzypis->Items().size(); ++i)
        EXPECT_TRUE(okno.dvPrzypis->Items()[i].Info.SameAsPrev);
    ASSERT_EQ(okno.odnosniki.size(), 2u);
    ASSERT_EQ(okno.dvPrzypis->Jumps().size(), 2u);

    // The second citation is jump 1.
    kliknijSkok(okno.dvPrzypis, 1);
    EXPECT_TRUE(okno.zadanieDziennika);
    EXPECT_EQ(okno.odnosnik, "Dz.U.2001.5.7");
    QCoreApplication::sendPostedEvents(&glowne);
    EXPECT_EQ(glowne.dzienniki, 1);

    // A jump number the footnote has no citation for asks for nothing.
    okno.zadanieDziennika = false;
    okno.dvPrzypisJump(2);
    okno.dvPrzypisJump(-1);
    EXPECT_FALSE(okno.zadanieDziennika);
    QCoreApplication::sendPostedEvents(&glowne);
    EXPECT_EQ(glowne.dzienniki, 1);

    // Closing only hides the window and tells the main window.
    okno.close();
    EXPECT_FALSE(okno.isVisible());
    EXPECT_TRUE(okno.zadanieZamkniecia);
    QCoreApplication::sendPostedEvents(&glowne);
    EXPECT_EQ(glowne.zamkniecia, 1);
}

TEST(OknoPrzypisu, SelectAllAndCopyTakeTheWholeFootnote)
{
    TfPrzypis okno;
    okno.show();
    okno.WypelnijPrzypis({cp("(2)  Dz.U.1990.34.198 zdanie")});
    okno.Zaznaczwszystko1->trigger();
    EXPECT_TRUE(okno.dvPrzypis->SelectionExists());
    EXPECT_EQ(okno.dvPrzypis->GetSelectedText(), "(2)  Dz.U.1990.34.198 zdanie");
}

class Droga : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        program = fs::path(tmp.path().toStdString());
        ASSERT_EQ(dane::zapiszBibliotekeZDziennikami(program, {dane::kodeksZOdnosnikami(), dane::kodeksKarny()},
                                                     dane::dziennikiTestowe()),
                  "");
        poprzedni = pomoc::UstawOtwieracz([this](const QUrl& u) { adresy.push_back(u.toString()); });
        okno = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
        okno->pytanie = [this](const QString& tytul, const QString& tekst) {
            pytania.push_back(tytul + "|" + tekst);
            return odpowiedz;
        };
        okno->show();
    }
    void TearDown() override
    {
        okno.reset();
        pomoc::UstawOtwieracz(poprzedni);
    }

    void kliknijKodeks(int wiersz)
    {
        QListWidget* l = okno->clbSpisKodeksow;
        const QRect r = l->visualItemRect(l->item(wiersz));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 40, r.center().y()));
    }

    TfPrzypis* ostatniPrzypis() const
    {
        return okno->oknaPrzypisow.empty() ? nullptr : okno->oknaPrzypisow.back().Okno.data();
    }

    QTemporaryDir tmp;
    fs::path program;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
    pomoc::TOtwieracz poprzedni;
    QStringList adresy;
    QStringList pytania;
    bool odpowiedz = false;
};

TEST_F(Droga, FootnoteMarkOpensItsFootnoteAndACitationOpensThePresentAct)
{
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(v->Jumps().size(), 2u);

    // The first mark: a window with footnote 1 and its two citations.
    kliknijSkok(v, 0);
    ASSERT_EQ(okno->oknaPrzypisow.size(), 1u);
    TfPrzypis* p = ostatniPrzypis();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(p->windowTitle(), "Zmiana: 1");
    EXPECT_EQ(p->lKodeks->text().trimmed(), "Kodeks cywilny");
    EXPECT_EQ(okno->oknaPrzypisow[0].NumerKodeksu, 0);
    ASSERT_EQ(p->odnosniki.size(), 2u);
    EXPECT_EQ(p->odnosniki[0].Cel.Akt, (TAkt{1990, 34, 198}));
    EXPECT_EQ(p->uchwytGlownego.data(), okno.get());

    // A second click on the same mark brings its window forward; another
    // mark opens a window of its own.
    p->hide();
    kliknijSkok(v, 0);
    EXPECT_EQ(okno->oknaPrzypisow.size(), 1u);
    EXPECT_TRUE(p->isVisible());
    kliknijSkok(v, 1);
    EXPECT_EQ(okno->oknaPrzypisow.size(), 2u);
    EXPECT_EQ(okno->oknaPrzypisow[1].NumerPrzypisu, 2);
    ostatniPrzypis()->close();
    QCoreApplication::sendPostedEvents(okno.get());
    ASSERT_EQ(okno->oknaPrzypisow.size(), 2u);
    EXPECT_TRUE(okno->oknaPrzypisow[1].Okno.isNull()); // freed, slot kept
    EXPECT_FALSE(okno->oknaPrzypisow[0].Okno.isNull());

    // The present act opens in its own tab, named by its presence file.
    kliknijSkok(p->dvPrzypis, 0);
    QCoreApplication::sendPostedEvents(okno.get());
    EXPECT_FALSE(p->zadanieDziennika);
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    const fs::path plik = program / "Lumesta" / "Dzienniki Ustaw" / "Dz.U.1990.34.198.txt";
    EXPECT_EQ(okno->nazwyZakladek[1], plik.string());
    EXPECT_EQ(okno->BiezacaZakladka(), 1);
    EXPECT_GE(okno->spisyZakladek[1].NumerKodeksu, PierwszyNumerDziennika);
    TDocView* akt = okno->BiezacyWidok();
    ASSERT_NE(akt, nullptr);
    bool jestTekst = false;
    for (const TItem& e : akt->Items())
        jestTekst = jestTekst || utf(e.Text).find("wprowadza się zmiany") != std::string::npos;
    EXPECT_TRUE(jestTekst);
    EXPECT_TRUE(komunikaty.Lista.empty());
    EXPECT_TRUE(pytania.isEmpty());
    // The code's footnote window steps back while the act's tab is current.
    EXPECT_FALSE(p->isVisible());
    // Following the citation was a jump: the way back leads to the code.
    EXPECT_TRUE(okno->Wstecz1->isEnabled());

    // The act's own footnote mark opens a window of the act's group.
    ASSERT_EQ(akt->Jumps().size(), 1u);
    kliknijSkok(akt, 0);
    TfPrzypis* pAktu = ostatniPrzypis();
    ASSERT_NE(pAktu, nullptr);
    EXPECT_EQ(okno->oknaPrzypisow.back().NumerKodeksu, okno->spisyZakladek[1].NumerKodeksu);
    EXPECT_EQ(utf(pAktu->dvPrzypis->Items().front().Text), "(1)  Ogłoszono dnia 1 czerwca 1990.");

    // Back to the code: only its window shows.
    okno->pecTablica->SetTabIndex(0);
    okno->pcTablicaChange();
    EXPECT_TRUE(p->isVisible());
    EXPECT_FALSE(pAktu->isVisible());

    // A second citation click on the same act only switches to its tab.
    kliknijSkok(p->dvPrzypis, 0);
    QCoreApplication::sendPostedEvents(okno.get());
    EXPECT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(okno->BiezacaZakladka(), 1);

    // Closing the act's tab frees the act's window, not the code's.
    QPointer<TfPrzypis> pilnuj(pAktu);
    okno->ZamknijBiezacy();
    EXPECT_TRUE(pilnuj.isNull());
    ASSERT_FALSE(okno->oknaPrzypisow[0].Okno.isNull());

    // Closing the code's tab frees the rest; the list of slots empties.
    okno->ZamknijBiezacy();
    EXPECT_TRUE(okno->oknaPrzypisow.empty());
}

TEST_F(Droga, AnAbsentActOffersTheCompanyPage)
{
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    kliknijSkok(v, 0);
    TfPrzypis* p = ostatniPrzypis();
    ASSERT_NE(p, nullptr);

    // Cancel: nothing opens, the request is served.
    kliknijSkok(p->dvPrzypis, 1);
    QCoreApplication::sendPostedEvents(okno.get());
    ASSERT_EQ(pytania.size(), 1);
    EXPECT_EQ(pytania[0], QStringLiteral("Wadomość o: Dz.U.2001.5.7|Nie ma dziennika: \nDz.U.2001.5.7\n"
                                         "- w bibliotece Dzienników Ustaw.\n"
                                         "Czy chcesz sprawdzić na naszej stronie,\nczy jest już dostępny?"));
    EXPECT_FALSE(p->zadanieDziennika);
    EXPECT_TRUE(adresy.isEmpty());
    EXPECT_EQ(okno->LiczbaZakladek(), 1);

    // OK: the company's page for the program.
    odpowiedz = true;
    kliknijSkok(p->dvPrzypis, 1);
    QCoreApplication::sendPostedEvents(okno.get());
    EXPECT_EQ(adresy, QStringList{QStringLiteral("http://www.mardovelt.pl/lumesta.html")});
    EXPECT_EQ(okno->LiczbaZakladek(), 1);

    // A message with no request waiting does nothing.
    QCoreApplication::postEvent(okno.get(), new QEvent(QEvent::Type(WM_DZIENNIK_PRZYPISU)));
    QCoreApplication::sendPostedEvents(okno.get());
    EXPECT_EQ(pytania.size(), 2);
}

// The messages name no window: each handler looks for the window that
// flagged its request. With none flagged, nothing may close or open.
TEST_F(Droga, MessagesNoWindowAskedForChangeNothing)
{
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    kliknijSkok(v, 0);
    QPointer<TfPrzypis> p = ostatniPrzypis();
    ASSERT_FALSE(p.isNull());
    // A citation chosen earlier and served already stays served.
    p->odnosnik = "Dz.U.1990.34.198";

    for (int typ : {WM_STRONA_WYDRUKU, WM_ZAMKNIJ_PRZYPIS, WM_DZIENNIK_PRZYPISU})
        QCoreApplication::postEvent(okno.get(), new QEvent(QEvent::Type(typ)));
    QCoreApplication::sendPostedEvents(okno.get());
    EXPECT_FALSE(p.isNull());
    EXPECT_TRUE(p && p->isVisible());
    EXPECT_EQ(okno->oknaPrzypisow.size(), 1u);
    EXPECT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_TRUE(pytania.isEmpty());
    EXPECT_TRUE(adresy.isEmpty());
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Droga, SecondFootnoteStartsWithACitationAndMarksOutsideTheListDoNothing)
{
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    okno->dvTekstJump(v, 1001);
    TfPrzypis* p = ostatniPrzypis();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->windowTitle(), "Zmiana: 2");
    EXPECT_EQ(elementy(*p->dvPrzypis),
              (std::vector<std::string>{"0|(2)  ", "4|Dz.U.1990.34.198", "0|", "0| bez odesłania"}));

    okno->dvTekstJump(v, 1005);
    okno->dvTekstJump(v, 999);
    EXPECT_EQ(okno->oknaPrzypisow.size(), 1u);
}

// A message box of the store runs the event loop: messages posted before it
// arrive while the box is up.
class KomunikatyModalne : public TKomunikaty {
public:
    explicit KomunikatyModalne(QObject* okno) : FOkno(okno) {}
    void Komunikat(const std::string& tekst) override
    {
        Lista.push_back(tekst);
        QCoreApplication::sendPostedEvents(FOkno);
    }
    TListaNapisow Lista;

private:
    QObject* FOkno;
};

TEST_F(Droga, ACitationClickedWhileADocumentIsBuiltOpensItsActAfterIt)
{
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    kliknijSkok(v, 0);
    TfPrzypis* p = ostatniPrzypis();
    ASSERT_NE(p, nullptr);
    okno->dvTekstJump(v, 1001);
    TfPrzypis* p2 = ostatniPrzypis();
    ASSERT_NE(p2, p);

    KomunikatyModalne modalne(okno.get());
    okno->komunikaty = &modalne;
    okno->biblioteka->UstawKomunikaty(&modalne);
    // Two citations' requests are pending when a code missing from the data
    // is opened; the store's message about it lets them through, and they
    // are served once the failed open is over.
    kliknijSkok(p->dvPrzypis, 0);
    kliknijSkok(p2->dvPrzypis, 0);
    EXPECT_FALSE(okno->OtworzWZakladce(cp("Kodeks pracy"), true));
    EXPECT_FALSE(modalne.Lista.empty());
    QCoreApplication::sendPostedEvents(okno.get());
    okno->komunikaty = &komunikaty;
    okno->biblioteka->UstawKomunikaty(&komunikaty);

    // The missing code got no tab; the act's tab follows the code's, and
    // every per-tab list holds its entries in tab order.
    const fs::path plik = program / "Lumesta" / "Dzienniki Ustaw" / "Dz.U.1990.34.198.txt";
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    ASSERT_EQ(okno->nazwyZakladek.size(), 2u);
    ASSERT_EQ(okno->spisyZakladek.size(), 2u);
    ASSERT_EQ(okno->indeksyPrzypisow.size(), 2u);
    EXPECT_EQ(okno->nazwyZakladek[1], plik.string());
    EXPECT_LT(okno->spisyZakladek[0].NumerKodeksu, PierwszyNumerDziennika);
    EXPECT_GE(okno->spisyZakladek[1].NumerKodeksu, PierwszyNumerDziennika);
    EXPECT_FALSE(okno->indeksyPrzypisow[1].Wiersze.empty());
    EXPECT_EQ(okno->BiezacaZakladka(), 1);
    // Both requests were served (the second names the same act).
    EXPECT_FALSE(p->zadanieDziennika);
    EXPECT_FALSE(p2->zadanieDziennika);
}

TEST_F(Droga, APresentActWithoutItsYearbookSaysItsTextIsMissing)
{
    // The presence file outlived the yearbook that held the act.
    const fs::path rocznik = program / "Lumesta" / "1990.rdu";
    fs::remove(rocznik);
    kliknijKodeks(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    kliknijSkok(v, 0);
    TfPrzypis* p = ostatniPrzypis();
    ASSERT_NE(p, nullptr);
    kliknijSkok(p->dvPrzypis, 0);
    QCoreApplication::sendPostedEvents(okno.get());
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]),
              "Brak tekstu: Dz.U.1990.34.198\r\nNie ma pliku " + rocznik.string() + ", który powinien go zawierać.");
    EXPECT_FALSE(p->zadanieDziennika);
    EXPECT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(okno->nazwyZakladek.size(), 1u);
    EXPECT_EQ(okno->BiezacaZakladka(), 0);
    EXPECT_TRUE(pytania.isEmpty());
}

TEST_F(Droga, LinkLabelsGoThroughTheOpener)
{
    okno->laczaFirm->OtworzFirme();
    okno->laczaFirm->OtworzTworce();
    EXPECT_EQ(adresy, (QStringList{QStringLiteral("http://www.mardovelt.pl"), QStringLiteral("http://www.brovank.pl")}));
}

} // namespace

namespace {

TEST_F(Droga, AJournalActIsShownAndSavedUnderItsReferenceNeverIntoTheData)
{
    const fs::path plik = program / "Lumesta" / "Dzienniki Ustaw" / "Dz.U.1990.34.198.txt";
    okno->OtworzWZakladce(plik.string(), false);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(okno->windowTitle(), "Lumesta: Dz.U. 1990 nr 34 poz. 198");
    EXPECT_EQ(okno->pecTablica->SheetOfTab(0)->Caption().substr(0, 25), "Dz.U. 1990 nr 34 poz. 198");

    QString proponowany;
    QString odpowiedz;
    int filtr = fzTekst;
    okno->dialogZapisu = [&](QString& p, int& f) {
        proponowany = p;
        p = odpowiedz;
        f = filtr;
        return true;
    };
    // The presence file itself, typed in as the answer: refused, untouched.
    odpowiedz = QString::fromStdString(plik.string());
    okno->Zapisz1->trigger();
    EXPECT_EQ(QFileInfo(proponowany).fileName(), "Dz.U. 1990 nr 34 poz. 198");
    EXPECT_FALSE(proponowany.contains(QStringLiteral("Dzienniki Ustaw")));
    EXPECT_EQ(fs::file_size(plik), 0u);
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]).rfind("Nie można zapisać pliku w katalogu danych programu:", 0), 0u);
    // Nor anywhere else in the data folder, however the path is written.
    odpowiedz = QString::fromStdString((program / "Lumesta" / "." / "nowy").string());
    okno->Zapisz1->trigger();
    EXPECT_EQ(komunikaty.Lista.size(), 2u);
    EXPECT_FALSE(fs::exists(program / "Lumesta" / "nowy.txt"));

    // Outside it the save goes through, and the next proposal starts there.
    odpowiedz = QString::fromStdString((program / "akt").string());
    okno->Zapisz1->trigger();
    EXPECT_TRUE(fs::exists(program / "akt.txt"));
    okno->Zapisz1->trigger();
    EXPECT_EQ(QFileInfo(proponowany).absolutePath(), QString::fromStdString(program.string()));
    EXPECT_EQ(komunikaty.Lista.size(), 2u);
}

} // namespace
