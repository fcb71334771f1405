#include "store/Zapis.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <cstdio>
#include <fstream>
#include <limits>
#include <numeric>
#include <random>

#include "store/Pliki.h"

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

// ---------------------------------------------------------------------------
// Text level.

namespace {

// Code of a single character when it is a punctuation mark the format knows.
// 0x94 is code 39, whose characters are a space and 0x94.
int kodZnaku(unsigned char c)
{
    static const std::array<int, 256> kody = [] {
        std::array<int, 256> t;
        t.fill(-1);
        for (int k = 2; k < 256; ++k) {
            const TZnakKodu& z = ZnakKodu(std::uint8_t(k));
            if (z.Znaki.size() == 1 && t[static_cast<unsigned char>(z.Znaki[0])] < 0)
                t[static_cast<unsigned char>(z.Znaki[0])] = k;
        }
        t[0x94] = 39;
        return t;
    }();
    return kody[c];
}

void zastosujZOdstepami(std::string& b, std::uint8_t kod)
{
    const TZnakKodu& z = ZnakKodu(kod);
    if (!z.SpacjaPrzed && !b.empty())
        b.pop_back();
    b.append(z.Znaki);
    if (z.SpacjaPo)
        b.push_back(' ');
}

std::vector<std::string_view> podziel(std::string_view s)
{
    std::vector<std::string_view> w;
    std::size_t p = 0;
    while (true) {
        std::size_t q = s.find(' ', p);
        if (q == std::string_view::npos) {
            w.push_back(s.substr(p));
            return w;
        }
        w.push_back(s.substr(p, q - p));
        p = q + 1;
    }
}

// Words only: the text split at single spaces into words of at most 255
// bytes (a word may hold spaces, so any spacing survives). Returns false
// when a run of more than 255 bytes without a space had to be cut.
bool slowaZTekstu(std::string_view s, std::vector<TElement>& wy)
{
    bool ok = true;
    auto czesci = podziel(s);
    std::string biezace;
    bool jest = false;
    for (auto c : czesci) {
        while (c.size() > 255) {
            if (jest) {
                wy.push_back(TElement::S(std::move(biezace)));
                biezace.clear();
                jest = false;
            }
            wy.push_back(TElement::S(std::string(c.substr(0, 255))));
            c = c.substr(255);
            ok = false;
        }
        if (!jest) {
            biezace.assign(c);
            jest = true;
        } else if (biezace.size() + 1 + c.size() <= 255 && (c.empty() || biezace.empty())) {
            // Empty parts stand for extra spaces: keep them inside the word.
            biezace += ' ';
            biezace += c;
        } else {
            wy.push_back(TElement::S(std::move(biezace)));
            biezace.assign(c);
        }
    }
    if (jest)
        wy.push_back(TElement::S(std::move(biezace)));
    return ok;
}

// One space-separated chunk: leading marks that close up to the following
// word, the word, trailing marks that close up to the preceding word; or a
// chunk of marks only. `poTokenie`: a token precedes in the line, so marks may
// attach to it. The split is accepted only if replaying it gives the chunk.
bool kawalek(std::string_view c, bool poTokenie, bool otwarty, std::vector<TElement>& wy)
{
    const std::size_t n = c.size();
    std::size_t maxPrzed = 0;
    if (poTokenie)
        while (maxPrzed < n && kodZnaku(static_cast<unsigned char>(c[maxPrzed])) >= 0)
            ++maxPrzed;
    std::size_t maxPo = 0;
    while (maxPo < n && kodZnaku(static_cast<unsigned char>(c[n - 1 - maxPo])) >= 0)
        ++maxPo;

    const std::string oczekiwany = "X " + std::string(c) + (otwarty ? "" : " ");
    std::vector<TElement> proba;
    for (std::size_t p = std::min(maxPrzed, n); ; --p) {
        for (std::size_t s = std::min(maxPo, n - p); ; --s) {
            const std::size_t rdzen = n - p - s;
            const bool pusty = rdzen == 0;
            if (!(pusty && !poTokenie) && rdzen <= 255 && !(pusty && p > 0 && s > 0)) {
                proba.clear();
                std::string b = "X ";
                for (std::size_t i = 0; i < p; ++i) {
                    auto k = std::uint8_t(kodZnaku(static_cast<unsigned char>(c[i])));
                    proba.push_back(TElement::Z(k));
                    zastosujZOdstepami(b, k);
                }
                if (!pusty) {
                    proba.push_back(TElement::S(std::string(c.substr(p, rdzen))));
                    b.append(c.substr(p, rdzen));
                    b.push_back(' ');
                }
                for (std::size_t i = n - s; i < n; ++i) {
                    auto k = std::uint8_t(kodZnaku(static_cast<unsigned char>(c[i])));
                    proba.push_back(TElement::Z(k));
                    zastosujZOdstepami(b, k);
                }
                if (b == oczekiwany) {
                    wy.insert(wy.end(), proba.begin(), proba.end());
                    return true;
                }
            }
            if (s == 0)
                break;
        }
        if (p == 0)
            break;
    }
    return false;
}

// Where a segment of a line starts.
enum class Start {
    Linia,        // main line without heading: empty buffer, no token yet
    Naglowek,     // after the heading word: buffer " ", a token precedes
    Znacznik,     // after a mark placed before a word: buffer " "
    Przypis,      // footnote line: buffer " ", no token yet
};

struct Segment {
    std::vector<TElement> el;
    bool ok = true;
    std::string blad;
};

// Elements that give `tekst` from the segment's start. `koniecLinii`: the
// line ends after it (the decoder then drops the last character, normally
// the trailing space); otherwise a mark placed before a word follows and the
// buffer is taken as it stands. Mode 0 splits punctuation into marks; mode 1
// uses words only.
Segment segment(std::string_view tekst, Start start, bool koniecLinii, int tryb)
{
    Segment w;
    auto nie = [&](std::string powod) {
        w.ok = false;
        w.blad = std::move(powod);
    };
    bool poTokenie = start == Start::Naglowek;
    std::string_view reszta = tekst;

    if (start == Start::Przypis) {
        if (reszta.empty() || reszta[0] != ' ') {
            nie("a footnote line must start with a space");
        } else {
            reszta.remove_prefix(1);
        }
    } else if (start == Start::Naglowek || start == Start::Znacznik) {
        if (!reszta.empty() && reszta[0] == ' ') {
            reszta.remove_prefix(1);
        } else if (!reszta.empty()) {
            // Marks glued to what precedes: after a heading they close up to
            // it (their flags apply); after a mark they are appended as they
            // are and a space follows.
            const std::size_t sp = reszta.find(' ');
            const std::string_view znaki = reszta.substr(0, sp);
            const bool ok = std::all_of(znaki.begin(), znaki.end(), [](char c) {
                return kodZnaku(static_cast<unsigned char>(c)) >= 0;
            });
            if (start == Start::Naglowek) {
                std::string b = "X ";
                std::vector<TElement> z;
                for (char c : znaki) {
                    if (!ok)
                        break;
                    auto k = std::uint8_t(kodZnaku(static_cast<unsigned char>(c)));
                    z.push_back(TElement::Z(k));
                    zastosujZOdstepami(b, k);
                }
                if (!ok || b != "X" + std::string(znaki) + " ") {
                    nie("text after a heading word must start with a space or with punctuation "
                        "that closes up to it");
                    return w;
                }
                w.el = std::move(z);
                reszta = sp == std::string_view::npos ? std::string_view() : reszta.substr(sp + 1);
                if (sp == std::string_view::npos && !koniecLinii) {
                    nie("punctuation after a heading must be followed by a space");
                    return w;
                }
            } else {
                if (!ok || sp == std::string_view::npos) {
                    nie("text after a footnote mark must start with a space or with punctuation "
                        "and a space");
                    return w;
                }
                for (char c : znaki)
                    w.el.push_back(TElement::Z(std::uint8_t(kodZnaku(static_cast<unsigned char>(c)))));
                reszta = reszta.substr(sp + 1);
            }
        }
    }
    if (!w.ok)
        return w;

    // The buffer before a mark ends with the space of its last token; a
    // mark that closes up to the following word is the one exception.
    bool otwarty = false;
    if (!koniecLinii) {
        if (!reszta.empty() && reszta.back() == ' ')
            reszta.remove_suffix(1);
        else if (!reszta.empty())
            otwarty = true;
        else if (start != Start::Linia && start != Start::Naglowek) {
            nie("a footnote mark before a word needs the word");
            return w;
        }
    }
    if (reszta.empty() && !otwarty) {
        // A mark before a word needs its word, and a line needs a token: the
        // empty word gives exactly the space the decoder adds.
        if (start == Start::Znacznik || (koniecLinii && start != Start::Naglowek && w.el.empty()))
            w.el.push_back(TElement::S(""));
        return w;
    }

    if (tryb == 0) {
        auto czesci = podziel(reszta);
        const bool puste = std::any_of(czesci.begin(), czesci.end(),
                                       [](std::string_view c) { return c.empty(); });
        if (!puste) {
            std::vector<TElement> el;
            bool ok = true;
            bool jestToken = poTokenie;
            for (std::size_t i = 0; i < czesci.size() && ok; ++i) {
                const bool ostatni = i + 1 == czesci.size();
                ok = kawalek(czesci[i], jestToken, otwarty && ostatni, el);
                jestToken = true;
            }
            if (ok) {
                w.el.insert(w.el.end(), el.begin(), el.end());
                return w;
            }
        }
    }
    if (otwarty) {
        // Words only, with the closing-up mark kept as the last element.
        const unsigned char ost = static_cast<unsigned char>(reszta.back());
        const int k = kodZnaku(ost);
        if (k < 0 || ZnakKodu(std::uint8_t(k)).SpacjaPo) {
            nie("text before a footnote mark must end with a space");
            return w;
        }
        std::string_view przed = reszta.substr(0, reszta.size() - 1);
        if (przed.empty() || przed.back() != ' ') {
            nie("text before a footnote mark must end with a space");
            return w;
        }
        przed.remove_suffix(1);
        if (!slowaZTekstu(przed, w.el))
            nie("a run of more than 255 bytes without a space");
        w.el.push_back(TElement::Z(std::uint8_t(k)));
        return w;
    }
    if (!slowaZTekstu(reszta, w.el))
        nie("a run of more than 255 bytes without a space");
    return w;
}

// A line counts its tokens in 16 bits: past that, neighbouring words are
// merged (the decoder gives the same text for "a b" as for "a" and "b").
void scalSlowaLinii(TLinia& l)
{
    auto& el = l.Elementy;
    auto tokeny = [&] {
        return (l.Naglowek ? 1 : 0) + std::count_if(el.begin(), el.end(), [](const TElement& e) {
                   return e.Rodzaj == TElement::Slowo;
               });
    };
    std::ptrdiff_t nadmiar = tokeny() - 65535;
    while (nadmiar > 0) {
        std::vector<TElement> nowe;
        nowe.reserve(el.size());
        for (auto& e : el) {
            if (nadmiar > 0 && e.Rodzaj == TElement::Slowo && !nowe.empty() &&
                nowe.back().Rodzaj == TElement::Slowo &&
                nowe.back().Tekst.size() + 1 + e.Tekst.size() <= 255) {
                nowe.back().Tekst += ' ';
                nowe.back().Tekst += e.Tekst;
                --nadmiar;
            } else {
                nowe.push_back(std::move(e));
            }
        }
        const bool postep = nowe.size() < el.size();
        el = std::move(nowe);
        if (!postep)
            break;   // ZbudujRekord reports what is left
    }
}

struct LiniaKodu {
    TLinia linia;
    bool ok = true;
    std::string blad;
};

LiniaKodu kodujAkapit(const TWiersz& w, int tryb)
{
    LiniaKodu wynik;
    auto nie = [&](const std::string& powod) {
        if (wynik.ok) {
            wynik.ok = false;
            wynik.blad = powod;
        }
    };
    std::size_t i = 0;
    if (!w.empty() && w[0].Rodzaj != rTekst && w[0].Rodzaj != rPrzypis) {
        if (w[0].Tekst != SlowoNaglowka(w[0].Rodzaj))
            nie("a heading piece must hold its heading word");
        else
            wynik.linia.Naglowek = w[0].Rodzaj;
        i = 1;
    }
    // Kind 0 pieces with one mark between each two.
    std::vector<std::string_view> seg;
    bool oczekujTekstu = true;
    for (; i < w.size(); ++i) {
        const TTekst& t = w[i];
        if (t.Rodzaj == rTekst && oczekujTekstu) {
            seg.push_back(t.Tekst);
            oczekujTekstu = false;
        } else if (t.Rodzaj == rPrzypis && !oczekujTekstu && t.Tekst.empty()) {
            oczekujTekstu = true;
        } else {
            nie("pieces must alternate: text, mark, text, ..., text");
            break;
        }
    }
    if (seg.empty() || oczekujTekstu) {
        nie("a paragraph must end with a text piece");
        if (seg.empty())
            seg.push_back({});
        oczekujTekstu = false;
    }
    // As close as possible when the shape is wrong: the text pieces as
    // words, no marks.
    auto przyblizenie = [&] {
        std::string calosc;
        for (auto s : seg)
            calosc += s;
        Segment s = segment(calosc, wynik.linia.Naglowek ? Start::Naglowek : Start::Linia, true, 1);
        wynik.linia.Elementy = std::move(s.el);
        if (wynik.linia.Elementy.empty() && !wynik.linia.Naglowek)
            wynik.linia.Elementy.push_back(TElement::S(""));
        return wynik;
    };
    if (!wynik.ok)
        return przyblizenie();

    const std::size_t m = seg.size() - 1;   // marks
    // Marks after the last word: the segments after them are empty, but
    // for the last, which may hold the marks that follow directly.
    auto bezSlow = [](std::string_view s) {
        if (s.empty())
            return true;
        if (s.back() != ' ')
            return false;
        s.remove_suffix(1);
        return !s.empty() && s.find(' ') == std::string_view::npos &&
               std::all_of(s.begin(), s.end(),
                           [](char c) { return kodZnaku(static_cast<unsigned char>(c)) >= 0; });
    };
    std::size_t k0 = m + 1;   // first mark at the line end (1-based); m + 1: none
    if (m > 0 && bezSlow(seg[m])) {
        k0 = m;
        while (k0 > 1 && seg[k0 - 1].empty())
            --k0;
    }
    auto& el = wynik.linia.Elementy;
    for (std::size_t k = 0; k < k0; ++k) {
        Start start = k == 0 ? (wynik.linia.Naglowek ? Start::Naglowek : Start::Linia) : Start::Znacznik;
        const bool koniec = k + 1 == k0;
        Segment s = segment(seg[k], start, koniec, tryb);
        if (!s.ok)
            nie(s.blad);
        el.insert(el.end(), s.el.begin(), s.el.end());
        if (!koniec)
            el.push_back(TElement::P());
    }
    if (k0 <= m) {
        for (std::size_t k = k0; k <= m; ++k)
            el.push_back(TElement::P());
        std::string_view ost = seg[m];
        if (!ost.empty()) {
            // The decoder places them only after a single mark that stands
            // right after a punctuation mark.
            const std::size_t ile = m - k0 + 1;
            const std::size_t przed = el.size() - ile;
            if (ile != 1 || przed == 0 || el[przed - 1].Rodzaj != TElement::Znak) {
                nie("punctuation after a footnote mark at the end of a line needs exactly one mark "
                    "right after a punctuation mark");
            } else {
                ost.remove_suffix(1);
                for (char c : ost)
                    el.push_back(TElement::Z(std::uint8_t(kodZnaku(static_cast<unsigned char>(c)))));
            }
        }
    }
    if (!wynik.ok)
        return przyblizenie();
    if (!wynik.linia.Naglowek &&
        std::none_of(el.begin(), el.end(), [](const TElement& e) { return e.Rodzaj == TElement::Slowo; }))
        el.insert(el.begin(), TElement::S(""));
    // A line counts its marks in one byte: past that, punctuation stays
    // inside the words.
    if (tryb == 0 && std::count_if(el.begin(), el.end(), [](const TElement& e) {
                         return e.Rodzaj == TElement::Znak;
                     }) > 255)
        return kodujAkapit(w, 1);
    scalSlowaLinii(wynik.linia);
    return wynik;
}

LiniaKodu kodujLiniePrzypisu(const std::string& tekst, int tryb)
{
    LiniaKodu wynik;
    Segment s = segment(tekst, Start::Przypis, true, tryb);
    if (!s.ok) {
        wynik.ok = false;
        wynik.blad = s.blad;
        s = segment(" " + tekst, Start::Przypis, true, 1);
    }
    wynik.linia.Elementy = std::move(s.el);
    if (tryb == 0 && std::count_if(wynik.linia.Elementy.begin(), wynik.linia.Elementy.end(),
                                   [](const TElement& e) { return e.Rodzaj == TElement::Znak; }) > 255)
        return kodujLiniePrzypisu(tekst, 1);
    scalSlowaLinii(wynik.linia);
    return wynik;
}

// Keeps every distance within one byte: where more than 255 tokens would
// stand between two punctuation points, neighbouring words of one line are
// merged into one dictionary entry (the decoder gives the same text).
void scalDlugieOdcinki(std::vector<TLinia*>& linie)
{
    struct Miejsce {
        TLinia* l;
        std::size_t i;
    };
    std::vector<Miejsce> slowa;   // words since the last point
    std::int64_t odPunktu = 0;
    for (TLinia* l : linie) {
        if (l->Naglowek)
            ++odPunktu;
        auto& el = l->Elementy;
        for (std::size_t i = 0; i < el.size(); ++i) {
            if (el[i].Rodzaj == TElement::Znak) {
                if (i > 0 && el[i - 1].Rodzaj == TElement::Znak) {
                    continue;
                }
                // Merge pairs from the latest backwards until it fits.
                for (std::size_t j = slowa.size(); odPunktu > 255 && j-- > 1;) {
                    Miejsce a = slowa[j - 1], b = slowa[j];
                    if (a.l != b.l || b.i != a.i + 1)
                        continue;
                    auto& ea = a.l->Elementy[a.i];
                    auto& eb = b.l->Elementy[b.i];
                    if (ea.Tekst.size() + 1 + eb.Tekst.size() > 255 || eb.Rodzaj != TElement::Slowo)
                        continue;
                    ea.Tekst += ' ';
                    ea.Tekst += eb.Tekst;
                    a.l->Elementy.erase(a.l->Elementy.begin() + std::ptrdiff_t(b.i));
                    // Positions after the erased element shift by one.
                    for (std::size_t q = j + 1; q < slowa.size(); ++q)
                        if (slowa[q].l == a.l)
                            --slowa[q].i;
                    slowa.erase(slowa.begin() + std::ptrdiff_t(j));
                    if (a.l == l && b.i < i)
                        --i;
                    --odPunktu;
                    if (j > slowa.size())
                        j = slowa.size();
                }
                slowa.clear();
                odPunktu = 0;
            } else {
                ++odPunktu;
                if (el[i].Rodzaj == TElement::Slowo)
                    slowa.push_back({l, i});
            }
        }
    }
}

} // namespace

bool RozbierzListePrzypisow(const TListaNapisow& lista, std::vector<std::vector<std::string>>& przypisy)
{
    przypisy.clear();
    std::size_t i = 0;
    while (i < lista.size()) {
        if (!lista[i].empty() || i + 1 >= lista.size())
            return false;
        const std::string przedrostek = "(" + std::to_string(przypisy.size() + 1) + ") ";
        const std::string& pierwsza = lista[i + 1];
        if (pierwsza.compare(0, przedrostek.size(), przedrostek) != 0)
            return false;
        przypisy.emplace_back();
        przypisy.back().push_back(pierwsza.substr(przedrostek.size()));
        i += 2;
        while (i < lista.size() && !lista[i].empty())
            przypisy.back().push_back(lista[i++]);
    }
    return true;
}

TWynikKodowania KodujDokument(const TDokumentTekst& dokument, TBudowaSlownika& slownik)
{
    const std::size_t M = dokument.Akapity.size();
    std::vector<int> trybGlowny(M, 0);
    std::vector<std::vector<int>> trybPrzypisow(dokument.Przypisy.size());
    for (std::size_t p = 0; p < dokument.Przypisy.size(); ++p)
        trybPrzypisow[p].assign(dokument.Przypisy[p].size(), 0);

    TWynikKodowania wynik;
    for (int runda = 0; runda < 3; ++runda) {
        TDokumentElementy d;
        d.H = dokument.H;
        std::vector<TProblemKodowania> problemy;
        d.Glowne.reserve(M);
        for (std::size_t i = 0; i < M; ++i) {
            LiniaKodu l = kodujAkapit(dokument.Akapity[i], trybGlowny[i]);
            if (!l.ok)
                problemy.push_back({false, i, 0, l.blad});
            d.Glowne.push_back(std::move(l.linia));
        }
        for (std::size_t p = 0; p < dokument.Przypisy.size(); ++p) {
            d.Przypisy.emplace_back();
            for (std::size_t l = 0; l < dokument.Przypisy[p].size(); ++l) {
                LiniaKodu k = kodujLiniePrzypisu(dokument.Przypisy[p][l], trybPrzypisow[p][l]);
                if (!k.ok)
                    problemy.push_back({true, p, l, k.blad});
                d.Przypisy.back().push_back(std::move(k.linia));
            }
        }
        std::vector<TLinia*> linie;
        for (auto& l : d.Glowne)
            linie.push_back(&l);
        for (auto& p : d.Przypisy)
            for (auto& l : p)
                linie.push_back(&l);
        scalDlugieOdcinki(linie);

        // Trial on a private dictionary, so the shared one counts each use
        // once, in the final build below.
        TBudowaSlownika proba;
        TRekordDoZapisu rekord = ZbudujRekord(d, proba);
        const std::string bajty = ZapiszRekord(rekord);
        TListaNapisow tekst, lista;
        TPlik plik;
        DekodujRekord(bajty, proba.Slownik(), nullptr, tekst, lista, plik);
        std::vector<std::vector<std::string>> przypisy;
        RozbierzListePrzypisow(lista, przypisy);

        bool zmiana = false;
        auto znany = [&](bool wp, std::size_t a, std::size_t l) {
            return std::any_of(problemy.begin(), problemy.end(), [&](const TProblemKodowania& x) {
                return x.WPrzypisie == wp && x.Akapit == a && x.Linia == l;
            });
        };
        for (std::size_t i = 0; i < M; ++i) {
            if (i < plik.size() && plik[i] == dokument.Akapity[i])
                continue;
            if (trybGlowny[i] == 0) {
                trybGlowny[i] = 1;
                zmiana = true;
            } else if (!znany(false, i, 0)) {
                problemy.push_back({false, i, 0, "does not decode back to the same text"});
            }
        }
        for (std::size_t p = 0; p < dokument.Przypisy.size(); ++p) {
            for (std::size_t l = 0; l < dokument.Przypisy[p].size(); ++l) {
                if (p < przypisy.size() && l < przypisy[p].size() &&
                    przypisy[p][l] == dokument.Przypisy[p][l])
                    continue;
                if (trybPrzypisow[p][l] == 0) {
                    trybPrzypisow[p][l] = 1;
                    zmiana = true;
                } else if (!znany(true, p, l)) {
                    problemy.push_back({true, p, l, "does not decode back to the same text"});
                }
            }
        }
        if (!zmiana || runda == 2) {
            wynik.Rekord = ZbudujRekord(d, slownik);
            std::sort(problemy.begin(), problemy.end(),
                      [](const TProblemKodowania& a, const TProblemKodowania& b) {
                          return std::tie(a.WPrzypisie, a.Akapit, a.Linia) <
                                 std::tie(b.WPrzypisie, b.Akapit, b.Linia);
                      });
            wynik.Problemy = std::move(problemy);
            return wynik;
        }
    }
    return wynik;
}
