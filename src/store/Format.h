#pragma once
// Byte layouts of the three data files, shared by the reader (Pliki) and the
// writer (Zapis). Integers are little-endian; text is Windows-1250 and never
// terminated; no padding anywhere.
//
// Dictionary:  "Slo", format byte, highest word index N (int32), then N+1
//              entries: length L (1 byte), L bytes, int32 value.
// Container:   "RDU", format byte, highest directory index N (uint16), the act
//              records, then at the very end N+1 directory entries of 13
//              bytes: offset (int64), Numer (uint16), Pozycja (uint16),
//              Znacznik (uint8). A record runs up to the next entry's offset;
//              the last one up to the directory start.
// Act record:  "DzU", format, H (1), T (int32), width code (1), N1 (int32),
//              N1+1 pairs (Kod, Odstep), N2 (int32), N2+1 marks per line,
//              N2+1 uint16 tokens per line, N3 (uint16), N3+1 heading codes,
//              F (uint16, a count), F anchor records [line uint16, K uint16,
//              K+1 uint16 positions], only if F > 0: B (uint16) and B bytes
//              (footnote lines - 1), then U (int32) and the token stream.
#include <cstdint>
#include <string>
#include <string_view>

#include "store/Typy.h"

namespace format {

inline constexpr std::string_view kMagiaSlownika = "Slo";
inline constexpr std::string_view kMagiaKontenera = "RDU";
inline constexpr std::string_view kMagiaRekordu = "DzU";
inline constexpr int kRozmiarWpisuKatalogu = 13;

} // namespace format

// All fields of one act record, as they stand in the file. The token stream
// is kept as raw bytes by the reader (it is read one index at a time while
// decoding) and as word indices by the writer.
struct TRekordDZU {
    std::uint8_t Format = 0;      // field 2, not interpreted
    std::uint8_t H = 0;           // header line count
    std::int32_t T = -1;          // last main-text iteration index
    std::uint8_t Szerokosc = 1;   // word index width code: 1, 2, or 3/4 (= 4 bytes)
    TZnaki Znaki;
    TZnaki_w_Wierszu ZnakiWWierszu;   // one per line
    TSlowa_w_Wierszu SlowaWWierszu;   // one per line, same length as above
    TArt Art;                         // heading code per line
    TPrzypisy Przypisy;               // footnote anchor records (F = size)
    TBlokPrzypisow Bloki;             // per footnote: its lines - 1 (B = size)
    std::int32_t U = -1;              // last footnote iteration index
};

// Bytes of one word index for a width code: 1 -> 1, 2 -> 2, 3 or 4 -> 4,
// anything else -> 0 (such a record reads no words at all).
inline int BajtyIndeksu(std::uint8_t szerokosc)
{
    switch (szerokosc) {
    case 1: return 1;
    case 2: return 2;
    case 3:
    case 4: return 4;
    default: return 0;
    }
}

// Smallest width code whose indices can hold `najwiekszyIndeks`.
inline std::uint8_t SzerokoscDla(std::uint32_t najwiekszyIndeks)
{
    return najwiekszyIndeks <= 0xFF ? 1 : najwiekszyIndeks <= 0xFFFF ? 2 : 4;
}
