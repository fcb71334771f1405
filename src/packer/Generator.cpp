#include "packer/Generator.h"

#include "packer/Source.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <tuple>

namespace packer {
namespace {

// splitmix64: small, fast and the same everywhere (the standard library's
// distributions are not), so a seed names one text on every machine.
class Random {
public:
    explicit Random(std::uint64_t seed) : FState(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t next()
    {
        std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool percent(int p) { return below(100) < p; }
    template <std::size_t N> const char* pick(const std::array<const char*, N>& a) { return a[below(N)]; }

private:
    std::uint64_t FState;
};

constexpr std::array<const char*, 48> kSyllables = {
    "ka", "ro", "wa", "nie", "praw", "sąd", "czy", "ło", "ści", "szy", "dzie", "go", "mi", "sta", "ży", "źró",
    "ko", "dek", "su", "ją", "cej", "wy", "pła", "ta", "zo", "bo", "wią", "za", "nia", "rę", "ob", "le",
    "gał", "śnie", "mo", "kra", "tów", "pod", "ję", "cie", "umo", "wo", "ńczy", "prze", "stę", "żą", "dów", "ół"};

constexpr std::array<const char*, 40> kFunctionWords = {
    "w", "z", "i", "na", "do", "o", "od", "przez", "się", "jest", "lub", "oraz", "który", "która", "które",
    "nie", "może", "ustawy", "przepisy", "stosuje", "odpowiednio", "sąd", "strona", "terminie", "sprawie",
    "jeżeli", "albo", "także", "przepisu", "art.", "ust.", "pkt", "dnia", "osoba", "prawo", "organ",
    "wniosek", "umowy", "mowa", "wyłącznie"};

constexpr std::array<const char*, 12> kMonths = {"stycznia", "lutego", "marca", "kwietnia", "maja", "czerwca",
                                                  "lipca", "sierpnia", "września", "października", "listopada",
                                                  "grudnia"};

std::string roman(int n)
{
    static const std::array<std::pair<int, const char*>, 13> parts = {{{1000, "M"}, {900, "CM"}, {500, "D"},
                                                                        {400, "CD"}, {100, "C"}, {90, "XC"},
                                                                        {50, "L"}, {40, "XL"}, {10, "X"},
                                                                        {9, "IX"}, {5, "V"}, {4, "IV"}, {1, "I"}}};
    std::string s;
    for (const auto& [v, r] : parts)
        while (n >= v) {
            s += r;
            n -= v;
        }
    return s;
}

struct Ref {
    int year;
    int numer;
    int pozycja;
};

std::vector<Ref> refPool(std::uint64_t seed, int count)
{
    Random r(seed ^ 0x5EEDull);
    std::vector<Ref> refs;
    for (int i = 0; i < count; ++i) {
        const int year = r.between(1990, 2019);
        refs.push_back({year, year >= 2012 ? 0 : r.between(1, 250), r.between(1, 2400)});
    }
    return refs;
}

class Writer {
public:
    Writer(std::uint64_t seed, std::vector<Ref> refs) : R(seed), Refs(std::move(refs)) {}

    std::string word()
    {
        if (R.percent(40))
            return R.pick(kFunctionWords);
        std::string w;
        const int n = R.between(1, 4);
        for (int i = 0; i < n; ++i)
            w += R.pick(kSyllables);
        return w;
    }

    // A sentence of plain words with the punctuation legal texts use; marks
    // inside it are added by the caller through `mark`.
    std::string sentence(int minWords, int maxWords, bool allowMark)
    {
        std::string s;
        const int n = R.between(minWords, maxWords);
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                s += ' ';
            const int shape = R.below(100);
            std::string w = word();
            if (shape < 3)
                w = "„" + w + "”";
            else if (shape < 5)
                w = "(" + w + ")";
            else if (shape < 6)
                w = std::to_string(R.between(1, 999)) + "%";
            else if (shape < 7)
                w = "–";
            s += w;
            if (allowMark && i + 1 < n && R.percent(1))
                s += mark();
            if (i + 1 < n && R.percent(9))
                s += ',';
        }
        return s;
    }

    std::string mark()
    {
        ++Marks;
        Footnotes.push_back(footnote());
        return "[^" + std::to_string(Marks) + "]";
    }

    std::string citation()
    {
        std::string s = "Dz. U.";
        const int n = R.between(1, 3);
        int lastYear = -1;
        for (int i = 0; i < n; ++i) {
            const Ref& ref = Refs[static_cast<std::size_t>(R.below(static_cast<int>(Refs.size())))];
            if (i > 0)
                s += i + 1 == n ? " i" : ",";
            if (ref.year != lastYear)
                s += " z " + std::to_string(ref.year) + " r.";
            lastYear = ref.year;
            if (ref.numer > 0)
                s += " Nr " + std::to_string(ref.numer) + ",";
            s += " poz. " + std::to_string(ref.pozycja);
        }
        return s;
    }

    // A reference as consolidated codes write them: to the code's own
    // units (up to `article`), to another code, or to another act through
    // its citation.
    std::string reference(int article)
    {
        const auto nr = [&] { return std::to_string(R.between(1, std::max(1, article))); };
        switch (R.below(12)) {
        case 0:
        case 1:
            return "art. " + nr();
        case 2:
            return "art. " + nr() + " § " + std::to_string(R.between(1, 4));
        case 3:
            return "art. " + nr() + "–" + nr();
        case 4:
            return "art. " + nr() + " i " + nr();
        case 5:
            return "art. " + nr() + " § " + std::to_string(R.between(1, 3)) + " pkt " + std::to_string(R.between(1, 5));
        case 6:
            return "w art. " + nr() + " w § 2 pkt " + std::to_string(R.between(1, 4));
        case 7:
            return "art. " + std::to_string(R.between(1, 900)) + " k.c.";
        case 8:
            return "art. " + std::to_string(R.between(1, 400)) + " § 1 Kodeksu postępowania cywilnego";
        case 9:
            return "art. " + std::to_string(R.between(1, 300)) + " ustawy z dnia 6 czerwca 1997 r. – Kodeks karny";
        case 10:
            return "art. " + std::to_string(R.between(1, 60)) + " ust. " + std::to_string(R.between(1, 5)) +
                   " ustawy z dnia " + std::to_string(R.between(1, 28)) + " " + R.pick(kMonths) + " " +
                   std::to_string(R.between(1990, 2011)) + " r. o " + word() + " " + word() + " (" + citation() + ")";
        default:
            return "ustawy z dnia " + std::to_string(R.between(1, 28)) + " " + R.pick(kMonths) + " 2019 r. o " +
                   word() + " (Dz. U. poz. " + std::to_string(R.between(1, 2400)) + ")";
        }
    }

    std::string footnote()
    {
        std::string s;
        switch (R.below(3)) {
        case 0:
            s = "Zmiany tekstu jednolitego wymienionej ustawy zostały ogłoszone w " + citation() + ".";
            break;
        case 1:
            s = "W brzmieniu ustalonym przez art. " + std::to_string(R.between(1, 40)) + " ustawy z dnia " +
                std::to_string(R.between(1, 28)) + " " + R.pick(kMonths) + " " + std::to_string(R.between(1990, 2011)) +
                " r. o zmianie ustawy (" + citation() + ").";
            break;
        default:
            s = "Uchylony przez art. " + std::to_string(R.between(1, 12)) + " pkt " +
                std::to_string(R.between(1, 9)) + " ustawy, o której mowa w odnośniku, (" + citation() + ").";
            break;
        }
        if (R.percent(20))
            s += "\n    " + sentence(4, 12, false) + ".";
        return s;
    }

    Random R;
    std::vector<Ref> Refs;
    int Marks = 0;
    std::vector<std::string> Footnotes;
};

std::string upperCase(const std::string& s)
{
    // Headings are upper-cased through Windows-1250, where the capitals of
    // the Polish letters stand at fixed distances from the small ones.
    std::string cp = cp1250::fromUtf8(s);
    for (char& c : cp) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 'a' && b <= 'z')
            c = static_cast<char>(b - 32);
        else if (b == 0xB9 || b == 0xB3 || b == 0xBF || b == 0x9C || b == 0x9F)
            c = static_cast<char>(b == 0xB9 ? 0xA5 : b == 0xB3 ? 0xA3 : b == 0xBF ? 0xAF : b - 0x10);
        else if (b >= 0xE0 && b != 0xFF)
            c = static_cast<char>(b - 0x20);
    }
    return cp1250::toUtf8(cp);
}

std::string generateWithPool(const GeneratorOptions& o, std::vector<Ref> pool)
{
    Writer w(o.seed, std::move(pool));
    const int code = o.code < 0 || o.code >= kLiczbaKodeksow ? 0 : o.code;
    const std::string title = cp1250::toUtf8(TytulKodeksu(code));
    std::string out = title + "\n\n";
    out += "Tekst syntetyczny, wygenerowany do prób – nie jest to prawo obowiązujące.\n";
    out += "USTAWA\n";
    out += "z dnia " + std::to_string(w.R.between(1, 28)) + " " + w.R.pick(kMonths) + " " +
           std::to_string(w.R.between(1950, 2005)) + " r.\n";
    out += upperCase(title) + "\n";
    std::size_t lines = 4;
    std::size_t footnoteBytes = 0;
    int article = 0;
    std::array<int, 5> counters{};
    const std::array<const char*, 5> levels = {"KSIĘGA", "TYTUŁ", "DZIAŁ", "Rozdział", "Oddział"};
    auto full = [&] { return out.size() + footnoteBytes >= o.targetBytes || lines + 12 >= o.maxLines; };

    while (!full()) {
        // Headings: deeper levels often, higher ones seldom.
        const int roll = w.R.below(100);
        int level = -1;
        if (article == 0 || roll < 2)
            level = article == 0 ? 0 : w.R.below(2);
        else if (roll < 6)
            level = 2;
        else if (roll < 14)
            level = 3;
        else if (roll < 18)
            level = 4;
        if (level >= 0) {
            ++counters[static_cast<std::size_t>(level)];
            for (std::size_t k = static_cast<std::size_t>(level) + 1; k < counters.size(); ++k)
                counters[k] = 0;
            const int n = counters[static_cast<std::size_t>(level)];
            std::string h = std::string(levels[static_cast<std::size_t>(level)]) + " " +
                            (level < 3 ? roman(n) : std::to_string(n));
            if (w.R.percent(o.footnotePercent))
                h += w.mark();
            out += h + "\n";
            std::string name = w.sentence(3, 6, false);
            out += (level < 3 ? upperCase(name) : name) + "\n";
            lines += 2;
        }
        ++article;
        std::string a = "Art. " + std::to_string(article) + ".";
        if (w.R.percent(3)) {
            a += " (uchylony)";
            if (w.R.percent(60))
                a += w.mark();
            out += a + "\n";
            ++lines;
            continue;
        }
        const int paragraphs = w.R.percent(50) ? 0 : w.R.between(2, 4);
        for (int p = 0; p <= paragraphs; ++p) {
            std::string l = p == 0 ? a : "§ " + std::to_string(p + 1) + ".";
            if (p == 0 && paragraphs > 0)
                l += " § 1.";
            const bool points = w.R.percent(15);
            l += " " + w.sentence(6, 28, true);
            // Most provisions of a consolidated code refer to others.
            if (w.R.percent(40))
                l += ", z uwzględnieniem " + w.reference(article) + ", " + w.sentence(2, 8, false);
            l += points ? ":" : ".";
            if (w.R.percent(o.footnotePercent))
                l += w.mark();
            out += l + "\n";
            ++lines;
            if (points) {
                const int k = w.R.between(2, 5);
                for (int i = 1; i <= k; ++i) {
                    out += std::to_string(i) + ") " + w.sentence(3, 12, true) + (i == k ? "." : ";") + "\n";
                    ++lines;
                }
            }
        }
        footnoteBytes = 0;
        for (const std::string& f : w.Footnotes)
            footnoteBytes += f.size() + 8;
    }
    for (std::size_t i = 0; i < w.Footnotes.size(); ++i)
        out += "\n[^" + std::to_string(i + 1) + "]: " + w.Footnotes[i] + "\n";
    return out;
}

} // namespace

std::string generateCode(const GeneratorOptions& options)
{
    return generateWithPool(options, refPool(options.seed, 64));
}

std::string generateAct(std::uint64_t seed, int year, int numer, int pozycja)
{
    Writer w(seed, refPool(seed, 8));
    std::string out = journalName(year, numer, pozycja) + "\n\n";
    out += "Tekst syntetyczny, wygenerowany do prób – nie jest to prawo obowiązujące.\n";
    out += "USTAWA\n";
    out += "z dnia " + std::to_string(w.R.between(1, 28)) + " " + w.R.pick(kMonths) + " " + std::to_string(year) +
           " r.\n";
    out += "o zmianie niektórych ustaw" + std::string(w.R.percent(50) ? w.mark() : "") + "\n";
    const int articles = w.R.between(2, 5);
    for (int a = 1; a <= articles; ++a) {
        if (a < articles) {
            out += "Art. " + std::to_string(a) + ". W ustawie z dnia " + std::to_string(w.R.between(1, 28)) + " " +
                   w.R.pick(kMonths) + " " + std::to_string(year - w.R.between(1, 30)) +
                   " r. wprowadza się następujące zmiany:\n";
            const int k = w.R.between(1, 3);
            for (int i = 1; i <= k; ++i)
                out += std::to_string(i) + ") w art. " + std::to_string(w.R.between(1, 400)) +
                       " § 2 otrzymuje brzmienie:\n„§ 2. " + w.sentence(5, 16, false) + ".”" +
                       (i == k ? "." : ";") + "\n";
        } else {
            out += "Art. " + std::to_string(a) + ". Ustawa wchodzi w życie po upływie 14 dni od dnia ogłoszenia.\n";
        }
    }
    for (std::size_t i = 0; i < w.Footnotes.size(); ++i)
        out += "\n[^" + std::to_string(i + 1) + "]: " + w.Footnotes[i] + "\n";
    return out;
}

std::vector<GeneratedFile> generateLibrary(std::size_t totalBytes, std::uint64_t seed, int codes, int acts)
{
    codes = std::max(1, std::min(codes, kLiczbaKodeksow));
    const std::vector<Ref> pool = refPool(seed, 64);
    std::vector<GeneratedFile> files;
    for (int c = 0; c < codes; ++c) {
        GeneratorOptions o;
        o.seed = seed + static_cast<std::uint64_t>(c) * 7919;
        o.code = c;
        o.targetBytes = totalBytes / static_cast<std::size_t>(codes);
        char name[32];
        std::snprintf(name, sizeof name, "kodeks-%02d.txt", c);
        files.push_back({name, generateWithPool(o, pool)});
    }
    // The first acts of the pool are present; the others stay cited only.
    std::vector<std::tuple<int, int, int>> done;
    for (int a = 0; a < acts && a < static_cast<int>(pool.size()); ++a) {
        const Ref& r = pool[static_cast<std::size_t>(a)];
        const auto key = std::make_tuple(r.year, r.numer, r.pozycja);
        if (std::find(done.begin(), done.end(), key) != done.end())
            continue;
        done.push_back(key);
        files.push_back({journalName(r.year, r.numer, r.pozycja) + ".txt",
                         generateAct(seed + 100 + static_cast<std::uint64_t>(a), r.year, r.numer, r.pozycja)});
    }
    return files;
}

bool writeGeneratedLibrary(const std::filesystem::path& folder, const std::vector<GeneratedFile>& files,
                           Problems& problems)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        problems.push_back({folder.string(), 0, 0, "is not a folder and cannot be created"});
        return false;
    }
    for (const GeneratedFile& f : files) {
        const auto path = folder / f.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(f.text.data(), static_cast<std::streamsize>(f.text.size()));
        out.close();
        if (!out) {
            problems.push_back({path.string(), 0, 0, "cannot be written"});
            return false;
        }
    }
    return true;
}

} // namespace packer
