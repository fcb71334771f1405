#pragma once
// Helpers of the importer tests: sample PDFs in the official layouts, their
// text exports made by pdftotext (as a user would make them), and the
// invented act the samples hold.
#include "import/Import.h"
#include "import/Probka.h"

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>
#include <string>

namespace importtest {

// pdftotext's output for a PDF (plain or -layout), or nothing when the
// program is not installed.
inline std::optional<QByteArray> pdftotext(const QByteArray& pdf, bool layout)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return std::nullopt;
    const QString in = dir.filePath(QStringLiteral("in.pdf")), out = dir.filePath(QStringLiteral("out.txt"));
    QFile f(in);
    if (!f.open(QIODevice::WriteOnly) || f.write(pdf) != pdf.size())
        return std::nullopt;
    f.close();
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    args << in << out;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    QFile r(out);
    if (!r.open(QIODevice::ReadOnly))
        return std::nullopt;
    return r.readAll();
}

// An invented code with what real consolidated texts have: headings with
// titles, "Rozdział 2a", inserted articles and paragraphs, "Art. 2a.", a
// range of repealed articles, numbered paragraphs, points, letters, indents,
// compounds with hyphens, citations of inserted articles and footnotes
// citing the Journal of Laws without a year, as footnotes on amending acts
// do.
inline const char* const kFeatureContent = R"(Kodeks postępowania karnego

USTAWA
z dnia 6 czerwca 1997 r.
Kodeks postępowania karnego[^1]
DZIAŁ I
PRZEPISY WSTĘPNE
Art. 1. Kodeks opisuje, jak czytelnik przewraca strony próbnego zbioru; brzmienie przepisów wymyślono na potrzeby prób programu.
Art. 2. § 1. Czytelnik zaczyna lekturę od strony tytułowej, chyba że zakładka wskazuje inne miejsce, w którym skończył poprzednim razem.
§ 2. Zakładkę wkłada się między kartki tak, aby jej koniec wystawał ponad grzbiet.
Art. 2a. Czytelnik może poprosić o dodatkową zakładkę w kolorze zielonym.[^2]
Art. 3. (uchylony)[^3]
Art. 4–6. (uchylone)
Art. 7. Bibliotekarz układa tomy na półkach według kolorów okładek, z uwzględnieniem zasad społeczno-gospodarczych i upodobań czytelników.
Rozdział 2a
Postępowanie uproszczone
Art. 8. § 1. Bibliotekarz może wypożyczać:
1) na jeden tydzień;
2) na dłużej, jeżeli:
a) czytelnik o to prosi,
b) nikt inny nie czeka na ten sam tom;
3) w innych przypadkach wskazanych w regulaminie.
§ 2. Przepis art. 7 stosuje się odpowiednio; w sprawach atlasów – także przepisy działu II.
Art. 8^1. Bibliotekarz może ogłosić przerwę w wypożyczaniu:
– na prośbę czytelnika,
– z własnej woli,
– w razie potrzeby policzenia tomów.
Art. 8^2. § 1. Przepis art. 8^1 stosuje się odpowiednio do przerw ogłoszonych przed rozpoczęciem sezonu czytelniczego.[^4]
§ 1^1. Bibliotekarz zwraca zakładki niezwłocznie, nie później jednak niż w terminie czternastu dni.
DZIAŁ II
PRZEDMIOT I ZAKRES
Art. 9. 1. Ustęp pierwszy zawiera tekst zwykły, który zajmuje więcej niż jeden wiersz na stronie dokumentu.
2. Ustęp drugi odsyła do przepisów art. 8^2 oraz art. 8^1 niniejszego kodeksu.
Art. 10. Postanowienia niniejszego działu stosuje się także do czasopism, o ile ich okładki są kolorowe.

[^1]: Niniejsza ustawa była zmieniana; zmiany ogłoszono w Dz. U. z 2003 r. Nr 49, poz. 408.
[^2]: Dodany przez art. 1 pkt 1 ustawy z dnia 14 lutego 2003 r. (Dz. U. Nr 49, poz. 408), która weszła w życie z dniem 1 lipca 2003 r.
[^3]: Przez art. 1 pkt 2 ustawy z dnia 14 lutego 2003 r. (Dz. U. Nr 49, poz. 408).
[^4]: Dodany przez art. 2 ustawy z dnia 20 grudnia 2019 r. (Dz. U. poz. 2399).
)";

// What an import of it gives: the year of each citation in a footnote
// taken from the date of the act it cites.
inline std::string featureExpected(const std::string& name = "Kodeks postępowania karnego")
{
    std::string s = kFeatureContent;
    s.replace(0, s.find('\n'), name);
    auto replaceAll = [&](const std::string& from, const std::string& to) {
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
            s.replace(at, from.size(), to);
    };
    replaceAll("(Dz. U. Nr 49", "(Dz. U. z 2003 r. Nr 49");
    replaceAll("(Dz. U. poz. 2399)", "(Dz. U. z 2019 r. poz. 2399)");
    return s;
}

inline std::string warningsText(const importer::Result& r)
{
    std::string s = r.error.empty() ? "" : "error: " + r.error + "\n";
    for (const auto& w : r.warnings)
        s += w.toString() + "\n";
    return s;
}

// First line where two texts differ, for readable failures.
inline std::string firstDifference(const std::string& a, const std::string& b)
{
    std::size_t i = 0, line = 1, start = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        if (a[i] == '\n') {
            ++line;
            start = i + 1;
        }
        ++i;
    }
    if (i == a.size() && i == b.size())
        return "identical";
    auto lineAt = [&](const std::string& s) { return s.substr(start, s.find('\n', start) - start); };
    return "line " + std::to_string(line) + ":\n  got:      " + lineAt(a) + "\n  expected: " + lineAt(b);
}

} // namespace importtest
