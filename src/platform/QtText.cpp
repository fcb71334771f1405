#include "platform/QtText.h"

QString toQString(std::string_view text)
{
    QString out;
    out.resize(qsizetype(text.size()));
    QChar* d = out.data();
    for (unsigned char b : text)
        *d++ = QChar(char16_t(cp1250::toUnicode(b)));
    return out;
}

std::string fromQString(const QString& text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    for (QChar c : text)
        out += char(cp1250::fromUnicode(c.unicode()));
    return out;
}
