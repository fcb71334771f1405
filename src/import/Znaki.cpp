#include "import/Znaki.h"

#include "import/Model.h"
#include "packer/Punctuation.h"
#include "platform/core/Cp1250.h"

#include <array>

namespace importer {

bool inCodePage(QChar c)
{
    static const std::array<bool, 0x10000> table = [] {
        std::array<bool, 0x10000> t{};
        for (int b = 0x20; b < 256; ++b) {
            const char32_t u = cp1250::toUnicode(static_cast<unsigned char>(b));
            if (u < 0x10000 && !(u >= 0x7F && u <= 0x9F))
                t[u] = true;
        }
        return t;
    }();
    return table[c.unicode()];
}


QString normalizeText(const QString& in, CharStats& stats)
{
    QString out;
    out.reserve(in.size() + 8);
    bool sup = false;
    auto closeSup = [&] {
        if (sup) {
            out += kSupClose;
            sup = false;
        }
    };
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        const int digit = packer::superscriptDigit(c);
        if (digit >= 0 || (sup && c == 0x207E)) {
            if (!sup) {
                out += kSupOpen;
                sup = true;
            }
            out += digit >= 0 ? QChar(u'0' + digit) : QChar(u')');
            continue;
        }
        closeSup();
        if (c >= 0x20 && c < 0x7F) {
            out += QChar(c);
            continue;
        }
        switch (c) {
        case 0xFB00: out += QStringLiteral("ff"); continue;
        case 0xFB01: out += QStringLiteral("fi"); continue;
        case 0xFB02: out += QStringLiteral("fl"); continue;
        case 0xFB03: out += QStringLiteral("ffi"); continue;
        case 0xFB04: out += QStringLiteral("ffl"); continue;
        case 0xFB05:
        case 0xFB06: out += QStringLiteral("st"); continue;
        case u'\t':
        case 0x00A0:
        case 0x1680:
        case 0x202F:
        case 0x205F:
        case 0x3000: out += QLatin1Char(' '); continue;
        case 0x200B:
        case 0x200C:
        case 0x200D:
        case 0x2060:
        case 0xFEFF: continue;
        case 0x00AD: {
            // Soft hyphen: only a line end makes it visible.
            qsizetype k = i + 1;
            while (k < n && in[k].isSpace())
                ++k;
            if (k == n)
                out += kSoftHyphen;
            continue;
        }
        case 0x2010:
        case 0x2011:
        case 0x2043:
        case 0x2212:
        case 0xFE63:
        case 0xFF0D: out += QLatin1Char('-'); continue;
        case 0x2012:
        case 0x2015:
        case 0x2E3A: out += QChar(0x2013); continue;
        case 0x2032: out += QLatin1Char('\''); continue;
        case 0x2033: out += QLatin1Char('"'); continue;
        case 0x2024: out += QLatin1Char('.'); continue;
        case 0x2027:
        case 0x2219:
        case 0x25CF:
        case 0x25AA:
        case 0xF0B7:
        case 0xF0A7: out += QChar(0x2022); continue;
        default: break;
        }
        if (c >= 0x2000 && c <= 0x200A) {
            out += QLatin1Char(' ');
            continue;
        }
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            continue;  // control characters carry no text
        if ((c >= 0xE000 && c <= 0xF8FF) || QChar::isSurrogate(c)) {
            // Private-use glyphs of symbol fonts, characters beyond the BMP.
            if (QChar::isHighSurrogate(c) && i + 1 < n)
                ++i;
            ++stats.unknown;
            if (stats.examples.size() < 24)
                stats.examples += QStringLiteral(" U+%1").arg(int(c), 4, 16, QLatin1Char('0')).toUpper();
            out += QLatin1Char('?');
            continue;
        }
        const QChar ch(c);
        if (inCodePage(ch)) {
            out += ch;
            continue;
        }
        const QString d = QString(ch).normalized(QString::NormalizationForm_KD);
        // A letter with a mark the code page lacks keeps its letter; a
        // character that decomposes into anything else is not guessed at.
        QString kept;
        bool whole = true;
        for (QChar k : d) {
            if (k.category() == QChar::Mark_NonSpacing)
                continue;
            if (inCodePage(k) && k.unicode() >= 0x20)
                kept += k;
            else
                whole = false;
        }
        if (whole && kept.size() == 1 && kept.at(0).isLetter()) {
            out += kept;
            continue;
        }
        ++stats.unknown;
        if (stats.examples.size() < 24)
            stats.examples += QLatin1Char(' ') + ch;
        out += QLatin1Char('?');
    }
    closeSup();
    return out;
}

QString joinSpacedLetters(const QString& text)
{
    // Single capitals with one space between them; two spaces part words.
    int letters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char(' '))
            continue;
        if (!c.isUpper())
            return text;
        ++letters;
        if (i + 1 < text.size() && text[i + 1] != QLatin1Char(' '))
            return text;
    }
    if (letters < 4)
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char(' '))
            out += text[i];
        else if (i + 1 < text.size() && text[i + 1] == QLatin1Char(' ') && !out.endsWith(QLatin1Char(' ')))
            out += QLatin1Char(' ');
    }
    return out.trimmed();
}

QString plain(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c != kSupOpen && c != kSupClose)
            out += c;
    return out;
}

std::string Warning::toString() const
{
    std::string s;
    if (page > 0) {
        s = "page " + std::to_string(page);
        if (line > 0)
            s += ", line " + std::to_string(line);
        s += ": ";
    }
    return s + message;
}

} // namespace importer
