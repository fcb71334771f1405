// lumesta-tool links run as a program on a packed library.
#include "PackTestUtil.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

using namespace packtest;

namespace {

class Linki : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeText(dir.path() / "src" / "kk.txt",
                  "Kodeks karny\n\nKODEKS KARNY\n"
                  "Art. 1. Przepis art. 2 § 1 stosuje się, zob. art. 415 k.c. i art. 7 k.c.\n"
                  "Art. 2. § 1. Kara ogłoszona w Dz. U. z 2016 r. poz. 1250 i 1251.[^1]\n\n"
                  "[^1]: Dodany przez art. 1 ustawy z dnia 12 września 2016 r.\n"
                  "    (Dz. U. z 2016 r. poz. 1250).\n");
        writeText(dir.path() / "src" / "kc.txt", "Kodeks cywilny\n\nKODEKS CYWILNY\nArt. 415. Kto szkodzi, naprawia.\n");
        writeText(dir.path() / "src" / "akt.txt", "Dz.U.2016.0.1250\n\nUSTAWA\nArt. 1. Zmiana.\n");
        packer::Problems problems;
        ASSERT_TRUE(packer::packFolder(dir.path() / "src", out(), problems)) << problemsText(problems);
    }
    fs::path out() const { return dir.path() / "out"; }
    Wynik linki(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"links", (out() / "Morvitane.sko").string(), (out() / "Lumesta").string()});
        return uruchomNarzedzie(args, dir.path());
    }
    ScratchDir dir;
};

} // namespace

TEST_F(Linki, EveryLinkWithSpanTargetAndPresence)
{
    const Wynik w = linki({"Kodeks karny", "--json"});
    ASSERT_EQ(w.kod, 0) << w.bledy;
    const auto ma = [&](const std::string& czesc) { return w.wyjscie.find(czesc) != std::string::npos; };
    // Paragraph 1 is "Art. 1. ..." (0 is the heading).
    EXPECT_TRUE(ma("{\"kind\": \"article\", \"footnote\": false, \"line\": 1, \"offset\": 16, \"length\": 10, "
                   "\"text\": \"art. 2 § 1\", \"target\": {\"code\": \"Kodeks karny\", \"unit\": \"Art. 2 § 1\"}, "
                   "\"exists\": true, \"paragraph\": 2}"))
        << w.wyjscie;
    // The other code is decoded to find the unit; art. 7 is not in it.
    EXPECT_TRUE(ma("\"text\": \"art. 415\", \"target\": {\"code\": \"Kodeks cywilny\", \"unit\": \"Art. 415\"}, "
                   "\"exists\": true, \"paragraph\": 1}"))
        << w.wyjscie;
    EXPECT_TRUE(ma("\"text\": \"art. 7\", \"target\": {\"code\": \"Kodeks cywilny\", \"unit\": \"Art. 7\"}, "
                   "\"exists\": false}"))
        << w.wyjscie;
    EXPECT_TRUE(ma("{\"kind\": \"journal\", \"footnote\": false, \"line\": 2, \"offset\": 30, \"length\": 26, "
                   "\"text\": \"Dz. U. z 2016 r. poz. 1250\", \"target\": {\"act\": \"Dz.U.2016.0.1250\"}, "
                   "\"exists\": true}"))
        << w.wyjscie;
    EXPECT_TRUE(ma("\"text\": \"1251\", \"target\": {\"act\": \"Dz.U.2016.0.1251\"}, \"exists\": false}")) << w.wyjscie;
    // Footnote lines are counted in the footnote list; the amending act is
    // identified by the citation on the next line.
    EXPECT_TRUE(ma("{\"kind\": \"act-article\", \"footnote\": true, \"line\": 1, \"offset\": 18, \"length\": 6, "
                   "\"text\": \"art. 1\", \"target\": {\"act\": \"Dz.U.2016.0.1250\", \"unit\": \"Art. 1\"}, "
                   "\"exists\": true}"))
        << w.wyjscie;
    EXPECT_TRUE(ma("{\"kind\": \"journal\", \"footnote\": true, \"line\": 2, \"offset\": 2,")) << w.wyjscie;
    EXPECT_TRUE(ma("\"messages\": []}")) << w.wyjscie;

    const Wynik t = linki({"Kodeks karny"});
    EXPECT_EQ(t.kod, 0);
    EXPECT_NE(t.wyjscie.find("2:59+4\tjournal\tDz.U.2016.0.1251\t(missing)\t1251\n"), std::string::npos) << t.wyjscie;
    EXPECT_NE(t.wyjscie.find("footnote 1:18+6\tact-article\tDz.U.2016.0.1250 Art. 1\tart. 1\n"), std::string::npos)
        << t.wyjscie;
}

TEST_F(Linki, JournalActsAndFailures)
{
    // A Journal act's own bare references are no links.
    Wynik w = linki({"Dz.U.2016.0.1250", "--json"});
    EXPECT_EQ(w.kod, 0) << w.bledy;
    EXPECT_EQ(w.wyjscie, "{\"links\": [], \"messages\": []}\n");
    w = linki({"Kodeks pracy"});
    EXPECT_EQ(w.kod, 1);
    w = uruchomNarzedzie({"links", "jeden", "dwa"}, dir.path());
    EXPECT_EQ(w.kod, 2);
    w = uruchomNarzedzie({"links", (dir.path() / "brak.sko").string(), (out() / "Lumesta").string(), "Kodeks karny"},
                         dir.path());
    EXPECT_EQ(w.kod, 1);
}
