// Writing the output: all or nothing; and `verify` finding what differs.
#include "PackTestUtil.h"

#include <gtest/gtest.h>

#include <map>

using namespace packtest;

namespace {

const char* kCode = "Kodeks pracy\n\nKODEKS PRACY\nArt. 1. Pierwszy przepis.[^1]\nArt. 2. Drugi przepis.\n\n"
                    "[^1]: Zob. Dz. U. z 1998 r. Nr 106, poz. 668.\n";
const char* kAct = "Dz.U.1998.106.668\n\nUSTAWA\nArt. 1. Zmiana.\n";

// Every file under a folder with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files[fs::relative(e.path(), root).string()] = e.is_regular_file() ? readText(e.path()) : "<dir>";
    return files;
}

} // namespace

TEST(PackOutput, FailedRunLeavesPreviousDataUntouched)
{
    ScratchDir dir;
    const fs::path src = dir.path() / "src", out = dir.path() / "out";
    writeText(src / "kp.txt", kCode);
    writeText(src / "act.txt", kAct);
    writeText(out / "lumesta", "the program stays"); // other files of the folder are not ours
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(src, out, problems)) << problemsText(problems);
    const auto before = snapshot(out);
    EXPECT_TRUE(before.count("Morvitane.sko"));
    EXPECT_TRUE(before.count("Lumesta/Dzienniki Ustaw/Dz.U.1998.106.668.txt"));

    // A second source breaks the run: nothing changes, nothing is left behind.
    writeText(src / "zz.txt", "Kodeks karny\n\nArt. 1. Odsyłacz[^1] bez przypisu.\n");
    writeText(src / "act.txt", "Dz.U.1998.106.668\n\nUSTAWA\nArt. 1. Zmiana zmieniona.\n");
    problems.clear();
    EXPECT_FALSE(packer::packFolder(src, out, problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 3);
    EXPECT_EQ(snapshot(out), before);

    // An output that cannot be a folder: refused with a message, no crash.
    problems.clear();
    writeText(dir.path() / "file", "x");
    fs::remove(src / "zz.txt");
    EXPECT_FALSE(packer::packFolder(src, dir.path() / "file", problems));
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(readText(dir.path() / "file"), "x");
    problems.clear();
    EXPECT_FALSE(packer::packFolder(dir.path() / "missing", out, problems));
    EXPECT_FALSE(packer::packFolder(dir.path() / "out" / "Lumesta" / "Dzienniki Ustaw", out, problems));
    EXPECT_EQ(snapshot(out), before);

    // A good run replaces the data folder as a whole: the act removed from
    // the sources loses its container and presence file.
    fs::remove(src / "act.txt");
    problems.clear();
    ASSERT_TRUE(packer::packFolder(src, out, problems)) << problemsText(problems);
    const auto after = snapshot(out);
    EXPECT_FALSE(after.count("Lumesta/1998.rdu"));
    EXPECT_FALSE(after.count("Lumesta/Dzienniki Ustaw/Dz.U.1998.106.668.txt"));
    EXPECT_EQ(after.at("lumesta"), "the program stays");
    for (const auto& [name, bytes] : after)
        EXPECT_EQ(name.find(".lumesta-"), std::string::npos) << name;
}

TEST(PackOutput, VerifyReportsEachDifferenceWithFileAndLine)
{
    ScratchDir dir;
    const fs::path src = dir.path() / "src", out = dir.path() / "out";
    writeText(src / "kp.txt", kCode);
    writeText(src / "act.txt", kAct);
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(src, out, problems)) << problemsText(problems);
    packer::VerifyStats stats;
    ASSERT_TRUE(packer::verifyFolder(src, out, problems, &stats)) << problemsText(problems);
    EXPECT_EQ(stats.documents, 2u);
    EXPECT_EQ(stats.lines, 5u);
    EXPECT_EQ(stats.footnoteLines, 1u);

    // The sources move on after packing: a changed word, a changed
    // footnote, one line more; a new act; a presence file gone.
    writeText(src / "kp.txt", "Kodeks pracy\n\nKODEKS PRACY\nArt. 1. Pierwszy zmieniony.[^1]\nArt. 2. Drugi przepis.\n"
                              "Art. 3. Nowy.\n\n[^1]: Zob. Dz. U. z 1998 r. Nr 106, poz. 669.\n");
    writeText(src / "new.txt", "Kodeks morski\n\nArt. 1. Nowy kodeks.\n");
    fs::remove(out / "Lumesta" / "Dzienniki Ustaw" / "Dz.U.1998.106.668.txt");
    writeText(out / "Lumesta" / "Dzienniki Ustaw" / "Dz.U.2000.1.1.txt", "");
    problems.clear();
    EXPECT_FALSE(packer::verifyFolder(src, out, problems));
    const std::string all = problemsText(problems);
    auto has = [&](const std::string& file, int line, const std::string& part) {
        for (const auto& p : problems)
            if (fs::path(p.file).filename() == file && p.line == line && p.message.find(part) != std::string::npos)
                return true;
        return false;
    };
    EXPECT_TRUE(has("kp.txt", 4, "Pierwszy zmieniony")) << all;
    EXPECT_TRUE(has("kp.txt", 6, "missing")) << all;
    EXPECT_TRUE(has("kp.txt", 8, "poz. 669")) << all;
    EXPECT_TRUE(has("new.txt", 0, "Nie ma: Kodeks morski")) << all;
    EXPECT_TRUE(has("act.txt", 0, "presence file")) << all;
    EXPECT_TRUE(has("Dz.U.2000.1.1.txt", 0, "no source")) << all;
    EXPECT_EQ(problems.size(), 6u) << all;
}

TEST(PackOutput, VerifySurvivesDamagedData)
{
    ScratchDir dir;
    const fs::path src = dir.path() / "src", out = dir.path() / "out";
    writeText(src / "kp.txt", kCode);
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(src, out, problems)) << problemsText(problems);
    const fs::path rdu = out / "Lumesta" / "Lumesta.rdu";
    const std::string bytes = readText(rdu);

    // Cut the container in the middle of its record, then break its magic,
    // then the dictionary's: each is a reported difference, never a crash.
    for (const std::string& damaged : {bytes.substr(0, bytes.size() / 2), "XYZ" + bytes.substr(3)}) {
        writeText(rdu, damaged);
        problems.clear();
        EXPECT_FALSE(packer::verifyFolder(src, out, problems));
        EXPECT_FALSE(problems.empty());
    }
    writeText(rdu, bytes);
    writeText(out / "Morvitane.sko", "Nie");
    problems.clear();
    EXPECT_FALSE(packer::verifyFolder(src, out, problems));
    EXPECT_NE(problemsText(problems).find("Morvitane.sko"), std::string::npos);
    fs::remove(out / "Morvitane.sko");
    problems.clear();
    EXPECT_FALSE(packer::verifyFolder(src, out, problems));
    EXPECT_EQ(problems.size(), 1u);
}
