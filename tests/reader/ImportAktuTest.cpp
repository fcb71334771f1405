// "Pliki" > "Dodaj akt...": an official text imported into the user's own
// library without freezing the window, read beside the bundled library,
// reported in a list the user can copy; a failed import changes nothing.
#include "DaneTestowe.h"

#include "import/Probka.h"
#include "reader/Okienko.h"
#include "reader/RaportImportu.h"
#include "view/DocView.h"
#include "widgets/ProgressGauge.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;

namespace {

const char* const kKodeksKarnyWykonawczy = R"(Kodeks karny wykonawczy

USTAWA
z dnia 6 czerwca 1997 r.
Kodeks karny wykonawczy[^1]
Rozdział I
Przepisy ogólne
Art. 1. Kodeks opisuje, jak długo wolno trzymać wypożyczony parasol; jego brzmienie wymyślono do prób programu.
Art. 1^1. Przepis dodany, także do prób.[^2]
Art. 2. Parasol zwraca się suchy i złożony.

[^1]: Zmiany ogłoszono w Dz. U. z 2003 r. Nr 49, poz. 408.
[^2]: Dodany przez art. 1 ustawy z dnia 14 lutego 2003 r. (Dz. U. Nr 49, poz. 408).
)";

// The Sejm's unified text of the act cited above, as plain pdftotext gives it.
const char* const kAktZmieniajacy =
    "©Kancelaria Sejmu\n\ns. 1/1\n2024-07-23\n\nDz. U. 2003 Nr 49 poz. 408\n"
    "USTAWA\nz dnia 14 lutego 2003 r.\no zmianie ustawy – Kodeks karny wykonawczy\n"
    "Art. 1. W ustawie wprowadza się zmiany wymyślone do prób.\n"
    "Art. 2. Ustawa wchodzi w życie w dniu wymyślonym.\n\f";

class DodajAkt : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        korzen = fs::path(tmp.path().toStdString());
        program = korzen / "bin";
        uzytkownik = korzen / "dane" / "Lumesta";
        fs::create_directories(program);
        ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny()}), "");
        okno = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
        okno->UstawKatalogUzytkownika(uzytkownik);
        okno->dialogOtwarcia = [this](QString& plik) {
            plik = wybrany;
            return !wybrany.isEmpty();
        };
        okno->raportImportu = [this](const QString& t, const QString& p, const QStringList& o) {
            tytul = t;
            podsumowanie = p;
            ostrzezenia = o;
            ++raporty;
        };
        okno->show();
    }

    // Chooses the file in the dialog, runs the command and lets the window
    // serve its events until the import is over.
    void dodaj(const fs::path& plik)
    {
        wybrany = QString::fromStdString(plik.string());
        okno->Dodajakt1->trigger();
        EXPECT_TRUE(okno->ImportTrwa());
        EXPECT_FALSE(okno->Dodajakt1->isEnabled());
        EXPECT_TRUE(okno->gWczytywanie->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!okno->ImportTrwa(), 120000);
        EXPECT_TRUE(okno->Dodajakt1->isEnabled());
    }

    fs::path zapisz(const std::string& nazwa, const QByteArray& bajty)
    {
        const fs::path p = korzen / nazwa;
        std::ofstream f(p, std::ios::binary);
        f.write(bajty.constData(), bajty.size());
        return p;
    }

    std::vector<std::string> kodeksy() const
    {
        std::vector<std::string> w;
        for (int i = 0; i < okno->clbSpisKodeksow->count(); ++i)
            w.push_back(okno->clbSpisKodeksow->item(i)->text().toStdString());
        return w;
    }

    // The text of the current tab's items, one string.
    std::string tekstWidoku() const
    {
        std::string t;
        for (const TItem& e : okno->BiezacyWidok()->Items())
            t += utf(e.Text) + "\n";
        return t;
    }

    QTemporaryDir tmp;
    fs::path korzen, program, uzytkownik;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
    QString wybrany, tytul, podsumowanie;
    QStringList ostrzezenia;
    int raporty = 0;
};

} // namespace

TEST_F(DodajAkt, AddsACodeFromItsPdfAndOpensIt)
{
    importer::SampleOptions o;
    dodaj(zapisz("kkw.pdf", importer::makeSamplePdf(kKodeksKarnyWykonawczy, o).pdf));
    EXPECT_TRUE(komunikaty.Lista.empty()) << (komunikaty.Lista.empty() ? "" : utf(komunikaty.Lista[0]));
    ASSERT_EQ(raporty, 1);
    EXPECT_EQ(tytul, "Dodano akt: Kodeks karny wykonawczy");
    EXPECT_TRUE(podsumowanie.contains(QStringLiteral("Artykułów: 3"))) << podsumowanie.toStdString();
    EXPECT_TRUE(podsumowanie.contains(QStringLiteral("tekst jednolity z Dziennika Ustaw"))) << podsumowanie.toStdString();
    EXPECT_TRUE(ostrzezenia.isEmpty()) << ostrzezenia.join('\n').toStdString();

    // The code joins the list in code order, is ticked, and its tab is open.
    EXPECT_EQ(kodeksy(), (std::vector<std::string>{"Kodeks cywilny", "Kodeks karny wykonawczy", "Kodeks karny"}));
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(okno->nazwyZakladek[0], cp("Kodeks karny wykonawczy"));
    EXPECT_EQ(okno->clbSpisKodeksow->item(1)->checkState(), Qt::Checked);
    const std::string t = tekstWidoku();
    EXPECT_NE(t.find(". 1^1. Przepis dodany, także do prób."), std::string::npos) << t;
    EXPECT_TRUE(fs::is_regular_file(uzytkownik / "zrodla" / "kodeks-karny-wykonawczy.txt"));
    EXPECT_FALSE(okno->gWczytywanie->isVisible() && okno->gWczytywanie->Progress() < okno->gWczytywanie->MaxValue());

    // The bundled codes still open, with their own dictionary.
    okno->clbSpisKodeksow->setCurrentRow(0);
    okno->tvSpisKodeksowClick();
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_GT(okno->BiezacyWidok()->ItemCount(), 0);
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(DodajAkt, TheUsersCodeReplacesTheBundledOneAndItsActsOpenFromFootnotes)
{
    const std::string kodeks = "USTAWA\nz dnia 23 kwietnia 1964 r.\nKodeks cywilny1)\n"
                               "Art. 1. Tekst z biblioteki użytkownika.\n\n1)\n\n"
                               "Zmiany ogłoszono w Dz. U. z 2003 r. Nr 49, poz. 408.\n\f";
    dodaj(zapisz("kc.txt", QByteArray::fromStdString(kodeks)));
    ASSERT_EQ(raporty, 1) << (komunikaty.Lista.empty() ? "" : utf(komunikaty.Lista[0]));
    EXPECT_EQ(kodeksy(), (std::vector<std::string>{"Kodeks cywilny", "Kodeks karny"}));
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_NE(tekstWidoku().find("Tekst z biblioteki użytkownika."), std::string::npos) << tekstWidoku();

    // The act its footnote cites, added next, opens in a tab of its own
    // under the name of its presence file in the user's library.
    dodaj(zapisz("akt.txt", kAktZmieniajacy));
    ASSERT_EQ(raporty, 2) << (komunikaty.Lista.empty() ? "" : utf(komunikaty.Lista[0]));
    EXPECT_EQ(tytul, "Dodano akt: Dz.U.2003.49.408");
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    EXPECT_EQ(utf(okno->nazwyZakladek[1]),
              (uzytkownik / "Lumesta" / "" / "Dzienniki Ustaw" / "Dz.U.2003.49.408.txt").string());
    EXPECT_NE(tekstWidoku().find("zmiany wymyślone do prób"), std::string::npos) << tekstWidoku();
    // The footnote's link names it so too: one presence file, after the
    // act's real issue number.
    EXPECT_TRUE(okno->biblioteka->JestDziennik("Dz.U.2003.49.408"));
    EXPECT_FALSE(okno->biblioteka->JestDziennik("Dz.U.2003.049.408"));

    // Adding the same code again while its tab is open: the report says the
    // tab shows the previous text.
    dodaj(zapisz("kc.txt", QByteArray::fromStdString(kodeks)));
    ASSERT_EQ(raporty, 3);
    EXPECT_TRUE(podsumowanie.contains(QStringLiteral("poprzednim tekstem"))) << podsumowanie.toStdString();
    EXPECT_EQ(okno->LiczbaZakladek(), 2);
}

TEST_F(DodajAkt, AFailedImportChangesNothing)
{
    dodaj(zapisz("zepsuty.pdf", "%PDF-1.6\nto nie jest PDF"));
    EXPECT_EQ(raporty, 0);
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    const std::string m = utf(komunikaty.Lista[0]);
    EXPECT_NE(m.find("Nie można dodać aktu z pliku:"), std::string::npos) << m;
    EXPECT_NE(m.find("cannot be read as a PDF"), std::string::npos) << m;
    EXPECT_FALSE(fs::exists(uzytkownik));
    EXPECT_EQ(kodeksy(), (std::vector<std::string>{"Kodeks cywilny", "Kodeks karny"}));
    EXPECT_EQ(okno->LiczbaZakladek(), 0);

    // The dialog cancelled: nothing starts.
    wybrany.clear();
    okno->Dodajakt1->trigger();
    EXPECT_FALSE(okno->ImportTrwa());
}

TEST_F(DodajAkt, ClosingTheWindowStopsAnImport)
{
    const std::string duzy = importer::makeSampleCode(1500, 3, "Kodeks pracy");
    wybrany = QString::fromStdString(zapisz("duzy.pdf", importer::makeSamplePdf(duzy, {}).pdf).string());
    okno->Dodajakt1->trigger();
    ASSERT_TRUE(okno->ImportTrwa());
    okno.reset();  // waits for the worker, which stops at its next page
    EXPECT_EQ(raporty, 0);
    EXPECT_FALSE(fs::exists(uzytkownik / "zrodla" / "kodeks-pracy.txt"));
}

TEST(RaportImportu, TheWarningsCanBeCopied)
{
    TfRaportImportu r;
    r.Pokaz(QStringLiteral("Dodano akt: Kodeks pracy"), QStringLiteral("Akt: Kodeks pracy"),
            {QStringLiteral("strona 2, wiersz 4: pierwsze"), QStringLiteral("strona 9, wiersz 1: drugie")});
    EXPECT_EQ(r.windowTitle(), "Dodano akt: Kodeks pracy");
    ASSERT_EQ(r.lbOstrzezenia->count(), 2);
    r.KopiujClick();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Akt: Kodeks pracy\n\nstrona 2, wiersz 4: pierwsze\nstrona 9, wiersz 1: drugie");
    // A selection is what Ctrl+C copies.
    r.lbOstrzezenia->item(1)->setSelected(true);
    QTest::keyClick(r.lbOstrzezenia, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "strona 9, wiersz 1: drugie");

    r.Pokaz(QStringLiteral("Dodano akt"), QStringLiteral("bez uwag"), {});
    EXPECT_EQ(r.lOstrzezenia->text(), "Bez ostrzeżeń.");
    EXPECT_TRUE(r.lbOstrzezenia->isHidden());
}
