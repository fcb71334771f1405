// Footnotes: the small type at the foot of a page, numbered "1)", "2)", ...
// throughout the act, each referred to by a raised "n)" in the text above.
#include "import/Etapy.h"
#include "import/Znaki.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>

namespace importer {

namespace {

// "n)" at the start of a footnote line (raised or not): the number and
// where the text begins; -1 when the line starts no footnote.
int footnoteStart(const QString& text, qsizetype& textStart)
{
    static const QRegularExpression re(QStringLiteral("^\\x{E000}?\\s*(\\d{1,4})\\s*\\)\\x{E001}?\\s*"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return -1;
    textStart = m.capturedEnd();
    return m.captured(1).toInt();
}

void append(QString& to, const QString& more)
{
    const QString t = more.trimmed();
    if (t.isEmpty())
        return;
    if (to.isEmpty()) {
        to = t;
    } else if (to.endsWith(QLatin1Char('-')) && to.size() > 1 && to[to.size() - 2].isLower() && t[0].isLower()) {
        to += t;  // hyphenation inside a footnote: the dictionary is not consulted for these
        to.remove(to.size() - t.size() - 1, 1);
    } else if (to.endsWith(kSoftHyphen)) {
        to.chop(1);
        to += t;
    } else {
        to += QLatin1Char(' ') + t;
    }
}

// A footnote that stops without a full stop, or with that of an
// abbreviation a number must follow ("poz.", "art."), goes on elsewhere.
bool unfinished(const QString& text)
{
    static const QRegularExpression open(
        QStringLiteral("(?:[^.]|(?:^|\\s)(?:art|ust|poz|lit|pkt|Nr|nr|str|t|tj|Dz|U|Urz)\\.)$"));
    const QString t = text.trimmed();
    return !t.isEmpty() && open.match(t).hasMatch();
}

// The size of the running text: the largest type that sets a good share of
// the characters. Headings are larger but few; footnotes are smaller and
// may be many.
double bodySize(const Document& doc)
{
    std::map<int, qsizetype> weight;  // size in half points -> characters
    qsizetype total = 0;
    for (const Page& p : doc.pages)
        for (const Line& l : p.lines)
            if (l.geometry) {
                weight[int(std::lround(l.size * 2))] += l.text.size();
                total += l.text.size();
            }
    for (auto it = weight.rbegin(); it != weight.rend(); ++it)
        if (it->second * 5 >= total)
            return it->first / 2.0;
    return 0;
}

// --- PDF: footnotes are the trailing small type of a page -------------------

std::map<int, Footnote> fromGeometry(Document& doc, Warnings& warnings)
{
    std::map<int, Footnote> notes;
    const double body = bodySize(doc);
    if (body <= 0)
        return notes;
    int last = 0;  // footnote that a page's unnumbered small lines continue
    int lastPage = 0;  // the page whose foot it stands at
    for (Page& p : doc.pages) {
        std::size_t lastBody = p.lines.size();
        for (std::size_t i = p.lines.size(); i > 0; --i) {
            if (p.lines[i - 1].size >= body * 0.9) {
                lastBody = i - 1;
                break;
            }
        }
        const std::size_t from = lastBody == p.lines.size() ? 0 : lastBody + 1;
        if (from >= p.lines.size())
            continue;
        // The area must open with a footnote number, or go on with the
        // footnote the previous page's foot left unfinished.
        qsizetype textStart = 0;
        if (footnoteStart(p.lines[from].text, textStart) < 0 &&
            (last == 0 || notes.count(last) == 0 || lastPage != p.number - 1 || !unfinished(notes[last].text)))
            continue;
        lastPage = p.number;
        int current = last;
        for (std::size_t i = from; i < p.lines.size(); ++i) {
            Line& l = p.lines[i];
            l.small = true;
            const int n = footnoteStart(l.text, textStart);
            if (n >= 0 && (n > current || current == 0)) {
                if (notes.count(n))
                    warnings.add(l, QStringLiteral("footnote %1) appears twice; the second one is appended to "
                                                   "the first").arg(n));
                current = n;
                Footnote& f = notes[n];
                if (f.page == 0) {
                    f.page = l.page;
                    f.line = l.number;
                }
                append(f.text, l.text.mid(textStart));
            } else {
                append(notes[current].text, l.text);
            }
        }
        last = current;
        p.lines.erase(p.lines.begin() + std::ptrdiff_t(from), p.lines.end());
    }
    return notes;
}

// --- text: footnotes found by their references -------------------------------

struct Ref {
    std::size_t line;
    qsizetype start, end;  // of the digits and ")"
    int number;
};

// The reference "n)" glued to the text before it, on lines [0, before), at
// or after position `after`. Superscripts of the PDF come out of pdftotext
// glued: "cywilny1)", "(uchylony)3)", "Art. 4491)".
bool findRef(const std::vector<Line>& lines, std::size_t before, int number, Ref from, Ref& found)
{
    const QString digits = QString::number(number) + QLatin1Char(')');
    for (std::size_t i = from.line; i < before; ++i) {
        const QString& t = lines[i].text;
        qsizetype pos = i == from.line ? from.end : 0;
        while ((pos = t.indexOf(digits, pos)) >= 0) {
            const qsizetype end = pos + digits.size();
            // Glued to a word or a mark, but not to digits ("poz. 1061)"
            // closes a citation) nor to an opening bracket.
            const bool glued = pos > 0 && !t[pos - 1].isSpace() && !t[pos - 1].isDigit() &&
                               t[pos - 1] != QLatin1Char('(') && t[pos - 1] != kSupOpen;
            // The digits must be the whole suffix being read: "4491)" holds
            // "1)" only if "1" is not part of a larger footnote number.
            const bool ends = end == t.size() || !t[end].isLetterOrNumber();
            if (glued && ends) {
                found = {i, pos, end, number};
                return true;
            }
            pos = end;
        }
    }
    return false;
}

// A column of numbers ("1)", "2)", ...) followed by the texts: how
// pdftotext writes footnotes whose numbers hang in the margin. The texts are
// split where a sentence ends and the next begins with a capital.
std::vector<QString> splitTexts(const std::vector<QString>& texts, std::size_t count)
{
    std::vector<QString> out;
    if (count == 0)
        return out;
    if (texts.size() == count)
        return texts;
    out.emplace_back();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const bool boundary = i > 0 && out.size() < count && !out.back().isEmpty() &&
                              (out.back().endsWith(QLatin1Char('.')) || out.back().endsWith(QLatin1Char(';'))) &&
                              texts[i][0].isUpper();
        if (boundary)
            out.emplace_back();
        append(out.back(), texts[i]);
    }
    while (out.size() < count)
        out.emplace_back();
    return out;
}

// The footnotes a page's area [from, end) holds: their numbers (sorted,
// consecutive, from `expected` on), or nothing when it holds none.
std::vector<int> areaNumbers(const std::vector<Line>& lines, std::size_t from, int expected)
{
    std::vector<int> numbers;
    for (std::size_t i = from; i < lines.size(); ++i) {
        qsizetype ts = 0;
        const int n = footnoteStart(lines[i].text, ts);
        if (n >= expected && n <= expected + 200 && std::find(numbers.begin(), numbers.end(), n) == numbers.end())
            numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    for (std::size_t k = 1; k < numbers.size(); ++k)
        if (numbers[k] != numbers[k - 1] + 1)
            return {};
    return numbers;
}

// The references of `numbers`, in order, above line `before`.
bool findRefs(const std::vector<Line>& lines, std::size_t before, const std::vector<int>& numbers,
              std::vector<Ref>& refs)
{
    refs.clear();
    Ref cursor{0, 0, 0, 0};
    for (int n : numbers) {
        Ref r;
        if (!findRef(lines, before, n, cursor, r))
            return false;
        refs.push_back(r);
        cursor = r;
    }
    return true;
}

// Plain pdftotext joins a word hyphenated at the last line of the text to
// whatever comes next, which can be the first footnote's number: "zacho13)"
// with "waniem" on the next page. When footnote n's reference already stood
// above, such a trailing "n)" is the number: it gets a line of its own and
// the word its hyphen back.
void splitGluedNumber(std::vector<Line>& lines, int expected)
{
    static const QRegularExpression glued(QStringLiteral("^(.*\\p{Ll})(\\d{1,4})\\)$"));
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const auto m = glued.match(lines[i].text);
        qsizetype ts = 0;
        const bool numberAlone = footnoteStart(lines[i + 1].text, ts) >= 0 && ts >= lines[i + 1].text.size();
        if (!m.hasMatch() || !(lines[i + 1].gapBefore || numberAlone))
            continue;
        const int n = m.captured(2).toInt();
        Ref r;
        if (n < expected || !findRef(lines, i, n, Ref{0, 0, 0, 0}, r))
            continue;
        Line number = lines[i];
        number.text = m.captured(2) + QLatin1Char(')');
        lines[i].text = m.captured(1) + QLatin1Char('-');
        lines.insert(lines.begin() + std::ptrdiff_t(i) + 1, std::move(number));
        return;
    }
}

std::map<int, Footnote> fromReferences(Document& doc, Warnings& warnings)
{
    std::map<int, Footnote> notes;
    int expected = 1;
    for (Page& p : doc.pages) {
        std::vector<Line>& lines = p.lines;
        if (!doc.layout)
            splitGluedNumber(lines, expected);
        // Where the footnote area may begin: the first line that is a
        // number alone (body points always have text after "1)"), and the
        // lines that start a footnote, bottom up.
        std::vector<std::size_t> candidates;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            qsizetype ts = 0;
            const int n = footnoteStart(lines[i].text, ts);
            if (n >= expected && ts >= lines[i].text.size()) {
                candidates.push_back(i);
                break;
            }
        }
        std::vector<std::size_t> bottomUp;
        for (std::size_t i = lines.size(); i > 0; --i) {
            qsizetype ts = 0;
            const int n = footnoteStart(lines[i - 1].text, ts);
            if (n < expected)
                continue;
            bottomUp.push_back(i - 1);
            if (n == expected)
                break;
        }
        // Topmost first: the largest area whose references all stand above it.
        std::reverse(bottomUp.begin(), bottomUp.end());
        candidates.insert(candidates.end(), bottomUp.begin(), bottomUp.end());
        std::size_t areaStart = lines.size();
        std::vector<int> numbers;
        std::vector<Ref> refs;
        for (std::size_t c : candidates) {
            std::vector<int> n = areaNumbers(lines, c, expected);
            if (!n.empty() && findRefs(lines, c, n, refs)) {
                areaStart = c;
                numbers = std::move(n);
                break;
            }
        }
        if (numbers.empty())
            refs.clear();
        // A footnote left unfinished at the foot of the previous page goes on
        // at the foot of this one, as a block of its own above this page's
        // footnotes, starting in the middle of its sentence.
        if (expected > 1 && notes.count(expected - 1) && areaStart > 1) {
            Footnote& last = notes[expected - 1];
            const QString end = last.text.trimmed();
            static const QRegularExpression midSentence(QStringLiteral("^(\\p{Ll}|\\(|\\d)"));
            const std::size_t limit = areaStart > 20 ? areaStart - 20 : 1;
            std::size_t block = 0;
            for (std::size_t i = areaStart - 1; i >= limit && !block; --i)
                if (lines[i].gapBefore)
                    block = i;
            const bool refsAbove = std::all_of(refs.begin(), refs.end(), [&](const Ref& r) { return r.line < block; });
            if (block && unfinished(end) && refsAbove &&
                midSentence.match(lines[block].text).hasMatch()) {
                for (std::size_t k = block; k < areaStart; ++k)
                    append(last.text, lines[k].text);
                lines.erase(lines.begin() + std::ptrdiff_t(block), lines.begin() + std::ptrdiff_t(areaStart));
                areaStart = block;
            }
        }
        if (areaStart == lines.size() || numbers.empty())
            continue;
        if (numbers.front() != expected)
            warnings.add(lines[areaStart], QStringLiteral("footnotes %1) to %2) are missing before this one")
                                               .arg(expected)
                                               .arg(numbers.front() - 1));

        // Read the area. A number with its text keeps the lines after it; a
        // number alone has its text elsewhere in the area: right after it
        // (pdftotext -layout) or in a column of texts after a column of
        // numbers, in any order of numbers (plain pdftotext).
        std::map<int, QString> texts;
        std::map<int, std::pair<int, int>> where;
        std::vector<int> alone;
        std::vector<std::vector<QString>> runs(1);
        int current = 0;  // footnote with its own text that lines continue
        for (std::size_t i = areaStart; i < lines.size(); ++i) {
            qsizetype ts = 0;
            const int n = footnoteStart(lines[i].text, ts);
            if (n >= 0 && std::find(numbers.begin(), numbers.end(), n) != numbers.end() && !where.count(n)) {
                where[n] = {lines[i].page, lines[i].number};
                const QString rest = lines[i].text.mid(ts).trimmed();
                if (rest.isEmpty()) {
                    alone.push_back(n);
                    runs.emplace_back();
                    current = 0;
                } else {
                    texts[n] = rest;
                    current = n;
                }
                continue;
            }
            if (current)
                append(texts[current], lines[i].text);
            else
                runs.back().push_back(lines[i].text);
        }
        std::sort(alone.begin(), alone.end());
        std::vector<QString> groups;
        int nonEmpty = 0;
        for (const auto& r : runs)
            nonEmpty += r.empty() ? 0 : 1;
        if (std::size_t(nonEmpty) == alone.size()) {
            for (const auto& r : runs) {
                if (r.empty())
                    continue;
                groups.emplace_back();
                for (const QString& l : r)
                    append(groups.back(), l);
            }
        } else {
            std::vector<QString> flat;
            for (const auto& r : runs)
                flat.insert(flat.end(), r.begin(), r.end());
            groups = splitTexts(flat, alone.size());
            if (flat.size() != alone.size())
                warnings.add(lines[areaStart], QStringLiteral("the footnotes' numbers and texts stand apart and "
                                                              "were matched in order; check them"));
        }
        for (std::size_t k = 0; k < alone.size() && k < groups.size(); ++k)
            texts[alone[k]] = groups[k];
        for (int n : numbers) {
            Footnote& f = notes[n];
            f.text = texts[n];
            f.page = where[n].first;
            f.line = where[n].second;
            if (f.text.isEmpty())
                warnings.add(f.page, f.line, QStringLiteral("footnote %1) has no text").arg(n));
        }
        // The references become superscripts, last first so that positions
        // on one line stay valid.
        for (auto r = refs.rbegin(); r != refs.rend(); ++r) {
            QString& t = lines[r->line].text;
            t.insert(r->end, kSupClose);
            t.insert(r->start, kSupOpen);
        }
        lines.erase(lines.begin() + std::ptrdiff_t(areaStart), lines.end());
        expected = numbers.back() + 1;
    }
    return notes;
}

} // namespace

std::map<int, Footnote> extractFootnotes(Document& doc, Warnings& warnings)
{
    return doc.pdf ? fromGeometry(doc, warnings) : fromReferences(doc, warnings);
}

} // namespace importer
