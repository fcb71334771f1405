#include "reader/Rtf.h"

#include "platform/core/Cp1250.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>

namespace rtf {

namespace {

// Nesting beyond this depth is counted but keeps the state of the deepest
// stored group, so that hostile input cannot grow the stack without bound.
constexpr std::size_t MaksGlebokosc = 512;
// RTF control words have at most 32 letters; longer ones are damaged input.
constexpr std::size_t MaksDlugoscSlowa = 32;
// A parameter has at most 10 digits; it is clamped to a 32-bit range.
constexpr int MaksCyfr = 10;

// Where the text of a group goes.
enum class TCel {
    Tekst,            // the document's text
    TabelaCzcionek,   // \fonttbl
    TabelaKolorow,    // \colortbl
    InstrukcjaPola,   // \fldinst: the field's instruction
    Pomin,            // a destination that is not shown
};

struct TStan {
    TFormat Format;
    TWyrownanie Wyrownanie = TWyrownanie::Lewo;
    TCel Cel = TCel::Tekst;
    int Uc = 1;           // fallback characters that follow \uN
    int Pole = -1;        // index of the field whose group this is
    bool Ukryty = false;  // \v: hidden text, not shown
    bool Gwiazdka = false; // \* seen: an unknown destination that follows is dropped
};

bool litera(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool cyfra(char c) { return c >= '0' && c <= '9'; }

int wartoscHex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char malaAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool zaczynaSieOd(std::string_view tekst, std::size_t od, std::string_view prefiks)
{
    if (tekst.size() - od < prefiks.size())
        return false;
    for (std::size_t i = 0; i < prefiks.size(); ++i)
        if (malaAscii(tekst[od + i]) != prefiks[i])
            return false;
    return true;
}

std::string przytnij(std::string s)
{
    const auto bialy = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && bialy(s.back()))
        s.pop_back();
    std::size_t p = 0;
    while (p < s.size() && bialy(s[p]))
        ++p;
    return s.substr(p);
}

// The target of a HYPERLINK field instruction: the first argument that is
// not a switch. A switch \l names a bookmark in the document itself, which
// this reader cannot jump to; such a field gives no link.
std::string celHiperlacza(const std::string& instrukcja)
{
    const std::string s = przytnij(instrukcja);
    const std::string_view slowo = "hyperlink";
    if (!zaczynaSieOd(s, 0, slowo))
        return {};
    std::size_t p = slowo.size();
    if (p < s.size() && s[p] != ' ' && s[p] != '\t' && s[p] != '"')
        return {};
    bool lokalny = false;
    while (p < s.size()) {
        while (p < s.size() && (s[p] == ' ' || s[p] == '\t'))
            ++p;
        if (p >= s.size())
            break;
        std::string argument;
        if (s[p] == '"') {
            const std::size_t koniec = s.find('"', p + 1);
            argument = s.substr(p + 1, koniec == std::string::npos ? std::string::npos : koniec - p - 1);
            p = koniec == std::string::npos ? s.size() : koniec + 1;
        } else {
            const std::size_t koniec = s.find_first_of(" \t", p);
            argument = s.substr(p, koniec == std::string::npos ? std::string::npos : koniec - p);
            p = koniec == std::string::npos ? s.size() : koniec;
            if (argument.size() >= 2 && argument[0] == '\\') {
                const char przelacznik = malaAscii(argument[1]);
                if (przelacznik == 'l')
                    lokalny = true;
                // \o and \t take an argument of their own (a tip, a frame).
                if (przelacznik == 'o' || przelacznik == 't' || przelacznik == 'l') {
                    while (p < s.size() && (s[p] == ' ' || s[p] == '\t'))
                        ++p;
                    if (p < s.size() && s[p] == '"') {
                        const std::size_t k = s.find('"', p + 1);
                        p = k == std::string::npos ? s.size() : k + 1;
                    } else {
                        const std::size_t k = s.find_first_of(" \t", p);
                        p = k == std::string::npos ? s.size() : k;
                    }
                }
                continue;
            }
        }
        argument = przytnij(argument);
        if (!argument.empty())
            return lokalny ? std::string() : argument;
    }
    return {};
}

// Destinations whose text is not part of the document.
bool pomijanyCel(std::string_view slowo)
{
    static constexpr std::array<std::string_view, 37> pomijane = {
        "annotation", "atnid", "author", "bkmkend", "bkmkstart", "colorschememapping", "comment",
        "datastore", "docvar", "filetbl", "fldtype", "footer", "footerf", "footerl", "footerr",
        "footnote", "generator", "header", "headerf", "headerl", "headerr", "info", "latentstyles",
        "listoverridetable", "listtable", "nonshppict", "object", "operator", "pgdsctbl", "pict",
        "revtbl", "rsidtbl", "shp", "stylesheet", "themedata", "title", "xmlnstbl",
    };
    return std::find(pomijane.begin(), pomijane.end(), slowo) != pomijane.end();
}

bool slowoPodkreslenia(std::string_view slowo)
{
    static constexpr std::array<std::string_view, 17> podkreslenia = {
        "ul",       "uld",         "uldash",   "uldashd",    "uldashdd", "uldb",
        "ulhwave",  "ulldash",     "ulth",     "ulthd",      "ulthdash", "ulthdashd",
        "ulthdashdd", "ulthldash", "ululdbwave", "ulw",      "ulwave",
    };
    return std::find(podkreslenia.begin(), podkreslenia.end(), slowo) != podkreslenia.end();
}

class TCzytnik {
public:
    explicit TCzytnik(std::string_view dane) : FDane(dane) {}

    TDokument Czytaj()
    {
        FDok.Rtf = true;
        FStos.push_back(TStan{});
        while (FPoz < FDane.size()) {
            const char c = FDane[FPoz++];
            switch (c) {
            case '{':
                OtworzGrupe();
                break;
            case '}':
                ZamknijGrupe();
                break;
            case '\\':
                Sterowanie();
                break;
            case '\r':
            case '\n':
                break;
            default:
                Znak(c);
                break;
            }
        }
        ZakonczAkapit(false);
        return std::move(FDok);
    }

private:
    TStan& Stan() { return FStos.back(); }

    void OtworzGrupe()
    {
        ++FGlebokosc;
        if (FStos.size() < MaksGlebokosc) {
            TStan nowy = Stan();
            nowy.Gwiazdka = false;
            FStos.push_back(nowy);
        }
    }

    void ZamknijGrupe()
    {
        // A brace that closes more than was opened is damage; it is ignored.
        if (FGlebokosc == 0)
            return;
        if (FGlebokosc <= FStos.size() - 1) {
            const TStan zamykany = Stan();
            FStos.pop_back();
            if (zamykany.Cel == TCel::TabelaCzcionek && Stan().Cel != TCel::TabelaCzcionek)
                ZakonczCzcionke();
        }
        --FGlebokosc;
        FPominZastepcze = 0;
    }

    // A parameter of up to MaksCyfr digits with an optional minus sign.
    bool Parametr(long long& wartosc)
    {
        std::size_t p = FPoz;
        bool ujemny = false;
        if (p < FDane.size() && FDane[p] == '-' && p + 1 < FDane.size() && cyfra(FDane[p + 1])) {
            ujemny = true;
            ++p;
        }
        if (p >= FDane.size() || !cyfra(FDane[p]))
            return false;
        long long v = 0;
        int cyfr = 0;
        while (p < FDane.size() && cyfra(FDane[p])) {
            if (cyfr < MaksCyfr)
                v = v * 10 + (FDane[p] - '0');
            ++cyfr;
            ++p;
        }
        FPoz = p;
        v = ujemny ? -v : v;
        wartosc = std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::int32_t>::max());
        return true;
    }

    void Sterowanie()
    {
        if (FPoz >= FDane.size())
            return;
        const char c = FDane[FPoz];
        if (!litera(c)) {
            ++FPoz;
            Symbol(c);
            return;
        }
        std::string slowo;
        while (FPoz < FDane.size() && litera(FDane[FPoz])) {
            if (slowo.size() < MaksDlugoscSlowa)
                slowo += FDane[FPoz];
            ++FPoz;
        }
        long long parametr = 0;
        const bool maParametr = Parametr(parametr);
        if (FPoz < FDane.size() && FDane[FPoz] == ' ')
            ++FPoz;
        Slowo(slowo, maParametr, int(parametr));
    }

    void Symbol(char c)
    {
        switch (c) {
        case '\'': {
            int bajt = -1;
            if (FPoz + 1 < FDane.size()) {
                const int g = wartoscHex(FDane[FPoz]);
                const int d = wartoscHex(FDane[FPoz + 1]);
                if (g >= 0 && d >= 0)
                    bajt = g * 16 + d;
            }
            if (bajt < 0)
                return; // a broken escape: the characters after it are read as text
            FPoz += 2;
            Znak(char(bajt));
            return;
        }
        case '\\':
        case '{':
        case '}':
            Znak(c);
            return;
        case '~':
            Znak(char(0xA0));
            return;
        case '_':
            Znak('-');
            return;
        case '*':
            Stan().Gwiazdka = true;
            return;
        case '\r':
        case '\n':
            Slowo("par", false, 0);
            return;
        case '\t':
            Znak('\t');
            return;
        default:
            // \- (optional hyphen), \| and \: (formula and index marks), and
            // anything unknown.
            return;
        }
    }

    void Slowo(const std::string& slowo, bool maParametr, int parametr)
    {
        TStan& s = Stan();
        const bool gwiazdka = s.Gwiazdka;
        s.Gwiazdka = false;
        const bool wlacz = !maParametr || parametr != 0;

        // Destinations first: they change where the group's text goes.
        if (slowo == "fonttbl") {
            s.Cel = TCel::TabelaCzcionek;
            FNumerCzcionki = -1;
            FNazwaCzcionki.clear();
            return;
        }
        if (slowo == "colortbl") {
            s.Cel = TCel::TabelaKolorow;
            FKolor = {};
            FSkladowe = false;
            return;
        }
        if (slowo == "field") {
            FPola.emplace_back();
            s.Pole = int(FPola.size()) - 1;
            return;
        }
        if (slowo == "fldinst") {
            s.Cel = s.Pole >= 0 ? TCel::InstrukcjaPola : TCel::Pomin;
            return;
        }
        if (slowo == "fldrslt") {
            if (s.Cel == TCel::Pomin)
                return;
            s.Cel = TCel::Tekst;
            if (s.Pole >= 0) {
                // The instruction is read once, when the result first
                // starts; a field's link is fixed from then on, so repeated
                // results cost nothing more.
                TPole& pole = FPola[std::size_t(s.Pole)];
                if (!pole.Gotowe) {
                    std::string cel = celHiperlacza(pole.Instrukcja);
                    if (cel.size() <= MaksDlugoscLacza)
                        pole.Lacze = TLacze(std::move(cel));
                    std::string().swap(pole.Instrukcja);
                    pole.Gotowe = true;
                }
                if (!pole.Lacze.empty())
                    s.Format.Lacze = pole.Lacze;
            }
            return;
        }
        if (pomijanyCel(slowo)) {
            s.Cel = TCel::Pomin;
            return;
        }
        if (slowo == "bin") {
            // Binary data: its bytes are not text, whatever they hold.
            const std::size_t ile = maParametr && parametr > 0 ? std::size_t(parametr) : 0;
            FPoz += std::min(ile, FDane.size() - FPoz);
            return;
        }

        // A control word that is not known here starts, after \*, a
        // destination that is dropped whole.
        if (ObslugaZnanego(s, slowo, maParametr, parametr, wlacz))
            return;
        if (gwiazdka)
            s.Cel = TCel::Pomin;
    }

    // Formatting and special characters; false for an unknown word.
    bool ObslugaZnanego(TStan& s, const std::string& slowo, bool maParametr, int parametr, bool wlacz)
    {
        if (s.Cel == TCel::TabelaKolorow) {
            if (slowo == "red" || slowo == "green" || slowo == "blue") {
                const int v = std::clamp(parametr, 0, 255);
                const int r = slowo == "red" ? v : ColorR(FKolor.Wartosc);
                const int g = slowo == "green" ? v : ColorG(FKolor.Wartosc);
                const int b = slowo == "blue" ? v : ColorB(FKolor.Wartosc);
                FKolor.Wartosc = RGBColor(r, g, b);
                FKolor.Automatyczny = false;
                FSkladowe = true;
                return true;
            }
        }
        if (s.Cel == TCel::TabelaCzcionek && slowo == "f") {
            ZakonczCzcionke();
            FNumerCzcionki = maParametr ? parametr : 0;
            return true;
        }
        if (slowo == "par" || slowo == "sect" || slowo == "page" || slowo == "row") {
            if (s.Cel == TCel::Tekst)
                ZakonczAkapit(true);
            return true;
        }
        if (slowo == "line") {
            Znak('\n');
            return true;
        }
        if (slowo == "tab" || slowo == "cell") {
            Znak('\t');
            return true;
        }
        if (slowo == "pard") {
            s.Wyrownanie = TWyrownanie::Lewo;
            return true;
        }
        if (slowo == "ql" || slowo == "qc" || slowo == "qr" || slowo == "qj") {
            s.Wyrownanie = slowo == "qc"   ? TWyrownanie::Srodek
                           : slowo == "qr" ? TWyrownanie::Prawo
                           : slowo == "qj" ? TWyrownanie::Obustronnie
                                           : TWyrownanie::Lewo;
            return true;
        }
        if (slowo == "v") {
            s.Ukryty = wlacz;
            return true;
        }
        if (slowo == "plain") {
            s.Ukryty = false;
            TLacze lacze = std::move(s.Format.Lacze);
            s.Format = TFormat{};
            s.Format.Lacze = std::move(lacze);
            return true;
        }
        if (slowo == "b") {
            s.Format.Pogrubienie = wlacz;
            return true;
        }
        if (slowo == "i") {
            s.Format.Kursywa = wlacz;
            return true;
        }
        if (slowo == "ulnone") {
            s.Format.Podkreslenie = false;
            return true;
        }
        if (slowoPodkreslenia(slowo)) {
            s.Format.Podkreslenie = wlacz;
            return true;
        }
        if (slowo == "fs") {
            s.Format.RozmiarPolpunkty = maParametr ? std::clamp(parametr, 2, 3276) : 24;
            return true;
        }
        if (slowo == "f") {
            s.Format.Czcionka = maParametr ? std::max(parametr, 0) : 0;
            return true;
        }
        if (slowo == "cf") {
            s.Format.Kolor = maParametr ? std::max(parametr, 0) : 0;
            return true;
        }
        if (slowo == "deff") {
            FDok.DomyslnaCzcionka = maParametr ? std::max(parametr, 0) : 0;
            return true;
        }
        if (slowo == "uc") {
            s.Uc = maParametr ? std::clamp(parametr, 0, 16) : 1;
            return true;
        }
        if (slowo == "u") {
            Unikod(maParametr ? parametr : 0);
            return true;
        }
        static constexpr std::array<std::pair<std::string_view, unsigned char>, 9> znaki = {{
            {"emdash", 0x97}, {"endash", 0x96}, {"bullet", 0x95}, {"lquote", 0x91}, {"rquote", 0x92},
            {"ldblquote", 0x93}, {"rdblquote", 0x94}, {"emspace", ' '}, {"enspace", ' '},
        }};
        for (const auto& [nazwa, bajt] : znaki) {
            if (slowo == nazwa) {
                Znak(char(bajt));
                return true;
            }
        }
        static constexpr std::array<std::string_view, 14> znaneBezDzialania = {
            "rtf", "ansi", "ansicpg", "deflang", "fcharset", "fnil", "froman", "fswiss", "fmodern",
            "fscript", "fdecor", "ftech", "fprq", "viewkind",
        };
        return std::find(znaneBezDzialania.begin(), znaneBezDzialania.end(), slowo) != znaneBezDzialania.end();
    }

    // \uN: a signed 16-bit value (negative for the upper half), followed by
    // \uc fallback characters for readers without Unicode. A character that
    // Windows-1250 has replaces its fallback; one it lacks lets the
    // fallback show instead.
    void Unikod(int wartosc)
    {
        if (wartosc < 0)
            wartosc += 65536;
        bool ok = false;
        const unsigned char bajt =
            (wartosc > 0 && wartosc <= 0xFFFF) ? cp1250::fromUnicode(char32_t(wartosc), &ok) : '?';
        if (!ok) {
            FPominZastepcze = 0;
            return;
        }
        Znak(char(bajt));
        FPominZastepcze = Stan().Uc;
    }

    void Znak(char c)
    {
        if (FPominZastepcze > 0) {
            --FPominZastepcze;
            return;
        }
        TStan& s = Stan();
        switch (s.Cel) {
        case TCel::Tekst:
            if (s.Ukryty || (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n'))
                return;
            DodajDoAkapitu(c, s.Format);
            return;
        case TCel::TabelaCzcionek:
            if (c == ';')
                ZakonczCzcionke();
            else if (FNumerCzcionki >= 0)
                FNazwaCzcionki += c;
            return;
        case TCel::TabelaKolorow:
            if (c == ';') {
                FDok.Kolory.push_back(FSkladowe ? FKolor : TKolor{});
                FKolor = {};
                FSkladowe = false;
            }
            return;
        case TCel::InstrukcjaPola:
            if (s.Pole >= 0 && std::size_t(s.Pole) < FPola.size() && !FPola[std::size_t(s.Pole)].Gotowe)
                FPola[std::size_t(s.Pole)].Instrukcja += c;
            return;
        case TCel::Pomin:
            return;
        }
    }

    void DodajDoAkapitu(char c, const TFormat& f)
    {
        auto& fragmenty = FAkapit.Fragmenty;
        if (fragmenty.empty() || !(fragmenty.back().Format == f))
            fragmenty.push_back(TFragment{{}, f});
        fragmenty.back().Tekst += c;
    }

    void ZakonczCzcionke()
    {
        if (FNumerCzcionki >= 0 && !FDok.Czcionki.count(FNumerCzcionki))
            FDok.Czcionki.emplace(FNumerCzcionki, TCzcionka{FNumerCzcionki, przytnij(FNazwaCzcionki)});
        FNumerCzcionki = -1;
        FNazwaCzcionki.clear();
    }

    // `jawny`: a \par; the end of input closes a paragraph only when it
    // holds text.
    void ZakonczAkapit(bool jawny)
    {
        if (!jawny && FAkapit.Fragmenty.empty())
            return;
        FAkapit.Wyrownanie = Stan().Wyrownanie;
        OznaczAdresy(FAkapit);
        FDok.Akapity.push_back(std::move(FAkapit));
        FAkapit = TAkapit{};
    }

    std::string_view FDane;
    std::size_t FPoz = 0;
    std::vector<TStan> FStos;
    std::size_t FGlebokosc = 0;
    int FPominZastepcze = 0;
    TDokument FDok;
    TAkapit FAkapit;
    int FNumerCzcionki = -1;
    std::string FNazwaCzcionki;
    TKolor FKolor;
    bool FSkladowe = false;
    struct TPole {
        std::string Instrukcja;   // until its link is known
        TLacze Lacze;
        bool Gotowe = false;
    };
    std::vector<TPole> FPola;
};

TDokument czytajZwykly(std::string_view dane)
{
    TDokument dok;
    std::size_t p = 0;
    while (p <= dane.size()) {
        std::size_t koniec = dane.find('\n', p);
        if (koniec == std::string_view::npos)
            koniec = dane.size();
        std::string wiersz(dane.substr(p, koniec - p));
        if (!wiersz.empty() && wiersz.back() == '\r')
            wiersz.pop_back();
        std::erase_if(wiersz, [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
        const bool ostatni = koniec >= dane.size();
        if (!(ostatni && wiersz.empty())) {
            TAkapit a;
            if (!wiersz.empty())
                a.Fragmenty.push_back(TFragment{std::move(wiersz), TFormat{}});
            OznaczAdresy(a);
            dok.Akapity.push_back(std::move(a));
        }
        p = koniec + 1;
    }
    return dok;
}

bool znakAdresu(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && c != '<' && c != '>' && c != '"' && u != 0x7F && u < 0x80;
}

bool znakSlowa(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return cyfra(c) || litera(c) || u >= 0x80 || c == '.' || c == '@' || c == '/' || c == '_' || c == '-';
}

// The length of the web address that starts at `od`, or 0 when none does.
std::size_t dlugoscAdresu(std::string_view t, std::size_t od)
{
    if (od > 0 && znakSlowa(t[od - 1]))
        return 0;
    static constexpr std::array<std::string_view, 5> prefiksy = {"http://", "https://", "ftp://", "mailto:", "www."};
    std::size_t prefiks = 0;
    for (std::string_view p : prefiksy)
        if (zaczynaSieOd(t, od, p)) {
            prefiks = p.size();
            break;
        }
    if (prefiks == 0)
        return 0;
    std::size_t k = od + prefiks;
    while (k < t.size() && znakAdresu(t[k]))
        ++k;
    // Punctuation after an address ends the sentence, not the address.
    while (k > od + prefiks && std::string_view(".,;:!?')]}").find(t[k - 1]) != std::string_view::npos)
        --k;
    return k > od + prefiks ? k - od : 0;
}

} // namespace

std::string TAkapit::Tekst() const
{
    std::string wynik;
    for (const TFragment& f : Fragmenty)
        wynik += f.Tekst;
    return wynik;
}

const TCzcionka* TDokument::Czcionka(int numer) const
{
    const auto it = Czcionki.find(numer);
    return it == Czcionki.end() ? nullptr : &it->second;
}

const TKolor* TDokument::Kolor(int indeks) const
{
    if (indeks <= 0 || std::size_t(indeks) >= Kolory.size() || Kolory[std::size_t(indeks)].Automatyczny)
        return nullptr;
    return &Kolory[std::size_t(indeks)];
}

std::string TDokument::Tekst() const
{
    std::string wynik;
    for (std::size_t i = 0; i < Akapity.size(); ++i) {
        if (i > 0)
            wynik += '\n';
        wynik += Akapity[i].Tekst();
    }
    return wynik;
}

void OznaczAdresy(TAkapit& akapit)
{
    std::vector<TFragment> wynik;
    for (TFragment& f : akapit.Fragmenty) {
        if (!f.Format.Lacze.empty()) {
            wynik.push_back(std::move(f));
            continue;
        }
        const std::string_view t = f.Tekst;
        std::size_t poczatek = 0;
        for (std::size_t i = 0; i < t.size();) {
            const std::size_t n = dlugoscAdresu(t, i);
            if (n == 0) {
                ++i;
                continue;
            }
            if (n > MaksDlugoscLacza) {
                // Too long to be a link: it stays text, and the scan goes on
                // after it, not inside it.
                i += n;
                continue;
            }
            if (i > poczatek)
                wynik.push_back(TFragment{std::string(t.substr(poczatek, i - poczatek)), f.Format});
            TFragment adres{std::string(t.substr(i, n)), f.Format};
            adres.Format.Lacze = TLacze(adres.Tekst);
            wynik.push_back(std::move(adres));
            i += n;
            poczatek = i;
        }
        if (poczatek < t.size())
            wynik.push_back(TFragment{std::string(t.substr(poczatek)), f.Format});
    }
    akapit.Fragmenty = std::move(wynik);
}

TDokument Czytaj(std::string_view dane)
{
    std::size_t p = 0;
    // A byte-order mark or blank lines before the header are tolerated.
    if (dane.substr(0, 3) == "\xEF\xBB\xBF")
        p = 3;
    while (p < dane.size() && (dane[p] == ' ' || dane[p] == '\t' || dane[p] == '\r' || dane[p] == '\n'))
        ++p;
    if (dane.substr(p, 5) != "{\\rtf")
        return czytajZwykly(dane);
    return TCzytnik(dane.substr(p)).Czytaj();
}

bool CzytajPlik(const std::filesystem::path& sciezka, TDokument& dokument)
{
    dokument = TDokument{};
    std::ifstream plik(sciezka, std::ios::binary);
    if (!plik)
        return false;
    std::string dane((std::istreambuf_iterator<char>(plik)), std::istreambuf_iterator<char>());
    if (plik.bad())
        return false;
    dokument = Czytaj(dane);
    return true;
}

} // namespace rtf
