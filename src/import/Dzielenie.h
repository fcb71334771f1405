#pragma once
// Line-end hyphenation: whether "Naro-" + "du" is one word broken by the
// typesetter ("Narodu") or a compound that keeps its hyphen
// ("społeczno-" + "gospodarczy").
//
// The document itself is the first witness: a word seen whole, or with its
// hyphen, inside some line settles the matter. Then the Polish spelling
// dictionary (hunspell's, when installed): a form it knows and the other it
// does not. What neither settles is a guess, and the caller warns.
#include <QHash>
#include <QString>
#include <QStringList>

#include <future>
#include <memory>

class Hunspell;

namespace importer {

class Hyphenation {
public:
    // Starts loading the dictionary in the background (once per run).
    Hyphenation();
    ~Hyphenation();

    // Words of a line, except its first word and a hyphenated last one,
    // which a line break may have cut.
    void learn(const QString& line);

    enum class Verdict { Join, KeepHyphen };
    // `head` is the text before the hyphen ("Naro"), `tail` the next
    // line's first word ("du,"). `sure` tells whether evidence decided.
    Verdict decide(const QString& head, const QString& tail, bool& sure);

    // A word that lost its hyphen to the text export ("społecznogospodarczy"):
    // the hyphenated form when the document shows it and never the joined one.
    QString restoreCompound(const QString& word);

    bool dictionaryAvailable();

private:
    bool spell(const QString& word);

    QHash<QString, int> FSeen;        // lower-case words seen inside lines
    QHash<QString, QString> FCompounds; // "społecznogospodarczy" -> "społeczno-gospodarczy"
    std::shared_ptr<Hunspell> FDictionary;
    bool FLoaded = false;
    bool FLatin2 = true;
};

// Letters of a word without surrounding punctuation and superscripts.
QString wordCore(const QString& token);

} // namespace importer
