#pragma once
// Numbers of units: "44", "5a", "44¹" (an inserted unit), and how a number
// whose superscript the text export flattened ("4491") is read back from the
// numbering around it (after 449 comes 449¹, not 4491).
#include <QString>

namespace importer {

struct UnitNumber {
    int base = -1;      // -1: no number
    QString letters;    // "a" of "5a"
    int sup = 0;        // 0: no superscript

    bool valid() const { return base >= 0; }
    QString toText() const;  // "449", "5a", "449\uE0001\uE001"
};

// How far `next` is from following `prev` in a numbering: 0 for the very
// next unit (449 -> 449¹ -> 449² -> 450, 5 -> 5a), more for a gap, a large
// value when it cannot follow at all. Any number follows "no number".
int distance(const UnitNumber& prev, const UnitNumber& next);

struct Resolved {
    UnitNumber number;
    bool restored = false;   // a superscript was read out of the digits
    bool ambiguous = false;  // the numbering around did not settle it
};

// The number written with `digits` and `letters` (no superscript marked),
// read against the previous unit of the same level.
Resolved resolveNumber(const QString& digits, const QString& letters, const UnitNumber& prev);

inline constexpr int kCannotFollow = 1000000;

} // namespace importer
