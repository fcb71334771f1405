// lumesta-tool import run as a program: the text path needs no display;
// a failure writes nothing and says why.
#include "PackTestUtil.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

using namespace packtest;

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

ToolRun tool(const std::vector<std::string>& args, const fs::path& scratch)
{
    // No display at all: the text path must not need one.
    Wynik w = uruchomNarzedzie(args, scratch, true);
    return {w.kod, std::move(w.wyjscie), std::move(w.bledy)};
}

const char* const kExport =
    "©Kancelaria Sejmu\n\ns. 1/1\n2024-07-23\n\nDz. U. 2001 Nr 5 poz. 43\n"
    "USTAWA\nz dnia 9 stycznia 2001 r.\no próbach narzędzia\n"
    "Art. 1. Narzędzie czyta wyciąg teks-\ntowy z pliku PDF.\n"
    "Art. 2. Wyraz krzyw-\nozdźbło nie jest znany słownikowi.\n\f";

} // namespace

TEST(ImportTool, TextExportBecomesASourceThatPacks)
{
    ScratchDir dir;
    writeText(dir.path() / "in.txt", kExport);
    const fs::path out = dir.path() / "src" / "akt.txt";
    fs::create_directories(out.parent_path());
    ToolRun r = tool({"import", (dir.path() / "in.txt").string(), out.string()}, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Dz.U.2001.5.43 (Sejm unified text"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 articles"), std::string::npos) << r.out;
    // The guess is on standard error with the input's page and line.
    EXPECT_NE(r.err.find("in.txt: page 1, line 13: joined a line that ends with a hyphen"), std::string::npos)
        << r.err;
    const std::string source = readText(out);
    EXPECT_EQ(source.substr(0, source.find('\n')), "Dz.U.2001.5.43");
    EXPECT_NE(source.find("Art. 1. Narzędzie czyta wyciąg tekstowy z pliku PDF."), std::string::npos) << source;

    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(out.parent_path(), dir.path() / "lib", problems)) << problemsText(problems);
    const Decoded d = decode(dir.path() / "lib", "Dz.U.2001.5.43");
    ASSERT_GE(d.lines.size(), 4u);
    EXPECT_EQ(d.lines[3], "Art. 1. Narzędzie czyta wyciąg tekstowy z pliku PDF.");

    // --name gives the name.
    r = tool({"import", (dir.path() / "in.txt").string(), out.string(), "--name", "Kodeks pracy"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(out).substr(0, 13), "Kodeks pracy\n");
}

TEST(ImportTool, FailuresWriteNothing)
{
    ScratchDir dir;
    const fs::path out = dir.path() / "out.txt";
    writeText(out, "previous");
    writeText(dir.path() / "broken.pdf", "%PDF-1.5\nthis is not really a PDF");
    ToolRun r = tool({"import", (dir.path() / "broken.pdf").string(), out.string()}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("broken.pdf: the file cannot be read as a PDF"), std::string::npos) << r.err;
    EXPECT_EQ(readText(out), "previous");

    writeText(dir.path() / "empty.txt", "");
    r = tool({"import", (dir.path() / "empty.txt").string(), (dir.path() / "new.txt").string()}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("empty"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.path() / "new.txt"));

    r = tool({"import", (dir.path() / "missing.pdf").string(), (dir.path() / "new.txt").string()}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "new.txt"));

    EXPECT_EQ(tool({"import", "only-one-argument"}, dir.path()).status, 2);
    EXPECT_EQ(tool({"import", "a", "b", "--name"}, dir.path()).status, 2);
    EXPECT_EQ(tool({"import", "a", "b", "--unknown"}, dir.path()).status, 2);
    // Nothing but the output and our own files is left in the folder.
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}
