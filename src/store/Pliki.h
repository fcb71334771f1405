#pragma once
// The legal text store: the dictionary, the containers with their
// directories, and the decoder that turns an act record into paragraphs of
// typed pieces and into footnote lines.
//
// Every count, offset and index read from a data file is untrusted: a damaged
// file yields one of the store's messages or a clean partial result, never a
// read outside the file or an array, a hang or a crash.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/Format.h"
#include "store/Typy.h"

// Messages of the store (Windows-1250). Kept here so that tests and other
// parts compare against the same texts.
namespace komunikaty {
std::string NieprawidlowySlownik();   // "Nieprawidłowy słownik."
std::string ToNieRocznik();           // "To nie jest plik rocznika Dziennika Ustaw."
std::string ToNieDziennik();          // "To nie jest plik Dziennika Ustaw."
std::string NieMa(std::string_view nazwa);        // "Nie ma: " + name
std::string BrakTresciPrzypisow();    // "Brak treści przypisów!"
// A number in a document name that the integer parser rejects (empty, or
// too large for a 32-bit integer).
std::string NieprawidlowaLiczba(std::string_view segment);
std::string NieMoznaOtworzyc(const std::filesystem::path& plik);
std::string BladOdczytu(const std::filesystem::path& plik);
std::string UszkodzonyKatalog(const std::filesystem::path& plik);
// The dictionary holds fewer words than it announces, or bytes after them.
std::string UszkodzonySlownik(const std::filesystem::path& plik);
// A document whose word indices the dictionary lacks (`ile` of them).
std::string BrakSlow(std::string_view nazwa, std::uint64_t ile);
// A document decoded with a dictionary known to be damaged.
std::string NiepewnySlownik(std::string_view nazwa);
std::string BrakPamieci(const std::filesystem::path& plik);
} // namespace komunikaty

// ---------------------------------------------------------------------------
// Rules of names, keys and titles.

// Thrown by RozbierzNazwe when a number segment of the name is not a valid
// decimal integer (the integer parser's conversion error). what() is the
// Windows-1250 message komunikaty::NieprawidlowaLiczba.
class EBladKonwersji : public std::runtime_error {
public:
    explicit EBladKonwersji(const std::string& komunikat) : std::runtime_error(komunikat) {}
};

inline constexpr std::string_view kNazwaKodeksow = "Lumesta";
inline constexpr int kLiczbaKodeksow = 15;

// Title of code index 0..14 as shown in lists (Windows-1250).
const std::string& TytulKodeksu(int indeks);

// Document name -> key: a code title ("Kodeks cywilny", any ASCII case) or
// "Dz.U." + year + "." + number + "." + position. Throws EBladKonwersji.
TNumerPozycjaDZU RozbierzNazwe(std::string_view nazwa);
// The same without an exception: on a conversion error returns nothing and
// puts the message into *blad (if given).
std::optional<TNumerPozycjaDZU> SprobujRozbierzNazwe(std::string_view nazwa,
                                                     std::string* blad = nullptr);

// Data folder + Rok + ".rdu". The folder is a native path (UTF-8 here).
std::filesystem::path SciezkaKontenera(const std::filesystem::path& folder,
                                       const TNumerPozycjaDZU& klucz);

// Title of a directory entry: a code title for the codes container (empty
// when Numer != Pozycja or the index is above 14), otherwise
// "Dz.U." + Rok + "." + Numer + "." + Pozycja.
std::string TytulPozycji(std::string_view rok, const TDaneDZU& wpis);

struct TPolozenieRekordu {
    std::int64_t Przesuniecie = 0;
    std::int64_t Dlugosc = 0;
    std::size_t Indeks = 0;   // directory index of the entry found
};
// First entry with the key's Numer and Pozycja and flag 0; its record runs to
// the next entry's offset, the last one to `poczatekKatalogu`. The length may
// come out negative for a damaged directory; the caller checks it.
std::optional<TPolozenieRekordu> ZnajdzPozycje(const TTabDaneDZU& katalog, std::uint16_t numer,
                                               std::uint16_t pozycja,
                                               std::int64_t poczatekKatalogu);

// ---------------------------------------------------------------------------
// Punctuation codes and heading words.

struct TZnakKodu {
    std::string_view Znaki;   // characters appended (Windows-1250)
    bool SpacjaPrzed = true;  // false: the buffer's last character is removed first
    bool SpacjaPo = true;     // true: a space follows the characters
};
const TZnakKodu& ZnakKodu(std::uint8_t kod);
// Heading word of a line heading code ("ART", "Art", "§", "Ustawa", ...,
// "KONSTYTUCJA"); empty for 0, 4, 5 and 24..255.
const std::string& SlowoNaglowka(std::uint8_t kod);

// ---------------------------------------------------------------------------
// Decoding.

// Decodes one act record (the whole record, starting with "DzU") against a
// dictionary, exactly as TPliki::OtworzDokument does after reading it:
// - empty record: nothing is touched;
// - wrong magic: "To nie jest plik Dziennika Ustaw." is reported, `plik`
//   becomes empty and the two lists keep their content;
// - otherwise the lists are refilled and `plik` replaced. F > 0 with B = 0
//   reports "Brak treści przypisów!" and leaves the footnote list empty.
// `komunikaty` may be null (messages are then dropped). `brakujaceSlowa`,
// if given, receives how many word indices read were beyond the dictionary
// (each decoded as an empty word).
void DekodujRekord(std::string_view rekord, const TSlownik& slownik, TKomunikaty* komunikaty,
                   TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik,
                   std::uint64_t* brakujaceSlowa = nullptr);

// One line of an act record, decoded on its own by DekodujLinie.
struct TLiniaRekordu {
    std::size_t Linia = 0;      // running line number: main-text lines first, then footnote lines
    bool Przypis = false;       // a footnote line
    // Main text: the paragraph's index in the decoded document; footnote
    // line: the index of its string in the footnote list.
    std::size_t Indeks = 0;
    std::size_t NumerPrzypisu = 0;  // footnote lines: the footnote's number, from 1
    // Main text: the paragraph's pieces (as DekodujRekord gives them) joined,
    // and the kind of the first piece: a heading code or rTekst. Footnote
    // line: the footnote list's string.
    std::string Tekst;
    std::uint8_t Rodzaj = rTekst;
    bool TylkoPoczatek = false;   // Tekst is the line's opening only
    // For each word read in the line (heading words are not read), where
    // that word starts in Tekst.
    std::vector<std::uint32_t> Slowa;
};

// Decodes only the lines of an act record whose running numbers are listed
// (ascending); every other line is walked without building its text. What
// comes out for a line is the text DekodujRekord gives for it; lines the record
// does not reach are absent. One difference: DekodujRekord drops the last
// paragraph it made, and a chosen line standing there is still returned.
// False for a wrong magic.
// `ostatnie` (OstatnieLitery of the dictionary, optional) spares looking
// every skipped word up in the dictionary. Main-text lines listed in
// `tylkoPoczatki` too (ascending) are wanted for their opening only: their
// text stops after half a dozen words (TylkoPoczatek says whether it did).
bool DekodujLinie(std::string_view rekord, const TSlownik& slownik, const std::vector<std::size_t>& linie,
                  std::vector<TLiniaRekordu>& wynik, std::string_view ostatnie = {},
                  const std::vector<std::size_t>* tylkoPoczatki = nullptr);
// The last character of every dictionary word, '\0' for an empty one.
std::string OstatnieLitery(const TSlownik& slownik);

// Reads the header fields (all but the token stream) of an act record into
// `wynik`; `strumien` receives the offset of the token stream. A field that
// runs past the end reads as absent (arrays are cut to the bytes present).
// Returns false only for a wrong magic.
bool CzytajNaglowekRekordu(std::string_view rekord, TRekordDZU& wynik, std::size_t& strumien);

// Bytes of an act record read where they lie (a file, a buffer): Czytaj
// fills `cel` with bytes [od, od + ile) of the record, or returns false.
class TZrodloBajtow {
public:
    virtual ~TZrodloBajtow() = default;
    virtual bool Czytaj(std::int64_t od, std::size_t ile, char* cel) = 0;
};
// How many leading bytes of an act record of `dlugosc` bytes the decoder can
// ever look at: its header and the most word indices its counts let it read.
// A record longer than that holds bytes nobody reads, so a damaged length
// never makes the store read (or allocate) more. Only the header is read,
// and never beyond `dlugosc`; when it runs past the end, the answer is
// `dlugosc`. Decoding the first that many bytes gives exactly what decoding
// the whole record gives.
std::int64_t UzytecznaDlugoscRekordu(std::int64_t dlugosc, TZrodloBajtow& zrodlo);

// ---------------------------------------------------------------------------
// The store. One instance serves the whole run.

// What an OtworzDokument call achieved, for callers that act on it (the
// reader opens a tab only for Otwarty). Every outcome but Otwarty and
// BrakKontenera has been reported through the message interface already.
enum class TWynikOtwarcia {
    Otwarty,            // listed, and decoded when asked
    BrakKontenera,      // no container file: nothing touched, nothing said
    BlednaNazwa,        // a number of the name is not a valid integer
    BladKontenera,      // cannot be opened, wrong magic, or no usable directory
    BrakPozycji,        // "Nie ma: ..."
    UszkodzonyRekord,   // the record lies outside the file, cannot be read or has a wrong magic
    UszkodzonySlownik,  // decoded, but with words the dictionary lacks or with a damaged dictionary
    BrakPamieci,        // the data does not fit in memory
};
class TPliki {
public:
    // `komunikaty` receives the store's failure messages; it may be null and
    // may be changed later. The store does not own it.
    explicit TPliki(TKomunikaty* komunikaty = nullptr);

    void UstawKomunikaty(TKomunikaty* komunikaty) { FKomunikaty = komunikaty; }

    // Replaces Slownik by the file's words. A missing file changes nothing;
    // a wrong magic reports "Nieprawidłowy słownik." and leaves it empty; a
    // file with fewer words than it announces, or with bytes after them,
    // keeps the words it has and is reported as damaged.
    void WczytajSlownik(const std::filesystem::path& plik);
    // The dictionary loaded last was damaged or could not be read whole:
    // text decoded with it cannot be trusted.
    bool SlownikUszkodzony() const { return FSlownikUszkodzony; }

    // Reads the container the name maps to (folder + Rok + ".rdu"), refills
    // `tytuly` from its directory and, when `wczytaj` is true, decodes the
    // named document into `plik`, `tekst` and `przypisy` (see DekodujRekord).
    // A missing container touches nothing. Failures are reported through
    // the message interface; the result says what was achieved.
    // A directory with entries that point outside the file is reported once
    // per container and run, and its titles are listed all the same; the
    // caller may skip those that WpisCzytelny rejects. A document decoded
    // with words the dictionary lacks is reported and still handed over;
    // the result tells the caller not to trust it.
    TWynikOtwarcia OtworzDokument(const std::filesystem::path& folder, const std::string& nazwa,
                                  TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik,
                                  bool wczytaj, TListaNapisow& tytuly);

    // The directory of the container opened last had entries whose record
    // lies outside the file (a truncated or overwritten container).
    bool KatalogUszkodzony() const { return FKatalogUszkodzony; }
    // Entry i of DaneDZU has its record inside the file: after the header,
    // before the directory, and not past the record that follows it.
    bool WpisCzytelny(std::size_t i) const { return i < FCzytelne.size() && FCzytelne[i]; }

    // The document decoded last is handed to the caller of OtworzDokument
    // (moved, not copied, so a large code is held once); Plik is therefore
    // empty between operations.
    TPlik Plik;
    TTabDaneDZU DaneDZU;   // directory of the container opened last
    TSlownik Slownik;      // the dictionary

private:
    void Pokaz(const std::string& tekst);
    TWynikOtwarcia Otworz(const std::filesystem::path& folder, const std::string& nazwa,
                          TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik, bool wczytaj,
                          TListaNapisow& tytuly);
    void SprawdzKatalog(const std::filesystem::path& sciezka, std::int64_t poczatekKatalogu);
    TWynikOtwarcia DekodujTekst(const std::string& nazwa, TListaNapisow& tekst, TListaNapisow& przypisy,
                                TPlik& plik);

    std::string Bufor;     // raw bytes of the record being decoded; empty between operations
    TKomunikaty* FKomunikaty = nullptr;
    bool FSlownikUszkodzony = false;
    bool FKatalogUszkodzony = false;
    std::vector<bool> FCzytelne;                 // per entry of DaneDZU
    std::vector<std::string> FZgloszoneKatalogi; // damaged directories reported this run
};
