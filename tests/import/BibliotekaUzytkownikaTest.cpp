// The user's own library: imported sources kept beside the data packed from
// all of them; an act imported again replaces itself; a failure changes
// nothing; the reader reads it beside the bundled library.
#include "ImportTestUtil.h"

#include "import/BibliotekaUzytkownika.h"
#include "platform/core/Cp1250.h"
#include "store/Biblioteka.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string act(const std::string& name, const std::string& text)
{
    return name + "\n\nUSTAWA\nz dnia 1 marca 2020 r.\nArt. 1. " + text + "\n";
}

std::string firstArticle(TBiblioteka& b, const std::string& name)
{
    TListaNapisow t, p, tytuly;
    TPlik plik;
    b.OtworzDokument(cp1250::fromUtf8(name), t, p, plik, true, tytuly);
    for (const TWiersz& w : plik) {
        std::string line;
        for (const TTekst& k : w)
            line += k.Tekst;
        if (line.rfind("Art", 0) == 0)
            return cp1250::toUtf8(line);
    }
    return {};
}

bool add(const importer::UserLibrary& lib, const std::string& source, std::string& error)
{
    importer::PreparedAddition prepared;
    return importer::prepareAddition(lib, source, prepared, error) && importer::commitAddition(lib, prepared, error);
}

} // namespace

TEST(UserLibrary, AddReplaceAndReadBesideTheBundledOne)
{
    QTemporaryDir tmp;
    const importer::UserLibrary lib{fs::path(tmp.path().toStdString()) / "Lumesta"};
    std::string error;
    ASSERT_TRUE(add(lib, act("Kodeks cywilny", "Tekst pierwszego importu."), error)) << error;
    ASSERT_TRUE(add(lib, act("Dz.U.2020.0.300", "Ustawa zwykła."), error)) << error;
    EXPECT_TRUE(fs::is_regular_file(lib.sources() / "kodeks-cywilny.txt"));
    EXPECT_TRUE(fs::is_regular_file(lib.sources() / "Dz.U.2020.0.300.txt"));
    EXPECT_TRUE(fs::is_regular_file(lib.data() / "Dzienniki Ustaw" / "Dz.U.2020.0.300.txt"));

    // The same code again, under a source file renamed by hand: replaced.
    fs::rename(lib.sources() / "kodeks-cywilny.txt", lib.sources() / "moj.txt");
    ASSERT_TRUE(add(lib, act("KODEKS CYWILNY", "Tekst drugiego importu."), error)) << error;
    EXPECT_FALSE(fs::exists(lib.sources() / "moj.txt"));
    EXPECT_TRUE(fs::is_regular_file(lib.sources() / "kodeks-cywilny.txt"));

    // A bundled library with its own Civil Code and Penal Code: the user's
    // Civil Code wins, the rest stays available.
    const fs::path bundled = fs::path(tmp.path().toStdString()) / "program";
    fs::create_directories(bundled / "zrodla");
    std::ofstream(bundled / "zrodla" / "a.txt") << act("Kodeks cywilny", "Tekst dołączony do programu.");
    std::ofstream(bundled / "zrodla" / "b.txt") << act("Kodeks karny", "Kodeks karny programu.");
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(bundled / "zrodla", bundled, problems));

    TZbiorKomunikatow messages;
    TBiblioteka b(&messages);
    b.Dodaj(lib.dictionary(), lib.data());
    b.Dodaj(bundled / "Morvitane.sko", bundled / "Lumesta");
    EXPECT_EQ(firstArticle(b, "Kodeks cywilny"), "Art. 1. Tekst drugiego importu.");
    EXPECT_EQ(firstArticle(b, "Kodeks karny"), "Art. 1. Kodeks karny programu.");
    EXPECT_EQ(firstArticle(b, "Dz.U.2020.0.300"), "Art. 1. Ustawa zwykła.");
    EXPECT_TRUE(b.JestDziennik("Dz.U.2020.0.300"));
    EXPECT_TRUE(messages.Lista.empty());
}

TEST(UserLibrary, AFailedAdditionChangesNothing)
{
    QTemporaryDir tmp;
    const importer::UserLibrary lib{fs::path(tmp.path().toStdString()) / "Lumesta"};
    std::string error;
    ASSERT_TRUE(add(lib, act("Kodeks pracy", "Pierwotny tekst."), error)) << error;

    // A text the packer refuses.
    importer::PreparedAddition prepared;
    EXPECT_FALSE(importer::prepareAddition(lib, "Prawo nieznane\n\nArt. 1. Tekst.\n", prepared, error));
    EXPECT_FALSE(error.empty());

    // The data cannot be written (the library's folder lies under a file):
    // the new source does not stay either.
    std::ofstream(fs::path(tmp.path().toStdString()) / "plik") << "x";
    const importer::UserLibrary blocked{fs::path(tmp.path().toStdString()) / "plik" / "Lumesta"};
    ASSERT_TRUE(importer::prepareAddition(blocked, act("Kodeks morski", "Nowy tekst."), prepared, error)) << error;
    EXPECT_FALSE(importer::commitAddition(blocked, prepared, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_regular_file(fs::path(tmp.path().toStdString()) / "plik"));

    // A source in the folder that does not pack is left out with a warning,
    // and the others are kept.
    std::ofstream(lib.sources() / "zepsuty.txt") << "bez sensu\n";
    ASSERT_TRUE(importer::prepareAddition(lib, act("Kodeks morski", "Nowy tekst."), prepared, error)) << error;
    ASSERT_EQ(prepared.warnings.size(), 1u);
    EXPECT_NE(prepared.warnings[0].toString().find("zepsuty.txt"), std::string::npos);
    EXPECT_EQ(prepared.stats.codes, 2u);
}

TEST(UserLibrary, SourceFileNamesTravelEverywhere)
{
    EXPECT_EQ(importer::sourceFileName("Kodeks postępowania w sprawach o wykroczenia"),
              "kodeks-postepowania-w-sprawach-o-wykroczenia.txt");
    EXPECT_EQ(importer::sourceFileName("Kodeks spółek handlowych"), "kodeks-spolek-handlowych.txt");
    EXPECT_EQ(importer::sourceFileName("Dz.U.2024.0.1061"), "Dz.U.2024.0.1061.txt");
    EXPECT_EQ(importer::sourceFileName("!!!"), "akt.txt");
}
