// lumesta-tool list/decode run as a program on data written with the store's
// writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

#include "ToolRun.h"
#include "store/Pomocnicze.h"

namespace {

class Narzedzie : public ::testing::Test {
protected:
    void SetUp() override
    {
        dane = folder.sciezka() / "Lumesta";
        std::filesystem::create_directories(dane);
        TDokumentTekst d;
        d.Akapity = {
            testy::akapit({{9, "KODEKS"}, {0, " CYWILNY"}}),
            testy::akapit({{2, "Art"}, {0, ". 1. Zdanie \"w cudzysłowie\" i\ttab."}, {4, ""}, {0, ""}}),
        };
        d.Przypisy = {{cp1250::fromUtf8(" Dz.U.1998.106.668 – zmiana.")}};
        TBudowaSlownika b;
        TWynikKodowania w = KodujDokument(d, b);
        ASSERT_TRUE(w.Problemy.empty());
        testy::zapisz(folder.sciezka() / "Morvitane.sko", ZapiszSlownik(b.Slownik()));
        testy::zapisz(dane / "Lumesta.rdu",
                      ZapiszKontener({{0, 0, 0, ZapiszRekord(w.Rekord)}, {12, 12, 0, "zepsuty rekord"}}));
        slownik = (folder.sciezka() / "Morvitane.sko").string();
    }

    Wynik uruchom(std::vector<std::string> args) { return uruchomNarzedzie(args, folder.sciezka()); }

    testy::TymczasowyFolder folder;
    std::filesystem::path dane;
    std::string slownik;
};

} // namespace

TEST_F(Narzedzie, ListsTitles)
{
    Wynik w = uruchom({"list", slownik, dane.string(), "Kodeks cywilny"});
    EXPECT_EQ(w.kod, 0) << w.bledy;
    EXPECT_EQ(w.wyjscie, "Kodeks cywilny\nKodeks wykroczeń\n");

    w = uruchom({"list", "--json", slownik, dane.string(), "Kodeks cywilny"});
    EXPECT_EQ(w.kod, 0);
    EXPECT_EQ(w.wyjscie, "{\"titles\": [\"Kodeks cywilny\", \"Kodeks wykroczeń\"], \"messages\": []}\n");

    w = uruchom({"list", slownik, dane.string(), "Dz.U.1998.1.1"});
    EXPECT_EQ(w.kod, 1);
    EXPECT_NE(w.bledy.find("1998.rdu"), std::string::npos);
}

TEST_F(Narzedzie, DecodesToJsonExactlyAsTheStoreReturns)
{
    Wynik w = uruchom({"decode", "--json", slownik, dane.string(), "kodeks cywilny"});
    EXPECT_EQ(w.kod, 0) << w.bledy;
    EXPECT_EQ(w.wyjscie,
              "{\"titles\": [\"Kodeks cywilny\", \"Kodeks wykroczeń\"], \"paragraphs\": "
              "[[[9, \"KODEKS\"], [0, \" CYWILNY\"]], "
              "[[2, \"Art\"], [0, \". 1. Zdanie \\\"w cudzysłowie\\\" i\\u0009tab.\"], [4, \"\"], [0, \"\"]]], "
              "\"footnotes\": [\"\", \"(1)  Dz.U.1998.106.668 – zmiana.\"], \"text\": [\"\"], "
              "\"messages\": []}\n");

    w = uruchom({"decode", slownik, dane.string(), "Kodeks cywilny"});
    EXPECT_EQ(w.kod, 0);
    EXPECT_EQ(w.wyjscie, "KODEKS CYWILNY\nArt. 1. Zdanie \"w cudzysłowie\" i\ttab.[1]\n----\n\n"
                         "(1)  Dz.U.1998.106.668 – zmiana.\n");
}

TEST_F(Narzedzie, FailuresGiveMessagesAndNonZeroStatus)
{
    Wynik w = uruchom({"decode", "--json", slownik, dane.string(), "Kodeks wykroczeń"});
    EXPECT_EQ(w.kod, 1);
    EXPECT_NE(w.wyjscie.find("\"messages\": [\"To nie jest plik Dziennika Ustaw.\"]"), std::string::npos)
        << w.wyjscie;
    EXPECT_NE(w.wyjscie.find("\"paragraphs\": []"), std::string::npos);

    w = uruchom({"decode", slownik, dane.string(), "Kodeks pracy"});
    EXPECT_EQ(w.kod, 1);
    EXPECT_NE(w.bledy.find("Nie ma: Kodeks pracy"), std::string::npos) << w.bledy;

    w = uruchom({"decode", slownik, dane.string(), "Dz.U.1998..1"});
    EXPECT_EQ(w.kod, 1);
    EXPECT_NE(w.bledy.find("nie jest prawidłową liczbą całkowitą"), std::string::npos) << w.bledy;

    w = uruchom({"decode", (folder.sciezka() / "brak.sko").string(), dane.string(), "Kodeks cywilny"});
    EXPECT_EQ(w.kod, 1);

    // A dictionary cut short: the text comes out with its holes, for the
    // preparer to see, but the status says it failed.
    std::ifstream wej(slownik, std::ios::binary);
    const std::string bajty((std::istreambuf_iterator<char>(wej)), std::istreambuf_iterator<char>());
    testy::zapisz(folder.sciezka() / "uciety.sko", bajty.substr(0, 9));
    w = uruchom({"decode", (folder.sciezka() / "uciety.sko").string(), dane.string(), "Kodeks cywilny"});
    EXPECT_EQ(w.kod, 1);
    EXPECT_NE(w.bledy.find("jest uszkodzony"), std::string::npos) << w.bledy;
    EXPECT_NE(w.bledy.find("Nie można odczytać tekstu „Kodeks cywilny”: w słowniku brakuje "), std::string::npos)
        << w.bledy;
    EXPECT_FALSE(w.wyjscie.empty());

    w = uruchom({"decode", slownik, dane.string()});
    EXPECT_EQ(w.kod, 2);
    w = uruchom({"nieznana"});
    EXPECT_EQ(w.kod, 2);
    EXPECT_NE(w.bledy.find("decode [--json]"), std::string::npos);
    w = uruchom({});
    EXPECT_EQ(w.kod, 2);
}
