// The main window on missing and damaged data, as a new user meets it: it
// says what is wrong in words, lists only what can be read, opens no empty
// or hollow tabs, and finishes a library switch that a killed pack left
// halfway before it reads anything.
#include "DaneTestowe.h"

#include "reader/Okienko.h"
#include "view/DocView.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;

namespace {

std::vector<std::string> wiersze(const QListWidget* l)
{
    std::vector<std::string> w;
    for (int i = 0; i < l->count(); ++i)
        w.push_back(l->item(i)->text().toStdString());
    return w;
}

std::string czytaj(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void zapisz(const fs::path& p, const std::string& dane)
{
    std::ofstream(p, std::ios::binary | std::ios::trunc) << dane;
}

class Dane : public ::testing::Test {
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

    // A click on the caption of a row of the codes list, or on its box.
    void kliknij(int wiersz, bool wPole = false)
    {
        QListWidget* l = okno->clbSpisKodeksow;
        const QRect r = l->visualItemRect(l->item(wiersz));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          QPoint(wPole ? r.left() + 10 : r.left() + 40, r.center().y()));
        QCoreApplication::processEvents();
    }

    QTemporaryDir tmp;
    fs::path korzen;
    fs::path program;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
};

} // namespace

TEST_F(Dane, DamagedDictionaryWarnsOnceAndNoCodeOpensHollow)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny()}), "");
    // The dictionary loses its second half, as a copy cut short would.
    const fs::path slownik = program / "Morvitane.sko";
    const std::string caly = czytaj(slownik);
    zapisz(slownik, caly.substr(0, caly.size() / 2));
    uruchom();
    EXPECT_EQ(wiersze(okno->clbSpisKodeksow), (std::vector<std::string>{"Kodeks cywilny", "Kodeks karny"}));
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]), "Słownik " + slownik.string() +
                                            " jest uszkodzony: tekstów odczytanych z jego pomocą nie można być pewnym.");

    // A click on a code: refused with the reason, no tab, no tick.
    komunikaty.Lista.clear();
    kliknij(0);
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    const std::string powod = utf(komunikaty.Lista[0]);
    EXPECT_EQ(powod.rfind("Nie można odczytać tekstu „Kodeks cywilny”: ", 0), 0u) << powod;
    EXPECT_EQ(okno->LiczbaZakladek(), 0);
    EXPECT_TRUE(okno->nazwyZakladek.empty());
    EXPECT_EQ(okno->clbSpisKodeksow->item(0)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(okno->pLumesta->isVisible());

    // Ticking its box does the same and leaves the box clear.
    komunikaty.Lista.clear();
    kliknij(1, true);
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]).rfind("Nie można odczytać tekstu „Kodeks karny”: ", 0), 0u);
    EXPECT_EQ(okno->LiczbaZakladek(), 0);
    EXPECT_EQ(okno->clbSpisKodeksow->item(1)->checkState(), Qt::Unchecked);
}

TEST_F(Dane, DictionaryOfOtherDataCountsTheWordsItLacks)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny()}), "");
    // A whole dictionary, but of other data: it has a single word.
    zapisz(program / "Morvitane.sko",
           std::string("Slo\0", 4) + std::string("\0\0\0\0", 4) + "\x05jedno" + std::string(4, '\0'));
    uruchom();
    EXPECT_TRUE(komunikaty.Lista.empty());
    kliknij(0);
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    const std::string powod = utf(komunikaty.Lista[0]);
    EXPECT_EQ(powod.rfind("Nie można odczytać tekstu „Kodeks cywilny”: w słowniku brakuje ", 0), 0u) << powod;
    EXPECT_NE(powod.find(" jego słów. Słownik jest uszkodzony albo nie pasuje do danych."), std::string::npos);
    EXPECT_EQ(okno->LiczbaZakladek(), 0);
}

TEST_F(Dane, DataWithoutADictionarySaySo)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksKarny()}), "");
    fs::remove(program / "Morvitane.sko");
    uruchom();
    EXPECT_EQ(wiersze(okno->clbSpisKodeksow), std::vector<std::string>{"Kodeks karny"});
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]), "Brak słownika " + (program / "Morvitane.sko").string() +
                                            ".\r\nBez niego teksty kodeksów nie dadzą się odczytać; spakuj dane "
                                            "ponownie poleceniem lumesta-tool pack.");
    kliknij(0);
    EXPECT_EQ(okno->LiczbaZakladek(), 0);
}

TEST_F(Dane, DamagedCodesDirectoryListsWhatCanBeReadAndSaysSoOnce)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}),
              "");
    const fs::path kontener = program / "Lumesta" / "Lumesta.rdu";
    // The last directory entry points past the end of the file: the
    // Constitution (and the code before it, whose record ends there) cannot
    // be reached; the Civil Code can.
    std::string bajty = czytaj(kontener);
    bajty[bajty.size() - 13 + 3] = '\x7f';
    zapisz(kontener, bajty);
    uruchom();
    EXPECT_EQ(wiersze(okno->clbSpisKodeksow), std::vector<std::string>{"Kodeks cywilny"});
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(utf(komunikaty.Lista[0]), "Uszkodzony spis dokumentów w pliku " + kontener.string() + ".");

    // What is listed opens, without a word more about the damage.
    komunikaty.Lista.clear();
    kliknij(0);
    EXPECT_TRUE(komunikaty.Lista.empty());
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_GT(okno->BiezacyWidok()->ItemCount(), 0);
}

TEST_F(Dane, TruncatedCodesContainerGivesNoBlankRowsAndNoEmptyTabs)
{
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}),
              "");
    const fs::path kontener = program / "Lumesta" / "Lumesta.rdu";
    const std::string bajty = czytaj(kontener);
    for (std::size_t ciecie : {bajty.size() / 2, bajty.size() - 20, bajty.size() - 1}) {
        SCOPED_TRACE("cut to " + std::to_string(ciecie) + " bytes");
        zapisz(kontener, bajty.substr(0, ciecie));
        komunikaty.Lista.clear();
        uruchom();
        // One message about the damage; the directory read from the cut
        // end is noise, and none of it becomes a row.
        ASSERT_EQ(komunikaty.Lista.size(), 1u);
        EXPECT_EQ(utf(komunikaty.Lista[0]), "Uszkodzony spis dokumentów w pliku " + kontener.string() + ".");
        for (const std::string& w : wiersze(okno->clbSpisKodeksow))
            EXPECT_FALSE(w.empty());
        // Whatever is listed either opens with text or opens nothing.
        for (int i = 0; i < okno->clbSpisKodeksow->count(); ++i) {
            const int przed = okno->LiczbaZakladek();
            kliknij(i);
            if (okno->LiczbaZakladek() > przed) {
                EXPECT_GT(okno->BiezacyWidok()->ItemCount(), 0);
            }
        }
    }
}

TEST_F(Dane, ASwitchCutShortByAKilledPackIsFinishedBeforeReading)
{
    // The old library is in place; a pack that died had already decided on
    // the new one, which waits in its switch folder, and another pack died
    // while writing.
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksKarny()}), "");
    ASSERT_EQ(dane::zapiszBiblioteke(program / ".lumesta-swap", {dane::kodeksCywilny(), dane::konstytucja()}), "");
    fs::create_directories(program / ".lumesta-pack-4194001" / "Lumesta");
    uruchom();
    EXPECT_EQ(wiersze(okno->clbSpisKodeksow),
              (std::vector<std::string>{"Kodeks cywilny", "Konstytucja Rzeczypospolitej Polskiej"}));
    EXPECT_TRUE(komunikaty.Lista.empty());
    for (const auto& e : fs::directory_iterator(program))
        EXPECT_EQ(e.path().filename().string().rfind(".lumesta-", 0), std::string::npos) << e.path();
    kliknij(0);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Dane, ASwitchThatCannotBeFinishedIsSaidAndTheDataInPlaceAreRead)
{
    // Something stands where the old data folder would go aside: the
    // switch cannot go on, nothing is moved, and the user hears of it.
    ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksKarny()}), "");
    ASSERT_EQ(dane::zapiszBiblioteke(program / ".lumesta-swap", {dane::kodeksCywilny()}), "");
    fs::create_directories(program / ".lumesta-swap" / "old" / "Lumesta");
    uruchom();
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    const std::string tekst = utf(komunikaty.Lista[0]);
    EXPECT_EQ(tekst.rfind("Wymiana danych programu w folderze " + program.string() +
                              " została przerwana i nie dało się jej dokończyć (",
                          0),
              0u)
        << tekst;
    EXPECT_NE(tekst.find(").\r\nTeksty mogą się nie zgadzać ze słownikiem; spakuj dane ponownie."), std::string::npos);
    EXPECT_EQ(wiersze(okno->clbSpisKodeksow), std::vector<std::string>{"Kodeks karny"});
    EXPECT_TRUE(fs::exists(program / ".lumesta-swap" / "Lumesta" / "Lumesta.rdu"));
}
