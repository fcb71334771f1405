// Reading real files: sizes that lie, files that were cut, dictionaries that
// do not fit the data, and memory that runs out. The store must answer each
// with a message and a result the caller can act on, read no more than the
// data can be used for, and never end the program.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "Pomocnicze.h"
#include "common/Sanitizer.h"

using V = std::vector<std::string>;

using testy::rekordSlow;

namespace {

std::string u(const char* s) { return cp1250::fromUtf8(s); }

std::string le(std::uint64_t v, int bajty)
{
    std::string s;
    for (int i = 0; i < bajty; ++i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
    return s;
}

// A codes container of `rozmiar` bytes, almost all of it a hole, whose one
// entry (code 0) holds a record that starts with `poczatekRekordu` and runs
// up to the directory. The file takes no room on disk.
void rzadkiKontener(const std::filesystem::path& plik, std::int64_t rozmiar, const std::string& poczatekRekordu)
{
    std::string naglowek = std::string("RDU\0", 4) + le(0, 2) + poczatekRekordu;
    testy::zapisz(plik, naglowek);
    std::filesystem::resize_file(plik, std::uintmax_t(rozmiar));
    std::FILE* f = std::fopen(plik.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    const std::string wpis = le(6, 8) + le(0, 2) + le(0, 2) + le(0, 1);
    std::fseek(f, long(rozmiar - 13), SEEK_SET);
    std::fwrite(wpis.data(), 1, wpis.size(), f);
    std::fclose(f);
}

long szczytPamieciKB()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}

// Runs `cialo` in a child process whose address space is capped `zapas`
// bytes above what it uses now, and returns the child's exit status (what
// `cialo` returns, or 134 and the like when it dies). Not for sanitizer
// builds, which reserve terabytes of address space up front.
int wDzieckuZLimitem(std::size_t zapas, const std::function<int()>& cialo)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        long strony = 0;
        if (std::FILE* s = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(s, "%ld", &strony) != 1)
                strony = 0;
            std::fclose(s);
        }
        const rlim_t limit = rlim_t(strony) * rlim_t(sysconf(_SC_PAGESIZE)) + zapas;
        rlimit r{limit, limit};
        setrlimit(RLIMIT_AS, &r);
        _exit(cialo());
    }
    int stan = 0;
    waitpid(pid, &stan, 0);
    return WIFEXITED(stan) ? WEXITSTATUS(stan) : 128 + WTERMSIG(stan);
}

// A record whose counts are sane but whose token stream is announced as
// 2^30 two-byte indices: the decoder may really use 2 GB of it.
std::string naglowekDuzegoRekordu()
{
    std::string r = "DzU";
    r += '\0';                     // format
    r += '\0';                     // H
    r += le(0x3FFFFFFF, 4);        // T
    r += '\x02';                   // width
    r += le(0, 4) + "\x0b\x01";    // N1 = 0, one comma
    r += le(0, 4) + std::string("\0\0\0", 3);   // N2 = 0: one line, no marks, no tokens
    r += le(0, 2) + std::string("\0", 1);       // N3 = 0
    r += le(0, 2);                 // F = 0
    r += le(0xFFFFFFFF, 4);        // U = -1
    return r;
}

class Odczyt : public ::testing::Test {
protected:
    TWynikOtwarcia otworz(const std::string& nazwa, bool wczytaj = true)
    {
        return pliki.OtworzDokument(folder.sciezka(), nazwa, tekst, przypisy, plik, wczytaj, tytuly);
    }

    testy::TymczasowyFolder folder;
    TZbiorKomunikatow komunikaty;
    TPliki pliki{&komunikaty};
    TListaNapisow tekst, przypisy, tytuly;
    TPlik plik;
};

} // namespace

TEST_F(Odczyt, HugeRecordIsJudgedByItsFirstBytes)
{
    // A gigabyte of nothing where a record should be: its magic is wrong,
    // and that is all the store reads of it.
    const long przed = szczytPamieciKB();
    rzadkiKontener(folder.sciezka() / "Lumesta.rdu", std::int64_t(1) << 30, "");
    plik = {{TTekst{0, "poprzedni"}}};
    EXPECT_EQ(otworz("Kodeks cywilny"), TWynikOtwarcia::UszkodzonyRekord);
    EXPECT_EQ(komunikaty.Lista, V({"To nie jest plik Dziennika Ustaw."}));
    EXPECT_TRUE(plik.empty());
    EXPECT_LT(szczytPamieciKB() - przed, 64 * 1024) << "the record was read whole";

    // A real header in front of the same hole: only what the header's
    // counts can reach is read (two words and a few bytes), and the
    // missing words are reported.
    komunikaty.Lista.clear();
    std::string naglowek = naglowekDuzegoRekordu();
    naglowek.replace(5, 4, le(1, 4));   // T = 1
    rzadkiKontener(folder.sciezka() / "Lumesta.rdu", std::int64_t(1) << 30, naglowek);
    testy::zapisz(folder.sciezka() / "Morvitane.sko", ZapiszSlownik(testy::slownik({"zero"})));
    pliki.WczytajSlownik(folder.sciezka() / "Morvitane.sko");
    EXPECT_EQ(otworz("Kodeks cywilny"), TWynikOtwarcia::Otwarty);
    EXPECT_TRUE(komunikaty.Lista.empty()) << cp1250::toUtf8(komunikaty.Lista.front());
    EXPECT_LT(szczytPamieciKB() - przed, 64 * 1024) << "the record was read whole";
}

TEST(UzytecznaDlugosc, StopsWhereTheDecoderStops)
{
    struct Napis : TZrodloBajtow {
        std::string s;
        bool Czytaj(std::int64_t od, std::size_t ile, char* cel) override
        {
            if (od < 0 || std::size_t(od) + ile > s.size())
                return false;
            std::copy_n(s.data() + od, ile, cel);
            return true;
        }
    } z;
    z.s = rekordSlow({0, 1, 0});
    const auto dlugosc = std::int64_t(z.s.size());
    // A record that holds exactly its header and its three indices.
    EXPECT_GE(UzytecznaDlugoscRekordu(dlugosc, z), dlugosc);
    z.s += std::string(100000, 'x');
    EXPECT_LT(UzytecznaDlugoscRekordu(std::int64_t(z.s.size()), z), dlugosc + 16);
    // A header cut short says nothing about its end: the whole is used.
    z.s.resize(12);
    EXPECT_EQ(UzytecznaDlugoscRekordu(12, z), 12);
    // A table announced beyond the end: the whole again.
    z.s = naglowekDuzegoRekordu();
    z.s.replace(10, 4, le(0x7FFFFFFF, 4));
    EXPECT_EQ(UzytecznaDlugoscRekordu(std::int64_t(z.s.size()), z), std::int64_t(z.s.size()));
}

TEST_F(Odczyt, NoAllocationFailureEndsTheProgram)
{
    if (kSanitizer)
        GTEST_SKIP() << "address-space limits and the sanitizer's shadow memory do not mix";
    // Each case runs in a child with 256 MB of address space to spare;
    // before, each ended in an uncaught std::bad_alloc (status 134).
    constexpr std::size_t kZapas = 256u << 20;
    const auto sciezka = folder.sciezka();

    // A record whose header lets the decoder use 2 GB of a 3 GB container.
    rzadkiKontener(sciezka / "Lumesta.rdu", std::int64_t(3) << 30, naglowekDuzegoRekordu());
    EXPECT_EQ(wDzieckuZLimitem(kZapas, [&] {
                  TZbiorKomunikatow k;
                  TPliki p(&k);
                  TListaNapisow a, b, c;
                  TPlik d;
                  const auto w = p.OtworzDokument(sciezka, "Kodeks cywilny", a, b, d, true, c);
                  return w == TWynikOtwarcia::BrakPamieci && k.Lista.size() == 1 &&
                                 k.Lista[0].rfind(u("Za mało pamięci"), 0) == 0
                             ? 0
                             : 1;
              }),
              0);

    // A dictionary announcing two billion words over a 3 GB hole: every
    // entry is an empty word of five bytes, more than the memory holds.
    const auto slownik = sciezka / "Morvitane.sko";
    testy::zapisz(slownik, std::string("Slo\0", 4) + le(0x7FFFFFFE, 4));
    std::filesystem::resize_file(slownik, std::uintmax_t(3) << 30);
    EXPECT_EQ(wDzieckuZLimitem(kZapas, [&] {
                  TZbiorKomunikatow k;
                  TPliki p(&k);
                  p.WczytajSlownik(slownik);
                  return p.Slownik.empty() && p.SlownikUszkodzony() && k.Lista.size() == 1 &&
                                 k.Lista[0].rfind(u("Za mało pamięci"), 0) == 0
                             ? 0
                             : 1;
              }),
              0);
}

TEST_F(Odczyt, TruncatedContainerListsWhatCanBeReadAndSaysSoOnce)
{
    testy::zapisz(folder.sciezka() / "Morvitane.sko", ZapiszSlownik(testy::slownik({"a", "b"})));
    pliki.WczytajSlownik(folder.sciezka() / "Morvitane.sko");
    const std::string caly = ZapiszKontener({{0, 0, 0, rekordSlow({0})}, {3, 3, 0, rekordSlow({1, 0})},
                                             {9, 9, 0, rekordSlow({1})}});
    testy::zapisz(folder.sciezka() / "Lumesta.rdu", caly);
    EXPECT_EQ(otworz("Kodeks cywilny", false), TWynikOtwarcia::Otwarty);
    EXPECT_FALSE(pliki.KatalogUszkodzony());
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(pliki.WpisCzytelny(i));
    EXPECT_FALSE(pliki.WpisCzytelny(3));

    // The last entry's offset now points past its end: that entry and the
    // one before it (whose record ends there) cannot be read.
    std::string zepsuty = caly;
    zepsuty[zepsuty.size() - 13 + 1] = '\x70';
    testy::zapisz(folder.sciezka() / "Lumesta.rdu", zepsuty);
    EXPECT_EQ(otworz("Kodeks cywilny", false), TWynikOtwarcia::Otwarty);
    EXPECT_TRUE(pliki.KatalogUszkodzony());
    EXPECT_TRUE(pliki.WpisCzytelny(0));
    EXPECT_FALSE(pliki.WpisCzytelny(1));
    EXPECT_FALSE(pliki.WpisCzytelny(2));
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(komunikaty.Lista[0].rfind(u("Uszkodzony spis dokumentów w pliku "), 0), 0u);
    EXPECT_EQ(otworz("Kodeks cywilny"), TWynikOtwarcia::Otwarty);
    EXPECT_EQ(testy::pokaz(plik), V({"[0:a]"}));
    EXPECT_EQ(komunikaty.Lista.size(), 1u) << "said once per container";

    // Cut in the middle: the directory read from the end is noise.
    komunikaty.Lista.clear();
    testy::zapisz(folder.sciezka() / "Lumesta.rdu", caly.substr(0, caly.size() - 20));
    otworz("Kodeks karny", false);
    EXPECT_TRUE(pliki.KatalogUszkodzony());
    EXPECT_EQ(komunikaty.Lista.size(), 0u) << "the same file was reported already";
}

TEST_F(Odczyt, DamagedDictionaryIsNeverTrustedSilently)
{
    const std::string caly = ZapiszSlownik(testy::slownik({"alfa", "beta", "gamma", "delta"}));
    testy::zapisz(folder.sciezka() / "Lumesta.rdu", ZapiszKontener({{0, 0, 0, rekordSlow({0, 3, 1})},
                                                                    {3, 3, 0, rekordSlow({1, 0})}}));

    // Cut after two words: the load says so, and a text that needs the
    // missing words is reported with their count, though still decoded.
    testy::zapisz(folder.sciezka() / "Morvitane.sko", caly.substr(0, 8 + 9 + 9 + 3));
    pliki.WczytajSlownik(folder.sciezka() / "Morvitane.sko");
    EXPECT_TRUE(pliki.SlownikUszkodzony());
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_NE(komunikaty.Lista[0].find(u("jest uszkodzony")), std::string::npos);
    komunikaty.Lista.clear();
    EXPECT_EQ(otworz("Kodeks cywilny"), TWynikOtwarcia::UszkodzonySlownik);
    EXPECT_EQ(testy::pokaz(plik), V({"[0:alfa  beta]"}));
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_NE(komunikaty.Lista[0].find(u("brakuje 1 jego słów")), std::string::npos) << komunikaty.Lista[0];
    // Even a text whose words are all there is not trusted.
    komunikaty.Lista.clear();
    EXPECT_EQ(otworz("Kodeks karny"), TWynikOtwarcia::UszkodzonySlownik);
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_NE(komunikaty.Lista[0].find(u("jest uszkodzony")), std::string::npos);

    // Bytes after the last word are damage too; a whole file is not.
    komunikaty.Lista.clear();
    testy::zapisz(folder.sciezka() / "Morvitane.sko", caly + "x");
    pliki.WczytajSlownik(folder.sciezka() / "Morvitane.sko");
    EXPECT_TRUE(pliki.SlownikUszkodzony());
    testy::zapisz(folder.sciezka() / "Morvitane.sko", caly);
    pliki.WczytajSlownik(folder.sciezka() / "Morvitane.sko");
    EXPECT_FALSE(pliki.SlownikUszkodzony());
    komunikaty.Lista.clear();
    EXPECT_EQ(otworz("Kodeks cywilny"), TWynikOtwarcia::Otwarty);
    EXPECT_TRUE(komunikaty.Lista.empty());

    // No dictionary at all: every word is missing.
    TPliki bezSlownika(&komunikaty);
    EXPECT_EQ(bezSlownika.OtworzDokument(folder.sciezka(), "Kodeks cywilny", tekst, przypisy, plik, true, tytuly),
              TWynikOtwarcia::UszkodzonySlownik);
    EXPECT_NE(komunikaty.Lista.back().find(u("brakuje 3 jego słów")), std::string::npos);
}

TEST_F(Odczyt, ResultsNameEachOutcome)
{
    testy::zapisz(folder.sciezka() / "Morvitane.sko", ZapiszSlownik(testy::slownik({"a"})));
    pliki.WczytajSlownik(folder.sciezka() / "Morvitane.sko");
    EXPECT_EQ(otworz("Dz.U.1998.1.1"), TWynikOtwarcia::BrakKontenera);
    EXPECT_EQ(otworz("Dz.U.1998..1"), TWynikOtwarcia::BlednaNazwa);
    testy::zapisz(folder.sciezka() / "1998.rdu", "XYZ");
    EXPECT_EQ(otworz("Dz.U.1998.1.1"), TWynikOtwarcia::BladKontenera);
    testy::zapisz(folder.sciezka() / "1998.rdu", ZapiszKontener({{1, 1, 0, rekordSlow({0})}, {2, 2, 0, ""}}));
    EXPECT_EQ(otworz("Dz.U.1998.1.1"), TWynikOtwarcia::Otwarty);
    EXPECT_EQ(otworz("Dz.U.1998.1.2"), TWynikOtwarcia::BrakPozycji);
    komunikaty.Lista.clear();
    // An entry without a record is not a document, and is said to be so.
    EXPECT_EQ(otworz("Dz.U.1998.2.2"), TWynikOtwarcia::UszkodzonyRekord);
    EXPECT_EQ(komunikaty.Lista, V({"To nie jest plik Dziennika Ustaw."}));
}
