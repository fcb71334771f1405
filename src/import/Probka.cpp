#include "import/Probka.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>

#include <map>
#include <memory>
#include <random>
#include <vector>

namespace importer {

namespace {

// A4 in points; the writer runs at 72 dpi so that one unit is one point.
constexpr double kPageW = 595;
constexpr double kPageH = 842;
constexpr double kLeft = 70;
constexpr double kRight = 70;
constexpr double kTop = 72;
constexpr double kBottom = 64;
constexpr double kTextW = kPageW - kLeft - kRight;

enum FontId { Body, Bold, Sup, Note, NoteSup, Small, Masthead, FontCount };

struct Fonts {
    QFont f[FontCount];
    std::unique_ptr<QFontMetricsF> m[FontCount];
    double raise = 0;      // how far a superscript sits above the baseline
    double noteRaise = 0;

    Fonts(const SampleOptions& o, QPaintDevice* device)
    {
        auto make = [&](FontId id, double size, bool bold) {
            QFont font(QStringLiteral("Liberation Serif"));
            font.setPointSizeF(size);
            font.setBold(bold);
            font.setKerning(false);
            f[id] = font;
            m[id] = std::make_unique<QFontMetricsF>(font, device);
        };
        make(Body, o.bodySize, false);
        make(Bold, o.bodySize, true);
        make(Sup, o.bodySize * 0.6, false);
        make(Note, o.footnoteSize, false);
        make(NoteSup, o.footnoteSize * 0.65, false);
        make(Small, 8, false);
        make(Masthead, 20, true);
        raise = o.bodySize * 0.35;
        noteRaise = o.footnoteSize * 0.35;
    }
    double width(FontId id, const QString& s) const { return m[id]->horizontalAdvance(s); }
};

// A piece of a word: plain text, or a superscript (a unit number's "1", a
// footnote reference "3)").
struct Piece {
    QString text;
    bool sup = false;
    int footnote = 0;  // the reference's footnote number, 0 for none
};
using Word = std::vector<Piece>;

struct Op {
    double x, y;  // baseline
    QString text;
    FontId font;
};

struct PageOps {
    std::vector<Op> ops;
    std::vector<std::pair<double, double>> rules;  // footnote separator: y and width
};

enum class Kind { Heading, Title, Article, Paragraph, Point, Letter, Indent, Plain };

struct Block {
    Kind kind;
    std::vector<Word> words;
};

Word parseWord(const QString& w)
{
    static const QRegularExpression token(QStringLiteral("\\[\\^(\\d+)\\]|\\^(\\d+)"));
    Word out;
    qsizetype at = 0;
    auto it = token.globalMatch(w);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.capturedStart() > at)
            out.push_back({w.mid(at, m.capturedStart() - at), false, 0});
        if (m.captured(1).isEmpty())
            out.push_back({m.captured(2), true, 0});
        else
            out.push_back({m.captured(1) + QLatin1Char(')'), true, m.captured(1).toInt()});
        at = m.capturedEnd();
    }
    if (at < w.size())
        out.push_back({w.mid(at), false, 0});
    return out;
}

std::vector<Word> parseWords(const QString& line)
{
    std::vector<Word> words;
    for (const QString& w : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words.push_back(parseWord(w));
    return words;
}

bool startsWithHeadingWord(const QString& s)
{
    static const QRegularExpression re(QStringLiteral(
        "^(USTAWA|Ustawa|KODEKS|Kodeks|CZĘŚĆ|Część|KSIĘGA|Księga|TYTUŁ|Tytuł|DZIAŁ|Dział|ROZDZIAŁ|Rozdział|"
        "ODDZIAŁ|Oddział|KONSTYTUCJA|Konstytucja)( |$|\\[)"));
    return re.match(s).hasMatch();
}

Kind unitKind(const QString& s)
{
    static const QRegularExpression point(QStringLiteral("^\\d+[a-z]*(\\^\\d+)?\\) "));
    static const QRegularExpression ust(QStringLiteral("^\\d+[a-z]*(\\^\\d+)?\\. "));
    static const QRegularExpression letter(QStringLiteral("^[a-z]{1,2}(\\^\\d+)?\\) "));
    if (s.startsWith(QStringLiteral("Art.")))
        return Kind::Article;
    if (s.startsWith(QStringLiteral("§")) || ust.match(s).hasMatch())
        return Kind::Paragraph;
    if (point.match(s).hasMatch())
        return Kind::Point;
    if (letter.match(s).hasMatch())
        return Kind::Letter;
    if (s.startsWith(QStringLiteral("– ")))
        return Kind::Indent;
    return Kind::Plain;
}

class Layout {
public:
    Layout(const SampleOptions& o, Fonts& f) : O(o), F(f) {}

    std::vector<PageOps> pages;
    std::map<int, QString> footnoteText;

    void newPage()
    {
        flushFootnotes();
        pages.emplace_back();
        y = kTop;
        pageFootnotes.clear();
    }
    void finish() { flushFootnotes(); }

    void skip(double dy) { y += dy; }

    // A centred line (headings, titles), wrapped if it is too long.
    void centred(const std::vector<Word>& words, FontId font)
    {
        std::vector<std::vector<const Word*>> lines(1);
        double w = 0;
        for (const Word& word : words) {
            const double ww = wordWidth(word, font);
            if (!lines.back().empty() && w + space(font) + ww > kTextW * 0.8) {
                lines.emplace_back();
                w = 0;
            }
            w += (lines.back().empty() ? 0 : space(font)) + ww;
            lines.back().push_back(&word);
        }
        for (const auto& l : lines) {
            double lw = 0;
            for (std::size_t i = 0; i < l.size(); ++i)
                lw += wordWidth(*l[i], font) + (i ? space(font) : 0);
            placeLine(l, font, kLeft + (kTextW - lw) / 2, 0, false);
        }
    }

    // A justified paragraph: first line from `first`, the others from `rest`.
    void justified(std::vector<Word> words, double first, double rest, int boldWords)
    {
        std::vector<const Word*> line;
        double w = 0;
        bool firstLine = true;
        int wordIndex = 0;
        std::vector<FontId> lineFonts;
        std::vector<Word> pool;  // halves of hyphenated words
        pool.reserve(words.size() * 2);
        for (std::size_t i = 0; i < words.size(); ++i) {
            const FontId font = wordIndex++ < boldWords ? Bold : Body;
            const Word* word = &words[i];
            const double avail = kTextW - (firstLine ? first : rest);
            double ww = wordWidth(*word, font);
            if (!line.empty() && w + space(Body) + ww > avail) {
                // Hyphenate if a part of the word still fits.
                Word head, tail;
                if (O.hyphenate && split(*word, avail - w - space(Body), font, head, tail)) {
                    pool.push_back(head);
                    line.push_back(&pool.back());
                    lineFonts.push_back(font);
                    placeLine(line, lineFonts, kLeft + (firstLine ? first : rest), avail, true);
                    line.clear();
                    lineFonts.clear();
                    firstLine = false;
                    pool.push_back(tail);
                    line.push_back(&pool.back());
                    lineFonts.push_back(font);
                    w = wordWidth(pool.back(), font);
                    continue;
                }
                placeLine(line, lineFonts, kLeft + (firstLine ? first : rest), avail, true);
                line.clear();
                lineFonts.clear();
                firstLine = false;
                w = 0;
            }
            w += (line.empty() ? 0 : space(Body)) + ww;
            line.push_back(word);
            lineFonts.push_back(font);
        }
        if (!line.empty())
            placeLine(line, lineFonts, kLeft + (firstLine ? first : rest), 0, false);
    }

    // Text at a fixed place, outside the flow (mastheads, signatures).
    void fixed(double x, double baseline, const QString& text, FontId font)
    {
        pages.back().ops.push_back({x, baseline, text, font});
    }
    double lineHeight(FontId font) const { return F.m[font]->height() * 1.12; }
    double y = kTop;

private:
    double space(FontId font) const { return F.width(font, QStringLiteral(" ")); }

    double wordWidth(const Word& w, FontId font) const
    {
        double x = 0;
        for (const Piece& p : w)
            x += F.width(p.sup ? (font == Note ? NoteSup : Sup) : font, p.text);
        return x;
    }

    // Splits a long plain word so that its head and a hyphen fit into `room`.
    bool split(const Word& w, double room, FontId font, Word& head, Word& tail) const
    {
        if (w.size() != 1 || w[0].sup)
            return false;
        const QString& s = w[0].text;
        // A compound breaks at its own hyphen, which stays with the head.
        const qsizetype hyphen = s.indexOf(QLatin1Char('-'));
        if (hyphen > 2 && hyphen < s.size() - 3) {
            const QString h = s.left(hyphen + 1);
            if (F.width(font, h) <= room) {
                head = {{h, false, 0}};
                tail = {{s.mid(hyphen + 1), false, 0}};
                return true;
            }
            return false;
        }
        if (s.size() < 7 || hyphen >= 0)
            return false;
        static const QString vowels = QStringLiteral("aąeęioóuyAĄEĘIOÓUY");
        for (qsizetype k = s.size() - 3; k >= 3; --k) {
            if (!s[k - 1].isLetter() || !s[k].isLetter() || !vowels.contains(s[k - 1]) || vowels.contains(s[k]))
                continue;
            const QString h = s.left(k) + QLatin1Char('-');
            if (F.width(font, h) <= room) {
                head = {{h, false, 0}};
                tail = {{s.mid(k), false, 0}};
                return true;
            }
        }
        return false;
    }

    void placeLine(const std::vector<const Word*>& words, FontId font, double x0, double avail, bool justify)
    {
        placeLine(words, std::vector<FontId>(words.size(), font), x0, avail, justify);
    }

    void placeLine(const std::vector<const Word*>& words, const std::vector<FontId>& fonts, double x0,
                   double avail, bool justify)
    {
        // Footnotes referred to on this line must fit on this page.
        std::vector<int> refs;
        for (const Word* w : words)
            for (const Piece& p : *w)
                if (p.footnote)
                    refs.push_back(p.footnote);
        const double h = lineHeight(fonts.empty() ? Body : fonts[0]);
        std::vector<int> withNew = pageFootnotes;
        withNew.insert(withNew.end(), refs.begin(), refs.end());
        if (y + h > kPageH - kBottom - footnotesHeight(withNew) && y > kTop) {
            newPage();
            withNew = refs;
        }
        pageFootnotes = withNew;
        y += h;
        double natural = 0;
        for (std::size_t i = 0; i < words.size(); ++i)
            natural += wordWidth(*words[i], fonts[i]) + (i ? space(Body) : 0);
        double gap = space(Body);
        if (justify && words.size() > 1 && avail > natural)
            gap += (avail - natural) / double(words.size() - 1);
        double x = x0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            for (const Piece& p : *words[i]) {
                const FontId f = p.sup ? Sup : fonts[i];
                pages.back().ops.push_back({x, p.sup ? y - F.raise : y, p.text, f});
                x += F.width(f, p.text);
            }
            x += gap;
        }
    }

    std::vector<std::vector<Word>> noteLines(int n) const
    {
        // A footnote: "n)" then its text, wrapped with a hanging indent.
        std::vector<std::vector<Word>> lines(1);
        const auto it = footnoteText.find(n);
        std::vector<Word> words = parseWords(it == footnoteText.end() ? QString() : it->second);
        double w = 0;
        const double avail = kTextW - 12;
        for (Word& word : words) {
            double ww = 0;
            for (const Piece& p : word)
                ww += F.width(Note, p.text);
            if (!lines.back().empty() && w + F.width(Note, QStringLiteral(" ")) + ww > avail) {
                lines.emplace_back();
                w = 0;
            }
            w += (lines.back().empty() ? 0 : F.width(Note, QStringLiteral(" "))) + ww;
            lines.back().push_back(std::move(word));
        }
        return lines;
    }

    double footnotesHeight(const std::vector<int>& notes) const
    {
        if (notes.empty())
            return 0;
        double h = 10;
        for (int n : notes)
            h += double(noteLines(n).size()) * lineHeight(Note);
        return h;
    }

    void flushFootnotes()
    {
        if (pages.empty() || pageFootnotes.empty())
            return;
        double fy = kPageH - kBottom - footnotesHeight(pageFootnotes);
        pages.back().rules.push_back({fy + 4, 120});
        fy += 10;
        const double space = F.width(Note, QStringLiteral(" "));
        for (int n : pageFootnotes) {
            bool first = true;
            for (const auto& line : noteLines(n)) {
                fy += lineHeight(Note);
                if (first) {
                    pages.back().ops.push_back({kLeft, fy - F.noteRaise, QString::number(n) + QLatin1Char(')'),
                                                NoteSup});
                    first = false;
                }
                double x = kLeft + 12;
                for (const Word& w : line) {
                    for (const Piece& p : w) {
                        pages.back().ops.push_back({x, fy, p.text, Note});
                        x += F.width(Note, p.text);
                    }
                    x += space;
                }
            }
        }
        pageFootnotes.clear();
    }

    const SampleOptions& O;
    Fonts& F;
    std::vector<int> pageFootnotes;
};

QString titleOf(const QStringList& body, QString* date)
{
    if (!body.isEmpty() && body[0].startsWith(QStringLiteral("KONSTYTUCJA"))) {
        if (date && body.size() > 1)
            *date = body[1];
        return QStringLiteral("Konstytucja Rzeczypospolitej Polskiej");
    }
    for (int i = 0; i + 1 < body.size(); ++i) {
        if (body[i].startsWith(QStringLiteral("z dnia "))) {
            if (date)
                *date = body[i];
            QString t = body[i + 1];
            t.remove(QRegularExpression(QStringLiteral("\\[\\^\\d+\\]")));
            return t;
        }
    }
    return QStringLiteral("Kodeks");
}

void journalFrontMatter(Layout& L, const SampleOptions& o, const QString& title, const QString& date)
{
    const QString poz = QString::number(o.position);
    L.fixed(kLeft + 150, 70, QStringLiteral("DZIENNIK USTAW"), Masthead);
    L.fixed(kLeft + 125, 95, QStringLiteral("RZECZYPOSPOLITEJ POLSKIEJ"), Masthead);
    L.fixed(kLeft, 125, QStringLiteral("Warszawa, dnia 19 lipca %1 r.").arg(o.year), Body);
    L.fixed(kPageW - kRight - 50, 125, QStringLiteral("Poz. ") + poz, Bold);
    L.y = 150;
    L.centred(parseWords(QStringLiteral("OBWIESZCZENIE")), Bold);
    L.centred(parseWords(QStringLiteral("MARSZAŁKA SEJMU RZECZYPOSPOLITEJ POLSKIEJ")), Bold);
    L.centred(parseWords(QStringLiteral("z dnia 28 czerwca %1 r.").arg(o.year)), Body);
    L.centred(parseWords(QStringLiteral("w sprawie ogłoszenia jednolitego tekstu ustawy – ") + title), Bold);
    L.skip(8);
    const QString act = QStringLiteral("ustawy ") + date + QStringLiteral(" – ") + title;
    const QStringList paragraphs = {
        QStringLiteral("1. Na podstawie art. 16 ust. 1 ustawy z dnia 20 lipca 2000 r. o ogłaszaniu aktów "
                       "normatywnych (Dz. U. z 2019 r. poz. 1461) ogłasza się w załączniku jednolity tekst ") +
            act + QStringLiteral(" (Dz. U. z %1 r. poz. 1610), z uwzględnieniem zmian wprowadzonych:").arg(o.year - 1),
        QStringLiteral("1) ustawą z dnia 7 lipca %1 r. o zmianie ustawy – ").arg(o.year - 1) + title +
            QStringLiteral(" (Dz. U. poz. 1615),"),
        QStringLiteral("2) ustawą z dnia 3 lutego %1 r. o przeglądzie przepisów (Dz. U. poz. 140)").arg(o.year),
        QStringLiteral("oraz zmian wynikających z przepisów ogłoszonych przed dniem 27 czerwca %1 r.").arg(o.year),
        QStringLiteral("2. Podany w załączniku tekst jednolity ustawy nie obejmuje:"),
        QStringLiteral("1) art. 2 ustawy z dnia 7 lipca %1 r. o zmianie ustawy – ").arg(o.year - 1) + title +
            QStringLiteral(" (Dz. U. poz. 1615), który stanowi:"),
        QStringLiteral("„Art. 2. Do spraw wszczętych przed dniem wejścia w życie niniejszej ustawy stosuje się "
                       "przepisy w brzmieniu dotychczasowym.”;"),
        QStringLiteral("2) art. 5 ustawy z dnia 3 lutego %1 r. o przeglądzie przepisów (Dz. U. poz. 140), który "
                       "stanowi:").arg(o.year),
        QStringLiteral("„Art. 5. Przepisy niniejszej ustawy stosuje się od pierwszego dnia miesiąca następującego "
                       "po jej ogłoszeniu.”."),
    };
    for (const QString& p : paragraphs)
        L.justified(parseWords(p), 14, 0, 0);
    L.skip(14);
    L.fixed(kPageW - kRight - 150, L.y + 12, QStringLiteral("Marszałek Sejmu: J. Nowak"), Body);
    L.newPage();
    L.fixed(kPageW - kRight - 300, L.y + 9, QStringLiteral("Załącznik do obwieszczenia Marszałka Sejmu "
                                                         "Rzeczypospolitej Polskiej"), Small);
    L.fixed(kPageW - kRight - 300, L.y + 19, QStringLiteral("z dnia 28 czerwca %1 r. (poz. %2)").arg(o.year).arg(poz),
            Small);
    L.y += 40;
}

void sejmFrontMatter(Layout& L, const SampleOptions& o)
{
    QString ref = QStringLiteral("Dz. U. %1 ").arg(o.originalYear);
    if (o.originalNumber > 0)
        ref += QStringLiteral("Nr %1 ").arg(o.originalNumber);
    ref += QStringLiteral("poz. %1").arg(o.originalPosition);
    L.y = 100;
    L.centred(parseWords(ref), Body);
    L.fixed(kPageW - kRight - 190, 125, QStringLiteral("Opracowano na podstawie: t.j. Dz. U."), Small);
    L.fixed(kPageW - kRight - 190, 135, QStringLiteral("z %1 r. poz. %2, 1237.").arg(o.year).arg(o.position), Small);
    L.y = 150;
}

void drawFurniture(QPainter& p, const Fonts& F, const SampleOptions& o, int page, int pages)
{
    p.setFont(F.f[Small]);
    if (o.form == SampleForm::Journal) {
        if (page == 1)
            return;
        const QString mid = QStringLiteral("– %1 –").arg(page);
        p.drawText(QPointF(kLeft, 40), QStringLiteral("Dziennik Ustaw"));
        p.drawText(QPointF(kPageW / 2 - F.width(Small, mid) / 2, 40), mid);
        const QString poz = QStringLiteral("Poz. %1").arg(o.position);
        p.drawText(QPointF(kPageW - kRight - F.width(Small, poz), 40), poz);
    } else {
        p.drawText(QPointF(kLeft, 36), QStringLiteral("©Kancelaria Sejmu"));
        const QString s = QStringLiteral("s. %1/%2").arg(page).arg(pages);
        p.drawText(QPointF(kPageW - kRight - F.width(Small, s), 36), s);
        const QString date = QStringLiteral("%1-07-23").arg(o.year);
        p.drawText(QPointF(kPageW - kRight - F.width(Small, date), 50), date);
    }
}

} // namespace

Sample makeSamplePdf(const std::string& content, const SampleOptions& options)
{
    QStringList lines = QString::fromUtf8(content.data(), qsizetype(content.size())).split(QLatin1Char('\n'));
    // Name and the empty line after it are not part of the page.
    if (lines.size() >= 2)
        lines = lines.mid(2);
    QStringList body;
    std::map<int, QString> notes;
    int current = 0;
    static const QRegularExpression def(QStringLiteral("^\\[\\^(\\d+)\\]:\\s*(.*)$"));
    for (const QString& l : lines) {
        const auto m = def.match(l);
        if (m.hasMatch()) {
            current = m.captured(1).toInt();
            notes[current] = m.captured(2);
        } else if (current) {
            if (!l.trimmed().isEmpty())
                notes[current] += QLatin1Char(' ') + l.trimmed();
        } else if (!l.isEmpty()) {
            body.push_back(l.startsWith(QLatin1Char('\\')) ? l.mid(1) : l);
        }
    }

    Sample sample;
    QBuffer buffer(&sample.pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    writer.setCreator(QStringLiteral("Lumesta sample"));
    Fonts F(options, &writer);

    Layout L(options, F);
    L.footnoteText = notes;
    L.newPage();
    QString date = QStringLiteral("z dnia 1 stycznia 1970 r.");
    const QString title = titleOf(body, &date);
    if (options.form == SampleForm::Journal)
        journalFrontMatter(L, options, title, date);
    else
        sejmFrontMatter(L, options);

    bool headingArea = false;
    for (const QString& line : body) {
        const bool heading = startsWithHeadingWord(line);
        const Kind unit = unitKind(line);
        if (heading) {
            L.skip(headingArea ? 0 : 6);
            L.centred(parseWords(line), Bold);
            headingArea = true;
            continue;
        }
        // A long plain line is running text even under a heading (a preamble).
        if (headingArea && unit == Kind::Plain && line.size() <= 150) {
            L.centred(parseWords(line), line.startsWith(QStringLiteral("z dnia")) ? Body : Bold);
            continue;
        }
        if (headingArea)
            L.skip(6);
        headingArea = false;
        switch (unit) {
        case Kind::Article: {
            // "Art. 5." in bold: the word and the number.
            L.justified(parseWords(line), 14, 0, 2);
            break;
        }
        case Kind::Paragraph: L.justified(parseWords(line), 14, 0, 0); break;
        case Kind::Point: L.justified(parseWords(line), 14, 28, 0); break;
        case Kind::Letter: L.justified(parseWords(line), 28, 42, 0); break;
        case Kind::Indent: L.justified(parseWords(line), 42, 52, 0); break;
        default: L.justified(parseWords(line), 14, 0, 0); break;
        }
    }
    L.finish();

    QPainter painter(&writer);
    const int pages = int(L.pages.size());
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        drawFurniture(painter, F, options, i + 1, pages);
        FontId last = FontCount;
        for (const Op& op : L.pages[std::size_t(i)].ops) {
            if (op.font != last) {
                painter.setFont(F.f[op.font]);
                last = op.font;
            }
            painter.drawText(QPointF(op.x, op.y), op.text);
        }
        for (const auto& [ry, w] : L.pages[std::size_t(i)].rules)
            painter.drawLine(QPointF(kLeft, ry), QPointF(kLeft + w, ry));
    }
    painter.end();
    sample.pages = pages;
    return sample;
}

std::string makeSampleCode(int articles, std::uint32_t seed, const std::string& title)
{
    static const char* const nouns[] = {
        "umowa", "strona", "świadczenie", "wierzyciel", "dłużnik", "zobowiązanie", "odszkodowanie", "termin",
        "oświadczenie", "pełnomocnik", "właściciel", "rzecz", "nieruchomość", "spadkobierca", "zapis", "najemca",
        "wynajmujący", "przedsiębiorca", "konsument", "sąd", "wniosek", "czynność", "zgoda", "przedstawiciel",
        "odsetki", "roszczenie", "przedawnienie", "zastaw", "hipoteka", "posiadacz", "użytkownik", "wykonawca",
        "zamawiający", "przewoźnik", "ubezpieczyciel", "poręczyciel", "zleceniobiorca", "zleceniodawca"};
    static const char* const verbs[] = {
        "może", "powinien", "jest obowiązany", "odpowiada", "stosuje się", "nabywa", "traci", "wygasa",
        "przysługuje", "określa", "zawiadamia", "zwraca", "przechowuje", "wykonuje", "uzyskuje", "potwierdza"};
    static const char* const tails[] = {
        "w terminie określonym w umowie", "z zachowaniem należytej staranności", "w formie pisemnej",
        "bez zbędnej zwłoki", "na zasadach ogólnych", "w granicach wynikających z ustawy",
        "za zgodą drugiej strony", "w miejscu zamieszkania dłużnika", "po upływie roku od wydania rzeczy",
        "z wyłączeniem przypadków szczególnych", "na koszt zobowiązanego", "w sposób społeczno-gospodarczy",
        "według przepisów o zobowiązaniach", "w zakresie nieuregulowanym odrębnie", "niezwłocznie po doręczeniu",
        "wraz z należnymi odsetkami", "w przedsiębiorstwie przewoźnika", "z uwzględnieniem okoliczności sprawy"};
    std::mt19937 rng(seed);
    auto pick = [&](auto& arr) { return std::string(arr[rng() % (sizeof(arr) / sizeof(arr[0]))]); };
    auto capital = [](const std::string& s) {
        QString q = QString::fromUtf8(s.data(), qsizetype(s.size()));
        if (!q.isEmpty())
            q[0] = q[0].toUpper();
        return q.toStdString();
    };
    auto sentence = [&]() {
        std::string s = capital(pick(nouns)) + " " + pick(verbs) + " " + pick(tails);
        if (rng() % 2)
            s += ", a " + pick(nouns) + " " + pick(verbs) + " " + pick(tails);
        return s;
    };
    static const char* const roman[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X",
                                        "XI", "XII", "XIII", "XIV", "XV", "XVI", "XVII", "XVIII", "XIX", "XX"};
    static const char* const ordinals[] = {"PIERWSZA", "DRUGA", "TRZECIA", "CZWARTA", "PIĄTA", "SZÓSTA"};
    std::string out = title + "\n\nUSTAWA\nz dnia 23 kwietnia 1964 r.\n" + title + "[^1]\n";
    std::vector<std::string> notes{"Niniejsza ustawa była wielokrotnie zmieniana; zmiany ogłoszono w Dz. U. z "
                                   "1990 r. Nr 55, poz. 321 oraz z 2003 r. Nr 49, poz. 408."};
    auto mark = [&](const std::string& text) {
        notes.push_back(text);
        return "[^" + std::to_string(notes.size()) + "]";
    };
    int book = 0, chapter = 0;
    for (int a = 1; a <= articles; ++a) {
        if ((a - 1) % 120 == 0 && book < 6) {
            out += "KSIĘGA " + std::string(ordinals[book++]) + "\n";
            out += pick(nouns) == "umowa" ? "CZĘŚĆ OGÓLNA\n" : "PRZEPISY O ZOBOWIĄZANIACH\n";
        }
        if ((a - 1) % 15 == 0) {
            ++chapter;
            out += "Rozdział " + std::string(roman[(chapter - 1) % 20]) + "\n";
            out += capital(pick(tails)) + "\n";
        }
        const int kind = int(rng() % 10);
        out += "Art. " + std::to_string(a) + ".";
        if (kind == 0) {
            out += " (uchylony)" + mark("Przez art. 1 pkt 4 ustawy z dnia 14 lutego 2003 r. (Dz. U. z 2003 r. Nr "
                                        "49, poz. 408).") + "\n";
            continue;
        }
        if (kind <= 3) {
            out += " § 1. " + sentence() + ".\n";
            out += "§ 2. " + sentence() + "; przepis art. " + std::to_string(std::max(1, a - 3)) +
                   " stosuje się odpowiednio.\n";
            if (kind == 3)
                out += "§ 2^1. " + sentence() + "." + mark("Dodany przez art. 2 ustawy z dnia 9 maja 2018 r. "
                                                        "(Dz. U. z 2018 r. poz. 1104).") + "\n";
        } else if (kind <= 6) {
            out += " " + sentence() + ":\n";
            const int n = 2 + int(rng() % 3);
            for (int p = 1; p <= n; ++p) {
                out += std::to_string(p) + ") " + pick(nouns) + " " + pick(tails) + (p == n ? ".\n" : ";\n");
                if (p == 2 && kind == 6) {
                    out += "a) " + pick(nouns) + " " + pick(tails) + ",\n";
                    out += "b) " + pick(nouns) + " " + pick(tails) + ";\n";
                }
            }
        } else {
            out += " " + sentence() + ". " + sentence() + ".\n";
        }
        if (kind == 5) {
            out += "Art. " + std::to_string(a) + "^1. " + sentence() + "." +
                   mark("Dodany przez art. 1 pkt 2 ustawy z dnia 26 maja 2011 r. (Dz. U. z 2011 r. Nr 144, poz. "
                        "850).") + "\n";
        }
    }
    out += "\n";
    for (std::size_t i = 0; i < notes.size(); ++i)
        out += "[^" + std::to_string(i + 1) + "]: " + notes[i] + "\n";
    return out;
}

} // namespace importer
