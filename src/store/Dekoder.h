#pragma once
// Internal to the store: the act-record header reader and the decoder's
// state machine, shared by whole-record decoding and by the decoding of
// chosen lines.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "store/Czytnik.h"
#include "store/Format.h"
#include "store/Pliki.h"

namespace odczyt {

struct Naglowek {
    TRekordDZU r;
    std::uint16_t F = 0;   // anchor record count as announced
    std::uint16_t B = 0;   // footnote block count as announced (0 when F = 0)
    std::size_t strumien = 0;
};

// Reads every field before the token stream; false only for a wrong magic.
bool czytajNaglowek(std::string_view rekord, Naglowek& n);

// The decoder of one act record. Wybiorczy = false decodes the whole record
// into paragraphs and lists. Wybiorczy = true runs the same state machine
// over the whole record but builds text only for the chosen lines (running
// line numbers, ascending): the other lines' words are skipped unread, which
// is what makes finding words in a large code cheap.
template <bool Wybiorczy>
class Dekoder {
public:
    Dekoder(const Naglowek& n, std::string_view rekord, const TSlownik& slownik)
        : r(n.r), F(n.F), B(n.B), strumien(rekord.substr(n.strumien)), slownik(slownik),
          bajty(BajtyIndeksu(n.r.Szerokosc)), Z(n.r.Znaki)
    {
        liczbaLinii = std::min(r.ZnakiWWierszu.size(), r.SlowaWWierszu.size());
        hPrim = r.H == 0 ? 0 : r.H - 1;
        dystans = (!Z.empty() && Z[0].Odstep != 0) ? 1 : 0;
        if constexpr (!Wybiorczy) {
            plik.emplace_back();
            // Reserve what the record announces, within what the bytes can hold.
            plik.reserve(std::min<std::size_t>(liczbaLinii + 1, 1u << 20));
        }
        bufor.reserve(256);
    }

    // Selective decoding: the chosen lines go to `wynik` in order.
    void dekodujLinie(const std::vector<std::size_t>& linie, std::vector<TLiniaRekordu>& wynik,
                      std::string_view ostatnieLitery, const std::vector<std::size_t>* tylkoPoczatki)
        requires Wybiorczy
    {
        ostatnie = ostatnieLitery;
        poczatki = tylkoPoczatki;
        wybrane = &linie;
        linieWynik = &wynik;
        ustawWybrana();
        wybierzKotwice();
        glowny = true;
        for (std::int64_t i = 0; i <= r.T && !wyczerpany && !gotowe();) {
            // A main-text line whose text is not wanted and that has no
            // footnote marks is skipped from its second token to the last
            // few, punctuation point by punctuation point; the last tokens
            // are replayed one by one for what the line's end carries over.
            if (tokenyWLinii >= 1 && !budowana && !aktywna) {
                const std::int64_t przewin = std::int64_t(slowaW(linia)) - tokenyWLinii - kOstatnieTokeny;
                if (przewin > 0 && przewin <= r.T + 1 - i && przewinTokeny(przewin)) {
                    i += przewin;
                    continue;
                }
            }
            iteracja();
            ++i;
        }
        numerZnacznika = 0;
        liniaPrzypisu = 0;
        if (F > 0 && B > 0 && !gotowe()) {
            glowny = false;
            // A main pass that ends inside a line leaves that line's buffer
            // to the first footnote line; its pieces, and words in them, stay
            // behind.
            for (auto& s : slowaLinii)
                s = s >= tekstLinii.size() ? std::uint32_t(s - tekstLinii.size()) : UINT32_MAX;
            tekstLinii.clear();
            rodzajLinii = rTekst;
            for (std::int64_t i = slowaPrzeczytane; i <= r.U && !wyczerpany && !gotowe(); ++i)
                iteracja();
        }
    }

    void dekoduj(TListaNapisow& tekst, TListaNapisow& przypisy)
        requires(!Wybiorczy)
    {
        tekst.clear();
        przypisy.clear();
        listaTekstu = &tekst;
        wybierzKotwice();

        glowny = true;
        for (std::int64_t i = 0; i <= r.T && !wyczerpany; ++i)
            iteracja();

        numerZnacznika = 0;
        liniaPrzypisu = 0;
        if (F > 0 && B > 0) {
            glowny = false;
            listaPrzypisow = &przypisy;
            for (std::int64_t i = slowaPrzeczytane; i <= r.U && !wyczerpany; ++i)
                iteracja();
        }
        if (!plik.empty())
            plik.pop_back();
    }

    TPlik plik;
    // Word indices beyond the dictionary among the words built (each read
    // as an empty word).
    std::uint64_t brakujaceSlowa = 0;

private:
    bool gotowe() const { return kursorWybranych >= wybrane->size(); }
    void ustawWybrana()
    {
        if constexpr (Wybiorczy) {
            while (kursorWybranych < wybrane->size() && (*wybrane)[kursorWybranych] < linia)
                ++kursorWybranych;
            wybrana = kursorWybranych < wybrane->size() && (*wybrane)[kursorWybranych] == linia;
            budowana = wybrana;
            obciety = false;
            tylkoPoczatek = false;
            if (poczatki && wybrana) {
                while (kursorPoczatkow < poczatki->size() && (*poczatki)[kursorPoczatkow] < linia)
                    ++kursorPoczatkow;
                tylkoPoczatek = kursorPoczatkow < poczatki->size() && (*poczatki)[kursorPoczatkow] == linia;
            }
            tekstLinii.clear();
            rodzajLinii = rTekst;
            slowaLinii.clear();
        }
    }
    // Skips `ile` word tokens of a main-text line without marks, inside the
    // line: the stream and the punctuation move on as iteracja would move
    // them, and the buffer is dropped (the last tokens of the line rebuild
    // what its end needs). False, doing nothing, when the stream is short.
    static constexpr std::int64_t kOstatnieTokeny = 1;
    bool przewinTokeny(std::int64_t ile)
    {
        if (bajty == 0 || std::uint64_t(strumien.size() - pozycja) < std::uint64_t(ile) * std::uint64_t(bajty))
            return false;
        pozycja += std::size_t(ile) * std::size_t(bajty);
        slowaPrzeczytane += ile;
        tokenyWLinii += ile;
        tokenyRazem += ile;
        std::int64_t zostalo = ile;
        while (zostalo > 0) {
            // The next point is due when the distance reaches its Odstep.
            if (kursorZnakow >= Z.size() || Z[kursorZnakow].Odstep < dystans ||
                Z[kursorZnakow].Odstep - dystans + 1 > zostalo) {
                dystans += zostalo;
                break;
            }
            const std::int64_t krokow = Z[kursorZnakow].Odstep - dystans + 1;
            baza += Z[kursorZnakow].Odstep;
            while (kursorZnakow + 1 < Z.size() && Z[kursorZnakow + 1].Odstep == 0) {
                ++kursorZnakow;
                ++znakowWLinii;
            }
            ++kursorZnakow;
            ++znakowWLinii;
            dystans = 1;
            zostalo -= krokow;
        }
        bufor.clear();
        return true;
    }

    // Whether this line's text is being built.
    bool buduj() const { return !Wybiorczy || budowana; }
    // A piece of the current paragraph: kept as it is, or for a chosen line
    // only its text, joined.
    void dodajCzesc(TTekst t)
    {
        if constexpr (Wybiorczy)
            tekstLinii += t.Tekst;
        else
            plik.back().push_back(std::move(t));
    }

    // Per-line tables: an index beyond a table counts as a missing entry (0).
    std::uint8_t znakiW(std::size_t l) const { return l < liczbaLinii ? r.ZnakiWWierszu[l] : 0; }
    std::uint16_t slowaW(std::size_t l) const { return l < liczbaLinii ? r.SlowaWWierszu[l] : 0; }
    std::uint8_t artW(std::size_t l) const { return l < r.Art.size() ? r.Art[l] : 0; }

    void dopisz(const TZnak& z) { bufor.append(kody[z.Kod].Znaki); }

    void dopiszZOdstepami(const TZnak& z)
    {
        const TZnakKodu& k = kody[z.Kod];
        if (!k.SpacjaPrzed && !bufor.empty())
            bufor.pop_back();
        bufor.append(k.Znaki);
        if (k.SpacjaPo)
            bufor.push_back(' ');
    }

    void iteracja()
    {
        // Opening parenthesis due before the first token of a line.
        if (tokenyWLinii == 0 && kursorZnakow < Z.size() &&
            Z[kursorZnakow].Odstep + baza == tokenyRazem && Z[kursorZnakow].Kod == 7) {
            bufor.push_back('(');
            baza += Z[kursorZnakow].Odstep;
            ++kursorZnakow;
            ++znakowWLinii;
            dystans = 1;
        }

        std::uint8_t art = glowny ? artW(linia) : 0;
        if (glowny && tokenyWLinii == 0 && art != 0) {
            if (buduj()) {
                if constexpr (Wybiorczy) {
                    tekstLinii = SlowoNaglowka(art);
                    rodzajLinii = art;
                } else {
                    plik.back().clear();
                    dodajCzesc(TTekst{art, SlowoNaglowka(art)});
                }
            }
            bufor.assign(1, ' ');
        } else {
            if (!glowny && tokenyWLinii == 0)
                bufor.assign(1, ' ');
            znacznikiPrzed();
            czytajSlowo();
        }
        ++tokenyWLinii;
        ++tokenyRazem;

        if (kursorZnakow < Z.size() && Z[kursorZnakow].Odstep == dystans) {
            dopiszZOdstepami(Z[kursorZnakow]);
            while (kursorZnakow + 1 < Z.size() && Z[kursorZnakow + 1].Odstep == 0) {
                dopiszZOdstepami(Z[kursorZnakow + 1]);
                ++kursorZnakow;
                ++znakowWLinii;
            }
            ++kursorZnakow;
            baza += dystans;
            ++znakowWLinii;
            dystans = 0;
        }
        ++dystans;

        if (slowaW(linia) == tokenyWLinii)
            koniecLinii();
    }

    void czytajSlowo()
    {
        ++slowaPrzeczytane;
        if (bajty == 0) {
            // An unknown width reads nothing; the stream's size still bounds
            // the number of iterations so a damaged T cannot loop for ever.
            if (std::uint64_t(slowaPrzeczytane) >= strumien.size())
                wyczerpany = true;
            return;
        }
        if (strumien.size() - pozycja < std::size_t(bajty)) {
            // The stream ended early: an empty word, and the pass stops here.
            wyczerpany = true;
            if constexpr (Wybiorczy)
                if (budowana)
                    slowaLinii.push_back(std::uint32_t(tekstLinii.size() + bufor.size()));
            bufor.push_back(' ');
            return;
        }
        std::uint32_t indeks = 0;
        for (int i = 0; i < bajty; ++i)
            indeks |= std::uint32_t(static_cast<unsigned char>(strumien[pozycja + i])) << (8 * i);
        pozycja += bajty;
        if constexpr (Wybiorczy) {
            // A line wanted for its opening only stops being built after it.
            if (budowana && tylkoPoczatek && glowny && slowaLinii.size() >= kSlowaPoczatku) {
                tekstLinii += bufor;
                bufor.clear();
                budowana = false;
                obciety = true;
            }
            // A line whose text is not wanted keeps only what its end may
            // carry over to the next line: the punctuation after its last
            // word. Punctuation never takes away more than the space after
            // a word, so the word's last letter stands for the word.
            if (!budowana) {
                if (!ostatnie.empty()) {
                    if (indeks < ostatnie.size() && ostatnie[indeks] != '\0')
                        bufor.push_back(ostatnie[indeks]);
                } else if (indeks < slownik.size() && !slownik[indeks].Slowo.empty()) {
                    bufor.push_back(slownik[indeks].Slowo.back());
                }
                bufor.push_back(' ');
                if (bufor.size() > 4096)
                    bufor.erase(0, bufor.size() - 256);
                return;
            }
            slowaLinii.push_back(std::uint32_t(tekstLinii.size() + bufor.size()));
        }
        if (indeks < slownik.size())
            bufor.append(slownik[indeks].Slowo);
        else
            ++brakujaceSlowa;
        bufor.push_back(' ');
    }

    void uruchomZnaki()
    {
        if (kursorZnakow < Z.size() && Z[kursorZnakow].Odstep == dystans) {
            dopisz(Z[kursorZnakow]);
            while (kursorZnakow + 1 < Z.size() && Z[kursorZnakow + 1].Odstep == 0) {
                dopisz(Z[kursorZnakow + 1]);
                ++kursorZnakow;
                ++znakowWLinii;
            }
            ++kursorZnakow;
            ++znakowWLinii;
            dystans = 0;
        }
    }

    void postawZnacznik(bool przed)
    {
        ++kursorKotwicy;
        ++numerZnacznika;
        // The footnote pass adds no paragraphs, so its marks land in the
        // last paragraph, which the decoding drops at its end: they are not
        // kept at all (a damaged record can place thousands on every line).
        if (glowny && buduj()) {
            if constexpr (Wybiorczy) {
                tekstLinii += bufor;
            } else {
                dodajCzesc(TTekst{rTekst, bufor});
                dodajCzesc(TTekst{rPrzypis, {}});
            }
        } else if (!glowny) {
            zgubSlowa();
        }
        if (przed)
            bufor.assign(1, ' ');
        else
            bufor.clear();
        ++dystans;
        ++tokenyRazem;
    }

    // Punctuation standing right after the footnote marks just placed.
    void poZnacznikach(bool przed)
    {
        if (kursorZnakow >= Z.size())
            return;
        const std::uint8_t odstep = Z[kursorZnakow].Odstep;
        if (odstep == 1 || (przed && odstep == dystans - 1)) {
            if (odstep == 1)
                dystans = 1;
            else
                --dystans;
            if (przed && !bufor.empty())
                bufor.pop_back();
            uruchomZnaki();
            ++dystans;
            bufor.push_back(' ');
            baza += odstep;
        }
    }

    void znacznikiPrzed()
    {
        if (aktywna && kursorKotwicy < aktywna->Miejsca.size() &&
            aktywna->Miejsca[kursorKotwicy] == tokenyWLinii) {
            postawZnacznik(true);
            poZnacznikach(true);
        }
    }

    void znacznikiPo()
    {
        if (!aktywna || kursorKotwicy >= aktywna->Miejsca.size())
            return;
        if (glowny) {
            while (kursorKotwicy < aktywna->Miejsca.size())
                postawZnacznik(false);
        } else {
            // In the footnote pass the record of the first footnote line
            // stays active on every line; its marks are counted, not placed
            // one by one.
            const std::size_t ile = aktywna->Miejsca.size() - kursorKotwicy;
            kursorKotwicy = aktywna->Miejsca.size();
            numerZnacznika += std::int64_t(ile);
            dystans += std::int64_t(ile);
            tokenyRazem += std::int64_t(ile);
            bufor.clear();
            zgubSlowa();
        }
        poZnacznikach(false);
    }

    // The first record at or after the cursor whose line is this line. The
    // records are indexed by line once, so a long text with many anchors
    // does not rescan the remaining records at every line.
    void wybierzKotwice()
    {
        aktywna = nullptr;
        if (r.Przypisy.empty() || linia > 0xFFFF)
            return;
        if (kotwice.empty()) {
            kotwice.reserve(r.Przypisy.size());
            for (std::size_t i = 0; i < r.Przypisy.size(); ++i)
                kotwice.emplace_back(r.Przypisy[i].NumerWiersza, i);
            std::sort(kotwice.begin(), kotwice.end());
        }
        const auto it = std::lower_bound(kotwice.begin(), kotwice.end(),
                                         std::make_pair(std::uint16_t(linia), kursorRekordow));
        if (it != kotwice.end() && it->first == linia) {
            aktywna = &r.Przypisy[it->second];
            kursorRekordow = it->second + 1;
        }
    }

    void koniecLinii()
    {
        const std::uint8_t znakiLinii = znakiW(linia);
        std::int64_t nadmiar = 0;
        if (znakowWLinii > 0 && znakiLinii > 0 && znakiLinii < znakowWLinii)
            nadmiar = znakowWLinii - znakiLinii;

        const std::size_t n = std::min<std::size_t>(std::size_t(nadmiar) + 1, bufor.size());
        przeniesienie.clear();
        for (std::size_t i = bufor.size() - n; i < bufor.size(); ++i)
            if (bufor[i] != ' ')
                przeniesienie.push_back(bufor[i]);
        bufor.resize(bufor.size() - n);

        znacznikiPo();

        if (F > 0 && znakiLinii > znakowWLinii) {
            const std::int64_t roznica = znakiLinii - znakowWLinii;
            --dystans;
            for (std::int64_t i = 0; i < roznica; ++i)
                uruchomZnaki();
            ++dystans;
        }

        if (glowny) {
            if constexpr (Wybiorczy) {
                if (wybrana) {
                    if (!obciety)
                        tekstLinii += bufor;
                    oddajLinie(false, akapity - 1, 0);
                }
            } else {
                plik.back().push_back(TTekst{rTekst, bufor});
                if (std::int64_t(linia) > hPrim)
                    listaTekstu->emplace_back();
            }
            bufor.clear();
            tokenyWLinii = 0;
            kursorKotwicy = 0;
            znakowWLinii = 0;
            bufor = przeniesienie;
            ++linia;
            wybierzKotwice();
            if (linia < liczbaLinii) {
                if constexpr (Wybiorczy)
                    ++akapity;
                else
                    plik.emplace_back();
            }
            ustawWybrana();
        } else {
            if constexpr (Wybiorczy) {
                const std::size_t indeks = wierszePrzypisow + (liniaPrzypisu == 0 ? 1 : 0);
                wierszePrzypisow += liniaPrzypisu == 0 ? 2 : 1;
                if (wybrana) {
                    std::string s;
                    if (liniaPrzypisu == 0)
                        s = "(" + std::to_string(numerZnacznika + 1) + ") ";
                    const std::size_t przedrostek = s.size();
                    s += bufor;
                    tekstLinii = std::move(s);
                    oddajLinie(true, indeks, przedrostek);
                }
            } else {
                if (numerZnacznika >= 515)
                    std::this_thread::yield();
                if (liniaPrzypisu == 0) {
                    listaPrzypisow->emplace_back();
                    std::string s = "(" + std::to_string(numerZnacznika + 1) + ") ";
                    s += bufor;
                    listaPrzypisow->push_back(std::move(s));
                } else {
                    listaPrzypisow->push_back(bufor);
                }
            }
            tokenyWLinii = 0;
            kursorKotwicy = 0;
            znakowWLinii = 0;
            bufor = przeniesienie;
            ++linia;
            if (numerZnacznika >= 0 && std::uint64_t(numerZnacznika) < r.Bloki.size() &&
                r.Bloki[std::size_t(numerZnacznika)] == liniaPrzypisu) {
                ++numerZnacznika;
                liniaPrzypisu = 0;
            } else {
                ++liniaPrzypisu;
            }
            ustawWybrana();
        }
    }

    // The footnote pass throws the buffer away at marks: the words read so
    // far in the line are not in its text.
    void zgubSlowa()
    {
        if constexpr (Wybiorczy)
            for (auto& s : slowaLinii)
                s = UINT32_MAX;
    }

    // Hands the chosen line just ended to the caller. Footnote lines get
    // the number prefix, which moves their words.
    void oddajLinie(bool przypis, std::size_t indeks, std::size_t przesuniecie)
    {
        if constexpr (Wybiorczy) {
            TLiniaRekordu l;
            l.Linia = linia;
            l.Przypis = przypis;
            l.Indeks = indeks;
            l.NumerPrzypisu = przypis ? std::size_t(numerZnacznika + 1) : 0;
            l.Rodzaj = rodzajLinii;
            l.TylkoPoczatek = obciety;
            l.Tekst = std::move(tekstLinii);
            l.Slowa = std::move(slowaLinii);
            for (auto& s : l.Slowa)
                s += std::uint32_t(przesuniecie);
            linieWynik->push_back(std::move(l));
            tekstLinii.clear();
            rodzajLinii = rTekst;
            slowaLinii.clear();
            ++kursorWybranych;
        }
    }

    const TRekordDZU& r;
    const std::uint16_t F;
    const std::uint16_t B;
    const std::string_view strumien;
    const TSlownik& slownik;
    const int bajty;
    const TZnaki& Z;
    const TZnakKodu* const kody = &ZnakKodu(0);   // the table of all 256 codes
    std::size_t liczbaLinii = 0;
    std::int64_t hPrim = 0;

    std::string bufor;
    std::string przeniesienie;
    std::size_t pozycja = 0;           // in the token stream
    bool wyczerpany = false;
    bool glowny = true;
    std::size_t linia = 0;
    std::int64_t tokenyWLinii = 0;
    std::int64_t tokenyRazem = 0;
    std::size_t kursorZnakow = 0;
    std::int64_t dystans = 0;
    std::int64_t baza = 0;
    std::int64_t znakowWLinii = 0;
    std::int64_t slowaPrzeczytane = 0;
    std::size_t kursorRekordow = 0;
    const TPrzypis* aktywna = nullptr;
    std::size_t kursorKotwicy = 0;
    std::int64_t numerZnacznika = 0;
    std::int64_t liniaPrzypisu = 0;
    TListaNapisow* listaTekstu = nullptr;
    TListaNapisow* listaPrzypisow = nullptr;
    std::vector<std::pair<std::uint16_t, std::size_t>> kotwice;   // (line, record index), sorted

    // Selective decoding only.
    const std::vector<std::size_t>* wybrane = nullptr;
    std::vector<TLiniaRekordu>* linieWynik = nullptr;
    std::string_view ostatnie;            // last letter of each word, when given
    std::size_t kursorWybranych = 0;
    bool wybrana = false;                 // this line goes to the caller
    bool budowana = false;                // this line's text is built
    // Lines wanted for their opening words only, and where they stand.
    static constexpr std::size_t kSlowaPoczatku = 6;
    const std::vector<std::size_t>* poczatki = nullptr;
    std::size_t kursorPoczatkow = 0;
    bool tylkoPoczatek = false;           // this line is one of them
    bool obciety = false;                 // ... and its building has stopped
    std::string tekstLinii;               // the chosen line being built, its pieces joined
    std::uint8_t rodzajLinii = rTekst;    // ... and the kind of its first piece
    std::vector<std::uint32_t> slowaLinii;
    std::size_t akapity = 1;              // paragraphs made so far
    std::size_t wierszePrzypisow = 0;     // strings of the footnote list so far
};
} // namespace odczyt
