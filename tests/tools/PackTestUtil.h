#pragma once
// Helpers shared by the packer tests: a scratch folder, writing sources, and
// reading a packed document back through the reader's store.
#include "packer/Packer.h"
#include "packer/Source.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace packtest {

namespace fs = std::filesystem;

// A source text parsed as the file "t.txt".
struct Parsed {
    packer::SourceDocument doc;
    packer::Problems problems;
    bool ok = false;
};

inline Parsed parse(const std::string& text)
{
    Parsed p;
    p.ok = packer::parseSource(text, "t.txt", p.doc, p.problems);
    return p;
}

class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("lumesta-packtest-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline void writeText(const fs::path& p, const std::string& text)
{
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string readText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Decoded {
    std::vector<std::string> lines;                  // UTF-8, marks as "[^n]"
    std::vector<std::uint8_t> kinds;                 // kind of each line's first piece
    std::vector<std::vector<std::string>> footnotes; // UTF-8, leading space kept
    std::vector<std::string> messages;
};

// Opens `name` (UTF-8) from a packed output folder through TPliki.
inline Decoded decode(const fs::path& output, const std::string& name)
{
    Decoded d;
    TZbiorKomunikatow messages;
    TPliki store(&messages);
    store.WczytajSlownik(output / packer::kDictionaryFile);
    TListaNapisow text, footnotes, titles;
    TPlik plik;
    store.OtworzDokument(output / packer::kDataFolder, cp1250::fromUtf8(name), text, footnotes, plik, true, titles);
    int mark = 1;
    for (const TWiersz& w : plik) {
        std::string s;
        for (const TTekst& t : w)
            s += t.Rodzaj == rPrzypis ? "[^" + std::to_string(mark++) + "]" : t.Tekst;
        d.lines.push_back(cp1250::toUtf8(s));
        d.kinds.push_back(w.empty() ? 255 : w[0].Rodzaj);
    }
    std::vector<std::vector<std::string>> parts;
    RozbierzListePrzypisow(footnotes, parts);
    for (const auto& f : parts) {
        d.footnotes.emplace_back();
        for (const auto& l : f)
            d.footnotes.back().push_back(cp1250::toUtf8(l));
    }
    for (const auto& m : messages.Lista)
        d.messages.push_back(cp1250::toUtf8(m));
    return d;
}

inline std::string problemsText(const packer::Problems& problems)
{
    std::string s;
    for (const auto& p : problems)
        s += p.toString() + "\n";
    return s;
}

} // namespace packtest
