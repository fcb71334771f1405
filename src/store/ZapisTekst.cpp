// Writing the data files at the text level: the paragraphs and footnote
// lines the decoder should return are turned into elements, built into a
// record, decoded again, and lines that do not come back are coded more
// plainly or reported.
#include "store/Zapis.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "store/Pliki.h"

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
