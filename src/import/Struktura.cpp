// From printed lines to the paragraphs of the act: one paragraph per unit
// (article, paragraph "§ 2.", numbered paragraph "1.", point "3)", letter
// "a)", indent "–"), headings and their titles on lines of their own.
#include "import/Dzielenie.h"
#include "import/Etapy.h"
#include "import/Znaki.h"
#include "import/Numery.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <map>
#include <set>

namespace importer {

namespace {

enum class Op { None, Article, Section, Ust, Point, Letter, Indent };

struct Opener {
    Op kind = Op::None;
    UnitNumber number;
    UnitNumber last;          // of a range "Art. 11–13."
    qsizetype numStart = 0;   // the number token, to write a restored superscript back
    qsizetype numEnd = 0;
    QString digits, letters;  // as written, when no superscript was marked
    bool marked = false;      // the superscript was marked in the input
    // The first numbered paragraph or point on an article's own line:
    // "Art. 5. 1. Tekst", "Art. 5. § 1. Tekst".
    Op inner = Op::None;
    UnitNumber innerNumber;
};

const QString kNum = QStringLiteral("(\\d{1,6})([a-z]{0,2})(?:\\x{E000}(\\d{1,3})\\x{E001})?");

UnitNumber numberFrom(const QRegularExpressionMatch& m, int first)
{
    UnitNumber n;
    n.base = m.captured(first).toInt();
    n.letters = m.captured(first + 1);
    n.sup = m.captured(first + 2).toInt();
    return n;
}

Opener parseOpener(const QString& t)
{
    static const QRegularExpression article(QStringLiteral("^Art\\. ?") + kNum +
                                            QStringLiteral("(?: ?[–-] ?") + kNum + QStringLiteral(")?\\."));
    static const QRegularExpression innerSection(QStringLiteral("^ ?(?:\\x{E000}\\d+\\)\\x{E001})? ?§ ?") + kNum +
                                                 QStringLiteral("\\. "));
    static const QRegularExpression innerUst(QStringLiteral("^ ?(?:\\x{E000}\\d+\\)\\x{E001})? ?") + kNum +
                                             QStringLiteral("\\. "));
    static const QRegularExpression section(QStringLiteral("^§ ?") + kNum + QStringLiteral("\\."));
    static const QRegularExpression ust(QStringLiteral("^") + kNum + QStringLiteral("\\.(?: |$)"));
    static const QRegularExpression point(QStringLiteral("^") + kNum + QStringLiteral("\\)(?: |$)"));
    static const QRegularExpression letter(
        QStringLiteral("^([a-z]{1,2})(?:\\x{E000}(\\d{1,3})\\x{E001})?\\)(?: |$)"));
    static const QRegularExpression indent(QStringLiteral("^[–-] "));

    Opener o;
    auto take = [&](Op kind, const QRegularExpressionMatch& m) {
        o.kind = kind;
        o.number = numberFrom(m, 1);
        o.numStart = m.capturedStart(1);
        o.numEnd = m.capturedEnd(3) >= 0 ? m.capturedEnd(3) + 1 : m.capturedEnd(2);
        o.digits = m.captured(1);
        o.letters = m.captured(2);
        o.marked = !m.captured(3).isEmpty();
    };
    if (const auto m = article.match(t); m.hasMatch()) {
        take(Op::Article, m);
        if (!m.captured(4).isEmpty())
            o.last = numberFrom(m, 4);
        const QString rest = t.mid(m.capturedEnd());
        if (const auto s = innerSection.match(rest); s.hasMatch()) {
            o.inner = Op::Section;
            o.innerNumber = numberFrom(s, 1);
        } else if (const auto u = innerUst.match(rest); u.hasMatch()) {
            o.inner = Op::Ust;
            o.innerNumber = numberFrom(u, 1);
        }
        return o;
    }
    if (const auto m = section.match(t); m.hasMatch()) {
        take(Op::Section, m);
        return o;
    }
    if (const auto m = ust.match(t); m.hasMatch()) {
        take(Op::Ust, m);
        return o;
    }
    if (const auto m = point.match(t); m.hasMatch()) {
        take(Op::Point, m);
        return o;
    }
    if (const auto m = letter.match(t); m.hasMatch()) {
        o.kind = Op::Letter;
        o.number.base = 0;
        o.number.letters = m.captured(1);
        o.number.sup = m.captured(2).toInt();
        return o;
    }
    if (indent.match(t).hasMatch())
        o.kind = Op::Indent;
    return o;
}

// Superscript footnote references ("\uE0003)\uE001") removed: what a
// heading or an ending looks like without them.
QString withoutReferences(const QString& t)
{
    static const QRegularExpression ref(QStringLiteral("\\x{E000}\\d{1,4}\\)\\x{E001}"));
    QString s = t;
    s.remove(ref);
    return plain(s).trimmed();
}

bool isHeading(const QString& text)
{
    static const QRegularExpression upper(QStringLiteral(
        "^(CZĘŚĆ|KSIĘGA|TYTUŁ|DZIAŁ|ROZDZIAŁ|ODDZIAŁ)(?: [^a-ząćęłńóśźż]{1,80})?$"));
    static const QRegularExpression sentence(QStringLiteral(
        "^(Część|Księga|Tytuł|Dział|Rozdział|Oddział) (?:[IVXLCDM]+|\\d{1,4})[a-z]{0,2}(?: ?\\d{1,3})?\\.?$"));
    const QString t = withoutReferences(text);
    return upper.match(t).hasMatch() || sentence.match(t).hasMatch();
}

bool isActWord(const QString& text)
{
    static const QRegularExpression re(QStringLiteral(
        "^(USTAWA|KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ|KONSTYTUCJA|ROZPORZĄDZENIE|DEKRET|KODEKS [A-ZĄĆĘŁŃÓŚŹŻ ]+)$"));
    return re.match(withoutReferences(text)).hasMatch();
}

// How a line ends, for telling a new unit from a wrapped sentence.
enum class Ending { Sentence, Clause, Conjunction, Open, NumberWord };

Ending endingOf(const QString& text)
{
    const QString t = withoutReferences(text);
    if (t.isEmpty())
        return Ending::Sentence;
    static const QRegularExpression numberWord(
        QStringLiteral("(?:^|\\s)(?:art\\.|ust\\.|pkt|poz\\.|lit\\.|Nr|nr|§|t\\.j\\.|Dz\\.|U\\.|tj\\.|z|w|i)$"));
    if (numberWord.match(t).hasMatch())
        return Ending::NumberWord;
    const QChar c = t.back();
    if (c == QLatin1Char('.') || c == QLatin1Char(':') || c == QLatin1Char(';') || c == QLatin1Char(')') ||
        c == QChar(0x201D) || c == QLatin1Char('"'))
        return Ending::Sentence;
    if (c == QLatin1Char(','))
        return Ending::Clause;
    static const QRegularExpression conj(QStringLiteral("(?:^|\\s)(?:lub|oraz|albo|bądź|a także|czy|a)$"));
    if (conj.match(t).hasMatch())
        return Ending::Conjunction;
    return Ending::Open;
}

class Builder {
public:
    Builder(const Document& doc, Hyphenation& h, StructureStats& s, Warnings& w) : D(doc), H(h), S(s), W(w) {}

    std::vector<Paragraph> run()
    {
        std::vector<const Line*> lines;
        for (const Page& p : D.pages)
            for (const Line& l : p.lines)
                lines.push_back(&l);
        for (const Line* l : lines)
            H.learn(plain(l->text));
        measureWidths(lines);
        int page = 0;
        for (const Line* l : lines) {
            // A page break is no paragraph break: the space above the first
            // line of a page says nothing.
            FPageStart = l->page != page;
            page = l->page;
            line(*l);
        }
        if (FColumns)
            W.add(FColumnPage, FColumnLine,
                  QStringLiteral("%1 line(s) were set in columns; their parts were joined with spaces").arg(FColumns));
        if (!D.pdf && !D.layout)
            restoreCompounds();
        return std::move(P);
    }

private:
    // The text column, to tell a centred title from running text: from the
    // PDF's geometry, from the indents of a layout made with spaces, or
    // from the usual length of a full line when there is no other clue.
    void measureWidths(const std::vector<const Line*>& lines)
    {
        std::vector<double> lefts, rights;
        std::vector<qsizetype> lengths;
        for (const Line* l : lines) {
            lengths.push_back(l->text.size());
            if (l->geometry && l->right - l->left > 4 * l->size) {
                lefts.push_back(l->left);
                rights.push_back(l->right);
            }
        }
        if (lengths.empty())
            return;
        // The indent most lines of a layout made with spaces start at.
        std::map<int, int> indents;
        for (const Line* l : lines)
            if (l->indent >= 0)
                ++indents[l->indent];
        int most = 0;
        for (const auto& [indent, count] : indents)
            if (count > most) {
                most = count;
                FBaseIndent = indent;
            }
        std::sort(lengths.begin(), lengths.end());
        FFullLength = lengths[lengths.size() * 9 / 10];
        if (lefts.size() >= 5) {
            std::sort(lefts.begin(), lefts.end());
            std::sort(rights.begin(), rights.end());
            FColLeft = lefts[lefts.size() / 10];
            FColRight = rights[rights.size() * 9 / 10];
        }
    }

    bool looksCentredTitle(const Line& l, const QString& text) const
    {
        if (text.size() > 200)
            return false;
        const double width = FColRight - FColLeft;
        if (l.geometry && width > 0) {
            // A centred line stands off both edges of the column by about as
            // much; running text fills it, or stands off the left edge only
            // (a first-line indent).
            const double leftGap = std::max(0.0, l.left - FColLeft);
            const double rightGap = std::max(0.0, FColRight - l.right);
            return leftGap + rightGap > 1.5 * l.size &&
                   std::abs(leftGap - rightGap) < std::max(3.0, 0.3 * (leftGap + rightGap));
        }
        // pdftotext -layout sets lines on a grid of average characters, so
        // only a deep indent tells.
        if (l.indent >= 0)
            return l.indent >= 8;
        if (FFullLength < 60)
            return text.size() <= 120;  // too little text to know a full line
        return text.size() < FFullLength * 85 / 100;
    }

    void start(Paragraph::Kind kind, const Line& l, const QString& text)
    {
        Paragraph p;
        p.kind = kind;
        p.text = text;
        p.page = l.page;
        p.line = l.number;
        P.push_back(std::move(p));
    }

    void join(const Line& l, const QString& text)
    {
        QString& cur = P.back().text;
        if (cur.endsWith(kSoftHyphen)) {
            cur.chop(1);
            cur += text;
            ++S.hyphensJoined;
            return;
        }
        const qsizetype n = cur.size();
        if (n >= 2 && cur.back() == QLatin1Char('-') && cur[n - 2].isLetter() && !text.isEmpty()) {
            if (text[0].isLower()) {
                const qsizetype space = cur.lastIndexOf(QLatin1Char(' '));
                const QString head = cur.mid(space + 1, n - space - 2);
                const QString tail = text.section(QLatin1Char(' '), 0, 0);
                bool sure = true;
                if (H.decide(head, tail, sure) == Hyphenation::Verdict::Join) {
                    cur.chop(1);
                    ++S.hyphensJoined;
                    if (!sure)
                        W.add(l.page, l.number,
                              QStringLiteral("joined a line that ends with a hyphen: '%1-' + '%2' read as '%3'")
                                  .arg(plain(head), plain(wordCore(tail)), plain(head) + plain(wordCore(tail))));
                }
                cur += text;
                return;
            }
            if (text[0].isLetterOrNumber()) {
                cur += text;  // "PKO-" + "BP", a compound with a capital or a number
                return;
            }
        }
        if (n >= 2 && cur.back() == QLatin1Char('-') && cur[n - 2].isDigit() && !text.isEmpty() && text[0].isDigit()) {
            cur += text;  // "2001-" + "2005"
            return;
        }
        cur += QLatin1Char(' ') + text;
    }

    QString cleaned(const Line& l)
    {
        QString t = l.text;
        if (t.contains(QLatin1Char('\t'))) {
            t.replace(QLatin1Char('\t'), QLatin1Char(' '));
            if (!FColumns++) {
                FColumnPage = l.page;
                FColumnLine = l.number;
            }
        }
        return t.trimmed();
    }

    // Whether a line that looks like a unit opens one rather than continues
    // a sentence wrapped before a number ("... zgodnie z ust." / "2. ...").
    bool accepts(const Opener& o, UnitNumber& number, bool& restored)
    {
        restored = false;
        const Paragraph::Kind current = P.empty() ? Paragraph::Heading : P.back().kind;
        const bool afterHeading = current == Paragraph::Heading || current == Paragraph::Title;
        const Ending e = P.empty() ? Ending::Sentence : endingOf(P.back().text);
        if (e == Ending::NumberWord)
            return false;
        const UnitNumber* prev = nullptr;
        switch (o.kind) {
        case Op::Section: prev = &FSection; break;
        case Op::Ust: prev = &FUst; break;
        case Op::Point: prev = &FPoint; break;
        case Op::Letter: prev = &FLetter; break;
        default: break;
        }
        number = o.number;
        if (prev && o.kind != Op::Letter && !o.marked) {
            const Resolved r = resolveNumber(o.digits, o.letters, *prev);
            number = r.number;
            restored = r.restored;
        }
        const int d = prev ? distance(*prev, number) : 0;
        switch (o.kind) {
        case Op::Section:
        case Op::Ust:
            return afterHeading || e == Ending::Sentence || (e != Ending::Open && d == 0);
        case Op::Point:
        case Op::Letter:
            return afterHeading || ((e == Ending::Sentence || e == Ending::Clause || e == Ending::Conjunction) &&
                                    (d <= 2 || number.base <= 1));
        case Op::Indent:
            return e == Ending::Sentence || e == Ending::Clause || e == Ending::Conjunction;
        default:
            return false;
        }
    }

    void line(const Line& l)
    {
        const QString text = cleaned(l);
        if (text.isEmpty())
            return;
        const Paragraph::Kind current = P.empty() ? Paragraph::Heading : P.back().kind;
        const bool headingArea = !P.empty() && (current == Paragraph::Heading || current == Paragraph::Title);

        if (isHeading(text) || isActWord(text)) {
            start(Paragraph::Heading, l, text);
            ++S.headings;
            return;
        }
        Opener o = parseOpener(text);
        if (o.kind == Op::Article) {
            QString t = text;
            UnitNumber number = o.number;
            if (!o.marked && !o.last.valid()) {
                const Resolved r = resolveNumber(o.digits, o.letters, FArticle);
                number = r.number;
                if (r.restored) {
                    t.replace(o.numStart, o.numEnd - o.numStart, number.toText());
                    ++S.superscriptsRestored;
                }
                if (r.ambiguous)
                    W.add(l, QStringLiteral("article number '%1' read as %2").arg(o.digits + o.letters,
                                                                                   plain(readable(number))));
            }
            FArticle = o.last.valid() ? o.last : number;
            FSection = FUst = FPoint = FLetter = UnitNumber{};
            if (o.inner == Op::Section)
                FSection = o.innerNumber;
            else if (o.inner == Op::Ust)
                FUst = o.innerNumber;
            start(Paragraph::Article, l, t);
            ++S.articles;
            return;
        }
        if (o.kind != Op::None) {
            UnitNumber number;
            bool restored = false;
            if (accepts(o, number, restored)) {
                QString t = text;
                if (restored) {
                    t.replace(o.numStart, o.numEnd - o.numStart, number.toText());
                    ++S.superscriptsRestored;
                }
                switch (o.kind) {
                case Op::Section: FSection = number; FUst = FPoint = FLetter = UnitNumber{}; break;
                case Op::Ust: FUst = number; FPoint = FLetter = UnitNumber{}; break;
                case Op::Point: FPoint = number; FLetter = UnitNumber{}; break;
                case Op::Letter: FLetter = number; break;
                default: break;
                }
                start(Paragraph::Unit, l, t);
                ++S.units;
                return;
            }
        }
        if (P.empty()) {
            start(Paragraph::Plain, l, text);
            return;
        }
        if (headingArea) {
            // A title under a heading; a wrapped title continues; running
            // text (a preamble) is a paragraph of its own.
            const bool dateLine = P.back().kind == Paragraph::Title &&
                                  plain(P.back().text).startsWith(QLatin1String("z dnia "));
            // The date under the act's word is always its line.
            const bool date = text.startsWith(QLatin1String("z dnia ")) && P.back().kind == Paragraph::Heading;
            if (!date && !looksCentredTitle(l, text)) {
                start(Paragraph::Plain, l, text);
            } else if (P.back().kind == Paragraph::Title && !dateLine && !text.startsWith(QLatin1String("z dnia ")) &&
                       P.back().text.size() + text.size() < 250) {
                join(l, text);
            } else {
                start(Paragraph::Title, l, text);
            }
            return;
        }
        // Running text: a new paragraph only where the page shows one (an
        // empty line after a finished sentence), else the wrapped line
        // continues the paragraph.
        if (!FPageStart && endingOf(P.back().text) == Ending::Sentence &&
            ((l.gapBefore && !D.pdf && !D.layout) || (P.back().kind == Paragraph::Plain && indentedStart(l)))) {
            start(Paragraph::Plain, l, text);
            return;
        }
        join(l, text);
    }

    // A first line set in from the column's edge, where the lines that
    // continue a paragraph start at the edge itself.
    bool indentedStart(const Line& l) const
    {
        if (l.geometry)
            return FColRight > FColLeft && l.left > FColLeft + 0.8 * l.size;
        if (l.indent >= 0)
            return l.indent > FBaseIndent + 1 && l.indent < FBaseIndent + 8;
        return false;
    }

    static QString readable(const UnitNumber& n)
    {
        QString s = QString::number(n.base) + n.letters;
        if (n.sup)
            s += QLatin1Char('^') + QString::number(n.sup);
        return s;
    }

    // pdftotext joins a word broken at a line end and drops the hyphen even
    // when the hyphen was the word's own: put it back where the document
    // shows the hyphenated form elsewhere.
    void restoreCompounds()
    {
        for (Paragraph& p : P) {
            QStringList tokens = p.text.split(QLatin1Char(' '));
            bool changed = false;
            for (QString& t : tokens) {
                if (t.size() < 7 || t.contains(QLatin1Char('-')))
                    continue;
                const QString fixed = H.restoreCompound(t);
                if (fixed.isEmpty())
                    continue;
                W.add(p.page, p.line, QStringLiteral("'%1' read as '%2', as the text writes it elsewhere")
                                          .arg(plain(t), plain(fixed)));
                t = fixed;
                changed = true;
            }
            if (changed)
                p.text = tokens.join(QLatin1Char(' '));
        }
    }

    const Document& D;
    Hyphenation& H;
    StructureStats& S;
    Warnings& W;
    std::vector<Paragraph> P;
    qsizetype FFullLength = 0;
    double FColLeft = 0, FColRight = 0;
    int FBaseIndent = 0;
    bool FPageStart = false;
    int FColumns = 0, FColumnPage = 0, FColumnLine = 0;
    UnitNumber FArticle, FSection, FUst, FPoint, FLetter;
};

} // namespace

std::vector<Paragraph> buildStructure(const Document& doc, Hyphenation& hyphenation, StructureStats& stats,
                                      Warnings& warnings)
{
    Builder b(doc, hyphenation, stats, warnings);
    return b.run();
}

void restoreCitedSuperscripts(std::vector<Paragraph>& paragraphs, StructureStats& stats)
{
    // The act's own article numbers, with their superscripts.
    static const QRegularExpression article(QStringLiteral("^Art\\. ?") + kNum);
    std::set<QString> articles;
    for (const Paragraph& p : paragraphs) {
        if (p.kind != Paragraph::Article)
            continue;
        if (const auto m = article.match(p.text); m.hasMatch())
            articles.insert(numberFrom(m, 1).toText());
    }
    static const QRegularExpression cited(QStringLiteral("\\bart\\. (\\d{2,6})(?![\\d\\x{E000}a-z])"));
    for (Paragraph& p : paragraphs) {
        if (!p.text.contains(QLatin1String("art. ")))
            continue;
        qsizetype from = 0;
        QRegularExpressionMatch m;
        while ((m = cited.match(p.text, from)).hasMatch()) {
            from = m.capturedEnd();
            const QString digits = m.captured(1);
            if (articles.count(digits))
                continue;
            // Another act's article is not the act's own.
            const QString after = p.text.mid(m.capturedEnd(), 40);
            static const QRegularExpression otherAct(
                QStringLiteral("^(?: (?:§|ust\\.|pkt) \\S+)* (?:ustaw|kodeks|Kodeks|rozporządzeni|Konstytucji)"));
            if (otherAct.match(after).hasMatch())
                continue;
            QString found;
            for (qsizetype k = digits.size() - 1; k >= 1 && found.isEmpty(); --k) {
                const QString tail = digits.mid(k);
                if (tail.startsWith(QLatin1Char('0')) || tail.size() > 2)
                    continue;
                UnitNumber n;
                n.base = digits.left(k).toInt();
                n.sup = tail.toInt();
                if (articles.count(n.toText()))
                    found = n.toText();
            }
            if (found.isEmpty())
                continue;
            p.text.replace(m.capturedStart(1), digits.size(), found);
            from = m.capturedStart(1) + found.size();
            ++stats.superscriptsRestored;
        }
    }
}

} // namespace importer
