#pragma once
// The library on disk: the dictionary "Morvitane.sko" and the data folder
// "Lumesta/" side by side in one folder, and how a new library replaces the
// one in use without a moment, even after a crash, in which a reader could
// find neither the complete old library nor the complete new one.
//
// A new library is written into a folder of its own beside the old one
// (".lumesta-pack-<pid>-XXXXXX"), synced, and then renamed to
// ".lumesta-swap": that rename is the moment the new library wins. From then
// on anyone holding the folder's lock (the next pack, or the reader at
// start) finishes the switch: the old "Lumesta/" moves into
// ".lumesta-swap/old/", the new one out of ".lumesta-swap/", the new
// dictionary over the old, and what is left is thrown away. Each of these
// steps can be repeated, so a switch cut short anywhere is finished by the
// next one who looks.
//
// Preparation folders are locked (flock) by the process filling them for as
// long as it lives; one whose lock nobody holds belongs to a process that
// died and is removed. Everything here is plain POSIX and knows nothing of
// Qt, so the command-line tool and the reader share it.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace podmiana {

inline constexpr const char* kPlikSlownika = "Morvitane.sko";
// The dictionary's words grouped by their stems, made for one dictionary (it
// carries the dictionary's fingerprint). When the new library has one, it
// moves in right after its dictionary; one left from an older dictionary is
// recognised by its fingerprint and ignored by its readers.
inline constexpr const char* kPlikRdzeni = "Morvitane.rdz";
inline constexpr const char* kFolderDanych = "Lumesta";

// Called with a step number before each step of a switch. A test stops the
// process there to see what a crash at that point leaves behind, or returns
// false to make the step fail as if the system had refused it.
using TKrok = std::function<bool(int krok)>;

// What a look at a library folder found and did.
struct TPorzadki {
    bool Dokonczono = false;       // a switch cut short was finished
    int Usunieto = 0;              // leftovers of dead packs thrown away
    bool CzekaPodmiana = false;    // a switch is still unfinished (see Blad)
    std::string Blad;              // empty when everything went well (English)
};

// Finishes a switch that a crash cut short and removes the leftovers of
// packs that died. Waits up to `czekajMs` milliseconds for a switch in
// progress by a live process; a folder that does not exist or cannot be
// locked (read-only media) is left alone, with the reason in Blad.
TPorzadki Uporzadkuj(const std::filesystem::path& folder, int czekajMs = 5000, const TKrok& krok = {});

// A new library being written beside the one in use.
class TNowaBiblioteka {
public:
    // Creates the preparation folder in `folder` (which must exist) and
    // locks it. Null, with the reason in *blad, when that fails.
    static std::unique_ptr<TNowaBiblioteka> Utworz(const std::filesystem::path& folder, std::string* blad);
    // Removes the preparation folder unless it was put in place.
    ~TNowaBiblioteka();
    TNowaBiblioteka(const TNowaBiblioteka&) = delete;
    TNowaBiblioteka& operator=(const TNowaBiblioteka&) = delete;

    // Where the new Morvitane.sko and Lumesta/ are to be written.
    const std::filesystem::path& Sciezka() const { return FSciezka; }

    // Syncs everything written, then makes it the library in use. False,
    // with the reason in *blad, when the switch could not be made; the old
    // library is then still the one in use, unless the failure came after
    // the switch was decided, in which case it is finished by the next
    // Uporzadkuj. Cleans up leftovers of dead packs on the way.
    bool Podmien(std::string* blad, const TKrok& krok = {});

private:
    TNowaBiblioteka(std::filesystem::path folder, std::filesystem::path sciezka, int blokada);
    std::filesystem::path FFolder;
    std::filesystem::path FSciezka;
    int FBlokada = -1;   // fd of the preparation folder, locked while it lives
    bool FPodmieniona = false;
};

} // namespace podmiana
