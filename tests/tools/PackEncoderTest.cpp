// Long runs of words without punctuation: merged into dictionary entries so
// that every distance fits a byte, read back exactly, and done in time that
// grows with the text, not with its square.
#include "PackTestUtil.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace packtest;

namespace {

// "Art. 1. " and `words` invented words with a comma after every `every`
// of them, then a full stop.
std::string longLine(std::size_t words, std::size_t every)
{
    static const char* pool[] = {"alfa", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"};
    std::string s = "Art. 1.";
    std::uint32_t x = 7;
    for (std::size_t i = 0; i < words; ++i) {
        x = x * 1103515245u + 12345u;
        s += ' ';
        s += pool[(x >> 16) % 8];
        if ((i + 1) % every == 0 && i + 1 < words)
            s += ',';
    }
    return s + ".";
}

// Runs `body` in a child process limited to `seconds` of processor time and
// returns whether it finished within them and returned true.
bool finishesWithin(int seconds, const std::function<bool()>& body)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        rlimit r{rlim_t(seconds), rlim_t(seconds)};
        setrlimit(RLIMIT_CPU, &r);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(PackEncoder, LongRunsAreMergedAndReadBackExactly)
{
    ScratchDir dir;
    const std::string line = longLine(3000, 700);
    writeText(dir.path() / "src" / "kp.txt", "Kodeks pracy\n\n" + line + "\nArt. 2. Krótki.\n");
    packer::Problems problems;
    ASSERT_TRUE(packer::packFolder(dir.path() / "src", dir.path() / "out", problems)) << problemsText(problems);
    const Decoded d = decode(dir.path() / "out", "Kodeks pracy");
    ASSERT_EQ(d.lines.size(), 2u);
    EXPECT_EQ(d.lines[0], line);
    EXPECT_EQ(d.lines[1], "Art. 2. Krótki.");

    // A run that no merging can bring under 255 tokens is still refused.
    writeText(dir.path() / "src" / "kp.txt", "Kodeks pracy\n\n" + longLine(30000, 30000) + "\n");
    problems.clear();
    EXPECT_FALSE(packer::packFolder(dir.path() / "src", dir.path() / "out", problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].message.find("more than 255 words"), std::string::npos);
}

TEST(PackEncoder, MergingStaysLinearOnOneHugeLine)
{
    // 240,000 words on one line with a comma every 1,000: a linear merge
    // packs this in a fraction of a second (about 0.2 s here, 1 s under
    // the sanitizers); merging by erasing from the middle of the line needs
    // minutes. The ceiling sits fifty times above the linear cost, so it
    // only trips when the growth is quadratic.
    const std::string source = "Kodeks pracy\n\n" + longLine(240000, 1000) + "\n";
    EXPECT_TRUE(finishesWithin(10, [&] {
        packer::LibraryPacker p;
        packer::Problems problems;
        return p.add(source, "kp.txt", problems);
    }));
}
