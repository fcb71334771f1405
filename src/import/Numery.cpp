#include "import/Numery.h"

#include "import/Model.h"

#include <algorithm>

namespace importer {

QString UnitNumber::toText() const
{
    if (!valid())
        return {};
    QString s = QString::number(base) + letters;
    if (sup > 0)
        s += kSupOpen + QString::number(sup) + kSupClose;
    return s;
}

int distance(const UnitNumber& prev, const UnitNumber& next)
{
    if (!next.valid())
        return kCannotFollow;
    if (!prev.valid())
        return next.base <= 1 && next.sup == 0 && next.letters.isEmpty() ? 0 : next.base;
    if (next.base == prev.base) {
        if (next.letters == prev.letters) {
            if (next.sup > prev.sup)
                return next.sup - prev.sup - 1;
            return kCannotFollow;
        }
        if (next.letters > prev.letters && next.sup == 0)
            return next.letters.size() == 1 && prev.letters.size() <= 1
                       ? std::max(0, next.letters[0].unicode() - (prev.letters.isEmpty() ? u'a' - 1
                                                                                         : prev.letters[0].unicode()) -
                                         1)
                       : 1;
        return kCannotFollow;
    }
    if (next.base < prev.base)
        return kCannotFollow;
    int d = next.base - prev.base - 1;
    if (next.sup > 0)
        d += 3 + next.sup - 1;  // an inserted unit after a number that is not there
    if (!next.letters.isEmpty())
        d += 2;
    return d;
}

Resolved resolveNumber(const QString& digits, const QString& letters, const UnitNumber& prev)
{
    Resolved r;
    UnitNumber whole;
    bool ok = false;
    whole.base = digits.size() <= 6 ? digits.toInt(&ok) : -1;
    if (!ok)
        whole.base = -1;
    whole.letters = letters;
    r.number = whole;
    if (!prev.valid() || digits.size() < 2 || !letters.isEmpty())
        return r;
    const int wholeDistance = distance(prev, whole);
    int best = wholeDistance;
    UnitNumber bestSplit;
    int splitDistance = kCannotFollow;
    for (qsizetype k = 1; k < digits.size(); ++k) {
        const QString head = digits.left(k), tail = digits.mid(k);
        if (tail.startsWith(QLatin1Char('0')) || tail.size() > 2)
            continue;
        UnitNumber split;
        split.base = head.toInt();
        split.sup = tail.toInt();
        const int d = distance(prev, split);
        if (d < splitDistance) {
            splitDistance = d;
            bestSplit = split;
        }
    }
    if (splitDistance < best) {
        r.number = bestSplit;
        r.restored = true;
        best = splitDistance;
    }
    // Both readings plausible and neither the very next unit: a guess.
    if (splitDistance < kCannotFollow && wholeDistance < kCannotFollow && std::min(splitDistance, wholeDistance) > 0 &&
        std::abs(splitDistance - wholeDistance) < 5)
        r.ambiguous = true;
    return r;
}

} // namespace importer
