// Replacing a library on disk: a process killed at any step of the switch,
// or a step the system refuses, must leave the complete old library or the
// complete new one once the folder has been tidied, and nothing else.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <map>

#include "Pomocnicze.h"
#include "store/Podmiana.h"

namespace fs = std::filesystem;
using podmiana::TNowaBiblioteka;
using Zawartosc = std::map<std::string, std::string>;

namespace {

const Zawartosc kStara = {{"Morvitane.sko", "stary slownik"},
                          {"Lumesta/Lumesta.rdu", "stare kodeksy"},
                          {"Lumesta/1998.rdu", "stary rocznik"},
                          {"Lumesta/Dzienniki Ustaw/Dz.U.1998.1.1.txt", ""}};
const Zawartosc kNowa = {{"Morvitane.sko", "nowy slownik"},
                         {"Lumesta/Lumesta.rdu", "nowe kodeksy"},
                         {"Lumesta/2001.rdu", "nowy rocznik"}};

void zapiszBiblioteke(const fs::path& gdzie, const Zawartosc& z)
{
    for (const auto& [nazwa, tresc] : z) {
        fs::create_directories((gdzie / nazwa).parent_path());
        testy::zapisz(gdzie / nazwa, tresc);
    }
}

std::string czytaj(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// The library as a reader sees it: the dictionary and the data folder.
Zawartosc biblioteka_(const fs::path& folder)
{
    Zawartosc z;
    if (fs::is_regular_file(folder / "Morvitane.sko"))
        z["Morvitane.sko"] = czytaj(folder / "Morvitane.sko");
    if (fs::is_directory(folder / "Lumesta"))
        for (const auto& e : fs::recursive_directory_iterator(folder / "Lumesta"))
            if (e.is_regular_file())
                z[fs::relative(e.path(), folder).string()] = czytaj(e.path());
    return z;
}

// Everything in the folder that is neither the library nor ours to keep.
std::vector<std::string> resztki(const fs::path& folder)
{
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string n = e.path().filename().string();
        if (n != "Morvitane.sko" && n != "Lumesta" && n != "lumesta")
            r.push_back(n);
    }
    return r;
}

// Runs `cialo` in a child process; returns its exit status.
int wDziecku(const std::function<void()>& cialo)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        cialo();
        _exit(0);
    }
    int stan = 0;
    waitpid(pid, &stan, 0);
    return WIFEXITED(stan) ? WEXITSTATUS(stan) : 128 + WTERMSIG(stan);
}

// A pack of the new library that dies before step `smierc`, after making
// step `odmowa` fail (0: none).
void pakujIZgin(const fs::path& folder, int smierc, int odmowa = 0)
{
    wDziecku([&] {
        std::string blad;
        auto nowa = TNowaBiblioteka::Utworz(folder, &blad);
        if (!nowa)
            _exit(3);
        zapiszBiblioteke(nowa->Sciezka(), kNowa);
        nowa->Podmien(&blad, [&](int krok) {
            if (krok == smierc)
                _exit(0);
            return krok != odmowa;
        });
        _exit(0);
    });
}

constexpr int kKroki[] = {1, 2, 3, 4, 5, 6, 7, 8};

} // namespace

TEST(Podmiana, SwitchIsWholeAfterAKillAtAnyStep)
{
    for (int smierc : kKroki) {
        SCOPED_TRACE("killed before step " + std::to_string(smierc));
        testy::TymczasowyFolder f;
        zapiszBiblioteke(f.sciezka(), kStara);
        testy::zapisz(f.sciezka() / "lumesta", "the program stays");
        pakujIZgin(f.sciezka(), smierc);
        // The kill came where it was meant to: after the old data folder
        // moved aside there is none, after the new one moved in the
        // dictionary is still the old one.
        if (smierc == 5) {
            EXPECT_FALSE(fs::exists(f.sciezka() / "Lumesta"));
        }
        if (smierc == 6) {
            EXPECT_EQ(czytaj(f.sciezka() / "Lumesta" / "Lumesta.rdu"), "nowe kodeksy");
            EXPECT_EQ(czytaj(f.sciezka() / "Morvitane.sko"), "stary slownik");
        }

        // What a reader starting now sees, once it has tidied the folder.
        const auto porzadki = podmiana::Uporzadkuj(f.sciezka());
        EXPECT_EQ(porzadki.Blad, "");
        const Zawartosc jest = biblioteka_(f.sciezka());
        // Up to the deciding rename the old library stays; after it, the new
        // one is finished.
        EXPECT_EQ(jest, smierc <= 3 ? kStara : kNowa);
        EXPECT_EQ(resztki(f.sciezka()), std::vector<std::string>{});
        EXPECT_EQ(czytaj(f.sciezka() / "lumesta"), "the program stays");
    }
}

TEST(Podmiana, FirstLibraryIsWholeOrAbsent)
{
    for (int smierc : kKroki) {
        SCOPED_TRACE("killed before step " + std::to_string(smierc));
        testy::TymczasowyFolder f;
        pakujIZgin(f.sciezka(), smierc);
        podmiana::Uporzadkuj(f.sciezka());
        EXPECT_EQ(biblioteka_(f.sciezka()), smierc <= 3 ? Zawartosc{} : kNowa);
        EXPECT_EQ(resztki(f.sciezka()), std::vector<std::string>{});
    }
}

TEST(Podmiana, RefusedStepIsUndoneAndAKillWhileUndoingIsHarmless)
{
    // A step the system refuses: the switch is undone and the old library
    // stays, with nothing left over.
    for (int odmowa : {4, 5, 6}) {
        SCOPED_TRACE("step " + std::to_string(odmowa) + " refused");
        testy::TymczasowyFolder f;
        zapiszBiblioteke(f.sciezka(), kStara);
        std::string blad;
        auto nowa = TNowaBiblioteka::Utworz(f.sciezka(), &blad);
        ASSERT_TRUE(nowa) << blad;
        zapiszBiblioteke(nowa->Sciezka(), kNowa);
        EXPECT_FALSE(nowa->Podmien(&blad, [&](int krok) { return krok != odmowa; }));
        EXPECT_NE(blad, "");
        nowa.reset();
        EXPECT_EQ(biblioteka_(f.sciezka()), kStara);
        EXPECT_EQ(resztki(f.sciezka()), std::vector<std::string>{});
    }
    // Killed while undoing: the next look finishes one way or the other.
    for (int odmowa : {5, 6}) {
        for (int smierc : {21, 22, 23}) {
            SCOPED_TRACE("step " + std::to_string(odmowa) + " refused, killed before " + std::to_string(smierc));
            testy::TymczasowyFolder f;
            zapiszBiblioteke(f.sciezka(), kStara);
            pakujIZgin(f.sciezka(), smierc, odmowa);
            podmiana::Uporzadkuj(f.sciezka());
            const Zawartosc jest = biblioteka_(f.sciezka());
            EXPECT_TRUE(jest == kStara || jest == kNowa);
            EXPECT_EQ(resztki(f.sciezka()), std::vector<std::string>{});
        }
    }
}

TEST(Podmiana, LeftoversOfDeadPacksGoThoseOfLiveOnesStay)
{
    testy::TymczasowyFolder f;
    zapiszBiblioteke(f.sciezka(), kStara);
    // A pack killed while writing, and a folder of an earlier version of the
    // packer that never locked its folder.
    pakujIZgin(f.sciezka(), 1);
    zapiszBiblioteke(f.sciezka() / ".lumesta-pack-4194000", kNowa);
    ASSERT_EQ(resztki(f.sciezka()).size(), 2u);

    // A pack of this process that is still writing keeps its folder.
    std::string blad;
    auto zywa = TNowaBiblioteka::Utworz(f.sciezka(), &blad);
    ASSERT_TRUE(zywa) << blad;
    zapiszBiblioteke(zywa->Sciezka(), kNowa);
    const auto porzadki = podmiana::Uporzadkuj(f.sciezka());
    EXPECT_EQ(porzadki.Usunieto, 2);
    EXPECT_FALSE(porzadki.Dokonczono);
    EXPECT_EQ(resztki(f.sciezka()), std::vector<std::string>{zywa->Sciezka().filename().string()});
    EXPECT_EQ(biblioteka_(zywa->Sciezka()), kNowa);

    // ...and puts it in place afterwards.
    EXPECT_TRUE(zywa->Podmien(&blad)) << blad;
    EXPECT_EQ(biblioteka_(f.sciezka()), kNowa);
    EXPECT_EQ(resztki(f.sciezka()), std::vector<std::string>{});
}

TEST(Podmiana, AFolderLockedByAnotherSwitchIsWaitedForNotTouched)
{
    testy::TymczasowyFolder f;
    zapiszBiblioteke(f.sciezka(), kStara);
    pakujIZgin(f.sciezka(), 5);   // leaves a decided switch behind
    const int fd = ::open(f.sciezka().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const auto porzadki = podmiana::Uporzadkuj(f.sciezka(), 50);
    EXPECT_NE(porzadki.Blad, "");
    EXPECT_FALSE(porzadki.Dokonczono);
    ::close(fd);
    EXPECT_TRUE(podmiana::Uporzadkuj(f.sciezka()).Dokonczono);
    EXPECT_EQ(biblioteka_(f.sciezka()), kNowa);
    // A folder that is not there is nothing to tidy.
    EXPECT_EQ(podmiana::Uporzadkuj(f.sciezka() / "brak").Blad, "");
}

TEST(Podmiana, StemsFileFollowsItsDictionaryWhereverTheSwitchStops)
{
    const auto para = [](const fs::path& folder) {
        return std::pair(czytaj(folder / "Morvitane.sko"),
                         fs::exists(folder / "Morvitane.rdz") ? czytaj(folder / "Morvitane.rdz") : "-");
    };
    const auto stara = std::pair<std::string, std::string>("stary slownik", "stare rdzenie");
    const auto nowa = std::pair<std::string, std::string>("nowy slownik", "nowe rdzenie");
    for (int smierc : {1, 2, 3, 4, 5, 6, 7, 8, 9}) {
        SCOPED_TRACE("killed before step " + std::to_string(smierc));
        testy::TymczasowyFolder f;
        zapiszBiblioteke(f.sciezka(), kStara);
        testy::zapisz(f.sciezka() / "Morvitane.rdz", "stare rdzenie");
        wDziecku([&] {
            std::string blad;
            auto n = TNowaBiblioteka::Utworz(f.sciezka(), &blad);
            if (!n)
                _exit(3);
            zapiszBiblioteke(n->Sciezka(), kNowa);
            testy::zapisz(n->Sciezka() / "Morvitane.rdz", "nowe rdzenie");
            n->Podmien(&blad, [&](int krok) {
                if (krok == smierc)
                    _exit(0);
                return true;
            });
            _exit(0);
        });
        podmiana::Uporzadkuj(f.sciezka());
        EXPECT_EQ(para(f.sciezka()), smierc <= 3 ? stara : nowa);
        std::vector<std::string> reszta;
        for (const std::string& r : resztki(f.sciezka()))
            if (r != "Morvitane.rdz")
                reszta.push_back(r);
        EXPECT_EQ(reszta, std::vector<std::string>{});
    }
    // A stems file that cannot follow leaves none rather than the old one.
    testy::TymczasowyFolder f;
    zapiszBiblioteke(f.sciezka(), kStara);
    testy::zapisz(f.sciezka() / "Morvitane.rdz", "stare rdzenie");
    std::string blad;
    auto n = TNowaBiblioteka::Utworz(f.sciezka(), &blad);
    ASSERT_TRUE(n) << blad;
    zapiszBiblioteke(n->Sciezka(), kNowa);
    testy::zapisz(n->Sciezka() / "Morvitane.rdz", "nowe rdzenie");
    EXPECT_TRUE(n->Podmien(&blad, [](int krok) { return krok != 9; })) << blad;
    const auto bezRdzeni = std::pair<std::string, std::string>("nowy slownik", "-");
    EXPECT_EQ(para(f.sciezka()), bezRdzeni);
}
