#include "packer/Encoder.h"

#include "packer/Punctuation.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

namespace packer {
namespace {

constexpr std::size_t kMaxWord = 255;
constexpr std::size_t kMaxDistance = 255;

int columnOf(const SourceLine& line, std::size_t byte)
{
    if (line.columns.empty())
        return static_cast<int>(byte) + 1; // one character per byte throughout
    if (byte < line.columns.size())
        return line.columns[byte];
    return 0;
}

void addWord(TLinia& out, std::string_view word, const SourceLine& line, std::size_t at, const std::string& file,
             Problems& problems)
{
    if (word.size() > kMaxWord) {
        problems.push_back({file, line.sourceLine, columnOf(line, at),
                            "a run of " + std::to_string(word.size()) +
                                " bytes without a space cannot be stored (a word holds at most 255)"});
        return;
    }
    out.Elementy.push_back(TElement::S(std::string(word)));
}

void addMarks(TLinia& out, std::string_view marks)
{
    for (char c : marks)
        out.Elementy.push_back(TElement::Z(markInfo(static_cast<unsigned char>(c)).code));
}

bool isToken(const TElement& e)
{
    return e.Rodzaj == TElement::Slowo || e.Rodzaj == TElement::Przypis;
}

// Joins runs of neighbouring words in [from, to) into single dictionary
// entries ("a" "b" -> "a b": the decoder writes the same text). A word
// joined to the one before it stays where it is, marked in `gone`, and all
// of them are dropped in one pass at the end, so that merging costs time in
// proportion to the line however many stretches need it. Returns how many
// elements went away.
std::size_t mergeWords(TLinia& line, std::vector<char>& gone, std::size_t from, std::size_t to)
{
    auto& el = line.Elementy;
    if (gone.size() < el.size())
        gone.resize(el.size(), 0);
    std::size_t removed = 0;
    std::size_t kept = to;   // the last element in the range that stays
    for (std::size_t i = from; i < to; ++i) {
        TElement& b = el[i];
        if (kept != to && el[kept].Rodzaj == TElement::Slowo && b.Rodzaj == TElement::Slowo &&
            el[kept].Tekst.size() + 1 + b.Tekst.size() <= kMaxWord) {
            el[kept].Tekst += ' ';
            el[kept].Tekst += b.Tekst;
            std::string().swap(b.Tekst);
            gone[i] = 1;
            ++removed;
        } else {
            kept = i;
        }
    }
    return removed;
}

void dropMerged(TLinia& line, const std::vector<char>& gone)
{
    if (gone.empty())
        return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < line.Elementy.size(); ++i)
        if (i >= gone.size() || !gone[i]) {
            if (out != i)
                line.Elementy[out] = std::move(line.Elementy[i]);
            ++out;
        }
    line.Elementy.resize(out);
}

} // namespace

TLinia encodeLine(const SourceLine& line, bool footnoteLine, const std::string& file, Problems& problems)
{
    TLinia out;
    out.Naglowek = footnoteLine ? 0 : line.heading;
    const std::string_view s = line.text;
    std::size_t pos = out.Naglowek ? SlowoNaglowka(out.Naglowek).size() : 0;
    std::size_t end = s.size();
    std::size_t trailing = 0;
    while (end > pos && s[end - 1] == kMark) {
        --end;
        ++trailing;
    }

    bool hasToken = out.Naglowek != 0;
    bool chunks = true;
    if (out.Naglowek) {
        // Punctuation glued to the heading word ("Art." ) belongs to the
        // heading token; the text proper starts after the first space.
        std::size_t sp = s.find(' ', pos);
        if (sp == std::string_view::npos || sp > end)
            sp = end;
        addMarks(out, s.substr(pos, sp - pos));
        chunks = sp < end;
        pos = sp + 1;
    }

    bool afterMark = false;
    while (chunks) {
        std::size_t sp = s.find(' ', pos);
        if (sp == std::string_view::npos || sp > end)
            sp = end;
        const std::string_view chunk = s.substr(pos, sp - pos);
        if (!chunk.empty() && chunk[0] == kMark) {
            out.Elementy.push_back(TElement::P());
            addMarks(out, chunk.substr(1));
            afterMark = true;
        } else if (chunk.find(kMark) != std::string_view::npos) {
            problems.push_back({file, line.sourceLine, columnOf(line, pos), "footnote mark inside a word"});
        } else if (chunk.empty()) {
            out.Elementy.push_back(TElement::S(""));
            hasToken = true;
            afterMark = false;
        } else {
            // Opening marks need a token before them on the line to hang on;
            // after a footnote mark only closing ones can follow it.
            const bool canHang = hasToken && !afterMark;
            std::size_t a = 0;
            std::size_t b = chunk.size();
            if (canHang)
                while (a < b && isOpener(static_cast<unsigned char>(chunk[a])))
                    ++a;
            while (b > a && isCloser(static_cast<unsigned char>(chunk[b - 1])))
                --b;
            if (a == b) {
                if (chunk.size() == 1 && canHang && isStandalone(static_cast<unsigned char>(chunk[0])))
                    addMarks(out, chunk);
                else
                    addWord(out, chunk, line, pos, file, problems);
            } else {
                addMarks(out, chunk.substr(0, a));
                addWord(out, chunk.substr(a, b - a), line, pos + a, file, problems);
                addMarks(out, chunk.substr(b));
            }
            hasToken = true;
            afterMark = false;
        }
        if (sp >= end)
            break;
        pos = sp + 1;
    }
    for (std::size_t k = 0; k < trailing; ++k)
        out.Elementy.push_back(TElement::P());
    return out;
}

TDokumentElementy encodeDocument(SourceDocument& doc, Problems& problems)
{
    TDokumentElementy out;
    out.H = 0;
    std::vector<TLinia*> lines;
    std::vector<int> sourceLines;
    auto release = [](SourceLine& l) {
        std::string().swap(l.text);
        std::vector<int>().swap(l.columns);
    };
    out.Glowne.reserve(doc.body.size());
    for (SourceLine& l : doc.body) {
        out.Glowne.push_back(encodeLine(l, false, doc.file, problems));
        sourceLines.push_back(l.sourceLine);
        release(l);
    }
    for (SourceFootnote& f : doc.footnotes) {
        out.Przypisy.emplace_back();
        for (SourceLine& l : f.lines) {
            out.Przypisy.back().push_back(encodeLine(l, true, doc.file, problems));
            sourceLines.push_back(l.sourceLine);
            release(l);
        }
    }
    for (TLinia& l : out.Glowne)
        lines.push_back(&l);
    for (auto& f : out.Przypisy)
        for (TLinia& l : f)
            lines.push_back(&l);

    // Distances between punctuation points are single bytes: walk the
    // tokens as the decoder counts them and merge words where a stretch
    // would be too long.
    std::vector<std::vector<char>> gone(lines.size());
    auto dropAllMerged = [&] {
        for (std::size_t li = 0; li < lines.size(); ++li)
            dropMerged(*lines[li], gone[li]);
    };
    std::size_t since = 0;
    std::size_t startLine = 0;
    std::size_t startElem = 0;
    for (std::size_t li = 0; li < lines.size(); ++li) {
        TLinia& line = *lines[li];
        if (line.Naglowek)
            ++since;
        for (std::size_t j = 0; j < line.Elementy.size(); ++j) {
            const TElement& e = line.Elementy[j];
            if (isToken(e)) {
                ++since;
                continue;
            }
            const bool newPoint = j == 0 ? line.Naglowek != 0 : isToken(line.Elementy[j - 1]);
            if (!newPoint)
                continue;
            if (since > kMaxDistance) {
                for (std::size_t k = startLine; k <= li; ++k) {
                    const std::size_t from = k == startLine ? startElem : 0;
                    const std::size_t to = k == li ? j : lines[k]->Elementy.size();
                    since -= mergeWords(*lines[k], gone[k], from, to);
                }
                if (since > kMaxDistance) {
                    problems.push_back({doc.file, sourceLines[li], 0,
                                        "more than 255 words without punctuation up to this line "
                                        "(from line " + std::to_string(sourceLines[startLine]) + ")"});
                    dropAllMerged();
                    return out;
                }
            }
            since = 0;
            startLine = li;
            startElem = j + 1;
        }
    }
    dropAllMerged();
    return out;
}

} // namespace packer
