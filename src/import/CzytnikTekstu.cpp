#include "import/CzytnikTekstu.h"

#include "import/Znaki.h"

#include <QStringList>

namespace importer {

namespace {

// Bytes typical of one 8-bit Polish code page and impossible or rare in the
// other: Windows-1250 puts Ś ś Ź ź Ą ą at 8C 9C 8F 9F A5 B9, ISO-8859-2 at
// A6 B6 AC BC A1 B1.
QString guessEightBit(const QByteArray& bytes)
{
    int win = 0, iso = 0, high = 0;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            continue;
        ++high;
        switch (b) {
        case 0x8C: case 0x9C: case 0x8F: case 0x9F: case 0xA5: case 0xB9: ++win; break;
        case 0xA6: case 0xB6: case 0xAC: case 0xBC: case 0xA1: case 0xB1: ++iso; break;
        default: break;
        }
    }
    if (high == 0)
        return {};
    if (win > iso)
        return QStringLiteral("Windows-1250");
    if (iso > win)
        return QStringLiteral("ISO-8859-2");
    return QStringLiteral("an 8-bit code page (Windows-1250 or ISO-8859-2)");
}

int lineOfOffset(const QByteArray& bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset && i < bytes.size(); ++i)
        if (bytes[i] == '\n')
            ++line;
    return line;
}

// Offset of the first byte that breaks UTF-8, or -1.
qsizetype firstInvalidUtf8(const QByteArray& b)
{
    const qsizetype n = b.size();
    for (qsizetype i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(b[i]);
        int len = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return i;
        }
        if (i + len > n)
            return i;
        for (int k = 1; k < len; ++k) {
            const auto d = static_cast<unsigned char>(b[i + k]);
            if ((d & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return i;
        i += len;
    }
    return -1;
}

} // namespace

bool readText(const QByteArray& input, Document& doc, QString& error, Warnings& warnings)
{
    QByteArray bytes = input;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        error = QStringLiteral("the text is in UTF-16; save it as UTF-8 (or import the PDF itself)");
        return false;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const qsizetype bad = firstInvalidUtf8(bytes);
    if (bad >= 0) {
        const QString guess = guessEightBit(bytes);
        error = QStringLiteral("the text is not UTF-8 (line %1)").arg(lineOfOffset(bytes, bad));
        if (!guess.isEmpty())
            error += QStringLiteral(": it looks like ") + guess +
                     QStringLiteral("; convert it to UTF-8 first (for example iconv -f %1 -t UTF-8) or import "
                                    "the PDF itself")
                         .arg(guess.startsWith(QLatin1String("ISO")) ? QStringLiteral("ISO-8859-2")
                                                                     : QStringLiteral("WINDOWS-1250"));
        return false;
    }
    const QString text = QString::fromUtf8(bytes);

    QStringList pages = text.split(QLatin1Char('\f'));
    while (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.pop_back();

    // Laid out with spaces: many lines start with spaces (indents, centred
    // headings), which an ordinary export never does.
    int nonEmpty = 0, indented = 0;
    for (const QString& p : pages) {
        for (QStringView l : QStringView(p).split(QLatin1Char('\n'))) {
            if (l.trimmed().isEmpty())
                continue;
            ++nonEmpty;
            if (l.startsWith(QLatin1String("  ")))
                ++indented;
        }
    }
    doc.pdf = false;
    doc.layout = nonEmpty > 0 && indented * 10 >= nonEmpty;
    doc.pages.clear();

    CharStats stats;
    int firstUnknownPage = 0;
    for (int pi = 0; pi < pages.size(); ++pi) {
        Page page;
        page.number = pi + 1;
        const QStringList lines = pages[pi].split(QLatin1Char('\n'));
        bool gap = false;
        for (int li = 0; li < lines.size(); ++li) {
            QString raw = lines[li];
            if (raw.endsWith(QLatin1Char('\r')))
                raw.chop(1);
            const int before = stats.unknown;
            QString t = normalizeText(raw, stats);
            if (stats.unknown > before && !firstUnknownPage)
                firstUnknownPage = page.number;
            int indent = 0;
            while (indent < t.size() && t[indent] == QLatin1Char(' '))
                ++indent;
            // Letters spaced out keep their word gaps (two spaces) only
            // until the spaces are tidied below.
            t = QString(indent, QLatin1Char(' ')) + joinSpacedLetters(t.mid(indent).trimmed());
            // Trailing spaces carry nothing; a wide gap inside is a column
            // gap, a narrow run of spaces is one space.
            QString clean;
            clean.reserve(t.size());
            int spaces = 0;
            for (qsizetype i = indent; i < t.size(); ++i) {
                if (t[i] == QLatin1Char(' ')) {
                    ++spaces;
                    continue;
                }
                if (spaces)
                    clean += (doc.layout && spaces >= 4) ? QLatin1Char('\t') : QLatin1Char(' ');
                spaces = 0;
                clean += t[i];
            }
            if (clean.isEmpty()) {
                gap = true;
                continue;
            }
            Line line;
            line.text = clean;
            line.page = page.number;
            line.number = li + 1;
            line.indent = doc.layout ? indent : -1;
            line.gapBefore = gap;
            gap = false;
            page.lines.push_back(std::move(line));
        }
        doc.pages.push_back(std::move(page));
    }
    if (stats.unknown > 0)
        warnings.add(firstUnknownPage, 0,
                     QStringLiteral("%1 character(s) that Windows-1250 cannot hold were replaced by '?':%2")
                         .arg(stats.unknown)
                         .arg(stats.examples));
    return true;
}

} // namespace importer
