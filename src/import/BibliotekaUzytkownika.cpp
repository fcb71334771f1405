#include "import/BibliotekaUzytkownika.h"

#include "packer/Source.h"

#include <QString>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace importer {

namespace {

bool readWhole(const fs::path& p, std::string& out)
{
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return !in.bad();
}

} // namespace

std::string sourceFileName(const std::string& actName)
{
    if (actName.rfind("Dz.U.", 0) == 0)
        return actName + ".txt";
    // Letters without their marks, so that the name travels everywhere.
    const QString folded = QString::fromStdString(actName).toLower().normalized(QString::NormalizationForm_KD);
    std::string out;
    for (QChar c : folded) {
        if (c == QChar(u'ł'))
            out += 'l';
        else if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            out += char(c.unicode());
        else if (c == QLatin1Char(' ') || c == QLatin1Char('-'))
            out += out.empty() || out.back() == '-' ? "" : "-";
    }
    while (!out.empty() && out.back() == '-')
        out.pop_back();
    return (out.empty() ? std::string("akt") : out) + ".txt";
}

bool prepareAddition(const UserLibrary& library, const std::string& source, PreparedAddition& out, std::string& error)
{
    out = PreparedAddition{};
    packer::SourceDocument doc;
    packer::Problems problems;
    if (!packer::parseSource(source, "import", doc, problems)) {
        error = problems.empty() ? "the imported text cannot be packed" : problems[0].toString();
        return false;
    }
    out.name = source.substr(0, source.find('\n'));
    out.fileName = sourceFileName(out.name);
    out.source = source;

    packer::LibraryPacker packer;
    problems.clear();
    if (!packer.add(source, out.fileName, problems)) {
        error = problems.empty() ? "the imported text cannot be packed" : problems[0].toString();
        return false;
    }
    for (const fs::path& f : packer::listSourceFiles(library.sources())) {
        std::string text;
        if (!readWhole(f, text)) {
            out.warnings.push_back({f.string(), 0, 0, "cannot be read; left out of the library"});
            continue;
        }
        packer::SourceDocument other;
        packer::Problems otherProblems;
        const bool parsed = packer::parseSource(text, f.string(), other, otherProblems);
        if (parsed && other.rok == doc.rok && other.numer == doc.numer && other.pozycja == doc.pozycja) {
            // The same act imported before: the new text replaces it.
            if (f.filename() != out.fileName)
                out.replaced.push_back(f);
            continue;
        }
        if (!parsed || !packer.add(text, f.string(), otherProblems)) {
            out.warnings.push_back({f.string(), 0, 0,
                                    "left out of the library: " +
                                        (otherProblems.empty() ? std::string("cannot be packed")
                                                               : otherProblems[0].toString())});
        }
    }
    problems.clear();
    if (!packer.finish(out.packed, problems)) {
        error = problems.empty() ? "the library cannot be packed" : problems[0].toString();
        return false;
    }
    out.stats = packer.stats();
    out.warnings.insert(out.warnings.end(), packer.warnings().begin(), packer.warnings().end());
    return true;
}

bool commitAddition(const UserLibrary& library, const PreparedAddition& prepared, std::string& error)
{
    std::error_code ec;
    fs::create_directories(library.sources(), ec);
    if (!fs::is_directory(library.sources(), ec)) {
        error = library.sources().string() + " cannot be created";
        return false;
    }
    // The source goes in under a name pack does not read until the data is
    // in place, so that a failure leaves the library as it was.
    const fs::path target = library.sources() / prepared.fileName;
    const fs::path pending = target.string() + ".nowy-" + std::to_string(::getpid());
    {
        std::ofstream out(pending, std::ios::binary | std::ios::trunc);
        out.write(prepared.source.data(), std::streamsize(prepared.source.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(pending, ec);
            error = target.string() + " cannot be written";
            return false;
        }
    }
    packer::Problems problems;
    if (!packer::writeLibrary(prepared.packed, library.folder, problems)) {
        fs::remove(pending, ec);
        error = problems.empty() ? "the library cannot be written" : problems[0].toString();
        return false;
    }
    fs::rename(pending, target, ec);
    if (ec) {
        error = "the act is in the library, but its source text could not be kept as " + target.string() + ": " +
                ec.message();
        fs::remove(pending, ec);
        return false;
    }
    for (const fs::path& old : prepared.replaced)
        fs::remove(old, ec);
    return true;
}

} // namespace importer
