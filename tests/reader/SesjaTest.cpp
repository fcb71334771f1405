// What the main window remembers between runs: settings written when it
// closes and applied by the next window, and the last session's tabs
// reopened in order at their places, lazily, without empty tabs for
// documents that are gone.
#include "DaneTestowe.h"

#include "packer/Generator.h"
#include "packer/Packer.h"
#include "platform/core/Cp1250.h"
#include "reader/Okienko.h"
#include "view/DVStyle.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolButton>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;

namespace {

const char* const Akt = "Dz.U.2007.50.331";

// Two codes long enough to scroll (rows 0 and 1 of the codes list: the
// Civil Code and the Penal Code) and one Journal act with its presence file.
bool zapiszBiblioteke(const fs::path& folder)
{
    packer::LibraryPacker pakowacz;
    packer::Problems problemy;
    packer::GeneratorOptions o;
    o.targetBytes = 150'000;
    o.seed = 21;
    o.code = 0;
    const std::string cywilny = packer::generateCode(o);
    o.seed = 22;
    o.code = 3;
    const std::string karny = packer::generateCode(o);
    packer::PackedLibrary dane;
    return pakowacz.add(cywilny, "kodeks-00.txt", problemy) && pakowacz.add(karny, "kodeks-03.txt", problemy) &&
           pakowacz.add(packer::generateAct(23, 2007, 50, 331), std::string(Akt) + ".txt", problemy) &&
           pakowacz.finish(dane, problemy) && packer::writeLibrary(dane, folder, problemy);
}

class Sesja : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        program = fs::path(tmp.path().toStdString()) / "bin";
        ASSERT_TRUE(zapiszBiblioteke(program));
        plik = tmp.path() + QStringLiteral("/config/Lumesta/Lumesta.conf");
    }

    std::unique_ptr<TfLumesta> nowe(bool zUstawieniami = true)
    {
        auto o = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
        o->resize(780, 560);
        if (zUstawieniami)
            o->UzyjUstawien(plik);
        o->show();
        return o;
    }

    void otworz(TfLumesta& o, int wiersz)
    {
        o.clbSpisKodeksow->setCurrentRow(wiersz);
        o.tvSpisKodeksowClick();
    }

    fs::path obecnosc() const { return program / "Lumesta" / "Dzienniki Ustaw" / (std::string(Akt) + ".txt"); }

    QTemporaryDir tmp;
    fs::path program;
    QString plik;
    TZbiorKomunikatow komunikaty;
};

TEST_F(Sesja, TheNextWindowLooksAsTheLastOneWasLeft)
{
    {
        auto a = nowe();
        otworz(*a, 0);
        a->dialogKoloru = [](TColor& k) { return k = clYellow, true; };
        a->Kolorta1->trigger();
        a->dialogCzcionki = [](TFontInfo& f) {
            f.FontName = "Liberation Serif";
            f.Size = 21;
            return true;
        };
        a->Czcionka1->trigger();
        a->UstawPowiekszenie(125);
        a->eksty1->trigger();
        a->tbLumestaClick(); // the codes list hidden
        a->sPodzialka->setSizes({180, 700});
        a->Duzewylczniki1->trigger();
        a->resize(700, 500);
        a->close();
    }
    ASSERT_TRUE(QFile::exists(plik));

    auto b = nowe();
    const TFontInfos& s = b->DVSStyl->TextStyles();
    EXPECT_EQ(s.Items(0).FontName, "Liberation Serif");
    EXPECT_EQ(s.Items(0).Size, 21);
    EXPECT_EQ(s.Items(1).Size, 24); // 16 x 21/14
    EXPECT_EQ(b->DVSStyl->Color(), clYellow);
    EXPECT_EQ(b->Powiekszenie(), 125);
    EXPECT_EQ(b->BiezacyWidok()->Zoom(), 125);
    EXPECT_EQ(b->tbZapisz->toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_TRUE(b->clbSpisKodeksow->isHidden());
    EXPECT_FALSE(b->lbSpisTresci->isHidden());
    EXPECT_EQ(b->sPodzialka->sizes().value(0), 180);
    EXPECT_FALSE(b->pecTablica->SmallCloseBtn());
    EXPECT_EQ(b->Duzewylczniki1->text(), "&Małe wyłączniki");
    EXPECT_EQ(b->size(), QSize(700, 500));
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Sesja, AHiddenListKeepsItsShareOfThePane)
{
    {
        auto a = nowe();
        a->sPodzialPion->setSizes({150, 300});
        a->close();
    }
    {
        auto b = nowe();
        EXPECT_EQ(b->sPodzialPion->sizes().value(0), 150);
        // Moved in this run, then hidden: the move is what is kept.
        b->sPodzialPion->setSizes({110, 340});
        b->tbLumestaClick();
        b->close();
    }
    auto c = nowe();
    EXPECT_TRUE(c->clbSpisKodeksow->isHidden());
    c->tbLumestaClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(c->sPodzialPion->sizes().value(0), 110);
}

TEST_F(Sesja, UntouchedFontsKeepEachStyleItsOwnColour)
{
    nowe()->close();
    auto b = nowe();
    EXPECT_EQ(b->DVSStyl->TextStyles().Items(3).Color, clMaroon);
    EXPECT_EQ(b->DVSStyl->TextStyles().Items(6).Color, clTeal);
    EXPECT_EQ(b->DVSStyl->Color(), TColor(0xEBFFED));
}

TEST_F(Sesja, TabsComeBackInOrderAtTheirPlacesWithTheSameOneCurrent)
{
    std::vector<TDVAnchor> miejsca;
    {
        auto a = nowe();
        otworz(*a, 1);
        otworz(*a, 0);
        for (int t = 0; t < 2; ++t) {
            a->pecTablica->SetTabIndex(t);
            a->pcTablicaChange();
            TDocView* v = a->BiezacyWidok();
            v->ScrollTo(v->DocumentHeight() / (3 + t));
            miejsca.push_back(v->TopAnchor());
            ASSERT_GT(miejsca.back().Item, 0);
        }
        a->pecTablica->SetTabIndex(0);
        a->pcTablicaChange();
        a->close();
    }

    auto b = nowe();
    ASSERT_EQ(b->LiczbaZakladek(), 2);
    EXPECT_EQ(utf(b->nazwyZakladek[0]), "Kodeks karny");
    EXPECT_EQ(utf(b->nazwyZakladek[1]), "Kodeks cywilny");
    EXPECT_EQ(b->BiezacaZakladka(), 0);
    EXPECT_EQ(b->windowTitle(), "Lumesta: Kodeks karny");
    // Only the current tab is built; the other waits until it is shown.
    EXPECT_FALSE(b->Odlozona(0));
    EXPECT_TRUE(b->Odlozona(1));
    EXPECT_EQ(b->Widok(1)->ItemCount(), 0);
    EXPECT_EQ(b->BiezacyWidok()->TopAnchor(), miejsca[0]);
    EXPECT_GT(b->BiezacyWidok()->VPos(), 0);
    EXPECT_GT(b->lbSpisTresci->count(), 0);
    // Both codes are ticked as open, the current one's row is current.
    EXPECT_EQ(b->clbSpisKodeksow->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(b->clbSpisKodeksow->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(b->clbSpisKodeksow->currentRow(), 1);

    // Shown, the second tab is built at its place with its contents.
    b->pecTablica->SetTabIndex(1);
    b->pcTablicaChange();
    EXPECT_FALSE(b->Odlozona(1));
    EXPECT_GT(b->Widok(1)->ItemCount(), 0);
    EXPECT_EQ(b->Widok(1)->TopAnchor(), miejsca[1]);
    EXPECT_GT(b->Widok(1)->VPos(), 0);
    EXPECT_EQ(b->lbSpisTresci->count(), int(b->spisyZakladek[1].Spis.size()));
    EXPECT_GT(b->lbSpisTresci->count(), 0);
    EXPECT_FALSE(b->indeksyPrzypisow[1].Wiersze.empty());
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Sesja, ATabClosedBeforeItWasShownIsGoneAndTheRestKeepTheirPlaces)
{
    TZakladkaSesji karny{cp("Kodeks karny"), 40, 1};
    auto a = nowe(false);
    a->PrzywrocSesje({{cp("Kodeks cywilny"), -1, 0}, karny}, 0);
    ASSERT_TRUE(a->Odlozona(1));
    // Saved before it was ever shown, the tab keeps the place it came with.
    TUstawienia u = a->ZbierzUstawienia();
    ASSERT_EQ(u.Zakladki.size(), 2u);
    EXPECT_EQ(u.Zakladki[1], karny);
    EXPECT_EQ(u.BiezacaZakladka, 0);

    a->ZamknijZakladke(1, false);
    EXPECT_EQ(a->LiczbaZakladek(), 1);
    EXPECT_EQ(a->spisyZakladek.size(), 1u);
    EXPECT_EQ(a->indeksyPrzypisow.size(), 1u);
    u = a->ZbierzUstawienia();
    ASSERT_EQ(u.Zakladki.size(), 1u);
    EXPECT_EQ(utf(u.Zakladki[0].Nazwa), "Kodeks cywilny");
}

TEST_F(Sesja, DocumentsThatAreGoneAreNamedOnceAndGetNoTab)
{
    fs::remove(obecnosc());
    auto a = nowe(false);
    a->PrzywrocSesje({{cp("Kodeks pracy"), -1, 0}, {Akt, -1, 0}, {cp("Kodeks karny"), -1, 0},
                      {cp("Kodeks karny"), -1, 0}, {"../../etc/passwd", -1, 0}},
                     1);
    ASSERT_EQ(a->LiczbaZakladek(), 1);
    EXPECT_EQ(utf(a->nazwyZakladek[0]), "Kodeks karny");
    EXPECT_EQ(a->BiezacaZakladka(), 0);
    EXPECT_GT(a->BiezacyWidok()->ItemCount(), 0);
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    const std::string k = utf(komunikaty.Lista[0]);
    EXPECT_NE(k.find("Kodeks pracy"), std::string::npos) << k;
    EXPECT_NE(k.find("Dz.U. 2007 nr 50 poz. 331"), std::string::npos) << k;
    EXPECT_NE(k.find("passwd"), std::string::npos) << k;

    // Nothing left at all: no strip, the splash stays.
    auto b = nowe(false);
    komunikaty.Lista.clear();
    b->PrzywrocSesje({{cp("Kodeks pracy"), 3, 3}}, 0);
    EXPECT_EQ(b->LiczbaZakladek(), 0);
    EXPECT_TRUE(b->pecTablica == nullptr || b->pecTablica->isHidden());
    EXPECT_EQ(komunikaty.Lista.size(), 1u);
}

TEST_F(Sesja, ATabWhoseTextCannotBeReadAnyMoreIsClosedWithAMessage)
{
    // The act's presence file is there, the yearbook holding its text is not.
    fs::remove(program / "Lumesta" / "2007.rdu");
    auto a = nowe(false);
    a->PrzywrocSesje({{cp("Kodeks cywilny"), -1, 0}, {Akt, -1, 0}, {cp("Kodeks karny"), -1, 0}}, 0);
    ASSERT_EQ(a->LiczbaZakladek(), 3);
    EXPECT_TRUE(komunikaty.Lista.empty());

    // Shown, the act cannot be built: the user is told, its tab goes, and
    // the other tabs stay whole and in step with their lists.
    a->pecTablica->SetTabIndex(1);
    a->pcTablicaChange();
    QCoreApplication::processEvents();
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_NE(utf(komunikaty.Lista[0]).find("Brak tekstu: Dz.U.2007.50.331"), std::string::npos);
    ASSERT_EQ(a->LiczbaZakladek(), 2);
    EXPECT_EQ(a->nazwyZakladek.size(), 2u);
    EXPECT_EQ(a->spisyZakladek.size(), 2u);
    EXPECT_EQ(a->indeksyPrzypisow.size(), 2u);
    EXPECT_EQ(utf(a->nazwyZakladek[1]), "Kodeks karny");
    const TUstawienia u = a->ZbierzUstawienia();
    ASSERT_EQ(u.Zakladki.size(), 2u);
    EXPECT_EQ(utf(u.Zakladki[1].Nazwa), "Kodeks karny");
}

TEST_F(Sesja, AJournalActIsRememberedByItsNameAndShownByItsReference)
{
    {
        auto a = nowe();
        a->OtworzWZakladce(cp1250::fromUtf8(obecnosc().string()), false);
        EXPECT_EQ(a->windowTitle(), "Lumesta: Dz.U. 2007 nr 50 poz. 331");
        EXPECT_EQ(a->pecTablica->SheetOfTab(0)->Caption().substr(0, 25), "Dz.U. 2007 nr 50 poz. 331");
        const TUstawienia u = a->ZbierzUstawienia();
        ASSERT_EQ(u.Zakladki.size(), 1u);
        EXPECT_EQ(u.Zakladki[0].Nazwa, Akt);
        a->close();
    }
    auto b = nowe();
    ASSERT_EQ(b->LiczbaZakladek(), 1);
    EXPECT_EQ(b->nazwyZakladek[0], cp1250::fromUtf8(obecnosc().string()));
    EXPECT_GE(b->spisyZakladek[0].NumerKodeksu, PierwszyNumerDziennika);
    EXPECT_GT(b->BiezacyWidok()->ItemCount(), 0);
    EXPECT_EQ(b->windowTitle(), "Lumesta: Dz.U. 2007 nr 50 poz. 331");
}

TEST_F(Sesja, WithReopeningOffTheSessionIsNeitherKeptNorReopened)
{
    {
        auto a = nowe();
        otworz(*a, 0);
        a->OtwierajOstatnie1->trigger(); // off
        a->close();
    }
    auto b = nowe();
    EXPECT_FALSE(b->OtwierajOstatnie1->isChecked());
    EXPECT_EQ(b->LiczbaZakladek(), 0);
    EXPECT_TRUE(WczytajUstawienia(plik).Zakladki.empty());
}

TEST_F(Sesja, ADamagedSettingsFileStartsWithDefaults)
{
    QDir().mkpath(QFileInfo(plik).absolutePath());
    QFile f(plik);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Okno]\nGeometria=@ByteArray(\\x1\\x2\\x3garbage)\nStan=@ByteArray(xyz)\n"
            "PodzialPoziomy=@ByteArray(\\0\\0\\0\\xff)\nPodzialPionowy=5,-3\n[Dokumenty]\nCzcionka=X\nKolorCzcionki=0\n"
            "ZestawZnakow=238\nRozmiary=1,2,3\n[Sesja]\nZakladki\\size=2\nZakladki\\1\\Nazwa=Kodeks karny\n"
            "Zakladki\\1\\Element=99999999\nZakladki\\1\\Pozycja=77777\n");
    f.close();
    auto a = nowe();
    auto czyste = nowe(false);
    // Three sizes fit no nine styles: the window's own fonts stay.
    EXPECT_EQ(a->DVSStyl->TextStyles().Items(0).Size, 14);
    EXPECT_EQ(a->sPodzialka->sizes(), czyste->sPodzialka->sizes());
    EXPECT_EQ(a->size(), czyste->size());
    // The tab comes back; a place beyond its document leaves it at the top.
    ASSERT_EQ(a->LiczbaZakladek(), 1);
    EXPECT_EQ(a->BiezacyWidok()->VPos(), 0);
}

} // namespace
