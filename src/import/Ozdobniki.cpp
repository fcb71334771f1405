// Page furniture (running headers and footers, page numbers, print dates,
// the publisher's notes, stray margin type) and the front matter before the
// act: none of it is part of the text.
#include "import/Etapy.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <map>
#include <set>

namespace importer {

namespace {

QString cellText(const QString& s)
{
    return plain(s).simplified();
}

// Pieces the two publishers print on every page.
const std::vector<QRegularExpression>& furniturePieces()
{
    static const std::vector<QRegularExpression> pieces = [] {
        std::vector<QRegularExpression> v;
        // The date first: its dashes would pass for a page number's.
        for (const char* p : {"\\d{4}-\\d{2}-\\d{2}", "Dziennik Ustaw(?: Nr \\d+)?", "(?<!\\d)[–-] ?\\d{1,4} ?[–-](?!\\d)",
                              "Poz\\. ?\\d+", "© ?Kancelaria Sejmu", "s\\. ?\\d+ ?/ ?\\d+"})
            v.emplace_back(QString::fromUtf8(p));
        return v;
    }();
    return pieces;
}

// Whether a line is made only of furniture pieces. A bare number is a page
// number only at the edge of its page; the other pieces never stand alone
// on a line of legal text, and plain pdftotext may put them anywhere on the
// page.
bool isFurniture(const QString& text, int pageNo, bool atEdge)
{
    QString t = cellText(text);
    if (t.isEmpty())
        return false;
    bool isNumber = false;
    const int n = t.toInt(&isNumber);
    if (isNumber)
        return atEdge && std::abs(n - pageNo) <= 3;
    for (const QRegularExpression& re : furniturePieces())
        t.remove(re);
    return t.trimmed().isEmpty();
}

// Lines repeated at the same edge of many pages, with their numbers
// changing: a running header or footer the patterns do not know.
QString edgeForm(const QString& text)
{
    QString f = cellText(text);
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    f.replace(digits, QStringLiteral("#"));
    return f;
}

bool isCitationListWord(const QString& w)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d+[,.;]?|z|r\\.,?|poz\\.|i|oraz|Dz\\.|U\\.|t\\.j\\.|t\\.|j\\.|Nr|\\d{4})$"));
    return re.match(w).hasMatch();
}

// "Opracowano na podstawie: t.j. Dz. U. z 2024 r. poz. 1061, 1237." and the
// lines that continue its list of positions.
void dropBasedOnNote(Document& doc, CutStats& stats)
{
    for (Page& p : doc.pages) {
        for (std::size_t i = 0; i < p.lines.size(); ++i) {
            if (!cellText(p.lines[i].text).startsWith(QLatin1String("Opracowano na podstawie")))
                continue;
            std::size_t end = i + 1;
            while (end < p.lines.size()) {
                const QStringList words = cellText(p.lines[end].text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
                if (words.isEmpty() || !std::all_of(words.begin(), words.end(), isCitationListWord))
                    break;
                ++end;
            }
            stats.furniture += int(end - i);
            p.lines.erase(p.lines.begin() + std::ptrdiff_t(i), p.lines.begin() + std::ptrdiff_t(end));
            --i;
        }
    }
}

// Lines set entirely outside the text column: marginal numbers, rotated
// remnants, marks of the printing house.
void dropMargins(Document& doc, CutStats& stats, Warnings& warnings)
{
    std::vector<double> lefts, rights;
    for (const Page& p : doc.pages)
        for (const Line& l : p.lines)
            if (l.geometry && l.right - l.left > 4 * l.size) {
                lefts.push_back(l.left);
                rights.push_back(l.right);
            }
    if (lefts.size() < 10)
        return;
    std::sort(lefts.begin(), lefts.end());
    std::sort(rights.begin(), rights.end());
    const double colLeft = lefts[lefts.size() / 10];
    const double colRight = rights[rights.size() * 9 / 10];
    int dropped = 0, firstPage = 0;
    for (Page& p : doc.pages) {
        auto outside = [&](const Line& l) {
            return l.geometry && (l.right < colLeft - 2 || l.left > colRight + 2);
        };
        const auto before = p.lines.size();
        p.lines.erase(std::remove_if(p.lines.begin(), p.lines.end(), outside), p.lines.end());
        if (p.lines.size() != before) {
            dropped += int(before - p.lines.size());
            if (!firstPage)
                firstPage = p.number;
        }
    }
    if (dropped) {
        stats.margin += dropped;
        warnings.add(firstPage, 0,
                     QStringLiteral("%1 line(s) standing in the page margins were left out").arg(dropped));
    }
}

} // namespace

void dropFurniture(Document& doc, Form form, CutStats& stats, Warnings& warnings)
{
    (void)form;
    constexpr std::size_t kEdge = 4;
    // Repeated edge lines first, counted over the pages.
    std::map<QString, int> top, bottom;
    for (const Page& p : doc.pages) {
        std::set<QString> seenTop, seenBottom;
        for (std::size_t i = 0; i < std::min(kEdge, p.lines.size()); ++i) {
            seenTop.insert(edgeForm(p.lines[i].text));
            seenBottom.insert(edgeForm(p.lines[p.lines.size() - 1 - i].text));
        }
        for (const QString& f : seenTop)
            ++top[f];
        for (const QString& f : seenBottom)
            ++bottom[f];
    }
    const int pages = int(doc.pages.size());
    // Only short lines at the very edge qualify, never what starts a unit or
    // a footnote (footnotes of the same wording recur at many page feet).
    static const QRegularExpression unitLike(QStringLiteral("^(Art\\.|§|#[a-z]?[.)]|[a-z]\\)|[–-] )"));
    auto repeated = [&](const std::map<QString, int>& counts, const QString& form) {
        const auto it = counts.find(form);
        return pages >= 4 && it != counts.end() && it->second >= 4 && it->second * 5 >= pages * 3 &&
               form.size() >= 3 && form.size() <= 60 && !unitLike.match(form).hasMatch();
    };
    for (Page& p : doc.pages) {
        std::vector<bool> drop(p.lines.size(), false);
        const std::size_t n = p.lines.size();
        for (std::size_t i = 0; i < n; ++i) {
            const bool atTop = i < kEdge, atBottom = i + kEdge >= n;
            const Line& l = p.lines[i];
            bool all = true;
            for (const QString& cell : l.text.split(QLatin1Char('\t'), Qt::SkipEmptyParts))
                all = all && isFurniture(cell, p.number, atTop || atBottom);
            const bool edge = i < 2 || i + 2 >= n;
            if (all || (edge && atTop && repeated(top, edgeForm(l.text))) ||
                (edge && atBottom && repeated(bottom, edgeForm(l.text))))
                drop[i] = true;
        }
        std::vector<Line> kept;
        kept.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            if (drop[i]) {
                ++stats.furniture;
                // What stood below a dropped header is no paragraph break.
                continue;
            }
            kept.push_back(std::move(p.lines[i]));
        }
        p.lines = std::move(kept);
    }
    dropBasedOnNote(doc, stats);
    if (doc.pdf)
        dropMargins(doc, stats, warnings);
}

bool cutFrontMatter(Document& doc, Form form, CutStats& stats, Warnings& warnings)
{
    static const QRegularExpression actWord(QStringLiteral(
        "^(USTAWA|KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ|KONSTYTUCJA|ROZPORZĄDZENIE|DEKRET|KODEKS [A-ZĄĆĘŁŃÓŚŹŻ ]+)"
        "( ?\\d{1,3}\\))?$"));
    static const QRegularExpression firstArticle(QStringLiteral("^Art\\. ?1[a-z]?\\."));
    struct Pos {
        std::size_t page, line;
    };
    auto each = [&](auto&& f) {
        for (std::size_t p = 0; p < doc.pages.size(); ++p)
            for (std::size_t i = 0; i < doc.pages[p].lines.size(); ++i)
                if (f(Pos{p, i}, cellText(doc.pages[p].lines[i].text)))
                    return true;
        return false;
    };
    bool found = false;
    Pos start{0, 0};
    bool annex = form != Form::Journal;
    // In the Journal's form the act is the annex to the announcement: the
    // provisions the announcement quotes are not part of it.
    if (form == Form::Journal)
        each([&](Pos, const QString& t) { return annex = t.startsWith(QStringLiteral("Załącznik do obwieszczenia")); });
    bool afterAnnex = !annex || form != Form::Journal;
    found = each([&](Pos at, const QString& t) {
        if (!afterAnnex) {
            afterAnnex = t.startsWith(QStringLiteral("Załącznik do obwieszczenia"));
            return false;
        }
        if (actWord.match(t).hasMatch()) {
            start = at;
            return true;
        }
        return false;
    });
    if (!found) {
        afterAnnex = !annex || form != Form::Journal;
        found = each([&](Pos at, const QString& t) {
            if (!afterAnnex) {
                afterAnnex = t.startsWith(QStringLiteral("Załącznik do obwieszczenia"));
                return false;
            }
            if (firstArticle.match(t).hasMatch()) {
                start = at;
                return true;
            }
            return false;
        });
        if (found)
            warnings.add(doc.pages[start.page].lines[start.line], QStringLiteral(
                "the act's title (USTAWA, KONSTYTUCJA, ...) was not found; the text is taken from its first article"));
    }
    if (!found) {
        // No title, no article 1: an act needs at least an article.
        const bool anyArticle = each([](Pos, const QString& t) { return t.startsWith(QLatin1String("Art.")); });
        if (!anyArticle)
            return false;
        warnings.add(1, 0, QStringLiteral("neither the act's title nor its article 1 was found; the whole text is "
                                          "taken as the act"));
        return true;
    }
    int dropped = 0;
    for (std::size_t p = 0; p <= start.page; ++p) {
        Page& page = doc.pages[p];
        const std::size_t n = p < start.page ? page.lines.size() : start.line;
        dropped += int(n);
        page.lines.erase(page.lines.begin(), page.lines.begin() + std::ptrdiff_t(n));
    }
    stats.frontMatter += dropped;
    if (dropped > 0 && form == Form::Unknown)
        warnings.add(doc.pages[start.page].lines.front(),
                     QStringLiteral("%1 line(s) before the act's title were left out").arg(dropped));
    return true;
}

} // namespace importer
