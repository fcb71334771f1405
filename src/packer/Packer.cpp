#include "packer/Packer.h"

#include "packer/Encoder.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace packer {

bool LibraryPacker::add(std::string_view utf8, const std::string& fileName, Problems& problems)
{
    SourceDocument doc;
    if (!parseSource(utf8, fileName, doc, problems))
        return false;
    FWarnings.insert(FWarnings.end(), doc.warnings.begin(), doc.warnings.end());
    for (const Entry& e : FEntries) {
        if (e.rok == doc.rok && e.numer == doc.numer && e.pozycja == doc.pozycja) {
            problems.push_back({fileName, 1, 1,
                                "'" + cp1250::toUtf8(doc.name) + "' is already packed from " + e.file});
            return false;
        }
    }
    const std::size_t before = problems.size();
    TDokumentElementy elements = encodeDocument(doc, problems);
    if (problems.size() != before)
        return false;
    Entry entry;
    entry.file = fileName;
    entry.name = doc.name;
    entry.rok = doc.rok;
    entry.numer = doc.numer;
    entry.pozycja = doc.pozycja;
    const DocumentKind kind = doc.kind;
    doc = SourceDocument{}; // only the elements are needed from here on
    try {
        entry.record = ZbudujRekord(elements, FDictionary);
    } catch (const EZapis& e) {
        problems.push_back({fileName, 0, 0, std::string("cannot be packed: ") + e.what()});
        return false;
    }
    FStats.documents += 1;
    (kind == DocumentKind::Code ? FStats.codes : FStats.acts) += 1;
    FStats.sourceBytes += utf8.size();
    FStats.tokens += entry.record.Slowa.size();
    FEntries.push_back(std::move(entry));
    return true;
}

bool LibraryPacker::finish(PackedLibrary& out, Problems& problems)
{
    out = PackedLibrary{};
    if (FEntries.empty()) {
        problems.push_back({"", 0, 0, "no source texts to pack"});
        return false;
    }
    const std::vector<std::uint32_t> map = FDictionary.UporzadkujWedlugCzestosci();
    TSlownik dictionary = FDictionary.Slownik();
    for (std::size_t i = 0; i < dictionary.size(); ++i) {
        // The value beside each word is free for the data; it holds how
        // often the word is used, which is what the order rests on.
        const std::uint64_t uses = FDictionary.Uzycia(static_cast<std::uint32_t>(i));
        dictionary[i].Liczba = static_cast<std::int32_t>(
            std::min<std::uint64_t>(uses, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())));
    }
    FStats.words = dictionary.size();

    std::map<std::string, std::vector<Entry*>> byContainer;
    for (Entry& e : FEntries)
        byContainer[e.rok].push_back(&e);
    try {
        out.dictionary = ZapiszSlownik(dictionary);
        FStats.outputBytes += out.dictionary.size();
        for (auto& [rok, entries] : byContainer) {
            std::sort(entries.begin(), entries.end(), [](const Entry* a, const Entry* b) {
                return std::pair(a->numer, a->pozycja) < std::pair(b->numer, b->pozycja);
            });
            std::vector<TPozycjaKontenera> items;
            for (Entry* e : entries) {
                Przenumeruj(e->record, map);
                TPozycjaKontenera item;
                item.Numer = e->numer;
                item.Pozycja = e->pozycja;
                item.Znacznik = 0;
                try {
                    item.Rekord = ZapiszRekord(e->record);
                } catch (const EZapis& ex) {
                    problems.push_back({e->file, 0, 0, std::string("cannot be packed: ") + ex.what()});
                    return false;
                }
                e->record = TRekordDoZapisu{};
                items.push_back(std::move(item));
                if (rok != kNazwaKodeksow)
                    for (std::string& n : presenceNames(std::stoi(rok), e->numer, e->pozycja))
                        out.presence.push_back(std::move(n));
            }
            out.containers[rok] = ZapiszKontener(items);
            FStats.outputBytes += out.containers[rok].size();
        }
    } catch (const EZapis& ex) {
        problems.push_back({"", 0, 0, std::string("cannot write the data: ") + ex.what()});
        return false;
    }
    FEntries.clear();
    return true;
}

namespace {

bool writeFile(const fs::path& path, std::string_view data, Problems& problems)
{
    std::string why;
    if (!ZapiszPlik(path, data, &why)) {
        problems.push_back({path.string(), 0, 0, "cannot be written: " + why});
        return false;
    }
    return true;
}

std::string readWhole(const fs::path& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    if (!ok)
        return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    ok = !in.bad();
    return ss.str();
}

} // namespace

bool writeLibrary(const PackedLibrary& library, const fs::path& output, Problems& problems,
                  const podmiana::TKrok& step, const BesideDictionary& beside, Problems* warnings)
{
    std::error_code ec;
    fs::create_directories(output, ec);
    if (!fs::is_directory(output, ec)) {
        problems.push_back({output.string(), 0, 0, "is not a folder and cannot be created"});
        return false;
    }
    // The new library is written beside the old one and switched in as a
    // whole; a crash at any point leaves the old or the new library, never
    // a mix, and the next run cleans up after it.
    std::string why;
    const auto fresh = podmiana::TNowaBiblioteka::Utworz(output, &why);
    if (!fresh) {
        problems.push_back({output.string(), 0, 0, "cannot prepare the new data: " + why});
        return false;
    }
    const fs::path tmp = fresh->Sciezka();
    const fs::path data = tmp / kDataFolder;
    fs::create_directories(data / kPresenceFolder, ec);
    if (ec) {
        problems.push_back({tmp.string(), 0, 0, "cannot create the temporary folder: " + ec.message()});
        return false;
    }
    bool ok = writeFile(tmp / kDictionaryFile, library.dictionary, problems);
    for (const auto& [rok, bytes] : library.containers)
        ok = ok && writeFile(data / (rok + ".rdu"), bytes, problems);
    for (const std::string& name : library.presence)
        ok = ok && writeFile(data / kPresenceFolder / (name + ".txt"), "", problems);
    if (!ok)
        return false;
    if (beside && !beside(tmp / kDictionaryFile, &why) && warnings)
        warnings->push_back({output.string(), 0, 0, why});
    if (!fresh->Podmien(&why, step)) {
        problems.push_back({output.string(), 0, 0, "cannot put the new data in place: " + why});
        return false;
    }
    return true;
}

bool packFolder(const fs::path& sources, const fs::path& output, Problems& problems, PackStats* stats,
                Problems* warnings, const BesideDictionary& beside)
{
    std::error_code ec;
    if (!fs::is_directory(sources, ec)) {
        problems.push_back({sources.string(), 0, 0, "is not a folder"});
        return false;
    }
    // A switch that a crash cut short is finished and the leftovers of dead
    // runs go, whether or not this run gets as far as writing.
    if (fs::is_directory(output, ec))
        podmiana::Uporzadkuj(output);
    const std::vector<fs::path> files = listSourceFiles(sources);
    if (files.empty()) {
        problems.push_back({sources.string(), 0, 0, "holds no source texts (*.txt)"});
        return false;
    }
    LibraryPacker packer;
    bool ok = true;
    for (const fs::path& f : files) {
        bool read = false;
        const std::string text = readWhole(f, read);
        if (!read) {
            problems.push_back({f.string(), 0, 0, "cannot be read"});
            ok = false;
            continue;
        }
        ok = packer.add(text, f.string(), problems) && ok;
    }
    if (!ok)
        return false;
    PackedLibrary library;
    if (!packer.finish(library, problems))
        return false;
    if (stats)
        *stats = packer.stats();
    if (warnings)
        warnings->insert(warnings->end(), packer.warnings().begin(), packer.warnings().end());
    return writeLibrary(library, output, problems, {}, beside, warnings);
}

// ---------------------------------------------------------------------------
// Verification.

namespace {

std::string excerpt(const std::string& cp, std::size_t at)
{
    const std::size_t from = at > 30 ? at - 30 : 0;
    std::string s = cp.substr(from, 70);
    return (from > 0 ? "..." : "") + cp1250::toUtf8(s) + (from + 70 < cp.size() ? "..." : "");
}

std::size_t firstDifference(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return i;
}

// Compares one line; the expected text is in display form ("[^n]" marks).
void compareLine(const std::string& file, const SourceLine& line, const std::string& expected,
                 const std::string& got, const char* what, Problems& problems)
{
    if (expected == got)
        return;
    const std::size_t at = firstDifference(expected, got);
    problems.push_back({file, line.sourceLine, 0,
                        std::string(what) + " reads back differently from byte " + std::to_string(at + 1) +
                            ": expected \"" + excerpt(expected, at) + "\", packed \"" + excerpt(got, at) + "\""});
}

std::string paragraphText(const TWiersz& w, int& nextMark)
{
    std::string s;
    for (const TTekst& t : w) {
        if (t.Rodzaj == rPrzypis)
            s += "[^" + std::to_string(nextMark++) + "]";
        else
            s += t.Tekst;
    }
    return s;
}

} // namespace

bool verifyFolder(const fs::path& sources, const fs::path& output, Problems& problems, VerifyStats* stats)
{
    VerifyStats local;
    VerifyStats& st = stats ? *stats : local;
    st = VerifyStats{};
    const std::size_t before = problems.size();
    std::error_code ec;
    if (!fs::is_directory(sources, ec)) {
        problems.push_back({sources.string(), 0, 0, "is not a folder"});
        return false;
    }
    const fs::path dictPath = output / kDictionaryFile;
    const fs::path data = output / kDataFolder;
    if (!fs::exists(dictPath, ec))
        problems.push_back({dictPath.string(), 0, 0, "missing"});
    if (!fs::is_directory(data, ec))
        problems.push_back({data.string(), 0, 0, "missing"});
    if (problems.size() != before)
        return false;

    TZbiorKomunikatow messages;
    TPliki store(&messages);
    store.WczytajSlownik(dictPath);
    for (const std::string& m : messages.Lista)
        problems.push_back({dictPath.string(), 0, 0, "the reader says: " + cp1250::toUtf8(m)});
    messages.Lista.clear();

    std::set<std::string> expectedCodes;   // titles
    std::set<std::string> expectedActs;    // Dz.U. names
    std::set<std::string> expectedPresence;
    for (const fs::path& f : listSourceFiles(sources)) {
        SourceDocument doc;
        bool read = false;
        const std::string text = readWhole(f, read);
        if (!read) {
            problems.push_back({f.string(), 0, 0, "cannot be read"});
            continue;
        }
        if (!parseSource(text, f.string(), doc, problems))
            continue;
        ++st.documents;
        if (doc.kind == DocumentKind::Code)
            expectedCodes.insert(doc.name);
        else
            expectedActs.insert(doc.name);
        if (doc.kind == DocumentKind::Journal)
            for (const std::string& n : presenceNames(std::stoi(doc.rok), doc.numer, doc.pozycja))
                expectedPresence.insert(n);

        TListaNapisow textList, footnoteList, titles;
        TPlik plik;
        store.OtworzDokument(data, doc.name, textList, footnoteList, plik, true, titles);
        bool failed = false;
        for (const std::string& m : messages.Lista) {
            problems.push_back({f.string(), 0, 0, "the reader says: " + cp1250::toUtf8(m)});
            failed = true;
        }
        messages.Lista.clear();
        if (failed)
            continue;
        if (plik.empty()) {
            problems.push_back({f.string(), 0, 0, "'" + cp1250::toUtf8(doc.name) + "' is not in the packed data"});
            continue;
        }

        int expectedMark = 1;
        int gotMark = 1;
        const std::size_t n = std::min(plik.size(), doc.body.size());
        for (std::size_t i = 0; i < n; ++i) {
            const std::string want = displayLine(doc.body[i].text, expectedMark);
            const std::string got = paragraphText(plik[i], gotMark);
            compareLine(f.string(), doc.body[i], want, got, "line", problems);
            if (!plik[i].empty() && plik[i][0].Rodzaj != doc.body[i].heading)
                problems.push_back({f.string(), doc.body[i].sourceLine, 0,
                                    "reads back with heading code " + std::to_string(plik[i][0].Rodzaj) +
                                        " instead of " + std::to_string(doc.body[i].heading)});
            ++st.lines;
        }
        if (plik.size() < doc.body.size())
            problems.push_back({f.string(), doc.body[plik.size()].sourceLine, 0,
                                "this and the following lines are missing from the packed text"});
        else if (plik.size() > doc.body.size())
            problems.push_back({f.string(), 0, 0,
                                "the packed text has " + std::to_string(plik.size() - doc.body.size()) +
                                    " more lines than the source"});

        std::vector<std::vector<std::string>> footnotes;
        if (!RozbierzListePrzypisow(footnoteList, footnotes)) {
            problems.push_back({f.string(), 0, 0, "the packed footnotes do not have the reader's shape"});
            continue;
        }
        if (footnotes.size() != doc.footnotes.size())
            problems.push_back({f.string(), 0, 0,
                                "the packed text has " + std::to_string(footnotes.size()) + " footnotes, the source " +
                                    std::to_string(doc.footnotes.size())});
        for (std::size_t k = 0; k < std::min(footnotes.size(), doc.footnotes.size()); ++k) {
            const SourceFootnote& sf = doc.footnotes[k];
            const auto& got = footnotes[k];
            for (std::size_t l = 0; l < std::min(got.size(), sf.lines.size()); ++l) {
                int unused = 1;
                // Every footnote line reads back with one leading space.
                compareLine(f.string(), sf.lines[l], " " + displayLine(sf.lines[l].text, unused), got[l],
                            "footnote line", problems);
                ++st.footnoteLines;
            }
            if (got.size() != sf.lines.size())
                problems.push_back({f.string(), sf.sourceLine, 0,
                                    "footnote [^" + std::to_string(sf.number) + "] reads back with " +
                                        std::to_string(got.size()) + " lines instead of " +
                                        std::to_string(sf.lines.size())});
        }
        if (doc.kind == DocumentKind::Journal) {
            for (const std::string& n : presenceNames(std::stoi(doc.rok), doc.numer, doc.pozycja)) {
                const fs::path presence = data / kPresenceFolder / (n + ".txt");
                if (!fs::exists(presence, ec))
                    problems.push_back({f.string(), 0, 0, "presence file " + presence.string() + " is missing"});
            }
        }
    }

    // Surplus: entries and presence files without a source.
    for (const auto& e : fs::directory_iterator(data, ec)) {
        if (e.path().extension() != ".rdu")
            continue;
        const std::string rok = e.path().stem().string();
        TListaNapisow textList, footnoteList, titles;
        TPlik plik;
        // Listing only: the name just selects the container.
        const std::string name = rok == kNazwaKodeksow ? TytulKodeksu(0) : "Dz.U." + rok + ".0.0";
        store.OtworzDokument(data, name, textList, footnoteList, plik, false, titles);
        for (const std::string& m : messages.Lista)
            problems.push_back({e.path().string(), 0, 0, "the reader says: " + cp1250::toUtf8(m)});
        messages.Lista.clear();
        for (const std::string& title : titles) {
            const bool known = rok == kNazwaKodeksow ? expectedCodes.count(title) > 0 : expectedActs.count(title) > 0;
            if (!known)
                problems.push_back({e.path().string(), 0, 0,
                                    "holds '" + cp1250::toUtf8(title.empty() ? std::string("(untitled entry)") : title) +
                                        "', which has no source text"});
        }
    }
    for (const auto& e : fs::directory_iterator(data / kPresenceFolder, ec)) {
        const std::string stem = e.path().stem().string();
        if (e.path().extension() == ".txt" && !expectedPresence.count(stem))
            problems.push_back({e.path().string(), 0, 0, "presence file of an act with no source text"});
    }
    return problems.size() == before;
}

} // namespace packer
