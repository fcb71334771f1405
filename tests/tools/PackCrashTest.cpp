// `lumesta-tool pack` killed for real at every rename it makes: what the
// next look at the folder finds must be the complete old library or the
// complete new one, as the reader's own store decodes them, with nothing
// left behind. The kills come from strace's fault injection, so the program
// under test is the shipped one, without hooks; where strace cannot run
// (not installed, or tracing not allowed), the test is skipped.
#include "PackTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

#include "store/Podmiana.h"

using namespace packtest;

namespace {

const char* kOldCode = "Kodeks pracy\n\nKODEKS PRACY\nArt. 1. Stary przepis o pracy.[^1]\n\n"
                       "[^1]: Zmiana: Dz.U.1998.106.668.\n";
const char* kOldAct = "Dz.U.1998.106.668\n\nUSTAWA\nArt. 1. Stara zmiana.\n";
const char* kNewCode = "Kodeks karny\n\nKODEKS KARNY\nArt. 1. Nowy przepis karny, inny niż stary.\n";
const char* kNewAct = "Dz.U.2001.5.43\n\nUSTAWA\nArt. 1. Nowa zmiana innego aktu.\n";

int shell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool straceWorks() { return shell("strace -qq -o /dev/null true >/dev/null 2>&1") == 0; }

std::vector<std::string> leftovers(const fs::path& out)
{
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(out)) {
        const std::string n = e.path().filename().string();
        if (n != "Morvitane.sko" && n != "Morvitane.rdz" && n != "Lumesta")
            r.push_back(n);
    }
    return r;
}

} // namespace

TEST(PackCrash, KilledAtEveryRenameLeavesOldOrNewLibrary)
{
    if (!straceWorks())
        GTEST_SKIP() << "strace cannot run here";
    ScratchDir dir;
    const fs::path oldSrc = dir.path() / "old", newSrc = dir.path() / "new", out = dir.path() / "out";
    writeText(oldSrc / "kp.txt", kOldCode);
    writeText(oldSrc / "act.txt", kOldAct);
    writeText(newSrc / "kk.txt", kNewCode);
    writeText(newSrc / "act.txt", kNewAct);
    const std::string tool = LUMESTA_BIN_DIR "/lumesta-tool";

    bool finished = false;
    int sawOld = 0, sawNew = 0;
    for (int n = 1; n <= 60 && !finished; ++n) {
        SCOPED_TRACE("killed at rename " + std::to_string(n));
        fs::remove_all(out);
        packer::Problems problems;
        ASSERT_TRUE(packer::packFolder(oldSrc, out, problems)) << problemsText(problems);

        // The leak checker of a sanitizer build stops a traced program at
        // its end (it traces the program itself), so it is left out here.
        const std::string renames = "rename,renameat,renameat2";
        const int rc = shell("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null -e trace=" + renames +
                             " -e inject=" + renames + ":signal=KILL:when=" + std::to_string(n) + " '" + tool +
                             "' pack '" + newSrc.string() + "' '" + out.string() + "' >/dev/null 2>&1");
        finished = rc == 0;

        // What the reader does at start, then what it would read.
        EXPECT_EQ(podmiana::Uporzadkuj(out).Blad, "");
        EXPECT_EQ(leftovers(out), std::vector<std::string>{});
        const Decoded oldCode = decode(out, "Kodeks pracy");
        const Decoded newCode = decode(out, "Kodeks karny");
        const bool isOld = oldCode.messages.empty() && oldCode.lines.size() == 2 &&
                           decode(out, "Dz.U.1998.106.668").messages.empty() && !newCode.messages.empty();
        const bool isNew = newCode.messages.empty() && newCode.lines.size() == 2 &&
                           decode(out, "Dz.U.2001.5.43").messages.empty() && !oldCode.messages.empty() &&
                           !fs::exists(out / "Lumesta" / "1998.rdu");
        EXPECT_TRUE(isOld || isNew);
        sawOld += isOld;
        sawNew += isNew;
    }
    EXPECT_TRUE(finished) << "the pack never ran to its end";
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 1);
}
