// The demo library in demo/: packs, reads back, and follows the reader's
// road from a footnote citation to a presence file and a yearbook entry.
#include "PackTestUtil.h"

#include "store/Cytowania.h"

#include <gtest/gtest.h>

#include <set>

using namespace packtest;

TEST(PackDemo, AllFifteenCodesPackVerifyAndLinkTheirCitations)
{
    ScratchDir dir;
    const fs::path demo = fs::path(LUMESTA_SOURCE_DIR) / "demo";
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(demo, dir.path(), problems)) << problemsText(problems);
    ASSERT_TRUE(packer::verifyFolder(demo, dir.path(), problems)) << problemsText(problems);

    const fs::path data = dir.path() / packer::kDataFolder;
    TZbiorKomunikatow messages;
    TPliki store(&messages);
    store.WczytajSlownik(dir.path() / packer::kDictionaryFile);
    TListaNapisow text, footnotes, titles;
    TPlik plik;
    store.OtworzDokument(data, "Kodeks cywilny", text, footnotes, plik, false, titles);
    ASSERT_EQ(titles.size(), 15u);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(titles[static_cast<std::size_t>(i)], TytulKodeksu(i));

    std::set<std::string> present, absent;
    for (const std::string& title : titles) {
        const Decoded d = decode(dir.path(), cp1250::toUtf8(title));
        ASSERT_FALSE(d.lines.empty()) << cp1250::toUtf8(title);
        EXPECT_EQ(d.lines[0].rfind("Tekst demonstracyjny", 0), 0u) << cp1250::toUtf8(title);
        // Complete in structure: headings, articles, paragraphs, marks in
        // headings and in the text, footnotes.
        bool heading = false, article = false, paragraph = false, markInHeading = false, markInText = false;
        for (std::size_t i = 0; i < d.lines.size(); ++i) {
            const int k = d.kinds[i];
            const bool mark = d.lines[i].find("[^") != std::string::npos;
            heading |= k >= 6 && k <= 23;
            article |= k == 2;
            paragraph |= k == 3;
            markInHeading |= mark && k >= 6 && k <= 23;
            markInText |= mark && k >= 1 && k <= 3;
        }
        // The Constitution numbers the paragraphs of its articles "1.", "2."
        // instead of "§ 1.".
        if (title == TytulKodeksu(13))
            paragraph = true;
        EXPECT_TRUE(heading && article && paragraph) << cp1250::toUtf8(title);
        EXPECT_TRUE(markInHeading && markInText) << cp1250::toUtf8(title);
        ASSERT_FALSE(d.footnotes.empty()) << cp1250::toUtf8(title);

        for (const auto& footnote : d.footnotes) {
            std::string joined;
            for (const std::string& line : footnote)
                joined += cp1250::fromUtf8(line);
            {
                for (const TCytowanie& r : SzukajCytowan(joined)) {
                    const std::string name = NazwaAktu(r.Akt);
                    if (fs::exists(data / packer::kPresenceFolder / (name + ".txt")))
                        present.insert(name);
                    else
                        absent.insert(name);
                }
            }
        }
    }
    EXPECT_GE(present.size(), 4u);
    EXPECT_GE(absent.size(), 4u);

    // What the reader does on a click: open the act under the link's name.
    for (const std::string& name : present) {
        plik.clear();
        messages.Lista.clear();
        store.OtworzDokument(data, name, text, footnotes, plik, true, titles);
        EXPECT_TRUE(messages.Lista.empty()) << name;
        ASSERT_FALSE(plik.empty()) << name;
        EXPECT_EQ(plik[0][0].Tekst.rfind("Tekst demonstracyjny", 0), 0u) << name;
    }
}
