#include "import/Dzielenie.h"

#include "import/Model.h"

#include <hunspell/hunspell.hxx>

#include <filesystem>
#include <mutex>

namespace importer {

namespace {

std::unique_ptr<Hunspell> loadDictionary()
{
    for (const char* base : {"/usr/share/hunspell/pl_PL", "/usr/share/myspell/pl_PL", "/usr/share/myspell/dicts/pl_PL"}) {
        const std::string aff = std::string(base) + ".aff", dic = std::string(base) + ".dic";
        std::error_code ec;
        if (std::filesystem::is_regular_file(aff, ec) && std::filesystem::is_regular_file(dic, ec))
            return std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
    }
    return nullptr;
}

// The Polish letters of ISO-8859-2, the dictionary's encoding.
bool toLatin2(const QString& w, std::string& out)
{
    out.clear();
    for (QChar c : w) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out += char(u);
            continue;
        }
        unsigned char b = 0;
        switch (u) {
        case u'ą': b = 0xB1; break;
        case u'ć': b = 0xE6; break;
        case u'ę': b = 0xEA; break;
        case u'ł': b = 0xB3; break;
        case u'ń': b = 0xF1; break;
        case u'ó': b = 0xF3; break;
        case u'ś': b = 0xB6; break;
        case u'ź': b = 0xBC; break;
        case u'ż': b = 0xBF; break;
        case u'Ą': b = 0xA1; break;
        case u'Ć': b = 0xC6; break;
        case u'Ę': b = 0xCA; break;
        case u'Ł': b = 0xA3; break;
        case u'Ń': b = 0xD1; break;
        case u'Ó': b = 0xD3; break;
        case u'Ś': b = 0xA6; break;
        case u'Ź': b = 0xAC; break;
        case u'Ż': b = 0xAF; break;
        default: return false;
        }
        out += char(b);
    }
    return true;
}

} // namespace

QString wordCore(const QString& token)
{
    QString t = plain(token);
    qsizetype a = 0, b = t.size();
    while (a < b && !t[a].isLetter())
        ++a;
    while (b > a && !t[b - 1].isLetter())
        --b;
    return t.mid(a, b - a);
}

namespace {

// One dictionary for the whole run: it takes a noticeable part of a second
// to load, and every import after the first finds it ready. Hunspell is not
// safe to share between threads, hence the lock around its use.
struct SharedDictionary {
    std::shared_future<std::shared_ptr<Hunspell>> loading;
    std::mutex lock;
};

SharedDictionary& shared()
{
    static SharedDictionary* d = [] {
        auto* s = new SharedDictionary;
        s->loading = std::async(std::launch::async, [] { return std::shared_ptr<Hunspell>(loadDictionary()); }).share();
        return s;
    }();
    return *d;
}

} // namespace

Hyphenation::Hyphenation()
{
    shared();  // starts loading, if no import has yet
}

Hyphenation::~Hyphenation() = default;

bool Hyphenation::dictionaryAvailable()
{
    if (!FLoaded) {
        FDictionary = shared().loading.get();
        FLoaded = true;
        if (FDictionary)
            FLatin2 = FDictionary->get_dict_encoding() != "UTF-8";
    }
    return FDictionary != nullptr;
}

bool Hyphenation::spell(const QString& word)
{
    if (!dictionaryAvailable() || word.isEmpty())
        return false;
    std::string bytes;
    if (FLatin2) {
        if (!toLatin2(word, bytes))
            return false;
    } else {
        bytes = word.toStdString();
    }
    std::lock_guard<std::mutex> guard(shared().lock);
    return FDictionary->spell(bytes);
}

void Hyphenation::learn(const QString& line)
{
    const QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        if (i + 1 == tokens.size() && (tokens[i].endsWith(QLatin1Char('-')) || tokens[i].endsWith(QChar(0x00AD))))
            continue;
        const QString core = wordCore(tokens[i]).toLower();
        if (core.size() < 2)
            continue;
        ++FSeen[core];
        const qsizetype dash = core.indexOf(QLatin1Char('-'));
        if (dash > 0 && dash + 1 < core.size()) {
            QString joined = core;
            joined.remove(QLatin1Char('-'));
            FCompounds.insert(joined, core);
        }
    }
}

Hyphenation::Verdict Hyphenation::decide(const QString& head, const QString& tail, bool& sure)
{
    const QString h = wordCore(head).toLower();
    const QString t = wordCore(tail).toLower();
    const QString joined = h + t, hyphenated = h + QLatin1Char('-') + t;
    const int seenJoined = FSeen.value(joined), seenHyphen = FSeen.value(hyphenated);
    sure = true;
    if (seenHyphen > seenJoined)
        return Verdict::KeepHyphen;
    if (seenJoined > 0)
        return Verdict::Join;
    const bool knownJoined = spell(joined);
    const bool knownHyphen = spell(hyphenated);
    if (knownJoined)
        return Verdict::Join;
    if (knownHyphen)
        return Verdict::KeepHyphen;
    sure = false;
    return Verdict::Join;
}

QString Hyphenation::restoreCompound(const QString& word)
{
    const QString core = wordCore(word);
    if (core.size() < 5)
        return {};
    const QString lower = core.toLower();
    const auto it = FCompounds.find(lower);
    if (it == FCompounds.end())
        return {};
    // The joined form may be a word of its own, used as such elsewhere.
    if (FSeen.value(*it) < FSeen.value(lower) && spell(core))
        return {};
    // Keep the word's own letter case and punctuation around it.
    const qsizetype at = it->indexOf(QLatin1Char('-'));
    const qsizetype start = word.indexOf(core);
    QString out = word;
    out.insert(start + at, QLatin1Char('-'));
    return out;
}

} // namespace importer
