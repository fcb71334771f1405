#include "store/Podmiana.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace podmiana {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrzedrostekPakowania = ".lumesta-pack-";
constexpr const char* kPodmiana = ".lumesta-swap";
constexpr const char* kPrzedrostekSmieci = ".lumesta-trash-";
constexpr const char* kStare = "old";

// Step numbers handed to the test hook.
enum Krok {
    kSynchronizacja = 1,   // before the new files are synced
    kGotowa = 2,           // synced, before the folder is locked
    kDecyzja = 3,          // before the rename that decides the switch
    kStaraNaBok = 4,       // before the old Lumesta/ moves aside
    kNowaNaMiejsce = 5,    // before the new Lumesta/ moves in
    kSlownik = 6,          // before the new dictionary replaces the old
    kKoniec = 7,           // before what is left of the switch is thrown away
    kSprzatanie = 8,       // before the thrown-away folders are deleted
    kRdzenie = 9,          // before the new stems file replaces the old (just after kSlownik)
    kCofnijNowa = 21,      // undoing: before the new Lumesta/ moves back
    kCofnijStara = 22,     // undoing: before the old Lumesta/ moves back
    kPorzuc = 23,          // undoing: before the switch is abandoned
};

class TDeskryptor {
public:
    explicit TDeskryptor(int fd = -1) : FFd(fd) {}
    ~TDeskryptor()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TDeskryptor(const TDeskryptor&) = delete;
    TDeskryptor& operator=(const TDeskryptor&) = delete;
    int fd() const { return FFd; }
    int odbierz()
    {
        const int f = FFd;
        FFd = -1;
        return f;
    }

private:
    int FFd;
};

int otworzFolder(const fs::path& p) { return ::open(p.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

std::string bladSystemu(const std::string& co) { return co + ": " + std::strerror(errno); }

// Takes the lock of a folder, waiting up to `czekajMs` for its holder.
bool zablokuj(int fd, int czekajMs)
{
    const auto koniec = std::chrono::steady_clock::now() + std::chrono::milliseconds(czekajMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= koniec) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Makes a folder's entries (a rename into or out of it) durable.
void synchronizujFolder(const fs::path& p)
{
    TDeskryptor d(otworzFolder(p));
    if (d.fd() >= 0)
        ::fsync(d.fd());
}

// Every file and folder below `p`, contents first, so that nothing the
// rename publishes can still be in the cache only.
bool synchronizujDrzewo(const fs::path& p, std::string& blad)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(p, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        TDeskryptor d(::open(it->path().c_str(), O_RDONLY | O_CLOEXEC));
        if (d.fd() < 0 || ::fsync(d.fd()) != 0) {
            blad = bladSystemu("cannot sync " + it->path().string());
            return false;
        }
    }
    if (ec) {
        blad = "cannot list " + p.string() + ": " + ec.message();
        return false;
    }
    std::vector<fs::path> foldery{p};
    for (auto it = fs::recursive_directory_iterator(p, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_directory(ec))
            foldery.push_back(it->path());
    for (auto f = foldery.rbegin(); f != foldery.rend(); ++f)
        synchronizujFolder(*f);
    return true;
}

bool istnieje(const fs::path& p)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

fs::path nazwaSmieci(const fs::path& folder)
{
    static int licznik = 0;
    std::random_device los;
    return folder / (std::string(kPrzedrostekSmieci) + std::to_string(::getpid()) + "-" +
                     std::to_string(++licznik) + "-" + std::to_string(los() % 1000000));
}

// One step of a switch: the hook may stop the process before it or make it
// fail as the system would.
bool przenies(const fs::path& z, const fs::path& na, int krok, const TKrok& hak, std::string& blad)
{
    if (hak && !hak(krok)) {
        blad = "cannot move " + z.string() + " to " + na.string() + ": refused";
        return false;
    }
    if (::rename(z.c_str(), na.c_str()) != 0) {
        blad = bladSystemu("cannot move " + z.string() + " to " + na.string());
        return false;
    }
    synchronizujFolder(z.parent_path());
    if (na.parent_path() != z.parent_path())
        synchronizujFolder(na.parent_path());
    return true;
}

// Finishes the switch recorded in .lumesta-swap, if there is one; the
// caller holds the folder's lock. A step that fails is undone in reverse
// order, each undo leaving a state from which the switch can still be
// finished, so the old library stays whole whatever happens; the
// dictionary moves last, in one atomic rename, and needs no undo.
bool dokoncz(const fs::path& folder, const TKrok& hak, bool& dokonczono, std::string& blad)
{
    const fs::path podmiana = folder / kPodmiana;
    if (!istnieje(podmiana))
        return true;
    dokonczono = true;
    const fs::path noweDane = podmiana / kFolderDanych;
    const fs::path stare = podmiana / kStare;
    const fs::path stareDane = stare / kFolderDanych;
    const fs::path zyweDane = folder / kFolderDanych;

    bool naBok = false;
    bool naMiejscu = false;
    auto cofnij = [&] {
        std::string pomijany;
        if (naMiejscu && !przenies(zyweDane, noweDane, kCofnijNowa, hak, pomijany))
            return;
        if (naBok && !przenies(stareDane, zyweDane, kCofnijStara, hak, pomijany))
            return;
        przenies(podmiana, nazwaSmieci(folder), kPorzuc, hak, pomijany);
    };

    if (istnieje(noweDane)) {
        if (istnieje(zyweDane)) {
            if (istnieje(stareDane)) {
                blad = "cannot finish replacing " + zyweDane.string() + ": " + stareDane.string() +
                       " is in the way";
                return false;
            }
            std::error_code ec;
            fs::create_directory(stare, ec);
            if (!przenies(zyweDane, stareDane, kStaraNaBok, hak, blad)) {
                cofnij();
                return false;
            }
            naBok = true;
        }
        if (!przenies(noweDane, zyweDane, kNowaNaMiejsce, hak, blad)) {
            cofnij();
            return false;
        }
        naMiejscu = true;
    }
    const fs::path nowySlownik = podmiana / kPlikSlownika;
    if (istnieje(nowySlownik) && !przenies(nowySlownik, folder / kPlikSlownika, kSlownik, hak, blad)) {
        cofnij();
        return false;
    }
    // The stems file follows its dictionary. It only spares its readers
    // work, so failing to move it does not undo the switch: the old one,
    // made for the old dictionary, goes instead.
    const fs::path noweRdzenie = podmiana / kPlikRdzeni;
    if (istnieje(noweRdzenie)) {
        std::string pomijany;
        if (!przenies(noweRdzenie, folder / kPlikRdzeni, kRdzenie, hak, pomijany))
            ::unlink((folder / kPlikRdzeni).c_str());
    }
    std::string pomijany;
    przenies(podmiana, nazwaSmieci(folder), kKoniec, hak, pomijany);
    return true;
}

bool zaczynaSie(const std::string& s, const char* przedrostek) { return s.rfind(przedrostek, 0) == 0; }

// With the folder's lock held: preparation folders whose lock nobody holds
// belong to dead processes; they become rubbish.
int odrzucMartwe(const fs::path& folder)
{
    int ile = 0;
    std::error_code ec;
    std::vector<fs::path> martwe;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        const std::string nazwa = e.path().filename().string();
        if (!zaczynaSie(nazwa, kPrzedrostekPakowania) || !e.is_directory(ec))
            continue;
        TDeskryptor d(otworzFolder(e.path()));
        if (d.fd() >= 0 && ::flock(d.fd(), LOCK_EX | LOCK_NB) == 0)
            martwe.push_back(e.path());
    }
    for (const fs::path& p : martwe)
        if (::rename(p.c_str(), nazwaSmieci(folder).c_str()) == 0)
            ++ile;
    if (ile > 0)
        synchronizujFolder(folder);
    return ile;
}

// Deletes the rubbish; needs no lock, since nobody uses it any more.
void usunSmieci(const fs::path& folder)
{
    std::error_code ec;
    std::vector<fs::path> smieci;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (zaczynaSie(e.path().filename().string(), kPrzedrostekSmieci))
            smieci.push_back(e.path());
    for (const fs::path& p : smieci)
        fs::remove_all(p, ec);
}

} // namespace

TPorzadki Uporzadkuj(const fs::path& folder, int czekajMs, const TKrok& krok)
{
    TPorzadki wynik;
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return wynik;
    {
        TDeskryptor blokada(otworzFolder(folder));
        if (blokada.fd() < 0) {
            wynik.Blad = bladSystemu("cannot open " + folder.string());
            return wynik;
        }
        if (!zablokuj(blokada.fd(), czekajMs)) {
            wynik.Blad = bladSystemu("cannot lock " + folder.string());
            wynik.CzekaPodmiana = istnieje(folder / kPodmiana);
            return wynik;
        }
        dokoncz(folder, krok, wynik.Dokonczono, wynik.Blad);
        wynik.Usunieto = odrzucMartwe(folder);
    }
    wynik.CzekaPodmiana = istnieje(folder / kPodmiana);
    usunSmieci(folder);
    return wynik;
}

TNowaBiblioteka::TNowaBiblioteka(fs::path folder, fs::path sciezka, int blokada)
    : FFolder(std::move(folder)), FSciezka(std::move(sciezka)), FBlokada(blokada)
{
}

std::unique_ptr<TNowaBiblioteka> TNowaBiblioteka::Utworz(const fs::path& folder, std::string* blad)
{
    auto nieudane = [&](const std::string& powod) {
        if (blad)
            *blad = powod;
        return nullptr;
    };
    // The folder's lock is held while the preparation folder is made and
    // locked, so nobody cleaning up can take it for a dead one in between.
    TDeskryptor blokada(otworzFolder(folder));
    if (blokada.fd() < 0)
        return nieudane(bladSystemu("cannot open " + folder.string()));
    if (!zablokuj(blokada.fd(), 30000))
        return nieudane(bladSystemu("cannot lock " + folder.string()));
    std::string wzor = (folder / (std::string(kPrzedrostekPakowania) + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (!::mkdtemp(wzor.data()))
        return nieudane(bladSystemu("cannot create a temporary folder in " + folder.string()));
    TDeskryptor wlasna(otworzFolder(wzor));
    if (wlasna.fd() < 0 || ::flock(wlasna.fd(), LOCK_EX | LOCK_NB) != 0) {
        const std::string powod = bladSystemu("cannot lock " + wzor);
        std::error_code ec;
        fs::remove_all(wzor, ec);
        return nieudane(powod);
    }
    return std::unique_ptr<TNowaBiblioteka>(new TNowaBiblioteka(folder, wzor, wlasna.odbierz()));
}

TNowaBiblioteka::~TNowaBiblioteka()
{
    if (!FPodmieniona) {
        std::error_code ec;
        fs::remove_all(FSciezka, ec);
    }
    if (FBlokada >= 0)
        ::close(FBlokada);
}

bool TNowaBiblioteka::Podmien(std::string* blad, const TKrok& krok)
{
    std::string powod;
    auto nieudane = [&] {
        if (blad)
            *blad = powod;
        return false;
    };
    auto stop = [&](int k) { return !krok || krok(k); };
    if (FPodmieniona) {
        powod = "the library was put in place already";
        return nieudane();
    }
    if (!stop(kSynchronizacja)) {
        powod = "cannot sync " + FSciezka.string() + ": refused";
        return nieudane();
    }
    if (!synchronizujDrzewo(FSciezka, powod))
        return nieudane();
    if (!stop(kGotowa)) {
        powod = "cannot lock " + FFolder.string() + ": refused";
        return nieudane();
    }

    bool dokonczono = false;
    bool udane = false;
    {
        TDeskryptor blokada(otworzFolder(FFolder));
        if (blokada.fd() < 0 || !zablokuj(blokada.fd(), 30000)) {
            powod = bladSystemu("cannot lock " + FFolder.string());
            return nieudane();
        }
        // A switch that an earlier crash cut short goes first: it may
        // still hold the only copy of the library in use.
        if (!dokoncz(FFolder, krok, dokonczono, powod))
            return nieudane();
        odrzucMartwe(FFolder);

        // What would make the switch fail halfway is checked before it is
        // decided: the old data folder must be movable by us.
        const fs::path zyweDane = FFolder / kFolderDanych;
        struct stat folder {}, dane {};
        if (istnieje(zyweDane) && ::lstat(zyweDane.c_str(), &dane) == 0 && S_ISDIR(dane.st_mode)) {
            if (::stat(FFolder.c_str(), &folder) != 0 || folder.st_dev != dane.st_dev) {
                powod = zyweDane.string() + " is on another device and cannot be replaced";
                return nieudane();
            }
            if (::access(zyweDane.c_str(), W_OK) != 0) {
                powod = bladSystemu("cannot replace " + zyweDane.string());
                return nieudane();
            }
        }

        const fs::path podmiana = FFolder / kPodmiana;
        if (!przenies(FSciezka, podmiana, kDecyzja, krok, powod))
            return nieudane();
        FPodmieniona = true;
        FSciezka = podmiana;
        udane = dokoncz(FFolder, krok, dokonczono, powod);
    }
    if (!stop(kSprzatanie))
        return udane || nieudane();
    usunSmieci(FFolder);
    return udane || nieudane();
}

} // namespace podmiana
