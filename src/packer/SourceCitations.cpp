#include "packer/Source.h"

#include "packer/Punctuation.h"
#include "store/Cytowania.h"

#include <algorithm>

// Names of Journal acts and the checks of the citations a footnote holds,
// apart from the parser: they say what the reader will make of a citation.

namespace packer {

std::string journalName(int year, int numer, int pozycja)
{
    return "Dz.U." + std::to_string(year) + "." + std::to_string(numer) + "." + std::to_string(pozycja);
}

std::string displayLine(const std::string& text, int& nextMark)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == kMark)
            out += "[^" + std::to_string(nextMark++) + "]";
        else
            out += c;
    }
    return out;
}

std::vector<std::string> presenceNames(int year, int numer, int pozycja)
{
    return {journalName(year, numer, pozycja)};
}

namespace {

bool spaceLike(unsigned char c)
{
    return c == ' ' || c == 0xA0; // a non-breaking space looks the same on the page
}

std::size_t skipSpaceLike(std::string_view s, std::size_t i)
{
    while (i < s.size() && spaceLike(static_cast<unsigned char>(s[i])))
        ++i;
    return i;
}

// "Dz. U." (or "Dz.U.", or spaced with non-breaking spaces) at i, followed by
// what a citation continues with: a year, "z <year>", "Nr" or "poz.".
bool looksLikeCitation(std::string_view s, std::size_t i)
{
    auto at = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0; };
    if (i > 0 && (isLetter(at(i - 1)) || isDigit(at(i - 1))))
        return false;
    if (s.substr(i, 2) != "Dz")
        return false;
    std::size_t k = skipSpaceLike(s, i + 2);
    if (at(k) != '.')
        return false;
    k = skipSpaceLike(s, k + 1);
    if (at(k) != 'U')
        return false;
    k = skipSpaceLike(s, k + 1);
    if (at(k) != '.')
        return false;
    k = skipSpaceLike(s, k + 1);
    if (isDigit(at(k)))
        return true;
    if (at(k) == 'z' && spaceLike(at(k + 1)))
        return isDigit(at(skipSpaceLike(s, k + 1)));
    return s.substr(k, 2) == "Nr" || s.substr(k, 3) == "poz";
}

} // namespace

void checkFootnoteCitations(const std::string& line, const std::vector<int>& columns, const std::string& file,
                            int lineNo, Problems& warnings)
{
    auto colAt = [&](std::size_t i) {
        if (columns.empty())
            return static_cast<int>(i) + 1;
        return i < columns.size() ? columns[i] : columns.back() + 1;
    };
    // What the reader will link: its scanner runs over the line as the
    // footnote window shows it, which starts with a space.
    const TCytowania links = SzukajCytowan(" " + line);
    std::vector<std::size_t> starts;
    for (const TCytowanie& link : links) {
        if (link.Od < 1)
            continue;
        const std::size_t at = link.Od - 1;
        starts.push_back(at);
        if (link.Akt.Rok < 2012 && link.Akt.Numer == 0) {
            warnings.push_back({file, lineNo, colAt(at),
                                "the link " + journalName(link.Akt.Rok, 0, link.Akt.Pozycja) +
                                    " names issue 0 of a year before 2012, when every act was published in a "
                                    "numbered issue: it can never open the act (write the issue, as in "
                                    "'Dz. U. z 1998 r. Nr 106, poz. 668')"});
        }
    }
    for (std::size_t i = line.find("Dz"); i != std::string::npos; i = line.find("Dz", i + 1)) {
        if (!looksLikeCitation(line, i) || std::find(starts.begin(), starts.end(), i) != starts.end())
            continue;
        warnings.push_back({file, lineNo, colAt(i),
                            "this looks like a Journal of Laws citation but will be neither a link nor "
                            "recognised: write it as 'Dz. U. z 1998 r. Nr 106, poz. 668' with ordinary spaces"});
    }
}

} // namespace packer
