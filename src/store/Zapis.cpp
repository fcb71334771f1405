// Writing the data files at the byte and element levels: the dictionary,
// record and container bytes, safe writing to disk, the dictionary builder,
// and a record built from lines of elements. The text level, choosing the
// elements for given paragraphs, is in ZapisTekst.cpp.
#include "store/Zapis.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <numeric>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace {

void dopisz8(std::string& o, std::uint8_t v) { o.push_back(static_cast<char>(v)); }

template <typename T>
void dopiszLE(std::string& o, T v)
{
    auto w = static_cast<std::make_unsigned_t<T>>(v);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        o.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
}

std::string opisLinii(bool przypis, std::size_t a, std::size_t l)
{
    if (przypis)
        return "footnote " + std::to_string(a + 1) + " line " + std::to_string(l + 1);
    return "line " + std::to_string(a + 1);
}

} // namespace

// ---------------------------------------------------------------------------
// Byte level.

std::string ZapiszSlownik(const TSlownik& slownik, std::uint8_t format)
{
    if (slownik.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw EZapis("dictionary has too many words");
    std::string o;
    std::size_t rozmiar = 8;
    for (const auto& w : slownik)
        rozmiar += 5 + w.Slowo.size();
    o.reserve(rozmiar);
    o += format::kMagiaSlownika;
    dopisz8(o, format);
    dopiszLE(o, std::int32_t(slownik.size()) - 1);
    for (std::size_t i = 0; i < slownik.size(); ++i) {
        const auto& w = slownik[i];
        if (w.Slowo.size() > 255)
            throw EZapis("dictionary word " + std::to_string(i) + " is longer than 255 bytes");
        dopisz8(o, std::uint8_t(w.Slowo.size()));
        o += w.Slowo;
        dopiszLE(o, w.Liczba);
    }
    return o;
}

std::string ZapiszRekord(const TRekordDoZapisu& r)
{
    if (r.ZnakiWWierszu.size() != r.SlowaWWierszu.size())
        throw EZapis("marks-per-line and tokens-per-line tables differ in length");
    const std::size_t maks = std::size_t(std::numeric_limits<std::int32_t>::max());
    if (r.Znaki.size() > maks || r.ZnakiWWierszu.size() > maks)
        throw EZapis("record tables are too long");
    const int bajty = BajtyIndeksu(r.Szerokosc);
    if (bajty == 0)
        throw EZapis("word index width code must be 1 to 4");
    const std::uint64_t granica = bajty == 1 ? 0xFF : bajty == 2 ? 0xFFFF : 0xFFFFFFFFull;
    for (std::uint32_t s : r.Slowa)
        if (s > granica)
            throw EZapis("word index " + std::to_string(s) + " does not fit the width code");

    std::size_t art = r.Art.size();
    while (art > 65536 && r.Art[art - 1] == 0)
        --art;
    if (art > 65536)
        throw EZapis("heading codes beyond the 65536th line");
    if (r.Przypisy.size() > 65535)
        throw EZapis("more than 65535 footnote anchor records");
    if (r.Przypisy.empty() && !r.Bloki.empty())
        throw EZapis("footnote blocks without anchor records are never read");
    if (r.Bloki.size() > 65535)
        throw EZapis("more than 65535 footnotes");

    std::string o;
    o.reserve(32 + 2 * r.Znaki.size() + 3 * r.ZnakiWWierszu.size() + art +
              std::size_t(bajty) * r.Slowa.size());
    o += format::kMagiaRekordu;
    dopisz8(o, r.Format);
    dopisz8(o, r.H);
    dopiszLE(o, r.T);
    dopisz8(o, r.Szerokosc);
    dopiszLE(o, std::int32_t(r.Znaki.size()) - 1);
    for (const TZnak& z : r.Znaki) {
        dopisz8(o, z.Kod);
        dopisz8(o, z.Odstep);
    }
    dopiszLE(o, std::int32_t(r.ZnakiWWierszu.size()) - 1);
    for (std::uint8_t z : r.ZnakiWWierszu)
        dopisz8(o, z);
    for (std::uint16_t s : r.SlowaWWierszu)
        dopiszLE(o, s);
    if (art == 0) {
        dopiszLE(o, std::uint16_t(0));
        dopisz8(o, 0);
    } else {
        dopiszLE(o, std::uint16_t(art - 1));
        o.append(reinterpret_cast<const char*>(r.Art.data()), art);
    }
    dopiszLE(o, std::uint16_t(r.Przypisy.size()));
    if (!r.Przypisy.empty()) {
        for (const TPrzypis& p : r.Przypisy) {
            if (p.Miejsca.empty() || p.Miejsca.size() > 65536)
                throw EZapis("a footnote anchor record holds 1 to 65536 positions");
            dopiszLE(o, p.NumerWiersza);
            dopiszLE(o, std::uint16_t(p.Miejsca.size() - 1));
            for (std::uint16_t m : p.Miejsca)
                dopiszLE(o, m);
        }
        dopiszLE(o, std::uint16_t(r.Bloki.size()));
        o.append(reinterpret_cast<const char*>(r.Bloki.data()), r.Bloki.size());
    }
    dopiszLE(o, r.U);
    for (std::uint32_t s : r.Slowa)
        for (int i = 0; i < bajty; ++i)
            o.push_back(static_cast<char>((s >> (8 * i)) & 0xFF));
    return o;
}

std::string ZapiszKontener(const std::vector<TPozycjaKontenera>& pozycje, std::uint8_t format)
{
    if (pozycje.empty())
        throw EZapis("a container holds at least one document");
    if (pozycje.size() > 65536)
        throw EZapis("a container holds at most 65536 documents");
    std::size_t rozmiar = 6 + 13 * pozycje.size();
    for (const auto& p : pozycje)
        rozmiar += p.Rekord.size();
    std::string o;
    o.reserve(rozmiar);
    o += format::kMagiaKontenera;
    dopisz8(o, format);
    dopiszLE(o, std::uint16_t(pozycje.size() - 1));
    std::vector<std::int64_t> przesuniecia;
    przesuniecia.reserve(pozycje.size());
    for (const auto& p : pozycje) {
        przesuniecia.push_back(std::int64_t(o.size()));
        o += p.Rekord;
    }
    for (std::size_t i = 0; i < pozycje.size(); ++i) {
        dopiszLE(o, przesuniecia[i]);
        dopiszLE(o, pozycje[i].Numer);
        dopiszLE(o, pozycje[i].Pozycja);
        dopisz8(o, pozycje[i].Znacznik);
    }
    return o;
}

bool ZapiszPlik(const std::filesystem::path& plik, std::string_view dane, std::string* blad)
{
    auto nieudany = [&](const std::string& powod) {
        if (blad)
            *blad = powod;
        return false;
    };
    std::random_device los;
    std::filesystem::path tymczasowy = plik;
    tymczasowy += ".tmp" + std::to_string(los() % 1000000);
    {
        std::ofstream f(tymczasowy, std::ios::binary | std::ios::trunc);
        if (!f)
            return nieudany("cannot create " + tymczasowy.string());
        f.write(dane.data(), std::streamsize(dane.size()));
        f.flush();
        if (!f) {
            f.close();
            std::error_code ec;
            std::filesystem::remove(tymczasowy, ec);
            return nieudany("cannot write " + tymczasowy.string() + " (disk full?)");
        }
        f.close();
        if (!f) {
            std::error_code ec;
            std::filesystem::remove(tymczasowy, ec);
            return nieudany("cannot write " + tymczasowy.string());
        }
    }
    // The bytes reach the disk before the name does, so a crash cannot
    // leave the target name on an empty or partial file.
    {
        const int fd = ::open(tymczasowy.c_str(), O_RDONLY | O_CLOEXEC);
        const bool zsynchronizowany = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!zsynchronizowany) {
            std::error_code ec;
            std::filesystem::remove(tymczasowy, ec);
            return nieudany("cannot write " + tymczasowy.string() + " to the disk");
        }
    }
    std::error_code ec;
    std::filesystem::rename(tymczasowy, plik, ec);
    if (ec) {
        std::error_code ec2;
        std::filesystem::remove(tymczasowy, ec2);
        return nieudany("cannot replace " + plik.string() + ": " + ec.message());
    }
    return true;
}

// ---------------------------------------------------------------------------
// Dictionary builder.

TBudowaSlownika::TBudowaSlownika(TSlownik poczatkowy) : FSlownik(std::move(poczatkowy))
{
    FUzycia.assign(FSlownik.size(), 0);
    for (std::uint32_t i = 0; i < FSlownik.size(); ++i)
        FIndeksy.emplace(FSlownik[i].Slowo, i);
}

std::uint32_t TBudowaSlownika::Indeks(std::string_view slowo)
{
    auto it = FIndeksy.find(slowo);
    if (it != FIndeksy.end()) {
        ++FUzycia[it->second];
        return it->second;
    }
    if (slowo.size() > 255)
        throw EZapis("word longer than 255 bytes");
    if (FSlownik.size() >= std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw EZapis("dictionary has too many words");
    const auto i = std::uint32_t(FSlownik.size());
    FSlownik.push_back(TWpisSlownika{std::string(slowo), 0});
    FUzycia.push_back(1);
    FIndeksy.emplace(std::string(slowo), i);
    return i;
}

std::vector<std::uint32_t> TBudowaSlownika::UporzadkujWedlugCzestosci()
{
    std::vector<std::uint32_t> porzadek(FSlownik.size());
    std::iota(porzadek.begin(), porzadek.end(), 0u);
    std::stable_sort(porzadek.begin(), porzadek.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return FUzycia[a] > FUzycia[b]; });
    std::vector<std::uint32_t> mapa(FSlownik.size());
    TSlownik nowy(FSlownik.size());
    std::vector<std::uint64_t> uzycia(FSlownik.size());
    for (std::uint32_t n = 0; n < porzadek.size(); ++n) {
        mapa[porzadek[n]] = n;
        nowy[n] = std::move(FSlownik[porzadek[n]]);
        uzycia[n] = FUzycia[porzadek[n]];
    }
    FSlownik = std::move(nowy);
    FUzycia = std::move(uzycia);
    for (auto& [slowo, indeks] : FIndeksy)
        indeks = mapa[indeks];
    return mapa;
}

void Przenumeruj(TRekordDoZapisu& rekord, const std::vector<std::uint32_t>& mapa)
{
    std::uint32_t maks = 0;
    for (std::uint32_t& s : rekord.Slowa) {
        if (s >= mapa.size())
            throw EZapis("word index outside the index map");
        s = mapa[s];
        maks = std::max(maks, s);
    }
    rekord.Szerokosc = SzerokoscDla(maks);
}

// ---------------------------------------------------------------------------
// Element level.

TRekordDoZapisu ZbudujRekord(const TDokumentElementy& d, TBudowaSlownika& slownik)
{
    TRekordDoZapisu r;
    r.H = d.H;
    std::int64_t odPunktu = 0;      // tokens and marks since the last punctuation point
    std::int64_t tokenyGlowne = 0;
    std::int64_t slowaGlowne = 0;
    std::int64_t slowaPrzypisow = 0;
    std::size_t numerLinii = 0;
    std::uint32_t maks = 0;

    auto linia = [&](const TLinia& l, bool glowna, const std::string& gdzie) {
        const auto blad = [&](const std::string& co) { throw EZapis(gdzie + ": " + co); };
        std::int64_t tokeny = 0;
        std::int64_t znaki = 0;
        std::vector<std::uint16_t> miejsca;
        // What the previous element was, for the rules on punctuation.
        enum { Nic, Token, Znak, Znacznik } poprzedni = Nic;
        std::int64_t znacznikiPoPunkcie = -1;   // marks since a point, -1: a token came between

        if (l.Naglowek != 0) {
            if (!glowna)
                blad("a footnote line cannot have a heading");
            if (numerLinii >= 65536)
                blad("heading codes can only stand in the first 65536 lines");
            ++tokeny;
            ++odPunktu;
            poprzedni = Token;
        }
        const auto& el = l.Elementy;
        for (std::size_t i = 0; i < el.size(); ++i) {
            const TElement& e = el[i];
            switch (e.Rodzaj) {
            case TElement::Slowo: {
                const std::uint32_t ix = slownik.Indeks(e.Tekst);
                maks = std::max(maks, ix);
                r.Slowa.push_back(ix);
                ++tokeny;
                ++odPunktu;
                (glowna ? slowaGlowne : slowaPrzypisow) += 1;
                poprzedni = Token;
                znacznikiPoPunkcie = -1;
                break;
            }
            case TElement::Znak:
                if (poprzedni == Nic)
                    blad("punctuation before the first token of a line");
                if (poprzedni != Znak) {
                    if (poprzedni == Znacznik) {
                        const bool dalejSlowo = std::any_of(el.begin() + std::ptrdiff_t(i), el.end(),
                                                            [](const TElement& x) { return x.Rodzaj == TElement::Slowo; });
                        if (!dalejSlowo && znacznikiPoPunkcie != 1)
                            blad("punctuation after marks at the end of a line needs exactly one mark "
                                 "right after a punctuation mark");
                    }
                    if (odPunktu < 1 || odPunktu > 255)
                        blad("more than 255 tokens without punctuation");
                    r.Znaki.push_back(TZnak{e.Kod, std::uint8_t(odPunktu)});
                    odPunktu = 0;
                } else {
                    r.Znaki.push_back(TZnak{e.Kod, 0});
                }
                ++znaki;
                znacznikiPoPunkcie = 0;
                poprzedni = Znak;
                break;
            case TElement::Przypis: {
                if (!glowna)
                    blad("footnote marks cannot stand in footnote text");
                const bool dalejSlowo = std::any_of(el.begin() + std::ptrdiff_t(i) + 1, el.end(),
                                                    [](const TElement& x) { return x.Rodzaj == TElement::Slowo; });
                if (dalejSlowo && !miejsca.empty() && miejsca.back() == tokeny)
                    blad("two footnote marks before the same word");
                if (tokeny > 65535)
                    blad("more than 65535 tokens in a line");
                if (numerLinii > 65535)
                    blad("footnote marks can only stand in the first 65536 lines");
                miejsca.push_back(std::uint16_t(tokeny));
                ++odPunktu;
                if (znacznikiPoPunkcie >= 0)
                    ++znacznikiPoPunkcie;
                poprzedni = Znacznik;
                break;
            }
            }
        }
        if (tokeny == 0)
            blad("a line needs at least one word or a heading");
        if (tokeny > 65535)
            blad("more than 65535 tokens in a line");
        if (znaki > 255)
            blad("more than 255 punctuation marks in a line");
        if (!miejsca.empty()) {
            if (miejsca.size() > 65536)
                blad("too many footnote marks in a line");
            // Marks after the last word are placed at the line end whatever
            // their position; give them the line's token count.
            r.Przypisy.push_back(TPrzypis{std::uint16_t(numerLinii), std::move(miejsca)});
        }
        r.ZnakiWWierszu.push_back(std::uint8_t(znaki));
        r.SlowaWWierszu.push_back(std::uint16_t(tokeny));
        r.Art.push_back(glowna ? l.Naglowek : 0);
        if (glowna)
            tokenyGlowne += tokeny;
        ++numerLinii;
    };

    for (std::size_t i = 0; i < d.Glowne.size(); ++i)
        linia(d.Glowne[i], true, opisLinii(false, i, 0));
    const std::size_t glowneLinie = numerLinii;
    for (std::size_t p = 0; p < d.Przypisy.size(); ++p) {
        const auto& przypis = d.Przypisy[p];
        if (przypis.empty())
            throw EZapis("footnote " + std::to_string(p + 1) + " has no lines");
        if (przypis.size() > 256)
            throw EZapis("footnote " + std::to_string(p + 1) + " has more than 256 lines");
        for (std::size_t l = 0; l < przypis.size(); ++l)
            linia(przypis[l], false, opisLinii(true, p, l));
        r.Bloki.push_back(std::uint8_t(przypis.size() - 1));
    }
    if (d.Przypisy.size() > 65535)
        throw EZapis("more than 65535 footnotes");
    if (!d.Przypisy.empty() && r.Przypisy.empty()) {
        // The footnote text is decoded only when the record has anchors. An
        // anchor on a line number the decoder never selects does no harm.
        if (glowneLinie >= 65535)
            throw EZapis("footnotes without any footnote mark in a text of 65535 lines or more");
        r.Przypisy.push_back(TPrzypis{65535, {0}});
    }
    // One empty entry after the last line: the decoder drops its last
    // paragraph, which is then this empty one and not the text's last line.
    r.ZnakiWWierszu.push_back(0);
    r.SlowaWWierszu.push_back(0);
    if (tokenyGlowne > std::numeric_limits<std::int32_t>::max() ||
        slowaGlowne + slowaPrzypisow > std::numeric_limits<std::int32_t>::max())
        throw EZapis("too many tokens for one record");
    r.T = std::int32_t(tokenyGlowne - 1);
    r.U = std::int32_t(slowaGlowne + slowaPrzypisow - 1);
    r.Szerokosc = SzerokoscDla(maks);
    return r;
}
