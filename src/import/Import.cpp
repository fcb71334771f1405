#include "import/Import.h"

#include "import/CzytnikPdf.h"
#include "import/CzytnikTekstu.h"
#include "import/Dzielenie.h"
#include "import/Etapy.h"

#include <QFile>

namespace importer {

namespace {

// Large enough for any code with its annexes; a bigger file is not a
// consolidated text and would only exhaust memory.
constexpr qint64 kMaxInput = 256LL * 1024 * 1024;

Result failure(const QString& why)
{
    Result r;
    r.ok = false;
    r.error = why.toStdString();
    return r;
}

bool looksLikeUtf16(const QByteArray& bytes)
{
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096);
    int evenZero = 0, oddZero = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (bytes[i] == '\0')
            ++((i % 2) ? oddZero : evenZero);
    return n >= 8 && (evenZero > n / 4 || oddZero > n / 4) && (evenZero == 0 || oddZero == 0);
}

} // namespace

InputKind detectInput(const QByteArray& input)
{
    if (input.trimmed().isEmpty())
        return InputKind::Empty;
    // Readers accept a PDF whose header follows some bytes of junk.
    if (input.left(1024).contains("%PDF-"))
        return InputKind::Pdf;
    if (input.startsWith("\xFF\xFE") || input.startsWith("\xFE\xFF"))
        return InputKind::Text;
    if (input.left(65536).contains('\0'))
        return InputKind::Binary;
    return InputKind::Text;
}

std::string Result::summaryText() const
{
    std::string s = name + " (" + summary.form + ", " + summary.input + ", " + std::to_string(summary.pages) +
                    (summary.pages == 1 ? " page" : " pages") + "): " + std::to_string(summary.articles) +
                    " articles, " + std::to_string(summary.otherUnits) + " other units, " +
                    std::to_string(summary.headings) + " headings, " + std::to_string(summary.footnotes) +
                    " footnotes";
    if (summary.furnitureLines || summary.frontMatterLines)
        s += "; left out " + std::to_string(summary.furnitureLines) + " lines of page furniture and " +
             std::to_string(summary.frontMatterLines) + " before the act";
    s += "; " + std::to_string(warnings.size()) + (warnings.size() == 1 ? " warning" : " warnings");
    return s;
}

Result importBytes(const QByteArray& input, const Options& options)
{
    switch (detectInput(input)) {
    case InputKind::Empty:
        return failure(QStringLiteral("the file is empty"));
    case InputKind::Binary:
        return failure(looksLikeUtf16(input)
                           ? QStringLiteral("the text is in UTF-16; save it as UTF-8 (or import the PDF itself)")
                           : QStringLiteral("the file is neither a PDF nor a text file"));
    default:
        break;
    }
    if (input.size() > kMaxInput)
        return failure(QStringLiteral("the file is too large to be a consolidated text (%1 MB)")
                           .arg(input.size() / (1024 * 1024)));

    Hyphenation hyphenation;  // the dictionary loads while the input is read
    Document doc;
    Warnings warnings;
    QString error;
    Result r;
    if (detectInput(input) == InputKind::Pdf) {
        PdfStats pdf;
        if (!readPdf(input, doc, error, warnings, pdf, options.progress, options.stopped))
            return failure(error);
        r.summary.input = "PDF";
    } else {
        if (!readText(input, doc, error, warnings))
            return failure(error);
        r.summary.input = doc.layout ? "text export laid out with spaces" : "text export";
    }
    r.summary.pages = int(doc.pages.size());
    bool anyText = false;
    for (const Page& p : doc.pages)
        anyText = anyText || !p.lines.empty();
    if (!anyText)
        return failure(doc.pdf ? QStringLiteral("the PDF holds no text (a scan without a text layer?)")
                               : QStringLiteral("the file holds no text"));

    auto stopped = [&] { return options.stopped && options.stopped(); };
    if (stopped())
        return failure(QStringLiteral("the import was stopped"));
    const Form form = detectForm(doc);
    r.summary.form = form == Form::Journal ? "Journal of Laws consolidated text"
                     : form == Form::Sejm  ? "Sejm unified text"
                                           : "text of an act";
    const NameFound found = findName(doc, form);

    CutStats cut;
    dropFurniture(doc, form, cut, warnings);
    if (!cutFrontMatter(doc, form, cut, warnings))
        return failure(QStringLiteral("this does not look like a legal act: no article was found in it"));
    const std::map<int, Footnote> footnotes = extractFootnotes(doc, warnings);
    if (stopped())
        return failure(QStringLiteral("the import was stopped"));
    StructureStats stats;
    std::vector<Paragraph> paragraphs = buildStructure(doc, hyphenation, stats, warnings);
    restoreCitedSuperscripts(paragraphs, stats);
    if (stats.articles == 0)
        return failure(QStringLiteral("this does not look like a legal act: no article was found in it"));

    QString name = QString::fromStdString(options.name).trimmed();
    if (name.isEmpty())
        name = found.name;
    if (name.isEmpty())
        return failure(QStringLiteral("the act's name cannot be told from the text (no code title and no Journal "
                                      "of Laws reference was found); give it with --name, as a code title or "
                                      "Dz.U.<year>.<number>.<position>"));
    Output out;
    if (!writeSource(name, paragraphs, footnotes, out, error, warnings))
        return failure(error);

    r.ok = true;
    r.name = name.toStdString();
    r.source = std::move(out.source);
    r.summary.articles = stats.articles;
    r.summary.otherUnits = stats.units;
    r.summary.headings = stats.headings;
    r.summary.footnotes = out.footnotes;
    r.summary.furnitureLines = cut.furniture + cut.margin;
    r.summary.frontMatterLines = cut.frontMatter;
    r.warnings = warnings.take();
    return r;
}

Result importFile(const std::filesystem::path& input, const Options& options)
{
    QFile f(QString::fromStdString(input.string()));
    if (!f.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("%1 cannot be read: %2").arg(f.fileName(), f.errorString()));
    if (f.size() > kMaxInput)
        return failure(QStringLiteral("the file is too large to be a consolidated text (%1 MB)")
                           .arg(f.size() / (1024 * 1024)));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return failure(QStringLiteral("%1 cannot be read: %2").arg(f.fileName(), f.errorString()));
    return importBytes(bytes, options);
}

} // namespace importer
