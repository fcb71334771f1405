#include "packer/Source.h"

#include "packer/Punctuation.h"
#include "platform/core/Cp1250.h"
#include "store/Cytowania.h"
#include "store/Pliki.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <sstream>

namespace packer {

std::string Problem::toString() const
{
    std::string s = file;
    if (line > 0) {
        s += ':' + std::to_string(line);
        if (column > 0)
            s += ':' + std::to_string(column);
    }
    return s + ": " + message;
}

namespace {

// A line of text in Windows-1250 with the source column of every byte.
struct Text {
    std::string b;
    std::vector<int> col;

    void push(char c, int column)
    {
        b += c;
        col.push_back(column);
    }
    void append(const Text& t, std::size_t from, std::size_t to)
    {
        b.append(t.b, from, to - from);
        col.insert(col.end(), t.col.begin() + static_cast<std::ptrdiff_t>(from),
                   t.col.begin() + static_cast<std::ptrdiff_t>(to));
    }
    std::size_t size() const { return b.size(); }
    unsigned char at(std::size_t i) const { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0; }
    bool startsWith(std::size_t i, std::string_view s) const
    {
        return b.size() >= i + s.size() && std::string_view(b).substr(i, s.size()) == s;
    }
    int colAt(std::size_t i) const
    {
        if (i < col.size())
            return col[i];
        return col.empty() ? 1 : col.back() + 1;
    }
    void rstrip()
    {
        while (!b.empty() && b.back() == ' ') {
            b.pop_back();
            col.pop_back();
        }
    }
};

std::string hexCode(char32_t c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

// Code point -> Windows-1250 byte for the whole Basic Multilingual Plane;
// 0 where the code page has no such character.
const std::array<unsigned char, 0x10000>& reverseTable()
{
    static const std::unique_ptr<std::array<unsigned char, 0x10000>> table = [] {
        auto t = std::make_unique<std::array<unsigned char, 0x10000>>();
        t->fill(0);
        for (int b = 1; b < 256; ++b) {
            const char32_t c = cp1250::toUnicode(static_cast<unsigned char>(b));
            if (c < 0x10000)
                (*t)[c] = static_cast<unsigned char>(b);
        }
        return t;
    }();
    return *table;
}

class Reader {
public:
    Reader(const std::string& file, Problems& problems) : FFile(file), FProblems(problems) {}

    void error(int line, int column, std::string message)
    {
        FProblems.push_back({FFile, line, column, std::move(message)});
        ++FErrors;
    }
    int errors() const { return FErrors; }
    const std::string& file() const { return FFile; }

    // UTF-8 -> Windows-1250 with checks. Superscript digits become "^" and
    // the digits, the usual plain-text spelling of inserted units ("Art. 5^1").
    bool decode(std::string_view raw, int lineNo, Text& out)
    {
        const auto& rev = reverseTable();
        out = Text{};
        out.b.reserve(raw.size());
        out.col.reserve(raw.size());
        std::size_t i = 0;
        int column = 0;
        bool inSuperscript = false;
        while (i < raw.size()) {
            ++column;
            const auto b0 = static_cast<unsigned char>(raw[i]);
            char32_t c = 0;
            std::size_t len = 0;
            if (b0 < 0x80) {
                c = b0;
                len = 1;
            } else if (b0 >= 0xC2 && b0 <= 0xDF) {
                c = b0 & 0x1F;
                len = 2;
            } else if (b0 >= 0xE0 && b0 <= 0xEF) {
                c = b0 & 0x0F;
                len = 3;
            } else if (b0 >= 0xF0 && b0 <= 0xF4) {
                c = b0 & 0x07;
                len = 4;
            }
            bool valid = len > 0 && i + len <= raw.size();
            for (std::size_t k = 1; valid && k < len; ++k) {
                const auto bk = static_cast<unsigned char>(raw[i + k]);
                if ((bk & 0xC0) != 0x80)
                    valid = false;
                else
                    c = (c << 6) | (bk & 0x3F);
            }
            if (valid && ((len == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
                          (len == 4 && (c < 0x10000 || c > 0x10FFFF))))
                valid = false;
            if (!valid) {
                error(lineNo, column, "invalid UTF-8");
                return false;
            }
            i += len;
            const int sup = superscriptDigit(c);
            if (sup >= 0) {
                if (!inSuperscript)
                    out.push('^', column);
                out.push(static_cast<char>('0' + sup), column);
                inSuperscript = true;
                continue;
            }
            inSuperscript = false;
            if (c == '\t') {
                error(lineNo, column, "tab character (use spaces)");
                return false;
            }
            if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
                error(lineNo, column, "control character " + hexCode(c));
                return false;
            }
            const unsigned char byte = c < 0x10000 ? rev[c] : 0;
            if (byte == 0) {
                error(lineNo, column, "character " + hexCode(c) + " (" + std::string(raw.substr(i - len, len)) +
                                          ") is not in the Windows-1250 code page");
                return false;
            }
            out.push(static_cast<char>(byte), column);
        }
        return true;
    }

private:
    std::string FFile;
    Problems& FProblems;
    int FErrors = 0;
};

bool identityColumns(const std::vector<int>& col)
{
    for (std::size_t i = 0; i < col.size(); ++i)
        if (col[i] != static_cast<int>(i) + 1)
            return false;
    return true;
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return isDigit(static_cast<unsigned char>(c)); });
}

// "[^n]:" at the start of a line: the number, else -1.
int footnoteDefinition(const Text& t, std::size_t& textStart)
{
    if (!t.startsWith(0, "[^"))
        return -1;
    std::size_t j = 2;
    while (isDigit(t.at(j)))
        ++j;
    if (j == 2 || j - 2 > 6 || t.at(j) != ']' || t.at(j + 1) != ':')
        return -1;
    textStart = j + 2;
    return std::stoi(t.b.substr(2, j - 2));
}

std::size_t skipSpaces(const Text& t, std::size_t i)
{
    while (t.at(i) == ' ')
        ++i;
    return i;
}

// Digits at i (at most `maxLen`): their value, and i moved past them; -1 if none.
long readNumber(const Text& t, std::size_t& i, std::size_t maxLen = 9)
{
    std::size_t j = i;
    while (isDigit(t.at(j)) && j - i < maxLen + 1)
        ++j;
    if (j == i || j - i > maxLen || isDigit(t.at(j)))
        return -1;
    const long v = std::stol(t.b.substr(i, j - i));
    i = j;
    return v;
}

bool isRoman(std::string_view s)
{
    return !s.empty() && s.find_first_not_of("IVXLCDM") == std::string_view::npos;
}

// An article or unit number as written in headings: "5", "12a", "5^1", "IV".
bool isNumbering(std::string_view s)
{
    if (isRoman(s))
        return true;
    std::size_t i = 0;
    while (i < s.size() && isDigit(static_cast<unsigned char>(s[i])))
        ++i;
    if (i == 0)
        return false;
    if (i < s.size() && s[i] >= 'a' && s[i] <= 'z')
        ++i;
    if (i < s.size() && s[i] == '^') {
        const std::size_t k = ++i;
        while (i < s.size() && isDigit(static_cast<unsigned char>(s[i])))
            ++i;
        if (i == k)
            return false;
    }
    return i == s.size();
}

struct HeadingWord {
    std::uint8_t code;
    std::string word;
    std::string folded;
};

const std::vector<HeadingWord>& headingWords()
{
    static const std::vector<HeadingWord> words = [] {
        std::vector<HeadingWord> v;
        for (int code = 1; code < 256; ++code) {
            const std::string& w = SlowoNaglowka(static_cast<std::uint8_t>(code));
            if (!w.empty())
                v.push_back({static_cast<std::uint8_t>(code), w, foldWord(w)});
        }
        // Longest first, so that a word that begins another is tried last.
        std::stable_sort(v.begin(), v.end(),
                         [](const HeadingWord& a, const HeadingWord& b) { return a.word.size() > b.word.size(); });
        return v;
    }();
    return words;
}

std::string listHeadingWords()
{
    std::string s;
    for (int code = 1; code < 256; ++code) {
        const std::string& w = SlowoNaglowka(static_cast<std::uint8_t>(code));
        if (w.empty())
            continue;
        if (!s.empty())
            s += ", ";
        s += cp1250::toUtf8(w);
    }
    return s;
}

class BodyParser {
public:
    BodyParser(Reader& r, SourceDocument& doc) : R(r), D(doc) {}

    // One body line (already decoded, trailing spaces removed).
    void line(Text t, int lineNo)
    {
        bool escaped = false;
        if (t.at(0) == '\\') {
            escaped = true;
            t.b.erase(0, 1);
            t.col.erase(t.col.begin());
        }
        if (!extractMarks(t, lineNo) || !canonicalMarks(t, lineNo)) {
            marksBroken = true;
            return;
        }
        std::uint8_t heading = 0;
        if (!escaped && t.at(0) == ' ') {
            // Spaces before a heading word (text pasted from a PDF, an
            // indented source) do not make the line plain text: it is
            // classified without them, and a heading line drops them.
            Text stripped;
            stripped.append(t, skipSpaces(t, 0), t.size());
            if (!detectHeading(stripped, lineNo, heading))
                return;
            if (heading != 0)
                t = std::move(stripped);
        } else if (!escaped && !detectHeading(t, lineNo, heading)) {
            return;
        }
        SourceLine out;
        out.text = std::move(t.b);
        if (!identityColumns(t.col))
            out.columns = std::move(t.col);
        out.heading = heading;
        out.sourceLine = lineNo;
        D.body.push_back(std::move(out));
    }

    bool marksBroken = false; // a line's marks could not be read: no cross-checks then

    struct MarkRef {
        int number;
        int line;
        int column;
    };
    std::vector<MarkRef> marks;

private:
    bool extractMarks(Text& t, int lineNo)
    {
        Text out;
        std::size_t i = 0;
        while (i < t.size()) {
            if (t.startsWith(i, "[^")) {
                std::size_t j = i + 2;
                while (isDigit(t.at(j)))
                    ++j;
                if (j == i + 2 || t.at(j) != ']' || j - i - 2 > 6) {
                    R.error(lineNo, t.colAt(i), "malformed footnote mark (expected [^number])");
                    return false;
                }
                const int n = std::stoi(t.b.substr(i + 2, j - i - 2));
                const int expected = static_cast<int>(marks.size()) + 1;
                if (n != expected) {
                    R.error(lineNo, t.colAt(i),
                            "footnote mark [^" + std::to_string(n) + "] out of order: expected [^" +
                                std::to_string(expected) + "] (marks are numbered in order of appearance)");
                    return false;
                }
                marks.push_back({n, lineNo, t.colAt(i)});
                out.push(kMark, t.colAt(i));
                i = j + 1;
                continue;
            }
            out.push(t.b[i], t.col[i]);
            ++i;
        }
        t = std::move(out);
        return true;
    }

    // A mark followed by more text on its line always has one space before
    // it (none at the very start of a line) and one space after it, or after
    // the closing punctuation that follows it directly: that is the only
    // spacing the packed form can give back there.
    bool canonicalMarks(Text& t, int lineNo)
    {
        std::size_t end = t.size();
        while (end > 0 && t.b[end - 1] == kMark)
            --end; // marks at the end of the line keep their place exactly
        std::size_t pos = t.b.find(kMark);
        while (pos != std::string::npos && pos < end) {
            Text before;
            before.append(t, 0, pos);
            before.rstrip();
            std::size_t k = pos + 1;
            while (k < t.size() && isCloser(t.at(k)))
                ++k;
            const std::size_t closersEnd = k;
            k = skipSpaces(t, k);
            if (k >= t.size() || (t.at(k) == kMark && k >= end)) {
                R.error(lineNo, t.colAt(pos + 1),
                        "punctuation right after a footnote mark at the end of a line cannot be stored; "
                        "put the mark after the punctuation");
                return false;
            }
            if (t.at(k) == kMark) {
                R.error(lineNo, t.colAt(k), "two footnote marks side by side inside a line");
                return false;
            }
            Text out = std::move(before);
            if (out.size() > 0)
                out.push(' ', t.colAt(pos));
            const std::size_t markAt = out.size();
            out.append(t, pos, closersEnd);
            out.push(' ', t.colAt(closersEnd));
            out.append(t, k, t.size());
            end = end - t.size() + out.size();
            t = std::move(out);
            pos = t.b.find(kMark, markAt + 1);
        }
        return true;
    }

    bool detectHeading(const Text& t, int lineNo, std::uint8_t& heading)
    {
        for (const HeadingWord& h : headingWords()) {
            if (!t.startsWith(0, h.word))
                continue;
            const std::size_t n = h.word.size();
            const unsigned char next = t.at(n);
            if (next != 0 && isLetter(next))
                continue; // "Kodeksu", "Artykuł": not this heading word
            if (next != 0 && next != ' ' && next != static_cast<unsigned char>(kMark) && !isCloser(next)) {
                R.error(lineNo, t.colAt(n),
                        "heading word '" + cp1250::toUtf8(h.word) +
                            "' must be followed by a space or by punctuation such as '.' "
                            "(start the line with \\ if it is not a heading)");
                return false;
            }
            for (std::size_t k = n; k < t.size() && t.b[k] != ' '; ++k) {
                const auto c = t.at(k);
                if (c != static_cast<unsigned char>(kMark) && !isCloser(c)) {
                    R.error(lineNo, t.colAt(k),
                            "after the heading word '" + cp1250::toUtf8(h.word) +
                                "' only punctuation such as '.' may follow without a space");
                    return false;
                }
            }
            heading = h.code;
            return true;
        }
        return checkUnknownHeading(t, lineNo);
    }

    // Lines that look like a structural heading but use a word the reader
    // does not know would silently become plain text: refuse them.
    bool checkUnknownHeading(const Text& t, int lineNo)
    {
        std::size_t w = 0;
        while (w < t.size() && isLetter(t.at(w)))
            ++w;
        if (w == 0)
            return true;
        const std::string word = t.b.substr(0, w);
        std::size_t k = w;
        if (t.at(k) == '.')
            ++k;
        std::size_t numStart = skipSpaces(t, k);
        const bool spaced = numStart > k;
        std::size_t numEnd = numStart;
        while (numEnd < t.size() && t.b[numEnd] != ' ' && t.b[numEnd] != kMark)
            ++numEnd;
        std::string number = t.b.substr(numStart, numEnd - numStart);
        while (!number.empty() && isCloser(static_cast<unsigned char>(number.back())))
            number.pop_back();
        const bool numbered = (spaced || numStart == t.size()) && (numStart == t.size() || isNumbering(number));
        if (!numbered)
            return true;
        std::size_t rest = numEnd;
        while (t.at(rest) == static_cast<unsigned char>(kMark))
            ++rest;
        const bool wholeLine = rest >= t.size();

        const std::string folded = foldWord(word);
        const HeadingWord* suggestion = nullptr;
        for (const HeadingWord& h : headingWords()) {
            if (h.folded != folded || h.word == word)
                continue;
            // Prefer the spelling in the same letter case ("ROZDZIAL" -> "ROZDZIAŁ").
            const bool upper = word.size() > 1 && word[1] >= 'A' && word[1] <= 'Z';
            const bool hUpper = h.word.size() > 1 && h.word[1] >= 'A' && h.word[1] <= 'Z';
            if (!suggestion || upper == hUpper)
                suggestion = &h;
        }
        if (suggestion) {
            R.error(lineNo, t.colAt(0),
                    "unknown heading word '" + cp1250::toUtf8(word) + "' (did you mean '" +
                        cp1250::toUtf8(suggestion->word) + "'? start the line with \\ if it is not a heading)");
            return false;
        }
        if (wholeLine && numStart < t.size() && w >= 3) {
            R.error(lineNo, t.colAt(0),
                    "unknown heading '" + cp1250::toUtf8(t.b.substr(0, numEnd)) +
                        "': the heading words are " + listHeadingWords() +
                        " (start the line with \\ if it is not a heading)");
            return false;
        }
        return true;
    }

    Reader& R;
    SourceDocument& D;
};

bool parseName(Reader& r, const Text& t, SourceDocument& doc)
{
    std::string name = t.b;
    while (!name.empty() && name.front() == ' ')
        name.erase(0, 1);
    if (name.empty()) {
        r.error(1, 0, "the first line must name the act: a code title or a reference such as Dz.U.1998.106.668");
        return false;
    }
    std::string err;
    const auto key = SprobujRozbierzNazwe(name, &err);
    if (name.rfind("Dz.U.", 0) == 0) {
        for (std::size_t i = 5; i + 1 < name.size(); ++i) {
            if (name[i] == '0' && name[i - 1] == '.' && isDigit(static_cast<unsigned char>(name[i + 1]))) {
                r.error(1, t.colAt(i + (t.b.size() - name.size())),
                        "'" + cp1250::toUtf8(name) +
                            "': leading zeros are not allowed in a Journal of Laws reference (write "
                            "Dz.U.2007.50.331, not Dz.U.2007.050.331)");
                return false;
            }
        }
        if (!key || key->Rok.size() != 4 || !allDigits(key->Rok) ||
            TytulPozycji(key->Rok, TDaneDZU{0, key->Numer, key->Pozycja, 0}) != name) {
            r.error(1, 1, "'" + cp1250::toUtf8(name) +
                              "' is not a Journal of Laws reference of the form Dz.U.<year>.<number>.<position>");
            return false;
        }
        doc.kind = DocumentKind::Journal;
        doc.name = name;
        doc.rok = key->Rok;
        doc.numer = key->Numer;
        doc.pozycja = key->Pozycja;
        return true;
    }
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    // The reader's own name rule decides; only its fallback, index 14 for any
    // name it does not know, must really be that code's title.
    const int last = kLiczbaKodeksow - 1;
    if (key && key->Rok == kNazwaKodeksow && key->Numer <= last &&
        (key->Numer < last || lower(TytulKodeksu(last)) == lower(name))) {
        doc.kind = DocumentKind::Code;
        doc.name = TytulKodeksu(key->Numer);
        doc.rok = key->Rok;
        doc.numer = key->Numer;
        doc.pozycja = key->Pozycja;
        return true;
    }
    std::string titles;
    for (int i = 0; i < kLiczbaKodeksow; ++i)
        titles += (i ? ", " : "") + cp1250::toUtf8(TytulKodeksu(i));
    r.error(1, 1, "'" + cp1250::toUtf8(name) + "' is neither a code title (" + titles +
                      ") nor a reference such as Dz.U.1998.106.668");
    return false;
}

} // namespace

namespace {

struct CitationParser {
    const Text& t;
    std::size_t i; // cursor

    bool word(std::string_view w)
    {
        if (!t.startsWith(i, w))
            return false;
        const unsigned char after = t.at(i + w.size());
        if (isLetter(after) || (isDigit(after) && isDigit(static_cast<unsigned char>(w.back()))))
            return false;
        i += w.size();
        return true;
    }
    // "z 1998 r." ; returns the year or -1 (cursor unchanged then).
    int year()
    {
        const std::size_t save = i;
        if (word("z")) {
            i = skipSpaces(t, i);
            std::size_t k = i;
            const long y = readNumber(t, k, 4);
            if (y >= 0 && k - i == 4) {
                i = skipSpaces(t, k);
                if (word("r."))
                    return static_cast<int>(y);
            }
        }
        i = save;
        return -1;
    }
};

} // namespace

void checkCitations(const std::string& line, const std::vector<int>& columns, std::vector<Citation>& found,
                    const std::string& file, int lineNo, Problems& problems)
{
    Text t{line, columns};
    std::vector<Citation> cites;
    std::vector<int> citeColumns;
    std::size_t i = 0;
    auto fail = [&](std::size_t at, const std::string& msg) {
        problems.push_back({file, lineNo, t.colAt(at), msg});
    };
    while (i < t.size()) {
        const bool boundary = i == 0 || !(isLetter(t.at(i - 1)) || isDigit(t.at(i - 1)));
        if (!boundary || !t.startsWith(i, "Dz.")) {
            ++i;
            continue;
        }
        std::size_t p = skipSpaces(t, i + 3);
        if (!t.startsWith(p, "U.")) {
            ++i;
            continue;
        }
        p += 2;
        const int col = t.colAt(i);
        CitationParser cp{t, skipSpaces(t, p)};
        std::vector<std::pair<std::string, Citation>> items; // separator before, citation

        // Already in reference form: "Dz.U.1998.106.668" or "Dz. U. 1998. 106. 668".
        {
            std::size_t k = cp.i;
            const long y = readNumber(t, k, 4);
            if (y >= 0 && t.at(k) == '.') {
                k = skipSpaces(t, k + 1);
                const long n = readNumber(t, k);
                if (n >= 0 && t.at(k) == '.') {
                    k = skipSpaces(t, k + 1);
                    const long poz = readNumber(t, k);
                    if (poz >= 0) {
                        items.push_back({"", {static_cast<int>(y), static_cast<int>(n), static_cast<int>(poz)}});
                        cp.i = k;
                    }
                }
            }
        }
        if (items.empty()) {
            int y = cp.year();
            if (y < 0) {
                const std::size_t k = cp.i;
                if (cp.word("Nr") || cp.word("poz.")) {
                    fail(i, "the citation names no year (write it as in 'Dz. U. z 1998 r. Nr 106, poz. 668')");
                    return;
                }
                cp.i = k;
                // Not a citation ("Dz. U." followed by something else).
                ++i;
                continue;
            }
            std::string sep;
            bool needItem = true;
            long numer = 0;
            while (true) {
                std::size_t save = cp.i;
                cp.i = skipSpaces(t, cp.i);
                bool got = false;
                if (needItem) {
                    if (cp.word("Nr")) {
                        cp.i = skipSpaces(t, cp.i);
                        numer = readNumber(t, cp.i);
                        if (numer < 0) {
                            fail(cp.i, "expected the issue number after 'Nr'");
                            return;
                        }
                        if (t.at(cp.i) == ',')
                            ++cp.i;
                        cp.i = skipSpaces(t, cp.i);
                        if (!cp.word("poz.")) {
                            fail(cp.i, "expected 'poz.' after the issue number");
                            return;
                        }
                        got = true;
                    } else if (cp.word("poz.")) {
                        numer = 0;
                        got = true;
                    } else {
                        fail(cp.i, "expected 'Nr' or 'poz.' in the citation");
                        return;
                    }
                    cp.i = skipSpaces(t, cp.i);
                } else if (isDigit(t.at(cp.i))) {
                    got = true; // a further position in the same issue
                }
                if (got) {
                    const long poz = readNumber(t, cp.i);
                    if (poz < 0) {
                        fail(cp.i, "expected the position number");
                        return;
                    }
                    items.push_back({sep, {y, static_cast<int>(numer), static_cast<int>(poz)}});
                    needItem = false;
                } else {
                    cp.i = save;
                    break;
                }
                // A separator and what follows it: another position, another
                // issue, or another year.
                save = cp.i;
                std::size_t k = cp.i;
                if (t.at(k) == ',')
                    ++k;
                k = skipSpaces(t, k);
                CitationParser look{t, k};
                if (look.word("i") || look.word("oraz"))
                    look.i = skipSpaces(t, look.i);
                else if (k == cp.i || t.at(cp.i) != ',')
                    break;
                sep = t.b.substr(cp.i, look.i - cp.i);
                const int y2 = look.year();
                if (y2 >= 0) {
                    y = y2;
                    needItem = true;
                    cp.i = look.i;
                    continue;
                }
                if (isDigit(t.at(look.i))) {
                    cp.i = look.i;
                    continue;
                }
                CitationParser probe{t, look.i};
                if (probe.word("Nr") || probe.word("poz.")) {
                    needItem = true;
                    cp.i = look.i;
                    continue;
                }
                cp.i = save;
                break;
            }
        }
        for (auto& item : items) {
            const Citation& c = item.second;
            if (c.pozycja == 0) {
                fail(i, "a citation of position 0 names no act");
                return;
            }
            cites.push_back(c);
            citeColumns.push_back(col);
        }
        i = cp.i;
    }

    // The reader must find these very acts in the line as it will show it
    // (a footnote line always starts with a space).
    const TCytowania links = SzukajCytowan(" " + line);
    std::size_t li = 0;
    for (std::size_t ci = 0; ci < cites.size(); ++ci) {
        const Citation& c = cites[ci];
        const TAkt want{c.year, c.numer, c.pozycja};
        while (li < links.size() && links[li].Akt != want)
            ++li;
        if (li == links.size()) {
            problems.push_back({file, lineNo, citeColumns[ci],
                                "citation of " + journalName(c.year, c.numer, c.pozycja) +
                                    " would not be recognised by the reader (issue number of more than four "
                                    "digits or position of more than five?)"});
            return;
        }
        ++li;
    }
    found.insert(found.end(), cites.begin(), cites.end());
}

bool parseSource(std::string_view utf8, const std::string& fileName, SourceDocument& doc, Problems& problems)
{
    Reader r(fileName, problems);
    const std::size_t problemsBefore = problems.size();
    doc = SourceDocument{};
    doc.file = fileName;
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        utf8.remove_prefix(3);

    std::vector<std::string_view> lines;
    {
        std::size_t start = 0;
        while (start <= utf8.size()) {
            std::size_t nl = utf8.find('\n', start);
            if (nl == std::string_view::npos)
                nl = utf8.size();
            std::string_view l = utf8.substr(start, nl - start);
            if (!l.empty() && l.back() == '\r')
                l.remove_suffix(1);
            lines.push_back(l);
            start = nl + 1;
        }
        if (!lines.empty() && lines.back().empty())
            lines.pop_back(); // the newline that ends the last line
    }
    if (lines.empty()) {
        r.error(0, 0, "the file is empty");
        return false;
    }

    Text t;
    if (r.decode(lines[0], 1, t))
        parseName(r, t, doc);
    if (lines.size() < 2 || !lines[1].empty()) {
        r.error(2, 0, "the second line must be empty: it separates the name of the act from its text");
    }

    BodyParser body(r, doc);
    std::size_t n = 2;
    // Blank lines before the text and after it belong to neither.
    std::vector<std::pair<Text, int>> pending;
    bool started = false;
    for (; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n) + 1;
        if (!r.decode(lines[n], lineNo, t))
            continue;
        t.rstrip();
        std::size_t textStart = 0;
        if (footnoteDefinition(t, textStart) >= 0)
            break;
        if (t.size() == 0) {
            if (started)
                pending.push_back({t, lineNo});
            continue;
        }
        for (auto& [blank, no] : pending)
            body.line(std::move(blank), no);
        pending.clear();
        started = true;
        body.line(std::move(t), lineNo);
    }
    if (doc.body.empty() && r.errors() == 0)
        r.error(0, 0, "the act has no text");

    // Footnotes: "[^n]: text", further lines continue it; blank lines between
    // footnotes are only layout.
    SourceFootnote* current = nullptr;
    std::vector<int> brokenFootnotes; // already reported: not "empty" on top
    for (; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n) + 1;
        if (!r.decode(lines[n], lineNo, t))
            continue;
        t.rstrip();
        std::size_t textStart = 0;
        const int number = footnoteDefinition(t, textStart);
        if (number >= 0) {
            const int expected = static_cast<int>(doc.footnotes.size()) + 1;
            if (number != expected) {
                r.error(lineNo, 1,
                        "footnote [^" + std::to_string(number) + "] out of order: expected [^" +
                            std::to_string(expected) + "]");
                current = nullptr;
                continue;
            }
            doc.footnotes.push_back({number, lineNo, {}});
            current = &doc.footnotes.back();
        } else {
            textStart = 0;
        }
        textStart = skipSpaces(t, textStart);
        if (textStart >= t.size())
            continue;
        if (!current) {
            if (number < 0)
                r.error(lineNo, 1, "text after the footnotes that belongs to no footnote");
            continue;
        }
        Text lineText;
        lineText.append(t, textStart, t.size());
        const std::size_t mark = lineText.b.find("[^");
        if (mark != std::string::npos) {
            r.error(lineNo, lineText.colAt(mark), "footnote marks cannot stand inside a footnote");
            brokenFootnotes.push_back(current->number);
            continue;
        }
        std::vector<Citation> cites;
        const std::size_t before = problems.size();
        checkCitations(lineText.b, lineText.col, cites, fileName, lineNo, problems);
        if (problems.size() != before) {
            brokenFootnotes.push_back(current->number);
            continue;
        }
        checkFootnoteCitations(lineText.b, lineText.col, fileName, lineNo, doc.warnings);
        SourceLine sl;
        sl.text = std::move(lineText.b);
        if (!identityColumns(lineText.col))
            sl.columns = std::move(lineText.col);
        sl.sourceLine = lineNo;
        current->lines.push_back(std::move(sl));
    }

    doc.markCount = static_cast<int>(body.marks.size());
    if (!body.marksBroken) {
        for (const auto& m : body.marks) {
            if (m.number > static_cast<int>(doc.footnotes.size()))
                r.error(m.line, m.column, "footnote mark [^" + std::to_string(m.number) + "] has no footnote");
        }
        for (const SourceFootnote& f : doc.footnotes) {
            if (f.number > doc.markCount)
                r.error(f.sourceLine, 1, "footnote [^" + std::to_string(f.number) + "] has no mark in the text");
        }
    }
    for (const SourceFootnote& f : doc.footnotes) {
        const bool broken =
            std::find(brokenFootnotes.begin(), brokenFootnotes.end(), f.number) != brokenFootnotes.end();
        if (f.lines.empty() && !broken)
            r.error(f.sourceLine, 1, "footnote [^" + std::to_string(f.number) + "] is empty");
    }
    return r.errors() == 0 && problems.size() == problemsBefore;
}

bool readSourceFile(const std::filesystem::path& path, SourceDocument& out, Problems& problems)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problems.push_back({path.string(), 0, 0, "cannot be read"});
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        problems.push_back({path.string(), 0, 0, "read error"});
        return false;
    }
    return parseSource(ss.str(), path.string(), out, problems);
}

std::vector<std::filesystem::path> listSourceFiles(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        if (e.is_regular_file(ec) && e.path().extension() == ".txt")
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace packer
