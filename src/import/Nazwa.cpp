// Which official form a text has, and the name its act gets in the library.
#include "import/Etapy.h"

#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <QRegularExpression>
#include <QStringList>

namespace importer {

namespace {

// The first lines of the document, plain, up to a limit: the title and the
// references stand at its very start.
std::vector<const Line*> firstLines(const Document& doc, std::size_t limit)
{
    std::vector<const Line*> out;
    for (const Page& p : doc.pages) {
        for (const Line& l : p.lines) {
            if (out.size() >= limit)
                return out;
            out.push_back(&l);
        }
    }
    return out;
}

QString simplified(const QString& s)
{
    QString t = plain(s);
    t.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return t.simplified();
}

bool isActWord(const QString& t)
{
    static const QRegularExpression re(QStringLiteral(
        "^(USTAWA|KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ|KONSTYTUCJA|ROZPORZĄDZENIE|DEKRET|KODEKS)( .*)?$"));
    return re.match(t).hasMatch();
}

// A superscript footnote reference at the end of a title: "Kodeks cywilny1)".
QString withoutReference(QString t)
{
    static const QRegularExpression ref(QStringLiteral("\\s*\\d{1,3}\\)$"));
    t.remove(ref);
    return t.trimmed();
}

} // namespace

Form detectForm(const Document& doc)
{
    int sejm = 0, journal = 0;
    for (const Line* l : firstLines(doc, 4000)) {
        const QString t = simplified(l->text);
        if (t.contains(QLatin1String("Kancelaria Sejmu")))
            ++sejm;
        if (t.startsWith(QStringLiteral("Załącznik do obwieszczenia")) ||
            t.startsWith(QLatin1String("OBWIESZCZENIE")) || t.startsWith(QLatin1String("Dziennik Ustaw")) ||
            t.startsWith(QLatin1String("DZIENNIK USTAW")))
            ++journal;
    }
    if (sejm > journal)
        return Form::Sejm;
    if (journal > 0)
        return Form::Journal;
    return Form::Unknown;
}

NameFound findName(const Document& doc, Form form)
{
    NameFound found;
    const std::vector<const Line*> head = firstLines(doc, 400);

    // The act's title: the line after "z dnia ..." that follows the act's
    // word (USTAWA), up to the first heading or article; or the act's word
    // line itself for the Constitution.
    static const QRegularExpression stop(QStringLiteral(
        "^(Art\\.|§|CZĘŚĆ|KSIĘGA|TYTUŁ|DZIAŁ|ROZDZIAŁ|ODDZIAŁ|Rozdział|Dział|Preambuła|PREAMBUŁA|W trosce)"));
    const bool journal = form == Form::Journal;
    bool annexSeen = !journal;
    for (std::size_t i = 0; i < head.size() && found.title.isEmpty(); ++i) {
        const QString t = simplified(head[i]->text);
        if (t.startsWith(QStringLiteral("Załącznik do obwieszczenia")))
            annexSeen = true;
        if (!annexSeen || !isActWord(withoutReference(t)))
            continue;
        const QString word = withoutReference(t);
        if (word.startsWith(QLatin1String("KONSTYTUCJA"))) {
            found.title = QStringLiteral("Konstytucja Rzeczypospolitej Polskiej");
            break;
        }
        std::size_t k = i + 1;
        if (k < head.size() && simplified(head[k]->text).startsWith(QLatin1String("z dnia")))
            ++k;
        QString title;
        for (; k < head.size() && title.size() < 300; ++k) {
            const QString s = simplified(head[k]->text);
            if (s.isEmpty() || stop.match(s).hasMatch())
                break;
            title += (title.isEmpty() ? QString() : QStringLiteral(" ")) + s;
        }
        found.title = withoutReference(title);
    }

    // A code's title is its name.
    if (!found.title.isEmpty()) {
        const QString lower = found.title.toLower();
        for (int i = 0; i < kLiczbaKodeksow; ++i) {
            const QString code = QString::fromStdString(cp1250::toUtf8(TytulKodeksu(i)));
            if (code.toLower() == lower) {
                found.name = code;
                return found;
            }
        }
    }

    // Otherwise the Journal of Laws reference of the form.
    static const QRegularExpression issued(QStringLiteral("Warszawa, dnia \\d{1,2} \\S+ (\\d{4}) r\\."));
    static const QRegularExpression position(QStringLiteral("^Poz\\.\\s*(\\d+)$"));
    static const QRegularExpression number(QStringLiteral("\\bNr\\s+(\\d+)\\b"));
    static const QRegularExpression reference(
        QStringLiteral("Dz\\.\\s*U\\.\\s*(\\d{4})\\s*(?:Nr\\s*(\\d+)\\s*,?\\s*)?poz\\.\\s*(\\d+)"));
    static const QRegularExpression basedOn(
        QStringLiteral("Opracowano na podstawie:?\\s*(?:t\\.\\s*j\\.\\s*)?Dz\\.\\s*U\\.\\s*z\\s*(\\d{4})\\s*r\\.\\s*"
                       "(?:Nr\\s*(\\d+)\\s*,\\s*)?poz\\.\\s*(\\d+)"));
    int year = 0, numer = 0, pozycja = 0;
    if (journal) {
        for (const Line* l : head) {
            const QString t = simplified(l->text);
            if (t.startsWith(QLatin1String("OBWIESZCZENIE")))
                break;
            for (const QString& cell : l->text.split(QLatin1Char('\t'))) {
                const QString c = simplified(cell);
                if (const auto m = issued.match(c); m.hasMatch() && !year)
                    year = m.captured(1).toInt();
                if (const auto m = position.match(c); m.hasMatch() && !pozycja)
                    pozycja = m.captured(1).toInt();
                if (const auto m = number.match(c); m.hasMatch() && !numer && !c.startsWith(QLatin1String("Poz")))
                    numer = m.captured(1).toInt();
            }
            // "Warszawa, dnia ... r. Poz. 1061" may come as one line.
            if (const auto m = QRegularExpression(QStringLiteral("Poz\\.\\s*(\\d+)\\s*$")).match(t);
                m.hasMatch() && !pozycja)
                pozycja = m.captured(1).toInt();
        }
    } else {
        for (const Line* l : head) {
            const QString t = simplified(l->text);
            if (isActWord(withoutReference(t)))
                break;
            if (const auto m = reference.match(t); m.hasMatch() && !year) {
                year = m.captured(1).toInt();
                numer = m.captured(2).toInt();
                pozycja = m.captured(3).toInt();
            }
        }
        if (!year) {
            for (const Line* l : head) {
                if (const auto m = basedOn.match(simplified(l->text)); m.hasMatch()) {
                    year = m.captured(1).toInt();
                    numer = m.captured(2).toInt();
                    pozycja = m.captured(3).toInt();
                    break;
                }
            }
        }
    }
    if (year >= 1918 && year <= 2999 && pozycja > 0 && pozycja <= 65535 && numer <= 65535)
        found.name = QStringLiteral("Dz.U.%1.%2.%3").arg(year).arg(numer).arg(pozycja);
    return found;
}

} // namespace importer
