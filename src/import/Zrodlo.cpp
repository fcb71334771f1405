// The paragraphs and footnotes written as a source text of the packer's
// format, checked by the packer's own reader before anyone packs it.
#include "import/Etapy.h"
#include "import/Znaki.h"

#include "packer/Encoder.h"
#include "packer/Punctuation.h"
#include "packer/Source.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <set>

namespace importer {

namespace {

struct OutLine {
    QString text;
    int page = 0, line = 0;
    bool escaped = false;
};

struct OutNote {
    QString text;
    int page = 0, line = 0;
};

// Heading words of the format, folded (no diacritics, lower case): a plain
// line that starts with one of them must be escaped.
const std::set<std::string>& foldedHeadingWords()
{
    static const std::set<std::string> words = [] {
        std::set<std::string> s;
        for (int c = 1; c < 256; ++c) {
            const std::string& w = SlowoNaglowka(static_cast<std::uint8_t>(c));
            if (!w.empty())
                s.insert(packer::foldWord(w));
        }
        return s;
    }();
    return words;
}

bool needsEscape(const QString& text)
{
    qsizetype w = 0;
    while (w < text.size() && text[w].isLetter())
        ++w;
    if (w == 0)
        return false;
    const std::string word = cp1250::fromUtf8(text.left(w).toStdString());
    if (foldedHeadingWords().count(packer::foldWord(word)))
        return true;
    // "Załącznik 1", "Sekcja 3": a word and a number alone look like a
    // heading the format does not know.
    static const QRegularExpression wordAndNumber(
        QStringLiteral("^\\p{L}+\\.? +(?:[IVXLCDM]+|\\d+[a-z]?(?:\\^\\d+)?)\\.?(?: ?\\[\\^\\d+\\])*$"));
    return wordAndNumber.match(text).hasMatch();
}

// Superscripts in the source spelling; references become marks.
QString render(const QString& text, std::vector<int>& refs)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == kSoftHyphen)
            continue;
        if (c != kSupOpen) {
            if (c != kSupClose)
                out += c;
            continue;
        }
        const qsizetype end = text.indexOf(kSupClose, i);
        const QString inner = text.mid(i + 1, (end < 0 ? text.size() : end) - i - 1);
        i = end < 0 ? text.size() : end;
        static const QRegularExpression ref(QStringLiteral("^(\\d{1,4})\\)$"));
        static const QRegularExpression digits(QStringLiteral("^\\d+$"));
        if (const auto m = ref.match(inner); m.hasMatch()) {
            // A reference belongs to the word before it, whatever gap the
            // page left.
            while (out.endsWith(QLatin1Char(' ')))
                out.chop(1);
            refs.push_back(m.captured(1).toInt());
            out += QStringLiteral("\x01");  // the mark's place, numbered later
        } else if (digits.match(inner).hasMatch()) {
            out += QLatin1Char('^') + inner;
        } else {
            out += inner;
        }
    }
    return out;
}

// The format refuses punctuation right after a mark that ends a line and two
// marks side by side inside a line: move such marks where they can stand.
QString placeMarks(QString t)
{
    static const QRegularExpression endPunct(QStringLiteral("(\\x01+)([.,;:)\\]]+)$"));
    t.replace(endPunct, QStringLiteral("\\2\\1"));
    static const QRegularExpression pair(QStringLiteral("\\x01(\\x01+)(?!\\x01|$)"));
    for (auto m = pair.match(t); m.hasMatch(); m = pair.match(t)) {
        const QString moved = m.captured(1);
        t.remove(m.capturedStart(1), moved.size());
        t += moved;
    }
    return t;
}

// "(Dz. U. Nr 49, poz. 408)" in a footnote on an amending act names no
// year: the act's own date ("ustawy z dnia 14 lutego 2003 r.") gives it.
QString inferYears(const QString& text, int page, int line, Warnings& warnings)
{
    static const QRegularExpression noYear(QStringLiteral("Dz\\. ?U\\. (?=Nr |poz\\.)"));
    static const QRegularExpression date(QStringLiteral("z dnia \\d{1,2} (\\S+) (\\d{4}) r\\."));
    QString t = text;
    qsizetype from = 0;
    QRegularExpressionMatch m;
    while ((m = noYear.match(t, from)).hasMatch()) {
        const qsizetype at = m.capturedEnd();
        QRegularExpressionMatch d, last;
        for (auto it = date.globalMatch(t.left(m.capturedStart())); it.hasNext();)
            last = it.next();
        if (!last.hasMatch()) {
            // No date to go by: keep the citation as written, unlinked.
            t.replace(m.capturedStart(), 6, QStringLiteral("Dz.\u00A0U."));
            warnings.add(page, line, QStringLiteral("a footnote cites the Journal of Laws without a year; it is "
                                                    "kept as written, without a link"));
            from = at;
            continue;
        }
        const QString year = last.captured(2);
        if (last.captured(1) == QLatin1String("grudnia"))
            warnings.add(page, line, QStringLiteral("a footnote cites the Journal of Laws without a year; an act "
                                                    "of December may have been published the next year, %1 was "
                                                    "assumed")
                                         .arg(year));
        const QString insert = QStringLiteral("z ") + year + QStringLiteral(" r. ");
        t.insert(at, insert);
        from = at + insert.size();
    }
    return t;
}

// Citations the packer cannot link are kept as written, unlinked.
QString unlinkCitations(QString t)
{
    static const QRegularExpression dz(QStringLiteral("Dz\\. ?U\\."));
    t.replace(dz, QStringLiteral("Dz.\u00A0U."));
    return t;
}

QString splitLongRuns(const QString& t)
{
    QString out;
    int run = 0;
    for (QChar c : t) {
        run = c == QLatin1Char(' ') ? 0 : run + 1;
        if (run > 120) {
            out += QLatin1Char(' ');
            run = 1;
        }
        out += c;
    }
    return out;
}

std::string compose(const QString& name, const std::vector<OutLine>& body, const std::vector<OutNote>& notes)
{
    QString s = name + QStringLiteral("\n\n");
    for (const OutLine& l : body) {
        s += (l.escaped ? QStringLiteral("\\") : QString()) + l.text + QLatin1Char('\n');
    }
    if (!notes.empty())
        s += QLatin1Char('\n');
    for (std::size_t i = 0; i < notes.size(); ++i)
        s += QStringLiteral("[^%1]: ").arg(i + 1) + notes[i].text + QLatin1Char('\n');
    return s.toStdString();
}

// Marks (\x01) numbered in order of appearance.
void numberMarks(std::vector<OutLine>& body)
{
    int n = 0;
    for (OutLine& l : body) {
        QString out;
        for (QChar c : l.text) {
            if (c == QChar(1))
                out += QStringLiteral("[^%1]").arg(++n);
            else
                out += c;
        }
        l.text = out;
    }
}

} // namespace

bool writeSource(const QString& name, const std::vector<Paragraph>& paragraphs,
                 const std::map<int, Footnote>& footnotes, Output& out, QString& error, Warnings& warnings)
{
    std::vector<OutLine> body;
    std::vector<OutNote> notes;
    std::set<int> used;
    body.reserve(paragraphs.size());
    for (const Paragraph& p : paragraphs) {
        std::vector<int> refs;
        QString t = render(p.text, refs);
        // A reference with no footnote (or one already referred to) stays
        // as printed.
        qsizetype at = 0;
        for (int n : refs) {
            at = t.indexOf(QChar(1), at);
            if (footnotes.count(n) && !used.count(n)) {
                used.insert(n);
                const Footnote& f = footnotes.at(n);
                notes.push_back({f.text, f.page, f.line});
                ++at;
            } else {
                const QString literal = QString::number(n) + QLatin1Char(')');
                t.replace(at, 1, literal);
                at += literal.size();
                warnings.add(p.page, p.line, QStringLiteral("the footnote reference %1) has no footnote; it is kept "
                                                            "as text")
                                                 .arg(n));
            }
        }
        OutLine l;
        l.text = placeMarks(t.simplified());
        l.page = p.page;
        l.line = p.line;
        l.escaped = (p.kind == Paragraph::Plain || p.kind == Paragraph::Unit) && needsEscape(l.text);
        body.push_back(std::move(l));
    }
    // Footnotes no reference points to: kept as plain text where they stood.
    for (const auto& [n, f] : footnotes) {
        if (used.count(n))
            continue;
        warnings.add(f.page, f.line, QStringLiteral("footnote %1) is referred to nowhere in the text; it is kept as "
                                                    "a plain paragraph")
                                         .arg(n));
        std::size_t pos = body.size();
        for (std::size_t i = 0; i < body.size(); ++i)
            if (body[i].page > f.page) {
                pos = i;
                break;
            }
        OutLine l;
        l.text = QString::number(n) + QStringLiteral(") ") + plain(f.text).simplified();
        l.page = f.page;
        l.line = f.line;
        l.escaped = needsEscape(l.text);
        body.insert(body.begin() + std::ptrdiff_t(pos), std::move(l));
    }
    numberMarks(body);
    for (OutNote& n : notes) {
        n.text = inferYears(plain(n.text).simplified(), n.page, n.line, warnings);
        n.text.replace(QStringLiteral("[^"), QStringLiteral("[ ^"));
        if (n.text.isEmpty())
            n.text = QStringLiteral("(pusty przypis)");
    }
    // Blank lines inside the text would be kept as empty paragraphs; there
    // are none, but a paragraph that came out empty is dropped here.
    body.erase(std::remove_if(body.begin(), body.end(), [](const OutLine& l) { return l.text.isEmpty(); }),
               body.end());
    if (body.empty()) {
        error = QStringLiteral("no text of the act was found");
        return false;
    }

    // The packer's own reader has the last word: what it refuses is fixed
    // the conservative way (escaped, unlinked, broken up) and tried again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        out.source = compose(name, body, notes);
        packer::SourceDocument doc;
        packer::Problems problems;
        bool ok = packer::parseSource(out.source, "import", doc, problems);
        if (ok) {
            packer::encodeDocument(doc, problems);
            ok = problems.empty();
        }
        if (ok) {
            // What the packer will warn about, told with the input's pages.
            const int firstNoteLine = 2 + int(body.size()) + 2;
            for (const packer::Problem& w : doc.warnings) {
                const int k = w.line - firstNoteLine;
                const OutNote* n = k >= 0 && std::size_t(k) < notes.size() ? &notes[std::size_t(k)] : nullptr;
                warnings.add(n ? n->page : 0, n ? n->line : 0,
                             QStringLiteral("footnote %1: ").arg(k + 1) + QString::fromStdString(w.message));
            }
            out.footnotes = int(notes.size());
            return true;
        }
        bool fixed = false;
        for (const packer::Problem& p : problems) {
            if (p.line == 1 && attempt == 0) {
                error = QStringLiteral("the name '%1' cannot be used: %2").arg(name, QString::fromStdString(p.message));
                return false;
            }
            const int bodyIndex = p.line - 3;
            const int noteIndex = p.line - (3 + int(body.size()) + 1);
            const bool tooLong = p.message.find("255") != std::string::npos;
            if (bodyIndex >= 0 && std::size_t(bodyIndex) < body.size()) {
                OutLine& l = body[std::size_t(bodyIndex)];
                if (tooLong) {
                    l.text = splitLongRuns(l.text);
                    warnings.add(l.page, l.line, QStringLiteral("a run of text without spaces was too long to "
                                                                "store and was broken up"));
                    fixed = true;
                } else if (!l.escaped) {
                    l.escaped = true;
                    fixed = true;
                }
            } else if (noteIndex >= 0 && std::size_t(noteIndex) < notes.size()) {
                OutNote& n = notes[std::size_t(noteIndex)];
                const QString before = n.text;
                n.text = tooLong ? splitLongRuns(n.text) : unlinkCitations(n.text);
                if (n.text != before) {
                    warnings.add(n.page, n.line,
                                 QStringLiteral("footnote %1: %2; kept as written")
                                     .arg(noteIndex + 1)
                                     .arg(QString::fromStdString(p.message)));
                    fixed = true;
                }
            }
        }
        if (!fixed) {
            error = QStringLiteral("the imported text would not pack: ") +
                    QString::fromStdString(problems.empty() ? std::string("unknown reason") : problems[0].toString());
            return false;
        }
    }
    error = QStringLiteral("the imported text would not pack");
    return false;
}

} // namespace importer
