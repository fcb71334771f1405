#pragma once
// The characters of official PDFs and their text exports, turned into what
// a source text can hold (Windows-1250, superscript digits as "^1").
//
// Ligatures become their letters, the many kinds of space one space,
// zero-width characters and private-use glyphs disappear, the rarer dashes
// and hyphens become "-" or "–", superscript digits become superscripts of
// the importer's own (kSupOpen ... kSupClose). A soft hyphen at the end of a
// line is a certain line-end hyphenation and is kept there as U+00AD; inside
// a line it is dropped. Anything else outside the code page becomes its
// nearest letter where Unicode says so ("ǎ" -> "a"), and otherwise "?", each
// time counted in `unknown` for a warning.
#include <QString>

namespace importer {

inline constexpr QChar kSoftHyphen = QChar(0x00AD);

struct CharStats {
    int unknown = 0;     // characters replaced by "?"
    QString examples;    // a few of them, for the warning
};

QString normalizeText(const QString& in, CharStats& stats);

// A heading set with its letters spaced out ("U S T A W A",
// "K O D E K S  K A R N Y") with its letters together; any other text as it is.
QString joinSpacedLetters(const QString& text);

// Whether Windows-1250 has the character.
bool inCodePage(QChar c);

} // namespace importer
